#include "editor/ui/SelectColorDlg.h"

#include "platform/afx/CommCtrl.h"
#include "platform/afx/CommDlg.h"
#include "platform/afx/DC.h"
#include "platform/afx/DataExchange.h"
#include "platform/afx/MsgMap.h"
#include "platform/afx/ResourceTables.h"

#include <algorithm>

namespace {

constexpr UINT_PTR kRepaintTimer = 123;
constexpr int kSquare = 5;
constexpr UINT IDC_STATIC = 0xFFFF;

constexpr DWORD kEdit = WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL;
constexpr DWORD kSpin = WS_VISIBLE | UDS_ALIGNRIGHT | UDS_AUTOBUDDY | UDS_ARROWKEYS;

const qlafx::DialogTemplate kTemplates[] = {
    {IDD_SELECT_COLOR, DS_MODALFRAME | DS_SETFONT | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 0, 0, 186, 110,
     "Select Color", "Tahoma", 8,
     {
         {"Static", "R", IDC_STATIC, 7, 9, 28, 8, WS_VISIBLE | SS_LEFT},
         {"Edit", "", IDC_SELCOLOR_RED, 38, 7, 40, 13, kEdit},
         {"msctls_updown32", "", IDC_SELCOLOR_SPIN_RED, 78, 7, 10, 13, kSpin},
         {"Static", "G", IDC_STATIC, 7, 27, 28, 8, WS_VISIBLE | SS_LEFT},
         {"Edit", "", IDC_SELCOLOR_GREEN, 38, 25, 40, 13, kEdit},
         {"msctls_updown32", "", IDC_SELCOLOR_SPIN_GREEN, 78, 25, 10, 13, kSpin},
         {"Static", "B", IDC_STATIC, 7, 45, 28, 8, WS_VISIBLE | SS_LEFT},
         {"Edit", "", IDC_SELCOLOR_BLUE, 38, 43, 40, 13, kEdit},
         {"msctls_updown32", "", IDC_SELCOLOR_SPIN_BLUE, 78, 43, 10, 13, kSpin},
         {"Static", "Opacity", IDC_STATIC, 7, 63, 28, 8, WS_VISIBLE | SS_LEFT},
         {"Edit", "", IDC_SELCOLOR_OPACITY, 38, 61, 40, 13, kEdit},
         {"msctls_updown32", "", IDC_SELCOLOR_SPIN_OPACITY, 78, 61, 10, 13, kSpin},
         {"Button", "&Pick a color ", IDC_SELCOLOR_PICK, 7, 83, 81, 14, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON},
         // Owner-drawn so that the swatch is painted into it by the dialog.
         {"Static", "", IDC_SELCOLOR_SWATCH, 98, 7, 81, 58, WS_VISIBLE | SS_OWNERDRAW},
         {"Button", "OK", IDOK, 98, 71, 81, 14, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON},
         {"Button", "Cancel", IDCANCEL, 98, 89, 81, 14, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON},
     }},
};
const qlafx::ResourceTable kTable{.dialogs = kTemplates};
qlafx::ResourceRegistrar kRegister(kTable);

}  // namespace

void DrawAlphaSwatch(CDC* dc, RECT rect, int r, int g, int b, int a)
{
    const auto overGrey = [a](int c) { return (a * (c - 128) + 32640) / 255; };
    const auto overWhite = [a](int c) { return a * c / 255 + 255 - a; };
    dc->FillSolidRect(&rect, RGB(overGrey(r), overGrey(g), overGrey(b)));
    const COLORREF white = RGB(overWhite(r), overWhite(g), overWhite(b));
    const int columns = (rect.right - rect.left) / kSquare;
    const int rows = (rect.bottom - rect.top) / kSquare;
    for (int row = 0; row < rows; ++row)
        for (int col = (row + 1) % 2; col < columns; col += 2)
            dc->FillSolidRect(rect.left + col * kSquare, rect.top + row * kSquare, kSquare, kSquare, white);
}

BEGIN_MESSAGE_MAP(CSelectColorDlg, CDialog)
    ON_NOTIFY_RANGE(UDN_DELTAPOS, IDC_SELCOLOR_SPIN_RED, IDC_SELCOLOR_SPIN_OPACITY, OnSpin)
    ON_CONTROL_RANGE(EN_CHANGE, IDC_SELCOLOR_RED, IDC_SELCOLOR_OPACITY, OnEditChange)
    ON_WM_TIMER()
    ON_BN_CLICKED(IDC_SELCOLOR_PICK, OnPickColor)
    ON_WM_DRAWITEM()
