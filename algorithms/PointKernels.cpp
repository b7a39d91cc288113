#include "algorithms/PointKernels.h"

#include "algorithms/HsbTables.h"
#include "platform/codec/ColorForms.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

static_assert(std::endian::native == std::endian::little, "pixels are read as little-endian words");

namespace pointkernels {

namespace {

using imagecore::SimdLevel;

constexpr std::uint32_t kAlpha = 0xFF000000u;

std::uint32_t Load(const BYTE* p)
{
    std::uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

void Store(BYTE* p, std::uint32_t v)
{
    std::memcpy(p, &v, 4);
}

std::uint32_t MapPixel(std::uint32_t p, const ChannelTables& t, std::uint32_t alphaKeep, std::uint32_t alphaSet)
{
    return t.word[0][p & 255] | t.word[1][(p >> 8) & 255] | t.word[2][(p >> 16) & 255] | (p & alphaKeep) | alphaSet;
}

// (6G + 3R + B) / 10.
unsigned GreyOf(std::uint32_t p)
{
    return (6 * ((p >> 8) & 255) + 3 * ((p >> 16) & 255) + (p & 255)) / 10;
}

void MapChannelsScalar(const BYTE* s, BYTE* d, std::size_t i, std::size_t n, const ChannelTables& t, bool opaque)
{
    const std::uint32_t keep = opaque ? 0 : kAlpha, set = opaque ? kAlpha : 0;
    for (; i < n; ++i)
        Store(d + 4 * i, MapPixel(Load(s + 4 * i), t, keep, set));
}

void MapGreyScalar(const BYTE* s, BYTE* d, std::size_t i, std::size_t n, const GreyTable& t)
{
    for (; i < n; ++i)
        Store(d + 4 * i, t.word[GreyOf(Load(s + 4 * i))]);
}

void AdjustHsbScalar(const BYTE* s, BYTE* d, std::size_t i, std::size_t n, const HsbAdjust& a)
{
    const HsbTables& hsb = HsbTables::Get();
    for (; i < n; ++i) {
        BYTE p[4];
        std::memcpy(p, s + 4 * i, 4);
        hsb.ToHsb(p);
        p[2] = static_cast<BYTE>(p[2] + a.hueTurn);
        p[1] = a.satTable[p[1]];
        qlcodec::HsbToRgbPixel(p);
        if (a.light)
            for (int c = 0; c < 3; ++c)
                p[c] = static_cast<BYTE>((p[c] * a.lightWeight + a.lightLift) >> 8);
        std::memcpy(d + 4 * i, p, 4);
    }
}

#if defined(__x86_64__)

// The grey sum B + 6G + 3R of each pixel word, then floor(sum / 10) as
// (sum * 6554) >> 16, exact for sums below 16384.
__attribute__((target("sse4.1"))) __m128i GreySse4(__m128i px)
{
    const __m128i sums = _mm_madd_epi16(_mm_maddubs_epi16(px, _mm_set1_epi32(0x00030601)), _mm_set1_epi16(1));
    return _mm_mulhi_epu16(sums, _mm_set1_epi32(6554));
}

__attribute__((target("avx2"))) __m256i GreyAvx2(__m256i px)
{
    const __m256i sums =
        _mm256_madd_epi16(_mm256_maddubs_epi16(px, _mm256_set1_epi32(0x00030601)), _mm256_set1_epi16(1));
    return _mm256_mulhi_epu16(sums, _mm256_set1_epi32(6554));
}

__attribute__((target("sse4.1"))) std::size_t MapChannelsSse4(const BYTE* s, BYTE* d, std::size_t n,
                                                              const ChannelTables& t, bool opaque)
{
    const __m128i low = _mm_set1_epi32(255);
    const __m128i keep = _mm_set1_epi32(static_cast<int>(opaque ? 0 : kAlpha));
    const __m128i set = _mm_set1_epi32(static_cast<int>(opaque ? kAlpha : 0));
    std::size_t i = 0;
    for (; i + 4 <= n; i += 4) {
        const __m128i px = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 4 * i));
        const __m128i b = _mm_and_si128(px, low);
        const __m128i g = _mm_and_si128(_mm_srli_epi32(px, 8), low);
        const __m128i r = _mm_and_si128(_mm_srli_epi32(px, 16), low);
        auto at = [&](const __m128i& v, int lane, int c) __attribute__((target("sse4.1"))) {
            switch (lane) {
            case 0: return t.word[c][_mm_extract_epi32(v, 0)];
            case 1: return t.word[c][_mm_extract_epi32(v, 1)];
            case 2: return t.word[c][_mm_extract_epi32(v, 2)];
            default: return t.word[c][_mm_extract_epi32(v, 3)];
            }
        };
        __m128i out = _mm_setr_epi32(static_cast<int>(at(b, 0, 0) | at(g, 0, 1) | at(r, 0, 2)),
                                     static_cast<int>(at(b, 1, 0) | at(g, 1, 1) | at(r, 1, 2)),
                                     static_cast<int>(at(b, 2, 0) | at(g, 2, 1) | at(r, 2, 2)),
                                     static_cast<int>(at(b, 3, 0) | at(g, 3, 1) | at(r, 3, 2)));
        out = _mm_or_si128(out, _mm_or_si128(_mm_and_si128(px, keep), set));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + 4 * i), out);
    }
    return i;
}

