// The retouch and geometry dialogs' full-size work on a 24-megapixel photo:
// the canvas extension beside ImageMagick's -extent, the barrel correction's
// final run and its black-border crop beside ImageMagick's barrel distortion,
// and the 400-pixel barrel preview job; the erase-spot search at the
// largest brush, and the skin effects' chain on 12 megapixels beside
// ImageMagick's -gaussian-blur at the same radius; Free Rotate's 640-pixel
// preview beside ImageMagick's -rotate of the same picture.
#include "BenchSupport.h"

#include "algorithms/BarrelDistortionAlgorithm.h"
#include "algorithms/FreeRotateAlgorithm.h"
#include "algorithms/MaskedGaussianBlurAlgorithm.h"
#include "algorithms/SmoothAlgorithm.h"
#include "editor/retouch/BarrelDistortDlg.h"
#include "editor/retouch/CanvasSizeDlg.h"
#include "editor/retouch/ClickEditDlg.h"
#include "editor/retouch/FreeRotateDlg.h"
#include "editor/retouch/SkinEffectDlg.h"
#include "imagecore/QLImage.h"
#include "platform/codec/QLImageCodec.h"

#include <cstdio>

namespace {

void BM_CanvasExtend(benchmark::State& state)
{
    const CQLImage& photo = SyntheticPhoto();
    CQLImage target;
    for (auto _ : state)
        if (!canvas::Extend(photo, {200, 100, 200, 100}, CPixel{255, 255, 255, 255}, &target))
            state.SkipWithError("extend failed");
}

void BM_PeerMagickExtent(benchmark::State& state)
{
    RunPeer(state, "convert " + PeerInputPpm() + " -background white -gravity center -extent 6400x4200 null:");
}

void RunBarrel(benchmark::State& state, CQLImage* source)
{
    BarrelDistortionAlgorithm barrel;
    CQLImage target;
    INT strength = 30;  // slider -20
    barrel.SetImages(source, &target);
    for (auto _ : state)
        if (barrel.Apply(&strength) != 0)
            state.SkipWithError("barrel failed");
}

void BM_BarrelFullSize(benchmark::State& state)
{
    RunBarrel(state, const_cast<CQLImage*>(&SyntheticPhoto()));
}

void BM_PeerMagickBarrel(benchmark::State& state)
{
    RunPeer(state, "convert " + PeerInputPpm() + " -distort Barrel '0.0 0.0 -0.05' null:");
}

void BM_BarrelPreview(benchmark::State& state)
{
    CQLImage preview;
    CQLImageCodec codec;
    codec.Resample(&SyntheticPhoto(), &preview, barrel::kPreviewSide, barrel::kPreviewSide * 2 / 3, 1);
    RunBarrel(state, &preview);
}

void BM_CropBlackBorder(benchmark::State& state)
{
    const CQLImage& photo = SyntheticPhoto();
    CQLImage target;
    for (auto _ : state)
        if (!barrel::CropBlackBorder(photo, &target))
            state.SkipWithError("crop failed");
}

// The search of one click at the centre with the largest brush (16 and 16).
void BM_EraseSpotSearch(benchmark::State& state)
{
    const CQLImage& photo = SyntheticPhoto();
    const BYTE brush[4] = {0, 16, 16, 255};
    const POINT centre{kPhotoWidth / 2, kPhotoHeight / 2};
    const RECT area = clickedit::StrokeArea(SIZE{kPhotoWidth, kPhotoHeight}, centre, brush);
    CQLImage patch;
    if (!clickedit::MakeBrushPatch(photo, brush, area, centre, &patch)) {
        state.SkipWithError("patch failed");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(erasespots::FindPatch(photo, patch, area));
}

constexpr unsigned kSkinWidth = 4000, kSkinHeight = 3000;

const CQLImage& SkinPhoto()
{
    static CQLImage* photo = [] {
        auto* image = new CQLImage;
        MakeSyntheticPhoto(*image, kSkinWidth, kSkinHeight);
        return image;
    }();
    return *photo;
}

// The four runs of the step, one after the other, as the dialog chains them.
void BM_SkinChain(benchmark::State& state)
{
    CQLImage* source = const_cast<CQLImage*>(&SkinPhoto());
    const int radius = skineffect::Radius(kSkinWidth, kSkinHeight);
    CQLImage blurred, variants[3];
    for (auto _ : state) {
        MaskedGaussianBlurAlgorithm blur;
        blur.SetImages(source, &blurred);
        MaskedBlurParams bp{radius};
        FilterHost host;
        host.AddImage(&blurred);
        SmoothAlgorithm smooth;
        smooth.SetMultiScaleMode(1);
        smooth.SetImages(source, &blurred);
        SmoothParams sp{radius * 2};
        bool ok = blur.Apply(&bp) == 0;
        host.SetImages(source, &variants[1]);
        ok = ok && host.Apply(reinterpret_cast<void*>(&skineffect::CleanedSkin)) == 0;
        host.SetImages(source, &variants[2]);
        ok = ok && host.Apply(reinterpret_cast<void*>(&skineffect::CleanedMore)) == 0;
        ok = ok && smooth.Apply(&sp) == 0;
        host.SetImages(source, &variants[0]);
        ok = ok && host.Apply(reinterpret_cast<void*>(&skineffect::SoftLight)) == 0;
        if (!ok)
            state.SkipWithError("skin chain failed");
    }
}

// One Gaussian of the chain's first radius, with the standard deviation the
// chain's blur derives from it.
void BM_PeerMagickGaussianBlur(benchmark::State& state)
{
    const int radius = skineffect::Radius(kSkinWidth, kSkinHeight);
    MaskedGaussianBlurAlgorithm probe;
    CQLImage small, out;
    MakeSyntheticPhoto(small, 64, 64);
    probe.SetImages(&small, &out);
    MaskedBlurParams bp{radius};
    probe.Apply(&bp);
    char args[64];
    std::snprintf(args, sizeof args, " -gaussian-blur %dx%d null:", radius, probe.GetSigma());
    RunPeer(state, "convert " + WritePpm(SkinPhoto(), "skin12.ppm") + args);
}

}  // namespace

// The dialog's preview source: the photo scaled to 640 pixels on its long side.
const CQLImage& RotatePreviewSource()
{
    static CQLImage* source = [] {
        auto* image = new CQLImage;
        CQLImageCodec codec;
        const int side = freerotate::kPreviewSide;
        codec.Resample(const_cast<CQLImage*>(&SyntheticPhoto()), image, side, side * kPhotoHeight / kPhotoWidth, 1);
        return image;
    }();
    return *source;
}

void BM_RotatePreview(benchmark::State& state)
{
    FreeRotateAlgorithm rotate;
    CQLImage preview;
    rotate.SetImages(const_cast<CQLImage*>(&RotatePreviewSource()), &preview);
    rotate.background = RGB(220, 220, 220);
    rotate.SetAlgorithmInput(0);
    double angle = 5 * freerotate::kStep * 2;  // 5 degrees
    for (auto _ : state)
        if (rotate.Apply(&angle) != 0)
            state.SkipWithError("rotate failed");
}

void BM_PeerMagickRotatePreview(benchmark::State& state)
{
    static const std::string input = WritePpm(RotatePreviewSource(), "rotate-preview.ppm");
    RunPeer(state, "convert " + input + " -background 'rgb(220,220,220)' -rotate 5 null:");
}

BENCHMARK(BM_EraseSpotSearch)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SkinChain)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PeerMagickGaussianBlur)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
BENCHMARK(BM_CanvasExtend)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PeerMagickExtent)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_BarrelFullSize)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PeerMagickBarrel)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
BENCHMARK(BM_BarrelPreview)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RotatePreview)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PeerMagickRotatePreview)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_CropBlackBorder)->Unit(benchmark::kMillisecond)->UseRealTime();
