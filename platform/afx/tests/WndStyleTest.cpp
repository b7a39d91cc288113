// SetWindowLong(GWL_STYLE / GWL_EXSTYLE), ModifyStyle and ModifyStyleEx tell
// the window with WM_STYLECHANGING and WM_STYLECHANGED.
#include "WndTestSupport.h"

#include <gtest/gtest.h>

#include <QWidget>

#include <vector>

namespace {

struct StyleMsg {
    UINT message;
    int type;
    DWORD oldStyle;
    DWORD newStyle;
    DWORD styleSeen;  // GetWindowLong at the time of the message
};

class CStyleWatcher : public CWnd {
public:
    std::vector<StyleMsg> m_msgs;
    DWORD m_refuse = 0;  // bits WM_STYLECHANGING takes out of the new style

protected:
    void OnStyleChanging(int type, LPSTYLESTRUCT ss)
    {
        m_msgs.push_back({WM_STYLECHANGING, type, ss->styleOld, ss->styleNew, static_cast<DWORD>(GetWindowLong(m_hWnd, type))});
        ss->styleNew &= ~m_refuse;
    }
    void OnStyleChanged(int type, LPSTYLESTRUCT ss)
    {
        m_msgs.push_back({WM_STYLECHANGED, type, ss->styleOld, ss->styleNew, static_cast<DWORD>(GetWindowLong(m_hWnd, type))});
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CStyleWatcher, CWnd)
    ON_WM_STYLECHANGING()
    ON_WM_STYLECHANGED()
END_MESSAGE_MAP()

enum class Via { SetWindowLong, ModifyStyle, ModifyStyleEx };

struct StyleCase {
    const char* name;
    Via via;
    DWORD remove;
    DWORD add;
    DWORD refuse;
};

class WndStyleChange : public ::testing::TestWithParam<StyleCase> {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_wnd.CreateEx(WS_EX_TOOLWINDOW, TestClass(), "", WS_POPUP | WS_BORDER, 0, 0, 50, 50, nullptr,
                                   nullptr));
    }
    void TearDown() override { m_wnd.DestroyWindow(); }
    CStyleWatcher m_wnd;
};

TEST_P(WndStyleChange, ChangingThenChangedWithOldAndNewStyle)
{
    const StyleCase& c = GetParam();
    const int type = c.via == Via::ModifyStyleEx ? GWL_EXSTYLE : GWL_STYLE;
    const DWORD before = static_cast<DWORD>(GetWindowLong(m_wnd.m_hWnd, type));
    const DWORD asked = (before & ~c.remove) | c.add;
    const DWORD expected = asked & ~c.refuse;
    m_wnd.m_refuse = c.refuse;
    switch (c.via) {
    case Via::SetWindowLong:
        EXPECT_EQ(static_cast<DWORD>(SetWindowLong(m_wnd.m_hWnd, type, static_cast<LONG>(asked))), before);
        break;
    case Via::ModifyStyle:
        EXPECT_TRUE(m_wnd.ModifyStyle(c.remove, c.add));
        break;
    case Via::ModifyStyleEx:
        EXPECT_TRUE(m_wnd.ModifyStyleEx(c.remove, c.add));
        break;
    }
    ASSERT_EQ(m_wnd.m_msgs.size(), 2u);
    const StyleMsg& changing = m_wnd.m_msgs[0];
    EXPECT_EQ(changing.message, WM_STYLECHANGING);
    EXPECT_EQ(changing.type, type);
    EXPECT_EQ(changing.oldStyle, before);
    EXPECT_EQ(changing.newStyle, asked);
    EXPECT_EQ(changing.styleSeen, before) << "not applied yet while changing";
    const StyleMsg& changed = m_wnd.m_msgs[1];
    EXPECT_EQ(changed.message, WM_STYLECHANGED);
    EXPECT_EQ(changed.type, type);
    EXPECT_EQ(changed.oldStyle, before);
    EXPECT_EQ(changed.newStyle, expected);
    EXPECT_EQ(changed.styleSeen, expected) << "already applied when changed";
    EXPECT_EQ(static_cast<DWORD>(GetWindowLong(m_wnd.m_hWnd, type)), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WndStyleChange,
    ::testing::Values(StyleCase{"SetWindowLongAddsBit", Via::SetWindowLong, 0, WS_THICKFRAME, 0},
                      StyleCase{"SetWindowLongRemovesBit", Via::SetWindowLong, WS_BORDER, 0, 0},
                      StyleCase{"ModifyStyle", Via::ModifyStyle, WS_BORDER, WS_CLIPCHILDREN, 0},
                      StyleCase{"ModifyStyleEx", Via::ModifyStyleEx, WS_EX_TOOLWINDOW, WS_EX_CLIENTEDGE, 0},
                      StyleCase{"ChangingMayRefuseABit", Via::ModifyStyle, 0, WS_CLIPCHILDREN | WS_THICKFRAME,
                                WS_THICKFRAME},
                      StyleCase{"ChangingMayRefuseAnExBit", Via::ModifyStyleEx, 0, WS_EX_CLIENTEDGE | WS_EX_TOPMOST,
                                WS_EX_TOPMOST}),
    [](const ::testing::TestParamInfo<StyleCase>& info) { return std::string(info.param.name); });

TEST_F(WndStyleChange, NoMessagesWhenNothingChanges)
{
    EXPECT_FALSE(m_wnd.ModifyStyle(0, WS_BORDER));
    SetWindowLong(m_wnd.m_hWnd, GWL_EXSTYLE, GetWindowLong(m_wnd.m_hWnd, GWL_EXSTYLE));
    EXPECT_TRUE(m_wnd.m_msgs.empty());
}

TEST_F(WndStyleChange, StyleBitsReachTheWidget)
{
    QWidget* w = m_wnd.GetWidget();
    m_wnd.ModifyStyle(0, WS_DISABLED);
    EXPECT_FALSE(w->isEnabled());
    EXPECT_FALSE(m_wnd.IsWindowEnabled());
    m_wnd.ModifyStyle(WS_DISABLED, 0);
    EXPECT_TRUE(w->isEnabled());
    m_wnd.ModifyStyleEx(0, WS_EX_ACCEPTFILES);
    EXPECT_TRUE(w->acceptDrops());
    m_wnd.DragAcceptFiles(FALSE);
    EXPECT_FALSE(w->acceptDrops());
    EXPECT_FALSE(m_wnd.GetExStyle() & WS_EX_ACCEPTFILES);
    ASSERT_FALSE(m_wnd.m_msgs.empty());
    EXPECT_EQ(m_wnd.m_msgs.back().message, WM_STYLECHANGED) << "DragAcceptFiles changes the style the same way";
}

}  // namespace
