#include "plugins/effects/RainFilter.h"

#include "imagecore/ParallelFor.h"
#include "platform/codec/QLImageCodec.h"
#include "platform/win/Folders.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <random>

namespace {

constexpr const char* kAmountCn = "雨量";
constexpr const char* kRadiusCn = "折射范围";
constexpr const char* kFogCn = "雾气";

constexpr int kTile = 100;
constexpr int kTilesPerRow = 10;
constexpr int kPlacementTries = 512;
constexpr int kDropsBetweenCancelTests = 64;
constexpr int kTaps[7] = {1, 2, 3, 5, 3, 2, 1};

// The sampling range along one axis fitted to [0, size).
void FitRange(int& low, int& high, int size)
{
    if (low < 0) {
        const int overhang = -low;
        if (high + overhang <= size) {
            low += overhang;
            high += overhang;
        } else if (high >= size) {
            low = 0;
            high = size;
        } else {
            low += size - high;
            high = size;
        }
    } else if (high > size) {
        const int overhang = high - size;
        if (overhang < low) {
            low -= overhang;
            high -= overhang;
        } else {
            high -= low;
            low = 0;
        }
    }
}

// One line of count pixels stride bytes apart, blurred through line.
void BlurLine(BYTE* first, int count, std::ptrdiff_t stride, std::vector<BYTE>& line)
{
    line.resize(static_cast<size_t>(count) * 4);
    for (int i = 0; i < count; ++i)
        std::memcpy(&line[static_cast<size_t>(i) * 4], first + i * stride, 4);
    for (int i = 0; i < count; ++i) {
        int sum[4] = {}, weight = 0;
        const int from = std::max(0, i - 3), to = std::min(count - 1, i + 3);
        for (int j = from; j <= to; ++j) {
            const int w = kTaps[j - i + 3];
            const BYTE* p = &line[static_cast<size_t>(j) * 4];
            for (int c = 0; c < 4; ++c)
                sum[c] += w * p[c];
            weight += w;
        }
        BYTE* out = first + i * stride;
        for (int c = 0; c < 4; ++c)
            out[c] = static_cast<BYTE>(sum[c] / weight);
    }
}

} // namespace

const EffectTexts kRainEnglish = {
    "Rain on glass",
    "To simulate the image that looking through a glass window at raining.",
    "int 'Rain Amount'{0,100,50};int 'Radius'{0,100,75};int 'Fog'{0,100,0};",
};
const EffectTexts kRainChinese = {
    "玻璃上的雨",
    "模拟隔着下雨天的玻璃窗看到的景象。",
    "int '雨量'{0,100,50};int '折射范围'{0,100,75};int '雾气'{0,100,0};",
};

void BlurRowsSevenTaps(CQLImage* image)
{
    UINT w = 0, h = 0;
    image->GetSize(&w, &h);
    imagecore::ParallelFor(0, static_cast<int>(h), w * 7, [&](int y0, int y1) {
        std::vector<BYTE> line;
        for (int y = y0; y < y1; ++y)
            BlurLine(image->GetBuffer(0, y), static_cast<int>(w), 4, line);
    });
}

void BlurColumnsSevenTaps(CQLImage* image)
{
    UINT w = 0, h = 0;
    image->GetSize(&w, &h);
    imagecore::ParallelFor(0, static_cast<int>(w), h * 7, [&](int x0, int x1) {
        std::vector<BYTE> line;
        for (int x = x0; x < x1; ++x)
            BlurLine(image->GetBuffer(x, 0), static_cast<int>(h), static_cast<std::ptrdiff_t>(w) * 4, line);
    });
}

int RainFilter::SetParam(const char* name, const char* value)
{
    if (IsParamName(name, "Rain Amount", kAmountCn))
        rainAmount = std::atoi(value);
    else if (IsParamName(name, "Radius", kRadiusCn))
        radius = std::atoi(value);
    else if (IsParamName(name, "Fog", kFogCn))
        fog = std::atoi(value);
    return 1;
}

void RainFilter::DropSizes(int width, int height, int sizes[3])
{
    const int d = std::max(std::max(width, height) / 65, 16);
    sizes[0] = d;
    sizes[1] = d * 3 / 4;
    sizes[2] = d / 2;
}

std::string RainFilter::TexturePath() const
{
    if (!record || !record->module)
        return {};
    char path[4096];
    const DWORD n = GetModuleFileName(record->module, path, sizeof path);
    if (n == 0 || n >= sizeof path)
        return {};
    std::string folder(path, n);
    return folder.substr(0, folder.rfind('/') + 1) + "rain.png";
}

