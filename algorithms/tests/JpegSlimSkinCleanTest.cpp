// Advanced skin clean: the power table, the per-pixel tone steps under a
// ready mask, the clamped smoothing weight and the grain.
#include "algorithms/AdvancedSkinCleanAlgorithm.h"
#include "algorithms/tests/EffectTestSupport.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using effecttest::Bytes;
using effecttest::MakeFlat;

AdvancedSkinCleanParams Neutral()
{
    // Masked blur of radius 1, no grain, no smoothing weight, mask given.
    return AdvancedSkinCleanParams{0, 50, 0, 1, 1, 0, 0, 1};
}

class SkinClean : public ::testing::Test {
protected:
    HRESULT Run(const AdvancedSkinCleanParams& p)
    {
        fx.SetImages(&source, &target);
        return fx.Apply(&p);
    }
    CQLImage source, target;
    AdvancedSkinCleanAlgorithm fx;
};

} // namespace

TEST(SkinCleanPowerTable, HandValues)
{
    BYTE t[256];
    // a = 0: exponent 1, the identity.
    AdvancedSkinCleanAlgorithm::PowerTable(0, t);
    for (int i = 0; i < 256; ++i)
        ASSERT_EQ(t[i], i);
    // a = 10: exponent 1 / 1.2. 0.25^(5/6) x 256 = 80.6, 0.5^(5/6) x 256 = 143.7,
    // (255/256)^(5/6) x 256 = 255.2.
    AdvancedSkinCleanAlgorithm::PowerTable(10, t);
    EXPECT_EQ(t[0], 0);
    EXPECT_EQ(t[64], 80);
    EXPECT_EQ(t[128], 143);
    EXPECT_EQ(t[255], 255);
    // a = -25: exponent 1.5. 0.5^1.5 x 256 = 90.5, 0.25^1.5 x 256 = 32.
    AdvancedSkinCleanAlgorithm::PowerTable(-25, t);
    EXPECT_EQ(t[128], 90);
    EXPECT_EQ(t[64], 32);
}

TEST_F(SkinClean, ZeroMaskLeavesOnlyTheBrightness)
{
    effecttest::MakePattern(source, 24, 20);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 24; ++x)
            source.GetBuffer(x, y)[3] = 0;
    AdvancedSkinCleanParams p = Neutral();
    p.brightness = 60; // P(10)
    p.whitening = 80;
    p.tint = 40;
    p.smoothPercent = 100;
    p.grain = 1;
    p.useMaskedBlur = 0;
    ASSERT_EQ(Run(p), 0);
    BYTE t[256];
    AdvancedSkinCleanAlgorithm::PowerTable(10, t);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 24; ++x)
            for (int c = 0; c < 3; ++c)
                ASSERT_EQ(target.GetBuffer(x, y)[c], t[source.GetBuffer(x, y)[c]]) << x << "," << y << " " << c;
}

TEST_F(SkinClean, WhiteningAndTintUnderAFullMaskByHand)
{
    // Flat grey under alpha 255: whitening 40 -> P(10)(128) = 143. Tint 40 ->
    // s = 10: L(100) = 100 - 10 x 155 / 255 = 94 for bytes 2 and 1,
    // U(100) = 100 + 10 x 100 / 255 = 103 for byte 0. Away from the border
    // (where the softened mask falls off) the mask m is flat, and the
    // smoothing and local contrast leave the flat picture alone; m is the
    // target's alpha, which the noise-reduction mode keeps.
    auto inner = [](int x, int y) { return x >= 12 && y >= 12 && x < 36 && y < 28; };
    MakeFlat(source, 48, 40, 128, 255);
    AdvancedSkinCleanParams p = Neutral();
    p.useMaskedBlur = 0;
    p.whitening = 40;
    ASSERT_EQ(Run(p), 0);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 48; ++x)
            for (int c = 0; c < 3 && inner(x, y); ++c) {
                ASSERT_GT(target.GetBuffer(x, y)[3], 200);
                ASSERT_EQ(target.GetBuffer(x, y)[c], (128 * (255 - target.GetBuffer(x, y)[3]) + 143 * target.GetBuffer(x, y)[3]) / 255)
                    << x << "," << y;
            }

    MakeFlat(source, 48, 40, 100, 255);
    p = Neutral();
    p.useMaskedBlur = 0;
    p.tint = 40;
    ASSERT_EQ(Run(p), 0);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 48; ++x) {
            if (!inner(x, y))
                continue;
            const BYTE* q = target.GetBuffer(x, y);
            const int m = q[3];
            ASSERT_GT(m, 200);
            ASSERT_EQ(q[0], (m * 103 + (255 - m) * 100) / 255);
            ASSERT_EQ(q[1], (m * 94 + (255 - m) * 100) / 255);
            ASSERT_EQ(q[2], (m * 94 + (255 - m) * 100) / 255);
        }
}

