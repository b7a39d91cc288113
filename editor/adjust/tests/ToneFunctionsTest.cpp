// The tables and functions behind the tone and colour dialogs.
#include "editor/adjust/ToneFunctions.h"

#include "imagecore/Simd.h"
#include "platform/codec/ColorForms.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

namespace {

void Fill(CQLImage* image, int w, int h, CPixel (*pixel)(int x, int y))
{
    ASSERT_EQ(image->Create(w, h), 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
        {
            const CPixel c = pixel(x, y);
            BYTE* p = image->GetBuffer(x, y);
            p[0] = c.b, p[1] = c.g, p[2] = c.r, p[3] = c.a;
        }
}

}  // namespace

TEST(BrightnessContrastTable, ZeroIsTheIdentityUpToTruncation)
{
    BYTE table[256];
    tone::BrightnessContrastTable(0, 0, table);
    for (int i = 0; i < 256; ++i)
        EXPECT_LE(std::abs(table[i] - i), 1) << i;
}

TEST(BrightnessContrastTable, ContrastSignMovesLevelsAwayFromOrTowardsTheMiddle)
{
    struct Row {
        int contrast;
        int level;
        int sign;  // of table[level] - level
    };
    const Row rows[] = {
        {60, 40, -1}, {60, 90, -1}, {60, 170, 1}, {60, 220, 1},
        {-60, 40, 1}, {-60, 90, 1}, {-60, 170, -1}, {-60, 220, -1},
    };
    for (const Row& r : rows) {
        BYTE table[256];
        tone::BrightnessContrastTable(0, r.contrast, table);
        const int d = table[r.level] - r.level;
        EXPECT_EQ((d > 0) - (d < 0), r.sign) << r.contrast << " at " << r.level;
    }
}

TEST(BrightnessContrastTable, BrightnessRaisesAndLowersEveryMidLevel)
{
    BYTE up[256], down[256];
    tone::BrightnessContrastTable(30, 0, up);
    tone::BrightnessContrastTable(-30, 0, down);
    for (int i = 20; i < 236; ++i) {
        EXPECT_GT(up[i], i);
        EXPECT_LT(down[i], i);
    }
}

TEST(ApplyTable, MapsColourBytesAndKeepsAlpha)
{
    CQLImage src, dst;
    Fill(&src, 7, 5, [](int x, int y) { return CPixel{BYTE(x * 30), BYTE(y * 40), BYTE(x + y), BYTE(100 + x)}; });
    BYTE table[256];
    for (int i = 0; i < 256; ++i)
        table[i] = static_cast<BYTE>(255 - i);
    ASSERT_TRUE(tone::ApplyTable(src, &dst, table));
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) {
            const BYTE* s = src.GetBuffer(x, y);
            const BYTE* d = dst.GetBuffer(x, y);
            for (int c = 0; c < 3; ++c)
                EXPECT_EQ(d[c], 255 - s[c]);
            EXPECT_EQ(d[3], s[3]);
        }
    CQLImage empty;
    EXPECT_FALSE(tone::ApplyTable(empty, &dst, table));
}

// Every vector path (and the stores past the cache of a large target) gives
// the bytes of the plain per-byte lookup, on odd sizes and whole vectors.
TEST(ApplyTable, EveryPathMatchesThePlainLookup)
{
    using imagecore::SimdLevel;
    std::mt19937 random(34);
    BYTE table[256];
    for (BYTE& t : table)
        t = static_cast<BYTE>(random());
    struct Size {
        int w, h;
    };
    const Size sizes[] = {{1, 1}, {3, 2}, {15, 3}, {16, 1}, {17, 5}, {65, 7}, {700, 400}, {4100, 4100}};
    for (const Size& size : sizes) {
        CQLImage src;
        ASSERT_EQ(src.Create(size.w, size.h), 0);
        BYTE* p = src.GetBuffer(0, 0);
        for (UINT i = 0; i < src.GetAreaByteSize(); ++i)
            p[i] = static_cast<BYTE>(random());
        std::vector<BYTE> want(p, p + src.GetAreaByteSize());
        for (std::size_t i = 0; i < want.size(); ++i)
            if (i % 4 != 3)
                want[i] = table[want[i]];
        // The top level lets the byte permutes run where the processor has them.
        for (int level : {0, 1, 2, 3}) {
            const imagecore::ScopedSimdCeiling ceiling(static_cast<SimdLevel>(level));
            CQLImage dst;
            ASSERT_TRUE(tone::ApplyTable(src, &dst, table));
            ASSERT_EQ(dst.GetAreaByteSize(), src.GetAreaByteSize());
            EXPECT_EQ(std::memcmp(dst.GetBuffer(0, 0), want.data(), want.size()), 0)
                << size.w << " x " << size.h << " level " << level;
        }
    }
}

