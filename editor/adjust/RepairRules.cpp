#include "editor/adjust/RepairRules.h"

#include "algorithms/PointKernels.h"
#include "imagecore/ParallelFor.h"
#include "imagecore/Simd.h"
#include "platform/codec/ColorForms.h"
#include "platform/codec/QLImageCodec.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <immintrin.h>
#include <vector>

namespace repair {

namespace {

SIZE SizeOf(const CQLImage& image)
{
    UINT w = 0, h = 0;
    image.GetSize(&w, &h);
    return SIZE{static_cast<LONG>(w), static_cast<LONG>(h)};
}

double HalfDiagonal(double w, double h)
{
    return std::sqrt(w * w + h * h) / 2;
}

} // namespace

// --- Get Rid of Dark Corners -------------------------------------------------

bool DarkCornersNeedsQuestion(int width, int height)
{
    return height % 8 != 0 || width % 8 != 0 || width <= 999;
}

SIZE DarkCornersThumbSize(int width, int height)
{
    width = std::max(width, 1);
    height = std::max(height, 1);
    if (width >= height)
        return SIZE{kThumbSide, std::max(1, height * kThumbSide / width)};
    return SIZE{std::max(1, width * kThumbSide / height), kThumbSide};
}

POINT ClampMarkerCentre(POINT p, const RECT& picture)
{
    const int cx = (picture.left + picture.right) / 2, cy = (picture.top + picture.bottom) / 2;
    return POINT{std::clamp<LONG>(p.x, cx - 10, cx + 10), std::clamp<LONG>(p.y, cy - 10, cy + 10)};
}

int ClampMarkerRadius(int radius, const RECT& picture)
{
    const double half = HalfDiagonal(picture.right - picture.left, picture.bottom - picture.top);
    return std::clamp(radius, static_cast<int>(half * 0.8), static_cast<int>(half) + 1);
}

VignetteParams DarkCornersParams(POINT centre, int radius, const RECT& picture, int width, int height, int range)
{
    // A picture rectangle of no width would divide by zero.
    const long long rw = std::max<long long>(1, picture.right - picture.left);
    const long long rh = std::max<long long>(1, picture.bottom - picture.top);
    const int ring = static_cast<int>(HalfDiagonal(width, height) * range / 100);
    VignetteParams p{};
    p.centerX = static_cast<INT>((centre.x - picture.left) * static_cast<long long>(width) / rw);
    p.centerY = static_cast<INT>((centre.y - picture.top) * static_cast<long long>(height) / rh);
    p.outerRadius = static_cast<INT>(static_cast<long long>(width) * radius / rw + ring);
    p.ringRadius = ring;
    return p;
}

// --- Highlight Diffuse -------------------------------------------------------

namespace {

// The grey levels of four pixels from their 16-bit channels (two pixels a
// register): (B + 6 G + 3 R) summed by madd, then / 10 as a multiply-high,
// exact for sums up to 2550.
__m128i LevelSums(__m128i lo, __m128i hi)
{
    const __m128i weights = _mm_set_epi16(0, 3, 6, 1, 0, 3, 6, 1);
    __m128i a = _mm_madd_epi16(lo, weights), b = _mm_madd_epi16(hi, weights);
    a = _mm_add_epi32(a, _mm_srli_epi64(a, 32));
    b = _mm_add_epi32(b, _mm_srli_epi64(b, 32));
    return _mm_unpacklo_epi64(_mm_shuffle_epi32(a, _MM_SHUFFLE(3, 3, 2, 0)), _mm_shuffle_epi32(b, _MM_SHUFFLE(3, 3, 2, 0)));
}

void DiffusePixel(const BYTE* src, const BYTE* glw, BYTE* dst, int o)
{
    const int e = (255 - DiffuseLevel(src)) * (o * DiffuseLevel(glw) / 256) / 256;
    dst[0] = static_cast<BYTE>(std::min(255, src[0] + e));
    dst[1] = static_cast<BYTE>(std::min(255, src[1] + e));
    dst[2] = static_cast<BYTE>(std::min(255, src[2] + e));
    dst[3] = src[3];
}

// n pixels: four a step in 16-bit lanes, every product below 65536; the
// plain x86-64 path.
void DiffuseBlendSse2(const BYTE* src, const BYTE* glw, BYTE* dst, std::size_t n, int o)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i tenth = _mm_set1_epi16(6554);
    const __m128i opacity = _mm_set1_epi16(static_cast<short>(o));
    const __m128i white = _mm_set1_epi16(255);
    const __m128i colourOnly = _mm_set_epi16(0, -1, -1, -1, 0, -1, -1, -1);
    std::size_t x = 0;
    for (; x + 4 <= n; x += 4) {
        const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 4 * x));
        const __m128i g = _mm_loadu_si128(reinterpret_cast<const __m128i*>(glw + 4 * x));
        const __m128i sLo = _mm_unpacklo_epi8(s, zero), sHi = _mm_unpackhi_epi8(s, zero);
        // Lanes 0..3 the source's levels, 4..7 the glow's.
        const __m128i levels = _mm_mulhi_epu16(
            _mm_packs_epi32(LevelSums(sLo, sHi), LevelSums(_mm_unpacklo_epi8(g, zero), _mm_unpackhi_epi8(g, zero))),
            tenth);
        const __m128i lit = _mm_srli_epi16(_mm_mullo_epi16(_mm_srli_si128(levels, 8), opacity), 8);
        const __m128i e = _mm_srli_epi16(_mm_mullo_epi16(_mm_sub_epi16(white, levels), lit), 8);
        const __m128i pairs = _mm_unpacklo_epi16(e, e);
        const __m128i eLo = _mm_and_si128(_mm_unpacklo_epi32(pairs, pairs), colourOnly);
        const __m128i eHi = _mm_and_si128(_mm_unpackhi_epi32(pairs, pairs), colourOnly);
        // packus holds each channel at 255.
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + 4 * x),
                         _mm_packus_epi16(_mm_add_epi16(sLo, eLo), _mm_add_epi16(sHi, eHi)));
    }
    for (; x < n; ++x)
        DiffusePixel(src + 4 * x, glw + 4 * x, dst + 4 * x, o);
}

