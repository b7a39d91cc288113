#include "album/tools/TagsDlg.h"

#include "album/shell/AlbumTextTable.h"
#include "platform/afx/CommCtrl.h"
#include "platform/afx/MessageBox.h"

namespace shelf {

BEGIN_MESSAGE_MAP(CTagsDlg, CSkinDialog)
    ON_BN_CLICKED(1127, OnAddNew)
    ON_BN_CLICKED(1123, OnAddSelected)
    ON_LBN_DBLCLK(1124, OnAddSelected)
    ON_BN_CLICKED(1128, OnDelete)
    ON_MESSAGE(WM_TAGS_PROGRESS, OnProgress)
END_MESSAGE_MAP()

CTagsDlg::CTagsDlg(std::vector<std::string> paths, CTagSet& tagSet, CWnd* parent)
    : CSkinDialog(kTemplate, parent), m_paths(std::move(paths)), m_tagSet(tagSet)
{
}

CTagsDlg::~CTagsDlg()
{
    m_cancel = true;
    if (m_worker.joinable())
        m_worker.join();
}

BOOL CTagsDlg::OnInitDialog()
{
    CSkinDialog::OnInitDialog();
    CommonTags(m_paths, m_working);
    CommonTags(m_paths, m_opening);
    // Longer tags would end every later parse of the photo's text.
    SendDlgItemMessage(1126, EM_LIMITTEXT, CTagSet::kMaxTagLength);
    SendDlgItemMessage(1129, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    FillList(1124, m_tagSet);
    FillList(1125, m_working);
    return TRUE;
}

void CTagsDlg::FillList(UINT id, const CTagSet& tags)
{
    SendDlgItemMessage(id, LB_RESETCONTENT);
    for (int i = 0; i < tags.GetCount(); ++i)
        SendDlgItemMessage(id, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(tags.GetAt(i)));
}

void CTagsDlg::AddTag(const char* tag)
{
    if (const int text = AddWorkingTag(m_working, tag); text != 0) {
        AfxMessageBox(theAlbumTexts.GetText(text), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    FillList(1125, m_working);
}

void CTagsDlg::OnAddNew()
{
    CString text;
    GetDlgItemText(1126, text);
    AddTag(text.GetString());
}

void CTagsDlg::OnAddSelected()
{
    const int index = static_cast<int>(SendDlgItemMessage(1124, LB_GETCURSEL));
    if (index < 0)
        return;
    char tag[256] = {};
    if (SendDlgItemMessage(1124, LB_GETTEXTLEN, index) < static_cast<LRESULT>(sizeof tag))
        SendDlgItemMessage(1124, LB_GETTEXT, index, reinterpret_cast<LPARAM>(tag));
    AddTag(tag);
}

void CTagsDlg::OnDelete()
{
    const int index = static_cast<int>(SendDlgItemMessage(1125, LB_GETCURSEL));
    if (index < 0)
        return;
    char tag[256] = {};
    if (SendDlgItemMessage(1125, LB_GETTEXTLEN, index) < static_cast<LRESULT>(sizeof tag))
        SendDlgItemMessage(1125, LB_GETTEXT, index, reinterpret_cast<LPARAM>(tag));
    m_working.Remove(tag);
    FillList(1125, m_working);
}

void CTagsDlg::OnOK()
{
    if (m_worker.joinable())
        return;
    for (UINT id : {1123u, 1127u, 1128u, static_cast<UINT>(IDOK), static_cast<UINT>(IDCANCEL)})
        if (CWnd* item = GetDlgItem(id))
            item->EnableWindow(FALSE);
    const HWND window = m_hWnd;
    m_worker = std::thread([this, window] {
        m_report = ApplyTags(m_paths, m_working, m_opening,
                             [window](int percent) { ::PostMessage(window, WM_TAGS_PROGRESS, 0, percent); },
                             &m_cancel);
        ::PostMessage(window, WM_TAGS_PROGRESS, 1, 0);
    });
}

void CTagsDlg::OnCancel()
{
    if (!m_worker.joinable())
        CSkinDialog::OnCancel();
}

LRESULT CTagsDlg::OnProgress(WPARAM wParam, LPARAM lParam)
{
    if (wParam == 0) {
        SendDlgItemMessage(1129, PBM_SETPOS, static_cast<WPARAM>(lParam));
        return 0;
    }
    Finish();
    return 0;
}

void CTagsDlg::Finish()
{
    if (m_worker.joinable())
        m_worker.join();
    for (int i = 0; i < m_working.GetCount(); ++i)
        m_tagSet.Add(m_working.GetAt(i));
    if (m_tagSetPath.empty())
        m_tagSet.Save();
    else
        m_tagSet.SaveTo(m_tagSetPath);
    if (!m_report.skipped.empty() || !m_report.failed.empty()) {
        std::string message;
        if (!m_report.skipped.empty()) {
            message += "These photos keep their tags, which can not be read or would not fit:\n";
            for (const auto& path : m_report.skipped)
                message += path + "\n";
        }
        if (!m_report.failed.empty()) {
            message += std::string(theAlbumTexts.GetText(75)) + ":\n";
            for (const auto& path : m_report.failed)
                message += path + "\n";
        }
        AfxMessageBox(message.c_str(), MB_OK | MB_ICONEXCLAMATION);
    }
    EndDialog(IDOK);
}

} // namespace shelf
