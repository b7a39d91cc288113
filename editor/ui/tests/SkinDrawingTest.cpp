#include "SkinTestSupport.h"

#include "editor/ui/SkinDrawing.h"

#include <QImage>

using skintest::Bgr;
using skintest::BgrAt;

namespace {

// A white surface with a DC drawing into it.
class SurfaceDC : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_surface = QImage(16, 12, QImage::Format_RGB32);
        m_surface.fill(Qt::white);
        m_hdc = qlafx::CreateSurfaceDC(&m_surface, nullptr);
        m_dc = CDC::FromHandle(m_hdc);
    }
    void TearDown() override { qlafx::ReleaseSurfaceDC(m_hdc); }

    QImage m_surface;
    HDC m_hdc = nullptr;
    CDC* m_dc = nullptr;
};

struct GradientCase {
    const char* name;
    BOOL linear;
    POINT at;        // pixel read
    Bgr ramp;        // the ramp entry expected there, before the dither
};

class CoincidingPoints : public SurfaceDC, public ::testing::WithParamInterface<GradientCase> {};

// Both points at (3, 2) of the rectangle (2, 1)-(10, 7); colourFrom
// R200 G100 B40, colourTo R255 G0 B240. Entry 128 = (256 c2 + 128 (c1 - c2)) / 256:
// R 227, G 50, B 140. Entry 0 = colourTo held to 2..253: R 253, G 2, B 240.
// Entry 256 = colourFrom.
TEST_P(CoincidingPoints, PaintTheRampEntryTheFormulaGives)
{
    const GradientCase& c = GetParam();
    FillGradientRect(m_dc, RECT{2, 1, 10, 7}, POINT{5, 3}, POINT{5, 3}, c.linear, RGB(200, 100, 40),
                     RGB(255, 0, 240), nullptr, 0);
    const Bgr got = BgrAt(m_surface, c.at.x, c.at.y);
    // One dither value, -2..1, for all three channels of a pixel.
    const int d = got.b - c.ramp.b;
    EXPECT_GE(d, -2) << got;
    EXPECT_LE(d, 1) << got;
    EXPECT_EQ(got, (Bgr{c.ramp.b + d, c.ramp.g + d, c.ramp.r + d}));
    EXPECT_EQ(BgrAt(m_surface, 1, 1), (Bgr{255, 255, 255})) << "outside the rectangle";
}

INSTANTIATE_TEST_SUITE_P(
    Gradient, CoincidingPoints,
    ::testing::Values(GradientCase{"LinearCorner", TRUE, {2, 1}, {140, 50, 227}},
                      GradientCase{"LinearOnThePoint", TRUE, {5, 3}, {140, 50, 227}},
                      GradientCase{"LinearFarCorner", TRUE, {9, 6}, {140, 50, 227}},
                      GradientCase{"RadialAway", FALSE, {9, 6}, {240, 2, 253}},
                      GradientCase{"RadialOnThePoint", FALSE, {5, 3}, {40, 100, 200}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SurfaceDC, LinearRampRunsFromColourFromToColourTo)
{
    // Along x from (0, 0) to (8, 0): t = x, entry 256 - 32 x; t <= 0 gives 255.
    FillGradientRect(m_dc, RECT{0, 0, 9, 1}, POINT{0, 0}, POINT{8, 0}, TRUE, RGB(200, 200, 200), RGB(40, 40, 40),
                     nullptr, 0);
    const struct {
        int x;
        int entry;
    } cases[] = {{0, 255}, {4, 128}, {6, 64}, {8, 0}};
    for (const auto& c : cases) {
        // Entry k: (256 * 40 + k * 160) / 256.
        const int expected = (256 * 40 + c.entry * 160) / 256;
        const int got = BgrAt(m_surface, c.x, 0).g;
        EXPECT_GE(got, expected - 2) << "x " << c.x;
        EXPECT_LE(got, expected + 1) << "x " << c.x;
    }
}

TEST_F(SurfaceDC, FullWeightTextureTilesFromTheRectanglesCorner)
{
    CQLImage texture;
    ASSERT_EQ(texture.Create(2, 2), 0);
    texture.PutPixel(0, 0, CPixel{10, 20, 30, 255});
    texture.PutPixel(1, 0, CPixel{40, 50, 60, 255});
    texture.PutPixel(0, 1, CPixel{70, 80, 90, 255});
    texture.PutPixel(1, 1, CPixel{100, 110, 120, 255});
    FillGradientRect(m_dc, RECT{3, 2, 8, 6}, POINT{3, 2}, POINT{8, 6}, TRUE, RGB(0, 0, 0), RGB(255, 255, 255),
                     &texture, 256);
    EXPECT_EQ(BgrAt(m_surface, 3, 2), (Bgr{10, 20, 30}));
    EXPECT_EQ(BgrAt(m_surface, 4, 2), (Bgr{40, 50, 60}));
    EXPECT_EQ(BgrAt(m_surface, 5, 3), (Bgr{70, 80, 90}));
    EXPECT_EQ(BgrAt(m_surface, 6, 5), (Bgr{100, 110, 120}));
}

TEST(FitRectToAspect, KeepsTheShapeCentredInTheBox)
{
    const struct {
        RECT box;
        int w, h;
        RECT expected;
    } cases[] = {
        {{0, 0, 100, 50}, 200, 200, {25, 0, 75, 50}},   // too wide: width 50, 25 off each side
        {{0, 0, 101, 50}, 1, 1, {25, 0, 75, 50}},       // odd surplus 51: 25 left, 26 right
        {{0, 0, 100, 50}, 300, 100, {0, 8, 100, 41}},   // too tall: height 33, 8 off the top
        {{10, 20, 30, 40}, 4, 4, {10, 20, 30, 40}},     // same shape
        {{0, 0, 100, 50}, 0, 7, {0, 0, 100, 50}},       // no shape: nothing to divide by
    };
    for (const auto& c : cases) {
        const RECT got = FitRectToAspect(c.box, c.w, c.h);
        EXPECT_EQ(got.left, c.expected.left) << c.w << "x" << c.h;
        EXPECT_EQ(got.top, c.expected.top) << c.w << "x" << c.h;
        EXPECT_EQ(got.right, c.expected.right) << c.w << "x" << c.h;
        EXPECT_EQ(got.bottom, c.expected.bottom) << c.w << "x" << c.h;
    }
}

TEST_F(SurfaceDC, DrawImageFittedFillsTheMarginsAroundTheFittedPicture)
{
    CQLImage image;
    skintest::Fill(&image, 4, 2, CPixel{0, 0, 255, 255});
    // 4:2 in an 8 x 8 box: 8 x 4 from row 2.
    EXPECT_NE(DrawImageFitted(m_dc, 0, 0, 8, 8, &image, RGB(0, 0, 255), TRUE), 0);
    for (int y : {0, 1, 6, 7})
        EXPECT_EQ(BgrAt(m_surface, 3, y), (Bgr{255, 0, 0})) << "margin row " << y;
    for (int y : {2, 5})
        EXPECT_EQ(BgrAt(m_surface, 3, y), (Bgr{0, 0, 255})) << "picture row " << y;
    EXPECT_EQ(BgrAt(m_surface, 9, 3), (Bgr{255, 255, 255})) << "outside the box";

    CQLImage empty;
    EXPECT_EQ(DrawImageFitted(m_dc, 0, 0, 8, 8, &empty, RGB(0, 0, 0), TRUE), 0);
}

}  // namespace
