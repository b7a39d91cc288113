// "Quillo Sharpen": a blurred copy first, then the unsharp mask against it.
#pragma once

#include "algorithms/SmoothAlgorithm.h"
#include "algorithms/UnsharpMaskAlgorithm.h"
#include "editor/adjust/RepairDlg.h"

inline constexpr UINT IDD_QUILLO_SHARPEN = 216;
inline constexpr UINT IDC_SHARPEN_AUTO = 1193;
inline constexpr UINT IDC_SHARPEN_RADIUS = 1194;
inline constexpr UINT IDC_SHARPEN_AMOUNT = 1196;
inline constexpr UINT IDC_SHARPEN_THRESHOLD = 1198;
inline constexpr UINT IDC_SHARPEN_EDGE = 1201;

class CQuilloSharpenDlg : public CRepairDlg {
public:
    explicit CQuilloSharpenDlg(CWnd* parent);
    ~CQuilloSharpenDlg() override;

    BOOL OnInitDialog() override;
    void RunAlgorithm() override;

    int amount = 24;
    int threshold = 0;
    int radius = 32;
    int autoMode = 0;
    UnsharpMaskParams block{};
    CImgSliderCtrl amountSlider;
    CImgSliderCtrl thresholdSlider;
    CImgSliderCtrl radiusSlider;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL RunSecondStage() override;

    afx_msg void OnAuto();
    afx_msg void OnSharpenEdge();
    DECLARE_MESSAGE_MAP()

private:
    void EnableSliders();

    SmoothAlgorithm smooth;
    SmoothParams smoothBlock{};
    UnsharpMaskAlgorithm sharpen;
    CQLImage blurred;
};
