#include "editor/shell/SnapshotKernels.h"

#include "imagecore/ParallelFor.h"

#include <algorithm>
#include <array>
#include <cstring>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace snapshotkernels {

namespace {

// Scalar loops, also the tails of the vector ones (from value i on).

void SplitScalar(const BYTE* px, std::size_t i, std::size_t n, BYTE* b, BYTE* g, BYTE* r, BYTE* a)
{
    for (; i < n; ++i) {
        b[i] = px[4 * i];
        g[i] = px[4 * i + 1];
        r[i] = px[4 * i + 2];
        if (a)
            a[i] = px[4 * i + 3];
    }
}

void MergeScalar(const BYTE* b, const BYTE* g, const BYTE* r, const BYTE* a, std::size_t i, std::size_t n, BYTE* px)
{
    for (; i < n; ++i) {
        px[4 * i] = b[i];
        px[4 * i + 1] = g[i];
        px[4 * i + 2] = r[i];
        if (a)
            px[4 * i + 3] = a[i];
    }
}

void ChangeBitsScalar(const BYTE* v, std::size_t i, std::size_t n, std::uint64_t* high, std::uint64_t* low)
{
    for (i = i < 1 ? 1 : i; i < n; ++i) {
        const unsigned x = v[i] ^ v[i - 1];
        high[i / 64] |= std::uint64_t{(x & 0xF0) != 0} << (i % 64);
        low[i / 64] |= std::uint64_t{(x & 0x0F) != 0} << (i % 64);
    }
}

// ORs a mask of up to 32 bits for values pos, pos + 1, ... into a bitmap.
void PutBits(std::uint64_t* bits, std::size_t pos, std::uint32_t mask)
{
    const std::size_t word = pos / 64, off = pos % 64;
    bits[word] |= std::uint64_t{mask} << off;
    if (off > 32)
        bits[word + 1] |= std::uint64_t{mask} >> (64 - off);
}

std::size_t PackScalar(const BYTE* v, std::size_t i, std::size_t n, BYTE* out, bool high)
{
    for (; i + 1 < n; i += 2)
        out[i / 2] = high ? BYTE((v[i] & 0xF0) | (v[i + 1] >> 4)) : BYTE((v[i] << 4) | (v[i + 1] & 0x0F));
    if (i < n)
        out[i / 2] = high ? BYTE(v[i] & 0xF0) : BYTE(v[i] << 4);
    return (n + 1) / 2;
}

void UnpackScalar(const BYTE* p, std::size_t i, std::size_t n, BYTE* v, bool high)
{
    for (; i + 1 < n; i += 2) {
        const BYTE b = p[i / 2];
        if (high) {
            v[i] = BYTE(b & 0xF0);
            v[i + 1] = BYTE(b << 4);
        } else {
            v[i] = BYTE(v[i] | b >> 4);
            v[i + 1] = BYTE(v[i + 1] | (b & 0x0F));
        }
    }
    if (i < n)
        v[i] = high ? BYTE(p[i / 2] & 0xF0) : BYTE(v[i] | p[i / 2] >> 4);
}

std::size_t RunStreamScalar(const BYTE* p, std::size_t used, std::size_t filled, std::size_t avail, std::size_t n,
                            bool& ok)
{
    while (filled < n) {
        if (used >= avail) {
            ok = false;
            return 0;
        }
        filled += p[used++] >> 4;
    }
    ok = true;
    return used;
}

// The 16-byte run patterns of each nibble, upper (1) or lower (0).
constexpr auto kRunPatterns = [] {
    std::array<std::array<std::array<BYTE, 16>, 16>, 2> t{};
    for (int v = 0; v < 16; ++v) {
        t[0][v].fill(static_cast<BYTE>(v));
        t[1][v].fill(static_cast<BYTE>(v << 4));
    }
    return t;
}();

// Each run writes 16 bytes and the next starts where it ends.
const BYTE* ExpandScalar(const BYTE* p, std::size_t i, std::size_t n, BYTE* v, bool high)
{
    const auto& patterns = kRunPatterns[high];
    while (i < n) {
        const unsigned b = *p++;
        std::memcpy(v + i, patterns[b & 15].data(), 16);
        i += b >> 4;
    }
    return p;
}

#if defined(__x86_64__)

#define SSE4 __attribute__((target("sse4.1,popcnt")))
#define AVX2 __attribute__((target("avx2,popcnt")))

// ---- SSE4.1: 16 values a step.

SSE4 std::size_t SplitSse4(const BYTE* px, std::size_t n, BYTE* b, BYTE* g, BYTE* r, BYTE* a)
{
    const __m128i planar = _mm_setr_epi8(0, 4, 8, 12, 1, 5, 9, 13, 2, 6, 10, 14, 3, 7, 11, 15);
    std::size_t i = 0;
    for (; i + 16 <= n; i += 16) {
        const __m128i* in = reinterpret_cast<const __m128i*>(px + 4 * i);
        const __m128i x0 = _mm_shuffle_epi8(_mm_loadu_si128(in), planar);
        const __m128i x1 = _mm_shuffle_epi8(_mm_loadu_si128(in + 1), planar);
        const __m128i x2 = _mm_shuffle_epi8(_mm_loadu_si128(in + 2), planar);
        const __m128i x3 = _mm_shuffle_epi8(_mm_loadu_si128(in + 3), planar);
        const __m128i bg0 = _mm_unpacklo_epi32(x0, x1), ra0 = _mm_unpackhi_epi32(x0, x1);
        const __m128i bg1 = _mm_unpacklo_epi32(x2, x3), ra1 = _mm_unpackhi_epi32(x2, x3);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(b + i), _mm_unpacklo_epi64(bg0, bg1));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(g + i), _mm_unpackhi_epi64(bg0, bg1));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(r + i), _mm_unpacklo_epi64(ra0, ra1));
        if (a)
            _mm_storeu_si128(reinterpret_cast<__m128i*>(a + i), _mm_unpackhi_epi64(ra0, ra1));
    }
    return i;
}

