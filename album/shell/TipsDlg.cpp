#include "album/shell/TipsDlg.h"

#include "album/shell/AlbumGlobals.h"
#include "platform/afx/DataExchange.h"
#include "platform/afx/WinApp.h"

namespace shelf {

BEGIN_MESSAGE_MAP(CTipsDlg, CSkinDialog)
    ON_WM_SIZE()
END_MESSAGE_MAP()

CTipsDlg::CTipsDlg(CWnd* parent) : CSkinDialog(kTemplate, parent) { CWebBrowser2::RegisterClass(); }

void CTipsDlg::DoDataExchange(CDataExchange* pDX)
{
    CSkinDialog::DoDataExchange(pDX);
    DDX_Check(pDX, 1025, m_showCheck);
}

void CTipsDlg::OnCancel()
{
    m_showCheck = IsDlgButtonChecked(1025) ? 1 : 0;
    CSkinDialog::OnCancel();
}

BOOL CTipsDlg::OnInitDialog()
{
    CSkinDialog::OnInitDialog();
    if (HICON icon = AfxGetApp()->LoadIcon(kIcon)) {
        SetIcon(icon, TRUE);
        SetIcon(icon, FALSE);
    }
    if (HWND view = ::GetDlgItem(m_hWnd, 1094)) {
        m_browser.SubclassWindow(view);
        m_browser.Navigate(m_url.c_str());
    }
    SetWindowText(m_caption.c_str());
    CRect client;
    GetClientRect(&client);
    OnSize(SIZE_RESTORED, client.Width(), client.Height());
    return TRUE;
}

void CTipsDlg::OnSize(UINT nType, int cx, int cy)
{
    CSkinDialog::OnSize(nType, cx, cy);
    if (CWnd* ok = GetDlgItem(IDOK))
        ok->MoveWindow(cx - 150, cy - 33, 145, 30);
    if (m_browser.m_hWnd)
        m_browser.MoveWindow(0, 0, cx - 1, cy - 35);
    if (CWnd* check = GetDlgItem(1025)) {
        CRect r;
        check->GetWindowRect(&r);
        check->MoveWindow(7, cy - 33 + (30 - r.Height()) / 2, r.Width(), r.Height());
    }
}

int ShowTip(const char* page, const char* caption, int showCheck)
{
    CWnd* main = AfxGetMainWnd();
    // One modeless instance lives for the program's life beside the modal ones.
    static CTipsDlg* kept = nullptr;
    if (!kept && main && main->m_hWnd) {
        kept = new CTipsDlg(main);
        if (!kept->Create(CTipsDlg::kTemplate, main))
            kept->m_hWnd = nullptr;
    }
    CTipsDlg dlg(main);
    dlg.m_url = "file://" + (theAlbum ? theAlbum->m_programFolder : std::string()) + "Tips/" + (page ? page : "");
    dlg.m_caption = caption ? caption : "";
    dlg.m_showCheck = showCheck;
    dlg.DoModal();
    return dlg.m_showCheck;
}

} // namespace shelf
