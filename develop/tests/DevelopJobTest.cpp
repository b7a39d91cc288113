#include "develop/DevelopJob.h"

#include "imagecore/16BitBitmap.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<UINT> g_reports;
UINT Record(UINT type, UINT value)
{
    EXPECT_EQ(type, 1u);
    g_reports.push_back(value);
    return 0;
}

struct Case {
    const char* name;
    int lo, hi;
    std::vector<int> percents;
    std::vector<UINT> expected;
};

const Case kCases[] = {
    {"FullRangeEachOnce", 0, 100, {40, 50, 60, 80, 100}, {40, 50, 60, 80, 100}},
    {"SubRange", 20, 60, {50}, {40}},
    {"RepeatReportedOnce", 0, 100, {30, 30, 30}, {30}},
    {"ZeroAtTheFirstRunIsSilent", 0, 100, {0}, {}},
    {"ClampedToHundred", 50, 150, {100, 80}, {100}},
    {"ClampedToZero", -40, 0, {0, 50, 100}, {}},
    {"TruncatesTowardZero", 0, 30, {10, 11, 13}, {3}},
    {"BackToAnEarlierValue", 0, 100, {60, 40, 60}, {60, 40, 60}},
};

class ReportProgressTest : public testing::TestWithParam<Case> {};

TEST_P(ReportProgressTest, ReportsChangedValuesInRange)
{
    const Case& c = GetParam();
    develop::DevelopJob job;
    job.SetCallback(Record);
    job.SetRange(c.lo, c.hi);
    g_reports.clear();
    for (int p : c.percents)
        job.ReportProgress(p);
    EXPECT_EQ(g_reports, c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, ReportProgressTest, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

TEST(DevelopJob, WithoutCallbackNothingIsReported)
{
    develop::DevelopJob job;
    g_reports.clear();
    job.ReportProgress(50);
    EXPECT_TRUE(g_reports.empty());
}

TEST(DevelopJob, LastValueCarriesOverToTheNextRun)
{
    develop::DevelopJob job;
    job.SetCallback(Record);
    g_reports.clear();
    job.ReportProgress(100);
    job.Run(nullptr);
    job.ReportProgress(100);
    job.ReportProgress(0);
    EXPECT_EQ(g_reports, (std::vector<UINT>{100, 0}));
}

TEST(DevelopJob, StopRequestIsTakenOnceAndClearedByRun)
{
    develop::DevelopJob job;
    EXPECT_FALSE(job.TakeStopRequest());
    job.RequestStop();
    EXPECT_TRUE(job.TakeStopRequest());
    EXPECT_FALSE(job.TakeStopRequest());
    job.RequestStop();
    EXPECT_EQ(job.Run(nullptr), 0);
    EXPECT_FALSE(job.TakeStopRequest()) << "a request before a run is lost";
}

TEST(DevelopJob, CopySourceToTarget)
{
    develop::DevelopJob job;
    C16BitBitmap source, target;
    EXPECT_FALSE(job.CopySourceToTarget()) << "no images set";
    ASSERT_EQ(source.Create(3, 2), 1);
    for (int i = 0; i < 6; ++i)
        *source.GetBuffer(i % 3, i / 3) = C16BitPixel{WORD(i), WORD(i * 2), WORD(i * 3)};
    job.SetImages(&source, &target);
    ASSERT_TRUE(job.CopySourceToTarget());
    ASSERT_EQ(target.GetWidth(), 3);
    ASSERT_EQ(target.GetHeight(), 2);
    EXPECT_TRUE(target.GetPixel(2, 1) == source.GetPixel(2, 1));
}

} // namespace
