// Noise removal in the frequency domain for grey photos: the spectra of the
// three flattest 256 x 256 areas, in linear light, are the noise model; the
// photo is filtered in overlapping 256 x 256 blocks, every spectral value
// that does not rise above the model becoming 0. Byte 0 is filtered and
// written into all three colour bytes, alpha 255.
#pragma once

#include "algorithms/EffectAlgorithm.h"
#include "imagecore/QLImage.h"

#include <vector>

class FftDenoiseAlgorithm : public EffectAlgorithm {
public:
    FftDenoiseAlgorithm();
    ~FftDenoiseAlgorithm() override;

    // params: one 32-bit value, kept and not used (null is taken as 0).
    // 0, or E_FAIL for a failed input check, copy or allocation, or a cancel.
    HRESULT Apply(const void* params) override;

    static constexpr int kBlockPower = 8; // 256 x 256 blocks
    static constexpr int kTile = 240;     // written per block; blocks start 8 above and left
    static constexpr int kPicks = 3;

    // A flat-area pick in quarter-size coordinates; the area read is the
    // 256 x 256 block at (4x, 4y).
    struct Pick {
        int x;
        int y;
    };
    // Picks of the last run (fewer than three on small photos, none below
    // 260 pixels on either side).
    const std::vector<Pick>& Picks() const { return picks; }
    // Linear value (0..32767) of an sRGB level, and the level of a linear value.
    int ToLinear(int level) const { return toLinear[level]; }
    int ToSrgb(int linear) const { return toSrgb[linear]; }

private:
    void BuildTables();
    bool FindFlatAreas(int width, int height);
    bool BuildThresholds(int width, int height);
    HRESULT FilterBlocks(int width, int height);

    INT param = 0;
    std::vector<Pick> picks;
    std::vector<double> threshold;  // per spectral index of byte 0
    short toLinear[256] = {};       // sRGB level to 15-bit linear value
    std::vector<BYTE> toSrgb;       // 32768 entries: 15-bit linear value to level
    std::vector<BYTE> plane;        // byte 0 of the source, read by every block
};
