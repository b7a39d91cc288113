#include "editor/shell/HistoryBar.h"

#include "editor/shell/HistogramPanel.h"
#include "editor/shell/PhotoDocument.h"
#include "editor/ui/AppSettings.h"
#include "editor/ui/SkinDrawing.h"
#include "platform/afx/MessageBox.h"
#include "platform/afx/PaintDC.h"
#include "platform/afx/WinApp.h"

#include <algorithm>
#include <cstdio>

IMPLEMENT_DYNAMIC(CHistoryBar, CWnd)

BEGIN_MESSAGE_MAP(CHistoryBar, CWnd)
    ON_WM_SIZE()
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_VSCROLL()
    ON_WM_LBUTTONDOWN()
    ON_COMMAND(CHistoryBar::kUndoId, OnUndo)
    ON_COMMAND(CHistoryBar::kRedoId, OnRedo)
    ON_MESSAGE(WM_HISTORY_REFRESH, OnHistoryRefresh)
END_MESSAGE_MAP()

namespace {

constexpr COLORREF kRowFrame = RGB(100, 100, 100);
constexpr COLORREF kUndoneFill = RGB(240, 240, 240);
constexpr COLORREF kCurrentFill = RGB(64, 64, 64);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr UINT kMainRedraw = RDW_UPDATENOW | RDW_ERASE | RDW_INVALIDATE;
// The expander box's column, from the list's left edge.
constexpr int kExpanderFrom = 31;
constexpr int kExpanderTo = 39;
// Output and clipping precision of the bar's font (stroke precision).
constexpr BYTE kOutStrokePrecis = 3;
constexpr BYTE kClipStrokePrecis = 2;

// Right margins of the row text, by row kind.
int TextMargin(int kind)
{
    switch (kind) {
    case kHistoryCollapsed: return 32;
    case kHistoryGroupStep: return 22;
    default: return 8;
    }
}

void Line(CDC* dc, int x1, int y1, int x2, int y2)
{
    dc->MoveTo(x1, y1);
    dc->LineTo(x2, y2);
}

}  // namespace

CHistoryBar::~CHistoryBar()
{
    if (thePhotoDocument.m_history.GetOwner() == m_hWnd && m_hWnd)
        thePhotoDocument.m_history.SetOwner(nullptr);
    for (CImgButton* b : {&m_undoButton, &m_redoButton})
        if (b->m_hWnd)
            b->DestroyWindow();
    if (m_scrollBar.m_hWnd)
        m_scrollBar.DestroyWindow();
    if (m_hWnd)
        DestroyWindow();
}

BOOL CHistoryBar::Create(LPCSTR className, LPCSTR windowName, DWORD style, const RECT& rect, CWnd* parent, UINT id,
                         CCreateContext* context)
{
    if (!CWnd::Create(className, windowName, style, rect, parent, id, context))
        return FALSE;
    if (!m_scrollBar.Create(SBS_VERT | WS_CHILD | WS_VISIBLE, RECT{0, 0, 20, 100}, this, kScrollBarId))
        return FALSE;
    if (!m_font.CreateFont(12, 0, 0, 0, 400, FALSE, FALSE, FALSE, 0, kOutStrokePrecis, kClipStrokePrecis,
                           DRAFT_QUALITY, VARIABLE_PITCH, "Tahoma"))
        return FALSE;
    const std::string skin = std::string(theAppSettings.m_programFolder) + "skin/";
    const RECT button{0, 0, 20, 20};
    if (!m_undoButton.Create("", button, this, kUndoId, (skin + "undo.bmp").c_str(), "Undo", 0) ||
        !m_redoButton.Create("", button, this, kRedoId, (skin + "redo.bmp").c_str(), "Redo", 0))
        return FALSE;
    m_undoButton.SetBkColor(RGB(128, 128, 128));
    m_redoButton.SetBkColor(RGB(128, 128, 128));

    // The history reaches its owner window through these.
    HistoryWindowCalls calls;
    calls.sendMessage = &::SendMessage;
    calls.redrawWindow = &::RedrawWindow;
    calls.messageBox = &::MessageBox;
    UndoHistory::SetWindowCalls(calls);
    thePhotoDocument.m_history.SetOwner(m_hWnd);
    m_ready = 1;
    RECT client;
    GetClientRect(&client);
    OnSize(SIZE_RESTORED, client.right, client.bottom);
    return TRUE;
}

