#include "album/tools/SearchResultList.h"

#include "album/tools/SearchDlg.h"

namespace shelf {

BEGIN_MESSAGE_MAP(CSearchResultList, CThumbListCtrl)
    ON_WM_RBUTTONDOWN()
END_MESSAGE_MAP()

void CSearchResultList::OpenItem(int index)
{
    if (m_pDialog && index >= 0 && index < GetItemCount())
        m_pDialog->OpenHit(index);
}

void CSearchResultList::OnRButtonDown(UINT, CPoint point)
{
    if (!m_pDialog || m_pDialog->IsSearching())
        return;
    const int hit = HitTest(point.x, point.y);
    if (hit >= 0 && !GetItem(hit).selected)
        SelectItem(0, hit);
    ClientToScreen(&point);
    m_pDialog->ShowHitMenu(point);
}

} // namespace shelf
