// Resamples a part of a 32-bit image to a given size for the preview:
// block averaging when a side is one pixel, bilinear otherwise.
#pragma once

#include "platform/win/WinTypes.h"

#include <vector>

class CQLImage;

namespace develop {

// source (x, y, w, h) into dest at width x height; w or h -1 is the rest of
// the row or column. The rectangle is cut to the source image. With a zero
// width or height, or nothing of the rectangle inside the source, dest is
// made one white pixel. dest keeps its buffer when it already has that size.
// FALSE when dest cannot be created.
BOOL ResampleRect(const CQLImage* source, CQLImage* dest, int width, int height, int x, int y, int w, int h);

// Marks in used (n entries) the source columns or rows that the bilinear
// path reads when n samples are resampled to count; count and n above 1.
void MarkBilinearReads(int count, int n, std::vector<char>& used);

} // namespace develop
