#include "album/shell/ViewPhotoDlg.h"

#include "album/shell/AlbumGlobals.h"
#include "album/shell/AlbumTextTable.h"
#include "album/shell/PhotoListView.h"
#include "album/shell/TipsDlg.h"
#include "platform/afx/DC.h"
#include "platform/afx/MessageBox.h"
#include "platform/afx/WinApp.h"
#include "platform/codec/QLImageCodec.h"
#include "platform/win/Process.h"

#include <algorithm>
#include <cstdio>
#include <unistd.h>

namespace shelf {

namespace {

constexpr int kBarHeight = 36;
constexpr int kBoxStep = 16, kBoxWidth = 15, kBoxHeight = 16;
constexpr UINT kRefreshCommand = 32775;
constexpr UINT kHandCursor = 138;

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

UINT ImageWidth(const CQLImage* image)
{
    UINT w = 0, h = 0;
    if (image)
        image->GetSize(&w, &h);
    return w;
}

UINT ImageHeight(const CQLImage* image)
{
    UINT w = 0, h = 0;
    if (image)
        image->GetSize(&w, &h);
    return h;
}

int DecodeWithCodec(const char* path, CQLImage* image)
{
    CQLImageCodec codec;
    return codec.LoadFile(path, image);
}

BITMAPINFO TopDownInfo(int w, int h)
{
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    return bi;
}

} // namespace

BEGIN_MESSAGE_MAP(CViewPhotoDlg, CSkinDialog)
    ON_WM_SIZE()
    ON_WM_ERASEBKGND()
    ON_WM_PAINT()
    ON_WM_TIMER()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONDOWN()
    ON_WM_SETCURSOR()
    ON_WM_GETMINMAXINFO()
    ON_MESSAGE(WM_ANALYSIS_READY, OnAnalysisReady)
END_MESSAGE_MAP()

CViewPhotoDlg::CViewPhotoDlg(PhotoPreloadCache::Decoder decoder)
    : CSkinDialog(kTemplate, nullptr), m_fullWindow(this), m_cache(decoder ? decoder : DecodeWithCodec),
      m_decode(decoder ? decoder : DecodeWithCodec)
{
    m_wantBackdrop = 0;
}

CViewPhotoDlg::~CViewPhotoDlg()
{
    // The worker goes before the windows it posts to.
    m_runner.reset();
    EndAnalysisWait();
    if (m_fullWindow.m_hWnd)
        m_fullWindow.DestroyWindow();
    if (m_hWnd)
        DestroyWindow();
}

BOOL CViewPhotoDlg::CreateHidden()
{
    return Create(kTemplate, nullptr);
}

BOOL CViewPhotoDlg::OnInitDialog()
{
    CSkinDialog::OnInitDialog();
    m_panel.Create("", RECT{0, 0, 100, 100}, this, 1);
    m_font.CreateFont(14, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                      CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "Arial");
    struct Button {
        CButton* button;
        UINT id;
        UINT bitmap;
        int slot;
    };
    const Button buttons[] = {
        {&m_editButton, kEdit, 169, 0},       {&m_previousButton, kPrevious, 153, 1}, {&m_nextButton, kNext, 154, 2},
        {&m_deleteButton, kDelete, 162, 3},   {&m_wallpaperButton, kWallpaper, 172, 4},
    };
    for (const Button& b : buttons) {
        b.button->Create("", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON | BS_BITMAP, RECT{0, 0, 32, 28}, this,
                         b.id);
        if (m_bitmaps[b.slot].LoadBitmap(b.bitmap))
            b.button->SetBitmap(static_cast<HBITMAP>(m_bitmaps[b.slot].GetSafeHandle()));
    }
    m_fullScreenButton.Create("", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX | BS_PUSHLIKE | BS_ICON,
                              RECT{0, 0, 32, 28}, this, kFullScreen);
    if (AfxGetApp() && (m_fullScreenIcon = AfxGetApp()->LoadIcon(219)) != nullptr)
        m_fullScreenButton.SetIcon(m_fullScreenIcon);
    m_fullWindow.Create(CFullWindowDlg::kTemplate, this);
    SetTimer(kStripTimer, 100, nullptr);
    if (AfxGetApp())
        if (HICON icon = AfxGetApp()->LoadIcon(128)) {
            SetIcon(icon, TRUE);
            SetIcon(icon, FALSE);
        }
    m_runner = std::make_unique<AnalysisRunner>(m_hWnd, WM_ANALYSIS_READY);
    CRect client;
    GetClientRect(&client);
    OnSize(SIZE_RESTORED, client.Width(), client.Height());
    return TRUE;
}

void CViewPhotoDlg::OnSize(UINT type, int cx, int cy)
{
    CSkinDialog::OnSize(type, cx, cy);
    if (!m_panel.m_hWnd)
        return;
    m_panel.MoveWindow(0, 37, cx, std::max(0, cy - 37));
    m_previousButton.MoveWindow(2, 5, 32, 28);
    m_nextButton.MoveWindow(35, 5, 32, 28);
    m_deleteButton.MoveWindow(cx - 490, 5, 148, 28);
    m_wallpaperButton.MoveWindow(cx - 340, 5, 148, 28);
    m_editButton.MoveWindow(cx - 190, 5, 148, 28);
    m_fullScreenButton.MoveWindow(cx - 40, 5, 32, 28);
    RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

BOOL CViewPhotoDlg::OnEraseBkgnd(CDC* dc)
{
    EraseSkinnedBackground(this, dc);
    CRect client;
    GetClientRect(&client);
    const RECT bar{0, 0, client.right, kBarHeight};
    dc->FillSolidRect(&bar, ::GetSysColor(COLOR_BTNFACE));
    dc->Draw3dRect(&bar, RGB(128, 128, 128), RGB(255, 255, 255));
    return TRUE;
}

void CViewPhotoDlg::OnPaint()
{
    CPaintDC dc(this);
    m_stripDirty = TRUE;
}

void CViewPhotoDlg::OnGetMinMaxInfo(MINMAXINFO* info)
{
    RECT work{};
    if (::SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0)) {
        info->ptMaxSize.x = Width(work);
        info->ptMaxSize.y = Height(work);
        info->ptMaxPosition.x = work.left;
        info->ptMaxPosition.y = work.top;
    }
    info->ptMinTrackSize.x = 800;
}

// ---- the photos ----------------------------------------------------------

void CViewPhotoDlg::Open(std::vector<std::string> paths, int index)
{
    m_paths = std::move(paths);
    if (m_paths.empty())
        return;
    // Each opening starts from the setting; stepping keeps what the user chose.
    m_fullScreenCheck = theAlbum && theAlbum->m_bFullScreen;
    ShowPhotoAtIndex(std::clamp(index, 0, static_cast<int>(m_paths.size()) - 1));
}

const CQLImage* CViewPhotoDlg::ShownImage() const
{
    return m_mode == PhotoAnalysis::kPhoto || !m_work ? m_source.get() : m_work.get();
}

// The index moves only once the photo is in hand, so the photo, the title
// and the index always agree.
BOOL CViewPhotoDlg::ShowPhotoAtIndex(int index)
{
    if (index < 0 || index >= static_cast<int>(m_paths.size()))
        return FALSE;
    if (m_fullScreenButton.m_hWnd)
        m_fullScreenButton.SetCheck(m_fullScreenCheck ? BST_CHECKED : BST_UNCHECKED);
    const std::string& path = m_paths[static_cast<std::size_t>(index)];
    BeginWaitCursor();
    auto image = std::make_shared<CQLImage>();
    // A preload not begun yet (or another path) is decoded now.
    BOOL loaded = m_cache.GetImage(path.c_str(), image.get());
    if (!loaded)
        loaded = m_decode(path.c_str(), image.get()) != 0;
    EndWaitCursor();
    if (!loaded)
        return FALSE;
    m_index = index;
    m_source = std::move(image);
    ShowCurrentPicture();
    // The title follows the photo on the full screen too, for the way back.
    SetWindowText(path.c_str());
    const BOOL fullScreen = m_fullScreenButton.m_hWnd && m_fullScreenButton.GetCheck() == BST_CHECKED;
    if (fullScreen) {
        if (m_fullWindow.IsWindowVisible())
            m_fullWindow.Refresh();
        else
            OnFullScreenCheck();
    } else {
        if (!m_shownOnce) {
            m_shownOnce = TRUE;
            ShowWindow(SW_SHOWMAXIMIZED);
        } else if (!IsWindowVisible()) {
            ShowWindow(SW_SHOW);
        }
        // Fitted at the size it is shown at: the first showing maximises.
        m_panel.FitToWindow();
        if (m_fullWindow.IsWindowVisible())
            m_fullWindow.Refresh();
        else
            BringWindowToTop();
        m_panel.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    }
    m_cache.Preload(m_paths[static_cast<std::size_t>((index + 1) % static_cast<int>(m_paths.size()))].c_str());
    return TRUE;
}

void CViewPhotoDlg::ShowCurrentPicture()
{
    if (m_mode == PhotoAnalysis::kPhoto) {
        m_panel.SetImage(m_source.get(), FALSE);
        return;
    }
    // The previous view stays until the new one is ready.
    StartAnalysis();
}

void CViewPhotoDlg::ShowNext()
{
    if (!m_paths.empty())
        ShowPhotoAtIndex((m_index + 1) % static_cast<int>(m_paths.size()));
}

void CViewPhotoDlg::ShowPrevious()
{
    if (!m_paths.empty())
        ShowPhotoAtIndex(m_index == 0 ? static_cast<int>(m_paths.size()) - 1 : m_index - 1);
}

void CViewPhotoDlg::OpenInEditor()
{
    if (m_paths.empty())
        return;
    const std::string program = (theAlbum ? theAlbum->m_programFolder : std::string()) + "QuilloEditor";
    _spawnl(_P_NOWAIT, program.c_str(), "QuilloEditor", m_paths[static_cast<std::size_t>(m_index)].c_str(), nullptr);
}

void CViewPhotoDlg::SetAsWallpaper()
{
    if (!m_paths.empty())
        SetPhotoAsWallpaper(m_paths[static_cast<std::size_t>(m_index)], this);
}

void CViewPhotoDlg::DeletePhoto()
{
    if (m_paths.empty())
        return;
    if (::MessageBox(m_hWnd, theAlbumTexts.GetText(13), "Quillo", MB_YESNO) != IDYES)
        return;
    const std::string path = m_paths[static_cast<std::size_t>(m_index)];
    if (m_paths.size() == 1) {
        ::unlink(path.c_str());
        OnCancel();
    } else {
        m_paths.erase(m_paths.begin() + m_index);
        // The photo after the deleted one comes to its place (wrapping).
        const int next = m_index % static_cast<int>(m_paths.size());
        m_index = next;
        ShowPhotoAtIndex(next);
        ::unlink(path.c_str());
    }
    CWnd* target = m_pRefreshTarget ? m_pRefreshTarget : AfxGetMainWnd();
    if (target && target->m_hWnd)
        target->PostMessage(WM_COMMAND, kRefreshCommand, 0);
}

void CViewPhotoDlg::OnFullScreenCheck()
{
    const BOOL on = m_fullScreenButton.GetCheck() == BST_CHECKED;
    m_fullScreenCheck = on;
    if (on) {
        if (!(theAlbum && theAlbum->m_bFullScreen)) {
            CWinApp* app = AfxGetApp();
            const int offer = app ? app->GetProfileInt("Open", "FullScrTip", 1) : 0;
            if (offer == 0 || !ShowTip("fullscr.htm", theAlbumTexts.GetText(80), 1)) {
                if (app)
                    app->WriteProfileInt("Open", "FullScrTip", 0);
            }
        }
        ShowWindow(SW_HIDE);
        m_fullWindow.Show(TRUE);
    } else {
        ShowWindow(SW_SHOW);
        m_fullWindow.Show(FALSE);
    }
}

// ---- analysis views ------------------------------------------------------

void CViewPhotoDlg::SetAnalysisMode(int mode)
{
    if (mode == m_mode || mode < 0 || mode >= PhotoAnalysis::kModeCount)
        return;
    m_mode = mode;
    m_stripDirty = TRUE;
    if (mode == PhotoAnalysis::kPhoto) {
        ++m_generation; // a view still being built is not wanted any more
        EndAnalysisWait();
        m_panel.ShowWindow(SW_SHOW);
        m_panel.SetImage(m_source.get(), FALSE);
        m_panel.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        return;
    }
    StartAnalysis();
}

void CViewPhotoDlg::StartAnalysis()
{
    if (!m_source || !m_runner)
        return;
    // One wait cursor however many requests supersede each other.
    if (!m_analysisWait) {
        m_analysisWait = TRUE;
        BeginWaitCursor();
    }
    m_runner->Start(m_source, m_mode, ++m_generation);
}

void CViewPhotoDlg::EndAnalysisWait()
{
    if (m_analysisWait) {
        m_analysisWait = FALSE;
        EndWaitCursor();
    }
}

LRESULT CViewPhotoDlg::OnAnalysisReady(WPARAM wParam, LPARAM)
{
    if (m_runner)
        ApplyAnalysis(m_runner->Take(static_cast<std::uint64_t>(wParam)));
    return 0;
}

void CViewPhotoDlg::FinishAnalysisNow()
{
    if (!m_runner)
        return;
    m_runner->Wait();
    ApplyAnalysis(m_runner->Take(m_generation));
}

void CViewPhotoDlg::ApplyAnalysis(std::unique_ptr<AnalysisRunner::Result> result)
{
    if (!result || result->generation != m_generation || result->mode != m_mode)
        return;
    EndAnalysisWait();
    if (!result->built) {
        AfxMessageBox("Can not alloc memory!");
        return;
    }
    std::unique_ptr<CQLImage> previous = std::move(m_work);
    m_work = std::make_unique<CQLImage>(std::move(result->work));
    if (m_mode == PhotoAnalysis::kInfo) {
        m_histograms = result->histograms;
        m_panel.ShowWindow(SW_HIDE);
        m_panel.SetImage(m_work.get(), FALSE);
        RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        m_stripDirty = TRUE;
    } else {
        m_panel.ShowWindow(SW_SHOW);
        m_panel.SetImage(m_work.get(), FALSE);
        m_panel.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    }
    // No panel may keep pointing at the image given back for the next view.
    if (m_fullWindow.m_hWnd) {
        if (m_fullWindow.IsWindowVisible())
            m_fullWindow.Refresh();
        else
            m_fullWindow.m_panel.SetImage(const_cast<CQLImage*>(ShownImage()), FALSE);
    }
    if (previous && m_runner)
        m_runner->Recycle(std::move(*previous));
}

// ---- keys and commands ---------------------------------------------------

BOOL CViewPhotoDlg::HandleKey(UINT key)
{
    switch (key) {
    case VK_RETURN:
    case 0x0A:
        OpenInEditor();
        return TRUE;
    case VK_ESCAPE:
        OnCancel();
        return TRUE;
    case VK_SPACE:
    case VK_NEXT:
    case VK_RIGHT:
    case VK_DOWN:
        ShowNext();
        return TRUE;
    case VK_PRIOR:
    case VK_LEFT:
    case VK_UP:
        ShowPrevious();
        return TRUE;
    case VK_DELETE:
        DeletePhoto();
        return TRUE;
    default:
        return FALSE;
    }
}

BOOL CViewPhotoDlg::PreTranslateMessage(MSG* msg)
{
    if (msg->message == WM_CHAR)
        return TRUE;
    if (msg->message == WM_KEYDOWN) {
        HandleKey(static_cast<UINT>(msg->wParam));
        return TRUE;
    }
    return CSkinDialog::PreTranslateMessage(msg);
}

BOOL CViewPhotoDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    switch (LOWORD(wParam)) {
    case kEdit: OpenInEditor(); return TRUE;
    case kPrevious: ShowPrevious(); return TRUE;
    case kNext: ShowNext(); return TRUE;
    case kWallpaper: SetAsWallpaper(); return TRUE;
    case kDelete: DeletePhoto(); return TRUE;
    case kFullScreen: OnFullScreenCheck(); return TRUE;
    default: return CSkinDialog::OnCommand(wParam, lParam);
    }
}

