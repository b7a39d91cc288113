// CxImage's neighbourhood filters, repair and Fourier transforms, and how
// every pixel operation keeps to the selection and stops on the escape.
#include "imagecore/XImage.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

namespace {

RGBQUAD Rgb(int r, int g, int b) { return RGBQUAD{BYTE(b), BYTE(g), BYTE(r), 0}; }
bool SameColour(RGBQUAD a, RGBQUAD b) { return a.rgbRed == b.rgbRed && a.rgbGreen == b.rgbGreen && a.rgbBlue == b.rgbBlue; }

void Pattern(CxImage& img, int w, int h)
{
    img.Create(w, h, 24);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x)
            img.SetPixelColor(x, y, Rgb((x * 37 + y * 91) % 256, (x * 53 + y * 17 + 60) % 256, (x * 11 + y * 71 + 120) % 256));
    }
}

void Dot(CxImage& img)
{
    img.Create(7, 7, 24);
    img.SetPixelColor(3, 3, Rgb(255, 255, 255));
}

// The white pixels as text, row 0 first.
std::string WhiteText(const CxImage& img)
{
    std::string s;
    for (LONG y = 0; y < static_cast<LONG>(img.GetHeight()); ++y) {
        for (LONG x = 0; x < static_cast<LONG>(img.GetWidth()); ++x)
            s += img.GetPixelColor(x, y).rgbRed == 255 ? '#' : '.';
        s += '\n';
    }
    return s;
}

struct Exposed : CxImage {
    using CxImage::CxImage;
    using CxImage::DFT;
    using CxImage::FFT;
    using CxImage::IsPowerof2;
    using CxImage::RepairChannel;
};

TEST(XImageFilter, IdentityAndShiftKernels)
{
    CxImage img;
    Pattern(img, 6, 5);
    const CxImage original(img);
    const LONG identity[9] = {0, 0, 0, 0, 1, 0, 0, 0, 0};
    ASSERT_TRUE(img.Filter(identity, 3, 1, 0));
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_TRUE(SameColour(img.GetPixelColor(x, y), original.GetPixelColor(x, y)));
    // Entry (dy + 1) * 3 + (dx + 1) weighs the neighbour at (x + dx, y + dy);
    // past the edge the transparent colour (black) comes in.
    const LONG right[9] = {0, 0, 0, 0, 0, 1, 0, 0, 0};
    ASSERT_TRUE(img.Filter(right, 3, 0, 7));
    EXPECT_EQ(img.GetPixelColor(2, 1).rgbGreen, std::min(255, original.GetPixelColor(3, 1).rgbGreen + 7));
    EXPECT_EQ(img.GetPixelColor(5, 1).rgbGreen, 7);
    EXPECT_FALSE(img.Filter(nullptr, 3, 1, 0));
    EXPECT_FALSE(img.Filter(identity, 0, 1, 0));
}

TEST(XImageFilter, ErodeDilateMedianOnADot)
{
    CxImage dilated, eroded, median, even;
    for (CxImage* img : {&dilated, &eroded, &median, &even})
        Dot(*img);
    ASSERT_TRUE(dilated.Dilate(3));
    EXPECT_EQ(WhiteText(dilated), ".......\n.......\n..###..\n..###..\n..###..\n.......\n.......\n");
    ASSERT_TRUE(eroded.Erode(3));
    EXPECT_EQ(WhiteText(eroded), std::string(7, '.') + "\n" + std::string(7, '.') + "\n" + std::string(7, '.') +
                                     "\n" + std::string(7, '.') + "\n" + std::string(7, '.') + "\n" +
                                     std::string(7, '.') + "\n" + std::string(7, '.') + "\n");
    ASSERT_TRUE(median.Median(3));
    EXPECT_EQ(WhiteText(median), WhiteText(eroded));
    // An even size reaches one further below than above: -1 .. 0.
    ASSERT_TRUE(even.Dilate(2));
    EXPECT_EQ(WhiteText(even), ".......\n.......\n.......\n...##..\n...##..\n.......\n.......\n");
}

TEST(XImageFilter, MedianTakesTheMiddleByGrey)
{
    CxImage img(3, 1, 24);
    img.SetPixelColor(0, 0, Rgb(0, 0, 255));   // grey 11
    img.SetPixelColor(1, 0, Rgb(255, 0, 0));   // 30
    img.SetPixelColor(2, 0, Rgb(0, 255, 0));   // 59
    img.SetTransColor(Rgb(0, 0, 0));
    ASSERT_TRUE(img.Median(3));
    // (1, 0) sees six black outside pixels and the three: the middle (index 4) is black.
    EXPECT_TRUE(SameColour(img.GetPixelColor(1, 0), Rgb(0, 0, 0)));
}

