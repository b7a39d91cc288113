// One iterated pass of the direction-voting denoise: an edge direction per
// pixel from the grey level and the colour bytes, a neighbourhood vote on it,
// then averaging along strong edges and towards the local colour mean on weak
// ones; an optional chroma smoothing in YUV.
#pragma once

#include "algorithms/EffectAlgorithm.h"
#include "imagecore/QLImage.h"

#include <vector>

struct DenoiseParams {
    INT iterations; // 1..4; others are clamped
    INT chroma;     // non-zero runs the chroma stage
};

class DenoisePassAlgorithm : public EffectAlgorithm {
public:
    DenoisePassAlgorithm() = default;
    ~DenoisePassAlgorithm() override;

    // params: DenoiseParams. 0, or E_FAIL for missing images, a null block, a
    // target that is the source, a failed copy or a cancel (the target is
    // then in RGB, unfinished).
    HRESULT Apply(const void* params) override;

    // Bytes 0 and 3 the direction code, 1 and 2 the magnitude (after a run:
    // see the chroma stage).
    const CQLImage& EdgeImage() const { return edgeImage; }

private:
    void MapDirections();
    void VoteDirections();
    void FilterAlongDirections();
    HRESULT Abandon();
    bool SmoothChroma(); // false on a cancel
    void RestoreLuma();
    void RestoreColour();

    CQLImage edgeImage;
    CQLImage workImage;
    int chroma = 0;
    int iterations = 1;
    bool inYuv = false;
    std::vector<BYTE> planes; // bytes of the work or edge image, one plane each
    int width = 0;
    int height = 0;
};
