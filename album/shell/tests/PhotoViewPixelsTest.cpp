// The View Photo dialog's analysis views, the slideshow's transitions, the
// full-window animation and the screen-saver settings file, on small fixtures.
#include "album/shell/FullWindowAnimation.h"
#include "album/shell/PhotoAnalysis.h"
#include "album/shell/ScreenSaverSettings.h"
#include "album/shell/SlideTransitions.h"
#include "album/shell/tests/ShelfTestSupport.h"
#include "imagecore/Simd.h"
#include "platform/codec/ColorForms.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include <sys/stat.h>

namespace shelf {
namespace {

struct Rgb {
    int r, g, b;
};

CQLImage Filled(int w, int h, Rgb c)
{
    CQLImage image;
    EXPECT_EQ(0, image.Create(static_cast<UINT>(w), static_cast<UINT>(h)));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            BYTE* p = image.GetBuffer(x, y);
            p[0] = static_cast<BYTE>(c.b);
            p[1] = static_cast<BYTE>(c.g);
            p[2] = static_cast<BYTE>(c.r);
            p[3] = 0;
        }
    return image;
}

Rgb At(const CQLImage& image, int x, int y)
{
    const BYTE* p = image.GetBuffer(x, y);
    return {p[2], p[1], p[0]};
}

void ExpectGrey(const CQLImage& image, int x, int y, int v)
{
    const Rgb c = At(image, x, y);
    EXPECT_EQ(v, c.r) << x << "," << y;
    EXPECT_EQ(v, c.g) << x << "," << y;
    EXPECT_EQ(v, c.b) << x << "," << y;
}

// ---- analysis ---------------------------------------------------------------

TEST(PhotoAnalysisTest, PointModesGiveTheirGreyValue)
{
    const Rgb colour{200, 100, 30};
    BYTE hsb[4] = {30, 100, 200, 0};
    qlcodec::RgbToHsbPixel(hsb);
    BYTE yuv[4] = {30, 100, 200, 0};
    qlcodec::RgbToYuvPixel(yuv);
    struct Case {
        int mode;
        int grey;
    } cases[] = {
        {PhotoAnalysis::kRed, 200},        {PhotoAnalysis::kGreen, 100}, {PhotoAnalysis::kBlue, 30},
        {PhotoAnalysis::kHue, hsb[2]},     {PhotoAnalysis::kSaturation, hsb[1]},
        {PhotoAnalysis::kLightness, (6 * 100 + 3 * 200 + 30) / 10},
        {PhotoAnalysis::kU, yuv[1]},       {PhotoAnalysis::kV, yuv[0]},
    };
    const CQLImage source = Filled(3, 2, colour);
    for (const Case& c : cases) {
        CQLImage work;
        ASSERT_TRUE(PhotoAnalysis::Build(source, c.mode, &work, nullptr)) << c.mode;
        ExpectGrey(work, 2, 1, c.grey);
        EXPECT_EQ(200, At(source, 2, 1).r) << "the source stays as it is";
    }
    // The hue of this orange is neither 0 nor its saturation: the bytes are told apart.
    EXPECT_NE(hsb[1], hsb[2]);
    EXPECT_NE(yuv[0], yuv[1]);
}

TEST(PhotoAnalysisTest, PhotoModeBuildsNothing)
{
    const CQLImage source = Filled(2, 2, {1, 2, 3});
    CQLImage work;
    EXPECT_FALSE(PhotoAnalysis::Build(source, PhotoAnalysis::kPhoto, &work, nullptr));
    EXPECT_FALSE(PhotoAnalysis::Build(source, 12, &work, nullptr));
}

TEST(PhotoAnalysisTest, EdgesAreBlackOnBordersAndOnASinglePixel)
{
    CQLImage one = Filled(1, 1, {255, 255, 255});
    CQLImage work;
    ASSERT_TRUE(PhotoAnalysis::Build(one, PhotoAnalysis::kEdge, &work, nullptr));
    ExpectGrey(work, 0, 0, 0);

    // A vertical step from black to white between columns 1 and 2 of a 4 x 3 image.
    CQLImage step = Filled(4, 3, {0, 0, 0});
    for (int y = 0; y < 3; ++y)
        for (int x = 2; x < 4; ++x)
            std::memset(step.GetBuffer(x, y), 255, 3);
    ASSERT_TRUE(PhotoAnalysis::Build(step, PhotoAnalysis::kEdge, &work, nullptr));
    for (int x = 0; x < 4; ++x) {
        ExpectGrey(work, x, 0, 0);
        ExpectGrey(work, x, 2, 0);
    }
    ExpectGrey(work, 0, 1, 0);
    ExpectGrey(work, 3, 1, 0);
    // x = 1: b = |SW + W + NW - E - NE - SE| = 765, x 2/3 capped at 255.
    ExpectGrey(work, 1, 1, 255);
    ExpectGrey(work, 2, 1, 255);

    // A weak step: grey 30 against 0 gives b = 90, v = 60.
    CQLImage weak = Filled(4, 3, {0, 0, 0});
    for (int y = 0; y < 3; ++y)
        std::memset(weak.GetBuffer(2, y), 30, 3), std::memset(weak.GetBuffer(3, y), 30, 3);
    ASSERT_TRUE(PhotoAnalysis::Build(weak, PhotoAnalysis::kEdge, &work, nullptr));
    ExpectGrey(work, 1, 1, 60);
}

TEST(PhotoAnalysisTest, WarningMarksOverAndUnderExposure)
{
    struct Case {
        Rgb in, out;
    } cases[] = {
        {{255, 255, 255}, {255, 0, 0}},
        {{0, 0, 0}, {0, 0, 255}},
        {{128, 100, 90}, {128, 100, 90}},
        {{241, 241, 241}, {241, 0, 0}},
        {{240, 240, 240}, {240, 240, 240}},
        {{15, 15, 15}, {0, 0, 255}},
        {{16, 16, 16}, {16, 16, 16}},
    };
    for (const Case& c : cases) {
        CQLImage work;
        ASSERT_TRUE(PhotoAnalysis::Build(Filled(1, 1, c.in), PhotoAnalysis::kWarning, &work, nullptr));
        const Rgb got = At(work, 0, 0);
        EXPECT_EQ(c.out.r, got.r) << c.in.r;
        EXPECT_EQ(c.out.g, got.g) << c.in.r;
        EXPECT_EQ(c.out.b, got.b) << c.in.r;
    }
}

TEST(PhotoAnalysisTest, HistogramsAndScaleOnATwoByTwoImage)
{
    CQLImage source = Filled(2, 2, {10, 20, 30});
    std::memset(source.GetBuffer(1, 1), 255, 3);
    CQLImage work;
    PhotoAnalysis::Histograms h;
    ASSERT_TRUE(PhotoAnalysis::Build(source, PhotoAnalysis::kInfo, &work, &h));
    EXPECT_EQ(3u, h.counts[0][(6 * 20 + 3 * 10 + 30) / 10]);
    EXPECT_EQ(1u, h.counts[0][255]);
    EXPECT_EQ(3u, h.counts[1][10]);
    EXPECT_EQ(3u, h.counts[2][20]);
    EXPECT_EQ(3u, h.counts[3][30]);
    EXPECT_EQ(1u, h.counts[3][255]);
    EXPECT_EQ(At(source, 1, 1).r, At(work, 1, 1).r) << "the work image is a copy";
    // 4 pixels / 32 is 0: the scale stays 1 instead of dividing by zero.
    const std::uint32_t scale = PhotoAnalysis::Scale(h.counts[0], 2, 2);
    EXPECT_EQ(1u, scale);
    EXPECT_EQ(140, PhotoAnalysis::BarHeight(3, scale));
    EXPECT_EQ(0, PhotoAnalysis::BarHeight(0, scale));
    // On a larger image the largest count rules, capped by the pixels / 32.
    std::array<std::uint32_t, 256> counts{};
    counts[7] = 50;
    EXPECT_EQ(50u, PhotoAnalysis::Scale(counts, 100, 100));
    EXPECT_EQ(60, PhotoAnalysis::BarHeight(25, 50));
    counts[7] = 1000;
    EXPECT_EQ(312u, PhotoAnalysis::Scale(counts, 100, 100));
}

// Each mode by its rule written plainly, pixel by pixel, over a copy.
CQLImage Reference(const CQLImage& source, int mode)
{
    CQLImage ref;
    EXPECT_TRUE(ref.DuplicateFrom(&source));
    UINT uw = 0, uh = 0;
    source.GetSize(&uw, &uh);
    const int w = static_cast<int>(uw), h = static_cast<int>(uh);
    auto grey = [&](int x, int y) {
        const BYTE* p = source.GetBuffer(x, y);
        return PhotoAnalysis::Luminance(p[2], p[1], p[0]);
    };
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            BYTE* p = ref.GetBuffer(x, y);
            BYTE c[4] = {p[0], p[1], p[2], p[3]};
            int v = -1;
            switch (mode) {
            case PhotoAnalysis::kRed: v = c[2]; break;
            case PhotoAnalysis::kGreen: v = c[1]; break;
            case PhotoAnalysis::kBlue: v = c[0]; break;
            case PhotoAnalysis::kHue: qlcodec::RgbToHsbPixel(c); v = c[2]; break;
            case PhotoAnalysis::kSaturation: qlcodec::RgbToHsbPixel(c); v = c[1]; break;
            case PhotoAnalysis::kLightness: v = grey(x, y); break;
            case PhotoAnalysis::kU: qlcodec::RgbToYuvPixel(c); v = c[1]; break;
            case PhotoAnalysis::kV: qlcodec::RgbToYuvPixel(c); v = c[0]; break;
            case PhotoAnalysis::kEdge:
                p[3] = static_cast<BYTE>(grey(x, y));
                v = 0;
                if (x > 0 && y > 0 && x < w - 1 && y < h - 1) {
                    const int N = grey(x, y - 1), NE = grey(x + 1, y - 1), E = grey(x + 1, y),
                              SE = grey(x + 1, y + 1), S = grey(x, y + 1), SW = grey(x - 1, y + 1),
                              W = grey(x - 1, y), NW = grey(x - 1, y - 1);
                    const int m = std::max({std::abs(N + NE + NW - SW - S - SE), std::abs(SW + W + NW - E - NE - SE),
                                            std::abs(E + NE - SW - W), std::abs(N + W + NW - S - E - SE)});
                    v = std::min(255, m * 2 / 3);
                }
                break;
            case PhotoAnalysis::kWarning: {
                const int l = grey(x, y);
                if (l > 240)
                    p[0] = p[1] = 0;
                else if (l < 16)
                    p[0] = 255, p[1] = p[2] = 0;
                break;
            }
            default: break;
            }
            if (v >= 0)
                p[0] = p[1] = p[2] = static_cast<BYTE>(v);
        }
    return ref;
}

