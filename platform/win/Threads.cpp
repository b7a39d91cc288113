#include "platform/win/Threads.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/win/Folders.h"

#include <atomic>
#include <cstdlib>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>
#include <unordered_set>

namespace {

enum class Kind { Event, Mutex, Semaphore, Thread };

struct KernelObject {
    Kind kind;
    int refs = 1;
    std::string name;
    // Event
    bool signalled = false;
    bool manualReset = false;
    unsigned pulses = 0;  // bumped by PulseEvent of a manual-reset event
    int waiters = 0;
    // Mutex
    DWORD owner = 0;
    int recursion = 0;
    int lockFd = -1;  // a named mutex's lock file, held by the first process
    // Semaphore
    LONG count = 0;
    LONG maxCount = 0;
    // Thread
    DWORD threadId = 0;
    DWORD exitCode = STILL_ACTIVE;
    bool finished = false;
    bool suspended = false;
    int priority = THREAD_PRIORITY_NORMAL;
};

// One lock and one condition for all kernel objects: waits are rare and
// short, and a single condition makes multi-object waits simple.
std::mutex g_lock;
// Made on first use and never destroyed: global objects (the application,
// settings holding brushes) reach these tables while globals are still being
// constructed, and again while they are being destroyed at exit.
std::condition_variable& TheChanged()
{
    static auto* instance = new std::condition_variable;
    return *instance;
}
std::unordered_set<KernelObject*>& TheLive()
{
    static auto* instance = new std::unordered_set<KernelObject*>;
    return *instance;
}
std::unordered_map<std::string, KernelObject*>& TheNamed()
{
    static auto* instance = new std::unordered_map<std::string, KernelObject*>;
    return *instance;
}

std::atomic<DWORD> g_nextThreadId{1};
thread_local DWORD t_threadId = 0;
thread_local DWORD t_lastError = 0;

KernelObject* Find(HANDLE h)
{
    auto* obj = static_cast<KernelObject*>(h);
    return TheLive().count(obj) ? obj : nullptr;
}

void Unref(KernelObject* obj)
{
    if (--obj->refs > 0)
        return;
    if (!obj->name.empty())
        TheNamed().erase(obj->name);
    if (obj->lockFd >= 0)
        ::close(obj->lockFd);
    TheLive().erase(obj);
    delete obj;
}

// A named object that already exists is shared; otherwise a new one.
KernelObject* Open(Kind kind, LPCSTR name, bool* existed)
{
    *existed = false;
    if (name && *name) {
        auto it = TheNamed().find(name);
        if (it != TheNamed().end()) {
            if (it->second->kind != kind)
                return nullptr;
            *existed = true;
            ++it->second->refs;
            return it->second;
        }
    }
    auto* obj = new KernelObject;
    obj->kind = kind;
    TheLive().insert(obj);
    if (name && *name) {
        obj->name = name;
        TheNamed()[obj->name] = obj;
    }
    return obj;
}

// Named mutexes also answer for other processes, for single-instance checks:
// the first process to make the name holds an exclusive lock on a file named
// after it (under $XDG_RUNTIME_DIR, else the private temporary folder) until
// its last handle closes or it ends; later makers find the lock taken. The
// name is shared; owning and waiting stay within one process.
int LockProcessWide(const std::string& name, bool* heldElsewhere)
{
    *heldElsewhere = false;
    std::string folder;
    struct stat st {};
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR");
        runtime && runtime[0] == '/' && ::stat(runtime, &st) == 0 && S_ISDIR(st.st_mode)) {
        folder = std::string(runtime) + '/';
    } else {
        char temp[4096];
        const DWORD n = GetTempPath(sizeof temp, temp);
        if (n == 0 || n >= sizeof temp)
            return -1;
        folder = temp;
    }
    std::string file = "quillo-mutex-" + name;
    for (char& c : file)
        if (c == '/' || c == '\\')
            c = '_';
    const int fd = ::open((folder + file).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return -1;
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
        return fd;
    *heldElsewhere = errno == EWOULDBLOCK;
    ::close(fd);
    return -1;
}

bool CanTake(const KernelObject* obj, DWORD me, unsigned pulsesAtStart)
{
    switch (obj->kind) {
    case Kind::Event:
        return obj->signalled || obj->pulses != pulsesAtStart;
    case Kind::Mutex:
        return obj->owner == 0 || obj->owner == me;
    case Kind::Semaphore:
        return obj->count > 0;
    case Kind::Thread:
        return obj->finished;
    }
    return false;
}

void Take(KernelObject* obj, DWORD me)
{
    switch (obj->kind) {
    case Kind::Event:
        if (!obj->manualReset)
            obj->signalled = false;
        break;
    case Kind::Mutex:
        obj->owner = me;
        ++obj->recursion;
        break;
    case Kind::Semaphore:
        --obj->count;
        break;
    case Kind::Thread:
        break;
    }
}

DWORD Wait(DWORD count, const HANDLE* handles, bool waitAll, DWORD timeoutMs)
{
    if (count == 0 || count > MAXIMUM_WAIT_OBJECTS || !handles) {
        t_lastError = ERROR_INVALID_HANDLE;
        return WAIT_FAILED;
    }
    const DWORD me = GetCurrentThreadId();
    std::unique_lock lock(g_lock);
    KernelObject* objs[MAXIMUM_WAIT_OBJECTS];
    unsigned pulses[MAXIMUM_WAIT_OBJECTS];
    for (DWORD i = 0; i < count; ++i) {
        objs[i] = Find(handles[i]);
        if (!objs[i]) {
            t_lastError = ERROR_INVALID_HANDLE;
            return WAIT_FAILED;
        }
    }
    for (DWORD i = 0; i < count; ++i) {
        ++objs[i]->refs;  // a CloseHandle during the wait must not free it
        ++objs[i]->waiters;
        pulses[i] = objs[i]->pulses;
    }
    auto tryTake = [&]() -> DWORD {
        if (waitAll) {
            for (DWORD i = 0; i < count; ++i)
                if (!CanTake(objs[i], me, pulses[i]))
                    return WAIT_TIMEOUT;
            for (DWORD i = 0; i < count; ++i)
                Take(objs[i], me);
            return WAIT_OBJECT_0;
        }
        for (DWORD i = 0; i < count; ++i)
            if (CanTake(objs[i], me, pulses[i])) {
                Take(objs[i], me);
                return WAIT_OBJECT_0 + i;
            }
        return WAIT_TIMEOUT;
    };
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    DWORD result = tryTake();
    while (result == WAIT_TIMEOUT && timeoutMs != 0) {
        if (timeoutMs == INFINITE) {
            TheChanged().wait(lock);
        } else if (TheChanged().wait_until(lock, deadline) == std::cv_status::timeout) {
            result = tryTake();
            break;
        }
        result = tryTake();
    }
    for (DWORD i = 0; i < count; ++i) {
        --objs[i]->waiters;
        Unref(objs[i]);
    }
    return result;
}

}  // namespace

