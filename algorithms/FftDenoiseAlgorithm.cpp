#include "algorithms/FftDenoiseAlgorithm.h"

#include "algorithms/FftBlock.h"
#include "algorithms/RowProgress.h"
#include "imagecore/ParallelFor.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

constexpr int kBlock = 1 << FftDenoiseAlgorithm::kBlockPower;
constexpr int kSpectrum = kBlock * kBlock;
constexpr int kWindow = 64;   // quarter-size side of a flat-area window
constexpr int kBorder = 8;    // blocks start this far above and left of their tile
constexpr int kLinearMax = 32767;

// Pixels [first, end) of one axis that block t writes: those it is the last
// block in row order to cover, which is what writing every block whole in
// order leaves behind.
void WrittenSpan(int t, int tiles, int length, int& first, int& end)
{
    const int start = t * FftDenoiseAlgorithm::kTile - kBorder;
    first = std::max(0, start);
    end = t == tiles - 1 ? length : std::min(length, start + FftDenoiseAlgorithm::kTile);
}

} // namespace

FftDenoiseAlgorithm::FftDenoiseAlgorithm() = default;
FftDenoiseAlgorithm::~FftDenoiseAlgorithm() = default;

void FftDenoiseAlgorithm::BuildTables()
{
    if (!toSrgb.empty())
        return;
    toSrgb.resize(kLinearMax + 1);
    for (int i = 0; i <= kLinearMax; ++i) {
        const double x = i / 32768.0;
        // The break point is 0.00304, not the usual 0.0031308.
        const double y = x > 0.00304 ? 1.055 * std::pow(x, 0.4166666666666667) - 0.055 : 12.92 * x;
        toSrgb[i] = static_cast<BYTE>(std::min(255, static_cast<int>(y * 256)));
    }
    // Each level maps back to the middle of the linear values that map to it.
    int j = 0;
    for (int v = 0; v < 256; ++v) {
        const int start = j;
        while (j <= kLinearMax && toSrgb[j] <= v)
            ++j;
        toLinear[v] = static_cast<short>((start + j) / 2);
    }
}

HRESULT FftDenoiseAlgorithm::Apply(const void* params)
{
    if (EffectAlgorithm::Apply(params) != 0)
        return E_FAIL;
    UINT uw = 0, uh = 0;
    source->GetSize(&uw, &uh);
    const int width = static_cast<int>(uw), height = static_cast<int>(uh);
    // Blocks read byte 0 from this copy, so the target may be the source.
    try {
        BuildTables();
        plane.resize(static_cast<std::size_t>(width) * height);
        threshold.assign(kSpectrum, 0.0);
    } catch (const std::bad_alloc&) {
        return E_FAIL;
    }
    for (int y = 0; y < height; ++y) {
        const BYTE* p = source->GetBuffer(0, y);
        BYTE* q = plane.data() + static_cast<std::size_t>(y) * width;
        for (int x = 0; x < width; ++x)
            q[x] = p[x * 4];
    }
    if (!CopySourceToTarget())
        return E_FAIL;
    param = params ? *static_cast<const INT*>(params) : 0;

    if (!FindFlatAreas(width, height) || !BuildThresholds(width, height))
        return E_FAIL;
    Progress(10);
    return FilterBlocks(width, height);
}

bool FftDenoiseAlgorithm::FindFlatAreas(int width, int height)
{
    picks.clear();
    const int qw = width / 4, qh = height / 4;
    if (qw < kWindow + 1 || qh < kWindow + 1)
        return true; // no room for a window
    std::vector<BYTE> grey, edge;
    std::vector<std::uint32_t> sat;
    try {
        grey.resize(static_cast<std::size_t>(qw) * qh);
        edge.assign(static_cast<std::size_t>(qw) * qh, 0);
        sat.resize(static_cast<std::size_t>(qw) * qh);
    } catch (const std::bad_alloc&) {
        return false;
    }
    // Quarter-size grey: the mean of 4 x 4 values of (6G + 3R + B) / 10.
    imagecore::ParallelFor(0, qh, static_cast<std::size_t>(qw) * 16, [&](int y0, int y1) {
        for (int qy = y0; qy < y1; ++qy) {
            BYTE* out = grey.data() + static_cast<std::size_t>(qy) * qw;
            for (int qx = 0; qx < qw; ++qx) {
                int sum = 0;
                for (int dy = 0; dy < 4; ++dy) {
                    const BYTE* p = source->GetBuffer(qx * 4, qy * 4 + dy);
                    for (int dx = 0; dx < 4; ++dx, p += 4)
                        sum += (6 * p[1] + 3 * p[2] + p[0]) / 10;
                }
                out[qx] = static_cast<BYTE>(sum / 16);
            }
        }
    });
    // Edge strength, 0 on the frame.
    for (int y = 1; y < qh - 1; ++y) {
        const BYTE* a = grey.data() + static_cast<std::size_t>(y - 1) * qw;
        const BYTE* m = a + qw;
        const BYTE* b = m + qw;
        BYTE* e = edge.data() + static_cast<std::size_t>(y) * qw;
        for (int x = 1; x < qw - 1; ++x) {
            const int vertical = std::abs(a[x - 1] + a[x] + a[x + 1] - b[x - 1] - b[x] - b[x + 1]);
            const int horizontal = std::abs(a[x - 1] + m[x - 1] + b[x - 1] - a[x + 1] - m[x + 1] - b[x + 1]);
            e[x] = static_cast<BYTE>(std::min(255, std::max(vertical, horizontal)));
        }
    }
    // Summed-area table; differences of wrapped 32-bit sums are still exact.
    for (int y = 0; y < qh; ++y) {
        std::uint32_t rowSum = 0;
        for (int x = 0; x < qw; ++x) {
            const std::size_t i = static_cast<std::size_t>(y) * qw + x;
            rowSum += edge[i];
            sat[i] = rowSum + (y > 0 ? sat[i - qw] : 0u);
        }
    }
    auto at = [&](int x, int y) { return sat[static_cast<std::size_t>(y) * qw + x]; };
    for (int n = 0; n < kPicks; ++n) {
        bool found = false;
        Pick best = {0, 0};
        std::uint32_t bestScore = 0;
        for (int y = 0; y <= qh - kWindow - 1; ++y)
            for (int x = 0; x <= qw - kWindow - 1; ++x) {
                bool near = false;
                for (const Pick& p : picks)
                    near = near || (std::abs(x - p.x) < kWindow && std::abs(y - p.y) < kWindow);
                if (near)
                    continue;
                const std::uint32_t score = at(x, y) + at(x + kWindow, y + kWindow) - at(x + kWindow, y) - at(x, y + kWindow);
                if (!found || score < bestScore) {
                    found = true;
                    best = {x, y};
                    bestScore = score;
                }
            }
        if (!found)
            break;
        picks.push_back(best);
    }
    return true;
}

