#include "editor/retouch/CopyDlg.h"
#include "editor/retouch/PictureSize.h"

#include "editor/shell/MainFrame.h"
#include "editor/shell/PhotoDocument.h"
#include "editor/ui/SkinDrawing.h"
#include "platform/afx/MsgMap.h"
#include "platform/codec/QLImageCodec.h"

#include <algorithm>
#include <utility>

namespace {

constexpr int kPictureInset = 5;
constexpr int kShadowOffset = 2;
constexpr int kMinSide = 2;

}  // namespace

namespace copyrect {

RECT SelectionFromDrag(POINT a, POINT b, RECT picture, SIZE image)
{
    const RECT whole{0, 0, image.cx, image.cy};
    const long long pw = picture.right - picture.left, ph = picture.bottom - picture.top;
    if (pw <= 0 || ph <= 0)
        return whole;
    auto mapX = [&](LONG x) {
        return static_cast<LONG>(std::clamp<long long>((x - picture.left) * image.cx / pw, 0, image.cx));
    };
    auto mapY = [&](LONG y) {
        return static_cast<LONG>(std::clamp<long long>((y - picture.top) * image.cy / ph, 0, image.cy));
    };
    RECT r{std::min(mapX(a.x), mapX(b.x)), std::min(mapY(a.y), mapY(b.y)), std::max(mapX(a.x), mapX(b.x)),
           std::max(mapY(a.y), mapY(b.y))};
    if (r.right - r.left < kMinSide || r.bottom - r.top < kMinSide)
        return whole;
    return r;
}

void DimOutside(CQLImage* image, RECT selection)
{
    const SIZE s = PictureSize(*image);
    for (LONG y = 0; y < s.cy; ++y) {
        BYTE* p = image->GetBuffer(0, static_cast<UINT>(y));
        const bool rowInside = y >= selection.top && y < selection.bottom;
        for (LONG x = 0; x < s.cx; ++x, p += 4) {
            if (rowInside && x >= selection.left && x < selection.right)
                continue;
            p[0] /= 3;
            p[1] /= 3;
            p[2] /= 3;
        }
    }
}

}  // namespace copyrect

BEGIN_MESSAGE_MAP(CCopyDlg, CDialog)
    ON_WM_PAINT()
    ON_WM_LBUTTONDOWN()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONUP()
    ON_WM_SETCURSOR()
END_MESSAGE_MAP()

CCopyDlg::CCopyDlg(const CQLImage& image, CWnd* parent) : CDialog(IDD_COPY, parent), m_image(image)
{
    m_selection = WholeImage();
}

RECT CCopyDlg::WholeImage() const
{
    const SIZE s = PictureSize(m_image);
    return RECT{0, 0, s.cx, s.cy};
}

RECT CCopyDlg::PictureRect() const
{
    CWnd* frame = GetDlgItem(IDC_COPY_PICTURE);
    const SIZE s = PictureSize(m_image);
    if (!frame || s.cx == 0 || s.cy == 0)
        return RECT{};
    CRect r;
    frame->GetWindowRect(&r);
    ScreenToClient(&r);
    r.DeflateRect(kPictureInset, kPictureInset);
    return FitRectToAspect(r, s.cx, s.cy);
}

BOOL CCopyDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_selection = WholeImage();
    const RECT picture = PictureRect();
    const int w = std::max<int>(1, picture.right - picture.left), h = std::max<int>(1, picture.bottom - picture.top);
    CQLImageCodec codec;
    if (!codec.Resample(&m_image, &m_shown, w, h, 1))
        m_shown.Free();
    Dim();
    return TRUE;
}

void CCopyDlg::Dim()
{
    m_dimmed.Free();
    const SIZE shown = PictureSize(m_shown), image = PictureSize(m_image);
    if (shown.cx == 0 || image.cx == 0 || m_dimmed.Create(shown.cx, shown.cy) != 0)
        return;
    std::copy_n(m_shown.GetBuffer(0, 0), static_cast<size_t>(shown.cx) * shown.cy * 4, m_dimmed.GetBuffer(0, 0));
    // The selection in the shown copy's pixels.
    const RECT s{static_cast<LONG>(static_cast<long long>(m_selection.left) * shown.cx / image.cx),
                 static_cast<LONG>(static_cast<long long>(m_selection.top) * shown.cy / image.cy),
                 static_cast<LONG>(static_cast<long long>(m_selection.right) * shown.cx / image.cx),
                 static_cast<LONG>(static_cast<long long>(m_selection.bottom) * shown.cy / image.cy)};
    copyrect::DimOutside(&m_dimmed, s);
}

