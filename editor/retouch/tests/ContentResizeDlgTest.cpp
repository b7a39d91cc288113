// Content-aware resizing: the target's rounding, the aspect boxes, the drag
// limits, which pass goes first, the notices (a drag during the analysis,
// a new protected area after a resize), OK, Cancel and a grab.
#include "../../adjust/tests/AdjustTestSupport.h"

#include "editor/retouch/ContentResizeDlg.h"
#include "editor/shell/PhotoDocument.h"
#include "editor/ui/AlgorithmThread.h"
#include "platform/afx/QtBridge.h"

#include <QWidget>

#include <string>

namespace {

using adjusttest::PumpUntil;
using adjusttest::SamePixels;
using adjusttest::SizeOf;

TEST(ContentResizeRules, TargetSideRoundsUpToEvenAndSnapsNearTheFullSide)
{
    struct Case {
        int drag, display, image, side;
    };
    const Case cases[] = {
        {100, 100, 1000, 1000}, {70, 100, 1000, 700}, {73, 100, 999, 730},  // 729.27 -> 730
        {71, 100, 1001, 710},   {994, 1000, 1000, 994}, {995, 1000, 1000, 1000}, // 996 is within 4
        {996, 1000, 1000, 1000}, {100, 101, 1000, 990}, {1, 400, 300, 2},
    };
    for (const Case& c : cases)
        EXPECT_EQ(contentresize::TargetSide(c.drag, c.display, c.image), c.side)
            << c.drag << "/" << c.display << " of " << c.image;
}

TEST(ContentResizeRules, AspectBoxes)
{
    struct Case {
        RECT display;
        int aspect;
        RECT box;
    };
    const Case cases[] = {
        {{10, 10, 410, 310}, 1, {10, 10, 310, 310}},  // "1:1" on landscape keeps the height
        {{10, 10, 410, 310}, 3, {10, 10, 410, 234}},  // "16:9": the full width, 224.99 high
        {{10, 10, 410, 310}, 4, {10, 10, 410, 276}},  // "3:2": 400 / 1.5
        {{0, 0, 300, 400}, 1, {0, 0, 300, 300}},      // portrait: the full width
        {{0, 0, 300, 400}, 7, {0, 0, 280, 400}},      // "5' photo" taken as 7:10: the full height
    };
    for (const Case& c : cases) {
        const RECT r = contentresize::AspectBox(c.display, contentresize::AspectRatio(c.aspect));
        EXPECT_EQ(r.left, c.box.left) << c.aspect;
        EXPECT_EQ(r.top, c.box.top) << c.aspect;
        EXPECT_EQ(r.right, c.box.right) << c.aspect;
        EXPECT_EQ(r.bottom, c.box.bottom) << c.aspect;
    }
    EXPECT_DOUBLE_EQ(contentresize::AspectRatio(5), 1.3636363340803421);
    EXPECT_DOUBLE_EQ(contentresize::AspectRatio(7), 10.0 / 7.0);
    EXPECT_EQ(contentresize::AspectRatio(0), 0.0);
}

TEST(ContentResizeRules, CornerLimitsAndFirstPass)
{
    const RECT display{100, 50, 500, 350};
    struct Corner {
        POINT in, out;
    };
    for (const Corner& c : {Corner{{0, 0}, {132, 82}}, Corner{{900, 900}, {500, 350}}, Corner{{300, 60}, {300, 82}},
                            Corner{{131, 200}, {132, 200}}}) {
        const POINT p = contentresize::ClampCorner(c.in, display);
        EXPECT_EQ(p.x, c.out.x) << c.in.x << "," << c.in.y;
        EXPECT_EQ(p.y, c.out.y) << c.in.x << "," << c.in.y;
    }
    EXPECT_TRUE(contentresize::WidthFirst(SIZE{1000, 800}, SIZE{700, 780}));
    EXPECT_FALSE(contentresize::WidthFirst(SIZE{1000, 800}, SIZE{990, 600}));
    EXPECT_FALSE(contentresize::WidthFirst(SIZE{1000, 800}, SIZE{900, 700}));  // equal: height first
}

class ContentResizeDlgTest : public adjusttest::AdjustDialogTest {
protected:
    int Run(std::function<int(CContentResizeDlg*)> work)
    {
        m_work = [work](CWnd* dialog) {
            auto* dlg = dynamic_cast<CContentResizeDlg*>(dialog);
            return dlg ? work(dlg) : IDCANCEL;
        };
        return RunContentResizeDlg(m_frame);
    }
    static bool Idle(CContentResizeDlg* dlg)
    {
        return PumpUntil([dlg] { return !dlg->IsRunning() && !dlg->m_pending; });
    }
    // Drags the grip to a fraction of the display's width and height.
    static void DragTo(CContentResizeDlg* dlg, double fw, double fh)
    {
        const RECT r = dlg->ResultRect(), d = dlg->DisplayRect();
        const int x = d.left + static_cast<int>((d.right - d.left) * fw);
        const int y = d.top + static_cast<int>((d.bottom - d.top) * fh);
        dlg->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(r.right - 3, r.bottom - 3));
        dlg->SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, y));
        dlg->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    }
};

