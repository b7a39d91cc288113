#include "algorithms/NoiseReductionAlgorithm.h"
#include "algorithms/tests/DenoiseTestSupport.h"
#include "algorithms/tests/EffectTestSupport.h"
#include "platform/codec/ColorForms.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using effecttest::Bytes;
using effecttest::MakeFlat;

HRESULT Reduce(NoiseReductionAlgorithm& fx, CQLImage& src, CQLImage& dst, int strength, int colorSpots)
{
    fx.SetImages(&src, &dst);
    fx.SetRange(0, 100);
    const NoiseReductionParams p = {strength, colorSpots};
    return fx.Apply(&p);
}

// An image whose byte 2 (the luminance of the YUV form) is given row by row.
void MakeLuma(CQLImage& image, int w, int h, const std::vector<int>& luma)
{
    image.Create(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.PutPixel(x, y, {128, 128, static_cast<BYTE>(luma[y * w + x]), 255});
}

TEST(NoiseReductionTest, EdgeDetectionTakesTheStrongestOfFourResponses)
{
    // Centre responses: (60 - 240) / 3 = -60, (120 - 180) / 3 = -20,
    // (190 - 110) / 3 = 26, (70 - 230) / 3 = -53: direction 1, -60 + 128.
    CQLImage yuv;
    MakeLuma(yuv, 3, 3, {10, 20, 30, 40, 50, 60, 70, 80, 90});
    NoiseReductionAlgorithm fx;
    ASSERT_TRUE(fx.DetectEdges(yuv));
    EXPECT_EQ(fx.EdgeMap().Get(1, 1), 68);
    EXPECT_EQ(fx.DirectionMap().Get(1, 1), 1);
    for (int i = 0; i < 9; ++i) {
        if (i == 4)
            continue;
        EXPECT_EQ(fx.EdgeMap().Get(i % 3, i / 3), 0) << i; // the frame
        EXPECT_EQ(fx.DirectionMap().Get(i % 3, i / 3), 0) << i;
    }

    // Left column 255, the rest 0: direction 2 answers 255, clamped to 255;
    // flat: four equal zeros give direction 1 and 128.
    MakeLuma(yuv, 3, 3, {255, 0, 0, 255, 0, 0, 255, 0, 0});
    ASSERT_TRUE(fx.DetectEdges(yuv));
    EXPECT_EQ(fx.EdgeMap().Get(1, 1), 255);
    EXPECT_EQ(fx.DirectionMap().Get(1, 1), 2);
    MakeLuma(yuv, 3, 3, std::vector<int>(9, 77));
    ASSERT_TRUE(fx.DetectEdges(yuv));
    EXPECT_EQ(fx.EdgeMap().Get(1, 1), 128);
    EXPECT_EQ(fx.DirectionMap().Get(1, 1), 1);
}

TEST(NoiseReductionTest, EdgeSupportHalvesIsolatedEdgesAndKeepsContinuousOnes)
{
    // Rows 200, 100, 0: every inner pixel answers 200 in direction 1
    // (g = 127). The ends have one supporting neighbour: 384 * 127 / 512 = 95.
    CQLImage yuv;
    std::vector<int> luma;
    for (int v : {200, 100, 0})
        for (int x = 0; x < 5; ++x)
            luma.push_back(v);
    MakeLuma(yuv, 5, 3, luma);
    NoiseReductionAlgorithm fx;
    ASSERT_TRUE(fx.DetectEdges(yuv));
    ASSERT_TRUE(fx.SupportEdges());
    const int expected[5] = {0, 223, 255, 223, 0};
    for (int x = 0; x < 5; ++x)
        EXPECT_EQ(fx.EdgeMap().Get(x, 1), expected[x]) << x;

    // A lone pixel of 228 in a flat 100, left of (2, 2): there only L
    // differs, so directions 2, 3 and 4 each give 128 / 3 = 42 and 2 wins
    // (170). Above and below answer direction 1, so no support: 256 * 42 / 512
    // = 21, so 149.
    std::vector<int> spot(25, 100);
    spot[2 * 5 + 1] = 228;
    MakeLuma(yuv, 5, 5, spot);
    ASSERT_TRUE(fx.DetectEdges(yuv));
    ASSERT_EQ(fx.EdgeMap().Get(2, 2), 170);
    ASSERT_EQ(fx.DirectionMap().Get(2, 2), 2);
    ASSERT_TRUE(fx.SupportEdges());
    EXPECT_EQ(fx.EdgeMap().Get(2, 2), 149);
}

TEST(NoiseReductionTest, EdgeStrengthAveragesThirteenSamplesAcrossTheEdge)
{
    // Flat 7 x 7: inner map 128, frame 0. At (3, 3), direction 1, the four
    // extra samples are rows 1, 0, 5 and 6: 11 * 128 / 13 = 108, |108 - 128| * 4.
    CQLImage yuv;
    MakeLuma(yuv, 7, 7, std::vector<int>(49, 90));
    NoiseReductionAlgorithm fx;
    ASSERT_TRUE(fx.DetectEdges(yuv));
    ASSERT_TRUE(fx.SupportEdges());
    ASSERT_TRUE(fx.EdgeStrength());
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 7; ++x)
            EXPECT_EQ(fx.EdgeMap().Get(x, y), x == 3 && y == 3 ? 80 : 0) << x << "," << y;
}

