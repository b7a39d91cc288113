#include "album/shell/AnalyseWork.h"

#include "ShelfTestSupport.h"
#include "editor/shell/tests/ExifTestSupport.h"
#include "platform/codec/QLImageCodec.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

using namespace shelf;
using shelftest::ScratchFolder;
namespace fs = std::filesystem;

namespace {

std::string cameraJpeg(const std::string& path)
{
    using namespace exiftest;
    return JpegWithExif(path, {Text(0x0110, "Cam 7"), Rational(0x829A, 1, 250), Rational(0x829D, 56, 10),
                               Short(0x8827, 400), Text(0x9003, "2005:07:14 10:20:30")});
}

UINT widthOf(const CQLImage& image)
{
    UINT w = 0, h = 0;
    image.GetSize(&w, &h);
    return w;
}

} // namespace

TEST(AnalyseWork, ToneHistogramScalesAgainstTheFullestBin)
{
    CQLImage black;
    black.Create(4, 4);
    std::memset(black.GetBuffer(0, 0), 0, black.GetAreaByteSize());
    BYTE bins[256];
    ComputeToneHistogram(black, bins);
    EXPECT_EQ(bins[0], 255);
    EXPECT_EQ(bins[1], 255);
    for (int i = 2; i < 256; ++i)
        ASSERT_EQ(bins[i], 1) << i;

    // 64 x 64 of tone 100 but one pixel of tone 200: the cap is 128 pixels.
    CQLImage grey;
    grey.Create(64, 64);
    std::memset(grey.GetBuffer(0, 0), 100, grey.GetAreaByteSize());
    std::memset(grey.GetBuffer(0, 0), 200, 4);
    ComputeToneHistogram(grey, bins);
    EXPECT_EQ(bins[100], 255);
    EXPECT_EQ(bins[99], 255);
    EXPECT_EQ(bins[200], 2); // 1 * 256 / 128
    EXPECT_EQ(bins[201], 2);
    EXPECT_EQ(bins[50], 0);  // bin 0 is empty: zeros stay
}

TEST(AnalyseWork, ThumbnailsAndPlaceholders)
{
    ScratchFolder folder;
    CQLImage photo;
    photo.Create(300, 200);
    std::memset(photo.GetBuffer(0, 0), 90, photo.GetAreaByteSize());
    CQLImageCodec codec;
    ASSERT_NE(codec.SaveFile((folder.Path() + "p.jpg").c_str(), &photo), 0);
    shelftest::WriteBytes(folder.Path() + "broken.jpg", "\xFF\xD8\xFF junk");

    ThumbnailResult made;
    MakeThumbnail(codec, (folder.Path() + "p.jpg").c_str(), 0, made);
    EXPECT_TRUE(made.made);
    EXPECT_EQ(made.width, 300);
    EXPECT_EQ(made.height, 200);
    EXPECT_EQ(widthOf(made.thumb), 100u);
    EXPECT_EQ(made.histogram[90], 255);

    for (const std::string name : {"broken.jpg", "missing.jpg"}) {
        ThumbnailResult placeholder;
        MakeThumbnail(codec, (folder.Path() + name).c_str(), 1, placeholder);
        EXPECT_FALSE(placeholder.made) << name;
        ASSERT_EQ(widthOf(placeholder.thumb), 100u) << name;
        const BYTE* p = placeholder.thumb.GetBuffer(99, 99);
        EXPECT_EQ(p[0] | p[1] << 8 | p[2] << 16 | p[3] << 24, 0xFF808080u) << name;
    }
}

