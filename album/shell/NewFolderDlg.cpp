#include "album/shell/NewFolderDlg.h"

#include "platform/afx/DataExchange.h"

namespace shelf {

void CNewFolderDlg::DoDataExchange(CDataExchange* pDX)
{
    CSkinDialog::DoDataExchange(pDX);
    DDX_Text(pDX, 1002, m_name);
    DDV_MaxChars(pDX, m_name, kMaxName);
}

} // namespace shelf
