// What the layer owes the desktop that the offscreen platform can show:
// window types and hints, modality, placement, disabled windows taking no
// input, and the keyboard (keypad codes, mnemonics, property-sheet pages,
// F10, Shift+F10 and the Menu key).
#include "platform/afx/Afx.h"
#include "platform/afx/CommCtrl.h"
#include "platform/afx/PropertySheet.h"
#include "platform/afx/tests/WndTestSupport.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMouseEvent>
#include <QScreen>
#include <QWheelEvent>
#include <QWindow>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr UINT kDlgFixed = 9301, kDlgSizable = 9302, kDlgKeys = 9303, kPage1 = 9304, kPage2 = 9305, kPage3 = 9306;
constexpr UINT kEdit = 1001, kGrid = 1002, kApply = 1003, kLocked = 1004, kSmall = 1005, kLarge = 1006;

const qlafx::DialogTemplate kDialogs[] = {
    {kDlgFixed, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT, 0, 0, 0, 120, 60, "Fixed",
     "MS Shell Dlg", 8, {{"Button", "OK", IDOK, 60, 40, 50, 14, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON}}},
    {kDlgSizable, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | DS_SETFONT,
     0, 0, 0, 120, 60, "Sizable", "MS Shell Dlg", 8, {}},
    {kDlgKeys, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_SETFONT, 0, 0, 0, 200, 120, "Keys", "MS Shell Dlg", 8,
     {
         {"Static", "&Name:", 0xFFFF, 7, 7, 30, 8, WS_VISIBLE},
         {"Edit", "", kEdit, 40, 5, 80, 14, WS_VISIBLE | WS_TABSTOP | WS_BORDER},
         {"Button", "Show &grid", kGrid, 7, 25, 80, 10, WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX},
         {"Button", "&Locked", kLocked, 7, 40, 80, 10, WS_VISIBLE | WS_DISABLED | WS_TABSTOP | BS_AUTOCHECKBOX},
         {"Button", "&Small", kSmall, 100, 25, 60, 10, WS_VISIBLE | WS_TABSTOP | WS_GROUP | BS_AUTORADIOBUTTON},
         {"Button", "La&rge", kLarge, 100, 40, 60, 10, WS_VISIBLE | BS_AUTORADIOBUTTON},
         {"Button", "&Apply", kApply, 30, 100, 50, 14, WS_VISIBLE | WS_TABSTOP | WS_GROUP},
         {"Button", "OK", IDOK, 85, 100, 50, 14, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON},
         {"Button", "Cancel", IDCANCEL, 140, 100, 50, 14, WS_VISIBLE | WS_TABSTOP},
     }},
    {kPage1, WS_CHILD | DS_SETFONT, 0, 0, 0, 150, 60, "One", "MS Shell Dlg", 8,
     {{"Edit", "", kEdit, 7, 7, 80, 14, WS_VISIBLE | WS_TABSTOP | WS_BORDER}}},
    {kPage2, WS_CHILD | DS_SETFONT, 0, 0, 0, 150, 60, "Two", "MS Shell Dlg", 8,
     {{"Button", "Show &grid", kGrid, 7, 7, 80, 10, WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX}}},
    {kPage3, WS_CHILD | DS_SETFONT, 0, 0, 0, 150, 60, "Three", "MS Shell Dlg", 8, {}},
};
const qlafx::ResourceTable kTable{.dialogs = kDialogs};
qlafx::ResourceRegistrar kRegister(kTable);

class HookGuard {
public:
    explicit HookGuard(qlafx::ModalHook hook) { qlafx::SetModalHook(std::move(hook)); }
    ~HookGuard() { qlafx::SetModalHook({}); }
};

// Presses and releases a key on the window with the focus, modifiers held as
// key presses of their own so GetKeyState sees them.
void SendKey(int key, Qt::KeyboardModifiers mods = {}, const QString& text = QString())
{
    QWidget* w = qlafx::WidgetOf(::GetFocus());
    ASSERT_NE(w, nullptr);
    static const std::pair<Qt::KeyboardModifier, int> kMods[] = {
        {Qt::ControlModifier, Qt::Key_Control}, {Qt::ShiftModifier, Qt::Key_Shift}, {Qt::AltModifier, Qt::Key_Alt}};
    Qt::KeyboardModifiers held;
    for (const auto& [mod, modKey] : kMods)
        if (mods & mod) {
            held |= mod;
            QKeyEvent e(QEvent::KeyPress, modKey, held);
            QApplication::sendEvent(w, &e);
        }
    QKeyEvent press(QEvent::KeyPress, key, mods, text);
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, key, mods, text);
    QApplication::sendEvent(w, &release);
    for (const auto& [mod, modKey] : kMods)
        if (mods & mod) {
            held &= ~mod;
            QKeyEvent e(QEvent::KeyRelease, modKey, held);
            QApplication::sendEvent(w, &e);
        }
}

