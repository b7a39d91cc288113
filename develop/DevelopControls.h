// The wizard's self-drawn controls on the dark background: picture buttons,
// caption lists (also links), check boxes and options, sliders with a value
// readout and percent bars. Each tells its parent by WM_DEVELOP_NOTIFY.
#pragma once

#include "develop/DevelopSkin.h"
#include "editor/ui/LinkListCtrl.h"
#include "platform/afx/Wnd.h"

#include <functional>
#include <string>
#include <vector>

namespace develop {

class CImgButton : public CWnd {
    DECLARE_DYNAMIC(CImgButton)
public:
    BOOL Create(UINT id, const RECT& rect, CWnd* parent, LPCSTR caption);
    void SetIcon(UINT iconId);

    bool m_pressed = false;
    bool m_hot = false;

protected:
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg LRESULT OnMouseLeave(WPARAM, LPARAM);
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    DECLARE_MESSAGE_MAP()

private:
    void Leave();

    UINT m_id = 0;
    UINT m_icon = 0;
};

// The editor's line records with this program's bands and click handling.
class CLinkListCtrl : public ::CLinkListCtrl {
public:
    // Style 0 and all fills on the dark background.
    void AddItem(const char* text, const char* face, int height, COLORREF color, const char* command);
    void SetItemStyle(int index, int style, COLORREF colour1, COLORREF colour2, COLORREF colour3);
    void SetItemText(int index, const char* text);
    int GetCount() const { return static_cast<int>(m_entries.size()); }

protected:
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    DECLARE_MESSAGE_MAP()

private:
    std::vector<COLORREF> m_frames; // the third colour of each line
};

// Splits text into lines no wider than width: a word ends after a blank or
// a comma, and a character of several UTF-8 bytes is a word of its own.
std::vector<std::string> WrapCaption(const std::string& text, int width, const std::function<int(const std::string&)>& measure);

class DevelopCheckBox : public CWnd {
public:
    // kind 1 a check box, 0 an option button.
    BOOL Create(UINT id, const RECT& rect, CWnd* parent, LPCSTR caption, int kind);
    void SetCheck(int state);
    int GetCheck() const { return m_checked; }
    // The check picture's row for the state.
    int SkinRow() const;

    COLORREF m_textColor = 0xC0C0C0;

protected:
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    DECLARE_MESSAGE_MAP()

private:
    UINT m_id = 0;
    int m_kind = 1;
    int m_checked = 0;
};

class DevelopSlider : public CWnd {
public:
    struct Geometry {
        CRect leftArrow, rightArrow, track, thumb;
        int thumbX = 0;
    };

    BOOL Create(UINT id, const RECT& rect, CWnd* parent, LPCSTR caption);
    void SetRange(int minimum, int maximum);
    void SetPos(int pos);
    int GetPos() const { return m_pos; }
    void SetScale(double scale) { m_scale = scale; }
    // Position times scale, "%.01f" when it has a fraction, else "%d".
    std::string ValueText() const;
    Geometry Layout(const CRect& client) const;

    bool m_dragging = false;

protected:
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    DECLARE_MESSAGE_MAP()

private:
    void Notify();
    int PosAt(int x) const;

    UINT m_id = 0;
    int m_min = 0;
    int m_max = 100;
    int m_pos = 0;
    double m_scale = 1.0;
};

class DevelopPercentBar : public CWnd {
public:
    BOOL Create(UINT id, const RECT& rect, CWnd* parent, LPCSTR caption);
    void SetPercent(int percent);
    int GetPercent() const { return m_percent; }

    // Posted by other threads: wParam the percent, or lParam a text that
    // lives as long as the program (the UI text table's).
    static constexpr UINT kSetPercent = WM_USER + 1;
    static constexpr UINT kSetText = WM_USER + 2;

protected:
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg LRESULT OnPostedPercent(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnPostedText(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    int m_percent = 0;
};

} // namespace develop
