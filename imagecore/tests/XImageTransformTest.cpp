// Transforms, resampling, depth changes and dithering, on small fixtures
// whose results are worked out by hand.
#include "imagecore/tests/XImageTestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using ximagetest::MakeSeen24;
using ximagetest::Rgb;
using ximagetest::Seen;
using ximagetest::operator==;

constexpr COLORREF A = RGB(1, 0, 0), B = RGB(2, 0, 0), C = RGB(3, 0, 0), D = RGB(4, 0, 0), E = RGB(5, 0, 0),
                   F = RGB(6, 0, 0);

// Seen as
//   A B C
//   D E F
void Abcdef(CxImage& img) { MakeSeen24(img, {{A, B, C}, {D, E, F}}); }

std::vector<std::vector<COLORREF>> SeenRows(const CxImage& img)
{
    std::vector<std::vector<COLORREF>> rows(img.GetHeight());
    for (LONG r = 0; r < static_cast<LONG>(img.GetHeight()); ++r)
        for (LONG c = 0; c < static_cast<LONG>(img.GetWidth()); ++c)
            rows[r].push_back(Seen(img, c, r));
    return rows;
}

using Rows = std::vector<std::vector<COLORREF>>;

struct TurnCase {
    const char* name;
    std::function<bool(CxImage&)> turn;
    Rows want;
};

void PrintTo(const TurnCase& c, std::ostream* os) { *os << c.name; }

class XImageTurn : public ::testing::TestWithParam<TurnCase> {};

TEST_P(XImageTurn, MovesEveryPixelWhereItIsSeen)
{
    CxImage img;
    Abcdef(img);
    img.AlphaCreate();
    img.AlphaSet(0, 1, 99); // under A
    ASSERT_TRUE(GetParam().turn(img));
    EXPECT_EQ(SeenRows(img), GetParam().want);
    // The alpha plane turns with A.
    for (LONG y = 0; y < static_cast<LONG>(img.GetHeight()); ++y)
        for (LONG x = 0; x < static_cast<LONG>(img.GetWidth()); ++x)
            EXPECT_EQ(img.AlphaGet(x, y) == 99, CxImage::RGBQUADtoRGB(img.GetPixelColor(x, y)) == A);
}

