#include "algorithms/LoseFocusBlurAlgorithm.h"

#include "algorithms/NumericHelpers.h"
#include "algorithms/RowProgress.h"
#include "imagecore/ParallelFor.h"
#include "platform/codec/ColorForms.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <new>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// One horizontal run of aperture cells: row m, cells k0..k1-1.
struct Run {
    int m;
    int k0;
    int k1;
};


// Truncating division by a divisor fixed for the run, exact for numerators
// below 2^24 (the largest sum is 128 * 128 * 635): q = n * ceil(2^(24+l) / d) >> (24 + l).
struct Divider {
    explicit Divider(std::uint32_t d)
    {
        int l = 0;
        while ((std::uint64_t{1} << l) < d)
            ++l;
        shift = 24 + l;
        mul = ((std::uint64_t{1} << shift) + d - 1) / d;
    }
    std::uint32_t operator()(std::uint32_t n) const { return static_cast<std::uint32_t>((n * mul) >> shift); }

    std::uint64_t mul;
    int shift;
};

// d[j] += a[j] - b[j] for j < n: the change of a run's sum when the aperture
// moves one pixel right (a: the cells entering, b: those leaving).
template <class T>
void AddDifference(T* d, const BYTE* a, const BYTE* b, int n)
{
    int j = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    auto load = [](const BYTE* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); };
    for (; j + 16 <= n; j += 16) {
        const __m128i va = load(a + j), vb = load(b + j);
        const __m128i lo = _mm_sub_epi16(_mm_unpacklo_epi8(va, zero), _mm_unpacklo_epi8(vb, zero));
        const __m128i hi = _mm_sub_epi16(_mm_unpackhi_epi8(va, zero), _mm_unpackhi_epi8(vb, zero));
        __m128i* out = reinterpret_cast<__m128i*>(d + j);
        if constexpr (sizeof(T) == 2) {
            _mm_storeu_si128(out, _mm_add_epi16(_mm_loadu_si128(out), lo));
            _mm_storeu_si128(out + 1, _mm_add_epi16(_mm_loadu_si128(out + 1), hi));
        } else {
            const __m128i parts[4] = {_mm_srai_epi32(_mm_unpacklo_epi16(lo, lo), 16), _mm_srai_epi32(_mm_unpackhi_epi16(lo, lo), 16),
                                      _mm_srai_epi32(_mm_unpacklo_epi16(hi, hi), 16), _mm_srai_epi32(_mm_unpackhi_epi16(hi, hi), 16)};
            for (int k = 0; k < 4; ++k)
                _mm_storeu_si128(out + k, _mm_add_epi32(_mm_loadu_si128(out + k), parts[k]));
        }
    }
#endif
    for (; j < n; ++j)
        d[j] = static_cast<T>(d[j] + a[j] - b[j]);
}

void AddDifference16(std::int32_t* d, const std::uint16_t* a, const std::uint16_t* b, int n)
{
    for (int j = 0; j < n; ++j)
        d[j] += a[j] - b[j];
}

// Sums of every aperture position of row y, left to right: the first by
// adding its cells, the rest from the previous one and the run differences.
// D is the accumulator type of the per-step differences: 16 bits while
// runs * 255 fits, else 32.
template <class D>
void BlurRow(int y, int width, const std::vector<Run>& runs, const BYTE* pad, std::size_t padStride,
             const std::uint16_t* luma, std::size_t lumaStride, const Divider& divide, BYTE* out,
             std::vector<D>& diff, std::vector<std::int32_t>& lumaDiff)
{
    std::int32_t sum[4] = {};
    std::int32_t lumaSum = 0;
    std::fill(diff.begin(), diff.end(), D{0});
    if (luma)
        std::fill(lumaDiff.begin(), lumaDiff.end(), 0);
    for (const Run& run : runs) {
        const BYTE* row = pad + padStride * static_cast<std::size_t>(y + run.m);
        for (int k = run.k0; k < run.k1; ++k)
            for (int c = 0; c < 3; ++c)
                sum[c] += row[4 * k + c];
        AddDifference(diff.data() + 4, row + 4 * run.k1, row + 4 * run.k0, 4 * (width - 1));
        if (luma) {
            const std::uint16_t* l = luma + lumaStride * static_cast<std::size_t>(y + run.m);
            for (int k = run.k0; k < run.k1; ++k)
                lumaSum += l[k];
            AddDifference16(lumaDiff.data() + 1, l + run.k1, l + run.k0, width - 1);
        }
    }
    for (int x = 0; x < width; ++x, out += 4) {
        if (x > 0) {
            for (int c = 0; c < 3; ++c)
                sum[c] += diff[4 * x + c];
            if (luma)
                lumaSum += lumaDiff[x];
        }
        out[0] = static_cast<BYTE>(divide(static_cast<std::uint32_t>(sum[0])));
        out[1] = static_cast<BYTE>(divide(static_cast<std::uint32_t>(sum[1])));
        out[2] = luma ? static_cast<BYTE>(std::min<std::uint32_t>(divide(static_cast<std::uint32_t>(lumaSum)), 255))
                      : static_cast<BYTE>(divide(static_cast<std::uint32_t>(sum[2])));
    }
}

} // namespace

