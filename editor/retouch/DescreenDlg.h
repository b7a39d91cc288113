// "Descreening": removes the dot pattern of a scanned print; a demonstration
// of such a print is shown beside the settings.
#pragma once

#include "algorithms/DescreenAlgorithm.h"
#include "editor/adjust/RepairDlg.h"

inline constexpr UINT IDD_DESCREEN = 375;
inline constexpr UINT IDC_DESCREEN_STRENGTH = 1196;
inline constexpr UINT IDC_DESCREEN_DEMO = 1524;
inline constexpr UINT IDC_DESCREEN_SMALL = 1525;
inline constexpr UINT IDC_DESCREEN_MEDIUM = 1526;
inline constexpr UINT IDC_DESCREEN_BIG = 1527;
inline constexpr UINT IDC_DESCREEN_FAST = 1529;
inline constexpr UINT IDC_DESCREEN_TWICE = 1530;

class CDescreenDlg : public CRepairDlg {
public:
    explicit CDescreenDlg(CWnd* parent);
    ~CDescreenDlg() override;

    BOOL OnInitDialog() override;
    void RunAlgorithm() override;

    DescreenParams params{1, 50, 1, 0};

protected:
    void DoDataExchange(CDataExchange* pDX) override;

    afx_msg int OnCreate(LPCREATESTRUCT cs);
    afx_msg void OnPaint();
    afx_msg void OnPatternSize(UINT id);
    afx_msg void OnOption();
    DECLARE_MESSAGE_MAP()

private:
    DescreenAlgorithm algorithm;
    CQLImage demo;
    CImgSliderCtrl strengthSlider;
};
