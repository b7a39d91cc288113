// Writes undo snapshots into the history file on a thread of its own, so a
// push returns as soon as its block is encoded.
//
// A plain kernel thread with two events rather than a message-loop thread:
// it has one job and no windows, and the history stays free of the window
// system. The wake event stands for the thread message WM_USER+1107.
#pragma once

#include "platform/win/WinTypes.h"

#include <atomic>
#include <memory>

class CAsyncSaveThread {
public:
    CAsyncSaveThread();
    // Lets a pending write finish, then ends the thread.
    ~CAsyncSaveThread();
    CAsyncSaveThread(const CAsyncSaveThread&) = delete;
    CAsyncSaveThread& operator=(const CAsyncSaveThread&) = delete;

    // Starts the thread once; TRUE when it runs.
    BOOL CreateThread();
    BOOL InitInstance();

    // Waits until the previous block is written, then takes this one over:
    // a snapshot is tens of megabytes, too much to copy on every push.
    // FALSE (nothing queued) when the thread does not run.
    BOOL QueueWrite(std::unique_ptr<BYTE[]> data, DWORD length, const char* path, LONGLONG offset);
    // Returns when no block is pending.
    void WaitUntilIdle();

    BOOL IsCreated() const { return m_thread != nullptr; }
    BOOL IsStarted() const { return m_started; }
    // FALSE after a failed write, for good.
    BOOL IsOk() const { return m_ok; }
    BOOL IsBusy() const { return m_busy; }

private:
    static DWORD ThreadMain(LPVOID self);
    // The handler of the wake-up: writes the pending block.
    void OnWriteBlock();

    std::unique_ptr<BYTE[]> m_data;
    DWORD m_length = 0;
    char m_path[512] = {};
    LONGLONG m_offset = 0;
    std::atomic<BOOL> m_busy{FALSE};
    std::atomic<BOOL> m_started{FALSE};
    std::atomic<BOOL> m_ok{TRUE};

    HANDLE m_thread = nullptr;
    HANDLE m_wake = nullptr; // auto-reset: a block is queued, or quit
    HANDLE m_idle = nullptr; // manual-reset: signalled while no block is pending
    std::atomic<bool> m_quit{false};
};
