#include "platform/afx/WinThread.h"

#include "platform/afx/Ipc.h"
#include "platform/afx/WinApp.h"
#include "platform/afx/Wnd.h"
#include "platform/afx/WndRecord.h"

#include <QCoreApplication>
#include <QEvent>
#include <QThread>
#include <QWidget>

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <utility>
#include <vector>

using namespace qlafx;

// Qt hands a posted event to the GUI thread under a lock of its own that
// ThreadSanitizer cannot see (Qt is not instrumented): tell it.
#if defined(__SANITIZE_THREAD__)
extern "C" void __tsan_acquire(void* addr);
extern "C" void __tsan_release(void* addr);
#define QL_TSAN_ACQUIRE(p) __tsan_acquire(p)
#define QL_TSAN_RELEASE(p) __tsan_release(p)
#else
#define QL_TSAN_ACQUIRE(p) static_cast<void>(p)
#define QL_TSAN_RELEASE(p) static_cast<void>(p)
#endif

namespace {

// A SendMessage from another thread, waiting for its result.
struct SentMessage {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    LRESULT result = 0;
    bool done = false;
    struct ThreadQueue* sender;
};

class QueuePump;

struct ThreadQueue {
    DWORD threadId = 0;
    std::mutex lock;
    std::condition_variable changed;
    std::deque<MSG> posted;
    std::deque<std::shared_ptr<SentMessage>> sent;
    bool quit = false;
    int quitCode = 0;
    std::atomic<bool> gui{false};
    QueuePump* pump = nullptr;  // GUI thread: wakes the Qt loop
};

const QEvent::Type kDrainEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

std::mutex g_queuesLock;
// Made on first use and never destroyed: global objects (the application,
// settings holding brushes) reach these tables while globals are still being
// constructed, and again while they are being destroyed at exit.
std::map<DWORD, std::shared_ptr<ThreadQueue>>& TheQueues()
{
    static auto* instance = new std::map<DWORD, std::shared_ptr<ThreadQueue>>;
    return *instance;
}

thread_local CWinThread* t_thread = nullptr;

std::shared_ptr<ThreadQueue> QueueOf(DWORD threadId)
{
    std::lock_guard lock(g_queuesLock);
    auto it = TheQueues().find(threadId);
    return it == TheQueues().end() ? nullptr : it->second;
}

std::shared_ptr<ThreadQueue> CreateQueue(DWORD threadId)
{
    std::lock_guard lock(g_queuesLock);
    auto& q = TheQueues()[threadId];
    if (!q) {
        q = std::make_shared<ThreadQueue>();
        q->threadId = threadId;
    }
    return q;
}

void RemoveQueue(DWORD threadId)
{
    std::lock_guard lock(g_queuesLock);
    TheQueues().erase(threadId);
}

std::shared_ptr<ThreadQueue> CurrentQueue()
{
    auto q = CreateQueue(GetCurrentThreadId());
    if (!q->gui && IsGuiThread())
        q->gui = true;
    return q;
}

void ProcessSent(ThreadQueue& q);
void DrainOne(ThreadQueue& q);

thread_local int t_holdDepth = 0;
thread_local int t_paintHoldDepth = 0;
thread_local int t_heldDrains = 0;
thread_local std::vector<HWND> t_deferredPaints;

class QueuePump : public QObject {
public:
    explicit QueuePump(ThreadQueue* queue) : m_queue(queue) {}
    bool event(QEvent* e) override
    {
        QL_TSAN_ACQUIRE(this);
        if (e->type() != kDrainEvent)
            return QObject::event(e);
        ProcessSent(*m_queue);
        if (t_holdDepth) {
            ++t_heldDrains;  // the message stays queued; drained once the hold ends
            return true;
        }
        DrainOne(*m_queue);
        return true;
    }

private:
    ThreadQueue* m_queue;
};

// Wakes whoever runs the queue: a waiting worker, or the Qt loop.
void Wake(ThreadQueue& q)
{
    q.changed.notify_all();
    if (!q.gui || !QCoreApplication::instance())
        return;
    QueuePump* pump;
    {
        std::lock_guard lock(q.lock);
        if (!q.pump) {
            q.pump = new QueuePump(&q);
            q.pump->moveToThread(QCoreApplication::instance()->thread());
        }
        pump = q.pump;
    }
    auto* drain = new QEvent(kDrainEvent);
    QL_TSAN_RELEASE(pump);
    QCoreApplication::postEvent(pump, drain);
}

void Post(const std::shared_ptr<ThreadQueue>& q, const MSG& msg)
{
    {
        std::lock_guard lock(q->lock);
        q->posted.push_back(msg);
    }
    Wake(*q);
}

void ProcessSent(ThreadQueue& q)
{
    for (;;) {
        std::shared_ptr<SentMessage> s;
        {
            std::lock_guard lock(q.lock);
            if (q.sent.empty())
                return;
            s = q.sent.front();
            q.sent.pop_front();
        }
        auto rec = Record(s->hwnd);
        const LRESULT result = rec ? CallProc(rec.get(), s->message, s->wParam, s->lParam) : 0;
        {
            std::lock_guard lock(s->sender->lock);
            s->result = result;
            s->done = true;
        }
        s->sender->changed.notify_all();
    }
}

void DispatchThreadMessage(MSG& msg)
{
    if (CWinThread* thread = AfxGetThread())
        thread->PreTranslateMessage(&msg);
}

void DrainOne(ThreadQueue& q)
{
    MSG msg;
    bool quit = false;
    int quitCode = 0;
    bool have = false;
    {
        std::lock_guard lock(q.lock);
        if (!q.posted.empty()) {
            msg = q.posted.front();
            q.posted.pop_front();
            have = true;
        }
        if (q.posted.empty() && q.quit) {
            quit = true;
            quitCode = q.quitCode;
            q.quit = false;
        }
    }
    if (have)
        DispatchPosted(msg);
    if (quit)
        QCoreApplication::exit(quitCode);
}

bool Matches(const MSG& m, HWND hwnd, UINT filterMin, UINT filterMax)
{
    if (hwnd && m.hwnd != hwnd)
        return false;
    if (filterMin == 0 && filterMax == 0)
        return true;
    return m.message >= filterMin && m.message <= filterMax;
}

// Takes the first matching message; WM_QUIT once the queue is empty.
bool TakeMessage(ThreadQueue& q, MSG* out, HWND hwnd, UINT filterMin, UINT filterMax, bool remove)
{
    for (auto it = q.posted.begin(); it != q.posted.end(); ++it) {
        if (!Matches(*it, hwnd, filterMin, filterMax))
            continue;
        *out = *it;
        if (remove)
            q.posted.erase(it);
        return true;
    }
    if (q.quit && q.posted.empty()) {
        *out = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(q.quitCode), 0, GetTickCount(), {0, 0}};
        if (remove)
            q.quit = false;
        return true;
    }
    return false;
}

