#include "algorithms/FillPolygonMask.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <new>
#include <vector>

namespace {

// One segment with its slope in 8.8 fixed point. A point (x, y) with
// low <= y < high is right of the segment's crossing of its row when
// (y - y0) * 256 + (x0 - x) * slope is negative for a rising slope, positive
// for a falling one; a vertical segment compares x0 < x.
struct Edge {
    long long x0, y0;
    long long slope;
    long long low, high;
    bool vertical;
    bool rising; // the sign of the true slope, for slopes that round to 0

    bool Spans(double y) const { return low <= y && y < high; }

    // Crossings strictly left of the point.
    bool LeftOf(double x, double y) const
    {
        if (vertical)
            return static_cast<double>(x0) < x;
        const double test = (y - static_cast<double>(y0)) * 256 + (static_cast<double>(x0) - x) * static_cast<double>(slope);
        return rising ? test < 0 : test > 0;
    }

    // The first integer column j for which LeftOf(j, y) holds on integer row
    // y; the test is monotonic in j.
    long long FirstColumnRight(long long y) const
    {
        if (vertical)
            return x0 + 1;
        // test = a - j * slope; 128 bits, as x0 * slope can pass 64 for far-off points.
        const __int128 a = static_cast<__int128>(y - y0) * 256 + static_cast<__int128>(x0) * slope;
        if (slope == 0)
            return (rising ? a < 0 : a > 0) ? LLONG_MIN : LLONG_MAX;
        // slope > 0: j * slope > a; slope < 0: j * slope < a; both j > a / slope.
        __int128 q = a / slope;
        if ((a % slope != 0) && ((a < 0) != (slope < 0)))
            --q; // floor
        return static_cast<long long>(std::clamp<__int128>(q + 1, LLONG_MIN, LLONG_MAX));
    }
};

bool InsideBySamples(const std::vector<const Edge*>& active, double x, double y)
{
    int count = 0;
    for (const Edge* e : active)
        if (e->Spans(y) && e->LeftOf(x, y))
            ++count;
    return count & 1;
}

} // namespace

HRESULT FillPolygonMask(const std::vector<POINT>& points, CQLChannel* mask)
{
    if (points.size() < 3 || !mask || mask->GetAreaByteSize() == 0)
        return E_FAIL;
    UINT mw = 0, mh = 0;
    mask->GetSize(&mw, &mh);
    const long long width = mw, height = mh;

    long long minX = points[0].x, maxX = minX, minY = points[0].y, maxY = minY;
    for (const POINT& p : points) {
        minX = std::min<long long>(minX, p.x);
        maxX = std::max<long long>(maxX, p.x);
        minY = std::min<long long>(minY, p.y);
        maxY = std::max<long long>(maxY, p.y);
    }
    const int x0 = static_cast<int>(std::max(0LL, minX)), x1 = static_cast<int>(std::min(width - 1, maxX));
    const int y0 = static_cast<int>(std::max(0LL, minY)), y1 = static_cast<int>(std::min(height - 1, maxY));
    if (x0 > x1 || y0 > y1)
        return 0; // wholly outside the mask

    try {
        std::vector<Edge> edges;
        edges.reserve(points.size() - 1);
        for (std::size_t k = 0; k + 1 < points.size(); ++k) {
            const long long xa = points[k].x, ya = points[k].y, xb = points[k + 1].x, yb = points[k + 1].y;
            Edge e{};
            e.x0 = xa;
            e.y0 = ya;
            e.vertical = xa == xb;
            e.slope = e.vertical ? 0 : ((ya - yb) * 256) / (xa - xb);
            e.rising = (ya - yb < 0) == (xa - xb < 0);
            e.low = std::min(ya, yb);
            e.high = std::max(ya, yb);
            if (e.low < e.high) // a level segment crosses no row
                edges.push_back(e);
        }

        // Fill: per row, each spanning edge toggles the parity from its
        // first column right of the crossing.
        std::vector<long long> starts;
        for (int i = y0; i <= y1; ++i) {
            starts.clear();
            for (const Edge& e : edges)
                if (e.Spans(i))
                    starts.push_back(e.FirstColumnRight(i));
            std::sort(starts.begin(), starts.end());
            BYTE* row = mask->GetBuffer(0, i);
            std::size_t passed = 0;
            for (int j = x0; j <= x1; ++j) {
                while (passed < starts.size() && starts[passed] <= j)
                    ++passed;
                if (passed & 1)
                    row[j] = 255;
            }
        }

        // Pixels that differ from a neighbour, the box's outer ring left out.
        struct Spot {
            int x, y;
        };
        std::vector<Spot> spots;
        for (int i = y0 + 1; i < y1; ++i)
            for (int j = x0 + 1; j < x1; ++j) {
                const BYTE v = mask->Get(j, i);
                bool differs = false;
                for (int dy = -1; dy <= 1 && !differs; ++dy)
                    for (int dx = -1; dx <= 1; ++dx)
                        if (mask->Get(j + dx, i + dy) != v) {
                            differs = true;
                            break;
                        }
                if (differs)
                    spots.push_back({j, i});
            }

        // Anti-aliasing by 4 x 4 sub-samples; the spots come row by row.
        static constexpr double kOffsets[4] = {-0.375, -0.125, 0.125, 0.375};
        std::vector<const Edge*> active;
        int activeRow = -1;
        for (const Spot& s : spots) {
            if (s.y != activeRow) {
                activeRow = s.y;
                active.clear();
                for (const Edge& e : edges)
                    if (e.low <= s.y + 1 && e.high > s.y - 1)
                        active.push_back(&e);
            }
            int inside = 0;
            for (double oy : kOffsets)
                for (double ox : kOffsets)
                    inside += InsideBySamples(active, s.x + ox, s.y + oy) ? 1 : 0;
            mask->Set(s.x, s.y, static_cast<BYTE>(inside == 16 ? 255 : 16 * inside));
        }
    } catch (const std::bad_alloc&) {
        return E_FAIL;
    }
    return 0;
}
