// The repair dialogs' own passes on a 24-megapixel photo: the Highlight
// Diffuse blend (its second job) beside a plain copy and ImageMagick's screen
// composite; the Star Light night-shot test beside the copy; and the Lose
// Focus Blur job (shrink, blur, enlarge) beside ImageMagick's resize, blur
// and resize.
#include "BenchSupport.h"

#include "editor/adjust/RepairRules.h"
#include "imagecore/ParallelFor.h"
#include "imagecore/QLImage.h"

#include <cstring>
#include <optional>

namespace {

void BM_CopyFloor(benchmark::State& state)
{
    const CQLImage& photo = SyntheticPhoto();
    CQLImage target;
    target.Create(kPhotoWidth, kPhotoHeight);
    for (auto _ : state) {
        std::memcpy(target.GetBuffer(0, 0), photo.GetBuffer(0, 0), photo.GetAreaByteSize());
        benchmark::ClobberMemory();
    }
}

// range(0) 1: on the calling thread alone.
void BM_HighlightDiffuseBlend(benchmark::State& state)
{
    std::optional<imagecore::ScopedSingleThread> one;
    if (state.range(0))
        one.emplace();
    CQLImage* photo = const_cast<CQLImage*>(&SyntheticPhoto());
    CQLImage target;
    target.Create(kPhotoWidth, kPhotoHeight);
    FilterHost host;
    host.SetImages(photo, &target);
    // The photo stands in for its own glow: the work per pixel is the same.
    host.AddImage(photo);
    int opacity = 50;
    host.SetParam(&opacity);
    for (auto _ : state)
        if (host.Apply(reinterpret_cast<const void*>(&repair::HighlightDiffuseBlend)) != 0)
            state.SkipWithError("blend failed");
}

void BM_PeerMagickScreen(benchmark::State& state)
{
    RunPeer(state, "convert " + PeerInputPpm() + " " + PeerInputPpm() + " -compose screen -composite null:");
}

void BM_StarNightTest(benchmark::State& state)
{
    std::optional<imagecore::ScopedSingleThread> one;
    if (state.range(0))
        one.emplace();
    const CQLImage& photo = SyntheticPhoto();
    for (auto _ : state)
        benchmark::DoNotOptimize(repair::NightShotTest(photo));
}

void BM_LensBlurPipeline(benchmark::State& state)
{
    CQLImage* photo = const_cast<CQLImage*>(&SyntheticPhoto());
    CQLImage shapes, target;
    shapes.Create(128, 128);
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 128; ++x) {
            const BYTE v = (x - 64) * (x - 64) + (y - 64) * (y - 64) < 64 * 64 ? 255 : 0;
            shapes.PutPixel(x, y, CPixel{v, v, v, 255});
        }
    repair::LensBlurPipeline pipeline;
    pipeline.SetShape(&shapes, 0);
    pipeline.SetImages(photo, &target);
    LoseFocusParams block{};
    block.radius = static_cast<INT>(state.range(0));
    block.highlights = 1;
    for (auto _ : state)
        if (pipeline.Apply(&block) != 0)
            state.SkipWithError("blur failed");
}

void BM_PeerMagickResizeBlur(benchmark::State& state)
{
    RunPeer(state, "convert " + PeerInputPpm() + " -resize 50% -blur 0x32 -resize 200% null:");
}

} // namespace

BENCHMARK(BM_CopyFloor)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_HighlightDiffuseBlend)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PeerMagickScreen)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_StarNightTest)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LensBlurPipeline)->Arg(7)->Arg(12)->Arg(128)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PeerMagickResizeBlur)->Unit(benchmark::kMillisecond)->UseRealTime();
