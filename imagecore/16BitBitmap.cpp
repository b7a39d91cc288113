#include "imagecore/16BitBitmap.h"

#include "imagecore/AlignedBuffer.h"
#include "imagecore/ParallelFor.h"
#include "imagecore/PixelMemory.h"
#include "imagecore/QLImage.h"
#include "imagecore/Simd.h"

#include <algorithm>
#include <atomic>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <thread>
#include <utility>
#include <vector>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

using imagecore::ParallelFor;

namespace {

struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};

// The diffusion's wavefront works in bands of rows, each walked in tiles of
// this many pixels: a tile of a band stays in the core's cache.
constexpr int kDiffuseBand = 16;
constexpr int kDiffuseTile = 256;

int Clamp16(int v)
{
    return v < 0 ? 0 : (v > 0xFFFF ? 0xFFFF : v);
}

#if defined(__x86_64__)
// DiffuseSpan (further down) with the three channels side by side in 32-bit
// lanes (B, G, R, 0): the same steps, a third of the instructions.
__attribute__((target("sse4.1"))) __m128i Load16(const C16BitPixel* p)
{
    std::uint32_t bg;
    std::memcpy(&bg, p, 4);
    return _mm_cvtepu16_epi32(_mm_insert_epi16(_mm_cvtsi32_si128(static_cast<int>(bg)), p->r, 2));
}

// Stores lanes clamped to 0..65535.
__attribute__((target("sse4.1"))) void Store16(C16BitPixel* p, __m128i v)
{
    const __m128i words = _mm_packus_epi32(v, v);
    const std::uint32_t bg = static_cast<std::uint32_t>(_mm_cvtsi128_si32(words));
    std::memcpy(p, &bg, 4);
    p->r = static_cast<WORD>(_mm_extract_epi16(words, 2));
}

__attribute__((target("sse4.1"))) __m128i Clamp16(__m128i v)
{
    return _mm_min_epi32(_mm_max_epi32(v, _mm_setzero_si128()), _mm_set1_epi32(0xFFFF));
}

// One row's diffusion in 32-bit lanes (B, G, R, 0): its pixel with the
// errors that reached it so far (c), and the same for the pixel below (bc).
// With belowSource, the pixels of the row below that no error has reached
// yet are taken from the 8-bit source through the tables instead of from
// the bitmap, which then needs no fill of its own.
struct RowState {
    C16BitPixel* row;
    C16BitPixel* below; // null on the last row
    BYTE* out;
    const BYTE* belowSource;
    const WORD (*tables)[256];
    __m128i c, bc;
};

__attribute__((target("sse4.1"), always_inline)) inline __m128i FromTables(const BYTE* p, const WORD (*t)[256])
{
    return _mm_setr_epi32(t[0][p[0]], t[1][p[1]], t[2][p[2]], 0);
}

// Pixel x + 1 of the row below as no error has reached it yet.
__attribute__((target("sse4.1"), always_inline)) inline __m128i FreshBelow(const RowState& r, int x)
{
    return r.belowSource ? FromTables(r.belowSource + 4 * static_cast<std::size_t>(x), r.tables)
                         : Load16(r.below + x);
}

// At x0 > 0 the row below holds what the last span carried over.
__attribute__((target("sse4.1"), always_inline)) inline void BeginSpan(RowState& r, int x0)
{
    r.c = Load16(r.row + x0);
    r.bc = !r.below ? _mm_setzero_si128() : x0 == 0 ? FreshBelow(r, 0) : Load16(r.below + x0);
}

