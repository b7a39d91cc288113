#include "algorithms/WhiteBalanceAlgorithm.h"

#include "algorithms/PointKernels.h"
#include "algorithms/PointRows.h"
#include "imagecore/ParallelFor.h"
#include "platform/codec/ColorForms.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <mutex>

namespace {

struct Histograms {
    std::array<ULONGLONG, 256> count[3] = {}; // B, G, R
    ULONGLONG sum[3] = {};
};

// floor(n / s) for n <= 65280 and s <= 765 as (n ceil(2^32 / s)) >> 32,
// which is exact in that range.
struct Reciprocals {
    std::uint64_t of[766] = {};
    Reciprocals()
    {
        for (std::uint64_t d = 1; d < 766; ++d)
            of[d] = ((std::uint64_t{1} << 32) + d - 1) / d;
    }
};

// Neutrality of a stretched pixel, or -1 when it is too dark or too bright
// to tell: (|b - r| + |g - b| + |r - g|) / 2 of its chromaticities
// 256 v / (B + G + R), at most 255.
int NeutralityIndex(const BYTE* p, const Reciprocals& recip)
{
    const int s = p[0] + p[1] + p[2];
    if (s <= 150 || s >= 600)
        return -1;
    const std::uint64_t m = recip.of[s];
    const int b = static_cast<int>((256u * p[0] * m) >> 32);
    const int g = static_cast<int>((256u * p[1] * m) >> 32);
    const int r = static_cast<int>((256u * p[2] * m) >> 32);
    return std::min(255, (std::abs(b - r) + std::abs(g - b) + std::abs(r - g)) / 2);
}

} // namespace

void WhiteBalanceAlgorithm::ShiftCurve(int a, int b, BYTE curve[256])
{
    int k = 0;
    if (a > 0 && b > 0) {
        if (b < a) {
            k = a - b;
            if (b < 32)
                k = k * 32 / b;
            else if (a > 224)
                k = k * 32 / (256 - b);
        } else {
            k = b - a;
            if (a < 32)
                k = k * 32 / a;
            else if (b > 224)
                k = k * 32 / (256 - b);
        }
        k = std::clamp(k, 0, 190);
    }
    for (int i = 0; i < 256; ++i) {
        int v;
        if (b < a) {
            if (i < k + 32)
                v = 32 * i / (k + 32);
            else if (i >= 224)
                v = i - k + k * (i - 224) / 32;
            else
                v = i - k;
        } else {
            if (i < 32)
                v = i + k * i / 32;
            else if (i >= 224)
                v = i + k - k * (i - 224) / 32;
            else
                v = i + k;
        }
        curve[i] = static_cast<BYTE>(std::clamp(v, 0, 255));
    }
}

void WhiteBalanceAlgorithm::InvertCurve(const BYTE curve[256], BYTE inverse[256])
{
    int i = 0;
    for (int j = 0; j < 256; ++j) {
        while (i < 255 && curve[i] < j)
            ++i;
        inverse[j] = static_cast<BYTE>(i);
    }
}

void WhiteBalanceAlgorithm::SetToneRange(int start, int end, int first, int last)
{
    tonePass = 1;
    std::memset(&toneParams, 0, sizeof toneParams);
    toneParams.mode = ToneBlendAlgorithm::ByHue;
    toneParams.flag = 1;
    for (int i = 0; i < 256; ++i) {
        // A ramp of no width is a step.
        int w;
        if (i < start)
            w = 0;
        else if (i < end)
            w = (i - start) * 255 / (end - start);
        else if (i <= first)
            w = 255;
        else if (i < last)
            w = (last - i) * 255 / (last - first);
        else
            w = 0;
        toneParams.weights[i] = static_cast<BYTE>(std::clamp(w, 0, 255));
    }
}

