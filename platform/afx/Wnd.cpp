#include "platform/afx/Wnd.h"

#include "platform/afx/CommCtrl.h"
#include "platform/afx/Controls.h"
#include "platform/afx/DC.h"
#include "platform/afx/DataExchange.h"
#include "platform/afx/Dialog.h"
#include "platform/afx/FileQuestions.h"
#include "platform/afx/Ipc.h"
#include "platform/afx/Menu.h"
#include "platform/afx/MessageBox.h"
#include "platform/afx/QtBridge.h"
#include "platform/afx/Resources.h"
#include "platform/afx/WinApp.h"
#include "platform/afx/WinThread.h"
#include "platform/afx/WndRecord.h"

#include <QApplication>
#include <QEventLoop>
#include <QIcon>
#include <QMenuBar>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <unordered_map>

namespace qlafx {

// ---- registry ----
namespace {

std::mutex g_registryLock;
// Made on first use and never destroyed: global objects (the application,
// settings holding brushes) reach these tables while globals are still being
// constructed, and again while they are being destroyed at exit.
std::unordered_map<HWND, std::shared_ptr<WindowRecord>>& TheWindows()
{
    static auto* instance = new std::unordered_map<HWND, std::shared_ptr<WindowRecord>>;
    return *instance;
}
std::uintptr_t g_nextSerial = 0;

HWND NewHandle()
{
    // Serial numbers never repeat; spaced by 16 and far from the special
    // HWND_* values and from small integers.
    g_nextSerial += 16;
    return reinterpret_cast<HWND>(0x10000 + g_nextSerial);
}

std::string Lower(const char* s)
{
    std::string out = s ? s : "";
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

std::mutex g_classLock;
std::map<std::string, WindowClass>& TheClasses()
{
    static auto* instance = new std::map<std::string, WindowClass>;
    return *instance;
}
std::map<std::string, std::unique_ptr<BuiltinClass>>& TheBuiltins()
{
    static auto* instance = new std::map<std::string, std::unique_ptr<BuiltinClass>>;
    return *instance;
}

const WindowClass* LookUpClass(const std::string& key)
{
    std::lock_guard lock(g_classLock);
    auto it = TheClasses().find(key);
    return it == TheClasses().end() ? nullptr : &it->second;
}

// The built-in control classes register on first use: registration from a
// static object would be dropped by the linker with the rest of an unused
// object file of the static library.
const WindowClass* FindClass(LPCSTR name)
{
    const std::string key = Lower(name);
    if (const WindowClass* wc = LookUpClass(key))
        return wc;
    qlafx::RegisterDialogClasses();
    if (const WindowClass* wc = LookUpClass(key))
        return wc;
    qlafx::RegisterCommonControlClasses();
    return LookUpClass(key);
}

thread_local CWnd* t_creating = nullptr;
thread_local MSG t_lastSent{};
thread_local EventContext* t_eventContext = nullptr;
thread_local std::map<HWND, CWnd*>* t_tempMap = nullptr;

std::map<HWND, CWnd*>& TempMap()
{
    if (!t_tempMap)
        t_tempMap = new std::map<HWND, CWnd*>;
    return *t_tempMap;
}

}  // namespace

std::shared_ptr<WindowRecord> Record(HWND hwnd)
{
    if (!hwnd)
        return nullptr;
    std::lock_guard lock(g_registryLock);
    auto it = TheWindows().find(hwnd);
    return it == TheWindows().end() ? nullptr : it->second;
}

WindowRecord* RecordOnThread(HWND hwnd)
{
    return Record(hwnd).get();
}

std::vector<HWND> AllWindows()
{
    std::lock_guard lock(g_registryLock);
    std::vector<HWND> out;
    for (auto& [h, rec] : TheWindows())
        out.push_back(h);
    std::sort(out.begin(), out.end());  // creation order
    return out;
}

bool IsHandleOfThisProcess(HWND hwnd)
{
    const auto v = reinterpret_cast<std::uintptr_t>(hwnd);
    std::lock_guard lock(g_registryLock);
    return v > 0x10000 && v <= 0x10000 + g_nextSerial && (v - 0x10000) % 16 == 0;
}

EventContext* CurrentEventContext()
{
    return t_eventContext;
}

void PushEventContext(EventContext* ctx)
{
    ctx->outer = t_eventContext;
    t_eventContext = ctx;
}

void PopEventContext(EventContext* ctx)
{
    t_eventContext = ctx->outer;
}

const MSG* CurrentMessage()
{
    return &t_lastSent;
}

LRESULT CallProc(WindowRecord* rec, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (!rec || !rec->alive)
        return 0;
    WNDPROC proc = rec->proc;
    return proc ? proc(rec->handle, msg, wParam, lParam) : ::DefWindowProc(rec->handle, msg, wParam, lParam);
}

void RegisterBuiltinClass(const char* name, BuiltinClass cls)
{
    std::lock_guard lock(g_classLock);
    const std::string key = Lower(name);
    auto& stored = TheBuiltins()[key];
    stored = std::make_unique<BuiltinClass>(std::move(cls));
    WindowClass& wc = TheClasses()[key];
    wc.name = name;
    wc.builtin = stored.get();
    wc.wc = WNDCLASS{};
    wc.wc.style = stored->classStyle;
    wc.wc.lpfnWndProc = stored->defProc;
    wc.wc.hCursor = stored->cursor;
    wc.wc.hbrBackground = stored->background;
    wc.wc.lpszClassName = wc.name.c_str();
}

QWidget* WidgetOf(HWND hwnd)
{
    auto rec = Record(hwnd);
    return rec ? rec->widget.data() : nullptr;
}

HWND WindowOf(const QWidget* widget)
{
    if (!widget)
        return nullptr;
    const QVariant v = widget->property("qlafx_hwnd");
    return v.isValid() ? reinterpret_cast<HWND>(static_cast<std::uintptr_t>(v.toULongLong())) : nullptr;
}

CWnd* WndFromHandle(HWND hwnd)
{
    return CWnd::FromHandle(hwnd);
}

CDC* DCFromHandle(HDC hdc)
{
    return CDC::FromHandle(hdc);
}

}  // namespace qlafx

using namespace qlafx;

// ---- classes ----
ATOM RegisterClass(const WNDCLASS* wc)
{
    if (!wc || !wc->lpszClassName || !*wc->lpszClassName)
        return 0;
    std::lock_guard lock(g_classLock);
    const std::string key = Lower(wc->lpszClassName);
    if (TheClasses().count(key))
        return 0;
    WindowClass& cls = TheClasses()[key];
    cls.name = wc->lpszClassName;
    cls.wc = *wc;
    cls.wc.lpszClassName = cls.name.c_str();
    cls.wc.lpszMenuName = nullptr;
    return static_cast<ATOM>(TheClasses().size() + 0xC000 > 0xFFFF ? 0xFFFF : TheClasses().size() + 0xC000);
}

BOOL GetClassInfo(HINSTANCE, LPCSTR className, WNDCLASS* out)
{
    const WindowClass* cls = FindClass(className);
    if (!cls)
        return FALSE;
    if (out)
        *out = cls->wc;
    return TRUE;
}

BOOL UnregisterClass(LPCSTR className, HINSTANCE)
{
    std::lock_guard lock(g_classLock);
    auto it = TheClasses().find(Lower(className));
    if (it == TheClasses().end() || it->second.builtin)
        return FALSE;
    TheClasses().erase(it);
    return TRUE;
}

BOOL AfxRegisterClass(WNDCLASS* lpWndClass)
{
    WNDCLASS existing;
    if (GetClassInfo(lpWndClass->hInstance, lpWndClass->lpszClassName, &existing))
        return TRUE;
    return RegisterClass(lpWndClass) != 0;
}

LPCSTR AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor, HBRUSH hbrBackground, HICON hIcon)
{
    char name[128];
    std::snprintf(name, sizeof name, "Afx:%x:%p:%p:%p", nClassStyle, static_cast<void*>(hCursor),
                  static_cast<void*>(hbrBackground), static_cast<void*>(hIcon));
    if (!FindClass(name)) {
        WNDCLASS wc{};
        wc.style = nClassStyle;
        wc.lpfnWndProc = ::DefWindowProc;
        wc.hCursor = hCursor;
        wc.hbrBackground = hbrBackground;
        wc.hIcon = hIcon;
        wc.lpszClassName = name;
        RegisterClass(&wc);
    }
    return FindClass(name)->name.c_str();
}

static const char kDefaultClass[] = "AfxWnd";

static void RegisterDefaultClass()
{
    if (FindClass(kDefaultClass))
        return;
    WNDCLASS wc{};
    wc.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = ::DefWindowProc;
    wc.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = kDefaultClass;
    RegisterClass(&wc);
}

int GetClassName(HWND hwnd, LPSTR out, int size)
{
    auto rec = Record(hwnd);
    if (!rec || !out || size <= 0)
        return 0;
    const int n = std::min<int>(size - 1, static_cast<int>(rec->className.size()));
    std::memcpy(out, rec->className.data(), static_cast<size_t>(n));
    out[n] = '\0';
    return n;
}

// ---- creation ----
// Windows gives an overlapped window a caption whatever its style says.
static bool HasFrame(DWORD style)
{
    return !(style & WS_CHILD) && (!(style & WS_POPUP) || (style & WS_CAPTION) == WS_CAPTION);
}

// A framed window without WS_THICKFRAME cannot be resized by the user; the
// window manager is told through equal minimum and maximum sizes.
static bool IsFixedFrame(DWORD style)
{
    return HasFrame(style) && !(style & WS_THICKFRAME);
}

static Qt::WindowFlags TopLevelFlags(DWORD style, DWORD exStyle, bool dialog)
{
    Qt::WindowFlags flags = (exStyle & WS_EX_TOOLWINDOW) ? Qt::Tool : dialog ? Qt::Dialog : Qt::Window;
    if ((style & WS_POPUP) && (style & WS_CAPTION) != WS_CAPTION)
        flags |= Qt::FramelessWindowHint;
    else if (HasFrame(style)) {
        flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint;
        if (style & WS_SYSMENU)
            flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
        if (style & WS_MINIMIZEBOX)
            flags |= Qt::WindowMinimizeButtonHint;
        if (style & WS_MAXIMIZEBOX)
            flags |= Qt::WindowMaximizeButtonHint;
    }
    if (exStyle & WS_EX_TOPMOST)
        flags |= Qt::WindowStaysOnTopHint;
    return flags;
}

static void ResizeWidget(WindowRecord* rec, int cx, int cy)
{
    const QSize size(std::max(cx, 0), std::max(cy, 0));
    if (IsFixedFrame(rec->style))
        rec->widget->setFixedSize(size);
    else
        rec->widget->resize(size);
}

