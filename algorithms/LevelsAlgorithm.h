// Tone tables applied at 16 bits: a 16-bit copy of the photo goes through
// the tables and is then diffused down into the 8-bit target, so curves do
// not band.
#pragma once

#include "algorithms/EffectAlgorithm.h"
#include "imagecore/16BitBitmap.h"

class LevelsAlgorithm : public EffectAlgorithm {
public:
    // Entries of one tone table.
    static constexpr int kTableSize = 65536;

    ~LevelsAlgorithm() override;

    // The 16-bit photo to map; not owned, not changed.
    void SetAlgorithmInput(C16BitBitmap* bitmap) { input = bitmap; }
    void SetPerChannel(BOOL on) { perChannel = on; }

    // params: WORD tables of kTableSize entries: the common table, then (read
    // only with perChannel) the red, green and blue tables. 0 or E_FAIL.
    HRESULT Apply(const void* params) override;

private:
    C16BitBitmap* input = nullptr;
    BOOL perChannel = 0;
    C16BitBitmap mapped; // the work copy, kept between runs of a dialog
};
