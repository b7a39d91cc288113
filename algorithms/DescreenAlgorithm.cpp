#include "algorithms/DescreenAlgorithm.h"

#include "algorithms/NumericHelpers.h"
#include "algorithms/RowProgress.h"
#include "imagecore/ParallelFor.h"
#include "platform/codec/ColorForms.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>

namespace {

constexpr int kBlock = 1 << DescreenAlgorithm::kBlockPower;
constexpr int kIndices = kBlock; // frequency index (i + j) / 2 runs over 0..255

int LowestSuppressedIndex(int patternSize)
{
    switch (patternSize) {
    case 0: return 85;
    case 1: return 51;
    case 2: return 21;
    default: return kIndices; // nothing lies above it
    }
}

// Position v folded into 0..n-1 by mirroring at the photo's edges (the edge
// pixel repeated), for any v and any n >= 1.
int Mirror(int v, int n)
{
    const int period = 2 * n;
    int m = v % period;
    if (m < 0)
        m += period;
    return m < n ? m : period - 1 - m;
}

// Byte ch of the block at (x0, y0) of the work image. Outside the photo the
// photo is mirrored: zeros there would make an edge at every border that the
// suppression takes for a screen, ringing up to 40 levels into a flat photo.
void LoadMirrored(DctBlock& block, const CQLImage& image, int ch, int x0, int y0, int width, int height)
{
    int column[kBlock];
    for (int i = 0; i < kBlock; ++i)
        column[i] = Mirror(x0 + i, width) * 4 + ch;
    for (int j = 0; j < kBlock; ++j) {
        const BYTE* src = image.GetBuffer(0, Mirror(y0 + j, height));
        double* row = block.data + static_cast<std::size_t>(j) * kBlock;
        for (int i = 0; i < kBlock; ++i)
            row[i] = src[column[i]];
    }
}

// The central part of a filtered block into byte ch of the target, rounded
// and clamped.
void WriteChannel(const double* block, CQLImage& target, int x0, int y0, int w, int h, int ch)
{
    for (int j = 0; j < h; ++j) {
        const double* row = block + static_cast<std::size_t>(DescreenAlgorithm::kMargin + j) * kBlock
                            + DescreenAlgorithm::kMargin;
        BYTE* p = target.GetBuffer(x0, y0 + j) + ch;
        for (int i = 0; i < w; ++i, p += 4)
            *p = qlcodec::ClampByte(static_cast<int>(std::clamp(row[i] + 0.5, -1.0, 256.0)));
    }
}

// With lumaOnly: the target still holds the RGB copy; each pixel goes to YUV,
// takes the filtered luma and comes back, so nothing outside the finished
// tiles is ever left in YUV.
void WriteLuma(const double* block, CQLImage& target, int x0, int y0, int w, int h)
{
    for (int j = 0; j < h; ++j) {
        const double* row = block + static_cast<std::size_t>(DescreenAlgorithm::kMargin + j) * kBlock
                            + DescreenAlgorithm::kMargin;
        BYTE* p = target.GetBuffer(x0, y0 + j);
        for (int i = 0; i < w; ++i, p += 4) {
            qlcodec::RgbToYuvPixel(p);
            p[2] = qlcodec::ClampByte(static_cast<int>(std::clamp(row[i] + 0.5, -1.0, 256.0)));
            qlcodec::YuvToRgbPixel(p);
        }
    }
}

} // namespace

DescreenAlgorithm::~DescreenAlgorithm() = default;

