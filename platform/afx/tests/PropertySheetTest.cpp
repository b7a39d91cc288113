// Property sheets driven through the modal hook: wizard navigation by the
// ids the pages return, the wizard buttons, and tabbed activation.
#include "platform/afx/Afx.h"
#include "platform/afx/CommCtrl.h"
#include "platform/afx/PropertySheet.h"
#include "platform/afx/tests/WndTestSupport.h"

#include <QMouseEvent>
#include <QWidget>

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace {

constexpr UINT kPageA = 9101, kPageB = 9102, kPageC = 9103;
constexpr UINT kEditA = 1001;

const qlafx::DialogTemplate kPages[] = {
    {kPageA, WS_CHILD | DS_SETFONT, 0, 0, 0, 200, 100, "Alpha", "MS Shell Dlg", 8,
     {{"Edit", "", kEditA, 7, 7, 80, 14, WS_VISIBLE | WS_TABSTOP | WS_BORDER}}},
    {kPageB, WS_CHILD | DS_SETFONT, 0, 0, 0, 220, 90, "Beta", "MS Shell Dlg", 8, {}},
    {kPageC, WS_POPUP | WS_CAPTION | DS_SETFONT, 0, 0, 0, 180, 120, "Gamma", "MS Shell Dlg", 8, {}},
};
const qlafx::ResourceTable kTable{.dialogs = kPages};
qlafx::ResourceRegistrar kRegister(kTable);

// A page that logs what the sheet asks of it and answers as told.
class LogPage : public CPropertyPage {
public:
    LogPage(UINT id, std::vector<std::string>* log) : CPropertyPage(id), m_log(log) {}

    LRESULT next = 0;
    LRESULT back = 0;
    BOOL keep = FALSE;         // OnKillActive refuses
    BOOL finish = TRUE;        // OnWizardFinish's answer
    BOOL cancel = TRUE;        // OnQueryCancel's answer
    DWORD buttons = PSWIZB_BACK | PSWIZB_NEXT;
    int inits = 0;

    BOOL OnInitDialog() override
    {
        ++inits;
        return CPropertyPage::OnInitDialog();
    }
    BOOL OnSetActive() override
    {
        Log("set");
        auto* sheet = static_cast<CPropertySheet*>(GetParent());
        if (sheet->IsWizard())
            sheet->SetWizardButtons(buttons);
        return CPropertyPage::OnSetActive();
    }
    BOOL OnKillActive() override
    {
        Log("kill");
        return !keep && CPropertyPage::OnKillActive();
    }
    void OnOK() override { Log("ok"); }
    void OnCancel() override { Log("cancel"); }
    BOOL OnQueryCancel() override { return cancel; }
    LRESULT OnWizardNext() override { return next; }
    LRESULT OnWizardBack() override { return back; }
    BOOL OnWizardFinish() override
    {
        Log("finish");
        return finish;
    }

private:
    void Log(const char* what) { m_log->push_back(std::string(what) + " " + std::to_string(m_nIDTemplate)); }
    std::vector<std::string>* m_log;
};

void Click(CPropertySheet& sheet, UINT id) { ::SendMessage(::GetDlgItem(sheet, static_cast<int>(id)), BM_CLICK, 0, 0); }

// Runs the sheet, hands it to work, then presses Cancel unless work ended it.
int RunSheet(CPropertySheet& sheet, const std::function<void(CPropertySheet&)>& work)
{
    qlafx::SetModalHook([&](CWnd* dlg, const char*, const char*, UINT) {
        if (dlg != &sheet)
            return qlafx::kModalRun;
        work(sheet);
        if (sheet.IsWindowVisible())
            Click(sheet, IDCANCEL);
        return qlafx::kModalRun;
    });
    const int result = sheet.DoModal();
    qlafx::SetModalHook({});
    return result;
}

UINT ActiveId(const CPropertySheet& sheet) { return sheet.GetActivePage()->m_nIDTemplate; }

struct Pages {
    std::vector<std::string> log;
    LogPage a{kPageA, &log}, b{kPageB, &log}, c{kPageC, &log};
    void AddTo(CPropertySheet& sheet)
    {
        sheet.AddPage(&a);
        sheet.AddPage(&b);
        sheet.AddPage(&c);
    }
};

// Three pages in a wizard.
struct Wizard {
    Wizard()
    {
        pages.AddTo(sheet);
        sheet.SetWizardMode();
    }
    Pages pages;
    CPropertySheet sheet{"Wizard"};
};

struct StepCase {
    const char* name;
    UINT from;      // page the wizard is on
    bool next;      // Next, else Back
    LRESULT answer; // what the page returns
    UINT expected;  // page shown afterwards
};
void PrintTo(const StepCase& c, std::ostream* os) { *os << c.name; }

class WizardStepTest : public testing::TestWithParam<StepCase> {};

TEST_P(WizardStepTest, GoesToThePageWhoseIdIsReturned)
{
    const StepCase& c = GetParam();
    Wizard wizard;
    Pages& pages = wizard.pages;
    CPropertySheet& sheet = wizard.sheet;
    for (LogPage* p : {&pages.a, &pages.b, &pages.c}) {
        p->buttons = PSWIZB_BACK | PSWIZB_NEXT;
        (c.next ? p->next : p->back) = c.answer;
    }
    UINT shown = 0;
    RunSheet(sheet, [&](CPropertySheet& s) {
        s.SetActivePage(c.from == kPageA ? 0 : c.from == kPageB ? 1 : 2);
        ASSERT_EQ(ActiveId(s), c.from);
        Click(s, c.next ? ID_WIZNEXT : ID_WIZBACK);
        shown = ActiveId(s);
        // Only the shown page is visible.
        for (int i = 0; i < s.GetPageCount(); ++i)
            if (s.GetPage(i)->m_hWnd) {
                EXPECT_EQ(s.GetPage(i)->IsWindowVisible() != FALSE, s.GetPage(i)->m_nIDTemplate == shown);
            }
    });
    EXPECT_EQ(shown, c.expected);
}

INSTANTIATE_TEST_SUITE_P(Table, WizardStepTest,
                         testing::Values(StepCase{"NextZeroIsFollowingPage", kPageA, true, 0, kPageB},
                                         StepCase{"NextJumpsToId", kPageA, true, kPageC, kPageC},
                                         StepCase{"NextMinusOneStays", kPageA, true, -1, kPageA},
                                         StepCase{"NextUnknownIdStays", kPageA, true, 4242, kPageA},
                                         StepCase{"NextOnLastPageStays", kPageC, true, 0, kPageC},
                                         StepCase{"BackZeroIsPreviousPage", kPageC, false, 0, kPageB},
                                         StepCase{"BackJumpsToId", kPageC, false, kPageA, kPageA},
                                         StepCase{"BackMinusOneStays", kPageB, false, -1, kPageB}),
                         [](const testing::TestParamInfo<StepCase>& i) { return std::string(i.param.name); });

TEST(WizardSheet, LeavingAskedFirstAndRefusalKeepsThePage)
{
    Wizard wizard;
    Pages& pages = wizard.pages;
    CPropertySheet& sheet = wizard.sheet;
    pages.a.next = kPageC;
    pages.a.keep = TRUE;
    RunSheet(sheet, [&](CPropertySheet& s) {
        Click(s, ID_WIZNEXT);
        EXPECT_EQ(ActiveId(s), kPageA);
        pages.a.keep = FALSE;
        Click(s, ID_WIZNEXT);
        EXPECT_EQ(ActiveId(s), kPageC);
    });
    const std::vector<std::string> expected{"set 9101", "kill 9101", "kill 9101", "set 9103", "cancel 9101",
                                            "cancel 9103"};
    EXPECT_EQ(pages.log, expected);
    EXPECT_EQ(pages.b.inits, 0) << "a page passed over is never made";
}

struct ButtonCase {
    DWORD flags;
    bool backEnabled;
    bool nextShown, nextEnabled;
    bool finishShown, finishEnabled;
};
void PrintTo(const ButtonCase& c, std::ostream* os) { *os << "Flags" << c.flags; }

class WizardButtonsTest : public testing::TestWithParam<ButtonCase> {};

TEST_P(WizardButtonsTest, FollowTheFlags)
{
    const ButtonCase& c = GetParam();
    Wizard wizard;
    Pages& pages = wizard.pages;
    CPropertySheet& sheet = wizard.sheet;
    pages.a.buttons = c.flags;
    RunSheet(sheet, [&](CPropertySheet& s) {
        auto shown = [&](UINT id) { return ::IsWindowVisible(::GetDlgItem(s, static_cast<int>(id))) != FALSE; };
        auto enabled = [&](UINT id) { return ::IsWindowEnabled(::GetDlgItem(s, static_cast<int>(id))) != FALSE; };
        EXPECT_EQ(enabled(ID_WIZBACK), c.backEnabled);
        EXPECT_EQ(shown(ID_WIZNEXT), c.nextShown);
        if (c.nextShown) {
            EXPECT_EQ(enabled(ID_WIZNEXT), c.nextEnabled);
        }
        EXPECT_EQ(shown(ID_WIZFINISH), c.finishShown);
        if (c.finishShown) {
            EXPECT_EQ(enabled(ID_WIZFINISH), c.finishEnabled);
        }
        // A disabled or hidden button does nothing, even when told directly.
        s.SendMessage(WM_COMMAND, MAKEWPARAM(ID_WIZNEXT, BN_CLICKED), 0);
        EXPECT_EQ(ActiveId(s), c.nextShown && c.nextEnabled ? kPageB : kPageA);
    });
}

INSTANTIATE_TEST_SUITE_P(Table, WizardButtonsTest,
                         testing::Values(ButtonCase{PSWIZB_BACK | PSWIZB_NEXT, true, true, true, false, false},
                                         ButtonCase{PSWIZB_NEXT, false, true, true, false, false},
                                         ButtonCase{0, false, true, false, false, false},
                                         ButtonCase{PSWIZB_BACK | PSWIZB_FINISH, true, false, false, true, true},
                                         ButtonCase{PSWIZB_DISABLEDFINISH, false, false, false, true, false}));

TEST(WizardSheet, FinishEndsWithItsIdOnlyWhenThePageAgrees)
{
    Wizard wizard;
    Pages& pages = wizard.pages;
    CPropertySheet& sheet = wizard.sheet;
    pages.a.buttons = PSWIZB_FINISH;
    pages.a.finish = FALSE;
    bool open = false;
    qlafx::SetModalHook([&](CWnd* dlg, const char*, const char*, UINT) {
        Click(static_cast<CPropertySheet&>(*dlg), ID_WIZFINISH);
        open = ::IsWindowVisible(*dlg) != FALSE;
        pages.a.finish = TRUE;
        Click(static_cast<CPropertySheet&>(*dlg), ID_WIZFINISH);
        return qlafx::kModalRun;
    });
    EXPECT_EQ(sheet.DoModal(), static_cast<int>(ID_WIZFINISH));
    qlafx::SetModalHook({});
    EXPECT_TRUE(open);
    EXPECT_EQ(std::count(pages.log.begin(), pages.log.end(), "finish 9101"), 2);
}

TEST(WizardSheet, SheetMessagesSetButtonsAndPressThem)
{
    Wizard wizard;
    Pages& pages = wizard.pages;
    CPropertySheet& sheet = wizard.sheet;
    const int result = RunSheet(sheet, [&](CPropertySheet& s) {
        s.SendMessage(PSM_SETWIZBUTTONS, 0, PSWIZB_NEXT);
        EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(s, ID_WIZBACK)));
        EXPECT_EQ(s.GetWizardButtons(), PSWIZB_NEXT);
        // Pressing waits for the current message to finish.
        s.SendMessage(PSM_PRESSBUTTON, PSBTN_NEXT);
        EXPECT_EQ(ActiveId(s), kPageA);
        PumpUntil([&] { return ActiveId(s) == kPageB; }, 5000);
        EXPECT_EQ(ActiveId(s), kPageB);
        pages.b.buttons = PSWIZB_FINISH;
        s.SendMessage(PSM_SETWIZBUTTONS, 0, PSWIZB_FINISH);
        s.PressButton(PSBTN_FINISH);
        PumpUntil([&] { return !s.IsWindowVisible(); }, 5000);
    });
    EXPECT_EQ(result, static_cast<int>(ID_WIZFINISH));
}