// A top-level window opens on the screen of its owner (else the one under
// its centre) and is moved inside that screen's available area.
static void PlaceOnScreen(WindowRecord* rec)
{
    QWidget* w = rec->widget;
    QWidget* owner = WidgetOf(rec->owner);
    QScreen* screen = owner ? owner->window()->screen() : QGuiApplication::screenAt(w->geometry().center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    if (w->screen() != screen)
        w->setScreen(screen);
    const QRect area = screen->availableGeometry();
    const QRect frame = w->frameGeometry();
    QPoint at = frame.topLeft();
    at.setX(std::max(area.left(), std::min(at.x(), area.right() + 1 - frame.width())));
    at.setY(std::max(area.top(), std::min(at.y(), area.bottom() + 1 - frame.height())));
    if (at != frame.topLeft())
        w->move(w->pos() + (at - frame.topLeft()));
}

static QWidget* MakeWidget(const WindowClass& cls, HWND hwnd, const CREATESTRUCT& cs, QWidget* parent)
{
    if (cls.builtin && cls.builtin->createWidget)
        return cls.builtin->createWidget(hwnd, cs, parent);
    return new LayerWidget(parent);
}

// Geometry for CW_USEDEFAULT, as Windows gives overlapped windows.
static void DefaultGeometry(int& x, int& y, int& cx, int& cy)
{
    if (x == CW_USEDEFAULT) {
        x = 100;
        y = 100;
    }
    if (cx == CW_USEDEFAULT) {
        cx = 640;
        cy = 480;
    }
}

// Asks the window for its tracking limits and hands them to Qt, which keeps
// the user's and the program's resizes inside them. Limits left at the
// defaults mean none.
static void ApplyMinMax(WindowRecord* rec)
{
    if ((rec->style & WS_CHILD) || !rec->widget)
        return;
    if (IsFixedFrame(rec->style)) {
        rec->widget->setFixedSize(rec->widget->size());
        return;
    }
    MINMAXINFO mmi{};
    const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    mmi.ptMaxSize = {sw, sh};
    mmi.ptMaxTrackSize = {sw + 16, sh + 16};
    mmi.ptMinTrackSize = {GetSystemMetrics(SM_CXMIN), GetSystemMetrics(SM_CYMIN)};
    const MINMAXINFO defaults = mmi;
    CallProc(rec, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
    if (!rec->widget || !rec->alive)
        return;
    const bool minSet = mmi.ptMinTrackSize.x != defaults.ptMinTrackSize.x ||
                        mmi.ptMinTrackSize.y != defaults.ptMinTrackSize.y;
    const bool maxSet = mmi.ptMaxTrackSize.x != defaults.ptMaxTrackSize.x ||
                        mmi.ptMaxTrackSize.y != defaults.ptMaxTrackSize.y;
    rec->widget->setMinimumSize(minSet ? QSize(std::max(mmi.ptMinTrackSize.x, 0), std::max(mmi.ptMinTrackSize.y, 0))
                                       : QSize(0, 0));
    rec->widget->setMaximumSize(maxSet ? QSize(std::max(mmi.ptMaxTrackSize.x, 0), std::max(mmi.ptMaxTrackSize.y, 0))
                                       : QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
}

namespace qlafx {

void NotifyParents(HWND child, UINT event, const QPoint* globalPos)
{
    const WORD id = globalPos ? 0 : static_cast<WORD>(GetDlgCtrlID(child));
    for (HWND h = child;;) {
        auto rec = Record(h);
        if (!rec || !(rec->style & WS_CHILD) || (rec->exStyle & WS_EX_NOPARENTNOTIFY) || !IsWindow(rec->parent))
            return;
        const HWND parent = rec->parent;
        LPARAM lParam = reinterpret_cast<LPARAM>(child);
        if (globalPos) {
            POINT pt{globalPos->x(), globalPos->y()};
            ScreenToClient(parent, &pt);
            lParam = MAKELPARAM(static_cast<WORD>(static_cast<SHORT>(pt.x)), static_cast<WORD>(static_cast<SHORT>(pt.y)));
        }
        SendMessage(parent, WM_PARENTNOTIFY, MAKEWPARAM(static_cast<WORD>(event), id), lParam);
        h = parent;
    }
}

}  // namespace qlafx

HWND CreateWindowEx(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int cx, int cy,
                    HWND parent, HMENU menuOrId, HINSTANCE instance, LPVOID param)
{
    if (!IsGuiThread()) {
        qWarning("CreateWindowEx: windows are made on the GUI thread only");
        return nullptr;
    }
    if (!className)
        className = kDefaultClass;
    if (Lower(className) == Lower(kDefaultClass))
        RegisterDefaultClass();
    const WindowClass* cls = FindClass(className);
    if (!cls)
        return nullptr;
    std::shared_ptr<WindowRecord> parentRec = Record(parent);
    if ((style & WS_CHILD) && !parentRec)
        return nullptr;
    if (!(style & WS_CHILD))
        DefaultGeometry(x, y, cx, cy);

    auto rec = std::make_shared<WindowRecord>();
    {
        std::lock_guard lock(g_registryLock);
        rec->handle = NewHandle();
        TheWindows()[rec->handle] = rec;
    }
    const HWND hwnd = rec->handle;
    rec->threadId = GetCurrentThreadId();
    EnsureThreadQueue();
    rec->className = cls->name;
    rec->classStyle = cls->wc.style;
    rec->classCursor = cls->wc.hCursor;
    rec->classBackground = cls->wc.hbrBackground;
    rec->proc = cls->wc.lpfnWndProc;
    rec->layerDrawn = !cls->builtin || cls->builtin->layerDrawn;
    rec->style = style & ~WS_VISIBLE;
    rec->exStyle = exStyle;
    rec->text = windowName ? windowName : "";
    if (style & WS_CHILD) {
        rec->parent = parent;
        rec->id = static_cast<UINT>(reinterpret_cast<std::uintptr_t>(menuOrId));
    } else if (parentRec) {
        rec->owner = GetAncestor(parent, GA_ROOT);
    }

    CREATESTRUCT cs{param, instance, menuOrId, parent, cy, cx, y, x, static_cast<LONG>(style), windowName, className,
                    exStyle};
    QWidget* parentWidget = nullptr;
    if (parentRec)
        parentWidget = (style & WS_CHILD) ? parentRec->widget.data() : WidgetOf(rec->owner);
    QWidget* widget = MakeWidget(*cls, hwnd, cs, parentWidget);
    if (!widget) {
        std::lock_guard lock(g_registryLock);
        TheWindows().erase(hwnd);
        rec->alive = false;
        return nullptr;
    }
    if (!(style & WS_CHILD)) {
        widget->setWindowFlags(TopLevelFlags(style, exStyle, rec->className == "#32770"));
        widget->setWindowTitle(QString::fromUtf8(rec->text.c_str()));
    }
    widget->hide();
    rec->widget = widget;
    if (style & WS_CHILD)
        widget->setGeometry(x, y, std::max(cx, 0), std::max(cy, 0));
    else {
        widget->move(x, y);
        ResizeWidget(rec.get(), cx, cy);
    }
    widget->setEnabled(!(style & WS_DISABLED));
    if (exStyle & WS_EX_ACCEPTFILES)
        widget->setAcceptDrops(true);
    AttachBridge(rec.get());
    if (parentRec && (style & WS_CHILD))
        parentRec->children.push_back(hwnd);
    rec->lastSize = widget->size();
    rec->lastPos = widget->isWindow() ? widget->geometry().topLeft() : widget->pos();
    rec->updateRegion = QRegion(0, 0, widget->width(), widget->height());
    rec->eraseNeeded = true;
    if (rec->layerDrawn)
        EnsureSurface(rec.get());

    // The CWnd being created takes the window before its first message.
    if (CWnd* wnd = t_creating) {
        t_creating = nullptr;
        wnd->Attach(hwnd);
        wnd->PreSubclassWindow();
        WNDPROC* super = wnd->GetSuperWndProcAddr();
        *super = rec->proc ? rec->proc : ::DefWindowProc;
        rec->proc = AfxWndProc;
    }

    ApplyMinMax(rec.get());
    // A top-level window's menu is its menu bar from the start.
    if (!(style & WS_CHILD) && menuOrId)
        SetMenu(hwnd, menuOrId);
    if (!CallProc(rec.get(), WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs)) ||
        CallProc(rec.get(), WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
        DestroyWindow(hwnd);
        return nullptr;
    }
    if (!rec->alive)
        return nullptr;
    CallProc(rec.get(), WM_SIZE, SIZE_RESTORED, MAKELPARAM(static_cast<WORD>(widget->width()), static_cast<WORD>(widget->height())));
    CallProc(rec.get(), WM_MOVE, 0, MAKELPARAM(static_cast<WORD>(rec->lastPos.x()), static_cast<WORD>(rec->lastPos.y())));
    NotifyParents(hwnd, WM_CREATE);
    if (rec->alive && (style & WS_VISIBLE))
        ShowWindow(hwnd, (style & WS_MAXIMIZE) ? SW_SHOWMAXIMIZED : SW_SHOW);
    if (rec->alive && !(style & WS_CHILD)) {
        PublishWindow(hwnd);
        InstallFileQuestions();
    }
    return rec->alive ? hwnd : nullptr;
}

HWND CreateWindow(LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int cx, int cy, HWND parent,
                  HMENU menuOrId, HINSTANCE instance, LPVOID param)
{
    return CreateWindowEx(0, className, windowName, style, x, y, cx, cy, parent, menuOrId, instance, param);
}

// ---- destruction ----
static void KillAllTimers(WindowRecord* rec)
{
    for (auto& [id, timer] : rec->timers)
        delete timer;
    rec->timers.clear();
    delete rec->hoverTimer;
    rec->hoverTimer = nullptr;
}

static void DestroyTree(const std::shared_ptr<WindowRecord>& rec)
{
    rec->destroying = true;
    KillAllTimers(rec.get());
    CallProc(rec.get(), WM_DESTROY, 0, 0);
    for (HWND child : std::vector<HWND>(rec->children))
        if (auto c = Record(child); c && !c->destroying)
            DestroyTree(c);
    CallProc(rec.get(), WM_NCDESTROY, 0, 0);
    // An object that did not detach in OnNcDestroy must not keep the handle.
    if (rec->permanent) {
        rec->permanent->m_hWnd = nullptr;
        rec->permanent = nullptr;
    }
    ForgetWindowInput(rec->handle);
    WithdrawWindow(rec->handle);
    if (auto p = Record(rec->parent))
        std::erase(p->children, rec->handle);
    rec->alive = false;
    {
        std::lock_guard lock(g_registryLock);
        TheWindows().erase(rec->handle);
    }
    if (QWidget* w = rec->widget.data())
        w->setProperty("qlafx_hwnd", QVariant());
}

BOOL DestroyWindow(HWND hwnd)
{
    auto rec = Record(hwnd);
    if (!rec || rec->threadId != GetCurrentThreadId())
        return FALSE;
    if (rec->destroying)
        return TRUE;
    NotifyParents(hwnd, WM_DESTROY);
    if (!rec->alive || rec->destroying)
        return TRUE;
    // Owned windows go first, as on Windows.
    for (HWND other : AllWindows())
        if (auto o = Record(other); o && o->owner == hwnd && !o->destroying)
            DestroyWindow(other);
    QPointer<QWidget> widget = rec->widget;
    if (widget)
        widget->hide();
    if (GetCapture() == hwnd)
        ReleaseCapture();
    DestroyTree(rec);
    if (widget) {
        widget->setParent(nullptr);
        widget->deleteLater();
    }
    return TRUE;
}

BOOL IsWindow(HWND hwnd)
{
    auto rec = Record(hwnd);
    if (!rec)
        return qlafx::IsWindowOfOtherProcess(hwnd);
    return rec->alive;
}

// ---- procedures ----
LRESULT CallWindowProc(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return proc ? proc(hwnd, msg, wParam, lParam) : ::DefWindowProc(hwnd, msg, wParam, lParam);
}

LRESULT AfxWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWnd* wnd = CWnd::FromHandlePermanent(hwnd);
    if (!wnd)
        return ::DefWindowProc(hwnd, message, wParam, lParam);
    const MSG saved = t_lastSent;
    t_lastSent = MSG{hwnd, message, wParam, lParam, 0, {0, 0}};
    const LRESULT result = wnd->WindowProc(message, wParam, lParam);
    t_lastSent = saved;
    return result;
}

static HBRUSH DefaultCtlColor(UINT msg, HDC dc)
{
    const bool window = msg == WM_CTLCOLOREDIT || msg == WM_CTLCOLORLISTBOX;
    ::SetTextColor(dc, GetSysColor(window ? COLOR_WINDOWTEXT : COLOR_BTNTEXT));
    ::SetBkColor(dc, GetSysColor(window ? COLOR_WINDOW : COLOR_BTNFACE));
    return GetSysColorBrush(window ? COLOR_WINDOW : COLOR_BTNFACE);
}

LRESULT qlafx::CopyWindowText(const std::string& text, WPARAM size, LPARAM out)
{
    char* buffer = reinterpret_cast<char*>(out);
    if (!buffer || size == 0)
        return 0;
    size_t n = std::min<size_t>(size - 1, text.size());
    // A cut inside a UTF-8 sequence would leave half a character.
    while (n > 0 && n < text.size() && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80)
        --n;
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
    return static_cast<LRESULT>(n);
}

// F10 opens the menu bar of the window's top-level window; Shift+F10 and the
// Menu key ask for the context menu of the focus at no point (-1, -1).
static bool SystemKey(HWND hwnd, UINT msg, WPARAM wParam)
{
    const bool f10 = msg == WM_SYSKEYDOWN && wParam == static_cast<WPARAM>(VK_F10);
    const bool shift = GetKeyState(VK_SHIFT) < 0;
    if ((f10 && shift) || (msg == WM_KEYUP && wParam == static_cast<WPARAM>(VK_APPS))) {
        SendMessage(hwnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd), MAKELPARAM(0xFFFF, 0xFFFF));
        return true;
    }
    if (msg == WM_SYSKEYDOWN && wParam == static_cast<WPARAM>(VK_SPACE)) {
        HWND root = GetAncestor(hwnd, GA_ROOT);
        RECT rc{};
        GetWindowRect(root, &rc);
        return qlafx::TrackSystemMenu(root, rc.left, rc.top);
    }
    if (!f10)
        return false;
    if (QMenuBar* bar = MenuBarOf(GetAncestor(hwnd, GA_ROOT))) {
        for (QAction* a : bar->actions())
            if (a->isVisible() && a->isEnabled() && !a->isSeparator()) {
                bar->setFocus(Qt::MenuBarFocusReason);
                bar->setActiveAction(a);
                break;
            }
    }
    return true;
}

LRESULT DefWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    auto rec = Record(hwnd);
    if (!rec)
        return 0;
    if ((msg == WM_SYSKEYDOWN || msg == WM_KEYUP) && SystemKey(hwnd, msg, wParam))
        return 0;
    // A right click that no child took opens a top-level window's system
    // menu, where the title bar's would be.
    if (msg == WM_CONTEXTMENU && !(rec->style & WS_CHILD) && lParam != static_cast<LPARAM>(-1) &&
        qlafx::TrackSystemMenu(hwnd, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)))
        return 0;
    bool handled = false;
    const LRESULT fromQt = DefaultForEvent(rec.get(), msg, wParam, lParam, &handled);
    if (handled)
        return fromQt;
    switch (msg) {
    case WM_NCCREATE:
        return TRUE;
    case WM_CLOSE:
        DestroyWindow(hwnd);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(hwnd, &ps);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_ERASEBKGND: {
        HBRUSH brush = rec->classBackground;
        if (!brush)
            return 0;
        // A class brush may be a system colour index + 1, as on Windows.
        if (reinterpret_cast<std::uintptr_t>(brush) <= 31)
            brush = GetSysColorBrush(static_cast<int>(reinterpret_cast<std::uintptr_t>(brush)) - 1);
        RECT rc;
        GetClientRect(hwnd, &rc);
        FillRect(reinterpret_cast<HDC>(wParam), &rc, brush);
        return 1;
    }
    case WM_SETTEXT:
        rec->text = lParam ? reinterpret_cast<const char*>(lParam) : "";
        if (rec->widget && rec->widget->isWindow())
            rec->widget->setWindowTitle(QString::fromUtf8(rec->text.c_str()));
        if (!(rec->style & WS_CHILD) && rec->widget)
            qlafx::PublishWindow(hwnd);
        return TRUE;
    case WM_GETTEXT:
        return qlafx::CopyWindowText(rec->text, wParam, lParam);
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(rec->text.size());
    case WM_SETFONT:
        rec->font = reinterpret_cast<HFONT>(wParam);
        if (rec->widget && !rec->layerDrawn && rec->font)
            rec->widget->setFont(FontOf(rec->font));
        if (LOWORD(static_cast<DWORD>(lParam)))
            InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(rec->font);
    case WM_SETICON: {
        const int which = wParam == ICON_BIG ? 1 : 0;
        HICON old = rec->icons[which];
        rec->icons[which] = reinterpret_cast<HICON>(lParam);
        if (rec->widget && rec->icons[which])
            rec->widget->setWindowIcon(QIcon(QPixmap::fromImage(IconImage(rec->icons[which], nullptr))));
        return reinterpret_cast<LRESULT>(old);
    }
    case WM_GETICON:
        return reinterpret_cast<LRESULT>(rec->icons[wParam == ICON_BIG ? 1 : 0]);
    case WM_SETREDRAW:
        rec->redraw = wParam != 0;
        if (rec->widget)
            rec->widget->setUpdatesEnabled(rec->redraw);
        return 0;
    case WM_SETCURSOR:
        if (rec->parent && SendMessage(rec->parent, WM_SETCURSOR, wParam, lParam))
            return TRUE;
        if (LOWORD(static_cast<DWORD>(lParam)) == HTCLIENT && rec->classCursor) {
            SetCursor(rec->classCursor);
            return TRUE;
        }
        return FALSE;
    case WM_MOUSEWHEEL:
    case WM_CONTEXTMENU:
        return rec->parent ? SendMessage(rec->parent, msg, wParam, lParam) : 0;
    case WM_NCHITTEST:
        return HTCLIENT;
    case WM_MOUSEACTIVATE:
        return 1;  // MA_ACTIVATE
    case WM_QUERYENDSESSION:
        return TRUE;
    case WM_WINDOWPOSCHANGING:
        // The limits may have changed since they were last asked for.
        if (lParam && !(reinterpret_cast<const WINDOWPOS*>(lParam)->flags & SWP_NOSIZE))
            ApplyMinMax(rec.get());
        return 0;
    case WM_WINDOWPOSCHANGED:
        SyncGeometry(rec.get());
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(static_cast<DWORD>(wParam)) != WA_INACTIVE) {
            HWND focus = GetFocus();
            if (focus != hwnd && !IsChild(hwnd, focus))
                SetFocus(hwnd);
        }
        return 0;
    case WM_SYSCOMMAND:
        switch (wParam & 0xFFF0) {
        case SC_CLOSE:
            return SendMessage(hwnd, WM_CLOSE, 0, 0);
        case SC_MINIMIZE:
            return ShowWindow(hwnd, SW_MINIMIZE);
        case SC_MAXIMIZE:
            return ShowWindow(hwnd, SW_MAXIMIZE);
        case SC_RESTORE:
            return ShowWindow(hwnd, SW_RESTORE);
        }
        return 0;
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
        return reinterpret_cast<LRESULT>(DefaultCtlColor(msg, reinterpret_cast<HDC>(wParam)));
    }
    return 0;
}

