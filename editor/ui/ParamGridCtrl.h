// A two-column grid (label, value) over the effect parameters that edits
// one value at a time in place: a text box, a drop-down list, or a "..."
// button that opens a slider or a file dialog. Every committed change is
// posted to the parent.
#pragma once

#include "editor/ui/EffectParam.h"
#include "platform/afx/CommCtrl.h"
#include "platform/afx/Controls.h"
#include "platform/afx/Wnd.h"

#include <string>
#include <vector>

class CDC;

// Posted to the parent after a committed change (wParam 0, lParam 0).
inline constexpr UINT WM_PARAMGRID_CHANGED = WM_USER + 259;

inline constexpr int IDC_PARAMGRID_SCROLL = 11;
inline constexpr int IDC_PARAMGRID_COMBO = 13;
inline constexpr int IDC_PARAMGRID_EDIT = 1071;
inline constexpr int IDC_PARAMGRID_BUTTON = 1326;

class CParamGridCtrl : public CWnd {
public:
    static constexpr int kRowHeight = 20;
    static constexpr int kScrollWidth = 21;

    CParamGridCtrl() = default;

    // Not owned; kept alive by the dialog while the grid shows it.
    void SetParamList(std::vector<EffectParam*>* list);

    // The row's rectangle: y from (row - top) * 20 + 1, 20 high.
    CRect RowRect(int row) const;
    CRect LabelRect(int row) const;
    CRect ValueRect(int row) const;
    // Whether the row is enabled now: recomputed from its controller.
    bool RowEnabled(EffectParam* param) const;
    // text as it fits into room pixels of dc's font ("..." at its end when cut).
    static std::string FitText(CDC* dc, const std::string& text, int room);

    CScrollBar m_scrollBar;
    CEdit m_edit;
    CComboBox m_combo;
    CButton m_button;
    COLORREF m_gridColor = RGB(220, 220, 220);
    std::vector<EffectParam*>* m_params = nullptr;
    int m_top = 0;
    int m_visibleRows = 0;
    int m_labelWidth = 150;
    int m_selected = -1;
    CWnd* m_editor = nullptr;

protected:
    afx_msg int OnCreate(LPCREATESTRUCT cs);
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* dc);
    afx_msg void OnSize(UINT type, int cx, int cy);
    afx_msg void OnLButtonDown(UINT flags, CPoint point);
    afx_msg void OnVScroll(UINT code, UINT pos, CScrollBar* bar);
    afx_msg void OnMoreClicked();
    DECLARE_MESSAGE_MAP()

private:
    int Count() const { return m_params ? static_cast<int>(m_params->size()) : 0; }
    bool ScrollBarShown() const { return Count() > m_visibleRows; }
    void UpdateScrollBar();
    void PaintRow(CDC* dc, int row);
    void OpenEditor(int row);
    void PlaceEditor();
    // Stores the open editor's value; false when it could not be taken.
    bool CommitEditor();
    void CloseEditor();
    void NotifyParent();
};
