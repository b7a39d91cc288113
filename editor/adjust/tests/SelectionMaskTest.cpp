// The selection maths of "Select an Area": tone ramps, hue weights, edges,
// combining polygons, the feather and the preview tint.
#include "editor/adjust/SelectionMask.h"

#include "algorithms/SmoothAlgorithm.h"
#include "imagecore/Simd.h"

#include <gtest/gtest.h>

#include <cstring>
#include <mutex>
#include <random>
#include <vector>

namespace {

using namespace selection;

CQLImage Filled(int w, int h, BYTE b, BYTE g, BYTE r)
{
    CQLImage image;
    EXPECT_EQ(image.Create(w, h), 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            BYTE* p = image.GetBuffer(x, y);
            p[0] = b, p[1] = g, p[2] = r, p[3] = 255;
        }
    return image;
}

CQLChannel Plane(int w, int h, BYTE value)
{
    CQLChannel plane;
    EXPECT_EQ(plane.Create(w, h), 0);
    std::memset(plane.GetBuffer(0, 0), value, plane.GetAreaByteSize());
    return plane;
}

TEST(SelectionTone, RampsByGrey)
{
    struct Case {
        const char* name;
        ToneRange range;
        int grey, expected;
    };
    const Case cases[] = {
        {"highlight below 160", kHighlights, 159, 0},  {"highlight at 160", kHighlights, 160, 0},
        {"highlight half way", kHighlights, 176, 127}, {"highlight at 191", kHighlights, 191, 247},
        {"highlight from 192", kHighlights, 192, 255}, {"highlight at 255", kHighlights, 255, 255},
        {"shadow at 0", kShadows, 0, 255},             {"shadow at 63", kShadows, 63, 255},
        {"shadow ramp", kShadows, 80, 127},            {"shadow from 96", kShadows, 96, 0},
        {"midtone ramp up", kMidtones, 80, 127},       {"midtone flat", kMidtones, 128, 255},
        {"midtone from 192", kMidtones, 192, 0},
    };
    for (const Case& c : cases) {
        BYTE table[256];
        ToneRamp(c.range, table);
        EXPECT_EQ(table[c.grey], c.expected) << c.name;
    }
    // The pixel's grey is (6 G + 3 R + B) / 10: G 200, R 100, B 0 gives 150.
    CQLChannel mask;
    ASSERT_TRUE(SelectTone(Filled(4, 3, 0, 200, 100), kMidtones, &mask));
    EXPECT_EQ(mask.Get(3, 2), 255);
    ASSERT_TRUE(SelectTone(Filled(4, 3, 0, 200, 100), kHighlights, &mask));
    EXPECT_EQ(mask.Get(0, 0), 0);
}

TEST(SelectionHue, WeightsByDistanceRoundTheCircle)
{
    struct Case {
        int hue, h0, expected;
    };
    const Case cases[] = {{0, 0, 255},   {15, 0, 255},  {16, 0, 255}, {20, 0, 223},  {47, 0, 7},
                          {48, 0, 0},    {250, 0, 255}, {200, 0, 0},  {230, 0, 175}, {128, 170, 47},
                          {213, 170, 39}};
    for (const Case& c : cases)
        EXPECT_EQ(HueWeight(c.hue, c.h0), c.expected) << c.hue << " from " << c.h0;
}

TEST(SelectionHue, HueAndChromaOfColours)
{
    struct Case {
        int r, g, b, hue, chroma;
    };
    const Case cases[] = {
        {255, 0, 0, 0, 255},      {0, 255, 0, 85, 255},   {0, 0, 255, 170, 255}, {255, 255, 0, 42, 255},
        {255, 0, 255, 214, 255},  {128, 128, 128, 0, 0},  {110, 100, 100, 0, 45}, {100, 100, 110, 170, 45},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(HueOf(c.r, c.g, c.b), c.hue) << c.r << "," << c.g << "," << c.b;
        EXPECT_EQ(Chroma(c.r, c.g, c.b), c.chroma) << c.r << "," << c.g << "," << c.b;
    }
}

// The image loop computes the same bytes as the formulas one by one.
TEST(SelectionHue, ImageLoopMatchesTheFormulas)
{
    CQLImage image;
    ASSERT_EQ(image.Create(52, 52 * 52), 0);
    for (int r = 0; r < 52; ++r)
        for (int g = 0; g < 52; ++g)
            for (int b = 0; b < 52; ++b) {
                BYTE* p = image.GetBuffer(b, r * 52 + g);
                p[0] = static_cast<BYTE>(b * 5), p[1] = static_cast<BYTE>(g * 5), p[2] = static_cast<BYTE>(r * 5);
            }
    for (int h0 : {0, 43, 85, 128, 170, 213}) {
        CQLChannel mask;
        ASSERT_TRUE(SelectHue(image, h0, &mask));
        int wrong = 0;
        for (int y = 0; y < 52 * 52; ++y)
            for (int x = 0; x < 52; ++x) {
                const BYTE* p = image.GetBuffer(x, y);
                wrong += mask.Get(x, y) != HueWeight(HueOf(p[2], p[1], p[0]), h0) * Chroma(p[2], p[1], p[0]) / 256;
            }
        EXPECT_EQ(wrong, 0) << "hue " << h0;
    }
}

// Every vector path gives the plain loop's bytes: every colour once (the
// quotient's truncation is where a path could slip), then random pixels on
// widths that end with every remainder of the vector steps.
TEST(SelectionHue, EveryPathMatchesThePlainLoop)
{
    using imagecore::SimdLevel;
    CQLImage every;
    ASSERT_EQ(every.Create(4096, 4096), 0);
    for (UINT c = 0; c < (1u << 24); ++c) {
        const UINT px = c | 0xFF000000u;
        std::memcpy(every.GetBuffer(0, 0) + 4 * std::size_t{c}, &px, 4);
    }
    std::mt19937 random(36);
    std::vector<CQLImage> images;
    images.push_back(std::move(every));
    for (int w : {1, 5, 8, 15, 16, 17, 31, 33, 47}) {
        CQLImage image;
        ASSERT_EQ(image.Create(w, 3), 0);
        BYTE* p = image.GetBuffer(0, 0);
        for (UINT i = 0; i < image.GetAreaByteSize(); ++i)
            p[i] = static_cast<BYTE>(random());
        images.push_back(std::move(image));
    }
    for (const CQLImage& image : images)
        for (int h0 : {0, 100, 213, 255}) {
            CQLChannel plain;
            {
                const imagecore::ScopedSimdCeiling ceiling(SimdLevel::Scalar);
                ASSERT_TRUE(SelectHue(image, h0, &plain));
            }
            // The top level lets AVX-512 run where the processor has it.
            for (int level : {2, 3}) {
                const imagecore::ScopedSimdCeiling ceiling(static_cast<SimdLevel>(level));
                CQLChannel mask;
                ASSERT_TRUE(SelectHue(image, h0, &mask));
                ASSERT_EQ(mask.GetAreaByteSize(), plain.GetAreaByteSize());
                EXPECT_EQ(std::memcmp(mask.GetBuffer(0, 0), plain.GetBuffer(0, 0), plain.GetAreaByteSize()), 0)
                    << "image " << &image - images.data() << " hue " << h0 << " level " << level;
            }
        }
}

// The tenths arrive in order, each once, however the rows are shared out.
TEST(SelectionHue, ProgressCountsTenthsInOrder)
{
    for (int h : {1, 7, 700}) {
        std::vector<int> seen;
        std::mutex lock;
        CQLChannel mask;
        ASSERT_TRUE(SelectHue(Filled(1000, h, 10, 20, 200), 0, &mask, [&](int percent) {
            const std::lock_guard guard(lock);
            seen.push_back(percent);
        }));
        EXPECT_EQ(seen, (std::vector<int>{10, 20, 30, 40, 50, 60, 70, 80, 90, 100})) << h << " rows";
    }
}

TEST(SelectionHue, ImagesSelectByHueAndChroma)
{
    CQLChannel mask;
    for (int h0 : {0, 43, 85, 128, 170, 213}) {
        ASSERT_TRUE(SelectHue(Filled(5, 4, 90, 90, 90), h0, &mask));
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 5; ++x)
                ASSERT_EQ(mask.Get(x, y), 0) << "grey has no hue, hue " << h0;
    }
    ASSERT_TRUE(SelectHue(Filled(5, 4, 0, 0, 255), 0, &mask));
    EXPECT_EQ(mask.Get(2, 2), 255 * 255 / 256);
    ASSERT_TRUE(SelectHue(Filled(5, 4, 0, 0, 255), 85, &mask));
    EXPECT_EQ(mask.Get(2, 2), 0);
    // A weak red: the chroma (45) limits the byte.
    ASSERT_TRUE(SelectHue(Filled(5, 4, 100, 100, 110), 0, &mask));
    EXPECT_EQ(mask.Get(1, 1), 255 * 45 / 256);
    CQLImage empty;
    EXPECT_FALSE(SelectHue(empty, 0, &mask));
}