// Large enough to be split over the threads, odd sides, colours of every
// kind: greys, two equal channels, and noise.
CQLImage MixedColours()
{
    CQLImage image;
    EXPECT_EQ(0, image.Create(613, 449));
    std::uint32_t seed = 12345;
    for (int y = 0; y < 449; ++y)
        for (int x = 0; x < 613; ++x) {
            seed = seed * 1664525u + 1013904223u;
            BYTE* p = image.GetBuffer(x, y);
            p[0] = static_cast<BYTE>(seed >> 24);
            p[1] = static_cast<BYTE>(seed >> 16);
            p[2] = static_cast<BYTE>(seed >> 8);
            p[3] = static_cast<BYTE>(seed);
            if (x % 7 == 0)
                p[1] = p[2] = p[0];
            else if (x % 11 == 0)
                p[1] = p[2];
            else if (y % 5 == 0)
                p[0] = p[2];
        }
    return image;
}

TEST(PhotoAnalysisTest, EveryModeMatchesItsRuleOnMixedColours)
{
    const CQLImage source = MixedColours();
    CQLImage work;
    PhotoAnalysis::Histograms fast;
    // Both vector paths where the processor has them.
    for (imagecore::SimdLevel level : {imagecore::SimdLevel::Sse4, imagecore::SimdLevel::Avx2}) {
        imagecore::ScopedSimdCeiling ceiling(level);
        for (int mode = PhotoAnalysis::kRed; mode < PhotoAnalysis::kModeCount; ++mode) {
            ASSERT_TRUE(PhotoAnalysis::Build(source, mode, &work, &fast)) << mode;
            const CQLImage ref = Reference(source, mode);
            int wrong = 0;
            for (int y = 0; y < 449 && wrong < 5; ++y)
                for (int x = 0; x < 613 && wrong < 5; ++x)
                    if (std::memcmp(ref.GetBuffer(x, y), work.GetBuffer(x, y), 4) != 0) {
                        ++wrong;
                        ADD_FAILURE() << "mode " << mode << " level " << static_cast<int>(level) << " at " << x
                                      << "," << y;
                    }
        }
    }
    // The histograms of the last mode, counted plainly.
    PhotoAnalysis::Histograms plain;
    for (int y = 0; y < 449; ++y)
        for (int x = 0; x < 613; ++x) {
            const BYTE* p = source.GetBuffer(x, y);
            ++plain.counts[0][PhotoAnalysis::Luminance(p[2], p[1], p[0])];
            ++plain.counts[1][p[2]];
            ++plain.counts[2][p[1]];
            ++plain.counts[3][p[0]];
        }
    EXPECT_EQ(plain.counts, fast.counts);
}

