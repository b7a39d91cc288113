#include "WndTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr UINT ID_OPEN = 100, ID_FIRST = 200, ID_LAST = 205, ID_WIDE = 0x10005;
constexpr UINT NM_TEST = static_cast<UINT>(-700);

class CFrameLike : public CWnd {
public:
    std::vector<std::string> m_log;
    BOOL m_enableOpen = TRUE;

protected:
    void OnOpen() { m_log.push_back("open"); }
    void OnRange(UINT id) { m_log.push_back("range " + std::to_string(id)); }
    void OnUpdateOpen(CCmdUI* ui) { ui->Enable(m_enableOpen); }
    void OnWide() { m_log.push_back("wide"); }
    void OnNotifyTest(NMHDR*, LRESULT* result)
    {
        m_log.push_back("parent notify");
        *result = 11;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CFrameLike, CWnd)
    ON_COMMAND(ID_OPEN, OnOpen)
    ON_COMMAND_RANGE(ID_FIRST, ID_LAST, OnRange)
    ON_UPDATE_COMMAND_UI(ID_OPEN, OnUpdateOpen)
    ON_COMMAND(0x0005, OnWide)
    ON_NOTIFY(NM_TEST, 7, OnNotifyTest)
END_MESSAGE_MAP()

// A control that handles its own notifications by reflection.
class CReflectingCtrl : public CWnd {
public:
    bool m_takeNotify = true;
    std::vector<std::string>* m_log = nullptr;

protected:
    void OnReflectedNotify(NMHDR*, LRESULT* result)
    {
        m_log->push_back("child notify");
        *result = 22;
    }
    BOOL OnReflectedNotifyEx(NMHDR*, LRESULT*)
    {
        m_log->push_back("child declined");
        return FALSE;
    }
    void OnClicked() { m_log->push_back("child clicked"); }
    HBRUSH CtlColor(CDC*, UINT kind)
    {
        m_log->push_back("ctlcolor " + std::to_string(kind));
        return reinterpret_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CReflectingCtrl, CWnd)
    ON_NOTIFY_REFLECT(NM_TEST, OnReflectedNotify)
    ON_NOTIFY_REFLECT_EX(NM_CLICK, OnReflectedNotifyEx)
    ON_CONTROL_REFLECT(BN_CLICKED, OnClicked)
    ON_WM_CTLCOLOR_REFLECT()
END_MESSAGE_MAP()

class MsgMap : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_frame.CreateEx(0, TestClass(), "", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr));
        m_child.m_log = &m_frame.m_log;
        ASSERT_TRUE(m_child.Create(TestClass(), "", WS_VISIBLE, CRect(0, 0, 10, 10), &m_frame, 7));
    }
    void TearDown() override { m_frame.DestroyWindow(); }
    CFrameLike m_frame;
    CReflectingCtrl m_child;
};

}  // namespace

TEST_F(MsgMap, CommandsRouteByIdAndRange)
{
    struct Case {
        UINT id;
        const char* expected;
    } cases[] = {{ID_OPEN, "open"}, {ID_FIRST, "range 200"}, {ID_LAST, "range 205"}, {ID_WIDE, "wide"}};
    for (const Case& c : cases) {
        m_frame.m_log.clear();
        // An id above 16 bits arrives as its low word, as on Windows.
        m_frame.SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<WORD>(c.id), 0), 0);
        ASSERT_EQ(m_frame.m_log.size(), 1u) << c.id;
        EXPECT_EQ(m_frame.m_log[0], c.expected);
    }
    m_frame.m_log.clear();
    EXPECT_EQ(m_frame.SendMessage(WM_COMMAND, MAKEWPARAM(ID_LAST + 1, 0), 0), 0);
    EXPECT_TRUE(m_frame.m_log.empty());
}

TEST_F(MsgMap, UpdateCommandUiSetsTheControlState)
{
    CCmdUI ui;
    ui.m_nID = ID_OPEN;
    ui.m_pOther = &m_child;
    m_frame.m_enableOpen = FALSE;
    EXPECT_TRUE(ui.DoUpdate(&m_frame, TRUE));
    EXPECT_FALSE(m_child.IsWindowEnabled());
    m_frame.m_enableOpen = TRUE;
    ui.DoUpdate(&m_frame, TRUE);
    EXPECT_TRUE(m_child.IsWindowEnabled());
    // No handler and no command: disabled when asked to.
    ui.m_nID = 999;
    EXPECT_FALSE(ui.DoUpdate(&m_frame, TRUE));
    EXPECT_FALSE(m_child.IsWindowEnabled());
    // A command handler alone keeps it enabled.
    ui.m_nID = ID_FIRST;
    ui.DoUpdate(&m_frame, TRUE);
    EXPECT_TRUE(m_child.IsWindowEnabled());
}

TEST_F(MsgMap, NotificationsReflectToTheChildFirst)
{
    NMHDR hdr{m_child.m_hWnd, 7, NM_TEST};
    const LRESULT r = m_frame.SendMessage(WM_NOTIFY, 7, reinterpret_cast<LPARAM>(&hdr));
    EXPECT_EQ(r, 22);
    EXPECT_EQ(m_frame.m_log, std::vector<std::string>{"child notify"});

    // A reflected handler that declines lets the parent see it (here: no parent entry).
    m_frame.m_log.clear();
    NMHDR click{m_child.m_hWnd, 7, NM_CLICK};
    m_frame.SendMessage(WM_NOTIFY, 7, reinterpret_cast<LPARAM>(&click));
    EXPECT_EQ(m_frame.m_log, std::vector<std::string>{"child declined"});
}

TEST_F(MsgMap, ParentGetsNotificationsTheChildDoesNotReflect)
{
    CWnd plain;
    ASSERT_TRUE(plain.Create(TestClass(), "", 0, CRect(0, 0, 5, 5), &m_frame, 8));
    plain.SetDlgCtrlID(7);
    NMHDR hdr{plain.m_hWnd, 7, NM_TEST};
    EXPECT_EQ(m_frame.SendMessage(WM_NOTIFY, 7, reinterpret_cast<LPARAM>(&hdr)), 11);
    EXPECT_EQ(m_frame.m_log, std::vector<std::string>{"parent notify"});
}

TEST_F(MsgMap, ControlCommandsAndCtlColorReflect)
{
    m_frame.SendMessage(WM_COMMAND, MAKEWPARAM(7, BN_CLICKED), reinterpret_cast<LPARAM>(m_child.m_hWnd));
    EXPECT_EQ(m_frame.m_log, std::vector<std::string>{"child clicked"});
    m_frame.m_log.clear();
    HDC dc = GetDC(m_child.m_hWnd);
    const LRESULT brush =
        m_frame.SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(m_child.m_hWnd));
    ReleaseDC(m_child.m_hWnd, dc);
    EXPECT_EQ(brush, reinterpret_cast<LRESULT>(GetStockObject(BLACK_BRUSH)));
    EXPECT_EQ(m_frame.m_log, std::vector<std::string>{"ctlcolor 6"});
}

TEST_F(MsgMap, RegisteredMessagesMatchTheirNumber)
{
    static UINT s_ping = RegisterWindowMessage("QuilloTestPing");
    EXPECT_EQ(s_ping, RegisterWindowMessage("quillotestping")) << "names compare without case";
    EXPECT_GE(s_ping, 0xC000u);
}
