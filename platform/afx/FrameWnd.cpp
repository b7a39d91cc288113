#include "platform/afx/FrameWnd.h"

#include "platform/afx/Resources.h"
#include "platform/afx/ToolBar.h"
#include "platform/afx/WinApp.h"

#include <climits>
#include <cstdio>
#include <cstring>

namespace {

// Only asks whether a command is enabled now.
class CTestCmdUI : public CCmdUI {
public:
    BOOL m_bEnabled = TRUE;
    void Enable(BOOL bOn) override
    {
        m_bEnabled = bOn;
        m_bEnableChanged = TRUE;
    }
    void SetCheck(int) override {}
    void SetRadio(BOOL) override {}
    void SetText(LPCSTR) override {}
};

}  // namespace

IMPLEMENT_DYNCREATE(CFrameWnd, CWnd)

BEGIN_MESSAGE_MAP(CFrameWnd, CWnd)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_CLOSE()
    ON_WM_SIZE()
    ON_WM_SETFOCUS()
    ON_WM_INITMENU()
    ON_WM_INITMENUPOPUP()
    ON_NOTIFY_EX_RANGE(TTN_NEEDTEXT, 0, 0xFFFF, OnToolTipText)
END_MESSAGE_MAP()

const CRect CFrameWnd::rectDefault(CW_USEDEFAULT, CW_USEDEFAULT, 0, 0);

CFrameWnd::CFrameWnd() = default;
CFrameWnd::~CFrameWnd() = default;

BOOL CFrameWnd::PreCreateWindow(CREATESTRUCT& cs)
{
    if (!cs.lpszClass)
        cs.lpszClass = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW),
                                           reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(COLOR_WINDOW + 1)));
    cs.dwExStyle |= WS_EX_CLIENTEDGE;
    return TRUE;
}

BOOL CFrameWnd::Create(LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                       CWnd* pParentWnd, LPCSTR lpszMenuName, DWORD dwExStyle, CCreateContext*)
{
    HMENU menu = nullptr;
    if (lpszMenuName) {
        menu = ::LoadMenu(AfxGetResourceHandle(), lpszMenuName);
        if (!menu) {
            PostNcDestroy();
            return FALSE;
        }
    }
    m_strTitle = lpszWindowName ? lpszWindowName : "";
    // rectDefault lets the system place and size the window.
    const bool useDefault = rect.left == CW_USEDEFAULT;
    const int x = useDefault ? CW_USEDEFAULT : rect.left;
    const int y = useDefault ? CW_USEDEFAULT : rect.top;
    const int cx = useDefault ? CW_USEDEFAULT : rect.right - rect.left;
    const int cy = useDefault ? CW_USEDEFAULT : rect.bottom - rect.top;
    if (!CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, x, y, cx, cy, qlafx::HwndOf(pParentWnd), menu)) {
        if (menu && !CMenu::FromHandlePermanent(menu))
            ::DestroyMenu(menu);
        return FALSE;
    }
    return TRUE;
}

BOOL CFrameWnd::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd, CCreateContext* pContext)
{
    m_nIDHelp = nIDResource;
    CString title;
    if (const char* text = qlafx::FindString(nIDResource)) {
        std::string s(text);
        title = CString(s.substr(0, s.find('\n')).c_str());
    }
    HICON icon = ::LoadIcon(AfxGetResourceHandle(), MAKEINTRESOURCE(nIDResource));
    LPCSTR cls = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW),
                                     reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(COLOR_WINDOW + 1)), icon);
    LoadAccelTable(MAKEINTRESOURCE(nIDResource));
    if (!Create(cls, title, dwDefaultStyle, rectDefault, pParentWnd, MAKEINTRESOURCE(nIDResource), 0, pContext))
        return FALSE;
    m_strTitle = title;
    if (icon)
        SetIcon(icon, TRUE);
    OnUpdateFrameTitle((dwDefaultStyle & FWS_ADDTOTITLE) != 0);
    if (!pContext)
        SendMessageToDescendants(WM_INITIALUPDATE, 0, 0, TRUE);
    return TRUE;
}

BOOL CFrameWnd::LoadAccelTable(LPCSTR lpszResourceName)
{
    if (m_hAccelTable)
        return FALSE;
    m_hAccelTable = ::LoadAccelerators(AfxGetResourceHandle(), lpszResourceName);
    return m_hAccelTable != nullptr;
}

