#include "algorithms/AntiPurpleFringeAlgorithm.h"
#include "algorithms/BarrelDistortionAlgorithm.h"
#include "algorithms/VignetteCorrectionAlgorithm.h"
#include "algorithms/tests/EffectTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using effecttest::Bytes;
using effecttest::MakeFlat;
using effecttest::MakePattern;

void ExpectZero(const CQLImage& image, int x, int y)
{
    DWORD v = image.GetPixel(x, y);
    EXPECT_EQ(v, 0u) << x << "," << y;
}

// --- Barrel distortion ------------------------------------------------------

HRESULT Barrel(BarrelDistortionAlgorithm& fx, CQLImage& src, CQLImage& dst, int strength)
{
    fx.SetImages(&src, &dst);
    const INT s = strength;
    return fx.Apply(&s);
}

TEST(BarrelDistortionTest, TheCurvePassesItsKnotsAndIsTheIdentityAtTheMiddle)
{
    for (double k : {0.475, 0.5, 0.525}) {
        EXPECT_DOUBLE_EQ(BarrelDistortionAlgorithm::Curve(k, 0), 0);
        EXPECT_DOUBLE_EQ(BarrelDistortionAlgorithm::Curve(k, k), 1 - k);
        EXPECT_DOUBLE_EQ(BarrelDistortionAlgorithm::Curve(k, 1), 1);
    }
    for (double x : {0.1, 0.3, 0.5, 0.77, 0.99})
        EXPECT_NEAR(BarrelDistortionAlgorithm::Curve(0.5, x), x, 1e-12);
}

// Strength 50 is no change, apart from the outermost frame, which samples on
// the picture's edge and so becomes transparent black; on odd sides too,
// where the centre lies between pixels.
class BarrelIdentity : public ::testing::TestWithParam<std::pair<int, int>> {};

TEST_P(BarrelIdentity, StrengthFiftyLeavesThePictureInsideTheFrame)
{
    const auto [w, h] = GetParam();
    CQLImage src, dst;
    MakePattern(src, w, h);
    BarrelDistortionAlgorithm fx;
    ASSERT_EQ(Barrel(fx, src, dst, 50), 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            if (x == 0 || y == 0 || x == w - 1 || y == h - 1)
                ExpectZero(dst, x, y);
            else
                EXPECT_EQ(dst.GetPixel(x, y), src.GetPixel(x, y)) << x << "," << y;
        }
}

INSTANTIATE_TEST_SUITE_P(Sizes, BarrelIdentity,
                         ::testing::Values(std::pair{8, 6}, std::pair{7, 5}, std::pair{9, 6}, std::pair{6, 9}));

TEST(BarrelDistortionTest, StrengthZeroShrinksThePictureAndHundredEnlargesIt)
{
    // 60 x 50: table of 41 entries (N = 40), centre (30, 25). B = 4 x.
    CQLImage src, in, out;
    src.Create(60, 50);
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 60; ++x)
            src.PutPixel(x, y, {static_cast<BYTE>(4 * x), 9, 9, 33});
    BarrelDistortionAlgorithm fx;
    ASSERT_EQ(Barrel(fx, src, in, 0), 0);
    ASSERT_EQ(Barrel(fx, src, out, 100), 0);
    // The knee: radius 21 (x = 51) at strength 100 (k = 21/40) reads radius
    // 40 (1 - k) = 19, column 49; radius 19 (x = 49) at strength 0 reads 21.
    EXPECT_NEAR(out.GetPixel2(51, 25).b, 4 * 49, 1);
    EXPECT_NEAR(in.GetPixel2(49, 25).b, 4 * 51, 1);
    EXPECT_EQ(out.GetPixel2(51, 25).a, 33); // alpha of the copy
    // Radius 29 (x = 1): strength 0 reads 30.55, left of the picture; strength
    // 100 reads 40 H(29/40) = 27.355, column 2.645: B = trunc(8 + 4 * 0.645).
    ExpectZero(in, 1, 25);
    EXPECT_EQ(out.GetPixel2(1, 25).b, 10);
}

