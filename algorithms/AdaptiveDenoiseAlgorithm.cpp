#include "algorithms/AdaptiveDenoiseAlgorithm.h"

#include "algorithms/NumericHelpers.h"
#include "algorithms/RowProgress.h"
#include "algorithms/SeparableResizeAlgorithm.h"
#include "imagecore/ParallelFor.h"
#include "platform/codec/ColorForms.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr int kBlock = 5;
constexpr int kReach = 8;    // candidate origins lie within [x - 8, x + 8)
constexpr int kMaxKept = 6;
constexpr int kNoWindow = 16777215;

// A plane copied into rows `stride` bytes apart with zeros after each row,
// so that 16-byte loads near the right edge stay inside the buffer.
struct PaddedPlane {
    std::vector<BYTE> bytes;
    int stride = 0;

    bool Fill(const CQLChannel& plane, int width, int height)
    {
        stride = width + 32;
        try {
            bytes.assign(static_cast<std::size_t>(stride) * height, 0);
        } catch (const std::bad_alloc&) {
            return false;
        }
        for (int y = 0; y < height; ++y)
            std::memcpy(Row(y), plane.GetBuffer(0, y), static_cast<std::size_t>(width));
        return true;
    }
    BYTE* Row(int y) { return bytes.data() + static_cast<std::size_t>(y) * stride; }
    const BYTE* Row(int y) const { return bytes.data() + static_cast<std::size_t>(y) * stride; }
};

// Costs of the candidates (cx0 + i, cy) for i = 0..15 against the block at
// (x, y): the sum over the 25 pixel pairs of |dY| + |d detail| / 2.
void CandidateCosts(const PaddedPlane& luma, const PaddedPlane& det, int x, int y, int cx0, int cy, int count,
                    int costs[16])
{
#if defined(__SSE2__)
    (void)count;
    const __m128i zero = _mm_setzero_si128();
    const __m128i low7 = _mm_set1_epi8(0x7F);
    __m128i lo = zero, hi = zero;
    for (int r = 0; r < kBlock; ++r) {
        const BYTE* refY = luma.Row(y + r) + x;
        const BYTE* refD = det.Row(y + r) + x;
        const BYTE* candY = luma.Row(cy + r) + cx0;
        const BYTE* candD = det.Row(cy + r) + cx0;
        for (int c = 0; c < kBlock; ++c) {
            const __m128i a = _mm_set1_epi8(static_cast<char>(refY[c]));
            const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(candY + c));
            const __m128i ad = _mm_or_si128(_mm_subs_epu8(a, b), _mm_subs_epu8(b, a));
            const __m128i e = _mm_set1_epi8(static_cast<char>(refD[c]));
            const __m128i f = _mm_loadu_si128(reinterpret_cast<const __m128i*>(candD + c));
            const __m128i dd = _mm_and_si128(_mm_srli_epi16(_mm_or_si128(_mm_subs_epu8(e, f), _mm_subs_epu8(f, e)), 1), low7);
            lo = _mm_add_epi16(lo, _mm_add_epi16(_mm_unpacklo_epi8(ad, zero), _mm_unpacklo_epi8(dd, zero)));
            hi = _mm_add_epi16(hi, _mm_add_epi16(_mm_unpackhi_epi8(ad, zero), _mm_unpackhi_epi8(dd, zero)));
        }
    }
    alignas(16) WORD out[16];
    _mm_store_si128(reinterpret_cast<__m128i*>(out), lo);
    _mm_store_si128(reinterpret_cast<__m128i*>(out + 8), hi);
    for (int i = 0; i < 16; ++i)
        costs[i] = out[i];
#else
    for (int i = 0; i < count; ++i) {
        int cost = 0;
        for (int r = 0; r < kBlock; ++r)
            for (int c = 0; c < kBlock; ++c) {
                cost += std::abs(luma.Row(y + r)[x + c] - luma.Row(cy + r)[cx0 + i + c]);
                cost += std::abs(det.Row(y + r)[x + c] - det.Row(cy + r)[cx0 + i + c]) / 2;
            }
        costs[i] = cost;
    }
#endif
}

// Weight of a window value d away from the centre's: 10 up to 16, then
// falling by quarters to 0 at 56.
inline int ChromaWeight(int d)
{
    return d <= 16 ? 10 : (d <= 56 ? (56 - d) / 4 : 0);
}

} // namespace