TEST(PhotoAnalysisTest, HueAndSaturationAgreeWithTheCodecOnEveryColourStep)
{
    // Every third level of each channel: 86^3 colours.
    CQLImage source;
    ASSERT_EQ(0, source.Create(86 * 86, 86));
    for (int r = 0; r < 86; ++r)
        for (int g = 0; g < 86; ++g)
            for (int b = 0; b < 86; ++b) {
                BYTE* p = source.GetBuffer(g * 86 + b, r);
                p[0] = static_cast<BYTE>(b * 3), p[1] = static_cast<BYTE>(g * 3), p[2] = static_cast<BYTE>(r * 3);
                p[3] = 0;
            }
    CQLImage hue, sat;
    ASSERT_TRUE(PhotoAnalysis::Build(source, PhotoAnalysis::kHue, &hue, nullptr));
    ASSERT_TRUE(PhotoAnalysis::Build(source, PhotoAnalysis::kSaturation, &sat, nullptr));
    int wrong = 0;
    for (int y = 0; y < 86 && wrong < 5; ++y)
        for (int x = 0; x < 86 * 86 && wrong < 5; ++x) {
            BYTE c[4];
            std::memcpy(c, source.GetBuffer(x, y), 4);
            qlcodec::RgbToHsbPixel(c);
            if (hue.GetBuffer(x, y)[0] != c[2] || sat.GetBuffer(x, y)[0] != c[1]) {
                ++wrong;
                ADD_FAILURE() << "rgb " << int(source.GetBuffer(x, y)[2]) << "," << int(source.GetBuffer(x, y)[1])
                              << "," << int(source.GetBuffer(x, y)[0]);
            }
        }
}

