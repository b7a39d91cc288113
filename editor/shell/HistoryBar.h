// The "History" page of the main view: the undo steps of the open photo,
// grouped by action, with Undo and Redo buttons. A click on a row goes to
// its step; a click on a group's box expands or collapses it.
#pragma once

#include "editor/shell/UndoHistory.h"
#include "editor/ui/ImgButton.h"
#include "platform/afx/Afx.h"
#include "platform/afx/CommCtrl.h"

#include <string>
#include <vector>

class CHistoryBar : public CWnd {
    DECLARE_DYNAMIC(CHistoryBar)
public:
    static constexpr int kRowHeight = 20;
    static constexpr UINT kUndoId = 17;
    static constexpr UINT kRedoId = 18;
    static constexpr UINT kScrollBarId = 1;

    CHistoryBar() = default;
    ~CHistoryBar() override;

    // The window, its scroll bar, font and buttons; registers the bar as the
    // history's owner. FALSE when any of them fails.
    BOOL Create(LPCSTR className, LPCSTR windowName, DWORD style, const RECT& rect, CWnd* parent, UINT id,
                CCreateContext* context = nullptr) override;

    // Reads the rows and the current step, places the scroll bar and enables
    // the buttons.
    void Refresh();
    // text shortened with "..." until it is narrower than maxWidth in dc's font.
    static std::string Shorten(CDC* dc, const char* text, int maxWidth);
    // What a row says: its name shortened for the row, with the step count
    // of a collapsed group.
    std::string RowText(CDC* dc, const HistoryListEntry& row) const;

    CScrollBar m_scrollBar;
    int m_ready = 0;
    RECT m_list{};
    int m_top = 0;
    std::vector<HistoryListEntry> m_rows;
    int m_current = -1;
    int m_rowsPerPage = 0;
    CFont m_font;
    CImgButton m_undoButton;
    CImgButton m_redoButton;

protected:
    afx_msg void OnSize(UINT type, int cx, int cy);
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* dc);
    afx_msg void OnVScroll(UINT code, UINT pos, CScrollBar* bar);
    afx_msg void OnLButtonDown(UINT flags, CPoint point);
    afx_msg void OnUndo();
    afx_msg void OnRedo();
    afx_msg LRESULT OnHistoryRefresh(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    void DrawRow(CDC* dc, const HistoryListEntry& row, int x, int y);
    // The image changed: the main window and this bar are drawn again.
    void ShowNewStep();
};
