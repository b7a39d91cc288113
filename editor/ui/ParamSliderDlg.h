// A slider between a parameter's minimum and maximum, for the parameter
// grid's "..." button.
#pragma once

#include "platform/afx/Dialog.h"

inline constexpr UINT IDD_PARAM_SLIDER = 314;
inline constexpr int IDC_PARAM_SLIDER = 1401;
inline constexpr int IDC_PARAM_SLIDER_MIN = 1402;
inline constexpr int IDC_PARAM_SLIDER_MAX = 1403;

class CParamSliderDlg : public CDialog {
public:
    explicit CParamSliderDlg(CWnd* parent = nullptr);

    // The tick frequency and page size of a range: a twentieth, at least 1.
    static int TickStep(int minimum, int maximum);

    CString m_caption;
    int m_minimum = 0;
    int m_maximum = 100;
    int m_value = 0;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
};