// ---- slideshow -------------------------------------------------------------

constexpr int kSW = 160, kSH = 80;

// Target: red channel = x, green = y; display: all 0 but blue 200.
struct Buffers {
    CQLImage d, t;
    Buffers()
    {
        d = Filled(kSW, kSH, {0, 0, 200});
        t = Filled(kSW, kSH, {0, 0, 0});
        for (int y = 0; y < kSH; ++y)
            for (int x = 0; x < kSW; ++x) {
                BYTE* p = t.GetBuffer(x, y);
                p[2] = static_cast<BYTE>(x);
                p[1] = static_cast<BYTE>(y);
                p[0] = 50;
            }
    }
    bool FromTarget(int x, int y, int tx, int ty) const
    {
        const Rgb c = At(d, x, y);
        return c.r == tx && c.g == ty && c.b == 50;
    }
    bool Untouched(int x, int y) const
    {
        const Rgb c = At(d, x, y);
        return c.r == 0 && c.g == 0 && c.b == 200;
    }
};

TEST(SlideTransitionsTest, FittedRectangles)
{
    struct Case {
        int w, h, sw, sh;
        RECT r;
    } cases[] = {
        {320, 80, 160, 80, {0, 20, 160, 60}},   // wider than the screen
        {80, 80, 160, 80, {40, 0, 120, 80}},    // taller
        {320, 160, 160, 80, {0, 0, 160, 80}},   // same shape
        {1, 1, 1920, 1080, {420, 0, 1500, 1080}},
    };
    for (const Case& c : cases) {
        const RECT r = SlideTransitions::FittedRect(c.w, c.h, c.sw, c.sh);
        EXPECT_EQ(c.r.left, r.left) << c.w << "x" << c.h;
        EXPECT_EQ(c.r.top, r.top) << c.w << "x" << c.h;
        EXPECT_EQ(c.r.right, r.right) << c.w << "x" << c.h;
        EXPECT_EQ(c.r.bottom, r.bottom) << c.w << "x" << c.h;
    }
}

