#include "algorithms/ResampleAlgorithm.h"

#include "algorithms/EdgeAwareSmoothAlgorithm.h"
#include "algorithms/SharpenLuma.h"
#include "algorithms/UnsharpMaskAlgorithm.h"
#include "imagecore/ParallelFor.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <new>
#include <thread>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

void ResampleAlgorithm::SetOptions(int a, int b, int c)
{
    method = a;
    factor = 1 + (100 - b) * 0.01;
    sharpenAmount = static_cast<int>(std::clamp(6LL * c, -0x7FFFFFFFLL, 0x7FFFFFFFLL));
}

HRESULT ResampleAlgorithm::Apply(const void* params)
{
    if (EffectAlgorithm::Apply(params) != 0 || !params || target == source)
        return E_FAIL;
    const auto* p = static_cast<const ResizeParams*>(params);
    width = p->width;
    height = p->height;
    if (width < 1 || height < 1)
        return E_FAIL;

    UINT w = 0, h = 0;
    source->GetSize(&w, &h);
    const float s = static_cast<float>(width) / static_cast<float>(w);
    const ResizeParams size{width, height};

    if (s > 2) {
        // Twice the size with the cubic kernel, the rest with the disc kernel.
        CQLImage doubled;
        separable.SetImages(source, &doubled);
        separable.SetRange(RangeAt(0), RangeAt(20));
        separable.SetCallback(callback);
        const ResizeParams twice{static_cast<INT>(2 * w), static_cast<INT>(2 * h)};
        if (separable.Apply(&twice) != 0 || TestCancel())
            return E_FAIL;
        shrink.SetImages(&doubled, target);
        shrink.SetRange(RangeAt(20), RangeAt(40));
        shrink.SetCallback(callback);
        if (shrink.Apply(&size) != 0 || TestCancel())
            return E_FAIL;
        return StripPass(s, true);
    }
    if (s > 1) {
        separable.SetImages(source, target);
        separable.SetRange(RangeAt(0), RangeAt(40));
        separable.SetCallback(callback);
        if (separable.Apply(&size) != 0 || TestCancel())
            return E_FAIL;
        return StripPass(s, false);
    }

    shrink.SetImages(source, target);
    shrink.SetRange(RangeAt(0), RangeAt(90));
    shrink.SetCallback(callback);
    shrink.SetSupportFactor(factor);
    if (shrink.Apply(&size) != 0 || TestCancel())
        return E_FAIL;
    if (s < 0.8f) {
        if (!SharpenLuma(target, sharpenAmount))
            return E_FAIL;
        Progress(100);
        return 0;
    }
    if (s < 1) {
        Progress(100);
        return 0;
    }
    return StripPass(s, true);
}

namespace {

struct Strip {
    int begin;
    int end;
};

// Copies rows [y0, y0 + n) between an image and a row buffer.
void SaveRows(std::vector<BYTE>& buffer, const CQLImage& image, int y0, int n, int width)
{
    buffer.resize(static_cast<std::size_t>(n) * width * 4);
    std::memcpy(buffer.data(), image.GetBuffer(0, y0), buffer.size());
}

// Blends B, G, R of new rows into old ones: row k takes 8k/256 of the new.
void CrossFade(BYTE* old, const BYTE* fresh, int rows, int width)
{
    for (int k = 0; k < rows; ++k) {
        const int wn = 8 * k, wo = 256 - wn;
        BYTE* o = old + static_cast<std::size_t>(k) * width * 4;
        const BYTE* f = fresh + static_cast<std::size_t>(k) * width * 4;
        int x = 0;
#if defined(__SSE2__)
        // old * wo + new * wn stays below 65536, so 16-bit lanes are exact.
        const __m128i zero = _mm_setzero_si128();
        const __m128i mo = _mm_set1_epi16(static_cast<short>(wo)), mn = _mm_set1_epi16(static_cast<short>(wn));
        const __m128i alpha = _mm_set1_epi32(static_cast<int>(0xFF000000u));
        for (; x + 4 <= width; x += 4, o += 16, f += 16) {
            const __m128i vo = _mm_loadu_si128(reinterpret_cast<const __m128i*>(o));
            const __m128i vf = _mm_loadu_si128(reinterpret_cast<const __m128i*>(f));
            const __m128i lo = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(vo, zero), mo),
                                                            _mm_mullo_epi16(_mm_unpacklo_epi8(vf, zero), mn)),
                                              8);
            const __m128i hi = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(vo, zero), mo),
                                                            _mm_mullo_epi16(_mm_unpackhi_epi8(vf, zero), mn)),
                                              8);
            const __m128i mixed = _mm_packus_epi16(lo, hi);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(o),
                             _mm_or_si128(_mm_andnot_si128(alpha, mixed), _mm_and_si128(alpha, vo)));
        }
#endif
        for (; x < width; ++x, o += 4, f += 4) {
            o[0] = static_cast<BYTE>((o[0] * wo + f[0] * wn) >> 8);
            o[1] = static_cast<BYTE>((o[1] * wo + f[1] * wn) >> 8);
            o[2] = static_cast<BYTE>((o[2] * wo + f[2] * wn) >> 8);
        }
    }
}

} // namespace

// One core's effects and images, reused from strip to strip.
struct ResampleAlgorithm::StripTools {
    StripTools() { smooth.oneThread = true; }

