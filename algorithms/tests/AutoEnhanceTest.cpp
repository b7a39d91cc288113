#include "algorithms/AutoEnhanceAlgorithm.h"
#include "algorithms/AutoGammaAlgorithm.h"
#include "algorithms/DefogAlgorithm.h"
#include "algorithms/DynamicRangeAlgorithm.h"
#include "algorithms/SkinMaskAlgorithm.h"
#include "algorithms/UnsharpMaskAlgorithm.h"
#include "algorithms/tests/EffectTestSupport.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using effecttest::Bytes;

CPixel Grey(int v)
{
    return {static_cast<BYTE>(v), static_cast<BYTE>(v), static_cast<BYTE>(v), 255};
}

struct Level {
    int count;
    int grey;
};

// A 40 x 25 grey photo (1000 pixels): runs of levels in reading order.
void MakeLevels(CQLImage& image, const std::vector<Level>& levels)
{
    image.Create(40, 25);
    int i = 0;
    for (const Level& l : levels)
        for (int k = 0; k < l.count; ++k, ++i)
            image.PutPixel(i % 40, i / 40, Grey(l.grey));
}

class AutoEnhanceTest : public ::testing::Test {
protected:
    HRESULT Run(INT mode)
    {
        fx.SetImages(&source, &target);
        fx.SetRange(0, 100);
        return fx.Apply(&mode);
    }

    // The expected greys, run by run, in reading order.
    void ExpectLevels(const std::vector<Level>& levels)
    {
        int i = 0;
        for (const Level& l : levels)
            for (int k = 0; k < l.count; ++k, ++i) {
                const CPixel p = target.GetPixel2(i % 40, i / 40);
                ASSERT_EQ(p.b, l.grey) << "pixel " << i;
                ASSERT_EQ(p.g, l.grey) << "pixel " << i;
                ASSERT_EQ(p.r, l.grey) << "pixel " << i;
            }
    }

    // What a nested effect makes of `from`.
    static std::vector<BYTE> Nested(EffectAlgorithm& nested, const CQLImage& from, const void* params)
    {
        CQLImage in, out;
        in.DuplicateFrom(&from);
        nested.SetImages(&in, &out);
        EXPECT_EQ(nested.Apply(params), 0);
        return Bytes(out);
    }

    CQLImage source, target;
    AutoEnhanceAlgorithm fx;
};

TEST_F(AutoEnhanceTest, ToneSharesAreOfTheTarget)
{
    MakeLevels(source, {{100, 10}, {300, 70}, {600, 245}});
    target.DuplicateFrom(&source);
    fx.SetImages(&source, &target);
    fx.MeasureTone();
    EXPECT_DOUBLE_EQ(fx.GetBin(AutoEnhanceAlgorithm::Grey, 70), 0.3);
    EXPECT_DOUBLE_EQ(fx.GetShare(AutoEnhanceAlgorithm::Grey, 0), 0.1);
    EXPECT_DOUBLE_EQ(fx.GetShare(AutoEnhanceAlgorithm::Red, 2), 0.3);
    EXPECT_DOUBLE_EQ(fx.GetShare(AutoEnhanceAlgorithm::Blue, 6), 0.6);
    EXPECT_DOUBLE_EQ(fx.GetShare(AutoEnhanceAlgorithm::Green, 3), 0.0);
}

// Automatic levels between the 0.1 % points (one pixel in 1000).
struct LevelsCase {
    const char* name;
    std::vector<Level> in;
    std::vector<Level> out;
};

void PrintTo(const LevelsCase& c, std::ostream* os)
{
    *os << c.name;
}

class AutoEnhanceLevels : public AutoEnhanceTest, public ::testing::WithParamInterface<LevelsCase> {};

TEST_P(AutoEnhanceLevels, StretchOnTheTarget)
{
    MakeLevels(source, GetParam().in);
    target.DuplicateFrom(&source);
    fx.SetImages(&source, &target);
    fx.MeasureTone();
    fx.AutoLevels();
    ExpectLevels(GetParam().out);
}

