// The slider dialogs of the tone group on the open photo: their controls,
// their results against the effects run directly, OK with its undo step,
// the two-stage chain of automatic processing, and grabs on corpus photos.
#include "ToneTestSupport.h"

#include "algorithms/ColorTheme.h"
#include "algorithms/ColorThemeAlgorithm.h"
#include "editor/adjust/AutoProcessDlg.h"
#include "editor/adjust/BrightnessContrastDlg.h"
#include "editor/adjust/ChannelMixerDlg.h"
#include "editor/adjust/DynamicRangeDlg.h"
#include "editor/adjust/ThresholdDlg.h"
#include "editor/adjust/ToneFunctions.h"
#include "editor/shell/PhotoDocument.h"
#include "editor/ui/AlgorithmThread.h"
#include "editor/ui/AppSettings.h"
#include "editor/ui/PromptForText.h"

#include <QWidget>

#include <cstdio>

namespace {

using adjusttest::PumpUntil;
using adjusttest::SamePixels;

constexpr char kOlympus[] = "exif-samples/jpg/exif-org/olympus-c960.jpg";

void OpenTestPhoto()
{
    shelltest::MakeImage(&thePhotoDocument.m_image, 160, 90, [](int x, int y) {
        return CPixel{static_cast<BYTE>(x), static_cast<BYTE>(y * 2 + 40), static_cast<BYTE>(255 - x), 255};
    });
    thePhotoDocument.m_history.Push(&thePhotoDocument.m_image, "Open");
}

bool OpenCorpus(const char* path)
{
    if (!shelltest::LoadCorpusPhoto(path, &thePhotoDocument.m_image))
        return false;
    thePhotoDocument.m_history.Push(&thePhotoDocument.m_image, "Open");
    return true;
}

void Settle(CFilterDlg* dlg)
{
    EXPECT_TRUE(PumpUntil([&] { return !dlg->JobPending(); }));
}

// Moves a slider and lets it go as the mouse does.
void Release(CFilterDlg* dlg, UINT id, int pos)
{
    dlg->SendDlgItemMessage(id, TBM_SETPOS, TRUE, pos);
    NMHDR nm{dlg->GetDlgItem(id)->m_hWnd, id, NM_RELEASEDCAPTURE};
    dlg->SendMessage(WM_NOTIFY, id, reinterpret_cast<LPARAM>(&nm));
    Settle(dlg);
}

void Click(CWnd* dlg, UINT id)
{
    dlg->SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(dlg->GetDlgItem(id)->m_hWnd));
}

void Choose(CFilterDlg* dlg, UINT id, int index)
{
    dlg->SendDlgItemMessage(id, CB_SETCURSEL, static_cast<WPARAM>(index));
    dlg->SendMessage(WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(dlg->GetDlgItem(id)->m_hWnd));
    Settle(dlg);
}

void Grab(CWnd* dlg, const char* name)
{
    qlafx::ProcessPendingEvents();
    EXPECT_FALSE(shelltest::SaveGrab(dlg->GetWidget()->grab().toImage(), name).empty());
}

int Cancel(CWnd* dlg)
{
    dlg->SendMessage(WM_COMMAND, IDCANCEL, 0);
    return qlafx::kModalRun;
}

// --- Brightness and Contrast ---------------------------------------------

using BrightnessContrastDlgTest = adjusttest::ToneDialogTest<CBrightnessContrastDlg>;

