#include "kit/Blend.h"

#include "imagecore/ParallelFor.h"
#include "kit/LayeredDocument.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace kit {

namespace {

// The rows and columns of the target that the layer covers.
struct Overlap {
    int x0 = 0, x1 = 0, y0 = 0, y1 = 0;
    bool Empty() const { return x0 >= x1 || y0 >= y1; }
};

Overlap OverlapOf(const CQLImage& target, const ImageLayer& layer, std::int64_t limitW, std::int64_t limitH)
{
    UINT targetW = 0, targetH = 0, lw = 0, lh = 0;
    target.GetSize(&targetW, &targetH);
    const std::int64_t tw = std::min<std::int64_t>(targetW, limitW), th = std::min<std::int64_t>(targetH, limitH);
    layer.image.GetSize(&lw, &lh);
    const std::int64_t x = layer.x, y = layer.y;
    Overlap o;
    o.x0 = static_cast<int>(std::max<std::int64_t>(x, 0));
    o.y0 = static_cast<int>(std::max<std::int64_t>(y, 0));
    o.x1 = static_cast<int>(std::max<std::int64_t>(std::min<std::int64_t>(tw, x + lw), o.x0));
    o.y1 = static_cast<int>(std::max<std::int64_t>(std::min<std::int64_t>(th, y + lh), o.y0));
    return o;
}

// Runs Op<mode>::Pixel(target pixel, layer pixel, opacity) along one row.
template <template <int> class Op, int Mode>
void RunRow(BYTE* p, const BYTE* s, int count, int opacity)
{
    for (int i = 0; i < count; ++i, p += 4, s += 4)
        Op<Mode>::Pixel(p, s, opacity);
}

template <template <int> class Op>
void ApplyRow(int mode, BYTE* p, const BYTE* s, int count, int opacity)
{
    switch (mode) {
    case kDarken:
        return RunRow<Op, kDarken>(p, s, count, opacity);
    case kLighten:
        return RunRow<Op, kLighten>(p, s, count, opacity);
    case kMultiply:
        return RunRow<Op, kMultiply>(p, s, count, opacity);
    case kScreen:
        return RunRow<Op, kScreen>(p, s, count, opacity);
    case kDifference:
        return RunRow<Op, kDifference>(p, s, count, opacity);
    default:
        return RunRow<Op, kNormal>(p, s, count, opacity);
    }
}

// One row of the overlap: the target's pixels and the layer's under them.
template <template <int> class Op>
void ApplyLayerRow(CQLImage& target, const ImageLayer& layer, const Overlap& o, int row)
{
    ApplyRow<Op>(layer.blend, target.GetBuffer(o.x0, row), layer.image.GetBuffer(o.x0 - layer.x, row - layer.y),
                 o.x1 - o.x0, layer.opacity);
}

template <template <int> class Op>
void ApplyLayer(CQLImage& target, const ImageLayer& layer, std::int64_t limitW = INT64_MAX,
                std::int64_t limitH = INT64_MAX)
{
    const Overlap o = OverlapOf(target, layer, limitW, limitH);
    if (o.Empty())
        return;
    imagecore::ParallelFor(o.y0, o.y1, static_cast<std::size_t>(o.x1 - o.x0), [&](int from, int to) {
        for (int row = from; row < to; ++row)
            ApplyLayerRow<Op>(target, layer, o, row);
    });
}

template <int Mode>
struct ComposeOp {
    static void Pixel(BYTE* p, const BYTE* s, int opacity)
    {
        const int g = (s[3] * opacity + 127) / 255;
        if (g == 0)
            return; // (p * 255 + 127) / 255 is p
        for (int c = 0; c < 3; ++c) {
            const int m = BlendChannel<Mode>(p[c], s[c]);
            p[c] = static_cast<BYTE>(g == 255 ? m : (p[c] * (255 - g) + m * g + 127) / 255);
        }
    }
};

template <int Mode>
struct BackgroundOp {
    static void Pixel(BYTE* p, const BYTE* s, int opacity)
    {
        const int e = opacity * s[3] / 255;
        for (int c = 0; c < 3; ++c) {
            const int m = BlendChannel<Mode>(p[c], s[c]);
            p[c] = static_cast<BYTE>((p[c] * (255 - e) + m * e) / 255);
        }
        p[3] = 255;
    }
};

template <int Mode>
struct AlphaOp {
    static void Pixel(BYTE* p, const BYTE* s, int opacity)
    {
        const int e = opacity * s[3] / 255;
        if (e == 0)
            return;
        const int a = (e * 255 + (255 - e) * p[3]) / 255; // at least e, never 0
        const int e2 = e * 255 / a;
        for (int c = 0; c < 3; ++c) {
            const int m = BlendChannel<Mode>(p[c], s[c]);
            p[c] = static_cast<BYTE>((e2 * m + (255 - e2) * p[c] + 127) / 255);
        }
        p[3] = static_cast<BYTE>(a);
    }
};

}  // namespace

