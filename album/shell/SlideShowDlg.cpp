#include "album/shell/SlideShowDlg.h"

#include "album/shell/AlbumTextTable.h"
#include "platform/afx/DC.h"
#include "platform/codec/QLImageCodec.h"

#include <chrono>
#include <cstdlib>

namespace shelf {

namespace {

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

bool HasPixels(const CQLImage& image)
{
    UINT w = 0, h = 0;
    image.GetSize(&w, &h);
    return w > 0 && h > 0;
}

// Text and picture of each play mode.
constexpr int kModeText[4] = {31, 30, 32, 33};
constexpr UINT kModeBitmap[4] = {164, 163, 165, 167};

} // namespace

BEGIN_MESSAGE_MAP(CSlideShowDlg, CDialog)
    ON_WM_ERASEBKGND()
    ON_WM_TIMER()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONDBLCLK()
END_MESSAGE_MAP()

CSlideShowDlg::CSlideShowDlg(CWnd* parent, PhotoPreloadCache::Decoder decoder)
    : CDialog(kTemplate, parent), m_cache(decoder ? decoder : DecodeWithCodec),
      m_decode(decoder ? decoder : DecodeWithCodec)
{
}

CSlideShowDlg::~CSlideShowDlg()
{
    RestoreCursor();
}

long long CSlideShowDlg::Now()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

int CSlideShowDlg::NextPlayMode(int mode)
{
    switch (mode) {
    case kPlay: return kRandomPlay;
    case kRandomPlay: return kPause;
    case kPause: return kPressKey;
    default: return kPlay;
    }
}

BOOL CSlideShowDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    if (m_screenWidth <= 0 || m_screenHeight <= 0) {
        m_screenWidth = ::GetSystemMetrics(SM_CXSCREEN);
        m_screenHeight = ::GetSystemMetrics(SM_CYSCREEN);
    }
    SetWindowPos(nullptr, 0, 0, m_screenWidth, m_screenHeight, SWP_NOZORDER);
    m_playButton.SubclassDlgItem(kPlayButton, this);
    m_closeButton.SubclassDlgItem(IDCANCEL, this);
    m_effectLabel.SubclassDlgItem(kEffectLabel, this);
    m_effectCombo.SubclassDlgItem(kEffectCombo, this);
    for (const char* name : SlideTransitions::kEffectNames)
        m_effectCombo.AddString(name);
    m_effectCombo.SetCurSel(m_effectChoice);
    PlaceBar();
    if (m_display.Create(static_cast<UINT>(m_screenWidth), static_cast<UINT>(m_screenHeight)) != 0 ||
        m_target.Create(static_cast<UINT>(m_screenWidth), static_cast<UINT>(m_screenHeight)) != 0)
        return TRUE;
    if (m_paths.empty() || m_index < 0 || m_index >= static_cast<int>(m_paths.size()) ||
        !TakeImage(m_index, &m_current))
        return TRUE;
    if (m_closeBitmap.LoadBitmap(162))
        m_closeButton.SetBitmap(static_cast<HBITMAP>(m_closeBitmap.GetSafeHandle()));
    for (int i = 0; i < 4; ++i)
        m_modeBitmaps[i].LoadBitmap(kModeBitmap[i]);
    SetPlayMode(kPlay);
    m_lastActivity = Now();
    PickNext();
    m_started = TRUE;
    SetTimer(kTimer, 50, nullptr);
    return TRUE;
}

BOOL CSlideShowDlg::TakeImage(int index, CQLImage* image)
{
    const std::string& path = m_paths[static_cast<std::size_t>(index)];
    if (m_cache.GetImage(path.c_str(), image))
        return TRUE;
    // A preload the worker has not begun yet is decoded here.
    return m_cache.GetState() == PhotoPreloadCache::kRequested && m_decode(path.c_str(), image) != 0;
}

// The next photo is chosen ahead and decoded in the background.
void CSlideShowDlg::PickNext()
{
    const int count = static_cast<int>(m_paths.size());
    if (count <= 0)
        return;
    m_nextIndex = m_playMode == kPlay || m_playMode == kPause ? (m_index + 1) % count : std::rand() % count;
    m_cache.Preload(m_paths[static_cast<std::size_t>(m_nextIndex)].c_str());
}

