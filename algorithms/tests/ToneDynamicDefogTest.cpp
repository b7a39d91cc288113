#include "algorithms/DefogAlgorithm.h"
#include "algorithms/DynamicRangeAlgorithm.h"
#include "algorithms/tests/EffectTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <vector>

namespace {

using effecttest::Bytes;
using effecttest::MakeFlat;
using effecttest::MakePattern;

// --- Dynamic range ----------------------------------------------------------

HRESULT Enhance(CQLImage& src, CQLImage& dst, DynamicRangeParams p)
{
    DynamicRangeAlgorithm fx;
    fx.SetImages(&src, &dst);
    fx.SetRange(0, 100);
    return fx.Apply(&p);
}

DynamicRangeParams Block(int shadow, int highlightOn, int autoLevels)
{
    DynamicRangeParams p;
    p.shadowAmount = static_cast<BYTE>(shadow);
    p.highlightOn = static_cast<BYTE>(highlightOn);
    p.autoLevels = autoLevels;
    return p;
}

TEST(DynamicRangeTest, DefaultsAreTheEffectsOwn)
{
    const DynamicRangeParams p;
    EXPECT_EQ(p.reserved, 128);
    EXPECT_EQ(p.shadowAmount, 0);
    EXPECT_EQ(p.highlightAmount, 128);
    EXPECT_EQ(p.highlightOn, 0);
    EXPECT_EQ(p.autoLevels, 1);
}

TEST(DynamicRangeTest, NothingToDoCopiesTheSourceWithItsGreyLevel)
{
    CQLImage src, dst;
    MakePattern(src, 40, 30);
    ASSERT_EQ(Enhance(src, dst, Block(0, 0, 1)), 0);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) {
            const CPixel s = src.GetPixel2(x, y);
            EXPECT_EQ(s.a, (s.b + 6 * s.g + 3 * s.r) / 10); // the source keeps its grey level
            ASSERT_EQ(dst.GetPixel(x, y), src.GetPixel(x, y));
        }
}

// Rows of grey levels for the stretch: 200 pixels, so each 0.5 % is one pixel.
void GreyRows(CQLImage& image, int low, int mid, int high)
{
    MakeFlat(image, 20, 10, low);
    for (int x = 0; x < 20; ++x)
        for (int y = 5; y < 10; ++y)
            image.PutPixel(x, y, {static_cast<BYTE>(high), static_cast<BYTE>(high), static_cast<BYTE>(high), 255});
    image.PutPixel(0, 5, {static_cast<BYTE>(mid), static_cast<BYTE>(mid), static_cast<BYTE>(mid), 255});
}

TEST(DynamicRangeTest, StretchMapsTheHalfPercentPointsToBlackAndWhite)
{
    // Highlight step on, but grey levels under 64 have no highlight weight,
    // so only the stretch acts: lo 20, hi 53; 36 -> 16 * 255 / 33 = 123.
    CQLImage src, dst;
    GreyRows(src, 20, 36, 53);
    ASSERT_EQ(Enhance(src, dst, Block(0, 1, 1)), 0);
    EXPECT_EQ(dst.GetPixel2(5, 0).g, 0);
    EXPECT_EQ(dst.GetPixel2(0, 5).g, 123);
    EXPECT_EQ(dst.GetPixel2(5, 9).g, 255);
}

TEST(DynamicRangeTest, SpansOf32LevelsOrLessAndFlatPhotosAreNotStretched)
{
    for (const auto& [low, high] : {std::pair{20, 52}, std::pair{40, 40}}) {
        CQLImage src, dst;
        GreyRows(src, low, (low + high) / 2, high);
        ASSERT_EQ(Enhance(src, dst, Block(0, 1, 1)), 0);
        EXPECT_EQ(dst.GetPixel2(5, 0).g, low);
        EXPECT_EQ(dst.GetPixel2(5, 9).g, high);
    }
    // Nor without automatic levels.
    CQLImage src, dst;
    GreyRows(src, 20, 36, 53);
    ASSERT_EQ(Enhance(src, dst, Block(0, 1, 0)), 0);
    EXPECT_EQ(dst.GetPixel2(0, 5).g, 36);
}

TEST(DynamicRangeTest, ShadowLiftOnAFlatDarkPhoto)
{
    // Grey 40, s = 100: T(40) = (215 * trunc(4.0 * 40) + 1600) / 255 = 141;
    // w_s(40) = 185; t = 185 * w_s(blurred) / 255; v = ((255 - t) 40 + 141 t) / 255.
    // The blurred grey level is what the target's byte 3 reports.
    const std::map<int, int> expected = {{35, 95}, {36, 95}, {37, 94}, {38, 94}, {39, 93}, {40, 93}};
    CQLImage src, dst;
    MakeFlat(src, 48, 32, 40);
    ASSERT_EQ(Enhance(src, dst, Block(100, 0, 0)), 0);
    for (int y = 0; y < 32; y += 7)
        for (int x = 0; x < 48; x += 5) {
            const CPixel p = dst.GetPixel2(x, y);
            ASSERT_TRUE(expected.count(p.a)) << "blurred grey " << int(p.a);
            EXPECT_EQ(p.g, expected.at(p.a)) << x << "," << y;
            EXPECT_EQ(p.r, p.g);
        }
}

