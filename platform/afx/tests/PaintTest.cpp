#include "WndTestSupport.h"

#include <gtest/gtest.h>

namespace {

class CPainter : public CWnd {
public:
    COLORREF m_color = RGB(255, 0, 0);
    int m_paints = 0;
    int m_erases = 0;

protected:
    void OnPaint()
    {
        ++m_paints;
        CPaintDC dc(this);
        CRect rc;
        GetClientRect(&rc);
        CBrush brush(m_color);
        dc.FillRect(&rc, &brush);
    }
    BOOL OnEraseBkgnd(CDC* dc)
    {
        ++m_erases;
        return CWnd::OnEraseBkgnd(dc);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CPainter, CWnd)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

QRgb PixelOf(HWND hwnd, int x, int y)
{
    return qlafx::SurfaceOfWindow(hwnd)->pixel(x, y) & 0xFFFFFF;
}

}  // namespace

TEST(Paint, UpdateNowPaintsBeforeReturning)
{
    CPainter wnd;
    ASSERT_TRUE(wnd.CreateEx(0, TestClass(), "", WS_POPUP, 0, 0, 40, 30, nullptr, nullptr));
    wnd.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(PixelOf(wnd.m_hWnd, 5, 5), 0xFF0000u);
    wnd.m_color = RGB(0, 0, 255);
    const int before = wnd.m_paints;
    wnd.Invalidate();
    EXPECT_EQ(wnd.m_paints, before) << "invalidating alone does not paint";
    wnd.UpdateWindow();
    EXPECT_EQ(wnd.m_paints, before + 1);
    EXPECT_EQ(PixelOf(wnd.m_hWnd, 39, 29), 0x0000FFu);
    wnd.UpdateWindow();
    EXPECT_EQ(wnd.m_paints, before + 1) << "nothing left to paint";
    wnd.DestroyWindow();
}

TEST(Paint, EraseUsesTheClassBrushAndComesBeforeDrawing)
{
    HBRUSH green = CreateSolidBrush(RGB(0, 255, 0));
    CWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, AfxRegisterWndClass(0, nullptr, green), "", WS_POPUP, 0, 0, 20, 20, nullptr, nullptr));
    wnd.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    EXPECT_EQ(PixelOf(wnd.m_hWnd, 10, 10), 0x00FF00u);
    wnd.DestroyWindow();
    DeleteObject(green);
}

TEST(Paint, AllChildrenRepaintWithTheParent)
{
    CPainter parent, child;
    ASSERT_TRUE(parent.CreateEx(0, TestClass(), "", WS_POPUP, 0, 0, 40, 40, nullptr, nullptr));
    ASSERT_TRUE(child.Create(TestClass(), "", WS_VISIBLE, CRect(0, 0, 10, 10), &parent, 1));
    parent.UpdateWindow();
    child.UpdateWindow();
    const int childPaints = child.m_paints;
    child.m_color = RGB(0, 0, 255);
    parent.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(child.m_paints, childPaints) << "without RDW_ALLCHILDREN";
    parent.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    EXPECT_EQ(child.m_paints, childPaints + 1);
    EXPECT_EQ(PixelOf(child.m_hWnd, 1, 1), 0x0000FFu);
    parent.DestroyWindow();
}

TEST(Paint, DrawingOutsidePaintGoesToTheSurface)
{
    CWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, TestClass(), "", WS_POPUP, 0, 0, 20, 20, nullptr, nullptr));
    {
        CClientDC dc(&wnd);
        dc.SetPixel(3, 4, RGB(1, 2, 3));
    }
    EXPECT_EQ(PixelOf(wnd.m_hWnd, 3, 4), 0x010203u);
    wnd.DestroyWindow();
}