TEST(SlideTransitionsTest, ComposeSamplesIntoTheFittedRectangleOnBlack)
{
    CQLImage image = Filled(4, 4, {0, 0, 0});
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            image.GetBuffer(x, y)[2] = static_cast<BYTE>(10 * x + y + 1);
    CQLImage buffer = Filled(kSW, kSH, {9, 9, 9});
    SlideTransitions::Compose(image, &buffer);
    // Fitted at (40, 0)-(120, 80): 20 screen pixels per image pixel.
    EXPECT_EQ(0, At(buffer, 39, 40).r);
    EXPECT_EQ(0, At(buffer, 120, 40).r);
    EXPECT_EQ(1, At(buffer, 40, 0).r);
    EXPECT_EQ(1, At(buffer, 59, 19).r);
    EXPECT_EQ(12, At(buffer, 60, 20).r);
    EXPECT_EQ(34, At(buffer, 119, 79).r);
}

TEST(SlideTransitionsTest, ScanRowsMapFromTheTarget)
{
    Buffers scanDown;
    SlideTransitions::Step(SlideTransitions::kScanDown, 3, &scanDown.d, scanDown.t);
    // k = 24: rows 0..23 take rows 56..79.
    EXPECT_TRUE(scanDown.FromTarget(5, 0, 5, 56));
    EXPECT_TRUE(scanDown.FromTarget(5, 23, 5, 79));
    EXPECT_TRUE(scanDown.Untouched(5, 24));

    Buffers scanUp;
    SlideTransitions::Step(SlideTransitions::kScanUp, 3, &scanUp.d, scanUp.t);
    // k = 56: rows 56..79 take rows 0..23.
    EXPECT_TRUE(scanUp.Untouched(5, 55));
    EXPECT_TRUE(scanUp.FromTarget(5, 56, 5, 0));
    EXPECT_TRUE(scanUp.FromTarget(5, 79, 5, 23));
}

TEST(SlideTransitionsTest, BlendAndFadeBytes)
{
    Buffers blend;
    SlideTransitions::Step(SlideTransitions::kBlend, 1, &blend.d, blend.t);
    // blue: (25 x 50 + 230 x 200) >> 8 = 184; red: (25 x 100) >> 8 = 9.
    EXPECT_EQ(184, At(blend.d, 100, 0).b);
    EXPECT_EQ(9, At(blend.d, 100, 0).r);

    Buffers fade;
    for (int c = 1; c <= 4; ++c)
        SlideTransitions::Step(SlideTransitions::kFade, c, &fade.d, fade.t);
    EXPECT_EQ(200 * 2 / 3 * 2 / 3 * 2 / 3 * 2 / 3, At(fade.d, 3, 3).b);
    SlideTransitions::Step(SlideTransitions::kFade, 5, &fade.d, fade.t);
    EXPECT_EQ(0, At(fade.d, 100, 70).r + At(fade.d, 100, 70).g + At(fade.d, 100, 70).b) << "black at 5";
    SlideTransitions::Step(SlideTransitions::kFade, 7, &fade.d, fade.t);
    EXPECT_EQ(40, At(fade.d, 100, 70).r);
    SlideTransitions::Step(SlideTransitions::kFade, 10, &fade.d, fade.t);
    EXPECT_TRUE(fade.FromTarget(100, 70, 100, 70)) << "the new photo at 10";
    EXPECT_TRUE(fade.FromTarget(159, 79, 159, 79));
}

