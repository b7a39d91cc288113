#include "imagecore/16BitBitmap.h"
#include "imagecore/QLImage.h"
#include "imagecore/Simd.h"
#include "imagecore/tests/BmpTestWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace {

static_assert(sizeof(C16BitPixel) == 6);
static_assert(sizeof(void*) != 8 || sizeof(C16BitBitmap) == 32);

TEST(SixteenBitPixel, RoundsToEightBitsWithoutOverflowingAt0xFF80)
{
    struct Case {
        WORD v;
        BYTE want;
    };
    const std::vector<Case> cases = {
        {0xFF80, 255}, {0xFF7F, 255}, {0x0080, 1}, {0x007F, 0}, {0xFFFF, 255}, {0x0000, 0}, {0x7F80, 128}, {0x7F7F, 127},
    };
    for (const Case& c : cases) {
        const CPixel p = C16BitPixel{c.v, c.v, c.v}.GetPixel();
        EXPECT_EQ(p.b, c.want) << std::hex << c.v;
        EXPECT_EQ(p.g, c.want) << std::hex << c.v;
        EXPECT_EQ(p.r, c.want) << std::hex << c.v;
    }
}

TEST(SixteenBitPixel, AssignmentComparisonAndGray)
{
    C16BitPixel p{};
    p = CPixel{1, 2, 255, 99};
    EXPECT_TRUE((p == C16BitPixel{256, 512, 65280}));
    EXPECT_TRUE((p != C16BitPixel{256, 512, 65281}));
    EXPECT_EQ((C16BitPixel{1000, 2000, 3000}.GetGray()), (3 * 3000 + 6 * 2000 + 1000) / 10);
}

TEST(SixteenBitBitmap, CreateAccessAndMove)
{
    C16BitBitmap bmp;
    EXPECT_EQ(bmp.GetBuffer(0, 0), nullptr);
    EXPECT_EQ(bmp.Create(-1, 2), 0);
    EXPECT_EQ(bmp.Create(0x10000, 0x10000), 0);
    ASSERT_EQ(bmp.Create(3, 2), 1);
    for (int i = 0; i < 6; ++i)
        *bmp.GetBuffer(i % 3, i / 3) = C16BitPixel{static_cast<WORD>(i), 0, 0};
    EXPECT_EQ(bmp.SafeGetPixel(-1, 0).b, 2);
    EXPECT_EQ(bmp.SafeGetPixel(0, -1).b, 3);
    EXPECT_EQ(bmp.SafeGetPixel(7, 7).b, 5);

    C16BitBitmap copy;
    ASSERT_EQ(copy.DuplicateFrom(&bmp), 1);
    EXPECT_NE(copy.GetBuffer(0, 0), bmp.GetBuffer(0, 0));
    EXPECT_EQ(copy.GetPixel(1, 1).b, 4);

    C16BitPixel* pixels = bmp.GetBuffer(0, 0);
    C16BitBitmap moved(std::move(bmp));
    EXPECT_EQ(bmp.GetBuffer(0, 0), nullptr);
    EXPECT_EQ(moved.GetBuffer(0, 0), pixels);
    copy = std::move(moved);
    EXPECT_EQ(moved.GetBuffer(0, 0), nullptr);
    EXPECT_EQ(copy.GetBuffer(0, 0), pixels);
}

