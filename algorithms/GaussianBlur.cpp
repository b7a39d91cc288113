#include "algorithms/GaussianBlur.h"

#include "algorithms/RowProgress.h"
#include "imagecore/ParallelFor.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <new>
#include <utility>
#include <vector>

#if defined(__SSE2__)
#include <immintrin.h>
#endif

// The AVX2 loops are chosen at run time; their vectors never cross into SSE2 code.
#pragma GCC diagnostic ignored "-Wpsabi"

GaussianKernel MakeGaussianKernel(double sigma)
{
    GaussianKernel k;
    const double v = 2.0 * sigma * sigma;
    int w[16] = {};
    int n = 0;
    for (int i = 0; i < 16; ++i) {
        // The base is deliberately 2.7188282, not e.
        const int wi = v > 0.0 ? static_cast<int>(1024.0 * std::pow(2.7188282, -(i * i) / v)) : (i == 0 ? 1024 : 0);
        if (wi == 0)
            break;
        w[n++] = wi;
    }
    int sum = w[0];
    for (int i = 1; i < n; ++i)
        sum += 2 * w[i];
    k.taps = n;
    for (int i = 0; i < 16; ++i)
        k.weight[i] = i < n ? w[i] * 2048 / sum : 0;
    return k;
}

namespace {

// One sample of a window cut by the ends of a line of len samples, stride apart.
inline BYTE CutSample(const BYTE* line, int pos, int len, std::ptrdiff_t stride, const GaussianKernel& k)
{
    const int n = k.taps;
    const int from = std::max(-(n - 1), -pos);
    const int to = std::min(n - 1, len - 1 - pos);
    int sum = 0, used = 0;
    for (int d = from; d <= to; ++d) {
        const int w = k.weight[d < 0 ? -d : d];
        sum += w * line[(pos + d) * stride];
        used += w;
    }
    return static_cast<BYTE>(used > 0 ? sum / used : line[pos * stride]);
}

inline BYTE FullSample(const BYTE* line, int pos, std::ptrdiff_t stride, const GaussianKernel& k)
{
    int sum = k.weight[0] * line[pos * stride];
    for (int d = 1; d < k.taps; ++d)
        sum += k.weight[d] * (line[(pos - d) * stride] + line[(pos + d) * stride]);
    return static_cast<BYTE>(sum >> 11);
}

// The full-window loops are compiled once per tap count (1..16) so that the
// tap loop unrolls, with SSE2 everywhere and AVX2 where the processor has it.
// Terms are paired for madd: (centre or pair sum of tap 2i, of tap 2i + 1)
// against (weight 2i, weight 2i + 1); every sum stays below 2^31.
#if defined(__SSE2__)
constexpr int kPairs = 8;

void PairWeights(const GaussianKernel& k, int out[kPairs])
{
    for (int i = 0; i < kPairs; ++i) {
        const int a = 2 * i < k.taps ? k.weight[2 * i] : 0;
        const int b = 2 * i + 1 < k.taps ? k.weight[2 * i + 1] : 0;
        out[i] = (b << 16) | a;
    }
}

// Interior x (firstFull <= x <= lastFull) two pixels at a time; returns the next x.
template <int N>
int HorizontalSse2(const BYTE* in, BYTE* out, int x, int lastFull, const int* pairs)
{
    const __m128i zero = _mm_setzero_si128();
    __m128i w[kPairs];
    for (int p = 0; p < (N + 1) / 2; ++p)
        w[p] = _mm_set1_epi32(pairs[p]);
    auto load2 = [&](int px) { return _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(in + px * 4)), zero); };
    for (; x + 1 <= lastFull; x += 2) {
        __m128i acc0 = zero, acc1 = zero;
#pragma GCC unroll 8
        for (int p = 0; p < (N + 1) / 2; ++p) {
            const int d0 = 2 * p, d1 = 2 * p + 1;
            const __m128i t0 = d0 == 0 ? load2(x) : _mm_add_epi16(load2(x - d0), load2(x + d0));
            const __m128i t1 = d1 < N ? _mm_add_epi16(load2(x - d1), load2(x + d1)) : zero;
            acc0 = _mm_add_epi32(acc0, _mm_madd_epi16(_mm_unpacklo_epi16(t0, t1), w[p]));
            acc1 = _mm_add_epi32(acc1, _mm_madd_epi16(_mm_unpackhi_epi16(t0, t1), w[p]));
        }
        const __m128i r = _mm_packs_epi32(_mm_srai_epi32(acc0, 11), _mm_srai_epi32(acc1, 11));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + x * 4), _mm_packus_epi16(r, r));
    }
    return x;
}

