// "Erase Redeye": the recolour of a click on fixture patches, the mean hue,
// what a click may touch, the dialog's settings and OK, and a grab.
#include "AdjustTestSupport.h"

#include "editor/adjust/RedEyeDlg.h"
#include "editor/retouch/SelectBrushDlg.h"
#include "editor/shell/PhotoDocument.h"
#include "platform/afx/QtBridge.h"
#include "platform/codec/ColorForms.h"

#include <QWidget>

#include <cmath>
#include <cstdlib>
#include <string>

namespace {

using adjusttest::SamePixels;

CPixel Bgr(int r, int g, int b, int a = 255)
{
    return CPixel{static_cast<BYTE>(b), static_cast<BYTE>(g), static_cast<BYTE>(r), static_cast<BYTE>(a)};
}

// Brightness, saturation, hue of a pixel.
CPixel Hsb(CPixel p)
{
    BYTE bytes[4] = {p.b, p.g, p.r, p.a};
    qlcodec::RgbToHsbPixel(bytes);
    return CPixel{bytes[0], bytes[1], bytes[2], bytes[3]};
}

int HueDistance(int a, int b)
{
    const int d = std::abs(a - b) % 256;
    return std::min(d, 256 - d);
}

// A 33 x 33 patch, every pixel fully in the brush, coloured by where it lies.
void MakePatch(CQLImage* patch, const std::function<CPixel(int distance2)>& colour)
{
    shelltest::MakeImage(patch, 33, 33, [&](int x, int y) { return colour((x - 16) * (x - 16) + (y - 16) * (y - 16)); });
}

TEST(RedEyeRecolour, RedPupilTakesTheHueOfItsDarkRing)
{
    const CPixel ring = Bgr(40, 50, 90);  // dark blue iris
    CQLImage patch;
    MakePatch(&patch, [&](int d2) { return d2 <= 36 ? Bgr(210, 30, 40) : ring; });
    redeye::RecolourPatch(&patch);
    const CPixel centre = patch.GetPixel2(16, 16);
    const CPixel irisHsb = Hsb(ring), centreHsb = Hsb(centre);
    EXPECT_LT(centre.r, centre.b) << "still red: " << int(centre.r) << "," << int(centre.g) << "," << int(centre.b);
    // Dark pixels carry hue and saturation coarsely.
    EXPECT_LE(HueDistance(centreHsb.r, irisHsb.r), 6);
    EXPECT_NEAR(centreHsb.g, irisHsb.g, 10);
    // The iris itself is not red and stays.
    const CPixel corner = patch.GetPixel2(0, 0);
    EXPECT_NEAR(corner.r, ring.r, 3);
    EXPECT_NEAR(corner.b, ring.b, 3);
    EXPECT_EQ(centre.a, 255);
}

TEST(RedEyeRecolour, CatchLightTurnsGreyAndKeepsItsBrightness)
{
    CQLImage patch;
    MakePatch(&patch, [](int d2) {
        if (d2 <= 2)
            return Bgr(250, 200, 190);  // brighter than 224
        return d2 <= 36 ? Bgr(210, 30, 40) : Bgr(40, 50, 90);
    });
    redeye::RecolourPatch(&patch);
    const CPixel light = patch.GetPixel2(16, 16);
    EXPECT_EQ(light.r, 250);
    EXPECT_EQ(light.g, 250);
    EXPECT_EQ(light.b, 250);
    EXPECT_EQ(Hsb(light).g, 0);
}

TEST(RedEyeRecolour, WithoutDarkIrisThePupilGoesGreyAndDark)
{
    CQLImage patch;
    MakePatch(&patch, [](int) { return Bgr(200, 20, 20); });
    redeye::RecolourPatch(&patch);
    for (int y = 0; y < 33; y += 8)
        for (int x = 0; x < 33; x += 8) {
            const CPixel p = patch.GetPixel2(x, y);
            EXPECT_EQ(p.r, p.g) << x << "," << y;
            EXPECT_EQ(p.g, p.b);
            EXPECT_LT(p.r, 50);
        }
}

TEST(RedEyeRecolour, MeanHueOnTheCircle)
{
    struct Case {
        long long x, y;
        int hue;
    };
    for (const Case& c : {Case{0, 0, 0}, Case{100, 0, 0}, Case{0, 100, 64}, Case{-100, 0, 128}, Case{0, -100, 192},
                          Case{-100, -1, 128}, Case{100, -100, 224}})
        EXPECT_EQ(redeye::MeanHue(c.x, c.y), c.hue) << c.x << "," << c.y;
}

TEST(RedEyeRecolour, ClickWritesOnlyWhereTheBrushReaches)
{
    CQLImage work, before;
    shelltest::MakeImage(&work, 64, 64, [](int x, int y) {
        const int d2 = (x - 32) * (x - 32) + (y - 32) * (y - 32);
        return d2 <= 25 ? Bgr(220, 30, 30, 9) : Bgr(250, 240, 235, 9);
    });
    before.DuplicateFrom(&work);
    const BYTE brush[4] = {0, 20, 8, 255};
    const RECT area{18, 18, 46, 46};
    ASSERT_TRUE(redeye::EraseRedEye(&work, brush, area, POINT{32, 32}));
    EXPECT_NE(work.GetPixel2(32, 32).r, 220);
    EXPECT_EQ(work.GetPixel2(32, 32).a, 9);  // the photo's alpha stays
    // The square's corners lie outside the round brush; outside the area nothing moves.
    for (POINT p : {POINT{18, 18}, POINT{45, 18}, POINT{18, 45}, POINT{45, 45}, POINT{5, 5}, POINT{60, 32}}) {
        const CPixel a = work.GetPixel2(p.x, p.y), b = before.GetPixel2(p.x, p.y);
        EXPECT_TRUE(a.r == b.r && a.g == b.g && a.b == b.b && a.a == b.a) << p.x << "," << p.y;
    }
}

class RedEyeDlgTest : public adjusttest::AdjustDialogTest {
protected:
    int Run(std::function<int(CRedEyeDlg*)> work)
    {
        m_work = [work](CWnd* dialog) {
            auto* dlg = dynamic_cast<CRedEyeDlg*>(dialog);
            return dlg ? work(dlg) : IDCANCEL;
        };
        return RunRedEyeDlg(m_frame);
    }
    // A red disc of radius 8 in a dark ring at (cx, cy).
    static void PaintRedEye(CQLImage* image, int cx, int cy)
    {
        for (int y = cy - 20; y <= cy + 20; ++y)
            for (int x = cx - 20; x <= cx + 20; ++x) {
                const int d2 = (x - cx) * (x - cx) + (y - cy) * (y - cy);
                if (d2 <= 64)
                    image->PutPixel(x, y, Bgr(215, 25, 35));
                else if (d2 <= 400)
                    image->PutPixel(x, y, Bgr(45, 55, 70));
            }
    }
    static bool RedLeft(const CQLImage& image, int cx, int cy)
    {
        for (int y = cy - 8; y <= cy + 8; ++y)
            for (int x = cx - 8; x <= cx + 8; ++x) {
                const int d2 = (x - cx) * (x - cx) + (y - cy) * (y - cy);
                const CPixel p = image.GetPixel2(x, y);
                if (d2 <= 64 && p.r > p.g + 60 && p.r > p.b + 60)
                    return true;
            }
        return false;
    }
};

TEST_F(RedEyeDlgTest, ClickThenOkRecordsErase)
{
    OpenPhoto(200, 150);
    PaintRedEye(&thePhotoDocument.m_image, 100, 75);
    const int result = Run([](CRedEyeDlg* dlg) {
        EXPECT_EQ(dlg->m_brush[brush::kSize], 16);
        EXPECT_EQ(dlg->m_brush[brush::kBlur], 16);
        EXPECT_EQ(dlg->m_maxSize, 64);
        char caption[64] = {};
        dlg->GetWindowText(caption, sizeof caption);
        EXPECT_STREQ(caption, "Erase Redeye");
        dlg->OnImageClick(100, 75);
        EXPECT_EQ(dlg->m_brush[brush::kSize], 16);  // widened for the click only
        EXPECT_EQ(dlg->m_count, 1u);
        dlg->OnImageClick(-5, 400);                 // outside: nothing
        EXPECT_EQ(dlg->m_count, 1u);
        EXPECT_FALSE(RedLeft(dlg->m_work, 100, 75));
        dlg->SendMessage(WM_COMMAND, IDOK, 0);
        return qlafx::kModalRun;
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_FALSE(RedLeft(thePhotoDocument.m_image, 100, 75));
    ASSERT_EQ(thePhotoDocument.m_history.GetCount(), 2);
    char text[128] = {};
    EXPECT_STREQ(thePhotoDocument.m_history.GetActionText(sizeof text, text), "Open,Erase Redeye,");
}

TEST_F(RedEyeDlgTest, CancelKeepsThePhoto)
{
    OpenPhoto(200, 150);
    PaintRedEye(&thePhotoDocument.m_image, 100, 75);
    CQLImage before;
    before.DuplicateFrom(&thePhotoDocument.m_image);
    const int result = Run([](CRedEyeDlg* dlg) {
        dlg->OnImageClick(100, 75);
        dlg->SendMessage(WM_COMMAND, IDCANCEL, 0);
        return qlafx::kModalRun;
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_TRUE(SamePixels(thePhotoDocument.m_image, before));
    EXPECT_EQ(thePhotoDocument.m_history.GetCount(), 1);
}

TEST_F(RedEyeDlgTest, Grab)
{
    if (!OpenCorpusPhoto("exif-samples/jpg/exif-org/sony-powershota5.jpg"))
        GTEST_SKIP() << "corpus photo absent";
    m_frame->MoveWindow(0, 0, 1100, 760);
    UINT w = 0, h = 0;
    thePhotoDocument.m_image.GetSize(&w, &h);
    const int cx = static_cast<int>(w) / 2, cy = static_cast<int>(h) / 2;
    PaintRedEye(&thePhotoDocument.m_image, cx, cy);
    std::string grab;
    Run([&](CRedEyeDlg* dlg) {
        dlg->OnImageClick(cx, cy);
        EXPECT_FALSE(RedLeft(dlg->m_work, cx, cy));
        dlg->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        qlafx::ProcessPendingEvents();
        grab = shelltest::SaveGrab(dlg->GetWidget()->grab().toImage(), "adjust-redeye");
        return IDCANCEL;
    });
    EXPECT_FALSE(grab.empty());
}

}  // namespace
