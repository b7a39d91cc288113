// "Photography Conception Adjustment": exposure, dynamic range, colour
// temperature, saturation, grain and sharpness in one film look, with
// predefined simulations and a colour-theme step of type 3.
#pragma once

#include "algorithms/ColorTheme.h"
#include "algorithms/FilmAspectAdjustAlgorithm.h"
#include "editor/adjust/RepairDlg.h"

inline constexpr UINT IDD_FILM_ASPECT = 358;
inline constexpr UINT IDC_FILM_SAVE_THEME = 1282;
inline constexpr UINT IDC_FILM_SHARPNESS = 1345;
inline constexpr UINT IDC_FILM_EXPOSURE = 1365;
inline constexpr UINT IDC_FILM_RANGE = 1404;
inline constexpr UINT IDC_FILM_TEMPERATURE = 1469;
inline constexpr UINT IDC_FILM_SATURATION = 1470;
inline constexpr UINT IDC_FILM_GRAIN = 1471;
inline constexpr UINT IDC_FILM_PRESET_FIRST = 1473;  // "Positive Film" .. 1479 "Old B&&W"
inline constexpr UINT IDC_FILM_PRESET_LAST = 1479;

namespace filmaspect {

// Sets the sliders as the preset button's row; only "Old B&&W" touches sharpness.
void ApplyPreset(UINT button, FilmAspectParams* params);
// int 3, then the seven ints of the block.
ColorThemeStep MakeStep(const FilmAspectParams& params);

}  // namespace filmaspect

class CFilmAspectAdjustDlg : public CRepairDlg {
public:
    explicit CFilmAspectAdjustDlg(CWnd* parent);
    ~CFilmAspectAdjustDlg() override;

    BOOL OnInitDialog() override;
    void RunAlgorithm() override;

    FilmAspectParams params{};

protected:
    void DoDataExchange(CDataExchange* pDX) override;

    afx_msg void OnPreset(UINT id);
    afx_msg void OnSaveTheme();
    DECLARE_MESSAGE_MAP()

private:
    FilmAspectAdjustAlgorithm algorithm;
    CImgSliderCtrl sliders[6];
};
