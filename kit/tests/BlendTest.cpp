// Blend modes and the three ways a layer is laid onto a picture, on
// hand-computed pixels.
#include "KitTestSupport.h"

#include "imagecore/ParallelFor.h"
#include "kit/Blend.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using kittest::Colour;

TEST(Blend, ModesOnHandComputedChannels)
{
    struct Case {
        int mode, b, s, expected;
    };
    const Case cases[] = {
        {kit::kDarken, 100, 50, 50},       {kit::kDarken, 50, 100, 50},
        {kit::kLighten, 100, 50, 100},     {kit::kLighten, 50, 100, 100},
        {kit::kMultiply, 100, 50, 20},     // (5000 + 127) / 255
        {kit::kMultiply, 255, 255, 255},   {kit::kMultiply, 128, 1, 1},  // 255 / 255 with the rounding term
        {kit::kScreen, 100, 50, 130},      // 255 - (155 * 205 + 127) / 255
        {kit::kScreen, 0, 0, 0},           {kit::kDifference, 50, 100, 50},
        {kit::kDifference, 200, 20, 180},  {kit::kNormal, 10, 77, 77},
        {3, 10, 77, 77},                   {255, 10, 77, 77},
    };
    for (const Case& c : cases)
        EXPECT_EQ(kit::Blend(c.mode, c.b, c.s), c.expected) << c.mode << " " << c.b << " " << c.s;
}

TEST(Blend, MultiplyByWhiteAndScreenByBlackChangeNothing)
{
    for (int b = 0; b < 256; ++b) {
        EXPECT_EQ(kit::Blend(kit::kMultiply, b, 255), b);
        EXPECT_EQ(kit::Blend(kit::kScreen, b, 0), b);
    }
}

CQLImage Picture(int w, int h, Colour colour)
{
    CQLImage picture;
    picture.Create(static_cast<UINT>(w), static_cast<UINT>(h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            picture.PutPixel(x, y, CPixel{colour.b, colour.g, colour.r, colour.a});
    return picture;
}

// g = (alpha * opacity + 127) / 255, then (p * (255 - g) + m * g + 127) / 255.
TEST(ComposeLayer, WeighsWithRounding)
{
    struct Case {
        BYTE picture, source, alpha, opacity, mode;
        BYTE expected;
    };
    const Case cases[] = {
        {10, 200, 255, 100, kit::kNormal, 85},    // g 100: 21677 / 255
        {0, 255, 128, 255, kit::kNormal, 128},    // g 128: 32767 / 255
        {90, 30, 255, 255, kit::kNormal, 30},     // g 255: the blend itself
        {90, 30, 0, 255, kit::kNormal, 90},       // g 0
        {90, 30, 255, 0, kit::kNormal, 90},       // opacity 0
        {100, 50, 255, 255, kit::kMultiply, 20},
        {100, 50, 255, 128, kit::kDifference, 75}, // g 128, m 50: (100 * 127 + 50 * 128 + 127) / 255
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.picture) << " " << int(c.source) << " " << int(c.opacity));
        CQLImage picture = Picture(1, 1, {c.picture, c.picture, c.picture, 33});
        const auto layer = kittest::SolidLayer(1, 1, {c.source, c.source, c.source, c.alpha}, 0, 0, c.opacity, c.mode);
        kit::ComposeLayer(picture, *layer);
        EXPECT_EQ(picture.GetPixel2(0, 0).b, c.expected);
        EXPECT_EQ(picture.GetPixel2(0, 0).r, c.expected);
        EXPECT_EQ(picture.GetPixel2(0, 0).a, 33) << "alpha stays";
    }
}

