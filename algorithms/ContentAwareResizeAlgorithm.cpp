#include "algorithms/ContentAwareResizeAlgorithm.h"

#include "imagecore/ParallelFor.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

// The AVX2 row is chosen at run time; its vectors never cross into other code.
#pragma GCC diagnostic ignored "-Wpsabi"

namespace {

// Each side of the half-resolution planes must fit the 16-bit maps.
constexpr UINT kMaxHalfSide = 65535;

template <class T>
std::unique_ptr<T[]> Allocate(std::size_t count)
{
    return std::unique_ptr<T[]>(new (std::nothrow) T[count]);
}

// Gradient energy of an interior pixel from its 3 x 3 neighbourhood.
inline BYTE EnergyAt(const BYTE* g, std::size_t stride, int x, int y)
{
    const BYTE* a = g + (y - 1) * stride + x;
    const BYTE* b = a + stride;
    const BYTE* c = b + stride;
    const int left = a[-1] + b[-1] + c[-1];
    const int right = a[1] + b[1] + c[1];
    const int top = a[-1] + a[0] + a[1];
    const int bottom = c[-1] + c[0] + c[1];
    const int gx = std::abs(left - right) / 3;
    const int gy = std::abs(top - bottom) / 3;
    return static_cast<BYTE>(std::min(255, std::max(gx, gy)));
}

// Cumulative energy of one row from the row above: each cell adds the least
// of the up to three cells above it.
void CumulateRowScalar(const DWORD* prev, const BYTE* e, DWORD* cur, int width)
{
    if (width == 1) {
        cur[0] = e[0] + prev[0];
        return;
    }
    cur[0] = e[0] + std::min(prev[0], prev[1]);
    for (int x = 1; x < width - 1; ++x)
        cur[x] = e[x] + std::min(std::min(prev[x - 1], prev[x]), prev[x + 1]);
    cur[width - 1] = e[width - 1] + std::min(prev[width - 2], prev[width - 1]);
}

#if defined(__x86_64__)
// Eight cells a step; the same sums as the scalar row.
__attribute__((target("avx2"))) void CumulateRowAvx2(const DWORD* prev, const BYTE* e, DWORD* cur, int width)
{
    if (width < 10) {
        CumulateRowScalar(prev, e, cur, width);
        return;
    }
    cur[0] = e[0] + std::min(prev[0], prev[1]);
    int x = 1;
    for (; x + 8 <= width - 1; x += 8) {
        const __m256i l = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(prev + x - 1));
        const __m256i c = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(prev + x));
        const __m256i r = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(prev + x + 1));
        const __m256i ev = _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(e + x)));
        const __m256i least = _mm256_min_epu32(_mm256_min_epu32(l, c), r);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(cur + x), _mm256_add_epi32(least, ev));
    }
    for (; x < width - 1; ++x)
        cur[x] = e[x] + std::min(std::min(prev[x - 1], prev[x]), prev[x + 1]);
    cur[width - 1] = e[width - 1] + std::min(prev[width - 2], prev[width - 1]);
}
#endif

using CumulateRowFn = void (*)(const DWORD*, const BYTE*, DWORD*, int);

CumulateRowFn PickCumulateRow()
{
#if defined(__x86_64__)
    if (__builtin_cpu_supports("avx2"))
        return CumulateRowAvx2;
#endif
    return CumulateRowScalar;
}

// Removes vertical seams from planes of n x m (row stride n) until `stopAt`
// columns are left, numbering the removed pixels in `order` (n x m, zeroed).
// Progress goes to `progressTop` - width x 45 / n at each width that is a
// multiple of 10. False on a cancel or a failed allocation.
class SeamCarver {
public:
    explicit SeamCarver(EffectAlgorithm& effect) : m_effect(effect) {}