struct EndThreadSignal {
    UINT code;
};

UINT ThreadEntryBody(CWinThread* thread)
{
    if (thread->m_pfnThreadProc)
        return thread->m_pfnThreadProc(thread->m_pThreadParams);
    if (!thread->InitInstance())
        return static_cast<UINT>(thread->ExitInstance());
    return static_cast<UINT>(thread->Run());
}

DWORD ThreadEntry(LPVOID param)
{
    auto* thread = static_cast<CWinThread*>(param);
    t_thread = thread;
    UINT code;
    try {
        code = ThreadEntryBody(thread);
    } catch (const EndThreadSignal& end) {
        code = end.code;
    }
    CWnd::DeleteTempMap();
    t_thread = nullptr;
    RemoveQueue(thread->m_nThreadID);
    if (thread->m_bAutoDelete)
        thread->Delete();
    return code;
}

}  // namespace

namespace qlafx {

bool IsGuiThread()
{
    QCoreApplication* app = QCoreApplication::instance();
    return app && QThread::currentThread() == app->thread();
}

BOOL PreTranslateInput(MSG* msg)
{
    if (CWinThread* thread = AfxGetThread())
        return thread->PreTranslateMessage(msg);
    return CWnd::WalkPreTranslateTree(nullptr, msg);
}

void DispatchPosted(const MSG& posted)
{
    MSG msg = posted;
    if (!msg.hwnd) {
        DispatchThreadMessage(msg);
        return;
    }
    auto rec = Record(msg.hwnd);
    if (!rec || rec->destroying)
        return;  // posted to a window that has gone
    if (PreTranslateInput(&msg))
        return;
    CallProc(rec.get(), msg.message, msg.wParam, msg.lParam);
}

HoldPostedMessages::HoldPostedMessages(bool holdPaints) : m_holdPaints(holdPaints)
{
    ++t_holdDepth;
    if (holdPaints)
        ++t_paintHoldDepth;
}

HoldPostedMessages::~HoldPostedMessages()
{
    if (m_holdPaints && --t_paintHoldDepth == 0) {
        for (HWND hwnd : std::exchange(t_deferredPaints, {}))
            if (auto rec = Record(hwnd); rec && rec->alive && rec->widget)
                rec->widget->update();
    }
    if (--t_holdDepth)
        return;
    const int held = std::exchange(t_heldDrains, 0);
    const std::shared_ptr<ThreadQueue> q = CurrentQueue();
    for (int i = 0; i < held; ++i)
        Wake(*q);
}

bool PaintsHeld()
{
    return t_paintHoldDepth > 0;
}

void DeferPaint(HWND hwnd)
{
    if (std::find(t_deferredPaints.begin(), t_deferredPaints.end(), hwnd) == t_deferredPaints.end())
        t_deferredPaints.push_back(hwnd);
}

bool PostedMessagesHeld()
{
    return t_holdDepth > 0;
}

void EnsureThreadQueue()
{
    CurrentQueue();
}

void SetThreadObject(CWinThread* thread)
{
    t_thread = thread;
    if (thread)
        CurrentQueue();
}

}  // namespace qlafx

