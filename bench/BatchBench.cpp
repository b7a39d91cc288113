// A batch run over 100 camera-size JPEGs (resize by long side 1600, auto
// level, sharpen 70/2, JPEG 90 with EXIF) against ImageMagick's mogrify on
// the same files with the same steps.
#include "BenchSupport.h"

#include "album/tools/BatchRunner.h"
#include "imagecore/QLImage.h"
#include "platform/codec/QLImageCodec.h"

#include <QGuiApplication>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <sys/resource.h>

namespace {

constexpr int kPhotos = 100;
constexpr unsigned kWidth = 4000, kHeight = 3000;

// The inputs, made once: each photo differs (shifted texture), quality 92,
// with the EXIF of a camera photo of the corpus when it is there.
const std::vector<std::string>& Inputs()
{
    static std::vector<std::string> files = [] {
        std::vector<std::string> out;
        const std::string folder = BenchFolder() + "batch-in/";
        std::filesystem::create_directories(folder);
        CQLImage base, photo;
        MakeSyntheticPhoto(base, kWidth + kPhotos, kHeight);
        ExifInfo exif;
        const bool haveExif = exif.ReadFromFile(QUILLO_CORPUS_DIR "/exif-samples/jpg/Canon_40D.jpg") != 0;
        CQLImageCodec codec;
        for (int i = 0; i < kPhotos; ++i) {
            photo.Create(kWidth, kHeight);
            for (unsigned y = 0; y < kHeight; ++y)
                std::memcpy(photo.GetBuffer(0, static_cast<int>(y)), base.GetBuffer(i, static_cast<int>(y)), kWidth * 4);
            const std::string path = folder + "photo" + std::to_string(i) + ".jpg";
            codec.SaveJpegFile(path.c_str(), &photo, 92, 72);
            if (haveExif)
                exif.WriteToFile(TRUE, path.c_str(), FALSE);
            out.push_back(path);
        }
        return out;
    }();
    return files;
}

double CpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void BM_QuilloBatch(benchmark::State& state)
{
    const auto& files = Inputs();
    shelf::ActionTable table;
    shelf::BatchResources resources;
    shelf::BuildActionTable(BenchFolder() + "no-program/", table, resources);
    static_cast<shelf::IntParam*>(shelf::FindAction(table, shelf::kResizeByLongSide)->Find("Long side"))->number = 1600;
    static_cast<shelf::IntParam*>(shelf::FindAction(table, shelf::kSave)->Find("Quality if JPEG"))->number = 90;
    // Plain 4:2:0 JPEG as mogrify writes it.
    static_cast<shelf::EnumParam*>(shelf::FindAction(table, shelf::kSave)->Find("High Quality Color(Large Size)"))->index = 0;
    std::vector<int> chain;
    for (int id : {shelf::kResizeByLongSide, shelf::kAutoLevel, shelf::kSharpen, shelf::kSave})
        for (size_t i = 0; i < table.size(); ++i)
            if (table[i].id == id)
                chain.push_back(static_cast<int>(i));
    const std::string out = BenchFolder() + "batch-out-quillo/";
    double cpu = 0, wall = 0;
    for (auto _ : state) {
        std::filesystem::remove_all(out);
        shelf::BatchRunner runner(table, resources);
        runner.SetFiles(files);
        shelf::BatchOutput output;
        output.folder = out;
        runner.SetOutput(output);
        runner.SetChain(chain);
        if (runner.Start(nullptr) != shelf::BatchCheck::Ok) {
            state.SkipWithError("batch refused");
            break;
        }
        const double c0 = CpuSeconds();
        const auto t0 = std::chrono::steady_clock::now();
        const shelf::BatchReport report = runner.Run();
        wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        cpu += CpuSeconds() - c0;
        if (!report.Clean())
            state.SkipWithError("batch reported failures");
    }
    state.counters["cpu_over_wall"] = wall > 0 ? cpu / wall : 0;
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_rss_mb"] = usage.ru_maxrss / 1024.0;
}

void BM_Mogrify(benchmark::State& state)
{
    const auto& files = Inputs();
    const std::string out = BenchFolder() + "batch-out-mogrify/";
    std::filesystem::create_directories(out);
    RunPeer(state, "mogrify -path " + out + " -resize 1600x1600 -auto-level -unsharp 0x2+0.7 -quality 90 " +
                       std::filesystem::path(files.front()).parent_path().string() + "/*.jpg");
}

// Text rendering (the date stamp) needs a GUI application; none is shown.
const bool kApp = [] {
    static int argc = 1;
    static char name[] = "bench_batch";
    static char* argv[] = {name, nullptr};
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static auto* app = new QGuiApplication(argc, argv);
    return app != nullptr;
}();

} // namespace

BENCHMARK(BM_QuilloBatch)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();
BENCHMARK(BM_Mogrify)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();
