#include "platform/afx/QtBridge.h"

#include "platform/afx/DC.h"
#include "platform/afx/WinThread.h"
#include "platform/afx/WndRecord.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QTimer>
#include <QDropEvent>
#include <QMimeData>
#include <QFrame>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QUrl>

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <set>
#include <string>
#include <vector>

struct QlDropRecord {
    std::vector<std::string> files;
    POINT point{0, 0};
};

namespace qlafx {

namespace {

HWND g_focus = nullptr;
HWND g_capture = nullptr;
HWND g_mouseWindow = nullptr;
HWND g_mouseInside = nullptr;

// The viewport of a scroll area (list and tree views) has its events
// handled by the area's viewportEvent, which Qt reaches through a filter.
struct ViewportAccess : QAbstractScrollArea {
    static bool Call(QAbstractScrollArea* area, QEvent* e)
    {
        bool (QAbstractScrollArea::*handler)(QEvent*) = &ViewportAccess::viewportEvent;
        return (area->*handler)(e);
    }
};

// QWidget::event is protected; a member pointer taken in a subclass reaches
// it on any widget, with virtual dispatch and without filters or propagation.
struct EventAccess : QWidget {
    static bool Call(QWidget* w, QEvent* e)
    {
        auto* area = qobject_cast<QAbstractScrollArea*>(w->parentWidget());
        if (area && area->viewport() == w)
            return ViewportAccess::Call(area, e);
        bool (QWidget::*handler)(QEvent*) = &EventAccess::event;
        return (w->*handler)(e);
    }
};

LPARAM PackPoint(int x, int y)
{
    return MAKELPARAM(static_cast<WORD>(static_cast<SHORT>(x)), static_cast<WORD>(static_cast<SHORT>(y)));
}

bool IsInput(UINT msg)
{
    return (msg >= WM_KEYFIRST && msg <= WM_KEYLAST) || (msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST);
}

class Bridge : public QObject {
public:
    bool eventFilter(QObject* obj, QEvent* e) override;
};

Bridge* TheBridge()
{
    static Bridge* bridge = new Bridge;
    return bridge;
}

bool g_appActive = false;

// WM_ACTIVATEAPP to the thread's top-level windows when the application as
// a whole gains or loses the active state.
void AppStateChanged(Qt::ApplicationState state)
{
    const bool active = state == Qt::ApplicationActive;
    if (active == g_appActive)
        return;
    g_appActive = active;
    for (HWND h : AllWindows())
        if (auto r = Record(h); r && !r->destroying && !(r->style & WS_CHILD) && r->threadId == GetCurrentThreadId())
            CallProc(r.get(), WM_ACTIVATEAPP, active, 0);
}

// Once per QApplication (a program may make a new one after the last).
void WatchAppState()
{
    static QPointer<QGuiApplication> watched;
    auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (!app || watched == app)
        return;
    watched = app;
    g_appActive = QGuiApplication::applicationState() == Qt::ApplicationActive;
    QObject::connect(app, &QGuiApplication::applicationStateChanged, TheBridge(), &AppStateChanged);
}

// Drop handles given out and not yet finished, so a stale or repeated
// DragFinish, or a query after it, cannot touch freed memory.
std::mutex g_dropLock;
std::set<HDROP>& LiveDrops()
{
    static std::set<HDROP> drops;
    return drops;
}

// Sends msg to the window with the Qt event as its default; input goes
// through PreTranslateMessage first. Returns false when the window is gone.
bool Deliver(WindowRecord* rec, QWidget* widget, UINT msg, WPARAM wParam, LPARAM lParam, QEvent* e,
             bool deliverable)
{
    if (!rec->alive || rec->destroying)
        return false;
    if (IsInput(msg)) {
        MSG m{rec->handle, msg, wParam, lParam, GetTickCount(), {0, 0}};
        GetCursorPos(&m.pt);
        if (PreTranslateInput(&m))
            return true;
    }
    EventContext ctx{rec->handle, msg, deliverable ? widget : nullptr, e};
    PushEventContext(&ctx);
    CallProc(rec, msg, wParam, lParam);
    PopEventContext(&ctx);
    return true;
}

UINT MouseMessage(QEvent::Type type, Qt::MouseButton button, UINT classStyle)
{
    if (type == QEvent::MouseMove)
        return WM_MOUSEMOVE;
    int index;
    switch (button) {
    case Qt::LeftButton:
        index = 0;
        break;
    case Qt::RightButton:
        index = 1;
        break;
    case Qt::MiddleButton:
        index = 2;
        break;
    default:
        return 0;
    }
    static const UINT downs[] = {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN};
    static const UINT ups[] = {WM_LBUTTONUP, WM_RBUTTONUP, WM_MBUTTONUP};
    static const UINT dbls[] = {WM_LBUTTONDBLCLK, WM_RBUTTONDBLCLK, WM_MBUTTONDBLCLK};
    if (type == QEvent::MouseButtonPress)
        return downs[index];
    if (type == QEvent::MouseButtonRelease)
        return ups[index];
    return (classStyle & CS_DBLCLKS) ? dbls[index] : downs[index];
}

int ButtonKey(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton:
        return VK_LBUTTON;
    case Qt::RightButton:
        return VK_RBUTTON;
    case Qt::MiddleButton:
        return VK_MBUTTON;
    default:
        return 0;
    }
}

// TME_HOVER: WM_MOUSEHOVER when the pointer has rested inside the window's
// hover rectangle for the hover time; one message, then tracking ends.
constexpr int kHoverDefaultMs = 400;
constexpr int kHoverSlop = 2;  // half the 4 x 4 hover rectangle

void HoverElapsed(HWND hwnd)
{
    auto rec = Record(hwnd);
    if (!rec || !rec->trackHover)
        return;
    rec->trackHover = false;
    if (g_mouseInside != hwnd)
        return;
    const WPARAM flags = MouseKeyFlags(QGuiApplication::mouseButtons(), QGuiApplication::keyboardModifiers());
    CallProc(rec.get(), WM_MOUSEHOVER, flags, PackPoint(rec->hoverAnchor.x(), rec->hoverAnchor.y()));
}

void StartHover(WindowRecord* rec, UINT ms)
{
    if (!rec->widget)
        return;
    if (!rec->hoverTimer) {
        rec->hoverTimer = new QTimer(rec->widget);
        rec->hoverTimer->setSingleShot(true);
        rec->hoverTimer->setTimerType(Qt::PreciseTimer);
        const HWND hwnd = rec->handle;
        QObject::connect(rec->hoverTimer, &QTimer::timeout, [hwnd] { HoverElapsed(hwnd); });
    }
    rec->trackHover = true;
    rec->hoverAnchor = rec->lastMouse;
    rec->hoverTimer->start(static_cast<int>(ms == HOVER_DEFAULT ? kHoverDefaultMs : std::max<UINT>(ms, 1)));
}

void StopHover(WindowRecord* rec)
{
    rec->trackHover = false;
    if (rec->hoverTimer)
        rec->hoverTimer->stop();
}

// A move out of the hover rectangle starts the wait again from there.
void KeepHovering(WindowRecord* rec, QPoint at)
{
    if (!rec->trackHover || !rec->hoverTimer)
        return;
    if (std::abs(at.x() - rec->hoverAnchor.x()) <= kHoverSlop && std::abs(at.y() - rec->hoverAnchor.y()) <= kHoverSlop)
        return;
    rec->hoverAnchor = at;
    rec->hoverTimer->start();
}

bool Mouse(WindowRecord* rec, QWidget* w, QMouseEvent* me)
{
    const UINT msg = MouseMessage(me->type(), me->button(), rec->classStyle);
    if (!msg)
        return false;
    if (me->type() == QEvent::MouseButtonPress || me->type() == QEvent::MouseButtonDblClick)
        UpdateKeyState(ButtonKey(me->button()), true);
    else if (me->type() == QEvent::MouseButtonRelease)
        UpdateKeyState(ButtonKey(me->button()), false);

    std::shared_ptr<WindowRecord> target = Record(g_capture);
    const bool captured = target && target.get() != rec;
    if (!captured)
        target = Record(rec->handle);
    if (!target || !target->widget)
        return false;
    const QPoint global = me->globalPosition().toPoint();
    const QPoint local = captured ? target->widget->mapFromGlobal(global)
                                  : (w == rec->widget ? me->position().toPoint()
                                                      : w->mapTo(rec->widget, me->position().toPoint()));
    const WPARAM flags = MouseKeyFlags(me->buttons(), me->modifiers());
    g_mouseWindow = target->handle;
    g_mouseInside = target->handle;
    target->lastMouse = local;
    if (msg == WM_MOUSEMOVE)
        KeepHovering(target.get(), local);
    if (!g_capture)
        CallProc(target.get(), WM_SETCURSOR, reinterpret_cast<WPARAM>(target->handle), MAKELONG(HTCLIENT, msg));
    if (!captured && me->type() != QEvent::MouseButtonRelease && msg != WM_MOUSEMOVE) {
        NotifyParents(target->handle, MouseMessage(QEvent::MouseButtonPress, me->button(), 0), &global);
        if (!target->alive)
            return true;
    }
    Deliver(target.get(), captured ? nullptr : w, msg, flags, PackPoint(local.x(), local.y()), me, !captured);
    me->accept();
    return true;
}

bool Wheel(WindowRecord* rec, QWidget* w, QWheelEvent* we)
{
    const int delta = we->angleDelta().y();
    if (delta == 0)
        return false;
    const QPoint global = we->globalPosition().toPoint();
    const WPARAM wParam = MAKEWPARAM(static_cast<WORD>(MouseKeyFlags(we->buttons(), we->modifiers())),
                                     static_cast<WORD>(static_cast<SHORT>(delta)));
    Deliver(rec, w, WM_MOUSEWHEEL, wParam, PackPoint(global.x(), global.y()), we, true);
    we->accept();
    return true;
}

// The PC scan code of a virtual key and whether it is an extended key, for
// keys that come without a native code (offscreen, synthetic events).
struct ScanCode {
    int code;
    bool extended;
};

ScanCode ScanCodeOfKey(int vk, bool keypad)
{
    static const struct {
        int vk;
        int code;
    } kCodes[] = {
        {VK_HOME, 0x47},    {VK_UP, 0x48},      {VK_PRIOR, 0x49},   {VK_LEFT, 0x4B},    {VK_CLEAR, 0x4C},
        {VK_RIGHT, 0x4D},   {VK_END, 0x4F},     {VK_DOWN, 0x50},    {VK_NEXT, 0x51},    {VK_INSERT, 0x52},
        {VK_DELETE, 0x53},  {VK_NUMPAD7, 0x47}, {VK_NUMPAD8, 0x48}, {VK_NUMPAD9, 0x49}, {VK_NUMPAD4, 0x4B},
        {VK_NUMPAD5, 0x4C}, {VK_NUMPAD6, 0x4D}, {VK_NUMPAD1, 0x4F}, {VK_NUMPAD2, 0x50}, {VK_NUMPAD3, 0x51},
        {VK_NUMPAD0, 0x52}, {VK_DECIMAL, 0x53}, {VK_SUBTRACT, 0x4A}, {VK_ADD, 0x4E},    {VK_MULTIPLY, 0x37},
        {VK_DIVIDE, 0x35},  {VK_RETURN, 0x1C},  {VK_ESCAPE, 0x01},  {VK_TAB, 0x0F},     {VK_SPACE, 0x39},
        {VK_BACK, 0x0E},    {VK_APPS, 0x5D},
    };
    int code = 0;
    for (const auto& c : kCodes)
        if (c.vk == vk)
            code = c.code;
    bool extended;
    switch (vk) {
    case VK_INSERT:
    case VK_DELETE:
    case VK_HOME:
    case VK_END:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
        extended = !keypad;  // the keypad's own arrows and paging keys are not
        break;
    case VK_RETURN:
        extended = keypad;
        break;
    case VK_DIVIDE:
    case VK_RCONTROL:
    case VK_RMENU:
    case VK_APPS:
    case VK_LWIN:
        extended = true;
        break;
    default:
        extended = false;
    }
    return {code, extended};
}

// X11 key codes are the evdev codes plus 8. Evdev codes up to 88 are the PC
// scan codes; above, the extended keys get the codes they have on a PC.
ScanCode ScanCodeOfX11(int keycode)
{
    const int evdev = keycode - 8;
    if (evdev <= 88)
        return {evdev, false};
    static const struct {
        int evdev;
        int code;
    } kExtended[] = {
        {96, 0x1C},  {97, 0x1D},  {98, 0x35},  {99, 0x37},  {100, 0x38}, {102, 0x47}, {103, 0x48},
        {104, 0x49}, {105, 0x4B}, {106, 0x4D}, {107, 0x4F}, {108, 0x50}, {109, 0x51}, {110, 0x52},
        {111, 0x53}, {125, 0x5B}, {126, 0x5C}, {127, 0x5D},
    };
    for (const auto& e : kExtended)
        if (e.evdev == evdev)
            return {e.code, true};
    return {evdev & 0xFF, false};
}

bool IsX11()
{
    static const bool x11 = QGuiApplication::platformName() == QLatin1String("xcb");
    return x11;
}

ScanCode ScanCodeOf(const QKeyEvent* ke, int vk)
{
    const bool keypad = (ke->modifiers() & Qt::KeypadModifier) != 0;
    const quint32 native = ke->nativeScanCode();
    if (IsX11() && native > 8)
        return ScanCodeOfX11(static_cast<int>(native));
    ScanCode sc = ScanCodeOfKey(vk, keypad);
    if (native)
        sc.code = static_cast<int>(native & 0xFF);
    return sc;
}

// The characters TranslateMessage would make from this key press.
std::vector<UINT> KeyChars(const QKeyEvent* ke)
{
    std::vector<UINT> out;
    for (char32_t c : ke->text().toUcs4()) {
        if (c == 0x7F)
            continue;  // Delete makes no character on Windows
        if (c < 0x20 && c != 8 && c != 9 && c != 13 && c != 27 && !(ke->modifiers() & Qt::ControlModifier))
            continue;
        out.push_back(static_cast<UINT>(c));
    }
    return out;
}

bool Key(WindowRecord* rec, QWidget* w, QKeyEvent* ke)
{
    const bool down = ke->type() == QEvent::KeyPress;
    const int vk = VirtualKeyFromQt(ke->key(), ke->modifiers());
    const std::vector<UINT> chars = down ? KeyChars(ke) : std::vector<UINT>{};
    if (vk == 0 && chars.empty())
        return false;
    const bool alt = (ke->modifiers() & Qt::AltModifier) || vk == VK_MENU;
    const bool sys = (alt && !(ke->modifiers() & Qt::ControlModifier)) || vk == VK_F10;
    if (vk)
        UpdateKeyState(vk, down);
    const ScanCode sc = ScanCodeOf(ke, vk);
    DWORD lParam = 1 | (static_cast<DWORD>(sc.code & 0xFF) << 16);
    if (sc.extended)
        lParam |= 1u << 24;
    if (alt)
        lParam |= 1u << 29;
    if (down && ke->isAutoRepeat())
        lParam |= 1u << 30;
    if (!down)
        lParam |= (1u << 30) | (1u << 31);
    if (vk) {
        const UINT msg = down ? (sys ? WM_SYSKEYDOWN : WM_KEYDOWN) : (sys ? WM_SYSKEYUP : WM_KEYUP);
        MSG m{rec->handle, msg, static_cast<WPARAM>(vk), static_cast<LPARAM>(lParam), GetTickCount(), {0, 0}};
        if (PreTranslateInput(&m)) {
            ke->accept();
            return true;  // eaten: no characters either, as TranslateMessage never saw it
        }
        EventContext ctx{rec->handle, msg, chars.empty() ? w : nullptr, ke};
        PushEventContext(&ctx);
        CallProc(rec, msg, static_cast<WPARAM>(vk), static_cast<LPARAM>(lParam));
        PopEventContext(&ctx);
    }
    for (size_t i = 0; i < chars.size() && rec->alive; ++i)
        Deliver(rec, w, sys ? WM_SYSCHAR : WM_CHAR, chars[i], static_cast<LPARAM>(lParam), ke, i == 0);
    ke->accept();
    return true;
}

void SwitchFocus(HWND to)
{
    const HWND from = g_focus;
    if (from == to)
        return;
    g_focus = to;
    if (auto r = Record(from))
        CallProc(r.get(), WM_KILLFOCUS, reinterpret_cast<WPARAM>(to), 0);
    if (auto r = Record(to); r && g_focus == to)
        CallProc(r.get(), WM_SETFOCUS, reinterpret_cast<WPARAM>(from), 0);
}

void Focus(WindowRecord* rec, QEvent* e)
{
    if (e->type() == QEvent::FocusIn) {
        SwitchFocus(rec->handle);
    } else if (g_focus == rec->handle) {
        QWidget* next = QApplication::focusWidget();
        HWND to = nullptr;
        for (; next && !to; next = next->parentWidget())
            to = WindowOf(next);
        SwitchFocus(to);
    }
}

bool Paint(WindowRecord* rec, QWidget* w, QPaintEvent* pe)
{
    if (rec->layerDrawn) {
        if (!rec->updateRegion.isEmpty() && rec->redraw) {
            if (PaintsHeld())
                DeferPaint(rec->handle);  // painted once the hold ends, as on Windows
            else
                CallProc(rec, WM_PAINT, 0, 0);
        }
        return false;  // LayerWidget::paintEvent shows the surface
    }
    Deliver(rec, w, WM_PAINT, 0, 0, pe, true);
    rec->updateRegion = QRegion();
    return true;
}

bool Drop(WindowRecord* rec, QEvent* e)
{
    if (!(rec->exStyle & WS_EX_ACCEPTFILES))
        return false;
    auto* de = static_cast<QDropEvent*>(e);
    if (!de->mimeData()->hasUrls())
        return false;
    if (e->type() != QEvent::Drop) {
        de->acceptProposedAction();
        return true;
    }
    auto* drop = new QlDropRecord;
    for (const QUrl& url : de->mimeData()->urls())
        if (url.isLocalFile())
            drop->files.push_back(url.toLocalFile().toStdString());
    const QPoint p = de->position().toPoint();
    drop->point = POINT{p.x(), p.y()};
    de->acceptProposedAction();
    {
        std::lock_guard lock(g_dropLock);
        LiveDrops().insert(drop);
    }
    CallProc(rec, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
    return true;
}

// Windows gives no input to a disabled window, nor to the children of one.
bool IsDisabledForInput(const WindowRecord* rec)
{
    if (rec->style & WS_DISABLED)
        return true;
    for (auto r = Record(rec->parent); r; r = Record(r->parent))
        if (r->style & WS_DISABLED)
            return true;
    return false;
}

bool Bridge::eventFilter(QObject* obj, QEvent* e)
{
    auto* w = static_cast<QWidget*>(obj);
    EventContext* ctx = CurrentEventContext();
    if (ctx && ctx->event == e)
        return false;
    HWND hwnd = WindowOf(w);
    std::shared_ptr<WindowRecord> rec = Record(hwnd);
    if (!rec || rec->destroying)
        return false;
    const bool own = w == rec->widget;
    switch (e->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ContextMenu:
        // A window holding the capture still gets the moves it asked for.
        if (IsDisabledForInput(rec.get()) && !(g_capture && g_capture != hwnd && IsWindow(g_capture))) {
            e->accept();
            return true;
        }
        break;
    case QEvent::FocusIn:
        // Focus that lands on a disabled window goes nowhere.
        if (own && IsDisabledForInput(rec.get())) {
            w->clearFocus();
            return true;
        }
        break;
    default:
        break;
    }
    switch (e->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
        return Mouse(rec.get(), w, static_cast<QMouseEvent*>(e));
    case QEvent::Wheel:
        return Wheel(rec.get(), w, static_cast<QWheelEvent*>(e));
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        return Key(rec.get(), w, static_cast<QKeyEvent*>(e));
    case QEvent::FocusIn:
    case QEvent::FocusOut:
        if (own)
            Focus(rec.get(), e);
        return false;
    case QEvent::Paint:
        return own && Paint(rec.get(), w, static_cast<QPaintEvent*>(e));
    case QEvent::Resize:
    case QEvent::Move:
        if (own) {
            WINDOWPOS wp{hwnd, nullptr, w->x(), w->y(), w->width(), w->height(), SWP_NOZORDER | SWP_NOACTIVATE};
            if (w->size() != rec->lastSize || (w->isWindow() ? w->geometry().topLeft() : w->pos()) != rec->lastPos)
                CallProc(rec.get(), WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&wp));
        }
        return false;
    case QEvent::Close:
        if (own)
            Deliver(rec.get(), w, WM_CLOSE, 0, 0, e, false);
        e->ignore();
        return true;
    case QEvent::Enter:
        g_mouseInside = hwnd;
        return false;
    case QEvent::Leave:
        if (g_mouseInside == hwnd)
            g_mouseInside = nullptr;
        StopHover(rec.get());
        if (rec->trackLeave) {
            rec->trackLeave = false;
            CallProc(rec.get(), WM_MOUSELEAVE, 0, 0);
        }
        return false;
    case QEvent::ContextMenu: {
        auto* ce = static_cast<QContextMenuEvent*>(e);
        // From the keyboard the default procedure sends it, with (-1, -1).
        if (ce->reason() == QContextMenuEvent::Keyboard) {
            ce->accept();
            return true;
        }
        Deliver(rec.get(), w, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd),
                PackPoint(ce->globalPos().x(), ce->globalPos().y()), e, true);
        ce->accept();
        return true;
    }
    case QEvent::WindowActivate:
    case QEvent::WindowDeactivate:
        if (own && w->isWindow())
            CallProc(rec.get(), WM_ACTIVATE,
                     MAKEWPARAM(e->type() == QEvent::WindowActivate ? WA_ACTIVE : WA_INACTIVE, w->isMinimized()), 0);
        return false;
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        return own && Drop(rec.get(), e);
    default:
        return false;
    }
}

}  // namespace

