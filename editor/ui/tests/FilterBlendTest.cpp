// Layer blend modes on hand-computed values, the mask paths and the
// histogram's sampling.
#include "editor/ui/FilterBlend.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

struct BlendCase {
    int mode, s, r, expected;
};

// Worked by hand from the mode formulas.
const BlendCase kBlendCases[] = {
    {kBlendNormal, 10, 200, 200},
    {kBlendMultiply, 200, 100, 78},       // 20000 >> 8
    {kBlendMultiply, 255, 255, 254},
    {kBlendScreen, 200, 100, 222},        // 255 - (55 * 155 >> 8)
    {kBlendScreen, 0, 0, 1},              // 255 - (65025 >> 8): the shift, not a division by 255
    {kBlendLighten, 10, 200, 200},
    {kBlendDarken, 10, 200, 10},
    {kBlendOverlap, 100, 200, 156},       // s < 128: 20000 >> 7
    {kBlendOverlap, 200, 100, 189},       // 255 - (8525 >> 7)
    {kBlendOverlap, 128, 0, 2},           // 255 - (32385 >> 7)
    {kBlendHardLight, 200, 100, 156},     // tested on r
    {kBlendHardLight, 100, 200, 189},
    {kBlendSoftLight, 128, 0, 74},        // (-4080 * sqrt(128) + 65280) / 256 = 74.69
    {kBlendSoftLight, 200, 100, 193},     // (-880 * sqrt(200) + 62000) / 256 = 193.57
    {kBlendSoftLight, 255, 255, 254},     // 4080 * sqrt(255) / 256 = 254.5
    {kBlendSoftLight, 64, 0, 16},         // 64 - (12288 * 128 >> 15)
    {kBlendSoftLight, 64, 255, 112},      // 64 - (-1560576 >> 15 = -48): the shift floors
    {kBlendSoftLight, 0, 255, 0},
    {kBlendSoftLight, 127, 128, 127},
    {kBlendDifference, 10, 200, 190},
    {kBlendDifference, 200, 10, 190},
};

TEST(BlendPixel, ModesOnHandComputedValues)
{
    for (const BlendCase& c : kBlendCases)
        EXPECT_EQ(BlendPixel(c.mode, c.s, c.r), c.expected) << "mode " << c.mode << " s " << c.s << " r " << c.r;
}

TEST(BlendPixel, EveryModeStaysInByteRange)
{
    for (int mode = 0; mode < kBlendModeCount; ++mode)
        for (int s = 0; s < 256; ++s)
            for (int r = 0; r < 256; ++r) {
                const int v = BlendPixel(mode, s, r);
                ASSERT_TRUE(v >= 0 && v <= 255) << mode << " " << s << " " << r << " -> " << v;
            }
}

void Fill(CQLImage* image, int w, int h, BYTE b, BYTE g, BYTE r)
{
    ASSERT_EQ(image->Create(static_cast<UINT>(w), static_cast<UINT>(h)), 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            BYTE* p = image->GetBuffer(x, y);
            p[0] = b;
            p[1] = g;
            p[2] = r;
            p[3] = 77;
        }
}

