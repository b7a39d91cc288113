#include "algorithms/DynamicRangeAlgorithm.h"
#include "algorithms/FilmAspectAdjustAlgorithm.h"
#include "algorithms/SmoothAlgorithm.h"
#include "algorithms/tests/EffectTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

using effecttest::Bytes;

FilmAspectParams Zero()
{
    return FilmAspectParams{0, 0, 0, 0, 0, 0, 0};
}

class FilmAspect : public ::testing::Test {
protected:
    void SetUp() override { effecttest::MakePattern(source, 23, 17); }

    HRESULT Run(const FilmAspectParams& p, CQLImage* from = nullptr, CQLImage* to = nullptr)
    {
        fx.SetImages(from ? from : &source, to ? to : &target);
        return fx.Apply(&p);
    }

    CQLImage source, target;
    FilmAspectAdjustAlgorithm fx;
};

TEST_F(FilmAspect, LevelTablesRoundTrip)
{
    ASSERT_EQ(Run(Zero()), 0);
    const int* twelve = fx.ToTwelveBit();
    const BYTE* eight = fx.ToEightBit();
    EXPECT_EQ(twelve[0], 0);
    EXPECT_EQ(twelve[255], 4080);
    // 33 x 0.0039215686... x 255 falls just below 33.
    EXPECT_EQ(twelve[33], 527);
    EXPECT_EQ(twelve[32], 512);
    for (int v = 0; v < 256; ++v) {
        EXPECT_TRUE(twelve[v] == 16 * v || twelve[v] == 16 * v - 1) << v;
        EXPECT_EQ(eight[twelve[v]], v) << v;
    }
    EXPECT_EQ(eight[526], 32);
    EXPECT_EQ(eight[4095], 255);
}

TEST_F(FilmAspect, NeutralValuesRunOnlyTheColourPass)
{
    // (B 10, G 100, R 200): r 3200, g 1600, b 160; Y 1913, Cb -992, Cr 917;
    // back r' 3198, g' 1599, b' 155; down to 199, 99, 9.
    source.Create(3, 1);
    source.PutPixel(0, 0, {10, 100, 200, 77});
    source.PutPixel(1, 0, {255, 255, 255, 0});
    source.PutPixel(2, 0, {0, 0, 0, 255});
    ASSERT_EQ(Run(Zero()), 0);
    const BYTE* p = target.GetBuffer(0, 0);
    EXPECT_EQ(std::vector<BYTE>(p, p + 12), (std::vector<BYTE>{9, 99, 199, 77, 255, 255, 255, 0, 0, 0, 0, 255}));

    effecttest::MakePattern(source, 23, 17);
    ASSERT_EQ(Run(Zero()), 0);
    const std::vector<BYTE> a = Bytes(source), b = Bytes(target);
    for (std::size_t i = 0; i < a.size(); ++i)
        ASSERT_LE(std::abs(a[i] - b[i]), 1) << i;
}

TEST_F(FilmAspect, SaturationMinus50GivesGrey)
{
    FilmAspectParams p = Zero();
    p.saturation = -50;
    ASSERT_EQ(Run(p), 0);
    for (int y = 0; y < 17; ++y)
        for (int x = 0; x < 23; ++x) {
            const BYTE* q = target.GetBuffer(x, y);
            ASSERT_TRUE(q[0] == q[1] && q[1] == q[2]) << x << "," << y;
        }
}

