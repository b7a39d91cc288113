// "White Balance" and the spot-metering "Exposure Correction" on its base:
// clicks on the photo run a job, clicks beside it do nothing, OK records the
// step, and grabs on corpus photos.
#include "ToneTestSupport.h"

#include "editor/adjust/SpotMeteringDlg.h"
#include "editor/adjust/ToneFunctions.h"
#include "editor/adjust/WhiteBalanceDlg.h"
#include "editor/shell/PhotoDocument.h"
#include "editor/ui/AlgorithmThread.h"

#include <QWidget>

#include <string>

namespace {

using adjusttest::PumpUntil;
using adjusttest::SamePixels;

class WhiteBalanceDlgTest : public adjusttest::ToneDialogTest<CWhiteBalanceDlg> {
protected:
    // A click on the "Before" view at a point of the photo (or beside it).
    static void ClickPhoto(CWhiteBalanceDlg* dlg, POINT image)
    {
        POINT client = image;
        dlg->beforeView.ImageToClient(&client);
        ClickView(dlg, client);
    }
    static void ClickView(CWhiteBalanceDlg* dlg, POINT client)
    {
        ZoomViewNotice notice{&dlg->beforeView, &client};
        dlg->SendMessage(WM_ZOOMVIEW_NOTIFY, kZoomNoticeButtonDown, reinterpret_cast<LPARAM>(&notice));
        EXPECT_TRUE(PumpUntil([&] { return !dlg->Busy(); }));
    }
    static void Grab(CWnd* dlg, const char* name)
    {
        qlafx::ProcessPendingEvents();
        EXPECT_FALSE(shelltest::SaveGrab(dlg->GetWidget()->grab().toImage(), name).empty());
    }
    static int Close(CWnd* dlg, UINT id)
    {
        dlg->SendMessage(WM_COMMAND, id, 0);
        return qlafx::kModalRun;
    }
    static void OpenFlat(BYTE grey)
    {
        shelltest::MakeImage(&thePhotoDocument.m_image, 200, 150, [grey](int, int) { return CPixel{grey, grey, grey, 255}; });
        thePhotoDocument.m_history.Push(&thePhotoDocument.m_image, "Open");
    }
    // Mean of blue minus red.
    static double BlueMinusRed(const CQLImage& image)
    {
        double sum = 0;
        for (UINT i = 0; i < image.GetAreaByteSize(); i += 4)
            sum += image.GetBuffer(0, 0)[i] - image.GetBuffer(0, 0)[i + 2];
        return sum / (image.GetAreaByteSize() / 4);
    }
};

}  // namespace

TEST_F(WhiteBalanceDlgTest, AClickOnAColouredPixelRemovesItsCast)
{
    shelltest::MakeImage(&thePhotoDocument.m_image, 200, 150, [](int x, int) {
        return x < 100 ? CPixel{220, 190, 160, 255} : CPixel{90, 70, 50, 255};
    });
    thePhotoDocument.m_history.Push(&thePhotoDocument.m_image, "Open");
    const int steps = thePhotoDocument.m_history.GetCount();
    bool hiddenBefore = false, shownAfter = false;
    RunCommand(32808, [&](CWhiteBalanceDlg* dlg) {
        hiddenBefore = !dlg->afterView.IsWindowVisible() && !dlg->hasResult;
        // The margin beside the photo is no pixel.
        ClickView(dlg, POINT{1, 1});
        EXPECT_FALSE(dlg->hasResult);
        ClickPhoto(dlg, POINT{20, 20});
        shownAfter = dlg->hasResult && dlg->afterView.IsWindowVisible();
        return Close(dlg, IDOK);
    });
    EXPECT_TRUE(hiddenBefore);
    EXPECT_TRUE(shownAfter);
    EXPECT_EQ(thePhotoDocument.m_history.GetCount(), steps + 1);
    const BYTE* p = thePhotoDocument.m_image.GetBuffer(20, 20);
    EXPECT_LE(std::abs(p[0] - p[2]), 6);
}

TEST_F(WhiteBalanceDlgTest, OkWithoutAClickRecordsAnUnchangedStepAndCancelNone)
{
    OpenFlat(90);
    CQLImage before;
    before.DuplicateFrom(&thePhotoDocument.m_image);
    const int steps = thePhotoDocument.m_history.GetCount();
    RunCommand(32808, [&](CWhiteBalanceDlg* dlg) { return Close(dlg, IDCANCEL); });
    EXPECT_EQ(thePhotoDocument.m_history.GetCount(), steps);
    RunCommand(32808, [&](CWhiteBalanceDlg* dlg) { return Close(dlg, IDOK); });
    EXPECT_EQ(thePhotoDocument.m_history.GetCount(), steps + 1);
    EXPECT_TRUE(SamePixels(before, thePhotoDocument.m_image));
}

TEST_F(WhiteBalanceDlgTest, GrabOfACorpusPhoto)
{
    if (!shelltest::LoadCorpusPhoto("exif-samples/jpg/Reconyx_HC500_Hyperfire.jpg", &thePhotoDocument.m_image))
        GTEST_SKIP() << "corpus photo absent";
    thePhotoDocument.m_history.Push(&thePhotoDocument.m_image, "Open");
    m_frame->MoveWindow(0, 0, 1100, 760);
    RunCommand(32808, [&](CWhiteBalanceDlg* dlg) {
        qlafx::ProcessPendingEvents();
        ClickPhoto(dlg, POINT{1024, 1280});
        EXPECT_TRUE(dlg->hasResult);
        EXPECT_LT(BlueMinusRed(dlg->work), BlueMinusRed(thePhotoDocument.m_image));
        Grab(dlg, "adjust-whitebalance");
        return Close(dlg, IDCANCEL);
    });
}

