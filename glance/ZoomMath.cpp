#include "glance/ZoomMath.h"

#include <algorithm>

namespace glance {

double NextZoomIn(double zoom)
{
    for (int i = 0; i < 10; ++i)
        if (kZoomSteps[i] > zoom)
            return kZoomSteps[i];
    return 8;
}

double NextZoomOut(double zoom)
{
    for (int i = 10; i >= 1; --i)
        if (kZoomSteps[i] < zoom)
            return kZoomSteps[i];
    return 0.1;
}

double BestFitZoom(int clientW, int clientH, int photoW, int photoH)
{
    if (photoW <= 0 || photoH <= 0)
        return 1;
    const double zoom = static_cast<double>(clientW) * photoH >= static_cast<double>(clientH) * photoW
                            ? static_cast<double>(clientH) / photoH
                            : static_cast<double>(clientW) / photoW;
    return std::min(zoom, 1.0);
}

int ClampOrigin(int origin, int client, double zoom, int photo)
{
    const int visible = static_cast<int>(client / zoom);
    if (photo < visible)
        origin = 0;
    else if (photo < visible + origin)
        origin = photo - visible;
    return std::max(origin, 0);
}

RECT ImageRect(int clientW, int clientH, int photoW, int photoH, double zoom)
{
    RECT r{0, 0, clientW, clientH};
    const int w = static_cast<int>(photoW * zoom), h = static_cast<int>(photoH * zoom);
    if (w < clientW) {
        r.left += (clientW - w) / 2;
        r.right -= (clientW - w) / 2;
    }
    if (h < clientH) {
        r.top += (clientH - h) / 2;
        r.bottom -= (clientH - h) / 2;
    }
    return r;
}

namespace {
// One axis: [start, end) moved back inside [0, size) and cut to it.
void FitSpan(LONG& start, LONG& end, int size)
{
    if (end > size) {
        start -= end - size;
        end = size;
    }
    if (start < 0) {
        end -= start;
        start = 0;
    }
    end = std::min<LONG>(end, size);
}
} // namespace

RECT VisiblePart(int originX, int originY, int clientW, int clientH, int photoW, int photoH, double zoom)
{
    RECT r{originX, originY, originX + static_cast<int>(clientW / zoom), originY + static_cast<int>(clientH / zoom)};
    FitSpan(r.left, r.right, photoW);
    FitSpan(r.top, r.bottom, photoH);
    return r;
}

POINT PhotoPixelAt(POINT client, const RECT& imageRect, POINT origin, double zoom, int photoW, int photoH)
{
    const int x = static_cast<int>((client.x - imageRect.left) / zoom) + origin.x;
    const int y = static_cast<int>((client.y - imageRect.top) / zoom) + origin.y;
    return {std::clamp(x, 0, std::max(photoW - 1, 0)), std::clamp(y, 0, std::max(photoH - 1, 0))};
}

} // namespace glance
