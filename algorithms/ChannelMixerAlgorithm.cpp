#include "algorithms/ChannelMixerAlgorithm.h"

#include "algorithms/PointKernels.h"
#include "algorithms/PointRows.h"
#include "imagecore/Simd.h"
#include "platform/codec/ColorForms.h"

#include <algorithm>
#if defined(__x86_64__)
#include <immintrin.h>
#endif
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

template <class T>
BYTE ClampLevel(T v)
{
    return static_cast<BYTE>(v < 0 ? 0 : (v > 255 ? 255 : v));
}

// One output: constant + (R wr + G wg + B wb) / 100, in T.
template <class T>
struct MixRow {
    T r, g, b, constant;

    MixRow(const INT* row, long long constant_)
        : r(static_cast<T>(row[0])), g(static_cast<T>(row[1])), b(static_cast<T>(row[2])), constant(static_cast<T>(constant_))
    {
    }
    T Mix(const BYTE* p) const { return (p[2] * r + p[1] * g + p[0] * b) / 100; }
};

// The weights come from theme files unchecked: 32-bit sums when they cannot
// overflow, else 64-bit.
bool FitsInt(const INT* row)
{
    return std::abs(static_cast<long long>(row[0])) + std::abs(static_cast<long long>(row[1]))
               + std::abs(static_cast<long long>(row[2]))
           < 8000000;
}

template <class T>
void MixColourRow(const BYTE* s, BYTE* p, int width, const MixRow<T>& br, const MixRow<T>& gr, const MixRow<T>& rr)
{
    for (int x = 0; x < width; ++x, p += 4, s += 4) {
        const T b = br.constant + br.Mix(s);
        const T g = gr.constant + gr.Mix(s);
        const T r = rr.constant + rr.Mix(s);
        p[0] = ClampLevel(b);
        p[1] = ClampLevel(g);
        p[2] = ClampLevel(r);
        p[3] = s[3];
    }
}

// The 32-bit mix in a form the compiler turns into vector code: plain
// indices, weights in locals. An in-place run (p == s) takes the scalar
// branch that the compiler keeps for overlapping rows.
[[gnu::always_inline]] inline void MixColourRowInt(const BYTE* s, BYTE* p, int width, const MixRow<int>& br,
                                                   const MixRow<int>& gr, const MixRow<int>& rr)
{
    const int br0 = br.r, br1 = br.g, br2 = br.b, bc = br.constant;
    const int gr0 = gr.r, gr1 = gr.g, gr2 = gr.b, gc = gr.constant;
    const int rr0 = rr.r, rr1 = rr.g, rr2 = rr.b, rc = rr.constant;
    for (int x = 0; x < width; ++x) {
        const int b = s[4 * x], g = s[4 * x + 1], r = s[4 * x + 2];
        const BYTE a = s[4 * x + 3];
        p[4 * x] = ClampLevel(bc + (r * br0 + g * br1 + b * br2) / 100);
        p[4 * x + 1] = ClampLevel(gc + (r * gr0 + g * gr1 + b * gr2) / 100);
        p[4 * x + 2] = ClampLevel(rc + (r * rr0 + g * rr1 + b * rr2) / 100);
        p[4 * x + 3] = a;
    }
}

// The last argument asks for stores past the cache (a large target); only
// the widest loop has them.
using MixRowFn = void (*)(const BYTE*, BYTE*, int, const MixRow<int>&, const MixRow<int>&, const MixRow<int>&, bool);

__attribute__((optimize("no-tree-vectorize"))) void MixRowScalar(const BYTE* s, BYTE* p, int width,
                                                                  const MixRow<int>& br, const MixRow<int>& gr,
                                                                  const MixRow<int>& rr, bool)
{
    MixColourRowInt(s, p, width, br, gr, rr);
}

#if defined(__x86_64__)
// SSE4.1 brings the 32-bit multiply that the vector loop needs.
__attribute__((target("sse4.1"), optimize("tree-vectorize"))) void MixRowSse4(const BYTE* s, BYTE* p, int width,
                                                                              const MixRow<int>& br,
                                                                              const MixRow<int>& gr,
                                                                              const MixRow<int>& rr, bool)
{
    MixColourRowInt(s, p, width, br, gr, rr);
}

// t / 100 truncated toward zero for any 32-bit t: the high half of
// t * 1374389535, shifted by 5, plus one for negative t.
__attribute__((target("avx2"))) __m256i Div100Avx2(__m256i t)
{
    const __m256i m = _mm256_set1_epi32(1374389535);
    const __m256i even = _mm256_srli_epi64(_mm256_mul_epi32(t, m), 32);
    const __m256i odd = _mm256_mul_epi32(_mm256_srli_epi64(t, 32), m);
    const __m256i high = _mm256_blend_epi32(even, odd, 0xAA);
    return _mm256_sub_epi32(_mm256_srai_epi32(high, 5), _mm256_srai_epi32(t, 31));
}

