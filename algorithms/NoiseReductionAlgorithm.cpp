#include "algorithms/NoiseReductionAlgorithm.h"

#include "algorithms/NumericHelpers.h"
#include "algorithms/RowProgress.h"
#include "imagecore/ParallelFor.h"
#include "platform/codec/ColorForms.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr int kTaps[17] = {1, 5, 14, 35, 71, 124, 186, 236, 256, 236, 186, 124, 71, 35, 14, 5, 1};
constexpr int kTapSum = 1600;

// Byte 2 (the luminance) of pixel x in a row of 4-byte pixels.
inline int Luma(const BYTE* row, int x)
{
    return row[x * 4 + 2];
}

// Offsets (dx, dy) of the two neighbours along directions 1..4: left/right,
// above/below, above-left/below-right, above-right/below-left.
constexpr int kAlongX[5][2] = {{0, 0}, {-1, 1}, {0, 0}, {-1, 1}, {1, -1}};
constexpr int kAlongY[5][2] = {{0, 0}, {0, 0}, {-1, 1}, {-1, 1}, {-1, 1}};

bool CopyChannel(const CQLChannel& from, CQLChannel& to)
{
    return to.DuplicateFrom(&from) != 0;
}

} // namespace

NoiseReductionAlgorithm::~NoiseReductionAlgorithm() = default;

HRESULT NoiseReductionAlgorithm::Abandon()
{
    // A cancel or a failure never hands back a target in YUV.
    ConvertRowsYuv(*target, width, height, false);
    return E_FAIL;
}

HRESULT NoiseReductionAlgorithm::Apply(const void* params)
{
    if (EffectAlgorithm::Apply(params) != 0 || !params || source == target)
        return E_FAIL;
    NoiseReductionParams p;
    std::memcpy(&p, params, sizeof p);
    // Beyond 15 the smoothing weight would pass 255 and wrap.
    strength = std::clamp(static_cast<int>(p.strength), 0, 15);
    reduceColorSpots = p.reduceColorSpots;
    UINT w = 0, h = 0;
    source->GetSize(&w, &h);
    width = static_cast<int>(w);
    height = static_cast<int>(h);
    if (!CopySourceToTarget())
        return E_FAIL;
    ConvertRowsYuv(*target, width, height, true);

    if (!DetectEdges(*target) || !SupportEdges() || !EdgeStrength())
        return Abandon();
    Progress(5);
    EstimateNoise(*target);
    Progress(12);
    if (TestCancel())
        return Abandon();
    if (!MakeGrey())
        return Abandon();
    RemoveSpikes();
    Progress(20);
    if (TestCancel())
        return Abandon();
    if (!SmoothEdgeMap())
        return Abandon();
    StretchEdgeMap();
    Progress(40);
    if (TestCancel())
        return Abandon();
    if (!SmoothLuminance())
        return Abandon();
    Progress(50);
    if (TestCancel())
        return Abandon();
    if (reduceColorSpots && !SmoothChroma())
        return Abandon();
    Progress(85);
    if (TestCancel())
        return Abandon();
    if (!DetectEdges(*target) || !EdgeStrength())
        return Abandon();
    Progress(90);
    if (TestCancel())
        return Abandon();
    RestoreShadows();
    Progress(95);
    if (TestCancel())
        return Abandon();
    if (!AverageAlongEdges())
        return Abandon();
    ConvertRowsYuv(*target, width, height, false);
    Progress(100);
    return 0;
}

