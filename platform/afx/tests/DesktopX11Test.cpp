// The window layer under a window manager (Xvfb and openbox, driven by
// xdotool): a modal sheet stays above its owner, a nested dialog gives the
// activation back to the sheet, Ctrl+Tab switches pages, and the keypad keys
// arrive with their Windows codes.
#include "platform/afx/Afx.h"
#include "platform/afx/CommCtrl.h"
#include "platform/afx/PropertySheet.h"
#include "platform/afx/tests/X11TestSupport.h"

#include <QTimer>
#include <QWindow>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using namespace x11test;

constexpr UINT kPage1 = 9401, kPage2 = 9402, kPage3 = 9403, kNested = 9404;
constexpr UINT kEdit = 1001;
constexpr QRgb kOwnerRed = 0xFF0000;

const qlafx::DialogTemplate kDialogs[] = {
    {kPage1, WS_CHILD | DS_SETFONT, 0, 0, 0, 180, 80, "First", "MS Shell Dlg", 8,
     {{"Edit", "", kEdit, 7, 7, 80, 14, WS_VISIBLE | WS_TABSTOP | WS_BORDER}}},
    {kPage2, WS_CHILD | DS_SETFONT, 0, 0, 0, 180, 80, "Second", "MS Shell Dlg", 8,
     {{"Button", "Show &grid", 1002, 7, 7, 80, 10, WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX}}},
    {kPage3, WS_CHILD | DS_SETFONT, 0, 0, 0, 180, 80, "Third", "MS Shell Dlg", 8, {}},
    {kNested, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT, 0, 0, 0, 120, 50, "Nested",
     "MS Shell Dlg", 8,
     {{"Button", "OK", IDOK, 7, 30, 50, 14, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON},
      {"Button", "Cancel", IDCANCEL, 63, 30, 50, 14, WS_VISIBLE | WS_TABSTOP}}},
};
const qlafx::ResourceTable kTable{.dialogs = kDialogs};
qlafx::ResourceRegistrar kRegister(kTable);

// Runs steps once the modal loop of the dialog with this caption runs.
class ModalSteps {
public:
    ModalSteps()
    {
        qlafx::SetModalHook([this](CWnd* dlg, const char* caption, const char*, UINT) {
            for (auto& [name, steps] : m_steps)
                if (name == caption) {
                    QTimer::singleShot(0, [dlg, fn = steps] { fn(dlg); });
                    return qlafx::kModalRun;
                }
            return qlafx::kModalRun;
        });
    }
    ~ModalSteps() { qlafx::SetModalHook({}); }
    void On(const std::string& caption, std::function<void(CWnd*)> steps)
    {
        m_steps.emplace_back(caption, std::move(steps));
    }

private:
    std::vector<std::pair<std::string, std::function<void(CWnd*)>>> m_steps;
};

// The owner: a red frame, so the screen shows whether it covers the sheet.
class OwnerFrame : public CWnd {
public:
    BOOL Make()
    {
        static HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
        return CreateEx(0, AfxRegisterWndClass(0, nullptr, red), "Owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40,
                        760, 560, nullptr, nullptr);
    }
};

struct Sheet {
    CPropertyPage first{kPage1}, second{kPage2}, third{kPage3};
    CPropertySheet sheet;
    explicit Sheet(CWnd* owner) : sheet("Sheet", owner)
    {
        sheet.AddPage(&first);
        sheet.AddPage(&second);
        sheet.AddPage(&third);
    }
};

// A point of the owner's client area that the sheet does not cover.
QPoint UncoveredPoint(QWidget* owner, QWidget* sheet)
{
    const QRect covered = sheet->frameGeometry().adjusted(-10, -10, 10, 10);
    for (QPoint p : {QPoint(15, 15), QPoint(owner->width() - 15, 15), QPoint(15, owner->height() - 15),
                     QPoint(owner->width() - 15, owner->height() - 15)}) {
        const QPoint global = owner->mapToGlobal(p);
        if (!covered.contains(global))
            return global;
    }
    return owner->mapToGlobal(QPoint(2, 2));
}

// The sheet is the active window and above its owner: its middle shows no red.
void ExpectSheetOnTop(QWidget* sheet, QWidget* owner, const char* when)
{
    EXPECT_TRUE(sheet->isActiveWindow()) << when;
    EXPECT_FALSE(owner->isActiveWindow()) << when;
    EXPECT_EQ(ActiveWindowId(), sheet->winId()) << when << ": the window manager's active window";
    EXPECT_NE(ScreenPixel(CentreOf(sheet)), kOwnerRed) << when;
}

