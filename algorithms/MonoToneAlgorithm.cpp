#include "algorithms/MonoToneAlgorithm.h"

#include "algorithms/NumericHelpers.h"
#include "algorithms/PointRows.h"
#include "platform/codec/ColorForms.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

struct MixSettings {
    int method, wr, wg, wb, strength;
};

// Grey by weighted sum or brightness (other methods keep the colour), mixed
// with the source: (source (255 - strength) + grey strength) >> 8. Written
// with plain indices so that the compiler makes vector code of it.
[[gnu::always_inline]] inline void GreyMixRow(const BYTE* s, BYTE* t, int width, const MixSettings& m)
{
    const int wr = m.wr, wg = m.wg, wb = m.wb, take = m.strength, keep = 255 - m.strength;
    if (m.method == MonoToneAlgorithm::WeightedSum) {
        for (int x = 0; x < width; ++x) {
            const int b = s[4 * x], g = s[4 * x + 1], r = s[4 * x + 2];
            const BYTE a = s[4 * x + 3];
            const int sum = (r * wr + g * wg + b * wb) >> 8;
            const int grey = sum < 255 ? sum : 255;
            t[4 * x] = static_cast<BYTE>((b * keep + grey * take) >> 8);
            t[4 * x + 1] = static_cast<BYTE>((g * keep + grey * take) >> 8);
            t[4 * x + 2] = static_cast<BYTE>((r * keep + grey * take) >> 8);
            t[4 * x + 3] = a;
        }
    } else if (m.method == MonoToneAlgorithm::Brightness) {
        for (int x = 0; x < width; ++x) {
            const int b = s[4 * x], g = s[4 * x + 1], r = s[4 * x + 2];
            const BYTE a = s[4 * x + 3];
            const int rg = r > g ? r : g;
            const int grey = rg > b ? rg : b;
            t[4 * x] = static_cast<BYTE>((b * keep + grey * take) >> 8);
            t[4 * x + 1] = static_cast<BYTE>((g * keep + grey * take) >> 8);
            t[4 * x + 2] = static_cast<BYTE>((r * keep + grey * take) >> 8);
            t[4 * x + 3] = a;
        }
    } else {
        for (int x = 0; x < width; ++x) {
            const int b = s[4 * x], g = s[4 * x + 1], r = s[4 * x + 2];
            const BYTE a = s[4 * x + 3];
            t[4 * x] = static_cast<BYTE>((b * 255) >> 8);
            t[4 * x + 1] = static_cast<BYTE>((g * 255) >> 8);
            t[4 * x + 2] = static_cast<BYTE>((r * 255) >> 8);
            t[4 * x + 3] = a;
        }
    }
}

using GreyMixFn = void (*)(const BYTE*, BYTE*, int, const MixSettings&);

__attribute__((optimize("tree-vectorize"))) void GreyMixSse2(const BYTE* s, BYTE* t, int width, const MixSettings& m)
{
    GreyMixRow(s, t, width, m);
}

#if defined(__x86_64__)
__attribute__((target("avx2"), optimize("tree-vectorize"))) void GreyMixAvx2(const BYTE* s, BYTE* t, int width,
                                                                             const MixSettings& m)
{
    GreyMixRow(s, t, width, m);
}
#endif

GreyMixFn PickGreyMix()
{
#if defined(__x86_64__)
    static const bool avx2 = __builtin_cpu_supports("avx2");
    if (avx2)
        return GreyMixAvx2;
#endif
    return GreyMixSse2;
}

} // namespace

void MonoToneAlgorithm::BuildLinearTables()
{
    for (int i = 0; i < 256; ++i)
        linear[i] = static_cast<int>(std::pow(i / 255.0, 2.5) * 255 * 16);
    int i = 0;
    for (int v = 0; v < 4080; ++v) {
        while (i < 255 && linear[i + 1] <= v)
            ++i;
        fromLinear[v] = static_cast<BYTE>(i);
    }
    for (int v = 4080; v < 4096; ++v)
        fromLinear[v] = 255;
}

