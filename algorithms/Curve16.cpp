#include "algorithms/Curve16.h"

#include "imagecore/ParallelFor.h"
#include "imagecore/QLImage.h"

#include <algorithm>
#include <cstring>
#include <mutex>

namespace curve16 {

namespace {

constexpr Tables kIdentity = [] {
    Tables t{};
    for (auto& channel : t.c)
        for (int v = 0; v < 256; ++v)
            channel[v] = static_cast<WORD>(v << 8);
    return t;
}();

// The columns of the region in one row: [a0, a1) and [b0, b1).
struct Columns {
    int a0, a1, b0, b1;

    explicit Columns(const Region& r)
        : a0(r.left), a1(std::min(r.right, r.skipLeft)), b0(std::max(r.left, r.skipRight)), b1(r.right)
    {
    }
    std::size_t Count() const { return static_cast<std::size_t>(std::max(0, a1 - a0) + std::max(0, b1 - b0)); }
};

// Calls span(p, n) for every span of n pixels of the region in rows [y0, y1).
template <class Span>
void ForSpans(const CQLImage& image, const Region& r, const Columns& c, int y0, int y1, Span&& span)
{
    for (int y = y0; y < y1; ++y) {
        if (y >= r.skipTop && y < r.skipBottom)
            continue;
        if (c.a0 < c.a1)
            span(image.GetBuffer(c.a0, y), c.a1 - c.a0);
        if (c.b0 < c.b1)
            span(image.GetBuffer(c.b0, y), c.b1 - c.b0);
    }
}

} // namespace

Tables Tables::Identity()
{
    return kIdentity;
}

void Tables::Map(const WORD* curve, bool first, bool second, bool third)
{
    const bool chosen[3] = {first, second, third};
    for (int ch = 0; ch < 3; ++ch)
        if (chosen[ch])
            for (WORD& v : c[ch])
                v = curve[v];
}

namespace {

// A channel: its 256 levels counted, then moved to their values.
void CountChannel(const CQLImage& image, const Tables& t, int ch, const Region& region, const Columns& columns,
                  std::vector<std::uint64_t>& hist)
{
    std::mutex merge; // each chunk counts on its own; the sums are exact
    std::uint64_t levels[256] = {};
    imagecore::ParallelFor(region.top, region.bottom, columns.Count(), [&](int y0, int y1) {
        std::uint32_t local[256] = {}; // < 2^32 pixels a chunk
        ForSpans(image, region, columns, y0, y1, [&](const BYTE* p, int n) {
            for (int i = 0; i < n; ++i)
                ++local[p[4 * i + ch]];
        });
        std::lock_guard<std::mutex> lock(merge);
        for (int v = 0; v < 256; ++v)
            levels[v] += local[v];
    });
    for (int v = 0; v < 256; ++v)
        hist[t.c[ch][v]] += levels[v];
}

// The plain copy's luminance index is 256 s / 10 of the 8-bit sum s = 3 R +
// 6 G + B: 2551 sums, counted in the first-level cache, in four interleaved
// copies so that equal neighbours do not wait on each other.
void CountPlainLuma(const CQLImage& image, const Region& region, const Columns& columns,
                    std::vector<std::uint64_t>& hist)
{
    constexpr int kSums = 2551;
    std::mutex merge;
    imagecore::ParallelFor(region.top, region.bottom, columns.Count(), [&](int y0, int y1) {
        std::vector<std::uint32_t> local(4 * kSums, 0); // < 2^32 pixels a chunk
        std::uint32_t* c = local.data();
        auto sum = [](const BYTE* p) { return 3 * p[2] + 6 * p[1] + p[0]; };
        ForSpans(image, region, columns, y0, y1, [&](const BYTE* p, int n) {
            int i = 0;
            for (; i + 4 <= n; i += 4, p += 16) {
                ++c[sum(p)];
                ++c[kSums + sum(p + 4)];
                ++c[2 * kSums + sum(p + 8)];
                ++c[3 * kSums + sum(p + 12)];
            }
            for (; i < n; ++i, p += 4)
                ++c[sum(p)];
        });
        std::lock_guard<std::mutex> lock(merge);
        for (int k = 0; k < kSums; ++k)
            hist[static_cast<std::size_t>(256 * k / 10)] +=
                std::uint64_t{c[k]} + c[kSums + k] + c[2 * kSums + k] + c[3 * kSums + k];
    });
}

// The luminance index through any tables, weighted once; two interleaved
// copies of the counts.
void CountLuma(const CQLImage& image, const Tables& t, const Region& region, const Columns& columns,
               std::vector<std::uint64_t>& hist)
{
    std::uint32_t lb[256], lg[256], lr[256];
    for (int v = 0; v < 256; ++v) {
        lb[v] = t.c[0][v];
        lg[v] = 6u * t.c[1][v];
        lr[v] = 3u * t.c[2][v];
    }
    std::mutex merge;
    imagecore::ParallelFor(region.top, region.bottom, columns.Count(), [&](int y0, int y1) {
        std::vector<std::uint32_t> local(2 * kLevels, 0); // < 2^32 pixels a chunk
        std::uint32_t* c = local.data();
        auto index = [&](const BYTE* p) { return (lr[p[2]] + lg[p[1]] + lb[p[0]]) / 10; };
        ForSpans(image, region, columns, y0, y1, [&](const BYTE* p, int n) {
            int i = 0;
            for (; i + 2 <= n; i += 2, p += 8) {
                ++c[index(p)];
                ++c[kLevels + index(p + 4)];
            }
            if (i < n)
                ++c[index(p)];
        });
        std::lock_guard<std::mutex> lock(merge);
        for (int k = 0; k < kLevels; ++k)
            hist[static_cast<std::size_t>(k)] += std::uint64_t{c[k]} + c[kLevels + k];
    });
}

} // namespace

void Count(const CQLImage& image, const Tables& t, Index index, const Region& region, std::vector<std::uint64_t>& hist)
{
    if (region.bottom <= region.top || region.right <= region.left)
        return;
    const Columns columns(region);
    if (index != Index::Luma)
        CountChannel(image, t, static_cast<int>(index), region, columns, hist);
    else if (std::memcmp(&t, &kIdentity, sizeof t) == 0)
        CountPlainLuma(image, region, columns, hist);
    else
        CountLuma(image, t, region, columns, hist);
}

void Histogram(const CQLImage& image, const Tables& tables, Index index, std::vector<std::uint64_t>& hist)
{
    hist.assign(kLevels, 0);
    UINT w = 0, h = 0;
    image.GetSize(&w, &h);
    Count(image, tables, index, Region::Whole(static_cast<int>(w), static_cast<int>(h)), hist);
}

} // namespace curve16