template <int N>
__attribute__((target("avx2"))) int HorizontalAvx2(const BYTE* in, BYTE* out, int x, int lastFull, const int* pairs)
{
    const __m256i zero = _mm256_setzero_si256();
    __m256i w[kPairs];
    for (int p = 0; p < (N + 1) / 2; ++p)
        w[p] = _mm256_set1_epi32(pairs[p]);
    auto load4 = [in](int px) __attribute__((target("avx2"))) {
        return _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(in + px * 4)));
    };
    for (; x + 3 <= lastFull; x += 4) {
        __m256i acc0 = zero, acc1 = zero; // pixels 0 and 2, pixels 1 and 3
#pragma GCC unroll 8
        for (int p = 0; p < (N + 1) / 2; ++p) {
            const int d0 = 2 * p, d1 = 2 * p + 1;
            const __m256i t0 = d0 == 0 ? load4(x) : _mm256_add_epi16(load4(x - d0), load4(x + d0));
            const __m256i t1 = d1 < N ? _mm256_add_epi16(load4(x - d1), load4(x + d1)) : zero;
            acc0 = _mm256_add_epi32(acc0, _mm256_madd_epi16(_mm256_unpacklo_epi16(t0, t1), w[p]));
            acc1 = _mm256_add_epi32(acc1, _mm256_madd_epi16(_mm256_unpackhi_epi16(t0, t1), w[p]));
        }
        const __m256i r = _mm256_packs_epi32(_mm256_srai_epi32(acc0, 11), _mm256_srai_epi32(acc1, 11));
        const __m256i b = _mm256_permute4x64_epi64(_mm256_packus_epi16(r, r), 0x08);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x * 4), _mm256_castsi256_si128(b));
    }
    return HorizontalSse2<N>(in, out, x, lastFull, pairs);
}

// Bytes [0, bytes) of an output row from the 2N - 1 rows around it; returns
// how many bytes it did (a multiple of the vector width).
template <int N>
std::size_t VerticalSse2(const BYTE* const* centre, BYTE* out, std::size_t i, std::size_t bytes, const int* pairs)
{
    const __m128i zero = _mm_setzero_si128();
    __m128i w[kPairs];
    for (int p = 0; p < (N + 1) / 2; ++p)
        w[p] = _mm_set1_epi32(pairs[p]);
    for (; i + 16 <= bytes; i += 16) {
        __m128i acc0 = zero, acc1 = zero, acc2 = zero, acc3 = zero;
        auto term = [&](int d, __m128i* lo, __m128i* hi) {
            const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(centre[-d] + i));
            if (d == 0) {
                *lo = _mm_unpacklo_epi8(a, zero);
                *hi = _mm_unpackhi_epi8(a, zero);
                return;
            }
            const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(centre[d] + i));
            *lo = _mm_add_epi16(_mm_unpacklo_epi8(a, zero), _mm_unpacklo_epi8(b, zero));
            *hi = _mm_add_epi16(_mm_unpackhi_epi8(a, zero), _mm_unpackhi_epi8(b, zero));
        };
#pragma GCC unroll 8
        for (int p = 0; p < (N + 1) / 2; ++p) {
            __m128i lo0, hi0, lo1 = zero, hi1 = zero;
            term(2 * p, &lo0, &hi0);
            if (2 * p + 1 < N)
                term(2 * p + 1, &lo1, &hi1);
            acc0 = _mm_add_epi32(acc0, _mm_madd_epi16(_mm_unpacklo_epi16(lo0, lo1), w[p]));
            acc1 = _mm_add_epi32(acc1, _mm_madd_epi16(_mm_unpackhi_epi16(lo0, lo1), w[p]));
            acc2 = _mm_add_epi32(acc2, _mm_madd_epi16(_mm_unpacklo_epi16(hi0, hi1), w[p]));
            acc3 = _mm_add_epi32(acc3, _mm_madd_epi16(_mm_unpackhi_epi16(hi0, hi1), w[p]));
        }
        const __m128i r0 = _mm_packs_epi32(_mm_srai_epi32(acc0, 11), _mm_srai_epi32(acc1, 11));
        const __m128i r1 = _mm_packs_epi32(_mm_srai_epi32(acc2, 11), _mm_srai_epi32(acc3, 11));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(r0, r1));
    }
    return i;
}

