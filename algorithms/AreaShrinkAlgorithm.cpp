#include "algorithms/AreaShrinkAlgorithm.h"

#include "algorithms/ResampleRows.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// Offsets of the disc kernel's taps from the sample's pixel, in weight order.
constexpr int kTapX[AreaShrinkAlgorithm::kTaps] = {0, 1, -1, 0, 1, 2, -1, 0, 1, 2, 0, 1};
constexpr int kTapY[AreaShrinkAlgorithm::kTaps] = {-1, -1, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2};

// Box weights of one axis: 10 phases of 2n + 1 taps, each row normalised to
// about 256.
struct BoxWeights {
    int n = 0;
    std::vector<int> w; // phase p, tap j at w[p * (2n + 1) + j]

    int Taps() const { return 2 * n + 1; }
    const int* Row(int phase) const { return w.data() + static_cast<std::size_t>(phase) * Taps(); }
};

BoxWeights MakeBoxWeights(int side, int newSide, double factor)
{
    BoxWeights bw;
    const double s = (side * factor / newSide) * 0.5;
    bw.n = s >= 15.0 ? 16 : static_cast<int>(s) + 1;
    const int taps = bw.Taps();
    bw.w.assign(static_cast<std::size_t>(10) * taps, 0);
    for (int p = 0; p < 10; ++p) {
        const double e = bw.n + p * 0.1;
        const double lo = e - s, hi = e + s;
        int* row = bw.w.data() + static_cast<std::size_t>(p) * taps;
        int sum = 0;
        for (int j = 0; j < taps; ++j) {
            int v;
            if (lo >= j && lo < j + 1)
                v = static_cast<int>((j + 1 - lo) * 255);
            else if (hi >= j && hi < j + 1)
                v = static_cast<int>((hi - j) * 255);
            else
                v = (j >= lo && j + 1 <= hi) ? 255 : 0;
            row[j] = v;
            sum += v;
        }
        for (int j = 0; j < taps; ++j)
            row[j] = sum == 0 ? 0 : row[j] * 256 / sum;
    }
    return bw;
}

// The taps of one output sample along an axis: the first source index, how
// many, and their weights (already shifted to the first tap actually used).
struct Span {
    int first;
    int count;
    const int* weights;
    int sum;
};

Span MakeSpan(const BoxWeights& bw, double c, int side)
{
    const int d = static_cast<int>(c);
    const int phase = std::min(9, static_cast<int>((c - d) * 10));
    const int first = std::max(d - bw.n, 0);
    const int last = std::min(d + bw.n + 1, side) - 1;
    Span sp;
    sp.first = first;
    sp.count = std::max(0, last - first + 1);
    // Tap j of the row belongs to source index d - n + j; at the left border
    // the cut taps take their own weights, not the first ones of the row.
    sp.weights = bw.Row(phase) + (first - (d - bw.n));
    sp.sum = 0;
    for (int k = 0; k < sp.count; ++k)
        sp.sum += sp.weights[k];
    return sp;
}

// n / d for n <= 255 d, d in 1..256, as (n M) >> 31 (exact over that range).
inline std::uint32_t Reciprocal(int d)
{
    return d > 0 ? static_cast<std::uint32_t>((std::uint64_t{1} << 31) / static_cast<unsigned>(d) + 1) : 0;
}

// Weighted mean of B, G, R over count pixels step bytes apart; alpha from the
// first pixel.
inline DWORD BoxPixel(const BYTE* p, std::size_t step, const Span& sp)
{
    DWORD out;
    std::memcpy(&out, p, 4);
    if (sp.sum == 0)
        return out;
    unsigned b = 0, g = 0, r = 0;
    for (int k = 0; k < sp.count; ++k, p += step) {
        const unsigned wt = static_cast<unsigned>(sp.weights[k]);
        b += wt * p[0];
        g += wt * p[1];
        r += wt * p[2];
    }
    const unsigned sum = static_cast<unsigned>(sp.sum);
    return (out & 0xFF000000u) | ((r / sum) << 16) | ((g / sum) << 8) | (b / sum);
}

#if defined(__SSE2__)
// Lanes n0..n3 divided by the divisor whose reciprocal is m.
inline __m128i DivideLanes(__m128i n, __m128i m)
{
    const __m128i even = _mm_srli_epi64(_mm_mul_epu32(n, m), 31);
    const __m128i odd = _mm_slli_epi64(_mm_srli_epi64(_mm_mul_epu32(_mm_srli_epi64(n, 32), m), 31), 32);
    return _mm_or_si128(even, odd);
}

