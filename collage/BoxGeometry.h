// The geometry of boxes: their nominal size, paste ranges, the corner maps
// from frame to photo, and the edits the canvas makes to a box.
#pragma once

#include "collage/CollageTemplate.h"
#include "platform/win/WinTypes.h"

namespace collage {

struct BoxSize {
    int width = 0;
    int height = 0;
};

// From the diagonals and the mean edge lengths.
BoxSize NominalBoxSize(const FrameBox& box);

// The largest range of the box's aspect centred in a photo of width x
// height; the whole photo when a side of either is 0.
RECT BestRatioRange(int photoWidth, int photoHeight, BoxSize box);

// The factor a photo is scaled by at the paste range's OK: 1 when the range
// covers at most 4 x the box's area (or any side is 0).
double PasteRangeScale(const RECT& range, BoxSize box);
// range with every edge multiplied by g and truncated.
RECT ScaleRange(const RECT& range, double g);

// u = a1 x + b1 y + c1, v = a2 x + b2 y + c2.
struct AffineMap {
    double a1 = 0, b1 = 0, c1 = 0, a2 = 0, b2 = 0, c2 = 0;
};

// The four maps that send three box corners each onto the range's corners.
// false when three corners of a map lie on one line.
bool CornerMaps(const FrameBox& box, const RECT& range, AffineMap maps[4]);

// Canvas edits. Each returns false (box unchanged) when the result is not
// allowed. Frame size w x h.
// A rectangle from two frame points, normalised and clamped; false when a
// side is under 4 pixels.
bool BoxFromDrag(BoxPoint a, BoxPoint b, int w, int h, FrameBox* box);
// Corner i to point: kept when both diagonal midpoints stay inside.
bool MoveCorner(FrameBox* box, int corner, BoxPoint to);
// The saved box moved by (dx, dy): kept when every corner stays in the frame.
bool MoveBox(const FrameBox& saved, int dx, int dy, int w, int h, FrameBox* box);
// The saved box turned about its centre by the angle from press to pointer.
bool RotateBox(const FrameBox& saved, BoxPoint press, BoxPoint pointer, int w, int h, FrameBox* box);

} // namespace collage