// Pixel x: rounded into out, a quarter of its error (truncated toward zero;
// the fourth quarter is dropped) passed right, below and below-right.
__attribute__((target("sse4.1"), always_inline)) inline void StepSpan(RowState& r, int x, int w)
{
    Store16(r.row + x, r.c);
    const __m128i q = _mm_min_epi32(_mm_srli_epi32(_mm_add_epi32(r.c, _mm_set1_epi32(128)), 8), _mm_set1_epi32(255));
    const __m128i bytes = _mm_packus_epi16(_mm_packus_epi32(q, q), q);
    const std::uint32_t word = static_cast<std::uint32_t>(_mm_cvtsi128_si32(bytes)); // alpha lane is 0
    std::memcpy(r.out + 4 * static_cast<std::size_t>(x), &word, 4);
    const __m128i d = _mm_sub_epi32(r.c, _mm_slli_epi32(q, 8));
    const __m128i e = _mm_srai_epi32(_mm_add_epi32(d, _mm_and_si128(_mm_srai_epi32(d, 31), _mm_set1_epi32(3))), 2);
    if (r.below)
        Store16(r.below + x, _mm_add_epi32(r.bc, e));
    if (x + 1 < w) {
        if (r.below)
            r.bc = Clamp16(_mm_add_epi32(FreshBelow(r, x + 1), e));
        r.c = Clamp16(_mm_add_epi32(Load16(r.row + x + 1), e));
    }
}

// What the next span of the row (or the row below) reads.
__attribute__((target("sse4.1"), always_inline)) inline void EndSpan(RowState& r, int x1, int w)
{
    if (x1 < w) {
        Store16(r.row + x1, r.c);
        if (r.below)
            Store16(r.below + x1, r.bc);
    }
}

__attribute__((target("sse4.1"))) void DiffuseSpanSse4(RowState r, int x0, int x1, int w)
{
    BeginSpan(r, x0);
    for (int x = x0; x < x1; ++x)
        StepSpan(r, x, w);
    EndSpan(r, x1, w);
}

// Two rows at once, b the row below a, b a step behind: b's pixel x needs
// a's pixels through x + 1, and the two chains of dependent steps overlap.
// Each span alone is what DiffuseSpanSse4 does; b's span may not reach
// past what a's span and the spans before it cover.
__attribute__((target("sse4.1"))) void DiffusePairSse4(RowState a, RowState b, int a0, int a1, int b0, int b1, int w)
{
    if (a0 >= a1 || b0 >= b1) {
        if (a0 < a1)
            DiffuseSpanSse4(a, a0, a1, w);
        if (b0 < b1)
            DiffuseSpanSse4(b, b0, b1, w);
        return;
    }
    BeginSpan(a, a0);
    int xa = a0, xb = b0;
    while (xa < a1 && xa <= std::min(xb + 1, w - 1)) // a runs ahead to where b may start
        StepSpan(a, xa++, w);
    BeginSpan(b, xb);
    for (; xa < a1 && xb < b1; ++xa, ++xb) {
        StepSpan(a, xa, w);
        StepSpan(b, xb, w);
    }
    for (; xa < a1; ++xa)
        StepSpan(a, xa, w);
    EndSpan(a, a1, w);
    for (; xb < b1; ++xb)
        StepSpan(b, xb, w);
    EndSpan(b, b1, w);
}
#endif

// Error diffusion of pixels [x0, x1) of one row (below is null on the last
// row): each channel is rounded into out, and a quarter of its error is
// added, clamped, to the right, below and below-right neighbours, in the
// order of a plain left-to-right pass. The neighbours' running sums stay in
// registers; what the next span or row reads is stored.
void DiffuseSpan(C16BitPixel* row, C16BitPixel* below, BYTE* out, int x0, int x1, int w)
{
    int cb = row[x0].b, cg = row[x0].g, cr = row[x0].r;
    int bb = 0, bg = 0, br = 0;
    if (below) {
        bb = below[x0].b;
        bg = below[x0].g;
        br = below[x0].r;
    }
    out += 4 * static_cast<std::size_t>(x0);
    for (int x = x0; x < x1; ++x, out += 4) {
        row[x] = C16BitPixel{static_cast<WORD>(cb), static_cast<WORD>(cg), static_cast<WORD>(cr)};
        const int qb = C16BitPixel::Round8(static_cast<WORD>(cb));
        const int qg = C16BitPixel::Round8(static_cast<WORD>(cg));
        const int qr = C16BitPixel::Round8(static_cast<WORD>(cr));
        out[0] = static_cast<BYTE>(qb);
        out[1] = static_cast<BYTE>(qg);
        out[2] = static_cast<BYTE>(qr);
        out[3] = 0;
        const int eb = (cb - qb * 256) / 4; // the fourth quarter is dropped
        const int eg = (cg - qg * 256) / 4;
        const int er = (cr - qr * 256) / 4;
        const bool hasRight = x + 1 < w;
        if (below) {
            below[x] = C16BitPixel{static_cast<WORD>(Clamp16(bb + eb)), static_cast<WORD>(Clamp16(bg + eg)),
                                   static_cast<WORD>(Clamp16(br + er))};
            if (hasRight) {
                bb = Clamp16(below[x + 1].b + eb);
                bg = Clamp16(below[x + 1].g + eg);
                br = Clamp16(below[x + 1].r + er);
            }
        }
        if (hasRight) {
            cb = Clamp16(row[x + 1].b + eb);
            cg = Clamp16(row[x + 1].g + eg);
            cr = Clamp16(row[x + 1].r + er);
        }
    }
    if (x1 < w) {
        row[x1] = C16BitPixel{static_cast<WORD>(cb), static_cast<WORD>(cg), static_cast<WORD>(cr)};
        if (below)
            below[x1] = C16BitPixel{static_cast<WORD>(bb), static_cast<WORD>(bg), static_cast<WORD>(br)};
    }
}

