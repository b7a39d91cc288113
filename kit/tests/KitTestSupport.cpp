#include "KitTestSupport.h"

#include "kit/KitFile.h"
#include "kit/LittleEndian.h"

namespace kittest {

std::unique_ptr<kit::ImageLayer> SolidLayer(int w, int h, Colour colour, int x, int y, std::uint8_t opacity,
                                            std::uint8_t blend)
{
    auto layer = std::make_unique<kit::ImageLayer>();
    layer->image.Create(static_cast<UINT>(w), static_cast<UINT>(h));
    for (int row = 0; row < h; ++row)
        for (int col = 0; col < w; ++col)
            layer->image.PutPixel(col, row, CPixel{colour.b, colour.g, colour.r, colour.a});
    layer->x = x;
    layer->y = y;
    layer->opacity = opacity;
    layer->blend = blend;
    return layer;
}

std::unique_ptr<kit::ImageLayer> PatternLayer(int w, int h, int seed)
{
    auto layer = std::make_unique<kit::ImageLayer>();
    layer->image.Create(static_cast<UINT>(w), static_cast<UINT>(h));
    for (int row = 0; row < h; ++row)
        for (int col = 0; col < w; ++col) {
            const int v = (col * 37 + row * 91 + seed * 53) * 2654435761u >> 8;
            layer->image.PutPixel(col, row, CPixel{BYTE(v), BYTE(v >> 8), BYTE(v >> 16), BYTE(v >> 24)});
        }
    return layer;
}

Bytes WriteFile(const kit::LayeredDocument& doc)
{
    kit::MemoryFile file;
    if (!const_cast<kit::LayeredDocument&>(doc).Serialize(file, 0))
        return {};
    return file.Bytes();
}

void FileBuilder::Put32(std::uint32_t v)
{
    unsigned char b[4];
    kit::PutLE32(b, v);
    m_bytes.insert(m_bytes.end(), b, b + 4);
}

FileBuilder& FileBuilder::Header(int layers, int masks, int active, bool documentMask, std::int32_t w,
                                 std::int32_t h, std::uint32_t headerSize)
{
    Put32(headerSize);
    m_bytes.push_back(10);
    m_bytes.push_back(static_cast<unsigned char>(layers));
    m_bytes.push_back(static_cast<unsigned char>(masks));
    m_bytes.push_back(static_cast<unsigned char>(active));
    m_bytes.push_back(documentMask ? 1 : 0);
    m_bytes.insert(m_bytes.end(), 3, 0xEE);
    Put32(static_cast<std::uint32_t>(w));
    Put32(static_cast<std::uint32_t>(h));
    if (headerSize > 20 && headerSize < 20 + 100000)
        m_bytes.insert(m_bytes.end(), headerSize - 20, 0xAB);
    return *this;
}

FileBuilder& FileBuilder::Layer(std::int32_t w, std::int32_t h, const Bytes& extra, const Bytes& pixels,
                                std::int32_t x, std::int32_t y, std::uint8_t opacity, std::uint8_t blend)
{
    Put32(kit::kChunkLayer);
    Put32(static_cast<std::uint32_t>(56 + extra.size() + pixels.size()));
    Put32(static_cast<std::uint32_t>(x));
    Put32(static_cast<std::uint32_t>(y));
    m_bytes.push_back(1);
    const char name[32] = "layer";
    m_bytes.insert(m_bytes.end(), name, name + 32);
    m_bytes.push_back(opacity);
    m_bytes.push_back(blend);
    m_bytes.push_back(0);
    Put32(static_cast<std::uint32_t>(w));
    Put32(static_cast<std::uint32_t>(h));
    Put32(static_cast<std::uint32_t>(extra.size()));
    m_bytes.insert(m_bytes.end(), extra.begin(), extra.end());
    m_bytes.insert(m_bytes.end(), pixels.begin(), pixels.end());
    return *this;
}

FileBuilder& FileBuilder::Plane(std::uint8_t type, std::int32_t w, std::int32_t h, const Bytes& plane)
{
    Put32(type);
    Put32(static_cast<std::uint32_t>(8 + plane.size()));
    Put32(static_cast<std::uint32_t>(w));
    Put32(static_cast<std::uint32_t>(h));
    m_bytes.insert(m_bytes.end(), plane.begin(), plane.end());
    return *this;
}

FileBuilder& FileBuilder::Links(std::initializer_list<std::int16_t> links)
{
    Put32(kit::kChunkLinks);
    Put32(static_cast<std::uint32_t>(2 * links.size()));
    for (std::int16_t link : links) {
        m_bytes.push_back(static_cast<unsigned char>(link & 0xFF));
        m_bytes.push_back(static_cast<unsigned char>((link >> 8) & 0xFF));
    }
    return *this;
}

FileBuilder& FileBuilder::Chunk(std::uint32_t type, const Bytes& payload)
{
    Put32(type);
    Put32(static_cast<std::uint32_t>(payload.size()));
    m_bytes.insert(m_bytes.end(), payload.begin(), payload.end());
    return *this;
}

Bytes KindExtra(std::int32_t kind, std::size_t size)
{
    Bytes extra(size, 0);
    kit::PutLE32(extra.data(), static_cast<std::uint32_t>(kind));
    return extra;
}

Bytes Pixels(int w, int h, Colour colour)
{
    Bytes pixels;
    for (int i = 0; i < w * h; ++i)
        pixels.insert(pixels.end(), {colour.b, colour.g, colour.r, colour.a});
    return pixels;
}

}  // namespace kittest
