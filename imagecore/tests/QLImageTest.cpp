#include "imagecore/QLChannel.h"
#include "imagecore/QLImage.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

namespace {

static_assert(sizeof(CPixel) == 4);
static_assert(sizeof(void*) != 8 || sizeof(CQLImage) == 40);

CPixel Pattern(int x, int y)
{
    return CPixel{static_cast<BYTE>(x * 7 + y), static_cast<BYTE>(x + y * 13), static_cast<BYTE>(x * y), static_cast<BYTE>(x ^ y)};
}

void Fill(CQLImage& img)
{
    UINT w = 0;
    UINT h = 0;
    img.GetSize(&w, &h);
    for (UINT y = 0; y < h; ++y)
        for (UINT x = 0; x < w; ++x)
            img.PutPixel(static_cast<int>(x), static_cast<int>(y), Pattern(static_cast<int>(x), static_cast<int>(y)));
}

void ExpectPattern(const CQLImage& img)
{
    UINT w = 0;
    UINT h = 0;
    img.GetSize(&w, &h);
    for (UINT y = 0; y < h; ++y)
        for (UINT x = 0; x < w; ++x) {
            const CPixel want = Pattern(static_cast<int>(x), static_cast<int>(y));
            ASSERT_EQ(img.GetPixel(static_cast<int>(x), static_cast<int>(y)), (DWORD{want.a} << 24 | DWORD{want.r} << 16 | DWORD{want.g} << 8 | want.b))
                << x << "," << y;
        }
}

void ExpectEmpty(const CQLImage& img)
{
    UINT w = 1;
    UINT h = 1;
    img.GetSize(&w, &h);
    EXPECT_EQ(img.GetBuffer(0, 0), nullptr);
    EXPECT_EQ(w, 0u);
    EXPECT_EQ(h, 0u);
    EXPECT_EQ(img.GetAreaByteSize(), 0u);
}

template <class T>
T FieldAt(const void* object, std::size_t offset)
{
    T value;
    std::memcpy(&value, static_cast<const BYTE*>(object) + offset, sizeof value);
    return value;
}

TEST(QLImageLayout, FieldsSitWhereOtherModulesExpectThem)
{
    if constexpr (sizeof(void*) != 8)
        GTEST_SKIP() << "offsets are for 64-bit builds";
    CQLImage img;
    ASSERT_EQ(img.Create(3, 5), 0);
    const auto raw = FieldAt<std::uintptr_t>(&img, 8);
    const auto bits = FieldAt<BYTE*>(&img, 16);
    EXPECT_EQ(bits, img.GetBuffer(0, 0));
    const auto b = reinterpret_cast<std::uintptr_t>(bits);
    EXPECT_EQ(b % 16, 0u);
    EXPECT_GE(b - raw, 1u);
    EXPECT_LE(b - raw, 16u);
    EXPECT_EQ(FieldAt<UINT>(&img, 24), 3u);
    EXPECT_EQ(FieldAt<UINT>(&img, 28), 5u);
    EXPECT_EQ(FieldAt<UINT>(&img, 32), 60u);
}

TEST(QLImageLayout, PixelWordHasBlueInTheLowestByteAndRowsHaveNoPadding)
{
    CQLImage img;
    ASSERT_EQ(img.Create(3, 2), 0);
    img.PutPixel(0, 1, CPixel{1, 2, 3, 4});
    EXPECT_EQ(img.GetPixel(0, 1), 0x04030201u);
    EXPECT_EQ(img.GetBuffer(0, 1), img.GetBuffer(0, 0) + 12);
    EXPECT_EQ(img.GetBuffer(0, 1)[2], 3);
}

TEST(QLImageCreate, SameSizeKeepsBufferAndContents)
{
    CQLImage img;
    ASSERT_EQ(img.Create(4, 3), 0);
    Fill(img);
    BYTE* before = img.GetBuffer(0, 0);
    ASSERT_EQ(img.Create(4, 3), 0);
    EXPECT_EQ(img.GetBuffer(0, 0), before);
    ExpectPattern(img);
}

TEST(QLImageCreate, OtherSizeGetsABufferOfThatSize)
{
    CQLImage img;
    ASSERT_EQ(img.Create(2, 2), 0);
    ASSERT_EQ(img.Create(40, 30), 0);
    UINT w = 0;
    UINT h = 0;
    img.GetSize(&w, &h);
    EXPECT_EQ(w, 40u);
    EXPECT_EQ(h, 30u);
    EXPECT_EQ(img.GetAreaByteSize(), 40u * 30u * 4u);
    Fill(img); // a kept small buffer would overflow here (sanitizer build)
    ExpectPattern(img);
}

TEST(QLImageCreate, ZeroSideGivesImageWithoutPixels)
{
    CQLImage img;
    ASSERT_EQ(img.Create(2, 2), 0);
    EXPECT_EQ(img.Create(0, 5), 0);
    UINT w = 9;
    UINT h = 9;
    img.GetSize(&w, &h);
    EXPECT_EQ(w, 0u);
    EXPECT_EQ(h, 5u);
    EXPECT_EQ(img.GetBuffer(0, 0), nullptr);
    EXPECT_EQ(img.GetAreaByteSize(), 0u);
}

TEST(QLImageCreate, RefusesSizesBeyondThe32BitSizeFieldAndLeavesImageEmpty)
{
    struct Case {
        UINT w;
        UINT h;
    };
    const std::vector<Case> cases = {
        {65536, 16384},           // exactly 4 GiB
        {0x3FFFFFFC, 1},          // 0xFFFFFFF0 bytes, no room for the 16 bytes of slack
        {0xFFFFFFFF, 0xFFFFFFFF}, // overflows even 64 bits when multiplied by 4
        {0x80000000, 2},
    };
    for (const Case& c : cases) {
        CQLImage img;
        ASSERT_EQ(img.Create(2, 2), 0);
        EXPECT_EQ(img.Create(c.w, c.h), E_FAIL) << c.w << "x" << c.h;
        ExpectEmpty(img);
    }
}

TEST(QLImageCreate, CreateNewInstanceIsEmpty)
{
    std::unique_ptr<CQLImage> img(CQLImage::CreateNewInstance());
    ASSERT_NE(img, nullptr);
    ExpectEmpty(*img);
}

TEST(QLImageDuplicate, RefusesNullAndEmptySources)
{
    CQLImage dst;
    ASSERT_EQ(dst.Create(2, 2), 0);
    CQLImage empty;
    EXPECT_EQ(dst.DuplicateFrom(nullptr), 0);
    EXPECT_EQ(dst.DuplicateFrom(&empty), 0);
    UINT w = 0;
    UINT h = 0;
    dst.GetSize(&w, &h);
    EXPECT_EQ(w, 2u);
}

TEST(QLImageDuplicate, IntoLargerImageReusesItsBufferAndTakesTheSourceSize)
{
    CQLImage src;
    ASSERT_EQ(src.Create(3, 2), 0);
    Fill(src);
    CQLImage dst;
    ASSERT_EQ(dst.Create(8, 8), 0);
    BYTE* before = dst.GetBuffer(0, 0);
    ASSERT_EQ(dst.DuplicateFrom(&src), 1);
    EXPECT_EQ(dst.GetBuffer(0, 0), before);
    UINT w = 0;
    UINT h = 0;
    dst.GetSize(&w, &h);
    EXPECT_EQ(w, 3u);
    EXPECT_EQ(h, 2u);
    EXPECT_EQ(dst.GetAreaByteSize(), 24u);
    ExpectPattern(dst);
}

TEST(QLImageDuplicate, IntoSmallerImageAllocatesAndCopies)
{
    CQLImage src;
    ASSERT_EQ(src.Create(17, 9), 0);
    Fill(src);
    CQLImage dst;
    ASSERT_EQ(dst.Create(1, 1), 0);
    ASSERT_EQ(dst.DuplicateFrom(&src), 1);
    EXPECT_NE(dst.GetBuffer(0, 0), src.GetBuffer(0, 0));
    ExpectPattern(dst);
    EXPECT_EQ(dst.DuplicateFrom(&dst), 1);
    ExpectPattern(dst);
}

TEST(QLImageMove, MoveTakesTheBufferAndLeavesTheSourceEmpty)
{
    CQLImage a;
    ASSERT_EQ(a.Create(5, 4), 0);
    Fill(a);
    BYTE* bits = a.GetBuffer(0, 0);

    CQLImage b(std::move(a));
    ExpectEmpty(a);
    EXPECT_EQ(b.GetBuffer(0, 0), bits);
    ExpectPattern(b);

    CQLImage c;
    ASSERT_EQ(c.Create(2, 2), 0); // freed by the assignment (leak check in the sanitizer build)
    c = std::move(b);
    ExpectEmpty(b);
    EXPECT_EQ(c.GetBuffer(0, 0), bits);
    ExpectPattern(c);
}

TEST(QLImageAccess, SafePixelClampsAsUnsignedSoNegativeReadsTheLastColumnOrRow)
{
    CQLImage img;
    ASSERT_EQ(img.Create(3, 2), 0);
    Fill(img);
    struct Case {
        int x, y, wantX, wantY;
    };
    const std::vector<Case> cases = {
        {-1, 0, 2, 0}, {0, -1, 0, 1}, {3, 1, 2, 1}, {100, 100, 2, 1}, {1, 1, 1, 1}, {-5, -5, 2, 1},
    };
    for (const Case& c : cases) {
        const CPixel got = img.GetSafePixel(c.x, c.y);
        const CPixel want = Pattern(c.wantX, c.wantY);
        EXPECT_TRUE(got == want && got.a == want.a) << c.x << "," << c.y;
    }
}

TEST(QLImageGray, BuildGrayChannelWritesAlphaAndReturnsTheSum)
{
    CQLImage img;
    ASSERT_EQ(img.Create(2, 1), 0);
    img.PutPixel(0, 0, CPixel{7, 200, 100, 1}); // 150
    img.PutPixel(1, 0, CPixel{9, 0, 0, 1});     // 0
    EXPECT_EQ(img.BuildGrayChannel(), 150u);
    EXPECT_EQ(img.GetPixel2(0, 0).a, 150);
    EXPECT_EQ(img.GetPixel2(1, 0).a, 0);
    CQLImage empty;
    EXPECT_EQ(empty.BuildGrayChannel(), 0u);
}

TEST(QLImageGray, BuildGrayChannelSumOfALargePhotoExceeds32Bits)
{
    CQLImage img;
    ASSERT_EQ(img.Create(4200, 4096), 0);
    std::memset(img.GetBuffer(0, 0), 0xFF, img.GetAreaByteSize());
    for (UINT y = 0; y < 4096; ++y)
        img.GetBuffer(0, static_cast<int>(y))[3] = 0; // alpha is overwritten in every row
    EXPECT_EQ(img.BuildGrayChannel(), 255ull * 4200 * 4096);
    for (UINT y = 0; y < 4096; ++y)
        ASSERT_EQ(img.GetBuffer(0, static_cast<int>(y))[3], 255) << y;
}

TEST(QLImageChannel, ChannelFromCopiesIntoTheClampedByte)
{
    struct Case {
        int index;
        int byte;
    };
    const std::vector<Case> cases = {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {-1, 0}, {7, 3}};
    for (const Case& c : cases) {
        CQLImage img;
        ASSERT_EQ(img.Create(3, 2), 0);
        std::memset(img.GetBuffer(0, 0), 0, img.GetAreaByteSize());
        CQLChannel ch;
        ASSERT_EQ(ch.Create(3, 2), 0);
        for (int i = 0; i < 6; ++i)
            ch.Set(i % 3, i / 3, static_cast<BYTE>(10 + i));
        ASSERT_EQ(img.ChannelFrom(&ch, c.index), 1);
        for (int i = 0; i < 6; ++i) {
            const BYTE* p = img.GetBuffer(i % 3, i / 3);
            for (int k = 0; k < 4; ++k)
                EXPECT_EQ(p[k], k == c.byte ? 10 + i : 0) << "index " << c.index << " pixel " << i;
        }
    }
}

TEST(QLImageChannel, ChannelFromRefusesNullEmptyAndOtherSizes)
{
    CQLImage img;
    ASSERT_EQ(img.Create(3, 2), 0);
    std::memset(img.GetBuffer(0, 0), 0x55, img.GetAreaByteSize());
    CQLChannel empty;
    CQLChannel wide;
    ASSERT_EQ(wide.Create(4, 2), 0);
    CQLChannel tall;
    ASSERT_EQ(tall.Create(3, 3), 0);
    EXPECT_EQ(img.ChannelFrom(nullptr, 0), 0);
    EXPECT_EQ(img.ChannelFrom(&empty, 0), 0);
    EXPECT_EQ(img.ChannelFrom(&wide, 0), 0);
    EXPECT_EQ(img.ChannelFrom(&tall, 0), 0);
    for (UINT i = 0; i < img.GetAreaByteSize(); ++i)
        ASSERT_EQ(img.GetBuffer(0, 0)[i], 0x55);
}

TEST(QLImageAverage, AveragesEveryByteOverThePixelCount)
{
    struct Case {
        const char* name;
        UINT w, h;
        std::vector<CPixel> pixels;
        CPixel want;
    };
    const std::vector<Case> cases = {
        {"empty", 0, 3, {}, {0, 0, 0, 0}},
        {"one blue 200", 1, 1, {{200, 0, 0, 0}}, {200, 0, 0, 0}},
        {"two, truncated", 2, 1, {{10, 20, 30, 40}, {11, 22, 33, 45}}, {10, 21, 31, 42}},
    };
    for (const Case& c : cases) {
        CQLImage img;
        ASSERT_EQ(img.Create(c.w, c.h), 0);
        for (std::size_t i = 0; i < c.pixels.size(); ++i)
            img.PutPixel(static_cast<int>(i % c.w), static_cast<int>(i / c.w), c.pixels[i]);
        const CPixel got = img.GetAveragePixel();
        EXPECT_EQ(got.b, c.want.b) << c.name;
        EXPECT_EQ(got.g, c.want.g) << c.name;
        EXPECT_EQ(got.r, c.want.r) << c.name;
        EXPECT_EQ(got.a, c.want.a) << c.name;
    }
}

class LaplasTest : public ::testing::Test {
protected:
    // A black square image with a square of one grey level at [lo, hi) in both directions.
    static CQLImage Square(int side, int lo, int hi, BYTE level)
    {
        CQLImage img;
        EXPECT_EQ(img.Create(static_cast<UINT>(side), static_cast<UINT>(side)), 0);
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x) {
                const BYTE v = (x >= lo && x < hi && y >= lo && y < hi) ? level : 0;
                img.PutPixel(x, y, CPixel{v, v, v, 77});
            }
        return img;
    }
    static std::vector<BYTE> Alpha(const CQLImage& img)
    {
        std::vector<BYTE> out;
        for (UINT i = 0; i < img.GetAreaByteSize() / 4; ++i)
            out.push_back(img.GetBuffer(0, 0)[i * 4 + 3]);
        return out;
    }
};

