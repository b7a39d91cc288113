// Out-of-focus lens imitation: every pixel becomes the mean of the pixels
// under an aperture shape, optionally with highlights expanded first so that
// bright points bloom into the aperture's shape.
#pragma once

#include "algorithms/EffectAlgorithm.h"
#include "imagecore/QLImage.h"

struct LoseFocusParams {
    BYTE aperture[128 * 128]; // row by row; non-zero = inside; top-left 2r x 2r used
    INT radius;               // 1..64
    INT highlights;           // non-zero: average expanded luma
};

class LoseFocusBlurAlgorithm : public EffectAlgorithm {
public:
    LoseFocusBlurAlgorithm();
    ~LoseFocusBlurAlgorithm() override;

    // params: LoseFocusParams. 0, or E_FAIL (images, params, work memory,
    // cancel). An aperture without a cell inside leaves a copy of the source.
    HRESULT Apply(const void* params) override;

private:
    LoseFocusParams param;
    CQLImage padded;
    int padX = 0;
    int padY = 0;
    int expanded[256] = {};
};
