// The repair dialogs: their blocks from the defaults, the commands that open
// them and the lens effects, Dark Corners' question and marker, the
// two-stage jobs, OK during a job, and a grab of each on a corpus photo.
#include "RepairTestSupport.h"

#include "editor/adjust/AntiPurpleDlg.h"
#include "editor/adjust/DarkSideDlg.h"
#include "editor/adjust/FogoffFilterDlg.h"
#include "editor/adjust/GradientFilterDlg.h"
#include "editor/adjust/HighlightDiffuseDlg.h"
#include "editor/adjust/LensBlurDlg.h"
#include "editor/adjust/NRCleanDlg.h"
#include "editor/adjust/NoiseReductionDlg.h"
#include "editor/adjust/QuilloSharpenDlg.h"
#include "editor/adjust/RepairRules.h"
#include "editor/adjust/StarLightDlg.h"
#include "editor/ui/AppSettings.h"
#include "platform/codec/ColorForms.h"

#include <cstdio>
#include <typeinfo>

void RegisterDialogRunners();

namespace {

using adjusttest::SamePixels;
using adjusttest::SizeOf;

class RepairDlgTest : public repairtest::RepairDialogTest {};

TEST_F(RepairDlgTest, EnhancementCommandsOpenTheirDialogs)
{
    RegisterDialogRunners();
    OpenPhoto(1000, 800);
    struct Case {
        UINT command;
        const std::type_info& type;
    };
    const Case cases[] = {
        {32841, typeid(CAntiPurpleDlg)},     {32864, typeid(CDarkSideDlg)},    {32865, typeid(CFogoffFilterDlg)},
        {32799, typeid(CNoiseReductionDlg)}, {32869, typeid(CNRCleanDlg)},     {32801, typeid(CQuilloSharpenDlg)},
        {32847, typeid(CHighlightDiffuseDlg)}, {32845, typeid(CLensBlurDlg)},  {32856, typeid(CGradientFilterDlg)},
        {32854, typeid(CStarLightDlg)},
    };
    for (const Case& c : cases) {
        const std::type_info* opened = nullptr;
        m_work = [&](CWnd* dialog) {
            opened = &typeid(*dialog);
            return IDCANCEL;
        };
        m_frame->SendMessage(WM_COMMAND, c.command, 0);
        ASSERT_NE(opened, nullptr) << c.command;
        EXPECT_EQ(*opened, c.type) << c.command;
    }
    EXPECT_EQ(thePhotoDocument.m_history.GetCount(), 1);
}

TEST_F(RepairDlgTest, AntiPurpleStartsFromTheDiagonalAndTheBar)
{
    OpenPhoto(640, 480);
    Run<CAntiPurpleDlg>([](CAntiPurpleDlg* dlg) {
        EXPECT_TRUE(WaitForJobs(dlg));
        EXPECT_EQ(dlg->range, 12);
        EXPECT_EQ(dlg->block.range, 12);
        EXPECT_EQ(dlg->block.hue, qlcodec::RgbToHsb(CPixel{255, 0, 128, 255}).r);
        // A click at the bar's left edge is hue 0, red; the preview follows.
        const RECT bar = dlg->BarRect();
        dlg->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(bar.left, bar.top + 2));
        EXPECT_TRUE(WaitForJobs(dlg));
        EXPECT_EQ(dlg->block.hue, 0);
        EXPECT_EQ(dlg->fringeColour.r, 128);
        EXPECT_EQ(dlg->fringeColour.b, 0);
        // Picking shows the photo alone until it ends.
        dlg->CheckDlgButton(IDC_FRINGE_PICK, BST_CHECKED);
        Click(dlg, IDC_FRINGE_PICK);
        qlafx::ProcessPendingEvents();
        EXPECT_EQ(dlg->modeBar.GetViewMode(), 0);
        dlg->CheckDlgButton(IDC_FRINGE_PICK, BST_UNCHECKED);
        Click(dlg, IDC_FRINGE_PICK);
        qlafx::ProcessPendingEvents();
        EXPECT_NE(dlg->modeBar.GetViewMode(), 0);
        dlg->SendMessage(WM_COMMAND, IDOK, 0);
        return qlafx::kModalRun;
    });
    ASSERT_EQ(thePhotoDocument.m_history.GetCount(), 2);
    EXPECT_EQ(LastStep(), "Anti Purple");
}

