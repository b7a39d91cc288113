#include "algorithms/RotateFlipAlgorithm.h"
#include "algorithms/SeparableResizeAlgorithm.h"
#include "algorithms/tests/ResizeTestSupport.h"

#include <gtest/gtest.h>

#include <vector>

using namespace resizetest;

namespace {

// 3 x 2 fixture: pixel (x, y) carries 10 * y + x in blue and its own alpha.
CPixel Tag(int x, int y)
{
    return Px(10 * y + x, 0, 0, 100 + 10 * y + x);
}

struct TurnCase {
    DWORD mode;
    int width, height;
    std::vector<int> tags; // expected blue bytes, row by row
};

class RotateFlipModes : public ::testing::TestWithParam<TurnCase> {};

TEST_P(RotateFlipModes, MovesEveryPixel)
{
    const TurnCase& c = GetParam();
    CQLImage src, dst;
    Make(src, 3, 2, Tag);
    RotateFlipAlgorithm turn;
    turn.SetImages(&src, &dst);
    ASSERT_EQ(turn.Apply(&c.mode), 0);
    ASSERT_EQ(Width(dst), c.width);
    ASSERT_EQ(Height(dst), c.height);
    for (int y = 0; y < c.height; ++y) {
        for (int x = 0; x < c.width; ++x) {
            const int tag = c.tags[static_cast<std::size_t>(y * c.width + x)];
            EXPECT_EQ(dst.GetPixel2(x, y).b, tag) << x << "," << y;
            EXPECT_EQ(dst.GetPixel2(x, y).a, 100 + tag) << "alpha moves with the pixel";
        }
    }
}

// Source rows: {0 1 2} {10 11 12}.
INSTANTIATE_TEST_SUITE_P(Modes, RotateFlipModes,
                         ::testing::Values(
                             // right: row i is column i read upward
                             TurnCase{1, 2, 3, {10, 0, 11, 1, 12, 2}},
                             // left: row i is column W-1-i read downward
                             TurnCase{2, 2, 3, {2, 12, 1, 11, 0, 10}},
                             TurnCase{3, 3, 2, {2, 1, 0, 12, 11, 10}},
                             TurnCase{4, 3, 2, {10, 11, 12, 0, 1, 2}},
                             // other modes copy
                             TurnCase{0, 3, 2, {0, 1, 2, 10, 11, 12}},
                             TurnCase{5, 3, 2, {0, 1, 2, 10, 11, 12}}));

TEST(RotateFlip, LargeTurnsMatchTheirDefinitionAndUndo)
{
    // Larger than one tile and not a multiple of it, on every core.
    CQLImage src, right, back;
    Make(src, 517, 301, [](int x, int y) { return Px(x & 255, y & 255, (x >> 8) + 4 * (y >> 8), 7); });
    RotateFlipAlgorithm turn;
    turn.SetImages(&src, &right);
    DWORD mode = 1;
    ASSERT_EQ(turn.Apply(&mode), 0);
    ASSERT_EQ(Width(right), 301);
    ASSERT_EQ(Height(right), 517);
    for (int i = 0; i < 517; i += 37)
        for (int j = 0; j < 301; j += 29)
            ASSERT_EQ(Word(right, j, i), Word(src, i, 300 - j));
    turn.SetImages(&right, &back);
    mode = 2;
    ASSERT_EQ(turn.Apply(&mode), 0);
    ASSERT_EQ(Width(back), 517);
    ASSERT_EQ(0, std::memcmp(back.GetBuffer(0, 0), src.GetBuffer(0, 0), src.GetAreaByteSize()));
}

TEST(RotateFlip, SameImageAsSourceAndTarget)
{
    CQLImage img;
    Make(img, 3, 2, Tag);
    RotateFlipAlgorithm turn;
    turn.SetImages(&img, &img);
    const DWORD mode = 1;
    ASSERT_EQ(turn.Apply(&mode), 0);
    ASSERT_EQ(Width(img), 2);
    EXPECT_EQ(img.GetPixel2(0, 0).b, 10);
    EXPECT_EQ(img.GetPixel2(1, 2).b, 2);
}

TEST(RotateFlip, MissingImagesFail)
{
    CQLImage empty, dst;
    RotateFlipAlgorithm turn;
    const DWORD mode = 1;
    turn.SetImages(&empty, &dst);
    EXPECT_EQ(turn.Apply(&mode), E_FAIL);
    turn.SetImages(nullptr, &dst);
    EXPECT_EQ(turn.Apply(&mode), E_FAIL);
}

// --- Separable resize ----------------------------------------------------------

ResizeParams Size(int w, int h)
{
    return ResizeParams{w, h};
}

TEST(SeparableResize, OwnSizeIsExact)
{
    CQLImage src, dst;
    Make(src, 37, 23, [](int x, int y) { return Px(x * 7, y * 11, (x * y) & 255, x + y); });
    SeparableResizeAlgorithm resize;
    resize.SetImages(&src, &dst);
    const ResizeParams p = Size(37, 23);
    ASSERT_EQ(resize.Apply(&p), 0);
    ASSERT_EQ(Width(dst), 37);
    ASSERT_EQ(0, std::memcmp(dst.GetBuffer(0, 0), src.GetBuffer(0, 0), src.GetAreaByteSize()));
}

// Two pixels a, b stretched to three along either axis. Scale 2/3, no
// widening. Cubic weights x 256, truncated: target 0 at 0: a 1367, b 84 (one
// blend, 241/15); target 1 at 2/3: a 620, b 1136 (blend 90/166); target 2 at
// 4/3: a -141, b 1136, so round((1136 b - 141 a) / 995), at least 0.
struct StretchCase {
    int a, b;
    int out[3];
};

TEST(SeparableResize, TwoPixelsToThreeAlongEitherAxis)
{
    const StretchCase cases[] = {
        {200, 100, {(241 * 200 + 15 * 100) >> 8, (90 * 200 + 166 * 100) >> 8, 86}},
        {0, 100, {(15 * 100) >> 8, (166 * 100) >> 8, 114}},
        {100, 0, {(241 * 100) >> 8, (90 * 100) >> 8, 0}},
        {255, 255, {255, 255, 255}},
    };
    for (const bool across : {true, false}) {
        for (const StretchCase& c : cases) {
            CQLImage src, dst;
            Make(src, across ? 2 : 1, across ? 1 : 2, [&](int x, int y) {
                const int v = (x + y == 0) ? c.a : c.b;
                return Px(v, v, v, v);
            });
            SeparableResizeAlgorithm resize;
            resize.SetImages(&src, &dst);
            const ResizeParams p = across ? Size(3, 1) : Size(1, 3);
            ASSERT_EQ(resize.Apply(&p), 0);
            for (int k = 0; k < 3; ++k) {
                const CPixel q = dst.GetPixel2(across ? k : 0, across ? 0 : k);
                EXPECT_EQ(q.b, c.out[k]) << "a " << c.a << " b " << c.b << " k " << k << (across ? " across" : " down");
                EXPECT_EQ(q.a, c.out[k]);
            }
        }
    }
}

TEST(SeparableResize, FlatStaysFlatAtAnySize)
{
    const int sizes[][2] = {{1, 1}, {5, 3}, {64, 1}, {1, 70}, {130, 90}};
    for (const auto& s : sizes) {
        CQLImage src, dst;
        Fill(src, 40, 30, Px(10, 200, 60, 90));
        SeparableResizeAlgorithm resize;
        resize.SetImages(&src, &dst);
        const ResizeParams p = Size(s[0], s[1]);
        ASSERT_EQ(resize.Apply(&p), 0);
        ASSERT_EQ(Width(dst), s[0]);
        ASSERT_EQ(Height(dst), s[1]);
        for (int y = 0; y < s[1]; ++y)
            for (int x = 0; x < s[0]; ++x)
                ASSERT_EQ(Word(dst, x, y), Word(Px(10, 200, 60, 90))) << x << "," << y;
    }
}

TEST(SeparableResize, RefusesEmptySizes)
{
    CQLImage src, dst;
    Fill(src, 4, 4, Px(1, 2, 3));
    Fill(dst, 2, 2, Px(9, 9, 9));
    SeparableResizeAlgorithm resize;
    resize.SetImages(&src, &dst);
    for (const ResizeParams p : {Size(0, 4), Size(4, 0), Size(-3, 2)}) {
        EXPECT_EQ(resize.Apply(&p), E_FAIL);
        EXPECT_EQ(Width(dst), 2) << "target untouched";
    }
}

} // namespace
