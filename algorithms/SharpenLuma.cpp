#include "algorithms/SharpenLuma.h"

#include "imagecore/ParallelFor.h"
#include "imagecore/QLImage.h"
#include "platform/codec/ColorForms.h"

#include <cstring>
#include <memory>
#include <new>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// The luma change of one pixel against the mean of its four neighbours.
inline int SharpenedLuma(int c, int b, int amount)
{
    int d = c > b ? c - b : b - c;
    if (d > 32)
        d = 32 + (d - 32) / 4;
    if (b >= c)
        d = -d;
    const long long v = c + ((static_cast<long long>(amount) * d) >> 8); // any amount without overflow
    return v < 0 ? 0 : (v > 255 ? 255 : static_cast<int>(v));
}

#if defined(__SSE2__)
// The codec's YUV formulas for four pixels in 32-bit lanes, with the products
// that leave 16 bits split so that every multiply-add stays exact:
// 38470 G = 19235 (G + G), 32768 B = 32767 B + B, 32768 R = 32767 R + R.
struct Yuv4 {
    __m128i y, u, v;
};

inline Yuv4 ToYuv(__m128i p)
{
    const __m128i br = _mm_and_si128(p, _mm_set1_epi32(0x00FF00FF)); // B low, R high
    const __m128i ga = _mm_and_si128(_mm_srli_epi32(p, 8), _mm_set1_epi32(0x00FF00FF));
    const __m128i g = _mm_and_si128(ga, _mm_set1_epi32(0xFF));
    const __m128i b = _mm_and_si128(p, _mm_set1_epi32(0xFF));
    const __m128i r = _mm_srli_epi32(br, 16);
    const __m128i gg = _mm_or_si128(g, _mm_slli_epi32(g, 16));
    const __m128i half = _mm_set1_epi32(32768), offset = _mm_set1_epi32((128 << 16) + 32768);
    Yuv4 out;
    out.y = _mm_srai_epi32(_mm_add_epi32(_mm_add_epi32(_mm_madd_epi16(br, _mm_set1_epi32((19595 << 16) | 7471)),
                                                       _mm_madd_epi16(gg, _mm_set1_epi32((19235 << 16) | 19235))),
                                         half),
                           16);
    out.u = _mm_srai_epi32(_mm_add_epi32(_mm_add_epi32(_mm_madd_epi16(br, _mm_set1_epi32((-11059 << 16) | 32767)),
                                                       _mm_madd_epi16(g, _mm_set1_epi32(-21709))),
                                         _mm_add_epi32(b, offset)),
                           16);
    out.v = _mm_srai_epi32(_mm_add_epi32(_mm_add_epi32(_mm_madd_epi16(br, _mm_set1_epi32((32767 << 16) | (-5329 & 0xFFFF))),
                                                       _mm_madd_epi16(g, _mm_set1_epi32(-27439))),
                                         _mm_add_epi32(r, offset)),
                           16);
    return out;
}

inline __m128i ClampLanes(__m128i v)
{
    return _mm_min_epi16(_mm_max_epi16(v, _mm_setzero_si128()), _mm_set1_epi32(255));
}

// Back to B, G, R with the given alpha bytes (already in place).
inline __m128i ToRgb(__m128i y, __m128i u, __m128i v, __m128i alpha)
{
    const __m128i uu = _mm_sub_epi32(u, _mm_set1_epi32(128)), vv = _mm_sub_epi32(v, _mm_set1_epi32(128));
    const __m128i one = _mm_set1_epi32(1 << 16);
    // (u', 1) . (1814, 512) and the like: 16-bit pairs of small values.
    const __m128i u1 = _mm_or_si128(_mm_and_si128(uu, _mm_set1_epi32(0xFFFF)), one);
    const __m128i v1 = _mm_or_si128(_mm_and_si128(vv, _mm_set1_epi32(0xFFFF)), one);
    const __m128i uv = _mm_or_si128(_mm_and_si128(uu, _mm_set1_epi32(0xFFFF)), _mm_slli_epi32(vv, 16));
    const __m128i r = _mm_add_epi32(y, _mm_srai_epi32(_mm_madd_epi16(v1, _mm_set1_epi32((512 << 16) | 1436)), 10));
    const __m128i b = _mm_add_epi32(y, _mm_srai_epi32(_mm_madd_epi16(u1, _mm_set1_epi32((512 << 16) | 1814)), 10));
    const __m128i g = _mm_add_epi32(
        y, _mm_srai_epi32(_mm_add_epi32(_mm_madd_epi16(uv, _mm_set1_epi32((-714 << 16) | (-352 & 0xFFFF))),
                                        _mm_set1_epi32(512)),
                          10));
    const __m128i rgb = _mm_or_si128(_mm_or_si128(ClampLanes(b), _mm_slli_epi32(ClampLanes(g), 8)),
                                     _mm_slli_epi32(ClampLanes(r), 16));
    return _mm_or_si128(rgb, alpha);
}

inline __m128i Load4(const BYTE* p)
{
    int v;
    std::memcpy(&v, p, 4);
    const __m128i zero = _mm_setzero_si128();
    return _mm_unpacklo_epi16(_mm_unpacklo_epi8(_mm_cvtsi32_si128(v), zero), zero);
}
#endif