__attribute__((target("avx2"))) std::size_t MapChannelsAvx2(const BYTE* s, BYTE* d, std::size_t n,
                                                            const ChannelTables& t, bool opaque)
{
    const __m256i low = _mm256_set1_epi32(255);
    const __m256i keep = _mm256_set1_epi32(static_cast<int>(opaque ? 0 : kAlpha));
    const __m256i set = _mm256_set1_epi32(static_cast<int>(opaque ? kAlpha : 0));
    const int* tb = reinterpret_cast<const int*>(t.word[0]);
    const int* tg = reinterpret_cast<const int*>(t.word[1]);
    const int* tr = reinterpret_cast<const int*>(t.word[2]);
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        const __m256i px = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + 4 * i));
        const __m256i b = _mm256_i32gather_epi32(tb, _mm256_and_si256(px, low), 4);
        const __m256i g = _mm256_i32gather_epi32(tg, _mm256_and_si256(_mm256_srli_epi32(px, 8), low), 4);
        const __m256i r = _mm256_i32gather_epi32(tr, _mm256_and_si256(_mm256_srli_epi32(px, 16), low), 4);
        const __m256i a = _mm256_or_si256(_mm256_and_si256(px, keep), set);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + 4 * i),
                            _mm256_or_si256(_mm256_or_si256(b, g), _mm256_or_si256(r, a)));
    }
    return i;
}

// One channel's 256-byte table in four registers.
struct ByteTable {
    __m512i q0, q1, q2, q3;
};

__attribute__((target("avx512f,avx512bw,avx512vbmi"))) ByteTable LoadByteTable(const BYTE* t)
{
    return {_mm512_load_si512(t), _mm512_load_si512(t + 64), _mm512_load_si512(t + 128), _mm512_load_si512(t + 192)};
}

// 64 bytes looked up at once: one byte permute on each half of the table,
// bit 7 of the byte (upper) picks the half.
__attribute__((target("avx512f,avx512bw,avx512vbmi"), always_inline)) inline __m512i
LookUp(const ByteTable& t, __m512i index, __mmask64 upper)
{
    return _mm512_mask_blend_epi8(upper, _mm512_permutex2var_epi8(t.q0, index, t.q1),
                                  _mm512_permutex2var_epi8(t.q2, index, t.q3));
}

// Stores map(i) (sixteen pixels from pixel i) for every whole step of 16
// of n pixels into d and returns the pixels done. With stream, stores from
// the first 64-byte boundary of d (pixels before it by one(i)) bypass the
// cache: a large target is not read again soon, and a cached store would
// first read the line it overwrites.
template <class Map, class One>
__attribute__((target("avx512f"))) std::size_t StoreSteps(BYTE* d, std::size_t n, bool stream, Map&& map, One&& one)
{
    std::size_t i = 0;
    if (stream && reinterpret_cast<std::uintptr_t>(d) % 4 == 0) {
        for (; i + 16 <= n && reinterpret_cast<std::uintptr_t>(d + 4 * i) % 64 != 0; ++i)
            one(i);
        for (; i + 16 <= n; i += 16)
            _mm512_stream_si512(reinterpret_cast<__m512i*>(d + 4 * i), map(i));
        _mm_sfence(); // the streamed stores are seen before the rows are handed on
        return i;
    }
    for (; i + 16 <= n; i += 16)
        _mm512_storeu_si512(d + 4 * i, map(i));
    return i;
}