TEST(TabbedSheet, ActivationAsksTheOldPageThenTheNew)
{
    Pages pages;
    CPropertySheet sheet("Tabs", nullptr, 1);
    pages.AddTo(sheet);
    RunSheet(sheet, [&](CPropertySheet& s) {
        EXPECT_EQ(ActiveId(s), kPageB);
        EXPECT_TRUE(s.SetActivePage(2));
        pages.c.keep = TRUE;
        EXPECT_FALSE(s.SetActivePage(0));
        EXPECT_EQ(ActiveId(s), kPageC);
        EXPECT_TRUE(s.GetPage(2)->IsWindowVisible());
        EXPECT_FALSE(s.GetPage(1)->IsWindowVisible());
        pages.c.keep = FALSE;
        EXPECT_TRUE(s.SetActivePage(&pages.a));
    });
    const std::vector<std::string> expected{"set 9102", "kill 9102", "set 9103", "kill 9103", "kill 9103",
                                            "set 9101", "cancel 9101", "cancel 9102", "cancel 9103"};
    EXPECT_EQ(pages.log, expected);
}

TEST(TabbedSheet, OkAppliesEveryMadePageAfterTheActiveOneAgrees)
{
    Pages pages;
    CPropertySheet sheet("Tabs");
    pages.AddTo(sheet);
    pages.a.keep = TRUE;
    bool stayed = false;
    qlafx::SetModalHook([&](CWnd* dlg, const char*, const char*, UINT) {
        auto& s = static_cast<CPropertySheet&>(*dlg);
        Click(s, IDOK);
        stayed = s.IsWindowVisible() != FALSE;
        pages.a.keep = FALSE;
        pages.a.cancel = FALSE;
        Click(s, IDCANCEL);  // the page refuses to be cancelled
        stayed = stayed && s.IsWindowVisible();
        Click(s, IDOK);
        return qlafx::kModalRun;
    });
    EXPECT_EQ(sheet.DoModal(), IDOK);
    qlafx::SetModalHook({});
    EXPECT_TRUE(stayed);
    const std::vector<std::string> expected{"set 9101", "kill 9101", "kill 9101", "ok 9101"};
    EXPECT_EQ(pages.log, expected);
}