// ---- attributes ----
LONG_PTR GetWindowLongPtr(HWND hwnd, int index)
{
    auto rec = Record(hwnd);
    if (!rec)
        return 0;
    switch (index) {
    case GWL_STYLE:
        return static_cast<LONG_PTR>(rec->style);
    case GWL_EXSTYLE:
        return static_cast<LONG_PTR>(rec->exStyle);
    case GWL_ID:
        return static_cast<LONG_PTR>(rec->id);
    case GWL_USERDATA:
        return rec->userData;
    case GWLP_WNDPROC:
        return reinterpret_cast<LONG_PTR>(rec->proc);
    case GWLP_HWNDPARENT:
        return reinterpret_cast<LONG_PTR>(rec->parent ? rec->parent : rec->owner);
    case GWLP_HINSTANCE:
        return reinterpret_cast<LONG_PTR>(AfxGetInstanceHandle());
    }
    return 0;
}

// Qt disables the windows a widget parents along with it; on Windows an
// owned window keeps its own state when its owner is disabled (a modal
// dialog is owned by the window it disables).
static void SetWidgetEnabled(WindowRecord* rec)
{
    QWidget* w = rec->widget;
    if (!w)
        return;
    w->setEnabled(!(rec->style & WS_DISABLED));
    if (!w->isWindow())
        return;
    for (QObject* o : w->children()) {
        auto* c = qobject_cast<QWidget*>(o);
        if (!c || !c->isWindow())
            continue;
        auto owned = Record(WindowOf(c));
        c->setEnabled(!owned || !(owned->style & WS_DISABLED));
    }
}

static void ApplyStyle(WindowRecord* rec, DWORD old)
{
    if (!rec->widget)
        return;
    if ((old ^ rec->style) & WS_DISABLED)
        SetWidgetEnabled(rec);
    if ((old ^ rec->style) & WS_VISIBLE)
        rec->widget->setVisible((rec->style & WS_VISIBLE) != 0);
}

static void ApplyExStyle(WindowRecord* rec)
{
    if (rec->widget)
        rec->widget->setAcceptDrops((rec->exStyle & WS_EX_ACCEPTFILES) != 0);
}

