#include "algorithms/DenoisePassAlgorithm.h"
#include "algorithms/NumericHelpers.h"
#include "algorithms/TiledDenoiseAlgorithm.h"
#include "algorithms/tests/DenoiseTestSupport.h"
#include "algorithms/tests/EffectTestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

namespace {

using effecttest::Bytes;
using effecttest::MakeFlat;

HRESULT Denoise(EffectAlgorithm& fx, CQLImage& src, CQLImage& dst, int iterations, int chroma)
{
    fx.SetImages(&src, &dst);
    fx.SetRange(0, 100);
    const DenoiseParams p = {iterations, chroma};
    return fx.Apply(&p);
}

// Grey rows from a table, 3 x 3 or larger.
void MakeGrey(CQLImage& image, int w, int h, const std::vector<int>& grey)
{
    image.Create(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const BYTE v = static_cast<BYTE>(grey[y * w + x]);
            image.PutPixel(x, y, {v, v, v, 255});
        }
}

std::vector<BYTE> EdgeBytes(const DenoisePassAlgorithm& fx, int x, int y)
{
    const BYTE* e = fx.EdgeImage().GetBuffer(x, y);
    return {e[0], e[1], e[2], e[3]};
}

TEST(DenoisePassTest, TheStrongestEdgesSaturateInsteadOfWrapping)
{
    // Code 2 (T + TL + TR - B - BL - BR) answers 86 + 85 + 85 = 256, more than
    // codes 0 (1), 1 (171) and 3 (-170): magnitude 255, never 256's low byte 0.
    // Above 2 the filter averages along code 2 (left, right): 50, alpha 0;
    // the colour restore then gives (50 * 25 + 230 * 50) >> 8 = 49.
    CQLImage src, dst;
    MakeGrey(src, 3, 3, {86, 85, 85, 50, 50, 50, 0, 0, 0});
    DenoisePassAlgorithm fx;
    ASSERT_EQ(Denoise(fx, src, dst, 1, 0), 0);
    EXPECT_EQ(EdgeBytes(fx, 1, 1), (std::vector<BYTE>{2, 255, 255, 2}));
    EXPECT_TRUE(dst.GetPixel2(1, 1) == (CPixel{49, 49, 49, 0}));
    EXPECT_EQ(dst.GetPixel2(1, 1).a, 0);
    EXPECT_EQ(dst.GetPixel2(0, 0).g, 85); // frame: restore only, 86 * 255 >> 8
}

TEST(DenoisePassTest, ColourBytesThatDisagreeLeaveNoMagnitude)
{
    // Red and green: left column 200 (index 0). Blue: top row 200 (index 2),
    // two away from the grey's index 0, so the magnitude is 0. The grey
    // responses 540, 400, 60, 320 give code 0.
    CQLImage src, dst;
    src.Create(3, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            src.PutPixel(x, y, {static_cast<BYTE>(y == 0 ? 200 : 0), static_cast<BYTE>(x == 0 ? 200 : 0),
                                static_cast<BYTE>(x == 0 ? 200 : 0), 255});
    DenoisePassAlgorithm fx;
    ASSERT_EQ(Denoise(fx, src, dst, 1, 0), 0);
    EXPECT_EQ(EdgeBytes(fx, 1, 1), (std::vector<BYTE>{0, 0, 0, 0}));

    // Blue with the same left column agrees: magnitude 540, saturated.
    for (int y = 0; y < 3; ++y)
        src.PutPixel(0, y, {200, 200, 200, 255});
    for (int x = 1; x < 3; ++x)
        src.PutPixel(x, 0, {0, 0, 0, 255});
    ASSERT_EQ(Denoise(fx, src, dst, 1, 0), 0);
    EXPECT_EQ(EdgeBytes(fx, 1, 1), (std::vector<BYTE>{0, 255, 255, 0}));
}

TEST(DenoisePassTest, TheNeighbourhoodVoteOverridesALoneDirection)
{
    // Rows 120, 100, 80, 60, 40 with column 1 raised by 50 in rows 1 to 3.
    // Codes and magnitudes of the 3 x 3 around the centre, row 1 to 3:
    // 2/70 1/130 2/120, 2/120 1/180 2/120, 2/170 1/180 2/120. Summed from the
    // bottom row up, code 2 leads at the end (720 against 490). The centre
    // (code 1) differs from both neighbours along code 1 (above-right,
    // below-left, both code 2), so byte 0 takes code 2 and byte 1 half the
    // centre's code-2 response 120: 60.
    CQLImage src, dst;
    MakeGrey(src, 5, 5,
             {120, 120, 120, 120, 120, 100, 150, 100, 100, 100, 80, 130, 80, 80, 80, 60, 110, 60, 60, 60, 40, 40, 40,
              40, 40});
    DenoisePassAlgorithm fx;
    ASSERT_EQ(Denoise(fx, src, dst, 1, 0), 0);
    EXPECT_EQ(EdgeBytes(fx, 2, 2), (std::vector<BYTE>{2, 60, 180, 1}));
    EXPECT_EQ(EdgeBytes(fx, 2, 3), (std::vector<BYTE>{1, 180, 180, 1})); // outside the voting rows
    // Along code 2: (130 + 80 + 80) / 3 = 96; restore with the source's 80:
    // (80 * 48 + 207 * 96) >> 8 = 92.
    EXPECT_TRUE(dst.GetPixel2(2, 2) == (CPixel{92, 92, 92, 0}));
}

struct FlatCase {
    int width;
    int height;
    int grey;
};

class FlatDenoise : public ::testing::TestWithParam<FlatCase> {};

TEST_P(FlatDenoise, EveryTileAndSizeGivesTheRestoreOfAFlatImage)
{
    // A flat image has no edge (code 4, magnitude 0): the filter takes the
    // local mean, the grey itself; the restore's weights sum to 255, so
    // (255 g) >> 8 = g - 1 for g > 0, with or without the chroma stage.
    const FlatCase c = GetParam();
    CQLImage src, dst;
    MakeFlat(src, c.width, c.height, c.grey, 33);
    const int want = c.grey == 0 ? 0 : c.grey - 1;
    for (int chroma : {0, 1}) {
        for (int iterations : {1, 4}) {
            TiledDenoiseAlgorithm fx;
            ASSERT_EQ(Denoise(fx, src, dst, iterations, chroma), 0);
            UINT w = 0, h = 0;
            dst.GetSize(&w, &h);
            ASSERT_EQ(static_cast<int>(w), c.width);
            ASSERT_EQ(static_cast<int>(h), c.height);
            for (int y = 0; y < c.height; ++y)
                for (int x = 0; x < c.width; ++x)
                    ASSERT_TRUE(dst.GetPixel2(x, y) == (CPixel{BYTE(want), BYTE(want), BYTE(want), 33}))
                        << x << "," << y << " chroma " << chroma;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, FlatDenoise,
                         ::testing::Values(FlatCase{1, 1, 100}, FlatCase{2, 2, 7}, FlatCase{3, 5, 255},
                                           FlatCase{100, 100, 0}, FlatCase{257, 3, 180}, FlatCase{385, 1, 64},
                                           FlatCase{2, 700, 90}, FlatCase{640, 300, 128}));

TEST(TiledDenoiseTest, TileGridRoundsToTilesOfAbout256)
{
    struct Case {
        int w, h, columns, rows;
    } cases[] = {{100, 100, 1, 1}, {640, 300, 3, 1}, {1, 1, 1, 1}, {383, 384, 1, 2}, {6000, 4000, 23, 16}};
    for (const Case& c : cases) {
        int columns = 0, rows = 0;
        TiledDenoiseAlgorithm::TileGrid(c.w, c.h, &columns, &rows);
        EXPECT_EQ(columns, c.columns) << c.w;
        EXPECT_EQ(rows, c.rows) << c.h;
    }
}

// The pass over the source region [x0 - 5, x1 + 5) x [y0 - 5, y1 + 5), clipped.
std::vector<BYTE> PassOverTile(CQLImage& src, int x0, int y0, int x1, int y1, int iterations, int chroma)
{
    UINT w = 0, h = 0;
    src.GetSize(&w, &h);
    const int ex0 = std::max(0, x0 - 5), ey0 = std::max(0, y0 - 5);
    const int ex1 = std::min(static_cast<int>(w), x1 + 5), ey1 = std::min(static_cast<int>(h), y1 + 5);
    CQLImage region, out;
    region.Create(ex1 - ex0, ey1 - ey0);
    for (int y = ey0; y < ey1; ++y)
        std::memcpy(region.GetBuffer(0, y - ey0), src.GetBuffer(ex0, y), static_cast<std::size_t>(ex1 - ex0) * 4);
    DenoisePassAlgorithm pass;
    EXPECT_EQ(Denoise(pass, region, out, iterations, chroma), 0);
    std::vector<BYTE> bytes;
    for (int y = y0; y < y1; ++y) {
        const BYTE* p = out.GetBuffer(x0 - ex0, y - ey0);
        bytes.insert(bytes.end(), p, p + (x1 - x0) * 4);
    }
    return bytes;
}

std::vector<BYTE> Rect(const CQLImage& image, int x0, int y0, int x1, int y1)
{
    std::vector<BYTE> bytes;
    for (int y = y0; y < y1; ++y) {
        const BYTE* p = image.GetBuffer(x0, y);
        bytes.insert(bytes.end(), p, p + (x1 - x0) * 4);
    }
    return bytes;
}

TEST(TiledDenoiseTest, EachTileIsThePassOverItsRegionWithAFivePixelOverlap)
{
    // 640 x 300: three columns 213, 213 and 214 wide, one row.
    CQLImage clean, src, dst;
    denoisetest::MakeNoisyGradient(clean, src, 640, 300, 12.0, 3);
    TiledDenoiseAlgorithm fx;
    ASSERT_EQ(Denoise(fx, src, dst, 2, 1), 0);
    const int edges[4] = {0, 213, 426, 640};
    for (int t = 0; t < 3; ++t)
        EXPECT_EQ(Rect(dst, edges[t], 0, edges[t + 1], 300), PassOverTile(src, edges[t], 0, edges[t + 1], 300, 2, 1))
            << "tile " << t;

    // 100 x 100 is one tile: the pass over the whole image.
    CQLImage small, smallClean, whole;
    denoisetest::MakeNoisyGradient(smallClean, small, 100, 100, 12.0, 4);
    ASSERT_EQ(Denoise(fx, small, dst, 3, 0), 0);
    DenoisePassAlgorithm pass;
    ASSERT_EQ(Denoise(pass, small, whole, 3, 0), 0);
    EXPECT_EQ(Bytes(dst), Bytes(whole));
}

TEST(TiledDenoiseTest, IterationsOutsideOneToFourAreClamped)
{
    CQLImage clean, src, a, b;
    denoisetest::MakeNoisyGradient(clean, src, 40, 30, 10.0, 5);
    DenoisePassAlgorithm fx;
    ASSERT_EQ(Denoise(fx, src, a, 0, 0), 0);
    ASSERT_EQ(Denoise(fx, src, b, 1, 0), 0);
    EXPECT_EQ(Bytes(a), Bytes(b));
    ASSERT_EQ(Denoise(fx, src, a, 9, 1), 0);
    ASSERT_EQ(Denoise(fx, src, b, 4, 1), 0);
    EXPECT_EQ(Bytes(a), Bytes(b));
}

TEST(TiledDenoiseTest, BringsANoisyPhotoNearerToTheCleanOne)
{
    CQLImage clean, noisy, dst;
    denoisetest::MakeNoisyGradient(clean, noisy, 300, 280, 8.0, 11);
    for (int chroma : {0, 1}) {
        TiledDenoiseAlgorithm fx;
        ASSERT_EQ(Denoise(fx, noisy, dst, 3, chroma), 0);
        EXPECT_LT(denoisetest::SquaredError(dst, clean), denoisetest::SquaredError(noisy, clean) * 0.8) << chroma;
    }
}

DenoisePassAlgorithm* g_pass = nullptr;
int CancelAt66(int, int value)
{
    if (value == 66 && g_pass)
        g_pass->Cancel();
    return 0;
}

TEST(DenoisePassTest, ACancelInTheChromaStageLeavesTheTargetInRgb)
{
    // Cancelled right after the conversion to YUV: the flat grey 60 has kept
    // its value so far, and comes back as grey, not as V 128, U 128, Y 60.
    CQLImage src, dst;
    MakeFlat(src, 20, 20, 60);
    DenoisePassAlgorithm fx;
    g_pass = &fx;
    effecttest::ForgetLastProgress();
    fx.SetCallback(CancelAt66);
    EXPECT_EQ(Denoise(fx, src, dst, 2, 1), E_FAIL);
    g_pass = nullptr;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x)
            ASSERT_TRUE(dst.GetPixel2(x, y) == (CPixel{60, 60, 60, 0})) << x << "," << y;
}

TEST(TiledDenoiseTest, RefusesANullBlockOrTheSourceAsTarget)
{
    CQLImage src, dst;
    MakeFlat(src, 8, 8, 50);
    MakeFlat(dst, 2, 2, 9);
    const std::vector<BYTE> before = Bytes(dst);
    TiledDenoiseAlgorithm fx;
    DenoisePassAlgorithm pass;
    for (EffectAlgorithm* e : {static_cast<EffectAlgorithm*>(&fx), static_cast<EffectAlgorithm*>(&pass)}) {
        e->SetImages(&src, &dst);
        EXPECT_EQ(e->Apply(nullptr), E_FAIL);
        EXPECT_EQ(Bytes(dst), before);
        EXPECT_EQ(Denoise(*e, src, src, 1, 0), E_FAIL);
    }
}

} // namespace

namespace {

// Noise in every byte, so that windows mix taken and refused pixels.
void MakeColourNoise(CQLImage& image, int w, int h, unsigned seed)
{
    std::mt19937 rng(seed);
    image.Create(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int base = 60 + (x * 5 + y * 3) % 90;
            image.PutPixel(x, y, {static_cast<BYTE>(base + rng() % 60), static_cast<BYTE>(base + rng() % 50),
                                  static_cast<BYTE>(base + rng() % 70), 255});
        }
}

TEST(DenoisePassTest, WeakEdgesTakeTheSharedLocalColourMean)
{
    // One iteration (T 2, S 1) without chroma: where byte 1 is at most 2 the
    // pixel is ((2 - m) N + m D) >> 1 with N from LocalColorMean over the
    // source, then the colour restore. Sizes that put windows across every border.
    for (int size : {7, 13, 30}) {
        CQLImage src, dst;
        MakeColourNoise(src, size, size - 2, static_cast<unsigned>(size));
        DenoisePassAlgorithm fx;
        ASSERT_EQ(Denoise(fx, src, dst, 1, 0), 0);
        int weak = 0;
        for (int y = 1; y < size - 3; ++y)
            for (int x = 1; x < size - 1; ++x) {
                const BYTE* e = fx.EdgeImage().GetBuffer(x, y);
                if (e[1] > 2)
                    continue;
                ++weak;
                static constexpr int kX[4][2] = {{0, 0}, {1, -1}, {-1, 1}, {-1, 1}};
                static constexpr int kY[4][2] = {{-1, 1}, {-1, 1}, {0, 0}, {-1, 1}};
                const int a = e[0] % 4;
                const CPixel p = src.GetPixel2(x, y);
                const CPixel n1 = src.GetPixel2(x + kX[a][0], y + kY[a][0]);
                const CPixel n2 = src.GetPixel2(x + kX[a][1], y + kY[a][1]);
                const CPixel mean = LocalColorMean(&src, x, y);
                const int pv[3] = {p.b, p.g, p.r}, v1[3] = {n1.b, n1.g, n1.r}, v2[3] = {n2.b, n2.g, n2.r};
                const int nv[3] = {mean.b, mean.g, mean.r};
                const BYTE* out = dst.GetBuffer(x, y);
                for (int c = 0; c < 3; ++c) {
                    const int filtered = ((2 - e[1]) * nv[c] + e[1] * ((pv[c] + v1[c] + v2[c]) / 3)) >> 1;
                    const int d = filtered / 2;
                    ASSERT_EQ(out[c], (pv[c] * d + (255 - d) * filtered) >> 8) << size << ": " << x << "," << y;
                }
            }
        EXPECT_GT(weak, 0);
    }
}

TEST(DenoisePassTest, ChromaTakesTheMeanOfSimilarPixelsIn17By17)
{
    // With one iteration and the chroma stage, the edge image keeps the YUV
    // target before smoothing: U and V become the means over the window of
    // the pixels within 40 (|dU| + |dV|), Y gets the luma restore.
    CQLImage src, dst;
    MakeColourNoise(src, 29, 23, 9);
    DenoisePassAlgorithm fx;
    ASSERT_EQ(Denoise(fx, src, dst, 1, 1), 0);
    const CQLImage& yuv = fx.EdgeImage();
    for (int y = 0; y < 23; ++y)
        for (int x = 0; x < 29; ++x) {
            const BYTE* c = yuv.GetBuffer(x, y);
            int count = 0, sum1 = 0, sum0 = 0;
            for (int j = std::max(0, y - 8); j <= std::min(22, y + 8); ++j)
                for (int i = std::max(0, x - 8); i <= std::min(28, x + 8); ++i) {
                    const BYTE* v = yuv.GetBuffer(i, j);
                    if (std::abs(v[1] - c[1]) + std::abs(v[0] - c[0]) <= 40)
                        ++count, sum1 += v[1], sum0 += v[0];
                }
            const int luma = c[2], d = luma / 2;
            const int grey = src.GetPixel2(x, y).GetGray2();
            CPixel want = {static_cast<BYTE>(sum0 / count), static_cast<BYTE>(sum1 / count),
                           static_cast<BYTE>((grey * d + (255 - d) * luma) >> 8), 0};
            qlcodec::YuvToRgbPixel(&want.b);
            ASSERT_TRUE(dst.GetPixel2(x, y) == want) << x << "," << y;
        }
}

} // namespace
