#include "platform/afx/DibScale.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

using qlafx::DibOutput;
using qlafx::DibSource;
using qlafx::ScaleJob;
using qlafx::ScaleRect;

// One grey value per pixel, stored as B = G = R = v, A = 0x80.
std::vector<std::uint32_t> GreyImage(const std::vector<int>& values)
{
    std::vector<std::uint32_t> px;
    for (int v : values)
        px.push_back(0x80000000u | (v << 16) | (v << 8) | v);
    return px;
}

std::vector<int> Scale(bool average, const std::vector<std::uint32_t>& src, int sw, int sh, int dw, int dh,
                     ScaleRect span = {0, 0, -1, -1}, bool mirrorX = false, bool mirrorY = false)
{
    if (span.width < 0)
        span = ScaleRect{0, 0, dw, dh};
    ScaleJob job;
    job.src = DibSource{reinterpret_cast<const std::uint8_t*>(src.data()), sw * 4, sw, sh, 4};
    job.srcRect = ScaleRect{0, 0, sw, sh};
    job.dstWidth = dw;
    job.dstHeight = dh;
    job.span = span;
    job.mirrorX = mirrorX;
    job.mirrorY = mirrorY;
    std::vector<std::uint32_t> out(static_cast<std::size_t>(span.width) * span.height);
    const DibOutput o{reinterpret_cast<std::uint8_t*>(out.data()), span.width * 4, false};
    average ? qlafx::ScaleAverage(job, o) : qlafx::ScaleNearest(job, o);
    std::vector<int> grey;
    for (std::uint32_t p : out) {
        EXPECT_EQ(p & 0xFF, (p >> 8) & 0xFF);
        grey.push_back(static_cast<int>(p & 0xFF));
    }
    return grey;
}

TEST(DibScale, NearestDoublesEachPixel)
{
    const auto src = GreyImage({10, 20, 30, 40});
    EXPECT_EQ(Scale(false, src, 2, 2, 4, 4),
              (std::vector<int>{10, 10, 20, 20, 10, 10, 20, 20, 30, 30, 40, 40, 30, 30, 40, 40}));
}

TEST(DibScale, NearestHalvingPicksPixelCentres)
{
    // Destination pixel i samples source pixel floor((i + 0.5) * 4 / 2) = 1, 3.
    const auto src = GreyImage({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15});
    EXPECT_EQ(Scale(false, src, 4, 4, 2, 2), (std::vector<int>{5, 7, 13, 15}));
}

TEST(DibScale, AverageOfBlocksRoundsToNearest)
{
    const auto src = GreyImage({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 255});
    // (0+1+4+5)/4 = 2.5 -> 3; (2+3+6+7)/4 = 4.5 -> 5; (8+9+12+13)/4 = 10.5 -> 11; (10+11+14+255)/4 = 72.5 -> 73
    EXPECT_EQ(Scale(true, src, 4, 4, 2, 2), (std::vector<int>{3, 5, 11, 73}));
}

TEST(DibScale, AverageKeepsAlphaUnlessOpaque)
{
    const std::vector<std::uint32_t> src = {0x00000000u, 0xFF000000u};
    ScaleJob job;
    job.src = DibSource{reinterpret_cast<const std::uint8_t*>(src.data()), 8, 2, 1, 4};
    job.srcRect = ScaleRect{0, 0, 2, 1};
    job.dstWidth = 1;
    job.dstHeight = 1;
    job.span = ScaleRect{0, 0, 1, 1};
    std::uint32_t out = 0;
    qlafx::ScaleAverage(job, DibOutput{reinterpret_cast<std::uint8_t*>(&out), 4, false});
    EXPECT_EQ(out >> 24, 128u);
    qlafx::ScaleAverage(job, DibOutput{reinterpret_cast<std::uint8_t*>(&out), 4, true});
    EXPECT_EQ(out >> 24, 255u);
}

TEST(DibScale, AverageUpscaleBlendsOnlyWhereFootprintsStraddle)
{
    const auto src = GreyImage({0, 200});
    // Footprints of 2/3 source pixel: [0,.67) [.67,1.33) [1.33,2).
    EXPECT_EQ(Scale(true, src, 2, 1, 3, 1), (std::vector<int>{0, 100, 200}));
    EXPECT_EQ(Scale(true, src, 2, 1, 4, 1), (std::vector<int>{0, 0, 200, 200}));
}

