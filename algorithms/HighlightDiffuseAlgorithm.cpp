#include "algorithms/HighlightDiffuseAlgorithm.h"

#include "algorithms/SmoothAlgorithm.h"
#include "imagecore/ParallelFor.h"

#include <utility>

HighlightDiffuseAlgorithm::~HighlightDiffuseAlgorithm() = default;

HRESULT HighlightDiffuseAlgorithm::Apply(const void* params)
{
    if (EffectAlgorithm::Apply(params) != 0 || !params)
        return E_FAIL;
    radius = static_cast<const HighlightDiffuseParams*>(params)->radius;
    UINT uw = 0, uh = 0;
    source->GetSize(&uw, &uh);
    if (target != source && target->Create(uw, uh) != 0)
        return E_FAIL;

    // trunc((grey / 256)^3 * 256) is exactly grey^3 >> 16.
    BYTE cube[256];
    for (int g = 0; g < 256; ++g)
        cube[g] = static_cast<BYTE>((g * g * g) >> 16);
    const BYTE* s = source->GetBuffer(0, 0);
    BYTE* d = target->GetBuffer(0, 0);
    imagecore::ParallelFor(0, static_cast<int>(uh), uw, [&](int y0, int y1) {
        const std::size_t end = static_cast<std::size_t>(y1) * uw * 4;
        for (std::size_t i = static_cast<std::size_t>(y0) * uw * 4; i < end; i += 4) {
            const BYTE v = cube[(s[i] + 6 * s[i + 1] + 3 * s[i + 2]) / 10];
            d[i] = d[i + 1] = d[i + 2] = v;
            d[i + 3] = s[i + 3];
        }
    });
    Progress(10);
    if (TestCancel())
        return E_FAIL;

    SmoothAlgorithm smooth;
    smooth.SetMultiScaleMode(1);
    smooth.SetImages(target, &glow);
    smooth.SetRange(RangeAt(10), RangeAt(90));
    smooth.SetCallback(callback);
    const SmoothParams blur = {radius};
    if (const HRESULT hr = smooth.Apply(&blur); hr != 0)
        return hr;
    if (TestCancel())
        return E_FAIL;
    Progress(90);
    // The glow becomes the target; the buffers trade places instead of copying.
    std::swap(*target, glow);
    Progress(100);
    return 0;
}
