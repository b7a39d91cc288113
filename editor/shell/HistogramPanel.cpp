#include "editor/shell/HistogramPanel.h"

#include "editor/shell/PhotoDocument.h"
#include "editor/ui/AppSettings.h"
#include "platform/afx/PaintDC.h"

#include <algorithm>
#include <cstring>

IMPLEMENT_DYNAMIC(CHistogramPanel, CWnd)

BEGIN_MESSAGE_MAP(CHistogramPanel, CWnd)
    ON_WM_SIZE()
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

namespace {

constexpr int kInset = 5;

}  // namespace

BOOL FillSkinBackground(CWnd* wnd, CDC* dc)
{
    RECT client;
    wnd->GetClientRect(&client);
    if (theAppSettings.m_skinBrush.GetSafeHandle())
        dc->FillRect(&client, &theAppSettings.m_skinBrush);
    else
        dc->FillSolidRect(&client, ::GetSysColor(COLOR_BTNFACE));
    return TRUE;
}

CHistogramPanel::~CHistogramPanel()
{
    if (m_hWnd)
        DestroyWindow();
}

long long CHistogramPanel::SampleStride(long long pixels)
{
    return pixels <= kSampleTarget ? 1 : pixels / kSampleTarget;
}

long long CHistogramPanel::Count(const CQLImage& image)
{
    std::memset(m_brightness, 0, sizeof m_brightness);
    std::memset(m_red, 0, sizeof m_red);
    std::memset(m_green, 0, sizeof m_green);
    std::memset(m_blue, 0, sizeof m_blue);
    UINT w = 0, h = 0;
    image.GetSize(&w, &h);
    const long long n = static_cast<long long>(w) * h;
    if (n <= 0 || image.GetAreaByteSize() == 0)
        return 0;
    const long long stride = SampleStride(n);
    const BYTE* bits = image.GetBuffer(0, 0);  // rows follow each other without padding
    long long counted = 0;
    for (long long i = 0; i < n; i += stride, ++counted) {
        const BYTE* p = bits + i * 4;
        const int b = p[0], g = p[1], r = p[2];
        ++m_brightness[(6 * g + 3 * r + b) / 10];
        ++m_red[r];
        ++m_green[g];
        ++m_blue[b];
    }
    return counted;
}

int CHistogramPanel::Scale(long long counted) const
{
    uint32_t largest = 0;
    for (int i = 0; i < 256; ++i)
        largest = std::max({largest, m_red[i], m_green[i], m_blue[i]});
    const long long scale = std::min<long long>(largest, counted / 50);
    // Fewer than 50 counted pixels would make the scale 0.
    return static_cast<int>(std::max<long long>(scale, 1));
}

int CHistogramPanel::NextNoise()
{
    m_noise = m_noise * 214013u + 2531011u;
    return static_cast<int>((m_noise >> 16) & 3);
}

void CHistogramPanel::Render(const CQLImage* image)
{
    UINT uw = 0, uh = 0;
    m_buffer.GetSize(&uw, &uh);
    const int width = static_cast<int>(uw), height = static_cast<int>(uh);
    if (width <= 0 || height <= 0 || m_buffer.GetAreaByteSize() == 0)
        return;
    // 1. A grey ramp from left to right with a little noise; alpha stays.
    for (int y = 0; y < height; ++y) {
        BYTE* p = m_buffer.GetBuffer(0, y);
        for (int x = 0; x < width; ++x, p += 4) {
            const BYTE v = static_cast<BYTE>(x * 64 / width + NextNoise());
            p[0] = p[1] = p[2] = v;
        }
    }
    m_curveValid = FALSE;
    if (!image || image->GetAreaByteSize() == 0)
        return;
    // 2. and 3. Counts and scale.
    const long long counted = Count(*image);
    if (counted == 0)
        return;
    const long long b = Scale(counted);
    // 4. Bars from the bottom (memory row 0 is the bottom row of the blit).
    m_curve.assign(static_cast<size_t>(width), 0);
    for (int i = 0; i < width; ++i) {
        int e = i * 256 / width;
        const long long redTop = height * static_cast<long long>(m_red[e]) / b;
        const long long greenTop = height * static_cast<long long>(m_green[e]) / b;
        const long long blueTop = height * static_cast<long long>(m_blue[e]) / b;
        const long long top = std::min<long long>(std::max({redTop, greenTop, blueTop}), height - 1);
        for (int j = 0; j <= top; ++j) {
            BYTE* p = m_buffer.GetBuffer(i, j);
            p[2] = j <= redTop ? 255 : 0;
            p[1] = j <= greenTop ? 255 : 0;
            p[0] = j <= blueTop ? 255 : 0;
        }
        e = std::clamp(e, 1, 254);
        const long long mean = (static_cast<long long>(m_brightness[e - 1]) + m_brightness[e] + m_brightness[e + 1]) / 3;
        m_curve[static_cast<size_t>(i)] = static_cast<int>(std::min<long long>(mean * height / b, height - 1));
    }
    m_curveValid = TRUE;
}

void CHistogramPanel::OnSize(UINT, int cx, int cy)
{
    if (cx <= 0 || cy <= 0 || cx >= kMaxPanel || cy >= kMaxPanel)
        return;
    // A panel no wider or higher than its margins has nothing to draw.
    if (cx <= 2 * kInset || cy <= 2 * kInset) {
        m_buffer.Free();
        return;
    }
    m_buffer.Create(cx - 2 * kInset, cy - 2 * kInset);
}

void CHistogramPanel::OnPaint()
{
    CPaintDC dc(this);
    UINT uw = 0, uh = 0;
    m_buffer.GetSize(&uw, &uh);
    if (m_buffer.GetAreaByteSize() == 0 || uw == 0 || uh == 0)
        return;
    const int width = static_cast<int>(uw), height = static_cast<int>(uh);
    const CQLImage* image = thePhotoDocument.IsLoaded() ? &thePhotoDocument.m_image : nullptr;
    Render(image);

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;  // bottom-up
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    dc.SetStretchBltMode(HALFTONE);
    ::StretchDIBits(dc.GetSafeHdc(), kInset, kInset, width, height, 0, 0, width, height, m_buffer.GetBuffer(0, 0),
                    &info, DIB_RGB_COLORS, SRCCOPY);

    if (m_curveValid && static_cast<int>(m_curve.size()) == width) {
        std::vector<POINT> points(static_cast<size_t>(width));
        for (int i = 0; i < width; ++i)
            points[static_cast<size_t>(i)] = POINT{kInset + i, kInset + height - m_curve[static_cast<size_t>(i)] - 1};
        const int oldRop = dc.SetROP2(R2_XORPEN);
        CGdiObject* oldPen = dc.SelectStockObject(WHITE_PEN);
        dc.Polyline(points.data(), width);
        dc.SelectObject(oldPen);
        dc.SetROP2(oldRop);
    }
    dc.Draw3dRect(kInset - 1, kInset - 1, width + 2, height + 2, RGB(64, 64, 64), RGB(255, 255, 255));
}

BOOL CHistogramPanel::OnEraseBkgnd(CDC* dc)
{
    return FillSkinBackground(this, dc);
}
