// The tone and colour dialogs' own pixel work on the 24-megapixel photo:
// the brightness-contrast table beside one read and write of the photo on
// all cores (the floor) and ImageMagick's -brightness-contrast; the spot
// metering power table beside -gamma; the colour sharpen beside the same
// chroma unsharp in ImageMagick; and the Visual Color Adjustment's small
// copy with its six variants. Peer_MagickCopy is ImageMagick's process and
// files alone.
#include "bench/BenchSupport.h"

#include "algorithms/ResizeBySpecAlgorithm.h"
#include "algorithms/WhiteBalanceAlgorithm.h"
#include "editor/adjust/ToneFunctions.h"
#include "imagecore/ParallelFor.h"
#include "imagecore/QLImage.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <string>

namespace {

void Floor_Copy(benchmark::State& state)
{
    const CQLImage& src = SyntheticPhoto();
    UINT w = 0, h = 0;
    src.GetSize(&w, &h);
    CQLImage dst;
    dst.Create(w, h);
    const std::size_t row = std::size_t{w} * 4;
    for (auto _ : state) {
        imagecore::ParallelFor(0, static_cast<int>(h), w, [&](int y0, int y1) {
            std::memcpy(dst.GetBuffer(0, y0), src.GetBuffer(0, y0), row * static_cast<std::size_t>(y1 - y0));
        });
        benchmark::DoNotOptimize(dst.GetBuffer(0, 0));
    }
}

void RunHost(benchmark::State& state, FilterHost::Function fn, void* param)
{
    CQLImage target;
    FilterHost host;
    host.SetImages(const_cast<CQLImage*>(&SyntheticPhoto()), &target);
    host.SetParam(param);
    for (auto _ : state) {
        if (host.Apply(reinterpret_cast<const void*>(fn)) != 0) {
            state.SkipWithError("failed");
            return;
        }
        benchmark::DoNotOptimize(target.GetBuffer(0, 0));
    }
}

void BrightnessContrast(benchmark::State& state)
{
    tone::BrightnessContrastParams p{10, 20};
    RunHost(state, tone::BrightnessContrastFunction, &p);
}

void SpotMeteringTable(benchmark::State& state)
{
    BYTE table[256];
    tone::SpotMeteringTable(64, table);
    CQLImage target;
    for (auto _ : state) {
        tone::ApplyTable(SyntheticPhoto(), &target, table);
        benchmark::DoNotOptimize(target.GetBuffer(0, 0));
    }
}

void ColourSharpen(benchmark::State& state)
{
    RunHost(state, tone::ColourSharpenFunction, nullptr);
}

void VisualColorVariants(benchmark::State& state)
{
    ResizeBySpecAlgorithm resize;
    const ResizeSpec spec{ResizeSpec::PixelCount, {160000}};
    CQLImage small, variants[tone::kVariantCount];
    WhiteBalanceAlgorithm balance;
    for (auto _ : state) {
        resize.SetImages(const_cast<CQLImage*>(&SyntheticPhoto()), &small);
        if (resize.Apply(&spec) != 0) {
            state.SkipWithError("resize failed");
            return;
        }
        for (int i = 0; i < tone::kVariantCount; ++i) {
            DWORD ref = tone::VariantReference(i);
            balance.SetImages(&small, &variants[i]);
            balance.Apply(&ref);
        }
        benchmark::DoNotOptimize(variants[5].GetBuffer(0, 0));
    }
}

std::string Out(const char* name)
{
    return " " + BenchFolder() + "/" + name + ".ppm";
}

void Peer_MagickCopy(benchmark::State& state)
{
    RunPeer(state, "convert " + PeerInputPpm() + Out("copy"));
}

void Peer_MagickBrightnessContrast(benchmark::State& state)
{
    RunPeer(state, "convert " + PeerInputPpm() + " -brightness-contrast 10x20" + Out("bc"));
}

void Peer_MagickGamma(benchmark::State& state)
{
    RunPeer(state, "convert " + PeerInputPpm() + " -gamma 0.63" + Out("gamma"));
}

void Peer_MagickChromaUnsharp(benchmark::State& state)
{
    RunPeer(state, "convert " + PeerInputPpm() + " -colorspace YCbCr -channel GB -unsharp 0x8 +channel -colorspace sRGB"
                       + Out("chroma"));
}

BENCHMARK(Floor_Copy)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BrightnessContrast)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(Peer_MagickBrightnessContrast)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(SpotMeteringTable)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(Peer_MagickGamma)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(ColourSharpen)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(Peer_MagickChromaUnsharp)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(Peer_MagickCopy)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(VisualColorVariants)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
