// Resampling and free rotation.
//
// Smooth resampling is separable: along an axis that shrinks, each target
// pixel is the area-weighted mean of the source pixels it covers (a box
// filter with fractional edge weights); along an axis that grows, bilinear
// interpolation between pixel centres (edges clamped); an axis that keeps its
// size is copied. Weights are 14-bit fixed point summing exactly to 1; the
// vertical pass keeps 8 extra bits, so a flat area stays exactly flat. All
// four bytes are filtered alike. Rows are shared out over all cores.

#include "platform/codec/CodecInternal.h"

#include "imagecore/ParallelFor.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <memory>
#include <vector>

namespace qlcodec {
namespace {

constexpr int kShift = 14;
constexpr int kOne = 1 << kShift;

struct Taps {
    std::vector<int> first;  // first source index of each target index
    std::vector<int> count;  // number of taps
    std::vector<int> offset; // into weights
    std::vector<int> weights;
};

void BuildTaps(int src, int dst, Taps& t)
{
    t.first.resize(static_cast<std::size_t>(dst));
    t.count.resize(static_cast<std::size_t>(dst));
    t.offset.resize(static_cast<std::size_t>(dst));
    t.weights.clear();
    std::vector<double> w;
    for (int i = 0; i < dst; ++i) {
        w.clear();
        int j0 = 0;
        if (src == dst) {
            j0 = i;
            w.push_back(1.0);
        } else if (dst < src) {
            const double scale = static_cast<double>(src) / dst;
            const double lo = i * scale, hi = (i + 1) * scale;
            j0 = static_cast<int>(std::floor(lo));
            int j1 = static_cast<int>(std::ceil(hi)) - 1;
            j1 = std::min(j1, src - 1);
            j0 = std::min(j0, j1);
            for (int j = j0; j <= j1; ++j) {
                const double overlap = std::min(hi, j + 1.0) - std::max(lo, static_cast<double>(j));
                w.push_back(std::max(0.0, overlap) / scale);
            }
        } else {
            double u = (i + 0.5) * src / dst - 0.5;
            if (u < 0)
                u = 0;
            j0 = static_cast<int>(std::floor(u));
            double f = u - j0;
            if (j0 >= src - 1) {
                j0 = src - 1;
                f = 0;
            }
            w.push_back(1.0 - f);
            if (f > 0)
                w.push_back(f);
        }
        // To fixed point, the rounding error put on the largest weight.
        const std::size_t at = t.weights.size();
        int sum = 0;
        std::size_t biggest = at;
        for (double v : w) {
            const int q = static_cast<int>(std::lround(v * kOne));
            if (t.weights.size() == at || q > t.weights[biggest])
                biggest = t.weights.size();
            t.weights.push_back(q);
            sum += q;
        }
        t.weights[biggest] += kOne - sum;
        t.first[static_cast<std::size_t>(i)] = j0;
        t.count[static_cast<std::size_t>(i)] = static_cast<int>(w.size());
        t.offset[static_cast<std::size_t>(i)] = static_cast<int>(at);
    }
}

// The horizontal pass: one row of 16-bit values (value << 8) into one
// target row of tx.first.size() pixels.
inline void HorizontalPass(const uint16_t* mid, const Taps& tx, BYTE* d)
{
    const int dw = static_cast<int>(tx.first.size());
    for (int x = 0; x < dw; ++x, d += 4) {
        const int m = tx.count[static_cast<std::size_t>(x)];
        const int* wh = tx.weights.data() + tx.offset[static_cast<std::size_t>(x)];
        const uint16_t* s = mid + static_cast<std::size_t>(tx.first[static_cast<std::size_t>(x)]) * 4;
        uint32_t b = 0, g = 0, r = 0, a = 0;
        for (int k = 0; k < m; ++k, s += 4) {
            const uint32_t wk = static_cast<uint32_t>(wh[k]);
            b += s[0] * wk;
            g += s[1] * wk;
            r += s[2] * wk;
            a += s[3] * wk;
        }
        constexpr int shift = kShift + 8;
        constexpr uint32_t half = 1u << (shift - 1);
        d[0] = static_cast<BYTE>((b + half) >> shift);
        d[1] = static_cast<BYTE>((g + half) >> shift);
        d[2] = static_cast<BYTE>((r + half) >> shift);
        d[3] = static_cast<BYTE>((a + half) >> shift);
    }
}

bool SmoothInto(const CQLImage& source, CQLImage& target, UINT width, UINT height)
{
    const int sw = static_cast<int>(Width(source)), sh = static_cast<int>(Height(source));
    const int dw = static_cast<int>(width), dh = static_cast<int>(height);
    Taps tx, ty;
    BuildTaps(sw, dw, tx);
    BuildTaps(sh, dh, ty);
    if (!MakeImage(target, width, height))
        return false;
    std::atomic<bool> ok{true};
    imagecore::ParallelFor(0, dh, static_cast<std::size_t>(sw) * 2 + static_cast<std::size_t>(dw) * 4,
                           [&](int y0, int y1) {
        std::vector<uint32_t> acc;
        std::vector<uint16_t> mid;
        try {
            acc.resize(static_cast<std::size_t>(sw) * 4);
            mid.resize(static_cast<std::size_t>(sw) * 4);
        } catch (...) {
            ok = false;
            return;
        }
        for (int y = y0; y < y1; ++y) {
            // Vertical: source rows into one row of 16-bit values (value << 8).
            const int n = ty.count[static_cast<std::size_t>(y)];
            const int* wv = ty.weights.data() + ty.offset[static_cast<std::size_t>(y)];
            const int first = ty.first[static_cast<std::size_t>(y)];
            if (n == 1) {
                const BYTE* s = Row(source, static_cast<UINT>(first));
                for (std::size_t i = 0; i < acc.size(); ++i)
                    mid[i] = static_cast<uint16_t>(s[i] << 8);
            } else {
                std::fill(acc.begin(), acc.end(), 0u);
                for (int k = 0; k < n; ++k) {
                    const BYTE* s = Row(source, static_cast<UINT>(first + k));
                    const uint32_t wk = static_cast<uint32_t>(wv[k]);
                    for (std::size_t i = 0; i < acc.size(); ++i)
                        acc[i] += s[i] * wk;
                }
                for (std::size_t i = 0; i < acc.size(); ++i)
                    mid[i] = static_cast<uint16_t>((acc[i] + (1u << (kShift - 9))) >> (kShift - 8));
            }
            HorizontalPass(mid.data(), tx, Row(target, static_cast<UINT>(y)));
        }
    });
    if (!ok.load())
        target.Free();
    return ok.load();
}

bool NearestInto(const CQLImage& source, CQLImage& target, UINT width, UINT height)
{
    const UINT sw = Width(source), sh = Height(source);
    std::vector<UINT> xs(width);
    for (UINT x = 0; x < width; ++x)
        xs[x] = static_cast<UINT>((ULONGLONG{2} * x + 1) * sw / (ULONGLONG{2} * width));
    if (!MakeImage(target, width, height))
        return false;
    imagecore::ParallelFor(0, static_cast<int>(height), width, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            const UINT sy = static_cast<UINT>((ULONGLONG{2} * static_cast<UINT>(y) + 1) * sh / (ULONGLONG{2} * height));
            const CPixel* s = reinterpret_cast<const CPixel*>(Row(source, sy));
            CPixel* d = reinterpret_cast<CPixel*>(Row(target, static_cast<UINT>(y)));
            for (UINT x = 0; x < width; ++x)
                d[x] = s[xs[x]];
        }
    });
    return true;
}

