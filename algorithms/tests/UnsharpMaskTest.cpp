#include "algorithms/MaskedGaussianBlurAlgorithm.h"
#include "algorithms/UnsharpMaskAlgorithm.h"
#include "algorithms/tests/EffectTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace {

using effecttest::Bytes;
using effecttest::MakeFlat;
using effecttest::MakePattern;

HRESULT Sharpen(UnsharpMaskAlgorithm& fx, CQLImage& src, CQLImage& dst, int radius, int amount, int threshold)
{
    fx.SetImages(&src, &dst);
    fx.SetRange(0, 100);
    const UnsharpMaskParams p = {radius, amount, threshold};
    return fx.Apply(&p);
}

TEST(UnsharpMaskTest, AmountZeroOrAFlatImageLeavesTheSource)
{
    CQLImage pattern, flat, dst;
    MakePattern(pattern, 20, 16);
    MakeFlat(flat, 20, 16, 140, 3);
    UnsharpMaskAlgorithm fx;
    ASSERT_EQ(Sharpen(fx, pattern, dst, 3, 0, 0), 0);
    EXPECT_EQ(Bytes(dst), Bytes(pattern));
    // No edges, so no mask (the blur of a flat image is a level darker
    // inside, which only a threshold of 0 would sharpen).
    for (int radius : {3, 6}) {
        ASSERT_EQ(Sharpen(fx, flat, dst, radius, 300, 40), 0);
        EXPECT_EQ(Bytes(dst), Bytes(flat));
    }
}

TEST(UnsharpMaskTest, ThresholdZeroSharpensEveryInnerPixelButNotTheFrame)
{
    // A supplied blur 10 below a flat 100, factor 1: inner pixels become 110.
    CQLImage src, blur, dst;
    MakeFlat(src, 8, 7, 100, 50);
    MakeFlat(blur, 8, 7, 90);
    UnsharpMaskAlgorithm fx;
    fx.AddImage(&blur);
    ASSERT_EQ(Sharpen(fx, src, dst, 3, 128, 0), 0);
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 8; ++x) {
            const bool frame = x < 2 || y < 2 || x >= 6 || y >= 5;
            const CPixel p = dst.GetPixel2(x, y);
            EXPECT_EQ(p.r, frame ? 100 : 110) << x << "," << y;
            EXPECT_EQ(p.b, frame ? 100 : 110) << x << "," << y;
            EXPECT_EQ(p.a, 50);
            EXPECT_EQ(blur.GetPixel2(x, y).a, frame ? 0 : 255); // the mask went into the blur
        }
}

TEST(UnsharpMaskTest, HighThresholdTouchesOnlyStrongEdges)
{
    // Grey 20 where x <= 3 and y <= 3, else 255. At (3, 3) all four
    // differences are 235, d = 235 > 223: mask (235 - 223) * 255 / 32 = 95.
    CQLImage src, blur, dst;
    MakeFlat(src, 8, 8, 255);
    for (int y = 0; y <= 3; ++y)
        for (int x = 0; x <= 3; ++x)
            src.PutPixel(x, y, {20, 20, 20, 255});
    MakeFlat(blur, 8, 8, 10);
    UnsharpMaskAlgorithm fx;
    fx.AddImage(&blur);
    ASSERT_EQ(Sharpen(fx, src, dst, 3, 128, 255), 0);
    EXPECT_EQ(blur.GetPixel2(3, 3).a, 95);
    // v' = 20 + (20 - 10) = 30; (95 * 30 + 160 * 20) / 255 = 23.
    EXPECT_EQ(dst.GetPixel2(3, 3).g, 23);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            if (x == 3 && y == 3)
                continue;
            EXPECT_TRUE(dst.GetPixel2(x, y) == src.GetPixel2(x, y)) << x << "," << y;
        }
}

