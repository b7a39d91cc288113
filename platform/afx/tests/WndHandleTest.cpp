#include "WndTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

std::vector<std::string> g_log;

class CLogWnd : public CWnd {
public:
    explicit CLogWnd(std::string name) : m_name(std::move(name)) {}
    std::string m_name;
    bool* m_postNcDestroyed = nullptr;

protected:
    void OnDestroy()
    {
        g_log.push_back(m_name + ":destroy");
        CWnd::OnDestroy();
    }
    void OnNcDestroy()
    {
        g_log.push_back(m_name + ":ncdestroy");
        CWnd::OnNcDestroy();
    }
    void PostNcDestroy() override
    {
        if (m_postNcDestroyed)
            *m_postNcDestroyed = true;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CLogWnd, CWnd)
    ON_WM_DESTROY()
    ON_WM_NCDESTROY()
END_MESSAGE_MAP()

class CDynWnd : public CWnd {
    DECLARE_DYNCREATE(CDynWnd)
};
IMPLEMENT_DYNCREATE(CDynWnd, CWnd)

}  // namespace

TEST(WndHandle, DestroyedHandleStaysInvalidAndIsNeverReused)
{
    CWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, TestClass(), "one", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    const HWND first = wnd.m_hWnd;
    EXPECT_TRUE(IsWindow(first));
    EXPECT_EQ(CWnd::FromHandlePermanent(first), &wnd);
    wnd.DestroyWindow();
    EXPECT_FALSE(IsWindow(first));
    EXPECT_EQ(wnd.m_hWnd, nullptr);
    EXPECT_EQ(CWnd::FromHandle(first), nullptr);
    for (int i = 0; i < 50; ++i) {
        HWND h = CreateWindowEx(0, TestClass(), "", WS_POPUP, 0, 0, 5, 5, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(h, first);
        DestroyWindow(h);
    }
    EXPECT_FALSE(IsWindow(first));
}

TEST(WndHandle, DestroyOrderIsParentThenChildrenAndNcDestroyLast)
{
    g_log.clear();
    bool parentPost = false, childPost = false;
    CLogWnd parent("parent"), child("child");
    parent.m_postNcDestroyed = &parentPost;
    child.m_postNcDestroyed = &childPost;
    ASSERT_TRUE(parent.CreateEx(0, TestClass(), "", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr));
    ASSERT_TRUE(child.Create(TestClass(), "", WS_VISIBLE, CRect(0, 0, 10, 10), &parent, 5));
    const HWND childHandle = child.m_hWnd;
    parent.DestroyWindow();
    const std::vector<std::string> expected{"parent:destroy", "child:destroy", "child:ncdestroy", "parent:ncdestroy"};
    EXPECT_EQ(g_log, expected);
    EXPECT_TRUE(parentPost);
    EXPECT_TRUE(childPost);
    EXPECT_FALSE(IsWindow(childHandle));
    EXPECT_EQ(child.m_hWnd, nullptr);
}

TEST(WndHandle, TemporaryObjectsAreReplacedByPermanentOnesAndNeverDestroyTheWindow)
{
    HWND h = CreateWindowEx(0, TestClass(), "", WS_POPUP, 0, 0, 5, 5, nullptr, nullptr, nullptr, nullptr);
    CWnd* temp = CWnd::FromHandle(h);
    ASSERT_NE(temp, nullptr);
    EXPECT_EQ(CWnd::FromHandlePermanent(h), nullptr);
    EXPECT_EQ(CWnd::FromHandle(h), temp);
    CWnd::DeleteTempMap();
    EXPECT_TRUE(IsWindow(h)) << "deleting a temporary object leaves the window";
    CWnd attached;
    ASSERT_TRUE(attached.Attach(h));
    EXPECT_EQ(CWnd::FromHandle(h), &attached);
    EXPECT_EQ(attached.Detach(), h);
    EXPECT_EQ(CWnd::FromHandlePermanent(h), nullptr);
    DestroyWindow(h);
}

TEST(WndHandle, NullHandleGivesNoObject)
{
    EXPECT_EQ(CWnd::FromHandle(nullptr), nullptr);
    EXPECT_EQ(CWnd::FromHandlePermanent(nullptr), nullptr);
}

TEST(WndHandle, ChildrenIdsAndOrder)
{
    CWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, TestClass(), "", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr));
    CWnd a, b, c;
    ASSERT_TRUE(a.Create(TestClass(), "a", 0, CRect(0, 0, 5, 5), &parent, 1));
    ASSERT_TRUE(b.Create(TestClass(), "b", 0, CRect(0, 0, 5, 5), &parent, 0x10002));
    ASSERT_TRUE(c.Create(TestClass(), "c", 0, CRect(0, 0, 5, 5), &parent, 3));
    EXPECT_EQ(parent.GetWindow(GW_CHILD), &a);
    EXPECT_EQ(a.GetWindow(GW_HWNDNEXT), &b);
    EXPECT_EQ(b.GetWindow(GW_HWNDNEXT), &c);
    EXPECT_EQ(c.GetWindow(GW_HWNDNEXT), nullptr);
    EXPECT_EQ(parent.GetDlgItem(0x10002), &b);
    EXPECT_EQ(b.GetDlgCtrlID(), 0x10002);
    EXPECT_EQ(b.SetDlgCtrlID(7), 0x10002);
    EXPECT_EQ(GetWindowLong(b.m_hWnd, GWL_ID), 7);
    EXPECT_EQ(a.GetParent(), &parent);
    EXPECT_EQ(a.GetTopLevelParent(), &parent);
    EXPECT_TRUE(parent.IsChild(&c));
    c.SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);  // NULL is HWND_TOP
    EXPECT_EQ(parent.GetWindow(GW_CHILD), &c);
    parent.DestroyWindow();
}

