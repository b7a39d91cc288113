#include "algorithms/UnsharpMaskAlgorithm.h"

#include "algorithms/RowProgress.h"
#include "imagecore/ParallelFor.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

#if defined(__SSE2__)
#include <immintrin.h>
#endif

// The AVX2 row is chosen at run time; its vectors never cross into other code.
#pragma GCC diagnostic ignored "-Wpsabi"

namespace {

// Mask by edge strength d: 0 below lo, 255 above hi, a ramp between;
// threshold 0 sharpens everywhere.
void MaskTable(int threshold, BYTE table[256])
{
    const int lo = std::max(0, threshold - 32);
    const int hi = std::min(255, threshold + 32);
    for (int d = 0; d < 256; ++d) {
        int mask;
        if (threshold == 0 || d > hi)
            mask = 255;
        else if (d < lo)
            mask = 0;
        else
            mask = (d - lo) * 255 / (hi - lo);
        table[d] = static_cast<BYTE>(mask);
    }
}

// Grey (6G + 3R + B) / 10 of a row; x / 10 is (x * 6554) >> 16 for x <= 2550.
void GreyRow(const BYTE* p, int width, BYTE* g)
{
    int x = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    const __m128i mask = _mm_set1_epi32(0xFF);
    const __m128i six = _mm_set1_epi16(6), three = _mm_set1_epi16(3), tenth = _mm_set1_epi16(6554);
    auto channel = [&](__m128i a, __m128i b, int shift) {
        // byte `shift / 8` of eight pixels as 16-bit lanes
        return _mm_packs_epi32(_mm_and_si128(_mm_srli_epi32(a, shift), mask), _mm_and_si128(_mm_srli_epi32(b, shift), mask));
    };
    for (; x + 8 <= width; x += 8) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + x * 4));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + x * 4 + 16));
        const __m128i sum = _mm_add_epi16(_mm_add_epi16(_mm_mullo_epi16(channel(a, b, 8), six),
                                                        _mm_mullo_epi16(channel(a, b, 16), three)),
                                          channel(a, b, 0));
        const __m128i grey = _mm_mulhi_epu16(sum, tenth);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(g + x), _mm_packus_epi16(grey, zero));
    }
#endif
    for (; x < width; ++x)
        g[x] = static_cast<BYTE>(reinterpret_cast<const CPixel*>(p)[x].GetGray2());
}

// d = (|g(x-1) - g(x+1)| + |g(x-2) - g(x+2)| + the same across rows) / 4 for
// x = 2 .. width - 3; rows[2] is the centre row, rows[0] two above it.
void EdgeStrengthRow(const BYTE* const rows[5], int width, BYTE* d)
{
    const BYTE* c = rows[2];
    int x = 2;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    auto absDiff = [](__m128i a, __m128i b) { return _mm_or_si128(_mm_subs_epu8(a, b), _mm_subs_epu8(b, a)); };
    auto load = [](const BYTE* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); };
    for (; x + 16 <= width - 2; x += 16) {
        const __m128i d1 = absDiff(load(c + x - 1), load(c + x + 1));
        const __m128i d2 = absDiff(load(c + x - 2), load(c + x + 2));
        const __m128i d3 = absDiff(load(rows[1] + x), load(rows[3] + x));
        const __m128i d4 = absDiff(load(rows[0] + x), load(rows[4] + x));
        const __m128i lo = _mm_add_epi16(_mm_add_epi16(_mm_unpacklo_epi8(d1, zero), _mm_unpacklo_epi8(d2, zero)),
                                         _mm_add_epi16(_mm_unpacklo_epi8(d3, zero), _mm_unpacklo_epi8(d4, zero)));
        const __m128i hi = _mm_add_epi16(_mm_add_epi16(_mm_unpackhi_epi8(d1, zero), _mm_unpackhi_epi8(d2, zero)),
                                         _mm_add_epi16(_mm_unpackhi_epi8(d3, zero), _mm_unpackhi_epi8(d4, zero)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + x),
                         _mm_packus_epi16(_mm_srli_epi16(lo, 2), _mm_srli_epi16(hi, 2)));
    }
