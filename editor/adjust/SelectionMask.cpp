#include "editor/adjust/SelectionMask.h"

#include "algorithms/FillPolygonMask.h"
#include "algorithms/SmoothAlgorithm.h"
#include "imagecore/ParallelFor.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

CQLChannel eraseMask;

namespace selection {

namespace {

constexpr int kBands = 10;  // progress steps of a selection

SIZE SizeOf(const CQLImage& image)
{
    UINT w = 0, h = 0;
    image.GetSize(&w, &h);
    return SIZE{static_cast<LONG>(w), static_cast<LONG>(h)};
}

// Runs row(y) over all rows of a w x h picture on every core, in bands, with
// progress after each band.
template <class Row>
void ForRows(int w, int h, const Progress& progress, Row&& row)
{
    for (int band = 0; band < kBands; ++band) {
        const int from = h * band / kBands;
        const int to = h * (band + 1) / kBands;
        imagecore::ParallelFor(from, to, static_cast<std::size_t>(w), [&](int y0, int y1) {
            for (int y = y0; y < y1; ++y)
                row(y);
        });
        if (progress)
            progress((band + 1) * 100 / kBands);
    }
}

bool MakePlane(const CQLImage& image, CQLChannel* out)
{
    const SIZE size = SizeOf(image);
    if (image.GetAreaByteSize() == 0 || size.cx == 0 || size.cy == 0)
        return false;
    CQLChannel plane;
    if (plane.Create(static_cast<UINT>(size.cx), static_cast<UINT>(size.cy)) != 0)
        return false;
    *out = std::move(plane);
    return true;
}

inline int Luminance(const BYTE* p)
{
    return (6 * p[1] + 3 * p[2] + p[0]) / 10;
}

// The hue byte of one pixel without branches or tables, so that the loop
// runs on vector units: the float quotient truncates to the exact integer
// one (its fraction is at least 1/1530, far above float's error below 256).
inline int HueByte(int r, int g, int b, int h0)
{
    const int M = std::max(r, std::max(g, b));
    const int m = std::min(r, std::min(g, b));
    const int d = M - m;
    const int diff = M == r ? g - b : (M == g ? b - r : r - g);
    const int base = M == r ? 0 : (M == g ? 85 : 170);
    const int offset = static_cast<int>(static_cast<float>(diff * 255) / static_cast<float>(6 * std::max(d, 1)));
    const int hue = d == 0 ? 0 : (base + offset) & 255;
    int o = hue - h0;
    o = o < 0 ? -o : o;
    o = o > 128 ? 256 - o : o;
    const int t = std::clamp(383 - 8 * o, 0, 255);
    const int c = (M + m) >> 1;
    const int chroma = std::min(255, 3 * ((r > c ? r - c : c - r) + (g > c ? g - c : c - g) + (b > c ? b - c : c - b)));
    return (t * chroma) >> 8;
}

void HueRow(const BYTE* __restrict p, BYTE* __restrict q, int n, int h0)
{
    for (int x = 0; x < n; ++x)
        q[x] = static_cast<BYTE>(HueByte(p[4 * x + 2], p[4 * x + 1], p[4 * x], h0));
}

// One inner row of the edge selection from three rows of grey.
void EdgeRow(const BYTE* __restrict n, const BYTE* __restrict c, const BYTE* __restrict s, BYTE* __restrict q,
             int w)
{
    for (int x = 1; x < w - 1; ++x) {
        const int gy = (n[x - 1] + n[x] + n[x + 1]) - (s[x - 1] + s[x] + s[x + 1]);
        const int gx = (n[x - 1] + c[x - 1] + s[x - 1]) - (n[x + 1] + c[x + 1] + s[x + 1]);
        const int ay = gy < 0 ? -gy : gy;
        const int ax = gx < 0 ? -gx : gx;
        q[x] = static_cast<BYTE>(std::min(255, std::max(ay, ax)));
    }
}

void GreyRow(const BYTE* __restrict p, BYTE* __restrict q, int n)
{
    for (int x = 0; x < n; ++x)
        q[x] = static_cast<BYTE>((6 * p[4 * x + 1] + 3 * p[4 * x + 2] + p[4 * x]) / 10);
}

}  // namespace

void ToneRamp(const ToneRange& t, BYTE table[256])
{
    for (int v = 0; v < 256; ++v) {
        int value = 0;
        if (v < t.a)
            value = 0;
        else if (v < t.b)
            value = (255 * v - 255 * t.a) / (t.b - t.a);
        else if (v < t.c)
            value = 255;
        else if (v < t.d)
            value = 255 * (t.d - v) / (t.d - t.c);
        table[v] = static_cast<BYTE>(value);
    }
}

int HueOf(int red, int green, int blue)
{
    const int M = std::max({red, green, blue});
    const int m = std::min({red, green, blue});
    if (M == m)
        return 0;
    const int L = 6 * (M - m);
    int h;
    if (M == red)
        h = (green - blue) * 255 / L;
    else if (M == green)
        h = (blue - red) * 255 / L + 85;
    else
        h = (red - green) * 255 / L + 170;
    return ((h % 256) + 256) % 256;
}

int HueWeight(int hue, int h0)
{
    int o = std::abs(hue - h0);
    if (o > 128)
        o = 256 - o;
    if (o <= 15)
        return 255;
    if (o >= 48)
        return 0;
    return 383 - 8 * o;
}

int Chroma(int red, int green, int blue)
{
    const int c = (std::max({red, green, blue}) + std::min({red, green, blue})) / 2;
    return std::min(255, 3 * (std::abs(red - c) + std::abs(green - c) + std::abs(blue - c)));
}

bool SelectTone(const CQLImage& image, const ToneRange& range, CQLChannel* out, const Progress& progress)
{
    CQLChannel plane;
    if (!MakePlane(image, &plane))
        return false;
    BYTE table[256];
    ToneRamp(range, table);
    const int w = static_cast<int>(SizeOf(image).cx);
    ForRows(w, static_cast<int>(SizeOf(image).cy), progress, [&](int y) {
        const BYTE* p = image.GetBuffer(0, y);
        BYTE* q = plane.GetBuffer(0, y);
        for (int x = 0; x < w; ++x, p += 4)
            q[x] = table[Luminance(p)];
    });
    *out = std::move(plane);
    return true;
}

bool SelectHue(const CQLImage& image, int h0, CQLChannel* out, const Progress& progress)
{
    CQLChannel plane;
    if (!MakePlane(image, &plane))
        return false;
    const int w = static_cast<int>(SizeOf(image).cx);
    ForRows(w, static_cast<int>(SizeOf(image).cy), progress, [&](int y) {
        HueRow(image.GetBuffer(0, y), plane.GetBuffer(0, y), w, h0);
    });
    *out = std::move(plane);
    return true;
}

bool SelectEdge(const CQLImage& image, CQLChannel* out, const Progress& progress)
{
    CQLChannel grey, plane;
    if (!MakePlane(image, &plane) || !MakePlane(image, &grey))
        return false;
    const int w = static_cast<int>(SizeOf(image).cx);
    const int h = static_cast<int>(SizeOf(image).cy);
    imagecore::ParallelFor(0, h, static_cast<std::size_t>(w), [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y)
            GreyRow(image.GetBuffer(0, y), grey.GetBuffer(0, y), w);
    });
    ForRows(w, h, progress, [&](int y) {
        BYTE* q = plane.GetBuffer(0, y);
        q[0] = q[w - 1] = 0;
        if (y == 0 || y == h - 1)
            std::memset(q, 0, static_cast<size_t>(w));
        else
            EdgeRow(grey.GetBuffer(0, y - 1), grey.GetBuffer(0, y), grey.GetBuffer(0, y + 1), q, w);
    });
    *out = std::move(plane);
    return true;
}

