#include "algorithms/EdgeAwareSmoothAlgorithm.h"

#include "algorithms/ResampleRows.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// The wide paths compute exactly what the scalar formulas do: every division
// by a constant is a multiply-high by a reciprocal that is exact over the
// operand's whole range, and every product that could leave 16 bits is
// either widened or rewritten as a multiply-high.
namespace {

// Luma window per level: columns x0..x1 and rows y0..y1 around the pixel.
struct Window {
    int x0, x1, y0, y1;
};

Window WindowOf(int level)
{
    if (level <= 0)
        return {0, 0, 0, 0};
    if (level == 1)
        return {0, 0, -1, 0};
    if (level <= 3)
        return {-1, 0, -1, 0};
    if (level <= 5)
        return {-1, 0, -1, 1};
    return {-1, 1, -1, 1};
}

inline int EdgeByte(int e)
{
    return e <= 16 ? 0 : (e >= 256 ? 253 : (e - 16) * 255 / 240);
}

inline int Clamp255(int v)
{
    return v < 0 ? 0 : (v > 255 ? 255 : v);
}

// Buffers of one thread, one row long.
struct RowScratch {
    std::vector<BYTE> edge, lo, hi, vlo, vhi;
    explicit RowScratch(int w) : edge(w), lo(w), hi(w), vlo(w), vhi(w) {}
};

#if defined(__SSE2__)
inline __m128i Load8(const BYTE* p)
{
    return _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)), _mm_setzero_si128());
}

inline __m128i Abs16(__m128i v)
{
    return _mm_max_epi16(v, _mm_sub_epi16(_mm_setzero_si128(), v));
}

// floor(n / 1000) of 32-bit lanes 0..255000, as 16-bit lanes (a's four first).
inline __m128i Div1000x8(__m128i a, __m128i b)
{
    const __m128i m = _mm_packs_epi32(_mm_srli_epi32(a, 3), _mm_srli_epi32(b, 3)); // <= 31875
    return _mm_srli_epi16(_mm_mulhi_epu16(m, _mm_set1_epi16(static_cast<short>(33555))), 6);
}

// trunc(v / 1000) of signed 32-bit lanes |v| <= 127500, as 16-bit lanes.
inline __m128i SignedDiv1000x8(__m128i a, __m128i b)
{
    const __m128i sa = _mm_srai_epi32(a, 31), sb = _mm_srai_epi32(b, 31);
    const __m128i q = Div1000x8(_mm_sub_epi32(_mm_xor_si128(a, sa), sa), _mm_sub_epi32(_mm_xor_si128(b, sb), sb));
    const __m128i s = _mm_packs_epi32(sa, sb);
    return _mm_sub_epi16(_mm_xor_si128(q, s), s);
}
#endif

// Grey (6G + 3R + B) / 10 and luma (299R + 587G + 114B) / 1000 of a row.
void PlaneRow(const BYTE* p, BYTE* grey, BYTE* luma, int w)
{
    int x = 0;
#if defined(__SSE2__)
    const __m128i low = _mm_set1_epi32(0x00FF00FF), byte = _mm_set1_epi32(0xFF);
    const __m128i kGreyBR = _mm_set1_epi32((3 << 16) | 1), kGreyG = _mm_set1_epi32(6);
    const __m128i kLumaBR = _mm_set1_epi32((299 << 16) | 114), kLumaG = _mm_set1_epi32(587);
    for (; x + 8 <= w; x += 8) {
        const __m128i p0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 4 * x));
        const __m128i p1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 4 * x + 16));
        const __m128i br0 = _mm_and_si128(p0, low), br1 = _mm_and_si128(p1, low); // B low, R high
        const __m128i g0 = _mm_and_si128(_mm_srli_epi32(p0, 8), byte), g1 = _mm_and_si128(_mm_srli_epi32(p1, 8), byte);
        const __m128i grey16 = _mm_packs_epi32(_mm_add_epi32(_mm_madd_epi16(br0, kGreyBR), _mm_madd_epi16(g0, kGreyG)),
                                               _mm_add_epi32(_mm_madd_epi16(br1, kGreyBR), _mm_madd_epi16(g1, kGreyG)));
        const __m128i g = _mm_mulhi_epu16(grey16, _mm_set1_epi16(6554)); // n / 10, n <= 2550
        const __m128i l = Div1000x8(_mm_add_epi32(_mm_madd_epi16(br0, kLumaBR), _mm_madd_epi16(g0, kLumaG)),
                                    _mm_add_epi32(_mm_madd_epi16(br1, kLumaBR), _mm_madd_epi16(g1, kLumaG)));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(grey + x), _mm_packus_epi16(g, g));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(luma + x), _mm_packus_epi16(l, l));
    }
