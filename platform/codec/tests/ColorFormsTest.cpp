// HSB and YUV forms: byte layout, anchors, exact inverse formulas, and the
// round-trip error over every 24-bit colour (printed as a table).
#include "platform/codec/ColorForms.h"
#include "platform/codec/QLImageCodec.h"
#include "platform/codec/tests/CodecTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <vector>

using namespace qlcodec;

namespace {

CPixel Rgb(int r, int g, int b, int a = 77)
{
    return CPixel{BYTE(b), BYTE(g), BYTE(r), BYTE(a)};
}

TEST(ColorForms, HsbLayoutAndAnchors)
{
    struct Case { int r, g, b, bright, sat, hue; } cases[] = {
        {255, 0, 0, 255, 255, 0},     {255, 255, 0, 255, 255, 43},  {0, 255, 0, 255, 255, 85},
        {0, 255, 255, 255, 255, 128}, {0, 0, 255, 255, 255, 170},   {255, 0, 255, 255, 255, 213},
        {0, 0, 0, 0, 0, 0},           {128, 128, 128, 128, 0, 0},   {255, 255, 255, 255, 0, 0},
        {200, 100, 100, 200, 128, 0},
    };
    for (const Case& c : cases) {
        const CPixel h = RgbToHsb(Rgb(c.r, c.g, c.b));
        EXPECT_EQ(h.b, c.bright) << c.r << "," << c.g << "," << c.b;
        EXPECT_EQ(h.g, c.sat) << c.r << "," << c.g << "," << c.b;
        EXPECT_EQ(h.r, c.hue) << c.r << "," << c.g << "," << c.b;
        EXPECT_EQ(h.a, 77); // alpha untouched
        const CPixel back = HsbToRgb(h);
        if (c.hue % 85 == 0 || c.sat == 0) { // primaries and greys come back exactly
            EXPECT_TRUE(back == Rgb(c.r, c.g, c.b)) << c.r << "," << c.g << "," << c.b;
        }
    }
    // Hue 255 reads as red.
    CPixel p{255, 255, 255, 0};
    HsbToRgbPixel(&p.b);
    EXPECT_TRUE(p == Rgb(255, 0, 0));
}

TEST(ColorForms, YuvLayout)
{
    CPixel p = Rgb(255, 0, 0, 9);
    RgbToYuvPixel(&p.b);
    EXPECT_EQ(p.r, 76);  // Y in byte 2
    EXPECT_EQ(p.g, 85);  // U (Cb) in byte 1
    EXPECT_EQ(p.b, 255); // V (Cr) in byte 0
    EXPECT_EQ(p.a, 9);
    CPixel grey = Rgb(100, 100, 100);
    RgbToYuvPixel(&grey.b);
    EXPECT_TRUE(grey == Rgb(100, 128, 128));
}

// The inverse written out with the fixed-point factors and the stated rounding.
TEST(ColorForms, YuvInverseIsTheFixedPointFormula)
{
    for (int y = 0; y < 256; y += 3)
        for (int u = 0; u < 256; u += 5)
            for (int v = 0; v < 256; v += 7) {
                CPixel p{BYTE(v), BYTE(u), BYTE(y), 1};
                YuvToRgbPixel(&p.b);
                auto clamp = [](int x) { return x < 0 ? 0 : (x > 255 ? 255 : x); };
                const int r = clamp(y + static_cast<int>(std::floor((1436.0 * (v - 128) + 512) / 1024)));
                const int g = clamp(y + static_cast<int>(std::floor((-352.0 * (u - 128) - 714.0 * (v - 128) + 512) / 1024)));
                const int b = clamp(y + static_cast<int>(std::floor((1814.0 * (u - 128) + 512) / 1024)));
                ASSERT_EQ(p.r, r);
                ASSERT_EQ(p.g, g);
                ASSERT_EQ(p.b, b);
                ASSERT_EQ(p.a, 1);
            }
}

struct Errors {
    int max[3] = {0, 0, 0};
    std::vector<long long> histogram = std::vector<long long>(16, 0); // of the largest channel error
    long long exact = 0;
};

template <class Forward, class Inverse>
Errors RoundTripAll(Forward fwd, Inverse inv)
{
    Errors e;
    std::vector<CPixel> row(256 * 256);
    for (int r = 0; r < 256; ++r) {
        for (int g = 0; g < 256; ++g)
            for (int b = 0; b < 256; ++b)
                row[std::size_t(g) * 256 + b] = Rgb(r, g, b, 200);
        fwd(row.data(), row.size());
        inv(row.data(), row.size());
        for (int g = 0; g < 256; ++g)
            for (int b = 0; b < 256; ++b) {
                const CPixel p = row[std::size_t(g) * 256 + b];
                const int d[3] = {std::abs(p.r - r), std::abs(p.g - g), std::abs(p.b - b)};
                int m = 0;
                for (int k = 0; k < 3; ++k) {
                    e.max[k] = std::max(e.max[k], d[k]);
                    m = std::max(m, d[k]);
                }
                e.histogram[std::size_t(std::min(m, 15))]++;
                e.exact += m == 0;
                if (p.a != 200)
                    ADD_FAILURE() << "alpha changed";
            }
    }
    return e;
}

void Print(const char* name, const Errors& e)
{
    std::printf("%s round trip over all 16777216 colours: max |dR| %d, |dG| %d, |dB| %d\n", name, e.max[0], e.max[1],
                e.max[2]);
    std::printf("  largest channel error : colours\n");
    for (std::size_t i = 0; i < e.histogram.size(); ++i)
        if (e.histogram[i])
            std::printf("  %2zu : %lld\n", i, e.histogram[i]);
}

TEST(ColorForms, HsbRoundTripTable)
{
    const Errors e = RoundTripAll([](CPixel* p, std::size_t n) { RgbToHsb(p, n); },
                                  [](CPixel* p, std::size_t n) { HsbToRgb(p, n); });
    Print("HSB", e);
    EXPECT_LE(e.max[0], 3);
    EXPECT_LE(e.max[1], 3);
    EXPECT_LE(e.max[2], 3);
}

TEST(ColorForms, YuvRoundTripTable)
{
    const Errors e = RoundTripAll([](CPixel* p, std::size_t n) { RgbToYuv(p, n); },
                                  [](CPixel* p, std::size_t n) { YuvToRgb(p, n); });
    Print("YUV (descreening inverse)", e);
    EXPECT_LE(e.max[0], 1);
    EXPECT_LE(e.max[1], 3); // the inverse's G factor 714 stands for 0.697, the forward's for 0.714
    EXPECT_LE(e.max[2], 1);
}

TEST(ColorForms, CodecCallsMatchInlineForms)
{
    CQLImage a, b;
    codectest::MakePicture(a, 301, 977, true);
    b.DuplicateFrom(&a);
    CQLImageCodec codec;
    IQLImageCodec& iface = codec;
    ASSERT_EQ(iface.RGBToYUV(&a), 1);
    RgbToYuv(b.GetBuffer(0, 0), std::size_t{301} * 977);
    EXPECT_EQ(codectest::MaxDiff(a, b), 0);
    ASSERT_EQ(iface.YUVToRGB(&a), 1);
    YuvToRgb(b.GetBuffer(0, 0), std::size_t{301} * 977);
    EXPECT_EQ(codectest::MaxDiff(a, b), 0);
    iface.RGB2HSB(a.GetBuffer(0, 0), 301 * 977);
    RgbToHsb(b.GetBuffer(0, 0), std::size_t{301} * 977);
    EXPECT_EQ(codectest::MaxDiff(a, b), 0);
    iface.HSB2RGB(a.GetBuffer(0, 0), 301 * 977);
    HsbToRgb(b.GetBuffer(0, 0), std::size_t{301} * 977);
    EXPECT_EQ(codectest::MaxDiff(a, b), 0);
    CQLImage empty;
    EXPECT_EQ(iface.RGBToYUV(&empty), 0);
    EXPECT_EQ(iface.YUVToRGB(nullptr), 0);
    iface.RGB2HSB(nullptr, 10); // nothing happens
}

} // namespace
