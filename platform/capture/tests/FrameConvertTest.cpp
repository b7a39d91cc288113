#include "platform/capture/FrameConvert.h"

#include <gtest/gtest.h>
#include <turbojpeg.h>

#include <cstdlib>
#include <vector>

using namespace qlcapture;

namespace {

struct YuvCase {
    int y, u, v;
    int b, g, r;
};

} // namespace

TEST(FrameConvertTest, YuyvColoursFollowBt601LimitedRange)
{
    const YuvCase cases[] = {
        {16, 128, 128, 0, 0, 0},      {235, 128, 128, 255, 255, 255}, {126, 128, 128, 128, 128, 128},
        {81, 90, 240, 0, 0, 255},     {145, 54, 34, 0, 255, 0},        {41, 240, 110, 255, 0, 0},
        {0, 128, 128, 0, 0, 0},       {255, 128, 128, 255, 255, 255},
    };
    for (const YuvCase& c : cases) {
        const std::uint8_t src[4] = {static_cast<std::uint8_t>(c.y), static_cast<std::uint8_t>(c.u),
                                     static_cast<std::uint8_t>(c.y), static_cast<std::uint8_t>(c.v)};
        std::vector<std::uint8_t> out(DibStride24(2), 0);
        ASSERT_TRUE(YuyvToDib24(src, sizeof src, 4, 2, 1, out.data()));
        for (int px = 0; px < 2; ++px) {
            EXPECT_NEAR(out[px * 3 + 0], c.b, 2) << c.y << "," << c.u << "," << c.v;
            EXPECT_NEAR(out[px * 3 + 1], c.g, 2) << c.y << "," << c.u << "," << c.v;
            EXPECT_NEAR(out[px * 3 + 2], c.r, 2) << c.y << "," << c.u << "," << c.v;
        }
    }
}

TEST(FrameConvertTest, YuyvRowsComeOutBottomUpWithPaddingAndStride)
{
    // Two rows of two pixels, source rows 6 bytes apart (2 of padding): top
    // white, bottom black.
    const std::uint8_t src[] = {235, 128, 235, 128, 9, 9, 16, 128, 16, 128};
    std::vector<std::uint8_t> out(DibStride24(2) * 2, 0xAA);
    ASSERT_TRUE(YuyvToDib24(src, sizeof src, 6, 2, 2, out.data()));
    EXPECT_EQ(DibStride24(2), 8u);
    EXPECT_EQ(out[0], 0);     // first DIB row: the bottom, black
    EXPECT_EQ(out[8], 255);   // second: the top, white
    EXPECT_EQ(out[6], 0xAA);  // padding left alone
}

TEST(FrameConvertTest, ShortOrMalformedInputIsRefused)
{
    std::vector<std::uint8_t> src(100, 128), out(1000);
    EXPECT_FALSE(YuyvToDib24(src.data(), 15, 8, 4, 2, out.data()));  // needs 16
    EXPECT_TRUE(YuyvToDib24(src.data(), 16, 8, 4, 2, out.data()));
    EXPECT_FALSE(YuyvToDib24(src.data(), 100, 6, 3, 2, out.data())); // odd width
    EXPECT_FALSE(YuyvToDib24(src.data(), 100, 4, 4, 2, out.data())); // stride below a row
    EXPECT_FALSE(Rgb24ToDib24(src.data(), 11, 6, 2, 2, false, out.data()));
    EXPECT_FALSE(MjpegToDib24(src.data(), src.size(), 4, 2, out.data()));  // not a JPEG
}

TEST(FrameConvertTest, Rgb24SwapsOrderAndFlipsRows)
{
    const std::uint8_t src[] = {1, 2, 3, 4, 5, 6};  // one column, two rows
    std::vector<std::uint8_t> out(DibStride24(1) * 2);
    ASSERT_TRUE(Rgb24ToDib24(src, sizeof src, 3, 1, 2, true, out.data()));
    EXPECT_EQ((std::vector<std::uint8_t>{out[0], out[1], out[2], out[4], out[5], out[6]}),
              (std::vector<std::uint8_t>{6, 5, 4, 3, 2, 1}));
}

TEST(FrameConvertTest, MjpegDecodesToBottomUpBgrOfTheExpectedSize)
{
    // 16 x 16: top half red, bottom half blue, encoded 4:4:4 at quality 100.
    const int w = 16, h = 16;
    std::vector<std::uint8_t> rgb(w * h * 3);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            std::uint8_t* p = &rgb[(y * w + x) * 3];
            p[0] = y < 8 ? 255 : 0;
            p[2] = y < 8 ? 0 : 255;
        }
    tjhandle tj = tjInitCompress();
    unsigned char* jpeg = nullptr;
    unsigned long size = 0;
    ASSERT_EQ(tjCompress2(tj, rgb.data(), w, w * 3, h, TJPF_RGB, &jpeg, &size, TJSAMP_444, 100, 0), 0);
    std::vector<std::uint8_t> out(DibStride24(w) * h);
    EXPECT_TRUE(MjpegToDib24(jpeg, size, w, h, out.data()));
    EXPECT_NEAR(out[0], 255, 3);  // bottom line first: blue
    EXPECT_NEAR(out[2], 0, 3);
    const std::size_t top = DibStride24(w) * (h - 1);
    EXPECT_NEAR(out[top + 2], 255, 3);  // top line: red
    EXPECT_NEAR(out[top + 0], 0, 3);
    EXPECT_FALSE(MjpegToDib24(jpeg, size, 8, 8, out.data()));  // not the size asked for
    EXPECT_FALSE(MjpegToDib24(jpeg, size / 2, w, h, out.data()));  // cut short
    tjFree(jpeg);
    tjDestroy(tj);
}
