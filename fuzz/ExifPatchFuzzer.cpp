// The EXIF file patchers on any file: the JPEG APP1 writer and the TIFF Exif
// IFD patcher either refuse (file unchanged) or leave a file whose EXIF reads
// back.
#include "editor/shell/ExifInfo.h"
#include "editor/shell/ExifJpegWriter.h"
#include "editor/shell/ExifTiffPatcher.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::string g_folder;

void RemoveFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(g_folder, ignored);
}

// One scratch folder per run, removed when the run ends.
const std::string& Folder()
{
    if (g_folder.empty()) {
        char pattern[] = "/tmp/qlfuzz-exif-XXXXXX";
        if (!mkdtemp(pattern))
            std::abort();
        g_folder = pattern;
        std::atexit(RemoveFolder);
    }
    return g_folder;
}

void Write(const std::string& path, const std::uint8_t* data, std::size_t size)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data), long(size));
}

std::vector<std::uint8_t> Read(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

ExifFields Record()
{
    ExifFields f{};
    f.hasExif = 1;
    f.width = 8;
    f.height = 6;
    f.xResolution = f.yResolution = 72;
    std::strcpy(f.dateTime, "2004:12:31 23:59:59");
    std::strcpy(f.artist, "ab");
    std::strcpy(f.make, "LG");
    f.exposureTime = 0.004;
    f.shutterSpeed = 0.004;
    f.aperture = 2.8;
    f.fNumber = 2.8;
    f.exposureBias = -0.7;
    f.isoSpeed = 200;
    f.flash = 1;
    f.focalLength = 50;
    f.meteringMode = f.lightSource = f.exposureProgram = f.colorSpace = -1;
    return f;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string path = Folder() + "/input";
    const std::vector<std::uint8_t> input(data, data + size);
    const ExifFields record = Record();
    for (int patcher = 0; patcher < 2; ++patcher) {
        Write(path, data, size);
        const int done = patcher == 0 ? ExifJpegWriter::Apply(path.c_str(), record)
                                      : ExifTiffPatcher::Apply(path.c_str(), record);
        if (!done && Read(path) != input)
            std::abort(); // a refusal must leave the file as it was
        ExifInfo exif;
        exif.ReadFromFile(path.c_str());
    }
    std::remove(path.c_str());
    return 0;
}
