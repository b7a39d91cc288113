// Saving over photos: through symbolic links and on a full disk, for every
// way the codec writes a file.
#include "platform/codec/QLImageCodec.h"
#include "platform/codec/tests/CodecTestSupport.h"
#include "platform/win/tests/FullDisk.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

using namespace codectest;
namespace fs = std::filesystem;

namespace {

// One way of writing a photo at a path; the picture's width tells which
// write landed.
struct Save {
    const char* name;
    const char* ext;
    std::function<int(CQLImageCodec&, const std::string&, const CQLImage&)> save;
};

int SaveFile(CQLImageCodec& codec, const std::string& path, const CQLImage& image)
{
    return codec.SaveFile(path.c_str(), &image);
}

const Save kSaves[] = {
    {"SaveFile jpg", ".jpg", SaveFile},
    {"SaveFile bmp", ".bmp", SaveFile},
    {"SaveFile png", ".png", SaveFile},
    {"SaveFile tif", ".tif", SaveFile},
    {"SaveFile gif", ".gif", SaveFile},
    {"SaveFile pcx", ".pcx", SaveFile},
    {"SaveFile tga", ".tga", SaveFile},
    {"SaveJpegFile", ".jpg",
     [](CQLImageCodec& codec, const std::string& path, const CQLImage& image) {
         return codec.SaveJpegFile(path.c_str(), &image, 90, 300);
     }},
    // A quarter turn of the file itself: 32 x 16 becomes 16 x 32.
    {"LosslessJPGTransform", ".jpg",
     [](CQLImageCodec&, const std::string& path, const CQLImage&) {
         return CQLImageCodec::LosslessJPGTransform(path.c_str(), 1);
     }},
};

UINT WidthOf(const std::string& path)
{
    CQLImageCodec codec;
    CQLImage image;
    return codec.LoadFile(path.c_str(), &image) ? W(image) : 0;
}

class CodecSave : public ::testing::Test {
protected:
    TempDir dir;
    CQLImageCodec codec;
    CQLImage first, second;

    void SetUp() override
    {
        // Whole JPEG blocks (16 x 16 at most) on both sides, so that the
        // lossless turn keeps every pixel.
        MakePicture(first, 32, 16, false, 1);
        MakePicture(second, 24, 16, false, 2);
    }
};

TEST_F(CodecSave, ThroughALinkTheTargetIsReplacedAndTheLinkStays)
{
    for (const Save& s : kSaves) {
        SCOPED_TRACE(s.name);
        fs::create_directory(dir.File("real"));
        const std::string target = dir.File(std::string("real/photo") + s.ext);
        const std::string link = dir.File(std::string("link") + s.ext);
        ASSERT_EQ(SaveFile(codec, target, first), 1);
        fs::create_symlink(std::string("real/photo") + s.ext, link);

        ASSERT_EQ(s.save(codec, link, second), 1);
        EXPECT_TRUE(fs::is_symlink(link));
        EXPECT_EQ(fs::read_symlink(link), fs::path(std::string("real/photo") + s.ext));
        const UINT expected = std::string(s.name) == "LosslessJPGTransform" ? 16u : 24u;
        EXPECT_EQ(WidthOf(target), expected);
        EXPECT_EQ(FilesIn(dir.File("real")).size(), 1u) << "no temporary file is left";
        fs::remove_all(dir.File("real"));
        fs::remove(link);
    }
}

TEST_F(CodecSave, DanglingLinkIsRefusedAndStays)
{
    const std::string link = dir.File("link.png");
    fs::create_symlink("gone.png", link);
    EXPECT_EQ(SaveFile(codec, link, second), 0);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_FALSE(fs::exists(dir.File("gone.png")));
    EXPECT_EQ(FilesIn(dir.Path()).size(), 1u);
}

TEST_F(CodecSave, AFullDiskLeavesTheOldPhotoWhole)
{
    for (const Save& s : kSaves) {
        SCOPED_TRACE(s.name);
        const std::string path = dir.File(std::string("photo") + s.ext);
        ASSERT_EQ(SaveFile(codec, path, first), 1);
        const auto before = ReadAll(path);
        int saved = 1;
        {
            FullDisk full(64);
            ASSERT_TRUE(full.active());
            saved = s.save(codec, path, second);
        }
        EXPECT_EQ(saved, 0);
        EXPECT_EQ(ReadAll(path), before);
        EXPECT_EQ(FilesIn(dir.Path()).size(), 1u) << "no temporary file is left";
        fs::remove(path);
    }
}

} // namespace
