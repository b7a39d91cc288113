// An HTML gallery of the batch benchmark's 100 camera-size JPEGs (thumbnails
// at 128, small images at 640, a page per photo) against ImageMagick making
// the same two images with two mogrify runs.
#include "BenchSupport.h"
#include "CameraJpegs.h"

#include "album/tools/WebExportThread.h"

#include <filesystem>
#include <fstream>

namespace {

// The batch benchmark's inputs, in a folder of their own.
const std::string& InputFolder()
{
    static const std::string folder = [] {
        const std::vector<std::string>& files = CameraJpegs("web-in");
        return files.front().substr(0, files.front().rfind('/') + 1);
    }();
    return folder;
}

void BM_QuilloWebExport(benchmark::State& state)
{
    const std::string& input = InputFolder();
    const std::string resources = BenchFolder() + "webexport/";
    std::filesystem::create_directories(resources);
    for (const char* name : {"folder.gif", "prev.gif", "next.gif"})
        std::ofstream(resources + name) << "GIF89a";
    const std::string templates = QUILLO_SOURCE_DIR "/assets/webexport/";
    const std::string out = BenchFolder() + "web-out/";
    for (auto _ : state) {
        state.PauseTiming();
        std::filesystem::remove_all(out);
        shelf::WebExportSettings settings;
        settings.destination = out;
        settings.sourceRoot = input;
        settings.resourceFolder = resources;
        settings.indexTemplate = templates + "thumbindex.htm";
        settings.pageTemplate = templates + "image.htm";
        settings.threads = static_cast<int>(state.range(0));
        settings.root = shelf::ScanWebExportTree(input, &settings.photosFound);
        state.ResumeTiming();
        shelf::WebExportThread(settings);
        if (!settings.TakeMessages().empty())
            state.SkipWithError("export reported a message");
    }
    state.counters["threads"] = static_cast<double>(state.range(0));
}

void BM_MogrifyThumbAndSmall(benchmark::State& state)
{
    const std::string& input = InputFolder();
    const std::string thumbs = BenchFolder() + "web-mogrify-thumb/", small = BenchFolder() + "web-mogrify-small/";
    std::filesystem::create_directories(thumbs);
    std::filesystem::create_directories(small);
    RunPeer(state, "mogrify -path " + thumbs + " -thumbnail 128x128 -quality 85 " + input + "*.jpg && mogrify -path " +
                       small + " -resize 640x640 -quality 75 " + input + "*.jpg");
}

} // namespace

BENCHMARK(BM_QuilloWebExport)->Arg(0)->Arg(1)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();
BENCHMARK(BM_MogrifyThumbAndSmall)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();
