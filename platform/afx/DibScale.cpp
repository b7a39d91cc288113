#include "platform/afx/DibScale.h"

#include "imagecore/ParallelFor.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#define QL_DIBSCALE_SSE2 1
#else
#define QL_DIBSCALE_SSE2 0
#endif
#if QL_DIBSCALE_SSE2 && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define QL_DIBSCALE_AVX2 1 // compiled with a target attribute, used if the CPU has it
#else
#define QL_DIBSCALE_AVX2 0
#endif

namespace qlafx {

namespace {

// Source index of the centre of destination pixel i.
inline int NearestIndex(int i, int srcLen, int dstLen)
{
    return static_cast<int>((2 * static_cast<std::int64_t>(i) + 1) * srcLen / (2 * static_cast<std::int64_t>(dstLen)));
}

inline std::uint32_t LoadPixel(const std::uint8_t* p, int bpp)
{
    if (bpp == 4) {
        std::uint32_t v;
        std::memcpy(&v, p, 4);
        return v;
    }
    return p[0] | (p[1] << 8) | (p[2] << 16) | 0xFF000000u;
}

// Per-axis table of the source pixels under each destination pixel, with
// weights in 1/65536 that sum to exactly 65536.
struct Taps {
    std::vector<int> first;  // per destination pixel of the span
    std::vector<int> count;
    std::vector<int> offset; // into weights
    std::vector<std::uint32_t> weights;
};

constexpr std::int64_t kOne = 65536;

Taps BuildTaps(int srcStart, int srcLen, int dstLen, int spanStart, int spanLen, bool mirror)
{
    Taps t;
    t.first.resize(spanLen);
    t.count.resize(spanLen);
    t.offset.resize(spanLen);
    for (int s = 0; s < spanLen; ++s) {
        const int i = spanStart + s;
        const std::int64_t mi = mirror ? dstLen - 1 - i : i;
        // Footprint in units of 1/dstLen source pixel.
        const std::int64_t lo = mi * srcLen;
        const std::int64_t hi = lo + srcLen;
        const int k0 = static_cast<int>(lo / dstLen);
        const int k1 = static_cast<int>((hi + dstLen - 1) / dstLen); // exclusive
        t.first[s] = srcStart + k0;
        t.count[s] = k1 - k0;
        t.offset[s] = static_cast<int>(t.weights.size());
        std::int64_t covered = 0;
        std::int64_t given = 0;
        for (int k = k0; k < k1; ++k) {
            const std::int64_t overlap = std::min(hi, (k + 1) * std::int64_t{dstLen}) - std::max(lo, k * std::int64_t{dstLen});
            covered += overlap;
            const std::int64_t upto = (covered * kOne + srcLen / 2) / srcLen;
            t.weights.push_back(static_cast<std::uint32_t>(upto - given));
            given = upto;
        }
    }
    return t;
}


// Area averaging runs the vertical pass first: for each destination row the
// covered source rows are summed with their weights into one 32-bit value per
// source byte (at most 255 * 65536 < 2^24). The horizontal pass then takes
// each destination pixel's taps from that row with 64-bit products, as the
// total reaches 255 * 2^32. Integer sums are exact, so doing the passes in
// this order gives the same results as any other.

// The source rows of one destination row with their (nonzero) weights. An
// odd count is padded with a copy of the last row at weight 0, so rows come
// in pairs.
struct RowTaps {
    const std::uint8_t* const* rows;
    const std::uint32_t* weights;
    int count;
    // The weights of rows 2k and 2k+1 as two 16-bit halves for pmaddwd, which
    // takes them as signed: a weight of 32768 or more wraps to w - 65536 and
    // the lost 65536 * p is added back from `wrapped` (at most two such rows,
    // as the weights sum to 65536). 32-bit sums wrap back to the exact value.
    const std::uint32_t* pairWeights;
    const std::uint8_t* const* wrapped;
    int wrappedCount;
};

// Row pairs summed per sweep along the row: fixed counts keep the sums in
// registers, and big reductions do not stream more rows at once than the
// cache holds.
constexpr int kPairsPerSweep = 4;

// The rows are read as several streams at once, which the hardware
// prefetchers follow too late; asking this far ahead hides most of the wait.
constexpr std::size_t kPrefetchAhead = 1024;

#if QL_DIBSCALE_SSE2
template <int Pairs>
inline void PrefetchRows(const std::uint8_t* const* rows, std::size_t i)
{
    for (int k = 0; k < 2 * Pairs; ++k)
        // An address, not a pointer into the row: it may lie past the end.
        _mm_prefetch(reinterpret_cast<const char*>(reinterpret_cast<std::uintptr_t>(rows[k]) + i + kPrefetchAhead),
                     _MM_HINT_T0);
}

// Sums the row pairs from `pair` on into v (adding to v unless First) for
// the whole 16-byte blocks of [i, len); returns where it stopped.
template <int Pairs, bool First>
std::size_t VerticalSse2(const RowTaps& t, int pair, std::size_t i, std::size_t len, std::uint32_t* v)
{
    const std::uint8_t* const* rows = t.rows + 2 * pair;
    __m128i w[Pairs];
    for (int k = 0; k < Pairs; ++k)
        w[k] = _mm_set1_epi32(static_cast<int>(t.pairWeights[pair + k]));
    const __m128i zero = _mm_setzero_si128();
    for (; i + 16 <= len; i += 16) {
        if (i % 64 == 0)
            PrefetchRows<Pairs>(rows, i);
        __m128i acc0 = zero, acc1 = zero, acc2 = zero, acc3 = zero;
        if (!First) {
            acc0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(v + i));
            acc1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(v + i + 4));
            acc2 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(v + i + 8));
            acc3 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(v + i + 12));
        }
        for (int k = 0; k < Pairs; ++k) {
            const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[2 * k] + i));
            const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[2 * k + 1] + i));
            const __m128i lo = _mm_unpacklo_epi8(a, b);
            const __m128i hi = _mm_unpackhi_epi8(a, b);
            acc0 = _mm_add_epi32(acc0, _mm_madd_epi16(_mm_unpacklo_epi8(lo, zero), w[k]));
            acc1 = _mm_add_epi32(acc1, _mm_madd_epi16(_mm_unpackhi_epi8(lo, zero), w[k]));
            acc2 = _mm_add_epi32(acc2, _mm_madd_epi16(_mm_unpacklo_epi8(hi, zero), w[k]));
            acc3 = _mm_add_epi32(acc3, _mm_madd_epi16(_mm_unpackhi_epi8(hi, zero), w[k]));
        }
        for (int k = 0; First && k < t.wrappedCount; ++k) {
            const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t.wrapped[k] + i));
            const __m128i lo = _mm_unpacklo_epi8(c, zero);
            const __m128i hi = _mm_unpackhi_epi8(c, zero);
            acc0 = _mm_add_epi32(acc0, _mm_unpacklo_epi16(zero, lo));
            acc1 = _mm_add_epi32(acc1, _mm_unpackhi_epi16(zero, lo));
            acc2 = _mm_add_epi32(acc2, _mm_unpacklo_epi16(zero, hi));
            acc3 = _mm_add_epi32(acc3, _mm_unpackhi_epi16(zero, hi));
        }
        _mm_storeu_si128(reinterpret_cast<__m128i*>(v + i), acc0);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(v + i + 4), acc1);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(v + i + 8), acc2);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(v + i + 12), acc3);
    }
    return i;
}
#endif

