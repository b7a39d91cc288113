#include "algorithms/DenoisePassAlgorithm.h"

#include "algorithms/NumericHelpers.h"
#include "platform/codec/ColorForms.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// The four 3 x 3 responses of byte c of the pixel at p (rows `stride` bytes apart).
inline void Responses(const BYTE* p, std::ptrdiff_t stride, int c, int r[4])
{
    const BYTE* up = p - stride + c;
    const BYTE* mid = p + c;
    const BYTE* dn = p + stride + c;
    const int tl = up[-4], t = up[0], tr = up[4], l = mid[-4], rt = mid[4], bl = dn[-4], b = dn[0], br = dn[4];
    r[0] = tl + l + bl - tr - rt - br;
    r[1] = t + tl + l - b - rt - br;
    r[2] = t + tl + tr - b - bl - br;
    r[3] = b + l + bl - t - tr - rt;
}

// Index of the strongest response; the lower index wins a tie.
inline int Strongest(const int r[4])
{
    int best = 0;
    for (int i = 1; i < 4; ++i)
        if (std::abs(r[i]) > std::abs(r[best]))
            best = i;
    return best;
}

// Neighbours along code c (mod 4): above/below, above-right/below-left,
// left/right, above-left/below-right.
constexpr int kAlongX[4][2] = {{0, 0}, {1, -1}, {-1, 1}, {-1, 1}};
constexpr int kAlongY[4][2] = {{-1, 1}, {-1, 1}, {0, 0}, {-1, 1}};


// Bytes of an image split into planes whose rows carry kPad spare bytes on
// each side, so that 16-byte loads around any column stay inside them.
constexpr int kPad = 16;

void SplitPlanes(const CQLImage& image, int width, int height, int count, std::vector<BYTE>& planes, int& stride)
{
    stride = width + 2 * kPad;
    planes.assign(static_cast<std::size_t>(stride) * height * count, 0);
    for (int c = 0; c < count; ++c)
        for (int y = 0; y < height; ++y) {
            const BYTE* p = image.GetBuffer(0, y) + c;
            BYTE* out = planes.data() + (static_cast<std::size_t>(c) * height + y) * stride + kPad;
            for (int x = 0; x < width; ++x)
                out[x] = p[x * 4];
        }
}

#if defined(__SSE2__)
// Lanes i of a 16-byte load starting at column first that fall inside [0, width).
inline __m128i LanesInside(int first, int width, int lanes)
{
    alignas(16) static const BYTE ramp[48] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                              255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255,
                                              0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    const int lo = std::clamp(-first, 0, 16);
    const int n = std::clamp(std::min(lanes, width - first), 0, 16);
    const __m128i fromLo = _mm_loadu_si128(reinterpret_cast<const __m128i*>(ramp + 16 - lo));
    const __m128i belowN = _mm_loadu_si128(reinterpret_cast<const __m128i*>(ramp + 32 - n));
    return _mm_and_si128(fromLo, belowN);
}

inline __m128i AbsDiff(__m128i a, __m128i b)
{
    return _mm_or_si128(_mm_subs_epu8(a, b), _mm_subs_epu8(b, a));
}

inline int SumLanes(__m128i v)
{
    return _mm_cvtsi128_si32(v) + _mm_cvtsi128_si32(_mm_srli_si128(v, 8));
}
#endif

} // namespace

DenoisePassAlgorithm::~DenoisePassAlgorithm() = default;

HRESULT DenoisePassAlgorithm::Abandon()
{
    if (inYuv) // never hand back a target in YUV
        qlcodec::YuvToRgb(target->GetBuffer(0, 0), static_cast<std::size_t>(width) * height);
    inYuv = false;
    return E_FAIL;
}

