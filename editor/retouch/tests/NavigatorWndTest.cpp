// The navigator beside a zoom view: its box and view rectangle on the
// surface, clicks and drags that scroll the view, and an empty view.
#include "editor/ui/tests/SkinTestSupport.h"

#include "editor/retouch/NavigatorWnd.h"
#include "editor/retouch/OverlayLayout.h"
#include "platform/afx/QtBridge.h"

#include <gtest/gtest.h>

namespace {

using skintest::Bgr;
using skintest::BgrAt;

class NavigatorWndTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(parent.CreateParent(0, 0, 900, 500));
        ASSERT_TRUE(view.Create("", RECT{0, 0, 600, 450}, &parent, 100));
        ASSERT_TRUE(nav.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, RECT{620, 0, 836, 162}, &parent, 101));
        nav.SetView(&view);
        skintest::Fill(&photo, 1200, 900, CPixel{200, 120, 40, 255});
        for (int y = 0; y < 900; ++y)
            for (int x = 600; x < 1200; ++x)
                photo.PutPixel(x, y, CPixel{30, 200, 30, 255});
    }
    void TearDown() override
    {
        nav.DestroyWindow();
        view.DestroyWindow();
        parent.DestroyWindow();
        qlafx::ProcessPendingEvents();
    }
    void ShowPhoto()
    {
        view.SetImage(&photo, FALSE);
        view.SetScrollZoom(0, 0, 1.0);
        qlafx::ProcessPendingEvents();
    }
    void Mouse(UINT message, int x, int y)
    {
        nav.SendMessage(message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(x, y));
        qlafx::ProcessPendingEvents();
    }

    skintest::CParentWnd parent;
    ZoomView view;
    CNavigatorWnd nav;
    CQLImage photo;
};

TEST_F(NavigatorWndTest, DrawsTheThumbnailAndTheViewRectangle)
{
    ShowPhoto();
    EXPECT_EQ(view.m_navigator, &nav);
    const RECT box = nav.GetBox();
    RECT client;
    nav.GetClientRect(&client);
    const RECT expected = navigator::Box(client, 1200, 900);
    EXPECT_TRUE(EqualRect(&box, &expected));
    const QImage surface = skintest::SurfaceOf(nav.m_hWnd);
    // Frame: dark above and left, white below and right.
    EXPECT_EQ(BgrAt(surface, box.left - 1, box.top + 20), (Bgr{64, 64, 64}));
    EXPECT_EQ(BgrAt(surface, box.right, box.top + 20), (Bgr{255, 255, 255}));
    // The thumbnail: blue-ish on the left, green on the right.
    EXPECT_NEAR(BgrAt(surface, box.left + 30, box.bottom - 10).b, 200, 8);
    EXPECT_NEAR(BgrAt(surface, box.right - 10, box.bottom - 10).g, 200, 8);
    // At 100 % the view shows its top-left part: yellow outside, blue inside.
    const RECT r = nav.GetViewRect();
    EXPECT_EQ(r.left, box.left);
    EXPECT_EQ(r.top, box.top);
    EXPECT_LT(r.right, box.right);
    EXPECT_EQ(BgrAt(surface, r.left + 5, r.top), (Bgr{0, 255, 255}));
    EXPECT_EQ(BgrAt(surface, r.left + 5, r.top + 1), (Bgr{255, 0, 0}));
}

TEST_F(NavigatorWndTest, ClicksAndDragsScrollTheView)
{
    ShowPhoto();
    const RECT box = nav.GetBox();
    const RECT before = nav.GetViewRect();
    // A click right of the view rectangle brings its centre there.
    const POINT target{box.left + (box.right - box.left) * 6 / 10, (before.top + before.bottom) / 2};
    const POINT expected = navigator::ScrollForPoint(box, before, target, 1200, 900, POINT{0, 0});
    Mouse(WM_LBUTTONDOWN, target.x, target.y);
    Mouse(WM_LBUTTONUP, target.x, target.y);
    EXPECT_EQ(view.m_scrollX, expected.x);
    const RECT after = nav.GetViewRect();
    EXPECT_NEAR((after.left + after.right) / 2, target.x, 2);
    // Dragging from inside the rectangle back to the left edge.
    const int startX = view.m_scrollX;
    Mouse(WM_LBUTTONDOWN, (after.left + after.right) / 2, (after.top + after.bottom) / 2);
    Mouse(WM_MOUSEMOVE, box.left + 2, (after.top + after.bottom) / 2);
    EXPECT_LT(view.m_scrollX, startX);
    Mouse(WM_LBUTTONUP, box.left + 2, (after.top + after.bottom) / 2);
    const int dropped = view.m_scrollX;
    Mouse(WM_MOUSEMOVE, box.right - 2, box.top + 2);  // no button: nothing moves
    EXPECT_EQ(view.m_scrollX, dropped);
}

TEST_F(NavigatorWndTest, WithoutAPhotoItDrawsNothingAndIgnoresClicks)
{
    qlafx::ProcessPendingEvents();
    RECT box = nav.GetBox();
    EXPECT_TRUE(IsRectEmpty(&box));
    view.m_scrollX = 7;
    Mouse(WM_LBUTTONDOWN, 100, 80);
    Mouse(WM_LBUTTONUP, 100, 80);
    EXPECT_EQ(view.m_scrollX, 7);
    // A window too small for a box: the same.
    ShowPhoto();
    nav.MoveWindow(620, 0, 14, 10);
    qlafx::ProcessPendingEvents();
    nav.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    box = nav.GetBox();
    EXPECT_TRUE(IsRectEmpty(&box));
    const int scroll = view.m_scrollX;
    Mouse(WM_LBUTTONDOWN, 5, 5);
    EXPECT_EQ(view.m_scrollX, scroll);
}

}  // namespace
