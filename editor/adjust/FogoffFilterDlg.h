// "Defog Filter": one amount for the local contrast stretch.
#pragma once

#include "algorithms/DefogAlgorithm.h"
#include "editor/adjust/RepairDlg.h"

inline constexpr UINT IDD_FOGOFF = 320;
inline constexpr UINT IDC_FOGOFF_AMOUNT = 1196;

class CFogoffFilterDlg : public CRepairDlg {
public:
    explicit CFogoffFilterDlg(CWnd* parent);
    ~CFogoffFilterDlg() override;

    BOOL OnInitDialog() override;
    void RunAlgorithm() override;

    int amount = 80;
    DefogParams block{};
    CImgSliderCtrl amountSlider;

protected:
    void DoDataExchange(CDataExchange* pDX) override;

private:
    DefogAlgorithm algorithm;
};