TEST(SixteenBitBitmap, RefillingABitmapOfTheSameSizeOverwritesEveryPixel)
{
    CQLImage image;
    ASSERT_EQ(image.Create(3, 2), 0);
    for (int i = 0; i < 6; ++i)
        image.PutPixel(i % 3, i / 3, CPixel{static_cast<BYTE>(i), static_cast<BYTE>(10 + i), static_cast<BYTE>(20 + i), 0});
    C16BitBitmap other;
    ASSERT_EQ(other.ConvertFromSimpleBitmap(&image, 0), 1);

    C16BitBitmap bmp;
    ASSERT_EQ(bmp.Create(3, 2), 1);
    for (int i = 0; i < 6; ++i)
        *bmp.GetBuffer(i % 3, i / 3) = C16BitPixel{0xFFFF, 0xFFFF, 0xFFFF};
    ASSERT_EQ(bmp.ConvertFromSimpleBitmap(&image, 0), 1);
    for (int i = 0; i < 6; ++i)
        EXPECT_TRUE((bmp.GetPixel(i % 3, i / 3) == C16BitPixel{static_cast<WORD>(i << 8), static_cast<WORD>((10 + i) << 8),
                                                               static_cast<WORD>((20 + i) << 8)}))
            << i;

    for (int i = 0; i < 6; ++i)
        *bmp.GetBuffer(i % 3, i / 3) = C16BitPixel{1, 2, 3};
    ASSERT_EQ(bmp.DuplicateFrom(&other), 1);
    for (int i = 0; i < 6; ++i)
        EXPECT_TRUE(bmp.GetPixel(i % 3, i / 3) == other.GetPixel(i % 3, i / 3)) << i;

    C16BitBitmap wider;
    ASSERT_EQ(wider.Create(4, 2), 1);
    ASSERT_EQ(wider.DuplicateFrom(&other), 1);
    EXPECT_EQ(wider.GetWidth(), 3);
    EXPECT_TRUE(wider.GetPixel(2, 1) == other.GetPixel(2, 1));
}

TEST(SixteenBitBitmap, PlainConversionRoundTripsAndEmptyInputsFail)
{
    CQLImage img;
    ASSERT_EQ(img.Create(7, 5), 0);
    for (UINT i = 0; i < img.GetAreaByteSize(); ++i)
        img.GetBuffer(0, 0)[i] = static_cast<BYTE>(i * 89 + 3);
    C16BitBitmap bmp;
    ASSERT_EQ(bmp.ConvertFromSimpleBitmap(&img, 0), 1);
    EXPECT_EQ(bmp.GetPixel(2, 3).r, img.GetPixel2(2, 3).r * 256);
    CQLImage back;
    ASSERT_EQ(bmp.ConvertToSimpleBitmap(&back, 0), 1);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) {
            EXPECT_TRUE(back.GetPixel2(x, y) == img.GetPixel2(x, y)) << x << "," << y;
            EXPECT_EQ(back.GetPixel2(x, y).a, 0);
        }

    CQLImage empty;
    EXPECT_EQ(bmp.ConvertFromSimpleBitmap(&empty, 0), 0);
    EXPECT_EQ(bmp.ConvertFromSimpleBitmap(&empty, 1), 0);
    EXPECT_EQ(bmp.ConvertFromSimpleBitmap(nullptr, 0), 0);
    C16BitBitmap none;
    EXPECT_EQ(none.ConvertToSimpleBitmap(&back, 0), 0);
    EXPECT_EQ(none.SaveToBmpFile(bmptest::TempPath("none.bmp").c_str()), E_FAIL);
}

struct SmoothCase {
    const char* name;
    std::vector<WORD> line;
    std::vector<WORD> want;
};

TEST(SixteenBitSmoothing, SmoothInChannelRampsRunEndsAndKeepsEdges)
{
    auto times256 = [](std::vector<int> v) {
        std::vector<WORD> out;
        for (int c : v)
            out.push_back(static_cast<WORD>(c * 256));
        return out;
    };
    std::vector<WORD> longRun = times256({10, 10, 11, 11, 11, 11, 11, 11, 11, 11, 11, 11, 11, 11, 11, 11, 11, 11, 12, 12});
    // Middle run of 16: n = 8; up from 2560: 2816 - (8 - j) * 16; down toward 3072: 2816 + 16 k.
    std::vector<WORD> longWant = {2560, 2560, 2688, 2704, 2720, 2736, 2752, 2768, 2784, 2800,
                                  2816, 2832, 2848, 2864, 2880, 2896, 2912, 2928, 3072, 3072};
    const std::vector<SmoothCase> cases = {
        {"one step", times256({10, 10, 10, 10, 11, 11, 11, 11}), {2560, 2560, 2560, 2624, 2816, 2816, 2816, 2816}},
        {"edge of 10 levels stays", times256({10, 10, 10, 10, 20, 20, 20, 20}), times256({10, 10, 10, 10, 20, 20, 20, 20})},
        {"long run ramps 8 values at each end", longRun, longWant},
        // Single values average their neighbours' original values.
        {"single values", {2560, 2816, 3072, 3072}, {2688, 2816, 3072, 3072}},
        // (1000 - 1003) / 2 is -1 (toward zero), so the first value is 1001, not 1002.
        {"negative difference truncates toward zero", {1003, 1000, 1000, 1007}, {1001, 1001, 1000, 1007}},
        {"negative ramp down truncates toward zero", {1000, 1000, 1000, 1000, 995}, {1000, 1000, 1000, 999, 995}},
        {"one run only", {5, 5, 5}, {5, 5, 5}},
    };
    for (const SmoothCase& c : cases) {
        std::vector<WORD> line = c.line;
        C16BitBitmap::SmoothInChannel(line.data(), static_cast<int>(line.size()), 1);
        EXPECT_EQ(line, c.want) << c.name;
    }
}

