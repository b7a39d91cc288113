// Defog: the local darkest and brightest grey levels, measured on a small
// copy and smoothed, give each pixel a local range that is stretched towards
// black and white.
#pragma once

#include "algorithms/EffectAlgorithm.h"

struct DefogParams {
    INT strength; // percent; 0 changes nothing
};

class DefogAlgorithm : public EffectAlgorithm {
public:
    // The longer side of the copy the local range is measured on.
    static constexpr int kMeasureSide = 200;

    ~DefogAlgorithm() override;

    // params: DefogParams. 0 or E_FAIL.
    HRESULT Apply(const void* params) override;

private:
    bool MeasureExtremes(CQLImage& small);

    INT strength = 0;
    INT localMax = 0; // of the last window measured
    INT localMin = 0;
    INT window = 0;   // edge of the square window
};
