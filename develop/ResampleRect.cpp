#include "develop/ResampleRect.h"

#include "imagecore/QLImage.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace develop {

namespace {

struct Tap {
    int index;  // first of the two source samples
    int weight; // of the second, 0..256
};

// Sample positions k (n - 1) / (count - 1) in 1/256 steps, the last one
// between the last two samples.
void ComputeTaps(int count, int n, Tap* taps)
{
    for (int k = 0; k < count; ++k) {
        const long long pos = static_cast<long long>(k) * (n - 1) * 256 / (count - 1);
        int index = static_cast<int>(pos >> 8);
        int weight = static_cast<int>(pos & 255);
        if (index >= n - 1) {
            index = n - 2;
            weight = 256;
        }
        taps[k] = {index, weight};
    }
}

void FillWhite(CQLImage& dest)
{
    std::memset(dest.GetBuffer(0, 0), 0xFF, dest.GetAreaByteSize());
}

void BlockAverage(const CQLImage& source, CQLImage& dest, int width, int height, int x, int y, int w, int h)
{
    struct Sum {
        unsigned c[4];
        unsigned count;
    };
    std::vector<Sum> sums(static_cast<std::size_t>(width) * height, Sum{});
    const auto span = [](int i, int to, int from, int& first, int& last) {
        first = static_cast<int>(static_cast<long long>(i) * to / from);
        last = static_cast<int>(static_cast<long long>(i + 1) * to / from);
        if (last == first)
            last = first + 1;
    };
    for (int j = 0; j < h; ++j) {
        int r0, r1;
        span(j, height, h, r0, r1);
        const BYTE* row = source.GetBuffer(x, y + j);
        for (int i = 0; i < w; ++i) {
            int c0, c1;
            span(i, width, w, c0, c1);
            const BYTE* px = row + i * 4;
            for (int r = r0; r < r1; ++r)
                for (int c = c0; c < c1; ++c) {
                    Sum& s = sums[static_cast<std::size_t>(r) * width + c];
                    for (int k = 0; k < 4; ++k)
                        s.c[k] += px[k];
                    ++s.count;
                }
        }
    }
    for (int r = 0; r < height; ++r) {
        BYTE* out = dest.GetBuffer(0, r);
        for (int c = 0; c < width; ++c, out += 4) {
            const Sum& s = sums[static_cast<std::size_t>(r) * width + c];
            if (s.count)
                for (int k = 0; k < 4; ++k)
                    out[k] = static_cast<BYTE>(s.c[k] / s.count);
        }
    }
}

void Bilinear(const CQLImage& source, CQLImage& dest, int width, int height, int x, int y, int w, int h)
{
    // Grows to the widest call and stays: drawing allocates nothing.
    thread_local std::vector<Tap> columns, rows;
    if (columns.size() < static_cast<std::size_t>(width))
        columns.resize(static_cast<std::size_t>(width));
    if (rows.size() < static_cast<std::size_t>(height))
        rows.resize(static_cast<std::size_t>(height));
    ComputeTaps(width, w, columns.data());
    ComputeTaps(height, h, rows.data());
    UINT sourceWidth = 0, heightOfSource = 0;
    source.GetSize(&sourceWidth, &heightOfSource);
    const int sourceHeight = static_cast<int>(heightOfSource);
    for (int l = 0; l < height; ++l) {
        const Tap row = rows[static_cast<std::size_t>(l)];
        const BYTE* upper = source.GetBuffer(x, y + row.index);
        const BYTE* lower = y + row.index + 1 < sourceHeight ? source.GetBuffer(x, y + row.index + 1) : upper;
        const unsigned fy = static_cast<unsigned>(row.weight), gy = 256u - fy;
        BYTE* out = dest.GetBuffer(0, l);
        for (int k = 0; k < width; ++k, out += 4) {
            const Tap col = columns[static_cast<std::size_t>(k)];
            const unsigned fx = static_cast<unsigned>(col.weight), gx = 256u - fx;
            const BYTE* a = upper + col.index * 4;
            const BYTE* b = lower + col.index * 4;
            for (int c = 0; c < 4; ++c) {
                const unsigned top = a[c] * gx + a[c + 4] * fx;
                const unsigned bottom = b[c] * gx + b[c + 4] * fx;
                out[c] = static_cast<BYTE>(std::min((top * gy + bottom * fy + 32768u) >> 16, 255u));
            }
        }
    }
}

} // namespace

void MarkBilinearReads(int count, int n, std::vector<char>& used)
{
    used.assign(static_cast<std::size_t>(std::max(n, 0)), 0);
    if (count < 2 || n < 2)
        return;
    std::vector<Tap> taps(static_cast<std::size_t>(count));
    ComputeTaps(count, n, taps.data());
    for (const Tap& t : taps) {
        used[static_cast<std::size_t>(t.index)] = 1;
        used[static_cast<std::size_t>(t.index) + 1] = 1;
    }
}

BOOL ResampleRect(const CQLImage* source, CQLImage* dest, int width, int height, int x, int y, int w, int h)
{
    if (!source || !dest)
        return FALSE;
    UINT sourceWidth = 0, sourceHeight = 0;
    source->GetSize(&sourceWidth, &sourceHeight);
    const int sw = static_cast<int>(sourceWidth), sh = static_cast<int>(sourceHeight);
    if (w == -1)
        w = sw - x;
    if (h == -1)
        h = sh - y;
    // Only what lies inside the source is read.
    if (x < 0) {
        w += x;
        x = 0;
    }
    if (y < 0) {
        h += y;
        y = 0;
    }
    w = std::min(w, sw - x);
    h = std::min(h, sh - y);
    const bool blank = width <= 0 || height <= 0 || w <= 0 || h <= 0;
    const UINT dw = blank ? 1u : static_cast<UINT>(width), dh = blank ? 1u : static_cast<UINT>(height);
    if (dest->Create(dw, dh) != 0)
        return FALSE;
    if (blank) {
        FillWhite(*dest);
        return TRUE;
    }
    if (width == 1 || height == 1 || w == 1 || h == 1)
        BlockAverage(*source, *dest, width, height, x, y, w, h);
    else
        Bilinear(*source, *dest, width, height, x, y, w, h);
    return TRUE;
}

} // namespace develop