// GWL_STYLE / GWL_EXSTYLE: WM_STYLECHANGING may alter the new value, then
// WM_STYLECHANGED tells the window (controls restyle themselves there).
static LONG_PTR ChangeStyle(const std::shared_ptr<WindowRecord>& rec, int index, DWORD value)
{
    DWORD& field = index == GWL_STYLE ? rec->style : rec->exStyle;
    const DWORD before = field;
    if (value == before)
        return static_cast<LONG_PTR>(before);
    STYLESTRUCT ss{before, value};
    CallProc(rec.get(), WM_STYLECHANGING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&ss));
    if (!rec->alive)
        return 0;
    field = ss.styleNew;
    if (index == GWL_STYLE)
        ApplyStyle(rec.get(), before);
    else
        ApplyExStyle(rec.get());
    ss.styleOld = before;
    ss.styleNew = field;
    CallProc(rec.get(), WM_STYLECHANGED, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&ss));
    return static_cast<LONG_PTR>(before);
}

LONG_PTR SetWindowLongPtr(HWND hwnd, int index, LONG_PTR value)
{
    auto rec = Record(hwnd);
    if (!rec)
        return 0;
    const LONG_PTR old = GetWindowLongPtr(hwnd, index);
    switch (index) {
    case GWL_STYLE:
    case GWL_EXSTYLE:
        return ChangeStyle(rec, index, static_cast<DWORD>(value));
    case GWL_ID:
        rec->id = static_cast<UINT>(value);
        break;
    case GWL_USERDATA:
        rec->userData = value;
        break;
    case GWLP_WNDPROC:
        rec->proc = reinterpret_cast<WNDPROC>(value);
        break;
    case GWLP_HWNDPARENT:
        if (!rec->parent)
            rec->owner = reinterpret_cast<HWND>(value);
        break;
    default:
        return 0;
    }
    return old;
}

LONG GetWindowLong(HWND hwnd, int index)
{
    return static_cast<LONG>(GetWindowLongPtr(hwnd, index));
}

LONG SetWindowLong(HWND hwnd, int index, LONG value)
{
    // Style bits such as WS_POPUP arrive as negative LONGs.
    const LONG_PTR v = (index == GWL_STYLE || index == GWL_EXSTYLE || index == GWL_ID)
                           ? static_cast<LONG_PTR>(static_cast<DWORD>(value))
                           : static_cast<LONG_PTR>(value);
    return static_cast<LONG>(SetWindowLongPtr(hwnd, index, v));
}

ULONG_PTR GetClassLongPtr(HWND hwnd, int index)
{
    auto rec = Record(hwnd);
    if (!rec)
        return 0;
    switch (index) {
    case GCL_STYLE:
        return rec->classStyle;
    case GCLP_HBRBACKGROUND:
        return reinterpret_cast<ULONG_PTR>(rec->classBackground);
    case GCLP_HCURSOR:
        return reinterpret_cast<ULONG_PTR>(rec->classCursor);
    }
    return 0;
}

// Changes the value for this window only (the layer keeps class values per window).
ULONG_PTR SetClassLongPtr(HWND hwnd, int index, LONG_PTR value)
{
    auto rec = Record(hwnd);
    if (!rec)
        return 0;
    const ULONG_PTR old = GetClassLongPtr(hwnd, index);
    switch (index) {
    case GCL_STYLE:
        rec->classStyle = static_cast<UINT>(value);
        break;
    case GCLP_HBRBACKGROUND:
        rec->classBackground = reinterpret_cast<HBRUSH>(value);
        break;
    case GCLP_HCURSOR:
        rec->classCursor = reinterpret_cast<HCURSOR>(value);
        break;
    }
    return old;
}

DWORD GetWindowThreadProcessId(HWND hwnd, DWORD* processId)
{
    auto rec = Record(hwnd);
    if (!rec)
        return 0;
    if (processId)
        *processId = GetCurrentProcessId();
    return rec->threadId;
}

// ---- hierarchy ----
HWND GetParent(HWND hwnd)
{
    auto rec = Record(hwnd);
    if (!rec)
        return nullptr;
    if (rec->style & WS_CHILD)
        return rec->parent;
    return (rec->style & WS_POPUP) ? rec->owner : nullptr;
}

HWND SetParent(HWND hwnd, HWND newParent)
{
    auto rec = Record(hwnd);
    auto parentRec = Record(newParent);
    if (!rec || (newParent && !parentRec))
        return nullptr;
    const HWND old = rec->parent ? rec->parent : nullptr;
    if (auto p = Record(rec->parent))
        std::erase(p->children, hwnd);
    rec->parent = newParent;
    if (parentRec) {
        parentRec->children.push_back(hwnd);
        if (rec->widget) {
            const QPoint pos = rec->widget->pos();
            rec->widget->setParent(parentRec->widget.data());
            rec->widget->move(pos);
        }
    } else if (rec->widget) {
        rec->widget->setParent(nullptr);
        rec->widget->setWindowFlags(TopLevelFlags(rec->style, rec->exStyle, rec->className == "#32770"));
    }
    if (rec->widget)
        rec->widget->setVisible((rec->style & WS_VISIBLE) != 0);
    return old;
}

static const std::vector<HWND>* Siblings(WindowRecord* rec, std::vector<HWND>& topLevels)
{
    if (auto p = Record(rec->parent))
        return &p->children;
    topLevels.clear();
    for (HWND h : AllWindows())
        if (auto r = Record(h); r && !r->parent)
            topLevels.push_back(h);
    return &topLevels;
}

HWND GetWindow(HWND hwnd, UINT cmd)
{
    auto rec = Record(hwnd);
    if (!rec)
        return nullptr;
    if (cmd == GW_CHILD)
        return rec->children.empty() ? nullptr : rec->children.front();
    if (cmd == GW_OWNER)
        return rec->owner;
    std::vector<HWND> topLevels;
    const std::vector<HWND>& list = *Siblings(rec.get(), topLevels);
    auto it = std::find(list.begin(), list.end(), hwnd);
    if (it == list.end())
        return nullptr;
    switch (cmd) {
    case GW_HWNDFIRST:
        return list.front();
    case GW_HWNDLAST:
        return list.back();
    case GW_HWNDNEXT:
        return it + 1 == list.end() ? nullptr : *(it + 1);
    case GW_HWNDPREV:
        return it == list.begin() ? nullptr : *(it - 1);
    }
    return nullptr;
}

HWND GetTopWindow(HWND hwnd)
{
    return GetWindow(hwnd, GW_CHILD);
}

HWND GetAncestor(HWND hwnd, UINT flags)
{
    auto rec = Record(hwnd);
    if (!rec)
        return nullptr;
    switch (flags) {
    case GA_PARENT:
        return rec->parent;
    case GA_ROOT: {
        HWND h = hwnd;
        while (auto r = Record(h)) {
            if (!r->parent)
                return h;
            h = r->parent;
        }
        return h;
    }
    case GA_ROOTOWNER: {
        HWND h = hwnd;
        for (HWND up = GetParent(h); up; up = GetParent(h))
            h = up;
        return h;
    }
    }
    return nullptr;
}

HWND GetDlgItem(HWND dialog, int id)
{
    auto rec = Record(dialog);
    if (!rec)
        return nullptr;
    for (HWND child : rec->children)
        if (auto c = Record(child); c && c->id == static_cast<UINT>(id))
            return child;
    return nullptr;
}

int GetDlgCtrlID(HWND hwnd)
{
    auto rec = Record(hwnd);
    return rec ? static_cast<int>(rec->id) : 0;
}

BOOL IsChild(HWND parent, HWND hwnd)
{
    if (!parent)
        return FALSE;
    for (auto rec = Record(hwnd); rec && rec->parent; rec = Record(rec->parent))
        if (rec->parent == parent)
            return TRUE;
    return FALSE;
}

HWND GetDesktopWindow()
{
    return nullptr;
}

HWND WindowFromPoint(POINT pt)
{
    for (QWidget* w = QApplication::widgetAt(pt.x, pt.y); w; w = w->parentWidget())
        if (HWND h = WindowOf(w); h && IsWindow(h))
            return h;
    return nullptr;
}

HWND ChildWindowFromPoint(HWND parent, POINT pt)
{
    auto rec = Record(parent);
    if (!rec)
        return nullptr;
    RECT client;
    GetClientRect(parent, &client);
    if (!PtInRect(&client, pt))
        return nullptr;
    for (HWND child : rec->children) {
        auto c = Record(child);
        if (c && c->widget && c->widget->geometry().contains(pt.x, pt.y))
            return child;
    }
    return parent;
}

HWND FindWindow(LPCSTR className, LPCSTR windowName)
{
    for (HWND h : AllWindows()) {
        auto rec = Record(h);
        if (!rec || !rec->alive || (rec->style & WS_CHILD))
            continue;
        if (className && Lower(className) != Lower(rec->className.c_str()))
            continue;
        if (windowName && rec->text != windowName)
            continue;
        return h;
    }
    return qlafx::FindWindowOfOtherProcess(className, windowName);
}

// ---- placement ----
BOOL IsWindowVisible(HWND hwnd)
{
    for (auto rec = Record(hwnd); rec; rec = Record(rec->parent)) {
        if (!(rec->style & WS_VISIBLE))
            return FALSE;
        if (!rec->parent)
            return TRUE;
    }
    return FALSE;
}

BOOL IsIconic(HWND hwnd)
{
    QWidget* w = WidgetOf(hwnd);
    return w && w->isMinimized();
}

BOOL IsZoomed(HWND hwnd)
{
    QWidget* w = WidgetOf(hwnd);
    return w && w->isMaximized();
}

// Windows maximises at once and sends WM_SIZE before ShowWindow returns, so
// callers lay out and fit pictures right after it; a window manager answers
// later. Wait for its answer, briefly, delivering nothing posted meanwhile.
static void ShowMaximizedNow(QWidget* w)
{
    const bool already = w->isMaximized() && w->isVisible();
    const QSize before = w->size();
    w->showMaximized();
    if (already || w->size() != before || QGuiApplication::platformName() == QLatin1String("offscreen"))
        return;
    qlafx::HoldPostedMessages hold(true);
    QEventLoop loop;
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    limit.start(500);
    struct ResizeWatch : QObject {
        QEventLoop* loop;
        QSize before;
        bool eventFilter(QObject* o, QEvent* e) override
        {
            if (e->type() == QEvent::Resize && static_cast<QWidget*>(o)->size() != before)
                loop->quit();
            return false;
        }
    } watch;
    watch.loop = &loop;
    watch.before = before;
    w->installEventFilter(&watch);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    w->removeEventFilter(&watch);
}

