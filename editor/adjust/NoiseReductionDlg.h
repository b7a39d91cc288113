// "Noise Reduction": the adaptive reduction, or the edge-directed one with
// a chosen amount.
#pragma once

#include "algorithms/AdaptiveDenoiseAlgorithm.h"
#include "algorithms/NoiseReductionAlgorithm.h"
#include "editor/adjust/RepairDlg.h"

inline constexpr UINT IDD_NOISE_REDUCTION = 208;
inline constexpr UINT IDC_NOISE_COLOR_SPOTS = 1171;
inline constexpr UINT IDC_NOISE_AMOUNT = 1327;
inline constexpr UINT IDC_NOISE_ADAPTIVE = 1552;

class CNoiseReductionDlg : public CRepairDlg {
public:
    explicit CNoiseReductionDlg(CWnd* parent);
    ~CNoiseReductionDlg() override;

    BOOL OnInitDialog() override;
    void RunAlgorithm() override;

    int amount = 5;
    int colourSpots = 1;
    int adaptive = 1;
    NoiseReductionParams block{};
    AdaptiveDenoiseParams adaptiveBlock{};
    CImgSliderCtrl amountSlider;

protected:
    void DoDataExchange(CDataExchange* pDX) override;

    afx_msg void OnCheck();
    DECLARE_MESSAGE_MAP()

private:
    NoiseReductionAlgorithm reduction;
    AdaptiveDenoiseAlgorithm adaptiveReduction;
};
