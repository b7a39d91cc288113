#include "algorithms/ChannelMixerAlgorithm.h"
#include "algorithms/HsbTables.h"
#include "algorithms/HueSaturationAlgorithm.h"
#include "algorithms/ToneBlendAlgorithm.h"
#include "algorithms/WhiteBalanceAlgorithm.h"
#include "algorithms/tests/EffectTestSupport.h"
#include "platform/codec/ColorForms.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

using effecttest::Bytes;
using effecttest::MakeFlat;
using effecttest::MakePattern;

struct Rgb {
    int r, g, b;
};

void MakeColour(CQLImage& image, int w, int h, Rgb c, int alpha = 255)
{
    image.Create(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.PutPixel(x, y, {static_cast<BYTE>(c.b), static_cast<BYTE>(c.g), static_cast<BYTE>(c.r),
                                  static_cast<BYTE>(alpha)});
}

void ExpectPixel(const CQLImage& image, int x, int y, Rgb c, int alpha)
{
    const CPixel p = image.GetPixel2(x, y);
    EXPECT_EQ(p.r, c.r) << x << "," << y;
    EXPECT_EQ(p.g, c.g) << x << "," << y;
    EXPECT_EQ(p.b, c.b) << x << "," << y;
    if (alpha >= 0) {
        EXPECT_EQ(p.a, alpha) << x << "," << y;
    }
}

// --- Hue and saturation ------------------------------------------------------

struct HueCase {
    const char* name;
    Rgb in;
    HueSaturationParams params;
    Rgb out;
};

TEST(HueSaturationTest, TurnsHueScalesSaturationAndBlendsLightness)
{
    // HSB of (200, 100, 100): brightness 200, saturation 128, hue 0; of pure
    // red: 255, 255, 0. Hue 171 is sector 4 with f = 6: R = 6, B = 255.
    const HueCase cases[] = {
        {"saturation doubled to 255", {200, 100, 100}, {0, 128, 0}, {200, 0, 0}},
        {"saturation removed", {200, 100, 100}, {0, -128, 0}, {200, 200, 200}},
        {"saturation halved to 64", {200, 100, 100}, {0, -64, 0}, {200, 150, 150}},
        {"red turned to green", {255, 0, 0}, {85, 0, 0}, {0, 255, 0}},
        {"negative turn wraps", {255, 0, 0}, {-85, 0, 0}, {6, 0, 255}},
        {"turn modulo 256", {255, 0, 0}, {171 + 256, 0, 0}, {6, 0, 255}},
        {"lighter: (v 128 + 255 128) >> 8", {100, 100, 100}, {0, 0, 64}, {177, 177, 177}},
        {"darker: (v 128) >> 8", {100, 100, 100}, {0, 0, -64}, {50, 50, 50}},
        {"full lightness is white", {10, 200, 30}, {0, 0, 128}, {255, 255, 255}},
        {"lightness beyond the range stays white", {10, 200, 30}, {0, 0, 200}, {255, 255, 255}},
        {"saturation beyond the range counts as 128", {200, 100, 100}, {0, 500, 0}, {200, 0, 0}},
    };
    for (const HueCase& c : cases) {
        SCOPED_TRACE(c.name);
        CQLImage src, dst;
        MakeColour(src, 3, 2, c.in, 77);
        HueSaturationAlgorithm fx;
        fx.SetImages(&src, &dst);
        ASSERT_EQ(fx.Apply(&c.params), 0);
        ExpectPixel(dst, 2, 1, c.out, 77);
    }
}

TEST(HueSaturationTest, NoChangeIsTheHsbRoundTrip)
{
    CQLImage src, dst;
    MakePattern(src, 24, 16);
    HueSaturationAlgorithm fx;
    fx.SetImages(&src, &dst);
    const HueSaturationParams none = {0, 0, 0};
    ASSERT_EQ(fx.Apply(&none), 0);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 24; ++x) {
            const CPixel a = src.GetPixel2(x, y), b = dst.GetPixel2(x, y);
            EXPECT_LE(std::abs(a.r - b.r), 3);
            EXPECT_LE(std::abs(a.g - b.g), 3);
            EXPECT_LE(std::abs(a.b - b.b), 3);
            EXPECT_EQ(a.a, b.a);
        }
}

