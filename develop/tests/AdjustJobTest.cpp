#include "develop/DevelopAdjustJob.h"
#include "develop/DevelopState.h"

#include "imagecore/ParallelFor.h"
#include "imagecore/QLImage.h"
#include "platform/raw/RawTone.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <thread>
#include <vector>

namespace {

using develop::AdjustParams;
using develop::DevelopAdjustJob;

C16BitBitmap Flat(int w, int h, C16BitPixel p)
{
    C16BitBitmap b;
    EXPECT_EQ(b.Create(w, h), 1);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            *b.GetBuffer(x, y) = p;
    return b;
}

// Ramps in every channel with some texture, so each step has work to do.
C16BitBitmap Scene(int w, int h)
{
    C16BitBitmap b;
    EXPECT_EQ(b.Create(w, h), 1);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            *b.GetBuffer(x, y) = C16BitPixel{WORD(2000 + 60000LL * x / w), WORD(((x * 7 + y * 13) % 97) * 600),
                                             WORD(1000 + 64000LL * y / h)};
    return b;
}

bool Same(const C16BitBitmap& a, const C16BitBitmap& b)
{
    if (a.GetWidth() != b.GetWidth() || a.GetHeight() != b.GetHeight())
        return false;
    for (int y = 0; y < a.GetHeight(); ++y)
        for (int x = 0; x < a.GetWidth(); ++x)
            if (a.GetPixel(x, y) != b.GetPixel(x, y))
                return false;
    return true;
}

AdjustParams Neutral()
{
    AdjustParams p;
    p.sharpen = 0;
    return p;
}

HRESULT RunJob(DevelopAdjustJob& job, const C16BitBitmap& source, C16BitBitmap& target, const AdjustParams& p)
{
    job.SetImages(&source, &target);
    return job.Run(&p);
}

TEST(GainTable, KneeAndTop)
{
    struct Case {
        double gain;
        int index;
        WORD expected;
    };
    const Case cases[] = {
        {4.0, 0, 0},          {4.0, 14499, 57996},  {4.0, 14500, 58000},  {4.0, 65535, 65535},
        {0.5, 57999, 28999},  {0.5, 58000, 29000},  {0.5, 65535, 65531},  {1.0, 0, 0},
        {1.0, 31234, 31234},  {1.0, 57999, 57999},  {1.0, 58000, 58000},  {1.0, 65535, 65535},
        {1.30517578125, 20000, 26103}, {0.69482421875, 20000, 13896},
    };
    std::vector<WORD> table(develop::kTableSize);
    for (const Case& c : cases) {
        develop::BuildGainTable(c.gain, table.data());
        EXPECT_EQ(table[c.index], c.expected) << "gain " << c.gain << " at " << c.index;
    }
    for (double gain : {0.0, 0.5, 1.0, 1.3, 4.0}) {
        develop::BuildGainTable(gain, table.data());
        for (int i = 1; i < develop::kTableSize; ++i)
            ASSERT_LE(table[i - 1], table[i]) << "gain " << gain << " falls at " << i;
    }
}

TEST(ContrastTable, PivotStaysAndEndsHold)
{
    std::vector<WORD> t(develop::kTableSize);
    develop::BuildContrastTable(-70, t.data());
    EXPECT_EQ(t[12450], 12450);
    EXPECT_EQ(t[0], 0);
    EXPECT_EQ(t[65535], 65535);
    EXPECT_EQ(t[6225], static_cast<WORD>(std::pow(0.5, 1.7) * 12450));
    EXPECT_LT(t[6225], 6225) << "darker below the pivot";
    EXPECT_GT(t[40000], 40000) << "brighter above it";
    for (int i = 1; i < develop::kTableSize; ++i)
        ASSERT_LE(t[i - 1], t[i]) << i;
}

// One flat pixel through one slider (sharpening off unless set).
struct PixelCase {
    const char* name;
    AdjustParams params;
    C16BitPixel in;
    C16BitPixel out;
};

AdjustParams With(int AdjustParams::*field, int value)
{
    AdjustParams p = Neutral();
    p.*field = value;
    return p;
}

const PixelCase kPixelCases[] = {
    {"NeutralKeepsThePixel", Neutral(), {1234, 40000, 65535}, {1234, 40000, 65535}},
    {"TemperatureBluer", With(&AdjustParams::temperature, 50), {20000, 20000, 20000}, {26103, 20000, 13896}},
    {"TemperatureRedder", With(&AdjustParams::temperature, -50), {20000, 20000, 20000}, {13896, 20000, 26103}},
    {"ExposurePlusTwoStops", With(&AdjustParams::exposure, 20), {14500, 1000, 65535}, {58000, 4000, 65535}},
    {"ExposureMinusOneStop", With(&AdjustParams::exposure, -10), {57999, 58000, 65535}, {28999, 29000, 65531}},
    {"ContrastKeepsThePivot", With(&AdjustParams::dynamic, -70), {12450, 0, 65535}, {12450, 0, 65535}},
    {"ShadowsLifted", With(&AdjustParams::dynamic, 30), {1000, 1000, 1000}, {2526, 2526, 2526}},
    {"ZeroChannelMirrorsToZero", With(&AdjustParams::dynamic, 30), {0, 30000, 30000}, {0, 25294, 25294}},
    {"SaturationZeroIsGrey", With(&AdjustParams::saturation, 0), {1000, 20000, 40000}, {24100, 24100, 24100}},
    {"SaturationHalfway", With(&AdjustParams::saturation, 50), {1000, 20000, 40000}, {12550, 22050, 32050}},
    {"SaturationTwoHundredClamps", With(&AdjustParams::saturation, 200), {1000, 20000, 60000}, {0, 13280, 65535}},
    {"SaturationRedBelowTheMean", With(&AdjustParams::saturation, 200), {30000, 30000, 3000}, {39990, 39990, 0}},
};

class AdjustPixelTest : public testing::TestWithParam<PixelCase> {};

TEST_P(AdjustPixelTest, FlatImage)
{
    const PixelCase& c = GetParam();
    const C16BitBitmap source = Flat(6, 6, c.in);
    C16BitBitmap target;
    DevelopAdjustJob job;
    ASSERT_EQ(RunJob(job, source, target, c.params), 0);
    const C16BitPixel got = target.GetPixel(3, 3);
    EXPECT_EQ(got.b, c.out.b);
    EXPECT_EQ(got.g, c.out.g);
    EXPECT_EQ(got.r, c.out.r);
    EXPECT_TRUE(target.GetPixel(0, 0) == got) << "a flat image stays flat";
}

INSTANTIATE_TEST_SUITE_P(Sliders, AdjustPixelTest, testing::ValuesIn(kPixelCases),
                         [](const testing::TestParamInfo<PixelCase>& info) { return std::string(info.param.name); });

// 9 x 9, black but for the centre.
C16BitBitmap Spot(WORD centre)
{
    C16BitBitmap b = Flat(9, 9, {0, 0, 0});
    *b.GetBuffer(4, 4) = C16BitPixel{centre, centre, centre};
    return b;
}

TEST(AdjustSharpen, KernelWeightsAndClamping)
{
    struct Case {
        int sharpen;
        WORD centre;
        int x, y;
        WORD expected;
    };
    const Case cases[] = {
        {-50, 32000, 4, 4, 4000}, // the pure 5 x 5 average: weight 4 of 32
        {-50, 32000, 5, 4, 4000}, {-50, 32000, 5, 5, 2000}, {-50, 32000, 6, 4, 1000},
        {-50, 32000, 6, 5, 0},    // outside the kernel
        {50, 10000, 4, 4, 27500}, // b = -512: (768 c - 512 blur) >> 8
        {50, 32000, 4, 4, 65535}, // past the top
        {50, 32000, 5, 4, 0},     // below zero
        {25, 16000, 4, 4, 30000}, // the default: b = -256
        {-25, 16000, 4, 4, 9000}, // b = 128: half way to the average
    };
    for (const Case& c : cases) {
        const C16BitBitmap source = Spot(c.centre);
        C16BitBitmap target;
        DevelopAdjustJob job;
        ASSERT_EQ(RunJob(job, source, target, With(&AdjustParams::sharpen, c.sharpen)), 0);
        EXPECT_EQ(target.GetPixel(c.x, c.y).g, c.expected) << "sharpen " << c.sharpen << " at " << c.x << "," << c.y;
    }
}

TEST(AdjustSharpen, TwoPixelBorderKeepsItsValues)
{
    const C16BitBitmap source = Scene(12, 10);
    C16BitBitmap target;
    DevelopAdjustJob job;
    ASSERT_EQ(RunJob(job, source, target, With(&AdjustParams::sharpen, 50)), 0);
    int changedInside = 0;
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 12; ++x) {
            const bool border = x < 2 || y < 2 || x >= 10 || y >= 8;
            if (border)
                EXPECT_TRUE(target.GetPixel(x, y) == source.GetPixel(x, y)) << x << "," << y;
            else
                changedInside += target.GetPixel(x, y) != source.GetPixel(x, y);
        }
    EXPECT_GT(changedInside, 0);
}

