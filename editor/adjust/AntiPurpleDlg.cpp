#include "editor/adjust/AntiPurpleDlg.h"

#include "editor/ui/AppSettings.h"
#include "platform/afx/DataExchange.h"
#include "platform/afx/MsgMap.h"
#include "platform/afx/WinApp.h"
#include "platform/codec/ColorForms.h"

#include <algorithm>

namespace {

constexpr UINT kIconPick = 203;
constexpr UINT kIconMarker = 205;
constexpr int kTextAntiPurple = 87;

HICON ResourceIcon(UINT id)
{
    return ::LoadIcon(AfxGetResourceHandle(), MAKEINTRESOURCE(id));
}

CPixel HueColour(int hue)
{
    return qlcodec::HsbToRgb(CPixel{128, 255, static_cast<BYTE>(std::clamp(hue, 0, 255)), 255});
}

} // namespace

BEGIN_MESSAGE_MAP(CAntiPurpleDlg, CRepairDlg)
    ON_WM_PAINT()
    ON_WM_SETCURSOR()
    ON_WM_LBUTTONDOWN()
    ON_BN_CLICKED(IDC_FRINGE_PICK, OnPick)
    ON_MESSAGE(WM_ZOOMVIEW_NOTIFY, OnViewNotify)
END_MESSAGE_MAP()

CAntiPurpleDlg::CAntiPurpleDlg(CWnd* parent) : CRepairDlg(IDD_ANTI_PURPLE, kTextAntiPurple, parent) {}

CAntiPurpleDlg::~CAntiPurpleDlg()
{
    StopJobAndWait();
}

void CAntiPurpleDlg::DoDataExchange(CDataExchange* pDX)
{
    CRepairDlg::DoDataExchange(pDX);
    DDX_Slider(pDX, IDC_FRINGE_RANGE, range);
    DDX_Check(pDX, IDC_FRINGE_PICK, fringePickMode);
}

BOOL CAntiPurpleDlg::OnInitDialog()
{
    dialogKey = "AntiPurple";
    CRepairDlg::OnInitDialog();
    GetDlgItem(IDC_FRINGE_PICK)->SendMessage(BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(ResourceIcon(kIconPick)));
    algorithm.SetImages(CurrentImage(), GetWorkImage());
    range = algorithm.GetDefaultRange();
    InitSlider(rangeSlider, IDC_FRINGE_RANGE, 1, 128, range);
    UpdateData(FALSE);
    ready = true;
    UpdatePreview();
    return TRUE;
}

void CAntiPurpleDlg::RunAlgorithm()
{
    algorithm.SetImages(CurrentImage(), GetWorkImage());
    block.hue = qlcodec::RgbToHsb(fringeColour).r;
    block.range = range;
    RunJob(&algorithm, &block, 0, 0, 100);
}

RECT CAntiPurpleDlg::BarRect() const
{
    return ItemRect(this, IDC_FRINGE_COLOUR_BAR);
}

RECT CAntiPurpleDlg::HitRect() const
{
    RECT r = BarRect();
    r.bottom += 8;
    return r;
}

int CAntiPurpleDlg::HueAt(int x) const
{
    const RECT bar = BarRect();
    const int width = std::max<int>(1, bar.right - bar.left);
    return std::clamp((x - static_cast<int>(bar.left)) * 256 / width, 0, 255);
}

void CAntiPurpleDlg::SetFringeHue(int hue)
{
    fringeColour = HueColour(hue);
    Invalidate(FALSE);
}

void CAntiPurpleDlg::OnPaint()
{
    CPaintDC dc(this);
    if (!ready)
        return;
    const RECT bar = BarRect();
    const int width = std::max<int>(1, bar.right - bar.left);
    for (int i = 0; i < width; ++i) {
        const CPixel c = HueColour(i * 256 / width);
        dc.FillSolidRect(bar.left + i, bar.top, 1, bar.bottom - bar.top, RGB(c.r, c.g, c.b));
    }
    // The marker's row is cleared first: the old marker must not stay.
    const RECT markerRow{bar.left - 8, bar.bottom, bar.right + 8, bar.bottom + 10};
    dc.FillRect(&markerRow, &theAppSettings.m_skinBrush);
    const int hue = qlcodec::RgbToHsb(fringeColour).r;
    if (HICON icon = ResourceIcon(kIconMarker))
        ::DrawIconEx(dc.GetSafeHdc(), bar.left + width * hue / 256 - 4, bar.bottom + 1, icon, 16, 16, 0, nullptr, DI_NORMAL);
}

BOOL CAntiPurpleDlg::OnSetCursor(CWnd* wnd, UINT hitTest, UINT message)
{
    if (wnd == this && ready) {
        POINT p{};
        ::GetCursorPos(&p);
        ScreenToClient(&p);
        const RECT hit = HitRect();
        if (::PtInRect(&hit, p)) {
            ::SetCursor(::LoadCursor(nullptr, IDC_CROSS));
            return TRUE;
        }
    }
    return CRepairDlg::OnSetCursor(wnd, hitTest, message);
}

void CAntiPurpleDlg::OnLButtonDown(UINT flags, CPoint point)
{
    const RECT hit = HitRect();
    if (!ready || !::PtInRect(&hit, point)) {
        CRepairDlg::OnLButtonDown(flags, point);
        return;
    }
    SetFringeHue(HueAt(point.x));
    UpdatePreview();
}

void CAntiPurpleDlg::OnPick()
{
    UpdateData(TRUE);
    if (fringePickMode) {
        picker.Start(*this);
        resultView.ShowToolButtons(FALSE);
    } else {
        EndPicking();
    }
}

void CAntiPurpleDlg::EndPicking()
{
    fringePickMode = 0;
    CheckDlgButton(IDC_FRINGE_PICK, 0);
    resultView.ShowToolButtons(TRUE);
    picker.Stop(*this);
}

LRESULT CAntiPurpleDlg::OnViewNotify(WPARAM code, LPARAM lParam)
{
    CPixel picked{};
    if (fringePickMode && picker.OnNotice(*this, code, lParam, &picked)) {
        fringeColour = CPixel{picked.b, picked.g, picked.r, 255};
        EndPicking();
        Invalidate(FALSE);
        UpdatePreview();
        return 0;
    }
    return fringePickMode ? 0 : OnSyncPreview(code, lParam);
}
