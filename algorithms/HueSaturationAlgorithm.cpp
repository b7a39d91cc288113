#include "algorithms/HueSaturationAlgorithm.h"

#include "algorithms/HsbTables.h"
#include "algorithms/PointRows.h"
#include "platform/codec/ColorForms.h"

#include <algorithm>
#include <cstring>

HRESULT HueSaturationAlgorithm::Apply(const void* params)
{
    if (EffectAlgorithm::Apply(params) != 0 || !params)
        return E_FAIL;
    std::memcpy(&param, params, sizeof param);
    if (!SizeTargetLikeSource(source, target))
        return E_FAIL;
    Progress(10);

    // Outside -128..128 the table and the blend would leave the byte range.
    const int s = std::clamp(static_cast<int>(param.saturation), -128, 128);
    const int l = std::clamp(static_cast<int>(param.lightness), -128, 128);
    BYTE satTable[256];
    for (int i = 0; i < 256; ++i) // (1 + s / 128) i is exact in doubles, so the integer form truncates alike
        satTable[i] = static_cast<BYTE>(s < 0 ? i * (s + 128) / 128 : std::min(255, (128 + s) * i / 128));
    const BYTE hueTurn = static_cast<BYTE>(param.hue & 0xFF);
    const int d = l < 0 ? -2 * l : 2 * l;
    const int lift = l > 0 ? 255 * d : 0;

    UINT w = 0, h = 0;
    source->GetSize(&w, &h);
    const int width = static_cast<int>(w);
    const HsbTables& hsb = HsbTables::Get();
    const bool done = ForEachRow(*this, width, static_cast<int>(h), 10, 90, [&](int y) {
        const BYTE* s = source->GetBuffer(0, y);
        BYTE* p = target->GetBuffer(0, y);
        for (int x = 0; x < width; ++x, p += 4, s += 4) {
            std::memcpy(p, s, 4);
            hsb.ToHsb(p);
            p[2] = static_cast<BYTE>(p[2] + hueTurn);
            p[1] = satTable[p[1]];
            qlcodec::HsbToRgbPixel(p);
            if (l != 0)
                for (int c = 0; c < 3; ++c)
                    p[c] = static_cast<BYTE>((p[c] * (256 - d) + lift) >> 8);
        }
    });
    if (!done)
        return E_FAIL;
    Progress(100);
    return 0;
}
