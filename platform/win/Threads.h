// Threads and kernel synchronisation objects with Win32's names: events,
// mutexes, thread handles and waits on them. Handles are reference-counted
// records; a closed or unknown handle makes a wait fail instead of crashing.
#pragma once

#include "platform/win/WinTypes.h"

#include <cstddef>

struct SECURITY_ATTRIBUTES;
using LPSECURITY_ATTRIBUTES = SECURITY_ATTRIBUTES*;
using SIZE_T = std::size_t;
using LPTHREAD_START_ROUTINE = DWORD (*)(LPVOID);

inline constexpr DWORD INFINITE = 0xFFFFFFFF;
inline constexpr DWORD WAIT_OBJECT_0 = 0x00000000;
inline constexpr DWORD WAIT_ABANDONED = 0x00000080;
inline constexpr DWORD WAIT_TIMEOUT = 0x00000102;
inline constexpr DWORD WAIT_FAILED = 0xFFFFFFFF;
inline constexpr DWORD STILL_ACTIVE = 0x00000103;
inline constexpr DWORD CREATE_SUSPENDED = 0x00000004;
inline constexpr DWORD MAXIMUM_WAIT_OBJECTS = 64;

inline constexpr int THREAD_PRIORITY_IDLE = -15;
inline constexpr int THREAD_PRIORITY_LOWEST = -2;
inline constexpr int THREAD_PRIORITY_BELOW_NORMAL = -1;
inline constexpr int THREAD_PRIORITY_NORMAL = 0;
inline constexpr int THREAD_PRIORITY_ABOVE_NORMAL = 1;
inline constexpr int THREAD_PRIORITY_HIGHEST = 2;
inline constexpr int THREAD_PRIORITY_TIME_CRITICAL = 15;

// A small process-wide number per thread, assigned on first use; never 0.
DWORD GetCurrentThreadId();
DWORD GetCurrentProcessId();

// The thread starts at once unless CREATE_SUSPENDED; its handle is
// signalled when the routine returns. The id is known before it runs.
HANDLE CreateThread(LPSECURITY_ATTRIBUTES attrs, SIZE_T stackSize, LPTHREAD_START_ROUTINE start, LPVOID param,
                    DWORD flags, DWORD* threadId);
// Only lifts CREATE_SUSPENDED (returns the previous count: 1, then 0).
DWORD ResumeThread(HANDLE thread);
BOOL GetExitCodeThread(HANDLE thread, DWORD* exitCode);
// Priorities are recorded, not applied.
BOOL SetThreadPriority(HANDLE thread, int priority);
int GetThreadPriority(HANDLE thread);
DWORD GetThreadId(HANDLE thread);

// Names are shared within the process only.
HANDLE CreateEvent(LPSECURITY_ATTRIBUTES attrs, BOOL manualReset, BOOL initialState, LPCSTR name);
BOOL SetEvent(HANDLE event);
BOOL ResetEvent(HANDLE event);
BOOL PulseEvent(HANDLE event);
// Re-entrant for its owner, as on Windows.
HANDLE CreateMutex(LPSECURITY_ATTRIBUTES attrs, BOOL initialOwner, LPCSTR name);
BOOL ReleaseMutex(HANDLE mutex);
HANDLE CreateSemaphore(LPSECURITY_ATTRIBUTES attrs, LONG initialCount, LONG maximumCount, LPCSTR name);
BOOL ReleaseSemaphore(HANDLE semaphore, LONG releaseCount, LONG* previousCount);

DWORD WaitForSingleObject(HANDLE handle, DWORD timeoutMs);
DWORD WaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD timeoutMs);
BOOL CloseHandle(HANDLE handle);

// Win32 error of the last failed call on this thread.
DWORD GetLastError();
void SetLastError(DWORD error);
inline constexpr DWORD ERROR_SUCCESS = 0;
inline constexpr DWORD ERROR_INVALID_HANDLE = 6;
inline constexpr DWORD ERROR_ALREADY_EXISTS = 183;
inline constexpr DWORD ERROR_NOT_OWNER = 288;
