// Pixel-run blending, the one-axis line resampler and small pixel helpers.
#include "algorithms/NumericHelpers.h"

#include "imagecore/ParallelFor.h"
#include "imagecore/QLImage.h"
#include "platform/codec/ColorForms.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

CPixel LocalColorMean(const CQLImage* image, int x, int y)
{
    UINT w = 0, h = 0;
    image->GetSize(&w, &h);
    const CPixel centre = image->GetPixel2(x, y);
    const int x0 = std::max(0, x - 5), x1 = std::min(static_cast<int>(w) - 1, x + 5);
    const int y0 = std::max(0, y - 5), y1 = std::min(static_cast<int>(h) - 1, y + 5);
    int sumB = 0, sumG = 0, sumR = 0, count = 0;
    for (int j = y0; j <= y1; ++j) {
        for (int i = x0; i <= x1; ++i) {
            const CPixel p = image->GetPixel2(i, j);
            if ((p - centre) < 128) {
                sumB += p.b;
                sumG += p.g;
                sumR += p.r;
                ++count;
            }
        }
    }
    CPixel mean = centre; // the centre always counts, so count > 0
    mean.b = static_cast<BYTE>(sumB / count);
    mean.g = static_cast<BYTE>(sumG / count);
    mean.r = static_cast<BYTE>(sumR / count);
    return mean;
}

void TransposeCopy(INT* dst, int dstStep, const INT* src, int width, int height, int srcStep)
{
    // Tiles keep both the reads and the writes within a few cache lines.
    constexpr int kTile = 32;
    for (int i0 = 0; i0 < height; i0 += kTile) {
        const int i1 = std::min(height, i0 + kTile);
        for (int j0 = 0; j0 < width; j0 += kTile) {
            const int j1 = std::min(width, j0 + kTile);
            for (int i = i0; i < i1; ++i) {
                const INT* s = src + static_cast<std::ptrdiff_t>(i) * srcStep;
                for (int j = j0; j < j1; ++j)
                    dst[i + static_cast<std::ptrdiff_t>(j) * dstStep] = s[j];
            }
        }
    }
}

namespace {

void CopyRun(BYTE* dst, const BYTE* src, int count, int step)
{
    if (dst == src)
        return;
    if (step == 4) {
        std::memmove(dst, src, static_cast<std::size_t>(count) * 4);
        return;
    }
    for (int i = 0; i < count; ++i)
        std::memmove(dst + static_cast<std::ptrdiff_t>(i) * step, src + static_cast<std::ptrdiff_t>(i) * step, 4);
}

} // namespace

void BlendPixelRuns(BYTE* dst, const BYTE* a, const BYTE* b, int count, int step, int weightA, int weightB)
{
    if (count <= 0)
        return;
    if (weightA == 0) {
        CopyRun(dst, b, count, step);
        return;
    }
    if (weightB == 0) {
        CopyRun(dst, a, count, step);
        return;
    }
    std::size_t done = 0;
#if defined(__SSE2__)
    // Packed 16-bit lanes: a * wa + b * wb stays below 65536 when the weights
    // are 0..256 and sum to at most 256, so the shift gives the exact byte.
    if (step == 4 && weightA > 0 && weightB > 0 && weightA + weightB <= 256) {
        const std::size_t bytes = static_cast<std::size_t>(count) * 4;
        const __m128i wa = _mm_set1_epi16(static_cast<short>(weightA));
        const __m128i wb = _mm_set1_epi16(static_cast<short>(weightB));
        const __m128i zero = _mm_setzero_si128();
        for (; done + 16 <= bytes; done += 16) {
            const __m128i va = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + done));
            const __m128i vb = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + done));
            const __m128i lo = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(va, zero), wa),
                                                            _mm_mullo_epi16(_mm_unpacklo_epi8(vb, zero), wb)),
                                              8);
            const __m128i hi = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(va, zero), wa),
                                                            _mm_mullo_epi16(_mm_unpackhi_epi8(vb, zero), wb)),
                                              8);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + done), _mm_packus_epi16(lo, hi));
        }
        for (; done < bytes; ++done)
            dst[done] = static_cast<BYTE>((a[done] * weightA + b[done] * weightB) >> 8);
        return;
    }
#endif
    for (int i = 0; i < count; ++i) {
        const std::ptrdiff_t o = static_cast<std::ptrdiff_t>(i) * step;
        for (int c = 0; c < 4; ++c)
            dst[o + c] = static_cast<BYTE>((a[o + c] * weightA + b[o + c] * weightB) >> 8);
    }
}

namespace {

// Mitchell-Netravali cubic with B = 0.33, C = 0.73, without its factor 1/6.
float CubicWeight(float x)
{
    constexpr float B = 0.33f, C = 0.73f;
    const float x2 = x * x, x3 = x2 * x;
    if (x < 1.0f)
        return (12 - 9 * B - 6 * C) * x3 + (-18 + 12 * B + 6 * C) * x2 + (6 - 2 * B);
    if (x < 2.0f)
        return (-B - 6 * C) * x3 + (6 * B + 30 * C) * x2 + (-12 * B - 48 * C) * x + (8 * B + 24 * C);
    return 0.0f;
}

struct Tap {
    const BYTE* line;
    int weight;
};

// Averages the runs by pairwise blends, in order, until one is left. Pair
// results go to scratch lines; a source line is never written.
const BYTE* Cascade(std::vector<Tap>& taps, BYTE* const* scratch, int pixels)
{
    while (taps.size() > 1) {
        std::size_t out = 0;
        for (std::size_t j = 0; j < taps.size(); j += 2) {
            if (j + 1 == taps.size()) {
                taps[out++] = taps[j]; // odd run carried up unchanged
                continue;
            }
            const Tap t1 = taps[j], t2 = taps[j + 1];
            const int sum = t1.weight + t2.weight;
            const int wa = static_cast<int>(256LL * t1.weight / sum);
            BYTE* dst = scratch[j / 2];
            BlendPixelRuns(dst, t1.line, t2.line, pixels, 4, wa, 256 - wa);
            taps[out++] = {dst, sum};
        }
        taps.resize(out);
    }
    return taps[0].line;
}

} // namespace