SSE4 std::size_t MergeSse4(const BYTE* b, const BYTE* g, const BYTE* r, const BYTE* a, std::size_t n, BYTE* px)
{
    const __m128i alpha = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    std::size_t i = 0;
    for (; i + 16 <= n; i += 16) {
        const __m128i vb = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + i));
        const __m128i vg = _mm_loadu_si128(reinterpret_cast<const __m128i*>(g + i));
        const __m128i vr = _mm_loadu_si128(reinterpret_cast<const __m128i*>(r + i));
        const __m128i va = a ? _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + i)) : _mm_setzero_si128();
        const __m128i bg0 = _mm_unpacklo_epi8(vb, vg), bg1 = _mm_unpackhi_epi8(vb, vg);
        const __m128i ra0 = _mm_unpacklo_epi8(vr, va), ra1 = _mm_unpackhi_epi8(vr, va);
        __m128i w[4] = {_mm_unpacklo_epi16(bg0, ra0), _mm_unpackhi_epi16(bg0, ra0), _mm_unpacklo_epi16(bg1, ra1),
                        _mm_unpackhi_epi16(bg1, ra1)};
        __m128i* out = reinterpret_cast<__m128i*>(px + 4 * i);
        for (int k = 0; k < 4; ++k) {
            if (!a) // keep the alpha the pixels hold
                w[k] = _mm_or_si128(w[k], _mm_and_si128(_mm_loadu_si128(out + k), alpha));
            _mm_storeu_si128(out + k, w[k]);
        }
    }
    return i;
}

SSE4 std::size_t ChangeBitsSse4(const BYTE* v, std::size_t n, std::uint64_t* high, std::uint64_t* low)
{
    const __m128i hi = _mm_set1_epi8(static_cast<char>(0xF0)), lo = _mm_set1_epi8(0x0F), zero = _mm_setzero_si128();
    std::size_t i = 1;
    for (; i + 16 <= n; i += 16) {
        const __m128i x = _mm_xor_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(v + i)),
                                        _mm_loadu_si128(reinterpret_cast<const __m128i*>(v + i - 1)));
        const unsigned same = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_and_si128(x, hi), zero)));
        const unsigned sameLow = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_and_si128(x, lo), zero)));
        PutBits(high, i, ~same & 0xFFFFu);
        PutBits(low, i, ~sameLow & 0xFFFFu);
    }
    return i;
}

