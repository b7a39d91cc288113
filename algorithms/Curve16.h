// Histograms and tone curves over the 16-bit work copy, shared by the
// automatic levels and exposure effects. Counts are exact integers, so the
// split over cores does not change them.
#pragma once

#include "imagecore/16BitBitmap.h"
#include "imagecore/ParallelFor.h"

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

namespace curve16 {

inline constexpr int kLevels = 65536;

// Which value of a pixel a histogram counts.
enum class Index { First, Second, Third, Luma };

inline int IndexOf(const C16BitPixel& p, Index index)
{
    switch (index) {
    case Index::First: return p.b;
    case Index::Second: return p.g;
    case Index::Third: return p.r;
    default: return (3 * p.r + 6 * p.g + p.b) / 10;
    }
}

// hist (kLevels counts) = the histogram of the index over every pixel.
inline void Histogram(const C16BitBitmap& bitmap, Index index, std::vector<std::uint64_t>& hist)
{
    hist.assign(kLevels, 0);
    const int w = bitmap.GetWidth();
    std::mutex merge;
    imagecore::ParallelFor(0, bitmap.GetHeight(), static_cast<std::size_t>(w), [&](int y0, int y1) {
        std::vector<std::uint32_t> local(kLevels, 0); // one per chunk; < 2^32 pixels a chunk
        const C16BitPixel* p = bitmap.GetBuffer(0, y0);
        const std::size_t n = static_cast<std::size_t>(w) * static_cast<std::size_t>(y1 - y0);
        switch (index) {
        case Index::First: for (std::size_t i = 0; i < n; ++i) ++local[p[i].b]; break;
        case Index::Second: for (std::size_t i = 0; i < n; ++i) ++local[p[i].g]; break;
        case Index::Third: for (std::size_t i = 0; i < n; ++i) ++local[p[i].r]; break;
        default:
            for (std::size_t i = 0; i < n; ++i)
                ++local[(3 * p[i].r + 6 * p[i].g + p[i].b) / 10];
        }
        std::lock_guard<std::mutex> lock(merge);
        for (int k = 0; k < kLevels; ++k)
            hist[static_cast<std::size_t>(k)] += local[static_cast<std::size_t>(k)];
    });
}

// The first level from 0 at which the running count reaches n.
inline int LowPoint(const std::vector<std::uint64_t>& hist, std::uint64_t n)
{
    std::uint64_t run = 0;
    for (int k = 0; k < kLevels; ++k) {
        run += hist[static_cast<std::size_t>(k)];
        if (run >= n)
            return k;
    }
    return kLevels - 1;
}

// The first level from 65535 downward, no lower than floor, at which the
// running count reaches n; floor when none does.
inline int HighPoint(const std::vector<std::uint64_t>& hist, std::uint64_t n, int floor)
{
    std::uint64_t run = 0;
    for (int k = kLevels - 1; k > floor; --k) {
        run += hist[static_cast<std::size_t>(k)];
        if (run >= n)
            return k;
    }
    return floor;
}

// Maps the chosen components of every pixel through curve (kLevels entries).
inline void Apply(C16BitBitmap& bitmap, const WORD* curve, bool first, bool second, bool third)
{
    const int w = bitmap.GetWidth();
    imagecore::ParallelFor(0, bitmap.GetHeight(), static_cast<std::size_t>(w), [&](int y0, int y1) {
        C16BitPixel* p = bitmap.GetBuffer(0, y0);
        const std::size_t n = static_cast<std::size_t>(w) * static_cast<std::size_t>(y1 - y0);
        for (std::size_t i = 0; i < n; ++i) {
            if (first)
                p[i].b = curve[p[i].b];
            if (second)
                p[i].g = curve[p[i].g];
            if (third)
                p[i].r = curve[p[i].r];
        }
    });
}

} // namespace curve16
