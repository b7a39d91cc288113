// The RAW steps on DNG files written by the tests: a mosaic and a linear
// one, each with a camera white balance and an embedded preview.
#include "develop/DevelopState.h"
#include "develop/DevelopSteps.h"
#include "develop/DevelopTexts.h"

#include "RawTestFiles.h"
#include "editor/shell/ExifInfo.h"
#include "imagecore/QLImage.h"
#include "platform/codec/QLImageCodec.h"
#include "platform/raw/RawDevelop.h"
#include "platform/raw/RawParser.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using develop::DevelopState;

class RecordingBar : public develop::ProgressSink {
public:
    void SetText(const char* text) override { events.push_back(std::string("text:") + text); }
    void SetPercent(int percent) override { events.push_back(std::to_string(percent)); }
    std::vector<std::string> events;
};

std::vector<UINT> g_library;
UINT RecordLibrary(UINT type, UINT value)
{
    if (type == 1)
        g_library.push_back(value);
    return 0;
}

std::string Text(const char* key) { return std::string("text:") + develop::Texts().GetText(key); }

class DevelopStepsTest : public testing::Test {
protected:
    void SetUp() override
    {
        dir_ = fs::temp_directory_path() /
               ("qldevelop-" + std::to_string(::getpid()) + "-" +
                testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string Dng(const char* name, bool mosaic)
    {
        RawTestDng dng;
        dng.mosaic = mosaic;
        dng.cameraWhiteBalance = true;
        dng.previewWidth = 32;
        const std::string path = (dir_ / name).string();
        EXPECT_TRUE(WriteRawTestDng(path, dng));
        return path;
    }

    // Step 1, then Step 2 when the data are a mosaic.
    develop::LoadOutcome Develop(DevelopState& state, const std::string& path, RecordingBar* bar2 = nullptr)
    {
        state.rawPath = path;
        RecordingBar bar;
        const develop::LoadOutcome outcome = develop::LoadRawStep(0, bar, state);
        if (outcome.loaded != 0 && !outcome.skipInterpolation) {
            develop::InterpolateRequest request{3, bar2, RecordLibrary, &state.developed};
            develop::InterpolateJob(&request);
        }
        return outcome;
    }

    fs::path dir_;
};

TEST_F(DevelopStepsTest, MosaicLoadsThenInterpolates)
{
    DevelopState state;
    state.rawPath = Dng("mosaic.dng", true);
    RecordingBar bar;
    const develop::LoadOutcome outcome = develop::LoadRawStep(0, bar, state);
    EXPECT_EQ(outcome.loaded, 1);
    EXPECT_TRUE(outcome.threeColour);
    EXPECT_FALSE(outcome.skipInterpolation);
    EXPECT_EQ(bar.events, (std::vector<std::string>{Text("loadccd"), "5", "95"}));
    EXPECT_EQ(state.developed.GetWidth(), 0) << "nothing developed before Step 2";

    RecordingBar bar2;
    g_library.clear();
    develop::InterpolateRequest request{2, &bar2, RecordLibrary, &state.developed};
    EXPECT_EQ(develop::InterpolateJob(&request), 0u);
    EXPECT_EQ(bar2.events,
              (std::vector<std::string>{Text("interpolate"), "2", Text("convertrgb"), "5", "65"}));
    ASSERT_FALSE(g_library.empty());
    EXPECT_EQ(g_library.back(), 100u);
    for (std::size_t i = 1; i < g_library.size(); ++i)
        EXPECT_LE(g_library[i - 1], g_library[i]);
    EXPECT_EQ(state.developed.GetWidth(), 64);
    EXPECT_EQ(state.developed.GetHeight(), 48);
    const C16BitPixel mid = state.developed.GetPixel(32, 24);
    EXPECT_GT(mid.r + mid.g + mid.b, 0);
}

TEST_F(DevelopStepsTest, LinearFileSkipsInterpolation)
{
    DevelopState state;
    state.rawPath = Dng("linear.dng", false);
    RecordingBar bar;
    const develop::LoadOutcome outcome = develop::LoadRawStep(1, bar, state);
    EXPECT_EQ(outcome.loaded, 2);
    EXPECT_TRUE(outcome.skipInterpolation);
    EXPECT_FALSE(outcome.threeColour);
    EXPECT_EQ(bar.events, (std::vector<std::string>{Text("loadccd"), "5", "40", Text("convertrgb"), "80", "95"}));
    EXPECT_EQ(state.developed.GetWidth(), 64);
    EXPECT_EQ(state.developed.GetHeight(), 48);
}

TEST_F(DevelopStepsTest, TheFilesCarryAPreviewAndTheWhiteBalanceChoiceCounts)
{
    for (const bool mosaic : {true, false}) {
        const std::string path = Dng(mosaic ? "mosaic.dng" : "linear.dng", mosaic);
        CQLImage thumb;
        EXPECT_EQ(CRawParser().LoadThumbnail(path.c_str(), &thumb), 0) << path;
        DevelopState camera, automatic;
        camera.rawPath = automatic.rawPath = path;
        RecordingBar bar;
        ASSERT_NE(develop::LoadRawStep(0, bar, camera).loaded, 0);
        if (mosaic) {
            develop::InterpolateRequest request{1, nullptr, nullptr, &camera.developed};
            develop::InterpolateJob(&request);
        }
        ASSERT_NE(develop::LoadRawStep(1, bar, automatic).loaded, 0);
        if (mosaic) {
            develop::InterpolateRequest request{1, nullptr, nullptr, &automatic.developed};
            develop::InterpolateJob(&request);
        }
        ASSERT_EQ(camera.developed.GetWidth(), automatic.developed.GetWidth());
        const C16BitPixel a = camera.developed.GetPixel(20, 20), b = automatic.developed.GetPixel(20, 20);
        EXPECT_TRUE(a != b) << "camera and automatic white balance develop alike in " << path;
    }
}

TEST_F(DevelopStepsTest, FailedLoadLeavesTheDevelopedImage)
{
    DevelopState state;
    ASSERT_EQ(state.developed.Create(5, 4), 1);
    const std::string bad = (dir_ / "not-raw.dng").string();
    FILE* f = std::fopen(bad.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("not a raw file at all", f);
    std::fclose(f);
    for (const std::string& path : {bad, (dir_ / "missing.cr2").string()}) {
        state.rawPath = path;
        RecordingBar bar;
        EXPECT_EQ(develop::LoadRawStep(0, bar, state).loaded, 0) << path;
        EXPECT_EQ(state.developed.GetWidth(), 5);
    }
}

TEST_F(DevelopStepsTest, FailedInterpolationLeavesNoEarlierPhoto)
{
    // A linear file leaves nothing to interpolate: Step 2 must not keep the
    // image of the photo before.
    DevelopState state;
    ASSERT_EQ(state.developed.Create(5, 4), 1);
    state.rawPath = Dng("linear.dng", false);
    RecordingBar bar;
    develop::LoadRawStep(0, bar, state);
    CRawParser().Close();
    develop::InterpolateRequest request{3, nullptr, nullptr, &state.developed};
    develop::InterpolateJob(&request);
    EXPECT_EQ(state.developed.GetWidth(), 0);
}

TEST_F(DevelopStepsTest, SharpeningFiftyIsTheEditorsDirectOpen)
{
    const std::string path = Dng("mosaic.dng", true);
    DevelopState state;
    Develop(state, path);
    CQLImage ours, editors;
    ASSERT_TRUE(develop::ConvertTo8Bit(state.developed, &ours, 50));
    ASSERT_TRUE(LoadRawAs8Bit(path.c_str(), false, editors));
    UINT w1 = 0, h1 = 0, w2 = 0, h2 = 0;
    ours.GetSize(&w1, &h1);
    editors.GetSize(&w2, &h2);
    ASSERT_EQ(w1, w2);
    ASSERT_EQ(h1, h2);
    EXPECT_EQ(std::memcmp(ours.GetBuffer(0, 0), editors.GetBuffer(0, 0), ours.GetAreaByteSize()), 0);
}

TEST_F(DevelopStepsTest, CommandLineOutputIsAJpegWithShootingData)
{
    struct Case {
        const char* name;
        bool mosaic;
    };
    for (const Case& c : {Case{"mosaic.dng", true}, Case{"linear.dng", false}}) {
        DevelopState state;
        Develop(state, Dng(c.name, c.mosaic));
        const std::string out = (dir_ / (std::string(c.name) + ".jpg")).string();
        CQLImage image;
        EXPECT_EQ(develop::WriteCommandLineOutput(state.developed, out.c_str(), image),
                  develop::OutputResult::kWritten);
        EXPECT_EQ(CQLImageCodec::GetFileType(out.c_str()), static_cast<DWORD>(QL_FILE_JPEG));
        ExifInfo exif;
        ASSERT_EQ(exif.ReadFromFile(out.c_str()), 1) << c.name;
        EXPECT_STREQ(exif.GetFields().make, "Quillotest");
        EXPECT_STREQ(exif.GetFields().model, "Sensor One");
        CQLImage back;
        ASSERT_TRUE(CQLImageCodec().LoadFile(out.c_str(), &back));
        UINT w = 0, h = 0;
        back.GetSize(&w, &h);
        EXPECT_EQ(w, 64u);
        EXPECT_EQ(h, 48u);
    }
}

TEST_F(DevelopStepsTest, CommandLineOutputWritesOnlyJpeg)
{
    DevelopState state;
    Develop(state, Dng("mosaic.dng", true));
    const std::string tif = (dir_ / "out.tif").string();
    CQLImage image;
    EXPECT_EQ(develop::WriteCommandLineOutput(state.developed, tif.c_str(), image), develop::OutputResult::kNotJpeg);
    EXPECT_FALSE(fs::exists(tif));

    const std::string jpg = (dir_ / "no-such-folder" / "out.jpg").string();
    EXPECT_EQ(develop::WriteCommandLineOutput(state.developed, jpg.c_str(), image),
              develop::OutputResult::kSaveFailed);

    C16BitBitmap empty;
    const std::string nothing = (dir_ / "empty.jpg").string();
    EXPECT_EQ(develop::WriteCommandLineOutput(empty, nothing.c_str(), image), develop::OutputResult::kSaveFailed);
    EXPECT_FALSE(fs::exists(nothing));
}

} // namespace
