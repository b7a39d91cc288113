#include "algorithms/AutoExposureAlgorithm.h"
#include "algorithms/AutoLevelsAlgorithm.h"
#include "algorithms/tests/EffectTestSupport.h"
#include "imagecore/16BitBitmap.h"
#include "platform/codec/ColorForms.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace {

using effecttest::Bytes;

struct PixelRun {
    int count;
    CPixel colour;
};

CPixel Grey(int v)
{
    return {static_cast<BYTE>(v), static_cast<BYTE>(v), static_cast<BYTE>(v), 255};
}

// Pixels in reading order: runs of equal colour, filling rows of `width`.
void MakeRuns(CQLImage& image, int width, const std::vector<PixelRun>& runs)
{
    int n = 0;
    for (const PixelRun& r : runs)
        n += r.count;
    image.Create(width, n / width);
    int i = 0;
    for (const PixelRun& r : runs)
        for (int k = 0; k < r.count; ++k, ++i)
            image.PutPixel(i % width, i / width, r.colour);
}

template <class Fx>
HRESULT ApplyTo(Fx& fx, CQLImage& source, CQLImage& target, INT param)
{
    fx.SetImages(&source, &target);
    fx.SetRange(0, 100);
    return fx.Apply(&param);
}

// --- the two-segment stretch -------------------------------------------------

TEST(AutoLevelsCurve, TwoSegmentsMeetAtTheMiddle)
{
    std::vector<WORD> curve(65536);
    AutoLevelsAlgorithm::StretchCurve(1000, 3000, curve.data()); // mid 2000
    const std::pair<int, int> expected[] = {
        {0, 0},       {999, 0},     {1000, 0},     {1500, 16383}, // 500 * 32767 / 1000
        {1999, 32734}, {2000, 32767}, {2500, 49150}, {3000, 65534}, {3001, 65535}, {65535, 65535},
    };
    for (const auto& [k, v] : expected)
        EXPECT_EQ(curve[k], v) << "k " << k;
}

TEST(AutoLevelsCurve, NoSegmentLeavesTheLevelsAsTheyAre)
{
    std::vector<WORD> curve(65536);
    AutoLevelsAlgorithm::StretchCurve(5000, 5000, curve.data());
    EXPECT_EQ(curve[4999], 0);
    EXPECT_EQ(curve[5000], 5000);
    EXPECT_EQ(curve[5001], 65535);
    AutoLevelsAlgorithm::StretchCurve(5000, 5001, curve.data()); // mid = lo: only the upper segment
    EXPECT_EQ(curve[5000], 32767);
    EXPECT_EQ(curve[5001], 65534);
}

// --- automatic levels ---------------------------------------------------------

// Three column bands (a quarter, a half, a quarter of the width): blue 64,
// 128, 192; green 100; red 10, 20, 30. At 40 x 25 the 0.1 % point is one
// pixel; the large size is split over cores.
class AutoLevelsTest : public ::testing::TestWithParam<std::pair<int, int>> {
protected:
    int Band(int x) const { return x < w / 4 ? 0 : (x < w - w / 4 ? 1 : 2); }

    void SetUp() override
    {
        std::tie(w, h) = GetParam();
        source.Create(w, h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const int band = Band(x);
                source.PutPixel(x, y, {static_cast<BYTE>(64 * (band + 1)), 100, static_cast<BYTE>(10 * (band + 1)), 255});
            }
    }

    void ExpectBands(const CPixel (&bands)[3])
    {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const CPixel e = bands[Band(x)];
                const CPixel p = target.GetPixel2(x, y);
                ASSERT_EQ(p.b, e.b) << x << "," << y;
                ASSERT_EQ(p.g, e.g) << x << "," << y;
                ASSERT_EQ(p.r, e.r) << x << "," << y;
            }
    }

    int w = 0, h = 0;
    CQLImage source, target;
    AutoLevelsAlgorithm fx;
};

TEST_P(AutoLevelsTest, EachChannelStretchesOnItsOwn)
{
    // Blue 16384..49152 (mid 32768 -> 32767), red 2560..7680 (mid 5120 ->
    // 32767): 0, 128, 255; green is one level and stays.
    ASSERT_EQ(ApplyTo(fx, source, target, 0), 0);
    ExpectBands({{0, 100, 0, 0}, {128, 100, 128, 0}, {255, 100, 255, 0}});
}