LoseFocusBlurAlgorithm::LoseFocusBlurAlgorithm()
{
    std::memset(&param, 0, sizeof param);
    param.radius = 8;
    param.highlights = 0;
}

LoseFocusBlurAlgorithm::~LoseFocusBlurAlgorithm() = default;

HRESULT LoseFocusBlurAlgorithm::Apply(const void* params)
{
    if (EffectAlgorithm::Apply(params) != 0 || !params)
        return E_FAIL;
    if (!target->DuplicateFrom(source))
        return E_FAIL;
    std::memcpy(&param, params, sizeof param);
    // The aperture holds 2r x 2r cells of its 128 x 128.
    const int r = std::clamp(static_cast<int>(param.radius), 1, 64);
    padX = padY = r;

    std::vector<Run> runs;
    std::uint32_t cells = 0;
    for (int m = 0; m < 2 * r; ++m) {
        const BYTE* row = param.aperture + 128 * m;
        for (int k = 0; k < 2 * r;) {
            if (!row[k]) {
                ++k;
                continue;
            }
            const int k0 = k;
            while (k < 2 * r && row[k])
                ++k;
            runs.push_back({m, k0, k});
            cells += static_cast<std::uint32_t>(k - k0);
        }
    }
    if (cells == 0) { // nothing to average over: the copy is the result
        Progress(100);
        return 0;
    }

    UINT w = 0, h = 0;
    source->GetSize(&w, &h);
    const int width = static_cast<int>(w), height = static_cast<int>(h);
    const int pw = width + 2 * r, ph = height + 2 * r;
    if (padded.Create(pw, ph) != 0)
        return E_FAIL;
    const std::size_t padStride = static_cast<std::size_t>(pw) * 4;
    BYTE* pad = padded.GetBuffer(0, 0);
    imagecore::ParallelFor(0, ph, padStride, [&](int r0, int r1) {
        for (int row = r0; row < r1; ++row) {
            const CPixel* src = reinterpret_cast<const CPixel*>(target->GetBuffer(0, ReflectIndex(row - r, height)));
            CPixel* dst = reinterpret_cast<CPixel*>(pad + padStride * row);
            std::memcpy(dst + r, src, static_cast<std::size_t>(width) * 4);
            for (int k = 0; k < r; ++k) {
                dst[k] = src[ReflectIndex(k - r, width)];
                dst[r + width + k] = src[ReflectIndex(width + k, width)];
            }
        }
    });

    const bool highlights = param.highlights != 0;
    std::vector<std::uint16_t> luma;
    if (highlights) {
        for (int v = 0; v < 256; ++v)
            expanded[v] = v < 235 ? v : (v - 235) * (v - 235) + 235;
        try {
            luma.resize(static_cast<std::size_t>(pw) * ph);
        } catch (const std::bad_alloc&) {
            return E_FAIL;
        }
        imagecore::ParallelFor(0, ph, padStride, [&](int r0, int r1) {
            for (int row = r0; row < r1; ++row) {
                BYTE* p = pad + padStride * row;
                qlcodec::RgbToYuv(p, static_cast<std::size_t>(pw));
                std::uint16_t* l = luma.data() + static_cast<std::size_t>(pw) * row;
                for (int x = 0; x < pw; ++x)
                    l[x] = static_cast<std::uint16_t>(expanded[p[4 * x + 2]]);
            }
        });
        Progress(5);
        if (TestCancel())
            return E_FAIL;
    }

    // Each step right changes a run's sum by the cell entering minus the cell
    // leaving: 2 reads per run instead of one per cell.
    const bool narrow = runs.size() * 255 <= 32767;
    const Divider divide(cells);
    RowProgress progress(*this, height, highlights ? 5 : 0, highlights ? 95 : 100);
    std::atomic<bool> failed{false};
    imagecore::ParallelFor(0, height, static_cast<std::size_t>(width) * runs.size() * 2, [&](int y0, int y1) {
        std::vector<std::int16_t> diff16;
        std::vector<std::int32_t> diff32, lumaDiff;
        try {
            (narrow ? diff16.resize(4 * static_cast<std::size_t>(width)) : diff32.resize(4 * static_cast<std::size_t>(width)));
            if (highlights)
                lumaDiff.resize(width);
        } catch (const std::bad_alloc&) {
            failed.store(true);
            return;
        }
        const std::uint16_t* l = highlights ? luma.data() : nullptr;
        for (int y = y0; y < y1; ++y) {
            BYTE* out = target->GetBuffer(0, y);
            if (narrow)
                BlurRow(y, width, runs, pad, padStride, l, pw, divide, out, diff16, lumaDiff);
            else
                BlurRow(y, width, runs, pad, padStride, l, pw, divide, out, diff32, lumaDiff);
            if (!progress.Advance(1))
                return;
        }
    });
    if (failed.load() || progress.Cancelled()) {
        // Not a half-blurred photo in YUV: the plain copy.
        if (target != source)
            target->DuplicateFrom(source);
        return E_FAIL;
    }

    if (highlights) {
        Progress(95);
        imagecore::ParallelFor(0, height, static_cast<std::size_t>(width) * 4, [&](int r0, int r1) {
            for (int row = r0; row < r1; ++row)
                qlcodec::YuvToRgb(target->GetBuffer(0, row), static_cast<std::size_t>(width));
        });
    }
    Progress(100);
    return 0;
}
