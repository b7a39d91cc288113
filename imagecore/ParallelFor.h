// Splits a range of rows over the process's threads: one pool, started on
// first use and kept for the life of the process.
#pragma once

#include <cstddef>
#include <type_traits>
#include <utility>

namespace imagecore {

// Below this much work handing chunks to the pool costs more than it saves.
inline constexpr std::size_t kParallelMinWork = 256 * 1024;

// Threads a parallel loop runs on (the pool's and the caller): the CPUs this
// process may run on by its affinity mask, at least 1. Fixed at first use.
std::size_t ThreadCount();

// While one lives on a thread, the parallel loops it starts run every chunk
// on that thread, in order, as nested loops do: benchmarks compare one
// thread with all on the same chunks.
class ScopedSingleThread {
public:
    ScopedSingleThread();
    ~ScopedSingleThread();
    ScopedSingleThread(const ScopedSingleThread&) = delete;
    ScopedSingleThread& operator=(const ScopedSingleThread&) = delete;
};

namespace detail {

// Runs run(context, i) for every chunk i in [0, count): the caller runs the
// last chunk itself, the pool the others, and the caller helps with what is
// left before it waits for all. The first exception of any chunk is rethrown
// here once every started chunk is done; chunks not started by then are
// skipped. From a pool thread (a nested loop), under a ScopedSingleThread,
// or when the pool cannot be had, every chunk runs on the calling thread in
// order.
void RunChunks(std::size_t count, void (*run)(void* context, std::size_t chunk), void* context);

} // namespace detail

// Calls fn(rowBegin, rowEnd) on contiguous, disjoint chunks that together
// cover [begin, end), one chunk per thread of ThreadCount(), and returns when
// all are done. workPerRow (e.g. pixels per row) decides whether threads are
// worth it; small jobs run as one chunk on the calling thread. The chunks do
// not depend on where the call is made from. An exception thrown by fn
// reaches the caller.
template <class Fn>
void ParallelFor(int begin, int end, std::size_t workPerRow, Fn&& fn)
{
    if (end <= begin)
        return;
    const std::size_t rows = static_cast<std::size_t>(end) - static_cast<std::size_t>(begin);
    const std::size_t threads = ThreadCount();
    const std::size_t chunks = threads < rows ? threads : rows;
    if (chunks < 2 || rows * workPerRow < kParallelMinWork) {
        fn(begin, end);
        return;
    }
    struct Context {
        std::remove_reference_t<Fn>* fn;
        int begin;
        std::size_t rows;
        std::size_t chunks;
    } context{&fn, begin, rows, chunks};
    detail::RunChunks(chunks, [](void* p, std::size_t i) {
        const Context& c = *static_cast<const Context*>(p);
        const int from = c.begin + static_cast<int>(c.rows * i / c.chunks);
        const int to = c.begin + static_cast<int>(c.rows * (i + 1) / c.chunks);
        (*c.fn)(from, to);
    }, &context);
}

} // namespace imagecore
