// A separable Gaussian blur that weights every neighbour by its alpha and
// leaves pixels of alpha 0 alone, so a caller blurs only a selected region.
#pragma once

#include "algorithms/EffectAlgorithm.h"
#include "imagecore/QLImage.h"

struct MaskedBlurParams {
    INT radius;
};

class MaskedGaussianBlurAlgorithm : public EffectAlgorithm {
public:
    MaskedGaussianBlurAlgorithm() = default;
    ~MaskedGaussianBlurAlgorithm() override;

    // params: MaskedBlurParams. 0 or E_FAIL.
    HRESULT Apply(const void* params) override;

    int GetSigma() const { return sigma; }
    int GetTaps() const { return taps; }
    const int* GetWeights() const { return weights; }

private:
    bool Pass(const CQLImage& from, CQLImage& to, bool vertical, int progressLo, int progressHi);

    CQLImage work;
    int weights[128] = {};
    int sigma = 0;
    int taps = 1;
};