// The wide paths keep each pixel in a 32-bit lane: the level by byte
// multiply-adds (weights 1, 6, 3, 0) and a multiply-high by 6554, exact for
// sums up to 2550; every product stays in the low 16 bits of its lane (the
// high ones stay 0, so 16-bit shifts serve). The gain is spread over B, G
// and R (0 onto alpha) and added with saturation, which holds each at 255.
constexpr int kLevelWeights = 0x00030601;
constexpr int kTenth = 6554;

__attribute__((target("avx2"))) std::size_t DiffuseBlendAvx2(const BYTE* src, const BYTE* glw, BYTE* dst,
                                                             std::size_t n, int o)
{
    const __m256i weights = _mm256_set1_epi32(kLevelWeights), ones = _mm256_set1_epi16(1);
    const __m256i tenth = _mm256_set1_epi32(kTenth), opacity = _mm256_set1_epi32(o);
    const __m256i white = _mm256_set1_epi32(255);
    const __m256i spread = _mm256_set_epi32(static_cast<int>(0x800C0C0Cu), static_cast<int>(0x80080808u),
                                            static_cast<int>(0x80040404u), static_cast<int>(0x80000000u),
                                            static_cast<int>(0x800C0C0Cu), static_cast<int>(0x80080808u),
                                            static_cast<int>(0x80040404u), static_cast<int>(0x80000000u));
    auto level = [&](__m256i px) __attribute__((target("avx2"))) {
        return _mm256_mulhi_epu16(_mm256_madd_epi16(_mm256_maddubs_epi16(px, weights), ones), tenth);
    };
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        const __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + 4 * i));
        const __m256i g = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(glw + 4 * i));
        const __m256i lit = _mm256_srli_epi16(_mm256_mullo_epi16(level(g), opacity), 8);
        const __m256i e = _mm256_srli_epi16(_mm256_mullo_epi16(_mm256_sub_epi32(white, level(s)), lit), 8);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + 4 * i), _mm256_adds_epu8(s, _mm256_shuffle_epi8(e, spread)));
    }
    return i;
}

