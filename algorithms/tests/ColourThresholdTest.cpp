#include "algorithms/ThresholdAlgorithm.h"
#include "algorithms/tests/EffectTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

using effecttest::Bytes;
using effecttest::MakeFlat;
using effecttest::MakePattern;

HRESULT RunThreshold(ThresholdAlgorithm& fx, CQLImage& src, CQLImage& dst, ThresholdParams p)
{
    fx.SetImages(&src, &dst);
    return fx.Apply(&p);
}

// Every pixel grey v, alpha 255, or the test says where it is not.
void ExpectFlat(const CQLImage& image, int v)
{
    UINT w = 0, h = 0;
    image.GetSize(&w, &h);
    for (int y = 0; y < static_cast<int>(h); ++y)
        for (int x = 0; x < static_cast<int>(w); ++x) {
            const CPixel p = image.GetPixel2(x, y);
            ASSERT_TRUE(p.r == v && p.g == v && p.b == v && p.a == 255) << x << "," << y << ": " << int(p.r);
        }
}

TEST(ThresholdTest, GlobalThresholdWithAndWithoutARamp)
{
    struct Case {
        int level, width, grey, out;
    };
    // Width 20 around 100: lo 90, hi 110, grey (v - 90) * 255 / 20 between.
    const Case cases[] = {
        {100, 0, 99, 0},   {100, 0, 100, 255}, {100, 0, 0, 0},     {100, 0, 255, 255},
        {100, 20, 89, 0},  {100, 20, 90, 0},   {100, 20, 95, 63},  {100, 20, 109, 242},
        {100, 20, 110, 255}, {250, 20, 254, 238}, // hi capped at 255: (254 - 240) * 255 / 15
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "level " << c.level << " width " << c.width << " grey " << c.grey);
        CQLImage src, dst;
        MakeFlat(src, 3, 2, c.grey, 9);
        ThresholdAlgorithm fx;
        ASSERT_EQ(RunThreshold(fx, src, dst, {ThresholdAlgorithm::Threshold, c.level, c.width, 0}), 0);
        ExpectFlat(dst, c.out);
    }
}

TEST(ThresholdTest, GreyIsTheWeightedSumOfTheChannels)
{
    // (R100, G200, B10): (1200 + 300 + 10) / 10 = 151.
    CQLImage src, dst;
    src.Create(2, 1);
    src.PutPixel(0, 0, {10, 200, 100, 0});
    src.PutPixel(1, 0, {10, 199, 100, 0}); // grey 150
    ThresholdAlgorithm fx;
    ASSERT_EQ(RunThreshold(fx, src, dst, {ThresholdAlgorithm::Threshold, 151, 0, 0}), 0);
    EXPECT_EQ(dst.GetPixel2(0, 0).g, 255);
    EXPECT_EQ(dst.GetPixel2(1, 0).g, 0);
}

TEST(ThresholdTest, UnknownModeLeavesTheCopy)
{
    CQLImage src, dst;
    MakePattern(src, 12, 8);
    ThresholdAlgorithm fx;
    ASSERT_EQ(RunThreshold(fx, src, dst, {9, 128, 16, 50}), 0);
    EXPECT_EQ(Bytes(dst), Bytes(src));
}

// Step 5 of the adaptive threshold from the level map the run left: the
// nearest map pixel's dark (G) and bright (R) levels around grey v.
int AdaptiveLevel(const CQLImage& map, int x, int y, int w, int h, int v, int level, int width)
{
    UINT mw = 0, mh = 0;
    map.GetSize(&mw, &mh);
    const CPixel m = map.GetPixel2(x * static_cast<int>(mw) / w, y * static_cast<int>(mh) / h);
    const int t = m.g + (m.r - m.g) * level / 255;
    const int lo = std::max<int>(m.g, t - width / 2), hi = std::min<int>(m.r, t + width / 2);
    if (v < lo)
        return 0;
    if (v < hi && lo + 4 < hi)
        return (v - lo) * 255 / (hi - lo);
    return 255;
}

