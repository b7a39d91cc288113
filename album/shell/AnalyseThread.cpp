#include "album/shell/AnalyseThread.h"

#include "album/shell/AlbumScanner.h"
#include "album/tools/DateAlbum.h"
#include "platform/afx/MsgMap.h"
#include "platform/codec/QLImageCodec.h"

#include <algorithm>

namespace shelf {

IMPLEMENT_DYNCREATE(CAnalyseThread, CWinThread)

BEGIN_MESSAGE_MAP(CAnalyseThread, CWinThread)
    ON_THREAD_MESSAGE(WM_ALBUM_ANALYSE, OnAnalyse)
END_MESSAGE_MAP()

CAnalyseThread::CAnalyseThread()
{
    const int cores = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    m_nAhead = 4 * cores;
    for (int i = 0; i < cores; ++i)
        m_pool.emplace_back([this] { PoolLoop(); });
}

CAnalyseThread::~CAnalyseThread()
{
    {
        std::lock_guard lock(m_poolLock);
        m_bStop = true;
    }
    m_poolWake.notify_all();
    m_poolDone.notify_all();
    for (auto& thread : m_pool)
        if (thread.joinable())
            thread.join();
}

void CAnalyseThread::Shutdown()
{
    if (m_hThread) {
        PostThreadMessage(WM_QUIT, 0, 0);
        WaitForSingleObject(m_hThread, INFINITE);
    }
}

void CAnalyseThread::AddJob(const AnalyseJob& job, std::uint64_t serial)
{
    auto work = std::make_shared<Work>();
    work->job = job;
    work->serial = serial;
    const bool wasEmpty = m_jobs.empty();
    {
        std::lock_guard lock(m_poolLock);
        work->id = ++m_nextId;
        m_pending.push_back(work);
        m_work.emplace(work->id, work);
    }
    m_poolWake.notify_one();
    m_jobs.push_back(std::move(work));
    ++m_nCount;
    if (wasEmpty)
        PostThreadMessage(WM_ALBUM_ANALYSE, 0, 0);
}

void CAnalyseThread::WaitIdle()
{
    std::unique_lock lock(m_mutex);
    m_idle.wait(lock, [&] { return m_jobs.empty(); });
}

void CAnalyseThread::SetNewestSerial(std::uint64_t serial)
{
    {
        std::lock_guard lock(m_poolLock);
        m_newestSerial = serial;
    }
    m_poolDone.notify_all();
}

void CAnalyseThread::PoolLoop()
{
    CQLImageCodec codec;
    std::unique_lock lock(m_poolLock);
    for (;;) {
        m_poolWake.wait(lock, [&] { return m_bStop || (!m_pending.empty() && m_nStarted < m_nAhead); });
        if (m_bStop)
            return;
        std::shared_ptr<Work> work = m_pending.front();
        m_pending.pop_front();
        work->started = true;
        ++m_nStarted;
        lock.unlock();
        if (work->job.mode == 0)
            ReadPhotoInfo(work->job.path.c_str(), work->info);
        MakeThumbnail(codec, work->job.path.c_str(), work->job.mode, work->thumb);
        lock.lock();
        work->done = true;
        m_poolDone.notify_all();
    }
}

std::shared_ptr<CAnalyseThread::Work> CAnalyseThread::TakeResult(std::uint64_t id)
{
    std::unique_lock lock(m_poolLock);
    const auto found = m_work.find(id);
    if (found == m_work.end())
        return nullptr;
    std::shared_ptr<Work> work = found->second;
    m_poolDone.wait(lock, [&] { return work->done || m_bStop || work->serial < m_newestSerial; });
    if (!work->done)
        return nullptr;
    m_work.erase(id);
    --m_nStarted;
    m_poolWake.notify_one();
    return work;
}

void CAnalyseThread::DropAllJobs()
{
    {
        std::lock_guard lock(m_poolLock);
        for (const auto& work : m_jobs)
            if (m_work.erase(work->id) && work->started)
                --m_nStarted; // a decode still running finishes into nothing
        m_pending.clear();
    }
    m_poolWake.notify_all();
    m_jobs.clear();
    m_nCount = 0;
}

bool CAnalyseThread::Apply(Work& work)
{
    FolderEntries& model = m_pOwner->m_model;
    PhotoEntry* entry = work.job.entry;
    if (work.job.generation != model.m_generation)
        return false; // the entry was freed since
    entry->m_bInWork = 1;
    PhotoFileInfo& info = entry->m_info;
    bool secondPass = false;
    if (work.job.mode == 0)
        secondPass = ApplyPhotoInfo(work.info, info);
    info.nWidth = work.thumb.width;
    info.nHeight = work.thumb.height;
    if (work.thumb.made)
        std::copy(std::begin(work.thumb.histogram), std::end(work.thumb.histogram), info.histogram);
    entry->m_thumb = std::move(work.thumb.thumb);
    if (secondPass) {
        info.nThumbState = kThumbFirstPass;
        AnalyseJob again = work.job;
        again.mode = 1;
        AddJob(again, work.serial);
    } else {
        info.nThumbState = kThumbDone;
    }
    entry->m_bInWork = 0;
    if (IAnalyseNotify* notify = m_pNotify.load())
        notify->RepaintEntry(entry, model.m_generation);
    return work.job.mode == 0 && work.info.haveExif && !work.info.isLink;
}

void CAnalyseThread::OnAnalyse(WPARAM wParam, LPARAM)
{
    if (wParam != 0)
        return;
    std::shared_ptr<Work> front;
    {
        std::lock_guard lock(m_mutex);
        m_bBusy = 1;
        if (!m_jobs.empty() && m_jobs.front()->serial != m_pOwner->m_serial)
            DropAllJobs();
        if (m_jobs.empty()) {
            m_bBusy = 0;
            m_idle.notify_all();
            return;
        }
        front = m_jobs.front();
    }
    std::shared_ptr<Work> result = TakeResult(front->id);
    bool file = false;
    {
        std::lock_guard lock(m_mutex);
        if (front->serial != m_pOwner->m_serial) {
            DropAllJobs();
        } else {
            if (result)
                file = Apply(*result);
            m_jobs.pop_front();
            --m_nCount;
            if (!m_jobs.empty())
                PostThreadMessage(WM_ALBUM_ANALYSE, 0, 0);
            else
                m_pOwner->OnPassComplete();
        }
        m_bBusy = 0;
        m_idle.notify_all();
    }
    if (file && m_pOwner->m_programFolder.empty())
        AddToVirtualDateAlbum(result->job.path.c_str(), &result->info.fields);
    else if (file)
        AddToVirtualDateAlbum(m_pOwner->m_programFolder, result->job.path.c_str(), &result->info.fields);
}

} // namespace shelf
