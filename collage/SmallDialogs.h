// The key-colour question before matting (dialog 129) and About (dialog 100).
#pragma once

#include "collage/Compose.h"
#include "platform/afx/Afx.h"

namespace collage {

inline constexpr UINT kMattingDialog = 129;
inline constexpr UINT IDC_MATTING_RED = 1030;
inline constexpr UINT IDC_MATTING_BLUE = 1031;
inline constexpr UINT IDC_MATTING_GREEN = 1032;
inline constexpr UINT kAboutDialog = 100;

class CMattingDlg : public CDialog {
public:
    explicit CMattingDlg(CWnd* parent) : CDialog(kMattingDialog, parent) {}
    MattingColour m_colour = MattingColour::Blue;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
};

class CCollageAboutDlg : public CDialog {
public:
    explicit CCollageAboutDlg(CWnd* parent) : CDialog(kAboutDialog, parent) {}
};

} // namespace collage