TEST(HueSaturationTest, TableConversionMatchesTheCodecForEveryColour)
{
    const HsbTables& tables = HsbTables::Get();
    for (int c = 0; c < (1 << 24); ++c) {
        BYTE a[4] = {static_cast<BYTE>(c), static_cast<BYTE>(c >> 8), static_cast<BYTE>(c >> 16), 7};
        BYTE b[4] = {a[0], a[1], a[2], a[3]};
        tables.ToHsb(a);
        qlcodec::RgbToHsbPixel(b);
        ASSERT_TRUE(a[0] == b[0] && a[1] == b[1] && a[2] == b[2] && a[3] == b[3]) << "colour " << c;
    }
}

// --- Tone blend --------------------------------------------------------------

ToneBlendParams Blend(int mode, CQLImage* reference, int index, BYTE weight)
{
    ToneBlendParams p = {};
    p.mode = mode;
    p.weights[index] = weight;
    p.reference = reference;
    p.flag = 1;
    return p;
}

TEST(ToneBlendTest, ByGreyWeighsTheCorrectedImageByItsGreyLevel)
{
    // Corrected (R100, G200, B10): grey (1200 + 300 + 10) / 10 = 151.
    CQLImage corrected, before, dst;
    MakeColour(corrected, 2, 2, {100, 200, 10}, 9);
    MakeColour(before, 2, 2, {50, 50, 50}, 33);
    ToneBlendAlgorithm fx;
    fx.SetImages(&corrected, &dst);

    ToneBlendParams p = Blend(ToneBlendAlgorithm::ByGrey, &before, 151, 128);
    ASSERT_EQ(fx.Apply(&p), 0);
    ExpectPixel(dst, 1, 1, {75, 125, 30}, 33);
    EXPECT_EQ(corrected.GetPixel2(1, 1).a, 151); // the grey goes into the source's alpha

    p = Blend(ToneBlendAlgorithm::ByGrey | 0x100, &before, 151, 255); // only the low byte is the mode
    ASSERT_EQ(fx.Apply(&p), 0);
    ExpectPixel(dst, 0, 0, {(100 * 255 + 50) >> 8, (200 * 255 + 50) >> 8, (10 * 255 + 50) >> 8}, 33);

    p = Blend(ToneBlendAlgorithm::ByGrey, &before, 150, 255); // weight 0 at grey 151
    ASSERT_EQ(fx.Apply(&p), 0);
    ExpectPixel(dst, 0, 1, {50, 50, 50}, 33);
}

TEST(ToneBlendTest, ByHueWeighsByTheReferenceHueAndSpread)
{
    // Reference (200, 100, 100): hue 0, brightness 200, spread 200;
    // weight 128 gives h = 100: channel = (reference 156 + corrected 100) >> 8.
    CQLImage corrected, before, dst;
    MakeColour(corrected, 3, 1, {0, 0, 0});
    before.Create(3, 1);
    before.PutPixel(0, 0, {100, 100, 200, 44});
    before.PutPixel(1, 0, {90, 90, 90, 44}); // grey: no spread, kept
    before.PutPixel(2, 0, {0, 0, 255, 44});  // spread 510: h capped at 255
    const std::vector<BYTE> referenceBytes = Bytes(before);
    ToneBlendAlgorithm fx;
    fx.SetImages(&corrected, &dst);
    ToneBlendParams p = Blend(ToneBlendAlgorithm::ByHue, &before, 0, 128);
    ASSERT_EQ(fx.Apply(&p), 0);
    ExpectPixel(dst, 0, 0, {200 * 156 >> 8, 100 * 156 >> 8, 100 * 156 >> 8}, 44);
    ExpectPixel(dst, 1, 0, {90, 90, 90}, 44);
    // 510 * 128 / 256 = 255: (255 * 1 + 0) >> 8 = 0.
    ExpectPixel(dst, 2, 0, {0, 0, 0}, 44);
    EXPECT_EQ(Bytes(before), referenceBytes); // converted on a copy, never in place
}

