#include "WndTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <thread>
#include <vector>

namespace {

constexpr UINT WM_TEST = WM_USER + 10;

class CRecordWnd : public CWnd {
public:
    std::vector<std::pair<WPARAM, LPARAM>> m_got;
    DWORD m_lastThread = 0;
    int m_timerTicks = 0;

protected:
    LRESULT OnTest(WPARAM w, LPARAM l)
    {
        m_got.emplace_back(w, l);
        m_lastThread = GetCurrentThreadId();
        return static_cast<LRESULT>(w * 2);
    }
    void OnTimer(UINT_PTR id)
    {
        if (id == 7)
            ++m_timerTicks;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CRecordWnd, CWnd)
    ON_MESSAGE(WM_TEST, OnTest)
    ON_WM_TIMER()
END_MESSAGE_MAP()

class MsgQueue : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_wnd.CreateEx(0, TestClass(), "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    }
    void TearDown() override
    {
        if (m_wnd.m_hWnd)
            m_wnd.DestroyWindow();
    }
    CRecordWnd m_wnd;
};

}  // namespace

TEST_F(MsgQueue, PostsFromManyThreadsKeepEachSendersOrder)
{
    constexpr int kThreads = 8, kEach = 200;
    std::vector<std::thread> threads;
    const HWND h = m_wnd.m_hWnd;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([h, t] {
            for (int i = 0; i < kEach; ++i)
                ASSERT_TRUE(PostMessage(h, WM_TEST, static_cast<WPARAM>(t), i));
        });
    for (auto& th : threads)
        th.join();
    ASSERT_TRUE(PumpUntil([&] { return m_wnd.m_got.size() == kThreads * kEach; }));
    std::map<WPARAM, LPARAM> next;
    for (auto [sender, seq] : m_wnd.m_got) {
        EXPECT_EQ(seq, next[sender]) << "sender " << sender;
        next[sender] = seq + 1;
    }
    EXPECT_EQ(m_wnd.m_lastThread, GetCurrentThreadId()) << "delivered on the window's thread";
}

TEST_F(MsgQueue, PostToDestroyedWindowIsDropped)
{
    const HWND h = m_wnd.m_hWnd;
    ASSERT_TRUE(PostMessage(h, WM_TEST, 1, 0));
    m_wnd.DestroyWindow();
    EXPECT_FALSE(PostMessage(h, WM_TEST, 2, 0));
    qlafx::ProcessPendingEvents();
    EXPECT_TRUE(m_wnd.m_got.empty()) << "the message posted before destruction is dropped too";
    EXPECT_EQ(SendMessage(h, WM_TEST, 3, 0), 0);
}

TEST_F(MsgQueue, SendMessageFromAnotherThreadRunsOnTheWindowsThreadAndReturnsTheResult)
{
    std::atomic<LRESULT> result{-1};
    std::atomic<bool> done{false};
    const HWND h = m_wnd.m_hWnd;
    std::thread worker([&] {
        result = SendMessage(h, WM_TEST, 21, 0);
        done = true;
    });
    ASSERT_TRUE(PumpUntil([&] { return done.load(); }));
    worker.join();
    EXPECT_EQ(result.load(), 42);
    EXPECT_EQ(m_wnd.m_lastThread, GetCurrentThreadId());
}

TEST_F(MsgQueue, TimerFiresUntilKilled)
{
    ASSERT_EQ(m_wnd.SetTimer(7, 10), 7u);
    ASSERT_TRUE(PumpUntil([&] { return m_wnd.m_timerTicks >= 3; }));
    EXPECT_TRUE(m_wnd.KillTimer(7));
    EXPECT_FALSE(m_wnd.KillTimer(7));
    const int ticks = m_wnd.m_timerTicks;
    // Whatever was already due may still arrive; after that nothing more.
    qlafx::ProcessPendingEvents();
    const int settled = m_wnd.m_timerTicks;
    EXPECT_LE(settled - ticks, 1);
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 100)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_EQ(m_wnd.m_timerTicks, settled);
}

