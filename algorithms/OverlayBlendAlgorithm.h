// Composites one inserted object (a picture, or a text or shape given by its
// alpha) into the photo with a blend mode and opacity, and optionally a drop
// shadow, an outline around the object and an embossed relief on it.
#pragma once

#include "algorithms/BoxMeanAlgorithm.h"
#include "algorithms/EffectAlgorithm.h"
#include "algorithms/SmoothAlgorithm.h"
#include "imagecore/QLImage.h"

#include <vector>

struct OverlayBlendParams {
    INT x;      // photo column of the object's top-left corner
    INT y;      // photo row of it
    INT width;  // placed size of the object
    INT height;
    BYTE mode;    // 0..8, see OverlayBlendAlgorithm
    BYTE opacity; // multiplies the object's alpha
    INT fill;     // non-zero: the object is a mask coloured with its first pixel
    BYTE reserved[512];
    INT shadow;
    INT shadowDx;
    INT shadowDy;
    INT shadowBlur;       // softness radius r, 0 = hard
    BYTE shadowColour[4]; // B, G, R, opacity
    INT bevel;
    INT bevelDepth;      // light offset D
    INT bevelMargin;     // added to D for the relief's smoothing radius and margin
    INT bevelStrength;   // 0..255
    INT lightDirection;  // 0..7, from the right, clockwise in steps of 45 degrees
    INT outline;
    INT outlineWidth;    // at full strength
    INT outlineFade;     // fall-off beyond it
    DWORD outlineColour; // 0xAARRGGBB
};

class OverlayBlendAlgorithm : public EffectAlgorithm {
public:
    // Blend modes: 0 normal, 1 screen, 2 lighter only, 3 darker only,
    // 4 difference, 5 brightness, 6 colour, 7 multiply, 8 overlay.
    OverlayBlendAlgorithm() = default;
    ~OverlayBlendAlgorithm() override;

    // params: OverlayBlendParams; extra image 0 is the object picture (BGRA).
    // Source = the photo, target = the result. 0; E_FAIL for missing images,
    // a failed stage or a cancel; 8 when the target cannot be made. Every
    // stage keeps to the photo: an object crossing its edge is clipped.
    HRESULT Apply(const void* params) override;

private:
    bool Step(int percent);
    bool PlaceObject();
    bool MaskLighterDarker(const CQLImage& photo);
    bool Shadow();
    bool Blend();
    bool Outline();
    bool Bevel();
    bool Inside(long long px, long long py) const { return px >= 0 && py >= 0 && px < photoWidth && py < photoHeight; }

    OverlayBlendParams param = {};
    CQLImage object; // extra image 0 at its placed size
    CQLImage work;   // shadow mask or relief height map
    CQLImage softened;
    std::vector<int> outlineMap;
    BoxMeanAlgorithm boxMean;
    SmoothAlgorithm smooth;
    int photoWidth = 0;
    int photoHeight = 0;
};
