#include "algorithms/FilmAspectAdjustAlgorithm.h"

#include "algorithms/DynamicRangeAlgorithm.h"
#include "algorithms/PointRows.h"
#include "algorithms/SmoothAlgorithm.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>
#include <vector>

namespace {

constexpr int Levels = 4096;

inline BYTE ClampLevel(int v)
{
    return static_cast<BYTE>(v < 0 ? 0 : (v > 255 ? 255 : v));
}

inline int Clamp12(int v)
{
    return v < 0 ? 0 : (v > 4095 ? 4095 : v);
}

// trunc(4096 (x + a sin(k 6.283 / 4096))) clamped: the tone and saturation
// S-curve.
int SCurve(int k, double a)
{
    const double x = k / 4096.0;
    // Clamped before the conversion: a from a theme file may be huge.
    return static_cast<int>(std::clamp(4096.0 * (x + a * std::sin(k * 6.283 / 4096.0)), 0.0, 4095.0));
}

} // namespace

void GrainRandom::Skip(int count)
{
    // Affine steps compose: n draws are one multiply and one add.
    std::uint32_t mul = 1, add = 0;
    for (int i = 0; i < count; ++i) {
        mul *= Multiplier;
        add = add * Multiplier + Increment;
    }
    state = state * mul + add;
}

FilmAspectAdjustAlgorithm::FilmAspectAdjustAlgorithm() = default;
FilmAspectAdjustAlgorithm::~FilmAspectAdjustAlgorithm() = default;

HRESULT FilmAspectAdjustAlgorithm::Apply(const void* params)
{
    if (EffectAlgorithm::Apply(params) != 0 || !params)
        return E_FAIL;
    std::memcpy(&param, params, sizeof param);
    if (!target->DuplicateFrom(source))
        return E_FAIL;

    BuildLevelTables();
    lumaChromaCurves.reset(new (std::nothrow) int[3 * Levels]);
    rgbCurves.reset(new (std::nothrow) int[3 * Levels]);
    if (!lumaChromaCurves || !rgbCurves)
        return E_FAIL;
    BuildCurves();

    if (param.latitude > 0) {
        DynamicRangeParams lift;
        lift.reserved = 128;
        lift.shadowAmount = static_cast<BYTE>(2u * static_cast<unsigned>(param.latitude));
        lift.highlightAmount = 128;
        lift.highlightOn = 0;
        lift.autoLevels = 0;
        DynamicRangeAlgorithm range;
        range.SetImages(source, target);
        if (range.Apply(&lift) != 0)
            return E_FAIL;
        Progress(8);
    }
    if (param.exposure > 0)
        GammaLift();
    Progress(10);
    if (!ColourPass())
        return E_FAIL;
    if (param.grain != 0 && !Grain())
        return E_FAIL;
    Progress(70);
    if (param.sharpness != 0 && !Sharpen())
        return E_FAIL;
    Progress(100);
    return 0;
}

void FilmAspectAdjustAlgorithm::BuildLevelTables()
{
    for (int v = 0; v < 256; ++v)
        toTwelveBit[v] = static_cast<int>(std::pow(v * 0.00392156862745098, 1.0) * 255 * 16);
    for (int v = 1; v < 256; ++v)
        for (int u = toTwelveBit[v - 1]; u < toTwelveBit[v]; ++u)
            toEightBit[u] = static_cast<BYTE>(v - 1);
    for (int u = toTwelveBit[255]; u < Levels; ++u)
        toEightBit[u] = 255;
}

