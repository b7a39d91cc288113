// CxImage's colour spaces, planes, point operations, mixing and statistics.
#include "imagecore/XImage.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

RGBQUAD Rgb(int r, int g, int b) { return RGBQUAD{BYTE(b), BYTE(g), BYTE(r), 0}; }

// First, second and third component: red, green, blue bytes.
void ExpectPacked(RGBQUAD c, int c1, int c2, int c3, int tolerance = 0)
{
    EXPECT_NEAR(c.rgbRed, c1, tolerance);
    EXPECT_NEAR(c.rgbGreen, c2, tolerance);
    EXPECT_NEAR(c.rgbBlue, c3, tolerance);
}

// A 24-bit image whose every pixel differs from its neighbours.
void Pattern(CxImage& img, int w, int h)
{
    img.Create(w, h, 24);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x)
            img.SetPixelColor(x, y, Rgb((x * 37 + y * 91) % 256, (x * 53 + y * 17 + 60) % 256, (x * 11 + y * 71 + 120) % 256));
    }
}

bool SameColour(RGBQUAD a, RGBQUAD b) { return a.rgbRed == b.rgbRed && a.rgbGreen == b.rgbGreen && a.rgbBlue == b.rgbBlue; }

TEST(XImageColour, HslOfRedGreyAndWhite)
{
    ExpectPacked(CxImage::RGBtoHSL(Rgb(255, 0, 0)), 0, 255, 128);
    ExpectPacked(CxImage::RGBtoHSL(Rgb(128, 128, 128)), 170, 0, 128);
    ExpectPacked(CxImage::RGBtoHSL(Rgb(255, 255, 255)), 170, 0, 255);
    ExpectPacked(CxImage::RGBtoHSL(Rgb(0, 255, 0)), 85, 255, 128);
    ExpectPacked(CxImage::RGBtoHSL(Rgb(0, 0, 255)), 170, 255, 128);
    // Hue just below red wraps into the byte: Bd - Gd < 0.
    EXPECT_GT(CxImage::RGBtoHSL(Rgb(255, 0, 10)).rgbRed, 240);
    for (int l : {0, 37, 128, 255}) {
        for (int h : {0, 99, 170}) {
            const RGBQUAD grey = CxImage::HSLtoRGB(Rgb(h, 0, l));
            EXPECT_EQ(grey.rgbRed, grey.rgbGreen);
            EXPECT_EQ(grey.rgbGreen, grey.rgbBlue);
            EXPECT_NEAR(grey.rgbRed, l, 1) << l;
        }
    }
    ExpectPacked(CxImage::HSLtoRGB(Rgb(0, 255, 128)), 255, 0, 0, 1);
    ExpectPacked(CxImage::HSLtoRGB(RGB(85, 255, 128)), 0, 255, 0, 1);
}

TEST(XImageColour, ColourSpacesOnHandComputedColours)
{
    using Fn = RGBQUAD (*)(RGBQUAD);
    struct Case {
        const char* name;
        Fn convert;
        RGBQUAD in;
        int c1, c2, c3;
    };
    const Case cases[] = {
        {"YUV white", CxImage::RGBtoYUV, Rgb(255, 255, 255), 255, 128, 128},
        {"YUV red", CxImage::RGBtoYUV, Rgb(255, 0, 0), 76, 85, 255},
        {"YUV grey", CxImage::RGBtoYUV, Rgb(128, 128, 128), 128, 128, 128},
        {"YIQ white", CxImage::RGBtoYIQ, Rgb(255, 255, 255), 255, 128, 128},
        {"YIQ red", CxImage::RGBtoYIQ, Rgb(255, 0, 0), 76, 255, 181},
        {"YIQ grey", CxImage::RGBtoYIQ, Rgb(128, 128, 128), 128, 128, 128},
        {"XYZ white", CxImage::RGBtoXYZ, Rgb(255, 255, 255), 242, 255, 255},
        {"XYZ red", CxImage::RGBtoXYZ, Rgb(255, 0, 0), 105, 54, 4},
        {"XYZ grey", CxImage::RGBtoXYZ, Rgb(128, 128, 128), 121, 128, 128},
        {"HSL grey", CxImage::RGBtoHSL, Rgb(128, 128, 128), 170, 0, 128},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ExpectPacked(c.convert(c.in), c.c1, c.c2, c.c3, 1);
    }
}

TEST(XImageColour, RoundTripsStayWithinFour)
{
    using Fn = RGBQUAD (*)(RGBQUAD);
    const std::pair<Fn, Fn> pairs[] = {{CxImage::RGBtoYUV, CxImage::YUVtoRGB},
                                       {CxImage::RGBtoXYZ, CxImage::XYZtoRGB},
                                       {CxImage::RGBtoYIQ, CxImage::YIQtoRGB},
                                       {CxImage::RGBtoHSL, CxImage::HSLtoRGB}};
    for (const auto& [to, from] : pairs) {
        for (RGBQUAD c : {Rgb(0, 0, 0), Rgb(255, 255, 255), Rgb(128, 128, 128), Rgb(10, 200, 30), Rgb(200, 100, 50),
                          Rgb(40, 60, 180)}) {
            const RGBQUAD back = from(to(c));
            EXPECT_NEAR(back.rgbRed, c.rgbRed, 4);
            EXPECT_NEAR(back.rgbGreen, c.rgbGreen, 4);
            EXPECT_NEAR(back.rgbBlue, c.rgbBlue, 4);
        }
    }
}