SSE4 __m128i PackStepSse4(__m128i w, bool high)
{
    const __m128i f0 = _mm_set1_epi16(0x00F0), x0f = _mm_set1_epi16(0x000F);
    return high ? _mm_or_si128(_mm_and_si128(w, f0), _mm_srli_epi16(w, 12))
                : _mm_or_si128(_mm_and_si128(_mm_slli_epi16(w, 4), f0), _mm_and_si128(_mm_srli_epi16(w, 8), x0f));
}

SSE4 std::size_t PackSse4(const BYTE* v, std::size_t n, BYTE* out, bool high)
{
    std::size_t i = 0;
    for (; i + 32 <= n; i += 32) {
        const __m128i w0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(v + i));
        const __m128i w1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(v + i + 16));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i / 2),
                         _mm_packus_epi16(PackStepSse4(w0, high), PackStepSse4(w1, high)));
    }
    return i;
}

SSE4 std::size_t UnpackSse4(const BYTE* p, std::size_t n, BYTE* v, bool high)
{
    const __m128i f0 = _mm_set1_epi8(static_cast<char>(0xF0)), x0f = _mm_set1_epi8(0x0F);
    std::size_t i = 0;
    for (; i + 32 <= n; i += 32) {
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i / 2));
        const __m128i first = high ? _mm_and_si128(b, f0) : _mm_and_si128(_mm_srli_epi16(b, 4), x0f);
        const __m128i second = high ? _mm_and_si128(_mm_slli_epi16(b, 4), f0) : _mm_and_si128(b, x0f);
        __m128i o0 = _mm_unpacklo_epi8(first, second), o1 = _mm_unpackhi_epi8(first, second);
        __m128i* out = reinterpret_cast<__m128i*>(v + i);
        if (!high) {
            o0 = _mm_or_si128(o0, _mm_loadu_si128(out));
            o1 = _mm_or_si128(o1, _mm_loadu_si128(out + 1));
        }
        _mm_storeu_si128(out, o0);
        _mm_storeu_si128(out + 1, o1);
    }
    return i;
}

SSE4 std::size_t OrSse4(BYTE* d, const BYTE* s, std::size_t n)
{
    std::size_t i = 0;
    for (; i + 16 <= n; i += 16) {
        __m128i* out = reinterpret_cast<__m128i*>(d + i);
        _mm_storeu_si128(out, _mm_or_si128(_mm_loadu_si128(out), _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i))));
    }
    return i;
}

// The run lengths (high nibbles) of 16 bytes.
SSE4 __m128i RunsSse4(__m128i x)
{
    return _mm_and_si128(_mm_srli_epi16(x, 4), _mm_set1_epi8(0x0F));
}

// How many of 16 run lengths it takes to reach need (1..240), when all 16
// together do: their running sums fit in bytes.
SSE4 std::size_t RunsToReachSse4(__m128i runs, std::size_t need)
{
    __m128i sum = _mm_add_epi8(runs, _mm_slli_si128(runs, 1));
    sum = _mm_add_epi8(sum, _mm_slli_si128(sum, 2));
    sum = _mm_add_epi8(sum, _mm_slli_si128(sum, 4));
    sum = _mm_add_epi8(sum, _mm_slli_si128(sum, 8));
    const __m128i reached = _mm_cmpeq_epi8(_mm_max_epu8(sum, _mm_set1_epi8(static_cast<char>(need))), sum);
    return static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(_mm_movemask_epi8(reached)))) + 1;
}

// Inclusive running sums of 16 bytes (that fit in bytes).
SSE4 __m128i RunningSumSse4(__m128i x)
{
    x = _mm_add_epi8(x, _mm_slli_si128(x, 1));
    x = _mm_add_epi8(x, _mm_slli_si128(x, 2));
    x = _mm_add_epi8(x, _mm_slli_si128(x, 4));
    return _mm_add_epi8(x, _mm_slli_si128(x, 8));
}

