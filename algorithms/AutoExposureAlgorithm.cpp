#include "algorithms/AutoExposureAlgorithm.h"

#include "imagecore/ParallelFor.h"
#include "platform/codec/ColorForms.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

AutoExposureAlgorithm::~AutoExposureAlgorithm() = default;

AutoExposureAlgorithm::PhotoClass AutoExposureAlgorithm::Classify(const std::vector<std::uint64_t>& hist)
{
    std::uint64_t dark = 0, bright = 0, total = 0;
    for (int k = 0; k < curve16::kLevels; ++k) {
        const std::uint64_t c = hist[static_cast<std::size_t>(k)];
        total += c;
        if (k <= 16383)
            dark += c;
        else if (k >= 49152)
            bright += c;
    }
    const std::uint64_t middle = total - dark - bright;
    // Exact forms of D > 0.6 T, B > 0.6 T, M < 0.4 T.
    if (10 * dark > 6 * total)
        return Dark;
    if (10 * bright > 6 * total)
        return Bright;
    if (10 * middle < 4 * total)
        return Flat;
    return Balanced;
}

void AutoExposureAlgorithm::EqualisationCurve(const std::vector<std::uint64_t>& hist, WORD* curve)
{
    constexpr int n = curve16::kLevels;
    // Window sums of [max(0, k - 128), min(k + 128, 65535)) by a running sum.
    std::vector<double> smooth(n);
    smooth[0] = static_cast<double>(hist[0]);
    smooth[n - 1] = static_cast<double>(hist[n - 1]);
    std::uint64_t window = 0;
    int from = 0, to = 0; // the window is [from, to)
    double peak = 0;
    for (int k = 1; k < n - 1; ++k) {
        const int lo = std::max(0, k - 128);
        const int hi = std::min(k + 128, n - 1);
        for (; to < hi; ++to)
            window += hist[static_cast<std::size_t>(to)];
        for (; from < lo; ++from)
            window -= hist[static_cast<std::size_t>(from)];
        const double sum = static_cast<double>(window);
        peak = std::max(peak, sum);
        smooth[static_cast<std::size_t>(k)] = sum / (hi - lo);
    }
    double total = 0;
    for (double v : smooth)
        total += v;

    const double f = (peak - total / 64) / 1023;
    const double e = total / 65535;
    double floor, divisor;
    if (f >= e) {
        floor = f;
        divisor = (f + peak) / 1024;
    } else {
        floor = e;
        divisor = 2 * total / 65535;
    }
    double run = 0;
    for (int k = 0; k < n; ++k) {
        const double v = divisor > 0 ? std::trunc(run / divisor) : 0;
        curve[k] = static_cast<WORD>(std::min(v, 65535.0));
        run += floor + smooth[static_cast<std::size_t>(k)];
    }
}

void AutoExposureAlgorithm::CountCentreAgain(const CQLImage& photo, const curve16::Tables& tables, bool luma,
                                             std::vector<std::uint64_t>& hist)
{
    UINT uw = 0, uh = 0;
    photo.GetSize(&uw, &uh);
    const int w = static_cast<int>(uw), h = static_cast<int>(uh);
    const int cx = w / 2, cy = h / 2;
    // Outside the cross: |y - cy| > h / 8 and |x - cx| > w / 8.
    const curve16::Region centre{h / 4, h - h / 4, cy - h / 8, cy + h / 8 + 1,
                                 w / 4, w - w / 4, cx - w / 8, cx + w / 8 + 1};
    curve16::Count(photo, tables, luma ? curve16::Index::Third : curve16::Index::Luma, centre, hist);
}

HRESULT AutoExposureAlgorithm::Apply(const void* params)
{
    if (EffectAlgorithm::Apply(params) != 0 || !params)
        return E_FAIL;
    lumaOnly = *static_cast<const INT*>(params);
    const CQLImage* photo = source;
    if (lumaOnly) {
        if (!yuv.DuplicateFrom(source))
            return E_FAIL;
        UINT w = 0, h = 0;
        yuv.GetSize(&w, &h);
        imagecore::ParallelFor(0, static_cast<int>(h), w, [&](int y0, int y1) {
            for (int y = y0; y < y1; ++y)
                qlcodec::RgbToYuv(yuv.GetBuffer(0, y), w);
        });
        photo = &yuv;
    }
    UINT w = 0, h = 0;
    photo->GetSize(&w, &h);
    // The work copy is made first, so that a failure shows before any work.
    if (!photo->GetBuffer(0, 0) || !work.Fit(static_cast<int>(w), static_cast<int>(h)))
        return E_FAIL;
    Progress(30);
    if (TestCancel())
        return E_FAIL;

    const curve16::Index index = lumaOnly ? curve16::Index::Third : curve16::Index::Luma;
    const bool all = !lumaOnly;
    std::vector<std::uint64_t> hist;
    std::vector<WORD> curve(curve16::kLevels);
    curve16::Tables tables = curve16::Tables::Identity();

    // Range stretch between the 1 % points.
    curve16::Histogram(*photo, tables, index, hist);
    const std::uint64_t n = static_cast<std::uint64_t>(w) * h / 100;
    const int lo = curve16::LowPoint(hist, n);
    const int hi = curve16::HighPoint(hist, n, 0);
    for (int k = 0; k < curve16::kLevels; ++k) {
        if (lo >= hi)
            curve[k] = static_cast<WORD>(k);
        else if (k < lo)
            curve[k] = 0;
        else if (k > hi)
            curve[k] = 65535;
        else
            curve[k] = static_cast<WORD>(static_cast<std::int64_t>(k - lo) * 65535 / (hi - lo));
    }
    tables.Map(curve.data(), all, all, true);
    Progress(40);
    if (TestCancel())
        return E_FAIL;

    curve16::Histogram(*photo, tables, index, hist);
    photoClass = Classify(hist);
    switch (photoClass) {
    case Dark:
    case Bright: {
        const double power = photoClass == Dark ? 1.3 : 0.75;
        for (int k = 0; k < curve16::kLevels; ++k)
            curve[k] = static_cast<WORD>(std::trunc(65536.0 * std::pow(k / 65536.0, power)));
        break;
    }
    case Flat:
        for (int k = 0; k < curve16::kLevels; ++k)
            curve[k] = static_cast<WORD>(k);
        break;
    default:
        CountCentreAgain(*photo, tables, lumaOnly != 0, hist);
        EqualisationCurve(hist, curve.data());
    }
    if (photoClass != Flat)
        tables.Map(curve.data(), all, all, true);
    Progress(90);
    if (TestCancel())
        return E_FAIL;

    if (!work.ConvertThroughTables(photo, tables.c, target))
        return E_FAIL;
    if (lumaOnly) {
        target->GetSize(&w, &h);
        imagecore::ParallelFor(0, static_cast<int>(h), w, [&](int y0, int y1) {
            for (int y = y0; y < y1; ++y)
                qlcodec::YuvToRgb(target->GetBuffer(0, y), w);
        });
    }
    Progress(100);
    return 0;
}