TEST(SpotMetering, TableFollowsTheMeteredMean)
{
    struct Row {
        int mean;
        bool changes;
        double exponent;
    };
    const Row rows[] = {
        {64, true, std::log(107 / 256.0) / std::log(64 / 256.0)},
        {200, true, std::log(152 / 256.0) / std::log(200 / 256.0)},
        {128, true, 1.0},
        {32, true, std::log(96 / 256.0) / std::log(32 / 256.0)},
        {30, false, 0},
        {230, false, 0},
    };
    for (const Row& r : rows) {
        BYTE table[256];
        double m = 0;
        EXPECT_EQ(tone::SpotMeteringTable(r.mean, table, &m), r.changes) << r.mean;
        if (!r.changes)
            continue;
        EXPECT_NEAR(m, r.exponent, 1e-9) << r.mean;
        for (int i : {0, 17, 128, 255})
            EXPECT_EQ(table[i], std::min(255, static_cast<int>(std::pow(i / 256.0, m) * 256.0)));
    }
    double m = 0;
    BYTE table[256];
    ASSERT_TRUE(tone::SpotMeteringTable(64, table, &m));
    EXPECT_NEAR(m, 0.63, 0.005);
}

TEST(SpotMetering, TheExponentIsHeldWithinItsLimits)
{
    // Mean 33 wants ln(96/256)/ln(33/256), about 0.48; the bounds hold anyway.
    for (int mean = 32; mean <= 224; ++mean) {
        BYTE table[256];
        double m = 0;
        ASSERT_TRUE(tone::SpotMeteringTable(mean, table, &m));
        EXPECT_GE(m, 0.4);
        EXPECT_LE(m, 2.5);
    }
}

TEST(SpotMetering, SquareIsClippedAtTheEdges)
{
    CQLImage image;
    Fill(&image, 400, 300, [](int x, int) { return CPixel{BYTE(x < 20 ? 250 : 10), BYTE(x < 20 ? 250 : 10), BYTE(x < 20 ? 250 : 10), 255}; });
    struct Row {
        POINT click;
        RECT square;
    };
    const Row rows[] = {
        {{200, 150}, {160, 110, 240, 190}},
        {{5, 5}, {0, 0, 80, 80}},
        {{399, 299}, {359, 259, 400, 300}},
    };
    for (const Row& r : rows) {
        const RECT s = tone::MeterSquare(image, r.click);
        EXPECT_EQ(s.left, r.square.left);
        EXPECT_EQ(s.top, r.square.top);
        EXPECT_EQ(s.right, r.square.right);
        EXPECT_EQ(s.bottom, r.square.bottom);
    }
    // The corner square is a quarter bright: (20 * 250 + 60 * 10) / 80.
    EXPECT_EQ(tone::MeanLuminance(image, tone::MeterSquare(image, POINT{5, 5})), 70);
    EXPECT_EQ(tone::MeanLuminance(image, RECT{3, 3, 3, 9}), -1);
}

TEST(ColourSharpen, KeepsEveryLumaByteAndSharpensTheChroma)
{
    CQLImage src, yuv, rgb;
    Fill(&src, 64, 48, [](int x, int y) {
        const bool edge = (x / 8 + y / 8) % 2 != 0;
        return CPixel{BYTE(edge ? 200 : 40), BYTE(90 + x), BYTE(edge ? 30 : 180), 255};
    });
    FilterHost host;
    ASSERT_TRUE(tone::ColourSharpenYuv(src, &yuv, &host));
    CQLImage plain;
    plain.DuplicateFrom(&src);
    qlcodec::RgbToYuv(plain.GetBuffer(0, 0), plain.GetAreaByteSize() / 4);
    int chromaChanged = 0;
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x) {
            const BYTE* p = plain.GetBuffer(x, y);
            const BYTE* s = yuv.GetBuffer(x, y);
            ASSERT_EQ(s[2], p[2]) << x << "," << y;
            EXPECT_EQ(s[3], p[3]);
            chromaChanged += s[0] != p[0] || s[1] != p[1];
        }
    EXPECT_GT(chromaChanged, 0);
    // The dialog's function is that form back in RGB.
    host.SetImages(&src, &rgb);
    ASSERT_EQ(host.Apply(reinterpret_cast<const void*>(&tone::ColourSharpenFunction)), 0);
    qlcodec::YuvToRgb(yuv.GetBuffer(0, 0), yuv.GetAreaByteSize() / 4);
    EXPECT_EQ(std::memcmp(rgb.GetBuffer(0, 0), yuv.GetBuffer(0, 0), yuv.GetAreaByteSize()), 0);
}

TEST(VisualColor, VariantReferencesAddTheirColour)
{
    // B, G, R of the reference that is made grey: the variant's colour is
    // the one the reference lacks.
    struct Row {
        int variant;
        int r, g, b;
    };
    const Row rows[] = {
        {0, 112, 144, 144}, {1, 112, 112, 144}, {2, 144, 112, 144},
        {3, 144, 112, 112}, {4, 144, 144, 112}, {5, 112, 144, 112},
    };
    for (const Row& row : rows) {
        const DWORD ref = tone::VariantReference(row.variant);
        EXPECT_EQ(static_cast<int>(ref >> 16 & 0xFF), row.r) << row.variant;
        EXPECT_EQ(static_cast<int>(ref >> 8 & 0xFF), row.g) << row.variant;
        EXPECT_EQ(static_cast<int>(ref & 0xFF), row.b) << row.variant;
        EXPECT_EQ(ref >> 24, 0u);
    }
    int range[4];
    EXPECT_FALSE(tone::VariantHueRange(0, range));
    ASSERT_TRUE(tone::VariantHueRange(1, range));
    EXPECT_EQ(range[0], -55);
    EXPECT_EQ(range[3], 55);
    ASSERT_TRUE(tone::VariantHueRange(6, range));
    EXPECT_EQ(range[1], 22);
}
