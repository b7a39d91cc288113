// Menus: the Win32 menu functions on the layer's own menu records, CMenu,
// menu templates (the program's menu tables as Windows MENU resource bytes),
// pop-up menus and accelerator tables.
//
// A menu is a list of items kept by the layer; Qt menus are built from it
// each time a menu opens, after WM_INITMENUPOPUP, so update handlers see and
// change the items first. Owner-drawn items (MF_OWNERDRAW) are QWidgetActions
// that ask the owner window for their size (WM_MEASUREITEM) and paint what
// the owner draws (WM_DRAWITEM) on a surface DC. Menu handles are never
// reused.
#pragma once

#include "platform/afx/GdiObjects.h"
#include "platform/afx/ResourceTables.h"
#include "platform/win/GlobalMemory.h"
#include "platform/afx/Wnd.h"

#include <functional>
#include <vector>

class QMenu;
class QMenuBar;

// ---- menu flags beyond those of the tables ----
inline constexpr UINT MF_INSERT = 0x0000;
inline constexpr UINT MF_CHANGE = 0x0080;
inline constexpr UINT MF_APPEND = 0x0100;
inline constexpr UINT MF_DELETE = 0x0200;
inline constexpr UINT MF_REMOVE = 0x1000;
inline constexpr UINT MF_BYCOMMAND = 0x0000;
inline constexpr UINT MF_BYPOSITION = 0x0400;
inline constexpr UINT MF_BITMAP = 0x0004;
inline constexpr UINT MF_OWNERDRAW = 0x0100;
inline constexpr UINT MF_USECHECKBITMAPS = 0x0200;
inline constexpr UINT MF_UNHILITE = 0x0000;
inline constexpr UINT MF_HILITE = 0x0080;
inline constexpr UINT MF_DEFAULT = 0x1000;
inline constexpr UINT MF_SYSMENU = 0x2000;
inline constexpr UINT MF_RIGHTJUSTIFY = 0x4000;
inline constexpr UINT MF_MOUSESELECT = 0x8000;
// Marks the last item of a level in a menu template.
inline constexpr UINT MF_END = 0x0080;

inline constexpr UINT MFT_STRING = MF_STRING;
inline constexpr UINT MFT_BITMAP = MF_BITMAP;
inline constexpr UINT MFT_MENUBARBREAK = MF_MENUBARBREAK;
inline constexpr UINT MFT_MENUBREAK = MF_MENUBREAK;
inline constexpr UINT MFT_OWNERDRAW = MF_OWNERDRAW;
inline constexpr UINT MFT_RADIOCHECK = 0x0200;
inline constexpr UINT MFT_SEPARATOR = MF_SEPARATOR;
inline constexpr UINT MFT_RIGHTORDER = 0x2000;
inline constexpr UINT MFT_RIGHTJUSTIFY = MF_RIGHTJUSTIFY;
inline constexpr UINT MFS_GRAYED = 0x0003;
inline constexpr UINT MFS_DISABLED = MFS_GRAYED;
inline constexpr UINT MFS_CHECKED = MF_CHECKED;
inline constexpr UINT MFS_HILITE = MF_HILITE;
inline constexpr UINT MFS_ENABLED = MF_ENABLED;
inline constexpr UINT MFS_UNCHECKED = MF_UNCHECKED;
inline constexpr UINT MFS_UNHILITE = MF_UNHILITE;
inline constexpr UINT MFS_DEFAULT = MF_DEFAULT;

inline constexpr UINT MIIM_STATE = 0x0001;
inline constexpr UINT MIIM_ID = 0x0002;
inline constexpr UINT MIIM_SUBMENU = 0x0004;
inline constexpr UINT MIIM_CHECKMARKS = 0x0008;
inline constexpr UINT MIIM_TYPE = 0x0010;
inline constexpr UINT MIIM_DATA = 0x0020;
inline constexpr UINT MIIM_STRING = 0x0040;
inline constexpr UINT MIIM_BITMAP = 0x0080;
inline constexpr UINT MIIM_FTYPE = 0x0100;

