#include "editor/adjust/AdjustColorChooserDlg.h"

#include "editor/adjust/AdjustColorDlg.h"
#include "editor/adjust/AutoExposureDlg.h"
#include "editor/adjust/ProfHistogramDlg.h"
#include "editor/adjust/SpotMeteringDlg.h"
#include "editor/adjust/VisualColorDlg.h"
#include "editor/adjust/WhiteBalanceDlg.h"
#include "editor/shell/PhotoDocument.h"
#include "editor/shell/UITextTable.h"
#include "editor/ui/AppSettings.h"
#include "editor/ui/BitmapMenu.h"
#include "platform/afx/WinApp.h"

#include <algorithm>
#include <string>

namespace {

constexpr int kButtonWidth = 140;
constexpr int kButtonHeight = 160;
const char* const kFaces[3] = {"selone.bmp", "clickonce.bmp", "manualadj.bmp"};
constexpr int kCaptionTexts[3] = {66, 67, 68};

std::string SkinFile(const char* name)
{
    return std::string(theAppSettings.m_programFolder) + "skin/" + name;
}

}  // namespace

CAdjustColorChooserDlg::CAdjustColorChooserDlg(CWnd* parent) : CSkinDialog(IDD_ADJUST_COLOR_CHOOSER, parent) {}

CAdjustColorChooserDlg::CAdjustColorChooserDlg(UINT templateId, CWnd* parent) : CSkinDialog(templateId, parent) {}

CAdjustExposureDlg::CAdjustExposureDlg(CWnd* parent) : CAdjustColorChooserDlg(IDD_ADJUST_EXPOSURE_CHOOSER, parent)
{
    firstX = 10;
    hintTexts[1] = 70;
    // The exposure group's own tools.
    moreMenu = 173;
    tintFaces = true;
}

BOOL CAdjustColorChooserDlg::OnInitDialog()
{
    CSkinDialog::OnInitDialog();
    SetWindowPos(nullptr, 0, 0, 440, 240 + ::GetSystemMetrics(SM_CYCAPTION), SWP_NOMOVE | SWP_NOZORDER);
    const std::string background = SkinFile("3dface.bmp");
    for (int i = 0; i < 3; ++i) {
        const RECT r{firstX + i * kButtonWidth, 10, firstX + (i + 1) * kButtonWidth, 10 + kButtonHeight};
        if (!buttons[i].Create(theUITextTable.GetText(kCaptionTexts[i]), r, this, IDC_CHOOSER_FIRST + i,
                               SkinFile(kFaces[i]).c_str(), theUITextTable.GetText(hintTexts[i]), 0))
            continue;  // a missing face leaves the other two
        buttons[i].LoadBackground(background.c_str());
        if (tintFaces)
            buttons[i].SetBkColor(::GetSysColor(COLOR_BTNFACE));
    }
    if (CWnd* more = GetDlgItem(IDC_CHOOSER_MORE))
        more->MoveWindow(250, 180, 170, 25);
    CenterWindow();
    return TRUE;
}

BOOL CAdjustColorChooserDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const UINT id = LOWORD(static_cast<DWORD>(wParam));
    if (HIWORD(static_cast<DWORD>(wParam)) == BN_CLICKED) {
        if (id >= IDC_CHOOSER_FIRST && id < IDC_CHOOSER_FIRST + 3) {
            choice = static_cast<int>(id - IDC_CHOOSER_FIRST);
            EndDialog(IDOK);
            return TRUE;
        }
        if (id == IDC_CHOOSER_MORE) {
            DropMoreMenu();
            return TRUE;
        }
    }
    return CSkinDialog::OnCommand(wParam, lParam);
}

void CAdjustColorChooserDlg::DropMoreMenu()
{
    CBitmapMenu menu;
    CWnd* button = GetDlgItem(IDC_CHOOSER_MORE);
    CWnd* main = AfxGetMainWnd();
    if (!button || !main || !menu.LoadMenu(moreMenu))
        return;
    for (UINT toolbar : {128u, 134u, 365u})
        menu.LoadToolbarImages(toolbar);
    CMenu* popup = menu.GetSubMenu(0);
    if (!popup)
        return;
    CRect r;
    button->GetWindowRect(&r);
    moreCommand = static_cast<UINT>(
        popup->TrackPopupMenu(TPM_CENTERALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD, r.right, r.top, main));
    // The command is the main window's: it runs once the chooser is gone.
    if (moreCommand)
        main->PostMessage(WM_COMMAND, moreCommand);
    EndDialog(IDCANCEL);
}

namespace {

using DialogRun = int (*)(CWnd*);

// The chooser, then the dialog of its choice; the main window is redrawn
// when that one applied its change.
int RunChosen(CAdjustColorChooserDlg& chooser, const DialogRun (&runs)[3], CWnd* parent)
{
    if (!thePhotoDocument.IsLoaded() || chooser.DoModal() != IDOK)
        return IDCANCEL;
    const int result = runs[std::clamp(chooser.choice, 0, 2)](parent);
    if (result == IDOK && AfxGetMainWnd())
        AfxGetMainWnd()->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    return result;
}

}  // namespace

int RunAdjustColorChooser(CWnd* parent)
{
    CAdjustColorChooserDlg chooser(parent);
    static constexpr DialogRun kRuns[3] = {RunVisualColorDlg, RunWhiteBalanceDlg, RunAdjustColorDlg};
    return RunChosen(chooser, kRuns, parent);
}

int RunAdjustExposureChooser(CWnd* parent)
{
    CAdjustExposureDlg chooser(parent);
    static constexpr DialogRun kRuns[3] = {RunAutoExposureDlg, RunSpotMeteringDlg, RunProfHistogramDlg};
    return RunChosen(chooser, kRuns, parent);
}
