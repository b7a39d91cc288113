// The direction-voting denoise run tile by tile (about 256 x 256 pixels with
// a 5-pixel overlap), so that the working images stay small.
#pragma once

#include "algorithms/DenoisePassAlgorithm.h"
#include "algorithms/EffectAlgorithm.h"

class TiledDenoiseAlgorithm : public EffectAlgorithm {
public:
    TiledDenoiseAlgorithm() = default;
    ~TiledDenoiseAlgorithm() override;

    // params: DenoiseParams. 0, or E_FAIL for missing images, a null block, a
    // target that is the source, a failed tile or a cancel.
    HRESULT Apply(const void* params) override;

    // The tile grid of a width x height image: columns x rows, each tile
    // size / count with the last one taking the remainder.
    static void TileGrid(int width, int height, int* columns, int* rows);

private:
    DenoiseParams param = {};
};
