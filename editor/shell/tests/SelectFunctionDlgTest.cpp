// "Select the function": which buttons are enabled by the target's
// commands, choices that close the dialog, tools that run at once, and the
// frame's runner that shows nothing while no function is available.
#include "ShellWindowsTestSupport.h"

#include "editor/shell/MainFrame.h"
#include "editor/shell/PhotoDocument.h"
#include "editor/shell/SelectFunctionDlg.h"
#include "platform/afx/Menu.h"
#include "platform/afx/MessageBox.h"

#include <QWidget>

#include <cstdlib>
#include <set>
#include <vector>

namespace {

// Enables the commands it is given and records those it receives.
class CCommandTarget : public skintest::CParentWnd {
public:
    std::set<UINT> m_enabled;
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override
    {
        if (nCode == CN_UPDATE_COMMAND_UI && pExtra) {
            static_cast<CCmdUI*>(pExtra)->Enable(m_enabled.count(nID) != 0);
            return TRUE;
        }
        return CParentWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
    }
};

bool Enabled(CWnd* dlg, UINT id)
{
    CWnd* w = dlg->GetDlgItem(static_cast<int>(id));
    return w && w->IsWindowEnabled();
}

class SelectFunction : public shelltest::ShellWindowsTest {
protected:
    void SetUp() override
    {
        ShellWindowsTest::SetUp();
        ASSERT_TRUE(m_target.CreateParent());
    }
    void TearDown() override
    {
        qlafx::SetModalHook({});
        m_target.DestroyWindow();
        ShellWindowsTest::TearDown();
    }
    // Runs the dialog; work gets it once shown. Cancel ends what work left open.
    int Run(CSelectFunctionDlg& dlg, const std::function<void(CSelectFunctionDlg*)>& work)
    {
        qlafx::SetModalHook([&](CWnd* w, const char*, const char*, UINT) {
            if (w == &dlg)
                work(&dlg);
            return IDCANCEL;
        });
        return dlg.DoModal();
    }
    CCommandTarget m_target;
};

struct EnablingCase {
    const char* name;
    std::set<UINT> commands;
    std::vector<UINT> enabledButtons;
};
void PrintTo(const EnablingCase& c, std::ostream* os) { *os << c.name; }

class SelectFunctionEnabling : public SelectFunction, public testing::WithParamInterface<EnablingCase> {};

TEST_P(SelectFunctionEnabling, AButtonFollowsItsCommand)
{
    const EnablingCase& c = GetParam();
    m_target.m_enabled = c.commands;
    CSelectFunctionDlg dlg(&m_target, nullptr);
    EXPECT_EQ(dlg.AnyAvailable(), !c.enabledButtons.empty());
    std::set<UINT> enabled;
    Run(dlg, [&](CSelectFunctionDlg* d) {
        for (UINT id : {IDC_FUNCTION_NOISE, IDC_FUNCTION_BEAUTY, IDC_FUNCTION_SHARPEN, IDC_FUNCTION_SMART_ERASE,
                        IDC_FUNCTION_SKIN_CLEAN, IDC_FUNCTION_DEFOG})
            if (Enabled(d, id))
                enabled.insert(id);
    });
    EXPECT_EQ(enabled, std::set<UINT>(c.enabledButtons.begin(), c.enabledButtons.end()));
}

INSTANTIATE_TEST_SUITE_P(
    Table, SelectFunctionEnabling,
    testing::Values(EnablingCase{"None", {}, {}},
                    EnablingCase{"SharpenOnly", {32801}, {IDC_FUNCTION_SHARPEN}},
                    EnablingCase{"ChoicesOnly",
                                 {32799, 32800, 32801},
                                 {IDC_FUNCTION_NOISE, IDC_FUNCTION_BEAUTY, IDC_FUNCTION_SHARPEN}},
                    EnablingCase{"ToolsOnly",
                                 {32883, 32869, 32865},
                                 {IDC_FUNCTION_SMART_ERASE, IDC_FUNCTION_SKIN_CLEAN, IDC_FUNCTION_DEFOG}},
                    EnablingCase{"UnrelatedCommand", {32810}, {}}),
    [](const testing::TestParamInfo<EnablingCase>& i) { return std::string(i.param.name); });

TEST_F(SelectFunction, ChoicesCloseWithTheirNumber)
{
    m_target.m_enabled = {32799, 32800, 32801};
    const UINT buttons[] = {IDC_FUNCTION_NOISE, IDC_FUNCTION_BEAUTY, IDC_FUNCTION_SHARPEN};
    for (int i = 0; i < 3; ++i) {
        CSelectFunctionDlg dlg(&m_target, nullptr);
        EXPECT_EQ(Run(dlg, [&](CSelectFunctionDlg* d) { d->SendDlgItemMessage(buttons[i], BM_CLICK); }), IDOK);
        EXPECT_EQ(dlg.m_choice, i);
    }
    EXPECT_TRUE(m_target.m_commands.empty());
}

TEST_F(SelectFunction, ToolsRunAtOnceAndTheDialogStays)
{
    m_target.m_enabled = {32883, 32869, 32865};
    CSelectFunctionDlg dlg(&m_target, nullptr);
    bool open = false;
    Run(dlg, [&](CSelectFunctionDlg* d) {
        for (UINT id : {IDC_FUNCTION_SMART_ERASE, IDC_FUNCTION_SKIN_CLEAN, IDC_FUNCTION_DEFOG})
            d->SendDlgItemMessage(id, BM_CLICK);
        open = ::IsWindowVisible(d->m_hWnd);
    });
    EXPECT_TRUE(open);
    EXPECT_EQ(m_target.m_commands, (std::vector<UINT>{32883, 32869, 32865}));
    EXPECT_EQ(dlg.m_choice, -1);
}

TEST_F(SelectFunction, TheToolsMenuRunsOnlyEnabledCommands)
{
    m_target.m_enabled = {32839};
    CSelectFunctionDlg dlg(&m_target, nullptr);
    std::vector<UINT> grayed;
    qlafx::SetPopupMenuHook([&](HMENU menu, QMenu*) {
        for (UINT id : {32839u, 32854u})
            if (::GetMenuState(menu, id, MF_BYCOMMAND) & MF_GRAYED)
                grayed.push_back(id);
        return grayed.size() == 1 ? 32854u : 0u;  // a grayed item dismisses
    });
    Run(dlg, [&](CSelectFunctionDlg* d) {
        d->SendDlgItemMessage(IDC_FUNCTION_MORE, BM_CLICK);
        qlafx::SetPopupMenuHook([](HMENU, QMenu*) { return 32839u; });
        d->SendDlgItemMessage(IDC_FUNCTION_MORE, BM_CLICK);
    });
    qlafx::SetPopupMenuHook({});
    EXPECT_EQ(grayed, std::vector<UINT>{32854});
    EXPECT_EQ(m_target.m_commands, std::vector<UINT>{32839});
}

TEST_F(SelectFunction, PicturesLieInThirdsOfTheFrame)
{
    m_target.m_enabled = {32799, 32800, 32801, 32883, 32869, 32865};
    CSelectFunctionDlg dlg(&m_target, nullptr);
    Run(dlg, [&](CSelectFunctionDlg* d) {
        CRect frame;
        d->GetDlgItem(IDC_FUNCTION_FRAME)->GetWindowRect(&frame);
        int lastLeft = frame.left - 1;
        for (CImgButton& b : d->m_pictures) {
            ASSERT_NE(b.GetSafeHwnd(), nullptr);
            CRect r;
            b.GetWindowRect(&r);
            EXPECT_EQ(r.Width(), CSelectFunctionDlg::kPictureSize);
            EXPECT_EQ(r.Height(), CSelectFunctionDlg::kPictureSize);
            EXPECT_TRUE(frame.PtInRect(r.TopLeft()) && frame.PtInRect(CPoint(r.right - 1, r.bottom - 1)));
            EXPECT_GT(r.left, lastLeft);
            lastLeft = r.left;
        }
        EXPECT_FALSE(shelltest::SaveGrab(d->GetWidget()->grab().toImage(), "select_function").empty());
    });
}

// The frame's runner with the real command table.
class SelectFunctionRunner : public shelltest::ShellWindowsTest {
protected:
    // Other tests of this program may have left runners in the frame's table.
    void SetUp() override
    {
        ShellWindowsTest::SetUp();
        ClearRunners();
    }
    void TearDown() override
    {
        qlafx::SetModalHook({});
        ClearRunners();
        ShellWindowsTest::TearDown();
    }
    static void ClearRunners()
    {
        for (UINT id : {32799u, 32800u, 32801u, 32883u, 32869u, 32865u})
            CMainFrame::SetDialogRunner(id, nullptr);
    }
};

std::vector<UINT> g_ran;
int RecordBeauty(CMainFrame*)
{
    g_ran.push_back(32800);
    return IDCANCEL;
}

TEST_F(SelectFunctionRunner, ShowsNothingWhileNoFunctionIsAvailable)
{
    CMainFrame frame;
    int shown = 0;
    qlafx::SetModalHook([&](CWnd*, const char*, const char*, UINT) {
        ++shown;
        return IDCANCEL;
    });
    EXPECT_EQ(RunSelectFunctionDlg(&frame), IDCANCEL);
    EXPECT_EQ(shown, 0);
}

TEST_F(SelectFunctionRunner, RunsTheChosenFunctionThroughTheFrame)
{
    CMainFrame* frame = new CMainFrame;
    m_app.m_pMainWnd = frame;
    ASSERT_TRUE(frame->LoadFrame(128, 0xCF8000));
    CMainFrame::SetDialogRunner(32800, RecordBeauty);
    g_ran.clear();
    bool noiseEnabled = true;
    qlafx::SetModalHook([&](CWnd* w, const char*, const char*, UINT) {
        if (auto* dlg = dynamic_cast<CSelectFunctionDlg*>(w)) {
            noiseEnabled = Enabled(dlg, IDC_FUNCTION_NOISE);
            dlg->SendDlgItemMessage(IDC_FUNCTION_BEAUTY, BM_CLICK);
        }
        return IDCANCEL;
    });
    EXPECT_EQ(RunSelectFunctionDlg(frame), IDOK);
    EXPECT_FALSE(noiseEnabled);
    EXPECT_EQ(g_ran, std::vector<UINT>{32800});
    frame->DestroyWindow();
    m_app.m_pMainWnd = nullptr;
}


}  // namespace