void CViewPhotoDlg::OnCancel()
{
    if (m_fullWindow.m_hWnd)
        m_fullWindow.ShowWindow(SW_HIDE);
    ShowWindow(SW_HIDE);
}

// ---- the strip and the information page ----------------------------------

int CViewPhotoDlg::StripModeAt(CPoint point) const
{
    if (point.x < kStrip.left || point.y < kStrip.top || point.y >= kStrip.top + 15 || point.x >= kStrip.left + 192)
        return -1;
    const int mode = (point.x - kStrip.left) / kBoxStep;
    return mode < PhotoAnalysis::kModeCount ? mode : -1;
}

void CViewPhotoDlg::WriteModeName(CDC* dc, int mode)
{
    const RECT nameArea{kStrip.left, kStrip.top + 17, kStrip.left + 260, kBarHeight - 1};
    dc->FillSolidRect(&nameArea, ::GetSysColor(COLOR_BTNFACE));
    CFont* old = dc->SelectObject(&m_font);
    dc->SetBkMode(TRANSPARENT);
    dc->SetTextColor(RGB(0, 0, 0));
    const char* name = theAlbumTexts.GetText(36 + mode);
    dc->TextOut(kStrip.left, kStrip.top + 17, name, static_cast<int>(std::strlen(name)));
    dc->SelectObject(old);
}

