#include "algorithms/FillPolygonMask.h"
#include "algorithms/MonoToneAlgorithm.h"
#include "algorithms/PerspectiveAlgorithm.h"
#include "algorithms/tests/EffectTestSupport.h"
#include "imagecore/QLChannel.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

using effecttest::Bytes;
using effecttest::MakeFlat;
using effecttest::MakePattern;

// --- Monochrome --------------------------------------------------------------

MonoToneParams Mono(BYTE method, BYTE r, BYTE g, BYTE b, BYTE strength)
{
    MonoToneParams p = {};
    p.method = method;
    p.weightR = r;
    p.weightG = g;
    p.weightB = b;
    p.strength = strength;
    return p;
}

CPixel RunMono(const MonoToneParams& p, CPixel in)
{
    CQLImage src, dst;
    src.Create(2, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x)
            src.PutPixel(x, y, in);
    MonoToneAlgorithm fx;
    fx.SetImages(&src, &dst);
    EXPECT_EQ(fx.Apply(&p), 0);
    return dst.GetPixel2(1, 1);
}

TEST(MonoToneTest, GreyMethodsAndTheMix)
{
    struct Case {
        const char* name;
        MonoToneParams params;
        CPixel in;  // B, G, R, A
        int b, g, r;
    };
    const Case cases[] = {
        // Strength 0 keeps the colours, a level darker: (v 255) >> 8.
        {"strength 0", Mono(0, 77, 150, 29, 0), {0, 100, 255, 9}, 0, 99, 254},
        // (200 77 + 100 150 + 50 29) >> 8 = 124; (124 255) >> 8 = 123.
        {"weighted sum", Mono(0, 77, 150, 29, 255), {50, 100, 200, 9}, 123, 123, 123},
        {"weighted sum capped at 255", Mono(0, 255, 255, 255, 255), {255, 255, 255, 9}, 254, 254, 254},
        // Brightness = max: (200 255) >> 8 = 199.
        {"brightness", Mono(1, 0, 0, 0, 255), {50, 100, 200, 9}, 199, 199, 199},
        // Half the grey: (v 127 + 124 128) >> 8.
        {"half mix", Mono(0, 77, 150, 29, 128), {50, 100, 200, 9}, (50 * 127 + 124 * 128) >> 8,
         (100 * 127 + 124 * 128) >> 8, (200 * 127 + 124 * 128) >> 8},
        // Linear light, all green: L[128] = 728, 255 728 >> 8 = 725, whose
        // inverse is 127 (L[127] = 714); mixed: 126.
        {"linear light", Mono(2, 0, 255, 0, 255), {128, 128, 128, 9}, 126, 126, 126},
        // 256 4080 >> 8 = 4080: the top of the inverse table.
        {"linear light white", Mono(2, 85, 86, 85, 255), {255, 255, 255, 9}, 254, 254, 254},
        // L[0..9] are 0, so the largest i with L[i] <= 0 is 9: (9 255) >> 8.
        {"linear light black", Mono(2, 85, 86, 85, 255), {0, 0, 0, 9}, 8, 8, 8},
        {"no grey method keeps colours", Mono(7, 85, 86, 85, 255), {50, 100, 200, 9}, 49, 99, 199},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CPixel p = RunMono(c.params, c.in);
        EXPECT_EQ(p.b, c.b);
        EXPECT_EQ(p.g, c.g);
        EXPECT_EQ(p.r, c.r);
        EXPECT_EQ(p.a, 9);
    }
}

TEST(MonoToneTest, TintCurvesPassTheirControlPointsAndEnds)
{
    // Shadows pure red at amount 255 x 255 >> 8 = 254: HSB (40, 254, 0) is
    // (R40, G0, B0); mid and high without amount are grey 128 and 216.
    MonoToneParams p = Mono(0, 77, 150, 29, 255);
    p.satShadow = 255;
    p.satScale = 255;
    BYTE curves[3][256];
    MonoToneAlgorithm::TintCurves(p, curves);
    EXPECT_EQ(curves[2][40], 40);
    EXPECT_EQ(curves[1][40], 0);
    EXPECT_EQ(curves[0][40], 0);
    for (int c = 0; c < 3; ++c) {
        EXPECT_EQ(curves[c][128], 128);
        EXPECT_EQ(curves[c][216], 216);
    }
    for (BYTE hue : {0, 43, 128, 200})
        for (BYTE amount : {0, 90, 255}) {
            p.hueShadow = p.hueMid = p.hueHigh = hue;
            p.satShadow = p.satMid = p.satHigh = amount;
            MonoToneAlgorithm::TintCurves(p, curves);
            for (int c = 0; c < 3; ++c) {
                EXPECT_EQ(curves[c][0], 0);
                EXPECT_EQ(curves[c][255], 255);
            }
        }
}