struct NoiseCase {
    int width;
    int height;
    int luma;
    int level;      // the noise level found
    int spotEdge;   // the edge value right of the bright pixel afterwards
};

class NoiseEstimate : public ::testing::TestWithParam<NoiseCase> {};

TEST_P(NoiseEstimate, FlatDarkBlocksSetTheLevel)
{
    // Flat luminance with one pixel 30 brighter at (40, 10); its right
    // neighbour answers 30 / 3 = 10 in direction 2, so 138, the largest of
    // its block; every other block's largest is 128. With ten flat blocks
    // the level is 128 and 138 becomes 10 * 255 / 32 = 79.
    const NoiseCase c = GetParam();
    std::vector<int> luma(static_cast<std::size_t>(c.width) * c.height, c.luma);
    luma[10 * c.width + 40] = c.luma + 30;
    CQLImage yuv;
    MakeLuma(yuv, c.width, c.height, luma);
    NoiseReductionAlgorithm fx;
    ASSERT_TRUE(fx.DetectEdges(yuv));
    ASSERT_EQ(fx.EdgeMap().Get(41, 10), 138);
    fx.EstimateNoise(yuv);
    EXPECT_EQ(fx.NoiseLevel(), c.level);
    EXPECT_EQ(fx.EdgeMap().Get(41, 10), c.spotEdge);
    EXPECT_EQ(fx.EdgeMap().Get(100, 20), c.spotEdge == 79 ? 0 : 128);
}

INSTANTIATE_TEST_SUITE_P(Cases, NoiseEstimate,
                         ::testing::Values(NoiseCase{320, 32, 100, 128, 79}, // ten flat blocks
                                           NoiseCase{288, 32, 100, 8, 138},  // nine: too few
                                           NoiseCase{320, 31, 100, 8, 138},  // no block row
                                           NoiseCase{320, 32, 160, 8, 138})); // bright blocks are not flat

struct FlatCase {
    int width;
    int height;
    int grey;
    int inner; // expected grey inside the one-pixel frame
    int frame; // and on it
};

class FlatGrey : public ::testing::TestWithParam<FlatCase> {};

