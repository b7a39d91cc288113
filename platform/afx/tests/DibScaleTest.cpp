#include "platform/afx/DibScale.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <random>
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

namespace {

// The plain arithmetic the averaging scaler must reproduce exactly: per-axis
// weights in 1/65536 that sum to exactly 65536, a 64-bit sum of the weighted
// products, rounded by adding 2^31 and shifting by 32.
struct RefAxis {
    std::vector<int> first;
    std::vector<std::vector<std::uint64_t>> weights;
};

RefAxis RefTaps(int srcStart, int srcLen, int dstLen, int spanStart, int spanLen, bool mirror)
{
    RefAxis a;
    for (int s = 0; s < spanLen; ++s) {
        const std::int64_t i = spanStart + s;
        const std::int64_t mi = mirror ? dstLen - 1 - i : i;
        const std::int64_t lo = mi * srcLen;
        const std::int64_t hi = lo + srcLen;
        const std::int64_t k0 = lo / dstLen;
        const std::int64_t k1 = (hi + dstLen - 1) / dstLen;
        a.first.push_back(static_cast<int>(srcStart + k0));
        std::vector<std::uint64_t> w;
        std::int64_t covered = 0, given = 0;
        for (std::int64_t k = k0; k < k1; ++k) {
            covered += std::min(hi, (k + 1) * dstLen) - std::max(lo, k * dstLen);
            const std::int64_t upto = (covered * 65536 + srcLen / 2) / srcLen;
            w.push_back(static_cast<std::uint64_t>(upto - given));
            given = upto;
        }
        std::uint64_t sum = 0;
        for (std::uint64_t x : w)
            sum += x;
        EXPECT_EQ(sum, 65536u);
        a.weights.push_back(std::move(w));
    }
    return a;
}

std::uint32_t RefAveragePixel(const ScaleJob& job, bool opaque, const RefAxis& ax, const RefAxis& ay, int sx, int sy)
{
    std::uint64_t acc[4] = {};
    const int bpp = job.src.bytesPerPixel;
    for (std::size_t ky = 0; ky < ay.weights[sy].size(); ++ky) {
        const std::uint8_t* row = job.src.top + (ay.first[sy] + static_cast<int>(ky)) * job.src.stride;
        for (std::size_t kx = 0; kx < ax.weights[sx].size(); ++kx) {
            const std::uint8_t* p = row + static_cast<std::ptrdiff_t>(ax.first[sx] + static_cast<int>(kx)) * bpp;
            const std::uint64_t w = ax.weights[sx][kx] * ay.weights[sy][ky];
            for (int c = 0; c < 4; ++c)
                acc[c] += (c < 3 ? p[c] : bpp == 4 ? p[3] : 255u) * w;
        }
    }
    std::uint32_t px = 0;
    for (int c = 0; c < 4; ++c)
        px |= static_cast<std::uint32_t>((acc[c] + (std::uint64_t{1} << 31)) >> 32) << (8 * c);
    return opaque ? px | 0xFF000000u : px;
}

struct AverageCase {
    int srcW, srcH;      // the whole source
    ScaleRect srcRect;   // inside it
    int dstW, dstH;
    ScaleRect span;
    bool mirrorX, mirrorY;
    int bpp;
    bool opaque;
    bool bottomUp;
};

// Runs the scaler into a padded buffer and checks every pixel against the
// reference and that nothing outside the span was written.
void ExpectAverageMatchesReference(const AverageCase& c, std::uint32_t seed)
{
    std::mt19937 rng(seed);
    const std::ptrdiff_t rowBytes = (static_cast<std::ptrdiff_t>(c.srcW) * c.bpp + 3) & ~std::ptrdiff_t{3};
    // Exactly as big as the rows need, so reads past the end show under ASan.
    std::vector<std::uint8_t> bits(static_cast<std::size_t>(rowBytes) * c.srcH);
    for (std::uint8_t& b : bits) {
        // Mostly extremes and near-extremes, where carries and rounding show.
        const std::uint32_t r = rng();
        b = static_cast<std::uint8_t>((r & 3) == 0 ? 255 : (r & 3) == 1 ? 0 : (r >> 8));
    }
    ScaleJob job;
    job.src = c.bottomUp ? DibSource{bits.data() + (c.srcH - 1) * rowBytes, -rowBytes, c.srcW, c.srcH, c.bpp}
                         : DibSource{bits.data(), rowBytes, c.srcW, c.srcH, c.bpp};
    job.srcRect = c.srcRect;
    job.dstWidth = c.dstW;
    job.dstHeight = c.dstH;
    job.span = c.span;
    job.mirrorX = c.mirrorX;
    job.mirrorY = c.mirrorY;

    const RefAxis ax = RefTaps(c.srcRect.x, c.srcRect.width, c.dstW, c.span.x, c.span.width, c.mirrorX);
    const RefAxis ay = RefTaps(c.srcRect.y, c.srcRect.height, c.dstH, c.span.y, c.span.height, c.mirrorY);
    const int pad = 3; // guard pixels around the span
    const int outStride = c.span.width + 2 * pad;
    const std::size_t outSize = static_cast<std::size_t>(outStride) * (c.span.height + 2);
    std::vector<std::uint32_t> want(outSize, 0xA5A5A5A5u);
    for (int y = 0; y < c.span.height; ++y)
        for (int x = 0; x < c.span.width; ++x)
            want[static_cast<std::size_t>(y + 1) * outStride + pad + x] = RefAveragePixel(job, c.opaque, ax, ay, x, y);

    // The widest code the CPU allows, then the baseline.
    for (bool baseline : {false, true}) {
        SCOPED_TRACE(baseline ? "baseline" : "widest");
        std::vector<std::uint32_t> out(outSize, 0xA5A5A5A5u);
        qlafx::detail::UseBaselineScalerForTests(baseline);
        qlafx::ScaleAverage(job, DibOutput{reinterpret_cast<std::uint8_t*>(out.data() + outStride + pad),
                                           outStride * 4, c.opaque});
        qlafx::detail::UseBaselineScalerForTests(false);
        int bad = 0;
        for (std::size_t i = 0; i < outSize && bad < 5; ++i) {
            if (out[i] != want[i]) {
                ++bad;
                ADD_FAILURE() << "pixel " << static_cast<int>(i % outStride) - pad << ","
                              << static_cast<int>(i / outStride) - 1 << " got " << std::hex << out[i] << " want "
                              << want[i] << (want[i] == 0xA5A5A5A5u ? " (outside the span)" : "");
            }
        }
    }
}

TEST(DibScale, AverageMatchesTheReferenceOnChosenShapes)
{
    // Shapes where weights reach 65536 (one tap), exactly 32768 (halving),
    // round to 0 (huge source a hair wider than the destination), and where
    // threads and wide rows come in.
    const AverageCase cases[] = {
        {4, 4, {0, 0, 4, 4}, 2, 2, {0, 0, 2, 2}, false, false, 4, false, false},
        {5, 3, {0, 0, 5, 3}, 5, 3, {0, 0, 5, 3}, false, false, 3, false, true},
        {7, 5, {1, 1, 5, 3}, 31, 17, {0, 0, 31, 17}, true, false, 4, false, false},
        {64, 8, {0, 0, 64, 8}, 32, 4, {0, 0, 32, 4}, false, true, 4, false, false},
        {65, 9, {0, 0, 65, 9}, 32, 4, {3, 1, 20, 3}, true, true, 3, false, true},
        {200001, 1, {0, 0, 200001, 1}, 199999, 1, {0, 0, 199999, 1}, false, false, 4, false, false},
        {199999, 2, {0, 0, 199999, 2}, 3, 1, {0, 0, 3, 1}, false, false, 3, false, false},
        {1, 150000, {0, 0, 1, 150000}, 1, 149999, {0, 100, 1, 70000}, false, true, 4, false, false},
        {1200, 800, {0, 0, 1200, 800}, 300, 200, {0, 0, 300, 200}, false, false, 4, true, false},
        {1201, 799, {3, 2, 1197, 795}, 317, 211, {5, 7, 300, 200}, true, false, 3, false, true},
        {1200, 800, {0, 0, 1200, 800}, 300, 200, {0, 0, 300, 200}, false, false, 4, false, true},
        {333, 257, {0, 0, 333, 257}, 1000, 700, {0, 0, 1000, 700}, false, true, 4, false, false},
        {2000, 3, {0, 0, 2000, 3}, 1, 1, {0, 0, 1, 1}, false, false, 4, false, false},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        ExpectAverageMatchesReference(cases[i], static_cast<std::uint32_t>(i + 1));
    }
}

TEST(DibScale, AverageMatchesTheReferenceOnRandomJobs)
{
    std::mt19937 rng(20240611);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    for (int iter = 0; iter < 400; ++iter) {
        AverageCase c{};
        const int big = iter % 10 == 0 ? 400 : 70;
        c.srcW = pick(1, big);
        c.srcH = pick(1, big);
        c.srcRect.x = pick(0, c.srcW - 1);
        c.srcRect.y = pick(0, c.srcH - 1);
        c.srcRect.width = pick(1, c.srcW - c.srcRect.x);
        c.srcRect.height = pick(1, c.srcH - c.srcRect.y);
        c.dstW = pick(1, big);
        c.dstH = pick(1, big);
        c.span.x = pick(0, c.dstW - 1);
        c.span.y = pick(0, c.dstH - 1);
        c.span.width = pick(1, c.dstW - c.span.x);
        c.span.height = pick(1, c.dstH - c.span.y);
        c.mirrorX = pick(0, 1) != 0;
        c.mirrorY = pick(0, 1) != 0;
        c.bpp = pick(3, 4);
        c.opaque = pick(0, 1) != 0;
        c.bottomUp = pick(0, 1) != 0;
        SCOPED_TRACE(::testing::Message() << "iteration " << iter << ": " << c.srcW << "x" << c.srcH << " rect "
                                          << c.srcRect.x << "," << c.srcRect.y << " " << c.srcRect.width << "x"
                                          << c.srcRect.height << " -> " << c.dstW << "x" << c.dstH << " span "
                                          << c.span.x << "," << c.span.y << " " << c.span.width << "x"
                                          << c.span.height << " bpp " << c.bpp);
        ExpectAverageMatchesReference(c, static_cast<std::uint32_t>(iter));
        if (::testing::Test::HasFailure())
            break;
    }
}

} // namespace
