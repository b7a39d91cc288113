// Menus from tables and template bytes, the menu functions, pop-up menus
// chosen through the test hook, owner-drawn items and accelerators.
#include "platform/afx/Menu.h"

#include "WndTestSupport.h"
#include "platform/afx/WndRecord.h"

#include <QActionGroup>
#include <QApplication>
#include <QEventLoop>
#include <QFont>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QMenu>
#include <QMenuBar>
#include <QWidgetAction>

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <functional>
#include <string>

namespace {

constexpr UINT kMenuId = 7600;
constexpr UINT kAccelId = 7601;

const qlafx::MenuTable kMenus[] = {
    {kMenuId,
     {{"&File", 0, 0, {{"&Open", 100, 0, {}}, {nullptr, 0, MF_SEPARATOR, {}}, {"E&xit", 101, MF_GRAYED, {}}}},
      {"&Help", 102, MF_CHECKED, {}}}},
};
const qlafx::AcceleratorTable kAccels[] = {
    {kAccelId, {{FVIRTKEY, VK_F5, 200}, {FVIRTKEY | FCONTROL, 'O', 201}, {0, 'q', 202}}},
};
const qlafx::ResourceTable kTable{.menus = kMenus, .accelerators = kAccels};

// The bytes a resource compiler writes for kMenus, by hand.
const std::vector<BYTE> kTemplate = {
    0x00, 0x00, 0x00, 0x00,                                                  // header
    0x10, 0x00, '&', 0, 'F', 0, 'i', 0, 'l', 0, 'e', 0, 0, 0,               // POPUP "&File"
    0x00, 0x00, 100, 0x00, '&', 0, 'O', 0, 'p', 0, 'e', 0, 'n', 0, 0, 0,    // "&Open" 100
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00,                                     // separator
    0x81, 0x00, 101, 0x00, 'E', 0, '&', 0, 'x', 0, 'i', 0, 't', 0, 0, 0,    // "E&xit" 101, grayed, end
    0x88, 0x00, 102, 0x00, '&', 0, 'H', 0, 'e', 0, 'l', 0, 'p', 0, 0, 0,    // "&Help" 102, checked, end
};

class MenuTest : public ::testing::Test {
protected:
    qlafx::ResourceRegistrar m_reg{kTable};
    void TearDown() override { qlafx::SetPopupMenuHook({}); }
};

std::string MenuText(HMENU menu, UINT item, UINT flags)
{
    char buf[64] = {};
    GetMenuString(menu, item, buf, sizeof buf, flags);
    return buf;
}

TEST_F(MenuTest, TableIsStoredAsMenuTemplateBytes)
{
    EXPECT_EQ(qlafx::MenuTemplateBytes(kMenus[0]), kTemplate);
    HRSRC res = FindResource(nullptr, MAKEINTRESOURCE(kMenuId), RT_MENU);
    ASSERT_NE(res, nullptr);
    ASSERT_EQ(SizeofResource(nullptr, res), kTemplate.size());
    const BYTE* data = static_cast<const BYTE*>(LockResource(LoadResource(nullptr, res)));
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(std::vector<BYTE>(data, data + kTemplate.size()), kTemplate);
    EXPECT_EQ(FindResource(nullptr, "#7600", RT_MENU), res);
    EXPECT_EQ(FindResource(nullptr, MAKEINTRESOURCE(kMenuId + 50), RT_MENU), nullptr);
    EXPECT_EQ(FindResource(nullptr, MAKEINTRESOURCE(kMenuId), MAKEINTRESOURCE(5)), nullptr);
}

struct ItemCase {
    int popup;  // -1: the menu bar itself, else the pop-up at that position
    int pos;
    const char* text;
    UINT id;     // GetMenuItemID
    UINT state;  // GetMenuState by position
};

TEST_F(MenuTest, LoadedMenuHasTheItemsIdsAndFlagsOfTheTable)
{
    const ItemCase cases[] = {
        {-1, 0, "&File", static_cast<UINT>(-1), MF_POPUP | (3u << 8)},
        {-1, 1, "&Help", 102, MF_CHECKED},
        {0, 0, "&Open", 100, 0},
        {0, 1, "", 0, MF_SEPARATOR},
        {0, 2, "E&xit", 101, MF_GRAYED},
    };
    CMenu menu;
    ASSERT_TRUE(menu.LoadMenu(kMenuId));
    ASSERT_EQ(menu.GetMenuItemCount(), 2u);
    ASSERT_EQ(menu.GetSubMenu(0)->GetMenuItemCount(), 3u);
    for (const ItemCase& c : cases) {
        SCOPED_TRACE(c.text);
        HMENU m = c.popup < 0 ? menu.m_hMenu : GetSubMenu(menu.m_hMenu, c.popup);
        EXPECT_EQ(MenuText(m, c.pos, MF_BYPOSITION), c.text);
        EXPECT_EQ(GetMenuItemID(m, c.pos), c.id);
        EXPECT_EQ(GetMenuState(m, c.pos, MF_BYPOSITION), c.state);
    }
    // By command the search goes into the pop-ups.
    EXPECT_EQ(GetMenuState(menu.m_hMenu, 101, MF_BYCOMMAND), MF_GRAYED);
    EXPECT_EQ(MenuText(menu.m_hMenu, 100, MF_BYCOMMAND), "&Open");
    EXPECT_EQ(GetMenuState(menu.m_hMenu, 999, MF_BYCOMMAND), static_cast<UINT>(-1));
}

TEST_F(MenuTest, MissingMenuFailsToLoad)
{
    CMenu menu;
    EXPECT_FALSE(menu.LoadMenu(kMenuId + 50));
    EXPECT_EQ(menu.m_hMenu, nullptr);
    EXPECT_EQ(LoadMenu(nullptr, "NAMED"), nullptr);
}

struct BadTemplate {
    const char* what;
    std::vector<BYTE> bytes;
};

TEST_F(MenuTest, MalformedTemplatesAreRefused)
{
    const BadTemplate cases[] = {
        {"short header", {0x00, 0x00, 0x00}},
        {"extended menu", {0x01, 0x00, 0x04, 0x00, 0, 0, 0, 0}},
        {"header longer than data", {0x00, 0x00, 0x10, 0x00, 0x80, 0x00}},
        {"item without id", {0x00, 0x00, 0x00, 0x00, 0x80, 0x00}},
        {"text without NUL", {0x00, 0x00, 0x00, 0x00, 0x80, 0x00, 0x01, 0x00, 'A', 0x00}},
        {"level without end", {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 'A', 0x00, 0x00, 0x00}},
        {"pop-up cut short",
         {0x00, 0x00, 0x00, 0x00, 0x90, 0x00, 'P', 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 'A', 0x00, 0x00, 0x00}},
    };
    for (const BadTemplate& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(qlafx::MenuFromTemplate(c.bytes.data(), c.bytes.size()), nullptr);
    }
    HMENU good = qlafx::MenuFromTemplate(kTemplate.data(), kTemplate.size());
    ASSERT_NE(good, nullptr);
    EXPECT_EQ(GetMenuItemCount(good), 2);
    DestroyMenu(good);
}

TEST_F(MenuTest, EditingByPositionAndByCommand)
{
    CMenu bar;
    ASSERT_TRUE(bar.LoadMenu(kMenuId));
    HMENU file = GetSubMenu(bar.m_hMenu, 0);

    // By command, the item goes before the command's item in its own pop-up.
    ASSERT_TRUE(bar.InsertMenu(101, MF_BYCOMMAND | MF_STRING, 110, "&Save"));
    EXPECT_EQ(MenuText(file, 2, MF_BYPOSITION), "&Save");
    EXPECT_EQ(GetMenuItemCount(file), 4);
    // Positions past the end append.
    ASSERT_TRUE(InsertMenu(file, 99, MF_BYPOSITION | MF_STRING | MF_CHECKED, 111, "Last"));
    EXPECT_EQ(GetMenuItemID(file, 4), 111u);
    EXPECT_EQ(GetMenuState(file, 4, MF_BYPOSITION), MF_CHECKED);
    EXPECT_FALSE(InsertMenu(file, 999, MF_BYCOMMAND | MF_STRING, 112, "x"));

    // ModifyMenu replaces text, id and flags.
    ASSERT_TRUE(ModifyMenu(bar.m_hMenu, 100, MF_BYCOMMAND | MF_STRING | MF_GRAYED, 120, "Open &again"));
    EXPECT_EQ(GetMenuItemID(file, 0), 120u);
    EXPECT_EQ(MenuText(file, 0, MF_BYPOSITION), "Open &again");
    EXPECT_EQ(GetMenuState(file, 0, MF_BYPOSITION), MF_GRAYED);

    // Enable and check return the previous bits, -1 for no item.
    EXPECT_EQ(EnableMenuItem(bar.m_hMenu, 120, MF_BYCOMMAND | MF_ENABLED), static_cast<BOOL>(MF_GRAYED));
    EXPECT_EQ(EnableMenuItem(bar.m_hMenu, 120, MF_BYCOMMAND | MF_DISABLED), static_cast<BOOL>(MF_ENABLED));
    EXPECT_EQ(EnableMenuItem(bar.m_hMenu, 999, MF_BYCOMMAND | MF_GRAYED), -1);
    EXPECT_EQ(CheckMenuItem(file, 4, MF_BYPOSITION | MF_UNCHECKED), static_cast<DWORD>(MF_CHECKED));
    EXPECT_EQ(CheckMenuItem(file, 4, MF_BYPOSITION | MF_CHECKED), static_cast<DWORD>(MF_UNCHECKED));
    EXPECT_EQ(CheckMenuItem(file, 40, MF_BYPOSITION | MF_CHECKED), static_cast<DWORD>(-1));

    // A pop-up removed with RemoveMenu lives on; DeleteMenu destroys it.
    HMENU help = CreatePopupMenu();
    ASSERT_TRUE(AppendMenu(bar.m_hMenu, MF_POPUP, reinterpret_cast<UINT_PTR>(help), "&More"));
    ASSERT_TRUE(RemoveMenu(bar.m_hMenu, 2, MF_BYPOSITION));
    EXPECT_TRUE(IsMenu(help));
    ASSERT_TRUE(AppendMenu(bar.m_hMenu, MF_POPUP, reinterpret_cast<UINT_PTR>(help), "&More"));
    ASSERT_TRUE(DeleteMenu(bar.m_hMenu, 2, MF_BYPOSITION));
    EXPECT_FALSE(IsMenu(help));
    ASSERT_TRUE(DeleteMenu(bar.m_hMenu, 110, MF_BYCOMMAND));
    EXPECT_EQ(GetMenuItemCount(file), 4);
    EXPECT_FALSE(DeleteMenu(bar.m_hMenu, 110, MF_BYCOMMAND));

    // Destroying the bar destroys its pop-ups and lets go of the object.
    ASSERT_TRUE(bar.DestroyMenu());
    EXPECT_FALSE(IsMenu(file));
    EXPECT_EQ(bar.m_hMenu, nullptr);
}

TEST_F(MenuTest, ItemInfoRadioGroupsAndStringCopies)
{
    HMENU menu = CreatePopupMenu();
    for (UINT id = 300; id < 303; ++id)
        AppendMenu(menu, MF_STRING, id, "Choice");
    ASSERT_TRUE(CheckMenuRadioItem(menu, 300, 302, 301, MF_BYCOMMAND));
    MENUITEMINFO info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STATE | MIIM_FTYPE | MIIM_ID | MIIM_DATA;
    ASSERT_TRUE(GetMenuItemInfo(menu, 1, TRUE, &info));
    EXPECT_EQ(info.fState, MFS_CHECKED);
    EXPECT_EQ(info.fType, MFT_RADIOCHECK);
    EXPECT_EQ(info.wID, 301u);
    ASSERT_TRUE(CheckMenuRadioItem(menu, 0, 2, 2, MF_BYPOSITION));
    EXPECT_EQ(GetMenuState(menu, 1, MF_BYPOSITION) & MF_CHECKED, 0u);
    EXPECT_EQ(GetMenuState(menu, 2, MF_BYPOSITION) & MF_CHECKED, MF_CHECKED);

    MENUITEMINFO set{};
    set.cbSize = sizeof set;
    set.fMask = MIIM_STRING | MIIM_DATA | MIIM_STATE;
    char text[] = "Renamed";
    set.dwTypeData = text;
    set.dwItemData = 0xABCD;
    set.fState = MFS_GRAYED;
    ASSERT_TRUE(SetMenuItemInfo(menu, 300, FALSE, &set));
    EXPECT_EQ(MenuText(menu, 0, MF_BYPOSITION), "Renamed");
    EXPECT_EQ(GetMenuState(menu, 0, MF_BYPOSITION), MFS_GRAYED);
    info.fMask = MIIM_DATA;
    ASSERT_TRUE(GetMenuItemInfo(menu, 0, TRUE, &info));
    EXPECT_EQ(info.dwItemData, 0xABCDu);

    // InsertMenuItem places a described item as InsertMenu does.
    MENUITEMINFO add{};
    add.cbSize = sizeof add;
    add.fMask = MIIM_STRING | MIIM_ID;
    char first[] = "First";
    add.dwTypeData = first;
    add.wID = 299;
    ASSERT_TRUE(InsertMenuItem(menu, 300, FALSE, &add));
    EXPECT_EQ(GetMenuItemID(menu, 0), 299u);
    EXPECT_EQ(MenuText(menu, 0, MF_BYPOSITION), "First");
    ASSERT_TRUE(DeleteMenu(menu, 0, MF_BYPOSITION));

    // A short buffer gets what fits and a NUL; no buffer asks the length.
    char small[4];
    EXPECT_EQ(GetMenuString(menu, 0, small, sizeof small, MF_BYPOSITION), 3);
    EXPECT_STREQ(small, "Ren");
    EXPECT_EQ(GetMenuString(menu, 0, nullptr, 0, MF_BYPOSITION), 7);
    DestroyMenu(menu);
}

// An owner window that records the menu messages it gets.
class CMenuOwner : public CWnd {
public:
    std::vector<UINT> messages;
    std::vector<HMENU> initPopups;
    std::vector<UINT> commands;
    LRESULT menuCharResult = 0;
    std::vector<WORD> menuChars;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        switch (message) {
        case WM_INITMENU:
        case WM_INITMENUPOPUP:
        case WM_ENTERMENULOOP:
        case WM_EXITMENULOOP:
            messages.push_back(message);
            if (message == WM_INITMENUPOPUP)
                initPopups.push_back(reinterpret_cast<HMENU>(wParam));
            return 0;
        case WM_COMMAND:
            commands.push_back(LOWORD(static_cast<DWORD>(wParam)));
            return 0;
        case WM_MENUCHAR:
            menuChars.push_back(LOWORD(static_cast<DWORD>(wParam)));
            return menuCharResult;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

class PopupMenuTest : public MenuTest {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_owner.CreateEx(0, TestClass(), "owner", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr));
        ASSERT_TRUE(m_menu.LoadMenu(kMenuId));
    }
    CMenuOwner m_owner;
    CMenu m_menu;
};

struct TrackCase {
    const char* what;
    UINT flags;
    UINT pick;      // what the hook chooses
    BOOL result;    // TrackPopupMenu's answer
    UINT posted;    // the WM_COMMAND the owner gets, 0 none
};

TEST_F(PopupMenuTest, HookChoosesTheCommand)
{
    const TrackCase cases[] = {
        {"returned", TPM_RETURNCMD, 100, 100, 0},
        {"posted", TPM_LEFTALIGN, 100, TRUE, 100},
        {"grayed item dismisses", TPM_RETURNCMD, 101, 0, 0},
        {"unknown command dismisses", TPM_RETURNCMD, 555, 0, 0},
        {"dismissed", TPM_RETURNCMD, 0, 0, 0},
        {"right button, not returned", TPM_RIGHTBUTTON | TPM_RIGHTALIGN, 100, TRUE, 100},
    };
    for (const TrackCase& c : cases) {
        SCOPED_TRACE(c.what);
        m_owner.commands.clear();
        HMENU shownMenu = nullptr;
        qlafx::SetPopupMenuHook([&](HMENU menu, QMenu* shown) {
            shownMenu = menu;
            EXPECT_NE(shown, nullptr);
            return c.pick;
        });
        CMenu* popup = m_menu.GetSubMenu(0);
        EXPECT_EQ(popup->TrackPopupMenu(c.flags, 10, 10, &m_owner), c.result);
        EXPECT_EQ(shownMenu, popup->m_hMenu);
        qlafx::ProcessPendingEvents();
        if (c.posted)
            EXPECT_EQ(m_owner.commands, std::vector<UINT>{c.posted});
        else
            EXPECT_TRUE(m_owner.commands.empty());
    }
}

TEST_F(PopupMenuTest, OwnerIsToldBeforeTheMenuShowsUnlessNoNotify)
{
    HMENU popup = GetSubMenu(m_menu.m_hMenu, 0);
    std::vector<UINT> seenByHook;
    qlafx::SetPopupMenuHook([&](HMENU, QMenu*) {
        seenByHook = m_owner.messages;
        return 0u;
    });
    TrackPopupMenu(popup, TPM_RETURNCMD, 0, 0, 0, m_owner.m_hWnd, nullptr);
    EXPECT_EQ(seenByHook, (std::vector<UINT>{WM_ENTERMENULOOP, WM_INITMENU, WM_INITMENUPOPUP}));
    EXPECT_EQ(m_owner.initPopups, std::vector<HMENU>{popup});
    EXPECT_EQ(m_owner.messages.back(), WM_EXITMENULOOP);

    m_owner.messages.clear();
    TrackPopupMenu(popup, TPM_RETURNCMD | TPM_NONOTIFY, 0, 0, 0, m_owner.m_hWnd, nullptr);
    EXPECT_TRUE(m_owner.messages.empty());
}

TEST_F(PopupMenuTest, ItemsShownFollowTheMenuAsInitPopupLeftIt)
{
    // A handler that changes the menu in WM_INITMENUPOPUP is what the
    // shown items reflect.
    HMENU popup = GetSubMenu(m_menu.m_hMenu, 0);
    struct Owner : CMenuOwner {
        LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
        {
            if (message == WM_INITMENUPOPUP) {
                auto menu = reinterpret_cast<HMENU>(wParam);
                EnableMenuItem(menu, 101, MF_BYCOMMAND | MF_ENABLED);
                CheckMenuItem(menu, 100, MF_BYCOMMAND | MF_CHECKED);
            }
            return CMenuOwner::WindowProc(message, wParam, lParam);
        }
    } owner;
    ASSERT_TRUE(owner.CreateEx(0, TestClass(), "owner2", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr));
    qlafx::SetPopupMenuHook([&](HMENU, QMenu* shown) {
        const QList<QAction*> actions = shown->actions();
        EXPECT_EQ(actions.size(), 3);
        if (actions.size() == 3) {
            EXPECT_EQ(actions[0]->text(), "&Open");
            EXPECT_TRUE(actions[0]->isChecked());
            EXPECT_TRUE(actions[1]->isSeparator());
            EXPECT_TRUE(actions[2]->isEnabled());
        }
        return 101u;
    });
    EXPECT_EQ(TrackPopupMenu(popup, TPM_RETURNCMD, 0, 0, 0, owner.m_hWnd, nullptr), 101);
}

TEST_F(PopupMenuTest, UnansweredKeysGoToTheOwnerAsMenuChar)
{
    HMENU menu = CreatePopupMenu();
    AppendMenu(menu, MF_OWNERDRAW, 400, reinterpret_cast<LPCSTR>(1));
    AppendMenu(menu, MF_OWNERDRAW, 401, reinterpret_cast<LPCSTR>(2));
    AppendMenu(menu, MF_STRING, 402, "&Zoom");
    m_owner.menuCharResult = MAKELRESULT(1, MNC_EXECUTE);
    qlafx::SetPopupMenuHook([&](HMENU, QMenu* shown) {
        // 'z' is a mnemonic of the menu's own; 'b' is not.
        QKeyEvent z(QEvent::KeyPress, Qt::Key_Z, Qt::NoModifier, "z");
        QCoreApplication::sendEvent(shown, &z);
        EXPECT_TRUE(m_owner.menuChars.empty());
        QKeyEvent b(QEvent::KeyPress, Qt::Key_B, Qt::NoModifier, "b");
        QCoreApplication::sendEvent(shown, &b);
        return 0u;
    });
    EXPECT_EQ(TrackPopupMenu(menu, TPM_RETURNCMD, 0, 0, 0, m_owner.m_hWnd, nullptr), 401);
    EXPECT_EQ(m_owner.menuChars, std::vector<WORD>{'b'});
    DestroyMenu(menu);
}

// A menu class that measures and draws its own items, as skinned menus do;
// the owner window leaves WM_MEASUREITEM and WM_DRAWITEM to the default.
class CSwatchMenu : public CMenu {
public:
    std::vector<DRAWITEMSTRUCT> draws;
    void MeasureItem(LPMEASUREITEMSTRUCT mis) override
    {
        mis->itemWidth = 40 + 10 * static_cast<UINT>(mis->itemData);
        mis->itemHeight = 18;
    }
    void DrawItem(LPDRAWITEMSTRUCT dis) override
    {
        draws.push_back(*dis);
        CDC* dc = CDC::FromHandle(dis->hDC);
        const COLORREF color = (dis->itemState & ODS_GRAYED) ? RGB(128, 128, 128) : RGB(0, 0, 200);
        dc->FillSolidRect(&dis->rcItem, color);
    }
};

TEST_F(PopupMenuTest, OwnerDrawnItemsAreMeasuredAndDrawnThroughTheMenu)
{
    CSwatchMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    menu.AppendMenu(MF_OWNERDRAW, 500, reinterpret_cast<LPCSTR>(1));
    menu.AppendMenu(MF_OWNERDRAW | MF_GRAYED, 501, reinterpret_cast<LPCSTR>(3));
    qlafx::SetPopupMenuHook([&](HMENU, QMenu* shown) {
        const QList<QAction*> actions = shown->actions();
        EXPECT_EQ(actions.size(), 2);
        for (int i = 0; i < actions.size(); ++i) {
            auto* wa = qobject_cast<QWidgetAction*>(actions[i]);
            EXPECT_NE(wa, nullptr);
            if (!wa)
                continue;
            QWidget* w = wa->defaultWidget();
            // 40 + 10 x item data wide, 18 high.
            EXPECT_EQ(w->sizeHint(), QSize(i == 0 ? 50 : 70, 18));
            w->resize(w->sizeHint());
            const QImage img = w->grab().toImage();
            EXPECT_EQ(img.pixelColor(5, 5), i == 0 ? QColor(0, 0, 200) : QColor(128, 128, 128));
        }
        return 500u;
    });
    EXPECT_EQ(menu.TrackPopupMenu(TPM_RETURNCMD, 0, 0, &m_owner), 500);
    ASSERT_EQ(menu.draws.size(), 2u);
    const DRAWITEMSTRUCT& d = menu.draws[1];
    EXPECT_EQ(d.CtlType, ODT_MENU);
    EXPECT_EQ(d.itemID, 501u);
    EXPECT_EQ(d.itemData, 3u);
    EXPECT_EQ(reinterpret_cast<HMENU>(d.hwndItem), menu.m_hMenu);
    EXPECT_EQ(d.itemState & (ODS_GRAYED | ODS_SELECTED), ODS_GRAYED);
    EXPECT_EQ(d.rcItem.right - d.rcItem.left, 70);
    EXPECT_EQ(d.rcItem.bottom - d.rcItem.top, 18);
}

TEST_F(PopupMenuTest, ClickOnAnOwnerDrawnItemChoosesIt)
{
    CSwatchMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    menu.AppendMenu(MF_OWNERDRAW, 510, reinterpret_cast<LPCSTR>(1));
    menu.AppendMenu(MF_OWNERDRAW, 511, reinterpret_cast<LPCSTR>(2));
    qlafx::SetPopupMenuHook([&](HMENU, QMenu* shown) {
        shown->popup(QPoint(0, 0));
        const QPoint at = shown->actionGeometry(shown->actions().value(1)).center();
        for (QEvent::Type type : {QEvent::MouseMove, QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QMouseEvent e(type, QPointF(at), shown->mapToGlobal(QPointF(at)),
                          type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
            QCoreApplication::sendEvent(shown, &e);
            // The item under the pointer is drawn selected.
            if (type == QEvent::MouseMove)
                qobject_cast<QWidgetAction*>(shown->actions().value(1))->defaultWidget()->grab();
        }
        return 0u;
    });
    EXPECT_EQ(menu.TrackPopupMenu(TPM_RETURNCMD, 0, 0, &m_owner), 511);
    bool selected = false;
    for (const DRAWITEMSTRUCT& d : menu.draws)
        selected |= d.itemID == 511 && (d.itemState & ODS_SELECTED);
    EXPECT_TRUE(selected);
}

void SendMouse(QWidget* to, QEvent::Type type, QPoint at)
{
    QMouseEvent e(type, QPointF(at), to->mapToGlobal(QPointF(at)),
                  type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                  type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(to, &e);
}

// Pixels of a rectangle that are not the colour the owner filled with.
int PixelsOtherThan(const QImage& img, const QRect& r, QColor fill)
{
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += img.pixelColor(x, y) != fill;
    return n;
}

TEST_F(PopupMenuTest, MenuDrawsArrowsMarksAndSeparatorsAroundOwnerDrawnItems)
{
    CSwatchMenu menu, sub;
    ASSERT_TRUE(menu.CreatePopupMenu());
    ASSERT_TRUE(sub.CreatePopupMenu());
    sub.AppendMenu(MF_STRING, 530, "Inner");
    menu.AppendMenu(MF_OWNERDRAW, 531, reinterpret_cast<LPCSTR>(2));
    menu.AppendMenu(MF_SEPARATOR);
    menu.AppendMenu(MF_OWNERDRAW | MF_POPUP, reinterpret_cast<UINT_PTR>(sub.m_hMenu), reinterpret_cast<LPCSTR>(2));
    menu.AppendMenu(MF_SEPARATOR);
    menu.AppendMenu(MF_STRING | MF_CHECKED, 532, "&Grid");
    menu.AppendMenu(MF_STRING, 533, "&Fit");
    menu.AppendMenu(MF_STRING, 534, "&Fill");
    ASSERT_TRUE(menu.CheckMenuRadioItem(533, 534, 533, MF_BYCOMMAND));
    const QColor blue(0, 0, 200);
    qlafx::SetPopupMenuHook([&](HMENU, QMenu* shown) {
        const QList<QAction*> actions = shown->actions();
        EXPECT_EQ(actions.size(), 7);
        if (actions.size() != 7)
            return 0u;
        shown->adjustSize();
        const QImage img = shown->grab().toImage();
        EXPECT_TRUE(img.save(QLAFX_MENU_GRAB));
        // The owner's items keep the owner's pixels; only the pop-up item
        // gets the style's arrow, in room added beyond the measured width.
        QWidget* plain = qobject_cast<QWidgetAction*>(actions[0])->defaultWidget();
        QWidget* popup = qobject_cast<QWidgetAction*>(actions[2])->defaultWidget();
        EXPECT_EQ(plain->sizeHint().width(), 60);
        EXPECT_GT(popup->sizeHint().width(), 60);
        const QRect plainRect = shown->actionGeometry(actions[0]);
        const QRect popupRect = shown->actionGeometry(actions[2]);
        const QRect plainEnd(plainRect.right() - 15, plainRect.top(), 16, plainRect.height());
        const QRect popupEnd(popupRect.right() - 15, popupRect.top(), 16, popupRect.height());
        EXPECT_EQ(PixelsOtherThan(img, plainEnd, blue), 0);
        EXPECT_GT(PixelsOtherThan(img, popupEnd, blue), 3);
        EXPECT_EQ(img.pixelColor(popupRect.topLeft() + QPoint(5, 5)), blue);
        // Separators and marks of the menu's own items are the style's.
        EXPECT_TRUE(actions[1]->isSeparator());
        EXPECT_TRUE(actions[3]->isSeparator());
        EXPECT_TRUE(actions[4]->isChecked());
        EXPECT_EQ(actions[4]->actionGroup(), nullptr);
        EXPECT_TRUE(actions[5]->isChecked());
        EXPECT_TRUE(actions[5]->actionGroup() && actions[5]->actionGroup()->isExclusive());
        EXPECT_FALSE(actions[6]->isCheckable());
        return 0u;
    });
    EXPECT_EQ(menu.TrackPopupMenu(TPM_RETURNCMD, 0, 0, &m_owner), 0);
    sub.Detach();  // destroyed with its parent
}

TEST_F(PopupMenuTest, OwnerDrawnPopupItemOpensItsSubMenu)
{
    // Owner-drawn at every level, as skinned menus load nested pop-ups.
    CSwatchMenu menu, sub;
    ASSERT_TRUE(menu.CreatePopupMenu());
    ASSERT_TRUE(sub.CreatePopupMenu());
    sub.AppendMenu(MF_OWNERDRAW, 520, reinterpret_cast<LPCSTR>(1));
    menu.AppendMenu(MF_OWNERDRAW, 521, reinterpret_cast<LPCSTR>(1));
    menu.AppendMenu(MF_OWNERDRAW | MF_POPUP, reinterpret_cast<UINT_PTR>(sub.m_hMenu), reinterpret_cast<LPCSTR>(2));
    qlafx::SetPopupMenuHook([&](HMENU, QMenu* shown) {
        shown->popup(QPoint(0, 0));
        QAction* popupItem = shown->actions().value(1);
        QMenu* subMenu = popupItem->menu();
        EXPECT_NE(subMenu, nullptr);
        if (!subMenu)
            return 0u;
        // The hover opens the sub-menu from a timer of the menu's: wait for
        // it to be shown, however long a busy machine takes.
        QEventLoop opened;
        QObject::connect(subMenu, &QMenu::aboutToShow, &opened, &QEventLoop::quit, Qt::QueuedConnection);
        SendMouse(shown, QEvent::MouseMove, shown->actionGeometry(popupItem).center());
        if (!subMenu->isVisible())
            opened.exec();
        EXPECT_TRUE(subMenu->isVisible());
        QAction* item = subMenu->actions().value(0);
        EXPECT_NE(qobject_cast<QWidgetAction*>(item), nullptr);
        const QPoint at = subMenu->actionGeometry(item).center();
        for (QEvent::Type type : {QEvent::MouseMove, QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
            SendMouse(subMenu, type, at);
        return 0u;
    });
    EXPECT_EQ(TrackPopupMenu(menu.m_hMenu, TPM_RETURNCMD, 0, 0, 0, m_owner.m_hWnd, nullptr), 520);
    // The sub-menu was initialised when it opened, and drawn by its own object.
    EXPECT_EQ(m_owner.initPopups, (std::vector<HMENU>{menu.m_hMenu, sub.m_hMenu}));
    EXPECT_FALSE(sub.draws.empty());
    sub.Detach();  // destroyed with its parent
}

TEST_F(PopupMenuTest, OwnerMayMeasureAndDrawItself)
{
    struct Owner : CMenuOwner {
        std::vector<UINT> measured;
        LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
        {
            if (message == WM_MEASUREITEM) {
                auto* mis = reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam);
                measured.push_back(mis->itemID);
                mis->itemWidth = 33;
                mis->itemHeight = 11;
                return TRUE;
            }
            if (message == WM_DRAWITEM) {
                auto* dis = reinterpret_cast<LPDRAWITEMSTRUCT>(lParam);
                CDC::FromHandle(dis->hDC)->FillSolidRect(&dis->rcItem, RGB(10, 200, 30));
                return TRUE;
            }
            return CMenuOwner::WindowProc(message, wParam, lParam);
        }
    } owner;
    ASSERT_TRUE(owner.CreateEx(0, TestClass(), "owner3", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr));
    HMENU menu = CreatePopupMenu();
    AppendMenu(menu, MF_OWNERDRAW, 600, nullptr);
    qlafx::SetPopupMenuHook([&](HMENU, QMenu* shown) {
        auto* wa = qobject_cast<QWidgetAction*>(shown->actions().value(0));
        EXPECT_NE(wa, nullptr);
        if (wa) {
            QWidget* w = wa->defaultWidget();
            EXPECT_EQ(w->sizeHint(), QSize(33, 11));
            w->resize(w->sizeHint());
            EXPECT_EQ(w->grab().toImage().pixelColor(3, 3), QColor(10, 200, 30));
        }
        return 0u;
    });
    TrackPopupMenu(menu, TPM_RETURNCMD, 0, 0, 0, owner.m_hWnd, nullptr);
    EXPECT_EQ(owner.measured, std::vector<UINT>{600});
    DestroyMenu(menu);
}

// The DC of an owner-drawn item comes with the menu's font selected, not
// the DC's default bold system font.
TEST_F(PopupMenuTest, OwnerDrawnItemsDrawWithTheMenuFont)
{
    struct Owner : CMenuOwner {
        LOGFONT font{};
        LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
        {
            if (message == WM_MEASUREITEM) {
                auto* mis = reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam);
                mis->itemWidth = 60;
                mis->itemHeight = 18;
                return TRUE;
            }
            if (message == WM_DRAWITEM) {
                auto* dis = reinterpret_cast<LPDRAWITEMSTRUCT>(lParam);
                GetObject(GetCurrentObject(dis->hDC, OBJ_FONT), sizeof font, &font);
                return TRUE;
            }
            return CMenuOwner::WindowProc(message, wParam, lParam);
        }
    } owner;
    ASSERT_TRUE(owner.CreateEx(0, TestClass(), "owner4", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr));
    HMENU menu = CreatePopupMenu();
    AppendMenu(menu, MF_OWNERDRAW, 610, nullptr);
    QString family;
    qlafx::SetPopupMenuHook([&](HMENU, QMenu* shown) {
        family = shown->font().family();
        if (auto* wa = qobject_cast<QWidgetAction*>(shown->actions().value(0))) {
            QWidget* w = wa->defaultWidget();
            w->resize(w->sizeHint());
            w->grab();
        }
        return 0u;
    });
    TrackPopupMenu(menu, TPM_RETURNCMD, 0, 0, 0, owner.m_hWnd, nullptr);
    EXPECT_EQ(owner.font.lfWeight, FW_NORMAL);
    EXPECT_EQ(std::string(owner.font.lfFaceName), family.toStdString());
    EXPECT_LT(owner.font.lfHeight, 0) << "a pixel height";
    DestroyMenu(menu);
}

TEST_F(PopupMenuTest, MenuBarShowsTheTopItemsAndInitsBeforeItsPopups)
{
    ASSERT_TRUE(m_owner.SetMenu(&m_menu));
    EXPECT_EQ(GetMenu(m_owner.m_hWnd), m_menu.m_hMenu);
    EXPECT_EQ(m_owner.GetMenu(), &m_menu);
    QMenuBar* bar = qlafx::MenuBarOf(m_owner.m_hWnd);
    ASSERT_NE(bar, nullptr);
    const QList<QAction*> top = bar->actions();
    ASSERT_EQ(top.size(), 2);
    EXPECT_EQ(top[0]->text(), "&File");
    EXPECT_EQ(top[1]->text(), "&Help");
    EXPECT_GT(qlafx::MenuBarHeight(m_owner.m_hWnd), 0);

    QMenu* file = top[0]->menu();
    ASSERT_NE(file, nullptr);
    emit file->aboutToShow();
    EXPECT_EQ(m_owner.messages, (std::vector<UINT>{WM_INITMENU, WM_INITMENUPOPUP}));
    EXPECT_EQ(m_owner.initPopups, std::vector<HMENU>{GetSubMenu(m_menu.m_hMenu, 0)});
    ASSERT_EQ(file->actions().size(), 3);
    EXPECT_FALSE(file->actions()[2]->isEnabled());  // E&xit is grayed
    file->actions()[0]->trigger();
    qlafx::ProcessPendingEvents();
    EXPECT_EQ(m_owner.commands, std::vector<UINT>{100});

    // A command item on the bar itself posts its command too.
    top[1]->trigger();
    qlafx::ProcessPendingEvents();
    EXPECT_EQ(m_owner.commands, (std::vector<UINT>{100, 102}));

    ASSERT_TRUE(m_owner.SetMenu(nullptr));
    EXPECT_EQ(qlafx::MenuBarOf(m_owner.m_hWnd), nullptr);
}

struct AccelCase {
    const char* what;
    UINT message;
    WPARAM key;
    bool ctrl;
    int translated;
    UINT command;
};

TEST_F(PopupMenuTest, AcceleratorsSendTheirCommands)
{
    HACCEL accel = LoadAccelerators(nullptr, MAKEINTRESOURCE(kAccelId));
    ASSERT_NE(accel, nullptr);
    EXPECT_EQ(LoadAccelerators(nullptr, MAKEINTRESOURCE(kAccelId)), accel);
    EXPECT_EQ(LoadAccelerators(nullptr, MAKEINTRESOURCE(kAccelId + 1)), nullptr);
    ACCEL copy[3];
    ASSERT_EQ(CopyAcceleratorTable(accel, nullptr, 0), 3);
    ASSERT_EQ(CopyAcceleratorTable(accel, copy, 3), 3);
    EXPECT_EQ(copy[1].cmd, 201);
    EXPECT_EQ(copy[1].fVirt, FVIRTKEY | FCONTROL);

    const AccelCase cases[] = {
        {"virtual key", WM_KEYDOWN, VK_F5, false, 1, 200},
        {"virtual key with an unwanted modifier", WM_KEYDOWN, VK_F5, true, 0, 0},
        {"with control", WM_KEYDOWN, 'O', true, 1, 201},
        {"without the control it needs", WM_KEYDOWN, 'O', false, 0, 0},
        {"character", WM_CHAR, 'q', false, 1, 202},
        {"character as a key", WM_KEYDOWN, 'q', false, 0, 0},
        {"key up", WM_KEYUP, VK_F5, false, 0, 0},
    };
    for (const AccelCase& c : cases) {
        SCOPED_TRACE(c.what);
        m_owner.commands.clear();
        qlafx::UpdateKeyState(VK_CONTROL, c.ctrl);
        MSG msg{m_owner.m_hWnd, c.message, c.key, 0, 0, {0, 0}};
        EXPECT_EQ(TranslateAccelerator(m_owner.m_hWnd, accel, &msg), c.translated);
        qlafx::UpdateKeyState(VK_CONTROL, false);
        if (c.command)
            EXPECT_EQ(m_owner.commands, std::vector<UINT>{c.command});
        else
            EXPECT_TRUE(m_owner.commands.empty());
    }

    ACCEL own[] = {{FVIRTKEY, VK_F2, 210}};
    HACCEL made = CreateAcceleratorTable(own, 1);
    ASSERT_NE(made, nullptr);
    EXPECT_TRUE(DestroyAcceleratorTable(made));
    EXPECT_FALSE(DestroyAcceleratorTable(made));
}

}  // namespace

namespace {

std::string FaceOf(const LOGFONT& lf) { return std::string(lf.lfFaceName, strnlen(lf.lfFaceName, LF_FACESIZE)); }

} // namespace

// The non-client fonts (menu, status, message, captions) are the
// application's font and follow it when it changes.
TEST(NonClientMetrics, FontsFollowTheApplicationFont)
{
    const QFont saved = QApplication::font();
    const struct {
        const char* family;
        int pixels;
    } fonts[] = {{"Liberation Serif", 17}, {"DejaVu Sans", 12}};
    for (const auto& f : fonts) {
        QFont app(QString::fromLatin1(f.family));
        app.setPixelSize(f.pixels);
        QApplication::setFont(app);
        NONCLIENTMETRICS ncm{};
        ncm.cbSize = sizeof ncm;
        ASSERT_TRUE(SystemParametersInfo(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0));
        for (const LOGFONT* lf : {&ncm.lfMenuFont, &ncm.lfStatusFont, &ncm.lfMessageFont, &ncm.lfSmCaptionFont,
                                  &ncm.lfCaptionFont}) {
            EXPECT_EQ(FaceOf(*lf), f.family);
            EXPECT_EQ(lf->lfHeight, -f.pixels);
        }
        EXPECT_GE(ncm.lfCaptionFont.lfWeight, FW_BOLD) << "captions are bold";
        EXPECT_LT(ncm.lfMenuFont.lfWeight, FW_BOLD) << "menus are never the default bold";
        EXPECT_GE(ncm.iMenuHeight, f.pixels);
        EXPECT_GT(ncm.iScrollWidth, 0);
    }
    QApplication::setFont(saved);
}

TEST(NonClientMetrics, TheCallersSizeIsChecked)
{
    NONCLIENTMETRICS ncm{};
    ncm.cbSize = offsetof(NONCLIENTMETRICS, iPaddedBorderWidth); // the older, shorter layout
    ncm.iPaddedBorderWidth = 77;
    EXPECT_TRUE(SystemParametersInfo(SPI_GETNONCLIENTMETRICS, ncm.cbSize, &ncm, 0));
    EXPECT_EQ(ncm.iPaddedBorderWidth, 77) << "nothing written past the caller's size";
    EXPECT_NE(ncm.lfMenuFont.lfFaceName[0], '\0');
    ncm.cbSize = 12;
    EXPECT_FALSE(SystemParametersInfo(SPI_GETNONCLIENTMETRICS, 0, &ncm, 0));
    EXPECT_FALSE(SystemParametersInfo(SPI_GETNONCLIENTMETRICS, 0, nullptr, 0));
}

// The system menu opens on Alt+Space and on a right click that no child
// takes, once the program asked for it, and reports by WM_SYSCOMMAND.
class SysMenuOwner : public CWnd {
public:
    std::vector<WPARAM> sysCommands;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_SYSCOMMAND) {
            sysCommands.push_back(wParam);
            return 0;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

TEST_F(MenuTest, SystemMenuOpensOnAltSpaceAndRightClick)
{
    SysMenuOwner owner;
    ASSERT_TRUE(owner.CreateEx(0, TestClass(), "owner", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr));
    CWnd child;
    ASSERT_TRUE(child.CreateEx(0, TestClass(), "", WS_CHILD | WS_VISIBLE, CRect(10, 10, 60, 40), &owner, 5));
    HMENU shown = nullptr;
    UINT pick = 0;
    qlafx::SetPopupMenuHook([&](HMENU menu, QMenu*) {
        shown = menu;
        return pick;
    });
    struct Gesture {
        const char* what;
        std::function<void()> act;
    };
    const Gesture gestures[] = {
        {"Alt+Space", [&] { child.SendMessage(WM_SYSKEYDOWN, VK_SPACE, 0x20000000); }},
        {"right click on the window", [&] { owner.SendMessage(WM_CONTEXTMENU, (WPARAM)owner.m_hWnd, MAKELPARAM(40, 40)); }},
        {"right click on a child", [&] { child.SendMessage(WM_CONTEXTMENU, (WPARAM)child.m_hWnd, MAKELPARAM(20, 20)); }},
    };
    // Without GetSystemMenu nothing opens.
    for (const Gesture& g : gestures) {
        g.act();
        EXPECT_EQ(shown, nullptr) << g.what;
    }
    CMenu* sys = owner.GetSystemMenu(FALSE);
    ASSERT_NE(sys, nullptr);
    sys->AppendMenu(MF_SEPARATOR);
    sys->AppendMenu(MF_STRING, 16, "&About...");
    pick = 16;
    for (const Gesture& g : gestures) {
        shown = nullptr;
        owner.sysCommands.clear();
        g.act();
        EXPECT_EQ(shown, sys->m_hMenu) << g.what;
        EXPECT_EQ(owner.sysCommands, std::vector<WPARAM>{16}) << g.what;
    }
    // Dismissed: no command.
    pick = 0;
    owner.sysCommands.clear();
    owner.SendMessage(WM_CONTEXTMENU, (WPARAM)owner.m_hWnd, MAKELPARAM(40, 40));
    EXPECT_TRUE(owner.sysCommands.empty());
    // Shift+F10 still asks for a context menu, not the system menu.
    shown = nullptr;
    owner.SendMessage(WM_CONTEXTMENU, (WPARAM)owner.m_hWnd, static_cast<LPARAM>(-1));
    EXPECT_EQ(shown, nullptr);
    qlafx::SetPopupMenuHook({});
}
