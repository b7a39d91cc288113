// One paint of the zoom view over a 24-megapixel photo at the zooms a user
// steps through (fit, 0.5, 1, 2), smoothed as the high-quality view setting
// asks, and one panning step at 1:1. The peer is Qt drawing the same
// visible part of the same buffer with smooth scaling into an image of the
// view's size.
#include "bench/BenchSupport.h"

#include "editor/ui/AppSettings.h"
#include "editor/ui/ZoomView.h"
#include "imagecore/QLImage.h"

#include <QApplication>
#include <QPainter>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace {

constexpr int kViewWidth = 1500;
constexpr int kAreaHeight = 1000;

struct Setup {
    CWnd parent;
    ZoomView view;
    bool ok = false;
};

Setup& Views()
{
    static int argc = 1;
    static char name[] = "bench_zoomview";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        return new QApplication(argc, argv);
    }();
    (void)app;
    static Setup s;
    if (!s.ok) {
        // The build's program folder, beside this program's folder.
        const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe");
        std::snprintf(theAppSettings.m_programFolder, sizeof theAppSettings.m_programFolder, "%s/",
                      (exe.parent_path().parent_path() / "bin").c_str());
        s.parent.CreateEx(0, AfxRegisterWndClass(0), "bench", WS_POPUP | WS_VISIBLE, 0, 0, kViewWidth,
                          kAreaHeight + ZoomView::kStripHeight, nullptr, nullptr);
        s.ok = s.view.Create("Photo", RECT{0, 0, kViewWidth, kAreaHeight + ZoomView::kStripHeight}, &s.parent, 1);
        s.view.SetImage(const_cast<CQLImage*>(&SyntheticPhoto()), FALSE);
    }
    return s;
}

// zoom 0: fit (0.25 for 6000 x 4000 in 1500 x 1000).
void Paint(benchmark::State& state)
{
    Setup& s = Views();
    if (!s.ok) {
        state.SkipWithError("no tool pictures in the program folder");
        return;
    }
    s.view.SetSmoothScaling(TRUE);
    const double zoom = state.range(0) / 100.0;
    if (zoom > 0)
        s.view.SetScrollZoom(2000, 1500, zoom);
    else
        s.view.ZoomToFit(FALSE);
    for (auto _ : state)
        s.view.RepaintNow();
    state.counters["zoom"] = s.view.m_zoom;
}

void PanStep(benchmark::State& state)
{
    Setup& s = Views();
    if (!s.ok) {
        state.SkipWithError("no tool pictures in the program folder");
        return;
    }
    s.view.SetSmoothScaling(TRUE);
    s.view.SetScrollZoom(1000, 1000, 1);
    int step = 0;
    for (auto _ : state) {
        s.view.SetScrollZoom(1000 + (step++ % 64) * 8, 1000, 1);
    }
}

void Peer_QtDrawImage(benchmark::State& state)
{
    const CQLImage& photo = SyntheticPhoto();
    const QImage source(photo.GetBuffer(0, 0), kPhotoWidth, kPhotoHeight, kPhotoWidth * 4, QImage::Format_RGB32);
    QImage target(kViewWidth, kAreaHeight, QImage::Format_RGB32);
    double zoom = state.range(0) / 100.0;
    QRectF sourceRect(2000, 1500, kViewWidth / zoom, kAreaHeight / zoom);
    if (zoom <= 0)
        sourceRect = QRectF(0, 0, kPhotoWidth, kPhotoHeight);
    const QRectF targetRect(0, 0, kViewWidth, kAreaHeight);
    for (auto _ : state) {
        QPainter p(&target);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(targetRect, source, sourceRect);
        p.end();
        benchmark::DoNotOptimize(target.constBits());
    }
}

}  // namespace

BENCHMARK(Paint)->Arg(0)->Arg(50)->Arg(100)->Arg(200)->Unit(benchmark::kMillisecond);
BENCHMARK(Peer_QtDrawImage)->Arg(0)->Arg(50)->Arg(100)->Arg(200)->Unit(benchmark::kMillisecond);
BENCHMARK(PanStep)->Unit(benchmark::kMillisecond);
