// The tone-curve maths of "Professional Histograms": handle positions, the
// 8-bit tables through the handles, their 16-bit expansion for the levels
// job, handle dragging limits, "Auto" and the histogram strip's mapping.
// Headless, so the tests reach every rule without a window.
#pragma once

#include "algorithms/ColorTheme.h"
#include "imagecore/16BitBitmap.h"
#include "platform/win/WinTypes.h"

#include <array>

#include <cstdint>
#include <vector>

namespace histcurve {

inline constexpr int kMaxPoints = 7;
inline constexpr int kChannels = 4;   // RGB (master), R, G, B
inline constexpr int kMinGap = 8;     // levels between neighbouring handles

// Four counters per 16-bit level of the photo: luminance (3 R + 6 G + B) / 10,
// red, green, blue; counted on all cores.
using Histogram16 = std::vector<std::array<std::uint32_t, 4>>;
void CountHistogram16(const C16BitBitmap& bitmap, Histogram16& counts);

struct CurvePoint {
    RECT rect{};  // handle rectangle in client pixels
    int x = 0;    // input level
    int y = 0;    // output level
};

// n points at x = y = i x 255 / (n - 1).
void ResetPoints(CurvePoint* points, int n);

// The 8-bit table through n points ordered by x.
void BuildStraight(const CurvePoint* points, int n, BYTE table[256]);
void BuildSmooth(const CurvePoint* points, int n, BYTE table[256]);
inline void BuildTable(const CurvePoint* points, int n, bool smooth, BYTE table[256])
{
    smooth ? BuildSmooth(points, n, table) : BuildStraight(points, n, table);
}

// 65,536 entries: v = 256 j + k maps to T[j] x (256 - k) + T[j + 1] x k.
void Expand16(const BYTE table[256], WORD* out);

// Where level (x, y) sits in plot P, and its handle rectangle.
POINT PlotPoint(const RECT& plot, int x, int y);
RECT HandleRect(const RECT& plot, int x, int y);

// Moves point index of n to the mouse under the drag rules: neighbours
// stay kMinGap apart, the first point sticks to the left or bottom edge,
// the last to the top or right edge.
void DragPoint(const RECT& plot, POINT mouse, CurvePoint* points, int n, int index);

// The three "Auto" points from 65,536 counters of a photo of pixels pixels.
// A narrow histogram (high - low < 16) gets points 8 levels either side of
// its middle, so the table never divides by zero.
void AutoPoints(const std::uint32_t* counters, std::size_t stride, long long pixels, CurvePoint out[3]);

// Bins 1..254 become the mean of three neighbours of the unsmoothed bins.
void SmoothHistogram(std::uint32_t bins[256]);

// The bin shown in strip column i of a strip width pixels wide (columns 18
// to width - 10); -1 when the strip is too narrow to show bins.
int StripBin(int column, int width);
inline constexpr int kMinStripWidth = 29;

// The display scale: the largest bin, capped at pixels / 50, at least 1.
std::uint32_t StripScale(const std::uint32_t bins[256], long long pixels);

// A type-0 theme step: the master table three times for channel 0, else the
// blue, green and red tables.
ColorThemeStep CurvesStep(int channel, const BYTE curves[kChannels][256]);

} // namespace histcurve