TEST_P(AutoLevelsTest, LinkedUsesOneLuminanceCurveForAllChannels)
{
    // Luminance (3 r + 6 g + b) / 10 at 16 bits: 17766, 20172, 22579, so
    // lo 17766, hi 22579: blue 16384 -> 0, 32768 and 49152 -> 65535; green
    // 25600 -> 65535; red (at most 7680) -> 0.
    ASSERT_EQ(ApplyTo(fx, source, target, 1), 0);
    ExpectBands({{0, 255, 0, 0}, {255, 255, 0, 0}, {255, 255, 0, 0}});
}

TEST_P(AutoLevelsTest, FullRangePhotoKeepsItsTonesUpToRounding)
{
    const int rows = std::max(4, w * h / 256);
    source.Create(256, rows); // every level in every row
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < 256; ++x)
            source.PutPixel(x, y, Grey(x));
    for (INT linked : {0, 1}) {
        ASSERT_EQ(ApplyTo(fx, source, target, linked), 0);
        for (int y = 0; y < rows; ++y)
            for (int x = 0; x < 256; ++x)
                ASSERT_NEAR(target.GetPixel2(x, y).g, x, 1) << x << "," << y << " linked " << linked;
    }
}

TEST_P(AutoLevelsTest, UniformPhotoKeepsItsValue)
{
    effecttest::MakeFlat(source, w, h, 77);
    for (INT linked : {0, 1}) {
        ASSERT_EQ(ApplyTo(fx, source, target, linked), 0);
        EXPECT_EQ(target.GetPixel2(13, 7).r, 77);
        EXPECT_EQ(target.GetPixel2(w - 1, h - 1).b, 77);
    }
}

INSTANTIATE_TEST_SUITE_P(AutoLevels, AutoLevelsTest, ::testing::Values(std::pair{40, 25}, std::pair{800, 500}),
                         [](const ::testing::TestParamInfo<std::pair<int, int>>& info) {
                             return std::to_string(info.param.first) + "x" + std::to_string(info.param.second);
                         });

// --- automatic exposure ----------------------------------------------------------

// One row of 100 pixels, so that the 1 % point is one pixel and the error
// diffusion only runs to the right.
struct ExposureCase {
    const char* name;
    std::vector<PixelRun> runs;
    INT lumaOnly;
    int photoClass;
    std::vector<PixelRun> expected;
};

void PrintTo(const ExposureCase& c, std::ostream* os)
{
    *os << c.name;
}

class AutoExposureClasses : public ::testing::TestWithParam<ExposureCase> {};

TEST_P(AutoExposureClasses, CurveFollowsTheClass)
{
    const ExposureCase& c = GetParam();
    CQLImage source, target;
    MakeRuns(source, 100, c.runs);
    AutoExposureAlgorithm fx;
    ASSERT_EQ(ApplyTo(fx, source, target, c.lumaOnly), 0);
    EXPECT_EQ(fx.GetPhotoClass(), c.photoClass);
    int x = 0;
    for (const PixelRun& r : c.expected)
        for (int k = 0; k < r.count; ++k, ++x) {
            const CPixel p = target.GetPixel2(x, 0);
            ASSERT_EQ(p.r, r.colour.r) << "x " << x;
            ASSERT_EQ(p.g, r.colour.g) << "x " << x;
            ASSERT_EQ(p.b, r.colour.b) << "x " << x;
        }
}

