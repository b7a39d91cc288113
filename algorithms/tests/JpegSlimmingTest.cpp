// JPEG size and JPEG slimming: the block DCT, the adaptive table, resize and
// smoothing steps, measurement, the size fit and the quality search, saving.
#include "algorithms/JpegSizeAlgorithm.h"
#include "algorithms/JpegSlimmingAlgorithm.h"
#include "algorithms/SmoothAlgorithm.h"
#include "algorithms/tests/EffectTestSupport.h"
#include "platform/codec/QLImageCodec.h"
#include "platform/win/tests/TestDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using effecttest::Bytes;
using effecttest::MakeFlat;

// Grey pixels survive the YUV round trip exactly, so the target shows only
// what the steps did.
void MakeGreyStep(CQLImage& image, int w, int h, int split, int left, int right)
{
    image.Create(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const BYTE v = static_cast<BYTE>(x < split ? left : right);
            image.PutPixel(x, y, {v, v, v, 255});
        }
}

void MakeNoise(CQLImage& image, int w, int h, unsigned seed)
{
    image.Create(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            seed = seed * 1103515245u + 12345u;
            image.PutPixel(x, y, {static_cast<BYTE>(seed >> 8), static_cast<BYTE>(seed >> 16), static_cast<BYTE>(seed >> 24), 255});
        }
}

JpegSlimSettings Plain()
{
    JpegSlimSettings s;
    s.quality = 85;
    s.chromaOption = 0;
    s.adaptive = 0;
    s.dctDenoise = 0;
    s.smoothPercent = 0;
    s.resizeMode = 0;
    s.sizeMode = 0;
    s.flags = 0;
    return s;
}

DWORD JpegSizeOf(const CQLImage& image, int quality, const unsigned int* table = nullptr)
{
    JpegSizeAlgorithm size;
    size.SetImages(const_cast<CQLImage*>(&image), const_cast<CQLImage*>(&image));
    size.SetSizeOnly(1);
    size.qTable = table;
    EXPECT_EQ(size.Apply(&quality), 0);
    return size.GetJpegSize();
}

// What the effect encodes when no step changes the photo: the YUV round trip.
CQLImage Processed(const CQLImage& image)
{
    CQLImage copy;
    copy.DuplicateFrom(&image);
    CQLImageCodec codec;
    codec.RGBToYUV(&copy);
    codec.YUVToRGB(&copy);
    return copy;
}


// An 8x8 block of 0 in columns 0..3 and 8 in columns 4..7. By hand through
// the two integer passes: DC 256 / 8 = 32 and, along the first row,
// round(8 x {-116, 41, -27, 23} / 32 after row descaling) = -29, 10, -7, 6 at
// natural positions 1, 3, 5, 7, which are zigzag 1, 6, 15, 28.
const int kStepZigzag[] = {1, 6, 15, 28};
const int kStepCoefficient[] = {-29, 10, -7, 6};

} // namespace

TEST(JpegDct, StepBlockGivesHandComputedCoefficientsInZigzagOrder)
{
    int samples[64];
    for (int i = 0; i < 64; ++i)
        samples[i] = (i % 8) < 4 ? 0 : 8;
    short coef[64];
    JpegForwardDct(samples, 8, coef);
    std::vector<int> expected(64, 0);
    expected[0] = 32;
    for (int i = 0; i < 4; ++i)
        expected[kStepZigzag[i]] = kStepCoefficient[i];
    for (int k = 0; k < 64; ++k)
        EXPECT_EQ(coef[k], expected[k]) << "zigzag " << k;
}

TEST(JpegDct, FlatBlockAndItsInverse)
{
    // The row step is honoured on both sides.
    std::vector<int> samples(16 * 8, 0);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            samples[y * 16 + x] = 201;
    short coef[64];
    JpegForwardDct(samples.data(), 16, coef);
    EXPECT_EQ(coef[0], 201 * 64 / 8);
    for (int k = 1; k < 64; ++k)
        ASSERT_EQ(coef[k], 0);
    std::vector<int> back(16 * 8, -1);
    JpegInverseDct(coef, back.data(), 16);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 16; ++x)
            ASSERT_EQ(back[y * 16 + x], x < 8 ? 201 : -1);
}

class JpegSlimming : public ::testing::Test {
protected:
    HRESULT Run(const JpegSlimSettings& s)
    {
        slim.SetImages(&source, &target);
        return slim.Apply(&s);
    }
    CQLImage source, target;
    JpegSlimmingAlgorithm slim;
};