// One output's weights and constant in every lane, loaded once a row: the
// byte stores of the loop could alias the row's fields.
struct MixWeights {
    __m256i r, g, b, constant;
};

__attribute__((target("avx2"))) MixWeights WeightsOf(const MixRow<int>& row)
{
    return {_mm256_set1_epi32(row.r), _mm256_set1_epi32(row.g), _mm256_set1_epi32(row.b),
            _mm256_set1_epi32(row.constant)};
}

// constant + (R wr + G wg + B wb) / 100 of eight pixels, clamped to 0..255.
__attribute__((target("avx2"))) __m256i MixAvx2(__m256i r, __m256i g, __m256i b, const MixWeights& w)
{
    const __m256i sum = _mm256_add_epi32(_mm256_add_epi32(_mm256_mullo_epi32(r, w.r), _mm256_mullo_epi32(g, w.g)),
                                         _mm256_mullo_epi32(b, w.b));
    const __m256i v = _mm256_add_epi32(w.constant, Div100Avx2(sum));
    return _mm256_min_epi32(_mm256_max_epi32(v, _mm256_setzero_si256()), _mm256_set1_epi32(255));
}

__attribute__((target("avx2"))) void MixRowAvx2(const BYTE* s, BYTE* p, int width, const MixRow<int>& br,
                                                const MixRow<int>& gr, const MixRow<int>& rr, bool)
{
    const __m256i alpha = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
    const __m256i takeB = _mm256_setr_epi8(0, -1, -1, -1, 4, -1, -1, -1, 8, -1, -1, -1, 12, -1, -1, -1, 0, -1, -1, -1,
                                           4, -1, -1, -1, 8, -1, -1, -1, 12, -1, -1, -1);
    const __m256i takeG = _mm256_add_epi8(takeB, _mm256_set1_epi32(1));
    const __m256i takeR = _mm256_add_epi8(takeB, _mm256_set1_epi32(2));
    const MixWeights wb = WeightsOf(br), wg = WeightsOf(gr), wr = WeightsOf(rr);
    int x = 0;
    for (; x + 8 <= width; x += 8) {
        const __m256i px = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + 4 * x));
        const __m256i b = _mm256_shuffle_epi8(px, takeB);
        const __m256i g = _mm256_shuffle_epi8(px, takeG);
        const __m256i r = _mm256_shuffle_epi8(px, takeR);
        const __m256i out = _mm256_or_si256(
            _mm256_or_si256(MixAvx2(r, g, b, wb), _mm256_slli_epi32(MixAvx2(r, g, b, wg), 8)),
            _mm256_or_si256(_mm256_slli_epi32(MixAvx2(r, g, b, wr), 16), _mm256_and_si256(px, alpha)));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(p + 4 * x), out);
    }
    MixColourRowInt(s + 4 * x, p + 4 * x, width - x, br, gr, rr);
}

// GCC 12's AVX-512 header fills unused lanes from a deliberately
// uninitialised value, which the warnings below would report in every caller.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wuninitialized"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

// The AVX2 loop on sixteen pixels a step.
__attribute__((target("avx512f,avx512bw"))) __m512i Div100Avx512(__m512i t)
{
    const __m512i m = _mm512_set1_epi32(1374389535);
    const __m512i even = _mm512_srli_epi64(_mm512_mul_epi32(t, m), 32);
    const __m512i odd = _mm512_mul_epi32(_mm512_srli_epi64(t, 32), m);
    const __m512i high = _mm512_mask_blend_epi32(0xAAAA, even, odd);
    return _mm512_sub_epi32(_mm512_srai_epi32(high, 5), _mm512_srai_epi32(t, 31));
}

struct MixWeights512 {
    __m512i r, g, b, constant;
};

__attribute__((target("avx512f,avx512bw"))) MixWeights512 Weights512Of(const MixRow<int>& row)
{
    return {_mm512_set1_epi32(row.r), _mm512_set1_epi32(row.g), _mm512_set1_epi32(row.b),
            _mm512_set1_epi32(row.constant)};
}

__attribute__((target("avx512f,avx512bw"))) __m512i MixAvx512(__m512i r, __m512i g, __m512i b,
                                                                const MixWeights512& w)
{
    const __m512i sum = _mm512_add_epi32(_mm512_add_epi32(_mm512_mullo_epi32(r, w.r), _mm512_mullo_epi32(g, w.g)),
                                         _mm512_mullo_epi32(b, w.b));
    const __m512i v = _mm512_add_epi32(w.constant, Div100Avx512(sum));
    return _mm512_min_epi32(_mm512_max_epi32(v, _mm512_setzero_si512()), _mm512_set1_epi32(255));
}

