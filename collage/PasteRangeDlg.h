// "Select the range for pasting": the part of a photo that goes into a box,
// edited on the photo by its corners or moved whole.
#pragma once

#include "collage/BoxGeometry.h"
#include "platform/afx/Afx.h"

namespace collage {

inline constexpr UINT kPasteRangeDialog = 130;
inline constexpr UINT IDC_RANGE_TEXT = 1040;
inline constexpr UINT IDC_RANGE_PICTURE = 1041;
inline constexpr UINT IDC_RANGE_ALL = 1042;
inline constexpr UINT IDC_RANGE_BEST = 1043;

// The photo with its range drawn; the mouse edits the range.
class CPasteRangeView : public CWnd {
public:
    enum Mode { None, Corner, Move };

    BOOL Create(const RECT& rect, CWnd* parent, UINT id);
    void SetPhoto(const CQLImage* photo, RECT* range);
    RECT FittedRect() const;
    int GetMode() const { return m_mode; }

protected:
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    DECLARE_MESSAGE_MAP()

private:
    void Hover(CPoint point);
    void Redraw();

    const CQLImage* m_photo = nullptr;
    RECT* m_range = nullptr;
    int m_mode = None;
    int m_corner = 0;
    bool m_pressed = false;
    CPoint m_press;
    RECT m_saved{};
};

class CPasteRangeDlg : public CDialog {
public:
    // photo is replaced by a smaller copy at OK when the range is far larger
    // than the box needs, unless rescale is false (a photo other boxes share).
    CPasteRangeDlg(CQLImage* photo, const RECT& range, const FrameBox& box, bool rescale, CWnd* parent);

    RECT m_range;
    BoxSize NominalSize() const { return m_nominal; }
    CPasteRangeView& View() { return m_view; }

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    afx_msg void OnAll();
    afx_msg void OnBestRatio();
    DECLARE_MESSAGE_MAP()

private:
    CQLImage* m_photo;
    BoxSize m_nominal;
    bool m_rescale;
    CPasteRangeView m_view;
};

} // namespace collage
