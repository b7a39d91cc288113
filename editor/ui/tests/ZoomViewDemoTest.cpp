// The zoom view demo frame: menu 128 with its icons over a photo, zoomed
// in twice and panned, saved as an offscreen grab with the File menu open.
#include "SkinTestSupport.h"

#include "editor/ui/AppSettings.h"
#include "editor/ui/demo/ZoomViewDemoFrame.h"
#include "platform/afx/Menu.h"
#include "platform/codec/QLImageCodec.h"

#include <QMenu>
#include <QMenuBar>
#include <QPainter>

#include <cstdio>
#include <filesystem>
#include <string>

namespace {

TEST(ZoomViewDemo, FrameWithMenuAndZoomedPannedPhotoSavesItsGrab)
{
    std::snprintf(theAppSettings.m_programFolder, sizeof theAppSettings.m_programFolder, "%s/", QUILLO_PROGRAM_DIR);
    CQLImageCodec::Start();
    const std::string photo = std::string(QUILLO_CORPUS_DIR) + "/exif-samples/jpg/Reconyx_HC500_Hyperfire.jpg";
    const bool havePhoto = std::filesystem::exists(photo);
    ::SetCursorPos(3000, 3000);

    auto* frame = new CZoomViewDemoFrame;
    ASSERT_TRUE(frame->CreateDemo(havePhoto ? photo.c_str() : nullptr, RECT{0, 0, 900, 640}));
    frame->ShowWindow(SW_SHOW);
    qlafx::ProcessPendingEvents();
    ZoomView& view = frame->m_view;
    ASSERT_NE(qlafx::MenuBarOf(frame->m_hWnd), nullptr);
    const double fit = view.m_zoom;
    EXPECT_LE(fit, 1.0);

    // Two steps in at the photo's centre, then a pan by the mouse.
    view.ZoomAtCenter(TRUE);
    view.ZoomAtCenter(TRUE);
    EXPECT_GT(view.m_zoom, fit);
    const int scrollX = view.m_scrollX, scrollY = view.m_scrollY;
    view.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(400, 300));
    view.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(340, 260));
    view.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(340, 260));
    EXPECT_NE(std::make_pair(view.m_scrollX, view.m_scrollY), std::make_pair(scrollX, scrollY));
    frame->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    qlafx::ProcessPendingEvents();

    // The view shows the photo's pixel that its mapping names.
    const QImage surface = skintest::SurfaceOf(view.m_hWnd);
    POINT probe{450, 300};
    POINT image = probe;
    ASSERT_TRUE(view.ClientToImage(&image));
    const int rgb = view.GetPixelAt(probe, FALSE);
    ASSERT_NE(rgb, -1);
    const skintest::Bgr seen = skintest::BgrAt(surface, probe.x, probe.y);
    EXPECT_NEAR(seen.r, GetRValue(rgb), 40);
    EXPECT_NEAR(seen.g, GetGValue(rgb), 40);
    EXPECT_NEAR(seen.b, GetBValue(rgb), 40);

    // The frame with the File menu laid open under its title.
    QImage grab = frame->GetWidget()->grab().toImage();
    ASSERT_FALSE(grab.isNull());
    if (CMenu* file = frame->m_menu.GetSubMenu(0)) {
        QImage popup;
        qlafx::SetPopupMenuHook([&](HMENU, QMenu* shown) -> UINT {
            shown->adjustSize();
            popup = shown->grab().toImage();
            return 0;
        });
        file->TrackPopupMenu(TPM_RETURNCMD, 0, 0, frame);
        qlafx::SetPopupMenuHook({});
        EXPECT_FALSE(popup.isNull());
        QPainter painter(&grab);
        painter.drawImage(QPoint(4, qlafx::MenuBarHeight(frame->m_hWnd)), popup);
    }
    std::filesystem::create_directories(std::filesystem::path(QUILLO_ZOOMVIEW_DEMO_GRAB).parent_path());
    ASSERT_TRUE(grab.save(QUILLO_ZOOMVIEW_DEMO_GRAB));
    std::printf("zoom view demo grab: %s (%s)\n", QUILLO_ZOOMVIEW_DEMO_GRAB, havePhoto ? photo.c_str() : "drawn picture");

    frame->DestroyWindow();  // deletes the frame
    qlafx::ProcessPendingEvents();
    CQLImageCodec::Stop();
}

}  // namespace
