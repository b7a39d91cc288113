#include "glance/LoadingThread.h"

#include "platform/afx/WinUser.h"

#include <memory>

namespace glance {

IMPLEMENT_DYNCREATE(CLoadingThread, CWinThread)

BEGIN_MESSAGE_MAP(CLoadingThread, CWinThread)
    ON_THREAD_MESSAGE(WM_GLANCE_LOADING, OnLoading)
END_MESSAGE_MAP()

CLoadingThread::CLoadingThread() { m_bAutoDelete = FALSE; }

BOOL CLoadingThread::PostOpen(const std::string& path)
{
    auto copy = std::make_unique<std::string>(path);
    if (!PostThreadMessage(WM_GLANCE_LOADING, kOpen, reinterpret_cast<LPARAM>(copy.get())))
        return FALSE;
    copy.release();
    return TRUE;
}

BOOL CLoadingThread::PostStep(Request request) { return PostThreadMessage(WM_GLANCE_LOADING, request, 0); }

void CLoadingThread::NotifyWindow() const
{
    if (HWND wnd = m_hNotifyWnd.load())
        ::PostMessage(wnd, WM_GLANCE_LOADING, 0, 1);
}

void CLoadingThread::OnLoading(WPARAM wParam, LPARAM lParam)
{
    const auto notify = [this] { NotifyWindow(); };
    switch (wParam) {
    case kOpen: {
        std::unique_ptr<std::string> path(reinterpret_cast<std::string*>(lParam));
        m_state = 1;
        m_folder.Open(path ? *path : std::string(), notify);
        m_state = 3;
        break;
    }
    case kNext:
        m_folder.Next(notify);
        break;
    case kPrevious:
        m_folder.Previous(notify);
        break;
    default:
        break;
    }
}

CLoadingThread& LoadingThread()
{
    static CLoadingThread thread;
    return thread;
}

} // namespace glance
