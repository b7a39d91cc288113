// Clipboard blocks from outside that claim too much.
#include "imagecore/ImageLimits.h"
#include "imagecore/XImage.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <vector>

namespace {

HGLOBAL BlockWith(const BITMAPINFOHEADER& head, std::size_t pixelBytes)
{
    HGLOBAL h = GlobalAlloc(GHND, sizeof head + pixelBytes);
    std::memcpy(GlobalLock(h), &head, sizeof head);
    GlobalUnlock(h);
    return h;
}

TEST(XImageHostile, HugeResolutionIsKeptInRange)
{
    // 0x7FFFFFFF pixels per metre is 54546085 dpi, whose pixels per metre
    // do not fit the field: the field takes its largest value.
    const BITMAPINFOHEADER head{40, 2, 2, 1, 24, 0, 16, 0x7FFFFFFF, 0x7FFFFFFF, 0, 0};
    HGLOBAL h = BlockWith(head, 16);
    CxImage img;
    ASSERT_TRUE(img.CreateFromHANDLE(h));
    GlobalFree(h);
    EXPECT_EQ(img.GetXDPI(), 54546085);
    EXPECT_EQ(img.GetYDPI(), 54546085);
    BITMAPINFOHEADER stored{};
    std::memcpy(&stored, img.GetDIB(), sizeof stored);
    EXPECT_EQ(stored.biXPelsPerMeter, INT_MAX);
    EXPECT_EQ(stored.biYPelsPerMeter, INT_MAX);

    img.SetXDPI(INT_MIN);
    std::memcpy(&stored, img.GetDIB(), sizeof stored);
    EXPECT_EQ(stored.biXPelsPerMeter, INT_MIN);
}

TEST(XImageHostile, BlockOverThePixelCapIsRefusedAndTheImageKept)
{
    // 25000 x 25000 one-bit pixels: the block really holds them (78 MB of
    // untouched zero pages), but 625 megapixels are over the cap.
    const LONG side = 25000;
    const std::size_t stride = (side + 31) / 32 * 4;
    const BITMAPINFOHEADER head{40, side, side, 1, 1, 0, 0, 0, 0, 0, 0};
    HGLOBAL h = BlockWith(head, 8 + stride * side);
    CxImage img(3, 2, 24);
    EXPECT_FALSE(img.CreateFromHANDLE(h));
    GlobalFree(h);
    EXPECT_STREQ(img.GetLastError(), "CreateFromHANDLE : too big image size");
    EXPECT_EQ(img.GetWidth(), 3u);
    EXPECT_EQ(img.GetHeight(), 2u);
}

TEST(ImageLimits, PixelCapAndHalfOfPhysicalMemory)
{
    struct Case {
        ULONGLONG w, h, bpp, physical;
        bool allowed;
    };
    const Case cases[] = {
        {20000, 20000, 4, 0, true},                       // 400 MP, memory unknown
        {25000, 20000, 4, 0, true},                       // exactly the cap
        {25000, 20001, 4, 0, false},                      // one row over it
        {65535, 16383, 4, 0, false},                      // what a tiny header may claim
        {1, 0, 4, 0, false},
        {0, 1, 4, 0, false},
        {10000, 10000, 4, ULONGLONG{700} << 20, false},   // 400 MB against half of 700 MB
        {10000, 10000, 4, ULONGLONG{1} << 30, true},      // 400 MB against 512 MB
        {10000, 10000, 1, ULONGLONG{200} << 20, true},    // one byte a pixel: 100 MB
        {ULONGLONG{1} << 32, ULONGLONG{1} << 32, 4, 0, false}, // no overflow in the product
    };
    for (const Case& c : cases)
        EXPECT_EQ(imagecore::DecodeSizeAllowed(c.w, c.h, c.bpp, c.physical), c.allowed)
            << c.w << " x " << c.h << " x " << c.bpp << " of " << c.physical;
    EXPECT_GT(imagecore::PhysicalMemory(), 0u);
}

} // namespace
