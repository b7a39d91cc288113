// Text and pictures over the photo: the text object of 320 characters at
// size 200 (plain and in a balloon) against ImageMagick's -annotate at the
// same size, and the sheet's merge of a 1000 x 600 picture with shadow,
// emboss and emission into the 24-megapixel photo against -shadow with
// -composite.
#include "BenchSupport.h"

#include "algorithms/OverlayBlendAlgorithm.h"
#include "editor/retouch/OverlayLayout.h"
#include "editor/retouch/TextRender.h"
#include "imagecore/QLImage.h"

#include <QGuiApplication>

#include <algorithm>
#include <cstdlib>
#include <string>

namespace {

void EnsureGui()
{
    static int argc = 1;
    static char name[] = "bench_overlay";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* app = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        return new QGuiApplication(argc, argv);
    }();
    (void)app;
}

// Eight lines, 320 characters with their breaks.
const std::string& Text()
{
    static const std::string text = [] {
        const std::string line = "Evening lamps over the quiet harbour";  // 36 characters
        std::string t;
        for (int i = 0; i < 8; ++i)
            t += line + "\r\n";
        return t.substr(0, 320);
    }();
    return text;
}

void BM_TextRender(benchmark::State& state)
{
    EnsureGui();
    TextStyle style;
    style.size = 200;
    style.balloonShape = static_cast<int>(state.range(0)) - 1;  // 0: plain, 3: ellipse
    CQLImage object;
    int kind = 0;
    for (auto _ : state) {
        if (!RenderTextObject(style, Text(), &object, &kind))
            state.SkipWithError("render failed");
        benchmark::DoNotOptimize(object.GetBuffer(0, 0));
    }
    UINT w = 0, h = 0;
    object.GetSize(&w, &h);
    state.counters["width"] = w;
    state.counters["height"] = h;
}
BENCHMARK(BM_TextRender)->Arg(0)->Arg(3)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Peer_MagickAnnotate(benchmark::State& state)
{
    // The same lines, as ImageMagick's escapes.
    std::string escaped;
    for (char c : Text())
        if (c == '\n')
            escaped += "\\n";
        else if (c != '\r')
            escaped += c;
    RunPeer(state, "convert -size 3000x1700 xc:black -fill white -font DejaVu-Sans -pointsize 200 -annotate +0+200 '" +
                       escaped + "' gray:" + BenchFolder() + "/text.gray");
}
BENCHMARK(BM_Peer_MagickAnnotate)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

const CQLImage& Picture()
{
    static CQLImage picture;
    if (picture.GetAreaByteSize() == 0) {
        MakeSyntheticPhoto(picture, 1000, 600);
        // A soft-edged alpha so that shadow and outline have an edge to follow.
        for (int y = 0; y < 600; ++y)
            for (int x = 0; x < 1000; ++x) {
                const int edge = std::min({x, y, 999 - x, 599 - y});
                picture.GetBuffer(x, y)[3] = static_cast<BYTE>(std::min(255, edge * 8));
            }
    }
    return picture;
}

void BM_OverlayJob(benchmark::State& state)
{
    CQLImage target;
    CQLImage object;
    object.DuplicateFrom(&Picture());
    OverlayEffects effects;
    effects.shadowOn = effects.embossOn = effects.emissionOn = 1;
    effects.shadowBlur = 4;
    effects.embossDepth = 3;
    effects.emissionDepth = 3;
    const OverlayBlendParams job = MakeOverlayJob(RECT{500, 400, 1500, 1000}, 0, 255, 0, effects);
    OverlayBlendAlgorithm blend;
    blend.SetImages(const_cast<CQLImage*>(&SyntheticPhoto()), &target);
    blend.AddImage(&object);
    for (auto _ : state) {
        if (blend.Apply(&job) != 0)
            state.SkipWithError("blend failed");
        benchmark::DoNotOptimize(target.GetBuffer(0, 0));
    }
}
BENCHMARK(BM_OverlayJob)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Peer_MagickShadowComposite(benchmark::State& state)
{
    const std::string object = WritePpm(Picture(), "object.ppm");
    RunPeer(state, "convert " + PeerInputPpm() + " \\( " + object +
                       " \\( +clone -background black -shadow 25x4+5+5 \\) +swap -background none -layers merge"
                       " +repage \\) -geometry +500+400 -composite " + BenchFolder() + "/merged.ppm");
}
BENCHMARK(BM_Peer_MagickShadowComposite)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace
