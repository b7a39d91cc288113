// Cuts the quadrilateral given by four corners out of the photo and
// straightens it into a rectangle.
#pragma once

#include "algorithms/EffectAlgorithm.h"
#include "platform/win/WinTypes.h"

struct PerspectiveParams {
    POINT topLeft, topRight, bottomLeft, bottomRight; // source pixels
};

class PerspectiveAlgorithm : public EffectAlgorithm {
public:
    // params: PerspectiveParams. 0, or E_FAIL for missing images, an output
    // side under 5 or above the source's, a target that cannot be made, or a
    // cancel. The output's alpha is 0. source may not be the target.
    HRESULT Apply(const void* params) override;

    // Output size of a block: the mean lengths of opposite edges, each
    // length truncated.
    static void OutputSize(const PerspectiveParams& p, int* width, int* height);

private:
    PerspectiveParams corners = {};
};