// ---- window types, hints, modality, placement ----

TEST(DesktopWindows, DialogIsATransientWindowWithTheHintsOfItsStyle)
{
    CWnd owner;
    ASSERT_TRUE(owner.CreateEx(0, TestClass(), "Owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 400, 300, nullptr,
                               nullptr));
    struct Case {
        UINT id;
        bool fixed;
        Qt::WindowFlags present;
        Qt::WindowFlags absent;
    } cases[] = {
        {kDlgFixed, true, Qt::WindowCloseButtonHint | Qt::WindowSystemMenuHint,
         Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint},
        {kDlgSizable, false,
         Qt::WindowCloseButtonHint | Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint, {}},
    };
    for (const Case& c : cases) {
        CDialog dlg;
        ASSERT_TRUE(dlg.Create(c.id, &owner));
        dlg.ShowWindow(SW_SHOW);
        QWidget* w = dlg.GetWidget();
        EXPECT_EQ(w->windowType(), Qt::Dialog) << c.id;
        EXPECT_EQ(w->parentWidget(), owner.GetWidget()) << c.id;
        ASSERT_NE(w->windowHandle(), nullptr);
        EXPECT_EQ(w->windowHandle()->transientParent(), owner.GetWidget()->windowHandle()) << c.id;
        EXPECT_EQ(w->windowFlags() & c.present, c.present) << c.id;
        EXPECT_EQ(w->windowFlags() & c.absent, Qt::WindowFlags()) << c.id;
        EXPECT_EQ(w->minimumSize() == w->maximumSize(), c.fixed) << c.id;
        // The program still sizes a fixed dialog as it likes.
        dlg.SetWindowPos(nullptr, 0, 0, 300, 120, SWP_NOMOVE | SWP_NOZORDER);
        CRect rc;
        dlg.GetWindowRect(&rc);
        EXPECT_EQ(rc.Width(), 300) << c.id;
        EXPECT_EQ(rc.Height(), 120) << c.id;
        EXPECT_EQ(w->minimumSize() == w->maximumSize(), c.fixed) << c.id;
        dlg.DestroyWindow();
    }
    owner.DestroyWindow();
}

TEST(DesktopWindows, FramedWindowOpensInsideTheAvailableArea)
{
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    struct Case {
        int x, y;
    } cases[] = {{area.right() + 500, area.bottom() + 500}, {area.left() - 900, area.top() - 700}};
    for (const Case& c : cases) {
        CWnd wnd;
        ASSERT_TRUE(wnd.CreateEx(0, TestClass(), "Far", WS_OVERLAPPEDWINDOW, c.x, c.y, 200, 150, nullptr, nullptr));
        wnd.ShowWindow(SW_SHOW);
        CRect rc;
        wnd.GetWindowRect(&rc);
        EXPECT_TRUE(area.contains(QRect(rc.left, rc.top, rc.Width(), rc.Height())))
            << c.x << "," << c.y << " placed at " << rc.left << "," << rc.top << " " << rc.Width() << "x" << rc.Height();
        wnd.DestroyWindow();
    }
}

