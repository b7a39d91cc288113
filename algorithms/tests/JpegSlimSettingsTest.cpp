// The ".tsp" scheme record: offsets, the checks of the reader, whole files.
#include "algorithms/JpegSlimSettings.h"
#include "platform/win/tests/TestDir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

JpegSlimSettings Sample()
{
    JpegSlimSettings s;
    s.quality = 77;
    s.chromaOption = 0;
    s.includeExif = 1;
    s.adaptive = 1;
    s.dctDenoise = 0;
    s.smoothPercent = 35;
    s.resizeMode = 2;
    s.resizeLength = 0x0504;
    s.sizeMode = 1;
    s.targetKB = 180;
    s.flags = 2;
    s.SetPath("/out/a.jpg");
    return s;
}

std::vector<BYTE> Record(const JpegSlimSettings& s)
{
    std::vector<BYTE> bytes(JpegSlimSettings::kFileSize);
    EXPECT_TRUE(FormatTsp(s, bytes.data()));
    return bytes;
}


} // namespace

TEST(JpegSlimSettings, FieldsLandAtTheirOffsetsLittleEndian)
{
    const std::vector<BYTE> b = Record(Sample());
    ASSERT_EQ(b.size(), 548u);
    const BYTE head[] = {1, 0, 0, 0, 77, 0, 0, 0, 0, 1, 1, 0, 35, 0, 0, 0, 2, 0, 0, 0,
                         0x04, 0x05, 0, 0, 1, 0, 0, 0, 180, 0, 0, 0, 2};
    for (std::size_t i = 0; i < sizeof head; ++i)
        EXPECT_EQ(b[i], head[i]) << "offset " << i;
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[33])), "/out/a.jpg");
    for (std::size_t i = 33 + 10; i < 548; ++i)
        ASSERT_EQ(b[i], 0) << "offset " << i;
}

TEST(JpegSlimSettings, WrittenRecordReadsBack)
{
    JpegSlimSettings in = Sample();
    in.valid = 0; // every written file says 1
    std::vector<BYTE> b = Record(in);
    std::memset(&b[17], 0xEE, 3); // padding is ignored
    std::memset(&b[25], 0xEE, 3);
    JpegSlimSettings out;
    out.quality = 1;
    ASSERT_TRUE(ParseTsp(b.data(), b.size(), &out));
    EXPECT_EQ(out.valid, 1);
    EXPECT_EQ(out.quality, 77);
    EXPECT_EQ(out.chromaOption, 0);
    EXPECT_EQ(out.includeExif, 1);
    EXPECT_EQ(out.adaptive, 1);
    EXPECT_EQ(out.dctDenoise, 0);
    EXPECT_EQ(out.smoothPercent, 35);
    EXPECT_EQ(out.resizeMode, 2);
    EXPECT_EQ(out.resizeLength, 0x0504);
    EXPECT_EQ(out.sizeMode, 1);
    EXPECT_EQ(out.targetKB, 180);
    EXPECT_EQ(out.flags, 2);
    EXPECT_STREQ(out.path, "/out/a.jpg");
}

TEST(JpegSlimSettings, ReaderRefusesBadRecordsAndKeepsTheSettings)
{
    struct Case {
        const char* what;
        std::size_t offset;
        BYTE value;
    };
    const Case cases[] = {
        {"valid 0", 0, 0},          {"quality 101", 4, 101},   {"quality negative", 7, 0x80},
        {"colour 3", 8, 3},         {"exif 2", 9, 2},          {"adaptive 2", 10, 2},
        {"optimise 2", 11, 2},      {"blur 101", 12, 101},     {"size mode 4", 16, 4},
        {"pixels 0", 20, 0},        {"trade-off 3", 24, 3},    {"budget huge", 30, 1},
        {"job mode 3", 32, 3},
    };
    for (const Case& c : cases) {
        std::vector<BYTE> b = Record(Sample());
        if (c.offset == 20)
            std::memset(&b[20], 0, 4);
        b[c.offset] = c.value;
        JpegSlimSettings out;
        out.quality = 12;
        EXPECT_FALSE(ParseTsp(b.data(), b.size(), &out)) << c.what;
        EXPECT_EQ(out.quality, 12) << c.what;
    }
    std::vector<BYTE> b = Record(Sample());
    JpegSlimSettings out;
    EXPECT_FALSE(ParseTsp(b.data(), 547, &out)) << "short";
    EXPECT_FALSE(ParseTsp(nullptr, 548, &out));
    std::memset(&b[33], 'a', 515);
    EXPECT_FALSE(ParseTsp(b.data(), b.size(), &out)) << "path without its zero";
    // A budget below zero comes from an EXIF block larger than the limit.
    b = Record(Sample());
    const BYTE minus20[] = {0xEC, 0xFF, 0xFF, 0xFF};
    std::memcpy(&b[28], minus20, 4);
    ASSERT_TRUE(ParseTsp(b.data(), b.size(), &out));
    EXPECT_EQ(out.targetKB, -20);
}

TEST(JpegSlimSettings, PathThatDoesNotFitIsRefusedNotCut)
{
    JpegSlimSettings s;
    ASSERT_TRUE(s.SetPath("/keep.jpg"));
    const std::string longest(514, 'p');
    const std::string tooLong(515, 'p');
    EXPECT_FALSE(s.SetPath(tooLong.c_str()));
    EXPECT_STREQ(s.path, "/keep.jpg");
    EXPECT_TRUE(s.SetPath(longest.c_str()));
    EXPECT_EQ(std::string(s.path), longest);
    std::memset(s.path, 'x', sizeof s.path);
    EXPECT_FALSE(s.PathTerminated());
    BYTE b[548];
    EXPECT_FALSE(FormatTsp(s, b));
}

TEST(JpegSlimSettings, FilesSaveLoadAndFailCleanly)
{
    TestDir dir;
    ASSERT_FALSE(dir.path().empty());
    const std::string file = dir / "Web 200K.tsp";
    ASSERT_EQ(SaveTspFile(file.c_str(), Sample()), 1);
    EXPECT_EQ(std::filesystem::file_size(file), 548u);
    JpegSlimSettings out;
    ASSERT_EQ(LoadTspFile(file.c_str(), &out), 1);
    EXPECT_EQ(out.targetKB, 180);
    EXPECT_STREQ(out.path, "/out/a.jpg");

    // A short file is refused; a missing one too; a missing folder writes nothing.
    std::filesystem::resize_file(file, 100);
    EXPECT_EQ(LoadTspFile(file.c_str(), &out), 0);
    EXPECT_EQ(LoadTspFile((dir / "none.tsp").c_str(), &out), 0);
    EXPECT_EQ(SaveTspFile((dir / "no/such.tsp").c_str(), Sample()), 0);
    EXPECT_FALSE(std::filesystem::exists(dir / "no"));
    // A failed save leaves the scheme that was there.
    JpegSlimSettings bad = Sample();
    std::memset(bad.path, 'x', sizeof bad.path);
    EXPECT_EQ(SaveTspFile(file.c_str(), bad), 0);
    EXPECT_EQ(std::filesystem::file_size(file), 100u);
}