// After the stretch between levels 0 and 65280 a grey v is v * 257.
INSTANTIATE_TEST_SUITE_P(
    AutoExposure, AutoExposureClasses,
    ::testing::Values(
        // 49 -> 12593, dark: trunc(65536 (12593 / 65536)^1.3) = 7677 -> 30
        ExposureCase{"DarkGetsPower1_3", {{1, Grey(0)}, {98, Grey(49)}, {1, Grey(255)}}, 0, 1,
                     {{1, Grey(0)}, {98, Grey(30)}, {1, Grey(255)}}},
        // 234 -> 60138, bright: trunc(65536 (60138 / 65536)^0.75) = 61444 -> 240
        ExposureCase{"BrightGetsPower0_75", {{1, Grey(0)}, {98, Grey(234)}, {1, Grey(255)}}, 0, 2,
                     {{1, Grey(0)}, {98, Grey(240)}, {1, Grey(255)}}},
        // Stretched onto 0 and 65535, nothing in the middle half: flat, no curve.
        ExposureCase{"FlatIsOnlyStretched", {{50, Grey(20)}, {50, Grey(230)}}, 0, 3,
                     {{50, Grey(0)}, {50, Grey(255)}}},
        // Luminance 6656 and 52992 stretch onto 0 and 65535; each channel
        // follows: red 10240 -> 5069, green 51200 -> 63000, blue 46080 -> 55759.
        ExposureCase{"AllChannelsFollowTheLuminanceCurve",
                     {{50, {20, 20, 40, 255}}, {50, {180, 200, 230, 255}}}, 0, 3,
                     {{50, {0, 0, 20, 0}}, {50, {218, 246, 255, 0}}}},
        // Y 26 and 207 stretch onto 0 and 255; U and V stay (125, 138 and
        // 113, 145) and convert back to these.
        ExposureCase{"LumaOnlyKeepsTheChroma", {{50, {20, 20, 40, 255}}, {50, {180, 200, 230, 255}}}, 1, 3,
                     {{50, {0, 0, 14, 0}}, {50, {228, 248, 255, 0}}}}),
    [](const ::testing::TestParamInfo<ExposureCase>& info) { return std::string(info.param.name); });

// --- the effects against a plain pass-by-pass form -------------------------------

// The effects as a sequence of whole passes over a 16-bit copy, serial:
// histogram, curve, apply, one after the other. The effects fold these
// passes together and split them over cores; the bytes must not change.
namespace plain {

using Hist = std::vector<std::uint64_t>;

int IndexOf(const C16BitPixel& p, int index)
{
    return index == 0 ? p.b : index == 1 ? p.g : index == 2 ? p.r : (3 * p.r + 6 * p.g + p.b) / 10;
}

Hist Histogram(const C16BitBitmap& work, int index)
{
    Hist hist(65536, 0);
    for (int y = 0; y < work.GetHeight(); ++y)
        for (int x = 0; x < work.GetWidth(); ++x)
            ++hist[static_cast<std::size_t>(IndexOf(work.GetPixel(x, y), index))];
    return hist;
}

void Apply(C16BitBitmap& work, const std::vector<WORD>& curve, bool b, bool g, bool r)
{
    for (int y = 0; y < work.GetHeight(); ++y)
        for (C16BitPixel* p = work.GetBuffer(0, y); p != work.GetBuffer(0, y) + work.GetWidth(); ++p) {
            p->b = b ? curve[p->b] : p->b;
            p->g = g ? curve[p->g] : p->g;
            p->r = r ? curve[p->r] : p->r;
        }
}

int Low(const Hist& hist, std::uint64_t n)
{
    std::uint64_t run = 0;
    for (int k = 0; k < 65536; ++k)
        if ((run += hist[static_cast<std::size_t>(k)]) >= n)
            return k;
    return 65535;
}

int High(const Hist& hist, std::uint64_t n, int floor)
{
    std::uint64_t run = 0;
    for (int k = 65535; k > floor; --k)
        if ((run += hist[static_cast<std::size_t>(k)]) >= n)
            return k;
    return floor;
}

void ForEachPixel(CQLImage& image, void (*fn)(BYTE*))
{
    UINT w = 0, h = 0;
    image.GetSize(&w, &h);
    for (UINT y = 0; y < h; ++y)
        for (UINT x = 0; x < w; ++x)
            fn(image.GetBuffer(static_cast<int>(x), static_cast<int>(y)));
}

std::vector<BYTE> AutoLevels(const CQLImage& source, bool linked)
{
    C16BitBitmap work;
    work.ConvertFromSimpleBitmap(&source, 0);
    const std::uint64_t n = std::uint64_t(work.GetWidth()) * work.GetHeight() / 1000;
    std::vector<WORD> curve(65536);
    for (int index : linked ? std::vector<int>{3} : std::vector<int>{2, 1, 0}) {
        const Hist hist = Histogram(work, index);
        const int lo = Low(hist, n);
        AutoLevelsAlgorithm::StretchCurve(lo, High(hist, n, lo), curve.data());
        Apply(work, curve, linked || index == 0, linked || index == 1, linked || index == 2);
    }
    CQLImage out;
    work.ConvertToSimpleBitmap(&out, 1);
    return Bytes(out);
}

std::vector<BYTE> AutoExposure(const CQLImage& source, bool lumaOnly, int& photoClass)
{
    CQLImage in;
    in.DuplicateFrom(&source);
    if (lumaOnly)
        ForEachPixel(in, qlcodec::RgbToYuvPixel);
    C16BitBitmap work;
    work.ConvertFromSimpleBitmap(&in, 0);
    const int index = lumaOnly ? 2 : 3;
    const bool all = !lumaOnly;
    Hist hist = Histogram(work, index);
    const std::uint64_t n = std::uint64_t(work.GetWidth()) * work.GetHeight() / 100;
    const int lo = Low(hist, n), hi = High(hist, n, 0);
    std::vector<WORD> curve(65536);
    for (int k = 0; k < 65536; ++k)
        curve[k] = static_cast<WORD>(lo >= hi ? k
                                     : k < lo ? 0
                                     : k > hi ? 65535
                                              : std::int64_t(k - lo) * 65535 / (hi - lo));
    Apply(work, curve, all, all, true);
    hist = Histogram(work, index);
    photoClass = AutoExposureAlgorithm::Classify(hist);
    if (photoClass == AutoExposureAlgorithm::Balanced) {
        const int w = work.GetWidth(), h = work.GetHeight();
        for (int y = h / 4; y < h - h / 4; ++y)
            for (int x = w / 4; x < w - w / 4; ++x)
                if (std::abs(y - h / 2) > h / 8 && std::abs(x - w / 2) > w / 8)
                    ++hist[static_cast<std::size_t>(IndexOf(work.GetPixel(x, y), index))];
        AutoExposureAlgorithm::EqualisationCurve(hist, curve.data());
    } else {
        const double power = photoClass == AutoExposureAlgorithm::Dark ? 1.3 : 0.75;
        for (int k = 0; k < 65536; ++k)
            curve[k] = photoClass == AutoExposureAlgorithm::Flat
                           ? static_cast<WORD>(k)
                           : static_cast<WORD>(std::trunc(65536.0 * std::pow(k / 65536.0, power)));
    }
    Apply(work, curve, all, all, true);
    CQLImage out;
    work.ConvertToSimpleBitmap(&out, 1);
    if (lumaOnly)
        ForEachPixel(out, qlcodec::YuvToRgbPixel);
    return Bytes(out);
}

} // namespace plain

