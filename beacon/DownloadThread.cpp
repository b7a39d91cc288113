#include "beacon/DownloadThread.h"

#include "beacon/Install.h"
#include "platform/win/Threads.h"

#include <QCoreApplication>
#include <QThread>

namespace beacon {

IMPLEMENT_DYNCREATE(CDownloadThread, CWinThread)

BEGIN_MESSAGE_MAP(CDownloadThread, CWinThread)
    ON_THREAD_MESSAGE(WM_BEACON_DOWNLOAD, OnStartDownload)
END_MESSAGE_MAP()

CDownloadThread::CDownloadThread() { m_bAutoDelete = FALSE; }

CDownloadThread*& DownloadThread()
{
    static CDownloadThread* thread = nullptr;
    return thread;
}

void PumpUntil(const std::function<bool()>& done)
{
    while (!done()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(5);
    }
}

void CDownloadThread::CancelAndWait()
{
    if (!m_busy.load())
        return;
    m_cancel = 1;
    PumpUntil([this] { return m_busy.load() == 0; });
    m_cancel = 0;
}

void CDownloadThread::StartDownload(const std::string& url, const std::string& path)
{
    CancelAndWait();
    {
        std::lock_guard lock(m_lock);
        m_url = url;
        m_path = path;
        m_failure.clear();
    }
    // Busy from the moment it is asked for, so a Cancel that comes before the
    // thread picks the job up still waits for it.
    m_busy = 1;
    if (!PostThreadMessage(WM_BEACON_DOWNLOAD, 0, 0))
        m_busy = 0;
}

std::string CDownloadThread::FailureText()
{
    std::lock_guard lock(m_lock);
    return m_failure;
}

void CDownloadThread::OnStartDownload(WPARAM wParam, LPARAM)
{
    if (wParam != 0)
        return;
    std::string url, path;
    {
        std::lock_guard lock(m_lock);
        url = m_url;
        path = m_path;
    }
    const DownloadOutcome out = RunDownload(url, path, m_cancel, [this](std::int64_t total) {
        if (HWND wnd = m_notifyWindow.load())
            ::PostMessage(wnd, WM_BEACON_DOWNLOAD, kDownloadProgress, static_cast<LPARAM>(total));
    });
    {
        std::lock_guard lock(m_lock);
        m_failure = out.cancelled ? std::string() : out.message;
    }
    if (HWND wnd = m_notifyWindow.load())
        ::PostMessage(wnd, WM_BEACON_DOWNLOAD, kDownloadDone, out.succeeded ? 1 : 0);
    m_busy = 0;
}

void CDownloadThread::Stop()
{
    if (!m_hThread)
        return;
    m_cancel = 1;
    m_notifyWindow = nullptr;
    PostThreadMessage(WM_QUIT, 0, 0);
    ::WaitForSingleObject(m_hThread, INFINITE);
}

} // namespace beacon
