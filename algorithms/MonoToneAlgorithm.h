// Grey by one of three methods, mixed with the source colours by a strength,
// optionally tinted in shadows, midtones and highlights through per-channel
// tone curves.
#pragma once

#include "algorithms/EffectAlgorithm.h"

struct MonoToneParams {
    BYTE method;                // 0 weighted sum, 1 HSB brightness, 2 weighted sum in linear light; others keep colour
    BYTE weightR, weightG, weightB; // out of 256 (methods 0 and 2)
    BYTE strength;              // share of the grey in the mix, 0..255
    BYTE hueShadow, hueMid, hueHigh; // codec HSB hues of the tints
    BYTE satShadow, satMid, satHigh; // tint amounts; all 0: no tint
    BYTE satScale;              // amounts are scaled by satScale / 256
};
static_assert(sizeof(MonoToneParams) == 12);

class MonoToneAlgorithm : public EffectAlgorithm {
public:
    enum : BYTE { WeightedSum = 0, Brightness = 1, LinearLight = 2 };

    // params: MonoToneParams. 0, or E_FAIL for missing images, a target that
    // cannot be made, or a cancel. source may equal target.
    HRESULT Apply(const void* params) override;

    // The tint curves of a block, index 0 B, 1 G, 2 R; every curve maps 0 to
    // 0 and 255 to 255.
    static void TintCurves(const MonoToneParams& p, BYTE curves[3][256]);

private:
    void BuildLinearTables();

    MonoToneParams param = {};
    int linear[256] = {};      // (i / 255)^2.5 in 1/16 levels, 0..4080
    BYTE fromLinear[4096] = {}; // its inverse
};