void CHistoryBar::OnSize(UINT, int cx, int cy)
{
    if (!m_ready)
        return;
    m_list = RECT{10, 16, cx - 24, cy - 5};
    m_scrollBar.MoveWindow(cx - 25, 16, 20, std::max(cy - 5 - 16, 0));
    m_rowsPerPage = (cy - 5 + 3) / kRowHeight;
    m_undoButton.MoveWindow(12, 18, 20, 20);
    m_redoButton.MoveWindow(12, 38, 20, 20);
}

void CHistoryBar::Refresh()
{
    thePhotoDocument.m_history.BuildList(m_rows, &m_current);
    const int count = static_cast<int>(m_rows.size());
    m_top = std::max(std::min(m_top, count - 1), 0);
    if (count < m_rowsPerPage) {
        m_top = 0;
        m_scrollBar.ShowWindow(SW_HIDE);
    } else {
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
        info.nMin = 0;
        info.nMax = count;
        info.nPage = static_cast<UINT>(m_rowsPerPage);
        info.nPos = m_top;
        m_scrollBar.SetScrollInfo(&info, TRUE);
        m_scrollBar.ShowWindow(SW_SHOW);
    }
    if (count > 0) {
        m_undoButton.EnableWindow(thePhotoDocument.m_history.CanUndo());
        m_redoButton.EnableWindow(thePhotoDocument.m_history.CanRedo());
    } else {
        m_undoButton.EnableWindow(FALSE);
        m_redoButton.EnableWindow(FALSE);
    }
}

std::string CHistoryBar::Shorten(CDC* dc, const char* text, int maxWidth)
{
    std::string shown = text;
    if (dc->GetTextExtent(shown.c_str(), static_cast<int>(shown.size())).cx < maxWidth)
        return shown;
    std::string base = shown;
    while (!base.empty()) {
        base.pop_back();
        // Never cut a multi-byte character in two.
        while (!base.empty() && (static_cast<unsigned char>(base.back()) & 0xC0) == 0x80)
            base.pop_back();
        if (!base.empty() && (static_cast<unsigned char>(base.back()) & 0xC0) == 0xC0)
            base.pop_back();
        shown = base + "...";
        if (dc->GetTextExtent(shown.c_str(), static_cast<int>(shown.size())).cx < maxWidth)
            return shown;
    }
    return "...";
}

std::string CHistoryBar::RowText(CDC* dc, const HistoryListEntry& row) const
{
    const int width = m_list.right - (m_list.left + 40);
    std::string text = Shorten(dc, row.step->name, width - TextMargin(row.kind));
    if (row.kind == kHistoryCollapsed) {
        char counted[300];
        std::snprintf(counted, sizeof counted, "%s (%d)", text.c_str(), static_cast<int>(row.group->steps.size()));
        text = counted;
    }
    return text;
}

void CHistoryBar::DrawRow(CDC* dc, const HistoryListEntry& row, int x, int y)
{
    const RECT box{x, y, m_list.right, y + kRowHeight};
    const int number = row.step->number;
    COLORREF ink = kWhite;
    if (number > m_current) {
        dc->FillSolidRect(&box, kUndoneFill);
        ink = kBlack;
    } else if (number == m_current) {
        dc->FillSolidRect(&box, kCurrentFill);
    }
    CBrush frame;
    frame.CreateSolidBrush(kRowFrame);
    dc->FrameRect(&box, &frame);

    if (row.kind == kHistoryGroupHead || row.kind == kHistoryCollapsed) {
        const RECT expander{x - 10, y + 5, x - 1, y + 14};
        dc->FillSolidRect(&expander, kWhite);
        CBrush edge;
        edge.CreateSolidBrush(RGB(64, 64, 64));
        dc->FrameRect(&expander, &edge);
        CPen sign;
        sign.CreatePen(PS_SOLID, 1, kBlack);
        CPen* old = dc->SelectObject(&sign);
        Line(dc, x - 8, y + 9, x - 3, y + 9);
        if (row.kind == kHistoryCollapsed)
            Line(dc, x - 6, y + 7, x - 6, y + 12);
        dc->SelectObject(old);
    }

    const std::string text = RowText(dc, row);
    dc->SetTextColor(ink);
    dc->TextOut(row.kind == kHistoryGroupStep ? x + 20 : x + 5, y + 2, text.c_str(), static_cast<int>(text.size()));
}

