// Hue shift and saturation and brightness curves, each a table indexed by
// the pixel's hue, applied in the codec's HSB form.
#pragma once

#include "algorithms/EffectAlgorithm.h"

struct HsbCurveParams {
    INT hueShift[256];        // added to the hue, on a circle of 256 steps
    INT saturationCurve[256]; // -128 .. 128: -128 grey, 0 unchanged, 128 doubled
    INT brightnessCurve[256]; // shares of 1/256 of the pixel's colourfulness
};
static_assert(sizeof(HsbCurveParams) == 3072);

class HsbCurveAlgorithm : public EffectAlgorithm {
public:
    ~HsbCurveAlgorithm() override;

    // params: HsbCurveParams (as stored in theme files; out-of-range entries
    // are clamped). 0 or E_FAIL.
    HRESULT Apply(const void* params) override;

private:
    HsbCurveParams param = {};
};
