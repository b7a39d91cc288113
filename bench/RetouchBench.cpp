// The retouch and geometry dialogs' full-size work on a 24-megapixel photo:
// the canvas extension beside ImageMagick's -extent, the barrel correction's
// final run and its black-border crop beside ImageMagick's barrel distortion,
// and the 400-pixel barrel preview job.
#include "BenchSupport.h"

#include "algorithms/BarrelDistortionAlgorithm.h"
#include "editor/retouch/BarrelDistortDlg.h"
#include "editor/retouch/CanvasSizeDlg.h"
#include "imagecore/QLImage.h"
#include "platform/codec/QLImageCodec.h"

namespace {

void BM_CanvasExtend(benchmark::State& state)
{
    const CQLImage& photo = SyntheticPhoto();
    CQLImage target;
    for (auto _ : state)
        if (!canvas::Extend(photo, {200, 100, 200, 100}, CPixel{255, 255, 255, 255}, &target))
            state.SkipWithError("extend failed");
}

void BM_PeerMagickExtent(benchmark::State& state)
{
    RunPeer(state, "convert " + PeerInputPpm() + " -background white -gravity center -extent 6400x4200 null:");
}

void RunBarrel(benchmark::State& state, CQLImage* source)
{
    BarrelDistortionAlgorithm barrel;
    CQLImage target;
    INT strength = 30;  // slider -20
    barrel.SetImages(source, &target);
    for (auto _ : state)
        if (barrel.Apply(&strength) != 0)
            state.SkipWithError("barrel failed");
}

void BM_BarrelFullSize(benchmark::State& state)
{
    RunBarrel(state, const_cast<CQLImage*>(&SyntheticPhoto()));
}

void BM_PeerMagickBarrel(benchmark::State& state)
{
    RunPeer(state, "convert " + PeerInputPpm() + " -distort Barrel '0.0 0.0 -0.05' null:");
}

void BM_BarrelPreview(benchmark::State& state)
{
    CQLImage preview;
    CQLImageCodec codec;
    codec.Resample(&SyntheticPhoto(), &preview, barrel::kPreviewSide, barrel::kPreviewSide * 2 / 3, 1);
    RunBarrel(state, &preview);
}

void BM_CropBlackBorder(benchmark::State& state)
{
    const CQLImage& photo = SyntheticPhoto();
    CQLImage target;
    for (auto _ : state)
        if (!barrel::CropBlackBorder(photo, &target))
            state.SkipWithError("crop failed");
}

}  // namespace

BENCHMARK(BM_CanvasExtend)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PeerMagickExtent)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_BarrelFullSize)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PeerMagickBarrel)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
BENCHMARK(BM_BarrelPreview)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CropBlackBorder)->Unit(benchmark::kMillisecond)->UseRealTime();
