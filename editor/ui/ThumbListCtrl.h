// A self-painted grid of 120 x 150 thumbnail cells with captions, its own
// vertical scroll bar, multiple selection, keyboard navigation and
// type-to-find by first letter. Reports to its parent with one message.
#pragma once

#include "imagecore/QLImage.h"
#include "platform/afx/Afx.h"

#include <vector>

// To the parent, sent: wParam a ThumbListNotice, lParam the control (the
// item index for ThumbListActivate).
inline constexpr UINT WM_THUMBLIST_NOTIFY = WM_USER + 2183;

enum ThumbListNotice : int {
    ThumbListSelChange = 0,
    ThumbListDelete = 1,
    ThumbListCode2 = 2,
    ThumbListCode3 = 3,
    ThumbListActivate = 4,
};

struct ThumbListItem {
    CQLImage* thumbnail = nullptr;  // the caller's
    char text[128] = {};
    DWORD data = 0;
    int selected = 0;
};

class CThumbListCtrl : public CWnd {
    DECLARE_DYNAMIC(CThumbListCtrl)
public:
    static constexpr int kCellWidth = 120;
    static constexpr int kCellHeight = 150;
    static constexpr int kScrollBarWidth = 20;

    CThumbListCtrl();
    ~CThumbListCtrl() override;

    int AddItem(const char* text, CQLImage* thumbnail);
    void DeleteAllItems();
    void SetItemData(int index, DWORD value);
    DWORD GetItemData(int index) const;
    // The item shows thumbnail (the caller's) from now on; NULL gives its icon back.
    void SetItemThumbnail(int index, CQLImage* thumbnail);
    int GetItemCount() const { return static_cast<int>(m_items.size()); }
    const ThumbListItem* GetItem(int index) const;

    int GetCurSel() const;
    int GetLastSelected() const;
    // index -1 clears, -2 (multi-select) selects all; flags MK_CONTROL / MK_SHIFT.
    void SelectItem(UINT flags, int index);
    void EnsureVisible(int index);
    void RefreshItem(int index);
    void SetMultiSelect(BOOL multi) { m_multiSelect = multi; }
    void SetHalftone(BOOL halftone) { m_halftone = halftone; }

    RECT GetItemRect(int index) const;
    int HitTest(int x, int y) const;
    int GetScrollPosition() const { return m_scrollPos; }
    int GetContentHeight() const { return m_contentHeight; }
    int GetColumns() const { return m_columns; }
    RECT GetListArea() const { return m_listArea; }

    // Selects the next item (wrapping) whose caption starts with the key's
    // letter, past the run of such items at the current one.
    void FindByKey(UINT key);

protected:
    virtual void NotifyDelete();
    virtual void NotifyCode2();
    virtual void NotifyCode3();
    virtual HICON GetItemIcon(int index);
    virtual void NotifyActivate(int index);
    virtual void NotifySelChange();

    afx_msg int OnCreate(LPCREATESTRUCT cs);
    afx_msg void OnLButtonDown(UINT flags, CPoint point);
    afx_msg void OnMouseMove(UINT flags, CPoint point);
    afx_msg void OnLButtonDblClk(UINT flags, CPoint point);
    afx_msg void OnLButtonUp(UINT flags, CPoint point);
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* dc);
    afx_msg void OnSize(UINT type, int cx, int cy);
    afx_msg void OnVScroll(UINT code, UINT pos, CScrollBar* bar);
    afx_msg BOOL OnMouseWheel(UINT flags, short delta, CPoint pt);
    afx_msg void OnKeyDown(UINT key, UINT repeat, UINT flags);
    afx_msg void OnChar(UINT ch, UINT repeat, UINT flags);
    afx_msg void OnKillFocus(CWnd* newWnd);
    DECLARE_MESSAGE_MAP()

private:
    void Notify(int code, LPARAM lParam);
    void DrawCell(CDC* dc, int index);
    void DrawThumbnail(CDC* dc, const RECT& cell, CQLImage* image);
    void DrawCaption(CDC* dc, const RECT& cell, const char* text);
    void UpdateScrollBar();
    void ScrollTo(int pos);
    int MaxScroll() const;
    void Layout(int cx, int cy);
    bool Matches(int index, UINT key) const;

    CFont m_font;
    int m_hover = -1;
    POINT m_mouseAt{-1, -1};
    POINT m_pressAt{};
    BOOL m_buttonHeld = FALSE;
    BOOL m_selectOnUp = FALSE;
    CScrollBar m_scrollBar;
    std::vector<ThumbListItem> m_items;
    COLORREF m_bkColor = RGB(240, 240, 240);
    RECT m_listArea{};
    int m_columns = 1;
    int m_scrollPos = 0;
    int m_contentHeight = kCellHeight;
    BOOL m_halftone = FALSE;  // stored only: cells always stretch with half-tone
    BOOL m_multiSelect = TRUE;
};
