#include "algorithms/GaussianBlur.h"
#include "algorithms/SmoothAlgorithm.h"
#include "algorithms/tests/EffectTestSupport.h"

#include "platform/codec/ColorForms.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>
#include <utility>

namespace {

using effecttest::Bytes;
using effecttest::MakeFlat;
using effecttest::MakePattern;

HRESULT Smooth(SmoothAlgorithm& fx, CQLImage& src, CQLImage& dst, int radius)
{
    fx.SetImages(&src, &dst);
    fx.SetRange(0, 100);
    const SmoothParams p = {radius};
    return fx.Apply(&p);
}

TEST(GaussianKernelTest, WeightsFollowTheTruncatedFormula)
{
    // sigma 1: 1024, 621, 138, 11 (then 0); A = 2564; x 2048 / A.
    const GaussianKernel k1 = MakeGaussianKernel(1.0);
    EXPECT_EQ(k1.taps, 4);
    EXPECT_EQ(k1.weight[0], 817);
    EXPECT_EQ(k1.weight[1], 496);
    EXPECT_EQ(k1.weight[2], 110);
    EXPECT_EQ(k1.weight[3], 8);
    // sigma 0.5: 1024, 138; A = 1300.
    const GaussianKernel k05 = MakeGaussianKernel(0.5);
    EXPECT_EQ(k05.taps, 2);
    EXPECT_EQ(k05.weight[0], 1613);
    EXPECT_EQ(k05.weight[1], 217);
    // sigma 2.5 keeps ten taps, the last scaled down to 0.
    const GaussianKernel k25 = MakeGaussianKernel(2.5);
    EXPECT_EQ(k25.taps, 10);
    EXPECT_EQ(k25.weight[0], 327);
    EXPECT_EQ(k25.weight[9], 0);
    // A tiny sigma is the identity.
    const GaussianKernel k0 = MakeGaussianKernel(0.05);
    EXPECT_EQ(k0.taps, 1);
    EXPECT_EQ(k0.weight[0], 2048);
}

TEST(SmoothAlgorithmTest, RadiusZeroCopiesTheSource)
{
    CQLImage src, dst;
    MakePattern(src, 9, 7);
    SmoothAlgorithm fx;
    EXPECT_EQ(Smooth(fx, src, dst, 0), 0);
    EXPECT_EQ(Bytes(dst), Bytes(src));
}

TEST(SmoothAlgorithmTest, GaussianOfASpikeMatchesTheKernelByHand)
{
    // Radius 2: sigma 1, weights 817, 496, 110, 8. Full windows shift by 11.
    CQLImage src, dst;
    MakeFlat(src, 9, 9, 0, 0);
    src.PutPixel(4, 4, {255, 255, 255, 255});
    SmoothAlgorithm fx;
    ASSERT_EQ(Smooth(fx, src, dst, 2), 0);
    EXPECT_EQ(fx.GetShrink(), 1);
    // Horizontal: 817 * 255 >> 11 = 101 at the centre, 496 * 255 >> 11 = 61 beside it.
    EXPECT_EQ(dst.GetPixel2(4, 4).r, (817 * 101) >> 11);
    EXPECT_EQ(dst.GetPixel2(4, 3).g, (496 * 101) >> 11);
    EXPECT_EQ(dst.GetPixel2(3, 4).b, (817 * 61) >> 11);
    EXPECT_EQ(dst.GetPixel2(3, 3).a, (496 * 61) >> 11);
    EXPECT_EQ(dst.GetPixel2(0, 0).r, 0);
}

TEST(SmoothAlgorithmTest, WindowsCutByTheEndsDivideByTheWeightsUsed)
{
    // One row [0, 255, 0] at sigma 1: (496 * 255) / (817 + 496 + 110) at the
    // ends, 817 * 255 / (496 + 817 + 496) in the middle; one row stays as it is.
    CQLImage src, dst;
    MakeFlat(src, 3, 1, 0, 0);
    src.PutPixel(1, 0, {255, 255, 255, 255});
    SmoothAlgorithm fx;
    ASSERT_EQ(Smooth(fx, src, dst, 2), 0);
    EXPECT_EQ(dst.GetPixel2(0, 0).r, 88);
    EXPECT_EQ(dst.GetPixel2(1, 0).g, 115);
    EXPECT_EQ(dst.GetPixel2(2, 0).b, 88);
}

TEST(SmoothAlgorithmTest, ColumnsTallerThanAnyFixedBufferAreFiltered)
{
    // One column of 12000 rows with a spike at row 11000; radius 2.
    CQLImage src, dst;
    MakeFlat(src, 1, 12000, 0, 0);
    src.PutPixel(0, 11000, {255, 255, 255, 255});
    SmoothAlgorithm fx;
    ASSERT_EQ(Smooth(fx, src, dst, 2), 0);
    EXPECT_EQ(dst.GetPixel2(0, 11000).r, (817 * 255) >> 11);
    EXPECT_EQ(dst.GetPixel2(0, 11001).r, (496 * 255) >> 11);
    EXPECT_EQ(dst.GetPixel2(0, 10998).a, (110 * 255) >> 11);

    CQLChannel plane, out;
    plane.Create(1, 12000);
    for (int y = 0; y < 12000; ++y)
        plane.Set(0, y, y == 11000 ? 255 : 0);
    fx.SetChannels(&plane, &out);
    const double sigma = 1.0;
    ASSERT_EQ(fx.SmoothChannel(&sigma), 0);
    EXPECT_EQ(out.Get(0, 11000), (817 * 255) >> 11);
    EXPECT_EQ(out.Get(0, 10999), (496 * 255) >> 11);
}

TEST(SmoothAlgorithmTest, ShrinkFactorAndSigmaFollowTheRadius)
{
    struct Case {
        int radius;
        int shrink;
        double sigma;
    };
    const Case cases[] = {{1, 1, 0.5}, {5, 1, 2.5}, {6, 2, 1.0}, {7, 2, 1.0}, {50, 9, 2.0}, {600, 101, 2.0}};
    CQLImage src, dst;
    MakeFlat(src, 120, 110, 60);
    for (const Case& c : cases) {
        SmoothAlgorithm fx;
        ASSERT_EQ(Smooth(fx, src, dst, c.radius), 0);
        EXPECT_EQ(fx.GetShrink(), c.shrink) << c.radius;
        EXPECT_EQ(fx.GetSigma(), c.sigma) << c.radius;
    }
}

TEST(SmoothAlgorithmTest, ShrunkPathBoxesBlursAndEnlarges)
{
    // Radius 6 on 4 x 4 (left half 0, right half 200): boxes [0 200], blurred
    // at sigma 1 to [75 124] (cut windows), enlarged with weights of 255.
    CQLImage src, dst;
    MakeFlat(src, 4, 4, 0);
    for (int y = 0; y < 4; ++y)
        for (int x = 2; x < 4; ++x)
            src.PutPixel(x, y, {200, 200, 200, 255});
    SmoothAlgorithm fx;
    ASSERT_EQ(Smooth(fx, src, dst, 6), 0);
    const int outer[4] = {74, 90, 106, 123}; // rows 0 and 3
    const int inner[4] = {73, 90, 106, 123}; // rows 1 and 2
    for (int x = 0; x < 4; ++x) {
        EXPECT_EQ(dst.GetPixel2(x, 0).r, outer[x]) << x;
        EXPECT_EQ(dst.GetPixel2(x, 1).g, inner[x]) << x;
        EXPECT_EQ(dst.GetPixel2(x, 2).b, inner[x]) << x;
        EXPECT_EQ(dst.GetPixel2(x, 3).r, outer[x]) << x;
    }
    EXPECT_EQ(dst.GetPixel2(0, 0).a, 253);
    EXPECT_EQ(dst.GetPixel2(0, 1).a, 252);
}

TEST(SmoothAlgorithmTest, ImageSmallerThanTheShrinkUsesASmallerShrink)
{
    // Radius 600 wants a shrink of 101; a 3 x 3 image shrinks by 3 to one pixel.
    CQLImage src, dst;
    MakeFlat(src, 3, 3, 100);
    SmoothAlgorithm fx;
    ASSERT_EQ(Smooth(fx, src, dst, 600), 0);
    EXPECT_EQ(fx.GetShrink(), 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(dst.GetPixel2(x, y).r, (100 * 255 * 255) >> 16);

    // A block of more than 257 rows (sums beyond 16 bits): radius 2000
    // wants 334, a 260-pixel image allows 260.
    CQLImage big, bigOut;
    MakeFlat(big, 260, 261, 100);
    ASSERT_EQ(Smooth(fx, big, bigOut, 2000), 0);
    EXPECT_EQ(fx.GetShrink(), 260);
    EXPECT_EQ(bigOut.GetPixel2(259, 260).g, (100 * 255 * 255) >> 16);
}

TEST(SmoothAlgorithmTest, AlphaOnlyKeepsColoursAndSmoothsAlphaAsTheFullFilter)
{
    CQLImage src, full, alpha;
    MakePattern(src, 40, 30);
    for (int radius : {3, 12}) {
        SmoothAlgorithm all, only;
        only.SetAlphaOnly(1);
        ASSERT_EQ(Smooth(all, src, full, radius), 0);
        ASSERT_EQ(Smooth(only, src, alpha, radius), 0);
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 40; ++x) {
                const CPixel s = src.GetPixel2(x, y), a = alpha.GetPixel2(x, y);
                ASSERT_TRUE(a.b == s.b && a.g == s.g && a.r == s.r) << x << "," << y;
                ASSERT_EQ(a.a, full.GetPixel2(x, y).a) << x << "," << y;
            }
    }
}

TEST(SmoothAlgorithmTest, ToneTablesSpreadAndFoldTheHighlights)
{
    SmoothAlgorithm fx;
    fx.SetMultiScaleMode(1);
    const int* t = fx.GetHighlightTable();
    const int* inv = fx.GetInverseTable();
    EXPECT_EQ(t[229], 229);
    EXPECT_EQ(t[232], 230);
    EXPECT_EQ(t[233], 231);
    EXPECT_EQ(t[235], 235);
    EXPECT_EQ(t[255], 855);
    // The sweep moves one level per step: 230 -> 230, 231 -> 231, then waits.
    EXPECT_EQ(inv[229], 229);
    EXPECT_EQ(inv[231], 231);
    EXPECT_EQ(inv[234], 234);
    EXPECT_EQ(inv[236], 235);
    EXPECT_EQ(inv[238], 236);
    EXPECT_EQ(inv[854], 254);
    EXPECT_EQ(inv[855], 255);
    EXPECT_EQ(inv[1023], 255);
}

TEST(SmoothAlgorithmTest, MultiScalePassOnASpikeMatchesHandValues)
{
    // Radius 3: a = 1, one level, one pass with step 1 on a mirrored border.
    // Y: (16 c + 3 axis + diagonals) / 32: centre 50, edges 9, corners 3.
    CQLImage src, dst;
    MakeFlat(src, 3, 3, 0, 200);
    src.PutPixel(1, 1, {100, 100, 100, 200});
    SmoothAlgorithm fx;
    fx.SetMultiScaleMode(1);
    ASSERT_EQ(Smooth(fx, src, dst, 3), 0);
    EXPECT_EQ(fx.GetLevels(), 1);
    EXPECT_EQ(fx.GetRadius(), 1);
    const int expected[3][3] = {{3, 9, 3}, {9, 50, 9}, {3, 9, 3}};
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x) {
            const CPixel p = dst.GetPixel2(x, y);
            EXPECT_EQ(p.r, expected[y][x]) << x << "," << y;
            EXPECT_EQ(p.g, expected[y][x]) << x << "," << y;
            EXPECT_EQ(p.b, expected[y][x]) << x << "," << y;
            EXPECT_EQ(p.a, 200);
        }
}