#endif
    for (p += 4 * x; x < w; ++x, p += 4) {
        grey[x] = static_cast<BYTE>((6 * p[1] + 3 * p[2] + p[0]) / 10);
        luma[x] = static_cast<BYTE>((299 * p[2] + 587 * p[1] + 114 * p[0]) / 1000);
    }
}

// Edge map of an inner row: the larger absolute 3 x 3 Prewitt response.
void EdgeRow(const BYTE* g0, const BYTE* g1, const BYTE* g2, int w, BYTE* edge)
{
    edge[0] = 0;
    edge[w - 1] = 0;
    int x = 1;
#if defined(__SSE2__)
    for (; x + 9 <= w; x += 8) {
        const __m128i a0 = Load8(g0 + x - 1), a1 = Load8(g0 + x), a2 = Load8(g0 + x + 1);
        const __m128i b0 = Load8(g1 + x - 1), b2 = Load8(g1 + x + 1);
        const __m128i c0 = Load8(g2 + x - 1), c1 = Load8(g2 + x), c2 = Load8(g2 + x + 1);
        const __m128i left = _mm_add_epi16(_mm_add_epi16(a0, b0), c0);
        const __m128i right = _mm_add_epi16(_mm_add_epi16(a2, b2), c2);
        const __m128i top = _mm_add_epi16(_mm_add_epi16(a0, a1), a2);
        const __m128i bottom = _mm_add_epi16(_mm_add_epi16(c0, c1), c2);
        const __m128i e = _mm_max_epi16(Abs16(_mm_sub_epi16(left, right)), Abs16(_mm_sub_epi16(top, bottom)));
        // (e - 16) * 255 / 240 for 16 < e < 256; the division is (n >> 4) * 4370 >> 16
        const __m128i n = _mm_mullo_epi16(_mm_sub_epi16(_mm_max_epi16(_mm_min_epi16(e, _mm_set1_epi16(255)),
                                                                      _mm_set1_epi16(16)),
                                                        _mm_set1_epi16(16)),
                                          _mm_set1_epi16(255));
        __m128i v = _mm_mulhi_epu16(_mm_srli_epi16(n, 4), _mm_set1_epi16(4370));
        const __m128i big = _mm_cmpgt_epi16(e, _mm_set1_epi16(255));
        v = _mm_or_si128(_mm_andnot_si128(big, v), _mm_and_si128(big, _mm_set1_epi16(253)));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(edge + x), _mm_packus_epi16(v, v));
    }
#endif
    for (; x < w - 1; ++x) {
        const int left = g0[x - 1] + g1[x - 1] + g2[x - 1];
        const int right = g0[x + 1] + g1[x + 1] + g2[x + 1];
        const int top = g0[x - 1] + g0[x] + g0[x + 1];
        const int bottom = g2[x - 1] + g2[x] + g2[x + 1];
        edge[x] = static_cast<BYTE>(EdgeByte(std::max(std::abs(left - right), std::abs(top - bottom))));
    }
}

// lo and hi of every pixel's window; a pixel whose window does not fit gets
// its own luma for both, which leaves it unchanged.
void WindowRow(const BYTE* luma, int w, int h, int y, const Window& win, RowScratch& s)
{
    const BYTE* own = luma + static_cast<std::size_t>(y) * w;
    std::memcpy(s.lo.data(), own, w);
    std::memcpy(s.hi.data(), own, w);
    if (y + win.y0 < 0 || y + win.y1 > h - 1 || w < win.x1 - win.x0 + 1)
        return;
    BYTE* vlo = s.vlo.data();
    BYTE* vhi = s.vhi.data();
    const BYTE* first = luma + static_cast<std::size_t>(y + win.y0) * w;
    std::memcpy(vlo, first, w);
    std::memcpy(vhi, first, w);
    for (int r = y + win.y0 + 1; r <= y + win.y1; ++r) {
        const BYTE* row = luma + static_cast<std::size_t>(r) * w;
        int x = 0;
#if defined(__SSE2__)
        for (; x + 16 <= w; x += 16) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + x));
            __m128i* lo = reinterpret_cast<__m128i*>(vlo + x);
            __m128i* hi = reinterpret_cast<__m128i*>(vhi + x);
            _mm_storeu_si128(lo, _mm_min_epu8(_mm_loadu_si128(lo), v));
            _mm_storeu_si128(hi, _mm_max_epu8(_mm_loadu_si128(hi), v));
        }
#endif
        for (; x < w; ++x) {
            vlo[x] = std::min(vlo[x], row[x]);
            vhi[x] = std::max(vhi[x], row[x]);
        }
    }
    const int xa = -win.x0, xb = w - 1 - win.x1; // pixels whose window fits
    int x = xa;