LayerWidget::LayerWidget(QWidget* parent, Qt::WindowFlags flags) : QWidget(parent, flags)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
}

// A child's WS_BORDER or WS_EX_CLIENTEDGE, drawn over the edge of what the
// window shows (the layer has no non-client area; the surface keeps every
// pixel the window drew).
static void DrawChildBorder(QPainter& painter, HWND hwnd)
{
    auto rec = Record(hwnd);
    if (!rec || !rec->widget || !(rec->style & WS_CHILD))
        return;
    const QRect all = rec->widget->rect();
    if (rec->exStyle & WS_EX_CLIENTEDGE) {
        QStyleOptionFrame frame;
        frame.initFrom(rec->widget);
        frame.rect = all;
        frame.state |= QStyle::State_Sunken;
        frame.lineWidth = 2;
        frame.frameShape = QFrame::StyledPanel;
        QApplication::style()->drawPrimitive(QStyle::PE_Frame, &frame, &painter, rec->widget);
    } else if (rec->style & WS_BORDER) {
        const COLORREF c = GetSysColor(COLOR_WINDOWFRAME);
        painter.setPen(QColor(GetRValue(c), GetGValue(c), GetBValue(c)));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(all.adjusted(0, 0, -1, -1));
    }
}

void LayerWidget::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    QImage* surface = SurfaceOfWindow(WindowOf(this));
    if (!surface) {
        painter.fillRect(event->rect(), Qt::white);
        return;
    }
    // The surface has the screen's pixel density: each logical rectangle
    // comes from its device pixels, 1:1 on the screen.
    const qreal dpr = surface->devicePixelRatio();
    for (const QRect& r : event->region())
        painter.drawImage(QRectF(r), *surface, QRectF(r.x() * dpr, r.y() * dpr, r.width() * dpr, r.height() * dpr));
    DrawChildBorder(painter, WindowOf(this));
}