std::vector<POINT> MapPoints(const std::vector<POINT>& points, const RECT& r, int imageWidth, int imageHeight)
{
    const int rw = std::max<int>(1, r.right - r.left);
    const int rh = std::max<int>(1, r.bottom - r.top);
    std::vector<POINT> mapped;
    mapped.reserve(points.size());
    for (const POINT& p : points) {
        const double x = std::lround(static_cast<double>(p.x - r.left) * imageWidth / rw);
        const double y = std::lround(static_cast<double>(p.y - r.top) * imageHeight / rh);
        mapped.push_back(POINT{static_cast<LONG>(std::clamp<double>(x, 0, std::max(0, imageWidth - 1))),
                               static_cast<LONG>(std::clamp<double>(y, 0, std::max(0, imageHeight - 1)))});
    }
    return mapped;
}

bool PolygonMask(const std::vector<POINT>& points, int width, int height, CQLChannel* out)
{
    out->Free();
    if (points.size() < 3 || width <= 0 || height <= 0)
        return false;
    CQLChannel plane;
    if (plane.Create(static_cast<UINT>(width), static_cast<UINT>(height)) != 0)
        return false;
    std::memset(plane.GetBuffer(0, 0), 0, plane.GetAreaByteSize());
    if (FillPolygonMask(points, &plane) != 0)
        return false;  // a half-filled plane selects nothing
    *out = std::move(plane);
    return true;
}