#if defined(__SSE2__)
    for (; x + 16 <= xb + 1; x += 16) {
        __m128i lo = _mm_loadu_si128(reinterpret_cast<const __m128i*>(vlo + x + win.x0));
        __m128i hi = _mm_loadu_si128(reinterpret_cast<const __m128i*>(vhi + x + win.x0));
        for (int dx = win.x0 + 1; dx <= win.x1; ++dx) {
            lo = _mm_min_epu8(lo, _mm_loadu_si128(reinterpret_cast<const __m128i*>(vlo + x + dx)));
            hi = _mm_max_epu8(hi, _mm_loadu_si128(reinterpret_cast<const __m128i*>(vhi + x + dx)));
        }
        _mm_storeu_si128(reinterpret_cast<__m128i*>(s.lo.data() + x), lo);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(s.hi.data() + x), hi);
    }
#endif
    for (; x <= xb; ++x) {
        BYTE lo = vlo[x + win.x0], hi = vhi[x + win.x0];
        for (int dx = win.x0 + 1; dx <= win.x1; ++dx) {
            lo = std::min(lo, vlo[x + dx]);
            hi = std::max(hi, vhi[x + dx]);
        }
        s.lo[x] = lo;
        s.hi[x] = hi;
    }
}

// To YCbCr, luma pushed towards the window's extremes, back to RGB; alpha
// becomes the edge map.
void PixelRow(const BYTE* in, BYTE* out, const BYTE* luma, const RowScratch& s, int w)
{
    int x = 0;
#if defined(__SSE2__)
    const __m128i low = _mm_set1_epi32(0x00FF00FF), byte = _mm_set1_epi32(0xFF);
    const __m128i kCbBR = _mm_set1_epi32((-169 << 16) | 500), kCbG = _mm_set1_epi32(-331);
    const __m128i kCrBR = _mm_set1_epi32((500 << 16) | (-81 & 0xFFFF)), kCrG = _mm_set1_epi32(-419);
    const __m128i kG = _mm_set1_epi32((-714 << 16) | (-352 & 0xFFFF));
    const __m128i zero = _mm_setzero_si128();
    for (; x + 8 <= w; x += 8) {
        const __m128i p0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 4 * x));
        const __m128i p1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 4 * x + 16));
        const __m128i br0 = _mm_and_si128(p0, low), br1 = _mm_and_si128(p1, low);
        const __m128i g0 = _mm_and_si128(_mm_srli_epi32(p0, 8), byte), g1 = _mm_and_si128(_mm_srli_epi32(p1, 8), byte);
        // cb - 128 and cr - 128
        const __m128i cb = SignedDiv1000x8(_mm_add_epi32(_mm_madd_epi16(br0, kCbBR), _mm_madd_epi16(g0, kCbG)),
                                           _mm_add_epi32(_mm_madd_epi16(br1, kCbBR), _mm_madd_epi16(g1, kCbG)));
        const __m128i cr = SignedDiv1000x8(_mm_add_epi32(_mm_madd_epi16(br0, kCrBR), _mm_madd_epi16(g0, kCrG)),
                                           _mm_add_epi32(_mm_madd_epi16(br1, kCrBR), _mm_madd_epi16(g1, kCrG)));

        const __m128i Y = Load8(luma + x), lo = Load8(s.lo.data() + x), hi = Load8(s.hi.data() + x);
        const __m128i edge = Load8(s.edge.data() + x);
        const __m128i m = _mm_add_epi16(_mm_srli_epi16(_mm_mullo_epi16(edge, _mm_set1_epi16(144)), 8),
                                        _mm_set1_epi16(64));
        const __m128i mid = _mm_srli_epi16(_mm_add_epi16(hi, lo), 1);
        // ((Y - mid) * 500) >> 8 as a multiply-high of (Y - mid) << 7 by 1000
        const __m128i pushed = _mm_add_epi16(
            Y, _mm_mulhi_epi16(_mm_slli_epi16(_mm_sub_epi16(Y, mid), 7), _mm_set1_epi16(1000)));
        const __m128i keep = _mm_sub_epi16(_mm_set1_epi16(255), m);
        const __m128i wl = _mm_unpacklo_epi16(keep, m), wh = _mm_unpackhi_epi16(keep, m);
        const __m128i vl = _mm_unpacklo_epi16(Y, pushed), vh = _mm_unpackhi_epi16(Y, pushed);
        __m128i v = _mm_packs_epi32(_mm_srai_epi32(_mm_madd_epi16(wl, vl), 8), _mm_srai_epi32(_mm_madd_epi16(wh, vh), 8));
        v = _mm_min_epi16(_mm_max_epi16(v, lo), hi);

        // v + (1814 cb) >> 10, v + (-352 cb - 714 cr) >> 10, v + (1436 cr) >> 10
        const __m128i b = _mm_add_epi16(v, _mm_mulhi_epi16(_mm_slli_epi16(cb, 6), _mm_set1_epi16(1814)));
        const __m128i r = _mm_add_epi16(v, _mm_mulhi_epi16(_mm_slli_epi16(cr, 6), _mm_set1_epi16(1436)));
        const __m128i gl = _mm_srai_epi32(_mm_madd_epi16(_mm_unpacklo_epi16(cb, cr), kG), 10);
        const __m128i gh = _mm_srai_epi32(_mm_madd_epi16(_mm_unpackhi_epi16(cb, cr), kG), 10);
        const __m128i g = _mm_add_epi16(v, _mm_packs_epi32(gl, gh));

        const __m128i bg = _mm_unpacklo_epi8(_mm_packus_epi16(b, zero), _mm_packus_epi16(g, zero));
        const __m128i ra = _mm_unpacklo_epi8(_mm_packus_epi16(r, zero), _mm_packus_epi16(edge, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 4 * x), _mm_unpacklo_epi16(bg, ra));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 4 * x + 16), _mm_unpackhi_epi16(bg, ra));
    }
