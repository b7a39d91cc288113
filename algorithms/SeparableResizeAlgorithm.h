// Scales an image with the cubic line resampler: all columns, a transpose,
// all columns again and a transpose back.
#pragma once

#include "algorithms/EffectAlgorithm.h"

struct ResizeParams {
    INT width;
    INT height;
};

class SeparableResizeAlgorithm : public EffectAlgorithm {
public:
    // params: ResizeParams, the new size (sides from 1). 0 or E_FAIL. The
    // target must not be the source.
    HRESULT Apply(const void* params) override;

private:
    INT newWidth = 0;
    INT newHeight = 0;
};

namespace resample {

// Every column of the width x lines image src resampled to dstLines lines
// into dst (width x dstLines); false when the resampler had no memory.
bool ResampleColumns(BYTE* dst, const BYTE* src, int width, int srcLines, int dstLines);
// dst (height x width) = src (width x height) turned about its diagonal.
void Transpose(DWORD* dst, const DWORD* src, int width, int height);

} // namespace resample
