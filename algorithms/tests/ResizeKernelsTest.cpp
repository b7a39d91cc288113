#include "algorithms/AreaShrinkAlgorithm.h"
#include "algorithms/AutoGammaAlgorithm.h"
#include "algorithms/EdgeAwareSmoothAlgorithm.h"
#include "algorithms/ResizeBySpecAlgorithm.h"
#include "algorithms/tests/ResizeTestSupport.h"

#include <gtest/gtest.h>

using namespace resizetest;

namespace {

// --- Area shrink: box reduction ---------------------------------------------

// 3 x 2 to 2 x 1 with support factor 1. Across: s = 0.75, n = 1, three taps.
// Column 0: centre 0.75, phase 7 (e = 1.7: cells 12, 255, 114 of 255, sum 381,
// normalised 8, 171, 76); its taps are source columns 0 and 1, which are row
// taps 1 and 2: (171 p0 + 76 p1) / 247. Column 1: centre 2.25, phase 2
// (e = 1.2: 140, 242, 0, sum 382, normalised 93, 162, 0), taps 1 and 2 with
// row taps 0 and 1: (93 p1 + 162 p2) / 255. Down: s = 1, n = 2; row 0 has
// centre 0, phase 0 (0, 128, 128, 0, 0), taps 0 and 1 with row taps 2 and 3:
// 128 x row 0 / 128, so row 0 alone.
TEST(AreaShrink, BoxWeightsFollowTheTapsActuallyUsed)
{
    CQLImage src, dst;
    const int blue[3] = {100, 50, 10};
    Make(src, 3, 2, [&](int x, int y) { return y == 0 ? Px(blue[x], 30, 200, 40 + x) : Px(0, 0, 0, 0); });
    AreaShrinkAlgorithm shrink;
    shrink.SetSupportFactor(1.0);
    shrink.SetImages(&src, &dst);
    const ResizeParams p{2, 1};
    ASSERT_EQ(shrink.Apply(&p), 0);
    ASSERT_EQ(Width(dst), 2);
    ASSERT_EQ(Height(dst), 1);
    // Taking the weights from the start of the row would give 52 here.
    EXPECT_EQ(dst.GetPixel2(0, 0).b, (171 * 100 + 76 * 50) / 247);
    EXPECT_EQ(dst.GetPixel2(1, 0).b, (93 * 50 + 162 * 10) / 255);
    EXPECT_EQ(dst.GetPixel2(0, 0).g, 30);
    EXPECT_EQ(dst.GetPixel2(1, 0).r, 200);
    // Alpha is the first tap's.
    EXPECT_EQ(dst.GetPixel2(0, 0).a, 40);
    EXPECT_EQ(dst.GetPixel2(1, 0).a, 41);
}

// 4 x 4 to 2 x 2 with factor 1: s = 1, n = 2; phase 0 weights 0, 128, 128, 0,
// 0. Column 0 (centre 1) uses source 0, 1 as row taps 1, 2: the mean of the
// two; column 1 (centre 3) uses source 1..3 as row taps 0..2: the mean of 2
// and 3. Row 0 (centre 0) is source row 0; row 1 (centre 2) the mean of rows
// 1 and 2, its first tap row 0 giving the alpha.
TEST(AreaShrink, HalfOfFourByFour)
{
    CQLImage src, dst;
    const int cols[4] = {10, 21, 50, 71};
    const int rows[4] = {0, 30, 61, 90};
    Make(src, 4, 4, [&](int x, int y) { return Px(cols[x], rows[y], 200, x + 16 * y); });
    AreaShrinkAlgorithm shrink;
    shrink.SetSupportFactor(1.0);
    shrink.SetImages(&src, &dst);
    const ResizeParams p{2, 2};
    ASSERT_EQ(shrink.Apply(&p), 0);
    EXPECT_EQ(dst.GetPixel2(0, 0).b, 15);
    EXPECT_EQ(dst.GetPixel2(1, 0).b, 60);
    EXPECT_EQ(dst.GetPixel2(0, 1).b, 15);
    EXPECT_EQ(dst.GetPixel2(0, 0).g, 0);
    EXPECT_EQ(dst.GetPixel2(1, 1).g, 45);
    EXPECT_EQ(dst.GetPixel2(1, 1).r, 200);
    EXPECT_EQ(dst.GetPixel2(0, 1).a, 0);
    EXPECT_EQ(dst.GetPixel2(1, 1).a, 1);
}

TEST(AreaShrink, SameSizeIsACopy)
{
    CQLImage src, dst;
    Make(src, 5, 3, [](int x, int y) { return Px(x * 40, y * 80, x + y, 9); });
    AreaShrinkAlgorithm shrink;
    shrink.SetImages(&src, &dst);
    const ResizeParams p{5, 3};
    ASSERT_EQ(shrink.Apply(&p), 0);
    EXPECT_EQ(0, std::memcmp(dst.GetBuffer(0, 0), src.GetBuffer(0, 0), src.GetAreaByteSize()));
}

TEST(AreaShrink, PanoramaWiderThanAnyFixedRow)
{
    CQLImage src, dst;
    Fill(src, 20010, 3, Px(17, 99, 230, 5));
    AreaShrinkAlgorithm shrink;
    shrink.SetImages(&src, &dst);
    const ResizeParams p{10005, 1};
    ASSERT_EQ(shrink.Apply(&p), 0);
    for (int x = 0; x < 10005; ++x)
        ASSERT_EQ(Word(dst, x, 0), Word(Px(17, 99, 230, 5))) << x;
}

// --- Area shrink: disc enlargement ------------------------------------------

// Weights x 256 of the 12 taps (rows Y-1..Y+2) for phases (0, 0), by the disc
// overlap formula: centre 117; the four axis neighbours 30; three diagonals
// 6; the far taps 0; sum 255.
TEST(AreaShrink, DiscWeightsAtPhaseZero)
{
    AreaShrinkAlgorithm shrink;
    const int expected[12] = {30, 6, 30, 117, 30, 0, 6, 30, 6, 0, 0, 0};
    for (int t = 0; t < 12; ++t)
        for (int c = 0; c < 4; ++c)
            EXPECT_EQ(shrink.DiscWeight(0, 0, t, c), expected[t]) << t;
    // Half a pixel across: 24, 24, 2, 77, 77, 2, 0, 24, 24, 0, 0, 0.
    EXPECT_EQ(shrink.DiscWeight(32, 0, 3, 0), 77);
    EXPECT_EQ(shrink.DiscWeight(32, 0, 2, 0), 2);
}

// 2 x 1 to 4 x 1: positions 0, 0.5, 1, 1.5. All rows clamp to the one row and
// the columns to 0 or 1, so each target is (wa a + wb b) >> 8 with the summed
// weights of the taps landing on each pixel: (213, 42), (127, 127), (36, 219),
// (2, 252).
TEST(AreaShrink, EnlargesTwoPixelsToFour)
{
    CQLImage src, dst;
    Make(src, 2, 1, [](int x, int) { return x == 0 ? Px(200, 255, 0, 0) : Px(100, 255, 40, 0); });
    AreaShrinkAlgorithm shrink;
    shrink.SetImages(&src, &dst);
    const ResizeParams p{4, 1};
    ASSERT_EQ(shrink.Apply(&p), 0);
    const int wa[4] = {213, 127, 36, 2}, wb[4] = {42, 127, 219, 252};
    for (int x = 0; x < 4; ++x) {
        const CPixel q = dst.GetPixel2(x, 0);
        EXPECT_EQ(q.b, (wa[x] * 200 + wb[x] * 100) >> 8) << x;
        EXPECT_EQ(q.g, (wa[x] * 255 + wb[x] * 255) >> 8) << x;
        EXPECT_EQ(q.r, (wb[x] * 40) >> 8) << x;
        EXPECT_EQ(q.a, 0) << x;
    }
}

// From one white pixel every target pixel sums its phase's weights x 255;
// phase (16, 0) sums to 258, whose 65790 must saturate at 65535 (255), not
// wrap; phase (0, 0) sums to 255 (254).
TEST(AreaShrink, EnlargedSumsSaturate)
{
    CQLImage src, dst;
    Fill(src, 1, 1, Px(255, 255, 255, 255));
    AreaShrinkAlgorithm shrink;
    shrink.SetImages(&src, &dst);
    const ResizeParams p{64, 1};
    ASSERT_EQ(shrink.Apply(&p), 0);
    EXPECT_EQ(Word(dst, 16, 0), 0xFFFFFFFFu);
    EXPECT_EQ(Word(dst, 0, 0), 0xFEFEFEFEu);
    for (int x = 0; x < 64; ++x)
        EXPECT_GE(dst.GetPixel2(x, 0).g, 251) << x;
}

TEST(AreaShrink, OnePixelTargetsAndBadSizes)
{
    CQLImage src, dst;
    Fill(src, 3, 3, Px(40, 50, 60, 70));
    AreaShrinkAlgorithm shrink;
    shrink.SetImages(&src, &dst);
    const ResizeParams one{1, 1}, tall{1, 5};
    ASSERT_EQ(shrink.Apply(&one), 0);
    EXPECT_EQ(Width(dst), 1);
    ASSERT_EQ(shrink.Apply(&tall), 0);
    EXPECT_EQ(Height(dst), 5);
    const ResizeParams bad{0, 3};
    EXPECT_EQ(shrink.Apply(&bad), E_FAIL);
    shrink.SetSupportFactor(0);
    EXPECT_EQ(shrink.Apply(&one), E_FAIL);
}

// --- Edge-aware smoothing ----------------------------------------------------

// A flat (10, 200, 60): no edges (alpha 0), luma kept; the YCbCr round trip
// gives Y 136, Cb 57, Cr 74 and back (10, 198, 60).
TEST(EdgeAwareSmooth, FlatImageOnlyMakesTheRoundTrip)
{
    for (const float s : {0.0f, 1.0f, 3.0f}) {
        CQLImage src, dst;
        Fill(src, 4, 3, Px(10, 200, 60, 77));
        EdgeAwareSmoothAlgorithm smooth;
        smooth.SetImages(&src, &dst);
        ASSERT_EQ(smooth.Apply(&s), 0);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 4; ++x)
                ASSERT_EQ(Word(dst, x, y), Word(Px(10, 198, 60, 0))) << s;
        EXPECT_EQ(src.GetPixel2(1, 1).a, 77) << "source untouched";
    }
}

