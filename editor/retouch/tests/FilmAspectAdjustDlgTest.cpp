// "Photography Conception Adjustment": the presets, the type-3 theme step,
// OK's undo step after the job, and a grab.
#include "../../adjust/tests/RepairTestSupport.h"

#include "editor/retouch/FilmAspectAdjustDlg.h"

#include <cstring>

namespace {

bool SameParams(const FilmAspectParams& a, const FilmAspectParams& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

TEST(FilmAspectPresets, TableAndRepeat)
{
    struct Case {
        UINT button;
        FilmAspectParams expected;  // exposure, latitude, temperature, saturation, grain, reserved, sharpness
    };
    const FilmAspectParams start{5, 3, 100, 1, 9, 0, -12};
    const Case cases[] = {
        {1473, {0, -7, 0, 15, 0, 0, -12}},    {1474, {0, -7, -800, 14, 0, 0, -12}},
        {1475, {0, -7, 1000, 18, 0, 0, -12}}, {1476, {0, 0, 0, -50, 0, 0, -12}},
        {1477, {0, 0, -800, -50, 0, 0, -12}}, {1478, {0, 0, 1200, -50, 0, 0, -12}},
        {1479, {0, -20, -600, -50, 50, 0, 30}},
    };
    for (const Case& c : cases) {
        FilmAspectParams p = start;
        filmaspect::ApplyPreset(c.button, &p);
        EXPECT_TRUE(SameParams(p, c.expected)) << c.button;
        filmaspect::ApplyPreset(c.button, &p);  // twice gives the same values
        EXPECT_TRUE(SameParams(p, c.expected)) << c.button;
    }
}

TEST(FilmAspectPresets, ThemeStepBytes)
{
    const FilmAspectParams p{-3, -20, -600, -50, 50, 0, 30};
    const ColorThemeStep step = filmaspect::MakeStep(p);
    EXPECT_EQ(step.type, 3);
    INT ints[7];
    std::memcpy(ints, step.payload, sizeof ints);
    const INT expected[7] = {-3, -20, -600, -50, 50, 0, 30};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(ints[i], expected[i]) << i;
    EXPECT_EQ(step.payload[sizeof ints], 0);
}

using FilmAspectAdjustDlgTest = repairtest::RepairDialogTest;

TEST_F(FilmAspectAdjustDlgTest, PresetRunsThePreviewAndOkRecordsTheStep)
{
    OpenPhoto(160, 120);
    const int result = Run<CFilmAspectAdjustDlg>([](CFilmAspectAdjustDlg* dlg) {
        Click(dlg, IDC_FILM_PRESET_LAST);
        EXPECT_EQ(static_cast<int>(dlg->SendDlgItemMessage(IDC_FILM_GRAIN, TBM_GETPOS)), 50);
        EXPECT_EQ(static_cast<int>(dlg->SendDlgItemMessage(IDC_FILM_SATURATION, TBM_GETPOS)), -50);
        EXPECT_TRUE(WaitForJobs(dlg));
        dlg->SendMessage(WM_COMMAND, IDOK, 0);
        return qlafx::kModalRun;
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(LastStep(), "Photography Adjust");
    const CPixel p = thePhotoDocument.m_image.GetPixel2(80, 60);
    EXPECT_NEAR(p.r, p.b, 12);  // black and white
}

TEST_F(FilmAspectAdjustDlgTest, Grab)
{
    if (!OpenForGrab("hdr/canon_hdr_NO.jpg"))
        GTEST_SKIP() << "corpus photo absent";
    std::string grab;
    Run<CFilmAspectAdjustDlg>([&](CFilmAspectAdjustDlg* dlg) {
        Click(dlg, IDC_FILM_PRESET_LAST);
        EXPECT_TRUE(WaitForJobs(dlg));
        grab = Grab(dlg, "photography");
        return IDCANCEL;
    });
    EXPECT_FALSE(grab.empty());
}

}  // namespace
