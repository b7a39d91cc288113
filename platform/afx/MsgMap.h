// Message map macros. Each entry carries a small thunk that unpacks the
// message and calls the handler with the signature window code writes
// (void OnLButtonDown(UINT nFlags, CPoint point), BOOL OnEraseBkgnd(CDC*)...).
// The thunks are written inside BEGIN_MESSAGE_MAP, so protected handlers
// are reachable and each handler is type-checked where the map is.
#pragma once

#include "platform/afx/AfxTypes.h"
#include "platform/afx/CmdTarget.h"

#include <type_traits>

class CDC;
class CScrollBar;

#define afx_msg

namespace qlafx {

// Handle-to-object conversions for the thunks (temporary objects as in FromHandle).
CWnd* WndFromHandle(HWND hwnd);
CDC* DCFromHandle(HDC hdc);
// Defined with CMenu; only the menu message entries need it.
CMenu* MenuFromHandle(HMENU menu);

template <class F>
void StoreResult(LRESULT& out, F&& call)
{
    using R = decltype(call());
    if constexpr (std::is_void_v<R>) {
        call();
        out = 0;
    } else if constexpr (std::is_pointer_v<R>) {
        out = reinterpret_cast<LRESULT>(call());
    } else {
        out = static_cast<LRESULT>(call());
    }
}

}  // namespace qlafx

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                                                         \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); }                                  \
    const AFX_MSGMAP* theClass::GetThisMessageMap()                                                                    \
    {                                                                                                                  \
        using ThisClass = theClass;                                                                                    \
        using TheBaseClass = baseClass;                                                                                \
        static_assert(sizeof(ThisClass) > 0);                                                                          \
        static const AFX_MSGMAP_ENTRY _messageEntries[] = {

#define END_MESSAGE_MAP()                                                                                              \
    {0, 0, 0, 0, nullptr, nullptr}                                                                                     \
    }                                                                                                                  \
    ;                                                                                                                  \
    static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &_messageEntries[0]};                      \
    return &messageMap;                                                                                                \
    }

// An entry whose thunk evaluates expr (with p_ the target and c_ the call) as
// the result.
#define QLAFX_ENTRY(msg, code, id, lastId, reg, expr)                                                                  \
    {static_cast<UINT>(msg), static_cast<UINT>(code), static_cast<UINT>(id), static_cast<UINT>(lastId), reg,           \
     [](CCmdTarget* t_, qlafx::MsgCall& c_) -> BOOL {                                                                  \
         ThisClass* p_ = static_cast<ThisClass*>(t_);                                                                  \
         qlafx::StoreResult(c_.result, [&] { return expr; });                                                          \
         return TRUE;                                                                                                  \
     }},
// The same, for handlers whose BOOL result says whether they took the command.
#define QLAFX_ENTRY_EX(msg, code, id, lastId, expr)                                                                    \
    {static_cast<UINT>(msg), static_cast<UINT>(code), static_cast<UINT>(id), static_cast<UINT>(lastId), nullptr,       \
     [](CCmdTarget* t_, qlafx::MsgCall& c_) -> BOOL {                                                                  \
         ThisClass* p_ = static_cast<ThisClass*>(t_);                                                                  \
         (void)c_;                                                                                                     \
         return (expr) ? TRUE : FALSE;                                                                                 \
     }},
#define QLAFX_WM(msg, expr) QLAFX_ENTRY(msg, 0, 0, 0, nullptr, expr)

#define QLAFX_HWND(v) reinterpret_cast<HWND>(v)
#define QLAFX_WND(v) qlafx::WndFromHandle(reinterpret_cast<HWND>(v))
#define QLAFX_DC(v) qlafx::DCFromHandle(reinterpret_cast<HDC>(v))
#define QLAFX_LO(v) LOWORD(static_cast<DWORD>(v))
#define QLAFX_HI(v) HIWORD(static_cast<DWORD>(v))

