// CWnd: a C++ object attached to one window record (HWND). Each record owns
// one QWidget; Qt events on it arrive as WM_* messages through the window's
// procedure (see QtBridge.h). Handles are never reused: after DestroyWindow
// the HWND stays invalid (IsWindow is FALSE) for the rest of the run.
#pragma once

#include "platform/afx/AfxString.h"
#include "platform/afx/AfxTypes.h"
#include "platform/afx/CmdTarget.h"
#include "platform/afx/MsgMap.h"
#include "platform/afx/WinUser.h"

#include <functional>

class QWidget;
class CDC;
class CFont;
class CMenu;
class CScrollBar;
class CDataExchange;
struct CCreateContext;

class CWnd : public CCmdTarget {
    DECLARE_DYNCREATE(CWnd)
public:
    CWnd();
    // Destroys a window that is still attached.
    ~CWnd() override;

    HWND m_hWnd = nullptr;

    // The handle, NULL when no window is attached. A member call through a
    // NULL CWnd* is undefined in C++ (the sanitizer build stops on it): test
    // the pointer first instead of relying on GetSafeHwnd for that.
    HWND GetSafeHwnd() const;
    operator HWND() const { return m_hWnd; }
    bool operator==(const CWnd& other) const { return m_hWnd == other.m_hWnd; }
    bool operator!=(const CWnd& other) const { return m_hWnd != other.m_hWnd; }

    // ---- handle maps ----
    // The permanent object of hwnd, else a temporary one that lives until the
    // thread is next idle. NULL for NULL or dead handles.
    static CWnd* FromHandle(HWND hwnd);
    static CWnd* FromHandlePermanent(HWND hwnd);
    static void DeleteTempMap();
    BOOL Attach(HWND hwnd);
    HWND Detach();
    // Routes the window's messages through this object (its procedure
    // becomes the layer's; the old one is kept for DefWindowProc).
    BOOL SubclassWindow(HWND hwnd);
    BOOL SubclassDlgItem(UINT nID, CWnd* pParent);
    HWND UnsubclassWindow();

