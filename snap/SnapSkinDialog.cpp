#include "snap/SnapSkinDialog.h"

#include "platform/afx/DC.h"
#include "platform/afx/MsgMap.h"

namespace snap {

CBrush& SkinBrush()
{
    static auto* brush = new CBrush;  // program-lifetime
    return *brush;
}

BEGIN_MESSAGE_MAP(CSnapSkinDialog, CDialog)
    ON_WM_ERASEBKGND()
    ON_WM_CTLCOLOR()
    ON_WM_SIZE()
END_MESSAGE_MAP()

BOOL CSnapSkinDialog::OnEraseBkgnd(CDC* pDC)
{
    RECT rc;
    GetClientRect(&rc);
    if (SkinBrush().m_hObject)
        pDC->FillRect(&rc, &SkinBrush());
    pDC->Draw3dRect(&rc, RGB(240, 240, 240), RGB(140, 140, 140));
    return TRUE;
}

HBRUSH CSnapSkinDialog::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    if (nCtlColor == CTLCOLOR_EDIT || nCtlColor == CTLCOLOR_LISTBOX)
        return CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
    if (nCtlColor == CTLCOLOR_STATIC)
        pDC->SetTextColor(RGB(100, 100, 128));
    if (!SkinBrush().m_hObject)
        return CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
    pDC->SetBkMode(TRANSPARENT);
    return static_cast<HBRUSH>(SkinBrush().m_hObject);
}

void CSnapSkinDialog::OnSize(UINT nType, int cx, int cy)
{
    CDialog::OnSize(nType, cx, cy);
    RedrawWindow(nullptr, nullptr, RDW_UPDATENOW | RDW_ERASE | RDW_INVALIDATE);
}

} // namespace snap