TEST(XImageFilter, RepairSmoothsASpikeAndKeepsAFlatImage)
{
    CxImage flat(6, 6, 24);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x)
            flat.SetPixelColor(x, y, Rgb(90, 90, 90));
    CxImage spike(flat);
    spike.SetPixelColor(3, 3, Rgb(200, 200, 200));
    ASSERT_TRUE(flat.Repair(0.25f, 2, 0));
    EXPECT_TRUE(SameColour(flat.GetPixelColor(3, 3), Rgb(90, 90, 90)));
    // At the spike ixx = iyy = -220 and no slope: 200 + 0.25 * -440 = 90.
    ASSERT_TRUE(spike.Repair(0.25f, 1, 0));
    EXPECT_TRUE(SameColour(spike.GetPixelColor(3, 3), Rgb(90, 90, 90)));
    // Border rows keep their values.
    Exposed plane(4, 4, 8);
    plane.SetGrayPalette();
    plane.SetPixelIndex(0, 0, 250);
    ASSERT_TRUE(plane.RepairChannel(&plane, 1.0f));
    EXPECT_EQ(plane.GetPixelIndex(0, 0), 250);
}

TEST(XImageFilter, PowerOfTwo)
{
    for (LONG n : {1, 2, 64, 1 << 20})
        EXPECT_TRUE(Exposed::IsPowerof2(n)) << n;
    for (LONG n : {0, -4, 3, 500, 513})
        EXPECT_FALSE(Exposed::IsPowerof2(n)) << n;
}

TEST(XImageFilter, FftAndDftAgreeAndInvert)
{
    Exposed img;
    const double re0[8] = {1, 2, -3, 4, 0.5, 0, 7, -1}, im0[8] = {0, 1, 0, -2, 0, 0, 3, 0};
    double fr[8], fi[8], dr[8], di[8], wr[8], wi[8];
    std::copy_n(re0, 8, fr);
    std::copy_n(im0, 8, fi);
    std::copy_n(re0, 8, dr);
    std::copy_n(im0, 8, di);
    ASSERT_TRUE(img.FFT(1, 3, fr, fi));
    ASSERT_TRUE(img.DFT(1, 8, dr, di, wr, wi));
    // The mean of the input at 0.
    EXPECT_NEAR(fr[0], (1 + 2 - 3 + 4 + 0.5 + 7 - 1) / 8.0, 1e-9);
    for (int i = 0; i < 8; ++i) {
        EXPECT_NEAR(fr[i], dr[i], 1e-9) << i;
        EXPECT_NEAR(fi[i], di[i], 1e-9) << i;
    }
    ASSERT_TRUE(img.FFT(-1, 3, fr, fi));
    ASSERT_TRUE(img.DFT(-1, 8, dr, di, wr, wi));
    for (int i = 0; i < 8; ++i) {
        EXPECT_NEAR(fr[i], re0[i], 1e-9) << i;
        EXPECT_NEAR(fi[i], im0[i], 1e-9) << i;
        EXPECT_NEAR(dr[i], re0[i], 1e-9) << i;
    }
}

// A length that is no power of two: the direct sum, term by term.
TEST(XImageFilter, DftOfAnOddLengthIsTheDirectSum)
{
    Exposed img;
    constexpr int n = 15;
    double re[n], im[n], wr[n], wi[n], expectRe[n], expectIm[n];
    for (int k = 0; k < n; ++k) {
        re[k] = std::sin(k * 1.7) * 10 + k;
        im[k] = (k % 4) - 1.5;
    }
    for (int i = 0; i < n; ++i) {
        expectRe[i] = expectIm[i] = 0;
        for (int k = 0; k < n; ++k) {
            const double a = -2 * 3.14159265358979 * i * k / n;
            expectRe[i] += re[k] * std::cos(a) - im[k] * std::sin(a);
            expectIm[i] += re[k] * std::sin(a) + im[k] * std::cos(a);
        }
    }
    ASSERT_TRUE(img.DFT(1, n, re, im, wr, wi));
    for (int i = 0; i < n; ++i) {
        EXPECT_NEAR(re[i], expectRe[i] / n, 1e-9) << i;
        EXPECT_NEAR(im[i], expectIm[i] / n, 1e-9) << i;
    }
}