    // ---- creation and destruction ----
    virtual BOOL Create(LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                        CWnd* pParentWnd, UINT nID, CCreateContext* pContext = nullptr);
    virtual BOOL CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, int x, int y,
                          int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu, LPVOID lpParam = nullptr);
    virtual BOOL CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle,
                          const RECT& rect, CWnd* pParentWnd, UINT nID, LPVOID lpParam = nullptr);
    virtual BOOL DestroyWindow();

    // ---- the message path ----
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // The procedure the window had before this object subclassed it (its
    // class procedure), else ::DefWindowProc.
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // DefWindowProc with the message being handled now.
    LRESULT Default();
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    // Called on a control for the messages its parent reflects to it
    // (WM_COMMAND, WM_NOTIFY, WM_CTLCOLOR*, WM_DRAWITEM, WM_MEASUREITEM,
    // WM_HSCROLL, WM_VSCROLL...). TRUE when the control took it.
    virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    BOOL ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    // Hands the message being handled now to the child window's OnChildNotify.
    static BOOL ReflectLastMsg(HWND hWndChild, LRESULT* pResult = nullptr);
    BOOL SendChildNotifyLastMsg(LRESULT* pResult = nullptr);
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    // Asks this window and its parents, innermost first, up to hWndStop.
    static BOOL WalkPreTranslateTree(HWND hWndStop, MSG* pMsg);
    virtual BOOL PreCreateWindow(CREATESTRUCT& cs);
    virtual void PreSubclassWindow();
    // Called after WM_NCDESTROY, when the object is no longer attached.
    virtual void PostNcDestroy();
    virtual void CalcWindowRect(LPRECT lpClientRect, UINT nAdjustType = 0);
    // The address of the previous procedure slot (kept by SubclassWindow).
    virtual WNDPROC* GetSuperWndProcAddr();

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    BOOL SendNotifyMessage(UINT message, WPARAM wParam, LPARAM lParam) const;
    void SendMessageToDescendants(UINT message, WPARAM wParam = 0, LPARAM lParam = 0, BOOL bDeep = TRUE) const;
    const MSG* GetCurrentMessage() const;

    // ---- hierarchy ----
    CWnd* GetParent() const;
    CWnd* SetParent(CWnd* pWndNewParent);
    CWnd* GetOwner() const;
    void SetOwner(CWnd* pOwnerWnd);
    CWnd* GetTopLevelParent() const;
    CWnd* GetParentOwner() const;
    CWnd* GetWindow(UINT nCmd) const;
    CWnd* GetTopWindow() const;
    CWnd* GetNextWindow(UINT nFlag = GW_HWNDNEXT) const;
    CWnd* GetDlgItem(int nID) const;
    void GetDlgItem(int nID, HWND* phWnd) const;
    int GetDlgCtrlID() const;
    int SetDlgCtrlID(int nID);
    BOOL IsChild(const CWnd* pWnd) const;
    CWnd* ChildWindowFromPoint(POINT point) const;
    static CWnd* WindowFromPoint(POINT point);
    static CWnd* FindWindow(LPCSTR lpszClassName, LPCSTR lpszWindowName);
    static CWnd* GetFocus();
    static CWnd* GetCapture();
    static CWnd* GetActiveWindow();
    static CWnd* GetForegroundWindow();
    static CWnd* GetDesktopWindow();

    // ---- styles ----
    DWORD GetStyle() const;
    DWORD GetExStyle() const;
    BOOL ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
    BOOL ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
    static BOOL ModifyStyle(HWND hWnd, DWORD dwRemove, DWORD dwAdd, UINT nFlags);
    static BOOL ModifyStyleEx(HWND hWnd, DWORD dwRemove, DWORD dwAdd, UINT nFlags);

    // ---- placement ----
    BOOL ShowWindow(int nCmdShow);
    BOOL IsWindowVisible() const;
    BOOL IsIconic() const;
    BOOL IsZoomed() const;
    void MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint = TRUE);
    void MoveWindow(LPCRECT lpRect, BOOL bRepaint = TRUE);
    BOOL SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags);
    void GetClientRect(LPRECT lpRect) const;
    void GetWindowRect(LPRECT lpRect) const;
    void ScreenToClient(LPPOINT lpPoint) const;
    void ScreenToClient(LPRECT lpRect) const;
    void ClientToScreen(LPPOINT lpPoint) const;
    void ClientToScreen(LPRECT lpRect) const;
    void MapWindowPoints(CWnd* pwndTo, LPPOINT lpPoint, UINT nCount) const;
    void MapWindowPoints(CWnd* pwndTo, LPRECT lpRect) const;
    void CenterWindow(CWnd* pAlternateOwner = nullptr);
    void BringWindowToTop();
    BOOL SetForegroundWindow();
    CWnd* SetActiveWindow();

    // ---- painting ----
    void Invalidate(BOOL bErase = TRUE);
    void InvalidateRect(LPCRECT lpRect, BOOL bErase = TRUE);
    void ValidateRect(LPCRECT lpRect);
    void UpdateWindow();
    BOOL RedrawWindow(LPCRECT lpRectUpdate = nullptr, HRGN hrgnUpdate = nullptr,
                      UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    BOOL GetUpdateRect(LPRECT lpRect, BOOL bErase = FALSE);
    void SetRedraw(BOOL bRedraw = TRUE);
    CDC* GetDC();
    CDC* GetWindowDC();
    int ReleaseDC(CDC* pDC);
    CDC* BeginPaint(PAINTSTRUCT* lpPaint);
    void EndPaint(const PAINTSTRUCT* lpPaint);

    // ---- text, font, enabling, focus, capture ----
    void SetWindowText(LPCSTR lpszString);
    int GetWindowText(LPSTR lpszStringBuf, int nMaxCount) const;
    void GetWindowText(CString& rString) const;
    int GetWindowTextLength() const;
    void SetDlgItemText(int nID, LPCSTR lpszString);
    int GetDlgItemText(int nID, LPSTR lpStr, int nMaxCount) const;
    int GetDlgItemText(int nID, CString& rString) const;
    void SetDlgItemInt(int nID, UINT nValue, BOOL bSigned = TRUE);
    UINT GetDlgItemInt(int nID, BOOL* lpTrans = nullptr, BOOL bSigned = TRUE) const;
    LRESULT SendDlgItemMessage(int nID, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    void CheckDlgButton(int nIDButton, UINT nCheck);
    UINT IsDlgButtonChecked(int nIDButton) const;
    void CheckRadioButton(int nIDFirstButton, int nIDLastButton, int nIDCheckButton);
    // The first checked button of the range, else 0.
    int GetCheckedRadioButton(int nIDFirstButton, int nIDLastButton) const;
    // DoDataExchange with the child controls; FALSE when a check failed (the
    // user was told and the control has the focus).
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);
    // The application's name is the caption when lpszCaption is NULL.
    int MessageBox(LPCSTR lpszText, LPCSTR lpszCaption = nullptr, UINT nType = MB_OK);
    void SetFont(CFont* pFont, BOOL bRedraw = TRUE);
    CFont* GetFont() const;
    BOOL EnableWindow(BOOL bEnable = TRUE);
    BOOL IsWindowEnabled() const;
    CWnd* SetFocus();
    CWnd* SetCapture();
    void DragAcceptFiles(BOOL bAccept = TRUE);
    BOOL OpenClipboard();
    HICON SetIcon(HICON hIcon, BOOL bBigIcon);
    HICON GetIcon(BOOL bBigIcon) const;

    // ---- timers ----
    UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse, TIMERPROC lpfnTimer = nullptr);
    BOOL KillTimer(UINT_PTR nIDEvent);

    // ---- menus (defined with CMenu) ----
    CMenu* GetMenu() const;
    BOOL SetMenu(CMenu* pMenu);
    // The window's system menu (Alt+Space, a right click where no child
    // takes it), made on first use; items appended report by WM_SYSCOMMAND.
    CMenu* GetSystemMenu(BOOL bRevert) const;
    void DrawMenuBar();

    // The widget of this window (NULL when there is no window).
    QWidget* GetWidget() const;

