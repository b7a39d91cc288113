// Overlay blending and its box mean on small photos, values worked out by
// hand from the blend, shadow and outline formulas.
#include "algorithms/BoxMeanAlgorithm.h"
#include "algorithms/OverlayBlendAlgorithm.h"
#include "algorithms/tests/EffectTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

using effecttest::Bytes;
using effecttest::MakeFlat;

OverlayBlendParams Placed(int x, int y, int w, int h, int mode = 0, int opacity = 255)
{
    OverlayBlendParams p;
    std::memset(&p, 0, sizeof p);
    p.x = x, p.y = y, p.width = w, p.height = h;
    p.mode = static_cast<BYTE>(mode);
    p.opacity = static_cast<BYTE>(opacity);
    return p;
}

struct Overlay {
    CQLImage photo, picture, result;
    OverlayBlendAlgorithm fx;

    HRESULT Run(const OverlayBlendParams& p)
    {
        fx.SetImages(&photo, &result);
        fx.ClearImages();
        fx.AddImage(&picture);
        return fx.Apply(&p);
    }
    int At(int x, int y, int c = 2) const { return result.GetBuffer(x, y)[c]; }
};

struct ModeCase {
    std::string name;
    int mode;
    int expected;
};

class OverlayModes : public ::testing::TestWithParam<ModeCase> {};

TEST_P(OverlayModes, GreyObjectOnGreyPhotoAtHalfOpacity)
{
    // photo 100, object 200, opacity 128: a = 128, b = 127, result (127 p + 128 mixed) / 255.
    Overlay o;
    MakeFlat(o.photo, 3, 3, 100);
    MakeFlat(o.picture, 1, 1, 200, 255);
    ASSERT_EQ(o.Run(Placed(1, 1, 1, 1, GetParam().mode, 128)), 0);
    for (int c = 0; c < 3; ++c)
        EXPECT_EQ(o.At(1, 1, c), GetParam().expected);
    EXPECT_EQ(o.At(1, 1, 3), 255); // the photo's alpha stays
    EXPECT_EQ(o.At(0, 0), 100);

    // Written over the photo itself: the masks still compare with the photo before.
    o.fx.SetImages(&o.photo, &o.photo);
    const OverlayBlendParams p = Placed(1, 1, 1, 1, GetParam().mode, 128);
    ASSERT_EQ(o.fx.Apply(&p), 0);
    EXPECT_EQ(o.photo.GetPixel2(1, 1).g, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, OverlayModes,
    ::testing::Values(ModeCase{"Normal", 0, 150},      // 38300 / 255
                      ModeCase{"Screen", 1, 161},      // mixed 255 - (55 * 155 >> 8) = 222
                      ModeCase{"LighterOnly", 2, 150}, // the object is lighter: kept
                      ModeCase{"DarkerOnly", 3, 100},  // the object is lighter: masked out
                      ModeCase{"Difference", 4, 100},  // mixed 100
                      ModeCase{"Brightness", 5, 150},  // greys: brightness blended
                      ModeCase{"Colour", 6, 100},      // greys: no hue or saturation to take
                      ModeCase{"Multiply", 7, 88},     // mixed 20000 / 256 = 78
                      ModeCase{"Overlay", 8, 128},     // p < 128: mixed 20000 >> 7 = 156
                      ModeCase{"Unknown", 9, 100}),
    [](const ::testing::TestParamInfo<ModeCase>& info) { return info.param.name; });

TEST(OverlayBlend, OpacityZeroLeavesThePhotoAndCastsNoShadow)
{
    Overlay o;
    effecttest::MakePattern(o.photo, 8, 6);
    MakeFlat(o.picture, 3, 3, 250, 255);
    OverlayBlendParams p = Placed(2, 1, 3, 3, 0, 0);
    p.shadow = 1;
    p.shadowDx = 1, p.shadowDy = 1, p.shadowBlur = 1;
    p.shadowColour[3] = 255;
    ASSERT_EQ(o.Run(p), 0);
    EXPECT_EQ(Bytes(o.result), Bytes(o.photo));
}

TEST(OverlayBlend, ObjectCrossingTheEdgesIsClipped)
{
    // A white 3 x 3 object at (-1, -1) and one at (3, 3) on a 4 x 4 photo,
    // with shadow, outline and relief on: only the photo's pixels change.
    for (int at : {-1, 3}) {
        Overlay o;
        MakeFlat(o.photo, 4, 4, 100);
        MakeFlat(o.picture, 3, 3, 255, 255);
        OverlayBlendParams p = Placed(at, at, 3, 3);
        p.shadow = 1, p.shadowDx = -3, p.shadowDy = 5, p.shadowBlur = 2, p.shadowColour[3] = 255;
        p.outline = 1, p.outlineWidth = 2, p.outlineFade = 3, p.outlineColour = 0x80FF0000;
        p.bevel = 1, p.bevelDepth = 2, p.bevelMargin = 1, p.bevelStrength = 255, p.lightDirection = 5;
        ASSERT_EQ(o.Run(p), 0) << at;
        // Without the extra stages the covered pixels are plain white.
        OverlayBlendParams plain = Placed(at, at, 3, 3);
        ASSERT_EQ(o.Run(plain), 0);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x) {
                const bool covered = x >= at && x < at + 3 && y >= at && y < at + 3;
                EXPECT_EQ(o.At(x, y), covered ? 255 : 100) << at << ": " << x << "," << y;
            }
    }
}

