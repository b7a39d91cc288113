#include "algorithms/SmoothAlgorithm.h"

#include "algorithms/GaussianBlur.h"
#include "algorithms/NumericHelpers.h"
#include "algorithms/RowProgress.h"
#include "imagecore/ParallelFor.h"
#include "platform/codec/ColorForms.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <new>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

struct Plane {
    BYTE* bits;
    int width;
    int height;
    int bpp;
};

Plane PlaneOf(const CQLImage& image)
{
    UINT w = 0, h = 0;
    image.GetSize(&w, &h);
    return {image.GetAreaByteSize() ? image.GetBuffer(0, 0) : nullptr, static_cast<int>(w), static_cast<int>(h), 4};
}

Plane PlaneOf(const CQLChannel& channel)
{
    UINT w = 0, h = 0;
    channel.GetSize(&w, &h);
    return {channel.GetAreaByteSize() ? channel.GetBuffer(0, 0) : nullptr, static_cast<int>(w), static_cast<int>(h), 1};
}

// Large blurs run as a box shrink plus a Gaussian of deviation 1 or 2 on the
// small image: returns the shrink factor and sets sigma to the small one.
int ShrinkFactor(double& sigma)
{
    int shrink = 1;
    if (sigma > 2.5) {
        int d = static_cast<int>(sigma);
        while (d >= 3) {
            ++shrink;
            d = static_cast<int>(sigma / shrink);
        }
        sigma = d;
    }
    return shrink;
}

// Adds a row of bytes to 16-bit column sums (first row: stores them).
void AddRow(const BYTE* row, WORD* col, std::size_t n, bool first)
{
    std::size_t i = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    for (; i + 16 <= n; i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + i));
        __m128i lo = _mm_unpacklo_epi8(v, zero), hi = _mm_unpackhi_epi8(v, zero);
        if (!first) {
            lo = _mm_add_epi16(lo, _mm_loadu_si128(reinterpret_cast<const __m128i*>(col + i)));
            hi = _mm_add_epi16(hi, _mm_loadu_si128(reinterpret_cast<const __m128i*>(col + i + 8)));
        }
        _mm_storeu_si128(reinterpret_cast<__m128i*>(col + i), lo);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(col + i + 8), hi);
    }
#endif
    for (; i < n; ++i)
        col[i] = static_cast<WORD>((first ? 0 : col[i]) + row[i]);
}

// Adds 16-bit column sums into 32-bit ones (first: stores them).
void AddWide(const WORD* col16, UINT* col32, std::size_t n, bool first)
{
    std::size_t i = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    for (; i + 8 <= n; i += 8) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(col16 + i));
        __m128i lo = _mm_unpacklo_epi16(v, zero), hi = _mm_unpackhi_epi16(v, zero);
        if (!first) {
            lo = _mm_add_epi32(lo, _mm_loadu_si128(reinterpret_cast<const __m128i*>(col32 + i)));
            hi = _mm_add_epi32(hi, _mm_loadu_si128(reinterpret_cast<const __m128i*>(col32 + i + 4)));
        }
        _mm_storeu_si128(reinterpret_cast<__m128i*>(col32 + i), lo);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(col32 + i + 4), hi);
    }
#endif
    for (; i < n; ++i)
        col32[i] = (first ? 0 : col32[i]) + col16[i];
}