// ---- window messages ----
#define ON_WM_CREATE() QLAFX_WM(WM_CREATE, p_->OnCreate(reinterpret_cast<LPCREATESTRUCT>(c_.lParam)))
#define ON_WM_DESTROY() QLAFX_WM(WM_DESTROY, p_->OnDestroy())
#define ON_WM_NCDESTROY() QLAFX_WM(WM_NCDESTROY, p_->OnNcDestroy())
#define ON_WM_PAINT() QLAFX_WM(WM_PAINT, p_->OnPaint())
#define ON_WM_NCPAINT() QLAFX_WM(WM_NCPAINT, p_->OnNcPaint())
#define ON_WM_ERASEBKGND() QLAFX_WM(WM_ERASEBKGND, p_->OnEraseBkgnd(QLAFX_DC(c_.wParam)))
#define ON_WM_SIZE()                                                                                                   \
    QLAFX_WM(WM_SIZE, p_->OnSize(static_cast<UINT>(c_.wParam), QLAFX_LO(c_.lParam), QLAFX_HI(c_.lParam)))
#define ON_WM_SIZING() QLAFX_WM(WM_SIZING, p_->OnSizing(static_cast<UINT>(c_.wParam), reinterpret_cast<LPRECT>(c_.lParam)))
#define ON_WM_MOVE() QLAFX_WM(WM_MOVE, p_->OnMove(GET_X_LPARAM(c_.lParam), GET_Y_LPARAM(c_.lParam)))
#define ON_WM_MOVING() QLAFX_WM(WM_MOVING, p_->OnMoving(static_cast<UINT>(c_.wParam), reinterpret_cast<LPRECT>(c_.lParam)))
#define ON_WM_SHOWWINDOW()                                                                                             \
    QLAFX_WM(WM_SHOWWINDOW, p_->OnShowWindow(static_cast<BOOL>(c_.wParam), static_cast<UINT>(c_.lParam)))
#define QLAFX_MOUSE(msg, fn) QLAFX_WM(msg, p_->fn(static_cast<UINT>(c_.wParam), CPoint(c_.lParam)))
#define ON_WM_MOUSEMOVE() QLAFX_MOUSE(WM_MOUSEMOVE, OnMouseMove)
#define ON_WM_LBUTTONDOWN() QLAFX_MOUSE(WM_LBUTTONDOWN, OnLButtonDown)
#define ON_WM_LBUTTONUP() QLAFX_MOUSE(WM_LBUTTONUP, OnLButtonUp)
#define ON_WM_LBUTTONDBLCLK() QLAFX_MOUSE(WM_LBUTTONDBLCLK, OnLButtonDblClk)
#define ON_WM_RBUTTONDOWN() QLAFX_MOUSE(WM_RBUTTONDOWN, OnRButtonDown)
#define ON_WM_RBUTTONUP() QLAFX_MOUSE(WM_RBUTTONUP, OnRButtonUp)
#define ON_WM_RBUTTONDBLCLK() QLAFX_MOUSE(WM_RBUTTONDBLCLK, OnRButtonDblClk)
#define ON_WM_MBUTTONDOWN() QLAFX_MOUSE(WM_MBUTTONDOWN, OnMButtonDown)
#define ON_WM_MBUTTONUP() QLAFX_MOUSE(WM_MBUTTONUP, OnMButtonUp)
#define ON_WM_MBUTTONDBLCLK() QLAFX_MOUSE(WM_MBUTTONDBLCLK, OnMButtonDblClk)
#define ON_WM_MOUSEHOVER() QLAFX_MOUSE(WM_MOUSEHOVER, OnMouseHover)
#define ON_WM_NCLBUTTONDOWN() QLAFX_MOUSE(WM_NCLBUTTONDOWN, OnNcLButtonDown)
#define ON_WM_NCMOUSEMOVE() QLAFX_MOUSE(WM_NCMOUSEMOVE, OnNcMouseMove)
#define ON_WM_MOUSEWHEEL()                                                                                             \
    QLAFX_WM(WM_MOUSEWHEEL, p_->OnMouseWheel(QLAFX_LO(c_.wParam), GET_WHEEL_DELTA_WPARAM(c_.wParam), CPoint(c_.lParam)))
