// Help > About QuilloShelf: the About picture "start.lgb" at its own size; a
// click anywhere closes it.
#pragma once

#include "imagecore/QLImage.h"
#include "platform/afx/Dialog.h"

namespace shelf {

class CAboutDlg : public CDialog {
public:
    static constexpr UINT kTemplate = 100;

    explicit CAboutDlg(CWnd* parent = nullptr) : CDialog(kTemplate, parent) {}
    BOOL OnInitDialog() override;

    CQLImage m_picture;

protected:
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    DECLARE_MESSAGE_MAP()
};

} // namespace shelf