// Sixteen pixels a step; with stream, the stores from the first 64-byte
// boundary of dst bypass the cache, so a large target is not read first.
__attribute__((target("avx512f,avx512bw"))) std::size_t DiffuseBlendAvx512(const BYTE* src, const BYTE* glw,
                                                                           BYTE* dst, std::size_t n, int o,
                                                                           bool stream)
{
    const __m512i weights = _mm512_set1_epi32(kLevelWeights), ones = _mm512_set1_epi16(1);
    const __m512i tenth = _mm512_set1_epi32(kTenth), opacity = _mm512_set1_epi32(o);
    const __m512i white = _mm512_set1_epi32(255);
    const __m512i spread = _mm512_set4_epi32(static_cast<int>(0x800C0C0Cu), static_cast<int>(0x80080808u),
                                             static_cast<int>(0x80040404u), static_cast<int>(0x80000000u));
    auto level = [&](__m512i px) __attribute__((target("avx512f,avx512bw"))) {
        return _mm512_mulhi_epu16(_mm512_madd_epi16(_mm512_maddubs_epi16(px, weights), ones), tenth);
    };
    auto blend = [&](std::size_t i) __attribute__((target("avx512f,avx512bw"))) {
        const __m512i s = _mm512_loadu_si512(src + 4 * i);
        const __m512i lit = _mm512_srli_epi16(_mm512_mullo_epi16(level(_mm512_loadu_si512(glw + 4 * i)), opacity), 8);
        const __m512i e = _mm512_srli_epi16(_mm512_mullo_epi16(_mm512_sub_epi32(white, level(s)), lit), 8);
        return _mm512_adds_epu8(s, _mm512_shuffle_epi8(e, spread));
    };
    std::size_t i = 0;
    if (stream && reinterpret_cast<std::uintptr_t>(dst) % 4 == 0) {
        for (; i + 16 <= n && reinterpret_cast<std::uintptr_t>(dst + 4 * i) % 64 != 0; ++i)
            DiffusePixel(src + 4 * i, glw + 4 * i, dst + 4 * i, o);
        for (; i + 16 <= n; i += 16)
            _mm512_stream_si512(reinterpret_cast<__m512i*>(dst + 4 * i), blend(i));
        _mm_sfence(); // the streamed stores are seen before the job ends
        return i;
    }
    for (; i + 16 <= n; i += 16)
        _mm512_storeu_si512(dst + 4 * i, blend(i));
    return i;
}

// n pixels at the active level: the widest path the processor has, the
// plain one for the rest of the run.
void DiffuseBlendRun(const BYTE* src, const BYTE* glw, BYTE* dst, std::size_t n, int o, bool stream)
{
    std::size_t i = 0;
    if (imagecore::ActiveSimdLevel() == imagecore::SimdLevel::Avx2)
        i = imagecore::ActiveAvx512() ? DiffuseBlendAvx512(src, glw, dst, n, o, stream)
                                      : DiffuseBlendAvx2(src, glw, dst, n, o);
    DiffuseBlendSse2(src + 4 * i, glw + 4 * i, dst + 4 * i, n - i, o);
}

