#include "kit/ImageLayer.h"

#include "kit/KitFile.h"
#include "kit/LittleEndian.h"

#include <cstring>
#include <memory>
#include <new>

namespace kit {

ImageLayer::ImageLayer() = default;

int ImageLayer::GetExtraData(std::uint32_t* length, unsigned char** data) const
{
    *length = 4;
    if (!data)
        return 1;
    *data = new (std::nothrow) unsigned char[4];
    if (!*data)
        return 0;
    PutLE32(*data, static_cast<std::uint32_t>(kind));
    return 1;
}

std::uint64_t ImageLayer::ChunkLength() const
{
    std::uint32_t extra = 0;
    GetExtraData(&extra, nullptr);
    UINT w = 0, h = 0;
    image.GetSize(&w, &h);
    return std::uint64_t{kLayerFixedBytes} + extra + std::uint64_t{w} * h * 4;
}

int ImageLayer::Write(KitFile& file) const
{
    UINT w = 0, h = 0;
    image.GetSize(&w, &h);
    std::uint32_t extraLength = 0;
    unsigned char* extraData = nullptr;
    if (!GetExtraData(&extraLength, &extraData))
        return 0;
    const std::unique_ptr<unsigned char[]> extra(extraData);

    unsigned char fixed[kLayerFixedBytes] = {};
    PutLE32(fixed + 0, static_cast<std::uint32_t>(x));
    PutLE32(fixed + 4, static_cast<std::uint32_t>(y));
    fixed[8] = static_cast<unsigned char>(visible);
    std::memcpy(fixed + 9, name, sizeof name);
    fixed[41] = opacity;
    fixed[42] = blend;
    PutLE32(fixed + 44, w);
    PutLE32(fixed + 48, h);
    PutLE32(fixed + 52, extraLength);
    if (file.Write(fixed, sizeof fixed) != sizeof fixed)
        return 0;
    if (file.Write(extra.get(), extraLength) != extraLength)
        return 0;
    const std::size_t rowBytes = std::size_t{w} * 4;
    for (UINT row = 0; row < h; ++row)
        if (file.Write(image.GetBuffer(0, static_cast<int>(row)), rowBytes) != rowBytes)
            return 0;
    return 1;
}

TextLayer::TextLayer()
{
    kind = kText;
    // A new text layer's attributes.
    PutLE32(attributes + 0, 0xFFFFFFFFu);
    PutLE32(attributes + 8, 1);
    std::memcpy(attributes + 28, "Arial", 5);
    PutLE32(attributes + 64, 16);
}

int TextLayer::GetExtraData(std::uint32_t* length, unsigned char** data) const
{
    *length = kExtraBytes;
    if (!data)
        return 1;
    *data = new (std::nothrow) unsigned char[kExtraBytes]();
    if (!*data)
        return 0;
    PutLE32(*data, static_cast<std::uint32_t>(kind));
    std::memcpy(*data + 4, attributes, kAttributeBytes);
    std::memcpy(*data + 4 + kAttributeBytes, text, kTextBytes);
    (*data)[kExtraBytes - 1] = 0;
    return 1;
}

void TextLayer::SetExtraData(const unsigned char* extra)
{
    std::memcpy(attributes, extra + 4, kAttributeBytes);
    const char* source = reinterpret_cast<const char*>(extra + 4 + kAttributeBytes);
    const std::size_t length = strnlen(source, kTextBytes - 1);
    std::memcpy(text, source, length);
    std::memset(text + length, 0, kTextBytes - length);
}

}  // namespace kit
