// Seam carving: narrows or flattens a photo by removing seams of least
// energy. The seams are found once at half resolution and the order in which
// each half-resolution pixel was removed is cached, so that any smaller size
// is rendered from the maps without a new analysis.
#pragma once

#include "algorithms/EffectAlgorithm.h"
#include "imagecore/QLChannel.h"

#include <cstdint>
#include <memory>

struct ContentAwareResizeParams {
    INT width;               // at most the source width
    INT height;              // at most the source height
    INT analyseOnly;         // non-zero: compute the removal maps only
    CQLChannel* protectMask; // source-sized, 0 free .. 255 keep; null for none
    INT reserved;
};

class ContentAwareResizeAlgorithm : public EffectAlgorithm {
public:
    // 0 or E_FAIL. Only one axis changes per run: the width when it is smaller,
    // else the height.
    HRESULT Apply(const void* params) override;
    // The owner calls this when the source or the mask changes.
    void FreeCache();

    // Half width x half height, row-major: the seam number that removed each
    // half-resolution pixel (1 for the first), 0 if none; null before analysis.
    const WORD* ColumnOrder() const { return columnOrder.get(); }
    const WORD* RowOrder() const { return rowOrder.get(); }

private:
    bool Analyse();
    bool BuildPlanes();
    void Render();

    ContentAwareResizeParams par{};
    CQLChannel grey;
    CQLChannel energy;
    std::uint16_t curWidth = 0;
    std::uint16_t curHeight = 0;
    std::unique_ptr<WORD[]> columnOrder;
    std::unique_ptr<WORD[]> rowOrder;
};