HRESULT RainFilter::PrepareDrops()
{
    IQLImageCodec* codec = record ? record->codec : nullptr;
    const std::string path = TexturePath();
    CQLImage texture;
    if (!codec || path.empty() || !codec->LoadFile(path.c_str(), &texture))
        return E_FAIL;
    UINT tw = 0, th = 0;
    texture.GetSize(&tw, &th);
    if (tw < static_cast<UINT>(kTextureWidth) || th < static_cast<UINT>(kTextureHeight))
        return E_FAIL;
    for (UINT y = 0; y < th; ++y) {
        BYTE* p = texture.GetBuffer(0, y);
        for (UINT x = 0; x < tw; ++x, p += 4)
            p[1] = p[3]; // green carries the coverage from here on
    }
    UINT w = 0, h = 0;
    source->GetSize(&w, &h);
    int sizes[3];
    DropSizes(static_cast<int>(w), static_cast<int>(h), sizes);
    CQLImage tile;
    for (int t = 0; t < kTiles; ++t) {
        if (tile.Create(kTile, kTile) != 0)
            return E_FAIL;
        const int left = t % kTilesPerRow * kTile, top = t / kTilesPerRow * kTile;
        for (int y = 0; y < kTile; ++y)
            std::memcpy(tile.GetBuffer(0, y), texture.GetBuffer(left, top + y), kTile * 4);
        for (int s = 0; s < 3; ++s) {
            CQLImage& drop = drops[t * 6 + s * 2];
            CQLImage& mirrored = drops[t * 6 + s * 2 + 1];
            if (!codec->Resample(&tile, &drop, sizes[s], sizes[s], 1) || mirrored.Create(sizes[s], sizes[s]) != 0)
                return E_FAIL;
            for (int y = 0; y < sizes[s]; ++y)
                for (int x = 0; x < sizes[s]; ++x)
                    std::memcpy(mirrored.GetBuffer(sizes[s] - 1 - x, y), drop.GetBuffer(x, y), 4);
        }
    }
    dropsReady = 1;
    return 0;
}

HRESULT RainFilter::Fog()
{
    IQLImageCodec* codec = record ? record->codec : nullptr;
    if (!codec)
        return E_FAIL;
    UINT w = 0, h = 0;
    source->GetSize(&w, &h);
    const int g = std::max(static_cast<int>(std::max(w, h)) / 200, 4);
    // A side shorter than the step would give an empty picture.
    const int sw = std::max(static_cast<int>(w) / g, 1), sh = std::max(static_cast<int>(h) / g, 1);
    CQLImage small, blurred;
    if (!codec->Resample(source, &small, sw, sh, 1))
        return E_FAIL;
    BlurRowsSevenTaps(&small);
    Progress(40);
    BlurColumnsSevenTaps(&small);
    Progress(70);
    if (Cancelled() || !codec->Resample(&small, &blurred, static_cast<int>(w), static_cast<int>(h), 1))
        return E_FAIL;
    const int keep = 100 - fog;
    imagecore::ParallelFor(0, static_cast<int>(h), w, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            const BYTE* s = source->GetBuffer(0, y);
            const BYTE* b = blurred.GetBuffer(0, y);
            BYTE* t = target->GetBuffer(0, y);
            for (UINT x = 0; x < w; ++x, s += 4, b += 4, t += 4)
                for (int c = 0; c < 3; ++c)
                    t[c] = static_cast<BYTE>((s[c] * keep + b[c] * fog) / 100);
        }
    });
    return 0;
}

