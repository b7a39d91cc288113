#include "editor/ui/BitmapMenu.h"

#include "editor/ui/AppSettings.h"
#include "editor/ui/SkinDrawing.h"

#include <algorithm>
#include <cstring>
#include <cwctype>

int CBitmapMenu::s_flatStyleSameColours = 1;
int CBitmapMenu::s_flatStyleOtherColours = 1;
int CBitmapMenu::s_selectDisabled = 0;

namespace {

// Every pop-up any CBitmapMenu created; WM_MENUCHAR handlers ask it.
std::vector<HMENU>& OwnedPopups()
{
    static std::vector<HMENU> list;
    return list;
}

void ForgetPopup(HMENU menu)
{
    auto& list = OwnedPopups();
    list.erase(std::remove(list.begin(), list.end(), menu), list.end());
}

// A memory DC with the menu font selected, for measuring.
class MeasureDC {
public:
    MeasureDC()
    {
        m_dc.CreateCompatibleDC(nullptr);
        m_old = ::SelectObject(m_dc.GetSafeHdc(), CBitmapMenu::MenuFont());
    }
    ~MeasureDC()
    {
        ::SelectObject(m_dc.GetSafeHdc(), m_old);
        m_dc.DeleteDC();
    }
    int Width(const std::u16string& text) const
    {
        const std::string s = MenuTextToUtf8(text);
        return m_dc.GetTextExtent(s.c_str(), static_cast<int>(s.size())).cx;
    }

private:
    CDC m_dc;
    HGDIOBJ m_old = nullptr;
};

char16_t Lower(char16_t c) { return static_cast<char16_t>(std::towlower(static_cast<wint_t>(c))); }

std::u16string Lowered(std::u16string s)
{
    for (char16_t& c : s)
        c = Lower(c);
    return s;
}

void Frame(CDC* dc, RECT r, COLORREF color)
{
    CBrush brush(color);
    dc->FrameRect(&r, &brush);
}

// A 1-pixel frame whose four corner pixels stay untouched.
void FrameWithoutCorners(CDC* dc, RECT r, COLORREF color)
{
    const int w = r.right - r.left, h = r.bottom - r.top;
    if (w < 3 || h < 3)
        return;
    dc->FillSolidRect(r.left + 1, r.top, w - 2, 1, color);
    dc->FillSolidRect(r.left + 1, r.bottom - 1, w - 2, 1, color);
    dc->FillSolidRect(r.left, r.top + 1, 1, h - 2, color);
    dc->FillSolidRect(r.right - 1, r.top + 1, 1, h - 2, color);
}

}  // namespace

COLORREF LightenColor(COLORREF color, double factor)
{
    if (!(factor > 0.0 && factor <= 1.0))
        return color;
    auto up = [factor](int c) { return static_cast<int>(c + factor * (255 - c)); };
    return RGB(up(GetRValue(color)), up(GetGValue(color)), up(GetBValue(color)));
}

std::u16string MenuTextFromUtf8(const char* text)
{
    std::u16string out;
    if (!text)
        return out;
    const auto* s = reinterpret_cast<const unsigned char*>(text);
    while (*s) {
        char32_t cp = 0xFFFD;
        int extra = 0;
        if (*s < 0x80) {
            cp = *s;
        } else if ((*s & 0xE0) == 0xC0) {
            cp = *s & 0x1F;
            extra = 1;
        } else if ((*s & 0xF0) == 0xE0) {
            cp = *s & 0x0F;
            extra = 2;
        } else if ((*s & 0xF8) == 0xF0) {
            cp = *s & 0x07;
            extra = 3;
        }
        ++s;
        for (int i = 0; i < extra; ++i, ++s) {
            if ((*s & 0xC0) != 0x80) {
                cp = 0xFFFD;
                break;
            }
            cp = (cp << 6) | (*s & 0x3F);
        }
        if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            cp = 0xFFFD;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
    }
    return out;
}

std::string MenuTextToUtf8(const std::u16string& text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t cp = text[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD;
        }
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }
    return out;
}

CBitmapMenu::CBitmapMenu() = default;

CBitmapMenu::~CBitmapMenu() { DestroyMenu(); }

// The system's menu font; made again only when the system changes it.
HFONT CBitmapMenu::MenuFont()
{
    static LOGFONT made{};
    static HFONT font = nullptr;
    NONCLIENTMETRICS ncm{};
    ncm.cbSize = sizeof ncm;
    if (!::SystemParametersInfo(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0))
        return static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    if (!font || std::memcmp(&made, &ncm.lfMenuFont, sizeof made) != 0) {
        if (font)
            ::DeleteObject(font);
        made = ncm.lfMenuFont;
        font = ::CreateFontIndirect(&made);
    }
    return font;
}

