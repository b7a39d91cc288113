#include "kit/LayeredDocument.h"

#include "imagecore/ImageLimits.h"
#include "kit/KitFile.h"
#include "kit/LittleEndian.h"

#include <algorithm>
#include <new>

namespace kit {

namespace {

constexpr std::uint8_t kVersion = 10;
constexpr std::uint32_t kPlaneFixedBytes = 8;

bool ReadExactly(KitFile& file, void* data, std::size_t size)
{
    return file.Read(data, size) == size;
}

bool SideInRange(std::int32_t side, std::int32_t least)
{
    return side >= least && side <= kMaxSide;
}

bool WriteChunkHeader(KitFile& file, std::uint32_t type, std::uint64_t length)
{
    if (length > 0xFFFFFFFFu)
        return false;
    unsigned char header[8];
    PutLE32(header, type);
    PutLE32(header + 4, static_cast<std::uint32_t>(length));
    return file.Write(header, sizeof header) == sizeof header;
}

// A mask or document-mask payload: width, height, then exactly width x
// height bytes.
bool ReadPlane(KitFile& file, std::uint32_t length, MaskPlane& plane)
{
    unsigned char fixed[kPlaneFixedBytes];
    if (length < kPlaneFixedBytes || !ReadExactly(file, fixed, sizeof fixed))
        return false;
    const std::int32_t w = GetLE32Signed(fixed);
    const std::int32_t h = GetLE32Signed(fixed + 4);
    if (!SideInRange(w, 0) || !SideInRange(h, 0))
        return false;
    if (std::uint64_t{kPlaneFixedBytes} + std::uint64_t(w) * std::uint64_t(h) != length)
        return false;
    if (!plane.Create(w, h))
        return false;
    return ReadExactly(file, plane.data.data(), plane.data.size());
}

bool WritePlane(KitFile& file, std::uint32_t type, const MaskPlane& plane)
{
    const std::uint64_t bytes = std::uint64_t(plane.width) * std::uint64_t(plane.height);
    if (plane.width < 0 || plane.height < 0 || bytes != plane.data.size())
        return false;
    if (!WriteChunkHeader(file, type, kPlaneFixedBytes + bytes))
        return false;
    unsigned char fixed[kPlaneFixedBytes];
    PutLE32(fixed, static_cast<std::uint32_t>(plane.width));
    PutLE32(fixed + 4, static_cast<std::uint32_t>(plane.height));
    return file.Write(fixed, sizeof fixed) == sizeof fixed &&
           file.Write(plane.data.data(), plane.data.size()) == plane.data.size();
}

// One layer chunk. Sets *layer to the new layer, or leaves it NULL for a
// kind this reader skips; false for a chunk that disagrees with itself.
bool ReadLayer(KitFile& file, std::uint32_t length, LayeredDocument::LayerKinds kinds,
               std::unique_ptr<ImageLayer>* layer)
{
    unsigned char fixed[kLayerFixedBytes];
    if (length < kLayerFixedBytes || !ReadExactly(file, fixed, sizeof fixed))
        return false;
    const std::int32_t w = GetLE32Signed(fixed + 44);
    const std::int32_t h = GetLE32Signed(fixed + 48);
    const std::uint32_t extra = GetLE32(fixed + 52);
    if (!SideInRange(w, 1) || !SideInRange(h, 1))
        return false;
    const std::uint64_t pixelBytes = std::uint64_t(w) * std::uint64_t(h) * 4;
    if (std::uint64_t{kLayerFixedBytes} + extra + pixelBytes != length)
        return false;

    std::unique_ptr<ImageLayer> made;
    std::uint32_t extraLeft = extra;
    if (kinds == LayeredDocument::LayerKinds::AllAsImage) {
        made.reset(new ImageLayer);
    } else {
        unsigned char kindBytes[4];
        if (extra < 4 || !ReadExactly(file, kindBytes, sizeof kindBytes))
            return false;
        extraLeft -= 4;
        const std::int32_t kind = GetLE32Signed(kindBytes);
        if (kind == ImageLayer::kImage) {
            made.reset(new ImageLayer);
        } else if (kind == ImageLayer::kText) {
            if (extra < TextLayer::kExtraBytes)
                return false;
            unsigned char textExtra[TextLayer::kExtraBytes];
            std::copy(kindBytes, kindBytes + 4, textExtra);
            if (!ReadExactly(file, textExtra + 4, TextLayer::kExtraBytes - 4))
                return false;
            extraLeft -= TextLayer::kExtraBytes - 4;
            auto text = std::make_unique<TextLayer>();
            text->SetExtraData(textExtra);
            made = std::move(text);
        } else {
            return file.Skip(std::uint64_t{extraLeft} + pixelBytes);
        }
    }
    if (!file.Skip(extraLeft))
        return false;
    if (!imagecore::DecodeSizeAllowed(std::uint64_t(w), std::uint64_t(h)))
        return false;
    if (made->image.Create(static_cast<UINT>(w), static_cast<UINT>(h)) != 0)
        return false;
    // The image's rows are packed, as the file's are.
    if (!ReadExactly(file, made->image.GetBuffer(0, 0), static_cast<std::size_t>(pixelBytes)))
        return false;
    made->x = GetLE32Signed(fixed);
    made->y = GetLE32Signed(fixed + 4);
    made->visible = fixed[8] ? 1 : 0;
    std::copy(fixed + 9, fixed + 41, made->name);
    made->opacity = fixed[41];
    made->blend = fixed[42];
    *layer = std::move(made);
    return true;
}

}  // namespace

void LayeredDocument::OnLayerRemoval(int)
{
}

int LayeredDocument::Serialize(KitFile& file, int loading)
{
    return loading ? Read(file, LayerKinds::ByKind) : Write(file);
}

void LayeredDocument::Reserved()
{
}

void LayeredDocument::Empty()
{
    layers.clear();
    masks.clear();
    documentMask.Clear();
    canvasWidth = canvasHeight = 0;
    activeLayer = 0;
}

void LayeredDocument::RemoveLayer(std::size_t index)
{
    if (index >= layers.size())
        return;
    OnLayerRemoval(1);
    layers.erase(layers.begin() + static_cast<std::ptrdiff_t>(index));
    OnLayerRemoval(0);
}

int LayeredDocument::Read(KitFile& file, LayerKinds kinds)
{
    Empty();
    int result = 0;
    try {
        result = ReadChunks(file, kinds);
    } catch (const std::bad_alloc&) {
        result = 0;
    }
    if (!result)
        Empty();
    return result;
}

int LayeredDocument::ReadChunks(KitFile& file, LayerKinds kinds)
{
    unsigned char sizeBytes[4];
    if (!ReadExactly(file, sizeBytes, sizeof sizeBytes))
        return 0;
    const std::uint32_t headerSize = GetLE32(sizeBytes);
    if (headerSize < kHeaderBytes || headerSize - kHeaderBytes > kMaxHeaderExtra)
        return 0;
    unsigned char header[kHeaderBytes - 4];
    if (!ReadExactly(file, header, sizeof header) || !file.Skip(headerSize - kHeaderBytes))
        return 0;
    const unsigned layerCount = header[1];
    const unsigned activeIndex = header[3];
    const std::int32_t w = GetLE32Signed(header + 8);
    const std::int32_t h = GetLE32Signed(header + 12);
    if (!SideInRange(w, 1) || !SideInRange(h, 1))
        return 0;
    canvasWidth = w;
    canvasHeight = h;

    unsigned layerChunks = 0;
    while (file.Remaining() >= 8) {
        unsigned char chunk[8];
        if (!ReadExactly(file, chunk, sizeof chunk))
            return 0;
        const std::uint8_t type = chunk[0];
        const std::uint32_t length = GetLE32(chunk + 4);
        if (length > file.Remaining())
            return 0;
        switch (type) {
        case kChunkLayer: {
            std::unique_ptr<ImageLayer> layer;
            if (!ReadLayer(file, length, kinds, &layer))
                return 0;
            if (layer)
                layers.push_back(std::move(layer));
            if (layerChunks++ == activeIndex && !layers.empty())
                activeLayer = static_cast<std::int32_t>(layers.size() - 1);
            break;
        }
        case kChunkMask: {
            auto mask = std::make_unique<MaskPlane>();
            if (!ReadPlane(file, length, *mask))
                return 0;
            masks.push_back(std::move(mask));
            break;
        }
        case kChunkDocumentMask:
            if (!ReadPlane(file, length, documentMask))
                return 0;
            break;
        case kChunkLinks: {
            if (length != 2 * layerCount)
                return 0;
            unsigned char links[2 * 255];
            if (!ReadExactly(file, links, length))
                return 0;
            const std::size_t linked = std::min<std::size_t>(layerCount, layers.size());
            for (std::size_t i = 0; i < linked; ++i) {
                const int index = GetLE16Signed(links + 2 * i);
                if (index >= 0 && static_cast<std::size_t>(index) < masks.size())
                    layers[i]->mask = masks[static_cast<std::size_t>(index)].get();
            }
            return 1;
        }
        default:
            if (!file.Skip(length))
                return 0;
            break;
        }
    }
    return 0;
}

int LayeredDocument::Write(KitFile& file) const
{
    // The counts and the active index are single bytes in the header.
    if (layers.size() > 255 || masks.size() > 255 || activeLayer < 0 || activeLayer > 255)
        return 0;
    unsigned char header[kHeaderBytes] = {};
    PutLE32(header, kHeaderBytes);
    header[4] = kVersion;
    header[5] = static_cast<unsigned char>(layers.size());
    header[6] = static_cast<unsigned char>(masks.size());
    header[7] = static_cast<unsigned char>(activeLayer);
    header[8] = documentMask.HasData() ? 1 : 0;
    PutLE32(header + 12, static_cast<std::uint32_t>(canvasWidth));
    PutLE32(header + 16, static_cast<std::uint32_t>(canvasHeight));
    if (file.Write(header, sizeof header) != sizeof header)
        return 0;

    for (const auto& layer : layers)
        if (!WriteChunkHeader(file, kChunkLayer, layer->ChunkLength()) || !layer->Write(file))
            return 0;
    for (const auto& mask : masks)
        if (!WritePlane(file, kChunkMask, *mask))
            return 0;
    if (documentMask.HasData() && !WritePlane(file, kChunkDocumentMask, documentMask))
        return 0;

    if (!WriteChunkHeader(file, kChunkLinks, 2 * layers.size()))
        return 0;
    unsigned char links[2 * 255];
    for (std::size_t i = 0; i < layers.size(); ++i) {
        std::int16_t index = -1;
        for (std::size_t m = 0; m < masks.size(); ++m)
            if (masks[m].get() == layers[i]->mask)
                index = static_cast<std::int16_t>(m);
        PutLE16(links + 2 * i, static_cast<std::uint16_t>(index));
    }
    const std::size_t linkBytes = 2 * layers.size();
    return file.Write(links, linkBytes) == linkBytes ? 1 : 0;
}

}  // namespace kit