TEST(WndHandle, StylesVisibilityAndText)
{
    CWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, TestClass(), "title", WS_POPUP, 0, 0, 50, 40, nullptr, nullptr));
    EXPECT_FALSE(wnd.IsWindowVisible());
    wnd.ShowWindow(SW_SHOW);
    EXPECT_TRUE(wnd.GetStyle() & WS_VISIBLE);
    EXPECT_TRUE(wnd.IsWindowVisible());
    EXPECT_TRUE(wnd.ModifyStyle(0, WS_BORDER));
    EXPECT_FALSE(wnd.ModifyStyle(0, WS_BORDER)) << "no change";
    EXPECT_TRUE(wnd.GetStyle() & WS_BORDER);
    wnd.EnableWindow(FALSE);
    EXPECT_FALSE(wnd.IsWindowEnabled());
    EXPECT_TRUE(wnd.GetStyle() & WS_DISABLED);
    CString text;
    wnd.GetWindowText(text);
    EXPECT_EQ(text, "title");
    wnd.SetWindowText("renamed");
    EXPECT_EQ(wnd.GetWindowTextLength(), 7);
    EXPECT_EQ(CWnd::FindWindow(nullptr, "renamed"), &wnd);
    SetWindowLongPtr(wnd.m_hWnd, GWL_USERDATA, 1234);
    EXPECT_EQ(GetWindowLongPtr(wnd.m_hWnd, GWL_USERDATA), 1234);
    CRect client;
    wnd.GetClientRect(&client);
    EXPECT_EQ(client, CRect(0, 0, 50, 40));
    wnd.DestroyWindow();
}

TEST(WndHandle, RuntimeClassesCreateAndTestKinds)
{
    CObject* obj = RUNTIME_CLASS(CDynWnd)->CreateObject();
    ASSERT_NE(obj, nullptr);
    EXPECT_TRUE(obj->IsKindOf(RUNTIME_CLASS(CWnd)));
    EXPECT_TRUE(obj->IsKindOf(RUNTIME_CLASS(CCmdTarget)));
    EXPECT_FALSE(obj->IsKindOf(RUNTIME_CLASS(CWinThread)));
    EXPECT_STREQ(obj->GetRuntimeClass()->m_lpszClassName, "CDynWnd");
    EXPECT_EQ(RUNTIME_CLASS(CWinThread)->CreateObject(), nullptr) << "not DYNCREATE";
    delete obj;
}

TEST(WndHandle, MoveSendsSizeAndCoordinatesMap)
{
    CWnd parent, child;
    ASSERT_TRUE(parent.CreateEx(0, TestClass(), "", WS_POPUP, 100, 50, 200, 200, nullptr, nullptr));
    ASSERT_TRUE(child.Create(TestClass(), "", WS_VISIBLE, CRect(10, 20, 30, 40), &parent, 1));
    child.MoveWindow(30, 40, 60, 70);
    CRect rc;
    child.GetClientRect(&rc);
    EXPECT_EQ(rc, CRect(0, 0, 60, 70));
    CPoint pt(1, 2);
    child.MapWindowPoints(&parent, &pt, 1);
    EXPECT_EQ(pt, CPoint(31, 42));
    parent.DestroyWindow();
}

TEST(WndHandle, GetTextCutsOnlyBetweenCharacters)
{
    // "Größe" is G r ö(2 bytes) ß(2 bytes) e: 7 bytes.
    struct Case {
        int bufferSize;
        const char* expected;
    };
    const Case cases[] = {{1, ""}, {3, "Gr"}, {4, "Gr"}, {5, "Grö"}, {6, "Grö"}, {7, "Größ"}, {8, "Größe"}, {64, "Größe"}};
    CWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, AfxRegisterWndClass(0), "Größe", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    for (const Case& c : cases) {
        char buffer[64];
        std::memset(buffer, 'x', sizeof buffer);
        const int n = wnd.GetWindowText(buffer, c.bufferSize);
        EXPECT_STREQ(buffer, c.expected) << "buffer of " << c.bufferSize;
        EXPECT_EQ(n, static_cast<int>(std::strlen(c.expected)));
    }
    wnd.DestroyWindow();
}