void FilmAspectAdjustAlgorithm::BuildCurves()
{
    int* yc = lumaChromaCurves.get();
    int* rgb = rgbCurves.get();
    for (int k = 0; k < Levels; ++k)
        for (int c = 0; c < 3; ++c)
            yc[3 * k + c] = rgb[3 * k + c] = k;

    if (param.colorTemperature != 0) {
        const double m = std::fabs(static_cast<double>(param.colorTemperature));
        const double t = m * 0.00125;
        const double n = std::min(96.0, std::trunc(8.0 * t * t));
        const double s = n / 256.0;
        const double g1 = std::log(0.5 + s) / std::log(0.5);
        const double g2 = std::log(0.5 - s) / std::log(0.5);
        for (int k = 0; k < Levels; ++k) {
            const double x = k / 4096.0;
            const int u1 = std::min(4095, static_cast<int>(std::pow(x, g1) * 4096.0));
            const int u2 = std::min(4095, static_cast<int>(std::pow(x, g2) * 4096.0));
            rgb[3 * k] = param.colorTemperature > 0 ? u2 : u1;
            rgb[3 * k + 2] = param.colorTemperature > 0 ? u1 : u2;
        }
    }
    if (param.exposure < 0) {
        const double h = std::pow(2.0, 0.1 * param.exposure);
        int cut[Levels];
        for (int k = 0; k < Levels; ++k) {
            const double x = k / 4096.0;
            const double e = k < 2048 ? 1.0 : (4096 - k) / 2048.0;
            cut[k] = std::min(4095, static_cast<int>(4096.0 * ((1.0 - e) * x + e * x * h)));
        }
        for (int i = 0; i < 3 * Levels; ++i)
            rgb[i] = cut[rgb[i]];
    }
    if (param.latitude < 0) {
        const double a = param.latitude * 0.0035714285714285713;
        int tone[Levels];
        for (int k = 0; k < Levels; ++k)
            tone[k] = SCurve(k, a);
        for (int i = 0; i < 3 * Levels; ++i)
            rgb[i] = tone[rgb[i]];
    }
    if (param.saturation != 0) {
        int chroma[Levels];
        if (param.saturation > 0) {
            const double a = -param.saturation * 0.005;
            for (int k = 0; k < Levels; ++k)
                chroma[k] = SCurve(k, a);
        } else {
            // Not clamped to 12 bits (the conversion back clamps), but kept
            // where the conversion's sums cannot overflow.
            const long long f = static_cast<long long>(param.saturation) + 50;
            for (int k = 0; k < Levels; ++k)
                chroma[k] = static_cast<int>(std::clamp(2048 + f * (k - 2048) / 50, -(1LL << 20), 1LL << 20));
        }
        for (int k = 0; k < Levels; ++k) {
            yc[3 * k + 1] = chroma[yc[3 * k + 1]];
            yc[3 * k + 2] = chroma[yc[3 * k + 2]];
        }
    }
}

void FilmAspectAdjustAlgorithm::GammaLift()
{
    const double g = std::pow(2.0, -param.exposure * 0.07692307692307693);
    BYTE lift[256];
    for (int i = 0; i < 256; ++i)
        lift[i] = ClampLevel(static_cast<int>(std::pow(i / 256.0, g) * 256.0));
    UINT w = 0, h = 0;
    target->GetSize(&w, &h);
    const int width = static_cast<int>(w);
    imagecore::ParallelFor(0, static_cast<int>(h), w, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            BYTE* p = target->GetBuffer(0, y);
            for (int x = 0; x < width; ++x, p += 4) {
                p[0] = lift[p[0]];
                p[1] = lift[p[1]];
                p[2] = lift[p[2]];
            }
        }
    });
}

// Each pixel to 12-bit luma and colour differences, through their curves,
// back, through the red, green and blue curves, and down to 8 bits.
bool FilmAspectAdjustAlgorithm::ColourPass()
{
    UINT w = 0, h = 0;
    target->GetSize(&w, &h);
    const int width = static_cast<int>(w);
    const int* yc = lumaChromaCurves.get();
    const int* rgb = rgbCurves.get();
    return ForEachRow(*this, width, static_cast<int>(h), 10, 50, [&](int y) {
        BYTE* p = target->GetBuffer(0, y);
        for (int x = 0; x < width; ++x, p += 4) {
            const int b = toTwelveBit[p[0]], g = toTwelveBit[p[1]], r = toTwelveBit[p[2]];
            const int luma = (306 * r + 601 * g + 117 * b) >> 10;
            // 12-bit inputs keep both differences within -2048..2047.
            const int cb = (579 * (b - luma)) >> 10;
            const int cr = (730 * (r - luma)) >> 10;
            const int y2 = yc[3 * luma];
            const int cb2 = yc[3 * (cb + 2048) + 1] - 2048;
            const int cr2 = yc[3 * (cr + 2048) + 2] - 2048;
            const int r2 = Clamp12((1024 * y2 + 1436 * cr2) >> 10);
            const int g2 = Clamp12((1024 * y2 - 352 * cb2 - 731 * cr2) >> 10);
            const int b2 = Clamp12((1024 * y2 + 1814 * cb2) >> 10);
            p[2] = toEightBit[rgb[3 * r2]];
            p[1] = toEightBit[rgb[3 * g2 + 1]];
            p[0] = toEightBit[rgb[3 * b2 + 2]];
        }
    });
}

