// Hue turn, saturation table and lightness blend in the codec's HSB form.
#pragma once

#include "algorithms/EffectAlgorithm.h"

struct HueSaturationParams {
    INT hue;        // added to the hue byte, modulo 256
    INT saturation; // -128..128
    INT lightness;  // -128..128
};

class HueSaturationAlgorithm : public EffectAlgorithm {
public:
    // params: HueSaturationParams. 0, or E_FAIL for missing images, a failed
    // copy or a cancel. source may equal target.
    HRESULT Apply(const void* params) override;

private:
    HueSaturationParams param = {};
};
