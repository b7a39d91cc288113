#include "algorithms/ModifyShapeAlgorithm.h"

#include "algorithms/RowProgress.h"
#include "imagecore/ParallelFor.h"

#include <algorithm>
#include <cmath>
#include <new>

ModifyShapeAlgorithm::~ModifyShapeAlgorithm() = default;

void ModifyShapeAlgorithm::SetWarpGrid(const float* pairs, int cellSize, int columns, int rows)
{
    grid.clear();
    cell = cellSize;
    if (!pairs || columns <= 0 || rows <= 0)
        return;
    grid.assign(pairs, pairs + 2 * static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows));
    // A vector that is not a number has no position to read from.
    for (float& v : grid)
        if (std::isnan(v))
            v = 0;
}

HRESULT ModifyShapeAlgorithm::Apply(const void* params)
{
    if (EffectAlgorithm::Apply(params) != 0 || cell <= 0)
        return E_FAIL;
    UINT w = 0, h = 0;
    source->GetSize(&w, &h);
    const int width = static_cast<int>(w), height = static_cast<int>(h);
    // The photo's own counts replace the ones the grid was given with.
    const int columns = (width + cell - 1) / cell;
    const int rows = (height + cell - 1) / cell;
    if (grid.size() / 2 < static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows))
        return E_FAIL;
    // Pixels are written while other chunks still read the source.
    CQLImage copy;
    const CQLImage* from = source;
    if (source == target) {
        if (!copy.DuplicateFrom(source))
            return E_FAIL;
        from = &copy;
    } else if (!target->DuplicateFrom(source)) {
        return E_FAIL;
    }

    const float* g = grid.data();
    auto at = [&](int i, int j) { return g + 2 * (static_cast<std::size_t>(i) * columns + j); };
    const int cellRows = std::max(0, rows - 1);
    const float L = static_cast<float>(cell);
    RowProgress progress(*this, cellRows, 0, 100);
    imagecore::ParallelFor(0, cellRows, static_cast<std::size_t>(width) * cell * 4, [&](int i0, int i1) {
        for (int i = i0; i < i1; ++i) {
            for (int j = 0; j + 1 < columns; ++j) {
                const float* tl = at(i, j);
                const float* tr = at(i, j + 1);
                const float* bl = at(i + 1, j);
                const float* br = at(i + 1, j + 1);
                if (tl[0] == 0 && tl[1] == 0 && tr[0] == 0 && tr[1] == 0 && bl[0] == 0 && bl[1] == 0 && br[0] == 0
                    && br[1] == 0)
                    continue;
                const int x0 = j * cell, y0 = i * cell;
                for (int ry = 0; ry < cell; ++ry) {
                    BYTE* out = target->GetBuffer(x0, y0 + ry);
                    for (int rx = 0; rx < cell; ++rx, out += 4) {
                        float d[2];
                        for (int k = 0; k < 2; ++k) {
                            const float top = (tr[k] * rx + tl[k] * (L - rx)) / L;
                            const float bottom = (br[k] * rx + bl[k] * (L - rx)) / L;
                            d[k] = (top * (L - ry) + bottom * ry) / L;
                        }
                        // floor, so that a position left of or above the
                        // photo still gets a weight in 0..255.
                        const float sx = static_cast<float>(x0 + rx) + d[0];
                        const float sy = static_cast<float>(y0 + ry) + d[1];
                        const float fx0 = std::floor(sx), fy0 = std::floor(sy);
                        const int fx = std::clamp(static_cast<int>((sx - fx0) * 256), 0, 255);
                        const int fy = std::clamp(static_cast<int>((sy - fy0) * 256), 0, 255);
                        const float limit = 1e9f;
                        const int ix = static_cast<int>(std::clamp(fx0, -limit, limit));
                        const int iy = static_cast<int>(std::clamp(fy0, -limit, limit));
                        const int xa = std::clamp(ix, 0, width - 1), xb = std::clamp(ix + 1, 0, width - 1);
                        const int ya = std::clamp(iy, 0, height - 1), yb = std::clamp(iy + 1, 0, height - 1);
                        const BYTE* a = from->GetBuffer(xa, ya);
                        const BYTE* b = from->GetBuffer(xb, ya);
                        const BYTE* c = from->GetBuffer(xa, yb);
                        const BYTE* e = from->GetBuffer(xb, yb);
                        for (int k = 0; k < 3; ++k) {
                            const int top = (a[k] * (256 - fx) + b[k] * fx) >> 8;
                            const int bottom = (c[k] * (256 - fx) + e[k] * fx) >> 8;
                            out[k] = static_cast<BYTE>((top * (256 - fy) + bottom * fy) >> 8);
                        }
                    }
                }
            }
            if (!progress.Advance(1))
                return;
        }
    });
    if (progress.Cancelled())
        return E_FAIL;
    Progress(100);
    return 0;
}
