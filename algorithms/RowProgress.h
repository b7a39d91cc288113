// Progress and cancel for row loops split over threads: workers count the
// rows they finish; the thread that runs the effect (it takes a share of the
// rows itself) reports progress and tests for a cancel, which then stops all.
#pragma once

#include "algorithms/EffectAlgorithm.h"

#include <atomic>
#include <thread>

class RowProgress {
public:
    // Reports lo + (hi - lo) * done / total as rows finish.
    RowProgress(EffectAlgorithm& effect, int total, int lo, int hi)
        : m_effect(effect), m_total(total > 0 ? total : 1), m_lo(lo), m_hi(hi), m_owner(std::this_thread::get_id())
    {
    }

    // After a worker finished rows more rows; false once the run is cancelled.
    bool Advance(int rows)
    {
        const int done = m_done.fetch_add(rows, std::memory_order_relaxed) + rows;
        if (std::this_thread::get_id() == m_owner) {
            m_effect.Progress(static_cast<int>(m_lo + (m_hi - m_lo) * static_cast<long long>(done) / m_total));
            if (m_effect.TestCancel())
                m_cancelled.store(true, std::memory_order_relaxed);
        }
        return !m_cancelled.load(std::memory_order_relaxed);
    }

    bool Cancelled() const { return m_cancelled.load(std::memory_order_relaxed); }

private:
    EffectAlgorithm& m_effect;
    const int m_total;
    const int m_lo;
    const int m_hi;
    const std::thread::id m_owner;
    std::atomic<int> m_done{0};
    std::atomic<bool> m_cancelled{false};
};
