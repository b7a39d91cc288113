#include "algorithms/DescreenAlgorithm.h"
#include "algorithms/tests/EffectTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

using effecttest::Bytes;
using effecttest::MakeFlat;

constexpr int kN = 256;

// --- Suppression on hand-made coefficient blocks ---------------------------

// Index k = (i + j) / 2 holds the 403 coefficients with i + j = 2k or 2k + 1
// (for k = 100: 201 + 202).
std::vector<double> Background(int k, double value)
{
    std::vector<double> c(kN * kN, 0.0);
    for (int i = 0; i < kN; ++i)
        for (int j = 0; j < kN; ++j)
            if ((i + j) / 2 == k)
                c[i * kN + j] = value;
    return c;
}

int CountAt(int k)
{
    int n = 0;
    for (int i = 0; i < kN; ++i)
        for (int j = 0; j < kN; ++j)
            n += (i + j) / 2 == k;
    return n;
}

struct SuppressCase {
    const char* name;
    int patternSize;
    int strength;
    int k;          // index of the background of 1.0 and of the outlier
    double outlier; // at (i, j) = (k, k)
    double expected;
};

// The outlier's value after suppression, from the formulas: first mean m1 over
// n values, typical = 1 when the outlier is at least 4 m1, else the mean of all.
double Expected(int k, double outlier, int strength)
{
    const int n = CountAt(k);
    const double m1 = (n - 1 + std::fabs(outlier)) / n;
    const double typical = std::fabs(outlier) < 4 * m1 ? m1 : 1.0;
    const double ratio = std::fabs(outlier) / typical;
    const double g = (100 - strength) * 0.025 + 2;
    const double e = std::fabs(std::trunc(outlier));
    double v = e;
    if (ratio > 1.8 * g)
        v = 0;
    else if (ratio > g)
        v = e / ((ratio - g) * strength * 0.058823529411764705 + 1);
    return outlier < 0 ? -v : v;
}

class FrequencyDescreenSuppress : public ::testing::TestWithParam<SuppressCase> {};

