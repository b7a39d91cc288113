// Plays a colour theme: its steps run one after another on the target, then
// the result is mixed with the source by an amount in percent.
#pragma once

#include "algorithms/ColorTheme.h"
#include "algorithms/EffectAlgorithm.h"

class ColorThemeAlgorithm : public EffectAlgorithm {
public:
    ~ColorThemeAlgorithm() override;

    // params: a ColorTheme, read in place (not copied). 0; 8 when the target
    // cannot be made; E_FAIL for missing images or theme, a failed HSB curve
    // step or a cancel. A failing step of another type, or a step of an
    // unknown type, leaves the target as it was.
    HRESULT Apply(const void* params) override;

    // Percent of the played result in the mix, clamped to 0..100.
    void SetAmount(int percent);
    int GetAmount() const { return amount; }

private:
    bool PlayCurves(const BYTE* tables, int low, int high);
    HRESULT PlayNested(EffectAlgorithm& effect, const void* block, int low, int high);
    bool PlayGlow(const BYTE* data, int low, int high);
    bool MixWith(const CQLImage& original);
    void NestedRange(EffectAlgorithm& effect, int low, int high) const;

    int amount = 100;
    CQLImage work; // a step's result before it becomes the target
};
