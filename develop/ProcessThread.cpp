#include "develop/ProcessThread.h"

#include "platform/afx/WinUser.h"

namespace develop {

namespace {
std::atomic<HWND> g_progressWnd{nullptr};
}

IMPLEMENT_DYNCREATE(CProcessThread, CWinThread)

BEGIN_MESSAGE_MAP(CProcessThread, CWinThread)
    ON_THREAD_MESSAGE(WM_DEVELOP_JOB, OnJob)
END_MESSAGE_MAP()

CProcessThread::CProcessThread() { m_bAutoDelete = FALSE; }

BOOL CProcessThread::Post(const Pending& pending, WPARAM kind, LPARAM lParam)
{
    std::lock_guard lock(m_lock);
    m_pending.push_back(pending);
    ++m_busy;
    g_progressWnd = pending.notify;
    if (PostThreadMessage(WM_DEVELOP_JOB, kind, lParam))
        return TRUE;
    m_pending.pop_back();
    --m_busy;
    return FALSE;
}

BOOL CProcessThread::PostJob(JobFunction function, LPVOID argument, HWND notify)
{
    if (!function)
        return FALSE;
    return Post({function, nullptr, argument, notify, 0}, 0, reinterpret_cast<LPARAM>(function));
}

BOOL CProcessThread::PostJobObject(DevelopJob* job, LPVOID argument, HWND notify, LPARAM tag, int lo, int hi)
{
    if (!job)
        return FALSE;
    job->SetCallback(&CProcessThread::ProgressCallback);
    job->SetRange(lo, hi);
    return Post({nullptr, job, argument, notify, tag}, 1, tag);
}

UINT CProcessThread::ProgressCallback(UINT type, UINT value)
{
    if (HWND wnd = g_progressWnd.load())
        ::PostMessage(wnd, WM_DEVELOP_JOB, type, static_cast<LPARAM>(value));
    return 0;
}

void CProcessThread::OnJob(WPARAM wParam, LPARAM)
{
    if (wParam != 0 && wParam != 1)
        return;
    Pending pending;
    {
        std::lock_guard lock(m_lock);
        if (m_pending.empty())
            return;
        pending = m_pending.front();
        m_pending.pop_front();
    }
    WPARAM kind = kJobDone;
    LPARAM value = pending.tag;
    if (pending.job) {
        const HRESULT result = pending.job->Run(pending.argument);
        m_lastResult = result;
        kind = result == 0 ? kJobDone : kJobFailed;
    } else {
        pending.function(pending.argument);
        value = reinterpret_cast<LPARAM>(pending.function);
    }
    --m_busy;
    if (pending.notify)
        ::PostMessage(pending.notify, WM_DEVELOP_JOB, kind, value);
}

CProcessThread& ProcessThread()
{
    static CProcessThread* thread = new CProcessThread;
    return *thread;
}

} // namespace develop
