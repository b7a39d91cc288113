#include "algorithms/ContentAwareResizeAlgorithm.h"
#include "algorithms/tests/EffectTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <utility>
#include <vector>

namespace {

using effecttest::Bytes;

// Grey (6G + 3R + B) / 10 is 60 for every pixel (G 100, R 0, B 0..9), so the
// energy is 0 everywhere, while B and alpha still tell the pixels apart:
// B = x + 2 (y & 1), alpha 100 + x along the rows (or columns when transposed).
void MakeFlatGreyLabelled(CQLImage& image, int w, int h, bool transposed = false)
{
    image.Create(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int along = transposed ? y : x, across = transposed ? x : y;
            image.PutPixel(x, y, {static_cast<BYTE>(along + 2 * (across & 1)), 100, 0, static_cast<BYTE>(100 + along)});
        }
}

// 8 x 6 flat grey to width 4: half plane 4 x 3, two seams recorded. Each seam
// ends at column 0 (leftmost tie) and climbs to the right (ties step right).
const WORD kFlatColumnOrder[3][4] = {{0, 0, 1, 2}, {0, 1, 2, 0}, {1, 2, 0, 0}};

// The render at width 4 removes order 1 only (f = 4 - 2 = 2): (B, alpha) of
// the target rows; a merged pixel is the truncated mean with alpha 255.
const std::pair<int, int> kFlatRender[6][4] = {
    {{0, 100}, {1, 101}, {2, 102}, {3, 255}}, // half row 0: p0 p1 p2 mean(p3, p4)
    {{2, 100}, {3, 101}, {4, 102}, {5, 255}},
    {{0, 100}, {1, 255}, {3, 255}, {5, 105}}, // half row 1: p0 mean(p1, p2) mean(p3, p4) p5
    {{2, 100}, {3, 255}, {5, 255}, {7, 105}},
    {{1, 255}, {3, 103}, {4, 104}, {5, 105}}, // half row 2: mean(p1, p2) p3 p4 p5
    {{3, 255}, {5, 103}, {6, 104}, {7, 105}},
};

HRESULT Resize(ContentAwareResizeAlgorithm& fx, CQLImage& src, CQLImage& dst, int width, int height,
            CQLChannel* mask = nullptr, int analyseOnly = 0)
{
    fx.SetImages(&src, &dst);
    const ContentAwareResizeParams p{width, height, analyseOnly, mask, 0};
    return fx.Apply(&p);
}

std::vector<int> g_reports;
int Record(int, int value)
{
    g_reports.push_back(value);
    return 0;
}

TEST(ContentAwareResize, FlatImageRemovesSeamsFromColumnZeroAndMergesNeighbours)
{
    CQLImage src, dst;
    MakeFlatGreyLabelled(src, 8, 6);
    ContentAwareResizeAlgorithm fx;
    ASSERT_EQ(Resize(fx, src, dst, 4, 6), 0);

    ASSERT_NE(fx.ColumnOrder(), nullptr);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(fx.ColumnOrder()[y * 4 + x], kFlatColumnOrder[y][x]) << x << "," << y;
            EXPECT_EQ(fx.RowOrder()[y * 4 + x], 0); // height unchanged: no horizontal seam
        }

    UINT w = 0, h = 0;
    dst.GetSize(&w, &h);
    ASSERT_EQ(w, 4u);
    ASSERT_EQ(h, 6u);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 4; ++x) {
            const CPixel p = dst.GetPixel2(x, y);
            EXPECT_EQ(p.b, kFlatRender[y][x].first) << x << "," << y;
            EXPECT_EQ(p.g, 100);
            EXPECT_EQ(p.r, 0);
            EXPECT_EQ(p.a, kFlatRender[y][x].second) << x << "," << y;
        }
}

// The same two seams on rows of 4 and of 20 half pixels (the long rows take
// the wide cumulative path): in half row y the first seam removes column
// 2 - y and the second the next one still there, 3 - y.
TEST(ContentAwareResize, FlatSeamsClimbTheSameWayOnShortAndLongRows)
{
    for (const int halfWidth : {4, 20}) {
        CQLImage src, dst;
        MakeFlatGreyLabelled(src, 2 * halfWidth, 6);
        ContentAwareResizeAlgorithm fx;
        ASSERT_EQ(Resize(fx, src, dst, 2 * (halfWidth - 2), 6), 0);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < halfWidth; ++x) {
                const int expected = x == 2 - y ? 1 : (x == 3 - y ? 2 : 0);
                EXPECT_EQ(fx.ColumnOrder()[y * halfWidth + x], expected) << halfWidth << ": " << x << "," << y;
            }
    }
}

