#include "album/shell/FullWindowAnimation.h"

namespace shelf {

RECT FullWindowAnimation::CellRect(const RECT& item, bool detailMode)
{
    RECT r = item;
    if (detailMode) {
        r.right = r.left + (r.bottom - r.top);
    } else {
        r.left += 5;
        r.top += 5;
        r.right -= 5;
        r.bottom -= 20;
    }
    return r;
}

bool FullWindowAnimation::OnScreen(const RECT& r, int sw, int sh)
{
    return r.right > 0 && r.bottom > 0 && r.left < sw && r.top < sh && r.right > r.left && r.bottom > r.top;
}

std::vector<RECT> FullWindowAnimation::ShowSteps(const RECT& cell, int sw, int sh)
{
    std::vector<RECT> steps;
    if (!OnScreen(cell, sw, sh))
        return steps;
    const LONG w = cell.right - cell.left, h = cell.bottom - cell.top;
    const LONG cx = (cell.left + cell.right) / 2, cy = (cell.top + cell.bottom) / 2;
    RECT last = cell;
    for (int k = 10; k >= 0; --k) {
        const int s = 10 - k;
        const LONG x = (k * cx + s * (sw / 2)) / 10, y = (k * cy + s * (sh / 2)) / 10;
        last = {x - w / 2, y - h / 2, x - w / 2 + w, y - h / 2 + h};
        steps.push_back(last);
    }
    const RECT base = last;
    for (int n = 3; n >= 0; --n) {
        const int s = 3 - n;
        steps.push_back({n * base.left / 3, n * base.top / 3, (n * base.right + s * sw) / 3,
                         (n * base.bottom + s * sh) / 3});
    }
    return steps;
}

std::vector<RECT> FullWindowAnimation::HideSteps(const RECT& cell, int sw, int sh)
{
    std::vector<RECT> steps;
    if (!OnScreen(cell, sw, sh))
        return steps;
    const LONG w = cell.right - cell.left, h = cell.bottom - cell.top;
    const RECT t{sw / 2 - w / 2, sh / 2 - h / 2, sw / 2 - w / 2 + w, sh / 2 - h / 2 + h};
    for (int i = 1; i <= 3; ++i)
        steps.push_back({i * t.left / 3, i * t.top / 3, (i * t.right + (3 - i) * sw) / 3,
                         ((3 - i) * sh + i * t.bottom) / 3});
    const LONG cx = (cell.left + cell.right) / 2, cy = (cell.top + cell.bottom) / 2;
    for (int n = 5; n >= 0; --n) {
        const int s = 5 - n;
        const LONG x = (s * cx + n * (sw / 2)) / 5, y = (s * cy + n * (sh / 2)) / 5;
        steps.push_back({x - w / 2, y - h / 2, x - w / 2 + w, y - h / 2 + h});
    }
    return steps;
}

} // namespace shelf