// Counts the bright (> 240) and dark (< 100) grey levels of a row and keeps
// its highest, eight pixels a step.
void NightRow(const BYTE* p, int width, long long* bright, long long* dark, int* top)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i tenth = _mm_set1_epi16(6554);
    const __m128i brightLevel = _mm_set1_epi16(240), darkLevel = _mm_set1_epi16(100);
    __m128i brightCount = zero, darkCount = zero, highest = zero;
    int x = 0;
    auto flush = [&] {
        alignas(16) short b[8], d[8];
        _mm_store_si128(reinterpret_cast<__m128i*>(b), brightCount);
        _mm_store_si128(reinterpret_cast<__m128i*>(d), darkCount);
        for (int i = 0; i < 8; ++i) {
            // The counts went down by one per hit.
            *bright -= b[i];
            *dark -= d[i];
        }
        brightCount = darkCount = zero;
    };
    for (int steps = 0; x + 8 <= width; x += 8) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 4 * x));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 4 * x + 16));
        const __m128i levels = _mm_mulhi_epu16(
            _mm_packs_epi32(LevelSums(_mm_unpacklo_epi8(a, zero), _mm_unpackhi_epi8(a, zero)),
                            LevelSums(_mm_unpacklo_epi8(b, zero), _mm_unpackhi_epi8(b, zero))),
            tenth);
        brightCount = _mm_add_epi16(brightCount, _mm_cmpgt_epi16(levels, brightLevel));
        darkCount = _mm_add_epi16(darkCount, _mm_cmplt_epi16(levels, darkLevel));
        highest = _mm_max_epi16(highest, levels);
        if (++steps == 16384) {
            flush();
            steps = 0;
        }
    }
    flush();
    alignas(16) short h[8];
    _mm_store_si128(reinterpret_cast<__m128i*>(h), highest);
    for (short v : h)
        *top = std::max<int>(*top, v);
    for (; x < width; ++x) {
        const BYTE* q = p + 4 * x;
        const int l = (6 * q[1] + 3 * q[2] + q[0]) / 10;
        *bright += l > 240;
        *dark += l < 100;
        *top = std::max(*top, l);
    }
}

} // namespace

int HighlightDiffuseBlend(void* param, FilterHost* host)
{
    CQLImage* source = host->GetSource();
    CQLImage* target = host->GetTarget();
    if (!param || !source || !target || host->GetImages().empty())
        return E_FAIL;
    const CQLImage* glow = host->GetImages()[0];
    const SIZE s = SizeOf(*source), g = SizeOf(*glow);
    if (s.cx == 0 || s.cy == 0 || s.cx != g.cx || s.cy != g.cy || target == source || target == glow)
        return E_FAIL;
    if (target->Create(static_cast<UINT>(s.cx), static_cast<UINT>(s.cy)) != 0)
        return 8;
    const int o = std::clamp(*static_cast<const int*>(param), 0, 100) * 255 / 100;
    std::atomic<bool> cancelled{false};
    host->Progress(0);
    const bool stream = pointkernels::Streams(target->GetAreaByteSize());
    imagecore::ParallelFor(0, s.cy, static_cast<size_t>(s.cx), [&](int y0, int y1) {
        // Runs of up to 64 whole rows, contiguous in all three images.
        for (int y = y0; y < y1 && !cancelled.load(std::memory_order_relaxed); y += 64) {
            // Any thread may see the cancel; the flag it clears is kept here.
            if (host->TestCancel())
                cancelled = true;
            const std::size_t n = static_cast<std::size_t>(s.cx) * static_cast<std::size_t>(std::min(64, y1 - y));
            DiffuseBlendRun(source->GetBuffer(0, y), glow->GetBuffer(0, y), target->GetBuffer(0, y), n, o, stream);
        }
    });
    if (cancelled)
        return E_FAIL;
    host->Progress(100);
    return 0;
}

// --- Quillo Sharpen and Advanced Skin Clean -----------------------------------

UnsharpMaskParams SharpenParams(bool autoMode, int radius, int amount, int threshold)
{
    if (autoMode)
        return UnsharpMaskParams{64, 50, 0};
    return UnsharpMaskParams{2 * radius, 2 * amount, threshold};
}

int SkinCleanStartRadius(int width, int height)
{
    return std::clamp(static_cast<int>(2 * HalfDiagonal(width, height) * 0.0125), 2, 32);
}