void AttachBridge(WindowRecord* rec)
{
    WatchAppState();
    QWidget* w = rec->widget;
    w->setProperty("qlafx_hwnd", QVariant::fromValue(static_cast<qulonglong>(reinterpret_cast<std::uintptr_t>(rec->handle))));
    w->setMouseTracking(true);
    // Mouse messages go to the window under the pointer only, as on Windows.
    w->setAttribute(Qt::WA_NoMousePropagation);
    w->installEventFilter(TheBridge());
}

void BridgeWidgetEvents(HWND hwnd, QWidget* widget)
{
    if (!widget || !IsWindow(hwnd))
        return;
    widget->setProperty("qlafx_hwnd", QVariant::fromValue(static_cast<qulonglong>(reinterpret_cast<std::uintptr_t>(hwnd))));
    widget->setMouseTracking(true);
    widget->setAttribute(Qt::WA_NoMousePropagation);
    widget->installEventFilter(TheBridge());
}

void EnsureSurface(WindowRecord* rec)
{
    if (!rec->widget)
        return;
    const QSize size = rec->widget->size().expandedTo(QSize(1, 1));
    // Device pixels of the screen the window is on; GDI stays logical.
    const qreal dpr = rec->widget->devicePixelRatioF();
    const QSize pixels = dpr == 1 ? size : (QSizeF(size) * dpr).toSize();
    if (!rec->surface) {
        rec->surface = std::make_unique<QImage>(pixels, QImage::Format_RGB32);
        rec->surface->setDevicePixelRatio(dpr);
        rec->surface->fill(Qt::white);
        return;
    }
    if (rec->surface->size() == pixels && rec->surface->devicePixelRatio() == dpr)
        return;
    if (rec->surface->devicePixelRatio() != dpr) {
        // On a screen of another density everything is drawn anew.
        rec->updateRegion = QRegion(0, 0, size.width(), size.height());
        rec->eraseNeeded = true;
        rec->widget->update();
    }
    QImage resized(pixels, QImage::Format_RGB32);
    resized.setDevicePixelRatio(dpr);
    resized.fill(Qt::white);
    QPainter p(&resized);
    p.drawImage(0, 0, *rec->surface);
    p.end();
    *rec->surface = resized;
}