    bool Run(BYTE* grey, BYTE* energy, int n, int m, int stopAt, WORD* order, int progressTop)
    {
        const std::size_t cells = static_cast<std::size_t>(n) * m;
        auto origin = Allocate<WORD>(cells);
        auto cumulative = Allocate<DWORD>(cells);
        auto seam = Allocate<int>(m);
        if (!origin || !cumulative || !seam)
            return false;
        for (int y = 0; y < m; ++y)
            for (int x = 0; x < n; ++x)
                origin[static_cast<std::size_t>(y) * n + x] = static_cast<WORD>(x);

        DWORD* M = cumulative.get();
        const CumulateRowFn cumulateRow = PickCumulateRow();
        for (int cw = n; cw > stopAt;) {
            for (int x = 0; x < cw; ++x)
                M[x] = energy[x];
            for (int y = 1; y < m; ++y)
                cumulateRow(M + static_cast<std::size_t>(y - 1) * n, energy + static_cast<std::size_t>(y) * n,
                            M + static_cast<std::size_t>(y) * n, cw);

            const DWORD* last = M + static_cast<std::size_t>(m - 1) * n;
            int x = static_cast<int>(std::min_element(last, last + cw) - last); // leftmost on ties
            const WORD number = static_cast<WORD>(n - cw + 1);
            for (int y = m - 1; y >= 0; --y) {
                const std::size_t row = static_cast<std::size_t>(y) * n;
                seam[y] = x;
                order[row + origin[row + x]] = number;
                const std::size_t tail = static_cast<std::size_t>(cw - 1 - x);
                std::memmove(grey + row + x, grey + row + x + 1, tail);
                std::memmove(energy + row + x, energy + row + x + 1, tail);
                std::memmove(&origin[row + x], &origin[row + x + 1], tail * sizeof(WORD));
                if (y > 0)
                    x = StepUp(M + row - n, x, cw);
            }

            // Only the energy along the seam changed; borders keep theirs.
            const int newWidth = cw - 1;
            for (int y = 1; y < m - 1; ++y) {
                for (int c = seam[y] - 1; c <= seam[y]; ++c) {
                    if (c >= 1 && c < newWidth - 1)
                        energy[static_cast<std::size_t>(y) * n + c] = EnergyAt(grey, n, c, y);
                }
            }

            cw = newWidth;
            if (cw % 10 == 0)
                m_effect.Progress(progressTop - cw * 45 / n);
            if (m_effect.TestCancel())
                return false;
        }
        return true;
    }

private:
    // The seam's column in the row above, by that row's cumulative energy.
    static int StepUp(const DWORD* M, int x, int cw)
    {
        if (cw == 1)
            return 0;
        if (x == 0)
            return M[0] >= M[1] ? 1 : 0;
        if (x == cw - 1)
            return M[x - 1] < M[x] ? x - 1 : x;
        const DWORD l = M[x - 1], c = M[x], r = M[x + 1];
        if (l >= c)
            return c >= r ? x + 1 : x;
        return l < r ? x - 1 : x + 1;
    }

    EffectAlgorithm& m_effect;
};

// Copies a w x h plane into its h x w transpose.
template <class T>
void Transpose(const T* in, int w, int h, T* out)
{
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            out[static_cast<std::size_t>(x) * h + y] = in[static_cast<std::size_t>(y) * w + x];
}

// One target line (a row, or a column) from one line of a removal map.
// Steps are in elements: order entries, source and target pixels, mask bytes.
struct Line {
    const WORD* order;
    std::ptrdiff_t orderStep;
    int half;  // half-resolution pixels along the line
    WORD keepFrom; // orders from here on (and 0) are kept
    const BYTE* src;
    std::ptrdiff_t srcStep;
    BYTE* dst;
    std::ptrdiff_t dstStep;
    int dstCount;
    const BYTE* mask; // null for none
    std::ptrdiff_t maskStep;
};

inline bool Removed(const Line& l, int k)
{
    const WORD o = l.order[k * l.orderStep];
    return o != 0 && o < l.keepFrom;
}

// The truncated mean of `count` source pixels from index `first`, alpha 255.
inline void MeanPixel(const Line& l, int first, int count, BYTE* out)
{
    unsigned b = 0, g = 0, r = 0;
    const BYTE* p = l.src + first * l.srcStep * 4;
    for (int i = 0; i < count; ++i, p += l.srcStep * 4)
        b += p[0], g += p[1], r += p[2];
    out[0] = static_cast<BYTE>(b / count);
    out[1] = static_cast<BYTE>(g / count);
    out[2] = static_cast<BYTE>(r / count);
    out[3] = 255;
}

