// Writes the JPEG save schemes the program ships into <folder>/SaveSet/,
// through the same record writer the editor saves its schemes with.
//   quillo_schemegen <program folder>
#include "algorithms/JpegSlimSettings.h"

#include <cstdio>
#include <filesystem>
#include <string>

namespace {

struct ShippedScheme {
    const char* name;
    int quality;
    int includeExif;
    int adaptive;
    int sizeMode;  // 3: the longer side is limited to pixels
    int pixels;
    int tradeOff;  // 0 no limit, 2 lower the quality until the budget fits
    int budgetKB;
};

// Web pages want small files without camera data; mail keeps the EXIF;
// forums cap the file size.
const ShippedScheme kSchemes[] = {
    {"Web 800 pixels", 80, 0, 1, 3, 800, 0, 200},
    {"E-mail 1024 pixels", 85, 1, 1, 3, 1024, 2, 500},
    {"Forum 150 KB", 85, 0, 1, 3, 1280, 2, 150},
};

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <program folder>\n", argv[0]);
        return 2;
    }
    const std::string folder = std::string(argv[1]) + "/SaveSet/";
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    for (const ShippedScheme& s : kSchemes) {
        JpegSlimSettings record;
        record.valid = 1;
        record.quality = s.quality;
        record.chromaOption = 0;
        record.includeExif = static_cast<BYTE>(s.includeExif);
        record.adaptive = static_cast<BYTE>(s.adaptive);
        record.dctDenoise = 0;
        record.smoothPercent = 0;
        record.resizeMode = static_cast<BYTE>(s.sizeMode);
        record.resizeLength = s.pixels;
        record.sizeMode = static_cast<BYTE>(s.tradeOff);
        record.targetKB = s.budgetKB;
        record.flags = JpegSlimSettings::kMeasure | JpegSlimSettings::kNoWrite;
        record.SetPath("");
        const std::string path = folder + s.name + ".tsp";
        if (!SaveTspFile(path.c_str(), record)) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
