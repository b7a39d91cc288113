#include "album/tools/ParamGridCtrl.h"

#include "platform/afx/CommDlg.h"
#include "platform/afx/DC.h"
#include "platform/afx/DataExchange.h"
#include "platform/afx/MsgMap.h"
#include "platform/afx/PaintDC.h"
#include "platform/afx/ResourceTables.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace shelf {
namespace {

constexpr int kTextIndent = 5;
constexpr int kDropDownExtra = 150;
constexpr int kButtonWidth = 20;
constexpr COLORREF kGridColour = RGB(220, 220, 220);
constexpr COLORREF kSelectedLabel = 0x800000;
constexpr COLORREF kDisabledText = RGB(100, 100, 100);

const qlafx::DialogTemplate kTemplates[] = {
    {CParamSliderDlg::kTemplate, DS_MODALFRAME | DS_SETFONT | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 0, 0,
     220, 62, "", "Tahoma", 8,
     {
         {"msctls_trackbar32", "", CParamSliderDlg::kSlider, 7, 7, 206, 18, WS_VISIBLE | WS_TABSTOP | TBS_AUTOTICKS},
         {"Static", "", CParamSliderDlg::kMinLabel, 7, 27, 60, 8, WS_VISIBLE | SS_LEFT},
         {"Static", "", CParamSliderDlg::kMaxLabel, 153, 27, 60, 8, WS_VISIBLE | SS_RIGHT},
         {"Button", "OK", IDOK, 109, 41, 50, 14, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON},
         {"Button", "Cancel", IDCANCEL, 163, 41, 50, 14, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON},
     }},
};
const qlafx::ResourceTable kTable{.dialogs = kTemplates};
qlafx::ResourceRegistrar kRegister(kTable);

CFont* ParentFont(CWnd* wnd)
{
    CWnd* parent = wnd->GetParent();
    return parent ? parent->GetFont() : nullptr;
}

} // namespace

void CParamSliderDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Slider(pDX, kSlider, m_value);
}

BOOL CParamSliderDlg::OnInitDialog()
{
    SetWindowText(m_caption);
    const int step = TickStep(m_minimum, m_maximum);
    SendDlgItemMessage(kSlider, TBM_SETRANGEMIN, FALSE, m_minimum);
    SendDlgItemMessage(kSlider, TBM_SETRANGEMAX, FALSE, m_maximum);
    SendDlgItemMessage(kSlider, TBM_SETTICFREQ, static_cast<WPARAM>(step));
    SendDlgItemMessage(kSlider, TBM_SETPAGESIZE, 0, step);
    char text[32];
    std::snprintf(text, sizeof text, "%d", m_minimum);
    SetDlgItemText(kMinLabel, text);
    std::snprintf(text, sizeof text, "%d", m_maximum);
    SetDlgItemText(kMaxLabel, text);
    // The range first: the slider would clamp the value to its default range.
    CDialog::OnInitDialog();
    return TRUE;
}

BEGIN_MESSAGE_MAP(CParamGridCtrl, CWnd)
    ON_WM_CREATE()
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_SIZE()
    ON_WM_LBUTTONDOWN()
    ON_WM_VSCROLL()
    ON_BN_CLICKED(CParamGridCtrl::kButtonId, OnMoreClicked)
END_MESSAGE_MAP()

