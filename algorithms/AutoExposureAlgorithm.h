// Stretches the levels between the 1 % points, sorts the photo into dark,
// bright, flat or balanced by its histogram, and applies a power curve or a
// clipped histogram equalisation to match; on a 16-bit work copy, to all
// channels or to the luminance of YUV.
#pragma once

#include "algorithms/Curve16.h"
#include "algorithms/EffectAlgorithm.h"
#include "imagecore/16BitBitmap.h"
#include "imagecore/QLImage.h"

#include <cstdint>
#include <vector>

class AutoExposureAlgorithm : public EffectAlgorithm {
public:
    enum PhotoClass { Balanced = 0, Dark = 1, Bright = 2, Flat = 3 };

    ~AutoExposureAlgorithm() override;

    // params: INT lumaOnly; non-zero: work on Y of YUV. 0 or E_FAIL; the
    // target is written only at the end.
    HRESULT Apply(const void* params) override;

    // The class of the last run.
    INT GetPhotoClass() const { return photoClass; }

    // By the shares of the darkest and brightest quarters of the levels.
    static PhotoClass Classify(const std::vector<std::uint64_t>& hist);
    // Counts the middle half of the photo through the tables (its 16-bit
    // values), outside the cross within an eighth of the height and width of
    // the centre, a second time into hist: the third component with
    // lumaOnly, else the luminance index.
    static void CountCentreAgain(const CQLImage& photo, const curve16::Tables& tables, bool lumaOnly,
                                 std::vector<std::uint64_t>& hist);
    // The clipped equalisation of a histogram (65536 bins, counts) into curve.
    static void EqualisationCurve(const std::vector<std::uint64_t>& hist, WORD* curve);

private:
    C16BitBitmap work; // kept between runs: a fresh copy would be faulted in on every Apply
    CQLImage yuv;      // the same, for the photo as YUV
    INT lumaOnly = 0;
    INT photoClass = 0;
};