// The horizontal box sum of one target pixel: taps in pairs, each pair's
// channels interleaved so that one multiply-add weighs both.
inline DWORD BoxPixelAcross(const BYTE* p, const Span& sp, __m128i m)
{
    DWORD first;
    std::memcpy(&first, p, 4);
    if (sp.sum == 0)
        return first;
    const __m128i zero = _mm_setzero_si128();
    __m128i acc = zero;
    int k = 0;
    for (; k + 2 <= sp.count; k += 2) {
        const __m128i two = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p + 4 * k));
        const __m128i pair = _mm_unpacklo_epi8(_mm_unpacklo_epi8(two, _mm_srli_si128(two, 4)), zero);
        const __m128i w = _mm_set1_epi32((sp.weights[k] & 0xFFFF) | (sp.weights[k + 1] << 16));
        acc = _mm_add_epi32(acc, _mm_madd_epi16(pair, w));
    }
    if (k < sp.count) {
        DWORD last;
        std::memcpy(&last, p + 4 * k, 4);
        const __m128i one = _mm_unpacklo_epi16(_mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(last)), zero), zero);
        acc = _mm_add_epi32(acc, _mm_madd_epi16(one, _mm_set1_epi32(sp.weights[k])));
    }
    const __m128i q = DivideLanes(acc, m);
    const __m128i bytes = _mm_packus_epi16(_mm_packs_epi32(q, zero), zero);
    return (static_cast<DWORD>(_mm_cvtsi128_si32(bytes)) & 0x00FFFFFFu) | (first & 0xFF000000u);
}

// Four target pixels of a vertical box sum; tap rows in pairs.
inline void BoxPixelsDown(const BYTE* p, std::size_t stride, const Span& sp, __m128i m, BYTE* out)
{
    const __m128i zero = _mm_setzero_si128();
    __m128i a0 = zero, a1 = zero, a2 = zero, a3 = zero;
    int k = 0;
    for (; k + 2 <= sp.count; k += 2) {
        const __m128i r0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + k * stride));
        const __m128i r1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + (k + 1) * stride));
        const __m128i w = _mm_set1_epi32((sp.weights[k] & 0xFFFF) | (sp.weights[k + 1] << 16));
        const __m128i lo = _mm_unpacklo_epi8(r0, r1), hi = _mm_unpackhi_epi8(r0, r1);
        a0 = _mm_add_epi32(a0, _mm_madd_epi16(_mm_unpacklo_epi8(lo, zero), w));
        a1 = _mm_add_epi32(a1, _mm_madd_epi16(_mm_unpackhi_epi8(lo, zero), w));
        a2 = _mm_add_epi32(a2, _mm_madd_epi16(_mm_unpacklo_epi8(hi, zero), w));
        a3 = _mm_add_epi32(a3, _mm_madd_epi16(_mm_unpackhi_epi8(hi, zero), w));
    }
    if (k < sp.count) {
        const __m128i r0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + k * stride));
        const __m128i w = _mm_set1_epi32(sp.weights[k]);
        const __m128i lo = _mm_unpacklo_epi8(r0, zero), hi = _mm_unpackhi_epi8(r0, zero);
        a0 = _mm_add_epi32(a0, _mm_madd_epi16(_mm_unpacklo_epi16(lo, zero), w));
        a1 = _mm_add_epi32(a1, _mm_madd_epi16(_mm_unpackhi_epi16(lo, zero), w));
        a2 = _mm_add_epi32(a2, _mm_madd_epi16(_mm_unpacklo_epi16(hi, zero), w));
        a3 = _mm_add_epi32(a3, _mm_madd_epi16(_mm_unpackhi_epi16(hi, zero), w));
    }
    const __m128i first = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    __m128i v = first;
    if (sp.sum != 0) {
        const __m128i q = _mm_packus_epi16(_mm_packs_epi32(DivideLanes(a0, m), DivideLanes(a1, m)),
                                           _mm_packs_epi32(DivideLanes(a2, m), DivideLanes(a3, m)));
        const __m128i alpha = _mm_set1_epi32(static_cast<int>(0xFF000000u));
        v = _mm_or_si128(_mm_andnot_si128(alpha, q), _mm_and_si128(alpha, first));
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), v);
}
#endif

// F(c): overlap area of two discs of radius 0.8 whose centres are 2c apart.
double DiscOverlap(double c)
{
    constexpr double R = 0.8;
    if (c > R)
        return 0.0;
    return 2 * R * R * std::acos(c / R) - 2 * c * std::sqrt(R * R - c * c);
}

} // namespace