TEST_F(JpegSlimming, AdaptiveTableFromOneBlockByHand)
{
    // Averages are the block's |AC|: 29, 10, 7, 6 at zigzag 1, 6, 15, 28,
    // M = 29. Entry = round(M S / (dist avg)), S taken by row-major index:
    // 1: 29*11/(1*29) = 11; 6: 29*51/(3*10) = 49.3; 15: 29*55/(5*7) = 45.6;
    // 28: 29*51/(7*6) = 35.2; zero averages give 255; entry 0 is S(0).
    MakeGreyStep(source, 8, 8, 4, 0, 8);
    JpegSlimSettings s = Plain();
    s.adaptive = 1;
    ASSERT_EQ(Run(s), 0);
    const unsigned int* t = slim.GetAdaptiveTable();
    EXPECT_EQ(t[0], 16u);
    EXPECT_EQ(t[1], 11u);
    EXPECT_EQ(t[6], 49u);
    EXPECT_EQ(t[15], 46u);
    EXPECT_EQ(t[28], 35u);
    for (int k : {2, 3, 5, 27, 63})
        EXPECT_EQ(t[k], 255u) << k;
    EXPECT_EQ(Bytes(target), Bytes(source)); // nothing but the analysis ran
}

TEST_F(JpegSlimming, DenoiseShrinksCoefficientsBeforeTheyAreSummed)
{
    // Mean level m = 32 / 8 = 4, c = (128 - 4) / 256, 4c^3 = 0.45457...;
    // |k| - 4c^3 sqrt(i): 29 - 0.45 -> 28, 10 - 1.11 -> 8, 7 - 1.76 -> 5,
    // 6 - 2.41 -> 3. M = 28: 28*11/28 = 11, 28*51/24 = 59.5 -> 60,
    // 28*55/25 = 61.6 -> 62, 28*51/21 = 68.
    // The partial column and row beyond the whole block stay as they were.
    MakeGreyStep(source, 10, 9, 4, 0, 8);
    JpegSlimSettings s = Plain();
    s.adaptive = 1;
    s.dctDenoise = 1;
    ASSERT_EQ(Run(s), 0);
    const unsigned int* t = slim.GetAdaptiveTable();
    EXPECT_EQ(t[1], 11u);
    EXPECT_EQ(t[6], 60u);
    EXPECT_EQ(t[15], 62u);
    EXPECT_EQ(t[28], 68u);
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 10; ++x) {
            if (x >= 8 || y >= 8) {
                ASSERT_EQ(target.GetPixel(x, y), source.GetPixel(x, y)) << x << "," << y;
            }
        }
    // The block itself is the inverse of the shrunk coefficients.
    short coef[64] = {};
    coef[0] = 32;
    const int shrunk[] = {-28, 8, -5, 3};
    for (int i = 0; i < 4; ++i)
        coef[kStepZigzag[i]] = static_cast<short>(shrunk[i]);
    int back[64];
    JpegInverseDct(coef, back, 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            ASSERT_EQ(target.GetBuffer(x, y)[0], std::clamp(back[y * 8 + x], 0, 255)) << x << "," << y;
}

TEST_F(JpegSlimming, ImageWithoutAWholeBlockKeepsTheStandardTable)
{
    MakeGreyStep(source, 7, 30, 3, 10, 200);
    JpegSlimSettings s = Plain();
    s.adaptive = 1;
    s.flags = JpegSlimSettings::kMeasure | JpegSlimSettings::kNoWrite;
    ASSERT_EQ(Run(s), 0);
    for (int k = 0; k < 64; ++k)
        ASSERT_EQ(slim.GetAdaptiveTable()[k], kJpegLuminanceTable[k]);
    EXPECT_GT(slim.jpegSize, 0u);
}

TEST_F(JpegSlimming, ResizeRules)
{
    struct Case {
        int w, h, mode, length, outW, outH;
    };
    const Case cases[] = {
        {40, 30, 1, 20, 20, 15}, {40, 30, 1, 40, 40, 30}, {40, 30, 2, 10, 13, 10}, {40, 30, 2, 30, 40, 30},
        {40, 30, 3, 20, 20, 15}, {30, 40, 3, 20, 15, 20}, {40, 30, 3, 40, 40, 30}, {40, 30, 0, 5, 40, 30},
    };
    for (const Case& c : cases) {
        effecttest::MakePattern(source, c.w, c.h);
        JpegSlimSettings s = Plain();
        s.resizeMode = static_cast<BYTE>(c.mode);
        s.resizeLength = c.length;
        ASSERT_EQ(Run(s), 0);
        UINT w = 0, h = 0;
        target.GetSize(&w, &h);
        EXPECT_EQ(static_cast<int>(w), c.outW) << c.w << "x" << c.h << " mode " << c.mode << " L " << c.length;
        EXPECT_EQ(static_cast<int>(h), c.outH) << c.w << "x" << c.h << " mode " << c.mode << " L " << c.length;
    }
}

