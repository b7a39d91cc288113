// The album's gradient fill: a dithered two-colour ramp, optionally mixed
// with a tiled texture, drawn 1:1 into a rectangle of a DC.
#pragma once

#include "imagecore/QLImage.h"
#include "platform/afx/DC.h"

#include <cstdint>

namespace shelf {

void FillGradient(CDC* dc, RECT rect, POINT a, POINT b, BOOL linear, COLORREF colorA, COLORREF colorB,
                  const CQLImage* texture, int textureWeight);
// Restarts the dither's numbers (tests compare pixels).
void SeedGradientDither(std::uint32_t seed);

} // namespace shelf
