#include "algorithms/GradientFilterAlgorithm.h"
#include "algorithms/HighlightDiffuseAlgorithm.h"
#include "algorithms/HsbCurveAlgorithm.h"
#include "algorithms/tests/EffectTestSupport.h"
#include "platform/codec/ColorForms.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

using effecttest::Bytes;
using effecttest::MakeFlat;
using effecttest::MakePattern;

// --- Gradient filter --------------------------------------------------------

GradientFilterParams Params(INT tint, INT amount, INT offset, CPixel start, CPixel end, INT from, INT to, double angle)
{
    return {tint, offset, start, end, from, to, amount, angle};
}

HRESULT Filter(GradientFilterAlgorithm& fx, CQLImage& src, CQLImage& dst, const GradientFilterParams& p)
{
    fx.SetImages(&src, &dst);
    fx.SetRange(0, 100);
    return fx.Apply(&p);
}

TEST(GradientFilterTest, PhotosUpToAHalfDiagonalOf15AreCopied)
{
    // 22 x 22: trunc(sqrt(968) / 2) = 15; 23 x 23: 16.
    const auto p = Params(1, 100, 0, {255, 0, 0, 0}, {0, 0, 255, 0}, 0, 100, 0.0);
    for (const auto& [side, copied] : {std::pair{20, true}, std::pair{22, true}, std::pair{23, false}}) {
        CQLImage src, dst;
        MakePattern(src, side, side);
        GradientFilterAlgorithm fx;
        ASSERT_EQ(Filter(fx, src, dst, p), 0);
        EXPECT_EQ(Bytes(dst) == Bytes(src), copied) << side;
    }
}

TEST(GradientFilterTest, TintModeRaisesAndLowersEachChannelByTheGradientColour)
{
    // One colour everywhere, amount 100: t = (50 (g - 128) + 12800) / 100
    // gives 191 for blue 255, 128 for green 128, 64 for red 0; each byte
    // becomes trunc(255 (v / 255)^(ln(t / 255) / ln 0.5)): 100 -> 172, 100, 39.
    const CPixel colour = {255, 128, 0, 0};
    CQLImage src, dst;
    MakeFlat(src, 40, 30, 100, 33);
    GradientFilterAlgorithm fx;
    ASSERT_EQ(Filter(fx, src, dst, Params(1, 100, 0, colour, colour, 0, 100, 0.3)), 0);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) {
            const CPixel p = dst.GetPixel2(x, y);
            ASSERT_EQ(p.b, 172);
            ASSERT_EQ(p.g, 100);
            ASSERT_EQ(p.r, 39);
            ASSERT_EQ(p.a, 33);
        }
    // t is clamped to 64 .. 192: amount 1000 with blue 255 would give 763.
    const auto strong = Params(1, 1000, 0, colour, colour, 0, 100, 0.0);
    fx.SetParams(&strong);
    const CPixel p = fx.FilterPixel(0, 0, 50, {100, 100, 100, 0});
    EXPECT_EQ(p.b, static_cast<int>(255 * std::pow(100 / 255.0, std::log(192 / 255.0) / std::log(0.5))));
    EXPECT_EQ(p.r, 39);
}

