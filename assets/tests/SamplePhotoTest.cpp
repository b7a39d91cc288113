// The bundled sample photo: a landscape JPEG with the camera record the
// editor shows for it.
#include "editor/shell/ExifInfo.h"
#include "imagecore/QLImage.h"
#include "platform/codec/QLImageCodec.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

const char* const kSample = QUILLO_SAMPLE_PHOTO;

double Luma(const CQLImage& image, int x, int y)
{
    const BYTE* p = image.GetBuffer(x, y);
    return 0.114 * p[0] + 0.587 * p[1] + 0.299 * p[2];
}

TEST(SamplePhoto, IsALandscapeJpegOfQuality92Size)
{
    EXPECT_EQ(CQLImageCodec::GetFileType(kSample), DWORD{QL_FILE_JPEG});
    int width = 0, height = 0;
    ASSERT_TRUE(CQLImageCodec::GetFileShape(kSample, &width, &height));
    EXPECT_EQ(width, 4000);
    EXPECT_EQ(height, 2667);
}

TEST(SamplePhoto, CarriesTheCameraRecord)
{
    ExifInfo exif;
    ASSERT_EQ(exif.ReadFromFile(kSample), 1);
    const ExifFields& f = exif.GetFields();
    EXPECT_STREQ(f.make, "Quillo");
    EXPECT_STREQ(f.dateTime, "2026:06:21 19:42:00");
    EXPECT_NEAR(f.exposureTime, 1.0 / 125, 1e-9);
    EXPECT_DOUBLE_EQ(f.fNumber, 8);
    EXPECT_EQ(f.isoSpeed, 100);
    EXPECT_DOUBLE_EQ(f.focalLength, 35);
    EXPECT_EQ(exif.GetOrientation(), 1);
}

TEST(SamplePhoto, ShowsSkySunAndTheirReflection)
{
    CQLImageCodec codec;
    CQLImage image;
    ASSERT_TRUE(codec.LoadFile(kSample, &image));
    const BYTE* top = image.GetBuffer(200, 20);
    EXPECT_GT(top[0], top[2] + 40) << "blue sky at the top";
    EXPECT_GT(Luma(image, 2800, 1067), 245) << "the sun's disc";
    // The water mirrors the land about the shore line, a little darker.
    double land = 0, water = 0;
    for (int x = 0; x < 4000; x += 50) {
        land += Luma(image, x, 2 * 1706 - 2500 + 1);
        water += Luma(image, x, 2500);
    }
    EXPECT_LT(water, land * 0.9);
    EXPECT_GT(water, land * 0.3);
}

}  // namespace