TEST(AnalyseWork, PhotoInfoFromExifAndASecondPassWhenChanged)
{
    ScratchFolder folder;
    const std::string path = cameraJpeg(folder.Path() + "cam.jpg");
    PhotoInfoResult info;
    ReadPhotoInfo(path.c_str(), info);
    ASSERT_TRUE(info.haveExif);
    PhotoFileInfo entry;
    EXPECT_TRUE(ApplyPhotoInfo(info, entry)); // a new record: its time differs
    EXPECT_STREQ(entry.szModel, "Cam 7");
    EXPECT_FLOAT_EQ(entry.fExposureTime, 0.004f);
    EXPECT_FLOAT_EQ(entry.fFNumber, 5.6f);
    EXPECT_EQ(entry.wISO, 400);
    EXPECT_EQ(entry.stDateTaken.wYear, 2005);
    EXPECT_EQ(entry.stDateTaken.wMonth, 7);
    EXPECT_EQ(entry.stDateTaken.wDay, 14);
    EXPECT_FALSE(ApplyPhotoInfo(info, entry)); // unchanged since

    // Without EXIF: the time alone, no second pass.
    CQLImage photo;
    photo.Create(8, 8);
    CQLImageCodec codec;
    ASSERT_NE(codec.SaveFile((folder.Path() + "plain.jpg").c_str(), &photo), 0);
    ReadPhotoInfo((folder.Path() + "plain.jpg").c_str(), info);
    PhotoFileInfo plain;
    EXPECT_FALSE(ApplyPhotoInfo(info, plain));
    EXPECT_NE(plain.stLastWrite.wYear, 0);
    EXPECT_EQ(plain.wFlash, 0xFFFF);
}

TEST(AnalyseWork, LinksTakeTheirTargetsExifButStoreNoTimeForOtherTypes)
{
    ScratchFolder folder;
    const std::string jpeg = cameraJpeg(folder.Path() + "cam.jpg");
    CQLImage photo;
    photo.Create(4, 4);
    ASSERT_EQ(photo.SaveToFile((folder.Path() + "pic.bmp").c_str()), 0);
    CQLLinkFile toJpeg, toBmp;
    ASSERT_NE(toJpeg.Create(jpeg.c_str(), (folder.Path()).c_str()), 0);
    ASSERT_NE(toBmp.Create((folder.Path() + "pic.bmp").c_str(), folder.Path().c_str()), 0);

    PhotoInfoResult info;
    ReadPhotoInfo(toJpeg.GetLinkPath(), info);
    EXPECT_TRUE(info.isLink);
    PhotoFileInfo linked;
    ApplyPhotoInfo(info, linked);
    EXPECT_STREQ(linked.szModel, "Cam 7");

    ReadPhotoInfo(toBmp.GetLinkPath(), info);
    PhotoFileInfo bmp;
    EXPECT_FALSE(ApplyPhotoInfo(info, bmp));
    EXPECT_EQ(bmp.stLastWrite.wYear, 0);
}

TEST(AnalyseWork, CameraPhotosOfTheCorpus)
{
    const fs::path folder = fs::path(QUILLO_CORPUS_DIR) / "exif-samples" / "jpg";
    if (!fs::is_directory(folder))
        GTEST_SKIP() << "no corpus at " << folder;
    CQLImageCodec codec;
    int photos = 0;
    for (const auto& item : fs::recursive_directory_iterator(folder)) {
        if (!item.is_regular_file())
            continue;
        const std::string path = item.path().string();
        ThumbnailResult thumb;
        MakeThumbnail(codec, path.c_str(), 0, thumb);
        EXPECT_GT(widthOf(thumb.thumb), 0u) << path;
        PhotoInfoResult info;
        ReadPhotoInfo(path.c_str(), info);
        PhotoFileInfo entry;
        ApplyPhotoInfo(info, entry);
        ExifInfo exif;
        if (!exif.ReadFromFile(path.c_str()))
            continue;
        const ExifFields& f = exif.GetFields();
        EXPECT_EQ(std::string(entry.szModel), std::string(f.model).substr(0, 63)) << path;
        EXPECT_EQ(entry.wISO, static_cast<WORD>(f.isoSpeed)) << path;
        if (f.fNumber > 0) {
            EXPECT_FLOAT_EQ(entry.fFNumber, static_cast<float>(f.fNumber)) << path;
        }
        if (f.shutterSpeed <= 0 && f.exposureTime > 0) {
            EXPECT_FLOAT_EQ(entry.fExposureTime, static_cast<float>(f.exposureTime)) << path;
        }
        ++photos;
    }
    EXPECT_GT(photos, 0);
}