TEST(ToneBlendTest, RefusesAMissingOrMismatchedReference)
{
    CQLImage corrected, small, dst;
    MakePattern(corrected, 6, 4);
    MakePattern(small, 5, 4);
    MakeFlat(dst, 2, 2, 7);
    const std::vector<BYTE> before = Bytes(dst);
    ToneBlendAlgorithm fx;
    fx.SetImages(&corrected, &dst);
    ToneBlendParams p = Blend(ToneBlendAlgorithm::ByHue, nullptr, 0, 255);
    EXPECT_EQ(fx.Apply(&p), E_FAIL);
    p.reference = &small;
    EXPECT_EQ(fx.Apply(&p), E_FAIL);
    EXPECT_EQ(Bytes(dst), before);
}

TEST(ToneBlendTest, AnUnknownModeCopiesTheCorrectedImage)
{
    CQLImage corrected, before, dst;
    MakePattern(corrected, 6, 4);
    MakeFlat(before, 6, 4, 9);
    ToneBlendAlgorithm fx;
    fx.SetImages(&corrected, &dst);
    ToneBlendParams p = Blend(7, &before, 0, 255);
    ASSERT_EQ(fx.Apply(&p), 0);
    EXPECT_EQ(Bytes(dst), Bytes(corrected));
}

// --- White balance -----------------------------------------------------------

TEST(WhiteBalanceTest, ShiftCurvesMoveGreyToTheComponent)
{
    BYTE curve[256], inverse[256];
    // b < a, k = 28: 32 i / 60 below 60, i - 28 in the middle, eased above 224.
    WhiteBalanceAlgorithm::ShiftCurve(128, 100, curve);
    EXPECT_EQ(curve[0], 0);
    EXPECT_EQ(curve[59], 31);
    EXPECT_EQ(curve[60], 32);
    EXPECT_EQ(curve[128], 100);
    EXPECT_EQ(curve[224], 196);
    EXPECT_EQ(curve[255], 254); // 255 - 28 + 28 * 31 / 32
    WhiteBalanceAlgorithm::InvertCurve(curve, inverse);
    EXPECT_EQ(inverse[100], 128);
    EXPECT_EQ(inverse[32], 60);
    EXPECT_EQ(inverse[255], 255); // never reached: at most 255

    // b >= a, k = 50: i + 50 i / 32 below 32, i + 50 in the middle, clamped.
    WhiteBalanceAlgorithm::ShiftCurve(100, 150, curve);
    EXPECT_EQ(curve[16], 41);
    EXPECT_EQ(curve[100], 150);
    EXPECT_EQ(curve[210], 255);
    EXPECT_EQ(curve[255], 255);
    // Dark grey: k = 20 * 32 / 20 = 32, and the curve still takes 20 to 40.
    WhiteBalanceAlgorithm::ShiftCurve(20, 40, curve);
    EXPECT_EQ(curve[20], 40);
    // Bright grey: k = 40 * 32 / (256 - 200) = 22.
    WhiteBalanceAlgorithm::ShiftCurve(240, 200, curve);
    EXPECT_EQ(curve[100], 78);
    // k is at most 190: 240 * 32 / 10 would be 768.
    WhiteBalanceAlgorithm::ShiftCurve(10, 250, curve);
    EXPECT_EQ(curve[100], 255);
    EXPECT_EQ(curve[31], 31 + 190 * 31 / 32);
    // A level of 0 shifts nothing.
    WhiteBalanceAlgorithm::ShiftCurve(0, 90, curve);
    for (int i = 0; i < 256; ++i)
        EXPECT_EQ(curve[i], i);
}

HRESULT Balance(WhiteBalanceAlgorithm& fx, CQLImage& src, CQLImage& dst, DWORD param)
{
    fx.SetImages(&src, &dst);
    return fx.Apply(&param);
}

DWORD Reference(Rgb c)
{
    return static_cast<DWORD>(c.b | (c.g << 8) | (c.r << 16));
}

