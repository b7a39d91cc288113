// The resize effect: a kernel enlargement (twice for more than double) or an
// area reduction, then, for enlargements, an edge-aware smoothing and an
// unsharp mask in overlapping strips.
#pragma once

#include "algorithms/AreaShrinkAlgorithm.h"
#include "algorithms/EffectAlgorithm.h"
#include "algorithms/SeparableResizeAlgorithm.h"

#include <algorithm>
#include <vector>

class ResampleAlgorithm : public EffectAlgorithm {
public:
    static constexpr int kOverlap = 32; // rows shared by neighbouring strips

    // params: ResizeParams, the target size (sides from 1). 0 or E_FAIL. The
    // target must not be the source.
    HRESULT Apply(const void* params) override;

    // method: non-zero smooths enlargements edge-aware; quality: the support
    // factor of reductions is 1 + (100 - quality) / 100; sharpen: reductions
    // below 0.8 are luma-sharpened by 6 x sharpen.
    void SetOptions(int method, int quality, int sharpen);

    int GetMethod() const { return method; }
    double GetFactor() const { return factor; }
    int GetSharpenAmount() const { return sharpenAmount; }

    // Strip height of the post-pass for a target width.
    static int StripHeight(int width) { return width > 0 ? std::max(64, 600000 / width) : 64; }

private:
    HRESULT StripPass(float scale, bool sharpen);
    struct StripTools;
    const CQLImage* ProcessStrip(StripTools& tools, int begin, int rows, const std::vector<BYTE>* top, float scale,
                                 bool sharpen) const;

    INT width = 0;
    INT height = 0;
    int method = 1;
    double factor = 1.414;
    int sharpenAmount = 50;
    SeparableResizeAlgorithm separable;
    AreaShrinkAlgorithm shrink;
};
