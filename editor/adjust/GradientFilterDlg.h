// "Gradient Filter": an optical graduated filter, black and white or
// between two reference colours, with its range band and a round lens
// preview of the current settings.
#pragma once

#include "algorithms/GradientFilterAlgorithm.h"
#include "editor/adjust/RepairDlg.h"

inline constexpr UINT IDD_GRADIENT_FILTER = 295;
inline constexpr UINT IDC_GRADIENT_BAND = 1067;
inline constexpr UINT IDC_GRADIENT_AMOUNT = 1196;
inline constexpr UINT IDC_GRADIENT_MODE = 1243;
inline constexpr UINT IDC_GRADIENT_LENS = 1364;
inline constexpr UINT IDC_GRADIENT_EXPOSURE = 1365;
inline constexpr UINT IDC_GRADIENT_FIRST = 1366;
inline constexpr UINT IDC_GRADIENT_SECOND = 1367;
inline constexpr UINT IDC_GRADIENT_SWAP = 1368;
inline constexpr UINT IDC_GRADIENT_ROTATE = 1369;
inline constexpr UINT IDC_GRADIENT_EXPOSURE_GROUP = 1370;
inline constexpr UINT IDC_GRADIENT_COLOUR_GROUP = 1371;

class CGradientFilterDlg : public CRepairDlg {
public:
    explicit CGradientFilterDlg(CWnd* parent);
    ~CGradientFilterDlg() override;

    BOOL OnInitDialog() override;
    void RunAlgorithm() override;

    RECT BandRect() const;
    RECT StartMarker() const;
    RECT EndMarker() const;
    // The swatch colours as shown: black and white in mode 0.
    CPixel ShownColour(int which) const;
    void SetMode(int newMode);

    int mode = 0;
    int exposure = 30;
    int rotate = 75;
    int amount = 50;
    int startPercent = 40;
    int endPercent = 60;
    CPixel colours[2] = {{0, 0, 255, 255}, {255, 0, 0, 255}};
    int dragging = 0; // 1 start marker, 2 end marker
    int grabOffset = 0;
    GradientFilterParams block{};
    CQLImage lens;
    CImgSliderCtrl exposureSlider;
    CImgSliderCtrl rotateSlider;
    CImgSliderCtrl amountSlider;

protected:
    void DoDataExchange(CDataExchange* pDX) override;

    afx_msg void OnPaint();
    afx_msg void OnDrawItem(int id, LPDRAWITEMSTRUCT dis);
    afx_msg void OnFirstSwatch();
    afx_msg void OnSecondSwatch();
    afx_msg void OnLButtonDown(UINT flags, CPoint point);
    afx_msg void OnMouseMove(UINT flags, CPoint point);
    afx_msg void OnLButtonUp(UINT flags, CPoint point);
    afx_msg void OnMode();
    afx_msg void OnSwap();
    DECLARE_MESSAGE_MAP()

private:
    void DrawBand(CDC* dc);
    void RedrawItem(UINT id);
    void ChooseColour(int which);

    GradientFilterAlgorithm algorithm;
    GradientFilterAlgorithm lensFilter;
    bool ready = false;
};
