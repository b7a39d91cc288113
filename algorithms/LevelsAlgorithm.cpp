#include "algorithms/LevelsAlgorithm.h"

#include "algorithms/RowProgress.h"
#include "imagecore/ParallelFor.h"

LevelsAlgorithm::~LevelsAlgorithm() = default;

HRESULT LevelsAlgorithm::Apply(const void* params)
{
    if (EffectAlgorithm::Apply(params) != 0 || !input || !params || !input->GetBuffer(0, 0))
        return E_FAIL;
    const int w = input->GetWidth(), h = input->GetHeight();
    // The conversion diffuses its error into the 16-bit data, so it works on
    // a copy; without one there is no result. The copy of the last run is
    // reused when the size matches.
    if ((mapped.GetWidth() != w || mapped.GetHeight() != h || !mapped.GetBuffer(0, 0)) && !mapped.Create(w, h))
        return E_FAIL;

    const WORD* tables = static_cast<const WORD*>(params);
    const WORD* forBlue = tables;
    const WORD* forGreen = tables;
    const WORD* forRed = tables;
    if (perChannel) {
        forRed = tables + kTableSize;
        forGreen = tables + 2 * kTableSize;
        forBlue = tables + 3 * kTableSize;
    }
    // Copy and map in one pass.
    RowProgress progress(*this, h, 0, 80);
    imagecore::ParallelFor(0, h, static_cast<std::size_t>(w) * 2, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            const C16BitPixel* s = input->GetBuffer(0, y);
            C16BitPixel* d = mapped.GetBuffer(0, y);
            for (int x = 0; x < w; ++x)
                d[x] = C16BitPixel{forBlue[s[x].b], forGreen[s[x].g], forRed[s[x].r]};
            if (!progress.Advance(1))
                return;
        }
    });
    // The target is written only by the conversion, so a cancel leaves it as it was.
    if (progress.Cancelled() || !mapped.ConvertToSimpleBitmap(target, 1))
        return E_FAIL;
    Progress(100);
    return 0;
}
