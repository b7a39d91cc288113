// The album's thumbnail thread: it applies the finished work of the open
// folder's photos one job per WM_USER+2440, in queue order. The work that
// needs no lock (thumbnail, EXIF, histogram) runs ahead on a pool of decode
// threads into private results; the thread holds the mutex only to apply one.
#pragma once

#include "album/shell/AnalyseWork.h"
#include "album/shell/FolderEntries.h"
#include "platform/afx/WinThread.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <unordered_map>
#include <vector>

namespace shelf {

class AlbumScanner;

inline constexpr UINT WM_ALBUM_ANALYSE = WM_USER + 2440;

// The photo list's side: the thread never draws.
class IAnalyseNotify {
public:
    virtual ~IAnalyseNotify() = default;
    // Asks for the entry's cell to be redrawn (the list posts to its own
    // thread and ignores a generation that is no longer its own).
    virtual void RepaintEntry(PhotoEntry* entry, std::uint64_t generation) = 0;
    // The entries are about to be freed: forget every item.
    virtual void DropItems() = 0;
};

class CAnalyseThread : public CWinThread {
    DECLARE_DYNCREATE(CAnalyseThread)
public:
    CAnalyseThread();
    ~CAnalyseThread() override;

    BOOL InitInstance() override { return TRUE; }
    // The caller holds m_mutex. serial: the folder opening that made the job.
    void AddJob(const AnalyseJob& job, std::uint64_t serial);
    int IsIdle() const { return m_nCount == 0 ? 1 : 0; }
    // Blocks until the queue is empty.
    void WaitIdle();
    // A folder was opened: the wait for a decode made for an older opening
    // ends at once, so that the switch never waits for a photo nobody shows.
    void SetNewestSerial(std::uint64_t serial);
    // Ends the decode pool and the thread and waits for both.
    void Shutdown();

    std::mutex m_mutex; // the queue and the scanner's entries
    std::atomic<int> m_nCount{0};
    std::atomic<int> m_bBusy{0};
    AlbumScanner* m_pOwner = nullptr;
    std::atomic<IAnalyseNotify*> m_pNotify{nullptr};

protected:
    void OnAnalyse(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    struct Work {
        AnalyseJob job;
        std::uint64_t serial = 0;
        std::uint64_t id = 0;
        bool started = false;
        bool done = false;
        ThumbnailResult thumb;
        PhotoInfoResult info;
    };

    void PoolLoop();
    std::shared_ptr<Work> TakeResult(std::uint64_t id);
    void DropAllJobs(); // m_mutex held
    // Applies one result to its entry; true when the photo is to be filed
    // into the date albums.
    bool Apply(Work& work);

    std::deque<std::shared_ptr<Work>> m_jobs; // guarded by m_mutex
    std::condition_variable m_idle;

    std::mutex m_poolLock;
    std::condition_variable m_poolWake;
    std::condition_variable m_poolDone;
    std::deque<std::shared_ptr<Work>> m_pending; // not started, queue order
    std::unordered_map<std::uint64_t, std::shared_ptr<Work>> m_work;
    int m_nStarted = 0; // taken by the pool and not yet applied or dropped
    int m_nAhead = 0;   // how far the pool may run ahead
    bool m_bStop = false;
    std::uint64_t m_nextId = 0;
    std::uint64_t m_newestSerial = 0; // guarded by m_poolLock
    std::vector<std::thread> m_pool;
};

} // namespace shelf