protected:
    virtual void DoDataExchange(CDataExchange* pDX);

    // ---- handlers (called from message maps; the defaults call Default) ----
    int OnCreate(LPCREATESTRUCT lpCreateStruct);
    void OnDestroy();
    // Detaches the object and calls PostNcDestroy.
    void OnNcDestroy();
    void OnPaint();
    void OnNcPaint();
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnSize(UINT nType, int cx, int cy);
    void OnSizing(UINT fwSide, LPRECT pRect);
    void OnMove(int x, int y);
    void OnMoving(UINT fwSide, LPRECT pRect);
    void OnShowWindow(BOOL bShow, UINT nStatus);
    void OnMouseMove(UINT nFlags, CPoint point);
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnLButtonUp(UINT nFlags, CPoint point);
    void OnLButtonDblClk(UINT nFlags, CPoint point);
    void OnRButtonDown(UINT nFlags, CPoint point);
    void OnRButtonUp(UINT nFlags, CPoint point);
    void OnRButtonDblClk(UINT nFlags, CPoint point);
    void OnMButtonDown(UINT nFlags, CPoint point);
    void OnMButtonUp(UINT nFlags, CPoint point);
    void OnMButtonDblClk(UINT nFlags, CPoint point);
    void OnMouseHover(UINT nFlags, CPoint point);
    void OnNcLButtonDown(UINT nHitTest, CPoint point);
    void OnNcMouseMove(UINT nHitTest, CPoint point);
    BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt);
    void OnMouseLeave();
    int OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message);
    void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    void OnKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags);
    void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags);
    void OnSysKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    void OnSysKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags);
    void OnSysChar(UINT nChar, UINT nRepCnt, UINT nFlags);
    void OnSetFocus(CWnd* pOldWnd);
    void OnKillFocus(CWnd* pNewWnd);
    BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    void OnTimer(UINT_PTR nIDEvent);
    void OnClose();
    BOOL OnQueryEndSession();
    void OnGetMinMaxInfo(MINMAXINFO* lpMMI);
    void OnDropFiles(HDROP hDropInfo);
    // Reflects to the control first (its ON_WM_CTLCOLOR_REFLECT), then Default.
    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    void OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct);
    void OnMeasureItem(int nIDCtl, LPMEASUREITEMSTRUCT lpMeasureItemStruct);
    void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    void OnCaptureChanged(CWnd* pWnd);
    void OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized);
    void OnActivateApp(BOOL bActive, DWORD dwThreadID);
    BOOL OnNcActivate(BOOL bActive);
    void OnEnable(BOOL bEnable);
    LRESULT OnNcHitTest(CPoint point);
    void OnContextMenu(CWnd* pWnd, CPoint pos);
    void OnWindowPosChanging(WINDOWPOS* lpwndpos);
    void OnWindowPosChanged(WINDOWPOS* lpwndpos);
    // nStyleType is GWL_STYLE or GWL_EXSTYLE; OnStyleChanging may alter styleNew.
    void OnStyleChanging(int nStyleType, LPSTYLESTRUCT lpStyleStruct);
    void OnStyleChanged(int nStyleType, LPSTYLESTRUCT lpStyleStruct);
    void OnSysCommand(UINT nID, LPARAM lParam);
    BOOL OnCopyData(CWnd* pWnd, COPYDATASTRUCT* pCopyDataStruct);
    void OnParentNotify(UINT message, LPARAM lParam);
    UINT OnGetDlgCode();
    void OnSysColorChange();
    LRESULT OnMenuChar(UINT nChar, UINT nFlags, CMenu* pMenu);
    void OnInitMenuPopup(CMenu* pPopupMenu, UINT nIndex, BOOL bSysMenu);

    // The procedure this object's window had before (class procedure).
    WNDPROC m_pfnSuper = nullptr;
    HWND m_hWndOwner = nullptr;

    DECLARE_MESSAGE_MAP()
};