TEST(BarrelDistortionTest, StrengthOutsideTheRangeIsClamped)
{
    CQLImage src, hundred, over, zero, under;
    MakePattern(src, 40, 30);
    BarrelDistortionAlgorithm fx;
    ASSERT_EQ(Barrel(fx, src, hundred, 100), 0);
    ASSERT_EQ(Barrel(fx, src, over, 100000), 0);
    ASSERT_EQ(Barrel(fx, src, zero, 0), 0);
    ASSERT_EQ(Barrel(fx, src, under, -5000), 0);
    EXPECT_EQ(Bytes(over), Bytes(hundred));
    EXPECT_EQ(Bytes(under), Bytes(zero));
}

TEST(BarrelDistortionTest, OneImageForSourceAndTargetWorksLikeTwo)
{
    CQLImage src, dst, same;
    MakePattern(src, 33, 21);
    MakePattern(same, 33, 21);
    BarrelDistortionAlgorithm fx;
    ASSERT_EQ(Barrel(fx, src, dst, 80), 0);
    ASSERT_EQ(Barrel(fx, same, same, 80), 0);
    EXPECT_EQ(Bytes(same), Bytes(dst));
}

// --- Vignette correction -----------------------------------------------------

TEST(VignetteCorrectionTest, RingShareIsTheDiscAreaOutsideTheLensCircle)
{
    struct Case {
        int r1, r2;
        long long r;
        int share;
    };
    const Case cases[] = {
        {10, 0, 9, 0}, {10, 0, 10, 0}, {10, 0, 11, 255}, // no ring: a hard edge
        {10, 4, 5, 0},  {10, 4, 15, 255},                // inside and beyond the ring
        // Two circles of radius 10, 10 apart: the lens is 200 acos(0.5) -
        // 100 sin(60 deg) = 122.837 of 314.159; 255 x 191.322 / 314.159 = 155.3.
        {10, 10, 10, 155},
        // Disc larger than the circle, same centre: 255 (25 - 9) / 25 = 163.2.
        {3, 5, 0, 163}, {3, 5, 1, 163}, {5, 5, 0, 0},
        {0, 5, 0, 255}, {0, 0, 0, 0},                    // no lens circle
    };
    for (const Case& c : cases)
        EXPECT_EQ(VignetteCorrectionAlgorithm::RingShare(c.r1, c.r2, c.r), c.share)
            << c.r1 << " " << c.r2 << " " << c.r;
}

HRESULT Vignette(VignetteCorrectionAlgorithm& fx, CQLImage& src, CQLImage& dst, VignetteParams p)
{
    fx.SetImages(&src, &dst);
    fx.SetRange(0, 100);
    return fx.Apply(&p);
}

TEST(VignetteCorrectionTest, RingBrightensAndBeyondIsCleared)
{
    // One row from the centre (0, 0), R1 = R2 = 10: x = 10 has t = 155, so
    // v becomes min(255, v 255 / 101); x = 21 lies beyond the ring.
    CQLImage src, dst;
    src.Create(30, 1);
    for (int x = 0; x < 30; ++x)
        src.PutPixel(x, 0, {100, 50, 200, 77});
    VignetteCorrectionAlgorithm fx;
    ASSERT_EQ(Vignette(fx, src, dst, {0, 0, 10, 10}), 0);
    EXPECT_EQ(dst.GetPixel(0, 0), src.GetPixel(0, 0)); // inside the ring
    const CPixel ring = dst.GetPixel2(10, 0);
    EXPECT_EQ(ring.b, 252); // 25500 / 101
    EXPECT_EQ(ring.g, 126); // 12750 / 101
    EXPECT_EQ(ring.r, 255); // 504, capped
    EXPECT_EQ(ring.a, 77);
    ExpectZero(dst, 21, 0);
}

