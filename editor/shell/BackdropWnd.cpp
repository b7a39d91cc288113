#include "editor/shell/BackdropWnd.h"

#include "editor/ui/SkinDialog.h"
#include "editor/ui/SkinDrawing.h"
#include "imagecore/ParallelFor.h"
#include "imagecore/Simd.h"
#include "platform/afx/PaintDC.h"

#include <QGuiApplication>
#include <QImage>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

IMPLEMENT_DYNAMIC(CBackdropWnd, CDialog)

BEGIN_MESSAGE_MAP(CBackdropWnd, CDialog)
    ON_WM_ERASEBKGND()
    ON_WM_PAINT()
END_MESSAGE_MAP()

namespace {

// The skinned dialogs' hooks reach the frame's one backdrop through this.
CBackdropWnd* g_backdrop = nullptr;

int ShowBackdrop()
{
    return g_backdrop ? g_backdrop->ShowOverMainWnd() : 0;
}

void HideBackdrop()
{
    if (g_backdrop)
        g_backdrop->HideBackdrop();
}

// The kernel is the separable [1 2 1] x [1 2 1] less twice the centre: a
// vertical pass into 16-bit sums, then the horizontal one. up and down are
// the rows around row; the first and last pixels are left to the caller.
__attribute__((always_inline)) inline void BlurRowBody(const BYTE* __restrict up, const BYTE* __restrict row,
                                                       const BYTE* __restrict down, BYTE* __restrict out,
                                                       uint16_t* __restrict sums, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        sums[i] = static_cast<uint16_t>(up[i] + 2 * row[i] + down[i]);
    for (int i = 4; i < bytes - 4; ++i)
        out[i] = static_cast<BYTE>(static_cast<uint16_t>(sums[i - 4] + 2 * sums[i] + sums[i + 4] - 2 * row[i]) >> 4);
}

using BlurRowFn = void (*)(const BYTE*, const BYTE*, const BYTE*, BYTE*, uint16_t*, int);

__attribute__((optimize("tree-vectorize"))) void BlurRowSse2(const BYTE* up, const BYTE* row, const BYTE* down,
                                                             BYTE* out, uint16_t* sums, int bytes)
{
    BlurRowBody(up, row, down, out, sums, bytes);
}

#if defined(__x86_64__)
__attribute__((target("avx2"), optimize("tree-vectorize"))) void BlurRowAvx2(const BYTE* up, const BYTE* row,
                                                                             const BYTE* down, BYTE* out,
                                                                             uint16_t* sums, int bytes)
{
    BlurRowBody(up, row, down, out, sums, bytes);
}
#endif

BlurRowFn PickBlurRow()
{
#if defined(__x86_64__)
    if (imagecore::ActiveSimdLevel() == imagecore::SimdLevel::Avx2)
        return BlurRowAvx2;
#endif
    return BlurRowSse2;
}

// Border pixels and every alpha byte stay as captured.
void KeepBorderAndAlpha(const BYTE* row, BYTE* out, int bytes)
{
    std::memcpy(out, row, 4);
    std::memcpy(out + bytes - 4, row + bytes - 4, 4);
    for (int i = 3; i < bytes; i += 4)
        out[i] = row[i];
}

}  // namespace

CBackdropWnd::~CBackdropWnd()
{
    if (g_backdrop == this) {
        g_backdrop = nullptr;
        g_showBackdrop = nullptr;
        g_hideBackdrop = nullptr;
    }
}

BOOL CBackdropWnd::Create(CWnd* main)
{
    m_main = main;
    if (!CDialog::Create(kTemplate, main))
        return FALSE;
    g_backdrop = this;
    g_showBackdrop = ShowBackdrop;
    g_hideBackdrop = ::HideBackdrop;
    return TRUE;
}

