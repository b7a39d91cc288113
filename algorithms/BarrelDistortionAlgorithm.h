// Corrects barrel and pincushion distortion: pixels move along the radius by
// a two-segment cubic Hermite curve.
#pragma once

#include "algorithms/EffectAlgorithm.h"

#include <vector>

class BarrelDistortionAlgorithm : public EffectAlgorithm {
public:
    BarrelDistortionAlgorithm() = default;
    ~BarrelDistortionAlgorithm() override;

    // params: one INT strength 0..100 (50 leaves the picture; clamped to that
    // range). Points mapped outside the picture become transparent black.
    // 0, or E_FAIL for missing images, a failed copy or table, or a cancel.
    HRESULT Apply(const void* params) override;

    // Source radius, in units of the table length, for a target radius of x
    // (0..1) at curve knee k: the curve through (0, 0), (k, 1 - k) and (1, 1).
    static double Curve(double k, double x);

private:
    INT strength = 50;
    std::vector<float> table; // entry i: source radius for target radius i
};
