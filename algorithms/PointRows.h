// Row loops of per-pixel effects, shared out over all cores: each row is
// independent, so the split does not change the result. Progress runs from
// lo to hi as rows finish; a cancel stops every chunk.
#pragma once

#include "algorithms/EffectAlgorithm.h"
#include "algorithms/RowProgress.h"
#include "imagecore/ParallelFor.h"

#include <algorithm>
#include <cstddef>

// A target of the source's size for a pass that writes every byte of it
// (the buffer is kept when the size matches; the target may be the source).
// false when it cannot be made.
inline bool SizeTargetLikeSource(const CQLImage* source, CQLImage* target)
{
    UINT w = 0, h = 0;
    source->GetSize(&w, &h);
    return target == source || target->Create(w, h) == 0;
}

// fn(y) for every row 0..height-1; false when the run was cancelled.
template <class RowFn>
bool ForEachRow(EffectAlgorithm& effect, int width, int height, int lo, int hi, RowFn&& fn)
{
    RowProgress progress(effect, height, lo, hi);
    // Rows are reported in small batches: a per-row report costs more than a
    // row of a point operation.
    const int batch = std::max(1, 65536 / std::max(1, width));
    imagecore::ParallelFor(0, height, static_cast<std::size_t>(width), [&](int y0, int y1) {
        for (int first = y0; first < y1; first += batch) {
            const int end = std::min(y1, first + batch);
            for (int y = first; y < end; ++y)
                fn(y);
            if (!progress.Advance(end - first))
                return;
        }
    });
    return !progress.Cancelled();
}
