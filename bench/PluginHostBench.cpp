// The paint-tool callbacks a plug-in calls on every mouse move: a 512-pixel
// brush and a 512-pixel stroke segment at size 256. No peer does the same
// job; the bar is 2 ms each.
#include "editor/shell/PaintToolHost.h"

#include <benchmark/benchmark.h>

namespace {

void BM_MakeBrush512(benchmark::State& state)
{
    BrushSettings brush{512, static_cast<int32_t>(state.range(0)), 80};
    ImageDesc out{};
    for (auto _ : state) {
        MakeBrush(&out, &brush);
        benchmark::DoNotOptimize(out.pixels);
    }
}
BENCHMARK(BM_MakeBrush512)->Arg(0)->Arg(50)->Unit(benchmark::kMillisecond);

void BM_StrokeStamp256(benchmark::State& state)
{
    BrushSettings brush{256, static_cast<int32_t>(state.range(0)), 80};
    ImageDesc out{};
    POINT origin{};
    for (auto _ : state) {
        StrokeStamp(&brush, 100, 100, 612, 100, &out, &origin);
        benchmark::DoNotOptimize(out.pixels);
    }
}
BENCHMARK(BM_StrokeStamp256)->Arg(0)->Arg(50)->Unit(benchmark::kMillisecond);

} // namespace
