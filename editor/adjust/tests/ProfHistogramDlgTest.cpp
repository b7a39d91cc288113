// "Professional Histograms" on the open photo: the command runs it from the
// frame's table, "RGB" uses the master curve only and "R" the colour curves
// only, OK applies with one undo step, Cancel keeps the photo, picking, and a
// grab on a corpus photo.
#include "../../shell/tests/ShellWindowsTestSupport.h"
#include "ToneTestSupport.h"

#include "editor/adjust/ProfHistogramDlg.h"
#include "editor/shell/MainFrame.h"
#include "editor/shell/PhotoDocument.h"
#include "editor/ui/ZoomView.h"
#include "platform/afx/MessageBox.h"
#include "platform/afx/QtBridge.h"

#include <QWidget>

#include <chrono>
#include <filesystem>
#include <functional>
#include <thread>

namespace {

using adjusttest::PumpUntil;
using adjusttest::SamePixels;

double Mean(const CQLImage& image, int offset)
{
    UINT w = 0, h = 0;
    image.GetSize(&w, &h);
    double sum = 0;
    for (UINT y = 0; y < h; ++y)
        for (UINT x = 0; x < w; ++x)
            sum += image.GetBuffer(static_cast<int>(x), static_cast<int>(y))[offset];
    return sum / (static_cast<double>(w) * h);
}

class ProfHistogramDlgTest : public adjusttest::ToneDialogTest<CProfHistogramDlg> {
protected:
    void OpenPhoto(int w = 320, int h = 240)
    {
        shelltest::MakeImage(&thePhotoDocument.m_image, w, h, [](int x, int y) {
            return CPixel{static_cast<BYTE>(x % 200), static_cast<BYTE>(60 + y % 100), static_cast<BYTE>(40 + (x + y) % 120),
                          255};
        });
        thePhotoDocument.m_history.Push(&thePhotoDocument.m_image, "Open");
    }
    // Runs the dialog from the frame's command; work gets it once it is up.
    int Run(std::function<int(CProfHistogramDlg*)> work)
    {
        RunCommand(32798, std::move(work));
        return m_answer;
    }
    // Drags handle i of the selected channel to level (x, y) and waits for
    // the preview.
    static void DragTo(CProfHistogramDlg* dlg, int i, int x, int y)
    {
        EXPECT_TRUE(PumpUntil([&] { return dlg->histogramReady; }));
        const RECT p = dlg->PlotRect();
        const RECT& r = dlg->points[dlg->channel][i].rect;
        const CPoint from((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        const CPoint to(p.left + x * (p.right - p.left) / 256 + 1, p.top + (255 - y) * (p.bottom - p.top) / 256 + 1);
        dlg->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(from.x, from.y));
        dlg->SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(to.x, to.y));
        dlg->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(to.x, to.y));
        EXPECT_TRUE(PumpUntil([&] { return !dlg->JobPending(); }));
    }

    int m_answer = 0;
};

} // namespace

TEST_F(ProfHistogramDlgTest, MasterCurveActsOnlyOnRgbAndColourCurvesOnlyOnChannels)
{
    OpenPhoto();
    CQLImage before;
    before.DuplicateFrom(&thePhotoDocument.m_image);
    struct Seen {
        double rgbRed, rgbBlue, colourRed, colourBlue;
        bool noJobAtOpening;
    } seen{};
    Run([&](CProfHistogramDlg* dlg) {
        seen.noJobAtOpening = !dlg->JobPending();
        // Raise the red curve while "RGB" shows: no effect.
        dlg->channel = 1;
        DragTo(dlg, 1, 127, 200);
        dlg->channel = 0;
        dlg->UpdateData(FALSE);
        dlg->UpdatePreview();
        EXPECT_TRUE(PumpUntil([&] { return !dlg->JobPending(); }));
        seen.rgbRed = Mean(dlg->result, 2);
        // "R": the red curve acts, blue stays.
        dlg->SendDlgItemMessage(IDC_HIST_CHANNEL, CB_SETCURSEL, 1);
        dlg->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_HIST_CHANNEL, CBN_SELCHANGE),
                         reinterpret_cast<LPARAM>(dlg->GetDlgItem(IDC_HIST_CHANNEL)->m_hWnd));
        EXPECT_TRUE(PumpUntil([&] { return !dlg->JobPending(); }));
        seen.colourRed = Mean(dlg->result, 2);
        seen.colourBlue = Mean(dlg->result, 0);
        dlg->SendMessage(WM_COMMAND, IDCANCEL, 0);
        return qlafx::kModalRun;
    });
    EXPECT_TRUE(seen.noJobAtOpening);
    EXPECT_NEAR(seen.rgbRed, Mean(before, 2), 1.0);
    EXPECT_GT(seen.colourRed, Mean(before, 2) + 20);
    EXPECT_NEAR(seen.colourBlue, Mean(before, 0), 1.0);
    // Cancel kept the photo.
    EXPECT_EQ(thePhotoDocument.m_image.GetBuffer(5, 5)[2], before.GetBuffer(5, 5)[2]);
}