void RenderLine(const Line& l)
{
    int out = 0;
    int before = 0; // removed half pixels since the last kept one
    auto put = [&](int index, int mergeFirst, int mergeCount) {
        BYTE* d = l.dst + out * l.dstStep * 4;
        if (mergeCount > 1)
            MeanPixel(l, mergeFirst, mergeCount, d);
        else
            std::memcpy(d, l.src + index * l.srcStep * 4, 4);
        if (l.mask)
            d[3] = l.mask[index * l.maskStep];
        ++out;
    };
    for (int k = 0; k < l.half && out < l.dstCount; ++k) {
        if (Removed(l, k)) {
            ++before;
            continue;
        }
        int after = 0;
        while (k + 1 + after < l.half && Removed(l, k + 1 + after))
            ++after;
        put(2 * k, 2 * k - before, before + 1);
        if (out < l.dstCount)
            put(2 * k + 1, 2 * k + 1, after + 1);
        before = 0;
    }
}

} // namespace

void ContentAwareResizeAlgorithm::FreeCache()
{
    columnOrder.reset();
    rowOrder.reset();
}

HRESULT ContentAwareResizeAlgorithm::Apply(const void* params)
{
    if (EffectAlgorithm::Apply(params) != 0 || !params)
        return E_FAIL;
    ContentAwareResizeParams p;
    std::memcpy(&p, params, sizeof p);

    UINT w = 0, h = 0;
    source->GetSize(&w, &h);
    // Only shrinking is supported, and the maps hold 16-bit positions.
    if (w / 2 > kMaxHalfSide || h / 2 > kMaxHalfSide || p.width < 1 || p.height < 1
        || static_cast<UINT>(p.width) > w || static_cast<UINT>(p.height) > h)
        return E_FAIL;
    if (p.protectMask && p.protectMask->GetAreaByteSize()) {
        UINT mw = 0, mh = 0;
        p.protectMask->GetSize(&mw, &mh);
        if (mw != w || mh != h)
            return E_FAIL;
    } else {
        p.protectMask = nullptr; // a mask without rows protects nothing
    }
    const bool sameSize = static_cast<UINT>(p.width) == w && static_cast<UINT>(p.height) == h;
    // A plane of half size needs two source pixels on each side.
    if (!sameSize && (w < 2 || h < 2))
        return E_FAIL;

    par = p;

    if (par.analyseOnly)
        return target->Create(w, h) == 0 && Analyse() ? 0 : E_FAIL;
    if (sameSize)
        return CopySourceToTarget() ? 0 : E_FAIL;
    // The render makes the target at its final size; making it at the source
    // size first would only cost a second allocation per preview.
    if (!columnOrder && !Analyse())
        return E_FAIL;
    const UINT outW = static_cast<UINT>(par.width) < w ? static_cast<UINT>(par.width) : w;
    const UINT outH = outW < w ? h : static_cast<UINT>(par.height);
    if (target->Create(outW, outH) != 0)
        return E_FAIL;
    Render();
    return 0;
}

bool ContentAwareResizeAlgorithm::BuildPlanes()
{
    UINT w = 0, h = 0;
    source->GetSize(&w, &h);
    const int hw = static_cast<int>(w / 2), hh = static_cast<int>(h / 2);
    if (grey.Create(hw, hh) != 0 || energy.Create(hw, hh) != 0)
        return false;

    BYTE* g = grey.GetBuffer(0, 0);
    imagecore::ParallelFor(0, hh, static_cast<std::size_t>(w) * 2, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            const CPixel* a = reinterpret_cast<const CPixel*>(source->GetBuffer(0, 2 * y));
            const CPixel* b = reinterpret_cast<const CPixel*>(source->GetBuffer(0, 2 * y + 1));
            BYTE* out = g + static_cast<std::size_t>(y) * hw;
            for (int x = 0; x < hw; ++x)
                out[x] = static_cast<BYTE>((a[2 * x].GetGray2() + a[2 * x + 1].GetGray2() + b[2 * x].GetGray2()
                                            + b[2 * x + 1].GetGray2())
                                           >> 2);
        }
    });

    BYTE* e = energy.GetBuffer(0, 0);
    const BYTE* mask = par.protectMask ? par.protectMask->GetBuffer(0, 0) : nullptr;
    imagecore::ParallelFor(0, hh, static_cast<std::size_t>(hw) * 4, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            BYTE* out = e + static_cast<std::size_t>(y) * hw;
            for (int x = 0; x < hw; ++x) {
                const bool border = x == 0 || y == 0 || x == hw - 1 || y == hh - 1;
                out[x] = border ? 0 : EnergyAt(g, hw, x, y);
            }
            if (!mask)
                continue;
            const BYTE* m = mask + static_cast<std::size_t>(2 * y) * w;
            for (int x = 0; x < hw; ++x) {
                const int mv = m[2 * x];
                out[x] = static_cast<BYTE>(((255 - mv) * out[x] + mv * 255) / 255);
            }
        }
    });
    return true;
}

