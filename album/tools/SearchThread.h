// The album's search worker: walks folders one file or one folder per
// thread message and reports to the Search Photo dialog; it also makes the
// EXIF bar's previews. One object for the whole run of the program.
//
// Thread message WM_SEARCH_PHOTO in: wParam 1 one step, 2 the pending
// preview load, 3 the pending folder sheet. Notices WM_SEARCH_PHOTO out:
// (0, 0) progress, (1, index) a hit, (2, 0) the end or the stop count, and
// to a preview's window (2, request id) once its image is in place.
#pragma once

#include "album/tools/PhotoSearch.h"
#include "platform/afx/WinThread.h"

#include <atomic>
#include <mutex>
#include <optional>

namespace shelf {

class CSearchThread : public CWinThread {
    DECLARE_DYNCREATE(CSearchThread)
public:
    CSearchThread();

    BOOL InitInstance() override;

    void SetNotifyWindow(HWND wnd) { m_notifyWnd.store(wnd); }
    HWND GetNotifyWindow() const { return m_notifyWnd.load(); }

    // The dialog's thread: a new search over folders, whose first step is posted.
    void StartSearch(SearchCriteria criteria, std::vector<std::string> folders);
    // Only asks the walk to stop; it empties its queues at its next step.
    void StopSearch();
    bool IsRunning() const { return m_search.IsRunning(); }
    // True while a step or a preview job runs.
    bool IsBusy() const { return m_search.IsBusy() || m_previewBusy.load(); }
    const PhotoSearch& Search() const { return m_search; }

    // The EXIF bar's request (kind 2 load the photo, 3 the folder sheet);
    // one made before the thread took the last replaces it.
    void RequestPreview(const PreviewRequest& request, int kind);
    // Guards every preview image the thread fills.
    void LockPreview() { m_previewMutex.lock(); }
    void UnlockPreview() { m_previewMutex.unlock(); }

protected:
    LRESULT OnSearchMessage(WPARAM kind, LPARAM);
    DECLARE_MESSAGE_MAP()

private:
    void RunPreview(int kind);

    PhotoSearch m_search;
    std::atomic<HWND> m_notifyWnd{nullptr};
    std::atomic<bool> m_previewBusy{false};
    std::mutex m_previewMutex;
    std::mutex m_requestMutex;
    std::optional<PreviewRequest> m_request; // under m_requestMutex
    int m_requestKind = 0;                    // under m_requestMutex
};

// The album's one search thread; the main frame's creation starts it.
CSearchThread& SearchThread();
CSearchThread& StartSearchThread();

} // namespace shelf
