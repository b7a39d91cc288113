// Star light, sharpen texture and modify shape on small fixtures worked out
// by hand.
#include "algorithms/ModifyShapeAlgorithm.h"
#include "algorithms/SharpenTextureAlgorithm.h"
#include "algorithms/StarLightAlgorithm.h"
#include "algorithms/tests/EffectTestSupport.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using effecttest::Bytes;
using effecttest::MakeFlat;

struct Star {
    CQLImage photo, star, result;
    StarLightAlgorithm fx;

    HRESULT Run(int threshold, int intensity, int colour)
    {
        fx.SetImages(&photo, &result);
        const StarLightParams p = {&star, threshold, intensity, colour};
        return fx.Apply(&p);
    }
};

TEST(StarLight, ThresholdAtTheTopLeavesThePhoto)
{
    Star s;
    effecttest::MakePattern(s.photo, 40, 30);
    MakeFlat(s.star, 8, 8, 255);
    ASSERT_EQ(s.Run(255, 100, 0), 0);
    EXPECT_EQ(Bytes(s.result), Bytes(s.photo));
}

TEST(StarLight, StarPictureIsChecked)
{
    Star s;
    effecttest::MakePattern(s.photo, 8, 8);
    MakeFlat(s.result, 2, 2, 9);
    const std::vector<BYTE> before = Bytes(s.result);
    MakeFlat(s.star, 1, 5, 255);
    EXPECT_EQ(s.Run(10, 100, 0), E_FAIL);
    s.fx.SetImages(&s.photo, &s.result);
    const StarLightParams none = {nullptr, 10, 100, 0};
    EXPECT_EQ(s.fx.Apply(&none), E_FAIL);
    EXPECT_EQ(Bytes(s.result), before);
}

// Flat grey 120, threshold 110: every pixel shines with glow alpha
// 10 * 255 / 146 = 17; a 2 x 2 star of 255 and intensity 0 (K = 256) gives
// each covered cell (255 * 17 * 256) >> 16 = 16, so E = 16 wherever a cell lands.
TEST(StarLight, PlainGlintRaisesBrightness)
{
    Star s;
    MakeFlat(s.photo, 6, 5, 120);
    MakeFlat(s.star, 2, 2, 255);
    ASSERT_EQ(s.Run(110, 0, 0), 0);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x) {
            const CPixel p = s.result.GetPixel2(x, y);
            EXPECT_EQ(p.r, 136) << x << "," << y;
            EXPECT_EQ(p.b, 136) << x << "," << y;
            EXPECT_EQ(p.a, 17) << x << "," << y;
        }
}

TEST(StarLight, ColouredGlintTakesItsHueFromTheDistances)
{
    // Inside: cells at distances 0, 255, 255 and trunc(sqrt(2) * 255) = 360;
    // hue 870 / 4 - 64 = 153, brightness 16, saturation 255 gives
    // B 16, G 6, R 0. At (0, 0) only the centre cell lands: hue -64 as a
    // byte = 192 gives B 16, G 0, R 8.
    Star s;
    MakeFlat(s.photo, 6, 5, 120);
    MakeFlat(s.star, 2, 2, 255);
    ASSERT_EQ(s.Run(110, 0, 1), 0);
    const CPixel inner = s.result.GetPixel2(3, 2);
    EXPECT_EQ(inner.b, 136); EXPECT_EQ(inner.g, 126); EXPECT_EQ(inner.r, 120);
    const CPixel corner = s.result.GetPixel2(0, 0);
    EXPECT_EQ(corner.b, 136); EXPECT_EQ(corner.g, 120); EXPECT_EQ(corner.r, 128);
}