AdvancedSkinCleanParams SkinCleanParams(int skinLevel, int wholeImage, int morePink, int radius, int userNoiseReduction,
                                        int fakeTexture, int amount)
{
    AdvancedSkinCleanParams p{};
    p.whitening = skinLevel;
    p.brightness = wholeImage + 50;
    p.tint = morePink;
    p.blurRadius = radius;
    p.useMaskedBlur = userNoiseReduction ? 0 : 1;
    p.grain = fakeTexture;
    p.smoothPercent = amount;
    p.maskReady = 0;
    return p;
}

// --- Gradient Filter ---------------------------------------------------------

GradientFilterParams GradientParams(int mode, int exposure, CPixel first, CPixel second, int start, int end, int amount,
                                    int rotate)
{
    GradientFilterParams p{};
    p.tintMode = mode;
    p.offset = exposure - 50;
    p.colorStart = mode == 0 ? CPixel{0, 0, 0, 0} : first;
    p.colorEnd = mode == 0 ? CPixel{255, 255, 255, 255} : second;
    p.startPercent = start;
    p.endPercent = end;
    p.amount = amount;
    p.angle = rotate * 2 * M_PI / 100;
    return p;
}

CPixel NormaliseSwatch(CPixel colour)
{
    CPixel hsb = qlcodec::RgbToHsb(colour);
    hsb.b = 128;
    return qlcodec::HsbToRgb(hsb);
}

int DragStartMarker(int x, int endPercent, int width)
{
    width = std::max(width, 1);
    const int limit = BandX(endPercent, width) - kMarkerWidth - kMarkerGap - kMarkerWidth;
    // Rounded down, so the pixel position it gives back keeps the gap.
    const int highest = limit < 0 ? -1 : limit * 100 / width;
    return std::clamp(x * 100 / width, 0, std::max(0, highest));
}

int DragEndMarker(int x, int startPercent, int width)
{
    width = std::max(width, 1);
    const int limit = BandX(startPercent, width) + kMarkerWidth + kMarkerGap + kMarkerWidth;
    // Rounded up, for the same reason.
    const int lowest = (limit * 100 + width - 1) / width;
    return std::clamp(x * 100 / width, std::min(100, lowest), 100);
}

CPixel BandColour(int x, int width, int start, int end, CPixel first, CPixel second)
{
    width = std::max(width, 1);
    const int p = x * 100 / width;
    if (p < start)
        return first;
    if (p > end)
        return second;
    const int weight = std::clamp((p - start) * 255 / std::max(1, end - start), 0, 255);
    auto mix = [weight](BYTE a, BYTE b) { return static_cast<BYTE>((a * (255 - weight) + b * weight) / 255); };
    return CPixel{mix(first.b, second.b), mix(first.g, second.g), mix(first.r, second.r), 255};
}

CPixel Checker(int x, int y)
{
    const BYTE v = (x / 10 + y / 10) % 2 ? 240 : 128;
    return CPixel{v, v, v, 255};
}

void DrawLens(const GradientFilterAlgorithm& filter, int w, int h, CQLImage* lens)
{
    if (w <= 0 || h <= 0 || lens->Create(static_cast<UINT>(w), static_cast<UINT>(h)) != 0)
        return;
    const int R = std::max(1, std::min(w, h) / 2 - 5);
    const double cx = w / 2.0, cy = h / 2.0;
    // The glass itself is a mid grey that the filter brightens or tints.
    const CPixel glass{128, 128, 128, 255};
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const double d = std::hypot(x - cx, y - cy);
            CPixel c = Checker(x, y);
            if (d < R) {
                c = filter.FilterPixel(static_cast<int>(x - cx), static_cast<int>(y - cy), R, glass);
            } else if (d <= R + 2) {
                const double k = std::fabs(d - (R + 1)) * 255 / 256;
                c = CPixel{static_cast<BYTE>(c.b * k), static_cast<BYTE>(c.g * k), static_cast<BYTE>(c.r * k), 255};
            }
            c.a = 255;
            lens->PutPixel(x, y, c);
        }
}