int ResampleLines(BYTE* dst, const BYTE* src, int pixelsPerLine, int lineBytes, int srcLines, int dstLines)
{
    if (pixelsPerLine <= 0 || srcLines <= 0 || dstLines <= 0)
        return 1;
    const std::size_t runBytes = static_cast<std::size_t>(pixelsPerLine) * 4;
    auto line = [&](int i) { return src + static_cast<std::ptrdiff_t>(i) * lineBytes; };
    auto out = [&](int k) { return dst + static_cast<std::ptrdiff_t>(k) * lineBytes; };

    // The same length is the identity: one tap of full weight per line.
    if (srcLines == dstLines) {
        for (int k = 0; k < dstLines; ++k)
            if (out(k) != line(k))
                std::memmove(out(k), line(k), runBytes);
        return 1;
    }

    const float scale = static_cast<float>(srcLines) / static_cast<float>(dstLines);
    const float g = scale > 1.0f ? scale * 1.05f : 1.0f;
    const float v = 2.0f * g;
    const std::size_t maxTaps = static_cast<std::size_t>(std::ceil(2.0f * v)) + 2;
    const std::size_t scratchLines = maxTaps / 2 + 1;

    std::vector<Tap> pos, neg;
    std::vector<BYTE*> posScratch, negScratch;
    BYTE* storage = nullptr;
    try {
        pos.reserve(maxTaps);
        neg.reserve(maxTaps);
        posScratch.resize(scratchLines);
        negScratch.resize(scratchLines);
        storage = static_cast<BYTE*>(std::malloc(runBytes * scratchLines * 2));
    } catch (const std::bad_alloc&) {
        return 0;
    }
    if (!storage)
        return 0;
    for (std::size_t i = 0; i < scratchLines; ++i) {
        posScratch[i] = storage + runBytes * i;
        negScratch[i] = storage + runBytes * (scratchLines + i);
    }

    for (int k = 0; k < dstLines; ++k) {
        const float centre = static_cast<float>(k) * scale;
        const int first = std::max(0, static_cast<int>(std::floor(centre - v)));
        const int last = std::min(srcLines - 1, static_cast<int>(std::floor(centre + v)));
        if (first >= last) {
            std::memmove(out(k), line(std::min(first, srcLines - 1)), runBytes);
            continue;
        }
        pos.clear();
        neg.clear();
        int sumPos = 0, sumNeg = 0;
        for (int i = first; i <= last; ++i) {
            const float x = std::fabs((static_cast<float>(i) - centre) / g);
            const int w = static_cast<int>(CubicWeight(x) * 256.0f);
            if (w > 0) {
                pos.push_back({line(i), w});
                sumPos += w;
            } else if (w < 0) {
                neg.push_back({line(i), -w});
                sumNeg -= w;
            }
        }
        if (pos.empty()) { // cannot happen with this kernel; keep the nearest line
            std::memmove(out(k), line(std::clamp(static_cast<int>(centre + 0.5f), 0, srcLines - 1)), runBytes);
            continue;
        }
        const BYTE* p = Cascade(pos, posScratch.data(), pixelsPerLine);
        if (neg.empty() || sumPos <= sumNeg) {
            std::memmove(out(k), p, runBytes);
            continue;
        }
        const BYTE* n = Cascade(neg, negScratch.data(), pixelsPerLine);
        const long long den = sumPos - sumNeg;
        BYTE* o = out(k);
        for (std::size_t b = 0; b < runBytes; ++b) {
            const long long num = static_cast<long long>(p[b]) * sumPos - static_cast<long long>(n[b]) * sumNeg;
            const long long r = num <= 0 ? 0 : (num + den / 2) / den;
            o[b] = static_cast<BYTE>(r > 255 ? 255 : r);
        }
    }
    std::free(storage);
    return 1;
}

void ConvertRowsYuv(CQLImage& image, int width, int height, bool toYuv)
{
    imagecore::ParallelFor(0, height, static_cast<std::size_t>(width) * 4, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            if (toYuv)
                qlcodec::RgbToYuv(image.GetBuffer(0, y), static_cast<std::size_t>(width));
            else
                qlcodec::YuvToRgb(image.GetBuffer(0, y), static_cast<std::size_t>(width));
        }
    });
}

double HermiteInterpolate(double x0, double x1, double y0, double y1, double slope0, double slope1, double x)
{
    const double l0 = (x - x1) / (x0 - x1);
    const double l1 = (x - x0) / (x1 - x0);
    return y0 * (1 + 2 * (x - x0) / (x1 - x0)) * l0 * l0 + y1 * (1 + 2 * (x - x1) / (x0 - x1)) * l1 * l1
         + slope0 * (x - x0) * l0 * l0 + slope1 * (x - x1) * l1 * l1;
}
