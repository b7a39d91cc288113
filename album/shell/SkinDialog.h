// The album's skinned dialog base: the pattern background inset in a light
// 3D frame, grey-violet static texts, and every plain push button turned
// into the album's picture push button the first time it is coloured.
#pragma once

#include "platform/afx/Dialog.h"

#include <vector>

namespace shelf {

class CSkinDialog : public CDialog {
    DECLARE_DYNAMIC(CSkinDialog)
public:
    static constexpr COLORREF kStaticText = RGB(110, 100, 105);

    CSkinDialog(UINT templateId, CWnd* parent);
    // Deletes the owned controls and hides the backdrop when this dialog
    // showed it.
    ~CSkinDialog() override;
    BOOL OnInitDialog() override;

    CWnd* m_pParentWnd = nullptr;
    std::vector<CWnd*> m_ownedControls;
    int m_wantBackdrop = 1;
    int m_backdropShown = 0;

protected:
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    DECLARE_MESSAGE_MAP()
};

// WM_CTLCOLOR of the album's dialogs and pages: owned holds the push
// buttons made into picture buttons so far.
HBRUSH SkinCtlColor(CDC* dc, CWnd* control, UINT kind, HBRUSH base, std::vector<CWnd*>& owned);
// The grey fill, the pattern inset by 2 pixels and the 240/140 frame.
void EraseSkinnedBackground(CWnd* window, CDC* dc);

} // namespace shelf