template <class Fn>
bool Resize(const CQLImage& source, CQLImage& target, UINT width, UINT height, Fn&& fn)
{
    if (!source.GetAreaByteSize() || !SizeOk(width, height))
        return false;
    if (&source == &target) {
        CQLImage temp;
        if (!fn(source, temp, width, height))
            return false;
        target = std::move(temp);
        return true;
    }
    return fn(source, target, width, height);
}

} // namespace

bool ResampleSmooth(const CQLImage& source, CQLImage& target, UINT width, UINT height)
{
    return Resize(source, target, width, height, SmoothInto);
}

bool ResampleNearest(const CQLImage& source, CQLImage& target, UINT width, UINT height)
{
    return Resize(source, target, width, height, NearestInto);
}

void ThumbnailSize(UINT fw, UINT fh, int maxSide, UINT& tw, UINT& th)
{
    tw = fw;
    th = fh;
    if (std::max(fw, fh) > static_cast<UINT>(maxSide)) {
        if (fw >= fh) {
            tw = static_cast<UINT>(maxSide);
            th = static_cast<UINT>(std::max<ULONGLONG>(1, (ULONGLONG{fh} * tw * 2 + fw) / (ULONGLONG{fw} * 2)));
        } else {
            th = static_cast<UINT>(maxSide);
            tw = static_cast<UINT>(std::max<ULONGLONG>(1, (ULONGLONG{fw} * th * 2 + fh) / (ULONGLONG{fh} * 2)));
        }
    }
}

bool ShrinkToFit(CQLImage& source, CQLImage& target, int maxSide, UINT fullWidth, UINT fullHeight)
{
    const UINT w = Width(source), h = Height(source);
    if (!w || !h || maxSide < 1)
        return false;
    // The thumbnail's shape comes from the full picture (a DCT-scaled decode
    // rounds its sides up).
    UINT tw = 0, th = 0;
    ThumbnailSize(fullWidth ? fullWidth : w, fullHeight ? fullHeight : h, maxSide, tw, th);
    if (tw == w && th == h) {
        if (&source != &target)
            target = std::move(source);
        return true;
    }
    return ResampleSmooth(source, target, tw, th);
}

