// The tone-curve rules of "Professional Histograms": tables by hand, the
// 16-bit expansion, dragging limits, "Auto", smoothing, the strip and the
// theme step.
#include "editor/adjust/HistogramCurve.h"

#include "algorithms/ColorThemeAlgorithm.h"

#include <gtest/gtest.h>

#include <vector>

using namespace histcurve;

namespace {

std::vector<CurvePoint> Points(std::initializer_list<std::pair<int, int>> xy)
{
    std::vector<CurvePoint> p;
    for (auto [x, y] : xy) {
        CurvePoint c;
        c.x = x;
        c.y = y;
        p.push_back(c);
    }
    return p;
}

const RECT kPlot{10, 10, 266, 266};  // 256 x 256: one pixel per level

} // namespace

TEST(HistogramCurve, ResetPlacesPointsOnTheDiagonal)
{
    struct Case {
        int n;
        std::vector<int> x;
    };
    for (const Case& c : {Case{3, {0, 127, 255}}, Case{5, {0, 63, 127, 191, 255}},
                          Case{7, {0, 42, 85, 127, 170, 212, 255}}}) {
        CurvePoint p[kMaxPoints];
        ResetPoints(p, c.n);
        for (int i = 0; i < c.n; ++i) {
            EXPECT_EQ(p[i].x, c.x[i]) << c.n << " " << i;
            EXPECT_EQ(p[i].y, c.x[i]);
        }
    }
}

TEST(HistogramCurve, StraightTableByHand)
{
    const auto p = Points({{10, 20}, {100, 200}, {200, 250}});
    BYTE t[256];
    BuildStraight(p.data(), 3, t);
    struct Case {
        int j, v;
    };
    for (Case c : {Case{0, 0}, Case{5, 10}, Case{9, 18}, Case{10, 20}, Case{55, 110}, Case{99, 198}, Case{100, 200},
                   Case{150, 225}, Case{199, 249}, Case{200, 250}, Case{255, 250}})
        EXPECT_EQ(t[c.j], c.v) << c.j;
}

TEST(HistogramCurve, SmoothTableByHand)
{
    // Identity points give the identity; a raised middle bows the curve up
    // with its slopes kept at the ends.
    BYTE t[256];
    auto p = Points({{0, 0}, {127, 127}, {255, 255}});
    BuildSmooth(p.data(), 3, t);
    for (int j = 0; j < 256; ++j)
        EXPECT_NEAR(t[j], j, 1) << j;
    p = Points({{0, 0}, {127, 167}, {255, 255}});
    BuildSmooth(p.data(), 3, t);
    // s0 = 2 x 167/127 - 1 = 1.6299, s1 = 1, at j = 64 on the first span.
    const double u = 64.0 / 127;
    const double v = 167 * u * u * (3 - 2 * u) + 1.6299 * 64 * (1 - u) * (1 - u) - 1.0 * 63 * u * u;
    EXPECT_EQ(t[64], static_cast<int>(v));
    EXPECT_EQ(t[127], 167);
    EXPECT_EQ(t[255], 255);
    // Below the first point the smooth table is 0.
    p = Points({{40, 0}, {127, 127}, {255, 255}});
    BuildSmooth(p.data(), 3, t);
    EXPECT_EQ(t[0], 0);
    EXPECT_EQ(t[39], 0);
    // A steep curve is clamped, never wrapped.
    p = Points({{0, 0}, {20, 255}, {255, 255}});
    BuildSmooth(p.data(), 3, t);
    for (int j = 0; j < 256; ++j)
        EXPECT_LE(t[j], 255);
    EXPECT_EQ(t[20], 255);
}

TEST(HistogramCurve, SixteenBitExpansion)
{
    BYTE t[256];
    for (int j = 0; j < 256; ++j)
        t[j] = static_cast<BYTE>(255 - j);
    std::vector<WORD> out(65536);
    Expand16(t, out.data());
    EXPECT_EQ(out[0], 255 * 256);
    EXPECT_EQ(out[256 * 10 + 0], 245 * 256);
    EXPECT_EQ(out[256 * 10 + 128], 245 * 128 + 244 * 128);
    EXPECT_EQ(out[256 * 254 + 255], 1 * 1 + 0 * 255);
    EXPECT_EQ(out[256 * 255 + 0], 0);
    EXPECT_EQ(out[65535], 0);
    t[255] = 255;
    Expand16(t, out.data());
    EXPECT_EQ(out[65535], 255 * 256);
}

TEST(HistogramCurve, DragLimits)
{
    struct Case {
        const char* what;
        int index;
        POINT mouse;
        int x, y;
    };
    // Points at 0, 127, 255 on the diagonal; mouse (px, py) means level
    // x = px - 10, y = 255 - (py - 10).
    const Case cases[] = {
        {"middle free", 1, {10 + 100, 10 + 55}, 100, 200},
        {"middle kept 8 above the first", 1, {10 + 3, 10 + 100}, 8, 155},
        {"middle kept 8 below the last", 1, {10 + 252, 10 + 100}, 247, 155},
        {"first above the diagonal sticks left", 0, {10 + 50, 10 + 55}, 0, 200},
        {"first below the diagonal sticks to the bottom", 0, {10 + 50, 10 + 235}, 50, 0},
        {"first kept 8 below its neighbour", 0, {10 + 200, 10 + 250}, 119, 0},
        {"last above the diagonal sticks to the top", 2, {10 + 200, 10 + 5}, 200, 255},
        {"last below sticks right", 2, {10 + 200, 10 + 200}, 255, 55},
        {"outside the plot clamps", 1, {-500, 900}, 8, 0},
    };
    for (const Case& c : cases) {
        CurvePoint p[3];
        ResetPoints(p, 3);
        DragPoint(kPlot, c.mouse, p, 3, c.index);
        EXPECT_EQ(p[c.index].x, c.x) << c.what;
        EXPECT_EQ(p[c.index].y, c.y) << c.what;
        const RECT r = HandleRect(kPlot, c.x, c.y);
        EXPECT_EQ(p[c.index].rect.left, r.left) << c.what;
    }
}

