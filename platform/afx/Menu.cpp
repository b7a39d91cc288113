#include "platform/afx/Menu.h"

#include "platform/afx/DC.h"
#include "platform/afx/WinApp.h"
#include "platform/afx/WndRecord.h"
#include "platform/win/GlobalMemory.h"

#include <QActionGroup>
#include <QApplication>
#include <QCoreApplication>
#include <QFontInfo>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPointer>
#include <QStyle>
#include <QStyleOption>
#include <QWidgetAction>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>

namespace qlafx {
namespace {

struct MenuItemRec {
    UINT type = 0;   // MFT_* bits
    UINT state = 0;  // MF_GRAYED, MF_DISABLED, MF_CHECKED, MF_HILITE, MF_DEFAULT
    UINT id = 0;
    HMENU sub = nullptr;
    std::string text;
    ULONG_PTR data = 0;
    HBITMAP checked = nullptr;
    HBITMAP unchecked = nullptr;
    HBITMAP bitmap = nullptr;
};

struct MenuRec {
    bool popup = false;
    std::vector<MenuItemRec> items;
    CMenu* permanent = nullptr;
};

std::mutex g_lock;

std::map<HMENU, std::shared_ptr<MenuRec>>& Menus()
{
    static auto* menus = new std::map<HMENU, std::shared_ptr<MenuRec>>;
    return *menus;
}

// Above every 16-bit command id, so a pop-up item's id (the handle, as on
// Windows) never equals a command, and apart from window handles, so a menu
// handle in a window's place (DRAWITEMSTRUCT's hwndItem) names no window.
std::uintptr_t g_nextMenu = 0x70000000;

std::shared_ptr<MenuRec> Rec(HMENU menu)
{
    std::lock_guard lock(g_lock);
    auto it = Menus().find(menu);
    return it == Menus().end() ? nullptr : it->second;
}

HMENU NewMenu(bool popup)
{
    auto rec = std::make_shared<MenuRec>();
    rec->popup = popup;
    std::lock_guard lock(g_lock);
    g_nextMenu += 0x10;
    auto h = reinterpret_cast<HMENU>(g_nextMenu);
    Menus()[h] = rec;
    return h;
}

// Temporary CMenu objects of FromHandle, per handle until it is destroyed.
std::map<HMENU, std::unique_ptr<CMenu>>& TempMenus()
{
    static thread_local std::map<HMENU, std::unique_ptr<CMenu>> temps;
    return temps;
}

// Window menus (menu bars) and system menus.
std::map<HWND, HMENU>& WindowMenus()
{
    static auto* m = new std::map<HWND, HMENU>;
    return *m;
}
std::map<HWND, HMENU>& SystemMenus()
{
    static auto* m = new std::map<HWND, HMENU>;
    return *m;
}

struct Found {
    std::shared_ptr<MenuRec> menu;
    size_t index = 0;
    HMENU handle = nullptr;
};

// By command: depth first, an item before the pop-ups after it, as Windows
// searches.
bool FindByCommand(HMENU menu, UINT id, Found& out, int depth = 0)
{
    auto rec = Rec(menu);
    if (!rec || depth > 32)
        return false;
    for (size_t i = 0; i < rec->items.size(); ++i) {
        const MenuItemRec& item = rec->items[i];
        if (!item.sub && item.id == id) {
            out = {rec, i, menu};
            return true;
        }
        if (item.sub && FindByCommand(item.sub, id, out, depth + 1))
            return true;
    }
    return false;
}

bool FindItem(HMENU menu, UINT item, UINT flags, Found& out)
{
    if (flags & MF_BYPOSITION) {
        auto rec = Rec(menu);
        if (!rec || item >= rec->items.size())
            return false;
        out = {rec, item, menu};
        return true;
    }
    return FindByCommand(menu, item, out);
}

// An item as AppendMenu, InsertMenu and ModifyMenu describe it.
bool MakeItem(UINT flags, UINT_PTR idNewItem, LPCSTR newItem, MenuItemRec& item)
{
    item = {};
    if (flags & MF_POPUP) {
        item.sub = reinterpret_cast<HMENU>(idNewItem);
        auto sub = Rec(item.sub);
        if (!sub)
            return false;
        sub->popup = true;
    }
    item.id = static_cast<UINT>(idNewItem);
    if (flags & MF_OWNERDRAW) {
        item.type |= MFT_OWNERDRAW;
        item.data = reinterpret_cast<ULONG_PTR>(newItem);
    } else if (flags & MF_BITMAP) {
        item.type |= MFT_BITMAP;
        item.bitmap = reinterpret_cast<HBITMAP>(const_cast<char*>(newItem));
    } else if (!(flags & MF_SEPARATOR)) {
        item.text = newItem ? newItem : "";
    }
    if (flags & MF_SEPARATOR)
        item.type |= MFT_SEPARATOR;
    item.type |= flags & (MF_MENUBARBREAK | MF_MENUBREAK | MF_RIGHTJUSTIFY);
    item.state = flags & (MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_HILITE);
    return true;
}

UINT ItemFlags(const MenuItemRec& item)
{
    UINT f = item.type | item.state;
    if (item.sub) {
        auto sub = Rec(item.sub);
        f |= MF_POPUP | ((sub ? static_cast<UINT>(std::min<size_t>(sub->items.size(), 255)) : 0u) << 8);
    }
    return f;
}

bool Enabled(const MenuItemRec& item) { return !(item.state & (MF_GRAYED | MF_DISABLED)); }

// ---- templates and resources ----

void PutWord(std::vector<BYTE>& out, WORD w)
{
    out.push_back(static_cast<BYTE>(w & 0xFF));
    out.push_back(static_cast<BYTE>(w >> 8));
}

void PutText(std::vector<BYTE>& out, const char* text)
{
    const QString s = QString::fromUtf8(text ? text : "");
    for (QChar c : s)
        PutWord(out, c.unicode());
    PutWord(out, 0);
}

void PutLevel(std::vector<BYTE>& out, const std::vector<MenuItem>& items)
{
    for (size_t i = 0; i < items.size(); ++i) {
        const MenuItem& item = items[i];
        const WORD end = i + 1 == items.size() ? MF_END : 0;
        const bool popup = !item.items.empty();
        const bool separator = !popup && ((item.flags & MF_SEPARATOR) || (!item.text && item.id == 0));
        if (separator) {
            PutWord(out, end);
            PutWord(out, 0);
            PutWord(out, 0);
            continue;
        }
        WORD flags = static_cast<WORD>(item.flags & ~(MF_POPUP | MF_END | MF_SEPARATOR)) | end;
        if (popup)
            flags |= MF_POPUP;
        PutWord(out, flags);
        if (!popup)
            PutWord(out, static_cast<WORD>(item.id));
        PutText(out, item.text);
        if (popup)
            PutLevel(out, item.items);
    }
}

struct TemplateReader {
    const BYTE* data;
    size_t size;
    size_t pos = 0;