TEST(WhiteBalanceTest, AGivenReferenceBecomesGrey)
{
    // Reference (R128, G128, B100): grey 125; B curve k = 25 gives 100 -> 125,
    // R and G curves k = 3 give 128 -> 125.
    CQLImage src, dst;
    MakeColour(src, 4, 3, {128, 128, 100}, 20);
    WhiteBalanceAlgorithm fx;
    ASSERT_EQ(Balance(fx, src, dst, Reference({128, 128, 100})), 0);
    ExpectPixel(dst, 3, 2, {125, 125, 125}, 255);
}

TEST(WhiteBalanceTest, AGreyReferenceChangesNothingButAlpha)
{
    // 50 is lifted to 53 on all three: a zero shift.
    CQLImage src, dst;
    MakePattern(src, 16, 12);
    WhiteBalanceAlgorithm fx;
    ASSERT_EQ(Balance(fx, src, dst, Reference({50, 50, 50})), 0);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 16; ++x) {
            EXPECT_TRUE(dst.GetPixel2(x, y) == src.GetPixel2(x, y));
            EXPECT_EQ(dst.GetPixel2(x, y).a, 255);
        }
}

TEST(WhiteBalanceTest, NoCorrectionModeIsACopyWithProgressStoppingAtTen)
{
    static std::vector<int> reports;
    reports.clear();
    CQLImage src, dst;
    MakePattern(src, 16, 12);
    WhiteBalanceAlgorithm fx;
    effecttest::ForgetLastProgress();
    fx.SetRange(0, 100);
    fx.SetCallback([](int, int v) {
        reports.push_back(v);
        return 0;
    });
    ASSERT_EQ(Balance(fx, src, dst, DWORD{WhiteBalanceAlgorithm::NoCorrection} << 24), 0);
    EXPECT_EQ(Bytes(dst), Bytes(src));
    ASSERT_FALSE(reports.empty());
    EXPECT_EQ(reports.back(), 10);
}

TEST(WhiteBalanceTest, FewUsablePixelsUseTheAverageColour)
{
    // 8 pixels (R80, G60, B40): under 1000 pixels the stretch is v 255 / 256,
    // giving (79, 59, 39), all 8 usable but no more than 10, so the reference
    // is the average. Lifted: B 46, G 61, R 80; grey 65. Inverse curves:
    // B (k 19) 39 -> 58, G (k 4) 59 -> 63, R (k 15) 79 -> 64.
    CQLImage src, dst;
    MakeColour(src, 4, 2, {80, 60, 40});
    WhiteBalanceAlgorithm fx;
    ASSERT_EQ(Balance(fx, src, dst, 0), 0);
    EXPECT_TRUE(fx.GetReference() == (CPixel{40, 60, 80, 0}));
    ExpectPixel(dst, 0, 0, {64, 63, 58}, 255);

    // Softened: grey 64, R and B half way to it.
    ASSERT_EQ(Balance(fx, src, dst, DWORD{WhiteBalanceAlgorithm::DetectSoften} << 24), 0);
    EXPECT_TRUE(fx.GetReference() == (CPixel{52, 60, 72, 0}));
}

TEST(WhiteBalanceTest, DetectionPicksTheMostNeutralPixels)
{
    // 12 grey (100) and 12 brown (R150, G100, B50) pixels, stretched by
    // 255 / 256 to 99 and (149, 99, 49); both sum to 297. Grey has index 0,
    // brown (|42 - 128| + |85 - 42| + |128 - 85|) / 2 = 86. The average
    // (R125, G100, B75) has hue 21, not green: the share is 24 / 6 = 4, met
    // by bin 0, so the reference is the mean of the grey pixels: no shift.
    CQLImage src, dst;
    src.Create(24, 1);
    for (int x = 0; x < 24; ++x)
        src.PutPixel(x, 0, x % 2 ? CPixel{50, 100, 150, 0} : CPixel{100, 100, 100, 0});
    WhiteBalanceAlgorithm fx;
    ASSERT_EQ(Balance(fx, src, dst, 0), 0);
    EXPECT_TRUE(fx.GetReference() == (CPixel{99, 99, 99, 0}));
    ExpectPixel(dst, 0, 0, {99, 99, 99}, 255);
    ExpectPixel(dst, 1, 0, {149, 99, 49}, 255);
}

