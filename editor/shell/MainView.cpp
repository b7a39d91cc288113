#include "editor/shell/MainView.h"

#include "editor/shell/NoticeDlg.h"
#include "editor/shell/PhotoDocument.h"
#include "editor/shell/UITextTable.h"
#include "platform/afx/PaintDC.h"
#include "platform/afx/WinApp.h"

IMPLEMENT_DYNAMIC(CMainView, CWnd)

BEGIN_MESSAGE_MAP(CMainView, CWnd)
    ON_WM_CREATE()
    ON_WM_SIZE()
    ON_WM_PAINT()
    ON_COMMAND(CMainView::kFunctionBarCmd, OnFunctionBar)
    ON_COMMAND(CMainView::kNavigationBarCmd, OnNavigationBar)
    ON_COMMAND(CMainView::kHistoryBarCmd, OnHistoryBar)
    ON_COMMAND(CMainView::kZoomInCmd, OnZoomIn)
    ON_COMMAND(CMainView::kZoomOutCmd, OnZoomOut)
    ON_COMMAND(CMainView::kBestFitCmd, OnBestFit)
    ON_COMMAND(CMainView::kActualSizeCmd, OnActualSize)
    ON_COMMAND(CMainView::kHighQualityCmd, OnHighQuality)
    ON_COMMAND(CMainView::kPaintModeCmd, OnPaintMode)
    ON_UPDATE_COMMAND_UI(CMainView::kFunctionBarCmd, OnUpdateFunctionBar)
    ON_UPDATE_COMMAND_UI(CMainView::kNavigationBarCmd, OnUpdateNavigationBar)
    ON_UPDATE_COMMAND_UI(CMainView::kHistoryBarCmd, OnUpdateHistoryBar)
    ON_UPDATE_COMMAND_UI(CMainView::kPaintModeCmd, OnUpdatePaintMode)
END_MESSAGE_MAP()

namespace {

constexpr UINT kTextNavigation = 162;
constexpr UINT kTextHistograms = 163;
constexpr UINT kTextHistory = 164;
constexpr UINT kTextPainting = 94;
constexpr UINT kTextPaintNotice = 247;
constexpr DWORD kStripStyle = WS_CHILD | WS_VISIBLE | WS_BORDER;

int ProfileInt(const char* key, int fallback)
{
    CWinApp* app = AfxGetApp();
    return app ? static_cast<int>(app->GetProfileInt("Interface", key, fallback)) : fallback;
}

}  // namespace

CMainView::~CMainView()
{
    if (m_hWnd)
        DestroyWindow();
}

BOOL CMainView::Create(LPCSTR className, LPCSTR windowName, DWORD style, const RECT& rect, CWnd* parent, UINT id,
                       CCreateContext* context)
{
    m_tabsTop.AddTab(&m_navigator, theUITextTable.GetText(kTextNavigation), 0);
    m_tabsTop.AddTab(&m_histogramPanel, theUITextTable.GetText(kTextHistograms), 0);
    m_tabsBottom.AddTab(&m_historyBar, theUITextTable.GetText(kTextHistory), 0);
    return CWnd::Create(className, windowName, style, rect, parent, id, context);
}

BOOL CMainView::PreCreateWindow(CREATESTRUCT& cs)
{
    if (!CWnd::PreCreateWindow(cs))
        return FALSE;
    cs.dwExStyle |= WS_EX_CLIENTEDGE;
    cs.style &= ~WS_BORDER;
    cs.lpszClass = AfxRegisterWndClass(CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, ::LoadCursor(nullptr, IDC_ARROW),
                                       reinterpret_cast<HBRUSH>(static_cast<UINT_PTR>(COLOR_WINDOW + 1)), nullptr);
    return TRUE;
}

int CMainView::OnCreate(LPCREATESTRUCT cs)
{
    if (CWnd::OnCreate(cs) == -1)
        return -1;
    const RECT small{0, 0, 100, 100};
    if (!m_funcBar.Create(kStripStyle, small, this, CFunctionBar::kId))
        return -1;
    m_funcBarShown = ProfileInt("qleFUNC", 1);
    if (!m_funcBarShown)
        m_funcBar.ShowWindow(SW_HIDE);
    if (!m_tabsBottom.Create(nullptr, nullptr, kStripStyle, small, this, kBottomStripId))
        return -1;
    m_historyShown = ProfileInt("qleHIS", 1);
    if (!m_historyShown)
        m_tabsBottom.ShowWindow(SW_HIDE);
    m_navShown = ProfileInt("qleNAV", 1);
    if (!m_imageView.Create("", small, this, kImageViewId))
        return -1;
    m_imageView.SetImage(&thePhotoDocument.m_image, TRUE);
    m_navigator.SetView(&m_imageView);
    if (!m_paintContainer.Create(nullptr, nullptr, WS_CHILD, small, this, CViewContainer::kId))
        return -1;
    if (!m_tabsTop.Create(nullptr, nullptr, kStripStyle, small, this, kTopStripId))
        return -1;
    m_imageView.SetSmoothScaling(ProfileInt("HighqualityView", 0));
    m_tabsTop.SetActivePage(&m_navigator);
    m_tabsBottom.SetActivePage(&m_historyBar);
    if (!m_navShown)
        m_tabsTop.ShowWindow(SW_HIDE);
    return 0;
}

