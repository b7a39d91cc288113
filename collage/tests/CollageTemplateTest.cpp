#include "collage/CollageTemplate.h"
#include "CollageTestSupport.h"
#include "imagecore/ParallelFor.h"

#include <zlib.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <filesystem>

using namespace collage;
using namespace collage::test;

namespace {

struct PointCase {
    const char* what;
    FrameBox box;
    int x, y;
    bool inside;
};

TEST(PointInFrameBox, EdgesAreHalfOpen)
{
    const FrameBox square = Rect(10, 10, 20, 20);
    // Nearly flat top edge: (0,0) to (1000,1) has a slope that truncates to 0.
    FrameBox flat;
    flat.p[0] = {0, 0};
    flat.p[1] = {1000, 1};
    flat.p[2] = {1000, 50};
    flat.p[3] = {0, 50};
    FrameBox tilted;
    tilted.p[0] = {50, 0};
    tilted.p[1] = {100, 50};
    tilted.p[2] = {50, 100};
    tilted.p[3] = {0, 50};
    const PointCase cases[] = {
        {"top edge", square, 15, 10, true},
        {"bottom edge", square, 15, 20, false},
        {"left edge", square, 10, 15, false},
        {"right edge", square, 20, 15, true},
        {"centre", square, 15, 15, true},
        {"left of box", square, 5, 15, false},
        {"below box", square, 15, 25, false},
        {"flat edge does not count", flat, 900, 0, true},
        {"under flat edge", flat, 500, 10, true},
        {"diamond centre", tilted, 50, 50, true},
        {"diamond corner outside", tilted, 10, 10, false},
        {"diamond near right tip", tilted, 95, 50, true},
    };
    for (const PointCase& c : cases)
        EXPECT_EQ(PointInFrameBox(c.x, c.y, c.box), c.inside) << c.what;
}

TEST(TemplateThumbnail, LongerSideIsHundred)
{
    struct {
        int w, h, tw, th;
    } cases[] = {{300, 200, 100, 66}, {200, 300, 66, 100}, {100, 100, 100, 100}, {4000, 30, 100, 0}};
    for (const auto& c : cases) {
        int tw = -1, th = -1;
        ThumbnailSize(c.w, c.h, &tw, &th);
        EXPECT_EQ(tw, c.tw) << c.w << "x" << c.h;
        EXPECT_EQ(th, c.th) << c.w << "x" << c.h;
    }
}

TEST(DisplayCopy, SmallPictureGetsOnePixelCells)
{
    CQLImage frame;
    frame.Create(4, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            frame.PutPixel(x, y, CPixel{0, 0, 0, 0});
    frame.PutPixel(3, 2, CPixel{10, 20, 30, 255});
    CQLImage copy;
    ASSERT_TRUE(MakeDisplayCopy(frame, &copy));
    EXPECT_EQ(copy.GetPixel2(0, 0).b, 220);
    EXPECT_EQ(copy.GetPixel2(1, 0).b, 128);
    EXPECT_EQ(copy.GetPixel2(1, 1).g, 220);
    EXPECT_EQ(copy.GetPixel2(3, 2).r, 30) << "opaque pixels are kept";
}

TEST(BoxMap, OverlapBelongsToHigherIndex)
{
    CollageTemplate tpl;
    MakeFrame(tpl, 40, 30, {Rect(0, 0, 40, 30)});
    tpl.boxes = {Rect(0, 0, 25, 30), Rect(15, 0, 40, 30)};
    ASSERT_EQ(BuildBoxMap(tpl, nullptr), BoxMapResult::Done);
    EXPECT_EQ(tpl.boxMap.Get(5, 5), 0);
    EXPECT_EQ(tpl.boxMap.Get(20, 5), 1);
    EXPECT_EQ(tpl.boxMap.Get(35, 5), 1);
}

TEST(BoxMap, OpaquePixelsOwnNoBox)
{
    CollageTemplate tpl;
    MakeFrame(tpl, 40, 30, {Rect(10, 10, 20, 20)});
    tpl.boxes = {Rect(0, 0, 40, 30)};
    ASSERT_EQ(BuildBoxMap(tpl, nullptr), BoxMapResult::Done);
    EXPECT_EQ(tpl.boxMap.Get(2, 2), kNoBox);
    EXPECT_EQ(tpl.boxMap.Get(12, 12), 0);
}

TEST(BoxMap, SameResultOnOneCoreAndAll)
{
    CollageTemplate tpl;
    MakeFrame(tpl, 900, 700, {Rect(0, 0, 900, 700)});
    FrameBox tilted;
    tilted.p[0] = {100, 50};
    tilted.p[1] = {800, 120};
    tilted.p[2] = {760, 650};
    tilted.p[3] = {60, 600};
    tpl.boxes = {tilted, Rect(300, 300, 500, 500)};
    ASSERT_EQ(BuildBoxMap(tpl, [] { return true; }), BoxMapResult::Done);
    CQLChannel all;
    all.DuplicateFrom(&tpl.boxMap);
    {
        imagecore::ScopedSingleThread one;
        ASSERT_EQ(BuildBoxMap(tpl, [] { return true; }), BoxMapResult::Done);
    }
    EXPECT_EQ(std::memcmp(all.GetBuffer(0, 0), tpl.boxMap.GetBuffer(0, 0), all.GetAreaByteSize()), 0);
}

TEST(WriteTemplate, UncoveredPixelQuestion)
{
    struct {
        BYTE alpha;
        bool answer;
        int asked;
        WriteResult result;
    } cases[] = {
        {0, false, 1, WriteResult::Declined},
        {0, true, 1, WriteResult::Written},
        {239, false, 1, WriteResult::Declined},
        {240, false, 0, WriteResult::Written},
        {254, false, 0, WriteResult::Written},
    };
    for (const auto& c : cases) {
        TempDir dir;
        CollageTemplate tpl;
        // Two uncovered windows: still one question.
        MakeFrame(tpl, 60, 40, {Rect(2, 2, 10, 10), Rect(40, 20, 50, 30), Rect(20, 5, 35, 35)}, c.alpha);
        tpl.boxes = {Rect(20, 5, 35, 35)};
        int asked = 0;
        const std::string path = dir.path + "Frame/t.mfm";
        EXPECT_EQ(WriteTemplate(tpl, "t", path, [&] { ++asked; return c.answer; }), c.result) << int(c.alpha);
        EXPECT_EQ(asked, c.asked) << int(c.alpha);
        EXPECT_EQ(std::filesystem::exists(path), c.result == WriteResult::Written) << int(c.alpha);
    }
}

TEST(WriteTemplate, NoBoxesGivesAnEmptyMap)
{
    TempDir dir;
    CollageTemplate tpl;
    MakeFrame(tpl, 30, 20, {Rect(5, 5, 10, 10)});
    ASSERT_EQ(WriteTemplate(tpl, "empty", dir.path + "e.mfm", [] { return true; }), WriteResult::Written);
    CollageTemplate read;
    ASSERT_TRUE(ReadTemplate(dir.path + "e.mfm", &read));
    EXPECT_TRUE(read.boxes.empty());
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 30; ++x)
            ASSERT_EQ(read.boxMap.Get(x, y), kNoBox);
}

// A written three-box template, its bytes and its offsets.
class TemplateFile : public testing::Test {
protected:
    void SetUp() override
    {
        MakeFrame(tpl, 300, 200, {Rect(10, 10, 100, 190), Rect(110, 10, 200, 190), Rect(210, 10, 290, 190)});
        FrameBox tilted;
        tilted.p[0] = {215, 20};
        tilted.p[1] = {285, 12};
        tilted.p[2] = {288, 185};
        tilted.p[3] = {212, 188};
        tpl.boxes = {Rect(10, 10, 100, 190), Rect(110, 10, 200, 190), tilted};
        path = dir.path + "three.mfm";
        ASSERT_EQ(WriteTemplate(tpl, "Three in a row", path, [] { return true; }), WriteResult::Written);
        bytes = FileBytes(path);
        ASSERT_GT(bytes.size(), size_t{kHeaderSize});
    }
    uint32_t Get32(size_t at) const
    {
        return bytes[at] | (bytes[at + 1] << 8) | (bytes[at + 2] << 16) | (uint32_t(bytes[at + 3]) << 24);
    }
    void Put32(size_t at, uint32_t v)
    {
        for (int i = 0; i < 4; ++i)
            bytes[at + i] = static_cast<BYTE>(v >> (8 * i));
    }
    size_t MapOffset() const { return kHeaderSize + 100 * 66 * 4; }

