// The main view's paints over a 24-megapixel photo: the image view at 1:1
// and fitted into 1600 x 1000 (smoothed, as the high-quality setting asks),
// the histogram panel, and the empty view's gradient at 1920 x 1080. Peers:
// Qt drawing the same part of the same buffer, counting every pixel for the
// histogram, and Qt's linear gradient over the same area.
#include "bench/BenchSupport.h"

#include "editor/shell/HistogramPanel.h"
#include "editor/shell/MainImageView.h"
#include "editor/shell/PhotoDocument.h"
#include "editor/ui/AppSettings.h"
#include "imagecore/QLImage.h"

#include <QApplication>
#include <QLinearGradient>
#include <QPainter>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace {

constexpr int kViewWidth = 1600;
constexpr int kAreaHeight = 1000;

struct Setup {
    CWnd parent;
    CMainImageView view;
    CHistogramPanel panel;
    CMainImageView emptyView;
    bool ok = false;
};

Setup& Windows()
{
    static int argc = 1;
    static char name[] = "bench_mainview";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        return new QApplication(argc, argv);
    }();
    (void)app;
    static Setup s;
    if (!s.ok) {
        const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe");
        std::snprintf(theAppSettings.m_programFolder, sizeof theAppSettings.m_programFolder, "%s/",
                      (exe.parent_path().parent_path() / "bin").c_str());
        thePhotoDocument.m_image.DuplicateFrom(&SyntheticPhoto());
        s.parent.CreateEx(0, AfxRegisterWndClass(0), "bench", WS_POPUP | WS_VISIBLE, 0, 0, 1920, 1080, nullptr,
                          nullptr);
        s.ok = s.view.Create("Photo", RECT{0, 0, kViewWidth, kAreaHeight + ZoomView::kStripHeight}, &s.parent, 1) &&
               s.panel.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, RECT{0, 0, 190, 140}, &s.parent, 2) &&
               s.emptyView.Create("", RECT{0, 0, 1920, 1080}, &s.parent, 3);
        s.view.SetImage(&thePhotoDocument.m_image, FALSE);
        s.emptyView.ShowToolButtons(FALSE);
    }
    return s;
}

// range(0): zoom in percent, 0 for fit (0.25 for 6000 x 4000 in 1600 x 1000).
void ImageViewPaint(benchmark::State& state)
{
    Setup& s = Windows();
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

void Peer_QtImageViewPaint(benchmark::State& state)
{
    const CQLImage& photo = SyntheticPhoto();
    const QImage source(photo.GetBuffer(0, 0), kPhotoWidth, kPhotoHeight, kPhotoWidth * 4, QImage::Format_RGB32);
    QImage target(kViewWidth, kAreaHeight, QImage::Format_RGB32);
    const double zoom = state.range(0) / 100.0;
    const QRectF sourceRect = zoom > 0 ? QRectF(2000, 1500, kViewWidth / zoom, kAreaHeight / zoom)
                                       : QRectF(0, 0, kPhotoWidth, kPhotoHeight);
    const QRectF targetRect = zoom > 0 ? QRectF(0, 0, kViewWidth, kAreaHeight)
                                       : QRectF(0, 0, kPhotoWidth * 0.25, kPhotoHeight * 0.25);
    for (auto _ : state) {
        QPainter p(&target);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(targetRect, source, sourceRect);
        p.end();
        benchmark::DoNotOptimize(target.constBits());
    }
}

void HistogramPaint(benchmark::State& state)
{
    Setup& s = Windows();
    if (!s.ok) {
        state.SkipWithError("no tool pictures in the program folder");
        return;
    }
    for (auto _ : state)
        s.panel.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    state.counters["curve"] = s.panel.m_curveValid;
}

// What a panel that counted every pixel would spend on counting alone.
void Peer_CountEveryPixel(benchmark::State& state)
{
    const CQLImage& photo = SyntheticPhoto();
    const BYTE* bits = photo.GetBuffer(0, 0);
    const long long n = static_cast<long long>(kPhotoWidth) * kPhotoHeight;
    uint32_t counts[4][256];
    for (auto _ : state) {
        std::memset(counts, 0, sizeof counts);
        for (long long i = 0; i < n; ++i) {
            const BYTE* p = bits + i * 4;
            ++counts[0][(6 * p[1] + 3 * p[2] + p[0]) / 10];
            ++counts[1][p[2]];
            ++counts[2][p[1]];
            ++counts[3][p[0]];
        }
        benchmark::DoNotOptimize(counts);
    }
}

void EmptyViewGradient(benchmark::State& state)
{
    Setup& s = Windows();
    if (!s.ok) {
        state.SkipWithError("no tool pictures in the program folder");
        return;
    }
    CClientDC dc(&s.emptyView);
    for (auto _ : state)
        s.emptyView.EraseBackground(&dc);
}

void Peer_QtLinearGradient(benchmark::State& state)
{
    QImage target(1920, 1080, QImage::Format_RGB32);
    const int b = 1080 / 4;
    QLinearGradient ramp(QPointF(100 + b, 100 + b), QPointF(100, 100));
    ramp.setColorAt(0, QColor(96, 96, 96));
    ramp.setColorAt(1, QColor(64, 64, 64));
    for (auto _ : state) {
        QPainter p(&target);
        p.fillRect(target.rect(), ramp);
        p.end();
        benchmark::DoNotOptimize(target.constBits());
    }
}

}  // namespace

BENCHMARK(ImageViewPaint)->Arg(100)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(Peer_QtImageViewPaint)->Arg(100)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(HistogramPaint)->Unit(benchmark::kMillisecond);
BENCHMARK(Peer_CountEveryPixel)->Unit(benchmark::kMillisecond);
BENCHMARK(EmptyViewGradient)->Unit(benchmark::kMillisecond);
BENCHMARK(Peer_QtLinearGradient)->Unit(benchmark::kMillisecond);
