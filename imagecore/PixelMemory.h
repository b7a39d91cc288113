// Memory for large pixel arrays, ready to be written at full speed: a fresh
// allocation's pages would otherwise be faulted in one by one by whichever
// thread first writes them (a decoder writes on one thread).
#pragma once

#include <cstddef>

namespace imagecore {

// From this size on, pixel memory is backed by huge pages where the system
// allows and faulted in on all cores before it is handed out.
inline constexpr std::size_t kLargePixelBytes = std::size_t{4} << 20;

// bytes of uninitialised memory, aligned to 16 bytes, or null. Free it with
// std::free.
void* AllocatePixels(std::size_t bytes);

// While one lives on this thread, large allocations are not faulted in ahead:
// for decoders whose data may fill only a part of what a header declares, so
// a short hostile file costs only the rows it really reaches.
class LazyPixelScope {
public:
    LazyPixelScope();
    ~LazyPixelScope();
    LazyPixelScope(const LazyPixelScope&) = delete;
    LazyPixelScope& operator=(const LazyPixelScope&) = delete;
};

} // namespace imagecore