TEST(DynamicRangeTest, HighlightCompressionOnAFlatBrightPhoto)
{
    // Grey 230, c = 128: U(230) = (255 + 166 - 230) * 230 / 255 = 172;
    // w_h(230) = 212; v = ((255 - t) 230 + 172 t) / 255.
    const std::map<int, int> expected = {{224, 192}, {225, 191}, {226, 191}, {227, 191},
                                         {228, 190}, {229, 190}, {230, 189}};
    CQLImage src, dst;
    MakeFlat(src, 48, 32, 230);
    ASSERT_EQ(Enhance(src, dst, Block(0, 1, 0)), 0);
    for (int y = 0; y < 32; y += 7)
        for (int x = 0; x < 48; x += 5) {
            const CPixel p = dst.GetPixel2(x, y);
            ASSERT_TRUE(expected.count(p.a)) << "blurred grey " << int(p.a);
            EXPECT_EQ(p.b, expected.at(p.a)) << x << "," << y;
        }
}

TEST(DynamicRangeTest, InPlaceGivesTheSameColours)
{
    CQLImage src, dst, same;
    MakePattern(src, 50, 40);
    same.DuplicateFrom(&src);
    ASSERT_EQ(Enhance(src, dst, Block(60, 1, 1)), 0);
    ASSERT_EQ(Enhance(same, same, Block(60, 1, 1)), 0);
    EXPECT_EQ(Bytes(same), Bytes(dst));
}

// --- Defog ------------------------------------------------------------------

HRESULT Defog(CQLImage& src, CQLImage& dst, INT strength)
{
    DefogAlgorithm fx;
    fx.SetImages(&src, &dst);
    fx.SetRange(0, 100);
    const DefogParams p = {strength};
    return fx.Apply(&p);
}

TEST(DefogTest, StrengthZeroLeavesThePhoto)
{
    CQLImage src, dst;
    MakePattern(src, 300, 120);
    ASSERT_EQ(Defog(src, dst, 0), 0);
    EXPECT_EQ(Bytes(dst), Bytes(src));
}

TEST(DefogTest, FlatPhotoHasNoLocalRangeToStretch)
{
    // lo = m * 100 / 100 and hi = (100 (m - 255) + 25500) / 100 = m: lo < hi fails.
    CQLImage src, dst;
    MakeFlat(src, 260, 90, 120, 44);
    ASSERT_EQ(Defog(src, dst, 100), 0);
    EXPECT_EQ(Bytes(dst), Bytes(src));
}

// A foggy photo: stripes of grey 100 and 160, 16 pixels wide.
void FoggyStripes(CQLImage& image, int w, int h)
{
    image.Create(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const BYTE v = (x / 16) % 2 ? 160 : 100;
            image.PutPixel(x, y, {v, v, v, 7});
        }
}

std::pair<int, int> GreenRange(const CQLImage& image)
{
    UINT w = 0, h = 0;
    image.GetSize(&w, &h);
    int lo = 255, hi = 0;
    for (UINT y = 0; y < h; ++y)
        for (UINT x = 0; x < w; ++x) {
            lo = std::min<int>(lo, image.GetPixel2(x, y).g);
            hi = std::max<int>(hi, image.GetPixel2(x, y).g);
        }
    return {lo, hi};
}

TEST(DefogTest, LowContrastIsStretchedTowardsBlackAndWhite)
{
    CQLImage src, dst;
    FoggyStripes(src, 400, 300);
    ASSERT_EQ(Defog(src, dst, 80), 0);
    const auto [lo, hi] = GreenRange(dst);
    EXPECT_LT(lo, 100);
    EXPECT_GT(hi, 160);
    EXPECT_EQ(dst.GetPixel2(10, 10).a, 7);
}

TEST(DefogTest, ThinPhotoStillMeasuresItsLocalRange)
{
    // 400 x 10 shrinks to 200 x 5: a window of (5 / 8) * 2 = 0 would read
    // nothing (largest 0, smallest 255) and leave the photo as it is; the
    // window of 2 finds the range at the stripes' edges and stretches it.
    CQLImage src, dst;
    FoggyStripes(src, 400, 10);
    ASSERT_EQ(Defog(src, dst, 80), 0);
    EXPECT_NE(Bytes(dst), Bytes(src));
    const auto [lo, hi] = GreenRange(dst);
    EXPECT_LT(lo, 100);
    EXPECT_GT(hi, 160);
    // A copy of one row or column works too.
    for (const auto& [w, h] : {std::pair{600, 1}, std::pair{1, 600}, std::pair{1, 1}}) {
        CQLImage thin, out;
        MakeFlat(thin, w, h, 90);
        EXPECT_EQ(Defog(thin, out, 50), 0) << w << "x" << h;
    }
}

TEST(DefogTest, MissingParameterFails)
{
    CQLImage src, dst;
    MakeFlat(src, 10, 10, 1);
    DefogAlgorithm fx;
    fx.SetImages(&src, &dst);
    EXPECT_EQ(fx.Apply(nullptr), E_FAIL);
}

} // namespace