#define ON_WM_MOUSELEAVE() QLAFX_WM(WM_MOUSELEAVE, p_->OnMouseLeave())
#define ON_WM_MOUSEACTIVATE()                                                                                          \
    QLAFX_WM(WM_MOUSEACTIVATE, p_->OnMouseActivate(QLAFX_WND(c_.wParam), QLAFX_LO(c_.lParam), QLAFX_HI(c_.lParam)))
#define QLAFX_KEY(msg, fn)                                                                                             \
    QLAFX_WM(msg, p_->fn(static_cast<UINT>(c_.wParam), QLAFX_LO(c_.lParam), QLAFX_HI(c_.lParam)))
#define ON_WM_KEYDOWN() QLAFX_KEY(WM_KEYDOWN, OnKeyDown)
#define ON_WM_KEYUP() QLAFX_KEY(WM_KEYUP, OnKeyUp)
#define ON_WM_CHAR() QLAFX_KEY(WM_CHAR, OnChar)
#define ON_WM_SYSKEYDOWN() QLAFX_KEY(WM_SYSKEYDOWN, OnSysKeyDown)
#define ON_WM_SYSKEYUP() QLAFX_KEY(WM_SYSKEYUP, OnSysKeyUp)
#define ON_WM_SYSCHAR() QLAFX_KEY(WM_SYSCHAR, OnSysChar)
#define ON_WM_SETFOCUS() QLAFX_WM(WM_SETFOCUS, p_->OnSetFocus(QLAFX_WND(c_.wParam)))
#define ON_WM_KILLFOCUS() QLAFX_WM(WM_KILLFOCUS, p_->OnKillFocus(QLAFX_WND(c_.wParam)))
#define ON_WM_SETCURSOR()                                                                                              \
    QLAFX_WM(WM_SETCURSOR, p_->OnSetCursor(QLAFX_WND(c_.wParam), QLAFX_LO(c_.lParam), QLAFX_HI(c_.lParam)))
#define ON_WM_TIMER() QLAFX_WM(WM_TIMER, p_->OnTimer(c_.wParam))
#define ON_WM_HOTKEY()                                                                                              \
    QLAFX_WM(WM_HOTKEY, p_->OnHotKey(static_cast<UINT>(c_.wParam), static_cast<UINT>(c_.lParam & 0xFFFF),            \
                                     static_cast<UINT>((c_.lParam >> 16) & 0xFFFF)))
#define ON_WM_CLOSE() QLAFX_WM(WM_CLOSE, p_->OnClose())
#define ON_WM_QUERYENDSESSION() QLAFX_WM(WM_QUERYENDSESSION, p_->OnQueryEndSession())
#define ON_WM_GETMINMAXINFO() QLAFX_WM(WM_GETMINMAXINFO, p_->OnGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(c_.lParam)))
#define ON_WM_DROPFILES() QLAFX_WM(WM_DROPFILES, p_->OnDropFiles(reinterpret_cast<HDROP>(c_.wParam)))
// All WM_CTLCOLOR* kinds; nCtlColor is the kind (CTLCOLOR_*).
#define ON_WM_CTLCOLOR()                                                                                               \
    QLAFX_WM(WM_CTLCOLOR, p_->OnCtlColor(QLAFX_DC(c_.wParam), QLAFX_WND(c_.lParam), static_cast<UINT>(c_.nCode)))
#define ON_WM_DRAWITEM()                                                                                               \
    QLAFX_WM(WM_DRAWITEM, (p_->OnDrawItem(static_cast<int>(c_.wParam), reinterpret_cast<LPDRAWITEMSTRUCT>(c_.lParam)), \
                           TRUE))
