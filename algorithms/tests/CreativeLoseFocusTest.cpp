// Lose-focus blur against the direct sum over the aperture, and edge shrink
// on small grey fixtures worked out by hand.
#include "algorithms/EdgeShrinkAlgorithm.h"
#include "algorithms/LoseFocusBlurAlgorithm.h"
#include "algorithms/tests/EffectTestSupport.h"
#include "platform/codec/ColorForms.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

using effecttest::Bytes;

std::unique_ptr<LoseFocusParams> Aperture(int radius, int highlights)
{
    auto p = std::make_unique<LoseFocusParams>();
    std::memset(p.get(), 0, sizeof *p);
    p->radius = radius;
    p->highlights = highlights;
    return p;
}

void SetCell(LoseFocusParams& p, int m, int k)
{
    p.aperture[128 * m + k] = 1;
}

void MakeNoise(CQLImage& image, int w, int h, unsigned seed, int lo = 0)
{
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> value(lo, 255);
    image.Create(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.PutPixel(x, y, {static_cast<BYTE>(value(rng)), static_cast<BYTE>(value(rng)),
                                  static_cast<BYTE>(value(rng)), static_cast<BYTE>(value(rng))});
}

// -1 reads 0, n reads n - 1, and on, for any distance.
int Mirror(int j, int n)
{
    while (j < 0 || j >= n)
        j = j < 0 ? -1 - j : 2 * n - 1 - j;
    return j;
}

// The blur as first written: every aperture cell of every pixel.
void DirectBlur(const CQLImage& src, CQLImage& out, const LoseFocusParams& p)
{
    UINT uw = 0, uh = 0;
    src.GetSize(&uw, &uh);
    const int w = static_cast<int>(uw), h = static_cast<int>(uh);
    const int r = p.radius;
    out.DuplicateFrom(&src);
    int count = 0;
    for (int m = 0; m < 2 * r; ++m)
        for (int k = 0; k < 2 * r; ++k)
            count += p.aperture[128 * m + k] != 0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            long long sum[3] = {};
            for (int m = 0; m < 2 * r; ++m) {
                for (int k = 0; k < 2 * r; ++k) {
                    if (!p.aperture[128 * m + k])
                        continue;
                    CPixel c = src.GetPixel2(Mirror(x + k - r, w), Mirror(y + m - r, h));
                    if (p.highlights) {
                        qlcodec::RgbToYuvPixel(&c.b);
                        const int v = c.r; // luma in byte 2
                        sum[2] += v < 235 ? v : (v - 235) * (v - 235) + 235;
                    } else {
                        sum[2] += c.r;
                    }
                    sum[0] += c.b;
                    sum[1] += c.g;
                }
            }
            BYTE* o = out.GetBuffer(x, y);
            o[0] = static_cast<BYTE>(sum[0] / count);
            o[1] = static_cast<BYTE>(sum[1] / count);
            o[2] = static_cast<BYTE>(std::min<long long>(sum[2] / count, 255));
            if (p.highlights)
                qlcodec::YuvToRgbPixel(o);
        }
    }
}

enum class Shape { Disc, Random, Ring, Full, Stripes, Corner };

struct BlurCase {
    std::string name;
    int w, h, radius;
    Shape shape;
    int highlights;
};

void PrintTo(const BlurCase& c, std::ostream* os)
{
    *os << c.name;
}

class LoseFocusMatchesDirectSum : public ::testing::TestWithParam<BlurCase> {};

TEST_P(LoseFocusMatchesDirectSum, EveryPixel)
{
    const BlurCase& c = GetParam();
    auto p = Aperture(c.radius, c.highlights);
    const int side = 2 * c.radius;
    std::mt19937 rng(c.w * 131 + c.radius);
    for (int m = 0; m < side; ++m) {
        for (int k = 0; k < side; ++k) {
            const int dx = 2 * k + 1 - side, dy = 2 * m + 1 - side; // twice the offset from the centre
            const int d2 = dx * dx + dy * dy, r2 = side * side;
            bool on = false;
            switch (c.shape) {
            case Shape::Disc: on = d2 <= r2; break;
            case Shape::Random: on = rng() % 3 == 0; break;
            case Shape::Ring: on = d2 <= r2 && d2 >= r2 / 3; break;
            case Shape::Full: on = true; break;
            case Shape::Stripes: on = k % 2 == 0; break; // more runs than the 16-bit sums take
            case Shape::Corner: on = m == side - 1 && k == side - 1; break;
            }
            if (on)
                SetCell(*p, m, k);
        }
    }
    CQLImage src, expected, target;
    MakeNoise(src, c.w, c.h, static_cast<unsigned>(c.h * 7 + c.radius), c.highlights ? 150 : 0);
    DirectBlur(src, expected, *p);
    // Cells beyond the 2r x 2r square are not part of the aperture.
    SetCell(*p, 127, 127);
    LoseFocusBlurAlgorithm blur;
    blur.SetImages(&src, &target);
    ASSERT_EQ(blur.Apply(p.get()), 0);
    EXPECT_EQ(Bytes(target), Bytes(expected));
}

