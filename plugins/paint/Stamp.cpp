// The smudge tool: a brush-shaped patch picked up where the stroke starts,
// laid down every two thirds of a pixel step and picked up again after each
// dab, so colours drag and fade along the stroke.
#include "plugins/paint/PaintToolFrame.h"

#include "imagecore/ParallelFor.h"

#include <algorithm>
#include <cmath>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace painttool {

namespace {

ImageDesc g_stamp{};
bool g_haveStamp = false;

// Copies the image under the stamp centred at (cx, cy) into its colour
// bytes, repeating the edge pixels outside the image; alpha is the brush's.
bool PickUp(const ImageDesc& image, int cx, int cy)
{
    if (!g_haveStamp) {
        if (g_host.MakeBrush(&g_stamp, g_host.brush) != 0)
            return false;
        g_haveStamp = true;
    }
    if (!image.pixels || image.width <= 0 || image.height <= 0)
        return false;
    const int left = cx - g_stamp.width / 2, top = cy - g_stamp.height / 2;
    // Rows are independent: the editor's thread pool shares them out.
    imagecore::ParallelFor(0, g_stamp.height, static_cast<std::size_t>(g_stamp.width), [&](int i0, int i1) {
        for (int i = i0; i < i1; ++i) {
            const int y = std::clamp(top + i, 0, image.height - 1);
            const BYTE* src = image.pixels + static_cast<long>(y) * image.stride;
            BYTE* dst = g_stamp.pixels + static_cast<long>(i) * g_stamp.stride;
            for (int j = 0; j < g_stamp.width; ++j, dst += 4) {
                const BYTE* p = src + std::clamp(left + j, 0, image.width - 1) * 4;
                dst[0] = p[0];
                dst[1] = p[1];
                dst[2] = p[2];
            }
        }
    });
    return true;
}

// Blends whole groups of four pixels as the scalar loop does, byte for
// byte: (s·a + d·(255 − a)) / 255 truncated, into the colour bytes of both.
// Returns the bytes done.
int BlendFours(BYTE* __restrict s, BYTE* __restrict d, int n)
{
    int k = 0;
#ifdef __SSE2__
    const __m128i zero = _mm_setzero_si128();
    const __m128i one = _mm_set1_epi16(1);
    const __m128i full = _mm_set1_epi16(255);
    const __m128i colour = _mm_set1_epi32(0x00FFFFFF);
    for (; k + 16 <= n; k += 16) {
        const __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + k));
        const __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + k));
        auto half = [&](__m128i s16, __m128i d16) {
            __m128i a = _mm_shufflelo_epi16(s16, _MM_SHUFFLE(3, 3, 3, 3));
            a = _mm_shufflehi_epi16(a, _MM_SHUFFLE(3, 3, 3, 3));
            // At most 65025: the 16-bit lanes hold it, and the exact
            // division by 255 below stays under 65536.
            const __m128i x = _mm_add_epi16(_mm_mullo_epi16(s16, a), _mm_mullo_epi16(d16, _mm_sub_epi16(full, a)));
            return _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(x, one), _mm_srli_epi16(x, 8)), 8);
        };
        const __m128i v = _mm_packus_epi16(half(_mm_unpacklo_epi8(sv, zero), _mm_unpacklo_epi8(dv, zero)),
                                           half(_mm_unpackhi_epi8(sv, zero), _mm_unpackhi_epi8(dv, zero)));
        const __m128i vc = _mm_and_si128(v, colour);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(s + k), _mm_or_si128(vc, _mm_andnot_si128(colour, sv)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + k), _mm_or_si128(vc, _mm_andnot_si128(colour, dv)));
    }
#else
    (void)s;
    (void)d;
    (void)n;
#endif
    return k;
}

// Lays the stamp with its centre at (cx, cy) and picks up there: the
// pick-up covers the very pixels just laid, so each stamp pixel inside the
// image takes the blended result in the same pass; only a stamp reaching
// past the border needs the pick-up's edge repeat afterwards.
void DabAndPickUp(const ImageDesc& image, int cx, int cy)
{
    const int left = cx - g_stamp.width / 2, top = cy - g_stamp.height / 2;
    const int i0 = std::max(0, -top), i1 = std::min(g_stamp.height, image.height - top);
    const int j0 = std::max(0, -left), j1 = std::min(g_stamp.width, image.width - left);
    imagecore::ParallelFor(i0, i1, static_cast<std::size_t>(std::max(0, j1 - j0)), [&](int r0, int r1) {
        for (int i = r0; i < r1; ++i) {
            BYTE* __restrict s = g_stamp.pixels + static_cast<long>(i) * g_stamp.stride + j0 * 4;
            BYTE* __restrict d = image.pixels + static_cast<long>(top + i) * image.stride + static_cast<long>(left + j0) * 4;
            // No branch on a: at 0 the blend gives the image's own byte.
            const int n = (j1 - j0) * 4;
            int k = BlendFours(s, d, n);
            for (; k < n; k += 4) {
                const unsigned a = s[k + 3];
                for (int c = 0; c < 3; ++c) {
                    const BYTE v = static_cast<BYTE>((s[k + c] * a + d[k + c] * (255 - a)) / 255);
                    d[k + c] = v;
                    s[k + c] = v;
                }
            }
        }
    });
    g_stroke.painted = true;
    if (i0 > 0 || j0 > 0 || i1 < g_stamp.height || j1 < g_stamp.width)
        PickUp(image, cx, cy);
}

void Move(int, int x, int y)
{
    const POINT start = g_stroke.last;
    if (x == start.x && y == start.y)
        return;
    const ImageDesc image = CurrentImage();
    ImageDesc mask{};
    POINT origin{};
    // The segment's mask is not used: a refused segment is not painted.
    if (g_host.StrokeStamp(g_host.brush, start.x, start.y, x, y, &mask, &origin) == 0 &&
        (g_haveStamp || PickUp(image, start.x, start.y))) {
        const int dx = x - start.x, dy = y - start.y;
        int steps = static_cast<int>(std::sqrt(static_cast<double>(dx) * dx + static_cast<double>(dy) * dy) *
                                     0.6666666666666666);
        if (steps == 0)
            steps = 1;
        for (int k = 0; k < steps; ++k) {
            const int cx = start.x + k * dx / steps, cy = start.y + k * dy / steps;
            DabAndPickUp(image, cx, cy);
            g_stroke.last = POINT{cx, cy};
        }
    }
    g_stroke.last = POINT{x, y};
}

void Press(int flags, int x, int y)
{
    g_haveStamp = false;
    PickUp(CurrentImage(), x, y);
    Move(flags, x, y);
}

void Release() { g_haveStamp = false; }

} // namespace

const Tool kTool{{"Smudge", "Smudge Tool", "涂抹", "涂抹", 101, 102}, Press, Move, Release};

} // namespace painttool
