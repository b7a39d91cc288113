// "Descreening": the parameter block from the controls, OK's undo step, the
// missing demonstration picture, and a grab.
#include "../../adjust/tests/RepairTestSupport.h"

#include "editor/retouch/DescreenDlg.h"

namespace {

using DescreenDlgTest = repairtest::RepairDialogTest;

TEST_F(DescreenDlgTest, ControlsFillTheBlockAndOkRecordsTheStep)
{
    OpenPhoto(300, 240);
    const int result = Run<CDescreenDlg>([](CDescreenDlg* dlg) {
        EXPECT_TRUE(dlg->IsDlgButtonChecked(IDC_DESCREEN_MEDIUM));
        EXPECT_TRUE(dlg->IsDlgButtonChecked(IDC_DESCREEN_FAST));
        EXPECT_FALSE(dlg->GetDlgItem(IDC_DESCREEN_STRENGTH)->IsWindowVisible());
        dlg->CheckRadioButton(IDC_DESCREEN_SMALL, IDC_DESCREEN_BIG, IDC_DESCREEN_BIG);
        Click(dlg, IDC_DESCREEN_BIG);
        dlg->CheckDlgButton(IDC_DESCREEN_TWICE, BST_CHECKED);
        Click(dlg, IDC_DESCREEN_TWICE);
        EXPECT_TRUE(WaitForJobs(dlg));
        EXPECT_EQ(dlg->params.patternSize, 2);
        EXPECT_EQ(dlg->params.strength, 50);
        EXPECT_EQ(dlg->params.lumaOnly, 1);
        EXPECT_EQ(dlg->params.twice, 1);
        dlg->SendMessage(WM_COMMAND, IDOK, 0);
        return qlafx::kModalRun;
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(LastStep(), "Descreening");
}

TEST_F(DescreenDlgTest, MissingDemonstrationKeepsThePhoto)
{
    OpenPhoto(100, 80);
    UseSkinWithout("patterndemo.bmp");
    bool opened = false;
    Run<CDescreenDlg>([&](CDescreenDlg*) {
        opened = true;
        return IDCANCEL;
    });
    EXPECT_FALSE(opened);
    EXPECT_EQ(thePhotoDocument.m_history.GetCount(), 1);
}

TEST_F(DescreenDlgTest, Grab)
{
    if (!OpenForGrab("hdr/canon_hdr_NO.jpg"))
        GTEST_SKIP() << "corpus photo absent";
    std::string grab;
    Run<CDescreenDlg>([&](CDescreenDlg* dlg) {
        EXPECT_TRUE(WaitForJobs(dlg));
        grab = Grab(dlg, "descreen");
        return IDCANCEL;
    });
    EXPECT_FALSE(grab.empty());
}

}  // namespace