QImage* SurfaceOfWindow(HWND hwnd)
{
    auto rec = Record(hwnd);
    if (!rec || !rec->alive)
        return nullptr;
    EnsureSurface(rec.get());
    return rec->surface.get();
}

qreal DevicePixelRatioOfWindow(HWND hwnd)
{
    auto rec = Record(hwnd);
    return rec && rec->widget ? rec->widget->devicePixelRatioF() : 1.0;
}

void SyncGeometry(WindowRecord* rec)
{
    QWidget* w = rec->widget;
    if (!w || !rec->alive)
        return;
    const QSize size = w->size();
    const QPoint pos = w->isWindow() ? w->geometry().topLeft() : w->pos();
    if (size != rec->lastSize) {
        rec->lastSize = size;
        if (rec->surface)
            EnsureSurface(rec);
        // The whole client is repainted after a size change.
        rec->updateRegion = QRegion(0, 0, size.width(), size.height());
        rec->eraseNeeded = true;
        w->update();
        const UINT type = w->isMinimized() ? SIZE_MINIMIZED : w->isMaximized() ? SIZE_MAXIMIZED : SIZE_RESTORED;
        CallProc(rec, WM_SIZE, type, MAKELPARAM(static_cast<WORD>(size.width()), static_cast<WORD>(size.height())));
    }
    if (rec->alive && pos != rec->lastPos) {
        rec->lastPos = pos;
        CallProc(rec, WM_MOVE, 0, PackPoint(pos.x(), pos.y()));
    }
}

