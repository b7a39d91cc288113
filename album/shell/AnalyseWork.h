// The thumbnail thread's work on one photo that needs no lock: the
// thumbnail with its tone histogram, and the photo's file times and EXIF
// summary. Results are private until applied to an entry under the lock.
#pragma once

#include "album/shell/PhotoEntry.h"
#include "editor/shell/ExifInfo.h"

#include <string>

class CQLImageCodec;

namespace shelf {

inline constexpr int kThumbSize = 100;

struct ThumbnailResult {
    CQLImage thumb;
    int width = 0;   // the photo's size, as the codec reports it
    int height = 0;
    bool made = false; // false: thumb is the grey placeholder, no histogram
    BYTE histogram[256] = {};
};

// mode 0 quick, 1 exact. A photo the codec cannot thumbnail (RAW files
// among them, for now) gets a 100 x 100 neutral grey placeholder.
void MakeThumbnail(CQLImageCodec& codec, const char* path, int mode, ThumbnailResult& out);
// Tone bins of (6G + 3R + B) / 10, each also counted in its neighbours,
// scaled to 0..255 against the fullest centre bin.
void ComputeToneHistogram(const CQLImage& thumb, BYTE out[256]);

struct PhotoInfoResult {
    bool isLink = false;
    bool storeTime = false; // the last-write time is to be stored
    SYSTEMTIME lastWrite = {};
    bool haveExif = false;  // fields were read from a JPEG or TIFF
    ExifFields fields = {};
};

// What the first pass reads of a photo or link file.
void ReadPhotoInfo(const char* path, PhotoInfoResult& out);
// Puts the result into the entry's block; true when a second, exact pass
// is due (the photo has exposure data and changed since its record).
bool ApplyPhotoInfo(const PhotoInfoResult& info, PhotoFileInfo& entry);

} // namespace shelf
