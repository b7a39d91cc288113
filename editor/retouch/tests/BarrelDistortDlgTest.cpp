// "Correct Barrel Distort": the black-border crop, the preview job, the
// full-size run with its undo step, Cancel during the run, and a grab.
#include "../../adjust/tests/AdjustTestSupport.h"

#include "editor/retouch/BarrelDistortDlg.h"
#include "editor/shell/PhotoDocument.h"
#include "platform/afx/CommCtrl.h"
#include "platform/afx/QtBridge.h"

#include <QWidget>

#include <string>

namespace {

using adjusttest::PumpUntil;
using adjusttest::SamePixels;
using adjusttest::SizeOf;

TEST(BarrelCrop, BlackBorderTable)
{
    struct Case {
        int w, h, border;
        RECT expected;
    };
    const Case cases[] = {
        {40, 30, 0, {1, 1, 39, 29}},   // no border: one pixel off each side
        {40, 30, 5, {6, 6, 34, 24}},
        {40, 30, 20, {0, 0, 40, 30}},  // all black: the whole image
        {40, 30, 12, {0, 0, 40, 30}},  // fewer than 10 rows would remain
    };
    for (const Case& c : cases) {
        CQLImage image;
        shelltest::MakeImage(&image, c.w, c.h, [&](int x, int y) {
            const bool black = x < c.border || y < c.border || x >= c.w - c.border || y >= c.h - c.border;
            return black ? CPixel{0, 0, 0, 255} : CPixel{40, 90, 120, 255};
        });
        const RECT r = barrel::BlackBorderCrop(image);
        EXPECT_EQ(r.left, c.expected.left) << c.border;
        EXPECT_EQ(r.top, c.expected.top) << c.border;
        EXPECT_EQ(r.right, c.expected.right) << c.border;
        EXPECT_EQ(r.bottom, c.expected.bottom) << c.border;
        CQLImage cropped;
        ASSERT_TRUE(barrel::CropBlackBorder(image, &cropped));
        EXPECT_EQ(SizeOf(cropped).cx, c.expected.right - c.expected.left);
    }
    // Nearly black is black: (6G + 3R + B) / 10 rounds to 0.
    CQLImage dim;
    shelltest::MakeImage(&dim, 40, 30, [](int x, int) { return x < 3 ? CPixel{3, 1, 0, 255} : CPixel{9, 9, 9, 255}; });
    EXPECT_EQ(barrel::BlackBorderCrop(dim).left, 4);
}

class BarrelDistortDlgTest : public adjusttest::AdjustDialogTest {
protected:
    int Run(std::function<int(CBarrelDistortDlg*)> work)
    {
        m_work = [work](CWnd* dialog) {
            auto* dlg = dynamic_cast<CBarrelDistortDlg*>(dialog);
            return dlg ? work(dlg) : IDCANCEL;
        };
        return RunBarrelDistortDlg(m_frame);
    }
    static void Release(CBarrelDistortDlg* dlg, int pos)
    {
        dlg->SendDlgItemMessage(IDC_BARREL_AMOUNT, TBM_SETPOS, TRUE, pos);
        NMHDR nm{dlg->GetDlgItem(IDC_BARREL_AMOUNT)->m_hWnd, IDC_BARREL_AMOUNT, NM_RELEASEDCAPTURE};
        dlg->SendMessage(WM_NOTIFY, IDC_BARREL_AMOUNT, reinterpret_cast<LPARAM>(&nm));
    }
};

TEST_F(BarrelDistortDlgTest, SliderAtZeroKeepsThePhotoAndRecordsTheStep)
{
    OpenPhoto(120, 80);
    CQLImage before;
    ASSERT_TRUE(before.DuplicateFrom(&thePhotoDocument.m_image));
    const int result = Run([](CBarrelDistortDlg* dlg) {
        dlg->SendMessage(WM_COMMAND, IDOK, 0);
        return qlafx::kModalRun;
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_TRUE(SamePixels(thePhotoDocument.m_image, before));
    char names[256];
    EXPECT_STREQ(thePhotoDocument.m_history.GetActionText(sizeof names, names), "Open,Correct Barrel Distort,");
}

TEST_F(BarrelDistortDlgTest, PreviewFollowsTheSliderAndAutoCropTrims)
{
    OpenPhoto(120, 80);
    const int result = Run([](CBarrelDistortDlg* dlg) {
        CQLImage first;
        EXPECT_TRUE(first.DuplicateFrom(&dlg->Preview()));
        Release(dlg, -30);
        Release(dlg, 30);  // follows the running preview
        EXPECT_TRUE(PumpUntil([&] { return !dlg->IsRunning(); }));
        EXPECT_FALSE(SamePixels(first, dlg->Preview()));
        EXPECT_EQ(SizeOf(dlg->Preview()).cx, 400);
        dlg->CheckDlgButton(IDC_BARREL_AUTO_CROP, BST_CHECKED);
        dlg->SendMessage(WM_COMMAND, IDOK, 0);
        EXPECT_FALSE(dlg->GetDlgItem(IDOK)->IsWindowEnabled());
        return qlafx::kModalRun;
    });
    EXPECT_EQ(result, IDOK);
    const SIZE s = SizeOf(thePhotoDocument.m_image);
    EXPECT_LT(s.cx, 120);
    EXPECT_GT(s.cx, 60);
    EXPECT_EQ(thePhotoDocument.m_history.GetCount(), 2);
}

TEST_F(BarrelDistortDlgTest, CancelDuringTheRunKeepsThePhoto)
{
    OpenPhoto(600, 400);
    CQLImage before;
    ASSERT_TRUE(before.DuplicateFrom(&thePhotoDocument.m_image));
    const int result = Run([](CBarrelDistortDlg* dlg) {
        Release(dlg, 40);
        dlg->SendMessage(WM_COMMAND, IDOK, 0);
        dlg->SendMessage(WM_COMMAND, IDCANCEL, 0);
        return qlafx::kModalRun;
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_TRUE(SamePixels(thePhotoDocument.m_image, before));
    EXPECT_EQ(thePhotoDocument.m_history.GetCount(), 1);
}

TEST_F(BarrelDistortDlgTest, Grab)
{
    if (!OpenCorpusPhoto("exif-samples/jpg/hdr/canon_hdr_NO.jpg"))
        GTEST_SKIP() << "corpus photo absent";
    std::string grab;
    Run([&](CBarrelDistortDlg* dlg) {
        Release(dlg, -20);
        EXPECT_TRUE(PumpUntil([&] { return !dlg->IsRunning(); }));
        qlafx::ProcessPendingEvents();
        grab = shelltest::SaveGrab(dlg->GetWidget()->grab().toImage(), "barrel");
        return IDCANCEL;
    });
    EXPECT_FALSE(grab.empty());
}

}  // namespace
