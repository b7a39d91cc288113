// Recomposes a layered object's document into a target picture, alpha from
// the document mask, whenever asked, and tells a window (WM_USER+100) each
// time. The owner keeps its own changes of the document and its reads of the
// target apart from a composition by holding m_section.
#pragma once

#include "imagecore/QLImage.h"
#include "platform/afx/SyncObjects.h"
#include "platform/afx/WinThread.h"

#include <atomic>
#include <cstdint>

namespace kit {

class CComplexImageUtils;

inline constexpr UINT WM_KIT_MERGED = WM_USER + 100;

class CMergeThread : public CWinThread {
    DECLARE_DYNCREATE(CMergeThread)
public:
    // The owner joins the thread and deletes the object itself.
    CMergeThread();
    ~CMergeThread() override;

    BOOL InitInstance() override { return TRUE; }
    // Merges on each request until asked to stop.
    int Run() override;
    // Clears the target picture.
    int ExitInstance() override;

    // Window, target and source, set under the section so that a running
    // composition never sees them change.
    void SetJob(HWND notifyWnd, CQLImage* target, CComplexImageUtils* source);
    // Sets the flag and wakes the thread.
    void RequestMerge();
    // Ends the loop and waits for the thread; the object may then be deleted.
    void StopAndJoin();

    std::atomic<std::int32_t> m_mergeRequested{0};
    std::atomic<HWND> m_hNotifyWnd{nullptr};
    std::atomic<CQLImage*> m_target{nullptr};
    std::atomic<CComplexImageUtils*> m_source{nullptr};
    CCriticalSection m_section;

private:
    void MergeOnce();

    std::atomic<bool> m_stop{false};
    HANDLE m_wake = nullptr;
};

}  // namespace kit