TEST(OverlayBlend, HardShadowShadesRowAndColumnZero)
{
    // Object the photo's grey at (1, 1), shadow one pixel up and left: the
    // mask is a = 255 * 255 / 255 = 255 times the shadow opacity / 255.
    struct {
        int shadowOpacity;
        int expected; // (0 * u + 200 * (255 - u)) >> 8
    } cases[] = {{255, 0}, {128, 99}};
    for (const auto& c : cases) {
        Overlay o;
        MakeFlat(o.photo, 4, 4, 200);
        MakeFlat(o.picture, 1, 1, 200, 255);
        OverlayBlendParams p = Placed(1, 1, 1, 1);
        p.shadow = 1, p.shadowDx = -1, p.shadowDy = -1, p.shadowColour[3] = static_cast<BYTE>(c.shadowOpacity);
        ASSERT_EQ(o.Run(p), 0);
        EXPECT_EQ(o.At(0, 0), c.expected);
        EXPECT_EQ(o.At(1, 1), 200);
        EXPECT_EQ(o.At(1, 0), 200);
    }
}

TEST(OverlayBlend, SoftShadowTakesTheBoxMean)
{
    // r = 1: mask 3 x 3 with 255 in the middle, box mean n = 2 (the window
    // reaches one row and column back): 255 / 4 = 63 at mask (1..2, 1..2),
    // which lands on the photo at (2..3, 2..3): (200 * 192) >> 8 = 150,
    // except where the object itself is blended over it afterwards.
    Overlay o;
    MakeFlat(o.photo, 5, 5, 200);
    MakeFlat(o.picture, 1, 1, 200, 255);
    OverlayBlendParams p = Placed(2, 2, 1, 1);
    p.shadow = 1, p.shadowBlur = 1, p.shadowColour[3] = 255;
    ASSERT_EQ(o.Run(p), 0);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x) {
            const bool shaded = x >= 2 && x <= 3 && y >= 2 && y <= 3 && !(x == 2 && y == 2);
            EXPECT_EQ(o.At(x, y), shaded ? 150 : 200) << x << "," << y;
        }
}

struct OutlineCase {
    std::string name;
    int width, fade;
    int at;                          // the 1 x 1 object's column and row
    std::vector<std::vector<int>> expected; // photo rows after the outline
};

class OverlayOutline : public ::testing::TestWithParam<OutlineCase> {};

TEST_P(OverlayOutline, WhiteOutlineOnBlack)
{
    // A black object on a black photo; with a full white outline each pixel
    // takes the outline value: 255 up to the width, (b - n) * 255 / fade beyond.
    const OutlineCase& c = GetParam();
    Overlay o;
    const int side = static_cast<int>(c.expected.size());
    MakeFlat(o.photo, side, side, 0);
    MakeFlat(o.picture, 1, 1, 0, 255);
    OverlayBlendParams p = Placed(c.at, c.at, 1, 1);
    p.outline = 1, p.outlineWidth = c.width, p.outlineFade = c.fade, p.outlineColour = 0xFFFFFFFF;
    ASSERT_EQ(o.Run(p), 0);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            EXPECT_EQ(o.At(x, y), c.expected[y][x]) << x << "," << y;
}

INSTANTIATE_TEST_SUITE_P(
    Widths, OverlayOutline,
    ::testing::Values(
        // b = 3: n = 1 gives 255, n = 2 gives 255 / 2 = 127, n = 3 gives 0.
        OutlineCase{"WidthOneFadeTwo", 1, 2, 3,
                    {{0, 0, 0, 0, 0, 0, 0},
                     {0, 0, 0, 127, 0, 0, 0},
                     {0, 0, 127, 255, 127, 0, 0},
                     {0, 127, 255, 0, 255, 127, 0},
                     {0, 0, 127, 255, 127, 0, 0},
                     {0, 0, 0, 127, 0, 0, 0},
                     {0, 0, 0, 0, 0, 0, 0}}},
        OutlineCase{"FadeZeroFillsTheSquare", 2, 0, 2,
                    {{255, 255, 255, 255, 255, 0},
                     {255, 255, 255, 255, 255, 0},
                     {255, 255, 0, 255, 255, 0},
                     {255, 255, 255, 255, 255, 0},
                     {255, 255, 255, 255, 255, 0},
                     {0, 0, 0, 0, 0, 0}}},
        OutlineCase{"WidthZeroFadeOneDrawsNothing", 0, 1, 1, {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}}},
        OutlineCase{"BothZeroDrawNothing", 0, 0, 1, {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}}},
        OutlineCase{"RowAndColumnZeroAreColoured", 1, 0, 0, {{0, 255, 0}, {255, 255, 0}, {0, 0, 0}}}),
    [](const ::testing::TestParamInfo<OutlineCase>& info) { return info.param.name; });

