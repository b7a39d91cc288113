#include "platform/afx/SystemVersion.h"

#include <cstring>

BOOL GetVersionEx(LPOSVERSIONINFO info)
{
    if (!info || info->dwOSVersionInfoSize != sizeof(OSVERSIONINFO))
        return FALSE;
    info->dwMajorVersion = 10;
    info->dwMinorVersion = 0;
    info->dwBuildNumber = 19045;
    info->dwPlatformId = VER_PLATFORM_WIN32_NT;
    std::memset(info->szCSDVersion, 0, sizeof info->szCSDVersion);
    return TRUE;
}
