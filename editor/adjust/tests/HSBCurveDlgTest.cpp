// "HSB Curve" on the open photo: "Reset" flattens every mode, the curves
// played as a theme step give the dialog's own result, OK applies with an
// undo step, and a grab on a corpus photo.
#include "../../shell/tests/ShellWindowsTestSupport.h"
#include "ToneTestSupport.h"

#include "algorithms/ColorTheme.h"
#include "algorithms/ColorThemeAlgorithm.h"
#include "editor/adjust/HSBCurveDlg.h"
#include "editor/shell/MainFrame.h"
#include "editor/shell/PhotoDocument.h"
#include "editor/ui/AppSettings.h"
#include "editor/ui/PromptForText.h"
#include "platform/afx/MessageBox.h"
#include "platform/afx/QtBridge.h"

#include <QWidget>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <thread>

namespace {

using adjusttest::PumpUntil;
using adjusttest::SamePixels;

class HSBCurveDlgTest : public adjusttest::ToneDialogTest<CHSBCurveDlg> {
protected:
    // The theme name asked for by "Save as color theme".
    int OtherDialog(CWnd* dialog) override
    {
        if (dialog->GetDlgItem(IDC_PROMPT_EDIT)) {
            dialog->SetDlgItemText(IDC_PROMPT_EDIT, "a/b:c");
            dialog->GetDlgItem(IDOK)->SendMessage(BM_CLICK);
            return qlafx::kModalRun;
        }
        return IDCANCEL;
    }
    void OpenPhoto()
    {
        shelltest::MakeImage(&thePhotoDocument.m_image, 256, 120, [](int x, int y) {
            return CPixel{static_cast<BYTE>(255 - x), static_cast<BYTE>(x), static_cast<BYTE>(y * 2), 255};
        });
        thePhotoDocument.m_history.Push(&thePhotoDocument.m_image, "Open");
    }
    void Run(std::function<int(CHSBCurveDlg*)> work) { RunCommand(32840, std::move(work)); }
    // Drags handle i of the shown mode to value and waits for the preview.
    static void DragTo(CHSBCurveDlg* dlg, int i, int value)
    {
        const RECT p = dlg->PlotRect();
        const auto& h = dlg->hsbPoints[dlg->mode][i];
        const int y = (p.top + p.bottom) / 2 - (value * (p.bottom - p.top) + 255) / 256;
        dlg->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(h.sx, h.sy));
        dlg->SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(h.sx, y));
        dlg->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(h.sx, y));
        EXPECT_TRUE(PumpUntil([&] { return !dlg->JobPending(); }));
    }
    static void SelectMode(CHSBCurveDlg* dlg, int mode)
    {
        dlg->SendDlgItemMessage(IDC_HSB_MODE, CB_SETCURSEL, static_cast<WPARAM>(mode));
        dlg->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_HSB_MODE, CBN_SELCHANGE),
                         reinterpret_cast<LPARAM>(dlg->GetDlgItem(IDC_HSB_MODE)->m_hWnd));
        EXPECT_TRUE(PumpUntil([&] { return !dlg->JobPending(); }));
    }
};

} // namespace

TEST_F(HSBCurveDlgTest, SavedThemeStepReplaysTheResultAndResetFlattensEveryMode)
{
    OpenPhoto();
    bool noJobAtOpening = false, flat = false, same = false;
    Run([&](CHSBCurveDlg* dlg) {
        noJobAtOpening = !dlg->JobPending();
        SelectMode(dlg, 0);
        DragTo(dlg, 3, 40);
        SelectMode(dlg, 2);
        DragTo(dlg, 8, -50);
        // The saved step holds all three tables whatever mode shows.
        // Saved under the test's own folder as the program folder.
        const std::string program = theAppSettings.m_programFolder;
        std::snprintf(theAppSettings.m_programFolder, sizeof theAppSettings.m_programFolder, "%s", m_folder.Path().c_str());
        dlg->SendMessage(WM_COMMAND, IDC_HSB_SAVE_THEME, 0);
        std::snprintf(theAppSettings.m_programFolder, sizeof theAppSettings.m_programFolder, "%s", program.c_str());
        ColorTheme theme;
        EXPECT_TRUE(theme.Load(m_folder.Path() + "ColorTheme/a_b_c.cth", true));
        EXPECT_EQ(theme.Name(), "a/b:c");
        CQLImage played;
        ColorThemeAlgorithm player;
        player.SetImages(&thePhotoDocument.m_image, &played);
        EXPECT_EQ(player.Apply(&theme), 0);
        same = SamePixels(played, dlg->result);
        dlg->SendMessage(WM_COMMAND, IDC_HSB_RESET, 0);
        EXPECT_TRUE(PumpUntil([&] { return !dlg->JobPending(); }));
        flat = true;
        for (int j = 0; j < 256; ++j)
            flat = flat && dlg->hsbCurves.hueShift[j] == 0 && dlg->hsbCurves.saturationCurve[j] == 0
                   && dlg->hsbCurves.brightnessCurve[j] == 0;
        for (int m = 0; m < 3; ++m)
            EXPECT_EQ(dlg->hsbPoints[m][3].value, 0);
        dlg->SendMessage(WM_COMMAND, IDCANCEL, 0);
        return qlafx::kModalRun;
    });
    EXPECT_TRUE(noJobAtOpening);
    EXPECT_TRUE(same);
    EXPECT_TRUE(flat);
}

TEST_F(HSBCurveDlgTest, OkAppliesWithOneUndoStep)
{
    OpenPhoto();
    CQLImage before;
    before.DuplicateFrom(&thePhotoDocument.m_image);
    const int steps = thePhotoDocument.m_history.GetCount();
    Run([&](CHSBCurveDlg* dlg) {
        SelectMode(dlg, 0);
        DragTo(dlg, 4, 60);
        dlg->SendMessage(WM_COMMAND, IDOK, 0);
        return qlafx::kModalRun;
    });
    EXPECT_FALSE(SamePixels(before, thePhotoDocument.m_image));
    EXPECT_EQ(thePhotoDocument.m_history.GetCount(), steps + 1);
}

TEST_F(HSBCurveDlgTest, GrabOfACorpusPhoto)
{
    CQLImage photo;
    if (!shelltest::LoadCorpusPhoto("exif-samples/jpg/exif-org/olympus-c960.jpg", &photo))
        GTEST_SKIP() << "corpus photo absent";
    thePhotoDocument.m_image.DuplicateFrom(&photo);
    thePhotoDocument.m_history.Push(&thePhotoDocument.m_image, "Open");
    m_frame->MoveWindow(0, 0, 1100, 760);
    std::string grab;
    bool changed = false;
    Run([&](CHSBCurveDlg* dlg) {
        SelectMode(dlg, 0);
        DragTo(dlg, 1, 60);
        EXPECT_EQ(dlg->hsbPoints[0][1].value, 60);
        qlafx::ProcessPendingEvents();
        changed = !SamePixels(dlg->result, photo);
        grab = shelltest::SaveGrab(dlg->GetWidget()->grab().toImage(), "adjust-hsbcurve");
        dlg->SendMessage(WM_COMMAND, IDCANCEL, 0);
        return qlafx::kModalRun;
    });
    EXPECT_FALSE(grab.empty());
    EXPECT_TRUE(changed);
}