#define ON_WM_MEASUREITEM()                                                                                            \
    QLAFX_WM(WM_MEASUREITEM, (p_->OnMeasureItem(static_cast<int>(c_.wParam),                                           \
                                                reinterpret_cast<LPMEASUREITEMSTRUCT>(c_.lParam)),                     \
                              TRUE))
#define ON_WM_HSCROLL()                                                                                                \
    QLAFX_WM(WM_HSCROLL, p_->OnHScroll(QLAFX_LO(c_.wParam), QLAFX_HI(c_.wParam),                                       \
                                       reinterpret_cast<CScrollBar*>(QLAFX_WND(c_.lParam))))
#define ON_WM_VSCROLL()                                                                                                \
    QLAFX_WM(WM_VSCROLL, p_->OnVScroll(QLAFX_LO(c_.wParam), QLAFX_HI(c_.wParam),                                       \
                                       reinterpret_cast<CScrollBar*>(QLAFX_WND(c_.lParam))))
#define ON_WM_CAPTURECHANGED() QLAFX_WM(WM_CAPTURECHANGED, p_->OnCaptureChanged(QLAFX_WND(c_.lParam)))
#define ON_WM_ACTIVATE()                                                                                               \
    QLAFX_WM(WM_ACTIVATE, p_->OnActivate(QLAFX_LO(c_.wParam), QLAFX_WND(c_.lParam), QLAFX_HI(c_.wParam)))
#define ON_WM_ACTIVATEAPP()                                                                                            \
    QLAFX_WM(WM_ACTIVATEAPP, p_->OnActivateApp(static_cast<BOOL>(c_.wParam), static_cast<DWORD>(c_.lParam)))
#define ON_WM_NCACTIVATE() QLAFX_WM(WM_NCACTIVATE, p_->OnNcActivate(static_cast<BOOL>(c_.wParam)))
#define ON_WM_ENABLE() QLAFX_WM(WM_ENABLE, p_->OnEnable(static_cast<BOOL>(c_.wParam)))
#define ON_WM_NCHITTEST() QLAFX_WM(WM_NCHITTEST, p_->OnNcHitTest(CPoint(c_.lParam)))
#define ON_WM_CONTEXTMENU() QLAFX_WM(WM_CONTEXTMENU, p_->OnContextMenu(QLAFX_WND(c_.wParam), CPoint(c_.lParam)))
#define ON_WM_WINDOWPOSCHANGING()                                                                                      \
    QLAFX_WM(WM_WINDOWPOSCHANGING, p_->OnWindowPosChanging(reinterpret_cast<WINDOWPOS*>(c_.lParam)))
#define ON_WM_WINDOWPOSCHANGED()                                                                                       \
    QLAFX_WM(WM_WINDOWPOSCHANGED, p_->OnWindowPosChanged(reinterpret_cast<WINDOWPOS*>(c_.lParam)))
#define ON_WM_STYLECHANGING()                                                                                          \
    QLAFX_WM(WM_STYLECHANGING, p_->OnStyleChanging(static_cast<int>(c_.wParam), reinterpret_cast<LPSTYLESTRUCT>(c_.lParam)))
#define ON_WM_STYLECHANGED()                                                                                           \
    QLAFX_WM(WM_STYLECHANGED, p_->OnStyleChanged(static_cast<int>(c_.wParam), reinterpret_cast<LPSTYLESTRUCT>(c_.lParam)))
#define ON_WM_SYSCOMMAND() QLAFX_WM(WM_SYSCOMMAND, p_->OnSysCommand(static_cast<UINT>(c_.wParam), c_.lParam))
#define ON_WM_COPYDATA()                                                                                               \
    QLAFX_WM(WM_COPYDATA, p_->OnCopyData(QLAFX_WND(c_.wParam), reinterpret_cast<COPYDATASTRUCT*>(c_.lParam)))