TEST(XImageColour, SplitAndCombine)
{
    CxImage img;
    Pattern(img, 6, 5);
    CxImage r, g, b, none;
    EXPECT_FALSE(img.SplitRGB(nullptr, nullptr, nullptr));
    ASSERT_TRUE(img.SplitRGB(&r, &g, &b));
    EXPECT_EQ(r.GetBpp(), 8);
    EXPECT_TRUE(r.IsGrayScale());
    EXPECT_EQ(r.GetPixelIndex(4, 3), img.GetPixelColor(4, 3).rgbRed);
    EXPECT_EQ(b.GetPixelIndex(1, 2), img.GetPixelColor(1, 2).rgbBlue);
    CxImage back;
    EXPECT_FALSE(back.Combine(&r, &g, nullptr, nullptr));
    ASSERT_TRUE(back.Combine(&r, &g, &b, &r));
    EXPECT_EQ(back.GetBpp(), 24);
    EXPECT_TRUE(back.HasAlpha());
    EXPECT_EQ(back.AlphaGet(2, 2), img.GetPixelColor(2, 2).rgbRed);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_TRUE(SameColour(back.GetPixelColor(x, y), img.GetPixelColor(x, y))) << x << "," << y;
    // HSL planes hold hue, saturation, lightness; combined back within the round trip.
    CxImage h, s, l;
    ASSERT_TRUE(img.SplitHSL(&h, &s, &l));
    EXPECT_EQ(l.GetPixelIndex(3, 1), CxImage::RGBtoHSL(img.GetPixelColor(3, 1)).rgbBlue);
    ASSERT_TRUE(back.Combine(&h, &s, &l, nullptr, 1));
    EXPECT_NEAR(back.GetPixelColor(3, 1).rgbGreen, img.GetPixelColor(3, 1).rgbGreen, 4);
    // Smaller planes are stretched to the first plane's size.
    CxImage small(3, 2, 8);
    small.SetGrayPalette();
    ASSERT_TRUE(back.Combine(&r, &small, &small, nullptr));
    EXPECT_EQ(back.GetWidth(), 6u);
}

TEST(XImageColour, Threshold)
{
    CxImage bits(9, 3, 1);
    bits.SetPixelIndex(4, 1, 1);
    const std::vector<BYTE> before(bits.GetBits(), bits.GetBits() + bits.GetEffWidth() * 3);
    EXPECT_TRUE(bits.Threshold(10));
    EXPECT_EQ(std::vector<BYTE>(bits.GetBits(), bits.GetBits() + bits.GetEffWidth() * 3), before);

    CxImage img(3, 1, 24);
    img.SetPixelColor(0, 0, Rgb(100, 100, 100));
    img.SetPixelColor(1, 0, Rgb(101, 101, 101));
    img.SetPixelColor(2, 0, Rgb(255, 255, 255));
    ASSERT_TRUE(img.Threshold(100));
    EXPECT_EQ(img.GetBpp(), 1);
    EXPECT_EQ(img.GetPixelIndex(0, 0), 0);
    EXPECT_EQ(img.GetPixelIndex(1, 0), 1);
    EXPECT_EQ(img.GetPixelColor(2, 0).rgbRed, 255);
}

TEST(XImageColour, PointOperations)
{
    struct Case {
        const char* name;
        std::function<bool(CxImage&)> op;
        RGBQUAD in, out;
    };
    const Case cases[] = {
        {"light +20, contrast 100", [](CxImage& i) { return i.Light(20, 100); }, Rgb(10, 100, 250), Rgb(30, 120, 255)},
        {"contrast 50 halves the distance to 128", [](CxImage& i) { return i.Light(0, 50); }, Rgb(0, 128, 228),
         Rgb(64, 128, 178)},
        {"gamma 1", [](CxImage& i) { return i.Gamma(1); }, Rgb(3, 77, 200), Rgb(3, 77, 200)},
        {"gamma 2", [](CxImage& i) { return i.Gamma(2); }, Rgb(0, 64, 255), Rgb(0, 127, 255)},
        {"shift", [](CxImage& i) { return i.ShiftRGB(-20, 5, 100); }, Rgb(10, 100, 200), Rgb(0, 105, 255)},
        {"colorize keeps lightness", [](CxImage& i) { return i.Colorize(0, 255); }, Rgb(128, 128, 128),
         CxImage::HSLtoRGB(Rgb(0, 255, 128))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CxImage img(2, 2, 24);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 2; ++x)
                img.SetPixelColor(x, y, c.in);
        ASSERT_TRUE(c.op(img));
        ExpectPacked(img.GetPixelColor(1, 1), c.out.rgbRed, c.out.rgbGreen, c.out.rgbBlue, 1);
        EXPECT_EQ(img.GetProgress(), 100);
    }
    CxImage img;
    Pattern(img, 4, 4);
    const CxImage copy(img);
    EXPECT_FALSE(img.Gamma(0));
    EXPECT_FALSE(img.Gamma(-1));
    for (int x = 0; x < 4; ++x)
        EXPECT_TRUE(SameColour(img.GetPixelColor(x, 2), copy.GetPixelColor(x, 2)));
}