BOOL CBitmapMenu::IsOwnedSubMenu(HMENU menu)
{
    const auto& list = OwnedPopups();
    return menu && std::find(list.begin(), list.end(), menu) != list.end();
}

CBitmapMenu* CBitmapMenu::SubMenuAt(int position) const
{
    if (position < 0 || position >= static_cast<int>(m_items.size()) || !m_items[position]->IsPopup())
        return nullptr;
    const auto handle = reinterpret_cast<HMENU>(m_items[position]->m_command);
    return dynamic_cast<CBitmapMenu*>(CMenu::FromHandlePermanent(handle));
}

// ---- loading ----

BOOL CBitmapMenu::LoadMenu(UINT nIDResource) { return LoadMenu(MAKEINTRESOURCE(nIDResource)); }

BOOL CBitmapMenu::LoadMenu(LPCSTR lpszResourceName)
{
    DestroyMenu();
    HRSRC res = ::FindResource(nullptr, lpszResourceName, RT_MENU);
    if (!res)
        return FALSE;
    const auto* data = static_cast<const BYTE*>(::LockResource(::LoadResource(nullptr, res)));
    if (!data)
        return FALSE;
    if (!LoadFromTemplate(data, ::SizeofResource(nullptr, res))) {
        DestroyMenu();
        return FALSE;
    }
    return TRUE;
}

// Menu template bytes: a 4-byte header whose second word is the size of an
// extra header, then per item its flags, its command unless it is a pop-up,
// and its NUL-ended UTF-16 text. Every read is checked against size.
BOOL CBitmapMenu::LoadFromTemplate(const BYTE* data, size_t size)
{
    if (size < 4)
        return FALSE;
    size_t at = 4 + (data[2] | (data[3] << 8));
    if (at > size || !CreateMenu())
        return FALSE;
    auto word = [&](WORD* out) {
        if (at + 2 > size)
            return false;
        *out = static_cast<WORD>(data[at] | (data[at + 1] << 8));
        at += 2;
        return true;
    };
    struct Level {
        CBitmapMenu* menu;
        bool ending;
    };
    std::vector<Level> stack{{this, false}};
    while (!stack.empty()) {
        WORD flags = 0, command = 0;
        if (!word(&flags) || (!(flags & MF_POPUP) && !word(&command)))
            return FALSE;
        std::u16string text;
        for (WORD c = 0;;) {
            if (!word(&c))
                return FALSE;
            if (c == 0)
                break;
            text.push_back(static_cast<char16_t>(c));
        }
        const UINT addFlags = flags & ~MF_END;
        CBitmapMenu* top = stack.back().menu;
        if (flags & MF_POPUP) {
            if (flags & MF_END)
                stack.back().ending = true;
            auto sub = std::make_unique<CBitmapMenu>();
            sub->m_checkImages = top->m_checkImages;
            sub->m_checkedImage = top->m_checkedImage;
            sub->m_checkedSelectedImage = top->m_checkedSelectedImage;
            sub->m_checkImagesShared = 1;
            if (!sub->CreatePopupMenu())
                return FALSE;
            CBitmapMenu* subMenu = sub.get();
            top->m_subMenus.push_back(std::move(sub));
            if (!top->AppendItem(addFlags, reinterpret_cast<UINT_PTR>(subMenu->m_hMenu), text.c_str(), -1))
                return FALSE;
            stack.push_back({subMenu, false});
        } else {
            if (!top->AppendItem(addFlags, command, text.c_str(), -1))
                return FALSE;
            if (flags & MF_END)
                stack.back().ending = true;
            while (!stack.empty() && stack.back().ending) {
                stack.back().menu->AlignAccelerators();
                stack.pop_back();
            }
        }
    }
    // The bar is drawn by the system: only pop-up contents are owner-drawn.
    for (size_t i = 0; i < m_items.size(); ++i) {
        CBitmapMenuItem& item = *m_items[i];
        const UINT keep = item.m_flags & (MF_POPUP | MF_GRAYED | MF_DISABLED | MF_CHECKED);
        item.m_flags = keep | MF_STRING;
        const std::string text = MenuTextToUtf8(item.m_text);
        ::ModifyMenu(m_hMenu, static_cast<UINT>(i), MF_BYPOSITION | item.m_flags, item.m_command, text.c_str());
    }
    return TRUE;
}

