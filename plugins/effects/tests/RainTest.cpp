// "Rain on glass": drop sizes and images, the fog against its arithmetic,
// a drop drawn by hand, placement, the texture's failures, and runs that
// no other thread's random numbers change.
#include "EffectTestSupport.h"

#include "plugins/effects/RainFilter.h"
#include "platform/codec/QLImageCodec.h"
#include "platform/win/Library.h"

#include <gtest/gtest.h>

#include <QImage>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <thread>

namespace {

using effecttest::Fill;
using effecttest::RecordingHost;
using effecttest::SameImage;

CPixel Ramp(int x, int y)
{
    return CPixel{static_cast<BYTE>(x), static_cast<BYTE>(y), static_cast<BYTE>((x + y) / 2), 255};
}

class RainTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        module = LoadLibraryA((effecttest::CreativeDir() + "/QuilloDroplet.qli").c_str());
        ASSERT_NE(module, nullptr);
        record.module = module;
        record.codec = &codec;
    }
    void TearDown() override
    {
        if (module)
            FreeLibrary(module);
    }
    // A filter over source and target with this record.
    void Attach(RainFilter& filter, RecordingHost& host)
    {
        filter.SetRecord(&record);
        filter.AttachHost(&host);
    }

    HMODULE module = nullptr;
    CQLImageCodec codec;
    EffectRecord record{};
};

TEST(RainSizes, DropSizesFollowTheLongerSide)
{
    struct Case {
        int w, h, sizes[3];
    };
    const Case cases[] = {
        {1039, 700, {16, 12, 8}}, {800, 400, {16, 12, 8}}, {6000, 4000, {92, 69, 46}}, {4000, 6000, {92, 69, 46}},
        {1040, 10, {16, 12, 8}},  {1300, 2, {20, 15, 10}},
    };
    for (const Case& c : cases) {
        int sizes[3];
        RainFilter::DropSizes(c.w, c.h, sizes);
        EXPECT_EQ(std::vector<int>(sizes, sizes + 3), std::vector<int>(c.sizes, c.sizes + 3)) << c.w << "x" << c.h;
    }
}

TEST(RainSizes, ParametersByNameInEitherLanguage)
{
    RainFilter filter;
    EXPECT_EQ(ParseValueText("'rain amount'='10';'RADIUS'='20';'Fog'='30';'x'='1';", &filter), 0);
    EXPECT_EQ(std::vector<int>({filter.rainAmount, filter.radius, filter.fog}), std::vector<int>({10, 20, 30}));
    EXPECT_EQ(ParseValueText("'雨量'='1';'折射范围'='2';'雾气'='3';", &filter), 0);
    EXPECT_EQ(std::vector<int>({filter.rainAmount, filter.radius, filter.fog}), std::vector<int>({1, 2, 3}));
}

TEST_F(RainTest, DropsAreTheTilesAtThreeSizesAndMirrored)
{
    CQLImage source, target, texture;
    Fill(&source, 1300, 200, Ramp);
    RecordingHost host(&source, &target);
    RainFilter filter;
    Attach(filter, host);
    ASSERT_EQ(filter.PrepareDrops(), 0);
    ASSERT_TRUE(codec.LoadFile((effecttest::CreativeDir() + "/rain.png").c_str(), &texture));
    for (int t = 0; t < RainFilter::kTiles; ++t)
        for (int s = 0; s < 3; ++s) {
            const int size = (int[]){20, 15, 10}[s];
            const CQLImage& drop = filter.drops[t * 6 + s * 2];
            const CQLImage& mirrored = filter.drops[t * 6 + s * 2 + 1];
            UINT w = 0, h = 0;
            drop.GetSize(&w, &h);
            ASSERT_EQ(w, static_cast<UINT>(size));
            ASSERT_EQ(h, static_cast<UINT>(size));
            for (int y = 0; y < size; ++y)
                for (int x = 0; x < size; ++x) {
                    ASSERT_EQ(drop.GetPixel(x, y), mirrored.GetPixel(size - 1 - x, y));
                    // Green carries the coverage.
                    ASSERT_EQ(drop.GetBuffer(x, y)[1], drop.GetBuffer(x, y)[3]);
                }
        }
    // The largest drop of tile 13 is that tile of the texture resampled.
    CQLImage tile, expected;
    ASSERT_EQ(tile.Create(100, 100), 0);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x) {
            BYTE* p = tile.GetBuffer(x, y);
            std::memcpy(p, texture.GetBuffer(300 + x, 100 + y), 4);
            p[1] = p[3];
        }
    ASSERT_TRUE(codec.Resample(&tile, &expected, 20, 20, 1));
    EXPECT_TRUE(SameImage(filter.drops[13 * 6], expected));
}