// Waits until count reaches at least want. The row above is normally only a
// span ahead, so a short spin; then a sleep, so that on a busy machine the
// thread it waits for gets the core.
void WaitUntil(const std::atomic<std::int64_t>& count, std::int64_t want)
{
    for (int spins = 0;; ++spins) {
        const std::int64_t now = count.load(std::memory_order_acquire);
        if (now >= want)
            return;
        if (spins < 64) {
#if defined(__x86_64__) || defined(__i386__)
            __builtin_ia32_pause();
#endif
        } else {
            count.wait(now, std::memory_order_acquire);
        }
    }
}

// Pixels [x0, x1) of a row from 8-bit pixels through per-channel tables.
void FillSpan(C16BitPixel* row, const BYTE* source, const WORD (&tables)[3][256], int x0, int x1)
{
    for (int x = x0; x < x1; ++x) {
        const BYTE* p = source + 4 * static_cast<std::size_t>(x);
        row[x] = C16BitPixel{tables[0][p[0]], tables[1][p[1]], tables[2][p[2]]};
    }
}

} // namespace

C16BitBitmap::~C16BitBitmap()
{
    Free();
}

C16BitBitmap::C16BitBitmap(C16BitBitmap&& other) noexcept
    : m_pPixels(std::exchange(other.m_pPixels, nullptr))
    , m_nWidth(std::exchange(other.m_nWidth, 0))
    , m_nHeight(std::exchange(other.m_nHeight, 0))
    , m_nCount(std::exchange(other.m_nCount, 0))
{
}

C16BitBitmap& C16BitBitmap::operator=(C16BitBitmap&& other) noexcept
{
    if (this != &other) {
        Free();
        m_pPixels = std::exchange(other.m_pPixels, nullptr);
        m_nWidth = std::exchange(other.m_nWidth, 0);
        m_nHeight = std::exchange(other.m_nHeight, 0);
        m_nCount = std::exchange(other.m_nCount, 0);
    }
    return *this;
}

int C16BitBitmap::Create(int width, int height)
{
    Free();
    if (width < 0 || height < 0)
        return 0;
    const LONGLONG count = LONGLONG{width} * height;
    if (count > INT_MAX)
        return 0;
    if (count != 0) {
        m_pPixels = static_cast<C16BitPixel*>(
            imagecore::AllocatePixels(static_cast<std::size_t>(count) * sizeof(C16BitPixel)));
        if (!m_pPixels)
            return 0;
    }
    m_nWidth = width;
    m_nHeight = height;
    m_nCount = static_cast<LONG>(count);
    return 1;
}

int C16BitBitmap::Fit(int width, int height)
{
    return (m_pPixels && m_nWidth == width && m_nHeight == height) || Create(width, height) ? 1 : 0;
}

void C16BitBitmap::Free()
{
    std::free(m_pPixels);
    m_pPixels = nullptr;
    m_nWidth = 0;
    m_nHeight = 0;
    m_nCount = 0;
}

C16BitPixel C16BitBitmap::SafeGetPixel(int x, int y) const
{
    if (!m_pPixels)
        return C16BitPixel{};
    return m_pPixels[imagecore::ClampedIndex(x, y, static_cast<UINT>(m_nWidth), static_cast<UINT>(m_nHeight))];
}