TEST(VignetteCorrectionTest, NoRingGivesAHardEdge)
{
    CQLImage src, dst;
    MakePattern(src, 24, 20);
    VignetteCorrectionAlgorithm fx;
    ASSERT_EQ(Vignette(fx, src, dst, {12, 10, 8, 0}), 0);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 24; ++x) {
            const int d2 = (x - 12) * (x - 12) + (y - 10) * (y - 10);
            if (d2 < 81) // distance truncates to 8 or less
                EXPECT_EQ(dst.GetPixel(x, y), src.GetPixel(x, y)) << x << "," << y;
            else
                ExpectZero(dst, x, y);
        }
}

TEST(VignetteCorrectionTest, PixelsPastTheTableEndAreClearedNotWrapped)
{
    // Table of R1 + R2 + 100 = 152 entries; x = 160 would wrap to entry 8
    // (inside the lens: unchanged), x = 350 would read past a doubled table.
    CQLImage src, dst;
    MakeFlat(src, 400, 1, 120);
    VignetteCorrectionAlgorithm fx;
    ASSERT_EQ(Vignette(fx, src, dst, {0, 0, 50, 2}), 0);
    EXPECT_EQ(dst.GetPixel(8, 0), src.GetPixel(8, 0));
    ExpectZero(dst, 160, 0);
    ExpectZero(dst, 350, 0);
    ExpectZero(dst, 399, 0);
}

TEST(VignetteCorrectionTest, FarCentreAndHugeRadiiNeedNoHugeTable)
{
    CQLImage src, dst;
    MakeFlat(src, 50, 40, 120);
    VignetteCorrectionAlgorithm fx;
    ASSERT_EQ(Vignette(fx, src, dst, {0x7FFFFFFF, -0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF}), 0);
    EXPECT_EQ(Bytes(dst).size(), Bytes(src).size());
    ASSERT_EQ(Vignette(fx, src, dst, {-0x7FFFFFFF, 5, 3, 0}), 0);
    ExpectZero(dst, 0, 0);
}

TEST(VignetteCorrectionTest, NegativeRadiusFailsAndLeavesTheTarget)
{
    CQLImage src, dst;
    MakeFlat(src, 8, 8, 120);
    MakeFlat(dst, 3, 2, 7, 9);
    const auto before = Bytes(dst);
    VignetteCorrectionAlgorithm fx;
    EXPECT_EQ(Vignette(fx, src, dst, {4, 4, -1, 3}), E_FAIL);
    EXPECT_EQ(Vignette(fx, src, dst, {4, 4, 3, -1}), E_FAIL);
    EXPECT_EQ(Bytes(dst), before);
}

// --- Purple fringing -----------------------------------------------------------

HRESULT Defringe(AntiPurpleFringeAlgorithm& fx, CQLImage& src, CQLImage& dst, int hue, int range)
{
    fx.SetImages(&src, &dst);
    fx.SetRange(0, 100);
    const AntiFringeParams p = {hue, range};
    return fx.Apply(&p);
}

TEST(AntiPurpleFringeTest, HueOnTheEightBitCircle)
{
    struct Case {
        int r, g, b, hue;
    };
    const Case cases[] = {
        {255, 0, 0, 0}, {0, 255, 0, 85}, {0, 0, 255, 170}, {90, 90, 90, 0},
        // R largest: dB - dG with dG = (25 * 255 / 3 + 25) / 50 = 43: -43 mod 256.
        {255, 230, 255, 213},
        // G largest: 85 + dR - dB; dR = (100 * 255 / 3 + 100) / 200 = 43, dB = 0.
        {100, 200, 200, 128},
        // B largest: 170 + dG - dR; dG = (150 * 255 / 3 + 150) / 300 = 43,
        // dR = (100 * 255 / 3 + 150) / 300 = 28.
        {100, 50, 200, 185},
    };
    for (const Case& c : cases)
        EXPECT_EQ(AntiPurpleFringeAlgorithm::HueOf(c.r, c.g, c.b), c.hue) << c.r << " " << c.g << " " << c.b;
}

// Range 1 smooths with radius 0 (a copy), so the mask is 255 exactly on the
// highlights (grey >= 237) and 0 elsewhere.
class AntiFringeFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        src.Create(6, 4);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 6; ++x)
                src.PutPixel(x, y, x < 3 ? CPixel{255, 230, 255, 9} : CPixel{40, 90, 160, 9});
    }

    CQLImage src, dst;
    AntiPurpleFringeAlgorithm fx;
};