int Blend(int mode, int b, int s)
{
    switch (mode) {
    case kDarken:
        return BlendChannel<kDarken>(b, s);
    case kLighten:
        return BlendChannel<kLighten>(b, s);
    case kMultiply:
        return BlendChannel<kMultiply>(b, s);
    case kScreen:
        return BlendChannel<kScreen>(b, s);
    case kDifference:
        return BlendChannel<kDifference>(b, s);
    default:
        return BlendChannel<kNormal>(b, s);
    }
}

void ComposeLayer(CQLImage& picture, const ImageLayer& layer)
{
    if (layer.visible)
        ApplyLayer<ComposeOp>(picture, layer);
}

void BlendIntoBackground(CQLImage& background, const ImageLayer& layer, int canvasWidth, int canvasHeight)
{
    ApplyLayer<BackgroundOp>(background, layer, canvasWidth, canvasHeight);
}

void ComposeWithAlpha(CQLImage& picture, const ImageLayer& layer)
{
    ApplyLayer<AlphaOp>(picture, layer);
}

bool ComposeDocument(const LayeredDocument& document, CQLImage& picture, bool withAlpha)
{
    if (document.layers.empty())
        return false;
    const CQLImage& background = document.layers[0]->image;
    UINT w = 0, h = 0;
    background.GetSize(&w, &h);
    if (!w || !h || picture.Create(w, h) != 0)
        return false;
    const MaskPlane& mask = document.documentMask;
    const bool maskFits = withAlpha && mask.HasData() && UINT(mask.width) == w && UINT(mask.height) == h;

    struct Part {
        const ImageLayer* layer;
        Overlap overlap;
    };
    std::vector<Part> parts;
    for (std::size_t i = 1; i < document.layers.size(); ++i) {
        const ImageLayer& layer = *document.layers[i];
        const Overlap o = OverlapOf(picture, layer, INT64_MAX, INT64_MAX);
        if (layer.visible && !o.Empty())
            parts.push_back({&layer, o});
    }
    // Row by row through every layer, so a row is composed while it is in cache.
    imagecore::ParallelFor(0, static_cast<int>(h), std::size_t{w} * (parts.size() + 1), [&](int from, int to) {
        for (int row = from; row < to; ++row) {
            const BYTE* s = background.GetBuffer(0, row);
            BYTE* p = picture.GetBuffer(0, row);
            const unsigned char* alpha = maskFits ? &mask.data[std::size_t(row) * w] : nullptr;
            for (UINT x = 0; x < w; ++x) {
                std::uint32_t word;
                std::memcpy(&word, s + 4 * x, 4);
                word = (word & 0x00FFFFFFu) | std::uint32_t{alpha ? alpha[x] : BYTE{0}} << 24;
                std::memcpy(p + 4 * x, &word, 4);
            }
            for (const Part& part : parts)
                if (row >= part.overlap.y0 && row < part.overlap.y1)
                    ApplyLayerRow<ComposeOp>(picture, *part.layer, part.overlap, row);
        }
    });
    return true;
}

}  // namespace kit
