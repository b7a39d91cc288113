// The pixel store shared by the image and the plane: the allocation, the
// first pixel on a 16-byte boundary 1..16 bytes after it, and the geometry.
// Its fields are, in order, the fields of both classes after their vtable.
#pragma once

#include "imagecore/PixelMemory.h"
#include "platform/win/WinTypes.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <utility>

namespace imagecore {

// Index of (x, y) with each coordinate clamped to the last column or row. The
// comparison is unsigned on purpose, so a negative coordinate reaches the last
// column or row too: effects' edge handling rests on it.
inline std::size_t ClampedIndex(int x, int y, UINT width, UINT height)
{
    UINT ux = static_cast<UINT>(x);
    UINT uy = static_cast<UINT>(y);
    if (ux > width - 1)
        ux = width - 1;
    if (uy > height - 1)
        uy = height - 1;
    return static_cast<std::size_t>(uy) * width + ux;
}

struct AlignedBuffer {
    BYTE* raw = nullptr;  // what the allocator returned, what is freed
    BYTE* bits = nullptr; // first pixel, 16-byte aligned
    UINT width = 0;
    UINT height = 0;
    UINT size = 0; // width * height * bytes per pixel

    AlignedBuffer() = default;
    ~AlignedBuffer() { Free(); }
    AlignedBuffer(const AlignedBuffer&) = delete;
    AlignedBuffer& operator=(const AlignedBuffer&) = delete;
    AlignedBuffer(AlignedBuffer&& other) noexcept { Take(other); }
    AlignedBuffer& operator=(AlignedBuffer&& other) noexcept
    {
        if (this != &other) {
            Free();
            Take(other);
        }
        return *this;
    }

    // Frees, then allocates width * height * bytesPerPixel + 16 bytes. False,
    // leaving the buffer empty, when that size does not fit the 32-bit size
    // field (computed in 64 bits) or the allocation fails. A zero side gives
    // a buffer without pixels.
    bool Allocate(UINT w, UINT h, UINT bytesPerPixel)
    {
        Free();
        const ULONGLONG pixels = ULONGLONG{w} * h;
        if (pixels > (ULONGLONG{0xFFFFFFFFu} - 16) / bytesPerPixel)
            return false;
        const UINT bytes = static_cast<UINT>(pixels) * bytesPerPixel;
        if (bytes != 0) {
            raw = static_cast<BYTE*>(AllocatePixels(std::size_t{bytes} + 16));
            if (!raw)
                return false;
            const std::uintptr_t start = (reinterpret_cast<std::uintptr_t>(raw) & ~std::uintptr_t{15}) + 16;
            bits = raw + (start - reinterpret_cast<std::uintptr_t>(raw));
        }
        width = w;
        height = h;
        size = bytes;
        return true;
    }

    void Free()
    {
        std::free(raw);
        raw = nullptr;
        bits = nullptr;
        width = height = size = 0;
    }

    std::size_t Index(int x, int y) const
    {
        return static_cast<std::size_t>(y) * width + static_cast<std::size_t>(x);
    }

    std::size_t SafeIndex(int x, int y) const { return ClampedIndex(x, y, width, height); }

private:
    void Take(AlignedBuffer& other)
    {
        raw = std::exchange(other.raw, nullptr);
        bits = std::exchange(other.bits, nullptr);
        width = std::exchange(other.width, 0);
        height = std::exchange(other.height, 0);
        size = std::exchange(other.size, 0);
    }
};

} // namespace imagecore
