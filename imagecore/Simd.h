// Which vector instructions the hot loops may use, decided at run time: one
// binary serves every x86-64 machine. Tests lower the level to run every path
// on the same data.
#pragma once

#include <algorithm>
#include <atomic>

namespace imagecore {

enum class SimdLevel { Scalar = 0, Sse4 = 1, Avx2 = 2 };

// The best level the processor offers.
inline SimdLevel CpuSimdLevel()
{
#if defined(__x86_64__)
    static const SimdLevel level = __builtin_cpu_supports("avx2")     ? SimdLevel::Avx2
                                   : __builtin_cpu_supports("sse4.1") ? SimdLevel::Sse4
                                                                       : SimdLevel::Scalar;
    return level;
#else
    return SimdLevel::Scalar;
#endif
}

// Above every level while nothing is lowered.
inline std::atomic<int>& SimdCeiling()
{
    static std::atomic<int> ceiling{static_cast<int>(SimdLevel::Avx2) + 1};
    return ceiling;
}

// The level the loops use now: the processor's, unless lowered.
inline SimdLevel ActiveSimdLevel()
{
    return static_cast<SimdLevel>(
        std::min(static_cast<int>(CpuSimdLevel()), SimdCeiling().load(std::memory_order_relaxed)));
}

// AVX-512 (BW and the byte permutes of VBMI) on top of AVX2, for the few
// kernels that have such a path: the processor has it and the level is not
// lowered, so that a ceiling of Avx2 reaches the plain AVX2 path.
inline bool ActiveAvx512()
{
#if defined(__x86_64__)
    static const bool vbmi = __builtin_cpu_supports("avx512vbmi") && __builtin_cpu_supports("avx512bw");
    return vbmi && SimdCeiling().load(std::memory_order_relaxed) > static_cast<int>(SimdLevel::Avx2);
#else
    return false;
#endif
}

// Lowers the level for its lifetime (tests compare the paths with it).
class ScopedSimdCeiling {
public:
    explicit ScopedSimdCeiling(SimdLevel level)
        : m_previous(SimdCeiling().exchange(static_cast<int>(level)))
    {
    }
    ~ScopedSimdCeiling() { SimdCeiling().store(m_previous); }
    ScopedSimdCeiling(const ScopedSimdCeiling&) = delete;
    ScopedSimdCeiling& operator=(const ScopedSimdCeiling&) = delete;

private:
    int m_previous;
};

} // namespace imagecore