int CParamGridCtrl::OnCreate(LPCREATESTRUCT cs)
{
    if (CWnd::OnCreate(cs) == -1)
        return -1;
    const CRect none(0, 0, 10, 10);
    if (!m_scrollBar.Create(WS_CHILD | SBS_VERT, none, this, kScrollId) ||
        !m_edit.Create(WS_CHILD | WS_BORDER | ES_AUTOHSCROLL, none, this, kEditId) ||
        !m_combo.Create(WS_CHILD | CBS_DROPDOWNLIST | WS_VSCROLL, none, this, kComboId) ||
        !m_button.Create("...", WS_CHILD | BS_CENTER | BS_PUSHLIKE | BS_NOTIFY, none, this, kButtonId))
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

void CParamGridCtrl::SetParamList(std::vector<EffectParam*> list)
{
    Commit();
    CloseEditor();
    m_params = std::move(list);
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
    dc.FillSolidRect(&client, kGridColour);
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
    EffectParam* param = m_params[static_cast<size_t>(row)];
    const CRect rowRect = RowRect(row);
    CRect label = rowRect, value = rowRect;
    label.right = std::min(rowRect.right, rowRect.left + m_labelWidth);
    value.left = label.right;
    if (param->control == EffectParam::kHeading) {
        CRect bar = rowRect;
        bar.DeflateRect(1, 1, 2, 1);
        dc->FillSolidRect(&bar, RGB(0, 0, 0));
        dc->SetTextColor(RGB(255, 255, 255));
        bar.left += kTextIndent;
        dc->DrawText(param->name.c_str(), &bar, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        return;
    }
    dc->Draw3dRect(&label, kGridColour, RGB(255, 255, 255));
    dc->Draw3dRect(&value, kGridColour, RGB(255, 255, 255));
    const bool enabled = param->Applies();
    const bool selected = row == m_selected && IsWindowEnabled();
    if (selected) {
        CRect fill = label;
        fill.DeflateRect(1, 1);
        dc->FillSolidRect(&fill, kSelectedLabel);
    }
    const COLORREF ink = enabled ? RGB(0, 0, 0) : kDisabledText;
    dc->SetTextColor(selected && enabled ? RGB(255, 255, 255) : ink);
    label.left += kTextIndent;
    dc->DrawText(param->name.c_str(), &label, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    dc->SetTextColor(ink);
    value.left += kTextIndent;
    const std::string text = param->Text();
    dc->DrawText(text.c_str(), &value, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
}

void CParamGridCtrl::OnSize(UINT type, int cx, int cy)
{
    CWnd::OnSize(type, cx, cy);
    m_visibleRows = cy / kRowHeight;
    m_top = 0;
    UpdateScrollBar();
    Commit();
    CloseEditor();
}

void CParamGridCtrl::OnLButtonDown(UINT flags, CPoint point)
{
    CWnd::OnLButtonDown(flags, point);
    SelectRow(point.y / kRowHeight + m_top);
}

void CParamGridCtrl::SelectRow(int row)
{
    if (row < 0 || row >= Count() || !IsWindowEnabled() || row == m_selected)
        return;
    EffectParam* param = m_params[static_cast<size_t>(row)];
    if (param->control == EffectParam::kHeading)
        return;
    Commit();
    m_selected = row;
    if (param->Applies())
        OpenEditor(row);
    else
        CloseEditor();
    Invalidate(FALSE);
}

void CParamGridCtrl::OpenEditor(int row)
{
    CloseEditor();
    EffectParam* param = m_params[static_cast<size_t>(row)];
    const std::string value = param->Text();
    switch (param->kind) {
    case 0:
    case 1:
        m_edit.SetWindowText(value.c_str());
        m_editor = &m_edit;
        break;
    case 2:
        m_combo.ResetContent();
        for (const std::string& item : static_cast<EnumParam*>(param)->Items())
            m_combo.AddString(item.c_str());
        m_combo.SetCurSel(static_cast<EnumParam*>(param)->index);
        m_editor = &m_combo;
        break;
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
    CRect cell = RowRect(m_selected);
    cell.left = std::min(cell.right, cell.left + m_labelWidth);
    cell.DeflateRect(1, 1);
    if (m_editor == &m_button)
        cell.left = std::max(cell.left, cell.right - kButtonWidth);
    else if (m_editor == &m_combo)
        cell.bottom += kDropDownExtra;
    m_editor->MoveWindow(&cell);
}

void CParamGridCtrl::Commit()
{
    if (m_selected < 0 || !m_editor || m_selected >= Count())
        return;
    EffectParam* param = m_params[static_cast<size_t>(m_selected)];
    if (m_editor == &m_edit) {
        CString text;
        m_edit.GetWindowText(text);
        if (param->kind == 0) {
            // A typed number out of range is kept to its bounds.
            auto* integer = static_cast<IntParam*>(param);
            integer->number = std::clamp(std::atoi(text.GetString()), integer->minimum, integer->maximum);
        } else {
            param->SetValue(text.GetString());
        }
    } else if (m_editor == &m_combo && param->kind == 2) {
        const int index = m_combo.GetCurSel();
        if (index >= 0)
            static_cast<EnumParam*>(param)->index = index;
    }
}

void CParamGridCtrl::CloseEditor()
{
    if (m_editor)
        m_editor->ShowWindow(SW_HIDE);
    m_editor = nullptr;
}

void CParamGridCtrl::OnMoreClicked()
{
    if (m_selected < 0 || m_selected >= Count())
        return;
    EffectParam* param = m_params[static_cast<size_t>(m_selected)];
    if (param->kind == 4) {
        auto* integer = static_cast<IntParam*>(param);
        CParamSliderDlg dlg(this);
        dlg.m_caption = param->name.c_str();
        dlg.m_minimum = integer->minimum;
        dlg.m_maximum = integer->maximum;
        dlg.m_value = integer->number;
        if (dlg.DoModal() == IDOK)
            integer->number = std::clamp(dlg.m_value, integer->minimum, integer->maximum);
    } else if (param->kind == 5) {
        auto* path = static_cast<StringParam*>(param);
        CFileDialog dlg(TRUE, nullptr, path->text.c_str(), OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, nullptr, this);
        if (dlg.DoModal() == IDOK)
            path->text = dlg.GetPathName().GetString();
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

} // namespace shelf
