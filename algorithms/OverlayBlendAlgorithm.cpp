#include "algorithms/OverlayBlendAlgorithm.h"

#include "algorithms/SeparableResizeAlgorithm.h"
#include "platform/codec/ColorForms.h"
#include "platform/codec/QLImageCodec.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

// Work images larger than this are refused (huge radii or widths).
constexpr long long kMaxWorkPixels = 1LL << 28;

inline int Mixed(int mode, int o, int p)
{
    switch (mode) {
    case 1: return 255 - (((255 - o) * (255 - p)) >> 8);
    case 4: return std::abs(o - p);
    case 7: return o * p / 256;
    case 8: return p >= 128 ? 255 - (255 - o) * (255 - p) / 128 : (o * p) >> 7;
    default: return o; // 0, 2, 3
    }
}

} // namespace

OverlayBlendAlgorithm::~OverlayBlendAlgorithm() = default;

bool OverlayBlendAlgorithm::Step(int percent)
{
    Progress(percent);
    return TestCancel() == 0;
}

HRESULT OverlayBlendAlgorithm::Apply(const void* params)
{
    if (EffectAlgorithm::Apply(params) != 0 || !params)
        return E_FAIL;
    std::memcpy(&param, params, sizeof param);
    // Stage B compares with the photo before the object: keep it when the
    // result is written over it.
    CQLImage before;
    const CQLImage* photo = source;
    if (source == target) {
        if (!before.DuplicateFrom(source))
            return E_FAIL;
        photo = &before;
    }
    if (!CopySourceToTarget())
        return 8;
    UINT w = 0, h = 0;
    target->GetSize(&w, &h);
    photoWidth = static_cast<int>(w);
    photoHeight = static_cast<int>(h);

    if (!PlaceObject() || !Step(10))
        return E_FAIL;
    if ((param.mode == 2 || param.mode == 3) && !MaskLighterDarker(*photo))
        return E_FAIL;
    if (!Step(20))
        return E_FAIL;
    if (param.shadow && !Shadow())
        return E_FAIL;
    if (!Step(40) || !Blend() || !Step(50))
        return E_FAIL;
    if (param.outline && !Outline())
        return E_FAIL;
    if (!Step(70))
        return E_FAIL;
    if (param.bevel && !Bevel())
        return E_FAIL;
    Progress(100);
    return 0;
}

bool OverlayBlendAlgorithm::PlaceObject()
{
    const CQLImage* picture = images.empty() ? nullptr : images[0];
    if (!picture || picture->GetAreaByteSize() == 0 || param.width <= 0 || param.height <= 0
        || static_cast<long long>(param.width) * param.height > kMaxWorkPixels)
        return false;
    if (!param.fill) {
        SeparableResizeAlgorithm resize;
        resize.SetImages(const_cast<CQLImage*>(picture), &object);
        const ResizeParams size = {param.width, param.height};
        return resize.Apply(&size) == 0;
    }
    // A mask: its alpha, resized as grey, in the colour of its first pixel.
    UINT pw = 0, ph = 0;
    picture->GetSize(&pw, &ph);
    CQLImage grey;
    if (grey.Create(pw, ph) != 0)
        return false;
    for (UINT i = 0; i < ph; ++i) {
        const BYTE* s = picture->GetBuffer(0, i);
        BYTE* d = grey.GetBuffer(0, i);
        for (UINT j = 0; j < pw; ++j, s += 4, d += 4)
            d[0] = d[1] = d[2] = s[3], d[3] = 255;
    }
    CQLImageCodec codec;
    if (!codec.Resample(&grey, &object, param.width, param.height, 1))
        return false;
    const CPixel first = picture->GetPixel2(0, 0);
    for (int i = 0; i < param.height; ++i) {
        BYTE* p = object.GetBuffer(0, i);
        for (int j = 0; j < param.width; ++j, p += 4) {
            p[3] = p[0];
            p[0] = first.b, p[1] = first.g, p[2] = first.r;
        }
    }
    return true;
}

