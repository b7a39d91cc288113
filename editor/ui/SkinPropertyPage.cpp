#include "editor/ui/SkinPropertyPage.h"

#include "editor/ui/AppSettings.h"
#include "editor/ui/SkinDialog.h"
#include "platform/afx/DC.h"

IMPLEMENT_DYNAMIC(CSkinPropertyPage, CPropertyPage)

BEGIN_MESSAGE_MAP(CSkinPropertyPage, CPropertyPage)
    ON_WM_CTLCOLOR()
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

CSkinPropertyPage::CSkinPropertyPage(UINT templateId) : CPropertyPage(templateId), m_templateId(templateId) {}

CSkinPropertyPage::~CSkinPropertyPage()
{
    for (CWnd* control : m_ownedControls)
        delete control;
}

HBRUSH CSkinPropertyPage::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    HBRUSH base = CPropertyPage::OnCtlColor(pDC, pWnd, nCtlColor);
    if (nCtlColor == CTLCOLOR_EDIT)
        return base;
    if (nCtlColor == CTLCOLOR_BTN && pWnd) {
        const DWORD type = pWnd->GetStyle() & 0xFF;
        if ((type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON) &&
            !skin::IsSkinnedOrOwned(m_ownedControls, pWnd->m_hWnd))
            skin::SubclassPushButton(m_ownedControls, pWnd->m_hWnd);
    }
    if (nCtlColor == CTLCOLOR_STATIC)
        pDC->SetTextColor(RGB(100, 100, 128));
    return skin::SkinBrushFor(pDC);
}

BOOL CSkinPropertyPage::OnEraseBkgnd(CDC* pDC)
{
    RECT client;
    GetClientRect(&client);
    pDC->FillRect(&client, &theAppSettings.m_skinBrush);
    return TRUE;
}
