// The colour theme player and the film look on the synthetic 24-megapixel
// photo and a 1-megapixel preview. Peers: ImageMagick doing a like job on the
// same pixels, binary PPM in and out: -gamma beside a theme of one curve
// step; -gamma, -color-matrix and -blur beside a theme of curve, channel mix
// and glow steps; -sigmoidal-contrast, -modulate, +noise and -sharpen beside
// the film look. Peer_MagickCopy is the cost of its process and files alone.
// Ours are in-process, on all cores.
#include "bench/EffectBench.h"

#include "algorithms/ChannelMixerAlgorithm.h"
#include "algorithms/ColorTheme.h"
#include "algorithms/ColorThemeAlgorithm.h"
#include "algorithms/FilmAspectAdjustAlgorithm.h"
#include "imagecore/QLImage.h"

#include <cmath>
#include <cstring>
#include <string>

namespace {




ColorThemeStep GammaCurves()
{
    ColorThemeStep s;
    s.type = ColorThemeStep::Curves;
    for (int c = 0; c < 3; ++c)
        for (int v = 0; v < 256; ++v)
            s.payload[256 * c + v] = static_cast<BYTE>(std::lround(255.0 * std::pow(v / 255.0, 1.0 / 1.2)));
    return s;
}

void ThemeOneCurve(benchmark::State& state, bool photo)
{
    ColorTheme theme;
    theme.steps = {GammaCurves()};
    theme.stepCount = 1;
    ColorThemeAlgorithm fx;
    fx.SetAmount(80);
    RunEffect(state, photo, fx, &theme);
}

void ThemeThreeSteps(benchmark::State& state, bool photo)
{
    ColorTheme theme;
    theme.steps.resize(3);
    theme.steps[0] = GammaCurves();
    ChannelMixerParams mix{};
    mix.red[0] = 90, mix.red[1] = 10, mix.green[1] = 100, mix.blue[1] = 10, mix.blue[2] = 90;
    theme.steps[1].type = ColorThemeStep::ChannelMixer;
    std::memcpy(theme.steps[1].payload, &mix, sizeof mix);
    theme.steps[2].type = ColorThemeStep::Glow;
    const BYTE glow[4] = {3, 60, 80, 60};
    std::memcpy(theme.steps[2].payload, glow, sizeof glow);
    theme.stepCount = 3;
    ColorThemeAlgorithm fx;
    RunEffect(state, photo, fx, &theme);
}

void FilmLook(benchmark::State& state, bool photo)
{
    const FilmAspectParams p{3, -30, 900, 20, 30, 0, 10};
    FilmAspectAdjustAlgorithm fx;
    RunEffect(state, photo, fx, &p);
}

void FilmLookColourOnly(benchmark::State& state, bool photo)
{
    const FilmAspectParams p{0, -30, 900, 20, 0, 0, 0};
    FilmAspectAdjustAlgorithm fx;
    RunEffect(state, photo, fx, &p);
}

std::string Peer(bool photo, const std::string& ops, const std::string& out)
{
    return "convert " + PeerInputPpm(!photo) + " " + ops + " " + BenchFolder() + "/" + out;
}

void Peer_MagickGamma(benchmark::State& state, bool photo)
{
    RunPeer(state, Peer(photo, "-gamma 1.2", "magick-gamma.ppm"));
    LabelInput(state, photo);
}

void Peer_MagickThreeSteps(benchmark::State& state, bool photo)
{
    RunPeer(state, Peer(photo, "-gamma 1.2 -color-matrix '0.9 0.1 0 0.1 1 0 0 0.1 0.9' -blur 0x1.5",
                        "magick-three.ppm"));
    LabelInput(state, photo);
}

void Peer_MagickFilm(benchmark::State& state, bool photo)
{
    RunPeer(state, Peer(photo, "-sigmoidal-contrast 3x50% -modulate 100,120 -attenuate 0.3 +noise Gaussian -sharpen 0x1",
                        "magick-film.ppm"));
    LabelInput(state, photo);
}

void Peer_MagickCopy(benchmark::State& state, bool photo)
{
    RunPeer(state, Peer(photo, "", "magick-copy.ppm"));
    LabelInput(state, photo);
}

#define THEME_CASE(fn)                                                                              \
    BENCHMARK_CAPTURE(fn, Photo, true)->Unit(benchmark::kMillisecond)->UseRealTime();               \
    BENCHMARK_CAPTURE(fn, Preview, false)->Unit(benchmark::kMillisecond)->UseRealTime()

THEME_CASE(ThemeOneCurve);
THEME_CASE(Peer_MagickGamma);
THEME_CASE(ThemeThreeSteps);
// Its blur takes about 20 s on the photo: preview only.
BENCHMARK_CAPTURE(Peer_MagickThreeSteps, Preview, false)->Unit(benchmark::kMillisecond)->UseRealTime();
THEME_CASE(FilmLook);
THEME_CASE(FilmLookColourOnly);
// Its noise and sharpening take about a minute on the photo: preview only.
BENCHMARK_CAPTURE(Peer_MagickFilm, Preview, false)->Unit(benchmark::kMillisecond)->UseRealTime();
THEME_CASE(Peer_MagickCopy);

} // namespace