void CBitmapMenu::AlignAccelerators()
{
    MeasureDC dc;
    int widest = 0;
    for (const auto& item : m_items) {
        const std::u16string& t = item->m_text;
        widest = std::max(widest, dc.Width(t.substr(0, t.find(u'\t')) + u" "));
    }
    for (auto& item : m_items) {
        const size_t tab = item->m_text.find(u'\t');
        if (tab == std::u16string::npos)
            continue;
        std::u16string head = item->m_text.substr(0, tab);
        const std::u16string tail = item->m_text.substr(tab);
        // A font without a blank width must not stall the loop.
        for (int w = dc.Width(head); w < widest;) {
            head.push_back(u' ');
            const int grown = dc.Width(head);
            if (grown <= w)
                break;
            w = grown;
        }
        item->m_text = head + tail;
    }
}

// ---- items ----

BOOL CBitmapMenu::AppendItem(UINT flags, UINT_PTR command, const char16_t* text, int toolbarId)
{
    return AddItem(-1, flags, command, text, toolbarId);
}

BOOL CBitmapMenu::AppendItem(UINT flags, UINT_PTR command, const char* text, int toolbarId)
{
    const std::u16string t = MenuTextFromUtf8(text);
    return AddItem(-1, flags, command, text ? t.c_str() : nullptr, toolbarId);
}

BOOL CBitmapMenu::InsertItem(UINT position, UINT flags, UINT_PTR command, const char16_t* text, int toolbarId)
{
    if (!(flags & MF_BYPOSITION)) {
        int pos = -1;
        CBitmapMenu* owner = FindMenuItem(position, &pos);
        return owner ? owner->AddItem(pos, flags, command, text, toolbarId) : FALSE;
    }
    return AddItem(static_cast<int>(position), flags & ~MF_BYPOSITION, command, text, toolbarId);
}

BOOL CBitmapMenu::InsertItem(UINT position, UINT flags, UINT_PTR command, const char* text, int toolbarId)
{
    const std::u16string t = MenuTextFromUtf8(text);
    return InsertItem(position, flags, command, text ? t.c_str() : nullptr, toolbarId);
}

BOOL CBitmapMenu::AddItem(int position, UINT flags, UINT_PTR command, const char16_t* text, int toolbarId)
{
    if (!m_hMenu)
        return FALSE;
    if (position < 0 || position > static_cast<int>(m_items.size()))
        position = static_cast<int>(m_items.size());
    auto item = std::make_unique<CBitmapMenuItem>();
    if (text)
        item->m_text = text;
    if (command == 0 && !(flags & MF_POPUP))
        flags |= MF_SEPARATOR;
    item->m_flags = flags | MF_OWNERDRAW;
    item->m_command = command;
    if (toolbarId >= 0 && !(flags & (MF_POPUP | MF_SEPARATOR))) {
        int index = -1;
        CImageList strip;
        if (GetToolbarImageIndex(static_cast<UINT>(command), static_cast<UINT>(toolbarId), &index) &&
            strip.Create(static_cast<UINT>(toolbarId), m_iconWidth, 1, m_bitmapBackground))
            GiveImage(*item, &strip, index);
    }
    const UINT menuFlags = (flags & ~MF_BYPOSITION) | MF_OWNERDRAW | MF_BYPOSITION;
    if (!::InsertMenu(m_hMenu, static_cast<UINT>(position), menuFlags, command, reinterpret_cast<LPCSTR>(item.get())))
        return FALSE;
    if (flags & MF_POPUP) {
        OwnedPopups().push_back(reinterpret_cast<HMENU>(command));
        m_subMenuHandles.push_back(reinterpret_cast<HMENU>(command));
    }
    m_items.insert(m_items.begin() + position, std::move(item));
    return TRUE;
}

// Copies image index of list into the item's own one-image list, through
// a bitmap backed by the mask colour.
void CBitmapMenu::GiveImage(CBitmapMenuItem& item, CImageList* list, int index)
{
    item.m_imageList.reset();
    item.m_imageIndex = item.m_imagePresent = -1;
    if (!list || index < 0 || index >= list->GetImageCount())
        return;
    CDC dc;
    CBitmap bitmap;
    if (!dc.CreateCompatibleDC(nullptr) || !bitmap.CreateBitmap(m_iconWidth, m_iconHeight, 1, 32, nullptr))
        return;
    CBitmap* old = dc.SelectObject(&bitmap);
    dc.FillSolidRect(0, 0, m_iconWidth, m_iconHeight, m_bitmapBackground);
    list->Draw(&dc, index, POINT{0, 0}, ILD_TRANSPARENT);
    dc.SelectObject(old);
    auto own = std::make_unique<CImageList>();
    if (!own->Create(m_iconWidth, m_iconHeight, ILC_COLORDDB | ILC_MASK, 1, 1) ||
        own->Add(&bitmap, m_bitmapBackground) < 0)
        return;
    item.m_imageList = std::move(own);
    item.m_imageIndex = item.m_imagePresent = 0;
}