BOOL ShowWindow(HWND hwnd, int cmd)
{
    auto rec = Record(hwnd);
    if (!rec || !rec->widget)
        return FALSE;
    const bool wasVisible = (rec->style & WS_VISIBLE) != 0;
    const bool show = cmd != SW_HIDE;
    if (show != wasVisible)
        CallProc(rec.get(), WM_SHOWWINDOW, show, 0);
    if (!rec->alive || !rec->widget)
        return wasVisible;
    if (show && !wasVisible)
        ApplyMinMax(rec.get());
    QWidget* w = rec->widget;
    if (!w)
        return wasVisible;
    if (show) {
        rec->style |= WS_VISIBLE;
        const bool top = w->isWindow();
        const bool place = top && !wasVisible && HasFrame(rec->style);
        if (place)
            PlaceOnScreen(rec.get());
        switch (cmd) {
        case SW_SHOWMAXIMIZED:
            if (top)
                ShowMaximizedNow(w);
            else
                w->show();
            break;
        case SW_MINIMIZE:
        case SW_SHOWMINIMIZED:
        case SW_SHOWMINNOACTIVE:
            top ? w->showMinimized() : w->show();
            break;
        case SW_RESTORE:
        case SW_SHOWNORMAL:
            top ? w->showNormal() : w->show();
            break;
        default:
            w->show();
        }
        if (place && !w->isMaximized() && !w->isMinimized())
            PlaceOnScreen(rec.get());  // again, now the frame around it is known
        if (top && cmd != SW_SHOWNOACTIVATE && cmd != SW_SHOWNA && cmd != SW_SHOWMINNOACTIVE)
            w->activateWindow();
    } else {
        rec->style &= ~WS_VISIBLE;
        if (GetFocus() == hwnd || IsChild(hwnd, GetFocus()))
            SetFocus(rec->parent);
        w->hide();
    }
    SyncGeometry(rec.get());
    return wasVisible;
}

static void MoveInZOrder(WindowRecord* rec, HWND after)
{
    auto parent = Record(rec->parent);
    QWidget* w = rec->widget;
    if (after == HWND_TOP || after == HWND_TOPMOST) {
        if (w)
            w->raise();
        if (parent) {
            std::erase(parent->children, rec->handle);
            parent->children.insert(parent->children.begin(), rec->handle);
        }
    } else if (after == HWND_BOTTOM) {
        if (w)
            w->lower();
        if (parent) {
            std::erase(parent->children, rec->handle);
            parent->children.push_back(rec->handle);
        }
    } else if (after != HWND_NOTOPMOST) {
        if (QWidget* other = WidgetOf(after); w && other)
            w->stackUnder(other);
        if (parent) {
            std::erase(parent->children, rec->handle);
            auto it = std::find(parent->children.begin(), parent->children.end(), after);
            parent->children.insert(it == parent->children.end() ? it : it + 1, rec->handle);
        }
    }
}

// What the window manager's frame adds to a top-level window's client size.
// A hidden window's widget does not know it; its platform window does, once
// made (at once offscreen, after mapping under X11).
static QSize FrameExtent(QWidget* w)
{
    if (!w->isWindow())
        return QSize(0, 0);
    if (w->isVisible())
        return w->frameGeometry().size() - w->size();
    w->winId();
    const QMargins m = w->windowHandle() ? w->windowHandle()->frameMargins() : QMargins();
    return QSize(m.left() + m.right(), m.top() + m.bottom());
}

BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags)
{
    auto rec = Record(hwnd);
    if (!rec || !rec->widget)
        return FALSE;
    WINDOWPOS wp{hwnd, insertAfter, x, y, cx, cy, flags};
    if (!(flags & SWP_NOSENDCHANGING))
        CallProc(rec.get(), WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&wp));
    QWidget* w = rec->widget;
    if (!rec->alive || !w)
        return FALSE;
    if (!(wp.flags & SWP_NOMOVE))
        w->move(wp.x, wp.y);
    if (!(wp.flags & SWP_NOSIZE)) {
        // A top-level window's size is its frame's, as GetWindowRect reports
        // it: the client gets what the window manager's frame leaves.
        const QSize frame = FrameExtent(w);
        ResizeWidget(rec.get(), wp.cx - frame.width(), wp.cy - frame.height());
    }
    if (!(wp.flags & SWP_NOZORDER))
        MoveInZOrder(rec.get(), wp.hwndInsertAfter);
    if (wp.flags & SWP_SHOWWINDOW) {
        rec->style |= WS_VISIBLE;
        w->show();
    } else if (wp.flags & SWP_HIDEWINDOW) {
        rec->style &= ~WS_VISIBLE;
        w->hide();
    }
    CallProc(rec.get(), WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&wp));
    return TRUE;
}

BOOL MoveWindow(HWND hwnd, int x, int y, int cx, int cy, BOOL repaint)
{
    return SetWindowPos(hwnd, nullptr, x, y, cx, cy,
                        SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0u : SWP_NOREDRAW));
}

BOOL GetClientRect(HWND hwnd, LPRECT out)
{
    QWidget* w = WidgetOf(hwnd);
    if (!w || !out)
        return FALSE;
    *out = RECT{0, 0, w->width(), w->height()};
    return TRUE;
}

BOOL GetWindowRect(HWND hwnd, LPRECT out)
{
    QWidget* w = WidgetOf(hwnd);
    if (!w || !out)
        return FALSE;
    if (w->isWindow()) {
        const QRect r(w->pos(), w->size() + FrameExtent(w));
        *out = RECT{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
    } else {
        const QPoint tl = w->mapToGlobal(QPoint(0, 0));
        *out = RECT{tl.x(), tl.y(), tl.x() + w->width(), tl.y() + w->height()};
    }
    return TRUE;
}

BOOL ClientToScreen(HWND hwnd, LPPOINT pt)
{
    QWidget* w = WidgetOf(hwnd);
    if (!w || !pt)
        return FALSE;
    const QPoint g = w->mapToGlobal(QPoint(pt->x, pt->y));
    *pt = POINT{g.x(), g.y()};
    return TRUE;
}

BOOL ScreenToClient(HWND hwnd, LPPOINT pt)
{
    QWidget* w = WidgetOf(hwnd);
    if (!w || !pt)
        return FALSE;
    const QPoint c = w->mapFromGlobal(QPoint(pt->x, pt->y));
    *pt = POINT{c.x(), c.y()};
    return TRUE;
}

int MapWindowPoints(HWND from, HWND to, LPPOINT pts, UINT count)
{
    POINT origin{0, 0};
    if (from)
        ClientToScreen(from, &origin);
    POINT target{0, 0};
    if (to)
        ClientToScreen(to, &target);
    const int dx = origin.x - target.x, dy = origin.y - target.y;
    for (UINT i = 0; pts && i < count; ++i) {
        pts[i].x += dx;
        pts[i].y += dy;
    }
    return static_cast<int>(MAKELONG(static_cast<WORD>(dx), static_cast<WORD>(dy)));
}

BOOL BringWindowToTop(HWND hwnd)
{
    auto rec = Record(hwnd);
    if (!rec)
        return FALSE;
    MoveInZOrder(rec.get(), HWND_TOP);
    if (rec->widget && rec->widget->isWindow())
        rec->widget->activateWindow();
    return TRUE;
}

BOOL SetForegroundWindow(HWND hwnd)
{
    QWidget* w = WidgetOf(hwnd);
    if (!w)
        return FALSE;
    w->window()->raise();
    w->window()->activateWindow();
    return TRUE;
}

HWND GetForegroundWindow()
{
    return WindowOf(QApplication::activeWindow());
}

HWND GetActiveWindow()
{
    return GetForegroundWindow();
}

HWND SetActiveWindow(HWND hwnd)
{
    const HWND old = GetActiveWindow();
    SetForegroundWindow(hwnd);
    return old;
}

// ---- text and enabling ----
BOOL SetWindowText(HWND hwnd, LPCSTR text)
{
    return SendMessage(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : "")) != 0;
}

int GetWindowText(HWND hwnd, LPSTR out, int size)
{
    if (!out || size <= 0)
        return 0;
    out[0] = '\0';
    return static_cast<int>(SendMessage(hwnd, WM_GETTEXT, static_cast<WPARAM>(size), reinterpret_cast<LPARAM>(out)));
}

int GetWindowTextLength(HWND hwnd)
{
    return static_cast<int>(SendMessage(hwnd, WM_GETTEXTLENGTH, 0, 0));
}

BOOL EnableWindow(HWND hwnd, BOOL enable)
{
    auto rec = Record(hwnd);
    if (!rec)
        return FALSE;
    const bool wasDisabled = (rec->style & WS_DISABLED) != 0;
    if (wasDisabled == !enable)
        return wasDisabled;
    if (enable)
        rec->style &= ~WS_DISABLED;
    else
        rec->style |= WS_DISABLED;
    SetWidgetEnabled(rec.get());
    if (!enable && (GetFocus() == hwnd))
        SetFocus(nullptr);
    CallProc(rec.get(), WM_ENABLE, enable != 0, 0);
    return wasDisabled;
}

BOOL IsWindowEnabled(HWND hwnd)
{
    auto rec = Record(hwnd);
    return rec && !(rec->style & WS_DISABLED);
}

// ---- timers ----
namespace {
std::map<UINT_PTR, QTimer*>& TheThreadTimers()
{
    static auto* instance = new std::map<UINT_PTR, QTimer*>;
    return *instance;
}
UINT_PTR g_nextTimerId = 0x7F00;
}  // namespace

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapseMs, TIMERPROC proc)
{
    if (!IsGuiThread())
        return 0;
    std::shared_ptr<WindowRecord> rec;
    if (hwnd) {
        rec = Record(hwnd);
        if (!rec)
            return 0;
    } else {
        id = ++g_nextTimerId;
    }
    auto& slot = rec ? rec->timers[id] : TheThreadTimers()[id];
    delete slot;
    auto* timer = new QTimer(rec ? static_cast<QObject*>(rec->widget.data()) : qApp);
    timer->setInterval(static_cast<int>(std::max<UINT>(elapseMs, 10)));
    QObject::connect(timer, &QTimer::timeout, [hwnd, id, proc] {
        if (qlafx::PostedMessagesHeld())
            return;  // a later tick comes; Windows merges ticks too
        if (proc)
            proc(hwnd, WM_TIMER, id, GetTickCount());
        else if (hwnd)
            SendMessage(hwnd, WM_TIMER, id, 0);
    });
    timer->start();
    slot = timer;
    return id;
}

BOOL KillTimer(HWND hwnd, UINT_PTR id)
{
    auto rec = Record(hwnd);
    if (hwnd && !rec)
        return FALSE;
    auto& timers = rec ? rec->timers : TheThreadTimers();
    auto it = timers.find(id);
    if (it == timers.end())
        return FALSE;
    delete it->second;
    timers.erase(it);
    return TRUE;
}

// ---- CWnd ----
IMPLEMENT_DYNCREATE(CWnd, CCmdTarget)

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
    ON_WM_NCDESTROY()
    ON_WM_CTLCOLOR()
    ON_WM_DRAWITEM()
    ON_WM_MEASUREITEM()
    ON_WM_HSCROLL()
    ON_WM_VSCROLL()
END_MESSAGE_MAP()