TEST(ThresholdTest, AdaptiveLevelsWidenFlatAreasAndStayInRange)
{
    struct Case {
        int grey, level, dark, bright;
    };
    // Flat images: the window range 0 widens to 100 around the value, held
    // to 0..255: 128 gives 78..178, 250 gives 200..255 (not 300), 5 gives
    // 0..55 (not -45). The smoothing of the map then loses up to 2 levels.
    const Case cases[] = {{128, 128, 78, 178}, {250, 255, 200, 255}, {5, 0, 0, 55}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "grey " << c.grey);
        CQLImage src, dst;
        MakeFlat(src, 30, 20, c.grey);
        ThresholdAlgorithm fx;
        ASSERT_EQ(RunThreshold(fx, src, dst, {ThresholdAlgorithm::Adaptive, c.level, 16, 50}), 0);
        const CQLImage& map = fx.GetLevelMap();
        UINT mw = 0, mh = 0;
        map.GetSize(&mw, &mh);
        EXPECT_EQ(mw, 200u);
        EXPECT_EQ(mh, 133u); // 200 * 20 / 30
        EXPECT_NEAR(map.GetPixel2(100, 60).g, c.dark, 2);
        EXPECT_NEAR(map.GetPixel2(100, 60).r, c.bright, 2);
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 30; ++x) {
                const CPixel p = dst.GetPixel2(x, y);
                ASSERT_EQ(p.g, AdaptiveLevel(map, x, y, 30, 20, c.grey, c.level, 16)) << x << "," << y;
                ASSERT_TRUE(p.r == p.g && p.b == p.g && p.a == 255);
            }
    }
    // By hand for 128 with the map at 76..176: t 126, lo 118, hi 134:
    // (128 - 118) 255 / 16 = 159.
    CQLImage map;
    map.Create(1, 1);
    map.PutPixel(0, 0, {255, 76, 176, 0});
    EXPECT_EQ(AdaptiveLevel(map, 0, 0, 1, 1, 128, 128, 16), 159);
}

TEST(ThresholdTest, AdaptiveOnThinImagesKeepsAMapRow)
{
    // 200 * 2 / 1000 rounds to 0: the map keeps one row, the window one pixel.
    struct Case {
        int w, h;
        UINT mw, mh;
    };
    for (const Case& c : {Case{1000, 2, 200, 1}, Case{2, 1000, 1, 200}, Case{1, 1, 200, 200}}) {
        SCOPED_TRACE(testing::Message() << c.w << "x" << c.h);
        CQLImage src, dst;
        MakeFlat(src, c.w, c.h, 128);
        ThresholdAlgorithm fx;
        ASSERT_EQ(RunThreshold(fx, src, dst, {ThresholdAlgorithm::Adaptive, 128, 16, 100}), 0);
        UINT mw = 0, mh = 0;
        fx.GetLevelMap().GetSize(&mw, &mh);
        EXPECT_EQ(mw, c.mw);
        EXPECT_EQ(mh, c.mh);
        for (int y = 0; y < c.h; ++y)
            for (int x = 0; x < c.w; ++x)
                ASSERT_EQ(dst.GetPixel2(x, y).g, AdaptiveLevel(fx.GetLevelMap(), x, y, c.w, c.h, 128, 128, 16));
    }
}

TEST(ThresholdTest, AdaptiveKeepsABlackAndWhitePicture)
{
    CQLImage src, dst;
    src.Create(40, 30);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) {
            const BYTE v = ((x / 5 + y / 6) & 1) ? 255 : 0;
            src.PutPixel(x, y, {v, v, v, 255});
        }
    ThresholdAlgorithm fx;
    ASSERT_EQ(RunThreshold(fx, src, dst, {ThresholdAlgorithm::Adaptive, 128, 0, 200}), 0); // detail beyond 100 as 100
    EXPECT_EQ(Bytes(dst), Bytes(src));
}

