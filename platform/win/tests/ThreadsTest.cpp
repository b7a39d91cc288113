#include "platform/win/Threads.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

DWORD ReturnParam(LPVOID p)
{
    return static_cast<DWORD>(reinterpret_cast<std::uintptr_t>(p));
}

DWORD WaitOnEvent(LPVOID p)
{
    return WaitForSingleObject(static_cast<HANDLE>(p), INFINITE) == WAIT_OBJECT_0 ? 1 : 0;
}

}  // namespace

TEST(Threads, ThreadIdsAreDistinctAndStable)
{
    const DWORD mine = GetCurrentThreadId();
    EXPECT_NE(mine, 0u);
    EXPECT_EQ(mine, GetCurrentThreadId());
    DWORD other = 0;
    std::thread([&] { other = GetCurrentThreadId(); }).join();
    EXPECT_NE(other, 0u);
    EXPECT_NE(other, mine);
}

TEST(Threads, SuspendedThreadRunsOnlyAfterResumeAndSignalsItsHandle)
{
    DWORD id = 0;
    HANDLE h = CreateThread(nullptr, 0, ReturnParam, reinterpret_cast<LPVOID>(42), CREATE_SUSPENDED, &id);
    ASSERT_NE(h, nullptr);
    EXPECT_NE(id, 0u);
    EXPECT_EQ(GetThreadId(h), id);
    EXPECT_EQ(WaitForSingleObject(h, 50), WAIT_TIMEOUT);
    DWORD code = 0;
    EXPECT_TRUE(GetExitCodeThread(h, &code));
    EXPECT_EQ(code, STILL_ACTIVE);
    EXPECT_EQ(ResumeThread(h), 1u);
    EXPECT_EQ(WaitForSingleObject(h, INFINITE), WAIT_OBJECT_0);
    EXPECT_TRUE(GetExitCodeThread(h, &code));
    EXPECT_EQ(code, 42u);
    EXPECT_TRUE(CloseHandle(h));
}

TEST(Threads, ClosedHandleFailsInsteadOfCrashing)
{
    HANDLE e = CreateEvent(nullptr, TRUE, FALSE, nullptr);
    ASSERT_TRUE(CloseHandle(e));
    EXPECT_FALSE(CloseHandle(e));
    EXPECT_EQ(WaitForSingleObject(e, 0), WAIT_FAILED);
    EXPECT_FALSE(SetEvent(e));
}

TEST(Threads, AutoResetEventReleasesOneWaitManualResetStaysSet)
{
    HANDLE autoEvent = CreateEvent(nullptr, FALSE, TRUE, nullptr);
    EXPECT_EQ(WaitForSingleObject(autoEvent, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(autoEvent, 0), WAIT_TIMEOUT);
    HANDLE manual = CreateEvent(nullptr, TRUE, TRUE, nullptr);
    EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_OBJECT_0);
    ResetEvent(manual);
    EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_TIMEOUT);
    CloseHandle(autoEvent);
    CloseHandle(manual);
}

TEST(Threads, SetEventWakesAWaitingThread)
{
    HANDLE e = CreateEvent(nullptr, FALSE, FALSE, nullptr);
    HANDLE t = CreateThread(nullptr, 0, WaitOnEvent, e, 0, nullptr);
    EXPECT_EQ(WaitForSingleObject(t, 30), WAIT_TIMEOUT);
    SetEvent(e);
    ASSERT_EQ(WaitForSingleObject(t, INFINITE), WAIT_OBJECT_0);
    DWORD code = 0;
    GetExitCodeThread(t, &code);
    EXPECT_EQ(code, 1u);
    CloseHandle(t);
    CloseHandle(e);
}

TEST(Threads, MutexIsReentrantForItsOwnerAndExcludesOthers)
{
    HANDLE m = CreateMutex(nullptr, FALSE, nullptr);
    ASSERT_EQ(WaitForSingleObject(m, 0), WAIT_OBJECT_0);
    ASSERT_EQ(WaitForSingleObject(m, 0), WAIT_OBJECT_0);
    DWORD other = 0;
    std::thread([&] { other = WaitForSingleObject(m, 0); }).join();
    EXPECT_EQ(other, WAIT_TIMEOUT);
    EXPECT_TRUE(ReleaseMutex(m));
    std::thread([&] { other = WaitForSingleObject(m, 0); }).join();
    EXPECT_EQ(other, WAIT_TIMEOUT) << "still held once";
    EXPECT_TRUE(ReleaseMutex(m));
    EXPECT_FALSE(ReleaseMutex(m)) << "not owned any more";
    std::thread([&] {
        other = WaitForSingleObject(m, 0);
        ReleaseMutex(m);
    }).join();
    EXPECT_EQ(other, WAIT_OBJECT_0);
    CloseHandle(m);
}

TEST(Threads, NamedObjectsAreSharedWithinTheProcess)
{
    HANDLE a = CreateEvent(nullptr, TRUE, FALSE, "quillo-test-event");
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    HANDLE b = CreateEvent(nullptr, TRUE, FALSE, "quillo-test-event");
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    SetEvent(a);
    EXPECT_EQ(WaitForSingleObject(b, 0), WAIT_OBJECT_0);
    CloseHandle(a);
    CloseHandle(b);
    HANDLE c = CreateEvent(nullptr, TRUE, FALSE, "quillo-test-event");
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS) << "the name goes with the last handle";
    CloseHandle(c);
}

TEST(Threads, WaitForMultipleObjectsAnyAndAll)
{
    HANDLE a = CreateEvent(nullptr, TRUE, FALSE, nullptr);
    HANDLE b = CreateEvent(nullptr, TRUE, TRUE, nullptr);
    HANDLE both[2] = {a, b};
    EXPECT_EQ(WaitForMultipleObjects(2, both, FALSE, 0), WAIT_OBJECT_0 + 1);
    EXPECT_EQ(WaitForMultipleObjects(2, both, TRUE, 0), WAIT_TIMEOUT);
    SetEvent(a);
    EXPECT_EQ(WaitForMultipleObjects(2, both, TRUE, 0), WAIT_OBJECT_0);
    CloseHandle(a);
    CloseHandle(b);
}

TEST(Threads, SemaphoreCountsDown)
{
    HANDLE s = CreateSemaphore(nullptr, 2, 2, nullptr);
    EXPECT_EQ(WaitForSingleObject(s, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(s, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(s, 0), WAIT_TIMEOUT);
    LONG previous = -1;
    EXPECT_TRUE(ReleaseSemaphore(s, 2, &previous));
    EXPECT_EQ(previous, 0);
    EXPECT_FALSE(ReleaseSemaphore(s, 1, nullptr)) << "beyond the maximum";
    CloseHandle(s);
}