TEST(SmoothAlgorithmTest, MultiScaleAlphaKernels)
{
    CQLImage src, dst;
    MakePattern(src, 3, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x) {
            CPixel p = src.GetPixel2(x, y);
            p.a = (x == 1 && y == 1) ? 100 : 0;
            src.PutPixel(x, y, p);
        }
    struct Case {
        int centreWeighted;
        int centre, edge, corner;
    };
    // (4 c + 2 axis + diagonals) / 16, or (20 c + 2 axis + diagonals) / 32.
    for (const Case& c : {Case{0, 25, 12, 6}, Case{1, 62, 6, 3}}) {
        SmoothAlgorithm fx;
        fx.SetMultiScaleMode(1);
        fx.SetAlphaOnly(1);
        fx.SetCentreWeighted(c.centreWeighted);
        ASSERT_EQ(Smooth(fx, src, dst, 2), 0);
        EXPECT_EQ(dst.GetPixel2(1, 1).a, c.centre);
        EXPECT_EQ(dst.GetPixel2(1, 0).a, c.edge);
        EXPECT_EQ(dst.GetPixel2(2, 2).a, c.corner);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 3; ++x)
                EXPECT_TRUE(dst.GetPixel2(x, y) == src.GetPixel2(x, y));
    }
}

TEST(SmoothAlgorithmTest, MultiScaleReadsStayInsideForLargeRadiiAndTinyImages)
{
    // Margins larger than the image and a last step beyond twice the largest
    // pyramid step: a flat grey (exact through YUV) stays flat.
    struct Case {
        int radius, levels, step, margin;
    };
    const Case cases[] = {{600, 9, 256, 512}, {2100, 9, 256, 1050}, {20, 4, 8, 16}};
    CQLImage src, dst;
    MakeFlat(src, 5, 4, 100, 17);
    for (const Case& c : cases) {
        SmoothAlgorithm fx;
        fx.SetMultiScaleMode(1);
        ASSERT_EQ(Smooth(fx, src, dst, c.radius), 0);
        EXPECT_EQ(fx.GetLevels(), c.levels);
        EXPECT_EQ(fx.GetRadius(), c.step);
        EXPECT_EQ(fx.GetMargin(), c.margin);
        EXPECT_EQ(Bytes(dst), Bytes(src)) << c.radius;
    }
}

