// The editor's dialog commands and the functions that run them. Each dialog
// adds its line here when it is built; a command without one stays disabled.
#include "editor/shell/MainFrame.h"
#include "editor/shell/SettingsDlg.h"

void RegisterDialogRunners()
{
    CMainFrame::SetDialogRunner(32838, RunSettingsDlg);
}