TEST_F(BrightnessContrastDlgTest, OkAppliesTheTableWithOneUndoStep)
{
    OpenTestPhoto();
    CQLImage expected;
    BYTE table[256];
    tone::BrightnessContrastTable(30, -40, table);
    ASSERT_TRUE(tone::ApplyTable(thePhotoDocument.m_image, &expected, table));
    const int steps = thePhotoDocument.m_history.GetCount();
    bool previewAtOpening = false;
    RunCommand(32812, [&](CBrightnessContrastDlg* dlg) {
        previewAtOpening = dlg->JobPending();
        Settle(dlg);
        Release(dlg, IDC_BC_BRIGHTNESS, 30);
        Release(dlg, IDC_BC_CONTRAST, -40);
        dlg->SendMessage(WM_COMMAND, IDOK, 0);
        return qlafx::kModalRun;
    });
    EXPECT_TRUE(previewAtOpening);
    EXPECT_TRUE(SamePixels(expected, thePhotoDocument.m_image));
    EXPECT_EQ(thePhotoDocument.m_history.GetCount(), steps + 1);
}

TEST_F(BrightnessContrastDlgTest, GrabOfACorpusPhoto)
{
    if (!OpenCorpus(kOlympus))
        GTEST_SKIP() << "corpus photo absent";
    m_frame->MoveWindow(0, 0, 1100, 760);
    RunCommand(32812, [&](CBrightnessContrastDlg* dlg) {
        Settle(dlg);
        Release(dlg, IDC_BC_BRIGHTNESS, 30);
        Release(dlg, IDC_BC_CONTRAST, 20);
        EXPECT_FALSE(SamePixels(dlg->result, thePhotoDocument.m_image));
        Grab(dlg, "adjust-brightness");
        return Cancel(dlg);
    });
}

// --- Threshold / BW -------------------------------------------------------

using ThresholdDlgTest = adjusttest::ToneDialogTest<CThresholdDlg>;

TEST_F(ThresholdDlgTest, MethodEnablesItsSlidersAndSetsItsDefaults)
{
    OpenTestPhoto();
    struct Row {
        int method;
        bool level, transition, region;
        int levelPos, transitionPos;  // -1: left as it was
    };
    const Row rows[] = {
        {0, true, true, false, 128, 0},
        {1, true, true, true, 64, 16},
        {2, false, false, false, -1, -1},
        {3, false, false, false, -1, -1},
    };
    RunCommand(32904, [&](CThresholdDlg* dlg) {
        Settle(dlg);
        for (const Row& r : rows) {
            Release(dlg, IDC_THRESHOLD_LEVEL, 99);
            Release(dlg, IDC_THRESHOLD_TRANSITION, 9);
            Choose(dlg, IDC_THRESHOLD_METHOD, r.method);
            EXPECT_EQ(dlg->GetDlgItem(IDC_THRESHOLD_LEVEL)->IsWindowEnabled() != FALSE, r.level) << r.method;
            EXPECT_EQ(dlg->GetDlgItem(IDC_THRESHOLD_TRANSITION)->IsWindowEnabled() != FALSE, r.transition) << r.method;
            EXPECT_EQ(dlg->GetDlgItem(IDC_THRESHOLD_REGION)->IsWindowEnabled() != FALSE, r.region) << r.method;
            EXPECT_EQ(dlg->SliderPos(IDC_THRESHOLD_LEVEL), r.levelPos < 0 ? 99 : r.levelPos) << r.method;
            EXPECT_EQ(dlg->SliderPos(IDC_THRESHOLD_TRANSITION), r.transitionPos < 0 ? 9 : r.transitionPos) << r.method;
            EXPECT_EQ(dlg->params.mode, r.method);
        }
        return Cancel(dlg);
    });
}

TEST_F(ThresholdDlgTest, GrabOfACorpusPhoto)
{
    if (!OpenCorpus(kOlympus))
        GTEST_SKIP() << "corpus photo absent";
    m_frame->MoveWindow(0, 0, 1100, 760);
    RunCommand(32904, [&](CThresholdDlg* dlg) {
        Settle(dlg);
        Release(dlg, IDC_THRESHOLD_TRANSITION, 0);
        const CQLImage& r = dlg->result;
        bool onlyBlackAndWhite = r.GetAreaByteSize() != 0;
        for (UINT i = 0; onlyBlackAndWhite && i < r.GetAreaByteSize(); i += 4) {
            const BYTE* p = r.GetBuffer(0, 0) + i;
            onlyBlackAndWhite = p[0] == p[1] && p[1] == p[2] && (p[0] == 0 || p[0] == 255);
        }
        EXPECT_TRUE(onlyBlackAndWhite);
        Grab(dlg, "adjust-threshold");
        return Cancel(dlg);
    });
}