LRESULT DefaultForEvent(WindowRecord* rec, UINT msg, WPARAM wParam, LPARAM lParam, bool* handled)
{
    *handled = false;
    EventContext* ctx = CurrentEventContext();
    if (!ctx || ctx->hwnd != rec->handle || ctx->message != msg || ctx->delivered || !ctx->widget)
        return 0;
    ctx->delivered = true;
    QPointer<QWidget> widget = ctx->widget;
    QEvent* e = ctx->event;
    e->accept();
    if (!widget) {
        *handled = true;
        return 0;
    }
    EventAccess::Call(widget, e);
    if (msg == WM_PAINT) {
        rec->updateRegion = QRegion();
        rec->eraseNeeded = false;
    }
    // Windows passes unused wheel and context-menu messages up to the parent.
    if ((msg == WM_MOUSEWHEEL || msg == WM_CONTEXTMENU) && !e->isAccepted() && rec->parent) {
        *handled = true;
        return SendMessage(rec->parent, msg, wParam, lParam);
    }
    *handled = true;
    return 0;
}

void ForgetWindowInput(HWND hwnd)
{
    if (g_focus == hwnd)
        g_focus = nullptr;
    if (g_capture == hwnd)
        g_capture = nullptr;
    if (g_mouseWindow == hwnd)
        g_mouseWindow = nullptr;
    if (g_mouseInside == hwnd)
        g_mouseInside = nullptr;
}

