// Splits a range of rows over the hardware threads.
#pragma once

#include <algorithm>
#include <cstddef>
#include <system_error>
#include <thread>
#include <vector>

namespace imagecore {

// Below this much work thread start-up costs more than it saves.
inline constexpr std::size_t kParallelMinWork = 256 * 1024;

// Calls fn(rowBegin, rowEnd) on contiguous, disjoint chunks that together
// cover [begin, end), one chunk per hardware thread, and returns when all are
// done. workPerRow (e.g. pixels per row) decides whether threads are worth it;
// small jobs run inline on the calling thread. fn must not throw.
template <class Fn>
void ParallelFor(int begin, int end, std::size_t workPerRow, Fn&& fn)
{
    if (end <= begin)
        return;
    const std::size_t rows = static_cast<std::size_t>(end - begin);
    const std::size_t hw = std::max(1u, std::thread::hardware_concurrency());
    const std::size_t chunks = std::min(hw, rows);
    if (chunks < 2 || rows * workPerRow < kParallelMinWork) {
        fn(begin, end);
        return;
    }

    std::vector<std::thread> threads;
    threads.reserve(chunks - 1);
    int from = begin;
    for (std::size_t i = 0; i < chunks; ++i) {
        const int to = begin + static_cast<int>(rows * (i + 1) / chunks);
        if (i + 1 == chunks) {
            fn(from, to); // the calling thread takes the last chunk
        } else {
            try {
                threads.emplace_back([&fn, from, to] { fn(from, to); });
            } catch (const std::system_error&) {
                fn(from, to); // no thread to be had: do it here
            }
        }
        from = to;
    }
    for (std::thread& t : threads)
        t.join();
}

} // namespace imagecore