// Grey 3 x 3, rows {0 0 0} {50 60 100} {100 100 100}; greys survive the round
// trip exactly. Centre: Prewitt |gx| = 50, |gy| = 300, so edge 253 and
// m = (253 * 144 >> 8) + 64 = 206. With the centre in its window: lo 0, hi
// 100, Y 60, pushed 60 + ((10 * 500) >> 8) = 79, Y' = (49 * 60 + 206 * 79) >> 8
// = 75. Level 0 (strength 0.5) keeps 60; level 4 (1.5) and 8 (2) both reach 0
// and 100 in their windows.
TEST(EdgeAwareSmooth, PushesLumaTowardsTheWindowExtremes)
{
    const int grey[3][3] = {{0, 0, 0}, {50, 60, 100}, {100, 100, 100}};
    const struct {
        float strength;
        int level;
        int centre;
    } cases[] = {{0.5f, 0, 60}, {1.5f, 4, 75}, {2.0f, 8, 75}, {100.0f, 8, 75}};
    for (const auto& c : cases) {
        CQLImage src, dst;
        Make(src, 3, 3, [&](int x, int y) { return Px(grey[y][x], grey[y][x], grey[y][x], 1); });
        EdgeAwareSmoothAlgorithm smooth;
        smooth.SetImages(&src, &dst);
        ASSERT_EQ(smooth.Apply(&c.strength), 0);
        EXPECT_EQ(smooth.GetWindowLevel(), c.level);
        EXPECT_EQ(Word(dst, 1, 1), Word(Px(c.centre, c.centre, c.centre, 253))) << c.strength;
        for (int x = 0; x < 3; ++x) {
            EXPECT_EQ(Word(dst, x, 0), Word(Px(0, 0, 0, 0)));
            EXPECT_EQ(Word(dst, x, 2), Word(Px(100, 100, 100, 0)));
        }
    }
}

