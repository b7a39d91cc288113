// The batch runner: sizes, names, date texts and pixels, and whole runs on
// small photos made here (and on the camera corpus when it is present).
#include "album/tools/BatchRunner.h"

#include "algorithms/ChannelMixerAlgorithm.h"
#include "algorithms/FilmAspectAdjustAlgorithm.h"
#include "algorithms/HsbCurveAlgorithm.h"
#include "algorithms/MonoToneAlgorithm.h"
#include "editor/shell/tests/ExifTestSupport.h"
#include "imagecore/ParallelFor.h"
#include "platform/codec/QLImageCodec.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <optional>
#include <random>

using namespace shelf;
namespace fs = std::filesystem;

namespace {

std::vector<std::string> FilesIn(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

void Fill(CQLImage& image, int w, int h, unsigned seed)
{
    image.Create(w, h);
    std::mt19937 rng(seed);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.PutPixel(x, y, CPixel{static_cast<BYTE>(rng()), static_cast<BYTE>(rng()), static_cast<BYTE>(rng()), 255});
}

std::string WritePhoto(const std::string& path, int w, int h, unsigned seed = 1)
{
    CQLImage image;
    Fill(image, w, h, seed);
    CQLImageCodec codec;
    EXPECT_TRUE(codec.SaveFile(path.c_str(), &image));
    return path;
}

std::pair<int, int> Shape(const std::string& path)
{
    int w = 0, h = 0;
    CQLImageCodec::GetFileShape(path.c_str(), &w, &h);
    return {w, h};
}

class BatchRunnerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        program = folder.File("program") + "/";
        fs::create_directories(program);
        src = folder.File("src") + "/";
        fs::create_directories(src);
        out = folder.File("out") + "/";
        Rebuild();
    }
    void Rebuild() { BuildActionTable(program, table, resources); }
    BatchAction& Action(int id) { return *FindAction(table, id); }
    template <class T> T& Param(int id, const char* name) { return *static_cast<T*>(Action(id).Find(name)); }
    // The chain in table order, "Save" last as the list keeps it.
    std::unique_ptr<BatchRunner> Runner(std::vector<int> ids, std::vector<std::string> files, BatchOutput output = {})
    {
        std::vector<int> chain;
        for (int id : ids)
            for (size_t i = 0; i < table.size(); ++i)
                if (table[i].id == id)
                    chain.push_back(static_cast<int>(i));
        if (output.folder.empty())
            output.folder = out;
        auto runner = std::make_unique<BatchRunner>(table, resources);
        runner->SetChain(chain);
        runner->SetFiles(std::move(files));
        runner->SetOutput(output);
        return runner;
    }

    exiftest::TempFolder folder;
    std::string program, src, out;
    ActionTable table;
    BatchResources resources;
};

struct ResizeCase {
    int id;
    const char* param;
    int value, w, h, tw, th;
};

TEST_F(BatchRunnerTest, ResizeSizes)
{
    const ResizeCase cases[] = {
        {kResizeByLongSide, "Long side", 640, 1000, 1000, 640, 640},
        {kResizeByLongSide, "Long side", 640, 1200, 800, 640, 426},
        {kResizeByLongSide, "Long side", 640, 800, 1200, 426, 640},
        {kResizeByPixels, "Pixel number", 300000, 1000, 750, 632, 474},
        {kResizeByWidth, "Width", 640, 1280, 960, 640, 480},
        {kResizeByWidth, "Width", 640, 5000, 2, 640, 1}, // never 0 high
        {kResizeBySize, "Height", 300, 1000, 1000, 640, 300},
    };
    for (const auto& c : cases) {
        Param<IntParam>(c.id, c.param).number = c.value;
        EXPECT_EQ(ResizeTarget(Action(c.id), c.w, c.h), std::make_pair(c.tw, c.th)) << c.id << " " << c.w << "x" << c.h;
    }
}

