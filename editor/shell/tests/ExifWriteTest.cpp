#include "editor/shell/ExifInfo.h"
#include "editor/shell/ExifJpegWriter.h"
#include "editor/shell/ExifTiffPatcher.h"

#include "ExifTestSupport.h"
#include "imagecore/QLImage.h"
#include "platform/codec/QLImageCodec.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <string>

namespace {

using namespace exiftest;

ExifFields CameraRecord()
{
    ExifFields f{};
    f.hasExif = 1;
    f.xResolution = f.yResolution = 300;
    std::strcpy(f.description, "Lake");
    std::strcpy(f.dateTime, "2004:12:31 23:59:59");
    std::strcpy(f.artist, "Ann");
    std::strcpy(f.copyright, "(c) Ann");
    std::strcpy(f.make, "Maker");
    std::strcpy(f.model, "Model X");
    f.exposureTime = 0.004;
    f.shutterSpeed = 0.004;
    f.aperture = 2.8;
    f.fNumber = 2.8;
    f.exposureBias = -0.7;
    f.subjectDistance = 3.5;
    f.focalLength = 50;
    f.isoSpeed = 200;
    f.flash = 1;
    f.meteringMode = f.lightSource = f.exposureProgram = f.colorSpace = -1;
    return f;
}

const PropertyItem* FindItem(const ExifInfo& exif, PROPID id)
{
    for (UINT i = 0; i < exif.GetItemCount(); ++i)
        if (exif.GetItems()[i].id == id)
            return &exif.GetItems()[i];
    return nullptr;
}

int FilesIn(const std::string& dir)
{
    int n = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        (void)entry;
        ++n;
    }
    return n;
}

class ExifWriteRoundTrip : public ::testing::TestWithParam<const char*> {};

