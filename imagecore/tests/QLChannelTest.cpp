#include "imagecore/QLChannel.h"
#include "imagecore/QLImage.h"
#include "imagecore/tests/BmpTestWriter.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <utility>
#include <vector>

namespace {

static_assert(sizeof(void*) != 8 || sizeof(CQLChannel) == 40);

void FillChannel(CQLChannel& ch, int w, int h)
{
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            ch.Set(x, y, static_cast<BYTE>(x * 10 + y));
}

TEST(QLChannelTest, CreateGivesAlignedRowsWithoutPadding)
{
    CQLChannel ch;
    ASSERT_EQ(ch.Create(5, 3), 0);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(ch.GetBuffer(0, 0)) % 16, 0u);
    EXPECT_EQ(ch.GetBuffer(0, 1), ch.GetBuffer(0, 0) + 5);
    EXPECT_EQ(ch.GetAreaByteSize(), 15u);
    EXPECT_EQ(ch.Create(0x10000, 0x10000), E_FAIL);
    EXPECT_EQ(ch.GetBuffer(0, 0), nullptr);
    EXPECT_EQ(ch.GetAreaByteSize(), 0u);
}

TEST(QLChannelTest, SafeAccessClampsAsUnsigned)
{
    CQLChannel ch;
    ASSERT_EQ(ch.Create(4, 3), 0);
    FillChannel(ch, 4, 3);
    EXPECT_EQ(ch.SafeGet(-1, 0), ch.Get(3, 0));
    EXPECT_EQ(ch.SafeGet(1, -1), ch.Get(1, 2));
    EXPECT_EQ(ch.SafeGet(9, 9), ch.Get(3, 2));
    ch.SafeSet(-1, -1, 200);
    EXPECT_EQ(ch.Get(3, 2), 200);
}

TEST(QLChannelTest, DuplicateFromChannelAndFromImageByte)
{
    CQLChannel src;
    ASSERT_EQ(src.Create(4, 3), 0);
    FillChannel(src, 4, 3);
    CQLChannel copy;
    EXPECT_EQ(copy.DuplicateFrom(static_cast<const CQLChannel*>(nullptr)), 0);
    ASSERT_EQ(copy.DuplicateFrom(&src), 1);
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(copy.Get(i % 4, i / 4), src.Get(i % 4, i / 4));

    CQLImage img;
    ASSERT_EQ(img.Create(3, 2), 0);
    for (int i = 0; i < 6; ++i)
        img.PutPixel(i % 3, i / 3, CPixel{static_cast<BYTE>(i), static_cast<BYTE>(i + 10), static_cast<BYTE>(i + 20), static_cast<BYTE>(i + 30)});
    for (int index = 0; index < 4; ++index) {
        CQLChannel plane;
        ASSERT_EQ(plane.DuplicateFrom(&img, index), 1);
        UINT w = 0;
        UINT h = 0;
        plane.GetSize(&w, &h);
        ASSERT_EQ(w, 3u);
        ASSERT_EQ(h, 2u);
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(plane.Get(i % 3, i / 3), i + 10 * index) << index;
    }
}

TEST(QLChannelTest, MoveLeavesTheSourceEmpty)
{
    CQLChannel a;
    ASSERT_EQ(a.Create(4, 3), 0);
    FillChannel(a, 4, 3);
    BYTE* bits = a.GetBuffer(0, 0);
    CQLChannel b(std::move(a));
    EXPECT_EQ(a.GetBuffer(0, 0), nullptr);
    EXPECT_EQ(a.GetAreaByteSize(), 0u);
    EXPECT_EQ(b.GetBuffer(0, 0), bits);
    CQLChannel c;
    ASSERT_EQ(c.Create(1, 1), 0);
    c = std::move(b);
    EXPECT_EQ(b.GetBuffer(0, 0), nullptr);
    EXPECT_EQ(c.GetBuffer(0, 0), bits);
    EXPECT_EQ(c.Get(2, 1), 21);
}

TEST(QLChannelTest, DumpWritesTheValuesAsGrey)
{
    CQLChannel ch;
    ASSERT_EQ(ch.Create(4, 3), 0);
    FillChannel(ch, 4, 3);
    const std::string path = bmptest::TempPath("dump.bmp");
    ASSERT_EQ(ch.Dump(path.c_str()), 0);
    CQLImage back;
    ASSERT_EQ(back.LoadFromFile(path.c_str()), 0);
    std::remove(path.c_str());
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) {
            const CPixel p = back.GetPixel2(x, y);
            const BYTE v = ch.Get(x, y);
            EXPECT_TRUE(p.b == v && p.g == v && p.r == v) << x << "," << y;
        }
}

} // namespace
