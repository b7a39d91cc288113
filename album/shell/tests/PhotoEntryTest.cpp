#include "album/shell/PhotoEntry.h"

#include "ShelfTestSupport.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cmath>
#include <cstring>
#include <functional>

using namespace shelf;
using shelftest::ReadBytes;
using shelftest::ScratchFolder;
using shelftest::WriteBytes;

namespace {

// Offsets of a record's fields: the length word comes first.
constexpr std::size_t kRec = 2;

std::unique_ptr<PhotoEntry> makeEntry(const char* name, int thumbW, int thumbH)
{
    auto e = std::make_unique<PhotoEntry>();
    std::strcpy(e->m_info.szFileName, name);
    e->m_info.stDateTaken = {2005, 7, 4, 14, 10, 20, 30, 400};
    e->m_info.stLastWrite = {2006, 1, 2, 3, 4, 5, 6, 7};
    e->m_info.nWidth = 4000;
    e->m_info.nHeight = 3000;
    e->m_info.nFileSize = 123456;
    std::strcpy(e->m_info.szModel, "Model X");
    e->m_info.fExposureTime = 0.004f;
    e->m_info.fFNumber = 5.6f;
    e->m_info.fSubjectDistance = 2.5f;
    e->m_info.wFlash = 16;
    e->m_info.fFocalLength = 35;
    e->m_info.fExposureBias = -0.7f;
    e->m_info.wISO = 200;
    for (int i = 0; i < 256; ++i)
        e->m_info.histogram[i] = static_cast<BYTE>(255 - i);
    e->m_info.nThumbState = kThumbDone;
    e->m_bPresent = 1;
    if (thumbW && thumbH) {
        e->m_thumb.Create(thumbW, thumbH);
        for (int y = 0; y < thumbH; ++y)
            for (int x = 0; x < thumbW; ++x) {
                BYTE* p = e->m_thumb.GetBuffer(x, y);
                p[0] = static_cast<BYTE>(x * 7 + y);
                p[1] = static_cast<BYTE>(y * 13 + 5);
                p[2] = static_cast<BYTE>(255 - x);
                p[3] = 255;
            }
    }
    return e;
}

std::string record(const char* name, int thumbW = 4, int thumbH = 3) { return makeEntry(name, thumbW, thumbH)->EncodeRecord(); }

void put16(std::string& r, std::size_t at, unsigned v)
{
    r[at] = static_cast<char>(v);
    r[at + 1] = static_cast<char>(v >> 8);
}
void put32(std::string& r, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        r[at + i] = static_cast<char>(v >> (8 * i));
}
void putFloat(std::string& r, std::size_t at, float f)
{
    std::uint32_t v;
    std::memcpy(&v, &f, 4);
    put32(r, at, v);
}

// A record of the given info block with a hand-made thumbnail block.
std::string withBlock(const std::string& base, const std::string& block)
{
    std::string r = base.substr(0, kRec + kPhotoFileInfoSize) + block;
    put16(r, 0, static_cast<unsigned>(r.size() - 2));
    return r;
}

std::string thumbBlock(std::uint32_t w, std::uint32_t h, std::size_t pixelBytes)
{
    std::string raw(pixelBytes, '\x11');
    std::string packed(compressBound(raw.size()), '\0');
    uLongf n = packed.size();
    compress(reinterpret_cast<Bytef*>(packed.data()), &n, reinterpret_cast<const Bytef*>(raw.data()), raw.size());
    std::string block(12, '\0');
    put32(block, 0, w);
    put32(block, 4, h);
    put32(block, 8, static_cast<std::uint32_t>(n));
    return block + packed.substr(0, n);
}

std::string lengthOnly(unsigned length)
{
    std::string r = record("x.jpg");
    r.resize(2 + length, '\0');
    put16(r, 0, length);
    return r;
}

PhotoEntries loadBytes(const std::string& bytes)
{
    FILE* file = fmemopen(const_cast<char*>(bytes.data()), bytes.size(), "rb");
    PhotoEntries entries;
    ReadPropertyRecords(file, entries);
    std::fclose(file);
    return entries;
}

} // namespace

