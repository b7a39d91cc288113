// The creative effects on the synthetic 24-megapixel photo and on a
// 1-megapixel preview. Peers where one does a comparable job on the same
// pixels (binary PPM in, PPM out; their times include starting the process
// and the files: Peer_MagickCopy is that cost alone):
// - lose-focus blur (the mean under a disc aperture) against ImageMagick's
//   normalised disc convolution, `-morphology Convolve Disk:r`, the same
//   job; ImageMagick sums every kernel cell, so the photo at radius 32
//   (about 3200 cells a pixel) takes minutes and is skipped;
// - sharpen texture (a 3 x 3 contrast-dependent sharpening) against
//   `-sharpen 0x1`, a small-kernel sharpening of the same reach;
// - modify shape (every pixel read through a bilinear tap at a displaced
//   position) against `-distort SRT`, a rigid warp with the same per-pixel
//   resampling; the warps differ, the work per pixel is alike.
// Edge shrink, star light and the overlay blend have no peer doing their job.
#include "bench/BenchSupport.h"

#include "algorithms/EdgeShrinkAlgorithm.h"
#include "algorithms/LoseFocusBlurAlgorithm.h"
#include "algorithms/ModifyShapeAlgorithm.h"
#include "algorithms/OverlayBlendAlgorithm.h"
#include "algorithms/SharpenTextureAlgorithm.h"
#include "algorithms/StarLightAlgorithm.h"
#include "imagecore/QLImage.h"

#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

const CQLImage& Input(int preview)
{
    return preview ? SyntheticPreview() : SyntheticPhoto();
}

void SetLabel(benchmark::State& state, int preview, const std::string& extra = "")
{
    state.SetLabel(std::string(preview ? "1 MP preview" : "24 MP photo") + extra);
}

template <class Fx, class P>
void RunOurs(benchmark::State& state, Fx& fx, int preview, const P* params)
{
    CQLImage dst;
    fx.SetImages(const_cast<CQLImage*>(&Input(preview)), &dst);
    fx.SetRange(0, 100);
    for (auto _ : state) {
        if (fx.Apply(params) != 0) {
            state.SkipWithError("effect failed");
            return;
        }
        benchmark::DoNotOptimize(dst.GetBuffer(0, 0));
    }
}

std::string Out(const char* name)
{
    return BenchFolder() + "/" + name + ".ppm";
}

// args: radius, preview, highlights
void BM_LoseFocusBlur(benchmark::State& state)
{
    const int r = static_cast<int>(state.range(0)), preview = static_cast<int>(state.range(1));
    auto p = std::make_unique<LoseFocusParams>();
    std::memset(p.get(), 0, sizeof *p);
    p->radius = r;
    p->highlights = static_cast<INT>(state.range(2));
    for (int m = 0; m < 2 * r; ++m)
        for (int k = 0; k < 2 * r; ++k) {
            const int dx = 2 * k + 1 - 2 * r, dy = 2 * m + 1 - 2 * r;
            p->aperture[128 * m + k] = dx * dx + dy * dy <= 4 * r * r;
        }
    LoseFocusBlurAlgorithm fx;
    RunOurs(state, fx, preview, p.get());
    SetLabel(state, preview, state.range(2) ? ", highlights" : "");
}
BENCHMARK(BM_LoseFocusBlur)->ArgsProduct({{8, 32, 64}, {0, 1}, {0}})->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LoseFocusBlur)->Args({32, 0, 1})->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Peer_MagickDisk(benchmark::State& state)
{
    const int r = static_cast<int>(state.range(0)), preview = static_cast<int>(state.range(1));
    if (!preview && r > 8) {
        state.SkipWithError("ImageMagick sums every cell: minutes for the photo");
        return;
    }
    RunPeer(state, "convert " + PeerInputPpm(preview != 0) + " -define convolve:scale=! -morphology Convolve Disk:"
                       + std::to_string(r) + " " + Out("disk"));
    SetLabel(state, preview);
}
BENCHMARK(BM_Peer_MagickDisk)->ArgsProduct({{8, 32}, {0, 1}})->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