TEST(TabbedSheet, PagesFillThePageAreaWhateverTheirTemplateStyle)
{
    Pages pages;
    CPropertySheet sheet("Tabs");
    pages.AddTo(sheet);
    RunSheet(sheet, [&](CPropertySheet& s) {
        s.SetActivePage(2);
        RECT ra{}, rc{};
        s.GetPage(0)->GetWindowRect(&ra);
        s.GetPage(2)->GetWindowRect(&rc);
        EXPECT_TRUE(EqualRect(&ra, &rc));
        EXPECT_TRUE(s.GetPage(2)->GetStyle() & WS_CHILD);
        EXPECT_FALSE(s.GetPage(2)->GetStyle() & WS_CAPTION);
        EXPECT_EQ(s.GetPage(2)->GetParent(), &s);
        // The sheet's buttons lie below the pages.
        RECT ok{};
        ::GetWindowRect(::GetDlgItem(s, IDOK), &ok);
        EXPECT_GE(ok.top, ra.bottom);
    });
}

TEST(TabbedSheet, TabKeyOrderRunsThroughTheShownPage)
{
    Pages pages;
    CPropertySheet sheet("Tabs");
    pages.AddTo(sheet);
    RunSheet(sheet, [&](CPropertySheet& s) {
        HWND edit = ::GetDlgItem(*s.GetPage(0), kEditA);
        HWND ok = ::GetDlgItem(s, IDOK);
        ASSERT_NE(edit, nullptr);
        // The page's edit is last in the order: after it comes OK again.
        EXPECT_EQ(::GetNextDlgTabItem(s, edit, FALSE), ok);
        EXPECT_EQ(::GetNextDlgTabItem(s, ok, TRUE), edit);
        // A hidden page's controls are out of the order.
        s.SetActivePage(1);
        EXPECT_NE(::GetNextDlgTabItem(s, ok, TRUE), edit);
    });
}

