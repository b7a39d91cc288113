// "Digital Star Light Filter": star-shaped glints on the highlights of a
// night shot, with the star it will use shown beside the settings.
#pragma once

#include "algorithms/StarLightAlgorithm.h"
#include "editor/adjust/RepairDlg.h"

inline constexpr UINT IDD_STAR_LIGHT = 284;
inline constexpr UINT IDC_STAR_PREVIEW = 1148;
inline constexpr UINT IDC_STAR_SIZE = 1194;
inline constexpr UINT IDC_STAR_AMOUNT = 1196;
inline constexpr UINT IDC_STAR_RANGE = 1198;
inline constexpr UINT IDC_STAR_SHAPE = 1348;
inline constexpr UINT IDC_STAR_COLOUR = 1349;
inline constexpr UINT IDC_STAR_ROTATE = 1351;

class CStarLightDlg : public CRepairDlg {
public:
    explicit CStarLightDlg(CWnd* parent);
    ~CStarLightDlg() override;

    BOOL OnInitDialog() override;
    void RunAlgorithm() override;

    // The star for the current shape, size and turn; false without memory.
    bool RebuildStar();

    CQLImage picture; // "star.bmp"
    CQLImage star;
    CQLImage shownStar;
    int shape = 1;
    int colour = 0;
    int size = 32;
    int range = 240;
    int rotate = 0;
    int amount = 20;
    StarLightParams block{};
    CImgSliderCtrl sizeSlider;
    CImgSliderCtrl rangeSlider;
    CImgSliderCtrl rotateSlider;
    CImgSliderCtrl amountSlider;

protected:
    void DoDataExchange(CDataExchange* pDX) override;

    afx_msg void OnPaint();
    afx_msg void OnCombo();
    DECLARE_MESSAGE_MAP()

private:
    StarLightAlgorithm algorithm;
    bool ready = false;
};