TEST(X11Modal, SheetStaysAboveItsOwnerAfterAClickAndAfterANestedDialog)
{
    WmBarrier barrier;
    OwnerFrame owner;
    ASSERT_TRUE(owner.Make());
    ASSERT_TRUE(WaitManaged(owner.GetWidget()));
    Sheet s(&owner);
    ModalSteps steps;
    bool ran = false;
    steps.On("Sheet", [&](CWnd* dlg) {
        QWidget* sheet = dlg->GetWidget();
        QWidget* frame = owner.GetWidget();
        ASSERT_TRUE(WaitManaged(sheet));
        ASSERT_TRUE(WaitActive(sheet));
        // A click on the disabled owner neither raises nor activates it.
        ASSERT_TRUE(ClickAt(UncoveredPoint(frame, sheet)));
        ASSERT_TRUE(barrier.Sync());
        ExpectSheetOnTop(sheet, frame, "after a click on the owner");

        // A nested dialog, closed with Esc, gives the activation back to the sheet.
        CDialog nested(kNested, s.sheet.GetActivePage());
        steps.On("Nested", [&](CWnd* n) {
            ASSERT_TRUE(WaitManaged(n->GetWidget()));
            ASSERT_TRUE(WaitActive(n->GetWidget()));
            EXPECT_EQ(n->GetWidget()->windowHandle()->transientParent(), sheet->windowHandle());
            PressKeys("Escape");
        });
        EXPECT_EQ(nested.DoModal(), IDCANCEL);
        EXPECT_TRUE(PumpUntil([&] { return sheet->isActiveWindow() || frame->isActiveWindow(); }));
        ASSERT_TRUE(barrier.Sync());
        ExpectSheetOnTop(sheet, frame, "after the nested dialog closed");
        ASSERT_TRUE(ClickAt(UncoveredPoint(frame, sheet)));
        ASSERT_TRUE(barrier.Sync());
        ExpectSheetOnTop(sheet, frame, "after a second click on the owner");
        SaveScreenshot("modal-sheet");
        ran = true;
        s.sheet.EndDialog(IDCANCEL);
    });
    s.sheet.DoModal();
    EXPECT_TRUE(ran);
    owner.DestroyWindow();
}

TEST(X11Keyboard, CtrlTabAndCtrlPageKeysSwitchPagesWithFocusOnTheTabs)
{
    WmBarrier barrier;
    OwnerFrame owner;
    ASSERT_TRUE(owner.Make());
    Sheet s(&owner);
    ModalSteps steps;
    std::vector<int> pages;
    bool focusOnTabs = true;
    steps.On("Sheet", [&](CWnd* dlg) {
        auto* sheet = static_cast<CPropertySheet*>(dlg);
        ASSERT_TRUE(WaitManaged(sheet->GetWidget()));
        ASSERT_TRUE(WaitActive(sheet->GetWidget()));
        struct Step {
            const char* keys;
            int page;
        } keys[] = {{"ctrl+Tab", 1}, {"ctrl+Next", 2}, {"ctrl+Tab", 0}, {"ctrl+shift+Tab", 2}, {"ctrl+Prior", 1}};
        for (const Step& k : keys) {
            ASSERT_TRUE(PressKeys(k.keys));
            EXPECT_TRUE(PumpUntil([&] { return sheet->GetActiveIndex() == k.page; })) << k.keys;
            pages.push_back(sheet->GetActiveIndex());
            CWnd* tabs = sheet->GetTabControl();
            focusOnTabs = focusOnTabs && tabs && ::GetFocus() == tabs->m_hWnd;
        }
        sheet->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        qlafx::ProcessPendingEvents();
        SaveScreenshot("sheet-pages");
        sheet->EndDialog(IDCANCEL);
    });
    s.sheet.DoModal();
    EXPECT_EQ(pages, (std::vector<int>{1, 2, 0, 2, 1}));
    EXPECT_TRUE(focusOnTabs);
    owner.DestroyWindow();
}

