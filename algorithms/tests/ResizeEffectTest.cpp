#include "algorithms/ResampleAlgorithm.h"
#include "algorithms/SharpenLuma.h"
#include "algorithms/tests/ResizeTestSupport.h"

#include <gtest/gtest.h>

using namespace resizetest;

namespace {

// --- Luma sharpening -------------------------------------------------------------

// Greys are exact in YUV. Centre c against the mean b of its four
// neighbours: d = |c - b| = 50, compressed to 32 + 18 / 4 = 36, negative when
// b >= c; luma c + ((amount d) >> 8) with an arithmetic shift.
TEST(SharpenLuma, CentreAgainstItsNeighbours)
{
    const struct {
        int centre, around, amount, expected;
    } cases[] = {
        {100, 50, 150, 100 + (150 * 36 >> 8)}, // 121
        {100, 50, 300, 100 + (300 * 36 >> 8)}, // 142
        {50, 100, 150, 28},                    // 50 + floor(-5400 / 256)
        {60, 60, 150, 60},
        {100, 80, 256, 120},                   // d = 20, below the knee
        {250, 0, 256, 255},                    // clamped
    };
    for (const auto& c : cases) {
        CQLImage img;
        Make(img, 3, 3, [&](int x, int y) {
            const int v = (x == 1 && y == 1) ? c.centre : c.around;
            return Px(v, v, v, 33);
        });
        ASSERT_EQ(SharpenLuma(&img, c.amount), 1);
        EXPECT_EQ(Word(img, 1, 1), Word(Px(c.expected, c.expected, c.expected, 33))) << c.centre << "/" << c.around;
        EXPECT_EQ(Word(img, 0, 1), Word(Px(c.around, c.around, c.around, 33))) << "frame keeps its luma";
    }
}

TEST(SharpenLuma, QuickSharpenIs150)
{
    CQLImage a, b;
    Make(a, 3, 3, [](int x, int y) { return x == 1 && y == 1 ? Px(100, 100, 100) : Px(50, 50, 50); });
    b.DuplicateFrom(&a);
    QuickSharpen(&a);
    SharpenLuma(&b, 150);
    EXPECT_EQ(Word(a, 1, 1), Word(b, 1, 1));
    CQLImage empty;
    EXPECT_EQ(SharpenLuma(&empty, 150), 0);
}

// --- Resize effect -----------------------------------------------------------------

TEST(Resample, Options)
{
    ResampleAlgorithm r;
    EXPECT_EQ(r.GetMethod(), 1);
    EXPECT_DOUBLE_EQ(r.GetFactor(), 1.414);
    EXPECT_EQ(r.GetSharpenAmount(), 50);
    r.SetOptions(0, 90, 50);
    EXPECT_EQ(r.GetMethod(), 0);
    EXPECT_DOUBLE_EQ(r.GetFactor(), 1.1);
    EXPECT_EQ(r.GetSharpenAmount(), 300);
}

TEST(Resample, StripHeight)
{
    EXPECT_EQ(ResampleAlgorithm::StripHeight(3000), 200);
    EXPECT_EQ(ResampleAlgorithm::StripHeight(20000), 64);
    EXPECT_EQ(ResampleAlgorithm::StripHeight(100), 6000);
}

// A flat (10, 200, 60) shows which way was taken: the area reduction keeps it;
// the luma sharpening's YUV round trip gives (10, 199, 59); the strip pass's
// YCbCr round trip gives (10, 198, 60) with the edge map (0) in alpha.
TEST(Resample, WayByScale)
{
    const struct {
        int w, h;
        DWORD pixel;
    } cases[] = {
        {39, 29, Word(Px(10, 200, 60, 77))}, // 0.8 <= s < 1: reduction only
        {32, 24, Word(Px(10, 200, 60, 77))}, // s = 0.8
        {31, 23, Word(Px(10, 199, 59, 77))}, // s < 0.8: luma sharpening
        {60, 45, Word(Px(10, 198, 60, 0))},  // 1 < s <= 2: kernel, then strips without unsharp mask
        {80, 60, Word(Px(10, 198, 60, 0))},  // s = 2
    };
    for (const auto& c : cases) {
        CQLImage src, dst;
        Fill(src, 40, 30, Px(10, 200, 60, 77));
        ResampleAlgorithm r;
        r.SetImages(&src, &dst);
        const ResizeParams p{c.w, c.h};
        ASSERT_EQ(r.Apply(&p), 0) << c.w;
        ASSERT_EQ(Width(dst), c.w);
        ASSERT_EQ(Height(dst), c.h);
        for (int y = 0; y < c.h; ++y)
            for (int x = 0; x < c.w; ++x)
                ASSERT_EQ(Word(dst, x, y), c.pixel) << c.w << ": " << x << "," << y;
    }
}

// s = 1: the reduction copies, the strip pass round-trips to (10, 198, 60),
// then the unsharp mask (radius 2, amount 70) sharpens against a blur that is
// not flat: sigma 1 has weights 817, 496, 110, 8 (sum 2045 of 2048), so a
// full window takes 1 off each pass. Where both windows are full (3 pixels
// from every side) v - blur = 2 and trunc(70 / 128 x 2) = 1 is added; a cut
// window divides exactly, leaving v - blur = 1, which adds nothing.
TEST(Resample, OwnSizeRunsTheStripPassWithUnsharpMask)
{
    CQLImage src, dst;
    Fill(src, 40, 30, Px(10, 200, 60, 77));
    ResampleAlgorithm r;
    r.SetImages(&src, &dst);
    const ResizeParams p{40, 30};
    ASSERT_EQ(r.Apply(&p), 0);
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 40; ++x) {
            const bool inner = x >= 3 && x <= 36 && y >= 3 && y <= 26;
            ASSERT_EQ(Word(dst, x, y), inner ? Word(Px(11, 199, 61, 0)) : Word(Px(10, 198, 60, 0))) << x << "," << y;
        }
    }
}

