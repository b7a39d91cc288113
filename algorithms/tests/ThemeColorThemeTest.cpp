#include "algorithms/ChannelMixerAlgorithm.h"
#include "algorithms/ColorTheme.h"
#include "algorithms/ColorThemeAlgorithm.h"
#include "algorithms/FilmAspectAdjustAlgorithm.h"
#include "algorithms/HsbCurveAlgorithm.h"
#include "algorithms/MonoToneAlgorithm.h"
#include "algorithms/tests/EffectTestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace {

using effecttest::Bytes;

// ---- the file reader ------------------------------------------------------

// A file: header with name and declared count, then `whole` steps whose type
// is 10 + i and whose payload starts with i, then `extra` more bytes.
std::vector<BYTE> ThemeFile(const char* name, int declared, int whole, std::size_t extra = 0)
{
    std::vector<BYTE> f(ColorTheme::HeaderSize + whole * ColorThemeStep::Size + extra, 0);
    std::memcpy(f.data(), name, std::strlen(name));
    f[256] = static_cast<BYTE>(declared);
    for (int i = 0; i < whole; ++i) {
        BYTE* s = f.data() + ColorTheme::HeaderSize + i * ColorThemeStep::Size;
        s[0] = static_cast<BYTE>(10 + i);
        s[4] = static_cast<BYTE>(i);
        s[ColorThemeStep::Size - 1] = 0xEE; // last payload byte
    }
    return f;
}

struct ReadCase {
    const char* what;
    std::vector<BYTE> bytes;
    int steps;
};

TEST(ColorThemeFile, TakesOnlyWholeCountedSteps)
{
    const std::vector<ReadCase> cases = {
        {"count matches", ThemeFile("Warm", 2, 2), 2},
        {"count above the whole steps, part of a third", ThemeFile("Warm", 3, 2, 1000), 2},
        {"steps after the counted ones", ThemeFile("Warm", 1, 3), 1},
        {"count 0 with steps present", ThemeFile("Warm", 0, 2), 0},
        {"header only", ThemeFile("Warm", 5, 0), 0},
        {"header cut short", [] { auto f = ThemeFile("Warm", 5, 1); f.resize(200); return f; }(), 0},
    };
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.what);
        ColorTheme t;
        t.Parse(c.bytes.data(), c.bytes.size());
        EXPECT_EQ(t.Name(), "Warm");
        ASSERT_EQ(t.steps.size(), static_cast<std::size_t>(c.steps));
        EXPECT_EQ(t.stepCount, c.steps);
        for (int i = 0; i < c.steps; ++i) {
            EXPECT_EQ(t.steps[i].type, 10 + i);
            EXPECT_EQ(t.steps[i].payload[0], i);
            EXPECT_EQ(t.steps[i].payload[ColorThemeStep::PayloadSize - 1], 0xEE);
        }
    }
}

TEST(ColorThemeFile, OddHeadersAndTypes)
{
    ColorTheme t;
    t.Parse(nullptr, 0);
    EXPECT_EQ(t.Name(), "");
    EXPECT_TRUE(t.steps.empty());

    // A name without a NUL in its 256 bytes is shown as 255 characters; the
    // type is the low byte of its int32.
    std::vector<BYTE> f = ThemeFile("", 1, 1);
    std::memset(f.data(), 'x', 256);
    f[ColorTheme::HeaderSize + 1] = 0x7F;
    f[ColorTheme::HeaderSize + 3] = 0x80;
    f[ColorTheme::HeaderSize] = 3;
    t.Parse(f.data(), f.size());
    EXPECT_EQ(t.Name(), std::string(255, 'x'));
    ASSERT_EQ(t.steps.size(), 1u);
    EXPECT_EQ(t.steps[0].type, 3);
}

class ColorThemeFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "themeXXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir = pattern;
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    std::filesystem::path dir;
};