int VirtualKeyFromQt(int qtKey, Qt::KeyboardModifiers modifiers)
{
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
        return 'A' + (qtKey - Qt::Key_A);
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return (modifiers & Qt::KeypadModifier) ? VK_NUMPAD0 + (qtKey - Qt::Key_0) : '0' + (qtKey - Qt::Key_0);
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return VK_F1 + (qtKey - Qt::Key_F1);
    switch (qtKey) {
    case Qt::Key_Backspace: return VK_BACK;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return VK_TAB;
    case Qt::Key_Clear: return VK_CLEAR;
    case Qt::Key_Return:
    case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_Shift: return VK_SHIFT;
    case Qt::Key_Control: return VK_CONTROL;
    case Qt::Key_Alt: return VK_MENU;
    case Qt::Key_Pause: return VK_PAUSE;
    case Qt::Key_CapsLock: return VK_CAPITAL;
    case Qt::Key_Escape: return VK_ESCAPE;
    case Qt::Key_Space: return VK_SPACE;
    case Qt::Key_PageUp: return VK_PRIOR;
    case Qt::Key_PageDown: return VK_NEXT;
    case Qt::Key_End: return VK_END;
    case Qt::Key_Home: return VK_HOME;
    case Qt::Key_Left: return VK_LEFT;
    case Qt::Key_Up: return VK_UP;
    case Qt::Key_Right: return VK_RIGHT;
    case Qt::Key_Down: return VK_DOWN;
    case Qt::Key_Select: return VK_SELECT;
    case Qt::Key_Print: return VK_SNAPSHOT;
    case Qt::Key_Insert: return VK_INSERT;
    case Qt::Key_Delete: return VK_DELETE;
    case Qt::Key_Help: return VK_HELP;
    case Qt::Key_Meta: return VK_LWIN;
    case Qt::Key_Menu: return VK_APPS;
    case Qt::Key_NumLock: return VK_NUMLOCK;
    case Qt::Key_ScrollLock: return VK_SCROLL;
    case Qt::Key_Asterisk: return VK_MULTIPLY;
    case Qt::Key_Plus: return (modifiers & Qt::KeypadModifier) ? VK_ADD : VK_OEM_PLUS;
    case Qt::Key_Minus: return (modifiers & Qt::KeypadModifier) ? VK_SUBTRACT : VK_OEM_MINUS;
    case Qt::Key_Period: return (modifiers & Qt::KeypadModifier) ? VK_DECIMAL : VK_OEM_PERIOD;
    case Qt::Key_Slash: return (modifiers & Qt::KeypadModifier) ? VK_DIVIDE : VK_OEM_2;
    case Qt::Key_Comma: return VK_OEM_COMMA;
    case Qt::Key_Equal: return VK_OEM_PLUS;
    case Qt::Key_Semicolon: return VK_OEM_1;
    case Qt::Key_QuoteLeft: return VK_OEM_3;
    case Qt::Key_BracketLeft: return VK_OEM_4;
    case Qt::Key_Backslash: return VK_OEM_5;
    case Qt::Key_BracketRight: return VK_OEM_6;
    case Qt::Key_Apostrophe: return VK_OEM_7;
    }
    return 0;
}