void DescreenAlgorithm::Suppress(double* c, int patternSize, int strength)
{
    const int kmin = LowestSuppressedIndex(patternSize);
    // Out-of-range strengths would make the divisor below reach zero.
    strength = std::clamp(strength, 0, 100);

    // Typical magnitude per index: the mean, then the mean of the values
    // below four times that mean (outliers left out).
    double sum[kIndices] = {};
    int count[kIndices] = {};
    for (int i = 0; i < kBlock; ++i) {
        const double* row = c + static_cast<std::size_t>(i) * kBlock;
        for (int j = 0; j < kBlock; ++j) {
            sum[(i + j) / 2] += std::fabs(row[j]);
            ++count[(i + j) / 2];
        }
    }
    double limit[kIndices];
    for (int k = 0; k < kIndices; ++k)
        limit[k] = 4.0 * (sum[k] / count[k]);
    double sum2[kIndices] = {};
    int count2[kIndices] = {};
    for (int i = 0; i < kBlock; ++i) {
        const double* row = c + static_cast<std::size_t>(i) * kBlock;
        for (int j = 0; j < kBlock; ++j) {
            const double m = std::fabs(row[j]);
            if (m < limit[(i + j) / 2]) {
                sum2[(i + j) / 2] += m;
                ++count2[(i + j) / 2];
            }
        }
    }
    double typical[kIndices];
    for (int k = 0; k < kIndices; ++k)
        typical[k] = count2[k] ? sum2[k] / count2[k] : 0.0;

    const double g = (100 - strength) * 0.025 + 2;
    const double cut = 1.8 * g;
    const double slope = strength * 0.058823529411764705;
    for (int i = 0; i < kBlock; ++i) {
        double* row = c + static_cast<std::size_t>(i) * kBlock;
        for (int j = 0; j < kBlock; ++j) {
            const int k = (i + j) / 2;
            const double m = std::fabs(row[j]);
            // A typical magnitude of 0 means every value at the index is 0.
            const double ratio = (k > kmin && typical[k] > 0.0 && m >= typical[k]) ? m / typical[k] : 0.0;
            const double e = std::fabs(std::trunc(row[j]));
            double v;
            if (ratio > cut)
                v = 0.0;
            else if (ratio > g)
                v = e / ((ratio - g) * slope + 1);
            else
                v = e;
            row[j] = row[j] < 0 ? -v : v;
        }
    }
}

HRESULT DescreenAlgorithm::Apply(const void* params)
{
    if (EffectAlgorithm::Apply(params) != 0 || !params)
        return E_FAIL;
    std::memcpy(&param, params, sizeof param);
    if (!work.DuplicateFrom(source) || !CopySourceToTarget())
        return E_FAIL;
    UINT uw = 0, uh = 0;
    source->GetSize(&uw, &uh);
    const int width = static_cast<int>(uw), height = static_cast<int>(uh);
    const bool lumaOnly = param.lumaOnly != 0;
    if (lumaOnly) {
        for (int y = 0; y < height; ++y) {
            BYTE* p = work.GetBuffer(0, y);
            for (int x = 0; x < width; ++x, p += 4) {
                BYTE yuv[4] = {p[0], p[1], p[2], p[3]};
                qlcodec::RgbToYuvPixel(yuv);
                p[2] = yuv[2];
            }
        }
    }

    const int cols = (width + kTileStep - 1) / kTileStep;
    const int rows = (height + kTileStep - 1) / kTileStep;
    const int tiles = cols * rows;
    // Tiles read only the work image and write disjoint parts of the target,
    // so they run in any order.
    RowProgress progress(*this, tiles, 0, 100);
    std::atomic<bool> failed{false};
    imagecore::ParallelFor(0, tiles, std::size_t{1} << 20, [&](int t0, int t1) {
        DctBlock block;
        if (!block.Create(kBlockPower)) {
            failed.store(true);
            return;
        }
        for (int t = t0; t < t1; ++t) {
            const int x0 = (t % cols) * kTileStep, y0 = (t / cols) * kTileStep;
            const int w = std::min(kTileStep, width - x0), h = std::min(kTileStep, height - y0);
            for (int ch = 2; ch >= 0; --ch) {
                LoadMirrored(block, work, ch, x0 - kMargin, y0 - kMargin, width, height);
                for (int pass = 0; pass < (param.twice ? 2 : 1); ++pass) {
                    block.Transform(1);
                    Suppress(block.data, param.patternSize, param.strength);
                    block.Transform(0);
                }
                if (lumaOnly) {
                    WriteLuma(block.data, *target, x0, y0, w, h);
                    break;
                }
                WriteChannel(block.data, *target, x0, y0, w, h, ch);
                if (ch > 0 && !progress.Advance(0))
                    return;
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