    bool Word(WORD& w)
    {
        if (size - pos < 2)
            return false;
        w = static_cast<WORD>(data[pos] | (data[pos + 1] << 8));
        pos += 2;
        return true;
    }
    bool Text(std::string& out)
    {
        QString s;
        for (WORD c;;) {
            if (!Word(c))
                return false;
            if (c == 0)
                break;
            s.append(QChar(c));
        }
        out = s.toStdString();
        return true;
    }
};

bool ReadLevel(TemplateReader& r, HMENU target, int depth)
{
    if (depth > 32)
        return false;
    for (;;) {
        WORD flags = 0, id = 0;
        std::string text;
        if (!r.Word(flags))
            return false;
        if (!(flags & MF_POPUP) && !r.Word(id))
            return false;
        if (!r.Text(text))
            return false;
        const UINT itemFlags = flags & ~MF_END;
        if (flags & MF_POPUP) {
            HMENU sub = ::CreatePopupMenu();
            if (!ReadLevel(r, sub, depth + 1) || !::AppendMenu(target, itemFlags, reinterpret_cast<UINT_PTR>(sub),
                                                               text.c_str())) {
                ::DestroyMenu(sub);
                return false;
            }
        } else if (id == 0 && text.empty() && !(itemFlags & ~MF_SEPARATOR)) {
            ::AppendMenu(target, MF_SEPARATOR, 0, nullptr);
        } else {
            ::AppendMenu(target, itemFlags, id, text.c_str());
        }
        if (flags & MF_END)
            return true;
    }
}

// Resource data made from the tables once and kept for the run.
struct ResourceBlock {
    std::vector<BYTE> bytes;
    HGLOBAL global = nullptr;
};

std::map<const void*, std::unique_ptr<ResourceBlock>>& Blocks()
{
    static auto* blocks = new std::map<const void*, std::unique_ptr<ResourceBlock>>;
    return *blocks;
}

// MAKEINTRESOURCE(id) or "#id"; 0 for other names.
UINT ResourceId(LPCSTR name)
{
    if (IS_INTRESOURCE(name))
        return static_cast<UINT>(reinterpret_cast<std::uintptr_t>(name));
    if (name && name[0] == '#')
        return static_cast<UINT>(std::strtoul(name + 1, nullptr, 10));
    return 0;
}

// ---- accelerators ----
std::map<QlAccelRecord*, std::vector<ACCEL>>& AccelTables()
{
    static auto* t = new std::map<QlAccelRecord*, std::vector<ACCEL>>;
    return *t;
}
std::map<const AcceleratorTable*, HACCEL>& LoadedAccels()
{
    static auto* t = new std::map<const AcceleratorTable*, HACCEL>;
    return *t;
}
std::uintptr_t g_nextAccel = 0x10;

HACCEL NewAccel(std::vector<ACCEL> entries)
{
    std::lock_guard lock(g_lock);
    g_nextAccel += 0x10;
    auto h = reinterpret_cast<HACCEL>(g_nextAccel);
    AccelTables()[h] = std::move(entries);
    return h;
}

// ---- Qt menus ----

// One menu being shown (a pop-up and its sub-menus, or a menu bar's).
struct Track {
    HWND owner = nullptr;
    bool notify = true;    // WM_INITMENUPOPUP and friends
    bool post = true;      // WM_COMMAND for the chosen item
    UINT chosen = 0;
    QPointer<QMenu> top;   // closed when an item is chosen
    QMenu* prepared = nullptr;  // already initialised for its next aboutToShow
};

thread_local HMENU t_measuring = nullptr;

void Populate(QMenu* qm, HMENU menu, const std::shared_ptr<Track>& track);

// Sends WM_INITMENUPOPUP (when notifying) and builds the Qt items from the
// menu as the handlers left it.
void Prepare(QMenu* qm, HMENU menu, UINT index, const std::shared_ptr<Track>& track)
{
    if (track->notify && IsWindow(track->owner))
        SendMessage(track->owner, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), MAKELPARAM(static_cast<WORD>(index), 0));
    Populate(qm, menu, track);
}

void Choose(const std::shared_ptr<Track>& track, UINT id)
{
    track->chosen = id;
    if (track->post && IsWindow(track->owner))
        PostMessage(track->owner, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), 0), 0);
    if (track->top)
        track->top->close();
}

// The menu font as a GDI font, for owner-drawn items: what Qt's menus show,
// never the DC's default bold system font.
HFONT MenuFont(const QWidget* menu)
{
    const QFont font = menu ? menu->font() : QApplication::font("QMenu");
    LOGFONT lf{};
    LogFontOf(font, &lf);
    return CreateFontIndirect(&lf);
}

// An owner-drawn item: its size is what the owner measured, its pixels what
// the owner draws into a surface DC. Mouse events go to the menu, which
// highlights, opens and triggers it as any other item.
class OwnerDrawnItem : public QWidget {
public:
    OwnerDrawnItem(HMENU menu, UINT pos, HWND owner, QMenu* parentMenu, QAction* action)
        : QWidget(parentMenu), m_menu(menu), m_pos(pos), m_owner(owner), m_parentMenu(parentMenu), m_action(action)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        MEASUREITEMSTRUCT mis{ODT_MENU, 0, 0, 0, 0, 0};
        if (auto rec = Rec(menu); rec && pos < rec->items.size()) {
            mis.itemID = rec->items[pos].id;
            mis.itemData = rec->items[pos].data;
        }
        HMENU saved = t_measuring;
        t_measuring = menu;
        SendMessage(owner, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mis));
        t_measuring = saved;
        m_size = QSize(static_cast<int>(mis.itemWidth), static_cast<int>(mis.itemHeight));
        // Room for the sub-menu arrow the menu draws beside the owner's part.
        if (auto rec = Rec(menu); rec && pos < rec->items.size() && rec->items[pos].sub)
            m_size.rwidth() += ArrowRect(m_size).width() + 2 * kArrowMargin;
        setMinimumSize(m_size);
    }

    QSize sizeHint() const override { return m_size; }

