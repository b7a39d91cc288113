// QuilloDevelop's worker: runs one job at a time, taken as thread message
// WM_USER+310, and reports progress and the job's end to a window with the
// same message number.
#pragma once

#include "develop/DevelopJob.h"
#include "platform/afx/MsgMap.h"
#include "platform/afx/WinThread.h"

#include <atomic>
#include <deque>
#include <mutex>

namespace develop {

inline constexpr UINT WM_DEVELOP_JOB = WM_USER + 310;

// wParam of WM_DEVELOP_JOB at the wizard window.
enum : WPARAM {
    kJobProgress = 1,         // lParam: percent
    kJobDone = 2,             // lParam: the function, or the object job's tag
    kJobFailed = 3,           // lParam: the object job's tag
    kGoToNextStep = 0x40000,  // a page's Next
    kCloseWizard = 0x50000,   // the command-line output is written
};

// A function job: takes its argument; the result is ignored.
using JobFunction = UINT (*)(LPVOID argument);

class CProcessThread : public CWinThread {
    DECLARE_DYNCREATE(CProcessThread)
public:
    CProcessThread();
    BOOL InitInstance() override { return TRUE; }

    // Both end with (2, function) at the window.
    BOOL PostJob(JobFunction function, LPVOID argument, HWND notify);
    // Runs job->Run(argument) with its progress mapped into lo..hi; ends
    // with (2, tag) when it returned 0, else (3, tag).
    BOOL PostJobObject(DevelopJob* job, LPVOID argument, HWND notify, LPARAM tag, int lo, int hi);
    // From posting until the job has ended.
    BOOL IsBusy() const { return m_busy.load() > 0 ? TRUE : FALSE; }
    HRESULT GetLastResult() const { return m_lastResult.load(); }

    // (type, value) to the window of the last posted job; for the RAW
    // library's progress and every DevelopJob.
    static UINT ProgressCallback(UINT type, UINT value);

protected:
    afx_msg void OnJob(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    // One per posted message, taken in posting order, so a job posted while
    // another runs keeps its own argument.
    struct Pending {
        JobFunction function;
        DevelopJob* job;
        LPVOID argument;
        HWND notify;
        LPARAM tag;
    };
    BOOL Post(const Pending& pending, WPARAM kind, LPARAM lParam);

    std::mutex m_lock;
    std::deque<Pending> m_pending;
    std::atomic<int> m_busy{0}; // jobs posted and not yet ended
    std::atomic<HRESULT> m_lastResult{0};
};

// The program's one worker.
CProcessThread& ProcessThread();

} // namespace develop