void CViewPhotoDlg::PaintStrip(CDC* dc)
{
    CFont* old = dc->SelectObject(&m_font);
    dc->SetBkMode(TRANSPARENT);
    for (int i = 0; i < PhotoAnalysis::kModeCount; ++i) {
        const RECT box{kStrip.left + i * kBoxStep, kStrip.top, kStrip.left + i * kBoxStep + kBoxWidth,
                       kStrip.top + kBoxHeight};
        dc->FillSolidRect(&box, ::GetSysColor(COLOR_BTNFACE));
        if (i == m_mode)
            dc->Draw3dRect(&box, RGB(64, 64, 64), RGB(255, 255, 255));
        else if (i == m_hoverMode)
            dc->Draw3dRect(&box, RGB(255, 255, 255), RGB(64, 64, 64));
        const char letter[2] = {PhotoAnalysis::kLetters[i], 0};
        const SIZE ext = dc->GetTextExtent(letter, 1);
        const int x = box.left + (kBoxWidth - ext.cx) / 2, y = box.top + (kBoxHeight - ext.cy) / 2;
        dc->SetTextColor(RGB(255, 255, 255));
        dc->TextOut(x + 1, y + 1, letter, 1);
        dc->SetTextColor(RGB(0, 0, 0));
        dc->TextOut(x, y, letter, 1);
    }
    dc->SelectObject(old);
    WriteModeName(dc, m_hoverMode >= 0 ? m_hoverMode : m_mode);
}

