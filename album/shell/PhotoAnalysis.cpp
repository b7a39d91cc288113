#include "album/shell/PhotoAnalysis.h"

#include "imagecore/ParallelFor.h"
#include "imagecore/Simd.h"
#include "platform/codec/ColorForms.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <vector>

namespace shelf {

namespace {

using Word = std::uint32_t;

inline Word Load(const BYTE* p)
{
    Word w;
    std::memcpy(&w, p, sizeof w);
    return w;
}

inline void Store(BYTE* p, Word w) { std::memcpy(p, &w, sizeof w); }

// A grey pixel keeping the fourth byte of the pixel it comes from.
inline Word Grey(Word from, Word v) { return (from & 0xFF000000u) | v | (v << 8) | (v << 16); }

using RowFn = void (*)(const BYTE*, BYTE*, int);

// The modes whose pixel depends on that pixel alone and vectorises: the
// grey value (or the warning colours) from B, G, R; the fourth byte kept.
template <int Mode>
__attribute__((always_inline)) inline void PointRowBody(const BYTE* __restrict s, BYTE* __restrict d, int w)
{
    for (int x = 0; x < w; ++x) {
        const int b = s[4 * x], g = s[4 * x + 1], r = s[4 * x + 2];
        int v;
        if constexpr (Mode == PhotoAnalysis::kRed)
            v = r;
        else if constexpr (Mode == PhotoAnalysis::kGreen)
            v = g;
        else if constexpr (Mode == PhotoAnalysis::kBlue)
            v = b;
        else if constexpr (Mode == PhotoAnalysis::kLightness || Mode == PhotoAnalysis::kWarning)
            v = PhotoAnalysis::Luminance(r, g, b);
        else if constexpr (Mode == PhotoAnalysis::kU)
            v = std::clamp((-11059 * r - 21709 * g + 32768 * b + (128 << 16) + 32768) >> 16, 0, 255);
        else
            v = std::clamp((32768 * r - 27439 * g - 5329 * b + (128 << 16) + 32768) >> 16, 0, 255);
        if constexpr (Mode == PhotoAnalysis::kWarning) {
            const bool over = v > 240, under = v < 16;
            d[4 * x] = static_cast<BYTE>(over ? 0 : under ? 255 : b);
            d[4 * x + 1] = static_cast<BYTE>(over || under ? 0 : g);
            d[4 * x + 2] = static_cast<BYTE>(under ? 0 : r);
        } else {
            d[4 * x] = d[4 * x + 1] = d[4 * x + 2] = static_cast<BYTE>(v);
        }
        d[4 * x + 3] = s[4 * x + 3];
    }
}

template <int Mode>
__attribute__((optimize("tree-vectorize"))) void PointRowSse2(const BYTE* s, BYTE* d, int w)
{
    PointRowBody<Mode>(s, d, w);
}

#if defined(__x86_64__)
template <int Mode>
__attribute__((target("avx2"), optimize("tree-vectorize"))) void PointRowAvx2(const BYTE* s, BYTE* d, int w)
{
    PointRowBody<Mode>(s, d, w);
}
#endif

template <int Mode>
RowFn PickPointRow()
{
#if defined(__x86_64__)
    if (imagecore::ActiveSimdLevel() == imagecore::SimdLevel::Avx2)
        return PointRowAvx2<Mode>;
#endif
    return PointRowSse2<Mode>;
}

RowFn PointRow(int mode)
{
    switch (mode) {
    case PhotoAnalysis::kRed: return PickPointRow<PhotoAnalysis::kRed>();
    case PhotoAnalysis::kGreen: return PickPointRow<PhotoAnalysis::kGreen>();
    case PhotoAnalysis::kBlue: return PickPointRow<PhotoAnalysis::kBlue>();
    case PhotoAnalysis::kLightness: return PickPointRow<PhotoAnalysis::kLightness>();
    case PhotoAnalysis::kU: return PickPointRow<PhotoAnalysis::kU>();
    case PhotoAnalysis::kV: return PickPointRow<PhotoAnalysis::kV>();
    case PhotoAnalysis::kWarning: return PickPointRow<PhotoAnalysis::kWarning>();
    default: return nullptr;
    }
}

// One pass from the source into the work image, rows on all cores: no copy
// of the photo first, and every byte is read and written once.
template <class RowRule>
void MapRows(const CQLImage& source, CQLImage* work, RowRule rule)
{
    UINT w = 0, h = 0;
    source.GetSize(&w, &h);
    imagecore::ParallelFor(0, static_cast<int>(h), w, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y)
            rule(source.GetBuffer(0, y), work->GetBuffer(0, y), static_cast<int>(w));
    });
}

template <class PixelRule>
void MapPixels(const CQLImage& source, CQLImage* work, PixelRule rule)
{
    MapRows(source, work, [&](const BYTE* s, BYTE* d, int w) {
        for (int x = 0; x < w; ++x)
            Store(d + 4 * x, rule(Load(s + 4 * x)));
    });
}

