// Row loops of the resize family on all cores, with progress and cancel.
// Every row is computed by exactly one thread from read-only input, so the
// result does not depend on how the rows are split.
#pragma once

#include "algorithms/RowProgress.h"
#include "imagecore/ParallelFor.h"

#include <algorithm>
#include <cstddef>

namespace resample {

// Calls row(y, state) for every y in [0, rows), state being made once per
// thread by makeState(), and counts every `every` rows towards progress
// lo..hi of effect. Returns false when a cancel stopped the pass.
template <class MakeState, class RowFn>
bool ParallelRows(EffectAlgorithm& effect, int rows, std::size_t workPerRow, int every, int lo, int hi,
                  MakeState&& makeState, RowFn&& row)
{
    RowProgress progress(effect, rows, lo, hi);
    imagecore::ParallelFor(0, rows, workPerRow, [&](int begin, int end) {
        auto state = makeState();
        for (int y = begin; y < end;) {
            const int stop = std::min(end, y + every);
            const int from = y;
            for (; y < stop; ++y)
                row(y, state);
            if (!progress.Advance(stop - from))
                return;
        }
    });
    return !progress.Cancelled();
}

// The same for rows that need no per-thread state.
template <class RowFn>
bool ParallelRows(EffectAlgorithm& effect, int rows, std::size_t workPerRow, int every, int lo, int hi, RowFn&& row)
{
    return ParallelRows(effect, rows, workPerRow, every, lo, hi, [] { return 0; }, [&](int y, int) { row(y); });
}

} // namespace resample
