#include "collage/PasteRangeDlg.h"

#include "collage/BoxDrawing.h"
#include "platform/codec/QLImageCodec.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace collage {

namespace {

int Width(const CQLImage& image)
{
    UINT w, h;
    image.GetSize(&w, &h);
    return static_cast<int>(w);
}

int Height(const CQLImage& image)
{
    UINT w, h;
    image.GetSize(&w, &h);
    return static_cast<int>(h);
}

// Shifted back inside a photo of w x h, keeping its size where it fits.
RECT ShiftInside(RECT r, int w, int h)
{
    if (r.left < 0) {
        r.right -= r.left;
        r.left = 0;
    }
    if (r.top < 0) {
        r.bottom -= r.top;
        r.top = 0;
    }
    if (r.right > w) {
        r.left -= r.right - w;
        r.right = w;
    }
    if (r.bottom > h) {
        r.top -= r.bottom - h;
        r.bottom = h;
    }
    r.left = std::max<LONG>(r.left, 0);
    r.top = std::max<LONG>(r.top, 0);
    return r;
}

RECT ClampInside(RECT r, int w, int h)
{
    r.left = std::clamp<LONG>(r.left, 0, w);
    r.right = std::clamp<LONG>(r.right, 0, w);
    r.top = std::clamp<LONG>(r.top, 0, h);
    r.bottom = std::clamp<LONG>(r.bottom, 0, h);
    return r;
}

POINT RangeCorner(const RECT& r, int i)
{
    switch (i) {
    case 0:
        return {r.left, r.top};
    case 1:
        return {r.right, r.top};
    case 2:
        return {r.right, r.bottom};
    default:
        return {r.left, r.bottom};
    }
}

} // namespace

BEGIN_MESSAGE_MAP(CPasteRangeView, CWnd)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_MOUSEMOVE()
    ON_WM_SETCURSOR()
END_MESSAGE_MAP()

BOOL CPasteRangeView::Create(const RECT& rect, CWnd* parent, UINT id)
{
    return CWnd::Create(nullptr, "", WS_CHILD | WS_VISIBLE, rect, parent, id);
}

void CPasteRangeView::SetPhoto(const CQLImage* photo, RECT* range)
{
    m_photo = photo;
    m_range = range;
    Redraw();
}

RECT CPasteRangeView::FittedRect() const
{
    CRect client;
    GetClientRect(&client);
    return FitPicture(client, m_photo ? Width(*m_photo) : 0, m_photo ? Height(*m_photo) : 0);
}

void CPasteRangeView::Redraw()
{
    if (m_hWnd)
        RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

BOOL CPasteRangeView::OnEraseBkgnd(CDC*) { return TRUE; }

void CPasteRangeView::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    RECT fit;
    PaintFitted(dc, client, m_photo, &fit);
    if (!m_photo || !m_range || Width(*m_photo) <= 0)
        return;
    const int w = Width(*m_photo), h = Height(*m_photo);
    const POINT a = PictureToWindow(BoxPoint{m_range->left, m_range->top}, fit, w, h);
    const POINT b = PictureToWindow(BoxPoint{m_range->right, m_range->bottom}, fit, w, h);
    CPen dotted;
    dotted.CreatePen(PS_DOT, 1, RGB(255, 255, 255));
    CPen* oldPen = dc.SelectObject(&dotted);
    HGDIOBJ oldBrush = ::SelectObject(dc.GetSafeHdc(), ::GetStockObject(NULL_BRUSH));
    const int oldRop = dc.SetROP2(R2_XORPEN);
    dc.Rectangle(a.x, a.y, b.x + 1, b.y + 1);
    dc.SetROP2(oldRop);
    ::SelectObject(dc.GetSafeHdc(), oldBrush);
    dc.SelectObject(oldPen);
    if (HICON icon = AfxGetApp()->LoadIcon(kHandleIcon)) {
        const POINT corners[4] = {a, {b.x, a.y}, b, {a.x, b.y}};
        for (const POINT& c : corners)
            dc.DrawIcon(c.x - 3, c.y - 3, icon);
    }
}

void CPasteRangeView::Hover(CPoint point)
{
    m_mode = None;
    if (!m_photo || !m_range)
        return;
    const RECT fit = FittedRect();
    const int w = Width(*m_photo), h = Height(*m_photo);
    for (int i = 0; i < 4; ++i) {
        const POINT c = RangeCorner(*m_range, i);
        const POINT wc = PictureToWindow(BoxPoint{c.x, c.y}, fit, w, h);
        if (std::abs(point.x - wc.x) < 4 && std::abs(point.y - wc.y) < 4) {
            m_mode = Corner;
            m_corner = i;
        }
    }
    if (m_mode == Corner)
        return;
    const BoxPoint p = WindowToPicture(point, fit, w, h);
    if (p.x >= m_range->left && p.x < m_range->right && p.y >= m_range->top && p.y < m_range->bottom)
        m_mode = Move;
}