TEST_F(BatchRunnerTest, ActionRangesSplitTheBarByChainLength)
{
    EXPECT_EQ(ActionRange(0, 3), std::make_pair(25, 50));
    EXPECT_EQ(ActionRange(2, 3), std::make_pair(75, 100));
    EXPECT_EQ(ActionRange(0, 1), std::make_pair(50, 100));
}

TEST_F(BatchRunnerTest, DateTexts)
{
    struct Case { int y, m, d, style, order; const char* text; };
    const Case cases[] = {
        {2004, 5, 3, 1, 2, "03/05/2004"}, {2004, 5, 3, 2, 3, "2004 05"}, {2004, 5, 3, 0, 0, "2004-05-03"},
        {2004, 5, 3, 0, 1, "05-03-2004"}, {2004, 5, 3, 1, 4, "05/2004"},  {0, 5, 3, 0, 0, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatDateText(c.y, c.m, c.d, c.style, c.order), c.text);
}

TEST_F(BatchRunnerTest, OutputNames)
{
    struct Case {
        const char* name;
        BatchOutput output;
        int format, renameOnly;
        std::vector<std::string> names;
    };
    const std::string dir = "/d";
    const Case cases[] = {
        {"NumberAsPrefix", {false, dir, false, true, "a", true}, 0, 0, {"/d/a_0001.jpg", "/d/a_0002.jpg"}},
        {"NumberAsSuffix", {false, dir, false, true, "a", false}, 0, 0, {"/d/_0001a.jpg", "/d/_0002a.jpg"}},
        {"OriginalName", {false, dir + "/", true, false, "", false}, 0, 0, {"/d/one.jpg", "/d/two.jpg"}},
        {"Tiff", {false, dir, true, false, "", false}, 1, 0, {"/d/one.tif", "/d/two.tif"}},
        {"Bmp", {false, dir, true, true, "", false}, 2, 0, {"/d/one_0001.bmp", "/d/two_0002.bmp"}},
        {"RenameOnlyKeepsTheExtension", {false, dir, true, false, "x", false}, 0, 1, {"/d/onex.png", "/d/twox.JPG"}},
        {"Overwrite", {true, dir, true, true, "x", true}, 0, 0, {"/s/one.png", "/s/two.JPG"}},
    };
    for (const auto& c : cases) {
        Param<EnumParam>(kSave, "Format").index = c.format;
        Param<EnumParam>(kSave, "Rename only").index = c.renameOnly;
        auto runner = Runner({kSave}, {"/s/one.png", "/s/two.JPG"}, c.output);
        for (int i = 0; i < 2; ++i)
            EXPECT_EQ(runner->MakeOutputName(i, i), c.names[i]) << c.name;
    }
}

TEST_F(BatchRunnerTest, StartRefusals)
{
    BatchOutput noFolder;
    noFolder.folder = "/";
    EXPECT_EQ(Runner({kSave}, {"/s/a.jpg"}, noFolder)->Prepare(), BatchCheck::NoFolder);
    EXPECT_EQ(Runner({}, {"/s/a.jpg"})->Prepare(), BatchCheck::NoAction);
    EXPECT_EQ(Runner({kRotateLeft}, {"/s/a.jpg"})->Prepare(), BatchCheck::NoSave);
    EXPECT_EQ(Runner({kSave}, {})->Prepare(), BatchCheck::NoFiles);
    // Neither name part: the original name is switched on.
    BatchOutput bare;
    bare.originalName = false;
    auto runner = Runner({kSave}, {"/s/a.jpg"}, bare);
    EXPECT_EQ(runner->Prepare(), BatchCheck::Ok);
    EXPECT_TRUE(runner->Output().originalName);
}

// Pixels of "Add date" per colour on a 5 x 5 text with one dark pixel in the
// middle: its four neighbours are the outline.
TEST_F(BatchRunnerTest, DateStampPixelsPerColour)
{
    CQLImage text;
    text.Create(5, 5);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x)
            text.PutPixel(x, y, CPixel{255, 255, 255, 255});
    text.PutPixel(2, 2, CPixel{0, 0, 0, 255});
    text.PutPixel(0, 0, CPixel{0, 0, 0, 255});
    struct Case { int colour; CPixel middle, outline; BYTE middleAlpha; };
    const Case cases[] = {
        {0, {0, 0, 0, 0}, {255, 255, 255, 255}, 9},
        {1, {254, 254, 254, 0}, {0, 0, 0, 255}, 9},
        {2, {0, 0, 254, 0}, {100, 100, 100, 9}, 9},
    };
    for (const auto& c : cases) {
        CQLImage target;
        target.Create(40, 40); // W / 50 = 0: the text's corner lands on row 0 and column 0
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 40; ++x)
                target.PutPixel(x, y, CPixel{100, 100, 100, 9});
        CompositeDateText(target, text, 0, 0, c.colour);
        const CPixel middle = target.GetPixel2(2, 2), outline = target.GetPixel2(3, 2);
        EXPECT_EQ(middle, c.middle) << c.colour;
        EXPECT_EQ(middle.a, c.middleAlpha) << c.colour;
        EXPECT_EQ(outline, c.outline) << c.colour;
        EXPECT_EQ(outline.a, c.outline.a) << c.colour;
        EXPECT_EQ(target.GetPixel2(1, 1), (CPixel{100, 100, 100, 9})) << "no outline off the dark pixel";
        EXPECT_EQ(target.GetPixel2(0, 0), (CPixel{100, 100, 100, 9})) << "row and column 0 untouched";
    }
}

