// The pixel work of the effect dialogs' previews: blending the effect's
// result over the source by a layer mode, limiting it to a mask, and the
// histograms. Headless, so the benchmarks link it without windows.
#pragma once

#include "imagecore/QLChannel.h"
#include "imagecore/QLImage.h"

#include <cstdint>

enum LayerBlendMode {
    kBlendNormal = 0,
    kBlendMultiply = 1,
    kBlendScreen = 2,
    kBlendLighten = 3,
    kBlendDarken = 4,
    kBlendOverlap = 5,
    kBlendHardLight = 6,
    kBlendSoftLight = 7,
    kBlendDifference = 8,
};
inline constexpr int kBlendModeCount = 9;

// One channel of source s and effect result r (0..255) by mode; unknown
// modes give r.
int BlendPixel(int mode, int s, int r);

struct LayerBlend {
    int mode = kBlendNormal;
    int opacity = 255;  // 0..255
    bool active = false;  // the layer set-up asks for a blend
};

// Blends result over source in place. With sizes equal and the layer
// active: each of B, G, R = (s * (255 - f) + f * BlendPixel) / 255, with
// f = opacity, times mask / 255 where a mask is given. Otherwise with a mask:
// the mask placed at offset in the result mixes source and result by its
// value. A mask larger than the result is ignored; alpha stays the result's.
void BlendResult(const CQLImage& source, CQLImage* result, const LayerBlend& layer, const CQLChannel* mask,
                 POINT offset);

// Counts per value of R, G, B and luminance (6G + 3R + B) / 10.
enum HistogramChannel { kHistR = 0, kHistG = 1, kHistB = 2, kHistLuminance = 3 };
using HistogramTable = uint32_t[256][4];

// Every pixel up to 319,999 pixels, else every (count / 320000)-th in memory
// order. An image without pixels leaves the table untouched.
void ComputeHistogram(const CQLImage* image, HistogramTable table);
