#include "album/shell/LayoutWnd.h"

#include "album/shell/AlbumGlobals.h"
#include "platform/afx/PaintDC.h"
#include "platform/afx/WinApp.h"

#include <algorithm>
#include <cstdlib>

namespace shelf {

BEGIN_MESSAGE_MAP(CLayoutWnd, CWnd)
    ON_WM_CREATE()
    ON_WM_SIZE()
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_SETCURSOR()
END_MESSAGE_MAP()

CLayoutWnd::Placement CLayoutWnd::Arrange(int w, int h, int leftWidth, int exifHeight, Panes shown)
{
    Placement p;
    if (!shown.folder && !shown.exif) {
        p.bar = CRect(0, 0, w, h);
        return p;
    }
    if (shown.folder && shown.exif) {
        p.folder = CRect(0, 0, leftWidth, h - exifHeight);
        p.exif = CRect(0, h - exifHeight, leftWidth, h);
    } else if (shown.folder) {
        p.folder = CRect(0, 0, leftWidth, h);
    } else {
        p.exif = CRect(0, 0, leftWidth, h);
    }
    p.bar = CRect(leftWidth, 0, w, h);
    return p;
}

int CLayoutWnd::HitTest(int x, int y, int h, int leftWidth, int exifHeight, Panes shown)
{
    if ((shown.folder || shown.exif) && std::abs(x - leftWidth) < kGrip)
        return kDragVertical;
    if (shown.folder && shown.exif && std::abs(y - (h - exifHeight)) < kGrip && x < leftWidth)
        return kDragHorizontal;
    return kNoDrag;
}

// The right-hand limit is applied last, so it wins on a narrow window.
int CLayoutWnd::DraggedLeftWidth(int x, int w) { return std::min(std::max(x, kMinLeft), w - kMinRight); }

int CLayoutWnd::DraggedExifHeight(int y, int h) { return std::min(std::max(h - y, kMinExif), h - kMinFolderPane); }

BOOL CLayoutWnd::PreCreateWindow(CREATESTRUCT& cs)
{
    if (!CWnd::PreCreateWindow(cs))
        return FALSE;
    cs.dwExStyle |= WS_EX_CLIENTEDGE;
    cs.style &= ~WS_BORDER;
    cs.lpszClass = AfxRegisterWndClass(CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, ::LoadCursor(nullptr, IDC_ARROW),
                                       reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1), nullptr);
    CWinApp* app = AfxGetApp();
    m_leftWidth = static_cast<int>(app->GetProfileInt("Interface", "qlaHSep", kDefaultSize));
    m_exifHeight = static_cast<int>(app->GetProfileInt("Interface", "qlaVSep", kDefaultSize));
    return TRUE;
}

int CLayoutWnd::OnCreate(LPCREATESTRUCT cs)
{
    CWinApp* app = AfxGetApp();
    m_exifBarVisible = static_cast<int>(app->GetProfileInt("Interface", "qlaEXIF", 1));
    const int treeVisible = static_cast<int>(app->GetProfileInt("Interface", "qlaTREE", 1));
    if (CWnd::OnCreate(cs) == -1)
        return -1;
    const CRect start(0, 0, 100, 100);
    if (!m_commandBar.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, start, this, kCommandBarId))
        return -1;
    m_commandBar.m_pFolderPane = &m_folderPane;
    m_commandBar.m_pLayout = this;
    if (!m_folderPane.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, start, this, kFolderPaneId))
        return -1;
    m_folderPane.m_pCommandBar = &m_commandBar;
    m_folderPane.m_pLayout = this;
    if (!treeVisible)
        m_folderPane.ShowWindow(SW_HIDE);
    if (!m_exifBar.Create(nullptr, nullptr, WS_CHILD | (m_exifBarVisible ? WS_VISIBLE : 0), start, this, kExifBarId))
        return -1;
    m_commandBar.m_pExifBar = &m_exifBar;
    m_created = 1;
    return 0;
}

CLayoutWnd::Panes CLayoutWnd::ShownPanes() const
{
    return Panes{m_folderPane.m_hWnd && m_folderPane.IsWindowVisible(),
                 m_exifBar.m_hWnd && m_exifBar.IsWindowVisible()};
}

void CLayoutWnd::Layout()
{
    if (!m_created)
        return;
    CRect client;
    GetClientRect(&client);
    const Placement p = Arrange(client.Width(), client.Height(), m_leftWidth, m_exifHeight, ShownPanes());
    if (!p.folder.IsRectEmpty())
        m_folderPane.MoveWindow(&p.folder, TRUE);
    if (!p.exif.IsRectEmpty())
        m_exifBar.MoveWindow(&p.exif, TRUE);
    m_commandBar.MoveWindow(&p.bar, TRUE);
}