TEST_F(BatchRunnerTest, GreyFunctionIsTheSameOnAllCoresAsOnOne)
{
    CQLImage source, one, all;
    Fill(source, 900, 700, 5);
    source.PutPixel(0, 0, CPixel{10, 200, 100, 77});
    FilterHost host;
    host.SetImages(&source, &all);
    EXPECT_EQ(host.Apply(reinterpret_cast<const void*>(&GreyFunction)), 0);
    {
        imagecore::ScopedSingleThread single;
        host.SetImages(&source, &one);
        EXPECT_EQ(host.Apply(reinterpret_cast<const void*>(&GreyFunction)), 0);
    }
    EXPECT_EQ(all.GetPixel2(0, 0), (CPixel{151, 151, 151, 77}));
    EXPECT_EQ(all.GetPixel2(0, 0).a, 77);
    ASSERT_EQ(all.GetAreaByteSize(), one.GetAreaByteSize());
    EXPECT_EQ(std::memcmp(all.GetBuffer(0, 0), one.GetBuffer(0, 0), all.GetAreaByteSize()), 0);
}

TEST_F(BatchRunnerTest, RunWritesNumberedResizedPhotosAndCountsFailedLoads)
{
    Param<IntParam>(kResizeByLongSide, "Long side").number = 64;
    const auto a = WritePhoto(src + "a.png", 200, 100, 1);
    const std::string broken = src + "broken.jpg";
    exiftest::WriteBytes(broken, {0xFF, 0xD8, 0xFF, 0x00});
    const auto c = WritePhoto(src + "c.bmp", 90, 180, 2);
    BatchOutput o;
    o.originalName = false;
    o.number = true;
    o.text = "a";
    o.asPrefix = true;
    auto runner = Runner({kResizeByLongSide, kSave}, {a, broken, c}, o);
    std::vector<int> totals;
    runner->SetProgressHook([&](int, int total) { totals.push_back(total); });
    ASSERT_EQ(runner->Start(nullptr), BatchCheck::Ok);
    const BatchReport report = runner->Run();
    EXPECT_EQ(report.filesDone, 3);
    EXPECT_EQ(report.loadFailures, std::vector<std::string>{broken});
    EXPECT_FALSE(report.Clean());
    EXPECT_EQ(FilesIn(out), (std::vector<std::string>{"a_0001.jpg", "a_0003.jpg"}));
    EXPECT_EQ(Shape(out + "a_0001.jpg"), std::make_pair(64, 32));
    EXPECT_EQ(Shape(out + "a_0003.jpg"), std::make_pair(32, 64));
    ASSERT_FALSE(totals.empty());
    EXPECT_EQ(totals.back(), 100);
}

