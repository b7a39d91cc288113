// The editor's dialog commands and the functions that run them. Each dialog
// adds its line here when it is built; a command without one stays disabled.
#include "editor/shell/MainFrame.h"
#include "editor/shell/SaveModeDlg.h"

void RegisterDialogRunners()
{
    CMainFrame::SetDialogRunner(57603, [](CMainFrame* frame) { return RunSaveModeDlg(frame); });
}
