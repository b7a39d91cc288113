#include "algorithms/LevelsAlgorithm.h"
#include "algorithms/SkinMaskAlgorithm.h"
#include "algorithms/tests/EffectTestSupport.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using effecttest::Bytes;
using effecttest::MakeFlat;

// --- 16-bit levels ----------------------------------------------------------

class LevelsTest : public ::testing::Test {
protected:
    // A 16-bit photo of w x 1 pixels with the given blue values (green and red 0).
    void MakeInput(const std::vector<WORD>& blues)
    {
        ASSERT_TRUE(input.Create(static_cast<int>(blues.size()), 1));
        for (std::size_t x = 0; x < blues.size(); ++x)
            *input.GetBuffer(static_cast<int>(x), 0) = C16BitPixel{blues[x], 0, 0};
    }

    HRESULT Run(const std::vector<WORD>& tables, BOOL perChannel)
    {
        fx.SetAlgorithmInput(&input);
        fx.SetPerChannel(perChannel);
        fx.SetImages(&photo, &target);
        fx.SetRange(0, 100);
        return fx.Apply(tables.data());
    }

    static std::vector<WORD> Identity(int count)
    {
        std::vector<WORD> t(static_cast<std::size_t>(LevelsAlgorithm::kTableSize) * count);
        for (std::size_t i = 0; i < t.size(); ++i)
            t[i] = static_cast<WORD>(i);
        return t;
    }

    C16BitBitmap input;
    CQLImage photo; // the 8-bit photo the dialog shows; only checked for pixels
    CQLImage target;
    LevelsAlgorithm fx;

    void SetUp() override { MakeFlat(photo, 2, 1, 0); }
};

TEST_F(LevelsTest, IdentityTablesGiveTheErrorDiffusedEightBitPhoto)
{
    // 0x017F rounds to 1 and passes (0x17F - 0x100) / 4 = 31 to the right:
    // 0x61 + 31 = 0x80 rounds to 1, where 0x61 alone would round to 0.
    MakeInput({0x017F, 0x0061});
    ASSERT_EQ(Run(Identity(1), 0), 0);
    EXPECT_EQ(target.GetPixel2(0, 0).b, 1);
    EXPECT_EQ(target.GetPixel2(1, 0).b, 1);
    EXPECT_EQ(target.GetPixel2(1, 0).a, 0);
    // The caller's bitmap is not the one diffused.
    EXPECT_EQ(input.GetBuffer(1, 0)->b, 0x0061);
}

TEST_F(LevelsTest, CommonTableMapsAllThreeChannels)
{
    ASSERT_TRUE(input.Create(1, 1));
    *input.GetBuffer(0, 0) = C16BitPixel{10 << 8, 20 << 8, 30 << 8};
    std::vector<WORD> invert(LevelsAlgorithm::kTableSize);
    for (int v = 0; v < LevelsAlgorithm::kTableSize; ++v)
        invert[v] = static_cast<WORD>((v & 0xFF00) ^ 0xFF00); // c * 256 -> (255 - c) * 256
    ASSERT_EQ(Run(invert, 0), 0);
    const CPixel p = target.GetPixel2(0, 0);
    EXPECT_EQ(p.b, 245);
    EXPECT_EQ(p.g, 235);
    EXPECT_EQ(p.r, 225);
}

TEST_F(LevelsTest, PerChannelTablesAreRedGreenBlueAndTheCommonOneIsIgnored)
{
    ASSERT_TRUE(input.Create(1, 1));
    *input.GetBuffer(0, 0) = C16BitPixel{1000, 2000, 3000};
    std::vector<WORD> tables(static_cast<std::size_t>(LevelsAlgorithm::kTableSize) * 4);
    for (int v = 0; v < LevelsAlgorithm::kTableSize; ++v) {
        tables[v] = 0xFFFF;                                        // common
        tables[LevelsAlgorithm::kTableSize + v] = 10 << 8;         // red
        tables[2 * LevelsAlgorithm::kTableSize + v] = 20 << 8;     // green
        tables[3 * LevelsAlgorithm::kTableSize + v] = 30 << 8;     // blue
    }
    ASSERT_EQ(Run(tables, 1), 0);
    const CPixel p = target.GetPixel2(0, 0);
    EXPECT_EQ(p.r, 10);
    EXPECT_EQ(p.g, 20);
    EXPECT_EQ(p.b, 30);
}

TEST_F(LevelsTest, MissingInputOrTablesFailAndLeaveTheTarget)
{
    MakeFlat(target, 3, 2, 77);
    const std::vector<BYTE> before = Bytes(target);
    const std::vector<WORD> tables = Identity(1);
    // No bitmap set.
    fx.SetImages(&photo, &target);
    EXPECT_EQ(fx.Apply(tables.data()), E_FAIL);
    // An empty bitmap.
    EXPECT_EQ(Run(tables, 0), E_FAIL);
    // No tables.
    MakeInput({0x100, 0x200});
    fx.SetAlgorithmInput(&input);
    EXPECT_EQ(fx.Apply(nullptr), E_FAIL);
    EXPECT_EQ(Bytes(target), before);
}

TEST_F(LevelsTest, CancelLeavesTheTargetAsItWas)
{
    MakeInput({0x100, 0x200});
    MakeFlat(target, 3, 2, 77);
    const std::vector<BYTE> before = Bytes(target);
    static LevelsAlgorithm* running;
    running = &fx;
    fx.SetCallback([](int, int) {
        running->Cancel();
        return 0;
    });
    effecttest::ForgetLastProgress();
    EXPECT_EQ(Run(Identity(1), 0), E_FAIL);
    EXPECT_EQ(Bytes(target), before);
}

// --- Skin mask --------------------------------------------------------------

