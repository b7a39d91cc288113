// "Channel Mixer": each output channel, or the brightness alone, as a mix of
// R, G and B with a constant.
#pragma once

#include "algorithms/ChannelMixerAlgorithm.h"
#include "editor/adjust/ToneSliderDlg.h"

inline constexpr UINT IDD_CHANNEL_MIXER = 368;
inline constexpr UINT IDC_MIXER_SAVE_THEME = 1282;
inline constexpr UINT IDC_MIXER_RESET = 1285;
inline constexpr UINT IDC_MIXER_R = 1312;
inline constexpr UINT IDC_MIXER_G = 1313;
inline constexpr UINT IDC_MIXER_B = 1314;
inline constexpr UINT IDC_MIXER_RGB = 1488;
inline constexpr UINT IDC_MIXER_OUTPUT = 1489;
inline constexpr UINT IDC_MIXER_BRIGHTNESS = 1490;
inline constexpr UINT IDC_MIXER_CONSTANT = 1494;

class CChannelMixerDlg : public CToneSliderDlg {
public:
    static const ChannelMixerParams kDefaults;

    explicit CChannelMixerDlg(CWnd* parent);
    ~CChannelMixerDlg() override;

    BOOL OnInitDialog() override;
    void RunAlgorithm() override;
    void OnSliderReleased(UINT id) override;

    // The row the four sliders show: the chosen output's in mode 0, the
    // brightness row in mode 1.
    INT* ShownRow();
    void LoadSliders();

    ChannelMixerParams mixer = kDefaults;
    int mode = 0;

protected:
    afx_msg void OnRgb();
    afx_msg void OnBrightness();
    afx_msg void OnOutput();
    afx_msg void OnReset();
    afx_msg void OnSaveTheme();
    DECLARE_MESSAGE_MAP()

private:
    void SetMode(int newMode);
    ChannelMixerAlgorithm algorithm;
    ChannelMixerParams running{};
};

int RunChannelMixerDlg(CWnd* parent);
