// Contrast-dependent local sharpening, mixed with the unsharpened photo by a
// percentage.
#pragma once

#include "algorithms/EffectAlgorithm.h"
#include "imagecore/QLImage.h"

#include <vector>

struct SharpenTextureParams {
    INT amount; // 0..100, percent of the sharpened value in the result
};

class SharpenTextureAlgorithm : public EffectAlgorithm {
public:
    SharpenTextureAlgorithm() = default;
    ~SharpenTextureAlgorithm() override;

    // params: SharpenTextureParams. 0 or E_FAIL (images, params, copy, cancel).
    HRESULT Apply(const void* params) override;

private:
    SharpenTextureParams param = {};
    std::vector<BYTE> table; // result by (value, 3 x 3 weighted mean)
};

// The "Sharpen Texture" command: amount 50, in place. 1, or 0 with the
// image unchanged.
int SharpenTextureImage(CQLImage& image);
