// An owner-drawn push button with a live, zoomable preview of one variant
// of the photo and a selection mark; variant-choice dialogs lay several
// side by side.
#pragma once

#include "editor/ui/ZoomView.h"
#include "platform/afx/Controls.h"

class CPreviewButton : public CButton {
public:
    CPreviewButton() = default;

    BOOL Create(LPCSTR caption, const RECT& rect, CWnd* parent, UINT id, CQLImage* image);
    // Redraws only on a change.
    void SetSelected(BOOL selected);
    // Re-fits the image without a redraw of the view, then redraws the button.
    void FitAndRedraw();
    // Takes the other view's scroll position and zoom.
    void SyncViewFrom(CPreviewButton* other);
    // On a zoom view's change notice (code, lParam of WM_ZOOMVIEW_NOTIFY):
    // the other buttons of the row take the changed view's scroll and zoom.
    static void SyncRow(CPreviewButton* row, int count, WPARAM code, LPARAM lParam);

    BOOL m_selected = FALSE;
    BOOL m_created = FALSE;
    BOOL m_hovering = FALSE;
    ZoomView m_view;
    CRect m_viewRect;

    void DrawItem(LPDRAWITEMSTRUCT dis) override;

protected:
    afx_msg BOOL OnEraseBkgnd(CDC* dc);
    afx_msg void OnSize(UINT type, int cx, int cy);
    afx_msg BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
    afx_msg void OnTimer(UINT_PTR id);
    afx_msg LRESULT OnViewNotice(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    void EraseOutsideView(CDC* dc);
    bool ViewHasPixels();
};