TEST_F(FilmAspect, CurveTables)
{
    const int* rgb = nullptr;
    FilmAspectParams p = Zero();

    // Below m = 283 the warmth rounds to nothing.
    p.colorTemperature = 200;
    ASSERT_EQ(Run(p), 0);
    const std::vector<BYTE> neutral = [&] {
        CQLImage t;
        FilmAspectAdjustAlgorithm plain;
        plain.SetImages(&source, &t);
        const FilmAspectParams z = Zero();
        plain.Apply(&z);
        return Bytes(t);
    }();
    EXPECT_EQ(Bytes(target), neutral);

    // 800: s = 8 / 256; at x = 0.5 red goes to 0.5 - s, blue to 0.5 + s.
    p.colorTemperature = 800;
    ASSERT_EQ(Run(p), 0);
    rgb = fx.RgbCurves();
    EXPECT_EQ(rgb[3 * 2048], 1920);
    EXPECT_EQ(rgb[3 * 2048 + 1], 2048);
    EXPECT_EQ(rgb[3 * 2048 + 2], 2176);
    p.colorTemperature = -800;
    ASSERT_EQ(Run(p), 0);
    EXPECT_EQ(fx.RgbCurves()[3 * 2048], 2176);

    // Exposure -10: h = 1/2; below 2048 the level halves, at 3072 e = 1/2:
    // 4096 (0.5 x 0.75 + 0.5 x 0.75 x 0.5) = 2304.
    p = Zero();
    p.exposure = -10;
    ASSERT_EQ(Run(p), 0);
    rgb = fx.RgbCurves();
    EXPECT_EQ(rgb[3 * 1001], 500);
    EXPECT_EQ(rgb[3 * 3072 + 1], 2304);
    EXPECT_EQ(rgb[3 * 4095 + 2], 4094);

    // Latitude -70: a = -1/4 with a period of 6.283 over 4096 levels.
    p = Zero();
    p.latitude = -70;
    ASSERT_EQ(Run(p), 0);
    rgb = fx.RgbCurves();
    EXPECT_EQ(rgb[3 * 1024], 0);
    EXPECT_EQ(rgb[3 * 2048], 2047);
    EXPECT_EQ(rgb[3 * 3072], 4095);

    // Saturation -25: C(k) = 2048 + 25 (k - 2048) / 50; luma untouched.
    p = Zero();
    p.saturation = -25;
    ASSERT_EQ(Run(p), 0);
    const int* yc = fx.LumaChromaCurves();
    EXPECT_EQ(yc[3 * 1001], 1001);
    EXPECT_EQ(yc[3 * 1001 + 1], 2048 - 523);
    EXPECT_EQ(yc[3 * 3001 + 2], 2048 + 476);
}

TEST_F(FilmAspect, ExposureLiftAndShadowLiftFeedTheColourPass)
{
    // Exposure 13: g = 1/2, so 64 becomes trunc(sqrt(1/4) 256) = 128.
    CQLImage grey64, grey128, expected;
    effecttest::MakeFlat(grey64, 4, 3, 64);
    effecttest::MakeFlat(grey128, 4, 3, 128);
    FilmAspectParams p = Zero();
    ASSERT_EQ(Run(p, &grey128, &expected), 0);
    p.exposure = 13;
    ASSERT_EQ(Run(p, &grey64), 0);
    EXPECT_EQ(Bytes(target), Bytes(expected));

    // Latitude 20: the shadow lift with amount 40, then the colour pass.
    CQLImage copy, lifted;
    copy.DuplicateFrom(&source);
    DynamicRangeParams lift;
    lift.shadowAmount = 40;
    lift.autoLevels = 0;
    DynamicRangeAlgorithm range;
    range.SetImages(&copy, &lifted);
    ASSERT_EQ(range.Apply(&lift), 0);
    ASSERT_EQ(Run(Zero(), &lifted, &expected), 0);
    p = Zero();
    p.latitude = 20;
    copy.DuplicateFrom(&source);
    ASSERT_EQ(Run(p, &copy), 0);
    EXPECT_EQ(Bytes(target), Bytes(expected));
}

TEST_F(FilmAspect, SharpnessAgainstTheRadiusOneSmoothing)
{
    CQLImage plain, smoothed;
    ASSERT_EQ(Run(Zero(), &source, &plain), 0);
    SmoothAlgorithm smooth;
    smooth.SetImages(&plain, &smoothed);
    const SmoothParams one{1};
    ASSERT_EQ(smooth.Apply(&one), 0);

    FilmAspectParams p = Zero();
    p.sharpness = -30; // v + (v - s) (-30) / 30 = s
    ASSERT_EQ(Run(p), 0);
    p.sharpness = 45; // v + (v - s) 45 / 30, truncated, clamped
    CQLImage sharp;
    ASSERT_EQ(Run(p, &source, &sharp), 0);
    for (int y = 0; y < 17; ++y)
        for (int x = 0; x < 23; ++x)
            for (int c = 0; c < 4; ++c) {
                const int v = plain.GetBuffer(x, y)[c], s = smoothed.GetBuffer(x, y)[c];
                ASSERT_EQ(target.GetBuffer(x, y)[c], c == 3 ? v : s);
                ASSERT_EQ(sharp.GetBuffer(x, y)[c], c == 3 ? v : std::clamp(v + (v - s) * 45 / 30, 0, 255));
            }
}

