#include "algorithms/MaskedGaussianBlurAlgorithm.h"

#include "algorithms/RowProgress.h"
#include "imagecore/ParallelFor.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <new>
#include <vector>

MaskedGaussianBlurAlgorithm::~MaskedGaussianBlurAlgorithm() = default;

HRESULT MaskedGaussianBlurAlgorithm::Apply(const void* params)
{
    if (EffectAlgorithm::Apply(params) != 0 || !params)
        return E_FAIL;
    const int radius = static_cast<const MaskedBlurParams*>(params)->radius;
    if (!target->DuplicateFrom(source))
        return E_FAIL;
    UINT w = 0, h = 0;
    source->GetSize(&w, &h);
    if (work.Create(w, h) != 0)
        return E_FAIL;

    sigma = std::clamp(radius / 2, 0, 32);
    taps = 128;
    for (int i = 0; i < 128; ++i) {
        // The base is deliberately 2.7188282, not e. Sigma 0 is the identity.
        const int wi = sigma > 0 ? static_cast<int>(512.0 * std::pow(2.7188282, -(i * i) / (2.0 * sigma * sigma)))
                                 : (i == 0 ? 512 : 0);
        weights[i] = wi;
        if (wi == 0) {
            taps = i;
            break;
        }
    }
    std::fill(weights + taps, weights + 128, 0);

    if (!Pass(*source, work, false, 0, 50))
        return E_FAIL;
    Progress(50);
    if (!Pass(work, *target, true, 50, 100))
        return E_FAIL;
    Progress(100);
    return 0;
}

// One axis: B, G, R of every pixel with alpha > 0 become the mean of the
// line's neighbours closer than taps, each weighted by alpha x w[distance].
bool MaskedGaussianBlurAlgorithm::Pass(const CQLImage& from, CQLImage& to, bool vertical, int progressLo,
                                       int progressHi)
{
    UINT uw = 0, uh = 0;
    from.GetSize(&uw, &uh);
    const int width = static_cast<int>(uw), height = static_cast<int>(uh);
    const int n = taps;
    const int* wt = weights;
    std::atomic<bool> failed{false};
    RowProgress progress(*this, height, progressLo, progressHi);
    imagecore::ParallelFor(0, height, static_cast<std::size_t>(width) * (2 * n - 1), [&](int y0, int y1) {
        // Sums of one output row, for the vertical pass that walks whole rows.
        std::vector<UINT> sums;
        try {
            sums.resize(vertical ? static_cast<std::size_t>(width) * 4 : 0);
        } catch (const std::bad_alloc&) {
            failed.store(true);
            return;
        }
        for (int y = y0; y < y1; ++y) {
            const BYTE* in = from.GetBuffer(0, y);
            BYTE* out = to.GetBuffer(0, y);
            if (!vertical) {
                for (int x = 0; x < width; ++x) {
                    const BYTE* c = in + x * 4;
                    BYTE* o = out + x * 4;
                    if (c[3] == 0) {
                        o[0] = c[0], o[1] = c[1], o[2] = c[2], o[3] = c[3];
                        continue;
                    }
                    UINT sc = 0, sb = 0, sg = 0, sr = 0;
                    const int from0 = std::max(0, x - (n - 1)), to0 = std::min(width - 1, x + (n - 1));
                    for (int i = from0; i <= to0; ++i) {
                        const BYTE* p = in + i * 4;
                        const UINT cw = static_cast<UINT>(p[3]) * wt[std::abs(i - x)];
                        sc += cw;
                        sb += cw * p[0];
                        sg += cw * p[1];
                        sr += cw * p[2];
                    }
                    o[0] = static_cast<BYTE>(sb / sc);
                    o[1] = static_cast<BYTE>(sg / sc);
                    o[2] = static_cast<BYTE>(sr / sc);
                    o[3] = c[3];
                }
            } else {
                std::fill(sums.begin(), sums.end(), 0u);
                const int from0 = std::max(0, y - (n - 1)), to0 = std::min(height - 1, y + (n - 1));
                for (int j = from0; j <= to0; ++j) {
                    const BYTE* p = from.GetBuffer(0, j);
                    const UINT w = static_cast<UINT>(wt[std::abs(j - y)]);
                    UINT* s = sums.data();
                    for (int x = 0; x < width; ++x, p += 4, s += 4) {
                        const UINT cw = p[3] * w;
                        s[0] += cw;
                        s[1] += cw * p[0];
                        s[2] += cw * p[1];
                        s[3] += cw * p[2];
                    }
                }
                const UINT* s = sums.data();
                for (int x = 0; x < width; ++x, s += 4) {
                    const BYTE* c = in + x * 4;
                    BYTE* o = out + x * 4;
                    if (c[3] == 0) {
                        o[0] = c[0], o[1] = c[1], o[2] = c[2], o[3] = c[3];
                        continue;
                    }
                    o[0] = static_cast<BYTE>(s[1] / s[0]);
                    o[1] = static_cast<BYTE>(s[2] / s[0]);
                    o[2] = static_cast<BYTE>(s[3] / s[0]);
                    o[3] = c[3];
                }
            }
            if (!progress.Advance(1))
                return;
        }
    });
    return !failed.load() && !progress.Cancelled();
}
