#include "editor/shell/SettingsDlg.h"

#include "editor/shell/MainFrame.h"
#include "editor/shell/PhotoDocument.h"
#include "editor/ui/AppSettings.h"

#include <cstring>

namespace {

// The name buffer keeps its terminator.
constexpr int kUserNameMax = sizeof theAppSettings.m_userName - 1;

struct Switch {
    UINT id;
    int CAppSettings::*value;
};
const Switch kSwitches[] = {
    {IDC_SETTINGS_OLD_OPEN, &CAppSettings::m_userOldStyle},
    {IDC_SETTINGS_BEST_FIT, &CAppSettings::m_fitView},
    {IDC_SETTINGS_POP_BLUR, &CAppSettings::m_popBlur},
    {IDC_SETTINGS_TOOL_TEXT, &CAppSettings::m_toolText},
};

// text cut to fit size bytes with its terminator, between two UTF-8 characters.
void CopyCut(char* out, size_t size, const char* text)
{
    size_t n = std::strlen(text);
    if (n >= size) {
        n = size - 1;
        while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80)
            --n;
    }
    std::memcpy(out, text, n);
    out[n] = '\0';
}

}  // namespace

CSettingsDlg::CSettingsDlg(CWnd* parent) : CSkinDialog(kTemplate, parent) {}

BOOL CSettingsDlg::OnInitDialog()
{
    CSkinDialog::OnInitDialog();
    SendDlgItemMessage(IDC_SETTINGS_USER_NAME, EM_LIMITTEXT, kUserNameMax);
    SetDlgItemText(IDC_SETTINGS_USER_NAME, theAppSettings.m_userName);
    for (const Switch& s : kSwitches)
        CheckDlgButton(s.id, theAppSettings.*s.value ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(IDC_SETTINGS_EXIF_SOFTWARE,
                   thePhotoDocument.m_exif.GetWriteSoftware() ? BST_CHECKED : BST_UNCHECKED);
    return TRUE;
}

void CSettingsDlg::OnOK()
{
    CString name;
    GetDlgItemText(IDC_SETTINGS_USER_NAME, name);
    CopyCut(theAppSettings.m_userName, sizeof theAppSettings.m_userName, name);
    for (const Switch& s : kSwitches)
        theAppSettings.*s.value = IsDlgButtonChecked(s.id) ? 1 : 0;
    thePhotoDocument.m_exif.SetWriteSoftware(IsDlgButtonChecked(IDC_SETTINGS_EXIF_SOFTWARE) ? TRUE : FALSE);

    CWinApp* app = AfxGetApp();
    app->WriteProfileString("General", "UserName", theAppSettings.m_userName);
    app->WriteProfileInt("Open", "UserOldStyle", theAppSettings.m_userOldStyle);
    app->WriteProfileInt("General", "PopBlur", theAppSettings.m_popBlur);
    app->WriteProfileInt("General", "ToolText", theAppSettings.m_toolText);
    CSkinDialog::OnOK();
}

int RunSettingsDlg(CMainFrame* frame)
{
    CSettingsDlg dlg(frame);
    return dlg.DoModal();
}