#if QL_DIBSCALE_AVX2
// As VerticalSse2 with 32-byte blocks. The unpacks work within 128-bit
// halves, so acc0 holds bytes 0-3 and 16-19, acc1 4-7 and 20-23, and so on.
template <int Pairs, bool First>
__attribute__((target("avx2"))) std::size_t VerticalAvx2(const RowTaps& t, int pair, std::size_t i,
                                                         std::size_t len, std::uint32_t* v)
{
    const std::uint8_t* const* rows = t.rows + 2 * pair;
    __m256i w[Pairs];
    for (int k = 0; k < Pairs; ++k)
        w[k] = _mm256_set1_epi32(static_cast<int>(t.pairWeights[pair + k]));
    const __m256i zero = _mm256_setzero_si256();
    for (; i + 32 <= len; i += 32) {
        if (i % 64 == 0)
            PrefetchRows<Pairs>(rows, i);
        __m256i acc0 = zero, acc1 = zero, acc2 = zero, acc3 = zero;
        if (!First) {
            const __m256i s0 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(v + i));
            const __m256i s1 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(v + i + 8));
            const __m256i s2 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(v + i + 16));
            const __m256i s3 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(v + i + 24));
            acc0 = _mm256_permute2x128_si256(s0, s2, 0x20);
            acc1 = _mm256_permute2x128_si256(s0, s2, 0x31);
            acc2 = _mm256_permute2x128_si256(s1, s3, 0x20);
            acc3 = _mm256_permute2x128_si256(s1, s3, 0x31);
        }
        for (int k = 0; k < Pairs; ++k) {
            const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(rows[2 * k] + i));
            const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(rows[2 * k + 1] + i));
            const __m256i lo = _mm256_unpacklo_epi8(a, b);
            const __m256i hi = _mm256_unpackhi_epi8(a, b);
            acc0 = _mm256_add_epi32(acc0, _mm256_madd_epi16(_mm256_unpacklo_epi8(lo, zero), w[k]));
            acc1 = _mm256_add_epi32(acc1, _mm256_madd_epi16(_mm256_unpackhi_epi8(lo, zero), w[k]));
            acc2 = _mm256_add_epi32(acc2, _mm256_madd_epi16(_mm256_unpacklo_epi8(hi, zero), w[k]));
            acc3 = _mm256_add_epi32(acc3, _mm256_madd_epi16(_mm256_unpackhi_epi8(hi, zero), w[k]));
        }
        for (int k = 0; First && k < t.wrappedCount; ++k) {
            const __m256i c = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(t.wrapped[k] + i));
            const __m256i lo = _mm256_unpacklo_epi8(c, zero);
            const __m256i hi = _mm256_unpackhi_epi8(c, zero);
            acc0 = _mm256_add_epi32(acc0, _mm256_unpacklo_epi16(zero, lo));
            acc1 = _mm256_add_epi32(acc1, _mm256_unpackhi_epi16(zero, lo));
            acc2 = _mm256_add_epi32(acc2, _mm256_unpacklo_epi16(zero, hi));
            acc3 = _mm256_add_epi32(acc3, _mm256_unpackhi_epi16(zero, hi));
        }
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(v + i), _mm256_permute2x128_si256(acc0, acc1, 0x20));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(v + i + 8), _mm256_permute2x128_si256(acc2, acc3, 0x20));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(v + i + 16), _mm256_permute2x128_si256(acc0, acc1, 0x31));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(v + i + 24), _mm256_permute2x128_si256(acc2, acc3, 0x31));
    }
    return i;
}
#endif

