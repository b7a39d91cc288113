// "Visual Color Adjustment": the small copy and its six variants, a clicked
// variant applied at full size, "Original Photo" going back, and a grab.
#include "ToneTestSupport.h"

#include "editor/adjust/ToneFunctions.h"
#include "editor/adjust/VisualColorDlg.h"
#include "editor/shell/PhotoDocument.h"

#include <QWidget>

namespace {

using adjusttest::PumpUntil;
using adjusttest::SamePixels;

class VisualColorDlgTest : public adjusttest::ToneDialogTest<CVisualColorDlg> {
protected:
    static void Settle(CVisualColorDlg* dlg) { EXPECT_TRUE(PumpUntil([&] { return !dlg->Busy(); })); }
    static void OpenPhoto(int w, int h)
    {
        shelltest::MakeImage(&thePhotoDocument.m_image, w, h, [](int x, int y) {
            return CPixel{static_cast<BYTE>(90 + x % 60), static_cast<BYTE>(100 + y % 50), static_cast<BYTE>(120), 255};
        });
        thePhotoDocument.m_history.Push(&thePhotoDocument.m_image, "Open");
    }
    static SIZE Size(const CQLImage& image)
    {
        UINT w = 0, h = 0;
        image.GetSize(&w, &h);
        return SIZE{static_cast<LONG>(w), static_cast<LONG>(h)};
    }
    // What variant i of the small current should be.
    static CQLImage Variant(const CQLImage& small, int i, int part)
    {
        CQLImage out;
        WhiteBalanceAlgorithm balance;
        tone::SetVariantHueRange(balance, part);
        DWORD ref = tone::VariantReference(i);
        balance.SetImages(const_cast<CQLImage*>(&small), &out);
        EXPECT_EQ(balance.Apply(&ref), 0);
        return out;
    }
};

}  // namespace

TEST_F(VisualColorDlgTest, VariantsOfASmallCopyAndAClickAppliedAtFullSize)
{
    OpenPhoto(600, 400);
    CQLImage photo;
    photo.DuplicateFrom(&thePhotoDocument.m_image);
    const int steps = thePhotoDocument.m_history.GetCount();
    RunCommand(32807, [&](CVisualColorDlg* dlg) {
        Settle(dlg);
        const SIZE small = Size(dlg->smallCurrent);
        EXPECT_LE(small.cx * small.cy, CVisualColorDlg::kSmallPixels);
        EXPECT_NEAR(static_cast<double>(small.cx) / small.cy, 1.5, 0.02);
        for (int i = 0; i < tone::kVariantCount; ++i)
            EXPECT_TRUE(SamePixels(Variant(dlg->smallCurrent, i, 0), dlg->variants[i])) << i;
        // "More Blue" at full size becomes the current photo.
        dlg->ClickView(CVisualColorDlg::kVariantView + 4);
        Settle(dlg);
        CQLImage blue;
        WhiteBalanceAlgorithm balance;
        DWORD ref = tone::VariantReference(4);
        balance.SetImages(&photo, &blue);
        EXPECT_EQ(balance.Apply(&ref), 0);
        EXPECT_TRUE(SamePixels(blue, dlg->fullCurrent));
        // "Original Photo" goes back to the photo.
        dlg->ClickView(CVisualColorDlg::kOriginal);
        Settle(dlg);
        EXPECT_TRUE(SamePixels(photo, dlg->fullCurrent));
        dlg->ClickView(CVisualColorDlg::kVariantView + 0);
        Settle(dlg);
        // "Current Photo" is OK.
        dlg->ClickView(CVisualColorDlg::kCurrent);
        return qlafx::kModalRun;
    });
    EXPECT_FALSE(SamePixels(photo, thePhotoDocument.m_image));
    EXPECT_EQ(thePhotoDocument.m_history.GetCount(), steps + 1);
}

TEST_F(VisualColorDlgTest, SmallPhotosArePlainCopiesAndThePartLimitsTheVariants)
{
    OpenPhoto(200, 150);
    RunCommand(32807, [&](CVisualColorDlg* dlg) {
        Settle(dlg);
        EXPECT_TRUE(SamePixels(dlg->smallCurrent, thePhotoDocument.m_image));
        dlg->SendDlgItemMessage(IDC_VISUAL_PART, CB_SETCURSEL, 3);
        dlg->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_VISUAL_PART, CBN_SELCHANGE),
                         reinterpret_cast<LPARAM>(dlg->GetDlgItem(IDC_VISUAL_PART)->m_hWnd));
        Settle(dlg);
        for (int i = 0; i < tone::kVariantCount; ++i)
            EXPECT_TRUE(SamePixels(Variant(dlg->smallCurrent, i, 3), dlg->variants[i])) << i;
        dlg->SendMessage(WM_COMMAND, IDCANCEL, 0);
        return qlafx::kModalRun;
    });
}

TEST_F(VisualColorDlgTest, GrabOfACorpusPhoto)
{
    if (!shelltest::LoadCorpusPhoto("exif-samples/jpg/exif-org/olympus-c960.jpg", &thePhotoDocument.m_image))
        GTEST_SKIP() << "corpus photo absent";
    thePhotoDocument.m_history.Push(&thePhotoDocument.m_image, "Open");
    m_frame->MoveWindow(0, 0, 1100, 760);
    RunCommand(32807, [&](CVisualColorDlg* dlg) {
        Settle(dlg);
        for (int i = 0; i < tone::kVariantCount; ++i)
            EXPECT_FALSE(SamePixels(dlg->variants[i], dlg->smallCurrent)) << i;
        qlafx::ProcessPendingEvents();
        EXPECT_FALSE(shelltest::SaveGrab(dlg->GetWidget()->grab().toImage(), "adjust-visualcolor").empty());
        dlg->SendMessage(WM_COMMAND, IDCANCEL, 0);
        return qlafx::kModalRun;
    });
}