// --- Channel Mixer --------------------------------------------------------

class ChannelMixerDlgTest : public adjusttest::ToneDialogTest<CChannelMixerDlg> {
protected:
    int OtherDialog(CWnd* dialog) override
    {
        if (dialog->GetDlgItem(IDC_PROMPT_EDIT)) {
            dialog->SetDlgItemText(IDC_PROMPT_EDIT, "mix");
            dialog->GetDlgItem(IDOK)->SendMessage(BM_CLICK);
            return qlafx::kModalRun;
        }
        return IDCANCEL;
    }
    static void SetRow(CChannelMixerDlg* dlg, int r, int g, int b, int c)
    {
        Release(dlg, IDC_MIXER_R, r);
        Release(dlg, IDC_MIXER_G, g);
        Release(dlg, IDC_MIXER_B, b);
        Release(dlg, IDC_MIXER_CONSTANT, c);
    }
};

TEST_F(ChannelMixerDlgTest, SlidersShowAndStoreTheRowOfTheOutputAndMode)
{
    OpenTestPhoto();
    struct Row {
        int output;  // combo index, or -1 for "Replace brightness"
        INT ChannelMixerParams::*row;
        INT defaults[4];
    };
    const Row rows[] = {
        {0, nullptr, {100, 0, 0, 0}},
        {1, nullptr, {0, 100, 0, 0}},
        {2, nullptr, {0, 0, 100, 0}},
        {-1, nullptr, {30, 60, 10, 0}},
    };
    RunCommand(32899, [&](CChannelMixerDlg* dlg) {
        Settle(dlg);
        for (const Row& r : rows) {
            if (r.output < 0) {
                Click(dlg, IDC_MIXER_BRIGHTNESS);
            } else {
                Click(dlg, IDC_MIXER_RGB);
                Choose(dlg, IDC_MIXER_OUTPUT, r.output);
            }
            Settle(dlg);
            EXPECT_EQ(dlg->GetDlgItem(IDC_MIXER_OUTPUT)->IsWindowEnabled() != FALSE, r.output >= 0);
            const UINT ids[4] = {IDC_MIXER_R, IDC_MIXER_G, IDC_MIXER_B, IDC_MIXER_CONSTANT};
            for (int i = 0; i < 4; ++i)
                EXPECT_EQ(dlg->SliderPos(ids[i]), r.defaults[i]) << r.output << " slider " << i;
            SetRow(dlg, 10 + r.output, 20, 30, 40);
            const INT* stored = dlg->ShownRow();
            EXPECT_EQ(stored[0], 10 + r.output);
            EXPECT_EQ(stored[3], 40);
        }
        // Every row kept its own values; "Reset" restores them and keeps the mode.
        EXPECT_EQ(dlg->mixer.red[0], 10);
        EXPECT_EQ(dlg->mixer.green[0], 11);
        EXPECT_EQ(dlg->mixer.blue[0], 12);
        EXPECT_EQ(dlg->mixer.luma[0], 9);
        Click(dlg, IDC_MIXER_RESET);
        Settle(dlg);
        EXPECT_EQ(dlg->mode, 1);
        EXPECT_EQ(dlg->SliderPos(IDC_MIXER_G), 60);
        EXPECT_EQ(dlg->mixer.red[0], 100);
        return Cancel(dlg);
    });
}