int C16BitBitmap::DuplicateFrom(const C16BitBitmap* other)
{
    if (!other)
        return 0;
    if (other == this)
        return 1;
    if (!Fit(other->m_nWidth, other->m_nHeight))
        return 0;
    if (m_nCount != 0)
        std::memcpy(m_pPixels, other->m_pPixels, static_cast<std::size_t>(m_nCount) * sizeof(C16BitPixel));
    return 1;
}

int C16BitBitmap::ConvertFromSimpleBitmap(const CQLImage* image, int smart)
{
    if (!image || !image->GetBuffer(0, 0))
        return 0;
    if (smart)
        return SmartConvert(image);
    UINT w = 0;
    UINT h = 0;
    image->GetSize(&w, &h);
    if (!Fit(static_cast<int>(w), static_cast<int>(h)))
        return 0;
    const CPixel* src = reinterpret_cast<const CPixel*>(image->GetBuffer(0, 0));
    C16BitPixel* dst = m_pPixels;
    ParallelFor(0, m_nHeight, w, [&](int y0, int y1) {
        const std::size_t end = std::size_t{w} * static_cast<std::size_t>(y1);
        for (std::size_t i = std::size_t{w} * static_cast<std::size_t>(y0); i < end; ++i)
            dst[i] = src[i];
    });
    return 1;
}

int C16BitBitmap::ConvertThroughTables(const CQLImage* source, const WORD (&tables)[3][256], CQLImage* target)
{
    if (!source || !source->GetBuffer(0, 0) || !target)
        return 0;
    UINT w = 0;
    UINT h = 0;
    source->GetSize(&w, &h);
    if (!Fit(static_cast<int>(w), static_cast<int>(h)))
        return 0;
    if (target == source) {
        // The diffusion writes rows that it has not read yet: the whole copy first.
        ParallelFor(0, m_nHeight, w, [&](int y0, int y1) {
            for (int y = y0; y < y1; ++y)
                FillSpan(m_pPixels + std::size_t{w} * static_cast<std::size_t>(y), source->GetBuffer(0, y), tables, 0,
                         m_nWidth);
        });
        Diffuse(*target, nullptr);
        return 1;
    }
    if (target->Create(w, h) != 0)
        return 0;
    const Fill fill{source, &tables};
    Diffuse(*target, &fill);
    return 1;
}

int C16BitBitmap::ConvertToSimpleBitmap(CQLImage* image, int dither)
{
    if (!image || !m_pPixels || image->Create(static_cast<UINT>(m_nWidth), static_cast<UINT>(m_nHeight)) != 0)
        return 0;
    if (dither) {
        Diffuse(*image, nullptr);
        return 1;
    }
    CPixel* dst = reinterpret_cast<CPixel*>(image->GetBuffer(0, 0));
    const C16BitPixel* src = m_pPixels;
    const std::size_t w = static_cast<std::size_t>(m_nWidth);
    ParallelFor(0, m_nHeight, w, [&](int y0, int y1) {
        const std::size_t end = w * static_cast<std::size_t>(y1);
        for (std::size_t i = w * static_cast<std::size_t>(y0); i < end; ++i)
            dst[i] = src[i].GetPixel();
    });
    return 1;
}

