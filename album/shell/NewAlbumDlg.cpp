#include "album/shell/NewAlbumDlg.h"

#include "album/shell/AlbumTextTable.h"
#include "platform/afx/CommDlg.h"
#include "platform/afx/DataExchange.h"
#include "platform/afx/MessageBox.h"
#include "platform/win/FileOps.h"

#include <cerrno>
#include <sys/stat.h>

namespace shelf {

BEGIN_MESSAGE_MAP(CNewAlbumDlg, CSkinDialog)
    ON_BN_CLICKED(1005, OnBrowse)
END_MESSAGE_MAP()

namespace {

// Selects the start folder when the browser opens; shows the selection's path.
int BrowseCallback(HWND hwnd, UINT msg, LPARAM lParam, LPARAM data)
{
    if (msg == BFFM_INITIALIZED && data)
        ::SendMessage(hwnd, BFFM_SETSELECTION, TRUE, data);
    else if (msg == BFFM_SELCHANGED) {
        char path[MAX_PATH] = {};
        if (SHGetPathFromIDList(reinterpret_cast<LPCITEMIDLIST>(lParam), path))
            ::SendMessage(hwnd, BFFM_SETSTATUSTEXT, 0, reinterpret_cast<LPARAM>(path));
    }
    return 0;
}

} // namespace

std::string CNewAlbumDlg::SafeFolderName(const std::string& name)
{
    std::string safe = name;
    for (char& c : safe)
        if (c == '"' || c == '\'' || c == '*' || c == '/' || c == ':' || c == '?' || c == '\\' || c == '~')
            c = '_';
    return safe;
}

BOOL CNewAlbumDlg::OnInitDialog()
{
    CSkinDialog::OnInitDialog();
    SendDlgItemMessage(1002, EM_LIMITTEXT, kMaxName);
    SetDlgItemText(1002, m_name);
    SetDlgItemText(1004, m_location);
    CheckDlgButton(1006, m_newFolder);
    return TRUE;
}

void CNewAlbumDlg::OnBrowse()
{
    GetDlgItemText(1004, m_location);
    char display[MAX_PATH] = {};
    BROWSEINFO bi{};
    bi.hwndOwner = m_hWnd;
    bi.pszDisplayName = display;
    bi.lpszTitle = theAlbumTexts.GetText(49);
    bi.ulFlags = BIF_RETURNONLYFSDIRS | BIF_DONTGOBELOWDOMAIN;
    bi.lpfn = BrowseCallback;
    bi.lParam = reinterpret_cast<LPARAM>(m_location.GetString());
    if (LPITEMIDLIST chosen = SHBrowseForFolder(&bi)) {
        char path[MAX_PATH] = {};
        if (SHGetPathFromIDList(chosen, path))
            SetDlgItemText(1004, path);
        ILFree(chosen);
    }
}

void CNewAlbumDlg::OnOK()
{
    GetDlgItemText(1002, m_name);
    GetDlgItemText(1004, m_location);
    m_newFolder = IsDlgButtonChecked(1006) ? 1 : 0;
    std::string location = m_location.GetString();
    const std::string name = m_name.GetString();
    if (!name.empty() && !location.empty()) {
        if (!m_newFolder) {
            m_result = location;
            EndDialog(IDOK);
            return;
        }
        if (location.back() == '/')
            location.pop_back();
        const std::string folder = location + "/" + SafeFolderName(name);
        if (::mkdir(folder.c_str(), 0777) == 0) {
            m_result = folder;
            EndDialog(IDOK);
            return;
        }
    }
    AfxMessageBox(theAlbumTexts.GetText(2));
}

} // namespace shelf
