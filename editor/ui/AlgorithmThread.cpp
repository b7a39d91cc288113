#include "editor/ui/AlgorithmThread.h"

#include "algorithms/EffectAlgorithm.h"
#include "algorithms/SharpenLuma.h"
#include "platform/afx/MsgMap.h"
#include "platform/codec/QLImageCodec.h"

#include <cstring>
#include <memory>
#include <strings.h>
#include <utility>

namespace {

constexpr size_t kMaxPendingThumbs = 900;
constexpr int kThumbnailSide = 100;
constexpr int kThumbnailSharpen = 200;

// Where progress goes: the worker whose job runs on the calling thread
// (effects report from the thread that runs them).
thread_local CAlgorithmThread* t_runningThread = nullptr;

} // namespace

IMPLEMENT_DYNCREATE(CAlgorithmThread, CWinThread)

BEGIN_MESSAGE_MAP(CAlgorithmThread, CWinThread)
    ON_THREAD_MESSAGE(WM_ALGORITHM_JOB, OnThreadJob)
END_MESSAGE_MAP()

CAlgorithmThread::CAlgorithmThread()
{
    // The one instance is a global object, never deleted by its thread.
    m_bAutoDelete = FALSE;
}

CAlgorithmThread::~CAlgorithmThread()
{
    DeletePending();
}

BOOL CAlgorithmThread::InitInstance()
{
    return TRUE;
}

void CAlgorithmThread::SetNotifyWnd(HWND wnd)
{
    notifyWnd.store(wnd);
}

BOOL CAlgorithmThread::RunAlgorithm(EffectAlgorithm* alg, void* arg, int jobTag, int low, int high)
{
    if (!alg)
        return FALSE;
    stopRequested.store(0);
    argument.store(arg);
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

void CAlgorithmThread::StopAlgorithm()
{
    if (!busy.load())
        return;
    stopRequested.store(1);
    if (EffectAlgorithm* alg = algorithm.load())
        alg->Cancel();
}

void CAlgorithmThread::QueueThumbnail(const ThumbJob& job)
{
    CSingleLock guard(&lock, TRUE);
    if (pendingThumbs.size() > kMaxPendingThumbs)
        return;
    auto copy = std::make_unique<ThumbJob>(job);
    pendingThumbs.push_back(copy.get());
    if (PostThreadMessage(WM_ALGORITHM_JOB, 1, reinterpret_cast<LPARAM>(copy.get())))
        copy.release();
    else
        pendingThumbs.pop_back();
}

void CAlgorithmThread::BeginThumbnails()
{
    thumbnailsEnabled.store(1);
    DeletePending();
}

void CAlgorithmThread::CancelThumbnails()
{
    // Cleared before the lock: a thumbnail finishing meanwhile is dropped.
    thumbnailsEnabled.store(0);
    DeletePending();
}

void CAlgorithmThread::DeletePending()
{
    CSingleLock guard(&lock, TRUE);
    for (ThumbJob* job : pendingThumbs)
        delete job;
    pendingThumbs.clear();
}

int CAlgorithmThread::ProgressCallback(int code, int value)
{
    CAlgorithmThread* self = t_runningThread;
    if (code != 1 || !self)
        return 0;
    // A stop that came before Apply began was cleared by it: ask again.
    if (self->stopRequested.load())
        if (EffectAlgorithm* alg = self->algorithm.load())
            alg->Cancel();
    ::PostMessage(self->notifyWnd.load(), WM_ALGORITHM_NOTIFY, 0, value);
    return 0;
}

void CAlgorithmThread::OnThreadJob(WPARAM kind, LPARAM)
{
    if (kind == 0) {
        RunCurrentJob();
        return;
    }
    if (kind != 1 || !notifyWnd.load())
        return;
    std::unique_ptr<ThumbJob> job;
    {
        CSingleLock guard(&lock, TRUE);
        if (pendingThumbs.empty())
            return;
        job.reset(pendingThumbs.front());
        pendingThumbs.pop_front();
    }
    MakeThumbnail(*job);
}

void CAlgorithmThread::RunCurrentJob()
{
    EffectAlgorithm* alg = algorithm.load();
    const HWND wnd = notifyWnd.load();
    if (!alg || !wnd) {
        // Nowhere to report: the job does not run, but it is over.
        algorithm.store(nullptr);
        busy.store(0);
        return;
    }
    HRESULT r = E_FAIL;
    if (!stopRequested.load()) {
        t_runningThread = this;
        r = alg->Apply(argument.load());
        t_runningThread = nullptr;
    }
    result.store(r);
    const int doneTag = tag.load();
    const HWND doneWnd = notifyWnd.load();
    algorithm.store(nullptr);
    // Idle before the notice goes out: its handler may start the next job.
    busy.store(0);
    ::PostMessage(doneWnd, WM_ALGORITHM_NOTIFY, 1, doneTag);
}

bool CAlgorithmThread::IsThumbJobWanted(const ThumbJob& job) const
{
    if (!thumbnailsEnabled.load() || !job.list)
        return false;
    if (static_cast<size_t>(static_cast<unsigned>(job.index)) >= job.list->size())
        return false;
    const ThumbJobEntry& entry = (*job.list)[static_cast<unsigned>(job.index)];
    return strncasecmp(entry.name, job.key, sizeof entry.name) == 0 && entry.done == 0;
}

int CAlgorithmThread::ReadThumbnail(const char* path, CQLImage* image)
{
    CQLImageCodec codec;
    int width = 0, height = 0;
    return codec.CreateThumbnail(path, image, kThumbnailSide, &width, &height, 0);
}

void CAlgorithmThread::MakeThumbnail(const ThumbJob& queued)
{
    ThumbJob job = queued;
    job.path[sizeof job.path - 1] = '\0';
    job.key[sizeof job.key - 1] = '\0';
    bool hasImage;
    {
        CSingleLock guard(&lock, TRUE);
        if (!IsThumbJobWanted(job))
            return;
        hasImage = (*job.list)[static_cast<unsigned>(job.index)].thumbnail != nullptr;
    }
    bool made = false;
    if (hasImage) {
        // Decoded into an image of our own, outside the lock, so the list
        // never paints a half-written picture and is not held up meanwhile.
        CQLImage thumb;
        made = ReadThumbnail(job.path, &thumb) != 0;
        if (made) {
            SharpenLuma(&thumb, kThumbnailSharpen);
        } else if (thumb.Create(kThumbnailSide, kThumbnailSide) == 0) {
            std::memset(thumb.GetBuffer(0, 0), 0xFF, thumb.GetAreaByteSize()); // blank: white
        }
        CSingleLock guard(&lock, TRUE);
        if (!IsThumbJobWanted(job))
            return;
        CQLImage* target = (*job.list)[static_cast<unsigned>(job.index)].thumbnail;
        if (!target)
            made = false;
        else
            std::swap(*target, thumb);
    }
    const HWND wnd = notifyWnd.load();
    if (::IsWindow(wnd))
        ::PostMessage(wnd, WM_ALGORITHM_NOTIFY, made ? 100 : 101, job.index);
}