protected:
    void paintEvent(QPaintEvent*) override
    {
        auto rec = Rec(m_menu);
        if (!rec || m_pos >= rec->items.size() || width() <= 0 || height() <= 0)
            return;
        const MenuItemRec& item = rec->items[m_pos];
        // At the screen's pixel density, as every window surface.
        const qreal dpr = devicePixelRatioF();
        QImage surface(dpr == 1 ? size() : (QSizeF(size()) * dpr).toSize(), QImage::Format_RGB32);
        surface.setDevicePixelRatio(dpr);
        const COLORREF menuColor = GetSysColor(COLOR_MENU);
        surface.fill(QColor(GetRValue(menuColor), GetGValue(menuColor), GetBValue(menuColor)));
        UINT state = 0;
        if (m_parentMenu && m_parentMenu->activeAction() == m_action)
            state |= ODS_SELECTED;
        if (item.state & MF_GRAYED)
            state |= ODS_GRAYED;
        if (item.state & MF_DISABLED)
            state |= ODS_DISABLED;
        if (item.state & MF_CHECKED)
            state |= ODS_CHECKED;
        HDC dc = CreateSurfaceDC(&surface, m_owner);
        HFONT font = MenuFont(m_parentMenu);
        HGDIOBJ oldFont = SelectObject(dc, font);
        DRAWITEMSTRUCT dis{ODT_MENU, 0, item.id, ODA_DRAWENTIRE, state, reinterpret_cast<HWND>(m_menu), dc,
                           RECT{0, 0, width(), height()}, item.data};
        SendMessage(m_owner, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis));
        SelectObject(dc, oldFont);
        ReleaseSurfaceDC(dc);
        DeleteObject(font);
        QPainter painter(this);
        painter.drawImage(0, 0, surface);
        if (item.sub)
            DrawSubMenuArrow(painter, state);
    }

private:
    static constexpr int kArrowMargin = 3;

    // As styles place a sub-menu arrow: a square half the item high at its
    // right end.
    static QRect ArrowRect(QSize item)
    {
        const int dim = std::max(5, (item.height() - 4) / 2);
        return QRect(item.width() - kArrowMargin - dim, (item.height() - dim) / 2, dim, dim);
    }

    // Windows draws the arrow of an owner-drawn pop-up item over what the
    // owner drew; here the application's style draws it, in the colour the
    // style gives a menu item's text in that state.
    void DrawSubMenuArrow(QPainter& painter, UINT state)
    {
        QStyleOption opt;
        opt.initFrom(m_parentMenu ? static_cast<QWidget*>(m_parentMenu) : this);
        opt.rect = ArrowRect(size());
        const bool enabled = !(state & (ODS_GRAYED | ODS_DISABLED));
        opt.state.setFlag(QStyle::State_Enabled, enabled);
        opt.state.setFlag(QStyle::State_Selected, (state & ODS_SELECTED) != 0);
        const QPalette& pal = opt.palette;
        const QColor color = !enabled ? pal.color(QPalette::Disabled, QPalette::Text)
                             : (state & ODS_SELECTED) ? pal.color(QPalette::HighlightedText)
                                                      : pal.color(QPalette::Text);
        opt.palette.setColor(QPalette::ButtonText, color);
        opt.palette.setColor(QPalette::WindowText, color);
        opt.palette.setColor(QPalette::Text, color);
        style()->drawPrimitive(QStyle::PE_IndicatorArrowRight, &opt, &painter, this);
    }

    HMENU m_menu;
    UINT m_pos;
    HWND m_owner;
    QPointer<QMenu> m_parentMenu;
    QAction* m_action;
    QSize m_size;
};

// Whether a QMenu item text has c as its mnemonic ("&c", not "&&").
bool HasMnemonic(const QString& text, QChar c)
{
    for (int i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '&')
            continue;
        if (text[i + 1] == '&') {
            ++i;
            continue;
        }
        if (text[i + 1].toLower() == c.toLower())
            return true;
    }
    return false;
}

// Keys no item of a menu answers go to the owner as WM_MENUCHAR.
class MenuCharFilter : public QObject {
public:
    MenuCharFilter(QMenu* menu, HMENU hmenu, std::shared_ptr<Track> track)
        : QObject(menu), m_menu(menu), m_hmenu(hmenu), m_track(std::move(track))
    {
    }

protected:
    bool eventFilter(QObject* obj, QEvent* e) override
    {
        if (obj != m_menu || e->type() != QEvent::KeyPress)
            return false;
        const QString text = static_cast<QKeyEvent*>(e)->text();
        if (text.size() != 1 || !text[0].isPrint())
            return false;
        for (QAction* a : m_menu->actions())
            if (HasMnemonic(a->text(), text[0]))
                return false;
        const WORD ch = text[0].unicode();
        const LRESULT r = SendMessage(m_track->owner, WM_MENUCHAR, MAKEWPARAM(ch, MF_POPUP),
                                      reinterpret_cast<LPARAM>(m_hmenu));
        const WORD pos = LOWORD(static_cast<DWORD>(r));
        const QList<QAction*> actions = m_menu->actions();
        switch (HIWORD(static_cast<DWORD>(r))) {
        case MNC_EXECUTE:
            if (pos < actions.size() && actions[pos]->isEnabled()) {
                if (actions[pos]->menu())
                    m_menu->setActiveAction(actions[pos]);
                else
                    actions[pos]->trigger();
            }
            return true;
        case MNC_SELECT:
            if (pos < actions.size())
                m_menu->setActiveAction(actions[pos]);
            return true;
        case MNC_CLOSE:
            m_menu->close();
            return true;
        default:
            return false;
        }
    }

private:
    QMenu* m_menu;
    HMENU m_hmenu;
    std::shared_ptr<Track> m_track;
};

// barMenu: the menu bar this pop-up drops from, which is told first (WM_INITMENU).
QMenu* MakeQMenu(HMENU menu, UINT index, const std::shared_ptr<Track>& track, QWidget* parent, HMENU barMenu = nullptr)
{
    auto* qm = new QMenu(parent);
    qm->setProperty("qlafx_hmenu", QVariant::fromValue(reinterpret_cast<qulonglong>(menu)));
    qm->installEventFilter(new MenuCharFilter(qm, menu, track));
    QObject::connect(qm, &QMenu::aboutToShow, qm, [qm, menu, index, track, barMenu] {
        if (track->prepared == qm) {
            track->prepared = nullptr;
            return;
        }
        if (barMenu && track->notify && IsWindow(track->owner))
            SendMessage(track->owner, WM_INITMENU, reinterpret_cast<WPARAM>(barMenu), 0);
        Prepare(qm, menu, index, track);
    });
    // Owner-drawn items show their selection as the pointer moves.
    QObject::connect(qm, &QMenu::hovered, qm, [qm](QAction*) {
        for (QAction* a : qm->actions())
            if (auto* wa = qobject_cast<QWidgetAction*>(a); wa && wa->defaultWidget())
                wa->defaultWidget()->update();
    });
    return qm;
}