UINT MouseKeyFlags(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers)
{
    UINT flags = 0;
    if (buttons & Qt::LeftButton)
        flags |= MK_LBUTTON;
    if (buttons & Qt::RightButton)
        flags |= MK_RBUTTON;
    if (buttons & Qt::MiddleButton)
        flags |= MK_MBUTTON;
    if (buttons & Qt::XButton1)
        flags |= MK_XBUTTON1;
    if (buttons & Qt::XButton2)
        flags |= MK_XBUTTON2;
    if (modifiers & Qt::ShiftModifier)
        flags |= MK_SHIFT;
    if (modifiers & Qt::ControlModifier)
        flags |= MK_CONTROL;
    return flags;
}

void ProcessPendingEvents()
{
    for (int round = 0; round < 8; ++round) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
}

HWND CapturedWindow()
{
    return IsWindow(g_capture) ? g_capture : nullptr;
}

HWND FocusedWindow()
{
    return IsWindow(g_focus) ? g_focus : nullptr;
}

HWND MouseWindow()
{
    return IsWindow(g_mouseWindow) ? g_mouseWindow : nullptr;
}

bool MouseIsInside(HWND hwnd)
{
    return g_mouseInside == hwnd;
}

void SetCaptureWindow(HWND hwnd)
{
    g_capture = hwnd;
}