struct MENUITEMINFO {
    UINT cbSize;
    UINT fMask;
    UINT fType;
    UINT fState;
    UINT wID;
    HMENU hSubMenu;
    HBITMAP hbmpChecked;
    HBITMAP hbmpUnchecked;
    ULONG_PTR dwItemData;
    LPSTR dwTypeData;
    UINT cch;
    HBITMAP hbmpItem;
};
using LPMENUITEMINFO = MENUITEMINFO*;
using LPCMENUITEMINFO = const MENUITEMINFO*;

// ---- TrackPopupMenu ----
inline constexpr UINT TPM_LEFTBUTTON = 0x0000;
inline constexpr UINT TPM_RIGHTBUTTON = 0x0002;
inline constexpr UINT TPM_LEFTALIGN = 0x0000;
inline constexpr UINT TPM_CENTERALIGN = 0x0004;
inline constexpr UINT TPM_RIGHTALIGN = 0x0008;
inline constexpr UINT TPM_TOPALIGN = 0x0000;
inline constexpr UINT TPM_VCENTERALIGN = 0x0010;
inline constexpr UINT TPM_BOTTOMALIGN = 0x0020;
inline constexpr UINT TPM_HORIZONTAL = 0x0000;
inline constexpr UINT TPM_VERTICAL = 0x0040;
inline constexpr UINT TPM_NONOTIFY = 0x0080;
inline constexpr UINT TPM_RETURNCMD = 0x0100;
inline constexpr UINT TPM_RECURSE = 0x0001;

// ---- WM_MENUCHAR results (high word) ----
inline constexpr WORD MNC_IGNORE = 0;
inline constexpr WORD MNC_CLOSE = 1;
inline constexpr WORD MNC_EXECUTE = 2;
inline constexpr WORD MNC_SELECT = 3;

// ---- resources ----
using HRSRC = struct QlResourceRecord*;
#define RT_MENU MAKEINTRESOURCE(4)
#define RT_ACCELERATOR MAKEINTRESOURCE(9)

// Resource bytes of RT_MENU: the program's menu tables as MENU templates.
// The data lives for the rest of the run, as a loaded module's resources.
HRSRC FindResource(HMODULE module, LPCSTR name, LPCSTR type);
HGLOBAL LoadResource(HMODULE module, HRSRC resource);
LPVOID LockResource(HGLOBAL data);
DWORD SizeofResource(HMODULE module, HRSRC resource);
BOOL FreeResource(HGLOBAL data);

