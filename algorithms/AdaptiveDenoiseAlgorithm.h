// Noise reduction that measures the noise itself: edge-directed smoothing of
// the luminance, a noise estimate from the flattest 16 x 16 area, a 5 x 5
// block-matching average, optional chroma smoothing by value similarity, and
// a final mix with a light blur of the source away from edges.
#pragma once

#include "algorithms/AreaShrinkAlgorithm.h"
#include "algorithms/EffectAlgorithm.h"
#include "algorithms/SmoothAlgorithm.h"
#include "imagecore/QLChannel.h"
#include "imagecore/QLImage.h"

#include <vector>

struct AdaptiveDenoiseParams {
    INT reduceColorSpots; // 0 or 1
};

class AdaptiveDenoiseAlgorithm : public EffectAlgorithm {
public:
    AdaptiveDenoiseAlgorithm() = default;
    ~AdaptiveDenoiseAlgorithm() override;

    // params: AdaptiveDenoiseParams. 0, or E_FAIL for missing images, a null
    // block, a target that is the source, a failed copy, allocation or
    // sub-step, or a cancel.
    HRESULT Apply(const void* params) override;

    int FlatX() const { return flatX; }
    int FlatY() const { return flatY; }
    int FlatScore() const { return flatScore; }
    int MatchThreshold() const { return matchThreshold; }
    const CQLImage& Work() const { return work; }
    const CQLChannel& Detail() const { return detail; }
    const CQLChannel& EdgeMask() const { return edgeMask; }

private:
    bool DetailAndSmooth();
    void EstimateNoise();
    bool ChooseThreshold();
    bool MatchBlocks();
    bool SmoothChromaByte(int index, int base);
    bool MakeEdgeMask();
    void Blend();

    int reduceColorSpots = 0;
    CQLImage work;
    CQLChannel plane;
    CQLChannel detail;
    CQLChannel sourceLuma;
    CQLChannel edgeSmall;
    int flatX = 0;
    int flatY = 0;
    int matchThreshold = 200;
    int flatScore = 0;
    CQLChannel edgeMask;

    int width = 0;
    int height = 0;
    CQLChannel planeCopy;   // the luminance before a smoothing round
    CQLChannel directions;  // 1..4 per inner pixel, 0 on the frame
    CQLImage small;         // the third-size copy for the edge mask
    AreaShrinkAlgorithm shrink;
    SmoothAlgorithm blur;
};