// The SIMD part of one sweep: the widest blocks first, then 16-byte ones.
template <int Pairs, bool First>
std::size_t VerticalSweep(const RowTaps& t, int pair, std::size_t len, std::uint32_t* v, bool avx2)
{
    std::size_t i = 0;
#if QL_DIBSCALE_AVX2
    if (avx2)
        i = VerticalAvx2<Pairs, First>(t, pair, i, len, v);
#endif
#if QL_DIBSCALE_SSE2
    i = VerticalSse2<Pairs, First>(t, pair, i, len, v);
#endif
    (void)t, (void)pair, (void)len, (void)v, (void)avx2;
    return i;
}

template <bool First>
std::size_t VerticalSweep(const RowTaps& t, int pair, int pairs, std::size_t len, std::uint32_t* v, bool avx2)
{
    switch (pairs) {
    case 1: return VerticalSweep<1, First>(t, pair, len, v, avx2);
    case 2: return VerticalSweep<2, First>(t, pair, len, v, avx2);
    case 3: return VerticalSweep<3, First>(t, pair, len, v, avx2);
    default: return VerticalSweep<4, First>(t, pair, len, v, avx2);
    }
}

// v[i] = sum over the rows of row[i] * weight, for i in [0, len).
void VerticalPass(const RowTaps& t, std::size_t len, std::uint32_t* v, bool avx2)
{
    static_assert(kPairsPerSweep == 4, "VerticalSweep dispatches up to 4 pairs");
    const int pairCount = (t.count + 1) / 2;
    for (int pair = 0; pair < pairCount; pair += kPairsPerSweep) {
        const int pairs = std::min(kPairsPerSweep, pairCount - pair);
        const bool first = pair == 0;
        std::size_t i = first ? VerticalSweep<true>(t, pair, pairs, len, v, avx2)
                              : VerticalSweep<false>(t, pair, pairs, len, v, avx2);
        // The rest one byte at a time, with the weights whole.
        const int k0 = 2 * pair, k1 = std::min(t.count, k0 + 2 * pairs);
        for (; i < len; ++i) {
            std::uint32_t sum = first ? 0 : v[i];
            for (int k = k0; k < k1; ++k)
                sum += t.rows[k][i] * t.weights[k];
            v[i] = sum;
        }
    }
}