#endif
    for (; x < width - 2; ++x)
        d[x] = static_cast<BYTE>((std::abs(c[x - 1] - c[x + 1]) + std::abs(c[x - 2] - c[x + 2])
                                  + std::abs(rows[1][x] - rows[3][x]) + std::abs(rows[0][x] - rows[4][x]))
                                 / 4);
}

// One row: where the blur's alpha m > 0, each colour v becomes
// (m v' + (255 - m) v) / 255 with v' = clamp(v + trunc(amount (v - blurred) / 128)).
// trunc(amount / 128.0 * diff) is exactly the integer quotient, as 128 is a power of two.
using SharpenRowFn = void (*)(const BYTE* s, const BYTE* b, BYTE* out, int width, int amount);

void SharpenRowScalar(const BYTE* s, const BYTE* b, BYTE* out, int width, int amount)
{
    for (int x = 0; x < width; ++x, s += 4, b += 4, out += 4) {
        const int m = b[3];
        out[3] = s[3];
        if (m == 0) {
            out[0] = s[0], out[1] = s[1], out[2] = s[2];
            continue;
        }
        for (int c = 0; c < 3; ++c) {
            const int v = s[c];
            const int sharp = std::clamp(v + static_cast<int>(static_cast<long long>(amount) * (v - b[c]) / 128), 0, 255);
            out[c] = static_cast<BYTE>((m * sharp + (255 - m) * v) / 255);
        }
    }
}

#if defined(__SSE2__)
// Two pixels per step in 32-bit lanes; x / 255 is (x * 32897) >> 23 for x < 65536.
__attribute__((target("avx2"))) void SharpenRowAvx2(const BYTE* s, const BYTE* b, BYTE* out, int width, int amount)
{
    const __m256i vAmount = _mm256_set1_epi32(amount);
    const __m256i zero = _mm256_setzero_si256();
    const __m256i v255 = _mm256_set1_epi32(255);
    const __m256i round = _mm256_set1_epi32(127);
    const __m256i magic = _mm256_set1_epi32(32897);
    const __m256i alphaLanes = _mm256_setr_epi32(0, 0, 0, -1, 0, 0, 0, -1);
    const __m256i spreadAlpha = _mm256_setr_epi32(3, 3, 3, 3, 7, 7, 7, 7);
    int x = 0;
    // amount * difference must stay within 32 bits.
    if (amount > -8000000 && amount < 8000000) {
        for (; x + 2 <= width; x += 2) {
            const __m256i v = _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(s + x * 4)));
            const __m256i bl = _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(b + x * 4)));
            const __m256i m = _mm256_permutevar8x32_epi32(bl, spreadAlpha);
            const __m256i prod = _mm256_mullo_epi32(_mm256_sub_epi32(v, bl), vAmount);
            const __m256i q = _mm256_srai_epi32(_mm256_add_epi32(prod, _mm256_and_si256(_mm256_srai_epi32(prod, 31), round)), 7);
            const __m256i sharp = _mm256_min_epi32(_mm256_max_epi32(_mm256_add_epi32(v, q), zero), v255);
            const __m256i num = _mm256_add_epi32(_mm256_mullo_epi32(m, sharp), _mm256_mullo_epi32(_mm256_sub_epi32(v255, m), v));
            __m256i r = _mm256_srli_epi32(_mm256_mullo_epi32(num, magic), 23);
            r = _mm256_blendv_epi8(r, v, alphaLanes); // alpha stays the source's
            const __m256i p16 = _mm256_packus_epi32(r, r);
            const __m256i p8 = _mm256_packus_epi16(p16, p16);
            const std::uint32_t lo = static_cast<std::uint32_t>(_mm256_extract_epi32(p8, 0));
            const std::uint32_t hi = static_cast<std::uint32_t>(_mm256_extract_epi32(p8, 4));
            std::memcpy(out + x * 4, &lo, 4);
            std::memcpy(out + x * 4 + 4, &hi, 4);
        }
    }
    SharpenRowScalar(s + x * 4, b + x * 4, out + x * 4, width - x, amount);
}
#endif

SharpenRowFn PickSharpenRow()
{
#if defined(__SSE2__)
    static const bool avx2 = __builtin_cpu_supports("avx2");
    if (avx2)
        return SharpenRowAvx2;
#endif
    return SharpenRowScalar;
}

} // namespace

