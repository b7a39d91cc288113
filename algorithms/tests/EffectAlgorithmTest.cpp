#include "algorithms/EffectAlgorithm.h"
#include "algorithms/tests/EffectTestSupport.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

using effecttest::ForgetLastProgress;

thread_local std::vector<int> g_reports;

int Record(int code, int value)
{
    EXPECT_EQ(code, 1);
    g_reports.push_back(value);
    return 0;
}

// Exposes the protected pieces a test needs.
struct Probe : EffectAlgorithm {
    using EffectAlgorithm::Progress;
};

TEST(EffectAlgorithmTest, ProgressMapsIntoTheRangeTruncating)
{
    struct Case {
        int low, high, percent, expected;
    };
    const Case cases[] = {
        {0, 33, 50, 16}, {0, 33, 100, 33}, {33, 66, 0, 33}, {33, 66, 50, 49}, {90, 10, 50, 50}, {-10, 10, 25, -5},
    };
    for (const Case& c : cases) {
        ForgetLastProgress();
        g_reports.clear();
        Probe fx;
        fx.SetCallback(Record);
        fx.SetRange(c.low, c.high);
        fx.Progress(c.percent);
        ASSERT_EQ(g_reports.size(), 1u);
        EXPECT_EQ(g_reports[0], c.expected) << c.low << ".." << c.high << " at " << c.percent;
        EXPECT_EQ(EffectAlgorithm::LastReportedProgress(), c.expected);
    }
}

TEST(EffectAlgorithmTest, RepeatedValueIsReportedOnceAndNoCallbackKeepsTheLastValue)
{
    ForgetLastProgress();
    g_reports.clear();
    Probe fx;
    fx.SetRange(0, 10);
    fx.Progress(50); // no callback: nothing, and the last value stays
    EXPECT_EQ(EffectAlgorithm::LastReportedProgress(), -12345);
    fx.SetCallback(Record);
    fx.Progress(50);
    fx.Progress(55); // maps to 5 again
    fx.Progress(60);
    EXPECT_EQ(g_reports, (std::vector<int>{5, 6}));
    EXPECT_EQ(fx.GetCallback(), &Record);
}

TEST(EffectAlgorithmTest, LastReportedValueIsKeptPerThreadAcrossObjects)
{
    // A fresh thread starts at 0, so a first Progress(0) in 0..100 is not sent.
    std::vector<int> seen;
    std::thread([&] {
        Probe a;
        a.SetCallback(Record);
        a.SetRange(0, 100);
        a.Progress(0);
        a.Progress(100);
        Probe b; // a job after one that ended at 100 reports its first 0
        b.SetCallback(Record);
        b.SetRange(0, 100);
        b.Progress(0);
        seen = g_reports;
    }).join();
    EXPECT_EQ(seen, (std::vector<int>{100, 0}));

    // Another thread's reports do not suppress this thread's.
    ForgetLastProgress();
    g_reports.clear();
    std::thread([] {
        Probe other;
        other.SetCallback([](int, int) { return 0; });
        other.SetRange(0, 100);
        other.Progress(42);
    }).join();
    Probe fx;
    fx.SetCallback(Record);
    fx.SetRange(0, 100);
    fx.Progress(42);
    EXPECT_EQ(g_reports, (std::vector<int>{42}));
}

TEST(EffectAlgorithmTest, CancelIsTestedAndClearedOnceAndDroppedAtTheNextRun)
{
    Probe fx;
    EXPECT_EQ(fx.TestCancel(), 0);
    fx.Cancel();
    EXPECT_EQ(fx.TestCancel(), 1);
    EXPECT_EQ(fx.TestCancel(), 0);

    // A cancel from another thread is seen.
    std::thread([&] { fx.Cancel(); }).join();
    EXPECT_EQ(fx.TestCancel(), 1);

    // A cancel left over from before a run does not reach into it.
    CQLImage src, dst;
    effecttest::MakeFlat(src, 2, 2, 7);
    fx.SetImages(&src, &dst);
    fx.Cancel();
    EXPECT_EQ(fx.Apply(nullptr), 0);
    EXPECT_EQ(fx.TestCancel(), 0);
}

TEST(EffectAlgorithmTest, InputCheckFailsWithoutImagesOrPixels)
{
    CQLImage src, dst, empty;
    effecttest::MakeFlat(src, 3, 2, 9);
    Probe fx;
    EXPECT_EQ(fx.Apply(nullptr), E_FAIL);
    fx.SetImages(&src, nullptr);
    EXPECT_EQ(fx.Apply(nullptr), E_FAIL);
    fx.SetImages(nullptr, &dst);
    EXPECT_EQ(fx.Apply(nullptr), E_FAIL);
    fx.SetImages(&empty, &dst);
    EXPECT_EQ(fx.Apply(nullptr), E_FAIL);
    fx.SetImages(&src, &dst);
    EXPECT_EQ(fx.Apply(nullptr), 0);
    EXPECT_EQ(fx.GetSource(), &src);
    EXPECT_EQ(fx.GetTarget(), &dst);
}

TEST(EffectAlgorithmTest, ImagesKeepTheirOrderAndClearingKeepsThemAlive)
{
    CQLImage a, b;
    Probe fx;
    fx.AddImage(&a);
    fx.AddImage(&b);
    EXPECT_EQ(fx.GetImages(), (std::vector<CQLImage*>{&a, &b}));
    fx.ClearImages();
    EXPECT_TRUE(fx.GetImages().empty());
}

TEST(EffectAlgorithmTest, CopySourceToTargetCopiesSizeAndPixels)
{
    CQLImage src, dst;
    effecttest::MakePattern(src, 5, 3);
    Probe fx;
    fx.SetImages(&src, &dst);
    EXPECT_EQ(fx.CopySourceToTarget(), 1);
    EXPECT_EQ(effecttest::Bytes(dst), effecttest::Bytes(src));
    fx.SetImages(&src, &src); // the same object stays as it is
    EXPECT_EQ(fx.CopySourceToTarget(), 1);
    EXPECT_EQ(effecttest::Bytes(src), effecttest::Bytes(dst));
}

struct HostCall {
    void* param = nullptr;
    FilterHost* host = nullptr;
};
thread_local HostCall g_hostCall;

TEST(FilterHostTest, RunsTheFunctionWithParamAndHostAndReturnsItsResult)
{
    FilterHost host;
    int payload = 0;
    host.SetParam(&payload);
    FilterHost::Function fn = [](void* param, FilterHost* h) {
        g_hostCall = {param, h};
        return 1234;
    };
    EXPECT_EQ(host.Apply(reinterpret_cast<const void*>(fn)), 1234);
    EXPECT_EQ(g_hostCall.param, &payload);
    EXPECT_EQ(g_hostCall.host, &host);
    EXPECT_EQ(host.Apply(nullptr), E_FAIL);

    // The function sees a cancel made during the run, not one made before it.
    host.Cancel();
    FilterHost::Function cancelled = [](void*, FilterHost* h) {
        const int before = h->TestCancel();
        h->Cancel();
        return before * 10 + h->TestCancel();
    };
    EXPECT_EQ(host.Apply(reinterpret_cast<const void*>(cancelled)), 1);
}

} // namespace
