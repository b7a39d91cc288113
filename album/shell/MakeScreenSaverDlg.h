// Tools > Make screen saver: the folder, order, effect and delay of the
// screen-saver program, written to "ScrSvr.set" in the program folder.
#pragma once

#include "album/shell/ScreenSaverSettings.h"
#include "album/shell/SkinDialog.h"
#include "platform/afx/CommCtrl.h"

namespace shelf {

class CMakeScreenSaverDlg : public CSkinDialog {
public:
    static constexpr UINT kTemplate = 170;
    static constexpr UINT kFolder = 1004, kBrowse = 1005, kRandom = 1043, kEffect = 1044, kDelay = 1047,
                          kDelaySpin = 1048;

    explicit CMakeScreenSaverDlg(CWnd* parent = nullptr);
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnBrowseFolder();
    // The settings as the dialog holds them.
    ScreenSaverSettings Settings() const;

    CString m_folder;
    int m_randomShow = 0;
    int m_effect = 1;
    UINT m_delay = 5;

protected:
    void OnOK() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    afx_msg void OnDelaySpin(NMHDR* nmhdr, LRESULT* result);
    DECLARE_MESSAGE_MAP()
};

// The main window's command: the dialog on folder, then the settings file
// in programFolder and the shell's "install" of the screen-saver program.
void MakeScreenSaver(CWnd* owner, const std::string& folder, const std::string& programFolder);

} // namespace shelf
