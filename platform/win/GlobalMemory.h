// Global memory blocks: the handles that carry clipboard and drop data.
// A block is one heap allocation; its handle stays valid until GlobalFree.
#pragma once

#include <cstddef>

#include "platform/win/WinTypes.h"

struct QlGlobalRecord;
using HGLOBAL = QlGlobalRecord*;

inline constexpr UINT GMEM_FIXED = 0x0000;
inline constexpr UINT GMEM_MOVEABLE = 0x0002;
inline constexpr UINT GMEM_ZEROINIT = 0x0040;
inline constexpr UINT GHND = GMEM_MOVEABLE | GMEM_ZEROINIT;
inline constexpr UINT GPTR = GMEM_FIXED | GMEM_ZEROINIT;

// NULL when the size cannot be allocated. Blocks are always zero-filled.
HGLOBAL GlobalAlloc(UINT flags, std::size_t bytes);
// The block's memory, or NULL for a handle that is not a live block.
void* GlobalLock(HGLOBAL block);
BOOL GlobalUnlock(HGLOBAL block);
// The size asked for at allocation; 0 for a handle that is not a live block.
std::size_t GlobalSize(HGLOBAL block);
// NULL on success; the handle back when it is not a live block.
HGLOBAL GlobalFree(HGLOBAL block);