TEST(MonoToneTest, MidtoneTintColoursTheGrey)
{
    // Max 129 mixes to (129 255) >> 8 = 128, the midtone control point:
    // green at amount 254 is HSB (128, 254, 85) = (R1, G128, B1).
    MonoToneParams p = Mono(1, 0, 0, 0, 255);
    p.hueMid = 85;
    p.satMid = 255;
    p.satScale = 255;
    const CPixel out = RunMono(p, {129, 20, 50, 3});
    EXPECT_EQ(out.r, 1);
    EXPECT_EQ(out.g, 128);
    EXPECT_EQ(out.b, 1);
    EXPECT_EQ(out.a, 3);
}

// --- Perspective crop --------------------------------------------------------

PerspectiveParams Corners(POINT tl, POINT tr, POINT bl, POINT br)
{
    return {tl, tr, bl, br};
}

int Darken(int v) // a = b = 255 on whole pixels: two >> 8 steps
{
    return (255 * ((255 * v) >> 8)) >> 8;
}

TEST(PerspectiveTest, ARectangleIsCutWithWholePixelWeights)
{
    CQLImage src, dst;
    MakePattern(src, 12, 10);
    PerspectiveAlgorithm fx;
    fx.SetImages(&src, &dst);
    const PerspectiveParams p = Corners({2, 1}, {10, 1}, {2, 9}, {10, 9});
    ASSERT_EQ(fx.Apply(&p), 0);
    UINT w = 0, h = 0;
    dst.GetSize(&w, &h);
    ASSERT_EQ(w, 8u);
    ASSERT_EQ(h, 8u);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            const CPixel s = src.GetPixel2(x + 2, y + 1), d = dst.GetPixel2(x, y);
            EXPECT_EQ(d.b, Darken(s.b)) << x << "," << y;
            EXPECT_EQ(d.g, Darken(s.g)) << x << "," << y;
            EXPECT_EQ(d.r, Darken(s.r)) << x << "," << y;
            EXPECT_EQ(d.a, 0);
        }
}

TEST(PerspectiveTest, ATrapezoidSamplesBetweenPixels)
{
    // Top edge 4 long, bottom 12: width 8, so row 0 steps half a pixel:
    // column 1 is at x 0.5, a = 127: (127 left + 128 right) >> 8.
    CQLImage src, dst;
    MakePattern(src, 16, 16);
    PerspectiveAlgorithm fx;
    fx.SetImages(&src, &dst);
    const PerspectiveParams p = Corners({0, 0}, {4, 0}, {0, 8}, {12, 8});
    ASSERT_EQ(fx.Apply(&p), 0);
    UINT w = 0, h = 0;
    dst.GetSize(&w, &h);
    EXPECT_EQ(w, 8u);
    EXPECT_EQ(h, 9u); // (8 + trunc(11.31)) / 2
    const CPixel l = src.GetPixel2(0, 0), r = src.GetPixel2(1, 0), out = dst.GetPixel2(1, 0);
    EXPECT_EQ(out.b, (255 * ((127 * l.b + 128 * r.b) >> 8)) >> 8);
    EXPECT_EQ(out.r, (255 * ((127 * l.r + 128 * r.r) >> 8)) >> 8);
    EXPECT_EQ(dst.GetPixel2(2, 0).g, Darken(src.GetPixel2(1, 0).g));
}

TEST(PerspectiveTest, RefusesSidesUnderFiveOrBeyondTheSource)
{
    CQLImage src, dst, empty;
    MakePattern(src, 120, 120);
    MakeFlat(dst, 3, 3, 7);
    const std::vector<BYTE> before = Bytes(dst);
    PerspectiveAlgorithm fx;
    fx.SetImages(&src, &dst);
    const PerspectiveParams thin = Corners({10, 10}, {14, 10}, {10, 110}, {14, 110}); // 4 x 100
    EXPECT_EQ(fx.Apply(&thin), E_FAIL);
    const PerspectiveParams wide = Corners({0, 0}, {200, 0}, {0, 50}, {200, 50});
    EXPECT_EQ(fx.Apply(&wide), E_FAIL);
    EXPECT_EQ(Bytes(dst), before);
    // The input check runs too.
    const PerspectiveParams fine = Corners({0, 0}, {50, 0}, {0, 50}, {50, 50});
    fx.SetImages(&empty, &dst);
    EXPECT_EQ(fx.Apply(&fine), E_FAIL);
    EXPECT_EQ(Bytes(dst), before);
}

// --- Polygon mask ------------------------------------------------------------

