// "Sci-fi": the tone curve, the parameters, the luma step by hand, and the
// progress the host sees.
#include "EffectTestSupport.h"

#include "plugins/effects/SciFiAlgorithm.h"
#include "plugins/effects/SciFiFilter.h"
#include "platform/codec/QLImageCodec.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using effecttest::Fill;
using effecttest::RecordingHost;
using effecttest::SameImage;

// Edges, gradients and colour, so every step has something to change.
void Pattern(CQLImage* image, int w = 96, int h = 64)
{
    Fill(image, w, h, [](int x, int y) {
        const bool block = (x / 16 + y / 16) % 2 == 0;
        return CPixel{static_cast<BYTE>(block ? 40 + x : 200 - y), static_cast<BYTE>(block ? 90 : 160 + x / 2),
                      static_cast<BYTE>((x * 3 + y * 2) % 256), 255};
    });
}

int RunSciFi(const char* values, CQLImage* source, CQLImage* target)
{
    RecordingHost host(source, target);
    SciFiFilter filter;
    filter.AttachHost(&host);
    return filter.Apply(values);
}

TEST(SciFi, ToneCurveUsesItsOwnConstant)
{
    const std::pair<int, int> levels[] = {{0, 0}, {64, 54}, {128, 127}, {192, 201}, {255, 255}, {32, 24}};
    for (auto [in, out] : levels)
        EXPECT_EQ(SciFiFilter::ToneLevel(in), out) << in;
}

TEST(SciFi, ParametersByNameInEitherLanguage)
{
    struct Case {
        const char* values;
        int radius, amount, colour;
    };
    const Case cases[] = {
        {"'Radius'='12';'Amount'='30';'process color'='0';", 12, 30, 1},
        {"'RADIUS'='7';'amount'='9';'Process Color'='1';", 7, 9, 0},
        {"'半径'='100';'强度'='0';'处理颜色'='2';", 100, 0, 0},
        {"'Other'='5';", 64, 50, 1},
    };
    for (const Case& c : cases) {
        SciFiFilter filter;
        EXPECT_EQ(ParseValueText(c.values, &filter), 0) << c.values;
        EXPECT_EQ(filter.radius, c.radius) << c.values;
        EXPECT_EQ(filter.amount, c.amount) << c.values;
        EXPECT_EQ(filter.processColour, c.colour) << c.values;
    }
}

TEST(SciFi, AmountZeroWithoutColourIsTheYuvRoundTrip)
{
    CQLImage source, target, expected;
    Pattern(&source);
    expected.DuplicateFrom(&source);
    effecttest::YuvRoundTrip(&expected);
    ASSERT_EQ(RunSciFi("'Radius'='8';'Amount'='0';'process color'='1';", &source, &target), 0);
    EXPECT_TRUE(SameImage(target, expected));
}

// A flat picture has no detail, so the detail step leaves it. Checked with
// the smoothing exact (radius 0): the shared smoothing loses a few levels
// inside flat planes but none at their borders.
TEST(SciFi, FlatPictureStaysFlat)
{
    for (const char* values : {"'Radius'='0';'Amount'='100';'process color'='1';"}) {
        CQLImage source, target, expected;
        Fill(&source, 80, 60, [](int, int) { return CPixel{30, 140, 200, 255}; });
        expected.DuplicateFrom(&source);
        effecttest::YuvRoundTrip(&expected);
        ASSERT_EQ(RunSciFi(values, &source, &target), 0);
        int differing = 0;
        for (int y = 0; y < 60; ++y)
            for (int x = 0; x < 80; ++x)
                differing += target.GetPixel(x, y) != target.GetPixel(0, 0);
        EXPECT_EQ(differing, 0) << values;
        EXPECT_TRUE(SameImage(target, expected)) << values;
    }
}

TEST(SciFi, ProcessColourChoiceSwitchesTheColourStep)
{
    CQLImage source, off, chosen;
    Pattern(&source);
    ASSERT_EQ(RunSciFi("'Radius'='8';'Amount'='40';'process color'='1';", &source, &off), 0);
    // Index 0 ("true") turns the colour step on, any other index off.
    for (auto [index, on] : {std::pair{"0", true}, {"1", false}, {"3", false}}) {
        const std::string values = std::string("'Radius'='8';'Amount'='40';'process color'='") + index + "';";
        ASSERT_EQ(RunSciFi(values.c_str(), &source, &chosen), 0);
        EXPECT_EQ(!SameImage(chosen, off), on) << index;
    }
}