TEST_F(RainTest, NoRainNoFogIsTheSource)
{
    CQLImage source, target;
    Fill(&source, 300, 200, Ramp);
    RecordingHost host(&source, &target);
    RainFilter filter;
    Attach(filter, host);
    ASSERT_EQ(filter.Apply("'Rain Amount'='0';'Radius'='75';'Fog'='0';"), 0);
    EXPECT_TRUE(SameImage(target, source));
    const std::vector<int> values = RecordingHost::Values();
    EXPECT_EQ(values, std::vector<int>({20, 80, 100}));
}

// The blur of the fog written out plainly, to check the filter's against.
void ReferenceBlur(CQLImage* image)
{
    static const int taps[7] = {1, 2, 3, 5, 3, 2, 1};
    UINT w = 0, h = 0;
    image->GetSize(&w, &h);
    for (int pass = 0; pass < 2; ++pass) {
        CQLImage copy;
        copy.DuplicateFrom(image);
        for (int y = 0; y < static_cast<int>(h); ++y)
            for (int x = 0; x < static_cast<int>(w); ++x)
                for (int c = 0; c < 4; ++c) {
                    int sum = 0, weight = 0;
                    for (int t = -3; t <= 3; ++t) {
                        const int sx = pass == 0 ? x + t : x, sy = pass == 0 ? y : y + t;
                        if (sx < 0 || sy < 0 || sx >= static_cast<int>(w) || sy >= static_cast<int>(h))
                            continue;
                        sum += taps[t + 3] * copy.GetBuffer(sx, sy)[c];
                        weight += taps[t + 3];
                    }
                    image->GetBuffer(x, y)[c] = static_cast<BYTE>(sum / weight);
                }
    }
}

TEST_F(RainTest, FogMixesTheBlurredPicture)
{
    CQLImage source;
    Fill(&source, 800, 400, [](int x, int y) {
        return CPixel{static_cast<BYTE>((x / 7) % 2 * 200), static_cast<BYTE>(y % 256), static_cast<BYTE>(x % 256), 255};
    });
    // 800 / 200 = 4: the small picture is 200 x 100.
    CQLImage small, blurred;
    ASSERT_TRUE(codec.Resample(&source, &small, 200, 100, 1));
    ReferenceBlur(&small);
    ASSERT_TRUE(codec.Resample(&small, &blurred, 800, 400, 1));
    for (int fog : {100, 30}) {
        CQLImage target;
        RecordingHost host(&source, &target);
        RainFilter filter;
        Attach(filter, host);
        const std::string values = "'Rain Amount'='0';'Radius'='75';'Fog'='" + std::to_string(fog) + "';";
        ASSERT_EQ(filter.Apply(values.c_str()), 0);
        int wrong = 0;
        for (int y = 0; y < 400; ++y)
            for (int x = 0; x < 800; ++x)
                for (int c = 0; c < 3; ++c) {
                    const int s = source.GetBuffer(x, y)[c], b = blurred.GetBuffer(x, y)[c];
                    wrong += target.GetBuffer(x, y)[c] != (s * (100 - fog) + b * fog) / 100;
                }
        EXPECT_EQ(wrong, 0) << fog;
        EXPECT_EQ(RecordingHost::Values(), std::vector<int>({20, 40, 70, 80, 100})) << fog;
    }
}

