#include "algorithms/FreeRotateAlgorithm.h"
#include "algorithms/tests/EffectTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

using effecttest::Bytes;
using effecttest::MakeFlat;
using effecttest::MakePattern;

constexpr double kPi = 3.14159265358979323846;

// A byte that lands exactly on a source pixel goes through both blends with
// weight 255: (v * 255) >> 8 twice.
int Twice(int v)
{
    return (((v * 255) >> 8) * 255) >> 8;
}

HRESULT Turn(FreeRotateAlgorithm& fx, CQLImage& src, CQLImage& dst, double angle)
{
    fx.SetImages(&src, &dst);
    fx.SetRange(0, 100);
    return fx.Apply(&angle);
}

void ExpectSize(const CQLImage& image, UINT w, UINT h)
{
    UINT iw = 0, ih = 0;
    image.GetSize(&iw, &ih);
    EXPECT_EQ(iw, w);
    EXPECT_EQ(ih, h);
}

TEST(FreeRotateTest, AngleZeroKeepsTheSizeAndDarkensEachByteByTheTwoBlends)
{
    CQLImage src, dst;
    MakePattern(src, 7, 5);
    FreeRotateAlgorithm fx;
    ASSERT_EQ(Turn(fx, src, dst, 0.0), 0);
    ExpectSize(dst, 7, 5);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) {
            const CPixel s = src.GetPixel2(x, y), d = dst.GetPixel2(x, y);
            EXPECT_EQ(d.b, Twice(s.b)) << x << "," << y;
            EXPECT_EQ(d.g, Twice(s.g));
            EXPECT_EQ(d.r, Twice(s.r));
            EXPECT_EQ(d.a, 253);
        }
}

TEST(FreeRotateTest, QuarterTurnGivesHeightByWidthTurnedClockwise)
{
    CQLImage src, dst;
    MakePattern(src, 5, 3);
    FreeRotateAlgorithm fx;
    ASSERT_EQ(Turn(fx, src, dst, kPi / 2), 0);
    ExpectSize(dst, 3, 5);
    // Clockwise: the source's bottom-left corner comes to the top left.
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 3; ++x) {
            const CPixel s = src.GetPixel2(y, 2 - x), d = dst.GetPixel2(x, y);
            EXPECT_EQ(d.b, Twice(s.b)) << x << "," << y;
            EXPECT_EQ(d.g, Twice(s.g));
            EXPECT_EQ(d.r, Twice(s.r));
            EXPECT_EQ(d.a, 253);
        }
}

// Source B = 10 x + 40 y, G = 200, R = 0 on 4 x 4; cos 0.6, sin 0.8 gives a
// 5 x 5 target with both centres at (2, 2).
class FreeRotateBlend : public ::testing::Test {
protected:
    void SetUp() override
    {
        src.Create(4, 4);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x)
                src.PutPixel(x, y, {static_cast<BYTE>(10 * x + 40 * y), 200, 0, 7});
        fx.background = 0x00DCDCDC;
        ASSERT_EQ(Turn(fx, src, dst, std::atan2(0.8, 0.6)), 0);
        ExpectSize(dst, 5, 5);
    }

    CQLImage src, dst;
    FreeRotateAlgorithm fx;
};

TEST_F(FreeRotateBlend, InnerPixelBlendsItsFourNeighbours)
{
    // (3, 2): source (2.6, 1.2); a = 153, b = 51 over pixels (2..3, 1..2).
    // B: top (60*102 + 70*153) >> 8 = 65, bottom (100*102 + 110*153) >> 8 = 105,
    // (65*204 + 105*51) >> 8 = 72. G: 200 -> 199 -> 198.
    const CPixel p = dst.GetPixel2(3, 2);
    EXPECT_EQ(p.b, 72);
    EXPECT_EQ(p.g, 198);
    EXPECT_EQ(p.r, 0);
    EXPECT_EQ(p.a, 253);
}

TEST_F(FreeRotateBlend, PixelLeftOfThePictureBlendsItsEdgeWithTheBackground)
{
    // (1, 0): source (-0.2, 1.6); columns 0 and -1 (background 220, alpha
    // 0), a = 51; rows 1 and 2, b = 153.
    // B: top (40*204 + 220*51) >> 8 = 75, bottom (80*204 + 11220) >> 8 = 107,
    // (75*102 + 107*153) >> 8 = 93. G: 203 then 202. R: 43 then 42.
    // A: (255*204) >> 8 = 203, then 202.
    const CPixel p = dst.GetPixel2(1, 0);
    EXPECT_EQ(p.b, 93);
    EXPECT_EQ(p.g, 202);
    EXPECT_EQ(p.r, 42);
    EXPECT_EQ(p.a, 202);
}