TEST_P(FrequencyDescreenSuppress, OutlierFollowsTheRatioRule)
{
    const SuppressCase& c = GetParam();
    std::vector<double> block = Background(c.k, 1.0);
    block[c.k * kN + c.k] = c.outlier;
    DescreenAlgorithm::Suppress(block.data(), c.patternSize, c.strength);
    EXPECT_NEAR(block[c.k * kN + c.k], c.expected, 1e-12);
    // The background is at the typical magnitude: kept (and already whole).
    EXPECT_EQ(block[c.k * kN + c.k + 1], 1.0);
    EXPECT_EQ(block[0], 0.0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FrequencyDescreenSuppress,
    ::testing::Values(
        // Far above the typical magnitude (ratio 1000 > 1.8 g): removed.
        SuppressCase{"FarOutlierRemoved", 0, 50, 100, 1000.0, 0.0},
        SuppressCase{"NegativeFarOutlierRemoved", 0, 50, 100, -1000.0, 0.0},
        // Strength 100: g = 2, 1.8 g = 3.6; 3 counts in the mean (3 < 4 m1),
        // typical 405 / 403, ratio 2.985: divided by (ratio - 2) * 100 / 17 + 1.
        SuppressCase{"MiddleBandDivided", 0, 100, 100, 3.0, Expected(100, 3.0, 100)},
        SuppressCase{"MiddleBandKeepsSign", 0, 100, 100, -3.0, Expected(100, -3.0, 100)},
        // 3.7 / (405.7 / 403) = 3.675 > 3.6: removed.
        SuppressCase{"JustAboveTheCutRemoved", 0, 100, 100, 3.7, 0.0},
        // Strength 0: g = 4.5, cut 8.1; ratio 8 is divided by 1, 8.2 removed.
        SuppressCase{"StrengthZeroKeepsRatioEight", 0, 0, 100, 8.0, 8.0},
        SuppressCase{"StrengthZeroRemovesAboveEightPointOne", 0, 0, 100, 8.2, 0.0},
        // Strengths outside 0..100 act as the nearest end (a negative one
        // would make the divisor pass through zero).
        SuppressCase{"NegativeStrengthActsAsZero", 0, -100, 100, 8.0, 8.0},
        SuppressCase{"StrengthAboveRangeActsAsHundred", 0, 1000, 100, 3.0, Expected(100, 3.0, 100)},
        // The lowest index that may be suppressed lies above 85, 51 or 21.
        SuppressCase{"SmallKeepsIndex85", 0, 50, 85, 1000.0, 1000.0},
        SuppressCase{"SmallSuppressesIndex86", 0, 50, 86, 1000.0, 0.0},
        SuppressCase{"MediumKeepsIndex51", 1, 50, 51, 1000.0, 1000.0},
        SuppressCase{"MediumSuppressesIndex52", 1, 50, 52, 1000.0, 0.0},
        SuppressCase{"BigKeepsIndex21", 2, 50, 21, 1000.0, 1000.0},
        SuppressCase{"BigSuppressesIndex22", 2, 50, 22, 1000.0, 0.0},
        SuppressCase{"UnknownPatternSuppressesNothing", 3, 50, 200, 1000.5, 1000.0},
        // Kept coefficients lose their fraction, toward zero.
        SuppressCase{"KeptValueTruncated", 0, 50, 40, -2.7, -2.0}),
    [](const ::testing::TestParamInfo<SuppressCase>& info) { return info.param.name; });

TEST(FrequencyDescreenTest, AllZeroIndexStaysZero)
{
    // Typical magnitude 0 (no values below 4 x 0): nothing to divide by.
    std::vector<double> block(kN * kN, 0.0);
    block[0] = 5.5;
    DescreenAlgorithm::Suppress(block.data(), 2, 50);
    EXPECT_EQ(block[0], 5.0);
    for (std::size_t i = 1; i < block.size(); ++i)
        ASSERT_EQ(block[i], 0.0) << i;
}

// --- The effect -------------------------------------------------------------

HRESULT Descreen(CQLImage& src, CQLImage& dst, DescreenParams p)
{
    DescreenAlgorithm fx;
    fx.SetImages(&src, &dst);
    fx.SetRange(0, 100);
    return fx.Apply(&p);
}

// Level 128 + amplitude x cos(pi (2 (x + 16) + 1) u / 512) in every colour
// byte: for u a multiple of 32 it is one cosine of every tile's block, at
// index u / 2 (the mirror at x = -1/2 continues it).
void MakeScreen(CQLImage& image, int w, int h, int u, double amplitude)
{
    image.Create(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int v = static_cast<int>(std::lround(128 + amplitude * std::cos(3.14159265358979 * (2 * (x + 16) + 1) * u / 512.0)));
            image.PutPixel(x, y, {static_cast<BYTE>(v), static_cast<BYTE>(v), static_cast<BYTE>(v), 200});
        }
}

struct FlatCase {
    int w, h;
    DescreenParams params;
};

TEST(FrequencyDescreenTest, FlatPhotosOfAnySizeComeBackUnchanged)
{
    // Only the mean survives the transform of a flat block; the photo's edges
    // are mirrored, so border tiles are flat too.
    const FlatCase cases[] = {
        {1, 1, {0, 50, 0, 0}},   {3, 2, {2, 100, 0, 1}},  {1, 300, {1, 0, 0, 0}}, {224, 224, {0, 100, 0, 0}},
        {225, 449, {2, 50, 0, 1}}, {500, 231, {1, 70, 1, 0}}, {700, 5, {0, 100, 1, 1}},
    };
    for (const FlatCase& c : cases) {
        CQLImage src, dst;
        MakeFlat(src, c.w, c.h, 93, 17);
        ASSERT_EQ(Descreen(src, dst, c.params), 0) << c.w << "x" << c.h;
        EXPECT_EQ(Bytes(dst), Bytes(src)) << c.w << "x" << c.h;
    }
}

TEST(FrequencyDescreenTest, LumaOnlyGoesThroughTheYuvForm)
{
    // B 40, G 100, R 200: Y = round(59.8 + 58.7 + 4.56) = 123,
    // U = round(-33.75 - 33.13 + 20) + 128 = 81, V = round(100 - 41.87 - 3.25) + 128 = 183.
    // Back: R = 123 + ((1436 x 55 + 512) >> 10) = 200,
    // G = 123 + ((352 x 47 - 714 x 55 + 512) >> 10) = 123 - 22 = 101,
    // B = 123 + ((-1814 x 47 + 512) >> 10) = 123 - 83 = 40.
    CQLImage src, dst;
    src.Create(300, 250);
    for (int y = 0; y < 250; ++y)
        for (int x = 0; x < 300; ++x)
            src.PutPixel(x, y, {40, 100, 200, 9});
    ASSERT_EQ(Descreen(src, dst, {0, 60, 1, 0}), 0);
    for (int y = 0; y < 250; ++y)
        for (int x = 0; x < 300; ++x) {
            const CPixel p = dst.GetPixel2(x, y);
            ASSERT_TRUE(p.b == 40 && p.g == 101 && p.r == 200 && p.a == 9) << x << "," << y;
        }
    // Without lumaOnly the flat colour photo is untouched.
    ASSERT_EQ(Descreen(src, dst, {0, 60, 0, 0}), 0);
    EXPECT_EQ(Bytes(dst), Bytes(src));
}

TEST(FrequencyDescreenTest, FineScreenIsRemovedAcrossTiles)
{
    // u = 192: index 96 lies above every pattern size's limit; the cosine
    // stands far above the rounding noise at its index and goes, leaving
    // the mean (amplitude 40 before).
    CQLImage src, dst;
    MakeScreen(src, 672, 450, 192, 40);
    for (const DescreenParams p : {DescreenParams{0, 50, 0, 0}, DescreenParams{2, 0, 0, 1}, DescreenParams{1, 100, 1, 0}}) {
        ASSERT_EQ(Descreen(src, dst, p), 0);
        int worst = 0;
        for (int y = 0; y < 450; ++y)
            for (int x = 0; x < 672; ++x) {
                const CPixel q = dst.GetPixel2(x, y);
                worst = std::max({worst, std::abs(q.b - 128), std::abs(q.g - 128), std::abs(q.r - 128)});
                ASSERT_EQ(q.a, 200);
            }
        EXPECT_LE(worst, 3) << p.patternSize << " " << p.strength;
    }
}

TEST(FrequencyDescreenTest, CoarsePatternBelowTheLimitIsKept)
{
    // u = 32: index 16, at or below every limit, so only the truncation of
    // the coefficients touches it. The period is 16 pixels and the width a
    // multiple of 8, so the mirrored borders continue the cosine smoothly.
    CQLImage src, dst;
    MakeScreen(src, 496, 300, 32, 40);
    for (int pattern = 0; pattern < 3; ++pattern) {
        ASSERT_EQ(Descreen(src, dst, {pattern, 100, 0, 1}), 0);
        const std::vector<BYTE> a = Bytes(src), b = Bytes(dst);
        int worst = 0;
        for (std::size_t i = 0; i < a.size(); ++i)
            worst = std::max(worst, std::abs(a[i] - b[i]));
        EXPECT_LE(worst, 1) << pattern;
    }
}

TEST(FrequencyDescreenTest, InPlaceGivesTheSameResult)
{
    CQLImage src, dst, inPlace;
    MakeScreen(src, 300, 260, 192, 30);
    for (int y = 0; y < 260; y += 7)
        for (int x = 0; x < 300; x += 5)
            src.PutPixel(x, y, {10, 200, 90, 1});
    ASSERT_EQ(Descreen(src, dst, {1, 80, 0, 0}), 0);
    ASSERT_TRUE(inPlace.DuplicateFrom(&src));
    ASSERT_EQ(Descreen(inPlace, inPlace, {1, 80, 0, 0}), 0);
    EXPECT_EQ(Bytes(inPlace), Bytes(dst));
}

TEST(FrequencyDescreenTest, CancelLeavesNoPixelInTheYuvForm)
{
    // Each pixel is either the source's or the finished (40, 101, 200).
    CQLImage src, dst;
    src.Create(700, 500);
    for (int y = 0; y < 500; ++y)
        for (int x = 0; x < 700; ++x)
            src.PutPixel(x, y, {40, 100, 200, 255});
    static DescreenAlgorithm* running = nullptr;
    DescreenAlgorithm fx;
    running = &fx;
    fx.SetImages(&src, &dst);
    fx.SetRange(0, 100);
    fx.SetCallback([](int, int) {
        running->Cancel();
        return 0;
    });
    effecttest::ForgetLastProgress();
    const DescreenParams p = {0, 50, 1, 0};
    EXPECT_EQ(fx.Apply(&p), E_FAIL);
    for (int y = 0; y < 500; ++y)
        for (int x = 0; x < 700; ++x) {
            const CPixel q = dst.GetPixel2(x, y);
            ASSERT_TRUE(q.b == 40 && q.r == 200 && (q.g == 100 || q.g == 101)) << x << "," << y;
        }
}

TEST(FrequencyDescreenTest, MissingParametersFail)
{
    CQLImage src, dst;
    MakeFlat(src, 4, 4, 10);
    DescreenAlgorithm fx;
    fx.SetImages(&src, &dst);
    EXPECT_EQ(fx.Apply(nullptr), E_FAIL);
}

} // namespace
