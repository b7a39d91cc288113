// Resamples a part of a 32-bit image to a given size for the preview:
// block averaging when a side is one pixel, bilinear otherwise.
#pragma once

#include "platform/win/WinTypes.h"

class CQLImage;

namespace develop {

// source (x, y, w, h) into dest at width x height; w or h -1 is the rest of
// the row or column. The rectangle is cut to the source image. With a zero
// width or height, or nothing of the rectangle inside the source, dest is
// made one white pixel. dest keeps its buffer when it already has that size.
// FALSE when dest cannot be created.
BOOL ResampleRect(const CQLImage* source, CQLImage* dest, int width, int height, int x, int y, int w, int h);

} // namespace develop