namespace {

std::atomic<int> g_procTicks{0};
void CALLBACK_TimerProc(HWND, UINT, UINT_PTR, DWORD)
{
    ++g_procTicks;
}

}  // namespace

TEST(MsgTimer, ThreadTimerCallsItsProcedure)
{
    g_procTicks = 0;
    const UINT_PTR id = SetTimer(nullptr, 0, 10, CALLBACK_TimerProc);
    ASSERT_NE(id, 0u);
    ASSERT_TRUE(PumpUntil([] { return g_procTicks.load() >= 2; }));
    EXPECT_TRUE(KillTimer(nullptr, id));
}

// ---- threads ----
namespace {

class CQueueThread : public CWinThread {
    DECLARE_DYNCREATE(CQueueThread)
public:
    static std::vector<LPARAM>* s_got;
    static std::atomic<bool>* s_exited;
    BOOL InitInstance() override { return TRUE; }
    int ExitInstance() override
    {
        *s_exited = true;
        return 5;
    }

protected:
    void OnWork(WPARAM, LPARAM l) { s_got->push_back(l); }
    DECLARE_MESSAGE_MAP()
};

std::vector<LPARAM>* CQueueThread::s_got = nullptr;
std::atomic<bool>* CQueueThread::s_exited = nullptr;
IMPLEMENT_DYNCREATE(CQueueThread, CWinThread)

BEGIN_MESSAGE_MAP(CQueueThread, CWinThread)
    ON_THREAD_MESSAGE(WM_TEST, OnWork)
END_MESSAGE_MAP()

UINT QuitAtOnce(LPVOID p)
{
    MSG msg;
    auto* count = static_cast<std::atomic<int>*>(p);
    while (GetMessage(&msg, nullptr, 0, 0))
        ++*count;
    return static_cast<UINT>(msg.wParam);
}

}  // namespace

TEST(MsgThread, ThreadMessagesArriveInOrderAndQuitEndsTheThread)
{
    std::vector<LPARAM> got;
    std::atomic<bool> exited{false};
    CQueueThread::s_got = &got;
    CQueueThread::s_exited = &exited;
    CWinThread* thread = AfxBeginThread(RUNTIME_CLASS(CQueueThread), THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    ASSERT_NE(thread, nullptr);
    thread->m_bAutoDelete = FALSE;
    for (int i = 0; i < 100; ++i)
        ASSERT_TRUE(thread->PostThreadMessage(WM_TEST, 0, i)) << "queue exists before the thread runs";
    ASSERT_TRUE(thread->PostThreadMessage(WM_QUIT, 0, 0));
    thread->ResumeThread();
    ASSERT_EQ(WaitForSingleObject(thread->m_hThread, 20000), WAIT_OBJECT_0);
    ASSERT_EQ(got.size(), 100u);
    for (int i = 0; i < 100; ++i)
        EXPECT_EQ(got[static_cast<size_t>(i)], i);
    EXPECT_TRUE(exited.load());
    DWORD code = 0;
    GetExitCodeThread(thread->m_hThread, &code);
    EXPECT_EQ(code, 5u) << "Run returns ExitInstance's value";
    const DWORD id = thread->m_nThreadID;
    delete thread;
    EXPECT_FALSE(PostThreadMessage(id, WM_TEST, 0, 0)) << "no queue after the thread ended";
}

TEST(MsgThread, WorkerFunctionLoopEndsOnPostQuitMessage)
{
    std::atomic<int> count{0};
    CWinThread* thread = AfxBeginThread(QuitAtOnce, &count, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    ASSERT_NE(thread, nullptr);
    thread->m_bAutoDelete = FALSE;
    thread->PostThreadMessage(WM_USER, 0, 0);
    thread->PostThreadMessage(WM_USER, 0, 0);
    thread->PostThreadMessage(WM_QUIT, 9, 0);
    thread->ResumeThread();
    ASSERT_EQ(WaitForSingleObject(thread->m_hThread, 20000), WAIT_OBJECT_0);
    EXPECT_EQ(count.load(), 2);
    DWORD code = 0;
    GetExitCodeThread(thread->m_hThread, &code);
    EXPECT_EQ(code, 9u);
    delete thread;
}