// Every pair of byte values, every step, both vector paths, against the
// rules written plainly; the fourth byte stays D's.
TEST(SlideTransitionsTest, BlendAndFadeOverEveryByte)
{
    CQLImage d0, t;
    ASSERT_EQ(0, d0.Create(256, 256));
    ASSERT_EQ(0, t.Create(256, 256));
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            BYTE* p = d0.GetBuffer(x, y);
            BYTE* q = t.GetBuffer(x, y);
            p[0] = static_cast<BYTE>(x), p[1] = static_cast<BYTE>(255 - x), p[2] = static_cast<BYTE>(y), p[3] = 7;
            q[0] = static_cast<BYTE>(y), q[1] = static_cast<BYTE>(x), q[2] = static_cast<BYTE>(255 - y), q[3] = 99;
        }
    for (imagecore::SimdLevel level : {imagecore::SimdLevel::Sse4, imagecore::SimdLevel::Avx2}) {
        imagecore::ScopedSimdCeiling ceiling(level);
        for (int effect : {SlideTransitions::kBlend, SlideTransitions::kFade}) {
            CQLImage d, plain;
            ASSERT_TRUE(d.DuplicateFrom(&d0));
            ASSERT_TRUE(plain.DuplicateFrom(&d0));
            for (int c = 1; c <= 10; ++c) {
                SlideTransitions::Step(effect, c, &d, t);
                int wrong = 0;
                for (int y = 0; y < 256 && wrong < 3; ++y)
                    for (int x = 0; x < 256 && wrong < 3; ++x) {
                        BYTE* p = plain.GetBuffer(x, y);
                        const BYTE* q = t.GetBuffer(x, y);
                        for (int k = 0; k < 3; ++k) {
                            if (effect == SlideTransitions::kBlend)
                                p[k] = static_cast<BYTE>((25 * c * q[k] + (255 - 25 * c) * p[k]) >> 8);
                            else
                                p[k] = static_cast<BYTE>(c <= 4 ? p[k] * 2 / 3 : static_cast<int>((c - 5) * 0.2 * q[k]));
                        }
                        if (std::memcmp(p, d.GetBuffer(x, y), 4) != 0) {
                            ++wrong;
                            ADD_FAILURE() << "effect " << effect << " step " << c << " level "
                                          << static_cast<int>(level) << " at " << x << "," << y;
                        }
                    }
            }
        }
    }
}

TEST(SlideTransitionsTest, BlocksCopyExactlyTheirDiagonal)
{
    // Odd sides: the last blocks are cut.
    CQLImage t = Filled(97, 83, {1, 2, 3});
    for (int c = 1; c <= 10; ++c) {
        CQLImage d = Filled(97, 83, {0, 0, 0});
        SlideTransitions::Step(SlideTransitions::kBlocks, c, &d, t);
        int wrong = 0;
        for (int y = 0; y < 83 && wrong < 3; ++y)
            for (int x = 0; x < 97 && wrong < 3; ++x) {
                const int v = y % 40 - x % 40 + 40;
                const bool copied = 8 * c - 9 < v && v < 8 * c;
                if ((At(d, x, y).r == 1) != copied) {
                    ++wrong;
                    ADD_FAILURE() << "step " << c << " at " << x << "," << y;
                }
            }
    }
}

TEST(SlideTransitionsTest, CenterOutAndIn)
{
    Buffers out;
    SlideTransitions::Step(SlideTransitions::kCenterOut, 5, &out.d, out.t);
    // 80 x 40 at (40, 20).
    EXPECT_TRUE(out.FromTarget(40, 20, 40, 20));
    EXPECT_TRUE(out.FromTarget(119, 59, 119, 59));
    EXPECT_TRUE(out.Untouched(39, 20));
    EXPECT_TRUE(out.Untouched(120, 59));
    EXPECT_TRUE(out.Untouched(40, 60));

    Buffers in;
    SlideTransitions::Step(SlideTransitions::kCenterIn, 5, &in.d, in.t);
    // Inside band rows 20..60 and columns 40..120, both ends inclusive.
    EXPECT_TRUE(in.FromTarget(0, 0, 0, 0));
    EXPECT_TRUE(in.FromTarget(80, 19, 80, 19));
    EXPECT_TRUE(in.Untouched(80, 20));
    EXPECT_TRUE(in.Untouched(80, 60));
    EXPECT_TRUE(in.FromTarget(80, 61, 80, 61));
    EXPECT_TRUE(in.FromTarget(39, 40, 39, 40));
    EXPECT_TRUE(in.Untouched(40, 40));
    EXPECT_TRUE(in.Untouched(120, 40));
    EXPECT_TRUE(in.FromTarget(121, 40, 121, 40));
}

