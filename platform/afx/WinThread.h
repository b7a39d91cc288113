// CWinThread: a thread with its own message queue. Worker threads run the
// queue without Qt (GetMessage / PeekMessage on the thread's own queue);
// the GUI thread's queue is drained by the Qt event loop (see WinApp.h).
#pragma once

#include "platform/afx/CmdTarget.h"
#include "platform/afx/WinUser.h"
#include "platform/win/Threads.h"

using AFX_THREADPROC = UINT (*)(LPVOID);

// Sent by OnIdle to the main window and its descendants so command UI updates.
inline constexpr UINT WM_IDLEUPDATECMDUI = 0x0363;

class CWinThread : public CCmdTarget {
    DECLARE_DYNAMIC(CWinThread)
public:
    CWinThread();
    CWinThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam);
    ~CWinThread() override;

    // Starts the thread (CREATE_SUSPENDED: call ResumeThread later).
    BOOL CreateThread(DWORD dwCreateFlags = 0, UINT nStackSize = 0, LPSECURITY_ATTRIBUTES lpSecurityAttrs = nullptr);

    CWnd* m_pMainWnd = nullptr;
    CWnd* m_pActiveWnd = nullptr;
    // Deletes the object when the thread ends (default TRUE).
    BOOL m_bAutoDelete = TRUE;
    HANDLE m_hThread = nullptr;
    DWORD m_nThreadID = 0;
    MSG m_msgCur{};
    AFX_THREADPROC m_pfnThreadProc = nullptr;
    LPVOID m_pThreadParams = nullptr;

    operator HANDLE() const { return m_hThread; }
    int GetThreadPriority();
    BOOL SetThreadPriority(int nPriority);
    DWORD ResumeThread();
    BOOL PostThreadMessage(UINT message, WPARAM wParam, LPARAM lParam);

    virtual BOOL InitInstance();
    // The message loop: GetMessage, PreTranslateMessage, dispatch, OnIdle
    // while the queue is empty; ends on WM_QUIT with ExitInstance's result.
    virtual int Run();
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    virtual BOOL PumpMessage();
    // lCount counts the idle calls since the last message; return TRUE for more.
    virtual BOOL OnIdle(LONG lCount);
    virtual BOOL IsIdleMessage(MSG* pMsg);
    virtual int ExitInstance();
    virtual CWnd* GetMainWnd();
    virtual void Delete();
    // Thread messages (no window) go to the ON_THREAD_MESSAGE entries.
    BOOL DispatchThreadMessageEx(MSG* pMsg);

protected:
    DECLARE_MESSAGE_MAP()
};

CWinThread* AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam, int nPriority = THREAD_PRIORITY_NORMAL,
                           UINT nStackSize = 0, DWORD dwCreateFlags = 0,
                           LPSECURITY_ATTRIBUTES lpSecurityAttrs = nullptr);
// The class must be DECLARE_DYNCREATE and derive from CWinThread.
CWinThread* AfxBeginThread(CRuntimeClass* pThreadClass, int nPriority = THREAD_PRIORITY_NORMAL, UINT nStackSize = 0,
                           DWORD dwCreateFlags = 0, LPSECURITY_ATTRIBUTES lpSecurityAttrs = nullptr);
// The CWinThread of the calling thread (the application on the GUI thread).
CWinThread* AfxGetThread();
// Ends the calling CWinThread's thread from inside it (unwinds its stack).
[[noreturn]] void AfxEndThread(UINT nExitCode, BOOL bDelete = TRUE);
// One round of the calling thread's loop: gets and dispatches one message.
BOOL AfxPumpMessage();

namespace qlafx {

// While one lives, the calling (GUI) thread delivers no posted message and no
// timer tick: as when Windows code works without pumping, though here the
// Qt loop may run (a worker's wait, a window manager's answer). With
// holdPaints, windows are not asked to paint either (the screen keeps their
// last picture). What was held follows once the last hold ends.
class HoldPostedMessages {
public:
    explicit HoldPostedMessages(bool holdPaints = false);
    ~HoldPostedMessages();
    HoldPostedMessages(const HoldPostedMessages&) = delete;
    HoldPostedMessages& operator=(const HoldPostedMessages&) = delete;

private:
    bool m_holdPaints;
};

}  // namespace qlafx
