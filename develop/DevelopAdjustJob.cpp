#include "develop/DevelopAdjustJob.h"

#include "imagecore/ParallelFor.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <new>

namespace develop {

namespace {

constexpr int kKnee = 58000;
constexpr int kKneeSpan = kTableSize - kKnee; // 7536
constexpr int kPivot = 12450;
constexpr int kUpperSpan = 65535 - kPivot; // 53085

inline unsigned Luminance(const C16BitPixel& p) { return (p.b + 6u * p.g + 3u * p.r) / 10u; }

inline WORD Clamp16(int v) { return static_cast<WORD>(std::clamp(v, 0, 65535)); }

// trunc(sqrt(L)) for every luminance.
const BYTE* SqrtTable()
{
    static const std::array<BYTE, kTableSize> table = [] {
        std::array<BYTE, kTableSize> t{};
        for (int i = 0; i < kTableSize; ++i)
            t[i] = static_cast<BYTE>(std::sqrt(static_cast<double>(i)));
        return t;
    }();
    return table.data();
}

// Grain amplitude trunc(256 - 0.5 sqrt(L)) for every luminance.
const short* GrainAmplitudeTable()
{
    static const std::array<short, kTableSize> table = [] {
        std::array<short, kTableSize> t{};
        for (int i = 0; i < kTableSize; ++i)
            t[i] = static_cast<short>(256.0 - 0.5 * std::sqrt(static_cast<double>(i)));
        return t;
    }();
    return table.data();
}

// Runs work(begin, end) over [0, count) band by band; before each band,
// point(i) for every multiple i of step inside it. false when a point said stop.
template <class Work, class Point>
bool InBands(int count, int step, int stepsPerBand, Work&& work, Point&& point)
{
    const int band = step * stepsPerBand;
    for (int begin = 0; begin < count; begin += band) {
        const int end = std::min(count, begin + band);
        for (int i = begin; i < end; i += step)
            if (!point(i))
                return false;
        work(begin, end);
    }
    return true;
}

void ComposeInto(WORD* table, const WORD* outer)
{
    for (int i = 0; i < kTableSize; ++i)
        table[i] = outer[table[i]];
}

// The 5 x 5 blur of one channel: weights 4 (centre and direct neighbours),
// 2 (diagonals) and 1 (two steps away), 32 in all.
inline int Blur5(const WORD* const rows[5], std::size_t w)
{
    const WORD* r0 = rows[0];
    const WORD* r1 = rows[1];
    const WORD* r2 = rows[2];
    const WORD* r3 = rows[3];
    const WORD* r4 = rows[4];
    const int sum = 4 * (r2[w] + r2[w - 3] + r2[w + 3] + r1[w] + r3[w]) +
                    2 * (r1[w - 3] + r1[w + 3] + r3[w - 3] + r3[w + 3]) + r2[w - 6] + r2[w + 6] + r0[w] + r4[w];
    return sum >> 5;
}

} // namespace

void BuildGainTable(double gain, WORD* table)
{
    const double g = std::max(gain, 0.0);
    if (g > 1.0) {
        const int n = static_cast<int>(kKnee / g);
        for (int i = 0; i < n; ++i)
            table[i] = static_cast<WORD>(i * g);
        for (int i = n; i < kTableSize; ++i)
            table[i] = static_cast<WORD>(kKnee + static_cast<long long>(i - n) * kKneeSpan / (kTableSize - n));
        return;
    }
    const int m = static_cast<int>(kKnee * g);
    for (int i = 0; i < kKnee; ++i)
        table[i] = static_cast<WORD>(i * g);
    for (int j = 0; j < kKneeSpan; ++j)
        table[kKnee + j] = static_cast<WORD>(m + static_cast<long long>(j) * (kTableSize - m) / kKneeSpan);
}

void BuildContrastTable(int dynamic, WORD* table)
{
    const double p = 1.0 - 0.01 * dynamic;
    const double lower = 1.0 / kPivot, upper = 1.0 / kUpperSpan;
    for (int i = 0; i < kPivot; ++i)
        table[i] = static_cast<WORD>(std::pow(i * lower, p) * kPivot);
    for (int k = kPivot; k < kTableSize; ++k) {
        const int n = 65535 - k;
        table[k] = static_cast<WORD>(65535.0 - std::pow(n * upper, p) * kUpperSpan);
    }
    table[kPivot] = kPivot;
}

bool DevelopAdjustJob::AllocateTables()
{
    for (auto& lut : m_lut)
        if (!lut) {
            lut.reset(new (std::nothrow) WORD[kTableSize]);
            if (!lut)
                return false;
        }
    return true;
}

bool DevelopAdjustJob::Checkpoint(int percent)
{
    ReportProgress(percent);
    return !TakeStopRequest();
}

HRESULT DevelopAdjustJob::Run(const void* params)
{
    ClearStopRequest();
    if (!params || !m_target || !CopySourceToTarget())
        return E_FAIL;
    m_params = *static_cast<const AdjustParams*>(params);
    if (!AllocateTables())
        return E_FAIL;
    if (TakeStopRequest())
        return 0;
    if (m_params.dynamic > 0 && !ShadowsAndHighlights())
        return 0;
    if (!Checkpoint(40))
        return 0;
    ApplyToneTables();
    if (!Checkpoint(50))
        return 0;
    if (m_params.saturation != 100)
        Saturate();
    if (!Checkpoint(60))
        return 0;
    bool failed = false;
    if (m_params.sharpen != 0 && !Sharpen(failed))
        return failed ? E_FAIL : 0;
    if (!Checkpoint(80))
        return 0;
    if (m_params.grain > 0 && !AddGrain(failed))
        return failed ? E_FAIL : 0;
    Checkpoint(100);
    return 0;
}

bool DevelopAdjustJob::ShadowsAndHighlights()
{
    const double g = 1.0 + m_params.dynamic * 0.06666666666666667;
    WORD* lift = m_lut[0].get();
    WORD* recover = m_lut[1].get();
    BuildGainTable(g, lift);
    BuildGainTable((g + 1.0) * 0.5, recover);
    const BYTE* root = SqrtTable();
    C16BitPixel* pixels = m_target->GetBuffer(0, 0);
    const int count = m_target->GetWidth() * m_target->GetHeight();
    const auto process = [&](int from, int to) {
        for (int i = from; i < to; ++i) {
            C16BitPixel& p = pixels[i];
            const int s = root[Luminance(p)];
            const int o = s > 192 ? 0 : (192 - s) * 256 / 192;
            const int h = s / 2;
            WORD* channels[3] = {&p.b, &p.g, &p.r};
            for (WORD* ch : channels) {
                const int c = *ch;
                const int lifted = (c * (256 - o) + lift[c] * o) >> 8;
                const int mirrored = c >= 1 ? kTableSize - recover[kTableSize - c] : 0;
                *ch = static_cast<WORD>((lifted * (256 - h) + mirrored * h) >> 8);
            }
        }
    };
    return InBands(
        count, 100000, 16, [&](int from, int to) { imagecore::ParallelFor(from, to, 1, process); },
        [&](int i) { return Checkpoint(static_cast<int>(i * 40.0 / count)); });
}

void DevelopAdjustJob::ApplyToneTables()
{
    WORD* red = m_lut[0].get();
    WORD* green = m_lut[1].get();
    WORD* blue = m_lut[2].get();
    WORD* scratch = m_lut[3].get();
    BuildGainTable(1.0, red);
    BuildGainTable(1.0, green);
    BuildGainTable(1.0, blue);
    const double x = std::abs(m_params.temperature) * 400 / 65536.0;
    if (m_params.temperature < 0) {
        BuildGainTable(1.0 + x, red);
        BuildGainTable(1.0 - x, blue);
    } else {
        BuildGainTable(1.0 - x, red);
        BuildGainTable(1.0 + x, blue);
    }
    if (m_params.exposure != 0) {
        BuildGainTable(std::pow(2.0, m_params.exposure * 0.1), scratch);
        for (WORD* t : {red, green, blue})
            ComposeInto(t, scratch);
    }
    if (m_params.dynamic < 0) {
        BuildContrastTable(m_params.dynamic, scratch);
        for (WORD* t : {red, green, blue})
            ComposeInto(t, scratch);
    }
    C16BitPixel* pixels = m_target->GetBuffer(0, 0);
    imagecore::ParallelFor(0, m_target->GetWidth() * m_target->GetHeight(), 1, [&](int from, int to) {
        for (int i = from; i < to; ++i) {
            C16BitPixel& p = pixels[i];
            p.r = red[p.r];
            p.g = green[p.g];
            p.b = blue[p.b];
        }
    });
}

void DevelopAdjustJob::Saturate()
{
    const int s = m_params.saturation;
    C16BitPixel* pixels = m_target->GetBuffer(0, 0);
    const int count = m_target->GetWidth() * m_target->GetHeight();
    if (s <= 100) {
        imagecore::ParallelFor(0, count, 1, [&](int from, int to) {
            for (int i = from; i < to; ++i) {
                C16BitPixel& p = pixels[i];
                const int grey = static_cast<int>(Luminance(p)) * (100 - s);
                p.b = static_cast<WORD>((p.b * s + grey) / 100);
                p.g = static_cast<WORD>((p.g * s + grey) / 100);
                p.r = static_cast<WORD>((p.r * s + grey) / 100);
            }
        });
        return;
    }
    const int k = s - 100;
    imagecore::ParallelFor(0, count, 1, [&](int from, int to) {
        for (int i = from; i < to; ++i) {
            C16BitPixel& p = pixels[i];
            const int m = (p.b + p.g + p.r) / 3;
            const int f = (kTableSize - m) * k / 40000;
            const int w = 100 - f;
            const int r = p.r;
            const int redTarget = r > m ? r + (r - m) / 2 : r + (r - m);
            p.b = Clamp16((p.b * w + (2 * p.b - m) * f) / 100);
            p.g = Clamp16((p.g * w + (2 * p.g - m) * f) / 100);
            p.r = Clamp16((r * w + redTarget * f) / 100);
        }
    });
}

bool DevelopAdjustJob::Sharpen(bool& failed)
{
    int b = -256 * m_params.sharpen / 50;
    if (b < 0)
        b *= 2;
    const int width = m_target->GetWidth(), height = m_target->GetHeight();
    if (b == 0 || width < 5 || height < 5)
        return true;
    if (!m_work.DuplicateFrom(m_target)) {
        failed = true;
        return false;
    }
    const int keep = 256 - b;
    const auto process = [&](int from, int to) {
        for (int y = std::max(from, 2); y < std::min(to, height - 2); ++y) {
            const WORD* rows[5];
            for (int k = 0; k < 5; ++k)
                rows[k] = &m_work.GetBuffer(0, y + k - 2)->b;
            WORD* out = &m_target->GetBuffer(0, y)->b;
            for (std::size_t w = 6, end = static_cast<std::size_t>(width - 2) * 3; w < end; ++w) {
                const int v = rows[2][w] * keep + Blur5(rows, w) * b;
                out[w] = v >= 0x1000000 ? 65535 : v < 0 ? 0 : static_cast<WORD>(v >> 8);
            }
        }
    };
    return InBands(
        height, 50, 4,
        [&](int from, int to) { imagecore::ParallelFor(from, to, static_cast<std::size_t>(width) * 3, process); },
        [&](int r) { return Checkpoint(static_cast<int>(20u * static_cast<unsigned>(r) / static_cast<unsigned>(height) + 60u)); });
}

bool DevelopAdjustJob::AddGrain(bool& failed)
{
    const int width = m_target->GetWidth(), height = m_target->GetHeight();
    UINT planeWidth = 0, planeHeight = 0;
    m_noise.GetSize(&planeWidth, &planeHeight);
    if ((planeWidth != static_cast<UINT>(width) || planeHeight != static_cast<UINT>(height)) &&
        m_noise.Create(static_cast<UINT>(width), static_cast<UINT>(height)) != 0) {
        failed = true;
        return false;
    }
    // Drawn in plane order: the reseeding every 1000 samples is part of the pattern.
    const int range = 8 * m_params.grain;
    BYTE* plane = m_noise.GetBuffer(0, 0);
    const int count = width * height;
    GrainRandom random;
    for (int i = 0; i < count; ++i) {
        int d = static_cast<int>(std::sqrt(static_cast<double>(random.Next() % range)));
        if (i % 1000 == 0)
            random.Seed(static_cast<unsigned>(i / 1000));
        if (random.Next() & 1)
            d = -d;
        plane[i] = static_cast<BYTE>(std::clamp(128 + d, 0, 255));
    }
    if (!Checkpoint(90))
        return false;
    const short* amplitude = GrainAmplitudeTable();
    imagecore::ParallelFor(1, height - 1, static_cast<std::size_t>(width), [&](int from, int to) {
        for (int y = from; y < to; ++y) {
            const BYTE* above = m_noise.GetBuffer(0, y - 1);
            const BYTE* row = m_noise.GetBuffer(0, y);
            const BYTE* below = m_noise.GetBuffer(0, y + 1);
            C16BitPixel* pixel = m_target->GetBuffer(0, y);
            for (int x = 1; x < width - 1; ++x) {
                const int q = (12 * row[x] + above[x - 1] + above[x] + above[x + 1] + row[x - 1] + row[x + 1] +
                               below[x - 1] + below[x] + below[x + 1]) / 20;
                C16BitPixel& p = pixel[x];
                const int shift = (q - 128) * amplitude[Luminance(p)];
                p.b = Clamp16(p.b + shift);
                p.g = Clamp16(p.g + shift);
                p.r = Clamp16(p.r + shift);
            }
        }
    });
    return true;
}

} // namespace develop
