// Allocation shared by the image and the plane: the pixel area starts on a
// 16-byte boundary, 1..16 bytes after what the allocator returned.
#pragma once

#include "platform/win/WinTypes.h"

#include <cstdint>
#include <cstdlib>

namespace imagecore {

// True when width * height * bytesPerPixel plus the 16 bytes of slack fits the
// 32-bit size field. Computed in 64 bits.
inline bool AreaFits(UINT width, UINT height, UINT bytesPerPixel)
{
    const ULONGLONG pixels = ULONGLONG{width} * height;
    return pixels <= (ULONGLONG{0xFFFFFFFFu} - 16) / bytesPerPixel;
}

// Allocates bytes + 16. Returns the aligned start and sets raw (what to free),
// or returns nullptr.
inline BYTE* AllocateAligned(std::size_t bytes, BYTE*& raw)
{
    raw = static_cast<BYTE*>(std::malloc(bytes + 16));
    if (!raw)
        return nullptr;
    const std::uintptr_t start = (reinterpret_cast<std::uintptr_t>(raw) & ~std::uintptr_t{15}) + 16;
    return raw + (start - reinterpret_cast<std::uintptr_t>(raw));
}

} // namespace imagecore