// Blocks from theme files may hold any values.
TEST_F(FilmAspect, ValuesBeyondTheDialogRanges)
{
    FilmAspectParams p = Zero();
    p.saturation = -200; // C(k) = 2048 - 3 (k - 2048), kept beyond 12 bits
    p.latitude = -2000000000;
    ASSERT_EQ(Run(p), 0);
    EXPECT_EQ(fx.LumaChromaCurves()[1], 8192);
    EXPECT_EQ(fx.LumaChromaCurves()[3 * 4095 + 2], 2048 - 3 * 2047);
    for (int k = 0; k < 3 * 4096; ++k)
        ASSERT_TRUE(fx.RgbCurves()[k] >= 0 && fx.RgbCurves()[k] <= 4095);

    const FilmAspectParams wild{2000000000, 2000000000, -2147483647 - 1, 2000000000, -2147483647 - 1, 0, 2000000000};
    EXPECT_EQ(Run(wild), 0);
}

// The generator keeps the C library's sample sequence: seed 1 draws 16838,
// 5758, 10113, 17515.
TEST(FilmGrainRandom, SeedAndDrawContract)
{
    GrainRandom r;
    EXPECT_EQ(r.Next(), 16838);
    EXPECT_EQ(r.Next(), 5758);
    EXPECT_EQ(r.Next(), 10113);
    GrainRandom s(1);
    s.Skip(3);
    EXPECT_EQ(s.Next(), 17515);
}

// The noise plane, drawn in one pass as the definition reads.
std::vector<BYTE> SerialNoise(long long count, int grain)
{
    std::vector<BYTE> out(count);
    GrainRandom r;
    const long long range = std::llabs(8LL * grain);
    for (long long i = 0; i < count; ++i) {
        const int a = static_cast<int>(std::sqrt(static_cast<double>(r.Next() % range)));
        if (i % 1000 == 0)
            r.Seed(static_cast<std::uint32_t>(i / 1000));
        out[i] = static_cast<BYTE>(std::clamp((r.Next() & 1) ? 128 - a : 128 + a, 0, 255));
    }
    return out;
}

TEST(FilmGrain, NoiseSplitOverCoresMatchesOnePass)
{
    for (const int grain : {1, 100, -7, 5000}) {
        SCOPED_TRACE(grain);
        const long long count = 1'234'567;
        std::vector<BYTE> noise(count);
        FilmAspectAdjustAlgorithm::GrainNoise(noise.data(), count, grain);
        EXPECT_EQ(noise, SerialNoise(count, grain));
    }
    // Grain 100 draws m below 800, so the noise stays within 128 +- 28.
    std::vector<BYTE> noise(5000);
    FilmAspectAdjustAlgorithm::GrainNoise(noise.data(), 5000, 100);
    for (BYTE n : noise)
        ASSERT_TRUE(n >= 100 && n <= 156);
}

TEST_F(FilmAspect, GrainOnInnerPixelsIsRepeatable)
{
    FilmAspectParams p = Zero();
    CQLImage plain;
    ASSERT_EQ(Run(p, &source, &plain), 0);
    p.grain = 60;
    ASSERT_EQ(Run(p), 0);
    CQLImage again;
    ASSERT_EQ(Run(p, &source, &again), 0);
    EXPECT_EQ(Bytes(target), Bytes(again)); // top-left corner too

    std::vector<BYTE> noise(23 * 17);
    FilmAspectAdjustAlgorithm::GrainNoise(noise.data(), 23 * 17, 60);
    auto n = [&](int x, int y) { return static_cast<int>(noise[y * 23 + x]); };
    for (int y = 0; y < 17; ++y)
        for (int x = 0; x < 23; ++x) {
            const BYTE* q = plain.GetBuffer(x, y);
            int d = 0;
            if (x > 0 && y > 0 && x < 22 && y < 16) {
                int sum = 0;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx)
                        sum += (dx || dy) ? n(x + dx, y + dy) : 12 * n(x, y);
                const int luma = (3 * q[2] + 6 * q[1] + q[0]) / 10;
                d = (sum / 20 - 128) * (255 - luma / 2) / 255;
            }
            for (int c = 0; c < 3; ++c)
                ASSERT_EQ(target.GetBuffer(x, y)[c], std::clamp(q[c] + d, 0, 255)) << x << "," << y;
            ASSERT_EQ(target.GetBuffer(x, y)[3], q[3]);
        }

    // Two pixels wide: no inner pixels, no grain.
    CQLImage narrow, narrowPlain;
    effecttest::MakePattern(narrow, 2, 9);
    ASSERT_EQ(Run(p, &narrow), 0);
    ASSERT_EQ(Run(Zero(), &narrow, &narrowPlain), 0);
    EXPECT_EQ(Bytes(target), Bytes(narrowPlain));
}

} // namespace