bool ContentAwareResizeAlgorithm::Analyse()
{
    FreeCache();
    UINT w = 0, h = 0;
    source->GetSize(&w, &h);
    const int hw = static_cast<int>(w / 2), hh = static_cast<int>(h / 2);
    if (hw < 1 || hh < 1 || !BuildPlanes())
        return false;
    Progress(10);

    const std::size_t cells = static_cast<std::size_t>(hw) * hh;
    auto workGrey = Allocate<BYTE>(cells);
    auto workEnergy = Allocate<BYTE>(cells);
    auto columns = std::unique_ptr<WORD[]>(new (std::nothrow) WORD[cells]());
    auto rowsT = std::unique_ptr<WORD[]>(new (std::nothrow) WORD[cells]());
    auto rows = Allocate<WORD>(cells);
    if (!workGrey || !workEnergy || !columns || !rowsT || !rows)
        return false;

    SeamCarver carver(*this);
    curWidth = static_cast<std::uint16_t>(hw);
    curHeight = static_cast<std::uint16_t>(hh);
    std::memcpy(workGrey.get(), grey.GetBuffer(0, 0), cells);
    std::memcpy(workEnergy.get(), energy.GetBuffer(0, 0), cells);
    const int stopWidth = std::min(par.width / 2, hw);
    if (!carver.Run(workGrey.get(), workEnergy.get(), hw, hh, stopWidth, columns.get(), 55))
        return false; // nothing cached: the next run analyses again
    curWidth = static_cast<std::uint16_t>(stopWidth);
    Progress(55);

    // Horizontal seams are vertical seams of the transposed planes.
    Transpose(grey.GetBuffer(0, 0), hw, hh, workGrey.get());
    Transpose(energy.GetBuffer(0, 0), hw, hh, workEnergy.get());
    const int stopHeight = std::min(par.height / 2, hh);
    if (!carver.Run(workGrey.get(), workEnergy.get(), hh, hw, stopHeight, rowsT.get(), 100))
        return false;
    curHeight = static_cast<std::uint16_t>(stopHeight);
    Transpose(rowsT.get(), hh, hw, rows.get());

    columnOrder = std::move(columns);
    rowOrder = std::move(rows);
    Progress(100);
    return true;
}

void ContentAwareResizeAlgorithm::Render()
{
    UINT w = 0, h = 0, tw = 0, th = 0;
    source->GetSize(&w, &h);
    target->GetSize(&tw, &th);
    const int hw = static_cast<int>(w / 2), hh = static_cast<int>(h / 2);
    const BYTE* mask = par.protectMask ? par.protectMask->GetBuffer(0, 0) : nullptr;

    if (tw < w) {
        const WORD keepFrom = static_cast<WORD>(hw - par.width / 2);
        imagecore::ParallelFor(0, static_cast<int>(th), tw, [&](int y0, int y1) {
            for (int y = y0; y < y1; ++y) {
                const int hy = std::min(hh - 1, y / 2);
                RenderLine({columnOrder.get() + static_cast<std::size_t>(hy) * hw, 1, hw, keepFrom,
                            source->GetBuffer(0, y), 1, target->GetBuffer(0, y), 1, static_cast<int>(tw),
                            mask ? mask + static_cast<std::size_t>(y) * w : nullptr, 1});
            }
        });
    } else {
        const WORD keepFrom = static_cast<WORD>(hh - par.height / 2);
        imagecore::ParallelFor(0, static_cast<int>(tw), th, [&](int x0, int x1) {
            for (int x = x0; x < x1; ++x) {
                const int hx = std::min(hw - 1, x / 2);
                RenderLine({rowOrder.get() + hx, hw, hh, keepFrom, source->GetBuffer(x, 0), static_cast<std::ptrdiff_t>(w),
                            target->GetBuffer(x, 0), static_cast<std::ptrdiff_t>(tw), static_cast<int>(th),
                            mask ? mask + x : nullptr, static_cast<std::ptrdiff_t>(w)});
            }
        });
    }
}
