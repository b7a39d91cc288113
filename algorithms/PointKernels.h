// Row kernels of the per-pixel effects: table lookups per channel and on the
// grey level, with AVX2 or SSE4.1 where the processor has them (chosen at run
// time) and a scalar loop otherwise. Every path gives the same bytes.
#pragma once

#include "imagecore/QLImage.h"
#include "imagecore/Simd.h"
#include "platform/win/WinTypes.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace pointkernels {

// Three byte tables for B, G and R as words already shifted to their byte of
// the pixel, so a lookup yields the output bits directly.
struct ChannelTables {
    ChannelTables(const BYTE* b, const BYTE* g, const BYTE* r);
    std::uint32_t word[3][256];
};

// A table on the grey level (6G + 3R + B) / 10, as whole output pixels:
// the level in B, G and R, alpha 255.
struct GreyTable {
    explicit GreyTable(const BYTE* levels);
    std::uint32_t word[256];
};

// B, G, R of n pixels at s through their tables into d (d may be s); alpha
// is kept, or 255 with opaque.
void MapChannels(const BYTE* s, BYTE* d, std::size_t n, const ChannelTables& t, bool opaque,
                 imagecore::SimdLevel level = imagecore::ActiveSimdLevel());

// Each of n pixels becomes its grey level's table entry (d may be s).
void MapGrey(const BYTE* s, BYTE* d, std::size_t n, const GreyTable& t,
             imagecore::SimdLevel level = imagecore::ActiveSimdLevel());

// Targets at least this big do not fit any cache: their rows are written with
// non-temporal stores, which save reading the target in before writing it.
inline constexpr std::size_t kStreamBytes = std::size_t{32} << 20;

inline bool StreamsTo(const CQLImage* target)
{
    return target->GetAreaByteSize() >= kStreamBytes;
}

// Copies bytes to d with non-temporal stores; StreamFence makes them visible
// in order with later stores (call it before the row's work is reported done).
void StreamCopy(BYTE* d, const BYTE* s, std::size_t bytes);
void StreamFence();

// kernel(first, out, count) writes pixels first..first+count-1 of a row of
// width pixels to out. Without stream it writes straight into the row d;
// with it, through a small cache-resident buffer and non-temporal stores.
inline constexpr int kStreamChunk = 512;

template <class Kernel>
void WriteRow(BYTE* d, int width, bool stream, Kernel&& kernel)
{
    if (!stream) {
        kernel(0, d, width);
        return;
    }
    alignas(64) BYTE buf[kStreamChunk * 4];
    for (int x = 0; x < width; x += kStreamChunk) {
        const int n = std::min(kStreamChunk, width - x);
        kernel(x, buf, n);
        StreamCopy(d + std::size_t(x) * 4, buf, std::size_t(n) * 4);
    }
    StreamFence();
}

} // namespace pointkernels