    CQLImage in, smoothed, sharpened;
    EdgeAwareSmoothAlgorithm smooth;
    UnsharpMaskAlgorithm unsharp;
};

// The strip's rows of the enlarged target (its first rows from top when
// given: they have been overwritten since) smoothed and sharpened; null on a
// failure.
const CQLImage* ResampleAlgorithm::ProcessStrip(StripTools& t, int begin, int rows, const std::vector<BYTE>* top,
                                                float scale, bool sharpen) const
{
    if (t.in.Create(static_cast<UINT>(width), static_cast<UINT>(rows)) != 0)
        return nullptr;
    std::memcpy(t.in.GetBuffer(0, 0), target->GetBuffer(0, begin), t.in.GetAreaByteSize());
    if (top)
        std::memcpy(t.in.GetBuffer(0, 0), top->data(), top->size());

    CQLImage* result = &t.in;
    if (method != 0) {
        t.smooth.SetImages(&t.in, &t.smoothed);
        if (t.smooth.Apply(&scale) != 0)
            return nullptr;
        result = &t.smoothed;
    }
    if (sharpen) {
        const UnsharpMaskParams usm{static_cast<INT>(2 * scale), 70, 0};
        t.unsharp.ClearImages();
        t.unsharp.SetImages(result, &t.sharpened);
        if (t.unsharp.Apply(&usm) != 0)
            return nullptr;
        result = &t.sharpened;
    }
    return result;
}

// Each strip is processed from the unmodified rows of the enlarged image, so
// the overlap is not sharpened twice. Runs of consecutive strips go to the
// cores; the first strip of each run reads its overlap from a copy taken
// beforehand and leaves its cross-fade until every run is done.
HRESULT ResampleAlgorithm::StripPass(float scale, bool sharpen)
{
    Progress(40);
    const int W = width, H = height;
    const int stripRows = StripHeight(W);
    std::vector<Strip> strips;
    for (int l = 0;;) {
        const int end = std::min(H, l + stripRows);
        strips.push_back({l, end});
        if (end == H)
            break;
        l = end - kOverlap;
    }
    if (method == 0 && !sharpen) {
        Progress(100); // nothing changes: every strip is a copy
        return 0;
    }

    const int count = static_cast<int>(strips.size());
    const int runs = std::clamp(static_cast<int>(imagecore::ThreadCount()), 1, count);
    std::vector<int> runStart(static_cast<std::size_t>(runs) + 1);
    for (int r = 0; r <= runs; ++r)
        runStart[r] = static_cast<int>(static_cast<long long>(r) * count / runs);

    // Unmodified overlap rows of each run's first strip, and its cross-fade
    // rows, applied after the join.
    std::vector<std::vector<BYTE>> headIn(runs), headOut(runs);
    try {
        for (int r = 1; r < runs; ++r) {
            SaveRows(headIn[r], *target, strips[runStart[r]].begin, kOverlap, W);
            headOut[r].resize(headIn[r].size());
        }
    } catch (const std::bad_alloc&) {
        return E_FAIL;
    }

    std::atomic<bool> stop{false}, failed{false};
    const std::thread::id caller = std::this_thread::get_id();

    imagecore::ParallelFor(0, runs, std::size_t{1} << 30, [&](int r0, int r1) {
        try {
            const bool reports = std::this_thread::get_id() == caller;
            StripTools tools;
            std::vector<BYTE> carry;
            for (int r = r0; r < r1; ++r) {
                for (int i = runStart[r]; i < runStart[r + 1]; ++i) {
                    if (stop.load(std::memory_order_relaxed) || failed.load(std::memory_order_relaxed))
                        return;
                    const Strip st = strips[i];
                    const int rows = st.end - st.begin;
                    const std::vector<BYTE>* top = i == 0 ? nullptr : (i == runStart[r] ? &headIn[r] : &carry);
                    const CQLImage* result = ProcessStrip(tools, st.begin, rows, top, scale, sharpen);
                    if (!result) {
                        failed = true;
                        return;
                    }

                    // The next strip of this run reads these rows unmodified.
                    if (i + 1 < runStart[r + 1])
                        SaveRows(carry, *target, strips[i + 1].begin, kOverlap, W);
                    int from = 0;
                    if (i > 0) {
                        from = kOverlap;
                        if (i == runStart[r])
                            SaveRows(headOut[r], *result, 0, kOverlap, W);
                        else
                            CrossFade(target->GetBuffer(0, st.begin), result->GetBuffer(0, 0), kOverlap, W);
                    }
                    std::memcpy(target->GetBuffer(0, st.begin + from), result->GetBuffer(0, from),
                                static_cast<std::size_t>(rows - from) * W * 4);

                    if (reports) {
                        const int done = i + 1 - runStart[r0];
                        const int total = runStart[r1] - runStart[r0];
                        Progress(40 + 55 * done / total); // 100 only when every run is done
                        if (TestCancel()) {
                            stop = true;
                            return;
                        }
                    }
                }
            }
        } catch (const std::bad_alloc&) {
            failed = true; // a strip's buffers could not be had
        }
    });
    if (stop || failed)
        return E_FAIL;
    for (int r = 1; r < runs; ++r)
        CrossFade(target->GetBuffer(0, strips[runStart[r]].begin), headOut[r].data(), kOverlap, W);
    Progress(100);
    return 0;
}
