#include "SkinTestSupport.h"

#include "editor/ui/AppSettings.h"
#include "editor/ui/ButtonST.h"
#include "editor/ui/TwoStatusCheck.h"
#include "editor/ui/demo/SkinDemoDialog.h"
#include "editor/ui/demo/res/SkinDemoResources.h"
#include "platform/codec/QLImageCodec.h"

#include <QPainter>

#include <cstdio>
#include <fstream>

namespace {

TEST(SkinDemo, ShowsEveryControlSkinnedAndSavesItsGrab)
{
    skintest::TempFolder folder;
    ASSERT_FALSE(folder.Path().empty());
    const std::string profile = folder.Path() + "Quillo.ini";
    std::ofstream(profile) << "[General]\nUserName=Demo\n";
    CWinApp app("Quillo");
    app.m_pszProfileName = strdup(profile.c_str());
    std::snprintf(theAppSettings.m_programFolder, sizeof theAppSettings.m_programFolder, "%s/", QUILLO_PROGRAM_DIR);
    theAppSettings.LoadProfileAndSkin();
    UINT w = 0, h = 0;
    theAppSettings.m_checkImage.GetSize(&w, &h);
    ASSERT_GE(w, 32u) << "the generated skin is missing from " << QUILLO_PROGRAM_DIR;
    ASSERT_EQ(g_skinButtonImage, &theAppSettings.m_buttonImage);
    BITMAP pattern{};
    EXPECT_GT(theAppSettings.m_skinBitmap.GetBitmap(&pattern), 0) << "bitmap resource 329";

    ::SetCursorPos(3000, 3000);
    CSkinDemoDialog dlg;
    ASSERT_TRUE(dlg.Create(IDD_SKIN_DEMO));
    dlg.ShowWindow(SW_SHOW);
    qlafx::ProcessPendingEvents();
    dlg.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    qlafx::ProcessPendingEvents();

    // Re-skinned by their first colouring.
    EXPECT_TRUE(CWnd::FromHandlePermanent(dlg.GetDlgItem(IDOK)->m_hWnd)->IsKindOf(RUNTIME_CLASS(CButtonST)));
    EXPECT_TRUE(CWnd::FromHandlePermanent(dlg.GetDlgItem(IDC_DEMO_GRID)->m_hWnd)
                    ->IsKindOf(RUNTIME_CLASS(CTwoStatusCheck)));
    EXPECT_EQ(dlg.IsDlgButtonChecked(IDC_DEMO_GRID), BST_CHECKED);
    EXPECT_EQ(dlg.IsDlgButtonChecked(IDC_DEMO_MEDIUM), BST_CHECKED);

    // A click on a radio button moves the choice.
    CWnd* large = dlg.GetDlgItem(IDC_DEMO_LARGE);
    large->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
    qlafx::ProcessPendingEvents();
    EXPECT_EQ(dlg.IsDlgButtonChecked(IDC_DEMO_LARGE), BST_CHECKED);
    EXPECT_EQ(dlg.IsDlgButtonChecked(IDC_DEMO_MEDIUM), BST_UNCHECKED);

    // The mouse over Apply, and resting on the zoom-in picture button until its tip shows.
    CWnd* apply = dlg.GetDlgItem(IDC_DEMO_APPLY);
    apply->SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(static_cast<CButtonST*>(CWnd::FromHandlePermanent(apply->m_hWnd))->m_hover, 1);
    ASSERT_NE(dlg.m_zoomIn.m_hWnd, nullptr);
    RECT zoom;
    dlg.m_zoomIn.GetWindowRect(&zoom);
    ::SetCursorPos(zoom.left + 12, zoom.top + 12);
    dlg.m_zoomIn.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(dlg.m_zoomIn.m_hWnd),
                             MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    for (int i = 0; i < 10; ++i)
        dlg.m_zoomIn.SendMessage(WM_TIMER, 1234);
    ASSERT_TRUE(dlg.m_hint.IsWindowVisible());
    EXPECT_STREQ(dlg.m_hint.m_text, "Zoom in (Ctrl and +)");
    qlafx::ProcessPendingEvents();

    // The dialog's client area with the tip laid over it where it shows.
    QImage grab = dlg.GetWidget()->grab().toImage();
    ASSERT_FALSE(grab.isNull());
    POINT origin{0, 0};
    dlg.ClientToScreen(&origin);
    RECT tip;
    dlg.m_hint.GetWindowRect(&tip);
    const QImage tipGrab = dlg.m_hint.GetWidget()->grab().toImage();
    {
        QPainter painter(&grab);
        painter.drawImage(QPoint(tip.left - origin.x, tip.top - origin.y), tipGrab);
    }
    ASSERT_TRUE(grab.save(QUILLO_SKIN_DEMO_GRAB));
    std::printf("skin demo grab: %s\n", QUILLO_SKIN_DEMO_GRAB);

    // The disabled slider shows 35 x 0.5 in its value box; its face has no thumb.
    EXPECT_EQ(dlg.m_softness.GetPos(), 35);
    dlg.DestroyWindow();
    g_skinButtonImage = nullptr;
}

}  // namespace
