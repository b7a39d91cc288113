// The open dialog's thumbnails: a folder of 200 camera-sized JPEGs listed (by
// name, as the dialog lists) and thumbnailed as the algorithm thread makes
// them (the codec's quick 100-pixel thumbnail, then the luma sharpening), on
// one thread, against vipsthumbnail with one worker on the same folder.
#include "BenchSupport.h"

#include "algorithms/SharpenLuma.h"
#include "imagecore/ParallelFor.h"
#include "imagecore/QLImage.h"
#include "platform/codec/QLImageCodec.h"
#include "platform/win/FileFind.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr int kFiles = 200;

// Four camera shapes, each written once and linked under 50 names: every
// file is decoded in full by both sides, without 600 MB of copies.
const std::string& Folder()
{
    static const std::string folder = [] {
        const std::string path = BenchFolder() + "/camera/";
        std::filesystem::create_directories(path);
        const unsigned shapes[][2] = {{4000, 3000}, {3000, 4000}, {4608, 3456}, {6000, 4000}};
        CQLImageCodec codec;
        for (int s = 0; s < 4; ++s) {
            CQLImage photo;
            MakeSyntheticPhoto(photo, shapes[s][0], shapes[s][1]);
            const std::string first = path + "shape" + std::to_string(s) + ".jpg";
            if (!codec.SaveJpegFile(first.c_str(), &photo, 90, 72))
                std::abort();
            for (int i = 0; i < kFiles / 4; ++i) {
                char name[64];
                std::snprintf(name, sizeof name, "IMG_%04d.JPG", i * 4 + s);
                std::filesystem::create_hard_link(first, path + name);
            }
            std::filesystem::remove(first);
        }
        return path;
    }();
    return folder;
}

void OpenDialogThumbnailsOurs(benchmark::State& state)
{
    const std::string& folder = Folder();
    imagecore::ScopedSingleThread oneThread;
    CQLImageCodec codec;
    int made = 0;
    for (auto _ : state) {
        std::vector<std::string> names;
        WIN32_FIND_DATA data;
        HANDLE find = FindFirstFile((folder + "*.*").c_str(), &data);
        for (BOOL more = find != INVALID_HANDLE_VALUE; more; more = FindNextFile(find, &data))
            if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                CQLImageCodec::GetFileType(data.cFileName) == QL_FILE_JPEG)
                names.emplace_back(data.cFileName);
        FindClose(find);
        made = 0;
        for (const std::string& name : names) {
            CQLImage thumb;
            int w = 0, h = 0;
            if (codec.CreateThumbnail((folder + name).c_str(), &thumb, 100, &w, &h, 0)) {
                SharpenLuma(&thumb, 200);
                ++made;
            }
        }
    }
    if (made != kFiles)
        state.SkipWithError("not every thumbnail was made");
    state.counters["files/s"] = benchmark::Counter(kFiles, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(OpenDialogThumbnailsOurs)->Name("OpenDialogThumbnails/ours")->Unit(benchmark::kMillisecond)
    ->UseRealTime()->Iterations(3);

void OpenDialogThumbnailsPeer(benchmark::State& state)
{
    const std::string& folder = Folder();
    const std::string out = BenchFolder() + "/vips-thumbs/";
    std::filesystem::create_directories(out);
    // One process over the folder, one worker thread, its native output format.
    RunPeer(state, "env VIPS_CONCURRENCY=1 vipsthumbnail -s 100 -o " + out + "%s.v " + folder + "*.JPG");
    state.counters["files/s"] = benchmark::Counter(kFiles, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(OpenDialogThumbnailsPeer)->Name("OpenDialogThumbnails/peer")->Unit(benchmark::kMillisecond)
    ->UseRealTime()->Iterations(3);

} // namespace
