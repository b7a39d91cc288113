// The curve maths of "HSB Curve": 13 handles per mode spread over the hue
// circle, the last tied to the first, and the 256-entry table each mode's
// handles make. Headless.
#pragma once

#include "platform/win/WinTypes.h"

namespace hsbcurve {

inline constexpr int kHandles = 13;
inline constexpr int kModes = 3;  // hue shift, saturation, brightness
inline constexpr int kLimit = 127;
inline constexpr int kLevels[kHandles] = {0, 21, 42, 64, 85, 106, 128, 149, 170, 192, 213, 234, 255};

struct HsbPoint {
    int x = 0;      // hue level
    int value = 0;  // -127..127
    int sx = 0;     // screen point
    int sy = 0;
};

// The handles of one mode placed from its table on plot P.
void PlaceHandles(const RECT& plot, const INT table[256], HsbPoint points[kHandles]);
// The handle's rectangle: its screen point +-5.
RECT HandleRect(const HsbPoint& p);
// Handle index follows the mouse's y on plot P; handle 0 and 12 move
// together.
void Drag(const RECT& plot, int mouseY, HsbPoint points[kHandles], int index);
// The table through the handles: periodic Hermite slopes, values + 0.5
// truncated toward zero, clamped to +-127.
void Rebuild(const HsbPoint points[kHandles], INT table[256]);

} // namespace hsbcurve
