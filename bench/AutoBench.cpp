// The automatic tone effects on the synthetic 24-megapixel photo and on a
// 1-megapixel preview. Peers: ImageMagick's -auto-level (beside the 16-bit
// levels), -normalize (beside the exposure stretch) and -auto-gamma (beside
// automatic processing) on the same pixels, binary PPM in and out;
// Peer_MagickCopy is the cost of its process and files alone. Ours are
// in-process.
#include "bench/EffectBench.h"

#include "algorithms/AutoEnhanceAlgorithm.h"
#include "algorithms/AutoExposureAlgorithm.h"
#include "algorithms/AutoLevelsAlgorithm.h"
#include "imagecore/QLImage.h"

#include <string>

namespace {



template <class Fx>
void Effect(benchmark::State& state, bool photo, INT param)
{
    Fx fx;
    RunEffect(state, photo, fx, &param);
}

// Named, as the benchmark macros paste the function's name.
void (*const Levels)(benchmark::State&, bool, INT) = Effect<AutoLevelsAlgorithm>;
void (*const Exposure)(benchmark::State&, bool, INT) = Effect<AutoExposureAlgorithm>;
void (*const Enhance)(benchmark::State&, bool, INT) = Effect<AutoEnhanceAlgorithm>;

void Magick(benchmark::State& state, bool photo, const std::string& option)
{
    RunPeer(state, "convert " + PeerInputPpm(!photo) + " " + option + " " + BenchFolder() + "/magick-auto.ppm");
}

void Peer_MagickAutoLevel(benchmark::State& state, bool photo)
{
    Magick(state, photo, "-auto-level");
}

void Peer_MagickNormalize(benchmark::State& state, bool photo)
{
    Magick(state, photo, "-normalize");
}

void Peer_MagickAutoGamma(benchmark::State& state, bool photo)
{
    Magick(state, photo, "-auto-gamma");
}

void Peer_MagickCopy(benchmark::State& state, bool photo)
{
    Magick(state, photo, "");
}

#define AUTO_CASE(fn)                                                                                   \
    BENCHMARK_CAPTURE(fn, Photo, true)->Unit(benchmark::kMillisecond)->UseRealTime();                  \
    BENCHMARK_CAPTURE(fn, Preview, false)->Unit(benchmark::kMillisecond)->UseRealTime()

// An effect with its parameter, on the photo and on the preview.
#define AUTO_EFFECT(Fx, name, param)                                                                   \
    BENCHMARK_CAPTURE(Fx, name##_Photo, true, param)->Unit(benchmark::kMillisecond)->UseRealTime(); \
    BENCHMARK_CAPTURE(Fx, name##_Preview, false, param)->Unit(benchmark::kMillisecond)->UseRealTime()

AUTO_EFFECT(Levels, PerChannel, 0);
AUTO_EFFECT(Levels, Linked, 1);
AUTO_CASE(Peer_MagickAutoLevel);
AUTO_EFFECT(Exposure, AllChannels, 0);
AUTO_EFFECT(Exposure, LumaOnly, 1);
AUTO_CASE(Peer_MagickNormalize);
AUTO_EFFECT(Enhance, Balanced, 0);
AUTO_EFFECT(Enhance, Portrait, 1);
AUTO_EFFECT(Enhance, Strong, 2);
AUTO_CASE(Peer_MagickAutoGamma);
AUTO_CASE(Peer_MagickCopy);

} // namespace
