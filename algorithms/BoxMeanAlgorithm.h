// Square mean filter with edge replication; softens the overlay's shadow mask.
#pragma once

#include "algorithms/EffectAlgorithm.h"
#include "imagecore/QLImage.h"

#include <vector>

struct BoxMeanParams {
    INT size; // window side n; 0 leaves a copy
};

class BoxMeanAlgorithm : public EffectAlgorithm {
public:
    BoxMeanAlgorithm() = default;
    ~BoxMeanAlgorithm() override;

    // params: BoxMeanParams. 0, or E_FAIL (images, params, the copy, the
    // padded image, cancel). Output alpha is 0 (except for n = 0).
    HRESULT Apply(const void* params) override;

private:
    BoxMeanParams param = {};
    std::vector<int> sumR, sumG, sumB; // per padded column
    CQLImage padded;
};
