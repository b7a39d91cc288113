// Paint mode on a 24-megapixel photo: a mouse move of the test pen (its
// stamp, its blend and the canvas repaint with the outline) at brush sizes
// 24 and 256, recording a stroke in the undo file, and repainting a
// 1920 x 1080 canvas at 25 % and 400 %. Peers: Qt stroking the same segment
// with a round pen of the brush's diameter and drawing the canvas's region,
// and Qt drawing the same region smoothly scaled.
#include "bench/BenchSupport.h"

#include "editor/retouch/PaintState.h"
#include "editor/retouch/PaintUndoStore.h"
#include "editor/shell/PhotoDocument.h"
#include "editor/shell/PluginHost.h"
#include "editor/shell/ViewContainer.h"
#include "editor/ui/AppSettings.h"
#include "imagecore/QLImage.h"

#include <QApplication>
#include <QPainter>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace {

constexpr int kCanvasWidth = 1920;
constexpr int kCanvasHeight = 1080;
constexpr int kPenId = 10;

struct Setup {
    CWnd parent;
    CViewContainer container;
    bool ok = false;
};

Setup& Windows()
{
    static int argc = 1;
    static char name[] = "bench_paint";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        return new QApplication(argc, argv);
    }();
    (void)app;
    static Setup s;
    if (!s.ok) {
        const std::filesystem::path build = std::filesystem::read_symlink("/proc/self/exe").parent_path().parent_path();
        std::snprintf(theAppSettings.m_programFolder, sizeof theAppSettings.m_programFolder, "%s/",
                      (build / "bin").c_str());
        auto pen = std::make_unique<PluginModule>();
        if (LoadPlugin(*pen, (build / "tests/paint_fixtures/test_paint_pen.qli").c_str()) != 0)
            return s;
        thePluginTable.paintTools.push_back(std::move(pen));
        thePhotoDocument.m_image.DuplicateFrom(&SyntheticPhoto());
        const int width = CPaintToolPanel::kWidth + kCanvasWidth;
        s.parent.CreateEx(0, AfxRegisterWndClass(0), "bench", WS_POPUP | WS_VISIBLE, 0, 0, width, kCanvasHeight,
                          nullptr, nullptr);
        s.ok = s.container.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, RECT{0, 0, width, kCanvasHeight}, &s.parent,
                                  CViewContainer::kId);
        s.container.m_canvas.SetImage(&thePhotoDocument.m_image, FALSE);
        s.container.m_canvas.InitUndoStore();
        const RECT button = s.container.m_panel.Entries().back().rect;
        const LPARAM at = MAKELPARAM((button.left + button.right) / 2, (button.top + button.bottom) / 2);
        s.container.m_panel.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, at);
        s.container.m_panel.SendMessage(WM_LBUTTONUP, 0, at);
        s.ok = s.ok && s.container.m_panel.GetCurrentToolId() == kPenId;
    }
    return s;
}

// The mouse moves back and forth along a row, 6 pixels a step, as a drag does.
int StepX(int64_t i)
{
    const int phase = static_cast<int>(i % 200);
    return 600 + 6 * (phase < 100 ? phase : 200 - phase);
}

// range(0): brush size.
void PenMouseMove(benchmark::State& state)
{
    Setup& s = Windows();
    if (!s.ok) {
        state.SkipWithError("no test pen beside the benchmark");
        return;
    }
    CPaintCanvas& canvas = s.container.m_canvas;
    thePaintState.brush = BrushSettings{static_cast<int32_t>(state.range(0)), 50, 100};
    thePaintState.view.scale = 1.0;
    canvas.RecalcLayout();
    canvas.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(StepX(0), 500));
    int64_t i = 1;
    for (auto _ : state)
        canvas.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(StepX(i++), 500));
    canvas.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(StepX(i), 500));
    canvas.ClearUndo();
}