INSTANTIATE_TEST_SUITE_P(
    Apertures, LoseFocusMatchesDirectSum,
    ::testing::Values(BlurCase{"Disc", 23, 17, 4, Shape::Disc, 0}, BlurCase{"DiscHighlights", 23, 17, 4, Shape::Disc, 1},
                      BlurCase{"Random", 19, 13, 3, Shape::Random, 0},
                      BlurCase{"RandomHighlights", 19, 13, 3, Shape::Random, 1},
                      BlurCase{"Ring", 30, 9, 6, Shape::Ring, 0}, BlurCase{"Full", 9, 11, 2, Shape::Full, 0},
                      BlurCase{"Stripes", 40, 6, 20, Shape::Stripes, 0},
                      BlurCase{"RadiusBeyondTheImage", 3, 2, 7, Shape::Disc, 0},
                      BlurCase{"RadiusBeyondTheImageHighlights", 2, 3, 9, Shape::Random, 1},
                      BlurCase{"OneCornerCell", 5, 4, 2, Shape::Corner, 0}, BlurCase{"OnePixelImage", 1, 1, 3, Shape::Disc, 0}),
    [](const ::testing::TestParamInfo<BlurCase>& info) { return info.param.name; });

TEST(LoseFocusBlur, FullTwoByTwoApertureByHand)
{
    // r = 1: the cells cover offsets -1..0; row -1 reads row 0, column -1 column 0.
    CQLImage src, target;
    src.Create(3, 1);
    const BYTE values[3] = {0, 30, 90};
    for (int x = 0; x < 3; ++x)
        src.PutPixel(x, 0, {values[x], values[x], values[x], 7});
    auto p = Aperture(1, 0);
    SetCell(*p, 0, 0), SetCell(*p, 0, 1), SetCell(*p, 1, 0), SetCell(*p, 1, 1);
    LoseFocusBlurAlgorithm blur;
    blur.SetImages(&src, &target);
    ASSERT_EQ(blur.Apply(p.get()), 0);
    const int expected[3] = {0, 15, 60}; // (0+0)*2/4, (0+30)*2/4, (30+90)*2/4
    for (int x = 0; x < 3; ++x) {
        const CPixel o = target.GetPixel2(x, 0);
        EXPECT_EQ(o.b, expected[x]);
        EXPECT_EQ(o.r, expected[x]);
        EXPECT_EQ(o.a, 7); // alpha untouched
    }
}

TEST(LoseFocusBlur, CentreCellAloneIsTheIdentity)
{
    CQLImage src, target;
    MakeNoise(src, 17, 9, 5);
    for (int r : {1, 5, 64}) {
        auto p = Aperture(r, 0);
        SetCell(*p, r, r);
        LoseFocusBlurAlgorithm blur;
        blur.SetImages(&src, &target);
        ASSERT_EQ(blur.Apply(p.get()), 0);
        EXPECT_EQ(Bytes(target), Bytes(src)) << "radius " << r;
    }
}

TEST(LoseFocusBlur, EmptyApertureLeavesACopy)
{
    CQLImage src, target;
    MakeNoise(src, 6, 5, 9);
    auto p = Aperture(4, 1);
    SetCell(*p, 8, 0); // just outside the 8 x 8 square
    LoseFocusBlurAlgorithm blur;
    blur.SetImages(&src, &target);
    ASSERT_EQ(blur.Apply(p.get()), 0);
    EXPECT_EQ(Bytes(target), Bytes(src));
}

TEST(LoseFocusBlur, RadiusIsClampedToTheAperture)
{
    CQLImage src, clamped, expected;
    MakeNoise(src, 12, 10, 3);
    struct {
        int given, used;
    } cases[] = {{100, 64}, {0, 1}, {-3, 1}};
    for (const auto& c : cases) {
        auto p = Aperture(c.given, 0);
        std::memset(p->aperture, 1, sizeof p->aperture);
        LoseFocusBlurAlgorithm blur;
        blur.SetImages(&src, &clamped);
        ASSERT_EQ(blur.Apply(p.get()), 0);
        p->radius = c.used;
        blur.SetImages(&src, &expected);
        ASSERT_EQ(blur.Apply(p.get()), 0);
        EXPECT_EQ(Bytes(clamped), Bytes(expected)) << "radius " << c.given;
    }
}

TEST(LoseFocusBlur, HighlightsOfFullWhiteStayWhite)
{
    CQLImage src, target;
    effecttest::MakeFlat(src, 7, 5, 255);
    auto p = Aperture(2, 1);
    std::memset(p->aperture, 1, sizeof p->aperture);
    LoseFocusBlurAlgorithm blur;
    blur.SetImages(&src, &target);
    ASSERT_EQ(blur.Apply(p.get()), 0);
    EXPECT_EQ(Bytes(target), Bytes(src)); // 635 clamped to 255
}

