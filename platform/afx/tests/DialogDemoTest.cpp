#include "ControlTestSupport.h"

#include "platform/afx/demo/DemoDialog.h"
#include "platform/afx/demo/res/DemoResources.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

TEST(DialogDemo, RunsOffscreenTicksAndSavesItsGrab)
{
    CDemoDialog dlg;
    ASSERT_TRUE(dlg.Create(IDD_DEMO));
    dlg.ShowWindow(SW_SHOW);
    qlafx::ProcessPendingEvents();
    // The clock's timer, three times over.
    for (int i = 0; i < 3; ++i)
        dlg.SendMessage(WM_TIMER, 1);
    CString clock;
    dlg.GetDlgItemText(IDC_CLOCK, clock);
    EXPECT_EQ(clock, "Ticks: 3");
    EXPECT_EQ(dlg.IsDlgButtonChecked(IDC_GRID), BST_CHECKED);
    EXPECT_EQ(dlg.IsDlgButtonChecked(IDC_SMALL), BST_CHECKED);

    qlafx::ProcessPendingEvents();
    const QImage grab = dlg.GetWidget()->grab().toImage();
    ASSERT_FALSE(grab.isNull());
    ASSERT_TRUE(grab.save(QLAFX_DEMO_GRAB));
    std::printf("demo grab: %s\n", QLAFX_DEMO_GRAB);

    CRect color;
    dlg.GetDlgItem(IDC_COLOR)->GetWindowRect(&color);
    dlg.ScreenToClient(&color);
    const qreal dpr = grab.devicePixelRatio();
    const int x = static_cast<int>((color.left + 4) * dpr), y = static_cast<int>((color.top + 4) * dpr);
    EXPECT_EQ(ctltest::PixelOf(grab, x, y), CDemoDialog::kColors[0]);

    // A click on the owner-drawn button moves it to the next colour.
    dlg.SendDlgItemMessage(IDC_COLOR, BM_CLICK);
    const QImage after = ctltest::SurfaceAfterPaint(dlg.GetDlgItem(IDC_COLOR)->m_hWnd);
    EXPECT_EQ(ctltest::PixelOf(after, 4, 4), CDemoDialog::kColors[1]);
    dlg.DestroyWindow();
}

}  // namespace
