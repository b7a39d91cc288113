#include "editor/adjust/HsbCurve.h"

#include "algorithms/NumericHelpers.h"

#include <algorithm>

namespace hsbcurve {

void PlaceHandles(const RECT& P, const INT table[256], HsbPoint points[kHandles])
{
    for (int i = 0; i < kHandles; ++i) {
        HsbPoint& p = points[i];
        p.x = kLevels[i];
        p.value = table[kLevels[i]];
        p.sx = P.left + (P.right - P.left) * i / 12;
        p.sy = (P.top + P.bottom) / 2 - (P.bottom - P.top) * p.value / 256;
    }
}

RECT HandleRect(const HsbPoint& p)
{
    return RECT{p.sx - 5, p.sy - 5, p.sx + 5, p.sy + 5};
}

void Drag(const RECT& P, int mouseY, HsbPoint points[kHandles], int index)
{
    const int y = std::clamp(mouseY, static_cast<int>(P.top) + 1, static_cast<int>(P.bottom) - 1);
    const int h = std::max(1, static_cast<int>(P.bottom - P.top));
    const int value = std::clamp(((static_cast<int>(P.top + P.bottom) / 2 - y) * 256) / h, -kLimit, kLimit);
    points[index].sy = y;
    points[index].value = value;
    if (index == 0 || index == kHandles - 1) {
        HsbPoint& twin = points[index == 0 ? kHandles - 1 : 0];
        twin.sy = y;
        twin.value = value;
    }
}

void Rebuild(const HsbPoint points[kHandles], INT table[256])
{
    double slopes[kHandles];
    for (int i = 1; i < kHandles - 1; ++i)
        slopes[i] = (points[i + 1].value - points[i - 1].value) * 3.0 / 256;
    slopes[0] = slopes[kHandles - 1] = (points[1].value - points[kHandles - 2].value) * 3.0 / 256;
    for (int i = 0; i < kHandles - 1; ++i) {
        const HsbPoint& a = points[i];
        const HsbPoint& b = points[i + 1];
        for (int j = a.x; j <= std::min(b.x, 255); ++j) {
            const double v = HermiteInterpolate(a.x, b.x, a.value, b.value, slopes[i], slopes[i + 1], j) + 0.5;
            table[j] = std::clamp(static_cast<int>(v), -kLimit, kLimit);
        }
    }
}

} // namespace hsbcurve
