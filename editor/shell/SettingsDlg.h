// "Quillo Settings": the user's name and the editor's switches.
#pragma once

#include "editor/ui/SkinDialog.h"

inline constexpr UINT IDC_SETTINGS_USER_NAME = 1158;
inline constexpr UINT IDC_SETTINGS_OLD_OPEN = 1363;
inline constexpr UINT IDC_SETTINGS_BEST_FIT = 1432;
inline constexpr UINT IDC_SETTINGS_EXIF_SOFTWARE = 1535;
inline constexpr UINT IDC_SETTINGS_POP_BLUR = 1554;
inline constexpr UINT IDC_SETTINGS_TOOL_TEXT = 1555;

class CMainFrame;

class CSettingsDlg : public CSkinDialog {
public:
    static constexpr UINT kTemplate = 254;

    explicit CSettingsDlg(CWnd* parent = nullptr);

    BOOL OnInitDialog() override;

protected:
    // Copies the choices into the running settings and writes those the
    // profile keeps.
    void OnOK() override;
};

// View > Settings.
int RunSettingsDlg(CMainFrame* frame);
