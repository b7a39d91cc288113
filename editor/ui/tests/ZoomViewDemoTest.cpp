// The zoom view demo frame: menu 128 with its icons over a photo, zoomed
// in twice and panned, saved as an offscreen grab with the File menu open.
#include "SkinTestSupport.h"

#include "editor/ui/AppSettings.h"
#include "editor/ui/demo/ZoomViewDemoFrame.h"
#include "platform/afx/Menu.h"
#include "platform/codec/QLImageCodec.h"

#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
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

// On a screen of ratio 2 (ctest runs this alone with QT_SCALE_FACTOR=2) the
// photo at 100 % shows one photo pixel per device pixel, never doubled.
TEST(ZoomViewDemo2x, AtRatioTwoThePhotoAtFullSizeIsSharp)
{
    if (QGuiApplication::primaryScreen()->devicePixelRatio() != 2)
        GTEST_SKIP() << "runs at QT_SCALE_FACTOR=2";
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
    view.SetScrollZoom(100, 80, 1.0);
    frame->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    qlafx::ProcessPendingEvents();
    EXPECT_DOUBLE_EQ(view.ViewScale(), 0.5);

    // Around a probe, every device pixel is the photo pixel next to its
    // neighbour's: the photo's own pixels, one for one.
    const QImage* surface = qlafx::SurfaceOfWindow(view.m_hWnd);
    ASSERT_NE(surface, nullptr);
    ASSERT_DOUBLE_EQ(surface->devicePixelRatio(), 2);
    POINT probe{300, 200};
    POINT image = probe;
    ASSERT_TRUE(view.ClientToImage(&image));
    const CQLImage* pixels = view.GetImage();
    auto matches = [&](int dx, int dy) {
        for (int j = 0; j < 40; ++j)
            for (int i = 0; i < 40; ++i) {
                const CPixel p = pixels->GetPixel2(image.x + i, image.y + j);
                const QRgb s = surface->pixel(2 * probe.x + dx + i, 2 * probe.y + dy + j);
                if (qRed(s) != p.r || qGreen(s) != p.g || qBlue(s) != p.b)
                    return false;
            }
        return true;
    };
    bool sharp = false;
    for (int dy = -1; dy <= 1 && !sharp; ++dy)
        for (int dx = -1; dx <= 1 && !sharp; ++dx)
            sharp = matches(dx, dy);
    EXPECT_TRUE(sharp) << "40 x 40 photo pixels shown one per device pixel";

    const QImage grab = frame->GetWidget()->grab().toImage();
    EXPECT_DOUBLE_EQ(grab.devicePixelRatio(), 2);
    const std::string path = std::string(QUILLO_ZOOMVIEW_DEMO_GRAB).substr(0, std::string(QUILLO_ZOOMVIEW_DEMO_GRAB).size() - 4) + "@2x.png";
    ASSERT_TRUE(grab.save(QString::fromStdString(path)));
    std::printf("zoom view demo grab at ratio 2: %s\n", path.c_str());
    frame->DestroyWindow();
    qlafx::ProcessPendingEvents();
    CQLImageCodec::Stop();
}

}  // namespace
