// Smoothing (radius 5, 50, 600) and the unsharp mask on the 24-megapixel
// photo and on a 1-megapixel preview, against libvips and ImageMagick doing
// the same to the same pixels. The peers read and write their own native
// formats (.v, .mpc); BM_Peer_VipsCopy is their file cost alone.
#include "bench/BenchSupport.h"

#include "algorithms/SmoothAlgorithm.h"
#include "algorithms/UnsharpMaskAlgorithm.h"
#include "imagecore/QLImage.h"

#include <cstdlib>
#include <string>

namespace {

const CQLImage& Input(int preview)
{
    return preview ? SyntheticPreview() : SyntheticPhoto();
}

// The input as the peers' native files: <folder>/photoN.v and .mpc.
std::string PeerInput(int preview, const char* extension)
{
    static std::string made[2];
    std::string& base = made[preview ? 1 : 0];
    if (base.empty()) {
        base = BenchFolder() + (preview ? "/preview" : "/photo");
        const std::string bmp = base + ".bmp";
        const_cast<CQLImage&>(Input(preview)).SaveToFile(bmp.c_str());
        std::system(("vips copy " + bmp + " " + base + ".v >/dev/null 2>&1").c_str());
        std::system(("convert " + bmp + " " + base + ".mpc >/dev/null 2>&1").c_str());
    }
    return base + extension;
}

void SetLabel(benchmark::State& state)
{
    state.SetLabel(state.range(1) ? "1 MP preview" : "24 MP photo");
}

void BM_Smooth(benchmark::State& state)
{
    const CQLImage& src = Input(static_cast<int>(state.range(1)));
    CQLImage dst;
    SmoothAlgorithm fx;
    fx.SetImages(const_cast<CQLImage*>(&src), &dst);
    fx.SetRange(0, 100);
    const SmoothParams p = {static_cast<INT>(state.range(0))};
    for (auto _ : state)
        benchmark::DoNotOptimize(fx.Apply(&p));
    SetLabel(state);
}
BENCHMARK(BM_Smooth)->ArgsProduct({{5, 50, 600}, {0, 1}})->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_UnsharpMask(benchmark::State& state)
{
    const CQLImage& src = Input(static_cast<int>(state.range(1)));
    CQLImage dst;
    UnsharpMaskAlgorithm fx;
    fx.SetImages(const_cast<CQLImage*>(&src), &dst);
    fx.SetRange(0, 100);
    const UnsharpMaskParams p = {static_cast<INT>(state.range(0)), 100, 10};
    for (auto _ : state)
        benchmark::DoNotOptimize(fx.Apply(&p));
    SetLabel(state);
}
BENCHMARK(BM_UnsharpMask)->ArgsProduct({{5}, {0, 1}})->Unit(benchmark::kMillisecond)->UseRealTime();

// Our radius r is a standard deviation of r / 2.
std::string Sigma(int radius)
{
    return std::to_string(radius / 2) + (radius % 2 ? ".5" : "");
}

void BM_Peer_VipsCopy(benchmark::State& state)
{
    const int preview = static_cast<int>(state.range(0));
    RunPeer(state, "vips copy " + PeerInput(preview, ".v") + " " + BenchFolder() + "/copy.v");
    state.SetLabel(preview ? "1 MP preview" : "24 MP photo");
}
BENCHMARK(BM_Peer_VipsCopy)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Peer_VipsGaussblur(benchmark::State& state)
{
    const int preview = static_cast<int>(state.range(1));
    RunPeer(state, "vips gaussblur " + PeerInput(preview, ".v") + " " + BenchFolder() + "/blur.v "
                       + Sigma(static_cast<int>(state.range(0))));
    SetLabel(state);
}
BENCHMARK(BM_Peer_VipsGaussblur)->ArgsProduct({{5, 50, 600}, {0, 1}})->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Peer_VipsSharpen(benchmark::State& state)
{
    const int preview = static_cast<int>(state.range(1));
    RunPeer(state, "vips sharpen " + PeerInput(preview, ".v") + " " + BenchFolder() + "/sharp.v --sigma "
                       + Sigma(static_cast<int>(state.range(0))));
    SetLabel(state);
}
BENCHMARK(BM_Peer_VipsSharpen)->ArgsProduct({{5}, {0, 1}})->Unit(benchmark::kMillisecond)->UseRealTime();

// ImageMagick's Gaussian is a full two-dimensional kernel: radius 50 on the
// whole photo and radius 600 anywhere would run for many minutes, so those
// are left to the preview (radius 50) or not run (radius 600).
void BM_Peer_ImageMagickGaussianBlur(benchmark::State& state)
{
    const int preview = static_cast<int>(state.range(1));
    RunPeer(state, "convert " + PeerInput(preview, ".mpc") + " -gaussian-blur 0x" + Sigma(static_cast<int>(state.range(0)))
                       + " " + BenchFolder() + "/blur.mpc");
    SetLabel(state);
}
BENCHMARK(BM_Peer_ImageMagickGaussianBlur)
    ->Args({5, 0})
    ->Args({5, 1})
    ->Args({50, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_Peer_ImageMagickUnsharp(benchmark::State& state)
{
    const int preview = static_cast<int>(state.range(1));
    // amount 100 / 128, threshold 10 / 255 as fractions.
    RunPeer(state, "convert " + PeerInput(preview, ".mpc") + " -unsharp 0x" + Sigma(static_cast<int>(state.range(0)))
                       + "+0.78+0.04 " + BenchFolder() + "/sharp.mpc");
    SetLabel(state);
}
BENCHMARK(BM_Peer_ImageMagickUnsharp)->ArgsProduct({{5}, {0, 1}})->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