void CombineMask(CQLChannel* raw, CQLChannel* fresh, int mode)
{
    if (raw->GetAreaByteSize() == 0 || mode == kNewSelection || raw->GetAreaByteSize() != fresh->GetAreaByteSize()) {
        *raw = std::move(*fresh);
    } else {
        BYTE* r = raw->GetBuffer(0, 0);
        const BYTE* f = fresh->GetBuffer(0, 0);
        const UINT n = raw->GetAreaByteSize();
        if (mode == kAddSelection)
            for (UINT i = 0; i < n; ++i)
                r[i] = static_cast<BYTE>(std::min(255, r[i] + f[i]));
        else
            for (UINT i = 0; i < n; ++i)
                r[i] = static_cast<BYTE>(std::max(0, r[i] - f[i]));
    }
    const BYTE* r = raw->GetBuffer(0, 0);
    const UINT n = raw->GetAreaByteSize();
    if (n == 0 || std::all_of(r, r + n, [](BYTE v) { return v == 0; }))
        raw->Free();
}

void InvertMask(CQLChannel* mask)
{
    BYTE* p = mask->GetBuffer(0, 0);
    for (UINT i = 0, n = mask->GetAreaByteSize(); i < n; ++i)
        p[i] = static_cast<BYTE>(255 - p[i]);
}

int FeatherRadius(UINT width, UINT height, int feather)
{
    const double diagonal = std::sqrt(static_cast<double>(width) * width + static_cast<double>(height) * height);
    return static_cast<int>(static_cast<long long>(diagonal) * feather / 250);
}

namespace {

// The feather's progress, read by the smoothing's callback on the same thread.
thread_local Progress* t_smoothProgress = nullptr;

int SmoothCallback(int code, int value)
{
    if (code == 1 && t_smoothProgress && *t_smoothProgress)
        (*t_smoothProgress)(value);
    return 0;
}

}  // namespace

// The smoothing's alpha-only mode gives the same bytes as channel 1 of a
// four-channel run (the tests hold it to that) at a quarter of the work.
bool FeatherMask(const CQLChannel& raw, int feather, CQLChannel* mask, const Progress& progress)
{
    UINT w = 0, h = 0;
    raw.GetSize(&w, &h);
    const int radius = FeatherRadius(w, h, feather);
    if (radius == 0 || raw.GetAreaByteSize() == 0)
        return mask->DuplicateFrom(&raw) != 0;
    CQLImage planes, blurred;
    if (planes.Create(w, h) != 0)
        return false;
    imagecore::ParallelFor(0, static_cast<int>(h), w, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            const BYTE* s = raw.GetBuffer(0, y);
            BYTE* d = planes.GetBuffer(0, y);
            for (UINT x = 0; x < w; ++x, d += 4)
                d[0] = d[1] = d[2] = d[3] = s[x];
        }
    });
    SmoothAlgorithm smooth;
    smooth.SetImages(&planes, &blurred);
    smooth.SetAlphaOnly(1);
    Progress report = progress;
    t_smoothProgress = &report;
    smooth.SetCallback(SmoothCallback);
    const SmoothParams params{radius};
    const HRESULT hr = smooth.Apply(&params);
    t_smoothProgress = nullptr;
    if (hr != 0 || blurred.GetAreaByteSize() != planes.GetAreaByteSize())
        return false;
    CQLChannel result;
    if (result.Create(w, h) != 0)
        return false;
    imagecore::ParallelFor(0, static_cast<int>(h), w, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            const BYTE* s = blurred.GetBuffer(0, y) + 3;
            BYTE* d = result.GetBuffer(0, y);
            for (UINT x = 0; x < w; ++x, s += 4)
                d[x] = *s;
        }
    });
    *mask = std::move(result);
    return true;
}

void TintPreview(CQLImage* preview, const CQLChannel& mask, bool showMask, bool highlightSelected)
{
    UINT w = 0, h = 0, mw = 0, mh = 0;
    preview->GetSize(&w, &h);
    mask.GetSize(&mw, &mh);
    if (w != mw || h != mh || mask.GetAreaByteSize() == 0)
        return;
    for (UINT y = 0; y < h; ++y) {
        BYTE* p = preview->GetBuffer(0, static_cast<int>(y));
        const BYTE* m = mask.GetBuffer(0, static_cast<int>(y));
        for (UINT x = 0; x < w; ++x, p += 4) {
            if (showMask) {
                p[0] = p[1] = p[2] = m[x];
                continue;
            }
            const int d = highlightSelected ? 4 * m[x] / 5 : (1020 - 4 * m[x]) / 5;
            for (int c = 0; c < 3; ++c)
                p[c] = static_cast<BYTE>((255 * d + p[c] * (255 - d)) / 255);
        }
    }
}

}  // namespace selection