TEST(SciFi, FailedParseLeavesTheTarget)
{
    CQLImage source, target, before;
    Pattern(&source);
    Fill(&target, 5, 5, [](int x, int y) { return CPixel{static_cast<BYTE>(x), static_cast<BYTE>(y), 7, 9}; });
    before.DuplicateFrom(&target);
    EXPECT_EQ(RunSciFi("'Radius'=64", &source, &target), E_FAIL);
    EXPECT_TRUE(SameImage(target, before));
}

// Flat source and flat smoothed image: the detail plane is their luma
// difference everywhere, so the luma moves by -k (m - 128) / 64 exactly.
TEST(SciFiAlgorithm, LumaStepByHand)
{
    struct Case {
        int sourceGrey, smoothGrey, k;
        int lumaDelta; // computed from the formula by hand
    };
    const Case cases[] = {
        {100, 120, 150, -46}, // m = 148: 150 * 20 / 64 = 46.9
        {100, 70, 150, 70},   // m = 98: -4500 / 64 = -70.3, toward zero
        {120, 120, 300, 0},   // no detail
        {240, 100, 300, 255}, // m = 0: +600, clamped to 255
        {10, 250, 300, -255}, // m = 255 (clamped 368): -595, clamped to 0
    };
    for (const Case& c : cases) {
        CQLImage source, target, smoothed, expected;
        auto grey = [](int g) { return [g](int, int) { return CPixel{BYTE(g), BYTE(g), BYTE(g), 255}; }; };
        Fill(&source, 40, 30, grey(c.sourceGrey));
        Fill(&smoothed, 40, 30, grey(c.smoothGrey));
        expected.DuplicateFrom(&source);
        CQLImageCodec codec;
        codec.RGBToYUV(&expected);
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 40; ++x) {
                BYTE* p = expected.GetBuffer(x, y);
                p[2] = static_cast<BYTE>(std::clamp(p[2] + c.lumaDelta, 0, 255));
            }
        codec.YUVToRGB(&expected);

        SciFiAlgorithm scifi;
        scifi.SetImages(&source, &target);
        scifi.AddImage(&smoothed);
        // Radius 0: both smoothing steps are copies, so the plane is exact.
        const SciFiParams p{0, c.k, 0};
        ASSERT_EQ(scifi.Apply(&p), 0);
        EXPECT_TRUE(SameImage(target, expected)) << c.sourceGrey << " " << c.smoothGrey;
        const int plane = std::clamp(c.smoothGrey - c.sourceGrey + 128, 0, 255);
        EXPECT_EQ(source.GetBuffer(20, 15)[3], plane) << "detail plane in the source's alpha";
        EXPECT_EQ(smoothed.GetBuffer(20, 15)[3], plane) << "smoothed plane in extra image 0";
    }
}

TEST(SciFiAlgorithm, OwnSmoothedImageGoesWithTheRun)
{
    CQLImage source, target;
    Pattern(&source);
    SciFiAlgorithm scifi;
    scifi.SetImages(&source, &target);
    const SciFiParams p{8, 150, 0};
    ASSERT_EQ(scifi.Apply(&p), 0);
    EXPECT_TRUE(scifi.GetImages().empty());
}

TEST(SciFi, ProgressClimbsThroughTheStepsToHundred)
{
    CQLImage source, target;
    Pattern(&source, 300, 200);
    RecordingHost host(&source, &target);
    SciFiFilter filter;
    filter.AttachHost(&host);
    ASSERT_EQ(filter.Apply("'Radius'='16';'Amount'='50';'process color'='0';"), 0);
    const std::vector<int> values = RecordingHost::Values();
    ASSERT_FALSE(values.empty());
    EXPECT_TRUE(std::is_sorted(values.begin(), values.end()));
    EXPECT_EQ(values.back(), 100);
    // 5 and 20 from the filter; 55, 93, 97 of the algorithm land at 64, 94, 97.
    for (int point : {5, 20, 64, 94, 97})
        EXPECT_NE(std::find(values.begin(), values.end(), point), values.end()) << point;
}

TEST(SciFi, CancelOfTheHostEndsTheRun)
{
    CQLImage source, target;
    Pattern(&source);
    RecordingHost host(&source, &target);
    SciFiFilter filter;
    filter.AttachHost(&host);
    host.Cancel();
    EXPECT_EQ(filter.Apply("'Radius'='8';'Amount'='50';'process color'='0';"), E_FAIL);
}

} // namespace
