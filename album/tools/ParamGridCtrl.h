// The album's parameter grid: label and value columns over the batch
// parameter records, one value edited in place at a time (a text box, a
// drop-down list, or a "..." button that opens a slider or a file dialog).
#pragma once

#include "album/tools/BatchParam.h"
#include "platform/afx/CommCtrl.h"
#include "platform/afx/Controls.h"
#include "platform/afx/Dialog.h"
#include "platform/afx/Wnd.h"

#include <string>
#include <vector>

namespace shelf {

class CParamSliderDlg : public CDialog {
public:
    static constexpr UINT kTemplate = 155;
    static constexpr int kSlider = 1019, kMinLabel = 1020, kMaxLabel = 1021;

    explicit CParamSliderDlg(CWnd* parent = nullptr) : CDialog(kTemplate, parent) {}
    // Tick frequency and page: a twentieth of the range, at least 1.
    static int TickStep(int minimum, int maximum) { return std::max(1, (maximum - minimum) / 20); }

    CString m_caption;
    int m_minimum = 0;
    int m_maximum = 100;
    int m_value = 0;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
};

class CParamGridCtrl : public CWnd {
public:
    static constexpr int kRowHeight = 20;
    static constexpr int kScrollWidth = 21;
    static constexpr int kScrollId = 11, kEditId = 1007, kComboId = 13, kButtonId = 14;

    // Not owned; the dialog keeps the records while the grid shows them.
    void SetParamList(std::vector<EffectParam*> list);
    // Writes the open editor's value into the selected record.
    void Commit();
    void SetLabelWidth(int width) { m_labelWidth = width; }
    // Opens the in-place editor of a row, as a click on it does.
    void SelectRow(int row);

    CScrollBar m_scrollBar;
    CEdit m_edit;
    CComboBox m_combo;
    CButton m_button;
    std::vector<EffectParam*> m_params;
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
    int Count() const { return static_cast<int>(m_params.size()); }
    bool ScrollBarShown() const { return Count() > m_visibleRows; }
    CRect RowRect(int row) const;
    void UpdateScrollBar();
    void PaintRow(CDC* dc, int row);
    void OpenEditor(int row);
    void PlaceEditor();
    void CloseEditor();
};

} // namespace shelf