TEST_P(FlatGrey, KeepsTheWeightsThatSumTo255)
{
    // Luminance smoothing of a flat line: m = y, so (255 y) >> 8 per pass:
    // 100 -> 99 -> 98, 200 -> 199 -> 198, 255 -> 254 -> 253. Shadow restore
    // (inner pixels) with c = the grey: below 128 nothing comes back; 200:
    // d = 110, (110 * 198 + 145 * 200) / 255 = 199; 255: d = 0, 255.
    const FlatCase c = GetParam();
    CQLImage src, dst;
    MakeFlat(src, c.width, c.height, c.grey, 17);
    const std::vector<BYTE> before = Bytes(src);
    for (int colorSpots : {0, 1}) {
        NoiseReductionAlgorithm fx;
        ASSERT_EQ(Reduce(fx, src, dst, 5, colorSpots), 0);
        for (int y = 0; y < c.height; ++y)
            for (int x = 0; x < c.width; ++x) {
                const bool frame = x == 0 || y == 0 || x == c.width - 1 || y == c.height - 1;
                const CPixel p = dst.GetPixel2(x, y);
                const int want = frame ? c.frame : c.inner;
                ASSERT_TRUE(p.b == want && p.g == want && p.r == want) << x << "," << y << ": " << int(p.g);
                ASSERT_EQ(p.a, 17);
            }
        EXPECT_EQ(Bytes(src), before); // alpha included
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, FlatGrey,
                         ::testing::Values(FlatCase{1, 1, 100, 98, 98}, FlatCase{2, 3, 200, 198, 198},
                                           FlatCase{3, 3, 200, 199, 198}, FlatCase{40, 40, 100, 98, 98},
                                           FlatCase{67, 35, 200, 199, 198}, FlatCase{9, 70, 255, 255, 253},
                                           FlatCase{33, 5, 0, 0, 0}));

TEST(NoiseReductionTest, ColourSpotsAreSmoothedOnlyWhenAsked)
{
    // Grey 100 and (R 110, G 95, B 100) share luminance 100 and grey level
    // 100; the second has V = 135. A stripe of it at column 30: without
    // colour-spot reduction only the luminance moves (100 -> 98, above), so
    // the stripe becomes V 135 on Y 98: R 98 + 10, G 98 - 5, B 98. With it,
    // every window around (30, 30) is far from the map's border band (edge
    // 0, weight 255): mean V (135 + 23 * 128) / 24 = 128, blended fully.
    CQLImage src, dst;
    MakeFlat(src, 60, 60, 100);
    for (int y = 0; y < 60; ++y)
        src.PutPixel(30, y, {100, 95, 110, 255});
    NoiseReductionAlgorithm fx;
    ASSERT_EQ(Reduce(fx, src, dst, 7, 0), 0);
    CPixel p = dst.GetPixel2(30, 30);
    EXPECT_EQ(p.r, 108);
    EXPECT_EQ(p.g, 93);
    EXPECT_EQ(p.b, 98);
    EXPECT_TRUE(dst.GetPixel2(10, 30) == (CPixel{98, 98, 98, 0}));

    ASSERT_EQ(Reduce(fx, src, dst, 7, 1), 0);
    p = dst.GetPixel2(30, 30);
    EXPECT_TRUE(p == (CPixel{98, 98, 98, 0})) << int(p.r) << "," << int(p.g) << "," << int(p.b);
}

TEST(NoiseReductionTest, BringsANoisyPhotoNearerToTheCleanOne)
{
    CQLImage clean, noisy, dst;
    denoisetest::MakeNoisyGradient(clean, noisy, 160, 120, 8.0, 7);
    NoiseReductionAlgorithm fx;
    ASSERT_EQ(Reduce(fx, noisy, dst, 10, 1), 0);
    EXPECT_LT(denoisetest::SquaredError(dst, clean), denoisetest::SquaredError(noisy, clean) * 0.8);
}

int g_cancelReports = 0;
NoiseReductionAlgorithm* g_cancelled = nullptr;
int CancelAtFirst(int, int)
{
    if (g_cancelReports++ == 0 && g_cancelled)
        g_cancelled->Cancel();
    return 0;
}

TEST(NoiseReductionTest, CancelFailsAndLeavesTheTargetInRgb)
{
    // Cancelled at the first report, the run stops at 12, after the noise
    // estimate: nothing has changed the luminance yet, and the target is
    // back in RGB (grey 60 would read V 128, U 128, Y 60 in YUV).
    CQLImage src, dst;
    MakeFlat(src, 50, 40, 60);
    NoiseReductionAlgorithm fx;
    g_cancelReports = 0;
    g_cancelled = &fx;
    effecttest::ForgetLastProgress();
    fx.SetCallback(CancelAtFirst);
    EXPECT_EQ(Reduce(fx, src, dst, 5, 1), E_FAIL);
    g_cancelled = nullptr;
    EXPECT_EQ(Bytes(dst), Bytes(src));
}

TEST(NoiseReductionTest, RefusesANullBlockOrTheSourceAsTarget)
{
    CQLImage src, dst;
    MakeFlat(src, 8, 8, 50);
    MakeFlat(dst, 2, 2, 9);
    const std::vector<BYTE> before = Bytes(dst);
    NoiseReductionAlgorithm fx;
    fx.SetImages(&src, &dst);
    EXPECT_EQ(fx.Apply(nullptr), E_FAIL);
    EXPECT_EQ(Bytes(dst), before);
    EXPECT_EQ(Reduce(fx, src, src, 5, 0), E_FAIL);
}

} // namespace