TEST_P(ExifWriteRoundTrip, RecordComesBackAndPixelsStay)
{
    TempFolder dir;
    const std::string path = SavePhoto(dir.File(std::string("photo") + GetParam()));
    CQLImageCodec codec;
    CQLImage before;
    ASSERT_NE(codec.LoadFile(path.c_str(), &before), 0);

    ExifInfo exif;
    exif.SetFields(CameraRecord());
    std::strcpy(exif.GetProcessingText(), "Crop,Sharpen,");
    ASSERT_EQ(exif.WriteToFile(TRUE, path.c_str(), TRUE), 1);
    EXPECT_TRUE(SamePixels(before, path));
    EXPECT_EQ(FilesIn(dir.Path()), 1);

    ExifInfo back;
    ASSERT_EQ(back.ReadFromFile(path.c_str()), 1);
    const ExifFields& f = back.GetFields();
    EXPECT_EQ(f.hasExif, 1u);
    EXPECT_STREQ(f.description, "Lake");
    EXPECT_STREQ(f.dateTime, "2004:12:31 23:59:59");
    EXPECT_STREQ(f.artist, "Ann");
    EXPECT_STREQ(f.copyright, "(c) Ann");
    EXPECT_STREQ(f.make, "Maker");
    EXPECT_STREQ(f.model, "Model X");
    EXPECT_EQ(std::strncmp(f.software, "Quillo, ", 8), 0);
    // A TIFF's resolution belongs to its image directory, which the pixels'
    // writer owns; the other formats take the record's.
    EXPECT_DOUBLE_EQ(f.xResolution, std::string(GetParam()) == ".tif" ? 72 : 300);
    EXPECT_DOUBLE_EQ(f.exposureTime, 0.004);
    EXPECT_NEAR(f.shutterSpeed, 0.004, 1e-12);
    EXPECT_NEAR(f.aperture, 2.8, 1e-12);
    EXPECT_DOUBLE_EQ(f.fNumber, 2.8);
    EXPECT_DOUBLE_EQ(f.exposureBias, -0.7);
    EXPECT_DOUBLE_EQ(f.subjectDistance, 3.5);
    EXPECT_DOUBLE_EQ(f.focalLength, 50);
    EXPECT_EQ(f.isoSpeed, 200);
    EXPECT_EQ(f.flash, 1);
    // The private tags.
    EXPECT_TRUE(back.GetEditedMark());
    EXPECT_STREQ(back.GetProcessingText(), "Crop,Sharpen,");
    EXPECT_NE(FindItem(back, 53088), nullptr);
    EXPECT_NE(FindItem(back, 53090), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Formats, ExifWriteRoundTrip, ::testing::Values(".jpg", ".png", ".tif"));

TEST(ExifWrite, ExposureBiasIsASignedThousandth)
{
    TempFolder dir;
    const std::string path = SavePhoto(dir.File("bias.jpg"));
    ExifInfo exif;
    exif.SetFields(CameraRecord());
    ASSERT_EQ(exif.WriteToFile(TRUE, path.c_str(), TRUE), 1);
    ExifInfo back;
    ASSERT_EQ(back.ReadFromFile(path.c_str()), 1);
    const PropertyItem* bias = FindItem(back, 37380);
    ASSERT_NE(bias, nullptr);
    EXPECT_EQ(bias->type, PropertyTagTypeSRational);
    LONG v[2];
    std::memcpy(v, bias->value, 8);
    EXPECT_EQ(v[0], -700);
    EXPECT_EQ(v[1], 1000);
    const PropertyItem* exposure = FindItem(back, 33434);
    ASSERT_NE(exposure, nullptr);
    DWORD e[2];
    std::memcpy(e, exposure->value, 8);
    EXPECT_EQ(e[0], 1u); // 0.004 s below 0.34: 1/250
    EXPECT_EQ(e[1], 250u);
}

TEST(ExifWrite, SoftwareItemFollowsTheOption)
{
    TempFolder dir;
    struct Case {
        const char* software;
        BOOL writeSoftware;
        bool hasSoftware;
        bool edited;
    } const cases[] = {
        {"Quillo 2.0", TRUE, false, true},
        {"Other", FALSE, false, false},
        {"Other", TRUE, true, true},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.software);
        const std::string path = SavePhoto(dir.File("s" + std::to_string(n++) + ".jpg"));
        ExifInfo exif;
        ExifFields f = CameraRecord();
        std::strcpy(f.software, c.software);
        exif.SetFields(f);
        exif.SetWriteSoftware(c.writeSoftware);
        ASSERT_EQ(exif.WriteToFile(TRUE, path.c_str(), TRUE), 1);
        ExifInfo back;
        ASSERT_EQ(back.ReadFromFile(path.c_str()), 1);
        EXPECT_EQ(FindItem(back, 305) != nullptr, c.hasSoftware);
        EXPECT_EQ(back.GetEditedMark() != 0, c.edited);
    }
}

TEST(ExifWrite, NothingToWriteLeavesFilesAlone)
{
    TempFolder dir;
    const std::string jpeg = SavePhoto(dir.File("none.jpg"));
    const std::vector<BYTE> jpegBytes = FileBytes(jpeg);
    ExifInfo empty;
    EXPECT_EQ(empty.WriteToFile(TRUE, jpeg.c_str(), FALSE), 1);
    EXPECT_EQ(FileBytes(jpeg), jpegBytes);
    // BMP holds no EXIF.
    const std::string bmp = SavePhoto(dir.File("photo.bmp"));
    const std::vector<BYTE> bmpBytes = FileBytes(bmp);
    ExifInfo exif;
    exif.SetFields(CameraRecord());
    EXPECT_EQ(exif.WriteToFile(TRUE, bmp.c_str(), TRUE), 1);
    EXPECT_EQ(FileBytes(bmp), bmpBytes);
}

TEST(ExifWrite, UnreadablePhotoIsLeftAsItWas)
{
    TempFolder dir;
    // A JPEG by its first bytes whose segments cannot be parsed.
    const std::string path = dir.File("broken.jpg");
    const std::vector<BYTE> bytes = {0xFF, 0xD8, 0xFF, 0xE1, 0xFF, 0xFF, 'E', 'x', 'i', 'f', 0, 0, 1, 2, 3};
    WriteBytes(path, bytes);
    ExifInfo exif;
    exif.SetFields(CameraRecord());
    EXPECT_EQ(exif.WriteToFile(TRUE, path.c_str(), TRUE), 0);
    EXPECT_EQ(FileBytes(path), bytes);
    EXPECT_EQ(FilesIn(dir.Path()), 1);
}

