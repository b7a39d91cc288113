#include "algorithms/NumericHelpers.h"
#include "algorithms/tests/EffectTestSupport.h"
#include "imagecore/QLChannel.h"
#include "imagecore/QLImage.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

TEST(FftTest, ImpulseGivesOnesAndSmallTransformMatchesHandValues)
{
    Complex x[8] = {{1, 0}};
    Complex f[8];
    ASSERT_TRUE(Fft(x, f, 3));
    for (const Complex& c : f) {
        EXPECT_DOUBLE_EQ(c.re, 1.0);
        EXPECT_DOUBLE_EQ(c.im, 0.0);
    }
    // [1, 2, 3, 4] -> [10, -2 + 2i, -2, -2 - 2i], in place.
    Complex y[4] = {{1, 0}, {2, 0}, {3, 0}, {4, 0}};
    ASSERT_TRUE(Fft(y, y, 2));
    const double expected[4][2] = {{10, 0}, {-2, 2}, {-2, 0}, {-2, -2}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(y[i].re, expected[i][0], 1e-6);
        EXPECT_NEAR(y[i].im, expected[i][1], 1e-6);
    }
    // The twiddle angle is built from 6.2831852, not 2 pi: F[1] of a unit at 1 is W[1].
    Complex u[4] = {{0, 0}, {1, 0}, {0, 0}, {0, 0}};
    ASSERT_TRUE(Fft(u, u, 2));
    EXPECT_DOUBLE_EQ(u[1].re, std::cos(-6.2831852 / 4));
    EXPECT_DOUBLE_EQ(u[1].im, std::sin(-6.2831852 / 4));
}

TEST(FftTest, InverseUndoesForwardAndLimitsAreRefused)
{
    Complex x[512], f[512], back[512];
    for (int i = 0; i < 512; ++i)
        x[i] = {std::sin(i * 0.1) * 50 + i % 7, std::cos(i * 0.3) * 3};
    ASSERT_TRUE(Fft(x, f, 9));
    ASSERT_TRUE(InverseFft(f, back, 9));
    for (int i = 0; i < 512; ++i) {
        EXPECT_NEAR(back[i].re, x[i].re, 1e-6);
        EXPECT_NEAR(back[i].im, x[i].im, 1e-6);
    }
    EXPECT_FALSE(Fft(x, f, 10));
    EXPECT_FALSE(InverseFft(x, f, -1));
    double d[512] = {};
    EXPECT_FALSE(Dct(d, d, 9));
    EXPECT_FALSE(InverseDct(d, d, 9));
}

TEST(DctTest, ConstantHasOnlyTheFirstCoefficientAndInverseRoundTrips)
{
    double c[8] = {1, 1, 1, 1, 1, 1, 1, 1};
    ASSERT_TRUE(Dct(c, c, 3));
    EXPECT_NEAR(c[0], std::sqrt(8.0), 1e-9);
    for (int k = 1; k < 8; ++k)
        EXPECT_NEAR(c[k], 0.0, 1e-6);

    // A cosine of frequency 1: X[1] = sqrt(N / 2) for the orthonormal form.
    double wave[8];
    for (int n = 0; n < 8; ++n)
        wave[n] = std::cos(M_PI * (2 * n + 1) / 16);
    double w[8];
    ASSERT_TRUE(Dct(wave, w, 3));
    EXPECT_NEAR(w[1], 2.0, 1e-6);
    EXPECT_NEAR(w[2], 0.0, 1e-6);

    const double x[8] = {12, -3, 7.5, 100, 0, 42, -17, 3};
    double y[8], z[8];
    ASSERT_TRUE(Dct(x, y, 3));
    ASSERT_TRUE(InverseDct(y, z, 3));
    for (int i = 0; i < 8; ++i)
        EXPECT_NEAR(z[i], x[i], 1e-5);
}

