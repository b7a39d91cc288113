#include "algorithms/ThresholdAlgorithm.h"

#include "algorithms/NumericHelpers.h"
#include "algorithms/PointKernels.h"
#include "algorithms/PointRows.h"
#include "algorithms/SmoothAlgorithm.h"
#include "imagecore/QLChannel.h"
#include "platform/codec/QLImageCodec.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>
#include <vector>

namespace {

inline void PutLevel(BYTE* p, int v)
{
    p[0] = p[1] = p[2] = static_cast<BYTE>(v);
    p[3] = 255;
}

// The halftone's cell pattern: position k of a 4 x 4 cell in reading order
// is white from level T[k] up.
constexpr int kCellThresholds[16] = {13, 9, 5, 14, 8, 4, 1, 10, 12, 3, 2, 6, 16, 7, 11, 15};

// A small generator for the diffusion's jitter: the same picture every run.
struct Jitter {
    std::uint32_t state = 0x9E3779B9u;
    int Next() // 0..15
    {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return static_cast<int>(state >> 28);
    }
};

} // namespace

HRESULT ThresholdAlgorithm::Apply(const void* params)
{
    if (EffectAlgorithm::Apply(params) != 0 || !params)
        return E_FAIL;
    std::memcpy(&param, params, sizeof param);
    // Every mode reads the source and writes every byte of the target (the
    // halftone recreates it at whole cells); unknown modes leave a copy.
    if (param.mode >= Threshold && param.mode <= RandomDiffusion) {
        if (!SizeTargetLikeSource(source, target))
            return E_FAIL;
    } else if (param.mode != Halftone && !CopySourceToTarget()) {
        return E_FAIL;
    }

    HRESULT hr = 0;
    switch (param.mode) {
    case Threshold: hr = RampThreshold() ? 0 : E_FAIL; break;
    case Adaptive: hr = AdaptiveThreshold(); break;
    case RandomDiffusion: hr = RandomDiffuse() ? 0 : E_FAIL; break;
    case Halftone: hr = HalftoneCells(); break;
    default: break;
    }
    if (hr != 0)
        return hr;
    Progress(100);
    return 0;
}

bool ThresholdAlgorithm::RampThreshold()
{
    const int lo = std::max(0, param.level - param.width / 2);
    const int hi = std::min(255, param.level + param.width / 2);
    BYTE out[256];
    for (int v = 0; v < 256; ++v)
        out[v] = static_cast<BYTE>(v < lo ? 0 : (v >= hi ? 255 : (v - lo) * 255 / (hi - lo)));
    const pointkernels::GreyTable table(out);
    UINT w = 0, h = 0;
    target->GetSize(&w, &h);
    const int width = static_cast<int>(w);
    const bool stream = pointkernels::Streams(target->GetAreaByteSize());
    return ForEachRow(*this, width, static_cast<int>(h), 0, 100, [&](int y) {
        pointkernels::MapGrey(source->GetBuffer(0, y), target->GetBuffer(0, y), std::size_t(width), table,
                              imagecore::ActiveSimdLevel(), stream);
    });
}

HRESULT ThresholdAlgorithm::AdaptiveThreshold()
{
    UINT w = 0, h = 0;
    target->GetSize(&w, &h);
    const int width = static_cast<int>(w), height = static_cast<int>(h);
    // Longer side 200, the other in proportion; a thin image keeps one row.
    const int longer = std::max(width, height), shorter = std::min(width, height);
    const int other = std::max(1, static_cast<int>(200LL * shorter / longer));
    const int mapWidth = width >= height ? 200 : other;
    const int mapHeight = width >= height ? other : 200;
    CQLImageCodec codec;
    if (!codec.Resample(source, &levelMap, mapWidth, mapHeight, 1))
        return E_FAIL;
    Progress(10);
    if (!BuildLevelMap(mapWidth, mapHeight))
        return E_FAIL;
    Progress(50);
    if (TestCancel())
        return E_FAIL;

    SmoothAlgorithm smooth;
    smooth.SetImages(&levelMap, &levelMap);
    smooth.SetRange(RangeAt(50), RangeAt(60));
    smooth.SetCallback(callback);
    const SmoothParams radius = {3};
    if (smooth.Apply(&radius) != 0)
        return E_FAIL;

    std::vector<int> mapColumn;
    try {
        mapColumn.resize(static_cast<std::size_t>(width));
    } catch (const std::bad_alloc&) {
        return E_FAIL;
    }
    for (int x = 0; x < width; ++x)
        mapColumn[x] = static_cast<int>(static_cast<long long>(x) * mapWidth / width);
    const int level = param.level, half = param.width / 2;
    const bool done = ForEachRow(*this, width, height, 60, 100, [&](int y) {
        const BYTE* levels = levelMap.GetBuffer(0, static_cast<int>(static_cast<long long>(y) * mapHeight / height));
        const BYTE* s = source->GetBuffer(0, y);
        BYTE* p = target->GetBuffer(0, y);
        for (int x = 0; x < width; ++x, p += 4, s += 4) {
            const BYTE* m = levels + mapColumn[x] * 4;
            const int dark = m[1], bright = m[2];
            const int t = dark + (bright - dark) * level / 255;
            const int lo = std::max(dark, t - half), hi = std::min(bright, t + half);
            const int v = GrayOf(s);
            if (v < lo)
                PutLevel(p, 0);
            else if (v < hi && lo + 4 < hi)
                PutLevel(p, (v - lo) * 255 / (hi - lo));
            else
                PutLevel(p, 255);
        }
    });
    return done ? 0 : E_FAIL;
}

