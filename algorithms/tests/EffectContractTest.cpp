// The rules every effect keeps, one row per effect class: input check,
// progress, cancel. A row is a name, a factory and a parameter block.
#include "algorithms/EffectAlgorithm.h"
#include "algorithms/AreaShrinkAlgorithm.h"
#include "algorithms/AutoEnhanceAlgorithm.h"
#include "algorithms/AutoExposureAlgorithm.h"
#include "algorithms/AutoGammaAlgorithm.h"
#include "algorithms/AutoLevelsAlgorithm.h"
#include "algorithms/EdgeAwareSmoothAlgorithm.h"
#include "algorithms/ResampleAlgorithm.h"
#include "algorithms/ResizeBySpecAlgorithm.h"
#include "algorithms/RotateFlipAlgorithm.h"
#include "algorithms/SeparableResizeAlgorithm.h"
#include "algorithms/MaskedGaussianBlurAlgorithm.h"
#include "algorithms/SmoothAlgorithm.h"
#include "algorithms/UnsharpMaskAlgorithm.h"
#include "algorithms/DescreenAlgorithm.h"
#include "algorithms/FftDenoiseAlgorithm.h"
#include "algorithms/ChannelMixerAlgorithm.h"
#include "algorithms/HueSaturationAlgorithm.h"
#include "algorithms/MonoToneAlgorithm.h"
#include "algorithms/PerspectiveAlgorithm.h"
#include "algorithms/ThresholdAlgorithm.h"
#include "algorithms/ToneBlendAlgorithm.h"
#include "algorithms/WhiteBalanceAlgorithm.h"
#include "algorithms/DefogAlgorithm.h"
#include "algorithms/DynamicRangeAlgorithm.h"
#include "algorithms/GradientFilterAlgorithm.h"
#include "algorithms/HighlightDiffuseAlgorithm.h"
#include "algorithms/HsbCurveAlgorithm.h"
#include "algorithms/LevelsAlgorithm.h"
#include "algorithms/SkinMaskAlgorithm.h"
#include "algorithms/AntiPurpleFringeAlgorithm.h"
#include "algorithms/AntiShakeAlgorithm.h"
#include "algorithms/BarrelDistortionAlgorithm.h"
#include "algorithms/FreeRotateAlgorithm.h"
#include "algorithms/VignetteCorrectionAlgorithm.h"
#include "algorithms/AdaptiveDenoiseAlgorithm.h"
#include "algorithms/DenoisePassAlgorithm.h"
#include "algorithms/NoiseReductionAlgorithm.h"
#include "algorithms/TiledDenoiseAlgorithm.h"
#include "algorithms/BoxMeanAlgorithm.h"
#include "algorithms/EdgeShrinkAlgorithm.h"
#include "algorithms/LoseFocusBlurAlgorithm.h"
#include "algorithms/ModifyShapeAlgorithm.h"
#include "algorithms/OverlayBlendAlgorithm.h"
#include "algorithms/SharpenTextureAlgorithm.h"
#include "algorithms/StarLightAlgorithm.h"
#include "algorithms/ContentAwareResizeAlgorithm.h"
#include "algorithms/InpaintAlgorithm.h"
#include "algorithms/AdvancedSkinCleanAlgorithm.h"
#include "algorithms/JpegSizeAlgorithm.h"
#include "algorithms/JpegSlimmingAlgorithm.h"
#include "algorithms/tests/EffectTestSupport.h"
#include "algorithms/tests/ThemeContractRow.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace {

using effecttest::Bytes;

struct EffectRow {
    std::string name;
    std::function<std::unique_ptr<EffectAlgorithm>()> make;
    std::vector<BYTE> params;
    int width = 64; // of the source
    int height = 48;
};

void PrintTo(const EffectRow& row, std::ostream* os)
{
    *os << row.name;
}

template <class T>
std::function<std::unique_ptr<EffectAlgorithm>()> Make(std::function<void(T&)> setup = nullptr)
{
    return [setup] {
        auto fx = std::make_unique<T>();
        if (setup)
            setup(*fx);
        return std::unique_ptr<EffectAlgorithm>(std::move(fx));
    };
}

template <class P>
std::vector<BYTE> Block(const P& p)
{
    std::vector<BYTE> bytes(sizeof p);
    std::memcpy(bytes.data(), &p, sizeof p);
    return bytes;
}

