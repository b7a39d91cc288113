#include "algorithms/PointKernels.h"

#include <bit>
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

#endif

} // namespace

ChannelTables::ChannelTables(const BYTE* b, const BYTE* g, const BYTE* r)
{
    for (int v = 0; v < 256; ++v) {
        word[0][v] = b[v];
        word[1][v] = std::uint32_t{g[v]} << 8;
        word[2][v] = std::uint32_t{r[v]} << 16;
    }
}

GreyTable::GreyTable(const BYTE* levels)
{
    for (int v = 0; v < 256; ++v)
        word[v] = levels[v] * 0x010101u | kAlpha;
}

void MapChannels(const BYTE* s, BYTE* d, std::size_t n, const ChannelTables& t, bool opaque, SimdLevel level)
{
    std::size_t i = 0;
#if defined(__x86_64__)
    if (level == SimdLevel::Avx2)
        i = MapChannelsAvx2(s, d, n, t, opaque);
    else if (level == SimdLevel::Sse4)
        i = MapChannelsSse4(s, d, n, t, opaque);
#endif
    MapChannelsScalar(s, d, i, n, t, opaque);
}

void MapGrey(const BYTE* s, BYTE* d, std::size_t n, const GreyTable& t, SimdLevel level)
{
    std::size_t i = 0;
#if defined(__x86_64__)
    if (level == SimdLevel::Avx2)
        i = MapGreyAvx2(s, d, n, t);
    else if (level == SimdLevel::Sse4)
        i = MapGreySse4(s, d, n, t);
#endif
    MapGreyScalar(s, d, i, n, t);
}

} // namespace pointkernels