TEST(XImageColour, NoiseStaysWithinHalfTheLevel)
{
    CxImage img(64, 64, 24);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            img.SetPixelColor(x, y, Rgb(128, 128, 128));
    ASSERT_TRUE(img.Noise(40));
    int changed = 0;
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            const RGBQUAD c = img.GetPixelColor(x, y);
            for (int v : {c.rgbRed, c.rgbGreen, c.rgbBlue}) {
                ASSERT_GE(v, 108);
                ASSERT_LE(v, 148);
                changed += v != 128;
            }
        }
    }
    EXPECT_GT(changed, 64 * 64);
}

TEST(XImageColour, PalettesAndIndexedImages)
{
    CxImage pal(4, 4, 8);
    pal.HuePalette();
    EXPECT_EQ(pal.GetNumColors(), 256u);
    EXPECT_TRUE(SameColour(pal.GetPaletteColor(0), CxImage::HSLtoRGB(Rgb(0, 240, 120))));
    EXPECT_TRUE(SameColour(pal.GetPaletteColor(255), CxImage::HSLtoRGB(Rgb(255, 240, 120))));
    // Point operations on an indexed image change its palette.
    pal.SetGrayPalette();
    ASSERT_TRUE(pal.ShiftRGB(10, 0, 0));
    EXPECT_EQ(pal.GetPaletteColor(7).rgbRed, 17);
    EXPECT_EQ(pal.GetPaletteColor(7).rgbGreen, 7);
}

TEST(XImageColour, HistogramAndMean)
{
    CxImage some;
    Pattern(some, 3, 3);
    EXPECT_EQ(some.Histogram(nullptr, nullptr, nullptr, nullptr), 0);
    CxImage img(4, 2, 24);
    for (int x = 0; x < 4; ++x) {
        img.SetPixelColor(x, 0, Rgb(255, 0, 0));
        img.SetPixelColor(x, 1, x == 0 ? Rgb(0, 0, 255) : Rgb(255, 0, 0));
    }
    std::vector<LONG> red(256, 99), grey(256, 99);
    EXPECT_EQ(img.Histogram(red.data(), nullptr, nullptr, grey.data()), 7);
    EXPECT_EQ(red[255], 7);
    EXPECT_EQ(red[0], 1);
    EXPECT_EQ(red[1], 0);
    EXPECT_EQ(grey[76], 7); // 30 * 255 / 100
    EXPECT_EQ(grey[28], 1);
    EXPECT_FLOAT_EQ(img.Mean(), (7 * 76 + 28) / 8.0f);
    ASSERT_TRUE(img.SelectionAddRect(RECT{0, 0, 1, 2}));
    EXPECT_EQ(img.Histogram(red.data()), 1);
    EXPECT_FLOAT_EQ(img.Mean(), (76 + 28) / 2.0f);
}

TEST(XImageColour, MixKinds)
{
    struct Case {
        CxImage::ImageOpType op;
        RGBQUAD out;
    };
    const RGBQUAD a = Rgb(200, 100, 12), b = Rgb(100, 150, 10);
    const Case cases[] = {
        {CxImage::OpAdd, Rgb(255, 250, 22)},   {CxImage::OpAnd, Rgb(200 & 100, 100 & 150, 12 & 10)},
        {CxImage::OpXor, Rgb(200 ^ 100, 100 ^ 150, 12 ^ 10)}, {CxImage::OpOr, Rgb(200 | 100, 100 | 150, 12 | 10)},
        {CxImage::OpDarker, b},                {CxImage::OpLighter, a}, // grey 119 and 120
        {CxImage::OpChanged, b},               {CxImage::OpSub, Rgb(100, 0, 2)},
        {CxImage::OpBlend, Rgb((100 * 152 + 200 * 613) / 765, (150 * 152 + 100 * 613) / 765, (10 * 152 + 12 * 613) / 765)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.op);
        CxImage dst(3, 1, 24), src(2, 1, 24);
        for (int x = 0; x < 3; ++x)
            dst.SetPixelColor(x, 0, a);
        for (int x = 0; x < 2; ++x)
            src.SetPixelColor(x, 0, b);
        dst.Mix(src, c.op, 2, 0); // only src's first pixel overlaps, at x 2
        ExpectPacked(dst.GetPixelColor(2, 0), c.out.rgbRed, c.out.rgbGreen, c.out.rgbBlue);
        EXPECT_TRUE(SameColour(dst.GetPixelColor(1, 0), a));
    }
}

} // namespace
