#include "algorithms/SeparableResizeAlgorithm.h"

#include "algorithms/NumericHelpers.h"
#include "imagecore/ParallelFor.h"

#include <algorithm>
#include <atomic>
#include <thread>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace resample {

bool ResampleColumns(BYTE* dst, const BYTE* src, int width, int srcLines, int dstLines)
{
    // Columns are independent: bands of them go to the cores. Wide bands
    // make each of the resampler's line blends long; two bands a core at least.
    const int cores = static_cast<int>(imagecore::ThreadCount());
    const int band = std::clamp((width / (2 * cores) + 15) & ~15, 64, 1024);
    const int bands = (width + band - 1) / band;
    std::atomic<bool> ok{true};
    const std::size_t work = static_cast<std::size_t>(band) * static_cast<std::size_t>(srcLines + dstLines);
    imagecore::ParallelFor(0, bands, work, [&](int b0, int b1) {
        for (int b = b0; b < b1; ++b) {
            const int x = b * band;
            const int n = std::min(band, width - x);
            if (!ResampleLines(dst + std::size_t{4} * x, src + std::size_t{4} * x, n, 4 * width, srcLines, dstLines))
                ok.store(false, std::memory_order_relaxed);
        }
    });
    return ok.load(std::memory_order_relaxed);
}

namespace {

// dst (height x width) = the rows i0..i1 x columns j0..j1 block of src, turned.
void TransposeBlock(DWORD* dst, const DWORD* src, int width, int height, int i0, int i1, int j0, int j1)
{
    int i = i0;
#if defined(__SSE2__)
    // 4 x 4 pixels at a time through registers.
    for (; i + 4 <= i1; i += 4) {
        int j = j0;
        for (; j + 4 <= j1; j += 4) {
            const DWORD* s = src + static_cast<std::size_t>(i) * width + j;
            const __m128i r0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
            const __m128i r1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + width));
            const __m128i r2 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 2 * static_cast<std::size_t>(width)));
            const __m128i r3 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 3 * static_cast<std::size_t>(width)));
            const __m128i t0 = _mm_unpacklo_epi32(r0, r1), t1 = _mm_unpacklo_epi32(r2, r3);
            const __m128i t2 = _mm_unpackhi_epi32(r0, r1), t3 = _mm_unpackhi_epi32(r2, r3);
            DWORD* d = dst + static_cast<std::size_t>(j) * height + i;
            _mm_storeu_si128(reinterpret_cast<__m128i*>(d), _mm_unpacklo_epi64(t0, t1));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(d + height), _mm_unpackhi_epi64(t0, t1));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(d + 2 * static_cast<std::size_t>(height)), _mm_unpacklo_epi64(t2, t3));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(d + 3 * static_cast<std::size_t>(height)), _mm_unpackhi_epi64(t2, t3));
        }
        for (; j < j1; ++j)
            for (int k = i; k < i + 4; ++k)
                dst[static_cast<std::size_t>(j) * height + k] = src[static_cast<std::size_t>(k) * width + j];
    }
#endif
    for (; i < i1; ++i)
        for (int j = j0; j < j1; ++j)
            dst[static_cast<std::size_t>(j) * height + i] = src[static_cast<std::size_t>(i) * width + j];
}

} // namespace

void Transpose(DWORD* dst, const DWORD* src, int width, int height)
{
    // Square tiles keep both the reads and the writes within the cache.
    constexpr int kTile = 64;
    const int bands = (height + kTile - 1) / kTile;
    imagecore::ParallelFor(0, bands, std::size_t{kTile} * width, [&](int b0, int b1) {
        for (int b = b0; b < b1; ++b) {
            const int i0 = b * kTile, i1 = std::min(height, i0 + kTile);
            for (int j0 = 0; j0 < width; j0 += kTile)
                TransposeBlock(dst, src, width, height, i0, i1, j0, std::min(width, j0 + kTile));
        }
    });
}

} // namespace resample

HRESULT SeparableResizeAlgorithm::Apply(const void* params)
{
    if (EffectAlgorithm::Apply(params) != 0 || !params || target == source)
        return E_FAIL;
    const auto* p = static_cast<const ResizeParams*>(params);
    newWidth = p->width;
    newHeight = p->height;
    if (newWidth < 1 || newHeight < 1)
        return E_FAIL;

    UINT uw = 0, uh = 0;
    source->GetSize(&uw, &uh);
    const int w = static_cast<int>(uw), h = static_cast<int>(uh);
    const UINT nw = static_cast<UINT>(newWidth), nh = static_cast<UINT>(newHeight);

    // Columns to the new height.
    if (target->Create(uw, nh) != 0
        || !resample::ResampleColumns(target->GetBuffer(0, 0), source->GetBuffer(0, 0), w, h, newHeight))
        return E_FAIL;
    Progress(40);
    if (TestCancel())
        return E_FAIL;

    // Turned, the rows become columns for the second pass.
    CQLImage turned;
    if (turned.Create(nh, uw) != 0)
        return E_FAIL;
    resample::Transpose(reinterpret_cast<DWORD*>(turned.GetBuffer(0, 0)),
                        reinterpret_cast<const DWORD*>(target->GetBuffer(0, 0)), w, newHeight);
    Progress(50);
    if (TestCancel())
        return E_FAIL;

    CQLImage scaled;
    if (scaled.Create(nh, nw) != 0
        || !resample::ResampleColumns(scaled.GetBuffer(0, 0), turned.GetBuffer(0, 0), newHeight, w, newWidth))
        return E_FAIL;
    turned.Free();
    Progress(90);
    if (TestCancel())
        return E_FAIL;

    // Turned back straight into the target.
    if (target->Create(nw, nh) != 0)
        return E_FAIL;
    resample::Transpose(reinterpret_cast<DWORD*>(target->GetBuffer(0, 0)),
                        reinterpret_cast<const DWORD*>(scaled.GetBuffer(0, 0)), newHeight, newWidth);
    Progress(100);
    return 0;
}