BOOL CBitmapMenu::GetToolbarImageIndex(UINT command, UINT toolbarId, int* index)
{
    // The toolbar's table is what a hidden tool bar would load: buttons
    // take image numbers in order, separators none.
    const qlafx::ToolbarTable* table = qlafx::FindToolbar(toolbarId);
    if (!table)
        return FALSE;
    int image = 0;
    for (size_t i = 0; i < table->commands.size(); ++i) {
        if (table->commands[i] == 0)
            continue;
        if (table->commands[i] == command) {
            if (index)
                *index = image > 0 ? image : static_cast<int>(i);
            return TRUE;
        }
        ++image;
    }
    return FALSE;
}

BOOL CBitmapMenu::LoadToolbarImages(UINT toolbarId)
{
    const qlafx::ToolbarTable* table = qlafx::FindToolbar(toolbarId);
    CImageList strip;
    if (!table || !strip.Create(toolbarId, m_iconWidth, 1, m_bitmapBackground))
        return FALSE;
    int image = 0;
    for (size_t i = 0; i < table->commands.size(); ++i) {
        const UINT command = table->commands[i];
        if (command == 0)
            continue;
        const int index = image > 0 ? image : static_cast<int>(i);
        ++image;
        int pos = -1;
        if (FindMenuItem(command, &pos))
            SetItemImage(static_cast<const char16_t*>(nullptr), command, &strip, index);
    }
    return TRUE;
}

BOOL CBitmapMenu::SetItemImage(const char* text, UINT command, CImageList* list, int index)
{
    const std::u16string t = MenuTextFromUtf8(text);
    return SetItemImage(text ? t.c_str() : nullptr, command, list, index);
}

BOOL CBitmapMenu::SetItemImage(const char16_t* text, UINT command, CImageList* list, int index)
{
    return SetImageInTree(text, command, list, index) > 0;
}

int CBitmapMenu::SetImageInTree(const char16_t* text, UINT command, CImageList* list, int index)
{
    int found = 0;
    for (size_t i = 0; i < m_items.size(); ++i) {
        CBitmapMenuItem& item = *m_items[i];
        if (item.IsPopup()) {
            if (CBitmapMenu* sub = SubMenuAt(static_cast<int>(i)))
                found += sub->SetImageInTree(text, command, list, index);
            continue;
        }
        if (item.IsSeparator() || item.m_command != command)
            continue;
        if (text)
            item.m_text = text;
        GiveImage(item, list, index);
        item.m_flags |= MF_OWNERDRAW;
        ::ModifyMenu(m_hMenu, static_cast<UINT>(i), MF_BYPOSITION | (item.m_flags & ~MF_BYPOSITION), item.m_command,
                     reinterpret_cast<LPCSTR>(&item));
        ++found;
    }
    return found;
}

BOOL CBitmapMenu::DeleteMenu(UINT position, UINT flags)
{
    if (!(flags & MF_BYPOSITION)) {
        int pos = -1;
        CBitmapMenu* owner = FindMenuItem(position, &pos);
        return owner ? owner->DeleteMenu(static_cast<UINT>(pos), MF_BYPOSITION) : FALSE;
    }
    if (position >= m_items.size())
        return FALSE;
    const CBitmapMenuItem& item = *m_items[position];
    if (item.IsPopup())
        ForgetSubMenu(reinterpret_cast<HMENU>(item.m_command));
    const BOOL removed = ::DeleteMenu(m_hMenu, position, MF_BYPOSITION);
    m_items.erase(m_items.begin() + position);
    return removed;
}

// Drops a pop-up from the lists and frees the object this menu made for it;
// the handle itself goes with the item.
void CBitmapMenu::ForgetSubMenu(HMENU sub)
{
    ForgetPopup(sub);
    m_subMenuHandles.erase(std::remove(m_subMenuHandles.begin(), m_subMenuHandles.end(), sub),
                           m_subMenuHandles.end());
    for (auto it = m_subMenus.begin(); it != m_subMenus.end(); ++it)
        if ((*it)->m_hMenu == sub) {
            (*it)->FreeTree();
            (*it)->Detach();
            m_subMenus.erase(it);
            break;
        }
}

void CBitmapMenu::FreeTree()
{
    for (auto& sub : m_subMenus) {
        sub->FreeTree();
        sub->Detach();
    }
    m_subMenus.clear();
    ForgetPopup(m_hMenu);
    for (HMENU h : m_subMenuHandles)
        ForgetPopup(h);
    m_subMenuHandles.clear();
    m_items.clear();
    if (!m_checkImagesShared)
        delete m_checkImages;
    m_checkImages = nullptr;
}

