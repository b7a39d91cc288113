// The capture program's pixel work without windows: cutting the selection
// out of a screen snapshot, and camera frames into images.
#pragma once

#include "imagecore/QLImage.h"
#include "platform/win/WinTypes.h"

#include <cstddef>

namespace snap {

// The selection cut from a snapshot. A selection without width or height
// means the whole snapshot; one reaching past the snapshot is clipped to it.
// Rows stay in the image's order (top line first), so the saved file shows
// the selection the right way up. False (out left empty) when nothing is
// left.
bool CropSnapshot(const CQLImage& snapshot, RECT selection, CQLImage* out);

// Where a sw x sh frame goes in target keeping its shape, centred
// (whole-number halving of the margins).
RECT FitFrame(RECT target, int sw, int sh);

// Frame bytes into an image (top line first, the image's order). Only
// BI_RGB frames of 8 or 24 bits a pixel whose bytes cover every padded row
// are taken; rows are bottom-up, or top-down for a negative height. False
// otherwise.
bool FrameToImage(const BITMAPINFOHEADER& format, const BYTE* bits, std::size_t size, CQLImage* out);

} // namespace snap
