#include "platform/raw/RawDevelop.h"
#include "platform/raw/RawParser.h"
#include "RawTestFiles.h"

#include "imagecore/16BitBitmap.h"
#include "imagecore/QLImage.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <vector>

namespace {

namespace fs = std::filesystem;

class RawParserTest : public testing::Test {
protected:
    void SetUp() override
    {
        dir_ = fs::temp_directory_path() / ("qlraw-" + std::to_string(::getpid()) + "-" +
                                            testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string Dng(const char* name, const RawTestDng& dng)
    {
        const std::string path = (dir_ / name).string();
        EXPECT_TRUE(WriteRawTestDng(path, dng));
        return path;
    }

    fs::path dir_;
};

std::vector<UINT> g_progress;
UINT RecordProgress(UINT code, UINT value)
{
    if (code == 1)
        g_progress.push_back(value);
    return 0;
}

TEST_F(RawParserTest, MosaicDngDevelopsWithProgressAndMembers)
{
    const std::string path = Dng("mosaic.dng", {});
    CRawParser parser;
    parser.SetAutoBalance(0);
    ASSERT_EQ(parser.LoadCCDDataOnly(path.c_str(), nullptr), 1);
    EXPECT_NE(parser.m_nThreeColor, 0);
    EXPECT_STREQ(parser.m_szMake, "Quillotest");
    EXPECT_STREQ(parser.m_szModel, "Sensor One");
    EXPECT_STREQ(parser.m_szDateTime, "2021:06:15 10:20:30");

    g_progress.clear();
    parser.SetCallback(RecordProgress);
    ASSERT_EQ(parser.Interpolate(3), 1);
    parser.SetCallback(nullptr);
    ASSERT_FALSE(g_progress.empty());
    EXPECT_EQ(g_progress.back(), 100u);
    for (std::size_t i = 1; i < g_progress.size(); ++i)
        EXPECT_LE(g_progress[i - 1], g_progress[i]);

    EXPECT_EQ(parser.FinalConvert(), 1);
    C16BitBitmap bitmap;
    ASSERT_EQ(parser.ImageToBitmap(&bitmap), 1);
    EXPECT_EQ(bitmap.GetWidth(), 64);
    EXPECT_EQ(bitmap.GetHeight(), 48);
    parser.UniformImage(&bitmap);
    parser.Close();
    // Red grows to the right, green downwards: the scene survives development.
    EXPECT_LT(bitmap.GetPixel(4, 24).r, bitmap.GetPixel(60, 24).r);
    EXPECT_LT(bitmap.GetPixel(32, 4).g, bitmap.GetPixel(32, 44).g);
}

TEST_F(RawParserTest, LinearDngNeedsNoInterpolation)
{
    RawTestDng dng;
    dng.mosaic = false;
    const std::string path = Dng("linear.dng", dng);
    CRawParser parser;
    ASSERT_EQ(parser.LoadCCDDataOnly(path.c_str(), nullptr), 2);
    EXPECT_EQ(parser.m_nThreeColor, 0);
    ASSERT_EQ(parser.FinalConvert(), 1);
    C16BitBitmap bitmap;
    ASSERT_EQ(parser.ImageToBitmap(&bitmap), 1);
    EXPECT_EQ(bitmap.GetWidth(), 64);
    parser.Close();
    // Loaded data belong to the library: after Close nothing is left to convert.
    CRawParser later;
    EXPECT_EQ(later.ImageToBitmap(&bitmap), 0);
}

TEST_F(RawParserTest, LoadedDataBelongToTheLibrary)
{
    const std::string path = Dng("shared.dng", {});
    {
        CRawParser loader;
        ASSERT_EQ(loader.LoadCCDDataOnly(path.c_str(), nullptr), 1);
    }
    CRawParser developer;
    ASSERT_EQ(developer.Interpolate(1), 1);
    C16BitBitmap bitmap;
    EXPECT_EQ(developer.ImageToBitmap(&bitmap), 1);
    developer.Close();
    CRawParser::Stop();
    CRawParser::Stop();
    CRawParser::Start();
    CRawParser::Start();
}

TEST_F(RawParserTest, BadFilesAreRefused)
{
    const std::string good = Dng("whole.dng", {});
    const std::string truncated = (dir_ / "truncated.dng").string();
    fs::copy_file(good, truncated);
    fs::resize_file(truncated, fs::file_size(good) / 2);
    const std::string noise = (dir_ / "noise.nef").string();
    {
        std::mt19937 random(7);
        std::ofstream out(noise, std::ios::binary);
        for (int i = 0; i < 50000; ++i)
            out.put(static_cast<char>(random()));
    }
    for (const std::string& path : {truncated, noise, (dir_ / "missing.cr2").string()}) {
        CRawParser parser;
        EXPECT_EQ(parser.LoadCCDDataOnly(path.c_str(), nullptr), 0) << path;
        EXPECT_EQ(parser.Interpolate(3), 0);
        C16BitBitmap bitmap;
        EXPECT_EQ(parser.ImageToBitmap(&bitmap), 0);
        CQLImage thumb;
        EXPECT_EQ(parser.LoadThumbnail(path.c_str(), &thumb), 1) << path;
        C16BitBitmap developed;
        EXPECT_FALSE(DevelopRawFile(path.c_str(), false, developed));
        int w = 1, h = 1;
        EXPECT_FALSE(RawFileShape(path.c_str(), w, h));
    }
}

TEST_F(RawParserTest, ThumbnailOfADngWithoutPreview)
{
    const std::string path = Dng("plain.dng", {});
    CRawParser parser;
    CQLImage thumb;
    EXPECT_EQ(parser.LoadThumbnail(path.c_str(), &thumb), 2);
}

TEST_F(RawParserTest, ThumbnailOfAJpegIsNotRaw)
{
    const std::string path = (dir_ / "photo.jpg").string();
    {
        // SOI, APP0 "JFIF", EOI: a JPEG to LibRaw's eyes is no RAW.
        const unsigned char bytes[] = {0xFF, 0xD8, 0xFF, 0xE0, 0, 16, 'J', 'F', 'I', 'F', 0, 1, 1, 0, 0, 1, 0, 1, 0, 0,
                                       0xFF, 0xD9};
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes), sizeof bytes);
    }
    CRawParser parser;
    CQLImage thumb;
    EXPECT_EQ(parser.LoadThumbnail(path.c_str(), &thumb), 1);
}

// Red and blue against green at the middle of the scene (24000, 24000, 14000
// before any balance), developed through the loaded library state.
struct Balance {
    double redToGreen;
    double blueToGreen;
};

Balance DevelopedBalance(const std::string& path, int autoBalance)
{
    CRawParser parser;
    parser.SetAutoBalance(autoBalance);
    C16BitBitmap bitmap;
    const int loaded = parser.LoadCCDDataOnly(path.c_str(), nullptr);
    if (loaded == 1)
        parser.Interpolate(3);
    parser.FinalConvert();
    const bool ok = loaded != 0 && parser.ImageToBitmap(&bitmap) == 1;
    parser.Close();
    if (!ok)
        return {0, 0};
    const C16BitPixel p = bitmap.GetPixel(32, 24);
    return {double(p.r) / p.g, double(p.b) / p.g};
}

TEST_F(RawParserTest, WhiteBalanceChoiceOnFilesWithAndWithoutARecordedOne)
{
    // Without a recorded balance the camera's choice keeps the colours as the
    // matrix gives them (the scene's own 1 and 14 / 24); a recorded neutral of
    // (0.55, 1, 0.8) scales red by 1 / 0.55 and blue by 1 / 0.8; automatic
    // balance pulls the scene's average towards grey, lifting blue.
    const struct {
        bool mosaic;
        bool recorded;
        int autoBalance;
        Balance expected;
        double tolerance;
    } cases[] = {
        {true, false, 0, {1.0, 14.0 / 24}, 0.03},
        {false, false, 0, {1.0, 14.0 / 24}, 0.03},
        {true, true, 0, {1 / 0.55, 14.0 / 24 / 0.8}, 0.03},
        {false, true, 0, {1 / 0.55, 14.0 / 24 / 0.8}, 0.03},
        {true, false, 1, {1.0, 1.0}, 0.2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "mosaic " << c.mosaic << " recorded " << c.recorded << " auto " << c.autoBalance);
        RawTestDng dng;
        dng.mosaic = c.mosaic;
        dng.cameraWhiteBalance = c.recorded;
        const Balance got = DevelopedBalance(Dng("balance.dng", dng), c.autoBalance);
        EXPECT_NEAR(got.redToGreen, c.expected.redToGreen, c.tolerance);
        EXPECT_NEAR(got.blueToGreen, c.expected.blueToGreen, c.tolerance);
    }
    // The stateless development takes the camera's choice the same way.
    RawTestDng dng;
    C16BitBitmap bitmap;
    ASSERT_TRUE(DevelopRawFile(Dng("stateless.dng", dng).c_str(), false, bitmap));
    const C16BitPixel p = bitmap.GetPixel(32, 24);
    EXPECT_NEAR(double(p.b) / p.g, 14.0 / 24, 0.03);
}

TEST(UniformRawImage, OnePercentReachesFullScaleNeverDarker)
{
    C16BitBitmap bitmap;
    ASSERT_EQ(bitmap.Create(10, 10), 1);
    for (int i = 0; i < 100; ++i)
        *bitmap.GetBuffer(i % 10, i / 10) = C16BitPixel{WORD(i * 100), WORD(i * 50), WORD(i * 10)};
    CRawParser parser;
    parser.UniformImage(&bitmap);
    // The brightest pixel (b 9900) is the top 1 %: it reaches 65535 and the
    // others scale by 65535 / 9900.
    EXPECT_EQ(bitmap.GetPixel(9, 9).b, 65535);
    EXPECT_NEAR(bitmap.GetPixel(0, 5).b, 5000.0 * 65535 / 9900, 2);
    EXPECT_NEAR(bitmap.GetPixel(0, 5).g, 2500.0 * 65535 / 9900, 2);

    // Already at full scale: left alone.
    C16BitBitmap bright;
    ASSERT_EQ(bright.Create(2, 1), 1);
    *bright.GetBuffer(0, 0) = C16BitPixel{65535, 10, 10};
    *bright.GetBuffer(1, 0) = C16BitPixel{1000, 2000, 3000};
    parser.UniformImage(&bright);
    EXPECT_EQ(bright.GetPixel(1, 0).r, 3000);
}

TEST(RawCorpus, RealCameraFile)
{
    const std::string path = std::string(QUILLO_CORPUS_DIR) + "/raw/kodak_dc50.kdc";
    if (!fs::exists(path))
        GTEST_SKIP() << "corpus absent";
    int w = 0, h = 0;
    ASSERT_TRUE(RawFileShape(path.c_str(), w, h));
    C16BitBitmap bitmap;
    ASSERT_TRUE(DevelopRawFile(path.c_str(), false, bitmap));
    EXPECT_EQ(bitmap.GetWidth(), w);
    EXPECT_EQ(bitmap.GetHeight(), h);
}

} // namespace
