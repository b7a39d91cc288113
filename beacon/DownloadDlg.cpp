#include "beacon/DownloadDlg.h"

#include "beacon/DownloadThread.h"
#include "platform/afx/MessageBox.h"
#include "platform/afx/MsgMap.h"
#include "platform/win/Process.h"

#include <cstdio>
#include <strings.h>

namespace beacon {

BEGIN_MESSAGE_MAP(CDownloadDlg, CDialog)
    ON_MESSAGE(WM_BEACON_DOWNLOAD, OnDownloadMessage)
    ON_BN_CLICKED(1017, OnDownloadDirectly)
END_MESSAGE_MAP()

CDownloadDlg::CDownloadDlg(CWnd* parent) : CDialog(135, parent) {}

void CDownloadDlg::SetStatus(const std::string& text)
{
    SetDlgItemText(1003, text.c_str());
    if (CWnd* status = GetDlgItem(1003))
        status->UpdateWindow();
}

std::string CDownloadDlg::StatusText()
{
    CString text;
    GetDlgItemText(1003, text);
    return text.GetString();
}

void CDownloadDlg::SetHelpText()
{
    const std::string text =
        "If download failed, you can download it manually and copy/extract into\r\n" + Destination() + "\r\n";
    SetDlgItemText(1016, text.c_str());
}

BOOL CDownloadDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_progress.SubclassDlgItem(1015, this);
    m_progress.SetRange(0, 100);
    m_tempPath = DownloadTempPath(m_tempFolder, DownloadName{m_fileName, m_fileExt});
    if (CDownloadThread* thread = DownloadThread()) {
        thread->m_notifyWindow = m_hWnd;
        thread->StartDownload(m_pageUrl, m_tempPath);
    }
    m_startTime = m_clock();
    SetStatus("Connecting...");
    SetHelpText();
    return TRUE;
}

LRESULT CDownloadDlg::OnDownloadMessage(WPARAM wParam, LPARAM lParam)
{
    if (m_closing)
        return 0;
    if (wParam == kDownloadProgress) {
        const DownloadProgress p = ComputeProgress(lParam, m_sizeKB, m_clock() - m_startTime);
        m_progress.SetPos(p.percent);
        SetStatus(ProgressText(p));
    } else if (wParam == kDownloadDone) {
        if (lParam) {
            if (InstallDownload()) {
                m_closing = true;
                EndDialog(IDOK);
            }
        } else {
            const std::string why = DownloadThread() ? DownloadThread()->FailureText() : std::string();
            if (!why.empty())
                AfxMessageBox(why.c_str(), MB_OK | MB_ICONEXCLAMATION);
        }
    }
    return 0;
}

bool CDownloadDlg::InstallDownload()
{
    const std::string problem = CheckDownload(m_tempPath, m_sizeKB, m_sha256);
    if (!problem.empty()) {
        std::remove(m_tempPath.c_str());
        SetStatus(problem);
        AfxMessageBox((problem + "\r\nNothing was installed.").c_str(), MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    if (m_type < 2 || m_type > 5)
        return true;  // downloaded only: it stays in the temporary folder
    const std::string folder = Destination();
    if (m_sha256.empty()) {
        const std::string text =
            "This download comes without a checksum, so it was not installed. It was kept as:\r\n" + m_tempPath;
        SetStatus("Not installed: the download can not be verified.");
        AfxMessageBox(text.c_str(), MB_OK | MB_ICONEXCLAMATION);
        return true;
    }
    if (strcasecmp(m_fileExt.c_str(), ExpectedExtension(m_type)) != 0) {
        ConfirmOpenPackage(m_tempPath, folder);
        return true;
    }
    if (m_type == 5) {
        const std::string text = "This is a execute able file. We simply copy it to the install folder of Quillo:\r\n" +
                                 m_programFolder + ".\r\nYou need to create shortcut yourself.";
        ::MessageBox(m_hWnd, text.c_str(), "Exe File", MB_OK);
    }
    if (!InstallFile(m_tempPath, folder, m_fileName + m_fileExt)) {
        const std::string text = "Can not copy the download into:\r\n" + folder + m_fileName + m_fileExt;
        AfxMessageBox(text.c_str(), MB_OK | MB_ICONEXCLAMATION);
    }
    return true;
}

void CDownloadDlg::ConfirmOpenPackage(const std::string& file, const std::string& folder)
{
    const std::string text = "This is a compressed file. To make it work in Quillo, you need to uncompress it into:\r\n" +
                             folder + "\r\nMannually, Do it now?";
    if (::MessageBox(m_hWnd, text.c_str(), "Compressed Packet", MB_YESNO | MB_ICONQUESTION) == IDYES)
        ::ShellExecute(m_hWnd, "open", file.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void CDownloadDlg::OnDownloadDirectly()
{
    const std::string text = "To make it work, You need to copy/uncompress the file into:\r\n" + Destination() +
                             "\r\nContinue?";
    if (::MessageBox(m_hWnd, text.c_str(), "Download And Insall Manually", MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    ::ShellExecute(m_hWnd, "open", m_pageUrl.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    CancelAndClose();
}

void CDownloadDlg::OnCancel() { CancelAndClose(); }

void CDownloadDlg::CancelAndClose()
{
    m_closing = true;
    if (CDownloadThread* thread = DownloadThread()) {
        thread->CancelAndWait();
        thread->m_notifyWindow = nullptr;
    }
    if (!m_tempPath.empty())
        std::remove(m_tempPath.c_str());
    EndDialog(IDCANCEL);
}

} // namespace beacon
