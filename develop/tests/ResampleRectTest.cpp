#include "develop/ResampleRect.h"

#include "imagecore/QLImage.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

using develop::ResampleRect;

CQLImage Make(int w, int h, DWORD (*colour)(int x, int y))
{
    CQLImage image;
    EXPECT_EQ(image.Create(static_cast<UINT>(w), static_cast<UINT>(h)), 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const DWORD c = colour(x, y);
            std::memcpy(image.GetBuffer(x, y), &c, 4);
        }
    return image;
}

UINT Width(const CQLImage& i)
{
    UINT w = 0, h = 0;
    i.GetSize(&w, &h);
    return w;
}
UINT Height(const CQLImage& i)
{
    UINT w = 0, h = 0;
    i.GetSize(&w, &h);
    return h;
}

// Horizontal ramp in B, vertical in G, constant R and alpha.
DWORD Ramp(int x, int y) { return DWORD(x * 10) | DWORD(y * 10) << 8 | 0x80u << 16 | 0xFFu << 24; }

TEST(ResampleRect, OneColumnStretchedRepeatsIt)
{
    const CQLImage source = Make(1, 10, [](int, int y) { return DWORD(y * 20) | DWORD(255 - y * 20) << 8 | 0x11223300u; });
    CQLImage dest;
    ASSERT_TRUE(ResampleRect(&source, &dest, 100, 100, 0, 0, -1, -1));
    ASSERT_EQ(Width(dest), 100u);
    ASSERT_EQ(Height(dest), 100u);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x)
            ASSERT_EQ(dest.GetPixel(x, y), source.GetPixel(0, y / 10)) << x << "," << y;
}

TEST(ResampleRect, OneRowReducedAveragesBlocks)
{
    const CQLImage source = Make(8, 1, [](int x, int) { return DWORD(x * 10) | DWORD(x & 1 ? 200 : 100) << 8; });
    CQLImage dest;
    ASSERT_TRUE(ResampleRect(&source, &dest, 4, 1, 0, 0, 8, 1));
    for (int x = 0; x < 4; ++x) {
        const BYTE* p = dest.GetBuffer(x, 0);
        EXPECT_EQ(p[0], (x * 20 + x * 20 + 10) / 2) << x;
        EXPECT_EQ(p[1], 150) << x;
    }
}

TEST(ResampleRect, EmptySizeGivesOneWhitePixel)
{
    const CQLImage source = Make(4, 4, Ramp);
    for (const auto& [w, h] : {std::pair{0, 10}, std::pair{10, 0}, std::pair{0, 0}}) {
        CQLImage dest;
        ASSERT_TRUE(ResampleRect(&source, &dest, w, h, 0, 0, -1, -1));
        ASSERT_EQ(Width(dest), 1u);
        ASSERT_EQ(Height(dest), 1u);
        EXPECT_EQ(dest.GetPixel(0, 0), 0xFFFFFFFFu);
    }
}

TEST(ResampleRect, BilinearSamplesAtAnyRatio)
{
    struct Case {
        int srcW, srcH, dstW, dstH;
    };
    // On a linear ramp bilinear sampling is exact up to rounding: the end
    // pixels map to the ends and every sample lies on the ramp.
    for (const Case& c : {Case{21, 11, 5, 3}, Case{5, 3, 21, 11}, Case{10, 10, 37, 4}, Case{16, 16, 16, 16}}) {
        const CQLImage source = Make(c.srcW, c.srcH, Ramp);
        CQLImage dest;
        ASSERT_TRUE(ResampleRect(&source, &dest, c.dstW, c.dstH, 0, 0, -1, -1));
        ASSERT_EQ(Width(dest), UINT(c.dstW));
        for (int y = 0; y < c.dstH; ++y)
            for (int x = 0; x < c.dstW; ++x) {
                const BYTE* p = dest.GetBuffer(x, y);
                const double sx = double(x) * (c.srcW - 1) / (c.dstW - 1);
                const double sy = double(y) * (c.srcH - 1) / (c.dstH - 1);
                EXPECT_LE(std::abs(p[0] - sx * 10), 1.01) << x << "," << y;
                EXPECT_LE(std::abs(p[1] - sy * 10), 1.01) << x << "," << y;
                EXPECT_EQ(p[2], 0x80);
                EXPECT_EQ(p[3], 0xFF);
            }
        EXPECT_EQ(dest.GetPixel(c.dstW - 1, c.dstH - 1), source.GetPixel(c.srcW - 1, c.srcH - 1));
        EXPECT_EQ(dest.GetPixel(0, 0), source.GetPixel(0, 0));
    }
}

TEST(ResampleRect, SubRectangleAndOneCutToTheImage)
{
    const CQLImage source = Make(20, 20, Ramp);
    struct Case {
        int x, y, w, h;
        DWORD firstPixel, lastPixel;
    };
    const Case cases[] = {
        {5, 6, 4, 3, source.GetPixel(5, 6), source.GetPixel(8, 8)},
        {15, 15, 40, 40, source.GetPixel(15, 15), source.GetPixel(19, 19)}, // past the right and bottom
        {-5, -5, 10, 10, source.GetPixel(0, 0), source.GetPixel(4, 4)},     // before the left and top
        {10, 10, -1, -1, source.GetPixel(10, 10), source.GetPixel(19, 19)},
    };
    for (const Case& c : cases) {
        CQLImage dest;
        ASSERT_TRUE(ResampleRect(&source, &dest, 7, 9, c.x, c.y, c.w, c.h));
        EXPECT_EQ(dest.GetPixel(0, 0), c.firstPixel) << c.x << "," << c.y;
        EXPECT_EQ(dest.GetPixel(6, 8), c.lastPixel) << c.x << "," << c.y;
    }
    CQLImage dest;
    ASSERT_TRUE(ResampleRect(&source, &dest, 7, 9, 30, 30, 5, 5));
    EXPECT_EQ(Width(dest), 1u) << "nothing of the rectangle inside";
    EXPECT_EQ(dest.GetPixel(0, 0), 0xFFFFFFFFu);
}

TEST(ResampleRect, KeepsADestinationOfTheRightSize)
{
    const CQLImage source = Make(10, 10, Ramp);
    CQLImage dest;
    ASSERT_EQ(dest.Create(6, 6), 0);
    const BYTE* before = dest.GetBuffer(0, 0);
    ASSERT_TRUE(ResampleRect(&source, &dest, 6, 6, 0, 0, -1, -1));
    EXPECT_EQ(dest.GetBuffer(0, 0), before);
    EXPECT_FALSE(ResampleRect(nullptr, &dest, 6, 6, 0, 0, -1, -1));
}

} // namespace
