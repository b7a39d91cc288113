#include "platform/afx/SyncObjects.h"
#include "platform/afx/WinThread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

TEST(ThreadSync, MutexIsReentrantForItsOwner)
{
    CMutex mutex;
    CSingleLock outer(&mutex, TRUE);
    ASSERT_TRUE(outer.IsLocked());
    {
        CSingleLock inner(&mutex, TRUE);
        EXPECT_TRUE(inner.IsLocked()) << "the owner locks again without blocking";
    }
    std::atomic<BOOL> other{TRUE};
    std::thread([&] { other = mutex.Lock(0); }).join();
    EXPECT_FALSE(other.load()) << "still held once by this thread";
    outer.Unlock();
    std::thread([&] {
        other = mutex.Lock(0);
        mutex.Unlock();
    }).join();
    EXPECT_TRUE(other.load());
}

TEST(ThreadSync, CriticalSectionIsReentrantAndExclusive)
{
    CCriticalSection cs;
    CSingleLock a(&cs, TRUE);
    CSingleLock b(&cs, TRUE);
    EXPECT_TRUE(b.IsLocked());
    std::atomic<BOOL> other{TRUE};
    std::thread([&] { other = cs.Lock(0); }).join();
    EXPECT_FALSE(other.load());
}

TEST(ThreadSync, EventsAutoAndManualReset)
{
    struct Case {
        BOOL manual;
        bool stillSetAfterWait;
    } cases[] = {{FALSE, false}, {TRUE, true}};
    for (const Case& c : cases) {
        CEvent event(FALSE, c.manual);
        EXPECT_FALSE(event.Lock(0));
        event.SetEvent();
        EXPECT_TRUE(event.Lock(0));
        EXPECT_EQ(event.Lock(0) != FALSE, c.stillSetAfterWait) << "manual " << c.manual;
    }
}

TEST(ThreadSync, EventReleasesAnotherThread)
{
    CEvent go(FALSE, TRUE);
    std::atomic<bool> passed{false};
    std::thread waiter([&] {
        CSingleLock lock(&go, TRUE);
        passed = true;
    });
    EXPECT_FALSE(passed.load());
    go.SetEvent();
    waiter.join();
    EXPECT_TRUE(passed.load());
}

namespace {
UINT EndsEarly(LPVOID p)
{
    *static_cast<int*>(p) = 1;
    AfxEndThread(17, FALSE);
}
}  // namespace

TEST(ThreadSync, AfxEndThreadEndsTheThreadWithItsCode)
{
    int reached = 0;
    CWinThread* thread = AfxBeginThread(EndsEarly, &reached);
    ASSERT_NE(thread, nullptr);
    // bDelete FALSE keeps the object, so its handle stays ours to wait on.
    ASSERT_EQ(WaitForSingleObject(thread->m_hThread, 20000), WAIT_OBJECT_0);
    DWORD code = 0;
    GetExitCodeThread(thread->m_hThread, &code);
    EXPECT_EQ(code, 17u);
    EXPECT_EQ(reached, 1);
    delete thread;
}