// Each output sample is the truncated mean of its factor x factor block;
// the rows and columns beyond the last whole block are left out. Column sums
// of the block's rows first, then the blocks.
bool BoxShrink(const Plane& s, const Plane& d, int factor)
{
    const int bpp = s.bpp;
    const std::size_t usedValues = static_cast<std::size_t>(d.width) * factor * bpp;
    const std::size_t outValues = static_cast<std::size_t>(d.width) * bpp;
    const UINT area = static_cast<UINT>(factor) * static_cast<UINT>(factor);
    // 16-bit column sums hold up to 257 rows of 255; taller blocks add runs
    // of 257 rows into 32-bit sums.
    constexpr int kRun = 257;
    const bool narrow = factor <= kRun;
    std::atomic<bool> failed{false};
    imagecore::ParallelFor(0, d.height, static_cast<std::size_t>(s.width) * bpp * factor, [&](int y0, int y1) {
        std::vector<WORD> col16;
        std::vector<UINT> col32;
        try {
            col16.resize(usedValues);
            if (!narrow)
                col32.resize(usedValues);
        } catch (const std::bad_alloc&) {
            failed.store(true);
            return;
        }
        for (int y = y0; y < y1; ++y) {
            const BYTE* first = s.bits + static_cast<std::size_t>(y) * factor * s.width * bpp;
            for (int r0 = 0; r0 < factor; r0 += kRun) {
                const int r1 = std::min(factor, r0 + kRun);
                for (int r = r0; r < r1; ++r)
                    AddRow(first + static_cast<std::size_t>(r) * s.width * bpp, col16.data(), usedValues, r == r0);
                if (!narrow)
                    AddWide(col16.data(), col32.data(), usedValues, r0 == 0);
            }
            BYTE* out = d.bits + static_cast<std::size_t>(y) * outValues;
            for (int x = 0; x < d.width; ++x) {
                const std::size_t base = static_cast<std::size_t>(x) * factor * bpp;
                UINT sum[4] = {};
                for (int k = 0; k < factor; ++k)
                    for (int c = 0; c < bpp; ++c)
                        sum[c] += narrow ? col16[base + k * bpp + c] : col32[base + k * bpp + c];
                for (int c = 0; c < bpp; ++c)
                    out[x * bpp + c] = static_cast<BYTE>(sum[c] / area);
            }
        }
    });
    return !failed.load();
}


#if defined(__SSE2__)
// Four pixels at a time of one multi-scale pass row. Colour mode takes only
// runs whose nine neighbourhoods all have Y <= 229: the tone table is the
// identity there and folds back to the same value, so Y follows the formula
// of the chroma bytes. Returns how many pixels it wrote; the caller does the
// rest (and the runs it left) one by one.
int PassRowSse2(const BYTE* c, BYTE* out, int w, std::ptrdiff_t sx, std::ptrdiff_t sy, bool alpha, bool heavy)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i alphaBytes = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    const __m128i limit = _mm_set1_epi32(229 << 16);
    const __m128i yBytes = _mm_set1_epi32(0xFF << 16);
    auto load = [](const BYTE* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); };
    int x = 0;
    for (; x + 4 <= w; x += 4, c += 16, out += 16) {
        const __m128i vc = load(c);
        const __m128i n[8] = {load(c - sy), load(c + sy), load(c - sx), load(c + sx),
                              load(c - sy - sx), load(c - sy + sx), load(c + sy - sx), load(c + sy + sx)};
        if (!alpha) {
            __m128i top = vc;
            for (const __m128i& v : n)
                top = _mm_max_epu8(top, v);
            // Y (byte 2) above 229 anywhere: leave these pixels to the exact path.
            const __m128i over = _mm_cmpgt_epi32(_mm_and_si128(top, yBytes), limit);
            if (_mm_movemask_epi8(over) != 0)
                return x;
        }
        __m128i res[2];
        for (int half = 0; half < 2; ++half) {
            auto widen = [&](__m128i v) { return half ? _mm_unpackhi_epi8(v, zero) : _mm_unpacklo_epi8(v, zero); };
            const __m128i centre = widen(vc);
            const __m128i axis = _mm_add_epi16(_mm_add_epi16(widen(n[0]), widen(n[1])), _mm_add_epi16(widen(n[2]), widen(n[3])));
            const __m128i diag = _mm_add_epi16(_mm_add_epi16(widen(n[4]), widen(n[5])), _mm_add_epi16(widen(n[6]), widen(n[7])));
            if (!alpha) { // (16 c + 3 axis + diag) >> 5
                const __m128i sum = _mm_add_epi16(_mm_add_epi16(_mm_slli_epi16(centre, 4), _mm_add_epi16(_mm_slli_epi16(axis, 1), axis)), diag);
                res[half] = _mm_srli_epi16(sum, 5);
            } else if (heavy) { // (20 c + 2 axis + diag) >> 5
                const __m128i c20 = _mm_add_epi16(_mm_slli_epi16(centre, 4), _mm_slli_epi16(centre, 2));
                res[half] = _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(c20, _mm_slli_epi16(axis, 1)), diag), 5);
            } else { // (4 c + 2 axis + diag) >> 4
                const __m128i sum = _mm_add_epi16(_mm_add_epi16(_mm_slli_epi16(centre, 2), _mm_slli_epi16(axis, 1)), diag);
                res[half] = _mm_srli_epi16(sum, 4);
            }
        }
        const __m128i packed = _mm_packus_epi16(res[0], res[1]);
        // Colour mode keeps the target's alpha; alpha mode keeps its colours.
        const __m128i keep = alpha ? _mm_andnot_si128(alphaBytes, _mm_set1_epi32(-1)) : alphaBytes;
        const __m128i old = load(out);
        const __m128i merged = _mm_or_si128(_mm_and_si128(old, keep), _mm_andnot_si128(keep, packed));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), merged);
    }
    return x;
}
#endif

} // namespace