BOOL CBitmapMenu::DestroyMenu()
{
    FreeTree();
    return m_hMenu ? CMenu::DestroyMenu() : FALSE;
}

// ---- texts and search ----

BOOL CBitmapMenu::SetMenuText(UINT item, const char16_t* text, UINT flags)
{
    if (!(flags & MF_BYPOSITION)) {
        int pos = -1;
        CBitmapMenu* owner = FindMenuItem(item, &pos);
        return owner ? owner->SetMenuText(static_cast<UINT>(pos), text, MF_BYPOSITION) : FALSE;
    }
    if (item >= m_items.size())
        return FALSE;
    m_items[item]->m_text = text ? text : u"";
    return TRUE;
}

BOOL CBitmapMenu::GetMenuText(UINT item, CString& text, UINT flags)
{
    if (!(flags & MF_BYPOSITION)) {
        int pos = -1;
        CBitmapMenu* owner = FindMenuItem(item, &pos);
        return owner ? owner->GetMenuText(static_cast<UINT>(pos), text, MF_BYPOSITION) : FALSE;
    }
    if (item >= m_items.size())
        return FALSE;
    text = MenuTextToUtf8(m_items[item]->m_text).c_str();
    return TRUE;
}

CBitmapMenu* CBitmapMenu::FindMenuItem(UINT command, int* position)
{
    for (size_t i = 0; i < m_items.size(); ++i) {
        const CBitmapMenuItem& item = *m_items[i];
        if (item.IsPopup()) {
            if (CBitmapMenu* sub = SubMenuAt(static_cast<int>(i)))
                if (CBitmapMenu* found = sub->FindMenuItem(command, position))
                    return found;
            continue;
        }
        if (!item.IsSeparator() && item.m_command == command) {
            if (position)
                *position = static_cast<int>(i);
            return this;
        }
    }
    if (position)
        *position = -1;
    return nullptr;
}

LRESULT CBitmapMenu::FindAccelChar(UINT nChar, UINT nFlags, CMenu* pMenu)
{
    if (!(nFlags & MF_POPUP) || !pMenu)
        return 0;
    auto* menu = dynamic_cast<CBitmapMenu*>(CMenu::FromHandlePermanent(pMenu->m_hMenu));
    if (!menu)
        return 0;
    const std::u16string key{u'&', Lower(static_cast<char16_t>(nChar))};
    if (static_cast<int>(menu->m_items.size()) != ::GetMenuItemCount(menu->m_hMenu))
        menu->RebuildRecords();
    for (size_t i = 0; i < menu->m_items.size(); ++i)
        if (Lowered(menu->m_items[i]->m_text).find(key) != std::u16string::npos)
            return MAKELRESULT(static_cast<WORD>(i), MNC_EXECUTE);
    return 0;
}

// Matches the records to the real menu after others changed it: each item
// reuses the first unused record of its command (or pop-up, or separator).
void CBitmapMenu::RebuildRecords()
{
    std::vector<std::unique_ptr<CBitmapMenuItem>> rebuilt;
    for (auto& item : m_items)
        item->m_used = 0;
    const int count = ::GetMenuItemCount(m_hMenu);
    for (int pos = 0; pos < count; ++pos) {
        MENUITEMINFO info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU;
        if (!::GetMenuItemInfo(m_hMenu, static_cast<UINT>(pos), TRUE, &info))
            continue;
        const bool popup = info.hSubMenu != nullptr;
        const bool separator = (info.fType & MFT_SEPARATOR) != 0;
        const UINT_PTR key = popup ? reinterpret_cast<UINT_PTR>(info.hSubMenu) : (separator ? 0 : info.wID);
        std::unique_ptr<CBitmapMenuItem> record;
        for (auto& item : m_items)
            if (item && !item->m_used && item->m_command == key) {
                item->m_used = 1;
                record = std::move(item);
                break;
            }
        if (!record) {
            record = std::make_unique<CBitmapMenuItem>();
            record->m_command = key;
        }
        // Owner-drawn items have no string of their own: keep the record's.
        if (!(info.fType & MFT_OWNERDRAW)) {
            char text[257] = {};
            ::GetMenuString(m_hMenu, static_cast<UINT>(pos), text, 257, MF_BYPOSITION);
            record->m_text = MenuTextFromUtf8(text);
        }
        const UINT state = info.fState & (MF_GRAYED | MF_DISABLED | MF_CHECKED);
        record->m_flags = MF_OWNERDRAW | state | (popup ? MF_POPUP : 0) | (separator ? MF_SEPARATOR : 0);
        record->m_used = 0;
        ::ModifyMenu(m_hMenu, static_cast<UINT>(pos), MF_BYPOSITION | record->m_flags, key,
                     reinterpret_cast<LPCSTR>(record.get()));
        rebuilt.push_back(std::move(record));
    }
    m_items = std::move(rebuilt);
}

