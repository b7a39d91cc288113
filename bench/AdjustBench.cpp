// "Professional Histograms" opening: the 16-bit copy and the four-counter
// histogram of the 24 MP photo, beside libvips counting the same 16-bit
// input; the rebuild of the levels job's four tables; and the "Color
// Theme" list: the photo's thumbnail and 50 theme previews.
#include "BenchSupport.h"

#include "algorithms/ColorThemeAlgorithm.h"
#include "editor/adjust/HistogramCurve.h"
#include "platform/codec/QLImageCodec.h"
#include "imagecore/QLImage.h"

#if defined(QUILLO_PEER_VIPS)
#include <vips/vips.h>
#endif

#include <cstring>
#include <memory>
#include <vector>

namespace {

void BM_HistogramsOpen(benchmark::State& state)
{
    histcurve::Histogram16 counts;
    for (auto _ : state) {
        C16BitBitmap source16;
        if (!source16.ConvertFromSimpleBitmap(&SyntheticPhoto(), 0)) {
            state.SkipWithError("no memory");
            return;
        }
        histcurve::CountHistogram16(source16, counts);
        benchmark::DoNotOptimize(counts.data());
    }
}
BENCHMARK(BM_HistogramsOpen)->Unit(benchmark::kMillisecond)->UseRealTime();

#if defined(QUILLO_PEER_VIPS)
// The same 16-bit copy, then vips hist_find over its three bands.
void BM_HistogramsOpen_VipsHistFind(benchmark::State& state)
{
    static const bool started = VIPS_INIT("bench") == 0;
    if (!started) {
        state.SkipWithError("libvips did not start");
        return;
    }
    vips_cache_set_max(0);
    for (auto _ : state) {
        C16BitBitmap source16;
        if (!source16.ConvertFromSimpleBitmap(&SyntheticPhoto(), 0)) {
            state.SkipWithError("no memory");
            return;
        }
        VipsImage* in = vips_image_new_from_memory(source16.GetBuffer(0, 0),
                                                   sizeof(C16BitPixel) * kPhotoWidth * kPhotoHeight, kPhotoWidth,
                                                   kPhotoHeight, 3, VIPS_FORMAT_USHORT);
        VipsImage* hist = nullptr;
        if (!in || vips_hist_find(in, &hist, nullptr) != 0) {
            state.SkipWithError(vips_error_buffer());
            if (in)
                g_object_unref(in);
            return;
        }
        size_t size = 0;
        g_free(vips_image_write_to_memory(hist, &size));
        g_object_unref(hist);
        g_object_unref(in);
    }
}
BENCHMARK(BM_HistogramsOpen_VipsHistFind)->Unit(benchmark::kMillisecond)->UseRealTime();
#endif

// What each preview job rebuilds: four smooth 8-bit tables and their
// 16-bit expansions.
void BM_HistogramTablesRebuild(benchmark::State& state)
{
    histcurve::CurvePoint points[7];
    histcurve::ResetPoints(points, 7);
    points[3].y = 170;
    BYTE table[256];
    std::vector<WORD> tables(4 * 65536);
    for (auto _ : state) {
        for (int ch = 0; ch < 4; ++ch) {
            histcurve::BuildSmooth(points, 7, table);
            histcurve::Expand16(table, tables.data() + ch * 65536);
        }
        benchmark::DoNotOptimize(tables.data());
    }
}
BENCHMARK(BM_HistogramTablesRebuild)->Unit(benchmark::kMicrosecond);

// 50 themes of one curve step each, as the list renders them.
void BM_ThemeListFill(benchmark::State& state)
{
    std::vector<ColorTheme> themes(50);
    for (std::size_t i = 0; i < themes.size(); ++i) {
        ColorThemeStep step;
        for (int j = 0; j < 768; ++j)
            step.payload[j] = static_cast<BYTE>(std::min(255, (j % 256) * (90 + static_cast<int>(i)) / 100));
        themes[i].steps.push_back(step);
    }
    CQLImageCodec codec;
    for (auto _ : state) {
        CQLImage thumbnail;
        if (!codec.Resample(&SyntheticPhoto(), &thumbnail, 100, kPhotoHeight * 100 / kPhotoWidth, 1)) {
            state.SkipWithError("resample failed");
            return;
        }
        std::vector<std::unique_ptr<CQLImage>> previews;
        for (const ColorTheme& theme : themes) {
            auto preview = std::make_unique<CQLImage>();
            ColorThemeAlgorithm render;
            render.SetImages(&thumbnail, preview.get());
            if (render.Apply(&theme) == 0)
                previews.push_back(std::move(preview));
        }
        benchmark::DoNotOptimize(previews.data());
    }
}
BENCHMARK(BM_ThemeListFill)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
