#include "album/shell/AnalysisRunner.h"

#include "platform/afx/WinUser.h"

namespace shelf {

AnalysisRunner::AnalysisRunner(HWND notify, UINT message) : m_notify(notify), m_message(message)
{
    m_thread = std::thread([this] { Loop(); });
}

AnalysisRunner::~AnalysisRunner()
{
    {
        std::lock_guard<std::mutex> hold(m_lock);
        m_stop = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

void AnalysisRunner::Start(std::shared_ptr<const CQLImage> source, int mode, std::uint64_t generation)
{
    {
        std::lock_guard<std::mutex> hold(m_lock);
        m_source = std::move(source);
        m_mode = mode;
        m_requested = generation;
        m_pending = true;
    }
    m_changed.notify_all();
}

std::unique_ptr<AnalysisRunner::Result> AnalysisRunner::Take(std::uint64_t generation)
{
    std::lock_guard<std::mutex> hold(m_lock);
    if (!m_result || m_result->generation != generation)
        return nullptr;
    return std::move(m_result);
}

void AnalysisRunner::Wait()
{
    std::unique_lock<std::mutex> hold(m_lock);
    m_changed.wait(hold, [this] { return !m_pending && m_answered == m_requested; });
}

void AnalysisRunner::Recycle(CQLImage&& spare)
{
    std::lock_guard<std::mutex> hold(m_lock);
    m_spare = std::move(spare);
}

void AnalysisRunner::Loop()
{
    std::unique_lock<std::mutex> hold(m_lock);
    for (;;) {
        m_changed.wait(hold, [this] { return m_stop || m_pending; });
        if (m_stop)
            return;
        std::shared_ptr<const CQLImage> source = m_source;
        const int mode = m_mode;
        const std::uint64_t generation = m_requested;
        m_pending = false;
        auto result = std::make_unique<Result>();
        result->work = std::move(m_spare);
        hold.unlock();
        result->generation = generation;
        result->mode = mode;
        if (source)
            result->built = PhotoAnalysis::Build(*source, mode, &result->work, &result->histograms);
        source.reset();
        hold.lock();
        m_answered = generation;
        // A newer request makes this one stale: only the newest is kept.
        if (generation == m_requested) {
            m_result = std::move(result);
            if (m_notify)
                ::PostMessage(m_notify, m_message, static_cast<WPARAM>(generation), 0);
        }
        m_changed.notify_all();
    }
}

} // namespace shelf
