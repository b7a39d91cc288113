// Content-aware narrowing by 10 % on the synthetic 24-megapixel photo and on
// a 1-megapixel preview: analysis plus render, and a render from the cached
// maps alone, against ImageMagick's `convert -liquid-rescale` on the same
// pixels (binary PPM in and out; the peer's time includes starting the
// process and the file traffic). Ours analyses at half resolution on one
// core (each seam depends on the one before) and renders on all cores.
// Inpainting (no peer does the same job) fills a square hole in the middle.
#include "bench/BenchSupport.h"

#include "algorithms/ContentAwareResizeAlgorithm.h"
#include "algorithms/InpaintAlgorithm.h"
#include "imagecore/QLChannel.h"
#include "imagecore/QLImage.h"

#include <cstring>
#include <string>

namespace {

const CQLImage& Input(bool photo)
{
    return photo ? SyntheticPhoto() : SyntheticPreview();
}

int NarrowWidth(bool photo)
{
    UINT w = 0, h = 0;
    Input(photo).GetSize(&w, &h);
    return static_cast<int>(w * 9 / 10);
}

void Ours(benchmark::State& state, bool photo)
{
    const CQLImage& src = Input(photo);
    UINT w = 0, h = 0;
    src.GetSize(&w, &h);
    const ContentAwareResizeParams p{NarrowWidth(photo), static_cast<INT>(h), 0, nullptr, 0};
    CQLImage target;
    ContentAwareResizeAlgorithm carve;
    carve.SetImages(const_cast<CQLImage*>(&src), &target);
    for (auto _ : state) {
        carve.FreeCache();
        if (carve.Apply(&p) != 0) {
            state.SkipWithError("resize failed");
            return;
        }
        benchmark::DoNotOptimize(target.GetBuffer(0, 0));
    }
    state.SetLabel(std::to_string(p.width) + "x" + std::to_string(p.height));
}

void OursCachedRender(benchmark::State& state, bool photo)
{
    const CQLImage& src = Input(photo);
    UINT w = 0, h = 0;
    src.GetSize(&w, &h);
    const ContentAwareResizeParams p{NarrowWidth(photo), static_cast<INT>(h), 0, nullptr, 0};
    CQLImage target;
    ContentAwareResizeAlgorithm carve;
    carve.SetImages(const_cast<CQLImage*>(&src), &target);
    if (carve.Apply(&p) != 0) {
        state.SkipWithError("resize failed");
        return;
    }
    for (auto _ : state) {
        carve.Apply(&p);
        benchmark::DoNotOptimize(target.GetBuffer(0, 0));
    }
}

void Magick(benchmark::State& state, bool photo)
{
    UINT w = 0, h = 0;
    Input(photo).GetSize(&w, &h);
    const std::string geometry = std::to_string(NarrowWidth(photo)) + "x" + std::to_string(h) + "!";
    RunPeer(state, "convert " + PeerInputPpm(!photo) + " -liquid-rescale " + geometry + " " + BenchFolder()
                       + "/lqr-out.ppm");
}

// A side x side hole in the middle, filled with blocks of blockSize.
void Inpaint(benchmark::State& state, bool photo, int side, int blockSize)
{
    const CQLImage& src = Input(photo);
    UINT w = 0, h = 0;
    src.GetSize(&w, &h);
    CQLChannel mask;
    mask.Create(w, h);
    std::memset(mask.GetBuffer(0, 0), 0, mask.GetAreaByteSize());
    for (UINT y = (h - side) / 2; y < (h + side) / 2; ++y)
        std::memset(mask.GetBuffer((w - side) / 2, y), 255, side);
    CQLImage target;
    InpaintAlgorithm fill;
    fill.SetImages(const_cast<CQLImage*>(&src), &target);
    const InpaintParams p{&mask, blockSize, 0, 1};
    for (auto _ : state) {
        if (fill.Apply(&p) != 0) {
            state.SkipWithError("inpainting failed");
            return;
        }
        benchmark::DoNotOptimize(target.GetBuffer(0, 0));
    }
}

BENCHMARK_CAPTURE(Inpaint, Preview_Hole40_Block8, false, 40, 8)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(Inpaint, Photo_Hole200_Block16, true, 200, 16)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(Ours, Preview, false)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(OursCachedRender, Preview, false)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(Magick, Preview, false)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(Ours, Photo, true)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK_CAPTURE(OursCachedRender, Photo, true)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(Magick, Photo, true)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

} // namespace