SmoothAlgorithm::~SmoothAlgorithm() = default;

void SmoothAlgorithm::SetMultiScaleMode(int on)
{
    multiScale = on;
    if (!on)
        return;
    for (int i = 0; i < 230; ++i)
        highlightTable[i] = i;
    for (int j = 0; j <= 25; ++j)
        highlightTable[230 + j] = 230 + j * j * j / 25;
    // One ascending sweep, at most one level further per step.
    int level = 0;
    for (int x = 0; x < 1024; ++x) {
        if (level < 255 && highlightTable[level + 1] <= x)
            ++level;
        inverseTable[x] = level;
    }
}

HRESULT SmoothAlgorithm::Apply(const void* params)
{
    if (EffectAlgorithm::Apply(params) != 0 || !params)
        return E_FAIL;
    radius = static_cast<const SmoothParams*>(params)->radius;
    // The plain Gaussian writes every byte of the target; the other ways keep
    // bytes of the copy.
    if (radius > 0 && !multiScale && !alphaOnly) {
        UINT w = 0, h = 0;
        source->GetSize(&w, &h);
        if (target != source && target->Create(w, h) != 0)
            return E_FAIL;
    } else if (!target->DuplicateFrom(source)) {
        return E_FAIL;
    }
    if (radius <= 0)
        return 0;
    return multiScale ? MultiScalePath() : GaussianPath();
}

HRESULT SmoothAlgorithm::GaussianPath()
{
    const Plane s = PlaneOf(*source);
    sigma = radius * 0.5;
    shrink = ShrinkFactor(sigma);
    // An image smaller than the factor would shrink to nothing.
    shrink = std::max(1, std::min({shrink, s.width, s.height}));
    const GaussianKernel kernel = MakeGaussianKernel(sigma);

    if (shrink == 1) {
        // The blur reads the source while writing the target.
        CQLImage copy;
        const CQLImage* from = source;
        if (source == target) {
            if (!copy.DuplicateFrom(source))
                return E_FAIL;
            from = &copy;
        }
        RowProgress progress(*this, s.height, 0, 100);
        if (!GaussianBlurPlane(PlaneOf(*from).bits, PlaneOf(*target).bits, s.width, s.height, 4, kernel,
                               alphaOnly != 0, &progress))
            return E_FAIL;
    } else {
        CQLImage small, blurred;
        const int sw = s.width / shrink, sh = s.height / shrink;
        if (small.Create(sw, sh) != 0 || blurred.Create(sw, sh) != 0)
            return E_FAIL;
        if (!BoxShrink(s, PlaneOf(small), shrink))
            return E_FAIL;
        Progress(20);
        if (TestCancel())
            return E_FAIL;
        if (!GaussianBlurPlane(PlaneOf(small).bits, PlaneOf(blurred).bits, sw, sh, 4, kernel, false, nullptr))
            return E_FAIL;
        Progress(80);
        if (TestCancel())
            return E_FAIL;
        if (!ResizeImage(&blurred, target, s.width, s.height, 0, 0, -1, -1, alphaOnly))
            return E_FAIL;
    }
    if (TestCancel())
        return E_FAIL;
    Progress(100);
    return 0;
}

void SmoothAlgorithm::FillWork(const CQLImage& from)
{
    const int m = marginX;
    const int w = workWidth, h = workHeight;
    const int ww = w + 2 * m, wh = h + 2 * m;
    const std::size_t workRow = static_cast<std::size_t>(ww) * 4;
    BYTE* bits = work.GetBuffer(0, 0);
    imagecore::ParallelFor(0, wh, workRow, [&](int r0, int r1) {
        for (int r = r0; r < r1; ++r) {
            const int sy = ReflectIndex(r - m, h);
            const CPixel* src = reinterpret_cast<const CPixel*>(from.GetBuffer(0, sy));
            CPixel* dst = reinterpret_cast<CPixel*>(bits + workRow * r);
            std::memcpy(dst + m, src, static_cast<std::size_t>(w) * 4);
            for (int k = 0; k < m; ++k)
                dst[k] = src[ReflectIndex(k - m, w)];
            for (int k = m + w; k < ww; ++k)
                dst[k] = src[ReflectIndex(k - m, w)];
        }
    });
}