TEST(WhiteBalanceTest, ChannelsThatAreZeroEverywhereDoNotDivideByZero)
{
    // 1200 pixels: the top 0.1 % (1 pixel) of an all-0 channel is at level 0.
    CQLImage black, red, dst;
    MakeColour(black, 40, 30, {0, 0, 0});
    WhiteBalanceAlgorithm fx;
    ASSERT_EQ(Balance(fx, black, dst, 0), 0);
    ExpectPixel(dst, 39, 29, {0, 0, 0}, 255);

    // Pure red stretches to (255, 0, 0), every pixel usable with index 255,
    // so the reference is (255, 0, 0); lifted (255, 16, 16), above 238 so
    // times 2/3: (170, 10, 10), grey 58. R (k 112): 255 -> 143.
    MakeColour(red, 40, 30, {200, 0, 0});
    ASSERT_EQ(Balance(fx, red, dst, 0), 0);
    EXPECT_TRUE(fx.GetReference() == (CPixel{0, 0, 255, 0}));
    ExpectPixel(dst, 5, 5, {143, 0, 0}, 255);
}

TEST(WhiteBalanceTest, AnEmptyNeutralBucketKeepsTheAverage)
{
    // 11 green pixels, all usable with index 255; the green average takes a
    // share of 11 / 12 = 0, reached before any bin fills: no pixel is picked.
    CQLImage green, dst;
    MakeColour(green, 11, 1, {0, 200, 0});
    WhiteBalanceAlgorithm fx;
    ASSERT_EQ(Balance(fx, green, dst, 0), 0);
    EXPECT_TRUE(fx.GetReference() == (CPixel{0, 200, 0, 0}));
    // Lifted (16, 200, 16), grey 126; G (k 74): stretched 199 -> 125.
    ExpectPixel(dst, 10, 0, {0, 125, 0}, 255);
}

TEST(WhiteBalanceTest, ToneRangeLimitsTheCorrectionByHue)
{
    // Source (R128, G128, B100): hue 43, spread 28. The correction gives 125
    // grey; a full weight blends h = 28 * 255 / 256 = 27 of it back.
    CQLImage src, dst;
    src.Create(2, 1);
    src.PutPixel(0, 0, {100, 128, 128, 60});
    src.PutPixel(1, 0, {90, 90, 90, 61}); // grey: no spread, kept as it was
    WhiteBalanceAlgorithm fx;
    fx.SetToneRange(0, 0, 255, 255); // ramps of no width: every hue full
    ASSERT_EQ(Balance(fx, src, dst, Reference({128, 128, 100})), 0);
    ExpectPixel(dst, 0, 0, {(128 * 229 + 125 * 27) >> 8, (128 * 229 + 125 * 27) >> 8, (100 * 229 + 125 * 27) >> 8},
                60);
    ExpectPixel(dst, 1, 0, {90, 90, 90}, 61);

    fx.SetToneRange(50, 50, 60, 60); // hue 43 is below the step
    ASSERT_EQ(Balance(fx, src, dst, Reference({128, 128, 100})), 0);
    ExpectPixel(dst, 0, 0, {128, 128, 100}, 60);

    fx.ClearToneRange();
    ASSERT_EQ(Balance(fx, src, dst, Reference({128, 128, 100})), 0);
    ExpectPixel(dst, 0, 0, {125, 125, 125}, 255);
}

TEST(WhiteBalanceTest, AutomaticModesRunTheWhiteBalance)
{
    CQLImage src, expected, dst;
    MakePattern(src, 32, 40);
    WhiteBalanceAlgorithm direct;
    ASSERT_EQ(Balance(direct, src, expected, 0), 0);

    AutoWhiteBalanceAlgorithm fx;
    fx.SetImages(&src, &dst);
    ASSERT_EQ(fx.Apply(nullptr), 0); // no parameter: mode 0
    EXPECT_EQ(Bytes(dst), Bytes(expected));
    const INT none = 0x302; // the low byte: no correction
    ASSERT_EQ(fx.Apply(&none), 0);
    EXPECT_EQ(Bytes(dst), Bytes(src));
}

