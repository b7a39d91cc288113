#include "develop/DevelopWizardDlg.h"

#include "develop/DevelopState.h"
#include "develop/DevelopTexts.h"
#include "develop/ProcessThread.h"
#include "editor/ui/FontCache.h"
#include "platform/afx/Menu.h"
#include "platform/afx/PaintDC.h"
#include "platform/afx/ResourceTables.h"
#include "platform/afx/WinApp.h"
#include "platform/raw/RawParser.h"
#include "platform/win/Process.h"

#include <algorithm>
#include <strings.h>

namespace develop {

namespace {
constexpr int kCaptionHeight = 32;
constexpr UINT kAboutCommand = 16;
} // namespace

bool DecodeNotification(WPARAM code, UINT& kind, UINT& id)
{
    if (code < 0x10000 || code > 0x4FFFF)
        return false;
    kind = static_cast<UINT>(code >> 16);
    id = static_cast<UINT>(code & 0xFFFF);
    return true;
}

CRect DragRect(int mode, const CRect& atPress, CPoint press, CPoint cursor)
{
    const int dx = cursor.x - press.x, dy = cursor.y - press.y;
    CRect r = atPress;
    if (mode == 1) {
        r.OffsetRect(dx, dy);
    } else if (mode == 2) {
        r.right = std::max(atPress.right + dx, atPress.left + 600);
        r.bottom = std::max(atPress.bottom + dy, atPress.top + 450);
    }
    return r;
}

BEGIN_MESSAGE_MAP(DevelopWizardDlg, CDialog)
    ON_WM_CREATE()
    ON_WM_SIZE()
    ON_WM_ERASEBKGND()
    ON_WM_GETMINMAXINFO()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_RBUTTONUP()
    ON_WM_SETCURSOR()
    ON_WM_SYSCOMMAND()
    ON_WM_DROPFILES()
    ON_WM_DESTROY()
    ON_MESSAGE(WM_DEVELOP_NOTIFY, OnNotify4102)
    ON_MESSAGE(WM_DEVELOP_JOB, OnJob)
END_MESSAGE_MAP()

DevelopWizardDlg::DevelopWizardDlg() : CDialog(102u, nullptr)
{
    m_openPage.m_next = &m_interpolatePage;
    m_openPage.m_interpolatePage = &m_interpolatePage;
    m_openPage.m_adjustPage = &m_adjustPage;
    m_interpolatePage.m_next = &m_adjustPage;
    m_adjustPage.m_next = &m_savePage;
    m_savePage.m_next = &m_openPage;
    m_batchPage.m_next = &m_openPage;
}

DevelopWizardDlg::~DevelopWizardDlg() = default;

int DevelopWizardDlg::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CDialog::OnCreate(lpCreateStruct) == -1)
        return -1;
    if (!Skin().Load()) {
        std::fprintf(stderr, "QuilloDevelop: cannot read %s\n", Skin().Path("button.bmp").c_str());
        return -1;
    }
    const CRect first(0, 0, 100, 100);
    const UINT ids[5] = {kMinimiseButton, kMaximiseButton, kCloseButton, kNextButton, kCancelButton};
    for (int i = 0; i < 5; ++i) {
        const char* caption = ids[i] == kNextButton ? Texts().GetText("next")
                              : ids[i] == kCancelButton ? Texts().GetText("cancel")
                                                        : "";
        if (!m_buttons[i].Create(ids[i], first, this, caption))
            return -1;
    }
    m_buttons[0].SetIcon(131);
    m_buttons[1].SetIcon(132);
    m_buttons[2].SetIcon(133);
    m_buttons[3].EnableWindow(FALSE);
    DevelopPage* pages[5] = {&m_openPage, &m_interpolatePage, &m_adjustPage, &m_savePage, &m_batchPage};
    for (DevelopPage* page : pages)
        if (!page->Create(this)) {
            std::fprintf(stderr, "QuilloDevelop: a page could not be made\n");
            return -1;
        }
    CProcessThread& worker = ProcessThread();
    if (!worker.m_hThread && !worker.CreateThread())
        return -1;
    m_created = true;
    return 0;
}

