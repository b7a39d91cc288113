// The skin demo under a window manager (Xvfb and openbox, driven by
// xdotool): disabled controls ignore clicks, Tab shows the focus on the
// skinned controls, and Alt+letter presses its button.
#include "editor/ui/AppSettings.h"
#include "editor/ui/demo/SkinDemoDialog.h"
#include "editor/ui/demo/res/SkinDemoResources.h"
#include "editor/ui/tests/SkinTestSupport.h"
#include "platform/afx/CommCtrl.h"
#include "platform/afx/tests/X11TestSupport.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <vector>

namespace {

using namespace x11test;

class RecordingDemo : public CSkinDemoDialog {
public:
    std::vector<UINT> m_clicks;

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override
    {
        if (HIWORD(static_cast<DWORD>(wParam)) == BN_CLICKED)
            m_clicks.push_back(LOWORD(static_cast<DWORD>(wParam)));
        return CSkinDemoDialog::OnCommand(wParam, lParam);
    }
};

class SkinDemoX11 : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(m_folder.Path().empty());
        const std::string profile = m_folder.Path() + "Quillo.ini";
        std::ofstream(profile) << "[General]\nUserName=Demo\n";
        m_app = std::make_unique<CWinApp>("Quillo");
        m_app->m_pszProfileName = strdup(profile.c_str());
        std::snprintf(theAppSettings.m_programFolder, sizeof theAppSettings.m_programFolder, "%s/",
                      QUILLO_PROGRAM_DIR);
        theAppSettings.LoadProfileAndSkin();
        m_barrier = std::make_unique<WmBarrier>();
        ASSERT_TRUE(m_dlg.Create(IDD_SKIN_DEMO));
        m_dlg.ShowWindow(SW_SHOW);
        ASSERT_TRUE(WaitManaged(m_dlg.GetWidget()));
        ASSERT_TRUE(WaitActive(m_dlg.GetWidget()));
    }
    void TearDown() override
    {
        m_dlg.DestroyWindow();
        qlafx::ProcessPendingEvents();
    }
    HWND Item(UINT id) { return ::GetDlgItem(m_dlg, static_cast<int>(id)); }
    QPoint At(UINT id, int x, int y) { return qlafx::WidgetOf(Item(id))->mapToGlobal(QPoint(x, y)); }
    QImage Surface(UINT id)
    {
        ::InvalidateRect(Item(id), nullptr, TRUE);
        return skintest::SurfaceOf(Item(id));
    }

    skintest::TempFolder m_folder;
    std::unique_ptr<CWinApp> m_app;
    std::unique_ptr<WmBarrier> m_barrier;
    RecordingDemo m_dlg;
};

TEST_F(SkinDemoX11, DisabledCheckBoxAndSliderIgnoreClicks)
{
    ::SetFocus(Item(IDC_DEMO_GRID));
    const int softness = static_cast<int>(::SendMessage(Item(IDC_DEMO_SOFTNESS), TBM_GETPOS, 0, 0));
    ASSERT_TRUE(ClickAt(At(IDC_DEMO_LOCKED, 6, 6)));
    ASSERT_TRUE(ClickAt(At(IDC_DEMO_SOFTNESS, 12, 8)));
    // A click on an enabled check box after them: once it is checked, the
    // clicks before it were handled.
    ASSERT_EQ(m_dlg.IsDlgButtonChecked(IDC_DEMO_SNAP), static_cast<UINT>(BST_UNCHECKED));
    ASSERT_TRUE(ClickAt(At(IDC_DEMO_SNAP, 6, 6)));
    ASSERT_TRUE(PumpUntil([&] { return m_dlg.IsDlgButtonChecked(IDC_DEMO_SNAP) == BST_CHECKED; }));
    EXPECT_EQ(m_dlg.IsDlgButtonChecked(IDC_DEMO_LOCKED), static_cast<UINT>(BST_UNCHECKED));
    EXPECT_EQ(::SendMessage(Item(IDC_DEMO_SOFTNESS), TBM_GETPOS, 0, 0), softness);
    EXPECT_NE(::GetFocus(), Item(IDC_DEMO_LOCKED));
    EXPECT_NE(::GetFocus(), Item(IDC_DEMO_SOFTNESS));
    SaveScreenshot("disabled-controls");
}

TEST_F(SkinDemoX11, TabShowsTheFocusOnTheSkinnedControls)
{
    ::SetFocus(Item(IDC_DEMO_GRID));
    ASSERT_TRUE(PumpUntil([&] { return ::GetFocus() == Item(IDC_DEMO_GRID); }));
    const QImage snapBefore = Surface(IDC_DEMO_SNAP), strengthBefore = Surface(IDC_DEMO_STRENGTH);
    ASSERT_TRUE(PressKeys("Tab"));
    ASSERT_TRUE(PumpUntil([&] { return ::GetFocus() == Item(IDC_DEMO_SNAP); }));
    EXPECT_NE(Surface(IDC_DEMO_SNAP), snapBefore) << "the check box shows its focus";
    // On through the radio group's tab stop to the strength slider.
    for (int i = 0; i < 4 && ::GetFocus() != Item(IDC_DEMO_STRENGTH); ++i) {
        const HWND next = ::GetNextDlgTabItem(m_dlg, ::GetFocus(), FALSE);
        ASSERT_TRUE(PressKeys("Tab"));
        ASSERT_TRUE(PumpUntil([&] { return ::GetFocus() == next; }));
    }
    ASSERT_EQ(::GetFocus(), Item(IDC_DEMO_STRENGTH));
    EXPECT_NE(Surface(IDC_DEMO_STRENGTH), strengthBefore) << "the slider shows its focus";
    const HWND previous = ::GetNextDlgTabItem(m_dlg, ::GetFocus(), TRUE);
    ASSERT_TRUE(PressKeys("shift+Tab"));
    ASSERT_TRUE(PumpUntil([&] { return ::GetFocus() == previous; }));
    ASSERT_TRUE(PressKeys("Tab"));
    ASSERT_TRUE(PumpUntil([&] { return ::GetFocus() == Item(IDC_DEMO_STRENGTH); }));
    qlafx::ProcessPendingEvents();
    SaveScreenshot("tab-focus");
}

TEST_F(SkinDemoX11, AltLetterPressesItsButton)
{
    ::SetFocus(Item(IDCANCEL));
    ASSERT_TRUE(PressKeys("alt+a"));
    ASSERT_TRUE(PumpUntil([&] { return !m_dlg.m_clicks.empty(); }));
    EXPECT_EQ(m_dlg.m_clicks.front(), static_cast<UINT>(IDC_DEMO_APPLY));
    const UINT grid = m_dlg.IsDlgButtonChecked(IDC_DEMO_GRID);
    ASSERT_TRUE(PressKeys("alt+g"));
    ASSERT_TRUE(PumpUntil([&] { return m_dlg.IsDlgButtonChecked(IDC_DEMO_GRID) != grid; }));
    ASSERT_TRUE(PressKeys("alt+l"));
    ASSERT_TRUE(PumpUntil([&] { return m_dlg.IsDlgButtonChecked(IDC_DEMO_LARGE) == BST_CHECKED; }));
    qlafx::ProcessPendingEvents();
    SaveScreenshot("alt-mnemonic");
}

}  // namespace