// The multi-scale steps written out plainly: YUV, then for each step the 3 x 3
// neighbourhood s apart with the border reflected (edge repeated), then RGB.
std::vector<CPixel> MultiScaleByHand(const CQLImage& src, const std::vector<int>& steps, const int* tone,
                                     const int* inverse, bool alphaOnly, bool heavy)
{
    UINT uw = 0, uh = 0;
    src.GetSize(&uw, &uh);
    const int w = static_cast<int>(uw), h = static_cast<int>(uh);
    std::vector<CPixel> cur(static_cast<std::size_t>(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            CPixel p = src.GetPixel2(x, y);
            if (!alphaOnly)
                qlcodec::RgbToYuvPixel(&p.b);
            cur[y * w + x] = p;
        }
    auto reflect = [](int j, int n) {
        while (j < 0 || j >= n)
            j = j < 0 ? -j - 1 : 2 * n - j - 1;
        return j;
    };
    for (int s : steps) {
        std::vector<CPixel> next = cur;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                auto at = [&](int dx, int dy) { return cur[reflect(y + dy * s, h) * w + reflect(x + dx * s, w)]; };
                const CPixel n[9] = {at(0, 0), at(0, -1), at(0, 1), at(-1, 0), at(1, 0), at(-1, -1), at(1, -1), at(-1, 1), at(1, 1)};
                auto weighted = [&](int byte, int cw, int aw, const int* table) {
                    auto v = [&](int i) {
                        const int b = reinterpret_cast<const BYTE*>(&n[i])[byte];
                        return table ? table[b] : b;
                    };
                    return cw * v(0) + aw * (v(1) + v(2) + v(3) + v(4)) + v(5) + v(6) + v(7) + v(8);
                };
                CPixel& o = next[y * w + x];
                if (alphaOnly) {
                    o.a = static_cast<BYTE>(heavy ? weighted(3, 20, 2, nullptr) / 32 : weighted(3, 4, 2, nullptr) / 16);
                } else {
                    o.b = static_cast<BYTE>(weighted(0, 16, 3, nullptr) / 32);
                    o.g = static_cast<BYTE>(weighted(1, 16, 3, nullptr) / 32);
                    o.r = static_cast<BYTE>(inverse[std::min(weighted(2, 16, 3, tone) / 32, 1023)]);
                }
            }
        cur = next;
    }
    if (!alphaOnly)
        for (CPixel& p : cur)
            qlcodec::YuvToRgbPixel(&p.b);
    return cur;
}

