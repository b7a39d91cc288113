#include "editor/adjust/ToneFunctions.h"

#include "algorithms/PointKernels.h"
#include "algorithms/UnsharpMaskAlgorithm.h"
#include "imagecore/ParallelFor.h"
#include "platform/codec/ColorForms.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>

namespace tone {

namespace {

BYTE ClampLevel(double v)
{
    return static_cast<BYTE>(std::clamp(static_cast<int>(v), 0, 255));
}

// Rows of the image through fn(firstByte, pixelCount), on all cores.
template <class Fn>
void ForRows(const CQLImage& image, Fn&& fn)
{
    UINT w = 0, h = 0;
    image.GetSize(&w, &h);
    imagecore::ParallelFor(0, static_cast<int>(h), w, [&](int y0, int y1) {
        fn(image.GetBuffer(0, y0), static_cast<std::size_t>(w) * static_cast<std::size_t>(y1 - y0));
    });
}

}  // namespace

void BrightnessContrastTable(int brightness, int contrast, BYTE table[256])
{
    const double p = std::pow(2.0, -brightness / 32.0);
    for (int i = 0; i < 256; ++i) {
        const int v = ClampLevel(std::pow(i / 256.0, p) * 256.0);
        // 6.283 rather than 2 pi: the curve the dialog has always drawn.
        table[i] = ClampLevel((v / 256.0 - std::sin(v * 6.283 / 256.0) * contrast / 512.0) * 256.0);
    }
}

bool ApplyTable(const CQLImage& source, CQLImage* target, const BYTE table[256], EffectAlgorithm* host)
{
    UINT w = 0, h = 0;
    source.GetSize(&w, &h);
    if (source.GetAreaByteSize() == 0 || !target || target == &source || target->Create(w, h) != 0)
        return false;
    if (host)
        host->Progress(5);
    // The shared point kernel: tables in registers where the processor has
    // the byte permutes, and a target far larger than the cache written past it.
    const pointkernels::ChannelTables tables(table, table, table);
    const bool stream = pointkernels::Streams(source.GetAreaByteSize());
    imagecore::ParallelFor(0, static_cast<int>(h), w, [&](int y0, int y1) {
        const std::size_t count = static_cast<std::size_t>(w) * static_cast<std::size_t>(y1 - y0);
        pointkernels::MapChannels(source.GetBuffer(0, y0), target->GetBuffer(0, y0), count, tables, false,
                                  imagecore::ActiveSimdLevel(), stream);
    });
    if (host)
        host->Progress(100);
    return true;
}

int BrightnessContrastFunction(void* param, FilterHost* host)
{
    const auto* bc = static_cast<const BrightnessContrastParams*>(param);
    if (!bc || !host->GetSource() || !host->GetTarget())
        return E_FAIL;
    BYTE table[256];
    BrightnessContrastTable(bc->brightness, bc->contrast, table);
    return ApplyTable(*host->GetSource(), host->GetTarget(), table, host) ? 0 : E_FAIL;
}

int CopyFunction(void*, FilterHost* host)
{
    if (!host->CopySourceToTarget())
        return E_FAIL;
    host->Progress(100);
    return 0;
}

bool ColourSharpenYuv(const CQLImage& source, CQLImage* yuv, EffectAlgorithm* host)
{
    if (source.GetAreaByteSize() == 0 || !yuv->DuplicateFrom(&source))
        return false;
    ForRows(*yuv, [](BYTE* p, std::size_t count) { qlcodec::RgbToYuv(p, count); });
    host->Progress(20);
    CQLImage sharp;
    UnsharpMaskAlgorithm unsharp;
    unsharp.SetImages(yuv, &sharp);
    const UnsharpMaskParams params{16, 100, 0};
    if (unsharp.Apply(&params) != 0 || sharp.GetAreaByteSize() != yuv->GetAreaByteSize())
        return false;
    UINT w = 0, h = 0;
    yuv->GetSize(&w, &h);
    imagecore::ParallelFor(0, static_cast<int>(h), w, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            BYTE* p = yuv->GetBuffer(0, y);
            const BYTE* s = sharp.GetBuffer(0, y);
            for (UINT x = 0; x < w; ++x, p += 4, s += 4) {
                p[0] = s[0];
                p[1] = s[1];
            }
        }
    });
    host->Progress(80);
    return true;
}

