// A self-drawn multi-select list of text rows with its own scroll bar.
// The owning dialog fills m_rows and sets m_rowHeight.
#pragma once

#include "platform/afx/Afx.h"

#include <vector>

class CTextListBox : public CWnd {
public:
    struct Row {
        char text[516] = {};
        int selected = 0;
    };

    // mode 0 selects only row, 1 toggles it, 2 extends the selection from
    // the nearest selected row above (else below); a row outside the list
    // clears the selection. Redraws.
    void SelectRow(int row, int mode);
    void AddRow(const char* text);

    int VisibleRows() const;
    // first kept within 0..count - visible.
    void ClampFirst();
    // The first row while the thumb is dragged dy pixels from where the drag
    // started at startRow; the track is the client height less 34. A
    // control too small for a track keeps startRow.
    static int DragFirstRow(int dy, int count, int clientHeight, int startRow);
    bool HasScrollBar() const;

    std::vector<Row> m_rows;
    int m_rowHeight = 16;
    int m_first = 0;
    int m_upPressed = 0;
    int m_downPressed = 0;
    int m_dragging = 0;
    CPoint m_dragStart;
    int m_dragStartRow = 0;
    CRect m_upBox, m_downBox, m_thumb;

    static constexpr UINT_PTR kRepeatTimer = 123;

protected:
    afx_msg int OnCreate(LPCREATESTRUCT cs);
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    DECLARE_MESSAGE_MAP()

private:
    void Scroll(int rows);
    void Redraw();
};