// Only the area both cover changes, wherever the layer lies; hidden layers none.
TEST(ComposeLayer, ClipsToThePictureAndSkipsHiddenLayers)
{
    struct Case {
        int x, y, w, h;
        const char* covered; // rows of the 3 x 2 picture, '#' covered
    };
    const Case cases[] = {
        {-1, -1, 2, 2, "#.." "..."},
        {2, 1, 5, 5, "..." "..#"},
        {-5, 0, 3, 3, "..." "..."},
        {3, 0, 1, 1, "..." "..."},
        {-2147483647, -2147483647, 4, 4, "..." "..."},
        {2147483000, 0, 4, 1, "..." "..."},
        {0, 0, 3, 2, "###" "###"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
        CQLImage picture = Picture(3, 2, {0, 0, 0, 0});
        const auto layer = kittest::SolidLayer(c.w, c.h, {200, 200, 200, 255}, c.x, c.y);
        kit::ComposeLayer(picture, *layer);
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(picture.GetPixel2(i % 3, i / 3).g, c.covered[i] == '#' ? 200 : 0) << i;
    }
    CQLImage picture = Picture(2, 2, {5, 5, 5, 0});
    auto hidden = kittest::SolidLayer(2, 2, {200, 200, 200, 255});
    hidden->visible = 0;
    kit::ComposeLayer(picture, *hidden);
    EXPECT_EQ(picture.GetPixel2(1, 1).g, 5);
}

// e = opacity * alpha / 255 rounded down; (b * (255 - e) + m * e) / 255
// rounded down; the background's alpha becomes 255, hidden or not.
TEST(BlendIntoBackground, RoundsDownAndMakesOpaque)
{
    CQLImage background = Picture(2, 1, {10, 10, 10, 0});
    auto layer = kittest::SolidLayer(1, 1, {200, 200, 200, 255}, 1, 0, 100);
    layer->visible = 0;
    kit::BlendIntoBackground(background, *layer, 2, 1);
    EXPECT_EQ(background.GetPixel2(1, 0).b, 84); // 21550 / 255
    EXPECT_EQ(background.GetPixel2(1, 0).a, 255);
    EXPECT_EQ(background.GetPixel2(0, 0).b, 10);
    EXPECT_EQ(background.GetPixel2(0, 0).a, 0) << "outside the layer";

    // Only within the canvas, when the background is larger.
    CQLImage large = Picture(3, 1, {10, 10, 10, 0});
    kit::BlendIntoBackground(large, *kittest::SolidLayer(3, 1, {200, 200, 200, 255}), 2, 1);
    EXPECT_EQ(large.GetPixel2(1, 0).b, 200);
    EXPECT_EQ(large.GetPixel2(2, 0).b, 10);
}

// On a transparent picture: A = (e * 255 + (255 - e) * Pa) / 255,
// e2 = e * 255 / A, (e2 * m + (255 - e2) * P + 127) / 255.
TEST(ComposeWithAlpha, BuildsAlphaLayerByLayer)
{
    CQLImage picture = Picture(1, 1, {0, 0, 0, 0});
    kit::ComposeWithAlpha(picture, *kittest::SolidLayer(1, 1, {200, 200, 200, 255}, 0, 0, 128));
    EXPECT_EQ(picture.GetPixel2(0, 0).b, 200);
    EXPECT_EQ(picture.GetPixel2(0, 0).a, 128);
    kit::ComposeWithAlpha(picture, *kittest::SolidLayer(1, 1, {100, 100, 100, 255}, 0, 0, 128));
    EXPECT_EQ(picture.GetPixel2(0, 0).a, 191); // 48896 / 255
    EXPECT_EQ(picture.GetPixel2(0, 0).b, 133); // e2 170: 34127 / 255
    // e 0 changes nothing, the hidden flag is not looked at.
    auto hidden = kittest::SolidLayer(1, 1, {9, 9, 9, 255}, 0, 0, 0);
    hidden->visible = 0;
    kit::ComposeWithAlpha(picture, *hidden);
    EXPECT_EQ(picture.GetPixel2(0, 0).b, 133);
    hidden->opacity = 255;
    kit::ComposeWithAlpha(picture, *hidden);
    EXPECT_EQ(picture.GetPixel2(0, 0).b, 9);
    EXPECT_EQ(picture.GetPixel2(0, 0).a, 255);
}

TEST(ComposeDocument, TakesTheBackgroundAndTheMaskAsAlpha)
{
    kit::LayeredDocument doc;
    EXPECT_FALSE(kit::ComposeDocument(doc, *std::make_unique<CQLImage>(), true)) << "no layers";
    doc.canvasWidth = 2;
    doc.canvasHeight = 1;
    doc.layers.push_back(kittest::SolidLayer(2, 1, {1, 2, 3, 77}));
    doc.layers.push_back(kittest::SolidLayer(1, 1, {50, 50, 50, 255}, 1, 0));
    CQLImage picture;
    ASSERT_TRUE(kit::ComposeDocument(doc, picture, true));
    EXPECT_EQ(picture.GetPixel(0, 0), 0x00030201u) << "no document mask: alpha 0";
    EXPECT_EQ(picture.GetPixel(1, 0), 0x00323232u);

    doc.documentMask.Create(2, 1);
    doc.documentMask.data = {40, 250};
    ASSERT_TRUE(kit::ComposeDocument(doc, picture, true));
    EXPECT_EQ(picture.GetPixel2(0, 0).a, 40);
    EXPECT_EQ(picture.GetPixel2(1, 0).a, 250);
    ASSERT_TRUE(kit::ComposeDocument(doc, picture, false));
    EXPECT_EQ(picture.GetPixel2(1, 0).a, 0);
    // A mask of another size gives no alpha rather than reading past it.
    doc.documentMask.Create(1, 1);
    doc.documentMask.data = {99};
    ASSERT_TRUE(kit::ComposeDocument(doc, picture, true));
    EXPECT_EQ(picture.GetPixel2(0, 0).a, 0);
}

// Rows split over the cores give the bytes of one core.
TEST(ComposeDocument, AllCoresGiveTheBytesOfOne)
{
    kit::LayeredDocument doc;
    doc.canvasWidth = 900;
    doc.canvasHeight = 700;
    doc.layers.push_back(kittest::PatternLayer(900, 700, 1));
    const int modes[] = {kit::kNormal, kit::kMultiply, kit::kScreen, kit::kDarken, kit::kLighten, kit::kDifference};
    for (int i = 0; i < 6; ++i) {
        doc.layers.push_back(kittest::PatternLayer(800, 650, i + 2));
        doc.layers.back()->x = 13 * i - 20;
        doc.layers.back()->y = 9 * i;
        doc.layers.back()->blend = static_cast<std::uint8_t>(modes[i]);
        doc.layers.back()->opacity = static_cast<std::uint8_t>(255 - 40 * i);
    }
    CQLImage many, one;
    ASSERT_TRUE(kit::ComposeDocument(doc, many, false));
    {
        imagecore::ScopedSingleThread single;
        ASSERT_TRUE(kit::ComposeDocument(doc, one, false));
    }
    EXPECT_EQ(std::memcmp(many.GetBuffer(0, 0), one.GetBuffer(0, 0), many.GetAreaByteSize()), 0);
}

}  // namespace