TEST(SelectionEdge, StepImageAndBorder)
{
    CQLImage image = Filled(8, 6, 0, 0, 0);
    for (int y = 0; y < 6; ++y)
        for (int x = 4; x < 8; ++x)
            std::memset(image.GetBuffer(x, y), 40, 3);  // grey 40
    CQLChannel mask;
    ASSERT_TRUE(SelectEdge(image, &mask));
    EXPECT_EQ(mask.Get(3, 2), 120);  // three neighbours of 40 on the right
    EXPECT_EQ(mask.Get(4, 2), 120);
    EXPECT_EQ(mask.Get(2, 2), 0);
    EXPECT_EQ(mask.Get(6, 3), 0);
    for (int x = 0; x < 8; ++x)
        EXPECT_EQ(mask.Get(x, 0) + mask.Get(x, 5), 0) << "border row, x " << x;
    for (int y = 0; y < 6; ++y)
        EXPECT_EQ(mask.Get(0, y) + mask.Get(7, y), 0) << "border column, y " << y;
    for (int y = 0; y < 6; ++y)
        std::memset(image.GetBuffer(4, y), 255, 16);
    ASSERT_TRUE(SelectEdge(image, &mask));
    EXPECT_EQ(mask.Get(3, 2), 255);  // held to 255
}