TEST(EdgeAwareSmooth, EdgeMapScale)
{
    // A step of height v between columns 0 and 1..2: Prewitt gx = 3v at (1, 1).
    const struct {
        int step;
        int alpha;
    } cases[] = {{5, 0}, {6, (18 - 16) * 255 / 240}, {50, (150 - 16) * 255 / 240}, {86, 253}};
    for (const auto& c : cases) {
        CQLImage src, dst;
        Make(src, 3, 3, [&](int x, int) { return x == 0 ? Px(0, 0, 0) : Px(c.step, c.step, c.step); });
        EdgeAwareSmoothAlgorithm smooth;
        smooth.SetImages(&src, &dst);
        const float s = 0.0f;
        ASSERT_EQ(smooth.Apply(&s), 0);
        EXPECT_EQ(dst.GetPixel2(1, 1).a, c.alpha) << c.step;
    }
}

// --- Auto gamma -----------------------------------------------------------------

// Masked mean 100 (the 250 pixels are not selected: their mask is 100, not
// above): p = ln 0.625 / ln(100 / 256) = 1/2, T[v] = trunc(16 sqrt v):
// 100 -> 160, 250 -> 252.
TEST(AutoGamma, BringsTheMaskedMeanTo160)
{
    CQLImage src, dst, mask;
    Make(src, 4, 2, [](int x, int) { return x < 2 ? Px(100, 100, 100, 9) : Px(250, 250, 250, 9); });
    Make(mask, 4, 2, [](int x, int) { return Px(0, 0, 0, x < 2 ? 101 : 100); });
    AutoGammaAlgorithm gamma;
    gamma.SetImages(&src, &dst);
    gamma.AddImage(&mask);
    ASSERT_EQ(gamma.Apply(nullptr), 0);
    EXPECT_EQ(Word(dst, 0, 0), Word(Px(160, 160, 160, 9)));
    EXPECT_EQ(Word(dst, 3, 1), Word(Px(252, 252, 252, 9)));
}

