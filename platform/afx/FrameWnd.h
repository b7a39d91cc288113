// CFrameWnd: a top-level window with a menu bar, control bars docked along
// its edges and one view pane (the child with id AFX_IDW_PANE_FIRST) that
// fills the rest. Menu and accelerator commands are routed to the frame and
// then to the application; update handlers set the menu items' states each
// time a pop-up opens. Frames live on the heap: the object deletes itself
// when its window is destroyed, and when LoadFrame or Create fails.
#pragma once

#include "platform/afx/Menu.h"

class CControlBar;

inline constexpr UINT AFX_IDW_TOOLBAR = 0xE800;
inline constexpr UINT AFX_IDW_STATUS_BAR = 0xE801;
inline constexpr UINT AFX_IDW_PANE_FIRST = 0xE900;
inline constexpr UINT AFX_IDW_PANE_LAST = 0xE9FF;

// Frame styles in the low word of the window style.
inline constexpr DWORD FWS_ADDTOTITLE = 0x00008000;
inline constexpr DWORD FWS_PREFIXTITLE = 0x00040000;
inline constexpr DWORD FWS_SNAPTOBARS = 0x00200000;

inline constexpr UINT WM_SIZEPARENT = 0x0361;
inline constexpr UINT WM_SETMESSAGESTRING = 0x0362;
inline constexpr UINT WM_INITIALUPDATE = 0x0364;

struct CCreateContext {
    CRuntimeClass* m_pNewViewClass = nullptr;
};

class CFrameWnd : public CWnd {
    DECLARE_DYNCREATE(CFrameWnd)
public:
    CFrameWnd();
    ~CFrameWnd() override;

    // Windows places the frame (CW_USEDEFAULT).
    static const CRect rectDefault;

    // Items without a command or update handler are grayed when a pop-up opens.
    BOOL m_bAutoMenuEnable = TRUE;
    // The menu the frame was created with (the resource of LoadFrame).
    HMENU m_hMenuDefault = nullptr;
    HACCEL m_hAccelTable = nullptr;
    CString m_strTitle;
    UINT m_nIDHelp = 0;

    // Title (string nIDResource up to its first '\n'), icon, menu and
    // accelerators of resource nIDResource. FALSE when the menu is missing
    // or the window cannot be created.
    virtual BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                           CWnd* pParentWnd = nullptr, CCreateContext* pContext = nullptr);
    virtual BOOL Create(LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle = WS_OVERLAPPEDWINDOW,
                        const RECT& rect = rectDefault, CWnd* pParentWnd = nullptr, LPCSTR lpszMenuName = nullptr,
                        DWORD dwExStyle = 0, CCreateContext* pContext = nullptr);
    BOOL LoadAccelTable(LPCSTR lpszResourceName);

    // Bars along the edges (below the menu bar), then the view pane.
    virtual void RecalcLayout(BOOL bNotify = TRUE);
    void EnableDocking(DWORD dwDockStyle);
    void DockControlBar(CControlBar* pBar, UINT nDockBarID = 0, LPCRECT lpRect = nullptr);
    void ShowControlBar(CControlBar* pBar, BOOL bShow, BOOL bDelay);
    CControlBar* GetControlBar(UINT nID);

    void SetTitle(LPCSTR lpszTitle);
    CString GetTitle() const;
    virtual void OnUpdateFrameTitle(BOOL bAddToTitle);
    virtual void ActivateFrame(int nCmdShow = -1);
    // Runs the update handlers of a pop-up's items (CCmdUI with m_pMenu).
    void UpdateMenuItems(CMenu* pPopupMenu);

    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;

protected:
    // A menu or accelerator command whose update handler disables it now is
    // dropped, as a click on a grayed item would be.
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void PostNcDestroy() override;

    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnDestroy();
    afx_msg void OnClose();
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnSetFocus(CWnd* pOldWnd);
    afx_msg void OnInitMenu(CMenu* pMenu);
    afx_msg void OnInitMenuPopup(CMenu* pPopupMenu, UINT nIndex, BOOL bSysMenu);
    // A tool tip's text: the part after the newline of the command's string.
    afx_msg BOOL OnToolTipText(UINT id, NMHDR* pNMHDR, LRESULT* pResult);

    DWORD m_dwDockStyle = 0;
    BOOL m_bInRecalcLayout = FALSE;

    DECLARE_MESSAGE_MAP()
};