TEST(SixteenBitSmoothing, SmoothInChannelFollowsTheStep)
{
    // Every other value belongs to the line; the others stay.
    std::vector<WORD> line = {2560, 1, 2560, 1, 2560, 1, 2560, 1, 2816, 1, 2816, 1, 2816, 1, 2816, 1};
    C16BitBitmap::SmoothInChannel(line.data(), 8, 2);
    EXPECT_EQ(line, (std::vector<WORD>{2560, 1, 2560, 1, 2560, 1, 2624, 1, 2816, 1, 2816, 1, 2816, 1, 2816, 1}));
}

TEST(SixteenBitSmoothing, SmartConvertAveragesHorizontalAndVerticalPasses)
{
    // A step 10 -> 11 along one axis; across it every line is one run and stays.
    // Along it: 2560, 2560, 2560, 2624, 2816...; averaged with the plain 2560: 2592.
    const std::vector<WORD> along = {2560, 2560, 2560, 2592, 2816, 2816, 2816, 2816};
    for (bool horizontal : {true, false}) {
        CQLImage img;
        ASSERT_EQ(img.Create(horizontal ? 8 : 2, horizontal ? 2 : 8), 0);
        for (int i = 0; i < 8; ++i)
            for (int k = 0; k < 2; ++k) {
                const BYTE v = i < 4 ? 10 : 11;
                img.PutPixel(horizontal ? i : k, horizontal ? k : i, CPixel{v, v, static_cast<BYTE>(200), 0});
            }
        C16BitBitmap bmp;
        ASSERT_EQ(bmp.ConvertFromSimpleBitmap(&img, 1), 1);
        for (int i = 0; i < 8; ++i)
            for (int k = 0; k < 2; ++k) {
                const C16BitPixel p = bmp.GetPixel(horizontal ? i : k, horizontal ? k : i);
                EXPECT_EQ(p.b, along[static_cast<size_t>(i)]) << (horizontal ? "row " : "column ") << i;
                EXPECT_EQ(p.g, along[static_cast<size_t>(i)]) << (horizontal ? "row " : "column ") << i;
                EXPECT_EQ(p.r, 200 * 256);
            }
    }
}

class DiffusionTest : public ::testing::Test {
protected:
    // Blue shows the error pushing a value over the rounding point and the
    // clamp at 0; green shows truncation toward zero ((129 - 256) / 4 = -31);
    // red shows the clamp at 65535.
    void SetUp() override
    {
        ASSERT_EQ(bmp.Create(2, 2), 1);
        const WORD blue[4] = {320, 256, 112, 0};
        const WORD green[4] = {320, 256, 113, 100};
        for (int i = 0; i < 4; ++i)
            *bmp.GetBuffer(i % 2, i / 2) = C16BitPixel{blue[i], green[i], 0xFFFF};
    }
    void ExpectDiffused(const CQLImage& out)
    {
        const BYTE wantOut[4] = {1, 1, 1, 0};
        const WORD wantBlue[4] = {320, 272, 128, 0};
        const WORD wantGreen[4] = {320, 272, 129, 89};
        for (int i = 0; i < 4; ++i) {
            const CPixel p = out.GetPixel2(i % 2, i / 2);
            EXPECT_EQ(p.b, wantOut[i]) << i;
            EXPECT_EQ(p.g, wantOut[i]) << i;
            EXPECT_EQ(p.r, 255) << i;
            const C16BitPixel q = bmp.GetPixel(i % 2, i / 2);
            EXPECT_EQ(q.b, wantBlue[i]) << i;
            EXPECT_EQ(q.g, wantGreen[i]) << i;
            EXPECT_EQ(q.r, 0xFFFF) << i;
        }
    }
    C16BitBitmap bmp;
};

