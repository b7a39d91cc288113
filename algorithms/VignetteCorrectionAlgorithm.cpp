#include "algorithms/VignetteCorrectionAlgorithm.h"

#include "algorithms/ResampleRows.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

namespace {

constexpr double kPi = 3.14159265359;

} // namespace

VignetteCorrectionAlgorithm::~VignetteCorrectionAlgorithm() = default;

BYTE VignetteCorrectionAlgorithm::RingShare(int r1, int r2, long long r)
{
    if (r < static_cast<long long>(r1) - r2)
        return 0;
    if (r > static_cast<long long>(r1) + r2)
        return 255;
    // A disc of no size on the circle itself: nothing of it lies outside.
    if (r2 == 0)
        return 0;
    const double R1 = r1, R2 = r2, d = static_cast<double>(r);
    const double disc = kPi * R2 * R2;
    double inside;
    if (d + R1 <= R2) {
        inside = kPi * R1 * R1; // the lens circle lies wholly in the disc (also r = 0)
    } else {
        // Two crossing circles; rounding may push the cosines past +-1.
        const double ca = std::clamp((R1 * R1 + d * d - R2 * R2) / (2 * d * R1), -1.0, 1.0);
        const double cb = std::clamp((R2 * R2 + d * d - R1 * R1) / (2 * d * R2), -1.0, 1.0);
        const double a = 2 * std::acos(ca), b = 2 * std::acos(cb);
        inside = R1 * R1 * a / 2 + R2 * R2 * b / 2 - d * R1 * std::sin(a / 2);
    }
    const double outside = disc - inside;
    // The share first, so that a disc wholly outside gives exactly 255.
    return static_cast<BYTE>(std::clamp(static_cast<int>(255 * (outside / disc)), 0, 255));
}

HRESULT VignetteCorrectionAlgorithm::Apply(const void* params)
{
    if (EffectAlgorithm::Apply(params) != 0 || !params)
        return E_FAIL;
    VignetteParams p;
    std::memcpy(&p, params, sizeof p);
    if (p.outerRadius < 0 || p.ringRadius < 0)
        return E_FAIL;
    param = p;
    if (!CopySourceToTarget())
        return E_FAIL;
    Progress(10);

    UINT uw = 0, uh = 0;
    target->GetSize(&uw, &uh);
    const int width = static_cast<int>(uw), height = static_cast<int>(uh);
    // The table runs to R1 + R2 + 99, where every entry is 255; distances past
    // its end read its last entry. Only the distances that the pixels can
    // have are built: from the nearest point of the picture to its farthest.
    const long long cx = p.centerX, cy = p.centerY;
    const long long nx = std::max(0LL, std::max(-cx, cx - (width - 1)));
    const long long ny = std::max(0LL, std::max(-cy, cy - (height - 1)));
    const long long fx = std::max(std::llabs(cx), std::llabs(cx - (width - 1)));
    const long long fy = std::max(std::llabs(cy), std::llabs(cy - (height - 1)));
    auto distance = [](long long x, long long y) {
        return static_cast<long long>(std::sqrt(static_cast<double>(x) * x + static_cast<double>(y) * y));
    };
    const long long last = static_cast<long long>(p.outerRadius) + p.ringRadius + 99;
    const long long first = std::min(distance(nx, ny), last);
    const long long end = std::min(distance(fx, fy), last) + 1;
    try {
        table.resize(static_cast<std::size_t>(end - first));
    } catch (const std::bad_alloc&) {
        return E_FAIL;
    }
    for (long long r = first; r < end; ++r)
        table[r - first] = RingShare(p.outerRadius, p.ringRadius, r);

    // gain[t][v] = min(255, v * 255 / (256 - t)).
    static const auto gain = [] {
        std::vector<BYTE> g(256 * 256);
        for (int t = 0; t < 256; ++t)
            for (int v = 0; v < 256; ++v)
                g[t * 256 + v] = static_cast<BYTE>(std::min(255, v * 255 / (256 - t)));
        return g;
    }();
    const bool finished = resample::ParallelRows(*this, height, static_cast<std::size_t>(width) * 4, 32, 10, 90, [&](int y) {
        BYTE* out = target->GetBuffer(0, y);
        const double dy = static_cast<double>(y - cy);
        for (int x = 0; x < width; ++x, out += 4) {
            const double dx = static_cast<double>(x - cx);
            const long long d = std::min(static_cast<long long>(std::sqrt(dx * dx + dy * dy)), last);
            const int t = table[d - first];
            if (t == 0)
                continue;
            if (t == 255) {
                std::memset(out, 0, 4);
                continue;
            }
            const BYTE* g = gain.data() + t * 256;
            out[0] = g[out[0]];
            out[1] = g[out[1]];
            out[2] = g[out[2]];
        }
    });
    if (!finished)
        return E_FAIL;
    Progress(90);
    Progress(100);
    return 0;
}
