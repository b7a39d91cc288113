#include "editor/retouch/FilmAspectAdjustDlg.h"

#include "editor/adjust/SaveColorTheme.h"
#include "platform/afx/DataExchange.h"
#include "platform/afx/MsgMap.h"

#include <cstring>

namespace {

constexpr int kTextPhotographyAdjust = 159;
constexpr UINT kIconSaveTheme = 257;

struct Preset {
    int latitude, grain, temperature, saturation, sharpness;
};
constexpr int kUnchanged = -1000;
// "Positive Film", "Warm Positive", "Cold Positive", "B&&W", "B&&W Warm",
// "B&&W Cold", "Old B&&W"; every one sets exposure to 0.
constexpr Preset kPresets[] = {
    {-7, 0, 0, 15, kUnchanged},   {-7, 0, -800, 14, kUnchanged}, {-7, 0, 1000, 18, kUnchanged},
    {0, 0, 0, -50, kUnchanged},   {0, 0, -800, -50, kUnchanged}, {0, 0, 1200, -50, kUnchanged},
    {-20, 50, -600, -50, 30},
};

struct SliderRange {
    UINT id;
    int low, high;
};
constexpr SliderRange kSliders[] = {{IDC_FILM_EXPOSURE, -10, 10},       {IDC_FILM_RANGE, -70, 30},
                                    {IDC_FILM_TEMPERATURE, -1500, 1500}, {IDC_FILM_SATURATION, -50, 50},
                                    {IDC_FILM_GRAIN, 0, 100},            {IDC_FILM_SHARPNESS, -50, 50}};

}  // namespace

namespace filmaspect {

void ApplyPreset(UINT button, FilmAspectParams* params)
{
    if (button < IDC_FILM_PRESET_FIRST || button > IDC_FILM_PRESET_LAST)
        return;
    const Preset& p = kPresets[button - IDC_FILM_PRESET_FIRST];
    params->exposure = 0;
    params->latitude = p.latitude;
    params->grain = p.grain;
    params->colorTemperature = p.temperature;
    params->saturation = p.saturation;
    if (p.sharpness != kUnchanged)
        params->sharpness = p.sharpness;
}

ColorThemeStep MakeStep(const FilmAspectParams& params)
{
    ColorThemeStep step;
    step.type = ColorThemeStep::FilmAspect;
    std::memcpy(step.payload, &params, sizeof params);
    return step;
}

}  // namespace filmaspect

BEGIN_MESSAGE_MAP(CFilmAspectAdjustDlg, CRepairDlg)
    ON_COMMAND_RANGE(IDC_FILM_PRESET_FIRST, IDC_FILM_PRESET_LAST, OnPreset)
    ON_BN_CLICKED(IDC_FILM_SAVE_THEME, OnSaveTheme)
END_MESSAGE_MAP()

CFilmAspectAdjustDlg::CFilmAspectAdjustDlg(CWnd* parent)
    : CRepairDlg(IDD_FILM_ASPECT, kTextPhotographyAdjust, parent)
{
}

CFilmAspectAdjustDlg::~CFilmAspectAdjustDlg()
{
    StopJobAndWait();
}

void CFilmAspectAdjustDlg::DoDataExchange(CDataExchange* pDX)
{
    CRepairDlg::DoDataExchange(pDX);
    DDX_Slider(pDX, IDC_FILM_EXPOSURE, params.exposure);
    DDX_Slider(pDX, IDC_FILM_RANGE, params.latitude);
    DDX_Slider(pDX, IDC_FILM_TEMPERATURE, params.colorTemperature);
    DDX_Slider(pDX, IDC_FILM_SATURATION, params.saturation);
    DDX_Slider(pDX, IDC_FILM_GRAIN, params.grain);
    DDX_Slider(pDX, IDC_FILM_SHARPNESS, params.sharpness);
}

BOOL CFilmAspectAdjustDlg::OnInitDialog()
{
    dialogKey = "FilmAspectAdjustDlg";
    CRepairDlg::OnInitDialog();
    for (size_t i = 0; i < std::size(kSliders); ++i)
        InitSlider(sliders[i], kSliders[i].id, kSliders[i].low, kSliders[i].high, 0);
    sliders[0].SetValueDisplay(TRUE, 0.1, 0.0);
    GetDlgItem(IDC_FILM_SAVE_THEME)
        ->SendMessage(BM_SETIMAGE, IMAGE_ICON,
                      reinterpret_cast<LPARAM>(::LoadIcon(AfxGetResourceHandle(), MAKEINTRESOURCE(kIconSaveTheme))));
    UpdateData(FALSE);
    UpdatePreview();
    return TRUE;
}

void CFilmAspectAdjustDlg::RunAlgorithm()
{
    UpdateData(TRUE);
    params.reserved = 0;
    algorithm.SetImages(CurrentImage(), GetWorkImage());
    RunJob(&algorithm, &params, 0, 0, 100);
}

void CFilmAspectAdjustDlg::OnPreset(UINT id)
{
    UpdateData(TRUE);
    filmaspect::ApplyPreset(id, &params);
    UpdateData(FALSE);
    UpdatePreview();
}

void CFilmAspectAdjustDlg::OnSaveTheme()
{
    UpdateData(TRUE);
    SaveColorTheme(filmaspect::MakeStep(params));
}
