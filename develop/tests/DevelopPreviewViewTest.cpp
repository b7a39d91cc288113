// The preview view's zoom ladder, fitting, clamping, wheel and rendering.
#include "develop/DevelopPreviewView.h"
#include "develop/DevelopSkin.h"
#include "develop/ResampleRect.h"

#include "DevelopUiTestSupport.h"
#include "platform/afx/PaintDC.h"
#include "platform/afx/WinApp.h"
#include "platform/codec/QLImageCodec.h"
#include "platform/raw/RawTone.h"
#include "platform/win/ProgramFolder.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace develop;

namespace {

class DevelopPreviewViewTest : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        CQLImageCodec::Start();
        qlwin::SetProgramFolder(QUILLO_PROGRAM_DIR);
        static CWinApp app("QuilloDevelop");
    }
    void SetUp() override
    {
        ASSERT_TRUE(parent.CreateEx(0, nullptr, "view", WS_POPUP | WS_VISIBLE, CRect(0, 0, 500, 400), nullptr, 0));
    }
    void TearDown() override
    {
        view.DestroyWindow();
        parent.DestroyWindow();
    }
    void Make(int cx, int cy, int iw, int ih)
    {
        ASSERT_TRUE(view.Create(9000, CRect(0, 0, cx, cy), &parent));
        image.Create(iw, ih);
        for (int y = 0; y < ih; ++y)
            for (int x = 0; x < iw; ++x)
                *image.GetBuffer(x, y) = C16BitPixel{static_cast<WORD>(x * 16), static_cast<WORD>(y * 16),
                                                     static_cast<WORD>((x + y) * 8)};
        view.SetImage16(&image);
    }

    CWnd parent;
    DevelopPreviewView view;
    C16BitBitmap image;
};

TEST(DevelopPreviewLadder, StepsUpAndDown)
{
    struct Case {
        double from, up, down;
    };
    const Case cases[] = {{0.1, 0.2, 0.1}, {8, 8, 6}, {0.5, 0.6666, 0.3333}, {1, 2, 0.6666}, {0.05, 0.1, 0.1},
                          {0.75, 1, 0.6666}};
    for (const Case& c : cases) {
        EXPECT_DOUBLE_EQ(DevelopPreviewView::NextZoomUp(c.from), c.up) << c.from;
        EXPECT_DOUBLE_EQ(DevelopPreviewView::NextZoomDown(c.from), c.down) << c.from;
    }
}

TEST_F(DevelopPreviewViewTest, FitShowsTheWholeImageWithoutPanning)
{
    Make(400, 300, 4000, 3000);
    view.FitToWindow();
    EXPECT_DOUBLE_EQ(view.Zoom(), 0.1);
    EXPECT_EQ(view.VisibleRegion(), CRect(0, 0, 4000, 3000));
    EXPECT_EQ(view.ImageRect(), CRect(0, 0, 400, 300));
    EXPECT_FALSE(view.CanPan());
    // A press in the image starts no drag: the offsets stay.
    view.SendMessage(WM_LBUTTONDOWN, 0, MAKELPARAM(200, 150));
    view.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(100, 50));
    EXPECT_EQ(view.Offset(), CPoint(0, 0));
}

TEST_F(DevelopPreviewViewTest, FitConvertsOnlyWhatTheResamplerReadsWithTheSameResult)
{
    Make(400, 300, 1999, 1501);
    view.FitToWindow();
    const CRect rect = view.ImageRect();
    EXPECT_LT(view.ConvertedPixels(), 1999LL * 1501 / 4);
    // Against a full conversion resampled the same way.
    CQLImage full;
    full.Create(1999, 1501);
    const WORD* tone = RawToneTable();
    for (int y = 0; y < 1501; ++y)
        for (int x = 0; x < 1999; ++x) {
            const C16BitPixel& p = *image.GetBuffer(x, y);
            BYTE* d = full.GetBuffer(x, y);
            d[0] = static_cast<BYTE>(tone[p.b]);
            d[1] = static_cast<BYTE>(tone[p.g]);
            d[2] = static_cast<BYTE>(tone[p.r]);
            d[3] = 255;
        }
    CQLImage expected, actual;
    ASSERT_TRUE(ResampleRect(&full, &expected, rect.Width(), rect.Height(), 0, 0, -1, -1));
    ASSERT_TRUE(ResampleRect(&view.DisplayBuffer(), &actual, rect.Width(), rect.Height(), 0, 0, -1, -1));
    EXPECT_EQ(std::memcmp(expected.GetBuffer(0, 0), actual.GetBuffer(0, 0), expected.GetAreaByteSize()), 0);
}

TEST_F(DevelopPreviewViewTest, WheelAtTheRightBorderKeepsThePointAsCentralAsClampingAllows)
{
    Make(400, 300, 1600, 1200);
    view.FitToWindow();
    ASSERT_DOUBLE_EQ(view.Zoom(), 0.25);
    CPoint screen(399, 150);
    view.ClientToScreen(&screen);
    view.SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, 120), MAKELPARAM(screen.x, screen.y));
    EXPECT_DOUBLE_EQ(view.Zoom(), 0.3333);
    const CRect region = view.VisibleRegion();
    EXPECT_EQ(region.right, 1600);  // clamped at the image's right edge
    EXPECT_GT(region.left, 0);
    EXPECT_TRUE(view.CanPan());
    // Wheel down takes the ladder's step below, not the fitted zoom.
    view.SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), MAKELPARAM(screen.x, screen.y));
    EXPECT_DOUBLE_EQ(view.Zoom(), 0.2);
}

TEST_F(DevelopPreviewViewTest, ActualSizeOfASmallImageHasGreyMargins)
{
    Make(400, 300, 100, 60);
    view.ActualSize();
    EXPECT_EQ(view.ImageRect(), CRect(150, 120, 250, 180));
    CClientDC dc(&view);
    view.SendMessage(WM_PAINT);
    EXPECT_EQ(dc.GetPixel(50, 50), kDevelopBack);
    EXPECT_EQ(dc.GetPixel(0, 0), RGB(0, 0, 0));  // the frame
    EXPECT_NE(dc.GetPixel(200, 150), kDevelopBack);
}

TEST_F(DevelopPreviewViewTest, PanningAtActualSizeIsClamped)
{
    Make(400, 300, 1000, 800);
    view.ActualSize();
    ASSERT_TRUE(view.CanPan());
    view.SendMessage(WM_LBUTTONDOWN, 0, MAKELPARAM(300, 200));
    view.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(100, 100));
    EXPECT_EQ(view.Offset(), CPoint(200, 100));
    view.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(-2000, -2000));
    EXPECT_EQ(view.Offset(), CPoint(600, 500));
    view.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(0, 0));
    EXPECT_EQ(view.VisibleRegion(), CRect(600, 500, 1000, 800));
}

} // namespace
