// The editor's dialog commands and the functions that run them. Each dialog
// adds its line here when it is built; a command without one stays disabled.
#include "editor/adjust/ColorThemeDlg.h"
#include "editor/adjust/HSBCurveDlg.h"
#include "editor/adjust/ProfHistogramDlg.h"
#include "editor/shell/JpegOptimizeDlg.h"
#include "editor/shell/MainFrame.h"
#include "editor/shell/SaveModeDlg.h"
#include "editor/shell/SaveWithSizeDlg.h"
#include "editor/shell/SettingsDlg.h"

void RegisterDialogRunners()
{
    CMainFrame::SetDialogRunner(32838, RunSettingsDlg);
    // Saving: File > Save, and "Save with Size ..." for "Jpeg Slimming".
    CMainFrame::SetDialogRunner(57603, [](CMainFrame* frame) { return RunSaveModeDlg(frame); });
    SetSaveWithSizeRunner(RunSaveWithSizeDlg);
    // Tone dialogs.
    CMainFrame::SetDialogRunner(32798, [](CMainFrame* frame) { return RunProfHistogramDlg(frame); });
    CMainFrame::SetDialogRunner(32840, [](CMainFrame* frame) { return RunHSBCurveDlg(frame); });
    CMainFrame::SetDialogRunner(32839, [](CMainFrame* frame) { return RunColorThemeDlg(frame); });
}
