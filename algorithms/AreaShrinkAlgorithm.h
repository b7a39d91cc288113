// The resampling kernel of the resize effect and the adaptive noise filter:
// an area-weighted box filter when both sides shrink, a 12-tap disc kernel
// otherwise.
#pragma once

#include "algorithms/EffectAlgorithm.h"
#include "algorithms/SeparableResizeAlgorithm.h"

#include <vector>

class AreaShrinkAlgorithm : public EffectAlgorithm {
public:
    static constexpr int kPhases = 64; // sub-pixel phases per axis of the disc kernel
    static constexpr int kTaps = 12;

    AreaShrinkAlgorithm();

    // params: ResizeParams, the new size (sides from 1). 0 or E_FAIL.
    HRESULT Apply(const void* params) override;
    // Widens the box support of reductions; 1.4 by default, must be above 0.
    void SetSupportFactor(double factor) { supportFactor = factor; }

    // Weight of channel c of tap t for the phases (px, py).
    WORD DiscWeight(int px, int py, int tap, int c) const
    {
        return discWeights[((static_cast<std::size_t>(py) * kPhases + px) * kTaps + tap) * 4 + c];
    }

private:
    HRESULT Shrink(int newWidth, int newHeight);
    HRESULT Enlarge(int newWidth, int newHeight);

    double supportFactor = 1.4;
    std::vector<WORD> discWeights; // phases y, phases x, taps, 4 channels
};
