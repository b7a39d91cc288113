// The base of the image jobs that the worker runs as objects: maps the job's
// own 0..100 progress into the caller's range, reports changed values and
// carries a stop request from the interface thread to the running job.
#pragma once

#include "platform/win/WinTypes.h"

#include <atomic>

class C16BitBitmap;

namespace develop {

// (type, value): type 1 is progress in percent. The worker's callback posts
// the pair as its job message; the RAW library takes the same function.
using JobCallback = UINT (*)(UINT type, UINT value);

class DevelopJob {
public:
    DevelopJob() = default;
    virtual ~DevelopJob() = default;
    DevelopJob(const DevelopJob&) = delete;
    DevelopJob& operator=(const DevelopJob&) = delete;

    // 0 on success (also when stopped), else a failure code such as E_FAIL.
    virtual HRESULT Run(const void* params);

    void SetCallback(JobCallback callback) { m_callback = callback; }
    void SetRange(int lo, int hi)
    {
        m_lo = lo;
        m_hi = hi;
    }
    void SetImages(const C16BitBitmap* source, C16BitBitmap* target)
    {
        m_source = source;
        m_target = target;
    }
    BOOL CopySourceToTarget();

    // Reports lo + p (hi - lo) / 100, clamped to 0..100, when it changed.
    void ReportProgress(int percent);
    // From the interface thread, while the job runs.
    void RequestStop() { m_stop.store(1); }
    // TRUE once per request.
    BOOL TakeStopRequest() { return m_stop.exchange(0) != 0; }

protected:
    void ClearStopRequest() { m_stop.store(0); }

    const C16BitBitmap* m_source = nullptr;
    C16BitBitmap* m_target = nullptr;

private:
    JobCallback m_callback = nullptr;
    int m_lo = 0;
    int m_hi = 100;
    int m_last = 0; // kept across runs
    std::atomic<int> m_stop{0};
};

} // namespace develop