// ---- measuring and drawing ----

void CBitmapMenu::MeasureItem(LPMEASUREITEMSTRUCT mis)
{
    const auto* item = reinterpret_cast<const CBitmapMenuItem*>(mis->itemData);
    if (!item || item->IsSeparator()) {
        mis->itemWidth = 0;
        mis->itemHeight = static_cast<UINT>(GetSystemMetrics(SM_CYMENU) / 2);
        return;
    }
    MeasureDC dc;
    mis->itemWidth = static_cast<UINT>(dc.Width(item->m_text) + 2 * m_iconWidth + 1);
    mis->itemHeight = static_cast<UINT>(std::max(GetSystemMetrics(SM_CYMENU), m_iconHeight + 4));
}

void CBitmapMenu::DrawItem(LPDRAWITEMSTRUCT dis)
{
    const auto* item = reinterpret_cast<const CBitmapMenuItem*>(dis->itemData);
    CDC* dc = CDC::FromHandle(dis->hDC);
    if (!item || !dc)
        return;
    const bool sameColours = GetSysColor(COLOR_BTNFACE) == GetSysColor(COLOR_MENU);
    const int styleSwitch = sameColours ? s_flatStyleSameColours : s_flatStyleOtherColours;
    const int saved = dc->SaveDC();
    if (styleSwitch != 1)
        Draw3d(dc, *item, dis->rcItem, dis->itemState);
    else
        DrawFlat(dc, *item, dis->rcItem, dis->itemState);
    dc->RestoreDC(saved);
}

void CBitmapMenu::DrawFlat(CDC* dc, const CBitmapMenuItem& item, RECT r, UINT state)
{
    COLORREF column = GetSysColor(COLOR_BTNFACE), back = GetSysColor(COLOR_MENU);
    const bool same = column == back;
    if (same) {
        column = LightenColor(column, 0.35);
        back = RGB(255, 255, 255);
    }
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    const COLORREF tint = LightenColor(highlight, same ? 0.85 : 0.7);
    const bool grayed = (state & ODS_GRAYED) != 0;
    const bool selected = (state & ODS_SELECTED) && (!grayed || s_selectDisabled);
    const bool checked = (state & ODS_CHECKED) != 0;
    const RECT iconColumn{r.left, r.top, r.left + m_iconWidth + 5, r.bottom};

    dc->FillSolidRect(&r, back);
    dc->FillSolidRect(&iconColumn, column);
    if (item.IsSeparator()) {
        Frame(dc, iconColumn, column);
        const int mid = (r.top + r.bottom) / 2;
        RECT line{iconColumn.right + 4, mid, r.right, mid + 2};
        dc->DrawEdge(&line, EDGE_ETCHED, BF_TOP);
        return;
    }
    if (selected) {
        const RECT text{r.left + m_iconWidth + 4, r.top, r.right, r.bottom};
        FrameWithoutCorners(dc, text, RGB(180, 180, 220));
        const RECT inner{text.left + 1, text.top + 1, text.right - 1, text.bottom - 1};
        UINT iw = 0, ih = 0;
        if (g_skinButtonImage)
            g_skinButtonImage->GetSize(&iw, &ih);
        if (iw > 0 && ih >= 3 && inner.right > inner.left && inner.bottom > inner.top) {
            const int rows = static_cast<int>(ih / 3);
            const BITMAPINFO info = DibHeaderOf(*g_skinButtonImage, rows);
            const int oldMode = dc->SetStretchBltMode(HALFTONE);
            ::StretchDIBits(dc->GetSafeHdc(), inner.left, inner.top, inner.right - inner.left,
                            inner.bottom - inner.top, 0, 0, static_cast<int>(iw), rows,
                            g_skinButtonImage->GetBuffer(0, rows), &info, DIB_RGB_COLORS, SRCCOPY);
            dc->SetStretchBltMode(oldMode);
        } else {
            dc->FillSolidRect(&inner, tint);
        }
    }
    const int m = std::max(0, (static_cast<int>(r.bottom - r.top) - m_iconHeight - 4) / 2);
    if (item.m_imagePresent >= 0 && item.m_imageList) {
        if (checked) {
            const RECT box{r.left + 1, r.top, r.left + m_iconWidth + 4, r.bottom - (same ? 0 : 1)};
            dc->FillSolidRect(&box, LightenColor(highlight, 0.85));
            Frame(dc, box, highlight);
        }
        if (grayed) {
            DrawDisabledIcon(dc, item, r.left + 2, r.top + m + 2, selected ? tint : GetSysColor(COLOR_MENU));
            if (selected)
                Frame(dc, r, highlight);
        } else {
            item.m_imageList->Draw(dc, item.m_imageIndex, POINT{r.left + 3, r.top + m + 2}, ILD_TRANSPARENT);
        }
        if (selected && checked)
            Frame(dc, iconColumn, highlight);
    } else if (checked) {
        const int image = selected ? m_checkedSelectedImage : m_checkedImage;
        if (m_checkImages && image > 0) {
            const RECT box{r.left + 1, r.top + m, r.left + 1 + m_iconWidth + 4, r.top + m + m_iconHeight + 4};
            Frame(dc, box, highlight);
            m_checkImages->Draw(dc, selected ? 1 : 0, POINT{r.left + 3, r.top + m + 2}, ILD_TRANSPARENT);
        } else {
            const RECT box{r.left + 2, r.top + m + 2, r.left + 2 + m_iconWidth, r.top + m + 2 + m_iconHeight};
            dc->FillSolidRect(&box, LightenColor(highlight, 0.85));
            Frame(dc, box, highlight);
            DrawCheckGlyph(dc, IsRadioItem(item), box.left + 8, box.top + 7, GetSysColor(COLOR_MENUTEXT));
        }
    }
    COLORREF textColor = GetSysColor(COLOR_MENUTEXT);
    if (grayed)
        textColor = same ? LightenColor(GetSysColor(COLOR_GRAYTEXT), 0.55) : GetSysColor(COLOR_GRAYTEXT);
    DrawItemText(dc, item, r, textColor);
}