    TempDir dir;
    CollageTemplate tpl;
    std::string path;
    std::vector<BYTE> bytes;
};

TEST_F(TemplateFile, HeaderIsLittleEndianFieldByField)
{
    EXPECT_STREQ(reinterpret_cast<const char*>(bytes.data()), "Three in a row");
    EXPECT_EQ(bytes[32] | (bytes[33] << 8), 100);
    EXPECT_EQ(bytes[34] | (bytes[35] << 8), 66);
    EXPECT_EQ(bytes[36] | (bytes[37] << 8), 300);
    EXPECT_EQ(bytes[38] | (bytes[39] << 8), 200);
    EXPECT_EQ(bytes[40], 3);
    EXPECT_EQ(bytes.size(), MapOffset() + Get32(44) + Get32(48) + 3 * kBoxRecordSize);
    // The last record is the tilted box.
    const size_t last = bytes.size() - kBoxRecordSize;
    EXPECT_EQ(Get32(last), 215u);
    EXPECT_EQ(Get32(last + 4), 20u);
    EXPECT_EQ(Get32(last + 28), 188u);
}

TEST_F(TemplateFile, ShortReadThenFullRead)
{
    TemplateListEntry entry;
    ASSERT_TRUE(ReadTemplateHeader(path, &entry));
    EXPECT_STREQ(entry.name, "Three in a row");
    EXPECT_STREQ(entry.path, path.c_str());
    UINT tw, th;
    entry.thumbnail.GetSize(&tw, &th);
    EXPECT_EQ(tw, 100u);
    EXPECT_EQ(th, 66u);

    CollageTemplate read;
    ASSERT_TRUE(ReadTemplate(path, &read));
    EXPECT_STREQ(read.name, "Three in a row");
    ASSERT_EQ(read.boxes.size(), 3u);
    EXPECT_EQ(std::memcmp(read.boxes.data(), tpl.boxes.data(), 3 * sizeof(FrameBox)), 0);
    ASSERT_EQ(read.FrameWidth(), 300);
    ASSERT_EQ(read.FrameHeight(), 200);
    EXPECT_EQ(std::memcmp(read.frame.GetBuffer(0, 0), tpl.frame.GetBuffer(0, 0), 300 * 200 * 4), 0);
    EXPECT_EQ(std::memcmp(read.boxMap.GetBuffer(0, 0), tpl.boxMap.GetBuffer(0, 0), 300 * 200), 0);
    EXPECT_EQ(read.boxMap.Get(50, 50), 0);
    EXPECT_EQ(read.boxMap.Get(250, 100), 2);
    EXPECT_EQ(read.boxMap.Get(5, 5), kNoBox);
}

TEST_F(TemplateFile, ReservedBytesAreIgnored)
{
    bytes[41] = 0xAA;
    bytes[42] = 0x55;
    bytes[43] = 0xFF;
    CollageTemplate read;
    EXPECT_TRUE(ReadTemplateBytes(bytes.data(), bytes.size(), &read));
}

TEST_F(TemplateFile, MalformedFilesFailAndKeepTheCurrentTemplate)
{
    // A stream that inflates to one byte less than the box map.
    std::vector<BYTE> shortMap(300 * 200 - 1, 255);
    uLongf shortSize = compressBound(static_cast<uLong>(shortMap.size()));
    std::vector<BYTE> shortStream(shortSize);
    ASSERT_EQ(compress(shortStream.data(), &shortSize, shortMap.data(), static_cast<uLong>(shortMap.size())), Z_OK);
    shortStream.resize(shortSize);

    const size_t mapSize = Get32(44);
    struct Case {
        const char* what;
        std::function<void(std::vector<BYTE>&)> spoil;
    };
    const Case cases[] = {
        {"nine boxes", [](std::vector<BYTE>& b) { b[40] = 9; }},
        {"zero frame width", [](std::vector<BYTE>& b) { b[36] = b[37] = 0; }},
        {"box map size past the end", [&](std::vector<BYTE>& b) { b[44] = b[45] = b[46] = 0xFF; b[47] = 0x7F; }},
        {"image size past the end", [&](std::vector<BYTE>& b) { b[48] = b[49] = b[50] = 0xFF; b[51] = 0xFF; }},
        {"header cut short", [](std::vector<BYTE>& b) { b.resize(40); }},
        {"thumbnail cut short", [](std::vector<BYTE>& b) { b.resize(kHeaderSize + 1000); }},
        {"records cut short", [](std::vector<BYTE>& b) { b.resize(b.size() - 5); }},
        {"no records", [](std::vector<BYTE>& b) { b.resize(b.size() - 3 * kBoxRecordSize); }},
        {"huge frame from a tiny stream", [](std::vector<BYTE>& b) { b[36] = b[37] = b[38] = b[39] = 0xFF; }},
        {"short zlib output", [&](std::vector<BYTE>& b) {
             std::vector<BYTE> out(b.begin(), b.begin() + static_cast<long>(MapOffset()));
             out.insert(out.end(), shortStream.begin(), shortStream.end());
             out.insert(out.end(), b.begin() + static_cast<long>(MapOffset() + mapSize), b.end());
             for (int i = 0; i < 4; ++i)
                 out[44 + i] = static_cast<BYTE>(shortStream.size() >> (8 * i));
             b = out;
         }},
        {"corrupt stream", [&](std::vector<BYTE>& b) { b[MapOffset() + 5] ^= 0xFF; b[MapOffset() + 6] ^= 0xFF; }},
    };
    for (const Case& c : cases) {
        std::vector<BYTE> spoilt = bytes;
        c.spoil(spoilt);
        CollageTemplate current;
        MakeFrame(current, 7, 5, {});
        std::strcpy(current.name, "current");
        current.boxes = {Rect(1, 1, 5, 4)};
        EXPECT_FALSE(ReadTemplateBytes(spoilt.data(), spoilt.size(), &current)) << c.what;
        EXPECT_STREQ(current.name, "current") << c.what;
        EXPECT_EQ(current.FrameWidth(), 7) << c.what;
        EXPECT_EQ(current.boxes.size(), 1u) << c.what;
    }
}

TEST_F(TemplateFile, ShortReadRefusesOversizedOrMissingThumbnails)
{
    struct {
        const char* what;
        unsigned tw, th;
        size_t keep;
        bool ok;
    } cases[] = {
        {"as written", 100, 66, 0, true},
        {"wider than 100", 101, 66, 0, false},
        {"taller than 100", 100, 101, 0, false},
        {"zero height", 100, 0, 0, false},
        {"pixels cut short", 100, 66, kHeaderSize + 100 * 66 * 4 - 1, false},
    };
    for (const auto& c : cases) {
        std::vector<BYTE> b = bytes;
        b[32] = static_cast<BYTE>(c.tw);
        b[33] = static_cast<BYTE>(c.tw >> 8);
        b[34] = static_cast<BYTE>(c.th);
        b[35] = static_cast<BYTE>(c.th >> 8);
        if (c.keep)
            b.resize(c.keep);
        TemplateListEntry entry;
        EXPECT_EQ(ReadTemplateHeaderBytes(b.data(), b.size(), &entry), c.ok) << c.what;
    }
}

TEST(TemplateName, UnsafeCharactersBecomeUnderscores)
{
    struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"a/b:c?", "a_b_c_"},
        {"\"q'*<>\\|", "_q______"},
        {"Summer 2024", "Summer 2024"},
        {"\xC3\xA9/x", "\xC3\xA9_x"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SanitiseTemplateName(c.in), c.out) << c.in;
}

