// The frame-edit canvas: the reference picture fitted into the window, and
// its boxes drawn, selected, moved, turned and reshaped by the mouse.
#pragma once

#include "collage/CollageTemplate.h"
#include "platform/afx/Afx.h"

namespace collage {

inline constexpr UINT kCanvasId = 16417;

class CFrameBoxCanvas : public CWnd {
public:
    enum Mode { Select = 0, NewBox = 1, Corner = 2, Move = 3, Rotate = 4 };

    BOOL Create(const RECT& rect, CWnd* parent);

    // The template being designed: its frame is the reference picture.
    CollageTemplate& Template() { return m_template; }
    // After the frame changed: a fresh display copy, no boxes, none selected.
    void ResetFrame();
    bool HasFrame() const;

    int Selected() const { return m_selected; }
    void SelectBox(int index);
    void DeleteSelectedBox();
    int GetMode() const { return m_mode; }
    RECT FittedRect() const;

protected:
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    afx_msg UINT OnGetDlgCode();
    DECLARE_MESSAGE_MAP()

private:
    void Hover(CPoint point);
    BoxPoint ToFrame(CPoint point) const;
    void Redraw();
    void DrawRubberBand(CPoint from, CPoint to);

    CollageTemplate m_template;
    CQLImage m_display;
    int m_mode = NewBox;
    int m_selected = -1;
    int m_corner = 0;
    bool m_shift = false;
    bool m_pressed = false;
    bool m_banding = false;
    CPoint m_press;
    CPoint m_last;
    FrameBox m_saved;
};

} // namespace collage
