#include "algorithms/FftDenoiseAlgorithm.h"
#include "algorithms/tests/EffectTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

namespace {

using effecttest::Bytes;
using effecttest::MakeFlat;

HRESULT Denoise(FftDenoiseAlgorithm& fx, CQLImage& src, CQLImage& dst)
{
    fx.SetImages(&src, &dst);
    fx.SetRange(0, 100);
    const INT unused = 7;
    return fx.Apply(&unused);
}

void ExpectGreyOpaque(const CQLImage& image, const char* what)
{
    UINT w = 0, h = 0;
    image.GetSize(&w, &h);
    for (UINT y = 0; y < h; ++y)
        for (UINT x = 0; x < w; ++x) {
            const CPixel p = image.GetPixel2(x, y);
            ASSERT_TRUE(p.g == p.b && p.r == p.b && p.a == 255) << what << " at " << x << "," << y;
        }
}

TEST(FrequencyFftDenoiseTest, TablesFollowTheTransferCurve)
{
    // Linear part below 0.00304: i = 9 gives 12.92 x 9 / 32768 x 256 = 0.91,
    // i = 10 gives 1.01. Level 128 starts where 1.055 x^(1/2.4) - 0.055
    // reaches 0.5 (x = 0.214039, i = 7013.4) and 129 where it reaches
    // 129 / 256 (x = 0.217673, i = 7132.7): middle (7014 + 7133) / 2.
    FftDenoiseAlgorithm fx;
    CQLImage src, dst;
    MakeFlat(src, 2, 2, 0);
    ASSERT_EQ(Denoise(fx, src, dst), 0);
    EXPECT_EQ(fx.ToSrgb(0), 0);
    EXPECT_EQ(fx.ToSrgb(9), 0);
    EXPECT_EQ(fx.ToSrgb(10), 1);
    EXPECT_EQ(fx.ToSrgb(7013), 127);
    EXPECT_EQ(fx.ToSrgb(7014), 128);
    EXPECT_EQ(fx.ToSrgb(32767), 255);
    EXPECT_EQ(fx.ToLinear(0), 5);
    EXPECT_EQ(fx.ToLinear(128), 7073);
    for (int v = 0; v < 256; ++v)
        ASSERT_EQ(fx.ToSrgb(fx.ToLinear(v)), v) << v; // every level comes back
}

TEST(FrequencyFftDenoiseTest, PicksAreTheFlattestSeparateWindows)
{
    // 520 x 520 at 100 with a bright line at x = 40..43: quarter column 10 is
    // 200, so the edge map is 255 on columns 9 and 11. A window's score
    // covers columns x + 1 .. x + 64, so the flat ones start at x >= 11.
    // Positions run to 130 - 65 = 65: after (11, 0) and (11, 64) every
    // position lies within 64 of one of them in both directions.
    CQLImage src, dst;
    MakeFlat(src, 520, 520, 100);
    for (int y = 0; y < 520; ++y)
        for (int x = 40; x < 44; ++x)
            src.PutPixel(x, y, {200, 200, 200, 255});
    FftDenoiseAlgorithm fx;
    ASSERT_EQ(Denoise(fx, src, dst), 0);
    ASSERT_EQ(fx.Picks().size(), 2u);
    EXPECT_EQ(fx.Picks()[0].x, 11);
    EXPECT_EQ(fx.Picks()[0].y, 0);
    EXPECT_EQ(fx.Picks()[1].x, 11);
    EXPECT_EQ(fx.Picks()[1].y, 64);
    // The model is the flat areas, whose spectrum is the mean alone: nothing
    // else falls below it, so the photo keeps its line.
    for (int x = 30; x < 50; ++x)
        EXPECT_EQ(dst.GetPixel2(x, 300).g, (x >= 40 && x < 44) ? 200 : 100) << x;
}

TEST(FrequencyFftDenoiseTest, FlatPhotoComesBackUnchangedButOpaque)
{
    // Interior blocks hold only their mean, which is never removed; border
    // blocks hold the edge to the padding, far above a flat model. Quarter
    // size 202 x 125: picks (0, 0), (64, 0), (128, 0).
    CQLImage src, dst;
    MakeFlat(src, 810, 500, 77, 10);
    FftDenoiseAlgorithm fx;
    ASSERT_EQ(Denoise(fx, src, dst), 0);
    EXPECT_EQ(fx.Picks().size(), 3u);
    CQLImage expected;
    MakeFlat(expected, 810, 500, 77, 255);
    EXPECT_EQ(Bytes(dst), Bytes(expected));
}

TEST(FrequencyFftDenoiseTest, BlocksDarkerThanTheFlatAreasKeepTheirLevel)
{
    // Level 200 with a square of 60 at [500, 1000)^2: the picks are (0, 0),
    // (64, 0) and (128, 0), all bright. The block of tile (3, 3), pixels
    // 712..967, lies wholly in the dark square: only its mean is non-zero,
    // and it stays although it is below the flat areas' mean.
    CQLImage src, dst;
    MakeFlat(src, 1000, 1000, 200);
    for (int y = 500; y < 1000; ++y)
        for (int x = 500; x < 1000; ++x)
            src.PutPixel(x, y, {60, 60, 60, 255});
    FftDenoiseAlgorithm fx;
    ASSERT_EQ(Denoise(fx, src, dst), 0);
    ASSERT_EQ(fx.Picks().size(), 3u);
    EXPECT_EQ(fx.Picks()[2].x, 128);
    EXPECT_EQ(fx.Picks()[2].y, 0);
    for (int y = 712; y < 960; y += 7)
        for (int x = 712; x < 960; x += 7)
            ASSERT_EQ(dst.GetPixel2(x, y).g, 60) << x << "," << y;
}

// A smooth grey photo (ramp, wave, disc) and the same with seeded noise.
void MakeNoisyPair(CQLImage& clean, CQLImage& noisy, int w, int h)
{
    clean.Create(w, h);
    noisy.Create(w, h);
    std::uint32_t seed = 2024;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            double v = 90 + 80.0 * x / w + 30 * std::sin(y * 0.01);
            const double dx = x - w * 0.3, dy = y - h * 0.6;
            if (dx * dx + dy * dy < 150 * 150)
                v = 200 - 0.3 * std::sqrt(dx * dx + dy * dy);
            const int c = static_cast<int>(std::lround(v));
            // Sum of four uniforms: about normal, sigma 8 (13.86 x 0.577).
            double n = 0;
            for (int k = 0; k < 4; ++k) {
                seed = seed * 1664525u + 1013904223u;
                n += (seed >> 8) / 16777216.0 - 0.5;
            }
            const int d = std::max(0, std::min(255, static_cast<int>(std::lround(v + n * 13.86))));
            clean.PutPixel(x, y, {static_cast<BYTE>(c), static_cast<BYTE>(c), static_cast<BYTE>(c), 255});
            noisy.PutPixel(x, y, {static_cast<BYTE>(d), static_cast<BYTE>(d), static_cast<BYTE>(d), 255});
        }
}