// SetWindowPos and MoveWindow size a top-level window's frame, as
// GetWindowRect reports it, shown or not, framed or not; the client is what
// the frame leaves, and reading the rectangle back and setting it changes
// nothing.
TEST(DesktopWindows, MoveWindowGivesTheWindowExactlyTheSizeAsked)
{
    const struct {
        const char* name;
        DWORD style;
        bool shown;
    } cases[] = {{"overlapped", WS_OVERLAPPEDWINDOW, true},
                 {"dialog frame", WS_POPUP | WS_CAPTION | WS_SYSMENU, true},
                 {"frameless pop-up", WS_POPUP, true},
                 {"hidden overlapped", WS_OVERLAPPEDWINDOW, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CWnd wnd;
        ASSERT_TRUE(wnd.CreateEx(0, TestClass(), "Sized", c.style, 40, 40, 200, 150, nullptr, nullptr));
        if (c.shown)
            wnd.ShowWindow(SW_SHOW);
        wnd.MoveWindow(50, 60, 300, 200);
        CRect window, client;
        wnd.GetWindowRect(&window);
        EXPECT_EQ(window, CRect(50, 60, 350, 260));
        const QWidget* w = qlafx::WidgetOf(wnd.m_hWnd);
        const QSize frame = w->frameGeometry().size() - w->size();
        wnd.GetClientRect(&client);
        EXPECT_EQ(client.Size(), CSize(300 - frame.width(), 200 - frame.height()));
        wnd.SetWindowPos(nullptr, 0, 0, 320, 210, SWP_NOMOVE | SWP_NOZORDER);
        wnd.GetWindowRect(&window);
        EXPECT_EQ(window, CRect(50, 60, 370, 270));
        wnd.MoveWindow(&window);
        CRect again;
        wnd.GetWindowRect(&again);
        EXPECT_EQ(again, window);
        // Shown later, a window sized while hidden keeps the size asked.
        wnd.ShowWindow(SW_SHOW);
        wnd.GetWindowRect(&again);
        EXPECT_EQ(again.Size(), window.Size());
        wnd.DestroyWindow();
    }
}

// Records, when the dialog hides, whether its owner was enabled again by then.
class CWatchDialog : public CDialog {
public:
    using CDialog::CDialog;
    HWND m_owner = nullptr;
    int m_ownerEnabledAtHide = -1;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_SHOWWINDOW && !wParam && m_ownerEnabledAtHide < 0)
            m_ownerEnabledAtHide = ::IsWindowEnabled(m_owner) ? 1 : 0;
        return CDialog::WindowProc(message, wParam, lParam);
    }
};

