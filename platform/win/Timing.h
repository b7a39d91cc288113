// Sleeping and a millisecond tick count.
#pragma once

#include "platform/win/WinTypes.h"

void Sleep(DWORD ms);
// Milliseconds from a monotonic clock; wraps at 32 bits, so compare by subtraction.
DWORD GetTickCount();