// Dark and bright levels of every map pixel from the grey range of its
// window, widened to at least 100 levels.
bool ThresholdAlgorithm::BuildLevelMap(int mapWidth, int mapHeight)
{
    const int detail = std::clamp(static_cast<int>(param.detail), 0, 100);
    const int b = std::max(1, std::min(mapWidth, mapHeight) / ((100 - detail) / 3 + 4));
    const int s = 2 * b;
    // Window start on one axis: x - b moved inside, so that the window ends
    // before the last pixel; where the map is narrower than that, at 0.
    auto start = [&](int x, int size) { return std::max(0, std::min(x - b, size - s - 1)); };
    auto end = [&](int first, int size) { return std::min(first + s, size); };

    std::vector<BYTE> grey, rowMin, rowMax;
    try {
        const std::size_t n = static_cast<std::size_t>(mapWidth) * mapHeight;
        grey.resize(n);
        rowMin.resize(n);
        rowMax.resize(n);
    } catch (const std::bad_alloc&) {
        return false;
    }
    for (int y = 0; y < mapHeight; ++y) {
        const BYTE* p = levelMap.GetBuffer(0, y);
        for (int x = 0; x < mapWidth; ++x, p += 4)
            grey[static_cast<std::size_t>(y) * mapWidth + x] = static_cast<BYTE>(GrayOf(p));
    }
    // Separable: the range along each row's window, then along the column's.
    for (int y = 0; y < mapHeight; ++y) {
        const BYTE* g = grey.data() + static_cast<std::size_t>(y) * mapWidth;
        for (int x = 0; x < mapWidth; ++x) {
            const int x0 = start(x, mapWidth), x1 = end(x0, mapWidth);
            BYTE mn = 255, mx = 0;
            for (int i = x0; i < x1; ++i) {
                mn = std::min(mn, g[i]);
                mx = std::max(mx, g[i]);
            }
            rowMin[static_cast<std::size_t>(y) * mapWidth + x] = mn;
            rowMax[static_cast<std::size_t>(y) * mapWidth + x] = mx;
        }
    }
    for (int y = 0; y < mapHeight; ++y) {
        const int y0 = start(y, mapHeight), y1 = end(y0, mapHeight);
        BYTE* out = levelMap.GetBuffer(0, y);
        for (int x = 0; x < mapWidth; ++x, out += 4) {
            int mn = 255, mx = 0;
            for (int j = y0; j < y1; ++j) {
                mn = std::min<int>(mn, rowMin[static_cast<std::size_t>(j) * mapWidth + x]);
                mx = std::max<int>(mx, rowMax[static_cast<std::size_t>(j) * mapWidth + x]);
            }
            int dark = mn, bright = mx;
            if (mx - mn < 100) {
                const int widen = (100 - (mx - mn)) / 2;
                bright = std::min(255, mx + widen);
                dark = std::max(0, mn - widen);
            }
            out[0] = 255;
            out[1] = static_cast<BYTE>(dark);
            out[2] = static_cast<BYTE>(bright);
        }
    }
    return true;
}

