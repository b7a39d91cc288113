// The window side of the multi-shot works: their steps, help pages and the
// hand-over of the result to the open photo.
#include "editor/retouch/AntiShakeStepDlg.h"
#include "editor/retouch/HDRDetailDlg.h"
#include "editor/retouch/MultiPhotoSelectDlg.h"
#include "editor/retouch/MultiProgressDlg.h"
#include "editor/retouch/MultiWork.h"
#include "editor/shell/PhotoDocument.h"
#include "editor/ui/AppSettings.h"
#include "platform/afx/WinApp.h"
#include "platform/win/Process.h"

#include <string>
#include <utility>

namespace {

void OpenHelpPage(const char* page)
{
    const std::string path = std::string(theAppSettings.m_programFolder) + "Tips/" + page;
    ShellExecute(nullptr, "open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace

BOOL CMultiWork::Run()
{
    CWnd* main = AfxGetMainWnd();
    CMultiPhotoSelectDlg select(this, main);
    if (select.DoModal() != IDOK)
        return FALSE;
    if (!Prepare())
        return FALSE;
    CMultiProgressDlg progress(this, main);
    if (progress.DoModal() != IDOK || result.GetAreaByteSize() == 0)
        return FALSE;
    std::swap(thePhotoDocument.m_image, result);
    result.Free();
    thePhotoDocument.m_history.Push(&thePhotoDocument.m_image, name);
    if (main && main->m_hWnd)
        main->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    return TRUE;
}

BOOL CMultiNRWork::Prepare()
{
    CAntiShakeStepDlg step(this, AfxGetMainWnd());
    return step.DoModal() == IDOK;
}

BOOL CMultiHDRWork::Prepare()
{
    CAntiShakeStepDlg step(this, AfxGetMainWnd());
    step.hdrMode = TRUE;
    if (step.DoModal() != IDOK)
        return FALSE;
    CHDRDetailDlg detail(this, AfxGetMainWnd());
    return detail.DoModal() == IDOK;
}

void CMultiNRWork::ShowHelp()
{
    OpenHelpPage("mnr.htm");
}

void CMultiASWork::ShowHelp()
{
    OpenHelpPage("mas.htm");
}

void CMultiHDRWork::ShowHelp()
{
    OpenHelpPage("hdr.htm");
}