AreaShrinkAlgorithm::AreaShrinkAlgorithm()
{
    double f[128];
    for (int i = 0; i < 128; ++i)
        f[i] = DiscOverlap(i / 128.0);

    discWeights.resize(static_cast<std::size_t>(kPhases) * kPhases * kTaps * 4);
    for (int py = 0; py < kPhases; ++py) {
        for (int px = 0; px < kPhases; ++px) {
            const double fx = px / 64.0, fy = py / 64.0;
            double a[kTaps];
            double sum = 0;
            for (int t = 0; t < kTaps; ++t) {
                const double dx = kTapX[t] - fx, dy = kTapY[t] - fy;
                const int i = static_cast<int>(64 * std::sqrt(dx * dx + dy * dy));
                a[t] = i < 128 ? f[i] : 0.0;
                sum += a[t];
            }
            WORD* w = discWeights.data() + (static_cast<std::size_t>(py) * kPhases + px) * kTaps * 4;
            for (int t = 0; t < kTaps; ++t) {
                const WORD v = static_cast<WORD>(static_cast<int>(256 * a[t] / sum + 0.5));
                for (int c = 0; c < 4; ++c)
                    w[t * 4 + c] = v;
            }
        }
    }
}

HRESULT AreaShrinkAlgorithm::Apply(const void* params)
{
    if (EffectAlgorithm::Apply(params) != 0 || !params || target == source)
        return E_FAIL;
    const auto* p = static_cast<const ResizeParams*>(params);
    if (p->width < 1 || p->height < 1 || !(supportFactor > 0) || !std::isfinite(supportFactor))
        return E_FAIL;

    UINT w = 0, h = 0;
    source->GetSize(&w, &h);
    if (static_cast<UINT>(p->width) == w && static_cast<UINT>(p->height) == h) {
        if (!target->DuplicateFrom(source))
            return E_FAIL;
        Progress(100);
        return 0;
    }
    if (static_cast<UINT>(p->width) < w && static_cast<UINT>(p->height) < h)
        return Shrink(p->width, p->height);
    return Enlarge(p->width, p->height);
}

HRESULT AreaShrinkAlgorithm::Shrink(int newWidth, int newHeight)
{
    UINT uw = 0, uh = 0;
    source->GetSize(&uw, &uh);
    const int w = static_cast<int>(uw), h = static_cast<int>(uh);

    // Horizontal pass into a newWidth x h work image.
    const BoxWeights bx = MakeBoxWeights(w, newWidth, supportFactor);
    std::vector<Span> cols(static_cast<std::size_t>(newWidth));
    std::vector<std::uint32_t> colRecip(static_cast<std::size_t>(newWidth));
    for (int x = 0; x < newWidth; ++x) {
        cols[x] = MakeSpan(bx, (x + 0.5) * w / newWidth, w);
        colRecip[x] = Reciprocal(cols[x].sum);
    }

    CQLImage work;
    if (work.Create(static_cast<UINT>(newWidth), uh) != 0)
        return E_FAIL;
    Progress(10);
    const bool across = resample::ParallelRows(*this, h, static_cast<std::size_t>(newWidth) * bx.Taps(), 10, 10, 70, [&](int y) {
        const BYTE* in = source->GetBuffer(0, y);
        BYTE* out = work.GetBuffer(0, y);
        for (int x = 0; x < newWidth; ++x) {
#if defined(__SSE2__)
            const DWORD v = BoxPixelAcross(in + std::size_t{4} * cols[x].first, cols[x],
                                           _mm_set1_epi32(static_cast<int>(colRecip[x])));
#else
            const DWORD v = BoxPixel(in + std::size_t{4} * cols[x].first, 4, cols[x]);
#endif
            std::memcpy(out + std::size_t{4} * x, &v, 4);
        }
    });
    if (!across)
        return E_FAIL;

    // Vertical pass: centres without the half-pixel offset.
    const BoxWeights by = MakeBoxWeights(h, newHeight, supportFactor);
    if (target->Create(static_cast<UINT>(newWidth), static_cast<UINT>(newHeight)) != 0)
        return E_FAIL;
    const std::size_t stride = std::size_t{4} * newWidth;
    const bool down = resample::ParallelRows(*this, newHeight, static_cast<std::size_t>(newWidth) * by.Taps(), 10, 70, 90, [&](int y) {
        const Span sp = MakeSpan(by, static_cast<double>(y) * h / newHeight, h);
        const BYTE* in = work.GetBuffer(0, sp.first);
        BYTE* out = target->GetBuffer(0, y);
        int x = 0;
#if defined(__SSE2__)
        const __m128i m = _mm_set1_epi32(static_cast<int>(Reciprocal(sp.sum)));
        for (; x + 4 <= newWidth; x += 4)
            BoxPixelsDown(in + std::size_t{4} * x, stride, sp, m, out + std::size_t{4} * x);
#endif
        for (; x < newWidth; ++x) {
            const DWORD v = BoxPixel(in + std::size_t{4} * x, stride, sp);
            std::memcpy(out + std::size_t{4} * x, &v, 4);
        }
    });
    if (!down)
        return E_FAIL;
    Progress(100);
    return 0;
}

