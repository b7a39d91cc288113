// Measures how a second shot of a series is displaced against a reference
// shot: a textured window in each quadrant of the reference is searched for
// in the other shot, and an affine mapping is fitted to the displacements.
#pragma once

#include "algorithms/EffectAlgorithm.h"
#include "imagecore/QLChannel.h"
#include "imagecore/QLImage.h"

struct AntiShakeParams {
    INT enabled;    // 0: do nothing
    INT reserved;   // not read
    INT searchSize; // 0 small, 1 medium, 2 large
};

struct ShakeVector {
    INT x;
    INT y;
};

// A point (x, y) of the reference lies at (xFromX x + xFromY y + xOffset,
// yFromX x + yFromY y + yOffset) in the other shot.
struct ShakeMapping {
    double xFromX = 1;
    double xFromY = 0;
    double xOffset = 0;
    double yFromX = 0;
    double yFromY = 1;
    double yOffset = 0;
};

class AntiShakeAlgorithm : public EffectAlgorithm {
public:
    AntiShakeAlgorithm();
    ~AntiShakeAlgorithm() override;

    // source: the reference shot; target: the shot to align, of the same
    // size. params: AntiShakeParams. Grey mode writes each image's grey into
    // its alpha; blurred-match mode writes the source's high-pass value into
    // its alpha and replaces every byte of the target by its own. 0, or
    // E_FAIL for missing or unequal images, an image too small to hold a
    // search window in each quadrant, a failed preparation or a cancel.
    HRESULT Apply(const void* params) override;

    // Matches high-pass steps of smoothed copies instead of grey levels
    // (for shots of different exposure).
    void SetBlurredMatchMode() { blurredMatchMode = 1; }

    const ShakeMapping& GetMapping() const { return mapping; }
    // 0 once the mapping turns or shears more than a little.
    int IsTransformValid() const { return transformValid; }
    // In order top-left, top-right, bottom-left, bottom-right.
    const ShakeVector* GetPoints() const { return points; }
    const ShakeVector* GetShifts() const { return shifts; }
    const CQLChannel& GetEdgeMap() const { return edgeMap; }
    // Step weight of a high-pass byte in blurred-match mode.
    int StepOf(BYTE b) const { return stepTable[b]; }

private:
    struct Region {
        int x0, x1, y0, y1; // [x0, x1) x [y0, y1)
    };

    bool Regions(int width, int height, Region out[4]) const;
    bool PrepareGrey();
    bool PrepareBlurred();
    bool HighPass(CQLImage& image, bool wholePixel);
    void BuildEdgeMap();
    ShakeVector FindFeature(const Region& region) const;
    ShakeVector CoarseSearch(const ShakeVector& point) const;
    ShakeVector FineSearch(const ShakeVector& point, const ShakeVector& around) const;
    void Fit();

    AntiShakeParams param = {};
    int halfWindow = 40; // w
    int searchRadius = 0; // R
    CQLChannel edgeMap;
    int blurredMatchMode = 0;
    CQLImage work;
    int stepTable[256] = {};
    ShakeVector points[4] = {};
    ShakeVector shifts[4] = {};
    int transformValid = 1;
    ShakeMapping mapping;
};
