// The editor's menus: loaded from a menu table, every pop-up item owner-drawn
// with an icon column, a skinned selection bar, hand-drawn check marks and
// accelerator texts aligned in one column. Icons come from toolbars.
#pragma once

#include "platform/afx/CommCtrl.h"
#include "platform/afx/Menu.h"

#include <memory>
#include <string>
#include <vector>

// The record behind an owner-drawn item (its item data).
class CBitmapMenuItem {
public:
    std::u16string m_text;
    int m_imageIndex = -1;    // within m_imageList; -1: none
    int m_imagePresent = -1;  // 0 or more when the item has an image
    UINT m_flags = 0;         // MF_ values the item was added or modified with
    UINT_PTR m_command = 0;   // command, or the sub-menu handle of a pop-up
    int m_used = 0;           // only while records are rebuilt
    std::unique_ptr<CImageList> m_imageList;

    bool IsPopup() const { return (m_flags & MF_POPUP) != 0; }
    bool IsSeparator() const { return (m_flags & MF_SEPARATOR) != 0; }
};

class CBitmapMenu : public CMenu {
public:
    CBitmapMenu();
    ~CBitmapMenu() override;

    BOOL LoadMenu(UINT nIDResource);
    BOOL LoadMenu(LPCSTR lpszResourceName);
    BOOL DestroyMenu();

    BOOL LoadToolbarImages(UINT toolbarId);
    static BOOL GetToolbarImageIndex(UINT command, UINT toolbarId, int* index);
    BOOL SetItemImage(const char16_t* text, UINT command, CImageList* list, int index);
    BOOL SetItemImage(const char* text, UINT command, CImageList* list, int index);

    // toolbarId -1: no image. A command of 0 (not a pop-up) is a separator.
    BOOL AppendItem(UINT flags, UINT_PTR command, const char16_t* text, int toolbarId = -1);
    BOOL AppendItem(UINT flags, UINT_PTR command, const char* text, int toolbarId = -1);
    // By position (-1 appends) with MF_BYPOSITION, else before the item with
    // that command anywhere in the tree.
    BOOL InsertItem(UINT position, UINT flags, UINT_PTR command, const char16_t* text, int toolbarId = -1);
    BOOL InsertItem(UINT position, UINT flags, UINT_PTR command, const char* text, int toolbarId = -1);
    BOOL DeleteMenu(UINT position, UINT flags);

    BOOL SetMenuText(UINT item, const char16_t* text, UINT flags);
    BOOL GetMenuText(UINT item, CString& text, UINT flags);
    // The menu holding the command (depth first) and its position there;
    // NULL and -1 when none.
    CBitmapMenu* FindMenuItem(UINT command, int* position);

    static LRESULT FindAccelChar(UINT nChar, UINT nFlags, CMenu* pMenu);
    static BOOL IsOwnedSubMenu(HMENU menu);

    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;
    void MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct) override;

    // Owners set both to 1 before showing a menu: the flat style. The first
    // applies while COLOR_BTNFACE equals COLOR_MENU, the second otherwise.
    static int s_flatStyleSameColours;
    static int s_flatStyleOtherColours;
    // Disabled items are drawn selectable when set.
    static int s_selectDisabled;

    // Icon size and records, for the owners' layout code and tests.
    int m_iconWidth = 24;
    int m_iconHeight = 23;
    COLORREF m_bitmapBackground = RGB(192, 192, 192);
    int m_embossDisabled = 0;
    CImageList* m_checkImages = nullptr;
    int m_checkImagesShared = 0;
    int m_checkedSelectedImage = -1;
    int m_checkedImage = -1;
    int m_iconResources = 0;

    const std::vector<std::unique_ptr<CBitmapMenuItem>>& Items() const { return m_items; }
    CBitmapMenu* SubMenuAt(int position) const;

    // Pads the text before each TAB with blanks to one common width: the
    // widest text before a TAB plus one blank, in the menu font.
    void AlignAccelerators();
    // The font all items are measured and drawn in.
    static HFONT MenuFont();

private:
    BOOL LoadFromTemplate(const BYTE* data, size_t size);
    BOOL AddItem(int position, UINT flags, UINT_PTR command, const char16_t* text, int toolbarId);
    void GiveImage(CBitmapMenuItem& item, CImageList* list, int index);
    void FreeTree();
    void ForgetSubMenu(HMENU sub);
    void RebuildRecords();
    int SetImageInTree(const char16_t* text, UINT command, CImageList* list, int index);

    void DrawFlat(CDC* dc, const CBitmapMenuItem& item, RECT r, UINT state);
    void Draw3d(CDC* dc, const CBitmapMenuItem& item, RECT r, UINT state);
    void DrawItemText(CDC* dc, const CBitmapMenuItem& item, RECT r, COLORREF color);
    void DrawDisabledIcon(CDC* dc, const CBitmapMenuItem& item, int x, int y, COLORREF backing);
    bool IsRadioItem(const CBitmapMenuItem& item);
    static void DrawCheckGlyph(CDC* dc, bool radio, int x, int y, COLORREF color);

    std::vector<std::unique_ptr<CBitmapMenuItem>> m_items;
    std::vector<HMENU> m_subMenuHandles;
    // The sub-menu objects this menu made while loading.
    std::vector<std::unique_ptr<CBitmapMenu>> m_subMenus;
};

// c + f x (255 - c) per channel, 0 < f <= 1; other factors change nothing.
COLORREF LightenColor(COLORREF color, double factor);

// UTF-8 to UTF-16 and back (invalid bytes become U+FFFD).
std::u16string MenuTextFromUtf8(const char* text);
std::string MenuTextToUtf8(const std::u16string& text);