const std::vector<EffectRow>& Rows()
{
    static const std::vector<EffectRow> rows = {
        {"ColorTheme", Make<ThemeContractPlayer>(), {}},
        {"FilmAspectAdjust", Make<FilmAspectAdjustAlgorithm>(), Block(FilmAspectParams{3, -20, 900, 20, 30, 0, 10})},
        {"FilmAspectAdjustLift", Make<FilmAspectAdjustAlgorithm>(), Block(FilmAspectParams{-4, 25, -700, -20, 0, 0, -15})},
        {"SmoothGaussian", Make<SmoothAlgorithm>(), Block(SmoothParams{5})},
        {"SmoothShrunk", Make<SmoothAlgorithm>(), Block(SmoothParams{50})},
        {"SmoothAlphaOnly", Make<SmoothAlgorithm>([](SmoothAlgorithm& s) { s.SetAlphaOnly(1); }), Block(SmoothParams{4})},
        {"SmoothMultiScale", Make<SmoothAlgorithm>([](SmoothAlgorithm& s) { s.SetMultiScaleMode(1); }),
         Block(SmoothParams{40})},
        {"SmoothMultiScaleAlpha",
         Make<SmoothAlgorithm>([](SmoothAlgorithm& s) {
             s.SetMultiScaleMode(1);
             s.SetAlphaOnly(1);
         }),
         Block(SmoothParams{9})},
        {"UnsharpMask", Make<UnsharpMaskAlgorithm>(), Block(UnsharpMaskParams{4, 100, 10})},
        {"MaskedGaussianBlur", Make<MaskedGaussianBlurAlgorithm>(), Block(MaskedBlurParams{6})},
        {"SeparableResize", Make<SeparableResizeAlgorithm>(), Block(ResizeParams{96, 72})},
        {"RotateFlip", Make<RotateFlipAlgorithm>(), Block(DWORD{RotateFlipAlgorithm::RotateRight})},
        {"AreaShrink", Make<AreaShrinkAlgorithm>(), Block(ResizeParams{30, 20})},
        {"EdgeAwareSmooth", Make<EdgeAwareSmoothAlgorithm>(), Block(1.5f)},
        {"AutoGamma",
         Make<AutoGammaAlgorithm>([](AutoGammaAlgorithm& a) {
             static CQLImage mask; // the source's size, every pixel measured
             effecttest::MakeFlat(mask, 64, 48, 0, 255);
             a.AddImage(&mask);
         }),
         {}},
        {"ResizeBySpec", Make<ResizeBySpecAlgorithm>(), Block(ResizeSpec{ResizeSpec::ExplicitSize, {96 | (72 << 16)}})},
        {"Resample", Make<ResampleAlgorithm>(), Block(ResizeParams{96, 72})},
        {"Descreen", Make<DescreenAlgorithm>(), Block(DescreenParams{0, 50, 0, 0})},
        {"DescreenLumaTwice", Make<DescreenAlgorithm>(), Block(DescreenParams{2, 100, 1, 1}), 300, 250},
        {"FftDenoise", Make<FftDenoiseAlgorithm>(), Block(INT{0})},
        {"FftDenoiseWithPicks", Make<FftDenoiseAlgorithm>(), Block(INT{0}), 560, 300},
        {"HueSaturation", Make<HueSaturationAlgorithm>(), Block(HueSaturationParams{30, -40, 20})},
        {"ToneBlendByHue", Make<ToneBlendAlgorithm>(), Block([] {
             static CQLImage reference; // the source's size
             effecttest::MakePattern(reference, 64, 48);
             ToneBlendParams p = {};
             p.mode = ToneBlendAlgorithm::ByHue;
             std::memset(p.weights, 200, sizeof p.weights);
             p.reference = &reference;
             return p;
         }())},
        {"WhiteBalanceDetect", Make<WhiteBalanceAlgorithm>(), Block(DWORD{0})},
        {"WhiteBalanceToneRange",
         Make<WhiteBalanceAlgorithm>([](WhiteBalanceAlgorithm& w) { w.SetToneRange(20, 60, 120, 200); }),
         Block(DWORD{0x00604080})},
        {"AutoWhiteBalance", Make<AutoWhiteBalanceAlgorithm>(), Block(INT{1})},
        {"ChannelMixer", Make<ChannelMixerAlgorithm>(),
         Block(ChannelMixerParams{0, {80, 20, 0, 5}, {10, 90, 0, 0}, {0, 30, 70, -5}, {0, 0, 0, 0}})},
        {"ChannelMixerLuma", Make<ChannelMixerAlgorithm>(),
         Block(ChannelMixerParams{1, {0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}, {30, 60, 10, 8}})},
        {"ThresholdRamp", Make<ThresholdAlgorithm>(), Block(ThresholdParams{0, 100, 30, 0})},
        {"ThresholdAdaptive", Make<ThresholdAlgorithm>(), Block(ThresholdParams{1, 64, 16, 50})},
        {"ThresholdDiffusion", Make<ThresholdAlgorithm>(), Block(ThresholdParams{2, 0, 0, 0})},
        {"ThresholdHalftone", Make<ThresholdAlgorithm>(), Block(ThresholdParams{3, 0, 0, 0})},
        {"MonoTone", Make<MonoToneAlgorithm>(), Block(MonoToneParams{2, 77, 150, 29, 200, 10, 40, 160, 90, 60, 120, 255})},
        {"Perspective", Make<PerspectiveAlgorithm>(), Block(PerspectiveParams{{4, 4}, {60, 6}, {2, 44}, {58, 40}})},
        {"Levels16",
         Make<LevelsAlgorithm>([](LevelsAlgorithm& l) {
             static C16BitBitmap input; // 16-bit copy of a 64 x 48 pattern
             CQLImage pattern;
             effecttest::MakePattern(pattern, 64, 48);
             input.ConvertFromSimpleBitmap(&pattern, 0);
             l.SetAlgorithmInput(&input);
         }),
         [] {
             std::vector<BYTE> identity(LevelsAlgorithm::kTableSize * sizeof(WORD));
             for (int v = 0; v < LevelsAlgorithm::kTableSize; ++v)
                 std::memcpy(&identity[v * sizeof(WORD)], &v, sizeof(WORD));
             return identity;
         }()},
        {"SkinMask", Make<SkinMaskAlgorithm>(), {}},
        {"GradientFilterTint", Make<GradientFilterAlgorithm>(),
         Block(GradientFilterParams{1, 0, {0, 0, 255, 0}, {255, 0, 0, 0}, 20, 80, 60, 0.5})},
        {"GradientFilterGrey", Make<GradientFilterAlgorithm>(),
         Block(GradientFilterParams{0, 10, {0, 0, 0, 0}, {255, 255, 255, 0}, 30, 70, 50, 2.0})},
        {"HighlightDiffuse", Make<HighlightDiffuseAlgorithm>(), Block(HighlightDiffuseParams{8})},
        {"HsbCurve", Make<HsbCurveAlgorithm>(), Block([] {
             HsbCurveParams p = {};
             for (int h = 0; h < 256; ++h)
                 p.hueShift[h] = h / 20, p.saturationCurve[h] = 40, p.brightnessCurve[h] = -30;
             return p;
         }())},
        {"DynamicRange", Make<DynamicRangeAlgorithm>(), Block(DynamicRangeParams{128, 60, 128, 1, 1})},
        {"Defog", Make<DefogAlgorithm>(), Block(DefogParams{80})},
        {"FreeRotate", Make<FreeRotateAlgorithm>(), Block(0.3)},
        {"FreeRotateAutoCrop", Make<FreeRotateAlgorithm>([](FreeRotateAlgorithm& f) { f.SetAlgorithmInput(1); }),
         Block(-0.4)},
        {"BarrelDistortion", Make<BarrelDistortionAlgorithm>(), Block(INT{70})},
        {"VignetteCorrection", Make<VignetteCorrectionAlgorithm>(), Block(VignetteParams{32, 24, 20, 10})},
        {"AntiPurpleFringe", Make<AntiPurpleFringeAlgorithm>(), Block(AntiFringeParams{200, 9})},
        // The shot to align is an input of the same size: the row aligns a copy
        // of the source.
        {"AntiShake",
         [] {
             struct OnCopy : AntiShakeAlgorithm {
                 HRESULT Apply(const void* params) override
                 {
                     if (source && target && source != target)
                         target->DuplicateFrom(source);
                     return AntiShakeAlgorithm::Apply(params);
                 }
             };
             return std::unique_ptr<EffectAlgorithm>(std::make_unique<OnCopy>());
         },
         Block(AntiShakeParams{1, 0, 0}), 200, 160},
        {"NoiseReduction", Make<NoiseReductionAlgorithm>(), Block(NoiseReductionParams{5, 1})},
        {"DenoisePass", Make<DenoisePassAlgorithm>(), Block(DenoiseParams{2, 1})},
        {"TiledDenoise", Make<TiledDenoiseAlgorithm>(), Block(DenoiseParams{2, 1}), 600, 300},
        {"AdaptiveDenoise", Make<AdaptiveDenoiseAlgorithm>(), Block(AdaptiveDenoiseParams{1})},
        {"OverlayBlend",
         Make<OverlayBlendAlgorithm>([](OverlayBlendAlgorithm& a) {
             static CQLImage object;
             effecttest::MakePattern(object, 20, 10);
             a.ClearImages();
             a.AddImage(&object);
         }),
         Block([] {
             OverlayBlendParams p{};
             p.x = 50, p.y = -3, p.width = 24, p.height = 12, p.mode = 6, p.opacity = 200;
             p.shadow = 1, p.shadowDx = 2, p.shadowDy = 2, p.shadowBlur = 2, p.shadowColour[3] = 180;
             p.bevel = 1, p.bevelDepth = 2, p.bevelMargin = 1, p.bevelStrength = 200, p.lightDirection = 1;
             p.outline = 1, p.outlineWidth = 1, p.outlineFade = 2, p.outlineColour = 0xC0FFFF00;
             return p;
         }())},
        {"BoxMean", Make<BoxMeanAlgorithm>(), Block(BoxMeanParams{4})},
        {"LoseFocusBlur", Make<LoseFocusBlurAlgorithm>(), Block([] {
             LoseFocusParams p{};
             p.radius = 3;
             for (int m = 0; m < 6; ++m)
                 for (int k = 0; k < 6; ++k)
                     p.aperture[128 * m + k] = (2 * m - 5) * (2 * m - 5) + (2 * k - 5) * (2 * k - 5) <= 36;
             return p;
         }())},
        {"LoseFocusBlurHighlights", Make<LoseFocusBlurAlgorithm>(), Block([] {
             LoseFocusParams p{};
             p.radius = 2;
             std::memset(p.aperture, 1, sizeof p.aperture);
             p.highlights = 1;
             return p;
         }())},
        {"EdgeShrink", Make<EdgeShrinkAlgorithm>(), Block(EdgeShrinkParams{200})},
        {"StarLight", Make<StarLightAlgorithm>(), Block([] {
             static CQLImage star;
             effecttest::MakeFlat(star, 8, 8, 255);
             return StarLightParams{&star, 100, 50, 1};
         }())},
        {"SharpenTexture", Make<SharpenTextureAlgorithm>(), Block(SharpenTextureParams{70})},
        {"ModifyShape",
         Make<ModifyShapeAlgorithm>([](ModifyShapeAlgorithm& a) {
             std::vector<float> grid(2 * 8 * 6);
             for (std::size_t i = 0; i < grid.size(); ++i)
                 grid[i] = static_cast<float>(i % 7) - 3.0f;
             a.SetWarpGrid(grid.data(), 8, 8, 6);
         }),
         {}},
        {"ContentAwareResize", Make<ContentAwareResizeAlgorithm>(), Block(ContentAwareResizeParams{40, 48, 0, nullptr, 0})},
        {"Inpaint", Make<InpaintAlgorithm>(), Block([] {
             static CQLChannel hole; // 64 x 48 with an 8 x 8 hole in the middle
             hole.Create(64, 48);
             for (int y = 0; y < 48; ++y)
                 for (int x = 0; x < 64; ++x)
                     hole.Set(x, y, x >= 28 && x < 36 && y >= 20 && y < 28 ? 255 : 0);
             return InpaintParams{&hole, 4, 0, 1};
         }())},
        {"AutoLevels", Make<AutoLevelsAlgorithm>(), Block(INT{0})},
        {"AutoLevelsLinked", Make<AutoLevelsAlgorithm>(), Block(INT{1})},
        {"AutoExposure", Make<AutoExposureAlgorithm>(), Block(INT{0})},
        {"AutoExposureLuma", Make<AutoExposureAlgorithm>(), Block(INT{1})},
        {"AutoEnhanceBalanced", Make<AutoEnhanceAlgorithm>(), Block(INT{0})},
        {"AutoEnhancePortrait", Make<AutoEnhanceAlgorithm>(), Block(INT{1})},
        {"AutoEnhanceStrong", Make<AutoEnhanceAlgorithm>(), Block(INT{2})},
        {"JpegSize", Make<JpegSizeAlgorithm>(), Block(INT{85})},
        {"AdvancedSkinClean", Make<AdvancedSkinCleanAlgorithm>(), Block(AdvancedSkinCleanParams{40, 60, 20, 0, 0, 1, 80, 0})},
        {"AdvancedSkinCleanMaskedBlur", Make<AdvancedSkinCleanAlgorithm>(),
         Block(AdvancedSkinCleanParams{20, 45, -20, 3, 1, 0, 150, 0})},
        {"JpegSlimmingMeasure", Make<JpegSlimmingAlgorithm>(), Block([] {
             JpegSlimSettings p;
             p.resizeMode = 0, p.flags = JpegSlimSettings::kMeasure | JpegSlimSettings::kNoWrite;
             return p;
         }())},
        {"JpegSlimmingFull", Make<JpegSlimmingAlgorithm>(), Block([] {
             JpegSlimSettings p;
             p.chromaOption = 2, p.adaptive = 1, p.dctDenoise = 1, p.smoothPercent = 40;
             p.resizeMode = 1, p.resizeLength = 40, p.sizeMode = 2, p.targetKB = 1;
             p.flags = JpegSlimSettings::kMeasure | JpegSlimSettings::kNoWrite;
             return p;
         }())},
    };
    return rows;
}

