// A two-colour linear gradient at any angle laid over the photo, like a
// graduated lens filter: either each channel is tinted by the gradient's
// colour, or the photo is brightened and darkened by its grey level.
#pragma once

#include "algorithms/EffectAlgorithm.h"

#include <cstddef>

struct GradientFilterParams {
    INT tintMode;      // non-zero: tint each channel; 0: by the gradient's grey level
    INT offset;        // added in grey-level mode
    CPixel colorStart; // B, G, R, A
    CPixel colorEnd;
    INT startPercent;  // positions along the gradient axis
    INT endPercent;
    INT amount;
    double angle;      // radians
};
static_assert(sizeof(GradientFilterParams) == 40 && offsetof(GradientFilterParams, angle) == 32);

class GradientFilterAlgorithm : public EffectAlgorithm {
public:
    GradientFilterAlgorithm();
    ~GradientFilterAlgorithm() override;

    // params: GradientFilterParams. 0 or E_FAIL.
    HRESULT Apply(const void* params) override;

    // Copies the block and prepares the angle and the tone tables; the
    // dialog's lens preview calls it before FilterPixel.
    void SetParams(const void* params);
    // The filtered pixel at (x, y) from the centre of an image whose half
    // diagonal is half (> 0); y grows downward. Alpha is kept.
    CPixel FilterPixel(int x, int y, int half, CPixel pixel) const
    {
        const double f = (cosAngle * x - sinAngle * y) * 50 / half + 50;
        const Shade& s = shades[ShadeAt(f)];
        pixel.b = s.map[0][pixel.b];
        pixel.g = s.map[1][pixel.g];
        pixel.r = s.map[2][pixel.r];
        return pixel;
    }

private:
    static constexpr int kLowestTint = 64;
    static constexpr int kHighestTint = 192;

    // The byte maps for blue, green and red under one gradient colour.
    struct Shade {
        const BYTE* map[3];
    };
    static constexpr int kStartShade = 257; // after the 257 interpolation steps
    static constexpr int kEndShade = 258;

    void FillTintTable();
    void FillGreyTable();
    Shade ShadeOf(CPixel colour) const;

    // The shade at position f (percent along the axis).
    int ShadeAt(double f) const
    {
        if (f > param.endPercent)
            return kEndShade;
        if (f <= param.startPercent)
            return kStartShade;
        // Here startPercent < f <= endPercent: no division by 0, and x is in
        // 0 .. 256, rounded half away from zero (trunc plus the exact
        // fraction). A position that is not a number (a half diagonal of 0
        // at the centre) takes step 0.
        const double x = (f - param.startPercent) * 256 / (static_cast<double>(param.endPercent) - param.startPercent);
        if (!(x >= 0.0 && x <= 256.0))
            return 0;
        const int whole = static_cast<int>(x);
        return whole + (x - whole >= 0.5 ? 1 : 0);
    }

    GradientFilterParams param = {};
    double sinAngle = 0.0;
    double cosAngle = 1.0;
    double lnHalf = 0.0;
    // byte -> filtered byte for each tint level t (tint mode) or each grey
    // level of the gradient colour (grey-level mode).
    BYTE tintTable[kHighestTint - kLowestTint + 1][256] = {};
    BYTE greyTable[256][256] = {};
    Shade shades[kEndShade + 1] = {};
};
