#include "kit/LayeredImage.h"

#include "imagecore/ParallelFor.h"
#include "kit/Blend.h"
#include "kit/KitFile.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <new>

namespace kit {

namespace {

constexpr std::uint32_t kColour = 0x00FFFFFFu;

std::uint32_t Word(const BYTE* p)
{
    std::uint32_t word;
    std::memcpy(&word, p, 4);
    return word;
}

}  // namespace

int CComplexImageUtils::FromFile(const char* path)
{
    DiskFile file;
    if (!file.OpenRead(path))
        return 0;
    return FromKitFile(file);
}

int CComplexImageUtils::FromKitFile(KitFile& file)
{
    if (!m_document) {
        m_document.reset(new (std::nothrow) LayeredDocument);
        if (!m_document)
            return 0;
    }
    m_merged.Free();
    m_hasMerged = false;
    if (!m_document->Read(file, LayeredDocument::LayerKinds::AllAsImage))
        return 0;
    if (Merge())
        return 1;
    // Nothing half-flattened is handed out.
    m_document->Empty();
    return 0;
}

int CComplexImageUtils::Merge()
{
    LayeredDocument& doc = *m_document;
    auto& layers = doc.layers;
    const int active = doc.activeLayer;
    if (layers.empty() || active < 0 || static_cast<std::size_t>(active) >= layers.size())
        return 0;

    // Everything between the background and the active layer goes into the background.
    if (active > 1) {
        CQLImage& background = layers[0]->image;
        for (int i = 1; i < active; ++i) {
            BlendIntoBackground(background, *layers[1], doc.canvasWidth, doc.canvasHeight);
            doc.RemoveLayer(1);
        }
        doc.activeLayer = 1;
    }
    const std::size_t above = static_cast<std::size_t>(doc.activeLayer) + 1;

    // Everything above the active layer becomes one layer of the canvas's
    // size; only what lies on the background is ever shown, so a canvas a
    // file declares larger than its background costs no more memory.
    if (above < layers.size()) {
        UINT bw = 0, bh = 0;
        layers[0]->image.GetSize(&bw, &bh);
        const UINT w = std::min(bw, static_cast<UINT>(doc.canvasWidth));
        const UINT h = std::min(bh, static_cast<UINT>(doc.canvasHeight));
        CQLImage canvas;
        if (canvas.Create(w, h) != 0)
            return 0;
        std::memset(canvas.GetBuffer(0, 0), 0, canvas.GetAreaByteSize());
        for (std::size_t i = above; i < layers.size(); ++i)
            ComposeWithAlpha(canvas, *layers[i]);
        ImageLayer& upper = *layers[above];
        upper.image = std::move(canvas);
        upper.x = upper.y = 0;
        upper.opacity = 255;
        upper.blend = kNormal;
        // Shown whatever the layer it replaces was: it stands for every layer above.
        upper.visible = 1;
        while (layers.size() > above + 1)
            doc.RemoveLayer(layers.size() - 1);
    }

    if (!ComposeDocument(doc, m_merged, false)) {
        m_merged.Free();
        return 0;
    }
    m_hasMerged = true;
    return 1;
}

INTERNAL_IMAGE CComplexImageUtils::Merged()
{
    if (!m_hasMerged)
        return {0, 0, nullptr};
    UINT w = 0, h = 0;
    m_merged.GetSize(&w, &h);
    return {static_cast<std::int32_t>(w), static_cast<std::int32_t>(h), m_merged.GetBuffer(0, 0)};
}

ImageLayer* CComplexImageUtils::ActiveLayer()
{
    if (!m_document)
        return nullptr;
    const auto& layers = m_document->layers;
    const int active = m_document->activeLayer;
    if (active < 0 || static_cast<std::size_t>(active) >= layers.size())
        return nullptr;
    return layers[static_cast<std::size_t>(active)].get();
}

INTERNAL_IMAGE CComplexImageUtils::GetImageForEdit()
{
    ImageLayer* layer = ActiveLayer();
    if (!layer)
        return {0, 0, nullptr};
    UINT w = 0, h = 0;
    layer->image.GetSize(&w, &h);
    return {static_cast<std::int32_t>(w), static_cast<std::int32_t>(h), layer->image.GetBuffer(0, 0)};
}

bool CComplexImageUtils::TakeEdit(const INTERNAL_IMAGE& image, ImageLayer& layer)
{
    const int w = image.width, h = image.height;
    const std::size_t rowBytes = std::size_t(w) * 4;
    const MaskPlane& mask = m_document->documentMask;
    std::atomic<bool> changed{false};
    imagecore::ParallelFor(0, h, std::size_t(w), [&](int from, int to) {
        bool any = false;
        for (int row = from; row < to; ++row) {
            const BYTE* edited = image.bits + rowBytes * row;
            BYTE* old = layer.image.GetBuffer(0, row);
            if (std::memcmp(edited, old, rowBytes) == 0)
                continue;
            int x = 0;
            while (x < w && ((Word(edited + 4 * x) ^ Word(old + 4 * x)) & kColour) == 0)
                ++x;
            if (x == w)
                continue;
            any = true;
            if (!mask.HasData()) {
                for (; x < w; ++x)
                    std::memcpy(&old[4 * x], &edited[4 * x], 3);
                continue;
            }
            // Only inside the mask, weighed by its bytes.
            const std::int64_t maskRow = std::int64_t{layer.y} + row;
            if (maskRow < 0 || maskRow >= mask.height)
                continue;
            const unsigned char* m = &mask.data[std::size_t(maskRow) * mask.width];
            const std::int64_t from = std::max<std::int64_t>(x, -std::int64_t{layer.x});
            const std::int64_t to = std::min<std::int64_t>(w, std::int64_t{mask.width} - layer.x);
            for (std::int64_t col = from; col < to; ++col) {
                const int weight = m[layer.x + col];
                BYTE* o = old + 4 * col;
                const BYTE* n = edited + 4 * col;
                for (int c = 0; c < 3; ++c)
                    o[c] = static_cast<BYTE>((n[c] * weight + o[c] * (255 - weight)) / 255);
            }
        }
        if (any)
            changed.store(true, std::memory_order_relaxed);
    });
    return changed.load();
}

INTERNAL_IMAGE CComplexImageUtils::MaybeChanged(INTERNAL_IMAGE image)
{
    ImageLayer* layer = ActiveLayer();
    if (!layer || !image.bits)
        return image;
    UINT w = 0, h = 0;
    layer->image.GetSize(&w, &h);
    if (image.width != static_cast<std::int32_t>(w) || image.height != static_cast<std::int32_t>(h))
        return image;
    if (!TakeEdit(image, *layer))
        return m_hasMerged ? Merged() : image;
    if (!m_hasMerged)
        return image;
    if (!ComposeDocument(*m_document, m_merged, false)) {
        m_hasMerged = false;
        return image;
    }
    return Merged();
}

}  // namespace kit
