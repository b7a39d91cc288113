// The navigator: a thumbnail of a view's photo with the part the view shows
// framed in yellow and blue; clicking or dragging there scrolls the view.
// Serves the main window's "Navigation" page and the overlay sheet's.
#pragma once

#include "editor/ui/ZoomView.h"
#include "imagecore/QLImage.h"
#include "platform/afx/Afx.h"

class CNavigatorWnd : public CWnd {
    DECLARE_DYNAMIC(CNavigatorWnd)
public:
    CNavigatorWnd() = default;
    ~CNavigatorWnd() override;

    // Links both ways: the view invalidates the navigator after each paint.
    void SetView(ZoomView* view);
    ZoomView* GetView() const { return m_view; }

    // The geometry of the last drawing, in client pixels.
    RECT GetBox() const { return m_box; }
    RECT GetViewRect() const { return m_viewRect; }
    // Draws the whole window into dc (the paint handler's work).
    void Draw(CDC* dc);

protected:
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* dc);
    afx_msg BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
    afx_msg void OnLButtonDown(UINT flags, CPoint point);
    afx_msg void OnMouseMove(UINT flags, CPoint point);
    afx_msg void OnLButtonUp(UINT flags, CPoint point);
    afx_msg void OnCaptureChanged(CWnd* wnd);
    DECLARE_MESSAGE_MAP()

private:
    bool ViewHasPixels() const;
    void UpdateGeometry();
    void DrawThumbnail(CDC* dc);
    // Scrolls the view so that the view rectangle's centre comes to point.
    void CentreViewAt(CPoint point);

    ZoomView* m_view = nullptr;
    CQLImage m_thumb;  // twice the box, sampled from the view's photo
    RECT m_box{};
    RECT m_viewRect{};
    BOOL m_dragging = FALSE;
};