// --- Lose Focus Blur ---------------------------------------------------------

LensScale LensScaleFor(int radius, int width, int height)
{
    if (radius < 7)
        return LensScale{1.0, radius, width, height};
    const double f = std::min(radius / 6.0, 2.0);
    return LensScale{f, static_cast<int>(radius / f), std::max(1, static_cast<int>(width / f)),
                     std::max(1, static_cast<int>(height / f))};
}

bool BuildAperture(const CQLImage& shapes, int channel, int r, BYTE* aperture)
{
    const SIZE s = SizeOf(shapes);
    if (r < 1 || r > 64 || s.cx == 0 || s.cy == 0 || channel < 0 || channel > 2)
        return false;
    std::memset(aperture, 0, 128 * 128);
    const int side = 2 * r;
    const int byteIndex = 2 - channel;  // red, green, blue in B, G, R order
    for (int i = 0; i < side; ++i)
        for (int j = 0; j < side; ++j) {
            const int x = std::clamp(static_cast<int>(static_cast<double>(j) * s.cx / side + 0.5), 0, static_cast<int>(s.cx) - 1);
            const int y = std::clamp(static_cast<int>(static_cast<double>(i) * s.cy / side + 0.5), 0, static_cast<int>(s.cy) - 1);
            aperture[i * 128 + j] = shapes.GetBuffer(x, y)[byteIndex] > 128 ? 1 : 0;
        }
    return true;
}

namespace {
thread_local ProgressCallback t_pipelineCallback = nullptr;
thread_local std::atomic<int>* t_pipelineCancel = nullptr;
thread_local LoseFocusBlurAlgorithm* t_pipelineBlur = nullptr;

// The blur's progress goes on to the job's callback, and a cancel of the job
// reaches the blur.
int ForwardProgress(int code, int value)
{
    if (t_pipelineCancel && t_pipelineCancel->load() && t_pipelineBlur)
        t_pipelineBlur->Cancel();
    return t_pipelineCallback ? t_pipelineCallback(code, value) : 0;
}
} // namespace

HRESULT LensBlurPipeline::Apply(const void* params)
{
    if (EffectAlgorithm::Apply(params) != 0 || !params || !shapePicture || target == source)
        return E_FAIL;
    const auto* in = static_cast<const LoseFocusParams*>(params);
    const SIZE s = SizeOf(*source);
    const LensScale scale = LensScaleFor(in->radius, s.cx, s.cy);
    block.radius = scale.radius;
    block.highlights = in->highlights;
    if (!BuildAperture(*shapePicture, shapeChannel, scale.radius, block.aperture))
        return E_FAIL;
    CQLImageCodec codec;
    const bool full = scale.factor == 1.0;
    if (!full && !codec.Resample(source, &small, scale.width, scale.height, 0))
        return E_FAIL;
    Progress(5);
    blur.SetImages(full ? source : &small, full ? target : &blurred);
    blur.SetRange(RangeAt(5), RangeAt(full ? 100 : 90));
    t_pipelineCallback = callback;
    t_pipelineCancel = &cancelRequested;
    t_pipelineBlur = &blur;
    blur.SetCallback(ForwardProgress);
    if (cancelRequested.load())
        blur.Cancel();
    const HRESULT hr = blur.Apply(&block);
    t_pipelineBlur = nullptr;
    t_pipelineCancel = nullptr;
    small.Free();
    if (hr != 0 || TestCancel())
        return E_FAIL;
    if (!full) {
        const bool ok = codec.Resample(&blurred, target, s.cx, s.cy, 1) != 0;
        blurred.Free();
        if (!ok)
            return E_FAIL;
    }
    Progress(100);
    return 0;
}

// --- Digital Star Light Filter -----------------------------------------------

