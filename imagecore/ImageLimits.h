// The one memory rule of every reader of pictures from outside: the size a
// header declares is checked before anything that size is allocated.
#pragma once

#include "platform/win/WinTypes.h"

namespace imagecore {

// Largest picture any reader decodes, in pixels.
inline constexpr ULONGLONG kPixelCap = 500'000'000;

// The machine's physical memory in bytes (0 when unknown).
ULONGLONG PhysicalMemory();

// True when a decoded picture of width x height pixels of bytesPerPixel
// bytes may be allocated: at most kPixelCap pixels, and the buffer at most
// half of physicalBytes (no memory rule when physicalBytes is 0).
bool DecodeSizeAllowed(ULONGLONG width, ULONGLONG height, ULONGLONG bytesPerPixel, ULONGLONG physicalBytes);
// The largest buffer a reader may allocate for one picture on this machine:
// kPixelCap pixels of 4 bytes, at most half of physical memory. Working
// buffers (a strip, a coefficient store) are held to it too.
ULONGLONG DecodeByteLimit();
// The same against this machine.
bool DecodeSizeAllowed(ULONGLONG width, ULONGLONG height, ULONGLONG bytesPerPixel = 4);

} // namespace imagecore