TEST_F(ChannelMixerDlgTest, SavedThemeStepPlaysLikeTheDialog)
{
    OpenTestPhoto();
    bool same = false;
    RunCommand(32899, [&](CChannelMixerDlg* dlg) {
        Settle(dlg);
        Choose(dlg, IDC_MIXER_OUTPUT, 1);
        SetRow(dlg, 40, 50, 10, 5);
        const std::string program = theAppSettings.m_programFolder;
        std::snprintf(theAppSettings.m_programFolder, sizeof theAppSettings.m_programFolder, "%s", m_folder.Path().c_str());
        Click(dlg, IDC_MIXER_SAVE_THEME);
        std::snprintf(theAppSettings.m_programFolder, sizeof theAppSettings.m_programFolder, "%s", program.c_str());
        ColorTheme theme;
        EXPECT_TRUE(theme.Load(m_folder.Path() + "ColorTheme/mix.cth", true));
        CQLImage played;
        ColorThemeAlgorithm player;
        player.SetImages(&thePhotoDocument.m_image, &played);
        EXPECT_EQ(player.Apply(&theme), 0);
        same = SamePixels(played, dlg->result);
        return Cancel(dlg);
    });
    EXPECT_TRUE(same);
}

TEST_F(ChannelMixerDlgTest, GrabOfACorpusPhoto)
{
    if (!OpenCorpus(kOlympus))
        GTEST_SKIP() << "corpus photo absent";
    m_frame->MoveWindow(0, 0, 1100, 760);
    RunCommand(32899, [&](CChannelMixerDlg* dlg) {
        Settle(dlg);
        SetRow(dlg, 0, 100, 0, 0);
        const CQLImage& r = dlg->result;
        const CQLImage& s = thePhotoDocument.m_image;
        bool redIsGreen = r.GetAreaByteSize() == s.GetAreaByteSize();
        for (UINT i = 0; redIsGreen && i < r.GetAreaByteSize(); i += 4)
            redIsGreen = r.GetBuffer(0, 0)[i + 2] == s.GetBuffer(0, 0)[i + 1];
        EXPECT_TRUE(redIsGreen);
        Grab(dlg, "adjust-channelmixer");
        return Cancel(dlg);
    });
}

// --- Enhance Dynamic Range -------------------------------------------------

using DynamicRangeDlgTest = adjusttest::ToneDialogTest<CDynamicRangeDlg>;

TEST_F(DynamicRangeDlgTest, OkLiftsShadowsAndLeavesThePhotosAlphaAlone)
{
    shelltest::MakeImage(&thePhotoDocument.m_image, 120, 80, [](int x, int y) {
        return CPixel{static_cast<BYTE>(x / 4), static_cast<BYTE>(y / 4), static_cast<BYTE>(20), 200};
    });
    thePhotoDocument.m_history.Push(&thePhotoDocument.m_image, "Open");
    CQLImage before;
    before.DuplicateFrom(&thePhotoDocument.m_image);
    RunCommand(32849, [&](CDynamicRangeDlg* dlg) {
        Settle(dlg);
        // Previews run on the photo; it must not change under the dialog.
        EXPECT_TRUE(SamePixels(before, thePhotoDocument.m_image));
        EXPECT_EQ(dlg->params.shadowAmount, 50);
        EXPECT_EQ(dlg->params.highlightOn, 0);
        dlg->SendMessage(WM_COMMAND, IDOK, 0);
        return qlafx::kModalRun;
    });
    long long before_sum = 0, after_sum = 0;
    for (UINT i = 0; i < before.GetAreaByteSize(); i += 4) {
        before_sum += before.GetBuffer(0, 0)[i + 1];
        after_sum += thePhotoDocument.m_image.GetBuffer(0, 0)[i + 1];
        ASSERT_EQ(thePhotoDocument.m_image.GetBuffer(0, 0)[i + 3], 200);
    }
    EXPECT_GT(after_sum, before_sum);
}