void FillMask(CQLChannel* mask, int w, int h, BYTE value)
{
    ASSERT_EQ(mask->Create(static_cast<UINT>(w), static_cast<UINT>(h)), 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            mask->Set(x, y, value);
}

TEST(BlendResult, ConstantLayerBlend)
{
    CQLImage source, result;
    Fill(&source, 7, 5, 200, 100, 0);
    Fill(&result, 7, 5, 100, 200, 255);
    BlendResult(source, &result, LayerBlend{kBlendScreen, 128, true}, nullptr, POINT{0, 0});
    // Screen: B 222, G 222, R 255; mixed (s * 127 + 128 * b) / 255.
    const BYTE* p = result.GetBuffer(6, 4);
    EXPECT_EQ(p[0], (200 * 127 + 128 * 222) / 255);
    EXPECT_EQ(p[1], (100 * 127 + 128 * 222) / 255);
    EXPECT_EQ(p[2], (0 * 127 + 128 * 255) / 255);
    EXPECT_EQ(p[3], 77);
}

TEST(BlendResult, LayerBlendWeightedByMask)
{
    CQLImage source, result;
    Fill(&source, 4, 3, 200, 200, 200);
    Fill(&result, 4, 3, 100, 100, 100);
    CQLChannel mask;
    FillMask(&mask, 4, 3, 128);
    mask.Set(0, 0, 0);
    mask.Set(1, 0, 255);
    BlendResult(source, &result, LayerBlend{kBlendMultiply, 200, true}, &mask, POINT{0, 0});
    const int b = (200 * 100) >> 8;  // 78
    EXPECT_EQ(result.GetBuffer(0, 0)[0], 200);                                  // f 0: the source
    EXPECT_EQ(result.GetBuffer(1, 0)[0], (200 * 55 + 200 * b) / 255);           // f 200
    EXPECT_EQ(result.GetBuffer(2, 2)[1], (200 * 155 + 100 * b) / 255);          // f = 200 * 128 / 255 = 100
}

// Mask 3 x 3 at (2, 1) in a 6 x 5 result; source 3 x 3. Pixels outside the
// mask keep the effect's output.
TEST(BlendResult, MaskPathWithOffset)
{
    CQLImage source, result;
    Fill(&source, 3, 3, 0, 0, 0);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            source.GetBuffer(x, y)[0] = static_cast<BYTE>(10 * (y * 3 + x));
    Fill(&result, 6, 5, 250, 250, 250);
    CQLChannel mask;
    FillMask(&mask, 3, 3, 128);
    mask.Set(0, 0, 0);
    mask.Set(1, 0, 255);
    BlendResult(source, &result, LayerBlend{}, &mask, POINT{2, 1});
    EXPECT_EQ(result.GetBuffer(2, 1)[0], 0);       // m 0: source (0, 0)
    EXPECT_EQ(result.GetBuffer(3, 1)[0], 250);     // m 255: the effect
    EXPECT_EQ(result.GetBuffer(4, 3)[0], (80 * 127 + 250 * 128) / 255);  // source (2, 2)
    EXPECT_EQ(result.GetBuffer(1, 1)[0], 250);     // left of the mask
    EXPECT_EQ(result.GetBuffer(5, 4)[0], 250);     // below and right
    EXPECT_EQ(result.GetBuffer(2, 0)[0], 250);     // above
}

TEST(BlendResult, MaskClippedAtTheResultEdge)
{
    CQLImage source, result;
    Fill(&source, 3, 3, 0, 0, 0);
    Fill(&result, 4, 4, 250, 250, 250);
    CQLChannel mask;
    FillMask(&mask, 3, 3, 0);
    BlendResult(source, &result, LayerBlend{}, &mask, POINT{2, 2});
    EXPECT_EQ(result.GetBuffer(2, 2)[0], 0);
    EXPECT_EQ(result.GetBuffer(3, 3)[0], 0);
    EXPECT_EQ(result.GetBuffer(1, 3)[0], 250);
}

TEST(BlendResult, IgnoredWhenNothingApplies)
{
    CQLImage source, result;
    Fill(&source, 4, 4, 0, 0, 0);
    Fill(&result, 3, 3, 250, 250, 250);
    CQLChannel bigMask;
    FillMask(&bigMask, 4, 4, 0);
    // Sizes differ: no layer blend; the mask is larger than the result: ignored.
    BlendResult(source, &result, LayerBlend{kBlendDarken, 255, true}, &bigMask, POINT{0, 0});
    EXPECT_EQ(result.GetBuffer(0, 0)[0], 250);
    EXPECT_EQ(result.GetBuffer(2, 2)[0], 250);
    // Same size, layer not active, no mask: untouched.
    CQLImage same;
    Fill(&same, 4, 4, 250, 250, 250);
    BlendResult(source, &same, LayerBlend{kBlendDarken, 255, false}, nullptr, POINT{0, 0});
    EXPECT_EQ(same.GetBuffer(3, 3)[0], 250);
}

// Even pixels 10, odd pixels 20: the counts show which pixels were taken.
struct HistogramCase {
    int width, height;
    uint32_t tens, twenties;
};

TEST(ComputeHistogram, SamplingStep)
{
    const HistogramCase cases[] = {
        {319999, 1, 160000, 159999},  // every pixel
        {800, 800, 320000, 0},        // 640,000 pixels: every second one
        {1, 1, 1, 0},
    };
    for (const HistogramCase& c : cases) {
        CQLImage image;
        ASSERT_EQ(image.Create(static_cast<UINT>(c.width), static_cast<UINT>(c.height)), 0);
        BYTE* p = image.GetBuffer(0, 0);
        const size_t n = static_cast<size_t>(c.width) * static_cast<size_t>(c.height);
        for (size_t i = 0; i < n; ++i)
            std::memset(p + i * 4, i % 2 ? 20 : 10, 4);
        HistogramTable table;
        std::memset(table, 0xAB, sizeof table);
        ComputeHistogram(&image, table);
        for (int ch = 0; ch < 4; ++ch) {
            EXPECT_EQ(table[10][ch], c.tens) << c.width << "x" << c.height << " channel " << ch;
            EXPECT_EQ(table[20][ch], c.twenties) << c.width << "x" << c.height << " channel " << ch;
            EXPECT_EQ(table[0][ch], 0u);
        }
    }
}

TEST(ComputeHistogram, LuminanceAndEmptyImage)
{
    CQLImage image;
    Fill(&image, 2, 1, 30, 200, 100);  // B 30, G 200, R 100: (1200 + 300 + 30) / 10 = 153
    HistogramTable table{};
    ComputeHistogram(&image, table);
    EXPECT_EQ(table[153][kHistLuminance], 2u);
    EXPECT_EQ(table[100][kHistR], 2u);
    EXPECT_EQ(table[200][kHistG], 2u);
    EXPECT_EQ(table[30][kHistB], 2u);
    CQLImage empty;
    ComputeHistogram(&empty, table);
    EXPECT_EQ(table[153][kHistLuminance], 2u);
}

}  // namespace
