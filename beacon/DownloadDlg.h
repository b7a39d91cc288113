// "Download And Install" (dialog 135): fetches one item on the download
// thread, shows progress, then checks and installs it by its type.
#pragma once

#include "beacon/Install.h"
#include "platform/afx/CommCtrl.h"
#include "platform/afx/Dialog.h"

#include <ctime>
#include <functional>
#include <string>

namespace beacon {

class CDownloadDlg : public CDialog {
public:
    explicit CDownloadDlg(CWnd* parent = nullptr);

    // Filled by the opener before DoModal.
    std::string m_pageUrl;
    std::string m_fileName;
    std::string m_fileExt;
    double m_sizeKB = 0;
    int m_type = 0;
    std::string m_sha256;
    std::string m_programFolder;  // ends in '/'
    std::string m_tempFolder;     // ends in '/'
    std::function<std::time_t()> m_clock = [] { return std::time(nullptr); };

    std::string m_tempPath;
    std::time_t m_startTime = 0;

    afx_msg LRESULT OnDownloadMessage(WPARAM wParam, LPARAM lParam);
    // False when nothing may be installed (the dialog then stays open).
    bool InstallDownload();
    void ConfirmOpenPackage(const std::string& file, const std::string& folder);
    afx_msg void OnDownloadDirectly();
    void SetHelpText();
    std::string StatusText();

protected:
    BOOL OnInitDialog() override;
    void OnCancel() override;
    DECLARE_MESSAGE_MAP()

private:
    std::string Destination() const { return DestinationFolder(m_programFolder, m_type); }
    void SetStatus(const std::string& text);
    void CancelAndClose();

    CProgressCtrl m_progress;
    bool m_closing = false;
};

} // namespace beacon
