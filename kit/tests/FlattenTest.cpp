// The editor's layered object: flattening to background, active layer and
// what lies above; the edited layer brought back; the merged picture.
#include "KitTestSupport.h"

#include "imagecore/ParallelFor.h"
#include "kit/Blend.h"
#include "kit/KitFile.h"
#include "kit/LayeredImage.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using kittest::Colour;

struct LayerSpec {
    Colour colour;
    std::uint8_t opacity = 255;
    std::uint8_t blend = kit::kNormal;
    int visible = 1;
};

// A 4 x 3 canvas of solid layers, as read by the object from its file.
class Flatten : public testing::Test {
protected:
    int Load(std::initializer_list<LayerSpec> specs, int active)
    {
        kit::LayeredDocument doc;
        doc.canvasWidth = 4;
        doc.canvasHeight = 3;
        for (const LayerSpec& s : specs) {
            doc.layers.push_back(kittest::SolidLayer(4, 3, s.colour, 0, 0, s.opacity, s.blend));
            doc.layers.back()->visible = s.visible;
        }
        doc.activeLayer = active;
        doc.documentMask = std::move(m_mask);
        const kittest::Bytes bytes = kittest::WriteFile(doc);
        kit::MemoryFile file(bytes.data(), bytes.size());
        return m_object.FromKitFile(file);
    }
    const kit::ImageLayer& Layer(std::size_t i) { return *m_object.Document()->layers.at(i); }
    std::size_t LayerCount() { return m_object.Document()->layers.size(); }
    CPixel MergedAt(int x, int y)
    {
        const INTERNAL_IMAGE merged = m_object.Merged();
        CPixel p;
        std::memcpy(&p, merged.bits + (y * merged.width + x) * 4, 4);
        return p;
    }

    kit::CComplexImageUtils m_object;
    kit::MaskPlane m_mask;
};

TEST_F(Flatten, ActiveBackgroundKeepsItAndMergesTheRestIntoLayerOne)
{
    ASSERT_EQ(Load({{{10, 20, 30, 255}}, {{200, 0, 0, 255}, 128}, {{0, 0, 90, 255}, 255, kit::kLighten}}, 0), 1);
    ASSERT_EQ(LayerCount(), 2u);
    EXPECT_EQ(Layer(0).image.GetPixel(0, 0), 0xFF1E140Au) << "background unchanged";
    // Transparent canvas: layer 1 gives (200, 0, 0) at alpha 128; lighten by
    // (0, 0, 90) at e 255 gives (200, 0, 90), alpha 255.
    EXPECT_EQ(Layer(1).image.GetPixel(3, 2), 0xFF5A00C8u);
    EXPECT_EQ(Layer(1).opacity, 255);
    EXPECT_EQ(Layer(1).blend, kit::kNormal);
    EXPECT_EQ(m_object.GetImageForEdit().bits, Layer(0).image.GetBuffer(0, 0));
    EXPECT_EQ(MergedAt(1, 1).b, 200);
    EXPECT_EQ(MergedAt(1, 1).r, 90);
    EXPECT_EQ(m_object.Merged().width, 4);
}

TEST_F(Flatten, ActiveOneKeepsBackgroundAndActive)
{
    ASSERT_EQ(Load({{{10, 10, 10, 255}}, {{60, 60, 60, 255}, 255, kit::kMultiply}, {{100, 100, 100, 255}, 128},
                    {{0, 0, 0, 255}, 255, kit::kScreen}},
                   1),
              1);
    ASSERT_EQ(LayerCount(), 3u);
    EXPECT_EQ(Layer(1).image.GetPixel2(0, 0).b, 60) << "the active layer is not touched";
    EXPECT_EQ(Layer(1).blend, kit::kMultiply);
    // Above: (100) at alpha 128, then screen by black keeps the colour, alpha 255.
    EXPECT_EQ(Layer(2).image.GetPixel2(0, 0).b, 100);
    EXPECT_EQ(Layer(2).image.GetPixel2(0, 0).a, 255);
    // Merged: 10 multiplied by 60 is 2, then 100 over it at full weight.
    EXPECT_EQ(MergedAt(2, 2).b, 100);
}

