#include "editor/ui/HueRangeCtrl.h"

#include "platform/afx/DC.h"
#include "platform/afx/MsgMap.h"
#include "platform/afx/PaintDC.h"
#include "platform/afx/WinGdi.h"
#include "platform/codec/ColorForms.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

constexpr int kBarHeight = 20;
constexpr int kMarkerSlack = 1;
constexpr COLORREF kRampMarker = 0xFFFF00;
constexpr COLORREF kFullMarker = 0x0000FF;
constexpr int kMaxSpan = 200;
constexpr int kGap = 4;

// Draws a one-row 32-bit picture stretched over rect.
void StretchRow(CDC* dc, const CRect& rect, const std::vector<BYTE>& row)
{
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = rect.Width();
    bi.bmiHeader.biHeight = 1;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    ::StretchDIBits(dc->GetSafeHdc(), rect.left, rect.top, rect.Width(), rect.Height(), 0, 0, rect.Width(), 1,
                    row.data(), &bi, DIB_RGB_COLORS, SRCCOPY);
}

}  // namespace

BEGIN_MESSAGE_MAP(CHueRangeCtrl, CWnd)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_SIZE()
    ON_WM_LBUTTONDOWN()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONUP()
END_MESSAGE_MAP()

void CHueRangeCtrl::SetStateAndRedraw(int mode)
{
    m_colorMode = mode;
    if (m_hWnd) {
        Invalidate(FALSE);
        UpdateWindow();
    }
}

void CHueRangeCtrl::BuildWeightTable(BYTE table[256]) const
{
    // The rising part wins over the flat and the falling part where a range
    // wider than one turn covers a hue twice; within a part the lowest
    // position wins.
    bool set[256] = {};
    std::fill(table, table + 256, BYTE{0});
    const auto put = [&](int p, int weight) {
        const int h = hue::Mod256(p);
        if (!set[h]) {
            set[h] = true;
            table[h] = static_cast<BYTE>(weight);
        }
    };
    for (int p = m_rampStart; p < m_fullStart; ++p)
        put(p, (p - m_rampStart) * 256 / (m_fullStart - m_rampStart));
    for (int p = m_fullStart; p < m_fullEnd; ++p)
        put(p, 255);
    for (int p = m_fullEnd; p < m_rampEnd; ++p)
        put(p, (m_rampEnd - p - 1) * 256 / (m_rampEnd - m_fullEnd));
}

int CHueRangeCtrl::PositionToColumn(int position) const
{
    return m_barRect.left + hue::Mod256(position) * m_barRect.Width() / 256;
}

void CHueRangeCtrl::UpdateRects()
{
    CRect client;
    GetClientRect(&client);
    m_stripRect.SetRect(1, 0, client.Width() - 1, client.Height() - kBarHeight);
    m_barRect.SetRect(1, client.Height() - kBarHeight, client.Width() - 1, client.Height() - 1);
}

void CHueRangeCtrl::OnSize(UINT type, int cx, int cy)
{
    CWnd::OnSize(type, cx, cy);
    UpdateRects();
}

BOOL CHueRangeCtrl::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

void CHueRangeCtrl::OnPaint()
{
    CPaintDC dc(this);
    UpdateRects();
    PaintStrip(&dc);
    PaintBar(&dc);
}

void CHueRangeCtrl::PaintStrip(CDC* dc)
{
    const int width = m_stripRect.Width();
    if (width <= 0 || m_stripRect.Height() <= 0)
        return;
    std::vector<BYTE> row(static_cast<size_t>(width) * 4);
    for (int x = 0; x < width; ++x) {
        BYTE* p = &row[static_cast<size_t>(x) * 4];
        const BYTE h = static_cast<BYTE>(x * 256 / width);
        if (m_colorMode) {
            p[0] = 128;
            p[1] = 255;
            p[2] = h;
            qlcodec::HsbToRgbPixel(p);
        } else {
            p[0] = p[1] = p[2] = h;
        }
        p[3] = 255;
    }
    StretchRow(dc, m_stripRect, row);
}

void CHueRangeCtrl::PaintBar(CDC* dc)
{
    const int width = m_barRect.Width();
    if (width <= 0)
        return;
    if (IsWindowEnabled()) {
        BYTE weights[256];
        BuildWeightTable(weights);
        std::vector<BYTE> row(static_cast<size_t>(width) * 4);
        for (int x = 0; x < width; ++x) {
            BYTE* p = &row[static_cast<size_t>(x) * 4];
            p[0] = p[1] = p[2] = weights[x * 256 / width];
            p[3] = 255;
        }
        StretchRow(dc, m_barRect, row);
        const int positions[4] = {m_rampStart, m_fullStart, m_fullEnd, m_rampEnd};
        for (int m = 0; m < 4; ++m) {
            m_markerX[m] = PositionToColumn(positions[m]);
            const COLORREF colour = (m == kRampStart || m == kRampEnd) ? kRampMarker : kFullMarker;
            dc->FillSolidRect(m_markerX[m] - 1, m_barRect.top, 3, m_barRect.Height(), colour);
        }
    } else {
        dc->FillSolidRect(&m_barRect, ::GetSysColor(COLOR_3DFACE));
    }
    dc->FillSolidRect(m_barRect.left, m_barRect.top, width, 1, RGB(0, 0, 0));
}

