// "Blur": the type-4 step's bytes, the diffuse radius, the enhance sliders
// shown below opacity 100, OK's undo step, and a grab.
#include "../../adjust/tests/RepairTestSupport.h"

#include "editor/retouch/GaussBlurDlg.h"

namespace {

TEST(GaussBlurRules, StepBytesAndDiffuseRadius)
{
    const ColorThemeStep step = gaussblur::MakeStep({12, 50, 40, 20});
    EXPECT_EQ(step.type, 4);
    const BYTE expected[5] = {12, 50, 40, 20, 0};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(step.payload[i], expected[i]) << i;
    struct Case {
        int w, h, radius;
    };
    const Case cases[] = {{150, 199, 4}, {1000, 400, 20}, {3000, 4000, 80}, {20000, 100, 255}, {0, 0, 4}};
    for (const Case& c : cases)
        EXPECT_EQ(gaussblur::DiffuseRadius(c.w, c.h), c.radius) << c.w << "x" << c.h;
}

using GaussBlurDlgTest = repairtest::RepairDialogTest;

TEST_F(GaussBlurDlgTest, EnhanceSlidersFollowOpacityAndDiffuseSetsThePreset)
{
    OpenPhoto(160, 120);
    const int result = Run<CGaussBlurDlg>([](CGaussBlurDlg* dlg) {
        EXPECT_FALSE(dlg->GetDlgItem(IDC_GAUSS_HIGHLIGHT)->IsWindowVisible());
        MoveSlider(dlg, IDC_GAUSS_OPACITY, 60);
        EXPECT_TRUE(dlg->GetDlgItem(IDC_GAUSS_HIGHLIGHT)->IsWindowVisible());
        EXPECT_TRUE(dlg->GetDlgItem(IDC_GAUSS_SHADOW_LABEL)->IsWindowVisible());
        Click(dlg, IDC_GAUSS_DIFFUSE);
        EXPECT_EQ(dlg->settings.radius, 4);
        EXPECT_EQ(static_cast<int>(dlg->SendDlgItemMessage(IDC_GAUSS_OPACITY, TBM_GETPOS)), 50);
        EXPECT_EQ(static_cast<int>(dlg->SendDlgItemMessage(IDC_GAUSS_HIGHLIGHT, TBM_GETPOS)), 50);
        EXPECT_EQ(static_cast<int>(dlg->SendDlgItemMessage(IDC_GAUSS_SHADOW, TBM_GETPOS)), 20);
        EXPECT_TRUE(WaitForJobs(dlg));
        dlg->SendMessage(WM_COMMAND, IDOK, 0);
        return qlafx::kModalRun;
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(LastStep(), "Gauss Blur");
}

TEST_F(GaussBlurDlgTest, Grab)
{
    if (!OpenForGrab("hdr/canon_hdr_NO.jpg"))
        GTEST_SKIP() << "corpus photo absent";
    std::string grab;
    Run<CGaussBlurDlg>([&](CGaussBlurDlg* dlg) {
        MoveSlider(dlg, IDC_GAUSS_RADIUS, 12);
        MoveSlider(dlg, IDC_GAUSS_OPACITY, 50);
        EXPECT_TRUE(WaitForJobs(dlg));
        grab = Grab(dlg, "gauss-blur");
        return IDCANCEL;
    });
    EXPECT_FALSE(grab.empty());
}

}  // namespace
