// "In Processing ...": runs a multi-shot work's merge on the algorithm thread
// and shows which photo is being added.
#pragma once

#include "editor/ui/SkinDialog.h"

class CMultiWork;

inline constexpr UINT IDD_MULTI_PROGRESS = 333;
inline constexpr UINT IDC_MULTI_PROGRESS_TEXT = 1380;
inline constexpr UINT IDC_MULTI_PROGRESS_BAR = 1051;

class CMultiProgressDlg : public CSkinDialog {
public:
    CMultiProgressDlg(CMultiWork* work, CWnd* parent);

    // IDOK once the work's result is ready; IDCANCEL after a failure (the
    // user was told) or when the user stopped it.
protected:
    BOOL OnInitDialog() override;
    void OnCancel() override;
    afx_msg LRESULT OnProgress(WPARAM percent, LPARAM photo);
    DECLARE_MESSAGE_MAP()

private:
    CMultiWork* m_work;
};