void FilmAspectAdjustAlgorithm::GrainNoise(BYTE* noise, long long count, int grain)
{
    const long long range = std::llabs(8LL * grain);
    const long long blocks = (count + 999) / 1000;
    // Block k's first draw follows block k - 1's reseeding and its 1999
    // draws, so every chunk of blocks can start on its own.
    imagecore::ParallelFor(0, static_cast<int>(blocks), 1000, [&](int b0, int b1) {
        GrainRandom random;
        for (long long k = b0; k < b1; ++k) {
            if (k == b0 && k > 0) {
                random.Seed(static_cast<std::uint32_t>(k - 1));
                random.Skip(1999);
            }
            const long long end = std::min(count, (k + 1) * 1000);
            for (long long i = k * 1000; i < end; ++i) {
                const int m = static_cast<int>(random.Next() % range);
                const int a = static_cast<int>(std::sqrt(static_cast<double>(m)));
                if (i % 1000 == 0)
                    random.Seed(static_cast<std::uint32_t>(i / 1000));
                const int t = random.Next();
                noise[i] = ClampLevel((t & 1) ? 128 - a : 128 + a);
            }
        }
    });
}

bool FilmAspectAdjustAlgorithm::Grain()
{
    UINT w = 0, h = 0;
    target->GetSize(&w, &h);
    const int width = static_cast<int>(w), height = static_cast<int>(h);
    std::vector<BYTE> noise;
    try {
        noise.resize(static_cast<std::size_t>(width) * height);
    } catch (const std::bad_alloc&) {
        return false;
    }
    GrainNoise(noise.data(), static_cast<long long>(noise.size()), param.grain);
    Progress(60);
    if (width < 3 || height < 3)
        return true;
    // Inner pixels only; each reads its own pixel and the noise.
    return ForEachRow(*this, width, height - 2, 60, 70, [&](int row) {
        const int y = row + 1;
        const BYTE* up = noise.data() + static_cast<std::size_t>(y - 1) * width;
        const BYTE* mid = up + width;
        const BYTE* down = mid + width;
        BYTE* p = target->GetBuffer(1, y);
        for (int x = 1; x < width - 1; ++x, p += 4) {
            const int sum = up[x - 1] + up[x] + up[x + 1] + mid[x - 1] + mid[x + 1] + down[x - 1] + down[x] + down[x + 1];
            const int n = (12 * mid[x] + sum) / 20;
            const int luma = (3 * p[2] + 6 * p[1] + p[0]) / 10;
            const int d = (n - 128) * (255 - luma / 2) / 255;
            p[0] = ClampLevel(p[0] + d);
            p[1] = ClampLevel(p[1] + d);
            p[2] = ClampLevel(p[2] + d);
        }
    });
}

bool FilmAspectAdjustAlgorithm::Sharpen()
{
    CQLImage smoothed;
    SmoothAlgorithm smooth;
    smooth.SetImages(target, &smoothed);
    const SmoothParams radius{1};
    if (smooth.Apply(&radius) != 0)
        return false;
    Progress(90);
    UINT w = 0, h = 0;
    target->GetSize(&w, &h);
    const int width = static_cast<int>(w);
    const long long amount = param.sharpness;
    return ForEachRow(*this, width, static_cast<int>(h), 90, 100, [&](int y) {
        BYTE* p = target->GetBuffer(0, y);
        const BYTE* s = smoothed.GetBuffer(0, y);
        for (int x = 0; x < width; ++x, p += 4, s += 4)
            for (int c = 0; c < 3; ++c)
                p[c] = static_cast<BYTE>(std::clamp<long long>(p[c] + (p[c] - s[c]) * amount / 30, 0, 255));
    });
}
