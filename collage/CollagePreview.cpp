#include "collage/CollagePreview.h"

#include "collage/BoxDrawing.h"

namespace collage {

BEGIN_MESSAGE_MAP(CCollagePreview, CWnd)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_LBUTTONDBLCLK()
END_MESSAGE_MAP()

BOOL CCollagePreview::Create(const RECT& rect, CWnd* parent)
{
    LPCSTR cls = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW));
    return CWnd::Create(cls, "", WS_CHILD, rect, parent, kPreviewId);
}

void CCollagePreview::Refresh()
{
    if (m_hWnd)
        RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

BOOL CCollagePreview::OnEraseBkgnd(CDC*) { return TRUE; }

void CCollagePreview::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    UINT w = 0, h = 0;
    m_result.GetSize(&w, &h);
    RECT fit;
    PaintFitted(dc, client, w && h ? &m_result : nullptr, &fit);
    if (!w || !h || !m_template)
        return;
    for (size_t i = 0; i < m_template->boxes.size(); ++i)
        if (m_empty & (1u << i))
            DrawBoxMarks(dc, m_template->boxes[i], static_cast<int>(i), fit, static_cast<int>(w), static_cast<int>(h),
                         true);
}

void CCollagePreview::OnLButtonDblClk(UINT, CPoint point)
{
    if (!m_template)
        return;
    const int w = m_template->FrameWidth(), h = m_template->FrameHeight();
    UINT mw = 0, mh = 0;
    m_template->boxMap.GetSize(&mw, &mh);
    if (w <= 0 || h <= 0 || static_cast<int>(mw) != w || static_cast<int>(mh) != h)
        return;
    CRect client;
    GetClientRect(&client);
    const RECT fit = FitPicture(client, w, h);
    if (!::PtInRect(&fit, point))
        return;
    BoxPoint f = WindowToPicture(point, fit, w, h);
    const int value = m_template->boxMap.Get(std::min(f.x, w - 1), std::min(f.y, h - 1));
    // Only values that name a box: 255 is "no box".
    if (value < static_cast<int>(m_template->boxes.size()))
        GetParent()->PostMessage(WM_COMMAND, kBoxCommand + value, 0);
}

} // namespace collage
