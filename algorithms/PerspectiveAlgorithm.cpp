#include "algorithms/PerspectiveAlgorithm.h"

#include "algorithms/PointRows.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>
#include <vector>

namespace {

int Length(const POINT& a, const POINT& b)
{
    const double dx = static_cast<double>(a.x) - b.x, dy = static_cast<double>(a.y) - b.y;
    return static_cast<int>(std::min(std::sqrt(dx * dx + dy * dy), 2147483647.0));
}

} // namespace

void PerspectiveAlgorithm::OutputSize(const PerspectiveParams& p, int* width, int* height)
{
    *width = static_cast<int>((static_cast<long long>(Length(p.topLeft, p.topRight)) + Length(p.bottomLeft, p.bottomRight)) / 2);
    *height = static_cast<int>((static_cast<long long>(Length(p.topLeft, p.bottomLeft)) + Length(p.topRight, p.bottomRight)) / 2);
}

HRESULT PerspectiveAlgorithm::Apply(const void* params)
{
    if (EffectAlgorithm::Apply(params) != 0 || !params || target == source)
        return E_FAIL;
    std::memcpy(&corners, params, sizeof corners);
    UINT w = 0, h = 0;
    source->GetSize(&w, &h);
    int outWidth = 0, outHeight = 0;
    OutputSize(corners, &outWidth, &outHeight);
    if (outWidth < 5 || outHeight < 5 || outWidth > static_cast<int>(w) || outHeight > static_cast<int>(h))
        return E_FAIL;
    if (target->Create(outWidth, outHeight) != 0)
        return E_FAIL;
    Progress(10);

    const double tlx = corners.topLeft.x, tly = corners.topLeft.y, trx = corners.topRight.x, try_ = corners.topRight.y;
    const double blx = corners.bottomLeft.x, bly = corners.bottomLeft.y;
    const double brx = corners.bottomRight.x, bry = corners.bottomRight.y;
    const int maxX = static_cast<int>(w) - 2, maxY = static_cast<int>(h) - 2;
    // Column fractions once, not a division per pixel.
    std::vector<double> columnU;
    try {
        columnU.resize(static_cast<std::size_t>(outWidth));
    } catch (const std::bad_alloc&) {
        return E_FAIL;
    }
    for (int j = 0; j < outWidth; ++j)
        columnU[j] = static_cast<double>(j) / outWidth;
    const bool done = ForEachRow(*this, outWidth, outHeight, 10, 100, [&](int i) {
        const double v = static_cast<double>(i) / outHeight;
        BYTE* out = target->GetBuffer(0, i);
        for (int j = 0; j < outWidth; ++j, out += 4) {
            const double u = columnU[j];
            // Bilinear blend of the four corners.
            double px = (1 - u) * (1 - v) * tlx + u * (1 - v) * trx + (1 - u) * v * blx + u * v * brx;
            double py = (1 - u) * (1 - v) * tly + u * (1 - v) * try_ + (1 - u) * v * bly + u * v * bry;
            px = std::max(px, 0.0);
            py = std::max(py, 0.0);
            int x = static_cast<int>(std::min(px, 2147483647.0));
            int y = static_cast<int>(std::min(py, 2147483647.0));
            const int a = static_cast<int>((1 - (px - x)) * 255);
            const int b = static_cast<int>((1 - (py - y)) * 255);
            x = std::min(x, maxX);
            y = std::min(y, maxY);
            const BYTE* upper = source->GetBuffer(x, y);
            const BYTE* lower = source->GetBuffer(x, y + 1);
            for (int c = 0; c < 3; ++c) {
                const int top = (a * upper[c] + (255 - a) * upper[c + 4]) >> 8;
                const int bottom = (a * lower[c] + (255 - a) * lower[c + 4]) >> 8;
                out[c] = static_cast<BYTE>((b * top + (255 - b) * bottom) >> 8);
            }
            out[3] = 0;
        }
    });
    if (!done)
        return E_FAIL;
    Progress(100);
    return 0;
}
