#include "editor/shell/SplashDlg.h"

#include "editor/shell/EditorApp.h"

CSplashDlg theSplashDlg;

namespace {
// Font precision values the layer's header does not name.
constexpr BYTE kOutStrokePrecis = 3;
constexpr BYTE kClipStrokePrecis = 2;
}  // namespace

BEGIN_MESSAGE_MAP(CSplashDlg, CDialog)
ON_WM_PAINT()
ON_WM_LBUTTONDOWN()
ON_MESSAGE(WM_SPLASH_STATUS, OnShowStatus)
END_MESSAGE_MAP()

BOOL CSplashDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    char path[MAX_PATH];
    GetSkinFilePath("start.lgb", path);
    if (m_picture.LoadFromFile(path) != 0)
        return FALSE;
    UINT w = 0, h = 0;
    m_picture.GetSize(&w, &h);
    ::SetWindowPos(m_hWnd, HWND_TOPMOST, 0, 0, static_cast<int>(w), static_cast<int>(h), SWP_NOMOVE | SWP_NOREDRAW);
    CenterWindow();
    return m_font.CreateFont(12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET, kOutStrokePrecis,
                             kClipStrokePrecis, DRAFT_QUALITY, VARIABLE_PITCH, "Arial");
}

void CSplashDlg::OnPaint()
{
    CPaintDC dc(this);
    UINT w = 0, h = 0;
    m_picture.GetSize(&w, &h);
    if (!w || !h)
        return;
    CRect client;
    GetClientRect(&client);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = static_cast<LONG>(w);
    info.bmiHeader.biHeight = -static_cast<LONG>(h);  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    dc.SetStretchBltMode(HALFTONE);
    ::StretchDIBits(dc.GetSafeHdc(), 0, 0, client.Width(), client.Height(), 0, 0, static_cast<int>(w),
                    static_cast<int>(h), m_picture.GetBuffer(0, 0), &info, DIB_RGB_COLORS, SRCCOPY);
}

void CSplashDlg::OnLButtonDown(UINT, CPoint)
{
    OnCancel();
}

LRESULT CSplashDlg::OnShowStatus(WPARAM, LPARAM lParam)
{
    if (!IsWindowVisible() || !lParam)
        return 0;
    CClientDC dc(this);
    dc.FillSolidRect(kBandX, kBandY, kBandWidth, kBandHeight, RGB(255, 255, 255));
    CFont* old = m_font.GetSafeHandle() ? dc.SelectObject(&m_font) : nullptr;
    dc.SetBkMode(TRANSPARENT);
    dc.TextOut(kBandX, kBandY, reinterpret_cast<const char*>(lParam));
    if (old)
        dc.SelectObject(old);
    return 0;
}