TEST(ExifWrite, FailureLeavesThePhotoAndNoCopies)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "permissions do not bind root";
    TempFolder dir;
    const std::string path = SavePhoto(dir.File("locked.jpg"));
    const std::vector<BYTE> bytes = FileBytes(path);
    ASSERT_EQ(chmod(dir.Path().c_str(), 0500), 0);
    ExifInfo exif;
    exif.SetFields(CameraRecord());
    EXPECT_EQ(exif.WriteToFile(TRUE, path.c_str(), TRUE), 0);
    chmod(dir.Path().c_str(), 0700);
    EXPECT_EQ(FileBytes(path), bytes);
    EXPECT_EQ(FilesIn(dir.Path()), 1);
}

// TIFF entry reading for the checks below.
struct Tiff {
    std::vector<BYTE> b;
    bool be;
    DWORD base; // where the TIFF header starts
    WORD U16(std::size_t at) const { return be ? WORD(b[at] << 8 | b[at + 1]) : WORD(b[at + 1] << 8 | b[at]); }
    DWORD U32(std::size_t at) const
    {
        return be ? DWORD(b[at]) << 24 | DWORD(b[at + 1]) << 16 | DWORD(b[at + 2]) << 8 | b[at + 3]
                  : DWORD(b[at + 3]) << 24 | DWORD(b[at + 2]) << 16 | DWORD(b[at + 1]) << 8 | b[at];
    }
    // File position of the entry with tag in the IFD at offset, or 0.
    std::size_t Entry(DWORD ifd, WORD tag) const
    {
        const WORD count = U16(base + ifd);
        for (WORD i = 0; i < count; ++i)
            if (U16(base + ifd + 2 + 12 * i) == tag)
                return base + ifd + 2 + 12 * i;
        return 0;
    }
    bool Sorted(DWORD ifd) const
    {
        const WORD count = U16(base + ifd);
        for (WORD i = 1; i < count; ++i)
            if (U16(base + ifd + 2 + 12 * i) <= U16(base + ifd + 2 + 12 * (i - 1)))
                return false;
        return true;
    }
};

TEST(ExifJpegWriterTest, KeepsApp0AndPutsTheRecordBehindIt)
{
    TempFolder dir;
    const std::string path = SavePhoto(dir.File("w.jpg"));
    const std::vector<BYTE> before = FileBytes(path);
    const std::size_t dqt = 4 + (std::size_t(before[4]) << 8 | before[5]);
    ASSERT_EQ(before[dqt + 1], 0xDB);

    ExifFields f = CameraRecord();
    std::strcpy(f.artist, "ab");
    std::strcpy(f.make, "LG");
    f.width = 24;
    f.height = 16;
    ASSERT_EQ(ExifJpegWriter::Apply(path.c_str(), f), 1);
    const std::vector<BYTE> after = FileBytes(path);
    ASSERT_TRUE(std::equal(before.begin(), before.begin() + long(dqt), after.begin()));
    ASSERT_EQ(after[dqt], 0xFF);
    ASSERT_EQ(after[dqt + 1], 0xE1);
    const std::size_t app1 = std::size_t(after[dqt + 2]) << 8 | after[dqt + 3];
    EXPECT_EQ(std::memcmp(&after[dqt + 4], "Exif\0\0II", 8), 0);
    EXPECT_TRUE(std::equal(before.begin() + long(dqt), before.end(), after.begin() + long(dqt + 2 + app1), after.end()));

    Tiff t{after, false, DWORD(dqt + 10)};
    ASSERT_EQ(t.U32(t.base + 4), 8u);
    EXPECT_TRUE(t.Sorted(8));
    // A two-letter artist gets three blanks: five characters and the NUL.
    const std::size_t artist = t.Entry(8, 315);
    ASSERT_NE(artist, 0u);
    EXPECT_EQ(t.U32(artist + 4), 6u);
    EXPECT_EQ(std::memcmp(&after[t.base + t.U32(artist + 8)], "ab   ", 6), 0);
    // "LG" and its NUL fit in the entry itself.
    const std::size_t make = t.Entry(8, 271);
    ASSERT_NE(make, 0u);
    EXPECT_EQ(t.U32(make + 4), 3u);
    EXPECT_EQ(std::memcmp(&after[make + 8], "LG", 3), 0);
    const DWORD exifIfd = t.U32(t.Entry(8, 34665) + 8);
    EXPECT_EQ(exifIfd % 2, 0u);
    EXPECT_TRUE(t.Sorted(exifIfd));
    const std::size_t exposure = t.Entry(exifIfd, 33434);
    ASSERT_NE(exposure, 0u);
    const DWORD at = t.base + t.U32(exposure + 8);
    EXPECT_EQ(t.U32(at), 4000u); // 0.004 over 1,000,000
    EXPECT_EQ(t.U32(at + 4), 1000000u);

    ExifInfo back;
    ASSERT_EQ(back.ReadFromFile(path.c_str()), 1);
    EXPECT_STREQ(back.GetFields().artist, "ab");
    EXPECT_STREQ(back.GetFields().make, "LG");
    EXPECT_STREQ(back.GetFields().dateTime, "2004:12:31 23:59:59");
    EXPECT_DOUBLE_EQ(back.GetFields().exposureBias, -0.7);
    EXPECT_EQ(back.GetFields().isoSpeed, 200);
}