// Stretches the source's levels into the target and takes the mean colour of
// its most neutral mid-tone pixels; false on a cancel.
bool WhiteBalanceAlgorithm::DetectReference()
{
    UINT w = 0, h = 0;
    source->GetSize(&w, &h);
    const int width = static_cast<int>(w), height = static_cast<int>(h);
    const ULONGLONG n = ULONGLONG{w} * h;

    Histograms all;
    std::mutex merge;
    const bool counted = ForEachRow(*this, width, height, 10, 20, [&](int y) {
        // One row's counts at a time keep the shared sums cheap to merge.
        thread_local Histograms rowCounts;
        rowCounts = Histograms{};
        const BYTE* p = source->GetBuffer(0, y);
        for (int x = 0; x < width; ++x, p += 4)
            for (int c = 0; c < 3; ++c) {
                ++rowCounts.count[c][p[c]];
                rowCounts.sum[c] += p[c];
            }
        const std::lock_guard<std::mutex> lock(merge);
        for (int c = 0; c < 3; ++c) {
            for (int v = 0; v < 256; ++v)
                all.count[c][v] += rowCounts.count[c][v];
            all.sum[c] += rowCounts.sum[c];
        }
    });
    if (!counted)
        return false;

    // Per channel: 255 at the level where the top 0.1 % begins.
    BYTE stretch[3][256];
    const ULONGLONG top = n / 1000;
    for (int c = 0; c < 3; ++c) {
        int level = 0;
        ULONGLONG sum = 0;
        for (int v = 255; v >= 0; --v) {
            sum += all.count[c][v];
            if (sum >= top) {
                level = v;
                break;
            }
        }
        level = std::max(level, 1); // a channel that is 0 everywhere
        for (int v = 0; v < 256; ++v)
            stretch[c][v] = static_cast<BYTE>(top == 0 ? v * 255 / 256 : std::min(255, v * 255 / level));
    }

    static const Reciprocals recip;
    std::array<ULONGLONG, 256> neutral = {};
    const bool stretched = ForEachRow(*this, width, height, 20, 30, [&](int y) {
        thread_local std::array<ULONGLONG, 256> rowCounts;
        rowCounts.fill(0);
        const BYTE* s = source->GetBuffer(0, y);
        BYTE* t = target->GetBuffer(0, y);
        for (int x = 0; x < width; ++x, s += 4, t += 4) {
            t[0] = stretch[0][s[0]];
            t[1] = stretch[1][s[1]];
            t[2] = stretch[2][s[2]];
            const int index = NeutralityIndex(t, recip);
            t[3] = static_cast<BYTE>(index < 0 ? 255 : index);
            if (index >= 0)
                ++rowCounts[index];
        }
        const std::lock_guard<std::mutex> lock(merge);
        for (int v = 0; v < 256; ++v)
            neutral[v] += rowCounts[v];
    });
    if (!stretched)
        return false;

    reference = CPixel{static_cast<BYTE>(all.sum[0] / n), static_cast<BYTE>(all.sum[1] / n),
                       static_cast<BYTE>(all.sum[2] / n), 0};
    ULONGLONG countedPixels = 0;
    for (ULONGLONG c : neutral)
        countedPixels += c;
    if (countedPixels <= 10)
        return true;

    // Green photos (foliage) take a smaller share of the most neutral pixels.
    const CPixel averageHsb = qlcodec::RgbToHsb(reference);
    const ULONGLONG share = countedPixels / (averageHsb.r >= 65 && averageHsb.r <= 113 ? 12 : 6);
    int limit = 256;
    ULONGLONG running = 0;
    for (int v = 0; v < 256; ++v) {
        running += neutral[v];
        if (running >= share) {
            limit = v + 1;
            break;
        }
    }

    ULONGLONG sum[3] = {}, picked = 0;
    const bool summed = ForEachRow(*this, width, height, 30, 40, [&](int y) {
        ULONGLONG rowSum[3] = {}, rowPicked = 0;
        const BYTE* t = target->GetBuffer(0, y);
        for (int x = 0; x < width; ++x, t += 4) {
            // Alpha holds the index; 255 is also the mark of a pixel left out.
            const int s = t[0] + t[1] + t[2];
            const bool counted = t[3] < 255 || (s > 150 && s < 600);
            if (counted && t[3] <= limit) {
                rowSum[0] += t[0], rowSum[1] += t[1], rowSum[2] += t[2];
                ++rowPicked;
            }
        }
        const std::lock_guard<std::mutex> lock(merge);
        for (int c = 0; c < 3; ++c)
            sum[c] += rowSum[c];
        picked += rowPicked;
    });
    if (!summed)
        return false;
    // An empty pick (a share of 0 reached before any bin fills) keeps the average.
    if (picked > 0)
        reference = CPixel{static_cast<BYTE>(sum[0] / picked), static_cast<BYTE>(sum[1] / picked),
                           static_cast<BYTE>(sum[2] / picked), 0};
    return true;
}