// Random pixels with each channel in [lo, hi], spread evenly, crowded
// toward lo (dark) or hi (bright), or split between the two ends (flat).
struct RandomPhoto {
    enum Shape { Even, Dark, Bright, Ends };
    const char* name;
    int w, h, lo, hi;
    Shape shape;
};

void PrintTo(const RandomPhoto& p, std::ostream* os)
{
    *os << p.name;
}

class AutoAgainstPlainPasses : public ::testing::TestWithParam<RandomPhoto> {
protected:
    void SetUp() override
    {
        const RandomPhoto& p = GetParam();
        std::mt19937 random(static_cast<unsigned>(p.w * 7919 + p.h * 31 + p.lo));
        std::uniform_real_distribution<double> unit(0, 1);
        std::uniform_int_distribution<int> noise(-6, 6);
        source.Create(p.w, p.h);
        for (int y = 0; y < p.h; ++y)
            for (int x = 0; x < p.w; ++x) {
                const double u = unit(random);
                const double t = p.shape == RandomPhoto::Dark     ? u * u * u * u
                                 : p.shape == RandomPhoto::Bright ? 1 - u * u * u * u
                                 : p.shape == RandomPhoto::Ends   ? (u < 0.5 ? u / 8 : 1 - (1 - u) / 8)
                                                                  : u;
                const int base = p.lo + static_cast<int>(std::lround(t * (p.hi - p.lo)));
                auto channel = [&] { return static_cast<BYTE>(std::clamp(base + noise(random), p.lo, p.hi)); };
                // Some rows repeat a level in one channel, as flat areas of photos do.
                const BYTE b = y % 5 == 1 ? static_cast<BYTE>(p.lo) : channel();
                const BYTE g = channel();
                source.PutPixel(x, y, {b, g, channel(), static_cast<BYTE>(random())});
            }
    }