bool OverlayBlendAlgorithm::MaskLighterDarker(const CQLImage& photo)
{
    const bool lighterOnly = param.mode == 2;
    for (int i = 0; i < param.height; ++i) {
        BYTE* o = object.GetBuffer(0, i);
        for (int j = 0; j < param.width; ++j, o += 4) {
            const long long px = static_cast<long long>(param.x) + j, py = static_cast<long long>(param.y) + i;
            if (!Inside(px, py))
                continue;
            const int objectGrey = GrayOf(o);
            const int photoGrey = GrayOf(photo.GetBuffer(static_cast<int>(px), static_cast<int>(py)));
            if (lighterOnly ? objectGrey < photoGrey : objectGrey > photoGrey)
                o[3] = 0;
        }
        if (!Step(10 + i * 10 / param.height))
            return false;
    }
    return true;
}

bool OverlayBlendAlgorithm::Shadow()
{
    const int r = std::max(0, static_cast<int>(param.shadowBlur));
    const long long mw = param.width + 2LL * r, mh = param.height + 2LL * r;
    if (mw * mh > kMaxWorkPixels || work.Create(static_cast<UINT>(mw), static_cast<UINT>(mh)) != 0)
        return false;
    std::memset(work.GetBuffer(0, 0), 0, work.GetAreaByteSize());
    const int shadowOpacity = param.shadowColour[3];
    for (int i = 0; i < param.height; ++i) {
        const BYTE* o = object.GetBuffer(0, i);
        BYTE* m = work.GetBuffer(r, i + r);
        for (int j = 0; j < param.width; ++j, o += 4, m += 4) {
            const int a = o[3] * param.opacity / 255;
            const BYTE v = static_cast<BYTE>(a * shadowOpacity / 255);
            m[0] = m[1] = m[2] = m[3] = v;
        }
    }
    if (!Step(25))
        return false;
    boxMean.SetImages(&work, &softened);
    boxMean.SetRange(RangeAt(25), RangeAt(35));
    boxMean.SetCallback(callback);
    const BoxMeanParams n = {2 * r};
    if (boxMean.Apply(&n) != 0 || TestCancel())
        return false;
    // Only the part of the softened mask that lands on the photo.
    const long long left = static_cast<long long>(param.x) + param.shadowDx - r;
    const long long top = static_cast<long long>(param.y) + param.shadowDy - r;
    const long long j0 = std::max(0LL, -left), j1 = std::min(mw, photoWidth - left);
    const long long i0 = std::max(0LL, -top), i1 = std::min(mh, photoHeight - top);
    const BYTE* colour = param.shadowColour;
    for (long long i = i0; i < i1; ++i) {
        const BYTE* s = softened.GetBuffer(0, static_cast<int>(i));
        BYTE* p = target->GetBuffer(static_cast<int>(left + j0), static_cast<int>(top + i));
        for (long long j = j0; j < j1; ++j, p += 4) {
            const int u = s[4 * j + 2];
            if (u == 0)
                continue;
            for (int c = 0; c < 3; ++c)
                p[c] = static_cast<BYTE>((colour[c] * u + p[c] * (255 - u)) >> 8);
        }
    }
    return true;
}

