// The viewer's one worker: lists the shown photo's folder and keeps the photo
// and its two neighbours decoded (PhotoFolder), answering "open", "next" and
// "previous" (thread message WM_USER+788) with a notice to the window.
#pragma once

#include "glance/PhotoFolder.h"
#include "glance/GlanceTexts.h"
#include "platform/afx/MsgMap.h"
#include "platform/afx/WinThread.h"

#include <atomic>
#include <string>

namespace glance {

class CLoadingThread : public CWinThread {
    DECLARE_DYNCREATE(CLoadingThread)
public:
    enum Request { kOpen = 1, kNext = 2, kPrevious = 3 };

    CLoadingThread();
    BOOL InitInstance() override { return TRUE; }

    // The path travels as its own copy, freed by the thread.
    BOOL PostOpen(const std::string& path);
    BOOL PostStep(Request request);

    PhotoFolder m_folder;
    std::atomic<HWND> m_hNotifyWnd{nullptr};
    std::atomic<int> m_state{3};

protected:
    afx_msg void OnLoading(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    void NotifyWindow() const;
};

// The program's one loading thread.
CLoadingThread& LoadingThread();

} // namespace glance
