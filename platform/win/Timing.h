// Sleeping, a millisecond tick count, and calendar times.
#pragma once

#include "platform/win/WinTypes.h"

void Sleep(DWORD ms);
// Milliseconds from a monotonic clock; wraps at 32 bits, so compare by subtraction.
DWORD GetTickCount();

// UTC calendar fields of a FILETIME, milliseconds kept, day of week computed
// (0 Sunday). FALSE for a time beyond the signed 64-bit range, as on Windows.
BOOL FileTimeToSystemTime(const FILETIME* fileTime, SYSTEMTIME* systemTime);
// The current time in UTC.
void GetSystemTime(SYSTEMTIME* systemTime);