TEST_F(BatchRunnerTest, OutputEqualToItsSourceAsksAndNoLeavesEveryFileAsItWas)
{
    const auto a = WritePhoto(src + "a.jpg", 40, 30);
    const auto before = exiftest::FileBytes(a);
    BatchOutput o;
    o.folder = src;
    auto runner = Runner({kGrayscale, kSave}, {a}, o);
    int asked = 0;
    EXPECT_EQ(runner->Start([&] { ++asked; return false; }), BatchCheck::Declined);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(exiftest::FileBytes(a), before);
    EXPECT_EQ(FilesIn(src), std::vector<std::string>{"a.jpg"});

    BatchOutput overwrite;
    overwrite.overwrite = true;
    overwrite.folder = out;
    auto second = Runner({kGrayscale, kSave}, {a}, overwrite);
    EXPECT_EQ(second->Start([&] { ++asked; return false; }), BatchCheck::Declined);
    EXPECT_EQ(asked, 2) << "always asked when overwriting originals";
    EXPECT_EQ(exiftest::FileBytes(a), before);
}

TEST_F(BatchRunnerTest, CollidingOutputsAreNumberedAndNoProbeIsLeft)
{
    fs::create_directories(src + "x");
    fs::create_directories(src + "y");
    const auto a = WritePhoto(src + "x/p.png", 20, 20, 1);
    const auto b = WritePhoto(src + "y/p.png", 20, 20, 2);
    auto runner = Runner({kSave}, {a, b});
    ASSERT_EQ(runner->Start(nullptr), BatchCheck::Ok);
    EXPECT_EQ(runner->Outputs(), (std::vector<std::string>{out + "p.jpg", out + "p_2.jpg"}));
    EXPECT_TRUE(FilesIn(out).empty()) << "the write test leaves nothing behind";
    EXPECT_TRUE(runner->Run().Clean());
    EXPECT_EQ(FilesIn(out), (std::vector<std::string>{"p.jpg", "p_2.jpg"}));
}

TEST_F(BatchRunnerTest, UnwritableDestinationIsRefused)
{
    const auto a = WritePhoto(src + "a.png", 20, 20);
    BatchOutput o;
    o.folder = a + "/sub"; // below a file: neither made nor written
    EXPECT_EQ(Runner({kSave}, {a}, o)->Start(nullptr), BatchCheck::CannotCreateFolder);
}

TEST_F(BatchRunnerTest, FailingEffectEndsTheRunNamingPhotoAndAction)
{
    // No save presets: "Save for Web" cannot run.
    const auto a = WritePhoto(src + "a.png", 20, 20, 1);
    const auto b = WritePhoto(src + "b.png", 20, 20, 2);
    auto runner = Runner({kSaveForWeb, kSave}, {a, b});
    ASSERT_EQ(runner->Start(nullptr), BatchCheck::Ok);
    const BatchReport report = runner->Run();
    EXPECT_TRUE(report.algorithmFailed);
    EXPECT_EQ(report.failedPhoto, a);
    EXPECT_EQ(report.failedAction, "Save for Web");
    EXPECT_TRUE(FilesIn(out).empty());
}

