// The editor's dialog commands and the functions that run them. Each dialog
// adds its line here when it is built; a command without one stays disabled.
#include "editor/shell/MainFrame.h"
#include "editor/shell/PrintImageDlg.h"

void RegisterDialogRunners()
{
    CMainFrame::SetDialogRunner(57608, [](CMainFrame* frame) { return PrintImage(frame); });
}
