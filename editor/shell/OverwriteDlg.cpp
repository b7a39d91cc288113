#include "editor/shell/OverwriteDlg.h"

#include "platform/afx/WinApp.h"

BEGIN_MESSAGE_MAP(COverwriteDlg, CSkinDialog)
ON_BN_CLICKED(IDC_OVERWRITE_IGNORE, OnIgnore)
END_MESSAGE_MAP()

COverwriteDlg::COverwriteDlg(CWnd* parent) : CSkinDialog(kTemplate, parent) {}

void COverwriteDlg::OnOK()
{
    if (IsDlgButtonChecked(IDC_OVERWRITE_DONT_SHOW))
        AfxGetApp()->WriteProfileInt("Interface", "OverwriteWarDisable", 1);
    CSkinDialog::OnOK();
}

// Not saving is no reason to stop asking: the check is left alone.
void COverwriteDlg::OnIgnore()
{
    m_ignore = 1;
    EndDialog(IDOK);
}

int AskOverwrite()
{
    if (AfxGetApp()->GetProfileInt("Interface", "OverwriteWarDisable", 0) != 0)
        return 1;
    COverwriteDlg dlg;
    if (dlg.DoModal() != IDOK)
        return 0;
    return dlg.m_ignore ? 2 : 1;
}