TEST_F(BatchRunnerTest, SaveForWebEndsThePhotosChain)
{
    fs::create_directories(program + "SaveSet");
    JpegSlimSettings preset;
    preset.resizeMode = 0;
    ASSERT_TRUE(SaveTspFile((program + "SaveSet/Small.tsp").c_str(), preset));
    Rebuild();
    ASSERT_EQ(Action(kSaveForWeb).Find("Jpeg scheme")->Text(), "Small");
    const auto a = WritePhoto(src + "a.png", 64, 48);
    auto runner = Runner({kSaveForWeb, kSave}, {a});
    ASSERT_EQ(runner->Start(nullptr), BatchCheck::Ok);
    EXPECT_TRUE(runner->Run().Clean());
    EXPECT_EQ(FilesIn(out), std::vector<std::string>{"a.Small.jpg"});
    EXPECT_EQ(Shape(out + "a.Small.jpg"), std::make_pair(64, 48));
}

TEST_F(BatchRunnerTest, OverwriteKeepsEachSourcesFormat)
{
    const auto png = WritePhoto(src + "a.png", 30, 20, 1);
    const auto jpg = WritePhoto(src + "b.jpg", 30, 20, 2);
    BatchOutput o;
    o.overwrite = true;
    o.folder = out;
    auto runner = Runner({kRotateLeft, kSave}, {png, jpg}, o);
    ASSERT_EQ(runner->Start([] { return true; }), BatchCheck::Ok);
    EXPECT_TRUE(runner->Run().Clean());
    EXPECT_EQ(CQLImageCodec::GetFileType(png.c_str()), QL_FILE_PNG);
    EXPECT_EQ(CQLImageCodec::GetFileType(jpg.c_str()), QL_FILE_JPEG);
    EXPECT_EQ(Shape(png), std::make_pair(20, 30));
    EXPECT_EQ(Shape(jpg), std::make_pair(20, 30));
    EXPECT_FALSE(fs::exists(out));
}

TEST_F(BatchRunnerTest, AddDateStampsTheExifDateAndIgnoresPhotosWithout)
{
    // Bmp output keeps pixels exact.
    Param<EnumParam>(kSave, "Format").index = 2;
    CQLImage plain;
    Fill(plain, 300, 200, 3);
    const std::string noDate = src + "nodate.png";
    CQLImageCodec codec;
    ASSERT_TRUE(codec.SaveFile(noDate.c_str(), &plain));
    const std::string dated =
        exiftest::JpegWithExif(src + "dated.jpg", {exiftest::Text(0x0132, "2004:05:03 10:11:12")});
    auto runner = Runner({kAddDate, kSave}, {noDate, dated});
    ASSERT_EQ(runner->Start(nullptr), BatchCheck::Ok);
    EXPECT_TRUE(runner->Run().Clean());
    EXPECT_TRUE(exiftest::SamePixels(plain, out + "nodate.bmp"));
    CQLImage source, result;
    ASSERT_TRUE(codec.LoadFile(dated.c_str(), &source));
    ASSERT_TRUE(codec.LoadFile((out + "dated.bmp").c_str(), &result));
    UINT w = 0, h = 0;
    source.GetSize(&w, &h);
    int changedBottomRight = 0, changedTop = 0;
    for (UINT y = 0; y < h; ++y)
        for (UINT x = 0; x < w; ++x)
            if (source.GetPixel2(x, y) != result.GetPixel2(x, y)) {
                if (y <= h / 2)
                    ++changedTop; // the stamp sits at the bottom
                else if (x > w / 2)
                    ++changedBottomRight;
            }
    EXPECT_GT(changedBottomRight, 0);
    EXPECT_EQ(changedTop, 0);
}

