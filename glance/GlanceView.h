// The viewer's zoomable photo view: best fit, zoom steps, dragging and the
// wheel. The visible part is drawn straight from the shown photo's pixels.
#pragma once

#include "glance/ZoomMath.h"
#include "imagecore/QLImage.h"
#include "platform/afx/Wnd.h"

namespace glance {

inline constexpr UINT kViewId = 8201;

class GlanceView : public CWnd {
public:
    BOOL Create(const RECT& rect, CWnd* parent);

    void SetPhoto(const CQLImage* photo);
    void BestFit();
    void ActualSize();
    // centre: a photo pixel to bring to the middle; x = 0 means none.
    void ZoomIn(POINT centre = {0, 0});
    void ZoomOut(POINT centre = {0, 0});

    double Zoom() const { return m_zoom; }
    POINT Origin() const { return m_origin; }
    const RECT& ImageRect() const { return m_imageRect; }
    int Mode() const { return m_mode; }
    // Whether the photo is larger than what is shown (it can be dragged).
    bool CanDrag() const;
    // Moves the origin by a mouse movement, as a drag does.
    void DragBy(int dx, int dy);

protected:
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt);
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    DECLARE_MESSAGE_MAP()

private:
    bool HasPixels() const;
    void SetZoomAt(double zoom, POINT centre);
    void Refresh();
    void UpdateImageRect();

    int m_mode = 0;
    const CQLImage* m_photo = nullptr;
    double m_zoom = 0.5;
    POINT m_origin{0, 0};
    RECT m_imageRect{0, 0, 0, 0};
    bool m_dragging = false;
    CPoint m_lastMouse;
};

} // namespace glance
