#include "algorithms/AntiShakeAlgorithm.h"
#include "algorithms/tests/EffectTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>

namespace {

using effecttest::Bytes;
using effecttest::MakeFlat;

// Value noise: random levels on a grid of 6 pixels, bilinear between them,
// so that every window is unlike its neighbours and a shift of a pixel or
// two still resembles it (the coarse search steps by 2).
double Texture(double x, double y)
{
    auto level = [](long long i, long long j) {
        std::uint32_t h = static_cast<std::uint32_t>(i * 73856093LL ^ j * 19349663LL);
        h ^= h >> 13;
        h *= 0x5bd1e995u;
        h ^= h >> 15;
        return static_cast<double>(h % 200 + 28);
    };
    const double gx = x / 6.0 + 1000, gy = y / 6.0 + 1000;
    const long long i = static_cast<long long>(std::floor(gx)), j = static_cast<long long>(std::floor(gy));
    const double fx = gx - i, fy = gy - j;
    const double top = level(i, j) * (1 - fx) + level(i + 1, j) * fx;
    const double bottom = level(i, j + 1) * (1 - fx) + level(i + 1, j + 1) * fx;
    return top * (1 - fy) + bottom * fy;
}

// Pixel (x, y) of the image shows the texture at where(x, y).
void Paint(CQLImage& image, int w, int h, const std::function<std::pair<double, double>(int, int)>& where)
{
    image.Create(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const auto [tx, ty] = where(x, y);
            const BYTE v = static_cast<BYTE>(Texture(tx, ty));
            image.PutPixel(x, y, {v, v, v, 255});
        }
}

constexpr int kW = 600;
constexpr int kH = 450;

class AntiShake : public ::testing::TestWithParam<int> { // blurred-match mode or not
protected:
    void SetUp() override
    {
        Paint(reference, kW, kH, [](int x, int y) { return std::pair{double(x), double(y)}; });
        if (GetParam())
            fx.SetBlurredMatchMode();
    }

    HRESULT Align(CQLImage& other, int size = 1, int enabled = 1)
    {
        fx.SetImages(&reference, &other);
        fx.SetRange(0, 100);
        const AntiShakeParams p = {enabled, 0, size};
        return fx.Apply(&p);
    }

    void ExpectMapping(double xOffset, double yOffset)
    {
        const ShakeMapping& m = fx.GetMapping();
        EXPECT_NEAR(m.xFromX, 1, 1e-9);
        EXPECT_NEAR(m.xFromY, 0, 1e-9);
        EXPECT_NEAR(m.xOffset, xOffset, 1e-6);
        EXPECT_NEAR(m.yFromX, 0, 1e-9);
        EXPECT_NEAR(m.yFromY, 1, 1e-9);
        EXPECT_NEAR(m.yOffset, yOffset, 1e-6);
    }

    CQLImage reference;
    AntiShakeAlgorithm fx;
};

TEST_P(AntiShake, IdenticalShotsAlignToTheIdentity)
{
    // Blurred-match mode replaces the shot by its high-pass values: each run
    // gets a fresh copy, as callers give it.
    for (int size : {0, 1, 2}) {
        CQLImage other;
        other.DuplicateFrom(&reference);
        ASSERT_EQ(Align(other, size), 0) << size;
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(fx.GetShifts()[i].x, 0) << size << " point " << i;
            EXPECT_EQ(fx.GetShifts()[i].y, 0) << size << " point " << i;
        }
        ExpectMapping(0, 0);
        EXPECT_EQ(fx.IsTransformValid(), 1);
    }
}

TEST_P(AntiShake, ShotMovedByFiveAndMinusThreeIsFoundThere)
{
    // The reference's point (x, y) shows at (x + 5, y - 3) in the other shot.
    for (int size : {0, 1, 2}) {
        CQLImage other;
        Paint(other, kW, kH, [](int x, int y) { return std::pair{x - 5.0, y + 3.0}; });
        ASSERT_EQ(Align(other, size), 0) << size;
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(fx.GetShifts()[i].x, 5) << size << " point " << i;
            EXPECT_EQ(fx.GetShifts()[i].y, -3) << size << " point " << i;
        }
        ExpectMapping(5, -3);
        EXPECT_EQ(fx.IsTransformValid(), 1);
    }
}

TEST_P(AntiShake, TurnedShotIsNotValidAndTheNextRunStartsAfresh)
{
    // Turned by 8 degrees about the centre: a cross coefficient near sin 8 = 0.139.
    const double c = std::cos(8 * 3.14159265358979 / 180), s = std::sin(8 * 3.14159265358979 / 180);
    CQLImage turned, copy;
    Paint(turned, kW, kH, [&](int x, int y) {
        const double dx = x - kW / 2.0, dy = y - kH / 2.0;
        return std::pair{kW / 2.0 + c * dx + s * dy, kH / 2.0 - s * dx + c * dy};
    });
    auto alignTurned = [&] {
        copy.DuplicateFrom(&turned);
        ASSERT_EQ(Align(copy, 2), 0);
        EXPECT_EQ(fx.IsTransformValid(), 0);
        EXPECT_GT(std::fabs(fx.GetMapping().xFromY), 0.1);
    };

    // Neither a refused run nor a skipped one hands on the turned mapping.
    alignTurned();
    CQLImage small;
    MakeFlat(small, 60, 40, 9);
    fx.SetImages(&small, &small);
    const AntiShakeParams p = {1, 0, 1};
    EXPECT_EQ(fx.Apply(&p), E_FAIL);
    ExpectMapping(0, 0);
    EXPECT_EQ(fx.IsTransformValid(), 1);

    alignTurned();
    ASSERT_EQ(Align(copy, 2, 0), 0);
    ExpectMapping(0, 0);
    EXPECT_EQ(fx.IsTransformValid(), 1);
}