void C16BitBitmap::Diffuse(CQLImage& image, const Fill* fill)
{
    const int w = m_nWidth;
    const int h = m_nHeight;
    auto rowAt = [&](int y) { return m_pPixels + static_cast<std::size_t>(y) * static_cast<std::size_t>(w); };
    auto belowOf = [&](int y) { return y + 1 < h ? rowAt(y + 1) : nullptr; };
    // With a fill, the span [x0, x1) of row y first fills what it reads and
    // no earlier span filled: pixels through x1 of row y + 1 (and of row 0).
    // Spans of a row follow each other, so every pixel is filled once,
    // before any error reaches it, by the thread that reaches it first.
    auto fillRow = [&](int y, int x0, int x1) {
        FillSpan(rowAt(y), fill->source->GetBuffer(0, y), *fill->tables, x0 == 0 ? 0 : std::min(w, x0 + 1),
                 std::min(w, x1 + 1));
    };
    auto fillFor = [&](int y, int x0, int x1) {
        if (y == 0)
            fillRow(0, x0, x1);
        if (y + 1 < h)
            fillRow(y + 1, x0, x1);
    };
#if defined(__x86_64__)
    const bool vector = imagecore::ActiveSimdLevel() >= imagecore::SimdLevel::Sse4;
#endif
    // The span [a0, a1) of row y and, with two, [b0, b1) of row y + 1; the
    // vector path runs the two rows side by side.
    auto diffuse = [&](int y, int a0, int a1, bool two, int b0, int b1) {
        if (!two)
            b0 = b1 = 0;
#if defined(__x86_64__)
        if (vector) {
            // Only row 0 is filled; the rows below come from the source as
            // the diffusion reaches them.
            if (fill && y == 0 && a0 < a1)
                fillRow(0, a0, a1);
            auto state = [&](int row) {
                const bool fresh = fill && row + 1 < h;
                return RowState{rowAt(row), belowOf(row), image.GetBuffer(0, row),
                                fresh ? fill->source->GetBuffer(0, row + 1) : nullptr, fill ? *fill->tables : nullptr,
                                {}, {}};
            };
            DiffusePairSse4(state(y), two ? state(y + 1) : RowState{}, a0, a1, b0, b1, w);
            return;
        }
#endif
        if (fill && a0 < a1)
            fillFor(y, a0, a1);
        if (fill && b0 < b1)
            fillFor(y + 1, b0, b1);
        if (a0 < a1)
            DiffuseSpan(rowAt(y), belowOf(y), image.GetBuffer(0, y), a0, a1, w);
        if (b0 < b1)
            DiffuseSpan(rowAt(y + 1), belowOf(y + 1), image.GetBuffer(0, y + 1), b0, b1, w);
    };
    const std::size_t work = static_cast<std::size_t>(w) * static_cast<std::size_t>(h);
    const std::size_t lanes = imagecore::ThreadCount();
    if (w < 2 * kDiffuseTile || h < 2 * kDiffuseBand || lanes < 2 || work < imagecore::kParallelMinWork) {
        for (int y = 0; y < h; y += 2)
            diffuse(y, 0, w, y + 1 < h, 0, w);
        return;
    }

    // A wavefront over bands of rows. A pixel x needs the row above finished
    // through x + 1 (its errors then arrive in the serial order), so a band
    // walks along in tiles skewed by one pixel a row, and its first row waits
    // only for the last row of the band above. Bands are claimed in
    // order and finish in order, so the band a thread waits for is always
    // being worked on, however many threads take part; no more than `lanes`
    // are open at once, so a ring of that many progress slots (band number
    // and pixels done, rising) is enough.
    const int bands = (h + kDiffuseBand - 1) / kDiffuseBand;
    const int tiles = (w + kDiffuseBand - 1 + kDiffuseTile - 1) / kDiffuseTile;
    struct alignas(64) Slot {
        std::atomic<std::int64_t> value{-1};
    };
    std::vector<Slot> ring(lanes + 1);
    auto encode = [](int band, int pixels) { return (std::int64_t{band} << 32) | pixels; };
    std::atomic<int> nextBand{0};
    ParallelFor(0, static_cast<int>(lanes), work, [&](int, int) {
        for (;;) {
            const int band = nextBand.fetch_add(1, std::memory_order_relaxed);
            if (band >= bands)
                return;
            const int y0 = band * kDiffuseBand;
            const int y1 = std::min(h, y0 + kDiffuseBand);
            Slot& above = ring[static_cast<std::size_t>(band - 1) % ring.size()];
            Slot& mine = ring[static_cast<std::size_t>(band) % ring.size()];
            auto from = [&](int t, int y) { return std::clamp(t * kDiffuseTile - (y - y0), 0, w); };
            for (int t = 0; t < tiles; ++t) {
                for (int y = y0; y < y1; y += 2) {
                    const int a0 = from(t, y), a1 = from(t + 1, y);
                    const bool two = y + 1 < y1;
                    const int b0 = from(t, y + 1), b1 = from(t + 1, y + 1);
                    if (y == y0 && band > 0 && a0 != a1)
                        WaitUntil(above.value, encode(band - 1, std::min(w, a1 + 1)));
                    diffuse(y, a0, a1, two, b0, b1);
                    const int lastFrom = two ? b0 : a0, lastTo = two ? b1 : a1;
                    if (y + (two ? 1 : 0) == y1 - 1 && lastFrom != lastTo) {
                        mine.value.store(encode(band, lastTo), std::memory_order_release);
                        mine.value.notify_all();
                    }
                }
            }
        }
    });
}