#define ON_WM_PARENTNOTIFY() QLAFX_WM(WM_PARENTNOTIFY, p_->OnParentNotify(QLAFX_LO(c_.wParam), c_.lParam))
#define ON_WM_GETDLGCODE() QLAFX_WM(WM_GETDLGCODE, p_->OnGetDlgCode())
#define ON_WM_SYSCOLORCHANGE() QLAFX_WM(WM_SYSCOLORCHANGE, p_->OnSysColorChange())
#define ON_WM_MENUCHAR()                                                                                               \
    QLAFX_WM(WM_MENUCHAR, p_->OnMenuChar(QLAFX_LO(c_.wParam), QLAFX_HI(c_.wParam),                                     \
                                         qlafx::MenuFromHandle(reinterpret_cast<HMENU>(c_.lParam))))
#define ON_WM_INITMENUPOPUP()                                                                                          \
    QLAFX_WM(WM_INITMENUPOPUP, p_->OnInitMenuPopup(qlafx::MenuFromHandle(reinterpret_cast<HMENU>(c_.wParam)),          \
                                                   QLAFX_LO(c_.lParam), QLAFX_HI(c_.lParam)))

// ---- any message ----
#define ON_MESSAGE(message, memberFxn) QLAFX_WM(message, p_->memberFxn(c_.wParam, c_.lParam))
#define ON_REGISTERED_MESSAGE(nMessageVariable, memberFxn)                                                             \
    QLAFX_ENTRY(0xC000, 0, 0, 0, &nMessageVariable, p_->memberFxn(c_.wParam, c_.lParam))
#define ON_THREAD_MESSAGE(message, memberFxn) QLAFX_WM(message, p_->memberFxn(c_.wParam, c_.lParam))
#define ON_REGISTERED_THREAD_MESSAGE(nMessageVariable, memberFxn)                                                      \
    QLAFX_ENTRY(0xC000, 0, 0, 0, &nMessageVariable, p_->memberFxn(c_.wParam, c_.lParam))

// ---- commands ----
#define ON_COMMAND(id, memberFxn) QLAFX_ENTRY(WM_COMMAND, CN_COMMAND, id, id, nullptr, p_->memberFxn())
#define ON_COMMAND_EX(id, memberFxn) QLAFX_ENTRY_EX(WM_COMMAND, CN_COMMAND, id, id, p_->memberFxn(c_.nID))
#define ON_COMMAND_RANGE(id, idLast, memberFxn)                                                                        \
    QLAFX_ENTRY(WM_COMMAND, CN_COMMAND, id, idLast, nullptr, p_->memberFxn(c_.nID))
#define ON_COMMAND_EX_RANGE(id, idLast, memberFxn)                                                                     \
    QLAFX_ENTRY_EX(WM_COMMAND, CN_COMMAND, id, idLast, p_->memberFxn(c_.nID))
#define ON_UPDATE_COMMAND_UI(id, memberFxn)                                                                            \
    QLAFX_ENTRY(WM_COMMAND, CN_UPDATE_COMMAND_UI, id, id, nullptr, p_->memberFxn(static_cast<CCmdUI*>(c_.pExtra)))
#define ON_UPDATE_COMMAND_UI_RANGE(id, idLast, memberFxn)                                                              \
    QLAFX_ENTRY(WM_COMMAND, CN_UPDATE_COMMAND_UI, id, idLast, nullptr, p_->memberFxn(static_cast<CCmdUI*>(c_.pExtra)))