AdaptiveDenoiseAlgorithm::~AdaptiveDenoiseAlgorithm() = default;

HRESULT AdaptiveDenoiseAlgorithm::Apply(const void* params)
{
    if (EffectAlgorithm::Apply(params) != 0 || !params || source == target)
        return E_FAIL;
    AdaptiveDenoiseParams p;
    std::memcpy(&p, params, sizeof p);
    reduceColorSpots = p.reduceColorSpots;
    UINT w = 0, h = 0;
    source->GetSize(&w, &h);
    width = static_cast<int>(w);
    height = static_cast<int>(h);

    if (!work.DuplicateFrom(source))
        return E_FAIL;
    ConvertRowsYuv(work, width, height, true);
    if (plane.DuplicateFrom(&work, 2) == 0 || sourceLuma.DuplicateFrom(&plane) == 0)
        return E_FAIL;
    if (!DetailAndSmooth())
        return E_FAIL;
    EstimateNoise();
    if (!ChooseThreshold())
        return E_FAIL;
    Progress(5);
    if (TestCancel())
        return E_FAIL;
    if (!MatchBlocks())
        return E_FAIL;
    if (reduceColorSpots) {
        if (!SmoothChromaByte(0, 60))
            return E_FAIL;
        Progress(78);
        if (TestCancel())
            return E_FAIL;
        if (!SmoothChromaByte(1, 78))
            return E_FAIL;
        Progress(90);
        if (TestCancel())
            return E_FAIL;
    }
    if (!MakeEdgeMask())
        return E_FAIL;
    Progress(95);
    if (TestCancel())
        return E_FAIL;

    blur.SetImages(source, target);
    blur.SetRange(RangeAt(95), RangeAt(98));
    blur.SetCallback(callback);
    const SmoothParams radius = {3};
    if (blur.Apply(&radius) != 0)
        return E_FAIL;
    Progress(98);
    if (TestCancel())
        return E_FAIL;
    Blend();
    Progress(100);
    return 0;
}

bool AdaptiveDenoiseAlgorithm::DetailAndSmooth()
{
    if (planeCopy.DuplicateFrom(&plane) == 0 || detail.Create(width, height) != 0
        || directions.Create(width, height) != 0)
        return false;
    std::memset(detail.GetBuffer(0, 0), 0, detail.GetAreaByteSize());
    std::memset(directions.GetBuffer(0, 0), 0, directions.GetAreaByteSize());
    imagecore::ParallelFor(1, height - 1, static_cast<std::size_t>(width), [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            const BYTE* up = planeCopy.GetBuffer(0, y - 1);
            const BYTE* mid = planeCopy.GetBuffer(0, y);
            const BYTE* dn = planeCopy.GetBuffer(0, y + 1);
            BYTE* det = detail.GetBuffer(0, y);
            BYTE* dir = directions.GetBuffer(0, y);
            for (int x = 1; x < width - 1; ++x) {
                const int tl = up[x - 1], t = up[x], tr = up[x + 1], l = mid[x - 1], r = mid[x + 1];
                const int bl = dn[x - 1], b = dn[x], br = dn[x + 1];
                const int r1 = std::abs(t + tl + tr - b - bl - br), r2 = std::abs(l + tl + bl - r - tr - br);
                const int r3 = std::abs(l + t + tl - r - b - br), r4 = std::abs(r + t + tr - l - b - bl);
                int best = r1, d = 1;
                if (r2 > best)
                    best = r2, d = 2;
                if (r3 > best)
                    best = r3, d = 3;
                if (r4 > best)
                    best = r4, d = 4;
                det[x] = static_cast<BYTE>(std::min(255, best));
                dir[x] = static_cast<BYTE>(d);
            }
        }
    });
    // Along the edge: the two neighbours (dx, dy), each left out when its
    // own direction crosses this one.
    static constexpr int kX[5][2] = {{0, 0}, {-1, 1}, {0, 0}, {1, -1}, {-1, 1}};
    static constexpr int kY[5][2] = {{0, 0}, {0, 0}, {-1, 1}, {-1, 1}, {-1, 1}};
    static constexpr int kCrossing[5] = {0, 2, 1, 4, 3};
    imagecore::ParallelFor(1, height - 1, static_cast<std::size_t>(width), [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            BYTE* out = plane.GetBuffer(0, y);
            const BYTE* dir = directions.GetBuffer(0, y);
            for (int x = 1; x < width - 1; ++x) {
                const int d = dir[x];
                int sum = planeCopy.Get(x, y), count = 1;
                for (int k = 0; k < 2; ++k) {
                    const int nx = x + kX[d][k], ny = y + kY[d][k];
                    if (directions.Get(nx, ny) != kCrossing[d]) {
                        sum += planeCopy.Get(nx, ny);
                        ++count;
                    }
                }
                out[x] = static_cast<BYTE>(sum / count);
            }
        }
    });
    return true;
}

