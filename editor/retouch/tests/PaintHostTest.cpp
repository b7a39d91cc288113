#include "editor/retouch/PaintHost.h"
#include "editor/retouch/PaintState.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

namespace {

BYTE AlphaAt(const ImageDesc& d, int x, int y)
{
    return d.pixels[y * d.stride + x * 4 + 3];
}

class PaintHostTest : public ::testing::Test {
protected:
    void SetUp() override { thePaintState.Reset(); }
};

TEST_F(PaintHostTest, SegmentRectWidensByHalfTheSize)
{
    const struct {
        int size, x0, y0, x1, y1;
        RECT expected;
    } cases[] = {
        {24, 100, 100, 100, 100, {88, 88, 112, 112}},
        {5, 100, 100, 100, 100, {98, 98, 103, 103}},
        {4, 10, 20, 4, 8, {2, 6, 12, 22}},  // normalised
        {1, -3, -3, -3, -3, {-3, -3, -2, -2}},
    };
    for (const auto& c : cases) {
        RECT out{};
        int size = c.size;
        EXPECT_EQ(PaintHost::SegmentRect(&out, &size, c.x0, c.y0, c.x1, c.y1), &out);
        EXPECT_EQ(out.left, c.expected.left) << c.size;
        EXPECT_EQ(out.top, c.expected.top) << c.size;
        EXPECT_EQ(out.right, c.expected.right) << c.size;
        EXPECT_EQ(out.bottom, c.expected.bottom) << c.size;
    }
}

TEST_F(PaintHostTest, MakeBrushRefusesSizesOutsideItsRange)
{
    for (int size : {0, -1, 513}) {
        BrushSettings brush{size, 50, 100};
        ImageDesc out{};
        EXPECT_EQ(PaintHost::MakeBrush(&out, &brush), static_cast<int>(E_FAIL)) << size;
    }
    BrushSettings largest{512, 0, 100};
    ImageDesc out{};
    EXPECT_EQ(PaintHost::MakeBrush(&out, &largest), 0);
    EXPECT_EQ(out.width, 512);
}

TEST_F(PaintHostTest, MakeBrushOfOnePixelCarriesTheOpacity)
{
    for (int opacity : {100, 50, 0}) {
        BrushSettings brush{1, 50, opacity};
        ImageDesc out{};
        ASSERT_EQ(PaintHost::MakeBrush(&out, &brush), 0);
        ASSERT_EQ(out.width, 1);
        ASSERT_EQ(out.height, 1);
        EXPECT_EQ(out.pixels[0], 0);
        EXPECT_EQ(out.pixels[1], 0);
        EXPECT_EQ(out.pixels[2], 0);
        EXPECT_EQ(out.pixels[3], opacity * 255 / 100) << opacity;
    }
}

TEST_F(PaintHostTest, MakeBrushWithoutBlurIsHardAndSoftOtherwise)
{
    BrushSettings hard{20, 0, 100};
    ImageDesc out{};
    ASSERT_EQ(PaintHost::MakeBrush(&out, &hard), 0);
    std::set<int> levels;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x)
            levels.insert(AlphaAt(out, x, y));
    EXPECT_EQ(levels, (std::set<int>{0, 255 * 255 / 256}));
    EXPECT_EQ(AlphaAt(out, 0, 0), 0);   // the corner lies outside the circle
    EXPECT_EQ(out.pixels[10 * out.stride + 10 * 4], 0);  // black at full coverage

    BrushSettings soft{20, 100, 100};
    ASSERT_EQ(PaintHost::MakeBrush(&out, &soft), 0);
    EXPECT_GT(AlphaAt(out, 9, 9), AlphaAt(out, 9, 4));
    EXPECT_GT(AlphaAt(out, 9, 4), 0);
    EXPECT_EQ(AlphaAt(out, 9, 4), AlphaAt(out, 4, 9));  // round
}

TEST_F(PaintHostTest, StrokeStampOfOnePointIsRound)
{
    BrushSettings brush{21, 60, 100};
    ImageDesc out{};
    POINT origin{};
    ASSERT_EQ(PaintHost::StrokeStamp(&brush, 50, 60, 50, 60, &out, &origin), 0);
    EXPECT_EQ(origin.x, 40);
    EXPECT_EQ(origin.y, 50);
    ASSERT_EQ(out.width, 21);
    // The centre is (10, 10) in the mask: equal distances, equal coverage.
    for (int dy = -10; dy <= 10; ++dy) {
        for (int dx = -10; dx <= 10; ++dx) {
            const int a = AlphaAt(out, 10 + dx, 10 + dy);
            EXPECT_EQ(a, AlphaAt(out, 10 + dy, 10 + dx)) << dx << "," << dy;
            EXPECT_EQ(a, AlphaAt(out, 10 - dx, 10 + dy)) << dx << "," << dy;
        }
    }
    EXPECT_EQ(AlphaAt(out, 10, 10), 255);
    EXPECT_EQ(AlphaAt(out, 0, 0), 0);
}

