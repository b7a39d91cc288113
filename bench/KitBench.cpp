// QuilloKit on a 4000 x 3000 document of eight layers in six blend modes,
// two of them below full opacity: reading and flattening the file beside
// `vips composite` of the same layers, and the merge after one edited pixel.
#include "BenchSupport.h"

#include "imagecore/QLImage.h"
#include "kit/Blend.h"
#include "kit/KitFile.h"
#include "kit/LayeredImage.h"

#ifdef QUILLO_PEER_VIPS
#include <vips/vips.h>
#endif

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr unsigned kWidth = 4000;
constexpr unsigned kHeight = 3000;
constexpr int kActive = 4;

struct LayerPlan {
    int blend;
    std::uint8_t opacity;
};

constexpr LayerPlan kPlan[] = {
    {kit::kNormal, 255},  {kit::kNormal, 200},  {kit::kMultiply, 255},   {kit::kScreen, 255},
    {kit::kDarken, 255},  {kit::kLighten, 255}, {kit::kDifference, 255}, {kit::kNormal, 128},
};

struct Fixture {
    std::string document;
    std::string vipsCommand;
};

// Layer i: the synthetic photo with its channels turned and an alpha ramp.
std::unique_ptr<kit::ImageLayer> MakeLayer(const CQLImage& photo, int i)
{
    auto layer = std::make_unique<kit::ImageLayer>();
    layer->image.Create(kWidth, kHeight);
    for (unsigned y = 0; y < kHeight; ++y) {
        const BYTE* s = photo.GetBuffer(0, static_cast<int>(y));
        BYTE* d = layer->image.GetBuffer(0, static_cast<int>(y));
        for (unsigned x = 0; x < kWidth; ++x, s += 4, d += 4) {
            d[0] = s[i % 3];
            d[1] = s[(i + 1) % 3];
            d[2] = static_cast<BYTE>(s[(i + 2) % 3] ^ (i * 37));
            d[3] = i == 0 ? 255 : static_cast<BYTE>(128 + ((x + y * i) & 127));
        }
    }
    layer->blend = static_cast<std::uint8_t>(kPlan[i].blend);
    layer->opacity = kPlan[i].opacity;
    return layer;
}

#ifdef QUILLO_PEER_VIPS
// The command line takes vips' blend modes by number.
int VipsMode(int blend)
{
    switch (blend) {
    case kit::kMultiply:
        return VIPS_BLEND_MODE_MULTIPLY;
    case kit::kScreen:
        return VIPS_BLEND_MODE_SCREEN;
    case kit::kDarken:
        return VIPS_BLEND_MODE_DARKEN;
    case kit::kLighten:
        return VIPS_BLEND_MODE_LIGHTEN;
    case kit::kDifference:
        return VIPS_BLEND_MODE_DIFFERENCE;
    default:
        return VIPS_BLEND_MODE_OVER;
    }
}

// The layer as RGBA with its opacity in the alpha, in vips' own format.
bool WriteVips(const kit::ImageLayer& layer, const std::string& path)
{
    std::vector<unsigned char> rgba(std::size_t{kWidth} * kHeight * 4);
    const BYTE* s = layer.image.GetBuffer(0, 0);
    for (std::size_t p = 0; p < std::size_t{kWidth} * kHeight; ++p) {
        rgba[4 * p] = s[4 * p + 2];
        rgba[4 * p + 1] = s[4 * p + 1];
        rgba[4 * p + 2] = s[4 * p];
        rgba[4 * p + 3] = static_cast<unsigned char>(s[4 * p + 3] * layer.opacity / 255);
    }
    VipsImage* image = vips_image_new_from_memory(rgba.data(), rgba.size(), kWidth, kHeight, 4, VIPS_FORMAT_UCHAR);
    if (!image)
        return false;
    image->Type = VIPS_INTERPRETATION_sRGB;
    const bool ok = vips_image_write_to_file(image, path.c_str(), nullptr) == 0;
    g_object_unref(image);
    return ok;
}
#endif

const Fixture& TheFixture()
{
    static const Fixture fixture = [] {
        Fixture f;
        CQLImage photo;
        MakeSyntheticPhoto(photo, kWidth, kHeight);
        kit::LayeredDocument doc;
        doc.canvasWidth = kWidth;
        doc.canvasHeight = kHeight;
        for (int i = 0; i < 8; ++i)
            doc.layers.push_back(MakeLayer(photo, i));
        doc.activeLayer = kActive;
        f.document = BenchFolder() + "/eight_layers.qlk";
        kit::DiskFile file;
        if (!file.OpenWrite(f.document.c_str()) || !doc.Serialize(file, 0) || !file.Close())
            f.document.clear();
#ifdef QUILLO_PEER_VIPS
        if (VIPS_INIT("bench_kit") == 0) {
            std::string inputs, modes;
            bool ok = true;
            for (int i = 0; i < 8; ++i) {
                const std::string path = BenchFolder() + "/layer" + std::to_string(i) + ".v";
                ok = ok && WriteVips(*doc.layers[i], path);
                inputs += (i ? " " : "") + path;
                if (i > 0)
                    modes += (i > 1 ? " " : "") + std::to_string(VipsMode(kPlan[i].blend));
            }
            if (ok)
                f.vipsCommand = "vips composite \"" + inputs + "\" " + BenchFolder() + "/composite.v \"" + modes + "\"";
        }
#endif
        return f;
    }();
    return fixture;
}

void BM_KitFromFile(benchmark::State& state)
{
    const Fixture& f = TheFixture();
    if (f.document.empty()) {
        state.SkipWithError("the document could not be written");
        return;
    }
    for (auto _ : state) {
        kit::CComplexImageUtils object;
        if (object.FromFile(f.document.c_str()) != 1) {
            state.SkipWithError("FromFile failed");
            return;
        }
        benchmark::DoNotOptimize(object.Merged().bits);
    }
}
BENCHMARK(BM_KitFromFile)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_VipsComposite(benchmark::State& state)
{
    const Fixture& f = TheFixture();
    if (f.vipsCommand.empty()) {
        state.SkipWithError("libvips is not installed (bench/run installs the peers)");
        return;
    }
    RunPeer(state, f.vipsCommand);
}
BENCHMARK(BM_VipsComposite)->Unit(benchmark::kMillisecond)->UseRealTime();

// One pixel of the active layer changes before each merge.
void BM_KitMaybeChanged(benchmark::State& state)
{
    const Fixture& f = TheFixture();
    kit::CComplexImageUtils object;
    if (f.document.empty() || object.FromFile(f.document.c_str()) != 1) {
        state.SkipWithError("FromFile failed");
        return;
    }
    const INTERNAL_IMAGE layer = object.GetImageForEdit();
    std::vector<unsigned char> edit(layer.bits, layer.bits + std::size_t(layer.width) * layer.height * 4);
    const std::size_t at = (std::size_t(layer.height / 2) * layer.width + layer.width / 2) * 4;
    for (auto _ : state) {
        edit[at] ^= 0x80;
        benchmark::DoNotOptimize(object.MaybeChanged({layer.width, layer.height, edit.data()}).bits);
    }
}
BENCHMARK(BM_KitMaybeChanged)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
