#include "platform/afx/demo/DemoDialog.h"

#include "platform/afx/DC.h"
#include "platform/afx/DataExchange.h"
#include "platform/afx/WinApp.h"
#include "platform/afx/demo/res/DemoResources.h"

#include <string>

namespace {
constexpr UINT_PTR kTickTimer = 1;
}

BEGIN_MESSAGE_MAP(CDemoDialog, CDialog)
    ON_WM_TIMER()
    ON_WM_DRAWITEM()
    ON_WM_DESTROY()
    ON_BN_CLICKED(IDC_COLOR, OnColorClicked)
END_MESSAGE_MAP()

CDemoDialog::CDemoDialog() : CDialog(IDD_DEMO) {}

BOOL CDemoDialog::OnInitDialog()
{
    CDialog::OnInitDialog();
    SetTimer(kTickTimer, 1000);
    return TRUE;
}

void CDemoDialog::DoDataExchange(CDataExchange* pDX)
{
    DDX_Check(pDX, IDC_GRID, m_grid);
    DDX_Radio(pDX, IDC_SMALL, m_size);
    DDX_Text(pDX, IDC_NAME, m_name);
    DDV_MaxChars(pDX, m_name, 20);
}

void CDemoDialog::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    CString text;
    text.Format("Name: %s\nGrid: %s\nSize: %s", static_cast<LPCSTR>(m_name), m_grid ? "on" : "off",
                m_size == 0 ? "small" : "large");
    MessageBox(text, "Window layer demo", MB_OK | MB_ICONINFORMATION);
    DestroyWindow();
}

void CDemoDialog::OnCancel() { DestroyWindow(); }

void CDemoDialog::OnDestroy()
{
    CWnd::OnDestroy();
    if (AfxGetMainWnd() == this)
        PostQuitMessage(0);
}

void CDemoDialog::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent != kTickTimer)
        return;
    ++m_ticks;
    CString text;
    AfxFormatString1(text, IDS_TICKS, std::to_string(m_ticks).c_str());
    SetDlgItemText(IDC_CLOCK, text);
}

void CDemoDialog::OnColorClicked()
{
    m_colorIndex = (m_colorIndex + 1) % 3;
    GetDlgItem(IDC_COLOR)->Invalidate();
}

void CDemoDialog::OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT dis)
{
    if (nIDCtl != static_cast<int>(IDC_COLOR)) {
        CDialog::OnDrawItem(nIDCtl, dis);
        return;
    }
    CDC* dc = CDC::FromHandle(dis->hDC);
    CRect rc(dis->rcItem);
    const COLORREF c = CurrentColor();
    const bool pressed = dis->itemState & ODS_SELECTED;
    dc->FillSolidRect(&rc, pressed ? RGB(GetRValue(c) / 2, GetGValue(c) / 2, GetBValue(c) / 2) : c);
    dc->Draw3dRect(&rc, RGB(255, 255, 255), RGB(0, 0, 0));
    dc->SetBkMode(TRANSPARENT);
    dc->SetTextColor((dis->itemState & ODS_DISABLED) ? RGB(160, 160, 160) : RGB(255, 255, 255));
    dc->DrawText("Colour", &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    if (dis->itemState & ODS_FOCUS) {
        CRect focus = rc;
        focus.DeflateRect(3, 3);
        dc->DrawFocusRect(&focus);
    }
}
