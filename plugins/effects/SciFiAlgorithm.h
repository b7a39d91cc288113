// Large-radius local contrast on the luma: the difference between the image
// and its smoothed self, smoothed again, added to the codec's luma.
#pragma once

#include "algorithms/EffectAlgorithm.h"

struct SciFiParams {
    INT radius;
    INT k;      // luma gain: the difference times k / 64
    INT unused; // kept, never read
};

class SciFiAlgorithm : public EffectAlgorithm {
public:
    // Overwrites the source's alpha with the detail plane. 0 or E_FAIL.
    HRESULT Apply(const void* params) override;
    // A cancel of the host also stops this run and its smoothing steps.
    void SetCancelSource(EffectAlgorithm* other) { cancelSource = other; }
    int TestCancel() override;

    // (6G + 3R + B) / 10 of a B, G, R, A pixel.
    static int Luma(const BYTE* pixel) { return (6 * pixel[1] + 3 * pixel[2] + pixel[0]) / 10; }

private:
    HRESULT Smooth(CQLImage* from, CQLImage* into, int radius, bool alphaOnly, int low, int high);

    EffectAlgorithm* cancelSource = nullptr;
    SciFiParams param = {};
};