TEST(DesktopWindows, ModalDialogIsApplicationModalAndEnablesItsOwnerBeforeHiding)
{
    CWnd owner;
    ASSERT_TRUE(owner.CreateEx(0, TestClass(), "Owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 400, 300, nullptr,
                               nullptr));
    CWatchDialog dlg(kDlgFixed, &owner);
    dlg.m_owner = owner.m_hWnd;
    Qt::WindowModality modality = Qt::NonModal;
    bool ownerDisabled = false;
    bool dialogTakesInput = false;
    HookGuard guard([&](CWnd* d, const char*, const char*, UINT) {
        modality = d->GetWidget()->windowModality();
        ownerDisabled = !owner.IsWindowEnabled();
        // Disabling the owner leaves the dialog it owns, and its controls, enabled.
        dialogTakesInput = d->GetWidget()->isEnabled() && qlafx::WidgetOf(::GetDlgItem(*d, IDOK))->isEnabled();
        return IDOK;
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(modality, Qt::ApplicationModal);
    EXPECT_TRUE(ownerDisabled);
    EXPECT_TRUE(dialogTakesInput);
    EXPECT_EQ(dlg.m_ownerEnabledAtHide, 1);
    EXPECT_TRUE(owner.IsWindowEnabled());
    owner.DestroyWindow();
}

TEST(DesktopWindows, DialogOpenedFromASheetPageIsOwnedByTheSheet)
{
    CWnd frame;
    ASSERT_TRUE(frame.CreateEx(0, TestClass(), "Frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 500, 400, nullptr,
                               nullptr));
    CPropertyPage one(kPage1), two(kPage2);
    CPropertySheet sheet("Sheet", &frame);
    sheet.AddPage(&one);
    sheet.AddPage(&two);
    QWidget* nestedParent = nullptr;
    QWidget* sheetWidget = nullptr;
    bool frameEnabledAfter = true;
    bool sheetEnabledAfter = false;
    HookGuard guard([&](CWnd* d, const char* caption, const char*, UINT) {
        if (std::string(caption) == "Fixed") {
            nestedParent = d->GetWidget()->parentWidget();
            return IDOK;
        }
        sheetWidget = d->GetWidget();
        CDialog nested(kDlgFixed, static_cast<CPropertySheet*>(d)->GetActivePage());
        nested.DoModal();
        frameEnabledAfter = frame.IsWindowEnabled();
        sheetEnabledAfter = d->IsWindowEnabled();
        return IDCANCEL;
    });
    sheet.DoModal();
    EXPECT_NE(nestedParent, nullptr);
    EXPECT_EQ(nestedParent, sheetWidget);
    EXPECT_FALSE(frameEnabledAfter) << "the frame stays disabled under the sheet";
    EXPECT_TRUE(sheetEnabledAfter);
    frame.DestroyWindow();
}

// ---- disabled windows ----

class CInputLog : public CWnd {
public:
    std::vector<UINT> m_msgs;
    int Inputs() const
    {
        int n = 0;
        for (UINT m : m_msgs)
            n += (m >= WM_KEYFIRST && m <= WM_KEYLAST) || (m >= WM_MOUSEFIRST && m <= WM_MOUSELAST) ||
                 m == WM_CONTEXTMENU;
        return n;
    }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        m_msgs.push_back(message);
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

void SendEveryInput(QWidget* w)
{
    const QPointF at(5, 5), global = w->mapToGlobal(QPointF(5, 5));
    for (QEvent::Type t : {QEvent::MouseMove, QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                           QEvent::MouseButtonDblClick}) {
        QMouseEvent e(t, at, global, t == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                      t == QEvent::MouseButtonRelease || t == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                      Qt::NoModifier);
        QApplication::sendEvent(w, &e);
    }
    QWheelEvent wheel(at, global, QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &wheel);
    for (QEvent::Type t : {QEvent::KeyPress, QEvent::KeyRelease}) {
        QKeyEvent e(t, Qt::Key_A, Qt::NoModifier, "a");
        QApplication::sendEvent(w, &e);
    }
    QContextMenuEvent menu(QContextMenuEvent::Mouse, QPoint(5, 5), global.toPoint());
    QApplication::sendEvent(w, &menu);
}

TEST(DesktopInput, DisabledWindowOrAncestorGetsNoInput)
{
    struct Case {
        const char* name;
        bool disableParent;
        bool disableChild;
        bool expectInput;
    } cases[] = {
        {"enabled", false, false, true},
        {"child disabled", false, true, false},
        {"parent disabled", true, false, false},
    };
    for (const Case& c : cases) {
        CWnd parent;
        ASSERT_TRUE(parent.CreateEx(0, TestClass(), "", WS_POPUP | WS_VISIBLE, 0, 0, 200, 200, nullptr, nullptr));
        CInputLog child;
        ASSERT_TRUE(child.CreateEx(0, TestClass(), "", WS_CHILD | WS_VISIBLE, 10, 10, 50, 50, parent.m_hWnd,
                                   reinterpret_cast<HMENU>(7)));
        CWnd other;
        ASSERT_TRUE(other.CreateEx(0, TestClass(), "", WS_CHILD | WS_VISIBLE, 100, 10, 50, 50, parent.m_hWnd,
                                   reinterpret_cast<HMENU>(8)));
        other.SetFocus();
        if (c.disableChild)
            child.EnableWindow(FALSE);
        if (c.disableParent)
            parent.EnableWindow(FALSE);
        child.m_msgs.clear();
        SendEveryInput(child.GetWidget());
        EXPECT_EQ(child.Inputs() > 0, c.expectInput) << c.name;
        if (!c.expectInput)
            EXPECT_NE(::GetFocus(), child.m_hWnd) << c.name;
        parent.DestroyWindow();
    }
}

// ---- keyboard ----

class CKeyParams : public CWnd {
public:
    std::vector<MSG> m_keys;
    std::vector<LPARAM> m_contextMenus;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_KEYDOWN || message == WM_SYSKEYDOWN)
            m_keys.push_back(MSG{m_hWnd, message, wParam, lParam, 0, {0, 0}});
        if (message == WM_CONTEXTMENU) {
            m_contextMenus.push_back(lParam);
            return 0;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

TEST(DesktopKeys, KeypadAndExtendedKeysCarryWindowsCodesAndFlags)
{
    struct Case {
        int key;
        Qt::KeyboardModifiers mods;
        UINT vk;
        UINT scan;
        bool extended;
    } cases[] = {
        {Qt::Key_Left, {}, VK_LEFT, 0x4B, true},
        {Qt::Key_Left, Qt::KeypadModifier, VK_LEFT, 0x4B, false},
        {Qt::Key_Up, Qt::KeypadModifier, VK_UP, 0x48, false},
        {Qt::Key_PageDown, {}, VK_NEXT, 0x51, true},
        {Qt::Key_Home, Qt::KeypadModifier, VK_HOME, 0x47, false},
        {Qt::Key_Delete, {}, VK_DELETE, 0x53, true},
        {Qt::Key_Clear, Qt::KeypadModifier, VK_CLEAR, 0x4C, false},
        {Qt::Key_5, Qt::KeypadModifier, VK_NUMPAD5, 0x4C, false},
        {Qt::Key_0, Qt::KeypadModifier, VK_NUMPAD0, 0x52, false},
        {Qt::Key_Enter, Qt::KeypadModifier, VK_RETURN, 0x1C, true},
        {Qt::Key_Return, {}, VK_RETURN, 0x1C, false},
        {Qt::Key_Slash, Qt::KeypadModifier, VK_DIVIDE, 0x35, true},
        {Qt::Key_Plus, Qt::KeypadModifier, VK_ADD, 0x4E, false},
    };
    CKeyParams wnd;
    ASSERT_TRUE(wnd.CreateEx(0, TestClass(), "", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr));
    wnd.SetFocus();
    for (const Case& c : cases) {
        wnd.m_keys.clear();
        QKeyEvent press(QEvent::KeyPress, c.key, c.mods);
        QApplication::sendEvent(wnd.GetWidget(), &press);
        QKeyEvent release(QEvent::KeyRelease, c.key, c.mods);
        QApplication::sendEvent(wnd.GetWidget(), &release);
        ASSERT_EQ(wnd.m_keys.size(), 1u) << std::hex << c.key;
        const DWORD lp = static_cast<DWORD>(wnd.m_keys[0].lParam);
        EXPECT_EQ(wnd.m_keys[0].wParam, c.vk) << std::hex << c.key;
        EXPECT_EQ((lp >> 16) & 0xFF, c.scan) << std::hex << c.key;
        EXPECT_EQ(((lp >> 24) & 1) != 0, c.extended) << std::hex << c.key;
    }
    wnd.DestroyWindow();
}

TEST(DesktopKeys, ShiftF10AndMenuKeyAskForTheContextMenuAtNoPoint)
{
    CWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, TestClass(), "", WS_POPUP | WS_VISIBLE, 0, 0, 200, 200, nullptr, nullptr));
    CKeyParams wnd;
    ASSERT_TRUE(wnd.CreateEx(0, TestClass(), "", WS_CHILD | WS_VISIBLE, 0, 0, 100, 100, parent.m_hWnd,
                             reinterpret_cast<HMENU>(5)));
    wnd.GetWidget()->setFocusPolicy(Qt::StrongFocus);
    wnd.SetFocus();
    const LPARAM none = MAKELPARAM(0xFFFF, 0xFFFF);
    SendKey(Qt::Key_F10, Qt::ShiftModifier);
    ASSERT_EQ(wnd.m_contextMenus.size(), 1u);
    EXPECT_EQ(wnd.m_contextMenus[0], none);
    SendKey(Qt::Key_Menu);
    // Qt's own keyboard context-menu event adds no second message.
    QContextMenuEvent fromKeyboard(QContextMenuEvent::Keyboard, QPoint(3, 3), wnd.GetWidget()->mapToGlobal(QPoint(3, 3)));
    QApplication::sendEvent(wnd.GetWidget(), &fromKeyboard);
    ASSERT_EQ(wnd.m_contextMenus.size(), 2u);
    EXPECT_EQ(wnd.m_contextMenus[1], none);
    // A plain F10 is no context menu.
    SendKey(Qt::Key_F10);
    EXPECT_EQ(wnd.m_contextMenus.size(), 2u);
    parent.DestroyWindow();
}

TEST(DesktopKeys, F10OpensTheMenuBar)
{
    CKeyParams frame;
    ASSERT_TRUE(frame.CreateEx(0, TestClass(), "Frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200, nullptr,
                               nullptr));
    HMENU bar = CreateMenu(), file = CreatePopupMenu();
    AppendMenu(file, MF_STRING, 100, "&Open");
    AppendMenu(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "&File");
    ASSERT_TRUE(SetMenu(frame.m_hWnd, bar));
    frame.GetWidget()->setFocusPolicy(Qt::StrongFocus);
    frame.SetFocus();
    QMenuBar* qbar = qlafx::MenuBarOf(frame.m_hWnd);
    ASSERT_NE(qbar, nullptr);
    EXPECT_EQ(qbar->activeAction(), nullptr);
    SendKey(Qt::Key_F10);
    EXPECT_NE(qbar->activeAction(), nullptr);
    if (QAction* a = qbar->activeAction(); a && a->menu())
        a->menu()->close();
    frame.DestroyWindow();
}

// The dialog with the mnemonics, its commands recorded.
class CKeysDialog : public CDialog {
public:
    CKeysDialog() : CDialog(kDlgKeys) {}
    std::vector<UINT> m_commands;

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override
    {
        if (HIWORD(static_cast<DWORD>(wParam)) == BN_CLICKED)
            m_commands.push_back(LOWORD(static_cast<DWORD>(wParam)));
        return CDialog::OnCommand(wParam, lParam);
    }
};

TEST(DesktopKeys, MnemonicsActAsTheDialogManagerDoes)
{
    CKeysDialog dlg;
    ASSERT_TRUE(dlg.Create(kDlgKeys, nullptr));
    dlg.ShowWindow(SW_SHOW);
    const HWND edit = ::GetDlgItem(dlg, kEdit), grid = ::GetDlgItem(dlg, kGrid), apply = ::GetDlgItem(dlg, kApply),
               large = ::GetDlgItem(dlg, kLarge), locked = ::GetDlgItem(dlg, kLocked);
    ::SetFocus(apply);

    // Alt+G: the check box takes focus and is clicked.
    SendKey(Qt::Key_G, Qt::AltModifier, "g");
    EXPECT_EQ(::GetFocus(), grid);
    EXPECT_EQ(::IsDlgButtonChecked(dlg, kGrid), static_cast<UINT>(BST_CHECKED));
    // Alt+A: the push button is pressed, the focus stays.
    SendKey(Qt::Key_A, Qt::AltModifier, "a");
    EXPECT_EQ(dlg.m_commands, (std::vector<UINT>{kGrid, kApply}));
    // Alt+N: a label hands the focus to the control after it.
    SendKey(Qt::Key_N, Qt::AltModifier, "n");
    EXPECT_EQ(::GetFocus(), edit);
    // A plain letter goes to the edit box that takes characters...
    dlg.m_commands.clear();
    SendKey(Qt::Key_A, {}, "a");
    EXPECT_TRUE(dlg.m_commands.empty());
    EXPECT_EQ(qlafx::WindowTextOf(edit), "a");
    // ...and acts as a mnemonic where the focus takes none.
    ::SetFocus(grid);
    SendKey(Qt::Key_R, {}, "r");
    EXPECT_EQ(::GetFocus(), large);
    EXPECT_EQ(::IsDlgButtonChecked(dlg, kLarge), static_cast<UINT>(BST_CHECKED));
    // A disabled control's mnemonic does nothing.
    SendKey(Qt::Key_L, Qt::AltModifier, "l");
    EXPECT_NE(::GetFocus(), locked);
    EXPECT_EQ(::IsDlgButtonChecked(dlg, kLocked), static_cast<UINT>(BST_UNCHECKED));
    dlg.DestroyWindow();
}

TEST(DesktopKeys, CtrlTabAndCtrlPageKeysSwitchSheetPages)
{
    CPropertyPage one(kPage1), two(kPage2), three(kPage3);
    CPropertySheet sheet("Sheet");
    sheet.AddPage(&one);
    sheet.AddPage(&two);
    sheet.AddPage(&three);
    struct Step {
        int key;
        Qt::KeyboardModifiers mods;
        int page;
    } steps[] = {
        {Qt::Key_Tab, Qt::ControlModifier, 1},
        {Qt::Key_PageDown, Qt::ControlModifier, 2},
        {Qt::Key_Tab, Qt::ControlModifier, 0},  // wraps
        {Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier, 2},
        {Qt::Key_PageUp, Qt::ControlModifier, 1},
    };
    std::vector<int> pages;
    bool focusOnTabs = true;
    HookGuard guard([&](CWnd* d, const char*, const char*, UINT) {
        auto* s = static_cast<CPropertySheet*>(d);
        CWnd* tabs = s->GetTabControl();
        for (const Step& step : steps) {
            SendKey(step.key, step.mods);
            pages.push_back(s->GetActiveIndex());
            focusOnTabs = focusOnTabs && tabs && ::GetFocus() == tabs->m_hWnd;
        }
        return IDCANCEL;
    });
    sheet.DoModal();
    EXPECT_EQ(pages, (std::vector<int>{1, 2, 0, 2, 1}));
    EXPECT_TRUE(focusOnTabs);
}

}  // namespace
