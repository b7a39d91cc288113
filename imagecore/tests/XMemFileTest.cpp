#include "imagecore/XMemFile.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// A malloc'd buffer holding bytes 1, 2, 3, 4, as callers hand them over.
unsigned char* FourBytes()
{
    auto* p = static_cast<unsigned char*>(std::malloc(4));
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<unsigned char>(i + 1);
    return p;
}

TEST(XMemFile, GrowsInWholeStepsOf4096)
{
    CxMemFile f;
    ASSERT_TRUE(f.Open());
    EXPECT_EQ(f.GetCapacity(), 0u);
    const std::vector<unsigned char> data(5000, 7);
    EXPECT_EQ(f.Write(data.data(), 1, 1), 1u);
    EXPECT_EQ(f.GetCapacity(), 4096u);
    ASSERT_TRUE(f.Seek(1, 0));
    EXPECT_EQ(f.Write(data.data(), 1, 5000), 5000u);
    EXPECT_EQ(f.GetCapacity(), 8192u);
    EXPECT_EQ(f.Size(), 5001);
    EXPECT_EQ(f.Tell(), 5001);
    EXPECT_FALSE(f.Open()); // already has a buffer
}

TEST(XMemFile, ReadReturnsWholeItemsOfWhatIsLeft)
{
    CxMemFile f;
    ASSERT_TRUE(f.Open());
    const unsigned char data[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    ASSERT_EQ(f.Write(data, 4, 2), 2u);
    ASSERT_TRUE(f.Seek(2, 0));
    unsigned char out[40];
    std::memset(out, 0xEE, sizeof out);
    EXPECT_EQ(f.Read(out, 4, 10), 1u); // 6 bytes left: one whole item
    EXPECT_EQ(std::memcmp(out, data + 2, 6), 0);
    EXPECT_EQ(out[6], 0xEE);
    EXPECT_EQ(f.Tell(), 8);
    EXPECT_TRUE(f.Eof());
    EXPECT_EQ(f.Read(out, 1, 1), 0u);
    EXPECT_EQ(f.Read(nullptr, 1, 1), 0u);
}

struct SeekCase {
    long offset;
    int origin;
    bool ok;
    long position; // after the call
};

class XMemFileSeek : public ::testing::TestWithParam<SeekCase> {};

// Four used bytes, position 2.
TEST_P(XMemFileSeek, MovesOrRefusesWithoutChange)
{
    CxMemFile f(FourBytes(), 4);
    ASSERT_TRUE(f.Seek(2, 0));
    const SeekCase& c = GetParam();
    EXPECT_EQ(f.Seek(c.offset, c.origin), c.ok);
    EXPECT_EQ(f.Tell(), c.position);
    EXPECT_EQ(f.Eof(), c.position >= 4);
    EXPECT_EQ(f.Error(), c.position > 4 ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Origins, XMemFileSeek,
                         ::testing::Values(SeekCase{-1, 0, false, 2}, SeekCase{10, 2, true, 14},
                                           SeekCase{1, 1, true, 3}, SeekCase{-3, 1, false, 2},
                                           SeekCase{-4, 2, true, 0}, SeekCase{0, 3, false, 2},
                                           SeekCase{LONG_MAX, 1, false, 2}, SeekCase{4, 0, true, 4}));

TEST(XMemFile, WritePastTheEndZeroFillsTheGap)
{
    CxMemFile f(FourBytes(), 4);
    ASSERT_TRUE(f.Seek(10, 0));
    EXPECT_EQ(f.GetC(), -1);
    EXPECT_TRUE(f.PutC(9));
    EXPECT_EQ(f.Size(), 11);
    unsigned char* buf = f.GetBuffer();
    const unsigned char want[11] = {1, 2, 3, 4, 0, 0, 0, 0, 0, 0, 9};
    EXPECT_EQ(std::memcmp(buf, want, 11), 0);
    std::free(buf);
}

TEST(XMemFile, OverflowingRequestsFailAndChangeNothing)
{
    CxMemFile f(FourBytes(), 4);
    const unsigned char b = 1;
    EXPECT_EQ(f.Write(&b, SIZE_MAX, 2), 0u);
    unsigned char out[4];
    EXPECT_EQ(f.Read(out, SIZE_MAX, 2), 0u);
    EXPECT_EQ(f.Size(), 4);
    EXPECT_EQ(f.Tell(), 0);
    EXPECT_EQ(f.GetCapacity(), 4u);
}

TEST(XMemFile, WithoutBufferEverythingFails)
{
    CxMemFile f;
    unsigned char b = 0;
    EXPECT_EQ(f.Write(&b, 1, 1), 0u);
    EXPECT_EQ(f.Read(&b, 1, 1), 0u);
    EXPECT_FALSE(f.Seek(0, 0));
    EXPECT_EQ(f.Tell(), -1);
    EXPECT_EQ(f.Size(), -1);
    EXPECT_FALSE(f.Flush());
    EXPECT_TRUE(f.Eof());
    EXPECT_EQ(f.Error(), -1);
    EXPECT_FALSE(f.PutC(1));
    EXPECT_EQ(f.GetC(), -1);
    EXPECT_TRUE(f.Close());
}

TEST(XMemFile, ByteRoundTrip)
{
    CxMemFile f;
    ASSERT_TRUE(f.Open());
    EXPECT_TRUE(f.PutC(0));
    EXPECT_TRUE(f.PutC(255));
    ASSERT_TRUE(f.Seek(0, 0));
    EXPECT_EQ(f.GetC(), 0);
    EXPECT_EQ(f.GetC(), 255);
    EXPECT_EQ(f.GetC(), -1);
}

// A caller's buffer belongs to the stream from the start: the stream frees
// it (the leak checker would see it otherwise), also after growing it.
TEST(XMemFile, TakesOwnershipOfACallersBuffer)
{
    {
        CxMemFile f(FourBytes(), 4);
        EXPECT_TRUE(f.Close());
        EXPECT_EQ(f.Size(), -1);
    }
    {
        CxMemFile f(FourBytes(), 4);
        ASSERT_TRUE(f.Seek(0, 2));
        const std::vector<unsigned char> more(5000, 3);
        EXPECT_EQ(f.Write(more.data(), 1, more.size()), more.size());
        EXPECT_EQ(f.GetCapacity(), 4u + 8192u);
    }
}

TEST(XMemFile, GetBufferHandsOwnershipBack)
{
    unsigned char* buf = nullptr;
    {
        CxMemFile f(FourBytes(), 4);
        ASSERT_TRUE(f.Seek(0, 2));
        const unsigned char five = 5;
        ASSERT_EQ(f.Write(&five, 1, 1), 1u);
        buf = f.GetBuffer();
    }
    const unsigned char want[5] = {1, 2, 3, 4, 5};
    EXPECT_EQ(std::memcmp(buf, want, 5), 0);
    std::free(buf);
}

} // namespace