// 16 runs a step while all of them lie inside the row: their starts from
// running sums, then one 16-byte store each, in order, so a later run
// overwrites what an earlier one wrote past its end.
SSE4 const BYTE* ExpandSse4(const BYTE* p, const BYTE* end, std::size_t& i, std::size_t n, BYTE* v, bool high)
{
    const __m128i x0f = _mm_set1_epi8(0x0F);
    alignas(16) BYTE start[16];
    while (end - p >= 16) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i runs = RunsSse4(x);
        const __m128i sums = RunningSumSse4(runs);
        const auto total = static_cast<std::size_t>(_mm_extract_epi8(sums, 15));
        if (i + total >= n)
            break;
        _mm_store_si128(reinterpret_cast<__m128i*>(start), _mm_sub_epi8(sums, runs));
        const __m128i nibbles = _mm_and_si128(x, x0f);
        const __m128i pattern = high ? _mm_slli_epi16(nibbles, 4) : nibbles;
        BYTE* base = v + i;
#pragma GCC unroll 16
        for (int j = 0; j < 16; ++j)
            _mm_storeu_si128(reinterpret_cast<__m128i*>(base + start[j]),
                             _mm_shuffle_epi8(pattern, _mm_set1_epi8(static_cast<char>(j))));
        i += total;
        p += 16;
    }
    return p;
}

SSE4 std::size_t RunStreamSse4(const BYTE* p, std::size_t avail, std::size_t n, bool& ok)
{
    std::size_t used = 0, filled = 0;
    while (filled < n && used + 16 <= avail) {
        const __m128i runs = RunsSse4(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + used)));
        const __m128i sums = _mm_sad_epu8(runs, _mm_setzero_si128());
        const auto s = static_cast<std::size_t>(_mm_cvtsi128_si64(sums) + _mm_extract_epi64(sums, 1));
        if (filled + s >= n) {
            ok = true;
            return used + RunsToReachSse4(runs, n - filled);
        }
        filled += s;
        used += 16;
    }
    return RunStreamScalar(p, used, filled, avail, n, ok);
}

// ---- AVX2: 32 values a step (16 pixels for the split, 32 for the merge).

AVX2 std::size_t SplitAvx2(const BYTE* px, std::size_t n, BYTE* b, BYTE* g, BYTE* r, BYTE* a)
{
    const __m256i planar = _mm256_setr_epi8(0, 4, 8, 12, 1, 5, 9, 13, 2, 6, 10, 14, 3, 7, 11, 15, 0, 4, 8, 12, 1, 5, 9,
                                            13, 2, 6, 10, 14, 3, 7, 11, 15);
    const __m256i order = _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7);
    std::size_t i = 0;
    for (; i + 16 <= n; i += 16) {
        const __m256i* in = reinterpret_cast<const __m256i*>(px + 4 * i);
        // Each: B0-7 G0-7 | R0-7 A0-7 of its eight pixels.
        const __m256i v0 = _mm256_permutevar8x32_epi32(_mm256_shuffle_epi8(_mm256_loadu_si256(in), planar), order);
        const __m256i v1 = _mm256_permutevar8x32_epi32(_mm256_shuffle_epi8(_mm256_loadu_si256(in + 1), planar), order);
        const __m256i br = _mm256_unpacklo_epi64(v0, v1), ga = _mm256_unpackhi_epi64(v0, v1);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(b + i), _mm256_castsi256_si128(br));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(r + i), _mm256_extracti128_si256(br, 1));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(g + i), _mm256_castsi256_si128(ga));
        if (a)
            _mm_storeu_si128(reinterpret_cast<__m128i*>(a + i), _mm256_extracti128_si256(ga, 1));
    }
    return i;
}

