#include "editor/ui/ParamSliderDlg.h"

#include "platform/afx/CommCtrl.h"
#include "platform/afx/DataExchange.h"
#include "platform/afx/ResourceTables.h"

#include <algorithm>
#include <cstdio>

namespace {

const qlafx::DialogTemplate kTemplates[] = {
    {IDD_PARAM_SLIDER, DS_MODALFRAME | DS_SETFONT | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 0, 0, 220, 62,
     "", "Tahoma", 8,
     {
         {"msctls_trackbar32", "", IDC_PARAM_SLIDER, 7, 7, 206, 18, WS_VISIBLE | WS_TABSTOP | TBS_AUTOTICKS},
         {"Static", "", IDC_PARAM_SLIDER_MIN, 7, 27, 60, 8, WS_VISIBLE | SS_LEFT},
         {"Static", "", IDC_PARAM_SLIDER_MAX, 153, 27, 60, 8, WS_VISIBLE | SS_RIGHT},
         {"Button", "OK", IDOK, 109, 41, 50, 14, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON},
         {"Button", "Cancel", IDCANCEL, 163, 41, 50, 14, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON},
     }},
};
const qlafx::ResourceTable kTable{.dialogs = kTemplates};
qlafx::ResourceRegistrar kRegister(kTable);

}  // namespace

CParamSliderDlg::CParamSliderDlg(CWnd* parent) : CDialog(IDD_PARAM_SLIDER, parent) {}

int CParamSliderDlg::TickStep(int minimum, int maximum)
{
    return std::max(1, (maximum - minimum) / 20);
}

void CParamSliderDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Slider(pDX, IDC_PARAM_SLIDER, m_value);
}

BOOL CParamSliderDlg::OnInitDialog()
{
    SetWindowText(m_caption);
    const int step = TickStep(m_minimum, m_maximum);
    SendDlgItemMessage(IDC_PARAM_SLIDER, TBM_SETRANGEMIN, FALSE, m_minimum);
    SendDlgItemMessage(IDC_PARAM_SLIDER, TBM_SETRANGEMAX, FALSE, m_maximum);
    SendDlgItemMessage(IDC_PARAM_SLIDER, TBM_SETTICFREQ, static_cast<WPARAM>(step));
    SendDlgItemMessage(IDC_PARAM_SLIDER, TBM_SETPAGESIZE, 0, step);
    char text[32];
    std::snprintf(text, sizeof text, "%d", m_minimum);
    SetDlgItemText(IDC_PARAM_SLIDER_MIN, text);
    std::snprintf(text, sizeof text, "%d", m_maximum);
    SetDlgItemText(IDC_PARAM_SLIDER_MAX, text);
    // The range first: the slider would hold the value to its default range.
    CDialog::OnInitDialog();
    return TRUE;
}
