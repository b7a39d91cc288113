#include "editor/shell/PaintToolHost.h"

#include "imagecore/QLImage.h"
#include "platform/afx/Afx.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace {

const BYTE* At(const ImageDesc& d, int x, int y)
{
    return d.pixels + y * d.stride + x * 4;
}

TEST(PaintToolHost, MakeBrushSizeOneAndRange)
{
    BrushSettings brush{1, 0, 40};
    ImageDesc out{};
    ASSERT_EQ(MakeBrush(&out, &brush), 0);
    EXPECT_EQ(out.width, 1);
    EXPECT_EQ(out.stride, 4);
    EXPECT_EQ(At(out, 0, 0)[0], 0);
    EXPECT_EQ(At(out, 0, 0)[3], 40 * 255 / 100);
    for (int size : {0, 513, -3}) {
        brush.size = size;
        EXPECT_EQ(MakeBrush(&out, &brush), E_FAIL) << size;
    }
    brush.size = 512;
    EXPECT_EQ(MakeBrush(&out, &brush), 0);
}

TEST(PaintToolHost, MakeBrushHardAndSoftEdges)
{
    // Size 4: centre 2, pixel centres at 0.5..3.5 from the edge.
    BrushSettings brush{4, 0, 100};
    ImageDesc out{};
    ASSERT_EQ(MakeBrush(&out, &brush), 0);
    // Corner: distance sqrt(1.5^2 + 1.5^2) = 2.12 > 2: outside.
    EXPECT_EQ(At(out, 0, 0)[3], 0);
    EXPECT_EQ(At(out, 0, 0)[0], 255);
    // (1, 0): sqrt(0.25 + 2.25) = 1.58 inside, hard: m = 255.
    EXPECT_EQ(At(out, 1, 0)[0], 0);
    EXPECT_EQ(At(out, 1, 0)[3], (255 * 255) >> 8);
    // Soft over the whole radius: (1, 1) at 0.707 gives (2 - 0.707) * 256 / 2 = 165.
    brush.softness = 100;
    ASSERT_EQ(MakeBrush(&out, &brush), 0);
    EXPECT_EQ(At(out, 1, 1)[0], 255 - 165);
    EXPECT_EQ(At(out, 1, 1)[3], (255 * 165) >> 8);
    // (1, 0) at 1.58: (0.419) * 128 = 53.
    EXPECT_EQ(At(out, 1, 0)[0], 255 - 53);
    // Symmetric for an odd size.
    brush.size = 5;
    ASSERT_EQ(MakeBrush(&out, &brush), 0);
    EXPECT_EQ(std::memcmp(At(out, 0, 2), At(out, 4, 2), 4), 0);
    EXPECT_EQ(std::memcmp(At(out, 2, 0), At(out, 2, 4), 4), 0);
}

TEST(PaintToolHost, SegmentRectMargins)
{
    RECT r;
    int size = 5;
    EXPECT_EQ(SegmentRect(&r, &size, 10, 20, 4, 30), &r);
    EXPECT_EQ(r.left, 4 - 2);
    EXPECT_EQ(r.top, 20 - 2);
    EXPECT_EQ(r.right, 10 + 3);
    EXPECT_EQ(r.bottom, 30 + 3);
    size = 4;
    SegmentRect(&r, &size, 0, 0, 0, 0);
    EXPECT_EQ(r.left, -2);
    EXPECT_EQ(r.right, 2);
}

TEST(PaintToolHost, StrokeStampCoverage)
{
    // A horizontal segment from (10, 10) to (20, 10), size 6: r = 3.
    BrushSettings brush{6, 0, 50};
    ImageDesc out{};
    POINT origin{};
    ASSERT_EQ(StrokeStamp(&brush, 10, 10, 20, 10, &out, &origin), 0);
    EXPECT_EQ(origin.x, 7);
    EXPECT_EQ(origin.y, 7);
    EXPECT_EQ(out.width, 23 - 7);
    EXPECT_EQ(out.height, 13 - 7);
    auto covered = [&](int x, int y) { return At(out, x - origin.x, y - origin.y); };
    struct Case {
        int x, y;
        int f;
    } hard[] = {
        {15, 10, 255}, // on the segment
        {15, 12, 255}, // perpendicular distance 2 < 3
        {15, 7, 0},    // distance 3: the hard edge itself, no division by zero
        {8, 10, 255},  // beyond the end by 2
        {7, 10, 0},    // beyond the end by 3
        {8, 8, 255},   // sqrt(8) = 2.83 from the end
    };
    for (const Case& c : hard) {
        EXPECT_EQ(covered(c.x, c.y)[0], c.f) << c.x << "," << c.y;
        EXPECT_EQ(covered(c.x, c.y)[3], c.f * 50 / 100) << c.x << "," << c.y;
    }
    brush.softness = 100;
    ASSERT_EQ(StrokeStamp(&brush, 10, 10, 20, 10, &out, &origin), 0);
    EXPECT_EQ(covered(15, 10)[0], 255);    // (3 - 0) * 255 / 3
    EXPECT_EQ(covered(15, 11)[0], 170);    // (3 - 1) * 255 / 3
    EXPECT_EQ(covered(15, 12)[0], 85);
    EXPECT_EQ(covered(8, 8)[0], static_cast<int>((3 - std::sqrt(8.0)) * 255 / 3));
}