CWnd::CWnd() = default;

CWnd::~CWnd()
{
    if (m_hWnd && IsWindow(m_hWnd) && FromHandlePermanent(m_hWnd) == this)
        ::DestroyWindow(m_hWnd);
    if (t_tempMap) {
        for (auto it = t_tempMap->begin(); it != t_tempMap->end(); ++it)
            if (it->second == this) {
                t_tempMap->erase(it);
                break;
            }
    }
}

HWND CWnd::GetSafeHwnd() const
{
    return m_hWnd;
}

CWnd* CWnd::FromHandlePermanent(HWND hwnd)
{
    auto rec = Record(hwnd);
    return rec ? rec->permanent : nullptr;
}

CWnd* CWnd::FromHandle(HWND hwnd)
{
    if (!hwnd || !IsWindow(hwnd))
        return nullptr;
    if (CWnd* permanent = FromHandlePermanent(hwnd))
        return permanent;
    auto& temps = TempMap();
    auto it = temps.find(hwnd);
    if (it != temps.end())
        return it->second;
    auto* temp = new CWnd;
    temp->m_hWnd = hwnd;
    temps[hwnd] = temp;
    return temp;
}

void CWnd::DeleteTempMap()
{
    if (!t_tempMap)
        return;
    std::map<HWND, CWnd*> temps;
    temps.swap(*t_tempMap);
    for (auto& [h, wnd] : temps) {
        wnd->m_hWnd = nullptr;  // a temporary object never destroys the window
        delete wnd;
    }
}

BOOL CWnd::Attach(HWND hwnd)
{
    auto rec = Record(hwnd);
    if (!rec || (rec->permanent && rec->permanent != this))
        return FALSE;
    rec->permanent = this;
    m_hWnd = hwnd;
    return TRUE;
}

HWND CWnd::Detach()
{
    const HWND hwnd = m_hWnd;
    if (auto rec = Record(hwnd); rec && rec->permanent == this)
        rec->permanent = nullptr;
    m_hWnd = nullptr;
    return hwnd;
}

BOOL CWnd::SubclassWindow(HWND hwnd)
{
    auto rec = Record(hwnd);
    if (!rec || !Attach(hwnd))
        return FALSE;
    PreSubclassWindow();
    if (rec->proc != AfxWndProc) {
        *GetSuperWndProcAddr() = rec->proc ? rec->proc : ::DefWindowProc;
        rec->proc = AfxWndProc;
    }
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent)
{
    HWND item = pParent ? ::GetDlgItem(pParent->m_hWnd, static_cast<int>(nID)) : nullptr;
    return item ? SubclassWindow(item) : FALSE;
}

HWND CWnd::UnsubclassWindow()
{
    if (auto rec = Record(m_hWnd); rec && rec->proc == AfxWndProc)
        rec->proc = *GetSuperWndProcAddr();
    *GetSuperWndProcAddr() = nullptr;
    return Detach();
}

WNDPROC* CWnd::GetSuperWndProcAddr()
{
    return &m_pfnSuper;
}

BOOL CWnd::Create(LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
                  UINT nID, CCreateContext*)
{
    return CreateEx(0, lpszClassName, lpszWindowName, dwStyle | WS_CHILD, rect, pParentWnd, nID);
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                    CWnd* pParentWnd, UINT nID, LPVOID lpParam)
{
    return CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, rect.left, rect.top, rect.right - rect.left,
                    rect.bottom - rect.top, qlafx::HwndOf(pParentWnd),
                    reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(nID)), lpParam);
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, int x, int y,
                    int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu, LPVOID lpParam)
{
    CREATESTRUCT cs{lpParam, AfxGetInstanceHandle(), nIDorHMenu, hWndParent, nHeight, nWidth, y, x,
                    static_cast<LONG>(dwStyle), lpszWindowName, lpszClassName, dwExStyle};
    if (!PreCreateWindow(cs)) {
        PostNcDestroy();
        return FALSE;
    }
    CWnd* const outer = t_creating;
    t_creating = this;
    const HWND hwnd = ::CreateWindowEx(cs.dwExStyle, cs.lpszClass, cs.lpszName, static_cast<DWORD>(cs.style), cs.x,
                                       cs.y, cs.cx, cs.cy, cs.hwndParent, cs.hMenu, cs.hInstance, cs.lpCreateParams);
    const bool hooked = t_creating != this;
    t_creating = outer;
    if (!hwnd && !hooked)
        PostNcDestroy();  // never attached, so OnNcDestroy will not run
    return hwnd != nullptr;
}

BOOL CWnd::DestroyWindow()
{
    return m_hWnd ? ::DestroyWindow(m_hWnd) : FALSE;
}

BOOL CWnd::PreCreateWindow(CREATESTRUCT& cs)
{
    if (!cs.lpszClass) {
        RegisterDefaultClass();
        cs.lpszClass = kDefaultClass;
    }
    return TRUE;
}

void CWnd::PreSubclassWindow() {}

void CWnd::PostNcDestroy() {}

void CWnd::CalcWindowRect(LPRECT, UINT) {}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result))
        result = DefWindowProc(message, wParam, lParam);
    return result;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_pfnSuper)
        return ::CallWindowProc(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProc(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default()
{
    const MSG* m = CurrentMessage();
    return DefWindowProc(m->message, m->wParam, m->lParam);
}

const MSG* CWnd::GetCurrentMessage() const
{
    return CurrentMessage();
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    LRESULT result = 0;
    if (message == WM_COMMAND) {
        if (!OnCommand(wParam, lParam))
            return FALSE;
        result = 1;
    } else if (message == WM_NOTIFY) {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (!header || !header->hwndFrom || !OnNotify(wParam, lParam, &result))
            return FALSE;
    } else {
        UINT lookup = message;
        int code = 0;
        if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) {
            lookup = WM_CTLCOLOR;
            code = static_cast<int>(message - WM_CTLCOLORMSGBOX);
        }
        const AFX_MSGMAP_ENTRY* entry = FindMessageEntry(lookup, 0, 0);
        if (!entry)
            return FALSE;
        qlafx::MsgCall call{message, wParam, lParam, 0, code, nullptr, 0};
        entry->pfn(this, call);
        result = call.result;
    }
    if (pResult)
        *pResult = result;
    return TRUE;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const UINT nID = LOWORD(static_cast<DWORD>(wParam));
    const HWND control = reinterpret_cast<HWND>(lParam);
    int nCode = HIWORD(static_cast<DWORD>(wParam));
    if (!control) {
        if (nCode == 1)  // accelerators route as commands
            nCode = CN_COMMAND;
    } else if (CWnd* child = FromHandlePermanent(control)) {
        LRESULT result = 0;
        if (child->OnChildNotify(WM_COMMAND, wParam, lParam, &result))
            return TRUE;
    }
    return OnCmdMsg(nID, nCode, nullptr, nullptr);
}

BOOL CWnd::OnNotify(WPARAM, LPARAM lParam, LRESULT* pResult)
{
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    if (CWnd* child = FromHandlePermanent(header->hwndFrom))
        if (child->OnChildNotify(WM_NOTIFY, header->idFrom, lParam, pResult))
            return TRUE;
    const UINT nID = static_cast<UINT>(::GetDlgCtrlID(header->hwndFrom));
    AFX_NOTIFY notify{pResult, header};
    return OnCmdMsg(nID, static_cast<int>(MAKELONG(static_cast<WORD>(header->code), WM_NOTIFY)), &notify, nullptr);
}

BOOL CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    return ReflectChildNotify(message, wParam, lParam, pResult);
}

BOOL CWnd::ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    switch (message) {
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_PARENTNOTIFY:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_DELETEITEM:
        return OnWndMsg(WM_REFLECT_BASE + message, wParam, lParam, pResult);
    case WM_COMMAND: {
        const int code = HIWORD(static_cast<DWORD>(wParam));
        if (!OnCmdMsg(0, static_cast<int>(MAKELONG(static_cast<WORD>(code), WM_REFLECT_BASE + WM_COMMAND)), nullptr,
                      nullptr))
            return FALSE;
        if (pResult)
            *pResult = 1;
        return TRUE;
    }
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        LRESULT dummy = 0;
        AFX_NOTIFY notify{pResult ? pResult : &dummy, header};
        return OnCmdMsg(0, static_cast<int>(MAKELONG(static_cast<WORD>(header->code), WM_REFLECT_BASE + WM_NOTIFY)),
                        &notify, nullptr);
    }
    }
    if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) {
        AFX_CTLCOLOR ctl{m_hWnd, reinterpret_cast<HDC>(wParam), message - WM_CTLCOLORMSGBOX};
        LRESULT result = 0;
        if (!OnWndMsg(WM_REFLECT_BASE + WM_CTLCOLOR, 0, reinterpret_cast<LPARAM>(&ctl), &result) || result == 0)
            return FALSE;
        if (pResult)
            *pResult = result;
        return TRUE;
    }
    return FALSE;
}

BOOL CWnd::ReflectLastMsg(HWND hWndChild, LRESULT* pResult)
{
    CWnd* child = FromHandlePermanent(hWndChild);
    return child ? child->SendChildNotifyLastMsg(pResult) : FALSE;
}

BOOL CWnd::SendChildNotifyLastMsg(LRESULT* pResult)
{
    const MSG* m = CurrentMessage();
    return OnChildNotify(m->message, m->wParam, m->lParam, pResult);
}

BOOL CWnd::PreTranslateMessage(MSG*)
{
    return FALSE;
}