HRESULT DenoisePassAlgorithm::Apply(const void* params)
{
    if (EffectAlgorithm::Apply(params) != 0 || !params || source == target)
        return E_FAIL;
    DenoiseParams p;
    std::memcpy(&p, params, sizeof p);
    chroma = p.chroma;
    inYuv = false;
    iterations = std::clamp(static_cast<int>(p.iterations), 1, 4);
    UINT w = 0, h = 0;
    source->GetSize(&w, &h);
    width = static_cast<int>(w);
    height = static_cast<int>(h);
    if (!CopySourceToTarget() || !workImage.DuplicateFrom(source) || !edgeImage.DuplicateFrom(source))
        return E_FAIL;

    const int span = chroma ? 50 : 90;
    const int s = span / iterations;
    for (int k = 0; k < iterations; ++k) {
        MapDirections();
        Progress(k * s + s / 5);
        if (TestCancel())
            return Abandon();
        VoteDirections();
        Progress(k * s + s / 2);
        if (TestCancel())
            return Abandon();
        FilterAlongDirections();
        Progress(k * s + s);
        if (TestCancel() || !workImage.DuplicateFrom(target))
            return Abandon();
    }
    Progress(span);

    const std::size_t count = static_cast<std::size_t>(width) * height;
    if (chroma) {
        qlcodec::RgbToYuv(target->GetBuffer(0, 0), count);
        inYuv = true;
        const BYTE* t = target->GetBuffer(0, 0);
        BYTE* e = edgeImage.GetBuffer(0, 0);
        for (std::size_t i = 0; i < count; ++i, t += 4, e += 4) {
            e[3] = e[1]; // the magnitude
            e[0] = t[0], e[1] = t[1], e[2] = t[2];
        }
        Progress(66);
        if (TestCancel())
            return Abandon();
        if (!SmoothChroma())
            return Abandon();
        Progress(90);
        RestoreLuma();
        qlcodec::YuvToRgb(target->GetBuffer(0, 0), count);
        inYuv = false;
    } else {
        RestoreColour();
    }
    Progress(100);
    return 0;
}

void DenoisePassAlgorithm::MapDirections()
{
    std::memset(edgeImage.GetBuffer(0, 0), 0, edgeImage.GetAreaByteSize());
    workImage.BuildGrayChannel();
    const std::ptrdiff_t stride = static_cast<std::ptrdiff_t>(width) * 4;
    for (int y = 1; y < height - 1; ++y) {
        for (int x = 1; x < width - 1; ++x) {
            const BYTE* p = workImage.GetBuffer(x, y);
            int grey[4], colour[4];
            Responses(p, stride, 3, grey);
            const int s = Strongest(grey);
            bool agree = true;
            for (int c = 2; c >= 0; --c) {
                Responses(p, stride, c, colour);
                agree = agree && std::abs(Strongest(colour) - s) < 2;
            }
            const int code = grey[s] > 0 ? s : s + 4;
            // The strongest edges keep their full weight: saturate, never wrap.
            const BYTE magnitude = agree ? static_cast<BYTE>(std::min(255, std::abs(grey[s]))) : 0;
            BYTE* e = edgeImage.GetBuffer(x, y);
            e[0] = e[3] = static_cast<BYTE>(code);
            e[1] = e[2] = magnitude;
        }
    }
}

void DenoisePassAlgorithm::VoteDirections()
{
    const std::ptrdiff_t stride = static_cast<std::ptrdiff_t>(width) * 4;
    for (int y = 2; y < height - 2; ++y) {
        for (int x = 2; x < width - 2; ++x) {
            int sums[8] = {};
            int leader = 0;
            for (int dy = 1; dy >= -1; --dy) {
                for (int dx = -1; dx <= 1; ++dx) {
                    const BYTE* n = edgeImage.GetBuffer(x + dx, y + dy);
                    const int code = n[3];
                    sums[code] += n[2];
                    if (sums[code] > sums[leader])
                        leader = code;
                }
            }
            BYTE* e = edgeImage.GetBuffer(x, y);
            const int own = e[3];
            if (own == leader)
                continue;
            int grey[4];
            Responses(workImage.GetBuffer(x, y), stride, 3, grey);
            const int magnitude = std::min(255, std::abs(grey[leader % 4]) / 2);
            const int a = own % 4;
            const int codeA = edgeImage.GetBuffer(x + kAlongX[a][0], y + kAlongY[a][0])[3];
            const int codeB = edgeImage.GetBuffer(x + kAlongX[a][1], y + kAlongY[a][1])[3];
            if (codeA != own || codeB != own) {
                e[0] = static_cast<BYTE>(leader);
                e[1] = static_cast<BYTE>(magnitude);
            }
        }
    }
}