bool OverlayBlendAlgorithm::Blend()
{
    const int mode = param.mode;
    if (mode > 8)
        return true; // no such mode: the photo stays as it is
    for (int i = 0; i < param.height; ++i) {
        const long long py = static_cast<long long>(param.y) + i;
        const BYTE* o = object.GetBuffer(0, i);
        for (int j = 0; j < param.width && py >= 0 && py < photoHeight; ++j, o += 4) {
            const long long px = static_cast<long long>(param.x) + j;
            if (px < 0 || px >= photoWidth)
                continue;
            const int a = o[3] * param.opacity / 255;
            if (a == 0)
                continue; // (255 p + 0) / 255 = p
            const int b = 255 - a;
            BYTE* p = target->GetBuffer(static_cast<int>(px), static_cast<int>(py));
            if (mode == 5 || mode == 6) {
                BYTE ph[4] = {p[0], p[1], p[2], p[3]};
                BYTE oh[4] = {o[0], o[1], o[2], o[3]};
                qlcodec::RgbToHsbPixel(ph);
                qlcodec::RgbToHsbPixel(oh);
                // Byte 0 is brightness, 1 saturation, 2 hue.
                for (int c = mode == 5 ? 0 : 1; c <= (mode == 5 ? 0 : 2); ++c)
                    ph[c] = static_cast<BYTE>((b * ph[c] + a * oh[c]) / 255);
                qlcodec::HsbToRgbPixel(ph);
                p[0] = ph[0], p[1] = ph[1], p[2] = ph[2];
                continue;
            }
            for (int c = 0; c < 3; ++c)
                p[c] = static_cast<BYTE>((b * p[c] + a * Mixed(mode, o[c], p[c])) / 255);
        }
        if (!Step(40 + i * 10 / param.height))
            return false;
    }
    return true;
}

bool OverlayBlendAlgorithm::Outline()
{
    const long long widthFull = param.outlineWidth, fade = param.outlineFade;
    const long long reach = widthFull + fade;
    if (reach <= 0)
        return true; // no width at all: no outline
    const long long ow = param.width + 2 * reach, oh = param.height + 2 * reach;
    if (ow * oh > kMaxWorkPixels)
        return false;
    try {
        outlineMap.assign(static_cast<std::size_t>(ow * oh), static_cast<int>(reach));
    } catch (const std::bad_alloc&) {
        return false;
    }
    const int W = static_cast<int>(ow), Ht = static_cast<int>(oh), b = static_cast<int>(reach);
    int* d = outlineMap.data();
    for (int i = 0; i < param.height; ++i) {
        const BYTE* o = object.GetBuffer(0, i);
        for (int j = 0; j < param.width; ++j)
            if (o[4 * j + 3])
                d[static_cast<std::size_t>(i + b) * W + j + b] = 0;
    }
    // City-block distance to the nearest object pixel, capped at b: the
    // forward and backward sweeps give what a ring-by-ring search finds.
    for (int i = 0; i < Ht; ++i) {
        int* row = d + static_cast<std::size_t>(i) * W;
        const int* up = i > 0 ? row - W : nullptr;
        for (int j = 0; j < W; ++j) {
            int v = row[j];
            if (j > 0)
                v = std::min(v, row[j - 1] + 1);
            if (up)
                v = std::min(v, up[j] + 1);
            row[j] = v;
        }
    }
    for (int i = Ht - 1; i >= 0; --i) {
        int* row = d + static_cast<std::size_t>(i) * W;
        const int* down = i + 1 < Ht ? row + W : nullptr;
        for (int j = W - 1; j >= 0; --j) {
            int v = row[j];
            if (j + 1 < W)
                v = std::min(v, row[j + 1] + 1);
            if (down)
                v = std::min(v, down[j] + 1);
            row[j] = v;
        }
    }
    const int fullWidth = static_cast<int>(widthFull);
    for (int i = 0; i < Ht; ++i) {
        int* row = d + static_cast<std::size_t>(i) * W;
        for (int j = 0; j < W; ++j) {
            const int n = row[j];
            // n > outlineWidth means n <= b = outlineWidth + outlineFade, so the fade is at least 1 here.
            row[j] = n == 0 ? 0 : (n <= fullWidth ? 255 : static_cast<int>((b - n) * 255LL / fade));
        }
        if (!Step(50 + i * 15 / Ht))
            return false;
    }
    const DWORD colour = param.outlineColour;
    const int strength = static_cast<int>(colour >> 24);
    const int rgb[3] = {static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                        static_cast<int>((colour >> 16) & 0xFF)};
    const long long left = static_cast<long long>(param.x) - b, top = static_cast<long long>(param.y) - b;
    const long long j0 = std::max(0LL, -left), j1 = std::min<long long>(W, photoWidth - left);
    const long long i0 = std::max(0LL, -top), i1 = std::min<long long>(Ht, photoHeight - top);
    for (long long i = i0; i < i1; ++i) {
        const int* row = d + static_cast<std::size_t>(i) * W;
        BYTE* p = target->GetBuffer(static_cast<int>(left + j0), static_cast<int>(top + i));
        for (long long j = j0; j < j1; ++j, p += 4) {
            if (row[j] == 0)
                continue;
            const int k = row[j] * strength / 255;
            for (int c = 0; c < 3; ++c)
                p[c] = static_cast<BYTE>((p[c] * (255 - k) + rgb[c] * k) / 255);
        }
    }
    return true;
}

