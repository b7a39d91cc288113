// Cursors, key state, system metrics and the beep.
#include "platform/afx/CmdTarget.h"
#include "platform/afx/DC.h"
#include "platform/afx/MessageBox.h"
#include "platform/afx/QtBridge.h"
#include "platform/afx/Resources.h"
#include "platform/afx/WinApp.h"
#include "platform/afx/WndRecord.h"
#include "platform/win/Wallpaper.h"

#include <QApplication>
#include <QCursor>
#include <QFont>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstring>

using namespace qlafx;

namespace {

std::atomic<BYTE> g_keys[256];
HCURSOR g_cursor = nullptr;
int g_showCount = 0;
int g_waitCount = 0;

Qt::CursorShape ShapeOf(int id)
{
    switch (id) {
    case 32513: return Qt::IBeamCursor;
    case 32514: return Qt::WaitCursor;
    case 32515: return Qt::CrossCursor;
    case 32516: return Qt::UpArrowCursor;
    case 32642: return Qt::SizeFDiagCursor;
    case 32643: return Qt::SizeBDiagCursor;
    case 32644: return Qt::SizeHorCursor;
    case 32645: return Qt::SizeVerCursor;
    case 32646: return Qt::SizeAllCursor;
    case 32648: return Qt::ForbiddenCursor;
    case 32649: return Qt::PointingHandCursor;
    case 32650: return Qt::BusyCursor;
    case 32651: return Qt::WhatsThisCursor;
    default: return Qt::ArrowCursor;
    }
}

QCursor ToQCursor(HCURSOR cursor)
{
    if (!cursor)
        return QCursor(Qt::BlankCursor);
    if (const int id = SystemCursorId(cursor))
        return QCursor(ShapeOf(id));
    POINT hot{0, 0};
    const QImage image = IconImage(cursor, &hot);
    if (image.isNull())
        return QCursor(Qt::ArrowCursor);
    return QCursor(QPixmap::fromImage(image), hot.x, hot.y);
}

}  // namespace

namespace qlafx {

void UpdateKeyState(int vk, bool down)
{
    if (vk <= 0 || vk > 255)
        return;
    BYTE state = g_keys[vk].load();
    if (down && !(state & 0x80))
        state ^= 0x01;  // toggled on each press, as Caps Lock
    state = down ? (state | 0x80) : (state & ~0x80);
    g_keys[vk] = state;
    // The left and right variants follow the generic key.
    if (vk == VK_SHIFT || vk == VK_CONTROL || vk == VK_MENU) {
        const int left = vk == VK_SHIFT ? VK_LSHIFT : vk == VK_CONTROL ? VK_LCONTROL : VK_LMENU;
        g_keys[left] = down ? 0x80 : 0;
    }
}

}  // namespace qlafx

HCURSOR SetCursor(HCURSOR cursor)
{
    const HCURSOR old = g_cursor;
    g_cursor = cursor;
    if (QWidget* w = WidgetOf(MouseWindow()))
        w->setCursor(ToQCursor(cursor));
    return old;
}

HCURSOR GetCursor()
{
    return g_cursor;
}

BOOL GetCursorPos(LPPOINT pt)
{
    if (!pt)
        return FALSE;
    const QPoint p = QCursor::pos();
    *pt = POINT{p.x(), p.y()};
    return TRUE;
}

BOOL SetCursorPos(int x, int y)
{
    QCursor::setPos(x, y);
    return TRUE;
}

int ShowCursor(BOOL show)
{
    const int before = g_showCount;
    g_showCount += show ? 1 : -1;
    if (QGuiApplication::instance()) {
        if (before >= 0 && g_showCount < 0)
            QGuiApplication::setOverrideCursor(QCursor(Qt::BlankCursor));
        else if (before < 0 && g_showCount >= 0)
            QGuiApplication::restoreOverrideCursor();
    }
    return g_showCount;
}

SHORT GetKeyState(int vk)
{
    if (vk <= 0 || vk > 255)
        return 0;
    const BYTE state = g_keys[vk].load();
    return static_cast<SHORT>(((state & 0x80) ? 0x8000 : 0) | (state & 0x01));
}

SHORT GetAsyncKeyState(int vk)
{
    return static_cast<SHORT>(GetKeyState(vk) & 0x8000);
}