std::vector<POINT> Pts(std::initializer_list<POINT> p)
{
    return std::vector<POINT>(p);
}

TEST(FillPolygonMaskTest, RefusesTooFewPointsAndMissingMasks)
{
    CQLChannel mask, empty;
    mask.Create(4, 4);
    EXPECT_EQ(FillPolygonMask(Pts({{0, 0}, {3, 3}}), &mask), E_FAIL);
    EXPECT_EQ(FillPolygonMask(Pts({{0, 0}, {3, 0}, {3, 3}}), nullptr), E_FAIL);
    EXPECT_EQ(FillPolygonMask(Pts({{0, 0}, {3, 0}, {3, 3}}), &empty), E_FAIL);
}

void FillWith(CQLChannel& mask, int w, int h, BYTE v)
{
    mask.Create(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            mask.Set(x, y, v);
}

TEST(FillPolygonMaskTest, ARectangleFillsRightOfItsLeftEdgeAndKeepsOtherBytes)
{
    // Verticals at x 2 and 8 over rows 2..5: one crossing left of columns 3..8.
    // Every changed pixel inside the box has all 16 sub-samples inside.
    CQLChannel mask;
    FillWith(mask, 12, 10, 7);
    ASSERT_EQ(FillPolygonMask(Pts({{2, 2}, {8, 2}, {8, 6}, {2, 6}, {2, 2}}), &mask), 0);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 12; ++x)
            EXPECT_EQ(mask.Get(x, y), (x >= 3 && x <= 8 && y >= 2 && y <= 5) ? 255 : 7) << x << "," << y;

    // Not closed: the left edge is missing, nothing is crossed inside the box.
    FillWith(mask, 12, 10, 0);
    ASSERT_EQ(FillPolygonMask(Pts({{2, 2}, {8, 2}, {8, 6}, {2, 6}}), &mask), 0);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 12; ++x)
            EXPECT_EQ(mask.Get(x, y), 0);
}

TEST(FillPolygonMaskTest, ADiagonalEdgeIsAntiAliased)
{
    // Left edge x = 0, diagonal y = x: row i is filled at columns 1..i. On
    // the diagonal 10 of the 16 sub-samples (ox <= oy) are inside: 160.
    CQLChannel mask;
    FillWith(mask, 10, 10, 0);
    ASSERT_EQ(FillPolygonMask(Pts({{0, 0}, {8, 8}, {0, 8}, {0, 0}}), &mask), 0);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) {
            int expected = 0;
            if (y >= 1 && y <= 7 && x >= 1 && x < y)
                expected = 255;
            else if (y >= 1 && y <= 7 && x == y)
                expected = 160;
            EXPECT_EQ(mask.Get(x, y), expected) << x << "," << y;
        }
}

TEST(FillPolygonMaskTest, OutsideVerticesAndFarCoordinatesAreClipped)
{
    // The far edge x + y = 20 (or about 4e9) never reaches the 10 x 10 mask.
    for (int scale : {10, 200000000}) {
        SCOPED_TRACE(scale);
        CQLChannel mask;
        FillWith(mask, 10, 10, 0);
        ASSERT_EQ(FillPolygonMask(Pts({{-scale, -scale}, {3 * scale, -scale}, {-scale, 3 * scale}, {-scale, -scale}}),
                                  &mask),
                  0);
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 10; ++x)
                ASSERT_EQ(mask.Get(x, y), 255) << x << "," << y;
    }
    CQLChannel mask;
    FillWith(mask, 10, 10, 3);
    ASSERT_EQ(FillPolygonMask(Pts({{20, 20}, {30, 20}, {30, 30}, {20, 20}}), &mask), 0);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            ASSERT_EQ(mask.Get(x, y), 3);
}

TEST(FillPolygonMaskTest, PolygonsOfManyEdgesAreFilled)
{
    // 3000 edges around a circle of radius 40 centred at (50, 50).
    std::vector<POINT> circle;
    for (int k = 0; k <= 3000; ++k) {
        const double a = 2 * 3.14159265358979 * (k % 3000) / 3000;
        circle.push_back({static_cast<LONG>(std::lround(50 + 40 * std::cos(a))),
                          static_cast<LONG>(std::lround(50 + 40 * std::sin(a)))});
    }
    CQLChannel mask;
    FillWith(mask, 100, 100, 0);
    ASSERT_EQ(FillPolygonMask(circle, &mask), 0);
    EXPECT_EQ(mask.Get(50, 50), 255);
    EXPECT_EQ(mask.Get(25, 50), 255);
    EXPECT_EQ(mask.Get(50, 75), 255);
    EXPECT_EQ(mask.Get(5, 5), 0);
    EXPECT_EQ(mask.Get(95, 50), 0);
}

} // namespace
