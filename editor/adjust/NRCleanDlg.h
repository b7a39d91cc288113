// "Advanced Skin Clean": skin smoothing, whitening and tint under a skin
// mask, with optional grain.
#pragma once

#include "algorithms/AdvancedSkinCleanAlgorithm.h"
#include "editor/adjust/RepairDlg.h"

inline constexpr UINT IDD_NR_CLEAN = 282;
inline constexpr UINT IDC_CLEAN_RADIUS = 1194;
inline constexpr UINT IDC_CLEAN_WHOLE = 1423;
inline constexpr UINT IDC_CLEAN_SKIN = 1424;
inline constexpr UINT IDC_CLEAN_PINK = 1425;
inline constexpr UINT IDC_CLEAN_AMOUNT = 1426;
inline constexpr UINT IDC_CLEAN_TEXTURE = 1428;
inline constexpr UINT IDC_CLEAN_USER_NR = 1429;

class CNRCleanDlg : public CRepairDlg {
public:
    explicit CNRCleanDlg(CWnd* parent);
    ~CNRCleanDlg() override;

    BOOL OnInitDialog() override;
    void RunAlgorithm() override;

    int wholeImage = 5;
    int skinLevel = 10;
    int morePink = 30;
    int amount = 50;
    int radius = 8;
    int userNoiseReduction = 0;
    int fakeTexture = 1;
    AdvancedSkinCleanParams block{};
    CImgSliderCtrl sliders[5];

protected:
    void DoDataExchange(CDataExchange* pDX) override;

    afx_msg void OnCheck();
    DECLARE_MESSAGE_MAP()

private:
    AdvancedSkinCleanAlgorithm algorithm;
    // The effect writes its skin mask into its source's alpha: it gets a
    // copy, so the open photo is never written.
    CQLImage source;
};
