// Skin retouch guided by a soft skin mask in the alpha byte: brightening,
// whitening and tint of the skin, smoothing by a masked Gaussian blur or the
// edge-directed noise reduction, an optional fine grain, and local contrast
// restored inside the mask.
#pragma once

#include "algorithms/EffectAlgorithm.h"

struct AdvancedSkinCleanParams {
    INT whitening;     // used as whitening / 4
    INT brightness;    // 50 = neutral
    INT tint;          // used as tint / 4
    INT blurRadius;    // for the masked Gaussian blur
    INT useMaskedBlur; // non-zero: masked Gaussian blur, 0: noise reduction
    INT grain;         // non-zero: add grain
    INT smoothPercent; // weight of the smoothed skin
    INT maskReady;     // non-zero: the source's alpha already holds the mask
};

class AdvancedSkinCleanAlgorithm : public EffectAlgorithm {
public:
    // params: AdvancedSkinCleanParams. Unless maskReady is set, the skin
    // mask is written into the source's alpha. 0 or E_FAIL (also for a cancel).
    HRESULT Apply(const void* params) override;

    // P(a): entry i = min(255, trunc((i / 256)^e x 256)), e = 1 - 0.02a for
    // a <= 0, else 1 / (1 + 0.02a).
    static void PowerTable(int amount, BYTE table[256]);

    // Seed of the grain's generator, fixed so that a preview and the final
    // run give the same picture.
    static constexpr unsigned kGrainSeed = 1;

private:
    HRESULT Smooth();
    HRESULT AddGrain();
    HRESULT LocalContrast();

    AdvancedSkinCleanParams param = {};
};
