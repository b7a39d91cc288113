// "Enhance Dynamic Range": lifts the shadows and tames the highlights.
#pragma once

#include "algorithms/DynamicRangeAlgorithm.h"
#include "editor/adjust/ToneSliderDlg.h"

inline constexpr UINT IDD_DYNAMIC_RANGE = 263;
inline constexpr UINT IDC_DYNAMIC_SHADOW = 1196;
inline constexpr UINT IDC_DYNAMIC_HIGHLIGHT = 1330;

class CDynamicRangeDlg : public CToneSliderDlg {
public:
    explicit CDynamicRangeDlg(CWnd* parent);
    ~CDynamicRangeDlg() override;

    BOOL OnInitDialog() override;
    void RunAlgorithm() override;

    DynamicRangeParams params;

private:
    // The effect writes grey levels into the alpha of its source and its
    // target: it runs on a copy, and the result gets the photo's alpha back.
    static int Run(void* dialog, FilterHost* host);

    DynamicRangeAlgorithm algorithm;
    FilterHost host;
    CQLImage sourceCopy;
};

int RunDynamicRangeDlg(CWnd* parent);