TEST(UnsharpMaskTest, EdgeMaskRampsBetweenTheThresholdBounds)
{
    // A vertical edge 0 | 64 gives d = (64 + 64) / 4 = 32 beside it. With
    // threshold 32 (lo 0, hi 64): 32 * 255 / 64 = 127. With 100 (lo 68): 0.
    CQLImage src, blur, dst;
    MakeFlat(src, 8, 6, 0);
    for (int y = 0; y < 6; ++y)
        for (int x = 4; x < 8; ++x)
            src.PutPixel(x, y, {64, 64, 64, 255});
    MakeFlat(blur, 8, 6, 0);
    UnsharpMaskAlgorithm fx;
    fx.AddImage(&blur);
    ASSERT_EQ(Sharpen(fx, src, dst, 3, 128, 32), 0);
    EXPECT_EQ(blur.GetPixel2(3, 2).a, 127); // |0 - 64| + |0 - 64| over 4
    EXPECT_EQ(blur.GetPixel2(2, 2).a, 63);  // only the two-step difference: d = 16
    ASSERT_EQ(Sharpen(fx, src, dst, 3, 128, 100), 0);
    EXPECT_EQ(blur.GetPixel2(3, 2).a, 0);
}

TEST(UnsharpMaskTest, EveryPixelFollowsTheMaskAndSharpenFormulas)
{
    // An odd width, positive and negative amounts, every mask level.
    const int w = 37, h = 23;
    CQLImage src, blur, dst, inPlace;
    MakePattern(src, w, h);
    blur.Create(w, h); // another picture of the same area
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            blur.PutPixel(x, y, {static_cast<BYTE>(x * 7), static_cast<BYTE>(255 - y * 11), static_cast<BYTE>(x * y), 0});
    auto grey = [&](int x, int y) { return src.GetPixel2(x, y).GetGray2(); };
    for (int amount : {200, -70, 700}) {
        for (int threshold : {20, 0}) {
            UnsharpMaskAlgorithm fx;
            fx.AddImage(&blur);
            ASSERT_EQ(Sharpen(fx, src, dst, 3, amount, threshold), 0);
            const int lo = std::max(0, threshold - 32), hi = threshold + 32;
            const double k = amount / 128.0;
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) {
                    int m = 0;
                    if (x >= 2 && y >= 2 && x < w - 2 && y < h - 2) {
                        const int d = (std::abs(grey(x - 1, y) - grey(x + 1, y)) + std::abs(grey(x - 2, y) - grey(x + 2, y))
                                       + std::abs(grey(x, y - 1) - grey(x, y + 1)) + std::abs(grey(x, y - 2) - grey(x, y + 2)))
                                    / 4;
                        m = threshold == 0 ? 255 : d < lo ? 0 : d > hi ? 255 : (d - lo) * 255 / (hi - lo);
                    }
                    ASSERT_EQ(blur.GetPixel2(x, y).a, m) << x << "," << y;
                    const CPixel s = src.GetPixel2(x, y), b = blur.GetPixel2(x, y), o = dst.GetPixel2(x, y);
                    const int sv[3] = {s.b, s.g, s.r}, bv[3] = {b.b, b.g, b.r}, ov[3] = {o.b, o.g, o.r};
                    for (int c = 0; c < 3; ++c) {
                        const int sharp = std::clamp(sv[c] + static_cast<int>(k * (sv[c] - bv[c])), 0, 255);
                        const int expected = m == 0 ? sv[c] : (m * sharp + (255 - m) * sv[c]) / 255;
                        ASSERT_EQ(ov[c], expected) << amount << " " << x << "," << y << " channel " << c;
                    }
                    ASSERT_EQ(o.a, s.a);
                }
            // The same with the source as the target.
            inPlace.DuplicateFrom(&src);
            UnsharpMaskAlgorithm again;
            again.AddImage(&blur);
            ASSERT_EQ(Sharpen(again, inPlace, inPlace, 3, amount, threshold), 0);
            EXPECT_EQ(Bytes(inPlace), Bytes(dst));
        }
    }
}

TEST(UnsharpMaskTest, OwnBlurIsRemadeOnEveryRunAndNotLeftInTheList)
{
    CQLImage first, second, dst, fresh;
    MakePattern(first, 24, 18);
    MakeFlat(second, 24, 18, 80);
    for (int x = 10; x < 24; ++x)
        for (int y = 0; y < 18; ++y)
            second.PutPixel(x, y, {200, 190, 180, 255});
    UnsharpMaskAlgorithm fx, other;
    ASSERT_EQ(Sharpen(fx, first, dst, 4, 150, 0), 0);
    EXPECT_TRUE(fx.GetImages().empty());
    ASSERT_EQ(Sharpen(fx, second, dst, 4, 150, 0), 0);
    ASSERT_EQ(Sharpen(other, second, fresh, 4, 150, 0), 0);
    EXPECT_EQ(Bytes(dst), Bytes(fresh));
    EXPECT_NE(Bytes(dst), Bytes(second));
}

