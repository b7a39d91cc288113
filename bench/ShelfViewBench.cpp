// The album viewer's pixel work on a 24-megapixel photo: the slideshow's
// screen composition and transition steps, and the analysis views, each
// beside a peer program doing the nearest work on the same input.
#include "BenchSupport.h"

#include "album/shell/PhotoAnalysis.h"
#include "album/shell/SlideTransitions.h"
#include "imagecore/QLImage.h"

#include <string>

using shelf::PhotoAnalysis;
using shelf::SlideTransitions;

namespace {

struct Screen {
    int w, h;
};
const Screen kScreens[] = {{1920, 1080}, {3840, 2160}};

void BM_ComposeBoth(benchmark::State& state)
{
    const Screen s = kScreens[state.range(0)];
    CQLImage d, t;
    d.Create(static_cast<UINT>(s.w), static_cast<UINT>(s.h));
    t.Create(static_cast<UINT>(s.w), static_cast<UINT>(s.h));
    const CQLImage& photo = SyntheticPhoto();
    for (auto _ : state) {
        SlideTransitions::Compose(photo, &d);
        SlideTransitions::Compose(photo, &t);
    }
}
BENCHMARK(BM_ComposeBoth)->DenseRange(0, 1)->Unit(benchmark::kMillisecond);

void BM_TransitionStep(benchmark::State& state)
{
    const Screen s = kScreens[state.range(1)];
    const int effect = static_cast<int>(state.range(0));
    CQLImage d, t;
    d.Create(static_cast<UINT>(s.w), static_cast<UINT>(s.h));
    t.Create(static_cast<UINT>(s.w), static_cast<UINT>(s.h));
    SlideTransitions::Compose(SyntheticPhoto(), &t);
    int step = 1;
    for (auto _ : state) {
        SlideTransitions::Step(effect, step, &d, t);
        step = step % 10 + 1;
    }
    state.SetLabel(SlideTransitions::kEffectNames[effect]);
}
BENCHMARK(BM_TransitionStep)
    ->ArgsProduct({benchmark::CreateDenseRange(2, 10, 1), {0, 1}})
    ->Unit(benchmark::kMillisecond);

void BM_AnalysisMode(benchmark::State& state)
{
    const int mode = static_cast<int>(state.range(0));
    const CQLImage& photo = SyntheticPhoto();
    CQLImage work;
    PhotoAnalysis::Histograms histograms;
    for (auto _ : state)
        PhotoAnalysis::Build(photo, mode, &work, &histograms);
    state.SetLabel(std::string(1, PhotoAnalysis::kLetters[mode]));
}
BENCHMARK(BM_AnalysisMode)->DenseRange(1, 11)->Unit(benchmark::kMillisecond);

// Peers on the same photo.
void BM_PeerVipsNearestToScreen(benchmark::State& state)
{
    const std::string out = BenchFolder() + "vips-screen.v";
    RunPeer(state, "vips resize " + PeerInputPpm() + " " + out + " 0.27 --kernel nearest");
}
BENCHMARK(BM_PeerVipsNearestToScreen)->Unit(benchmark::kMillisecond);

void BM_PeerMagickSeparate(benchmark::State& state)
{
    RunPeer(state, "convert " + PeerInputPpm() + " -channel R -separate " + BenchFolder() + "sep.pgm");
}
BENCHMARK(BM_PeerMagickSeparate)->Unit(benchmark::kMillisecond);

void BM_PeerMagickHsl(benchmark::State& state)
{
    RunPeer(state, "convert " + PeerInputPpm() + " -colorspace HSL " + BenchFolder() + "hsl.ppm");
}
BENCHMARK(BM_PeerMagickHsl)->Unit(benchmark::kMillisecond);

void BM_PeerMagickEdge(benchmark::State& state)
{
    RunPeer(state, "convert " + PeerInputPpm() + " -edge 1 " + BenchFolder() + "edge.ppm");
}
BENCHMARK(BM_PeerMagickEdge)->Unit(benchmark::kMillisecond);

} // namespace