TEST_F(DiffusionTest, ErrorDiffusionByHandOnTwoByTwo)
{
    CQLImage out;
    ASSERT_EQ(bmp.ConvertToSimpleBitmap(&out, 1), 1);
    ExpectDiffused(out);
    EXPECT_EQ(out.GetPixel2(1, 1).a, 0);
}

TEST_F(DiffusionTest, SaveToBmpFileDithersTheBitmapInPlace)
{
    const std::string path = bmptest::TempPath("dither.bmp");
    ASSERT_EQ(bmp.SaveToBmpFile(path.c_str()), 0);
    CQLImage out;
    ASSERT_EQ(out.LoadFromFile(path.c_str()), 0);
    std::remove(path.c_str());
    ExpectDiffused(out);
}

// The plain left-to-right, top-to-bottom error diffusion, pixel by pixel:
// what the threaded conversion must reproduce exactly, bitmap included.
void SerialDiffusion(std::vector<C16BitPixel>& px, int w, int h, std::vector<BYTE>& out)
{
    out.assign(static_cast<std::size_t>(w) * h * 4, 0xAA);
    auto add = [](WORD& v, int e) { v = static_cast<WORD>(std::clamp(v + e, 0, 0xFFFF)); };
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const std::size_t i = static_cast<std::size_t>(y) * w + x;
            for (int c = 0; c < 3; ++c) {
                WORD C16BitPixel::*ch = c == 0 ? &C16BitPixel::b : (c == 1 ? &C16BitPixel::g : &C16BitPixel::r);
                const int v = px[i].*ch;
                const BYTE q = C16BitPixel::Round8(static_cast<WORD>(v));
                out[i * 4 + c] = q;
                const int e = (v - q * 256) / 4;
                if (x + 1 < w)
                    add(px[i + 1].*ch, e);
                if (y + 1 < h)
                    add(px[i + w].*ch, e);
                if (x + 1 < w && y + 1 < h)
                    add(px[i + w + 1].*ch, e);
            }
            out[i * 4 + 3] = 0;
        }
}

TEST(SixteenBitDiffusion, ThreadedConversionEqualsTheSerialPassByteForByte)
{
    struct Case {
        int w, h;
        int lo, hi; // range of the random values
    };
    const Case cases[] = {
        {1, 1, 0, 0xFFFF},       {700, 1, 0, 0xFFFF},     {1, 700, 0, 0xFFFF},     {2, 2, 0, 0xFFFF},
        {513, 3, 0, 0xFFFF},     {3, 513, 0, 0xFFFF},     {2000, 600, 0, 0xFFFF},  {1537, 401, 0, 0xFFFF},
        {1537, 401, 0, 400},     {1537, 401, 0xFE00, 0xFFFF}, // the clamps at 0 and 65535
        {4100, 300, 0x7F00, 0x8100}, // values either side of a rounding point
    };
    std::mt19937 random(7);
    for (const Case& c : cases)
        for (imagecore::SimdLevel level : {imagecore::SimdLevel::Avx2, imagecore::SimdLevel::Scalar}) {
            const imagecore::ScopedSimdCeiling ceiling(level);
            std::uniform_int_distribution<int> value(c.lo, c.hi);
            C16BitBitmap bmp;
            ASSERT_EQ(bmp.Create(c.w, c.h), 1);
            std::vector<C16BitPixel> want(static_cast<std::size_t>(c.w) * c.h);
            for (C16BitPixel& p : want)
                p = C16BitPixel{static_cast<WORD>(value(random)), static_cast<WORD>(value(random)),
                                static_cast<WORD>(value(random))};
            std::copy(want.begin(), want.end(), bmp.GetBuffer(0, 0));
            std::vector<BYTE> wantOut;
            SerialDiffusion(want, c.w, c.h, wantOut);

            CQLImage out;
            ASSERT_EQ(bmp.ConvertToSimpleBitmap(&out, 1), 1);
            const std::string at =
                std::to_string(c.w) + "x" + std::to_string(c.h) + " level " + std::to_string(int(level));
            ASSERT_EQ(std::memcmp(out.GetBuffer(0, 0), wantOut.data(), wantOut.size()), 0) << at;
            ASSERT_TRUE(std::equal(want.begin(), want.end(), bmp.GetBuffer(0, 0))) << at;
        }
}