TEST_F(LaplasTest, SixBySixOrSmallerIsAllZero)
{
    for (UINT side : {1u, 3u, 6u}) {
        CQLImage img;
        ASSERT_EQ(img.Create(side, side), 0);
        for (UINT i = 0; i < img.GetAreaByteSize(); ++i)
            img.GetBuffer(0, 0)[i] = static_cast<BYTE>(i * 37 + 11);
        img.ComputeLaplasToAlpha();
        for (BYTE a : Alpha(img))
            ASSERT_EQ(a, 0) << side;
    }
    CQLImage empty;
    empty.ComputeLaplasToAlpha();
}

TEST_F(LaplasTest, BrightSquareGivesTheHandComputedEdges)
{
    // 12 x 12 black, white square at 4..7. With a = 255 inside:
    // e = 255 * (4 inside - neighbours 3 away inside); |e| keeps its low 8 bits,
    // so 510, 765, 1020 become 254, 253, 252. Then a pixel survives only with
    // at least 5 of 8 non-zero neighbours: the corners of the ring drop out.
    CQLImage img = Square(12, 4, 8, 255);
    img.ComputeLaplasToAlpha();
    const std::vector<BYTE> want = {
        0, 0, 0, 0,   0,   0,   0,   0,   0,   0, 0, 0,
        0, 0, 0, 0,   0,   0,   0,   0,   0,   0, 0, 0,
        0, 0, 0, 0,   0,   0,   0,   0,   0,   0, 0, 0,
        0, 0, 0, 0,   0,   255, 255, 0,   0,   0, 0, 0,
        0, 0, 0, 0,   254, 253, 253, 254, 0,   0, 0, 0,
        0, 0, 0, 255, 253, 252, 252, 253, 255, 0, 0, 0,
        0, 0, 0, 255, 253, 252, 252, 253, 255, 0, 0, 0,
        0, 0, 0, 0,   254, 253, 253, 254, 0,   0, 0, 0,
        0, 0, 0, 0,   0,   255, 255, 0,   0,   0, 0, 0,
        0, 0, 0, 0,   0,   0,   0,   0,   0,   0, 0, 0,
        0, 0, 0, 0,   0,   0,   0,   0,   0,   0, 0, 0,
        0, 0, 0, 0,   0,   0,   0,   0,   0,   0, 0, 0,
    };
    EXPECT_EQ(Alpha(img), want);
    EXPECT_EQ(img.GetPixel2(5, 5).b, 255); // colours untouched
}

TEST_F(LaplasTest, EdgesBelow32AreDropped)
{
    // Same square at grey 10: |e| is at most 40, and only the 4 centre pixels
    // reach it; none of them has 5 surviving neighbours.
    CQLImage img = Square(12, 4, 8, 10);
    img.ComputeLaplasToAlpha();
    for (BYTE a : Alpha(img))
        ASSERT_EQ(a, 0);
}

} // namespace
