// "Adjust Color": enabling by mode, the hue weights, the in-range chain and
// a grab where only the red hues turn.
#include "ToneTestSupport.h"

#include "editor/adjust/AdjustColorDlg.h"
#include "editor/shell/PhotoDocument.h"
#include "platform/codec/ColorForms.h"

#include <QWidget>

namespace {

using adjusttest::PumpUntil;
using adjusttest::SamePixels;

class AdjustColorDlgTest : public adjusttest::ToneDialogTest<CAdjustColorDlg> {
protected:
    static void Settle(CFilterDlg* dlg) { EXPECT_TRUE(PumpUntil([&] { return !dlg->JobPending(); })); }
    static void Release(CFilterDlg* dlg, UINT id, int pos)
    {
        dlg->SendDlgItemMessage(id, TBM_SETPOS, TRUE, pos);
        NMHDR nm{dlg->GetDlgItem(id)->m_hWnd, id, NM_RELEASEDCAPTURE};
        dlg->SendMessage(WM_NOTIFY, id, reinterpret_cast<LPARAM>(&nm));
        Settle(dlg);
    }
    static void Check(CFilterDlg* dlg, UINT id, bool on)
    {
        dlg->CheckDlgButton(id, on ? 1 : 0);
        dlg->SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(dlg->GetDlgItem(id)->m_hWnd));
        Settle(dlg);
    }
    static void SetRedRange(CAdjustColorDlg* dlg)
    {
        dlg->hueRange.m_rampStart = -55;
        dlg->hueRange.m_fullStart = -20;
        dlg->hueRange.m_fullEnd = 20;
        dlg->hueRange.m_rampEnd = 55;
        dlg->SendMessage(WM_HUERANGE_DRAGGED, 0, 0);
        Settle(dlg);
    }
    // Red, green and blue halves of a photo.
    static void OpenStripes()
    {
        shelltest::MakeImage(&thePhotoDocument.m_image, 120, 60, [](int x, int) {
            return x < 40 ? CPixel{30, 40, 200, 255} : x < 80 ? CPixel{40, 190, 30, 255} : CPixel{210, 60, 30, 255};
        });
        thePhotoDocument.m_history.Push(&thePhotoDocument.m_image, "Open");
    }
};

}  // namespace

TEST_F(AdjustColorDlgTest, ChecksEnableTheirControls)
{
    OpenStripes();
    struct Row {
        bool hsb, inRange;
    };
    const Row rows[] = {{true, false}, {true, true}, {false, true}, {false, false}};
    RunCommand(32809, [&](CAdjustColorDlg* dlg) {
        Settle(dlg);
        // Defaults leave the photo as it is.
        EXPECT_TRUE(SamePixels(dlg->result, thePhotoDocument.m_image));
        for (const Row& r : rows) {
            Check(dlg, IDC_COLOR_HSB_MODE, r.hsb);
            Check(dlg, IDC_COLOR_IN_RANGE, r.inRange);
            for (UINT id : {IDC_COLOR_CYAN_RED, IDC_COLOR_MAGENTA_GREEN, IDC_COLOR_YELLOW_BLUE})
                EXPECT_EQ(dlg->GetDlgItem(id)->IsWindowEnabled() != FALSE, !r.hsb);
            for (UINT id : {IDC_COLOR_HUE, IDC_COLOR_SATURATION, IDC_COLOR_BRIGHTNESS, IDC_COLOR_IN_RANGE})
                EXPECT_EQ(dlg->GetDlgItem(id)->IsWindowEnabled() != FALSE, r.hsb);
            EXPECT_EQ(dlg->hueRange.IsWindowEnabled() != FALSE, r.hsb && r.inRange);
            EXPECT_TRUE(SamePixels(dlg->result, thePhotoDocument.m_image)) << r.hsb << r.inRange;
        }
        dlg->SendMessage(WM_COMMAND, IDCANCEL, 0);
        return qlafx::kModalRun;
    });
}

TEST_F(AdjustColorDlgTest, RedRangeWeightsWrapThroughHueZero)
{
    OpenStripes();
    RunCommand(32809, [&](CAdjustColorDlg* dlg) {
        Settle(dlg);
        SetRedRange(dlg);
        BYTE w[256];
        dlg->hueRange.BuildWeightTable(w);
        const struct {
            int hue;
            int low, high;
        } rows[] = {{0, 255, 255}, {19, 255, 255}, {236, 255, 255}, {60, 0, 0}, {128, 0, 0},
                    {190, 0, 0},   {37, 1, 254},   {219, 1, 254}};
        for (const auto& r : rows) {
            EXPECT_GE(w[r.hue], r.low) << r.hue;
            EXPECT_LE(w[r.hue], r.high) << r.hue;
        }
        dlg->SendMessage(WM_COMMAND, IDCANCEL, 0);
        return qlafx::kModalRun;
    });
}

TEST_F(AdjustColorDlgTest, InRangeTurnsOnlyTheRedHuesAndOkPushesOneStep)
{
    OpenStripes();
    const int steps = thePhotoDocument.m_history.GetCount();
    CQLImage before;
    before.DuplicateFrom(&thePhotoDocument.m_image);
    RunCommand(32809, [&](CAdjustColorDlg* dlg) {
        Settle(dlg);
        Check(dlg, IDC_COLOR_IN_RANGE, true);
        SetRedRange(dlg);
        Release(dlg, IDC_COLOR_HUE, 40);
        dlg->SendMessage(WM_COMMAND, IDOK, 0);
        return qlafx::kModalRun;
    });
    EXPECT_EQ(thePhotoDocument.m_history.GetCount(), steps + 1);
    const auto same = [&](int x) { return std::memcmp(before.GetBuffer(x, 5), thePhotoDocument.m_image.GetBuffer(x, 5), 4) == 0; };
    EXPECT_FALSE(same(10));
    EXPECT_TRUE(same(60));
    EXPECT_TRUE(same(100));
}

TEST_F(AdjustColorDlgTest, GrabOfACorpusPhoto)
{
    if (!shelltest::LoadCorpusPhoto("exif-samples/jpg/exif-org/olympus-c960.jpg", &thePhotoDocument.m_image))
        GTEST_SKIP() << "corpus photo absent";
    thePhotoDocument.m_history.Push(&thePhotoDocument.m_image, "Open");
    m_frame->MoveWindow(0, 0, 1100, 760);
    RunCommand(32809, [&](CAdjustColorDlg* dlg) {
        Settle(dlg);
        Check(dlg, IDC_COLOR_IN_RANGE, true);
        SetRedRange(dlg);
        Release(dlg, IDC_COLOR_HUE, 40);
        // The blue sky at the top keeps its pixels.
        const CQLImage& photo = thePhotoDocument.m_image;
        UINT w = 0, h = 0;
        photo.GetSize(&w, &h);
        int changed = 0;
        for (UINT x = 0; x < w; x += 4)
            changed += std::memcmp(photo.GetBuffer(x, 10), dlg->result.GetBuffer(x, 10), 3) != 0;
        EXPECT_EQ(changed, 0);
        EXPECT_FALSE(SamePixels(dlg->result, photo));
        qlafx::ProcessPendingEvents();
        EXPECT_FALSE(shelltest::SaveGrab(dlg->GetWidget()->grab().toImage(), "adjust-adjustcolor").empty());
        dlg->SendMessage(WM_COMMAND, IDCANCEL, 0);
        return qlafx::kModalRun;
    });
}
