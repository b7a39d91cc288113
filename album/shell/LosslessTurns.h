// The album's lossless quarter turns of JPEG files, by hand and by the
// photos' EXIF orientation.
#pragma once

#include <string>

namespace shelf {

inline constexpr int kTurnRight = 1, kTurnLeft = 3;

// A quarter turn of a JPEG file (other files are left); true when turned.
bool TurnJpeg(const std::string& path, int transform);
// A JPEG stored wider than high whose orientation says 6 or 8 is turned
// upright and its orientation set to 1, so that a second run turns nothing.
// Returns the transform made, 0 for none.
int AutoTurnJpeg(const std::string& path, int width, int height);

} // namespace shelf