TEST(ThresholdTest, RandomDiffusionGivesBlackAndWhiteKeepingTheMean)
{
    for (int grey : {0, 64, 192, 255}) {
        SCOPED_TRACE(grey);
        CQLImage src, dst, again;
        MakeFlat(src, 64, 64, grey);
        ThresholdAlgorithm fx;
        ASSERT_EQ(RunThreshold(fx, src, dst, {ThresholdAlgorithm::RandomDiffusion, 0, 0, 0}), 0);
        int white = 0;
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x) {
                const CPixel p = dst.GetPixel2(x, y);
                ASSERT_TRUE((p.g == 0 || p.g == 255) && p.r == p.g && p.b == p.g && p.a == 255);
                white += p.g == 255;
            }
        // The spread keeps about 98 % of each error; the borders lose some.
        EXPECT_NEAR(white * 255.0 / (64 * 64), grey, 12);
        ASSERT_EQ(RunThreshold(fx, src, again, {ThresholdAlgorithm::RandomDiffusion, 0, 0, 0}), 0);
        EXPECT_EQ(Bytes(again), Bytes(dst));
    }
}

// Expected halftone cell of level L: black where L < T[k].
std::vector<int> Cell(int level)
{
    const int t[16] = {13, 9, 5, 14, 8, 4, 1, 10, 12, 3, 2, 6, 16, 7, 11, 15};
    std::vector<int> cell(16);
    for (int k = 0; k < 16; ++k)
        cell[k] = level < t[k] ? 0 : 255;
    return cell;
}

TEST(ThresholdTest, HalftoneCutsToWholeCellsAndDrawsLevels)
{
    for (auto [grey, level] : {std::pair{0, 0}, std::pair{255, 16}, std::pair{128, 8}}) {
        SCOPED_TRACE(grey);
        CQLImage src, dst;
        MakeFlat(src, 10, 10, grey);
        ThresholdAlgorithm fx;
        ASSERT_EQ(RunThreshold(fx, src, dst, {ThresholdAlgorithm::Halftone, 0, 0, 0}), 0);
        UINT w = 0, h = 0;
        dst.GetSize(&w, &h);
        ASSERT_EQ(w, 8u);
        ASSERT_EQ(h, 8u);
        const std::vector<int> cell = Cell(level);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) {
                EXPECT_EQ(dst.GetPixel2(x, y).g, cell[(y % 4) * 4 + x % 4]) << x << "," << y;
                EXPECT_EQ(dst.GetPixel2(x, y).a, 255);
            }
    }
}

TEST(ThresholdTest, HalftoneDiffusesTheQuantisingError)
{
    // Two cells of 120: the first rounds to 128 (level 8), its error -8
    // moves 40 % (-3) right: 117 rounds to 112 (level 7).
    CQLImage src, dst;
    MakeFlat(src, 8, 4, 120);
    ThresholdAlgorithm fx;
    ASSERT_EQ(RunThreshold(fx, src, dst, {ThresholdAlgorithm::Halftone, 0, 0, 0}), 0);
    const std::vector<int> first = Cell(8), second = Cell(7);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(dst.GetPixel2(x, y).g, first[y * 4 + x]);
            EXPECT_EQ(dst.GetPixel2(x + 4, y).g, second[y * 4 + x]);
        }
}

TEST(ThresholdTest, HalftoneOfLessThanACellStaysACopy)
{
    CQLImage src, dst;
    MakePattern(src, 3, 7);
    ThresholdAlgorithm fx;
    ASSERT_EQ(RunThreshold(fx, src, dst, {ThresholdAlgorithm::Halftone, 0, 0, 0}), 0);
    EXPECT_EQ(Bytes(dst), Bytes(src));
}

} // namespace
