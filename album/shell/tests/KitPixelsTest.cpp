#include "album/shell/KitPixels.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace shelf;

namespace {

// B, G, R of the pixel without dither: the dither is within [-2, 1].
void expectNear(const CQLImage& image, int x, int y, int b, int g, int r, const char* what)
{
    const BYTE* p = image.GetBuffer(x, y);
    EXPECT_NEAR(p[0], b, 2) << what;
    EXPECT_NEAR(p[1], g, 2) << what;
    EXPECT_NEAR(p[2], r, 2) << what;
    EXPECT_EQ(p[3], 255) << what;
}

} // namespace

TEST(FillGradient, LinearWeightsAtTheEndsAndTheMiddle)
{
    GradientSpec spec;
    spec.a = {0, 0};
    spec.b = {100, 0};
    spec.colorA = RGB(200, 100, 0);
    spec.colorB = RGB(0, 100, 200);
    DitherRandom random(1);
    CQLImage out;
    ASSERT_TRUE(GradientImage(out, 101, 3, spec, random));
    expectNear(out, 0, 1, 0, 99, 199, "at A: weight 255");
    expectNear(out, 50, 1, 100, 100, 100, "midpoint: weight 128");
    expectNear(out, 100, 1, 200, 100, 0, "at B: weight 0");
}

TEST(FillGradient, EqualPointsGiveAHardEdgeAndRadialFades)
{
    GradientSpec spec;
    spec.a = spec.b = {10, 0};
    spec.colorA = RGB(255, 255, 255);
    spec.colorB = RGB(0, 0, 0);
    DitherRandom random(7);
    CQLImage out;
    ASSERT_TRUE(GradientImage(out, 20, 1, spec, random));
    expectNear(out, 9, 0, 254, 254, 254, "before A");
    expectNear(out, 11, 0, 0, 0, 0, "after A");

    spec.linear = false;
    spec.a = {0, 0};
    spec.b = {0, 40};
    ASSERT_TRUE(GradientImage(out, 41, 41, spec, random));
    expectNear(out, 0, 0, 255, 255, 255, "centre");
    expectNear(out, 20, 0, 128, 128, 128, "half way");
    expectNear(out, 40, 40, 0, 0, 0, "beyond the radius");
}

TEST(FillGradient, DitherIsSeededAndSmall)
{
    GradientSpec spec;
    spec.a = {0, 0};
    spec.b = {64, 64};
    spec.colorA = spec.colorB = RGB(128, 128, 128);
    CQLImage one, two;
    DitherRandom r1(42), r2(42);
    ASSERT_TRUE(GradientImage(one, 64, 64, spec, r1));
    ASSERT_TRUE(GradientImage(two, 64, 64, spec, r2));
    EXPECT_EQ(std::memcmp(one.GetBuffer(0, 0), two.GetBuffer(0, 0), one.GetAreaByteSize()), 0);
    bool varied = false;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            const int v = one.GetBuffer(x, y)[1];
            EXPECT_GE(v, 126);
            EXPECT_LE(v, 129);
            varied |= v != 128;
        }
    EXPECT_TRUE(varied);
}

TEST(FillGradient, TextureWeights)
{
    CQLImage texture;
    ASSERT_EQ(texture.Create(2, 2), 0);
    std::memset(texture.GetBuffer(0, 0), 0, texture.GetAreaByteSize());
    texture.GetBuffer(1, 0)[0] = 255;
    GradientSpec spec;
    spec.b = {10, 0};
    spec.colorA = spec.colorB = RGB(100, 100, 100);
    spec.texture = &texture;
    DitherRandom random(3);
    CQLImage out;
    spec.textureWeight = 0;
    ASSERT_TRUE(GradientImage(out, 4, 2, spec, random));
    expectNear(out, 3, 0, 100, 100, 100, "weight 0: the gradient");
    spec.textureWeight = 256;
    ASSERT_TRUE(GradientImage(out, 4, 2, spec, random));
    EXPECT_EQ(out.GetBuffer(3, 0)[0], 255); // tiled: column 3 is texture column 1
    EXPECT_EQ(out.GetBuffer(3, 0)[1], 0);
    EXPECT_EQ(out.GetBuffer(2, 1)[0], 0);
}

TEST(Backdrop, FlatGreyDarkensInsideAndKeepsBorders)
{
    CQLImage image;
    ASSERT_EQ(image.Create(7, 5), 0);
    std::memset(image.GetBuffer(0, 0), 160, image.GetAreaByteSize());
    image.GetBuffer(3, 2)[3] = 77;
    BlurBackdrop(image);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) {
            const bool border = x == 0 || y == 0 || x == 6 || y == 4;
            for (int c = 0; c < 3; ++c)
                EXPECT_EQ(image.GetBuffer(x, y)[c], border ? 160 : 140) << x << "," << y;
        }
    EXPECT_EQ(image.GetBuffer(3, 2)[3], 77);
}

TEST(Backdrop, KernelWeights)
{
    CQLImage image;
    ASSERT_EQ(image.Create(3, 3), 0);
    std::memset(image.GetBuffer(0, 0), 0, image.GetAreaByteSize());
    image.GetBuffer(0, 0)[2] = 160; // diagonal: 1/16
    image.GetBuffer(1, 0)[1] = 160; // edge: 2/16
    image.GetBuffer(1, 1)[0] = 160; // itself: 2/16
    BlurBackdrop(image);
    EXPECT_EQ(image.GetBuffer(1, 1)[2], 10);
    EXPECT_EQ(image.GetBuffer(1, 1)[1], 20);
    EXPECT_EQ(image.GetBuffer(1, 1)[0], 20);
}

TEST(DibNumColors, FromTheHeader)
{
    const struct {
        WORD bits;
        DWORD used;
        int colours;
    } cases[] = {{1, 0, 2}, {4, 0, 16}, {8, 0, 256}, {24, 0, 0}, {32, 0, 0}, {8, 12, 12}, {24, 5, 5}};
    for (const auto& c : cases) {
        BITMAPINFOHEADER header{};
        header.biBitCount = c.bits;
        header.biClrUsed = c.used;
        EXPECT_EQ(DibNumColors(header), c.colours) << c.bits << " bits, " << c.used << " used";
    }
}