// ---- messages ----
BOOL PostMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (!hwnd)
        return PostThreadMessage(GetCurrentThreadId(), msg, wParam, lParam);
    auto rec = Record(hwnd);
    if (!rec)
        return qlafx::PostToOtherProcess(hwnd, msg, wParam, lParam);
    if (!rec->alive || rec->destroying)
        return FALSE;
    auto q = QueueOf(rec->threadId);
    if (!q)
        q = CreateQueue(rec->threadId);
    MSG m{hwnd, msg, wParam, lParam, GetTickCount(), {0, 0}};
    GetCursorPos(&m.pt);
    Post(q, m);
    return TRUE;
}

BOOL PostThreadMessage(DWORD threadId, UINT msg, WPARAM wParam, LPARAM lParam)
{
    auto q = threadId == GetCurrentThreadId() ? CurrentQueue() : QueueOf(threadId);
    if (!q)
        return FALSE;
    Post(q, MSG{nullptr, msg, wParam, lParam, GetTickCount(), {0, 0}});
    return TRUE;
}

void PostQuitMessage(int exitCode)
{
    auto q = CurrentQueue();
    {
        std::lock_guard lock(q->lock);
        q->quit = true;
        q->quitCode = exitCode;
    }
    Wake(*q);
}

LRESULT SendMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    auto rec = Record(hwnd);
    if (!rec)
        return qlafx::SendToOtherProcess(hwnd, msg, wParam, lParam);
    if (!rec->alive)
        return 0;
    if (rec->threadId == GetCurrentThreadId())
        return CallProc(rec.get(), msg, wParam, lParam);
    // Another thread's window: its thread runs the procedure while we wait,
    // still answering messages sent to us meanwhile.
    auto target = QueueOf(rec->threadId);
    if (!target)
        return 0;
    auto self = CurrentQueue();
    auto sent = std::make_shared<SentMessage>();
    *sent = SentMessage{hwnd, msg, wParam, lParam, 0, false, self.get()};
    {
        std::lock_guard lock(target->lock);
        target->sent.push_back(sent);
    }
    Wake(*target);
    std::unique_lock lock(self->lock);
    while (!sent->done) {
        if (!self->sent.empty()) {
            lock.unlock();
            ProcessSent(*self);
            lock.lock();
            continue;
        }
        self->changed.wait(lock);
    }
    return sent->result;
}

BOOL InSendMessage()
{
    return FALSE;
}

BOOL GetMessage(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax)
{
    auto q = CurrentQueue();
    if (q->gui) {
        // The GUI thread's messages are dispatched by the Qt loop; this
        // keeps it running until WM_QUIT.
        for (;;) {
            {
                std::lock_guard lock(q->lock);
                if (TakeMessage(*q, msg, hwnd, filterMin, filterMax, true))
                    return msg->message != WM_QUIT;
            }
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
    }
    std::unique_lock lock(q->lock);
    for (;;) {
        if (!q->sent.empty()) {
            lock.unlock();
            ProcessSent(*q);
            lock.lock();
            continue;
        }
        if (TakeMessage(*q, msg, hwnd, filterMin, filterMax, true))
            return msg->message != WM_QUIT;
        q->changed.wait(lock);
    }
}

BOOL PeekMessage(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeFlags)
{
    auto q = CurrentQueue();
    if (q->gui)
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    else
        ProcessSent(*q);
    std::lock_guard lock(q->lock);
    return TakeMessage(*q, msg, hwnd, filterMin, filterMax, (removeFlags & PM_REMOVE) != 0);
}

BOOL WaitMessage()
{
    auto q = CurrentQueue();
    if (q->gui) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        return TRUE;
    }
    std::unique_lock lock(q->lock);
    q->changed.wait(lock, [&] { return !q->posted.empty() || !q->sent.empty() || q->quit; });
    return TRUE;
}

