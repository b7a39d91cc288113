#include "platform/afx/DibScale.h"

#include "imagecore/ParallelFor.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace qlafx {

namespace {

// Source index of the centre of destination pixel i.
inline int NearestIndex(int i, int srcLen, int dstLen)
{
    return static_cast<int>((2 * static_cast<std::int64_t>(i) + 1) * srcLen / (2 * static_cast<std::int64_t>(dstLen)));
}

inline std::uint32_t LoadPixel(const std::uint8_t* p, int bpp)
{
    if (bpp == 4) {
        std::uint32_t v;
        std::memcpy(&v, p, 4);
        return v;
    }
    return p[0] | (p[1] << 8) | (p[2] << 16) | 0xFF000000u;
}

// Per-axis table of the source pixels under each destination pixel, with
// weights in 1/65536 that sum to exactly 65536.
struct Taps {
    std::vector<int> first;  // per destination pixel of the span
    std::vector<int> count;
    std::vector<int> offset; // into weights
    std::vector<std::uint32_t> weights;
};

constexpr std::int64_t kOne = 65536;

Taps BuildTaps(int srcStart, int srcLen, int dstLen, int spanStart, int spanLen, bool mirror)
{
    Taps t;
    t.first.resize(spanLen);
    t.count.resize(spanLen);
    t.offset.resize(spanLen);
    for (int s = 0; s < spanLen; ++s) {
        const int i = spanStart + s;
        const std::int64_t mi = mirror ? dstLen - 1 - i : i;
        // Footprint in units of 1/dstLen source pixel.
        const std::int64_t lo = mi * srcLen;
        const std::int64_t hi = lo + srcLen;
        const int k0 = static_cast<int>(lo / dstLen);
        const int k1 = static_cast<int>((hi + dstLen - 1) / dstLen); // exclusive
        t.first[s] = srcStart + k0;
        t.count[s] = k1 - k0;
        t.offset[s] = static_cast<int>(t.weights.size());
        std::int64_t covered = 0;
        std::int64_t given = 0;
        for (int k = k0; k < k1; ++k) {
            const std::int64_t overlap = std::min(hi, (k + 1) * std::int64_t{dstLen}) - std::max(lo, k * std::int64_t{dstLen});
            covered += overlap;
            const std::int64_t upto = (covered * kOne + srcLen / 2) / srcLen;
            t.weights.push_back(static_cast<std::uint32_t>(upto - given));
            given = upto;
        }
    }
    return t;
}

} // namespace

void ScaleNearest(const ScaleJob& job, const DibOutput& out)
{
    if (job.span.width <= 0 || job.span.height <= 0 || job.dstWidth <= 0 || job.dstHeight <= 0)
        return;
    const int bpp = job.src.bytesPerPixel;
    std::vector<std::ptrdiff_t> xoff(job.span.width);
    for (int s = 0; s < job.span.width; ++s) {
        const int i = job.span.x + s;
        const int mi = job.mirrorX ? job.dstWidth - 1 - i : i;
        xoff[s] = static_cast<std::ptrdiff_t>(job.srcRect.x + NearestIndex(mi, job.srcRect.width, job.dstWidth)) * bpp;
    }
    const std::uint32_t alphaOr = out.opaque ? 0xFF000000u : 0;
    imagecore::ParallelFor(0, job.span.height, static_cast<std::size_t>(job.span.width), [&](int r0, int r1) {
        for (int r = r0; r < r1; ++r) {
            const int j = job.span.y + r;
            const int mj = job.mirrorY ? job.dstHeight - 1 - j : j;
            const int sy = job.srcRect.y + NearestIndex(mj, job.srcRect.height, job.dstHeight);
            const std::uint8_t* srow = job.src.top + sy * job.src.stride;
            auto* drow = reinterpret_cast<std::uint32_t*>(out.origin + r * out.stride);
            if (bpp == 4) {
                for (int s = 0; s < job.span.width; ++s) {
                    std::uint32_t v;
                    std::memcpy(&v, srow + xoff[s], 4);
                    drow[s] = v | alphaOr;
                }
            } else {
                for (int s = 0; s < job.span.width; ++s)
                    drow[s] = LoadPixel(srow + xoff[s], 3);
            }
        }
    });
}

void ScaleAverage(const ScaleJob& job, const DibOutput& out)
{
    if (job.span.width <= 0 || job.span.height <= 0 || job.dstWidth <= 0 || job.dstHeight <= 0)
        return;
    const Taps tx = BuildTaps(job.srcRect.x, job.srcRect.width, job.dstWidth, job.span.x, job.span.width, job.mirrorX);
    const Taps ty = BuildTaps(job.srcRect.y, job.srcRect.height, job.dstHeight, job.span.y, job.span.height, job.mirrorY);
    const int bpp = job.src.bytesPerPixel;
    const int w = job.span.width;
    const std::size_t tapsPerPixel = static_cast<std::size_t>(job.srcRect.width / job.dstWidth + 1) *
                                     static_cast<std::size_t>(job.srcRect.height / job.dstHeight + 1);

    imagecore::ParallelFor(0, job.span.height, w * tapsPerPixel, [&](int r0, int r1) {
        std::vector<std::uint64_t> acc(static_cast<std::size_t>(w) * 4);
        for (int r = r0; r < r1; ++r) {
            std::fill(acc.begin(), acc.end(), 0);
            for (int ky = 0; ky < ty.count[r]; ++ky) {
                const std::uint64_t wy = ty.weights[ty.offset[r] + ky];
                if (wy == 0)
                    continue;
                const std::uint8_t* srow = job.src.top + (ty.first[r] + ky) * job.src.stride;
                std::uint64_t* a = acc.data();
                for (int s = 0; s < w; ++s, a += 4) {
                    const std::uint8_t* p = srow + static_cast<std::ptrdiff_t>(tx.first[s]) * bpp;
                    const std::uint32_t* wx = tx.weights.data() + tx.offset[s];
                    std::uint32_t b = 0, g = 0, rd = 0, al = 0;
                    for (int kx = 0; kx < tx.count[s]; ++kx, p += bpp) {
                        b += p[0] * wx[kx];
                        g += p[1] * wx[kx];
                        rd += p[2] * wx[kx];
                        al += (bpp == 4 ? p[3] : 255u) * wx[kx];
                    }
                    a[0] += b * wy;
                    a[1] += g * wy;
                    a[2] += rd * wy;
                    a[3] += al * wy;
                }
            }
            std::uint8_t* d = out.origin + r * out.stride;
            const std::uint64_t half = std::uint64_t{1} << 31;
            for (int s = 0; s < w; ++s, d += 4) {
                const std::uint64_t* a = acc.data() + static_cast<std::size_t>(s) * 4;
                d[0] = static_cast<std::uint8_t>((a[0] + half) >> 32);
                d[1] = static_cast<std::uint8_t>((a[1] + half) >> 32);
                d[2] = static_cast<std::uint8_t>((a[2] + half) >> 32);
                d[3] = out.opaque ? 0xFF : static_cast<std::uint8_t>((a[3] + half) >> 32);
            }
        }
    });
}

} // namespace qlafx