TEST_F(JpegSlimming, SmoothingBlendsTheInteriorOnly)
{
    // Grey, so the smoothing stays grey and the YUV round trip is exact.
    source.Create(12, 10);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 12; ++x) {
            const BYTE v = static_cast<BYTE>((x * 53 + y * 29) % 256);
            source.PutPixel(x, y, {v, v, v, static_cast<BYTE>(x * 10)});
        }
    CQLImage smoothed;
    SmoothAlgorithm smooth;
    smooth.SetImages(&source, &smoothed);
    const SmoothParams radius{1};
    ASSERT_EQ(smooth.Apply(&radius), 0);

    JpegSlimSettings s = Plain();
    s.smoothPercent = 30;
    ASSERT_EQ(Run(s), 0);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 12; ++x) {
            const BYTE* t = target.GetBuffer(x, y);
            const BYTE* u = source.GetBuffer(x, y);
            const BYTE* m = smoothed.GetBuffer(x, y);
            const bool frame = x == 0 || y == 0 || x == 11 || y == 9;
            for (int c = 0; c < 3; ++c)
                ASSERT_EQ(t[c], frame ? u[c] : (30 * m[c] + 70 * u[c]) / 100) << x << "," << y;
            ASSERT_EQ(t[3], u[3]);
        }
}

TEST_F(JpegSlimming, MeasuresWithTheSmallerTableAndReportsPsnr)
{
    MakeNoise(source, 64, 48, 7);
    JpegSlimSettings s = Plain();
    s.adaptive = 1;
    s.flags = JpegSlimSettings::kMeasure | JpegSlimSettings::kNoWrite;
    ASSERT_EQ(Run(s), 0);

    const CQLImage processed = Processed(source);
    const DWORD standard = JpegSizeOf(processed, 85);
    const DWORD adaptive = JpegSizeOf(processed, 85, slim.GetAdaptiveTable());
    EXPECT_EQ(slim.jpegSize, std::min(standard, adaptive));
    EXPECT_EQ(slim.usedStandardTable, adaptive < standard ? 0 : 1);

    long long d = 0, e = 0;
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x)
            for (int c = 0; c < 3; ++c) {
                const int a = source.GetBuffer(x, y)[c], b = target.GetBuffer(x, y)[c];
                d += (a - b) * (a - b);
                e += a * a;
            }
    ASSERT_GT(d, 0);
    EXPECT_DOUBLE_EQ(slim.energyRatio, static_cast<double>(e) / d);
    EXPECT_DOUBLE_EQ(slim.psnr, 20 * std::log10(255 / std::sqrt(d / (64.0 * 48))));
}

TEST(JpegSlimmingScore, QualityScoreByHand)
{
    struct Case {
        double psnr;
        int score;
    };
    // sqrt((psnr - 13) x 4): 13 -> 0, 14 -> 2, 13.5625 -> 1.5 -> 2, 22 -> 6, 38 -> 10, 60 -> 10.
    const Case cases[] = {{0, 0}, {13, 0}, {14, 2}, {13.5625, 2}, {13.3, 1}, {22, 6}, {38, 10}, {60, 10}};
    for (const Case& c : cases) {
        JpegSlimmingAlgorithm slim;
        slim.psnr = c.psnr;
        EXPECT_EQ(slim.GetQualityScore(), c.score) << c.psnr;
    }
}

TEST(JpegSlimmingEdges, CountsChromaStepsAboveOneHundred)
{
    // Black and pure blue differ by 127 in byte 1 of the YUV form: one pair
    // per row, none down the columns.
    for (int rows : {100, 101}) {
        CQLImage image;
        image.Create(4, rows);
        for (int y = 0; y < rows; ++y)
            for (int x = 0; x < 4; ++x)
                image.PutPixel(x, y, {static_cast<BYTE>(x < 2 ? 0 : 255), 0, 0, 255});
        EXPECT_EQ(JpegSlimmingAlgorithm::HasStrongEdges(&image), rows > 100 ? 1 : 0) << rows;
    }
    CQLImage empty;
    EXPECT_EQ(JpegSlimmingAlgorithm::HasStrongEdges(&empty), 0);
}