// The vertical pass of SmoothInto turned around: each incoming row is added
// into the sums of the (at most two) thumbnail rows it covers, and a
// thumbnail row is finished by the horizontal pass once its last row came.
struct ThumbnailSink::State {
    Taps tx, ty;
    std::vector<CPixel> row;
    std::vector<uint32_t> sums[2]; // thumbnail row i uses sums[i & 1]
    std::vector<uint16_t> mid;
    UINT fed = 0;  // rows received
    UINT next = 0; // first thumbnail row not finished
    bool bottomUp = false;
};

ThumbnailSink::ThumbnailSink(CQLImage& target, int maxSide) : m_target(target), m_maxSide(maxSide) {}

ThumbnailSink::~ThumbnailSink()
{
    delete m_state;
}

bool ThumbnailSink::Begin(UINT width, UINT height, bool bottomUp)
{
    delete m_state;
    m_state = nullptr;
    m_width = width;
    m_height = height;
    if (!width || !height || m_maxSide < 1)
        return false;
    UINT tw = 0, th = 0;
    ThumbnailSize(width, height, m_maxSide, tw, th);
    try {
        auto st = std::make_unique<State>();
        BuildTaps(static_cast<int>(width), static_cast<int>(tw), st->tx);
        BuildTaps(static_cast<int>(height), static_cast<int>(th), st->ty);
        // Two sums suffice only when a thumbnail row ends before the one two
        // further begins, which shrinking always gives.
        for (UINT i = 0; i + 2 < th; ++i)
            if (st->ty.first[i + 2] <= st->ty.first[i] + st->ty.count[i] - 1)
                return false;
        st->row.resize(width);
        st->sums[0].resize(std::size_t{width} * 4);
        st->sums[1].resize(std::size_t{width} * 4);
        st->mid.resize(std::size_t{width} * 4);
        st->bottomUp = bottomUp;
        m_state = st.release();
    } catch (...) {
        return false;
    }
    return MakeImage(m_target, tw, th);
}

CPixel* ThumbnailSink::RowAt(UINT)
{
    return m_state->row.data();
}

void ThumbnailSink::RowDone(UINT)
{
    State& st = *m_state;
    const UINT th = static_cast<UINT>(st.ty.first.size());
    if (st.fed >= m_height)
        return;
    const UINT f = st.fed++;
    const BYTE* s = reinterpret_cast<const BYTE*>(st.row.data());
    const std::size_t n = st.row.size() * 4;
    for (UINT i = st.next; i < th && static_cast<UINT>(st.ty.first[i]) <= f; ++i) {
        const UINT first = static_cast<UINT>(st.ty.first[i]);
        const UINT k = f - first;
        if (k >= static_cast<UINT>(st.ty.count[i]))
            continue;
        uint32_t* acc = st.sums[i & 1].data();
        const uint32_t wk = static_cast<uint32_t>(st.ty.weights[static_cast<std::size_t>(st.ty.offset[i]) + k]);
        if (k == 0) {
            for (std::size_t j = 0; j < n; ++j)
                acc[j] = s[j] * wk;
        } else {
            for (std::size_t j = 0; j < n; ++j)
                acc[j] += s[j] * wk;
        }
    }
    while (st.next < th && static_cast<UINT>(st.ty.first[st.next] + st.ty.count[st.next] - 1) <= f) {
        const UINT i = st.next++;
        const uint32_t* acc = st.sums[i & 1].data();
        for (std::size_t j = 0; j < n; ++j)
            st.mid[j] = static_cast<uint16_t>((acc[j] + (1u << (kShift - 9))) >> (kShift - 8));
        HorizontalPass(st.mid.data(), st.tx, Row(m_target, st.bottomUp ? th - 1 - i : i));
    }
}

bool ThumbnailSink::Finished() const
{
    return m_state && m_state->fed == m_height && m_state->next == m_state->ty.first.size();
}

} // namespace qlcodec

// --- the codec's operations ----------------------------------------------------

#include "platform/codec/QLImageCodec.h"

using namespace qlcodec;

int CQLImageCodec::Resample(const CQLImage* source, CQLImage* target, int width, int height, int mode)
{
    if (!HasPixels(source) || !target || width <= 0 || height <= 0)
        return 0;
    const UINT w = static_cast<UINT>(width), h = static_cast<UINT>(height);
    return (mode == 0 ? ResampleNearest(*source, *target, w, h) : ResampleSmooth(*source, *target, w, h)) ? 1 : 0;
}

