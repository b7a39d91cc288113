#include "editor/adjust/GradientFilterDlg.h"

#include "editor/adjust/RepairRules.h"
#include "editor/ui/AppSettings.h"
#include "platform/afx/CommDlg.h"
#include "platform/afx/DataExchange.h"
#include "platform/afx/MsgMap.h"
#include "platform/afx/WinApp.h"

#include <algorithm>
#include <utility>

namespace {

constexpr int kTextGradientFilter = 108;
constexpr UINT kIconMarker = 293;
constexpr int kBandRows = 5;
constexpr int kMarkerTop = 7;
constexpr int kMarkerHeight = 8;

COLORREF Gdi(CPixel c)
{
    return RGB(c.r, c.g, c.b);
}

} // namespace

BEGIN_MESSAGE_MAP(CGradientFilterDlg, CRepairDlg)
    ON_WM_PAINT()
    ON_WM_DRAWITEM()
    ON_STN_CLICKED(IDC_GRADIENT_FIRST, OnFirstSwatch)
    ON_STN_CLICKED(IDC_GRADIENT_SECOND, OnSecondSwatch)
    ON_WM_LBUTTONDOWN()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONUP()
    ON_CBN_SELCHANGE(IDC_GRADIENT_MODE, OnMode)
    ON_BN_CLICKED(IDC_GRADIENT_SWAP, OnSwap)
END_MESSAGE_MAP()

CGradientFilterDlg::CGradientFilterDlg(CWnd* parent) : CRepairDlg(IDD_GRADIENT_FILTER, kTextGradientFilter, parent) {}

CGradientFilterDlg::~CGradientFilterDlg()
{
    StopJobAndWait();
}

void CGradientFilterDlg::DoDataExchange(CDataExchange* pDX)
{
    CRepairDlg::DoDataExchange(pDX);
    DDX_CBIndex(pDX, IDC_GRADIENT_MODE, mode);
    DDX_Slider(pDX, IDC_GRADIENT_EXPOSURE, exposure);
    DDX_Slider(pDX, IDC_GRADIENT_ROTATE, rotate);
    DDX_Slider(pDX, IDC_GRADIENT_AMOUNT, amount);
}

