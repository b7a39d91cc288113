#include "algorithms/AutoEnhanceAlgorithm.h"

#include "algorithms/AutoGammaAlgorithm.h"
#include "algorithms/DefogAlgorithm.h"
#include "algorithms/DynamicRangeAlgorithm.h"
#include "algorithms/SkinMaskAlgorithm.h"
#include "algorithms/UnsharpMaskAlgorithm.h"
#include "imagecore/ParallelFor.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <mutex>
#include <utility>

namespace {

constexpr int kBandEdges[AutoEnhanceAlgorithm::kBands + 1] = {0, 16, 64, 96, 160, 192, 240, 256};

int Clamp(int v, int lo, int hi)
{
    return std::min(std::max(v, lo), hi);
}

struct LevelPoints {
    int low, high, high2;
};

// The 0.1 % points of one histogram (counts, total t): low searched up to
// 128, high down to 128, and high2 below a clipped highlight peak.
LevelPoints FindLevelPoints(const std::uint64_t* h, std::uint64_t t)
{
    // Exact forms of running >= t / 1000 and of the other shares below.
    auto reachesC = [t](std::uint64_t n) { return n * 1000 >= t; };
    LevelPoints p{128, 128, 240};
    std::uint64_t run = 0;
    for (int k = 0; k <= 128; ++k) {
        run += h[k];
        if (reachesC(run)) {
            p.low = k;
            break;
        }
    }
    run = 0;
    for (int k = 255; k >= 128; --k) {
        run += h[k];
        if (reachesC(run)) {
            p.high = k;
            break;
        }
    }
    std::uint64_t top = 0;
    for (int k = 240; k < 256; ++k)
        top += h[k];
    if (top * 10 > t && !reachesC(h[240])) {
        int k = 240;
        run = 0;
        while (k > 128 && !reachesC(h[k]) && (run + h[k]) * 50 < t) {
            run += h[k];
            --k;
        }
        p.high2 = k;
    }
    return p;
}

} // namespace

AutoEnhanceAlgorithm::~AutoEnhanceAlgorithm() = default;

void AutoEnhanceAlgorithm::MeasureTone()
{
    std::memset(counts, 0, sizeof counts);
    UINT w = 0, h = 0;
    target->GetSize(&w, &h);
    pixels = std::uint64_t{w} * h;
    std::mutex merge;
    imagecore::ParallelFor(0, static_cast<int>(h), w, [&](int y0, int y1) {
        std::uint32_t local[4][256] = {};
        for (int y = y0; y < y1; ++y) {
            const CPixel* p = reinterpret_cast<const CPixel*>(target->GetBuffer(0, y));
            for (UINT x = 0; x < w; ++x) {
                ++local[Red][p[x].r];
                ++local[Green][p[x].g];
                ++local[Blue][p[x].b];
                ++local[Grey][p[x].GetGray2()];
            }
        }
        std::lock_guard<std::mutex> lock(merge);
        for (int c = 0; c < 4; ++c)
            for (int v = 0; v < 256; ++v)
                counts[c][v] += local[c][v];
    });
    for (int c = 0; c < 4; ++c) {
        for (int v = 0; v < 256; ++v)
            bins[c][v] = pixels ? static_cast<double>(counts[c][v]) / static_cast<double>(pixels) : 0.0;
        for (int b = 0; b < kBands; ++b) {
            double share = 0;
            for (int v = kBandEdges[b]; v < kBandEdges[b + 1]; ++v)
                share += bins[c][v];
            bands[c][b] = share;
        }
    }
}

bool AutoEnhanceAlgorithm::StretchTarget(int lo, int hi)
{
    if (hi == lo)
        return false; // a flat photo has nothing to stretch
    BYTE table[256];
    for (int v = 0; v < 256; ++v)
        table[v] = static_cast<BYTE>(Clamp((v - lo) * 256 / (hi - lo), 0, 255));
    UINT w = 0, h = 0;
    target->GetSize(&w, &h);
    imagecore::ParallelFor(0, static_cast<int>(h), w, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            BYTE* p = target->GetBuffer(0, y);
            for (UINT x = 0; x < w; ++x, p += 4) {
                p[0] = table[p[0]];
                p[1] = table[p[1]];
                p[2] = table[p[2]];
            }
        }
    });
    return true;
}

bool AutoEnhanceAlgorithm::AutoLevels()
{
    // A photo of one level has nothing to stretch; the bounds at 128 below
    // would otherwise push it to black or white.
    int darkest = 255, brightest = 0;
    for (int c = Red; c <= Blue; ++c)
        for (int v = 0; v < 256; ++v)
            if (counts[c][v]) {
                darkest = std::min(darkest, v);
                brightest = std::max(brightest, v);
            }
    if (darkest >= brightest)
        return false;
    int low = 255, high = 0, high2 = 0;
    for (int c = 0; c < 4; ++c) {
        const LevelPoints p = FindLevelPoints(counts[c], pixels);
        low = std::min(low, p.low);
        high = std::max(high, p.high);
        high2 = std::max(high2, p.high2);
    }
    if (high == 255 && high2 < 224)
        high = high2;
    return StretchTarget(low, high);
}