// The same on 32 bytes; the in-lane unpacks and packs keep the byte order.
template <int N>
__attribute__((target("avx2"))) std::size_t VerticalAvx2(const BYTE* const* centre, BYTE* out, std::size_t i,
                                                         std::size_t bytes, const int* pairs)
{
    const __m256i zero = _mm256_setzero_si256();
    __m256i w[kPairs];
    for (int p = 0; p < (N + 1) / 2; ++p)
        w[p] = _mm256_set1_epi32(pairs[p]);
    for (; i + 32 <= bytes; i += 32) {
        __m256i acc0 = zero, acc1 = zero, acc2 = zero, acc3 = zero;
        auto term = [&](int d, __m256i* lo, __m256i* hi) __attribute__((target("avx2"))) {
            const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(centre[-d] + i));
            if (d == 0) {
                *lo = _mm256_unpacklo_epi8(a, zero);
                *hi = _mm256_unpackhi_epi8(a, zero);
                return;
            }
            const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(centre[d] + i));
            *lo = _mm256_add_epi16(_mm256_unpacklo_epi8(a, zero), _mm256_unpacklo_epi8(b, zero));
            *hi = _mm256_add_epi16(_mm256_unpackhi_epi8(a, zero), _mm256_unpackhi_epi8(b, zero));
        };
#pragma GCC unroll 8
        for (int p = 0; p < (N + 1) / 2; ++p) {
            __m256i lo0, hi0, lo1 = zero, hi1 = zero;
            term(2 * p, &lo0, &hi0);
            if (2 * p + 1 < N)
                term(2 * p + 1, &lo1, &hi1);
            acc0 = _mm256_add_epi32(acc0, _mm256_madd_epi16(_mm256_unpacklo_epi16(lo0, lo1), w[p]));
            acc1 = _mm256_add_epi32(acc1, _mm256_madd_epi16(_mm256_unpackhi_epi16(lo0, lo1), w[p]));
            acc2 = _mm256_add_epi32(acc2, _mm256_madd_epi16(_mm256_unpacklo_epi16(hi0, hi1), w[p]));
            acc3 = _mm256_add_epi32(acc3, _mm256_madd_epi16(_mm256_unpackhi_epi16(hi0, hi1), w[p]));
        }
        const __m256i r0 = _mm256_packs_epi32(_mm256_srai_epi32(acc0, 11), _mm256_srai_epi32(acc1, 11));
        const __m256i r1 = _mm256_packs_epi32(_mm256_srai_epi32(acc2, 11), _mm256_srai_epi32(acc3, 11));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), _mm256_packus_epi16(r0, r1));
    }
    return VerticalSse2<N>(centre, out, i, bytes, pairs);
}

using HorizontalFn = int (*)(const BYTE*, BYTE*, int, int, const int*);
using VerticalFn = std::size_t (*)(const BYTE* const*, BYTE*, std::size_t, std::size_t, const int*);

struct FullLoops {
    HorizontalFn horizontal;
    VerticalFn vertical;
};

template <int... N>
FullLoops PickLoops(int taps, bool avx2, std::integer_sequence<int, N...>)
{
    static constexpr FullLoops sse2[] = {{HorizontalSse2<N + 1>, VerticalSse2<N + 1>}...};
    static constexpr FullLoops wide[] = {{HorizontalAvx2<N + 1>, VerticalAvx2<N + 1>}...};
    return avx2 ? wide[taps - 1] : sse2[taps - 1];
}

FullLoops LoopsFor(int taps)
{
    static const bool avx2 = __builtin_cpu_supports("avx2");
    return PickLoops(taps, avx2, std::make_integer_sequence<int, 16>{});
}
#endif

void HorizontalRow(const BYTE* in, BYTE* out, int width, int bpp, const GaussianKernel& k)
{
    const int n = k.taps;
    const int firstFull = n - 1;
    const int lastFull = width - n; // inclusive; below firstFull when the line is short
    for (int x = 0; x < width; ++x) {
        if (x == firstFull && x <= lastFull)
            break;
        for (int c = 0; c < bpp; ++c)
            out[x * bpp + c] = CutSample(in + c, x, width, bpp, k);
    }
    if (firstFull > lastFull)
        return;
    int x = firstFull;
#if defined(__SSE2__)
    if (bpp == 4) {
        int pairs[kPairs];
        PairWeights(k, pairs);
        x = LoopsFor(n).horizontal(in, out, x, lastFull, pairs);
    }
#endif
    for (; x <= lastFull; ++x)
        for (int c = 0; c < bpp; ++c)
            out[x * bpp + c] = FullSample(in + c, x, bpp, k);
    for (x = lastFull + 1; x < width; ++x)
        for (int c = 0; c < bpp; ++c)
            out[x * bpp + c] = CutSample(in + c, x, width, bpp, k);
}