LONG C16BitBitmap::SaveToBmpFile(const char* path)
{
    CQLImage image;
    if (!ConvertToSimpleBitmap(&image, 1))
        return E_FAIL;
    return image.SaveToFile(path);
}

int C16BitBitmap::SmartConvert(const CQLImage* image)
{
    if (!image || !image->GetBuffer(0, 0))
        return 0;
    UINT uw = 0;
    UINT uh = 0;
    image->GetSize(&uw, &uh);
    const int w = static_cast<int>(uw);
    const int h = static_cast<int>(uh);
    if (!Fit(w, h))
        return 0;
    std::unique_ptr<C16BitPixel, FreeDeleter> horizontal(
        static_cast<C16BitPixel*>(imagecore::AllocatePixels(static_cast<std::size_t>(m_nCount) * sizeof(C16BitPixel))));
    if (!horizontal)
        return 0;

    const CPixel* src = reinterpret_cast<const CPixel*>(image->GetBuffer(0, 0));
    C16BitPixel* hor = horizontal.get();
    C16BitPixel* ver = m_pPixels;
    const std::size_t stride = uw;
    ParallelFor(0, h, uw, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y)
            ConvertLine(hor + y * stride, src + y * stride, w, 1);
    });
    ParallelFor(0, w, uh, [&](int x0, int x1) {
        for (int x = x0; x < x1; ++x)
            ConvertLine(ver + x, src + x, h, w);
    });
    ParallelFor(0, h, uw, [&](int y0, int y1) {
        const std::size_t end = stride * static_cast<std::size_t>(y1);
        for (std::size_t i = stride * static_cast<std::size_t>(y0); i < end; ++i) {
            ver[i].b = static_cast<WORD>((ver[i].b + hor[i].b) >> 1);
            ver[i].g = static_cast<WORD>((ver[i].g + hor[i].g) >> 1);
            ver[i].r = static_cast<WORD>((ver[i].r + hor[i].r) >> 1);
        }
    });
    return 1;
}

void C16BitBitmap::ConvertLine(C16BitPixel* target, const CPixel* source, int count, int step)
{
    const std::ptrdiff_t s = step;
    for (std::ptrdiff_t i = 0; i < count; ++i)
        target[i * s] = source[i * s];
    SmoothInChannel(&target->b, count, step * 3);
    SmoothInChannel(&target->g, count, step * 3);
    SmoothInChannel(&target->r, count, step * 3);
}

void C16BitBitmap::SmoothInChannel(WORD* values, int count, int step)
{
    const std::ptrdiff_t s = step;
    int prev = 0;
    for (int i = 0; i < count;) {
        const int c = values[i * s];
        int j = i + 1;
        while (j < count && values[j * s] == c)
            ++j;
        if (j >= count)
            break; // the last run of the line stays as it is
        const int len = j - i;
        const int b = i == 0 ? c : prev;
        const int e = values[j * s];
        WORD* run = values + i * s;
        if (len == 1) {
            if (std::abs(b - c) < 2048 && std::abs(e - c) <= 2047)
                run[0] = static_cast<WORD>((b + e) >> 1);
        } else {
            const int n = std::min(len / 2, 8);
            if (std::abs(c - b) < 2048) {
                for (int k = 0; k < n; ++k)
                    run[k * s] = static_cast<WORD>(c - ((n - k) * ((c - b) / 2)) / n);
            }
            if (std::abs(e - c) <= 2047) {
                for (int k = 0; k < n; ++k)
                    run[(len - n + k) * s] = static_cast<WORD>(c + (k * ((e - c) / 2)) / n);
            }
        }
        prev = c;
        i = j;
    }
}
