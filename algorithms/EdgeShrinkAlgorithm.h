// Sharpening by narrowing edges: near an edge, each pixel's brightness is
// pulled towards the local minimum or maximum.
#pragma once

#include "algorithms/EffectAlgorithm.h"
#include "imagecore/QLImage.h"

#include <vector>

struct EdgeShrinkParams {
    INT strength; // 256 is full; the menu command uses 200
};

class EdgeShrinkAlgorithm : public EffectAlgorithm {
public:
    EdgeShrinkAlgorithm() = default;
    ~EdgeShrinkAlgorithm() override;

    // params: EdgeShrinkParams. 0, or E_FAIL (images, params, the target
    // copy, cancel). The source is only read.
    HRESULT Apply(const void* params) override;

private:
    EdgeShrinkParams param = {};
    std::vector<BYTE> edges; // edge strength per pixel, 0 on the border
};

// The "&Edge Shrink" command: image shrunk in place. 1, or 0 with the image
// unchanged.
int EdgeShrinkImage(CQLImage& image, int strength);
