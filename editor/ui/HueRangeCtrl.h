// A soft range on the hue circle chosen with four draggable markers: the
// weight of a hue rises from 0 at the ramp start to full at the full start,
// stays full to the full end and falls to 0 at the ramp end. Positions are
// on a scale where 256 is one turn and may lie outside 0..255, so a range
// can wrap through hue 0.
#pragma once

#include "platform/afx/Wnd.h"

// Sent to the parent when a drag ends (wParam 0, lParam 0).
inline constexpr UINT WM_HUERANGE_DRAGGED = WM_USER + 512;

class CHueRangeCtrl : public CWnd {
public:
    enum Marker { kRampStart = 0, kFullStart = 1, kFullEnd = 2, kRampEnd = 3 };
    enum DragMode { kNoDrag = -1, kRising = 4, kFalling = 5, kWhole = 6 };

    CHueRangeCtrl() = default;

    // 0 shows a grey ramp in the strip, anything else the hue colours.
    void SetStateAndRedraw(int mode);
    void BuildWeightTable(BYTE table[256]) const;

    // The marker's column as painted.
    int PositionToColumn(int position) const;

    int m_colorMode = 0;
    int m_rampStart = 96;
    int m_fullStart = 112;
    int m_fullEnd = 144;
    int m_rampEnd = 160;
    CRect m_stripRect;
    CRect m_barRect;
    int m_dragMode = kNoDrag;
    int m_lastX = 0;
    int m_lastY = 0;
    int m_markerX[4] = {};

protected:
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* dc);
    afx_msg void OnSize(UINT type, int cx, int cy);
    afx_msg void OnLButtonDown(UINT flags, CPoint point);
    afx_msg void OnMouseMove(UINT flags, CPoint point);
    afx_msg void OnLButtonUp(UINT flags, CPoint point);
    DECLARE_MESSAGE_MAP()

private:
    void UpdateRects();
    void PaintStrip(CDC* dc);
    void PaintBar(CDC* dc);
    void ApplyConstraint(int marker);
};

namespace hue {

// The hue 0..255 of a position on the circle, for negative positions too.
inline int Mod256(int position)
{
    return ((position % 256) + 256) % 256;
}

}  // namespace hue
