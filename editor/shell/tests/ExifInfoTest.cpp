#include "editor/shell/ExifInfo.h"

#include "ExifTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

namespace {

using namespace exiftest;

class ExifRead : public ::testing::Test {
protected:
    ExifInfo& Read(const std::vector<Entry>& entries)
    {
        const std::string path = JpegWithExif(m_dir.File("photo" + std::to_string(m_n++) + ".jpg"), entries);
        EXPECT_EQ(m_exif.ReadFromFile(path.c_str()), 1);
        return m_exif;
    }
    TempFolder m_dir;
    ExifInfo m_exif;
    int m_n = 0;
};

TEST_F(ExifRead, CaptureDateWinsInEitherOrder)
{
    const Entry file = Text(306, "2005:01:01 10:00:00");
    const Entry capture = Text(36867, "2004:12:31 23:59:59");
    EXPECT_STREQ(Read({file, capture}).GetFields().dateTime, "2004:12:31 23:59:59");
    EXPECT_STREQ(Read({capture, file}).GetFields().dateTime, "2004:12:31 23:59:59");
    EXPECT_STREQ(Read({file}).GetFields().dateTime, "2005:01:01 10:00:00");
}

TEST_F(ExifRead, ApexValuesAreRounded)
{
    const ExifFields& f = Read({SRational(37377, 6, 1), Rational(37378, 5, 1)}).GetFields();
    EXPECT_NEAR(f.shutterSpeed, 0.016, 1e-12); // 2^-6 = 0.015625
    EXPECT_NEAR(f.aperture, 5.7, 1e-12);       // 2^2.5 = 5.657
    EXPECT_EQ(f.hasExif, 1u);
}

TEST_F(ExifRead, NumbersAndFlags)
{
    const ExifFields& f = Read({Long(256, 70000), Short(257, 480), Rational(282, 300, 1), Rational(33434, 1, 250),
                                Rational(33437, 28, 10), SRational(37380, -7, 10), Short(34855, 400),
                                Short(37383, 5), Short(37385, 0x19), Short(40961, 1), Rational(37386, 0, 0)})
                               .GetFields();
    EXPECT_EQ(f.width, 70000u); // a LONG width keeps its high bits
    EXPECT_EQ(f.height, 480u);
    EXPECT_DOUBLE_EQ(f.xResolution, 300.0);
    EXPECT_DOUBLE_EQ(f.exposureTime, 0.004);
    EXPECT_DOUBLE_EQ(f.fNumber, 2.8);
    EXPECT_DOUBLE_EQ(f.exposureBias, -0.7);
    EXPECT_EQ(f.isoSpeed, 400);
    EXPECT_EQ(f.meteringMode, 5);
    EXPECT_EQ(f.flash, 0); // fired only when exactly 1
    EXPECT_EQ(f.colorSpace, 1);
    EXPECT_EQ(f.focalLength, 0.0); // 0/0 is not known
    EXPECT_EQ(f.lightSource, -1);
    EXPECT_EQ(Read({Short(37385, 1)}).GetFields().flash, 1);
}

TEST_F(ExifRead, TextsAreCutAndTrimmed)
{
    const std::string longText(300, 'x');
    ExifInfo& exif = Read({Text(270, longText), Text(271, "Maker   "), Text(272, "Model 1"),
                           Text(53090, "Crop,Sharpen,"), Short(53088, 1), Short(274, 6), Short(41989, 35)});
    EXPECT_EQ(std::string(exif.GetFields().description), longText.substr(0, 255));
    EXPECT_STREQ(exif.GetFields().make, "Maker");
    EXPECT_STREQ(exif.GetFields().model, "Model 1");
    EXPECT_STREQ(exif.GetProcessingText(), "Crop,Sharpen,");
    EXPECT_TRUE(exif.GetEditedMark());
    EXPECT_EQ(exif.GetOrientation(), 6);
    EXPECT_EQ(exif.GetFocalLength35(), 35);
    EXPECT_EQ(exif.GetByteOrder(), 0x4949);
}

TEST_F(ExifRead, OnlyCameraFieldsSetTheExifFlag)
{
    EXPECT_EQ(Read({Short(274, 3), Long(256, 10), Rational(282, 72, 1), Text(53089, "x")}).GetFields().hasExif, 0u);
    EXPECT_EQ(Read({Text(305, "Some program")}).GetFields().hasExif, 1u);
}

TEST_F(ExifRead, WrongTypesAreIgnored)
{
    // A text where a rational belongs, a rational where a number belongs.
    const ExifFields& f = Read({Text(33434, "fast"), Rational(34855, 100, 1)}).GetFields();
    EXPECT_EQ(f.exposureTime, 0.0);
    EXPECT_EQ(f.isoSpeed, 0);
    EXPECT_EQ(f.hasExif, 0u);
}

TEST_F(ExifRead, ByteSizeCountsItemsAndMakerNote)
{
    ExifInfo& exif = Read({Text(271, "Maker"), Undefined(37500, std::vector<BYTE>(10, 7))});
    ASSERT_EQ(exif.GetItemCount(), 2u);
    EXPECT_EQ(exif.GetExifByteSize(FALSE), 6 + 16);
    EXPECT_EQ(exif.GetExifByteSize(TRUE), 6 + 16 + 10 + 3016);
}

TEST_F(ExifRead, NoExifGivesAnEmptyRecord)
{
    const std::string plain = SavePhoto(m_dir.File("plain.jpg"));
    EXPECT_EQ(m_exif.ReadFromFile(plain.c_str()), 1);
    EXPECT_EQ(m_exif.GetFields().hasExif, 0u);
    EXPECT_EQ(m_exif.GetExifByteSize(TRUE), 0);
    EXPECT_EQ(m_exif.GetFields().flash, -1);
    EXPECT_EQ(m_exif.ReadFromFile(m_dir.File("missing.jpg").c_str()), 0);
    EXPECT_EQ(m_exif.GetFields().hasExif, 0u);
}

TEST(ExifDates, ParseChecksRanges)
{
    struct Case {
        const char* text;
        WORD year, month, day, hour, minute, second;
    } const cases[] = {
        {"2004:02:30 12:75:00", 0, 0, 0, 0, 0, 0},
        {"1979:01:01 00:00:00", 0, 0, 0, 0, 0, 0},
        {"2004:02:30 12:05:00", 2004, 2, 30, 12, 5, 0},
        {"2004:02:30  12::05:00", 2004, 2, 30, 12, 5, 0},
        {"2101:01:01 00:00:00", 0, 0, 0, 0, 0, 0},
        {"2004:13:01 00:00:00", 0, 0, 0, 0, 0, 0},
        {"2004:12:32 00:00:00", 0, 0, 0, 0, 0, 0},
        {"2100:12:31 24:60:60", 2100, 12, 31, 24, 60, 60},
        {"", 0, 0, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const SYSTEMTIME t = ParseExifDateTime(c.text);
        EXPECT_EQ(t.wYear, c.year);
        EXPECT_EQ(t.wMonth, c.month);
        EXPECT_EQ(t.wDay, c.day);
        EXPECT_EQ(t.wHour, c.hour);
        EXPECT_EQ(t.wMinute, c.minute);
        EXPECT_EQ(t.wSecond, c.second);
        EXPECT_EQ(t.wDayOfWeek, 0);
        EXPECT_EQ(t.wMilliseconds, 0);
    }
}

TEST(ExifDates, SlashDateAndTrim)
{
    char a[] = "2004:12:31 23:59:59";
    EXPECT_STREQ(ExifDateToSlashDate(a), "2004/12/31");
    char b[] = "2004-12-31";
    EXPECT_STREQ(ExifDateToSlashDate(b), "2004/12/31");
    char c[] = "Canon  ";
    EXPECT_STREQ(TrimRight(c), "Canon");
    char d[] = "   ";
    EXPECT_STREQ(TrimRight(d), "");
}

TEST(ExifFieldsRecord, StoredLayout)
{
    ExifFields f{};
    f.hasExif = 1;
    f.width = 0x01020304;
    f.xResolution = 72.0;
    std::strcpy(f.dateTime, "2004:12:31 23:59:59");
    std::strcpy(f.make, "Maker");
    f.exposureTime = 0.5;
    f.meteringMode = -1;
    f.isoSpeed = 200;
    f.focalLength = 50.0;
    f.fNumber = 2.0;
    f.colorSpace = 1;
    BYTE out[ExifFields::kFileSize];
    f.Store(out);
    EXPECT_EQ(out[0], 1);
    EXPECT_EQ(out[4], 0x04);
    EXPECT_EQ(out[7], 0x01);
    // 72.0 is 0x4052000000000000.
    EXPECT_EQ(out[16 + 6], 0x52);
    EXPECT_EQ(out[16 + 7], 0x40);
    EXPECT_STREQ(reinterpret_cast<const char*>(out + 288), "2004:12:31 23:59:59");
    EXPECT_STREQ(reinterpret_cast<const char*>(out + 1568), "Maker");
    // 0.5 is 0x3FE0000000000000.
    EXPECT_EQ(out[1824 + 7], 0x3F);
    EXPECT_EQ(out[1824 + 6], 0xE0);
    EXPECT_EQ(out[1864], 0xFF);
    EXPECT_EQ(out[1865], 0xFF);
    EXPECT_EQ(out[1872], 200);
    EXPECT_EQ(out[1880 + 7], 0x40); // 50.0 = 0x4049000000000000
    EXPECT_EQ(out[1880 + 6], 0x49);
    EXPECT_EQ(out[1888 + 7], 0x40); // 2.0 = 0x4000000000000000
    EXPECT_EQ(out[1896], 1);

    ExifFields back;
    EXPECT_FALSE(back.Load(out, ExifFields::kFileSize - 1));
    ASSERT_TRUE(back.Load(out, ExifFields::kFileSize));
    EXPECT_EQ(back.width, f.width);
    EXPECT_STREQ(back.make, "Maker");
    EXPECT_EQ(back.isoSpeed, 200);
    EXPECT_EQ(back.meteringMode, -1);
    EXPECT_EQ(back.focalLength, 50.0);
    // A stored text without its NUL is cut at 255 characters.
    std::memset(out + 32, 'a', 256);
    ASSERT_TRUE(back.Load(out, ExifFields::kFileSize));
    EXPECT_EQ(std::strlen(back.description), 255u);
}

} // namespace