AVX2 std::size_t MergeAvx2(const BYTE* b, const BYTE* g, const BYTE* r, const BYTE* a, std::size_t n, BYTE* px)
{
    const __m256i alpha = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
    std::size_t i = 0;
    for (; i + 32 <= n; i += 32) {
        const __m256i vb = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(b + i));
        const __m256i vg = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(g + i));
        const __m256i vr = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(r + i));
        const __m256i va = a ? _mm256_loadu_si256(reinterpret_cast<const __m256i*>(a + i)) : _mm256_setzero_si256();
        // Lane 0 holds pixels 0-15, lane 1 pixels 16-31.
        const __m256i bg0 = _mm256_unpacklo_epi8(vb, vg), bg1 = _mm256_unpackhi_epi8(vb, vg);
        const __m256i ra0 = _mm256_unpacklo_epi8(vr, va), ra1 = _mm256_unpackhi_epi8(vr, va);
        const __m256i w0 = _mm256_unpacklo_epi16(bg0, ra0), w1 = _mm256_unpackhi_epi16(bg0, ra0);
        const __m256i w2 = _mm256_unpacklo_epi16(bg1, ra1), w3 = _mm256_unpackhi_epi16(bg1, ra1);
        __m256i w[4] = {_mm256_permute2x128_si256(w0, w1, 0x20), _mm256_permute2x128_si256(w2, w3, 0x20),
                        _mm256_permute2x128_si256(w0, w1, 0x31), _mm256_permute2x128_si256(w2, w3, 0x31)};
        __m256i* out = reinterpret_cast<__m256i*>(px + 4 * i);
        for (int k = 0; k < 4; ++k) {
            if (!a) // keep the alpha the pixels hold
                w[k] = _mm256_or_si256(w[k], _mm256_and_si256(_mm256_loadu_si256(out + k), alpha));
            _mm256_storeu_si256(out + k, w[k]);
        }
    }
    return i;
}

AVX2 std::size_t ChangeBitsAvx2(const BYTE* v, std::size_t n, std::uint64_t* high, std::uint64_t* low)
{
    const __m256i hi = _mm256_set1_epi8(static_cast<char>(0xF0)), lo = _mm256_set1_epi8(0x0F);
    const __m256i zero = _mm256_setzero_si256();
    std::size_t i = 1;
    for (; i + 32 <= n; i += 32) {
        const __m256i x = _mm256_xor_si256(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(v + i)),
                                           _mm256_loadu_si256(reinterpret_cast<const __m256i*>(v + i - 1)));
        const auto same = static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(_mm256_and_si256(x, hi), zero)));
        const auto sameLow = static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(_mm256_and_si256(x, lo), zero)));
        PutBits(high, i, ~same);
        PutBits(low, i, ~sameLow);
    }
    return i;
}

AVX2 __m256i PackStepAvx2(__m256i w, bool high)
{
    const __m256i f0 = _mm256_set1_epi16(0x00F0), x0f = _mm256_set1_epi16(0x000F);
    return high ? _mm256_or_si256(_mm256_and_si256(w, f0), _mm256_srli_epi16(w, 12))
                : _mm256_or_si256(_mm256_and_si256(_mm256_slli_epi16(w, 4), f0),
                                  _mm256_and_si256(_mm256_srli_epi16(w, 8), x0f));
}

AVX2 std::size_t PackAvx2(const BYTE* v, std::size_t n, BYTE* out, bool high)
{
    std::size_t i = 0;
    for (; i + 64 <= n; i += 64) {
        const __m256i w0 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(v + i));
        const __m256i w1 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(v + i + 32));
        const __m256i packed = _mm256_packus_epi16(PackStepAvx2(w0, high), PackStepAvx2(w1, high));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i / 2), _mm256_permute4x64_epi64(packed, 0xD8));
    }
    return i;
}