bool NoiseReductionAlgorithm::DetectEdges(const CQLImage& yuv)
{
    UINT w = 0, h = 0;
    yuv.GetSize(&w, &h);
    width = static_cast<int>(w);
    height = static_cast<int>(h);
    if (edgeMap.Create(width, height) != 0 || directionMap.Create(width, height) != 0)
        return false;
    std::memset(edgeMap.GetBuffer(0, 0), 0, edgeMap.GetAreaByteSize());
    std::memset(directionMap.GetBuffer(0, 0), 0, directionMap.GetAreaByteSize());
    imagecore::ParallelFor(1, height - 1, static_cast<std::size_t>(width), [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            const BYTE* up = yuv.GetBuffer(0, y - 1);
            const BYTE* mid = yuv.GetBuffer(0, y);
            const BYTE* dn = yuv.GetBuffer(0, y + 1);
            BYTE* edge = edgeMap.GetBuffer(0, y);
            BYTE* dir = directionMap.GetBuffer(0, y);
            for (int x = 1; x < width - 1; ++x) {
                const int tl = Luma(up, x - 1), t = Luma(up, x), tr = Luma(up, x + 1);
                const int l = Luma(mid, x - 1), r = Luma(mid, x + 1);
                const int bl = Luma(dn, x - 1), b = Luma(dn, x), br = Luma(dn, x + 1);
                const int resp[4] = {(tl + t + tr - bl - b - br) / 3, (l + tl + bl - r - tr - br) / 3,
                                     (l + bl + b - r - t - tr) / 3, (l + tl + t - r - b - br) / 3};
                int best = 0;
                for (int i = 1; i < 4; ++i)
                    if (std::abs(resp[i]) > std::abs(resp[best]))
                        best = i;
                edge[x] = qlcodec::ClampByte(resp[best] + 128);
                dir[x] = static_cast<BYTE>(best + 1);
            }
        }
    });
    return true;
}

bool NoiseReductionAlgorithm::SupportEdges()
{
    if (!CopyChannel(edgeMap, scratch))
        return false;
    imagecore::ParallelFor(1, height - 1, static_cast<std::size_t>(width), [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            const BYTE* edge[3] = {edgeMap.GetBuffer(0, y - 1), edgeMap.GetBuffer(0, y), edgeMap.GetBuffer(0, y + 1)};
            const BYTE* dir[3] = {directionMap.GetBuffer(0, y - 1), directionMap.GetBuffer(0, y),
                                  directionMap.GetBuffer(0, y + 1)};
            BYTE* out = scratch.GetBuffer(0, y);
            for (int x = 1; x < width - 1; ++x) {
                const int g = edge[1][x] - 128;
                const int half = std::abs(g) / 2;
                const int d = dir[1][x];
                int weight = 256;
                for (int k = 0; k < 2; ++k) {
                    const int nx = x + kAlongX[d][k], row = 1 + kAlongY[d][k];
                    if (dir[row][nx] == d && std::abs(edge[row][nx] - 128) > half)
                        weight += 128;
                }
                out[x] = qlcodec::ClampByte(weight * g / 512 + 128);
            }
        }
    });
    std::swap(edgeMap, scratch);
    return true;
}

bool NoiseReductionAlgorithm::EdgeStrength()
{
    if (!CopyChannel(edgeMap, scratch))
        return false;
    std::memset(edgeMap.GetBuffer(0, 0), 0, edgeMap.GetAreaByteSize());
    // The four extra samples lie across the edge: above/below for direction 1,
    // left/right for 2, the rising diagonal for 3, the falling one for 4.
    static constexpr int kAcrossX[5] = {0, 0, 1, 1, 1};
    static constexpr int kAcrossY[5] = {0, 1, 0, -1, 1};
    imagecore::ParallelFor(3, height - 3, static_cast<std::size_t>(width) * 2, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            const BYTE* rows[7];
            for (int j = 0; j < 7; ++j)
                rows[j] = scratch.GetBuffer(0, y - 3 + j);
            const BYTE* dir = directionMap.GetBuffer(0, y);
            BYTE* out = edgeMap.GetBuffer(0, y);
            for (int x = 3; x < width - 3; ++x) {
                int sum = 0;
                for (int j = 2; j <= 4; ++j)
                    sum += rows[j][x - 1] + rows[j][x] + rows[j][x + 1];
                const int d = dir[x];
                const int ax = kAcrossX[d], ay = kAcrossY[d];
                for (int k = 2; k <= 3; ++k)
                    sum += rows[3 + k * ay][x + k * ax] + rows[3 - k * ay][x - k * ax];
                int v = std::abs(sum / 13 - 128) * 4;
                if (v >= 253)
                    v = 255;
                out[x] = static_cast<BYTE>(v);
            }
        }
    });
    return true;
}

