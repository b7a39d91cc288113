#include "imagecore/ParallelFor.h"

#include <sched.h>

#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>

namespace imagecore {

namespace {

// One parallel loop: its chunks are claimed in order under the pool's lock.
struct Job {
    void (*run)(void*, std::size_t);
    void* context;
    std::size_t shared;  // chunks 0..shared-1 go to whoever claims them first
    std::size_t next = 0; // the next chunk to claim
    std::size_t pending;  // chunks not finished, the caller's own included
    std::exception_ptr error;
};

thread_local bool t_inPool = false;
thread_local int t_singleThread = 0;

class Pool {
public:
    explicit Pool(std::size_t workers)
    {
        for (std::size_t i = 0; i < workers; ++i) {
            try {
                std::thread(&Pool::Work, this).detach();
                ++m_workers;
            } catch (const std::system_error&) {
                break; // fewer threads: the callers take the rest
            }
        }
    }

    std::size_t Workers() const { return m_workers; }

    void Run(Job& job)
    {
        {
            std::lock_guard<std::mutex> lock(m_lock);
            m_queue.push_back(&job);
        }
        m_ready.notify_all();
        Execute(job, job.shared); // the caller's own chunk, the last one
        for (;;) {
            std::size_t i;
            {
                std::lock_guard<std::mutex> lock(m_lock);
                if (!Claim(job, i))
                    break;
            }
            Execute(job, i);
        }
        std::unique_lock<std::mutex> lock(m_lock);
        m_finished.wait(lock, [&] { return job.pending == 0; });
    }

private:
    // Under the lock: the next unclaimed chunk of job, taking the job off the
    // queue with its last one, or skipping the rest once a chunk failed.
    bool Claim(Job& job, std::size_t& chunk)
    {
        if (job.next >= job.shared)
            return false;
        if (job.error) {
            job.pending -= job.shared - job.next;
            job.next = job.shared;
            std::erase(m_queue, &job);
            if (job.pending == 0)
                m_finished.notify_all();
            return false;
        }
        chunk = job.next++;
        if (job.next == job.shared)
            std::erase(m_queue, &job);
        return true;
    }

    void Execute(Job& job, std::size_t chunk)
    {
        std::exception_ptr error;
        try {
            job.run(job.context, chunk);
        } catch (...) {
            error = std::current_exception();
        }
        std::lock_guard<std::mutex> lock(m_lock);
        if (error && !job.error)
            job.error = error;
        if (--job.pending == 0)
            m_finished.notify_all(); // under the lock: the job outlives it
    }

    void Work()
    {
        t_inPool = true;
        std::unique_lock<std::mutex> lock(m_lock);
        for (;;) {
            m_ready.wait(lock, [&] { return !m_queue.empty(); });
            Job& job = *m_queue.front();
            std::size_t i;
            if (!Claim(job, i))
                continue;
            lock.unlock();
            Execute(job, i);
            lock.lock();
        }
    }

    std::mutex m_lock;
    std::condition_variable m_ready;    // a job was queued
    std::condition_variable m_finished; // some job's last chunk finished
    std::deque<Job*> m_queue;           // jobs with chunks left to claim
    std::size_t m_workers = 0;
};

// Never destroyed: loops may still run while statics are torn down at exit.
Pool* SharedPool()
{
    static Pool* const pool = ThreadCount() > 1 ? new Pool(ThreadCount() - 1) : nullptr;
    return pool && pool->Workers() > 0 ? pool : nullptr;
}

} // namespace

std::size_t ThreadCount()
{
    static const std::size_t count = [] {
        cpu_set_t set;
        CPU_ZERO(&set);
        if (sched_getaffinity(0, sizeof set, &set) == 0 && CPU_COUNT(&set) > 0)
            return static_cast<std::size_t>(CPU_COUNT(&set));
        const unsigned hw = std::thread::hardware_concurrency();
        return static_cast<std::size_t>(hw > 0 ? hw : 1);
    }();
    return count;
}

ScopedSingleThread::ScopedSingleThread()
{
    ++t_singleThread;
}

ScopedSingleThread::~ScopedSingleThread()
{
    --t_singleThread;
}

namespace detail {

void RunChunks(std::size_t count, void (*run)(void*, std::size_t), void* context)
{
    Pool* pool = t_inPool || t_singleThread > 0 ? nullptr : SharedPool();
    if (!pool || count < 2) {
        for (std::size_t i = 0; i < count; ++i)
            run(context, i);
        return;
    }
    Job job{run, context, count - 1, 0, count, nullptr};
    pool->Run(job);
    if (job.error)
        std::rethrow_exception(job.error);
}

} // namespace detail

} // namespace imagecore
