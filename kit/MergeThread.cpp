#include "kit/MergeThread.h"

#include "kit/Blend.h"
#include "kit/LayeredImage.h"
#include "platform/win/Timing.h"

namespace kit {

namespace {

// How long the loop sleeps between looks at the flag when nobody wakes it.
constexpr DWORD kPollMs = 50;

}  // namespace

IMPLEMENT_DYNCREATE(CMergeThread, CWinThread)

CMergeThread::CMergeThread()
{
    m_bAutoDelete = FALSE;
    m_wake = ::CreateEvent(nullptr, FALSE, FALSE, nullptr);
}

CMergeThread::~CMergeThread()
{
    if (m_wake)
        ::CloseHandle(m_wake);
}

int CMergeThread::Run()
{
    while (!m_stop.load()) {
        if (m_mergeRequested.exchange(0)) {
            MergeOnce();
            continue;
        }
        if (m_wake)
            ::WaitForSingleObject(m_wake, kPollMs);
        else
            ::Sleep(kPollMs);
    }
    return ExitInstance();
}

void CMergeThread::MergeOnce()
{
    {
        CSingleLock lock(&m_section, TRUE);
        CComplexImageUtils* source = m_source.load();
        CQLImage* target = m_target.load();
        if (source && target && source->Document())
            ComposeDocument(*source->Document(), *target, true);
    }
    if (const HWND window = m_hNotifyWnd.load())
        ::PostMessage(window, WM_KIT_MERGED, 0, 0);
}

int CMergeThread::ExitInstance()
{
    m_target.store(nullptr);
    return CWinThread::ExitInstance();
}

void CMergeThread::SetJob(HWND notifyWnd, CQLImage* target, CComplexImageUtils* source)
{
    CSingleLock lock(&m_section, TRUE);
    m_hNotifyWnd.store(notifyWnd);
    m_target.store(target);
    m_source.store(source);
}

void CMergeThread::RequestMerge()
{
    m_mergeRequested.store(1);
    if (m_wake)
        ::SetEvent(m_wake);
}

void CMergeThread::StopAndJoin()
{
    m_stop.store(true);
    if (m_wake)
        ::SetEvent(m_wake);
    if (m_hThread)
        ::WaitForSingleObject(m_hThread, INFINITE);
}

}  // namespace kit