// Sixteen pixels a step, the tables held in registers; every byte takes its
// own channel's result.
__attribute__((target("avx512f,avx512bw,avx512vbmi"))) std::size_t
MapChannelsVbmi(const BYTE* s, BYTE* d, std::size_t n, const ChannelTables& t, bool opaque, bool stream)
{
    const ByteTable tb = LoadByteTable(t.level[0]), tg = LoadByteTable(t.level[1]), tr = LoadByteTable(t.level[2]);
    const __mmask64 alpha = opaque ? 0x8888888888888888ull : 0;
    const __m512i opaqueAlpha = _mm512_set1_epi8(-1);
    auto map = [&](std::size_t i) __attribute__((target("avx512f,avx512bw,avx512vbmi"))) {
        const __m512i px = _mm512_loadu_si512(s + 4 * i);
        const __mmask64 upper = _mm512_movepi8_mask(px);
        __m512i out = _mm512_mask_blend_epi8(0x1111111111111111ull, px, LookUp(tb, px, upper));
        out = _mm512_mask_blend_epi8(0x2222222222222222ull, out, LookUp(tg, px, upper));
        out = _mm512_mask_blend_epi8(0x4444444444444444ull, out, LookUp(tr, px, upper));
        return _mm512_mask_blend_epi8(alpha, out, opaqueAlpha);
    };
    const std::uint32_t keep = opaque ? 0 : kAlpha, set = opaque ? kAlpha : 0;
    return StoreSteps(d, n, stream, map,
                      [&](std::size_t i) { Store(d + 4 * i, MapPixel(Load(s + 4 * i), t, keep, set)); });
}

// The same for the grey level: computed as in GreyAvx2, looked up, and
// spread over B, G and R under an alpha of 255.
__attribute__((target("avx512f,avx512bw,avx512vbmi"))) std::size_t MapGreyVbmi(const BYTE* s, BYTE* d, std::size_t n,
                                                                                 const GreyTable& t, bool stream)
{
    const ByteTable levels = LoadByteTable(t.level);
    // Byte 0 of each pixel to bytes 0, 1 and 2; byte 3 zero.
    const __m512i spread = _mm512_setr4_epi32(static_cast<int>(0xFF000000u), static_cast<int>(0xFF040404u),
                                              static_cast<int>(0xFF080808u), static_cast<int>(0xFF0C0C0Cu));
    const __m512i alpha = _mm512_set1_epi32(static_cast<int>(kAlpha));
    auto map = [&](std::size_t i) __attribute__((target("avx512f,avx512bw,avx512vbmi"))) {
        const __m512i px = _mm512_loadu_si512(s + 4 * i);
        const __m512i sums =
            _mm512_madd_epi16(_mm512_maddubs_epi16(px, _mm512_set1_epi32(0x00030601)), _mm512_set1_epi16(1));
        const __m512i grey = _mm512_mulhi_epu16(sums, _mm512_set1_epi32(6554));
        return _mm512_or_si512(_mm512_shuffle_epi8(LookUp(levels, grey, _mm512_movepi8_mask(grey)), spread), alpha);
    };
    return StoreSteps(d, n, stream, map, [&](std::size_t i) { Store(d + 4 * i, t.word[GreyOf(Load(s + 4 * i))]); });
}

