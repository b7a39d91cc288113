#include "album/shell/KitPixels.h"

#include "imagecore/ParallelFor.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace shelf {
namespace {

constexpr double kTinyDistance = 0.00001;

int weightAt(int x, int y, const GradientSpec& spec, double d)
{
    const double ax = x - spec.a.x, ay = y - spec.a.y;
    const double toA2 = ax * ax + ay * ay;
    if (!spec.linear)
        return std::max(0, static_cast<int>(256.0 - std::sqrt(toA2) * 256.0 / d));
    const double bx = x - spec.b.x, by = y - spec.b.y;
    // With A = B the projection is the same for every pixel (a flat 50 %
    // mix); a hard edge at A is what a caller asks for, taken across x.
    const double f = d <= kTinyDistance ? x - spec.a.x : (toA2 + d * d - (bx * bx + by * by)) / (2.0 * d);
    if (f <= 0)
        return 255;
    return std::max(0, static_cast<int>(256.0 - f * 256.0 / d));
}

BYTE channel(COLORREF colour, int shift) { return static_cast<BYTE>((colour >> shift) & 0xFF); }

} // namespace

bool GradientImage(CQLImage& out, int width, int height, const GradientSpec& spec, DitherRandom& random)
{
    if (width <= 0 || height <= 0 || out.Create(static_cast<UINT>(width), static_cast<UINT>(height)) != 0)
        return false;
    const double dx = spec.b.x - spec.a.x, dy = spec.b.y - spec.a.y;
    const double d = std::max(std::sqrt(dx * dx + dy * dy), kTinyDistance);
    // B, G, R of both colours (COLORREF holds R in its low byte).
    const int colA[3] = {channel(spec.colorA, 16), channel(spec.colorA, 8), channel(spec.colorA, 0)};
    const int colB[3] = {channel(spec.colorB, 16), channel(spec.colorB, 8), channel(spec.colorB, 0)};
    UINT tw = 0, th = 0;
    if (spec.texture)
        spec.texture->GetSize(&tw, &th);
    const bool textured = tw > 0 && th > 0;
    for (int y = 0; y < height; ++y) {
        BYTE* p = out.GetBuffer(0, y);
        for (int x = 0; x < width; ++x, p += 4) {
            const int w = weightAt(x, y, spec, d);
            const int n = random.Next() % 4 - 2;
            const BYTE* t = textured ? spec.texture->GetBuffer(x % static_cast<int>(tw), y % static_cast<int>(th)) : nullptr;
            for (int c = 0; c < 3; ++c) {
                int v = std::clamp(((w * colA[c] + (256 - w) * colB[c]) >> 8) + n, 0, 255);
                if (t)
                    v = (spec.textureWeight * t[c] + (256 - spec.textureWeight) * v) >> 8;
                p[c] = static_cast<BYTE>(v);
            }
            p[3] = 255;
        }
    }
    return true;
}

int DibNumColors(const BITMAPINFOHEADER& header)
{
    if (header.biClrUsed != 0)
        return static_cast<int>(header.biClrUsed);
    switch (header.biBitCount) {
    case 1: return 2;
    case 4: return 16;
    case 8: return 256;
    default: return 0;
    }
}

void BlurBackdrop(CQLImage& image)
{
    UINT w = 0, h = 0;
    image.GetSize(&w, &h);
    if (w < 3 || h < 3)
        return;
    const std::size_t stride = std::size_t{w} * 4;
    const std::vector<BYTE> src(image.GetBuffer(0, 0), image.GetBuffer(0, 0) + stride * h);
    auto rows = [&](int from, int to) {
        for (int y = from; y < to; ++y) {
            const BYTE* up = src.data() + (y - 1) * stride;
            const BYTE* mid = up + stride;
            const BYTE* down = mid + stride;
            BYTE* out = image.GetBuffer(0, y);
            for (std::size_t i = 4; i < stride - 4; ++i) {
                if ((i & 3) == 3)
                    continue; // alpha
                const int diagonal = up[i - 4] + up[i + 4] + down[i - 4] + down[i + 4];
                const int edges = up[i] + down[i] + mid[i - 4] + mid[i + 4] + mid[i];
                out[i] = static_cast<BYTE>((diagonal + 2 * edges) / 16);
            }
        }
    };
    imagecore::ParallelFor(1, static_cast<int>(h) - 1, w, rows);
}

} // namespace shelf