void CCopyDlg::OnPaint()
{
    CPaintDC dc(this);
    CWnd* frame = GetDlgItem(IDC_COPY_PICTURE);
    if (!frame)
        return;
    CRect box;
    frame->GetWindowRect(&box);
    ScreenToClient(&box);
    dc.FillSolidRect(&box, RGB(64, 64, 64));
    const RECT picture = PictureRect();
    dc.FillSolidRect(picture.left + kShadowOffset, picture.top + kShadowOffset, picture.right - picture.left,
                     picture.bottom - picture.top, RGB(0, 0, 0));
    DrawImageFitted(&dc, picture.left, picture.top, picture.right, picture.bottom, &m_dimmed, RGB(64, 64, 64), FALSE);
    if (!m_drawRect)
        return;
    CPen pen(PS_SOLID, 1, RGB(255, 255, 255));
    CPen* oldPen = dc.SelectObject(&pen);
    CGdiObject* oldBrush = dc.SelectStockObject(NULL_BRUSH);
    const int oldRop = dc.SetROP2(R2_XORPEN);
    dc.Rectangle(&m_drawn);
    dc.SetROP2(oldRop);
    dc.SelectObject(oldBrush);
    dc.SelectObject(oldPen);
}

void CCopyDlg::OnLButtonDown(UINT flags, CPoint point)
{
    CDialog::OnLButtonDown(flags, point);
    SetCapture();
    m_dragging = TRUE;
    m_dragStart = point;
    m_selection = WholeImage();
    m_drawRect = FALSE;
}

void CCopyDlg::OnMouseMove(UINT flags, CPoint point)
{
    CDialog::OnMouseMove(flags, point);
    if (m_dragging)
        Track(point);
}

void CCopyDlg::OnLButtonUp(UINT flags, CPoint point)
{
    CDialog::OnLButtonUp(flags, point);
    if (!m_dragging)
        return;
    Track(point);
    m_dragging = FALSE;
    ReleaseCapture();
}

void CCopyDlg::Track(CPoint point)
{
    const RECT picture = PictureRect();
    const SIZE image = PictureSize(m_image);
    m_selection = copyrect::SelectionFromDrag(m_dragStart, point, picture, image);
    const RECT whole = WholeImage();
    m_drawRect = !CRect(m_selection).EqualRect(&whole);
    if (m_drawRect) {
        const long long pw = picture.right - picture.left, ph = picture.bottom - picture.top;
        m_drawn = RECT{picture.left + static_cast<LONG>(m_selection.left * pw / image.cx),
                       picture.top + static_cast<LONG>(m_selection.top * ph / image.cy),
                       picture.left + static_cast<LONG>(m_selection.right * pw / image.cx),
                       picture.top + static_cast<LONG>(m_selection.bottom * ph / image.cy)};
    }
    Dim();
    Invalidate(FALSE);
}

BOOL CCopyDlg::OnSetCursor(CWnd* wnd, UINT hitTest, UINT message)
{
    CPoint p;
    GetCursorPos(&p);
    ScreenToClient(&p);
    const RECT picture = PictureRect();
    if (CRect(picture).PtInRect(p)) {
        ::SetCursor(LoadCursor(nullptr, IDC_CROSS));
        return TRUE;
    }
    return CDialog::OnSetCursor(wnd, hitTest, message);
}

int RunCopyDlg(CMainFrame* frame)
{
    if (!thePhotoDocument.IsLoaded())
        return IDCANCEL;
    CCopyDlg dialog(thePhotoDocument.m_image, frame);
    if (dialog.DoModal() != IDOK)
        return IDCANCEL;
    return CopyImageToClipboard(frame, thePhotoDocument.m_image, dialog.m_selection) ? IDOK : IDCANCEL;
}