__attribute__((target("sse4.1"))) std::size_t MapGreySse4(const BYTE* s, BYTE* d, std::size_t n, const GreyTable& t)
{
    std::size_t i = 0;
    for (; i + 4 <= n; i += 4) {
        const __m128i grey = GreySse4(_mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 4 * i)));
        const __m128i out = _mm_setr_epi32(
            static_cast<int>(t.word[_mm_extract_epi32(grey, 0)]), static_cast<int>(t.word[_mm_extract_epi32(grey, 1)]),
            static_cast<int>(t.word[_mm_extract_epi32(grey, 2)]), static_cast<int>(t.word[_mm_extract_epi32(grey, 3)]));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + 4 * i), out);
    }
    return i;
}

__attribute__((target("avx2"))) std::size_t MapGreyAvx2(const BYTE* s, BYTE* d, std::size_t n, const GreyTable& t)
{
    const int* table = reinterpret_cast<const int*>(t.word);
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        const __m256i grey = GreyAvx2(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + 4 * i)));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + 4 * i), _mm256_i32gather_epi32(table, grey, 4));
    }
    return i;
}

// floor(x / 255) of lanes 0..65534.
__attribute__((target("avx2"))) __m256i Div255Avx2(__m256i x)
{
    return _mm256_srli_epi32(_mm256_add_epi32(_mm256_add_epi32(x, _mm256_set1_epi32(1)), _mm256_srli_epi32(x, 8)), 8);
}

// floor(x / 65025) of lanes below 2^24: (x * ceil(2^42 / 65025)) >> 42,
// exact in that range.
__attribute__((target("avx2"))) __m256i Div65025Avx2(__m256i x)
{
    const __m256i m = _mm256_set1_epi32(67636241);
    const __m256i even = _mm256_srli_epi64(_mm256_mul_epu32(x, m), 42);
    const __m256i odd = _mm256_slli_epi64(_mm256_srli_epi64(_mm256_mul_epu32(_mm256_srli_epi64(x, 32), m), 42), 32);
    return _mm256_or_si256(even, odd);
}

// floor(num / den) of lanes with |num| < 2^16 and 0 < den < 2^10 in floats:
// the quotient is rounded correctly, and one that is not a whole number
// lies at least 1 / den from the next, far more than a rounding step.
__attribute__((target("avx2"))) __m256i FloorDivAvx2(__m256i num, __m256i den)
{
    return _mm256_cvttps_epi32(_mm256_round_ps(_mm256_div_ps(_mm256_cvtepi32_ps(num), _mm256_cvtepi32_ps(den)),
                                               _MM_FROUND_TO_NEG_INF | _MM_FROUND_NO_EXC));
}

// The same for num >= 0, where truncation is the floor.
__attribute__((target("avx2"))) __m256i DivPositiveAvx2(__m256i num, __m256i den)
{
    return _mm256_cvttps_epi32(_mm256_div_ps(_mm256_cvtepi32_ps(num), _mm256_cvtepi32_ps(den)));
}

// The pixel's B, G, R (then 0) as bytes of the word v | p << 8 | x << 16 in
// each hue sector, after the codec's HSB2RGB cases; x is q in the odd
// sectors and t in the even ones, which use only one of the two. 6 and 7
// do not occur.
constexpr std::uint32_t SectorOrder(int b, int g, int r)
{
    return std::uint32_t(b) | std::uint32_t(g) << 8 | std::uint32_t(r) << 16 | 0x80000000u;
}
constexpr int V = 0, P = 1, X = 2;
alignas(32) constexpr std::uint32_t kSectorOrder[8] = {
    SectorOrder(P, X, V), SectorOrder(P, V, X), SectorOrder(X, V, P), SectorOrder(V, X, P),
    SectorOrder(V, P, X), SectorOrder(X, P, V), SectorOrder(V, V, V), SectorOrder(V, V, V)};

