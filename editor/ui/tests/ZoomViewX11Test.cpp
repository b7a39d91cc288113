// The zoom view on a real X server at device pixel ratio 2 (this program
// sets QT_SCALE_FACTOR itself): the photo at 100 % is on the screen one
// photo pixel per device pixel, never doubled.
#include "SkinTestSupport.h"

#include "editor/ui/AppSettings.h"
#include "editor/ui/demo/ZoomViewDemoFrame.h"
#include "platform/afx/tests/X11TestSupport.h"
#include "platform/codec/QLImageCodec.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

TEST(ZoomViewX11, AtRatioTwoThePhotoHasOnePhotoPixelPerDevicePixel)
{
    ASSERT_DOUBLE_EQ(QGuiApplication::primaryScreen()->devicePixelRatio(), 2);
    std::snprintf(theAppSettings.m_programFolder, sizeof theAppSettings.m_programFolder, "%s/", QUILLO_PROGRAM_DIR);
    CQLImageCodec::Start();
    const std::string photo = std::string(QUILLO_CORPUS_DIR) + "/exif-samples/jpg/Reconyx_HC500_Hyperfire.jpg";
    const bool havePhoto = std::filesystem::exists(photo);

    auto* frame = new CZoomViewDemoFrame;
    ASSERT_TRUE(frame->CreateDemo(havePhoto ? photo.c_str() : nullptr, RECT{20, 20, 520, 420}));
    frame->ShowWindow(SW_SHOW);
    QWidget* top = frame->GetWidget();
    ASSERT_TRUE(x11test::WaitManaged(top));
    ZoomView& view = frame->m_view;
    view.SetScrollZoom(100, 80, 1.0);
    frame->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    x11test::WmBarrier barrier;
    ASSERT_TRUE(barrier.Sync());
    qlafx::ProcessPendingEvents();

    // 24 x 24 photo pixels around a probe, compared with the screen's device
    // pixels (the photo may sit one device pixel off the probe's mapping).
    QWidget* viewWidget = qlafx::WidgetOf(view.m_hWnd);
    POINT probe{200, 150};
    POINT image = probe;
    ASSERT_TRUE(view.ClientToImage(&image));
    const QPoint global = viewWidget->mapToGlobal(QPoint(probe.x, probe.y));
    const QImage shot = x11test::Screen();
    ASSERT_DOUBLE_EQ(shot.devicePixelRatio(), 2);
    const CQLImage* pixels = view.GetImage();
    auto matches = [&](int dx, int dy) {
        for (int j = 0; j < 24; ++j)
            for (int i = 0; i < 24; ++i) {
                const CPixel p = pixels->GetPixel2(image.x + i, image.y + j);
                const QRgb s = shot.pixel(2 * global.x() + dx + i, 2 * global.y() + dy + j);
                if (qRed(s) != p.r || qGreen(s) != p.g || qBlue(s) != p.b)
                    return false;
            }
        return true;
    };
    bool sharp = false;
    for (int dy = -1; dy <= 1 && !sharp; ++dy)
        for (int dx = -1; dx <= 1 && !sharp; ++dx)
            sharp = matches(dx, dy);
    EXPECT_TRUE(sharp) << "the photo's own pixels, one per device pixel";
    x11test::SaveScreenshot("zoomview-ratio2");
    frame->DestroyWindow();
    qlafx::ProcessPendingEvents();
    CQLImageCodec::Stop();
}

}  // namespace

int main(int argc, char** argv)
{
    // Ratio 2 before the application exists; listing runs offscreen.
    setenv("QT_SCALE_FACTOR", "2", 1);
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