BOOL CWnd::WalkPreTranslateTree(HWND hWndStop, MSG* pMsg)
{
    for (HWND h = pMsg->hwnd; h; h = ::GetParent(h)) {
        if (CWnd* wnd = FromHandlePermanent(h); wnd && wnd->PreTranslateMessage(pMsg))
            return TRUE;
        if (h == hWndStop)
            break;
    }
    return FALSE;
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) const
{
    return ::SendMessage(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) const
{
    return ::PostMessage(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::SendNotifyMessage(UINT message, WPARAM wParam, LPARAM lParam) const
{
    auto rec = Record(m_hWnd);
    if (!rec)
        return FALSE;
    if (rec->threadId == GetCurrentThreadId()) {
        ::SendMessage(m_hWnd, message, wParam, lParam);
        return TRUE;
    }
    return ::PostMessage(m_hWnd, message, wParam, lParam);
}

void CWnd::SendMessageToDescendants(UINT message, WPARAM wParam, LPARAM lParam, BOOL bDeep) const
{
    auto rec = Record(m_hWnd);
    if (!rec)
        return;
    for (HWND child : std::vector<HWND>(rec->children)) {
        ::SendMessage(child, message, wParam, lParam);
        if (bDeep)
            if (CWnd* c = FromHandle(child))
                c->SendMessageToDescendants(message, wParam, lParam, TRUE);
    }
}

CWnd* CWnd::GetParent() const
{
    return FromHandle(::GetParent(m_hWnd));
}

CWnd* CWnd::SetParent(CWnd* pWndNewParent)
{
    return FromHandle(::SetParent(m_hWnd, qlafx::HwndOf(pWndNewParent)));
}

CWnd* CWnd::GetOwner() const
{
    return m_hWndOwner ? FromHandle(m_hWndOwner) : GetParent();
}

void CWnd::SetOwner(CWnd* pOwnerWnd)
{
    m_hWndOwner = qlafx::HwndOf(pOwnerWnd);
}

CWnd* CWnd::GetTopLevelParent() const
{
    return FromHandle(::GetAncestor(m_hWnd, GA_ROOTOWNER));
}

CWnd* CWnd::GetParentOwner() const
{
    HWND h = m_hWnd;
    while (h && (::GetWindowLong(h, GWL_STYLE) & WS_CHILD))
        h = ::GetParent(h);
    return FromHandle(h);
}

CWnd* CWnd::GetWindow(UINT nCmd) const
{
    return FromHandle(::GetWindow(m_hWnd, nCmd));
}

CWnd* CWnd::GetTopWindow() const
{
    return FromHandle(::GetTopWindow(m_hWnd));
}

CWnd* CWnd::GetNextWindow(UINT nFlag) const
{
    return FromHandle(::GetWindow(m_hWnd, nFlag));
}

CWnd* CWnd::GetDlgItem(int nID) const
{
    return FromHandle(::GetDlgItem(m_hWnd, nID));
}

void CWnd::GetDlgItem(int nID, HWND* phWnd) const
{
    *phWnd = ::GetDlgItem(m_hWnd, nID);
}

int CWnd::GetDlgCtrlID() const
{
    return ::GetDlgCtrlID(m_hWnd);
}

int CWnd::SetDlgCtrlID(int nID)
{
    return static_cast<int>(::SetWindowLong(m_hWnd, GWL_ID, nID));
}

BOOL CWnd::IsChild(const CWnd* pWnd) const
{
    return ::IsChild(m_hWnd, qlafx::HwndOf(pWnd));
}

CWnd* CWnd::ChildWindowFromPoint(POINT point) const
{
    return FromHandle(::ChildWindowFromPoint(m_hWnd, point));
}

CWnd* CWnd::WindowFromPoint(POINT point)
{
    return FromHandle(::WindowFromPoint(point));
}

CWnd* CWnd::FindWindow(LPCSTR lpszClassName, LPCSTR lpszWindowName)
{
    return FromHandle(::FindWindow(lpszClassName, lpszWindowName));
}

CWnd* CWnd::GetFocus()
{
    return FromHandle(::GetFocus());
}

CWnd* CWnd::GetCapture()
{
    return FromHandle(::GetCapture());
}

CWnd* CWnd::GetActiveWindow()
{
    return FromHandle(::GetActiveWindow());
}

CWnd* CWnd::GetForegroundWindow()
{
    return FromHandle(::GetForegroundWindow());
}

CWnd* CWnd::GetDesktopWindow()
{
    return nullptr;
}

DWORD CWnd::GetStyle() const
{
    return static_cast<DWORD>(::GetWindowLong(m_hWnd, GWL_STYLE));
}

DWORD CWnd::GetExStyle() const
{
    return static_cast<DWORD>(::GetWindowLong(m_hWnd, GWL_EXSTYLE));
}

static BOOL ModifyStyleIndex(HWND hWnd, int index, DWORD remove, DWORD add, UINT flags)
{
    const DWORD style = static_cast<DWORD>(::GetWindowLong(hWnd, index));
    const DWORD changed = (style & ~remove) | add;
    if (style == changed)
        return FALSE;
    ::SetWindowLong(hWnd, index, static_cast<LONG>(changed));
    if (flags)
        ::SetWindowPos(hWnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | flags);
    return TRUE;
}

BOOL CWnd::ModifyStyle(HWND hWnd, DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    return ModifyStyleIndex(hWnd, GWL_STYLE, dwRemove, dwAdd, nFlags);
}

BOOL CWnd::ModifyStyleEx(HWND hWnd, DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    return ModifyStyleIndex(hWnd, GWL_EXSTYLE, dwRemove, dwAdd, nFlags);
}

BOOL CWnd::ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    return ModifyStyle(m_hWnd, dwRemove, dwAdd, nFlags);
}

BOOL CWnd::ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    return ModifyStyleEx(m_hWnd, dwRemove, dwAdd, nFlags);
}

BOOL CWnd::ShowWindow(int nCmdShow)
{
    return ::ShowWindow(m_hWnd, nCmdShow);
}

BOOL CWnd::IsWindowVisible() const
{
    return ::IsWindowVisible(m_hWnd);
}

BOOL CWnd::IsIconic() const
{
    return ::IsIconic(m_hWnd);
}

BOOL CWnd::IsZoomed() const
{
    return ::IsZoomed(m_hWnd);
}

void CWnd::MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint)
{
    ::MoveWindow(m_hWnd, x, y, nWidth, nHeight, bRepaint);
}

void CWnd::MoveWindow(LPCRECT lpRect, BOOL bRepaint)
{
    ::MoveWindow(m_hWnd, lpRect->left, lpRect->top, lpRect->right - lpRect->left, lpRect->bottom - lpRect->top,
                 bRepaint);
}

BOOL CWnd::SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags)
{
    // &wndTop and friends are NULL-handled through GetSafeHwnd.
    return ::SetWindowPos(m_hWnd, qlafx::HwndOf(pWndInsertAfter), x, y, cx, cy, nFlags);
}

void CWnd::GetClientRect(LPRECT lpRect) const
{
    ::GetClientRect(m_hWnd, lpRect);
}

void CWnd::GetWindowRect(LPRECT lpRect) const
{
    ::GetWindowRect(m_hWnd, lpRect);
}

void CWnd::ScreenToClient(LPPOINT lpPoint) const
{
    ::ScreenToClient(m_hWnd, lpPoint);
}

void CWnd::ScreenToClient(LPRECT lpRect) const
{
    ::ScreenToClient(m_hWnd, reinterpret_cast<LPPOINT>(&lpRect->left));
    ::ScreenToClient(m_hWnd, reinterpret_cast<LPPOINT>(&lpRect->right));
}

void CWnd::ClientToScreen(LPPOINT lpPoint) const
{
    ::ClientToScreen(m_hWnd, lpPoint);
}

void CWnd::ClientToScreen(LPRECT lpRect) const
{
    ::ClientToScreen(m_hWnd, reinterpret_cast<LPPOINT>(&lpRect->left));
    ::ClientToScreen(m_hWnd, reinterpret_cast<LPPOINT>(&lpRect->right));
}

void CWnd::MapWindowPoints(CWnd* pwndTo, LPPOINT lpPoint, UINT nCount) const
{
    ::MapWindowPoints(m_hWnd, qlafx::HwndOf(pwndTo), lpPoint, nCount);
}

void CWnd::MapWindowPoints(CWnd* pwndTo, LPRECT lpRect) const
{
    ::MapWindowPoints(m_hWnd, qlafx::HwndOf(pwndTo), reinterpret_cast<LPPOINT>(lpRect), 2);
}

void CWnd::CenterWindow(CWnd* pAlternateOwner)
{
    RECT mine;
    GetWindowRect(&mine);
    const int w = mine.right - mine.left, h = mine.bottom - mine.top;
    RECT area;
    HWND center = pAlternateOwner ? pAlternateOwner->m_hWnd : ::GetParent(m_hWnd);
    if (GetStyle() & WS_CHILD) {
        ::GetClientRect(center, &area);
    } else if (center) {
        ::GetWindowRect(center, &area);
    } else {
        area = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    }
    const int x = area.left + (area.right - area.left - w) / 2;
    const int y = area.top + (area.bottom - area.top - h) / 2;
    ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CWnd::BringWindowToTop()
{
    ::BringWindowToTop(m_hWnd);
}

BOOL CWnd::SetForegroundWindow()
{
    return ::SetForegroundWindow(m_hWnd);
}

CWnd* CWnd::SetActiveWindow()
{
    return FromHandle(::SetActiveWindow(m_hWnd));
}

void CWnd::Invalidate(BOOL bErase)
{
    ::InvalidateRect(m_hWnd, nullptr, bErase);
}

void CWnd::InvalidateRect(LPCRECT lpRect, BOOL bErase)
{
    ::InvalidateRect(m_hWnd, lpRect, bErase);
}

void CWnd::ValidateRect(LPCRECT lpRect)
{
    ::ValidateRect(m_hWnd, lpRect);
}

void CWnd::UpdateWindow()
{
    ::UpdateWindow(m_hWnd);
}

BOOL CWnd::RedrawWindow(LPCRECT lpRectUpdate, HRGN hrgnUpdate, UINT flags)
{
    return ::RedrawWindow(m_hWnd, lpRectUpdate, hrgnUpdate, flags);
}

BOOL CWnd::GetUpdateRect(LPRECT lpRect, BOOL bErase)
{
    return ::GetUpdateRect(m_hWnd, lpRect, bErase);
}

void CWnd::SetRedraw(BOOL bRedraw)
{
    SendMessage(WM_SETREDRAW, bRedraw, 0);
}

CDC* CWnd::GetDC()
{
    return CDC::FromHandle(::GetDC(m_hWnd));
}

CDC* CWnd::GetWindowDC()
{
    return CDC::FromHandle(::GetWindowDC(m_hWnd));
}

int CWnd::ReleaseDC(CDC* pDC)
{
    return pDC ? ::ReleaseDC(m_hWnd, pDC->m_hDC) : 0;
}

CDC* CWnd::BeginPaint(PAINTSTRUCT* lpPaint)
{
    return CDC::FromHandle(::BeginPaint(m_hWnd, lpPaint));
}

void CWnd::EndPaint(const PAINTSTRUCT* lpPaint)
{
    ::EndPaint(m_hWnd, lpPaint);
}

void CWnd::SetWindowText(LPCSTR lpszString)
{
    ::SetWindowText(m_hWnd, lpszString);
}

int CWnd::GetWindowText(LPSTR lpszStringBuf, int nMaxCount) const
{
    return ::GetWindowText(m_hWnd, lpszStringBuf, nMaxCount);
}

void CWnd::GetWindowText(CString& rString) const
{
    const int n = ::GetWindowTextLength(m_hWnd);
    std::string buffer(static_cast<size_t>(n) + 1, '\0');
    const int got = ::GetWindowText(m_hWnd, buffer.data(), n + 1);
    buffer.resize(static_cast<size_t>(std::max(got, 0)));
    rString = CString(buffer);
}

int CWnd::GetWindowTextLength() const
{
    return ::GetWindowTextLength(m_hWnd);
}

void CWnd::SetDlgItemText(int nID, LPCSTR lpszString)
{
    ::SetWindowText(::GetDlgItem(m_hWnd, nID), lpszString);
}

int CWnd::GetDlgItemText(int nID, LPSTR lpStr, int nMaxCount) const
{
    return ::GetWindowText(::GetDlgItem(m_hWnd, nID), lpStr, nMaxCount);
}

int CWnd::GetDlgItemText(int nID, CString& rString) const
{
    rString.Empty();
    if (CWnd* item = GetDlgItem(nID))
        item->GetWindowText(rString);
    return rString.GetLength();
}

void CWnd::SetDlgItemInt(int nID, UINT nValue, BOOL bSigned)
{
    char text[16];
    if (bSigned)
        std::snprintf(text, sizeof text, "%d", static_cast<int>(nValue));
    else
        std::snprintf(text, sizeof text, "%u", nValue);
    SetDlgItemText(nID, text);
}

UINT CWnd::GetDlgItemInt(int nID, BOOL* lpTrans, BOOL bSigned) const
{
    CString text;
    GetDlgItemText(nID, text);
    text.Trim();
    const char* s = text;
    char* end = nullptr;
    const long long v = std::strtoll(s, &end, 10);
    const bool ok = end != s && *end == '\0' && (bSigned || v >= 0);
    if (lpTrans)
        *lpTrans = ok;
    return ok ? static_cast<UINT>(v) : 0;
}

LRESULT CWnd::SendDlgItemMessage(int nID, UINT message, WPARAM wParam, LPARAM lParam) const
{
    return ::SendMessage(::GetDlgItem(m_hWnd, nID), message, wParam, lParam);
}

void CWnd::CheckDlgButton(int nIDButton, UINT nCheck)
{
    ::CheckDlgButton(m_hWnd, nIDButton, nCheck);
}

UINT CWnd::IsDlgButtonChecked(int nIDButton) const
{
    return ::IsDlgButtonChecked(m_hWnd, nIDButton);
}

void CWnd::CheckRadioButton(int nIDFirstButton, int nIDLastButton, int nIDCheckButton)
{
    ::CheckRadioButton(m_hWnd, nIDFirstButton, nIDLastButton, nIDCheckButton);
}

int CWnd::GetCheckedRadioButton(int nIDFirstButton, int nIDLastButton) const
{
    for (int id = nIDFirstButton; id <= nIDLastButton; ++id)
        if (::IsDlgButtonChecked(m_hWnd, id))
            return id;
    return 0;
}

void CWnd::DoDataExchange(CDataExchange*) {}

BOOL CWnd::UpdateData(BOOL bSaveAndValidate)
{
    CDataExchange dx(this, bSaveAndValidate);
    try {
        DoDataExchange(&dx);
    } catch (const CUserException&) {
        return FALSE;
    }
    return TRUE;
}

int CWnd::MessageBox(LPCSTR lpszText, LPCSTR lpszCaption, UINT nType)
{
    return ::MessageBox(m_hWnd, lpszText, lpszCaption ? lpszCaption : AfxGetAppName(), nType);
}

void CWnd::SetFont(CFont* pFont, BOOL bRedraw)
{
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(pFont ? static_cast<HFONT>(*pFont) : nullptr), bRedraw);
}