TEST(SelectionCombine, ReplaceAddSubtract)
{
    struct Case {
        const char* name;
        int raw;  // -1: no raw mask
        int fresh, mode, expected;  // expected -1: raw freed
    };
    const Case cases[] = {
        {"new replaces", 200, 100, kNewSelection, 100},
        {"no raw mask: add replaces", -1, 100, kAddSelection, 100},
        {"add holds to 255", 200, 100, kAddSelection, 255},
        {"add", 100, 50, kAddSelection, 150},
        {"subtract", 200, 50, kSubtractSelection, 150},
        {"subtract holds to 0 and frees", 50, 200, kSubtractSelection, -1},
        {"an empty new selection frees", 200, 0, kNewSelection, -1},
    };
    for (const Case& c : cases) {
        CQLChannel raw = c.raw < 0 ? CQLChannel() : Plane(6, 4, static_cast<BYTE>(c.raw));
        CQLChannel fresh = Plane(6, 4, static_cast<BYTE>(c.fresh));
        CombineMask(&raw, &fresh, c.mode);
        if (c.expected < 0) {
            EXPECT_EQ(raw.GetAreaByteSize(), 0u) << c.name;
        } else {
            ASSERT_EQ(raw.GetAreaByteSize(), 24u) << c.name;
            EXPECT_EQ(raw.Get(5, 3), c.expected) << c.name;
        }
    }
    // Subtracting a part keeps the rest.
    CQLChannel raw = Plane(6, 4, 255);
    CQLChannel fresh = Plane(6, 4, 0);
    fresh.Set(1, 1, 255);
    CombineMask(&raw, &fresh, kSubtractSelection);
    EXPECT_EQ(raw.Get(1, 1), 0);
    EXPECT_EQ(raw.Get(2, 1), 255);
    InvertMask(&raw);
    EXPECT_EQ(raw.Get(1, 1), 255);
    EXPECT_EQ(raw.Get(2, 1), 0);
}

TEST(SelectionPolygon, FewerThanThreePointsSelectNothing)
{
    CQLChannel mask = Plane(4, 4, 9);
    EXPECT_FALSE(PolygonMask({{1, 1}, {20, 20}}, 40, 40, &mask));
    EXPECT_EQ(mask.GetAreaByteSize(), 0u);
    ASSERT_TRUE(PolygonMask({{2, 2}, {30, 2}, {30, 30}, {2, 30}, {2, 2}}, 40, 40, &mask));
    EXPECT_EQ(mask.Get(15, 15), 255);
    EXPECT_EQ(mask.Get(35, 35), 0);
}

