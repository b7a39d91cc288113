#include "album/shell/SettingsDlg.h"

#include "album/shell/AlbumGlobals.h"
#include "platform/afx/DataExchange.h"
#include "platform/afx/WinApp.h"

namespace shelf {

BOOL CSettingsDlg::OnInitDialog()
{
    if (theAlbum) {
        m_name = theAlbum->m_userName.c_str();
        m_fullScreen = theAlbum->m_bFullScreen;
        m_animate = theAlbum->m_bAnimateView;
    }
    return CSkinDialog::OnInitDialog();
}

void CSettingsDlg::DoDataExchange(CDataExchange* pDX)
{
    CSkinDialog::DoDataExchange(pDX);
    DDX_Text(pDX, 1002, m_name);
    DDV_MaxChars(pDX, m_name, kMaxName);
    DDX_Check(pDX, 1025, m_fullScreen);
    DDX_Check(pDX, 1141, m_animate);
}

void CSettingsDlg::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    if (theAlbum) {
        theAlbum->m_userName = m_name.GetString();
        theAlbum->m_bFullScreen = m_fullScreen;
        theAlbum->m_bAnimateView = m_animate;
    }
    AfxGetApp()->WriteProfileString("General", "UserName", m_name.GetString());
    EndDialog(IDOK);
}

} // namespace shelf
