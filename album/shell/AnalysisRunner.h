// Builds the View Photo dialog's analysis views on a worker thread: the
// newest request wins, an older result is dropped, and the window hears of a
// finished one by a posted message.
#pragma once

#include "album/shell/PhotoAnalysis.h"
#include "platform/win/WinTypes.h"

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

namespace shelf {

class AnalysisRunner {
public:
    struct Result {
        std::uint64_t generation = 0;
        int mode = 0;
        BOOL built = FALSE;
        CQLImage work;
        PhotoAnalysis::Histograms histograms;
    };

    // notify gets message (wParam the generation) when a result is ready.
    AnalysisRunner(HWND notify, UINT message);
    ~AnalysisRunner();
    AnalysisRunner(const AnalysisRunner&) = delete;
    AnalysisRunner& operator=(const AnalysisRunner&) = delete;

    void Start(std::shared_ptr<const CQLImage> source, int mode, std::uint64_t generation);
    // The result of that generation, once; null for any other.
    std::unique_ptr<Result> Take(std::uint64_t generation);
    // Waits until the newest request is answered.
    void Wait();
    // A work image no longer shown: the next result is built into it, so a
    // mode change does not allocate a photo-sized image each time.
    void Recycle(CQLImage&& spare);

private:
    void Loop();

    HWND m_notify;
    UINT m_message;
    std::mutex m_lock;
    std::condition_variable m_changed;
    std::shared_ptr<const CQLImage> m_source;
    int m_mode = 0;
    std::uint64_t m_requested = 0, m_answered = 0;
    bool m_pending = false, m_stop = false;
    std::unique_ptr<Result> m_result;
    CQLImage m_spare;
    std::thread m_thread;
};

} // namespace shelf
