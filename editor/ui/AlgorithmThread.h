// The editor's worker thread: runs one effect job at a time away from the
// user-interface thread and, when idle, makes the open dialog's thumbnails.
//
// Thread message WM_USER+51 in (wParam 0 run the job, 1 make a thumbnail);
// notices WM_USER+52 out, always posted (wParam 0 progress, 1 done with the
// tag, 100 thumbnail made, 101 thumbnail failed with the entry index).
#pragma once

#include "platform/afx/SyncObjects.h"
#include "platform/afx/WinThread.h"

#include <atomic>
#include <deque>
#include <vector>

class CQLImage;
class EffectAlgorithm;

inline constexpr UINT WM_ALGORITHM_JOB = WM_USER + 51;
inline constexpr UINT WM_ALGORITHM_NOTIFY = WM_USER + 52;

struct ThumbJobEntry {
    char name[256];      // the file name as listed
    CQLImage* thumbnail; // owned by the list; may be NULL
    int done;            // non-zero: the entry needs no thumbnail any more
};

struct ThumbJob {
    std::vector<ThumbJobEntry>* list;
    int index;           // compared unsigned
    char path[512];
    char key[256];       // the entry's name when the job was queued
};

class CAlgorithmThread : public CWinThread {
    DECLARE_DYNCREATE(CAlgorithmThread)
public:
    CAlgorithmThread();
    ~CAlgorithmThread() override;

    BOOL InitInstance() override;

    // User-interface thread.
    void SetNotifyWnd(HWND wnd);
    // A job counts as busy from here until its done notice is due, so that
    // waiting "while busy" also covers a job the thread has not taken yet.
    BOOL RunAlgorithm(EffectAlgorithm* algorithm, void* argument, int tag, int low, int high);
    int IsBusy() const { return busy.load(); }
    int GetResult() const { return result.load(); }
    // Acts on the job in progress only; one not yet started is skipped.
    void StopAlgorithm();
    void QueueThumbnail(const ThumbJob& job);
    void BeginThumbnails();
    void CancelThumbnails();
    // Guards the queue and the hand-over of a finished thumbnail into its
    // entry: the list's owner holds it while it rebuilds or paints entries.
    CMutex& GetThumbnailLock() { return lock; }

    // Installed in every job's algorithm; code 1 posts progress.
    static int ProgressCallback(int code, int value);

protected:
    void OnThreadJob(WPARAM kind, LPARAM);
    // The codec's thumbnail of the file; non-zero on success.
    virtual int ReadThumbnail(const char* path, CQLImage* image);

    DECLARE_MESSAGE_MAP()

private:
    void RunCurrentJob();
    bool IsThumbJobWanted(const ThumbJob& job) const;
    void MakeThumbnail(const ThumbJob& job);
    void DeletePending();

    std::atomic<HWND> notifyWnd{nullptr};
    std::atomic<EffectAlgorithm*> algorithm{nullptr}; // the job in progress; NULL between jobs
    std::atomic<int> tag{0};
    std::atomic<void*> argument{nullptr};
    std::atomic<int> busy{0};
    std::atomic<int> thumbnailsEnabled{0};
    std::deque<ThumbJob*> pendingThumbs; // owned copies, oldest first; under lock
    CMutex lock;
    std::atomic<int> result{0};
    std::atomic<int> stopRequested{0};
};

// The editor's one instance; the main frame starts its thread.
extern CAlgorithmThread theAlgorithmThread;
