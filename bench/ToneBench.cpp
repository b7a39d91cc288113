// The tone effects on the synthetic 24-megapixel photo and on a 1-megapixel
// preview. Peers: ImageMagick's -level (beside the 16-bit levels) and
// -modulate (beside the HSB curve) on the same pixels, binary PPM in and out;
// Peer_MagickCopy is the cost of its process and files alone. Floor_Copy is
// one read and one write of the photo on all cores, the bound a point
// operation can approach. Ours are in-process, on all cores.
#include "bench/EffectBench.h"

#include "algorithms/DefogAlgorithm.h"
#include "algorithms/DynamicRangeAlgorithm.h"
#include "algorithms/GradientFilterAlgorithm.h"
#include "algorithms/HighlightDiffuseAlgorithm.h"
#include "algorithms/HsbCurveAlgorithm.h"
#include "algorithms/LevelsAlgorithm.h"
#include "algorithms/SkinMaskAlgorithm.h"
#include "imagecore/16BitBitmap.h"
#include "imagecore/ParallelFor.h"
#include "imagecore/QLImage.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {


const std::string& InputPpm(bool photo)
{
    return PeerInputPpm(!photo);
}



void Floor_Copy(benchmark::State& state, bool photo)
{
    const CQLImage& src = BenchInput(photo);
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
    LabelInput(state, photo);
}

// Levels with black at 10 % and white at 90 %, as -level 10%,90%.
void Levels(benchmark::State& state, bool photo)
{
    C16BitBitmap input;
    input.ConvertFromSimpleBitmap(&BenchInput(photo), 0);
    std::vector<WORD> table(LevelsAlgorithm::kTableSize);
    for (int v = 0; v < LevelsAlgorithm::kTableSize; ++v)
        table[v] = static_cast<WORD>(std::clamp((v - 6554LL) * 65535 / (58982 - 6554), 0LL, 65535LL));
    LevelsAlgorithm fx;
    fx.SetAlgorithmInput(&input);
    RunEffect(state, photo, fx, table.data());
}

void HsbCurve(benchmark::State& state, bool photo)
{
    HsbCurveParams p = {};
    for (int h = 0; h < 256; ++h) {
        p.hueShift[h] = -4;
        p.saturationCurve[h] = 38;
        p.brightnessCurve[h] = 25;
    }
    HsbCurveAlgorithm fx;
    RunEffect(state, photo, fx, &p);
}

void GradientFilter(benchmark::State& state, bool photo)
{
    const GradientFilterParams p = {1, 0, {40, 80, 220, 0}, {220, 120, 30, 0}, 20, 80, 50, 1.3};
    GradientFilterAlgorithm fx;
    RunEffect(state, photo, fx, &p);
}

void HighlightDiffuse(benchmark::State& state, bool photo)
{
    const HighlightDiffuseParams p = {8};
    HighlightDiffuseAlgorithm fx;
    RunEffect(state, photo, fx, &p);
}

void SkinMask(benchmark::State& state, bool photo)
{
    CQLImage source;
    source.DuplicateFrom(&BenchInput(photo));
    SkinMaskAlgorithm fx;
    fx.SetImages(&source, &source);
    for (auto _ : state) {
        fx.Apply(nullptr);
        benchmark::DoNotOptimize(source.GetBuffer(0, 0));
    }
    LabelInput(state, photo);
}

void DynamicRange(benchmark::State& state, bool photo)
{
    const DynamicRangeParams p = {128, 60, 128, 1, 1};
    DynamicRangeAlgorithm fx;
    RunEffect(state, photo, fx, &p);
}

void Defog(benchmark::State& state, bool photo)
{
    const DefogParams p = {80};
    DefogAlgorithm fx;
    RunEffect(state, photo, fx, &p);
}

void Peer_MagickLevel(benchmark::State& state, bool photo)
{
    RunPeer(state, "convert " + InputPpm(photo) + " -level 10%,90% " + BenchFolder() + "/magick-level.ppm");
    LabelInput(state, photo);
}

void Peer_MagickModulate(benchmark::State& state, bool photo)
{
    RunPeer(state, "convert " + InputPpm(photo) + " -modulate 110,130,95 " + BenchFolder() + "/magick-modulate.ppm");
    LabelInput(state, photo);
}

void Peer_MagickCopy(benchmark::State& state, bool photo)
{
    RunPeer(state, "convert " + InputPpm(photo) + " " + BenchFolder() + "/magick-copy.ppm");
    LabelInput(state, photo);
}

#define TONE_CASE(fn)                                                                            \
    BENCHMARK_CAPTURE(fn, Photo, true)->Unit(benchmark::kMillisecond)->UseRealTime();           \
    BENCHMARK_CAPTURE(fn, Preview, false)->Unit(benchmark::kMillisecond)->UseRealTime()

TONE_CASE(Floor_Copy);
TONE_CASE(Levels);
TONE_CASE(Peer_MagickLevel);
TONE_CASE(HsbCurve);
TONE_CASE(Peer_MagickModulate);
TONE_CASE(Peer_MagickCopy);
TONE_CASE(GradientFilter);
TONE_CASE(SkinMask);
TONE_CASE(HighlightDiffuse);
TONE_CASE(DynamicRange);
TONE_CASE(Defog);

} // namespace