BOOL CGradientFilterDlg::OnInitDialog()
{
    dialogKey = "GradientFilter";
    CRepairDlg::OnInitDialog();
    for (const char* name : {"Black&White", "Colorful"})
        SendDlgItemMessage(IDC_GRADIENT_MODE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    // The trackbars' own range, 0..100, holds.
    InitSlider(exposureSlider, IDC_GRADIENT_EXPOSURE, 0, 100, exposure);
    InitSlider(rotateSlider, IDC_GRADIENT_ROTATE, 0, 100, rotate);
    InitSlider(amountSlider, IDC_GRADIENT_AMOUNT, 0, 100, amount);
    UpdateData(FALSE);
    ready = true;
    SetMode(mode);
    UpdatePreview();
    return TRUE;
}

void CGradientFilterDlg::SetMode(int newMode)
{
    mode = newMode;
    for (UINT id : {IDC_GRADIENT_EXPOSURE_GROUP, IDC_GRADIENT_EXPOSURE})
        if (CWnd* w = GetDlgItem(id))
            w->EnableWindow(mode == 0);
    for (UINT id : {IDC_GRADIENT_SWAP, IDC_GRADIENT_COLOUR_GROUP})
        if (CWnd* w = GetDlgItem(id))
            w->EnableWindow(mode == 1);
    Invalidate(FALSE);
    RedrawItem(IDC_GRADIENT_FIRST);
    RedrawItem(IDC_GRADIENT_SECOND);
}

CPixel CGradientFilterDlg::ShownColour(int which) const
{
    if (mode == 0)
        return which == 0 ? CPixel{0, 0, 0, 255} : CPixel{255, 255, 255, 255};
    return colours[which];
}

void CGradientFilterDlg::RunAlgorithm()
{
    block = repair::GradientParams(mode, exposure, colours[0], colours[1], startPercent, endPercent, amount, rotate);
    // The lens shows what this run will do.
    const RECT r = ItemRect(this, IDC_GRADIENT_LENS);
    lensFilter.SetParams(&block);
    repair::DrawLens(lensFilter, r.right - r.left - 2, r.bottom - r.top - 2, &lens);
    RedrawItem(IDC_GRADIENT_LENS);
    algorithm.SetImages(CurrentImage(), GetWorkImage());
    RunJob(&algorithm, &block, 0, 0, 100);
}

RECT CGradientFilterDlg::BandRect() const
{
    return ItemRect(this, IDC_GRADIENT_BAND);
}

RECT CGradientFilterDlg::StartMarker() const
{
    const RECT b = BandRect();
    const int x = b.left + repair::BandX(startPercent, b.right - b.left);
    return RECT{x, b.top + kMarkerTop, x + repair::kMarkerWidth, b.top + kMarkerTop + kMarkerHeight};
}

RECT CGradientFilterDlg::EndMarker() const
{
    const RECT b = BandRect();
    const int x = b.left + repair::BandX(endPercent, b.right - b.left);
    return RECT{x - repair::kMarkerWidth, b.top + kMarkerTop, x, b.top + kMarkerTop + kMarkerHeight};
}

void CGradientFilterDlg::OnPaint()
{
    CPaintDC dc(this);
    if (!ready)
        return;
    DrawBand(&dc);
}

void CGradientFilterDlg::RedrawItem(UINT id)
{
    if (CWnd* item = GetDlgItem(id))
        item->Invalidate(FALSE);
}

void CGradientFilterDlg::OnDrawItem(int id, LPDRAWITEMSTRUCT dis)
{
    CDC* dc = CDC::FromHandle(dis->hDC);
    RECT r = dis->rcItem;
    if (id == static_cast<int>(IDC_GRADIENT_LENS)) {
        dc->FillRect(&r, &theAppSettings.m_skinBrush);
        ::InflateRect(&r, -1, -1);
        DrawRepairImage(dc, lens, r);
        return;
    }
    if (id == static_cast<int>(IDC_GRADIENT_FIRST) || id == static_cast<int>(IDC_GRADIENT_SECOND)) {
        dc->FillSolidRect(&r, Gdi(ShownColour(id == static_cast<int>(IDC_GRADIENT_FIRST) ? 0 : 1)));
        CBrush black(RGB(0, 0, 0));
        dc->FrameRect(&r, &black);
        return;
    }
    CRepairDlg::OnDrawItem(id, dis);
}

void CGradientFilterDlg::OnFirstSwatch()
{
    if (mode == 1)
        ChooseColour(0);
}

void CGradientFilterDlg::OnSecondSwatch()
{
    if (mode == 1)
        ChooseColour(1);
}

void CGradientFilterDlg::DrawBand(CDC* dc)
{
    const RECT b = BandRect();
    const int width = b.right - b.left;
    dc->FillSolidRect(&b, RGB(192, 192, 192));
    const CPixel first = ShownColour(0), second = ShownColour(1);
    for (int x = 0; x < width; ++x)
        dc->FillSolidRect(b.left + x, b.top, 1, kBandRows,
                          Gdi(repair::BandColour(x, width, startPercent, endPercent, first, second)));
    if (HICON icon = ::LoadIcon(AfxGetResourceHandle(), MAKEINTRESOURCE(kIconMarker))) {
        const RECT s = StartMarker(), e = EndMarker();
        for (const RECT& m : {s, e})
            ::DrawIconEx(dc->GetSafeHdc(), m.left, m.top, icon, repair::kMarkerWidth, kMarkerHeight, 0, nullptr, DI_NORMAL);
    }
}

void CGradientFilterDlg::OnLButtonDown(UINT flags, CPoint point)
{
    const RECT s = StartMarker(), e = EndMarker();
    dragging = !ready ? 0 : ::PtInRect(&s, point) ? 1 : ::PtInRect(&e, point) ? 2 : 0;
    if (!dragging) {
        CRepairDlg::OnLButtonDown(flags, point);
        return;
    }
    grabOffset = point.x - (dragging == 1 ? s.left : e.right);
    SetCapture();
}

void CGradientFilterDlg::OnMouseMove(UINT flags, CPoint point)
{
    if (!dragging) {
        CRepairDlg::OnMouseMove(flags, point);
        return;
    }
    const RECT b = BandRect();
    const int x = point.x - grabOffset - b.left, width = b.right - b.left;
    if (dragging == 1)
        startPercent = repair::DragStartMarker(x, endPercent, width);
    else
        endPercent = repair::DragEndMarker(x, startPercent, width);
    CClientDC dc(this);
    DrawBand(&dc);
}

void CGradientFilterDlg::OnLButtonUp(UINT flags, CPoint point)
{
    if (!dragging) {
        CRepairDlg::OnLButtonUp(flags, point);
        return;
    }
    dragging = 0;
    ReleaseCapture();
    Invalidate(FALSE);
    UpdatePreview();
}

void CGradientFilterDlg::ChooseColour(int which)
{
    CColorDialog dialog(Gdi(colours[which]), CC_FULLOPEN | CC_RGBINIT, this);
    if (dialog.DoModal() != IDOK)
        return;
    const COLORREF c = dialog.GetColor();
    colours[which] = repair::NormaliseSwatch(CPixel{GetBValue(c), GetGValue(c), GetRValue(c), 255});
    Invalidate(FALSE);
    RedrawItem(which == 0 ? IDC_GRADIENT_FIRST : IDC_GRADIENT_SECOND);
    UpdatePreview();
}

void CGradientFilterDlg::OnMode()
{
    UpdateData(TRUE);
    SetMode(mode);
    UpdatePreview();
}

void CGradientFilterDlg::OnSwap()
{
    std::swap(colours[0], colours[1]);
    Invalidate(FALSE);
    RedrawItem(IDC_GRADIENT_FIRST);
    RedrawItem(IDC_GRADIENT_SECOND);
    UpdatePreview();
}