bool SmoothAlgorithm::MultiScalePass(int step, int lo, int hi)
{
    const int m = marginX;
    const int w = workWidth, h = workHeight;
    const std::ptrdiff_t workRow = static_cast<std::ptrdiff_t>(w + 2 * m) * 4;
    const BYTE* bits = work.GetBuffer(0, 0);
    const std::ptrdiff_t sx = static_cast<std::ptrdiff_t>(step) * 4;
    const std::ptrdiff_t sy = workRow * step;
    const int* tone = highlightTable;
    const int* inverse = inverseTable;
    const bool alpha = alphaOnly != 0;
    const bool heavy = centreWeighted != 0;
    RowProgress progress(*this, h, lo, hi);
    imagecore::ParallelFor(0, h, static_cast<std::size_t>(w) * 9, [&](int y0, int y1) {
        int sinceTick = 0;
        for (int y = y0; y < y1; ++y) {
            const BYTE* c = bits + workRow * (y + m) + static_cast<std::ptrdiff_t>(m) * 4;
            BYTE* out = target->GetBuffer(0, y);
            // The exact per-pixel formulas; the wide path takes what it can.
            auto one = [&](const BYTE* p, BYTE* o) {
                const BYTE* up = p - sy;
                const BYTE* down = p + sy;
                if (alpha) {
                    const int centre = p[3];
                    const int axis = up[3] + down[3] + p[-sx + 3] + p[sx + 3];
                    const int diag = up[-sx + 3] + up[sx + 3] + down[-sx + 3] + down[sx + 3];
                    o[3] = static_cast<BYTE>(heavy ? (20 * centre + 2 * axis + diag) >> 5
                                                   : (4 * centre + 2 * axis + diag) >> 4);
                    return;
                }
                for (int b = 0; b < 2; ++b) {
                    const int axis = up[b] + down[b] + p[-sx + b] + p[sx + b];
                    const int diag = up[-sx + b] + up[sx + b] + down[-sx + b] + down[sx + b];
                    o[b] = static_cast<BYTE>((16 * p[b] + 3 * axis + diag) >> 5);
                }
                const int axis = tone[up[2]] + tone[down[2]] + tone[p[-sx + 2]] + tone[p[sx + 2]];
                const int diag = tone[up[-sx + 2]] + tone[up[sx + 2]] + tone[down[-sx + 2]] + tone[down[sx + 2]];
                const int sum = 16 * tone[p[2]] + 3 * axis + diag;
                o[2] = static_cast<BYTE>(inverse[std::min(sum >> 5, 1023)]);
            };
            int x = 0;
            while (x < w) {
#if defined(__SSE2__)
                x += PassRowSse2(c + static_cast<std::ptrdiff_t>(x) * 4, out + static_cast<std::ptrdiff_t>(x) * 4, w - x,
                                 sx, sy, alpha, heavy);
#endif
                for (const int stop = std::min(w, x + 4); x < stop; ++x)
                    one(c + static_cast<std::ptrdiff_t>(x) * 4, out + static_cast<std::ptrdiff_t>(x) * 4);
            }
            if (++sinceTick == 100) {
                sinceTick = 0;
                if (!progress.Advance(100))
                    return;
            }
        }
        progress.Advance(sinceTick);
    });
    return !progress.Cancelled();
}