void CFrameWnd::SetTitle(LPCSTR lpszTitle) { m_strTitle = lpszTitle ? lpszTitle : ""; }
CString CFrameWnd::GetTitle() const { return m_strTitle; }

// Without documents the title is the frame's own.
void CFrameWnd::OnUpdateFrameTitle(BOOL) { SetWindowText(m_strTitle); }

void CFrameWnd::ActivateFrame(int nCmdShow)
{
    if (nCmdShow == -1)
        nCmdShow = IsIconic() ? SW_RESTORE : SW_SHOW;
    ShowWindow(nCmdShow);
    BringWindowToTop();
}

int CFrameWnd::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CWnd::OnCreate(lpCreateStruct) == -1)
        return -1;
    m_hMenuDefault = ::GetMenu(m_hWnd);
    return 0;
}

void CFrameWnd::OnDestroy()
{
    // The window's menu goes with it when it is the one it was made with;
    // a menu the program set is its own (its CMenu destroys it).
    ::SetMenu(m_hWnd, nullptr);
    if (m_hMenuDefault && !CMenu::FromHandlePermanent(m_hMenuDefault))
        ::DestroyMenu(m_hMenuDefault);
    m_hMenuDefault = nullptr;
    CWnd::OnDestroy();
}

void CFrameWnd::OnClose() { DestroyWindow(); }

void CFrameWnd::PostNcDestroy() { delete this; }

void CFrameWnd::OnSize(UINT nType, int cx, int cy)
{
    CWnd::OnSize(nType, cx, cy);
    if (nType != SIZE_MINIMIZED)
        RecalcLayout();
}

void CFrameWnd::OnSetFocus(CWnd* pOldWnd)
{
    if (CWnd* pane = GetDlgItem(AFX_IDW_PANE_FIRST)) {
        pane->SetFocus();
        return;
    }
    CWnd::OnSetFocus(pOldWnd);
}

void CFrameWnd::OnInitMenu(CMenu*) { Default(); }

void CFrameWnd::OnInitMenuPopup(CMenu* pPopupMenu, UINT, BOOL bSysMenu)
{
    if (bSysMenu || !pPopupMenu)
        return;
    UpdateMenuItems(pPopupMenu);
}

void CFrameWnd::UpdateMenuItems(CMenu* pPopupMenu)
{
    CCmdUI state;
    state.m_pMenu = pPopupMenu;
    state.m_nIndexMax = pPopupMenu->GetMenuItemCount();
    for (state.m_nIndex = 0; state.m_nIndex < state.m_nIndexMax; ++state.m_nIndex) {
        state.m_nID = pPopupMenu->GetMenuItemID(static_cast<int>(state.m_nIndex));
        if (state.m_nID == 0)
            continue;  // separator
        if (state.m_nID == static_cast<UINT>(-1)) {
            // A pop-up item: its first item's handler may set it (never
            // disabled for lack of a handler).
            state.m_pSubMenu = pPopupMenu->GetSubMenu(static_cast<int>(state.m_nIndex));
            if (!state.m_pSubMenu)
                continue;
            state.m_nID = state.m_pSubMenu->GetMenuItemID(0);
            if (state.m_nID == 0 || state.m_nID == static_cast<UINT>(-1))
                continue;
            state.DoUpdate(this, FALSE);
        } else {
            state.m_pSubMenu = nullptr;
            state.DoUpdate(this, m_bAutoMenuEnable && state.m_nID < 0xF000);
        }
        // A handler may have removed or added items.
        const UINT count = pPopupMenu->GetMenuItemCount();
        if (count < state.m_nIndexMax) {
            state.m_nIndex -= state.m_nIndexMax - count;
            while (state.m_nIndex < count && pPopupMenu->GetMenuItemID(static_cast<int>(state.m_nIndex)) == state.m_nID)
                ++state.m_nIndex;
        }
        state.m_nIndexMax = count;
    }
}

