// The layered file: what the writer stores, what the reader takes back, and
// how the reader refuses files that disagree with themselves.
#include "KitTestSupport.h"

#include "kit/Blend.h"
#include "kit/KitFile.h"
#include "kit/LayeredImage.h"
#include "kit/LittleEndian.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

namespace {

using kittest::Bytes;
using kittest::Colour;
using kittest::FileBuilder;

int ReadDocument(const Bytes& bytes, kit::LayeredDocument& doc)
{
    kit::MemoryFile file(bytes.data(), bytes.size());
    return doc.Serialize(file, 1);
}

bool SamePixels(const CQLImage& a, const CQLImage& b)
{
    UINT aw = 0, ah = 0, bw = 0, bh = 0;
    a.GetSize(&aw, &ah);
    b.GetSize(&bw, &bh);
    return aw == bw && ah == bh && std::memcmp(a.GetBuffer(0, 0), b.GetBuffer(0, 0), a.GetAreaByteSize()) == 0;
}

// The chunk types of a file in order, from its own lengths.
std::vector<std::uint8_t> ChunkTypes(const Bytes& bytes)
{
    std::vector<std::uint8_t> types;
    std::size_t at = kit::GetLE32(bytes.data());
    while (at + 8 <= bytes.size()) {
        types.push_back(bytes[at]);
        at += 8 + kit::GetLE32(&bytes[at + 4]);
    }
    return types;
}

// Background, a text layer and an image layer; two masks, a document mask.
kit::LayeredDocument& FullDocument(kit::LayeredDocument& doc)
{
    doc.canvasWidth = 5;
    doc.canvasHeight = 4;
    doc.layers.push_back(kittest::PatternLayer(5, 4, 1));
    auto text = std::make_unique<kit::TextLayer>();
    text->image.Create(3, 2);
    std::memset(text->image.GetBuffer(0, 0), 0x44, text->image.GetAreaByteSize());
    std::strcpy(text->text, "Hello, layers");
    text->attributes[4] = 7;
    text->x = -2;
    text->y = 3;
    text->opacity = 90;
    text->blend = kit::kScreen;
    text->visible = 0;
    std::strcpy(text->name, "Caption");
    doc.layers.push_back(std::move(text));
    doc.layers.push_back(kittest::PatternLayer(2, 3, 2));
    doc.layers[2]->blend = kit::kDifference;
    for (int m = 0; m < 2; ++m) {
        auto mask = std::make_unique<kit::MaskPlane>();
        mask->Create(3 + m, 2);
        for (std::size_t i = 0; i < mask->data.size(); ++i)
            mask->data[i] = static_cast<unsigned char>(i * 40 + m);
        doc.masks.push_back(std::move(mask));
    }
    doc.layers[0]->mask = doc.masks[1].get();
    doc.layers[2]->mask = doc.masks[0].get();
    doc.documentMask.Create(5, 4);
    doc.documentMask.data[7] = 200;
    doc.activeLayer = 2;
    return doc;
}

TEST(LayeredFile, RoundTripKeepsEveryLayerMaskAndLink)
{
    kit::LayeredDocument doc;
    const Bytes bytes = kittest::WriteFile(FullDocument(doc));
    ASSERT_FALSE(bytes.empty());
    EXPECT_EQ(kit::GetLE32(bytes.data()), 20u);
    EXPECT_EQ(bytes[4], 10) << "version";
    EXPECT_EQ(bytes[5], 3);
    EXPECT_EQ(bytes[6], 2);
    EXPECT_EQ(bytes[7], 2);
    EXPECT_EQ(bytes[8], 1);
    EXPECT_EQ(ChunkTypes(bytes), (std::vector<std::uint8_t>{1, 1, 1, 2, 2, 3, 4}));
    // The text layer's chunk: 56 + 1100 bytes of extra data + 3 x 2 pixels.
    const std::size_t second = 20 + 8 + kit::GetLE32(&bytes[24]);
    EXPECT_EQ(kit::GetLE32(&bytes[second + 4]), 56u + 1100u + 24u);
    EXPECT_EQ(kit::GetLE32(&bytes[second + 8 + 52]), 1100u);

    kit::LayeredDocument back;
    ASSERT_EQ(ReadDocument(bytes, back), 1);
    EXPECT_EQ(back.canvasWidth, 5);
    EXPECT_EQ(back.canvasHeight, 4);
    EXPECT_EQ(back.activeLayer, 2);
    ASSERT_EQ(back.layers.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const kit::ImageLayer& a = *doc.layers[i];
        const kit::ImageLayer& b = *back.layers[i];
        EXPECT_EQ(b.x, a.x);
        EXPECT_EQ(b.y, a.y);
        EXPECT_EQ(b.visible, a.visible);
        EXPECT_EQ(b.opacity, a.opacity);
        EXPECT_EQ(b.blend, a.blend);
        EXPECT_EQ(b.kind, a.kind);
        EXPECT_EQ(std::memcmp(b.name, a.name, 32), 0);
        EXPECT_TRUE(SamePixels(a.image, b.image));
    }
    const auto& text = dynamic_cast<const kit::TextLayer&>(*back.layers[1]);
    EXPECT_STREQ(text.text, "Hello, layers");
    EXPECT_EQ(std::memcmp(text.attributes, static_cast<kit::TextLayer&>(*doc.layers[1]).attributes, 72), 0);
    ASSERT_EQ(back.masks.size(), 2u);
    EXPECT_EQ(back.masks[1]->width, 4);
    EXPECT_EQ(back.masks[1]->data, doc.masks[1]->data);
    EXPECT_EQ(back.layers[0]->mask, back.masks[1].get());
    EXPECT_EQ(back.layers[1]->mask, nullptr);
    EXPECT_EQ(back.layers[2]->mask, back.masks[0].get());
    EXPECT_EQ(back.documentMask.data, doc.documentMask.data);
}

TEST(LayeredFile, NewTextLayerHasItsDefaultAttributes)
{
    const kit::TextLayer text;
    std::uint32_t length = 0;
    unsigned char* raw = nullptr;
    ASSERT_EQ(text.GetExtraData(&length, nullptr), 1);
    EXPECT_EQ(length, 1100u);
    ASSERT_EQ(text.GetExtraData(&length, &raw), 1);
    const std::unique_ptr<unsigned char[]> extra(raw);
    EXPECT_EQ(kit::GetLE32(extra.get()), 1u) << "kind";
    const unsigned char* a = extra.get() + 4;
    const std::uint32_t expected[] = {0xFFFFFFFFu, 0, 1, 0, 0, 0, 0};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(kit::GetLE32(a + 4 * i), expected[i]) << "offset " << 4 * i;
    EXPECT_STREQ(reinterpret_cast<const char*>(a + 28), "Arial");
    EXPECT_EQ(kit::GetLE32(a + 60), 0u);
    EXPECT_EQ(kit::GetLE32(a + 64), 16u);

    const kit::ImageLayer image;
    ASSERT_EQ(image.GetExtraData(&length, nullptr), 1);
    EXPECT_EQ(length, 4u);
}

TEST(LayeredFile, WithoutDocumentMaskNoTypeThreeChunk)
{
    kit::LayeredDocument doc;
    FullDocument(doc).documentMask.Clear();
    const Bytes bytes = kittest::WriteFile(doc);
    EXPECT_EQ(bytes[8], 0);
    EXPECT_EQ(ChunkTypes(bytes), (std::vector<std::uint8_t>{1, 1, 1, 2, 2, 4}));
    kit::LayeredDocument back;
    ASSERT_EQ(ReadDocument(bytes, back), 1);
    EXPECT_FALSE(back.documentMask.HasData());
}

// Longer headers keep their fields at the same offsets; the rest is skipped.
TEST(LayeredFile, LongerHeaderIsRead)
{
    const Colour red{0, 0, 255, 255};
    for (std::uint32_t size : {24u, 20u + 4096u}) {
        SCOPED_TRACE(size);
        const Bytes bytes = FileBuilder()
                                .Header(1, 0, 0, false, 2, 2, size)
                                .Layer(2, 2, kittest::KindExtra(0), kittest::Pixels(2, 2, red))
                                .Links({-1})
                                .Take();
        kit::LayeredDocument doc;
        ASSERT_EQ(ReadDocument(bytes, doc), 1);
        ASSERT_EQ(doc.layers.size(), 1u);
        EXPECT_EQ(doc.layers[0]->image.GetPixel2(1, 1).r, 255);
    }
}

struct Malformed {
    const char* what;
    std::function<Bytes()> make;
    // A fault of the kind's extra data, which the editor's object never reads.
    bool kindOnly = false;
};

Bytes GoodFile()
{
    return FileBuilder()
        .Header(2, 1, 1, true, 3, 2)
        .Layer(3, 2, kittest::KindExtra(0), kittest::Pixels(3, 2, {1, 2, 3, 255}))
        .Layer(2, 2, kittest::KindExtra(0), kittest::Pixels(2, 2, {9, 9, 9, 255}), 1, 0)
        .Plane(2, 2, 2, Bytes(4, 255))
        .Plane(3, 3, 2, Bytes(6, 128))
        .Links({0, -1})
        .Take();
}

// Every malformed file fails without a message and leaves the document empty.
TEST(LayeredFile, MalformedFilesFailCleanly)
{
    const Bytes good = GoodFile();
    const std::vector<Malformed> cases = {
        {"empty file", [] { return Bytes{}; }},
        {"header size 0", [] { return FileBuilder().Header(0, 0, 0, false, 2, 2, 0).Take(); }},
        {"header size 3", [] { return FileBuilder().Header(0, 0, 0, false, 2, 2, 3).Take(); }},
        {"header size 19", [&] { Bytes b = good; kit::PutLE32(b.data(), 19); return b; }},
        {"header extra beyond 4096", [&] { Bytes b = good; kit::PutLE32(b.data(), 20 + 4097); return b; }},
        {"header cut short", [&] { return Bytes(good.begin(), good.begin() + 12); }},
        {"canvas width 0", [&] { Bytes b = good; kit::PutLE32(&b[12], 0); return b; }},
        {"canvas height 65536", [&] { Bytes b = good; kit::PutLE32(&b[16], 65536); return b; }},
        {"truncated chunk", [&] { return Bytes(good.begin(), good.begin() + 60); }},
        {"chunk length beyond the file", [&] { Bytes b = good; kit::PutLE32(&b[24], 0x7FFFFFF0); return b; }},
        {"width x height beyond the payload", [&] { Bytes b = good; kit::PutLE32(&b[28 + 44], 4); return b; }},
        {"width x height short of the payload", [&] { Bytes b = good; kit::PutLE32(&b[28 + 48], 1); return b; }},
        {"layer width 0",
         [] {
             return FileBuilder().Header(1, 0, 0, false, 2, 2).Layer(0, 2, kittest::KindExtra(0), {}).Links({-1}).Take();
         }},
        {"pixel bytes that only fit when wrapped to 32 bits",
         [] {
             // 65535 x 16385 x 4 is 65404 modulo 2^32.
             return FileBuilder()
                 .Header(1, 0, 0, false, 2, 2)
                 .Layer(65535, 16385, kittest::KindExtra(0), kittest::Pixels(16351, 1, {}))
                 .Links({-1})
                 .Take();
         }},
        {"extra length beyond the payload",
         [&] { Bytes b = good; kit::PutLE32(&b[28 + 52], 0xFFFFFFF0); return b; }},
        {"layer extra without a kind",
         [] {
             return FileBuilder().Header(1, 0, 0, false, 1, 1).Layer(1, 1, Bytes(2, 0), kittest::Pixels(1, 1, {})).Links({-1}).Take();
         },
         true},
        {"text layer with 40 bytes of extra data",
         [] {
             return FileBuilder()
                 .Header(1, 0, 0, false, 2, 2)
                 .Layer(2, 2, kittest::KindExtra(1, 40), kittest::Pixels(2, 2, {}))
                 .Links({-1})
                 .Take();
         },
         true},
        {"mask bytes short of width x height",
         [] {
             return FileBuilder().Header(0, 1, 0, false, 2, 2).Plane(2, 3, 3, Bytes(8, 0)).Links({}).Take();
         }},
        {"document mask of negative width",
         [] { return FileBuilder().Header(0, 0, 0, true, 2, 2).Plane(3, -1, 0, {}).Links({}).Take(); }},
        {"link chunk too short", [&] { Bytes b = good; b.resize(b.size() - 4); kit::PutLE32(&b[b.size() - 4], 2); b.resize(b.size() + 2, 0); return b; }},
        {"link chunk too long",
         [] {
             return FileBuilder()
                 .Header(1, 0, 0, false, 1, 1)
                 .Layer(1, 1, kittest::KindExtra(0), kittest::Pixels(1, 1, {}))
                 .Links({-1, -1})
                 .Take();
         }},
        {"no link chunk", [&] { return Bytes(good.begin(), good.end() - 12); }},
        {"ends in a chunk header", [&] { Bytes b(good.begin(), good.end() - 12); b.resize(b.size() + 5, 4); return b; }},
    };
    for (const Malformed& c : cases) {
        SCOPED_TRACE(c.what);
        kit::LayeredDocument doc;
        doc.layers.push_back(kittest::SolidLayer(2, 2, {}));
        doc.activeLayer = 5;
        EXPECT_EQ(ReadDocument(c.make(), doc), 0);
        EXPECT_TRUE(doc.layers.empty());
        EXPECT_TRUE(doc.masks.empty());
        EXPECT_FALSE(doc.documentMask.HasData());
        EXPECT_EQ(doc.activeLayer, 0);

        kit::CComplexImageUtils object;
        const Bytes bytes = c.make();
        kit::MemoryFile file(bytes.data(), bytes.size());
        EXPECT_EQ(object.FromKitFile(file), c.kindOnly ? 1 : 0);
        EXPECT_EQ(object.GetImageForEdit().bits == nullptr, !c.kindOnly);
    }
    kit::LayeredDocument doc;
    EXPECT_EQ(ReadDocument(good, doc), 1) << "the file the cases start from";
}

// Unknown chunk types are skipped; a layer of an unknown kind is skipped by
// the document reader but read as an image layer by the editor's object.
TEST(LayeredFile, UnknownChunksAndKinds)
{
    const Bytes bytes = FileBuilder()
                            .Header(3, 0, 2, false, 2, 2)
                            .Layer(2, 2, kittest::KindExtra(0), kittest::Pixels(2, 2, {10, 10, 10, 255}))
                            .Chunk(9, Bytes(13, 0x55))
                            .Layer(2, 2, kittest::KindExtra(2, 12), kittest::Pixels(2, 2, {0, 0, 200, 255}))
                            .Layer(1, 1, kittest::KindExtra(0), kittest::Pixels(1, 1, {0, 99, 0, 255}))
                            .Links({-1, -1, -1})
                            .Take();
    kit::LayeredDocument doc;
    ASSERT_EQ(ReadDocument(bytes, doc), 1);
    ASSERT_EQ(doc.layers.size(), 2u);
    EXPECT_EQ(doc.layers[1]->image.GetPixel2(0, 0).g, 99);
    EXPECT_EQ(doc.activeLayer, 1) << "the third layer chunk";

    kit::CComplexImageUtils object;
    kit::MemoryFile file(bytes.data(), bytes.size());
    ASSERT_EQ(object.FromKitFile(file), 1);
    const INTERNAL_IMAGE edit = object.GetImageForEdit();
    EXPECT_EQ(edit.width, 1);
    EXPECT_EQ(edit.bits[1], 99);
    // Active layer 2 of three: the kind-2 layer went into the background.
    ASSERT_EQ(object.Document()->layers.size(), 2u);
    EXPECT_EQ(object.Document()->layers[0]->image.GetPixel2(0, 0).r, 200);
}

// Links reach only masks that were read; -1 and indexes past the list mean none.
TEST(LayeredFile, LinksOutsideTheMaskListLeaveNoMask)
{
    const Bytes one = kittest::Pixels(1, 1, {});
    const Bytes bytes = FileBuilder()
                            .Header(4, 1, 0, false, 1, 1)
                            .Layer(1, 1, kittest::KindExtra(0), one)
                            .Layer(1, 1, kittest::KindExtra(0), one)
                            .Layer(1, 1, kittest::KindExtra(0), one)
                            .Layer(1, 1, kittest::KindExtra(0), one)
                            .Plane(2, 1, 1, Bytes(1, 7))
                            .Links({-1, 1, 0, 300})
                            .Take();
    kit::LayeredDocument doc;
    ASSERT_EQ(ReadDocument(bytes, doc), 1);
    ASSERT_EQ(doc.layers.size(), 4u);
    EXPECT_EQ(doc.layers[0]->mask, nullptr);
    EXPECT_EQ(doc.layers[1]->mask, nullptr);
    EXPECT_EQ(doc.layers[2]->mask, doc.masks[0].get());
    EXPECT_EQ(doc.layers[3]->mask, nullptr);
}

// A text layer's text ends after 1023 characters even without its NUL.
TEST(LayeredFile, TextIsCutAt1023Characters)
{
    Bytes extra = kittest::KindExtra(1, 1100);
    std::memset(&extra[76], 'x', 1024);
    const Bytes bytes = FileBuilder()
                            .Header(1, 0, 0, false, 1, 1)
                            .Layer(1, 1, extra, kittest::Pixels(1, 1, {}))
                            .Links({-1})
                            .Take();
    kit::LayeredDocument doc;
    ASSERT_EQ(ReadDocument(bytes, doc), 1);
    const auto* text = dynamic_cast<const kit::TextLayer*>(doc.layers.at(0).get());
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(std::strlen(text->text), 1023u);
}

// Counts and the active index are single bytes: the writer refuses what
// would wrap instead of storing another number.
TEST(LayeredFile, WriterRefusesWhatAByteCannotHold)
{
    struct Case {
        int layers, masks, active;
        int result;
    };
    for (const Case& c : {Case{255, 0, 254, 1}, Case{256, 0, 0, 0}, Case{1, 256, 0, 0}, Case{1, 0, 256, 0},
                          Case{1, 0, -1, 0}}) {
        SCOPED_TRACE(c.layers * 1000 + c.masks);
        kit::LayeredDocument doc;
        doc.canvasWidth = doc.canvasHeight = 1;
        for (int i = 0; i < c.layers; ++i)
            doc.layers.push_back(kittest::SolidLayer(1, 1, {}));
        for (int i = 0; i < c.masks; ++i)
            doc.masks.push_back(std::make_unique<kit::MaskPlane>());
        doc.activeLayer = c.active;
        kit::MemoryFile file;
        EXPECT_EQ(doc.Serialize(file, 0), c.result);
    }
}

// A file on disk, and a second read on the same object starts afresh.
TEST(LayeredFile, FromFileReadsADiskFileAndEmptiesFirst)
{
    kit::LayeredDocument doc;
    const Bytes bytes = kittest::WriteFile(FullDocument(doc));
    const std::string path = testing::TempDir() + "kit_full.qlk";
    {
        kit::DiskFile out;
        ASSERT_TRUE(out.OpenWrite(path.c_str()));
        ASSERT_EQ(out.Write(bytes.data(), bytes.size()), bytes.size());
        ASSERT_TRUE(out.Close());
    }
    kit::CComplexImageUtils object;
    EXPECT_EQ(object.FromFile((path + ".missing").c_str()), 0);
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        ASSERT_EQ(object.FromFile(path.c_str()), 1);
        // Active layer 2 is the top one: background with the text layer, the active layer.
        EXPECT_EQ(object.Document()->layers.size(), 2u);
        EXPECT_EQ(object.GetImageForEdit().width, 2);
        EXPECT_EQ(object.Merged().width, 5);
    }
}

}  // namespace