void RainFilter::DrawDrop(int index, int x, int y)
{
    UINT uw = 0, uh = 0;
    source->GetSize(&uw, &uh);
    const int w = static_cast<int>(uw), h = static_cast<int>(uh);
    const int reach = std::max(w, h) * radius / 400 + 32;
    int left = x - reach, right = x + reach, top = y - reach, bottom = y + reach;
    FitRange(left, right, w);
    FitRange(top, bottom, h);
    const CQLImage& drop = drops[index];
    UINT dw = 0, dh = 0;
    drop.GetSize(&dw, &dh);
    const int originX = x - static_cast<int>(dw), originY = y - static_cast<int>(dh) / 2;
    for (int j = 0; j < static_cast<int>(dh); ++j) {
        const int ty = originY + j;
        if (ty < 0 || ty >= h)
            continue;
        for (int i = 0; i < static_cast<int>(dw); ++i) {
            const int tx = originX + i;
            const BYTE* d = drop.GetBuffer(i, j);
            const int v = d[1];
            if (tx < 0 || tx >= w || v < 4)
                continue;
            const int sx = (255 - d[0]) * (right - left) / 256 + left;
            const int sy = (bottom - top) * (255 - d[2]) / 256 + top;
            const int x0 = std::clamp(sx, 0, w - 1), x1 = std::clamp(sx + 1, 0, w - 1);
            const int y0 = std::clamp(sy, 0, h - 1), y1 = std::clamp(sy + 1, 0, h - 1);
            const BYTE* a = source->GetBuffer(x0, y0);
            const BYTE* b = source->GetBuffer(x1, y0);
            const BYTE* c = source->GetBuffer(x0, y1);
            const BYTE* e = source->GetBuffer(x1, y1);
            BYTE* t = target->GetBuffer(tx, ty);
            for (int ch = 0; ch < 3; ++ch) {
                const int average = (a[ch] + b[ch] + c[ch] + e[ch]) / 4;
                t[ch] = static_cast<BYTE>((average * v + t[ch] * (255 - v)) / 256);
            }
        }
    }
}

HRESULT RainFilter::PlaceDrops(DropRandom& random)
{
    UINT uw = 0, uh = 0;
    source->GetSize(&uw, &uh);
    const int w = static_cast<int>(uw), h = static_cast<int>(uh);
    int sizes[3];
    DropSizes(w, h, sizes);
    // Drops closer than two thirds of the largest size share or touch a
    // cell, so only the 3 x 3 cells around a place need looking at.
    const int cell = std::max(2 * sizes[0] / 3, 1);
    const int columns = w / cell + 1, rows = h / cell + 1;
    std::vector<int> head(static_cast<size_t>(columns) * rows, -1), next;
    const int count = rainAmount * 10;
    placed.clear();
    placed.reserve(static_cast<size_t>(count));
    next.reserve(static_cast<size_t>(count));
    auto tooClose = [&](int x, int y, int reachX, int reachY) {
        const int cx = x / cell, cy = y / cell;
        for (int gy = std::max(cy - 1, 0); gy <= std::min(cy + 1, rows - 1); ++gy)
            for (int gx = std::max(cx - 1, 0); gx <= std::min(cx + 1, columns - 1); ++gx)
                for (int i = head[static_cast<size_t>(gy) * columns + gx]; i >= 0; i = next[i])
                    if (std::abs(x - placed[i].first) < reachX && std::abs(y - placed[i].second) < reachY)
                        return true;
        return false;
    };
    for (int n = 0; n < count; ++n) {
        if (n > 0 && n % kDropsBetweenCancelTests == 0 && Cancelled())
            return E_FAIL;
        const int index = random.Next() % kDrops;
        UINT dw = 0, dh = 0;
        drops[index].GetSize(&dw, &dh);
        const int reachX = 2 * static_cast<int>(dw) / 3, reachY = 2 * static_cast<int>(dh) / 3;
        int x = 0, y = 0;
        for (int rejected = 0;;) {
            x = random.Next() % w;
            y = random.Next() % h;
            if (!tooClose(x, y, reachX, reachY) || ++rejected == kPlacementTries)
                break;
        }
        DrawDrop(index, x, y);
        const size_t at = static_cast<size_t>(y / cell) * columns + x / cell;
        next.push_back(head[at]);
        head[at] = static_cast<int>(placed.size());
        placed.emplace_back(x, y);
    }
    return 0;
}

HRESULT RainFilter::Apply(const char* values)
{
    if (PluginFilter::Apply(values) != 0 || !source || !target || source->GetAreaByteSize() == 0)
        return E_FAIL;
    rainAmount = std::clamp(rainAmount, 0, 100);
    radius = std::clamp(radius, 0, 100);
    fog = std::clamp(fog, 0, 100);
    // The drops first: a missing texture fails before any pixel changes.
    if (!dropsReady && PrepareDrops() != 0)
        return E_FAIL;
    if (!target->DuplicateFrom(source))
        return E_FAIL;
    Progress(20);
    if (Cancelled() || (fog > 0 && Fog() != 0))
        return E_FAIL;
    Progress(80);
    if (Cancelled())
        return E_FAIL;
    DropRandom random(seeded ? seed : std::random_device{}());
    if (PlaceDrops(random) != 0)
        return E_FAIL;
    Progress(100);
    return 0;
}