BOOL CFrameWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const UINT nID = LOWORD(static_cast<DWORD>(wParam));
    const UINT nCode = HIWORD(static_cast<DWORD>(wParam));
    if (lParam == 0 && (nCode == 0 || nCode == 1)) {
        if (nID == 0)
            return FALSE;
        CTestCmdUI state;
        state.m_nID = nID;
        OnCmdMsg(nID, CN_UPDATE_COMMAND_UI, &state, nullptr);
        if (!state.m_bEnabled)
            return TRUE;
    }
    return CWnd::OnCommand(wParam, lParam);
}

BOOL CFrameWnd::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    if (CWinApp* app = AfxGetApp(); app && app->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    return FALSE;
}

BOOL CFrameWnd::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST && m_hAccelTable &&
        ::TranslateAccelerator(m_hWnd, m_hAccelTable, pMsg))
        return TRUE;
    return CWnd::PreTranslateMessage(pMsg);
}

void CFrameWnd::RecalcLayout(BOOL)
{
    if (m_bInRecalcLayout || !m_hWnd)
        return;
    m_bInRecalcLayout = TRUE;
    CRect area;
    GetClientRect(&area);
    area.top += qlafx::MenuBarHeight(m_hWnd);
    for (HWND h = ::GetWindow(m_hWnd, GW_CHILD); h; h = ::GetWindow(h, GW_HWNDNEXT)) {
        auto* bar = DYNAMIC_DOWNCAST(CControlBar, CWnd::FromHandlePermanent(h));
        if (!bar || !(bar->GetStyle() & WS_VISIBLE))
            continue;
        const DWORD align = bar->m_dwStyle & CBRS_ALIGN_ANY;
        if (align & (CBRS_ALIGN_TOP | CBRS_ALIGN_BOTTOM)) {
            const int depth = std::min<int>(bar->CalcFixedLayout(TRUE, TRUE).cy, std::max(0, area.Height()));
            const int y = (align & CBRS_ALIGN_TOP) ? area.top : area.bottom - depth;
            bar->MoveWindow(area.left, y, area.Width(), depth);
            if (align & CBRS_ALIGN_TOP)
                area.top += depth;
            else
                area.bottom -= depth;
        } else if (align & (CBRS_ALIGN_LEFT | CBRS_ALIGN_RIGHT)) {
            const int depth = std::min<int>(bar->CalcFixedLayout(TRUE, FALSE).cx, std::max(0, area.Width()));
            const int x = (align & CBRS_ALIGN_LEFT) ? area.left : area.right - depth;
            bar->MoveWindow(x, area.top, depth, area.Height());
            if (align & CBRS_ALIGN_LEFT)
                area.left += depth;
            else
                area.right -= depth;
        }
    }
    if (CWnd* pane = GetDlgItem(AFX_IDW_PANE_FIRST))
        pane->MoveWindow(area.left, area.top, std::max(0, area.Width()), std::max(0, area.Height()));
    m_bInRecalcLayout = FALSE;
}

void CFrameWnd::EnableDocking(DWORD dwDockStyle) { m_dwDockStyle = dwDockStyle; }

void CFrameWnd::DockControlBar(CControlBar* pBar, UINT, LPCRECT)
{
    if (!pBar)
        return;
    pBar->m_pDockSite = this;
    RecalcLayout();
}

void CFrameWnd::ShowControlBar(CControlBar* pBar, BOOL bShow, BOOL)
{
    if (!pBar)
        return;
    pBar->ShowWindow(bShow ? SW_SHOWNOACTIVATE : SW_HIDE);
    RecalcLayout();
}

CControlBar* CFrameWnd::GetControlBar(UINT nID) { return DYNAMIC_DOWNCAST(CControlBar, GetDlgItem(static_cast<int>(nID))); }

BOOL CFrameWnd::OnToolTipText(UINT, NMHDR* pNMHDR, LRESULT* pResult)
{
    auto* info = reinterpret_cast<NMTTDISPINFO*>(pNMHDR);
    char full[256] = "";
    if (pNMHDR->idFrom)
        ::LoadString(AfxGetResourceHandle(), static_cast<UINT>(pNMHDR->idFrom), full, sizeof full);
    const char* tip = std::strchr(full, '\n');
    std::snprintf(info->szText, sizeof info->szText, "%s", tip ? tip + 1 : "");
    info->lpszText = nullptr;
    if (pResult)
        *pResult = 0;
    return TRUE;
}