int GetSystemMetrics(int index)
{
    QRect screen(0, 0, 1920, 1080);
    QRect avail = screen;
    if (QGuiApplication::instance())
        if (QScreen* s = QGuiApplication::primaryScreen()) {
            screen = s->geometry();
            avail = s->availableGeometry();
        }
    switch (index) {
    case SM_CXSCREEN: return screen.width();
    case SM_CYSCREEN: return screen.height();
    case SM_CXFULLSCREEN: return avail.width();
    case SM_CYFULLSCREEN: return avail.height() - 19;
    case SM_CXMAXIMIZED: return avail.width() + 8;
    case SM_CYMAXIMIZED: return avail.height() + 8;
    case SM_CXVSCROLL:
    case SM_CYHSCROLL:
    case SM_CYVSCROLL:
    case SM_CXHSCROLL:
    case SM_CYVTHUMB:
    case SM_CXHTHUMB: return 17;
    case SM_CYCAPTION: return 19;
    case SM_CYMENU: return 19;
    case SM_CXBORDER:
    case SM_CYBORDER: return 1;
    case SM_CXEDGE:
    case SM_CYEDGE: return 2;
    case SM_CXDLGFRAME:
    case SM_CYDLGFRAME: return 3;
    case SM_CXFRAME:
    case SM_CYFRAME: return 4;
    case SM_CXICON:
    case SM_CYICON:
    case SM_CXCURSOR:
    case SM_CYCURSOR: return 32;
    case SM_CXSMICON:
    case SM_CYSMICON: return 16;
    case SM_CXSIZE:
    case SM_CYSIZE: return 18;
    case SM_CXMIN: return 112;
    case SM_CYMIN: return 27;
    case SM_CXDOUBLECLK:
    case SM_CYDOUBLECLK: return 4;
    case SM_CMONITORS: return QGuiApplication::instance() ? static_cast<int>(QGuiApplication::screens().size()) : 1;
    }
    return 0;
}

namespace {

// The available area (without panels and docks) of the screen the main
// window is on, else of the primary screen.
BOOL WorkArea(RECT* area)
{
    if (!QGuiApplication::instance())
        return FALSE;
    QScreen* screen = QGuiApplication::primaryScreen();
    if (CWinApp* app = AfxGetApp(); app && app->m_pMainWnd && app->m_pMainWnd->m_hWnd)
        if (QWidget* main = qlafx::WidgetOf(app->m_pMainWnd->m_hWnd); main && main->screen())
            screen = main->screen();
    if (!screen)
        return FALSE;
    const QRect r = screen->availableGeometry();
    *area = RECT{r.left(), r.top(), r.right() + 1, r.bottom() + 1};
    return TRUE;
}

} // namespace

BOOL SystemParametersInfo(UINT action, UINT, LPVOID pvParam, UINT)
{
    if (action == SPI_SETDESKWALLPAPER)
        return qlwin::SetDesktopWallpaper(static_cast<const char*>(pvParam));
    if (action == SPI_GETWORKAREA && pvParam)
        return WorkArea(static_cast<RECT*>(pvParam));
    if (action != SPI_GETNONCLIENTMETRICS || !pvParam)
        return FALSE;
    auto* m = static_cast<NONCLIENTMETRICS*>(pvParam);
    // Callers built before the padded border field pass the shorter size.
    constexpr UINT kShort = offsetof(NONCLIENTMETRICS, iPaddedBorderWidth);
    const UINT size = m->cbSize;
    if (size != sizeof(NONCLIENTMETRICS) && size != kShort)
        return FALSE;
    NONCLIENTMETRICS out{};
    out.cbSize = size;
    // One source: the fonts Qt's own widgets of each kind are drawn with.
    QFont general, menu, status, message;
    if (QGuiApplication::instance()) {
        general = QApplication::font();
        menu = QApplication::font("QMenu");
        status = QApplication::font("QStatusBar");
        message = QApplication::font("QMessageBox");
    }
    QFont caption = general;
    caption.setBold(true);
    qlafx::LogFontOf(caption, &out.lfCaptionFont);
    qlafx::LogFontOf(general, &out.lfSmCaptionFont);
    qlafx::LogFontOf(menu, &out.lfMenuFont);
    qlafx::LogFontOf(status, &out.lfStatusFont);
    qlafx::LogFontOf(message, &out.lfMessageFont);
    out.iBorderWidth = 1;
    out.iScrollWidth = out.iScrollHeight = GetSystemMetrics(SM_CXVSCROLL);
    out.iCaptionWidth = out.iCaptionHeight = std::max(GetSystemMetrics(SM_CYCAPTION) - 1, -out.lfCaptionFont.lfHeight + 6);
    out.iSmCaptionWidth = out.iSmCaptionHeight = std::max(15, -out.lfSmCaptionFont.lfHeight + 4);
    out.iMenuWidth = out.iMenuHeight = std::max(GetSystemMetrics(SM_CYMENU) - 1, -out.lfMenuFont.lfHeight + 6);
    std::memcpy(m, &out, size);
    return TRUE;
}

DWORD GetDoubleClickTime()
{
    return 500;
}

namespace {

qlafx::BeepHook& BeepHookSlot()
{
    static qlafx::BeepHook hook;
    return hook;
}

}  // namespace

void qlafx::SetBeepHook(BeepHook hook) { BeepHookSlot() = std::move(hook); }

BOOL MessageBeep(UINT type)
{
    if (BeepHookSlot())
        BeepHookSlot()(type);
    else if (QApplication::instance())
        QApplication::beep();
    return TRUE;
}

void AfxBeginWaitCursor()
{
    if (QGuiApplication::instance())
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    ++g_waitCount;
}

void AfxEndWaitCursor()
{
    if (g_waitCount == 0)
        return;
    --g_waitCount;
    if (QGuiApplication::instance())
        QGuiApplication::restoreOverrideCursor();
}
