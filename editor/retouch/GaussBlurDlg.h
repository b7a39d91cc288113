// "Blur" (Gauss blur): the colour theme's glow step on its own, a blur
// mixed back at an opacity with highlight and shadow enhancement.
#pragma once

#include "algorithms/ColorTheme.h"
#include "algorithms/ColorThemeAlgorithm.h"
#include "editor/adjust/RepairDlg.h"

inline constexpr UINT IDD_GAUSS_BLUR = 230;
inline constexpr UINT IDC_GAUSS_RADIUS = 1194;
inline constexpr UINT IDC_GAUSS_OPACITY = 1211;
inline constexpr UINT IDC_GAUSS_DIFFUSE = 1278;
inline constexpr UINT IDC_GAUSS_SHADOW_LABEL = 1321;
inline constexpr UINT IDC_GAUSS_SHADOW = 1445;
inline constexpr UINT IDC_GAUSS_HIGHLIGHT = 1446;
inline constexpr UINT IDC_GAUSS_SAVE_THEME = 1481;
inline constexpr UINT IDC_GAUSS_HIGHLIGHT_LABEL = 1484;

namespace gaussblur {

struct Settings {
    int radius = 1, opacity = 100, highlight = 0, shadow = 0;
};

// int 4, then radius, opacity, highlight and shadow enhance as bytes.
ColorThemeStep MakeStep(const Settings& s);
// "Diffuse filter" and the wizard's preset: the longer side / 50, at least
// 4 and at most 255 (the step holds one byte).
int DiffuseRadius(int width, int height);

}  // namespace gaussblur

class CGaussBlurDlg : public CRepairDlg {
public:
    explicit CGaussBlurDlg(CWnd* parent);
    ~CGaussBlurDlg() override;

    BOOL OnInitDialog() override;
    void RunAlgorithm() override;

    gaussblur::Settings settings;
    // Opens with the diffuse preset's opacity and radius.
    bool presetEntry = false;

protected:
    void DoDataExchange(CDataExchange* pDX) override;

    afx_msg void OnSliderReleased(NMHDR* nm, LRESULT* answer);
    afx_msg void OnDiffuse();
    afx_msg void OnSaveTheme();
    DECLARE_MESSAGE_MAP()

private:
    // The sliders from the settings; the enhance sliders only below opacity 100.
    void Sync();

    ColorThemeAlgorithm algorithm;
    ColorTheme theme;
    CImgSliderCtrl radiusSlider, opacitySlider, highlightSlider, shadowSlider;
};

// The photo-fix wizard's entry: the dialog with the diffuse preset; IDOK
// when it was applied.
int RunGaussBlurPreset(CWnd* parent);