// Horizontal taps, padded to the same count for every destination pixel
// (extra taps have weight 0) so that the inner loop has a fixed trip count.
struct ColumnTaps {
    int perPixel = 0;
    std::vector<std::uint32_t> offset; // into the vertical sums
    std::vector<std::uint32_t> weight;
};

constexpr std::uint64_t kHalf = std::uint64_t{1} << 31;

// Writes w destination pixels from the vertical sums v. K > 0 fixes the
// taps per pixel at compile time. Without KeepAlpha the alpha is 0xFF.
// The SIMD versions make each pixel as dwords B, G, R, A and pack four at a
// time.
#if QL_DIBSCALE_SSE2
template <int K>
inline __m128i PixelSse2(const std::uint32_t* v, const std::uint32_t* off, const std::uint32_t* wt, int n)
{
    __m128i even = _mm_set1_epi64x(static_cast<std::int64_t>(kHalf)); // B and R as 64-bit sums
    __m128i odd = even;                                                // G and A
#pragma GCC unroll 8
    for (int k = 0; k < (K > 0 ? K : n); ++k) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(v + off[k]));
        const __m128i f = _mm_set1_epi32(static_cast<int>(wt[k]));
        even = _mm_add_epi64(even, _mm_mul_epu32(x, f));
        odd = _mm_add_epi64(odd, _mm_mul_epu32(_mm_srli_epi64(x, 32), f));
    }
    // With 2^31 added, the rounded results are the high dwords.
    return _mm_or_si128(_mm_srli_epi64(even, 32), _mm_and_si128(odd, _mm_set_epi32(-1, 0, -1, 0)));
}
#endif

