#include "editor/adjust/AdjustColorDlg.h"

#include "editor/adjust/ToneFunctions.h"
#include "editor/shell/PhotoDocument.h"
#include "platform/afx/MsgMap.h"
#include "platform/codec/ColorForms.h"

namespace {

constexpr int kTextAdjustColor = 27;
constexpr int kStripHeight = 14;
constexpr COLORREF kEndColours[6] = {RGB(0, 255, 255), RGB(255, 0, 0), RGB(255, 0, 255),
                                     RGB(0, 255, 0),   RGB(255, 255, 0), RGB(0, 0, 255)};

COLORREF HueColour(int hue)
{
    const CPixel rgb = qlcodec::HsbToRgb(CPixel{255, 255, static_cast<BYTE>(hue::Mod256(hue)), 0});
    return RGB(rgb.r, rgb.g, rgb.b);
}

}  // namespace

BEGIN_MESSAGE_MAP(CAdjustColorDlg, CToneSliderDlg)
    ON_WM_PAINT()
    ON_WM_CTLCOLOR()
    ON_BN_CLICKED(IDC_COLOR_HSB_MODE, OnCheck)
    ON_BN_CLICKED(IDC_COLOR_IN_RANGE, OnCheck)
    ON_MESSAGE(WM_HUERANGE_DRAGGED, OnHueRangeDragged)
END_MESSAGE_MAP()

CAdjustColorDlg::CAdjustColorDlg(CWnd* parent)
    : CToneSliderDlg(IDD_ADJUST_COLOR, parent, "AdjustColor", kTextAdjustColor, true)
{
}

CAdjustColorDlg::~CAdjustColorDlg()
{
    StopJobAndWait();
}

BOOL CAdjustColorDlg::OnInitDialog()
{
    CToneSliderDlg::OnInitDialog();
    if (!ready)
        return TRUE;
    // The template only marks the place of the hue range control.
    const RECT place = SliderRect(IDC_COLOR_HUE_RANGE);
    GetDlgItem(IDC_COLOR_HUE_RANGE)->DestroyWindow();
    if (!hueRange.Create(AfxRegisterWndClass(0), "", WS_CHILD | WS_VISIBLE, place, this, IDC_COLOR_HUE_RANGE)) {
        EndDialog(IDCANCEL);
        return TRUE;
    }
    for (int i = 0; i < 6; ++i)
        endBrushes[i].CreateSolidBrush(kEndColours[i]);
    for (UINT id : {IDC_COLOR_CYAN_RED, IDC_COLOR_MAGENTA_GREEN, IDC_COLOR_YELLOW_BLUE})
        SetSlider(id, 0, 255, 128, 16, 16);
    for (UINT id : {IDC_COLOR_HUE, IDC_COLOR_SATURATION, IDC_COLOR_BRIGHTNESS})
        SetSlider(id, -128, 128, 0, 16, 16);
    CheckDlgButton(IDC_COLOR_HSB_MODE, 1);
    UpdateStates();
    UpdatePreview();
    return TRUE;
}

RECT CAdjustColorDlg::SliderRect(UINT id) const
{
    RECT r{};
    if (CWnd* w = GetDlgItem(id)) {
        w->GetWindowRect(&r);
        ScreenToClient(&r);
    }
    return r;
}

RECT CAdjustColorDlg::HueStripRect() const
{
    const RECT s = SliderRect(IDC_COLOR_HUE);
    return RECT{s.left, s.bottom + 1, s.right, s.bottom + 1 + kStripHeight};
}

void CAdjustColorDlg::UpdateStates()
{
    const bool hsbMode = IsDlgButtonChecked(IDC_COLOR_HSB_MODE) != 0;
    const bool inRange = IsDlgButtonChecked(IDC_COLOR_IN_RANGE) != 0;
    for (UINT id : {IDC_COLOR_CYAN_RED, IDC_COLOR_MAGENTA_GREEN, IDC_COLOR_YELLOW_BLUE})
        GetDlgItem(id)->EnableWindow(!hsbMode);
    for (UINT id : {IDC_COLOR_HUE, IDC_COLOR_SATURATION, IDC_COLOR_BRIGHTNESS, IDC_COLOR_IN_RANGE})
        GetDlgItem(id)->EnableWindow(hsbMode);
    hueRange.EnableWindow(hsbMode && inRange);
    hueRange.SetStateAndRedraw(hsbMode && inRange ? 1 : 0);
    Invalidate(FALSE);
}

