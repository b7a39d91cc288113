// The album's backdrop: a pop-up over the main window showing its picture
// blurred and darkened while a skinned dialog is open.
#pragma once

#include "imagecore/QLImage.h"
#include "platform/afx/Dialog.h"

namespace shelf {

class CBackdropWnd : public CDialog {
    DECLARE_DYNAMIC(CBackdropWnd)
public:
    static constexpr UINT kTemplate = 218;
    // The main frame's backdrop, which the skinned dialogs show and hide.
    static CBackdropWnd* s_main;

    ~CBackdropWnd() override;
    BOOL Create(CWnd* main);
    // 0 when already visible; else covers the main window (cut to the
    // desktop) with its blurred picture and returns 1.
    int ShowOverMainWnd();
    void Hide();
    // The main window's own picture over the screen rectangle area, black
    // outside it, blurred; false (the old picture kept) when it cannot be made.
    bool Capture(const RECT& area);

    CQLImage m_picture;

protected:
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnPaint();
    DECLARE_MESSAGE_MAP()

private:
    CWnd* m_main = nullptr;
};

} // namespace shelf