void CMainView::Layout(int w, int h)
{
    if (m_paintContainer.m_hWnd)
        m_paintContainer.MoveWindow(0, 0, w, h);
    int x = 0;
    if (m_funcBarShown && m_funcBar.m_hWnd) {
        x = m_funcBar.Width();
        m_funcBar.MoveWindow(0, 0, x, h);
    }
    const int column = w - kRightColumn;
    if (m_navShown || m_historyShown) {
        if (m_navShown && m_historyShown) {
            m_tabsTop.MoveWindow(column, 0, kRightColumn, kTopStripHeight);
            m_tabsBottom.MoveWindow(column, kTopStripHeight - 1, kRightColumn, h - (kTopStripHeight - 1));
        } else {
            CTabStrip& shown = m_navShown ? m_tabsTop : m_tabsBottom;
            shown.MoveWindow(column, 0, kRightColumn, h);
        }
        m_imageView.MoveWindow(x, 0, column - x, h);
    } else {
        m_imageView.MoveWindow(x, 0, w - x, h);
    }
}

void CMainView::Relayout()
{
    RECT client;
    GetClientRect(&client);
    Layout(client.right, client.bottom);
}

void CMainView::OnSize(UINT, int cx, int cy)
{
    Layout(cx, cy);
}

void CMainView::OnPaint()
{
    CPaintDC dc(this);  // the children cover the pane
}

BOOL CMainView::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (CWnd::OnCommand(wParam, lParam))
        return TRUE;
    if (CWnd* parent = GetParent()) {
        parent->SendMessage(WM_COMMAND, wParam, lParam);
        return TRUE;
    }
    return FALSE;
}

void CMainView::RefreshFunctionBar()
{
    if (m_funcBar.m_hWnd)
        m_funcBar.UpdateButtons();
}

void CMainView::OnFunctionBar()
{
    if (m_paintMode)
        return;
    m_funcBarShown = !m_funcBarShown;
    Relayout();
    m_funcBar.ShowWindow(m_funcBarShown ? SW_SHOW : SW_HIDE);
}

void CMainView::OnNavigationBar()
{
    m_navShown = !m_navShown;
    m_tabsTop.ShowWindow(m_navShown ? SW_SHOW : SW_HIDE);
    Relayout();
}

void CMainView::OnHistoryBar()
{
    m_historyShown = !m_historyShown;
    m_tabsBottom.ShowWindow(m_historyShown ? SW_SHOW : SW_HIDE);
    Relayout();
}

void CMainView::OnZoomIn()
{
    if (m_paintMode)
        m_paintContainer.m_canvas.ZoomStep(0, 0, CPaintCanvas::kZoomInKeys);
    else
        m_imageView.ZoomAtCenter(TRUE);
}

void CMainView::OnZoomOut()
{
    if (m_paintMode)
        m_paintContainer.m_canvas.ZoomStep(0, 0, CPaintCanvas::kZoomOutKeys);
    else
        m_imageView.ZoomAtCenter(FALSE);
}

void CMainView::OnBestFit()
{
    m_imageView.ZoomToFit(FALSE);
    m_imageView.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void CMainView::OnActualSize()
{
    m_imageView.m_zoom = 1.0;
    m_imageView.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    m_imageView.RecalcLayout();
}

void CMainView::OnHighQuality()
{
    const BOOL smooth = !m_imageView.GetSmoothScaling();
    m_imageView.SetSmoothScaling(smooth);
    if (CWinApp* app = AfxGetApp())
        app->WriteProfileInt("Interface", "HighqualityView", smooth);
    m_imageView.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void CMainView::OnUpdateFunctionBar(CCmdUI* ui)
{
    ui->Enable(!m_paintMode);
    ui->SetCheck(m_funcBarShown);
}

void CMainView::OnUpdateNavigationBar(CCmdUI* ui)
{
    ui->Enable(!m_paintMode);
    ui->SetCheck(m_navShown);
}

void CMainView::OnUpdateHistoryBar(CCmdUI* ui)
{
    ui->Enable(!m_paintMode);
    ui->SetCheck(m_historyShown);
}

void CMainView::OnUpdatePaintMode(CCmdUI* ui)
{
    ui->SetCheck(m_paintMode);
}

void CMainView::OnPaintMode()
{
    if (m_paintMode)
        LeavePaintMode();
    else
        EnterPaintMode();
}

void CMainView::EnterPaintMode()
{
    m_paintMode = 1;
    m_paintContainer.m_canvas.SetImage(&thePhotoDocument.m_image, FALSE);
    m_paintContainer.ShowWindow(SW_SHOW);
    m_funcBar.ShowWindow(SW_HIDE);
    m_tabsTop.ShowWindow(SW_HIDE);
    m_tabsBottom.ShowWindow(SW_HIDE);
    m_imageView.ShowWindow(SW_HIDE);
    m_paintContainer.m_canvas.InitUndoStore();
    ShowImportantNotice(theUITextTable.GetText(kTextPaintNotice), theUITextTable.GetText(kTextPainting), "PaintMode");
}

void CMainView::LeavePaintMode()
{
    m_paintMode = 0;
    m_paintContainer.ShowWindow(SW_HIDE);
    m_imageView.ShowWindow(SW_SHOW);
    if (m_funcBarShown)
        m_funcBar.ShowWindow(SW_SHOW);
    if (m_navShown)
        m_tabsTop.ShowWindow(SW_SHOW);
    if (m_historyShown)
        m_tabsBottom.ShowWindow(SW_SHOW);
    Relayout();
    m_paintContainer.m_canvas.CommitPaint();
    // The photo may have changed while the image view was hidden.
    m_imageView.SetImage(&thePhotoDocument.m_image, TRUE);
}