void NoiseReductionAlgorithm::EstimateNoise(const CQLImage& yuv)
{
    const int blocksX = width / 32, blocksY = height / 32;
    int flat = 0;
    int level = 255;
    for (int by = 0; by < blocksY; ++by) {
        for (int bx = 0; bx < blocksX; ++bx) {
            int luma = 0;
            int largest = 0;
            for (int y = by * 32; y < by * 32 + 32; ++y) {
                const BYTE* row = yuv.GetBuffer(0, y);
                const BYTE* edge = edgeMap.GetBuffer(0, y);
                for (int x = bx * 32; x < bx * 32 + 32; ++x) {
                    if (Luma(row, x) != 0)
                        luma = Luma(row, x);
                    largest = std::max(largest, static_cast<int>(edge[x]));
                }
            }
            if (luma < 160) {
                ++flat;
                level = std::min(level, largest);
            }
        }
    }
    noiseLevel = level;
    if (blocksY == 0 || flat <= 9) {
        noiseLevel = 8;
        return;
    }
    BYTE lut[256];
    for (int v = 0; v < 256; ++v)
        lut[v] = v >= noiseLevel ? static_cast<BYTE>(std::min(255, (v - noiseLevel) * 255 / 32)) : 0;
    BYTE* e = edgeMap.GetBuffer(0, 0);
    for (UINT i = 0; i < edgeMap.GetAreaByteSize(); ++i)
        e[i] = lut[e[i]];
}

bool NoiseReductionAlgorithm::MakeGrey()
{
    // The grey level goes into a plane of its own: the source stays as handed in.
    if (grey.Create(width, height) != 0)
        return false;
    imagecore::ParallelFor(0, height, static_cast<std::size_t>(width), [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            const CPixel* p = reinterpret_cast<const CPixel*>(source->GetBuffer(0, y));
            BYTE* g = grey.GetBuffer(0, y);
            for (int x = 0; x < width; ++x)
                g[x] = static_cast<BYTE>(p[x].GetGray2());
        }
    });
    return true;
}

void NoiseReductionAlgorithm::RemoveSpikes()
{
    const int level = noiseLevel;
    imagecore::ParallelFor(1, height - 1, static_cast<std::size_t>(width), [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            for (int x = 1; x < width - 1; ++x) {
                const int e = edgeMap.Get(x, y);
                if (e <= 2 || e >= level || edgeMap.Get(x, y - 1) > level || edgeMap.Get(x - 1, y) > level
                    || edgeMap.Get(x + 1, y) > level || edgeMap.Get(x, y + 1) > level)
                    continue;
                const int t = grey.Get(x, y - 1), l = grey.Get(x - 1, y), r = grey.Get(x + 1, y), b = grey.Get(x, y + 1);
                const int c = grey.Get(x, y);
                const int sum = t + l + r + b;
                const int v = std::abs(sum - 4 * c) / 4;
                if (v <= 4 || v >= 2 * level)
                    continue;
                if (c > std::max(std::max(t, l), std::max(r, b)) || c < std::min(std::min(t, l), std::min(r, b)))
                    target->GetBuffer(x, y)[2] = static_cast<BYTE>(sum >> 2);
            }
        }
    });
}

