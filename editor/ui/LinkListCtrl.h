// A list of text lines, each with its own font, colours and background; a
// line with a command is underlined and, when clicked, tells the parent.
#pragma once

#include "platform/afx/Afx.h"

#include <vector>

// Posted to the parent: wParam control id + 0x20000, lParam the command text.
inline constexpr UINT WM_LINKLIST_CLICK = WM_USER + 518;

class CLinkListCtrl : public CWnd {
public:
    struct Entry {
        char text[256] = {};
        char face[32] = {};
        int height = 0;
        int style = 0;  // background style 0..7
        COLORREF textColor = 0;
        COLORREF fill1 = 0;
        COLORREF fill2 = 0;
        char command[256] = {};  // empty: not clickable
        CRect rect;              // from the last paint
    };

    BOOL Create(int id, const RECT& rect, CWnd* parent);
    void AddItem(const char* text, const char* face, int height, COLORREF color, const char* command);
    // The clickable entry under point, else -1.
    int HitTest(CPoint point) const;

    int m_id = 0;
    std::vector<Entry> m_entries;

protected:
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    DECLARE_MESSAGE_MAP()
};