TEST(PropertyFile, RecordRoundTripsFieldsAndBytes)
{
    auto original = makeEntry("IMG_0001.JPG", 4, 3);
    const std::string bytes = original->EncodeRecord();
    EXPECT_EQ(bytes.size(), 2u + (static_cast<BYTE>(bytes[0]) | static_cast<BYTE>(bytes[1]) << 8));
    EXPECT_EQ(static_cast<BYTE>(bytes[kRec + 652]), 2);

    PhotoEntries loaded = loadBytes(bytes);
    ASSERT_EQ(loaded.size(), 1u);
    const PhotoFileInfo& a = original->m_info;
    const PhotoFileInfo& b = loaded[0]->m_info;
    EXPECT_STREQ(b.szFileName, "IMG_0001.JPG");
    EXPECT_EQ(std::memcmp(&a.stDateTaken, &b.stDateTaken, 16), 0);
    EXPECT_EQ(std::memcmp(&a.stLastWrite, &b.stLastWrite, 16), 0);
    EXPECT_EQ(b.nWidth, 4000);
    EXPECT_EQ(b.nHeight, 3000);
    EXPECT_EQ(b.nFileSize, 123456);
    EXPECT_STREQ(b.szModel, "Model X");
    EXPECT_EQ(b.fExposureTime, 0.004f);
    EXPECT_EQ(b.fFNumber, 5.6f);
    EXPECT_EQ(b.fSubjectDistance, 2.5f);
    EXPECT_EQ(b.wFlash, 16);
    EXPECT_EQ(b.fFocalLength, 35.0f);
    EXPECT_EQ(b.fExposureBias, -0.7f);
    EXPECT_EQ(b.wISO, 200);
    EXPECT_EQ(std::memcmp(a.histogram, b.histogram, 256), 0);
    EXPECT_EQ(b.nThumbState, kThumbDone);

    UINT w = 0, h = 0;
    loaded[0]->m_thumb.GetSize(&w, &h);
    ASSERT_EQ(w, 4u);
    ASSERT_EQ(h, 3u);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            for (int c = 0; c < 3; ++c)
                EXPECT_EQ(loaded[0]->m_thumb.GetBuffer(x, y)[c], original->m_thumb.GetBuffer(x, y)[c] & 0xF8);
    // Written again, the record is the same bytes.
    EXPECT_EQ(loaded[0]->EncodeRecord(), bytes);
}

TEST(PropertyFile, WhiteReadsBackAs248AndNoThumbnailGives672)
{
    auto white = makeEntry("w.jpg", 1, 1);
    std::memset(white->m_thumb.GetBuffer(0, 0), 255, 4);
    PhotoEntries loaded = loadBytes(white->EncodeRecord());
    ASSERT_EQ(loaded.size(), 1u);
    for (int c = 0; c < 3; ++c)
        EXPECT_EQ(loaded[0]->m_thumb.GetBuffer(0, 0)[c], 248);

    auto bare = makeEntry("n.jpg", 0, 0);
    bare->m_info.nThumbState = kThumbFirstPass;
    const std::string bytes = bare->EncodeRecord();
    ASSERT_EQ(bytes.size(), 2u + 672u);
    EXPECT_EQ(static_cast<BYTE>(bytes[0]) | static_cast<BYTE>(bytes[1]) << 8, 672);
    loaded = loadBytes(bytes);
    ASSERT_EQ(loaded.size(), 1u);
    EXPECT_EQ(loaded[0]->m_thumb.GetAreaByteSize(), 0u);
    EXPECT_EQ(loaded[0]->m_info.nThumbState, kThumbFirstPass);
    // Present without pixels is not complete; not present or a folder is.
    loaded[0]->m_bPresent = 1;
    EXPECT_EQ(loaded[0]->IsComplete(), 0);
    loaded[0]->m_bFolder = 1;
    EXPECT_EQ(loaded[0]->IsComplete(), 1);
}

TEST(PropertyFile, TinyExposureBiasReadsAsZeroAndTextsEndInNul)
{
    std::string r = record("a.jpg");
    putFloat(r, kRec + 384, 0.00005f);
    std::memset(r.data() + kRec, 'n', 256);  // name without NUL
    std::memset(r.data() + kRec + 300, 'm', 64); // model without NUL
    PhotoEntries loaded = loadBytes(r);
    ASSERT_EQ(loaded.size(), 1u);
    EXPECT_EQ(loaded[0]->m_info.fExposureBias, 0.0f);
    EXPECT_EQ(std::strlen(loaded[0]->m_info.szFileName), 255u);
    EXPECT_EQ(std::strlen(loaded[0]->m_info.szModel), 63u);
}