// The procedure of every window that has a CWnd: finds the object and calls
// its WindowProc.
LRESULT AfxWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// A class name for windows with these attributes (registered on first use).
LPCSTR AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor = nullptr, HBRUSH hbrBackground = nullptr,
                           HICON hIcon = nullptr);
BOOL AfxRegisterClass(WNDCLASS* lpWndClass);

namespace qlafx {

// Built-in window classes ("Button", "Static", "Edit", ...). The factory
// makes the window's widget for a new window (the record exists, hwnd is
// valid, CREATESTRUCT holds the creation arguments; parent is the parent's
// widget or NULL for top-level windows). defProc is the class procedure:
// it handles the class's messages and passes the rest to ::DefWindowProc,
// which gives Qt's own handling of the event being translated. layerDrawn
// classes get a surface (see QtBridge.h) painted through WM_PAINT; the
// others draw themselves with Qt.
struct BuiltinClass {
    std::function<QWidget*(HWND hwnd, const CREATESTRUCT& cs, QWidget* parent)> createWidget;
    WNDPROC defProc = nullptr;
    bool layerDrawn = false;
    UINT classStyle = 0;
    HCURSOR cursor = nullptr;
    HBRUSH background = nullptr;
};
// Registers (or replaces) a built-in class; names compare without case.
void RegisterBuiltinClass(const char* name, BuiltinClass cls);
// Translates the input events of another widget (e.g. the viewport inside a
// built-in class's widget) as the window's own, in the window's client
// coordinates.
void BridgeWidgetEvents(HWND hwnd, QWidget* widget);

// The handle of a window object that may be NULL (a parent, an insert-after
// or a target window given as NULL).
inline HWND HwndOf(const CWnd* wnd) { return wnd ? wnd->m_hWnd : nullptr; }

// WM_GETTEXT's copy: at most size - 1 bytes and a terminator, never ending
// inside a UTF-8 character; the count of bytes copied.
LRESULT CopyWindowText(const std::string& text, WPARAM size, LPARAM buffer);

// The widget of a window, and the window of a widget.
QWidget* WidgetOf(HWND hwnd);
HWND WindowOf(const QWidget* widget);

}  // namespace qlafx
