#include "album/shell/PhotoAnalysis.h"

#include "imagecore/ParallelFor.h"
#include "platform/codec/ColorForms.h"

#include <algorithm>
#include <cstdlib>
#include <mutex>
#include <vector>

namespace shelf {

namespace {

inline void SetGrey(BYTE* p, int v) { p[0] = p[1] = p[2] = static_cast<BYTE>(v); }

// Per-pixel rule over the copied work image, rows on all cores.
template <class Rule>
void ForEachPixel(CQLImage* work, Rule rule)
{
    UINT w = 0, h = 0;
    work->GetSize(&w, &h);
    imagecore::ParallelFor(0, static_cast<int>(h), w, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            BYTE* p = work->GetBuffer(0, y);
            for (UINT x = 0; x < w; ++x, p += 4)
                rule(p);
        }
    });
}

void BuildEdges(const CQLImage& source, CQLImage* work)
{
    UINT w = 0, h = 0;
    work->GetSize(&w, &h);
    // The grey values go into the fourth bytes, and a copy of them to their
    // own rows, as the result needs the untouched neighbours.
    const int W = static_cast<int>(w), H = static_cast<int>(h);
    std::vector<BYTE> grey(static_cast<std::size_t>(w) * h);
    (void)source;
    imagecore::ParallelFor(0, H, w, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            BYTE* p = work->GetBuffer(0, y);
            BYTE* g = &grey[static_cast<std::size_t>(y) * w];
            for (int x = 0; x < W; ++x, p += 4)
                g[x] = p[3] = static_cast<BYTE>(PhotoAnalysis::Luminance(p[2], p[1], p[0]));
        }
    });
    imagecore::ParallelFor(0, H, w, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            BYTE* out = work->GetBuffer(0, y);
            if (y == 0 || y == H - 1) {
                for (int x = 0; x < W; ++x)
                    SetGrey(out + 4 * x, 0);
                continue;
            }
            const BYTE* up = &grey[static_cast<std::size_t>(y - 1) * w];
            const BYTE* mid = &grey[static_cast<std::size_t>(y) * w];
            const BYTE* dn = &grey[static_cast<std::size_t>(y + 1) * w];
            SetGrey(out, 0);
            SetGrey(out + 4 * (W - 1), 0);
            for (int x = 1; x < W - 1; ++x) {
                const int N = up[x], NE = up[x + 1], NW = up[x - 1];
                const int E = mid[x + 1], Wv = mid[x - 1];
                const int S = dn[x], SE = dn[x + 1], SW = dn[x - 1];
                const int a = std::abs(N + NE + NW - SW - S - SE);
                const int b = std::abs(SW + Wv + NW - E - NE - SE);
                const int c = std::abs(E + NE - SW - Wv);
                const int d = std::abs(N + Wv + NW - S - E - SE);
                const int m = std::max(std::max(a, b), std::max(c, d));
                SetGrey(out + 4 * x, std::min(255, m * 2 / 3));
            }
        }
    });
}

void CountHistograms(const CQLImage& work, PhotoAnalysis::Histograms* histograms)
{
    UINT w = 0, h = 0;
    work.GetSize(&w, &h);
    *histograms = {};
    std::mutex merge;
    imagecore::ParallelFor(0, static_cast<int>(h), w, [&](int y0, int y1) {
        PhotoAnalysis::Histograms local;
        for (int y = y0; y < y1; ++y) {
            const BYTE* p = work.GetBuffer(0, y);
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
                histograms->counts[c][i] += local.counts[c][i];
    });
}

} // namespace

BOOL PhotoAnalysis::Build(const CQLImage& source, int mode, CQLImage* work, Histograms* histograms)
{
    if (mode <= kPhoto || mode >= kModeCount)
        return FALSE;
    if (!work->DuplicateFrom(&source))
        return FALSE;
    switch (mode) {
    case kRed: ForEachPixel(work, [](BYTE* p) { SetGrey(p, p[2]); }); break;
    case kGreen: ForEachPixel(work, [](BYTE* p) { SetGrey(p, p[1]); }); break;
    case kBlue: ForEachPixel(work, [](BYTE* p) { SetGrey(p, p[0]); }); break;
    case kHue: ForEachPixel(work, [](BYTE* p) { qlcodec::RgbToHsbPixel(p); SetGrey(p, p[2]); }); break;
    case kSaturation: ForEachPixel(work, [](BYTE* p) { qlcodec::RgbToHsbPixel(p); SetGrey(p, p[1]); }); break;
    case kLightness: ForEachPixel(work, [](BYTE* p) { SetGrey(p, Luminance(p[2], p[1], p[0])); }); break;
    case kU: ForEachPixel(work, [](BYTE* p) { qlcodec::RgbToYuvPixel(p); SetGrey(p, p[1]); }); break;
    case kV: ForEachPixel(work, [](BYTE* p) { qlcodec::RgbToYuvPixel(p); SetGrey(p, p[0]); }); break;
    case kEdge: BuildEdges(source, work); break;
    case kWarning:
        ForEachPixel(work, [](BYTE* p) {
            const int y = Luminance(p[2], p[1], p[0]);
            if (y > 240) {
                p[0] = p[1] = 0;
            } else if (y < 16) {
                p[1] = p[2] = 0;
                p[0] = 255;
            }
        });
        break;
    case kInfo:
        if (histograms)
            CountHistograms(*work, histograms);
        break;
    default: break;
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
