#include "imagecore/ParallelFor.h"

#include <gtest/gtest.h>

#include <sched.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <utility>
#include <vector>

namespace {

using imagecore::ParallelFor;

using Chunks = std::vector<std::pair<int, int>>;

// Every chunk fn saw, sorted.
template <class Body>
Chunks Record(int begin, int end, std::size_t workPerRow, Body body)
{
    std::mutex lock;
    Chunks seen;
    ParallelFor(begin, end, workPerRow, [&](int from, int to) {
        body(from, to);
        std::lock_guard<std::mutex> guard(lock);
        seen.emplace_back(from, to);
    });
    std::sort(seen.begin(), seen.end());
    return seen;
}

// The split the loop promises: min(threads, rows) chunks at rows * i / chunks.
Chunks ExpectedChunks(int begin, int end, std::size_t workPerRow)
{
    const std::size_t rows = static_cast<std::size_t>(end - begin);
    const std::size_t chunks = std::min(imagecore::ThreadCount(), rows);
    if (chunks < 2 || rows * workPerRow < imagecore::kParallelMinWork)
        return {{begin, end}};
    Chunks want;
    for (std::size_t i = 0; i < chunks; ++i)
        want.emplace_back(begin + static_cast<int>(rows * i / chunks), begin + static_cast<int>(rows * (i + 1) / chunks));
    return want;
}

std::size_t ThreadsOfProcess()
{
    std::size_t n = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/task")) {
        (void)entry;
        ++n;
    }
    return n;
}

TEST(ParallelFor, SplitsIntoTheSameChunksWhateverTheSize)
{
    struct Case {
        int begin, end;
        std::size_t workPerRow;
    };
    const Case cases[] = {
        {0, 4000, 6000},           // a photo
        {-7, 13, 1 << 20},         // fewer rows than most machines have threads
        {5, 6, 1 << 30},           // one row
        {0, 100, 10},              // too little work: one chunk
        {0, 1000, imagecore::kParallelMinWork / 1000}, // just at the threshold
    };
    for (const Case& c : cases) {
        std::vector<std::atomic<int>> hits(static_cast<std::size_t>(c.end - c.begin));
        const Chunks seen = Record(c.begin, c.end, c.workPerRow, [&](int from, int to) {
            for (int y = from; y < to; ++y)
                hits[static_cast<std::size_t>(y - c.begin)].fetch_add(1);
        });
        EXPECT_EQ(seen, ExpectedChunks(c.begin, c.end, c.workPerRow)) << c.begin << ".." << c.end;
        for (const auto& h : hits)
            ASSERT_EQ(h.load(), 1) << c.begin << ".." << c.end;
    }
    EXPECT_TRUE(Record(3, 3, 1 << 20, [](int, int) {}).empty());
    EXPECT_TRUE(Record(3, 1, 1 << 20, [](int, int) {}).empty());
}

TEST(ParallelFor, ThreadCountFollowsTheAffinityMask)
{
    cpu_set_t set;
    CPU_ZERO(&set);
    ASSERT_EQ(sched_getaffinity(0, sizeof set, &set), 0);
    EXPECT_EQ(imagecore::ThreadCount(), static_cast<std::size_t>(CPU_COUNT(&set)));
}

TEST(ParallelFor, NestedLoopsKeepTheirChunksAndRunInlineOnPoolThreads)
{
    constexpr int kOuter = 64, kInner = 4096;
    std::vector<std::atomic<int>> cells(kOuter * kInner);
    std::atomic<int> innerOnOtherThreads{0};
    std::mutex lock;
    std::vector<Chunks> inner;
    const std::thread::id caller = std::this_thread::get_id();
    ParallelFor(0, kOuter, 1 << 20, [&](int o0, int o1) {
        const std::thread::id outerThread = std::this_thread::get_id();
        for (int o = o0; o < o1; ++o) {
            const Chunks seen = Record(0, kInner, 1 << 10, [&](int i0, int i1) {
                if (outerThread != caller && std::this_thread::get_id() != outerThread)
                    innerOnOtherThreads.fetch_add(1);
                for (int i = i0; i < i1; ++i)
                    cells[static_cast<std::size_t>(o * kInner + i)].fetch_add(1);
            });
            std::lock_guard<std::mutex> guard(lock);
            inner.push_back(seen);
        }
    });
    for (const auto& c : cells)
        ASSERT_EQ(c.load(), 1);
    ASSERT_EQ(inner.size(), static_cast<std::size_t>(kOuter));
    for (const Chunks& seen : inner)
        EXPECT_EQ(seen, ExpectedChunks(0, kInner, 1 << 10));
    EXPECT_EQ(innerOnOtherThreads.load(), 0);
}

