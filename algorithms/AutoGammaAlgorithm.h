// A gamma curve that brings the mean brightness of a masked area to 160; one
// step of automatic processing.
#pragma once

#include "algorithms/EffectAlgorithm.h"

class AutoGammaAlgorithm : public EffectAlgorithm {
public:
    // Extra image 0 is the mask (the source's size): pixels whose mask alpha
    // exceeds 100 are measured. No parameters. 0 or E_FAIL; a mask that
    // selects nothing leaves the copy as it is.
    HRESULT Apply(const void* params) override;
};