BOOL DevelopWizardDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    CRawParser::Start();
    if (const char* about = qlafx::FindString(101); about && *about)
        if (CMenu* sys = GetSystemMenu(FALSE)) {
            sys->AppendMenu(MF_SEPARATOR, 0, static_cast<LPCSTR>(nullptr));
            sys->AppendMenu(MF_STRING, kAboutCommand, about);
        }
    HICON icon = AfxGetApp() ? AfxGetApp()->LoadIcon(128u) : nullptr;
    SetIcon(icon, TRUE);
    SetIcon(icon, FALSE);
    SetWindowText(Texts().GetText("tittle"));
    CRect client;
    GetClientRect(&client);
    OnSize(SIZE_RESTORED, client.Width(), client.Height());
    const std::string& folder = State().commandLine.folder;
    if (!folder.empty()) {
        GoToBatchPage();
        m_batchPage.AddFiles();
        m_batchPage.SetOutputFolder(folder.c_str());
    } else {
        m_current->OnEnter();
        if (!State().rawPath.empty())
            m_current->EnableNext(true);
    }
    m_current->Show(true);
    DragAcceptFiles(TRUE);
    return TRUE;
}

void DevelopWizardDlg::OnSize(UINT nType, int cx, int cy)
{
    CDialog::OnSize(nType, cx, cy);
    if (!m_created)
        return;
    m_buttons[0].MoveWindow(cx - 75, 6, 20, 20);
    m_buttons[1].MoveWindow(cx - 54, 6, 20, 20);
    m_buttons[2].MoveWindow(cx - 33, 6, 20, 20);
    m_buttons[4].MoveWindow(10, cy - 35, 100, 20);
    m_buttons[3].MoveWindow(120, cy - 35, 100, 20);
    m_current->Layout(cx, cy);
    Invalidate();
}

void DevelopWizardDlg::OnGetMinMaxInfo(MINMAXINFO* lpMMI)
{
    CDialog::OnGetMinMaxInfo(lpMMI);
    lpMMI->ptMinTrackSize = {600, 450};
    lpMMI->ptMaxSize.y = ::GetSystemMetrics(SM_CYMAXIMIZED) - 12;
}

BOOL DevelopWizardDlg::OnEraseBkgnd(CDC* pDC)
{
    CRect c;
    GetClientRect(&c);
    m_captionRect = CRect(c.left, c.top, c.right, c.top + kCaptionHeight);
    FillGradientRect(pDC, m_captionRect, CPoint(c.left, c.top + kCaptionHeight), CPoint(c.left, c.top), 1, 0x808080,
                     0x404040);
    pDC->FillSolidRect(c.left, c.top + kCaptionHeight, c.Width(), c.Height() - kCaptionHeight, kDevelopBack);
    m_gripRect = CRect(c.right - 20, c.bottom - 20, c.right, c.bottom);
    FillGradientRect(pDC, CRect(c.left, c.bottom - 10, c.right, c.bottom), CPoint(c.left, c.bottom - 10),
                     CPoint(c.left, c.bottom), 1, kDevelopBack, 0);
    pDC->Draw3dRect(c.left, c.top + kCaptionHeight, c.Width(), 2, 0x5A5A5A, 0x808080);
    pDC->Draw3dRect(&c, 0x808080, 0);
    if (CWinApp* app = AfxGetApp()) {
        if (HICON icon = app->LoadIcon(128u))
            ::DrawIconEx(pDC->GetSafeHdc(), 4, 0, icon, 32, 32, 0, nullptr, DI_NORMAL);
        if (HICON grip = app->LoadIcon(129u))
            ::DrawIconEx(pDC->GetSafeHdc(), c.right - 33, c.bottom - 33, grip, 32, 32, 0, nullptr, DI_NORMAL);
    }
    CFontCache& fonts = CFontCache::Instance();
    fonts.SelectFont("Arial Black", 20);
    fonts.PaintText(pDC, 40, 1, 0xFFFFFF, Texts().GetText("tittle"), TRUE);
    fonts.SelectFont("Arial", 14);
    fonts.PaintText(pDC, 40, 18, 0xC0C0C0, Texts().GetText("sub-tittle"), FALSE);
    const int middle = (c.top + kCaptionHeight + c.bottom) / 2;
    FillGradientRect(pDC, CRect(300, 40, 301, c.bottom - 40), CPoint(300, middle), CPoint(300, 100), 0, 0xC0C0C0,
                     kDevelopBack);
    return TRUE;
}

