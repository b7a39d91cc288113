// QuilloDevelop's preview of a 24-megapixel 16-bit image in an 800 x 600
// view: one rendering and paint at fit and at 1:1. The peer is libvips
// resizing the same image, as a 16-bit TIFF, to the view's size.
#include "BenchSupport.h"
#include "Photo16Support.h"

#include "develop/DevelopPreviewView.h"
#include "imagecore/16BitBitmap.h"
#include "platform/afx/WinApp.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kViewWidth = 800;
constexpr int kViewHeight = 600;

struct Setup {
    CWnd parent;
    develop::DevelopPreviewView view;
};

Setup& View()
{
    static int argc = 1;
    static char name[] = "bench_developview";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        return new QApplication(argc, argv);
    }();
    (void)app;
    static Setup* s = [] {
        auto* setup = new Setup;
        setup->parent.CreateEx(0, AfxRegisterWndClass(0), "bench", WS_POPUP | WS_VISIBLE, 0, 0, kViewWidth,
                               kViewHeight, nullptr, nullptr);
        setup->view.Create(1, RECT{0, 0, kViewWidth, kViewHeight}, &setup->parent);
        setup->view.SetImage16(&Photo16());
        return setup;
    }();
    return *s;
}

void Fit(benchmark::State& state)
{
    Setup& s = View();
    for (auto _ : state)
        s.view.FitToWindow();
    state.counters["zoom"] = s.view.Zoom();
    state.counters["converted_px"] = static_cast<double>(s.view.ConvertedPixels());
}

void ActualSize(benchmark::State& state)
{
    Setup& s = View();
    for (auto _ : state)
        s.view.ActualSize();
    state.counters["converted_px"] = static_cast<double>(s.view.ConvertedPixels());
}

void Peer_VipsResize(benchmark::State& state)
{
    const double scale = static_cast<double>(kViewHeight) / Photo16().GetHeight();
    char command[512];
    std::snprintf(command, sizeof command, "vips resize %s %s/fit16.v %.6f", PeerInputTiff16().c_str(),
                  BenchFolder().c_str(), scale);
    RunPeer(state, command);
}

} // namespace

BENCHMARK(Fit)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(ActualSize)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(Peer_VipsResize)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
