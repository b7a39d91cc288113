// "Cavas Size": placement by position with clipping, the 20000 clamp, the
// symmetric margins, OK's undo step, and a grab.
#include "../../adjust/tests/AdjustTestSupport.h"

#include "editor/retouch/CanvasSizeDlg.h"
#include "editor/shell/PhotoDocument.h"
#include "platform/afx/QtBridge.h"

#include <QWidget>

#include <string>

namespace {

using adjusttest::SizeOf;

const CPixel kBlue{255, 0, 0, 255};

CPixel Source(int x, int y)
{
    return CPixel{static_cast<BYTE>(x), static_cast<BYTE>(y), 7, 200};
}

bool Same(CPixel a, CPixel b)
{
    return a.b == b.b && a.g == b.g && a.r == b.r && a.a == b.a;
}

TEST(CanvasExtend, CopiesByPositionWithClipping)
{
    CQLImage photo;
    shelltest::MakeImage(&photo, 30, 20, Source);
    struct Case {
        canvas::Margins m;
        LONG w, h;
    };
    const Case cases[] = {
        {{20, 10, 20, 10}, 70, 40},    // symmetric 20 and 10: +40 x 20
        {{-10, 0, 5, 0}, 25, 20},      // a negative left margin crops
        {{0, -5, 0, -5}, 30, 10},
        {{3, 4, -8, -2}, 25, 22},
        {{-40, 0, 0, 0}, 1, 20},       // nothing of the photo left
    };
    for (const Case& c : cases) {
        CQLImage out;
        ASSERT_TRUE(canvas::Extend(photo, c.m, kBlue, &out));
        const SIZE s = SizeOf(out);
        EXPECT_EQ(s.cx, c.w);
        EXPECT_EQ(s.cy, c.h);
        for (LONG y = 0; y < s.cy; ++y)
            for (LONG x = 0; x < s.cx; ++x) {
                const int sx = x - c.m.left, sy = y - c.m.top;
                const bool inside = sx >= 0 && sx < 30 && sy >= 0 && sy < 20;
                ASSERT_TRUE(Same(out.GetPixel2(x, y), inside ? Source(sx, sy) : kBlue))
                    << c.m.left << "," << c.m.top << " at " << x << "," << y;
            }
    }
}

TEST(CanvasExtend, SidesClampToOneAndTwentyThousand)
{
    EXPECT_EQ(canvas::NewSide(15000, 10000, 10000), 20000);
    EXPECT_EQ(canvas::NewSide(100, -10000, 0), 1);
    EXPECT_EQ(canvas::NewSide(100, 20, 20), 140);
    CQLImage photo, out;
    shelltest::MakeImage(&photo, 4, 3, Source);
    // The clamp crops the right side; the photo stays where the left margin puts it.
    ASSERT_TRUE(canvas::Extend(photo, {10000, 0, 10000, 0}, kBlue, &out));
    EXPECT_EQ(SizeOf(out).cx, 20000);
    EXPECT_TRUE(Same(out.GetPixel2(10003, 2), Source(3, 2)));
    EXPECT_TRUE(Same(out.GetPixel2(19999, 2), kBlue));
}

class CanvasSizeDlgTest : public adjusttest::AdjustDialogTest {
protected:
    int Run(std::function<int(CCanvasSizeDlg*)> work)
    {
        m_work = [work](CWnd* dialog) {
            auto* dlg = dynamic_cast<CCanvasSizeDlg*>(dialog);
            return dlg ? work(dlg) : IDCANCEL;
        };
        return RunCanvasSizeDlg(m_frame);
    }
    static int Value(CCanvasSizeDlg* dlg, UINT id) { return static_cast<int>(dlg->GetDlgItemInt(id, nullptr, TRUE)); }
};

TEST_F(CanvasSizeDlgTest, SymmetricMarginsGrowBothSidesAndPushTheStep)
{
    OpenPhoto(50, 40);
    const int result = Run([](CCanvasSizeDlg* dlg) {
        EXPECT_FALSE(dlg->GetDlgItem(IDC_CANVAS_RIGHT)->IsWindowEnabled());
        dlg->SetDlgItemText(IDC_CANVAS_LEFT, "20");
        dlg->SetDlgItemText(IDC_CANVAS_TOP, "10");
        qlafx::ProcessPendingEvents();
        EXPECT_EQ(Value(dlg, IDC_CANVAS_RIGHT), 20);
        EXPECT_EQ(Value(dlg, IDC_CANVAS_BOTTOM), 10);
        dlg->SendMessage(WM_COMMAND, IDOK, 0);
        return qlafx::kModalRun;
    });
    EXPECT_EQ(result, IDOK);
    const SIZE s = SizeOf(thePhotoDocument.m_image);
    EXPECT_EQ(s.cx, 90);
    EXPECT_EQ(s.cy, 60);
    EXPECT_TRUE(Same(thePhotoDocument.m_image.GetPixel2(0, 0), CPixel{255, 255, 255, 255}));
    EXPECT_EQ(thePhotoDocument.m_history.GetCount(), 2);
    char names[256];
    EXPECT_STREQ(thePhotoDocument.m_history.GetActionText(sizeof names, names), "Open,Extend Cavas,");
}

TEST_F(CanvasSizeDlgTest, UncheckingSymmetricFreesRightAndBottom)
{
    OpenPhoto(50, 40);
    Run([](CCanvasSizeDlg* dlg) {
        dlg->CheckDlgButton(IDC_CANVAS_SYMMETRIC, BST_UNCHECKED);
        dlg->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_CANVAS_SYMMETRIC, BN_CLICKED),
                         reinterpret_cast<LPARAM>(dlg->GetDlgItem(IDC_CANVAS_SYMMETRIC)->m_hWnd));
        EXPECT_TRUE(dlg->GetDlgItem(IDC_CANVAS_RIGHT)->IsWindowEnabled());
        dlg->SetDlgItemText(IDC_CANVAS_LEFT, "5");
        dlg->SetDlgItemText(IDC_CANVAS_RIGHT, "0");
        dlg->SetDlgItemText(IDC_CANVAS_BOTTOM, "3");
        qlafx::ProcessPendingEvents();
        EXPECT_EQ(Value(dlg, IDC_CANVAS_RIGHT), 0);
        dlg->SendMessage(WM_COMMAND, IDOK, 0);
        return qlafx::kModalRun;
    });
    const SIZE s = SizeOf(thePhotoDocument.m_image);
    EXPECT_EQ(s.cx, 55);
    EXPECT_EQ(s.cy, 43);
}

