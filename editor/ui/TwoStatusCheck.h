// The skinned check box and radio button: a 16 x 16 glyph from the skin's
// check picture laid over the dialog face, greyed unless the mouse is over it.
#pragma once

#include "imagecore/Pixel.h"
#include "platform/afx/Controls.h"

class CTwoStatusCheck : public CButton {
    DECLARE_DYNAMIC(CTwoStatusCheck)
public:
    CTwoStatusCheck() = default;

    void SetRadio() { m_isRadio = 1; }

    void PreSubclassWindow() override;
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;

    // The glyph for the current state into m_face.
    void ComposeGlyph();

    int m_isRadio = 0;
    CPixel m_face[16 * 16] = {};
    int m_hot = 0;
    int m_checked = 0;
    int m_stateDirty = 1;

protected:
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg LRESULT OnGetCheck(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnSetCheck(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()
};