// With stream, stores from the first 64-byte boundary of p bypass the cache.
__attribute__((target("avx512f,avx512bw"))) void MixRowAvx512(const BYTE* s, BYTE* p, int width,
                                                                const MixRow<int>& br, const MixRow<int>& gr,
                                                                const MixRow<int>& rr, bool stream)
{
    const __m512i alpha = _mm512_set1_epi32(static_cast<int>(0xFF000000u));
    const __m512i takeB =
        _mm512_broadcast_i32x4(_mm_setr_epi8(0, -1, -1, -1, 4, -1, -1, -1, 8, -1, -1, -1, 12, -1, -1, -1));
    const __m512i takeG = _mm512_add_epi8(takeB, _mm512_set1_epi32(1));
    const __m512i takeR = _mm512_add_epi8(takeB, _mm512_set1_epi32(2));
    const MixWeights512 wb = Weights512Of(br), wg = Weights512Of(gr), wr = Weights512Of(rr);
    auto mix = [&](int x) __attribute__((target("avx512f,avx512bw"))) {
        const __m512i px = _mm512_loadu_si512(s + 4 * x);
        const __m512i b = _mm512_shuffle_epi8(px, takeB);
        const __m512i g = _mm512_shuffle_epi8(px, takeG);
        const __m512i r = _mm512_shuffle_epi8(px, takeR);
        return _mm512_or_si512(
            _mm512_or_si512(MixAvx512(r, g, b, wb), _mm512_slli_epi32(MixAvx512(r, g, b, wg), 8)),
            _mm512_or_si512(_mm512_slli_epi32(MixAvx512(r, g, b, wr), 16), _mm512_and_si512(px, alpha)));
    };
    int x = 0;
    if (stream && reinterpret_cast<std::uintptr_t>(p) % 4 == 0) {
        const int head = static_cast<int>((64 - reinterpret_cast<std::uintptr_t>(p) % 64) % 64 / 4);
        if (head + 16 <= width) {
            MixColourRowInt(s, p, head, br, gr, rr);
            for (x = head; x + 16 <= width; x += 16)
                _mm512_stream_si512(reinterpret_cast<__m512i*>(p + 4 * x), mix(x));
            _mm_sfence(); // the streamed stores are seen before the rows are handed on
        }
    }
    for (; x + 16 <= width; x += 16)
        _mm512_storeu_si512(p + 4 * x, mix(x));
    MixColourRowInt(s + 4 * x, p + 4 * x, width - x, br, gr, rr);
}
#pragma GCC diagnostic pop
#endif

MixRowFn PickMixRow()
{
#if defined(__x86_64__)
    switch (imagecore::ActiveSimdLevel()) {
    case imagecore::SimdLevel::Avx2: return imagecore::ActiveAvx512() ? MixRowAvx512 : MixRowAvx2;
    case imagecore::SimdLevel::Sse4: return MixRowSse4;
    default: break;
    }
#endif
    return MixRowScalar;
}

} // namespace

HRESULT ChannelMixerAlgorithm::Apply(const void* params)
{
    if (EffectAlgorithm::Apply(params) != 0 || !params)
        return E_FAIL;
    std::memcpy(&param, params, sizeof param);
    if (!SizeTargetLikeSource(source, target))
        return E_FAIL;

    UINT w = 0, h = 0;
    source->GetSize(&w, &h);
    const int width = static_cast<int>(w), height = static_cast<int>(h);
    bool done;
    if (param.lumaOnly == 0) {
        const long long cb = static_cast<long long>(param.blue[3]) * 255 / 100;
        const long long cg = static_cast<long long>(param.green[3]) * 255 / 100;
        const long long cr = static_cast<long long>(param.red[3]) * 255 / 100;
        const bool small = FitsInt(param.blue) && FitsInt(param.green) && FitsInt(param.red)
                           && std::max({std::abs(cb), std::abs(cg), std::abs(cr)}) < 1000000000;
        if (small) {
            const MixRow<int> br(param.blue, cb), gr(param.green, cg), rr(param.red, cr);
            const MixRowFn mixRow = PickMixRow();
            const bool stream = pointkernels::Streams(target->GetAreaByteSize());
            done = ForEachRow(*this, width, height, 0, 100, [&](int y) {
                mixRow(source->GetBuffer(0, y), target->GetBuffer(0, y), width, br, gr, rr, stream);
            });
        } else {
            const MixRow<long long> br(param.blue, cb), gr(param.green, cg), rr(param.red, cr);
            done = ForEachRow(*this, width, height, 0, 100, [&](int y) {
                MixColourRow(source->GetBuffer(0, y), target->GetBuffer(0, y), width, br, gr, rr);
            });
        }
    } else {
        Progress(20);
        const MixRow<long long> luma(param.luma, param.luma[3]);
        done = ForEachRow(*this, width, height, 20, 100, [&](int y) {
            const BYTE* s = source->GetBuffer(0, y);
            BYTE* p = target->GetBuffer(0, y);
            for (int x = 0; x < width; ++x, p += 4, s += 4) {
                const BYTE lumaByte = ClampLevel(luma.Mix(s) + luma.constant);
                std::memcpy(p, s, 4);
                qlcodec::RgbToYuvPixel(p);
                p[2] = lumaByte;
                qlcodec::YuvToRgbPixel(p);
            }
        });
    }
    if (!done)
        return E_FAIL;
    Progress(100);
    return 0;
}