void MonoToneAlgorithm::TintCurves(const MonoToneParams& p, BYTE curves[3][256])
{
    const BYTE hues[3] = {p.hueShadow, p.hueMid, p.hueHigh};
    const BYTE amounts[3] = {p.satShadow, p.satMid, p.satHigh};
    const BYTE brightness[3] = {40, 128, 216};
    CPixel colours[3];
    for (int k = 0; k < 3; ++k) {
        const CPixel hsb = {brightness[k], static_cast<BYTE>(amounts[k] * p.satScale >> 8), hues[k], 0};
        colours[k] = qlcodec::HsbToRgb(hsb);
    }
    for (int ch = 0; ch < 3; ++ch) {
        const double c0 = (&colours[0].b)[ch], c1 = (&colours[1].b)[ch], c2 = (&colours[2].b)[ch];
        const double x[5] = {0, 40, 128, 216, 255};
        const double y[5] = {0, c0, c1, c2, 255};
        const double slope[5] = {c0 / 40, c1 / 128, (c2 - c0) / 176, (255 - c1) / 127, (255 - c2) / 39};
        int segment = 0;
        for (int i = 0; i < 255; ++i) {
            while (i >= x[segment + 1])
                ++segment;
            const double v = HermiteInterpolate(x[segment], x[segment + 1], y[segment], y[segment + 1], slope[segment],
                                                slope[segment + 1], i);
            curves[ch][i] = static_cast<BYTE>(std::clamp(v, 0.0, 255.0));
        }
        curves[ch][255] = 255;
    }
}

HRESULT MonoToneAlgorithm::Apply(const void* params)
{
    if (EffectAlgorithm::Apply(params) != 0 || !params)
        return E_FAIL;
    std::memcpy(&param, params, sizeof param);
    if (!SizeTargetLikeSource(source, target))
        return E_FAIL;
    if (param.method == LinearLight)
        BuildLinearTables();

    const bool tint = param.satShadow || param.satMid || param.satHigh;
    BYTE curves[3][256];
    if (tint)
        TintCurves(param, curves);
    // (source (255 - strength) + grey strength) >> 8 as two table halves.
    int keep[256], take[256];
    for (int v = 0; v < 256; ++v) {
        keep[v] = v * (255 - param.strength);
        take[v] = v * param.strength;
    }
    const int wr = param.weightR, wg = param.weightG, wb = param.weightB;
    const int method = param.method;
    UINT w = 0, h = 0;
    source->GetSize(&w, &h);
    const int width = static_cast<int>(w);
    const MixSettings settings = {method, wr, wg, wb, param.strength};
    const GreyMixFn greyMix = PickGreyMix();
    const bool done = ForEachRow(*this, width, static_cast<int>(h), 0, 100, [&](int y) {
        const BYTE* s = source->GetBuffer(0, y);
        BYTE* t = target->GetBuffer(0, y);
        if (method == LinearLight) {
            for (int x = 0; x < width; ++x) {
                const int b = s[4 * x], g = s[4 * x + 1], r = s[4 * x + 2];
                const int sum = wr * linear[r] + wg * linear[g] + wb * linear[b];
                const int grey = fromLinear[sum < 0x100000 ? sum >> 8 : 4095];
                t[4 * x] = static_cast<BYTE>((keep[b] + take[grey]) >> 8);
                t[4 * x + 1] = static_cast<BYTE>((keep[g] + take[grey]) >> 8);
                t[4 * x + 2] = static_cast<BYTE>((keep[r] + take[grey]) >> 8);
                t[4 * x + 3] = s[4 * x + 3];
            }
        } else {
            greyMix(s, t, width, settings);
        }
        if (tint)
            for (int x = 0; x < width; ++x) {
                t[4 * x] = curves[0][t[4 * x]];
                t[4 * x + 1] = curves[1][t[4 * x + 1]];
                t[4 * x + 2] = curves[2][t[4 * x + 2]];
            }
    });
    if (!done)
        return E_FAIL;
    Progress(100);
    return 0;
}