bool NoiseReductionAlgorithm::SmoothEdgeMap()
{
    for (int round = 0; round < 2; ++round) {
        if (!CopyChannel(edgeMap, scratch))
            return false;
        imagecore::ParallelFor(1, height - 1, static_cast<std::size_t>(width), [&](int y0, int y1) {
            for (int y = y0; y < y1; ++y) {
                const BYTE* up = edgeMap.GetBuffer(0, y - 1);
                const BYTE* mid = edgeMap.GetBuffer(0, y);
                const BYTE* dn = edgeMap.GetBuffer(0, y + 1);
                BYTE* out = scratch.GetBuffer(0, y);
                for (int x = 1; x < width - 1; ++x)
                    out[x] = static_cast<BYTE>((8 * mid[x] + 2 * (up[x] + mid[x - 1] + mid[x + 1] + dn[x]) + up[x - 1]
                                                + up[x + 1] + dn[x - 1] + dn[x + 1])
                                               / 20);
            }
        });
        // Second pass: vertical and diagonal neighbours two away, the side ones next door.
        imagecore::ParallelFor(2, height - 2, static_cast<std::size_t>(width), [&](int y0, int y1) {
            for (int y = y0; y < y1; ++y) {
                const BYTE* up = scratch.GetBuffer(0, y - 2);
                const BYTE* mid = scratch.GetBuffer(0, y);
                const BYTE* dn = scratch.GetBuffer(0, y + 2);
                BYTE* out = edgeMap.GetBuffer(0, y);
                for (int x = 2; x < width - 2; ++x)
                    out[x] = static_cast<BYTE>((8 * mid[x] + 2 * (up[x] + mid[x - 1] + mid[x + 1] + dn[x]) + up[x - 2]
                                                + up[x + 2] + dn[x - 2] + dn[x + 2])
                                               / 20);
            }
        });
    }
    return true;
}

void NoiseReductionAlgorithm::StretchEdgeMap()
{
    unsigned long long hist[256] = {};
    const BYTE* e = edgeMap.GetBuffer(0, 0);
    const UINT count = edgeMap.GetAreaByteSize();
    for (UINT i = 0; i < count; ++i)
        ++hist[e[i]];
    const unsigned long long share = count / 20;
    int level = 255;
    unsigned long long sum = hist[255];
    while (sum <= share && level > 31)
        sum += hist[--level];
    BYTE lut[256];
    for (int v = 0; v < 256; ++v)
        lut[v] = static_cast<BYTE>(std::min(255, v * 255 / (level + 1)));
    BYTE* m = edgeMap.GetBuffer(0, 0);
    for (UINT i = 0; i < count; ++i)
        m[i] = lut[m[i]];
}

bool NoiseReductionAlgorithm::SmoothLuminance()
{
    int weightOf[256]; // f for each edge value
    for (int e = 0; e < 256; ++e)
        weightOf[e] = (255 - e) * strength / 15;
    std::atomic<bool> failed{false};

    // Rows: each line's results wait in its buffer until the line is done.
    imagecore::ParallelFor(0, height, static_cast<std::size_t>(width) * 17, [&](int y0, int y1) {
        std::vector<WORD> line;
        try {
            line.resize(static_cast<std::size_t>(width));
        } catch (const std::bad_alloc&) {
            failed = true;
            return;
        }
        for (int y = y0; y < y1; ++y) {
            BYTE* row = target->GetBuffer(0, y);
            const BYTE* edge = edgeMap.GetBuffer(0, y);
            for (int x = 0; x < width; ++x) {
                const int lo = std::max(0, x - 8), hi = std::min(width - 1, x + 8);
                int sum = 0, weights = 0;
                for (int i = lo; i <= hi; ++i) {
                    sum += kTaps[i - x + 8] * Luma(row, i);
                    weights += kTaps[i - x + 8];
                }
                const int m = sum / weights, f = weightOf[edge[x]], v = Luma(row, x);
                line[x] = static_cast<WORD>((m * f + (255 - f) * v) >> 8);
            }
            for (int x = 0; x < width; ++x)
                row[x * 4 + 2] = static_cast<BYTE>(line[x]);
        }
    });
    if (failed || scratch.DuplicateFrom(target, 2) == 0)
        return false;

    // Columns, read from a copy of the row results so that rows can go in order.
    imagecore::ParallelFor(0, height, static_cast<std::size_t>(width) * 17, [&](int y0, int y1) {
        std::vector<int> sums;
        try {
            sums.resize(static_cast<std::size_t>(width));
        } catch (const std::bad_alloc&) {
            failed = true;
            return;
        }
        for (int y = y0; y < y1; ++y) {
            const int lo = std::max(0, y - 8), hi = std::min(height - 1, y + 8);
            std::fill(sums.begin(), sums.end(), 0);
            int weights = 0;
            for (int j = lo; j <= hi; ++j) {
                const int k = kTaps[j - y + 8];
                const BYTE* src = scratch.GetBuffer(0, j);
                for (int x = 0; x < width; ++x)
                    sums[x] += k * src[x];
                weights += k;
            }
            BYTE* row = target->GetBuffer(0, y);
            const BYTE* edge = edgeMap.GetBuffer(0, y);
            const BYTE* own = scratch.GetBuffer(0, y);
            for (int x = 0; x < width; ++x) {
                const int m = weights == kTapSum ? sums[x] / kTapSum : sums[x] / weights;
                const int f = weightOf[edge[x]];
                row[x * 4 + 2] = static_cast<BYTE>((m * f + (255 - f) * own[x]) >> 8);
            }
        }
    });
    return !failed;
}