TEST_F(DynamicRangeDlgTest, GrabOfACorpusPhoto)
{
    if (!OpenCorpus("exif-samples/jpg/hdr/canon_hdr_NO.jpg"))
        GTEST_SKIP() << "corpus photo absent";
    m_frame->MoveWindow(0, 0, 1100, 760);
    RunCommand(32849, [&](CDynamicRangeDlg* dlg) {
        Settle(dlg);
        Release(dlg, IDC_DYNAMIC_HIGHLIGHT, 40);
        EXPECT_FALSE(SamePixels(dlg->result, thePhotoDocument.m_image));
        Grab(dlg, "adjust-dynamicrange");
        return Cancel(dlg);
    });
}

// --- TRY Automatic Processing ----------------------------------------------

using AutoProcessDlgTest = adjusttest::ToneDialogTest<CAutoProcessDlg>;

// What the two stages give when run directly.
CQLImage ChainResult(INT type)
{
    CQLImage between, result;
    AutoWhiteBalanceAlgorithm balance;
    balance.SetImages(&thePhotoDocument.m_image, &between);
    EXPECT_EQ(balance.Apply(&type), 0);
    AutoEnhanceAlgorithm enhance;
    enhance.SetImages(&between, &result);
    EXPECT_EQ(enhance.Apply(&type), 0);
    return result;
}

TEST_F(AutoProcessDlgTest, TheChainRunsBothStagesAndRestartsOnAChange)
{
    OpenTestPhoto();
    const CQLImage night = ChainResult(2);
    const CQLImage normal = ChainResult(0);
    bool nightSame = false, restartedSame = false;
    m_work = [&](CAutoProcessDlg* dlg) {
        Settle(dlg);
        EXPECT_TRUE(SamePixels(normal, dlg->result));
        Click(dlg, IDC_AUTO_NIGHT);
        Settle(dlg);
        nightSame = SamePixels(night, dlg->result);
        // A change while the first stage runs: the chain starts again.
        Click(dlg, IDC_AUTO_PORTRAIT);
        Click(dlg, IDC_AUTO_NORMAL);
        Settle(dlg);
        restartedSame = SamePixels(normal, dlg->result);
        EXPECT_EQ(dlg->imageType, 0);
        return Cancel(dlg);
    };
    EXPECT_EQ(RunAutoProcessDlg(nullptr), IDCANCEL);
    EXPECT_TRUE(nightSame);
    EXPECT_TRUE(restartedSame);
}

TEST_F(AutoProcessDlgTest, AFailingStageEndsTheChainAndOkKeepsThePhoto)
{
    OpenTestPhoto();
    CQLImage before;
    before.DuplicateFrom(&thePhotoDocument.m_image);
    const int steps = thePhotoDocument.m_history.GetCount();
    m_work = [&](CAutoProcessDlg* dlg) {
        Settle(dlg);
        // An image type the enhancement refuses makes the second stage fail.
        dlg->imageType = 7;
        dlg->UpdatePreview();
        Settle(dlg);
        EXPECT_FALSE(dlg->JobPending());
        dlg->SendMessage(WM_COMMAND, IDOK, 0);
        EXPECT_FALSE(m_boxes.empty());
        return Cancel(dlg);
    };
    RunAutoProcessDlg(nullptr);
    EXPECT_TRUE(SamePixels(before, thePhotoDocument.m_image));
    EXPECT_EQ(thePhotoDocument.m_history.GetCount(), steps);
}

TEST_F(AutoProcessDlgTest, GrabOfACorpusPhoto)
{
    if (!OpenCorpus(kOlympus))
        GTEST_SKIP() << "corpus photo absent";
    m_frame->MoveWindow(0, 0, 1100, 760);
    m_work = [&](CAutoProcessDlg* dlg) {
        Settle(dlg);
        Click(dlg, IDC_AUTO_NIGHT);
        Settle(dlg);
        EXPECT_FALSE(SamePixels(dlg->result, thePhotoDocument.m_image));
        Grab(dlg, "adjust-autoprocess");
        return Cancel(dlg);
    };
    RunAutoProcessDlg(nullptr);
}

}  // namespace
