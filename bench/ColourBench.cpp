// The colour family on the synthetic 24-megapixel photo and on a
// 1-megapixel preview, against ImageMagick's `convert` with -level,
// -modulate, -threshold and -ordered-dither on the same pixels (binary PPM
// in and out), and against the memory-bandwidth floor: one read and one
// write of the image (a memcpy into an existing buffer). Peer times include
// starting the process and reading and writing the files: Peer_MagickCopy
// times that alone. Ours are in-process, on all cores.
#include "bench/BenchSupport.h"

#include "algorithms/ChannelMixerAlgorithm.h"
#include "algorithms/HueSaturationAlgorithm.h"
#include "algorithms/MonoToneAlgorithm.h"
#include "algorithms/PerspectiveAlgorithm.h"
#include "algorithms/ThresholdAlgorithm.h"
#include "algorithms/ToneBlendAlgorithm.h"
#include "algorithms/WhiteBalanceAlgorithm.h"
#include "imagecore/QLImage.h"

#include <cstring>
#include <string>

namespace {

CQLImage* Input(bool photo)
{
    return const_cast<CQLImage*>(photo ? &SyntheticPhoto() : &SyntheticPreview());
}

template <class Effect, class Params>
void RunEffect(benchmark::State& state, Effect& fx, bool photo, const Params& params)
{
    CQLImage target;
    fx.SetImages(Input(photo), &target);
    for (auto _ : state) {
        if (fx.Apply(&params) != 0) {
            state.SkipWithError("effect failed");
            return;
        }
        benchmark::DoNotOptimize(target.GetBuffer(0, 0));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * Input(photo)->GetAreaByteSize());
}

void MemoryFloor(benchmark::State& state, bool photo)
{
    const CQLImage* src = Input(photo);
    CQLImage target;
    target.DuplicateFrom(src);
    for (auto _ : state) {
        std::memcpy(target.GetBuffer(0, 0), src->GetBuffer(0, 0), src->GetAreaByteSize());
        benchmark::DoNotOptimize(target.GetBuffer(0, 0));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * src->GetAreaByteSize());
}

void HueSaturation(benchmark::State& state, bool photo)
{
    HueSaturationAlgorithm fx;
    RunEffect(state, fx, photo, HueSaturationParams{20, 30, 15});
}

void WhiteBalanceGiven(benchmark::State& state, bool photo)
{
    WhiteBalanceAlgorithm fx;
    RunEffect(state, fx, photo, DWORD{0x00806070});
}

void WhiteBalanceDetect(benchmark::State& state, bool photo)
{
    WhiteBalanceAlgorithm fx;
    RunEffect(state, fx, photo, DWORD{0});
}

void ToneBlendByHue(benchmark::State& state, bool photo)
{
    ToneBlendParams p = {};
    p.mode = ToneBlendAlgorithm::ByHue;
    std::memset(p.weights, 180, sizeof p.weights);
    p.reference = Input(photo);
    ToneBlendAlgorithm fx;
    RunEffect(state, fx, photo, p);
}

void ChannelMixer(benchmark::State& state, bool photo)
{
    ChannelMixerAlgorithm fx;
    RunEffect(state, fx, photo, ChannelMixerParams{0, {80, 20, 0, 5}, {10, 90, 0, 0}, {0, 30, 70, -5}, {}});
}

void ChannelMixerLuma(benchmark::State& state, bool photo)
{
    ChannelMixerAlgorithm fx;
    RunEffect(state, fx, photo, ChannelMixerParams{1, {}, {}, {}, {30, 60, 10, 8}});
}

void Threshold(benchmark::State& state, bool photo, int mode)
{
    ThresholdAlgorithm fx;
    RunEffect(state, fx, photo, ThresholdParams{mode, mode == 1 ? 64 : 128, 16, 50});
}

void MonoTone(benchmark::State& state, bool photo, int method)
{
    MonoToneAlgorithm fx;
    RunEffect(state, fx, photo,
              MonoToneParams{static_cast<BYTE>(method), 77, 150, 29, 200, 10, 40, 160, 90, 60, 120, 255});
}

void Perspective(benchmark::State& state, bool photo)
{
    UINT w = 0, h = 0;
    Input(photo)->GetSize(&w, &h);
    const LONG x = static_cast<LONG>(w), y = static_cast<LONG>(h);
    PerspectiveAlgorithm fx;
    RunEffect(state, fx, photo,
              PerspectiveParams{{x / 20, y / 20}, {x - x / 10, 0}, {0, y - 1}, {x - 1, y - y / 20}});
}

void Magick(benchmark::State& state, bool photo, const std::string& operation)
{
    RunPeer(state, "convert " + PeerInputPpm(!photo) + " " + operation + " " + BenchFolder() + "/magick-out.ppm");
}

#define CASE(fn, name, ...)                                                                             \
    BENCHMARK_CAPTURE(fn, Photo_##name, true __VA_OPT__(, ) __VA_ARGS__)                                  \
        ->Unit(benchmark::kMillisecond)                                                                   \
        ->UseRealTime();                                                                                  \
    BENCHMARK_CAPTURE(fn, Preview_##name, false __VA_OPT__(, ) __VA_ARGS__)                               \
        ->Unit(benchmark::kMillisecond)                                                                   \
        ->UseRealTime()

CASE(MemoryFloor, ReadWrite);
CASE(Magick, Copy, "");
CASE(HueSaturation, Turn);
CASE(Magick, Modulate, "-modulate 115,130,110");
CASE(WhiteBalanceGiven, Reference);
CASE(WhiteBalanceDetect, Detect);
CASE(Magick, Level, "-level 10%,90%");
CASE(ToneBlendByHue, ByHue);
CASE(ChannelMixer, Rgb);
CASE(ChannelMixerLuma, Luma);
CASE(Threshold, Ramp, 0);
CASE(Magick, Threshold, "-threshold 50%");
CASE(Threshold, Adaptive, 1);
CASE(Threshold, Diffusion, 2);
CASE(Threshold, Halftone, 3);
CASE(Magick, OrderedDither, "-ordered-dither o4x4");
CASE(MonoTone, WeightedSum, 0);
CASE(MonoTone, LinearLight, 2);
CASE(Perspective, Crop);

} // namespace
