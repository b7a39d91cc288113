// Layered files, through the document reader and the editor's object: a
// refused file leaves the document empty; what is read writes and reads
// back to the same layers; an edit of the layer handed out never crashes.
#include "kit/KitFile.h"
#include "kit/LayeredImage.h"

#include <cstdlib>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    kit::LayeredDocument doc;
    kit::MemoryFile in(data, size);
    if (doc.Serialize(in, 1)) {
        kit::MemoryFile out;
        if (!doc.Serialize(out, 0))
            return 0; // counts past a byte cannot be written
        kit::LayeredDocument again;
        kit::MemoryFile back(out.Bytes().data(), out.Bytes().size());
        if (!again.Serialize(back, 1) || again.layers.size() != doc.layers.size() ||
            again.activeLayer != doc.activeLayer)
            std::abort();
    } else if (!doc.layers.empty() || !doc.masks.empty() || doc.documentMask.HasData()) {
        std::abort();
    }

    kit::CComplexImageUtils object;
    kit::MemoryFile file(data, size);
    if (!object.FromKitFile(file)) {
        if (object.GetImageForEdit().bits)
            std::abort();
        return 0;
    }
    const INTERNAL_IMAGE layer = object.GetImageForEdit();
    if (!IsSoundImage(layer))
        std::abort();
    std::vector<unsigned char> edit(layer.bits, layer.bits + std::size_t(layer.width) * layer.height * 4);
    for (std::size_t i = 0; i < edit.size(); i += 7)
        edit[i] ^= 0x5A;
    const INTERNAL_IMAGE merged = object.MaybeChanged({layer.width, layer.height, edit.data()});
    if (!merged.bits)
        std::abort();
    return 0;
}
