// The quick viewer on a 24-megapixel JPEG: a "next" step to its notice (the
// neighbour decoded ahead) and the window's copy of it, against djpeg
// decoding that photo; a best-fit repaint into 1920 x 1080; one drag step at
// 100 %.
#include "bench/BenchSupport.h"
#include "glance/GlanceView.h"
#include "glance/PhotoFolder.h"
#include "imagecore/QLImage.h"
#include "platform/codec/QLImageCodec.h"

#include <QApplication>

#include <chrono>
#include <filesystem>

namespace {

// Three copies of the photo in their own folder.
const std::string& PhotoFolderPath()
{
    static const std::string folder = [] {
        const std::string dir = BenchFolder() + "/glance/";
        std::filesystem::create_directories(dir);
        CQLImageCodec codec;
        if (!codec.SaveJpegFile((dir + "a.jpg").c_str(), &SyntheticPhoto(), 90, 72))
            std::abort();
        std::filesystem::copy_file(dir + "a.jpg", dir + "b.jpg");
        std::filesystem::copy_file(dir + "a.jpg", dir + "c.jpg");
        return dir;
    }();
    return folder;
}

void BM_NextToNotice(benchmark::State& state)
{
    CQLImageCodec::Start();
    glance::PhotoFolder folder;
    folder.Open(PhotoFolderPath() + "a.jpg", [] {});
    CQLImage shown;
    const bool withCopy = state.range(0) != 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        auto noticed = start;
        folder.Next([&] {
            if (withCopy)
                folder.CopyCurrent(&shown);
            noticed = std::chrono::steady_clock::now();
        });
        state.SetIterationTime(std::chrono::duration<double>(noticed - start).count());
    }
}
BENCHMARK(BM_NextToNotice)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(8);

void BM_Peer_DjpegDecode(benchmark::State& state)
{
    RunPeer(state, "djpeg -ppm -outfile /dev/null " + PhotoFolderPath() + "a.jpg");
}
BENCHMARK(BM_Peer_DjpegDecode)->Unit(benchmark::kMillisecond)->UseRealTime();

// A 1920 x 1080 view on an offscreen window showing the photo.
struct ViewFixture {
    ViewFixture()
    {
        static int argc = 1;
        static char name[] = "bench_glance";
        static char* argv[] = {name, nullptr};
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static QApplication app(argc, argv);
        parent.CreateEx(0, nullptr, "bench", WS_POPUP | WS_VISIBLE, 0, 0, 1922, 1082, nullptr, nullptr);
        view.Create(CRect(1, 1, 1921, 1081), &parent);
        view.SetPhoto(&SyntheticPhoto());
    }
    ~ViewFixture() { parent.DestroyWindow(); }
    CWnd parent;
    glance::GlanceView view;
};

void BM_BestFitRepaint(benchmark::State& state)
{
    ViewFixture f;
    for (auto _ : state)
        f.view.BestFit();
}
BENCHMARK(BM_BestFitRepaint)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_DragStepAt100(benchmark::State& state)
{
    ViewFixture f;
    f.view.ActualSize();
    int step = 12;
    for (auto _ : state) {
        f.view.DragBy(step, step);
        step = -step;
    }
}
BENCHMARK(BM_DragStepAt100)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
