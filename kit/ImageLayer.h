// The layers of a layered document: pixels with a place on the canvas, an
// opacity and a blend mode; a text layer carries its text and attributes
// along (it is never rendered here).
#pragma once

#include "imagecore/QLImage.h"
#include "kit/MaskPlane.h"

#include <cstdint>

namespace kit {

class KitFile;

// The fixed part of a layer chunk's payload, before the extra data.
inline constexpr std::uint32_t kLayerFixedBytes = 56;

class ImageLayer {
public:
    enum Kind : std::int32_t { kImage = 0, kText = 1 };

    ImageLayer();
    ImageLayer(const ImageLayer&) = delete;
    ImageLayer& operator=(const ImageLayer&) = delete;

    // With data NULL only *length is set. Otherwise *data gets a new[]
    // buffer of *length bytes that the caller deletes; 0 when it cannot be had.
    virtual int GetExtraData(std::uint32_t* length, unsigned char** data) const;
    // The layer chunk's payload: fixed part, extra data, pixels. 1 or 0.
    virtual int Write(KitFile& file) const;
    virtual ~ImageLayer() = default;

    // Payload length of the layer chunk, in 64 bits.
    std::uint64_t ChunkLength() const;

    std::int32_t x = 0;
    std::int32_t y = 0;
    const MaskPlane* mask = nullptr; // written to the file, not composed
    char name[32] = {};
    std::uint8_t opacity = 255;
    std::uint8_t blend = 0;
    CQLImage image;
    std::int32_t visible = 1;
    std::int32_t kind = kImage;
};

class TextLayer final : public ImageLayer {
public:
    static constexpr std::uint32_t kAttributeBytes = 72;
    static constexpr std::uint32_t kTextBytes = 1024;
    static constexpr std::uint32_t kExtraBytes = 4 + kAttributeBytes + kTextBytes;

    TextLayer();
    int GetExtraData(std::uint32_t* length, unsigned char** data) const override;
    // Takes attributes and text from extra data of kExtraBytes or more; the
    // text ends at its NUL or after 1023 characters.
    void SetExtraData(const unsigned char* extra);

    unsigned char attributes[kAttributeBytes] = {};
    char text[kTextBytes] = {};
};

}  // namespace kit