TEST(SmoothAlgorithmTest, MultiScaleMatchesTheStepsWrittenOut)
{
    // Bright and dark areas (Y above and below 229), a width that leaves a
    // remainder, and last steps beyond the pyramid (radius 13: a = 6, p = 4).
    CQLImage src, dst;
    const int w = 29, h = 11;
    src.Create(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const bool bright = ((x / 5) + (y / 3)) % 3 == 0;
            src.PutPixel(x, y, {static_cast<BYTE>(bright ? 250 - x : x * 8), static_cast<BYTE>(bright ? 245 : y * 20),
                                static_cast<BYTE>(bright ? 240 + y % 10 : 255 - x * 7), static_cast<BYTE>(x * 9 + y * 5)});
        }
    struct Case {
        int radius;
        std::vector<int> steps;
    };
    const Case cases[] = {{3, {1}}, {5, {1, 2}}, {13, {1, 2, 4, 6}}, {40, {1, 2, 4, 8, 16, 20}}};
    for (const Case& c : cases) {
        for (int mode = 0; mode < 3; ++mode) {
            SmoothAlgorithm fx;
            fx.SetMultiScaleMode(1);
            fx.SetAlphaOnly(mode > 0);
            fx.SetCentreWeighted(mode == 2);
            ASSERT_EQ(Smooth(fx, src, dst, c.radius), 0);
            const std::vector<CPixel> expected =
                MultiScaleByHand(src, c.steps, fx.GetHighlightTable(), fx.GetInverseTable(), mode > 0, mode == 2);
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) {
                    const CPixel e = expected[y * w + x], o = dst.GetPixel2(x, y);
                    ASSERT_TRUE(e.b == o.b && e.g == o.g && e.r == o.r && e.a == o.a)
                        << "radius " << c.radius << " mode " << mode << " at " << x << "," << y;
                }
        }
    }
}

