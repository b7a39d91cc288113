// Selection masks: rectangles, ellipses and polygons.
#include "imagecore/XImage.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The mask as text, top row (highest y) first: '#' selected, '.' not.
std::string MaskText(const CxImage& img)
{
    std::string s;
    for (LONG y = static_cast<LONG>(img.GetHeight()) - 1; y >= 0; --y) {
        for (LONG x = 0; x < static_cast<LONG>(img.GetWidth()); ++x)
            s += img.IsInsideSelection(x, y) ? '#' : '.';
        s += '\n';
    }
    return s;
}

TEST(XImageSelection, NoMaskMeansEverythingInsideTheImage)
{
    CxImage img(3, 3, 24);
    EXPECT_FALSE(img.HasSelection());
    EXPECT_TRUE(img.IsInsideSelection(2, 2));
    EXPECT_FALSE(img.IsInsideSelection(3, 0));
    RECT box;
    img.GetSelectionBox(box);
    EXPECT_EQ(box.left, 3); // the empty box
    EXPECT_EQ(box.right, 0);
    EXPECT_EQ(box.top, 0);
    EXPECT_EQ(box.bottom, 3);
}

TEST(XImageSelection, RectangleCornersAreOrderedAndClipped)
{
    CxImage img(5, 4, 8);
    ASSERT_TRUE(img.SelectionAddRect(RECT{3, 0, 1, 2})); // x 1..2, y 0..1
    EXPECT_EQ(MaskText(img), ".....\n"
                             ".....\n"
                             ".##..\n"
                             ".##..\n");
    ASSERT_TRUE(img.SelectionAddRect(RECT{4, 3, 9, 9})); // clipped to (4, 3)
    EXPECT_EQ(MaskText(img), "....#\n"
                             ".....\n"
                             ".##..\n"
                             ".##..\n");
    RECT box;
    img.GetSelectionBox(box);
    EXPECT_EQ(box.left, 1);
    EXPECT_EQ(box.bottom, 0);
    EXPECT_EQ(box.right, 9);
    EXPECT_EQ(box.top, 9);
    img.SelectionInvert();
    EXPECT_FALSE(img.IsInsideSelection(4, 3));
    EXPECT_TRUE(img.IsInsideSelection(0, 0));
    img.SelectionClear();
    EXPECT_FALSE(img.IsInsideSelection(0, 0));
    img.SelectionDelete();
    EXPECT_TRUE(img.IsInsideSelection(0, 0));
}

TEST(XImageSelection, EllipseFillsBetweenTheTwoHalves)
{
    CxImage img(11, 11, 8);
    // Half-axes 5 and 5 around (5, 5).
    ASSERT_TRUE(img.SelectionAddEllipse(RECT{0, 10, 10, 0}));
    EXPECT_TRUE(img.IsInsideSelection(0, 5));  // the tip: one pixel high
    EXPECT_FALSE(img.IsInsideSelection(0, 4));
    EXPECT_TRUE(img.IsInsideSelection(5, 0));
    EXPECT_TRUE(img.IsInsideSelection(5, 10));
    EXPECT_FALSE(img.IsInsideSelection(1, 1)); // x = 1: 5 * sqrt(1 - 0.64) = 3 -> y 2..8
    EXPECT_TRUE(img.IsInsideSelection(1, 2));
    EXPECT_TRUE(img.IsInsideSelection(1, 8));
    EXPECT_FALSE(img.IsInsideSelection(1, 9));
    EXPECT_TRUE(img.IsInsideSelection(10, 5));
    RECT box;
    img.GetSelectionBox(box); // takes in x 0..10 and y 0..10
    EXPECT_EQ(box.left, 0);
    EXPECT_EQ(box.right, 11);
    EXPECT_EQ(box.bottom, 0);
    EXPECT_EQ(box.top, 11);
}

TEST(XImageSelection, FlatEllipseChangesNothing)
{
    CxImage img(8, 8, 8);
    EXPECT_FALSE(img.SelectionAddEllipse(RECT{0, 4, 8, 4}));
    EXPECT_FALSE(img.HasSelection());
    EXPECT_FALSE(img.SelectionAddEllipse(RECT{3, 0, 3, 8}));
    EXPECT_FALSE(img.HasSelection());
}

TEST(XImageSelection, PolygonSelectsItsOutlineAndInside)
{
    CxImage img(8, 6, 8);
    const POINT square[] = {{1, 1}, {5, 1}, {5, 4}, {1, 4}};
    ASSERT_TRUE(img.SelectionAddPolygon(square, 4));
    EXPECT_EQ(MaskText(img), "........\n"
                             ".#####..\n"
                             ".#####..\n"
                             ".#####..\n"
                             ".#####..\n"
                             "........\n");
    RECT box;
    img.GetSelectionBox(box);
    EXPECT_EQ(box.left, 1);
    EXPECT_EQ(box.right, 6);
    EXPECT_EQ(box.bottom, 1);
    EXPECT_EQ(box.top, 5);
}

TEST(XImageSelection, PolygonKeepsAConcaveNotchOut)
{
    CxImage img(9, 7, 8);
    // A U: the notch between x 3 and 5 from y 3 up stays unselected.
    const POINT u[] = {{0, 0}, {8, 0}, {8, 6}, {6, 6}, {6, 2}, {2, 2}, {2, 6}, {0, 6}};
    ASSERT_TRUE(img.SelectionAddPolygon(u, 8));
    EXPECT_EQ(MaskText(img), "###...###\n"
                             "###...###\n"
                             "###...###\n"
                             "###...###\n"
                             "#########\n"
                             "#########\n"
                             "#########\n");
}

TEST(XImageSelection, PolygonRingsAreSeparatedByMinusOne)
{
    CxImage img(10, 4, 8);
    const POINT rings[] = {{1, 1}, {2, 1}, {2, 2}, {-1, 0}, {6, 0}, {8, 0}, {8, 2}, {6, 2}};
    ASSERT_TRUE(img.SelectionAddPolygon(rings, 8));
    EXPECT_EQ(MaskText(img), "..........\n"
                             "..#...###.\n"
                             ".##...###.\n"
                             "......###.\n");
    EXPECT_FALSE(img.SelectionAddPolygon(rings, 2));
}

// A comb of many teeth: the fill must reach every gap from the border, far
// more seeds than a small fixed ring could hold.
TEST(XImageSelection, PolygonFillReachesEveryGapOfAComb)
{
    const LONG teeth = 60;
    CxImage img(static_cast<DWORD>(teeth * 4 + 3), 40, 8);
    std::vector<POINT> pts;
    pts.push_back(POINT{1, 1});
    for (LONG i = 0; i < teeth; ++i) {
        pts.push_back(POINT{1 + 4 * i, 38});
        pts.push_back(POINT{2 + 4 * i, 38});
        pts.push_back(POINT{2 + 4 * i, 5});
        pts.push_back(POINT{5 + 4 * i, 5});
    }
    pts.push_back(POINT{4 * teeth + 1, 1});
    ASSERT_TRUE(img.SelectionAddPolygon(pts.data(), static_cast<LONG>(pts.size())));
    for (LONG i = 0; i < teeth - 1; ++i) {
        EXPECT_TRUE(img.IsInsideSelection(1 + 4 * i, 20)) << i;
        EXPECT_FALSE(img.IsInsideSelection(3 + 4 * i, 20)) << i; // a gap between teeth
    }
    EXPECT_TRUE(img.IsInsideSelection(100, 3)); // the comb's back
}

} // namespace