__attribute__((target("avx2"))) std::size_t AdjustHsbAvx2(const BYTE* s, BYTE* d, std::size_t n, const HsbAdjust& a)
{
    const __m256i zero = _mm256_setzero_si256(), low = _mm256_set1_epi32(255);
    const __m256i alphaMask = _mm256_set1_epi32(static_cast<int>(kAlpha));
    const __m256i takeB = _mm256_setr_epi8(0, -1, -1, -1, 4, -1, -1, -1, 8, -1, -1, -1, 12, -1, -1, -1, 0, -1, -1, -1,
                                           4, -1, -1, -1, 8, -1, -1, -1, 12, -1, -1, -1);
    const __m256i takeG = _mm256_add_epi8(takeB, _mm256_set1_epi32(1));
    const __m256i takeR = _mm256_add_epi8(takeB, _mm256_set1_epi32(2));
    // Where each lane's bytes start in its 128-bit half, for the byte shuffle.
    const __m256i laneBytes = _mm256_setr_epi32(0, 0x04040404, 0x08080808, 0x0C0C0C0C, 0, 0x04040404, 0x08080808,
                                                0x0C0C0C0C);
    const __m256i order = _mm256_load_si256(reinterpret_cast<const __m256i*>(kSectorOrder));
    const __m256i hueTurn = _mm256_set1_epi32(a.hueTurn), satFactor = _mm256_set1_epi32(a.satFactor);
    const __m256i weight = _mm256_set1_epi16(static_cast<short>(a.lightWeight));
    const __m256i lift = _mm256_set1_epi16(static_cast<short>(a.lightLift));
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        const __m256i px = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + 4 * i));
        const __m256i b = _mm256_shuffle_epi8(px, takeB);
        const __m256i g = _mm256_shuffle_epi8(px, takeG);
        const __m256i r = _mm256_shuffle_epi8(px, takeR);

        // To HSB. Greys (diff 0) divide 0 by 0; their saturation is set to 0,
        // which makes every output channel v whatever the hue.
        const __m256i v = _mm256_max_epi32(r, _mm256_max_epi32(g, b));
        const __m256i diff = _mm256_sub_epi32(v, _mm256_min_epi32(r, _mm256_min_epi32(g, b)));
        const __m256i grey = _mm256_cmpeq_epi32(diff, zero);
        __m256i sat = DivPositiveAvx2(
            _mm256_add_epi32(_mm256_sub_epi32(_mm256_slli_epi32(diff, 8), diff), _mm256_srli_epi32(v, 1)), v);
        sat = _mm256_andnot_si256(grey, sat);
        const __m256i isR = _mm256_cmpeq_epi32(v, r), isG = _mm256_cmpeq_epi32(v, g);
        const __m256i num = _mm256_blendv_epi8(
            _mm256_blendv_epi8(_mm256_sub_epi32(r, g), _mm256_sub_epi32(b, r), isG), _mm256_sub_epi32(g, b), isR);
        const __m256i base = _mm256_blendv_epi8(
            _mm256_blendv_epi8(_mm256_set1_epi32(170), _mm256_set1_epi32(85), isG), zero, isR);
        // floor(num 255 / (6 diff) + 1/2) as floor((85 num + diff) / (2 diff)).
        __m256i hue = _mm256_add_epi32(
            base, FloorDivAvx2(_mm256_add_epi32(_mm256_mullo_epi32(num, _mm256_set1_epi32(85)), diff),
                               _mm256_add_epi32(diff, diff)));
        hue = _mm256_add_epi32(hue, _mm256_and_si256(_mm256_cmpgt_epi32(zero, hue), low));
        hue = _mm256_sub_epi32(hue, _mm256_andnot_si256(_mm256_cmpgt_epi32(low, hue), low));

        // The adjustments; hue 255 reads as 0.
        hue = _mm256_and_si256(_mm256_add_epi32(hue, hueTurn), low);
        hue = _mm256_andnot_si256(_mm256_cmpeq_epi32(hue, low), hue);
        sat = _mm256_min_epi32(low, _mm256_srli_epi32(_mm256_mullo_epi32(sat, satFactor), 7));

        // Back to RGB: v, p and q (odd sectors) or t (even ones):
        // floor((v (255^2 - s f') + 255^2 / 2) / 255^2) with f' = f for q
        // and 255 - f for t.
        const __m256i h6 = _mm256_mullo_epi32(hue, _mm256_set1_epi32(6));
        const __m256i sector = Div255Avx2(h6);
        const __m256i f = _mm256_sub_epi32(h6, _mm256_sub_epi32(_mm256_slli_epi32(sector, 8), sector));
        const __m256i odd = _mm256_srai_epi32(_mm256_slli_epi32(sector, 31), 31);
        const __m256i fx = _mm256_blendv_epi8(_mm256_sub_epi32(low, f), f, odd);
        constexpr int k = 255 * 255;
        const __m256i pv =
            Div255Avx2(_mm256_add_epi32(_mm256_mullo_epi32(v, _mm256_sub_epi32(low, sat)), _mm256_set1_epi32(127)));
        const __m256i xv = Div65025Avx2(_mm256_add_epi32(
            _mm256_mullo_epi32(v, _mm256_sub_epi32(_mm256_set1_epi32(k), _mm256_mullo_epi32(sat, fx))),
            _mm256_set1_epi32(k / 2)));
        const __m256i word =
            _mm256_or_si256(_mm256_or_si256(v, _mm256_slli_epi32(pv, 8)), _mm256_slli_epi32(xv, 16));
        const __m256i pick = _mm256_add_epi8(_mm256_permutevar8x32_epi32(order, sector), laneBytes);
        __m256i out = _mm256_shuffle_epi8(word, pick);
        if (a.light) {
            // (c w + lift) >> 8 stays below 2^16 for every channel byte.
            const __m256i lo = _mm256_unpacklo_epi8(out, zero), hi = _mm256_unpackhi_epi8(out, zero);
            out = _mm256_packus_epi16(
                _mm256_srli_epi16(_mm256_add_epi16(_mm256_mullo_epi16(lo, weight), lift), 8),
                _mm256_srli_epi16(_mm256_add_epi16(_mm256_mullo_epi16(hi, weight), lift), 8));
            out = _mm256_andnot_si256(alphaMask, out);
        }
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + 4 * i),
                            _mm256_or_si256(out, _mm256_and_si256(px, alphaMask)));
    }
    return i;
}