END_MESSAGE_MAP()

CSelectColorDlg::CSelectColorDlg(CWnd* parent) : CDialog(IDD_SELECT_COLOR, parent) {}

void CSelectColorDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_SELCOLOR_RED, m_red);
    DDV_MinMaxUInt(pDX, m_red, 0, 255);
    DDX_Text(pDX, IDC_SELCOLOR_GREEN, m_green);
    DDV_MinMaxUInt(pDX, m_green, 0, 255);
    DDX_Text(pDX, IDC_SELCOLOR_BLUE, m_blue);
    DDV_MinMaxUInt(pDX, m_blue, 0, 255);
    DDX_Text(pDX, IDC_SELCOLOR_OPACITY, m_opacity);
    DDV_MinMaxUInt(pDX, m_opacity, 0, 255);
}

BOOL CSelectColorDlg::OnInitDialog()
{
    // The edits are filled one by one: their change notices must not read
    // the ones not yet written.
    m_writingEdits = true;
    CDialog::OnInitDialog();
    m_writingEdits = false;
    SetTimer(kRepaintTimer, 100);
    if (m_caption)
        SetWindowText(m_caption);
    return TRUE;
}

void CSelectColorDlg::WriteEdits()
{
    m_writingEdits = true;
    UpdateData(FALSE);
    m_writingEdits = false;
}

void CSelectColorDlg::RepaintSwatch()
{
    if (CWnd* swatch = GetDlgItem(IDC_SELCOLOR_SWATCH)) {
        swatch->Invalidate(FALSE);
        swatch->UpdateWindow();
    }
}

void CSelectColorDlg::OnSpin(UINT id, NMHDR* hdr, LRESULT* result)
{
    const int delta = reinterpret_cast<NMUPDOWN*>(hdr)->iDelta;
    UINT* value = id == IDC_SELCOLOR_SPIN_RED     ? &m_red
                  : id == IDC_SELCOLOR_SPIN_GREEN ? &m_green
                  : id == IDC_SELCOLOR_SPIN_BLUE  ? &m_blue
                                                  : &m_opacity;
    *value = static_cast<UINT>(std::clamp(static_cast<int>(*value) - delta, 0, 255));
    WriteEdits();
    m_repaintPending = TRUE;
    *result = 0;
}

void CSelectColorDlg::OnEditChange(UINT)
{
    if (m_writingEdits)
        return;
    if (UpdateData(TRUE))
        RepaintSwatch();
}

void CSelectColorDlg::OnTimer(UINT_PTR id)
{
    if (id != kRepaintTimer) {
        CDialog::OnTimer(id);
        return;
    }
    if (m_repaintPending) {
        RepaintSwatch();
        m_repaintPending = FALSE;
    }
}

void CSelectColorDlg::OnPickColor()
{
    CColorDialog chooser(RGB(m_red, m_green, m_blue), 0, this);
    if (chooser.DoModal() != IDOK)
        return;
    const COLORREF chosen = chooser.GetColor();
    m_red = GetRValue(chosen);
    m_green = GetGValue(chosen);
    m_blue = GetBValue(chosen);
    WriteEdits();
    m_repaintPending = TRUE;
}

void CSelectColorDlg::OnDrawItem(int id, LPDRAWITEMSTRUCT dis)
{
    if (id != IDC_SELCOLOR_SWATCH) {
        CDialog::OnDrawItem(id, dis);
        return;
    }
    // A refused entry may have left a value above 255 behind.
    const auto level = [](UINT v) { return static_cast<int>(std::min(v, 255u)); };
    DrawAlphaSwatch(CDC::FromHandle(dis->hDC), dis->rcItem, level(m_red), level(m_green), level(m_blue),
                    level(m_opacity));
}

BOOL SelectColor(unsigned char colour[4], const char* caption)
{
    CSelectColorDlg dlg;
    dlg.m_blue = colour[0];
    dlg.m_green = colour[1];
    dlg.m_red = colour[2];
    dlg.m_opacity = colour[3];
    dlg.m_caption = caption;
    if (dlg.DoModal() != IDOK)
        return FALSE;
    colour[0] = static_cast<unsigned char>(dlg.m_blue);
    colour[1] = static_cast<unsigned char>(dlg.m_green);
    colour[2] = static_cast<unsigned char>(dlg.m_red);
    colour[3] = static_cast<unsigned char>(dlg.m_opacity);
    return TRUE;
}
