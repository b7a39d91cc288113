#include "plugins/effects/SciFiAlgorithm.h"

#include "algorithms/SmoothAlgorithm.h"
#include "imagecore/ParallelFor.h"
#include "platform/codec/QLImageCodec.h"

#include <algorithm>
#include <memory>

namespace {

// A smoothing step that also stops when the run it belongs to is cancelled.
class NestedSmooth : public SmoothAlgorithm {
public:
    explicit NestedSmooth(EffectAlgorithm* outer) : outer(outer) {}
    int TestCancel() override { return SmoothAlgorithm::TestCancel() || (outer && outer->TestCancel()); }

private:
    EffectAlgorithm* outer;
};

template <class Fn>
void ForRows(const CQLImage& image, Fn&& fn)
{
    UINT w = 0, h = 0;
    image.GetSize(&w, &h);
    imagecore::ParallelFor(0, static_cast<int>(h), w, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y)
            fn(y, static_cast<int>(w));
    });
}

} // namespace

int SciFiAlgorithm::TestCancel()
{
    const int own = EffectAlgorithm::TestCancel();
    return own || (cancelSource && cancelSource->TestCancel()) ? 1 : 0;
}

HRESULT SciFiAlgorithm::Smooth(CQLImage* from, CQLImage* into, int radius, bool alphaOnly, int low, int high)
{
    NestedSmooth smooth(this);
    smooth.SetAlphaOnly(alphaOnly ? 1 : 0);
    smooth.SetImages(from, into);
    smooth.SetCallback(callback);
    smooth.SetRange(RangeAt(low), RangeAt(high));
    const SmoothParams p{radius};
    return smooth.Apply(&p) == 0 ? 0 : E_FAIL;
}

HRESULT SciFiAlgorithm::Apply(const void* params)
{
    if (EffectAlgorithm::Apply(params) != 0 || !params || !CopySourceToTarget())
        return E_FAIL;
    param = *static_cast<const SciFiParams*>(params);
    UINT w = 0, h = 0;
    source->GetSize(&w, &h);

    // The smoothed copy this run makes is its own and goes with the run.
    std::unique_ptr<CQLImage> own;
    if (images.empty()) {
        own = std::make_unique<CQLImage>();
        if (Smooth(source, own.get(), param.radius, false, 0, 50) != 0)
            return E_FAIL;
        AddImage(own.get());
    }
    CQLImage* smoothed = images[0];
    UINT sw = 0, sh = 0;
    smoothed->GetSize(&sw, &sh);
    HRESULT result = E_FAIL;
    if (sw == w && sh == h && !TestCancel()) {
        // Detail plane: smoothed luma minus own luma, around 128.
        ForRows(*source, [&](int y, int width) {
            BYTE* s = source->GetBuffer(0, y);
            const BYTE* m = smoothed->GetBuffer(0, y);
            for (int x = 0; x < width; ++x, s += 4, m += 4)
                s[3] = static_cast<BYTE>(std::clamp(Luma(m) - Luma(s) + 128, 0, 255));
        });
        Progress(55);
        result = Smooth(source, smoothed, param.radius, true, 55, 90);
    }
    if (result == 0 && !TestCancel()) {
        CQLImageCodec codec;
        result = codec.RGBToYUV(target) ? 0 : E_FAIL;
        if (result == 0) {
            Progress(93);
            const int k = param.k;
            ForRows(*target, [&](int y, int width) {
                BYTE* t = target->GetBuffer(0, y);
                const BYTE* m = smoothed->GetBuffer(0, y);
                for (int x = 0; x < width; ++x, t += 4, m += 4)
                    t[2] = static_cast<BYTE>(std::clamp(t[2] - k * (m[3] - 128) / 64, 0, 255));
            });
            Progress(97);
            result = codec.YUVToRGB(target) ? 0 : E_FAIL;
        }
    } else {
        result = E_FAIL;
    }
    if (own)
        ClearImages();
    if (result != 0)
        return E_FAIL;
    Progress(100);
    return 0;
}
