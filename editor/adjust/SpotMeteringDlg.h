// "Exposure Correction" by spot metering: the mean brightness of the square
// around a click sets one power curve for the whole photo.
#pragma once

#include "editor/adjust/WhiteBalanceDlg.h"

class CSpotMeteringDlg : public CWhiteBalanceDlg {
public:
    explicit CSpotMeteringDlg(CWnd* parent);

    BOOL OnInitDialog() override;
    BOOL StartClickJob(POINT imagePoint) override;

    // The click of the running job; the mean and exponent it measured.
    POINT clicked{};
    int meteredMean = -1;

private:
    // 1 when the mean is outside the gate and nothing changes.
    static int Meter(void* dialog, FilterHost* host);

    FilterHost host;
};

int RunSpotMeteringDlg(CWnd* parent);