TEST(SlideTransitionsTest, BlocksCopyEveryPixelAfterStepTen)
{
    Buffers b;
    SlideTransitions::Step(SlideTransitions::kBlocks, 1, &b.d, b.t);
    // Step 1: -1 < (y mod 40) - (x mod 40) + 40 < 8.
    EXPECT_TRUE(b.FromTarget(39, 0, 39, 0));
    EXPECT_TRUE(b.Untouched(0, 0));
    for (int c = 2; c <= 10; ++c)
        SlideTransitions::Step(SlideTransitions::kBlocks, c, &b.d, b.t);
    int missed = 0;
    for (int y = 0; y < kSH; ++y)
        for (int x = 0; x < kSW; ++x)
            missed += !b.FromTarget(x, y, x, y);
    EXPECT_EQ(0, missed);
}

TEST(SlideTransitionsTest, SlideBands)
{
    Buffers h;
    SlideTransitions::Step(SlideTransitions::kSlideHorizontal, 5, &h.d, h.t);
    // w = 80; rows 0..79 are band 0 (even): columns 80..159 take 0..79.
    EXPECT_TRUE(h.FromTarget(80, 10, 0, 10));
    EXPECT_TRUE(h.FromTarget(159, 10, 79, 10));
    EXPECT_TRUE(h.Untouched(79, 10));
    CQLImage tall = Filled(kSW, 200, {0, 0, 200});
    CQLImage tallT = Filled(kSW, 200, {1, 2, 3});
    SlideTransitions::Step(SlideTransitions::kSlideHorizontal, 5, &tall, tallT);
    EXPECT_EQ(1, At(tall, 0, 100).r) << "odd band enters from the left";
    EXPECT_EQ(0, At(tall, 80, 100).r);

    Buffers v;
    SlideTransitions::Step(SlideTransitions::kSlideVertical, 5, &v.d, v.t);
    // h = 40; even band x 0..79: rows 40..79 take 0..39; odd band: rows 0..39 take 40..79.
    EXPECT_TRUE(v.FromTarget(10, 40, 10, 0));
    EXPECT_TRUE(v.FromTarget(10, 79, 10, 39));
    EXPECT_TRUE(v.Untouched(10, 39));
    EXPECT_TRUE(v.FromTarget(90, 0, 90, 40));
    EXPECT_TRUE(v.Untouched(90, 40));
}

TEST(SlideTransitionsTest, NoneAndStepZeroLeaveTheDisplay)
{
    Buffers b;
    SlideTransitions::Step(SlideTransitions::kNone, 5, &b.d, b.t);
    SlideTransitions::Step(SlideTransitions::kBlend, 0, &b.d, b.t);
    EXPECT_TRUE(b.Untouched(80, 40));
}

TEST(SlideTransitionsTest, BarPositions)
{
    struct Case {
        int state, step;
        POINT at;
    } cases[] = {{1, 0, {760, -40}}, {1, 10, {760, 0}}, {2, 0, {760, 0}}, {2, 10, {760, -40}}, {3, 0, {760, 0}}};
    for (const Case& c : cases) {
        const POINT p = SlideTransitions::BarOrigin(1920, c.state, c.step);
        EXPECT_EQ(c.at.x, p.x);
        EXPECT_EQ(c.at.y, p.y) << c.state << " " << c.step;
    }
}

// ---- full-window animation -------------------------------------------------