// A 2 x 2 drop on a 200 x 100 ramp (blue = x, green = y) with Radius 0:
// reach 32, so a drop at (100, 50) samples (68, 18) to (132, 82).
TEST_F(RainTest, DropDrawnByHand)
{
    struct Case {
        int x, y;             // where the drop goes
        BYTE blue, red, cover; // its top-left pixel
        int targetX, targetY;  // where that pixel lands: (x - 2, y - 1)
        BYTE b, g;             // the target's blue and green afterwards
    };
    const Case cases[] = {
        // u = 0, v = 0: (68, 18) to (69, 19); blue (68+69+68+69)/4 = 68, 68 * 255 / 256 = 67.
        {100, 50, 255, 255, 255, 98, 49, 67, 17},
        // u = 255, v = 255: sx = 255 * 64 / 256 + 68 = 131, sy = 81.
        {100, 50, 0, 0, 255, 98, 49, 130, 80},
        // Half cover: blue (68 * 128 + 98 * 127) / 256 = 82, green (18 * 128 + 49 * 127) / 256 = 33.
        {100, 50, 255, 255, 128, 98, 49, 82, 33},
        // Cover 3 draws nothing.
        {100, 50, 255, 255, 3, 98, 49, 98, 49},
        // At x = 10 the reach -22..42 is shifted right to 0..64: u = 255 gives 63.
        {10, 50, 0, 255, 255, 8, 49, 62, 17},
        // At x = 195 the reach 163..227 is shifted left to 136..200: u = 0 gives 136.
        {195, 50, 255, 255, 255, 193, 49, 135, 17},
        // At y = 5 the reach -27..37 becomes 0..64 and v = 0 samples row 0: (0 + 0 + 1 + 1) / 4 = 0.
        {100, 5, 255, 255, 255, 98, 4, 67, 0},
    };
    for (const Case& c : cases) {
        CQLImage source, target;
        Fill(&source, 200, 100, Ramp);
        target.DuplicateFrom(&source);
        RecordingHost host(&source, &target);
        RainFilter filter;
        Attach(filter, host);
        filter.radius = 0;
        Fill(&filter.drops[0], 2, 2, [&](int x, int y) {
            return x == 0 && y == 0 ? CPixel{c.blue, c.cover, c.red, c.cover} : CPixel{0, 0, 0, 0};
        });
        filter.DrawDrop(0, c.x, c.y);
        const BYTE* p = target.GetBuffer(c.targetX, c.targetY);
        EXPECT_EQ(p[0], c.b) << c.x << "," << c.y << " cover " << int(c.cover);
        EXPECT_EQ(p[1], c.g) << c.x << "," << c.y << " cover " << int(c.cover);
        EXPECT_EQ(p[3], 255);
        // Only that pixel changed.
        int changed = 0;
        for (int y = 0; y < 100; ++y)
            for (int x = 0; x < 200; ++x)
                changed += target.GetPixel(x, y) != source.GetPixel(x, y);
        EXPECT_LE(changed, 1);
    }
}

// Placement replayed with the plain rule (every placed drop compared).
std::vector<std::pair<int, int>> ReplayPlacement(const RainFilter& filter, uint32_t seed, int w, int h, int count)
{
    DropRandom random(seed);
    std::vector<std::pair<int, int>> placed;
    for (int n = 0; n < count; ++n) {
        UINT dw = 0, dh = 0;
        filter.drops[random.Next() % RainFilter::kDrops].GetSize(&dw, &dh);
        int x = 0, y = 0;
        for (int rejected = 0;;) {
            x = random.Next() % w;
            y = random.Next() % h;
            bool close = false;
            for (auto [px, py] : placed)
                close = close || (std::abs(x - px) < 2 * int(dw) / 3 && std::abs(y - py) < 2 * int(dh) / 3);
            if (!close || ++rejected == 512)
                break;
        }
        placed.emplace_back(x, y);
    }
    return placed;
}

