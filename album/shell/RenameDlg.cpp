#include "album/shell/RenameDlg.h"

#include "platform/afx/DataExchange.h"

namespace shelf {

BOOL CRenameDlg::OnInitDialog()
{
    CSkinDialog::OnInitDialog();
    SetWindowText(m_caption.c_str());
    return TRUE;
}

void CRenameDlg::DoDataExchange(CDataExchange* pDX)
{
    CSkinDialog::DoDataExchange(pDX);
    DDX_Text(pDX, 1007, m_name);
}

} // namespace shelf
