// The worker's job protocol, with fake jobs, through a window that records
// what reaches it.
#include "develop/ProcessThread.h"

#include "platform/afx/tests/WndTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>
#include <utility>
#include <vector>

namespace {

using develop::CProcessThread;
using develop::WM_DEVELOP_JOB;
using Notice = std::pair<WPARAM, LPARAM>;

class CNoticeWnd : public CWnd {
public:
    std::vector<Notice> got;
    bool Has(WPARAM kind, LPARAM value) const
    {
        return std::find(got.begin(), got.end(), Notice{kind, value}) != got.end();
    }

protected:
    LRESULT OnJob(WPARAM w, LPARAM l)
    {
        got.emplace_back(w, l);
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CNoticeWnd, CWnd)
    ON_MESSAGE(WM_DEVELOP_JOB, OnJob)
END_MESSAGE_MAP()

// Reports 50 % of its range and returns what it is told; or holds until released.
class CFakeJob : public develop::DevelopJob {
public:
    HRESULT answer = 0;
    std::atomic<bool> hold{false};
    std::atomic<bool> entered{false};
    std::atomic<const void*> argument{nullptr};

    HRESULT Run(const void* params) override
    {
        argument = params;
        entered = true;
        while (hold)
            std::this_thread::yield();
        ReportProgress(50);
        return answer;
    }
};

std::atomic<int> g_functionRuns{0};
std::atomic<LPVOID> g_functionArgument{nullptr};
UINT CountingFunction(LPVOID argument)
{
    g_functionArgument = argument;
    ++g_functionRuns;
    // Progress from inside a function job, as the RAW library reports it.
    CProcessThread::ProgressCallback(1, 33);
    return 99; // ignored
}

class ProcessThreadTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(wnd.CreateEx(0, TestClass(), "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
        ASSERT_TRUE(worker.CreateThread());
    }
    void TearDown() override
    {
        worker.PostThreadMessage(WM_QUIT, 0, 0);
        EXPECT_EQ(WaitForSingleObject(worker.m_hThread, 20000), WAIT_OBJECT_0);
        wnd.DestroyWindow();
    }

    CNoticeWnd wnd;
    CProcessThread worker;
};

TEST_F(ProcessThreadTest, ObjectJobsEndWithDoneOrFailed)
{
    struct Case {
        HRESULT answer;
        int lo, hi;
        LPARAM tag;
        std::vector<Notice> notices;
    };
    const Case cases[] = {
        {0, 0, 100, 7, {{1, 50}, {2, 7}}},
        {E_FAIL, 20, 60, 8, {{1, 40}, {3, 8}}},
    };
    for (const Case& c : cases) {
        CFakeJob job;
        job.answer = c.answer;
        int argument = 0;
        wnd.got.clear();
        ASSERT_TRUE(worker.PostJobObject(&job, &argument, wnd.m_hWnd, c.tag, c.lo, c.hi));
        ASSERT_TRUE(PumpUntil([&] { return wnd.got.size() == c.notices.size(); }));
        EXPECT_EQ(wnd.got, c.notices);
        EXPECT_EQ(job.argument.load(), &argument);
        EXPECT_EQ(worker.GetLastResult(), c.answer);
        EXPECT_FALSE(worker.IsBusy());
    }
}

TEST_F(ProcessThreadTest, FunctionJobsAlwaysEndWithDone)
{
    g_functionRuns = 0;
    int argument = 0;
    ASSERT_TRUE(worker.PostJob(CountingFunction, &argument, wnd.m_hWnd));
    const LPARAM function = reinterpret_cast<LPARAM>(&CountingFunction);
    ASSERT_TRUE(PumpUntil([&] { return wnd.Has(2, function); }));
    EXPECT_EQ(wnd.got, (std::vector<Notice>{{1, 33}, {2, function}}));
    EXPECT_EQ(g_functionRuns.load(), 1);
    EXPECT_EQ(g_functionArgument.load(), &argument);
    EXPECT_FALSE(worker.PostJob(nullptr, nullptr, wnd.m_hWnd));
}

TEST_F(ProcessThreadTest, BusyFromPostingUntilTheJobEnds)
{
    CFakeJob job;
    job.hold = true;
    ASSERT_TRUE(worker.PostJobObject(&job, nullptr, wnd.m_hWnd, 1, 0, 100));
    EXPECT_TRUE(worker.IsBusy());
    ASSERT_TRUE(PumpUntil([&] { return job.entered.load(); }));
    EXPECT_TRUE(worker.IsBusy());
    job.hold = false;
    ASSERT_TRUE(PumpUntil([&] { return wnd.Has(2, 1); }));
    EXPECT_FALSE(worker.IsBusy());
}

TEST_F(ProcessThreadTest, JobsPostedWhileOneRunsKeepTheirArguments)
{
    CFakeJob first, second;
    first.hold = true;
    int a = 0, b = 0;
    ASSERT_TRUE(worker.PostJobObject(&first, &a, wnd.m_hWnd, 1, 0, 100));
    ASSERT_TRUE(PumpUntil([&] { return first.entered.load(); }));
    ASSERT_TRUE(worker.PostJobObject(&second, &b, wnd.m_hWnd, 2, 0, 100));
    first.hold = false;
    ASSERT_TRUE(PumpUntil([&] { return wnd.Has(2, 2); }));
    EXPECT_EQ(first.argument.load(), &a);
    EXPECT_EQ(second.argument.load(), &b);
    EXPECT_LT(std::find(wnd.got.begin(), wnd.got.end(), Notice{2, 1}),
              std::find(wnd.got.begin(), wnd.got.end(), Notice{2, 2}));
}

TEST_F(ProcessThreadTest, OtherKindsAreIgnored)
{
    ASSERT_TRUE(worker.PostThreadMessage(WM_DEVELOP_JOB, 5, 0));
    ASSERT_TRUE(worker.PostThreadMessage(WM_DEVELOP_JOB, 1, 3)); // no job behind it
    CFakeJob job;
    ASSERT_TRUE(worker.PostJobObject(&job, nullptr, wnd.m_hWnd, 4, 0, 100));
    ASSERT_TRUE(PumpUntil([&] { return wnd.Has(2, 4); }));
    EXPECT_EQ(wnd.got, (std::vector<Notice>{{1, 50}, {2, 4}}));
}

TEST(ProcessThread, OneWorkerForTheProgram)
{
    EXPECT_EQ(&develop::ProcessThread(), &develop::ProcessThread());
    EXPECT_FALSE(develop::ProcessThread().IsBusy());
}

} // namespace