AVX2 std::size_t UnpackAvx2(const BYTE* p, std::size_t n, BYTE* v, bool high)
{
    const __m256i f0 = _mm256_set1_epi8(static_cast<char>(0xF0)), x0f = _mm256_set1_epi8(0x0F);
    std::size_t i = 0;
    for (; i + 64 <= n; i += 64) {
        const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + i / 2));
        const __m256i first = high ? _mm256_and_si256(b, f0) : _mm256_and_si256(_mm256_srli_epi16(b, 4), x0f);
        const __m256i second = high ? _mm256_and_si256(_mm256_slli_epi16(b, 4), f0) : _mm256_and_si256(b, x0f);
        const __m256i lo = _mm256_unpacklo_epi8(first, second), hi = _mm256_unpackhi_epi8(first, second);
        __m256i o0 = _mm256_permute2x128_si256(lo, hi, 0x20), o1 = _mm256_permute2x128_si256(lo, hi, 0x31);
        __m256i* out = reinterpret_cast<__m256i*>(v + i);
        if (!high) {
            o0 = _mm256_or_si256(o0, _mm256_loadu_si256(out));
            o1 = _mm256_or_si256(o1, _mm256_loadu_si256(out + 1));
        }
        _mm256_storeu_si256(out, o0);
        _mm256_storeu_si256(out + 1, o1);
    }
    return i;
}

AVX2 std::size_t OrAvx2(BYTE* d, const BYTE* s, std::size_t n)
{
    std::size_t i = 0;
    for (; i + 32 <= n; i += 32) {
        __m256i* out = reinterpret_cast<__m256i*>(d + i);
        _mm256_storeu_si256(out, _mm256_or_si256(_mm256_loadu_si256(out),
                                                 _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i))));
    }
    return i;
}

AVX2 std::size_t RunStreamAvx2(const BYTE* p, std::size_t avail, std::size_t n, bool& ok)
{
    const __m256i x0f = _mm256_set1_epi8(0x0F);
    std::size_t used = 0, filled = 0;
    while (filled < n && used + 32 <= avail) {
        const __m256i x = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + used));
        const __m256i runs = _mm256_and_si256(_mm256_srli_epi16(x, 4), x0f);
        const __m256i sums = _mm256_sad_epu8(runs, _mm256_setzero_si256());
        const __m128i low = _mm256_castsi256_si128(sums), high = _mm256_extracti128_si256(sums, 1);
        const auto first = static_cast<std::size_t>(_mm_cvtsi128_si64(low) + _mm_extract_epi64(low, 1));
        const auto second = static_cast<std::size_t>(_mm_cvtsi128_si64(high) + _mm_extract_epi64(high, 1));
        if (filled + first + second >= n) {
            ok = true;
            if (filled + first >= n)
                return used + RunsToReachSse4(_mm256_castsi256_si128(runs), n - filled);
            return used + 16 + RunsToReachSse4(_mm256_extracti128_si256(runs, 1), n - filled - first);
        }
        filled += first + second;
        used += 32;
    }
    return RunStreamScalar(p, used, filled, avail, n, ok);
}

#undef SSE4
#undef AVX2

#endif

std::size_t CountBits(const std::uint64_t* bits, std::size_t words)
{
    std::size_t count = 0;
    for (std::size_t w = 0; w < words; ++w)
        count += static_cast<std::size_t>(__builtin_popcountll(bits[w]));
    return count;
}

} // namespace

void SplitPixels(const BYTE* pixels, std::size_t n, BYTE* b, BYTE* g, BYTE* r, BYTE* a, SimdLevel level)
{
    std::size_t i = 0;
#if defined(__x86_64__)
    if (level == SimdLevel::Avx2)
        i = SplitAvx2(pixels, n, b, g, r, a);
    else if (level == SimdLevel::Sse4)
        i = SplitSse4(pixels, n, b, g, r, a);
#endif
    SplitScalar(pixels, i, n, b, g, r, a);
}

void MergePixels(const BYTE* b, const BYTE* g, const BYTE* r, const BYTE* a, std::size_t n, BYTE* pixels,
                 SimdLevel level)
{
    std::size_t i = 0;
#if defined(__x86_64__)
    if (level == SimdLevel::Avx2)
        i = MergeAvx2(b, g, r, a, n, pixels);
    else if (level == SimdLevel::Sse4)
        i = MergeSse4(b, g, r, a, n, pixels);
#endif
    MergeScalar(b, g, r, a, i, n, pixels);
}