void CViewPhotoDlg::PaintInformation(CDC* dc)
{
    CRect client;
    GetClientRect(&client);
    const int top = 40;
    const RECT page{0, top, client.right, client.bottom};
    dc->FillSolidRect(&page, ::GetSysColor(COLOR_BTNFACE));
    const CQLImage* image = m_source.get();
    const int w = static_cast<int>(ImageWidth(image)), h = static_cast<int>(ImageHeight(image));
    if (w > 0 && h > 0) {
        // The photo fitted into a 200 x 200 box, centred.
        const int bw = w >= h ? 200 : std::max(1, 200 * w / h);
        const int bh = w >= h ? std::max(1, 200 * h / w) : 200;
        const int x = 10 + (200 - bw) / 2, y = top + 10 + (200 - bh) / 2;
        const BITMAPINFO info = TopDownInfo(w, h);
        const int saved = dc->SetStretchBltMode(HALFTONE);
        ::StretchDIBits(dc->GetSafeHdc(), x, y, bw, bh, 0, 0, w, h, image->GetBuffer(0, 0), &info, DIB_RGB_COLORS,
                        SRCCOPY);
        dc->SetStretchBltMode(saved);
        const RECT frame{x - 1, y - 1, x + bw + 1, y + bh + 1};
        dc->Draw3dRect(&frame, RGB(64, 64, 64), RGB(255, 255, 255));
    }
    CPen black, grey, red, green, blue;
    black.CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
    grey.CreatePen(PS_SOLID, 1, RGB(128, 128, 128));
    red.CreatePen(PS_SOLID, 1, RGB(200, 0, 0));
    green.CreatePen(PS_SOLID, 1, RGB(0, 128, 0));
    blue.CreatePen(PS_SOLID, 1, RGB(0, 0, 255));
    CPen* oldPen = dc->SelectObject(&black);
    const POINT axes[3][2] = {{{230, 100}, {230, 220}}, {{220, 210}, {500, 210}}, {{490, 220}, {490, 100}}};
    for (const auto& a : axes) {
        dc->MoveTo(a[0]);
        dc->LineTo(a[1]);
    }
    if (w > 0 && h > 0) {
        constexpr int base = 209;
        const std::uint32_t lumScale = PhotoAnalysis::Scale(m_histograms.counts[0], w, h);
        dc->SelectObject(&grey);
        for (int i = 0; i < 256; ++i) {
            const int bar = PhotoAnalysis::BarHeight(m_histograms.counts[0][i], lumScale);
            if (bar > 0) {
                dc->MoveTo(232 + i, base);
                dc->LineTo(232 + i, base - bar);
            }
        }
        CPen* pens[3] = {&red, &green, &blue};
        POINT line[256];
        for (int c = 1; c <= 3; ++c) {
            const std::uint32_t scale = PhotoAnalysis::Scale(m_histograms.counts[c], w, h);
            for (int i = 0; i < 256; ++i)
                line[i] = POINT{232 + i, base - PhotoAnalysis::BarHeight(m_histograms.counts[c][i], scale)};
            dc->SelectObject(pens[c - 1]);
            dc->Polyline(line, 256);
        }
    }
    dc->SelectObject(&black);
    CBrush frameBrush;
    frameBrush.CreateSolidBrush(RGB(0, 0, 0));
    const RECT frames[2] = {{215, 45, 515, 255}, {5, 45, 216, 255}};
    for (const RECT& f : frames)
        dc->FrameRect(&f, &frameBrush);
    dc->SelectObject(oldPen);
}