void LumaRow(const BYTE* p, BYTE* luma, int w)
{
    int x = 0;
#if defined(__SSE2__)
    for (; x + 4 <= w; x += 4) {
        const __m128i y = ClampLanes(ToYuv(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 4 * x))).y);
        const __m128i packed = _mm_packus_epi16(_mm_packs_epi32(y, y), y);
        const int v = _mm_cvtsi128_si32(packed);
        std::memcpy(luma + x, &v, 4);
    }
#endif
    for (; x < w; ++x) {
        BYTE yuv[4] = {p[4 * x], p[4 * x + 1], p[4 * x + 2], p[4 * x + 3]};
        qlcodec::RgbToYuvPixel(yuv);
        luma[x] = yuv[2];
    }
}

// One row in place: to YUV, luma sharpened unless on the frame, back.
void SharpenRow(BYTE* p, const BYTE* l, int w, bool inner, int amount)
{
    int x = 0;
#if defined(__SSE2__)
    if (amount >= -32768 && amount <= 32767) {
        const __m128i amount16 = _mm_set1_epi16(static_cast<short>(amount));
        for (; x + 4 <= w; x += 4) {
            const __m128i px = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 4 * x));
            const Yuv4 yuv = ToYuv(px);
            __m128i y = ClampLanes(yuv.y);
            if (inner) {
                const __m128i c = Load4(l + x);
                // On an inner row the neighbours of the frame columns lie in the
                // plane's rows above and below: read, then not used.
                const __m128i b = _mm_srli_epi32(_mm_add_epi32(_mm_add_epi32(Load4(l + x - 1), Load4(l + x + 1)),
                                                               _mm_add_epi32(Load4(l + x - w), Load4(l + x + w))),
                                                 2);
                const __m128i diff = _mm_sub_epi32(c, b);
                __m128i d = _mm_max_epi16(diff, _mm_sub_epi32(_mm_setzero_si128(), diff)); // |c - b| <= 255
                const __m128i over = _mm_cmpgt_epi32(d, _mm_set1_epi32(32));
                d = _mm_or_si128(_mm_andnot_si128(over, d),
                                 _mm_and_si128(over, _mm_add_epi32(_mm_set1_epi32(32),
                                                                   _mm_srli_epi32(_mm_sub_epi32(d, _mm_set1_epi32(32)), 2))));
                const __m128i neg = _mm_cmpgt_epi32(_mm_add_epi32(b, _mm_set1_epi32(1)), c); // b >= c
                d = _mm_sub_epi32(_mm_xor_si128(d, neg), neg);
                // amount x d in 32 bits from the 16-bit halves, then >> 8
                const __m128i d16 = _mm_packs_epi32(d, d);
                const __m128i prod = _mm_unpacklo_epi16(_mm_mullo_epi16(d16, amount16), _mm_mulhi_epi16(d16, amount16));
                __m128i sharp = _mm_add_epi32(c, _mm_srai_epi32(prod, 8));
                sharp = ClampLanes(sharp);
                if (x == 0 || x + 4 > w - 1) {
                    // Frame columns keep their luma.
                    const __m128i lane = _mm_add_epi32(_mm_set1_epi32(x), _mm_setr_epi32(0, 1, 2, 3));
                    const __m128i frame = _mm_or_si128(_mm_cmpeq_epi32(lane, _mm_setzero_si128()),
                                                       _mm_cmpeq_epi32(lane, _mm_set1_epi32(w - 1)));
                    y = _mm_or_si128(_mm_and_si128(frame, y), _mm_andnot_si128(frame, sharp));
                } else {
                    y = sharp;
                }
            }
            const __m128i alpha = _mm_and_si128(px, _mm_set1_epi32(static_cast<int>(0xFF000000u)));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(p + 4 * x),
                             ToRgb(y, ClampLanes(yuv.u), ClampLanes(yuv.v), alpha));
        }
    }
#endif
    for (; x < w; ++x) {
        BYTE* q = p + 4 * x;
        qlcodec::RgbToYuvPixel(q);
        if (inner && x > 0 && x < w - 1)
            q[2] = static_cast<BYTE>(SharpenedLuma(l[x], (l[x - 1] + l[x + 1] + l[x - w] + l[x + w]) >> 2, amount));
        qlcodec::YuvToRgbPixel(q);
    }
}

} // namespace

int SharpenLuma(CQLImage* image, int amount)
{
    if (!image || image->GetAreaByteSize() == 0)
        return 0;
    UINT uw = 0, uh = 0;
    image->GetSize(&uw, &uh);
    const int w = static_cast<int>(uw), h = static_cast<int>(uh);

    // The unmodified luma, read by the neighbours.
    std::unique_ptr<BYTE[]> plane(new (std::nothrow) BYTE[std::size_t{uw} * uh]);
    if (!plane)
        return 0;
    BYTE* const luma = plane.get();
    imagecore::ParallelFor(0, h, uw, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y)
            LumaRow(image->GetBuffer(0, y), luma + static_cast<std::size_t>(y) * w, w);
    });
    imagecore::ParallelFor(0, h, std::size_t{uw} * 2, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y)
            SharpenRow(image->GetBuffer(0, y), luma + static_cast<std::size_t>(y) * w, w, y > 0 && y < h - 1, amount);
    });
    return 1;
}

int QuickSharpen(CQLImage* image)
{
    return SharpenLuma(image, 150);
}