TEST(XImageFilter, Fft2SizesAndAFlatImage)
{
    CxImage host;
    EXPECT_FALSE(host.FFT2(nullptr, nullptr, nullptr, nullptr));
    struct Case {
        int w, h;
        bool pow2;
        DWORD outW, outH;
    };
    for (const Case& c : {Case{5, 3, true, 8, 4}, Case{5, 3, false, 5, 3}, Case{8, 8, true, 8, 8}}) {
        SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h));
        CxImage src(c.w, c.h, 24);
        for (int y = 0; y < c.h; ++y)
            for (int x = 0; x < c.w; ++x)
                src.SetPixelColor(x, y, Rgb(128, 128, 128));
        CxImage re, im;
        ASSERT_TRUE(host.FFT2(&src, nullptr, &re, &im, 1, c.pow2, false));
        EXPECT_EQ(re.GetWidth(), c.outW);
        EXPECT_EQ(re.GetHeight(), c.outH);
        EXPECT_EQ(re.GetBpp(), 8);
        // Grey 128 is the zero of the grid; the black imaginary part only
        // moves the DC term of the imaginary output. Rounding may leave 127.
        for (DWORD y = 0; y < c.outH; ++y)
            for (DWORD x = 0; x < c.outW; ++x)
                ASSERT_NEAR(re.GetPixelIndex(x, y), 128, 1);
        EXPECT_EQ(src.GetWidth(), DWORD(c.w)); // the source is left alone with a destination
    }
    // A bright source: the DC term dominates the magnitude; without a
    // destination the source takes the result.
    CxImage bright(16, 16, 24);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            bright.SetPixelColor(x, y, Rgb(255, 255, 255));
    ASSERT_TRUE(host.FFT2(&bright, nullptr, nullptr, nullptr, 1, true, true));
    EXPECT_EQ(bright.GetBpp(), 8);
    EXPECT_GT(bright.GetPixelIndex(0, 0), bright.GetPixelIndex(5, 5));
}

// Every pixel operation changes nothing outside the selection.
TEST(XImageFilter, SelectionLimitsEveryOperation)
{
    const LONG blur[9] = {1, 1, 1, 1, 1, 1, 1, 1, 1};
    CxImage other;
    Pattern(other, 8, 8);
    other.Negative();
    const std::pair<const char*, std::function<bool(CxImage&)>> ops[] = {
        {"Colorize", [](CxImage& i) { return i.Colorize(30, 200); }},
        {"Light", [](CxImage& i) { return i.Light(40, 150); }},
        {"Gamma", [](CxImage& i) { return i.Gamma(2.2f); }},
        {"ShiftRGB", [](CxImage& i) { return i.ShiftRGB(50, -50, 20); }},
        {"Noise", [](CxImage& i) { return i.Noise(200); }},
        {"Filter", [&](CxImage& i) { return i.Filter(blur, 3, 9, 0); }},
        {"Erode", [](CxImage& i) { return i.Erode(3); }},
        {"Dilate", [](CxImage& i) { return i.Dilate(3); }},
        {"Median", [](CxImage& i) { return i.Median(3); }},
        {"Repair", [](CxImage& i) { return i.Repair(0.5f, 3, 0); }},
        {"Mix", [&](CxImage& i) { i.Mix(other, CxImage::OpXor); return true; }},
    };
    for (const auto& [name, op] : ops) {
        SCOPED_TRACE(name);
        CxImage img;
    Pattern(img, 8, 8);
        const CxImage original(img);
        ASSERT_TRUE(img.SelectionAddRect(RECT{2, 2, 6, 5}));
        ASSERT_TRUE(op(img));
        int changedInside = 0;
        for (int y = 0; y < 8; ++y) {
            for (int x = 0; x < 8; ++x) {
                const bool same = SameColour(img.GetPixelColor(x, y), original.GetPixelColor(x, y));
                if (img.IsInsideSelection(x, y))
                    changedInside += !same;
                else
                    EXPECT_TRUE(same) << x << "," << y;
            }
        }
        EXPECT_GT(changedInside, 0);
    }
}

// A set escape stops an operation with nothing changed.
TEST(XImageFilter, EscapeStopsAnOperation)
{
    const LONG blur[9] = {1, 1, 1, 1, 1, 1, 1, 1, 1};
    const std::pair<const char*, std::function<bool(CxImage&)>> ops[] = {
        {"ShiftRGB", [](CxImage& i) { return i.ShiftRGB(50, 50, 50); }},
        {"Filter", [&](CxImage& i) { return i.Filter(blur, 3, 9, 0); }},
        {"Median", [](CxImage& i) { return i.Median(3); }},
        {"Threshold", [](CxImage& i) { return i.Threshold(100); }},
        {"Repair", [](CxImage& i) { return i.Repair(0.5f, 3, 0); }},
        {"FFT2", [](CxImage& i) { CxImage src(i); return i.FFT2(&src, nullptr, &src, nullptr); }},
    };
    for (const auto& [name, op] : ops) {
        SCOPED_TRACE(name);
        CxImage img;
    Pattern(img, 8, 8);
        const CxImage original(img);
        img.SetEscape(1);
        EXPECT_FALSE(op(img));
        EXPECT_EQ(img.GetBpp(), 24);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                ASSERT_TRUE(SameColour(img.GetPixelColor(x, y), original.GetPixelColor(x, y)));
    }
}

} // namespace
