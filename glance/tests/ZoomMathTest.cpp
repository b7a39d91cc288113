#include "glance/ZoomMath.h"

#include <gtest/gtest.h>

using namespace glance;

TEST(GlanceZoom, StepsInAndOut)
{
    const struct {
        double from, in, out;
    } cases[] = {
        {8, 8, 6}, {0.1, 0.2, 0.1}, {0.15, 0.2, 0.1}, {1, 2, 0.6666}, {0.5, 0.6666, 0.3333}, {0.05, 0.1, 0.1},
        {10, 8, 8},
    };
    for (const auto& c : cases) {
        EXPECT_DOUBLE_EQ(NextZoomIn(c.from), c.in) << c.from;
        EXPECT_DOUBLE_EQ(NextZoomOut(c.from), c.out) << c.from;
    }
}

TEST(GlanceZoom, BestFitNeverEnlargesAndFitsTheTighterSide)
{
    EXPECT_DOUBLE_EQ(BestFitZoom(800, 600, 400, 300), 1);
    EXPECT_DOUBLE_EQ(BestFitZoom(800, 600, 1600, 600), 0.5);
    EXPECT_DOUBLE_EQ(BestFitZoom(800, 600, 800, 1200), 0.5);
    EXPECT_DOUBLE_EQ(BestFitZoom(800, 600, 0, 0), 1);
}

TEST(GlanceZoom, ClampKeepsTheOriginInsideThePhoto)
{
    EXPECT_EQ(ClampOrigin(50, 800, 1, 400), 0);     // photo narrower than the view
    EXPECT_EQ(ClampOrigin(900, 800, 1, 1000), 200); // past the right edge
    EXPECT_EQ(ClampOrigin(-5, 800, 1, 1000), 0);
    EXPECT_EQ(ClampOrigin(100, 800, 2, 1000), 100); // 400 photo pixels shown
    EXPECT_EQ(ClampOrigin(700, 800, 2, 1000), 600);
}

TEST(GlanceZoom, ImageRectCentresASmallPhotoAndVisiblePartStaysInside)
{
    const RECT r = ImageRect(800, 600, 400, 300, 1);
    EXPECT_EQ(r.left, 200);
    EXPECT_EQ(r.right, 600);
    EXPECT_EQ(r.top, 150);
    EXPECT_EQ(r.bottom, 450);
    const RECT full = ImageRect(800, 600, 4000, 3000, 2);
    EXPECT_EQ(full.right - full.left, 800);
    const RECT v = VisiblePart(3900, 0, 800, 600, 4000, 3000, 2);
    EXPECT_EQ(v.right, 4000);
    EXPECT_EQ(v.left, 3600);
    EXPECT_EQ(v.bottom, 300);
    const RECT small = VisiblePart(0, 0, 800, 600, 400, 300, 1);
    EXPECT_EQ(small.right, 400);
    EXPECT_EQ(small.bottom, 300);
}

TEST(GlanceZoom, WheelPointIsThePhotoPixelUnderTheCursor)
{
    const RECT r{100, 50, 700, 550};
    POINT p = PhotoPixelAt({300, 150}, r, {10, 20}, 2, 1000, 1000);
    EXPECT_EQ(p.x, 110);
    EXPECT_EQ(p.y, 70);
    p = PhotoPixelAt({699, 549}, r, {900, 900}, 0.5, 1000, 1000);
    EXPECT_EQ(p.x, 999);
    EXPECT_EQ(p.y, 999);
}
