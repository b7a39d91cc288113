// "Tone Maker": the weights and the block, the swatches, and the sheet on a
// photo (grey result, the selection blend and its removal, the colour theme
// step, OK's history step) with a grab.
#include "AdjustTestSupport.h"

#include "algorithms/ColorTheme.h"
#include "algorithms/ColorThemeAlgorithm.h"
#include "editor/adjust/MonoToneSheet.h"
#include "editor/shell/PhotoDocument.h"
#include "platform/afx/QtBridge.h"

#include <QWidget>

#include <cstring>
#include <string>

namespace {

using adjusttest::PumpUntil;

TEST(MonoToneBlock, WeightsFromTheInverseSliders)
{
    struct Case {
        int r, g, b;
        monotone::Weights shown, block;
    };
    const Case cases[] = {
        {70, 40, 90, {30, 60, 10}, {76, 153, 25}},      // the defaults
        {100, 100, 100, {0, 0, 0}, {0, 0, 0}},           // d is 0: taken as 1
        {100, 100, 0, {0, 0, 100}, {0, 0, 255}},
        {0, 0, 0, {33, 33, 33}, {85, 85, 85}},
    };
    for (const Case& c : cases) {
        const monotone::Weights shown = monotone::ShownWeights(c.r, c.g, c.b);
        const monotone::Weights block = monotone::BlockWeights(c.r, c.g, c.b);
        EXPECT_EQ(shown.r, c.shown.r) << c.r << "," << c.g << "," << c.b;
        EXPECT_EQ(shown.g, c.shown.g) << c.r << "," << c.g << "," << c.b;
        EXPECT_EQ(shown.b, c.shown.b) << c.r << "," << c.g << "," << c.b;
        EXPECT_EQ(block.r, c.block.r) << c.r << "," << c.g << "," << c.b;
        EXPECT_EQ(block.g, c.block.g) << c.r << "," << c.g << "," << c.b;
        EXPECT_EQ(block.b, c.block.b) << c.r << "," << c.g << "," << c.b;
    }
}

TEST(MonoToneBlock, SwatchesAndDefaults)
{
    EXPECT_EQ(monotone::NormaliseSwatch(RGB(255, 255, 255)), RGB(128, 128, 128));
    BYTE hue = 9, saturation = 9;
    monotone::HueAndSaturation(monotone::NormaliseSwatch(RGB(255, 255, 255)), &hue, &saturation);
    EXPECT_EQ(saturation, 0);
    monotone::HueAndSaturation(RGB(200, 40, 40), &hue, &saturation);
    EXPECT_GT(saturation, 100);
    const MonoToneParams p = monotone::MakeBlock(monotone::Settings{});
    const BYTE expected[12] = {2, 76, 153, 25, 255, 0, 0, 0, 0, 0, 0, 51};
    EXPECT_EQ(std::memcmp(&p, expected, sizeof expected), 0);
}

class MonoToneSheetTest : public adjusttest::AdjustDialogTest {
protected:
    int Run(std::function<int(CMonoToneSheet*)> work)
    {
        m_work = [work](CWnd* dialog) {
            auto* sheet = dynamic_cast<CMonoToneSheet*>(dialog);
            return sheet ? work(sheet) : IDCANCEL;
        };
        return RunMonoToneSheet(m_frame);
    }
    static bool Done(CMonoToneSheet* sheet)
    {
        return PumpUntil([sheet] { return !sheet->JobRunning() && !sheet->rerunPending; });
    }
};

bool IsGrey(const BYTE* p)
{
    return p[0] == p[1] && p[1] == p[2];
}

TEST_F(MonoToneSheetTest, GreyResultSelectionBlendThemeStepAndOk)
{
    OpenPhoto(160, 120);
    const int code = Run([](CMonoToneSheet* sheet) {
        EXPECT_TRUE(Done(sheet));
        CString text;
        sheet->monoPage.GetDlgItemText(IDC_MONO_PERCENT_R, text);
        EXPECT_STREQ(text.GetString(), "R: 30%");
        sheet->monoPage.GetDlgItemText(IDC_MONO_PERCENT_G, text);
        EXPECT_STREQ(text.GetString(), "G: 60%");
        EXPECT_TRUE(IsGrey(sheet->result.GetBuffer(100, 60)));
        CQLImage full;
        EXPECT_TRUE(full.DuplicateFrom(&sheet->result));

        // A saved type-2 step plays as the sheet computes.
        ColorTheme theme;
        ColorThemeStep step;
        step.type = ColorThemeStep::MonoTone;
        std::memcpy(step.payload, &sheet->block, sizeof sheet->block);
        theme.steps.push_back(step);
        theme.stepCount = 1;
        CQLImage played;
        ColorThemeAlgorithm player;
        player.SetImages(&thePhotoDocument.m_image, &played);
        EXPECT_EQ(player.Apply(&theme), 0);
        EXPECT_TRUE(adjusttest::SamePixels(played, full));

        // The left half selected: the right half keeps the photo.
        CQLChannel mask;
        EXPECT_EQ(mask.Create(160, 120), 0);
        std::memset(mask.GetBuffer(0, 0), 0, mask.GetAreaByteSize());
        for (int y = 0; y < 120; ++y)
            std::memset(mask.GetBuffer(0, y), 255, 80);
        sheet->SetSelectionMask(&mask);
        EXPECT_TRUE(Done(sheet));
        sheet->selectButton.GetWindowText(text);
        EXPECT_STREQ(text.GetString(), "Modify/Remove Selection");
        EXPECT_TRUE(IsGrey(sheet->result.GetBuffer(20, 60)));
        EXPECT_EQ(std::memcmp(sheet->result.GetBuffer(140, 60), thePhotoDocument.m_image.GetBuffer(140, 60), 3), 0);
        CQLChannel none;
        sheet->SetSelectionMask(&none);
        EXPECT_TRUE(Done(sheet));
        EXPECT_TRUE(adjusttest::SamePixels(sheet->result, full));
        sheet->SendMessage(WM_COMMAND, IDOK, 0);
        return IDOK;
    });
    EXPECT_EQ(code, IDOK);
    EXPECT_EQ(thePhotoDocument.m_history.GetCount(), 2);
    EXPECT_TRUE(IsGrey(thePhotoDocument.m_image.GetBuffer(10, 10)));
}

TEST_F(MonoToneSheetTest, ChangesDuringAJobCoalesceAndCancelKeepsThePhoto)
{
    OpenPhoto(400, 300);
    CQLImage before;
    ASSERT_TRUE(before.DuplicateFrom(&thePhotoDocument.m_image));
    Run([](CMonoToneSheet* sheet) {
        EXPECT_TRUE(Done(sheet));
        sheet->Recompute();
        EXPECT_TRUE(sheet->JobRunning());
        EXPECT_FALSE(sheet->GetDlgItem(IDOK)->IsWindowEnabled());
        sheet->Recompute();
        sheet->Recompute();
        EXPECT_EQ(sheet->rerunPending, 1);
        // Three sliders at 100 give zero weights, not a division by zero.
        for (UINT id : {IDC_MONO_SLIDER_R, IDC_MONO_SLIDER_G, IDC_MONO_SLIDER_B})
            sheet->monoPage.SendDlgItemMessage(static_cast<int>(id), TBM_SETPOS, TRUE, 100);
        sheet->monoPage.SendMessage(WM_VSCROLL, TB_THUMBPOSITION, 0);
        EXPECT_TRUE(Done(sheet));
        EXPECT_EQ(sheet->block.weightR + sheet->block.weightG + sheet->block.weightB, 0);
        EXPECT_TRUE(sheet->GetDlgItem(IDOK)->IsWindowEnabled());
        CString text;
        sheet->monoPage.GetDlgItemText(IDC_MONO_PERCENT_B, text);
        EXPECT_STREQ(text.GetString(), "B: 0%");
        sheet->colorPage.swatches[0] = RGB(1, 2, 3);
        return IDCANCEL;
    });
    EXPECT_TRUE(adjusttest::SamePixels(before, thePhotoDocument.m_image));
    EXPECT_EQ(thePhotoDocument.m_history.GetCount(), 1);
}

TEST_F(MonoToneSheetTest, OpensFromTheFrameCommand)
{
    RegisterDialogRunners();
    OpenPhoto(200, 150);
    bool opened = false;
    m_work = [&](CWnd* dialog) {
        opened = dynamic_cast<CMonoToneSheet*>(dialog) != nullptr;
        return IDCANCEL;
    };
    m_frame->SendMessage(WM_COMMAND, 32852, 0);
    EXPECT_TRUE(opened);
}

TEST_F(MonoToneSheetTest, Grab)
{
    if (!OpenCorpusPhoto("exif-samples/jpg/exif-org/canon-ixus.jpg"))
        GTEST_SKIP() << "corpus photo absent";
    std::string path;
    Run([&](CMonoToneSheet* sheet) {
        sheet->MoveWindow(0, 0, 1000, 620);
        EXPECT_TRUE(Done(sheet));
        sheet->SetViewMode(2);
        sheet->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        qlafx::ProcessPendingEvents();
        path = shelltest::SaveGrab(sheet->GetWidget()->grab().toImage(), "adjust-tonemaker");
        // The Color Bias page with one swatch chosen pure red.
        sheet->SetActivePage(1);
        sheet->colorPage.SetSwatch(2, RGB(255, 0, 0));
        EXPECT_TRUE(Done(sheet));
        sheet->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        qlafx::ProcessPendingEvents();
        shelltest::SaveGrab(sheet->GetWidget()->grab().toImage(), "adjust-tonemaker-colorbias");
        return IDCANCEL;
    });
    EXPECT_FALSE(path.empty());
}

}  // namespace