void Populate(QMenu* qm, HMENU menu, const std::shared_ptr<Track>& track)
{
    for (QMenu* old : qm->findChildren<QMenu*>(Qt::FindDirectChildrenOnly))
        old->deleteLater();
    qm->clear();
    auto rec = Rec(menu);
    if (!rec)
        return;
    for (UINT i = 0; i < rec->items.size(); ++i) {
        const MenuItemRec item = rec->items[i];
        QAction* action = nullptr;
        if (item.type & MFT_OWNERDRAW) {
            auto* wa = new QWidgetAction(qm);
            wa->setDefaultWidget(new OwnerDrawnItem(menu, i, track->owner, qm, wa));
            action = wa;
            qm->addAction(action);
        } else if (item.type & MFT_SEPARATOR) {
            qm->addSeparator();
            continue;
        } else {
            action = qm->addAction(QString::fromUtf8(item.text.c_str()));
        }
        action->setEnabled(Enabled(item));
        if (item.state & MF_CHECKED) {
            action->setCheckable(true);
            action->setChecked(true);
            // The style draws a radio item's mark as a bullet.
            if (item.type & MFT_RADIOCHECK)
                (new QActionGroup(action))->addAction(action);
        }
        if (item.sub) {
            action->setMenu(MakeQMenu(item.sub, i, track, qm));
            continue;
        }
        if (item.type & MFT_SEPARATOR)
            continue;
        const UINT id = item.id;
        QObject::connect(action, &QAction::triggered, qm, [track, id] { Choose(track, id); });
    }
}

// The enabled command id anywhere in the tree.
bool HasEnabledCommand(HMENU menu, UINT id, int depth = 0)
{
    auto rec = Rec(menu);
    if (!rec || depth > 32)
        return false;
    for (const MenuItemRec& item : rec->items) {
        if (!Enabled(item) || (item.type & MFT_SEPARATOR))
            continue;
        if (item.sub ? HasEnabledCommand(item.sub, id, depth + 1) : item.id == id)
            return true;
    }
    return false;
}

PopupMenuHook& Hook()
{
    static PopupMenuHook hook;
    return hook;
}

// ---- menu bars ----

class MenuBarFollower : public QObject {
public:
    MenuBarFollower(QMenuBar* bar, QWidget* window) : QObject(bar), m_bar(bar) { window->installEventFilter(this); }

protected:
    bool eventFilter(QObject* obj, QEvent* e) override
    {
        if (e->type() == QEvent::Resize)
            if (auto* w = qobject_cast<QWidget*>(obj))
                m_bar->setGeometry(0, 0, w->width(), m_bar->sizeHint().height());
        return false;
    }

private:
    QMenuBar* m_bar;
};

QMenuBar* FindBar(HWND hwnd)
{
    QWidget* w = WidgetOf(hwnd);
    return w ? w->findChild<QMenuBar*>("qlafx_menubar", Qt::FindDirectChildrenOnly) : nullptr;
}

void BuildBar(HWND hwnd, HMENU menu)
{
    QWidget* w = WidgetOf(hwnd);
    if (!w)
        return;
    QMenuBar* bar = FindBar(hwnd);
    if (!menu) {
        delete bar;
        return;
    }
    if (!bar) {
        bar = new QMenuBar(w);
        bar->setObjectName("qlafx_menubar");
        bar->setNativeMenuBar(false);
        new MenuBarFollower(bar, w);
    }
    for (QMenu* old : bar->findChildren<QMenu*>(Qt::FindDirectChildrenOnly))
        old->deleteLater();
    bar->clear();
    auto track = std::make_shared<Track>();
    track->owner = hwnd;
    auto rec = Rec(menu);
    for (UINT i = 0; rec && i < rec->items.size(); ++i) {
        const MenuItemRec& item = rec->items[i];
        if (item.type & MFT_SEPARATOR)
            continue;
        QAction* action = nullptr;
        if (item.sub) {
            QMenu* qm = MakeQMenu(item.sub, i, track, bar, menu);
            qm->setTitle(QString::fromUtf8(item.text.c_str()));
            action = bar->addMenu(qm);
        } else {
            action = bar->addAction(QString::fromUtf8(item.text.c_str()));
            const UINT id = item.id;
            QObject::connect(action, &QAction::triggered, bar, [track, id] { Choose(track, id); });
        }
        action->setEnabled(Enabled(item));
    }
    bar->setGeometry(0, 0, w->width(), bar->sizeHint().height());
    bar->raise();
    bar->show();
}

}  // namespace

std::vector<BYTE> MenuTemplateBytes(const MenuTable& table)
{
    std::vector<BYTE> out;
    PutWord(out, 0);  // version
    PutWord(out, 0);  // extra header bytes
    PutLevel(out, table.items);
    return out;
}

HMENU MenuFromTemplate(const BYTE* data, size_t size)
{
    TemplateReader r{data, size};
    WORD version = 0, headerSize = 0;
    if (!data || !r.Word(version) || !r.Word(headerSize) || version != 0 || headerSize > size - r.pos)
        return nullptr;
    r.pos += headerSize;
    HMENU menu = ::CreateMenu();
    if (r.pos < size && !ReadLevel(r, menu, 0)) {
        ::DestroyMenu(menu);
        return nullptr;
    }
    return menu;
}

void SetPopupMenuHook(PopupMenuHook hook) { Hook() = std::move(hook); }

QMenuBar* MenuBarOf(HWND hwnd) { return FindBar(hwnd); }

int MenuBarHeight(HWND hwnd)
{
    QMenuBar* bar = FindBar(hwnd);
    return bar ? bar->height() : 0;
}

BOOL DrawMenuItemThroughMenu(LPDRAWITEMSTRUCT dis)
{
    if (!dis || dis->CtlType != ODT_MENU)
        return FALSE;
    CMenu* menu = CMenu::FromHandlePermanent(reinterpret_cast<HMENU>(dis->hwndItem));
    if (!menu)
        return FALSE;
    menu->DrawItem(dis);
    return TRUE;
}

BOOL MeasureMenuItemThroughMenu(LPMEASUREITEMSTRUCT mis)
{
    if (!mis || mis->CtlType != ODT_MENU)
        return FALSE;
    CMenu* menu = CMenu::FromHandlePermanent(t_measuring);
    if (!menu)
        return FALSE;
    menu->MeasureItem(mis);
    return TRUE;
}

CMenu* MenuFromHandle(HMENU menu) { return CMenu::FromHandle(menu); }

}  // namespace qlafx

using namespace qlafx;

// ---- resources ----
HRSRC FindResource(HMODULE, LPCSTR name, LPCSTR type)
{
    if (ResourceId(type) != 4)
        return nullptr;
    const UINT id = ResourceId(name);
    const MenuTable* table = id ? FindMenu(id) : nullptr;
    if (!table)
        return nullptr;
    std::lock_guard lock(g_lock);
    auto& block = Blocks()[table];
    if (!block) {
        block = std::make_unique<ResourceBlock>();
        block->bytes = MenuTemplateBytes(*table);
    }
    return reinterpret_cast<HRSRC>(block.get());
}

HGLOBAL LoadResource(HMODULE, HRSRC resource)
{
    if (!resource)
        return nullptr;
    auto* block = reinterpret_cast<ResourceBlock*>(resource);
    std::lock_guard lock(g_lock);
    if (!block->global) {
        block->global = GlobalAlloc(GMEM_FIXED, block->bytes.size());
        if (block->global)
            std::memcpy(GlobalLock(block->global), block->bytes.data(), block->bytes.size());
    }
    return block->global;
}

