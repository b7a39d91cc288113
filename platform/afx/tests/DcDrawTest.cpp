// Lines, shapes, fills, raster operations, clipping and DC state on a
// window surface, checked pixel by pixel.
#include "platform/afx/tests/GdiTestSupport.h"

#include <ostream>

#include <QRegion>

namespace {

using gditest::SurfaceTest;

using gditest::kWhite;
using gditest::kBlack;
using gditest::kRed;
using gditest::kBlue;

class DcDraw : public SurfaceTest {
protected:
    // A background that is not flat, so that restoring it proves something.
    void Gradient()
    {
        for (int y = 0; y < m_surface.height(); ++y)
            for (int x = 0; x < m_surface.width(); ++x)
                m_surface.setPixel(x, y, qRgb(x * 4, y * 5, (x * y) & 0xFF));
    }
    void Select(HGDIOBJ obj) { SelectObject(m_hdc, obj); }
};

// --- Raster operations that undo themselves -------------------------------

struct UndoCase {
    const char* name;
    int rop;
    int style;
    int width;
    int bkMode;
};

void PrintTo(const UndoCase& c, std::ostream* os) { *os << c.name; }

class DcDrawTwice : public DcDraw, public ::testing::WithParamInterface<UndoCase> {};

TEST_P(DcDrawTwice, RestoresTheSurfaceExactly)
{
    const UndoCase& c = GetParam();
    Gradient();
    const QImage before = m_surface.copy();
    HPEN pen = CreatePen(c.style, c.width, RGB(200, 100, 50));
    Select(pen);
    SetROP2(m_hdc, c.rop);
    SetBkMode(m_hdc, c.bkMode);
    const POINT poly[] = {{3, 40}, {20, 5}, {60, 30}, {10, 44}};
    for (int pass = 0; pass < 2; ++pass) {
        MoveToEx(m_hdc, 2, 2, nullptr);
        LineTo(m_hdc, 61, 45);
        Polyline(m_hdc, poly, 4);
        if (pass == 0) {
            EXPECT_NE(m_surface, before) << "the first pass must change something";
        }
    }
    EXPECT_EQ(m_surface, before);
    Select(GetStockObject(BLACK_PEN));
    DeleteObject(pen);
}

INSTANTIATE_TEST_SUITE_P(Rops, DcDrawTwice,
                         ::testing::Values(UndoCase{"XorSolid", R2_XORPEN, PS_SOLID, 1, OPAQUE},
                                           UndoCase{"NotXorSolid", R2_NOTXORPEN, PS_SOLID, 1, OPAQUE},
                                           UndoCase{"NotSolid", R2_NOT, PS_SOLID, 1, OPAQUE},
                                           UndoCase{"XorDotTransparent", R2_XORPEN, PS_DOT, 1, TRANSPARENT},
                                           UndoCase{"XorDashOpaque", R2_XORPEN, PS_DASH, 1, OPAQUE},
                                           UndoCase{"XorWide", R2_XORPEN, PS_SOLID, 3, OPAQUE}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(DcDraw, NopDrawsNothing)
{
    Gradient();
    const QImage before = m_surface.copy();
    SetROP2(m_hdc, R2_NOP);
    MoveToEx(m_hdc, 0, 0, nullptr);
    LineTo(m_hdc, 40, 40);
    Rectangle(m_hdc, 5, 5, 30, 30);
    Ellipse(m_hdc, 5, 5, 30, 30);
    EXPECT_EQ(m_surface, before);
}

TEST_F(DcDraw, FocusRectTwiceRestoresAndDrawsEveryOtherPixel)
{
    Gradient();
    const QImage before = m_surface.copy();
    const RECT rc{4, 6, 30, 20};
    DrawFocusRect(m_hdc, &rc);
    int changed = 0;
    for (int y = 0; y < m_surface.height(); ++y)
        for (int x = 0; x < m_surface.width(); ++x)
            if (m_surface.pixel(x, y) != before.pixel(x, y)) {
                ++changed;
                EXPECT_EQ(m_surface.pixel(x, y) & 0xFFFFFF, ~before.pixel(x, y) & 0xFFFFFF);
                EXPECT_TRUE(x == 4 || x == 29 || y == 6 || y == 19) << x << "," << y;
            }
    // Half of the 26 x 14 frame's 76 pixels.
    EXPECT_EQ(changed, 38);
    DrawFocusRect(m_hdc, &rc);
    EXPECT_EQ(m_surface, before);
}

// --- Pixel coverage ---------------------------------------------------------

TEST_F(DcDraw, FillRectExcludesRightAndBottom)
{
    HBRUSH brush = CreateSolidBrush(kRed);
    const RECT rc{2, 3, 6, 7};
    FillRect(m_hdc, &rc, brush);
    EXPECT_TRUE(gditest::SameArea(InkRegion(), QRegion(2, 3, 4, 4)));
    EXPECT_EQ(Px(2, 3), kRed);
    DeleteObject(brush);
}

struct LineCase {
    const char* name;
    POINT from, to;
    std::vector<POINT> pixels; // exactly these
};

void PrintTo(const LineCase& c, std::ostream* os) { *os << c.name; }

class DcLine : public DcDraw, public ::testing::WithParamInterface<LineCase> {};

TEST_P(DcLine, CoversFromStartUpToButNotIncludingTheEnd)
{
    const LineCase& c = GetParam();
    MoveToEx(m_hdc, c.from.x, c.from.y, nullptr);
    LineTo(m_hdc, c.to.x, c.to.y);
    QRegion expected;
    for (const POINT& p : c.pixels)
        expected += QRect(p.x, p.y, 1, 1);
    EXPECT_TRUE(gditest::SameArea(InkRegion(), expected));
    POINT pos{};
    GetCurrentPositionEx(m_hdc, &pos);
    EXPECT_EQ(pos.x, c.to.x);
    EXPECT_EQ(pos.y, c.to.y);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, DcLine,
    ::testing::Values(LineCase{"Right", {1, 1}, {5, 1}, {{1, 1}, {2, 1}, {3, 1}, {4, 1}}},
                      LineCase{"Left", {5, 1}, {1, 1}, {{5, 1}, {4, 1}, {3, 1}, {2, 1}}},
                      LineCase{"Down", {3, 2}, {3, 5}, {{3, 2}, {3, 3}, {3, 4}}},
                      LineCase{"Diagonal", {0, 0}, {4, 4}, {{0, 0}, {1, 1}, {2, 2}, {3, 3}}},
                      LineCase{"Empty", {7, 7}, {7, 7}, {}},
                      LineCase{"Shallow", {0, 0}, {4, 2}, {{0, 0}, {1, 0}, {2, 1}, {3, 1}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DcDraw, RectangleFramesWithPenAndFillsInside)
{
    HPEN pen = CreatePen(PS_SOLID, 1, kRed);
    HBRUSH brush = CreateSolidBrush(kBlue);
    Select(pen);
    Select(brush);
    Rectangle(m_hdc, 2, 3, 8, 9);
    EXPECT_TRUE(gditest::SameArea(InkRegion(), QRegion(2, 3, 6, 6)));
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(Px(2 + i, 3), kRed);
        EXPECT_EQ(Px(2 + i, 8), kRed);
        EXPECT_EQ(Px(2, 3 + i), kRed);
        EXPECT_EQ(Px(7, 3 + i), kRed);
    }
    EXPECT_EQ(Px(3, 4), kBlue);
    EXPECT_EQ(Px(6, 7), kBlue);
    Select(GetStockObject(BLACK_PEN));
    Select(GetStockObject(WHITE_BRUSH));
    DeleteObject(pen);
    DeleteObject(brush);
}

TEST_F(DcDraw, RectangleWithoutPenIsOnePixelSmaller)
{
    HBRUSH brush = CreateSolidBrush(kBlue);
    Select(GetStockObject(NULL_PEN));
    Select(brush);
    Rectangle(m_hdc, 2, 3, 8, 9);
    EXPECT_TRUE(gditest::SameArea(InkRegion(), QRegion(2, 3, 5, 5)));
    Select(GetStockObject(WHITE_BRUSH));
    DeleteObject(brush);
}

TEST_F(DcDraw, RectangleWithNullBrushLeavesInside)
{
    Select(GetStockObject(NULL_BRUSH));
    Rectangle(m_hdc, 2, 3, 8, 9);
    EXPECT_TRUE(gditest::SameArea(InkRegion(), QRegion(2, 3, 6, 6) - QRegion(3, 4, 4, 4)));
}

TEST_F(DcDraw, EllipseStaysInsideItsRectangle)
{
    HBRUSH brush = CreateSolidBrush(kBlue);
    Select(brush);
    Ellipse(m_hdc, 4, 6, 24, 20);
    EXPECT_EQ(Ink(), QRect(4, 6, 20, 14));
    EXPECT_EQ(Px(14, 13), kBlue);                         // centre: brush
    EXPECT_EQ(Px(4, 6), kWhite);                          // corner: outside
    EXPECT_EQ(Px(4, 13), kBlack);                         // leftmost: pen
    Select(GetStockObject(NULL_PEN));
    Reset(64, 48);
    Select(brush);
    Select(GetStockObject(NULL_PEN));
    Ellipse(m_hdc, 4, 6, 24, 20);
    // Without a pen the shape loses its right and bottom pixel.
    const QRect ink = Ink();
    EXPECT_TRUE(QRect(4, 6, 19, 13).contains(ink));
    EXPECT_EQ(ink.left(), 4);
    EXPECT_EQ(ink.right(), 22);
    Select(GetStockObject(WHITE_BRUSH));
    DeleteObject(brush);
}

TEST_F(DcDraw, FrameRectDrawsTheOnePixelRing)
{
    HBRUSH brush = CreateSolidBrush(kRed);
    const RECT rc{1, 2, 9, 7};
    FrameRect(m_hdc, &rc, brush);
    EXPECT_TRUE(gditest::SameArea(InkRegion(), QRegion(1, 2, 8, 5) - QRegion(2, 3, 6, 3)));
    DeleteObject(brush);
}

TEST_F(DcDraw, Draw3dRectSplitsCornersLikeWindows)
{
    CDC* dc = CDC::FromHandle(m_hdc);
    dc->Draw3dRect(2, 2, 5, 4, kRed, kBlue);
    EXPECT_TRUE(gditest::SameArea(InkRegion(), QRegion(2, 2, 5, 4) - QRegion(3, 3, 3, 2)));
    EXPECT_EQ(Px(2, 2), kRed);
    EXPECT_EQ(Px(5, 2), kRed);  // top row up to right - 2
    EXPECT_EQ(Px(6, 2), kBlue); // top-right corner belongs to the right side
    EXPECT_EQ(Px(2, 4), kRed);
    EXPECT_EQ(Px(2, 5), kBlue); // bottom-left corner belongs to the bottom
    EXPECT_EQ(Px(6, 5), kBlue);
    // FillSolidRect leaves the background colour set.
    EXPECT_EQ(GetBkColor(m_hdc), kBlue);
}

TEST_F(DcDraw, DrawEdgeUsesSystemColoursAndAdjusts)
{
    RECT rc{0, 0, 10, 8};
    DrawEdge(m_hdc, &rc, EDGE_SUNKEN, BF_RECT | BF_ADJUST | BF_MIDDLE);
    EXPECT_EQ(Px(0, 0), GetSysColor(COLOR_3DSHADOW));
    EXPECT_EQ(Px(9, 7), GetSysColor(COLOR_3DHILIGHT));
    EXPECT_EQ(Px(1, 1), GetSysColor(COLOR_3DDKSHADOW));
    EXPECT_EQ(Px(8, 6), GetSysColor(COLOR_3DLIGHT));
    EXPECT_EQ(Px(4, 4), GetSysColor(COLOR_3DFACE));
    EXPECT_EQ(rc.left, 2);
    EXPECT_EQ(rc.top, 2);
    EXPECT_EQ(rc.right, 8);
    EXPECT_EQ(rc.bottom, 6);
}

TEST_F(DcDraw, PolygonFillsAndOutlines)
{
    HBRUSH brush = CreateSolidBrush(kBlue);
    Select(brush);
    const POINT tri[] = {{2, 2}, {20, 2}, {2, 20}};
    Polygon(m_hdc, tri, 3);
    EXPECT_EQ(Px(2, 2), kBlack);
    EXPECT_EQ(Px(10, 2), kBlack);
    EXPECT_EQ(Px(5, 5), kBlue);
    EXPECT_EQ(Px(18, 18), kWhite);
    Select(GetStockObject(WHITE_BRUSH));
    DeleteObject(brush);
}

// --- Pens and brushes ----------------------------------------------------------

TEST_F(DcDraw, DottedPenFillsGapsOnlyWhenOpaque)
{
    HPEN pen = CreatePen(PS_DOT, 1, kRed);
    Select(pen);
    SetBkColor(m_hdc, kBlue);
    MoveToEx(m_hdc, 0, 1, nullptr);
    LineTo(m_hdc, 12, 1);
    SetBkMode(m_hdc, TRANSPARENT);
    MoveToEx(m_hdc, 0, 3, nullptr);
    LineTo(m_hdc, 12, 3);
    for (int x = 0; x < 12; ++x) {
        const bool on = (x / 3) % 2 == 0;
        EXPECT_EQ(Px(x, 1), on ? kRed : kBlue) << x;
        EXPECT_EQ(Px(x, 3), on ? kRed : kWhite) << x;
    }
    Select(GetStockObject(BLACK_PEN));
    DeleteObject(pen);
}

TEST_F(DcDraw, HatchBrushShowsLinesOverBackground)
{
    HBRUSH brush = CreateHatchBrush(HS_CROSS, kRed);
    SetBkColor(m_hdc, kBlue);
    const RECT rc{0, 0, 16, 16};
    FillRect(m_hdc, &rc, brush);
    const int red = gditest::CountColor(m_surface, kRed);
    const int blue = gditest::CountColor(m_surface, kBlue);
    EXPECT_EQ(red + blue, 256);
    EXPECT_EQ(red, 4 * 15); // per 8 x 8 cell: one row and one column
    DeleteObject(brush);
}

TEST_F(DcDraw, PatternBrushIsAlignedToTheDevice)
{
    const DWORD checker[4] = {0x00FF0000, 0x000000FF, 0x000000FF, 0x00FF0000}; // red blue / blue red
    HBITMAP bm = CreateBitmap(2, 2, 1, 32, checker);
    HBRUSH brush = CreatePatternBrush(bm);
    DeleteObject(bm); // the brush keeps its own copy
    const RECT rc{3, 3, 9, 9};
    FillRect(m_hdc, &rc, brush);
    for (int y = 3; y < 9; ++y)
        for (int x = 3; x < 9; ++x)
            EXPECT_EQ(Px(x, y), ((x + y) % 2 == 0) ? kRed : kBlue) << x << "," << y;
    DeleteObject(brush);
}

TEST_F(DcDraw, DeletingASelectedPenWaitsUntilItIsDeselected)
{
    HPEN pen = CreatePen(PS_SOLID, 1, kRed);
    Select(pen);
    EXPECT_TRUE(DeleteObject(pen));
    EXPECT_EQ(GetObjectType(pen), 0u) << "the handle is gone";
    MoveToEx(m_hdc, 0, 0, nullptr);
    LineTo(m_hdc, 5, 0);
    EXPECT_EQ(Px(2, 0), kRed) << "but the DC still draws with it";
    Select(GetStockObject(BLACK_PEN));
    EXPECT_FALSE(DeleteObject(pen));
}

// --- State ------------------------------------------------------------------------

TEST_F(DcDraw, SetAndGetPixelThroughTheOrigin)
{
    SetViewportOrgEx(m_hdc, 10, 5, nullptr);
    EXPECT_EQ(SetPixel(m_hdc, 1, 2, kRed), kRed);
    EXPECT_EQ(Px(11, 7), kRed);
    EXPECT_EQ(GetPixel(m_hdc, 1, 2), kRed);
    EXPECT_EQ(GetPixel(m_hdc, -20, 0), CLR_INVALID);
    SetWindowOrgEx(m_hdc, 1, 2, nullptr);
    EXPECT_EQ(GetPixel(m_hdc, 2, 4), kRed);
    POINT p{0, 0};
    LPtoDP(m_hdc, &p, 1);
    EXPECT_EQ(p.x, 9);
    EXPECT_EQ(p.y, 3);
}

TEST_F(DcDraw, ClipRectanglesStopDrawing)
{
    IntersectClipRect(m_hdc, 10, 10, 30, 30);
    ExcludeClipRect(m_hdc, 15, 15, 20, 20);
    RECT box{};
    EXPECT_EQ(GetClipBox(m_hdc, &box), COMPLEXREGION);
    EXPECT_EQ(box.left, 10);
    EXPECT_EQ(box.right, 30);
    HBRUSH brush = CreateSolidBrush(kRed);
    const RECT all{0, 0, 64, 48};
    FillRect(m_hdc, &all, brush);
    EXPECT_TRUE(gditest::SameArea(InkRegion(), QRegion(10, 10, 20, 20) - QRegion(15, 15, 5, 5)));
    SelectClipRgn(m_hdc, nullptr);
    EXPECT_EQ(GetClipBox(m_hdc, &box), SIMPLEREGION);
    EXPECT_EQ(box.right, 64);
    DeleteObject(brush);
}

TEST_F(DcDraw, ClipRegionIsInDeviceCoordinates)
{
    HRGN rgn = CreateEllipticRgn(0, 0, 20, 20);
    SelectClipRgn(m_hdc, rgn);
    DeleteObject(rgn); // the DC keeps a copy
    SetViewportOrgEx(m_hdc, 100, 100, nullptr);
    SetBkColor(m_hdc, kRed);
    const RECT all{-100, -100, 0, 0};
    ExtTextOut(m_hdc, 0, 0, ETO_OPAQUE, &all, nullptr, 0, nullptr);
    EXPECT_EQ(Px(10, 10), kRed);
    EXPECT_EQ(Px(0, 0), kWhite);
    EXPECT_EQ(Px(25, 10), kWhite);
}

TEST_F(DcDraw, PaintRegionLimitsEveryDrawing)
{
    qlafx::SetSurfaceDCClip(m_hdc, QRegion(0, 0, 8, 8));
    IntersectClipRect(m_hdc, 4, 4, 64, 48);
    HBRUSH brush = CreateSolidBrush(kRed);
    const RECT all{0, 0, 64, 48};
    FillRect(m_hdc, &all, brush);
    EXPECT_TRUE(gditest::SameArea(InkRegion(), QRegion(4, 4, 4, 4)));
    SelectClipRgn(m_hdc, nullptr); // the paint region stays
    FillRect(m_hdc, &all, brush);
    EXPECT_TRUE(gditest::SameArea(InkRegion(), QRegion(0, 0, 8, 8)));
    DeleteObject(brush);
}

TEST_F(DcDraw, RestoreDCBringsBackObjectsColoursClipAndOrigin)
{
    HPEN pen = CreatePen(PS_SOLID, 1, kRed);
    const int level = SaveDC(m_hdc);
    EXPECT_EQ(level, 1);
    Select(pen);
    DeleteObject(pen); // held by the DC state only
    SetTextColor(m_hdc, kBlue);
    SetROP2(m_hdc, R2_XORPEN);
    SetViewportOrgEx(m_hdc, 5, 5, nullptr);
    IntersectClipRect(m_hdc, 0, 0, 1, 1);
    EXPECT_EQ(SaveDC(m_hdc), 2);
    SetTextColor(m_hdc, kRed);
    EXPECT_TRUE(RestoreDC(m_hdc, -1));
    EXPECT_EQ(GetTextColor(m_hdc), kBlue);
    EXPECT_TRUE(RestoreDC(m_hdc, level));
    EXPECT_EQ(GetTextColor(m_hdc), kBlack);
    EXPECT_EQ(GetROP2(m_hdc), R2_COPYPEN);
    EXPECT_EQ(GetCurrentObject(m_hdc, OBJ_PEN), GetStockObject(BLACK_PEN));
    MoveToEx(m_hdc, 0, 0, nullptr);
    LineTo(m_hdc, 10, 0);
    EXPECT_EQ(Px(9, 0), kBlack);
    EXPECT_FALSE(RestoreDC(m_hdc, 1)) << "nothing saved any more";
}

TEST_F(DcDraw, SelectObjectReturnsThePreviousObject)
{
    HBRUSH brush = CreateSolidBrush(kRed);
    EXPECT_EQ(SelectObject(m_hdc, brush), GetStockObject(WHITE_BRUSH));
    EXPECT_EQ(SelectObject(m_hdc, GetStockObject(WHITE_BRUSH)), brush);
    CDC* dc = CDC::FromHandle(m_hdc);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(CDC::FromHandle(m_hdc), dc);
    CPen pen(PS_SOLID, 1, kRed);
    CPen* old = dc->SelectObject(&pen);
    ASSERT_NE(old, nullptr);
    EXPECT_EQ(old->m_hObject, GetStockObject(BLACK_PEN));
    EXPECT_EQ(dc->SelectObject(old), &pen) << "the permanent wrapper comes back";
    DeleteObject(brush);
}

TEST_F(DcDraw, InvertRectAndPatBlt)
{
    const RECT rc{0, 0, 4, 4};
    InvertRect(m_hdc, &rc);
    EXPECT_TRUE(gditest::SameArea(InkRegion(), QRegion(0, 0, 4, 4)));
    EXPECT_EQ(Px(0, 0), kBlack);
    HBRUSH brush = CreateSolidBrush(kRed);
    Select(brush);
    PatBlt(m_hdc, 10, 10, 3, 2, PATCOPY);
    EXPECT_EQ(Px(12, 11), kRed);
    EXPECT_EQ(Px(13, 11), kWhite);
    PatBlt(m_hdc, 10, 10, 3, 2, DSTINVERT);
    EXPECT_EQ(Px(12, 11), RGB(0, 255, 255));
    PatBlt(m_hdc, 20, 20, 1, 1, BLACKNESS);
    EXPECT_EQ(Px(20, 20), kBlack);
    Select(GetStockObject(WHITE_BRUSH));
    DeleteObject(brush);
}

TEST(DcDevice, ScreenCapsAreFixed)
{
    HDC dc = qlafx::CreateDisplayDC();
    EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSX), 96);
    EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSY), 96);
    EXPECT_EQ(GetDeviceCaps(dc, BITSPIXEL), 32);
    EXPECT_GT(GetDeviceCaps(dc, HORZRES), 0);
    EXPECT_TRUE(GetDeviceCaps(dc, RASTERCAPS) & RC_STRETCHDIB);
    EXPECT_TRUE(DeleteDC(dc));
    EXPECT_FALSE(DeleteDC(dc)) << "a stale handle fails cleanly";
}

} // namespace