void CSlideShowDlg::SetPlayMode(int mode)
{
    m_playMode = mode;
    if (!m_playButton.m_hWnd)
        return;
    m_playButton.SetWindowText(theAlbumTexts.GetText(kModeText[mode]));
    if (m_modeBitmaps[mode].GetSafeHandle())
        m_playButton.SetBitmap(static_cast<HBITMAP>(m_modeBitmaps[mode].GetSafeHandle()));
}

void CSlideShowDlg::AdvanceSlide()
{
    if (m_playMode == kPause || m_paths.empty() || m_transitionRunning)
        return;
    const int count = static_cast<int>(m_paths.size());
    BOOL loaded = FALSE;
    int index = m_nextIndex >= 0 ? m_nextIndex : (m_index + 1) % count;
    for (int attempt = 0; attempt < 3 && !loaded; ++attempt) {
        if (attempt > 0 && m_playMode != kPlay)
            index = std::rand() % count;
        loaded = TakeImage(index, &m_next);
    }
    if (!loaded) {
        EndShow();
        return;
    }
    m_nextIndex = index;
    m_effect = m_effectChoice == SlideTransitions::kRandom ? std::rand() % 9 + 2 : m_effectChoice;
    m_step = 0;
    m_transitionRunning = TRUE;
}

void CSlideShowDlg::StartBar(int state)
{
    m_barState = state;
    m_barStep = 0;
}

void CSlideShowDlg::PlaceBar()
{
    const POINT o = BarOrigin();
    if (m_playButton.m_hWnd)
        m_playButton.MoveWindow(o.x + 20, o.y + 5, 100, 30);
    if (m_effectLabel.m_hWnd)
        m_effectLabel.MoveWindow(o.x + 130, o.y + 12, 50, 16);
    if (m_effectCombo.m_hWnd)
        m_effectCombo.MoveWindow(o.x + 185, o.y + 10, 150, 200);
    if (m_closeButton.m_hWnd)
        m_closeButton.MoveWindow(o.x + 350, o.y + 5, 30, 30);
    if (m_hWnd) {
        const RECT strip{o.x, 0, o.x + kBarWidth, kBarHeight};
        InvalidateRect(&strip, TRUE);
    }
}

void CSlideShowDlg::HideCursor()
{
    if (m_cursorHidden)
        return;
    while (::ShowCursor(FALSE) >= 0) {
    }
    m_cursorHidden = TRUE;
}

void CSlideShowDlg::RestoreCursor()
{
    if (!m_cursorHidden)
        return;
    while (::ShowCursor(TRUE) < 0) {
    }
    m_cursorHidden = FALSE;
}

void CSlideShowDlg::Tick()
{
    if (m_inTick)
        return;
    m_inTick = TRUE;
    if (m_barState == kBarShown && Now() - m_lastActivity > 2000 && !m_effectCombo.GetDroppedState()) {
        StartBar(kBarSlidingOut);
        SetFocus();
    }
    if (m_barState == kBarSlidingIn || m_barState == kBarSlidingOut) {
        PlaceBar();
        if (m_barStep >= 10) {
            if (m_barState == kBarSlidingIn) {
                m_barState = kBarShown;
            } else {
                m_barState = kBarHidden;
                HideCursor();
            }
            m_barStep = 0;
        } else {
            ++m_barStep;
        }
    }
    if (++m_ticks > 100) {
        m_ticks = 0;
        if (m_playMode == kPlay || m_playMode == kRandomPlay)
            AdvanceSlide();
    }
    if (m_transitionRunning) {
        if (m_step == 0) {
            SlideTransitions::Compose(m_current, &m_display);
            SlideTransitions::Compose(m_next, &m_target);
        } else {
            SlideTransitions::Step(m_effect, m_step, &m_display, m_target);
        }
        if (m_effect != SlideTransitions::kNone && m_step > 0) {
            ++m_stepFrames;
            RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        }
        if (m_step >= SlideTransitions::kLastStep) {
            m_step = 0;
            m_transitionRunning = FALSE;
            m_current.DuplicateFrom(&m_next);
            m_index = m_nextIndex;
            PickNext();
            RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        } else {
            ++m_step;
        }
    }
    m_inTick = FALSE;
}

void CSlideShowDlg::OnTimer(UINT_PTR id)
{
    if (id == kTimer)
        Tick();
}