bool OverlayBlendAlgorithm::Bevel()
{
    const int depth = param.bevelDepth;
    const int c = std::max(0, std::max(0, static_cast<int>(param.bevelMargin)) + depth);
    const long long hw = param.width + 2LL * c, hh = param.height + 2LL * c;
    if (hw * hh > kMaxWorkPixels || work.Create(static_cast<UINT>(hw), static_cast<UINT>(hh)) != 0)
        return false;
    std::memset(work.GetBuffer(0, 0), 0, work.GetAreaByteSize());
    for (int i = 0; i < param.height; ++i) {
        const BYTE* o = object.GetBuffer(0, i);
        BYTE* m = work.GetBuffer(c, i + c);
        for (int j = 0; j < param.width; ++j, o += 4, m += 4)
            m[0] = m[1] = m[2] = m[3] = o[3];
    }
    if (!Step(80))
        return false;
    smooth.SetImages(&work, &softened);
    smooth.SetRange(RangeAt(80), RangeAt(90));
    smooth.SetCallback(callback);
    const SmoothParams radius = {c};
    if (smooth.Apply(&radius) != 0 || !Step(90))
        return false;

    static const int kDirection[8][2] = {{1, 0}, {1, 1}, {0, 1}, {-1, 1}, {-1, 0}, {-1, -1}, {0, -1}, {1, -1}};
    const int dir = param.lightDirection;
    const int dx = dir >= 0 && dir < 8 ? kDirection[dir][0] * depth : 0;
    const int dy = dir >= 0 && dir < 8 ? kDirection[dir][1] * depth : 0;
    // R of the smoothed relief; outside it (only with a negative depth) 0.
    auto height = [&](long long j, long long i) -> int {
        if (j < 0 || i < 0 || j >= hw || i >= hh)
            return 0;
        return softened.GetBuffer(static_cast<int>(j), static_cast<int>(i))[2];
    };
    const int strength = param.bevelStrength;
    for (int i = 0; i < param.height; ++i) {
        const long long py = static_cast<long long>(param.y) + i;
        const BYTE* o = object.GetBuffer(0, i);
        for (int j = 0; j < param.width; ++j, o += 4) {
            const long long px = static_cast<long long>(param.x) + j;
            if (o[3] == 0 || !Inside(px, py))
                continue;
            const int t = height(static_cast<long long>(j) + c - dx, static_cast<long long>(i) + c - dy);
            const int u = height(static_cast<long long>(j) + c + dx, static_cast<long long>(i) + c + dy);
            const int v = u - t;
            if (v == 0)
                continue;
            BYTE* p = target->GetBuffer(static_cast<int>(px), static_cast<int>(py));
            if (v > 0) {
                const int lit = strength * v / 255;
                for (int k = 0; k < 3; ++k)
                    p[k] = qlcodec::ClampByte((lit * 255 + p[k] * (255 - lit)) >> 8);
            } else {
                const int shade = strength * v / 255 + 255;
                for (int k = 0; k < 3; ++k)
                    p[k] = qlcodec::ClampByte((shade * p[k]) >> 8);
            }
        }
    }
    return true;
}