// Error diffusion in reading order with jittered shares; the grey rows are
// kept in a ring of three, the rows the error reaches.
bool ThresholdAlgorithm::RandomDiffuse()
{
    UINT w = 0, h = 0;
    target->GetSize(&w, &h);
    const int width = static_cast<int>(w), height = static_cast<int>(h);
    std::vector<int> ring;
    try {
        ring.resize(static_cast<std::size_t>(width) * 3);
    } catch (const std::bad_alloc&) {
        return false;
    }
    auto row = [&](int y) { return ring.data() + static_cast<std::size_t>(y % 3) * width; };
    auto load = [&](int y) {
        if (y >= height)
            return;
        const BYTE* p = source->GetBuffer(0, y);
        int* g = row(y);
        for (int x = 0; x < width; ++x, p += 4)
            g[x] = GrayOf(p);
    };
    load(0);
    load(1);
    load(2);
    Jitter jitter;
    auto spread = [&](int& grey, int error, int base) {
        const int share = base + jitter.Next() - 8;
        if (share > 0)
            grey = std::min(255, std::max(0, grey + error * share / 100));
    };
    for (int y = 0; y < height; ++y) {
        int* g0 = row(y);
        int* g1 = row(y + 1);
        int* g2 = row(y + 2);
        const bool down = y < height - 2;
        BYTE* p = target->GetBuffer(0, y);
        for (int x = 0; x < width; ++x, p += 4) {
            const int v = g0[x];
            const bool white = v > 128;
            const int error = white ? v - 255 : v;
            PutLevel(p, white ? 255 : 0);
            const bool right = x < width - 2;
            if (right) {
                spread(g0[x + 1], error, 28);
                spread(g0[x + 2], error, 14);
            }
            if (down) {
                spread(g1[x], error, 28);
                spread(g2[x], error, 14);
                if (right)
                    spread(g2[x + 2], error, 14);
            }
        }
        load(y + 3);
        if ((y & 15) == 15 || y == height - 1) {
            Progress(static_cast<int>(100LL * (y + 1) / height));
            if (TestCancel())
                return false;
        }
    }
    return true;
}

// Cells of 4 x 4 pixels quantised to 17 levels with error diffusion, each
// drawn as a fixed dot pattern.
HRESULT ThresholdAlgorithm::HalftoneCells()
{
    UINT w = 0, h = 0;
    source->GetSize(&w, &h);
    const int width = static_cast<int>(w), height = static_cast<int>(h);
    const int cellsX = width / 4, cellsY = height / 4;
    // Without a cell plane the result is the copy.
    CQLChannel grey, cells;
    if (cellsX == 0 || cellsY == 0 || grey.Create(w, h) != 0 || cells.Create(cellsX, cellsY) != 0)
        return CopySourceToTarget() ? 0 : E_FAIL;
    for (int y = 0; y < height; ++y) {
        const BYTE* p = source->GetBuffer(0, y);
        BYTE* g = grey.GetBuffer(0, y);
        for (int x = 0; x < width; ++x, p += 4)
            g[x] = static_cast<BYTE>(GrayOf(p));
    }
    if (!ShrinkChannelArea(&grey, &cells, cellsX, cellsY, 0, 0, -1, -1))
        return CopySourceToTarget() ? 0 : E_FAIL;
    Progress(30);
    if (TestCancel())
        return E_FAIL;

    auto add = [](BYTE& cell, int error, int share) {
        cell = static_cast<BYTE>(std::clamp(cell + error * share / 100, 0, 255));
    };
    for (int y = 0; y < cellsY; ++y) {
        BYTE* c = cells.GetBuffer(0, y);
        BYTE* below = y + 1 < cellsY ? cells.GetBuffer(0, y + 1) : nullptr;
        for (int x = 0; x < cellsX; ++x) {
            const int v = c[x];
            const int q = v >= 248 ? 255 : ((v + 8) >> 4) << 4;
            const int error = v - q;
            c[x] = static_cast<BYTE>((q + 8) >> 4); // the cell's level, 0..16
            if (x + 1 < cellsX)
                add(c[x + 1], error, 40);
            if (below) {
                add(below[x], error, 40);
                if (x + 1 < cellsX)
                    add(below[x + 1], error, 20);
            }
        }
    }
    Progress(50);

    if (target->Create(cellsX * 4, cellsY * 4) != 0)
        return E_FAIL;
    const bool done = ForEachRow(*this, cellsX * 4, cellsY * 4, 50, 100, [&](int y) {
        const BYTE* level = cells.GetBuffer(0, y / 4);
        const int* thresholds = kCellThresholds + (y % 4) * 4;
        BYTE* p = target->GetBuffer(0, y);
        for (int x = 0; x < cellsX * 4; ++x, p += 4)
            PutLevel(p, level[x / 4] < thresholds[x % 4] ? 0 : 255);
    });
    return done ? 0 : E_FAIL;
}
