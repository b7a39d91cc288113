#include "algorithms/ToneBlendAlgorithm.h"

#include "algorithms/HsbTables.h"
#include "algorithms/PointRows.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

HRESULT ToneBlendAlgorithm::Apply(const void* params)
{
    if (EffectAlgorithm::Apply(params) != 0 || !params)
        return E_FAIL;
    std::memcpy(&param, params, sizeof param);
    const CQLImage* reference = param.reference;
    UINT w = 0, h = 0, rw = 0, rh = 0;
    source->GetSize(&w, &h);
    if (!reference || reference->GetAreaByteSize() == 0)
        return E_FAIL;
    reference->GetSize(&rw, &rh);
    if (rw != w || rh != h)
        return E_FAIL;
    // The blend reads source and reference pixel by pixel, so either may be the target.
    if (target != source && target != reference && target->Create(w, h) != 0)
        return E_FAIL;

    const BYTE mode = static_cast<BYTE>(param.mode & 0xFF);
    const BYTE* weights = param.weights;
    const int width = static_cast<int>(w);
    const HsbTables& tables = HsbTables::Get();
    const bool done = ForEachRow(*this, width, static_cast<int>(h), 0, 100, [&](int y) {
        BYTE* s = source->GetBuffer(0, y);
        const BYTE* r = reference->GetBuffer(0, y);
        BYTE* t = target->GetBuffer(0, y);
        for (int x = 0; x < width; ++x, s += 4, r += 4, t += 4) {
            BYTE out[4] = {r[0], r[1], r[2], r[3]};
            if (mode == ByGrey) {
                const int grey = (6 * s[1] + 3 * s[2] + s[0]) / 10;
                s[3] = static_cast<BYTE>(grey);
                const int wt = weights[grey];
                if (wt > 0)
                    for (int c = 0; c < 3; ++c)
                        out[c] = static_cast<BYTE>(std::min(255, (s[c] * wt + r[c] * (256 - wt)) >> 8));
            } else if (mode == ByHue) {
                BYTE hsb[4] = {r[0], r[1], r[2], r[3]}; // the reference itself stays RGB
                tables.ToHsb(hsb);
                const int v = hsb[0];
                const int spread = std::abs(r[2] - v) + std::abs(r[1] - v) + std::abs(r[0] - v);
                const int wt = std::min(255, spread * weights[hsb[2]] / 256);
                if (wt > 0)
                    for (int c = 0; c < 3; ++c)
                        out[c] = static_cast<BYTE>(std::min(255, (r[c] * (256 - wt) + s[c] * wt) >> 8));
            } else {
                std::memcpy(out, s, 4);
            }
            std::memcpy(t, out, 4);
        }
    });
    if (!done)
        return E_FAIL;
    Progress(100);
    return 0;
}