void CHistoryBar::OnPaint()
{
    CPaintDC dc(this);
    if (!m_ready)
        return;
    Refresh();
    const RECT area{m_list.left - 1, m_list.top - 1, m_list.right + 21, m_list.bottom + 1};
    FillGradientRect(&dc, area, POINT{m_list.right, m_list.bottom}, POINT{m_list.left, m_list.top + 100}, TRUE,
                     RGB(160, 160, 160), RGB(128, 128, 128), nullptr, 0);
    dc.Draw3dRect(&area, RGB(64, 64, 64), RGB(240, 240, 240));

    const int saved = dc.SaveDC();
    dc.IntersectClipRect(&m_list);
    CFont* oldFont = dc.SelectObject(&m_font);
    dc.SetBkMode(TRANSPARENT);
    const int count = static_cast<int>(m_rows.size());
    for (int k = 0; k < m_rowsPerPage && m_top + k < count; ++k)
        DrawRow(&dc, m_rows[static_cast<size_t>(m_top + k)], m_list.left + 40, m_list.top + kRowHeight * k);
    dc.SelectObject(oldFont);
    dc.RestoreDC(saved);
}

BOOL CHistoryBar::OnEraseBkgnd(CDC* dc)
{
    return FillSkinBackground(this, dc);
}

void CHistoryBar::OnVScroll(UINT code, UINT pos, CScrollBar* bar)
{
    switch (code) {
    case SB_LINEUP: --m_top; break;
    case SB_LINEDOWN: ++m_top; break;
    case SB_PAGEUP: m_top -= m_rowsPerPage; break;
    case SB_PAGEDOWN: m_top += m_rowsPerPage; break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: m_top = static_cast<int>(pos); break;
    default: break;
    }
    const int count = static_cast<int>(m_rows.size());
    m_top = std::max(std::min(m_top, count - m_rowsPerPage + 1), 0);
    Invalidate();
    CWnd::OnVScroll(code, pos, bar);
}

void CHistoryBar::OnLButtonDown(UINT flags, CPoint point)
{
    if (!PtInRect(&m_list, point)) {
        CWnd::OnLButtonDown(flags, point);
        return;
    }
    const int row = m_top + (point.y - m_list.top) / kRowHeight;
    if (row < 0 || row >= static_cast<int>(m_rows.size()))
        return;
    BeginWaitCursor();
    const HistoryListEntry& entry = m_rows[static_cast<size_t>(row)];
    const int column = point.x - m_list.left;
    if (column >= kExpanderFrom && column <= kExpanderTo &&
        (entry.kind == kHistoryGroupHead || entry.kind == kHistoryCollapsed)) {
        entry.group->expanded = entry.kind == kHistoryCollapsed ? 1 : 0;
        Invalidate();
    } else if (thePhotoDocument.m_history.GoToStep(&thePhotoDocument.m_image, entry.step->number)) {
        ShowNewStep();
    }
    EndWaitCursor();
}

void CHistoryBar::OnUndo()
{
    if (thePhotoDocument.m_history.Undo(&thePhotoDocument.m_image))
        ShowNewStep();
}

void CHistoryBar::OnRedo()
{
    if (thePhotoDocument.m_history.Redo(&thePhotoDocument.m_image))
        ShowNewStep();
}

void CHistoryBar::ShowNewStep()
{
    if (CWnd* main = AfxGetMainWnd(); main && main->m_hWnd)
        main->RedrawWindow(nullptr, nullptr, kMainRedraw);
    // The main window may clip its children; the current row moved.
    Invalidate();
}

LRESULT CHistoryBar::OnHistoryRefresh(WPARAM, LPARAM)
{
    return 0;
}