TEST_F(AntiFringeFixture, ChosenHueGreysHighlights)
{
    // (255, 230, 255): grey 240, hue 213, weight 255, u = 255 * 255 / 256 = 254:
    // B, R = (254 * 240 + 255) >> 8 = 239, G = (254 * 240 + 230) >> 8 = 239.
    ASSERT_EQ(Defringe(fx, src, dst, 213, 1), 0);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x) {
            const CPixel p = dst.GetPixel2(x, y);
            if (x < 3) {
                EXPECT_EQ(p.b, 239);
                EXPECT_EQ(p.g, 239);
                EXPECT_EQ(p.r, 239);
                EXPECT_EQ(p.a, 255); // the mask
            } else {
                EXPECT_EQ(p, src.GetPixel2(x, y)); // no highlight: the source pixel
                EXPECT_EQ(p.a, 0);                 // with its highlight mark
            }
        }
}

TEST_F(AntiFringeFixture, NearbyHueIsWeighedDown)
{
    // Hue 233 is 20 away: weight (32 - 20) * 16 = 192, u = 191.
    // B, R = (191 * 240 + 64 * 255) >> 8 = 242, G = (191 * 240 + 64 * 230) >> 8 = 236.
    ASSERT_EQ(Defringe(fx, src, dst, 233, 1), 0);
    const CPixel p = dst.GetPixel2(1, 1);
    EXPECT_EQ(p.b, 242);
    EXPECT_EQ(p.g, 236);
    EXPECT_EQ(p.r, 242);
}

TEST_F(AntiFringeFixture, DistantHueChangesNoColour)
{
    // 213 + 128 on the circle, and a value past the circle's end meaning the same.
    for (int hue : {85, 85 + 256 * 3}) {
        ASSERT_EQ(Defringe(fx, src, dst, hue, 1), 0);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 6; ++x)
                EXPECT_EQ(dst.GetPixel2(x, y), src.GetPixel2(x, y)) << hue << " " << x << "," << y;
    }
}

TEST(AntiPurpleFringeTest, WiderRangeReachesBeyondTheHighlightAndOneImageWorksLikeTwo)
{
    // A highlight square in a purple field: with range 9 the mask reaches the
    // field next to the square and not its far corner.
    CQLImage src, dst, same;
    MakeFlat(src, 40, 40, 0);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x)
            src.PutPixel(x, y, (x >= 16 && x < 24 && y >= 16 && y < 24) ? CPixel{255, 255, 255, 0}
                                                                          : CPixel{200, 40, 170, 0});
    same.DuplicateFrom(&src);
    const int purple = AntiPurpleFringeAlgorithm::HueOf(170, 40, 200);
    AntiPurpleFringeAlgorithm fx;
    ASSERT_EQ(Defringe(fx, src, dst, purple, 9), 0);
    EXPECT_NE(dst.GetPixel2(14, 20), src.GetPixel2(14, 20));
    EXPECT_EQ(dst.GetPixel2(0, 0), src.GetPixel2(0, 0));
    ASSERT_EQ(Defringe(fx, same, same, purple, 9), 0);
    EXPECT_EQ(Bytes(same), Bytes(dst));
}

TEST(AntiPurpleFringeTest, DefaultRangeIsASixtyFourthOfTheDiagonal)
{
    struct Case {
        int w, h, range;
    };
    for (const Case& c : {Case{1000, 1000, 22}, Case{30, 40, 1}, Case{600, 400, 11}, Case{10000, 100, 128}}) {
        CQLImage src, dst;
        src.Create(c.w, c.h);
        AntiPurpleFringeAlgorithm fx;
        fx.SetImages(&src, &dst);
        EXPECT_EQ(fx.GetDefaultRange(), c.range) << c.w << "x" << c.h;
    }
    AntiPurpleFringeAlgorithm none;
    EXPECT_EQ(none.GetDefaultRange(), 1);
}

} // namespace