TEST(UnsharpMaskTest, SuppliedBlurOfAnotherSizeOrAMissingBlockFails)
{
    CQLImage src, blur, dst;
    MakePattern(src, 10, 10);
    MakeFlat(blur, 9, 10, 0);
    UnsharpMaskAlgorithm fx;
    fx.AddImage(&blur);
    EXPECT_EQ(Sharpen(fx, src, dst, 3, 100, 0), E_FAIL);
    fx.SetImages(&src, &dst);
    EXPECT_EQ(fx.Apply(nullptr), E_FAIL);
}

HRESULT MaskedBlur(MaskedGaussianBlurAlgorithm& fx, CQLImage& src, CQLImage& dst, int radius)
{
    fx.SetImages(&src, &dst);
    fx.SetRange(0, 100);
    const MaskedBlurParams p = {radius};
    return fx.Apply(&p);
}

TEST(MaskedGaussianBlurTest, WeightsAndTapsFollowTheFormula)
{
    CQLImage src, dst;
    MakePattern(src, 5, 5);
    MaskedGaussianBlurAlgorithm fx;
    ASSERT_EQ(MaskedBlur(fx, src, dst, 2), 0); // sigma 1: 512, 310, 69, 5, then 0
    EXPECT_EQ(fx.GetSigma(), 1);
    EXPECT_EQ(fx.GetTaps(), 4);
    EXPECT_EQ(fx.GetWeights()[1], 310);
    EXPECT_EQ(fx.GetWeights()[3], 5);
    ASSERT_EQ(MaskedBlur(fx, src, dst, 500), 0);
    EXPECT_EQ(fx.GetSigma(), 32);
}

TEST(MaskedGaussianBlurTest, AlphaWeightsTheNeighboursAndZeroAlphaIsLeftAlone)
{
    // One row: grey 0 (alpha 100), 90 (alpha 255), 0 (alpha 0). Radius 2.
    CQLImage src, dst;
    src.Create(3, 1);
    src.PutPixel(0, 0, {0, 0, 0, 100});
    src.PutPixel(1, 0, {90, 90, 90, 255});
    src.PutPixel(2, 0, {7, 8, 9, 0});
    MaskedGaussianBlurAlgorithm fx;
    ASSERT_EQ(MaskedBlur(fx, src, dst, 2), 0);
    // x 0: 255 * 310 * 90 / (100 * 512 + 255 * 310) = 53; x 1: 90 * 130560 / 161560 = 72.
    EXPECT_EQ(dst.GetPixel2(0, 0).r, (255u * 310 * 90) / (100u * 512 + 255u * 310));
    EXPECT_EQ(dst.GetPixel2(1, 0).g, 72);
    EXPECT_EQ(dst.GetPixel2(1, 0).a, 255);
    const CPixel kept = dst.GetPixel2(2, 0);
    EXPECT_TRUE(kept.b == 7 && kept.g == 8 && kept.r == 9 && kept.a == 0);
}

TEST(MaskedGaussianBlurTest, ZeroAlphaEverywhereOrRadiusOneIsTheIdentity)
{
    CQLImage src, dst;
    MakePattern(src, 12, 9);
    MaskedGaussianBlurAlgorithm fx;
    ASSERT_EQ(MaskedBlur(fx, src, dst, 1), 0);
    EXPECT_EQ(fx.GetTaps(), 1);
    EXPECT_EQ(Bytes(dst), Bytes(src));
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 12; ++x) {
            CPixel p = src.GetPixel2(x, y);
            p.a = 0;
            src.PutPixel(x, y, p);
        }
    ASSERT_EQ(MaskedBlur(fx, src, dst, 20), 0);
    EXPECT_EQ(Bytes(dst), Bytes(src));
}

} // namespace