TEST(StarLight, GlintReadsTheGlowUnderEachStarCell)
{
    // One white point on black; the star lights only its cell (u, m) = (-1, 0),
    // so a pixel's glint is E = (255 * J(x - 1, y) * 256) >> 16 from the glow
    // alpha J just left of it, which the target keeps as its alpha.
    Star s;
    MakeFlat(s.photo, 21, 21, 0);
    s.photo.PutPixel(10, 10, {255, 255, 255, 255});
    MakeFlat(s.star, 2, 2, 0);
    s.star.PutPixel(0, 1, {0, 0, 255, 255});
    ASSERT_EQ(s.Run(5, 0, 0), 0);
    const int centreAlpha = s.result.GetPixel2(10, 10).a;
    ASSERT_GT(centreAlpha, 0);
    ASSERT_GT(s.result.GetPixel2(11, 10).a, 0); // (11, 10) shines, so it is marked
    EXPECT_EQ(s.result.GetPixel2(11, 10).r, (255 * centreAlpha * 256) >> 16);
    EXPECT_GT(s.result.GetPixel2(11, 10).r, s.result.GetPixel2(9, 10).r);
    EXPECT_EQ(s.result.GetPixel2(10, 11).r, s.result.GetPixel2(10, 9).r);
}

TEST(StarLight, CoverCountDoesNotWrapAt256)
{
    // A 32 x 32 star: every inner pixel lies in 1024 shining squares, a
    // multiple of 256; it still glints.
    Star s;
    MakeFlat(s.photo, 48, 48, 120);
    MakeFlat(s.star, 32, 32, 255);
    ASSERT_EQ(s.Run(110, 0, 0), 0);
    EXPECT_GT(s.result.GetPixel2(24, 24).r, 120);
}

struct SharpenCase {
    int centre, around, amount, expected;
};

TEST(SharpenTexture, CentreOfThreeByThreeByHand)
{
    // centre 100 among 200: blur = (800 + 1600 + 400) >> 4 = 175,
    // s = sqrt(75) / 16, n = 100 - 100 s / 2 = 72.9 -> 72.
    // centre 200 among 100: blur = 125, n = 200 + s * 55 / 2 = 214.9 -> 214.
    const SharpenCase cases[] = {{100, 200, 100, 72}, {100, 200, 50, 86}, {100, 200, 0, 100}, {200, 100, 100, 214}};
    for (const SharpenCase& c : cases) {
        CQLImage src, target;
        MakeFlat(src, 3, 3, c.around, 77);
        src.PutPixel(1, 1, {static_cast<BYTE>(c.centre), static_cast<BYTE>(c.centre), static_cast<BYTE>(c.centre), 77});
        SharpenTextureAlgorithm sharpen;
        sharpen.SetImages(&src, &target);
        const SharpenTextureParams p = {c.amount};
        ASSERT_EQ(sharpen.Apply(&p), 0);
        const CPixel o = target.GetPixel2(1, 1);
        EXPECT_EQ(o.b, c.expected) << c.centre << " amount " << c.amount;
        EXPECT_EQ(o.r, c.expected);
        EXPECT_EQ(o.a, 77);
        EXPECT_EQ(target.GetPixel2(0, 1).r, c.around); // border stays
    }
}

TEST(SharpenTexture, AmountZeroIsTheSourceAndTheCommandUsesHalf)
{
    CQLImage src, target;
    effecttest::MakePattern(src, 9, 7);
    SharpenTextureAlgorithm sharpen;
    sharpen.SetImages(&src, &target);
    const SharpenTextureParams zero = {0};
    ASSERT_EQ(sharpen.Apply(&zero), 0);
    EXPECT_EQ(Bytes(target), Bytes(src));

    CQLImage image;
    MakeFlat(image, 3, 3, 200);
    image.PutPixel(1, 1, {100, 100, 100, 255});
    ASSERT_EQ(SharpenTextureImage(image), 1);
    EXPECT_EQ(image.GetPixel2(1, 1).g, 86);
}

