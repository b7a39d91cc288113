#include "collage/BoxGeometry.h"
#include "CollageTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace collage;
using namespace collage::test;

namespace {

TEST(NominalBoxSize, FromDiagonalsAndEdges)
{
    FrameBox turned; // p0 p1 is the long side, whichever way it points
    turned.p[0] = {100, 0};
    turned.p[1] = {100, 100};
    turned.p[2] = {50, 100};
    turned.p[3] = {50, 0};
    FrameBox flat = Rect(0, 0, 0, 0);
    struct {
        const char* what;
        FrameBox box;
        int w, h;
    } cases[] = {
        {"wide", Rect(0, 0, 100, 50), 100, 50},
        {"tall", Rect(10, 10, 40, 130), 30, 120},
        {"square", Rect(0, 0, 100, 100), 100, 100},
        {"corners in turned order", turned, 100, 50},
        {"point", flat, 0, 0},
    };
    for (const auto& c : cases) {
        const BoxSize size = NominalBoxSize(c.box);
        EXPECT_EQ(size.width, c.w) << c.what;
        EXPECT_EQ(size.height, c.h) << c.what;
    }
}

TEST(BestRatio, LargestCentredRangeOfTheBoxAspect)
{
    struct {
        int pw, ph;
        BoxSize box;
        RECT expect;
    } cases[] = {
        {400, 300, {100, 200}, {125, 0, 275, 300}},  // tall box: the sides go
        {300, 400, {200, 100}, {0, 125, 300, 275}},  // wide box: top and bottom go
        {400, 300, {400, 300}, {0, 0, 400, 300}},    // same aspect
        {400, 300, {0, 100}, {0, 0, 400, 300}},      // zero side: whole photo
    };
    for (const auto& c : cases) {
        const RECT r = BestRatioRange(c.pw, c.ph, c.box);
        EXPECT_EQ(r.left, c.expect.left);
        EXPECT_EQ(r.top, c.expect.top);
        EXPECT_EQ(r.right, c.expect.right);
        EXPECT_EQ(r.bottom, c.expect.bottom);
    }
}

TEST(PasteRange, RescaleOnlyAboveFourTimesTheBox)
{
    const BoxSize box{100, 100};
    const double g = PasteRangeScale(RECT{0, 0, 400, 300}, box);
    EXPECT_DOUBLE_EQ(g, std::sqrt(40000.0 / 120000.0));
    const RECT scaled = ScaleRange(RECT{10, 20, 410, 320}, g);
    EXPECT_EQ(scaled.left, static_cast<LONG>(10 * g));
    EXPECT_EQ(scaled.right, static_cast<LONG>(410 * g));
    EXPECT_EQ(scaled.bottom, static_cast<LONG>(320 * g));
    EXPECT_EQ(PasteRangeScale(RECT{0, 0, 200, 200}, box), 1.0);
    EXPECT_EQ(PasteRangeScale(RECT{0, 0, 400, 300}, BoxSize{0, 100}), 1.0);
}

TEST(CornerMaps, EachSendsThreeCornersToTheRange)
{
    FrameBox box;
    box.p[0] = {10, 10};
    box.p[1] = {110, 20};
    box.p[2] = {100, 90};
    box.p[3] = {5, 70};
    const RECT range{0, 0, 200, 100};
    AffineMap maps[4];
    ASSERT_TRUE(CornerMaps(box, range, maps));
    const double ru[4] = {0, 200, 200, 0}, rv[4] = {0, 0, 100, 100};
    for (int m = 0; m < 4; ++m)
        for (int k = 0; k < 3; ++k) {
            const int c = (m + 3 + k) % 4;
            const double u = maps[m].a1 * box.p[c].x + maps[m].b1 * box.p[c].y + maps[m].c1;
            const double v = maps[m].a2 * box.p[c].x + maps[m].b2 * box.p[c].y + maps[m].c2;
            EXPECT_NEAR(u, ru[c], 1e-9) << "map " << m << " corner " << c;
            EXPECT_NEAR(v, rv[c], 1e-9) << "map " << m << " corner " << c;
        }
    FrameBox line;
    for (int i = 0; i < 4; ++i)
        line.p[i] = {i * 10, i * 10};
    EXPECT_FALSE(CornerMaps(line, range, maps));
}

TEST(BoxEdits, DrawnBoxesAreNormalisedClampedAndNotTiny)
{
    struct {
        const char* what;
        BoxPoint a, b;
        bool ok;
        FrameBox expect;
    } cases[] = {
        {"plain", {10, 10}, {50, 40}, true, Rect(10, 10, 50, 40)},
        {"reversed", {50, 40}, {10, 10}, true, Rect(10, 10, 50, 40)},
        {"clamped", {-20, 90}, {30, 300}, true, Rect(0, 90, 30, 100)},
        {"click", {30, 30}, {30, 30}, false, {}},
        {"three pixels", {30, 30}, {33, 60}, false, {}},
    };
    for (const auto& c : cases) {
        FrameBox box{};
        EXPECT_EQ(BoxFromDrag(c.a, c.b, 200, 100, &box), c.ok) << c.what;
        if (c.ok)
            for (int i = 0; i < 4; ++i) {
                EXPECT_EQ(box.p[i].x, c.expect.p[i].x) << c.what;
                EXPECT_EQ(box.p[i].y, c.expect.p[i].y) << c.what;
            }
    }
}

TEST(BoxEdits, CornerMovesThatFoldTheBoxAreRefused)
{
    FrameBox box = Rect(10, 10, 50, 50);
    EXPECT_TRUE(MoveCorner(&box, 2, BoxPoint{60, 55}));
    EXPECT_EQ(box.p[2].x, 60);
    // p0 dragged past the p1-p3 diagonal.
    EXPECT_FALSE(MoveCorner(&box, 0, BoxPoint{58, 58}));
    EXPECT_EQ(box.p[0].x, 10);
    EXPECT_EQ(box.p[2].x, 60);
}

TEST(BoxEdits, MovesAndTurnsStayInTheFrame)
{
    const FrameBox saved = Rect(10, 10, 50, 30);
    FrameBox box = saved;
    EXPECT_TRUE(MoveBox(saved, 20, 5, 100, 100, &box));
    EXPECT_EQ(box.p[0].x, 30);
    EXPECT_FALSE(MoveBox(saved, -11, 0, 100, 100, &box));
    EXPECT_EQ(box.p[0].x, 30) << "a refused move keeps the last accepted box";

    // A quarter turn about (30, 20): the 40 x 20 box becomes 20 x 40.
    ASSERT_TRUE(RotateBox(saved, BoxPoint{60, 20}, BoxPoint{30, 50}, 100, 100, &box));
    EXPECT_EQ(box.p[0].x, 40);
    EXPECT_EQ(box.p[0].y, 0);
    EXPECT_EQ(box.p[2].x, 20);
    EXPECT_EQ(box.p[2].y, 40);
    // In a frame 25 high the same turn leaves it.
    FrameBox kept = saved;
    EXPECT_FALSE(RotateBox(saved, BoxPoint{60, 20}, BoxPoint{30, 50}, 100, 35, &kept));
    EXPECT_EQ(kept.p[0].x, 10);
}

} // namespace