TEST(AdjustDefaults, OnlySharpeningChangesTheImage)
{
    const C16BitBitmap source = Scene(40, 30);
    C16BitBitmap neutral, defaults;
    DevelopAdjustJob job;
    ASSERT_EQ(RunJob(job, source, neutral, Neutral()), 0);
    EXPECT_TRUE(Same(neutral, source)) << "identity tables and no sharpening";
    ASSERT_EQ(RunJob(job, source, defaults, AdjustParams{}), 0);
    int changed = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) {
            if (x < 2 || y < 2 || x >= 38 || y >= 28)
                EXPECT_TRUE(defaults.GetPixel(x, y) == source.GetPixel(x, y)) << x << "," << y;
            else
                changed += defaults.GetPixel(x, y) != source.GetPixel(x, y);
        }
    EXPECT_GT(changed, 0);
}

TEST(AdjustSmallImage, SharpenLeavesFourByFourAndGrainOnlyTheInside)
{
    const C16BitBitmap source = Flat(4, 4, {30000, 30000, 30000});
    C16BitBitmap target;
    DevelopAdjustJob job;
    ASSERT_EQ(RunJob(job, source, target, With(&AdjustParams::sharpen, 50)), 0);
    EXPECT_TRUE(Same(target, source));

    const C16BitBitmap noisy = Scene(4, 4);
    AdjustParams p = Neutral();
    p.grain = 100;
    ASSERT_EQ(RunJob(job, noisy, target, p), 0);
    int changedInside = 0;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            if (x == 0 || y == 0 || x == 3 || y == 3)
                EXPECT_TRUE(target.GetPixel(x, y) == noisy.GetPixel(x, y)) << x << "," << y;
            else
                changedInside += target.GetPixel(x, y) != noisy.GetPixel(x, y);
        }
    EXPECT_GT(changedInside, 0);
}