TEST(ContentAwareResize, HeightRunsTheSameAlongColumns)
{
    CQLImage src, dst;
    MakeFlatGreyLabelled(src, 6, 8, true);
    ContentAwareResizeAlgorithm fx;
    ASSERT_EQ(Resize(fx, src, dst, 6, 4), 0);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(fx.RowOrder()[y * 3 + x], kFlatColumnOrder[x][y]) << x << "," << y;
    UINT w = 0, h = 0;
    dst.GetSize(&w, &h);
    ASSERT_EQ(w, 6u);
    ASSERT_EQ(h, 4u);
    for (int x = 0; x < 6; ++x)
        for (int y = 0; y < 4; ++y) {
            EXPECT_EQ(dst.GetPixel2(x, y).b, kFlatRender[x][y].first) << x << "," << y;
            EXPECT_EQ(dst.GetPixel2(x, y).a, kFlatRender[x][y].second) << x << "," << y;
        }
}

TEST(ContentAwareResize, BothSidesSmallerChangesOnlyTheWidth)
{
    CQLImage src, dst;
    MakeFlatGreyLabelled(src, 8, 6);
    ContentAwareResizeAlgorithm fx;
    ASSERT_EQ(Resize(fx, src, dst, 4, 4), 0);
    UINT w = 0, h = 0;
    dst.GetSize(&w, &h);
    EXPECT_EQ(w, 4u);
    EXPECT_EQ(h, 6u);
    EXPECT_EQ(dst.GetPixel2(1, 2).b, 1);
    EXPECT_EQ(dst.GetPixel2(1, 2).a, 255);
}

TEST(ContentAwareResize, SameSizeIsAnExactCopy)
{
    CQLImage src, dst;
    effecttest::MakePattern(src, 9, 7);
    ContentAwareResizeAlgorithm fx;
    ASSERT_EQ(Resize(fx, src, dst, 9, 7), 0);
    EXPECT_EQ(Bytes(dst), Bytes(src));
    EXPECT_EQ(fx.ColumnOrder(), nullptr); // nothing to analyse
}

// A bright stripe at half column 2 of a 2n x 8 image (half plane n x 4):
// energy 255 beside it (|0 - 765| / 3) in rows 1 and 2, 0 elsewhere, so the
// cumulative last row is 0 0 255 0 ...; the seam ends at column 0 and stays
// there while the cells to its right cost more, then steps right in row 0.
TEST(ContentAwareResize, SeamFollowsTheCumulativeEnergyOfTheGradient)
{
    for (const int halfWidth : {8, 24}) { // short rows and the wide cumulative path
        CQLImage src, dst;
        effecttest::MakeFlat(src, 2 * halfWidth, 8, 0);
        for (int y = 0; y < 8; ++y)
            for (int x = 4; x < 6; ++x)
                src.PutPixel(x, y, {255, 255, 255, 255});
        ContentAwareResizeAlgorithm fx;
        ASSERT_EQ(Resize(fx, src, dst, 2 * halfWidth - 2, 8), 0);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < halfWidth; ++x) {
                const int expected = (y == 0 ? x == 1 : x == 0) ? 1 : 0;
                EXPECT_EQ(fx.ColumnOrder()[y * halfWidth + x], expected) << halfWidth << ": " << x << "," << y;
            }
    }
}

// Three half rows; the mask makes the middle row's energy 255 except at
// column k (the others have energy 0). The last row's cumulative energy
// min(e[c - 1], e[c], e[c + 1]) is 0 at k - 1, k and k + 1, so the seam ends
// at k - 1, steps right (l >= c >= r) to k, and right again on the flat top.
TEST(ContentAwareResize, SeamEndsAtTheLeftmostOfThreeCheapCells)
{
    for (const int halfWidth : {8, 24}) { // short rows and the wide cumulative path
        const int k = halfWidth / 2;
        CQLImage src, dst;
        effecttest::MakeFlat(src, 2 * halfWidth, 6, 50);
        CQLChannel mask;
        mask.Create(2 * halfWidth, 6);
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 2 * halfWidth; ++x)
                mask.Set(x, y, y == 2 && x / 2 != k ? 255 : 0);
        ContentAwareResizeAlgorithm fx;
        ASSERT_EQ(Resize(fx, src, dst, 2 * halfWidth - 2, 6, &mask), 0);
        const int seam[3] = {k + 1, k, k - 1}; // half rows 0, 1, 2
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < halfWidth; ++x)
                EXPECT_EQ(fx.ColumnOrder()[y * halfWidth + x], x == seam[y] ? 1 : 0)
                    << halfWidth << ": " << x << "," << y;
    }
}