void DevelopWizardDlg::OnLButtonDown(UINT, CPoint point)
{
    // The icon opens the window menu.
    if (point.x >= 4 && point.x < 36 && point.y < kCaptionHeight) {
        ShowSystemMenu(point);
        return;
    }
    if (m_captionRect.PtInRect(point))
        m_dragMode = 1;
    else if (m_gripRect.PtInRect(point))
        m_dragMode = 2;
    else
        return;
    SetCapture();
    m_pressPoint = point;
    ClientToScreen(&m_pressPoint);
    GetWindowRect(&m_pressRect);
}

void DevelopWizardDlg::OnMouseMove(UINT, CPoint point)
{
    if (!m_dragMode)
        return;
    ClientToScreen(&point);
    const CRect r = DragRect(m_dragMode, m_pressRect, m_pressPoint, point);
    CRect now;
    GetWindowRect(&now);
    if (r != now) {
        MoveWindow(&r);
        RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    }
}

void DevelopWizardDlg::OnLButtonUp(UINT, CPoint)
{
    if (!m_dragMode)
        return;
    m_dragMode = 0;
    if (GetCapture() == this)
        ReleaseCapture();
    RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void DevelopWizardDlg::OnLButtonDblClk(UINT, CPoint point)
{
    if (m_captionRect.PtInRect(point))
        PostMessage(WM_DEVELOP_NOTIFY, (static_cast<WPARAM>(kNotifyClick) << 16) + kMaximiseButton, 0);
}

void DevelopWizardDlg::OnRButtonUp(UINT, CPoint point)
{
    if (m_captionRect.PtInRect(point))
        ShowSystemMenu(point);
}

void DevelopWizardDlg::ShowSystemMenu(CPoint client)
{
    ClientToScreen(&client);
    qlafx::TrackSystemMenu(m_hWnd, client.x, client.y);
}

BOOL DevelopWizardDlg::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message)
{
    if (pWnd == this) {
        CPoint p;
        ::GetCursorPos(&p);
        ScreenToClient(&p);
        if (m_gripRect.PtInRect(p)) {
            ::SetCursor(::LoadCursor(nullptr, IDC_SIZENWSE));
            return TRUE;
        }
    }
    return CDialog::OnSetCursor(pWnd, nHitTest, message);
}

void DevelopWizardDlg::OnSysCommand(UINT nID, LPARAM lParam)
{
    if (nID >= 16 && nID <= 31) {
        CDialog about(100u, this);
        about.DoModal();
        return;
    }
    CDialog::OnSysCommand(nID, lParam);
}

LRESULT DevelopWizardDlg::OnNotify4102(WPARAM wParam, LPARAM lParam)
{
    OnNotify(wParam, lParam);
    return 0;
}

void DevelopWizardDlg::OnNotify(WPARAM code, LPARAM lParam)
{
    UINT kind = 0, id = 0;
    if (!DecodeNotification(code, kind, id))
        return;
    switch (kind) {
    case kNotifyClick: RunCommand(id); break;
    case kNotifyLink: {
        const char* link = reinterpret_cast<const char*>(lParam);
        if (link && *link && strncasecmp(link, "cmd:", 4) != 0)
            ::ShellExecute(m_hWnd, "open", link, nullptr, nullptr, SW_SHOWNORMAL);
        break;
    }
    case kNotifyOption: RunOption(id); break;
    case kNotifySlider:
        if (m_current == &m_adjustPage)
            m_adjustPage.StartPreviewJob();
        break;
    default: break;
    }
}

