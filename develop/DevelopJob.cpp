#include "develop/DevelopJob.h"

#include "imagecore/16BitBitmap.h"

#include <algorithm>

namespace develop {

HRESULT DevelopJob::Run(const void*)
{
    ClearStopRequest();
    return 0;
}

BOOL DevelopJob::CopySourceToTarget()
{
    return m_source && m_target && m_target->DuplicateFrom(m_source) ? TRUE : FALSE;
}

void DevelopJob::ReportProgress(int percent)
{
    if (!m_callback)
        return;
    const long long v = m_lo + static_cast<long long>(percent) * (m_hi - m_lo) / 100;
    const int clamped = static_cast<int>(std::clamp<long long>(v, 0, 100));
    if (clamped == m_last)
        return;
    m_last = clamped;
    m_callback(1, static_cast<UINT>(clamped));
}

} // namespace develop
