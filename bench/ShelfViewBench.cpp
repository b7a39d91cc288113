// The album viewer on a 24-megapixel photo: the slideshow's screen
// composition and transition steps, the analysis views, View Photo's next
// photo from the preload and without it, and the panel's pan repaint at
// both ends of the zoom ladder, each beside a peer program doing the
// nearest work on the same input.
#include "BenchSupport.h"

#include "album/shell/AlbumGlobals.h"
#include "album/shell/PhotoAnalysis.h"
#include "album/shell/SlideTransitions.h"
#include "album/shell/ViewPhotoDlg.h"
#include "album/shell/ViewerPanel.h"
#include "imagecore/QLImage.h"
#include "platform/afx/Afx.h"
#include "platform/codec/QLImageCodec.h"

#include <QApplication>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

using shelf::PhotoAnalysis;
using shelf::SlideTransitions;

namespace {

struct Screen {
    int w, h;
};
const Screen kScreens[] = {{1920, 1080}, {3840, 2160}};

void BM_ComposeBoth(benchmark::State& state)
{
    const Screen s = kScreens[state.range(0)];
    CQLImage d, t;
    d.Create(static_cast<UINT>(s.w), static_cast<UINT>(s.h));
    t.Create(static_cast<UINT>(s.w), static_cast<UINT>(s.h));
    const CQLImage& photo = SyntheticPhoto();
    for (auto _ : state) {
        SlideTransitions::Compose(photo, &d);
        SlideTransitions::Compose(photo, &t);
    }
}
BENCHMARK(BM_ComposeBoth)->DenseRange(0, 1)->Unit(benchmark::kMillisecond);

void BM_TransitionStep(benchmark::State& state)
{
    const Screen s = kScreens[state.range(1)];
    const int effect = static_cast<int>(state.range(0));
    CQLImage d, t;
    d.Create(static_cast<UINT>(s.w), static_cast<UINT>(s.h));
    t.Create(static_cast<UINT>(s.w), static_cast<UINT>(s.h));
    SlideTransitions::Compose(SyntheticPhoto(), &t);
    int step = 1;
    for (auto _ : state) {
        SlideTransitions::Step(effect, step, &d, t);
        step = step % 10 + 1;
    }
    state.SetLabel(SlideTransitions::kEffectNames[effect]);
}
BENCHMARK(BM_TransitionStep)
    ->ArgsProduct({benchmark::CreateDenseRange(2, 10, 1), {0, 1}})
    ->Unit(benchmark::kMillisecond);

void BM_AnalysisMode(benchmark::State& state)
{
    const int mode = static_cast<int>(state.range(0));
    const CQLImage& photo = SyntheticPhoto();
    CQLImage work;
    PhotoAnalysis::Histograms histograms;
    for (auto _ : state)
        PhotoAnalysis::Build(photo, mode, &work, &histograms);
    state.SetLabel(std::string(1, PhotoAnalysis::kLetters[mode]));
}
BENCHMARK(BM_AnalysisMode)->DenseRange(1, 11)->Unit(benchmark::kMillisecond);

// ---- the windows ---------------------------------------------------------

constexpr int kScreenWidth = 1920, kScreenHeight = 1080;

// The album's globals over the build's program folder, in an offscreen
// application; false when the skin is missing.
bool Album()
{
    static int argc = 1;
    static char name[] = "bench_shelfview";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        return new QApplication(argc, argv);
    }();
    (void)app;
    static shelf::AlbumGlobals* globals = [] {
        auto* g = new shelf::AlbumGlobals;
        if (g->InitPaths(std::string(QUILLO_PROGRAM_DIR) + "/") != 0) {
            delete g;
            return static_cast<shelf::AlbumGlobals*>(nullptr);
        }
        shelf::theAlbum = g;
        return g;
    }();
    return globals != nullptr;
}

// The synthetic photo as a JPEG under three names: the cache tells photos
// apart by path.
const std::vector<std::string>& JpegPaths()
{
    static const std::vector<std::string> paths = [] {
        const std::string first = BenchFolder() + "/view-a.jpg";
        CQLImageCodec codec;
        codec.SaveJpegFile(first.c_str(), &SyntheticPhoto(), 90, 72);
        std::vector<std::string> all{first};
        for (const char* other : {"view-b.jpg", "view-c.jpg"}) {
            std::filesystem::copy_file(first, BenchFolder() + "/" + other,
                                       std::filesystem::copy_options::overwrite_existing);
            all.push_back(BenchFolder() + "/" + other);
        }
        return all;
    }();
    return paths;
}

// View Photo on a screen-sized window, its next photo preloaded.
std::unique_ptr<shelf::CViewPhotoDlg> OpenViewPhoto(std::vector<std::string> paths)
{
    auto dlg = std::make_unique<shelf::CViewPhotoDlg>();
    if (!dlg->CreateHidden())
        return nullptr;
    dlg->Open(std::move(paths), 0);
    dlg->MoveWindow(0, 0, kScreenWidth, kScreenHeight);
    return dlg;
}