TEST_F(RepairDlgTest, DarkCornersAsksAboutCroppedPhotos)
{
    struct Case {
        int w, h;
        bool asks;
    };
    for (const Case c : {Case{1000, 800, false}, Case{998, 800, true}, Case{1000, 801, true}, Case{992, 800, true}}) {
        OpenPhoto(c.w, c.h);
        m_boxes.clear();
        m_answer = [](const adjusttest::Box&) { return IDNO; };
        bool opened = false;
        Run<CDarkSideDlg>([&](CDarkSideDlg* dlg) {
            opened = true;
            dlg->SendMessage(WM_COMMAND, IDCANCEL, 0);
            return qlafx::kModalRun;
        });
        EXPECT_EQ(opened, !c.asks) << c.w << " x " << c.h;
        ASSERT_EQ(m_boxes.size(), c.asks ? 1u : 0u) << c.w << " x " << c.h;
        if (c.asks) {
            EXPECT_EQ(m_boxes[0].caption, "Warning");
            EXPECT_EQ(m_boxes[0].text, "The size of photo must not be changed to use this function. This photo seems to "
                                       "be croped or resized. Continue?");
        }
        EXPECT_EQ(thePhotoDocument.m_history.GetCount(), 1);
    }
}

TEST_F(RepairDlgTest, DarkCornersWithoutItsDemoDoesNotOpen)
{
    OpenPhoto(1000, 800);
    UseSkinWithout("darkcornersample.jpg");
    bool opened = false;
    Run<CDarkSideDlg>([&](CDarkSideDlg*) {
        opened = true;
        return IDCANCEL;
    });
    EXPECT_FALSE(opened);
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0].text, "File not found!");
}

TEST_F(RepairDlgTest, DarkCornersMarkerIsHeldAndConverted)
{
    OpenPhoto(1000, 800);
    Run<CDarkSideDlg>([](CDarkSideDlg* dlg) {
        EXPECT_TRUE(WaitForJobs(dlg));
        const RECT r = dlg->imageRect;
        const int rw = r.right - r.left;
        const POINT middle{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        EXPECT_EQ(dlg->markerCentre.x, middle.x);
        // Centre: within one panel pixel of the photo's centre.
        EXPECT_NEAR(dlg->block.centerX, 500, 1000 / rw + 1);
        EXPECT_NEAR(dlg->block.centerY, 400, 1000 / rw + 1);
        // Radius: the marker's in image pixels plus the ring of Range 20 (D = 640).
        EXPECT_EQ(dlg->block.ringRadius, 128);
        EXPECT_EQ(dlg->block.outerRadius, 1000 * dlg->markerRadius / rw + 128);

        // Dragging the centre far away stops 10 pixels from the middle.
        dlg->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(middle.x, middle.y));
        dlg->SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(middle.x + 200, middle.y - 200));
        EXPECT_EQ(dlg->markerCentre.x, middle.x + 10);
        EXPECT_EQ(dlg->markerCentre.y, middle.y - 10);
        dlg->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(middle.x + 200, middle.y - 200));
        EXPECT_TRUE(WaitForJobs(dlg));
        EXPECT_EQ(dlg->block.centerX, (dlg->markerCentre.x - r.left) * 1000 / rw);
        // The radius cannot go below 0.8 of the half diagonal.
        const RECT handle = dlg->HandleBox();
        dlg->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(handle.left + 3, handle.top + 3));
        dlg->SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(dlg->markerCentre.x + 2, handle.top + 3));
        dlg->SendMessage(WM_LBUTTONUP, 0, 0);
        EXPECT_EQ(dlg->markerRadius, repair::ClampMarkerRadius(0, r));
        EXPECT_GT(dlg->markerRadius, 0);
        dlg->SendMessage(WM_COMMAND, IDCANCEL, 0);
        return qlafx::kModalRun;
    });
    EXPECT_EQ(thePhotoDocument.m_history.GetCount(), 1);
}

TEST_F(RepairDlgTest, DefogAndNoiseReductionBlocks)
{
    OpenPhoto(320, 240);
    Run<CFogoffFilterDlg>([](CFogoffFilterDlg* dlg) {
        EXPECT_TRUE(WaitForJobs(dlg));
        EXPECT_EQ(dlg->block.strength, 80);
        dlg->SendMessage(WM_COMMAND, IDOK, 0);
        return qlafx::kModalRun;
    });
    ASSERT_EQ(thePhotoDocument.m_history.GetCount(), 2);
    EXPECT_EQ(LastStep(), "Get rid of Fog");

    Run<CNoiseReductionDlg>([](CNoiseReductionDlg* dlg) {
        EXPECT_TRUE(WaitForJobs(dlg));
        EXPECT_FALSE(dlg->amountSlider.IsWindowEnabled());
        EXPECT_EQ(dlg->adaptiveBlock.reduceColorSpots, 1);
        dlg->CheckDlgButton(IDC_NOISE_ADAPTIVE, BST_UNCHECKED);
        Click(dlg, IDC_NOISE_ADAPTIVE);
        EXPECT_TRUE(WaitForJobs(dlg));
        EXPECT_TRUE(dlg->amountSlider.IsWindowEnabled());
        EXPECT_EQ(dlg->block.strength, 5);
        EXPECT_EQ(dlg->block.reduceColorSpots, 1);
        dlg->SendMessage(WM_COMMAND, IDOK, 0);
        return qlafx::kModalRun;
    });
    ASSERT_EQ(thePhotoDocument.m_history.GetCount(), 3);
    EXPECT_EQ(LastStep(), "Noise Reduction");
}