TEST(OverlayBlend, FillColoursTheMaskWithTheFirstPixel)
{
    Overlay o;
    MakeFlat(o.photo, 2, 2, 0);
    o.picture.Create(2, 2);
    o.picture.PutPixel(0, 0, {10, 20, 30, 255});
    o.picture.PutPixel(1, 0, {99, 99, 99, 0});
    o.picture.PutPixel(0, 1, {99, 99, 99, 102});
    o.picture.PutPixel(1, 1, {99, 99, 99, 255});
    OverlayBlendParams p = Placed(0, 0, 2, 2);
    p.fill = 1;
    ASSERT_EQ(o.Run(p), 0);
    const BYTE* px = o.result.GetBuffer(0, 0);
    EXPECT_EQ(px[0], 10); EXPECT_EQ(px[1], 20); EXPECT_EQ(px[2], 30);
    EXPECT_EQ(o.At(1, 0, 0), 0); // alpha 0: nothing
    // alpha 102: 102 * c / 255
    EXPECT_EQ(o.At(0, 1, 0), 4); EXPECT_EQ(o.At(0, 1, 1), 8); EXPECT_EQ(o.At(0, 1, 2), 12);
    EXPECT_EQ(o.At(1, 1, 0), 10); EXPECT_EQ(o.At(1, 1, 2), 30);
}

TEST(OverlayBlend, ReliefLightsTheSideFacingTheLight)
{
    // Direction 0: t reads the smoothed relief D to the left, u D to the
    // right. On the object's left edge the relief rises (v > 0, lighter),
    // on its right edge it falls (v < 0, darker); the flat middle stays.
    Overlay o;
    MakeFlat(o.photo, 28, 12, 128);
    MakeFlat(o.picture, 20, 6, 128, 255);
    OverlayBlendParams p = Placed(4, 3, 20, 6);
    p.bevel = 1, p.bevelDepth = 1, p.bevelMargin = 2, p.bevelStrength = 255, p.lightDirection = 0;
    ASSERT_EQ(o.Run(p), 0);
    EXPECT_GT(o.At(4, 5), 128);
    EXPECT_LT(o.At(23, 5), 128);
    EXPECT_EQ(o.At(14, 5), 128);
    EXPECT_EQ(o.At(2, 5), 128); // outside the object: no relief

    // A negative margin counts as 0; a direction outside 0..7 gives no relief.
    CQLImage zeroMargin;
    p.bevelMargin = 0;
    ASSERT_EQ(o.Run(p), 0);
    zeroMargin.DuplicateFrom(&o.result);
    p.bevelMargin = -5;
    ASSERT_EQ(o.Run(p), 0);
    EXPECT_EQ(Bytes(o.result), Bytes(zeroMargin));
    p.lightDirection = 8;
    ASSERT_EQ(o.Run(p), 0);
    EXPECT_EQ(Bytes(o.result), Bytes(o.photo));
}

TEST(OverlayBlend, MissingObjectFails)
{
    Overlay o;
    MakeFlat(o.photo, 4, 4, 100);
    o.fx.SetImages(&o.photo, &o.result);
    o.fx.ClearImages();
    const OverlayBlendParams p = Placed(0, 0, 2, 2);
    EXPECT_EQ(o.fx.Apply(&p), E_FAIL);
}

struct BoxCase {
    int n;
    std::vector<int> expected;
};

TEST(BoxMean, RowOfThreeByHand)
{
    // R = 0, 40, 80. n = 2 reaches one back: (0+0)/2, (0+40)/2, (40+80)/2.
    // n = 3 is centred: (0+0+40)/3, (0+40+80)/3, (40+80+80)/3, truncated.
    const BoxCase cases[] = {{2, {0, 20, 60}}, {3, {13, 40, 66}}, {1, {0, 40, 80}}};
    CQLImage src;
    src.Create(3, 1);
    for (int x = 0; x < 3; ++x)
        src.PutPixel(x, 0, {0, 0, static_cast<BYTE>(40 * x), 200});
    for (const BoxCase& c : cases) {
        CQLImage target;
        BoxMeanAlgorithm box;
        box.SetImages(&src, &target);
        const BoxMeanParams p = {c.n};
        ASSERT_EQ(box.Apply(&p), 0);
        for (int x = 0; x < 3; ++x) {
            EXPECT_EQ(target.GetPixel2(x, 0).r, c.expected[x]) << "n " << c.n << " x " << x;
            EXPECT_EQ(target.GetPixel2(x, 0).a, 0);
        }
    }
}

TEST(BoxMean, ZeroWindowIsACopy)
{
    CQLImage src, target;
    effecttest::MakePattern(src, 5, 4);
    BoxMeanAlgorithm box;
    box.SetImages(&src, &target);
    const BoxMeanParams p = {0};
    ASSERT_EQ(box.Apply(&p), 0);
    EXPECT_EQ(Bytes(target), Bytes(src));
}

} // namespace