INSTANTIATE_TEST_SUITE_P(
    AutoEnhance, AutoEnhanceLevels,
    ::testing::Values(
        // min 50, max 200: (v - 50) 256 / 150
        LevelsCase{"BetweenTheExtremes", {{400, 50}, {200, 100}, {400, 200}}, {{400, 0}, {200, 85}, {400, 255}}},
        // 15 % clipped at 255 above an empty 240: high2 steps down to the
        // isolated 200, so max 200: (v - 100) 256 / 100
        LevelsCase{"ClippedHighlightsLowerTheTop", {{845, 100}, {5, 200}, {150, 255}},
                   {{845, 0}, {5, 255}, {150, 255}}},
        // ... unless a level at or above 224 stops it: max stays 255,
        // (v - 100) 256 / 155
        LevelsCase{"HighlightsAbove224KeepTheTop", {{825, 100}, {25, 230}, {150, 255}},
                   {{825, 0}, {25, 214}, {150, 255}}},
        // one level: unchanged, at 128 (low = high) and at 50 (low 50, high
        // at its bound 128)
        LevelsCase{"OneLevelAt128StaysUnchanged", {{1000, 128}}, {{1000, 128}}},
        LevelsCase{"OneLevelAt50StaysUnchanged", {{1000, 50}}, {{1000, 50}}}),
    [](const ::testing::TestParamInfo<LevelsCase>& info) { return std::string(info.param.name); });

TEST_F(AutoEnhanceTest, LargePhotoIsMeasuredAndStretchedOverCores)
{
    // 25 %, 25 %, 50 % of 1000 x 400 in rows: min 30, max 220, as below.
    source.Create(1000, 400);
    for (int y = 0; y < 400; ++y)
        for (int x = 0; x < 1000; ++x)
            source.PutPixel(x, y, Grey(y < 100 ? 30 : (y < 200 ? 100 : 220)));
    target.DuplicateFrom(&source);
    fx.SetImages(&source, &target);
    fx.MeasureTone();
    EXPECT_DOUBLE_EQ(fx.GetBin(AutoEnhanceAlgorithm::Green, 100), 0.25);
    fx.AutoLevels();
    for (int y : {0, 99, 100, 199, 200, 399})
        for (int x : {0, 999})
            EXPECT_EQ(target.GetPixel2(x, y).r, y < 100 ? 0 : (y < 200 ? 94 : 255)) << x << "," << y;
}

TEST_F(AutoEnhanceTest, BalancedPhotoIsOnlyLevelStretched)
{
    // After the stretch (v - 30) 256 / 190: dark 10 % and mid 30 %, so both
    // amounts are 0 and no other effect runs.
    MakeLevels(source, {{100, 30}, {300, 100}, {600, 220}});
    ASSERT_EQ(Run(0), 0);
    ExpectLevels({{100, 0}, {300, 94}, {600, 255}});
}

TEST_F(AutoEnhanceTest, DarkPhotoGetsDynamicRangeWithTheShadowAmount)
{
    // Levels span 0..255 already (the stretch is the identity). Dark 54.3 %:
    // a = trunc(0.393 x 150) = 58; mid 44.7 %: b = trunc(0.047 x 120) = 5 < a.
    MakeLevels(source, {{10, 0}, {533, 30}, {447, 150}, {10, 255}});
    ASSERT_EQ(Run(0), 0);
    DynamicRangeAlgorithm dynamic;
    DynamicRangeParams p;
    p.shadowAmount = 58;
    EXPECT_EQ(Bytes(target), Nested(dynamic, source, &p));
}