// The callback sees the running effect through these (one test runs at a time).
thread_local std::vector<int> g_reports;
thread_local EffectAlgorithm* g_running = nullptr;
thread_local int g_cancelAt = 0; // 0: never; -1: at the first report; else at that value

int Record(int code, int value)
{
    EXPECT_EQ(code, 1);
    g_reports.push_back(value);
    if (g_running && (g_cancelAt == -1 || (g_cancelAt > 0 && value == g_cancelAt)))
        g_running->Cancel();
    return 0;
}

class EffectContract : public ::testing::TestWithParam<EffectRow> {
protected:
    void SetUp() override
    {
        effecttest::MakePattern(source, GetParam().width, GetParam().height);
        g_reports.clear();
        g_running = nullptr;
        g_cancelAt = 0;
    }

    HRESULT Run(EffectAlgorithm& fx, CQLImage* src, CQLImage* dst, int low, int high)
    {
        effecttest::ForgetLastProgress();
        g_reports.clear();
        g_running = &fx;
        fx.SetImages(src, dst);
        fx.SetRange(low, high);
        fx.SetCallback(Record);
        const HRESULT hr = fx.Apply(GetParam().params.data());
        g_running = nullptr;
        return hr;
    }

    CQLImage source;
};

TEST_P(EffectContract, NoSourceOrNoPixelsFailsAndLeavesTheTargetAlone)
{
    CQLImage target, empty;
    effecttest::MakeFlat(target, 3, 2, 77, 66);
    const std::vector<BYTE> before = Bytes(target);
    auto fx = GetParam().make();
    EXPECT_EQ(Run(*fx, nullptr, &target, 0, 100), E_FAIL);
    EXPECT_EQ(Bytes(target), before);
    EXPECT_EQ(Run(*fx, &empty, &target, 0, 100), E_FAIL);
    EXPECT_EQ(Bytes(target), before);
    UINT w = 0, h = 0;
    target.GetSize(&w, &h);
    EXPECT_EQ(w, 3u);
    EXPECT_EQ(h, 2u);
    EXPECT_EQ(Run(*fx, &source, nullptr, 0, 100), E_FAIL);
}