// ---- control notifications (WM_COMMAND) ----
#define ON_CONTROL(wNotifyCode, id, memberFxn) QLAFX_ENTRY(WM_COMMAND, wNotifyCode, id, id, nullptr, p_->memberFxn())
#define ON_CONTROL_RANGE(wNotifyCode, id, idLast, memberFxn)                                                           \
    QLAFX_ENTRY(WM_COMMAND, wNotifyCode, id, idLast, nullptr, p_->memberFxn(c_.nID))
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_BN_DOUBLECLICKED(id, memberFxn) ON_CONTROL(BN_DOUBLECLICKED, id, memberFxn)
#define ON_BN_SETFOCUS(id, memberFxn) ON_CONTROL(BN_SETFOCUS, id, memberFxn)
#define ON_BN_KILLFOCUS(id, memberFxn) ON_CONTROL(BN_KILLFOCUS, id, memberFxn)
#define ON_EN_CHANGE(id, memberFxn) ON_CONTROL(EN_CHANGE, id, memberFxn)
#define ON_EN_UPDATE(id, memberFxn) ON_CONTROL(EN_UPDATE, id, memberFxn)
#define ON_EN_SETFOCUS(id, memberFxn) ON_CONTROL(EN_SETFOCUS, id, memberFxn)
#define ON_EN_KILLFOCUS(id, memberFxn) ON_CONTROL(EN_KILLFOCUS, id, memberFxn)
#define ON_EN_MAXTEXT(id, memberFxn) ON_CONTROL(EN_MAXTEXT, id, memberFxn)
#define ON_CBN_SELCHANGE(id, memberFxn) ON_CONTROL(CBN_SELCHANGE, id, memberFxn)
#define ON_CBN_DBLCLK(id, memberFxn) ON_CONTROL(CBN_DBLCLK, id, memberFxn)
#define ON_CBN_SETFOCUS(id, memberFxn) ON_CONTROL(CBN_SETFOCUS, id, memberFxn)
#define ON_CBN_KILLFOCUS(id, memberFxn) ON_CONTROL(CBN_KILLFOCUS, id, memberFxn)
#define ON_CBN_EDITCHANGE(id, memberFxn) ON_CONTROL(CBN_EDITCHANGE, id, memberFxn)
#define ON_CBN_EDITUPDATE(id, memberFxn) ON_CONTROL(CBN_EDITUPDATE, id, memberFxn)
#define ON_CBN_DROPDOWN(id, memberFxn) ON_CONTROL(CBN_DROPDOWN, id, memberFxn)
#define ON_CBN_CLOSEUP(id, memberFxn) ON_CONTROL(CBN_CLOSEUP, id, memberFxn)
#define ON_CBN_SELENDOK(id, memberFxn) ON_CONTROL(CBN_SELENDOK, id, memberFxn)
#define ON_CBN_SELENDCANCEL(id, memberFxn) ON_CONTROL(CBN_SELENDCANCEL, id, memberFxn)
#define ON_LBN_SELCHANGE(id, memberFxn) ON_CONTROL(LBN_SELCHANGE, id, memberFxn)
#define ON_LBN_DBLCLK(id, memberFxn) ON_CONTROL(LBN_DBLCLK, id, memberFxn)
#define ON_LBN_SELCANCEL(id, memberFxn) ON_CONTROL(LBN_SELCANCEL, id, memberFxn)
#define ON_LBN_SETFOCUS(id, memberFxn) ON_CONTROL(LBN_SETFOCUS, id, memberFxn)
#define ON_LBN_KILLFOCUS(id, memberFxn) ON_CONTROL(LBN_KILLFOCUS, id, memberFxn)
#define ON_STN_CLICKED(id, memberFxn) ON_CONTROL(STN_CLICKED, id, memberFxn)
#define ON_STN_DBLCLK(id, memberFxn) ON_CONTROL(STN_DBLCLK, id, memberFxn)

// ---- notifications (WM_NOTIFY) ----
#define QLAFX_NOTIFY_ARGS static_cast<AFX_NOTIFY*>(c_.pExtra)->pNMHDR, static_cast<AFX_NOTIFY*>(c_.pExtra)->pResult
#define ON_NOTIFY(wNotifyCode, id, memberFxn)                                                                          \
    QLAFX_ENTRY(WM_NOTIFY, wNotifyCode, id, id, nullptr, p_->memberFxn(QLAFX_NOTIFY_ARGS))
