// Improves a photo in one step: measures the tone distribution, stretches the
// levels and then picks other effects (dynamic range, defog, skin-masked
// gamma, unsharp mask) and their strengths from band shares of the grey
// histogram. Three modes, three recipes.
#pragma once

#include "algorithms/EffectAlgorithm.h"

#include <cstdint>

class AutoEnhanceAlgorithm : public EffectAlgorithm {
public:
    enum Histogram { Red = 0, Green = 1, Blue = 2, Grey = 3 };
    static constexpr int kBands = 7; // [0,16) [16,64) [64,96) [96,160) [160,192) [192,240) [240,256)

    ~AutoEnhanceAlgorithm() override;

    // params: INT mode, 0, 1 or 2 (anything else fails before the target is
    // touched). 0 or E_FAIL; a failed step leaves the target as far as it got.
    HRESULT Apply(const void* params) override;

    // The tone statistics of the target, as last measured.
    void MeasureTone();
    double GetShare(int histogram, int band) const { return bands[histogram][band]; }
    double GetBin(int histogram, int level) const { return bins[histogram][level]; }

    // The stretch between the 0.1 % points of the last measured histograms,
    // on the target; false when there was nothing to stretch.
    bool AutoLevels();
    // Every channel v of the target becomes clamp((v - lo) * 256 / (hi - lo), 0, 255);
    // lo == hi leaves it as it is and gives false.
    bool StretchTarget(int lo, int hi);

private:
    bool StrongLevels(); // mode 2's stretch between the 0.2 % points of the grey histogram; false: none
    bool RunNested(EffectAlgorithm& fx, CQLImage* from, CQLImage* into, const void* params, int lo, int hi);
    bool ReplaceTargetBy(EffectAlgorithm& fx, const void* params, int lo, int hi);
    bool RunDynamicRange(int amount, int lo, int hi);
    bool RecipeBalanced();
    bool RecipePortrait();
    bool RecipeStrong();
    double Dark() const { return bands[Grey][0] + bands[Grey][1]; }
    double Bright() const { return bands[Grey][6]; }
    double Mid() const { return bands[Grey][2] + bands[Grey][3] + bands[Grey][4]; }

    INT mode = 0;
    std::uint64_t counts[4][256] = {};
    std::uint64_t pixels = 0;
    double bins[4][256] = {}; // count / pixels
    double bands[4][kBands] = {};
};
