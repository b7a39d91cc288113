#include "album/tools/AlgorithmThread.h"

#include "algorithms/EffectAlgorithm.h"
#include "platform/afx/MsgMap.h"

namespace shelf {
namespace {

// Where progress goes: the worker whose job runs on the calling thread.
thread_local CAlgorithmThread* t_runningThread = nullptr;

} // namespace

IMPLEMENT_DYNCREATE(CAlgorithmThread, CWinThread)

BEGIN_MESSAGE_MAP(CAlgorithmThread, CWinThread)
    ON_THREAD_MESSAGE(WM_ALGORITHM_JOB, OnThreadJob)
END_MESSAGE_MAP()

CAlgorithmThread::CAlgorithmThread()
{
    // The album's instance lives for the whole program, never deleted by its thread.
    m_bAutoDelete = FALSE;
}

BOOL CAlgorithmThread::InitInstance()
{
    return TRUE;
}

BOOL CAlgorithmThread::RunAlgorithm(EffectAlgorithm* alg, void* param, int jobTag, int low, int high)
{
    if (!alg)
        return FALSE;
    parameter.store(param);
    tag.store(jobTag);
    alg->SetRange(low, high);
    alg->SetCallback(&CAlgorithmThread::ProgressCallback);
    algorithm.store(alg);
    busy.store(1);
    if (PostThreadMessage(WM_ALGORITHM_JOB, 0, 0))
        return TRUE;
    algorithm.store(nullptr);
    busy.store(0);
    return FALSE;
}

int CAlgorithmThread::ProgressCallback(int code, int value)
{
    CAlgorithmThread* self = t_runningThread;
    if (code == 1 && self)
        ::PostMessage(self->notifyWnd.load(), WM_ALGORITHM_NOTIFY, 0, value);
    return 0;
}

LRESULT CAlgorithmThread::OnThreadJob(WPARAM kind, LPARAM)
{
    const HWND wnd = notifyWnd.load();
    EffectAlgorithm* alg = algorithm.load();
    if (!wnd || !alg) {
        // Nowhere to report: the job is dropped, and over.
        algorithm.store(nullptr);
        busy.store(0);
        return -1;
    }
    if (kind != 0)
        return 0;
    t_runningThread = this;
    const HRESULT r = alg->Apply(parameter.load());
    t_runningThread = nullptr;
    result.store(r);
    algorithm.store(nullptr);
    const int doneTag = tag.load();
    busy.store(0);
    ::PostMessage(wnd, WM_ALGORITHM_NOTIFY, 1, doneTag);
    return 0;
}

CAlgorithmThread& AlgorithmThread()
{
    // Program lifetime: its thread may still be winding down at exit.
    static CAlgorithmThread* thread = new CAlgorithmThread;
    return *thread;
}

CAlgorithmThread& StartAlgorithmThread()
{
    CAlgorithmThread& thread = AlgorithmThread();
    if (!thread.m_hThread)
        thread.CreateThread(0);
    return thread;
}

} // namespace shelf