TEST(ExifJpegWriterTest, ReplacesAnOldApp1)
{
    TempFolder dir;
    const std::string path = SavePhoto(dir.File("old.jpg"));
    std::vector<BYTE> bytes = FileBytes(path);
    const std::size_t dqt = 4 + (std::size_t(bytes[4]) << 8 | bytes[5]);
    // FF D8, an old APP1 in place of the APP0, the rest.
    const std::string tmp = JpegWithExif(dir.File("src.jpg"), {Text(271, "Old"), Text(272, "Camera")});
    const std::vector<BYTE> src = FileBytes(tmp);
    const std::size_t app0 = 4 + (std::size_t(src[4]) << 8 | src[5]);
    const std::size_t app1 = std::size_t(src[app0 + 2]) << 8 | src[app0 + 3];
    std::vector<BYTE> file(src.begin() + long(app0) - 2, src.begin() + long(app0 + 2 + app1));
    file[0] = 0xFF;
    file[1] = 0xD8;
    file.insert(file.end(), bytes.begin() + long(dqt), bytes.end());
    WriteBytes(path, file);

    ExifFields f = CameraRecord();
    ASSERT_EQ(ExifJpegWriter::Apply(path.c_str(), f), 1);
    ExifInfo back;
    ASSERT_EQ(back.ReadFromFile(path.c_str()), 1);
    EXPECT_STREQ(back.GetFields().make, "Maker");
    EXPECT_STREQ(back.GetFields().model, "Model X");
    const std::vector<BYTE> after = FileBytes(path);
    EXPECT_EQ(after[3], 0xE1);
    CQLImage decoded;
    CQLImageCodec codec;
    EXPECT_NE(codec.LoadFile(path.c_str(), &decoded), 0);
}

TEST(ExifJpegWriterTest, RefusesWhatItCannotPlace)
{
    TempFolder dir;
    const std::string path = SavePhoto(dir.File("c.jpg"));
    std::vector<BYTE> bytes = FileBytes(path);
    const std::size_t dqt = 4 + (std::size_t(bytes[4]) << 8 | bytes[5]);
    const BYTE comment[] = {0xFF, 0xFE, 0x00, 0x04, 'h', 'i'};
    bytes.insert(bytes.begin() + long(dqt), comment, comment + sizeof comment);
    WriteBytes(path, bytes);
    EXPECT_EQ(ExifJpegWriter::Apply(path.c_str(), CameraRecord()), 0);
    EXPECT_EQ(FileBytes(path), bytes);
    // A segment length running past the end.
    std::vector<BYTE> cut(bytes.begin(), bytes.begin() + 10);
    WriteBytes(path, cut);
    EXPECT_EQ(ExifJpegWriter::Apply(path.c_str(), CameraRecord()), 0);
    EXPECT_EQ(FileBytes(path), cut);
    // No EXIF: nothing to do.
    ExifFields none{};
    EXPECT_EQ(ExifJpegWriter::Apply(path.c_str(), none), 1);
    EXPECT_EQ(FileBytes(path), cut);
    EXPECT_EQ(ExifJpegWriter::Apply(dir.File("missing.jpg").c_str(), CameraRecord()), 0);
}