thread_local SmoothAlgorithm* g_cancelMe = nullptr;

TEST(SmoothAlgorithmTest, CancelledMultiScaleRestoresTheSourceAndFails)
{
    CQLImage src, dst;
    MakePattern(src, 30, 20);
    SmoothAlgorithm fx;
    fx.SetMultiScaleMode(1);
    g_cancelMe = &fx;
    fx.SetCallback([](int, int) {
        g_cancelMe->Cancel();
        return 0;
    });
    effecttest::ForgetLastProgress();
    EXPECT_EQ(Smooth(fx, src, dst, 30), E_FAIL);
    EXPECT_EQ(Bytes(dst), Bytes(src));
    g_cancelMe = nullptr;
}

TEST(SmoothAlgorithmTest, SourceAndTargetMayBeOneImage)
{
    CQLImage src, dst, inPlace;
    MakePattern(src, 25, 19);
    for (int radius : {4, 13}) {
        SmoothAlgorithm fx;
        ASSERT_EQ(Smooth(fx, src, dst, radius), 0);
        inPlace.DuplicateFrom(&src);
        ASSERT_EQ(Smooth(fx, inPlace, inPlace, radius), 0);
        EXPECT_EQ(Bytes(inPlace), Bytes(dst)) << radius;
    }
}

