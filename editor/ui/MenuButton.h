// A picture button that drops down an icon menu under its owner window.
#pragma once

#include "editor/ui/BitmapMenu.h"
#include "editor/ui/ImgButton.h"

#include <functional>

class CMenuButton : public CImgButton {
public:
    // Called with the pop-up before it is used.
    using FillMenu = std::function<void(CMenu* popup)>;

    BOOL Create(const RECT& rect, CWnd* parent, UINT id, LPCSTR faceFile, int menuId);
    void SetMenuId(int id) { m_menuId = id; }
    CMenu* GetPopupMenu() { return m_menu.GetSubMenu(0); }

    CBitmapMenu m_menu;
    CWnd* m_owner = nullptr;
    int m_menuId = 0;
    FillMenu m_fill;
    CMenu* m_popup = nullptr;
    // Set when the pop-up closed with the mouse over the button: that
    // click closed the menu and must not open it again.
    int m_swallowClick = 0;

protected:
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    DECLARE_MESSAGE_MAP()
};
