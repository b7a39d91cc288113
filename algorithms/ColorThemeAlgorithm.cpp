#include "algorithms/ColorThemeAlgorithm.h"

#include "algorithms/ChannelMixerAlgorithm.h"
#include "algorithms/FilmAspectAdjustAlgorithm.h"
#include "algorithms/HsbCurveAlgorithm.h"
#include "algorithms/MonoToneAlgorithm.h"
#include "algorithms/PointKernels.h"
#include "algorithms/PointRows.h"
#include "algorithms/SmoothAlgorithm.h"

#include <algorithm>
#include <utility>

namespace {

inline BYTE ClampLevel(int v)
{
    return static_cast<BYTE>(v < 0 ? 0 : (v > 255 ? 255 : v));
}

} // namespace

ColorThemeAlgorithm::~ColorThemeAlgorithm() = default;

void ColorThemeAlgorithm::SetAmount(int percent)
{
    amount = std::clamp(percent, 0, 100);
}

// A nested effect reports its 0..100 inside [low, high] of this run's scale.
void ColorThemeAlgorithm::NestedRange(EffectAlgorithm& effect, int low, int high) const
{
    effect.SetRange(RangeAt(low), RangeAt(high));
    effect.SetCallback(callback);
}

HRESULT ColorThemeAlgorithm::Apply(const void* params)
{
    if (EffectAlgorithm::Apply(params) != 0 || !params)
        return E_FAIL;
    const ColorTheme& theme = *static_cast<const ColorTheme*>(params);

    // The final mix reads the photo before any step.
    CQLImage sourceCopy;
    const CQLImage* original = source;
    if (source == target) {
        if (amount < 100 && !sourceCopy.DuplicateFrom(source))
            return 8;
        original = &sourceCopy;
    } else if (!target->DuplicateFrom(source)) {
        return 8;
    }

    // The count of a record built in memory may disagree with its steps.
    const int n = static_cast<int>(std::min<std::size_t>(theme.stepCount, theme.steps.size()));
    HRESULT result = 0;
    for (int i = 0; i < n && result == 0; ++i) {
        const ColorThemeStep& step = theme.steps[i];
        const int low = 100 * i / n, high = 100 * (i + 1) / n;
        switch (step.type) {
        case ColorThemeStep::Curves:
            if (!PlayCurves(step.payload, low, high))
                result = E_FAIL;
            break;
        case ColorThemeStep::HsbCurve: {
            HsbCurveAlgorithm hsb;
            result = PlayNested(hsb, step.payload, low, high);
            break;
        }
        case ColorThemeStep::MonoTone: {
            MonoToneAlgorithm tone;
            PlayNested(tone, step.payload, low, high);
            break;
        }
        case ColorThemeStep::FilmAspect: {
            FilmAspectAdjustAlgorithm film;
            PlayNested(film, step.payload, low, high);
            break;
        }
        case ColorThemeStep::Glow:
            if (!PlayGlow(step.payload, low, high))
                result = E_FAIL;
            break;
        case ColorThemeStep::ChannelMixer: {
            ChannelMixerAlgorithm mixer;
            PlayNested(mixer, step.payload, low, high);
            break;
        }
        default: // unknown types are passed over
            Progress(high);
            break;
        }
        if (result == 0 && TestCancel())
            result = E_FAIL;
    }
    work = CQLImage(); // no photo-sized buffer is kept between runs
    if (result != 0)
        return result;

    if (amount < 100 && !MixWith(*original))
        return E_FAIL;
    Progress(100);
    return 0;
}

// Type 0: blue, green and red tables, 256 bytes each, in that order.
bool ColorThemeAlgorithm::PlayCurves(const BYTE* tables, int low, int high)
{
    UINT w = 0, h = 0;
    target->GetSize(&w, &h);
    const int width = static_cast<int>(w);
    const pointkernels::ChannelTables words(tables, tables + 256, tables + 512);
    return ForEachRow(*this, width, static_cast<int>(h), low, high, [&](int y) {
        BYTE* p = target->GetBuffer(0, y);
        pointkernels::MapChannels(p, p, std::size_t(width), words, false);
    });
}

// Types 1, 2, 3, 5: the effect reads the target into the work image, which then
// becomes the target; a failure leaves the target as it was.
HRESULT ColorThemeAlgorithm::PlayNested(EffectAlgorithm& effect, const void* block, int low, int high)
{
    effect.SetImages(target, &work);
    NestedRange(effect, low, high);
    const HRESULT hr = effect.Apply(block);
    if (hr == 0)
        std::swap(*target, work);
    return hr;
}

// Type 4: payload bytes radius, mix percent, highlight and shadow amounts.
// The smoothing takes the first 30% of the step's span. false on a cancel.
bool ColorThemeAlgorithm::PlayGlow(const BYTE* data, int low, int high)
{
    const int radius = data[0], mix = data[1], highlight = data[2], shadow = data[3];
    const int smoothEnd = low + 30 * (high - low) / 100;
    SmoothAlgorithm smooth;
    smooth.SetImages(target, &work);
    NestedRange(smooth, low, smoothEnd);
    const SmoothParams sp{radius};
    if (smooth.Apply(&sp) != 0)
        return true; // a failed step leaves the target as it was
    if (mix >= 100) {
        std::swap(*target, work);
        Progress(high);
        return true;
    }

    const int c = mix * 255 / 100;
    UINT w = 0, h = 0;
    target->GetSize(&w, &h);
    const int width = static_cast<int>(w);
    return ForEachRow(*this, width, static_cast<int>(h), smoothEnd, high, [&](int y) {
        BYTE* p = target->GetBuffer(0, y);
        const BYTE* q = work.GetBuffer(0, y);
        for (int x = 0; x < width; ++x, p += 4, q += 4) {
            const int t = (q[0] + 6 * q[1] + 3 * q[2]) / 10;
            const int lift = std::max(0, 2 * t - 256) * highlight / 255;
            const int cut = std::max(0, 2 * (128 - t)) * shadow / 255;
            for (int k = 0; k < 3; ++k) {
                int v = (c * q[k] + (255 - c) * p[k]) / 255;
                v += q[k] * lift / 255;
                v -= (255 - q[k]) * cut / 255;
                p[k] = ClampLevel(v);
            }
        }
    });
}

// Each of B, G, R: (source (100 - amount) + played amount) / 100; alpha stays
// the played one's. false on a cancel.
bool ColorThemeAlgorithm::MixWith(const CQLImage& original)
{
    UINT w = 0, h = 0;
    target->GetSize(&w, &h);
    const int width = static_cast<int>(w);
    const int a = amount, keep = 100 - amount;
    return ForEachRow(*this, width, static_cast<int>(h), 100, 100, [&](int y) {
        const BYTE* s = original.GetBuffer(0, y);
        BYTE* p = target->GetBuffer(0, y);
        for (int x = 0; x < width; ++x, p += 4, s += 4) {
            p[0] = static_cast<BYTE>((s[0] * keep + p[0] * a) / 100);
            p[1] = static_cast<BYTE>((s[1] * keep + p[1] * a) / 100);
            p[2] = static_cast<BYTE>((s[2] * keep + p[2] * a) / 100);
        }
    });
}
