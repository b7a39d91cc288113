#include "editor/shell/MainImageView.h"

#include "editor/shell/PhotoDocument.h"
#include "editor/ui/BitmapMenu.h"
#include "editor/ui/SkinDrawing.h"
#include "platform/afx/WinApp.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CMainImageView, MergedZoomView)

namespace {

constexpr UINT kFileOpen = 57601;
constexpr UINT kNextPhoto = 32881;
constexpr UINT kPrevPhoto = 32882;
constexpr UINT kHighQuality = 32780;

}  // namespace

void CMainImageView::PaintEmptyBackground(CDC* dc, const RECT& rect)
{
    const int b = std::min(rect.right - rect.left, rect.bottom - rect.top) / 4;
    FillGradientRect(dc, rect, POINT{rect.left + 100 + b, rect.top + 100 + b}, POINT{rect.left + 100, rect.top + 100},
                     TRUE, RGB(96, 96, 96), RGB(64, 64, 64), nullptr, 0);
}

BOOL CMainImageView::EraseBackground(CDC* dc)
{
    if (HasPixels())
        return TRUE;  // the photo's paint covers the view
    RECT client;
    GetClientRect(&client);
    PaintEmptyBackground(dc, client);
    return TRUE;
}

void CMainImageView::Paint(CDC* dc, BOOL invalidateOnly, int reserved)
{
    // Without a photo the erase has drawn the gradient; only the strip goes over it.
    if (!invalidateOnly && !HasPixels()) {
        if (m_showButtons)
            DrawToolStrip(dc);
        return;
    }
    MergedZoomView::Paint(dc, invalidateOnly, reserved);
}

void CMainImageView::DoubleClick(UINT flags, CPoint point)
{
    if (!HasPixels())
        if (CWnd* main = AfxGetMainWnd(); main && main->m_hWnd)
            main->PostMessage(WM_COMMAND, kFileOpen, 0);
    MergedZoomView::DoubleClick(flags, point);
}

void CMainImageView::TrimForKitMode(CBitmapMenu* popup)
{
    popup->DeleteMenu(7, MF_BYPOSITION);
    popup->DeleteMenu(10, MF_BYPOSITION);
    popup->DeleteMenu(kNextPhoto, MF_BYCOMMAND);
    popup->DeleteMenu(kPrevPhoto, MF_BYCOMMAND);
}

void CMainImageView::RightButtonDown(UINT, CPoint point)
{
    if (!HasPixels())
        return;
    CBitmapMenu menu;
    if (!menu.LoadMenu(kContextMenuId))
        return;
    menu.LoadToolbarImages(134);
    menu.LoadToolbarImages(365);
    CBitmapMenu::s_flatStyleSameColours = 1;
    CBitmapMenu::s_flatStyleOtherColours = 1;
    CBitmapMenu* popup = menu.SubMenuAt(0);
    if (!popup)
        return;
    if (m_kitMode && *m_kitMode)
        TrimForKitMode(popup);
    const FolderPhotoList& folder = thePhotoDocument.m_folderList;
    if (!folder.HasNext())
        popup->EnableMenuItem(kNextPhoto, MF_BYCOMMAND | MF_GRAYED);
    if (!folder.HasPrev())
        popup->EnableMenuItem(kPrevPhoto, MF_BYCOMMAND | MF_GRAYED);
    MENUITEMINFO info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STATE;
    info.fState = m_smooth ? MFS_CHECKED : MFS_DEFAULT;
    popup->SetMenuItemInfo(kHighQuality, &info, FALSE);
    POINT screen = point;
    ClientToScreen(&screen);
    popup->TrackPopupMenu(TPM_RIGHTBUTTON, screen.x, screen.y, GetParent());
}