INSTANTIATE_TEST_SUITE_P(
    Turns, XImageTurn,
    ::testing::Values(TurnCase{"RotateRight", [](CxImage& i) { return i.RotateRight(); }, Rows{{D, A}, {E, B}, {F, C}}},
                      TurnCase{"Rotate90", [](CxImage& i) { return i.Rotate(90); }, Rows{{D, A}, {E, B}, {F, C}}},
                      TurnCase{"RotateLeft", [](CxImage& i) { return i.RotateLeft(); }, Rows{{C, F}, {B, E}, {A, D}}},
                      TurnCase{"RotateMinus90", [](CxImage& i) { return i.Rotate(-90); }, Rows{{C, F}, {B, E}, {A, D}}},
                      TurnCase{"Rotate180", [](CxImage& i) { return i.Rotate180(); }, Rows{{F, E, D}, {C, B, A}}},
                      TurnCase{"Rotate180Degrees", [](CxImage& i) { return i.Rotate(180); }, Rows{{F, E, D}, {C, B, A}}},
                      TurnCase{"Flip", [](CxImage& i) { return i.Flip(); }, Rows{{D, E, F}, {A, B, C}}},
                      TurnCase{"Mirror", [](CxImage& i) { return i.Mirror(); }, Rows{{C, B, A}, {F, E, D}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(XImageTransform, RightAngleRotationOfTwoByOneGivesOneByTwo)
{
    CxImage img(2, 1, 24);
    ASSERT_TRUE(img.Rotate(90));
    EXPECT_EQ(img.GetWidth(), 1u);
    EXPECT_EQ(img.GetHeight(), 2u);
}

TEST(XImageTransform, TurnsOfPaletteImagesMoveIndices)
{
    CxImage img(3, 1, 1);
    img.SetPixelIndex(0, 0, 1);
    ASSERT_TRUE(img.RotateRight());
    EXPECT_EQ(img.GetBpp(), 1);
    EXPECT_EQ(img.GetPixelIndex(0, 2), 1); // left end goes to the top
    EXPECT_EQ(img.GetPixelIndex(0, 0), 0);
    ASSERT_TRUE(img.Mirror());
    ASSERT_TRUE(img.Rotate180());
    EXPECT_EQ(img.GetPixelIndex(0, 0), 1);
}

TEST(XImageTransform, RotateIntoATargetLeavesTheSource)
{
    CxImage img;
    Abcdef(img);
    CxImage out;
    ASSERT_TRUE(img.RotateLeft(&out));
    EXPECT_EQ(out.GetWidth(), 2u);
    EXPECT_EQ(img.GetWidth(), 3u);
    EXPECT_EQ(Seen(img, 0, 0), A);
    ASSERT_TRUE(img.Rotate(45, &out));
    EXPECT_EQ(img.GetWidth(), 3u);
    EXPECT_EQ(out.GetWidth(), 4u); // 3 cos 45 + 2 sin 45 = 3.54
}

TEST(XImageTransform, RotateFillsUncoveredCornersWithTheTransparentColour)
{
    CxImage img(4, 4, 24);
    img.Clear(200);
    img.SetTransColor(Rgb(0, 0, 255));
    ASSERT_TRUE(img.Rotate(45));
    EXPECT_EQ(img.GetWidth(), 6u); // 4 * sqrt 2 = 5.66
    EXPECT_TRUE(img.GetPixelColor(0, 0) == Rgb(0, 0, 255));
    EXPECT_TRUE(img.GetPixelColor(3, 3) == Rgb(200, 200, 200));
}

TEST(XImageTransform, CropCountsRowsFromTheTop)
{
    CxImage img;
    Abcdef(img);
    CxImage out;
    ASSERT_TRUE(img.Crop(1, 0, 3, 1, &out));
    EXPECT_EQ(SeenRows(out), (Rows{{B, C}}));
    ASSERT_TRUE(img.Crop(RECT{2, 5, -4, 1}, &out)); // clamped to 0..2 x 1..2, ordered
    EXPECT_EQ(SeenRows(out), (Rows{{D, E}}));
    EXPECT_EQ(SeenRows(img), (Rows{{A, B, C}, {D, E, F}}));
}

TEST(XImageTransform, EmptyCropFailsAndChangesNothing)
{
    CxImage img;
    Abcdef(img);
    EXPECT_FALSE(img.Crop(1, 0, 1, 2));
    EXPECT_FALSE(img.Crop(0, 1, 3, 1));
    EXPECT_FALSE(img.Crop(5, 0, 9, 2)); // entirely right of the image
    EXPECT_EQ(SeenRows(img), (Rows{{A, B, C}, {D, E, F}}));
}

TEST(XImageTransform, CropOfFourBitsKeepsPaletteAndTransparency)
{
    CxImage img(5, 2, 4);
    img.SetPaletteIndex(7, 9, 8, 7);
    img.SetTransIndex(7);
    img.SetPixelIndex(3, 1, 7); // top row as seen
    ASSERT_TRUE(img.Crop(3, 0, 5, 1));
    EXPECT_EQ(img.GetWidth(), 2u);
    EXPECT_EQ(img.GetHeight(), 1u);
    EXPECT_EQ(img.GetPixelIndex(0, 0), 7);
    EXPECT_TRUE(img.GetPaletteColor(7) == Rgb(9, 8, 7));
    EXPECT_EQ(img.GetTransIndex(), 7);
}

TEST(XImageTransform, EveryTransformFailsOnAnEmptyImage)
{
    const std::vector<std::function<bool(CxImage&)>> ops = {
        [](CxImage& i) { return i.GrayScale(); },        [](CxImage& i) { return i.Flip(); },
        [](CxImage& i) { return i.Mirror(); },           [](CxImage& i) { return i.RotateLeft(); },
        [](CxImage& i) { return i.RotateRight(); },      [](CxImage& i) { return i.Rotate180(); },
        [](CxImage& i) { return i.Rotate(30); },         [](CxImage& i) { return i.Negative(); },
        [](CxImage& i) { return i.Crop(0, 0, 1, 1); },   [](CxImage& i) { return i.Resample(2, 2); },
        [](CxImage& i) { return i.IncreaseBpp(24); },    [](CxImage& i) { return i.DecreaseBpp(1, false); },
        [](CxImage& i) { return i.Dither(1); },
    };
    for (std::size_t k = 0; k < ops.size(); ++k) {
        CxImage img;
        EXPECT_FALSE(ops[k](img)) << k;
        EXPECT_FALSE(img.IsValid()) << k;
    }
}

TEST(XImageTransform, GrayScaleWeighsGreenMost)
{
    CxImage img;
    MakeSeen24(img, {{RGB(100, 200, 50), RGB(255, 255, 255)}});
    ASSERT_TRUE(img.GrayScale());
    EXPECT_EQ(img.GetBpp(), 8);
    EXPECT_TRUE(img.IsGrayScale());
    EXPECT_EQ(img.GetPixelIndex(0, 0), 153); // (59*200 + 11*50 + 30*100) / 100
    EXPECT_EQ(img.GetPixelIndex(1, 0), 255);
}

TEST(XImageTransform, GrayScaleOfAPaletteImageMapsIndices)
{
    CxImage img(2, 1, 4);
    img.SetPaletteIndex(3, 0, 255, 0);
    img.SetPixelIndex(1, 0, 3);
    img.SetTransIndex(3);
    ASSERT_TRUE(img.GrayScale());
    EXPECT_EQ(img.GetBpp(), 8);
    EXPECT_EQ(img.GetPixelIndex(1, 0), 150); // 59 * 255 / 100
    EXPECT_EQ(img.GetTransIndex(), 150);
}

TEST(XImageTransform, NegativeInvertsOnlyTheSelection)
{
    CxImage img(3, 1, 24);
    img.Clear(10);
    img.SetTransColor(Rgb(0, 0, 5));
    img.SelectionAddRect(RECT{1, 0, 2, 1});
    ASSERT_TRUE(img.Negative());
    EXPECT_TRUE(img.GetPixelColor(0, 0) == Rgb(10, 10, 10));
    EXPECT_TRUE(img.GetPixelColor(1, 0) == Rgb(245, 245, 245));
    EXPECT_TRUE(img.GetPixelColor(2, 0) == Rgb(10, 10, 10));
    EXPECT_TRUE(img.GetTransColor() == Rgb(255, 255, 250));
}

TEST(XImageTransform, NegativeOfPaletteImages)
{
    CxImage grey(2, 1, 8);
    grey.SetGrayPalette();
    grey.SetPixelIndex(0, 0, 10);
    ASSERT_TRUE(grey.Negative());
    EXPECT_EQ(grey.GetPixelIndex(0, 0), 245);
    EXPECT_TRUE(grey.IsGrayScale());

    CxImage colour(1, 1, 1);
    colour.SetPaletteIndex(0, 10, 20, 30);
    ASSERT_TRUE(colour.Negative());
    EXPECT_EQ(colour.GetPixelIndex(0, 0), 0);
    EXPECT_TRUE(colour.GetPaletteColor(0) == Rgb(245, 235, 225));
}

// --- Resample ---

TEST(XImageResample, FastTakesTheSourcePixelAtTheScaledPosition)
{
    CxImage img;
    MakeSeen24(img, {{A, B, C, D}, {E, F, A, B}, {C, D, E, F}, {A, A, A, A}});
    img.AlphaCreate();
    img.AlphaSet(2, 3, 50); // under C of the top row
    ASSERT_TRUE(img.Resample(2, 2, 1));
    // Target (x, y) takes source (2x, 2y), y counted in the DIB's rows.
    EXPECT_EQ(SeenRows(img), (Rows{{E, A}, {A, A}}));
    EXPECT_EQ(img.AlphaGet(1, 1), 0);
    EXPECT_EQ(img.AlphaGet(1, 0), 0);
    CxImage up;
    MakeSeen24(up, {{A, B}});
    ASSERT_TRUE(up.Resample(4, 1, 1));
    EXPECT_EQ(SeenRows(up), (Rows{{A, A, B, B}}));
}

TEST(XImageResample, ShrinkingBothWaysAveragesCoveredAreas)
{
    CxImage img(3, 3, 24);
    img.SetPixelColor(0, 0, RGB(90, 0, 0));
    img.SetPixelColor(2, 2, RGB(0, 180, 0));
    ASSERT_TRUE(img.Resample(2, 2, 0));
    // Target (0, 0) covers 1 x 1 of (0, 0), halves of (1, 0) and (0, 1) and a
    // quarter of (1, 1): 90 * 1 / 2.25 = 40.
    EXPECT_TRUE(img.GetPixelColor(0, 0) == Rgb(40, 0, 0));
    EXPECT_TRUE(img.GetPixelColor(1, 1) == Rgb(0, 80, 0));
    EXPECT_TRUE(img.GetPixelColor(1, 0) == Rgb(0, 0, 0));
}

TEST(XImageResample, FlatAreasKeepTheirValueWhenBoxFiltered)
{
    CxImage img(7, 5, 24);
    img.Clear(201);
    ASSERT_TRUE(img.Resample(3, 2, 0));
    for (LONG y = 0; y < 2; ++y)
        for (LONG x = 0; x < 3; ++x)
            EXPECT_TRUE(img.GetPixelColor(x, y) == Rgb(201, 201, 201));
}

TEST(XImageResample, EnlargingInterpolatesAndRepeatsTheLastColumn)
{
    CxImage img(2, 1, 24);
    img.SetPixelColor(1, 0, RGB(200, 0, 100));
    img.AlphaCreate();
    img.AlphaSet(1, 0, 255);
    ASSERT_TRUE(img.Resample(4, 1, 0));
    EXPECT_TRUE(img.GetPixelColor(0, 0) == Rgb(0, 0, 0));
    EXPECT_TRUE(img.GetPixelColor(1, 0) == Rgb(100, 0, 50)); // halfway
    EXPECT_TRUE(img.GetPixelColor(2, 0) == Rgb(200, 0, 100));
    EXPECT_TRUE(img.GetPixelColor(3, 0) == Rgb(200, 0, 100)); // no right neighbour
    EXPECT_EQ(img.AlphaGet(1, 0), 128);
}

TEST(XImageResample, SizesAndStops)
{
    CxImage img(4, 4, 24);
    EXPECT_FALSE(img.Resample(0, 3));
    EXPECT_TRUE(img.Resample(4, 4));
    img.SetEscape(1);
    EXPECT_FALSE(img.Resample(2, 2, 1));
    EXPECT_FALSE(img.Resample(2, 2, 0));
    EXPECT_EQ(img.GetWidth(), 4u);
    img.SetEscape(0);
    EXPECT_TRUE(img.Resample(2, 2, 1));
    EXPECT_EQ(img.GetProgress(), 100);
}

TEST(XImageResample, PaletteImagesKeepTheirDepth)
{
    CxImage img(2, 2, 1);
    img.SetPaletteIndex(1, 255, 255, 255);
    img.SetPixelIndex(1, 1, 1);
    ASSERT_TRUE(img.Resample(4, 4, 0));
    EXPECT_EQ(img.GetBpp(), 1);
    EXPECT_EQ(img.GetPixelIndex(3, 3), 1);
    EXPECT_EQ(img.GetPixelIndex(0, 0), 0);
}

// --- Depth ---

TEST(XImageDepth, IncreaseCarriesIndicesOrColours)
{
    CxImage img(2, 1, 1);
    img.SetPaletteIndex(1, 10, 20, 30);
    img.SetPixelIndex(1, 0, 1);
    EXPECT_TRUE(img.IncreaseBpp(1));
    EXPECT_FALSE(img.IncreaseBpp(16));
    ASSERT_TRUE(img.IncreaseBpp(8));
    EXPECT_EQ(img.GetPixelIndex(1, 0), 1);
    EXPECT_TRUE(img.GetPaletteColor(1) == Rgb(10, 20, 30));
    EXPECT_FALSE(img.IncreaseBpp(4));
    ASSERT_TRUE(img.IncreaseBpp(24));
    EXPECT_TRUE(img.GetPixelColor(1, 0) == Rgb(10, 20, 30));
}

TEST(XImageDepth, DecreaseTakesTheNearestEntry)
{
    CxImage img(3, 1, 24);
    img.SetPixelColor(0, 0, RGB(200, 200, 200));
    img.SetPixelColor(1, 0, RGB(50, 50, 50));
    img.SetPixelColor(2, 0, RGB(255, 0, 0));
    EXPECT_FALSE(img.DecreaseBpp(2, false));
    CxImage four(img);
    ASSERT_TRUE(four.DecreaseBpp(4, false));
    EXPECT_TRUE(four.GetPixelColor(2, 0) == Rgb(255, 0, 0));  // entry 9 of the standard palette
    EXPECT_TRUE(four.GetPixelColor(0, 0) == Rgb(192, 192, 192));
    ASSERT_TRUE(img.DecreaseBpp(1, false));
    EXPECT_EQ(img.GetBpp(), 1);
    EXPECT_EQ(img.GetPixelIndex(0, 0), 1);
    EXPECT_EQ(img.GetPixelIndex(1, 0), 0);
    EXPECT_FALSE(img.DecreaseBpp(8, false));
}

TEST(XImageDepth, DecreaseWithAGivenPalette)
{
    CxImage img(1, 1, 24);
    img.SetPixelColor(0, 0, RGB(0, 250, 0));
    RGBQUAD pal[256] = {};
    pal[200] = Rgb(0, 255, 0);
    ASSERT_TRUE(img.DecreaseBpp(8, false, pal));
    EXPECT_EQ(img.GetPixelIndex(0, 0), 200);
}

// Grey 128 twice: alone each is nearer white; diffused, white's error
// -127 * 7 / 16 = -55 makes the second 73, nearer black.
TEST(XImageDepth, DecreaseDiffusesTheError)
{
    CxImage img(2, 1, 24);
    img.Clear(128);
    CxImage plain(img);
    ASSERT_TRUE(plain.DecreaseBpp(1, false));
    EXPECT_EQ(plain.GetPixelIndex(1, 0), 1);
    ASSERT_TRUE(img.DecreaseBpp(1, true));
    EXPECT_EQ(img.GetPixelIndex(0, 0), 1);
    EXPECT_EQ(img.GetPixelIndex(1, 0), 0);
}

TEST(XImageDither, OrderedUsesTheFourByFourMatrix)
{
    CxImage img(4, 4, 24);
    img.Clear(128); // level 128 * 16 / 255 = 8: white where the matrix is below 8
    ASSERT_TRUE(img.Dither(1));
    EXPECT_EQ(img.GetBpp(), 1);
    EXPECT_TRUE(img.GetPaletteColor(1) == Rgb(255, 255, 255));
    const int matrix[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    for (LONG y = 0; y < 4; ++y)
        for (LONG x = 0; x < 4; ++x)
            EXPECT_EQ(img.GetPixelIndex(x, y), matrix[y][x] < 8 ? 1 : 0) << x << "," << y;
    CxImage white(2, 2, 24);
    white.Clear(255); // level 16: always white
    ASSERT_TRUE(white.Dither(1));
    EXPECT_EQ(white.GetPixelIndex(0, 0), 1);
}

// Grey 128: black (below 129) with error 128; the right neighbour becomes
// 128 + 56 = 184, white.
TEST(XImageDither, ErrorDiffusionPassesTheErrorOn)
{
    CxImage img(2, 1, 24);
    img.Clear(128);
    img.AlphaCreate();
    ASSERT_TRUE(img.Dither(0));
    EXPECT_EQ(img.GetPixelIndex(0, 0), 0);
    EXPECT_EQ(img.GetPixelIndex(1, 0), 1);
    EXPECT_TRUE(img.HasAlpha());
    EXPECT_TRUE(img.Dither(0)); // already 1 bit
}

} // namespace