TEST_F(SkinClean, SmoothingWeightIsClampedForAnyPercent)
{
    // trunc(255 x p x 0.009) reaches 255 at p = 112; above it the weight
    // stays 255 instead of overflowing the blend.
    effecttest::MakePattern(source, 32, 24);
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 32; ++x)
            source.GetBuffer(x, y)[3] = 255;
    AdvancedSkinCleanParams p = Neutral();
    p.blurRadius = 3;
    p.smoothPercent = 113;
    ASSERT_EQ(Run(p), 0);
    const std::vector<BYTE> full = Bytes(target);
    p.smoothPercent = 1000;
    ASSERT_EQ(Run(p), 0);
    EXPECT_EQ(Bytes(target), full);
    p.smoothPercent = -50; // no weight: as with 0
    ASSERT_EQ(Run(p), 0);
    const std::vector<BYTE> none = Bytes(target);
    p.smoothPercent = 0;
    ASSERT_EQ(Run(p), 0);
    EXPECT_EQ(Bytes(target), none);
    EXPECT_NE(none, full);
}

TEST_F(SkinClean, GrainIsTheSameOnEveryRunAndStaysInsideItsBounds)
{
    MakeFlat(source, 40, 30, 120, 255);
    AdvancedSkinCleanParams p = Neutral();
    p.grain = 1;
    ASSERT_EQ(Run(p), 0);
    const std::vector<BYTE> first = Bytes(target);
    ASSERT_EQ(Run(p), 0);
    EXPECT_EQ(Bytes(target), first);
    // Grain bytes are 128 + (c - 15)^2 / 16 with c < 30: f within -7..14,
    // then the local contrast spreads a step by at most half again.
    bool changed = false;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) {
            const int v = target.GetBuffer(x, y)[0];
            if (x < 1 || y < 1 || x > 38 || y > 28) {
                ASSERT_EQ(v, 120) << x << "," << y;
                continue;
            }
            changed |= v != 120;
            ASSERT_GE(v, 120 - 7 - 11);
            ASSERT_LE(v, 120 + 14 + 11);
        }
    EXPECT_TRUE(changed);
    // Too small for a tile: nothing to add, no failure.
    MakeFlat(source, 3, 3, 120, 255);
    EXPECT_EQ(Run(p), 0);
}

TEST_F(SkinClean, MakesItsOwnMaskUnlessOneIsReady)
{
    effecttest::MakePattern(source, 40, 30);
    AdvancedSkinCleanParams p = Neutral();
    p.maskReady = 0;
    ASSERT_EQ(Run(p), 0);
    // The mask was written into the source's alpha; the outer frame is 0.
    for (int x = 0; x < 40; ++x)
        ASSERT_EQ(source.GetBuffer(x, 0)[3], 0);
    EXPECT_EQ(Run(AdvancedSkinCleanParams{}), 0);
    CQLImage empty;
    fx.SetImages(&empty, &target);
    EXPECT_EQ(fx.Apply(&p), E_FAIL);
}
