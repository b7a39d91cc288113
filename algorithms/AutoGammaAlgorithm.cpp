#include "algorithms/AutoGammaAlgorithm.h"

#include <algorithm>
#include <cmath>

HRESULT AutoGammaAlgorithm::Apply(const void* params)
{
    if (EffectAlgorithm::Apply(params) != 0 || images.empty() || !images[0])
        return E_FAIL;
    const CQLImage* mask = images[0];
    UINT w = 0, h = 0, mw = 0, mh = 0;
    source->GetSize(&w, &h);
    mask->GetSize(&mw, &mh);
    if (mw != w || mh != h)
        return E_FAIL;
    if (target != source && !target->DuplicateFrom(source))
        return E_FAIL;

    const std::size_t n = std::size_t{w} * h;
    const BYTE* s = source->GetBuffer(0, 0);
    const BYTE* m = mask->GetBuffer(0, 0);
    unsigned long long sum = 0, count = 0;
    for (std::size_t i = 0; i < n; ++i, s += 4, m += 4) {
        if (m[3] > 100) {
            sum += (s[1] * 6 + s[2] * 3 + s[0]) / 10;
            ++count;
        }
    }
    Progress(50);
    if (TestCancel())
        return E_FAIL;
    if (count == 0) {
        Progress(100);
        return 0;
    }

    const int level = std::clamp(static_cast<int>(sum / count), 80, 190);
    const double p = std::log(0.625) / std::log(level / 256.0);
    BYTE table[256];
    for (int v = 0; v < 256; ++v)
        table[v] = static_cast<BYTE>(static_cast<int>(256 * std::pow(v / 256.0, p)));
    BYTE* t = target->GetBuffer(0, 0);
    for (std::size_t i = 0; i < n; ++i, t += 4) {
        t[0] = table[t[0]];
        t[1] = table[t[1]];
        t[2] = table[t[2]];
    }
    Progress(100);
    return 0;
}