TEST(Resample, MoreThanDoubleGoesThroughTwice)
{
    CQLImage src, dst;
    Make(src, 20, 10, [](int x, int y) { return Px(x * 12, y * 25, 128); });
    ResampleAlgorithm r;
    r.SetImages(&src, &dst);
    const ResizeParams p{41, 21};
    ASSERT_EQ(r.Apply(&p), 0);
    EXPECT_EQ(Width(dst), 41);
    EXPECT_EQ(Height(dst), 21);
}

// Many strips over several cores: every row of a flat image must have been
// through the YCbCr round trip exactly once. Reading rows that the previous
// strip had already written would turn them twice (to (10, 196, 60)).
TEST(Resample, StripOverlapsAreProcessedOnce)
{
    CQLImage src, dst;
    Fill(src, 6667, 467, Px(10, 200, 60, 77));
    ResampleAlgorithm r;
    r.SetImages(&src, &dst);
    const ResizeParams p{10000, 700}; // s = 1.5, strips of 64 rows
    ASSERT_EQ(r.Apply(&p), 0);
    for (int y = 0; y < 700; ++y)
        for (int x = 0; x < 10000; x += 997)
            ASSERT_EQ(Word(dst, x, y), Word(Px(10, 198, 60, 0))) << x << "," << y;
}

// Cross-fade of the strips, seen through the unsharp mask alone (method 0,
// s = 1) on a flat (10, 200, 60): inside a 64-row strip, a row at least 3
// rows from the strip's ends (and 3 columns from the sides) gets +1 (see
// above), the others keep the value. Rows shared by strip i - 1 (old) and
// strip i (new) at overlap row k take (old (256 - 8k) + new 8k) >> 8, which
// floors 201 against 200 to 200.
TEST(Resample, StripsCrossFadeTheirOverlap)
{
    const int W = 10000, H = 64 + 32 * 15; // 16 strips of 64 rows, more than one a core
    CQLImage src, dst;
    Fill(src, W, H, Px(10, 200, 60, 77));
    ResampleAlgorithm r;
    r.SetOptions(0, 90, 50);
    r.SetImages(&src, &dst);
    const ResizeParams p{W, H};
    ASSERT_EQ(r.Apply(&p), 0);

    const auto gain = [](int local) { return local >= 3 && local <= 60 ? 1 : 0; };
    for (int y = 0; y < H; ++y) {
        int add;
        if (y < 32) {
            add = gain(y);
        } else if (y >= H - 32) {
            add = gain(y - (H - 64));
        } else {
            const int k = y % 32;
            const int old = 200 + gain(k + 32), fresh = 200 + gain(k);
            add = ((old * (256 - 8 * k) + fresh * 8 * k) >> 8) - 200;
        }
        for (const int x : {0, 2, 3, 500, W - 4, W - 1}) {
            const int a = (x >= 3 && x <= W - 4) ? add : 0;
            ASSERT_EQ(Word(dst, x, y), Word(Px(10 + a, 200 + a, 60 + a, 77))) << x << "," << y;
        }
    }
}

// A cancel that arrives while the strips run on several cores stops them all.
ResampleAlgorithm* g_cancelled = nullptr;
int CancelInStrips(int, int value)
{
    if (value > 40 && g_cancelled)
        g_cancelled->Cancel();
    return 0;
}

TEST(Resample, CancelDuringTheStripsFails)
{
    CQLImage src, dst;
    Make(src, 4000, 300, [](int x, int y) { return Px(x & 255, y & 255, (x ^ y) & 255); });
    ResampleAlgorithm r;
    g_cancelled = &r;
    r.SetImages(&src, &dst);
    r.SetCallback(CancelInStrips);
    const ResizeParams p{6000, 450}; // strips of 100 rows
    EXPECT_EQ(r.Apply(&p), E_FAIL);
    g_cancelled = nullptr;
    r.SetCallback(nullptr);
    EXPECT_EQ(r.Apply(&p), 0) << "the next run is not cancelled";
}

// An amount far beyond the usual ones only saturates.
TEST(SharpenLuma, HugeAmountSaturates)
{
    CQLImage img;
    Make(img, 3, 3, [](int x, int y) { return x == 1 && y == 1 ? Px(100, 100, 100) : Px(50, 50, 50); });
    ASSERT_EQ(SharpenLuma(&img, 2000000000), 1);
    EXPECT_EQ(Word(img, 1, 1), Word(Px(255, 255, 255)));
}

TEST(Resample, RefusesBadTargets)
{
    CQLImage src, dst;
    Fill(src, 8, 8, Px(1, 2, 3));
    Fill(dst, 2, 2, Px(9, 9, 9));
    ResampleAlgorithm r;
    r.SetImages(&src, &dst);
    for (const ResizeParams p : {ResizeParams{0, 5}, ResizeParams{5, -1}}) {
        EXPECT_EQ(r.Apply(&p), E_FAIL);
        EXPECT_EQ(Width(dst), 2);
    }
    r.SetImages(&src, &src);
    const ResizeParams p{4, 4};
    EXPECT_EQ(r.Apply(&p), E_FAIL);
    EXPECT_EQ(Width(src), 8);
}

} // namespace