// Output row from the 2n - 1 filtered rows around it (rows[n - 1] is the centre).
void VerticalFull(const BYTE* const* rows, BYTE* out, std::size_t bytes, const GaussianKernel& k)
{
    const int n = k.taps;
    const BYTE* const* centre = rows + (n - 1);
    std::size_t i = 0;
#if defined(__SSE2__)
    int pairs[kPairs];
    PairWeights(k, pairs);
    i = LoopsFor(n).vertical(centre, out, 0, bytes, pairs);
#endif
    for (; i < bytes; ++i) {
        int sum = k.weight[0] * centre[0][i];
        for (int d = 1; d < n; ++d)
            sum += k.weight[d] * (centre[-d][i] + centre[d][i]);
        out[i] = static_cast<BYTE>(sum >> 11);
    }
}

// Output row y whose window is cut by the top or bottom; rows[j] is filtered row first + j.
void VerticalCut(const BYTE* const* rows, int first, int y, int height, BYTE* out, std::size_t bytes,
                 const GaussianKernel& k)
{
    const int n = k.taps;
    const int from = std::max(-(n - 1), -y);
    const int to = std::min(n - 1, height - 1 - y);
    int used = 0;
    for (int d = from; d <= to; ++d)
        used += k.weight[d < 0 ? -d : d];
    for (std::size_t i = 0; i < bytes; ++i) {
        int sum = 0;
        for (int d = from; d <= to; ++d)
            sum += k.weight[d < 0 ? -d : d] * rows[y + d - first][i];
        out[i] = static_cast<BYTE>(used > 0 ? sum / used : rows[y - first][i]);
    }
}

} // namespace

bool GaussianBlurPlane(const BYTE* src, BYTE* dst, int width, int height, int bpp, const GaussianKernel& k,
                       bool alphaOnly, RowProgress* progress)
{
    if (width <= 0 || height <= 0)
        return true;
    const std::size_t rowBytes = static_cast<std::size_t>(width) * bpp;
    const int n = k.taps;
    const int ringRows = 2 * n - 1;
    std::atomic<bool> failed{false};

    // Each chunk of output rows keeps a ring of the horizontally filtered rows
    // its window needs; the margins of neighbouring chunks are filtered twice.
    imagecore::ParallelFor(0, height, rowBytes * static_cast<std::size_t>(ringRows), [&](int y0, int y1) {
        std::vector<BYTE> ring;
        std::vector<BYTE> alphaRow;
        try {
            ring.resize(rowBytes * ringRows);
            if (alphaOnly)
                alphaRow.resize(rowBytes);
        } catch (const std::bad_alloc&) {
            failed.store(true);
            return;
        }
        std::vector<const BYTE*> window(ringRows);
        auto slot = [&](int row) { return ring.data() + rowBytes * static_cast<std::size_t>(row % ringRows); };
        int next = std::max(0, y0 - (n - 1)); // next filtered row to make
        int sinceTick = 0;
        for (int y = y0; y < y1; ++y) {
            const int first = std::max(0, y - (n - 1));
            const int last = std::min(height - 1, y + (n - 1));
            for (; next <= last; ++next)
                HorizontalRow(src + rowBytes * next, slot(next), width, bpp, k);
            for (int r = first; r <= last; ++r)
                window[r - first] = slot(r);
            BYTE* out = alphaOnly ? alphaRow.data() : dst + rowBytes * y;
            if (y - (n - 1) >= 0 && y + (n - 1) <= height - 1)
                VerticalFull(window.data(), out, rowBytes, k);
            else
                VerticalCut(window.data(), first, y, height, out, rowBytes, k);
            if (alphaOnly) {
                BYTE* d = dst + rowBytes * y;
                for (int x = 0; x < width; ++x)
                    d[x * 4 + 3] = out[x * 4 + 3];
            }
            if (progress && ++sinceTick == 16) {
                sinceTick = 0;
                if (!progress->Advance(16))
                    return;
            }
        }
        if (progress)
            progress->Advance(sinceTick);
    });
    if (failed.load())
        return false;
    return !(progress && progress->Cancelled());
}
