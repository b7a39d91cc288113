#include "algorithms/AdaptiveDenoiseAlgorithm.h"
#include "algorithms/SmoothAlgorithm.h"
#include "algorithms/tests/DenoiseTestSupport.h"
#include "algorithms/tests/EffectTestSupport.h"
#include "platform/codec/ColorForms.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

using effecttest::MakeFlat;

HRESULT Denoise(AdaptiveDenoiseAlgorithm& fx, CQLImage& src, CQLImage& dst, int colorSpots)
{
    fx.SetImages(&src, &dst);
    fx.SetRange(0, 100);
    const AdaptiveDenoiseParams p = {colorSpots};
    return fx.Apply(&p);
}

int LumaOf(CPixel p)
{
    qlcodec::RgbToYuvPixel(&p.b);
    return p.r; // byte 2
}

// Grey noise of +-60 around 128.
void MakeNoise(CQLImage& image, int w, int h, unsigned seed)
{
    std::mt19937 rng(seed);
    image.Create(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const BYTE v = static_cast<BYTE>(68 + rng() % 121);
            image.PutPixel(x, y, {v, v, v, 255});
        }
}

struct ThresholdCase {
    int grey;
    int score;
    int threshold;
};

class AdaptiveThreshold : public ::testing::TestWithParam<ThresholdCase> {};

TEST_P(AdaptiveThreshold, ComesFromTheFlattestArea)
{
    // Flat: no detail, so each pixel scores max(0, |Y - 128| / 2 - 40):
    // 100: 0 -> 0 -> 200 (the floor); 220: 6, 256 * 6 = 1536, 1536 * 25 / 140
    // = 274 (kept); 230: 11, 2816 -> 502 -> above 400: pre-blur, then 400.
    const ThresholdCase c = GetParam();
    CQLImage src, dst;
    MakeFlat(src, 40, 40, c.grey);
    AdaptiveDenoiseAlgorithm fx;
    ASSERT_EQ(Denoise(fx, src, dst, 0), 0);
    EXPECT_EQ(fx.FlatScore(), c.score);
    EXPECT_EQ(fx.MatchThreshold(), c.threshold);
    EXPECT_EQ(fx.FlatX(), 0);
    EXPECT_EQ(fx.FlatY(), 0);
}

INSTANTIATE_TEST_SUITE_P(Greys, AdaptiveThreshold,
                         ::testing::Values(ThresholdCase{100, 0, 200}, ThresholdCase{220, 1536, 274},
                                           ThresholdCase{230, 2816, 400}));

TEST(AdaptiveDenoiseTest, TheFlattestWindowIsTheFirstInsideAQuietSquare)
{
    // Grey 100 on [10, 34) x [7, 31) in strong noise: detail is 0 where the
    // whole 3 x 3 lies in the square, from (11, 8); the first such window.
    CQLImage src, dst;
    MakeNoise(src, 60, 50, 1);
    for (int y = 7; y < 31; ++y)
        for (int x = 10; x < 34; ++x)
            src.PutPixel(x, y, {100, 100, 100, 255});
    AdaptiveDenoiseAlgorithm fx;
    ASSERT_EQ(Denoise(fx, src, dst, 0), 0);
    EXPECT_EQ(fx.FlatX(), 11);
    EXPECT_EQ(fx.FlatY(), 8);
    EXPECT_EQ(fx.FlatScore(), 0);
}

TEST(AdaptiveDenoiseTest, BlocksStartBelowWidthAndHeightLessFive)
{
    // Width 10: origins 0 only (5 is not below 5); height 22: 0 to 15. The
    // rest keeps the luminance of the YUV copy.
    struct Size {
        int w, h, matchedW, matchedH;
    } sizes[] = {{10, 22, 5, 20}, {22, 10, 20, 5}, {23, 16, 20, 15}};
    for (const Size& s : sizes) {
        CQLImage src, dst;
        MakeNoise(src, s.w, s.h, 2);
        AdaptiveDenoiseAlgorithm fx;
        ASSERT_EQ(Denoise(fx, src, dst, 0), 0);
        int changed = 0;
        for (int y = 0; y < s.h; ++y)
            for (int x = 0; x < s.w; ++x) {
                const int y2 = fx.Work().GetBuffer(x, y)[2];
                if (x >= s.matchedW || y >= s.matchedH)
                    ASSERT_EQ(y2, LumaOf(src.GetPixel2(x, y))) << s.w << "x" << s.h << " at " << x << "," << y;
                else
                    changed += y2 != LumaOf(src.GetPixel2(x, y));
            }
        EXPECT_GT(changed, s.matchedW * s.matchedH / 2) << s.w << "x" << s.h;
    }
}

