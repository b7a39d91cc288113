#include "algorithms/BarrelDistortionAlgorithm.h"

#include "algorithms/NumericHelpers.h"
#include "algorithms/ResampleRows.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

BarrelDistortionAlgorithm::~BarrelDistortionAlgorithm() = default;

double BarrelDistortionAlgorithm::Curve(double k, double x)
{
    const double slope0 = std::max(0.0, 2 * (1 - k) / k - 1);
    const double slope1 = std::max(0.0, 2 * k / (1 - k) - 1);
    if (x < k)
        return HermiteInterpolate(0, k, 0, 1 - k, slope0, 1, x);
    return HermiteInterpolate(k, 1, 1 - k, 1, 1, slope1, x);
}

HRESULT BarrelDistortionAlgorithm::Apply(const void* params)
{
    if (EffectAlgorithm::Apply(params) != 0 || !params)
        return E_FAIL;
    std::memcpy(&strength, params, sizeof strength);
    // Outside 0..100 the knee leaves (0, 1) and the slopes divide by zero.
    const int s = std::clamp(static_cast<int>(strength), 0, 100);

    // The samples are read from the source while the target is written.
    CQLImage own;
    const CQLImage* from = source;
    if (source == target) {
        if (!own.DuplicateFrom(source))
            return E_FAIL;
        from = &own;
    }
    if (!CopySourceToTarget())
        return E_FAIL;

    UINT uw = 0, uh = 0;
    from->GetSize(&uw, &uh);
    const int width = static_cast<int>(uw), height = static_cast<int>(uh);
    const double k = 0.5 + 0.0005 * (s - 50);
    const int n = 1 + static_cast<int>(std::sqrt(static_cast<double>(uw) * uw + static_cast<double>(uh) * uh) / 2);
    try {
        table.resize(static_cast<std::size_t>(n) + 1);
    } catch (const std::bad_alloc&) {
        return E_FAIL;
    }
    for (int i = 0; i <= n; ++i)
        table[i] = static_cast<float>(n * Curve(k, static_cast<double>(i) / n));

    // Offsets from the centre are taken exactly: on an odd side the centre
    // falls between pixels, and rounding the offsets would sample every pixel
    // half a pixel off and double the middle row and column.
    const double cx = width * 0.5, cy = height * 0.5;
    const auto* src = reinterpret_cast<const DWORD*>(from->GetBuffer(0, 0));
    const float* radius = table.data();
    const bool finished = resample::ParallelRows(*this, height, static_cast<std::size_t>(width) * 8, 10, 0, 100, [&](int y) {
        BYTE* out = target->GetBuffer(0, y);
        const double dy = y - cy;
        for (int x = 0; x < width; ++x, out += 4) {
            const double dx = x - cx;
            const double e = std::sqrt(dx * dx + dy * dy);
            if (e < 1)
                continue; // the centre keeps the copy
            const int te = std::min(static_cast<int>(e), n - 1);
            const double r = radius[te] + (static_cast<double>(radius[te + 1]) - radius[te]) * (e - te);
            const double scale = r / e;
            const double px = cx + dx * scale, py = cy + dy * scale;
            if (!(px > 0 && px < width - 1 && py > 0 && py < height - 1)) {
                std::memset(out, 0, 4);
                continue;
            }
            const int ix = static_cast<int>(px), iy = static_cast<int>(py);
            const double fx = px - ix, fy = py - iy;
            const BYTE* p00 = reinterpret_cast<const BYTE*>(src + static_cast<std::size_t>(iy) * width + ix);
            const BYTE* p10 = p00 + 4;
            const BYTE* p01 = p00 + static_cast<std::size_t>(width) * 4;
            const BYTE* p11 = p01 + 4;
            for (int c = 0; c < 3; ++c) {
                const double top = p00[c] + (p10[c] - p00[c]) * fx;
                const double bottom = p01[c] + (p11[c] - p01[c]) * fx;
                out[c] = static_cast<BYTE>(top + (bottom - top) * fy);
            }
        }
    });
    if (!finished)
        return E_FAIL;
    Progress(100);
    return 0;
}