// ---- menu functions ----
HMENU CreateMenu();
HMENU CreatePopupMenu();
BOOL DestroyMenu(HMENU menu);
BOOL IsMenu(HMENU menu);
// The menu of a table (by id, "#id" or MAKEINTRESOURCE(id)), NULL when none.
HMENU LoadMenu(HINSTANCE instance, LPCSTR name);
// A menu from MENU template bytes (standard header, items as in a resource).
HMENU LoadMenuIndirect(const void* menuTemplate);
BOOL AppendMenu(HMENU menu, UINT flags, UINT_PTR idNewItem, LPCSTR newItem);
BOOL InsertMenu(HMENU menu, UINT position, UINT flags, UINT_PTR idNewItem, LPCSTR newItem);
BOOL ModifyMenu(HMENU menu, UINT position, UINT flags, UINT_PTR idNewItem, LPCSTR newItem);
// DeleteMenu destroys a pop-up it removes; RemoveMenu does not.
BOOL DeleteMenu(HMENU menu, UINT position, UINT flags);
BOOL RemoveMenu(HMENU menu, UINT position, UINT flags);
int GetMenuItemCount(HMENU menu);
// The command of the item at pos; -1 for a pop-up or a position past the end.
UINT GetMenuItemID(HMENU menu, int pos);
HMENU GetSubMenu(HMENU menu, int pos);
int GetMenuString(HMENU menu, UINT item, LPSTR buffer, int maxCount, UINT flags);
// The item's MF_* flags; for a pop-up, its item count in the high byte.
// (UINT)-1 when there is no such item.
UINT GetMenuState(HMENU menu, UINT item, UINT flags);
// The previous MF_ENABLED / MF_GRAYED / MF_DISABLED bits, -1 when no item.
BOOL EnableMenuItem(HMENU menu, UINT item, UINT enable);
// The previous MF_CHECKED bit, -1 when no item.
DWORD CheckMenuItem(HMENU menu, UINT item, UINT check);
BOOL CheckMenuRadioItem(HMENU menu, UINT first, UINT last, UINT check, UINT flags);
BOOL SetMenuItemBitmaps(HMENU menu, UINT position, UINT flags, HBITMAP unchecked, HBITMAP checked);
BOOL GetMenuItemInfo(HMENU menu, UINT item, BOOL byPosition, LPMENUITEMINFO info);
BOOL SetMenuItemInfo(HMENU menu, UINT item, BOOL byPosition, LPCMENUITEMINFO info);
BOOL InsertMenuItem(HMENU menu, UINT item, BOOL byPosition, LPCMENUITEMINFO info);
BOOL HiliteMenuItem(HWND hwnd, HMENU menu, UINT item, UINT hilite);
// Shows the menu at (x, y) in screen coordinates for the owner window and
// runs it until an item is chosen or the menu is dismissed. With
// TPM_RETURNCMD the chosen command is returned (0: none) and nothing is
// sent; otherwise WM_COMMAND is posted to the owner. TPM_NONOTIFY leaves out
// WM_INITMENU and WM_INITMENUPOPUP.
BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int reserved, HWND owner, LPCRECT rect);

HMENU GetMenu(HWND hwnd);
// The menu bar is shown across the top of the window's client area; frames
// lay their bars and pane out below it.
BOOL SetMenu(HWND hwnd, HMENU menu);
BOOL DrawMenuBar(HWND hwnd);
HMENU GetSystemMenu(HWND hwnd, BOOL revert);

// ---- accelerators ----
HACCEL LoadAccelerators(HINSTANCE instance, LPCSTR name);
HACCEL CreateAcceleratorTable(LPACCEL entries, int count);
BOOL DestroyAcceleratorTable(HACCEL accel);
int CopyAcceleratorTable(HACCEL accel, LPACCEL out, int count);
// A key message that matches an entry sends WM_COMMAND (high word 1) to hwnd
// and returns TRUE.
int TranslateAccelerator(HWND hwnd, HACCEL accel, LPMSG msg);

// ---- CMenu ----
class CMenu : public CObject {
    DECLARE_DYNCREATE(CMenu)
public:
    CMenu() = default;
    // Destroys a menu that is still attached.
    ~CMenu() override;
    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;

    HMENU m_hMenu = nullptr;

    // The permanent object of the handle, else a temporary one that lives
    // until the thread is next idle. NULL for NULL or dead handles.
    static CMenu* FromHandle(HMENU hMenu);
    static CMenu* FromHandlePermanent(HMENU hMenu);
    static void DeleteTempMap();
    BOOL Attach(HMENU hMenu);
    HMENU Detach();
    HMENU GetSafeHmenu() const { return m_hMenu; }
    operator HMENU() const { return m_hMenu; }

    BOOL CreateMenu();
    BOOL CreatePopupMenu();
    BOOL LoadMenu(LPCSTR lpszResourceName);
    BOOL LoadMenu(UINT nIDResource);
    BOOL LoadMenuIndirect(const void* lpMenuTemplate);
    BOOL DestroyMenu();
    BOOL DeleteMenu(UINT nPosition, UINT nFlags);