TEST(FreeRotateTest, PixelsWhollyOutsideGetTheBackgroundInItsByteOrder)
{
    // Red 200, green 100, blue 50 in the colour's low, middle and third byte.
    CQLImage src, dst;
    MakeFlat(src, 10, 10, 90);
    FreeRotateAlgorithm fx;
    fx.background = 0x003264C8;
    ASSERT_EQ(Turn(fx, src, dst, kPi / 4), 0);
    ExpectSize(dst, 14, 14);
    for (const auto& [x, y] : {std::pair{0, 0}, {13, 0}, {0, 13}, {13, 13}}) {
        const CPixel p = dst.GetPixel2(x, y);
        EXPECT_EQ(p.r, Twice(200)) << x << "," << y; // 198
        EXPECT_EQ(p.g, Twice(100));                  // 98
        EXPECT_EQ(p.b, Twice(50));                   // 48
        EXPECT_EQ(p.a, 0);
    }
    // The middle is picture.
    EXPECT_EQ(dst.GetPixel2(7, 7).a, 253);
    EXPECT_EQ(dst.GetPixel2(7, 7).g, Twice(90));
}

TEST(FreeRotateTest, AutoCropAtAngleZeroKeepsTheWholeTarget)
{
    CQLImage src, plain, cropped;
    MakePattern(src, 9, 6);
    FreeRotateAlgorithm fx;
    ASSERT_EQ(Turn(fx, src, plain, 0.0), 0);
    fx.SetAlgorithmInput(1);
    ASSERT_EQ(Turn(fx, src, cropped, 0.0), 0);
    EXPECT_EQ(Bytes(cropped), Bytes(plain));
    ExpectSize(cropped, 9, 6);
}

TEST(FreeRotateTest, AutoCropKeepsTheProportionsAndLeavesNoBackground)
{
    CQLImage src, turned, cropped;
    MakeFlat(src, 120, 80, 150);
    FreeRotateAlgorithm fx;
    ASSERT_EQ(Turn(fx, src, turned, 0.3), 0);
    UINT tw = 0, th = 0;
    turned.GetSize(&tw, &th);
    fx.SetAlgorithmInput(1);
    ASSERT_EQ(Turn(fx, src, cropped, 0.3), 0);
    UINT cw = 0, ch = 0;
    cropped.GetSize(&cw, &ch);
    ASSERT_GT(cw, 0u);
    ASSERT_LT(cw, tw);
    EXPECT_NEAR(static_cast<double>(ch), static_cast<double>(cw) * th / tw, 1.0);
    // At most about a pixel of background where the last test failed.
    int background = 0;
    for (UINT y = 0; y < ch; ++y)
        for (UINT x = 0; x < cw; ++x)
            background += cropped.GetPixel2(x, y).a == 0;
    EXPECT_LE(background, 4);
}

TEST(FreeRotateTest, OneImageForSourceAndTargetTurnsLikeTwo)
{
    CQLImage src, dst, same;
    MakePattern(src, 31, 17);
    MakePattern(same, 31, 17);
    FreeRotateAlgorithm fx;
    ASSERT_EQ(Turn(fx, src, dst, -0.7), 0);
    ASSERT_EQ(Turn(fx, same, same, -0.7), 0);
    EXPECT_EQ(Bytes(same), Bytes(dst));
}

TEST(FreeRotateTest, NoTurnedPictureOrNoAngleFailsAndLeavesTheTarget)
{
    CQLImage dot, src, dst;
    MakeFlat(dot, 1, 1, 10);   // every truncated product is 0 at 0.5
    MakeFlat(src, 6, 4, 10);
    MakeFlat(dst, 2, 3, 77, 5);
    const auto before = Bytes(dst);
    FreeRotateAlgorithm fx;
    EXPECT_EQ(Turn(fx, dot, dst, 0.5), E_FAIL);
    EXPECT_EQ(Turn(fx, src, dst, std::numeric_limits<double>::quiet_NaN()), E_FAIL);
    EXPECT_EQ(Turn(fx, src, dst, std::numeric_limits<double>::infinity()), E_FAIL);
    EXPECT_EQ(Bytes(dst), before);
    ExpectSize(dst, 2, 3);
}

} // namespace