void BM_SharpenTexture(benchmark::State& state)
{
    const int preview = static_cast<int>(state.range(0));
    SharpenTextureAlgorithm fx;
    const SharpenTextureParams p = {50};
    RunOurs(state, fx, preview, &p);
    SetLabel(state, preview);
}
BENCHMARK(BM_SharpenTexture)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Peer_MagickSharpen(benchmark::State& state)
{
    const int preview = static_cast<int>(state.range(0));
    RunPeer(state, "convert " + PeerInputPpm(preview != 0) + " -sharpen 0x1 " + Out("sharpen"));
    SetLabel(state, preview);
}
BENCHMARK(BM_Peer_MagickSharpen)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_EdgeShrink(benchmark::State& state)
{
    const int preview = static_cast<int>(state.range(0));
    EdgeShrinkAlgorithm fx;
    const EdgeShrinkParams p = {200};
    RunOurs(state, fx, preview, &p);
    SetLabel(state, preview);
}
BENCHMARK(BM_EdgeShrink)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ModifyShape(benchmark::State& state)
{
    const int preview = static_cast<int>(state.range(0));
    UINT w = 0, h = 0;
    Input(preview).GetSize(&w, &h);
    const int cell = 16;
    const int columns = (static_cast<int>(w) + cell - 1) / cell, rows = (static_cast<int>(h) + cell - 1) / cell;
    std::vector<float> grid(2 * static_cast<std::size_t>(columns) * rows);
    for (int i = 0; i < rows; ++i)
        for (int j = 0; j < columns; ++j) { // a gentle swirl: every cell warps
            grid[2 * (static_cast<std::size_t>(i) * columns + j)] = 6.0f * std::sin(i * 0.05f);
            grid[2 * (static_cast<std::size_t>(i) * columns + j) + 1] = 6.0f * std::cos(j * 0.05f);
        }
    ModifyShapeAlgorithm fx;
    fx.SetWarpGrid(grid.data(), cell, columns, rows);
    RunOurs<ModifyShapeAlgorithm, int>(state, fx, preview, nullptr);
    SetLabel(state, preview);
}
BENCHMARK(BM_ModifyShape)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Peer_MagickDistort(benchmark::State& state)
{
    const int preview = static_cast<int>(state.range(0));
    RunPeer(state, "convert " + PeerInputPpm(preview != 0) + " -distort SRT 1.02,3 " + Out("distort"));
    SetLabel(state, preview);
}
BENCHMARK(BM_Peer_MagickDistort)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_StarLight(benchmark::State& state)
{
    const int preview = static_cast<int>(state.range(0));
    // A 32 x 32 cross with a soft fall-off, as the dialog's star pictures.
    static CQLImage star;
    star.Create(32, 32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const int d = std::min(std::abs(2 * x - 31), std::abs(2 * y - 31));
            const BYTE v = static_cast<BYTE>(d <= 1 ? 255 - 7 * std::max(std::abs(2 * x - 31), std::abs(2 * y - 31)) : 0);
            star.PutPixel(x, y, {v, v, v, 255});
        }
    StarLightAlgorithm fx;
    const StarLightParams p = {&star, static_cast<INT>(state.range(1)), 60, 1};
    RunOurs(state, fx, preview, &p);
    SetLabel(state, preview, ", threshold " + std::to_string(state.range(1)));
}
BENCHMARK(BM_StarLight)->ArgsProduct({{0, 1}, {200, 150}})->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_OverlayBlend(benchmark::State& state)
{
    const int preview = static_cast<int>(state.range(0));
    static CQLImage object;
    MakeSyntheticPhoto(object, 800, 600);
    OverlayBlendParams p;
    std::memset(&p, 0, sizeof p);
    p.x = 100, p.y = 80, p.width = 1000, p.height = 700, p.mode = 8, p.opacity = 200;
    p.shadow = 1, p.shadowDx = 12, p.shadowDy = 12, p.shadowBlur = 10, p.shadowColour[3] = 160;
    p.outline = 1, p.outlineWidth = 4, p.outlineFade = 8, p.outlineColour = 0xC0FFFFFF;
    p.bevel = 1, p.bevelDepth = 3, p.bevelMargin = 4, p.bevelStrength = 200, p.lightDirection = 5;
    OverlayBlendAlgorithm fx;
    fx.AddImage(&object);
    RunOurs(state, fx, preview, &p);
    SetLabel(state, preview, ", 1000 x 700 object");
}
BENCHMARK(BM_OverlayBlend)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Peer_MagickCopy(benchmark::State& state)
{
    const int preview = static_cast<int>(state.range(0));
    RunPeer(state, "convert " + PeerInputPpm(preview != 0) + " " + Out("copy"));
    SetLabel(state, preview);
}
BENCHMARK(BM_Peer_MagickCopy)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

} // namespace
