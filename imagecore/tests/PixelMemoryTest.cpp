#include "imagecore/PixelMemory.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <malloc.h>

namespace {

// A freed photo-sized buffer goes back to the system every time, so that a
// run over many photos holds no more than a run over a few: the next buffer
// of that size is mapped afresh, not cut from a heap that keeps it resident.
TEST(PixelMemory, LargeBuffersAreMappedAndHandedBackEveryTime)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizer's allocator keeps its own books";
#else
    // A larger buffer first: freeing it is what used to move the smaller
    // ones into the heap.
    const std::size_t mb = std::size_t{1} << 20;
    for (const std::size_t bytes : {24 * mb, 8 * mb, 5 * mb, 8 * mb}) {
        const std::size_t before = mallinfo2().hblkhd;
        void* pixels = imagecore::AllocatePixels(bytes);
        ASSERT_NE(pixels, nullptr);
        EXPECT_GE(mallinfo2().hblkhd, before + bytes) << bytes;
        std::free(pixels);
        EXPECT_EQ(mallinfo2().hblkhd, before) << bytes;
    }
#endif
}

} // namespace
