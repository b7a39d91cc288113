// The album worker's protocol: done notices with the tag, progress mapped
// into the job's range, the last result, and a job without a notify window
// dropped.
#include "album/tools/AlgorithmThread.h"

#include "algorithms/EffectAlgorithm.h"
#include "platform/afx/tests/WndTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

namespace {

using Notice = std::pair<WPARAM, LPARAM>;

class CNoticeWnd : public CWnd {
public:
    std::vector<Notice> got;

protected:
    LRESULT OnNotice(WPARAM w, LPARAM l)
    {
        got.emplace_back(w, l);
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CNoticeWnd, CWnd)
    ON_MESSAGE(shelf::WM_ALGORITHM_NOTIFY, OnNotice)
END_MESSAGE_MAP()

class CTestAlgorithm : public EffectAlgorithm {
public:
    HRESULT answer = 0;
    int applied = 0;
    HRESULT Apply(const void*) override
    {
        ++applied;
        Progress(50);
        return answer;
    }
};

class ShelfAlgorithmThreadTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(wnd.CreateEx(0, TestClass(), "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
        ASSERT_TRUE(worker.CreateThread(0));
    }
    void TearDown() override
    {
        worker.PostThreadMessage(WM_QUIT, 0, 0);
        EXPECT_EQ(WaitForSingleObject(worker.m_hThread, 20000), WAIT_OBJECT_0);
        wnd.DestroyWindow();
    }
    CNoticeWnd wnd;
    shelf::CAlgorithmThread worker;
};

struct JobCase {
    const char* name;
    HRESULT answer;
    int low, high;
    std::vector<Notice> notices;
};

class ShelfAlgorithmJobTest : public ShelfAlgorithmThreadTest, public ::testing::WithParamInterface<JobCase> {};

TEST_P(ShelfAlgorithmJobTest, ReportsProgressInRangeAndDone)
{
    const JobCase& c = GetParam();
    CTestAlgorithm alg;
    alg.answer = c.answer;
    worker.SetNotifyWindow(wnd.m_hWnd);
    ASSERT_TRUE(worker.RunAlgorithm(&alg, nullptr, 7, c.low, c.high));
    EXPECT_TRUE(worker.IsBusy());
    ASSERT_TRUE(PumpUntil([&] { return wnd.got.size() == c.notices.size(); }));
    EXPECT_EQ(wnd.got, c.notices);
    EXPECT_FALSE(worker.IsBusy());
    EXPECT_EQ(worker.GetResult(), c.answer);
}

INSTANTIATE_TEST_SUITE_P(Jobs, ShelfAlgorithmJobTest,
                         ::testing::Values(JobCase{"Succeeds", 0, 20, 60, {{0, 40}, {1, 7}}},
                                           JobCase{"FailureStillReportsDone", E_FAIL, 0, 100, {{0, 50}, {1, 7}}},
                                           // The third action of four: lo 60, hi 80.
                                           JobCase{"SubRangeOfAChain", 0, 60, 80, {{0, 70}, {1, 7}}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ShelfAlgorithmThreadTest, JobWithoutNotifyWindowIsDropped)
{
    CTestAlgorithm alg;
    ASSERT_TRUE(worker.RunAlgorithm(&alg, nullptr, 3, 0, 100));
    ASSERT_TRUE(PumpUntil([&] { return !worker.IsBusy(); }));
    // A later job with a window still runs: the dropped one left nothing behind.
    CTestAlgorithm second;
    worker.SetNotifyWindow(wnd.m_hWnd);
    ASSERT_TRUE(worker.RunAlgorithm(&second, nullptr, 4, 0, 100));
    ASSERT_TRUE(PumpUntil([&] { return !wnd.got.empty() && wnd.got.back().first == 1; }));
    EXPECT_EQ(alg.applied, 0);
    EXPECT_EQ(second.applied, 1);
    EXPECT_EQ(wnd.got.back(), (Notice{1, 4}));
}

} // namespace
