#include "ControlTestSupport.h"

#include "platform/afx/Dialog.h"

#include <QTimer>

#include <cstring>

#include <gtest/gtest.h>

namespace {

constexpr UINT kDlg = 9100;
constexpr UINT kDlgNoFont = 9101;
constexpr UINT kDlgBigFont = 9102;

const qlafx::DialogTemplate kDialogs[] = {
    {kDlg, WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_SETFONT, 0, 0, 0, 200, 100, "Test dialog", "MS Shell Dlg", 8,
     {
         {"Edit", "", 100, 10, 10, 80, 14, WS_VISIBLE | WS_BORDER | WS_TABSTOP},
         {"Button", "Check", 101, 10, 30, 80, 10, WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX},
         {"Button", "A", 102, 10, 45, 40, 10, WS_VISIBLE | WS_TABSTOP | WS_GROUP | BS_AUTORADIOBUTTON},
         {"Button", "B", 103, 10, 57, 40, 10, WS_VISIBLE | BS_AUTORADIOBUTTON},
         {"Static", "label", 104, 100, 10, 60, 8, WS_VISIBLE | WS_GROUP},
         {"Button", "Hidden", 105, 100, 30, 40, 14, WS_TABSTOP},
         {"Button", "OK", IDOK, 90, 80, 50, 14, WS_VISIBLE | WS_TABSTOP | WS_GROUP | BS_DEFPUSHBUTTON},
         {"Button", "Cancel", IDCANCEL, 145, 80, 50, 14, WS_VISIBLE | WS_TABSTOP},
     }},
    {kDlgNoFont, WS_POPUP | WS_CAPTION | DS_MODALFRAME, 0, 0, 0, 200, 100, "No font", nullptr, 0,
     {{"Edit", "", 100, 10, 10, 80, 14, WS_VISIBLE | WS_BORDER | WS_TABSTOP}}},
    {kDlgBigFont, WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_SETFONT, 0, 0, 0, 200, 100, "Big", "Tahoma", 14,
     {{"Edit", "", 100, 10, 10, 80, 14, WS_VISIBLE | WS_BORDER | WS_TABSTOP},
      {"ComboBox", "", 101, 10, 30, 80, 60, WS_VISIBLE | WS_TABSTOP | CBS_DROPDOWNLIST}}},
};
const qlafx::ResourceTable kTable{.dialogs = kDialogs};
qlafx::ResourceRegistrar kRegister(kTable);

int Rounded(int a, int b, int c) { return (a * b + c / 2) / c; }

// Every modal case clears the hook it set.
class HookGuard {
public:
    explicit HookGuard(qlafx::ModalHook hook) { qlafx::SetModalHook(std::move(hook)); }
    ~HookGuard() { qlafx::SetModalHook({}); }
};

TEST(DialogTemplate, ControlsSitAtTheConvertedRectangles)
{
    CDialog dlg;
    ASSERT_TRUE(dlg.Create(kDlg, nullptr));
    HFONT font = qlafx::CreateDialogFont(kDialogs[0]);
    const SIZE base = qlafx::DialogBaseUnits(font);
    DeleteObject(font);
    // Sanity of the font's units: a 8-point face at 96 dpi.
    EXPECT_GE(base.cx, 5);
    EXPECT_LE(base.cx, 8);
    EXPECT_GE(base.cy, 12);
    EXPECT_LE(base.cy, 16);

    CRect client;
    dlg.GetClientRect(&client);
    EXPECT_EQ(client.Width(), Rounded(200, base.cx, 4));
    EXPECT_EQ(client.Height(), Rounded(100, base.cy, 8));
    for (const qlafx::DialogItem& item : kDialogs[0].items) {
        CWnd* ctl = dlg.GetDlgItem(static_cast<int>(item.id));
        ASSERT_NE(ctl, nullptr) << item.id;
        CRect rc;
        ctl->GetWindowRect(&rc);
        dlg.ScreenToClient(&rc);
        EXPECT_EQ(rc.left, Rounded(item.x, base.cx, 4)) << item.id;
        EXPECT_EQ(rc.top, Rounded(item.y, base.cy, 8)) << item.id;
        EXPECT_EQ(rc.Width(), Rounded(item.cx, base.cx, 4)) << item.id;
        EXPECT_EQ(rc.Height(), Rounded(item.cy, base.cy, 8)) << item.id;
    }
    CRect mapped(10, 10, 90, 24);
    dlg.MapDialogRect(&mapped);
    EXPECT_EQ(mapped.right, Rounded(90, base.cx, 4));
    EXPECT_EQ(dlg.GetDefID(), MAKELONG(IDOK, DC_HASDEFID));
    dlg.DestroyWindow();
}

struct DialogFontOf {
    CSize client;
    LOGFONT control;
    QString family;
};

DialogFontOf FontOfDialog(UINT id)
{
    CDialog dlg;
    DialogFontOf out{};
    if (!dlg.Create(id, nullptr))
        return out;
    CRect client;
    dlg.GetClientRect(&client);
    out.client = client.Size();
    HFONT font = reinterpret_cast<HFONT>(::SendMessage(::GetDlgItem(dlg, 100), WM_GETFONT, 0, 0));
    GetObject(font, sizeof out.control, &out.control);
    out.family = qlafx::FontOf(font).family();
    dlg.DestroyWindow();
    return out;
}

// A template that names no font is laid out and its controls lettered in the
// system dialog font, "MS Shell Dlg" 8, mapped as the other Windows faces.
TEST(DialogTemplate, TemplateWithoutFontUsesTheSystemDialogFont)
{
    const DialogFontOf none = FontOfDialog(kDlgNoFont), shell = FontOfDialog(kDlg), big = FontOfDialog(kDlgBigFont);
    EXPECT_EQ(none.client, shell.client);
    EXPECT_STREQ(none.control.lfFaceName, "MS Shell Dlg");
    EXPECT_EQ(none.control.lfHeight, shell.control.lfHeight);
    EXPECT_EQ(none.control.lfWeight, FW_NORMAL);
    LOGFONT sans{};
    sans.lfHeight = none.control.lfHeight;
    std::strcpy(sans.lfFaceName, "MS Sans Serif");
    HFONT mapped = CreateFontIndirect(&sans);
    EXPECT_EQ(none.family, qlafx::FontOf(mapped).family());
    DeleteObject(mapped);
    // A font of the template's own sizes it, so the fallback is no accident.
    EXPECT_GT(big.client.cx, none.client.cx);
}

// A drop-down combo box of a template is as high as its field in the
// dialog's font; the template's height is its list's.
TEST(DialogTemplate, ComboBoxIsAsHighAsItsFieldInTheDialogFont)
{
    CDialog dlg;
    ASSERT_TRUE(dlg.Create(kDlgBigFont, nullptr));
    QWidget* combo = qlafx::WidgetOf(::GetDlgItem(dlg, 101));
    ASSERT_NE(combo, nullptr);
    CRect rc;
    dlg.GetDlgItem(101)->GetWindowRect(&rc);
    EXPECT_EQ(rc.Height(), combo->sizeHint().height());
    EXPECT_EQ(combo->font(), qlafx::FontOf(reinterpret_cast<HFONT>(dlg.SendMessage(WM_GETFONT))));
    CRect asked(0, 0, 80, 60);
    dlg.MapDialogRect(&asked);
    EXPECT_LT(rc.Height(), asked.Height());
    dlg.DestroyWindow();
}

TEST(DialogTemplate, TabAndGroupOrderSkipHiddenAndFollowGroups)
{
    CDialog dlg;
    ASSERT_TRUE(dlg.Create(kDlg, nullptr));
    HWND edit = ::GetDlgItem(dlg, 100), check = ::GetDlgItem(dlg, 101), a = ::GetDlgItem(dlg, 102),
         b = ::GetDlgItem(dlg, 103), ok = ::GetDlgItem(dlg, IDOK), cancel = ::GetDlgItem(dlg, IDCANCEL);
    EXPECT_EQ(GetNextDlgTabItem(dlg, nullptr, FALSE), edit);
    EXPECT_EQ(GetNextDlgTabItem(dlg, edit, FALSE), check);
    EXPECT_EQ(GetNextDlgTabItem(dlg, a, FALSE), ok);  // "Hidden" is not shown
    EXPECT_EQ(GetNextDlgTabItem(dlg, cancel, FALSE), edit);
    EXPECT_EQ(GetNextDlgTabItem(dlg, edit, TRUE), cancel);
    EXPECT_EQ(GetNextDlgGroupItem(dlg, a, FALSE), b);
    EXPECT_EQ(GetNextDlgGroupItem(dlg, b, FALSE), a);
    EXPECT_EQ(GetNextDlgGroupItem(dlg, a, TRUE), b);
    dlg.DestroyWindow();
}

TEST(DialogModal, DoModalReturnsTheCodeGivenToEndDialogAndDisablesTheOwner)
{
    CWnd owner;
    ASSERT_TRUE(owner.CreateEx(0, AfxRegisterWndClass(0), "owner", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr,
                               nullptr));
    bool ownerDisabled = false;
    HookGuard hook([&](CWnd* dialog, const char* caption, const char*, UINT) {
        EXPECT_STREQ(caption, "Test dialog");
        ownerDisabled = !owner.IsWindowEnabled();
        static_cast<CDialog*>(dialog)->EndDialog(42);
        return qlafx::kModalRun;
    });
    CDialog dlg(kDlg, &owner);
    EXPECT_EQ(dlg.DoModal(), 42);
    EXPECT_TRUE(ownerDisabled);
    EXPECT_TRUE(owner.IsWindowEnabled());
    EXPECT_EQ(dlg.m_hWnd, nullptr);
    owner.DestroyWindow();
}

TEST(DialogModal, NestedLoopRunsUntilEndDialog)
{
    CDialog dlg(kDlg);
    HookGuard hook([&](CWnd* dialog, const char*, const char*, UINT) {
        // Ends from inside the running loop, as a user's click would.
        QTimer::singleShot(0, [dialog] { static_cast<CDialog*>(dialog)->EndDialog(7); });
        return qlafx::kModalRun;
    });
    EXPECT_EQ(dlg.DoModal(), 7);
}

TEST(DialogModal, HookAnswerEndsTheDialog)
{
    CDialog dlg(kDlg);
    HookGuard hook([](CWnd*, const char*, const char*, UINT) { return IDCANCEL; });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
}

TEST(DialogModal, MissingTemplateFails)
{
    CDialog dlg(9999);
    EXPECT_EQ(dlg.DoModal(), -1);
}

struct KeyCase {
    const char* name;
    int vk;
    UINT focusId;  // 0: the dialog itself
    int expected;
};

class DialogKeys : public ::testing::TestWithParam<KeyCase> {};

TEST_P(DialogKeys, EnterAndEscapeEndWithTheRightCode)
{
    const KeyCase& c = GetParam();
    CDialog dlg(kDlg);
    HookGuard hook([&](CWnd* dialog, const char*, const char*, UINT) {
        HWND target = c.focusId ? ::GetDlgItem(*dialog, static_cast<int>(c.focusId)) : dialog->m_hWnd;
        MSG msg{target, WM_KEYDOWN, static_cast<WPARAM>(c.vk), 0, 0, {0, 0}};
        EXPECT_TRUE(static_cast<CDialog*>(dialog)->PreTranslateMessage(&msg));
        return 99;
    });
    EXPECT_EQ(dlg.DoModal(), c.expected) << c.name;
}

INSTANTIATE_TEST_SUITE_P(Keys, DialogKeys,
                         ::testing::Values(KeyCase{"enter_in_edit", VK_RETURN, 100, IDOK},
                                           KeyCase{"escape_in_edit", VK_ESCAPE, 100, IDCANCEL},
                                           KeyCase{"enter_on_cancel_button", VK_RETURN, IDCANCEL, IDCANCEL},
                                           KeyCase{"escape_on_dialog", VK_ESCAPE, 0, IDCANCEL}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(DialogKeys, EnterPressesTheDefaultSetByDmSetDefId)
{
    CDialog dlg(kDlg);
    int seen = 0;
    HookGuard hook([&](CWnd* dialog, const char*, const char*, UINT) {
        auto* d = static_cast<CDialog*>(dialog);
        d->SetDefID(IDCANCEL);
        EXPECT_EQ(LOWORD(d->GetDefID()), IDCANCEL);
        EXPECT_EQ(::GetWindowLong(::GetDlgItem(*d, IDOK), GWL_STYLE) & BS_TYPEMASK, static_cast<LONG>(BS_PUSHBUTTON));
        EXPECT_EQ(::GetWindowLong(::GetDlgItem(*d, IDCANCEL), GWL_STYLE) & BS_TYPEMASK,
                  static_cast<LONG>(BS_DEFPUSHBUTTON));
        MSG msg{::GetDlgItem(*d, 100), WM_KEYDOWN, VK_RETURN, 0, 0, {0, 0}};
        d->PreTranslateMessage(&msg);
        ++seen;
        return 99;
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(seen, 1);
}

TEST(DialogKeys, TabMovesFocusInTabOrder)
{
    CDialog dlg;
    ASSERT_TRUE(dlg.Create(kDlg, nullptr));
    dlg.ShowWindow(SW_SHOW);
    QWidget* w = dlg.GetWidget();
    w->activateWindow();
    QApplication::setActiveWindow(w);
    qlafx::ProcessPendingEvents();
    dlg.GotoDlgCtrl(dlg.GetDlgItem(100));
    qlafx::ProcessPendingEvents();
    if (GetFocus() != ::GetDlgItem(dlg, 100))
        GTEST_SKIP() << "no focus on this platform";
    MSG msg{::GetDlgItem(dlg, 100), WM_KEYDOWN, VK_TAB, 0, 0, {0, 0}};
    EXPECT_TRUE(dlg.IsDialogMessage(&msg));
    qlafx::ProcessPendingEvents();
    EXPECT_EQ(GetFocus(), ::GetDlgItem(dlg, 101));
    dlg.NextDlgCtrl();
    qlafx::ProcessPendingEvents();
    EXPECT_EQ(GetFocus(), ::GetDlgItem(dlg, 102));
    dlg.DestroyWindow();
}

TEST(DialogKeys, ArrowMovesInsideTheRadioGroupAndChecks)
{
    CDialog dlg;
    ASSERT_TRUE(dlg.Create(kDlg, nullptr));
    HWND a = ::GetDlgItem(dlg, 102), b = ::GetDlgItem(dlg, 103);
    SendMessage(a, BM_SETCHECK, BST_CHECKED, 0);
    MSG msg{a, WM_KEYDOWN, VK_DOWN, 0, 0, {0, 0}};
    EXPECT_TRUE(dlg.IsDialogMessage(&msg));
    EXPECT_EQ(SendMessage(b, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessage(a, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    dlg.DestroyWindow();
}

TEST(DialogKeys, EditTakesOrdinaryKeys)
{
    CDialog dlg;
    ASSERT_TRUE(dlg.Create(kDlg, nullptr));
    MSG msg{::GetDlgItem(dlg, 100), WM_KEYDOWN, 'A', 0, 0, {0, 0}};
    EXPECT_FALSE(dlg.IsDialogMessage(&msg));
    MSG left{::GetDlgItem(dlg, 100), WM_KEYDOWN, VK_LEFT, 0, 0, {0, 0}};
    EXPECT_FALSE(dlg.IsDialogMessage(&left));
    dlg.DestroyWindow();
}

TEST(DialogModeless, WmCloseActsAsCancelAndEndDialogHides)
{
    CDialog dlg;
    ASSERT_TRUE(dlg.Create(kDlg, nullptr));
    dlg.ShowWindow(SW_SHOW);
    EXPECT_TRUE(dlg.IsWindowVisible());
    dlg.SendMessage(WM_CLOSE);
    EXPECT_TRUE(IsWindow(dlg.m_hWnd));
    EXPECT_FALSE(dlg.IsWindowVisible());
    dlg.DestroyWindow();
}

}  // namespace