TEST(LoseFocusBlur, MissingParamsFail)
{
    CQLImage src, target;
    MakeNoise(src, 4, 4, 1);
    LoseFocusBlurAlgorithm blur;
    blur.SetImages(&src, &target);
    EXPECT_EQ(blur.Apply(nullptr), E_FAIL);
}

thread_local EffectAlgorithm* g_toCancel = nullptr;

int CancelAtOnce(int, int)
{
    if (g_toCancel)
        g_toCancel->Cancel();
    return 0;
}

TEST(LoseFocusBlur, CancelLeavesThePlainCopyNotYuv)
{
    // Both effects work in YUV; a cancelled run must not leave that behind.
    CQLImage src;
    MakeNoise(src, 40, 30, 21);
    auto p = Aperture(3, 1);
    std::memset(p->aperture, 1, sizeof p->aperture);
    const EdgeShrinkParams strength = {200};
    LoseFocusBlurAlgorithm blur;
    EdgeShrinkAlgorithm shrink;
    struct {
        EffectAlgorithm* fx;
        const void* params;
    } cases[] = {{&blur, p.get()}, {&shrink, &strength}};
    for (const auto& c : cases) {
        CQLImage target;
        effecttest::ForgetLastProgress();
        g_toCancel = c.fx;
        c.fx->SetImages(&src, &target);
        c.fx->SetRange(0, 100);
        c.fx->SetCallback(CancelAtOnce);
        EXPECT_EQ(c.fx->Apply(c.params), E_FAIL);
        g_toCancel = nullptr;
        EXPECT_EQ(Bytes(target), Bytes(src));
    }
}

// Grey columns: luma is the grey value, and the YUV round trip is exact.
void MakeColumns(CQLImage& image, const std::vector<int>& columns, int h)
{
    image.Create(static_cast<UINT>(columns.size()), h);
    for (int y = 0; y < h; ++y)
        for (std::size_t x = 0; x < columns.size(); ++x) {
            const BYTE v = static_cast<BYTE>(columns[x]);
            image.PutPixel(static_cast<int>(x), y, {v, v, v, 255});
        }
}

TEST(EdgeShrink, CentreOfFiveByFiveByHand)
{
    // Columns 0 0 40 60 60. At (2, 2): vertical 0; horizontal |(0 + 0 + 40) -
    // (60 + 60 + 60)| = 140 (the pixel below stands in the left group);
    // lo 0, hi 60; Y' = 40 + ((40 - 30) * 200 >> 8) = 47;
    // K = (140 * 47 + 115 * 40) >> 8 = 43.
    CQLImage image;
    MakeColumns(image, {0, 0, 40, 60, 60}, 5);
    CQLImage before;
    before.DuplicateFrom(&image);
    ASSERT_EQ(EdgeShrinkImage(image, 200), 1);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x) {
            const CPixel o = image.GetPixel2(x, y);
            const int expected = (x == 2 && y == 2) ? 43 : before.GetPixel2(x, y).r;
            EXPECT_EQ(o.b, expected) << x << "," << y;
            EXPECT_EQ(o.g, expected) << x << "," << y;
            EXPECT_EQ(o.r, expected) << x << "," << y;
        }
}

TEST(EdgeShrink, PullBelowTheMiddleRoundsDown)
{
    // Columns 0 0 40 100 100 at (2, 2): edge 255, lo 0, hi 100, mid 50;
    // (40 - 50) * 200 >> 8 = -8 (rounding down), so Y' = 32 and K = 255 * 32 >> 8 = 31.
    CQLImage src, target;
    MakeColumns(src, {0, 0, 40, 100, 100}, 5);
    const std::vector<BYTE> before = Bytes(src);
    EdgeShrinkAlgorithm shrink;
    shrink.SetImages(&src, &target);
    const EdgeShrinkParams p = {200};
    ASSERT_EQ(shrink.Apply(&p), 0);
    EXPECT_EQ(target.GetPixel2(2, 2).r, 31);
    EXPECT_EQ(target.GetPixel2(1, 2).r, 0);
    EXPECT_EQ(Bytes(src), before); // the source is only read
}

TEST(EdgeShrink, SmallImagesOnlyMakeTheYuvRoundTrip)
{
    CQLImage src, target;
    MakeNoise(src, 4, 7, 11);
    EdgeShrinkAlgorithm shrink;
    shrink.SetImages(&src, &target);
    const EdgeShrinkParams p = {256};
    ASSERT_EQ(shrink.Apply(&p), 0);
    CQLImage expected;
    expected.DuplicateFrom(&src);
    qlcodec::RgbToYuv(expected.GetBuffer(0, 0), 28);
    qlcodec::YuvToRgb(expected.GetBuffer(0, 0), 28);
    EXPECT_EQ(Bytes(target), Bytes(expected));
}

} // namespace