#if defined(__SSE2__)
namespace {

// One window row of the chroma smoothing for 16 samples: those within 8 of
// the centres in both components and off the strongest edges weigh
// 255 - edge. Weights sum in 16-bit lanes (24 rows of 255 at most), the
// weighted components in 32-bit lanes.
struct ChromaSums {
    __m128i weights = _mm_setzero_si128();   // 16-bit, samples 0..7
    __m128i weightsHi = _mm_setzero_si128(); // 16-bit, samples 8..15
    __m128i u[4] = {_mm_setzero_si128(), _mm_setzero_si128(), _mm_setzero_si128(), _mm_setzero_si128()};
    __m128i v[4] = {_mm_setzero_si128(), _mm_setzero_si128(), _mm_setzero_si128(), _mm_setzero_si128()};

    void Add(__m128i us, __m128i vs, __m128i edge, __m128i ownU, __m128i ownV)
    {
        const __m128i zero = _mm_setzero_si128(), seven = _mm_set1_epi8(7), full = _mm_set1_epi8(-1);
        auto near = [&](__m128i a, __m128i b) {
            const __m128i d = _mm_or_si128(_mm_subs_epu8(a, b), _mm_subs_epu8(b, a));
            return _mm_cmpeq_epi8(_mm_min_epu8(d, seven), d);
        };
        const __m128i take = _mm_andnot_si128(_mm_cmpeq_epi8(edge, full), _mm_and_si128(near(us, ownU), near(vs, ownV)));
        const __m128i w = _mm_and_si128(_mm_xor_si128(edge, full), take); // 255 - edge where taken
        const __m128i wLo = _mm_unpacklo_epi8(w, zero), wHi = _mm_unpackhi_epi8(w, zero);
        weights = _mm_add_epi16(weights, wLo);
        weightsHi = _mm_add_epi16(weightsHi, wHi);
        const __m128i uLo = _mm_unpacklo_epi8(us, zero), uHi = _mm_unpackhi_epi8(us, zero);
        const __m128i vLo = _mm_unpacklo_epi8(vs, zero), vHi = _mm_unpackhi_epi8(vs, zero);
        // products below 65536: as unsigned 16-bit halves widened to 32 bits
        auto widen = [&](__m128i a, __m128i b, __m128i* acc) {
            const __m128i lo = _mm_mullo_epi16(a, b), hi = _mm_mulhi_epu16(a, b);
            acc[0] = _mm_add_epi32(acc[0], _mm_unpacklo_epi16(lo, hi));
            acc[1] = _mm_add_epi32(acc[1], _mm_unpackhi_epi16(lo, hi));
        };
        widen(uLo, wLo, u);
        widen(uHi, wHi, u + 2);
        widen(vLo, wLo, v);
        widen(vHi, wHi, v + 2);
    }

