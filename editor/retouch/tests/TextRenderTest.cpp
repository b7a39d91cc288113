// The text object: lines, block layout, the 4 x 4 reduction, colouring, the
// balloon's geometry, and whole renders through the layer's fonts.
#include "editor/retouch/TextRender.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

TEST(TextLinesTest, BreaksSplitLines)
{
    const struct {
        const char* text;
        Lines expected;
    } cases[] = {
        {"a\r\nb", {"a", "b"}},          // CR LF is one break
        {"a\n\nb", {"a", "", "b"}},      // a further break is an empty line
        {"a\r\n\r\nb", {"a", "", "b"}},
        {"a\rb", {"a", "b"}},
        {"a\r\n", {"a"}},                // nothing after the last break
        {"\r\n\r\n", {"", ""}},
        {"", {""}},
        {"one line", {"one line"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SplitTextLines(c.text), c.expected) << c.text;
}

TEST(TextBlockTest, LayoutAlignsLinesInTheWidestLine)
{
    const std::vector<SIZE> extents{{100, 40}, {0, 40}, {60, 38}};
    const std::vector<bool> empty{false, true, false};
    const struct {
        int alignment;
        int lastX;
    } cases[] = {{0, 0}, {1, 20}, {2, 40}};
    for (const auto& c : cases) {
        const TextBlockLayout layout = LayoutTextBlock(extents, empty, c.alignment, 48);
        EXPECT_EQ(layout.width, 100);
        EXPECT_EQ(layout.height, 1 + 40 + 40 + 38);
        ASSERT_EQ(layout.origins.size(), 3u);
        EXPECT_EQ(layout.origins[0].y, 0);
        EXPECT_EQ(layout.origins[1].y, 40);
        EXPECT_EQ(layout.origins[2].y, 40 + 48);  // the empty line moves the row by 4 x size
        EXPECT_EQ(layout.origins[2].x, c.lastX) << c.alignment;
    }
    // Only breaks: width 1.
    EXPECT_EQ(LayoutTextBlock({{0, 40}, {0, 40}}, {true, true}, 0, 40).width, 1);
}

TEST(TextBlockTest, ReductionAveragesFourByFourSquaresAndColouringUsesTheGrey)
{
    CQLImage big;
    ASSERT_EQ(big.Create(6, 4), 0);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x) {
            const BYTE v = x < 2 ? 255 : (x == 4 && y == 0 ? 64 : 0);
            big.PutPixel(x, y, CPixel{v, v, v, v});
        }
    CQLImage small;
    ASSERT_TRUE(ReduceBy4(big, &small));
    UINT w = 0, h = 0;
    small.GetSize(&w, &h);
    ASSERT_EQ(w, 2u);  // the partial square counts its missing pixels as 0
    ASSERT_EQ(h, 1u);
    const CPixel left = small.GetPixel2(0, 0), right = small.GetPixel2(1, 0);
    EXPECT_EQ(left.b, 8 * 255 / 16);
    EXPECT_EQ(left.a, 8 * 255 / 16);
    EXPECT_EQ(right.g, 64 / 16);
    EXPECT_EQ(right.r, 64 / 16);

    CQLImage grey;
    ASSERT_EQ(grey.Create(2, 1), 0);
    grey.PutPixel(0, 0, CPixel{255, 255, 255, 0});
    grey.PutPixel(1, 0, CPixel{10, 100, 50, 0});
    const BYTE colour[4] = {1, 2, 3, 128};
    ColourText(&grey, colour);
    const CPixel a = grey.GetPixel2(0, 0), b = grey.GetPixel2(1, 0);
    EXPECT_EQ(a.b, 1);
    EXPECT_EQ(a.g, 2);
    EXPECT_EQ(a.r, 3);
    EXPECT_EQ(a.a, 128);
    EXPECT_EQ(b.a, (6 * 100 + 3 * 50 + 10) / 10 * 128 / 255);
}

// The vector reduction gives the plain means on random drawings of every
// width and height remainder, partial squares counting missing pixels as 0.
TEST(TextBlockTest, ReductionMatchesPlainMeans)
{
    std::mt19937 random(39);
    for (int w : {1, 2, 3, 4, 5, 7, 8, 9, 17, 33})
        for (int h : {1, 3, 4, 6, 9}) {
            CQLImage drawing, reduced;
            ASSERT_EQ(drawing.Create(w, h), 0);
            BYTE* p = drawing.GetBuffer(0, 0);
            for (UINT i = 0; i < drawing.GetAreaByteSize(); ++i)
                p[i] = static_cast<BYTE>(random());
            ASSERT_TRUE(ReduceBy4(drawing, &reduced));
            for (int ty = 0; ty < (h + 3) / 4; ++ty)
                for (int tx = 0; tx < (w + 3) / 4; ++tx) {
                    int sum = 0;
                    for (int y = 4 * ty; y < std::min(h, 4 * ty + 4); ++y)
                        for (int x = 4 * tx; x < std::min(w, 4 * tx + 4); ++x)
                            sum += drawing.GetBuffer(x, y)[1];
                    const BYTE* got = reduced.GetBuffer(tx, ty);
                    for (int c = 0; c < 4; ++c)
                        ASSERT_EQ(got[c], sum / 16) << w << " x " << h << " at " << tx << ", " << ty;
                }
        }
}

TEST(BalloonTest, GeometryOfEveryShapeAndTail)
{
    const int w = 120, h = 60;
    for (int shape = 0; shape < 4; ++shape) {
        for (int tail = 0; tail < 4; ++tail) {
            SCOPED_TRACE("shape " + std::to_string(shape) + " tail " + std::to_string(tail));
            const BalloonGeometry g = ComputeBalloon(w, h, shape, tail);
            const int W = shape >= 2 ? 2 * w : 5 * w / 3, H = shape >= 2 ? 2 * h : 5 * h / 3, D = H + H / 3;
            EXPECT_EQ(g.width, W);
            EXPECT_EQ(g.height, H);
            EXPECT_EQ(g.imageHeight, D);
            const bool up = tail < 2, left = tail % 2 == 0;
            // The body sits below an upward tail, at the top otherwise.
            EXPECT_EQ(g.body.top, up ? D / 4 : 0);
            EXPECT_EQ(g.body.bottom - g.body.top, H);
            EXPECT_LE(g.body.bottom, D);
            // The text stays centred in the body.
            EXPECT_EQ(g.textOrigin.x, (W - w) / 2);
            EXPECT_EQ(g.textOrigin.y, g.body.top + (H - h) / 2);
            // The tip in its corner; the base points on the body's centre lines.
            EXPECT_EQ(g.tail[0].x, left ? W / 8 : W - W / 8);
            EXPECT_EQ(g.tail[0].y, up ? D / 16 : D - D / 16);
            const int cx = W / 2, cy = g.body.top + H / 2;
            EXPECT_EQ(g.tail[1].x, cx);
            EXPECT_EQ(g.tail[1].y, up ? cy - D / 4 : cy + D / 4);
            EXPECT_EQ(g.tail[2].x, left ? cx - W / 4 : cx + W / 4);
            EXPECT_EQ(g.tail[2].y, cy);
            if (shape == 3) {
                EXPECT_EQ(g.tailEllipse.right - g.tailEllipse.left, W / 8);
                EXPECT_EQ(g.tailEllipse.bottom - g.tailEllipse.top, D / 8);
                EXPECT_NEAR((g.tailEllipse.left + g.tailEllipse.right) / 2, g.tail[0].x, 1);
            }
            EXPECT_EQ(g.corner, std::min(D, W) / 4);
        }
    }
}

TEST(TextObjectTest, PlainTextCarriesItsCoverageInAlpha)
{
    TextStyle style;
    style.size = 24;
    const BYTE colour[4] = {10, 20, 30, 255};
    std::memcpy(style.colour, colour, 4);
    CQLImage object;
    int kind = -1;
    ASSERT_TRUE(RenderTextObject(style, "Quillo", &object, &kind));
    EXPECT_EQ(kind, 1);
    UINT w = 0, h = 0;
    object.GetSize(&w, &h);
    EXPECT_GT(w, h);
    int covered = 0;
    for (UINT y = 0; y < h; ++y)
        for (UINT x = 0; x < w; ++x) {
            const CPixel p = object.GetPixel2(static_cast<int>(x), static_cast<int>(y));
            ASSERT_EQ(p.b, 10);
            ASSERT_EQ(p.r, 30);
            covered += p.a > 128;
        }
    EXPECT_GT(covered, 20);

    // Upright: turned right, so width and height swap.
    style.vertical = true;
    CQLImage upright;
    ASSERT_TRUE(RenderTextObject(style, "Quillo", &upright, &kind));
    UINT uw = 0, uh = 0;
    upright.GetSize(&uw, &uh);
    EXPECT_EQ(uw, h);
    EXPECT_EQ(uh, w);

    // Only breaks: a block of width 1.
    style.vertical = false;
    ASSERT_TRUE(RenderTextObject(style, "\r\n\r\n", &upright, &kind));
    upright.GetSize(&uw, &uh);
    EXPECT_EQ(uw, 1u);
}

TEST(TextObjectTest, BalloonIsOpaqueAroundTheTextAndClearOutside)
{
    TextStyle style;
    style.size = 24;
    style.balloonShape = 2;
    style.balloonTail = 3;
    style.balloonColour = RGB(255, 255, 128);
    CQLImage object;
    int kind = -1;
    ASSERT_TRUE(RenderTextObject(style, "Quillo", &object, &kind));
    EXPECT_EQ(kind, 0);
    UINT w = 0, h = 0;
    object.GetSize(&w, &h);
    EXPECT_EQ(object.GetPixel2(0, 0).a, 0);  // outside the ellipse
    // Balloon colour inside the body, away from the text.
    const CPixel inside = object.GetPixel2(static_cast<int>(w / 2), static_cast<int>(h / 10));
    EXPECT_EQ(inside.a, 255);
    EXPECT_EQ(inside.b, 128);
    EXPECT_EQ(inside.r, 255);
    // The tail reaches toward the bottom right, outside the ellipse.
    EXPECT_GT(object.GetPixel2(static_cast<int>(w * 0.825), static_cast<int>(h * 0.85)).a, 0);
    EXPECT_EQ(object.GetPixel2(static_cast<int>(w * 0.2), static_cast<int>(h * 0.85)).a, 0);
    // A failed render (no room) leaves the object as it was.
    style.size = 200;
    const std::string huge(320, 'W');
    CQLImage kept;
    ASSERT_EQ(kept.Create(3, 3), 0);
    kind = 7;
    if (!RenderTextObject(style, huge, &kept, &kind)) {
        UINT kw = 0, kh = 0;
        kept.GetSize(&kw, &kh);
        EXPECT_EQ(kw, 3u);
        EXPECT_EQ(kind, 7);
    }
}

}  // namespace