TEST(SmoothChannelTest, TinySigmaCopiesAndSmallSigmaFilters)
{
    CQLChannel src, dst;
    src.Create(3, 1);
    src.Set(0, 0, 0);
    src.Set(1, 0, 255);
    src.Set(2, 0, 0);
    SmoothAlgorithm fx;
    fx.SetChannels(&src, &dst);
    const double tiny = 0.04;
    ASSERT_EQ(fx.SmoothChannel(&tiny), 0);
    EXPECT_EQ(dst.Get(1, 0), 255);
    const double one = 1.0;
    ASSERT_EQ(fx.SmoothChannel(&one), 0);
    EXPECT_EQ(dst.Get(0, 0), 88);
    EXPECT_EQ(dst.Get(1, 0), 115);
    EXPECT_EQ(dst.Get(2, 0), 88);
    // In place, and the shrunk path on a plane of 1 x 1 after the shrink.
    fx.SetChannels(&src, &src);
    ASSERT_EQ(fx.SmoothChannel(&one), 0);
    EXPECT_EQ(src.Get(1, 0), 115);
    CQLChannel flat, out;
    flat.Create(4, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            flat.Set(x, y, 120);
    fx.SetChannels(&flat, &out);
    const double wide = 40.0;
    ASSERT_EQ(fx.SmoothChannel(&wide), 0);
    EXPECT_EQ(out.Get(3, 3), (120 * 255 * 255) >> 16);
    EXPECT_EQ(fx.SmoothChannel(nullptr), E_FAIL);
}

TEST(SmoothChannelTest, BlocksTallerThanSixteenBitSumsStayExact)
{
    // Sigma 900 shrinks by 301: blocks of 301 rows overflow 16-bit column
    // sums. A flat plane comes out as the small flat blur gives it.
    for (const int value : {255, 77}) {
        CQLChannel flat, out;
        flat.Create(700, 650);
        for (int y = 0; y < 650; ++y)
            for (int x = 0; x < 700; ++x)
                flat.Set(x, y, static_cast<BYTE>(value));
        SmoothAlgorithm fx;
        fx.SetChannels(&flat, &out);
        const double large = 900.0;
        ASSERT_EQ(fx.SmoothChannel(&large), 0);
        ASSERT_GT(fx.GetShrink(), 257);
        for (const auto& [x, y] : {std::pair{0, 0}, std::pair{350, 325}, std::pair{699, 649}})
            EXPECT_EQ(out.Get(x, y), (value * 255 * 255) >> 16) << value << " at " << x << "," << y;
    }
}

TEST(BlurImageTest, InnerColoursAreTheWeightedCrossMean)
{
    CQLImage src, dst;
    MakeFlat(src, 3, 3, 0, 9);
    src.PutPixel(1, 1, {60, 60, 60, 33});
    src.PutPixel(0, 1, {6, 6, 6, 9});
    src.PutPixel(2, 1, {12, 12, 12, 9});
    src.PutPixel(1, 0, {18, 18, 18, 9});
    src.PutPixel(1, 2, {24, 24, 24, 9});
    ASSERT_EQ(BlurImage(&src, &dst), 1);
    EXPECT_EQ(dst.GetPixel2(1, 1).r, (2 * 60 + 6 + 12 + 18 + 24) / 6);
    EXPECT_EQ(dst.GetPixel2(1, 1).a, 33);
    EXPECT_EQ(dst.GetPixel2(0, 1).r, 6); // the frame keeps its values
    CQLImage empty;
    EXPECT_EQ(BlurImage(&empty, &dst), 0);
}

} // namespace