TEST_F(JpegSlimming, SavesTheMeasuredJpegOnlyWhenAsked)
{
    TestDir dir;
    ASSERT_FALSE(dir.path().empty());
    const std::string file = dir / "out.jpg";
    MakeNoise(source, 40, 40, 3);
    JpegSlimSettings s = Plain();
    s.chromaOption = 1;
    ASSERT_TRUE(s.SetPath(file.c_str()));

    s.flags = JpegSlimSettings::kMeasure | JpegSlimSettings::kNoWrite;
    ASSERT_EQ(Run(s), 0);
    EXPECT_GT(slim.jpegSize, 0u);
    EXPECT_FALSE(std::filesystem::exists(file));
    s.flags = 0;
    ASSERT_EQ(Run(s), 0);
    EXPECT_FALSE(std::filesystem::exists(file));

    // Within the budget: saved at the quality, the file as measured.
    s.flags = JpegSlimSettings::kMeasure;
    s.sizeMode = 1;
    s.targetKB = 1000;
    ASSERT_EQ(Run(s), 0);
    ASSERT_TRUE(std::filesystem::exists(file));
    EXPECT_EQ(std::filesystem::file_size(file), slim.jpegSize);
    EXPECT_EQ(slim.jpegSize, JpegSizeOf(Processed(source), 185));
    EXPECT_EQ(slim.chosenQuality, 0);

    // The source cannot be the target.
    slim.SetImages(&source, &source);
    EXPECT_EQ(slim.Apply(&s), E_FAIL);

    // A path field without its zero is refused before anything is touched.
    const std::vector<BYTE> before = Bytes(target);
    std::memset(s.path, 'x', sizeof s.path);
    EXPECT_EQ(Run(s), E_FAIL);
    EXPECT_EQ(Bytes(target), before);
}