TEST_F(CanvasSizeDlgTest, CheckingSymmetricAgainKeepsWhatWasTyped)
{
    OpenPhoto(50, 40);
    Run([](CCanvasSizeDlg* dlg) {
        auto toggle = [dlg](UINT state) {
            dlg->CheckDlgButton(IDC_CANVAS_SYMMETRIC, state);
            dlg->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_CANVAS_SYMMETRIC, BN_CLICKED),
                             reinterpret_cast<LPARAM>(dlg->GetDlgItem(IDC_CANVAS_SYMMETRIC)->m_hWnd));
        };
        toggle(BST_UNCHECKED);
        dlg->SetDlgItemText(IDC_CANVAS_LEFT, "7");
        toggle(BST_CHECKED);
        EXPECT_EQ(Value(dlg, IDC_CANVAS_LEFT), 7);
        EXPECT_EQ(Value(dlg, IDC_CANVAS_RIGHT), 7);
        return IDCANCEL;
    });
}

TEST_F(CanvasSizeDlgTest, OutOfRangeMarginKeepsTheDialogAndThePhoto)
{
    OpenPhoto(50, 40);
    const int result = Run([this](CCanvasSizeDlg* dlg) {
        dlg->SetDlgItemText(IDC_CANVAS_LEFT, "20000");
        qlafx::ProcessPendingEvents();
        EXPECT_TRUE(m_boxes.empty());  // no message while typing
        dlg->SendMessage(WM_COMMAND, IDOK, 0);
        EXPECT_FALSE(m_boxes.empty());
        return IDCANCEL;
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(SizeOf(thePhotoDocument.m_image).cx, 50);
    EXPECT_EQ(thePhotoDocument.m_history.GetCount(), 1);
}

TEST_F(CanvasSizeDlgTest, Grab)
{
    if (!OpenCorpusPhoto("exif-samples/jpg/hdr/canon_hdr_NO.jpg"))
        GTEST_SKIP() << "corpus photo absent";
    std::string grab;
    Run([&](CCanvasSizeDlg* dlg) {
        dlg->SetDlgItemText(IDC_CANVAS_LEFT, "20");
        dlg->SetDlgItemText(IDC_CANVAS_TOP, "10");
        dlg->m_colour = CPixel{255, 0, 0, 255};
        dlg->Invalidate(FALSE);
        qlafx::ProcessPendingEvents();
        grab = shelltest::SaveGrab(dlg->GetWidget()->grab().toImage(), "canvas-size");
        return IDCANCEL;
    });
    EXPECT_FALSE(grab.empty());
}

}  // namespace
