// The size of an image as a SIZE, for the dialogs' layout arithmetic.
#pragma once

#include "imagecore/QLImage.h"

inline SIZE PictureSize(const CQLImage& image)
{
    UINT w = 0, h = 0;
    image.GetSize(&w, &h);
    return SIZE{static_cast<LONG>(w), static_cast<LONG>(h)};
}
