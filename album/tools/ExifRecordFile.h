// The album's EXIF editing without a window: the values of the Edit EXIF
// data boxes, the shutter text, and the ".exif" file that holds one record.
#pragma once

#include "editor/shell/ExifInfo.h"

#include <string>

namespace shelf {

// The ten boxes of the Edit EXIF data dialog; the shutter text is read by
// ParseShutterText, a missing time is FileTimeText (both beside ExifInfo).
struct ExifEditValues {
    std::string time;
    double aperture = 0;
    std::string shutter;
    int flash = -1;
    int iso = 0;
    double exposureBias = 0;
    double focalLength = 0;
    std::string model;
    std::string author;
    std::string copyright;
};

// The boxes from a record; path's creation time stands in for a missing
// time, now for a file that cannot be read.
ExifEditValues ValuesFromRecord(const ExifFields& fields, const char* path, const char* userName);
// Puts the boxes into the record (both apertures, both exposures) and
// marks it valid; shutter is the parsed text.
void ValuesIntoRecord(const ExifEditValues& values, double shutter, ExifFields& fields);

// The proposed export name: the photo's drive, folder and name with ".exif".
std::string ExifExportName(const std::string& photoPath);

enum class ExifFileResult { Ok, CannotOpen, WrongSize, CannotWrite };
// Exactly ExifFields::kFileSize bytes, written beside the file and renamed
// over it, so that a failed write leaves an older file whole.
ExifFileResult SaveExifRecord(const std::string& path, const ExifFields& fields);
// A file of any other size is refused; texts end with a NUL.
ExifFileResult LoadExifRecord(const std::string& path, ExifFields& fields);
// A record from a ".exif" file (any case) or from a photo's EXIF.
bool ReadRecordFrom(const std::string& path, ExifFields& fields, ExifFileResult* result = nullptr);

} // namespace shelf