void WaitForPreload(shelf::CViewPhotoDlg& dlg)
{
    while (dlg.m_cache.GetState() != shelf::PhotoPreloadCache::kDecoded &&
           dlg.m_cache.GetState() != shelf::PhotoPreloadCache::kFailed)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

// Next with the photo already decoded ahead, to the painted panel. Bar: 60 ms.
void BM_ViewNextOnPreloadHit(benchmark::State& state)
{
    if (!Album()) {
        state.SkipWithError("no skin in the program folder");
        return;
    }
    auto dlg = OpenViewPhoto({JpegPaths()[0], JpegPaths()[1]});
    if (!dlg) {
        state.SkipWithError("the dialog could not be made");
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        WaitForPreload(*dlg);
        state.ResumeTiming();
        dlg->ShowNext();
    }
}
BENCHMARK(BM_ViewNextOnPreloadHit)->Unit(benchmark::kMillisecond)->UseRealTime();

// A photo the preload did not ask for: decoded at once, to the painted panel. Bar: 1.2 x djpeg.
void BM_ViewPhotoOnPreloadMiss(benchmark::State& state)
{
    if (!Album()) {
        state.SkipWithError("no skin in the program folder");
        return;
    }
    auto dlg = OpenViewPhoto(JpegPaths());
    if (!dlg) {
        state.SkipWithError("the dialog could not be made");
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        WaitForPreload(*dlg);
        state.ResumeTiming();
        // The preload holds index + 1; index + 2 is decoded now.
        dlg->ShowPhotoAtIndex((dlg->m_index + 2) % 3);
    }
}
BENCHMARK(BM_ViewPhotoOnPreloadMiss)->Unit(benchmark::kMillisecond)->UseRealTime();

// One hand-tool drag step on a screen-sized panel, painted at once, at the
// ladder's smallest (0.1) and largest (14) zoom. Bar: 10 ms.
void BM_PanRepaint(benchmark::State& state)
{
    if (!Album()) {
        state.SkipWithError("no skin in the program folder");
        return;
    }
    CWnd parent;
    parent.CreateEx(0, AfxRegisterWndClass(0), "bench", WS_POPUP | WS_VISIBLE, 0, 0, kScreenWidth, kScreenHeight,
                    nullptr, nullptr);
    shelf::CViewerPanel panel;
    if (!panel.Create("", RECT{0, 0, kScreenWidth, kScreenHeight}, &parent, 1)) {
        state.SkipWithError("the panel could not be made");
        return;
    }
    panel.SetImage(const_cast<CQLImage*>(&SyntheticPhoto()), FALSE);
    panel.m_zoom = state.range(0) == 0 ? 0.1 : 14.0;
    panel.m_scrollX = kPhotoWidth / 2;
    panel.m_scrollY = kPhotoHeight / 2;
    panel.RepaintImage();
    panel.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(960, 540));
    int step = 0;
    for (auto _ : state) {
        const int x = 960 + ((step++ & 1) ? 100 : -100);
        panel.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, 540));
    }
    panel.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(960, 540));
    state.SetLabel(state.range(0) == 0 ? "zoom 0.1" : "zoom 14");
    panel.DestroyWindow();
    parent.DestroyWindow();
}
BENCHMARK(BM_PanRepaint)->DenseRange(0, 1)->Unit(benchmark::kMillisecond)->UseRealTime();

// The two parts of a miss: the codec's decode of the file, and the fitted
// paint of the decoded photo on a screen-sized panel.
void BM_CodecLoad(benchmark::State& state)
{
    const std::string path = JpegPaths()[0];
    for (auto _ : state) {
        CQLImage image;
        if (!CQLImageCodec().LoadFile(path.c_str(), &image))
            state.SkipWithError("the photo did not decode");
    }
}
BENCHMARK(BM_CodecLoad)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_FittedPaint(benchmark::State& state)
{
    if (!Album()) {
        state.SkipWithError("no skin in the program folder");
        return;
    }
    CWnd parent;
    parent.CreateEx(0, AfxRegisterWndClass(0), "bench", WS_POPUP | WS_VISIBLE, 0, 0, kScreenWidth, kScreenHeight,
                    nullptr, nullptr);
    shelf::CViewerPanel panel;
    panel.Create("", RECT{0, 0, kScreenWidth, kScreenHeight - 37}, &parent, 1);
    panel.SetImage(const_cast<CQLImage*>(&SyntheticPhoto()), FALSE);
    for (auto _ : state) {
        panel.FitToWindow();
        panel.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    }
    panel.DestroyWindow();
    parent.DestroyWindow();
}
BENCHMARK(BM_FittedPaint)->Unit(benchmark::kMillisecond)->UseRealTime();

// Peers on the same photo.
void BM_PeerDjpeg(benchmark::State& state)
{
    RunPeer(state, "djpeg -outfile /dev/null " + JpegPaths()[0]);
}
BENCHMARK(BM_PeerDjpeg)->Unit(benchmark::kMillisecond);

void BM_PeerVipsNearestToScreen(benchmark::State& state)
{
    const std::string out = BenchFolder() + "/vips-screen.v";
    RunPeer(state, "vips resize " + PeerInputPpm() + " " + out + " 0.27 --kernel nearest");
}
BENCHMARK(BM_PeerVipsNearestToScreen)->Unit(benchmark::kMillisecond);

void BM_PeerMagickSeparate(benchmark::State& state)
{
    RunPeer(state, "convert " + PeerInputPpm() + " -channel R -separate " + BenchFolder() + "/sep.pgm");
}
BENCHMARK(BM_PeerMagickSeparate)->Unit(benchmark::kMillisecond);

void BM_PeerMagickHsl(benchmark::State& state)
{
    RunPeer(state, "convert " + PeerInputPpm() + " -colorspace HSL " + BenchFolder() + "/hsl.ppm");
}
BENCHMARK(BM_PeerMagickHsl)->Unit(benchmark::kMillisecond);

void BM_PeerMagickEdge(benchmark::State& state)
{
    RunPeer(state, "convert " + PeerInputPpm() + " -edge 1 " + BenchFolder() + "/edge.ppm");
}
BENCHMARK(BM_PeerMagickEdge)->Unit(benchmark::kMillisecond);

} // namespace