TEST_F(Flatten, LayersBelowTheActiveGoIntoTheBackground)
{
    ASSERT_EQ(Load({{{10, 10, 10, 0}}, {{200, 200, 200, 255}, 100}, {{0, 0, 0, 255}, 255, kit::kScreen},
                    {{50, 60, 70, 255}}, {{1, 1, 1, 255}, 0}},
                   3),
              1);
    ASSERT_EQ(LayerCount(), 3u);
    EXPECT_EQ(m_object.Document()->activeLayer, 1);
    // 10 under 200 at e 100 rounds down to 84; screen by black keeps 84.
    EXPECT_EQ(Layer(0).image.GetPixel(1, 1), 0xFF545454u);
    EXPECT_EQ(m_object.GetImageForEdit().bits[0], 50);
    EXPECT_EQ(Layer(2).image.GetPixel(0, 0), 0u) << "opacity 0: the upper layer stays transparent";
    EXPECT_EQ(MergedAt(0, 0).r, 70);
}

TEST_F(Flatten, TopActiveLayerHasNothingAbove)
{
    ASSERT_EQ(Load({{{10, 10, 10, 255}}, {{30, 30, 30, 255}}}, 1), 1);
    EXPECT_EQ(LayerCount(), 2u);
    EXPECT_EQ(MergedAt(0, 0).b, 30);
    ASSERT_EQ(Load({{{10, 10, 10, 255}}}, 0), 1);
    EXPECT_EQ(LayerCount(), 1u);
    EXPECT_EQ(MergedAt(0, 0).b, 10);
}

// A layer of opacity 0 changes nothing below, at or above the active layer.
TEST_F(Flatten, OpacityZeroChangesNothing)
{
    ASSERT_EQ(Load({{{10, 20, 30, 255}}, {{40, 50, 60, 255}}, {{70, 80, 90, 255}, 128}}, 1), 1);
    std::vector<unsigned char> reference(m_object.Merged().bits, m_object.Merged().bits + 4 * 3 * 4);
    ASSERT_EQ(Load({{{10, 20, 30, 255}}, {{0, 0, 0, 255}, 0, kit::kDifference}, {{40, 50, 60, 255}},
                    {{255, 255, 255, 255}, 0}, {{70, 80, 90, 255}, 128}, {{255, 0, 0, 255}, 0, kit::kMultiply}},
                   2),
              1);
    EXPECT_EQ(std::vector<unsigned char>(m_object.Merged().bits, m_object.Merged().bits + 48), reference);
}

// The layer that takes the upper composite is shown even when the layer it
// was had been hidden; hidden layers above are blended all the same.
TEST_F(Flatten, HiddenLayerAboveTheActiveKeepsTheUpperLayers)
{
    ASSERT_EQ(Load({{{10, 10, 10, 255}}, {{20, 20, 20, 255}}, {{30, 30, 30, 255}, 255, kit::kNormal, 0},
                    {{40, 40, 40, 255}, 255, kit::kLighten}},
                   1),
              1);
    ASSERT_EQ(LayerCount(), 3u);
    EXPECT_EQ(Layer(2).visible, 1);
    EXPECT_EQ(MergedAt(0, 0).b, 40);
}

TEST_F(Flatten, ActiveIndexOutsideTheLayersReadsAsTheFirst)
{
    // The header's active index names no layer chunk: the background stays active.
    ASSERT_EQ(Load({{{10, 10, 10, 255}}, {{20, 20, 20, 255}}}, 7), 1);
    EXPECT_EQ(m_object.GetImageForEdit().bits[0], 10);
}

// The layer above the active one covers the background, not a larger
// canvas the header declares: a small file cannot ask for gigabytes.
TEST(FlattenCanvas, UpperLayerTakesTheBackgroundsSizeWithinTheCanvas)
{
    struct Case {
        int canvasW, canvasH, upperW, upperH;
    };
    for (const Case& c : {Case{65535, 64290, 3, 2}, Case{2, 65535, 2, 2}, Case{3, 2, 3, 2}}) {
        SCOPED_TRACE(c.canvasW);
        kit::LayeredDocument doc;
        doc.canvasWidth = c.canvasW;
        doc.canvasHeight = c.canvasH;
        doc.layers.push_back(kittest::SolidLayer(3, 2, {10, 10, 10, 255}));
        doc.layers.push_back(kittest::SolidLayer(1, 1, {20, 20, 20, 255}));
        doc.layers.push_back(kittest::SolidLayer(1, 1, {30, 30, 30, 255}, 1, 1));
        doc.activeLayer = 1;
        const kittest::Bytes bytes = kittest::WriteFile(doc);
        kit::MemoryFile file(bytes.data(), bytes.size());
        kit::CComplexImageUtils object;
        ASSERT_EQ(object.FromKitFile(file), 1);
        UINT w = 0, h = 0;
        object.Document()->layers.at(2)->image.GetSize(&w, &h);
        EXPECT_EQ(int(w), c.upperW);
        EXPECT_EQ(int(h), c.upperH);
        EXPECT_EQ(object.Merged().bits[(1 * 3 + 1) * 4], 30);
    }
}

