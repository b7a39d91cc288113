#include "editor/shell/AsyncSaveThread.h"

#include "platform/win/Threads.h"

#include <cstdio>
#include <cstring>
#include <new>

CAsyncSaveThread::CAsyncSaveThread()
{
    m_wake = CreateEvent(nullptr, FALSE, FALSE, nullptr);
    m_idle = CreateEvent(nullptr, TRUE, TRUE, nullptr);
}

CAsyncSaveThread::~CAsyncSaveThread()
{
    if (m_thread) {
        m_quit = true;
        SetEvent(m_wake);
        WaitForSingleObject(m_thread, INFINITE);
        CloseHandle(m_thread);
    }
    CloseHandle(m_wake);
    CloseHandle(m_idle);
}

BOOL CAsyncSaveThread::CreateThread()
{
    if (m_thread)
        return TRUE;
    if (!m_wake || !m_idle)
        return FALSE;
    m_thread = ::CreateThread(nullptr, 0, &CAsyncSaveThread::ThreadMain, this, 0, nullptr);
    return m_thread != nullptr;
}

BOOL CAsyncSaveThread::InitInstance()
{
    m_started = TRUE;
    return TRUE;
}

DWORD CAsyncSaveThread::ThreadMain(LPVOID self)
{
    auto* thread = static_cast<CAsyncSaveThread*>(self);
    thread->InitInstance();
    for (;;) {
        WaitForSingleObject(thread->m_wake, INFINITE);
        if (thread->m_busy)
            thread->OnWriteBlock();
        if (thread->m_quit)
            break;
    }
    return 0;
}

BOOL CAsyncSaveThread::QueueWrite(std::unique_ptr<BYTE[]> data, DWORD length, const char* path, LONGLONG offset)
{
    if (!m_thread)
        return FALSE;
    WaitUntilIdle();
    m_data = std::move(data);
    m_length = length;
    std::snprintf(m_path, sizeof m_path, "%s", path);
    m_offset = offset;
    ResetEvent(m_idle);
    m_busy = TRUE;
    SetEvent(m_wake);
    return TRUE;
}

void CAsyncSaveThread::WaitUntilIdle()
{
    if (m_busy)
        WaitForSingleObject(m_idle, INFINITE);
}

void CAsyncSaveThread::OnWriteBlock()
{
    bool ok = false;
    FILE* file = std::fopen(m_path, "r+b");
    if (!file)
        file = std::fopen(m_path, "w+b");
    if (file) {
        ok = fseeko(file, m_offset, SEEK_SET) == 0 && std::fwrite(m_data.get(), 1, m_length, file) == m_length;
        // Closing flushes: a failure there is a failed write too.
        ok = std::fclose(file) == 0 && ok;
    }
    if (!ok)
        m_ok = FALSE;
    // Cleared on every path, so a failed write cannot leave undo waiting.
    m_busy = FALSE;
    SetEvent(m_idle);
}
