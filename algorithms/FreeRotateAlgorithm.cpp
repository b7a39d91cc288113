#include "algorithms/FreeRotateAlgorithm.h"

#include "algorithms/ResampleRows.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>
#include <vector>

namespace {

// Per byte of two pixels: (p * (255 - a) + q * a) >> 8. Two bytes per 16-bit
// lane pair; a lane holds at most 255 * 255, so nothing carries across.
inline DWORD Blend(DWORD p, DWORD q, DWORD a)
{
    const DWORD na = 255 - a;
    const DWORD rb = (((p & 0x00FF00FFu) * na + (q & 0x00FF00FFu) * a) >> 8) & 0x00FF00FFu;
    const DWORD ag = ((((p >> 8) & 0x00FF00FFu) * na + ((q >> 8) & 0x00FF00FFu) * a) >> 8) & 0x00FF00FFu;
    return rb | (ag << 8);
}

} // namespace

FreeRotateAlgorithm::~FreeRotateAlgorithm() = default;

HRESULT FreeRotateAlgorithm::Apply(const void* params)
{
    if (EffectAlgorithm::Apply(params) != 0 || !params)
        return E_FAIL;
    double a = 0.0;
    std::memcpy(&a, params, sizeof a);
    // A turned size from a NaN or infinite angle has no meaning.
    if (!std::isfinite(a))
        return E_FAIL;
    angle = a;
    sinAngle = std::sin(angle);
    cosAngle = std::cos(angle);

    UINT uw = 0, uh = 0;
    source->GetSize(&uw, &uh);
    const double w = uw, h = uh;
    const long long tw = std::llabs(static_cast<long long>(w * cosAngle)) + std::llabs(static_cast<long long>(h * sinAngle));
    const long long th = std::llabs(static_cast<long long>(h * cosAngle)) + std::llabs(static_cast<long long>(w * sinAngle));
    // A turned size of nothing is no picture (a pixel or two turned so that
    // every truncated product is 0).
    if (tw == 0 || th == 0 || tw > 0x7FFFFFFF || th > 0x7FFFFFFF)
        return E_FAIL;

    // The target is re-created at another size: a caller that hands one
    // image for both keeps its pixels readable through a private copy.
    CQLImage own;
    const CQLImage* from = source;
    if (source == target) {
        if (!own.DuplicateFrom(source))
            return E_FAIL;
        from = &own;
    }
    if (target->Create(static_cast<UINT>(tw), static_cast<UINT>(th)) != 0)
        return E_FAIL;
    sourceCentreX = static_cast<int>(uw / 2);
    sourceCentreY = static_cast<int>(uh / 2);
    targetCentreX = static_cast<int>(tw / 2);
    targetCentreY = static_cast<int>(th / 2);
    Progress(5);

    // The column terms of both source coordinates, computed once: each sum
    // below adds its terms in the same order as the per-pixel formula.
    const int width = static_cast<int>(tw), height = static_cast<int>(th);
    std::vector<double> colX, colY;
    try {
        colX.resize(width);
        colY.resize(width);
    } catch (const std::bad_alloc&) {
        return E_FAIL;
    }
    for (int x = 0; x < width; ++x) {
        const double dx = x - targetCentreX;
        colX[x] = sourceCentreX + dx * cosAngle;
        colY[x] = sourceCentreY - dx * sinAngle;
    }
    const bool finished = resample::ParallelRows(*this, height, static_cast<std::size_t>(width) * 4, 8, 10, 100,
                                                 [&](int y) { TurnRow(*from, y, colX.data(), colY.data()); });
    if (!finished)
        return E_FAIL;
    if (autoCrop && !Crop())
        return E_FAIL;
    Progress(100);
    return 0;
}

void FreeRotateAlgorithm::TurnRow(const CQLImage& from, int y, const double* colX, const double* colY)
{
    UINT uw = 0, uh = 0;
    from.GetSize(&uw, &uh);
    UINT tw = 0, th = 0;
    target->GetSize(&tw, &th);
    const auto* src = reinterpret_cast<const DWORD*>(from.GetBuffer(0, 0));
    auto* out = reinterpret_cast<DWORD*>(target->GetBuffer(0, y));
    const DWORD back = ((background & 0xFFu) << 16) | (background & 0xFF00u) | ((background >> 16) & 0xFFu);
    auto sample = [&](int c, int r) -> DWORD {
        if (static_cast<UINT>(c) < uw && static_cast<UINT>(r) < uh)
            return src[static_cast<std::size_t>(r) * uw + static_cast<UINT>(c)] | 0xFF000000u;
        return back;
    };

    const double dy = y - targetCentreY;
    const double rowX = dy * sinAngle, rowY = dy * cosAngle;
    for (UINT x = 0; x < tw; ++x) {
        const double sx = colX[x] + rowX;
        const double sy = colY[x] + rowY;
        const int ix = static_cast<int>(sx), iy = static_cast<int>(sy);
        // Left of or above the first pixel the second sample is the background.
        const int ix2 = sx > 0 ? ix + 1 : ix - 1;
        const int iy2 = sy > 0 ? iy + 1 : iy - 1;
        const DWORD fa = static_cast<DWORD>(std::fabs(sx - ix) * 256);
        const DWORD fb = static_cast<DWORD>(std::fabs(sy - iy) * 256);
        const DWORD top = Blend(sample(ix, iy), sample(ix2, iy), fa);
        const DWORD bottom = Blend(sample(ix, iy2), sample(ix2, iy2), fa);
        out[x] = Blend(top, bottom, fb);
    }
}

bool FreeRotateAlgorithm::Crop()
{
    UINT uw = 0, uh = 0;
    target->GetSize(&uw, &uh);
    const int tw = static_cast<int>(uw), th = static_cast<int>(uh);
    const double d = std::sqrt(static_cast<double>(tw) * tw + static_cast<double>(th) * th);
    const int cx = tw / 2, cy = th / 2;
    double lo = 0, hi = d, m = d / 2;
    int left = 0, right = 0, top = 0, bottom = 0;
    auto picture = [&](int x, int y) { return target->GetBuffer(x, y)[3] != 0; };
    do {
        const double hw = tw * m / d, hh = th * m / d;
        left = std::max(0, static_cast<int>(cx - hw + 0.5));
        right = std::min(tw, static_cast<int>(cx + 0.5 + hw));
        top = std::max(0, static_cast<int>(cy - hh + 0.5));
        bottom = std::min(th, static_cast<int>(cy + 0.5 + hh));
        // An empty rectangle has no corners to hold picture.
        const bool passed = right > left && bottom > top && picture(left, top) && picture(right - 1, top)
                            && picture(left, bottom - 1) && picture(right - 1, bottom - 1);
        if (passed) {
            lo = m;
            m = (m + hi) / 2;
        } else {
            hi = m;
            m = (lo + m) / 2;
        }
    } while (hi - lo > 1.0);

    // Nothing left to keep: the uncropped picture stays.
    if (right <= left || bottom <= top)
        return false;
    CQLImage crop;
    if (crop.Create(static_cast<UINT>(right - left), static_cast<UINT>(bottom - top)) != 0)
        return false;
    const std::size_t rowBytes = static_cast<std::size_t>(right - left) * 4;
    for (int y = top; y < bottom; ++y)
        std::memcpy(crop.GetBuffer(0, y - top), target->GetBuffer(left, y), rowBytes);
    *target = std::move(crop);
    return true;
}