TEST_F(ContentResizeDlgTest, DragDuringTheAnalysisResizesAfterItAndOkRecordsTheStep)
{
    OpenPhoto(200, 150);
    const int result = Run([](CContentResizeDlg* dlg) {
        EXPECT_TRUE(dlg->IsRunning());  // the analysis
        DragTo(dlg, 0.7, 1.0);
        EXPECT_TRUE(dlg->m_pending);
        EXPECT_TRUE(Idle(dlg));
        EXPECT_EQ(dlg->Target().cx, 140);
        EXPECT_EQ(dlg->Target().cy, 150);
        EXPECT_EQ(SizeOf(dlg->m_work).cx, 140);
        EXPECT_EQ(SizeOf(dlg->m_work).cy, 150);
        const RECT r = dlg->ResultRect(), d = dlg->DisplayRect();
        EXPECT_NEAR(r.right - r.left, (d.right - d.left) * 0.7, 1.5);
        EXPECT_TRUE(dlg->GetDlgItem(IDC_RESIZE_ASPECT)->IsWindowEnabled());
        dlg->SendMessage(WM_COMMAND, IDOK, 0);
        return qlafx::kModalRun;
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(SizeOf(thePhotoDocument.m_image).cx, 140);
    char names[256];
    EXPECT_STREQ(thePhotoDocument.m_history.GetActionText(sizeof names, names), "Open,ContentAware Rsz.,");
}

TEST_F(ContentResizeDlgTest, BothSidesTakeTwoPassesAndTheFullBoxBringsThePhotoBack)
{
    OpenPhoto(200, 150);
    Run([](CContentResizeDlg* dlg) {
        DragTo(dlg, 0.7, 0.8);
        EXPECT_TRUE(Idle(dlg));
        EXPECT_EQ(SizeOf(dlg->m_work).cx, 140);
        EXPECT_EQ(SizeOf(dlg->m_work).cy, 120);
        DragTo(dlg, 1.0, 1.0);
        EXPECT_TRUE(Idle(dlg));
        EXPECT_TRUE(SamePixels(dlg->m_work, thePhotoDocument.m_image));
        return IDCANCEL;
    });
}

TEST_F(ContentResizeDlgTest, OneToOneOnLandscapeKeepsTheHeight)
{
    OpenPhoto(200, 150);
    Run([](CContentResizeDlg* dlg) {
        dlg->SendDlgItemMessage(IDC_RESIZE_ASPECT, CB_SETCURSEL, 1, 0);
        dlg->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_RESIZE_ASPECT, CBN_SELCHANGE),
                         reinterpret_cast<LPARAM>(dlg->GetDlgItem(IDC_RESIZE_ASPECT)->m_hWnd));
        EXPECT_EQ(dlg->m_aspect, 1);
        EXPECT_TRUE(Idle(dlg));
        EXPECT_EQ(SizeOf(dlg->m_work).cy, 150);
        EXPECT_NEAR(SizeOf(dlg->m_work).cx, 150, 2);
        return IDCANCEL;
    });
}

TEST_F(ContentResizeDlgTest, NewProtectedAreaRedoesTheResize)
{
    OpenPhoto(200, 150);
    Run([](CContentResizeDlg* dlg) {
        DragTo(dlg, 0.6, 1.0);
        EXPECT_TRUE(Idle(dlg));
        const SIZE resized = SizeOf(dlg->m_work);
        EXPECT_EQ(resized.cx, 120);
        CQLChannel mask;
        mask.Create(200, 150);
        for (int y = 0; y < 150; ++y)
            for (int x = 0; x < 200; ++x)
                mask.Set(x, y, x >= 80 && x < 120 ? 255 : 0);
        dlg->SetProtectedArea(mask);
        EXPECT_TRUE(dlg->IsRunning());  // analysing again
        EXPECT_TRUE(Idle(dlg));
        EXPECT_EQ(SizeOf(dlg->m_work).cx, resized.cx);
        EXPECT_EQ(SizeOf(dlg->m_work).cy, resized.cy);
        return IDCANCEL;
    });
}

TEST_F(ContentResizeDlgTest, OkDuringTheRunAppliesTheFinishedResize)
{
    OpenPhoto(200, 150);
    const int result = Run([](CContentResizeDlg* dlg) {
        DragTo(dlg, 0.7, 0.8);
        dlg->SendMessage(WM_COMMAND, IDOK, 0);
        EXPECT_FALSE(dlg->GetDlgItem(IDOK)->IsWindowEnabled());
        return qlafx::kModalRun;
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(SizeOf(thePhotoDocument.m_image).cx, 140);
    EXPECT_EQ(SizeOf(thePhotoDocument.m_image).cy, 120);
    EXPECT_EQ(thePhotoDocument.m_history.GetCount(), 2);
}

TEST_F(ContentResizeDlgTest, CancelDuringTheRunKeepsThePhoto)
{
    OpenPhoto(400, 300);
    CQLImage before;
    before.DuplicateFrom(&thePhotoDocument.m_image);
    const int result = Run([](CContentResizeDlg* dlg) {
        DragTo(dlg, 0.5, 0.5);
        dlg->SendMessage(WM_COMMAND, IDCANCEL, 0);
        return qlafx::kModalRun;
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_TRUE(SamePixels(thePhotoDocument.m_image, before));
    EXPECT_EQ(thePhotoDocument.m_history.GetCount(), 1);
    EXPECT_FALSE(theAlgorithmThread.IsBusy());
}

TEST_F(ContentResizeDlgTest, Grab)
{
    if (!OpenCorpusPhoto("exif-samples/jpg/hdr/canon_hdr_NO.jpg"))
        GTEST_SKIP() << "corpus photo absent";
    m_frame->MoveWindow(0, 0, 1100, 760);
    std::string grab;
    Run([&](CContentResizeDlg* dlg) {
        DragTo(dlg, 0.7, 1.0);
        EXPECT_TRUE(Idle(dlg));
        dlg->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        qlafx::ProcessPendingEvents();
        grab = shelltest::SaveGrab(dlg->GetWidget()->grab().toImage(), "content-resize");
        return IDCANCEL;
    });
    EXPECT_FALSE(grab.empty());
}

}  // namespace
