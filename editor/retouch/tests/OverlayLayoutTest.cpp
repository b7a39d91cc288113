// Placing the object, the blend job from the pages, and the navigator's
// geometry.
#include "editor/retouch/OverlayLayout.h"

#include <gtest/gtest.h>

#include <cstring>
#include <ostream>

inline std::ostream& operator<<(std::ostream& os, const RECT& r)
{
    return os << "{" << r.left << "," << r.top << "," << r.right << "," << r.bottom << "}";
}
inline bool operator==(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

namespace {

TEST(OverlayPlacingTest, ObjectsAreHalvedUntilTheyFit)
{
    const struct {
        int w, h;
        RECT expected;
    } cases[] = {
        {300, 200, {0, 0, 300, 200}},    // fits
        {1000, 100, {0, 0, 250, 25}},    // halved twice for the width
        {400, 900, {0, 0, 100, 225}},    // twice for the height
        {640, 480, {0, 0, 320, 240}},    // exactly the photo after one halving
        {4000, 1, {0, 0, 250, 0}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FitObjectRect(c.w, c.h, 320, 240), c.expected) << c.w << "x" << c.h;
}

TEST(OverlayPlacingTest, KeptRectanglesAreShiftedInside)
{
    const struct {
        RECT in;
        BOOL kept;
        RECT expected;
    } cases[] = {
        {{10, 10, 60, 40}, TRUE, {10, 10, 60, 40}},
        {{-5, -7, 45, 23}, TRUE, {0, 0, 50, 30}},          // negative left and top become 0
        {{300, 10, 320, 30}, TRUE, {299, 10, 319, 30}},    // right edge at the width ends one inside
        {{310, 230, 340, 260}, TRUE, {289, 209, 319, 239}},
        {{0, 0, 321, 10}, FALSE, {0, 0, 321, 10}},        // wider than the photo: fitted afresh
        {{0, 0, 10, 241}, FALSE, {0, 0, 10, 241}},
    };
    for (const auto& c : cases) {
        RECT r = c.in;
        EXPECT_EQ(ShiftRectIntoPhoto(&r, 320, 240), c.kept) << c.in;
        EXPECT_EQ(r, c.expected) << c.in;
    }
}

TEST(OverlayJobTest, PagesFillTheBlendBlock)
{
    OverlayEffects e;
    e.shadowOn = 1;
    e.shadowX = -3;
    e.shadowY = 4;
    e.shadowBlur = 5;
    const BYTE shadow[4] = {1, 2, 3, 64}, emission[4] = {0x10, 0x20, 0x30, 0x40};
    std::memcpy(e.shadowColour, shadow, 4);
    e.embossOn = 1;
    e.embossDepth = 6;
    e.embossBlur = 7;
    e.embossOpacity = 200;
    e.embossDirection = 5;
    e.emissionOn = 1;
    e.emissionDepth = 8;
    e.emissionBlur = 9;
    std::memcpy(e.emissionColour, emission, 4);
    const OverlayBlendParams job = MakeOverlayJob(RECT{10, 20, 110, 70}, 4, 200, 1, e);
    EXPECT_EQ(job.x, 10);
    EXPECT_EQ(job.y, 20);
    EXPECT_EQ(job.width, 100);
    EXPECT_EQ(job.height, 50);
    EXPECT_EQ(job.mode, 4);
    EXPECT_EQ(job.opacity, 200);
    EXPECT_EQ(job.fill, 1);
    for (BYTE b : job.reserved)
        ASSERT_EQ(b, 0);
    EXPECT_EQ(job.shadow, 1);
    EXPECT_EQ(job.shadowDx, -3);
    EXPECT_EQ(job.shadowDy, 4);
    EXPECT_EQ(job.shadowBlur, 5);
    EXPECT_EQ(std::memcmp(job.shadowColour, shadow, 4), 0);
    EXPECT_EQ(job.bevel, 1);
    EXPECT_EQ(job.bevelDepth, 6);
    EXPECT_EQ(job.bevelMargin, 7);
    EXPECT_EQ(job.bevelStrength, 200);
    EXPECT_EQ(job.lightDirection, 5);
    EXPECT_EQ(job.outline, 1);
    EXPECT_EQ(job.outlineWidth, 8);
    EXPECT_EQ(job.outlineFade, 9);
    EXPECT_EQ(job.outlineColour, 0x40302010u);
}

TEST(NavigatorGeometryTest, BoxFitsTheAspectAndCentres)
{
    const RECT client{0, 0, 216, 162};  // room 200 x 150 after the margins
    const struct {
        int w, h;
        RECT expected;
    } cases[] = {
        {400, 300, {10, 6, 210, 156}},
        {400, 100, {10, 56, 210, 106}},  // wide: shrunk in height, centred
        {100, 300, {85, 6, 135, 156}},   // tall: shrunk in width
        {0, 300, {0, 0, 0, 0}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(navigator::Box(client, c.w, c.h), c.expected) << c.w << "x" << c.h;
    EXPECT_EQ(navigator::Box(RECT{0, 0, 16, 12}, 400, 300), (RECT{0, 0, 0, 0}));
}

TEST(NavigatorGeometryTest, ViewRectangleAndClicks)
{
    const RECT box{10, 6, 210, 156};  // 200 x 150 for a 4000 x 3000 photo
    // The right half of the photo, top quarter.
    const RECT view = navigator::ViewRect(box, 4000, 3000, 2000, 0, 2000, 750);
    EXPECT_EQ(view, (RECT{110, 6, 210, 43}));
    EXPECT_TRUE(navigator::ViewRectShown(box, view));
    // Past the right edge: clipped there.
    EXPECT_EQ(navigator::ViewRect(box, 4000, 3000, 3000, 0, 2000, 750).right, 210);
    // A top-left corner outside the box is not drawn.
    EXPECT_FALSE(navigator::ViewRectShown(box, RECT{5, 6, 100, 50}));
    // A click moves the centre there: (60 - 160) x 4000 / 200 = -2000.
    const POINT scroll = navigator::ScrollForPoint(box, view, POINT{60, 24}, 4000, 3000, POINT{2000, 0});
    EXPECT_EQ(scroll.x, 0);
    EXPECT_EQ(scroll.y, 0);
    // An empty box changes nothing.
    const POINT same = navigator::ScrollForPoint(RECT{}, view, POINT{60, 24}, 4000, 3000, POINT{7, 8});
    EXPECT_EQ(same.x, 7);
    EXPECT_EQ(same.y, 8);
    EXPECT_FALSE(navigator::ViewRectShown(RECT{}, RECT{}));
}

}  // namespace
