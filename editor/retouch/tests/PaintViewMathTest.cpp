#include "editor/retouch/PaintViewMath.h"

#include <gtest/gtest.h>

namespace {

using namespace paintview;

TEST(PaintViewMath, ZoomLadderSteps)
{
    const struct {
        double zoom;
        bool in;
        double expected;
    } cases[] = {
        {20, true, 20},   {0.1, false, 0.1},  {1, true, 1.5},      {1, false, 0.66},
        {4, true, 5},     {0.25, true, 0.33}, {1 / (1 / 0.33), true, 0.5},
        {0.7, false, 0.66}, {25, false, 20},  {0.05, true, 0.1},
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(c.in ? ZoomIn(c.zoom) : ZoomOut(c.zoom), c.expected) << c.zoom << (c.in ? " in" : " out");
}

struct Rect4 {
    int l, t, r, b;
    bool operator==(const Rect4&) const = default;
};
std::ostream& operator<<(std::ostream& os, const Rect4& r)
{
    return os << "(" << r.l << "," << r.t << ")-(" << r.r << "," << r.b << ")";
}
Rect4 Of(const RECT& r)
{
    return {r.left, r.top, r.right, r.bottom};
}

TEST(PaintViewMath, LayoutPlacesBarsViewAndImage)
{
    const struct {
        int clientW, clientH, imageW, imageH;
        double scale;
        int scrollX, scrollY;
        bool hBar, vBar;
        Rect4 viewRect, imageRect;
        int clampedX, clampedY;
    } cases[] = {
        // Smaller than the client: centred, no bars.
        {500, 400, 200, 100, 1.0, 0, 0, false, false, {0, 0, 500, 400}, {150, 150, 350, 250}, 0, 0},
        // Wider: the horizontal bar takes 20 pixels, the image fills the width.
        {500, 400, 1000, 300, 1.0, 0, 0, true, false, {0, 0, 500, 380}, {0, 40, 500, 340}, 0, 0},
        // Scrolled past the end: clamped back.
        {500, 400, 1000, 300, 1.0, 900, 0, true, false, {0, 0, 500, 380}, {0, 40, 500, 340}, 500, 0},
        {500, 400, 1000, 1000, 1.0, -7, 2000, true, true, {0, 0, 480, 380}, {0, 0, 480, 380}, 0, 620},
        // Zoomed out to fit: image pixels per screen pixel 2.5.
        {500, 400, 1000, 1000, 2.5, 40, 40, false, false, {0, 0, 500, 400}, {50, 0, 450, 400}, 0, 0},
        // No image: no bars, no scrolling.
        {500, 400, 0, 0, 1.0, 30, 30, false, false, {0, 0, 500, 400}, {0, 0, 0, 0}, 0, 0},
    };
    for (const auto& c : cases) {
        PaintView view;
        view.scale = c.scale;
        view.scrollX = c.scrollX;
        view.scrollY = c.scrollY;
        Layout(view, c.clientW, c.clientH, c.imageW, c.imageH);
        EXPECT_EQ(view.hBar, c.hBar) << c.imageW << "x" << c.imageH;
        EXPECT_EQ(view.vBar, c.vBar) << c.imageW << "x" << c.imageH;
        EXPECT_EQ(Of(view.viewRect), c.viewRect) << c.imageW << "x" << c.imageH;
        EXPECT_EQ(Of(view.imageRect), c.imageRect) << c.imageW << "x" << c.imageH;
        EXPECT_EQ(view.scrollX, c.clampedX) << c.imageW << "x" << c.imageH;
        EXPECT_EQ(view.scrollY, c.clampedY) << c.imageW << "x" << c.imageH;
    }
}

TEST(PaintViewMath, ViewAndImagePointsRoundTrip)
{
    for (double scale : {0.25, 0.5, 1.0}) {  // zoomed in: every image point has a screen point
        PaintView view;
        view.scale = scale;
        view.scrollX = 13;
        view.scrollY = 5;
        view.imageRect = RECT{7, 3, 900, 900};
        for (int x : {13, 14, 50, 399}) {
            const POINT v = ImageToView(view, x, x / 2 + 5);
            const POINT back = ViewToImage(view, v.x, v.y);
            EXPECT_EQ(back.x, x) << scale;
            EXPECT_EQ(back.y, x / 2 + 5) << scale;
        }
    }
    for (double scale : {2.0, 4.0}) {  // zoomed out: every screen point has an image point
        PaintView view;
        view.scale = scale;
        view.scrollX = 100;
        view.scrollY = 0;
        view.imageRect = RECT{0, 10, 500, 500};
        for (int x : {0, 1, 77, 480}) {
            const POINT i = ViewToImage(view, x, x + 10);
            const POINT back = ImageToView(view, i.x, i.y);
            EXPECT_EQ(back.x, x) << scale;
            EXPECT_EQ(back.y, x + 10) << scale;
        }
    }
}

TEST(PaintViewMath, SourceRegionEndsAtTheLastRow)
{
    PaintView view;
    view.scale = 1.0;
    // 390 rows fit the full client height: no vertical bar, all rows drawn.
    Layout(view, 500, 400, 1000, 390);
    ASSERT_TRUE(view.hBar);
    ASSERT_FALSE(view.vBar);
    view.scrollY = 15;
    const RECT src = SourceRegion(view, 1000, 390);
    EXPECT_EQ(src.left, 0);
    EXPECT_EQ(src.top, 15);
    EXPECT_EQ(src.right, 500);   // width: the visible width
    EXPECT_EQ(src.bottom, 375);  // height: cut at the image's end
}

}  // namespace