bool FftDenoiseAlgorithm::BuildThresholds(int width, int height)
{
    FftBlock block;
    if (!block.Create(kBlockPower))
        return false;
    // Without a flat area the noise model is the top-left block, padded.
    std::vector<Pick> areas = picks;
    if (areas.empty())
        areas.push_back({0, 0});
    for (int n = 0; n < kPicks; ++n) {
        if (n < static_cast<int>(areas.size())) {
            const int x0 = areas[n].x * 4, y0 = areas[n].y * 4;
            for (int j = 0; j < kBlock; ++j) {
                Complex* row = block.data + static_cast<std::size_t>(j) * kBlock;
                const int y = y0 + j;
                for (int i = 0; i < kBlock; ++i) {
                    const int x = x0 + i;
                    const int level = (x < width && y < height) ? plane[static_cast<std::size_t>(y) * width + x] : 0;
                    row[i] = {static_cast<double>(toLinear[level]), 0.0};
                }
            }
            block.Transform(1);
            for (int i = 0; i < kSpectrum; ++i)
                threshold[i] += std::sqrt(block.data[i].re * block.data[i].re + block.data[i].im * block.data[i].im);
        }
        Progress(2 + 3 * n);
        if (TestCancel())
            return false;
    }
    // Frequencies above half the block are the negative ones: their distance
    // is to the nearest copy of the origin, so the mask stays symmetric and
    // the filtered block real. The mean (index 0) is never removed: blocks
    // darker than the flat areas would go black.
    const double count = static_cast<double>(areas.size());
    for (int i = 0; i < kSpectrum; ++i) {
        const int r = std::min(i / kBlock, kBlock - i / kBlock);
        const int c = std::min(i % kBlock, kBlock - i % kBlock);
        const double d = std::sqrt(static_cast<double>(r * r + c * c));
        const double t = d < 3 ? 0.0 : std::min(8.0, (d - 3) / 6);
        threshold[i] = threshold[i] / count * t;
    }
    return true;
}

HRESULT FftDenoiseAlgorithm::FilterBlocks(int width, int height)
{
    const int cols = (width + kTile - 1) / kTile, rows = (height + kTile - 1) / kTile;
    const int tiles = cols * rows;
    RowProgress progress(*this, tiles, 10, 100);
    std::atomic<bool> failed{false};
    imagecore::ParallelFor(0, tiles, std::size_t{1} << 20, [&](int t0, int t1) {
        FftBlock block;
        if (!block.Create(kBlockPower)) {
            failed.store(true);
            return;
        }
        for (int t = t0; t < t1; ++t) {
            const int tc = t % cols, tr = t / cols;
            const int bx = tc * kTile - kBorder, by = tr * kTile - kBorder;
            for (int j = 0; j < kBlock; ++j) {
                Complex* row = block.data + static_cast<std::size_t>(j) * kBlock;
                const int y = by + j;
                const bool rowInside = y >= 0 && y < height;
                const BYTE* src = rowInside ? plane.data() + static_cast<std::size_t>(y) * width : nullptr;
                for (int i = 0; i < kBlock; ++i) {
                    const int x = bx + i;
                    const int level = (rowInside && x >= 0 && x < width) ? src[x] : 0;
                    row[i] = {static_cast<double>(toLinear[level]), 0.0};
                }
            }
            block.Transform(1);
            for (int i = 0; i < kSpectrum; ++i) {
                Complex& v = block.data[i];
                if (std::sqrt(v.re * v.re + v.im * v.im) < threshold[i])
                    v = {0.0, 0.0};
            }
            block.Transform(0);
            int x0, x1, y0, y1;
            WrittenSpan(tc, cols, width, x0, x1);
            WrittenSpan(tr, rows, height, y0, y1);
            for (int y = y0; y < y1; ++y) {
                const Complex* row = block.data + static_cast<std::size_t>(y - by) * kBlock;
                BYTE* p = target->GetBuffer(x0, y);
                for (int x = x0; x < x1; ++x, p += 4) {
                    const double linear = std::clamp(row[x - bx].re, 0.0, static_cast<double>(kLinearMax));
                    const BYTE v = toSrgb[static_cast<int>(linear)];
                    p[0] = p[1] = p[2] = v;
                    p[3] = 255;
                }
            }
            if (!progress.Advance(1) || failed.load(std::memory_order_relaxed))
                return;
        }
    });
    if (failed.load() || progress.Cancelled())
        return E_FAIL;
    Progress(100);
    return 0;
}