    void Store(int* w, int* su, int* sv) const
    {
        alignas(16) WORD ws[16];
        _mm_store_si128(reinterpret_cast<__m128i*>(ws), weights);
        _mm_store_si128(reinterpret_cast<__m128i*>(ws + 8), weightsHi);
        for (int i = 0; i < 16; ++i)
            w[i] = ws[i];
        for (int i = 0; i < 4; ++i) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(su + i * 4), u[i]);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(sv + i * 4), v[i]);
        }
    }
};

inline __m128i Load16(const BYTE* p)
{
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

} // namespace
#endif

bool NoiseReductionAlgorithm::SmoothChroma()
{
    // Blend weight by the component's own value: neutral chroma smooths fully.
    int blendOf[256];
    for (int c = 0; c < 256; ++c) {
        const int d = std::abs(c - 128);
        blendOf[c] = d <= 15 ? 255 : (d <= 48 ? (48 - d) * 255 / 32 : 0);
    }
    auto blend = [&](int mean, int c) { return static_cast<BYTE>((blendOf[c] * mean + (255 - blendOf[c]) * c) / 255); };
    std::atomic<bool> failed{false};
    constexpr int kBefore = 12, kAfter = 11; // the window k - 12 .. k + 11
    constexpr int kPadded = 16;              // spare samples on each side of a line

    {
        RowProgress progress(*this, height, 50, 65);
        imagecore::ParallelFor(0, height, static_cast<std::size_t>(width) * 24, [&](int y0, int y1) {
            // The line's components and edges, padded with edges of 255 (never taken).
            std::vector<BYTE> line;
            try {
                line.resize(static_cast<std::size_t>(width + 2 * kPadded) * 3);
            } catch (const std::bad_alloc&) {
                failed = true;
                return;
            }
            BYTE* us = line.data() + kPadded;
            BYTE* vs = us + width + 2 * kPadded;
            BYTE* es = vs + width + 2 * kPadded;
            std::fill(es - kPadded, es + width + kPadded, BYTE{255});
            for (int y = y0; y < y1; ++y) {
                BYTE* row = target->GetBuffer(0, y);
                const BYTE* edge = edgeMap.GetBuffer(0, y);
                for (int k = 0; k < width; ++k) {
                    us[k] = row[k * 4 + 1];
                    vs[k] = row[k * 4];
                }
                std::memcpy(es, edge, static_cast<std::size_t>(width));
                int k = 0;
#if defined(__SSE2__)
                // Sixteen samples at a time, their windows walked together.
                for (; k + 16 <= width; k += 16) {
                    ChromaSums sums;
                    const __m128i ownU = Load16(us + k), ownV = Load16(vs + k);
                    for (int off = -kBefore; off <= kAfter; ++off)
                        sums.Add(Load16(us + k + off), Load16(vs + k + off), Load16(es + k + off), ownU, ownV);
                    int w[16], su[16], sv[16];
                    sums.Store(w, su, sv);
                    for (int i = 0; i < 16; ++i) {
                        const int u = us[k + i], v = vs[k + i];
                        row[(k + i) * 4 + 1] = blend(w[i] ? su[i] / w[i] : u, u);
                        row[(k + i) * 4] = blend(w[i] ? sv[i] / w[i] : v, v);
                    }
                }
#endif
                for (; k < width; ++k) {
                    const int u = us[k], v = vs[k];
                    int weights = 0, su = 0, sv = 0;
                    for (int j = k - kBefore; j <= k + kAfter; ++j) {
                        if (std::abs(us[j] - u) < 8 && std::abs(vs[j] - v) < 8 && es[j] != 255) {
                            const int wt = 255 - es[j];
                            weights += wt;
                            su += wt * us[j];
                            sv += wt * vs[j];
                        }
                    }
                    row[k * 4 + 1] = blend(weights ? su / weights : u, u);
                    row[k * 4] = blend(weights ? sv / weights : v, v);
                }
                if (!progress.Advance(1))
                    return;
            }
        });
        if (failed || progress.Cancelled())
            return false;
    }

    // Columns from copies of both components, one output row at a time.
    CQLChannel uPlane, vPlane;
    if (uPlane.DuplicateFrom(target, 1) == 0 || vPlane.DuplicateFrom(target, 0) == 0)
        return false;
    RowProgress progress(*this, height, 65, 85);
    imagecore::ParallelFor(0, height, static_cast<std::size_t>(width) * 24, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            const int j0 = std::max(0, y - kBefore), j1 = std::min(height - 1, y + kAfter);
            const BYTE* ownU = uPlane.GetBuffer(0, y);
            const BYTE* ownV = vPlane.GetBuffer(0, y);
            BYTE* row = target->GetBuffer(0, y);
            int x = 0;
#if defined(__SSE2__)
            for (; x + 16 <= width; x += 16) {
                ChromaSums sums;
                const __m128i cu = Load16(ownU + x), cv = Load16(ownV + x);
                for (int j = j0; j <= j1; ++j)
                    sums.Add(Load16(uPlane.GetBuffer(x, j)), Load16(vPlane.GetBuffer(x, j)), Load16(edgeMap.GetBuffer(x, j)),
                             cu, cv);
                int w[16], su[16], sv[16];
                sums.Store(w, su, sv);
                for (int i = 0; i < 16; ++i) {
                    const int u = ownU[x + i], v = ownV[x + i];
                    row[(x + i) * 4 + 1] = blend(w[i] ? su[i] / w[i] : u, u);
                    row[(x + i) * 4] = blend(w[i] ? sv[i] / w[i] : v, v);
                }
            }
#endif
            for (; x < width; ++x) {
                const int u = ownU[x], v = ownV[x];
                int weights = 0, su = 0, sv = 0;
                for (int j = j0; j <= j1; ++j) {
                    const int uj = uPlane.Get(x, j), vj = vPlane.Get(x, j), e = edgeMap.Get(x, j);
                    if (std::abs(uj - u) < 8 && std::abs(vj - v) < 8 && e != 255) {
                        weights += 255 - e;
                        su += (255 - e) * uj;
                        sv += (255 - e) * vj;
                    }
                }
                row[x * 4 + 1] = blend(weights ? su / weights : u, u);
                row[x * 4] = blend(weights ? sv / weights : v, v);
            }
            if (!progress.Advance(1))
                return;
        }
    });
    return !failed && !progress.Cancelled();
}