TEST_F(ColorThemeFiles, WriteThenLoadKeepsEveryField)
{
    ColorTheme t;
    std::strcpy(t.name, "Film: \"blue\"");
    t.steps.resize(2);
    t.steps[0].type = ColorThemeStep::Curves;
    t.steps[0].payload[5] = 77;
    t.steps[1].type = ColorThemeStep::ChannelMixer;
    t.steps[1].payload[3071] = 9;
    const std::string path = (dir / "a.cth").string();
    ASSERT_TRUE(t.Write(path));
    EXPECT_EQ(std::filesystem::file_size(path), 1281u + 2 * 3076u);

    ColorTheme back;
    ASSERT_TRUE(back.Load(path));
    EXPECT_EQ(back.Name(), "Film: \"blue\"");
    ASSERT_EQ(back.stepCount, 2);
    EXPECT_EQ(back.steps[0].payload[5], 77);
    EXPECT_EQ(back.steps[1].type, ColorThemeStep::ChannelMixer);
    EXPECT_EQ(back.steps[1].payload[3071], 9);

    // Stored layout: count at 256, reserved zero, type then three zero bytes.
    std::ifstream in(path, std::ios::binary);
    std::vector<char> raw((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(raw[256], 2);
    EXPECT_EQ(raw[1280], 0);
    EXPECT_EQ(raw[1281 + 3076], 5);
    EXPECT_EQ(raw[1281 + 3076 + 1], 0);
    EXPECT_EQ(raw[1281 + 5 + 4], 77);
}

TEST_F(ColorThemeFiles, MissingFileFailsButAnyOpenFileIsATheme)
{
    ColorTheme t;
    EXPECT_FALSE(t.Load((dir / "none.cth").string()));
    const std::string path = (dir / "short.cth").string();
    std::ofstream(path, std::ios::binary) << "Hi";
    ASSERT_TRUE(t.Load(path));
    EXPECT_EQ(t.Name(), "Hi");
    EXPECT_EQ(t.stepCount, 0);
}

// ---- the player -------------------------------------------------------------

ColorThemeStep CurvesStep(const std::function<int(int channel, int v)>& f)
{
    ColorThemeStep s;
    s.type = ColorThemeStep::Curves;
    for (int c = 0; c < 3; ++c)
        for (int v = 0; v < 256; ++v)
            s.payload[256 * c + v] = static_cast<BYTE>(std::clamp(f(c, v), 0, 255));
    return s;
}

template <class P>
ColorThemeStep BlockStep(BYTE type, const P& block)
{
    ColorThemeStep s;
    s.type = type;
    std::memcpy(s.payload, &block, sizeof block);
    return s;
}

ColorThemeStep GlowStep(BYTE radius, BYTE mix, BYTE highlight, BYTE shadow)
{
    ColorThemeStep s;
    s.type = ColorThemeStep::Glow;
    s.payload[0] = radius, s.payload[1] = mix, s.payload[2] = highlight, s.payload[3] = shadow;
    return s;
}

ColorTheme Theme(std::vector<ColorThemeStep> steps)
{
    ColorTheme t;
    t.steps = std::move(steps);
    t.stepCount = static_cast<BYTE>(t.steps.size());
    return t;
}

CPixel At(const CQLImage& image, int x, int y)
{
    const BYTE* p = image.GetBuffer(x, y);
    return {p[0], p[1], p[2], p[3]};
}

class ThemePlayer : public ::testing::Test {
protected:
    void SetUp() override
    {
        source.Create(2, 1);
        source.PutPixel(0, 0, {10, 100, 200, 40}); // B, G, R, A
        source.PutPixel(1, 0, {250, 0, 61, 255});
    }

    HRESULT Play(const ColorTheme& theme, int amount = 100)
    {
        fx.SetAmount(amount);
        fx.SetImages(&source, &target);
        return fx.Apply(&theme);
    }

    CQLImage source, target;
    ColorThemeAlgorithm fx;
};

TEST_F(ThemePlayer, NoStepsCopiesAndAmountZeroKeepsTheSource)
{
    ASSERT_EQ(Play(Theme({})), 0);
    EXPECT_EQ(Bytes(target), Bytes(source));

    const ColorTheme invert = Theme({CurvesStep([](int, int v) { return 255 - v; })});
    ASSERT_EQ(Play(invert, 0), 0);
    EXPECT_EQ(Bytes(target), Bytes(source));
}

TEST_F(ThemePlayer, AmountMixesAndIsClamped)
{
    const ColorTheme invert = Theme({CurvesStep([](int, int v) { return 255 - v; })});
    // (s 50 + (255 - s) 50) / 100 = 127 for every s.
    ASSERT_EQ(Play(invert, 50), 0);
    EXPECT_EQ(At(target, 0, 0), (CPixel{127, 127, 127, 0}));
    // 30%: (10 70 + 245 30) / 100 = 80; (100 70 + 155 30) / 100 = 116; (200 70 + 55 30) / 100 = 156.
    ASSERT_EQ(Play(invert, 30), 0);
    EXPECT_EQ(At(target, 0, 0), (CPixel{80, 116, 156, 0}));
    EXPECT_EQ(At(target, 0, 0).a, 40);

    ASSERT_EQ(Play(invert, 250), 0);
    EXPECT_EQ(fx.GetAmount(), 100);
    EXPECT_EQ(At(target, 0, 0), (CPixel{245, 155, 55, 0}));
    ASSERT_EQ(Play(invert, -20), 0);
    EXPECT_EQ(fx.GetAmount(), 0);
    EXPECT_EQ(Bytes(target), Bytes(source));
}

TEST_F(ThemePlayer, StepsComposeInOrder)
{
    const ColorThemeStep plus10 = CurvesStep([](int, int v) { return v + 10; });
    const ColorThemeStep doubleRed = CurvesStep([](int c, int v) { return c == 2 ? 2 * v : v; });
    // Red 200: +10 then doubled = 420 -> 255; doubled then +10 = 255 (table
    // entry 255) + 10 -> 255; red 61: 142 vs 132.
    ASSERT_EQ(Play(Theme({plus10, doubleRed})), 0);
    EXPECT_EQ(At(target, 0, 0), (CPixel{20, 110, 255, 0}));
    EXPECT_EQ(At(target, 1, 0), (CPixel{255, 10, 142, 0}));
    ASSERT_EQ(Play(Theme({doubleRed, plus10})), 0);
    EXPECT_EQ(At(target, 1, 0), (CPixel{255, 10, 132, 0}));

    // A channel mix after a curve mixes the curve's output: swap red and blue.
    ChannelMixerParams swap{};
    swap.red[2] = 100, swap.green[1] = 100, swap.blue[0] = 100;
    ASSERT_EQ(Play(Theme({plus10, BlockStep(ColorThemeStep::ChannelMixer, swap)})), 0);
    EXPECT_EQ(At(target, 0, 0), (CPixel{210, 110, 20, 0}));
    // and a curve after it reads the mix.
    ASSERT_EQ(Play(Theme({BlockStep(ColorThemeStep::ChannelMixer, swap), doubleRed})), 0);
    EXPECT_EQ(At(target, 0, 0), (CPixel{200, 100, 20, 0}));
}

TEST_F(ThemePlayer, NestedStepsPlayTheirEffectOnTheCurrentImage)
{
    HsbCurveParams hsb{};
    for (int i = 0; i < 256; ++i)
        hsb.hueShift[i] = 40, hsb.saturationCurve[i] = -64;
    MonoToneParams mono{MonoToneAlgorithm::WeightedSum, 77, 150, 29, 200, 10, 20, 30, 40, 50, 60, 128};
    const FilmAspectParams film{3, -20, 900, 20, 30, 0, 10};
    ChannelMixerParams mixer{};
    mixer.red[0] = 80, mixer.red[1] = 30, mixer.green[1] = 100, mixer.blue[2] = 50, mixer.blue[3] = 20;

    struct Case {
        const char* what;
        ColorThemeStep step;
        std::function<HRESULT(CQLImage*, CQLImage*)> direct;
    };
    const std::vector<Case> cases = {
        {"hsb curve", BlockStep(ColorThemeStep::HsbCurve, hsb),
         [&](CQLImage* s, CQLImage* t) { HsbCurveAlgorithm a; a.SetImages(s, t); return a.Apply(&hsb); }},
        {"mono tone", BlockStep(ColorThemeStep::MonoTone, mono),
         [&](CQLImage* s, CQLImage* t) { MonoToneAlgorithm a; a.SetImages(s, t); return a.Apply(&mono); }},
        {"film look", BlockStep(ColorThemeStep::FilmAspect, film),
         [&](CQLImage* s, CQLImage* t) { FilmAspectAdjustAlgorithm a; a.SetImages(s, t); return a.Apply(&film); }},
        {"channel mixer", BlockStep(ColorThemeStep::ChannelMixer, mixer),
         [&](CQLImage* s, CQLImage* t) { ChannelMixerAlgorithm a; a.SetImages(s, t); return a.Apply(&mixer); }},
    };
    effecttest::MakePattern(source, 40, 30);
    const ColorThemeStep invert = CurvesStep([](int, int v) { return 255 - v; });
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CQLImage inverted, expected;
        ASSERT_EQ(Play(Theme({invert})), 0);
        inverted.DuplicateFrom(&target);
        ASSERT_EQ(c.direct(&inverted, &expected), 0);
        ASSERT_EQ(Play(Theme({invert, c.step})), 0);
        EXPECT_EQ(Bytes(target), Bytes(expected));
    }
}

TEST_F(ThemePlayer, GlowLiftsHighlightsAndDeepensShadows)
{
    // Radius 0: the smoothed image is the input, so the mix changes nothing.
    // Grey 200: t = 200, w = (400 - 256) 100 / 255 = 56, v = 200 + 200 56 / 255 = 243.
    // Grey 50: t = 50, d = 156 100 / 255 = 61, v = 50 - 205 61 / 255 = 1.
    source.PutPixel(0, 0, {200, 200, 200, 9});
    source.PutPixel(1, 0, {50, 50, 50, 9});
    ASSERT_EQ(Play(Theme({GlowStep(0, 40, 100, 100)})), 0);
    EXPECT_EQ(At(target, 0, 0), (CPixel{243, 243, 243, 0}));
    EXPECT_EQ(At(target, 1, 0), (CPixel{1, 1, 1, 0}));
    // Full strength clamps: 200 + 200 144 / 255 = 312; 50 - 205 156 / 255 = -75.
    ASSERT_EQ(Play(Theme({GlowStep(0, 0, 255, 255)})), 0);
    EXPECT_EQ(At(target, 0, 0), (CPixel{255, 255, 255, 0}));
    EXPECT_EQ(At(target, 1, 0), (CPixel{0, 0, 0, 0}));
    // A mix of 100 takes the smoothed image as it is.
    ASSERT_EQ(Play(Theme({GlowStep(0, 100, 255, 255)})), 0);
    EXPECT_EQ(Bytes(target), Bytes(source));
}

std::vector<int> g_reports;
int Record(int, int value)
{
    g_reports.push_back(value);
    return 0;
}

TEST_F(ThemePlayer, UnknownStepsChangeNothingButTakeTheirShare)
{
    ColorThemeStep unknown;
    unknown.type = 6;
    unknown.payload[0] = 0xFF;
    ColorThemeStep film = unknown;
    film.type = 200;
    const ColorThemeStep plus10 = CurvesStep([](int, int v) { return v + 10; });

    effecttest::ForgetLastProgress();
    g_reports.clear();
    fx.SetRange(0, 100);
    fx.SetCallback(Record);
    ASSERT_EQ(Play(Theme({unknown, plus10, film})), 0);
    EXPECT_EQ(At(target, 0, 0), (CPixel{20, 110, 210, 0}));
    // Shares 0..33, 33..66, 66..100: the unknown steps report their ends.
    ASSERT_FALSE(g_reports.empty());
    EXPECT_EQ(g_reports.front(), 33);
    EXPECT_NE(std::find(g_reports.begin(), g_reports.end(), 66), g_reports.end());
    EXPECT_EQ(g_reports.back(), 100);
    for (std::size_t i = 1; i < g_reports.size(); ++i)
        EXPECT_GT(g_reports[i], g_reports[i - 1]);
    fx.SetCallback(nullptr);
}

TEST_F(ThemePlayer, CountAboveTheHeldStepsPlaysOnlyTheHeldOnes)
{
    ColorTheme t = Theme({CurvesStep([](int, int v) { return v + 10; })});
    t.stepCount = 200;
    ASSERT_EQ(Play(t), 0);
    EXPECT_EQ(At(target, 0, 0), (CPixel{20, 110, 210, 0}));
}

TEST_F(ThemePlayer, NullThemeFailsAndInPlaceMatchesASeparateTarget)
{
    effecttest::MakeFlat(target, 1, 1, 33);
    fx.SetImages(&source, &target);
    EXPECT_EQ(fx.Apply(nullptr), E_FAIL);
    EXPECT_EQ(At(target, 0, 0), (CPixel{33, 33, 33, 0}));

    effecttest::MakePattern(source, 30, 20);
    ChannelMixerParams swap{};
    swap.red[2] = 100, swap.green[1] = 100, swap.blue[0] = 100;
    const ColorTheme t = Theme({CurvesStep([](int, int v) { return v / 2; }), BlockStep(ColorThemeStep::ChannelMixer, swap),
                                GlowStep(2, 60, 80, 80)});
    ASSERT_EQ(Play(t, 45), 0);
    const std::vector<BYTE> separate = Bytes(target);
    fx.SetImages(&source, &source);
    ASSERT_EQ(fx.Apply(&t), 0);
    EXPECT_EQ(Bytes(source), separate);
}

TEST_F(ThemePlayer, ThemeReadFromAFilePlays)
{
    ColorTheme written = Theme({CurvesStep([](int, int v) { return 255 - v; })});
    written.steps.insert(written.steps.begin(), ColorThemeStep{});
    written.steps[0].type = 99;
    const std::vector<BYTE> bytes = written.Serialize();
    ColorTheme read;
    read.Parse(bytes.data(), bytes.size());
    ASSERT_EQ(Play(read), 0);
    EXPECT_EQ(At(target, 0, 0), (CPixel{245, 155, 55, 0}));
}

} // namespace
