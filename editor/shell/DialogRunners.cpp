// The editor's dialog commands and the functions that run them. Each dialog
// adds its line here when it is built; a command without one stays disabled.
#include "editor/retouch/MultiShootDlg.h"
#include "editor/retouch/MultiWork.h"
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
    // Image > Multi-Shoot Tools and the tool window.
    CMainFrame::SetDialogRunner(32872, [](CMainFrame*) { return static_cast<int>(CMultiNRWork().Run()); });
    CMainFrame::SetDialogRunner(32873, [](CMainFrame*) { return static_cast<int>(CMultiASWork().Run()); });
    CMainFrame::SetDialogRunner(32874, [](CMainFrame*) { return static_cast<int>(CMultiHDRWork().Run()); });
    CMainFrame::SetDialogRunner(32875, [](CMainFrame* frame) { return RunMultiShootDlg(frame); });
}
