// A layered image: layers bottom-up (layer 0 is the background), the mask
// planes layers link to, an optional document mask, the canvas size and the
// active layer; read from and written to the chunked layered file.
#pragma once

#include "kit/ImageLayer.h"
#include "kit/MaskPlane.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace kit {

class KitFile;

// Chunk types of the layered file.
enum ChunkType : std::uint8_t { kChunkLayer = 1, kChunkMask = 2, kChunkDocumentMask = 3, kChunkLinks = 4 };

inline constexpr std::uint32_t kHeaderBytes = 20;
inline constexpr std::uint32_t kMaxHeaderExtra = 4096;
inline constexpr std::int32_t kMaxSide = 65535;

class LayeredDocument {
public:
    // How layer chunks are taken: by their kind, or every one as an image
    // layer (the flattening reader of the editor's object).
    enum class LayerKinds { ByKind, AllAsImage };

    LayeredDocument() = default;
    LayeredDocument(const LayeredDocument&) = delete;
    LayeredDocument& operator=(const LayeredDocument&) = delete;

    // Called with 1 before and 0 after a layer is removed.
    virtual void OnLayerRemoval(int before);
    // loading non-zero reads the file, zero writes it; 1 or 0.
    virtual int Serialize(KitFile& file, int loading);
    virtual void Reserved();
    virtual ~LayeredDocument() = default;

    // Frees every layer, mask and the document mask's data; active layer 0.
    void Empty();
    // Reads a whole file into the emptied document; 1 when its link chunk
    // was reached. Any failure leaves the document empty.
    int Read(KitFile& file, LayerKinds kinds);
    int Write(KitFile& file) const;
    void RemoveLayer(std::size_t index);

    std::vector<std::unique_ptr<ImageLayer>> layers;
    MaskPlane documentMask;
    std::vector<std::unique_ptr<MaskPlane>> masks;
    std::int32_t canvasWidth = 0;
    std::int32_t canvasHeight = 0;
    std::int32_t activeLayer = 0;

private:
    int ReadChunks(KitFile& file, LayerKinds kinds);
};

}  // namespace kit
