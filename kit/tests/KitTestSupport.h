// Layered documents and hand-made layered files for the tests.
#pragma once

#include "kit/LayeredDocument.h"

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

namespace kittest {

using Bytes = std::vector<unsigned char>;

struct Colour {
    BYTE b, g, r, a;
};

// A layer of one colour.
std::unique_ptr<kit::ImageLayer> SolidLayer(int w, int h, Colour colour, int x = 0, int y = 0,
                                            std::uint8_t opacity = 255, std::uint8_t blend = 0);
// A layer whose pixels differ from each other (for round trips).
std::unique_ptr<kit::ImageLayer> PatternLayer(int w, int h, int seed);

// The document's file as its own writer makes it.
Bytes WriteFile(const kit::LayeredDocument& doc);

// Builds a file chunk by chunk, fields as given (sound or not).
class FileBuilder {
public:
    FileBuilder& Header(int layers, int masks, int active, bool documentMask, std::int32_t w, std::int32_t h,
                        std::uint32_t headerSize = 20);
    FileBuilder& Layer(std::int32_t w, std::int32_t h, const Bytes& extra, const Bytes& pixels, std::int32_t x = 0,
                       std::int32_t y = 0, std::uint8_t opacity = 255, std::uint8_t blend = 0);
    FileBuilder& Plane(std::uint8_t type, std::int32_t w, std::int32_t h, const Bytes& plane);
    FileBuilder& Links(std::initializer_list<std::int16_t> links);
    FileBuilder& Chunk(std::uint32_t type, const Bytes& payload);
    Bytes Take() const { return m_bytes; }

private:
    void Put32(std::uint32_t v);
    Bytes m_bytes;
};

// Extra data of a layer of the given kind: the kind, then size - 4 zeros.
Bytes KindExtra(std::int32_t kind, std::size_t size = 4);
// w x h pixels of one colour.
Bytes Pixels(int w, int h, Colour colour);

}  // namespace kittest
