// Rasterises a polygon into an 8-bit mask with anti-aliased edges.
#pragma once

#include "imagecore/QLChannel.h"
#include "platform/win/WinTypes.h"

#include <vector>

// Sets the mask bytes inside the polygon to 255 (others keep their value),
// then gives every pixel where the mask changes 16 x the number of its 16
// sub-samples that lie inside (255 when all do). The points are joined in
// order; the last is not joined back to the first, so a closed outline
// repeats its first point. 0, or E_FAIL for fewer than 3 points, a missing
// mask or mask data, or when memory runs out (the mask may then be partly filled).
HRESULT FillPolygonMask(const std::vector<POINT>& points, CQLChannel* mask);
