#include "album/tools/ExifRecordFile.h"

#include "editor/shell/tests/ExifTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sys/stat.h>

using namespace shelf;

TEST(ExifRecordFile, ShutterTexts)
{
    const struct {
        const char* text;
        double seconds;
    } cases[] = {
        {"1/250", 0.004}, {"0.5", 0.5}, {" 2 ", 2}, {"0/250", 0}, {"1/0", 0}, {"abc", 0},
        {"", 0},          {"-1/250", 0}, {"1/250x", 0}, {"0", 0},
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(ParseShutterText(c.text), c.seconds) << c.text;
}

TEST(ExifRecordFile, FillingTakesTheFallbacks)
{
    exiftest::TempFolder folder;
    const std::string photo = exiftest::SavePhoto(folder.File("a.jpg"));
    ExifFields f{};
    f.aperture = 4.0; // F-number 0: the second aperture
    f.shutterSpeed = 0.008;
    f.isoSpeed = static_cast<short>(40000); // read as unsigned 16 bits
    f.flash = 1;
    ExifEditValues v = ValuesFromRecord(f, photo.c_str(), "Ann");
    EXPECT_DOUBLE_EQ(v.aperture, 4.0);
    EXPECT_EQ(v.shutter, "0.008000");
    EXPECT_EQ(v.iso, 40000);
    EXPECT_EQ(v.copyright, "Copyright Ann, All right reserved.");
    EXPECT_EQ(v.time, FileTimeText(photo.c_str())) << "the file's creation time";
    EXPECT_EQ(v.time.size(), 19u);

    f.fNumber = 2.8;
    f.exposureTime = 0.004;
    std::strcpy(f.copyright, "Mine");
    std::strcpy(f.dateTime, "2020:01:02 03:04:05");
    v = ValuesFromRecord(f, "/no/such/file.jpg", "Ann");
    EXPECT_DOUBLE_EQ(v.aperture, 2.8);
    EXPECT_EQ(v.shutter, "0.004000");
    EXPECT_EQ(v.copyright, "Mine");
    EXPECT_EQ(v.time, "2020:01:02 03:04:05");
}

TEST(ExifRecordFile, ValuesGoIntoBothApertureAndExposureFields)
{
    ExifEditValues v;
    v.aperture = 5.6;
    v.flash = 0;
    v.iso = 32767;
    v.model = "Cam";
    ExifFields f{};
    ValuesIntoRecord(v, 0.004, f);
    EXPECT_DOUBLE_EQ(f.fNumber, 5.6);
    EXPECT_DOUBLE_EQ(f.aperture, 5.6);
    EXPECT_DOUBLE_EQ(f.exposureTime, 0.004);
    EXPECT_DOUBLE_EQ(f.shutterSpeed, 0.004);
    EXPECT_EQ(f.isoSpeed, 32767);
    EXPECT_EQ(f.hasExif, 1u);
    EXPECT_STREQ(f.model, "Cam");
}

TEST(ExifRecordFile, ExportNameAndRoundTrip)
{
    EXPECT_EQ(ExifExportName("/p/q.r/photo.jpg"), "/p/q.r/photo.exif");
    EXPECT_EQ(ExifExportName("/p/q.r/photo"), "/p/q.r/photo.exif");
    exiftest::TempFolder folder;
    ExifFields f{};
    f.hasExif = 1;
    std::strcpy(f.model, "Round");
    f.fNumber = 8;
    const std::string path = folder.File("x.EXIF");
    ASSERT_EQ(SaveExifRecord(path, f), ExifFileResult::Ok);
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_size, 1904);
    EXPECT_NE(::stat((path + ".part").c_str(), &st), 0) << "no temporary left";
    ExifFields back{};
    ExifFileResult result{};
    ASSERT_TRUE(ReadRecordFrom(path, back, &result));
    EXPECT_STREQ(back.model, "Round");
    EXPECT_DOUBLE_EQ(back.fNumber, 8);
    EXPECT_EQ(SaveExifRecord(folder.File("none/x.exif"), f), ExifFileResult::CannotOpen);
}

TEST(ExifRecordFile, OnlyTheExactSizeIsRead)
{
    exiftest::TempFolder folder;
    for (size_t size : {1903u, 1905u, 0u}) {
        const std::string path = folder.File("s.exif");
        exiftest::WriteBytes(path, std::vector<BYTE>(size, 'A'));
        ExifFields f{};
        EXPECT_EQ(LoadExifRecord(path, f), ExifFileResult::WrongSize) << size;
    }
    std::vector<BYTE> bytes(1904, 'A'); // texts without their NUL
    exiftest::WriteBytes(folder.File("t.exif"), bytes);
    ExifFields f{};
    ASSERT_EQ(LoadExifRecord(folder.File("t.exif"), f), ExifFileResult::Ok);
    EXPECT_EQ(std::strlen(f.model), 255u);
}