int ColourSharpenFunction(void*, FilterHost* host)
{
    CQLImage* target = host->GetTarget();
    if (!host->GetSource() || !target || !ColourSharpenYuv(*host->GetSource(), target, host))
        return E_FAIL;
    ForRows(*target, [](BYTE* p, std::size_t count) { qlcodec::YuvToRgb(p, count); });
    host->Progress(100);
    return 0;
}

DWORD VariantReference(int variant, int step)
{
    // Steps of r, g, b: the colour a variant takes away is the one it adds.
    static constexpr int kSigns[kVariantCount][3] = {
        {-1, 1, 1}, {-1, -1, 1}, {1, -1, 1}, {1, -1, -1}, {1, 1, -1}, {-1, 1, -1},
    };
    const int* s = kSigns[std::clamp(variant, 0, kVariantCount - 1)];
    const auto level = [step](int sign) { return static_cast<DWORD>(std::clamp(128 + sign * step, 0, 255)); };
    return level(s[2]) | level(s[1]) << 8 | level(s[0]) << 16;
}

bool VariantHueRange(int part, int range[4])
{
    static constexpr int kRanges[6][4] = {
        {-55, -20, 20, 55}, {30, 65, 105, 140}, {115, 150, 190, 225}, {72, 107, 147, 182},
        {158, 193, 233, 268}, {-13, 22, 62, 97},
    };
    if (part < 1 || part > 6)
        return false;
    std::copy(kRanges[part - 1], kRanges[part - 1] + 4, range);
    return true;
}

void SetVariantHueRange(WhiteBalanceAlgorithm& balance, int part)
{
    int r[4];
    if (VariantHueRange(part, r))
        balance.SetToneRange(r[0], r[1], r[2], r[3]);
    else
        balance.ClearToneRange();
}

RECT MeterSquare(const CQLImage& image, POINT p)
{
    UINT w = 0, h = 0;
    image.GetSize(&w, &h);
    const int half = static_cast<int>(std::max(w, h)) / 10;
    const int left = std::max(0, static_cast<int>(p.x) - half);
    const int top = std::max(0, static_cast<int>(p.y) - half);
    return RECT{left, top, std::min(static_cast<int>(w), left + 2 * half), std::min(static_cast<int>(h), top + 2 * half)};
}

int MeanLuminance(const CQLImage& image, const RECT& square)
{
    long long sum = 0, count = 0;
    for (int y = square.top; y < square.bottom; ++y) {
        const BYTE* p = image.GetBuffer(square.left, y);
        for (int x = square.left; x < square.right; ++x, p += 4)
            sum += (6 * p[1] + 3 * p[2] + p[0]) / 10;
        count += square.right - square.left;
    }
    return count > 0 ? static_cast<int>(sum / count) : -1;
}

bool SpotMeteringTable(int mean, BYTE table[256], double* exponent)
{
    if (mean < 32 || mean > 224)
        return false;
    const int d = std::abs(mean - 128) / 3;
    const int target = mean >= 128 ? 128 + d : 128 - d;
    const double m = std::clamp(std::log(target / 256.0) / std::log(mean / 256.0), 0.4, 2.5);
    for (int i = 0; i < 256; ++i)
        table[i] = static_cast<BYTE>(std::min(255, static_cast<int>(std::pow(i / 256.0, m) * 256.0)));
    if (exponent)
        *exponent = m;
    return true;
}

}  // namespace tone
