// The album's zoomable photo view: the editor's zoom view with the album's
// tool pictures, tips and cursors, and no selection.
#pragma once

#include "editor/ui/ZoomView.h"

namespace shelf {

class CViewerPanel : public ZoomView {
    DECLARE_DYNAMIC(CViewerPanel)
public:
    // Cursors of the hand, zoom-out and zoom-in tools.
    static constexpr UINT kHandCursor = 137, kZoomOutCursor = 139, kZoomInCursor = 140;

    CViewerPanel();
    BOOL Create(const char* title, const RECT& rect, CWnd* parent, UINT id);

    void SetImage(CQLImage* image, BOOL redraw) { ZoomView::SetImage(image, redraw); }
    CQLImage* GetShownImage() const { return m_image; }
    void FitToWindow() { ZoomToFit(FALSE); }
    void SetToolbarVisible(BOOL visible);
    void SetSmooth(BOOL on) { SetSmoothScaling(on); }
    void RepaintImage() { RepaintNow(); }

    BOOL SetViewCursor(CWnd* wnd, UINT hitTest, UINT message) override;
    void DoubleClick(UINT, CPoint) override {}
};

} // namespace shelf
