#include "platform/capture/FrameConvert.h"
#include "platform/capture/VideoSource.h"

#include "imagecore/QLImage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

using namespace qlcapture;
namespace fs = std::filesystem;

namespace {

struct TempFolder {
    fs::path path;
    TempFolder()
    {
        path = fs::temp_directory_path() / ("qlcapture-test-" + std::to_string(getpid()) + "-" +
                                            std::to_string(reinterpret_cast<std::uintptr_t>(this)));
        fs::create_directories(path);
    }
    ~TempFolder() { fs::remove_all(path); }
};

} // namespace

TEST(VideoSourceTest, DeviceNodesAreTheVideoNodesInNumberOrder)
{
    TempFolder dir;
    EXPECT_TRUE(VideoDeviceNodes(dir.path.string()).empty());
    for (const char* name : {"video10", "video2", "video0", "videox", "vbi0", "video"})
        std::ofstream(dir.path / name) << "";
    const auto nodes = VideoDeviceNodes(dir.path.string());
    ASSERT_EQ(nodes.size(), 3u);
    EXPECT_EQ(fs::path(nodes[0]).filename(), "video0");
    EXPECT_EQ(fs::path(nodes[1]).filename(), "video2");
    EXPECT_EQ(fs::path(nodes[2]).filename(), "video10");
    // Plain files are no capture devices.
    EXPECT_EQ(OpenV4l2Source(nodes[0]), nullptr);
    EXPECT_TRUE(VideoDeviceNodes((dir.path / "missing").string()).empty());
}

TEST(VideoSourceTest, PatternIsFirstOnlyWhenAskedFor)
{
    unsetenv("QUILLO_CAMERA_PICTURE");
    setenv("QUILLO_CAMERA", "pattern", 1);
    auto first = OpenVideoSource(0);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->Name(), "Quillo test pattern");
    EXPECT_EQ(OpenVideoSource(-1), nullptr);
    unsetenv("QUILLO_CAMERA");
    auto plain = OpenVideoSource(0);
    if (plain) {
        EXPECT_NE(plain->Name(), "Quillo test pattern");
    }
}

TEST(VideoSourceTest, PatternFramesFollowSizeAndControls)
{
    unsetenv("QUILLO_CAMERA_PICTURE");
    auto src = OpenPatternSource();
    VideoFrame f;
    EXPECT_FALSE(src->ReadFrame(&f, 100));  // not started
    ASSERT_TRUE(src->Start());
    ASSERT_TRUE(src->ReadFrame(&f, 100));
    EXPECT_EQ(f.width, 640);
    EXPECT_EQ(f.height, 480);
    EXPECT_EQ(f.bits.size(), DibStride24(640) * 480);
    EXPECT_EQ(src->Sizes().size(), 3u);
    EXPECT_FALSE(src->SetSize({300, 200}));
    ASSERT_TRUE(src->SetSize({320, 240}));
    ASSERT_TRUE(src->ReadFrame(&f, 100));
    EXPECT_EQ(f.width, 320);
    EXPECT_EQ(f.bits.size(), DibStride24(320) * 240);
    const auto controls = src->Controls();
    ASSERT_EQ(controls.size(), 2u);
    EXPECT_EQ(controls[0].name, "Brightness");
    EXPECT_EQ(controls[1].name, "Invert");
    EXPECT_FALSE(src->SetControl(controls[0].id, 500));
    const auto brightest = [](const VideoFrame& v) { return *std::max_element(v.bits.begin(), v.bits.end()); };
    const auto darkest = [](const VideoFrame& v) { return *std::min_element(v.bits.begin(), v.bits.end()); };
    EXPECT_EQ(brightest(f), 255);
    ASSERT_TRUE(src->SetControl(controls[0].id, -100));
    EXPECT_EQ(src->Controls()[0].value, -100);
    ASSERT_TRUE(src->ReadFrame(&f, 100));
    EXPECT_EQ(brightest(f), 155);
    ASSERT_TRUE(src->SetControl(controls[1].id, 1));
    ASSERT_TRUE(src->ReadFrame(&f, 100));
    EXPECT_EQ(darkest(f), 100);
}

TEST(VideoSourceTest, PatternShowsTheNamedPictureInFrameOrder)
{
    // 320 x 240 picture: the top line blue, the rest red.
    TempFolder dir;
    CQLImage pic;
    ASSERT_EQ(pic.Create(320, 240), 0);
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 320; ++x)
            pic.PutPixel(x, y, y == 0 ? CPixel{255, 0, 0, 255} : CPixel{0, 0, 255, 255});
    const std::string path = (dir.path / "pic.bmp").string();
    ASSERT_EQ(pic.SaveToFile(path.c_str()), 0);
    setenv("QUILLO_CAMERA_PICTURE", path.c_str(), 1);
    auto src = OpenPatternSource();
    unsetenv("QUILLO_CAMERA_PICTURE");
    ASSERT_TRUE(src->SetSize({320, 240}));
    ASSERT_TRUE(src->Start());
    VideoFrame f;
    ASSERT_TRUE(src->ReadFrame(&f, 100));
    // The DIB's last row is the picture's top line.
    const std::size_t top = DibStride24(320) * 239;
    EXPECT_EQ(f.bits[top], 255);
    EXPECT_EQ(f.bits[top + 2], 0);
    EXPECT_EQ(f.bits[top - DibStride24(320) + 2], 255);  // the line below: red
    EXPECT_EQ(f.bits[0], 0);
}