TEST(AutoGamma, MeanOf160IsKept)
{
    CQLImage src, dst, mask;
    Make(src, 3, 1, [](int x, int) { return Px(160 + x, 160, 160 - x); });
    Fill(mask, 3, 1, Px(0, 0, 0, 255));
    AutoGammaAlgorithm gamma;
    gamma.SetImages(&src, &dst);
    gamma.AddImage(&mask);
    ASSERT_EQ(gamma.Apply(nullptr), 0);
    EXPECT_EQ(dst.GetPixel2(0, 0).b, 160);
    EXPECT_EQ(dst.GetPixel2(2, 0).b, 162);
}

TEST(AutoGamma, MaskFaults)
{
    CQLImage src, dst, small, none;
    Fill(src, 3, 3, Px(50, 60, 70));
    Fill(small, 2, 2, Px(0, 0, 0, 255));
    Fill(none, 3, 3, Px(0, 0, 0, 0));
    AutoGammaAlgorithm gamma;
    gamma.SetImages(&src, &dst);
    EXPECT_EQ(gamma.Apply(nullptr), E_FAIL) << "no mask";
    gamma.AddImage(&small);
    EXPECT_EQ(gamma.Apply(nullptr), E_FAIL) << "mask of another size";
    gamma.ClearImages();
    gamma.AddImage(&none);
    ASSERT_EQ(gamma.Apply(nullptr), 0) << "nothing measured: no change";
    EXPECT_EQ(Word(dst, 1, 1), Word(Px(50, 60, 70)));
}

// --- Resize by given size or factor -----------------------------------------------------

ResizeSpec Spec(BYTE mode, DWORD raw)
{
    ResizeSpec s{};
    s.mode = mode;
    s.value.size = raw;
    return s;
}

ResizeSpec FactorSpec(float f)
{
    ResizeSpec s{};
    s.mode = ResizeSpec::Factor;
    s.value.factor = f;
    return s;
}

TEST(ResizeBySpec, SizesFromEachMode)
{
    const struct {
        ResizeSpec spec;
        int w, h;
    } cases[] = {
        {Spec(ResizeSpec::ExplicitSize, 128 | (100u << 16)), 128, 100},
        // 10 x 8, 20 pixels: f = 1.25, height trunc(sqrt(16)) = 4, width 5
        {Spec(ResizeSpec::PixelCount, 20), 5, 4},
        {FactorSpec(0.5f), 5, 4},
        {FactorSpec(2.5f), 25, 20},
        {Spec(ResizeSpec::ExplicitSize, 0), 10, 8}, // value 0: a copy
    };
    for (const auto& c : cases) {
        CQLImage src, dst;
        Fill(src, 10, 8, Px(10, 200, 60));
        ResizeBySpecAlgorithm resize;
        resize.SetImages(&src, &dst);
        ASSERT_EQ(resize.Apply(&c.spec), 0);
        EXPECT_EQ(Width(dst), c.w);
        EXPECT_EQ(Height(dst), c.h);
    }
}

TEST(ResizeBySpec, RefusesSidesOutOfRangeAndUnknownModes)
{
    const ResizeSpec bad[] = {
        Spec(ResizeSpec::ExplicitSize, 10001 | (5u << 16)),
        Spec(ResizeSpec::ExplicitSize, 5),            // height 0
        Spec(ResizeSpec::PixelCount, 0x80000000u),    // negative count
        FactorSpec(-1.0f),
        FactorSpec(2000.0f),
        Spec(3, 1),
    };
    for (const ResizeSpec& s : bad) {
        CQLImage src, dst;
        Fill(src, 10, 8, Px(10, 200, 60));
        Fill(dst, 2, 2, Px(1, 1, 1));
        ResizeBySpecAlgorithm resize;
        resize.SetImages(&src, &dst);
        EXPECT_EQ(resize.Apply(&s), E_FAIL);
        EXPECT_EQ(Width(dst), 2) << "target untouched";
    }
}

} // namespace
