// EXIF reading: a photo file through ExifInfo (the GDI+ layer on Exiv2), and
// the same bytes as a stored ExifFields record.
#include "editor/shell/ExifInfo.h"
#include "fuzz/FuzzFile.h"

#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string path = WriteFuzzFile(data, size);
    ExifInfo exif;
    const int read = exif.ReadFromFile(path.c_str());
    const ExifFields& f = exif.GetFields();
    // Every text stays terminated inside its field.
    for (const char* text : {f.description, f.dateTime, f.software, f.artist, f.copyright, f.model, f.make})
        if (std::memchr(text, 0, 256) == nullptr)
            std::abort();
    if (!read && f.hasExif)
        std::abort();
    exif.GetExifByteSize(TRUE);

    ExifFields record;
    if (record.Load(data, size) != (size >= ExifFields::kFileSize))
        std::abort();
    return 0;
}