TEST_F(BatchRunnerTest, CorpusCameraPhotosKeepMakeAndModel)
{
    const std::string corpus = "/work/shared/corpus/exif-samples/jpg/";
    if (!fs::is_directory(corpus))
        GTEST_SKIP() << "corpus absent";
    std::vector<std::string> files;
    for (const char* name : {"Canon_40D.jpg", "Nikon_D70.jpg", "Fujifilm_FinePix_E500.jpg"})
        if (fs::exists(corpus + name))
            files.push_back(corpus + name);
    ASSERT_FALSE(files.empty());
    Param<IntParam>(kResizeByLongSide, "Long side").number = 320;
    auto runner = Runner({kResizeByLongSide, kSave}, files);
    ASSERT_EQ(runner->Start(nullptr), BatchCheck::Ok);
    EXPECT_TRUE(runner->Run().Clean());
    for (size_t i = 0; i < files.size(); ++i) {
        const std::string& result = runner->Outputs()[i];
        CQLImage image;
        CQLImageCodec codec;
        ASSERT_TRUE(codec.LoadFile(result.c_str(), &image)) << result;
        const auto [w, h] = Shape(result);
        EXPECT_EQ(std::max(w, h), 320) << result;
        ExifInfo before, after;
        ASSERT_TRUE(before.ReadFromFile(files[i].c_str()));
        ASSERT_TRUE(after.ReadFromFile(result.c_str()));
        EXPECT_STREQ(after.GetFields().make, before.GetFields().make);
        EXPECT_STREQ(after.GetFields().model, before.GetFields().model);
    }
}

} // namespace

namespace {

// A theme with a step of every type, so that each nested effect runs.
void WriteThemeOfEveryStep(const std::string& path)
{
    ColorTheme theme;
    std::snprintf(theme.name, sizeof theme.name, "every step");
    theme.steps.resize(6);
    theme.stepCount = 6;
    ColorThemeStep* s = theme.steps.data();
    s[0].type = ColorThemeStep::Curves;
    for (int k = 0; k < 768; ++k)
        s[0].payload[k] = static_cast<BYTE>(std::min(255, (k % 256) * (10 + k / 256) / 10));
    s[1].type = ColorThemeStep::HsbCurve;
    HsbCurveParams hsb{};
    for (int k = 0; k < 256; ++k) {
        hsb.hueShift[k] = k / 16;
        hsb.saturationCurve[k] = 40 - k / 4;
        hsb.brightnessCurve[k] = k % 32;
    }
    std::memcpy(s[1].payload, &hsb, sizeof hsb);
    s[2].type = ColorThemeStep::MonoTone;
    const MonoToneParams mono{MonoToneAlgorithm::LinearLight, 77, 150, 29, 120, 10, 60, 200, 80, 40, 90, 200};
    std::memcpy(s[2].payload, &mono, sizeof mono);
    s[3].type = ColorThemeStep::FilmAspect;
    const FilmAspectParams film{3, -20, 600, 12, 30, 0, 20};
    std::memcpy(s[3].payload, &film, sizeof film);
    s[4].type = ColorThemeStep::Glow;
    s[4].payload[0] = 4;
    s[4].payload[1] = 40;
    s[4].payload[2] = 60;
    s[4].payload[3] = 30;
    s[5].type = ColorThemeStep::ChannelMixer;
    const ChannelMixerParams mixer{0, {80, 20, 10, 2}, {10, 90, 0, 0}, {0, 30, 70, -3}, {30, 59, 11, 0}};
    std::memcpy(s[5].payload, &mixer, sizeof mixer);
    ASSERT_TRUE(theme.Write(path));
}

// Gradients between 40 and 210 with a little noise, so that the levels,
// colour and detail effects all have something to change.
std::string WriteScene(const std::string& path, int w, int h)
{
    CQLImage image;
    image.Create(w, h);
    std::mt19937 rng(7);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int n = static_cast<int>(rng() % 13);
            image.PutPixel(x, y, CPixel{static_cast<BYTE>(40 + 150 * x / w + n), static_cast<BYTE>(60 + 120 * y / h + n),
                                        static_cast<BYTE>(((x / 24 + y / 24) & 1) ? 190 + n : 50 + n), 255});
        }
    CQLImageCodec codec;
    EXPECT_TRUE(codec.SaveFile(path.c_str(), &image));
    return path;
}

} // namespace

