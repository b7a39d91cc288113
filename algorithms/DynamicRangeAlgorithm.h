// Lifts shadows and compresses highlights, weighted by both the pixel's grey
// level and that of a heavily blurred copy, so that whole dark or bright
// regions are treated rather than single pixels; optionally stretches the
// levels first.
#pragma once

#include "algorithms/EffectAlgorithm.h"

// One block for every caller; the defaults are the effect's own.
struct DynamicRangeParams {
    BYTE reserved = 128;        // not read
    BYTE shadowAmount = 0;      // 0: no shadow lift
    BYTE highlightAmount = 128;
    BYTE highlightOn = 0;       // 0: no highlight compression
    INT autoLevels = 1;         // non-zero: stretch the levels first
};
static_assert(sizeof(DynamicRangeParams) == 8);

class DynamicRangeAlgorithm : public EffectAlgorithm {
public:
    ~DynamicRangeAlgorithm() override;

    // params: DynamicRangeParams. Writes the grey level into byte 3 of the
    // source; the target's byte 3 is the blurred grey level, or a copy of the
    // source when there is nothing to do. 0 or E_FAIL.
    HRESULT Apply(const void* params) override;

private:
    void StretchTable(const UINT histogram[256], BYTE table[256]) const;

    DynamicRangeParams param;
};