void CHueRangeCtrl::OnLButtonDown(UINT, CPoint point)
{
    SetCapture();
    m_lastX = point.x;
    m_lastY = point.y;
    if (!m_barRect.PtInRect(point) || m_barRect.Width() <= 0)
        return;
    const int h = std::min(255, (point.x - m_barRect.left) * 256 / m_barRect.Width());
    for (int m = 0; m < 4; ++m) {
        if (std::abs(point.x - m_markerX[m]) <= kMarkerSlack) {
            m_dragMode = m;
            return;
        }
    }
    // Inside a part when strictly between its two markers going round the
    // circle from the first.
    const auto inside = [h](int from, int to) {
        const int d = hue::Mod256(h - from);
        return d > 0 && d < to - from;
    };
    if (inside(m_rampStart, m_fullStart))
        m_dragMode = kRising;
    else if (inside(m_fullEnd, m_rampEnd))
        m_dragMode = kFalling;
    else
        m_dragMode = kWhole;
}

void CHueRangeCtrl::OnMouseMove(UINT, CPoint point)
{
    if (m_dragMode == kNoDrag || m_barRect.Width() <= 0)
        return;
    const int d = (point.x - m_lastX) * 256 / m_barRect.Width();
    // A move too small for one hue step is kept for the next one, so that a
    // slow drag on a wide bar still moves.
    if (d == 0)
        return;
    m_lastX = point.x;
    m_lastY = point.y;
    switch (m_dragMode) {
    case kRampStart:
        m_rampStart += d;
        break;
    case kFullStart:
        m_fullStart += d;
        break;
    case kFullEnd:
        m_fullEnd += d;
        break;
    case kRampEnd:
        m_rampEnd += d;
        break;
    case kRising:
        m_rampStart += d;
        m_fullStart += d;
        break;
    case kFalling:
        m_fullEnd += d;
        m_rampEnd += d;
        break;
    default:
        m_rampStart += d;
        m_fullStart += d;
        m_fullEnd += d;
        m_rampEnd += d;
        break;
    }
    switch (m_dragMode) {
    case kRising:
        ApplyConstraint(kRampStart);
        ApplyConstraint(kFullStart);
        break;
    case kFalling:
        ApplyConstraint(kRampEnd);
        ApplyConstraint(kFullEnd);
        break;
    case kWhole:
        ApplyConstraint(kRampStart);
        break;
    default:
        ApplyConstraint(m_dragMode);
        break;
    }
    Invalidate(FALSE);
    UpdateWindow();
}

void CHueRangeCtrl::ApplyConstraint(int marker)
{
    int& rs = m_rampStart;
    int& fs = m_fullStart;
    int& fe = m_fullEnd;
    int& re = m_rampEnd;
    switch (marker) {
    case kRampStart:
        rs = std::max({rs, -32768, re - kMaxSpan});
        if (fs < rs + kGap)
            fs = rs + kGap;
        fe = std::max(fe, rs + 2 * kGap);
        re = std::max(re, rs + 3 * kGap);
        break;
    case kFullStart:
        fs = std::max({fs, -32764, re - (kMaxSpan - kGap)});
        fs = std::min(fs, rs + (kMaxSpan - 2 * kGap));
        rs = std::min(rs, fs - kGap);
        fe = std::max(fe, fs + kGap);
        re = std::max(re, fs + 2 * kGap);
        break;
    case kFullEnd:
        fe = std::max({fe, -32760, re - (kMaxSpan - 2 * kGap)});
        fe = std::min(fe, rs + (kMaxSpan - kGap));
        fs = std::min(fs, fe - kGap);
        rs = std::min(rs, fe - 2 * kGap);
        re = std::max(re, fe + kGap);
        break;
    case kRampEnd:
        re = std::max(re, -32756);
        re = std::min(re, rs + kMaxSpan);
        if (re < fe + kGap)
            fe = re - kGap;
        fs = std::min(fs, re - 2 * kGap);
        rs = std::min(rs, re - 3 * kGap);
        break;
    default:
        break;
    }
}

void CHueRangeCtrl::OnLButtonUp(UINT, CPoint)
{
    ::ReleaseCapture();
    const bool dragged = m_dragMode != kNoDrag;
    m_dragMode = kNoDrag;
    if (dragged)
        if (CWnd* parent = GetParent())
            parent->SendMessage(WM_HUERANGE_DRAGGED, 0, 0);
}
