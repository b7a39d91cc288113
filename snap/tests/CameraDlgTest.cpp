// The camera dialog on the test-pattern source, and without any camera.
#include "SnapTestSupport.h"

#include "platform/afx/CommCtrl.h"
#include "platform/afx/Controls.h"
#include "platform/afx/Dialog.h"
#include "platform/capture/CaptureWindow.h"
#include "platform/capture/VideoSource.h"
#include "snap/CameraDlg.h"
#include "snap/SnapFrames.h"

#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>

using namespace snaptest;

namespace {

const char* kPicture = "exif-samples/jpg/gps/DSCN0010.jpg";

class CameraDlgTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetUpProgram();
        setenv("QUILLO_CAMERA", "pattern", 1);
        m_picture = std::string(QUILLO_CORPUS_DIR) + "/" + kPicture;
        setenv("QUILLO_CAMERA_PICTURE", m_picture.c_str(), 1);
    }
    void TearDown() override
    {
        unsetenv("QUILLO_CAMERA");
        unsetenv("QUILLO_CAMERA_PICTURE");
    }
    std::string m_picture;
};

// The pattern source's next frame as the dialog takes it.
CQLImage PatternFrame(qlcapture::VideoSize size)
{
    auto src = qlcapture::OpenPatternSource();
    src->SetSize(size);
    src->Start();
    qlcapture::VideoFrame f;
    CQLImage img;
    if (src->ReadFrame(&f, 500)) {
        BITMAPINFOHEADER h{};
        h.biSize = sizeof h;
        h.biWidth = f.width;
        h.biHeight = f.height;
        h.biPlanes = 1;
        h.biBitCount = 24;
        snap::FrameToImage(h, f.bits.data(), f.bits.size(), &img);
    }
    return img;
}

bool SamePixels(const CQLImage& a, const CQLImage& b)
{
    UINT aw = 0, ah = 0, bw = 0, bh = 0;
    a.GetSize(&aw, &ah);
    b.GetSize(&bw, &bh);
    if (aw != bw || ah != bh || aw == 0)
        return false;
    for (UINT y = 0; y < ah; ++y)
        for (UINT x = 0; x < aw; ++x)
            if (!(a.GetPixel2(static_cast<int>(x), static_cast<int>(y)) ==
                  b.GetPixel2(static_cast<int>(x), static_cast<int>(y))))
                return false;
    return true;
}

} // namespace

TEST_F(CameraDlgTest, WithoutACameraItSaysSoAndDoesNotOpen)
{
    unsetenv("QUILLO_CAMERA");
    if (!qlcapture::VideoDeviceNodes().empty())
        GTEST_SKIP() << "this machine has a video device";
    std::vector<std::string> boxes;
    bool opened = false;
    HookGuard hook([&](CWnd* d, const char*, const char* text, UINT) {
        if (!d) {
            boxes.push_back(text);
            return IDOK;
        }
        opened = true;
        return IDCANCEL;
    });
    snap::CCameraDlg dlg;
    EXPECT_EQ(dlg.DoModal(), -1);
    EXPECT_FALSE(opened);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], "Can not init camera");
}

TEST_F(CameraDlgTest, OkTakesTheNextFrame)
{
    if (!std::filesystem::exists(m_picture))
        GTEST_SKIP() << "corpus photo missing";
    snap::CCameraDlg dlg;
    HookGuard hook([&](CWnd* d, const char*, const char*, UINT) {
        if (d == &dlg)
            dlg.SendMessage(WM_COMMAND, IDOK);
        return qlafx::kModalRun;  // the frame callback ends it
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_TRUE(SamePixels(dlg.m_image, PatternFrame({640, 480})));
    EXPECT_EQ(snap::FrameReceiver(), nullptr);
}

TEST_F(CameraDlgTest, OkThenCancelBeforeAFrameCancels)
{
    snap::CCameraDlg dlg;
    HookGuard hook([&](CWnd* d, const char*, const char*, UINT) {
        if (d == &dlg) {
            dlg.SendMessage(WM_COMMAND, IDOK);
            dlg.SendMessage(WM_COMMAND, IDCANCEL);
        }
        return qlafx::kModalRun;
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    UINT w = 0, h = 0;
    dlg.m_image.GetSize(&w, &h);
    EXPECT_EQ(w, 0u);
    EXPECT_EQ(snap::FrameReceiver(), nullptr);
}

TEST_F(CameraDlgTest, DriverDialogsChangeASettingAndTheSize)
{
    snap::CCameraDlg dlg;
    bool sawSource = false, sawFormat = false;
    HookGuard hook([&](CWnd* d, const char* caption, const char*, UINT) {
        if (!d)
            return IDOK;
        const std::string title = caption ? caption : "";
        if (title == "Video Source") {
            sawSource = true;
            // Brightness all the way down, as a drag of its trackbar ends.
            HWND bar = ::GetDlgItem(d->m_hWnd, kSourceFirstControl);
            ::SendMessage(bar, TBM_SETPOS, TRUE, -100);
            d->SendMessage(WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0), reinterpret_cast<LPARAM>(bar));
            return IDOK;
        }
        if (title == "Video Format") {
            sawFormat = true;
            d->SendDlgItemMessage(kFormatSizeList, LB_SETCURSEL, 0);  // 320 x 240
            d->SendDlgItemMessage(IDOK, BM_CLICK);
            return qlafx::kModalRun;
        }
        if (d == &dlg) {
            dlg.SendDlgItemMessage(1006, BM_CLICK);
            dlg.SendDlgItemMessage(1007, BM_CLICK);
            dlg.SendMessage(WM_COMMAND, IDOK);
        }
        return qlafx::kModalRun;
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_TRUE(sawSource);
    EXPECT_TRUE(sawFormat);
    UINT w = 0, h = 0;
    dlg.m_image.GetSize(&w, &h);
    EXPECT_EQ(w, 320u);
    EXPECT_EQ(h, 240u);
    int brightest = 0;
    for (UINT y = 0; y < h; ++y)
        for (UINT x = 0; x < w; ++x) {
            const CPixel p = dlg.m_image.GetPixel2(static_cast<int>(x), static_cast<int>(y));
            brightest = std::max({brightest, int(p.b), int(p.g), int(p.r)});
        }
    EXPECT_LE(brightest, 155);
}

TEST_F(CameraDlgTest, PreviewFitsThePictureInTheFrame)
{
    if (!std::filesystem::exists(m_picture))
        GTEST_SKIP() << "corpus photo missing";
    snap::CCameraDlg dlg;
    QImage grab;
    HookGuard hook([&](CWnd* d, const char*, const char*, UINT) {
        if (d == &dlg)
            QTimer::singleShot(700, [&] {
                grab = WindowGrab(&dlg);
                dlg.SendMessage(WM_COMMAND, IDCANCEL);
            });
        return qlafx::kModalRun;
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    ASSERT_FALSE(grab.isNull());
    EXPECT_FALSE(SaveGrab(grab, "snap_camera").empty());
    // Inside the fitted rectangle the picture, above it the dialog.
    const RECT t = snap::FitFrame(dlg.PreviewTarget(), 640, 480);
    const QColor mid = grab.pixelColor((t.left + t.right) / 2, (t.top + t.bottom) / 2);
    EXPECT_NE(mid.rgb(), grab.pixelColor(t.left + 1, t.top - 1).rgb());
}