void NoiseReductionAlgorithm::RestoreShadows()
{
    imagecore::ParallelFor(1, height - 1, static_cast<std::size_t>(width), [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            BYTE* out = target->GetBuffer(0, y);
            for (int x = 1; x < width - 1; ++x) {
                int sum = 0;
                for (int j = -1; j <= 1; ++j)
                    for (int i = -1; i <= 1; ++i)
                        sum += grey.Get(x + i, y + j);
                const int c = sum / 9;
                const int d = c < 128 ? 255 : (255 - c) * 2;
                const int g = grey.Get(x, y);
                out[x * 4 + 2] = static_cast<BYTE>((d * out[x * 4 + 2] + (255 - d) * g) / 255);
            }
        }
    });
}

bool NoiseReductionAlgorithm::AverageAlongEdges()
{
    noiseLevel = 0;
    if (scratch.DuplicateFrom(target, 2) == 0)
        return false;
    imagecore::ParallelFor(2, height - 2, static_cast<std::size_t>(width), [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            BYTE* out = target->GetBuffer(0, y);
            for (int x = 1; x < width - 1; ++x) {
                const int d = directionMap.Get(x, y);
                if (edgeMap.Get(x, y) <= 8 || d == 0)
                    continue;
                const int ax = x + kAlongX[d][0], ay = y + kAlongY[d][0];
                const int bx = x + kAlongX[d][1], by = y + kAlongY[d][1];
                if (directionMap.Get(ax, ay) != d || directionMap.Get(bx, by) != d)
                    continue;
                out[x * 4 + 2] = static_cast<BYTE>((scratch.Get(x, y) + scratch.Get(ax, ay) + scratch.Get(bx, by)) / 3);
            }
        }
    });
    return true;
}