void Peer_QtRoundPenMouseMove(benchmark::State& state)
{
    CQLImage& photo = thePhotoDocument.m_image;
    if (photo.GetAreaByteSize() == 0)
        photo.DuplicateFrom(&SyntheticPhoto());
    QImage target(photo.GetBuffer(0, 0), kPhotoWidth, kPhotoHeight, QImage::Format_RGB32);
    QImage canvas(kCanvasWidth, kCanvasHeight, QImage::Format_RGB32);
    QPen pen(QColor(255, 128, 0), static_cast<qreal>(state.range(0)), Qt::SolidLine, Qt::RoundCap);
    int64_t i = 1;
    for (auto _ : state) {
        {
            QPainter p(&target);
            p.setRenderHint(QPainter::Antialiasing);
            p.setPen(pen);
            p.drawLine(QPoint(StepX(i - 1), 500), QPoint(StepX(i), 500));
        }
        QPainter c(&canvas);
        c.drawImage(QPoint(0, 0), target, QRect(0, 0, kCanvasWidth, kCanvasHeight));
        ++i;
    }
}

// A stroke of the 256 brush along 300 pixels: its rectangle into the file,
// then the reference copy renewed.
void RecordStroke(benchmark::State& state)
{
    CQLImage& photo = thePhotoDocument.m_image;
    if (photo.GetAreaByteSize() == 0)
        photo.DuplicateFrom(&SyntheticPhoto());
    CQLImage reference;
    CPaintUndoStore store;
    store.SetPath(BenchFolder() + "/strokes.sav");
    store.Clear(&photo, &reference);
    for (auto _ : state) {
        if (!store.Record(&photo, &reference, RECT{1000, 1000, 1556, 1256}))
            state.SkipWithError("the undo file cannot be written");
        if (store.Records().size() > 64)
            store.Clear(&photo, &reference);
    }
}

// range(0): zoom in percent.
void CanvasRepaint(benchmark::State& state)
{
    Setup& s = Windows();
    if (!s.ok) {
        state.SkipWithError("no test pen beside the benchmark");
        return;
    }
    CPaintCanvas& canvas = s.container.m_canvas;
    thePaintState.view.scale = 100.0 / static_cast<double>(state.range(0));
    thePaintState.view.scrollX = 2000;
    thePaintState.view.scrollY = 1500;
    canvas.RecalcLayout();
    for (auto _ : state)
        canvas.DrawImageNow();
}

void Peer_QtSmoothRegion(benchmark::State& state)
{
    const CQLImage& photo = SyntheticPhoto();
    const QImage source(photo.GetBuffer(0, 0), kPhotoWidth, kPhotoHeight, QImage::Format_RGB32);
    QImage canvas(kCanvasWidth, kCanvasHeight, QImage::Format_RGB32);
    const double scale = 100.0 / static_cast<double>(state.range(0));
    const int w = std::min<int>(kPhotoWidth, static_cast<int>(kCanvasWidth * scale));
    const int h = std::min<int>(kPhotoHeight, static_cast<int>(kCanvasHeight * scale));
    const QRect region(scale > 1 ? 0 : 2000, scale > 1 ? 0 : 1500, w, h);
    const QRect shown(0, 0, static_cast<int>(w / scale), static_cast<int>(h / scale));
    for (auto _ : state) {
        QPainter p(&canvas);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(shown, source, region);
    }
}

}  // namespace

BENCHMARK(PenMouseMove)->Arg(24)->Arg(256)->Unit(benchmark::kMillisecond);
BENCHMARK(Peer_QtRoundPenMouseMove)->Arg(24)->Arg(256)->Unit(benchmark::kMillisecond);
BENCHMARK(RecordStroke)->Unit(benchmark::kMillisecond);
BENCHMARK(CanvasRepaint)->Arg(25)->Arg(400)->Unit(benchmark::kMillisecond);
BENCHMARK(Peer_QtSmoothRegion)->Arg(25)->Arg(400)->Unit(benchmark::kMillisecond);
