// "Free Rotate": the angle of a point (also at the centre), the hit test, the
// guides' limits, the half-degree nudges, dragging, the final run with its
// undo step, Cancel during it, and a grab.
#include "../../adjust/tests/AdjustTestSupport.h"

#include "editor/retouch/FreeRotateDlg.h"
#include "editor/shell/PhotoDocument.h"
#include "platform/afx/QtBridge.h"

#include <QWidget>

#include <cmath>
#include <string>

namespace {

using adjusttest::SamePixels;
using adjusttest::SizeOf;

TEST(FreeRotateRules, AngleOfAPoint)
{
    struct Case {
        int dx, dy;
        double angle;
    };
    const Case cases[] = {{10, 0, 0.0}, {0, 10, M_PI / 2}, {-10, 0, M_PI}, {0, -10, -M_PI / 2}, {5, 5, M_PI / 4},
                          {0, 0, 0.0}};  // the centre: no NaN
    for (const Case& c : cases)
        EXPECT_NEAR(freerotate::Angle(c.dx, c.dy), c.angle, 1e-12) << c.dx << "," << c.dy;
}

TEST(FreeRotateRules, HitTestAndGuideLimits)
{
    const RECT picture{0, 0, 200, 100};  // centre (100, 50)
    struct Case {
        POINT p;
        bool hit;
    };
    const Case cases[] = {{{105, 55}, false}, {{110, 60}, false}, {{111, 50}, true}, {{100, 39}, true},
                          {{250, 50}, false}, {{5, 5}, true}};
    for (const Case& c : cases)
        EXPECT_EQ(freerotate::HitTest(c.p, picture), c.hit) << c.p.x << "," << c.p.y;
    EXPECT_EQ(freerotate::ClampGuide(3, 10, 190), 10);
    EXPECT_EQ(freerotate::ClampGuide(195, 10, 190), 190);
    EXPECT_EQ(freerotate::ClampGuide(60, 10, 190), 60);
}

class FreeRotateDlgTest : public adjusttest::AdjustDialogTest {
protected:
    int Run(std::function<int(CFreeRotateDlg*)> work)
    {
        m_work = [work](CWnd* dialog) {
            auto* dlg = dynamic_cast<CFreeRotateDlg*>(dialog);
            return dlg ? work(dlg) : IDCANCEL;
        };
        return RunFreeRotateDlg(m_frame);
    }
    static void Drag(CFreeRotateDlg* dlg, CPoint from, CPoint to)
    {
        dlg->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(from.x, from.y));
        dlg->SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(to.x, to.y));
        dlg->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(to.x, to.y));
    }
    static CPoint Centre(CFreeRotateDlg* dlg)
    {
        const RECT r = dlg->PictureRect();
        return CPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }
    static void Click(CFreeRotateDlg* dlg, UINT id) { dlg->SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }
};

TEST_F(FreeRotateDlgTest, NudgesAndDragsTurnThePicture)
{
    OpenPhoto(160, 120);
    Run([](CFreeRotateDlg* dlg) {
        Click(dlg, IDC_ROTATE_CW);
        Click(dlg, IDC_ROTATE_CW);
        Click(dlg, IDC_ROTATE_CCW);
        EXPECT_NEAR(dlg->m_angle, freerotate::kStep, 1e-15);
        EXPECT_GT(SizeOf(dlg->Preview()).cx, 160 * 4);  // the turned preview is larger
        const CPoint c = Centre(dlg);
        Drag(dlg, CPoint(c.x + 5, c.y + 5), CPoint(c.x + 5, c.y + 200));  // inside the dead centre
        EXPECT_NEAR(dlg->m_angle, freerotate::kStep, 1e-15);
        Drag(dlg, CPoint(c.x + 100, c.y), CPoint(c.x, c.y + 100));  // a quarter turn clockwise
        EXPECT_NEAR(dlg->m_angle, freerotate::kStep + M_PI / 2, 1e-9);
        Drag(dlg, CPoint(c.x + 100, c.y), CPoint(c.x + 100, c.y));  // released in place
        EXPECT_NEAR(dlg->m_angle, freerotate::kStep + M_PI / 2, 1e-9);
        return IDCANCEL;
    });
    EXPECT_EQ(thePhotoDocument.m_history.GetCount(), 1);
}

