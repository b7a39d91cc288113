#include "algorithms/AutoLevelsAlgorithm.h"

#include "algorithms/Curve16.h"

#include <cstdint>
#include <vector>

AutoLevelsAlgorithm::~AutoLevelsAlgorithm() = default;

void AutoLevelsAlgorithm::StretchCurve(int lo, int hi, WORD* curve)
{
    const int mid = (lo + hi) / 2;
    for (int k = 0; k < curve16::kLevels; ++k) {
        std::int64_t v;
        if (k < lo)
            v = 0;
        else if (k > hi)
            v = 65535;
        else if (k < mid)
            v = static_cast<std::int64_t>(k - lo) * 32767 / (mid - lo);
        else if (mid < hi)
            v = static_cast<std::int64_t>(k - mid) * 32767 / (hi - mid) + 32767;
        else
            v = k;
        curve[k] = static_cast<WORD>(v);
    }
}

HRESULT AutoLevelsAlgorithm::Apply(const void* params)
{
    if (EffectAlgorithm::Apply(params) != 0 || !params)
        return E_FAIL;
    linked = *static_cast<const INT*>(params);
    UINT w = 0, h = 0;
    source->GetSize(&w, &h);
    // The work copy is made first, so that a failure shows before any work.
    if (!source->GetBuffer(0, 0) || !work.Fit(static_cast<int>(w), static_cast<int>(h)))
        return E_FAIL;
    Progress(30);
    if (TestCancel())
        return E_FAIL;

    const std::uint64_t n = static_cast<std::uint64_t>(w) * h / 1000;
    std::vector<std::uint64_t> hist;
    std::vector<WORD> curve(curve16::kLevels);
    curve16::Tables tables = curve16::Tables::Identity();
    auto stretch = [&](curve16::Index index) {
        curve16::Histogram(*source, tables, index, hist);
        const int lo = curve16::LowPoint(hist, n);
        StretchCurve(lo, curve16::HighPoint(hist, n, lo), curve.data());
    };

    if (linked) {
        stretch(curve16::Index::Luma);
        Progress(50);
        tables.Map(curve.data(), true, true, true);
    } else {
        struct Step {
            curve16::Index index;
            int before;
        };
        static constexpr Step kSteps[3] = {
            {curve16::Index::Third, 40}, {curve16::Index::Second, 60}, {curve16::Index::First, 80}};
        for (const Step& s : kSteps) {
            Progress(s.before);
            if (TestCancel())
                return E_FAIL;
            stretch(s.index);
            tables.Map(curve.data(), s.index == curve16::Index::First, s.index == curve16::Index::Second,
                       s.index == curve16::Index::Third);
            Progress(s.before + 10);
        }
    }
    if (TestCancel())
        return E_FAIL;
    if (!work.ConvertThroughTables(source, tables.c, target))
        return E_FAIL;
    Progress(100);
    return 0;
}