DWORD GetCurrentThreadId()
{
    if (t_threadId == 0)
        t_threadId = g_nextThreadId++;
    return t_threadId;
}

DWORD GetCurrentProcessId()
{
    return static_cast<DWORD>(getpid());
}

HANDLE CreateThread(LPSECURITY_ATTRIBUTES, SIZE_T, LPTHREAD_START_ROUTINE start, LPVOID param, DWORD flags,
                    DWORD* threadId)
{
    if (!start)
        return nullptr;
    KernelObject* obj;
    {
        std::lock_guard lock(g_lock);
        bool existed;
        obj = Open(Kind::Thread, nullptr, &existed);
        obj->refs = 2;  // the caller's handle and the running thread
        obj->threadId = g_nextThreadId++;
        obj->suspended = (flags & CREATE_SUSPENDED) != 0;
    }
    if (threadId)
        *threadId = obj->threadId;
    std::thread([obj, start, param] {
        {
            std::unique_lock lock(g_lock);
            t_threadId = obj->threadId;
            TheChanged().wait(lock, [obj] { return !obj->suspended; });
        }
        const DWORD code = start(param);
        std::lock_guard lock(g_lock);
        obj->exitCode = code;
        obj->finished = true;
        Unref(obj);
        TheChanged().notify_all();
    }).detach();
    return obj;
}

DWORD ResumeThread(HANDLE thread)
{
    std::lock_guard lock(g_lock);
    KernelObject* obj = Find(thread);
    if (!obj || obj->kind != Kind::Thread)
        return static_cast<DWORD>(-1);
    const DWORD previous = obj->suspended ? 1 : 0;
    obj->suspended = false;
    TheChanged().notify_all();
    return previous;
}

BOOL GetExitCodeThread(HANDLE thread, DWORD* exitCode)
{
    std::lock_guard lock(g_lock);
    KernelObject* obj = Find(thread);
    if (!obj || obj->kind != Kind::Thread || !exitCode)
        return FALSE;
    *exitCode = obj->exitCode;
    return TRUE;
}

BOOL SetThreadPriority(HANDLE thread, int priority)
{
    std::lock_guard lock(g_lock);
    KernelObject* obj = Find(thread);
    if (!obj || obj->kind != Kind::Thread)
        return FALSE;
    obj->priority = priority;
    return TRUE;
}

int GetThreadPriority(HANDLE thread)
{
    std::lock_guard lock(g_lock);
    KernelObject* obj = Find(thread);
    return obj && obj->kind == Kind::Thread ? obj->priority : THREAD_PRIORITY_NORMAL;
}