void CLayoutWnd::OnSize(UINT nType, int cx, int cy)
{
    CWnd::OnSize(nType, cx, cy);
    Layout();
}

void CLayoutWnd::OnPaint()
{
    CPaintDC dc(this); // the panes cover the client area
}

BOOL CLayoutWnd::OnEraseBkgnd(CDC*) { return TRUE; }

BOOL CLayoutWnd::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message)
{
    POINT cursor{};
    ::GetCursorPos(&cursor);
    ScreenToClient(&cursor);
    CRect client;
    GetClientRect(&client);
    switch (HitTest(cursor.x, cursor.y, client.Height(), m_leftWidth, m_exifHeight, ShownPanes())) {
    case kDragVertical:
        ::SetCursor(::LoadCursor(nullptr, IDC_SIZEWE));
        return TRUE;
    case kDragHorizontal:
        ::SetCursor(::LoadCursor(nullptr, IDC_SIZENS));
        return TRUE;
    default:
        return CWnd::OnSetCursor(pWnd, nHitTest, message);
    }
}

CPoint CLayoutWnd::ClientPoint(const MSG& msg) const
{
    POINT p{GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
    ::MapWindowPoints(msg.hwnd, m_hWnd, &p, 1);
    return p;
}

void CLayoutWnd::WriteSeparators()
{
    CWinApp* app = AfxGetApp();
    app->WriteProfileInt("Interface", "qlaHSep", m_leftWidth);
    app->WriteProfileInt("Interface", "qlaVSep", m_exifHeight);
}

BOOL CLayoutWnd::PreTranslateMessage(MSG* pMsg)
{
    const UINT msg = pMsg->message;
    if (m_created && (msg == WM_LBUTTONDOWN || msg == WM_MOUSEMOVE || msg == WM_LBUTTONUP) &&
        (pMsg->hwnd == m_hWnd || ::IsChild(m_hWnd, pMsg->hwnd))) {
        const CPoint p = ClientPoint(*pMsg);
        CRect client;
        GetClientRect(&client);
        if (msg == WM_LBUTTONDOWN) {
            const int hit = HitTest(p.x, p.y, client.Height(), m_leftWidth, m_exifHeight, ShownPanes());
            if (hit != kNoDrag) {
                m_dragMode = hit;
                SetCapture();
                return TRUE;
            }
        } else if (msg == WM_MOUSEMOVE && m_dragMode != kNoDrag) {
            if (m_dragMode == kDragVertical)
                m_leftWidth = DraggedLeftWidth(p.x, client.Width());
            else
                m_exifHeight = DraggedExifHeight(p.y, client.Height());
            Layout();
            RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
            WriteSeparators();
            return TRUE;
        } else if (msg == WM_LBUTTONUP && m_dragMode != kNoDrag) {
            ::ReleaseCapture();
            m_dragMode = kNoDrag;
            return TRUE;
        }
    }
    return CWnd::PreTranslateMessage(pMsg);
}

void CLayoutWnd::ToggleFolderPane()
{
    m_folderPane.ShowWindow(m_folderPane.IsWindowVisible() ? SW_HIDE : SW_SHOW);
    Layout();
}

void CLayoutWnd::ToggleExifBar()
{
    const bool shown = m_exifBar.IsWindowVisible();
    m_exifBar.ShowWindow(shown ? SW_HIDE : SW_SHOW);
    m_exifBarVisible = shown ? 0 : 1;
    Layout();
}

void CLayoutWnd::Refresh()
{
    if (theAlbum && theAlbum->m_scanner.Rescan())
        m_commandBar.ReloadListing(1);
}

// View > Folder Tree, Image Property and Refresh are this window's.
BOOL CLayoutWnd::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    if (nID != 32771 && nID != 32772 && nID != 32775)
        return CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
    if (nCode == CN_UPDATE_COMMAND_UI && pExtra) {
        auto* ui = static_cast<CCmdUI*>(pExtra);
        ui->Enable(TRUE);
        if (nID == 32771)
            ui->SetCheck(m_folderPane.m_hWnd && m_folderPane.IsWindowVisible());
        if (nID == 32772)
            ui->SetCheck(m_exifBar.m_hWnd && m_exifBar.IsWindowVisible());
        return TRUE;
    }
    if (nCode != CN_COMMAND)
        return CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
    if (pHandlerInfo) {
        pHandlerInfo->pTarget = this;
        return TRUE;
    }
    if (nID == 32771)
        ToggleFolderPane();
    else if (nID == 32772)
        ToggleExifBar();
    else
        Refresh();
    return TRUE;
}

} // namespace shelf