TEST_F(RainTest, PlacementRejectsCloseDrops)
{
    // The C library's sequence from seed 1 begins 41, 18467, 6334: drop 41
    // at (18467 % 200, 6334 % 100).
    EXPECT_EQ(DropRandom(1).Next(), 41);
    for (auto [w, h, amount] : {std::tuple{200, 100, 1}, {1200, 900, 100}, {300, 200, 100}}) {
        CQLImage source, target;
        Fill(&source, w, h, Ramp);
        RecordingHost host(&source, &target);
        RainFilter filter;
        Attach(filter, host);
        filter.SetSeed(1);
        const std::string values = "'Rain Amount'='" + std::to_string(amount) + "';";
        ASSERT_EQ(filter.Apply(values.c_str()), 0);
        ASSERT_EQ(filter.placed.size(), static_cast<size_t>(amount * 10));
        if (w == 200)
            EXPECT_EQ(filter.placed[0], std::make_pair(67, 34));
        EXPECT_EQ(filter.placed, ReplayPlacement(filter, 1, w, h, amount * 10)) << w << "x" << h;
    }
}

TEST_F(RainTest, SecondDropTooCloseGoesElsewhere)
{
    CQLImage source, target;
    Fill(&source, 400, 300, Ramp);
    RecordingHost host(&source, &target);
    RainFilter filter;
    Attach(filter, host);
    filter.SetSeed(5);
    ASSERT_EQ(filter.Apply("'Rain Amount'='1';"), 0);
    // All drops here are 16, 12 or 8 wide: none is within 2/3 of 8 of another.
    for (size_t j = 1; j < filter.placed.size(); ++j)
        for (size_t i = 0; i < j; ++i)
            EXPECT_FALSE(std::abs(filter.placed[j].first - filter.placed[i].first) < 5 &&
                         std::abs(filter.placed[j].second - filter.placed[i].second) < 5);
}

TEST_F(RainTest, MissingOrSmallTextureFailsBeforeAnyPixel)
{
    const std::string folder = std::filesystem::temp_directory_path().string() + "/quillo-rain-" +
                               std::to_string(::getpid());
    for (int width : {0, 999}) {
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        if (width) {
            QImage small(width, 300, QImage::Format_ARGB32);
            small.fill(0);
            ASSERT_TRUE(small.save(QString::fromStdString(folder + "/rain.png")));
        }
        effecttest::ModuleCopy copy(folder, "QuilloDroplet.qli");
        ASSERT_NE(copy.Handle(), nullptr);
        EffectRecord own{};
        own.module = copy.Handle();
        own.codec = &codec;
        CQLImage source, target, before;
        Fill(&source, 120, 80, Ramp);
        Fill(&target, 7, 7, [](int x, int y) { return CPixel{BYTE(x), BYTE(y), 1, 2}; });
        before.DuplicateFrom(&target);
        RecordingHost host(&source, &target);
        RainFilter filter;
        filter.SetRecord(&own);
        filter.AttachHost(&host);
        EXPECT_EQ(filter.Apply("'Rain Amount'='5';'Fog'='20';"), E_FAIL) << width;
        EXPECT_TRUE(SameImage(target, before)) << width;
        EXPECT_TRUE(RecordingHost::Values().empty());
    }
    std::filesystem::remove_all(folder);
}

TEST_F(RainTest, SameSeedSamePictureWhileOthersDrawRandomNumbers)
{
    CQLImage source, first, second;
    Fill(&source, 640, 480, Ramp);
    std::atomic<bool> stop{false};
    std::thread other([&] {
        while (!stop)
            std::rand();
    });
    for (CQLImage* target : {&first, &second}) {
        RecordingHost host(&source, target);
        RainFilter filter;
        Attach(filter, host);
        filter.SetSeed(1234);
        EXPECT_EQ(filter.Apply("'Rain Amount'='60';'Radius'='40';'Fog'='10';"), 0);
    }
    stop = true;
    other.join();
    EXPECT_TRUE(SameImage(first, second));
    EXPECT_FALSE(SameImage(first, source));
}

TEST_F(RainTest, CancelOfTheHostEndsTheRun)
{
    CQLImage source, target;
    Fill(&source, 300, 200, Ramp);
    RecordingHost host(&source, &target);
    RainFilter filter;
    Attach(filter, host);
    host.Cancel();
    EXPECT_EQ(filter.Apply("'Rain Amount'='100';"), E_FAIL);
}

} // namespace