// Every effect of the batch gives the same bytes on all cores as on one. The
// photo is large enough that the row loops really split.
TEST_F(BatchRunnerTest, EffectsGiveTheSameBytesOnAllCoresAsOnOne)
{
    fs::create_directories(program + "ColorTheme");
    WriteThemeOfEveryStep(program + "ColorTheme/every.cth");
    fs::create_directories(program + "SaveSet");
    JpegSlimSettings preset;
    preset.resizeMode = 0;
    ASSERT_TRUE(SaveTspFile((program + "SaveSet/Web.tsp").c_str(), preset));
    Rebuild();
    ASSERT_NE(FindAction(table, kColorTheme), nullptr);
    Param<EnumParam>(kSave, "Format").index = 2; // BMP: the pixels as they are
    const std::string photo = WriteScene(src + "scene.png", 720, 480);
    ASSERT_GE(720u * 480u, imagecore::kParallelMinWork);

    struct Case {
        const char* name;
        int id;
        std::function<void()> set;
    };
    const Case cases[] = {
        {"RotateLeft", kRotateLeft, [] {}},
        {"RotateRight", kRotateRight, [] {}},
        {"FlipHorizontally", kFlipHorizontally, [] {}},
        {"FlipVertically", kFlipVertically, [] {}},
        {"ResizeDown", kResizeByLongSide, [&] { Param<IntParam>(kResizeByLongSide, "Long side").number = 500; }},
        {"ResizeUpKeepingEdges", kResizeByWidth, [&] { Param<IntParam>(kResizeByWidth, "Width").number = 1000; }},
        {"ResizeUpSmooth", kResizeBySize,
         [&] {
             Param<IntParam>(kResizeBySize, "Width").number = 900;
             Param<IntParam>(kResizeBySize, "Height").number = 700;
             Param<EnumParam>(kResizeBySize, "Enlarge: Keep Edge").index = 1;
         }},
        {"AutoLevel", kAutoLevel, [] {}},
        {"AutoContrast", kAutoContrast, [] {}},
        {"Defog", kDefog, [] {}},
        {"Saturation", kSaturation, [&] { Param<IntParam>(kSaturation, "Saturation").number = 60; }},
        {"Grayscale", kGrayscale, [] {}},
        {"NoiseReduction", kNoiseReduction, [&] { Param<EnumParam>(kNoiseReduction, "Erase color noise").index = 1; }},
        {"DigitalBeauty", kDigitalBeauty, [] {}},
        {"Sharpen", kSharpen, [] {}},
        {"ColorTheme", kColorTheme, [&] { Param<IntParam>(kColorTheme, "Amount").number = 70; }},
        {"BlurDiffuse", kBlurDiffuse, [] {}},
        {"AddDate", kAddDate, [&] { Param<EnumParam>(kAddDate, "If No Exif").index = 1; }},
        {"SaveForWeb", kSaveForWeb, [] {}},
    };
    for (const auto& c : cases) {
        c.set();
        std::vector<std::vector<BYTE>> results;
        for (bool single : {false, true}) {
            BatchOutput o;
            o.folder = out + c.name + (single ? "-one" : "-all");
            auto runner = Runner({c.id, kSave}, {photo}, o);
            ASSERT_EQ(runner->Start(nullptr), BatchCheck::Ok) << c.name;
            std::optional<imagecore::ScopedSingleThread> one;
            if (single)
                one.emplace();
            ASSERT_TRUE(runner->Run().Clean()) << c.name;
            const auto files = FilesIn(o.folder);
            ASSERT_EQ(files.size(), 1u) << c.name;
            results.push_back(exiftest::FileBytes(o.folder + "/" + files[0]));
        }
        EXPECT_FALSE(results[0].empty()) << c.name;
        EXPECT_TRUE(results[0] == results[1]) << c.name;
    }
}