#endif
    in += 4 * x;
    out += 4 * x;
    for (; x < w; ++x, in += 4, out += 4) {
        const int B = in[0], G = in[1], R = in[2];
        const int cb = (500 * B - 331 * G - 169 * R) / 1000 + 128;
        const int cr = (500 * R - 419 * G - 81 * B) / 1000 + 128;
        const int Y = luma[x], lo = s.lo[x], hi = s.hi[x];
        const int m = ((s.edge[x] * 144) >> 8) + 64;
        const int pushed = Y + (((Y - ((hi + lo) >> 1)) * 500) >> 8);
        int v = ((255 - m) * Y + m * pushed) >> 8;
        v = v < lo ? lo : (v > hi ? hi : v);
        out[0] = static_cast<BYTE>(Clamp255((1024 * v + 1814 * cb - 232192) >> 10));
        out[1] = static_cast<BYTE>(Clamp255((1024 * v - 352 * cb - 714 * cr + 136448) >> 10));
        out[2] = static_cast<BYTE>(Clamp255((1024 * v + 1436 * cr - 183808) >> 10));
        out[3] = s.edge[x];
    }
}

} // namespace

HRESULT EdgeAwareSmoothAlgorithm::Apply(const void* params)
{
    if (EffectAlgorithm::Apply(params) != 0 || !params || target == source)
        return E_FAIL;
    const float s = *static_cast<const float*>(params);
    const float level = 2 * s * s;
    windowLevel = level < 8.0f ? static_cast<int>(level) : 8; // NaN takes the widest window too
    const Window win = WindowOf(windowLevel);

    UINT uw = 0, uh = 0;
    source->GetSize(&uw, &uh);
    const int w = static_cast<int>(uw), h = static_cast<int>(uh);
    const std::size_t n = static_cast<std::size_t>(w) * h;

    // Grey (for the edge map) and luma planes of the unmodified pixels. Every
    // target byte is written below, so the target needs no copy first.
    std::unique_ptr<BYTE[]> planes(new (std::nothrow) BYTE[2 * n]);
    if (!planes || target->Create(uw, uh) != 0)
        return E_FAIL;
    BYTE* const grey = planes.get();
    BYTE* const luma = grey + n;
    // Work per row as the thread split sees it: none keeps it on this thread.
    const std::size_t rowWork = oneThread ? 0 : static_cast<std::size_t>(w) * 4;
    imagecore::ParallelFor(0, h, rowWork, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y)
            PlaneRow(source->GetBuffer(0, y), grey + static_cast<std::size_t>(y) * w, luma + static_cast<std::size_t>(y) * w, w);
    });
    Progress(20);
    if (TestCancel())
        return E_FAIL;

    const bool done = resample::ParallelRows(*this, h, rowWork, 16, 20, 100,
                                             [w] { return RowScratch(w); }, [&](int y, RowScratch& s) {
        if (y > 0 && y < h - 1) {
            const BYTE* g = grey + static_cast<std::size_t>(y) * w;
            EdgeRow(g - w, g, g + w, w, s.edge.data());
        } else {
            std::fill(s.edge.begin(), s.edge.end(), BYTE{0});
        }
        WindowRow(luma, w, h, y, win, s);
        PixelRow(source->GetBuffer(0, y), target->GetBuffer(0, y), luma + static_cast<std::size_t>(y) * w, s, w);
    });
    if (!done)
        return E_FAIL;
    Progress(100);
    return 0;
}