void ChangeBits(const BYTE* v, std::size_t n, std::uint64_t* high, std::uint64_t* low, std::size_t* highCount,
                std::size_t* lowCount, SimdLevel level)
{
    const std::size_t words = BitmapWords(n);
    std::memset(high, 0, words * sizeof *high);
    std::memset(low, 0, words * sizeof *low);
    std::size_t i = 1;
#if defined(__x86_64__)
    if (level == SimdLevel::Avx2)
        i = ChangeBitsAvx2(v, n, high, low);
    else if (level == SimdLevel::Sse4)
        i = ChangeBitsSse4(v, n, high, low);
#endif
    ChangeBitsScalar(v, i, n, high, low);
    *highCount = CountBits(high, words);
    *lowCount = CountBits(low, words);
}

std::size_t PackNibbles(const BYTE* v, std::size_t n, BYTE* out, bool high, SimdLevel level)
{
    std::size_t i = 0;
#if defined(__x86_64__)
    if (level == SimdLevel::Avx2)
        i = PackAvx2(v, n, out, high);
    else if (level == SimdLevel::Sse4)
        i = PackSse4(v, n, out, high);
#endif
    return PackScalar(v, i, n, out, high);
}

void UnpackNibbles(const BYTE* packed, std::size_t n, BYTE* values, bool high, SimdLevel level)
{
    std::size_t i = 0;
#if defined(__x86_64__)
    if (level == SimdLevel::Avx2)
        i = UnpackAvx2(packed, n, values, high);
    else if (level == SimdLevel::Sse4)
        i = UnpackSse4(packed, n, values, high);
#endif
    UnpackScalar(packed, i, n, values, high);
}

void OrBytes(BYTE* d, const BYTE* s, std::size_t n, SimdLevel level)
{
    std::size_t i = 0;
#if defined(__x86_64__)
    if (level == SimdLevel::Avx2)
        i = OrAvx2(d, s, n);
    else if (level == SimdLevel::Sse4)
        i = OrSse4(d, s, n);
#endif
    for (; i < n; ++i)
        d[i] = BYTE(d[i] | s[i]);
}

std::size_t RunStreamSize(const BYTE* p, std::size_t avail, std::size_t n, bool& ok, SimdLevel level)
{
#if defined(__x86_64__)
    if (level == SimdLevel::Avx2)
        return RunStreamAvx2(p, avail, n, ok);
    if (level == SimdLevel::Sse4)
        return RunStreamSse4(p, avail, n, ok);
#endif
    return RunStreamScalar(p, 0, 0, avail, n, ok);
}

std::size_t RowSize(const BYTE* p, std::size_t avail, std::size_t n, SimdLevel level)
{
    if (avail < 1 || p[0] > 3)
        return 0;
    const std::size_t packed = (n + 1) / 2;
    std::size_t size = 1;
    for (const int bit : {2, 1}) {
        bool ok = false;
        if (p[0] & bit) {
            size += RunStreamSize(p + size, avail - size, n, ok, level);
            if (!ok)
                return 0;
        } else {
            if (packed > avail - size)
                return 0;
            size += packed;
        }
    }
    return size;
}

