#include "beacon/RunModeDlg.h"

#include "platform/afx/CommCtrl.h"

namespace beacon {

BOOL CRunModeDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    for (const char* mode : {"Every Week", "Every Month", "Manually Check"})
        SendDlgItemMessage(1009, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(mode));
    SendDlgItemMessage(1009, CB_SETCURSEL, m_runMode >= 0 && m_runMode <= 2 ? m_runMode : 0, 0);
    return TRUE;
}

void CRunModeDlg::OnOK()
{
    const int sel = static_cast<int>(SendDlgItemMessage(1009, CB_GETCURSEL, 0, 0));
    m_runMode = sel >= 0 && sel <= 2 ? sel : 0;
    CDialog::OnOK();
}

} // namespace beacon