void DenoisePassAlgorithm::FilterAlongDirections()
{
    static constexpr int kThreshold[5] = {0, 2, 4, 8, 8};
    static constexpr int kShift[5] = {0, 1, 2, 3, 3};
    const int t = kThreshold[iterations], shift = kShift[iterations];
#if defined(__SSE2__)
    int stride = 0;
    SplitPlanes(workImage, width, height, 3, planes, stride);
    const std::size_t planeBytes = static_cast<std::size_t>(stride) * height;
#endif
    for (int y = 1; y < height - 1; ++y) {
        for (int x = 1; x < width - 1; ++x) {
            const BYTE* e = edgeImage.GetBuffer(x, y);
            const int a = e[0] % 4;
            const BYTE* p = workImage.GetBuffer(x, y);
            const BYTE* n1 = workImage.GetBuffer(x + kAlongX[a][0], y + kAlongY[a][0]);
            const BYTE* n2 = workImage.GetBuffer(x + kAlongX[a][1], y + kAlongY[a][1]);
            BYTE* out = target->GetBuffer(x, y);
            const int m = e[1];
            if (m > t) {
                for (int c = 0; c < 3; ++c)
                    out[c] = static_cast<BYTE>((p[c] + n1[c] + n2[c]) / 3);
                out[3] = 0;
            } else if (m == t) { // the local mean has no weight
                for (int c = 0; c < 3; ++c)
                    out[c] = static_cast<BYTE>((m * ((p[c] + n1[c] + n2[c]) / 3)) >> shift);
            } else {
#if defined(__SSE2__)
                // LocalColorMean, 11 columns at a time from the planes.
                const __m128i zero = _mm_setzero_si128(), limit = _mm_set1_epi8(127), one = _mm_set1_epi8(1);
                const __m128i lanes = LanesInside(x - 5, width, 11);
                const __m128i cb = _mm_set1_epi8(static_cast<char>(p[0]));
                const __m128i cg = _mm_set1_epi8(static_cast<char>(p[1]));
                const __m128i cr = _mm_set1_epi8(static_cast<char>(p[2]));
                __m128i sb = zero, sg = zero, sr = zero, count = zero;
                for (int j = std::max(0, y - 5); j <= std::min(height - 1, y + 5); ++j) {
                    const BYTE* row = planes.data() + static_cast<std::size_t>(j) * stride + kPad + x - 5;
                    const __m128i vb = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row));
                    const __m128i vg = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + planeBytes));
                    const __m128i vr = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + 2 * planeBytes));
                    const __m128i d = _mm_adds_epu8(_mm_adds_epu8(AbsDiff(vb, cb), AbsDiff(vg, cg)), AbsDiff(vr, cr));
                    const __m128i take = _mm_and_si128(_mm_cmpeq_epi8(_mm_min_epu8(d, limit), d), lanes);
                    sb = _mm_add_epi64(sb, _mm_sad_epu8(_mm_and_si128(vb, take), zero));
                    sg = _mm_add_epi64(sg, _mm_sad_epu8(_mm_and_si128(vg, take), zero));
                    sr = _mm_add_epi64(sr, _mm_sad_epu8(_mm_and_si128(vr, take), zero));
                    count = _mm_add_epi64(count, _mm_sad_epu8(_mm_and_si128(take, one), zero));
                }
                const int k = SumLanes(count);
                const int n[3] = {SumLanes(sb) / k, SumLanes(sg) / k, SumLanes(sr) / k};
#else
                const CPixel mean = LocalColorMean(&workImage, x, y);
                const int n[3] = {mean.b, mean.g, mean.r};
#endif
                for (int c = 0; c < 3; ++c)
                    out[c] = static_cast<BYTE>(((t - m) * n[c] + m * ((p[c] + n1[c] + n2[c]) / 3)) >> shift);
            }
        }
    }
}