TEST(AdjustGrain, SamePatternWhileAnotherThreadDrawsRandomNumbers)
{
    const C16BitBitmap source = Scene(300, 200);
    AdjustParams p = Neutral();
    p.grain = 60;
    DevelopAdjustJob job;
    C16BitBitmap first, second;
    ASSERT_EQ(RunJob(job, source, first, p), 0);
    std::atomic<bool> done{false};
    std::thread other([&] {
        unsigned seed = 7;
        while (!done)
            seed += static_cast<unsigned>(rand_r(&seed));
        std::srand(seed);
    });
    std::srand(12345);
    ASSERT_EQ(RunJob(job, source, second, p), 0);
    done = true;
    other.join();
    EXPECT_TRUE(Same(first, second));
    EXPECT_FALSE(Same(first, source));
}

TEST(AdjustGrain, ShiftFollowsTheNoisePlaneAndLuminance)
{
    // A flat grey image: every inner pixel moves by the same amount in each
    // channel, so B = G = R holds everywhere, and the shifts are multiples
    // of the amplitude trunc(256 - sqrt(L) / 2).
    const C16BitBitmap source = Flat(40, 40, {10000, 10000, 10000});
    AdjustParams p = Neutral();
    p.grain = 100;
    C16BitBitmap target;
    DevelopAdjustJob job;
    ASSERT_EQ(RunJob(job, source, target, p), 0);
    const int amplitude = static_cast<int>(256.0 - 0.5 * std::sqrt(10000.0)); // 206
    for (int y = 1; y < 39; ++y)
        for (int x = 1; x < 39; ++x) {
            const C16BitPixel q = target.GetPixel(x, y);
            ASSERT_EQ(q.b, q.g);
            ASSERT_EQ(q.g, q.r);
            const int shift = q.g - 10000;
            ASSERT_EQ(shift % amplitude, 0) << x << "," << y;
            ASSERT_LE(std::abs(shift / amplitude), 28) << "sqrt(799) at most";
        }
}

TEST(AdjustParallel, AllCoresGiveTheSerialResult)
{
    const C16BitBitmap source = Scene(720, 520);
    const AdjustParams cases[] = {AdjustParams{}, {15, 30, -40, 170, 50, 70}, {-10, -70, 50, 30, -50, 20}};
    for (const AdjustParams& p : cases) {
        DevelopAdjustJob job;
        C16BitBitmap parallel, serial;
        ASSERT_EQ(RunJob(job, source, parallel, p), 0);
        {
            imagecore::ScopedSingleThread one;
            ASSERT_EQ(RunJob(job, source, serial, p), 0);
        }
        EXPECT_TRUE(Same(parallel, serial)) << "exposure " << p.exposure << " dynamic " << p.dynamic;
    }
}

