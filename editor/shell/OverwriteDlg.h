// The warning before Next/Previous photo saves over the original file.
#pragma once

#include "editor/ui/SkinDialog.h"

inline constexpr UINT IDC_OVERWRITE_DONT_SHOW = 1466;
inline constexpr UINT IDC_OVERWRITE_IGNORE = 1486;

class COverwriteDlg : public CSkinDialog {
public:
    static constexpr UINT kTemplate = 346;

    explicit COverwriteDlg(CWnd* parent = nullptr);

    // Set when the user chose to go on without saving.
    int m_ignore = 0;

protected:
    void OnOK() override;
    afx_msg void OnIgnore();
    DECLARE_MESSAGE_MAP()
};

// 1: go on and save over the original (at once when the user turned the
// warning off); 2: go on without saving; 0: stay.
int AskOverwrite();
