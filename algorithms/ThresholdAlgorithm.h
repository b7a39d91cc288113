// Black and white: a global threshold with a soft ramp, an adaptive threshold
// whose levels follow the local contrast, a randomised error diffusion, and
// an ordered halftone of 4 x 4 cells. Every mode writes opaque pixels.
#pragma once

#include "algorithms/EffectAlgorithm.h"
#include "imagecore/QLImage.h"

struct ThresholdParams {
    INT mode;   // 0 threshold, 1 adaptive, 2 random diffusion, 3 halftone; others copy
    INT level;  // mode 0: grey threshold; mode 1: position between dark and bright, 0..255
    INT width;  // width of the grey ramp, in grey levels
    INT detail; // mode 1: 0..100, larger gives smaller neighbourhoods
};

class ThresholdAlgorithm : public EffectAlgorithm {
public:
    enum : INT { Threshold = 0, Adaptive = 1, RandomDiffusion = 2, Halftone = 3 };

    // params: ThresholdParams. 0, or E_FAIL for missing images, a failed
    // copy, a failed level map or a cancel. The halftone target is cut down
    // to whole cells; an image smaller than a cell stays a copy.
    HRESULT Apply(const void* params) override;

    // The adaptive levels of the last mode 1 run: G dark, R bright.
    const CQLImage& GetLevelMap() const { return levelMap; }

private:
    bool RampThreshold();
    HRESULT AdaptiveThreshold();
    bool BuildLevelMap(int mapWidth, int mapHeight);
    bool RandomDiffuse();
    HRESULT HalftoneCells();

    ThresholdParams param = {};
    CQLImage levelMap;
};