void DevelopWizardDlg::RunCommand(UINT id)
{
    switch (id) {
    case kMinimiseButton: ShowWindow(SW_MINIMIZE); break;
    case kMaximiseButton:
        if (IsZoomed()) {
            ShowWindow(SW_RESTORE);
            m_buttons[1].SetIcon(132);
        } else {
            ShowWindow(SW_MAXIMIZE);
            m_buttons[1].SetIcon(134);
        }
        RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        break;
    case kNextButton:
        if (!m_buttons[3].IsWindowEnabled())
            break;
        m_buttons[3].EnableWindow(FALSE);
        m_current->OnNext();
        break;
    case kCloseButton:
    case kCancelButton: Cancel(); break;
    case DevelopOpenPage::kOpenButton:
        if (m_current == &m_openPage && m_openPage.ChooseFile())
            m_openPage.Refresh(true);
        break;
    case DevelopAdjustPage::kZoomIn:
    case DevelopAdjustPage::kZoomOut:
    case DevelopAdjustPage::kActualSize:
    case DevelopAdjustPage::kFit:
        if (m_current == &m_adjustPage)
            m_adjustPage.OnCommand(id);
        break;
    case DevelopSavePage::kJpegButton:
        if (m_current == &m_savePage)
            m_savePage.SaveJpeg();
        break;
    case DevelopSavePage::kTiffButton:
        if (m_current == &m_savePage)
            m_savePage.SaveTiff();
        break;
    case DevelopOpenPage::kBatchButton:
        if (m_current == &m_openPage)
            GoToBatchPage();
        break;
    case DevelopBatchPage::kAddButton:
    case DevelopBatchPage::kRemoveButton:
    case DevelopBatchPage::kBrowseButton:
        if (m_current != &m_batchPage || m_batchPage.Running())
            break;
        if (id == DevelopBatchPage::kAddButton)
            m_batchPage.AddFiles();
        else if (id == DevelopBatchPage::kRemoveButton)
            m_batchPage.RemoveSelected();
        else
            m_batchPage.BrowseOutputFolder();
        break;
    default: break;
    }
}

void DevelopWizardDlg::RunOption(UINT id)
{
    if (m_current == &m_openPage && !State().rawPath.empty() &&
        (id == DevelopOpenPage::kAutoOption || id == DevelopOpenPage::kCameraOption)) {
        const int flag = id == DevelopOpenPage::kAutoOption ? 1 : 0;
        if (flag != m_openPage.m_autoBalance) {
            m_openPage.m_autoBalance = flag;
            m_openPage.Refresh(true);
        }
    } else if (m_current == &m_adjustPage && id == DevelopAdjustPage::kPreviewCheck) {
        m_adjustPage.TogglePreview();
    } else if (m_current == &m_interpolatePage && id >= DevelopInterpolatePage::kBasic &&
               id <= DevelopInterpolatePage::kBest) {
        m_interpolatePage.SetMethod(static_cast<int>(id - DevelopInterpolatePage::kBasic) + 1);
    } else if (m_current == &m_batchPage) {
        if (id == DevelopBatchPage::kCameraOption || id == DevelopBatchPage::kAutoOption)
            m_batchPage.m_autoBalance = id == DevelopBatchPage::kAutoOption ? 1 : 0;
        else if (id == DevelopBatchPage::kJpegOption || id == DevelopBatchPage::kTiffOption)
            m_batchPage.m_jpeg = id == DevelopBatchPage::kJpegOption ? 1 : 0;
        else
            return;
        m_batchPage.Refresh(true);
    }
}