TEST(AdaptiveDenoiseTest, ColourSpotsAreWeightedByValueSimilarity)
{
    // Left half grey 100, right half (R 131, G 85, B 100): the same Y (100)
    // and U (128), V 150. At (20, 20) the 16 x 16 window holds 128 pixels of
    // each: V 150 weighs 10, V 128 (22 away) (56 - 22) / 4 = 8:
    // (1280 * 150 + 1024 * 128) / 2304 = 140. At (19, 20): 144 of 128 at 10
    // and 112 of 150 at 8: 318720 / 2336 = 136.
    CQLImage src, dst;
    MakeFlat(src, 40, 40, 100);
    for (int y = 0; y < 40; ++y)
        for (int x = 20; x < 40; ++x)
            src.PutPixel(x, y, {100, 85, 131, 255});
    AdaptiveDenoiseAlgorithm fx;
    ASSERT_EQ(Denoise(fx, src, dst, 1), 0);
    EXPECT_EQ(fx.Work().GetBuffer(20, 20)[0], 140);
    EXPECT_EQ(fx.Work().GetBuffer(19, 20)[0], 136);
    EXPECT_EQ(fx.Work().GetBuffer(20, 20)[1], 128);
    EXPECT_EQ(fx.Work().GetBuffer(20, 20)[2], 100);

    ASSERT_EQ(Denoise(fx, src, dst, 0), 0);
    EXPECT_EQ(fx.Work().GetBuffer(20, 20)[0], 150);
    EXPECT_EQ(fx.Work().GetBuffer(19, 20)[0], 128);
}

TEST(AdaptiveDenoiseTest, AFlatImageOfAnySizeMixesTheBlurWithoutEdges)
{
    // Flat: the block average and the chroma keep the grey; no edges, so the
    // mask is 0 and d = 64: Y = (192 * blur + 64 * grey) >> 8, on U = V = 128.
    struct Size {
        int w, h;
    } sizes[] = {{1, 1}, {2, 2}, {3, 3}, {5, 5}, {6, 7}, {17, 17}, {40, 33}};
    for (const Size& s : sizes) {
        for (int grey : {0, 90, 255}) {
            CQLImage src, dst, blurred;
            MakeFlat(src, s.w, s.h, grey, 200);
            SmoothAlgorithm blur;
            blur.SetImages(&src, &blurred);
            const SmoothParams radius = {3};
            ASSERT_EQ(blur.Apply(&radius), 0);
            for (int colorSpots : {0, 1}) {
                AdaptiveDenoiseAlgorithm fx;
                ASSERT_EQ(Denoise(fx, src, dst, colorSpots), 0) << s.w << "x" << s.h;
                for (int y = 0; y < s.h; ++y)
                    for (int x = 0; x < s.w; ++x) {
                        ASSERT_EQ(fx.EdgeMask().Get(x, y), 0);
                        const int want = (192 * LumaOf(blurred.GetPixel2(x, y)) + 64 * grey) >> 8;
                        CPixel yuv = {128, 128, static_cast<BYTE>(want), 0};
                        qlcodec::YuvToRgbPixel(&yuv.b);
                        ASSERT_TRUE(dst.GetPixel2(x, y) == yuv) << s.w << "x" << s.h << " at " << x << "," << y;
                    }
            }
        }
    }
}

TEST(AdaptiveDenoiseTest, BringsANoisyPhotoNearerToTheCleanOne)
{
    // Without colour-spot reduction only the luminance is filtered, so the
    // noise there is grey.
    for (int colorSpots : {0, 1}) {
        CQLImage clean, noisy, dst;
        denoisetest::MakeNoisyGradient(clean, noisy, 200, 150, 8.0, 21, colorSpots == 0);
        AdaptiveDenoiseAlgorithm fx;
        ASSERT_EQ(Denoise(fx, noisy, dst, colorSpots), 0);
        EXPECT_LT(denoisetest::SquaredError(dst, clean), denoisetest::SquaredError(noisy, clean) * 0.8) << colorSpots;
    }
}

TEST(AdaptiveDenoiseTest, RefusesANullBlockOrTheSourceAsTarget)
{
    CQLImage src, dst;
    MakeFlat(src, 8, 8, 50);
    MakeFlat(dst, 2, 2, 9);
    const std::vector<BYTE> before = effecttest::Bytes(dst);
    AdaptiveDenoiseAlgorithm fx;
    fx.SetImages(&src, &dst);
    EXPECT_EQ(fx.Apply(nullptr), E_FAIL);
    EXPECT_EQ(effecttest::Bytes(dst), before);
    EXPECT_EQ(Denoise(fx, src, src, 0), E_FAIL);
}

} // namespace
