#include "algorithms/ResizeBySpecAlgorithm.h"

#include <cmath>
#include <cstring>

namespace {

constexpr HRESULT kNoTarget = 8;
constexpr int kMaxSide = 10000;

bool InRange(double side)
{
    return side >= 1 && side <= kMaxSide; // false for NaN too
}

} // namespace

HRESULT ResizeBySpecAlgorithm::Apply(const void* params)
{
    if (EffectAlgorithm::Apply(params) != 0 || !params || target == source)
        return E_FAIL;
    const auto* spec = static_cast<const ResizeSpec*>(params);
    DWORD raw = 0;
    std::memcpy(&raw, &spec->value, sizeof raw);
    if (raw == 0) {
        if (!CopySourceToTarget())
            return kNoTarget;
        Progress(100);
        return 0;
    }

    UINT w = 0, h = 0;
    source->GetSize(&w, &h);
    double newWidth = 0, newHeight = 0;
    switch (spec->mode) {
    case ResizeSpec::PixelCount: {
        const double f = static_cast<double>(w) / h;
        newHeight = std::trunc(std::sqrt(spec->value.count / f));
        newWidth = std::trunc(f * newHeight);
        break;
    }
    case ResizeSpec::ExplicitSize:
        newWidth = spec->value.size & 0xFFFF;
        newHeight = spec->value.size >> 16;
        break;
    case ResizeSpec::Factor:
        // float arithmetic, as the factor is a float
        newWidth = std::trunc(static_cast<float>(w) * spec->value.factor);
        newHeight = std::trunc(static_cast<float>(h) * spec->value.factor);
        break;
    default:
        return E_FAIL;
    }
    if (!InRange(newWidth) || !InRange(newHeight))
        return E_FAIL;

    resample.SetOptions(1, 90, 50);
    resample.SetImages(source, target);
    // The caller's callback and range, so that progress and a cancel reach
    // the caller; without a callback the resize runs silently.
    resample.SetCallback(callback);
    resample.SetRange(rangeLow, rangeHigh);
    const ResizeParams size{static_cast<INT>(newWidth), static_cast<INT>(newHeight)};
    const HRESULT hr = resample.Apply(&size);
    if (hr == 0) {
        if (TestCancel())
            return E_FAIL;
        Progress(100);
    }
    return hr;
}