TEST(GradientFilterTest, GreyModeFollowsThePositionAlongTheAxis)
{
    // Black at 25 %, white at 75 %, amount 100, angle 0, half 100: position
    // f = x / 2 + 50. Grey m of the gradient: v = 100 m / 256 - 50; p = 1 +
    // 0.03 |v|; 128 -> trunc(256 (128 / 256)^e), e = 1 / p for v > 0, else p.
    GradientFilterAlgorithm fx;
    const auto params = Params(0, 100, 0, {0, 0, 0, 0}, {255, 255, 255, 0}, 25, 75, 0.0);
    fx.SetParams(&params);
    const CPixel grey = {128, 128, 128, 9};
    EXPECT_EQ(fx.FilterPixel(-60, 0, 100, grey).g, 45);  // f 20: black, v -50, e 2.5
    EXPECT_EQ(fx.FilterPixel(-50, 0, 100, grey).g, 45);  // f 25: still black
    EXPECT_EQ(fx.FilterPixel(0, 0, 100, grey).g, 125);   // f 50: l 128, grey 127, v -1
    EXPECT_EQ(fx.FilterPixel(60, 0, 100, grey).g, 193);  // f 80: white, v 49
    EXPECT_EQ(fx.FilterPixel(60, 0, 100, grey).a, 9);
    // A quarter turn: the axis points up, y grows downward.
    const auto turned = Params(0, 100, 0, {0, 0, 0, 0}, {255, 255, 255, 0}, 25, 75, std::acos(-1.0) / 2);
    fx.SetParams(&turned);
    EXPECT_EQ(fx.FilterPixel(0, -60, 100, grey).g, 193);
    EXPECT_EQ(fx.FilterPixel(0, 60, 100, grey).g, 45);
    // The offset is added to v: amount 0, offset 20: e = 1 / 1.6.
    const auto offset = Params(0, 0, 20, {0, 0, 0, 0}, {0, 0, 0, 0}, 25, 75, 0.0);
    fx.SetParams(&offset);
    EXPECT_EQ(fx.FilterPixel(0, 0, 100, grey).g, 165);
}

TEST(GradientFilterTest, InterpolationStepsRoundHalfAwayFromZero)
{
    // Half 256, x = 1: f = 50 + 50 / 256 = 50.1953125, l = round(128.5) = 129:
    // grey (129 * 255) >> 8 = 128, v = 100 * 128 / 256 - 50 = 0: unchanged.
    // With l = 128 the grey would be 127, v = -1, and 128 would become 125.
    GradientFilterAlgorithm fx;
    const auto params = Params(0, 100, 0, {0, 0, 0, 0}, {255, 255, 255, 0}, 0, 100, 0.0);
    fx.SetParams(&params);
    EXPECT_EQ(fx.FilterPixel(1, 0, 256, {128, 128, 128, 0}).g, 128);
    EXPECT_EQ(fx.FilterPixel(0, 0, 256, {128, 128, 128, 0}).g, 125);
}

TEST(GradientFilterTest, EqualStartAndEndIsAStepWithoutInterpolation)
{
    GradientFilterAlgorithm fx;
    const auto params = Params(0, 100, 0, {0, 0, 0, 0}, {255, 255, 255, 0}, 50, 50, 0.0);
    fx.SetParams(&params);
    const CPixel grey = {128, 128, 128, 0};
    EXPECT_EQ(fx.FilterPixel(0, 0, 100, grey).g, 45);  // f 50: not above the end: black
    EXPECT_EQ(fx.FilterPixel(1, 0, 100, grey).g, 193); // f 50.5: white
}

TEST(GradientFilterTest, PositionsThatAreNotNumbersStayOnTheGradient)
{
    // The lens preview may ask for the centre of a disc of radius 0: 0 / 0.
    GradientFilterAlgorithm fx;
    const auto params = Params(0, 100, 0, {0, 0, 0, 0}, {255, 255, 255, 0}, 25, 75, 0.0);
    fx.SetParams(&params);
    const CPixel p = fx.FilterPixel(0, 0, 0, {128, 128, 128, 0});
    EXPECT_EQ(p.g, 45); // step 0: the start colour
}

TEST(GradientFilterTest, CancelRestoresTheSourceInTheTarget)
{
    static GradientFilterAlgorithm* running;
    const auto params = Params(1, 100, 0, {255, 0, 0, 0}, {0, 0, 255, 0}, 0, 100, 0.0);
    for (bool inPlace : {false, true}) {
        CQLImage src, dst, original;
        MakePattern(src, 64, 96);
        original.DuplicateFrom(&src);
        GradientFilterAlgorithm fx;
        running = &fx;
        fx.SetCallback([](int, int) {
            running->Cancel();
            return 0;
        });
        effecttest::ForgetLastProgress();
        EXPECT_EQ(Filter(fx, src, inPlace ? src : dst, params), E_FAIL);
        EXPECT_EQ(Bytes(inPlace ? src : dst), Bytes(original)) << inPlace;
    }
}