// Palette displays: raised and sunken edges instead of tints.
void CBitmapMenu::Draw3d(CDC* dc, const CBitmapMenuItem& item, RECT r, UINT state)
{
    const COLORREF column = GetSysColor(COLOR_BTNFACE);
    const bool grayed = (state & ODS_GRAYED) != 0;
    const bool selected = (state & ODS_SELECTED) && (!grayed || s_selectDisabled);
    const bool checked = (state & ODS_CHECKED) != 0;
    dc->FillSolidRect(&r, column);
    if (item.IsSeparator()) {
        const int mid = (r.top + r.bottom) / 2;
        RECT line{r.left + m_iconWidth + 9, mid, r.right, mid + 2};
        dc->DrawEdge(&line, EDGE_ETCHED, BF_TOP);
        return;
    }
    if (selected) {
        const RECT text{r.left + m_iconWidth + 5, r.top, r.right, r.bottom};
        dc->FillSolidRect(&text, GetSysColor(COLOR_HIGHLIGHT));
    }
    const int m = std::max(0, (static_cast<int>(r.bottom - r.top) - m_iconHeight - 4) / 2);
    if (item.m_imagePresent >= 0 && item.m_imageList) {
        const RECT frame{r.left + 1, r.top + m, r.left + m_iconWidth + 5, r.top + m + m_iconHeight + 4};
        if (checked || selected)
            dc->Draw3dRect(&frame, GetSysColor(checked ? COLOR_BTNSHADOW : COLOR_BTNHIGHLIGHT),
                           GetSysColor(checked ? COLOR_BTNHIGHLIGHT : COLOR_BTNSHADOW));
        if (grayed)
            DrawDisabledIcon(dc, item, r.left + 2, r.top + m + 2, column);
        else
            item.m_imageList->Draw(dc, item.m_imageIndex, POINT{r.left + 3, r.top + m + 2}, ILD_TRANSPARENT);
    } else if (checked) {
        RECT box{r.left + 2, r.top + m + 2, r.left + 2 + m_iconWidth, r.top + m + 2 + m_iconHeight};
        dc->FillSolidRect(&box, GetSysColor(selected ? COLOR_MENU : COLOR_3DLIGHT));
        dc->DrawEdge(&box, BDR_SUNKENOUTER, BF_RECT);
        const bool radio = IsRadioItem(item);
        DrawCheckGlyph(dc, radio, box.left + (radio ? 5 : 4), box.top + 4, GetSysColor(COLOR_MENUTEXT));
    }
    if (grayed && !selected) {
        RECT shifted = r;
        OffsetRect(&shifted, 1, 1);
        DrawItemText(dc, item, shifted, GetSysColor(COLOR_BTNHIGHLIGHT));
        DrawItemText(dc, item, r, GetSysColor(COLOR_GRAYTEXT));
    } else if (grayed) {
        DrawItemText(dc, item, r, column);
    } else {
        DrawItemText(dc, item, r, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT));
    }
}

