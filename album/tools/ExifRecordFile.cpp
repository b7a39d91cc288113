#include "album/tools/ExifRecordFile.h"

#include "platform/codec/QLImageCodec.h"

#include <cstdio>
#include <cstdlib>
#include <strings.h>
#include <unistd.h>

namespace shelf {
namespace {

template <std::size_t N> void CopyText(char (&field)[N], const std::string& text)
{
    std::snprintf(field, N, "%s", text.c_str());
}

} // namespace

ExifEditValues ValuesFromRecord(const ExifFields& f, const char* path, const char* userName)
{
    ExifEditValues v;
    v.aperture = f.fNumber != 0 ? f.fNumber : f.aperture;
    char shutter[64];
    std::snprintf(shutter, sizeof shutter, "%f", f.exposureTime > 0 ? f.exposureTime : f.shutterSpeed);
    v.shutter = shutter;
    v.flash = f.flash;
    v.iso = static_cast<WORD>(f.isoSpeed);
    v.exposureBias = f.exposureBias;
    v.focalLength = f.focalLength;
    v.author = f.artist;
    if (f.copyright[0]) {
        v.copyright = f.copyright;
    } else {
        char copyright[256];
        std::snprintf(copyright, sizeof copyright, "Copyright %s, All right reserved.", userName ? userName : "");
        v.copyright = copyright;
    }
    v.model = f.model;
    v.time = f.dateTime[0] ? std::string(f.dateTime) : FileTimeText(path);
    return v;
}

void ValuesIntoRecord(const ExifEditValues& v, double shutter, ExifFields& f)
{
    CopyText(f.dateTime, v.time);
    f.fNumber = v.aperture;
    f.aperture = v.aperture;
    f.exposureTime = shutter;
    f.shutterSpeed = shutter;
    f.flash = static_cast<short>(v.flash);
    f.isoSpeed = static_cast<short>(static_cast<WORD>(v.iso));
    f.exposureBias = v.exposureBias;
    f.focalLength = v.focalLength;
    CopyText(f.model, v.model);
    CopyText(f.artist, v.author);
    CopyText(f.copyright, v.copyright);
    f.hasExif = 1;
}

std::string ExifExportName(const std::string& photoPath)
{
    const size_t slash = photoPath.find_last_of('/');
    const size_t dot = photoPath.find_last_of('.');
    const std::string stem =
        dot != std::string::npos && (slash == std::string::npos || dot > slash) ? photoPath.substr(0, dot) : photoPath;
    return stem + ".exif";
}

ExifFileResult SaveExifRecord(const std::string& path, const ExifFields& fields)
{
    BYTE bytes[ExifFields::kFileSize];
    fields.Store(bytes);
    const std::string temporary = path + ".part";
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (!file)
        return ExifFileResult::CannotOpen;
    const bool written = std::fwrite(bytes, 1, sizeof bytes, file) == sizeof bytes;
    if (std::fclose(file) != 0 || !written || std::rename(temporary.c_str(), path.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return ExifFileResult::CannotWrite;
    }
    return ExifFileResult::Ok;
}

ExifFileResult LoadExifRecord(const std::string& path, ExifFields& fields)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return ExifFileResult::CannotOpen;
    BYTE bytes[ExifFields::kFileSize + 1];
    const size_t read = std::fread(bytes, 1, sizeof bytes, file);
    std::fclose(file);
    if (read != ExifFields::kFileSize || !fields.Load(bytes, read))
        return ExifFileResult::WrongSize;
    return ExifFileResult::Ok;
}

bool ReadRecordFrom(const std::string& path, ExifFields& fields, ExifFileResult* result)
{
    const size_t dot = path.find_last_of('.');
    if (dot != std::string::npos && ::strcasecmp(path.c_str() + dot, ".exif") == 0) {
        const ExifFileResult r = LoadExifRecord(path, fields);
        if (result)
            *result = r;
        return r == ExifFileResult::Ok;
    }
    ExifInfo exif;
    if (!exif.ReadFromFile(path.c_str())) {
        if (result)
            *result = ExifFileResult::CannotOpen;
        return false;
    }
    fields = exif.GetFields();
    if (result)
        *result = ExifFileResult::Ok;
    return true;
}

} // namespace shelf
