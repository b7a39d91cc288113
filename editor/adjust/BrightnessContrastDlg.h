// "Brightness and Contrast": a power curve for brightness and a sine-shaped
// contrast curve, one table for B, G and R.
#pragma once

#include "editor/adjust/ToneFunctions.h"
#include "editor/adjust/ToneSliderDlg.h"

inline constexpr UINT IDD_BRIGHTNESS_CONTRAST = 226;
inline constexpr UINT IDC_BC_BRIGHTNESS = 1066;
inline constexpr UINT IDC_BC_CONTRAST = 1067;

class CBrightnessContrastDlg : public CToneSliderDlg {
public:
    explicit CBrightnessContrastDlg(CWnd* parent);
    ~CBrightnessContrastDlg() override;

    BOOL OnInitDialog() override;
    void RunAlgorithm() override;

    tone::BrightnessContrastParams params{0, 0};

private:
    FilterHost host;
};

int RunBrightnessContrastDlg(CWnd* parent);
