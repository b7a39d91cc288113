#include "editor/shell/NoticeDlg.h"

#include "platform/afx/DC.h"
#include "platform/afx/WinApp.h"

BEGIN_MESSAGE_MAP(CNoticeDlg, CSkinDialog)
ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

namespace {

constexpr char kSection[] = "TipOnce";

}  // namespace

CNoticeDlg::CNoticeDlg(const char* message, const char* second, const char* entry, CWnd* parent)
    : CSkinDialog(kTemplate, parent), m_message(message ? message : ""), m_second(second ? second : ""),
      m_entry(entry ? entry : "")
{
}

BOOL CNoticeDlg::OnInitDialog()
{
    CSkinDialog::OnInitDialog();
    SetDlgItemText(IDC_NOTICE_SECOND, m_second.c_str());
    SetDlgItemText(IDC_NOTICE_MESSAGE, m_message.c_str());
    return TRUE;
}

// A read-only edit asks for its colours as a static does; the message stays
// a plain text box rather than taking the skin's pattern.
HBRUSH CNoticeDlg::OnCtlColor(CDC* dc, CWnd* wnd, UINT kind)
{
    if (kind == CTLCOLOR_STATIC && wnd && wnd->GetDlgCtrlID() == static_cast<int>(IDC_NOTICE_MESSAGE)) {
        dc->SetTextColor(GetSysColor(COLOR_WINDOWTEXT));
        dc->SetBkColor(GetSysColor(COLOR_WINDOW));
        return GetSysColorBrush(COLOR_WINDOW);
    }
    return CSkinDialog::OnCtlColor(dc, wnd, kind);
}

void CNoticeDlg::OnOK()
{
    // An empty key would name the whole section.
    if (!m_entry.empty())
        AfxGetApp()->WriteProfileInt(kSection, m_entry.c_str(), IsDlgButtonChecked(IDC_NOTICE_DONT_SHOW) ? 0 : 1);
    CSkinDialog::OnOK();
}

void ShowImportantNotice(const char* message, const char* second, const char* entry)
{
    if (entry && entry[0] && AfxGetApp()->GetProfileInt(kSection, entry, 1) == 0)
        return;
    CNoticeDlg dlg(message, second, entry);
    dlg.DoModal();
}
