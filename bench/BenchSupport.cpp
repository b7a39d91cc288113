#include "bench/BenchSupport.h"

#include "imagecore/QLImage.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>
#include <vector>

void MakeSyntheticPhoto(CQLImage& image, unsigned width, unsigned height)
{
    if (image.Create(width, height) != 0)
        std::abort();
    std::uint32_t noise = 12345;
    for (unsigned y = 0; y < height; ++y) {
        BYTE* p = reinterpret_cast<BYTE*>(image.GetBuffer(0, y));
        for (unsigned x = 0; x < width; ++x, p += 4) {
            noise = noise * 1664525u + 1013904223u;
            const unsigned n = (noise >> 24) & 15;
            p[0] = static_cast<BYTE>((x * 255 / width + n) & 255);
            p[1] = static_cast<BYTE>((y * 255 / height + n) & 255);
            p[2] = static_cast<BYTE>(((x + y) * 127 / (width + height) + 64 + n) & 255);
            p[3] = 255;
        }
    }
}

const CQLImage& SyntheticPhoto()
{
    static CQLImage photo;
    if (photo.GetAreaByteSize() == 0)
        MakeSyntheticPhoto(photo, kPhotoWidth, kPhotoHeight);
    return photo;
}

const CQLImage& SyntheticPreview()
{
    static CQLImage preview;
    if (preview.GetAreaByteSize() == 0)
        MakeSyntheticPhoto(preview, kPreviewWidth, kPreviewHeight);
    return preview;
}

std::string WritePpm(const CQLImage& image, const std::string& name)
{
    const std::string path = BenchFolder() + "/" + name;
    UINT w = 0, h = 0;
    image.GetSize(&w, &h);
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        std::abort();
    std::fprintf(f, "P6\n%u %u\n255\n", w, h);
    std::vector<unsigned char> row(std::size_t{w} * 3);
    for (UINT y = 0; y < h; ++y) {
        const BYTE* s = image.GetBuffer(0, static_cast<int>(y));
        for (UINT x = 0; x < w; ++x, s += 4) {
            row[x * 3] = s[2];
            row[x * 3 + 1] = s[1];
            row[x * 3 + 2] = s[0];
        }
        if (std::fwrite(row.data(), 1, row.size(), f) != row.size())
            std::abort();
    }
    std::fclose(f);
    return path;
}

const std::string& PeerInputPpm(bool preview)
{
    static const std::string photoPath = WritePpm(SyntheticPhoto(), "photo.ppm");
    if (!preview)
        return photoPath;
    static const std::string previewPath = WritePpm(SyntheticPreview(), "preview.ppm");
    return previewPath;
}

const std::string& BenchFolder()
{
    // Never destroyed: the removal at exit runs after the statics made
    // later than its registration are gone, and it needs the name.
    static const std::string& folder = *new std::string([] {
        std::string path = (std::filesystem::temp_directory_path() / ("quillo-bench-" + std::to_string(getpid()))).string();
        std::filesystem::create_directories(path);
        std::atexit([] { std::filesystem::remove_all(BenchFolder()); });
        return path;
    }());
    return folder;
}

void RunPeer(benchmark::State& state, const std::string& command)
{
    const std::string program = command.substr(0, command.find(' '));
    if (std::system(("command -v " + program + " >/dev/null 2>&1").c_str()) != 0) {
        state.SkipWithError((program + " is not installed (bench/run installs the peers)").c_str());
        return;
    }
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError(("peer failed: " + command).c_str());
            return;
        }
    }
}