void AdaptiveDenoiseAlgorithm::EstimateNoise()
{
    flatX = flatY = 0;
    flatScore = kNoWindow;
    const int lastX = width - 16, lastY = height - 16; // window origins stay below these
    if (lastX <= 0 || lastY <= 0)
        return;
    // Per-pixel scores summed into 16-row column sums slid down, and
    // 16-column windows slid across those.
    std::vector<int> columns(static_cast<std::size_t>(width), 0);
    auto addRow = [&](int y, int sign) {
        const BYTE* det = detail.GetBuffer(0, y);
        const BYTE* luma = plane.GetBuffer(0, y);
        for (int x = 0; x < width; ++x)
            columns[x] += sign * (det[x] + std::max(0, std::abs(luma[x] - 128) / 2 - 40));
    };
    for (int y = 0; y < 16; ++y)
        addRow(y, 1);
    for (int y = 0; y < lastY; ++y) {
        if (y > 0) {
            addRow(y - 1, -1);
            addRow(y + 15, 1);
        }
        int sum = 0;
        for (int x = 0; x < 16; ++x)
            sum += columns[x];
        for (int x = 0; x < lastX; ++x) {
            if (x > 0)
                sum += columns[x + 15] - columns[x - 1];
            if (sum < flatScore) {
                flatScore = sum;
                flatX = x;
                flatY = y;
            }
        }
    }
}

bool AdaptiveDenoiseAlgorithm::ChooseThreshold()
{
    const int a = static_cast<int>(static_cast<long long>(flatScore) * 25 / 140);
    matchThreshold = a;
    if (a > 400) {
        // A noisy photo: pre-blur the luminance, stronger the noisier, and measure again.
        const int s = static_cast<int>(std::min<long long>(100, (40LL * a - 16000) / 400));
        imagecore::ParallelFor(1, height - 1, static_cast<std::size_t>(width), [&](int y0, int y1) {
            for (int y = y0; y < y1; ++y) {
                const BYTE* up = sourceLuma.GetBuffer(0, y - 1);
                const BYTE* mid = sourceLuma.GetBuffer(0, y);
                const BYTE* dn = sourceLuma.GetBuffer(0, y + 1);
                BYTE* out = plane.GetBuffer(0, y);
                for (int x = 1; x < width - 1; ++x) {
                    const int v = mid[x];
                    const int sum = v + mid[x - 1] + mid[x + 1] + up[x] + dn[x];
                    out[x] = static_cast<BYTE>(((100 - s) * v + s * sum / 5) / 100);
                }
            }
        });
        if (!DetailAndSmooth())
            return false;
        matchThreshold = 400;
    }
    if (matchThreshold < 200)
        matchThreshold = 200;
    return true;
}

