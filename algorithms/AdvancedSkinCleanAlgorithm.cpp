#include "algorithms/AdvancedSkinCleanAlgorithm.h"

#include "algorithms/MaskedGaussianBlurAlgorithm.h"
#include "algorithms/NoiseReductionAlgorithm.h"
#include "algorithms/SkinMaskAlgorithm.h"
#include "algorithms/SmoothAlgorithm.h"
#include "imagecore/ParallelFor.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

namespace {

BYTE Clamp(int v)
{
    return static_cast<BYTE>(v < 0 ? 0 : (v > 255 ? 255 : v));
}

struct Size {
    int width = 0;
    int height = 0;
};

Size SizeOf(const CQLImage* image)
{
    UINT w = 0, h = 0;
    image->GetSize(&w, &h);
    return {static_cast<int>(w), static_cast<int>(h)};
}

} // namespace

void AdvancedSkinCleanAlgorithm::PowerTable(int amount, BYTE table[256])
{
    const double q = 0.02 * amount;
    const double exponent = amount <= 0 ? 1.0 - q : 1.0 / (1.0 + q);
    for (int i = 0; i < 256; ++i)
        table[i] = static_cast<BYTE>(std::min(255.0, std::trunc(std::pow(i / 256.0, exponent) * 256.0)));
}

HRESULT AdvancedSkinCleanAlgorithm::Apply(const void* params)
{
    if (EffectAlgorithm::Apply(params) != 0 || !params || source == target)
        return E_FAIL;
    std::memcpy(&param, params, sizeof param);
    if (!CopySourceToTarget())
        return E_FAIL;

    if (!param.maskReady) {
        SkinMaskAlgorithm mask;
        mask.SetImages(source, target);
        mask.SetCallback(callback);
        mask.SetRange(rangeLow, RangeAt(10));
        if (mask.Apply(nullptr) != 0)
            return E_FAIL;
    }
    const Size size = SizeOf(source);
    {
        SmoothAlgorithm soften;
        soften.SetAlphaOnly(1);
        soften.SetImages(source, target);
        const SmoothParams radius{std::max(8, size.width / 80)};
        if (soften.Apply(&radius) != 0)
            return E_FAIL;
    }
    Progress(10);

    // Brightness, whitening and tint are per pixel and in this order; the
    // mask m is the target's alpha throughout.
    BYTE bright[256], white[256], low[256], up[256];
    PowerTable(param.brightness - 50, bright);
    PowerTable(param.whitening / 4, white);
    const long long s = param.tint / 4;
    for (int i = 0; i < 256; ++i) {
        low[i] = Clamp(static_cast<int>(std::clamp(i - s * (255 - i) / 255, -1LL, 256LL)));
        up[i] = Clamp(static_cast<int>(std::clamp(i + s * i / 255, -1LL, 256LL)));
    }
    // The three steps by mask and value, once per run: byte 0 and bytes 1, 2.
    std::vector<BYTE> tone;
    try {
        tone.resize(2 * 256 * 256);
    } catch (const std::bad_alloc&) {
        return E_FAIL;
    }
    for (int m = 0; m < 256; ++m)
        for (int i = 0; i < 256; ++i) {
            const int v = (bright[i] * (255 - m) + white[bright[i]] * m) / 255;
            tone[(m << 8) | i] = static_cast<BYTE>((m * up[v] + (255 - m) * v) / 255);
            tone[65536 | (m << 8) | i] = static_cast<BYTE>((m * low[v] + (255 - m) * v) / 255);
        }
    imagecore::ParallelFor(0, size.height, static_cast<std::size_t>(size.width), [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            BYTE* p = target->GetBuffer(0, y);
            for (int x = 0; x < size.width; ++x, p += 4) {
                const BYTE* byMask = &tone[static_cast<std::size_t>(p[3]) << 8];
                p[0] = byMask[p[0]];
                p[1] = byMask[65536 + p[1]];
                p[2] = byMask[65536 + p[2]];
            }
        }
    });
    Progress(15);
    Progress(20);
    Progress(30);
    if (TestCancel())
        return E_FAIL;

    if (Smooth() != 0 || TestCancel())
        return E_FAIL;
    Progress(90);
    if (param.grain && AddGrain() != 0)
        return E_FAIL;
    if (TestCancel())
        return E_FAIL;
    if (LocalContrast() != 0)
        return E_FAIL;
    Progress(100);
    return 0;
}

