// Resizes to a size given as a pixel count, an explicit size or a factor.
#pragma once

#include "algorithms/EffectAlgorithm.h"
#include "algorithms/ResampleAlgorithm.h"

struct ResizeSpec {
    enum : BYTE { PixelCount = 0, ExplicitSize = 1, Factor = 2 };
    BYTE mode;
    union {
        INT count;  // PixelCount
        DWORD size; // ExplicitSize: width in the low 16 bits, height in the high
        float factor;
    } value;
};

class ResizeBySpecAlgorithm : public EffectAlgorithm {
public:
    // params: ResizeSpec. A value of 0 copies the source (0, or 8 when the
    // target cannot be made); a side outside 1..10000 or an unknown mode is
    // E_FAIL; otherwise the resize effect's result.
    HRESULT Apply(const void* params) override;

private:
    ResampleAlgorithm resample;
};