bool AdaptiveDenoiseAlgorithm::MatchBlocks()
{
    const int blockRows = height > kBlock ? (height - kBlock + kBlock - 1) / kBlock : 0;
    if (blockRows == 0)
        return true;
    PaddedPlane luma, det;
    if (!luma.Fill(plane, width, height) || !det.Fill(detail, width, height))
        return false;
    RowProgress progress(*this, blockRows, 5, reduceColorSpots ? 60 : 93);
    imagecore::ParallelFor(0, blockRows, static_cast<std::size_t>(width) * 1000, [&](int r0, int r1) {
        for (int row = r0; row < r1; ++row) {
            const int y = row * kBlock;
            const int cy0 = std::max(0, y - kReach), cy1 = std::min(y + kReach, height - kBlock);
            for (int x = 0; x < width - kBlock; x += kBlock) {
                const int cx0 = std::max(0, x - kReach), cx1 = std::min(x + kReach, width - kBlock);
                int keptX[kMaxKept], keptY[kMaxKept], keptCost[kMaxKept];
                int kept = 0;
                for (int cy = cy0; cy < cy1; ++cy) {
                    int costs[16];
                    CandidateCosts(luma, det, x, y, cx0, cy, cx1 - cx0, costs);
                    for (int cx = cx0; cx < cx1; ++cx) {
                        if (std::abs(cx - x) <= 2 && std::abs(cy - y) <= 2)
                            continue;
                        const int cost = costs[cx - cx0];
                        if (cost >= matchThreshold)
                            continue;
                        // Kept sorted by cost; only a cost below some kept one
                        // (or the first match) gets in.
                        int at = 0;
                        while (at < kept && keptCost[at] <= cost)
                            ++at;
                        if (kept > 0 && at == kept)
                            continue;
                        const int last = std::min(kept, kMaxKept - 1);
                        for (int i = last; i > at; --i) {
                            keptX[i] = keptX[i - 1];
                            keptY[i] = keptY[i - 1];
                            keptCost[i] = keptCost[i - 1];
                        }
                        keptX[at] = cx;
                        keptY[at] = cy;
                        keptCost[at] = cost;
                        kept = std::min(kept + 1, kMaxKept);
                    }
                }
                for (int r = 0; r < kBlock; ++r) {
                    BYTE* out = work.GetBuffer(x, y + r);
                    const BYTE* own = luma.Row(y + r) + x;
                    for (int c = 0; c < kBlock; ++c) {
                        int sum = own[c];
                        for (int k = 0; k < kept; ++k)
                            sum += luma.Row(keptY[k] + r)[keptX[k] + c];
                        out[c * 4 + 2] = static_cast<BYTE>(sum / (kept + 1));
                    }
                }
            }
            if (!progress.Advance(1))
                return;
        }
    });
    return !progress.Cancelled();
}

bool AdaptiveDenoiseAlgorithm::SmoothChromaByte(int index, int base)
{
    if (plane.DuplicateFrom(&work, index) == 0)
        return false;
    RowProgress progress(*this, height, base + 5, base + 12);
    imagecore::ParallelFor(0, height, static_cast<std::size_t>(width) * 256, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            const int j0 = std::max(0, y - 8), j1 = std::min(height, y + 8);
            const BYTE* own = plane.GetBuffer(0, y);
            BYTE* out = work.GetBuffer(0, y) + index;
            for (int x = 0; x < width; ++x) {
                const int c = own[x];
                int weights = 0, sum = 0;
#if defined(__SSE2__)
                if (x >= 8 && x + 8 <= width) {
                    // Sixteen window columns at once: w = min(10, sat(56 - d) / 4).
                    const __m128i zero = _mm_setzero_si128();
                    const __m128i centre = _mm_set1_epi8(static_cast<char>(c));
                    const __m128i v56 = _mm_set1_epi8(56), v10 = _mm_set1_epi8(10), low6 = _mm_set1_epi8(0x3F);
                    __m128i accW = zero, accS = zero;
                    for (int j = j0; j < j1; ++j) {
                        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(plane.GetBuffer(x - 8, j)));
                        const __m128i d = _mm_or_si128(_mm_subs_epu8(v, centre), _mm_subs_epu8(centre, v));
                        const __m128i wt = _mm_min_epu8(_mm_and_si128(_mm_srli_epi16(_mm_subs_epu8(v56, d), 2), low6), v10);
                        accW = _mm_add_epi64(accW, _mm_sad_epu8(wt, zero));
                        accS = _mm_add_epi32(accS, _mm_madd_epi16(_mm_unpacklo_epi8(v, zero), _mm_unpacklo_epi8(wt, zero)));
                        accS = _mm_add_epi32(accS, _mm_madd_epi16(_mm_unpackhi_epi8(v, zero), _mm_unpackhi_epi8(wt, zero)));
                    }
                    alignas(16) int s4[4];
                    alignas(16) long long w2[2];
                    _mm_store_si128(reinterpret_cast<__m128i*>(s4), accS);
                    _mm_store_si128(reinterpret_cast<__m128i*>(w2), accW);
                    sum = s4[0] + s4[1] + s4[2] + s4[3];
                    weights = static_cast<int>(w2[0] + w2[1]);
                    out[x * 4] = static_cast<BYTE>(sum / weights);
                    continue;
                }
#endif
                const int i0 = std::max(0, x - 8), i1 = std::min(width, x + 8);
                for (int j = j0; j < j1; ++j) {
                    const BYTE* row = plane.GetBuffer(0, j);
                    for (int i = i0; i < i1; ++i) {
                        const int wt = ChromaWeight(std::abs(row[i] - c));
                        weights += wt;
                        sum += wt * row[i];
                    }
                }
                out[x * 4] = static_cast<BYTE>(sum / weights);
            }
            if (!progress.Advance(1))
                return;
        }
    });
    return !progress.Cancelled();
}

