#include "editor/retouch/PaintViewMath.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace paintview {

namespace {

constexpr double kLadder[] = {0.1, 0.2, 0.25, 0.33, 0.5, 0.66, 1, 1.5, 2, 3, 4, 5, 8, 10, 16, 20};
// 1 / (1 / z) is not always z again.
constexpr double kSlack = 1e-9;

// Left edge of size centred in span; a negative spare rounds down.
int Centred(int span, int size)
{
    const int spare = span - size;
    return spare >= 0 ? spare / 2 : -((1 - spare) / 2);
}

}  // namespace

double ZoomIn(double zoom)
{
    for (double z : kLadder) {
        if (z > zoom + kSlack)
            return z;
    }
    return kLadder[std::size(kLadder) - 1];
}

double ZoomOut(double zoom)
{
    for (auto it = std::rbegin(kLadder); it != std::rend(kLadder); ++it) {
        if (*it < zoom - kSlack)
            return *it;
    }
    return kLadder[0];
}

void Layout(PaintView& view, int clientW, int clientH, int imageW, int imageH)
{
    const bool hasImage = imageW > 0 && imageH > 0;
    view.hBar = hasImage && clientW * view.scale < imageW;
    view.vBar = hasImage && clientH * view.scale < imageH;
    view.viewRect = RECT{0, 0, clientW - (view.vBar ? kBarThickness : 0), clientH - (view.hBar ? kBarThickness : 0)};
    const int visibleW = Width(view.viewRect), visibleH = Height(view.viewRect);
    if (hasImage) {
        if (imageW < visibleW * view.scale + view.scrollX)
            view.scrollX = static_cast<int>(imageW - visibleW * view.scale);
        if (imageH < visibleH * view.scale + view.scrollY)
            view.scrollY = static_cast<int>(imageH - visibleH * view.scale);
        view.scrollX = std::max(0, view.scrollX);
        view.scrollY = std::max(0, view.scrollY);
    } else {
        view.scrollX = view.scrollY = 0;
        view.imageRect = RECT{0, 0, 0, 0};
        return;
    }
    const int shownW = static_cast<int>(imageW / view.scale);
    const int shownH = static_cast<int>(imageH / view.scale);
    RECT& r = view.imageRect;
    if (view.hBar) {
        r.left = view.viewRect.left;
        r.right = view.viewRect.right;
    } else {
        r.left = view.viewRect.left + Centred(visibleW, shownW);
        r.right = r.left + shownW;
    }
    if (view.vBar) {
        r.top = view.viewRect.top;
        r.bottom = view.viewRect.bottom;
    } else {
        r.top = view.viewRect.top + Centred(visibleH, shownH);
        r.bottom = r.top + shownH;
    }
}

POINT ViewToImage(const PaintView& view, int x, int y)
{
    return POINT{static_cast<LONG>(std::trunc((x - view.imageRect.left) * view.scale)) + view.scrollX,
                 static_cast<LONG>(std::trunc((y - view.imageRect.top) * view.scale)) + view.scrollY};
}

POINT ImageToView(const PaintView& view, int x, int y)
{
    return POINT{static_cast<LONG>(std::trunc((x - view.scrollX) / view.scale)) + view.imageRect.left,
                 static_cast<LONG>(std::trunc((y - view.scrollY) / view.scale)) + view.imageRect.top};
}

RECT SourceRegion(const PaintView& view, int imageW, int imageH)
{
    int w = view.hBar ? static_cast<int>(Width(view.viewRect) * view.scale) : imageW;
    int h = view.vBar ? static_cast<int>(Height(view.viewRect) * view.scale) : imageH;
    w = std::min(w, imageW - view.scrollX);
    h = std::min(h, imageH - view.scrollY);
    return RECT{view.scrollX, view.scrollY, std::max(0, w), std::max(0, h)};
}

}  // namespace paintview