namespace {

// Rows that must parse one after another before a guessed start is taken.
constexpr std::size_t kProbeRows = 4;

// at: the rows walked from at[0] while they start before end, each sized
// within data[.., cap); the last entry is where the walk stopped, a row not
// sized (at or past end, or one that did not fit below cap).
void WalkRows(const BYTE* data, std::size_t cap, std::size_t pos, std::size_t end, std::size_t n, SimdLevel level,
              std::vector<std::size_t>& at)
{
    at.push_back(pos);
    std::size_t last = 0;
    while (pos < end) {
        // Rows of a photo are of much the same size: fetch where the next one
        // may start while this one is measured.
        if (last >= 128 && last + 128 <= cap - pos)
            for (std::size_t line = 0; line < 4; ++line)
                __builtin_prefetch(data + pos + last - 128 + 64 * line);
        const std::size_t size = RowSize(data + pos, cap - pos, n, level);
        if (size == 0)
            return;
        pos += size;
        last = size;
        at.push_back(pos);
    }
}

// The walk of the range [begin, end) from its first place where kProbeRows
// rows parse. A probe reads at most kProbeRows rows of the largest size the
// encoder writes, and the probes of a range together about twice its bytes,
// so hostile data costs no more than a plain walk; a range that finds no
// start stays empty and is walked when the ranges are joined.
void WalkRange(const BYTE* data, std::size_t length, std::size_t begin, std::size_t end, std::size_t n,
               SimdLevel level, std::vector<std::size_t>& at)
{
    const std::size_t largest = 2 * n + 2;
    const std::size_t reach = kProbeRows * largest;
    const std::size_t cap = std::min(length, end + reach);
    std::size_t budget = 2 * (end - begin) + reach;
    for (std::size_t p = begin; p < end; ++p) {
        if (data[p] > 3)
            continue;
        const std::size_t probeCap = std::min(length, p + reach);
        std::size_t q = p, rows = 0;
        for (; rows < kProbeRows; ++rows) {
            const std::size_t size = RowSize(data + q, probeCap - q, n, level);
            if (size == 0)
                break;
            q += size;
        }
        if (rows == kProbeRows) {
            WalkRows(data, cap, p, end, n, level, at);
            return;
        }
        // A row that failed at its mode byte read one byte; one that failed in
        // a stream may have read up to the cap.
        const std::size_t spent = q - p + (q < probeCap && data[q] <= 3 ? probeCap - q : 1);
        if (spent >= budget)
            return;
        budget -= spent;
    }
}

} // namespace

bool FindRowStarts(const BYTE* data, std::size_t length, std::size_t first, std::size_t rows, std::size_t n,
                   std::size_t segments, std::vector<std::size_t>& rowStart, SimdLevel level)
{
    rowStart.resize(rows);
    if (rows == 0)
        return true;
    if (first > length)
        return false;
    segments = std::max<std::size_t>(1, std::min(segments, length - first));
    const auto bound = [&](std::size_t g) { return first + (length - first) * g / segments; };
    std::vector<std::vector<std::size_t>> walks(segments);
    imagecore::ParallelFor(0, static_cast<int>(segments), (length - first) / segments, [&](int g0, int g1) {
        for (int g = g0; g < g1; ++g) {
            const std::size_t begin = bound(g), end = bound(g + 1);
            if (g == 0) // the true first row: no guess
                WalkRows(data, std::min(length, end + kProbeRows * (2 * n + 2)), begin, end, n, level, walks[0]);
            else
                WalkRange(data, length, begin, end, n, level, walks[g]);
        }
    });

    // Join: from the first row, take a range's walk where it meets it (walks
    // that meet agree from there on), else walk row by row.
    std::size_t pos = first, k = 0;
    const auto step = [&] {
        const std::size_t size = RowSize(data + pos, length - pos, n, level);
        if (size == 0)
            return false;
        rowStart[k++] = pos;
        pos += size;
        return true;
    };
    for (std::size_t g = 0; g < segments && k < rows; ++g) {
        const std::vector<std::size_t>& at = walks[g];
        const std::size_t end = bound(g + 1);
        std::size_t i = 0;
        while (k < rows && pos < end) {
            while (i < at.size() && at[i] < pos)
                ++i;
            if (i + 1 < at.size() && at[i] == pos) {
                for (; i + 1 < at.size() && k < rows; ++i)
                    rowStart[k++] = at[i];
                pos = at[i];
            } else if (!step()) {
                return false;
            }
        }
    }
    while (k < rows)
        if (!step())
            return false;
    return true;
}

const BYTE* ExpandRuns(const BYTE* p, const BYTE* end, std::size_t n, BYTE* values, bool high, SimdLevel level)
{
    std::size_t i = 0;
#if defined(__x86_64__)
    if (level != SimdLevel::Scalar)
        p = ExpandSse4(p, end, i, n, values, high);
#endif
    return ExpandScalar(p, i, n, values, high);
}

} // namespace snapshotkernels
