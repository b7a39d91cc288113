#include "collage/BoxGeometry.h"

#include <algorithm>
#include <cmath>

namespace collage {

namespace {

double Distance(BoxPoint a, BoxPoint b)
{
    const double dx = double(a.x) - b.x, dy = double(a.y) - b.y;
    return std::sqrt(dx * dx + dy * dy);
}

double Angle(double dx, double dy)
{
    const double len = std::sqrt(dx * dx + dy * dy);
    if (len == 0)
        return 0;
    const double a = std::acos(dx / len);
    return dy < 0 ? 6.28318530718 - a : a;
}

// The affine map sending (x[i], y[i]) to (u[i], v[i]) for i = 0..2.
bool Solve(const double x[3], const double y[3], const double u[3], const double v[3], AffineMap* m)
{
    const double det = x[0] * (y[1] - y[2]) - y[0] * (x[1] - x[2]) + (x[1] * y[2] - x[2] * y[1]);
    if (det == 0)
        return false;
    auto solve = [&](const double t[3], double* a, double* b, double* c) {
        *a = (t[0] * (y[1] - y[2]) - y[0] * (t[1] - t[2]) + (t[1] * y[2] - t[2] * y[1])) / det;
        *b = (x[0] * (t[1] - t[2]) - t[0] * (x[1] - x[2]) + (x[1] * t[2] - x[2] * t[1])) / det;
        *c = (x[0] * (y[1] * t[2] - y[2] * t[1]) - y[0] * (x[1] * t[2] - x[2] * t[1]) +
              t[0] * (x[1] * y[2] - x[2] * y[1])) /
             det;
    };
    solve(u, &m->a1, &m->b1, &m->c1);
    solve(v, &m->a2, &m->b2, &m->c2);
    return true;
}

bool InFrame(double x, double y, int w, int h) { return x >= 0 && y >= 0 && x <= w && y <= h; }

} // namespace

BoxSize NominalBoxSize(const FrameBox& box)
{
    const double d = std::max(Distance(box.p[0], box.p[2]), Distance(box.p[1], box.p[3]));
    const int hh = static_cast<int>((Distance(box.p[0], box.p[3]) + Distance(box.p[1], box.p[2])) / 2);
    const int ww = static_cast<int>((Distance(box.p[0], box.p[1]) + Distance(box.p[2], box.p[3])) / 2);
    BoxSize size;
    if (hh < ww) {
        size.width = ww;
        size.height = static_cast<int>(std::max(std::sqrt(std::max(0.0, d * d - double(ww) * ww)), double(hh)));
    } else {
        size.width = static_cast<int>(std::max(std::sqrt(std::max(0.0, d * d - double(hh) * hh)), double(ww)));
        size.height = hh;
    }
    return size;
}

RECT BestRatioRange(int photoWidth, int photoHeight, BoxSize box)
{
    RECT r{0, 0, photoWidth, photoHeight};
    if (photoWidth <= 0 || photoHeight <= 0 || box.width <= 0 || box.height <= 0)
        return r;
    const LONGLONG pw = photoWidth, ph = photoHeight, bw = box.width, bh = box.height;
    if (pw * bh > bw * ph) {
        const LONGLONG cut = (pw - bw * ph / bh) / 2;
        r.left = static_cast<LONG>(cut);
        r.right = static_cast<LONG>(pw - cut);
    } else {
        const LONGLONG cut = (ph - bh * pw / bw) / 2;
        r.top = static_cast<LONG>(cut);
        r.bottom = static_cast<LONG>(ph - cut);
    }
    return r;
}

double PasteRangeScale(const RECT& range, BoxSize box)
{
    const double area = double(range.right - range.left) * double(range.bottom - range.top);
    const double limit = 4.0 * box.width * box.height;
    if (box.width <= 0 || box.height <= 0 || area <= limit)
        return 1.0;
    return std::sqrt(limit / area);
}

RECT ScaleRange(const RECT& range, double g)
{
    return RECT{static_cast<LONG>(range.left * g), static_cast<LONG>(range.top * g),
                static_cast<LONG>(range.right * g), static_cast<LONG>(range.bottom * g)};
}

bool CornerMaps(const FrameBox& box, const RECT& range, AffineMap maps[4])
{
    // Range corners in box-corner order: top-left, top-right, bottom-right, bottom-left.
    const double ru[4] = {double(range.left), double(range.right), double(range.right), double(range.left)};
    const double rv[4] = {double(range.top), double(range.top), double(range.bottom), double(range.bottom)};
    // T0 uses p3, p0, p1; T1 p0, p1, p2; T2 p1, p2, p3; T3 p2, p3, p0.
    for (int m = 0; m < 4; ++m) {
        double x[3], y[3], u[3], v[3];
        for (int k = 0; k < 3; ++k) {
            const int c = (m + 3 + k) % 4;
            x[k] = box.p[c].x;
            y[k] = box.p[c].y;
            u[k] = ru[c];
            v[k] = rv[c];
        }
        if (!Solve(x, y, u, v, &maps[m]))
            return false;
    }
    return true;
}

bool BoxFromDrag(BoxPoint a, BoxPoint b, int w, int h, FrameBox* box)
{
    const int left = std::clamp(std::min(a.x, b.x), 0, w), right = std::clamp(std::max(a.x, b.x), 0, w);
    const int top = std::clamp(std::min(a.y, b.y), 0, h), bottom = std::clamp(std::max(a.y, b.y), 0, h);
    if (right - left < 4 || bottom - top < 4)
        return false;
    box->p[0] = {left, top};
    box->p[1] = {right, top};
    box->p[2] = {right, bottom};
    box->p[3] = {left, bottom};
    return true;
}

bool MoveCorner(FrameBox* box, int corner, BoxPoint to)
{
    FrameBox copy = *box;
    copy.p[corner] = to;
    const int mx0 = static_cast<int>((LONGLONG{copy.p[0].x} + copy.p[2].x) / 2);
    const int my0 = static_cast<int>((LONGLONG{copy.p[0].y} + copy.p[2].y) / 2);
    const int mx1 = static_cast<int>((LONGLONG{copy.p[1].x} + copy.p[3].x) / 2);
    const int my1 = static_cast<int>((LONGLONG{copy.p[1].y} + copy.p[3].y) / 2);
    if (!PointInFrameBox(mx0, my0, copy) || !PointInFrameBox(mx1, my1, copy))
        return false;
    *box = copy;
    return true;
}

bool MoveBox(const FrameBox& saved, int dx, int dy, int w, int h, FrameBox* box)
{
    FrameBox moved = saved;
    for (BoxPoint& p : moved.p) {
        p.x += dx;
        p.y += dy;
        if (!InFrame(p.x, p.y, w, h))
            return false;
    }
    *box = moved;
    return true;
}

bool RotateBox(const FrameBox& saved, BoxPoint press, BoxPoint pointer, int w, int h, FrameBox* box)
{
    const int cx = (saved.p[0].x + saved.p[1].x + saved.p[2].x + saved.p[3].x) / 4;
    const int cy = (saved.p[0].y + saved.p[1].y + saved.p[2].y + saved.p[3].y) / 4;
    const double angle = Angle(double(pointer.x) - cx, double(pointer.y) - cy) - Angle(double(press.x) - cx, double(press.y) - cy);
    const double c = std::cos(angle), s = std::sin(angle);
    FrameBox turned;
    for (int i = 0; i < 4; ++i) {
        const double x = cx + (c * (saved.p[i].x - cx) - s * (saved.p[i].y - cy));
        const double y = cy + (s * (saved.p[i].x - cx) + c * (saved.p[i].y - cy));
        if (!InFrame(x, y, w, h))
            return false;
        turned.p[i] = {static_cast<int32_t>(x), static_cast<int32_t>(y)};
    }
    *box = turned;
    return true;
}

} // namespace collage
