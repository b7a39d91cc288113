#include "algorithms/GradientFilterAlgorithm.h"

#include "algorithms/RowProgress.h"
#include "imagecore/ParallelFor.h"

#include <algorithm>
#include <cmath>
#include <cstring>

// The tables are filled from the start, so FilterPixel never reads an empty one.
GradientFilterAlgorithm::GradientFilterAlgorithm()
{
    const GradientFilterParams none = {};
    SetParams(&none);
}

GradientFilterAlgorithm::~GradientFilterAlgorithm() = default;

void GradientFilterAlgorithm::SetParams(const void* params)
{
    std::memcpy(&param, params, sizeof param);
    sinAngle = std::sin(param.angle);
    cosAngle = std::cos(param.angle);
    lnHalf = std::log(0.5);
    if (param.tintMode)
        FillTintTable();
    else
        FillGreyTable();
    // Interpolation step l gives (l end + (256 - l) start) >> 8 per byte.
    for (int l = 0; l <= 256; ++l) {
        CPixel colour = {};
        colour.b = static_cast<BYTE>((l * param.colorEnd.b + (256 - l) * param.colorStart.b) >> 8);
        colour.g = static_cast<BYTE>((l * param.colorEnd.g + (256 - l) * param.colorStart.g) >> 8);
        colour.r = static_cast<BYTE>((l * param.colorEnd.r + (256 - l) * param.colorStart.r) >> 8);
        shades[l] = ShadeOf(colour);
    }
    shades[kStartShade] = ShadeOf(param.colorStart);
    shades[kEndShade] = ShadeOf(param.colorEnd);
}

// Tint mode: t = (amount / 2 (byte - 128) + 12800) / 100 per channel, kept
// to 64 .. 192. Grey mode: one map for the colour's grey level.
GradientFilterAlgorithm::Shade GradientFilterAlgorithm::ShadeOf(CPixel colour) const
{
    if (!param.tintMode) {
        const BYTE* map = greyTable[(colour.b + 6 * colour.g + 3 * colour.r) / 10];
        return {{map, map, map}};
    }
    const long long halfAmount = param.amount / 2;
    auto tint = [&](BYTE g) {
        const long long t = (halfAmount * (g - 128) + 12800) / 100;
        return tintTable[std::clamp<long long>(t, kLowestTint, kHighestTint) - kLowestTint];
    };
    return {{tint(colour.b), tint(colour.g), tint(colour.r)}};
}

// byte -> trunc(255 (byte / 255)^(ln(t / 255) / ln 0.5)): t = 127.5 keeps the byte.
void GradientFilterAlgorithm::FillTintTable()
{
    for (int t = kLowestTint; t <= kHighestTint; ++t) {
        const double exponent = std::log(t / 255.0) / lnHalf;
        for (int v = 0; v < 256; ++v)
            tintTable[t - kLowestTint][v] = static_cast<BYTE>(255.0 * std::pow(v / 255.0, exponent));
    }
}

// For grey level m of the gradient colour: v = amount m / 256 - amount / 2 +
// offset; exponent 1 / p above 0, else p, with p = 1 + 0.03 |v|.
void GradientFilterAlgorithm::FillGreyTable()
{
    for (int m = 0; m < 256; ++m) {
        const long long share = static_cast<long long>(param.amount) * m / 256;
        const double v = static_cast<double>(share) - param.amount * 0.5 + param.offset;
        const double p = 1.0 + 0.03 * std::fabs(v);
        const double exponent = v > 0 ? 1.0 / p : p;
        for (int b = 0; b < 256; ++b)
            greyTable[m][b] = static_cast<BYTE>(256.0 * std::pow(b / 256.0, exponent));
    }
}

HRESULT GradientFilterAlgorithm::Apply(const void* params)
{
    if (EffectAlgorithm::Apply(params) != 0 || !params)
        return E_FAIL;
    SetParams(params);
    UINT uw = 0, uh = 0;
    source->GetSize(&uw, &uh);
    const int w = static_cast<int>(uw), h = static_cast<int>(uh);
    const int half = static_cast<int>(std::sqrt(static_cast<double>(w) * w + static_cast<double>(h) * h) / 2);
    if (half <= 15) {
        if (!target->DuplicateFrom(source))
            return E_FAIL;
        Progress(100);
        return 0;
    }
    // Filtering in place overwrites the photo that a cancel must restore.
    CQLImage original;
    const CQLImage* from = source;
    if (source == target) {
        if (!original.DuplicateFrom(source))
            return E_FAIL;
        from = &original;
    } else if (target->Create(uw, uh) != 0) {
        return E_FAIL;
    }

    RowProgress progress(*this, h, 0, 100);
    imagecore::ParallelFor(0, h, static_cast<std::size_t>(w) * 4, [&](int y0, int y1) {
        int sinceTick = 0;
        for (int y = y0; y < y1; ++y) {
            const CPixel* s = reinterpret_cast<const CPixel*>(from->GetBuffer(0, y));
            CPixel* d = reinterpret_cast<CPixel*>(target->GetBuffer(0, y));
            for (int x = 0; x < w; ++x)
                d[x] = FilterPixel(x - w / 2, y - h / 2, half, s[x]);
            if (++sinceTick == 32) {
                sinceTick = 0;
                if (!progress.Advance(32))
                    return;
            }
        }
        progress.Advance(sinceTick);
    });
    if (progress.Cancelled()) {
        target->DuplicateFrom(from);
        Progress(100);
        return E_FAIL;
    }
    Progress(100);
    return 0;
}