TEST(PaintToolHost, StrokeStampRefusesBadBrushes)
{
    ImageDesc out{};
    POINT origin{};
    for (int size : {0, 513}) {
        BrushSettings brush{size, 0, 100};
        EXPECT_EQ(StrokeStamp(&brush, 0, 0, 1, 1, &out, &origin), E_FAIL);
    }
    BrushSettings brush{256, 0, 100};
    EXPECT_EQ(StrokeStamp(&brush, -1000000, -1000000, 1000000, 1000000, &out, &origin), E_FAIL);
}

TEST(PaintToolHost, ImagesAndViewPoints)
{
    CQLImage current, second;
    ASSERT_EQ(current.Create(7, 3), 0);
    thePaintToolHost.current = &current;
    thePaintToolHost.second = &second;
    ImageDesc a{}, b{};
    GetImages(&a, &b);
    EXPECT_EQ(a.one, 1);
    EXPECT_EQ(a.width, 7);
    EXPECT_EQ(a.height, 3);
    EXPECT_EQ(a.stride, 28);
    EXPECT_EQ(a.pixels, current.GetBuffer(0, 0));
    EXPECT_EQ(b.pixels, nullptr);
    EXPECT_EQ(thePaintToolHost.currentDesc.pixels, a.pixels);
    GetImages(nullptr, nullptr);

    thePaintToolHost.zoom = 2.0;
    thePaintToolHost.viewOffset = POINT{-5, 30};
    const int64_t view = ImageToView(10, 4);
    EXPECT_EQ(static_cast<int32_t>(view & 0xFFFFFFFF), 15);
    EXPECT_EQ(static_cast<int32_t>(view >> 32), 38);
    thePaintToolHost = PaintToolHostState{};
}

TEST(PaintToolHost, OutlineIsInvertedCircles)
{
    // On white, NOT-XOR with the black pen turns the circles black.
    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
    CBitmap bitmap;
    ASSERT_TRUE(bitmap.CreateBitmap(64, 64, 1, 32, nullptr));
    dc.SelectObject(&bitmap);
    dc.FillSolidRect(0, 0, 64, 64, RGB(255, 255, 255));
    BrushSettings brush{40, 50, 100};
    thePaintToolHost.brush = &brush;
    thePaintToolHost.zoom = 2.0;
    DrawBrushOutline(dc.m_hDC, 16, 16);
    // Outer diameter 20 round (32, 32); inner 10.
    EXPECT_EQ(dc.GetPixel(32, 22) & 0xFFFFFF, 0u);
    EXPECT_EQ(dc.GetPixel(32, 27) & 0xFFFFFF, 0u);
    EXPECT_EQ(dc.GetPixel(32, 32) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(dc.GetPixel(32, 24) & 0xFFFFFF, 0xFFFFFFu);
    // Drawn twice it is gone.
    DrawBrushOutline(dc.m_hDC, 16, 16);
    EXPECT_EQ(dc.GetPixel(32, 22) & 0xFFFFFF, 0xFFFFFFu);
    thePaintToolHost = PaintToolHostState{};
}

TEST(PaintToolHost, RecordForThePaintMode)
{
    BrushSettings brush{10, 0, 100};
    thePaintToolHost.brush = &brush;
    BYTE colour[4] = {1, 2, 3, 0};
    PaintToolRecord record;
    std::memset(&record, 0xCD, sizeof record);
    PreparePaintToolRecord(record, reinterpret_cast<HMODULE>(0x1234), colour);
    EXPECT_EQ(record.version, 6.8f);
    EXPECT_EQ(record.charset, 0);
    EXPECT_EQ(record.brush, &brush);
    EXPECT_EQ(record.MakeBrush, &MakeBrush);
    EXPECT_EQ(record.ImageToView, &ImageToView);
    EXPECT_EQ(record.colour, colour);
    EXPECT_EQ(record.currentDesc, &thePaintToolHost.currentDesc);
    EXPECT_EQ(record.OnLButtonDown, nullptr);
    thePaintToolHost = PaintToolHostState{};
}

}  // namespace
