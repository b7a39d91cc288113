// Small helpers of the adjustment dialog tests.
#pragma once

#include "imagecore/QLImage.h"
#include "platform/afx/QtBridge.h"

#include <chrono>
#include <cstring>
#include <functional>
#include <thread>

namespace adjusttest {

// Pumps events until done() or ms pass; false on timeout.
inline bool PumpUntil(const std::function<bool()>& done, int ms = 60000)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        qlafx::ProcessPendingEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

inline bool SamePixels(const CQLImage& a, const CQLImage& b)
{
    return a.GetAreaByteSize() == b.GetAreaByteSize()
           && std::memcmp(a.GetBuffer(0, 0), b.GetBuffer(0, 0), a.GetAreaByteSize()) == 0;
}

} // namespace adjusttest