// A TIFF made by hand: header, IFD0 with the given tags (each a LONG 0),
// then padding to the given size.
std::vector<BYTE> HandTiff(bool be, const std::vector<WORD>& tags, std::size_t size)
{
    std::vector<BYTE> b(std::max<std::size_t>(size, 8 + 2 + 12 * tags.size() + 4), 0);
    Tiff t{{}, be, 0};
    auto put16 = [&](std::size_t at, WORD v) {
        b[at + (be ? 0 : 1)] = BYTE(v >> 8);
        b[at + (be ? 1 : 0)] = BYTE(v);
    };
    auto put32 = [&](std::size_t at, DWORD v) {
        for (int i = 0; i < 4; ++i)
            b[at + (be ? 3 - i : i)] = BYTE(v >> (8 * i));
    };
    b[0] = b[1] = be ? 'M' : 'I';
    put16(2, 42);
    put32(4, 8);
    put16(8, WORD(tags.size()));
    for (std::size_t i = 0; i < tags.size(); ++i) {
        put16(10 + 12 * i, tags[i]);
        put16(12 + 12 * i, 4);
        put32(14 + 12 * i, 1);
    }
    (void)t;
    return b;
}

TEST(ExifTiffPatcherTest, AppendsAWordAlignedIfdAndPointsAtIt)
{
    TempFolder dir;
    const std::string path = dir.File("be.tif");
    WriteBytes(path, HandTiff(true, {256, 257, 34665}, 61));
    ASSERT_EQ(ExifTiffPatcher::Apply(path.c_str(), CameraRecord()), 1);
    const Tiff t{FileBytes(path), true, 0};
    const std::size_t pointer = t.Entry(8, 34665);
    ASSERT_NE(pointer, 0u);
    const DWORD ifd = t.U32(pointer + 8);
    EXPECT_EQ(ifd, 62u); // 61 rounded up to a word
    EXPECT_TRUE(t.Sorted(ifd));
    // Exposure time, F-number, ISO, shutter, aperture, bias, distance, flash, focal length.
    EXPECT_EQ(t.U16(ifd), 9);
    const std::size_t iso = t.Entry(ifd, 34855);
    ASSERT_NE(iso, 0u);
    EXPECT_EQ(t.U16(iso + 8), 200);
    const std::size_t bias = t.Entry(ifd, 37380);
    ASSERT_NE(bias, 0u);
    EXPECT_EQ(t.U16(bias + 2), 10);
    const DWORD at = t.U32(bias + 8);
    EXPECT_EQ(LONG(t.U32(at)), -700000);
    EXPECT_EQ(t.U32(at + 4), 1000000u);
    EXPECT_EQ(at % 2, 0u);
}

TEST(ExifTiffPatcherTest, RefusesFilesItCannotPatch)
{
    TempFolder dir;
    struct Case {
        const char* name;
        std::vector<BYTE> bytes;
    } cases[] = {
        {"513 entries", {}},
        {"no Exif IFD entry", HandTiff(false, {256, 257}, 0)},
        {"not a TIFF", std::vector<BYTE>{'P', 'K', 3, 4, 0, 0, 0, 0, 0, 0}},
        {"IFD past the end", [] {
             std::vector<BYTE> b = HandTiff(false, {34665}, 0);
             b[4] = 0xF0;
             return b;
         }()},
    };
    std::vector<WORD> many(513);
    for (WORD i = 0; i < 513; ++i)
        many[i] = WORD(256 + i);
    many.back() = 34665;
    cases[0].bytes = HandTiff(false, many, 0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir.File("t.tif");
        WriteBytes(path, c.bytes);
        EXPECT_EQ(ExifTiffPatcher::Apply(path.c_str(), CameraRecord()), 0);
        EXPECT_EQ(FileBytes(path), c.bytes);
    }
    ExifFields none{};
    EXPECT_EQ(ExifTiffPatcher::Apply(dir.File("t.tif").c_str(), none), 1);
}

} // namespace