TEST_F(AutoEnhanceTest, MidTonePhotoGetsDefogWithTheMidAmount)
{
    // Mid 98 %: b = trunc(0.58 x 120) = 69 > a = 0.
    MakeLevels(source, {{10, 0}, {980, 100}, {10, 255}});
    ASSERT_EQ(Run(0), 0);
    DefogAlgorithm defog;
    DefogParams p{69};
    EXPECT_EQ(Bytes(target), Nested(defog, source, &p));
}

TEST_F(AutoEnhanceTest, PortraitModeBrightensTheSkinMaskedArea)
{
    // No shadows (a = 0): the skin mask, then the gamma measured through it.
    MakeLevels(source, {{10, 0}, {490, 100}, {490, 180}, {10, 255}}); // identity stretch
    for (int y = 5; y < 20; ++y) // a skin-coloured patch
        for (int x = 5; x < 35; ++x)
            source.PutPixel(x, y, {120, 150, 210, 255});
    ASSERT_EQ(Run(1), 0);
    CQLImage masked;
    masked.DuplicateFrom(&source);
    SkinMaskAlgorithm skin;
    skin.SetImages(&masked, &masked);
    ASSERT_EQ(skin.Apply(nullptr), 0);
    AutoGammaAlgorithm gamma;
    gamma.AddImage(&masked);
    EXPECT_EQ(Bytes(target), Nested(gamma, masked, nullptr));
}

TEST_F(AutoEnhanceTest, StrongModeStretchesBetweenThe0_2PercentPoints)
{
    // One pixel at 0 and at 255 do not count: lo 40, hi 200, (v - 40) 256 / 160.
    // After it dark 20.3 %, mid 0.1 %, bright 79.6 %: 80 (0.203 - 0.002 - 0.2)
    // truncates to 0 both ways, so neither dynamic range nor sharpening runs.
    MakeLevels(source, {{1, 0}, {202, 40}, {1, 128}, {795, 200}, {1, 255}});
    ASSERT_EQ(Run(2), 0);
    ExpectLevels({{1, 0}, {202, 0}, {1, 140}, {795, 255}, {1, 255}});
}

TEST_F(AutoEnhanceTest, StrongModeOnAFullRangePhotoSharpensByTheMidShare)
{
    // 5 pixels at each end: the stretch is the identity. Mid 99 %:
    // g = min(trunc(-80 (0.005 - 1.98 - 0.2)), 60) = 60; radius
    // trunc(sqrt(40^2 + 25^2) / 32) = 1.
    source.Create(40, 25);
    for (int y = 0; y < 25; ++y)
        for (int x = 0; x < 40; ++x)
            source.PutPixel(x, y, Grey(64 + ((x * 37 + y * 11) & 127)));
    for (int x = 0; x < 5; ++x) {
        source.PutPixel(x, 0, Grey(0));
        source.PutPixel(x, 24, Grey(255));
    }
    ASSERT_EQ(Run(2), 0);
    UnsharpMaskAlgorithm sharpen;
    UnsharpMaskParams p{1, 60, 0};
    EXPECT_EQ(Bytes(target), Nested(sharpen, source, &p));
}

TEST_F(AutoEnhanceTest, StrongModeLeavesAUniformPhotoUnchanged)
{
    // lo = hi: no stretch; the sharpening of a flat photo changes nothing.
    effecttest::MakeFlat(source, 40, 25, 90, 255);
    ASSERT_EQ(Run(2), 0);
    ExpectLevels({{1000, 90}});
}

TEST_F(AutoEnhanceTest, UnknownModeFailsBeforeTouchingTheTarget)
{
    MakeLevels(source, {{1000, 90}});
    effecttest::MakeFlat(target, 3, 3, 7);
    const std::vector<BYTE> before = Bytes(target);
    for (INT mode : {-1, 3}) {
        EXPECT_EQ(Run(mode), E_FAIL);
        EXPECT_EQ(Bytes(target), before);
    }
    fx.SetImages(&source, &target);
    EXPECT_EQ(fx.Apply(nullptr), E_FAIL);
    EXPECT_EQ(Bytes(target), before);
}

} // namespace