TEST_F(RepairDlgTest, CancelDuringAJobLeavesThePhoto)
{
    OpenPhoto(1200, 900);
    CQLImage before;
    before.DuplicateFrom(&thePhotoDocument.m_image);
    Run<CNoiseReductionDlg>([](CNoiseReductionDlg* dlg) {
        MoveSlider(dlg, IDC_NOISE_AMOUNT, 9);
        dlg->SendMessage(WM_COMMAND, IDCANCEL, 0);
        EXPECT_FALSE(theAlgorithmThread.IsBusy());
        return qlafx::kModalRun;
    });
    EXPECT_TRUE(SamePixels(before, thePhotoDocument.m_image));
    Run<CNRCleanDlg>([](CNRCleanDlg* dlg) {
        dlg->SendMessage(WM_COMMAND, IDCANCEL, 0);
        return qlafx::kModalRun;
    });
    // The skin mask went into the dialog's copy, not into the photo's alpha.
    EXPECT_TRUE(SamePixels(before, thePhotoDocument.m_image));
    EXPECT_EQ(thePhotoDocument.m_history.GetCount(), 1);
}

TEST_F(RepairDlgTest, SkinCleanOkDuringAJobAppliesOnlyTheFinishedResult)
{
    OpenPhoto(640, 480);
    CQLImage original;
    original.DuplicateFrom(&thePhotoDocument.m_image);
    AdvancedSkinCleanParams finalBlock{};
    Run<CNRCleanDlg>([&](CNRCleanDlg* dlg) {
        EXPECT_EQ(dlg->radius, 10);
        const AdvancedSkinCleanParams& b = dlg->block;
        EXPECT_EQ(b.whitening, 10);
        EXPECT_EQ(b.brightness, 55);
        EXPECT_EQ(b.tint, 30);
        EXPECT_EQ(b.blurRadius, 10);
        EXPECT_EQ(b.useMaskedBlur, 1);
        EXPECT_EQ(b.grain, 1);
        EXPECT_EQ(b.smoothPercent, 50);
        // A change while the first job runs, and OK at once.
        MoveSlider(dlg, IDC_CLEAN_AMOUNT, 90);
        dlg->SendMessage(WM_COMMAND, IDOK, 0);
        finalBlock = dlg->block;
        return qlafx::kModalRun;
    });
    EXPECT_EQ(finalBlock.smoothPercent, 90);
    ASSERT_EQ(thePhotoDocument.m_history.GetCount(), 2);
    EXPECT_EQ(LastStep(), "Digital Beauty");
    // What the effect makes of the photo with the last settings, run to its end.
    CQLImage source, expected;
    source.DuplicateFrom(&original);
    AdvancedSkinCleanAlgorithm direct;
    direct.SetImages(&source, &expected);
    ASSERT_EQ(direct.Apply(&finalBlock), 0);
    EXPECT_TRUE(SamePixels(expected, thePhotoDocument.m_image));
}

TEST_F(RepairDlgTest, HighlightDiffuseOkDuringTheFirstStageAppliesTheBlend)
{
    OpenPhoto(800, 600);
    CQLImage original;
    original.DuplicateFrom(&thePhotoDocument.m_image);
    Run<CHighlightDiffuseDlg>([](CHighlightDiffuseDlg* dlg) {
        EXPECT_EQ(dlg->block.radius, 8);
        MoveSlider(dlg, IDC_DIFFUSE_OPACITY, 80);
        dlg->SendMessage(WM_COMMAND, IDOK, 0);
        return qlafx::kModalRun;
    });
    ASSERT_EQ(thePhotoDocument.m_history.GetCount(), 2);
    EXPECT_EQ(LastStep(), "Highlight Diffuse");
    CQLImage glow, expected;
    HighlightDiffuseAlgorithm diffuse;
    diffuse.SetImages(&original, &glow);
    HighlightDiffuseParams radius{8};
    ASSERT_EQ(diffuse.Apply(&radius), 0);
    FilterHost blend;
    blend.SetImages(&original, &expected);
    blend.AddImage(&glow);
    int opacity = 80;
    blend.SetParam(&opacity);
    ASSERT_EQ(blend.Apply(reinterpret_cast<const void*>(&repair::HighlightDiffuseBlend)), 0);
    EXPECT_TRUE(SamePixels(expected, thePhotoDocument.m_image));
}

