#include "editor/ui/MenuButton.h"

#include "platform/afx/WinApp.h"

BEGIN_MESSAGE_MAP(CMenuButton, CImgButton)
    ON_WM_LBUTTONDOWN()
END_MESSAGE_MAP()

BOOL CMenuButton::Create(const RECT& rect, CWnd* parent, UINT id, LPCSTR faceFile, int menuId)
{
    m_owner = AfxGetMainWnd() ? AfxGetMainWnd() : parent;
    m_menuId = menuId;
    if (m_menu.LoadMenu(static_cast<UINT>(menuId))) {
        for (UINT toolbar : {128u, 134u, 365u})
            m_menu.LoadToolbarImages(toolbar);
        if (m_fill)
            m_fill(GetPopupMenu());
    }
    return CImgButton::Create("", rect, parent, id, faceFile, "", 0);
}

void CMenuButton::OnLButtonDown(UINT, CPoint)
{
    if (m_swallowClick) {
        m_swallowClick = 0;
        return;
    }
    m_popup = GetPopupMenu();
    if (!m_popup)
        return;
    CRect r;
    GetWindowRect(&r);
    SetState(TRUE);
    m_popup->TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, r.right, r.top, m_owner ? m_owner : GetParent());
    SetState(FALSE);
    Invalidate(FALSE);
    CPoint cursor;
    ::GetCursorPos(&cursor);
    GetWindowRect(&r);
    m_swallowClick = r.PtInRect(cursor) ? 1 : 0;
    m_popup = nullptr;
}
