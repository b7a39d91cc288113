// "Layer": the blend mode and opacity of the placed object.
#pragma once

#include "editor/ui/SkinPropertyPage.h"

inline constexpr UINT IDD_LAYER_PAGE = 243;
inline constexpr UINT IDC_LAYER_MODE = 1243;
inline constexpr UINT IDC_LAYER_OPACITY = 1098;
inline constexpr UINT IDC_LAYER_OPACITY_SPIN = 1102;

class CLayerPage : public CSkinPropertyPage {
    DECLARE_DYNAMIC(CLayerPage)
public:
    CLayerPage();

    BOOL OnInitDialog() override;
    // Writes mode and opacity into the controls.
    void ShowValues();

    int mode = 0;       // 0..8
    int opacity = 255;  // 0..255

protected:
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    afx_msg void OnModeChange();
    afx_msg void OnOpacityChange();
    DECLARE_MESSAGE_MAP()

private:
    void NotifySheet();
    bool m_writing = false;
};