HRESULT AreaShrinkAlgorithm::Enlarge(int newWidth, int newHeight)
{
    UINT uw = 0, uh = 0;
    source->GetSize(&uw, &uh);
    const long long w = uw, h = uh;
    if (target->Create(static_cast<UINT>(newWidth), static_cast<UINT>(newHeight)) != 0)
        return E_FAIL;

    // Source positions x W / W' as integer part and 1/64 phase, exactly.
    std::vector<int> colX(static_cast<std::size_t>(newWidth)), colP(static_cast<std::size_t>(newWidth));
    for (int x = 0; x < newWidth; ++x) {
        const long long num = x * w;
        colX[x] = static_cast<int>(num / newWidth);
        colP[x] = static_cast<int>((num % newWidth) * 64 / newWidth);
    }
    const int maxX = static_cast<int>(w) - 1, maxY = static_cast<int>(h) - 1;
    // Byte offsets of columns X - 1 .. X + 2 of every target column, clamped.
    std::vector<std::uint32_t> colOff(static_cast<std::size_t>(newWidth) * 4);
    for (int x = 0; x < newWidth; ++x)
        for (int k = 0; k < 4; ++k)
            colOff[std::size_t{4} * x + k] = static_cast<std::uint32_t>(4 * std::clamp(colX[x] - 1 + k, 0, maxX));

    const bool done = resample::ParallelRows(*this, newHeight, static_cast<std::size_t>(newWidth) * kTaps, 10, 0, 100, [&](int y) {
        const long long num = y * h;
        const int sy = static_cast<int>(num / newHeight);
        const int py = static_cast<int>((num % newHeight) * 64 / newHeight);
        const BYTE* rows[4];
        for (int k = 0; k < 4; ++k)
            rows[k] = source->GetBuffer(0, std::clamp(sy - 1 + k, 0, maxY));
        BYTE* out = target->GetBuffer(0, y);
        for (int x = 0; x < newWidth; ++x) {
            const std::uint32_t* off = colOff.data() + std::size_t{4} * x;
            const WORD* wt = discWeights.data() + (static_cast<std::size_t>(py) * kPhases + colP[x]) * kTaps * 4;
            DWORD v;
#if defined(__SSE2__)
            // Two taps a register: 16-bit products (at most 255 x 256) summed
            // with unsigned saturation, as the definition asks.
            const __m128i zero = _mm_setzero_si128();
            __m128i acc = zero;
            for (int t = 0; t < kTaps; t += 2) {
                DWORD a, b;
                std::memcpy(&a, rows[kTapY[t] + 1] + off[kTapX[t] + 1], 4);
                std::memcpy(&b, rows[kTapY[t + 1] + 1] + off[kTapX[t + 1] + 1], 4);
                const __m128i two = _mm_unpacklo_epi8(
                    _mm_unpacklo_epi32(_mm_cvtsi32_si128(static_cast<int>(a)), _mm_cvtsi32_si128(static_cast<int>(b))), zero);
                const __m128i weights = _mm_loadu_si128(reinterpret_cast<const __m128i*>(wt + t * 4));
                acc = _mm_adds_epu16(acc, _mm_mullo_epi16(two, weights));
            }
            acc = _mm_srli_epi16(_mm_adds_epu16(acc, _mm_srli_si128(acc, 8)), 8);
            v = static_cast<DWORD>(_mm_cvtsi128_si32(_mm_packus_epi16(acc, zero)));
#else
            unsigned sum[4] = {0, 0, 0, 0};
            for (int t = 0; t < kTaps; ++t) {
                const BYTE* px = rows[kTapY[t] + 1] + off[kTapX[t] + 1];
                for (int c = 0; c < 4; ++c)
                    sum[c] += static_cast<unsigned>(wt[t * 4 + c]) * px[c];
            }
            // The sums saturate at 16 bits before the shift.
            v = 0;
            for (int c = 0; c < 4; ++c)
                v |= static_cast<DWORD>(std::min(sum[c], 65535u) >> 8) << (8 * c);
#endif
            std::memcpy(out + std::size_t{4} * x, &v, 4);
        }
    });
    if (!done)
        return E_FAIL;
    Progress(100);
    return 0;
}