void SwitchFocusTo(HWND hwnd)
{
    SwitchFocus(hwnd);
}

}  // namespace qlafx

using namespace qlafx;

HWND SetFocus(HWND hwnd)
{
    const HWND old = FocusedWindow();
    if (hwnd && !IsWindow(hwnd))
        return old;
    if (QWidget* w = WidgetOf(hwnd)) {
        if (!w->window()->isActiveWindow())
            w->window()->activateWindow();
        w->setFocus(Qt::OtherFocusReason);
    }
    SwitchFocus(hwnd);
    return old;
}

HWND GetFocus()
{
    return FocusedWindow();
}

HWND SetCapture(HWND hwnd)
{
    const HWND old = CapturedWindow();
    if (!IsWindow(hwnd))
        return old;
    SetCaptureWindow(hwnd);
    if (old && old != hwnd)
        SendMessage(old, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hwnd));
    return old;
}

BOOL ReleaseCapture()
{
    const HWND old = CapturedWindow();
    SetCaptureWindow(nullptr);
    if (old)
        SendMessage(old, WM_CAPTURECHANGED, 0, 0);
    return TRUE;
}

HWND GetCapture()
{
    return CapturedWindow();
}

BOOL TrackMouseEvent(LPTRACKMOUSEEVENT tme)
{
    if (!tme)
        return FALSE;
    auto rec = Record(tme->hwndTrack);
    if (!rec)
        return FALSE;
    if (tme->dwFlags & TME_LEAVE) {
        rec->trackLeave = !(tme->dwFlags & TME_CANCEL);
        // Asked while the pointer is already outside: the leave comes at once.
        if (rec->trackLeave && !MouseIsInside(tme->hwndTrack)) {
            rec->trackLeave = false;
            PostMessage(tme->hwndTrack, WM_MOUSELEAVE, 0, 0);
        }
    }
    if (tme->dwFlags & TME_HOVER) {
        if (tme->dwFlags & TME_CANCEL)
            StopHover(rec.get());
        else
            StartHover(rec.get(), tme->dwHoverTime);
    }
    return TRUE;
}

BOOL _TrackMouseEvent(LPTRACKMOUSEEVENT tme)
{
    return TrackMouseEvent(tme);
}

void DragAcceptFiles(HWND hwnd, BOOL accept)
{
    const DWORD ex = static_cast<DWORD>(GetWindowLong(hwnd, GWL_EXSTYLE));
    SetWindowLong(hwnd, GWL_EXSTYLE, static_cast<LONG>(accept ? ex | WS_EX_ACCEPTFILES : ex & ~WS_EX_ACCEPTFILES));
}

UINT DragQueryFile(HDROP drop, UINT index, LPSTR out, UINT size)
{
    std::lock_guard lock(g_dropLock);
    if (!LiveDrops().count(drop))
        return 0;
    if (index == 0xFFFFFFFF)
        return static_cast<UINT>(drop->files.size());
    if (index >= drop->files.size())
        return 0;
    const std::string& file = drop->files[index];
    if (!out || size == 0)
        return static_cast<UINT>(file.size());
    const size_t n = std::min<size_t>(size - 1, file.size());
    std::memcpy(out, file.data(), n);
    out[n] = '\0';
    return static_cast<UINT>(n);
}

BOOL DragQueryPoint(HDROP drop, LPPOINT pt)
{
    std::lock_guard lock(g_dropLock);
    if (!LiveDrops().count(drop) || !pt)
        return FALSE;
    *pt = drop->point;
    return TRUE;
}

void DragFinish(HDROP drop)
{
    std::lock_guard lock(g_dropLock);
    if (LiveDrops().erase(drop))
        delete drop;
}
