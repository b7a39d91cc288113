#include "album/shell/LosslessTurns.h"
#include "album/shell/tests/ShelfTestSupport.h"
#include "editor/shell/ExifInfo.h"
#include "platform/codec/QLImageCodec.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace shelf;
namespace fs = std::filesystem;

namespace {

const std::string kSamples = std::string(QUILLO_CORPUS_DIR) + "/exif-samples/jpg/orientation/";

struct Stored {
    int width = 0, height = 0, orientation = 0;
};

Stored Read(const std::string& path)
{
    Stored s;
    CQLImage image;
    if (CQLImageCodec().LoadFile(path.c_str(), &image)) {
        UINT w = 0, h = 0;
        image.GetSize(&w, &h);
        s.width = static_cast<int>(w);
        s.height = static_cast<int>(h);
    }
    ExifInfo exif;
    if (exif.ReadFromFile(path.c_str()))
        s.orientation = exif.GetOrientation();
    return s;
}

} // namespace

// Photos stored on their side are turned once and marked upright; the rest
// are left, and a second run turns nothing.
TEST(LosslessTurns, AutomaticTurnsByOrientation)
{
    if (!fs::exists(kSamples + "portrait_6.jpg"))
        GTEST_SKIP() << "corpus absent";
    shelftest::ScratchFolder folder;
    const struct {
        const char* name;
        int transform;
    } cases[] = {{"portrait_6.jpg", kTurnRight}, {"portrait_8.jpg", kTurnLeft}, {"landscape_6.jpg", 0},
                 {"portrait_1.jpg", 0}};
    for (const auto& c : cases) {
        const std::string path = folder.Path() + c.name;
        fs::copy_file(kSamples + c.name, path);
        fs::permissions(path, fs::perms::owner_write, fs::perm_options::add); // the corpus is read-only
        const Stored before = Read(path);
        EXPECT_EQ(AutoTurnJpeg(path, before.width, before.height), c.transform) << c.name;
        const Stored after = Read(path);
        if (c.transform) {
            EXPECT_LE(after.orientation, 1) << c.name << ": upright (1, or no tag)";
            EXPECT_LT(after.width, after.height) << c.name;
            EXPECT_GE(after.width, before.height - 15) << c.name << ": at most a partial block trimmed";
            EXPECT_EQ(AutoTurnJpeg(path, after.width, after.height), 0) << c.name << ": turned twice";
        } else {
            EXPECT_EQ(shelftest::ReadBytes(path), shelftest::ReadBytes(kSamples + c.name)) << c.name;
        }
    }
}

TEST(LosslessTurns, OnlyJpegFilesTurn)
{
    shelftest::ScratchFolder folder;
    CQLImage image;
    ASSERT_EQ(image.Create(32, 16), 0);
    const std::string png = folder.Path() + "wide.png";
    ASSERT_NE(CQLImageCodec().SaveFile(png.c_str(), &image), 0);
    const std::string bytes = shelftest::ReadBytes(png);
    EXPECT_FALSE(TurnJpeg(png, kTurnRight));
    EXPECT_EQ(AutoTurnJpeg(png, 32, 16), 0);
    EXPECT_EQ(shelftest::ReadBytes(png), bytes);
}
