#include "album/shell/AlbumScanner.h"

#include "platform/codec/QLImageCodec.h"
#include "platform/win/Timing.h"

#include <algorithm>

namespace shelf {

AlbumScanner::AlbumScanner()
{
    m_pThread = new CAnalyseThread;
    m_pThread->m_pOwner = this;
    m_pThread->m_bAutoDelete = FALSE;
    if (!m_pThread->CreateThread()) {
        delete m_pThread;
        m_pThread = nullptr;
    }
}

AlbumScanner::~AlbumScanner() { Shutdown(); }

void AlbumScanner::Shutdown()
{
    SetNotifyList(nullptr);
    if (!m_pThread)
        return;
    CloseFolder();
    FinishLeftWrite();
    {
        std::lock_guard lock(m_pThread->m_mutex);
        m_model.FreeEntries();
    }
    m_pThread->Shutdown();
    delete m_pThread;
    m_pThread = nullptr;
}

void AlbumScanner::BeforeFree()
{
    if (IAnalyseNotify* notify = m_pThread->m_pNotify.load())
        notify->DropItems();
}

int AlbumScanner::OpenFolder(FolderNode* node)
{
    if (!m_pThread)
        return 0;
    {
        std::lock_guard lock(m_pThread->m_mutex);
        if (!m_model.m_entries.empty() && m_model.m_bDirty && m_model.m_pCurrent) {
            BeforeFree();
            FinishLeftWrite();
            m_leftPath = m_model.m_pCurrent->GetPath() + kPropertyFileName;
            m_leftWrite = std::thread([path = m_leftPath, entries = m_model.TakePruned()] {
                SavePropertyRecords(path, entries); // a cache: a failed write is redone next visit
            });
        }
        m_model.m_pCurrent = node;
        ++m_serial;
    }
    m_pThread->SetNewestSerial(m_serial);
    // While jobs are queued a WM_USER+2440 is always pending, and it drops
    // the old folder's jobs: no message of our own is needed.
    m_pThread->WaitIdle();
    m_waitSearchIdle();
    if (!node)
        return 1;
    const std::string path = node->GetPath() + kPropertyFileName;
    FinishLeftWrite(&path); // coming back at once: read what was just left
    std::lock_guard lock(m_pThread->m_mutex);
    BeforeFree();
    m_model.LoadPropertyFile();
    std::vector<AnalyseJob> jobs;
    m_model.ScanFolder(jobs);
    for (const auto& job : jobs)
        m_pThread->AddJob(job, m_serial);
    return 1;
}

void AlbumScanner::FinishLeftWrite(const std::string* path)
{
    if (m_leftWrite.joinable() && (!path || *path == m_leftPath))
        m_leftWrite.join();
}

void AlbumScanner::CloseFolder()
{
    OpenFolder(nullptr);
    FinishLeftWrite();
}

int AlbumScanner::Rescan()
{
    if (!m_pThread)
        return 0;
    std::lock_guard lock(m_pThread->m_mutex);
    if (m_pThread->m_nCount != 0 || !m_model.m_pCurrent || m_pThread->m_bBusy)
        return 0;
    BeforeFree();
    m_model.LoadPropertyFile();
    std::vector<AnalyseJob> jobs;
    m_model.ScanFolder(jobs);
    m_model.DeleteAbsent();
    if (jobs.empty()) {
        m_model.SavePropertyFile(m_model.m_pCurrent);
        return 1;
    }
    for (auto& job : jobs) {
        job.generation = m_model.m_generation; // queued entries are present: none was freed
        m_pThread->AddJob(job, m_serial);
    }
    return 1;
}

void AlbumScanner::RebuildThumbnail(PhotoEntry* entry)
{
    if (!m_pThread)
        return;
    std::lock_guard lock(m_pThread->m_mutex);
    const auto& entries = m_model.m_entries;
    if (!m_model.m_pCurrent ||
        std::none_of(entries.begin(), entries.end(), [&](const auto& e) { return e.get() == entry; }))
        return;
    CQLImageCodec codec;
    ThumbnailResult result;
    MakeThumbnail(codec, (m_model.m_pCurrent->GetPath() + entry->m_info.szFileName).c_str(), 1, result);
    if (!result.made)
        return;
    entry->m_thumb = std::move(result.thumb);
    if (m_pThread->m_nCount != 0) {
        m_model.m_bDirty = 1; // the pass's end saves it
        return;
    }
    BeforeFree();
    m_model.SaveAndPrune(m_model.m_pCurrent);
}

int AlbumScanner::IsAllComplete()
{
    if (!m_pThread)
        return m_model.IsAllComplete();
    std::lock_guard lock(m_pThread->m_mutex);
    return m_model.IsAllComplete();
}

void AlbumScanner::SetNotifyList(IAnalyseNotify* list)
{
    if (m_pThread)
        m_pThread->m_pNotify = list;
}

void AlbumScanner::SetNotifyWindow(HWND hwnd)
{
    if (!m_pThread)
        return;
    std::lock_guard lock(m_pThread->m_mutex);
    m_hNotify = hwnd;
    if (hwnd && m_bReadyPending) {
        m_bReadyPending = false;
        PostMessage(hwnd, WM_ALBUM_ANALYSE, 0, 0);
    }
}

void AlbumScanner::OnPassComplete()
{
    const auto& entries = m_model.m_entries;
    if (std::any_of(entries.begin(), entries.end(), [](const auto& e) {
            return e->m_bPresent && !e->m_bFolder && e->m_info.nThumbState != kThumbDone;
        }))
        return;
    if (!m_model.m_pCurrent)
        return; // closed meanwhile
    if (std::any_of(entries.begin(), entries.end(), [](const auto& e) { return !e->m_bPresent; }))
        BeforeFree();
    m_model.DeleteAbsent();
    m_model.SavePropertyFile(m_model.m_pCurrent);
    // Never waits for a window: without one the message is held back.
    if (!m_hNotify) {
        m_bReadyPending = true;
        return;
    }
    if (m_model.IsAllComplete())
        PostMessage(m_hNotify, WM_ALBUM_ANALYSE, 0, 0);
}

} // namespace shelf
