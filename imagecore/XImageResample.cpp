// CxImage::Resample: nearest neighbour (fast), box filter for 24-bit images
// shrinking both ways, bilinear otherwise.
#include "imagecore/ParallelFor.h"
#include "imagecore/XImage.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <vector>

namespace {

// The source pixels a target pixel covers along one axis, with weights in
// thousandths of a pixel.
struct BoxSpan {
    int first = 0;
    std::vector<int> weights;
};

std::vector<BoxSpan> BoxSpans(int srcLen, int dstLen)
{
    const double scale = static_cast<double>(srcLen) / dstLen;
    std::vector<BoxSpan> spans(static_cast<std::size_t>(dstLen));
    for (int i = 0; i < dstLen; ++i) {
        const double a = i * scale, b = std::min((i + 1) * scale, static_cast<double>(srcLen));
        BoxSpan& s = spans[static_cast<std::size_t>(i)];
        s.first = static_cast<int>(a);
        for (int k = s.first; k < b; ++k) {
            const double cover = std::min<double>(k + 1, b) - std::max<double>(k, a);
            s.weights.push_back(static_cast<int>(std::lround(cover * 1000)));
        }
    }
    return spans;
}

// Bilinear sample positions along one axis: the pixel, its neighbour (the
// last one standing in for itself) and the neighbour's weight in 1/256.
struct LinearTap {
    int i0, i1, f;
};

std::vector<LinearTap> LinearTaps(int srcLen, int dstLen)
{
    const double scale = static_cast<double>(srcLen) / dstLen;
    std::vector<LinearTap> taps(static_cast<std::size_t>(dstLen));
    for (int i = 0; i < dstLen; ++i) {
        const double pos = i * scale;
        const int i0 = std::min(static_cast<int>(pos), srcLen - 1);
        taps[static_cast<std::size_t>(i)] = LinearTap{i0, std::min(i0 + 1, srcLen - 1),
                                                      static_cast<int>(std::lround((pos - i0) * 256))};
    }
    return taps;
}

inline int Lerp2(int a, int b, int c, int d, int fx, int fy)
{
    const int top = a * (256 - fx) + b * fx;
    const int bottom = c * (256 - fx) + d * fx;
    return (top * (256 - fy) + bottom * fy + 32768) >> 16;
}

} // namespace

bool CxImage::Resample(LONG newx, LONG newy, int fast)
{
    if (!m_pDib || newx <= 0 || newy <= 0)
        return false;
    if (newx == m_head.biWidth && newy == m_head.biHeight)
        return true;
    CxImage tmp;
    if (!MakeTarget(tmp, static_cast<DWORD>(newx), static_cast<DWORD>(newy), GetBpp()))
        return false;
    if (m_pAlpha && !tmp.AlphaCreate())
        return false;
    if (!fast)
        return ResampleSmooth(newx, newy, tmp);

    const LONG w = m_head.biWidth, h = m_head.biHeight;
    const double sx = static_cast<double>(w) / newx, sy = static_cast<double>(h) / newy;
    std::vector<LONG> xs(static_cast<std::size_t>(newx));
    for (LONG x = 0; x < newx; ++x)
        xs[x] = std::min<LONG>(static_cast<LONG>(x * sx), w - 1);
    std::atomic<bool> stopped{false};
    std::atomic<LONG> rowsDone{0};
    imagecore::ParallelFor(0, newy, static_cast<std::size_t>(newx), [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            if (Escaped()) {
                stopped = true;
                return;
            }
            const LONG ys = std::min<LONG>(static_cast<LONG>(y * sy), h - 1);
            const BYTE* s = RowPtr(ys);
            BYTE* d = tmp.RowPtr(y);
            if (m_head.biBitCount == 24) {
                for (LONG x = 0; x < newx; ++x) {
                    const BYTE* p = s + 3 * static_cast<std::size_t>(xs[x]);
                    d[3 * x] = p[0];
                    d[3 * x + 1] = p[1];
                    d[3 * x + 2] = p[2];
                }
            } else {
                for (LONG x = 0; x < newx; ++x)
                    tmp.SetPixelIndexUnchecked(x, y, GetPixelIndexUnchecked(xs[x], ys));
            }
            if (m_pAlpha) {
                const BYTE* a = m_pAlpha + static_cast<std::size_t>(ys) * w;
                BYTE* da = tmp.m_pAlpha + static_cast<std::size_t>(y) * newx;
                for (LONG x = 0; x < newx; ++x)
                    da[x] = a[xs[x]];
            }
            SetProgress(++rowsDone * 100 / newy);
        }
    });
    if (stopped)
        return false;
    Transfer(tmp);
    return true;
}

