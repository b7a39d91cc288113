#include "algorithms/HsbCurveAlgorithm.h"

#include "algorithms/HsbTables.h"
#include "algorithms/RowProgress.h"
#include "imagecore/ParallelFor.h"
#include "platform/codec/ColorForms.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// A hue shift acts modulo 256; saturation has its stated range; a brightness
// entry beyond 65536 already moves every pixel with colour to the end of the
// scale, and stops e * entry from overflowing.
void ClampTables(HsbCurveParams& p)
{
    for (int i = 0; i < 256; ++i) {
        p.hueShift[i] = ((p.hueShift[i] % 256) + 256) % 256;
        p.saturationCurve[i] = std::clamp(p.saturationCurve[i], -128, 128);
        p.brightnessCurve[i] = std::clamp(p.brightnessCurve[i], -65536, 65536);
    }
}

} // namespace

HsbCurveAlgorithm::~HsbCurveAlgorithm() = default;

HRESULT HsbCurveAlgorithm::Apply(const void* params)
{
    if (!params)
        return E_FAIL;
    std::memcpy(&param, params, sizeof param);
    ClampTables(param);
    if (EffectAlgorithm::Apply(params) != 0)
        return E_FAIL;
    UINT uw = 0, uh = 0;
    source->GetSize(&uw, &uh);
    if (target != source && target->Create(uw, uh) != 0)
        return E_FAIL;
    const int w = static_cast<int>(uw), h = static_cast<int>(uh);

    // New saturation for each hue and saturation.
    std::vector<BYTE> saturation(256 * 256);
    for (int hue = 0; hue < 256; ++hue) {
        const int c = param.saturationCurve[hue];
        for (int s = 0; s < 256; ++s) {
            const int v = c <= 0 ? (c + 128) * s / 128 : static_cast<int>((c / 128.0 + 1.0) * s);
            saturation[hue * 256 + s] = static_cast<BYTE>(std::min(v, 255));
        }
    }

    // To HSB, the curves, and back, one pixel at a time.
    const HsbTables& hsb = HsbTables::Get();
    RowProgress progress(*this, h, 0, 100);
    imagecore::ParallelFor(0, h, static_cast<std::size_t>(w) * 16, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            const BYTE* s = source->GetBuffer(0, y);
            BYTE* d = target->GetBuffer(0, y);
            for (int x = 0; x < w; ++x, s += 4, d += 4) {
                BYTE p[4] = {s[0], s[1], s[2], s[3]};
                hsb.ToHsb(p);
                const int b = p[0], hue = p[2];
                const int e = std::min(256, std::abs(s[2] - b) + std::abs(s[1] - b) + std::abs(s[0] - b));
                p[0] = static_cast<BYTE>(std::clamp(b + ((e * param.brightnessCurve[hue]) >> 8), 0, 255));
                p[1] = saturation[hue * 256 + p[1]];
                p[2] = static_cast<BYTE>((param.hueShift[hue] + hue) & 255);
                qlcodec::HsbToRgbPixel(p);
                d[0] = p[0], d[1] = p[1], d[2] = p[2], d[3] = p[3];
            }
            if (!progress.Advance(1))
                return;
        }
    });
    if (progress.Cancelled())
        return E_FAIL;
    Progress(100);
    return 0;
}