BOOL TranslateMessage(const MSG*)
{
    return FALSE;  // characters come with the key events themselves
}

LRESULT DispatchMessage(const MSG* msg)
{
    if (!msg)
        return 0;
    if (msg->message == WM_TIMER && msg->lParam) {
        reinterpret_cast<TIMERPROC>(msg->lParam)(msg->hwnd, WM_TIMER, msg->wParam, GetTickCount());
        return 0;
    }
    auto rec = Record(msg->hwnd);
    return rec ? CallProc(rec.get(), msg->message, msg->wParam, msg->lParam) : 0;
}

UINT RegisterWindowMessage(LPCSTR name)
{
    static std::mutex lock;
    static std::map<std::string, UINT> messages;
    if (!name || !*name)
        return 0;
    std::string key = name;
    for (char& c : key)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    std::lock_guard guard(lock);
    auto it = messages.find(key);
    if (it != messages.end())
        return it->second;
    const UINT id = 0xC000 + static_cast<UINT>(messages.size());
    messages[key] = id;
    return id;
}

DWORD GetMessageTime()
{
    return GetTickCount();
}

DWORD GetMessagePos()
{
    POINT pt{0, 0};
    GetCursorPos(&pt);
    return MAKELONG(static_cast<WORD>(pt.x), static_cast<WORD>(pt.y));
}

// ---- CWinThread ----
IMPLEMENT_DYNAMIC(CWinThread, CCmdTarget)

BEGIN_MESSAGE_MAP(CWinThread, CCmdTarget)
END_MESSAGE_MAP()

CWinThread::CWinThread() = default;

CWinThread::CWinThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam)
    : m_pfnThreadProc(pfnThreadProc), m_pThreadParams(pParam)
{
}

CWinThread::~CWinThread()
{
    if (m_hThread)
        CloseHandle(m_hThread);
    if (t_thread == this)
        t_thread = nullptr;
}

BOOL CWinThread::CreateThread(DWORD dwCreateFlags, UINT nStackSize, LPSECURITY_ATTRIBUTES lpSecurityAttrs)
{
    m_hThread = ::CreateThread(lpSecurityAttrs, nStackSize, ThreadEntry, this, CREATE_SUSPENDED, &m_nThreadID);
    if (!m_hThread)
        return FALSE;
    CreateQueue(m_nThreadID);  // thread messages may be posted before it runs
    if (!(dwCreateFlags & CREATE_SUSPENDED))
        ::ResumeThread(m_hThread);
    return TRUE;
}

int CWinThread::GetThreadPriority()
{
    return ::GetThreadPriority(m_hThread);
}

BOOL CWinThread::SetThreadPriority(int nPriority)
{
    return ::SetThreadPriority(m_hThread, nPriority);
}

DWORD CWinThread::ResumeThread()
{
    return ::ResumeThread(m_hThread);
}

BOOL CWinThread::PostThreadMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::PostThreadMessage(m_nThreadID, message, wParam, lParam);
}

BOOL CWinThread::InitInstance()
{
    return FALSE;
}

int CWinThread::Run()
{
    bool idle = true;
    LONG idleCount = 0;
    for (;;) {
        while (idle && !::PeekMessage(&m_msgCur, nullptr, 0, 0, PM_NOREMOVE)) {
            if (!OnIdle(idleCount++))
                idle = false;
        }
        do {
            if (!PumpMessage())
                return ExitInstance();
            if (IsIdleMessage(&m_msgCur)) {
                idle = true;
                idleCount = 0;
            }
        } while (::PeekMessage(&m_msgCur, nullptr, 0, 0, PM_NOREMOVE));
    }
}

BOOL CWinThread::PumpMessage()
{
    if (!::GetMessage(&m_msgCur, nullptr, 0, 0))
        return FALSE;
    if (!PreTranslateMessage(&m_msgCur)) {
        ::TranslateMessage(&m_msgCur);
        ::DispatchMessage(&m_msgCur);
    }
    return TRUE;
}

