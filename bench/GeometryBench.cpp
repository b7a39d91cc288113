// The geometry effects on the synthetic 24-megapixel photo and on the
// 1-megapixel preview. Peers where one does the same job, on the same pixels
// (binary PPM in and out; Peer_*Copy is the cost of a peer's process and files
// alone): free rotation against ImageMagick's `-rotate` and libvips'
// `rotate` (both bilinear-or-better turns into the bounding box), barrel
// distortion against ImageMagick's `-distort Barrel` with bilinear lookup
// (`-filter point`, as ours: no area filter). The vignette, fringe and
// anti-shake effects have no peer doing the same job: ImageMagick's
// `-vignette` blurs an ellipse into the background, which is not a radial
// gain. Ours are in-process, on all cores.
#include "bench/BenchSupport.h"

#include "algorithms/AntiPurpleFringeAlgorithm.h"
#include "algorithms/AntiShakeAlgorithm.h"
#include "algorithms/BarrelDistortionAlgorithm.h"
#include "algorithms/FreeRotateAlgorithm.h"
#include "algorithms/SmoothAlgorithm.h"
#include "algorithms/VignetteCorrectionAlgorithm.h"
#include "imagecore/QLImage.h"

#include <string>

namespace {

constexpr double kDegrees = 10;

const CQLImage& Input(bool photo)
{
    return photo ? SyntheticPhoto() : SyntheticPreview();
}

template <class Effect, class Params>
void Run(benchmark::State& state, Effect& effect, const CQLImage& src, const Params& params)
{
    CQLImage target;
    effect.SetImages(const_cast<CQLImage*>(&src), &target);
    for (auto _ : state) {
        if (effect.Apply(&params) != 0) {
            state.SkipWithError("effect failed");
            return;
        }
        benchmark::DoNotOptimize(target.GetBuffer(0, 0));
    }
}

void FreeRotate(benchmark::State& state, bool photo)
{
    FreeRotateAlgorithm turn;
    Run(state, turn, Input(photo), kDegrees * 3.14159265358979323846 / 180);
}

void FreeRotateAutoCrop(benchmark::State& state, bool photo)
{
    FreeRotateAlgorithm turn;
    turn.SetAlgorithmInput(1);
    Run(state, turn, Input(photo), kDegrees * 3.14159265358979323846 / 180);
}

void Peer_MagickRotate(benchmark::State& state, bool photo)
{
    RunPeer(state, "convert " + PeerInputPpm(!photo) + " -rotate " + std::to_string(kDegrees) + " " + BenchFolder()
                       + "/magick-rotate.ppm");
}

void Peer_VipsRotate(benchmark::State& state, bool photo)
{
    RunPeer(state, "vips rotate " + PeerInputPpm(!photo) + " " + BenchFolder() + "/vips-rotate.v "
                       + std::to_string(kDegrees));
}

void Barrel(benchmark::State& state, bool photo)
{
    BarrelDistortionAlgorithm barrel;
    Run(state, barrel, Input(photo), INT{70});
}

void Peer_MagickBarrel(benchmark::State& state, bool photo)
{
    RunPeer(state, "convert " + PeerInputPpm(!photo)
                       + " -virtual-pixel black -filter point -interpolate bilinear -distort Barrel \"0.0 0.0 0.05\" "
                       + BenchFolder() + "/magick-barrel.ppm");
}

void Vignette(benchmark::State& state, bool photo)
{
    UINT w = 0, h = 0;
    Input(photo).GetSize(&w, &h);
    VignetteCorrectionAlgorithm vignette;
    const INT r = static_cast<INT>(w < h ? w : h) / 2;
    Run(state, vignette, Input(photo), VignetteParams{static_cast<INT>(w / 2), static_cast<INT>(h / 2), r, r / 2});
}

void AntiFringe(benchmark::State& state, bool photo)
{
    AntiPurpleFringeAlgorithm fringe;
    fringe.SetImages(const_cast<CQLImage*>(&Input(photo)), nullptr);
    const AntiFringeParams params = {200, fringe.GetDefaultRange()};
    // The effect marks highlights in its source's alpha: run on a copy.
    CQLImage src;
    src.DuplicateFrom(&Input(photo));
    Run(state, fringe, src, params);
}

// The shot to align is the input shifted by (5, -3); grey mode rewrites only
// alpha, so the same pair serves every iteration. The input is smoothed
// first: its noise differs from pixel to pixel, which a search that first
// steps by two pixels cannot follow, and photos do not look like that.
void AntiShake(benchmark::State& state, bool photo, int searchSize)
{
    CQLImage src;
    SmoothAlgorithm smooth;
    smooth.SetImages(const_cast<CQLImage*>(&Input(photo)), &src);
    const SmoothParams radius = {4};
    smooth.Apply(&radius);
    UINT w = 0, h = 0;
    src.GetSize(&w, &h);
    CQLImage reference, other;
    reference.DuplicateFrom(&src);
    other.Create(w, h);
    for (UINT y = 0; y < h; ++y)
        for (UINT x = 0; x < w; ++x)
            other.PutPixel(x, y, src.GetSafePixel(static_cast<int>(x) - 5, static_cast<int>(y) + 3));
    AntiShakeAlgorithm align;
    align.SetImages(&reference, &other);
    const AntiShakeParams params = {1, 0, searchSize};
    for (auto _ : state) {
        if (align.Apply(&params) != 0) {
            state.SkipWithError("alignment failed");
            return;
        }
    }
    const ShakeMapping& m = align.GetMapping();
    state.SetLabel("offset " + std::to_string(m.xOffset) + ", " + std::to_string(m.yOffset));
}

void Peer_MagickCopy(benchmark::State& state, bool photo)
{
    RunPeer(state, "convert " + PeerInputPpm(!photo) + " " + BenchFolder() + "/magick-copy.ppm");
}

void Peer_VipsCopy(benchmark::State& state, bool photo)
{
    RunPeer(state, "vips copy " + PeerInputPpm(!photo) + " " + BenchFolder() + "/vips-copy.v");
}

#define GEOMETRY_CASE(fn, name, ...) \
    BENCHMARK_CAPTURE(fn, name, __VA_ARGS__)->Unit(benchmark::kMillisecond)->UseRealTime()

GEOMETRY_CASE(FreeRotate, Photo, true);
GEOMETRY_CASE(Peer_MagickRotate, Photo, true);
GEOMETRY_CASE(Peer_VipsRotate, Photo, true);
GEOMETRY_CASE(FreeRotateAutoCrop, Photo, true);
GEOMETRY_CASE(FreeRotate, Preview, false);
GEOMETRY_CASE(Peer_MagickRotate, Preview, false);
GEOMETRY_CASE(Peer_VipsRotate, Preview, false);
GEOMETRY_CASE(Barrel, Photo, true);
GEOMETRY_CASE(Peer_MagickBarrel, Photo, true);
GEOMETRY_CASE(Barrel, Preview, false);
GEOMETRY_CASE(Peer_MagickBarrel, Preview, false);
GEOMETRY_CASE(Vignette, Photo, true);
GEOMETRY_CASE(Vignette, Preview, false);
GEOMETRY_CASE(AntiFringe, Photo, true);
GEOMETRY_CASE(AntiFringe, Preview, false);
GEOMETRY_CASE(AntiShake, Photo_Medium, true, 1);
GEOMETRY_CASE(AntiShake, Preview_Medium, false, 1);
GEOMETRY_CASE(Peer_MagickCopy, Photo, true);
GEOMETRY_CASE(Peer_VipsCopy, Photo, true);
GEOMETRY_CASE(Peer_MagickCopy, Preview, false);
GEOMETRY_CASE(Peer_VipsCopy, Preview, false);

} // namespace