void CBitmapMenu::DrawItemText(CDC* dc, const CBitmapMenuItem& item, RECT r, COLORREF color)
{
    RECT text{r.left + m_iconWidth + 9, r.top - 1, r.right, r.bottom - 1};
    HGDIOBJ oldFont = ::SelectObject(dc->GetSafeHdc(), MenuFont());
    dc->SetBkMode(TRANSPARENT);
    dc->SetTextColor(color);
    const size_t first = item.m_text.find(u'\t');
    const std::string head = MenuTextToUtf8(item.m_text.substr(0, first));
    dc->DrawText(head.c_str(), static_cast<int>(head.size()), &text, DT_LEFT | DT_SINGLELINE | DT_VCENTER);
    if (first != std::u16string::npos) {
        const std::string tail = MenuTextToUtf8(item.m_text.substr(item.m_text.rfind(u'\t') + 1));
        RECT right = text;
        right.right -= m_iconWidth;
        dc->DrawText(tail.c_str(), static_cast<int>(tail.size()), &right, DT_RIGHT | DT_SINGLELINE | DT_VCENTER);
    }
    ::SelectObject(dc->GetSafeHdc(), oldFont);
}

// The icon over a COLOR_MENU backing, reduced to a highlight copy one pixel
// right and down and a shadow copy in place: of its dark pixels (embossed)
// or of all its pixels (shadowed).
void CBitmapMenu::DrawDisabledIcon(CDC* dc, const CBitmapMenuItem& item, int x, int y, COLORREF backing)
{
    const COLORREF menu = GetSysColor(COLOR_MENU);
    CDC mem;
    CBitmap bitmap;
    if (!mem.CreateCompatibleDC(dc) || !bitmap.CreateBitmap(m_iconWidth, m_iconHeight, 1, 32, nullptr))
        return;
    CBitmap* old = mem.SelectObject(&bitmap);
    mem.FillSolidRect(0, 0, m_iconWidth, m_iconHeight, menu);
    item.m_imageList->Draw(&mem, item.m_imageIndex, POINT{0, 0}, ILD_TRANSPARENT);
    std::vector<bool> ink(static_cast<size_t>(m_iconWidth * m_iconHeight));
    for (int py = 0; py < m_iconHeight; ++py)
        for (int px = 0; px < m_iconWidth; ++px) {
            const COLORREF c = mem.GetPixel(px, py);
            const int luma = (GetRValue(c) * 30 + GetGValue(c) * 59 + GetBValue(c) * 11) / 100;
            ink[static_cast<size_t>(py * m_iconWidth + px)] = m_embossDisabled ? luma < 128 : c != menu;
        }
    mem.SelectObject(old);
    dc->FillSolidRect(x, y, m_iconWidth, m_iconHeight, backing);
    const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT), shadow = GetSysColor(COLOR_BTNSHADOW);
    for (int pass = 0; pass < 2; ++pass)
        for (int py = 0; py < m_iconHeight; ++py)
            for (int px = 0; px < m_iconWidth; ++px)
                if (ink[static_cast<size_t>(py * m_iconWidth + px)])
                    dc->SetPixelV(x + px + (pass == 0), y + py + (pass == 0), pass == 0 ? light : shadow);
}

// Radio items carry a bitmap for their checked state (the command-update
// machinery sets one) or the radio-check type.
bool CBitmapMenu::IsRadioItem(const CBitmapMenuItem& item)
{
    MENUITEMINFO info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_CHECKMARKS | MIIM_FTYPE;
    return !item.IsPopup() && ::GetMenuItemInfo(m_hMenu, static_cast<UINT>(item.m_command), FALSE, &info) &&
           (info.hbmpChecked != nullptr || (info.fType & MFT_RADIOCHECK));
}

// A filled 6 x 6 dot, or a check mark of seven 3-pixel strokes.
void CBitmapMenu::DrawCheckGlyph(CDC* dc, bool radio, int x, int y, COLORREF color)
{
    if (radio) {
        CBrush brush(color);
        CPen pen(PS_SOLID, 1, color);
        CBrush* oldBrush = dc->SelectObject(&brush);
        CPen* oldPen = dc->SelectObject(&pen);
        dc->Ellipse(x, y, x + 6, y + 6);
        dc->SelectObject(oldBrush);
        dc->SelectObject(oldPen);
        return;
    }
    static constexpr int kTop[7] = {2, 3, 4, 3, 2, 1, 0};
    for (int i = 0; i < 7; ++i)
        dc->FillSolidRect(x + i, y + kTop[i], 1, 3, color);
}