// The codec's HSB conversion as tables, read from the conversion itself so
// the bytes are the same: saturation by (max, max - min), and the hue's step
// from its sector's base by (max - min, numerator + 255).
struct HsbTables {
    BYTE saturation[256][256];
    signed char hueStep[256][511];

    HsbTables()
    {
        for (int mx = 0; mx < 256; ++mx)
            for (int d = 0; d < 256; ++d) {
                BYTE p[4] = {static_cast<BYTE>(d <= mx ? mx - d : 0), static_cast<BYTE>(d <= mx ? mx - d : 0),
                             static_cast<BYTE>(mx), 0};
                qlcodec::RgbToHsbPixel(p);
                saturation[mx][d] = p[1];
            }
        std::memset(hueStep, 0, sizeof hueStep);
        // Red is the largest (sector base 0): g - b runs over -d..d.
        for (int d = 1; d < 256; ++d)
            for (int num = -d; num <= d; ++num) {
                const int low = 255 - d;
                BYTE p[4] = {static_cast<BYTE>(num >= 0 ? low : low - num), static_cast<BYTE>(num >= 0 ? low + num : low),
                             255, 0};
                qlcodec::RgbToHsbPixel(p);
                hueStep[d][num + 255] = static_cast<signed char>(p[2] >= 128 ? p[2] - 255 : p[2]);
            }
    }
};

const HsbTables& Hsb()
{
    static const HsbTables tables;
    return tables;
}

// Without branches: the photo's hues change from pixel to pixel. A grey has
// red as its largest and a step of 0, so it gets 0.
inline Word HueOf(const HsbTables& t, int b, int g, int r)
{
    const int mx = std::max(std::max(r, g), b), mn = std::min(std::min(r, g), b);
    const bool red = mx == r, green = !red && mx == g;
    const int num = red ? g - b : green ? b - r : r - g;
    const int base = red ? 0 : green ? 85 : 170;
    int hue = base + t.hueStep[mx - mn][num + 255];
    hue += hue < 0 ? 255 : 0;
    hue -= hue >= 255 ? 255 : 0;
    return static_cast<Word>(hue);
}

inline Word SaturationOf(const HsbTables& t, int b, int g, int r)
{
    const int mx = std::max(std::max(r, g), b), mn = std::min(std::min(r, g), b);
    return t.saturation[mx][mx - mn];
}

// The edge view's kernels: the grey of a row, and an inner row's result
// from the grey of it and its two neighbours, the grey kept in the fourth
// bytes; its first and last pixels are left to the caller.
__attribute__((always_inline)) inline void GreyRowBody(const BYTE* __restrict s, BYTE* __restrict g, int w)
{
    for (int x = 0; x < w; ++x)
        g[x] = static_cast<BYTE>(PhotoAnalysis::Luminance(s[4 * x + 2], s[4 * x + 1], s[4 * x]));
}

__attribute__((always_inline)) inline void EdgeRowBody(const BYTE* __restrict up, const BYTE* __restrict mid,
                                                       const BYTE* __restrict dn, BYTE* __restrict out, int w)
{
    for (int x = 1; x < w - 1; ++x) {
        const int N = up[x], NE = up[x + 1], NW = up[x - 1];
        const int E = mid[x + 1], Wv = mid[x - 1];
        const int S = dn[x], SE = dn[x + 1], SW = dn[x - 1];
        const int a = std::abs(N + NE + NW - SW - S - SE);
        const int b = std::abs(SW + Wv + NW - E - NE - SE);
        const int c = std::abs(E + NE - SW - Wv);
        const int d = std::abs(N + Wv + NW - S - E - SE);
        const int m = std::max(std::max(a, b), std::max(c, d));
        const BYTE v = static_cast<BYTE>(std::min(255, m * 2 / 3));
        out[4 * x] = out[4 * x + 1] = out[4 * x + 2] = v;
        out[4 * x + 3] = mid[x];
    }
}

struct EdgeKernels {
    void (*grey)(const BYTE*, BYTE*, int);
    void (*edge)(const BYTE*, const BYTE*, const BYTE*, BYTE*, int);
};

__attribute__((optimize("tree-vectorize"))) void GreyRowSse2(const BYTE* s, BYTE* g, int w) { GreyRowBody(s, g, w); }
__attribute__((optimize("tree-vectorize"))) void EdgeRowSse2(const BYTE* up, const BYTE* mid, const BYTE* dn,
                                                             BYTE* out, int w)
{
    EdgeRowBody(up, mid, dn, out, w);
}

#if defined(__x86_64__)
__attribute__((target("avx2"), optimize("tree-vectorize"))) void GreyRowAvx2(const BYTE* s, BYTE* g, int w)
{
    GreyRowBody(s, g, w);
}
__attribute__((target("avx2"), optimize("tree-vectorize"))) void EdgeRowAvx2(const BYTE* up, const BYTE* mid,
                                                                             const BYTE* dn, BYTE* out, int w)
{
    EdgeRowBody(up, mid, dn, out, w);
}
#endif

EdgeKernels PickEdgeKernels()
{
#if defined(__x86_64__)
    if (imagecore::ActiveSimdLevel() == imagecore::SimdLevel::Avx2)
        return {GreyRowAvx2, EdgeRowAvx2};
#endif
    return {GreyRowSse2, EdgeRowSse2};
}