namespace {

bool RightAngle(const CQLImage& s, CQLImage& d, int quarter)
{
    const UINT sw = Width(s), sh = Height(s);
    const UINT dw = (quarter & 1) ? sh : sw, dh = (quarter & 1) ? sw : sh;
    if (!MakeImage(d, dw, dh))
        return false;
    imagecore::ParallelFor(0, static_cast<int>(dh), dw, [&](int y0, int y1) {
        for (int yi = y0; yi < y1; ++yi) {
            const UINT y = static_cast<UINT>(yi);
            CPixel* out = reinterpret_cast<CPixel*>(Row(d, y));
            for (UINT x = 0; x < dw; ++x) {
                UINT sx, sy;
                switch (quarter) {
                case 0: sx = x; sy = y; break;
                case 1: sx = y; sy = sh - 1 - x; break;         // clockwise
                case 2: sx = sw - 1 - x; sy = sh - 1 - y; break;
                default: sx = sw - 1 - y; sy = x; break;        // anticlockwise
                }
                out[x] = *reinterpret_cast<const CPixel*>(s.GetBuffer(static_cast<int>(sx), static_cast<int>(sy)));
            }
        }
    });
    return true;
}

bool FreeAngle(const CQLImage& s, CQLImage& d, double degrees)
{
    const double rad = degrees * 3.14159265358979323846 / 180.0;
    const double c = std::cos(rad), sn = std::sin(rad);
    const int sw = static_cast<int>(Width(s)), sh = static_cast<int>(Height(s));
    const double fw = std::fabs(sw * c) + std::fabs(sh * sn);
    const double fh = std::fabs(sw * sn) + std::fabs(sh * c);
    const ULONGLONG dw = static_cast<ULONGLONG>(std::max(1.0, std::ceil(fw - 1e-6)));
    const ULONGLONG dh = static_cast<ULONGLONG>(std::max(1.0, std::ceil(fh - 1e-6)));
    if (!MakeImage(d, dw, dh))
        return false;
    const double cxs = sw / 2.0, cys = sh / 2.0, cxd = dw / 2.0, cyd = dh / 2.0;
    imagecore::ParallelFor(0, static_cast<int>(dh), static_cast<std::size_t>(dw) * 4, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            CPixel* out = reinterpret_cast<CPixel*>(Row(d, static_cast<UINT>(y)));
            const double dy = y + 0.5 - cyd;
            for (ULONGLONG xi = 0; xi < dw; ++xi) {
                const double dx = static_cast<double>(xi) + 0.5 - cxd;
                // Inverse of a clockwise turn (rows run downwards).
                const double u = dx * c + dy * sn + cxs - 0.5;
                const double v = -dx * sn + dy * c + cys - 0.5;
                if (u < -0.5 || v < -0.5 || u > sw - 0.5 || v > sh - 0.5) {
                    out[xi] = CPixel{0, 0, 0, 0};
                    continue;
                }
                const double uf = std::floor(u), vf = std::floor(v);
                const int x0 = static_cast<int>(uf), yy0 = static_cast<int>(vf);
                const int fx = static_cast<int>((u - uf) * 256.0 + 0.5), fy = static_cast<int>((v - vf) * 256.0 + 0.5);
                const int xa = std::clamp(x0, 0, sw - 1), xb = std::clamp(x0 + 1, 0, sw - 1);
                const int ya = std::clamp(yy0, 0, sh - 1), yb = std::clamp(yy0 + 1, 0, sh - 1);
                const BYTE* p00 = s.GetBuffer(xa, ya);
                const BYTE* p10 = s.GetBuffer(xb, ya);
                const BYTE* p01 = s.GetBuffer(xa, yb);
                const BYTE* p11 = s.GetBuffer(xb, yb);
                BYTE* o = reinterpret_cast<BYTE*>(out + xi);
                for (int k = 0; k < 4; ++k) {
                    const int top = p00[k] * (256 - fx) + p10[k] * fx;
                    const int bottom = p01[k] * (256 - fx) + p11[k] * fx;
                    o[k] = static_cast<BYTE>((top * (256 - fy) + bottom * fy + 32768) >> 16);
                }
            }
        }
    });
    return true;
}

} // namespace

int CQLImageCodec::Rotate(const CQLImage* source, CQLImage* target, float angle)
{
    if (!HasPixels(source) || !target || !std::isfinite(angle))
        return 0;
    double a = std::fmod(static_cast<double>(angle), 360.0);
    if (a < 0)
        a += 360.0;
    const double quarters = a / 90.0;
    const double nearest = std::round(quarters);
    CQLImage temp;
    CQLImage& out = source == target ? temp : *target;
    bool ok;
    if (std::fabs(quarters - nearest) < 1e-6)
        ok = RightAngle(*source, out, static_cast<int>(nearest) & 3);
    else
        ok = FreeAngle(*source, out, a);
    if (!ok)
        return 0;
    if (source == target)
        *target = std::move(temp);
    return 1;
}