UnsharpMaskAlgorithm::~UnsharpMaskAlgorithm() = default;

HRESULT UnsharpMaskAlgorithm::Apply(const void* params)
{
    if (EffectAlgorithm::Apply(params) != 0 || !params)
        return E_FAIL;
    std::memcpy(&param, params, sizeof param);
    // Every target pixel is written below (a copy where the mask is 0).
    UINT w = 0, h = 0;
    source->GetSize(&w, &h);
    if (target != source && target->Create(w, h) != 0)
        return E_FAIL;

    const bool blurredHere = images.empty();
    if (blurredHere) {
        blur.SetImages(source, &blurImage);
        blur.SetCentreWeighted(1);
        blur.SetRange(rangeLow, (rangeLow + rangeHigh) / 2);
        blur.SetCallback(callback);
        const SmoothParams smooth = {param.radius};
        if (blur.Apply(&smooth) != 0)
            return E_FAIL;
        AddImage(&blurImage);
    }
    const HRESULT hr = Sharpen(images[0], blurredHere);
    // The blur made here is not handed on to the next run: its source may differ.
    if (blurredHere)
        ClearImages();
    return hr;
}

HRESULT UnsharpMaskAlgorithm::Sharpen(CQLImage* blurred, bool blurredHere)
{
    UINT w = 0, h = 0, bw = 0, bh = 0;
    source->GetSize(&w, &h);
    if (!blurred || blurred->GetAreaByteSize() == 0)
        return E_FAIL;
    blurred->GetSize(&bw, &bh);
    if (bw != w || bh != h)
        return E_FAIL;
    const int width = static_cast<int>(w), height = static_cast<int>(h);
    // Rows are sharpened while neighbouring chunks still read their grey.
    CQLImage copy;
    const CQLImage* from = source;
    if (source == target) {
        if (!copy.DuplicateFrom(source))
            return E_FAIL;
        from = &copy;
    }

    // Per row: the edge mask into the blur's alpha (the two outer rows and
    // columns get 0), then the sharpening of that row, which reads only its
    // own mask. Each chunk keeps the five grey rows around the row it does.
    const int threshold = std::clamp(static_cast<int>(param.threshold), 0, 255);
    BYTE maskOf[256];
    MaskTable(threshold, maskOf);
    SharpenRowFn sharpenRow = PickSharpenRow();
    RowProgress progress(*this, height, blurredHere ? 50 : 0, 100);
    std::atomic<bool> failed{false};
    imagecore::ParallelFor(0, height, static_cast<std::size_t>(width) * 8, [&](int y0, int y1) {
        std::vector<BYTE> ring, d;
        try {
            ring.resize(static_cast<std::size_t>(width) * 5);
            d.resize(width);
        } catch (const std::bad_alloc&) {
            failed.store(true);
            return;
        }
        auto greyRow = [&](int row) { return ring.data() + static_cast<std::size_t>(row % 5) * width; };
        int nextGrey = std::max(0, y0 - 2);
        for (int y = y0; y < y1; ++y) {
            BYTE* mask = blurred->GetBuffer(0, y) + 3;
            if (y < 2 || y >= height - 2 || width < 5) {
                for (int x = 0; x < width; ++x)
                    mask[x * 4] = 0;
            } else {
                for (; nextGrey <= y + 2; ++nextGrey)
                    GreyRow(from->GetBuffer(0, nextGrey), width, greyRow(nextGrey));
                const BYTE* rows[5] = {greyRow(y - 2), greyRow(y - 1), greyRow(y), greyRow(y + 1), greyRow(y + 2)};
                EdgeStrengthRow(rows, width, d.data());
                mask[0] = mask[4] = mask[(width - 2) * 4] = mask[(width - 1) * 4] = 0;
                for (int x = 2; x < width - 2; ++x)
                    mask[x * 4] = maskOf[d[x]];
            }
            sharpenRow(from->GetBuffer(0, y), blurred->GetBuffer(0, y), target->GetBuffer(0, y), width, param.amount);
            if (!progress.Advance(1))
                return;
        }
    });
    if (failed.load() || progress.Cancelled())
        return E_FAIL;
    Progress(100);
    return 0;
}
