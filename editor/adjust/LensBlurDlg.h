// "Lose Focus Blur": a lens blur through an aperture shape taken from a
// picture, on a smaller copy for large radii.
#pragma once

#include "editor/adjust/RepairDlg.h"
#include "editor/adjust/RepairRules.h"

inline constexpr UINT IDD_LENS_BLUR = 261;
inline constexpr UINT IDC_LENS_RADIUS = 1194;
inline constexpr UINT IDC_LENS_HIGHLIGHT = 1242;
inline constexpr UINT IDC_LENS_ROUND = 1288;
inline constexpr UINT IDC_LENS_POLYGON6 = 1289;
inline constexpr UINT IDC_LENS_POLYGON8 = 1290;
inline constexpr UINT IDC_LENS_SHAPE = 1291;

class CLensBlurDlg : public CRepairDlg {
public:
    explicit CLensBlurDlg(CWnd* parent);
    ~CLensBlurDlg() override;

    BOOL OnInitDialog() override;
    void RunAlgorithm() override;

    void SetShape(int newShape);

    CQLImage shapes;
    int shape = 0;
    int radius = 8;
    int enhance = 1;
    LoseFocusParams block{};
    CImgSliderCtrl radiusSlider;

protected:
    void DoDataExchange(CDataExchange* pDX) override;

    afx_msg void OnDrawItem(int id, LPDRAWITEMSTRUCT dis);
    afx_msg void OnShape(UINT id);
    afx_msg void OnEnhance();
    DECLARE_MESSAGE_MAP()

private:
    repair::LensBlurPipeline pipeline;
    bool ready = false;
};
