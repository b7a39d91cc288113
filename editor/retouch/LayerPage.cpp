#include "editor/retouch/LayerPage.h"

#include "editor/retouch/OverlaySheet.h"
#include "platform/afx/CommCtrl.h"
#include "platform/afx/MsgMap.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

const char* const kModes[] = {"Normal",     "Screen", "Light only", "Dark only", "Difference",
                              "Brightness", "Color",  "Multiply",   "Overlap"};

}  // namespace

IMPLEMENT_DYNAMIC(CLayerPage, CSkinPropertyPage)

BEGIN_MESSAGE_MAP(CLayerPage, CSkinPropertyPage)
    ON_CBN_SELCHANGE(IDC_LAYER_MODE, OnModeChange)
    ON_EN_CHANGE(IDC_LAYER_OPACITY, OnOpacityChange)
END_MESSAGE_MAP()

CLayerPage::CLayerPage() : CSkinPropertyPage(IDD_LAYER_PAGE) {}

BOOL CLayerPage::OnInitDialog()
{
    CSkinPropertyPage::OnInitDialog();
    for (const char* m : kModes)
        SendDlgItemMessage(IDC_LAYER_MODE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(m));
    SendDlgItemMessage(IDC_LAYER_OPACITY, EM_LIMITTEXT, 3);
    ShowValues();
    return TRUE;
}

void CLayerPage::ShowValues()
{
    if (!m_hWnd)
        return;
    m_writing = true;
    SendDlgItemMessage(IDC_LAYER_MODE, CB_SETCURSEL, static_cast<WPARAM>(mode));
    SetDlgItemInt(IDC_LAYER_OPACITY, static_cast<UINT>(opacity), FALSE);
    m_writing = false;
}

void CLayerPage::OnModeChange()
{
    const int sel = static_cast<int>(SendDlgItemMessage(IDC_LAYER_MODE, CB_GETCURSEL));
    if (sel < 0)
        return;
    mode = sel;
    NotifySheet();
}

void CLayerPage::OnOpacityChange()
{
    if (m_writing)
        return;
    // Half-typed texts are passed over quietly.
    char text[16] = {};
    GetDlgItemText(IDC_LAYER_OPACITY, text, sizeof text);
    char* end = nullptr;
    const long v = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || v < 0 || v > 255)
        return;
    opacity = static_cast<int>(v);
    NotifySheet();
}

BOOL CLayerPage::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    const auto* hdr = reinterpret_cast<const NMHDR*>(lParam);
    if (!hdr || hdr->idFrom != IDC_LAYER_OPACITY_SPIN || hdr->code != UDN_DELTAPOS)
        return CSkinPropertyPage::OnNotify(wParam, lParam, pResult);
    const int delta = reinterpret_cast<const NMUPDOWN*>(lParam)->iDelta;
    opacity = std::clamp(opacity - delta, 0, 255);
    ShowValues();
    NotifySheet();
    if (pResult)
        *pResult = 0;
    return TRUE;
}

void CLayerPage::NotifySheet()
{
    if (auto* sheet = dynamic_cast<COverlaySheet*>(GetSheet()))
        sheet->StartRender();
}
