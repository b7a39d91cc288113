// The skinned property page base: the dialog's background and static text,
// with its push buttons skinned (check boxes and radio buttons stay native).
#pragma once

#include "platform/afx/PropertySheet.h"

#include <vector>

class CSkinPropertyPage : public CPropertyPage {
    DECLARE_DYNAMIC(CSkinPropertyPage)
public:
    explicit CSkinPropertyPage(UINT templateId);
    ~CSkinPropertyPage() override;

    UINT m_templateId;
    std::vector<CWnd*> m_ownedControls;

protected:
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    DECLARE_MESSAGE_MAP()
};
