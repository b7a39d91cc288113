// GetVersionEx: the system the programs believe they run on. We report a
// current system, so checks for old ones never fire.
#pragma once

#include "platform/win/WinTypes.h"

inline constexpr DWORD VER_PLATFORM_WIN32s = 0;
inline constexpr DWORD VER_PLATFORM_WIN32_WINDOWS = 1;
inline constexpr DWORD VER_PLATFORM_WIN32_NT = 2;

struct OSVERSIONINFO {
    DWORD dwOSVersionInfoSize;
    DWORD dwMajorVersion;
    DWORD dwMinorVersion;
    DWORD dwBuildNumber;
    DWORD dwPlatformId;
    char szCSDVersion[128];
};
using LPOSVERSIONINFO = OSVERSIONINFO*;

// FALSE when the size field does not name the structure.
BOOL GetVersionEx(LPOSVERSIONINFO info);