// GCC 12's AVX-512 header fills unused lanes from a deliberately
// uninitialised value, which the warnings below would report in every caller.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wuninitialized"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

// The AVX2 helpers and loop below on sixteen pixels a step, with blends by
// mask registers.
__attribute__((target("avx512f,avx512bw"))) __m512i Div255Avx512(__m512i x)
{
    return _mm512_srli_epi32(_mm512_add_epi32(_mm512_add_epi32(x, _mm512_set1_epi32(1)), _mm512_srli_epi32(x, 8)), 8);
}

__attribute__((target("avx512f,avx512bw"))) __m512i Div65025Avx512(__m512i x)
{
    const __m512i m = _mm512_set1_epi32(67636241);
    const __m512i even = _mm512_srli_epi64(_mm512_mul_epu32(x, m), 42);
    const __m512i odd = _mm512_slli_epi64(_mm512_srli_epi64(_mm512_mul_epu32(_mm512_srli_epi64(x, 32), m), 42), 32);
    return _mm512_or_si512(even, odd);
}

__attribute__((target("avx512f,avx512bw"))) __m512i FloorDivAvx512(__m512i num, __m512i den)
{
    return _mm512_cvttps_epi32(_mm512_roundscale_ps(_mm512_div_ps(_mm512_cvtepi32_ps(num), _mm512_cvtepi32_ps(den)),
                                                    _MM_FROUND_TO_NEG_INF | _MM_FROUND_NO_EXC));
}

__attribute__((target("avx512f,avx512bw"))) __m512i DivPositiveAvx512(__m512i num, __m512i den)
{
    return _mm512_cvttps_epi32(_mm512_div_ps(_mm512_cvtepi32_ps(num), _mm512_cvtepi32_ps(den)));
}

