// The vector paths of the point operations against the scalar one, byte for
// byte, on random pixels and on widths that are not a multiple of any vector.
#include "algorithms/ChannelMixerAlgorithm.h"
#include "algorithms/ColorTheme.h"
#include "algorithms/ColorThemeAlgorithm.h"
#include "algorithms/HueSaturationAlgorithm.h"
#include "algorithms/PointKernels.h"
#include "algorithms/ThresholdAlgorithm.h"
#include "algorithms/WhiteBalanceAlgorithm.h"
#include "imagecore/QLImage.h"
#include "imagecore/Simd.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <optional>
#include <random>
#include <vector>

namespace {

using imagecore::SimdLevel;

constexpr SimdLevel kLevels[] = {SimdLevel::Scalar, SimdLevel::Sse4, SimdLevel::Avx2};
constexpr std::size_t kWidths[] = {0, 1, 3, 4, 7, 8, 9, 15, 16, 17, 31, 33, 255, 1001};

bool Runs(SimdLevel level)
{
    return static_cast<int>(level) <= static_cast<int>(imagecore::CpuSimdLevel());
}

std::vector<BYTE> RandomBytes(std::size_t n, unsigned seed)
{
    std::mt19937 rng(seed);
    std::vector<BYTE> v(n);
    for (BYTE& b : v)
        b = static_cast<BYTE>(rng());
    return v;
}

TEST(PointKernels, ChannelTablesMatchByteLookups)
{
    const std::vector<BYTE> lut = RandomBytes(768, 1);
    const pointkernels::ChannelTables tables(lut.data(), lut.data() + 256, lut.data() + 512);
    for (bool opaque : {false, true})
        for (std::size_t n : kWidths) {
            const std::vector<BYTE> src = RandomBytes(n * 4, unsigned(n) + 7);
            std::vector<BYTE> want(src);
            for (std::size_t i = 0; i < n; ++i) {
                for (int c = 0; c < 3; ++c)
                    want[4 * i + c] = lut[256 * c + src[4 * i + c]];
                if (opaque)
                    want[4 * i + 3] = 255;
            }
            for (SimdLevel level : kLevels)
                for (int variant = 0; variant < 3; ++variant) {
                    // 1: stores past the cache; 2: AVX2 without the in-register tables.
                    const bool stream = variant == 1, lowered = variant == 2;
                    if (!Runs(level))
                        continue;
                    std::optional<imagecore::ScopedSimdCeiling> ceiling;
                    if (lowered)
                        ceiling.emplace(SimdLevel::Avx2);
                    SCOPED_TRACE(testing::Message() << "level " << int(level) << " width " << n << " opaque " << opaque
                                                    << " byte tables " << imagecore::ActiveAvx512()
                                                    << " stream " << stream);
                    std::vector<BYTE> out(n * 4 + 1, 0xAB);
                    pointkernels::MapChannels(src.data(), out.data(), n, tables, opaque, level, stream);
                    EXPECT_EQ(std::vector<BYTE>(out.begin(), out.begin() + long(n * 4)), want);
                    EXPECT_EQ(out.back(), 0xAB) << "wrote past the row";
                    std::vector<BYTE> inPlace(src);
                    pointkernels::MapChannels(inPlace.data(), inPlace.data(), n, tables, opaque, level, stream);
                    EXPECT_EQ(inPlace, want);
                }
        }
}

// Every colour's grey level through an identity table: the vector division
// by 10 is exact over the whole range of sums.
TEST(PointKernels, GreyLevelOfEveryColour)
{
    BYTE identity[256];
    for (int v = 0; v < 256; ++v)
        identity[v] = static_cast<BYTE>(v);
    const pointkernels::GreyTable table(identity);
    constexpr std::size_t kRow = 65536 + 13; // not a multiple of any vector
    std::vector<BYTE> src(kRow * 4), out(kRow * 4);
    for (SimdLevel level : kLevels)
        for (int variant = 0; variant < 3; ++variant) {
            // 1: stores past the cache; 2: AVX2 without the in-register table.
            const bool stream = variant == 1;
            std::optional<imagecore::ScopedSimdCeiling> ceiling;
            if (variant == 2)
                ceiling.emplace(SimdLevel::Avx2);
            if (!Runs(level))
                continue;
            for (std::uint32_t first = 0; first < (1u << 24); first += kRow) {
                const std::size_t n = std::min<std::size_t>(kRow, (1u << 24) - first);
                for (std::size_t i = 0; i < n; ++i) {
                    const std::uint32_t c = first + std::uint32_t(i);
                    const std::uint32_t px = c | (c * 2654435761u & 0xFF000000u); // alpha must not count
                    std::memcpy(&src[4 * i], &px, 4);
                }
                pointkernels::MapGrey(src.data(), out.data(), n, table, level, stream);
                for (std::size_t i = 0; i < n; ++i) {
                    const BYTE* s = &src[4 * i];
                    const BYTE g = static_cast<BYTE>((6 * s[1] + 3 * s[2] + s[0]) / 10);
                    const BYTE want[4] = {g, g, g, 255};
                    ASSERT_EQ(std::memcmp(&out[4 * i], want, 4), 0)
                        << "level " << int(level) << " variant " << variant << " colour " << std::hex << (first + i);
                }
            }
        }
}

// Every colour through the HSB adjustment: the vector path's divisions are
// exact wherever the scalar path's are.
TEST(PointKernels, HsbAdjustOfEveryColour)
{
    if (!Runs(SimdLevel::Avx2))
        GTEST_SKIP() << "no AVX2 here";
    struct Setting {
        int hue, saturation, lightness;
    };
    constexpr std::size_t kRow = 65536 + 5;
    std::vector<BYTE> src(kRow * 4), scalar(kRow * 4), vector(kRow * 4);
    for (const Setting set : {Setting{0, 0, 0}, Setting{20, 30, 15}, Setting{-3, -128, -128}, Setting{200, 128, 128},
                              Setting{255, -50, 7}}) {
        const pointkernels::HsbAdjust adjust(set.hue, set.saturation, set.lightness);
        for (std::uint32_t first = 0; first < (1u << 24); first += kRow) {
            const std::size_t n = std::min<std::size_t>(kRow, (1u << 24) - first);
            for (std::size_t i = 0; i < n; ++i) {
                const std::uint32_t c = first + std::uint32_t(i);
                const std::uint32_t px = c | (c * 2654435761u & 0xFF000000u);
                std::memcpy(&src[4 * i], &px, 4);
            }
            pointkernels::AdjustHsb(src.data(), scalar.data(), n, adjust, SimdLevel::Scalar);
            for (bool lowered : {false, true}) { // lowered: AVX2 without AVX-512
                std::optional<imagecore::ScopedSimdCeiling> ceiling;
                if (lowered)
                    ceiling.emplace(SimdLevel::Avx2);
                pointkernels::AdjustHsb(src.data(), vector.data(), n, adjust, SimdLevel::Avx2);
                ASSERT_EQ(std::memcmp(scalar.data(), vector.data(), n * 4), 0)
                    << "setting " << set.hue << "," << set.saturation << "," << set.lightness << " from colour "
                    << first << " AVX-512 " << imagecore::ActiveAvx512();
            }
        }
    }
}

// The effects that use the kernels give the same image at every level, on
// a random image whose width is not a multiple of the vector.
void RandomImage(CQLImage& image, int w, int h, unsigned seed)
{
    ASSERT_EQ(image.Create(w, h), 0);
    const std::vector<BYTE> bytes = RandomBytes(image.GetAreaByteSize(), seed);
    std::memcpy(image.GetBuffer(0, 0), bytes.data(), bytes.size());
}

std::vector<BYTE> RunOn(EffectAlgorithm& fx, const CQLImage& input, const void* params, bool inPlace)
{
    CQLImage source, target;
    source.DuplicateFrom(&input);
    fx.SetImages(&source, inPlace ? &source : &target);
    EXPECT_EQ(fx.Apply(params), 0);
    const CQLImage& out = inPlace ? source : target;
    return std::vector<BYTE>(out.GetBuffer(0, 0), out.GetBuffer(0, 0) + out.GetAreaByteSize());
}

struct EffectCase {
    const char* name;
    std::function<std::vector<BYTE>(const CQLImage&)> run;
};

TEST(PointKernels, EffectsGiveTheSameBytesOnEveryPath)
{
    static ColorTheme curves;
    curves.stepCount = 1;
    curves.steps.resize(1);
    curves.steps[0].type = ColorThemeStep::Curves;
    const std::vector<BYTE> lut = RandomBytes(768, 9);
    std::memcpy(curves.steps[0].payload, lut.data(), lut.size());

    const EffectCase cases[] = {
        {"white balance", [](const CQLImage& in) {
             WhiteBalanceAlgorithm fx;
             const DWORD ref = 0x00806070;
             return RunOn(fx, in, &ref, false);
         }},
        {"threshold ramp", [](const CQLImage& in) {
             ThresholdAlgorithm fx;
             const ThresholdParams p{0, 120, 60, 50};
             return RunOn(fx, in, &p, false);
         }},
        {"channel mixer", [](const CQLImage& in) {
             ChannelMixerAlgorithm fx;
             const ChannelMixerParams p{0, {80, 20, -30, 5}, {10, 90, 0, 0}, {-40, 130, 70, -5}, {}};
             return RunOn(fx, in, &p, false);
         }},
        {"channel mixer, weights near the 32-bit limit", [](const CQLImage& in) {
             ChannelMixerAlgorithm fx;
             const ChannelMixerParams p{
                 0, {7000000, -500000, 400000, 300000000}, {-7900000, 0, 0, -5}, {1, -1, 99, 0}, {}};
             return RunOn(fx, in, &p, false);
         }},
        {"channel mixer in place", [](const CQLImage& in) {
             ChannelMixerAlgorithm fx;
             const ChannelMixerParams p{0, {180, -20, 0, 50}, {0, 100, 0, 0}, {33, 33, 33, 0}, {}};
             return RunOn(fx, in, &p, true);
         }},
        {"hue and saturation", [](const CQLImage& in) {
             HueSaturationAlgorithm fx;
             const HueSaturationParams p{20, -40, 25};
             return RunOn(fx, in, &p, false);
         }},
        {"theme curves", [](const CQLImage& in) {
             ColorThemeAlgorithm fx;
             return RunOn(fx, in, &curves, false);
         }},
    };
    CQLImage image;
    RandomImage(image, 67, 5, 11);
    for (const EffectCase& c : cases) {
        std::vector<BYTE> scalar;
        {
            imagecore::ScopedSimdCeiling ceiling(SimdLevel::Scalar);
            scalar = c.run(image);
        }
        for (SimdLevel level : {SimdLevel::Sse4, SimdLevel::Avx2}) {
            if (!Runs(level))
                continue;
            imagecore::ScopedSimdCeiling ceiling(level);
            EXPECT_EQ(c.run(image), scalar) << c.name << " at level " << int(level);
        }
        EXPECT_EQ(c.run(image), scalar) << c.name << " at the processor's best";
    }
}

// White balance with a given reference maps each pixel alone, on all cores:
// a large image of tiles of a small one gives the small one's pixels in
// every tile.
TEST(PointKernels, WhiteBalanceOfALargeImageMatchesItsTiles)
{
    constexpr int kTile = 64, kTiles = 33; // 2112 x 2112: many rows a thread
    CQLImage tile, large;
    RandomImage(tile, kTile, kTile, 9);
    ASSERT_EQ(large.Create(kTile * kTiles, kTile * kTiles), 0);
    for (int y = 0; y < kTile * kTiles; ++y)
        for (int tx = 0; tx < kTiles; ++tx)
            std::memcpy(large.GetBuffer(tx * kTile, y), tile.GetBuffer(0, y % kTile), kTile * 4);
    const DWORD reference = 0x00806070;
    WhiteBalanceAlgorithm small, big;
    const std::vector<BYTE> want = RunOn(small, tile, &reference, false);
    const std::vector<BYTE> got = RunOn(big, large, &reference, false);
    const std::size_t row = std::size_t{kTile} * kTiles * 4;
    for (int y = 0; y < kTile * kTiles; ++y)
        for (int tx = 0; tx < kTiles; ++tx)
            ASSERT_EQ(std::memcmp(&got[y * row + std::size_t(tx) * kTile * 4], &want[std::size_t(y % kTile) * kTile * 4],
                                  kTile * 4),
                      0)
                << "row " << y << " tile " << tx;
}

// A target large enough to be written past the cache, rows of a width that
// puts them at every alignment: the same bytes as the scalar path.
TEST(PointKernels, LargeTargetsWrittenPastTheCacheGiveTheSameBytes)
{
    constexpr int kWidth = 4100, kHeight = 4100;
    static_assert(pointkernels::Streams(std::size_t{kWidth} * kHeight * 4));
    CQLImage image;
    ASSERT_EQ(image.Create(kWidth, kHeight), 0);
    std::uint32_t state = 5; // xorshift: random enough, and quick at this size
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            state ^= state << 13, state ^= state >> 17, state ^= state << 5;
            std::memcpy(image.GetBuffer(x, y), &state, 4);
        }
    const DWORD reference = 0x00806070;
    const ChannelMixerParams mixer{0, {80, 20, -30, 5}, {10, 90, 0, 0}, {-40, 130, 70, -5}, {}};
    auto balance = [&] {
        WhiteBalanceAlgorithm fx;
        return RunOn(fx, image, &reference, false);
    };
    auto mix = [&] {
        ChannelMixerAlgorithm fx;
        return RunOn(fx, image, &mixer, false);
    };
    auto threshold = [&] {
        ThresholdAlgorithm fx;
        const ThresholdParams p{0, 120, 60, 50};
        return RunOn(fx, image, &p, false);
    };
    std::vector<BYTE> balanced, mixed, thresholded;
    {
        imagecore::ScopedSimdCeiling ceiling(SimdLevel::Scalar);
        balanced = balance();
        mixed = mix();
        thresholded = threshold();
    }
    EXPECT_TRUE(balance() == balanced) << "white balance";
    EXPECT_TRUE(mix() == mixed) << "channel mixer";
    EXPECT_TRUE(threshold() == thresholded) << "threshold";
}

} // namespace
