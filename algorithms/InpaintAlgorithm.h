// Removes an object from a photo: the masked area is filled block by block
// with patches copied from elsewhere in the photo, each blended in with
// feathered edges. A mask near the image border runs on a padded copy.
#pragma once

#include "algorithms/EffectAlgorithm.h"
#include "imagecore/QLChannel.h"

#include <vector>

struct InpaintParams {
    CQLChannel* mask; // image-sized; bit 7 marks a pixel to fill, the value weights the paste
    INT blockSize;    // edge of the square fill blocks, 2 .. the photo's larger side
    INT unused1;
    INT unused2;
};

// One fill block: its square (right and bottom exclusive), whether it is
// done, and the band pixels under it extended by the margin.
struct FillBlock {
    INT left, top, right, bottom;
    INT done;
    INT priority;
};

class InpaintAlgorithm : public EffectAlgorithm {
public:
    static constexpr HRESULT kCannotFill = 13; // mask too large, or a block without any source

    // 0 when done; kCannotFill; E_FAIL for missing images, a block size below
    // 2 or above the photo's larger side, a failed allocation or a cancel.
    HRESULT Apply(const void* params) override;
    // A padded run also stops on a cancel of the run that made it.
    int TestCancel() override;

    // The block size for a painted mask: how thick its strokes are; 8 when
    // nothing better is found.
    int EstimateRadius(CQLChannel* mask);

private:
    HRESULT ApplyDirect();
    HRESULT ApplyPadded();
    bool BuildBand();
    void BuildBlocks();
    void BuildFeather();
    void Recount();
    int ChooseBlock() const;
    bool FillBlockAt(const FillBlock& block);
    bool Search(int wl, int wt, int wr, int wb, int step, int* bestX, int* bestY);
    unsigned Cost(int cx, int cy, int step, unsigned best) const;
    bool Valid(int cx, int cy) const;

    InpaintParams par{};
    int boxLeft = 0, boxTop = 0, boxRight = 0, boxBottom = 0;
    int maskCount = 0;
    int margin = 0;
    CQLChannel known;
    CQLChannel holeMask;
    CQLChannel band;
    CQLChannel feather;
    std::vector<FillBlock> blocks;
    CQLImage patch;
    CQLImage patchSmall;
    int searchStep = 1;
    CQLImage imageSmall;

    // The unknown pixels of the current search window as a summed-area table.
    std::vector<int> unknownSums;
    int sumsLeft = 0, sumsTop = 0, sumsWidth = 0;
    InpaintAlgorithm* outer = nullptr; // the run that padded the image
};