HRESULT WhiteBalanceAlgorithm::Apply(const void* params)
{
    if (EffectAlgorithm::Apply(params) != 0 || !params)
        return E_FAIL;
    if (tonePass && target == source)
        return E_FAIL; // the tone pass blends against the uncorrected source
    // The curves write every byte of the target, from the source or from the
    // detection's stretched copy.
    if (!SizeTargetLikeSource(source, target))
        return E_FAIL;
    Progress(10);
    std::memcpy(&param, params, sizeof param);

    reference = CPixel{static_cast<BYTE>(param & 0xFF), static_cast<BYTE>((param >> 8) & 0xFF),
                       static_cast<BYTE>((param >> 16) & 0xFF), 0};
    const CQLImage* from = source;
    if ((param & 0xFFFFFF) == 0) {
        const BYTE mode = static_cast<BYTE>(param >> 24);
        if (mode != Detect && mode != DetectSoften) {
            CopySourceToTarget();
            return 0;
        }
        from = target;
        if (!DetectReference())
            return E_FAIL;
        if (mode == DetectSoften) {
            const int g = reference.GetGray2();
            reference.r = static_cast<BYTE>(reference.r + (g - reference.r) / 2);
            reference.b = static_cast<BYTE>(reference.b + (g - reference.b) / 2);
        }
    }

    // Dark references are lifted; very bright ones scaled down by a third.
    int ref[3] = {reference.b, reference.g, reference.r};
    for (int& v : ref)
        if (v < 64)
            v += (64 - v) * 16 / 64;
    if (ref[0] > 238 || ref[1] > 238 || ref[2] > 238)
        for (int& v : ref)
            v = static_cast<int>(v * 0.6666666666666666);
    int grey = (6 * ref[1] + 3 * ref[2] + ref[0]) / 10;
    if (grey == 0)
        grey = 1;
    BYTE map[3][256];
    for (int c = 0; c < 3; ++c) {
        BYTE curve[256];
        ShiftCurve(grey, ref[c], curve);
        InvertCurve(curve, map[c]);
    }

    UINT w = 0, h = 0;
    source->GetSize(&w, &h);
    const int width = static_cast<int>(w);
    const pointkernels::ChannelTables tables(map[0], map[1], map[2]);
    const bool stream = pointkernels::Streams(target->GetAreaByteSize());
    const bool mapped = ForEachRow(*this, width, static_cast<int>(h), 40, tonePass ? 50 : 99, [&](int y) {
        pointkernels::MapChannels(from->GetBuffer(0, y), target->GetBuffer(0, y), std::size_t(width), tables, true,
                                  imagecore::ActiveSimdLevel(), stream);
    });
    if (!mapped)
        return E_FAIL;

    if (tonePass) {
        toneParams.reference = source;
        toneBlend.SetImages(target, &work);
        toneBlend.SetRange((rangeLow + rangeHigh) / 2, rangeHigh);
        toneBlend.SetCallback(callback);
        // A cancel meant for this run stops it after the blend.
        if (toneBlend.Apply(&toneParams) != 0 || TestCancel())
            return E_FAIL;
        std::memcpy(target->GetBuffer(0, 0), work.GetBuffer(0, 0), target->GetAreaByteSize());
    }
    Progress(100);
    return 0;
}

HRESULT AutoWhiteBalanceAlgorithm::Apply(const void* params)
{
    if (EffectAlgorithm::Apply(params) != 0)
        return E_FAIL;
    const int mode = params ? (*static_cast<const INT*>(params) & 0xFF) : 0;
    WhiteBalanceAlgorithm balance;
    balance.SetImages(source, target);
    balance.SetRange(rangeLow, rangeHigh);
    balance.SetCallback(callback);
    const DWORD param = static_cast<DWORD>(mode) << 24;
    const HRESULT hr = balance.Apply(&param);
    // The nested run does not see this object's cancel flag: a cancel that
    // arrived meanwhile fails the run here.
    if (hr == 0 && TestCancel())
        return E_FAIL;
    return hr;
}