// Key downs with what GetKeyState said of Ctrl at the time.
class KeyLog : public CWnd {
public:
    struct Key {
        UINT vk;
        UINT scan;
        bool extended;
        bool ctrl;
    };
    std::vector<Key> m_keys;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_KEYDOWN && wParam != VK_CONTROL && wParam != VK_SHIFT) {
            const DWORD lp = static_cast<DWORD>(lParam);
            m_keys.push_back({static_cast<UINT>(wParam), (lp >> 16) & 0xFF, ((lp >> 24) & 1) != 0,
                              ::GetKeyState(VK_CONTROL) < 0});
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

TEST(X11Keyboard, KeypadAndZoomKeysArriveWithWindowsCodes)
{
    WmBarrier barrier;
    KeyLog wnd;
    ASSERT_TRUE(wnd.CreateEx(0, TestClass(), "Keys", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 60, 60, 300, 200, nullptr,
                             nullptr));
    wnd.GetWidget()->setFocusPolicy(Qt::StrongFocus);
    ASSERT_TRUE(WaitManaged(wnd.GetWidget()));
    ASSERT_TRUE(WaitActive(wnd.GetWidget()));
    wnd.SetFocus();
    struct Case {
        const char* keys;
        UINT vk;
        UINT scan;
        bool extended;
        bool ctrl;
    } cases[] = {
        {"KP_Left", VK_LEFT, 0x4B, false, false},   // Num Lock off: the keypad's arrow
        {"Left", VK_LEFT, 0x4B, true, false},       // the separate arrow key
        {"KP_Up", VK_UP, 0x48, false, false},
        {"Down", VK_DOWN, 0x50, true, false},
        {"KP_Enter", VK_RETURN, 0x1C, true, false},
        {"Return", VK_RETURN, 0x1C, false, false},
        {"KP_Add", VK_ADD, 0x4E, false, false},
        {"ctrl+KP_Add", VK_ADD, 0x4E, false, true},
        {"ctrl+plus", VK_OEM_PLUS, 0x0D, false, true},
        {"ctrl+minus", VK_OEM_MINUS, 0x0C, false, true},
    };
    for (const Case& c : cases) {
        const size_t before = wnd.m_keys.size();
        ASSERT_TRUE(PressKeys(c.keys));
        ASSERT_TRUE(PumpUntil([&] { return wnd.m_keys.size() > before; })) << c.keys;
        const KeyLog::Key& k = wnd.m_keys[before];
        EXPECT_EQ(k.vk, c.vk) << c.keys;
        EXPECT_EQ(k.scan, c.scan) << c.keys;
        EXPECT_EQ(k.extended, c.extended) << c.keys;
        EXPECT_EQ(k.ctrl, c.ctrl) << c.keys;
    }
    SaveScreenshot("keypad-keys");
    wnd.DestroyWindow();
}

// A frame that notes its sizes and the messages posted to it.
class SizeLog : public CWnd {
public:
    std::vector<CSize> m_sizes;
    int m_posted = 0;
    int m_paints = 0;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        if (msg == WM_SIZE)
            m_sizes.emplace_back(LOWORD(lParam), HIWORD(lParam));
        else if (msg == WM_APP)
            ++m_posted;
        else if (msg == WM_PAINT)
            ++m_paints;
        return CWnd::WindowProc(msg, wParam, lParam);
    }
};

// As on Windows, a maximised frame has its size when ShowWindow returns (a
// photo opened next is fitted to it), and nothing posted or painted arrives
// while the window manager is waited for.
TEST(X11Frame, MaximiseIsDoneWhenShowWindowReturns)
{
    SizeLog frame;
    ASSERT_TRUE(frame.CreateEx(0, AfxRegisterWndClass(0), "Maximised", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 400,
                               300, nullptr, nullptr));
    ASSERT_TRUE(WaitManaged(frame.GetWidget()));
    PumpUntil([&] { return frame.m_paints > 0; });
    frame.PostMessage(WM_APP);
    const int paints = frame.m_paints;
    frame.ShowWindow(SW_MAXIMIZE);
    CRect client;
    frame.GetClientRect(&client);
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_GT(client.Width(), area.width() * 9 / 10);
    EXPECT_GT(client.Height(), area.height() * 8 / 10);
    ASSERT_FALSE(frame.m_sizes.empty());
    EXPECT_EQ(frame.m_sizes.back(), client.Size());
    EXPECT_EQ(frame.m_posted, 0);
    EXPECT_EQ(frame.m_paints, paints);
    EXPECT_TRUE(PumpUntil([&] { return frame.m_posted == 1 && frame.m_paints > paints; }));
    SaveScreenshot("maximised-frame");
    frame.DestroyWindow();
}

}  // namespace
