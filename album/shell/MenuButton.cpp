#include "album/shell/MenuButton.h"

#include "platform/afx/WinApp.h"

namespace shelf {

BEGIN_MESSAGE_MAP(CMenuButton, CImgButton)
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
END_MESSAGE_MAP()

BOOL CMenuButton::Create(const RECT& rect, CWnd* parent, UINT id, LPCSTR faceFile, UINT menuId, LPCSTR tipText)
{
    m_closedOverButton = 0;
    m_pPopup = nullptr;
    m_pOwner = AfxGetMainWnd();
    m_menuId = menuId;
    return CImgButton::Create("", rect, parent, id, faceFile, tipText, 1);
}

void CMenuButton::OnLButtonDown(UINT, CPoint)
{
    if (m_closedOverButton) {
        m_closedOverButton = 0;
        return;
    }
    if (!m_menu.LoadMenu(m_menuId))
        return;
    CBitmapMenu::s_flatStyleSameColours = 1;
    CBitmapMenu::s_flatStyleOtherColours = 1;
    m_pPopup = m_menu.GetSubMenu(0);
    if (m_pPopup) {
        SendMessage(BM_SETSTATE, 1);
        RedrawWindow();
        CRect window;
        GetWindowRect(&window);
        CWnd* owner = m_pOwner ? m_pOwner : GetTopLevelParent();
        if (m_track)
            m_track(m_pPopup, window.right, window.top);
        else
            m_pPopup->TrackPopupMenu(TPM_RIGHTBUTTON, window.right, window.top, owner);
        SendMessage(BM_SETSTATE, 0);
        RedrawWindow();
        POINT cursor{};
        ::GetCursorPos(&cursor);
        m_closedOverButton = PtInRect(&window, cursor) ? 1 : 0;
    }
    m_pPopup = nullptr;
    m_menu.DestroyMenu();
}

void CMenuButton::OnLButtonUp(UINT nFlags, CPoint point)
{
    m_closedOverButton = 0;
    CImgButton::OnLButtonUp(nFlags, point);
}

} // namespace shelf