INSTANTIATE_TEST_SUITE_P(Modes, AntiShake, ::testing::Values(0, 1),
                         [](const ::testing::TestParamInfo<int>& info) { return info.param ? "Blurred" : "Grey"; });

TEST(AntiShakeTest, DisabledLeavesBothShotsAlone)
{
    CQLImage a, b;
    effecttest::MakePattern(a, 200, 160);
    effecttest::MakePattern(b, 200, 160);
    const auto before = Bytes(a);
    AntiShakeAlgorithm fx;
    fx.SetImages(&a, &b);
    const AntiShakeParams p = {0, 0, 1};
    ASSERT_EQ(fx.Apply(&p), 0);
    EXPECT_EQ(Bytes(a), before);
    EXPECT_EQ(Bytes(b), before);
}

TEST(AntiShakeTest, ImagesTooSmallOrUnequalAreRefusedUntouched)
{
    // Small search on 80 x 70: R = 2, windows of 40 do not fit in a quadrant.
    struct Case {
        int w, h, ow, oh;
    };
    for (const Case& c : {Case{80, 70, 80, 70}, Case{200, 160, 201, 160}, Case{200, 160, 200, 0}}) {
        CQLImage a, b;
        effecttest::MakePattern(a, c.w, c.h);
        if (c.oh)
            effecttest::MakePattern(b, c.ow, c.oh);
        const auto beforeA = Bytes(a), beforeB = Bytes(b);
        AntiShakeAlgorithm fx;
        fx.SetImages(&a, &b);
        const AntiShakeParams p = {1, 0, 0};
        EXPECT_EQ(fx.Apply(&p), E_FAIL) << c.w << "x" << c.h << " against " << c.ow << "x" << c.oh;
        EXPECT_EQ(Bytes(a), beforeA);
        EXPECT_EQ(Bytes(b), beforeB);
    }
}

TEST(AntiShakeTest, StepTableOfHighPassBytes)
{
    AntiShakeAlgorithm fx;
    struct Case {
        int b, step;
    };
    for (const Case& c : {Case{128, 0}, Case{131, 0}, Case{125, 0}, Case{132, 1}, Case{124, -1}, Case{143, 1},
                          Case{144, 2}, Case{160, 3}, Case{112, -2}, Case{255, 8}, Case{0, -9}})
        EXPECT_EQ(fx.StepOf(static_cast<BYTE>(c.b)), c.step) << c.b;
}

TEST(AntiShakeTest, EdgeMapIsTheLargerOfTheColumnAndRowDifferences)
{
    // Grey 0 left of x = 100, 50 from there; a row step of 30 below y = 80
    // on the left half only.
    CQLImage a, b;
    a.Create(200, 160);
    for (int y = 0; y < 160; ++y)
        for (int x = 0; x < 200; ++x) {
            const BYTE v = x >= 100 ? 50 : (y >= 80 ? 30 : 0);
            a.PutPixel(x, y, {v, v, v, 0});
        }
    b.DuplicateFrom(&a);
    AntiShakeAlgorithm fx;
    fx.SetImages(&a, &b);
    const AntiShakeParams p = {1, 0, 0};
    ASSERT_EQ(fx.Apply(&p), 0);
    const CQLChannel& e = fx.GetEdgeMap();
    EXPECT_EQ(e.Get(98, 40), 0);
    EXPECT_EQ(e.Get(99, 40), 150); // |0 - 3 * 50|
    EXPECT_EQ(e.Get(100, 40), 150);
    EXPECT_EQ(e.Get(101, 40), 0);
    EXPECT_EQ(e.Get(50, 79), 90); // |0 - 3 * 30|
    EXPECT_EQ(e.Get(50, 80), 90);
    // Beside the corner: left column 3 * 30 against 3 * 50.
    EXPECT_EQ(e.Get(99, 81), 60);
    EXPECT_EQ(e.Get(0, 40), 0); // the frame
    EXPECT_EQ(e.Get(199, 0), 0);
}

TEST(AntiShakeTest, StrongEdgesSaturateInsteadOfWrapping)
{
    // Grey 0 against 100 and against 255: 300 and 765 both store as 255.
    CQLImage a, b;
    a.Create(300, 160);
    for (int y = 0; y < 160; ++y)
        for (int x = 0; x < 300; ++x) {
            const BYTE v = x < 100 ? 0 : (x < 200 ? 100 : 0);
            a.PutPixel(x, y, {v, v, v, 0});
        }
    for (int y = 0; y < 160; ++y)
        for (int x = 250; x < 300; ++x)
            a.PutPixel(x, y, {255, 255, 255, 0});
    b.DuplicateFrom(&a);
    AntiShakeAlgorithm fx;
    fx.SetImages(&a, &b);
    const AntiShakeParams p = {1, 0, 0};
    ASSERT_EQ(fx.Apply(&p), 0);
    const CQLChannel& e = fx.GetEdgeMap();
    EXPECT_EQ(e.Get(99, 40), 255);  // 300 would wrap to 44
    EXPECT_EQ(e.Get(250, 40), 255); // 765 would wrap to 253
}

} // namespace