BOOL CWinThread::PreTranslateMessage(MSG* pMsg)
{
    if (!pMsg->hwnd)
        return DispatchThreadMessageEx(pMsg);
    CWnd* mainWnd = GetMainWnd();
    if (CWnd::WalkPreTranslateTree(qlafx::HwndOf(mainWnd), pMsg))
        return TRUE;
    // Modeless windows outside the main window still get its accelerators.
    if (mainWnd && mainWnd->m_hWnd) {
        if (::GetAncestor(pMsg->hwnd, GA_ROOTOWNER) != mainWnd->m_hWnd)
            return mainWnd->PreTranslateMessage(pMsg);
    }
    return FALSE;
}

BOOL CWinThread::OnIdle(LONG lCount)
{
    if (lCount <= 0) {
        CWnd* mainWnd = GetMainWnd();
        if (mainWnd && mainWnd->m_hWnd && mainWnd->IsWindowVisible()) {
            mainWnd->SendMessage(WM_IDLEUPDATECMDUI, TRUE, 0);
            mainWnd->SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0, TRUE);
        }
        return TRUE;
    }
    CWnd::DeleteTempMap();
    return FALSE;
}

BOOL CWinThread::IsIdleMessage(MSG* pMsg)
{
    return pMsg->message != WM_TIMER && pMsg->message != WM_PAINT && pMsg->message != WM_MOUSEMOVE;
}

int CWinThread::ExitInstance()
{
    return static_cast<int>(m_msgCur.wParam);
}

CWnd* CWinThread::GetMainWnd()
{
    return m_pMainWnd;
}

void CWinThread::Delete()
{
    if (m_bAutoDelete)
        delete this;
}

BOOL CWinThread::DispatchThreadMessageEx(MSG* pMsg)
{
    const AFX_MSGMAP_ENTRY* entry = FindMessageEntry(pMsg->message, 0, 0);
    if (!entry)
        return FALSE;
    qlafx::MsgCall call{pMsg->message, pMsg->wParam, pMsg->lParam, 0, 0, nullptr, 0};
    entry->pfn(this, call);
    return TRUE;
}

namespace {

// Starts a new thread object suspended, so that its priority is set before it
// runs; deletes it when the thread cannot be made.
CWinThread* StartThread(CWinThread* thread, int nPriority, UINT nStackSize, DWORD dwCreateFlags,
                        LPSECURITY_ATTRIBUTES lpSecurityAttrs)
{
    if (!thread->CreateThread(dwCreateFlags | CREATE_SUSPENDED, nStackSize, lpSecurityAttrs)) {
        delete thread;
        return nullptr;
    }
    thread->SetThreadPriority(nPriority);
    if (!(dwCreateFlags & CREATE_SUSPENDED))
        thread->ResumeThread();
    return thread;
}

}  // namespace

CWinThread* AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam, int nPriority, UINT nStackSize,
                           DWORD dwCreateFlags, LPSECURITY_ATTRIBUTES lpSecurityAttrs)
{
    auto* thread = new CWinThread(pfnThreadProc, pParam);
    return StartThread(thread, nPriority, nStackSize, dwCreateFlags, lpSecurityAttrs);
}

CWinThread* AfxBeginThread(CRuntimeClass* pThreadClass, int nPriority, UINT nStackSize, DWORD dwCreateFlags,
                           LPSECURITY_ATTRIBUTES lpSecurityAttrs)
{
    if (!pThreadClass || !pThreadClass->IsDerivedFrom(RUNTIME_CLASS(CWinThread)))
        return nullptr;
    auto* thread = static_cast<CWinThread*>(pThreadClass->CreateObject());
    if (!thread)
        return nullptr;
    return StartThread(thread, nPriority, nStackSize, dwCreateFlags, lpSecurityAttrs);
}

CWinThread* AfxGetThread()
{
    return t_thread;
}

void AfxEndThread(UINT nExitCode, BOOL bDelete)
{
    if (t_thread && !bDelete)
        t_thread->m_bAutoDelete = FALSE;
    throw EndThreadSignal{nExitCode};
}

BOOL AfxPumpMessage()
{
    CWinThread* thread = AfxGetThread();
    if (thread)
        return thread->PumpMessage();
    MSG msg;
    if (!::GetMessage(&msg, nullptr, 0, 0))
        return FALSE;
    ::DispatchMessage(&msg);
    return TRUE;
}
