// "HDR Detail Control": the share of the darker, the reference and the
// brighter exposure by luminance, with a preview from 512-pixel thumbnails.
#pragma once

#include "editor/ui/ImgSliderCtrl.h"
#include "editor/ui/SkinDialog.h"
#include "imagecore/QLImage.h"

class CMultiWork;
struct MergePhoto;

inline constexpr UINT IDD_HDR_DETAIL = 334;
inline constexpr UINT IDC_HDR_HIGHLIGHT = 1445;
inline constexpr UINT IDC_HDR_SHADOW = 1446;
inline constexpr UINT IDC_HDR_MIDTONE = 1447;
inline constexpr UINT IDC_HDR_ENHANCE = 1550;
inline constexpr UINT IDC_HDR_PREVIEW = 1148;
inline constexpr UINT IDC_HDR_DARKER = 1321;
inline constexpr UINT IDC_HDR_REFERENCE = 1322;
inline constexpr UINT IDC_HDR_BRIGHTER = 1323;

struct HDRShares {
    int highlight; // the darker photo's share
    int midtone;   // the reference's
    int shadow;    // the brighter photo's
};

class CHDRDetailDlg : public CSkinDialog {
public:
    CHDRDetailDlg(CMultiWork* work, CWnd* parent);

    // brightTable[k] = clamp(shadow - a, 0, 100), darkTable[k] =
    // clamp(highlight + a, 0, 100), a = (k - 128) * enhance / 200.
    static void BuildTables(int shadow, int highlight, int enhance, BYTE bright[256], BYTE dark[256]);
    // The moved slider keeps its value; the other two share the rest in
    // their previous ratio; Mid tone stays at least 1.
    static HDRShares Rebalance(HDRShares shares, UINT moved);
    void ComputePreview();

    CQLImage result, brighter, reference, darker;
    MergePhoto* brighterPhoto = nullptr;
    MergePhoto* referencePhoto = nullptr;
    MergePhoto* darkerPhoto = nullptr;
    CImgSliderCtrl m_sliders[4]; // highlight, mid tone, shadow, enhance
    BYTE brightTable[256] = {};
    BYTE darkTable[256] = {};

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    afx_msg void OnDrawItem(int id, LPDRAWITEMSTRUCT item);
    afx_msg void OnSliderReleased(UINT id, NMHDR* nm, LRESULT* result);
    afx_msg void OnEnhanceReleased(NMHDR* nm, LRESULT* result);
    DECLARE_MESSAGE_MAP()

private:
    HDRShares Shares() const;
    int Enhance() const;
    void ReadTables();

    CMultiWork* m_work;
};