TEST(TabbedSheet, TabRowAsksThePageBeforeChanging)
{
    Pages pages;
    CPropertySheet sheet("Tabs");
    pages.AddTo(sheet);
    bool haveTabs = false;
    RunSheet(sheet, [&](CPropertySheet& s) {
        CWnd* tab = s.GetTabControl();
        if (!tab)
            return;
        haveTabs = true;
        EXPECT_EQ(tab->SendMessage(TCM_GETITEMCOUNT), 3);
        NMHDR hdr{tab->m_hWnd, AFX_IDC_TAB_CONTROL, TCN_SELCHANGING};
        auto notify = [&](UINT code) {
            hdr.code = code;
            return s.SendMessage(WM_NOTIFY, AFX_IDC_TAB_CONTROL, reinterpret_cast<LPARAM>(&hdr));
        };
        pages.a.keep = TRUE;
        EXPECT_NE(notify(TCN_SELCHANGING), 0) << "a refusing page stops the tab change";
        pages.a.keep = FALSE;
        EXPECT_EQ(notify(TCN_SELCHANGING), 0);
        tab->SendMessage(TCM_SETCURSEL, 2);
        notify(TCN_SELCHANGE);
        EXPECT_EQ(ActiveId(s), kPageC);
        EXPECT_TRUE(s.GetPage(2)->IsWindowVisible());
        EXPECT_FALSE(s.GetPage(0)->IsWindowVisible());
        // A click on a tab goes the same way.
        auto clickTab = [&](int index) {
            RECT r{};
            tab->SendMessage(TCM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
            const QPointF at((r.left + r.right) / 2.0, (r.top + r.bottom) / 2.0);
            QWidget* w = tab->GetWidget();
            QMouseEvent press(QEvent::MouseButtonPress, at, w->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                              Qt::NoModifier);
            QCoreApplication::sendEvent(w, &press);
            QMouseEvent release(QEvent::MouseButtonRelease, at, w->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                                Qt::NoModifier);
            QCoreApplication::sendEvent(w, &release);
        };
        clickTab(1);
        EXPECT_EQ(ActiveId(s), kPageB);
        pages.b.keep = TRUE;
        clickTab(0);
        EXPECT_EQ(ActiveId(s), kPageB);
        EXPECT_EQ(tab->SendMessage(TCM_GETCURSEL), 1);
        pages.b.keep = FALSE;
    });
    if (!haveTabs)
        GTEST_SKIP() << "no tab control class in this build";
}

// A sheet that lays out controls of its own beside the pages, as the
// editor's preview sheets do, and handles messages of its own.
constexpr UINT kRender = WM_USER + 52;

class PreviewSheet : public CPropertySheet {
public:
    PreviewSheet() : CPropertySheet("Preview") {}
    RECT pageRect{};
    int renders = 0;

protected:
    LRESULT OnRender(WPARAM, LPARAM)
    {
        ++renders;
        GetDlgItem(IDOK)->EnableWindow(FALSE);
        return 0;
    }
    DECLARE_MESSAGE_MAP()

    BOOL OnInitDialog() override
    {
        CPropertySheet::OnInitDialog();
        GetActivePage()->GetWindowRect(&pageRect);
        ScreenToClient(&pageRect);
        MoveWindow(0, 0, 900, 600);
        m_view.Create("Static", "view", WS_CHILD | WS_VISIBLE, CRect(pageRect.right + 10, 5, 880, 560), this, 1052);
        GetDlgItem(IDOK)->MoveWindow(10, 560, 100, 25);
        return TRUE;
    }

private:
    CWnd m_view;
};

BEGIN_MESSAGE_MAP(PreviewSheet, CPropertySheet)
    ON_MESSAGE(kRender, OnRender)
END_MESSAGE_MAP()

TEST(TabbedSheet, CustomLayoutKeepsItsControlsAndThePageArea)
{
    Pages pages;
    PreviewSheet sheet;
    pages.AddTo(sheet);
    RunSheet(sheet, [&](CPropertySheet& s) {
        ASSERT_NE(s.GetDlgItem(1052), nullptr);
        s.SetActivePage(1);
        RECT page{};
        s.GetActivePage()->GetWindowRect(&page);
        s.ScreenToClient(&page);
        EXPECT_TRUE(EqualRect(&page, &sheet.pageRect));
        RECT ok{};
        s.GetDlgItem(IDOK)->GetWindowRect(&ok);
        s.ScreenToClient(&ok);
        EXPECT_EQ(ok.left, 10);
        EXPECT_EQ(ok.top, 560);
        s.SendMessage(kRender);
        EXPECT_FALSE(s.GetDlgItem(IDOK)->IsWindowEnabled());
    });
    EXPECT_EQ(sheet.renders, 1);
}

}  // namespace
