#include "editor/adjust/DarkSideDlg.h"

#include "editor/adjust/RepairRules.h"
#include "editor/shell/UITextTable.h"
#include "editor/ui/AppSettings.h"
#include "platform/afx/DataExchange.h"
#include "platform/afx/MsgMap.h"
#include "platform/afx/WinApp.h"
#include "platform/codec/QLImageCodec.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr int kTextDarkCorners = 119;
constexpr int kTextSizeQuestion = 118;
constexpr int kSegments = 64;

SIZE SizeOf(const CQLImage& image)
{
    UINT w = 0, h = 0;
    image.GetSize(&w, &h);
    return SIZE{static_cast<LONG>(w), static_cast<LONG>(h)};
}

} // namespace

BEGIN_MESSAGE_MAP(CDarkSideDlg, CRepairDlg)
    ON_WM_CREATE()
    ON_WM_PAINT()
    ON_WM_SETCURSOR()
    ON_WM_LBUTTONDOWN()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONUP()
    ON_BN_CLICKED(IDC_DARK_DEMO, OnDemo)
END_MESSAGE_MAP()

CDarkSideDlg::CDarkSideDlg(CWnd* parent) : CRepairDlg(IDD_DARK_SIDE, kTextDarkCorners, parent) {}

CDarkSideDlg::~CDarkSideDlg()
{
    StopJobAndWait();
}

int CDarkSideDlg::OnCreate(LPCREATESTRUCT cs)
{
    if (CRepairDlg::OnCreate(cs) == -1)
        return -1;
    CQLImageCodec codec;
    char path[1024];
    std::snprintf(path, sizeof path, "%sskin/%s", theAppSettings.m_programFolder, "darkcornersample.jpg");
    if (!codec.LoadFile(path, &demo)) {
        ::MessageBox(nullptr, "File not found!", nullptr, MB_OK);
        return -1;
    }
    const SIZE s = SizeOf(*CurrentImage());
    const SIZE t = repair::DarkCornersThumbSize(s.cx, s.cy);
    if (!codec.Resample(CurrentImage(), &thumbnail, t.cx, t.cy, 1))
        thumbnail.Free();
    return 0;
}

void CDarkSideDlg::DoDataExchange(CDataExchange* pDX)
{
    CRepairDlg::DoDataExchange(pDX);
    DDX_Slider(pDX, IDC_DARK_RANGE, range);
    DDX_Check(pDX, IDC_DARK_DEMO, demoMode);
}

BOOL CDarkSideDlg::OnInitDialog()
{
    dialogKey = "DarkSideDlg";
    const SIZE s = SizeOf(*CurrentImage());
    if (repair::DarkCornersNeedsQuestion(s.cx, s.cy)
        && ::MessageBox(m_hWnd, theUITextTable.GetText(kTextSizeQuestion), "Warning", MB_YESNO) == IDNO) {
        EndDialog(IDCANCEL);
        return TRUE;
    }
    CRepairDlg::OnInitDialog();
    InitSlider(rangeSlider, IDC_DARK_RANGE, 1, 60, range);
    UpdateData(FALSE);
    ready = true;
    PlaceMarker();
    UpdatePreview();
    return TRUE;
}

RECT CDarkSideDlg::PanelRect() const
{
    RECT r = ItemRect(this, IDC_DARK_PANEL);
    ::InflateRect(&r, -1, -1);
    return r;
}

void CDarkSideDlg::PlaceMarker()
{
    RECT box = PanelRect();
    ::InflateRect(&box, -50, -50);
    const SIZE t = SizeOf(thumbnail);
    imageRect = FitRect(t.cx, t.cy, box);
    if (markerPlaced)
        return;
    markerPlaced = true;
    markerCentre = POINT{(imageRect.left + imageRect.right) / 2, (imageRect.top + imageRect.bottom) / 2};
    const double w = imageRect.right - imageRect.left, h = imageRect.bottom - imageRect.top;
    markerRadius = static_cast<int>(std::sqrt(w * w + h * h) / 2 * 95 / 100);
}

RECT CDarkSideDlg::CentreBox() const
{
    return RECT{markerCentre.x - 3, markerCentre.y - 3, markerCentre.x + 5, markerCentre.y + 5};
}

RECT CDarkSideDlg::HandleBox() const
{
    const int x = markerCentre.x + markerRadius;
    return RECT{x - 3, markerCentre.y - 3, x + 5, markerCentre.y + 5};
}