bool BuildStar(const CQLImage& picture, int size, int rotate, int shape, CQLImage* star)
{
    const SIZE p = SizeOf(picture);
    if (p.cx == 0 || p.cy == 0 || size < 1 || shape < 0 || shape > 2)
        return false;
    const int side = 2 * size;
    CQLImageCodec codec;
    CQLImage resized, turned;
    if (!codec.Resample(&picture, &resized, side, side, 1))
        return false;
    const double degrees = rotate * 0.0314 * 180.0 / M_PI;
    if (!codec.Rotate(&resized, &turned, static_cast<float>(degrees)))
        return false;
    if (star->Create(static_cast<UINT>(side), static_cast<UINT>(side)) != 0)
        return false;
    const SIZE t = SizeOf(turned);
    const int channel = StarChannel(shape);
    const long long r2 = static_cast<long long>(size) * size;
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            const int dx = x - size, dy = y - size;
            BYTE v = 0;
            if (static_cast<long long>(dx) * dx + static_cast<long long>(dy) * dy <= r2) {
                const int tx = std::clamp<int>(t.cx / 2 + dx, 0, t.cx - 1);
                const int ty = std::clamp<int>(t.cy / 2 + dy, 0, t.cy - 1);
                v = turned.GetBuffer(tx, ty)[channel];
            }
            star->PutPixel(x, y, CPixel{v, v, v, 255});
        }
    return true;
}

void ColourStar(CQLImage* star)
{
    const SIZE s = SizeOf(*star);
    const int half = std::max<int>(1, s.cx / 2);
    for (int y = 0; y < s.cy; ++y)
        for (int x = 0; x < s.cx; ++x) {
            BYTE* p = star->GetBuffer(x, y);
            if (p[2] == 0)
                continue;
            const int hue = std::min(255, static_cast<int>(std::hypot(x - half, y - half) * 255 / half));
            const CPixel c = qlcodec::HsbToRgb(CPixel{static_cast<BYTE>(p[2] * 2 / 3), 255, static_cast<BYTE>(hue), 255});
            p[0] = c.b;
            p[1] = c.g;
            p[2] = c.r;
        }
}

NightTest NightShotTest(const CQLImage& image)
{
    const SIZE s = SizeOf(image);
    std::atomic<long long> bright{0}, dark{0};
    std::atomic<int> highest{0};
    imagecore::ParallelFor(0, s.cy, static_cast<size_t>(s.cx), [&](int y0, int y1) {
        long long b = 0, d = 0;
        int top = 0;
        for (int y = y0; y < y1; ++y)
            NightRow(image.GetBuffer(0, y), s.cx, &b, &d, &top);
        bright += b;
        dark += d;
        int seen = highest.load();
        while (top > seen && !highest.compare_exchange_weak(seen, top)) {
        }
    });
    const long long total = static_cast<long long>(s.cx) * s.cy;
    NightTest t{};
    t.highest = highest.load();
    t.bright = bright.load();
    t.dark = dark.load();
    t.nightShot = total > 0 && t.dark * 10 >= total * 3 && t.bright * 10 <= total && t.bright >= 10;
    t.range = std::max(t.highest - 11, 230);
    return t;
}

// --- Logo image settings -----------------------------------------------------

RECT LogoPhotoRect(const RECT& panel)
{
    return RECT{panel.left + 30, panel.top + 30, panel.right - 30, panel.bottom - 30};
}

POINT LogoClickPercent(POINT click, const RECT& photo)
{
    const int w = std::max<int>(1, photo.right - photo.left), h = std::max<int>(1, photo.bottom - photo.top);
    return POINT{(click.x - photo.left) * 100 / w, (click.y - photo.top) * 100 / h};
}

RECT LogoBox(const RECT& photo, int x, int y, int size)
{
    const int w = photo.right - photo.left, h = photo.bottom - photo.top;
    const int left = photo.left + w * x / 100, top = photo.top + h * y / 100;
    const int side = h * size / 100;
    return RECT{left, top, left + side, top + side};
}

int SpinValue(int value, int delta, int lo, int hi)
{
    return std::clamp(value - delta, lo, hi);
}

} // namespace repair
