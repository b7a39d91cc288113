// A skin likelihood 0..255 in the alpha byte of the source: skin-like tone,
// reddish-to-yellow hue and little texture.
#pragma once

#include "algorithms/EffectAlgorithm.h"

class SkinMaskAlgorithm : public EffectAlgorithm {
public:
    ~SkinMaskAlgorithm() override;

    // Writes the mask into the source's alpha (the two outer rows and
    // columns get 0); params is ignored. 0 or E_FAIL.
    HRESULT Apply(const void* params) override;
};
