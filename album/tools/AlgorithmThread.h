// The album's effect worker: runs one algorithm job at a time off the window
// thread and reports to one notify window. No queue, no cancel, no lock: a
// caller starts a job only after the done notice of the one before.
//
// Thread message WM_USER+51 in (wParam 0 runs the job); notices WM_USER+52
// out (wParam 0 progress in lParam, 1 done with the job's tag in lParam).
#pragma once

#include "platform/afx/WinThread.h"

#include <atomic>

class EffectAlgorithm;

namespace shelf {

inline constexpr UINT WM_ALGORITHM_JOB = WM_USER + 51;
inline constexpr UINT WM_ALGORITHM_NOTIFY = WM_USER + 52;

class CAlgorithmThread : public CWinThread {
    DECLARE_DYNCREATE(CAlgorithmThread)
public:
    CAlgorithmThread();

    BOOL InitInstance() override;

    void SetNotifyWindow(HWND wnd) { notifyWnd.store(wnd); }
    // Busy from here until the done notice is posted (or the job dropped),
    // so that a caller waiting "while busy" also covers a job not yet taken.
    BOOL RunAlgorithm(EffectAlgorithm* algorithm, void* parameter, int tag, int low, int high);
    int IsBusy() const { return busy.load(); }
    int GetResult() const { return result.load(); }

    // Installed in every job's algorithm; code 1 posts progress.
    static int ProgressCallback(int code, int value);

protected:
    LRESULT OnThreadJob(WPARAM kind, LPARAM);
    DECLARE_MESSAGE_MAP()

private:
    std::atomic<HWND> notifyWnd{nullptr};
    std::atomic<EffectAlgorithm*> algorithm{nullptr};
    std::atomic<void*> parameter{nullptr};
    std::atomic<int> tag{0};
    std::atomic<int> busy{0};
    std::atomic<int> result{0};
};

// The album's one worker; the album's InitInstance starts its thread.
CAlgorithmThread& AlgorithmThread();
// Starts its thread the first time; the album's InitInstance calls it.
CAlgorithmThread& StartAlgorithmThread();

} // namespace shelf
