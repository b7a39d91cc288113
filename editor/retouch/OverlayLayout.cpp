#include "editor/retouch/OverlayLayout.h"

#include <algorithm>
#include <cstring>

RECT FitObjectRect(int w, int h, int photoW, int photoH)
{
    while ((w > photoW || h > photoH) && (w > 1 || h > 1)) {
        w /= 2;
        h /= 2;
    }
    return RECT{0, 0, w, h};
}

BOOL ShiftRectIntoPhoto(RECT* rect, int photoW, int photoH)
{
    const int w = rect->right - rect->left, h = rect->bottom - rect->top;
    if (w > photoW || h > photoH)
        return FALSE;
    const auto shift = [](LONG* lo, LONG* hi, int limit) {
        if (*lo < 0) {
            *hi -= *lo;
            *lo = 0;
        }
        if (*hi >= limit) {
            const LONG back = *hi - (limit - 1);
            *lo = std::max<LONG>(0, *lo - back);
            *hi -= back;
        }
    };
    shift(&rect->left, &rect->right, photoW);
    shift(&rect->top, &rect->bottom, photoH);
    return TRUE;
}

OverlayBlendParams MakeOverlayJob(const RECT& rect, int mode, int opacity, int objectKind,
                                  const OverlayEffects& e)
{
    OverlayBlendParams job{};
    job.x = rect.left;
    job.y = rect.top;
    job.width = rect.right - rect.left;
    job.height = rect.bottom - rect.top;
    job.mode = static_cast<BYTE>(std::clamp(mode, 0, 8));
    job.opacity = static_cast<BYTE>(std::clamp(opacity, 0, 255));
    job.fill = objectKind;
    job.shadow = e.shadowOn;
    job.shadowDx = e.shadowX;
    job.shadowDy = e.shadowY;
    job.shadowBlur = e.shadowBlur;
    std::memcpy(job.shadowColour, e.shadowColour, 4);
    job.bevel = e.embossOn;
    job.bevelDepth = e.embossDepth;
    job.bevelMargin = e.embossBlur;
    job.bevelStrength = e.embossOpacity;
    job.lightDirection = e.embossDirection;
    job.outline = e.emissionOn;
    job.outlineWidth = e.emissionDepth;
    job.outlineFade = e.emissionBlur;
    // B, G, R, A bytes read as one little-endian word are 0xAARRGGBB.
    job.outlineColour = static_cast<DWORD>(e.emissionColour[0]) | static_cast<DWORD>(e.emissionColour[1]) << 8 |
                        static_cast<DWORD>(e.emissionColour[2]) << 16 | static_cast<DWORD>(e.emissionColour[3]) << 24;
    return job;
}

namespace navigator {

RECT Box(const RECT& client, int imageW, int imageH)
{
    RECT area{client.left + 10, client.top + 6, client.right - 6, client.bottom - 6};
    const long long aw = area.right - area.left, ah = area.bottom - area.top;
    if (imageW <= 0 || imageH <= 0 || aw <= 0 || ah <= 0)
        return RECT{};
    if (aw * imageH > ah * imageW) {
        const LONG w = static_cast<LONG>(ah * imageW / imageH);
        area.left += static_cast<LONG>((aw - w) / 2);
        area.right = area.left + w;
    } else {
        const LONG h = static_cast<LONG>(aw * imageH / imageW);
        area.top += static_cast<LONG>((ah - h) / 2);
        area.bottom = area.top + h;
    }
    if (area.right <= area.left || area.bottom <= area.top)
        return RECT{};
    return area;
}

RECT ViewRect(const RECT& box, int imageW, int imageH, int scrollX, int scrollY, int shownW, int shownH)
{
    const long long bw = box.right - box.left, bh = box.bottom - box.top;
    if (bw <= 0 || bh <= 0 || imageW <= 0 || imageH <= 0)
        return RECT{};
    RECT view{static_cast<LONG>(box.left + scrollX * bw / imageW), static_cast<LONG>(box.top + scrollY * bh / imageH),
              static_cast<LONG>(box.left + (static_cast<long long>(scrollX) + shownW) * bw / imageW),
              static_cast<LONG>(box.top + (static_cast<long long>(scrollY) + shownH) * bh / imageH)};
    view.right = std::min(view.right, box.right);
    view.bottom = std::min(view.bottom, box.bottom);
    return view;
}

bool ViewRectShown(const RECT& box, const RECT& view)
{
    return box.right > box.left && view.left >= box.left && view.left < box.right && view.top >= box.top &&
           view.top < box.bottom;
}

POINT ScrollForPoint(const RECT& box, const RECT& view, POINT point, int imageW, int imageH, POINT scroll)
{
    const long long bw = box.right - box.left, bh = box.bottom - box.top;
    if (bw <= 0 || bh <= 0)
        return scroll;
    const long long cx = (view.left + view.right) / 2, cy = (view.top + view.bottom) / 2;
    return POINT{static_cast<LONG>(scroll.x + (point.x - cx) * imageW / bw),
                 static_cast<LONG>(scroll.y + (point.y - cy) * imageH / bh)};
}

}  // namespace navigator