bool AdaptiveDenoiseAlgorithm::MakeEdgeMask()
{
    const int smallWidth = width / 3, smallHeight = height / 3;
    if (edgeMask.Create(width, height) != 0)
        return false;
    if (smallWidth == 0 || smallHeight == 0) {
        // Nothing to shrink to: no edges anywhere.
        edgeSmall.Free();
        std::memset(edgeMask.GetBuffer(0, 0), 0, edgeMask.GetAreaByteSize());
        Progress(93);
        return true;
    }
    shrink.SetImages(source, &small);
    const ResizeParams size = {smallWidth, smallHeight};
    if (shrink.Apply(&size) != 0)
        return false;
    small.BuildGrayChannel();
    if (edgeSmall.Create(smallWidth, smallHeight) != 0)
        return false;
    std::memset(edgeSmall.GetBuffer(0, 0), 0, edgeSmall.GetAreaByteSize());
    for (int y = 1; y < smallHeight - 1; ++y) {
        for (int x = 1; x < smallWidth - 1; ++x) {
            auto g = [&](int dx, int dy) { return static_cast<int>(small.GetBuffer(x + dx, y + dy)[3]); };
            const int tl = g(-1, -1), t = g(0, -1), tr = g(1, -1), l = g(-1, 0), r = g(1, 0);
            const int bl = g(-1, 1), b = g(0, 1), br = g(1, 1);
            const int best = std::max(std::max(std::abs(bl + l + tl - br - r - tr), std::abs(t + tr + tl - bl - br - b)),
                                      std::max(std::abs(tr + t + r - bl - b - l), std::abs(t + l + tl - br - b - r)));
            edgeSmall.Set(x, y, static_cast<BYTE>(std::min(255, best / 3)));
        }
    }
    Progress(93);

    // Dilation: the largest small value over columns [(x - 3) / 3, (x + 5) / 3)
    // and the same rows, first across each small row, then down.
    auto lo = [](int v) { return std::max(0, (v - 3) / 3); };
    std::vector<BYTE> across;
    try {
        across.resize(static_cast<std::size_t>(smallHeight) * width);
    } catch (const std::bad_alloc&) {
        return false;
    }
    for (int sy = 0; sy < smallHeight; ++sy) {
        const BYTE* in = edgeSmall.GetBuffer(0, sy);
        BYTE* out = across.data() + static_cast<std::size_t>(sy) * width;
        for (int x = 0; x < width; ++x) {
            BYTE m = 0;
            for (int i = lo(x); i < std::min((x + 5) / 3, smallWidth); ++i)
                m = std::max(m, in[i]);
            out[x] = m;
        }
    }
    imagecore::ParallelFor(0, height, static_cast<std::size_t>(width), [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            BYTE* out = edgeMask.GetBuffer(0, y);
            std::memset(out, 0, static_cast<std::size_t>(width));
            for (int j = lo(y); j < std::min((y + 5) / 3, smallHeight); ++j) {
                const BYTE* in = across.data() + static_cast<std::size_t>(j) * width;
                for (int x = 0; x < width; ++x)
                    out[x] = std::max(out[x], in[x]);
            }
        }
    });
    return true;
}

void AdaptiveDenoiseAlgorithm::Blend()
{
    imagecore::ParallelFor(0, height, static_cast<std::size_t>(width), [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            BYTE* t = target->GetBuffer(0, y);
            qlcodec::RgbToYuv(t, static_cast<std::size_t>(width));
            const BYTE* wk = work.GetBuffer(0, y);
            const BYTE* mask = edgeMask.GetBuffer(0, y);
            for (int x = 0; x < width; ++x, t += 4, wk += 4) {
                const int m = mask[x];
                const int d = m >= 32 ? 256 : 6 * m + 64;
                t[2] = static_cast<BYTE>(((256 - d) * t[2] + d * wk[2]) >> 8);
                t[1] = wk[1];
                t[0] = wk[0];
            }
            qlcodec::YuvToRgb(target->GetBuffer(0, y), static_cast<std::size_t>(width));
        }
    });
}
