// The loop every effect benchmark runs: the effect on a private copy of the
// photo or the preview (some effects write their source's alpha), into a target.
#pragma once

#include "algorithms/EffectAlgorithm.h"
#include "bench/BenchSupport.h"
#include "imagecore/QLImage.h"

inline const CQLImage& BenchInput(bool photo)
{
    return photo ? SyntheticPhoto() : SyntheticPreview();
}

inline void LabelInput(benchmark::State& state, bool photo)
{
    state.SetLabel(photo ? "24 MP photo" : "1 MP preview");
}

inline void RunEffect(benchmark::State& state, bool photo, EffectAlgorithm& fx, const void* params)
{
    CQLImage source, target;
    source.DuplicateFrom(&BenchInput(photo));
    fx.SetImages(&source, &target);
    fx.SetRange(0, 100);
    for (auto _ : state) {
        if (fx.Apply(params) != 0) {
            state.SkipWithError("effect failed");
            return;
        }
        benchmark::DoNotOptimize(target.GetBuffer(0, 0));
    }
    LabelInput(state, photo);
}
