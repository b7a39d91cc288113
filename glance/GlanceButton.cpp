#include "glance/GlanceButton.h"

#include "editor/ui/SkinDrawing.h"
#include "glance/GlanceTexts.h"
#include "platform/afx/PaintDC.h"
#include "platform/afx/Resources.h"
#include "platform/afx/WinApp.h"
#include "platform/codec/QLImageCodec.h"

namespace glance {

BEGIN_MESSAGE_MAP(GlanceButton, CWnd)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_MOUSEMOVE()
    ON_MESSAGE(WM_MOUSELEAVE, OnMouseLeave)
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_SETCURSOR()
END_MESSAGE_MAP()

void DrawQLImage(CDC* dc, const CQLImage& image, int x, int y)
{
    const int w = WidthOf(image), h = HeightOf(image);
    if (w <= 0 || h <= 0)
        return;
    const BITMAPINFO info = DibHeaderOf(image, h);
    ::SetDIBitsToDevice(dc->GetSafeHdc(), x, y, static_cast<DWORD>(w), static_cast<DWORD>(h), 0, 0, 0,
                        static_cast<UINT>(h), image.GetBuffer(0, 0), &info, DIB_RGB_COLORS);
}

BOOL GlanceButton::Create(UINT id, const RECT& rect, CWnd* parent, LPCSTR text, LPCSTR picture,
                          const CQLImage* background)
{
    CQLImageCodec codec;
    if (!codec.LoadFile(SkinPath(picture).c_str(), &m_face))
        return FALSE;
    m_id = id;
    m_background = background;
    return CWnd::Create(nullptr, text ? text : "", WS_CHILD | WS_VISIBLE, rect, parent, id);
}

BOOL GlanceButton::SetPicture(LPCSTR picture)
{
    CQLImage face;
    CQLImageCodec codec;
    if (!codec.LoadFile(SkinPath(picture).c_str(), &face))
        return FALSE;
    m_face = std::move(face);
    Invalidate();
    UpdateWindow();
    return TRUE;
}

int GlanceButton::FaceAlpha(int alpha, bool hover, bool enabled)
{
    if (!hover) {
        alpha = 2 * alpha / 3;
        if (!enabled)
            alpha /= 3;
    }
    return alpha;
}

void GlanceButton::Render(CQLImage* out) const
{
    CRect client;
    GetClientRect(&client);
    const int bw = client.Width(), bh = client.Height();
    if (out->Create(static_cast<UINT>(bw), static_cast<UINT>(bh)) != 0)
        return;
    const int fw = WidthOf(m_face), fh = HeightOf(m_face);
    const int ox = (bw - fw) / 2, oy = (bh - fh) / 2;
    // Where the button sits in the parent's client area.
    CPoint at(0, 0);
    if (CWnd* parent = GetParent())
        MapWindowPoints(parent, &at, 1);
    const bool enabled = IsWindowEnabled() != FALSE;
    for (int y = 0; y < bh; ++y)
        for (int x = 0; x < bw; ++x) {
            BYTE back[4] = {255, 255, 255, 255};
            if (m_background) {
                const int px = at.x + x, py = at.y + y;
                if (px >= 0 && py >= 0 && px < WidthOf(*m_background) && py < HeightOf(*m_background))
                    std::memcpy(back, m_background->GetBuffer(px, py), 3);
            }
            BYTE* dst = out->GetBuffer(x, y);
            const int fx = x - ox, fy = y - oy;
            if (fx < 0 || fy < 0 || fx >= fw || fy >= fh) {
                std::memcpy(dst, back, 3);
            } else {
                const BYTE* face = m_face.GetBuffer(fx, fy);
                const int a = FaceAlpha(face[3], m_hover, enabled);
                for (int c = 0; c < 3; ++c)
                    dst[c] = static_cast<BYTE>((face[c] * a + back[c] * (255 - a)) / 255);
            }
            dst[3] = 255;
            if (m_pressed && (x == 0 || y == 0 || x == bw - 1 || y == bh - 1))
                for (int c = 0; c < 3; ++c)
                    dst[c] = static_cast<BYTE>((back[c] + 128) / 2);
        }
}

void GlanceButton::OnPaint()
{
    CPaintDC dc(this);
    Render(&m_buffer);
    DrawQLImage(&dc, m_buffer, 0, 0);
}

BOOL GlanceButton::OnEraseBkgnd(CDC*) { return TRUE; }

void GlanceButton::OnMouseMove(UINT, CPoint point)
{
    CRect client;
    GetClientRect(&client);
    if (!m_hover && client.PtInRect(point)) {
        m_hover = true;
        TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, m_hWnd, 0};
        ::TrackMouseEvent(&tme);
        Invalidate();
    } else if (m_hover && !client.PtInRect(point)) {
        Leave();
    }
}

LRESULT GlanceButton::OnMouseLeave(WPARAM, LPARAM)
{
    // While pressed the capture reports the moves; leaving is seen there.
    if (!m_pressed)
        Leave();
    return 0;
}

void GlanceButton::Leave()
{
    if (GetCapture() == this)
        ReleaseCapture();
    m_hover = m_pressed = false;
    Invalidate();
}

void GlanceButton::OnLButtonDown(UINT, CPoint)
{
    m_pressed = true;
    m_hover = true;
    SetCapture();
    Invalidate();
}

void GlanceButton::OnLButtonUp(UINT, CPoint)
{
    const bool notify = m_pressed && m_hover;
    m_pressed = false;
    if (GetCapture() == this)
        ReleaseCapture();
    Invalidate();
    if (notify && GetParent())
        GetParent()->PostMessage(WM_GLANCE_NOTIFY, (1u << 16) + m_id, 0);
}

BOOL GlanceButton::OnSetCursor(CWnd*, UINT, UINT)
{
    ::SetCursor(IsWindowEnabled() ? AfxGetApp()->LoadCursor(130) : ::LoadCursor(nullptr, IDC_ARROW));
    return TRUE;
}

} // namespace glance
