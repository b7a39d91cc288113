#include "algorithms/HueSaturationAlgorithm.h"

#include "algorithms/PointKernels.h"
#include "algorithms/PointRows.h"

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
    const pointkernels::HsbAdjust adjust(param.hue, s, l);

    UINT w = 0, h = 0;
    source->GetSize(&w, &h);
    const int width = static_cast<int>(w);
    const bool done = ForEachRow(*this, width, static_cast<int>(h), 10, 90, [&](int y) {
        pointkernels::AdjustHsb(source->GetBuffer(0, y), target->GetBuffer(0, y), std::size_t(width), adjust);
    });
    if (!done)
        return E_FAIL;
    Progress(100);
    return 0;
}