void CBackdropWnd::Blur(const CQLImage& src, CQLImage& dst)
{
    UINT w = 0, h = 0;
    src.GetSize(&w, &h);
    if (dst.Create(w, h) != 0 || !w || !h)
        return;
    const int width = static_cast<int>(w), height = static_cast<int>(h);
    const size_t rowBytes = static_cast<size_t>(width) * 4;
    if (width < 3 || height < 3) {
        for (int y = 0; y < height; ++y)
            std::memcpy(dst.GetBuffer(0, y), src.GetBuffer(0, y), rowBytes);
        return;
    }
    std::memcpy(dst.GetBuffer(0, 0), src.GetBuffer(0, 0), rowBytes);
    std::memcpy(dst.GetBuffer(0, height - 1), src.GetBuffer(0, height - 1), rowBytes);
    const BlurRowFn blurRow = PickBlurRow();
    const int bytes = 4 * width;
    imagecore::ParallelFor(1, height - 1, w, [&](int from, int to) {
        std::vector<uint16_t> sums(static_cast<size_t>(bytes));
        for (int y = from; y < to; ++y) {
            const BYTE* row = src.GetBuffer(0, y);
            BYTE* out = dst.GetBuffer(0, y);
            blurRow(src.GetBuffer(0, y - 1), row, src.GetBuffer(0, y + 1), out, sums.data(), bytes);
            KeepBorderAndAlpha(row, out, bytes);
        }
    });
}

// Drawn straight into the image's pixels: no copy of a picture this size.
BOOL CBackdropWnd::GrabWindow(CWnd* wnd, CQLImage& image)
{
    QWidget* widget = wnd ? qlafx::WidgetOf(wnd->m_hWnd) : nullptr;
    if (!widget || widget->width() <= 0 || widget->height() <= 0)
        return FALSE;
    const qreal ratio = widget->devicePixelRatioF();
    const int w = qRound(widget->width() * ratio), h = qRound(widget->height() * ratio);
    if (image.Create(static_cast<UINT>(w), static_cast<UINT>(h)) != 0)
        return FALSE;
    QImage target(image.GetBuffer(0, 0), w, h, w * 4, QImage::Format_RGB32);
    target.setDevicePixelRatio(ratio);
    widget->render(&target, QPoint(), QRegion(), QWidget::DrawWindowBackground | QWidget::DrawChildren);
    return TRUE;
}

// The backdrop covers what it grabbed: the main window's client area, cut to
// the screen's work area.
int CBackdropWnd::ShowOverMainWnd()
{
    if (!m_hWnd || IsWindowVisible())
        return 0;
    if (!m_main || !m_main->m_hWnd)
        return 0;
    CRect area;
    m_main->GetClientRect(&area);
    m_main->ClientToScreen(&area);
    if (QWidget* widget = qlafx::WidgetOf(m_main->m_hWnd); widget && widget->screen()) {
        const QRect work = widget->screen()->availableGeometry();
        area.IntersectRect(&area, CRect(work.left(), work.top(), work.right() + 1, work.bottom() + 1));
    }
    CQLImage grab;
    // Without a picture the backdrop still covers the window, plain.
    if (GrabWindow(m_main, grab))
        Blur(grab, m_picture);
    else
        m_picture.Free();
    MoveWindow(&area, FALSE);
    ShowWindow(SW_SHOWNOACTIVATE);
    RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    return 1;
}

void CBackdropWnd::HideBackdrop()
{
    if (m_hWnd)
        ShowWindow(SW_HIDE);
}

BOOL CBackdropWnd::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

// The part of the main window the backdrop lies over, from the grab's pixels
// (device pixels on a dense screen).
void CBackdropWnd::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    UINT w = 0, h = 0;
    m_picture.GetSize(&w, &h);
    CRect mainClient;
    if (m_main)
        m_main->GetClientRect(&mainClient);
    if (!w || !h || mainClient.IsRectEmpty()) {
        dc.FillSolidRect(&client, RGB(64, 64, 64));
        return;
    }
    const double scale = static_cast<double>(w) / mainClient.Width();
    CPoint origin(0, 0);
    ClientToScreen(&origin);
    m_main->ScreenToClient(&origin);
    const int x = std::clamp(static_cast<int>(origin.x * scale), 0, static_cast<int>(w) - 1);
    const int y = std::clamp(static_cast<int>(origin.y * scale), 0, static_cast<int>(h) - 1);
    const int cw = std::min(static_cast<int>(client.Width() * scale), static_cast<int>(w) - x);
    const int rows = std::min(static_cast<int>(client.Height() * scale), static_cast<int>(h) - y);
    const BITMAPINFO info = DibHeaderOf(m_picture, rows);
    ::StretchDIBits(dc.GetSafeHdc(), 0, 0, client.Width(), client.Height(), x, 0, cw, rows, m_picture.GetBuffer(0, y),
                    &info, DIB_RGB_COLORS, SRCCOPY);
}