HRESULT Mask(CQLImage& image)
{
    SkinMaskAlgorithm fx;
    fx.SetImages(&image, &image);
    fx.SetRange(0, 100);
    return fx.Apply(nullptr);
}

void Fill(CQLImage& image, int w, int h, CPixel colour)
{
    image.Create(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.PutPixel(x, y, colour);
}

bool InFrame(int x, int y, int w, int h)
{
    return x < 2 || y < 2 || x >= w - 2 || y >= h - 2;
}

struct FlatSkinCase {
    const char* name;
    CPixel colour; // B, G, R, A
    int mask;      // inside the frame
};

class SkinMaskFlat : public ::testing::TestWithParam<FlatSkinCase> {};

// Flat areas have no texture (E = 255), so the mask is min(C, D).
TEST_P(SkinMaskFlat, InnerPixelsGetTheToneAndHueWeightsAndTheFrameZero)
{
    CQLImage image;
    Fill(image, 7, 6, GetParam().colour);
    ASSERT_EQ(Mask(image), 0);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 7; ++x) {
            const CPixel p = image.GetPixel2(x, y);
            EXPECT_EQ(p.a, InFrame(x, y, 7, 6) ? 0 : GetParam().mask) << x << "," << y;
            EXPECT_EQ(p.b, GetParam().colour.b);
            EXPECT_EQ(p.r, GetParam().colour.r);
        }
}

INSTANTIATE_TEST_SUITE_P(
    SkinMask, SkinMaskFlat,
    ::testing::Values(
        FlatSkinCase{"Black", {0, 0, 0, 90}, 0},
        FlatSkinCase{"White", {255, 255, 255, 90}, 0},
        // Greys have hue 0: D = 255.
        FlatSkinCase{"Grey150", {150, 150, 150, 90}, 255},
        FlatSkinCase{"Grey80", {80, 80, 80, 90}, (80 - 32) * 255 / 96},         // 127
        FlatSkinCase{"Grey220", {220, 220, 220, 90}, (250 - 220) * 255 / 50},   // 153
        FlatSkinCase{"Grey31", {31, 31, 31, 90}, 0},
        FlatSkinCase{"Grey251", {251, 251, 251, 90}, 0},
        // R = G = 200, B = 0: grey 180 (C 255), hue 43: D = (50 - 43) * 255 / 18 = 99.
        FlatSkinCase{"Yellow", {0, 200, 200, 90}, 99},
        // G = 200: grey 120, C = 88 * 255 / 96 = 233, hue 85 with 64 <= C <= 240: D = 0.
        FlatSkinCase{"Green", {0, 200, 0, 90}, 0},
        // G = B = 200: grey 140, C = 255 > 240, hue 128: D = 128.
        FlatSkinCase{"Cyan", {200, 200, 0, 90}, 128},
        // R 200, B 30: grey 63, C = 31 * 255 / 96 = 82; hue 249: D = 14 * 255 / 20 = 178.
        FlatSkinCase{"Crimson", {30, 0, 200, 90}, 82}),
    [](const ::testing::TestParamInfo<FlatSkinCase>& info) { return info.param.name; });

TEST(SkinMaskTest, TextureAcrossAnEdgeLowersTheMask)
{
    // Columns 0..3 grey 150, 4..7 grey 150 + step. At x = 3 and 4 the
    // left-right sums differ by 3 * step: g = step. Elsewhere g = 0, and the
    // right side has the tone weight of its own grey level (240: 10 * 255 / 50).
    struct Case {
        int step, edgeMask, rightMask;
    };
    for (const Case c : {Case{10, (32 - 10) * 255 / 24, 255}, Case{5, 255, 255}, Case{90, 0, 51}}) {
        CQLImage image;
        Fill(image, 8, 5, {150, 150, 150, 255});
        for (int y = 0; y < 5; ++y)
            for (int x = 4; x < 8; ++x) {
                const BYTE v = static_cast<BYTE>(150 + c.step);
                image.PutPixel(x, y, {v, v, v, 255});
            }
        ASSERT_EQ(Mask(image), 0);
        EXPECT_EQ(image.GetPixel2(2, 2).a, 255) << c.step;
        EXPECT_EQ(image.GetPixel2(3, 2).a, c.edgeMask) << c.step;
        EXPECT_EQ(image.GetPixel2(4, 2).a, c.edgeMask) << c.step;
        EXPECT_EQ(image.GetPixel2(5, 2).a, c.rightMask) << c.step;
    }
}

TEST(SkinMaskTest, TextureAlongRowsCountsToo)
{
    // Rows 0..2 grey 150, rows 3.. grey 174: at row 2 and 3, g = 24,
    // E = (32 - 24) * 255 / 24 = 85.
    CQLImage image;
    Fill(image, 5, 7, {150, 150, 150, 255});
    for (int y = 3; y < 7; ++y)
        for (int x = 0; x < 5; ++x)
            image.PutPixel(x, y, {174, 174, 174, 255});
    ASSERT_EQ(Mask(image), 0);
    EXPECT_EQ(image.GetPixel2(2, 2).a, 85);
    EXPECT_EQ(image.GetPixel2(2, 3).a, 85);
    EXPECT_EQ(image.GetPixel2(2, 4).a, 255);
}

TEST(SkinMaskTest, ImagesWithoutInnerPixelsGetZeroEverywhere)
{
    for (const auto& [w, h] : {std::pair{4, 9}, std::pair{9, 4}, std::pair{1, 1}}) {
        CQLImage image;
        Fill(image, w, h, {150, 150, 150, 200});
        ASSERT_EQ(Mask(image), 0);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                EXPECT_EQ(image.GetPixel2(x, y).a, 0);
    }
}

} // namespace
