// "Effects": the shadow, emboss and emission settings of a text object on
// the text overlay sheet. Every change asks the sheet to render again.
#pragma once

#include "editor/ui/SkinPropertyPage.h"

#include <cstdint>
#include <functional>

inline constexpr UINT IDD_EFFECTS_PAGE = 241;

enum : UINT {
    IDC_EFFECTS_OPACITY = 1098,
    IDC_SHADOW_ON = 1228,
    IDC_SHADOW_X = 1229,
    IDC_SHADOW_X_SPIN = 1230,
    IDC_SHADOW_Y_SPIN = 1231,
    IDC_SHADOW_BLUR = 1233,
    IDC_SHADOW_BLUR_SPIN = 1234,
    IDC_SHADOW_COLOR = 1235,
    IDC_EMBOSS_ON = 1236,
    IDC_EMBOSS_DEPTH = 1237,
    IDC_EMBOSS_DEPTH_SPIN = 1238,
    IDC_EMISSION_DEPTH = 1239,
    IDC_EMBOSS_OPACITY_SPIN = 1240,
    IDC_EMBOSS_DIRECTION = 1241,
    IDC_EMISSION_ON = 1242,
    IDC_EMISSION_DEPTH_SPIN = 1243,
    IDC_EMISSION_BLUR = 1245,
    IDC_EMISSION_BLUR_SPIN = 1246,
    IDC_EMISSION_COLOR = 1247,
    IDC_EMBOSS_BLUR = 1248,
    IDC_EMBOSS_BLUR_SPIN = 1249,
    IDC_SHADOW_Y = 1250,
    IDC_SHADOW_SWATCH = 1253,
    IDC_EMISSION_SWATCH = 1254,
};

class CEffecPage : public CSkinPropertyPage {
    DECLARE_DYNCREATE(CEffecPage)
public:
    CEffecPage();

    BOOL OnInitDialog() override;
    // Enables each group's controls by its check box.
    void EnableGroups();
    // Reads every control; FALSE when an edit box holds no number in its
    // range (that member keeps its value). Quiet: no message box.
    BOOL ReadControls();

    int32_t emissionOn = 0;
    int32_t embossOn = 0;
    int32_t shadowOn = 0;
    int32_t embossDirection = 1;
    uint32_t embossBlur = 0;
    uint32_t embossDepth = 1;
    uint32_t emissionBlur = 3;
    uint32_t emissionDepth = 1;
    int32_t shadowY = 5;
    int32_t shadowX = 5;
    uint32_t shadowBlur = 0;
    uint32_t embossOpacity = 128;
    unsigned char shadowColour[4] = {0, 0, 0, 64};       // B, G, R, A
    unsigned char emissionColour[4] = {255, 255, 255, 255};

    // Set by the owning sheet: renders its preview again.
    std::function<void()> onChanged;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

    afx_msg void OnGroupCheck();
    afx_msg void OnEditChange();
    afx_msg void OnShadowColor();
    afx_msg void OnEmissionColor();
    afx_msg void OnPaint();
    DECLARE_MESSAGE_MAP()

    void NotifySheet();
    void PickColour(unsigned char colour[4]);

    bool writingControls = false;
};