TEST_F(PaintHostTest, StrokeStampCoverageAlongASegment)
{
    // Segment (0, 0)-(10, 0), size 8 (radius 4).
    const struct {
        int blur, opacity, x, y, alpha;
    } cases[] = {
        {0, 100, -3, 0, 255},  // beyond the first end: its distance, 3
        {0, 100, -4, 0, 0},    // hard edge: the radius itself is outside
        {0, 100, 13, 2, 255},  // beyond the second end: sqrt(13)
        {0, 100, 13, 3, 0},    // sqrt(18) > 4
        {0, 100, 5, 3, 255},   // beside the segment: the perpendicular distance
        {0, 100, 5, -4, 0},   // the mask's first row, at the radius
        {100, 100, 5, 2, 127},  // soft over the whole radius: (4 - 2) * 255 / 4
        {100, 50, 5, 2, 63},    // opacity scales alpha
        {50, 100, 5, 1, 255},   // inside the hard core (radius 2)
        {50, 100, 5, 3, 127},   // (4 - 3) * 255 / 2
    };
    for (const auto& c : cases) {
        BrushSettings brush{8, c.blur, c.opacity};
        ImageDesc out{};
        POINT origin{};
        ASSERT_EQ(PaintHost::StrokeStamp(&brush, 0, 0, 10, 0, &out, &origin), 0);
        ASSERT_EQ(origin.x, -4);
        ASSERT_EQ(origin.y, -4);
        ASSERT_EQ(out.width, 18);
        ASSERT_EQ(out.height, 8);
        EXPECT_EQ(AlphaAt(out, c.x - origin.x, c.y - origin.y), c.alpha)
            << "blur " << c.blur << " at " << c.x << "," << c.y;
    }
}

TEST_F(PaintHostTest, StrokeStampRefusesBadBrushesAndEndlessMasks)
{
    ImageDesc out{};
    POINT origin{};
    BrushSettings none{0, 0, 100};
    EXPECT_EQ(PaintHost::StrokeStamp(&none, 0, 0, 5, 5, &out, &origin), static_cast<int>(E_FAIL));
    BrushSettings brush{24, 0, 100};
    EXPECT_EQ(PaintHost::StrokeStamp(&brush, -2000000000, -2000000000, 2000000000, 2000000000, &out, &origin),
              static_cast<int>(E_FAIL));
}

TEST_F(PaintHostTest, RecordPointsAtTheSharedState)
{
    PaintToolRecord record;
    std::memset(&record, 0xAB, sizeof record);
    auto module = reinterpret_cast<HMODULE>(0x1234);
    PaintHost::FillRecord(record, module);
    EXPECT_EQ(record.version, 6.8f);
    EXPECT_EQ(record.charset, 0);
    EXPECT_EQ(record.module, module);
    EXPECT_EQ(record.brush, &thePaintState.brush);
    EXPECT_EQ(record.colour, reinterpret_cast<BYTE*>(&thePaintState.foreground));
    // The background block: colour, a reserved word, the image's descriptor.
    EXPECT_EQ(reinterpret_cast<void*>(record.currentDesc), static_cast<void*>(&thePaintState.background));
    EXPECT_EQ(reinterpret_cast<const int32_t*>(record.currentDesc)[0], static_cast<int32_t>(0xFFFFFFFF));
    EXPECT_EQ(record.MakeBrush, &PaintHost::MakeBrush);
    EXPECT_EQ(record.StrokeStamp, &PaintHost::StrokeStamp);
    EXPECT_EQ(record.GetImages, &PaintHost::GetImages);
    EXPECT_EQ(record.name[0], '\0');
    EXPECT_EQ(record.OnLButtonDown, nullptr);
    EXPECT_EQ(record.OnSetCursor, nullptr);
}

TEST_F(PaintHostTest, GetImagesDescribesTheCurrentImageAndTheReference)
{
    CQLImage current, reference;
    ASSERT_EQ(current.Create(7, 5), 0);
    ASSERT_EQ(reference.Create(3, 2), 0);
    CQLImage* oldImage = thePaintState.image;
    thePaintState.image = &current;
    thePaintState.reference.DuplicateFrom(&reference);
    ImageDesc a{}, b{};
    PaintHost::GetImages(&a, &b);
    EXPECT_EQ(a.one, 1);
    EXPECT_EQ(a.width, 7);
    EXPECT_EQ(a.height, 5);
    EXPECT_EQ(a.stride, 28);
    EXPECT_EQ(a.pixels, current.GetBuffer(0, 0));
    EXPECT_EQ(b.width, 3);
    EXPECT_EQ(b.pixels, thePaintState.reference.GetBuffer(0, 0));
    EXPECT_EQ(thePaintState.background.desc.pixels, current.GetBuffer(0, 0));
    PaintHost::GetImages(nullptr, nullptr);  // either may be null
    thePaintState.image = oldImage;
    thePaintState.reference.Free();
}

TEST_F(PaintHostTest, ImageToViewPacksBothCoordinates)
{
    thePaintState.view.scale = 0.5;
    thePaintState.view.scrollX = 10;
    thePaintState.view.scrollY = 4;
    thePaintState.view.imageRect = RECT{-30, 7, 500, 500};
    const int64_t packed = PaintHost::ImageToView(12, 9);
    EXPECT_EQ(static_cast<int32_t>(packed & 0xFFFFFFFF), (12 - 10) * 2 - 30);
    EXPECT_EQ(static_cast<int32_t>(packed >> 32), (9 - 4) * 2 + 7);
}

}  // namespace