#define ON_NOTIFY_RANGE(wNotifyCode, id, idLast, memberFxn)                                                            \
    QLAFX_ENTRY(WM_NOTIFY, wNotifyCode, id, idLast, nullptr, p_->memberFxn(c_.nID, QLAFX_NOTIFY_ARGS))
#define ON_NOTIFY_EX(wNotifyCode, id, memberFxn)                                                                       \
    QLAFX_ENTRY_EX(WM_NOTIFY, wNotifyCode, id, id, p_->memberFxn(c_.nID, QLAFX_NOTIFY_ARGS))
#define ON_NOTIFY_EX_RANGE(wNotifyCode, id, idLast, memberFxn)                                                         \
    QLAFX_ENTRY_EX(WM_NOTIFY, wNotifyCode, id, idLast, p_->memberFxn(c_.nID, QLAFX_NOTIFY_ARGS))

// ---- reflected to the control itself ----
#define ON_NOTIFY_REFLECT(wNotifyCode, memberFxn)                                                                      \
    QLAFX_ENTRY(WM_REFLECT_BASE + WM_NOTIFY, wNotifyCode, 0, 0, nullptr, p_->memberFxn(QLAFX_NOTIFY_ARGS))
#define ON_NOTIFY_REFLECT_EX(wNotifyCode, memberFxn)                                                                   \
    QLAFX_ENTRY_EX(WM_REFLECT_BASE + WM_NOTIFY, wNotifyCode, 0, 0, p_->memberFxn(QLAFX_NOTIFY_ARGS))
#define ON_CONTROL_REFLECT(wNotifyCode, memberFxn)                                                                     \
    QLAFX_ENTRY(WM_REFLECT_BASE + WM_COMMAND, wNotifyCode, 0, 0, nullptr, p_->memberFxn())
#define ON_CONTROL_REFLECT_EX(wNotifyCode, memberFxn)                                                                  \
    QLAFX_ENTRY_EX(WM_REFLECT_BASE + WM_COMMAND, wNotifyCode, 0, 0, p_->memberFxn())
// HBRUSH CtlColor(CDC* pDC, UINT nCtlColor); a NULL brush lets the parent's answer stand.
#define ON_WM_CTLCOLOR_REFLECT()                                                                                       \
    QLAFX_WM(WM_REFLECT_BASE + WM_CTLCOLOR,                                                                            \
             p_->CtlColor(QLAFX_DC(reinterpret_cast<AFX_CTLCOLOR*>(c_.lParam)->hDC),                                   \
                          reinterpret_cast<AFX_CTLCOLOR*>(c_.lParam)->nCtlType))
#define ON_WM_DRAWITEM_REFLECT()                                                                                       \
    QLAFX_WM(WM_REFLECT_BASE + WM_DRAWITEM, (p_->DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(c_.lParam)), TRUE))
#define ON_WM_MEASUREITEM_REFLECT()                                                                                    \
    QLAFX_WM(WM_REFLECT_BASE + WM_MEASUREITEM,                                                                         \
             (p_->MeasureItem(reinterpret_cast<LPMEASUREITEMSTRUCT>(c_.lParam)), TRUE))
#define ON_WM_HSCROLL_REFLECT() QLAFX_WM(WM_REFLECT_BASE + WM_HSCROLL, p_->HScroll(QLAFX_LO(c_.wParam), QLAFX_HI(c_.wParam)))
#define ON_WM_VSCROLL_REFLECT() QLAFX_WM(WM_REFLECT_BASE + WM_VSCROLL, p_->VScroll(QLAFX_LO(c_.wParam), QLAFX_HI(c_.wParam)))
#define ON_WM_PARENTNOTIFY_REFLECT()                                                                                   \
    QLAFX_WM(WM_REFLECT_BASE + WM_PARENTNOTIFY, p_->ParentNotify(QLAFX_LO(c_.wParam), c_.lParam))
