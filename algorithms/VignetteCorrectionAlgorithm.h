// Removes dark corners: brightens a ring around a centre by the share of a
// small disc that lies outside the lens circle, and clears what lies beyond.
#pragma once

#include "algorithms/EffectAlgorithm.h"

#include <vector>

struct VignetteParams {
    INT centerX;     // pixels
    INT centerY;
    INT outerRadius; // R1, the lens circle
    INT ringRadius;  // R2, half the width of the ring
};

class VignetteCorrectionAlgorithm : public EffectAlgorithm {
public:
    VignetteCorrectionAlgorithm() = default;
    ~VignetteCorrectionAlgorithm() override;

    // params: VignetteParams. 0, or E_FAIL for missing images, a negative
    // radius, a failed copy or table, or a cancel.
    HRESULT Apply(const void* params) override;

    // Entry r of the table: 0 (inside the ring: unchanged) .. 255 (beyond
    // it: cleared), 255 times the share of the disc of radius r2 at distance
    // r from the centre that lies outside the circle of radius r1.
    static BYTE RingShare(int r1, int r2, long long r);

private:
    VignetteParams param = {};
    std::vector<BYTE> table;
};
