// A picture button that drops its menu down under itself; the menu's
// commands go to the main window.
#pragma once

#include "album/shell/ImgButton.h"
#include "editor/ui/BitmapMenu.h"

#include <functional>

namespace shelf {

class CMenuButton : public CImgButton {
public:
    BOOL Create(const RECT& rect, CWnd* parent, UINT id, LPCSTR faceFile, UINT menuId, LPCSTR tipText);

    CBitmapMenu m_menu;
    UINT m_menuId = 0;
    CWnd* m_pOwner = nullptr;
    CMenu* m_pPopup = nullptr;
    // The click that closed the menu over the button does not reopen it.
    int m_closedOverButton = 0;
    // Runs the pop-up; tests replace it (the command chosen, 0 for none).
    std::function<UINT(CMenu* popup, int x, int y)> m_track;

protected:
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    DECLARE_MESSAGE_MAP()
};

} // namespace shelf
