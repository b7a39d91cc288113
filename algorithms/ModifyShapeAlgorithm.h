// Warps the photo by a grid of displacement vectors painted with a brush:
// each pixel between grid points reads the source at its position plus the
// bilinear blend of the four surrounding vectors.
#pragma once

#include "algorithms/EffectAlgorithm.h"
#include "imagecore/QLImage.h"

#include <vector>

class ModifyShapeAlgorithm : public EffectAlgorithm {
public:
    ModifyShapeAlgorithm() = default;
    ~ModifyShapeAlgorithm() override;

    // Copies columns x rows (dx, dy) pairs, row by row, and the cell size.
    void SetWarpGrid(const float* pairs, int cellSize, int columns, int rows);

    // params: only passed to the input check. 0, or E_FAIL (images, a grid
    // without the ceil(w / cell) x ceil(h / cell) pairs the photo needs,
    // memory, cancel).
    HRESULT Apply(const void* params) override;

private:
    std::vector<float> grid; // dx, dy per grid point
    int cell = 0;
};
