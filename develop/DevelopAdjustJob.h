// The adjust job: exposure, dynamic range, colour temperature, saturation,
// focus/sharpen and grain on a 16-bit image, through 65,536-entry tables.
#pragma once

#include "develop/DevelopJob.h"
#include "imagecore/16BitBitmap.h"
#include "imagecore/QLChannel.h"

#include <memory>

namespace develop {

// The adjust page's sliders.
struct AdjustParams {
    int exposure = 0;     // -10..20, tenths of a stop
    int dynamic = 0;      // -70..30
    int temperature = 0;  // -50..50
    int saturation = 100; // 0..200, 100 unchanged
    int sharpen = 25;     // -50..50
    int grain = 0;        // 0..100
};

inline constexpr int kTableSize = 65536;

// A straight gain g with a knee at 58000 that keeps highlights from clipping.
void BuildGainTable(double gain, WORD* table);
// Contrast for a negative dynamic: a power 1 - dynamic / 100 on both sides
// of the pivot 12450, which stays where it is.
void BuildContrastTable(int dynamic, WORD* table);

// The C library's rand() range (0..32767) with a state of its own, so the
// grain does not depend on what other threads draw.
class GrainRandom {
public:
    void Seed(unsigned seed) { m_state = seed; }
    int Next()
    {
        m_state = m_state * 1103515245u + 12345u;
        return static_cast<int>((m_state >> 16) & 0x7FFF);
    }

private:
    unsigned m_state = 1;
};

class DevelopAdjustJob : public DevelopJob {
public:
    // params: an AdjustParams. 0 on success or when stopped, E_FAIL when a
    // table or a work image cannot be had.
    HRESULT Run(const void* params) override;

private:
    // Each returns false when a stop request was taken.
    bool ShadowsAndHighlights();
    void ApplyToneTables();
    void Saturate();
    bool Sharpen(bool& failed);
    bool AddGrain(bool& failed);
    bool AllocateTables();
    // Reports and takes a pending stop request; false when stopped.
    bool Checkpoint(int percent);

    AdjustParams m_params;
    std::unique_ptr<WORD[]> m_lut[4];
    C16BitBitmap m_work;  // sharpening reads from this copy
    CQLChannel m_noise;   // the grain pattern
};

} // namespace develop
