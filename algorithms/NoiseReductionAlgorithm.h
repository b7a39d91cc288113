// Edge-directed noise reduction in YUV: an edge map with a direction per
// pixel, a noise level from flat dark blocks, spike removal, luminance
// smoothing weighted by how little edge there is, optional chroma smoothing
// among similar neighbours, shadow restore and averaging along edges.
#pragma once

#include "algorithms/EffectAlgorithm.h"
#include "imagecore/QLChannel.h"
#include "imagecore/QLImage.h"

struct NoiseReductionParams {
    INT strength;         // 1..10 ("Amount of Noise")
    INT reduceColorSpots; // 0 or 1
};

class NoiseReductionAlgorithm : public EffectAlgorithm {
public:
    NoiseReductionAlgorithm() = default;
    ~NoiseReductionAlgorithm() override;

    // params: NoiseReductionParams. 0, or E_FAIL for missing images, a null
    // block, a target that is the source, a failed allocation or a cancel
    // (the target is then back in RGB, unfinished).
    HRESULT Apply(const void* params) override;

    const CQLChannel& EdgeMap() const { return edgeMap; }
    const CQLChannel& DirectionMap() const { return directionMap; }
    int NoiseLevel() const { return noiseLevel; }

    // The first steps, public for the tests: the maps from byte 2 of an
    // image in YUV; false when a map cannot be made.
    bool DetectEdges(const CQLImage& yuv);
    bool SupportEdges();
    bool EdgeStrength();
    void EstimateNoise(const CQLImage& yuv);

private:
    bool MakeGrey();
    void RemoveSpikes();
    bool SmoothEdgeMap();
    void StretchEdgeMap();
    bool SmoothLuminance();
    bool SmoothChroma();
    void RestoreShadows();
    bool AverageAlongEdges();
    HRESULT Abandon();

    CQLChannel edgeMap;
    CQLChannel directionMap;
    int noiseLevel = 255;
    int strength = 0;
    int reduceColorSpots = 0;
    CQLChannel scratch; // copies of the edge map or of a target byte
    CQLChannel grey;    // (6G + 3R + B) / 10 of the source
    int width = 0;
    int height = 0;
};
