#include "imagecore/PixelMemory.h"

#include "imagecore/ParallelFor.h"

#include <malloc.h>
#include <sys/mman.h>

#include <cstdlib>

namespace imagecore {

namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;
constexpr std::size_t kPage = 4096;

thread_local int lazyScopes = 0;

// Pixel buffers come and go at the rate of photos. The C library raises its
// mapping threshold each time such a buffer is unmapped, after which buffers
// of that size are cut from its heaps, where freed ones stay resident and
// the footprint of a batch creeps up with its length. A fixed threshold
// keeps every large buffer mapped on its own and handed back when freed.
#ifdef M_MMAP_THRESHOLD
[[maybe_unused]] const bool kFixedMapThreshold = mallopt(M_MMAP_THRESHOLD, static_cast<int>(kLargePixelBytes)) == 1;
#endif

} // namespace

void* AllocatePixels(std::size_t bytes)
{
    if (bytes < kLargePixelBytes)
        return std::malloc(bytes);
    const std::size_t rounded = (bytes + kHugePage - 1) & ~(kHugePage - 1);
    auto* memory = static_cast<unsigned char*>(std::aligned_alloc(kHugePage, rounded));
    if (!memory)
        return nullptr;
#ifdef MADV_HUGEPAGE
    madvise(memory, rounded, MADV_HUGEPAGE); // advice only: refused, it changes nothing
#endif
    if (lazyScopes > 0)
        return memory;
    // One write a page, spread over the cores: the faults (and the kernel's
    // zeroing of every page) run in parallel instead of in the first writer.
    const std::size_t pages = (bytes + kPage - 1) / kPage;
    ParallelFor(0, static_cast<int>(pages), kPage / 8, [&](int p0, int p1) {
        for (int p = p0; p < p1; ++p)
            memory[static_cast<std::size_t>(p) * kPage] = 0;
    });
    return memory;
}

LazyPixelScope::LazyPixelScope()
{
    ++lazyScopes;
}

LazyPixelScope::~LazyPixelScope()
{
    --lazyScopes;
}

} // namespace imagecore