bool CxImage::ResampleSmooth(LONG newx, LONG newy, CxImage& tmp)
{
    const LONG w = m_head.biWidth, h = m_head.biHeight;
    const bool box = m_head.biBitCount == 24 && newx < w && newy < h;
    std::atomic<bool> stopped{false};
    std::atomic<LONG> rowsDone{0};
    auto rowDone = [&] { SetProgress(++rowsDone * 100 / newy); };
    if (box) {
        const std::vector<BoxSpan> bx = BoxSpans(w, newx), by = BoxSpans(h, newy);
        imagecore::ParallelFor(0, newy, static_cast<std::size_t>(w) * h / newy, [&](int y0, int y1) {
            for (int y = y0; y < y1; ++y) {
                if (Escaped()) {
                    stopped = true;
                    return;
                }
                const BoxSpan& vy = by[static_cast<std::size_t>(y)];
                BYTE* d = tmp.RowPtr(y);
                for (LONG x = 0; x < newx; ++x) {
                    const BoxSpan& vx = bx[static_cast<std::size_t>(x)];
                    long long sum[4] = {};
                    long long total = 0;
                    for (std::size_t j = 0; j < vy.weights.size(); ++j) {
                        const LONG ys = vy.first + static_cast<LONG>(j);
                        const BYTE* p = RowPtr(ys) + 3 * static_cast<std::size_t>(vx.first);
                        const BYTE* a = m_pAlpha ? m_pAlpha + static_cast<std::size_t>(ys) * w + vx.first : nullptr;
                        for (std::size_t i = 0; i < vx.weights.size(); ++i, p += 3) {
                            const long long wgt = static_cast<long long>(vy.weights[j]) * vx.weights[i];
                            sum[0] += p[0] * wgt;
                            sum[1] += p[1] * wgt;
                            sum[2] += p[2] * wgt;
                            if (a)
                                sum[3] += a[i] * wgt;
                            total += wgt;
                        }
                    }
                    // Divided by the weights' own sum (sx * sy * 1000000 but for
                    // rounding), so a flat area keeps its value.
                    for (int k = 0; k < 3; ++k)
                        d[3 * x + k] = static_cast<BYTE>((sum[k] + total / 2) / total);
                    if (m_pAlpha)
                        tmp.m_pAlpha[static_cast<std::size_t>(y) * newx + x] =
                            static_cast<BYTE>((sum[3] + total / 2) / total);
                }
                rowDone();
            }
        });
    } else {
        const std::vector<LinearTap> tx = LinearTaps(w, newx), ty = LinearTaps(h, newy);
        const bool indexed = m_head.biClrUsed != 0;
        imagecore::ParallelFor(0, newy, static_cast<std::size_t>(newx), [&](int y0, int y1) {
            for (int y = y0; y < y1; ++y) {
                if (Escaped()) {
                    stopped = true;
                    return;
                }
                const LinearTap& v = ty[static_cast<std::size_t>(y)];
                BYTE* d = tmp.RowPtr(y);
                for (LONG x = 0; x < newx; ++x) {
                    const LinearTap& u = tx[static_cast<std::size_t>(x)];
                    if (indexed) {
                        const RGBQUAD c00 = GetPixelColorUnchecked(u.i0, v.i0), c10 = GetPixelColorUnchecked(u.i1, v.i0);
                        const RGBQUAD c01 = GetPixelColorUnchecked(u.i0, v.i1), c11 = GetPixelColorUnchecked(u.i1, v.i1);
                        const RGBQUAD c{
                            static_cast<BYTE>(Lerp2(c00.rgbBlue, c10.rgbBlue, c01.rgbBlue, c11.rgbBlue, u.f, v.f)),
                            static_cast<BYTE>(Lerp2(c00.rgbGreen, c10.rgbGreen, c01.rgbGreen, c11.rgbGreen, u.f, v.f)),
                            static_cast<BYTE>(Lerp2(c00.rgbRed, c10.rgbRed, c01.rgbRed, c11.rgbRed, u.f, v.f)), 0};
                        tmp.SetPixelIndexUnchecked(x, y, tmp.GetNearestIndex(c));
                    } else {
                        const BYTE* r0 = RowPtr(v.i0);
                        const BYTE* r1 = RowPtr(v.i1);
                        const std::size_t a = 3 * static_cast<std::size_t>(u.i0), b = 3 * static_cast<std::size_t>(u.i1);
                        for (int k = 0; k < 3; ++k)
                            d[3 * x + k] = static_cast<BYTE>(Lerp2(r0[a + k], r0[b + k], r1[a + k], r1[b + k], u.f, v.f));
                    }
                    if (m_pAlpha) {
                        const BYTE* a0 = m_pAlpha + static_cast<std::size_t>(v.i0) * w;
                        const BYTE* a1 = m_pAlpha + static_cast<std::size_t>(v.i1) * w;
                        tmp.m_pAlpha[static_cast<std::size_t>(y) * newx + x] =
                            static_cast<BYTE>(Lerp2(a0[u.i0], a0[u.i1], a1[u.i0], a1[u.i1], u.f, v.f));
                    }
                }
                rowDone();
            }
        });
    }
    if (stopped)
        return false;
    Transfer(tmp);
    return true;
}
