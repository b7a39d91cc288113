#include "editor/ui/ParamGridCtrl.h"

#include "editor/ui/ParamSliderDlg.h"
#include "platform/afx/CommDlg.h"
#include "platform/afx/DC.h"
#include "platform/afx/MsgMap.h"
#include "platform/afx/PaintDC.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr int kTextIndent = 5;
constexpr int kIntegerChars = 7;
constexpr int kTextChars = 128;
constexpr int kIntegerRead = 100;
constexpr int kDropDownExtra = 150;
constexpr int kButtonWidth = 20;
constexpr COLORREF kSelectedLabel = 0x800000;
constexpr COLORREF kDisabledText = RGB(100, 100, 100);
constexpr char kEllipsis[] = "...";

CFont* ParentFont(CWnd* wnd)
{
    CWnd* parent = wnd->GetParent();
    return parent ? parent->GetFont() : nullptr;
}

}  // namespace

BEGIN_MESSAGE_MAP(CParamGridCtrl, CWnd)
    ON_WM_CREATE()
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_SIZE()
    ON_WM_LBUTTONDOWN()
    ON_WM_VSCROLL()
    ON_BN_CLICKED(IDC_PARAMGRID_BUTTON, OnMoreClicked)
END_MESSAGE_MAP()

std::string CParamGridCtrl::FitText(CDC* dc, const std::string& text, int room)
{
    const auto width = [dc](const std::string& s) { return dc->GetTextExtent(s.c_str(), static_cast<int>(s.size())).cx; };
    if (width(text) < room - kTextIndent)
        return text;
    const int fit = room - width(kEllipsis) - 10;
    std::string cut = text;
    while (!cut.empty() && width(cut) > fit)
        cut.pop_back();
    return cut + kEllipsis;
}

int CParamGridCtrl::OnCreate(LPCREATESTRUCT cs)
{
    if (CWnd::OnCreate(cs) == -1)
        return -1;
    const CRect none(0, 0, 10, 10);
    if (!m_scrollBar.Create(WS_CHILD | SBS_VERT, none, this, IDC_PARAMGRID_SCROLL) ||
        !m_edit.Create(WS_CHILD | WS_BORDER | ES_AUTOHSCROLL, none, this, IDC_PARAMGRID_EDIT) ||
        !m_combo.Create(WS_CHILD | CBS_DROPDOWNLIST | WS_VSCROLL, none, this, IDC_PARAMGRID_COMBO) ||
        !m_button.Create("...", WS_CHILD | BS_CENTER | BS_PUSHLIKE | BS_NOTIFY, none, this, IDC_PARAMGRID_BUTTON))
        return -1;
    return 0;
}

CRect CParamGridCtrl::RowRect(int row) const
{
    CRect client;
    GetClientRect(&client);
    const int right = client.Width() - 1 - (ScrollBarShown() ? kScrollWidth : 0);
    const int top = (row - m_top) * kRowHeight + 1;
    return CRect(1, top, right, top + kRowHeight);
}

CRect CParamGridCtrl::LabelRect(int row) const
{
    CRect r = RowRect(row);
    r.right = std::min(r.right, r.left + m_labelWidth);
    return r;
}

CRect CParamGridCtrl::ValueRect(int row) const
{
    CRect r = RowRect(row);
    r.left = std::min(r.right, r.left + m_labelWidth);
    return r;
}

bool CParamGridCtrl::RowEnabled(EffectParam* param) const
{
    const EffectParam* controller = param->controller;
    if (!controller)
        return true;
    const int index = controller->kind == 2 ? static_cast<const EnumParam*>(controller)->index : 0;
    return std::any_of(std::begin(param->enablingItems), std::end(param->enablingItems),
                       [index](BYTE item) { return item == index; });
}

void CParamGridCtrl::SetParamList(std::vector<EffectParam*>* list)
{
    CommitEditor();
    CloseEditor();
    m_params = list;
    m_top = 0;
    m_selected = -1;
    UpdateScrollBar();
    Invalidate(FALSE);
}

