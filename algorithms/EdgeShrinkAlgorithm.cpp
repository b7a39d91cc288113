#include "algorithms/EdgeShrinkAlgorithm.h"

#include "algorithms/NumericHelpers.h"
#include "algorithms/RowProgress.h"
#include "imagecore/ParallelFor.h"
#include "platform/codec/ColorForms.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

EdgeShrinkAlgorithm::~EdgeShrinkAlgorithm() = default;

HRESULT EdgeShrinkAlgorithm::Apply(const void* params)
{
    if (EffectAlgorithm::Apply(params) != 0 || !params)
        return E_FAIL;
    std::memcpy(&param, params, sizeof param);
    if (!target->DuplicateFrom(source))
        return E_FAIL;
    UINT w = 0, h = 0;
    source->GetSize(&w, &h);
    const int width = static_cast<int>(w), height = static_cast<int>(h);
    const std::size_t pixels = static_cast<std::size_t>(width) * height;
    try {
        edges.assign(pixels, 0);
    } catch (const std::bad_alloc&) {
        return E_FAIL;
    }
    ConvertRowsYuv(*target, width, height, true);
    Progress(10);

    // Luma is byte 2 of the YUV target. The left group takes the pixel below
    // where the lower-left one would be expected: that is the kernel.
    const std::ptrdiff_t stride = static_cast<std::ptrdiff_t>(width) * 4;
    imagecore::ParallelFor(1, height - 1, static_cast<std::size_t>(width) * 8, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            const BYTE* p = target->GetBuffer(0, y) + 2;
            BYTE* e = edges.data() + static_cast<std::size_t>(y) * width;
            for (int x = 1; x < width - 1; ++x) {
                const BYTE* c = p + 4 * x;
                const int tl = c[-stride - 4], t = c[-stride], tr = c[-stride + 4];
                const int l = c[-4], r = c[4];
                const int bl = c[stride - 4], b = c[stride], br = c[stride + 4];
                const int vertical = std::abs((tl + t + tr) - (bl + b + br));
                const int horizontal = std::abs((tl + l + b) - (tr + r + br));
                e[x] = static_cast<BYTE>(std::min(std::max(vertical, horizontal), 255));
            }
        }
    });
    Progress(20);
    // A cancelled run leaves the plain copy, not a photo in YUV.
    auto cancelled = [&] {
        if (target != source)
            target->DuplicateFrom(source);
        return E_FAIL;
    };
    if (TestCancel())
        return cancelled();

    // The new luma goes into alpha first, so every pixel reads unmodified
    // neighbours; the move into the luma byte follows.
    const int strength = param.strength;
    RowProgress progress(*this, height, 20, 90);
    if (height > 4)
        progress.Advance(2);
    imagecore::ParallelFor(2, height - 2, static_cast<std::size_t>(width) * 16, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            BYTE* row = target->GetBuffer(0, y);
            const BYTE* e = edges.data() + static_cast<std::size_t>(y) * width;
            const std::ptrdiff_t es = width;
            for (int x = 2; x < width - 2; ++x) {
                BYTE* c = row + 4 * x;
                const BYTE* ce = e + x;
                const std::ptrdiff_t lumaAt[13] = {-stride - 4, -stride, -stride + 4, -4, 0, 4, stride - 4, stride, stride + 4,
                                                   -2 * stride, 2 * stride, -8, 8};
                const std::ptrdiff_t edgeAt[13] = {-es - 1, -es, -es + 1, -1, 0, 1, es - 1, es, es + 1, -2 * es, 2 * es, -2, 2};
                int lo = 255, hi = 0, edgeSum = 0;
                for (int k = 0; k < 13; ++k) {
                    const int v = c[lumaAt[k] + 2];
                    lo = std::min(lo, v);
                    hi = std::max(hi, v);
                    edgeSum += ce[edgeAt[k]];
                }
                const int y0v = c[2];
                int k = y0v;
                if (edgeSum != 0) {
                    const int ev = ce[0];
                    const long long pulled = y0v + ((static_cast<long long>(y0v - ((hi + lo) >> 1)) * strength) >> 8);
                    const long long mixed = (ev * pulled + (255 - ev) * y0v) >> 8;
                    k = static_cast<int>(std::clamp<long long>(mixed, lo, hi));
                }
                c[3] = static_cast<BYTE>(k);
            }
            if (!progress.Advance(1))
                return;
        }
    });
    if (progress.Cancelled())
        return cancelled();
    Progress(90);
    imagecore::ParallelFor(0, height, static_cast<std::size_t>(width) * 4, [&](int r0, int r1) {
        for (int y = r0; y < r1; ++y) {
            BYTE* row = target->GetBuffer(0, y);
            if (y >= 2 && y < height - 2)
                for (int x = 2; x < width - 2; ++x)
                    row[4 * x + 2] = row[4 * x + 3];
            qlcodec::YuvToRgb(row, static_cast<std::size_t>(width));
        }
    });
    Progress(100);
    return 0;
}

int EdgeShrinkImage(CQLImage& image, int strength)
{
    CQLImage copy, result;
    if (!copy.DuplicateFrom(&image))
        return 0;
    EdgeShrinkAlgorithm shrink;
    shrink.SetImages(&copy, &result);
    const EdgeShrinkParams p = {strength};
    // The result is built aside so that a failure leaves the image as it was.
    if (shrink.Apply(&p) != 0)
        return 0;
    return image.DuplicateFrom(&result);
}