// --- Highlight diffusion ----------------------------------------------------

TEST(HighlightDiffuseTest, FlatPhotoGivesTheCubedGreyLevel)
{
    // Grey (B + 6 G + 3 R) / 10 = (40 + 1200 + 600) / 10 = 184; 184^3 / 65536
    // = 95.05 -> 95. Smoothing a flat layer leaves it flat (below the
    // highlight levels, the tone table is the identity).
    CQLImage src, dst;
    src.Create(30, 20);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 30; ++x)
            src.PutPixel(x, y, {40, 200, 200, 70});
    HighlightDiffuseAlgorithm fx;
    fx.SetImages(&src, &dst);
    fx.SetRange(0, 100);
    const HighlightDiffuseParams p = {8};
    ASSERT_EQ(fx.Apply(&p), 0);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 30; ++x) {
            const CPixel q = dst.GetPixel2(x, y);
            ASSERT_EQ(q.b, 95);
            ASSERT_EQ(q.g, 95);
            ASSERT_EQ(q.r, 95);
            ASSERT_EQ(q.a, 70);
        }
    EXPECT_EQ(fx.Apply(nullptr), E_FAIL);
}

TEST(HighlightDiffuseTest, RadiusZeroKeepsTheCubeOfEachPixel)
{
    // White 255 -> 253 (255^3 >> 16 = 253.01), black stays 0, grey 128 -> 32.
    CQLImage src, dst;
    MakeFlat(src, 3, 1, 0);
    src.PutPixel(1, 0, {255, 255, 255, 0});
    src.PutPixel(2, 0, {128, 128, 128, 0});
    HighlightDiffuseAlgorithm fx;
    fx.SetImages(&src, &dst);
    const HighlightDiffuseParams p = {0};
    ASSERT_EQ(fx.Apply(&p), 0);
    EXPECT_EQ(dst.GetPixel2(0, 0).g, 0);
    EXPECT_EQ(dst.GetPixel2(1, 0).g, 253);
    EXPECT_EQ(dst.GetPixel2(2, 0).g, 32);
}

// --- HSB curve --------------------------------------------------------------

class HsbCurveTest : public ::testing::Test {
protected:
    CPixel Run(CPixel pixel)
    {
        MakeFlat(src, 1, 1, 0);
        src.PutPixel(0, 0, pixel);
        fx.SetImages(&src, &dst);
        fx.SetRange(0, 100);
        EXPECT_EQ(fx.Apply(&curves), 0);
        return dst.GetPixel2(0, 0);
    }

    void SetAll(INT (&table)[256], INT value)
    {
        for (INT& v : table)
            v = value;
    }

    HsbCurveParams curves = {};
    HsbCurveAlgorithm fx;
    CQLImage src, dst;
};

TEST_F(HsbCurveTest, ZeroCurvesGiveTheCodecRoundTrip)
{
    CQLImage pattern, out;
    MakePattern(pattern, 23, 17);
    fx.SetImages(&pattern, &out);
    ASSERT_EQ(fx.Apply(&curves), 0);
    for (int y = 0; y < 17; ++y)
        for (int x = 0; x < 23; ++x)
            ASSERT_TRUE(out.GetPixel2(x, y) == qlcodec::HsbToRgb(qlcodec::RgbToHsb(pattern.GetPixel2(x, y))));
    // Greys and primaries come back exactly, alpha too.
    EXPECT_EQ(Run({90, 90, 90, 5}).g, 90);
    EXPECT_EQ(Run({0, 0, 255, 5}).r, 255);
    EXPECT_EQ(Run({0, 0, 255, 5}).a, 5);
}