TEST_F(WhiteBalanceDlgTest, TryAutoProcessFindsTheReferenceItself)
{
    shelltest::MakeImage(&thePhotoDocument.m_image, 200, 150, [](int x, int y) {
        return CPixel{static_cast<BYTE>(60 + x / 2), static_cast<BYTE>(40 + y), static_cast<BYTE>(30 + x / 4), 255};
    });
    thePhotoDocument.m_history.Push(&thePhotoDocument.m_image, "Open");
    RunCommand(32808, [&](CWhiteBalanceDlg* dlg) {
        dlg->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_BALANCE_AUTO, BN_CLICKED),
                         reinterpret_cast<LPARAM>(dlg->GetDlgItem(IDC_BALANCE_AUTO)->m_hWnd));
        EXPECT_TRUE(PumpUntil([&] { return !dlg->Busy(); }));
        EXPECT_TRUE(dlg->hasResult);
        EXPECT_FALSE(SamePixels(dlg->work, thePhotoDocument.m_image));
        return Close(dlg, IDCANCEL);
    });
}

// --- spot metering ---------------------------------------------------------

TEST_F(WhiteBalanceDlgTest, SpotMeteringGatesExtremeMeans)
{
    for (BYTE grey : {30, 230}) {
        OpenFlat(grey);
        RunCommand(32817, [&](CWhiteBalanceDlg* dlg) {
            EXPECT_NE(dynamic_cast<CSpotMeteringDlg*>(dlg), nullptr);
            EXPECT_FALSE(dlg->GetDlgItem(IDC_BALANCE_AUTO)->IsWindowVisible());
            ClickPhoto(dlg, POINT{100, 75});
            EXPECT_FALSE(dlg->hasResult) << int(grey);
            EXPECT_TRUE(SamePixels(dlg->work, thePhotoDocument.m_image));
            return Close(dlg, IDCANCEL);
        });
    }
}

TEST_F(WhiteBalanceDlgTest, SpotMeteringAppliesThePowerTableOfTheSquare)
{
    OpenFlat(64);
    CQLImage expected;
    BYTE table[256];
    ASSERT_TRUE(tone::SpotMeteringTable(64, table));
    ASSERT_TRUE(tone::ApplyTable(thePhotoDocument.m_image, &expected, table));
    const int steps = thePhotoDocument.m_history.GetCount();
    RunCommand(32817, [&](CWhiteBalanceDlg* dlg) {
        ClickPhoto(dlg, POINT{3, 3});
        EXPECT_EQ(static_cast<CSpotMeteringDlg*>(dlg)->meteredMean, 64);
        EXPECT_TRUE(dlg->hasResult);
        return Close(dlg, IDOK);
    });
    EXPECT_TRUE(SamePixels(expected, thePhotoDocument.m_image));
    EXPECT_EQ(thePhotoDocument.m_history.GetCount(), steps + 1);
    char actions[512];
    EXPECT_TRUE(std::string(thePhotoDocument.m_history.GetActionText(sizeof actions, actions)).ends_with("Exposure Correction,"));
}

TEST_F(WhiteBalanceDlgTest, SpotMeteringGrabOfACorpusPhoto)
{
    if (!shelltest::LoadCorpusPhoto("exif-samples/jpg/exif-org/kodak-dc240.jpg", &thePhotoDocument.m_image))
        GTEST_SKIP() << "corpus photo absent";
    thePhotoDocument.m_history.Push(&thePhotoDocument.m_image, "Open");
    m_frame->MoveWindow(0, 0, 1100, 760);
    const CQLImage& photo = thePhotoDocument.m_image;
    RunCommand(32817, [&](CWhiteBalanceDlg* dlg) {
        qlafx::ProcessPendingEvents();
        ClickPhoto(dlg, POINT{540, 100});
        // The view may round the click by a pixel: meter where it landed.
        const POINT at = static_cast<CSpotMeteringDlg*>(dlg)->clicked;
        EXPECT_LE(std::abs(at.x - 540) + std::abs(at.y - 100), 2);
        const int mean = tone::MeanLuminance(photo, tone::MeterSquare(photo, at));
        EXPECT_NEAR(mean, 68, 8);
        BYTE table[256];
        CQLImage expected;
        EXPECT_TRUE(tone::SpotMeteringTable(mean, table));
        EXPECT_TRUE(tone::ApplyTable(photo, &expected, table));
        EXPECT_TRUE(SamePixels(expected, dlg->work));
        long long before = 0, after = 0;
        for (UINT i = 0; i < photo.GetAreaByteSize(); i += 4) {
            before += photo.GetBuffer(0, 0)[i + 1];
            after += dlg->work.GetBuffer(0, 0)[i + 1];
        }
        EXPECT_GT(after, before);
        Grab(dlg, "adjust-spotmetering");
        return Close(dlg, IDCANCEL);
    });
}
