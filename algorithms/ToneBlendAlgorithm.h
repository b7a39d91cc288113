// Blends a corrected image (the source) back into the image before the
// correction by a 256-entry weight table, indexed by grey level or by hue.
#pragma once

#include "algorithms/EffectAlgorithm.h"

struct ToneBlendParams {
    INT mode;            // low byte only: 0 by grey level, 1 by hue
    BYTE weights[256];   // share of the corrected image, 0..255
    CQLImage* reference; // the image before correction; not owned
    INT flag;            // set by callers, not read
};

class ToneBlendAlgorithm : public EffectAlgorithm {
public:
    enum : BYTE { ByGrey = 0, ByHue = 1 };

    // params: ToneBlendParams. 0, or E_FAIL for missing images, a reference
    // that is missing or not of the source's size, a target that cannot be
    // made, or a cancel. Mode 0 writes each pixel's grey into the source's
    // alpha. The target's alpha is the reference's; other modes copy the
    // source whole.
    HRESULT Apply(const void* params) override;

private:
    ToneBlendParams param = {};
};
