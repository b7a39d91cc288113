// The arithmetic of the repair and lens-effect dialogs, checked by hand.
#include "editor/adjust/RepairRules.h"

#include "imagecore/Simd.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <random>
#include <vector>

namespace {

using namespace repair;

void Fill(CQLImage* image, int w, int h, const std::function<CPixel(int, int)>& colour)
{
    ASSERT_EQ(image->Create(static_cast<UINT>(w), static_cast<UINT>(h)), 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image->PutPixel(x, y, colour(x, y));
}

TEST(DarkCornersRules, SizeQuestion)
{
    struct Case {
        int w, h;
        bool ask;
    };
    for (const Case c : {Case{1000, 800, false}, Case{998, 800, true}, Case{1000, 801, true}, Case{992, 800, true},
                         Case{4000, 3000, false}, Case{1600, 1203, true}}) {
        EXPECT_EQ(DarkCornersNeedsQuestion(c.w, c.h), c.ask) << c.w << " x " << c.h;
    }
}

TEST(DarkCornersRules, ThumbnailAndMarkerLimits)
{
    EXPECT_EQ(DarkCornersThumbSize(4000, 3000).cx, 600);
    EXPECT_EQ(DarkCornersThumbSize(4000, 3000).cy, 450);
    EXPECT_EQ(DarkCornersThumbSize(3000, 4000).cx, 450);
    EXPECT_EQ(DarkCornersThumbSize(3000, 4000).cy, 600);

    const RECT picture{100, 50, 500, 350}; // 400 x 300: centre (300, 200), half diagonal 250
    struct Case {
        POINT to;
        POINT expected;
    };
    for (const Case c : {Case{{900, -400}, {310, 190}}, Case{{0, 900}, {290, 210}}, Case{{305, 196}, {305, 196}}}) {
        const POINT p = ClampMarkerCentre(c.to, picture);
        EXPECT_EQ(p.x, c.expected.x);
        EXPECT_EQ(p.y, c.expected.y);
    }
    EXPECT_EQ(ClampMarkerRadius(5, picture), 200);   // 0.8 of 250
    EXPECT_EQ(ClampMarkerRadius(230, picture), 230);
    EXPECT_EQ(ClampMarkerRadius(900, picture), 251); // one pixel beyond the half diagonal
}

TEST(DarkCornersRules, MarkerInImagePixels)
{
    // A 4000 x 3000 photo shown in 400 x 300: ten image pixels a panel pixel;
    // its half diagonal is 2500, so Range 20 is a ring of 500.
    const VignetteParams p = DarkCornersParams(POINT{300, 200}, 250, RECT{100, 50, 500, 350}, 4000, 3000, 20);
    EXPECT_EQ(p.centerX, 2000);
    EXPECT_EQ(p.centerY, 1500);
    EXPECT_EQ(p.outerRadius, 2500 + 500);
    EXPECT_EQ(p.ringRadius, 500);
    // A rectangle without size divides by one, not by zero.
    const VignetteParams empty = DarkCornersParams(POINT{10, 10}, 5, RECT{10, 10, 10, 10}, 400, 300, 10);
    EXPECT_EQ(empty.centerX, 0);
    EXPECT_EQ(empty.outerRadius, 400 * 5 + 25);
}

TEST(HighlightDiffuseRules, BlendOnFixturePixels)
{
    struct Case {
        CPixel source, glow;
        int opacity;
        CPixel expected;
    };
    // L(source) = (10 + 120 + 90) / 10 = 22, L(glow) = 200, o = 127:
    // e = 233 * (127 * 200 / 256) / 256 = 233 * 99 / 256 = 90.
    const Case cases[] = {
        {{10, 20, 30, 7}, {200, 200, 200, 255}, 50, {100, 110, 120, 7}},
        {{10, 20, 30, 7}, {200, 200, 200, 255}, 0, {10, 20, 30, 7}},
        // A bright source channel is held at 255: L = 175, o = 255, e = 80 * 254 / 256 = 79.
        {{250, 150, 200, 0}, {255, 255, 255, 255}, 100, {255, 229, 255, 0}},
        {{0, 0, 0, 255}, {0, 0, 0, 255}, 100, {0, 0, 0, 255}},
    };
    for (const Case& c : cases) {
        CQLImage source, glow, target;
        Fill(&source, 3, 2, [&](int, int) { return c.source; });
        Fill(&glow, 3, 2, [&](int, int) { return c.glow; });
        FilterHost host;
        host.SetImages(&source, &target);
        host.AddImage(&glow);
        int opacity = c.opacity;
        host.SetParam(&opacity);
        ASSERT_EQ(host.Apply(reinterpret_cast<const void*>(&HighlightDiffuseBlend)), 0);
        const CPixel got = target.GetPixel2(2, 1);
        EXPECT_EQ(got.b, c.expected.b);
        EXPECT_EQ(got.g, c.expected.g);
        EXPECT_EQ(got.r, c.expected.r);
        EXPECT_EQ(got.a, c.expected.a);
    }
}

TEST(HighlightDiffuseRules, EveryPixelFollowsTheFormula)
{
    // Widths that end with every remainder of the four-pixel steps.
    unsigned seed = 7;
    auto next = [&seed] { return static_cast<BYTE>((seed = seed * 1103515245u + 12345u) >> 16); };
    for (int width : {1, 3, 4, 5, 37}) {
        CQLImage source, glow, target;
        Fill(&source, width, 3, [&](int, int) { return CPixel{next(), next(), next(), next()}; });
        Fill(&glow, width, 3, [&](int, int) { return CPixel{next(), next(), next(), next()}; });
        for (int opacity : {0, 37, 50, 100}) {
            FilterHost host;
            host.SetImages(&source, &target);
            host.AddImage(&glow);
            host.SetParam(&opacity);
            ASSERT_EQ(host.Apply(reinterpret_cast<const void*>(&HighlightDiffuseBlend)), 0);
            for (int y = 0; y < 3; ++y)
                for (int x = 0; x < width; ++x) {
                    const CPixel s = source.GetPixel2(x, y), g = glow.GetPixel2(x, y), t = target.GetPixel2(x, y);
                    const int ls = (s.b + 6 * s.g + 3 * s.r) / 10, lg = (g.b + 6 * g.g + 3 * g.r) / 10;
                    const int e = (255 - ls) * (opacity * 255 / 100 * lg / 256) / 256;
                    ASSERT_EQ(t.b, std::min(255, s.b + e)) << width << " " << opacity << " " << x;
                    ASSERT_EQ(t.g, std::min(255, s.g + e));
                    ASSERT_EQ(t.r, std::min(255, s.r + e));
                    ASSERT_EQ(t.a, s.a);
                }
        }
    }
}

// Every vector path, and the stores past the cache of a large target, gives
// the formula's bytes on random pixels, odd widths and a partial last step.
TEST(HighlightDiffuseRules, EveryPathFollowsTheFormula)
{
    struct Size {
        int w, h;
    };
    const Size sizes[] = {{1, 1}, {7, 3}, {15, 2}, {16, 1}, {17, 5}, {33, 9}, {701, 400}, {4100, 4100}};
    std::mt19937 random(35);
    for (const Size& size : sizes) {
        CQLImage source, glow;
        for (CQLImage* image : {&source, &glow}) {
            ASSERT_EQ(image->Create(size.w, size.h), 0);
            BYTE* p = image->GetBuffer(0, 0);
            for (UINT i = 0; i < image->GetAreaByteSize(); ++i)
                p[i] = static_cast<BYTE>(random());
        }
        // White and black corners: the saturation and the zero gain.
        std::memset(source.GetBuffer(0, 0), 255, 4);
        std::memset(glow.GetBuffer(0, 0), 255, 4);
        std::memset(source.GetBuffer(size.w - 1, size.h - 1), 0, 4);
        const int opacity = 20 + size.w % 81;
        const int o = opacity * 255 / 100;
        std::vector<BYTE> want(source.GetAreaByteSize());
        const BYTE* s = source.GetBuffer(0, 0);
        const BYTE* g = glow.GetBuffer(0, 0);
        for (std::size_t i = 0; i < want.size(); i += 4) {
            const int ls = (s[i] + 6 * s[i + 1] + 3 * s[i + 2]) / 10, lg = (g[i] + 6 * g[i + 1] + 3 * g[i + 2]) / 10;
            const int e = (255 - ls) * (o * lg / 256) / 256;
            for (int c = 0; c < 3; ++c)
                want[i + c] = static_cast<BYTE>(std::min(255, s[i + c] + e));
            want[i + 3] = s[i + 3];
        }
        // The top level lets AVX-512 run where the processor has it.
        for (int level : {0, 1, 2, 3}) {
            const imagecore::ScopedSimdCeiling ceiling(static_cast<imagecore::SimdLevel>(level));
            CQLImage target;
            FilterHost host;
            host.SetImages(&source, &target);
            host.AddImage(&glow);
            int param = opacity;
            host.SetParam(&param);
            ASSERT_EQ(host.Apply(reinterpret_cast<const void*>(&HighlightDiffuseBlend)), 0);
            EXPECT_EQ(std::memcmp(target.GetBuffer(0, 0), want.data(), want.size()), 0)
                << size.w << " x " << size.h << " level " << level;
        }
    }
}

TEST(HighlightDiffuseRules, MismatchedGlowFails)
{
    CQLImage source, glow, target;
    Fill(&source, 4, 4, [](int, int) { return CPixel{1, 2, 3, 4}; });
    Fill(&glow, 3, 4, [](int, int) { return CPixel{1, 2, 3, 4}; });
    FilterHost host;
    host.SetImages(&source, &target);
    int opacity = 50;
    host.SetParam(&opacity);
    EXPECT_NE(host.Apply(reinterpret_cast<const void*>(&HighlightDiffuseBlend)), 0); // no glow
    host.AddImage(&glow);
    EXPECT_NE(host.Apply(reinterpret_cast<const void*>(&HighlightDiffuseBlend)), 0);
}

TEST(SharpenAndSkinCleanRules, Blocks)
{
    struct Case {
        bool autoMode;
        int radius, amount, threshold;
        UnsharpMaskParams expected;
    };
    for (const Case c : {Case{true, 32, 24, 0, {64, 50, 0}}, Case{true, 1, 100, 77, {64, 50, 0}},
                         Case{false, 32, 24, 0, {64, 48, 0}}, Case{false, 1, 100, 0, {2, 200, 0}},
                         Case{false, 127, 1, 255, {254, 2, 255}}}) {
        const UnsharpMaskParams p = SharpenParams(c.autoMode, c.radius, c.amount, c.threshold);
        EXPECT_EQ(p.radius, c.expected.radius);
        EXPECT_EQ(p.amount, c.expected.amount);
        EXPECT_EQ(p.threshold, c.expected.threshold);
    }
    struct Radius {
        int w, h, expected;
    };
    // The diagonal times 0.0125, held to 2..32.
    for (const Radius r : {Radius{640, 480, 10}, Radius{100, 100, 2}, Radius{4000, 3000, 32}, Radius{1600, 1200, 25}})
        EXPECT_EQ(SkinCleanStartRadius(r.w, r.h), r.expected) << r.w << " x " << r.h;

    const AdvancedSkinCleanParams p = SkinCleanParams(10, 5, 30, 8, 0, 1, 50);
    EXPECT_EQ(p.whitening, 10);
    EXPECT_EQ(p.brightness, 55);
    EXPECT_EQ(p.tint, 30);
    EXPECT_EQ(p.blurRadius, 8);
    EXPECT_EQ(p.useMaskedBlur, 1);
    EXPECT_EQ(p.grain, 1);
    EXPECT_EQ(p.smoothPercent, 50);
    EXPECT_EQ(SkinCleanParams(10, -50, 30, 8, 1, 0, 50).useMaskedBlur, 0);
    EXPECT_EQ(SkinCleanParams(10, -50, 30, 8, 1, 0, 50).brightness, 0);
}

TEST(GradientRules, BlockFromDefaults)
{
    const CPixel red{0, 0, 255, 255}, blue{255, 0, 0, 255};
    const GradientFilterParams bw = GradientParams(0, 30, red, blue, 40, 60, 50, 75);
    EXPECT_EQ(bw.tintMode, 0);
    EXPECT_EQ(bw.offset, -20);
    EXPECT_EQ(bw.colorStart.r, 0);
    EXPECT_EQ(bw.colorEnd.b, 255);
    EXPECT_EQ(bw.colorEnd.a, 255);
    EXPECT_EQ(bw.startPercent, 40);
    EXPECT_EQ(bw.endPercent, 60);
    EXPECT_EQ(bw.amount, 50);
    EXPECT_DOUBLE_EQ(bw.angle, 75 * 2 * M_PI / 100);
    const GradientFilterParams colourful = GradientParams(1, 30, red, blue, 40, 60, 50, 75);
    EXPECT_EQ(colourful.colorStart.r, 255);
    EXPECT_EQ(colourful.colorEnd.b, 255);
    // A chosen colour keeps its hue at brightness 128.
    const CPixel swatch = NormaliseSwatch(CPixel{0, 0, 255, 255});
    EXPECT_EQ(swatch.r, 128);
    EXPECT_EQ(swatch.g, 0);
}

TEST(GradientRules, MarkersStayApartInsideTheBand)
{
    for (int width : {200, 217, 243, 300}) {
        for (int x : {-50, 0, 60, 150, 1000}) {
            const int end = 60;
            const int start = DragStartMarker(x, end, width);
            EXPECT_GE(start, 0);
            // The start marker's right edge stays 17 pixels from the end marker's left edge.
            EXPECT_GE((BandX(end, width) - kMarkerWidth) - (BandX(start, width) + kMarkerWidth), kMarkerGap)
                << "start dragged to " << x << " on " << width;
            const int otherStart = 40;
            const int movedEnd = DragEndMarker(x, otherStart, width);
            EXPECT_LE(movedEnd, 100);
            EXPECT_GE((BandX(movedEnd, width) - kMarkerWidth) - (BandX(otherStart, width) + kMarkerWidth), kMarkerGap)
                << "end dragged to " << x << " on " << width;
        }
    }
    EXPECT_EQ(DragStartMarker(-30, 60, 300), 0);
    EXPECT_EQ(DragEndMarker(900, 40, 300), 100);
    EXPECT_EQ(DragStartMarker(30, 60, 300), 10);
}

TEST(GradientRules, BandColoursInBlackAndWhite)
{
    const CPixel black{0, 0, 0, 255}, white{255, 255, 255, 255};
    EXPECT_EQ(BandColour(0, 200, 40, 60, black, white).g, 0);
    EXPECT_EQ(BandColour(79, 200, 40, 60, black, white).g, 0);    // 39 %
    EXPECT_EQ(BandColour(100, 200, 40, 60, black, white).g, 127); // half way: (50 - 40) * 255 / 20
    EXPECT_EQ(BandColour(199, 200, 40, 60, black, white).g, 255);
    // Markers on one spot do not divide by zero.
    EXPECT_EQ(BandColour(100, 200, 50, 50, black, white).g, 0);
}

TEST(GradientRules, LensRing)
{
    GradientFilterAlgorithm filter;
    const GradientFilterParams p = GradientParams(0, 50, {}, {}, 40, 60, 50, 0);
    filter.SetParams(&p);
    CQLImage lens;
    DrawLens(filter, 100, 100, &lens); // R = 45 around (50, 50)
    struct Case {
        int x, y;
        int grey;
    };
    for (const Case c : {Case{0, 0, 128}, Case{10, 0, 240}, Case{96, 50, 0}, Case{97, 50, 127}, Case{99, 89, 240}}) {
        const CPixel px = lens.GetPixel2(c.x, c.y);
        EXPECT_EQ(px.g, c.grey) << c.x << "," << c.y;
        EXPECT_EQ(px.r, px.b);
    }
    // Inside, the filter's own colour for that point.
    const CPixel inside = lens.GetPixel2(50, 20);
    const CPixel expected = filter.FilterPixel(0, -30, 45, CPixel{128, 128, 128, 255});
    EXPECT_EQ(inside.g, expected.g);
}

TEST(LensBlurRules, ScaleAndRadius)
{
    struct Case {
        int r;
        double factor;
        int radius, width, height;
    };
    for (const Case c : {Case{6, 1.0, 6, 1200, 900}, Case{7, 7 / 6.0, 6, 1028, 771}, Case{12, 2.0, 6, 600, 450},
                         Case{128, 2.0, 64, 600, 450}, Case{1, 1.0, 1, 1200, 900}}) {
        const LensScale s = LensScaleFor(c.r, 1200, 900);
        EXPECT_DOUBLE_EQ(s.factor, c.factor) << c.r;
        EXPECT_EQ(s.radius, c.radius) << c.r;
        EXPECT_EQ(s.width, c.width) << c.r;
        EXPECT_EQ(s.height, c.height) << c.r;
    }
}

TEST(LensBlurRules, ApertureFromAChannel)
{
    // Red is set in the left half, green in the top half, blue nowhere.
    CQLImage shapes;
    Fill(&shapes, 128, 128, [](int x, int y) {
        return CPixel{0, static_cast<BYTE>(y < 64 ? 200 : 0), static_cast<BYTE>(x < 64 ? 200 : 0), 255};
    });
    std::vector<BYTE> aperture(128 * 128, 7);
    ASSERT_TRUE(BuildAperture(shapes, 0, 6, aperture.data()));
    // 12 x 12, rows 128 apart: column j samples x = j * 128 / 12 + 0.5.
    EXPECT_EQ(aperture[0], 1);
    EXPECT_EQ(aperture[5], 1);   // x = 53
    EXPECT_EQ(aperture[6], 0);   // x = 64
    EXPECT_EQ(aperture[11 * 128 + 5], 1);
    EXPECT_EQ(aperture[12], 0);  // beyond 2r
    EXPECT_EQ(aperture[12 * 128], 0);
    ASSERT_TRUE(BuildAperture(shapes, 1, 64, aperture.data()));
    EXPECT_EQ(aperture[63 * 128 + 127], 1);
    EXPECT_EQ(aperture[64 * 128], 0);
    ASSERT_TRUE(BuildAperture(shapes, 2, 3, aperture.data()));
    EXPECT_EQ(aperture[0], 0);
    EXPECT_FALSE(BuildAperture(shapes, 0, 65, aperture.data()));
    EXPECT_FALSE(BuildAperture(shapes, 0, 0, aperture.data()));
}

TEST(LensBlurRules, PipelineMatchesItsParts)
{
    CQLImage photo, result;
    Fill(&photo, 240, 180, [](int x, int y) {
        return CPixel{static_cast<BYTE>(x), static_cast<BYTE>(y), static_cast<BYTE>((x * y) & 255), 255};
    });
    CQLImage shapes;
    Fill(&shapes, 128, 128, [](int, int) { return CPixel{255, 255, 255, 255}; });
    LensBlurPipeline pipeline;
    pipeline.SetShape(&shapes, 1);
    pipeline.SetImages(&photo, &result);
    LoseFocusParams block{};
    block.radius = 12;
    block.highlights = 1;
    ASSERT_EQ(pipeline.Apply(&block), 0);
    UINT w = 0, h = 0;
    result.GetSize(&w, &h);
    EXPECT_EQ(w, 240u);
    EXPECT_EQ(h, 180u);
    // Without a shape picture there is nothing to blur with.
    LensBlurPipeline none;
    none.SetImages(&photo, &result);
    EXPECT_NE(none.Apply(&block), 0);
}

TEST(StarRules, ChannelByBeamsAndTheDisc)
{
    CQLImage picture;
    Fill(&picture, 128, 128, [](int, int) { return CPixel{50, 100, 200, 255}; });
    struct Case {
        int shape;
        int value;
    };
    for (const Case c : {Case{0, 200}, Case{1, 100}, Case{2, 50}}) {
        CQLImage star;
        ASSERT_TRUE(BuildStar(picture, 16, 0, c.shape, &star));
        UINT w = 0, h = 0;
        star.GetSize(&w, &h);
        EXPECT_EQ(w, 32u);
        EXPECT_EQ(h, 32u);
        const CPixel centre = star.GetPixel2(16, 16), inside = star.GetPixel2(24, 16);
        EXPECT_EQ(centre.r, c.value);
        EXPECT_EQ(centre.g, c.value);
        EXPECT_EQ(centre.b, c.value);
        EXPECT_EQ(inside.r, c.value);
        for (const POINT corner : {POINT{0, 0}, POINT{31, 0}, POINT{0, 31}, POINT{31, 31}, POINT{3, 5}})
            EXPECT_EQ(star.GetPixel2(corner.x, corner.y).r, 0) << corner.x << "," << corner.y;
    }
    // "Colorful": hue by the distance from the centre, two thirds of the brightness.
    CQLImage star;
    ASSERT_TRUE(BuildStar(picture, 16, 0, 1, &star)); // 100 inside
    ColourStar(&star);
    const CPixel centre = star.GetPixel2(16, 16), half = star.GetPixel2(24, 16), corner = star.GetPixel2(0, 0);
    EXPECT_EQ(centre.r, 66); // hue 0: red at brightness 66
    EXPECT_EQ(centre.g, 0);
    EXPECT_EQ(half.r, 0);    // hue 127: cyan, within the codec's rounding
    EXPECT_NEAR(half.g, 66, 2);
    EXPECT_NEAR(half.b, 66, 2);
    EXPECT_EQ(corner.r + corner.g + corner.b, 0);
    // Turned, the middle of the picture is still there.
    CQLImage turned;
    ASSERT_TRUE(BuildStar(picture, 16, 25, 0, &turned));
    EXPECT_EQ(turned.GetPixel2(16, 16).r, 200);
    EXPECT_FALSE(BuildStar(CQLImage(), 16, 0, 0, &turned));
}

TEST(StarRules, NightShotTestCountsEveryPixel)
{
    // Rows whose widths leave every remainder of the eight-pixel steps, with
    // the single brightest pixel in the tail.
    for (int width : {1, 7, 8, 9, 23}) {
        CQLImage image;
        Fill(&image, width, 40, [&](int x, int y) {
            const BYTE v = static_cast<BYTE>(x == width - 1 && y == 39 ? 252 : (x + y) % 3 == 0 ? 245 : (x * 37 + y * 11) % 90);
            return CPixel{v, v, v, 255};
        });
        long long bright = 0, dark = 0;
        int top = 0;
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < width; ++x) {
                const CPixel p = image.GetPixel2(x, y);
                const int l = (6 * p.g + 3 * p.r + p.b) / 10;
                bright += l > 240;
                dark += l < 100;
                top = std::max(top, l);
            }
        const NightTest t = NightShotTest(image);
        const long long total = static_cast<long long>(width) * 40;
        EXPECT_EQ(t.highest, top) << width;
        EXPECT_EQ(t.bright, bright) << width;
        EXPECT_EQ(t.dark, dark) << width;
        EXPECT_EQ(t.nightShot, dark * 10 >= total * 3 && bright * 10 <= total && bright >= 10) << width;
    }
}

TEST(StarRules, NightShotTest)
{
    struct Case {
        const char* name;
        int dark, bright, mid; // pixel counts
        int brightLevel;
        bool night;
        int range;
    };
    const Case cases[] = {
        {"dark with a few lights", 900, 50, 50, 250, true, 239},
        {"lights at 241 give the floor", 900, 50, 50, 241, true, 230},
        {"daylight", 0, 0, 1000, 250, false, 230},
        {"too many lights", 600, 150, 250, 255, false, 244},
        {"nine lights are too few", 900, 9, 91, 255, false, 244},
        {"too little dark", 250, 50, 700, 255, false, 244},
    };
    for (const Case& c : cases) {
        CQLImage image;
        const int total = c.dark + c.bright + c.mid;
        Fill(&image, total, 1, [&](int x, int) {
            const BYTE v = static_cast<BYTE>(x < c.dark ? 20 : x < c.dark + c.bright ? c.brightLevel : 150);
            return CPixel{v, v, v, 255};
        });
        const NightTest t = NightShotTest(image);
        EXPECT_EQ(t.nightShot, c.night) << c.name;
        EXPECT_EQ(t.range, c.range) << c.name;
    }
}

TEST(LogoRules, ClicksBoxAndSpins)
{
    const RECT panel{10, 20, 210, 140};
    const RECT photo = LogoPhotoRect(panel); // 40, 50 .. 180, 110: 140 x 60
    EXPECT_EQ(photo.left, 40);
    EXPECT_EQ(photo.bottom, 110);
    struct Click {
        POINT at;
        int x, y;
    };
    for (const Click c : {Click{{40, 50}, 0, 0}, Click{{110, 80}, 50, 50}, Click{{20, 30}, -14, -33},
                          Click{{180, 110}, 100, 100}}) {
        const POINT p = LogoClickPercent(c.at, photo);
        EXPECT_EQ(p.x, c.x) << c.at.x << "," << c.at.y;
        EXPECT_EQ(p.y, c.y) << c.at.x << "," << c.at.y;
    }
    // A square sized from the photo's height.
    const RECT box = LogoBox(photo, 50, 50, 10);
    EXPECT_EQ(box.left, 110);
    EXPECT_EQ(box.top, 80);
    EXPECT_EQ(box.right - box.left, 6);
    EXPECT_EQ(box.bottom - box.top, 6);
    struct Spin {
        int value, delta, lo, hi, expected;
    };
    for (const Spin s : {Spin{39, -1, 1, 40, 40}, Spin{40, -1, 1, 40, 40}, Spin{100, -1, 1, 40, 40}, Spin{1, 1, 1, 40, 1},
                         Spin{200, -1, -100, 200, 200}, Spin{-100, 1, -100, 200, -100}, Spin{5, 1, -100, 200, 4}})
        EXPECT_EQ(SpinValue(s.value, s.delta, s.lo, s.hi), s.expected);
}

} // namespace