TEST(HistogramCurve, AutoLevels)
{
    struct Case {
        const char* what;
        std::vector<std::uint32_t> counts; // 65536 counters
        long long pixels;
        int x0, x1, x2;
    };
    std::vector<std::uint32_t> ramp(65536, 0);
    for (int v = 0; v < 65536; v += 64)
        ramp[v] = 4;  // 4096 pixels spread over the range; t = 10
    std::vector<std::uint32_t> grey(65536, 0);
    grey[128 * 256] = 10000;
    std::vector<std::uint32_t> white(65536, 0);
    white[65535] = 10000;
    std::vector<std::uint32_t> tiny(65536, 0);
    tiny[0] = 399;
    const Case cases[] = {
        // low: 3 counters of 4 reach 10 after 129 entries -> 0; high after
        // 129 from the top -> (65535 - 129) / 256 = 255.
        {"ramp", ramp, 4096, 0, 127, 255},
        {"uniform grey", grey, 10000, 119, 127, 135},  // low 128, high 127
        {"white held inside", white, 10000, 239, 247, 255},
        {"fewer than 400 pixels", tiny, 399, 0, 127, 255},
    };
    for (const Case& c : cases) {
        CurvePoint p[3];
        AutoPoints(c.counts.data(), 1, c.pixels, p);
        EXPECT_EQ(p[0].x, c.x0) << c.what;
        EXPECT_EQ(p[1].x, c.x1) << c.what;
        EXPECT_EQ(p[2].x, c.x2) << c.what;
        EXPECT_EQ(p[0].y, 0);
        EXPECT_EQ(p[1].y, 128);
        EXPECT_EQ(p[2].y, 255);
        BYTE t[256];
        BuildStraight(p, 3, t);  // no division by zero
        EXPECT_EQ(t[255], 255) << c.what;
    }
}

TEST(HistogramCurve, ResultHistogramSmoothing)
{
    std::uint32_t h[256] = {};
    h[0] = 30;
    h[1] = 0;
    h[2] = 90;
    h[100] = 9;
    h[255] = 7;
    SmoothHistogram(h);
    EXPECT_EQ(h[0], 30u);          // ends kept
    EXPECT_EQ(h[1], 40u);          // (30 + 0 + 90) / 3
    EXPECT_EQ(h[2], 30u);          // from the unsmoothed values
    EXPECT_EQ(h[3], 30u);
    EXPECT_EQ(h[99], 3u);
    EXPECT_EQ(h[100], 3u);
    EXPECT_EQ(h[101], 3u);
    EXPECT_EQ(h[254], 2u);
    EXPECT_EQ(h[255], 7u);
}

TEST(HistogramCurve, StripColumnsAndScale)
{
    struct Case {
        int width, column, bin;
    };
    for (Case c : {Case{20, 18, -1}, Case{28, 18, -1}, Case{29, 18, 255}, Case{300, 18, 0}, Case{300, 153, 128},
                   Case{300, 289, 255}})
        EXPECT_EQ(StripBin(c.column, c.width), c.bin) << c.width << " " << c.column;
    std::uint32_t bins[256] = {};
    bins[3] = 1000;
    EXPECT_EQ(StripScale(bins, 100000), 1000u);
    EXPECT_EQ(StripScale(bins, 10000), 200u);  // capped at pixels / 50
    EXPECT_EQ(StripScale(bins, 20), 1u);       // never 0
}

TEST(HistogramCurve, CurvesStepOrder)
{
    BYTE curves[kChannels][256];
    for (int ch = 0; ch < kChannels; ++ch)
        for (int j = 0; j < 256; ++j)
            curves[ch][j] = static_cast<BYTE>(ch * 10 + j % 5);
    ColorThemeStep rgb = CurvesStep(0, curves);
    EXPECT_EQ(rgb.type, ColorThemeStep::Curves);
    for (int k = 0; k < 3; ++k)
        EXPECT_EQ(rgb.payload[256 * k + 1], curves[0][1]);
    ColorThemeStep colour = CurvesStep(2, curves);
    EXPECT_EQ(colour.payload[0 + 2], curves[3][2]);    // blue
    EXPECT_EQ(colour.payload[256 + 2], curves[2][2]);  // green
    EXPECT_EQ(colour.payload[512 + 2], curves[1][2]);  // red
    EXPECT_EQ(colour.payload[768], 0);
}

TEST(HistogramCurve, FourCountersPerSixteenBitLevel)
{
    C16BitBitmap bitmap;
    ASSERT_EQ(bitmap.Create(300, 200), 1);
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 300; ++x)
            *bitmap.GetBuffer(x, y) = C16BitPixel{static_cast<WORD>(x), 1000, static_cast<WORD>(x < 100 ? 2000 : 3000)};
    Histogram16 counts;
    CountHistogram16(bitmap, counts);
    EXPECT_EQ(counts[1000][2], 60000u);                 // green
    EXPECT_EQ(counts[2000][1], 20000u);                 // red
    EXPECT_EQ(counts[3000][1], 40000u);
    EXPECT_EQ(counts[7][3], 200u);                      // blue
    EXPECT_EQ(counts[(3 * 2000 + 6000) / 10][0], 2000u);  // luminance of x = 0..9
}
