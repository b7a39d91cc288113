#include "editor/adjust/HistogramCurve.h"

#include "algorithms/NumericHelpers.h"
#include "imagecore/ParallelFor.h"

#include <algorithm>
#include <cstring>
#include <mutex>

namespace histcurve {

void CountHistogram16(const C16BitBitmap& bitmap, Histogram16& counts)
{
    counts.assign(65536, {});
    const int w = bitmap.GetWidth();
    std::mutex merge;
    imagecore::ParallelFor(0, bitmap.GetHeight(), static_cast<std::size_t>(w) * 4, [&](int y0, int y1) {
        // One table per counter: neighbouring pixels of a smooth photo hit
        // the same levels, and four separate tables keep those updates apart.
        std::vector<std::uint32_t> local(4 * 65536, 0);
        std::uint32_t* lum = local.data();
        std::uint32_t* red = lum + 65536;
        std::uint32_t* green = red + 65536;
        std::uint32_t* blue = green + 65536;
        for (int y = y0; y < y1; ++y) {
            const C16BitPixel* p = bitmap.GetBuffer(0, y);
            for (int x = 0; x < w; ++x) {
                ++lum[(3 * p[x].r + 6 * p[x].g + p[x].b) / 10];
                ++red[p[x].r];
                ++green[p[x].g];
                ++blue[p[x].b];
            }
        }
        std::lock_guard<std::mutex> lock(merge);
        for (std::size_t i = 0; i < counts.size(); ++i) {
            counts[i][0] += lum[i];
            counts[i][1] += red[i];
            counts[i][2] += green[i];
            counts[i][3] += blue[i];
        }
    });
}

void ResetPoints(CurvePoint* points, int n)
{
    for (int i = 0; i < n; ++i)
        points[i].x = points[i].y = i * 255 / (n - 1);
}

void BuildStraight(const CurvePoint* p, int n, BYTE table[256])
{
    for (int j = 0; j < p[0].x; ++j)
        table[j] = static_cast<BYTE>(p[0].y * j / p[0].x);
    for (int i = 0; i + 1 < n; ++i) {
        const CurvePoint& a = p[i];
        const CurvePoint& b = p[i + 1];
        for (int j = a.x; j < b.x; ++j)
            table[j] = static_cast<BYTE>(a.y + (b.y - a.y) * (j - a.x) / (b.x - a.x));
    }
    for (int j = p[n - 1].x; j < 256; ++j)
        table[j] = static_cast<BYTE>(p[n - 1].y);
}

namespace {

double Slope(const CurvePoint& a, const CurvePoint& b)
{
    return static_cast<double>(b.y - a.y) / (b.x - a.x);
}

} // namespace

void BuildSmooth(const CurvePoint* p, int n, BYTE table[256])
{
    double slopes[kMaxPoints] = {};
    slopes[0] = std::max(0.0, 2 * Slope(p[0], p[1]) - Slope(p[0], p[2]));
    slopes[n - 1] = std::max(0.0, 2 * Slope(p[n - 2], p[n - 1]) - Slope(p[n - 3], p[n - 1]));
    for (int i = 1; i + 1 < n; ++i)
        slopes[i] = Slope(p[i - 1], p[i + 1]);
    for (int j = 0; j < p[0].x; ++j)
        table[j] = 0;
    for (int i = 0; i + 1 < n; ++i) {
        const CurvePoint& a = p[i];
        const CurvePoint& b = p[i + 1];
        for (int j = a.x; j < b.x; ++j) {
            const double v = HermiteInterpolate(a.x, b.x, a.y, b.y, slopes[i], slopes[i + 1], j);
            table[j] = static_cast<BYTE>(std::clamp(v, 0.0, 255.0));
        }
    }
    for (int j = p[n - 1].x; j < 256; ++j)
        table[j] = static_cast<BYTE>(p[n - 1].y);
}

void Expand16(const BYTE t[256], WORD* out)
{
    for (int j = 0; j < 256; ++j)
        for (int k = 0; k < 256; ++k)
            out[256 * j + k] = static_cast<WORD>(j == 255 ? t[255] * 256 : t[j] * (256 - k) + t[j + 1] * k);
}

POINT PlotPoint(const RECT& P, int x, int y)
{
    return POINT{P.left + x * (P.right - P.left) / 256, P.bottom - (P.bottom - P.top) * y / 256};
}

RECT HandleRect(const RECT& P, int x, int y)
{
    const POINT c = PlotPoint(P, x, y);
    return RECT{c.x - 6, c.y - 7, c.x + 7, c.y + 6};
}

void DragPoint(const RECT& P, POINT mouse, CurvePoint* points, int n, int index)
{
    const int w = std::max(1, static_cast<int>(P.right - P.left));
    const int h = std::max(1, static_cast<int>(P.bottom - P.top));
    int x = std::clamp(static_cast<int>((mouse.x - P.left) * 256 / w), 0, 255);
    int y = std::clamp(255 - static_cast<int>((mouse.y - P.top) * 256 / h), 0, 255);
    if (index == 0) {
        x = std::min(x, points[1].x - kMinGap);
        if (y < x)
            y = 0;
        else
            x = 0;
    } else if (index == n - 1) {
        x = std::max(x, points[n - 2].x + kMinGap);
        if (y > x)
            y = 255;
        else
            x = 255;
    } else {
        x = std::clamp(x, points[index - 1].x + kMinGap, points[index + 1].x - kMinGap);
    }
    points[index].x = x;
    points[index].y = y;
    points[index].rect = HandleRect(P, x, y);
}

void AutoPoints(const std::uint32_t* counters, std::size_t stride, long long pixels, CurvePoint out[3])
{
    const long long t = pixels / 400;
    int low = 0, high = 255;
    if (t > 0) {
        long long sum = 0;
        int added = 0;
        while (added < 65536 && sum < t)
            sum += counters[static_cast<std::size_t>(added++) * stride];
        low = added / 256;
        sum = 0;
        added = 0;
        while (added < 65536 && sum < t)
            sum += counters[static_cast<std::size_t>(65535 - added++) * stride];
        high = (65535 - added) / 256;
    }
    if (high - low < 16) {
        const int c = std::clamp((low + high) / 2, 8, 247);
        out[0].x = c - 8;
        out[1].x = c;
        out[2].x = c + 8;
    } else {
        out[0].x = low;
        out[1].x = (low + high) / 2;
        out[2].x = high;
    }
    out[0].y = 0;
    out[1].y = 128;
    out[2].y = 255;
}

void SmoothHistogram(std::uint32_t bins[256])
{
    std::uint32_t h[256];
    std::memcpy(h, bins, sizeof h);
    for (int i = 0; i <= 253; ++i)
        bins[i + 1] = static_cast<std::uint32_t>((std::uint64_t(h[i]) + h[i + 1] + h[i + 2]) / 3);
}

int StripBin(int column, int width)
{
    if (width < kMinStripWidth)
        return -1;
    return std::min(255, 256 * (column - 17) / (width - 28));
}

std::uint32_t StripScale(const std::uint32_t bins[256], long long pixels)
{
    const std::uint32_t largest = *std::max_element(bins, bins + 256);
    const long long cap = pixels / 50;
    return static_cast<std::uint32_t>(std::max<long long>(1, std::min<long long>(largest, cap)));
}

ColorThemeStep CurvesStep(int channel, const BYTE curves[kChannels][256])
{
    ColorThemeStep step;
    step.type = ColorThemeStep::Curves;
    const int order[3] = {channel == 0 ? 0 : 3, channel == 0 ? 0 : 2, channel == 0 ? 0 : 1};
    for (int k = 0; k < 3; ++k)
        std::memcpy(step.payload + 256 * k, curves[order[k]], 256);
    return step;
}

} // namespace histcurve
