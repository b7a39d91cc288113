// Sharpening by the difference between the photo and a blurred copy, only
// where an edge detector finds edges above a threshold.
#pragma once

#include "algorithms/EffectAlgorithm.h"
#include "algorithms/SmoothAlgorithm.h"
#include "imagecore/QLImage.h"

struct UnsharpMaskParams {
    INT radius;    // handed to the blur
    INT amount;    // factor amount / 128
    INT threshold; // grey levels 0..255; 0 sharpens everywhere
};

class UnsharpMaskAlgorithm : public EffectAlgorithm {
public:
    UnsharpMaskAlgorithm() = default;
    ~UnsharpMaskAlgorithm() override;

    // params: UnsharpMaskParams. A blurred copy of the source of the same size
    // may be supplied as extra image 0 (its alpha receives the edge mask);
    // otherwise the effect blurs the source itself. 0 or E_FAIL.
    HRESULT Apply(const void* params) override;

private:
    HRESULT Sharpen(CQLImage* blurred, bool blurredHere);

    UnsharpMaskParams param = {};
    SmoothAlgorithm blur;  // makes the blurred copy when none is supplied
    CQLImage blurImage;    // kept here so nothing outlives the run in the image list
};
