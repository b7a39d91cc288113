#include "algorithms/StarLightAlgorithm.h"

#include "algorithms/RowProgress.h"
#include "imagecore/ParallelFor.h"
#include "platform/codec/ColorForms.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <new>

StarLightAlgorithm::~StarLightAlgorithm() = default;

HRESULT StarLightAlgorithm::Apply(const void* params)
{
    if (EffectAlgorithm::Apply(params) != 0 || !params)
        return E_FAIL;
    std::memcpy(&param, params, sizeof param);
    const CQLImage* star = param.star;
    if (!star || star->GetAreaByteSize() == 0)
        return E_FAIL;
    UINT sw = 0, sh = 0;
    star->GetSize(&sw, &sh);
    if (sw < 2 || sh < 2 || sw > 4096 || sh > 4096)
        return E_FAIL;
    if (!target->DuplicateFrom(source))
        return E_FAIL;

    const int halfW = static_cast<int>(sw) / 2, halfH = static_cast<int>(sh) / 2;
    halfWidth = halfW;
    halfHeight = halfH;
    try {
        cells.clear();
        for (int m = -halfH; m < halfH; ++m) {
            const BYTE* row = star->GetBuffer(0, m + halfH);
            for (int u = -halfW; u < halfW; ++u) {
                const int brightness = row[4 * (u + halfW) + 2];
                if (brightness == 0)
                    continue;
                const int distance = static_cast<int>(std::sqrt(static_cast<double>(u * u + m * m)) * 255 / halfW);
                cells.push_back({u, m, brightness, distance});
            }
        }
    } catch (const std::bad_alloc&) {
        return E_FAIL;
    }

    UINT w = 0, h = 0;
    source->GetSize(&w, &h);
    const int width = static_cast<int>(w), height = static_cast<int>(h);
    const int nx = std::max(1, static_cast<int>(width / 256.0 + 0.5));
    const int ny = std::max(1, static_cast<int>(height / 256.0 + 0.5));
    const int tileW = width / nx, tileH = height / ny;
    const int tiles = nx * ny;
    // Tiles read only the source and write only their own rectangle: any
    // order gives the same photo. Progress counts the tiles done.
    RowProgress progress(*this, tiles, 0, 100);
    std::atomic<bool> failed{false};
    imagecore::ParallelFor(0, tiles, std::size_t{1} << 20, [&](int t0, int t1) {
        TileWork work;
        for (int t = t0; t < t1; ++t) {
            const int ix = t % nx, iy = t / nx;
            const int tx = ix * tileW, ty = iy * tileH;
            const int tw = ix == nx - 1 ? width - tx : tileW;
            const int th = iy == ny - 1 ? height - ty : tileH;
            if (!RenderTile(work, tx, ty, tw, th)) {
                failed.store(true);
                return;
            }
            if (!progress.Advance(1) || failed.load())
                return;
        }
    });
    if (failed.load())
        return E_FAIL;
    if (progress.Cancelled()) {
        Progress(100);
        return E_FAIL;
    }
    Progress(100);
    return 0;
}