bool AutoEnhanceAlgorithm::StrongLevels()
{
    // Exact form of a running share above 0.002.
    const std::uint64_t* grey = counts[Grey];
    auto exceeds = [this](std::uint64_t run) { return run * 500 > pixels; };
    int hi = 255, lo = 0;
    std::uint64_t run = 0;
    for (; hi > 0; --hi) {
        run += grey[hi];
        if (exceeds(run))
            break;
    }
    run = 0;
    for (; lo < 255; ++lo) {
        run += grey[lo];
        if (exceeds(run))
            break;
    }
    return StretchTarget(lo, hi);
}

bool AutoEnhanceAlgorithm::RunNested(EffectAlgorithm& fx, CQLImage* from, CQLImage* into, const void* params, int lo,
                                     int hi)
{
    fx.SetImages(from, into);
    fx.SetCallback(callback);
    fx.SetRange(RangeAt(lo), RangeAt(hi));
    // A cancel meant for this run reaches it after the nested step.
    return fx.Apply(params) == 0 && !TestCancel();
}

bool AutoEnhanceAlgorithm::ReplaceTargetBy(EffectAlgorithm& fx, const void* params, int lo, int hi)
{
    CQLImage result;
    if (!RunNested(fx, target, &result, params, lo, hi))
        return false;
    *target = std::move(result);
    return true;
}

bool AutoEnhanceAlgorithm::RunDynamicRange(int amount, int lo, int hi)
{
    DynamicRangeParams p;
    p.shadowAmount = static_cast<BYTE>(amount);
    DynamicRangeAlgorithm fx;
    return ReplaceTargetBy(fx, &p, lo, hi);
}

bool AutoEnhanceAlgorithm::RecipeBalanced()
{
    const int a = Clamp(static_cast<int>((Dark() - 0.15) * 150), 0, 60);
    const int b = Clamp(static_cast<int>((Mid() - 0.4) * 120), 0, 80);
    if (a < 15 && b < 15)
        return true;
    if (b < a)
        return RunDynamicRange(a, 25, 100);
    DefogParams p{b};
    DefogAlgorithm fx;
    return ReplaceTargetBy(fx, &p, 25, 100);
}

bool AutoEnhanceAlgorithm::RecipePortrait()
{
    const int a = Clamp(static_cast<int>((Dark() - 0.15) * 150), 0, 60);
    if (a > 0 && !RunDynamicRange(std::min(a, 30), 25, 35))
        return false;
    SkinMaskAlgorithm skin;
    if (!RunNested(skin, target, target, nullptr, 35, 40))
        return false;
    AutoGammaAlgorithm gamma;
    gamma.AddImage(target);
    return ReplaceTargetBy(gamma, nullptr, 40, 70);
}

bool AutoEnhanceAlgorithm::RecipeStrong()
{
    // The statistics are measured again only where the target changed.
    if (StrongLevels())
        MeasureTone();
    Progress(25);
    if (TestCancel())
        return false;
    const int e = static_cast<int>((Dark() - 2 * (1 - Dark() - Bright()) - 0.2) * 80);
    if (e >= 1) {
        if (!RunDynamicRange(std::min(e, 50), 25, 60))
            return false;
        MeasureTone();
    }
    const int g = std::min(static_cast<int>((Dark() - 2 * (1 - Dark() - Bright()) - 0.2) * -80), 60);
    if (g < 1)
        return true;
    UINT w = 0, h = 0;
    target->GetSize(&w, &h);
    const double diagonal = std::sqrt(static_cast<double>(w) * w + static_cast<double>(h) * h);
    UnsharpMaskParams p{static_cast<INT>(diagonal * 0.03125), g, 0};
    UnsharpMaskAlgorithm fx;
    return ReplaceTargetBy(fx, &p, 60, 100);
}

HRESULT AutoEnhanceAlgorithm::Apply(const void* params)
{
    if (EffectAlgorithm::Apply(params) != 0 || !params)
        return E_FAIL;
    const INT m = *static_cast<const INT*>(params);
    if (m < 0 || m > 2)
        return E_FAIL;
    mode = m;
    if (!CopySourceToTarget())
        return E_FAIL;
    MeasureTone();
    const bool stretched = mode != 2 && AutoLevels();
    Progress(20);
    if (stretched) // otherwise the target is as measured
        MeasureTone();
    Progress(25);
    if (TestCancel())
        return E_FAIL;
    bool ok;
    switch (mode) {
    case 0: ok = RecipeBalanced(); break;
    case 1: ok = RecipePortrait(); break;
    default: ok = RecipeStrong(); break;
    }
    if (!ok)
        return E_FAIL;
    Progress(100);
    return 0;
}