// The file is the JPEG that was measured, byte for byte, with the table that
// won; a file that cannot be written fails the save and leaves nothing.
TEST_F(JpegSlimming, SavedFileIsTheMeasuredJpeg)
{
    TestDir dir;
    const std::string file = dir / "measured.jpg";
    MakeNoise(source, 64, 48, 21);
    JpegSlimSettings s = Plain();
    s.adaptive = 1;
    s.flags = JpegSlimSettings::kMeasure;
    ASSERT_TRUE(s.SetPath(file.c_str()));
    ASSERT_EQ(Run(s), 0);

    CQLImageCodec codec;
    if (!slim.usedStandardTable)
        codec.SetJpegAdaptiveQTable(slim.GetAdaptiveTable());
    const CQLImage processed = Processed(source);
    BYTE* bytes = nullptr;
    DWORD length = 0;
    ASSERT_NE(codec.SaveToJpegMem(&bytes, &length, &processed, 85), 0);
    const std::vector<BYTE> expected(bytes, bytes + length);
    delete[] bytes;
    std::ifstream in(file, std::ios::binary);
    const std::vector<BYTE> written((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(written.size(), slim.jpegSize);
    EXPECT_TRUE(written == expected);

    const std::string missing = (dir / "no folder") + "/x.jpg";
    ASSERT_TRUE(s.SetPath(missing.c_str()));
    EXPECT_EQ(Run(s), E_FAIL);
    EXPECT_FALSE(std::filesystem::exists(dir / "no folder"));
}

TEST_F(JpegSlimming, QualitySearchEveryStepTooLargeEndsAtOne)
{
    // quality 8, limit 0: mid 4, 2, 1, 0 are all too large; best stays 1.
    TestDir dir;
    const std::string file = dir / "q.jpg";
    MakeNoise(source, 32, 24, 11);
    JpegSlimSettings s = Plain();
    s.quality = 8;
    s.sizeMode = 2;
    s.targetKB = 0;
    s.flags = JpegSlimSettings::kMeasure;
    ASSERT_TRUE(s.SetPath(file.c_str()));
    ASSERT_EQ(Run(s), 0);
    EXPECT_EQ(slim.chosenQuality, 1);
    EXPECT_EQ(slim.jpegSize, JpegSizeOf(Processed(source), 1));
    EXPECT_EQ(std::filesystem::file_size(file), slim.jpegSize);
}

TEST_F(JpegSlimming, QualitySearchMeetsAReachableBudget)
{
    MakeNoise(source, 64, 64, 5);
    JpegSlimSettings s = Plain();
    s.quality = 90;
    s.sizeMode = 2;
    s.flags = JpegSlimSettings::kMeasure | JpegSlimSettings::kNoWrite;
    s.targetKB = static_cast<INT>(JpegSizeOf(source, 40) / 1024);
    ASSERT_GT(s.targetKB, 0);
    ASSERT_EQ(Run(s), 0);
    EXPECT_GT(slim.chosenQuality, 1);
    EXPECT_LT(slim.chosenQuality, 90);
    EXPECT_LE(slim.jpegSize, static_cast<DWORD>(s.targetKB) * 1024);
    EXPECT_EQ(slim.jpegSize, JpegSizeOf(Processed(source), slim.chosenQuality));
}

TEST_F(JpegSlimming, ScaleFitShrinksUntilTheFileFits)
{
    TestDir dir;
    const std::string file = dir / "fit.jpg";
    MakeNoise(source, 160, 120, 9);
    JpegSlimSettings s = Plain();
    s.sizeMode = 1;
    s.targetKB = static_cast<INT>(JpegSizeOf(source, 85) / 1024 / 3);
    s.flags = JpegSlimSettings::kMeasure;
    ASSERT_TRUE(s.SetPath(file.c_str()));
    ASSERT_EQ(Run(s), 0);
    UINT w = 0, h = 0;
    target.GetSize(&w, &h);
    EXPECT_LT(w, 160u);
    EXPECT_LT(h, 120u);
    EXPECT_LE(slim.jpegSize, static_cast<DWORD>(s.targetKB) * 1024);
    EXPECT_EQ(std::filesystem::file_size(file), slim.jpegSize);
}

TEST_F(JpegSlimming, ScaleFitThatCannotBeMetEnds)
{
    // Noise at full quality never gets under 1 KB before a side falls below 8.
    TestDir dir;
    const std::string file = dir / "never.jpg";
    MakeNoise(source, 96, 96, 13);
    JpegSlimSettings s = Plain();
    s.quality = 100;
    s.chromaOption = 1;
    s.sizeMode = 1;
    s.targetKB = 1;
    s.flags = JpegSlimSettings::kMeasure;
    ASSERT_TRUE(s.SetPath(file.c_str()));
    const HRESULT hr = Run(s);
    if (hr == 0) {
        EXPECT_LE(slim.jpegSize, 1024u);
    } else {
        EXPECT_EQ(hr, E_FAIL);
        EXPECT_FALSE(std::filesystem::exists(file));
    }
    s.targetKB = 0; // no budget at all
    EXPECT_EQ(Run(s), E_FAIL);
}

TEST_F(JpegSlimming, ScaleFitFromAnExtraImageStopsWhenItWouldNotShrink)
{
    // The fit scales the first extra image when there is one. Too small a
    // side, or a size not below the photo being fitted, ends it with E_FAIL
    // and no file.
    TestDir dir;
    const std::string file = dir / "extra.jpg";
    MakeNoise(source, 96, 96, 21);
    JpegSlimSettings s = Plain();
    s.sizeMode = 1;
    s.targetKB = 1;
    s.flags = JpegSlimSettings::kMeasure;
    ASSERT_TRUE(s.SetPath(file.c_str()));
    ASSERT_GT(JpegSizeOf(source, 85), 4u * 1024); // so e < 0.5
    CQLImage tiny, large;
    MakeNoise(tiny, 9, 9, 1);   // 9 e < 8
    MakeNoise(large, 400, 400, 2); // 400 e > 96
    for (CQLImage* extra : {&tiny, &large}) {
        slim.ClearImages();
        slim.AddImage(extra);
        EXPECT_EQ(Run(s), E_FAIL);
        EXPECT_FALSE(std::filesystem::exists(file));
    }
}

TEST(JpegSize, MeasuresAndDecodesBack)
{
    CQLImage source, target;
    MakeNoise(source, 24, 16, 1);
    JpegSizeAlgorithm size;
    size.SetImages(&source, &target);
    const INT quality = 70;
    ASSERT_EQ(size.Apply(&quality), 0);
    EXPECT_EQ(size.quality, 70);
    BYTE* bytes = nullptr;
    DWORD length = 0;
    CQLImageCodec codec;
    ASSERT_NE(codec.SaveToJpegMem(&bytes, &length, &source, 70), 0);
    CQLImage decoded;
    ASSERT_NE(CQLImageCodec::DecodeJpegMem(bytes, length, &decoded), 0);
    delete[] bytes;
    EXPECT_EQ(size.GetJpegSize(), length);
    EXPECT_EQ(Bytes(target), Bytes(decoded));

    // Size only leaves the target alone.
    CQLImage other;
    MakeFlat(other, 3, 3, 9);
    const std::vector<BYTE> before = Bytes(other);
    size.SetImages(&source, &other);
    size.SetSizeOnly(1);
    ASSERT_EQ(size.Apply(&quality), 0);
    EXPECT_EQ(Bytes(other), before);
    EXPECT_EQ(size.GetJpegSize(), length);
}
