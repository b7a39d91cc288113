// The viewer's picture button: a face with alpha from the skin folder, blended
// over its parent's background picture (or white), dimmed while idle and more
// so when disabled. Posts WM_USER+4102 (kind 1) to its parent when a press is
// released over it.
#pragma once

#include "imagecore/QLImage.h"
#include "platform/afx/Wnd.h"

namespace glance {

class GlanceButton : public CWnd {
public:
    GlanceButton() = default;

    // False (no window) when the picture cannot be loaded.
    BOOL Create(UINT id, const RECT& rect, CWnd* parent, LPCSTR text, LPCSTR picture, const CQLImage* background);
    // On failure nothing changes.
    BOOL SetPicture(LPCSTR picture);

    // Alpha a face pixel is drawn with.
    static int FaceAlpha(int alpha, bool hover, bool enabled);
    // The button's pixels as they are painted now.
    void Render(CQLImage* out) const;

    bool m_hover = false;
    bool m_pressed = false;

protected:
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg LRESULT OnMouseLeave(WPARAM, LPARAM);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    DECLARE_MESSAGE_MAP()

private:
    void Leave();

    UINT m_id = 0;
    CQLImage m_face;
    const CQLImage* m_background = nullptr;
    CQLImage m_buffer;
};

inline int WidthOf(const CQLImage& image)
{
    UINT w, h;
    image.GetSize(&w, &h);
    return static_cast<int>(w);
}
inline int HeightOf(const CQLImage& image)
{
    UINT w, h;
    image.GetSize(&w, &h);
    return static_cast<int>(h);
}

// Draws a whole CQLImage at (x, y), 1:1.
void DrawQLImage(CDC* dc, const CQLImage& image, int x, int y);

} // namespace glance