template <bool KeepAlpha, int K>
void HorizontalPortable(const ColumnTaps& t, const std::uint32_t* v, int w, std::uint8_t* dst)
{
    const int n = K > 0 ? K : t.perPixel;
    const std::uint32_t* off = t.offset.data();
    const std::uint32_t* wt = t.weight.data();
    int s = 0;
#if QL_DIBSCALE_SSE2
    const __m128i alpha = _mm_set1_epi32(KeepAlpha ? 0 : static_cast<int>(0xFF000000u));
    for (; s + 4 <= w; s += 4, off += 4 * n, wt += 4 * n, dst += 16) {
        const __m128i p0 = PixelSse2<K>(v, off, wt, n);
        const __m128i p1 = PixelSse2<K>(v, off + n, wt + n, n);
        const __m128i p2 = PixelSse2<K>(v, off + 2 * n, wt + 2 * n, n);
        const __m128i p3 = PixelSse2<K>(v, off + 3 * n, wt + 3 * n, n);
        const __m128i px = _mm_packus_epi16(_mm_packs_epi32(p0, p1), _mm_packs_epi32(p2, p3));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst), _mm_or_si128(px, alpha));
    }
    for (; s < w; ++s, off += n, wt += n, dst += 4) {
        const __m128i p = _mm_packs_epi32(PixelSse2<K>(v, off, wt, n), _mm_setzero_si128());
        const std::uint32_t value = static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm_or_si128(_mm_packus_epi16(p, p), alpha)));
        std::memcpy(dst, &value, 4);
    }
#else
    for (; s < w; ++s, off += n, wt += n, dst += 4) {
        std::uint64_t acc[4] = {};
        for (int k = 0; k < n; ++k)
            for (int c = 0; c < 4; ++c)
                acc[c] += std::uint64_t{v[off[k] + c]} * wt[k];
        for (int c = 0; c < 3; ++c)
            dst[c] = static_cast<std::uint8_t>((acc[c] + kHalf) >> 32);
        dst[3] = KeepAlpha ? static_cast<std::uint8_t>((acc[3] + kHalf) >> 32) : 0xFF;
    }
#endif
}

#if QL_DIBSCALE_AVX2
template <int K>
__attribute__((target("avx2"))) inline __m128i PixelAvx2(const std::uint32_t* v, const std::uint32_t* off,
                                                         const std::uint32_t* wt, int n)
{
    __m256i acc = _mm256_set1_epi64x(static_cast<std::int64_t>(kHalf)); // B, G, R, A as 64-bit sums
#pragma GCC unroll 8
    for (int k = 0; k < (K > 0 ? K : n); ++k) {
        const __m256i x = _mm256_cvtepu32_epi64(_mm_loadu_si128(reinterpret_cast<const __m128i*>(v + off[k])));
        acc = _mm256_add_epi64(acc, _mm256_mul_epu32(x, _mm256_set1_epi32(static_cast<int>(wt[k]))));
    }
    // With 2^31 added, the rounded results are the high dwords.
    return _mm256_castsi256_si128(_mm256_permutevar8x32_epi32(acc, _mm256_setr_epi32(1, 3, 5, 7, 1, 3, 5, 7)));
}

template <bool KeepAlpha, int K>
__attribute__((target("avx2"))) void HorizontalAvx2(const ColumnTaps& t, const std::uint32_t* v, int w,
                                                    std::uint8_t* dst)
{
    const int n = K > 0 ? K : t.perPixel;
    const std::uint32_t* off = t.offset.data();
    const std::uint32_t* wt = t.weight.data();
    const __m128i alpha = _mm_set1_epi32(KeepAlpha ? 0 : static_cast<int>(0xFF000000u));
    int s = 0;
    for (; s + 4 <= w; s += 4, off += 4 * n, wt += 4 * n, dst += 16) {
        const __m128i p0 = PixelAvx2<K>(v, off, wt, n);
        const __m128i p1 = PixelAvx2<K>(v, off + n, wt + n, n);
        const __m128i p2 = PixelAvx2<K>(v, off + 2 * n, wt + 2 * n, n);
        const __m128i p3 = PixelAvx2<K>(v, off + 3 * n, wt + 3 * n, n);
        const __m128i px = _mm_packus_epi16(_mm_packs_epi32(p0, p1), _mm_packs_epi32(p2, p3));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst), _mm_or_si128(px, alpha));
    }
    for (; s < w; ++s, off += n, wt += n, dst += 4) {
        const __m128i p = _mm_packs_epi32(PixelAvx2<K>(v, off, wt, n), _mm_setzero_si128());
        const std::uint32_t value = static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm_or_si128(_mm_packus_epi16(p, p), alpha)));
        std::memcpy(dst, &value, 4);
    }
}
#endif