bool StarLightAlgorithm::RenderTile(TileWork& work, int tx, int ty, int tw, int th) const
{
    CQLImage& crop = work.crop;
    CQLImage& glow = work.glow;
    std::vector<int>& covered = work.covered;
    const int margin = halfWidth;
    UINT w = 0, h = 0;
    source->GetSize(&w, &h);
    const int width = static_cast<int>(w), height = static_cast<int>(h);
    const int cx0 = std::max(0, tx - margin), cy0 = std::max(0, ty - margin);
    const int cx1 = std::min(width, tx + tw + margin), cy1 = std::min(height, ty + th + margin);
    const int cw = cx1 - cx0, ch = cy1 - cy0;
    if (crop.Create(cw, ch) != 0)
        return false;
    for (int i = 0; i < ch; ++i)
        std::memcpy(crop.GetBuffer(0, i), source->GetBuffer(cx0, cy0 + i), static_cast<std::size_t>(cw) * 4);
    work.smooth.SetImages(&crop, &glow);
    const SmoothParams radius = {2};
    if (work.smooth.Apply(&radius) != 0)
        return false;

    // Shining pixels: alpha of the glow by how far above the threshold; the
    // colours become the crop's unsmoothed ones.
    const int t = param.threshold;
    bool any = false;
    try {
        covered.assign(static_cast<std::size_t>(cw + 1) * (ch + 1), 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    for (int i = 0; i < ch; ++i) {
        BYTE* g = glow.GetBuffer(0, i);
        const BYTE* c = crop.GetBuffer(0, i);
        int* sums = covered.data() + static_cast<std::size_t>(i + 1) * (cw + 1);
        const int* above = sums - (cw + 1);
        int rowCount = 0;
        for (int j = 0; j < cw; ++j, g += 4, c += 4) {
            const int grey = (g[1] * 6 + g[2] * 3 + g[0]) / 10;
            const bool shines = grey > t;
            g[3] = shines ? static_cast<BYTE>((grey - t) * 255 / (256 - t)) : 0;
            any = any || shines;
            rowCount += shines ? 1 : 0;
            sums[j + 1] = above[j + 1] + rowCount;
            g[0] = c[0], g[1] = c[1], g[2] = c[2];
        }
    }
    if (!any) { // nothing shines: the tile is the photo itself
        for (int i = 0; i < th; ++i)
            std::memcpy(target->GetBuffer(tx, ty + i), source->GetBuffer(tx, ty + i), static_cast<std::size_t>(tw) * 4);
        return true;
    }

    // Each shining pixel (bx, by) marks the square bx - s .. bx + s - 1 by
    // by - s .. by + s - 1 (s = half the star's width), saturating at 255, and
    // only the mark's being non-zero is used: a pixel is marked when some
    // shining pixel lies in px - s + 1 .. px + s by py - s + 1 .. py + s.
    const int s = margin;
    auto marked = [&](int px, int py) {
        const int x0 = std::max(0, px - s + 1), x1 = std::min(cw, px + s + 1);
        const int y0 = std::max(0, py - s + 1), y1 = std::min(ch, py + s + 1);
        if (x0 >= x1 || y0 >= y1)
            return false;
        const std::size_t stride = static_cast<std::size_t>(cw) + 1;
        const int* c = covered.data();
        return c[y1 * stride + x1] - c[y0 * stride + x1] - c[y1 * stride + x0] + c[y0 * stride + x0] > 0;
    };

    // Glints only for the tile's own pixels: the margin is not kept, and a
    // glint reads only the glow's alpha, which no glint changes.
    const long long gain = static_cast<long long>(param.intensity) * 1024 / 100 + 256;
    const bool colour = param.colour != 0;
    const int ox = tx - cx0, oy = ty - cy0;
    const std::ptrdiff_t stride = static_cast<std::ptrdiff_t>(cw) * 4;
    try {
        work.offsets.resize(cells.size());
    } catch (const std::bad_alloc&) {
        return false;
    }
    for (std::size_t k = 0; k < cells.size(); ++k)
        work.offsets[k] = cells[k].m * stride + cells[k].u * 4 + 3;
    const std::ptrdiff_t* offsets = work.offsets.data();
    const StarCell* cell = cells.data();
    const std::size_t cellCount = cells.size();
    for (int r = 0; r < th; ++r) {
        const int py = oy + r;
        const bool rowsInside = py - halfHeight >= 0 && py + halfHeight <= ch;
        BYTE* g = glow.GetBuffer(ox, py);
        for (int px = ox; px < ox + tw; ++px, g += 4) {
            if (!marked(px, py))
                continue;
            long long sum = 0, dist = 0;
            int count = 0;
            if (rowsInside && px - halfWidth >= 0 && px + halfWidth <= cw) {
                // The whole star lies on the glow: no clipping per cell.
                for (std::size_t k = 0; k < cellCount; ++k) {
                    const int j = g[offsets[k]];
                    if (j == 0)
                        continue;
                    sum += (cell[k].brightness * j * gain) >> 16;
                    ++count;
                    dist += cell[k].distance;
                }
            } else {
                for (std::size_t k = 0; k < cellCount; ++k) {
                    const int qx = px + cell[k].u, qy = py + cell[k].m;
                    if (qx < 0 || qy < 0 || qx >= cw || qy >= ch)
                        continue;
                    const int j = glow.GetBuffer(qx, qy)[3];
                    if (j == 0)
                        continue;
                    sum += (cell[k].brightness * j * gain) >> 16;
                    ++count;
                    dist += cell[k].distance;
                }
            }
            if (sum == 0 || count == 0)
                continue;
            const long long e = sum / count;
            if (colour) {
                BYTE glint[4] = {static_cast<BYTE>(std::min<long long>(e, 255)), 255,
                                 static_cast<BYTE>(dist / count - 64), 0};
                qlcodec::HsbToRgbPixel(glint);
                for (int k = 0; k < 3; ++k)
                    g[k] = static_cast<BYTE>(std::min(255, g[k] + glint[k]));
            } else {
                BYTE hsb[4] = {g[0], g[1], g[2], g[3]};
                qlcodec::RgbToHsbPixel(hsb);
                hsb[0] = static_cast<BYTE>(std::min<long long>(hsb[0] + e, 255));
                qlcodec::HsbToRgbPixel(hsb);
                g[0] = hsb[0], g[1] = hsb[1], g[2] = hsb[2];
            }
        }
    }
    for (int i = 0; i < th; ++i)
        std::memcpy(target->GetBuffer(tx, ty + i), glow.GetBuffer(ox, oy + i), static_cast<std::size_t>(tw) * 4);
    return true;
}
