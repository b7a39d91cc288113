// Stretches the levels between the 0.1 % points of the histogram, on a 16-bit
// work copy so that the curve does not band: one luminance curve for all
// channels, or one curve per channel.
#pragma once

#include "algorithms/EffectAlgorithm.h"
#include "imagecore/16BitBitmap.h"

class AutoLevelsAlgorithm : public EffectAlgorithm {
public:
    ~AutoLevelsAlgorithm() override;

    // params: INT linked; non-zero: one luminance curve for all channels.
    // 0 or E_FAIL; the target is written only at the end.
    HRESULT Apply(const void* params) override;

    // The two-segment stretch: lo..mid onto 0..32767 and mid..hi onto
    // 32767..65534, 0 below lo, 65535 above hi, the identity when lo and hi
    // leave no segment. curve has 65536 entries.
    static void StretchCurve(int lo, int hi, WORD* curve);

private:
    INT linked = 0;
    C16BitBitmap work; // kept between runs: a fresh copy would be faulted in on every Apply
};
