#include "algorithms/TiledDenoiseAlgorithm.h"

#include "algorithms/RowProgress.h"
#include "imagecore/ParallelFor.h"

#include <algorithm>
#include <atomic>
#include <cstring>

namespace {

constexpr int kTileSide = 256;
constexpr int kOverlap = 5;

// Pixels [x0, x1) x [y0, y1) of from into to at (toX, toY).
void CopyRect(const CQLImage& from, int x0, int y0, int x1, int y1, CQLImage& to, int toX, int toY)
{
    const std::size_t bytes = static_cast<std::size_t>(x1 - x0) * 4;
    for (int y = y0; y < y1; ++y)
        std::memcpy(to.GetBuffer(toX, toY + y - y0), from.GetBuffer(x0, y), bytes);
}

} // namespace

TiledDenoiseAlgorithm::~TiledDenoiseAlgorithm() = default;

void TiledDenoiseAlgorithm::TileGrid(int width, int height, int* columns, int* rows)
{
    *columns = std::max(1, (width + kTileSide / 2) / kTileSide);
    *rows = std::max(1, (height + kTileSide / 2) / kTileSide);
}

HRESULT TiledDenoiseAlgorithm::Apply(const void* params)
{
    if (EffectAlgorithm::Apply(params) != 0 || !params || source == target)
        return E_FAIL;
    std::memcpy(&param, params, sizeof param);
    if (!CopySourceToTarget())
        return E_FAIL;
    UINT w = 0, h = 0;
    source->GetSize(&w, &h);
    const int width = static_cast<int>(w), height = static_cast<int>(h);
    int columns = 1, rows = 1;
    TileGrid(width, height, &columns, &rows);
    const int tileWidth = width / columns, tileHeight = height / rows;
    const int count = columns * rows;

    // Tiles read only the source and write only their own rectangle, so they
    // may run in any order.
    RowProgress progress(*this, count, 0, 100);
    std::atomic<bool> failed{false};
    const std::size_t tileWork = static_cast<std::size_t>(tileWidth) * tileHeight * 64;
    imagecore::ParallelFor(0, count, tileWork, [&](int t0, int t1) {
        DenoisePassAlgorithm pass;
        CQLImage in, out;
        for (int t = t0; t < t1 && !failed; ++t) {
            const int column = t % columns, row = t / columns;
            const int x0 = column * tileWidth, x1 = column == columns - 1 ? width : x0 + tileWidth;
            const int y0 = row * tileHeight, y1 = row == rows - 1 ? height : y0 + tileHeight;
            const int ex0 = std::max(0, x0 - kOverlap), ex1 = std::min(width, x1 + kOverlap);
            const int ey0 = std::max(0, y0 - kOverlap), ey1 = std::min(height, y1 + kOverlap);
            if (in.Create(ex1 - ex0, ey1 - ey0) != 0) {
                failed = true;
                return;
            }
            CopyRect(*source, ex0, ey0, ex1, ey1, in, 0, 0);
            pass.SetImages(&in, &out);
            if (pass.Apply(&param) != 0) {
                failed = true;
                return;
            }
            CopyRect(out, x0 - ex0, y0 - ey0, x1 - ex0, y1 - ey0, *target, x0, y0);
            if (!progress.Advance(1))
                return;
        }
    });
    if (failed)
        return E_FAIL;
    Progress(100);
    return progress.Cancelled() ? E_FAIL : 0;
}
