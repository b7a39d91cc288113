#include "editor/retouch/CorrectDistortionDlg.h"

#include "editor/adjust/PerspectiveDlg.h"
#include "editor/retouch/BarrelDistortDlg.h"
#include "editor/retouch/FreeRotateDlg.h"
#include "editor/shell/MainFrame.h"
#include "editor/shell/PhotoDocument.h"
#include "platform/afx/MsgMap.h"

BEGIN_MESSAGE_MAP(CCorrectDistortionDlg, CDialog)
    ON_BN_CLICKED(IDC_DISTORTION_BARREL, OnBarrel)
    ON_BN_CLICKED(IDC_DISTORTION_PERSPECTIVE, OnPerspective)
    ON_BN_CLICKED(IDC_DISTORTION_ROTATE, OnRotate)
END_MESSAGE_MAP()

CCorrectDistortionDlg::CCorrectDistortionDlg(CWnd* parent) : CDialog(IDD_CORRECT_DISTORTION, parent) {}

void CCorrectDistortionDlg::StepDone(int result)
{
    if (result != IDOK)
        return;
    if (CWnd* main = AfxGetMainWnd(); main && main->m_hWnd)
        main->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void CCorrectDistortionDlg::OnBarrel()
{
    CBarrelDistortDlg dialog(this);
    StepDone(static_cast<int>(dialog.DoModal()));
}

void CCorrectDistortionDlg::OnPerspective()
{
    StepDone(RunPerspectiveDlg(this));
}

void CCorrectDistortionDlg::OnRotate()
{
    StepDone(RunFreeRotateDlg(this));
}

int RunCorrectDistortionDlg(CMainFrame* frame)
{
    if (!thePhotoDocument.IsLoaded())
        return IDCANCEL;
    CCorrectDistortionDlg dialog(frame);
    return static_cast<int>(dialog.DoModal());
}
