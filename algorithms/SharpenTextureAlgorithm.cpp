#include "algorithms/SharpenTextureAlgorithm.h"

#include "algorithms/RowProgress.h"
#include "imagecore/ParallelFor.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>

SharpenTextureAlgorithm::~SharpenTextureAlgorithm() = default;

HRESULT SharpenTextureAlgorithm::Apply(const void* params)
{
    if (EffectAlgorithm::Apply(params) != 0 || !params)
        return E_FAIL;
    std::memcpy(&param, params, sizeof param);
    // Rows are written while neighbouring chunks still read theirs.
    CQLImage copy;
    const CQLImage* from = source;
    if (source == target) {
        if (!copy.DuplicateFrom(source))
            return E_FAIL;
        from = &copy;
    } else if (!target->DuplicateFrom(source)) {
        return E_FAIL;
    }
    try {
        table.resize(256 * 256);
    } catch (const std::bad_alloc&) {
        return E_FAIL;
    }
    // The result depends only on the value and its weighted mean: one table
    // of 65536 entries instead of a square root per byte.
    const int amount = param.amount;
    for (int v = 0; v < 256; ++v) {
        for (int blur = 0; blur < 256; ++blur) {
            const double s = std::sqrt(static_cast<double>(std::abs(blur - v))) / 16;
            const int n = static_cast<int>(v < blur ? v - v * s / 2 : v + s * (255 - v) / 2);
            const long long mixed = (static_cast<long long>(amount) * n + static_cast<long long>(100 - amount) * v) / 100;
            table[v * 256 + blur] = static_cast<BYTE>(std::clamp<long long>(mixed, 0, 255));
        }
    }

    UINT w = 0, h = 0;
    source->GetSize(&w, &h);
    const int width = static_cast<int>(w), height = static_cast<int>(h);
    const std::ptrdiff_t stride = static_cast<std::ptrdiff_t>(width) * 4;
    const BYTE* lut = table.data();
    RowProgress progress(*this, height, 0, 100);
    imagecore::ParallelFor(1, height - 1, static_cast<std::size_t>(width) * 12, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            const BYTE* c = from->GetBuffer(0, y);
            BYTE* out = target->GetBuffer(0, y);
            for (int i = 4; i < (width - 1) * 4; ++i) {
                if ((i & 3) == 3)
                    continue;
                const BYTE* p = c + i;
                const int corners = p[-stride - 4] + p[-stride + 4] + p[stride - 4] + p[stride + 4];
                const int sides = p[-stride] + p[stride] + p[-4] + p[4];
                const int blur = (corners + 2 * sides + 4 * p[0]) >> 4;
                out[i] = lut[p[0] * 256 + blur];
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

int SharpenTextureImage(CQLImage& image)
{
    CQLImage work;
    SharpenTextureAlgorithm sharpen;
    sharpen.SetImages(&image, &work);
    const SharpenTextureParams p = {50};
    if (sharpen.Apply(&p) != 0)
        return 0;
    return image.DuplicateFrom(&work);
}