__attribute__((target("avx512f,avx512bw"))) std::size_t AdjustHsbAvx512(const BYTE* s, BYTE* d, std::size_t n,
                                                                         const HsbAdjust& a)
{
    const __m512i zero = _mm512_setzero_si512(), low = _mm512_set1_epi32(255);
    const __m512i alphaMask = _mm512_set1_epi32(static_cast<int>(kAlpha));
    const __m512i takeB =
        _mm512_broadcast_i32x4(_mm_setr_epi8(0, -1, -1, -1, 4, -1, -1, -1, 8, -1, -1, -1, 12, -1, -1, -1));
    const __m512i takeG = _mm512_add_epi8(takeB, _mm512_set1_epi32(1));
    const __m512i takeR = _mm512_add_epi8(takeB, _mm512_set1_epi32(2));
    const __m512i laneBytes = _mm512_broadcast_i32x4(_mm_setr_epi32(0, 0x04040404, 0x08080808, 0x0C0C0C0C));
    const __m512i order = _mm512_broadcast_i64x4(_mm256_load_si256(reinterpret_cast<const __m256i*>(kSectorOrder)));
    const __m512i hueTurn = _mm512_set1_epi32(a.hueTurn), satFactor = _mm512_set1_epi32(a.satFactor);
    const __m512i weight = _mm512_set1_epi16(static_cast<short>(a.lightWeight));
    const __m512i lift = _mm512_set1_epi16(static_cast<short>(a.lightLift));
    std::size_t i = 0;
    for (; i + 16 <= n; i += 16) {
        const __m512i px = _mm512_loadu_si512(s + 4 * i);
        const __m512i b = _mm512_shuffle_epi8(px, takeB);
        const __m512i g = _mm512_shuffle_epi8(px, takeG);
        const __m512i r = _mm512_shuffle_epi8(px, takeR);

        const __m512i v = _mm512_max_epi32(r, _mm512_max_epi32(g, b));
        const __m512i diff = _mm512_sub_epi32(v, _mm512_min_epi32(r, _mm512_min_epi32(g, b)));
        __m512i sat = DivPositiveAvx512(
            _mm512_add_epi32(_mm512_sub_epi32(_mm512_slli_epi32(diff, 8), diff), _mm512_srli_epi32(v, 1)), v);
        sat = _mm512_maskz_mov_epi32(_mm512_cmpneq_epi32_mask(diff, zero), sat);
        const __mmask16 isR = _mm512_cmpeq_epi32_mask(v, r), isG = _mm512_cmpeq_epi32_mask(v, g);
        const __m512i num = _mm512_mask_blend_epi32(
            isR, _mm512_mask_blend_epi32(isG, _mm512_sub_epi32(r, g), _mm512_sub_epi32(b, r)), _mm512_sub_epi32(g, b));
        const __m512i base = _mm512_mask_blend_epi32(
            isR, _mm512_mask_blend_epi32(isG, _mm512_set1_epi32(170), _mm512_set1_epi32(85)), zero);
        __m512i hue = _mm512_add_epi32(
            base, FloorDivAvx512(_mm512_add_epi32(_mm512_mullo_epi32(num, _mm512_set1_epi32(85)), diff),
                                 _mm512_add_epi32(diff, diff)));
        hue = _mm512_mask_add_epi32(hue, _mm512_cmplt_epi32_mask(hue, zero), hue, low);
        hue = _mm512_mask_sub_epi32(hue, _mm512_cmpge_epi32_mask(hue, low), hue, low);

        hue = _mm512_and_si512(_mm512_add_epi32(hue, hueTurn), low);
        hue = _mm512_maskz_mov_epi32(_mm512_cmpneq_epi32_mask(hue, low), hue);
        sat = _mm512_min_epi32(low, _mm512_srli_epi32(_mm512_mullo_epi32(sat, satFactor), 7));

        const __m512i h6 = _mm512_mullo_epi32(hue, _mm512_set1_epi32(6));
        const __m512i sector = Div255Avx512(h6);
        const __m512i f = _mm512_sub_epi32(h6, _mm512_sub_epi32(_mm512_slli_epi32(sector, 8), sector));
        const __mmask16 odd = _mm512_test_epi32_mask(sector, _mm512_set1_epi32(1));
        const __m512i fx = _mm512_mask_blend_epi32(odd, _mm512_sub_epi32(low, f), f);
        constexpr int k = 255 * 255;
        const __m512i pv =
            Div255Avx512(_mm512_add_epi32(_mm512_mullo_epi32(v, _mm512_sub_epi32(low, sat)), _mm512_set1_epi32(127)));
        const __m512i xv = Div65025Avx512(_mm512_add_epi32(
            _mm512_mullo_epi32(v, _mm512_sub_epi32(_mm512_set1_epi32(k), _mm512_mullo_epi32(sat, fx))),
            _mm512_set1_epi32(k / 2)));
        const __m512i word = _mm512_or_si512(_mm512_or_si512(v, _mm512_slli_epi32(pv, 8)), _mm512_slli_epi32(xv, 16));
        const __m512i pick = _mm512_add_epi8(_mm512_permutexvar_epi32(sector, order), laneBytes);
        __m512i out = _mm512_shuffle_epi8(word, pick);
        if (a.light) {
            const __m512i lo = _mm512_unpacklo_epi8(out, zero), hi = _mm512_unpackhi_epi8(out, zero);
            out = _mm512_packus_epi16(
                _mm512_srli_epi16(_mm512_add_epi16(_mm512_mullo_epi16(lo, weight), lift), 8),
                _mm512_srli_epi16(_mm512_add_epi16(_mm512_mullo_epi16(hi, weight), lift), 8));
            out = _mm512_andnot_si512(alphaMask, out);
        }
        _mm512_storeu_si512(d + 4 * i, _mm512_or_si512(out, _mm512_and_si512(px, alphaMask)));
    }
    return i;
}
#pragma GCC diagnostic pop
#endif

} // namespace