LPVOID LockResource(HGLOBAL data) { return data ? GlobalLock(data) : nullptr; }

DWORD SizeofResource(HMODULE, HRSRC resource)
{
    return resource ? static_cast<DWORD>(reinterpret_cast<ResourceBlock*>(resource)->bytes.size()) : 0;
}

BOOL FreeResource(HGLOBAL) { return FALSE; }

// ---- menus ----
HMENU CreateMenu() { return NewMenu(false); }
HMENU CreatePopupMenu() { return NewMenu(true); }

BOOL IsMenu(HMENU menu) { return Rec(menu) != nullptr; }

BOOL DestroyMenu(HMENU menu)
{
    std::shared_ptr<MenuRec> rec;
    {
        std::lock_guard lock(g_lock);
        auto it = Menus().find(menu);
        if (it == Menus().end())
            return FALSE;
        rec = it->second;
        Menus().erase(it);
    }
    for (const MenuItemRec& item : rec->items)
        if (item.sub)
            DestroyMenu(item.sub);
    if (rec->permanent)
        rec->permanent->m_hMenu = nullptr;
    if (auto it = TempMenus().find(menu); it != TempMenus().end()) {
        it->second->m_hMenu = nullptr;
        TempMenus().erase(it);
    }
    std::vector<HWND> bars;
    for (auto& [hwnd, m] : WindowMenus())
        if (m == menu)
            bars.push_back(hwnd);
    for (HWND hwnd : bars) {
        WindowMenus().erase(hwnd);
        BuildBar(hwnd, nullptr);
    }
    return TRUE;
}

HMENU LoadMenu(HINSTANCE instance, LPCSTR name)
{
    HRSRC res = FindResource(instance, name, RT_MENU);
    if (!res)
        return nullptr;
    const void* data = LockResource(LoadResource(instance, res));
    return MenuFromTemplate(static_cast<const BYTE*>(data), SizeofResource(instance, res));
}

HMENU LoadMenuIndirect(const void* menuTemplate)
{
    // Windows takes the caller's word for the template's extent.
    return MenuFromTemplate(static_cast<const BYTE*>(menuTemplate), SIZE_MAX / 2);
}

BOOL AppendMenu(HMENU menu, UINT flags, UINT_PTR idNewItem, LPCSTR newItem)
{
    auto rec = Rec(menu);
    MenuItemRec item;
    if (!rec || !MakeItem(flags, idNewItem, newItem, item))
        return FALSE;
    rec->items.push_back(std::move(item));
    return TRUE;
}

// Before the item at a position (past the end appends) or before a command's
// item in whichever pop-up holds it.
static BOOL InsertItem(HMENU menu, UINT position, bool byPosition, MenuItemRec item)
{
    if (byPosition) {
        auto rec = Rec(menu);
        if (!rec)
            return FALSE;
        const size_t at = std::min<size_t>(position, rec->items.size());
        rec->items.insert(rec->items.begin() + static_cast<std::ptrdiff_t>(at), std::move(item));
        return TRUE;
    }
    Found f;
    if (!FindByCommand(menu, position, f))
        return FALSE;
    f.menu->items.insert(f.menu->items.begin() + static_cast<std::ptrdiff_t>(f.index), std::move(item));
    return TRUE;
}

BOOL InsertMenu(HMENU menu, UINT position, UINT flags, UINT_PTR idNewItem, LPCSTR newItem)
{
    MenuItemRec item;
    if (!MakeItem(flags, idNewItem, newItem, item))
        return FALSE;
    return InsertItem(menu, position, (flags & MF_BYPOSITION) != 0, std::move(item));
}

BOOL ModifyMenu(HMENU menu, UINT position, UINT flags, UINT_PTR idNewItem, LPCSTR newItem)
{
    Found f;
    MenuItemRec item;
    if (!FindItem(menu, position, flags, f) || !MakeItem(flags, idNewItem, newItem, item))
        return FALSE;
    MenuItemRec& old = f.menu->items[f.index];
    const HMENU oldSub = old.sub;
    item.checked = old.checked;
    item.unchecked = old.unchecked;
    if (!(flags & MF_OWNERDRAW))
        item.data = old.data;
    old = std::move(item);
    // The pop-up an item no longer opens goes, as on Windows.
    if (oldSub && oldSub != old.sub)
        DestroyMenu(oldSub);
    return TRUE;
}

static BOOL Remove(HMENU menu, UINT position, UINT flags, bool destroy)
{
    Found f;
    if (!FindItem(menu, position, flags, f))
        return FALSE;
    const HMENU sub = f.menu->items[f.index].sub;
    f.menu->items.erase(f.menu->items.begin() + static_cast<std::ptrdiff_t>(f.index));
    if (destroy && sub)
        DestroyMenu(sub);
    return TRUE;
}

BOOL DeleteMenu(HMENU menu, UINT position, UINT flags) { return Remove(menu, position, flags, true); }
BOOL RemoveMenu(HMENU menu, UINT position, UINT flags) { return Remove(menu, position, flags, false); }

int GetMenuItemCount(HMENU menu)
{
    auto rec = Rec(menu);
    return rec ? static_cast<int>(rec->items.size()) : -1;
}

UINT GetMenuItemID(HMENU menu, int pos)
{
    auto rec = Rec(menu);
    if (!rec || pos < 0 || static_cast<size_t>(pos) >= rec->items.size() || rec->items[pos].sub)
        return static_cast<UINT>(-1);
    const MenuItemRec& item = rec->items[pos];
    return (item.type & MFT_SEPARATOR) ? 0 : item.id;
}

HMENU GetSubMenu(HMENU menu, int pos)
{
    auto rec = Rec(menu);
    if (!rec || pos < 0 || static_cast<size_t>(pos) >= rec->items.size())
        return nullptr;
    return rec->items[pos].sub;
}

int GetMenuString(HMENU menu, UINT item, LPSTR buffer, int maxCount, UINT flags)
{
    Found f;
    if (!FindItem(menu, item, flags, f))
        return 0;
    const std::string& text = f.menu->items[f.index].text;
    if (!buffer || maxCount <= 0)
        return static_cast<int>(text.size());
    return static_cast<int>(CopyWindowText(text, static_cast<WPARAM>(maxCount), reinterpret_cast<LPARAM>(buffer)));
}

UINT GetMenuState(HMENU menu, UINT item, UINT flags)
{
    Found f;
    if (!FindItem(menu, item, flags, f))
        return static_cast<UINT>(-1);
    return ItemFlags(f.menu->items[f.index]);
}

BOOL EnableMenuItem(HMENU menu, UINT item, UINT enable)
{
    Found f;
    if (!FindItem(menu, item, enable, f))
        return -1;
    UINT& state = f.menu->items[f.index].state;
    const UINT old = state & (MF_GRAYED | MF_DISABLED);
    state = (state & ~(MF_GRAYED | MF_DISABLED)) | (enable & (MF_GRAYED | MF_DISABLED));
    return static_cast<BOOL>(old);
}

