// The one-time "Important:" notice, which the user can turn off for good.
#pragma once

#include "editor/ui/SkinDialog.h"

#include <string>

inline constexpr UINT IDC_NOTICE_MESSAGE = 1135;
inline constexpr UINT IDC_NOTICE_SECOND = 1136;
inline constexpr UINT IDC_NOTICE_DONT_SHOW = 1459;

class CNoticeDlg : public CSkinDialog {
public:
    static constexpr UINT kTemplate = 340;

    // second NULL counts as empty; entry names the notice in section "TipOnce".
    CNoticeDlg(const char* message, const char* second, const char* entry, CWnd* parent = nullptr);

    BOOL OnInitDialog() override;

protected:
    void OnOK() override;
    afx_msg HBRUSH OnCtlColor(CDC* dc, CWnd* wnd, UINT kind);
    DECLARE_MESSAGE_MAP()

private:
    std::string m_message;
    std::string m_second;
    std::string m_entry;
};

// Shows the notice unless the user turned the entry's notice off.
void ShowImportantNotice(const char* message, const char* second, const char* entry);
