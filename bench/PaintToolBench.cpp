// One 100-pixel mouse move of each paint tool on the 24-megapixel photo,
// through the editor's paint-tool callbacks, at brush sizes 64, 256 and 512;
// the peer is QPainter stroking the same segment with a round pen of that
// width. Bars: under 16 ms at 64 and 256; the smudge within 2x the peer.
#include "BenchSupport.h"

#include "editor/shell/PaintToolHost.h"
#include "imagecore/QLImage.h"
#include "platform/win/Library.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstdlib>
#include <string>

namespace {

struct LoadedTool {
    PaintToolRecord record{};
    bool ok = false;
};

CQLImage& Canvas()
{
    static CQLImage* image = [] {
        auto* img = new CQLImage; // lives for the program
        const CQLImage& photo = SyntheticPhoto();
        img->Create(kPhotoWidth, kPhotoHeight);
        std::copy_n(photo.GetBuffer(0, 0), size_t{kPhotoWidth} * kPhotoHeight * 4, img->GetBuffer(0, 0));
        return img;
    }();
    return *image;
}

BYTE g_colour[3] = {0x00, 0x80, 0xFF};
BrushSettings g_brush{64, 50, 100};

LoadedTool Load(const char* library)
{
    LoadedTool tool;
    thePaintToolHost.current = &Canvas();
    thePaintToolHost.brush = &g_brush;
    const std::string path = std::string(QUILLO_PAINT_TOOLS_DIR) + "/" + library + ".qli";
    HMODULE module = LoadLibrary(path.c_str());
    auto entry = module ? reinterpret_cast<PluginEntryFunction>(GetProcAddress(module, "PluginEntry")) : nullptr;
    if (!entry)
        return tool;
    PreparePaintToolRecord(tool.record, module, g_colour);
    entry(kPluginFillRecord, &tool.record, nullptr);
    tool.ok = tool.record.OnMouseMove != nullptr;
    return tool;
}

void Move(benchmark::State& state, const char* library)
{
    static LoadedTool tools[3];
    const int index = library[6] == 'T' ? 0 : library[6] == 'S' && library[7] == 't' ? 1 : 2;
    if (!tools[index].ok)
        tools[index] = Load(library);
    if (!tools[index].ok) {
        state.SkipWithError("the plug-in did not load");
        return;
    }
    const PaintToolRecord& r = tools[index].record;
    g_brush.size = static_cast<int32_t>(state.range(0));
    int y = 600;
    for (auto _ : state) {
        state.PauseTiming();
        r.OnLButtonDown(1, 1000, y);
        state.ResumeTiming();
        r.OnMouseMove(1, 1100, y);
        state.PauseTiming();
        r.OnLButtonUp(0, 1100, y);
        y = y + 600 > static_cast<int>(kPhotoHeight) ? 600 : y + 600;
        state.ResumeTiming();
    }
}

void BM_TintMove(benchmark::State& state) { Move(state, "QuilloTint"); }
void BM_StampMove(benchmark::State& state) { Move(state, "QuilloStamp"); }
void BM_SketchMove(benchmark::State& state) { Move(state, "QuilloSketch"); }

void BM_QPainterStroke(benchmark::State& state)
{
    CQLImage& canvas = Canvas();
    QImage image(canvas.GetBuffer(0, 0), kPhotoWidth, kPhotoHeight, kPhotoWidth * 4, QImage::Format_ARGB32);
    const double width = static_cast<double>(state.range(0));
    int y = 600;
    for (auto _ : state) {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor(255, 128, 0), width, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(1000, y), QPointF(1100, y));
        p.end();
        y = y + 600 > static_cast<int>(kPhotoHeight) ? 600 : y + 600;
    }
}

#define SIZES ->Arg(64)->Arg(256)->Arg(512)->Unit(benchmark::kMillisecond)
BENCHMARK(BM_TintMove) SIZES;
BENCHMARK(BM_StampMove) SIZES;
BENCHMARK(BM_SketchMove) SIZES;
BENCHMARK(BM_QPainterStroke) SIZES;

} // namespace

int main(int argc, char** argv)
{
    // Icons are read when the tools fill their records.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