TEST(TemplateFolder, ScanFindsSubFoldersAndSkipsDotFolders)
{
    TempDir dir;
    CollageTemplate tpl;
    MakeFrame(tpl, 40, 30, {Rect(5, 5, 35, 25)});
    tpl.boxes = {Rect(5, 5, 35, 25)};
    ASSERT_EQ(WriteTemplate(tpl, "top", dir.path + "top.mfm", nullptr), WriteResult::Written);
    ASSERT_EQ(WriteTemplate(tpl, "upper", dir.path + "UPPER.MFM", nullptr), WriteResult::Written);
    ASSERT_EQ(WriteTemplate(tpl, "nested", dir.path + "sub/nested.mfm", nullptr), WriteResult::Written);
    ASSERT_EQ(WriteTemplate(tpl, "hidden", dir.path + ".hidden/hidden.mfm", nullptr), WriteResult::Written);
    PutFileBytes(dir.path + "broken.mfm", {1, 2, 3});
    PutFileBytes(dir.path + "other.frm", FileBytes(dir.path + "top.mfm"));

    std::vector<std::string> names;
    for (const TemplateListEntry& e : ScanTemplateFolder(dir.path))
        names.push_back(e.name);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"nested", "top", "upper"}));
    EXPECT_TRUE(ScanTemplateFolder(dir.path + "missing/").empty());
}

} // namespace