// Each chunk keeps the grey of the three rows it looks at, so the
// neighbours are read untouched and the photo is read once.
void BuildEdges(const CQLImage& source, CQLImage* work)
{
    UINT uw = 0, uh = 0;
    source.GetSize(&uw, &uh);
    const int W = static_cast<int>(uw), H = static_cast<int>(uh);
    const EdgeKernels k = PickEdgeKernels();
    imagecore::ParallelFor(0, H, uw, [&](int y0, int y1) {
        std::vector<BYTE> rows(static_cast<std::size_t>(W) * 3);
        BYTE* up = rows.data();
        BYTE* mid = up + W;
        BYTE* dn = mid + W;
        if (y0 > 0)
            k.grey(source.GetBuffer(0, y0 - 1), up, W);
        k.grey(source.GetBuffer(0, y0), mid, W);
        for (int y = y0; y < y1; ++y) {
            if (y + 1 < H)
                k.grey(source.GetBuffer(0, y + 1), dn, W);
            BYTE* out = work->GetBuffer(0, y);
            if (y == 0 || y == H - 1) {
                for (int x = 0; x < W; ++x)
                    Store(out + 4 * x, Word{mid[x]} << 24);
            } else {
                Store(out, Word{mid[0]} << 24);
                k.edge(up, mid, dn, out, W);
                if (W > 1)
                    Store(out + 4 * (W - 1), Word{mid[W - 1]} << 24);
            }
            std::swap(up, mid);
            std::swap(mid, dn);
        }
    });
}

// The information page's work image is the photo itself; the histograms are
// counted while it is copied.
void CopyAndCount(const CQLImage& source, CQLImage* work, PhotoAnalysis::Histograms* histograms)
{
    UINT w = 0, h = 0;
    source.GetSize(&w, &h);
    PhotoAnalysis::Histograms total;
    std::mutex merge;
    imagecore::ParallelFor(0, static_cast<int>(h), w, [&](int y0, int y1) {
        PhotoAnalysis::Histograms local;
        for (int y = y0; y < y1; ++y) {
            const BYTE* p = source.GetBuffer(0, y);
            std::memcpy(work->GetBuffer(0, y), p, std::size_t{w} * 4);
            if (!histograms)
                continue;
            for (UINT x = 0; x < w; ++x, p += 4) {
                ++local.counts[0][PhotoAnalysis::Luminance(p[2], p[1], p[0])];
                ++local.counts[1][p[2]];
                ++local.counts[2][p[1]];
                ++local.counts[3][p[0]];
            }
        }
        std::lock_guard<std::mutex> hold(merge);
        for (int c = 0; c < 4; ++c)
            for (int i = 0; i < 256; ++i)
                total.counts[c][i] += local.counts[c][i];
    });
    if (histograms)
        *histograms = total;
}

} // namespace

BOOL PhotoAnalysis::Build(const CQLImage& source, int mode, CQLImage* work, Histograms* histograms)
{
    if (mode <= kPhoto || mode >= kModeCount)
        return FALSE;
    UINT w = 0, h = 0;
    source.GetSize(&w, &h);
    if (w == 0 || h == 0 || !source.GetBuffer(0, 0) || work == &source)
        return FALSE;
    if (work->Create(w, h) != 0)
        return FALSE;
    switch (mode) {
    case kHue:
    case kSaturation: {
        const HsbTables& t = Hsb();
        if (mode == kHue)
            MapPixels(source, work, [&t](Word p) {
                return Grey(p, HueOf(t, static_cast<int>(p & 0xFF), static_cast<int>((p >> 8) & 0xFF),
                                     static_cast<int>((p >> 16) & 0xFF)));
            });
        else
            MapPixels(source, work, [&t](Word p) {
                return Grey(p, SaturationOf(t, static_cast<int>(p & 0xFF), static_cast<int>((p >> 8) & 0xFF),
                                            static_cast<int>((p >> 16) & 0xFF)));
            });
        break;
    }
    case kEdge: BuildEdges(source, work); break;
    case kInfo: CopyAndCount(source, work, histograms); break;
    default: MapRows(source, work, PointRow(mode)); break;
    }
    return TRUE;
}

std::uint32_t PhotoAnalysis::Scale(const std::array<std::uint32_t, 256>& counts, UINT width, UINT height)
{
    const std::uint32_t largest = *std::max_element(counts.begin(), counts.end());
    const std::uint64_t cap = static_cast<std::uint64_t>(width) * height / 32;
    std::uint64_t scale = std::min<std::uint64_t>(largest, cap);
    return static_cast<std::uint32_t>(std::max<std::uint64_t>(scale, 1));
}

int PhotoAnalysis::BarHeight(std::uint32_t count, std::uint32_t scale)
{
    const std::uint64_t h = static_cast<std::uint64_t>(count) * 120 / std::max<std::uint32_t>(scale, 1);
    return static_cast<int>(std::min<std::uint64_t>(h, 140));
}

} // namespace shelf
