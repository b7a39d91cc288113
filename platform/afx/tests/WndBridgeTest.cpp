#include "WndTestSupport.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>

#include <gtest/gtest.h>

#include <vector>

namespace {

// A built-in class whose widget is a Qt push button: its default procedure
// is Qt's own handling, so a click reaches it only through DefWindowProc.
void RegisterQtButtonClass()
{
    qlafx::BuiltinClass cls;
    cls.createWidget = [](HWND, const CREATESTRUCT& cs, QWidget* parent) -> QWidget* {
        return new QPushButton(QString::fromUtf8(cs.lpszName ? cs.lpszName : ""), parent);
    };
    cls.defProc = ::DefWindowProc;
    qlafx::RegisterBuiltinClass("QlTestQtButton", cls);
}

class CClickEater : public CWnd {
public:
    bool m_callDefault = false;
    std::vector<CPoint> m_downs;
    std::vector<UINT> m_flags;

protected:
    void OnLButtonDown(UINT flags, CPoint point)
    {
        m_downs.push_back(point);
        m_flags.push_back(flags);
        if (m_callDefault)
            CWnd::OnLButtonDown(flags, point);
    }
    void OnLButtonUp(UINT flags, CPoint point)
    {
        if (m_callDefault)
            CWnd::OnLButtonUp(flags, point);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CClickEater, CWnd)
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
END_MESSAGE_MAP()

void Click(QWidget* w, QPoint at, Qt::KeyboardModifiers mods = {})
{
    const QPointF local(at), global(w->mapToGlobal(at));
    QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton, mods);
    QApplication::sendEvent(w, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton, mods);
    QApplication::sendEvent(w, &release);
}

class WndBridge : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegisterQtButtonClass();
        ASSERT_TRUE(m_parent.CreateEx(0, TestClass(), "", WS_POPUP | WS_VISIBLE, 0, 0, 200, 100, nullptr, nullptr));
        m_button = CreateWindowEx(0, "QlTestQtButton", "Go", WS_CHILD | WS_VISIBLE, 10, 10, 80, 30, m_parent.m_hWnd,
                                  reinterpret_cast<HMENU>(1), nullptr, nullptr);
        ASSERT_NE(m_button, nullptr);
        auto* push = static_cast<QPushButton*>(qlafx::WidgetOf(m_button));
        QObject::connect(push, &QPushButton::clicked, [this] { ++m_clicked; });
    }
    void TearDown() override { m_parent.DestroyWindow(); }
    CWnd m_parent;
    HWND m_button = nullptr;
    int m_clicked = 0;
};

}  // namespace

TEST_F(WndBridge, UnsubclassedControlGetsItsClick)
{
    Click(qlafx::WidgetOf(m_button), QPoint(5, 5));
    EXPECT_EQ(m_clicked, 1);
}

TEST_F(WndBridge, HandlerWithoutDefaultSwallowsTheClick)
{
    CClickEater eater;
    ASSERT_TRUE(eater.SubclassWindow(m_button));
    Click(qlafx::WidgetOf(m_button), QPoint(5, 6), Qt::ShiftModifier);
    EXPECT_EQ(m_clicked, 0);
    ASSERT_EQ(eater.m_downs.size(), 1u);
    EXPECT_EQ(eater.m_downs[0], CPoint(5, 6));
    EXPECT_EQ(eater.m_flags[0], MK_LBUTTON | MK_SHIFT);

    eater.m_callDefault = true;
    Click(qlafx::WidgetOf(m_button), QPoint(5, 6));
    EXPECT_EQ(m_clicked, 1) << "calling the default lets Qt have it";
    EXPECT_EQ(eater.UnsubclassWindow(), m_button);
    Click(qlafx::WidgetOf(m_button), QPoint(5, 6));
    EXPECT_EQ(m_clicked, 2);
}