    CQLImage source, target;
};

TEST_P(AutoAgainstPlainPasses, AutoLevelsIsByteForByteThePlainForm)
{
    for (INT linked : {0, 1}) {
        AutoLevelsAlgorithm fx;
        ASSERT_EQ(ApplyTo(fx, source, target, linked), 0);
        ASSERT_EQ(Bytes(target), plain::AutoLevels(source, linked != 0)) << "linked " << linked;
        ASSERT_EQ(ApplyTo(fx, source, target, linked), 0); // a second run reuses the work copy
        ASSERT_EQ(Bytes(target), plain::AutoLevels(source, linked != 0)) << "again, linked " << linked;
        CQLImage inPlace;
        inPlace.DuplicateFrom(&source);
        ASSERT_EQ(ApplyTo(fx, inPlace, inPlace, linked), 0);
        ASSERT_EQ(Bytes(inPlace), Bytes(target)) << "in place, linked " << linked;
    }
}

TEST_P(AutoAgainstPlainPasses, AutoExposureIsByteForByteThePlainForm)
{
    for (INT lumaOnly : {0, 1}) {
        AutoExposureAlgorithm fx;
        int photoClass = -1;
        const std::vector<BYTE> expected = plain::AutoExposure(source, lumaOnly != 0, photoClass);
        for (int run = 0; run < 2; ++run) {
            ASSERT_EQ(ApplyTo(fx, source, target, lumaOnly), 0);
            EXPECT_EQ(fx.GetPhotoClass(), photoClass) << "luma only " << lumaOnly;
            ASSERT_EQ(Bytes(target), expected) << "luma only " << lumaOnly << ", run " << run;
        }
        CQLImage inPlace;
        inPlace.DuplicateFrom(&source);
        ASSERT_EQ(ApplyTo(fx, inPlace, inPlace, lumaOnly), 0);
        ASSERT_EQ(Bytes(inPlace), expected) << "in place, luma only " << lumaOnly;
    }
}

// Edge sizes, and sizes that the wavefront and the cores split; levels
// spread, crowded and narrow, so that every exposure class and both
// stretches are reached.
INSTANTIATE_TEST_SUITE_P(
    Auto, AutoAgainstPlainPasses,
    ::testing::Values(RandomPhoto{"OnePixel", 1, 1, 0, 255, RandomPhoto::Even},
                      RandomPhoto{"OneRow", 300, 1, 0, 255, RandomPhoto::Dark},
                      RandomPhoto{"OneColumn", 1, 300, 20, 240, RandomPhoto::Bright},
                      RandomPhoto{"Small", 40, 25, 0, 255, RandomPhoto::Even},
                      RandomPhoto{"WideEven", 777, 401, 0, 255, RandomPhoto::Even},
                      RandomPhoto{"WideDark", 777, 401, 0, 255, RandomPhoto::Dark},
                      RandomPhoto{"WideBright", 777, 401, 10, 250, RandomPhoto::Bright},
                      RandomPhoto{"WideEnds", 777, 401, 30, 220, RandomPhoto::Ends},
                      RandomPhoto{"WideNarrow", 777, 401, 100, 140, RandomPhoto::Even},
                      RandomPhoto{"Tall", 520, 700, 0, 255, RandomPhoto::Dark}),
    [](const ::testing::TestParamInfo<RandomPhoto>& info) { return std::string(info.param.name); });

TEST(AutoExposureCurve, UniformHistogramEqualisesToAShiftByOne)
{
    // Smoothed bins all 1, S = 65536, P = 256: f < e, so g = e = 65536 / 65535
    // and h = 2 S / 65535; curve(k) = trunc(k (g + 1) / h) = trunc(k 131071 / 131072).
    std::vector<std::uint64_t> hist(65536, 1);
    std::vector<WORD> curve(65536);
    AutoExposureAlgorithm::EqualisationCurve(hist, curve.data());
    EXPECT_EQ(curve[0], 0);
    EXPECT_EQ(curve[1], 0);
    EXPECT_EQ(curve[2], 1);
    EXPECT_EQ(curve[30000], 29999);
    EXPECT_EQ(curve[65535], 65534);
}

