// The editor's dialog commands and the functions that run them. Each dialog
// adds its line here when it is built; a command without one stays disabled.
#include "editor/shell/MainFrame.h"

// The photo's property dialogs.
#include "editor/shell/EditExifDlg.h"
#include "editor/shell/ImagePropertyDlg.h"
#include "editor/shell/PhotoDocument.h"

namespace {

int RunImagePropertyDlg(CMainFrame*)
{
    CImagePropertyDlg dlg(nullptr);
    return dlg.DoModal();
}

int RunEditExifDlg(CMainFrame*)
{
    CEditExifDlg dlg(thePhotoDocument.m_exif, thePhotoDocument.m_path, nullptr);
    return dlg.DoModal();
}

}  // namespace

void RegisterDialogRunners()
{
    CMainFrame::SetDialogRunner(32784, RunImagePropertyDlg);
    CMainFrame::SetDialogRunner(32851, RunEditExifDlg);
}