std::vector<UINT> g_reports;
DevelopAdjustJob* g_stopAt60 = nullptr;
UINT Record(UINT, UINT value)
{
    g_reports.push_back(value);
    if (g_stopAt60 && value > 60)
        g_stopAt60->RequestStop();
    return 0;
}

TEST(AdjustProgress, StepsInOrder)
{
    const C16BitBitmap source = Scene(500, 420);
    C16BitBitmap target;
    DevelopAdjustJob job;
    job.SetCallback(Record);
    g_reports.clear();
    g_stopAt60 = nullptr;
    ASSERT_EQ(RunJob(job, source, target, {10, 20, 10, 150, 20, 50}), 0);
    ASSERT_FALSE(g_reports.empty());
    for (std::size_t i = 1; i < g_reports.size(); ++i)
        EXPECT_LT(g_reports[i - 1], g_reports[i]);
    for (UINT step : {40u, 50u, 60u, 80u, 90u, 100u})
        EXPECT_NE(std::find(g_reports.begin(), g_reports.end(), step), g_reports.end()) << step;
    EXPECT_GT(std::count_if(g_reports.begin(), g_reports.end(), [](UINT v) { return v > 0 && v < 40; }), 1)
        << "the shadow step reports as it goes";
    EXPECT_GT(std::count_if(g_reports.begin(), g_reports.end(), [](UINT v) { return v > 60 && v < 80; }), 1)
        << "the sharpen step reports as it goes";
}

TEST(AdjustProgress, StopInsideTheSharpenStepEndsTheRun)
{
    const C16BitBitmap source = Scene(300, 400);
    C16BitBitmap target;
    DevelopAdjustJob job;
    job.SetCallback(Record);
    g_reports.clear();
    g_stopAt60 = &job;
    AdjustParams p = Neutral();
    p.sharpen = 40;
    p.grain = 30;
    EXPECT_EQ(RunJob(job, source, target, p), 0) << "a stop is no failure";
    g_stopAt60 = nullptr;
    ASSERT_FALSE(g_reports.empty());
    EXPECT_LT(g_reports.back(), 80u) << "nothing after the stop";
    EXPECT_FALSE(job.TakeStopRequest()) << "the run took the request";
    // The rows below the stop are as the tone tables left them.
    EXPECT_TRUE(target.GetPixel(100, 396) == source.GetPixel(100, 396));
}

TEST(AdjustJob, FailsWithoutImagesOrParameters)
{
    DevelopAdjustJob job;
    AdjustParams p;
    EXPECT_EQ(job.Run(&p), E_FAIL);
    const C16BitBitmap source = Scene(8, 8);
    C16BitBitmap target;
    job.SetImages(&source, &target);
    EXPECT_EQ(job.Run(nullptr), E_FAIL);
    EXPECT_EQ(job.Run(&p), 0);
}

struct ConvertCase {
    int amount;
    WORD expected16; // the sharpened centre before the tone table
};

TEST(ConvertTo8Bit, AmountScalesTheSharpening)
{
    // Centre 16000 on black: blur 2000, c + a (c - blur) / 50.
    const ConvertCase cases[] = {{0, 16000}, {25, 23000}, {50, 30000}, {-50, 2000}, {100, 44000}};
    C16BitBitmap source = Flat(5, 5, {0, 0, 0});
    *source.GetBuffer(2, 2) = C16BitPixel{16000, 16000, 16000};
    for (const ConvertCase& c : cases) {
        CQLImage out;
        ASSERT_TRUE(develop::ConvertTo8Bit(source, &out, c.amount));
        EXPECT_EQ(out.GetBuffer(2, 2)[1], RawToneTable()[c.expected16]) << c.amount;
        EXPECT_EQ(out.GetBuffer(1, 2)[1], 0) << "the ring stays inside the border";
    }
}

TEST(ConvertTo8Bit, QuarterScaleGives125AndTheProgramImageIsUsed)
{
    develop::State().developed.Free();
    CQLImage out;
    EXPECT_FALSE(develop::ConvertTo8Bit(&out, 0)) << "nothing developed";
    develop::State().developed = Flat(3, 2, {0x4000, 0x4000, 0x4000});
    ASSERT_TRUE(develop::ConvertTo8Bit(&out, 0));
    const BYTE* p = out.GetBuffer(2, 1);
    EXPECT_EQ(p[0], 125);
    EXPECT_EQ(p[1], 125);
    EXPECT_EQ(p[2], 125);
    develop::State().developed.Free();
}

} // namespace