TEST_F(FreeRotateDlgTest, OkTurnsThePhotoAndRecordsTheStep)
{
    OpenPhoto(160, 120);
    const int result = Run([](CFreeRotateDlg* dlg) {
        dlg->CheckDlgButton(IDC_ROTATE_AUTO_CROP, BST_UNCHECKED);
        for (int i = 0; i < 10; ++i)
            Click(dlg, IDC_ROTATE_CW);
        dlg->SendMessage(WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(dlg->IsRunning());
        EXPECT_FALSE(dlg->GetDlgItem(IDC_ROTATE_CW)->IsWindowEnabled());
        return qlafx::kModalRun;
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_GT(SizeOf(thePhotoDocument.m_image).cx, 160);
    char names[256];
    EXPECT_STREQ(thePhotoDocument.m_history.GetActionText(sizeof names, names), "Open,Free Rotate,");
}

TEST_F(FreeRotateDlgTest, CancelDuringTheRunKeepsThePhoto)
{
    OpenPhoto(800, 600);
    CQLImage before;
    ASSERT_TRUE(before.DuplicateFrom(&thePhotoDocument.m_image));
    const int result = Run([](CFreeRotateDlg* dlg) {
        Click(dlg, IDC_ROTATE_CW);
        dlg->SendMessage(WM_COMMAND, IDOK, 0);
        dlg->SendMessage(WM_COMMAND, IDCANCEL, 0);
        return qlafx::kModalRun;
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_TRUE(SamePixels(thePhotoDocument.m_image, before));
    EXPECT_EQ(thePhotoDocument.m_history.GetCount(), 1);
}

TEST_F(FreeRotateDlgTest, GuidesStayInsideThePicture)
{
    OpenPhoto(160, 120);
    Run([](CFreeRotateDlg* dlg) {
        const RECT r = dlg->PictureRect();
        Drag(dlg, CPoint(dlg->m_guideX, r.bottom - 30), CPoint(r.left + 3, r.bottom - 30));
        EXPECT_EQ(dlg->m_guideX, r.left + 10);
        Drag(dlg, CPoint(r.right - 30, dlg->m_guideY), CPoint(r.right - 30, r.bottom + 40));
        EXPECT_EQ(dlg->m_guideY, r.bottom - 10);
        EXPECT_NEAR(dlg->m_angle, 0.0, 1e-15);
        return IDCANCEL;
    });
}

TEST_F(FreeRotateDlgTest, Grab)
{
    if (!OpenCorpusPhoto("exif-samples/jpg/hdr/canon_hdr_NO.jpg"))
        GTEST_SKIP() << "corpus photo absent";
    m_frame->MoveWindow(0, 0, 1100, 760);
    std::string grab;
    Run([&](CFreeRotateDlg* dlg) {
        for (int i = 0; i < 10; ++i)
            Click(dlg, IDC_ROTATE_CW);
        const RECT r = dlg->PictureRect();
        Drag(dlg, CPoint(dlg->m_guideX, r.bottom - 30), CPoint(r.left + 240, r.bottom - 30));
        Drag(dlg, CPoint(r.right - 30, dlg->m_guideY), CPoint(r.right - 30, r.top + 150));
        dlg->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        qlafx::ProcessPendingEvents();
        grab = shelltest::SaveGrab(dlg->GetWidget()->grab().toImage(), "free-rotate");
        return IDCANCEL;
    });
    EXPECT_FALSE(grab.empty());
}

}  // namespace