TEST(FullWindowAnimationTest, ShowMovesThenGrows)
{
    const RECT cell{100, 100, 200, 160};
    const auto steps = FullWindowAnimation::ShowSteps(cell, 1000, 800);
    ASSERT_EQ(15u, steps.size());
    EXPECT_EQ(100, steps[0].left);
    EXPECT_EQ(100, steps[0].top);
    // k = 5: centre (5 x 150 + 5 x 500) / 10 = 325, (5 x 130 + 5 x 400) / 10 = 265.
    EXPECT_EQ(325 - 50, steps[5].left);
    EXPECT_EQ(265 - 30, steps[5].top);
    EXPECT_EQ(450, steps[10].left);
    EXPECT_EQ(370, steps[10].top);
    EXPECT_EQ(550, steps[10].right);
    EXPECT_EQ(430, steps[10].bottom);
    // Growing: n = 3 is the last rectangle, n = 0 the screen.
    EXPECT_EQ(steps[10].left, steps[11].left);
    EXPECT_EQ(steps[10].bottom, steps[11].bottom);
    EXPECT_EQ(300, steps[12].left);
    EXPECT_EQ((2 * 550 + 1000) / 3, steps[12].right);
    EXPECT_EQ(0, steps[14].left);
    EXPECT_EQ(0, steps[14].top);
    EXPECT_EQ(1000, steps[14].right);
    EXPECT_EQ(800, steps[14].bottom);
}

TEST(FullWindowAnimationTest, HideShrinksThenMovesToTheCell)
{
    const RECT cell{100, 100, 200, 160};
    const auto steps = FullWindowAnimation::HideSteps(cell, 1000, 800);
    ASSERT_EQ(9u, steps.size());
    EXPECT_EQ(150, steps[0].left);
    EXPECT_EQ((550 + 2 * 1000) / 3, steps[0].right);
    EXPECT_EQ(450, steps[2].left);
    EXPECT_EQ(370, steps[2].top);
    EXPECT_EQ(550, steps[2].right);
    EXPECT_EQ(430, steps[2].bottom);
    EXPECT_EQ(450, steps[3].left);
    EXPECT_EQ(100, steps[8].left);
    EXPECT_EQ(100, steps[8].top);
    EXPECT_EQ(200, steps[8].right);
}

TEST(FullWindowAnimationTest, CellsOffTheScreenShowAtOnce)
{
    EXPECT_TRUE(FullWindowAnimation::ShowSteps({-300, 10, -200, 60}, 1000, 800).empty());
    EXPECT_TRUE(FullWindowAnimation::HideSteps({100, 900, 200, 960}, 1000, 800).empty());
    const RECT thumb = FullWindowAnimation::CellRect({10, 10, 110, 130}, false);
    EXPECT_EQ(15, thumb.left);
    EXPECT_EQ(110, thumb.bottom);
    const RECT detail = FullWindowAnimation::CellRect({10, 10, 400, 30}, true);
    EXPECT_EQ(30, detail.right);
}

// ---- screen-saver settings -------------------------------------------------

TEST(ScreenSaverSettingsTest, FileMatchesItsBytes)
{
    shelftest::ScratchFolder folder;
    ScreenSaverSettings s;
    s.folder = "/home/ann/Photos/";
    s.randomShow = 1;
    s.effect = 9;
    s.delay = 300;
    const std::string path = folder.Path() + "ScrSvr.set";
    ASSERT_TRUE(s.Write(path));
    std::string expected(512, '\0');
    expected.replace(0, s.folder.size(), s.folder);
    expected += std::string("\x01\0\0\0\x09\0\0\0\x2c\x01\0\0", 12);
    EXPECT_EQ(expected, shelftest::ReadBytes(path));
}

TEST(ScreenSaverSettingsTest, LongFolderIsRefusedAndNothingWritten)
{
    shelftest::ScratchFolder folder;
    const std::string path = folder.Path() + "ScrSvr.set";
    shelftest::WriteBytes(path, "old");
    ScreenSaverSettings s;
    s.folder.assign(512, 'a');
    EXPECT_FALSE(s.Write(path));
    EXPECT_EQ("old", shelftest::ReadBytes(path));
    s.folder.assign(511, 'a');
    EXPECT_TRUE(s.Write(path));
    EXPECT_EQ(524u, shelftest::ReadBytes(path).size());
}

TEST(ScreenSaverSettingsTest, DelayStepsStayInRange)
{
    struct Case {
        int delay, delta, expected;
    } cases[] = {{3, 1, 3}, {60, -1, 60}, {5, -1, 6}, {5, 1, 4}, {4, 1, 3}};
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, ScreenSaverSettings::StepDelay(c.delay, c.delta)) << c.delay << " " << c.delta;
}

} // namespace
} // namespace shelf
