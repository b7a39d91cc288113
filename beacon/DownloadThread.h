// The download thread: a thread with its own message queue, started when
// the main window opens; fetches one address into one file at a time and
// reports to the window that asked (all WM_USER+234).
#pragma once

#include "platform/afx/MsgMap.h"
#include "platform/afx/WinThread.h"

#include <atomic>
#include <functional>
#include <mutex>
#include <string>

namespace beacon {

inline constexpr UINT WM_BEACON_DOWNLOAD = WM_USER + 234;
// wParam of the window's messages.
inline constexpr WPARAM kDownloadProgress = 1;  // lParam: bytes so far
inline constexpr WPARAM kDownloadDone = 2;      // lParam: 1 succeeded, 0 failed

class CDownloadThread : public CWinThread {
    DECLARE_DYNCREATE(CDownloadThread)
public:
    CDownloadThread();
    BOOL InitInstance() override { return TRUE; }

    // Cancels a running download (waiting for it), then starts this one.
    void StartDownload(const std::string& url, const std::string& path);
    // Asks a running download to stop and waits, pumping the window
    // thread's messages so nothing stalls.
    void CancelAndWait();
    // Why the last download failed ("" for no message).
    std::string FailureText();
    // Ends the thread and waits for it.
    void Stop();

    std::atomic<HWND> m_notifyWindow{nullptr};
    std::atomic<int> m_busy{0};
    std::atomic<int> m_cancel{0};

protected:
    afx_msg void OnStartDownload(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    std::mutex m_lock;
    std::string m_url, m_path, m_failure;
};

// The thread the download dialog uses; the main window sets it.
CDownloadThread*& DownloadThread();

// Runs the window thread's messages until done() holds.
void PumpUntil(const std::function<bool()>& done);

} // namespace beacon
