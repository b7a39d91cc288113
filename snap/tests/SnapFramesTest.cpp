#include "snap/SnapFrames.h"

#include <gtest/gtest.h>

#include <vector>

using namespace snap;

namespace {

// A w x h snapshot, each pixel naming its place:
// blue = x, green = y.
CQLImage Snapshot(int w, int h)
{
    CQLImage img;
    EXPECT_EQ(img.Create(static_cast<UINT>(w), static_cast<UINT>(h)), 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.PutPixel(x, y, CPixel{static_cast<BYTE>(x), static_cast<BYTE>(y), 7, 255});
    return img;
}

struct CropCase {
    const char* name;
    RECT selection;
    RECT expected;  // in snapshot pixels; empty: nothing
};

} // namespace

TEST(SnapFramesTest, CropTakesTheSelectionTopLineFirstAndClipsIt)
{
    const CQLImage shot = Snapshot(40, 30);
    const CropCase cases[] = {
        {"inside", {5, 6, 15, 10}, {5, 6, 15, 10}},
        {"no width: whole snapshot", {5, 6, 5, 20}, {0, 0, 40, 30}},
        {"no height: whole snapshot", {5, 6, 20, 6}, {0, 0, 40, 30}},
        {"empty", {0, 0, 0, 0}, {0, 0, 40, 30}},
        {"past the right and bottom", {30, 25, 60, 50}, {30, 25, 40, 30}},
        {"past the left and top", {-10, -5, 4, 3}, {0, 0, 4, 3}},
        {"wholly outside", {50, 50, 60, 60}, {0, 0, 0, 0}},
        {"one pixel", {39, 29, 40, 30}, {39, 29, 40, 30}},
    };
    for (const CropCase& c : cases) {
        SCOPED_TRACE(c.name);
        CQLImage out;
        const bool ok = CropSnapshot(shot, c.selection, &out);
        const int w = c.expected.right - c.expected.left, h = c.expected.bottom - c.expected.top;
        ASSERT_EQ(ok, w > 0);
        UINT ow = 0, oh = 0;
        out.GetSize(&ow, &oh);
        ASSERT_EQ(static_cast<int>(ow), w);
        ASSERT_EQ(static_cast<int>(oh), h);
        for (int i = 0; i < h; ++i)
            for (int x = 0; x < w; ++x) {
                const CPixel p = out.GetPixel2(x, i);
                ASSERT_EQ(p.b, c.expected.left + x);
                ASSERT_EQ(p.g, c.expected.top + i);  // the image's rows run top-down
            }
    }
    CQLImage none, out;
    EXPECT_FALSE(CropSnapshot(none, RECT{0, 0, 5, 5}, &out));
}

TEST(SnapFramesTest, FitKeepsTheFrameShapeCentred)
{
    struct FitCase {
        RECT target;
        int sw, sh;
        RECT expected;
    } const cases[] = {
        {{0, 0, 300, 300}, 640, 480, {0, 37, 300, 263}},  // 300 x 226 at +37
        {{0, 0, 300, 300}, 480, 640, {37, 0, 263, 300}},
        {{10, 20, 110, 120}, 50, 50, {10, 20, 110, 120}},
        {{0, 0, 301, 200}, 100, 100, {50, 0, 251, 200}},
        {{0, 0, 300, 300}, 0, 480, {0, 0, 300, 300}},
    };
    for (const FitCase& c : cases) {
        const RECT r = FitFrame(c.target, c.sw, c.sh);
        EXPECT_EQ(r.left, c.expected.left) << c.sw << "x" << c.sh;
        EXPECT_EQ(r.top, c.expected.top) << c.sw << "x" << c.sh;
        EXPECT_EQ(r.right, c.expected.right) << c.sw << "x" << c.sh;
        EXPECT_EQ(r.bottom, c.expected.bottom) << c.sw << "x" << c.sh;
    }
}

namespace {

BITMAPINFOHEADER Header(int w, int h, int bits, DWORD compression = 0)
{
    BITMAPINFOHEADER f{};
    f.biSize = sizeof f;
    f.biWidth = w;
    f.biHeight = h;
    f.biPlanes = 1;
    f.biBitCount = static_cast<WORD>(bits);
    f.biCompression = compression;
    return f;
}

} // namespace

TEST(SnapFramesTest, FramesBecomePixelsTopLineFirst)
{
    // 3 x 2 frames: rows padded to 4 bytes (12 for 24 bits, 4 for 8 bits).
    const std::vector<BYTE> bgr = {1, 2, 3, 4, 5, 6, 7, 8, 9, 0xEE, 0xEE, 0xEE,  // first stored row
                                   11, 12, 13, 14, 15, 16, 17, 18, 19, 0xEE, 0xEE, 0xEE};
    const std::vector<BYTE> grey = {1, 2, 3, 0xEE, 11, 12, 13, 0xEE};
    struct FrameCase {
        const char* name;
        BITMAPINFOHEADER format;
        const std::vector<BYTE>* bits;
        BYTE firstRowFirstBlue;  // image row 0 (the top line), column 0
        BYTE lastPixelRed;       // row 1, column 2
    } const cases[] = {
        {"24 bits bottom-up", Header(3, 2, 24), &bgr, 11, 9},
        {"24 bits top-down", Header(3, -2, 24), &bgr, 1, 19},
        {"8 bits bottom-up", Header(3, 2, 8), &grey, 11, 3},
        {"8 bits top-down", Header(3, -2, 8), &grey, 1, 13},
    };
    for (const FrameCase& c : cases) {
        SCOPED_TRACE(c.name);
        CQLImage img;
        ASSERT_TRUE(FrameToImage(c.format, c.bits->data(), c.bits->size(), &img));
        UINT w = 0, h = 0;
        img.GetSize(&w, &h);
        EXPECT_EQ(w, 3u);
        EXPECT_EQ(h, 2u);
        EXPECT_EQ(img.GetPixel2(0, 0).b, c.firstRowFirstBlue);
        EXPECT_EQ(img.GetPixel2(2, 1).r, c.lastPixelRed);
    }
}

TEST(SnapFramesTest, FramesWithMissingBytesOrOtherFormatsAreRefused)
{
    const std::vector<BYTE> bytes(64, 0);
    struct BadCase {
        const char* name;
        BITMAPINFOHEADER format;
        std::size_t size;
    } const cases[] = {
        {"last row short of its padding", Header(3, 2, 24), 23},
        {"unpadded size", Header(3, 2, 24), 18},
        {"16 bits", Header(3, 2, 16), 64},
        {"32 bits", Header(3, 2, 32), 64},
        {"compressed", Header(3, 2, 24, 1), 64},
        {"no width", Header(0, 2, 24), 64},
        {"no height", Header(3, 0, 24), 64},
    };
    for (const BadCase& c : cases) {
        CQLImage img;
        EXPECT_FALSE(FrameToImage(c.format, bytes.data(), c.size, &img)) << c.name;
        UINT w = 0, h = 0;
        img.GetSize(&w, &h);
        EXPECT_EQ(w, 0u) << c.name;
    }
    CQLImage img;
    EXPECT_TRUE(FrameToImage(Header(3, 2, 24), bytes.data(), 24, &img));
    EXPECT_FALSE(FrameToImage(Header(3, 2, 24), nullptr, 24, &img));
}