DWORD GetThreadId(HANDLE thread)
{
    std::lock_guard lock(g_lock);
    KernelObject* obj = Find(thread);
    return obj && obj->kind == Kind::Thread ? obj->threadId : 0;
}

HANDLE CreateEvent(LPSECURITY_ATTRIBUTES, BOOL manualReset, BOOL initialState, LPCSTR name)
{
    std::lock_guard lock(g_lock);
    bool existed;
    KernelObject* obj = Open(Kind::Event, name, &existed);
    if (obj && !existed) {
        obj->manualReset = manualReset != FALSE;
        obj->signalled = initialState != FALSE;
    }
    t_lastError = existed ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS;
    return obj;
}

static BOOL WithEvent(HANDLE event, void (*change)(KernelObject*))
{
    std::lock_guard lock(g_lock);
    KernelObject* obj = Find(event);
    if (!obj || obj->kind != Kind::Event) {
        t_lastError = ERROR_INVALID_HANDLE;
        return FALSE;
    }
    change(obj);
    TheChanged().notify_all();
    return TRUE;
}

BOOL SetEvent(HANDLE event)
{
    return WithEvent(event, [](KernelObject* o) { o->signalled = true; });
}

BOOL ResetEvent(HANDLE event)
{
    return WithEvent(event, [](KernelObject* o) { o->signalled = false; });
}

// Releases the threads waiting now: all of them for a manual-reset event,
// one for an auto-reset event; the event ends up reset.
BOOL PulseEvent(HANDLE event)
{
    return WithEvent(event, [](KernelObject* o) {
        if (o->manualReset) {
            ++o->pulses;
            o->signalled = false;
        } else {
            o->signalled = o->waiters > 0;
        }
    });
}

HANDLE CreateMutex(LPSECURITY_ATTRIBUTES, BOOL initialOwner, LPCSTR name)
{
    const DWORD me = GetCurrentThreadId();
    std::lock_guard lock(g_lock);
    bool existed;
    KernelObject* obj = Open(Kind::Mutex, name, &existed);
    if (obj && !existed && name && *name) {
        bool heldElsewhere = false;
        obj->lockFd = LockProcessWide(name, &heldElsewhere);
        existed = heldElsewhere;
    }
    if (obj && !existed && initialOwner) {
        obj->owner = me;
        obj->recursion = 1;
    }
    t_lastError = existed ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS;
    return obj;
}

BOOL ReleaseMutex(HANDLE mutex)
{
    const DWORD me = GetCurrentThreadId();
    std::lock_guard lock(g_lock);
    KernelObject* obj = Find(mutex);
    if (!obj || obj->kind != Kind::Mutex || obj->owner != me) {
        t_lastError = obj ? ERROR_NOT_OWNER : ERROR_INVALID_HANDLE;
        return FALSE;
    }
    if (--obj->recursion == 0) {
        obj->owner = 0;
        TheChanged().notify_all();
    }
    return TRUE;
}

HANDLE CreateSemaphore(LPSECURITY_ATTRIBUTES, LONG initialCount, LONG maximumCount, LPCSTR name)
{
    if (maximumCount <= 0 || initialCount < 0 || initialCount > maximumCount)
        return nullptr;
    std::lock_guard lock(g_lock);
    bool existed;
    KernelObject* obj = Open(Kind::Semaphore, name, &existed);
    if (obj && !existed) {
        obj->count = initialCount;
        obj->maxCount = maximumCount;
    }
    t_lastError = existed ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS;
    return obj;
}

BOOL ReleaseSemaphore(HANDLE semaphore, LONG releaseCount, LONG* previousCount)
{
    std::lock_guard lock(g_lock);
    KernelObject* obj = Find(semaphore);
    if (!obj || obj->kind != Kind::Semaphore || releaseCount <= 0 || obj->count + releaseCount > obj->maxCount)
        return FALSE;
    if (previousCount)
        *previousCount = obj->count;
    obj->count += releaseCount;
    TheChanged().notify_all();
    return TRUE;
}

DWORD WaitForSingleObject(HANDLE handle, DWORD timeoutMs)
{
    return Wait(1, &handle, false, timeoutMs);
}

DWORD WaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD timeoutMs)
{
    return Wait(count, handles, waitAll != FALSE, timeoutMs);
}

BOOL CloseHandle(HANDLE handle)
{
    std::lock_guard lock(g_lock);
    KernelObject* obj = Find(handle);
    if (!obj) {
        t_lastError = ERROR_INVALID_HANDLE;
        return FALSE;
    }
    Unref(obj);
    return TRUE;
}

DWORD GetLastError()
{
    return t_lastError;
}

void SetLastError(DWORD error)
{
    t_lastError = error;
}
