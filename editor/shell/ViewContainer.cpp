#include "editor/shell/ViewContainer.h"

#include "editor/shell/PluginHost.h"
#include "platform/afx/MsgMap.h"

IMPLEMENT_DYNAMIC(CViewContainer, CWnd)

BEGIN_MESSAGE_MAP(CViewContainer, CWnd)
    ON_WM_CREATE()
    ON_WM_SIZE()
    ON_WM_MOUSEWHEEL()
END_MESSAGE_MAP()

CViewContainer::~CViewContainer()
{
    if (m_hWnd)
        DestroyWindow();
}

int CViewContainer::OnCreate(LPCREATESTRUCT cs)
{
    if (CWnd::OnCreate(cs) == -1)
        return -1;
    std::vector<PaintToolModule> modules;
    for (const auto& plugin : thePluginTable.paintTools)
        modules.push_back(PaintToolModule{plugin->module, plugin->entry});
    m_panel.SetToolModules(std::move(modules));
    m_panel.SetCanvas(&m_canvas);
    m_canvas.SetPanel(&m_panel);
    const RECT small{0, 0, 100, 100};
    const DWORD style = WS_CHILD | WS_VISIBLE;
    HCURSOR arrow = ::LoadCursor(nullptr, IDC_ARROW);
    if (!m_panel.Create(AfxRegisterWndClass(CS_DBLCLKS, arrow, nullptr, nullptr), nullptr, style, small, this, 0) ||
        !m_canvas.Create(AfxRegisterWndClass(0, arrow, nullptr, nullptr), nullptr, style, small, this, 0))
        return -1;
    return 0;
}

void CViewContainer::OnSize(UINT, int cx, int cy)
{
    m_panel.MoveWindow(0, 0, CPaintToolPanel::kWidth, cy);
    m_canvas.MoveWindow(CPaintToolPanel::kWidth, 0, cx - CPaintToolPanel::kWidth, cy);
}

BOOL CViewContainer::PreTranslateMessage(MSG* msg)
{
    if (msg->message == WM_MOUSEWHEEL)
        return TRUE;
    return CWnd::PreTranslateMessage(msg);
}

BOOL CViewContainer::OnMouseWheel(UINT, short, CPoint)
{
    return TRUE;
}