void CParamGridCtrl::UpdateScrollBar()
{
    if (!m_scrollBar.m_hWnd)
        return;
    CRect client;
    GetClientRect(&client);
    m_scrollBar.MoveWindow(client.Width() - kScrollWidth, 1, kScrollWidth - 1, client.Height() - 2);
    if (!ScrollBarShown()) {
        m_scrollBar.ShowWindow(SW_HIDE);
        return;
    }
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    si.nMin = 0;
    si.nMax = Count();
    si.nPage = static_cast<UINT>(m_visibleRows);
    si.nPos = m_top;
    m_scrollBar.SetScrollInfo(&si);
    m_scrollBar.ShowWindow(SW_SHOW);
}

BOOL CParamGridCtrl::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

void CParamGridCtrl::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    dc.FillSolidRect(&client, m_gridColor);
    dc.Draw3dRect(&client, RGB(128, 128, 128), RGB(255, 255, 255));
    CFont* font = ParentFont(this);
    CFont* oldFont = font ? dc.SelectObject(font) : nullptr;
    dc.SetBkMode(TRANSPARENT);
    const int last = std::min(Count(), m_top + m_visibleRows);
    for (int row = m_top; row < last; ++row)
        PaintRow(&dc, row);
    if (oldFont)
        dc.SelectObject(oldFont);
}