TEST(AutoExposureCurve, PeakedHistogramUsesTheClippedFloor)
{
    // 65536 counts in bin 30000: smoothed 256 on bins 29873..30128, S = P =
    // 65536; f = (P - S / 64) / 1023 = 63.0616 >= e, h = (f + P) / 1024 = 64.0616.
    std::vector<std::uint64_t> hist(65536, 0);
    hist[30000] = 65536;
    std::vector<WORD> curve(65536);
    AutoExposureAlgorithm::EqualisationCurve(hist, curve.data());
    EXPECT_EQ(curve[29873], 29406); // 29873 f / h
    EXPECT_EQ(curve[30000], 30039); // (30000 f + 127 x 256) / h
    EXPECT_EQ(curve[30129], 30681); // (30129 f + 256 x 256) / h
}

TEST(AutoExposureCurve, MiddleHalfOutsideTheCentralCrossCountsTwice)
{
    // 16 x 16, each pixel its own level: rows and columns 4..11 are the middle
    // half; those within 16 / 8 = 2 of 8 (6..10) form the cross.
    // Pixel (x, y) is level 16 y + x, at 16 bits 1000 + 16 y + x.
    CQLImage photo;
    photo.Create(16, 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            photo.PutPixel(x, y, Grey(16 * y + x));
    curve16::Tables tables;
    for (auto& channel : tables.c)
        for (int v = 0; v < 256; ++v)
            channel[v] = static_cast<WORD>(1000 + v);
    for (bool lumaOnly : {false, true}) {
        std::vector<std::uint64_t> hist(65536, 0);
        AutoExposureAlgorithm::CountCentreAgain(photo, tables, lumaOnly, hist);
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                auto twice = [](int c) { return c == 4 || c == 5 || c == 11; };
                EXPECT_EQ(hist[1000 + 16 * y + x], twice(x) && twice(y) ? 1u : 0u) << x << "," << y;
            }
    }
}

TEST(AutoExposureClassify, SharesOfTheQuarters)
{
    auto classOf = [](std::uint64_t dark, std::uint64_t middle, std::uint64_t bright) {
        std::vector<std::uint64_t> hist(65536, 0);
        hist[16383] = dark;
        hist[16384] = middle / 2;
        hist[49151] = middle - middle / 2;
        hist[49152] = bright;
        return AutoExposureAlgorithm::Classify(hist);
    };
    EXPECT_EQ(classOf(61, 39, 0), AutoExposureAlgorithm::Dark);
    EXPECT_EQ(classOf(60, 40, 0), AutoExposureAlgorithm::Balanced); // 60 % is not more than 60 %
    EXPECT_EQ(classOf(0, 39, 61), AutoExposureAlgorithm::Bright);
    EXPECT_EQ(classOf(31, 39, 30), AutoExposureAlgorithm::Flat);
    EXPECT_EQ(classOf(30, 40, 30), AutoExposureAlgorithm::Balanced);
}

TEST(AutoExposure, UniformPhotoKeepsItsValueThroughTheStretch)
{
    // 30 -> 7680 is dark: trunc(65536 (7680 / 65536)^1.3) = 4036 -> 16 (the
    // stretch itself changes nothing).
    CQLImage source, target;
    MakeRuns(source, 100, {{100, Grey(30)}});
    AutoExposureAlgorithm fx;
    ASSERT_EQ(ApplyTo(fx, source, target, 0), 0);
    EXPECT_EQ(fx.GetPhotoClass(), AutoExposureAlgorithm::Dark);
    for (int x = 0; x < 100; ++x)
        ASSERT_EQ(target.GetPixel2(x, 0).g, 16) << x;
}

TEST(AutoExposure, MissingParameterFailsAndLeavesTheTarget)
{
    CQLImage source, target;
    MakeRuns(source, 100, {{100, Grey(30)}});
    effecttest::MakeFlat(target, 2, 2, 9);
    const std::vector<BYTE> before = Bytes(target);
    AutoExposureAlgorithm exposure;
    exposure.SetImages(&source, &target);
    EXPECT_EQ(exposure.Apply(nullptr), E_FAIL);
    AutoLevelsAlgorithm levels;
    levels.SetImages(&source, &target);
    EXPECT_EQ(levels.Apply(nullptr), E_FAIL);
    EXPECT_EQ(Bytes(target), before);
}

} // namespace
