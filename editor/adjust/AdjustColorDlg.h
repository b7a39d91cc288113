// "Adjust Color": a colour balance by three sliders, or a hue, saturation
// and brightness change that can be limited to a range of hues.
#pragma once

#include "algorithms/HueSaturationAlgorithm.h"
#include "algorithms/ToneBlendAlgorithm.h"
#include "algorithms/WhiteBalanceAlgorithm.h"
#include "editor/adjust/ToneSliderDlg.h"
#include "editor/ui/HueRangeCtrl.h"

inline constexpr UINT IDD_ADJUST_COLOR = 180;
inline constexpr UINT IDC_COLOR_HSB_MODE = 1060;
inline constexpr UINT IDC_COLOR_CYAN_RED = 1061;
inline constexpr UINT IDC_COLOR_MAGENTA_GREEN = 1062;
inline constexpr UINT IDC_COLOR_YELLOW_BLUE = 1063;
inline constexpr UINT IDC_COLOR_HUE = 1064;
inline constexpr UINT IDC_COLOR_SATURATION = 1065;
inline constexpr UINT IDC_COLOR_BRIGHTNESS = 1066;
inline constexpr UINT IDC_COLOR_HUE_RANGE = 1067;
inline constexpr UINT IDC_COLOR_IN_RANGE = 1068;
// The end colours of the three balance sliders: low and high of each.
inline constexpr UINT IDC_COLOR_END_FIRST = 1600;

class CAdjustColorDlg : public CToneSliderDlg {
public:
    enum : int { kTagBalance = 0, kTagHsb = 2, kTagRangeShift = 10, kTagRangeBlend = 11 };

    explicit CAdjustColorDlg(CWnd* parent);
    ~CAdjustColorDlg() override;

    BOOL OnInitDialog() override;
    void RunAlgorithm() override;
    void OnSliderReleased(UINT id) override;
    bool IsFirstStage(int tag) const override { return tag == kTagRangeShift; }
    BOOL RunNextStage(int tag) override;

    void UpdateStates();
    RECT HueStripRect() const;

    CHueRangeCtrl hueRange;
    HueSaturationParams hsb{0, 0, 0};
    DWORD reference = 0x808080;
    ToneBlendParams blend{};
    CQLImage intermediate;

protected:
    afx_msg void OnPaint();
    afx_msg HBRUSH OnCtlColor(CDC* dc, CWnd* wnd, UINT kind);
    afx_msg void OnCheck();
    afx_msg LRESULT OnHueRangeDragged(WPARAM, LPARAM);
    DECLARE_MESSAGE_MAP()

private:
    RECT SliderRect(UINT id) const;
    void PaintHints(CDC* dc);

    WhiteBalanceAlgorithm balance;
    HueSaturationAlgorithm hueSaturation;
    ToneBlendAlgorithm toneBlend;
    FilterHost copy;
    CBrush endBrushes[6];
};

int RunAdjustColorDlg(CWnd* parent);