void CParamGridCtrl::PaintRow(CDC* dc, int row)
{
    EffectParam* param = (*m_params)[static_cast<size_t>(row)];
    const CRect labelCell = LabelRect(row);
    const CRect valueCell = ValueRect(row);
    dc->Draw3dRect(&labelCell, m_gridColor, RGB(255, 255, 255));
    dc->Draw3dRect(&valueCell, m_gridColor, RGB(255, 255, 255));

    if (param->state == EffectParam::kCaption) {
        CRect bar = RowRect(row);
        bar.DeflateRect(1, 1, 2, 1);
        dc->FillSolidRect(&bar, RGB(0, 0, 0));
        dc->Draw3dRect(&bar, 0x808080, RGB(0, 0, 0));
        dc->SetTextColor(RGB(255, 255, 255));
        CRect text = bar;
        text.left += kTextIndent;
        dc->DrawText(param->label.c_str(), &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        return;
    }

    param->state = RowEnabled(param) ? EffectParam::kEnabled : EffectParam::kDisabled;
    const bool enabled = param->state == EffectParam::kEnabled;
    char value[256];
    param->Format(value);
    const std::string label = FitText(dc, param->label, labelCell.Width());
    const std::string shown = FitText(dc, value, valueCell.Width());

    const bool selected = row == m_selected && IsWindowEnabled();
    if (selected) {
        CRect fill = labelCell;
        fill.DeflateRect(1, 1);
        dc->FillSolidRect(&fill, kSelectedLabel);
    }
    const COLORREF textColour = !enabled ? kDisabledText : RGB(0, 0, 0);
    dc->SetTextColor(selected && enabled ? RGB(255, 255, 255) : textColour);
    CRect text = labelCell;
    text.left += kTextIndent;
    dc->DrawText(label.c_str(), &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    dc->SetTextColor(textColour);
    text = valueCell;
    text.left += kTextIndent;
    dc->DrawText(shown.c_str(), &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

void CParamGridCtrl::OnSize(UINT type, int cx, int cy)
{
    CWnd::OnSize(type, cx, cy);
    m_visibleRows = cy / kRowHeight;
    m_top = 0;
    UpdateScrollBar();
    CommitEditor();
    CloseEditor();
}

void CParamGridCtrl::OnLButtonDown(UINT flags, CPoint point)
{
    CWnd::OnLButtonDown(flags, point);
    const int row = point.y / kRowHeight + m_top;
    if (row < 0 || row >= Count() || !IsWindowEnabled() || row == m_selected)
        return;
    EffectParam* param = (*m_params)[static_cast<size_t>(row)];
    if (param->state == EffectParam::kCaption)
        return;
    if (!CommitEditor())
        return;
    m_selected = row;
    if (RowEnabled(param))
        OpenEditor(row);
    else
        CloseEditor();
    Invalidate(FALSE);
}

void CParamGridCtrl::OpenEditor(int row)
{
    CloseEditor();
    EffectParam* param = (*m_params)[static_cast<size_t>(row)];
    char value[256];
    param->Format(value);
    switch (param->kind) {
    case 0:
    case 1:
        m_edit.LimitText(param->kind == 0 ? kIntegerChars : kTextChars);
        m_edit.SetWindowText(value);
        m_editor = &m_edit;
        break;
    case 2: {
        m_combo.ResetContent();
        for (const std::string& item : SplitOptions(static_cast<EnumParam*>(param)->options))
            m_combo.AddString(item.c_str());
        m_combo.SetCurSel(m_combo.FindStringExact(-1, value));
        m_editor = &m_combo;
        break;
    }
    default:
        m_editor = &m_button;
        break;
    }
    if (CFont* font = ParentFont(this))
        m_editor->SetFont(font, FALSE);
    PlaceEditor();
    m_editor->ShowWindow(SW_SHOW);
    m_editor->SetFocus();
}

void CParamGridCtrl::PlaceEditor()
{
    if (!m_editor || m_selected < 0)
        return;
    CRect cell = ValueRect(m_selected);
    cell.DeflateRect(1, 1);
    if (m_editor == &m_button)
        cell.left = std::max(cell.left, cell.right - kButtonWidth);
    else if (m_editor == &m_combo)
        cell.bottom += kDropDownExtra;
    m_editor->MoveWindow(&cell);
}

bool CParamGridCtrl::CommitEditor()
{
    if (m_selected < 0 || !m_editor || m_selected >= Count())
        return true;
    EffectParam* param = (*m_params)[static_cast<size_t>(m_selected)];
    bool changed = false;
    switch (param->kind) {
    case 0: {
        // The integer is stored as it is typed; nothing else of the
        // parameter is called.
        char text[kIntegerRead + 1] = {};
        m_edit.GetWindowText(text, kIntegerRead);
        auto* integer = static_cast<IntParam*>(param);
        const int typed = std::atoi(text);
        if (typed != integer->number) {
            integer->number = typed;
            changed = true;
        }
        break;
    }
    case 1: {
        CString text;
        m_edit.GetWindowText(text);
        auto* string = static_cast<StringParam*>(param);
        if (string->text != static_cast<const char*>(text)) {
            string->text = static_cast<const char*>(text);
            changed = true;
        }
        break;
    }
    case 2: {
        auto* choice = static_cast<EnumParam*>(param);
        const int index = m_combo.GetCurSel();
        if (index != choice->index) {
            choice->index = index;
            changed = true;
        }
        break;
    }
    default:
        break;
    }
    if (changed)
        NotifyParent();
    return true;
}

void CParamGridCtrl::CloseEditor()
{
    if (m_editor)
        m_editor->ShowWindow(SW_HIDE);
    m_editor = nullptr;
}

void CParamGridCtrl::NotifyParent()
{
    if (CWnd* parent = GetParent())
        parent->PostMessage(WM_PARAMGRID_CHANGED, 0, 0);
}

void CParamGridCtrl::OnMoreClicked()
{
    if (m_selected < 0 || m_selected >= Count())
        return;
    EffectParam* param = (*m_params)[static_cast<size_t>(m_selected)];
    if (param->kind == 4) {
        auto* integer = static_cast<IntParam*>(param);
        CParamSliderDlg dlg(this);
        dlg.m_caption = param->label.c_str();
        dlg.m_minimum = integer->minimum;
        dlg.m_maximum = integer->maximum;
        dlg.m_value = integer->number;
        if (dlg.DoModal() == IDOK && dlg.m_value != integer->number) {
            integer->number = dlg.m_value;
            NotifyParent();
        }
    } else if (param->kind == 5) {
        auto* path = static_cast<StringParam*>(param);
        CFileDialog dlg(path->openDialog ? TRUE : FALSE, nullptr, path->text.c_str(),
                        OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, path->filter.empty() ? nullptr : path->filter.c_str(),
                        this);
        if (dlg.DoModal() == IDOK)
            path->text = static_cast<const char*>(dlg.GetPathName());
    }
    Invalidate(FALSE);
}

void CParamGridCtrl::OnVScroll(UINT code, UINT pos, CScrollBar*)
{
    int top = m_top;
    switch (code) {
    case SB_LINEUP: --top; break;
    case SB_LINEDOWN: ++top; break;
    case SB_PAGEUP: top -= m_visibleRows; break;
    case SB_PAGEDOWN: top += m_visibleRows; break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: top = static_cast<int>(pos); break;
    default: return;
    }
    m_top = std::max(0, std::min(top, Count() - m_visibleRows));
    UpdateScrollBar();
    Invalidate(FALSE);
    PlaceEditor();
}
