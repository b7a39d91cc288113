// The post-pass of enlargements: luma pushed towards the local extremes where
// the image has edges, so that enlarged edges stay crisp.
#pragma once

#include "algorithms/EffectAlgorithm.h"

class EdgeAwareSmoothAlgorithm : public EffectAlgorithm {
public:
    // params: one float strength (the resize scale). 0 or E_FAIL. The
    // target's alpha becomes the edge map; the source is left as it is (its
    // grey levels are taken into a plane of their own). The target must not
    // be the source.
    HRESULT Apply(const void* params) override;

    int GetWindowLevel() const { return windowLevel; }

private:
    // The resize effect runs one object per core on strips of its own.
    friend class ResampleAlgorithm;
    bool oneThread = false;

    int windowLevel = 3;
};
