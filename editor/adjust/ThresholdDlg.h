// "Threshold / BW": black and white by a fixed or adaptive threshold, a
// random diffusion or a halftone.
#pragma once

#include "algorithms/ThresholdAlgorithm.h"
#include "editor/adjust/ToneSliderDlg.h"

inline constexpr UINT IDD_THRESHOLD = 376;
inline constexpr UINT IDC_THRESHOLD_LEVEL = 1198;
inline constexpr UINT IDC_THRESHOLD_REGION = 1404;
inline constexpr UINT IDC_THRESHOLD_METHOD = 1531;
inline constexpr UINT IDC_THRESHOLD_TRANSITION = 1533;

class CThresholdDlg : public CToneSliderDlg {
public:
    explicit CThresholdDlg(CWnd* parent);
    ~CThresholdDlg() override;

    BOOL OnInitDialog() override;
    void RunAlgorithm() override;
    // Enables the sliders the method uses and sets its own defaults.
    void OnMethod();

    ThresholdParams params{1, 64, 16, 50};

protected:
    DECLARE_MESSAGE_MAP()

private:
    void EnableSliders();
    ThresholdAlgorithm algorithm;
};

int RunThresholdDlg(CWnd* parent);
