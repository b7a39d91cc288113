// A soft glow layer from the photo's highlights: the grey level cubed,
// smoothed at several scales. The dialog blends it over the photo.
#pragma once

#include "algorithms/EffectAlgorithm.h"
#include "imagecore/QLImage.h"

struct HighlightDiffuseParams {
    INT radius; // of the multi-scale smoothing
};

class HighlightDiffuseAlgorithm : public EffectAlgorithm {
public:
    ~HighlightDiffuseAlgorithm() override;

    // params: HighlightDiffuseParams. The target becomes the glow layer
    // (alpha kept from the source). 0, E_FAIL or the smoothing's error.
    HRESULT Apply(const void* params) override;

private:
    CQLImage glow;
    INT radius = 0;
};
