#include "editor/adjust/SelectionMask.h"

#include "algorithms/FillPolygonMask.h"
#include "algorithms/SmoothAlgorithm.h"
#include "imagecore/ParallelFor.h"
#include "imagecore/Simd.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <immintrin.h>
#include <mutex>

CQLChannel eraseMask;

namespace selection {

namespace {

constexpr int kBands = 10;  // progress steps of a selection
constexpr int kProgressRows = 16;  // rows a core takes at a time

SIZE SizeOf(const CQLImage& image)
{
    UINT w = 0, h = 0;
    image.GetSize(&w, &h);
    return SIZE{static_cast<LONG>(w), static_cast<LONG>(h)};
}

// Runs row(y) over all rows of a w x h picture on every core in one pass,
// each core taking the next kProgressRows rows not yet taken (a pass per
// band, or a fixed share per core, would wait for the slowest core);
// progress gets each tenth in order as the rows done pass it, from the
// thread that passes it.
template <class Row>
void ForRows(int w, int h, const Progress& progress, Row&& row)
{
    const int blocks = (h + kProgressRows - 1) / kProgressRows;
    const int workers = static_cast<int>(std::min<std::size_t>(imagecore::ThreadCount(), blocks));
    std::atomic<int> next{0};
    std::atomic<long long> done{0};
    std::mutex reportLock;
    int reported = 0;
    imagecore::ParallelFor(0, workers, static_cast<std::size_t>(w) * h / std::max(1, workers), [&](int, int) {
        for (int block = next++; block < blocks; block = next++) {
            const int from = block * kProgressRows, to = std::min(h, from + kProgressRows);
            for (int y = from; y < to; ++y)
                row(y);
            if (!progress)
                continue;
            const long long rows = done += to - from;
            const int tenths = static_cast<int>(rows * kBands / h);
            const std::lock_guard guard(reportLock);
            for (; reported < tenths; ++reported)
                progress((reported + 1) * 100 / kBands);
        }
    });
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

void HueRowPlain(const BYTE* __restrict p, BYTE* __restrict q, int from, int n, int h0)
{
    for (int x = from; x < n; ++x)
        q[x] = static_cast<BYTE>(HueByte(p[4 * x + 2], p[4 * x + 1], p[4 * x], h0));
}

// Byte shuffles that put B, G or R of each pixel in its 32-bit lane's low byte.
constexpr int kPickB = static_cast<int>(0x80808000u), kPickG = static_cast<int>(0x80808001u),
              kPickR = static_cast<int>(0x80808002u);

// GCC 12's AVX-512 header fills unused lanes from a deliberately
// uninitialised value, which these warnings would report in every caller.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wuninitialized"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

// HueByte on 32-bit lanes, the same operations in the same order: the
// quotient by the same single-precision division and truncation, products
// below 65536 in the low 16 bits of a lane whose high ones stay 0.
__attribute__((target("avx512f,avx512bw"))) __m128i HueBytesAvx512(__m512i px, __m512i h0)
{
    const auto pick = [px](int first) __attribute__((target("avx512f,avx512bw"))) {
        const __m512i index = _mm512_add_epi32(_mm512_set1_epi32(first), _mm512_set4_epi32(12, 8, 4, 0));
        return _mm512_shuffle_epi8(px, index);
    };
    const __m512i b = pick(kPickB), g = pick(kPickG), r = pick(kPickR);
    const __m512i M = _mm512_max_epi32(r, _mm512_max_epi32(g, b));
    const __m512i m = _mm512_min_epi32(r, _mm512_min_epi32(g, b));
    const __m512i d = _mm512_sub_epi32(M, m);
    const __mmask16 isR = _mm512_cmpeq_epi32_mask(M, r), isG = _mm512_cmpeq_epi32_mask(M, g);
    __m512i diff = _mm512_mask_blend_epi32(isG, _mm512_sub_epi32(r, g), _mm512_sub_epi32(b, r));
    diff = _mm512_mask_blend_epi32(isR, diff, _mm512_sub_epi32(g, b));
    __m512i base = _mm512_mask_blend_epi32(isG, _mm512_set1_epi32(170), _mm512_set1_epi32(85));
    base = _mm512_maskz_mov_epi32(static_cast<__mmask16>(~isR), base);
    const __m512i d1 = _mm512_max_epi32(d, _mm512_set1_epi32(1));
    const __m512i num = _mm512_mullo_epi32(diff, _mm512_set1_epi32(255));
    const __m512i den = _mm512_mullo_epi32(d1, _mm512_set1_epi32(6));
    const __m512i offset = _mm512_cvttps_epi32(_mm512_div_ps(_mm512_cvtepi32_ps(num), _mm512_cvtepi32_ps(den)));
    const __mmask16 grey = _mm512_cmpeq_epi32_mask(d, _mm512_setzero_si512());
    const __m512i hue = _mm512_maskz_and_epi32(static_cast<__mmask16>(~grey), _mm512_add_epi32(base, offset),
                                               _mm512_set1_epi32(255));
    __m512i o = _mm512_abs_epi32(_mm512_sub_epi32(hue, h0));
    o = _mm512_min_epi32(o, _mm512_sub_epi32(_mm512_set1_epi32(256), o));
    const __m512i t = _mm512_min_epi32(
        _mm512_max_epi32(_mm512_sub_epi32(_mm512_set1_epi32(383), _mm512_mullo_epi32(o, _mm512_set1_epi32(8))),
                         _mm512_setzero_si512()),
        _mm512_set1_epi32(255));
    const __m512i c = _mm512_srli_epi16(_mm512_add_epi32(M, m), 1);
    const __m512i spread = _mm512_add_epi32(
        _mm512_add_epi32(_mm512_abs_epi32(_mm512_sub_epi32(r, c)), _mm512_abs_epi32(_mm512_sub_epi32(g, c))),
        _mm512_abs_epi32(_mm512_sub_epi32(b, c)));
    const __m512i chroma = _mm512_min_epi32(_mm512_mullo_epi32(spread, _mm512_set1_epi32(3)), _mm512_set1_epi32(255));
    return _mm512_cvtepi32_epi8(_mm512_srli_epi16(_mm512_mullo_epi16(t, chroma), 8));
}

__attribute__((target("avx512f,avx512bw"))) int HueRowAvx512(const BYTE* p, BYTE* q, int n, int h0)
{
    const __m512i hue0 = _mm512_set1_epi32(h0);
    int x = 0;
    for (; x + 16 <= n; x += 16)
        _mm_storeu_si128(reinterpret_cast<__m128i*>(q + x), HueBytesAvx512(_mm512_loadu_si512(p + 4 * x), hue0));
    return x;
}

#pragma GCC diagnostic pop

__attribute__((target("avx2"))) __m256i HueBytesAvx2(__m256i px, __m256i h0)
{
    const auto pick = [px](int first) __attribute__((target("avx2"))) {
        const __m256i index = _mm256_add_epi32(_mm256_set1_epi32(first), _mm256_setr_epi32(0, 4, 8, 12, 0, 4, 8, 12));
        return _mm256_shuffle_epi8(px, index);
    };
    const __m256i b = pick(kPickB), g = pick(kPickG), r = pick(kPickR);
    const __m256i M = _mm256_max_epi32(r, _mm256_max_epi32(g, b));
    const __m256i m = _mm256_min_epi32(r, _mm256_min_epi32(g, b));
    const __m256i d = _mm256_sub_epi32(M, m);
    const __m256i isR = _mm256_cmpeq_epi32(M, r), isG = _mm256_cmpeq_epi32(M, g);
    __m256i diff = _mm256_blendv_epi8(_mm256_sub_epi32(r, g), _mm256_sub_epi32(b, r), isG);
    diff = _mm256_blendv_epi8(diff, _mm256_sub_epi32(g, b), isR);
    __m256i base = _mm256_blendv_epi8(_mm256_set1_epi32(170), _mm256_set1_epi32(85), isG);
    base = _mm256_andnot_si256(isR, base);
    const __m256i d1 = _mm256_max_epi32(d, _mm256_set1_epi32(1));
    const __m256i num = _mm256_mullo_epi32(diff, _mm256_set1_epi32(255));
    const __m256i den = _mm256_mullo_epi32(d1, _mm256_set1_epi32(6));
    const __m256i offset = _mm256_cvttps_epi32(_mm256_div_ps(_mm256_cvtepi32_ps(num), _mm256_cvtepi32_ps(den)));
    const __m256i grey = _mm256_cmpeq_epi32(d, _mm256_setzero_si256());
    const __m256i hue = _mm256_andnot_si256(grey, _mm256_and_si256(_mm256_add_epi32(base, offset), _mm256_set1_epi32(255)));
    __m256i o = _mm256_abs_epi32(_mm256_sub_epi32(hue, h0));
    o = _mm256_min_epi32(o, _mm256_sub_epi32(_mm256_set1_epi32(256), o));
    const __m256i t = _mm256_min_epi32(
        _mm256_max_epi32(_mm256_sub_epi32(_mm256_set1_epi32(383), _mm256_mullo_epi32(o, _mm256_set1_epi32(8))),
                         _mm256_setzero_si256()),
        _mm256_set1_epi32(255));
    const __m256i c = _mm256_srli_epi16(_mm256_add_epi32(M, m), 1);
    const __m256i spread = _mm256_add_epi32(
        _mm256_add_epi32(_mm256_abs_epi32(_mm256_sub_epi32(r, c)), _mm256_abs_epi32(_mm256_sub_epi32(g, c))),
        _mm256_abs_epi32(_mm256_sub_epi32(b, c)));
    const __m256i chroma = _mm256_min_epi32(_mm256_mullo_epi32(spread, _mm256_set1_epi32(3)), _mm256_set1_epi32(255));
    return _mm256_srli_epi16(_mm256_mullo_epi16(t, chroma), 8);
}

// Sixteen pixels a step: two vectors of eight bytes in 32-bit lanes packed
// to bytes, the halves of each 128-bit lane put back in pixel order.
__attribute__((target("avx2"))) int HueRowAvx2(const BYTE* p, BYTE* q, int n, int h0)
{
    const __m256i hue0 = _mm256_set1_epi32(h0);
    const __m256i order = _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7);
    int x = 0;
    for (; x + 16 <= n; x += 16) {
        const __m256i a = HueBytesAvx2(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 4 * x)), hue0);
        const __m256i b = HueBytesAvx2(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 4 * x + 32)), hue0);
        const __m256i words = _mm256_packus_epi32(a, b);
        const __m256i bytes = _mm256_permutevar8x32_epi32(_mm256_packus_epi16(words, words), order);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(q + x), _mm256_castsi256_si128(bytes));
    }
    return x;
}

void HueRow(const BYTE* p, BYTE* q, int n, int h0)
{
    int x = 0;
    if (imagecore::ActiveSimdLevel() == imagecore::SimdLevel::Avx2)
        x = imagecore::ActiveAvx512() ? HueRowAvx512(p, q, n, h0) : HueRowAvx2(p, q, n, h0);
    HueRowPlain(p, q, x, n, h0);
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