    BOOL AppendMenu(UINT nFlags, UINT_PTR nIDNewItem = 0, LPCSTR lpszNewItem = nullptr);
    BOOL InsertMenu(UINT nPosition, UINT nFlags, UINT_PTR nIDNewItem = 0, LPCSTR lpszNewItem = nullptr);
    BOOL ModifyMenu(UINT nPosition, UINT nFlags, UINT_PTR nIDNewItem = 0, LPCSTR lpszNewItem = nullptr);
    BOOL RemoveMenu(UINT nPosition, UINT nFlags);
    UINT EnableMenuItem(UINT nIDEnableItem, UINT nEnable);
    UINT CheckMenuItem(UINT nIDCheckItem, UINT nCheck);
    BOOL CheckMenuRadioItem(UINT nIDFirst, UINT nIDLast, UINT nIDItem, UINT nFlags);
    BOOL SetMenuItemBitmaps(UINT nPosition, UINT nFlags, const CBitmap* pBmpUnchecked, const CBitmap* pBmpChecked);
    UINT GetMenuItemCount() const;
    UINT GetMenuItemID(int nPos) const;
    UINT GetMenuState(UINT nID, UINT nFlags) const;
    int GetMenuString(UINT nIDItem, LPSTR lpString, int nMaxCount, UINT nFlags) const;
    int GetMenuString(UINT nIDItem, CString& rString, UINT nFlags) const;
    BOOL GetMenuItemInfo(UINT uItem, LPMENUITEMINFO lpMenuItemInfo, BOOL fByPos = FALSE);
    BOOL SetMenuItemInfo(UINT uItem, LPCMENUITEMINFO lpMenuItemInfo, BOOL fByPos = FALSE);
    CMenu* GetSubMenu(int nPos) const;
    BOOL TrackPopupMenu(UINT nFlags, int x, int y, CWnd* pWnd, LPCRECT lpRect = nullptr);

    // Owner-drawn items of this menu, called by the owner window's default
    // WM_DRAWITEM and WM_MEASUREITEM handling.
    virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct);
    virtual void MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct);
};

namespace qlafx {

// The MENU template bytes of a table: a 4-byte header (version 0, no extra
// header), then per item its flags (MF_POPUP for items with sub-items, MF_END
// on each level's last), the command for non-pop-ups, and the UTF-16 text
// ending in a NUL. Separators are written as rc writes them: flags, id and
// text all empty.
std::vector<BYTE> MenuTemplateBytes(const MenuTable& table);
// A menu from template bytes, every read checked against size; NULL when the
// bytes are malformed.
HMENU MenuFromTemplate(const BYTE* data, size_t size);

// Chooses for TrackPopupMenu without a person (tests): called with the menu
// and the Qt menu that would be shown (built and up to date, owner-drawn
// items measured) instead of running it. The result is the command chosen,
// 0 to dismiss. A command that is not an enabled item of the menu's tree
// dismisses, as a click on a grayed item does. An empty function removes it.
using PopupMenuHook = std::function<UINT(HMENU menu, QMenu* shown)>;
void SetPopupMenuHook(PopupMenuHook hook);

// Shows hwnd's system menu at (x, y) on the screen, once the program has
// asked for it with GetSystemMenu, and sends the chosen item as
// WM_SYSCOMMAND. False (nothing shown) when the window has none.
bool TrackSystemMenu(HWND hwnd, int x, int y);

// The Qt menu bar of a window with a menu, else NULL; its height, else 0.
QMenuBar* MenuBarOf(HWND hwnd);
int MenuBarHeight(HWND hwnd);

// The owner window's default handling of owner-drawn menu items: the
// permanent CMenu of the item's menu draws or measures it. FALSE when there
// is no such object.
BOOL DrawMenuItemThroughMenu(LPDRAWITEMSTRUCT dis);
BOOL MeasureMenuItemThroughMenu(LPMEASUREITEMSTRUCT mis);

}  // namespace qlafx

// void OnInitMenu(CMenu* pMenu), as CFrameWnd has it.
#ifndef ON_WM_INITMENU
#define ON_WM_INITMENU() QLAFX_WM(WM_INITMENU, p_->OnInitMenu(qlafx::MenuFromHandle(reinterpret_cast<HMENU>(c_.wParam))))
#endif