double Psnr(const CQLImage& a, const CQLImage& b)
{
    const std::vector<BYTE> x = Bytes(a), y = Bytes(b);
    double se = 0;
    for (std::size_t i = 0; i < x.size(); i += 4)
        se += (x[i] - y[i]) * (x[i] - y[i]);
    return 10 * std::log10(255.0 * 255.0 / (se / (x.size() / 4)));
}

TEST(FrequencyFftDenoiseTest, NoisyPhotoComesCloserToTheCleanOne)
{
    // Low frequencies of every sign stay: measured by the distance to the
    // nearest copy of the origin, not by the raw index.
    CQLImage clean, noisy, dst;
    MakeNoisyPair(clean, noisy, 1200, 800);
    FftDenoiseAlgorithm fx;
    ASSERT_EQ(Denoise(fx, noisy, dst), 0);
    const double before = Psnr(clean, noisy), after = Psnr(clean, dst);
    EXPECT_GT(after, before + 0.5) << before << " dB before";
    ExpectGreyOpaque(dst, "denoised");
}

TEST(FrequencyFftDenoiseTest, SmallAndThinPhotosAreSafe)
{
    // Under 260 pixels on a side there is no flat window: the model is the
    // top-left block of the padded photo.
    const int sizes[][2] = {{1, 1}, {2, 3}, {259, 600}, {600, 259}, {257, 257}, {241, 17}, {3, 1000}};
    for (const auto& s : sizes) {
        CQLImage src, dst;
        effecttest::MakePattern(src, s[0], s[1]);
        FftDenoiseAlgorithm fx;
        ASSERT_EQ(Denoise(fx, src, dst), 0) << s[0] << "x" << s[1];
        EXPECT_TRUE(fx.Picks().empty());
        UINT w = 0, h = 0;
        dst.GetSize(&w, &h);
        EXPECT_EQ(static_cast<int>(w), s[0]);
        EXPECT_EQ(static_cast<int>(h), s[1]);
        ExpectGreyOpaque(dst, "small");
    }
}

TEST(FrequencyFftDenoiseTest, OnePickWhenThereIsRoomForOne)
{
    // 260 x 300: quarter 65 x 75, positions x = 0 and y <= 10, all within
    // 64 of the first.
    CQLImage src, dst;
    MakeFlat(src, 260, 300, 40);
    FftDenoiseAlgorithm fx;
    ASSERT_EQ(Denoise(fx, src, dst), 0);
    ASSERT_EQ(fx.Picks().size(), 1u);
    EXPECT_EQ(fx.Picks()[0].x, 0);
    EXPECT_EQ(fx.Picks()[0].y, 0);
    CQLImage expected;
    MakeFlat(expected, 260, 300, 40);
    EXPECT_EQ(Bytes(dst), Bytes(expected));
}

TEST(FrequencyFftDenoiseTest, InPlaceGivesTheSameResult)
{
    // Blocks read the photo as given, never pixels an earlier block wrote.
    CQLImage clean, noisy, dst;
    MakeNoisyPair(clean, noisy, 700, 520);
    FftDenoiseAlgorithm fx;
    ASSERT_EQ(Denoise(fx, noisy, dst), 0);
    ASSERT_EQ(Denoise(fx, noisy, noisy), 0);
    EXPECT_EQ(Bytes(noisy), Bytes(dst));
}

} // namespace
