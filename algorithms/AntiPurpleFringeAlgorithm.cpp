#include "algorithms/AntiPurpleFringeAlgorithm.h"

#include "algorithms/ResampleRows.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

AntiPurpleFringeAlgorithm::~AntiPurpleFringeAlgorithm() = default;

int AntiPurpleFringeAlgorithm::GetDefaultRange() const
{
    UINT w = 0, h = 0;
    if (source)
        source->GetSize(&w, &h);
    const double diagonal = std::sqrt(static_cast<double>(w) * w + static_cast<double>(h) * h);
    return static_cast<int>(std::clamp(diagonal * 0.015625, 1.0, 128.0));
}

int AntiPurpleFringeAlgorithm::HueOf(int r, int g, int b)
{
    const int mx = std::max({r, g, b}), mn = std::min({r, g, b});
    const int f = mx - mn;
    if (f == 0)
        return 0;
    const int dr = ((mx - r) * 255 / 3 + f) / (2 * f);
    const int dg = ((mx - g) * 255 / 3 + f) / (2 * f);
    const int db = ((mx - b) * 255 / 3 + f) / (2 * f);
    int hue;
    if (r == mx)
        hue = db - dg;
    else if (g == mx)
        hue = 85 + dr - db;
    else
        hue = 170 + dg - dr;
    return hue & 255;
}

HRESULT AntiPurpleFringeAlgorithm::Apply(const void* params)
{
    if (EffectAlgorithm::Apply(params) != 0 || !params)
        return E_FAIL;
    // The mask is smoothed into the target, so a caller that hands one image
    // for both keeps its colours through a private copy.
    CQLImage own;
    CQLImage* marked = source;
    if (source == target) {
        if (!own.DuplicateFrom(source))
            return E_FAIL;
        marked = &own;
    }
    if (!CopySourceToTarget())
        return E_FAIL;
    std::memcpy(&param, params, sizeof param);
    if (BuildMask(*marked) != 0)
        return E_FAIL;

    UINT w = 0, h = 0;
    target->GetSize(&w, &h);
    const bool finished = resample::ParallelRows(*this, static_cast<int>(h), std::size_t{w} * 4,
                                                 std::max(1, 1000 / static_cast<int>(w)), 20, 100,
                                                 [&](int y) { CorrectRow(*marked, y); });
    if (!finished)
        return E_FAIL;
    Progress(100);
    return 0;
}

HRESULT AntiPurpleFringeAlgorithm::BuildMask(CQLImage& marked)
{
    UINT w = 0, h = 0;
    marked.GetSize(&w, &h);
    const std::size_t pixels = std::size_t{w} * h;
    BYTE* s = marked.GetBuffer(0, 0);
    for (std::size_t i = 0; i < pixels; ++i, s += 4)
        s[3] = (6 * s[1] + 3 * s[2] + s[0]) / 10 >= 237 ? 255 : 0;

    // Only alpha is read from both smoothings (the colours of the target are
    // all rewritten by the correction), so only alpha is smoothed.
    auto smoothAlpha = [&](CQLImage* from, CQLImage* to, int radius, int lo, int hi) {
        smooth.SetImages(from, to);
        smooth.SetAlphaOnly(1);
        smooth.SetRange(RangeAt(lo), RangeAt(hi));
        smooth.SetCallback(callback);
        const SmoothParams sp = {radius};
        // A cancel meant for this effect reaches it through the shared callback.
        return smooth.Apply(&sp) == 0 && !TestCancel();
    };
    if (!smoothAlpha(&marked, &local, param.range / 3, 0, 10))
        return E_FAIL;
    BYTE* l = local.GetBuffer(0, 0);
    for (std::size_t i = 0; i < pixels; ++i, l += 4) {
        const DWORD v = l[3] > 16 ? 0xFFFFFFFFu : 0u;
        std::memcpy(l, &v, 4);
    }
    if (!smoothAlpha(&local, target, static_cast<int>(param.range * 0.6), 10, 20))
        return E_FAIL;
    BYTE* t = target->GetBuffer(0, 0);
    for (std::size_t i = 0; i < pixels; ++i, t += 4)
        t[3] = t[3] >= 128 ? 255 : static_cast<BYTE>(2 * t[3]);
    return 0;
}

void AntiPurpleFringeAlgorithm::CorrectRow(const CQLImage& from, int y) const
{
    UINT w = 0, h = 0;
    from.GetSize(&w, &h);
    const BYTE* s = from.GetBuffer(0, y);
    BYTE* t = target->GetBuffer(0, y);
    const int chosen = param.hue & 255; // a place on the hue circle
    for (UINT x = 0; x < w; ++x, s += 4, t += 4) {
        const int m = t[3];
        int u = 0;
        if (m > 0) {
            const int diff = std::abs(HueOf(s[2], s[1], s[0]) - chosen);
            const int dist = std::min(diff, 256 - diff);
            const int weight = dist <= 16 ? 255 : (dist <= 32 ? (32 - dist) * 16 : 0);
            u = weight * m / 256;
        }
        if (u == 0) {
            std::memcpy(t, s, 4);
            continue;
        }
        const int grey = (6 * s[1] + 3 * s[2] + s[0]) / 10;
        for (int c = 0; c < 3; ++c)
            t[c] = static_cast<BYTE>((u * grey + (255 - u) * s[c]) >> 8);
        t[3] = static_cast<BYTE>(m);
    }
}