TEST_F(ProfHistogramDlgTest, OkAppliesTheCurveWithOneUndoStep)
{
    OpenPhoto();
    const double before = Mean(thePhotoDocument.m_image, 1);
    const int steps = thePhotoDocument.m_history.GetCount();
    Run([&](CProfHistogramDlg* dlg) {
        DragTo(dlg, 1, 127, 180);
        dlg->SendMessage(WM_COMMAND, IDOK, 0);
        return qlafx::kModalRun;
    });
    EXPECT_GT(Mean(thePhotoDocument.m_image, 1), before + 15);
    EXPECT_EQ(thePhotoDocument.m_history.GetCount(), steps + 1);
    EXPECT_TRUE(m_boxes.empty());
}

TEST_F(ProfHistogramDlgTest, AutoOnUniformGreyKeepsPointsApart)
{
    shelltest::MakeImage(&thePhotoDocument.m_image, 64, 64, [](int, int) { return CPixel{128, 128, 128, 255}; });
    thePhotoDocument.m_history.Push(&thePhotoDocument.m_image, "Open");
    Run([&](CProfHistogramDlg* dlg) {
        dlg->SendMessage(WM_COMMAND, IDC_HIST_AUTO, 0);
        EXPECT_TRUE(PumpUntil([&] { return !dlg->JobPending(); }));
        // Black and white point 128 and 127: held 8 levels either side.
        EXPECT_EQ(dlg->points[0][0].x, 119);
        EXPECT_EQ(dlg->points[0][1].x, 127);
        EXPECT_EQ(dlg->points[0][2].x, 135);
        dlg->SendMessage(WM_COMMAND, IDCANCEL, 0);
        return qlafx::kModalRun;
    });
}

TEST_F(ProfHistogramDlgTest, GrabOfACorpusPhoto)
{
    CQLImage photo;
    if (!shelltest::LoadCorpusPhoto("exif-samples/jpg/exif-org/olympus-c960.jpg", &photo))
        GTEST_SKIP() << "corpus photo absent";
    thePhotoDocument.m_image.DuplicateFrom(&photo);
    thePhotoDocument.m_history.Push(&thePhotoDocument.m_image, "Open");
    m_frame->MoveWindow(0, 0, 1100, 760);
    std::string grab;
    double resultMean = 0;
    Run([&](CProfHistogramDlg* dlg) {
        dlg->SendMessage(WM_COMMAND, IDC_HIST_POINTS5, 0);
        dlg->CheckRadioButton(IDC_HIST_POINTS3, IDC_HIST_POINTS7, IDC_HIST_POINTS5);
        EXPECT_TRUE(PumpUntil([&] { return !dlg->JobPending(); }));
        DragTo(dlg, 2, 127, 167);
        EXPECT_TRUE(PumpUntil([&] { return dlg->histogramReady; }));
        qlafx::ProcessPendingEvents();
        resultMean = Mean(dlg->result, 1);
        grab = shelltest::SaveGrab(dlg->GetWidget()->grab().toImage(), "adjust-histograms");
        dlg->SendMessage(WM_COMMAND, IDCANCEL, 0);
        return qlafx::kModalRun;
    });
    EXPECT_FALSE(grab.empty());
    EXPECT_GT(resultMean, Mean(photo, 1));
}

TEST_F(ProfHistogramDlgTest, PickingReadsThePreviewPixelAndIgnoresTheMargin)
{
    OpenPhoto();
    CPixel missed{}, picked{};
    int pickAfterMiss = 0, pickAfterHit = 1;
    Run([&](CProfHistogramDlg* dlg) {
        dlg->CheckDlgButton(IDC_HIST_PICK, 1);
        dlg->SendMessage(WM_COMMAND, IDC_HIST_PICK, 0);
        POINT outside{-5, -5};
        ZoomViewNotice notice{&dlg->resultView, &outside};
        dlg->SendMessage(WM_ZOOMVIEW_NOTIFY, kZoomNoticeButtonDown, reinterpret_cast<LPARAM>(&notice));
        missed = dlg->pickedColour;
        pickAfterMiss = dlg->pickMode;
        POINT inside{30, 40};
        EXPECT_TRUE(dlg->resultView.ImageToClient(&inside));
        notice.data = &inside;
        dlg->SendMessage(WM_ZOOMVIEW_NOTIFY, kZoomNoticeButtonDown, reinterpret_cast<LPARAM>(&notice));
        picked = dlg->pickedColour;
        pickAfterHit = dlg->pickMode;
        dlg->SendMessage(WM_COMMAND, IDCANCEL, 0);
        return qlafx::kModalRun;
    });
    EXPECT_EQ(missed.g, 0);
    EXPECT_EQ(pickAfterMiss, 1);
    const BYTE* expected = thePhotoDocument.m_image.GetBuffer(30, 40);
    EXPECT_EQ(picked.b, expected[0]);
    EXPECT_EQ(picked.g, expected[1]);
    EXPECT_EQ(picked.r, expected[2]);
    EXPECT_EQ(pickAfterHit, 0);
}