void CViewPhotoDlg::PaintStripAndPage()
{
    CClientDC dc(this);
    PaintStrip(&dc);
    if (m_mode == PhotoAnalysis::kInfo && m_work)
        PaintInformation(&dc);
    m_stripDirty = FALSE;
}

void CViewPhotoDlg::OnTimer(UINT_PTR id)
{
    if (id == kStripTimer && m_stripDirty && IsWindowVisible())
        PaintStripAndPage();
}

void CViewPhotoDlg::OnMouseMove(UINT, CPoint point)
{
    const int hover = StripModeAt(point);
    if (hover == m_hoverMode)
        return;
    m_hoverMode = hover;
    CClientDC dc(this);
    PaintStrip(&dc);
}

void CViewPhotoDlg::OnLButtonDown(UINT, CPoint point)
{
    if (point.x < kStrip.left || point.y >= kBoxHeight + kStrip.top || point.y < kStrip.top)
        return;
    const int mode = (point.x - kStrip.left) / kBoxStep;
    if (mode < PhotoAnalysis::kModeCount)
        SetAnalysisMode(mode);
}

BOOL CViewPhotoDlg::OnSetCursor(CWnd* wnd, UINT hitTest, UINT message)
{
    POINT p{};
    ::GetCursorPos(&p);
    ScreenToClient(&p);
    const bool overButton = wnd == &m_previousButton || wnd == &m_nextButton || wnd == &m_wallpaperButton ||
                            wnd == &m_editButton || (wnd && (wnd->m_hWnd == m_previousButton.m_hWnd ||
                                                             wnd->m_hWnd == m_nextButton.m_hWnd ||
                                                             wnd->m_hWnd == m_wallpaperButton.m_hWnd ||
                                                             wnd->m_hWnd == m_editButton.m_hWnd));
    if (overButton || (wnd && wnd->m_hWnd == m_hWnd && StripModeAt(p) >= 0)) {
        if (HCURSOR hand = AfxGetApp() ? AfxGetApp()->LoadCursor(kHandCursor) : nullptr) {
            ::SetCursor(hand);
            return TRUE;
        }
    }
    (void)hitTest;
    (void)message;
    return static_cast<BOOL>(Default());
}

} // namespace shelf