// Every damaged record ends the load at itself: of three records, only the
// first is kept.
TEST(PropertyFile, DamagedSecondRecordEndsTheLoad)
{
    using Edit = std::function<std::string()>;
    auto field = [](std::size_t offset, std::function<void(std::string&, std::size_t)> set) {
        return [=] {
            std::string r = record("b.jpg");
            set(r, kRec + offset);
            return r;
        };
    };
    auto byte = [](BYTE v) { return [v](std::string& r, std::size_t at) { r[at] = static_cast<char>(v); }; };
    auto flt = [](float v) { return [v](std::string& r, std::size_t at) { putFloat(r, at, v); }; };
    auto i32 = [](std::int32_t v) { return [v](std::string& r, std::size_t at) { put32(r, at, static_cast<std::uint32_t>(v)); }; };
    const std::string base = record("b.jpg");
    const struct {
        const char* what;
        Edit make;
    } cases[] = {
        {"version 1", field(652, byte(1))},
        {"wrong marker", field(648, i32(0x12345678))},
        {"state 4", field(646, byte(4))},
        {"F-number 0.005", field(368, flt(0.005f))},
        {"F-number NaN", field(368, flt(std::nanf("")))},
        {"exposure bias 12", field(384, flt(12.0f))},
        {"focal length 0.5", field(380, flt(0.5f))},
        {"subject distance 0.0005", field(372, flt(0.0005f))},
        {"exposure time 2e6", field(364, flt(2e6f))},
        {"negative width", field(288, i32(-1))},
        {"negative file size", field(296, i32(-5))},
        {"thumbnail 101 wide", [&] { return withBlock(base, thumbBlock(101, 10, 101 * 10 * 2)); }},
        {"thumbnail 101 high", [&] { return withBlock(base, thumbBlock(10, 101, 10 * 101 * 2)); }},
        {"short inflated stream", [&] { return withBlock(base, thumbBlock(10, 10, 10 * 10 * 2 - 2)); }},
        {"long inflated stream", [&] { return withBlock(base, thumbBlock(10, 10, 10 * 10 * 2 + 2)); }},
        {"stream past the record", [&] {
             std::string block = thumbBlock(10, 10, 200);
             put32(block, 8, static_cast<std::uint32_t>(block.size()));
             return withBlock(base, block);
         }},
        {"garbage stream", [&] {
             std::string block = thumbBlock(10, 10, 200);
             std::memset(block.data() + 12, 0x5A, block.size() - 12);
             return withBlock(base, block);
         }},
        {"partial block", [&] { return withBlock(base, std::string(5, '\0')); }},
        {"L 663", [] { return lengthOnly(663); }},
        {"L 30919", [] { return lengthOnly(30919); }},
        {"L 65535", [] { return lengthOnly(65535); }},
    };
    for (const auto& c : cases) {
        PhotoEntries loaded = loadBytes(record("a.jpg") + c.make() + record("c.jpg"));
        ASSERT_EQ(loaded.size(), 1u) << c.what;
        EXPECT_STREQ(loaded[0]->m_info.szFileName, "a.jpg") << c.what;
    }
}

TEST(PropertyFile, RecordCutShortKeepsTheEarlierOnes)
{
    const std::string two = record("a.jpg") + record("b.jpg");
    for (std::size_t cut : {two.size() - 1, two.size() / 2 + 1, std::size_t{record("a.jpg").size() + 1}})
        EXPECT_EQ(loadBytes(two.substr(0, cut)).size(), 1u) << cut;
    // The largest record a writer can make still reads.
    const std::string big = withBlock(record("a.jpg"), std::string(12, '\0'));
    EXPECT_EQ(loadBytes(lengthOnly(30918)).size(), 1u);
    EXPECT_EQ(loadBytes(big).size(), 1u);
}

TEST(PropertyFile, SaveSkipsFolderEntriesAndReplacesTheFile)
{
    ScratchFolder folder;
    const std::string path = folder.Path() + kPropertyFileName;
    WriteBytes(path, "old contents");
    PhotoEntries entries;
    entries.push_back(makeEntry("one.jpg", 2, 2));
    auto sub = std::make_unique<PhotoEntry>();
    std::strcpy(sub->m_info.szFileName, "Sub");
    sub->m_bFolder = 1;
    entries.push_back(std::move(sub));
    entries.push_back(makeEntry("two.jpg", 0, 0));
    ASSERT_TRUE(SavePropertyRecords(path, entries));

    EXPECT_EQ(ReadBytes(path), record("one.jpg", 2, 2) + record("two.jpg", 0, 0));
    PhotoEntries loaded;
    EXPECT_EQ(LoadPropertyRecords(path, loaded), 2);
    EXPECT_STREQ(loaded[1]->m_info.szFileName, "two.jpg");

    EXPECT_FALSE(SavePropertyRecords(folder.Path() + "missing/" + kPropertyFileName, entries));
    PhotoEntries none;
    EXPECT_EQ(LoadPropertyRecords(folder.Path() + "missing/" + kPropertyFileName, none), 0);
}
