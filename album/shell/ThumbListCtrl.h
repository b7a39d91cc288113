// The album's self-painted list: thumbnail cells or detail lines, its own
// scroll bar, selection, keys and type-to-find. It knows nothing of files;
// each item is a caption, an image and the owner's data word.
#pragma once

#include "album/shell/ThumbListModel.h"
#include "platform/afx/Afx.h"

namespace shelf {

// To the parent, sent: wParam the code, lParam the control.
inline constexpr UINT WM_THUMBLIST_NOTIFY = WM_USER + 2183;
enum ThumbListCode : int { kThumbSelChanged = 0, kThumbDeleteKey = 1, kThumbPaste = 2, kThumbCopy = 3 };

class CThumbListCtrl : public CWnd {
    DECLARE_DYNAMIC(CThumbListCtrl)
public:
    CThumbListCtrl() = default;
    ~CThumbListCtrl() override;

    int AddItem(const char* text, CQLImage* image);
    void DeleteAllItems();
    int GetItemCount() const { return static_cast<int>(m_items.size()); }
    // A copy of the record; an invalid index gives an empty one.
    ThumbListItem GetItem(int index) const;
    // An invalid index is ignored.
    void SetItem(int index, const ThumbListItem& item);
    void SetItemData(int index, DWORD_PTR data);
    DWORD_PTR GetItemData(int index) const;
    int GetCurSel() const { return FirstSelected(m_items); }
    int GetLastSelected() const { return LastSelected(m_items); }
    int GetNextSelected(int index) const;
    int GetSelectedCount() const;
    void SetSelected(int index);
    // index -1 clears, -2 selects all; MK_CONTROL toggles, MK_SHIFT ranges.
    void SelectItem(UINT flags, int index);
    int FindItemByText(const char* text) const;
    void RepaintItemByData(DWORD_PTR data);
    void RepaintItem(int index);
    void EnsureVisible(int index);
    int HitTest(int x, int y) const { return ListHitTest(m_geo, x, y, GetItemCount()); }
    RECT GetItemRect(int index) const { return ListItemRect(m_geo, index, GetItemCount()); }
    int GetViewMode() const { return m_viewMode; }
    void SetViewMode(int mode);
    void SetBkColor(COLORREF colour) { m_bkColor = colour; }
    void SetHalftone(BOOL on) { m_halftone = on; }
    void SetMultiSelect(BOOL on) { m_multiSelect = on; }
    const ThumbListGeometry& Geometry() const { return m_geo; }
    int GetHoverItem() const { return m_hover; }

    virtual void SortItems();
    virtual void OnDeleteKey();
    virtual void OnPasteRequest();
    virtual void OnCopyRequest();
    virtual void DrawDetailLine(int index, CDC* dc);
    virtual void DrawThumbnailCell(int index, CDC* dc);
    virtual HICON GetItemIcon(int index);
    virtual void OpenItem(int index);
    virtual void OnSelChanged();

protected:
    virtual afx_msg int OnCreate(LPCREATESTRUCT cs);
    virtual afx_msg void OnLButtonDown(UINT flags, CPoint point);
    virtual afx_msg void OnLButtonUp(UINT flags, CPoint point);
    virtual afx_msg void OnMouseMove(UINT flags, CPoint point);
    virtual afx_msg void OnLButtonDblClk(UINT flags, CPoint point);
    afx_msg void OnSize(UINT type, int cx, int cy);
    afx_msg BOOL OnEraseBkgnd(CDC* dc);
    afx_msg void OnPaint();
    afx_msg void OnKillFocus(CWnd* newWnd);
    afx_msg void OnKeyDown(UINT key, UINT repeat, UINT flags);
    afx_msg void OnChar(UINT ch, UINT repeat, UINT flags);
    afx_msg void OnVScroll(UINT code, UINT pos, CScrollBar* bar);
    afx_msg BOOL OnMouseWheel(UINT flags, short delta, CPoint point);
    DECLARE_MESSAGE_MAP()

    // Draws every item through dc (the paint handler and the tests).
    void DrawItems(CDC* dc);
    void DrawItem(int index, CDC* dc);
    void Notify(int code);
    void UpdateScrollBar();
    void ScrollTo(int offset);
    void RecalcLayout(bool reset);
    // A selected cell's gradient, made once per focus state and cell size
    // (the dither is the same in every cell) and copied from then on.
    void FillSelected(CDC* dc, const RECT& r, bool focused);

    ThumbItems m_items;
    ThumbListGeometry m_geo;
    CFont m_font;
    CScrollBar m_scrollBar;
    int m_hover = -1;
    BOOL m_buttonDown = FALSE;
    BOOL m_pendingClick = FALSE;
    CPoint m_downPoint;
    BOOL m_halftone = FALSE;
    BOOL m_multiSelect = TRUE;
    int m_viewMode = kThumbModeCells;
    COLORREF m_bkColor = RGB(0, 0, 0);
    BOOL m_iconOverlay = FALSE;

private:
    struct SelectedFace {
        CDC dc;
        CBitmap bitmap;
        CBitmap* old = nullptr;
        SIZE size{};
    };
    SelectedFace m_selected[2];
};

} // namespace shelf
