#include "platform/raw/RawTone.h"

#include "imagecore/16BitBitmap.h"
#include "imagecore/QLImage.h"

#include <gtest/gtest.h>

namespace {

UINT WidthOf(const CQLImage& image)
{
    UINT w = 0, h = 0;
    image.GetSize(&w, &h);
    return w;
}

TEST(RawToneTable, KnownEntriesAndNeverDecreasing)
{
    const WORD* t = RawToneTable();
    EXPECT_EQ(t[0], 0);
    EXPECT_EQ(t[1179], 20);
    EXPECT_EQ(t[65535], 255);
    for (int i = 1; i < 65536; ++i)
        ASSERT_LE(t[i - 1], t[i]) << i;
}

// A 5 x 5 bitmap with one channel per pixel set from values (b = g = r).
void Fill(C16BitBitmap& bitmap, const int (&values)[5][5])
{
    ASSERT_EQ(bitmap.Create(5, 5), 1);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x) {
            const WORD v = static_cast<WORD>(values[y][x]);
            *bitmap.GetBuffer(x, y) = C16BitPixel{v, v, v};
        }
}

TEST(ConvertRawTo8Bit, SharpensOnlyTheCentreOfAFiveByFive)
{
    // Hand-computed: centre 20000, direct neighbours 10000, diagonals 8000,
    // two steps away 4000, corners and the rest 1000.
    const int values[5][5] = {{1000, 1000, 4000, 1000, 1000},
                              {1000, 8000, 10000, 8000, 1000},
                              {4000, 10000, 20000, 10000, 4000},
                              {1000, 8000, 10000, 8000, 1000},
                              {1000, 1000, 4000, 1000, 1000}};
    // sum = 4*20000 + 4*4*10000 + 2*4*8000 + 4*4000 = 80000+160000+64000+16000 = 320000
    // 320000 >> 5 = 10000; v = 40000 - 10000 = 30000.
    C16BitBitmap bitmap;
    Fill(bitmap, values);
    CQLImage image;
    ASSERT_EQ(ConvertRawTo8Bit(bitmap, image, kRawOpenSharpening), 1);
    const WORD* t = RawToneTable();
    EXPECT_EQ(image.GetBuffer(2, 2)[0], t[30000]);
    EXPECT_EQ(image.GetBuffer(2, 2)[2], t[30000]);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x) {
            if (x == 2 && y == 2)
                continue;
            EXPECT_EQ(image.GetBuffer(x, y)[1], t[values[y][x]]) << x << "," << y;
            EXPECT_EQ(image.GetBuffer(x, y)[3], 255);
        }
}

TEST(ConvertRawTo8Bit, ClampsAtBothEnds)
{
    struct Case {
        int centre, ring;
        int expected16;
    };
    // Dark centre in a bright ring goes below 0; a bright centre in a dark
    // ring above 65535.
    const Case cases[] = {{0, 65535, 0}, {65535, 0, 65535}};
    for (const Case& c : cases) {
        int values[5][5];
        for (auto& row : values)
            for (int& v : row)
                v = c.ring;
        values[2][2] = c.centre;
        C16BitBitmap bitmap;
        Fill(bitmap, values);
        CQLImage image;
        ASSERT_EQ(ConvertRawTo8Bit(bitmap, image, kRawOpenSharpening), 1);
        EXPECT_EQ(image.GetBuffer(2, 2)[0], RawToneTable()[c.expected16]);
    }
}

TEST(ConvertRawTo8Bit, WithoutSharpeningEveryPixelGoesThroughTheTable)
{
    // A 4 x 4 picture has no pixel two away from every border: sharpening
    // changes nothing, and neither does a result-2 conversion.
    for (const bool sharpen : {true, false}) {
        C16BitBitmap bitmap;
        ASSERT_EQ(bitmap.Create(4, 4), 1);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x)
                *bitmap.GetBuffer(x, y) = C16BitPixel{WORD(x * 9000), WORD(y * 15000), WORD(60000 - x * y * 3000)};
        CQLImage image;
        ASSERT_EQ(ConvertRawTo8Bit(bitmap, image, sharpen ? kRawOpenSharpening : 0), 1);
        ASSERT_EQ(WidthOf(image), 4u);
        const WORD* t = RawToneTable();
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x) {
                const C16BitPixel p = bitmap.GetPixel(x, y);
                const BYTE* q = image.GetBuffer(x, y);
                EXPECT_EQ(q[0], t[p.b]);
                EXPECT_EQ(q[1], t[p.g]);
                EXPECT_EQ(q[2], t[p.r]);
            }
    }
}

TEST(ConvertRawTo8Bit, EmptyBitmapLeavesTheImage)
{
    C16BitBitmap empty;
    CQLImage image;
    ASSERT_EQ(image.Create(3, 3), 0);
    EXPECT_EQ(ConvertRawTo8Bit(empty, image, kRawOpenSharpening), 0);
    EXPECT_EQ(WidthOf(image), 3u);
}

} // namespace