HRESULT SmoothAlgorithm::MultiScalePath()
{
    const Plane s = PlaneOf(*source);
    const int a = radius / 2;
    int step = 256;
    levels = 9;
    while (step > 1 && a < step) {
        step /= 2;
        --levels;
    }
    radius = step;
    // Twice the largest step, and at least the last step, so every read of
    // the last pass stays inside the work image.
    marginX = marginY = std::max(2 * step, a);
    workWidth = s.width;
    workHeight = s.height;
    if (work.Create(workWidth + 2 * marginX, workHeight + 2 * marginY) != 0)
        return E_FAIL;
    FillWork(*target);
    Progress(20);
    const std::size_t workPixels = work.GetAreaByteSize() / 4;
    if (!alphaOnly) {
        BYTE* bits = work.GetBuffer(0, 0);
        imagecore::ParallelFor(0, static_cast<int>((workPixels + 4095) / 4096), 4096, [&](int b0, int b1) {
            const std::size_t from = static_cast<std::size_t>(b0) * 4096;
            const std::size_t to = std::min(workPixels, static_cast<std::size_t>(b1) * 4096);
            qlcodec::RgbToYuv(bits + from * 4, to - from);
        });
    }
    const int rounds = levels + 1;
    for (int k = 0; k < rounds; ++k) {
        const int lo = 20 + 80 * k / rounds;
        const int hi = 20 + 80 * (k + 1) / rounds;
        bool ran = true;
        if (k < levels) {
            ran = MultiScalePass(1 << k, lo, hi);
            if (ran)
                FillWork(*target);
        } else if (step < a) {
            ran = MultiScalePass(a, lo, hi);
        }
        if (!ran || TestCancel()) {
            target->DuplicateFrom(source);
            Progress(100);
            return E_FAIL;
        }
    }
    if (!alphaOnly) {
        const std::size_t pixels = static_cast<std::size_t>(s.width) * s.height;
        BYTE* bits = target->GetBuffer(0, 0);
        imagecore::ParallelFor(0, static_cast<int>((pixels + 4095) / 4096), 4096, [&](int b0, int b1) {
            const std::size_t from = static_cast<std::size_t>(b0) * 4096;
            const std::size_t to = std::min(pixels, static_cast<std::size_t>(b1) * 4096);
            qlcodec::YuvToRgb(bits + from * 4, to - from);
        });
    }
    Progress(100);
    return 0;
}

HRESULT SmoothAlgorithm::SmoothChannel(const double* sigmaIn)
{
    if (!sigmaIn || !channelSource || !channelTarget)
        return E_FAIL;
    if (*sigmaIn < 0.05)
        return channelTarget->DuplicateFrom(channelSource) ? 0 : E_FAIL;
    // Creating the target would free a source that is the same plane.
    CQLChannel copy;
    const CQLChannel* from = channelSource;
    if (channelSource == channelTarget) {
        if (!copy.DuplicateFrom(channelSource))
            return E_FAIL;
        from = &copy;
    }
    const Plane s = PlaneOf(*from);
    if (!s.bits)
        return E_FAIL;
    sigma = *sigmaIn;
    shrink = std::max(1, std::min({ShrinkFactor(sigma), s.width, s.height}));
    const GaussianKernel kernel = MakeGaussianKernel(sigma);
    if (shrink == 1) {
        if (channelTarget->Create(s.width, s.height) != 0)
            return E_FAIL;
        return GaussianBlurPlane(s.bits, PlaneOf(*channelTarget).bits, s.width, s.height, 1, kernel, false, nullptr)
                   ? 0
                   : E_FAIL;
    }
    CQLChannel small, blurred;
    const int sw = s.width / shrink, sh = s.height / shrink;
    if (small.Create(sw, sh) != 0 || blurred.Create(sw, sh) != 0 || !BoxShrink(s, PlaneOf(small), shrink))
        return E_FAIL;
    if (!GaussianBlurPlane(PlaneOf(small).bits, PlaneOf(blurred).bits, sw, sh, 1, kernel, false, nullptr))
        return E_FAIL;
    return ResizeChannel(&blurred, channelTarget, s.width, s.height, 0, 0, -1, -1) ? 0 : E_FAIL;
}

int BlurImage(CQLImage* source, CQLImage* target)
{
    if (!source || !target)
        return 0;
    CQLImage copy;
    const CQLImage* from = source;
    if (source == target) {
        if (!copy.DuplicateFrom(source))
            return 0;
        from = &copy;
    } else if (!target->DuplicateFrom(source)) {
        return 0;
    }
    UINT w = 0, h = 0;
    from->GetSize(&w, &h);
    const int width = static_cast<int>(w), height = static_cast<int>(h);
    const std::ptrdiff_t row = static_cast<std::ptrdiff_t>(width) * 4;
    imagecore::ParallelFor(1, height - 1, static_cast<std::size_t>(width), [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            const BYTE* c = from->GetBuffer(1, y);
            BYTE* out = target->GetBuffer(1, y);
            for (int x = 1; x < width - 1; ++x, c += 4, out += 4)
                for (int b = 0; b < 3; ++b)
                    out[b] = static_cast<BYTE>((2 * c[b] + c[b - 4] + c[b + 4] + c[b - row] + c[b + row]) / 6);
        }
    });
    return 1;
}
