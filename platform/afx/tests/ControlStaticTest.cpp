#include "ControlTestSupport.h"

#include "platform/afx/GdiObjects.h"
#include "platform/afx/Resources.h"

#include <gtest/gtest.h>

#include <algorithm>

using ctltest::ControlTest;
using ctltest::PixelOf;

namespace {

using StaticControl = ControlTest;

TEST_F(StaticControl, TextAsksCtlColorStaticAndPaintsBrushAndTextColour)
{
    HWND label = ctltest::MakeControl(m_parent, "Static", "WWWW", SS_LEFT, 50, {0, 0, 120, 30});
    const QImage img = ctltest::SurfaceAfterPaint(label);
    ASSERT_FALSE(m_parent.m_ctlColors.empty());
    EXPECT_EQ(m_parent.m_ctlColors.back().kind, CTLCOLOR_STATIC);
    EXPECT_EQ(m_parent.m_ctlColors.back().control, label);
    EXPECT_EQ(PixelOf(img, 115, 25), m_parent.m_brushColor);
    // The text is drawn in the colour the parent set on the DC.
    int inked = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 60; ++x)
            inked += PixelOf(img, x, y) == m_parent.m_textColor;
    EXPECT_GT(inked, 0);
}

struct FillCase {
    const char* name;
    DWORD style;
    int sysColor;
};

class StaticFill : public ControlTest, public ::testing::WithParamInterface<FillCase> {};

TEST_P(StaticFill, RectanglesUseTheirSystemColour)
{
    HWND r = ctltest::MakeControl(m_parent, "Static", "", GetParam().style, 51);
    const QImage img = ctltest::SurfaceAfterPaint(r);
    EXPECT_EQ(PixelOf(img, 50, 15), GetSysColor(GetParam().sysColor)) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(Kinds, StaticFill,
                         ::testing::Values(FillCase{"black", SS_BLACKRECT, COLOR_WINDOWFRAME},
                                           FillCase{"gray", SS_GRAYRECT, COLOR_3DSHADOW},
                                           FillCase{"white", SS_WHITERECT, COLOR_3DHIGHLIGHT}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(StaticControl, FrameLeavesTheParentBrushInside)
{
    HWND r = ctltest::MakeControl(m_parent, "Static", "", SS_BLACKFRAME, 52);
    const QImage img = ctltest::SurfaceAfterPaint(r);
    EXPECT_EQ(PixelOf(img, 0, 0), GetSysColor(COLOR_WINDOWFRAME));
    EXPECT_EQ(PixelOf(img, 50, 15), m_parent.m_brushColor);
}

TEST_F(StaticControl, NotifyStyleSendsClickedAndPlainLabelIsTransparentToTheMouse)
{
    HWND plain = ctltest::MakeControl(m_parent, "Static", "a", SS_LEFT, 53, {0, 0, 50, 20});
    HWND notify = ctltest::MakeControl(m_parent, "Static", "b", SS_LEFT | SS_NOTIFY, 54, {0, 30, 50, 50});
    EXPECT_TRUE(qlafx::WidgetOf(plain)->testAttribute(Qt::WA_TransparentForMouseEvents));
    EXPECT_FALSE(qlafx::WidgetOf(notify)->testAttribute(Qt::WA_TransparentForMouseEvents));
    ctltest::MouseClick(notify, QPoint(3, 3));
    EXPECT_EQ(m_parent.Count(54, STN_CLICKED), 1);
}

TEST_F(StaticControl, BitmapIsDrawnAndSwappedWithTheOldHandleReturned)
{
    HWND pic = ctltest::MakeControl(m_parent, "Static", "", SS_BITMAP, 55, {0, 0, 80, 80});
    CStatic wrap;
    wrap.Attach(pic);
    HDC screen = ::GetDC(nullptr);
    HBITMAP bmp = CreateCompatibleBitmap(screen, 8, 6);
    ::ReleaseDC(nullptr, screen);
    HDC mem = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(mem, bmp);
    RECT all{0, 0, 8, 6};
    HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
    FillRect(mem, &all, blue);
    SelectObject(mem, old);
    DeleteDC(mem);

    EXPECT_EQ(wrap.SetBitmap(bmp), nullptr);
    EXPECT_EQ(wrap.GetBitmap(), bmp);
    // The control takes the bitmap's size.
    RECT rc{};
    GetClientRect(pic, &rc);
    EXPECT_EQ(rc.right, 8);
    EXPECT_EQ(rc.bottom, 6);
    const QImage img = ctltest::SurfaceAfterPaint(pic);
    EXPECT_EQ(PixelOf(img, 4, 3), RGB(0, 0, 255));
    EXPECT_EQ(wrap.SetBitmap(nullptr), bmp);
    wrap.Detach();
    DeleteObject(bmp);
    DeleteObject(blue);
}

TEST_F(StaticControl, OwnerDrawSendsDrawItemOfStaticKind)
{
    HWND s = ctltest::MakeControl(m_parent, "Static", "", SS_OWNERDRAW, 56);
    const QImage img = ctltest::SurfaceAfterPaint(s);
    ASSERT_FALSE(m_parent.m_drawItems.empty());
    EXPECT_EQ(m_parent.m_drawItems.back().CtlType, ODT_STATIC);
    EXPECT_EQ(m_parent.m_drawItems.back().CtlID, 56u);
    EXPECT_EQ(PixelOf(img, 10, 10), m_parent.m_brushColor);
}

}  // namespace

namespace {

// The signs of the system icons (message boxes) are drawn anti-aliased: the
// disc's rim blends into the background instead of stepping.
TEST_F(StaticControl, SystemIconSignsAreDrawnSmooth)
{
    HWND icon = ctltest::MakeControl(m_parent, "Static", "", SS_ICON, 52, {0, 0, 40, 40});
    SendMessage(icon, STM_SETICON, reinterpret_cast<WPARAM>(LoadIcon(nullptr, IDI_ASTERISK)), 0);
    MoveWindow(icon, 0, 0, 40, 40, FALSE);
    const QImage img = ctltest::SurfaceAfterPaint(icon);
    const COLORREF background = PixelOf(img, 38, 38);
    const COLORREF disc = PixelOf(img, 16, 4);
    EXPECT_NE(disc, background);
    // Along the rim near the top-left, some pixel lies strictly between them.
    int blended = 0;
    for (int y = 2; y < 9; ++y)
        for (int x = 2; x < 9; ++x) {
            const COLORREF c = PixelOf(img, x, y);
            auto between = [](int v, int a, int b) { return v >= std::min(a, b) && v <= std::max(a, b); };
            blended += c != background && c != disc && between(GetRValue(c), GetRValue(background), GetRValue(disc)) &&
                       between(GetGValue(c), GetGValue(background), GetGValue(disc)) &&
                       between(GetBValue(c), GetBValue(background), GetBValue(disc));
        }
    EXPECT_GT(blended, 2);
}

}  // namespace
