// The flat owner-drawn push button of the editor's dialogs: a face from the
// skin button picture, a border while the mouse is over it, optional icons
// and a hand cursor.
#pragma once

#include "platform/afx/Controls.h"

class CButtonST : public CButton {
    DECLARE_DYNAMIC(CButtonST)
public:
    CButtonST();
    ~CButtonST() override;

    // Icons from resources at their own size; normalIconId 0 uses the hover icon.
    void SetIcons(UINT hoverIconId, UINT normalIconId, BYTE width, BYTE height);
    // cursorId -1 removes the hover cursor.
    BOOL SetHoverCursor(int cursorId);
    void SetFlatStyle(BOOL flat);
    // Back to the system colours; resetting a background also stops skinning.
    void ResetNormalBkColor(BOOL repaint);
    void ResetHoverBkColor(BOOL repaint);
    void ResetNormalTextColor(BOOL repaint);
    void ResetHoverTextColor(BOOL repaint);
    COLORREF GetNormalBkColor() const { return m_normalBk; }
    COLORREF GetHoverBkColor() const { return m_hoverBk; }
    COLORREF GetNormalTextColor() const { return m_normalText; }
    COLORREF GetHoverTextColor() const { return m_hoverText; }
    // Non-NULL paints the face from the skin button picture.
    void SetSkinBackground(const void* skin);

    void PreSubclassWindow() override;
    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;

    int m_iconAlign = 0;  // 0 icon left of the caption, 1 above it
    int m_showCaption = 1;
    int m_border = 1;
    int m_flat = 1;
    int m_hover = 0;
    int m_flatFocus = 0;
    HCURSOR m_hoverCursor = nullptr;
    HICON m_hoverIcon = nullptr;
    HICON m_normalIcon = nullptr;
    BYTE m_iconHeight = 0;
    BYTE m_iconWidth = 0;
    COLORREF m_normalBk;
    COLORREF m_normalText;
    COLORREF m_hoverBk;
    COLORREF m_hoverText;
    const void* m_skin;

protected:
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnKillFocus(CWnd* pNewWnd);
    afx_msg void OnCaptureChanged(CWnd* pWnd);
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    DECLARE_MESSAGE_MAP()

private:
    void LeaveHover();
    void DrawFace(CDC* dc, RECT r, UINT state, bool pressed);
    void DrawBorder(CDC* dc, RECT r, bool pressed);
    void DrawIconAndCaption(CDC* dc, RECT r, UINT state, bool pressed);
};