void CDarkSideDlg::RunAlgorithm()
{
    const SIZE s = SizeOf(*CurrentImage());
    block = repair::DarkCornersParams(markerCentre, markerRadius, imageRect, s.cx, s.cy, range);
    algorithm.SetImages(CurrentImage(), GetWorkImage());
    RunJob(&algorithm, &block, 0, 0, 100);
}

void CDarkSideDlg::OnPaint()
{
    CPaintDC dc(this);
    if (ready)
        DrawPanel(&dc);
}

void CDarkSideDlg::DrawPanel(CDC* dc)
{
    const RECT outer = ItemRect(this, IDC_DARK_PANEL);
    CBrush frame(RGB(128, 128, 128));
    dc->FrameRect(&outer, &frame);
    const RECT panel = PanelRect();
    dc->FillSolidRect(&panel, RGB(255, 255, 255));
    if (demoMode) {
        const SIZE d = SizeOf(demo);
        DrawRepairImage(dc, demo, FitRect(d.cx, d.cy, panel));
        return;
    }
    DrawRepairImage(dc, thumbnail, imageRect);
    DrawMarker(dc);
}

void CDarkSideDlg::DrawMarker(CDC* dc) const
{
    CPen pen(PS_SOLID, 1, RGB(255, 255, 255));
    CPen* oldPen = dc->SelectObject(&pen);
    const int oldRop = dc->SetROP2(R2_XORPEN);
    const int cx = markerCentre.x, cy = markerCentre.y;
    dc->MoveTo(cx - 3, cy);
    dc->LineTo(cx + 5, cy);
    dc->MoveTo(cx, cy - 3);
    dc->LineTo(cx, cy + 5);
    POINT circle[kSegments + 1];
    for (int i = 0; i <= kSegments; ++i) {
        const double a = i * 2 * M_PI / kSegments;
        circle[i] = POINT{cx + static_cast<LONG>(std::lround(markerRadius * std::cos(a))),
                          cy + static_cast<LONG>(std::lround(markerRadius * std::sin(a)))};
    }
    dc->Polyline(circle, kSegments + 1);
    const RECT h = HandleBox();
    const POINT square[] = {{h.left, h.top}, {h.right - 1, h.top}, {h.right - 1, h.bottom - 1}, {h.left, h.bottom - 1},
                            {h.left, h.top + 1}};
    dc->Polyline(square, 5);
    dc->SetROP2(oldRop);
    dc->SelectObject(oldPen);
}

BOOL CDarkSideDlg::OnSetCursor(CWnd* wnd, UINT hitTest, UINT message)
{
    if (wnd == this && ready && !demoMode) {
        POINT p{};
        ::GetCursorPos(&p);
        ScreenToClient(&p);
        const RECT centre = CentreBox(), handle = HandleBox();
        if (dragging == 1 || ::PtInRect(&centre, p)) {
            ::SetCursor(::LoadCursor(nullptr, IDC_SIZEALL));
            return TRUE;
        }
        if (dragging == 2 || ::PtInRect(&handle, p)) {
            ::SetCursor(::LoadCursor(nullptr, IDC_SIZEWE));
            return TRUE;
        }
    }
    return CRepairDlg::OnSetCursor(wnd, hitTest, message);
}

void CDarkSideDlg::OnLButtonDown(UINT flags, CPoint point)
{
    const RECT centre = CentreBox(), handle = HandleBox();
    dragging = !ready || demoMode ? 0 : ::PtInRect(&centre, point) ? 1 : ::PtInRect(&handle, point) ? 2 : 0;
    if (!dragging) {
        CRepairDlg::OnLButtonDown(flags, point);
        return;
    }
    SetCapture();
}

void CDarkSideDlg::OnMouseMove(UINT flags, CPoint point)
{
    if (!dragging) {
        CRepairDlg::OnMouseMove(flags, point);
        return;
    }
    // Only the marker moves: erased and drawn again by XOR.
    CClientDC dc(this);
    const RECT panel = PanelRect();
    dc.IntersectClipRect(&panel);
    DrawMarker(&dc);
    if (dragging == 1)
        markerCentre = repair::ClampMarkerCentre(point, imageRect);
    else
        markerRadius = repair::ClampMarkerRadius(point.x - markerCentre.x, imageRect);
    DrawMarker(&dc);
}

void CDarkSideDlg::OnLButtonUp(UINT flags, CPoint point)
{
    if (!dragging) {
        CRepairDlg::OnLButtonUp(flags, point);
        return;
    }
    dragging = 0;
    ReleaseCapture();
    UpdatePreview();
}

void CDarkSideDlg::OnDemo()
{
    UpdateData(TRUE);
    Invalidate(FALSE);
}