TEST(SixteenBitDiffusion, FillingThroughTablesAsItGoesEqualsFillingFirst)
{
    const std::pair<int, int> sizes[] = {{1, 1},   {700, 1}, {1, 700},    {2, 2},
                                         {513, 3}, {3, 513}, {2000, 600}, {1537, 401}};
    std::mt19937 random(11);
    for (const auto& [w, h] : sizes) {
        CQLImage source;
        source.Create(static_cast<UINT>(w), static_cast<UINT>(h));
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                source.PutPixel(x, y, {static_cast<BYTE>(random()), static_cast<BYTE>(random()),
                                       static_cast<BYTE>(random()), static_cast<BYTE>(random())});
        // Any values: extremes included, so that the clamps are reached.
        WORD tables[3][256];
        for (auto& channel : tables)
            for (WORD& v : channel)
                v = random() % 4 == 0 ? static_cast<WORD>(random() % 2 ? 0xFFFF : 0) : static_cast<WORD>(random());
        std::vector<C16BitPixel> want(static_cast<std::size_t>(w) * h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const CPixel p = source.GetPixel2(x, y);
                want[static_cast<std::size_t>(y) * w + x] = C16BitPixel{tables[0][p.b], tables[1][p.g], tables[2][p.r]};
            }
        std::vector<BYTE> wantOut;
        SerialDiffusion(want, w, h, wantOut);

        C16BitBitmap bmp;
        CQLImage out;
        const std::string at = std::to_string(w) + "x" + std::to_string(h);
        for (int run = 0; run < 2; ++run) { // the second run reuses the bitmap and the target, on the plain path
            const imagecore::ScopedSimdCeiling ceiling(run == 0 ? imagecore::SimdLevel::Avx2
                                                                : imagecore::SimdLevel::Scalar);
            ASSERT_EQ(bmp.ConvertThroughTables(&source, tables, &out), 1) << at;
            ASSERT_EQ(std::memcmp(out.GetBuffer(0, 0), wantOut.data(), wantOut.size()), 0) << at;
            ASSERT_TRUE(std::equal(want.begin(), want.end(), bmp.GetBuffer(0, 0))) << at;
        }
        CQLImage inPlace;
        inPlace.DuplicateFrom(&source);
        ASSERT_EQ(bmp.ConvertThroughTables(&inPlace, tables, &inPlace), 1) << at;
        ASSERT_EQ(std::memcmp(inPlace.GetBuffer(0, 0), wantOut.data(), wantOut.size()), 0) << "in place " << at;
    }
}

TEST(SixteenBitDiffusion, FillingThroughTablesRefusesBadImages)
{
    WORD tables[3][256] = {};
    CQLImage empty, image;
    image.Create(4, 4);
    C16BitBitmap bmp;
    EXPECT_EQ(bmp.ConvertThroughTables(nullptr, tables, &image), 0);
    EXPECT_EQ(bmp.ConvertThroughTables(&empty, tables, &image), 0);
    EXPECT_EQ(bmp.ConvertThroughTables(&image, tables, nullptr), 0);
}

} // namespace
