#include "album/shell/MakeScreenSaverDlg.h"

#include "album/shell/AlbumTextTable.h"
#include "album/shell/SlideTransitions.h"
#include "platform/afx/CommDlg.h"
#include "platform/afx/DataExchange.h"
#include "platform/afx/MessageBox.h"
#include "platform/win/Process.h"

namespace shelf {

namespace {

int BrowseCallback(HWND hwnd, UINT msg, LPARAM, LPARAM data)
{
    if (msg == BFFM_INITIALIZED && data)
        ::SendMessage(hwnd, BFFM_SETSELECTION, TRUE, data);
    return 0;
}

} // namespace

BEGIN_MESSAGE_MAP(CMakeScreenSaverDlg, CSkinDialog)
    ON_NOTIFY(UDN_DELTAPOS, kDelaySpin, OnDelaySpin)
END_MESSAGE_MAP()

CMakeScreenSaverDlg::CMakeScreenSaverDlg(CWnd* parent) : CSkinDialog(kTemplate, parent) {}

BOOL CMakeScreenSaverDlg::OnInitDialog()
{
    for (const char* name : SlideTransitions::kEffectNames)
        SendDlgItemMessage(kEffect, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    SendDlgItemMessage(kDelaySpin, UDM_SETRANGE32, ScreenSaverSettings::kMinDelay, ScreenSaverSettings::kMaxDelay);
    return CSkinDialog::OnInitDialog();
}

void CMakeScreenSaverDlg::DoDataExchange(CDataExchange* pDX)
{
    CSkinDialog::DoDataExchange(pDX);
    DDX_Text(pDX, kFolder, m_folder);
    DDX_Check(pDX, kRandom, m_randomShow);
    DDX_CBIndex(pDX, kEffect, m_effect);
    DDX_Text(pDX, kDelay, m_delay);
    DDV_MinMaxUInt(pDX, m_delay, ScreenSaverSettings::kMinDelay, ScreenSaverSettings::kMaxDelay);
}

ScreenSaverSettings CMakeScreenSaverDlg::Settings() const
{
    ScreenSaverSettings s;
    s.folder = m_folder.GetString();
    s.randomShow = m_randomShow;
    s.effect = m_effect;
    s.delay = static_cast<std::int32_t>(m_delay);
    return s;
}

void CMakeScreenSaverDlg::OnBrowseFolder()
{
    UpdateData(TRUE);
    char display[MAX_PATH] = {};
    BROWSEINFO bi{};
    bi.hwndOwner = m_hWnd;
    bi.pszDisplayName = display;
    bi.lpszTitle = theAlbumTexts.GetText(49);
    bi.ulFlags = BIF_RETURNONLYFSDIRS | BIF_DONTGOBELOWDOMAIN;
    bi.lpfn = BrowseCallback;
    bi.lParam = reinterpret_cast<LPARAM>(m_folder.GetString());
    if (LPITEMIDLIST chosen = SHBrowseForFolder(&bi)) {
        char path[MAX_PATH] = {};
        if (SHGetPathFromIDList(chosen, path) && path[0]) {
            m_folder = path;
            UpdateData(FALSE);
        }
        ILFree(chosen);
    }
}

void CMakeScreenSaverDlg::OnDelaySpin(NMHDR* nmhdr, LRESULT* result)
{
    const auto* updown = reinterpret_cast<const NMUPDOWN*>(nmhdr);
    // A typed value out of range is left for OK's range message.
    UpdateData(TRUE);
    m_delay = static_cast<UINT>(ScreenSaverSettings::StepDelay(static_cast<int>(m_delay), updown->iDelta));
    UpdateData(FALSE);
    *result = 0;
}

BOOL CMakeScreenSaverDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (LOWORD(wParam) == kBrowse) {
        OnBrowseFolder();
        return TRUE;
    }
    return CSkinDialog::OnCommand(wParam, lParam);
}

void CMakeScreenSaverDlg::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    // The file's folder field holds 511 bytes and the terminator.
    if (!Settings().FolderFits()) {
        AfxMessageBox(theAlbumTexts.GetText(35));
        return;
    }
    EndDialog(IDOK);
}

void MakeScreenSaver(CWnd* owner, const std::string& folder, const std::string& programFolder)
{
    CMakeScreenSaverDlg dlg(owner);
    dlg.m_folder = folder.c_str();
    if (dlg.DoModal() != IDOK)
        return;
    if (!dlg.Settings().Write(programFolder + ScreenSaverSettings::kFileName)) {
        AfxMessageBox(theAlbumTexts.GetText(35));
        return;
    }
    // The screen-saver program lies outside the suite; the shell reports its own errors.
    ::ShellExecute(owner ? owner->m_hWnd : nullptr, "install",
                   (programFolder + ScreenSaverSettings::kSaverName).c_str(), nullptr, nullptr, SW_SHOW);
}

} // namespace shelf