TEST_P(EffectContract, ProgressRisesWithinTheRangeAndEndsAtItsTop)
{
    CQLImage target;
    auto fx = GetParam().make();
    ASSERT_EQ(Run(*fx, &source, &target, 10, 70), 0);
    ASSERT_FALSE(g_reports.empty());
    for (std::size_t i = 0; i < g_reports.size(); ++i) {
        EXPECT_GE(g_reports[i], 10);
        EXPECT_LE(g_reports[i], 70);
        if (i > 0) {
            EXPECT_GT(g_reports[i], g_reports[i - 1]) << "report " << i;
        }
    }
    EXPECT_EQ(g_reports.back(), 70);
}

TEST_P(EffectContract, CancelDuringTheRunFails)
{
    CQLImage target;
    auto fx = GetParam().make();
    g_cancelAt = -1;
    EXPECT_EQ(Run(*fx, &source, &target, 0, 100), E_FAIL);
}

TEST_P(EffectContract, CancelAfterTheLastCheckDoesNotStopTheNextRun)
{
    CQLImage clean, target;
    auto reference = GetParam().make();
    ASSERT_EQ(Run(*reference, &source, &clean, 0, 100), 0);

    auto fx = GetParam().make();
    g_cancelAt = 100; // arrives with the last report
    Run(*fx, &source, &target, 0, 100);
    g_cancelAt = 0;
    ASSERT_EQ(Run(*fx, &source, &target, 0, 100), 0);
    EXPECT_EQ(Bytes(target), Bytes(clean));
}

INSTANTIATE_TEST_SUITE_P(Effects, EffectContract, ::testing::ValuesIn(Rows()),
                         [](const ::testing::TestParamInfo<EffectRow>& info) { return info.param.name; });

} // namespace