void DevelopWizardDlg::GoToNextPage()
{
    m_current->Show(false);
    DevelopPage* next = m_current->m_next;
    if (!next) {
        OnOK();
        return;
    }
    m_current = next;
    m_current->EnableNext(true);
    m_current->OnEnter();
    m_current->Show(true);
    RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

LRESULT DevelopWizardDlg::OnJob(WPARAM wParam, LPARAM lParam)
{
    const WPARAM h = wParam & ~static_cast<WPARAM>(0xFFFF);
    // The end of a batch started with -f ends the program.
    if (h == kGoToNextStep && m_current == &m_batchPage && !State().commandLine.folder.empty()) {
        EndDialog(IDOK);
        return 0;
    }
    // The batch job's reports reach its page wherever the wizard is.
    if (m_current != &m_batchPage && (wParam == kBatchReports || wParam == kJobDone))
        m_batchPage.OnJobMessage(wParam, lParam);
    if (h == kGoToNextStep)
        GoToNextPage();
    else if (h == kCloseWizard)
        Cancel();
    m_current->OnJobMessage(wParam, lParam);
    if (m_closing)
        EndWhenIdle();
    return 0;
}

void DevelopWizardDlg::Cancel()
{
    if (m_current == &m_batchPage) {
        CancelBatch();
        return;
    }
    // The worker is waited for by its messages: the window never sleeps.
    m_closing = true;
    if (m_current == &m_adjustPage)
        m_adjustPage.m_job->RequestStop();
    EndWhenIdle();
}

void DevelopWizardDlg::EndWhenIdle()
{
    if (ProcessThread().IsBusy() || !m_hWnd)
        return;
    EndDialog(IDCANCEL);
}

void DevelopWizardDlg::OnOK()
{
    // Enter is Next only while Next is enabled.
    RunCommand(kNextButton);
}

void DevelopWizardDlg::OnCancel() { Cancel(); }

void DevelopWizardDlg::OnDropFiles(HDROP hDropInfo)
{
    const UINT count = ::DragQueryFile(hDropInfo, 0xFFFFFFFF, nullptr, 0);
    if (m_current != &m_openPage) {
        ShowMessage(this, "dropinfirstpage");
    } else {
        std::vector<std::string> paths;
        for (UINT i = 0; i < count; ++i) {
            char path[4096] = {};
            if (::DragQueryFile(hDropInfo, i, path, sizeof path))
                paths.emplace_back(path);
        }
        DropFiles(paths);
    }
    ::DragFinish(hDropInfo);
}

void DevelopWizardDlg::DropFiles(const std::vector<std::string>& paths)
{
    if (m_current != &m_openPage) {
        ShowMessage(this, "dropinfirstpage");
        return;
    }
    if (paths.size() == 1) {
        m_openPage.OpenFile(paths.front().c_str());
        return;
    }
    for (const std::string& path : paths)
        m_batchPage.AddFile(path.c_str());
    m_batchPage.RefreshList();
    GoToBatchPage();
}

void DevelopWizardDlg::GoToBatchPage()
{
    m_current->Show(false);
    m_current = &m_batchPage;
    m_batchPage.OnEnter();
    m_batchPage.Show(true);
    RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

// A running batch stops at its next check and then leaves the page itself;
// an idle one goes back to Step 1, or ends a -f start.
void DevelopWizardDlg::CancelBatch()
{
    m_batchPage.m_cancel = 1;
    if (ProcessThread().IsBusy())
        return;
    m_buttons[3].SetWindowText(Texts().GetText("next"));
    m_buttons[3].Invalidate();
    m_batchPage.Show(false);
    if (!State().commandLine.folder.empty()) {
        EndDialog(IDCANCEL);
        return;
    }
    m_current = &m_openPage;
    m_openPage.OnEnter();
    m_openPage.Show(true);
    RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void DevelopWizardDlg::OnDestroy()
{
    DevelopPage* pages[5] = {&m_openPage, &m_interpolatePage, &m_adjustPage, &m_savePage, &m_batchPage};
    for (DevelopPage* page : pages)
        page->DestroyControls();
    CDialog::OnDestroy();
}

} // namespace develop