CFont* CWnd::GetFont() const
{
    HFONT font = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT, 0, 0));
    return font ? CFont::FromHandle(font) : nullptr;
}

BOOL CWnd::EnableWindow(BOOL bEnable)
{
    return ::EnableWindow(m_hWnd, bEnable);
}

BOOL CWnd::IsWindowEnabled() const
{
    return ::IsWindowEnabled(m_hWnd);
}

CWnd* CWnd::SetFocus()
{
    return FromHandle(::SetFocus(m_hWnd));
}

CWnd* CWnd::SetCapture()
{
    return FromHandle(::SetCapture(m_hWnd));
}

void CWnd::DragAcceptFiles(BOOL bAccept)
{
    ::DragAcceptFiles(m_hWnd, bAccept);
}

HICON CWnd::SetIcon(HICON hIcon, BOOL bBigIcon)
{
    return reinterpret_cast<HICON>(
        SendMessage(WM_SETICON, bBigIcon ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(hIcon)));
}

HICON CWnd::GetIcon(BOOL bBigIcon) const
{
    return reinterpret_cast<HICON>(SendMessage(WM_GETICON, bBigIcon ? ICON_BIG : ICON_SMALL, 0));
}

UINT_PTR CWnd::SetTimer(UINT_PTR nIDEvent, UINT nElapse, TIMERPROC lpfnTimer)
{
    return ::SetTimer(m_hWnd, nIDEvent, nElapse, lpfnTimer);
}

BOOL CWnd::KillTimer(UINT_PTR nIDEvent)
{
    return ::KillTimer(m_hWnd, nIDEvent);
}

QWidget* CWnd::GetWidget() const
{
    return WidgetOf(m_hWnd);
}

// ---- default handlers ----
int CWnd::OnCreate(LPCREATESTRUCT) { return static_cast<int>(Default()); }
void CWnd::OnDestroy() { Default(); }

void CWnd::OnNcDestroy()
{
    if (CWinThread* thread = AfxGetThread()) {
        if (thread->m_pMainWnd == this) {
            // The main window going away ends the thread's loop.
            PostQuitMessage(0);
            thread->m_pMainWnd = nullptr;
        }
        if (thread->m_pActiveWnd == this)
            thread->m_pActiveWnd = nullptr;
    }
    Default();
    if (auto rec = Record(m_hWnd); rec && rec->proc == AfxWndProc && m_pfnSuper)
        rec->proc = m_pfnSuper;
    Detach();
    PostNcDestroy();
}

void CWnd::OnPaint() { Default(); }
void CWnd::OnNcPaint() { Default(); }
BOOL CWnd::OnEraseBkgnd(CDC*) { return static_cast<BOOL>(Default()); }
void CWnd::OnSize(UINT, int, int) { Default(); }
void CWnd::OnSizing(UINT, LPRECT) { Default(); }
void CWnd::OnMove(int, int) { Default(); }
void CWnd::OnMoving(UINT, LPRECT) { Default(); }
void CWnd::OnShowWindow(BOOL, UINT) { Default(); }
void CWnd::OnMouseMove(UINT, CPoint) { Default(); }
void CWnd::OnLButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnLButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnLButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnRButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnRButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnRButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnMButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnMButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnMButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnMouseHover(UINT, CPoint) { Default(); }
void CWnd::OnNcLButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnNcMouseMove(UINT, CPoint) { Default(); }
BOOL CWnd::OnMouseWheel(UINT, short, CPoint) { return static_cast<BOOL>(Default()); }
void CWnd::OnMouseLeave() { Default(); }
int CWnd::OnMouseActivate(CWnd*, UINT, UINT) { return static_cast<int>(Default()); }
void CWnd::OnKeyDown(UINT, UINT, UINT) { Default(); }
void CWnd::OnKeyUp(UINT, UINT, UINT) { Default(); }
void CWnd::OnChar(UINT, UINT, UINT) { Default(); }
void CWnd::OnSysKeyDown(UINT, UINT, UINT) { Default(); }
void CWnd::OnSysKeyUp(UINT, UINT, UINT) { Default(); }
void CWnd::OnSysChar(UINT, UINT, UINT) { Default(); }
void CWnd::OnSetFocus(CWnd*) { Default(); }
void CWnd::OnKillFocus(CWnd*) { Default(); }
BOOL CWnd::OnSetCursor(CWnd*, UINT, UINT) { return static_cast<BOOL>(Default()); }
void CWnd::OnTimer(UINT_PTR) { Default(); }
void CWnd::OnClose() { Default(); }
BOOL CWnd::OnQueryEndSession() { return static_cast<BOOL>(Default()); }
void CWnd::OnGetMinMaxInfo(MINMAXINFO*) { Default(); }
void CWnd::OnDropFiles(HDROP) { Default(); }

HBRUSH CWnd::OnCtlColor(CDC*, CWnd* pWnd, UINT)
{
    LRESULT result = 0;
    if (pWnd && ReflectLastMsg(pWnd->m_hWnd, &result))
        return reinterpret_cast<HBRUSH>(result);
    return reinterpret_cast<HBRUSH>(Default());
}

void CWnd::OnDrawItem(int, LPDRAWITEMSTRUCT lpDrawItemStruct)
{
    if (lpDrawItemStruct && lpDrawItemStruct->CtlType != ODT_MENU && ReflectLastMsg(lpDrawItemStruct->hwndItem))
        return;
    // Owner-drawn menu items are drawn by their menu's CMenu object.
    if (qlafx::DrawMenuItemThroughMenu(lpDrawItemStruct))
        return;
    Default();
}

void CWnd::OnMeasureItem(int nIDCtl, LPMEASUREITEMSTRUCT lpMeasureItemStruct)
{
    if (lpMeasureItemStruct && lpMeasureItemStruct->CtlType != ODT_MENU &&
        ReflectLastMsg(::GetDlgItem(m_hWnd, nIDCtl)))
        return;
    if (qlafx::MeasureMenuItemThroughMenu(lpMeasureItemStruct))
        return;
    Default();
}

void CWnd::OnHScroll(UINT, UINT, CScrollBar*)
{
    if (ReflectLastMsg(reinterpret_cast<HWND>(CurrentMessage()->lParam)))
        return;
    Default();
}

void CWnd::OnVScroll(UINT, UINT, CScrollBar*)
{
    if (ReflectLastMsg(reinterpret_cast<HWND>(CurrentMessage()->lParam)))
        return;
    Default();
}

void CWnd::OnCaptureChanged(CWnd*) { Default(); }
void CWnd::OnActivate(UINT, CWnd*, BOOL) { Default(); }
void CWnd::OnActivateApp(BOOL, DWORD) { Default(); }
BOOL CWnd::OnNcActivate(BOOL) { return static_cast<BOOL>(Default()); }
void CWnd::OnEnable(BOOL) { Default(); }
LRESULT CWnd::OnNcHitTest(CPoint) { return Default(); }
void CWnd::OnContextMenu(CWnd*, CPoint) { Default(); }
void CWnd::OnWindowPosChanging(WINDOWPOS*) { Default(); }
void CWnd::OnWindowPosChanged(WINDOWPOS*) { Default(); }
void CWnd::OnStyleChanging(int, LPSTYLESTRUCT) { Default(); }
void CWnd::OnStyleChanged(int, LPSTYLESTRUCT) { Default(); }
void CWnd::OnSysCommand(UINT, LPARAM) { Default(); }
BOOL CWnd::OnCopyData(CWnd*, COPYDATASTRUCT*) { return static_cast<BOOL>(Default()); }
void CWnd::OnParentNotify(UINT, LPARAM) { Default(); }
UINT CWnd::OnGetDlgCode() { return static_cast<UINT>(Default()); }
void CWnd::OnSysColorChange() { Default(); }
LRESULT CWnd::OnMenuChar(UINT, UINT, CMenu*) { return Default(); }
void CWnd::OnInitMenuPopup(CMenu*, UINT, BOOL) { Default(); }
