// The record behind each HWND. Private to qlafx.
//
// Handle values are serial numbers, never reused: a destroyed window's
// handle stays invalid however many windows come after it.
#pragma once

#include "platform/afx/Wnd.h"
#include "platform/afx/WinUser.h"
#include "platform/win/Threads.h"
#include "platform/win/Timing.h"

#include <QImage>
#include <QPointer>
#include <QRegion>
#include <QWidget>

#include <atomic>
#include <map>
#include <memory>
#include <string>
#include <vector>

class QTimer;
class QEvent;
class CWinThread;

namespace qlafx {

struct WindowClass {
    std::string name;
    WNDCLASS wc{};
    const BuiltinClass* builtin = nullptr;
};

struct WindowRecord {
    HWND handle = nullptr;
    std::atomic<bool> alive{true};
    std::atomic<bool> destroying{false};  // read by PostMessage on other threads
    DWORD threadId = 0;
    QPointer<QWidget> widget;
    bool layerDrawn = true;
    std::string className;
    UINT classStyle = 0;
    HCURSOR classCursor = nullptr;
    HBRUSH classBackground = nullptr;
    WNDPROC proc = nullptr;
    CWnd* permanent = nullptr;

    DWORD style = 0;
    DWORD exStyle = 0;
    UINT id = 0;
    LONG_PTR userData = 0;
    HWND parent = nullptr;  // WS_CHILD windows
    HWND owner = nullptr;   // others
    std::vector<HWND> children;  // top of the Z order first
    std::string text;
    HFONT font = nullptr;
    HICON icons[2] = {nullptr, nullptr};

    std::unique_ptr<QImage> surface;  // stable address: DCs keep the pointer
    QRegion updateRegion;
    bool eraseNeeded = false;
    bool redraw = true;
    QSize lastSize{-1, -1};
    QPoint lastPos{INT32_MIN, INT32_MIN};

    std::map<UINT_PTR, QTimer*> timers;
    bool trackLeave = false;
    bool trackHover = false;
    QTimer* hoverTimer = nullptr;  // single shot, child of the widget
    QPoint hoverAnchor;            // where the pointer rests, client coordinates
    QPoint lastMouse;              // the last mouse message's point
};

// Registry (thread-safe).
std::shared_ptr<WindowRecord> Record(HWND hwnd);  // NULL when dead or unknown
WindowRecord* RecordOnThread(HWND hwnd);           // the same, for the window's own thread
std::vector<HWND> AllWindows();

// The Qt event being translated now on this thread, so DefWindowProc can
// hand it to the widget's own handling.
struct EventContext {
    HWND hwnd;
    UINT message;
    QWidget* widget;
    QEvent* event;
    bool delivered = false;
    EventContext* outer = nullptr;
};
EventContext* CurrentEventContext();
void PushEventContext(EventContext* ctx);
void PopEventContext(EventContext* ctx);

// Calls the window's procedure on this thread (no marshalling).
LRESULT CallProc(WindowRecord* rec, UINT msg, WPARAM wParam, LPARAM lParam);
// The message being handled now on this thread (for Default and reflection).
const MSG* CurrentMessage();

// Queue side (WinThread.cpp).
bool IsGuiThread();
// Input messages go through PreTranslateMessage of the thread as when posted.
BOOL PreTranslateInput(MSG* msg);
void DispatchPosted(const MSG& msg);
// Makes thread the CWinThread of the calling thread (its queue exists from now on).
void SetThreadObject(CWinThread* thread);
// Makes the calling thread's queue (windows are created on it).
void EnsureThreadQueue();
// True while a HoldPostedMessages lives on this thread (and holds paints).
bool PostedMessagesHeld();
bool PaintsHeld();
// A window whose WM_PAINT came during a hold: repainted when it ends.
void DeferPaint(HWND hwnd);

// Bridge side (QtBridge.cpp).
void AttachBridge(WindowRecord* rec);
void EnsureSurface(WindowRecord* rec);
void SyncGeometry(WindowRecord* rec);  // sends WM_SIZE / WM_MOVE when the widget's geometry changed
LRESULT DefaultForEvent(WindowRecord* rec, UINT msg, WPARAM wParam, LPARAM lParam, bool* handled);
void ForgetWindowInput(HWND hwnd);
// WM_PARENTNOTIFY about child (event WM_CREATE, WM_DESTROY or a button-down
// message) to its parent and on up, until a window with WS_EX_NOPARENTNOTIFY
// or a top-level window; globalPos is the pointer for button-downs.
void NotifyParents(HWND child, UINT event, const QPoint* globalPos = nullptr);
HWND CapturedWindow();
HWND FocusedWindow();
HWND MouseWindow();  // the window that had the last mouse message
void UpdateKeyState(int vk, bool down);

}  // namespace qlafx
