// "Multi Shoot Tools": the tool window that starts one of the multi-shot
// works from three picture buttons.
#pragma once

#include "editor/ui/ImgButton.h"
#include "editor/ui/SkinDialog.h"

inline constexpr UINT IDD_MULTI_SHOOT = 326;
inline constexpr UINT IDC_MULTI_SHOOT_TEXT = 1441;
inline constexpr UINT IDC_MULTI_NR = 4097;
inline constexpr UINT IDC_MULTI_AS = 4098;
inline constexpr UINT IDC_MULTI_HDR = 4099;

class CMultiShootDlg : public CSkinDialog {
public:
    explicit CMultiShootDlg(CWnd* parent);

    CImgButton m_buttons[3];

protected:
    BOOL OnInitDialog() override;
    afx_msg void OnNoiseReduction();
    afx_msg void OnAntiShake();
    afx_msg void OnHDR();
    DECLARE_MESSAGE_MAP()
};

// The frame's runner for the tool window.
int RunMultiShootDlg(CWnd* parent);