TEST(ParallelFor, ASingleThreadScopeRunsTheSameChunksInOrderOnTheCaller)
{
    const std::thread::id caller = std::this_thread::get_id();
    Chunks order;
    {
        imagecore::ScopedSingleThread single;
        ParallelFor(0, 4000, 6000, [&](int from, int to) {
            EXPECT_EQ(std::this_thread::get_id(), caller);
            order.emplace_back(from, to); // no lock: one thread
        });
    }
    EXPECT_EQ(order, ExpectedChunks(0, 4000, 6000)); // already in order
    // Nested scopes count; the loops after them split as before.
    {
        imagecore::ScopedSingleThread outer;
        {
            imagecore::ScopedSingleThread inner;
        }
        ParallelFor(0, 4000, 6000, [&](int, int) { EXPECT_EQ(std::this_thread::get_id(), caller); });
    }
    EXPECT_EQ(Record(0, 4000, 6000, [](int, int) {}), ExpectedChunks(0, 4000, 6000));
}

TEST(ParallelFor, ExceptionsReachTheCallerAndThePoolCarriesOn)
{
    if (imagecore::ThreadCount() < 2)
        GTEST_SKIP() << "one CPU: every loop runs inline";
    const int rows = static_cast<int>(imagecore::ThreadCount()) * 3;
    // Which chunks throw: the first (a pool thread), the last (the caller), all.
    const std::vector<std::vector<int>> throwing = {{0}, {rows - 1}, {}};
    for (const std::vector<int>& which : throwing) {
        try {
            ParallelFor(0, rows, 1 << 20, [&](int from, int to) {
                const bool all = which.empty();
                for (int y : which)
                    if (y >= from && y < to)
                        throw std::runtime_error("chunk " + std::to_string(from));
                if (all)
                    throw std::runtime_error("every chunk");
            });
            ADD_FAILURE() << "no exception";
        } catch (const std::runtime_error& e) {
            if (which.empty())
                EXPECT_STREQ(e.what(), "every chunk");
            else
                EXPECT_NE(std::string(e.what()).find("chunk"), std::string::npos);
        }
        std::vector<std::atomic<int>> hits(static_cast<std::size_t>(rows));
        ParallelFor(0, rows, 1 << 20, [&](int from, int to) {
            for (int y = from; y < to; ++y)
                hits[static_cast<std::size_t>(y)].fetch_add(1);
        });
        for (const auto& h : hits)
            ASSERT_EQ(h.load(), 1);
    }
}

TEST(ParallelFor, StartsNoThreadAfterTheFirstLoop)
{
    std::vector<int> data(1 << 20);
    auto loop = [&] {
        ParallelFor(0, 1024, 1024, [&](int from, int to) {
            for (int y = from; y < to; ++y)
                data[static_cast<std::size_t>(y) * 1024] += 1;
        });
    };
    loop();
    const std::size_t threads = ThreadsOfProcess();
    EXPECT_LE(threads, imagecore::ThreadCount() + 1); // the pool and this test's thread
    for (int i = 0; i < 200; ++i)
        loop();
    EXPECT_EQ(ThreadsOfProcess(), threads);
    EXPECT_EQ(data[0], 201);
}

TEST(ParallelFor, CallersOnSeveralThreadsShareThePool)
{
    constexpr int kCallers = 4, kRows = 512, kRounds = 50;
    std::vector<std::vector<int>> sums(kCallers, std::vector<int>(kRows, 0));
    std::vector<std::thread> callers;
    for (int c = 0; c < kCallers; ++c)
        callers.emplace_back([&, c] {
            for (int round = 0; round < kRounds; ++round)
                ParallelFor(0, kRows, 1 << 12, [&](int from, int to) {
                    for (int y = from; y < to; ++y)
                        sums[static_cast<std::size_t>(c)][static_cast<std::size_t>(y)] += y;
                });
        });
    for (std::thread& t : callers)
        t.join();
    for (const std::vector<int>& s : sums)
        for (int y = 0; y < kRows; ++y)
            ASSERT_EQ(s[static_cast<std::size_t>(y)], y * kRounds);
}

} // namespace