TEST(WndTranslate, QtKeysMapToVirtualKeys)
{
    struct Case {
        int qt;
        Qt::KeyboardModifiers mods;
        int vk;
    } cases[] = {
        {Qt::Key_A, {}, 'A'},
        {Qt::Key_Z, {}, 'Z'},
        {Qt::Key_5, {}, '5'},
        {Qt::Key_5, Qt::KeypadModifier, VK_NUMPAD5},
        {Qt::Key_F1, {}, VK_F1},
        {Qt::Key_F12, {}, VK_F12},
        {Qt::Key_Return, {}, VK_RETURN},
        {Qt::Key_Enter, Qt::KeypadModifier, VK_RETURN},
        {Qt::Key_Escape, {}, VK_ESCAPE},
        {Qt::Key_Backspace, {}, VK_BACK},
        {Qt::Key_Tab, {}, VK_TAB},
        {Qt::Key_Space, {}, VK_SPACE},
        {Qt::Key_Left, {}, VK_LEFT},
        {Qt::Key_Up, {}, VK_UP},
        {Qt::Key_Right, {}, VK_RIGHT},
        {Qt::Key_Down, {}, VK_DOWN},
        {Qt::Key_PageUp, {}, VK_PRIOR},
        {Qt::Key_PageDown, {}, VK_NEXT},
        {Qt::Key_Home, {}, VK_HOME},
        {Qt::Key_End, {}, VK_END},
        {Qt::Key_Insert, {}, VK_INSERT},
        {Qt::Key_Delete, {}, VK_DELETE},
        {Qt::Key_Shift, {}, VK_SHIFT},
        {Qt::Key_Control, {}, VK_CONTROL},
        {Qt::Key_Alt, {}, VK_MENU},
        {Qt::Key_Plus, Qt::KeypadModifier, VK_ADD},
        {Qt::Key_Minus, Qt::KeypadModifier, VK_SUBTRACT},
        {Qt::Key_Minus, {}, VK_OEM_MINUS},
        {Qt::Key_Comma, {}, VK_OEM_COMMA},
        {Qt::Key_unknown, {}, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(qlafx::VirtualKeyFromQt(c.qt, c.mods), c.vk) << "Qt key " << std::hex << c.qt;
}

TEST(WndTranslate, MouseButtonsAndModifiersMapToKeyFlags)
{
    struct Case {
        Qt::MouseButtons buttons;
        Qt::KeyboardModifiers mods;
        UINT flags;
    } cases[] = {
        {Qt::NoButton, {}, 0},
        {Qt::LeftButton, {}, MK_LBUTTON},
        {Qt::RightButton, {}, MK_RBUTTON},
        {Qt::MiddleButton, {}, MK_MBUTTON},
        {Qt::LeftButton | Qt::RightButton, {}, MK_LBUTTON | MK_RBUTTON},
        {Qt::NoButton, Qt::ShiftModifier, MK_SHIFT},
        {Qt::LeftButton, Qt::ControlModifier, MK_LBUTTON | MK_CONTROL},
        {Qt::NoButton, Qt::AltModifier, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(qlafx::MouseKeyFlags(c.buttons, c.mods), c.flags);
}

namespace {

class CKeyLog : public CWnd {
public:
    std::vector<std::pair<UINT, UINT>> m_keys;  // message, code
    bool m_eatReturnInPreTranslate = false;
    BOOL PreTranslateMessage(MSG* msg) override
    {
        return m_eatReturnInPreTranslate && msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN;
    }

protected:
    void OnKeyDown(UINT c, UINT, UINT) { m_keys.emplace_back(WM_KEYDOWN, c); }
    void OnKeyUp(UINT c, UINT, UINT) { m_keys.emplace_back(WM_KEYUP, c); }
    void OnChar(UINT c, UINT, UINT) { m_keys.emplace_back(WM_CHAR, c); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CKeyLog, CWnd)
    ON_WM_KEYDOWN()
    ON_WM_KEYUP()
    ON_WM_CHAR()
END_MESSAGE_MAP()

void Key(QWidget* w, int key, const QString& text)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(w, &release);
}

}  // namespace

TEST(WndTranslate, KeysBecomeKeyDownCharKeyUpAndPreTranslateEatsTheChar)
{
    CKeyLog wnd;
    ASSERT_TRUE(wnd.CreateEx(0, TestClass(), "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    Key(wnd.GetWidget(), Qt::Key_A, "a");
    Key(wnd.GetWidget(), Qt::Key_Return, "\r");
    Key(wnd.GetWidget(), Qt::Key_Delete, "\x7f");
    const std::vector<std::pair<UINT, UINT>> expected{
        {WM_KEYDOWN, 'A'},       {WM_CHAR, 'a'},       {WM_KEYUP, 'A'}, {WM_KEYDOWN, VK_RETURN},
        {WM_CHAR, '\r'},         {WM_KEYUP, VK_RETURN}, {WM_KEYDOWN, VK_DELETE}, {WM_KEYUP, VK_DELETE}};
    EXPECT_EQ(wnd.m_keys, expected);

    wnd.m_keys.clear();
    wnd.m_eatReturnInPreTranslate = true;
    Key(wnd.GetWidget(), Qt::Key_Return, "\r");
    const std::vector<std::pair<UINT, UINT>> eaten{{WM_KEYUP, VK_RETURN}};
    EXPECT_EQ(wnd.m_keys, eaten);
    wnd.DestroyWindow();
}

TEST(WndTranslate, KeyStateFollowsEvents)
{
    CWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, TestClass(), "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Shift, Qt::ShiftModifier);
    QApplication::sendEvent(wnd.GetWidget(), &press);
    EXPECT_LT(GetKeyState(VK_SHIFT), 0);
    EXPECT_NE(GetAsyncKeyState(VK_SHIFT) & 0x8000, 0);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Shift, Qt::NoModifier);
    QApplication::sendEvent(wnd.GetWidget(), &release);
    EXPECT_GE(GetKeyState(VK_SHIFT), 0);
    wnd.DestroyWindow();
}