INTERNAL_IMAGE EditOf(std::vector<unsigned char>& copy, const INTERNAL_IMAGE& layer)
{
    copy.assign(layer.bits, layer.bits + std::size_t(layer.width) * layer.height * 4);
    return {layer.width, layer.height, copy.data()};
}

TEST_F(Flatten, MaybeChangedOfAnotherSizeTouchesNothing)
{
    ASSERT_EQ(Load({{{10, 10, 10, 255}}, {{20, 20, 20, 255}}}, 1), 1);
    std::vector<unsigned char> other(5 * 3 * 4, 99);
    const INTERNAL_IMAGE image{5, 3, other.data()};
    const INTERNAL_IMAGE back = m_object.MaybeChanged(image);
    EXPECT_EQ(back.bits, other.data());
    EXPECT_EQ(back.width, 5);
    EXPECT_EQ(m_object.GetImageForEdit().bits[0], 20);
    EXPECT_EQ(MergedAt(0, 0).b, 20);
}

TEST_F(Flatten, MaybeChangedWithoutAnEditReturnsTheMergedPicture)
{
    ASSERT_EQ(Load({{{10, 10, 10, 255}}, {{20, 20, 20, 255}, 128}}, 1), 1);
    std::vector<unsigned char> copy;
    INTERNAL_IMAGE edit = EditOf(copy, m_object.GetImageForEdit());
    copy[3] = 7; // alpha is not looked at
    const INTERNAL_IMAGE back = m_object.MaybeChanged(edit);
    EXPECT_EQ(back.bits, m_object.Merged().bits);
    EXPECT_EQ(back.width, 4);
    EXPECT_EQ(m_object.GetImageForEdit().bits[3], 255);
}

TEST_F(Flatten, MaybeChangedWithoutMaskTakesTheColourAndKeepsAlpha)
{
    ASSERT_EQ(Load({{{10, 10, 10, 255}}, {{20, 20, 20, 200}}}, 1), 1);
    std::vector<unsigned char> copy;
    INTERNAL_IMAGE edit = EditOf(copy, m_object.GetImageForEdit());
    const std::size_t at = (2 * 4 + 3) * 4;
    copy[at] = 250;
    copy[at + 3] = 9;
    const INTERNAL_IMAGE back = m_object.MaybeChanged(edit);
    ASSERT_EQ(back.bits, m_object.Merged().bits);
    const unsigned char* layer = m_object.GetImageForEdit().bits;
    EXPECT_EQ(layer[at], 250);
    EXPECT_EQ(layer[at + 3], 200);
    EXPECT_EQ(MergedAt(3, 2).b, (10 * 55 + 250 * 200 + 127) / 255);
    EXPECT_EQ(MergedAt(2, 2).b, (10 * 55 + 20 * 200 + 127) / 255);
}

TEST_F(Flatten, DocumentMaskOfZeroKeepsEveryEditOut)
{
    m_mask.Create(4, 3);
    ASSERT_EQ(Load({{{10, 10, 10, 255}}, {{20, 20, 20, 255}}}, 1), 1);
    std::vector<unsigned char> copy;
    INTERNAL_IMAGE edit = EditOf(copy, m_object.GetImageForEdit());
    std::memset(copy.data(), 200, copy.size());
    const INTERNAL_IMAGE back = m_object.MaybeChanged(edit);
    EXPECT_EQ(back.bits, m_object.Merged().bits);
    EXPECT_EQ(MergedAt(1, 1).b, 20);
    EXPECT_EQ(m_object.GetImageForEdit().bits[0], 20);
}

