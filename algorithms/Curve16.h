// Histograms and tone curves of the automatic levels and exposure effects,
// which work on a 16-bit copy of the photo. Every value of that copy is a
// function of the photo's own 8-bit level in the same channel, so the curves
// fold into one table per channel, the histograms of every stage are
// counted from the photo through the tables, and the copy is filled as the
// error diffusion back to 8 bits reaches it
// (C16BitBitmap::ConvertThroughTables).
// Counts are exact integers, so the split over cores does not change them.
#pragma once

#include "platform/win/WinTypes.h"

#include <cstdint>
#include <vector>

class CQLImage;

namespace curve16 {

inline constexpr int kLevels = 65536;

// Which value of a pixel a histogram counts: a channel (b, g, r, as the
// bytes of a pixel) or the luminance index (3 r + 6 g + b) / 10.
enum class Index { First, Second, Third, Luma };

// The 16-bit value of each 8-bit level, per channel (b, g, r).
struct Tables {
    WORD c[3][256];

    // v * 256: the plain 16-bit copy.
    static Tables Identity();
    // Maps the chosen channels' values through curve (kLevels entries).
    void Map(const WORD* curve, bool first, bool second, bool third);
};

// Pixels a count takes: rows [top, bottom) but not [skipTop, skipBottom),
// and of those columns [left, right) but not [skipLeft, skipRight).
struct Region {
    int top, bottom, skipTop, skipBottom;
    int left, right, skipLeft, skipRight;

    static Region Whole(int width, int height) { return {0, height, 0, 0, 0, width, 0, 0}; }
};

// Adds the index of every pixel of the region, its channels through the
// tables, to hist (kLevels counts).
void Count(const CQLImage& image, const Tables& tables, Index index, const Region& region,
           std::vector<std::uint64_t>& hist);

// hist = the histogram of the index over the whole image through the tables.
void Histogram(const CQLImage& image, const Tables& tables, Index index, std::vector<std::uint64_t>& hist);

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

} // namespace curve16
