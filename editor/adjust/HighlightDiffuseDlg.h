// "Highlight Diffuse": a glow from the highlights, then blended over the
// photo at the chosen opacity as a second pass.
#pragma once

#include "algorithms/HighlightDiffuseAlgorithm.h"
#include "editor/adjust/RepairDlg.h"

inline constexpr UINT IDD_HIGHLIGHT_DIFFUSE = 262;
inline constexpr UINT IDC_DIFFUSE_OPACITY = 1211;
inline constexpr UINT IDC_DIFFUSE_RADIUS = 1194;

class CHighlightDiffuseDlg : public CRepairDlg {
public:
    explicit CHighlightDiffuseDlg(CWnd* parent);
    ~CHighlightDiffuseDlg() override;

    BOOL OnInitDialog() override;
    void RunAlgorithm() override;

    int opacity = 50;
    int radius = 8;
    HighlightDiffuseParams block{};
    int blendOpacity = 50; // the opacity of the job in progress
    CImgSliderCtrl opacitySlider;
    CImgSliderCtrl radiusSlider;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL RunSecondStage() override;

private:
    HighlightDiffuseAlgorithm algorithm;
    FilterHost blend;
    CQLImage glow;
};