TEST(DibScale, AverageOfUnevenFootprints)
{
    // 3 -> 2: footprints of 1.5 pixels: (a + b/2) / 1.5 and (b/2 + c) / 1.5.
    const auto src = GreyImage({30, 60, 90});
    EXPECT_EQ(Scale(true, src, 3, 1, 2, 1), (std::vector<int>{40, 80}));
}

TEST(DibScale, SpanWritesOnlyItsPart)
{
    const auto src = GreyImage({10, 20, 30, 40});
    // The bottom-right quarter of the 4 x 4 result.
    EXPECT_EQ(Scale(false, src, 2, 2, 4, 4, ScaleRect{2, 2, 2, 2}), (std::vector<int>{40, 40, 40, 40}));
    EXPECT_EQ(Scale(true, src, 2, 2, 4, 4, ScaleRect{1, 0, 2, 1}), (std::vector<int>{10, 20}));
}

TEST(DibScale, MirrorFlipsTheMapping)
{
    const auto src = GreyImage({10, 20, 30, 40});
    for (bool average : {false, true}) {
        SCOPED_TRACE(average);
        EXPECT_EQ(Scale(average, src, 2, 2, 2, 2, {0, 0, -1, -1}, true, false), (std::vector<int>{20, 10, 40, 30}));
        EXPECT_EQ(Scale(average, src, 2, 2, 2, 2, {0, 0, -1, -1}, false, true), (std::vector<int>{30, 40, 10, 20}));
    }
}

TEST(DibScale, ReadsBottomUpAnd24BitSources)
{
    // Rows stored bottom row first, 3 bytes a pixel, rows padded to 4 bytes.
    const std::uint8_t rows[] = {
        3, 3, 3, 4, 4, 4, 0, 0, // bottom row: 3, 4
        1, 1, 1, 2, 2, 2, 0, 0, // top row: 1, 2
    };
    ScaleJob job;
    job.src = DibSource{rows + 8, -8, 2, 2, 3};
    job.srcRect = ScaleRect{0, 0, 2, 2};
    job.dstWidth = 2;
    job.dstHeight = 2;
    job.span = ScaleRect{0, 0, 2, 2};
    std::uint32_t out[4] = {};
    qlafx::ScaleNearest(job, DibOutput{reinterpret_cast<std::uint8_t*>(out), 8, false});
    EXPECT_EQ(out[0], 0xFF010101u);
    EXPECT_EQ(out[1], 0xFF020202u);
    EXPECT_EQ(out[2], 0xFF030303u);
    EXPECT_EQ(out[3], 0xFF040404u);
}

TEST(DibScale, LargeAverageMatchesTheSerialResult)
{
    // Big enough to be split over threads: every output pixel is the mean of
    // its 4 x 4 block, whichever thread computed it.
    const int sw = 1024, sh = 1024;
    std::vector<std::uint32_t> src(static_cast<std::size_t>(sw) * sh);
    for (int y = 0; y < sh; ++y)
        for (int x = 0; x < sw; ++x)
            src[static_cast<std::size_t>(y) * sw + x] = 0xFF000000u | ((x / 4 + y / 4) & 0xFF);
    ScaleJob job;
    job.src = DibSource{reinterpret_cast<const std::uint8_t*>(src.data()), sw * 4, sw, sh, 4};
    job.srcRect = ScaleRect{0, 0, sw, sh};
    job.dstWidth = sw / 4;
    job.dstHeight = sh / 4;
    job.span = ScaleRect{0, 0, sw / 4, sh / 4};
    std::vector<std::uint32_t> out(static_cast<std::size_t>(sw / 4) * (sh / 4));
    qlafx::ScaleAverage(job, DibOutput{reinterpret_cast<std::uint8_t*>(out.data()), sw, false});
    for (int y = 0; y < sh / 4; ++y)
        for (int x = 0; x < sw / 4; ++x)
            ASSERT_EQ(out[static_cast<std::size_t>(y) * (sw / 4) + x] & 0xFF, static_cast<std::uint32_t>((x + y) & 0xFF))
                << x << "," << y;
}

} // namespace