TEST_F(RepairDlgTest, SharpenBlocksAutoAndEdge)
{
    OpenPhoto(400, 300);
    CQLImage original;
    original.DuplicateFrom(&thePhotoDocument.m_image);
    Run<CQuilloSharpenDlg>([](CQuilloSharpenDlg* dlg) {
        EXPECT_TRUE(WaitForJobs(dlg));
        struct Step {
            const char* name;
            std::function<void()> act;
            UnsharpMaskParams expected;
            bool slidersOn;
        };
        const Step steps[] = {
            {"defaults", [] {}, {64, 48, 0}, true},
            {"Sharpen edge", [dlg] { Click(dlg, IDC_SHARPEN_EDGE); }, {2, 200, 0}, true},
            {"Auto",
             [dlg] {
                 dlg->CheckDlgButton(IDC_SHARPEN_AUTO, BST_CHECKED);
                 Click(dlg, IDC_SHARPEN_AUTO);
             },
             {64, 50, 0},
             false},
        };
        for (const Step& s : steps) {
            s.act();
            EXPECT_TRUE(WaitForJobs(dlg));
            EXPECT_EQ(dlg->block.radius, s.expected.radius) << s.name;
            EXPECT_EQ(dlg->block.amount, s.expected.amount) << s.name;
            EXPECT_EQ(dlg->block.threshold, s.expected.threshold) << s.name;
            EXPECT_EQ(dlg->amountSlider.IsWindowEnabled() != FALSE, s.slidersOn) << s.name;
            EXPECT_EQ(dlg->GetDlgItem(IDC_SHARPEN_EDGE)->IsWindowEnabled() != FALSE, s.slidersOn) << s.name;
        }
        dlg->SendMessage(WM_COMMAND, IDOK, 0);
        return qlafx::kModalRun;
    });
    ASSERT_EQ(thePhotoDocument.m_history.GetCount(), 2);
    EXPECT_EQ(LastStep(), "Quillo Sharpen");
    // The two stages as the dialog runs them, with Auto's block.
    CQLImage blurred, expected;
    SmoothAlgorithm smooth;
    smooth.SetImages(&original, &blurred);
    SmoothParams radius{64};
    ASSERT_EQ(smooth.Apply(&radius), 0);
    UnsharpMaskAlgorithm sharpen;
    sharpen.SetImages(&original, &expected);
    sharpen.AddImage(&blurred);
    UnsharpMaskParams block{64, 50, 0};
    ASSERT_EQ(sharpen.Apply(&block), 0);
    EXPECT_TRUE(SamePixels(expected, thePhotoDocument.m_image));
}

// One grab of each repair dialog after its first job.
TEST_F(RepairDlgTest, GrabsOfCorpusPhotos)
{
    struct Case {
        const char* photo;
        const char* name;
        std::function<int()> run;
    };
    std::string grab;
    auto grabOf = [&grab](const char* name) {
        return [&grab, name](CFilterDlg* dlg) {
            EXPECT_TRUE(WaitForJobs(dlg));
            grab = Grab(dlg, name);
            dlg->SendMessage(WM_COMMAND, IDCANCEL, 0);
            return qlafx::kModalRun;
        };
    };
    const Case cases[] = {
        {"hdr/canon_hdr_NO.jpg", "adjust-antipurple", [&] { return Run<CAntiPurpleDlg>(grabOf("adjust-antipurple")); }},
        {"mobile/HMD_Nokia_8.3_5G.jpg", "adjust-darkcorners",
         [&] { return Run<CDarkSideDlg>(grabOf("adjust-darkcorners")); }},
        {"Reconyx_HC500_Hyperfire.jpg", "adjust-defog", [&] { return Run<CFogoffFilterDlg>(grabOf("adjust-defog")); }},
        {"exif-org/sony-d700.jpg", "adjust-highlightdiffuse",
         [&] { return Run<CHighlightDiffuseDlg>(grabOf("adjust-highlightdiffuse")); }},
        {"exif-org/kodak-dc240.jpg", "adjust-noise", [&] { return Run<CNoiseReductionDlg>(grabOf("adjust-noise")); }},
        {"exif-org/kodak-dc240.jpg", "adjust-sharpen", [&] { return Run<CQuilloSharpenDlg>(grabOf("adjust-sharpen")); }},
        {"exif-org/canon-ixus.jpg", "adjust-skinclean", [&] { return Run<CNRCleanDlg>(grabOf("adjust-skinclean")); }},
    };
    for (const Case& c : cases) {
        if (!OpenForGrab(c.photo))
            GTEST_SKIP() << "corpus photo absent";
        m_boxes.clear();
        grab.clear();
        c.run();
        EXPECT_FALSE(grab.empty()) << c.name;
        EXPECT_TRUE(m_boxes.empty()) << c.name;
    }
}

} // namespace