// --- Channel mixer -----------------------------------------------------------

ChannelMixerParams Identity()
{
    ChannelMixerParams p = {};
    p.red[0] = p.green[1] = p.blue[2] = 100;
    return p;
}

TEST(ChannelMixerTest, IdentityReturnsTheSource)
{
    CQLImage src, dst;
    MakePattern(src, 20, 10);
    ChannelMixerAlgorithm fx;
    fx.SetImages(&src, &dst);
    const ChannelMixerParams p = Identity();
    ASSERT_EQ(fx.Apply(&p), 0);
    EXPECT_EQ(Bytes(dst), Bytes(src));
}

TEST(ChannelMixerTest, MixesRowsWithConstantsAndClamps)
{
    // (R100, G50, B10). Red: 10 * 255 / 100 = 25 + (5000 + 2500) / 100 = 100.
    // Green: constant -10 gives -25: 0. Blue: 200 % of blue = 20.
    ChannelMixerParams p = {};
    const INT red[4] = {50, 50, 0, 10}, green[4] = {0, 0, 0, -10}, blue[4] = {0, 0, 200, 0};
    std::memcpy(p.red, red, sizeof red);
    std::memcpy(p.green, green, sizeof green);
    std::memcpy(p.blue, blue, sizeof blue);
    CQLImage src, dst;
    MakeColour(src, 2, 2, {100, 50, 10}, 5);
    ChannelMixerAlgorithm fx;
    fx.SetImages(&src, &dst);
    ASSERT_EQ(fx.Apply(&p), 0);
    ExpectPixel(dst, 1, 1, {100, 0, 20}, 5);

    // Quotients truncate toward zero: 25 + (-150 / 100 = -1) = 24.
    const INT red2[4] = {0, -3, 0, 10};
    std::memcpy(p.red, red2, sizeof red2);
    MakeColour(src, 2, 2, {100, 50, 10}, 5);
    ASSERT_EQ(fx.Apply(&p), 0);
    EXPECT_EQ(dst.GetPixel2(0, 0).r, 24);

    // Weights and constants past 32 bits: (100 x 30000000 + 50 x -29000000) / 100
    // = 15500000, less the constant 21474836 x 255 / 100 = 54760831: 0;
    // green (-3000000000 + 3500000000) / 100 is 5000000: 255.
    const INT big[4] = {30000000, -29000000, 0, -21474836}, bigger[4] = {-30000000, 70000000, 0, 0};
    std::memcpy(p.red, big, sizeof big);
    std::memcpy(p.green, bigger, sizeof bigger);
    ASSERT_EQ(fx.Apply(&p), 0);
    EXPECT_EQ(dst.GetPixel2(0, 0).r, 0);
    EXPECT_EQ(dst.GetPixel2(0, 0).g, 255);
}

TEST(ChannelMixerTest, LumaOnlyReplacesTheLumaAndKeepsTheChroma)
{
    ChannelMixerParams p = Identity();
    p.lumaOnly = 1;
    p.luma[3] = 50; // all weights 0: luma 50
    CQLImage src, dst;
    MakeColour(src, 2, 2, {100, 100, 100}, 8);
    ChannelMixerAlgorithm fx;
    fx.SetImages(&src, &dst);
    ASSERT_EQ(fx.Apply(&p), 0);
    ExpectPixel(dst, 1, 0, {50, 50, 50}, 8);

    // (R200, G100, B50) has U 86, V 182; luma 100 % red = 200 back to RGB:
    // R 200 + 76 = 255 (clamped), G 200 - 23 = 177, B 200 - 74 = 126.
    p.luma[0] = 100;
    p.luma[3] = 0;
    MakeColour(src, 2, 2, {200, 100, 50}, 8);
    ASSERT_EQ(fx.Apply(&p), 0);
    ExpectPixel(dst, 0, 1, {255, 177, 126}, 8);
}

} // namespace