void CSlideShowDlg::DrawPicture(CDC* dc)
{
    // The bar's strip where the bar is now: once it has slid away the photo
    // shows whole.
    const POINT o = BarOrigin();
    const bool bar = m_barState != kBarHidden;
    const RECT strip{o.x, o.y, o.x + kBarWidth, o.y + kBarHeight};
    const int saved = dc->SaveDC();
    if (bar)
        dc->ExcludeClipRect(&strip);
    const RECT screen{0, 0, m_screenWidth, m_screenHeight};
    if (m_transitionRunning && HasPixels(m_display)) {
        const BITMAPINFO info = TopDownInfo(m_screenWidth, m_screenHeight);
        ::StretchDIBits(dc->GetSafeHdc(), 0, 0, m_screenWidth, m_screenHeight, 0, 0, m_screenWidth, m_screenHeight,
                        m_display.GetBuffer(0, 0), &info, DIB_RGB_COLORS, SRCCOPY);
    } else if (HasPixels(m_current)) {
        UINT w = 0, h = 0;
        m_current.GetSize(&w, &h);
        const RECT r = SlideTransitions::FittedRect(static_cast<int>(w), static_cast<int>(h), m_screenWidth,
                                                    m_screenHeight);
        dc->FillSolidRect(&screen, RGB(0, 0, 0));
        const BITMAPINFO info = TopDownInfo(static_cast<int>(w), static_cast<int>(h));
        const int mode = dc->SetStretchBltMode(HALFTONE);
        ::StretchDIBits(dc->GetSafeHdc(), r.left, r.top, r.right - r.left, r.bottom - r.top, 0, 0,
                        static_cast<int>(w), static_cast<int>(h), m_current.GetBuffer(0, 0), &info, DIB_RGB_COLORS,
                        SRCCOPY);
        dc->SetStretchBltMode(mode);
    } else {
        dc->FillSolidRect(&screen, RGB(0, 0, 0));
    }
    dc->RestoreDC(saved);
    if (!bar)
        return;
    dc->FillSolidRect(&strip, ::GetSysColor(COLOR_BTNFACE));
    dc->Draw3dRect(&strip, RGB(255, 255, 255), RGB(128, 128, 128));
}

BOOL CSlideShowDlg::OnEraseBkgnd(CDC* dc)
{
    DrawPicture(dc);
    return TRUE;
}

void CSlideShowDlg::OnMouseMove(UINT, CPoint point)
{
    if (m_barState == kBarHidden && m_lastMouse.x >= 0 &&
        (std::abs(point.x - m_lastMouse.x) > 3 || std::abs(point.y - m_lastMouse.y) > 3)) {
        StartBar(kBarSlidingIn);
        RestoreCursor();
    }
    m_lastMouse = point;
    m_lastActivity = Now();
}

void CSlideShowDlg::OnLButtonDown(UINT, CPoint point)
{
    if (m_barState == kBarHidden) {
        StartBar(kBarSlidingIn);
        RestoreCursor();
    } else if (m_barState == kBarShown && point.y < m_screenHeight - kBarHeight) {
        StartBar(kBarSlidingOut);
        SetFocus();
    }
    m_lastActivity = Now();
}

void CSlideShowDlg::OnLButtonDblClk(UINT, CPoint)
{
    OnCancel();
}

BOOL CSlideShowDlg::PreTranslateMessage(MSG* msg)
{
    if (msg->message == WM_KEYDOWN && m_playMode == kPressKey && msg->wParam != VK_ESCAPE) {
        AdvanceSlide();
        return TRUE;
    }
    return CDialog::PreTranslateMessage(msg);
}

BOOL CSlideShowDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    switch (LOWORD(wParam)) {
    case kPlayButton:
        SetPlayMode(NextPlayMode(m_playMode));
        m_lastActivity = Now();
        return TRUE;
    case kEffectCombo:
        if (HIWORD(wParam) == CBN_SELCHANGE && m_effectCombo.GetCurSel() >= 0)
            m_effectChoice = m_effectCombo.GetCurSel();
        return TRUE;
    default:
        return CDialog::OnCommand(wParam, lParam);
    }
}

void CSlideShowDlg::EndShow()
{
    OnCancel();
}

void CSlideShowDlg::OnOK()
{
    RestoreCursor();
    KillTimer(kTimer);
    CDialog::OnOK();
}

void CSlideShowDlg::OnCancel()
{
    RestoreCursor();
    KillTimer(kTimer);
    CDialog::OnCancel();
}

} // namespace shelf