ChannelTables::ChannelTables(const BYTE* b, const BYTE* g, const BYTE* r)
{
    std::memcpy(level[0], b, 256);
    std::memcpy(level[1], g, 256);
    std::memcpy(level[2], r, 256);
    for (int v = 0; v < 256; ++v) {
        word[0][v] = b[v];
        word[1][v] = std::uint32_t{g[v]} << 8;
        word[2][v] = std::uint32_t{r[v]} << 16;
    }
}

GreyTable::GreyTable(const BYTE* levels)
{
    std::memcpy(level, levels, 256);
    for (int v = 0; v < 256; ++v)
        word[v] = levels[v] * 0x010101u | kAlpha;
}

HsbAdjust::HsbAdjust(int hue, int saturation, int lightness)
    : hueTurn(hue & 0xFF),
      satFactor(saturation + 128),
      lightWeight(256 - 2 * std::abs(lightness)),
      lightLift(lightness > 0 ? 255 * 2 * lightness : 0),
      light(lightness != 0)
{
    // (1 + s / 128) i is exact in doubles, so the integer form truncates alike.
    for (int i = 0; i < 256; ++i)
        satTable[i] = static_cast<BYTE>(std::min(255, satFactor * i / 128));
}

void AdjustHsb(const BYTE* s, BYTE* d, std::size_t n, const HsbAdjust& a, SimdLevel level)
{
    std::size_t i = 0;
#if defined(__x86_64__)
    if (level == SimdLevel::Avx2)
        i = imagecore::ActiveAvx512() ? AdjustHsbAvx512(s, d, n, a) : AdjustHsbAvx2(s, d, n, a);
#endif
    AdjustHsbScalar(s, d, i, n, a);
}

void MapChannels(const BYTE* s, BYTE* d, std::size_t n, const ChannelTables& t, bool opaque, SimdLevel level,
                 bool stream)
{
    std::size_t i = 0;
#if defined(__x86_64__)
    if (level == SimdLevel::Avx2)
        i = imagecore::ActiveAvx512() ? MapChannelsVbmi(s, d, n, t, opaque, stream)
                                          : MapChannelsAvx2(s, d, n, t, opaque);
    else if (level == SimdLevel::Sse4)
        i = MapChannelsSse4(s, d, n, t, opaque);
#endif
    MapChannelsScalar(s, d, i, n, t, opaque);
}

void MapGrey(const BYTE* s, BYTE* d, std::size_t n, const GreyTable& t, SimdLevel level, bool stream)
{
    std::size_t i = 0;
#if defined(__x86_64__)
    if (level == SimdLevel::Avx2)
        i = imagecore::ActiveAvx512() ? MapGreyVbmi(s, d, n, t, stream) : MapGreyAvx2(s, d, n, t);
    else if (level == SimdLevel::Sse4)
        i = MapGreySse4(s, d, n, t);
#endif
    MapGreyScalar(s, d, i, n, t);
}

} // namespace pointkernels
