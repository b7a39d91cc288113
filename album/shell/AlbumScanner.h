// The owner of the open folder's entries: it opens folders, hands their
// photos to the thumbnail thread and tells the main frame when a folder's
// thumbnails are all ready (WM_USER+2440).
#pragma once

#include "album/shell/AnalyseThread.h"
#include "album/shell/FolderEntries.h"

#include <atomic>
#include <functional>
#include <string>
#include <thread>

namespace shelf {

class AlbumScanner {
public:
    // Starts the thumbnail thread.
    AlbumScanner();
    // Shutdown.
    ~AlbumScanner();
    AlbumScanner(const AlbumScanner&) = delete;
    AlbumScanner& operator=(const AlbumScanner&) = delete;

    // Saves the open folder's finished entries, frees them, then stops and
    // joins the thumbnail thread; the scanner does nothing afterwards.
    void Shutdown();
    int OpenFolder(FolderNode* node);
    // No folder; the old folder's jobs are dropped before it returns.
    void CloseFolder();
    // 0 when jobs are queued or running, or no folder is open.
    int Rescan();
    void RebuildThumbnail(PhotoEntry* entry);
    int IsAllComplete();
    void SetNotifyList(IAnalyseNotify* list);
    // A folder that became ready before there was a window is announced now.
    void SetNotifyWindow(HWND hwnd);
    // The thumbnail thread, holding the mutex, at the end of a pass.
    void OnPassComplete();

    CAnalyseThread* GetThread() const { return m_pThread; }

    FolderEntries m_model;          // guarded by the thread's mutex
    std::uint64_t m_serial = 0;     // counts folder openings; guarded too
    // Returns once the search thread has no search running (it reads the
    // property files); until that thread lands it returns at once.
    std::function<void()> m_waitSearchIdle = [] {};
    // Where the date albums go: the program folder, or empty for the
    // running program's own; set before the first folder is opened.
    std::string m_programFolder;

private:
    void BeforeFree();
    // Waits for the write of the folder left last (all of it, or only when
    // it is path's).
    void FinishLeftWrite(const std::string* path = nullptr);

    CAnalyseThread* m_pThread = nullptr;
    HWND m_hNotify = nullptr; // guarded by the mutex
    bool m_bReadyPending = false;
    // The folder being left is written here, off the caller's path (the
    // write is synced to disk and can take long on a busy one).
    std::thread m_leftWrite;
    std::string m_leftPath;
};

} // namespace shelf