BOOL CPasteRangeView::OnSetCursor(CWnd*, UINT nHitTest, UINT)
{
    if (nHitTest != HTCLIENT)
        return FALSE;
    HCURSOR cursor = m_mode == Corner ? AfxGetApp()->LoadCursor(kCornerCursor)
                     : m_mode == Move ? ::LoadCursor(nullptr, IDC_SIZEALL)
                                      : nullptr;
    ::SetCursor(cursor ? cursor : ::LoadCursor(nullptr, IDC_ARROW));
    return TRUE;
}

void CPasteRangeView::OnLButtonDown(UINT, CPoint point)
{
    if (!m_range || m_mode == None)
        return;
    SetCapture();
    m_pressed = true;
    m_press = point;
    m_saved = *m_range;
}

void CPasteRangeView::OnMouseMove(UINT, CPoint point)
{
    if (!m_pressed) {
        Hover(point);
        return;
    }
    const RECT fit = FittedRect();
    const int w = Width(*m_photo), h = Height(*m_photo);
    const int fw = std::max<int>(1, fit.right - fit.left), fh = std::max<int>(1, fit.bottom - fit.top);
    RECT r = m_saved;
    if (m_mode == Move) {
        const int dx = static_cast<int>(static_cast<long long>(point.x - m_press.x) * w / fw);
        const int dy = static_cast<int>(static_cast<long long>(point.y - m_press.y) * h / fh);
        r = ShiftInside(RECT{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy}, w, h);
    } else {
        r = *m_range;
        const BoxPoint p = WindowToPicture(point, fit, w, h);
        const bool left = m_corner == 0 || m_corner == 3, top = m_corner == 0 || m_corner == 1;
        if (left ? r.right - p.x > 10 : p.x - r.left > 10)
            (left ? r.left : r.right) = p.x;
        if (top ? r.bottom - p.y > 10 : p.y - r.top > 10)
            (top ? r.top : r.bottom) = p.y;
        r = ClampInside(r, w, h);
    }
    if (std::memcmp(&r, m_range, sizeof r) != 0) {
        *m_range = r;
        Redraw();
    }
}

void CPasteRangeView::OnLButtonUp(UINT, CPoint point)
{
    if (!m_pressed)
        return;
    m_pressed = false;
    ReleaseCapture();
    Hover(point);
}

BEGIN_MESSAGE_MAP(CPasteRangeDlg, CDialog)
    ON_BN_CLICKED(IDC_RANGE_ALL, OnAll)
    ON_BN_CLICKED(IDC_RANGE_BEST, OnBestRatio)
END_MESSAGE_MAP()

CPasteRangeDlg::CPasteRangeDlg(CQLImage* photo, const RECT& range, const FrameBox& box, bool rescale, CWnd* parent)
    : CDialog(kPasteRangeDialog, parent), m_range(range), m_photo(photo), m_nominal(NominalBoxSize(box)),
      m_rescale(rescale)
{
}

BOOL CPasteRangeDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    if (CWnd* place = GetDlgItem(IDC_RANGE_PICTURE)) {
        CRect rect;
        place->GetWindowRect(&rect);
        ScreenToClient(&rect);
        place->ShowWindow(SW_HIDE);
        m_view.Create(rect, this, IDC_RANGE_PICTURE + 100);
    }
    m_view.SetPhoto(m_photo, &m_range);
    return TRUE;
}

void CPasteRangeDlg::OnAll()
{
    m_range = RECT{0, 0, Width(*m_photo), Height(*m_photo)};
    m_view.SetPhoto(m_photo, &m_range);
}

void CPasteRangeDlg::OnBestRatio()
{
    m_range = BestRatioRange(Width(*m_photo), Height(*m_photo), m_nominal);
    m_view.SetPhoto(m_photo, &m_range);
}

void CPasteRangeDlg::OnOK()
{
    const double g = PasteRangeScale(m_range, m_nominal);
    if (m_rescale && g < 1.0) {
        CQLImage smaller;
        const int w = static_cast<int>(g * Width(*m_photo)), h = static_cast<int>(g * Height(*m_photo));
        // A photo that cannot be made smaller keeps its size and range.
        if (w > 0 && h > 0 && CQLImageCodec().Resample(m_photo, &smaller, w, h, 1)) {
            *m_photo = std::move(smaller);
            m_range = ScaleRange(m_range, g);
            m_range = ClampInside(m_range, w, h);
        }
    }
    CDialog::OnOK();
}

} // namespace collage