HRESULT AdvancedSkinCleanAlgorithm::Smooth()
{
    const Size size = SizeOf(target);
    CQLImage smoothed;
    const int lo = RangeAt(30), hi = RangeAt(80);
    if (param.useMaskedBlur) {
        for (int y = 0; y < size.height; ++y) {
            const BYTE* s = source->GetBuffer(0, y);
            BYTE* t = target->GetBuffer(0, y);
            for (int x = 0; x < size.width; ++x)
                t[x * 4 + 3] = s[x * 4 + 3];
        }
        MaskedGaussianBlurAlgorithm blur;
        blur.SetImages(target, &smoothed);
        blur.SetCallback(callback);
        blur.SetRange(lo, hi);
        const MaskedBlurParams radius{param.blurRadius};
        if (blur.Apply(&radius) != 0)
            return E_FAIL;
    } else {
        NoiseReductionAlgorithm denoise;
        denoise.SetImages(target, &smoothed);
        denoise.SetCallback(callback);
        denoise.SetRange(lo, hi);
        const NoiseReductionParams strength{9, 0};
        if (denoise.Apply(&strength) != 0)
            return E_FAIL;
    }
    const Size got = SizeOf(&smoothed);
    if (got.width != size.width || got.height != size.height)
        return E_FAIL;
    // The weight by source alpha, clamped so that any percent blends
    // instead of wrapping.
    int weightOf[256];
    for (int alpha = 0; alpha < 256; ++alpha) {
        const double weight = std::trunc(static_cast<double>(static_cast<long long>(alpha) * param.smoothPercent) * 0.009);
        weightOf[alpha] = static_cast<int>(std::clamp(weight, 0.0, 255.0));
    }
    imagecore::ParallelFor(0, size.height, static_cast<std::size_t>(size.width), [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            const BYTE* s = source->GetBuffer(0, y);
            const BYTE* m = smoothed.GetBuffer(0, y);
            BYTE* t = target->GetBuffer(0, y);
            for (int x = 0; x < size.width * 4; x += 4) {
                const int a = weightOf[s[x + 3]];
                for (int c = 0; c < 3; ++c)
                    t[x + c] = static_cast<BYTE>((a * m[x + c] + (255 - a) * t[x + c]) / 255);
            }
        }
    });
    return 0;
}

HRESULT AdvancedSkinCleanAlgorithm::AddGrain()
{
    const Size size = SizeOf(target);
    const int pw = size.width / 2, ph = size.height / 2;
    std::vector<BYTE> plane;
    try {
        plane.resize(static_cast<std::size_t>(pw) * ph);
    } catch (const std::bad_alloc&) {
        return E_FAIL;
    }
    // The runtime's reentrant generator with a fixed seed: the same grain on
    // every run and no shared state with other threads.
    unsigned seed = kGrainSeed;
    for (BYTE& b : plane) {
        const int c = rand_r(&seed) % 30;
        int d = (c - 15) * (c - 15) / 16;
        if (c < 16)
            d = -d;
        b = static_cast<BYTE>(std::min(255, d + 128));
    }
    // In place, top-left first: every value reads neighbours not yet changed.
    for (int y = 0; y <= ph - 2; ++y)
        for (int x = 0; x <= pw - 2; ++x) {
            BYTE* p = &plane[static_cast<std::size_t>(y) * pw + x];
            *p = static_cast<BYTE>((p[1] + p[pw + 1] + 4 * p[0] + p[pw]) / 8);
        }
    // Rows and columns 2 .. size - 3; for them the tile sides are at least 1.
    imagecore::ParallelFor(2, size.height - 2, static_cast<std::size_t>(size.width), [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            const BYTE* row = &plane[static_cast<std::size_t>(y % (ph - 1)) * pw];
            BYTE* p = target->GetBuffer(0, y);
            for (int x = 2; x < size.width - 2; ++x) {
                BYTE* q = p + x * 4;
                const int m = q[3];
                if (m == 0)
                    continue;
                const int g = row[x % (pw - 1)];
                int f = g - 128;
                if (g < 128)
                    f /= 2;
                for (int c = 0; c < 3; ++c)
                    q[c] = static_cast<BYTE>((Clamp(q[c] + f) * m + q[c] * (255 - m)) / 255);
            }
        }
    });
    return 0;
}

HRESULT AdvancedSkinCleanAlgorithm::LocalContrast()
{
    CQLImage copy;
    if (!copy.DuplicateFrom(target))
        return E_FAIL;
    const Size size = SizeOf(target);
    imagecore::ParallelFor(1, size.height - 1, static_cast<std::size_t>(size.width), [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            const BYTE* above = copy.GetBuffer(0, y - 1);
            const BYTE* row = copy.GetBuffer(0, y);
            const BYTE* below = copy.GetBuffer(0, y + 1);
            BYTE* t = target->GetBuffer(0, y);
            for (int x = 1; x < size.width - 1; ++x) {
                const int i = x * 4;
                const int m = t[i + 3];
                for (int c = 0; c < 3; ++c) {
                    const int v = row[i + c];
                    const int a = (v + row[i - 4 + c] + row[i + 4 + c] + above[i + c] + below[i + c]) / 5;
                    const int sharp = Clamp(v - (a - v) / 2);
                    t[i + c] = static_cast<BYTE>((v * (255 - m) + sharp * m) / 255);
                }
            }
        }
    });
    return 0;
}
