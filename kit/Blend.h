// Blend modes and the ways a layer is laid onto a picture. Every pass keeps
// to the area both the layer and the target really cover, and splits its
// rows over the cores without changing a byte of the result.
#pragma once

#include "imagecore/QLImage.h"

#include <algorithm>
#include <cstdlib>

namespace kit {

class ImageLayer;
class LayeredDocument;

enum BlendMode : int { kNormal = 0, kDarken = 1, kLighten = 2, kMultiply = 5, kScreen = 6, kDifference = 10 };

template <int Mode>
inline int BlendChannel(int b, int s)
{
    if constexpr (Mode == kDarken)
        return std::min(b, s);
    else if constexpr (Mode == kLighten)
        return std::max(b, s);
    else if constexpr (Mode == kMultiply)
        return (b * s + 127) / 255;
    else if constexpr (Mode == kScreen)
        return 255 - ((255 - b) * (255 - s) + 127) / 255;
    else if constexpr (Mode == kDifference)
        return std::abs(b - s);
    else
        return s;
}

// One channel of base b under source s in the given mode (any unknown mode
// is normal).
int Blend(int mode, int b, int s);

// Lays a visible layer onto the picture at the layer's place; the picture's
// alpha stays. g = (alpha * opacity + 127) / 255 weighs the blend.
void ComposeLayer(CQLImage& picture, const ImageLayer& layer);

// The picture gets layer 0's size and colour and every layer above composed
// onto it. With withAlpha its alpha is the document mask (0 where the mask's
// size is not the picture's), else 0. False without layers or memory.
bool ComposeDocument(const LayeredDocument& document, CQLImage& picture, bool withAlpha);

// Blends a layer into the background for good (its alpha becomes 255),
// weighing by e = opacity * alpha / 255 rounded down; hidden layers too.
// Only within the canvas's width and height.
void BlendIntoBackground(CQLImage& background, const ImageLayer& layer, int canvasWidth, int canvasHeight);

// Composes a layer onto a picture with transparency, the picture's alpha
// growing with each layer; hidden layers too.
void ComposeWithAlpha(CQLImage& picture, const ImageLayer& layer);

}  // namespace kit