TEST_F(HsbCurveTest, ZeroCurvesGiveTheCodecRoundTripForEveryColour)
{
    CQLImage all, out;
    ASSERT_EQ(all.Create(4096, 4096), 0);
    for (int i = 0; i < 1 << 24; ++i)
        all.PutPixel(i & 4095, i >> 12, {static_cast<BYTE>(i), static_cast<BYTE>(i >> 8), static_cast<BYTE>(i >> 16), 1});
    fx.SetImages(&all, &out);
    ASSERT_EQ(fx.Apply(&curves), 0);
    int wrong = 0;
    for (int i = 0; i < 1 << 24; ++i)
        wrong += !(out.GetPixel2(i & 4095, i >> 12) == qlcodec::HsbToRgb(qlcodec::RgbToHsb(all.GetPixel2(i & 4095, i >> 12))));
    EXPECT_EQ(wrong, 0);
}

TEST_F(HsbCurveTest, BrightnessMovesByTheColourfulnessShare)
{
    // R 200, G 100, B 50: brightness 200, hue 14, e = 0 + 100 + 150 = 250.
    // -64: 200 + (250 * -64 >> 8) = 200 - 63 = 137, the new maximum.
    SetAll(curves.brightnessCurve, -64);
    EXPECT_EQ(Run({50, 100, 200, 0}).r, 137);
    // +127: 200 + 124 = 324, clamped to 255.
    SetAll(curves.brightnessCurve, 127);
    EXPECT_EQ(Run({50, 100, 200, 0}).r, 255);
    // A grey has e = 0: no change.
    const CPixel grey = Run({77, 77, 77, 0});
    EXPECT_EQ(grey.b, 77);
    EXPECT_EQ(grey.r, 77);
}

TEST_F(HsbCurveTest, SaturationCurveScalesSaturation)
{
    // -128 removes all colour: every channel becomes the brightness.
    SetAll(curves.saturationCurve, -128);
    const CPixel grey = Run({50, 100, 200, 0});
    EXPECT_EQ(grey.b, 200);
    EXPECT_EQ(grey.g, 200);
    EXPECT_EQ(grey.r, 200);
    // 128 doubles it: saturation 64 (R 255, B = G = 191) becomes 128.
    SetAll(curves.saturationCurve, 128);
    CPixel p = Run({191, 191, 255, 0});
    BYTE hsb[4] = {p.b, p.g, p.r, 0};
    qlcodec::RgbToHsbPixel(hsb);
    EXPECT_EQ(hsb[1], 128);
}

TEST_F(HsbCurveTest, HueShiftTurnsTheColourCircle)
{
    // Red (hue 0) shifted by 85 is green.
    curves.hueShift[0] = 85;
    CPixel p = Run({0, 0, 255, 0});
    EXPECT_EQ(p.g, 255);
    EXPECT_EQ(p.r, 0);
    // -171 is the same turn the other way round.
    curves.hueShift[0] = -171;
    p = Run({0, 0, 255, 0});
    EXPECT_EQ(p.g, 255);
}

TEST_F(HsbCurveTest, OutOfRangeTableEntriesFromThemeFilesAreClamped)
{
    // A hue shift below -1024 would make a negative index; it acts modulo 256.
    curves.hueShift[0] = -171 - 2560;
    // Saturation beyond 128 counts as 128; brightness far beyond the scale saturates.
    SetAll(curves.saturationCurve, 5000);
    SetAll(curves.brightnessCurve, 1000000000);
    const CPixel p = Run({0, 0, 255, 0});
    EXPECT_EQ(p.g, 255);
    EXPECT_EQ(p.r, 0);
    curves.hueShift[0] = 0;
    SetAll(curves.brightnessCurve, -1000000000);
    const CPixel dark = Run({0, 0, 255, 0});
    EXPECT_EQ(dark.r, 0);
    EXPECT_EQ(fx.Apply(nullptr), E_FAIL);
}

} // namespace
