// Tools > Settings: the user's name and the two full-screen viewing options.
#pragma once

#include "album/shell/SkinDialog.h"

namespace shelf {

class CSettingsDlg : public CSkinDialog {
public:
    static constexpr UINT kTemplate = 189;
    static constexpr int kMaxName = 128;

    explicit CSettingsDlg(CWnd* parent = nullptr) : CSkinDialog(kTemplate, parent) {}
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;

    CString m_name;
    int m_fullScreen = 0;
    int m_animate = 1;
};

} // namespace shelf
