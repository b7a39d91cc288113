// The album's wizard and property pages on the pattern brush, and the sheet
// that holds them in the skinned frame.
#pragma once

#include "platform/afx/PropertySheet.h"

#include <vector>

namespace shelf {

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

class CQLSheet : public CPropertySheet {
    DECLARE_DYNAMIC(CQLSheet)
public:
    CQLSheet() : CPropertySheet("", nullptr, 0) {}

protected:
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    DECLARE_MESSAGE_MAP()
};

} // namespace shelf