TEST(ContentAwareResize, ProtectedColumnsAreNotCrossedAndGiveTheAlpha)
{
    CQLImage src, dst;
    effecttest::MakeFlat(src, 16, 8, 90, 200);
    CQLChannel mask;
    mask.Create(16, 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 16; ++x)
            mask.Set(x, y, x < 6 ? 255 : 0); // half columns 0..2
    ContentAwareResizeAlgorithm fx;
    ASSERT_EQ(Resize(fx, src, dst, 8, 8, &mask), 0); // 4 of the 5 free half columns go
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(fx.ColumnOrder()[y * 8 + x], 0) << x << "," << y;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(dst.GetPixel2(x, y).a, x < 6 ? 255 : 0) << x << "," << y;
}

TEST(ContentAwareResize, CachedMapsRenderOtherWidthsWithoutAnalysing)
{
    CQLImage src, dst;
    MakeFlatGreyLabelled(src, 8, 6);
    ContentAwareResizeAlgorithm fx;
    fx.SetCallback(Record);
    effecttest::ForgetLastProgress();
    g_reports.clear();
    ASSERT_EQ(Resize(fx, src, dst, 2, 6, nullptr, 1), 0); // analyse for the smallest width
    EXPECT_FALSE(g_reports.empty());
    EXPECT_EQ(g_reports.back(), 100);
    const WORD* maps = fx.ColumnOrder();
    ASSERT_NE(maps, nullptr);

    effecttest::ForgetLastProgress();
    g_reports.clear();
    ASSERT_EQ(Resize(fx, src, dst, 4, 6), 0);
    EXPECT_TRUE(g_reports.empty()); // no analysis reports
    EXPECT_EQ(fx.ColumnOrder(), maps);
    // The first seam is the same whatever the analysed width.
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(dst.GetPixel2(x, y).b, kFlatRender[y][x].first) << x << "," << y;

    // Width 6: f = 4 - 3 = 1 removes nothing: the left six columns as they are.
    ASSERT_EQ(Resize(fx, src, dst, 6, 6), 0);
    EXPECT_TRUE(g_reports.empty());
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(dst.GetPixel(x, y), src.GetPixel(x, y));

    fx.FreeCache();
    EXPECT_EQ(fx.ColumnOrder(), nullptr);
}

ContentAwareResizeAlgorithm* g_cancelling = nullptr;
int CancelAtOnce(int, int)
{
    g_cancelling->Cancel();
    return 0;
}

TEST(ContentAwareResize, CancelledAnalysisLeavesNoMaps)
{
    CQLImage src, dst;
    effecttest::MakePattern(src, 64, 48);
    ContentAwareResizeAlgorithm fx;
    fx.SetImages(&src, &dst);
    g_cancelling = &fx;
    fx.SetCallback(CancelAtOnce);
    effecttest::ForgetLastProgress();
    const ContentAwareResizeParams p{40, 48, 0, nullptr, 0};
    EXPECT_EQ(fx.Apply(&p), E_FAIL);
    EXPECT_EQ(fx.ColumnOrder(), nullptr);

    fx.SetCallback(nullptr);
    ASSERT_EQ(fx.Apply(&p), 0); // analyses again instead of rendering a partial map
    UINT w = 0, h = 0;
    dst.GetSize(&w, &h);
    EXPECT_EQ(w, 40u);
}

TEST(ContentAwareResize, RefusedRequestsLeaveTheTargetAlone)
{
    CQLImage src, dst;
    effecttest::MakePattern(src, 16, 8);
    CQLChannel smallMask;
    smallMask.Create(8, 8);
    struct Case {
        const char* what;
        int width, height;
        CQLChannel* mask;
    };
    const Case cases[] = {
        {"mask of another size", 8, 8, &smallMask},
        {"wider than the source", 17, 8, nullptr},
        {"taller than the source", 8, 9, nullptr},
        {"zero width", 0, 8, nullptr},
        {"negative height", 16, -2, nullptr},
    };
    for (const Case& c : cases) {
        effecttest::MakeFlat(dst, 3, 2, 77, 66);
        const std::vector<BYTE> before = Bytes(dst);
        ContentAwareResizeAlgorithm fx;
        EXPECT_EQ(Resize(fx, src, dst, c.width, c.height, c.mask), E_FAIL) << c.what;
        EXPECT_EQ(Bytes(dst), before) << c.what;
    }
}

TEST(ContentAwareResize, SidesBeyondTheSixteenBitMapsAreRefused)
{
    CQLImage wide, dst;
    ContentAwareResizeAlgorithm fx;
    ASSERT_EQ(wide.Create(131072, 2), 0); // half width 65536
    EXPECT_EQ(Resize(fx, wide, dst, 1000, 2, nullptr, 1), E_FAIL);
    ASSERT_EQ(wide.Create(131071, 2), 0); // half width 65535 still fits
    std::memset(wide.GetBuffer(0, 0), 0, wide.GetAreaByteSize());
    EXPECT_EQ(Resize(fx, wide, dst, 131071, 2, nullptr, 1), 0);
}

} // namespace