void CAdjustColorDlg::OnCheck()
{
    UpdateStates();
    UpdatePreview();
}

void CAdjustColorDlg::OnSliderReleased(UINT)
{
    UpdateStates();
    UpdatePreview();
}

LRESULT CAdjustColorDlg::OnHueRangeDragged(WPARAM, LPARAM)
{
    UpdatePreview();
    return 0;
}

void CAdjustColorDlg::OnPaint()
{
    CPaintDC dc(this);
    if (ready)
        PaintHints(&dc);
}

void CAdjustColorDlg::PaintHints(CDC* dc)
{
    CBrush black(RGB(0, 0, 0));
    const RECT strip = HueStripRect();
    const int width = strip.right - strip.left;
    const int mid = (strip.top + strip.bottom) / 2;
    dc->FillSolidRect(&strip, ::GetSysColor(COLOR_BTNFACE));
    if (IsDlgButtonChecked(IDC_COLOR_HSB_MODE) && width > 0) {
        const int shift = SliderPos(IDC_COLOR_HUE);
        for (int c = 0; c < width; ++c) {
            const int hue = c * 256 / width;
            dc->FillSolidRect(strip.left + c, strip.top, 1, mid - strip.top, HueColour(hue + shift));
            dc->FillSolidRect(strip.left + c, mid, 1, strip.bottom - mid, HueColour(hue));
        }
    }
    dc->FrameRect(&strip, &black);
}

HBRUSH CAdjustColorDlg::OnCtlColor(CDC* dc, CWnd* wnd, UINT kind)
{
    const int end = wnd ? wnd->GetDlgCtrlID() - static_cast<int>(IDC_COLOR_END_FIRST) : -1;
    if (kind == CTLCOLOR_STATIC && end >= 0 && end < 6 && endBrushes[end].m_hObject) {
        dc->SetBkColor(kEndColours[end]);
        return static_cast<HBRUSH>(endBrushes[end].m_hObject);
    }
    return CToneSliderDlg::OnCtlColor(dc, wnd, kind);
}

void CAdjustColorDlg::RunAlgorithm()
{
    CQLImage* current = CurrentImage();
    if (!IsDlgButtonChecked(IDC_COLOR_HSB_MODE)) {
        reference = static_cast<DWORD>(SliderPos(IDC_COLOR_YELLOW_BLUE)) | SliderPos(IDC_COLOR_MAGENTA_GREEN) << 8
                    | SliderPos(IDC_COLOR_CYAN_RED) << 16;
        balance.SetImages(current, GetWorkImage());
        RunJob(&balance, &reference, kTagBalance, 0, 100);
        return;
    }
    hsb = HueSaturationParams{SliderPos(IDC_COLOR_HUE), SliderPos(IDC_COLOR_SATURATION), SliderPos(IDC_COLOR_BRIGHTNESS)};
    if (hsb.hue == 0 && hsb.saturation == 0 && hsb.lightness == 0) {
        // The HSB round trip moves colours by a level or two: no change is a copy.
        copy.SetImages(current, GetWorkImage());
        RunJob(&copy, reinterpret_cast<void*>(&tone::CopyFunction), kTagHsb, 0, 100);
        return;
    }
    if (!IsDlgButtonChecked(IDC_COLOR_IN_RANGE)) {
        hueSaturation.SetImages(current, GetWorkImage());
        RunJob(&hueSaturation, &hsb, kTagHsb, 0, 100);
        return;
    }
    // The weights are taken now, so a drag during the chain waits for the re-run.
    blend.mode = ToneBlendAlgorithm::ByHue;
    hueRange.BuildWeightTable(blend.weights);
    blend.reference = current;
    hueSaturation.SetImages(current, &intermediate);
    RunJob(&hueSaturation, &hsb, kTagRangeShift, 0, 70);
}

BOOL CAdjustColorDlg::RunNextStage(int)
{
    toneBlend.SetImages(&intermediate, GetWorkImage());
    return RunJob(&toneBlend, &blend, kTagRangeBlend, 70, 100);
}

int RunAdjustColorDlg(CWnd* parent)
{
    if (!thePhotoDocument.IsLoaded())
        return IDCANCEL;
    CAdjustColorDlg dialog(parent);
    return static_cast<int>(dialog.DoModal());
}