TEST(SelectionPolygon, PointsMapRoundedAndClipped)
{
    const RECT shown{100, 50, 300, 150};  // 200 x 100 showing a 1000 x 500 image
    const std::vector<POINT> mapped =
        MapPoints({{100, 50}, {201, 101}, {299, 149}, {40, 10}, {900, 700}}, shown, 1000, 500);
    const POINT expected[] = {{0, 0}, {505, 255}, {995, 495}, {0, 0}, {999, 499}};
    ASSERT_EQ(mapped.size(), 5u);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(mapped[i].x, expected[i].x) << i;
        EXPECT_EQ(mapped[i].y, expected[i].y) << i;
    }
}

TEST(SelectionFeather, RadiusFollowsTheDiagonal)
{
    struct Case {
        UINT w, h;
        int feather, radius;
    };
    const Case cases[] = {{6000, 4000, 30, 865}, {6000, 4000, 100, 2884}, {6000, 4000, 0, 0}, {300, 400, 30, 60},
                          {10, 10, 1, 0}};
    for (const Case& c : cases)
        EXPECT_EQ(FeatherRadius(c.w, c.h, c.feather), c.radius) << c.w << "x" << c.h << " at " << c.feather;
}

TEST(SelectionFeather, ZeroCopiesAndTheBlurMatchesChannelOne)
{
    CQLChannel raw = Plane(120, 90, 0);
    for (int y = 20; y < 60; ++y)
        for (int x = 30; x < 90; ++x)
            raw.Set(x, y, static_cast<BYTE>(255 - (x + y) % 7));
    CQLChannel mask;
    ASSERT_TRUE(FeatherMask(raw, 0, &mask));
    ASSERT_EQ(mask.GetAreaByteSize(), raw.GetAreaByteSize());
    EXPECT_EQ(std::memcmp(mask.GetBuffer(0, 0), raw.GetBuffer(0, 0), raw.GetAreaByteSize()), 0);

    // The four-channel run of the smoothing, channel 1 kept.
    const int feather = 40;
    CQLImage planes, blurred;
    ASSERT_EQ(planes.Create(120, 90), 0);
    for (int y = 0; y < 90; ++y)
        for (int x = 0; x < 120; ++x)
            std::memset(planes.GetBuffer(x, y), raw.Get(x, y), 4);
    SmoothAlgorithm smooth;
    smooth.SetImages(&planes, &blurred);
    const SmoothParams params{FeatherRadius(120, 90, feather)};
    ASSERT_EQ(params.radius, 24);
    ASSERT_EQ(smooth.Apply(&params), 0);
    CQLChannel channelOne;
    ASSERT_TRUE(channelOne.DuplicateFrom(&blurred, 1));
    ASSERT_TRUE(FeatherMask(raw, feather, &mask));
    ASSERT_EQ(mask.GetAreaByteSize(), channelOne.GetAreaByteSize());
    EXPECT_EQ(std::memcmp(mask.GetBuffer(0, 0), channelOne.GetBuffer(0, 0), mask.GetAreaByteSize()), 0);
    EXPECT_GT(mask.Get(25, 40), 0);  // the edge is soft now
    EXPECT_LT(mask.Get(25, 40), 255);
}

TEST(SelectionPreview, TintWashesOutOrHighlights)
{
    struct Case {
        const char* name;
        int m;
        bool showMask, highlight;
        int expected;  // of a colour byte 0
    };
    const Case cases[] = {
        {"outside washed out", 0, false, false, 204},
        {"inside unchanged", 255, false, false, 0},
        {"half", 128, false, false, 101},
        {"selection highlighted", 255, false, true, 204},
        {"unselected plain when highlighting", 0, false, true, 0},
        {"mask shown in grey", 77, true, false, 77},
    };
    for (const Case& c : cases) {
        CQLImage preview = Filled(3, 2, 0, 0, 0);
        TintPreview(&preview, Plane(3, 2, static_cast<BYTE>(c.m)), c.showMask, c.highlight);
        EXPECT_EQ(preview.GetBuffer(2, 1)[0], c.expected) << c.name;
        EXPECT_EQ(preview.GetBuffer(2, 1)[2], c.expected) << c.name;
    }
}

}  // namespace
