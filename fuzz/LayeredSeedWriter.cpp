// Writes the layered-file fuzz seeds with the document's own writer:
//   fuzz_layered_seeds <folder>
#include "kit/KitFile.h"
#include "kit/LayeredDocument.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

namespace {

std::unique_ptr<kit::ImageLayer> Layer(int w, int h, int x, int y, std::uint8_t opacity, std::uint8_t blend, int seed)
{
    auto layer = std::make_unique<kit::ImageLayer>();
    layer->image.Create(static_cast<UINT>(w), static_cast<UINT>(h));
    for (int row = 0; row < h; ++row)
        for (int col = 0; col < w; ++col)
            layer->image.PutPixel(col, row, CPixel{BYTE(col * 40 + seed), BYTE(row * 60), BYTE(seed * 30), BYTE(255 - col * seed)});
    layer->x = x;
    layer->y = y;
    layer->opacity = opacity;
    layer->blend = blend;
    return layer;
}

bool Save(const kit::LayeredDocument& doc, const std::string& path)
{
    kit::DiskFile file;
    return file.OpenWrite(path.c_str()) && const_cast<kit::LayeredDocument&>(doc).Serialize(file, 0) && file.Close();
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    const std::string folder = std::string(argv[1]) + "/";
    bool ok = true;

    kit::LayeredDocument one;
    one.canvasWidth = one.canvasHeight = 2;
    one.layers.push_back(Layer(2, 2, 0, 0, 255, 0, 1));
    ok &= Save(one, folder + "one_layer.qlk");

    kit::LayeredDocument modes;
    modes.canvasWidth = 4;
    modes.canvasHeight = 3;
    modes.layers.push_back(Layer(4, 3, 0, 0, 255, 0, 1));
    const std::uint8_t blends[] = {1, 2, 5, 6, 10};
    for (int i = 0; i < 5; ++i)
        modes.layers.push_back(Layer(2, 2, i - 1, i % 3 - 1, static_cast<std::uint8_t>(255 - 50 * i), blends[i], i + 2));
    modes.activeLayer = 3;
    ok &= Save(modes, folder + "blend_modes.qlk");

    kit::LayeredDocument masked;
    masked.canvasWidth = 3;
    masked.canvasHeight = 2;
    masked.layers.push_back(Layer(3, 2, 0, 0, 255, 0, 1));
    auto text = std::make_unique<kit::TextLayer>();
    text->image.Create(2, 1);
    std::strcpy(text->text, "Caption");
    masked.layers.push_back(std::move(text));
    masked.layers.push_back(Layer(1, 2, 2, 0, 128, 5, 3));
    auto mask = std::make_unique<kit::MaskPlane>();
    mask->Create(2, 2);
    mask->data = {0, 64, 128, 255};
    masked.masks.push_back(std::move(mask));
    masked.layers[2]->mask = masked.masks[0].get();
    masked.documentMask.Create(3, 2);
    masked.documentMask.data = {255, 255, 128, 0, 0, 0};
    masked.activeLayer = 1;
    ok &= Save(masked, folder + "text_masks.qlk");
    return ok ? 0 : 1;
}