// A mask selecting the left half: full there, half-way on its edge, nothing right.
TEST_F(Flatten, DocumentMaskWeighsTheEdit)
{
    m_mask.Create(4, 3);
    for (int y = 0; y < 3; ++y) {
        m_mask.data[y * 4 + 0] = 255;
        m_mask.data[y * 4 + 1] = 128;
    }
    ASSERT_EQ(Load({{{10, 10, 10, 255}}, {{20, 20, 20, 255}}}, 1), 1);
    std::vector<unsigned char> copy;
    INTERNAL_IMAGE edit = EditOf(copy, m_object.GetImageForEdit());
    for (std::size_t i = 0; i < copy.size(); i += 4)
        copy[i] = copy[i + 1] = copy[i + 2] = 220;
    m_object.MaybeChanged(edit);
    const unsigned char* layer = m_object.GetImageForEdit().bits;
    EXPECT_EQ(layer[(4 + 0) * 4], 220);
    EXPECT_EQ(layer[(4 + 1) * 4], (220 * 128 + 20 * 127) / 255);
    EXPECT_EQ(layer[(4 + 2) * 4], 20);
    EXPECT_EQ(MergedAt(0, 1).g, 220);
    EXPECT_EQ(MergedAt(3, 1).g, 20);
}

// A layer placed off the origin meets the mask at its canvas position.
TEST(FlattenPlacement, MaskIsReadAtTheLayersCanvasPosition)
{
    kit::LayeredDocument doc;
    doc.canvasWidth = 4;
    doc.canvasHeight = 1;
    doc.layers.push_back(kittest::SolidLayer(4, 1, {0, 0, 0, 255}));
    doc.layers.push_back(kittest::SolidLayer(3, 1, {0, 0, 0, 255}, -1, 0));
    doc.activeLayer = 1;
    doc.documentMask.Create(4, 1);
    doc.documentMask.data = {255, 0, 255, 255};
    const kittest::Bytes bytes = kittest::WriteFile(doc);
    kit::MemoryFile file(bytes.data(), bytes.size());
    kit::CComplexImageUtils object;
    ASSERT_EQ(object.FromKitFile(file), 1);
    std::vector<unsigned char> copy(3 * 4, 100);
    object.MaybeChanged({3, 1, copy.data()});
    const unsigned char* layer = object.GetImageForEdit().bits;
    // Columns -1 (outside the mask), 0 (255), 1 (0).
    EXPECT_EQ(layer[0], 0);
    EXPECT_EQ(layer[4], 100);
    EXPECT_EQ(layer[8], 0);
}

TEST(FlattenEmpty, WithoutDocumentNothingIsTouched)
{
    kit::CComplexImageUtils object;
    EXPECT_EQ(object.GetImageForEdit().bits, nullptr);
    EXPECT_EQ(object.GetImageForEdit().width, 0);
    unsigned char pixel[4] = {1, 2, 3, 4};
    const INTERNAL_IMAGE back = object.MaybeChanged({1, 1, pixel});
    EXPECT_EQ(back.bits, pixel);
    EXPECT_EQ(object.Document(), nullptr);
}

// Flattening a large document on every core gives the bytes of one core.
TEST(FlattenCores, AllCoresGiveTheBytesOfOne)
{
    kit::LayeredDocument doc;
    doc.canvasWidth = 700;
    doc.canvasHeight = 600;
    for (int i = 0; i < 6; ++i) {
        doc.layers.push_back(kittest::PatternLayer(i ? 650 : 700, i ? 580 : 600, i));
        doc.layers.back()->x = 7 * i;
        doc.layers.back()->blend = static_cast<std::uint8_t>(i == 3 ? kit::kMultiply : i == 5 ? kit::kScreen : 0);
        doc.layers.back()->opacity = static_cast<std::uint8_t>(250 - 30 * i);
    }
    doc.activeLayer = 3;
    const kittest::Bytes bytes = kittest::WriteFile(doc);
    kit::CComplexImageUtils many, one;
    kit::MemoryFile a(bytes.data(), bytes.size()), b(bytes.data(), bytes.size());
    ASSERT_EQ(many.FromKitFile(a), 1);
    {
        imagecore::ScopedSingleThread single;
        ASSERT_EQ(one.FromKitFile(b), 1);
    }
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_EQ(std::memcmp(many.Document()->layers[i]->image.GetBuffer(0, 0),
                              one.Document()->layers[i]->image.GetBuffer(0, 0),
                              one.Document()->layers[i]->image.GetAreaByteSize()),
                  0)
            << i;
    EXPECT_EQ(std::memcmp(many.Merged().bits, one.Merged().bits, 700 * 600 * 4), 0);
}

}  // namespace