// 4 x 4 photo whose R is 10 * x + 100 * y... kept within a byte: 10 x + 50 y.
void MakeRamp(CQLImage& image)
{
    image.Create(4, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            image.PutPixel(x, y, {0, 0, static_cast<BYTE>(10 * x + 50 * y), static_cast<BYTE>(x + 4 * y)});
}

// Grid of 2 x 2 pairs for a 4 x 4 photo with cell 2: only cell (0, 0) warps.
struct Warp {
    CQLImage photo, result;
    ModifyShapeAlgorithm fx;

    HRESULT Run(const std::vector<float>& pairs, int cell, int columns, int rows)
    {
        fx.SetWarpGrid(pairs.data(), cell, columns, rows);
        fx.SetImages(&photo, &result);
        return fx.Apply(nullptr);
    }
    int R(int x, int y) const { return result.GetPixel2(x, y).r; }
};

TEST(ModifyShape, ZeroGridIsTheSource)
{
    Warp w;
    MakeRamp(w.photo);
    ASSERT_EQ(w.Run(std::vector<float>(8, 0.0f), 2, 2, 2), 0);
    EXPECT_EQ(Bytes(w.result), Bytes(w.photo));
}

TEST(ModifyShape, GridMustHoldThePairsThePhotoNeeds)
{
    Warp w;
    MakeRamp(w.photo);
    MakeFlat(w.result, 1, 1, 3);
    const std::vector<BYTE> before = Bytes(w.result);
    // 4 x 4 with cell 2 needs 2 x 2 pairs: 3 are too few.
    EXPECT_EQ(w.Run(std::vector<float>(6, 1.0f), 2, 3, 1), E_FAIL);
    EXPECT_EQ(w.Run(std::vector<float>(8, 1.0f), 0, 2, 2), E_FAIL);
    ModifyShapeAlgorithm fresh; // no grid at all
    fresh.SetImages(&w.photo, &w.result);
    EXPECT_EQ(fresh.Apply(nullptr), E_FAIL);
    EXPECT_EQ(Bytes(w.result), before);
    // A larger grid than needed is read with the photo's own column count.
    EXPECT_EQ(w.Run(std::vector<float>(18, 0.0f), 2, 3, 3), 0);
}

TEST(ModifyShape, ShiftsWithinTheWarpedCellsOnly)
{
    // dx = 1 at every corner: pixels (0..1, 0..1) read one to the right;
    // the rest stays. Alpha keeps the copy's value.
    Warp w;
    MakeRamp(w.photo);
    std::vector<float> grid;
    for (int i = 0; i < 4; ++i)
        grid.insert(grid.end(), {1.0f, 0.0f});
    ASSERT_EQ(w.Run(grid, 2, 2, 2), 0);
    EXPECT_EQ(w.R(0, 0), 10);
    EXPECT_EQ(w.R(1, 1), 70);
    EXPECT_EQ(w.R(2, 0), 20);
    EXPECT_EQ(w.R(0, 2), 100);
    EXPECT_EQ(w.result.GetPixel2(1, 1).a, 5);
}

TEST(ModifyShape, CornerVectorsBlendAndFractionsInterpolate)
{
    // Left corners dx = 0, right corners dx = 1 (cell 2): pixel (1, y) has
    // dx = 1 / 2, weight 128: (10 * 128 + 20 * 128) >> 8 = 15 on row 0.
    // Left corners dx = -0.5 as well: pixel (0, 0) reads -0.5, which lies
    // left of the photo: both taps are column 0, so it stays 0.
    Warp w;
    MakeRamp(w.photo);
    ASSERT_EQ(w.Run({0, 0, 1, 0, 0, 0, 1, 0}, 2, 2, 2), 0);
    EXPECT_EQ(w.R(1, 0), 15);
    EXPECT_EQ(w.R(0, 0), 0);
    EXPECT_EQ(w.R(1, 1), 65);
    ASSERT_EQ(w.Run({-0.5f, 0, -0.5f, 0, -0.5f, 0, -0.5f, 0}, 2, 2, 2), 0);
    EXPECT_EQ(w.R(0, 0), 0);
    EXPECT_EQ(w.R(0, 1), 50);
    EXPECT_EQ(w.R(1, 0), 5); // (0 * 128 + 10 * 128) >> 8
}

} // namespace