bool DenoisePassAlgorithm::SmoothChroma()
{
    int stride = 0;
    SplitPlanes(edgeImage, width, height, 2, planes, stride);
    const BYTE* plane0 = planes.data() + kPad;
    const BYTE* plane1 = plane0 + static_cast<std::size_t>(stride) * height;
    for (int y = 0; y < height; ++y) {
        const int y0 = std::max(0, y - 8), y1 = std::min(height - 1, y + 8);
        for (int x = 0; x < width; ++x) {
            const std::size_t centre = static_cast<std::size_t>(y) * stride + x;
            const int c1 = plane1[centre], c0 = plane0[centre];
            int count = 0, sum1 = 0, sum0 = 0;
            int i = std::max(0, x - 8);
#if defined(__SSE2__)
            // Columns x - 8 .. x + 7 at once; x + 8 below.
            const __m128i zero = _mm_setzero_si128(), limit = _mm_set1_epi8(40), one = _mm_set1_epi8(1);
            const __m128i lanes = LanesInside(x - 8, width, 16);
            const __m128i k1 = _mm_set1_epi8(static_cast<char>(c1)), k0 = _mm_set1_epi8(static_cast<char>(c0));
            __m128i s1 = zero, s0 = zero, n = zero;
            for (int j = y0; j <= y1; ++j) {
                const std::size_t at = static_cast<std::size_t>(j) * stride + x - 8;
                const __m128i v1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(plane1 + at));
                const __m128i v0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(plane0 + at));
                const __m128i d = _mm_adds_epu8(AbsDiff(v1, k1), AbsDiff(v0, k0));
                const __m128i take = _mm_and_si128(_mm_cmpeq_epi8(_mm_min_epu8(d, limit), d), lanes);
                s1 = _mm_add_epi64(s1, _mm_sad_epu8(_mm_and_si128(v1, take), zero));
                s0 = _mm_add_epi64(s0, _mm_sad_epu8(_mm_and_si128(v0, take), zero));
                n = _mm_add_epi64(n, _mm_sad_epu8(_mm_and_si128(take, one), zero));
            }
            count = SumLanes(n), sum1 = SumLanes(s1), sum0 = SumLanes(s0);
            i = x + 8;
#endif
            for (; i <= std::min(width - 1, x + 8); ++i) {
                for (int j = y0; j <= y1; ++j) {
                    const std::size_t at = static_cast<std::size_t>(j) * stride + i;
                    const int v1 = plane1[at], v0 = plane0[at];
                    if (std::abs(v1 - c1) + std::abs(v0 - c0) <= 40) {
                        ++count;
                        sum1 += v1;
                        sum0 += v0;
                    }
                }
            }
            BYTE* out = target->GetBuffer(x, y);
            out[1] = static_cast<BYTE>(sum1 / count);
            out[0] = static_cast<BYTE>(sum0 / count);
        }
        Progress(70 + 20 * y / height);
        if (TestCancel())
            return false;
    }
    return true;
}

void DenoisePassAlgorithm::RestoreLuma()
{
    const std::size_t count = static_cast<std::size_t>(width) * height;
    const BYTE* s = source->GetBuffer(0, 0);
    BYTE* t = target->GetBuffer(0, 0);
    for (std::size_t i = 0; i < count; ++i, s += 4, t += 4) {
        const int y = t[2], d = y / 2;
        const int grey = (6 * s[1] + 3 * s[2] + s[0]) / 10;
        t[2] = static_cast<BYTE>((grey * d + (255 - d) * y) >> 8);
    }
}

void DenoisePassAlgorithm::RestoreColour()
{
    const std::size_t count = static_cast<std::size_t>(width) * height;
    const BYTE* s = source->GetBuffer(0, 0);
    BYTE* t = target->GetBuffer(0, 0);
    for (std::size_t i = 0; i < count; ++i, s += 4, t += 4) {
        for (int c = 0; c < 3; ++c) {
            const int v = t[c], d = v / 2;
            t[c] = static_cast<BYTE>((s[c] * d + (255 - d) * v) >> 8);
        }
    }
}