using HorizontalFn = void (*)(const ColumnTaps&, const std::uint32_t*, int, std::uint8_t*);

template <bool KeepAlpha, int K>
HorizontalFn PickHorizontal(bool avx2)
{
#if QL_DIBSCALE_AVX2
    if (avx2)
        return &HorizontalAvx2<KeepAlpha, K>;
#endif
    (void)avx2;
    return &HorizontalPortable<KeepAlpha, K>;
}

template <bool KeepAlpha>
HorizontalFn PickHorizontal(int perPixel, bool avx2)
{
    // Fixed counts let the compiler unroll the common zoom-outs and zoom-ins.
    switch (perPixel) {
    case 1: return PickHorizontal<KeepAlpha, 1>(avx2);
    case 2: return PickHorizontal<KeepAlpha, 2>(avx2);
    case 3: return PickHorizontal<KeepAlpha, 3>(avx2);
    case 4: return PickHorizontal<KeepAlpha, 4>(avx2);
    case 5: return PickHorizontal<KeepAlpha, 5>(avx2);
    case 6: return PickHorizontal<KeepAlpha, 6>(avx2);
    case 7: return PickHorizontal<KeepAlpha, 7>(avx2);
    case 8: return PickHorizontal<KeepAlpha, 8>(avx2);
    default: return PickHorizontal<KeepAlpha, 0>(avx2);
    }
}

std::atomic<bool> g_baselineOnly{false};

bool UseAvx2()
{
#if QL_DIBSCALE_AVX2
    static const bool has = __builtin_cpu_supports("avx2");
    return has && !g_baselineOnly.load(std::memory_order_relaxed);
#else
    return false;
#endif
}

} // namespace

void ScaleNearest(const ScaleJob& job, const DibOutput& out)
{
    if (job.span.width <= 0 || job.span.height <= 0 || job.dstWidth <= 0 || job.dstHeight <= 0)
        return;
    const int bpp = job.src.bytesPerPixel;
    std::vector<std::ptrdiff_t> xoff(job.span.width);
    for (int s = 0; s < job.span.width; ++s) {
        const int i = job.span.x + s;
        const int mi = job.mirrorX ? job.dstWidth - 1 - i : i;
        xoff[s] = static_cast<std::ptrdiff_t>(job.srcRect.x + NearestIndex(mi, job.srcRect.width, job.dstWidth)) * bpp;
    }
    const std::uint32_t alphaOr = out.opaque ? 0xFF000000u : 0;
    imagecore::ParallelFor(0, job.span.height, static_cast<std::size_t>(job.span.width), [&](int r0, int r1) {
        for (int r = r0; r < r1; ++r) {
            const int j = job.span.y + r;
            const int mj = job.mirrorY ? job.dstHeight - 1 - j : j;
            const int sy = job.srcRect.y + NearestIndex(mj, job.srcRect.height, job.dstHeight);
            const std::uint8_t* srow = job.src.top + sy * job.src.stride;
            auto* drow = reinterpret_cast<std::uint32_t*>(out.origin + r * out.stride);
            if (bpp == 4) {
                for (int s = 0; s < job.span.width; ++s) {
                    std::uint32_t v;
                    std::memcpy(&v, srow + xoff[s], 4);
                    drow[s] = v | alphaOr;
                }
            } else {
                for (int s = 0; s < job.span.width; ++s)
                    drow[s] = LoadPixel(srow + xoff[s], 3);
            }
        }
    });
}