DWORD CheckMenuItem(HMENU menu, UINT item, UINT check)
{
    Found f;
    if (!FindItem(menu, item, check, f))
        return static_cast<DWORD>(-1);
    UINT& state = f.menu->items[f.index].state;
    const DWORD old = state & MF_CHECKED;
    state = (state & ~MF_CHECKED) | (check & MF_CHECKED);
    return old;
}

BOOL CheckMenuRadioItem(HMENU menu, UINT first, UINT last, UINT check, UINT flags)
{
    if (flags & MF_BYPOSITION) {
        auto rec = Rec(menu);
        if (!rec || first > last || last >= rec->items.size() || check < first || check > last)
            return FALSE;
        for (UINT i = first; i <= last; ++i) {
            MenuItemRec& item = rec->items[i];
            if (i == check) {
                item.state |= MF_CHECKED;
                item.type |= MFT_RADIOCHECK;
            } else {
                item.state &= ~MF_CHECKED;
            }
        }
        return TRUE;
    }
    Found f;
    if (!FindByCommand(menu, check, f))
        return FALSE;
    for (MenuItemRec& item : f.menu->items) {
        if (item.sub || item.id < first || item.id > last)
            continue;
        if (item.id == check) {
            item.state |= MF_CHECKED;
            item.type |= MFT_RADIOCHECK;
        } else {
            item.state &= ~MF_CHECKED;
        }
    }
    return TRUE;
}

BOOL SetMenuItemBitmaps(HMENU menu, UINT position, UINT flags, HBITMAP unchecked, HBITMAP checked)
{
    Found f;
    if (!FindItem(menu, position, flags, f))
        return FALSE;
    f.menu->items[f.index].unchecked = unchecked;
    f.menu->items[f.index].checked = checked;
    return TRUE;
}

BOOL GetMenuItemInfo(HMENU menu, UINT itemId, BOOL byPosition, LPMENUITEMINFO info)
{
    Found f;
    if (!info || !FindItem(menu, itemId, byPosition ? MF_BYPOSITION : MF_BYCOMMAND, f))
        return FALSE;
    const MenuItemRec& item = f.menu->items[f.index];
    if (info->fMask & (MIIM_TYPE | MIIM_FTYPE))
        info->fType = item.type;
    if (info->fMask & MIIM_STATE)
        info->fState = item.state;
    if (info->fMask & MIIM_ID)
        info->wID = item.id;
    if (info->fMask & MIIM_SUBMENU)
        info->hSubMenu = item.sub;
    if (info->fMask & MIIM_CHECKMARKS) {
        info->hbmpChecked = item.checked;
        info->hbmpUnchecked = item.unchecked;
    }
    if (info->fMask & MIIM_DATA)
        info->dwItemData = item.data;
    if (info->fMask & MIIM_BITMAP)
        info->hbmpItem = item.bitmap;
    if ((info->fMask & (MIIM_STRING | MIIM_TYPE)) && !(item.type & (MFT_OWNERDRAW | MFT_SEPARATOR | MFT_BITMAP))) {
        if (info->dwTypeData && info->cch > 0)
            info->cch = static_cast<UINT>(
                CopyWindowText(item.text, info->cch, reinterpret_cast<LPARAM>(info->dwTypeData)));
        else
            info->cch = static_cast<UINT>(item.text.size());
    }
    return TRUE;
}

static void ApplyItemInfo(MenuItemRec& item, LPCMENUITEMINFO info)
{
    if (info->fMask & (MIIM_TYPE | MIIM_FTYPE)) {
        item.type = info->fType & ~MF_POPUP;
        if ((info->fMask & MIIM_TYPE) && (item.type & MFT_BITMAP))
            item.bitmap = reinterpret_cast<HBITMAP>(info->dwTypeData);
        else if ((info->fMask & MIIM_TYPE) && !(item.type & (MFT_OWNERDRAW | MFT_SEPARATOR)))
            item.text = info->dwTypeData ? info->dwTypeData : "";
    }
    if (info->fMask & MIIM_STRING)
        item.text = info->dwTypeData ? info->dwTypeData : "";
    if (info->fMask & MIIM_STATE)
        item.state = info->fState & (MFS_GRAYED | MFS_CHECKED | MFS_HILITE | MFS_DEFAULT);
    if (info->fMask & MIIM_ID)
        item.id = info->wID;
    if (info->fMask & MIIM_SUBMENU) {
        item.sub = Rec(info->hSubMenu) ? info->hSubMenu : nullptr;
        if (auto sub = Rec(item.sub))
            sub->popup = true;
    }
    if (info->fMask & MIIM_CHECKMARKS) {
        item.checked = info->hbmpChecked;
        item.unchecked = info->hbmpUnchecked;
    }
    if (info->fMask & MIIM_DATA)
        item.data = info->dwItemData;
    if (info->fMask & MIIM_BITMAP)
        item.bitmap = info->hbmpItem;
}

BOOL SetMenuItemInfo(HMENU menu, UINT itemId, BOOL byPosition, LPCMENUITEMINFO info)
{
    Found f;
    if (!info || !FindItem(menu, itemId, byPosition ? MF_BYPOSITION : MF_BYCOMMAND, f))
        return FALSE;
    ApplyItemInfo(f.menu->items[f.index], info);
    return TRUE;
}

BOOL InsertMenuItem(HMENU menu, UINT itemId, BOOL byPosition, LPCMENUITEMINFO info)
{
    if (!info)
        return FALSE;
    MenuItemRec item;
    ApplyItemInfo(item, info);
    return InsertItem(menu, itemId, byPosition != FALSE, std::move(item));
}

BOOL HiliteMenuItem(HWND, HMENU menu, UINT item, UINT hilite)
{
    Found f;
    if (!FindItem(menu, item, hilite, f))
        return FALSE;
    UINT& state = f.menu->items[f.index].state;
    state = (state & ~MF_HILITE) | (hilite & MF_HILITE);
    return TRUE;
}

BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int, HWND owner, LPCRECT)
{
    if (!Rec(menu) || !IsWindow(owner))
        return FALSE;
    auto track = std::make_shared<Track>();
    track->owner = owner;
    track->notify = !(flags & TPM_NONOTIFY);
    track->post = !(flags & TPM_RETURNCMD);
    std::unique_ptr<QMenu> qm(MakeQMenu(menu, 0, track, nullptr));
    track->top = qm.get();
    if (track->notify) {
        SendMessage(owner, WM_ENTERMENULOOP, TRUE, 0);
        SendMessage(owner, WM_INITMENU, reinterpret_cast<WPARAM>(menu), 0);
    }
    Prepare(qm.get(), menu, 0, track);
    // Prepared already: showing it now must not tell the owner again.
    track->prepared = qm.get();
    if (Hook()) {
        const UINT id = Hook()(menu, qm.get());
        if (id != 0 && HasEnabledCommand(menu, id))
            Choose(track, id);
    } else {
        const QSize size = qm->sizeHint();
        if (flags & TPM_RIGHTALIGN)
            x -= size.width();
        else if (flags & TPM_CENTERALIGN)
            x -= size.width() / 2;
        if (flags & TPM_BOTTOMALIGN)
            y -= size.height();
        else if (flags & TPM_VCENTERALIGN)
            y -= size.height() / 2;
        qm->exec(QPoint(x, y));
    }
    if (track->notify && IsWindow(owner))
        SendMessage(owner, WM_EXITMENULOOP, TRUE, 0);
    if (flags & TPM_RETURNCMD)
        return static_cast<BOOL>(track->chosen);
    return TRUE;
}