TEST(DctBlockTest, LoadReadsZeroOutsideTheImageAndTransformRoundTrips)
{
    CQLImage image;
    image.Create(3, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            image.PutPixel(x, y, {static_cast<BYTE>(10 * x + y), static_cast<BYTE>(100 + x), 0, 0});

    DctBlock block;
    ASSERT_EQ(block.Create(2), 1);
    EXPECT_EQ(block.size, 4);
    EXPECT_EQ(block.power, 2);
    block.Load(&image, 0, -1, -1);
    const double expected[16] = {0, 0, 0, 0, 0, 0, 10, 20, 0, 1, 11, 21, 0, 0, 0, 0};
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(block.data[i], expected[i]) << i;

    block.Load(&image, 1, 1, 0); // crosses the right and bottom edges
    EXPECT_EQ(block.data[0], 101);
    EXPECT_EQ(block.data[1], 102);
    EXPECT_EQ(block.data[2], 0);
    EXPECT_EQ(block.data[4], 101);
    EXPECT_EQ(block.data[8], 0);

    std::vector<double> before(block.data, block.data + 16);
    block.Transform(1);
    EXPECT_NEAR(block.data[0], (101 + 102 + 101 + 102) / 4.0, 1e-6); // the DC term of a 4 x 4 block: sum / 4
    block.Transform(0);
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(block.data[i], before[i], 1e-5);

    EXPECT_EQ(block.Create(9), 0); // over the limit: no data, power kept
    EXPECT_EQ(block.data, nullptr);
    EXPECT_EQ(block.power, 2);
}

TEST(PixelRunTest, BlendIsTruncatedWeightedSumAndZeroWeightsCopy)
{
    const BYTE a[8] = {0, 100, 200, 255, 1, 2, 3, 4};
    const BYTE b[8] = {255, 50, 10, 255, 9, 8, 7, 6};
    BYTE out[8];
    BlendPixelRuns(out, a, b, 2, 4, 64, 192);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(out[i], (a[i] * 64 + b[i] * 192) >> 8) << i;
    BlendPixelRuns(out, a, b, 2, 4, 256, 0);
    EXPECT_EQ(std::vector<BYTE>(out, out + 8), std::vector<BYTE>(a, a + 8));
    BlendPixelRuns(out, a, b, 2, 4, 0, 256);
    EXPECT_EQ(std::vector<BYTE>(out, out + 8), std::vector<BYTE>(b, b + 8));

    // Long runs (the packed path) and a step of two pixels.
    std::vector<BYTE> la(4 * 37), lb(4 * 37), lo(4 * 37, 0);
    for (std::size_t i = 0; i < la.size(); ++i) {
        la[i] = static_cast<BYTE>(i * 7);
        lb[i] = static_cast<BYTE>(255 - i * 3);
    }
    BlendPixelRuns(lo.data(), la.data(), lb.data(), 37, 4, 200, 56);
    for (std::size_t i = 0; i < la.size(); ++i)
        EXPECT_EQ(lo[i], (la[i] * 200 + lb[i] * 56) >> 8) << i;
    std::fill(lo.begin(), lo.end(), 0);
    BlendPixelRuns(lo.data(), la.data(), lb.data(), 18, 8, 128, 128);
    for (std::size_t i = 0; i < la.size(); ++i)
        EXPECT_EQ(lo[i], (i % 8) < 4 && i / 8 < 18 ? (la[i] + lb[i]) >> 1 : 0) << i;
}

TEST(PixelRunTest, TransposeCopyTurnsABlock)
{
    const INT src[6] = {1, 2, 3, 4, 5, 6}; // 3 wide, 2 high
    INT dst[6] = {};
    TransposeCopy(dst, 2, src, 3, 2, 3);
    EXPECT_EQ(std::vector<INT>(dst, dst + 6), (std::vector<INT>{1, 4, 2, 5, 3, 6}));
}

TEST(PixelRunTest, ResampleLinesFollowsTheCubicBlends)
{
    // Two lines of one pixel to four: A = 0, 0.5, 1, 1.5 with weights
    // K(0) = 1367, K(0.5) = 897, K(1) = 84 and K(1.5) = -129 (x 256).
    const BYTE src[8] = {100, 100, 100, 100, 200, 200, 200, 200};
    BYTE dst[16] = {};
    ASSERT_EQ(ResampleLines(dst, src, 1, 4, 2, 4), 1);
    const int expected[4] = {
        (100 * 241 + 200 * 15) >> 8,   // 256 * 1367 / 1451 = 241
        (100 * 128 + 200 * 128) >> 8,  // equal weights
        (100 * 14 + 200 * 242) >> 8,   // 256 * 84 / 1451 = 14
        217,                           // round((200 * 897 - 100 * 129) / 768)
    };
    for (int k = 0; k < 4; ++k)
        for (int c = 0; c < 4; ++c)
            EXPECT_EQ(dst[k * 4 + c], expected[k]) << "line " << k;

    // The same number of lines gives the lines back.
    BYTE same[12] = {1, 2, 3, 4, 50, 60, 70, 80, 250, 9, 0, 255};
    BYTE out[12] = {};
    ASSERT_EQ(ResampleLines(out, same, 1, 4, 3, 3), 1);
    EXPECT_EQ(std::vector<BYTE>(out, out + 12), std::vector<BYTE>(same, same + 12));
}

TEST(PixelRunTest, ResampleLinesShrinksWithinTheInputRange)
{
    // A long ramp shrunk by 3: each output stays near its source line.
    std::vector<BYTE> src(4 * 90), dst(4 * 30);
    for (int i = 0; i < 90; ++i)
        for (int c = 0; c < 4; ++c)
            src[i * 4 + c] = static_cast<BYTE>(i * 2);
    ASSERT_EQ(ResampleLines(dst.data(), src.data(), 1, 4, 90, 30), 1);
    for (int k = 2; k < 28; ++k)
        EXPECT_NEAR(dst[k * 4], k * 6, 2) << k;
}

TEST(PixelRunTest, LocalColorMeanAveragesSimilarNeighbours)
{
    CQLImage image;
    image.Create(3, 1);
    image.PutPixel(0, 0, {110, 110, 110, 1});
    image.PutPixel(1, 0, {100, 100, 100, 77});
    image.PutPixel(2, 0, {0, 0, 0, 2}); // 300 away: left out
    const CPixel m = LocalColorMean(&image, 1, 0);
    EXPECT_EQ(m.b, 105);
    EXPECT_EQ(m.g, 105);
    EXPECT_EQ(m.r, 105);
    EXPECT_EQ(m.a, 77);
}

TEST(ScalerTest, BilinearEnlargeUsesWeightsOf255AndOnePixelTargets)
{
    // 2 x 1 -> 3 x 1: columns 0, 0 (f 128), 1; a one-row target reads row 0.
    CQLImage src, dst;
    src.Create(2, 1);
    src.PutPixel(0, 0, {100, 100, 100, 100});
    src.PutPixel(1, 0, {200, 200, 200, 200});
    dst.Create(3, 1);
    ASSERT_EQ(ResizeImage(&src, &dst, 3, 1, 0, 0, -1, -1, 0), 1);
    const int expected[3] = {(100 * 255 * 255) >> 16, ((100 * 127 + 200 * 128) * 255) >> 16, (200 * 255 * 255) >> 16};
    for (int x = 0; x < 3; ++x)
        EXPECT_EQ(dst.GetPixel2(x, 0).b, expected[x]) << x;
    EXPECT_EQ(expected[1], 149);

    // A single pixel to a single pixel.
    CQLImage one, out;
    effecttest::MakeFlat(one, 1, 1, 200, 40);
    out.Create(1, 1);
    ASSERT_EQ(ResizeImage(&one, &out, 1, 1, 0, 0, 1, 1, 0), 1);
    EXPECT_EQ(out.GetPixel2(0, 0).r, (200 * 255 * 255) >> 16);

    // Alpha only: colours stay.
    CQLImage keep;
    effecttest::MakeFlat(keep, 3, 1, 7, 0);
    ASSERT_EQ(ResizeImage(&src, &keep, 3, 1, 0, 0, -1, -1, 1), 1);
    EXPECT_EQ(keep.GetPixel2(1, 0).b, 7);
    EXPECT_EQ(keep.GetPixel2(1, 0).a, 149);

    // A target of another size or an empty region is refused.
    EXPECT_EQ(ResizeImage(&src, &keep, 4, 1, 0, 0, -1, -1, 0), 0);
    EXPECT_EQ(ResizeImage(&src, &keep, 3, 1, 2, 0, -1, -1, 0), 0);
}

TEST(ScalerTest, BilinearEnlargeOfRowsAndColumns)
{
    // 2 x 2 -> 4 x 4: positions 0, 0 (85), 0 (170), 1 on both axes.
    CQLChannel src, dst;
    src.Create(2, 2);
    src.Set(0, 0, 75);
    src.Set(1, 0, 124);
    src.Set(0, 1, 75);
    src.Set(1, 1, 124);
    ASSERT_EQ(ResizeChannel(&src, &dst, 4, 4, 0, 0, -1, -1), 1); // creates the target
    const int row0[4] = {74, 90, 106, 123};
    const int row1[4] = {73, 90, 106, 123}; // (h * 170) >> 16 + (h * 85) >> 16
    for (int x = 0; x < 4; ++x) {
        EXPECT_EQ(dst.Get(x, 0), row0[x]) << x;
        EXPECT_EQ(dst.Get(x, 1), row1[x]) << x;
        EXPECT_EQ(dst.Get(x, 3), row0[x]) << x;
    }
}

TEST(ScalerTest, AreaReductionWeighsPartlyCoveredPixels)
{
    // 3 -> 2: [0, 1.5) and [1.5, 3): (30 * 1024 + 60 * 512) / 1536 = 40, then 80.
    CQLImage src, dst;
    src.Create(3, 1);
    src.PutPixel(0, 0, {30, 30, 30, 30});
    src.PutPixel(1, 0, {60, 60, 60, 60});
    src.PutPixel(2, 0, {90, 90, 90, 90});
    dst.Create(2, 1);
    ASSERT_EQ(ShrinkImageArea(&src, &dst, 2, 1, 0, 0, -1, -1), 1);
    EXPECT_EQ(dst.GetPixel2(0, 0).g, 40);
    EXPECT_EQ(dst.GetPixel2(1, 0).a, 80);

    // Resizing to a smaller size takes the area path; a region is honoured.
    CQLChannel plane, small;
    plane.Create(5, 2);
    for (int x = 0; x < 5; ++x) {
        plane.Set(x, 0, static_cast<BYTE>(x * 10));
        plane.Set(x, 1, static_cast<BYTE>(x * 10 + 100));
    }
    ASSERT_EQ(ResizeChannel(&plane, &small, 2, 1, 1, 0, 4, -1), 1);
    EXPECT_EQ(small.Get(0, 0), (10 + 20 + 110 + 120) / 4);
    EXPECT_EQ(small.Get(1, 0), (30 + 40 + 130 + 140) / 4);

    // Wide rows beyond any fixed accumulator size.
    CQLChannel wide, half;
    wide.Create(50001, 1);
    for (int x = 0; x < 50001; ++x)
        wide.Set(x, 0, static_cast<BYTE>(x & 1 ? 200 : 100));
    half.Create(25000, 1);
    ASSERT_EQ(ShrinkChannelArea(&wide, &half, 25000, 1, 0, 0, 50000, -1), 1);
    EXPECT_EQ(half.Get(0, 0), 150);
    EXPECT_EQ(half.Get(24999, 0), 150);
}

TEST(HermiteTest, MatchesTheCubicBasis)
{
    EXPECT_DOUBLE_EQ(HermiteInterpolate(0, 1, 0, 1, 1, 1, 0.5), 0.5);
    EXPECT_DOUBLE_EQ(HermiteInterpolate(0, 1, 0, 0, 1, 0, 0.5), 0.125); // t (1 - t)^2
    EXPECT_DOUBLE_EQ(HermiteInterpolate(2, 4, 3, 7, 0, 0, 2), 3);
    EXPECT_DOUBLE_EQ(HermiteInterpolate(2, 4, 3, 7, 0, 0, 4), 7);
    EXPECT_DOUBLE_EQ(HermiteInterpolate(2, 4, 3, 7, 0, 0, 3), 5);
}

} // namespace
