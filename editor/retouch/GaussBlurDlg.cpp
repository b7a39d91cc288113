#include "editor/retouch/GaussBlurDlg.h"
#include "editor/retouch/PictureSize.h"

#include "editor/adjust/SaveColorTheme.h"
#include "platform/afx/CommCtrl.h"
#include "platform/afx/DataExchange.h"
#include "platform/afx/MsgMap.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr int kTextGaussBlur = 50;
constexpr UINT kIconSaveTheme = 257;
constexpr int kMaxRadius = 255;
constexpr int kDiffuseOpacity = 50;
constexpr int kDiffuseHighlight = 50;
constexpr int kDiffuseShadow = 20;
constexpr UINT kEnhanceControls[] = {IDC_GAUSS_HIGHLIGHT, IDC_GAUSS_HIGHLIGHT_LABEL, IDC_GAUSS_SHADOW,
                                     IDC_GAUSS_SHADOW_LABEL};

}  // namespace

namespace gaussblur {

ColorThemeStep MakeStep(const Settings& s)
{
    ColorThemeStep step;
    step.type = ColorThemeStep::Glow;
    step.payload[0] = static_cast<BYTE>(std::clamp(s.radius, 0, kMaxRadius));
    step.payload[1] = static_cast<BYTE>(std::clamp(s.opacity, 0, 100));
    step.payload[2] = static_cast<BYTE>(std::clamp(s.highlight, 0, 100));
    step.payload[3] = static_cast<BYTE>(std::clamp(s.shadow, 0, 100));
    return step;
}

int DiffuseRadius(int width, int height)
{
    return std::clamp(std::max(width, height) / 50, 4, kMaxRadius);
}

}  // namespace gaussblur

BEGIN_MESSAGE_MAP(CGaussBlurDlg, CRepairDlg)
    ON_NOTIFY(NM_RELEASEDCAPTURE, IDC_GAUSS_RADIUS, OnSliderReleased)
    ON_NOTIFY(NM_RELEASEDCAPTURE, IDC_GAUSS_OPACITY, OnSliderReleased)
    ON_NOTIFY(NM_RELEASEDCAPTURE, IDC_GAUSS_HIGHLIGHT, OnSliderReleased)
    ON_NOTIFY(NM_RELEASEDCAPTURE, IDC_GAUSS_SHADOW, OnSliderReleased)
    ON_BN_CLICKED(IDC_GAUSS_DIFFUSE, OnDiffuse)
    ON_BN_CLICKED(IDC_GAUSS_SAVE_THEME, OnSaveTheme)
END_MESSAGE_MAP()

CGaussBlurDlg::CGaussBlurDlg(CWnd* parent) : CRepairDlg(IDD_GAUSS_BLUR, kTextGaussBlur, parent)
{
    std::snprintf(theme.name, sizeof theme.name, "Temp");
}

CGaussBlurDlg::~CGaussBlurDlg()
{
    StopJobAndWait();
}

void CGaussBlurDlg::DoDataExchange(CDataExchange* pDX)
{
    CRepairDlg::DoDataExchange(pDX);
    DDX_Slider(pDX, IDC_GAUSS_RADIUS, settings.radius);
    DDX_Slider(pDX, IDC_GAUSS_OPACITY, settings.opacity);
    DDX_Slider(pDX, IDC_GAUSS_HIGHLIGHT, settings.highlight);
    DDX_Slider(pDX, IDC_GAUSS_SHADOW, settings.shadow);
}

BOOL CGaussBlurDlg::OnInitDialog()
{
    dialogKey = "GaussBlur";
    if (presetEntry) {
        const SIZE s = PictureSize(*CurrentImage());
        settings.opacity = kDiffuseOpacity;
        settings.radius = gaussblur::DiffuseRadius(s.cx, s.cy);
    }
    CRepairDlg::OnInitDialog();
    InitSlider(radiusSlider, IDC_GAUSS_RADIUS, 1, kMaxRadius, settings.radius);
    radiusSlider.SetTicFreq(16);
    InitSlider(opacitySlider, IDC_GAUSS_OPACITY, 0, 100, settings.opacity);
    opacitySlider.SetPageSize(10);
    opacitySlider.SetTicFreq(10);
    InitSlider(highlightSlider, IDC_GAUSS_HIGHLIGHT, 0, 100, settings.highlight);
    InitSlider(shadowSlider, IDC_GAUSS_SHADOW, 0, 100, settings.shadow);
    GetDlgItem(IDC_GAUSS_SAVE_THEME)
        ->SendMessage(BM_SETIMAGE, IMAGE_ICON,
                      reinterpret_cast<LPARAM>(::LoadIcon(AfxGetResourceHandle(), MAKEINTRESOURCE(kIconSaveTheme))));
    Sync();
    UpdatePreview();
    return TRUE;
}

void CGaussBlurDlg::Sync()
{
    UpdateData(FALSE);
    const int show = settings.opacity < 100 ? SW_SHOW : SW_HIDE;
    for (UINT id : kEnhanceControls)
        GetDlgItem(id)->ShowWindow(show);
    Invalidate(FALSE);
}

void CGaussBlurDlg::OnSliderReleased(NMHDR*, LRESULT* answer)
{
    if (answer)
        *answer = 0;
    UpdateData(TRUE);
    Sync();
    UpdatePreview();
}

void CGaussBlurDlg::OnDiffuse()
{
    const SIZE s = PictureSize(*CurrentImage());
    settings = gaussblur::Settings{gaussblur::DiffuseRadius(s.cx, s.cy), kDiffuseOpacity, kDiffuseHighlight,
                                   kDiffuseShadow};
    Sync();
    UpdatePreview();
}

void CGaussBlurDlg::RunAlgorithm()
{
    UpdateData(TRUE);
    theme.steps.assign(1, gaussblur::MakeStep(settings));
    theme.stepCount = 1;
    algorithm.SetImages(CurrentImage(), GetWorkImage());
    RunJob(&algorithm, &theme, 0, 0, 100);
}

void CGaussBlurDlg::OnSaveTheme()
{
    UpdateData(TRUE);
    SaveColorTheme(gaussblur::MakeStep(settings));
}

int RunGaussBlurPreset(CWnd* parent)
{
    if (CFilterDlg::CurrentImage()->GetAreaByteSize() == 0)
        return IDCANCEL;
    CGaussBlurDlg dialog(parent);
    dialog.presetEntry = true;
    return static_cast<int>(dialog.DoModal());
}