HMENU GetMenu(HWND hwnd)
{
    if (!IsWindow(hwnd))
        return nullptr;
    auto it = WindowMenus().find(hwnd);
    return it == WindowMenus().end() ? nullptr : it->second;
}

BOOL SetMenu(HWND hwnd, HMENU menu)
{
    if (!IsWindow(hwnd) || (menu && !Rec(menu)) || (GetWindowLongPtr(hwnd, GWL_STYLE) & WS_CHILD))
        return FALSE;
    if (menu)
        WindowMenus()[hwnd] = menu;
    else
        WindowMenus().erase(hwnd);
    BuildBar(hwnd, menu);
    return TRUE;
}

BOOL DrawMenuBar(HWND hwnd)
{
    if (!IsWindow(hwnd))
        return FALSE;
    BuildBar(hwnd, GetMenu(hwnd));
    return TRUE;
}

HMENU GetSystemMenu(HWND hwnd, BOOL revert)
{
    if (!IsWindow(hwnd))
        return nullptr;
    auto it = SystemMenus().find(hwnd);
    if (revert) {
        if (it != SystemMenus().end()) {
            DestroyMenu(it->second);
            SystemMenus().erase(it);
        }
        return nullptr;
    }
    if (it != SystemMenus().end() && IsMenu(it->second))
        return it->second;
    HMENU menu = CreatePopupMenu();
    AppendMenu(menu, MF_STRING, SC_RESTORE, "&Restore");
    AppendMenu(menu, MF_STRING, SC_MINIMIZE, "Mi&nimize");
    AppendMenu(menu, MF_STRING, SC_MAXIMIZE, "Ma&ximize");
    AppendMenu(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenu(menu, MF_STRING, SC_CLOSE, "&Close\tAlt+F4");
    SystemMenus()[hwnd] = menu;
    return menu;
}

bool qlafx::TrackSystemMenu(HWND hwnd, int x, int y)
{
    auto it = SystemMenus().find(hwnd);
    if (!IsWindow(hwnd) || it == SystemMenus().end() || !IsMenu(it->second))
        return false;
    // No WM_INITMENUPOPUP: command updating would gray the SC_ items.
    const UINT id = static_cast<UINT>(TrackPopupMenu(it->second, TPM_RETURNCMD | TPM_NONOTIFY, x, y, 0, hwnd, nullptr));
    if (id && IsWindow(hwnd))
        SendMessage(hwnd, WM_SYSCOMMAND, id, MAKELPARAM(x, y));
    return true;
}

// ---- accelerators ----
HACCEL LoadAccelerators(HINSTANCE, LPCSTR name)
{
    const UINT id = ResourceId(name);
    const AcceleratorTable* table = id ? FindAccelerators(id) : nullptr;
    if (!table)
        return nullptr;
    {
        std::lock_guard lock(g_lock);
        auto it = LoadedAccels().find(table);
        if (it != LoadedAccels().end())
            return it->second;
    }
    HACCEL h = NewAccel(table->entries);
    std::lock_guard lock(g_lock);
    LoadedAccels()[table] = h;
    return h;
}

HACCEL CreateAcceleratorTable(LPACCEL entries, int count)
{
    if (!entries || count <= 0)
        return nullptr;
    return NewAccel(std::vector<ACCEL>(entries, entries + count));
}

BOOL DestroyAcceleratorTable(HACCEL accel)
{
    std::lock_guard lock(g_lock);
    for (const auto& [table, h] : LoadedAccels())
        if (h == accel)
            return TRUE;  // loaded tables live for the run
    return AccelTables().erase(accel) ? TRUE : FALSE;
}

int CopyAcceleratorTable(HACCEL accel, LPACCEL out, int count)
{
    std::lock_guard lock(g_lock);
    auto it = AccelTables().find(accel);
    if (it == AccelTables().end())
        return 0;
    const int n = static_cast<int>(it->second.size());
    if (!out)
        return n;
    const int copied = std::min(n, std::max(count, 0));
    std::copy_n(it->second.begin(), copied, out);
    return copied;
}

int TranslateAccelerator(HWND hwnd, HACCEL accel, LPMSG msg)
{
    if (!msg || !IsWindow(hwnd))
        return 0;
    const bool keyDown = msg->message == WM_KEYDOWN || msg->message == WM_SYSKEYDOWN;
    const bool charMsg = msg->message == WM_CHAR || msg->message == WM_SYSCHAR;
    if (!keyDown && !charMsg)
        return 0;
    std::vector<ACCEL> entries;
    {
        std::lock_guard lock(g_lock);
        auto it = AccelTables().find(accel);
        if (it == AccelTables().end())
            return 0;
        entries = it->second;
    }
    const bool shift = GetKeyState(VK_SHIFT) < 0;
    const bool ctrl = GetKeyState(VK_CONTROL) < 0;
    const bool alt = GetKeyState(VK_MENU) < 0 || msg->message == WM_SYSKEYDOWN || msg->message == WM_SYSCHAR;
    for (const ACCEL& a : entries) {
        bool match;
        if (a.fVirt & FVIRTKEY)
            match = keyDown && a.key == msg->wParam && ((a.fVirt & FSHIFT) != 0) == shift &&
                    ((a.fVirt & FCONTROL) != 0) == ctrl && ((a.fVirt & FALT) != 0) == alt;
        else
            match = charMsg && a.key == msg->wParam && ((a.fVirt & FALT) != 0) == alt;
        if (!match)
            continue;
        if (IsWindowEnabled(hwnd))
            SendMessage(hwnd, WM_COMMAND, MAKEWPARAM(a.cmd, 1), 0);
        return 1;
    }
    return 0;
}

// ---- CWnd's menu functions ----
CMenu* CWnd::GetMenu() const { return CMenu::FromHandle(::GetMenu(m_hWnd)); }
BOOL CWnd::SetMenu(CMenu* pMenu) { return ::SetMenu(m_hWnd, pMenu ? pMenu->m_hMenu : nullptr); }
CMenu* CWnd::GetSystemMenu(BOOL bRevert) const { return CMenu::FromHandle(::GetSystemMenu(m_hWnd, bRevert)); }
void CWnd::DrawMenuBar() { ::DrawMenuBar(m_hWnd); }

// ---- CMenu ----
IMPLEMENT_DYNCREATE(CMenu, CObject)

CMenu::~CMenu()
{
    if (m_hMenu && FromHandlePermanent(m_hMenu) == this)
        ::DestroyMenu(m_hMenu);
}

CMenu* CMenu::FromHandlePermanent(HMENU hMenu)
{
    auto rec = Rec(hMenu);
    return rec ? rec->permanent : nullptr;
}

CMenu* CMenu::FromHandle(HMENU hMenu)
{
    if (!hMenu || !IsMenu(hMenu))
        return nullptr;
    if (CMenu* permanent = FromHandlePermanent(hMenu))
        return permanent;
    auto& temp = TempMenus()[hMenu];
    if (!temp) {
        temp = std::make_unique<CMenu>();
        temp->m_hMenu = hMenu;
    }
    return temp.get();
}

void CMenu::DeleteTempMap()
{
    for (auto& [h, menu] : TempMenus())
        menu->m_hMenu = nullptr;
    TempMenus().clear();
}

BOOL CMenu::Attach(HMENU hMenu)
{
    auto rec = Rec(hMenu);
    if (!rec || m_hMenu)
        return FALSE;
    m_hMenu = hMenu;
    rec->permanent = this;
    return TRUE;
}

HMENU CMenu::Detach()
{
    HMENU h = m_hMenu;
    if (auto rec = Rec(h); rec && rec->permanent == this)
        rec->permanent = nullptr;
    m_hMenu = nullptr;
    return h;
}

BOOL CMenu::CreateMenu() { return Attach(::CreateMenu()); }
BOOL CMenu::CreatePopupMenu() { return Attach(::CreatePopupMenu()); }
BOOL CMenu::LoadMenu(LPCSTR lpszResourceName) { return Attach(::LoadMenu(AfxGetResourceHandle(), lpszResourceName)); }
BOOL CMenu::LoadMenu(UINT nIDResource) { return LoadMenu(MAKEINTRESOURCE(nIDResource)); }
BOOL CMenu::LoadMenuIndirect(const void* lpMenuTemplate) { return Attach(::LoadMenuIndirect(lpMenuTemplate)); }

BOOL CMenu::DestroyMenu()
{
    if (!m_hMenu)
        return FALSE;
    return ::DestroyMenu(Detach());
}

BOOL CMenu::DeleteMenu(UINT nPosition, UINT nFlags) { return ::DeleteMenu(m_hMenu, nPosition, nFlags); }
BOOL CMenu::AppendMenu(UINT nFlags, UINT_PTR nIDNewItem, LPCSTR lpszNewItem)
{
    return ::AppendMenu(m_hMenu, nFlags, nIDNewItem, lpszNewItem);
}
BOOL CMenu::InsertMenu(UINT nPosition, UINT nFlags, UINT_PTR nIDNewItem, LPCSTR lpszNewItem)
{
    return ::InsertMenu(m_hMenu, nPosition, nFlags, nIDNewItem, lpszNewItem);
}
BOOL CMenu::ModifyMenu(UINT nPosition, UINT nFlags, UINT_PTR nIDNewItem, LPCSTR lpszNewItem)
{
    return ::ModifyMenu(m_hMenu, nPosition, nFlags, nIDNewItem, lpszNewItem);
}
BOOL CMenu::RemoveMenu(UINT nPosition, UINT nFlags) { return ::RemoveMenu(m_hMenu, nPosition, nFlags); }
UINT CMenu::EnableMenuItem(UINT nIDEnableItem, UINT nEnable)
{
    return static_cast<UINT>(::EnableMenuItem(m_hMenu, nIDEnableItem, nEnable));
}
UINT CMenu::CheckMenuItem(UINT nIDCheckItem, UINT nCheck)
{
    return static_cast<UINT>(::CheckMenuItem(m_hMenu, nIDCheckItem, nCheck));
}
BOOL CMenu::CheckMenuRadioItem(UINT nIDFirst, UINT nIDLast, UINT nIDItem, UINT nFlags)
{
    return ::CheckMenuRadioItem(m_hMenu, nIDFirst, nIDLast, nIDItem, nFlags);
}
BOOL CMenu::SetMenuItemBitmaps(UINT nPosition, UINT nFlags, const CBitmap* pBmpUnchecked, const CBitmap* pBmpChecked)
{
    return ::SetMenuItemBitmaps(m_hMenu, nPosition, nFlags, pBmpUnchecked ? HBITMAP(*pBmpUnchecked) : nullptr,
                                pBmpChecked ? HBITMAP(*pBmpChecked) : nullptr);
}
UINT CMenu::GetMenuItemCount() const { return static_cast<UINT>(::GetMenuItemCount(m_hMenu)); }
UINT CMenu::GetMenuItemID(int nPos) const { return ::GetMenuItemID(m_hMenu, nPos); }
UINT CMenu::GetMenuState(UINT nID, UINT nFlags) const { return ::GetMenuState(m_hMenu, nID, nFlags); }
int CMenu::GetMenuString(UINT nIDItem, LPSTR lpString, int nMaxCount, UINT nFlags) const
{
    return ::GetMenuString(m_hMenu, nIDItem, lpString, nMaxCount, nFlags);
}
int CMenu::GetMenuString(UINT nIDItem, CString& rString, UINT nFlags) const
{
    const int n = ::GetMenuString(m_hMenu, nIDItem, nullptr, 0, nFlags);
    std::string s(static_cast<size_t>(n) + 1, '\0');
    ::GetMenuString(m_hMenu, nIDItem, s.data(), n + 1, nFlags);
    s.resize(static_cast<size_t>(n));
    rString = CString(s.c_str());
    return n;
}
BOOL CMenu::GetMenuItemInfo(UINT uItem, LPMENUITEMINFO lpMenuItemInfo, BOOL fByPos)
{
    return ::GetMenuItemInfo(m_hMenu, uItem, fByPos, lpMenuItemInfo);
}
BOOL CMenu::SetMenuItemInfo(UINT uItem, LPCMENUITEMINFO lpMenuItemInfo, BOOL fByPos)
{
    return ::SetMenuItemInfo(m_hMenu, uItem, fByPos, lpMenuItemInfo);
}
CMenu* CMenu::GetSubMenu(int nPos) const { return FromHandle(::GetSubMenu(m_hMenu, nPos)); }
BOOL CMenu::TrackPopupMenu(UINT nFlags, int x, int y, CWnd* pWnd, LPCRECT lpRect)
{
    return ::TrackPopupMenu(m_hMenu, nFlags, x, y, 0, HwndOf(pWnd), lpRect);
}

void CMenu::DrawItem(LPDRAWITEMSTRUCT) {}
void CMenu::MeasureItem(LPMEASUREITEMSTRUCT) {}
