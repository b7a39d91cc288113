// "HSB Curve" handles: the tie of handle 0 and 12, the plot-edge clamps and
// the table rebuilt through the handles.
#include "editor/adjust/HsbCurve.h"

#include <gtest/gtest.h>

using namespace hsbcurve;

namespace {

const RECT kPlot{10, 10, 250, 266};  // mid 138, height 256

struct Handles {
    INT table[256] = {};
    HsbPoint points[kHandles];
    Handles() { PlaceHandles(kPlot, table, points); }
};

} // namespace

TEST(HsbCurve, HandlesSpreadOverTheHueCircle)
{
    Handles h;
    EXPECT_EQ(h.points[0].sx, 10);
    EXPECT_EQ(h.points[6].sx, 130);
    EXPECT_EQ(h.points[12].sx, 250);
    EXPECT_EQ(h.points[3].x, 64);
    EXPECT_EQ(h.points[7].sy, 138);
}

TEST(HsbCurve, FirstAndLastHandleMoveTogether)
{
    for (int index : {0, 12}) {
        Handles h;
        Drag(kPlot, 138 - 50, h.points, index);
        EXPECT_EQ(h.points[0].value, 50) << index;
        EXPECT_EQ(h.points[12].value, 50) << index;
        EXPECT_EQ(h.points[0].sy, h.points[12].sy) << index;
        Rebuild(h.points, h.table);
        EXPECT_EQ(h.table[0], 50);
        EXPECT_EQ(h.table[255], 50);
    }
}

TEST(HsbCurve, DragClampsToThePlot)
{
    struct Case {
        RECT plot;
        int mouseY, sy, value;
    };
    const Case cases[] = {
        {kPlot, -400, 11, 127},    // above: P.top + 1
        {kPlot, 900, 265, -127},   // below: P.bottom - 1
        {kPlot, 138, 138, 0},
        {kPlot, 98, 98, 40},
        {RECT{0, 0, 100, 100}, -5, 1, 125},  // (50 - 1) x 256 / 100: the plot stops it first
        {RECT{0, 0, 100, 100}, 99, 99, -125},
    };
    for (const Case& c : cases) {
        HsbPoint points[kHandles];
        INT zero[256] = {};
        PlaceHandles(c.plot, zero, points);
        Drag(c.plot, c.mouseY, points, 4);
        EXPECT_EQ(points[4].sy, c.sy) << c.mouseY;
        EXPECT_EQ(points[4].value, c.value) << c.mouseY;
    }
}

TEST(HsbCurve, RebuildThroughTheHandles)
{
    Handles flat;
    Rebuild(flat.points, flat.table);
    for (int j = 0; j < 256; ++j)
        EXPECT_EQ(flat.table[j], 0) << j;

    struct Case {
        int value, atHandle;  // value at level 128 after + 0.5 and truncation
    };
    for (Case c : {Case{60, 60}, Case{-60, -59}, Case{127, 127}, Case{-127, -126}}) {
        Handles h;
        h.points[6].value = c.value;
        Rebuild(h.points, h.table);
        EXPECT_EQ(h.table[128], c.atHandle) << c.value;
        EXPECT_EQ(h.table[85], 0) << c.value;
        EXPECT_EQ(h.table[170], 0) << c.value;
        // Between the handles the curve rises toward the peak.
        EXPECT_GE(std::abs(h.table[120]), std::abs(h.table[110])) << c.value;
        for (int j = 0; j < 256; ++j) {
            EXPECT_LE(h.table[j], 127);
            EXPECT_GE(h.table[j], -127);
        }
    }
}
