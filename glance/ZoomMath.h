// The zoom view's arithmetic: zoom steps, best fit, scroll clamping and where
// the photo lands in the client area. No window needed.
#pragma once

#include "platform/win/WinTypes.h"

namespace glance {

inline constexpr double kZoomSteps[11] = {0.1, 0.2, 0.3333, 0.5, 0.6666, 1, 2, 3, 4, 6, 8};

double NextZoomIn(double zoom);
double NextZoomOut(double zoom);
// Never above 1: small photos are not enlarged.
double BestFitZoom(int clientW, int clientH, int photoW, int photoH);
// One axis of the scroll origin kept inside the photo.
int ClampOrigin(int origin, int client, double zoom, int photo);
// The client rectangle, shrunk to the photo's scaled size where it is smaller.
RECT ImageRect(int clientW, int clientH, int photoW, int photoH, double zoom);
// The photo pixels shown for the (clamped) origin, inside the photo.
RECT VisiblePart(int originX, int originY, int clientW, int clientH, int photoW, int photoH, double zoom);
// The photo pixel under a client point (each axis clamped to the photo).
POINT PhotoPixelAt(POINT client, const RECT& imageRect, POINT origin, double zoom, int photoW, int photoH);

} // namespace glance