void ScaleAverage(const ScaleJob& job, const DibOutput& out)
{
    if (job.span.width <= 0 || job.span.height <= 0 || job.dstWidth <= 0 || job.dstHeight <= 0)
        return;
    const Taps tx = BuildTaps(job.srcRect.x, job.srcRect.width, job.dstWidth, job.span.x, job.span.width, job.mirrorX);
    const Taps ty = BuildTaps(job.srcRect.y, job.srcRect.height, job.dstHeight, job.span.y, job.span.height, job.mirrorY);
    const int bpp = job.src.bytesPerPixel;
    const int w = job.span.width;
    const bool avx2 = UseAvx2();

    // Only the source columns under the span are summed vertically.
    int x0 = tx.first[0], x1 = tx.first[0] + tx.count[0];
    ColumnTaps ct;
    for (int s = 0; s < w; ++s) {
        x0 = std::min(x0, tx.first[s]);
        x1 = std::max(x1, tx.first[s] + tx.count[s]);
        ct.perPixel = std::max(ct.perPixel, tx.count[s]);
    }
    ct.offset.resize(static_cast<std::size_t>(w) * ct.perPixel);
    ct.weight.resize(ct.offset.size());
    for (int s = 0; s < w; ++s) {
        const std::size_t at = static_cast<std::size_t>(s) * ct.perPixel;
        const std::uint32_t first = static_cast<std::uint32_t>(tx.first[s] - x0) * bpp;
        for (int k = 0; k < ct.perPixel; ++k) {
            const bool real = k < tx.count[s];
            ct.offset[at + k] = real ? first + static_cast<std::uint32_t>(k * bpp) : first;
            ct.weight[at + k] = real ? tx.weights[tx.offset[s] + k] : 0;
        }
    }
    // A 3-byte source has alpha 255 everywhere, so its average is 255 too.
    const HorizontalFn horizontal = bpp == 4 && !out.opaque ? PickHorizontal<true>(ct.perPixel, avx2)
                                                            : PickHorizontal<false>(ct.perPixel, avx2);
    const std::size_t rowLen = static_cast<std::size_t>(x1 - x0) * bpp;
    int maxRows = 0;
    for (int c : ty.count)
        maxRows = std::max(maxRows, c);

    const std::size_t work = rowLen * static_cast<std::size_t>(maxRows) / 4 + static_cast<std::size_t>(w) * ct.perPixel;
    imagecore::ParallelFor(0, job.span.height, work, [&](int r0, int r1) {
        // Every tap reads four values; the last pixel of a 3-byte row reads one
        // past its sums.
        std::vector<std::uint32_t> sums(rowLen + 1, 0);
        std::vector<const std::uint8_t*> rows(maxRows + 1);
        std::vector<std::uint32_t> weights(maxRows + 1);
        std::vector<std::uint32_t> pairWeights((maxRows + 1) / 2);
        const std::uint8_t* wrapped[2] = {};
        for (int r = r0; r < r1; ++r) {
            RowTaps t{rows.data(), weights.data(), 0, pairWeights.data(), wrapped, 0};
            for (int ky = 0; ky < ty.count[r]; ++ky) {
                const std::uint32_t wy = ty.weights[ty.offset[r] + ky];
                if (wy == 0)
                    continue;
                const std::uint8_t* row = job.src.top + (ty.first[r] + ky) * job.src.stride + std::ptrdiff_t{x0} * bpp;
                if (wy >= 32768)
                    wrapped[t.wrappedCount++] = row;
                rows[t.count] = row;
                weights[t.count++] = wy;
            }
            if (t.count % 2 != 0) {
                rows[t.count] = rows[t.count - 1];
                weights[t.count] = 0;
            }
            for (int k = 0; k < t.count; k += 2)
                pairWeights[k / 2] = ((weights[k + 1] & 0xFFFF) << 16) | (weights[k] & 0xFFFF);
            VerticalPass(t, rowLen, sums.data(), avx2);
            horizontal(ct, sums.data(), w, out.origin + r * out.stride);
        }
    });
}

void detail::UseBaselineScalerForTests(bool on)
{
    g_baselineOnly.store(on, std::memory_order_relaxed);
}

} // namespace qlafx
