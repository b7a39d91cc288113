// Removes the dot or line pattern of a printed and scanned photo: overlapping
// tiles go through a 256 x 256 cosine transform, coefficients that stand out
// above the typical magnitude at their frequency are pulled down, and the
// tile comes back.
#pragma once

#include "algorithms/EffectAlgorithm.h"
#include "imagecore/QLImage.h"

struct DescreenParams {
    INT patternSize; // 0 small, 1 medium, 2 big; any other value suppresses nothing
    INT strength;    // 0..100
    INT lumaOnly;    // non-zero: filter the luma of the YUV form only
    INT twice;       // non-zero: transform, suppress and transform back twice per tile
};

class DescreenAlgorithm : public EffectAlgorithm {
public:
    DescreenAlgorithm() = default;
    ~DescreenAlgorithm() override;

    // params: DescreenParams. 0, or E_FAIL for a failed input check, copy or
    // allocation, or a cancel.
    HRESULT Apply(const void* params) override;

    // Tile geometry: 224 pixels written per tile, read with 16 more on every side.
    static constexpr int kTileStep = 224;
    static constexpr int kMargin = 16;
    static constexpr int kBlockPower = 8; // 256 = 224 + 2 x 16

    // The suppression of one 256 x 256 block of coefficients, in place.
    static void Suppress(double* coefficients, int patternSize, int strength);

private:
    DescreenParams param = {};
    CQLImage work; // the pixels every tile reads: a copy of the source, luma in byte 2 when lumaOnly
};
