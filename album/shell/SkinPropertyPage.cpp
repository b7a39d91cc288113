#include "album/shell/SkinPropertyPage.h"

#include "album/shell/AlbumGlobals.h"
#include "album/shell/SkinDialog.h"
#include "platform/afx/DC.h"

namespace shelf {

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
    return SkinCtlColor(pDC, pWnd, nCtlColor, CPropertyPage::OnCtlColor(pDC, pWnd, nCtlColor), m_ownedControls);
}

BOOL CSkinPropertyPage::OnEraseBkgnd(CDC* pDC)
{
    Default();
    CRect client;
    GetClientRect(&client);
    if (theAlbum && theAlbum->m_patternBrush.GetSafeHandle())
        pDC->FillRect(&client, &theAlbum->m_patternBrush);
    return TRUE;
}

IMPLEMENT_DYNAMIC(CQLSheet, CPropertySheet)

BEGIN_MESSAGE_MAP(CQLSheet, CPropertySheet)
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

BOOL CQLSheet::OnEraseBkgnd(CDC* pDC)
{
    EraseSkinnedBackground(this, pDC);
    return TRUE;
}

} // namespace shelf
