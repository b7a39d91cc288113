// Win32 error codes that the file, process and registry functions return.
// (ERROR_SUCCESS, ERROR_INVALID_HANDLE and ERROR_ALREADY_EXISTS are in Threads.h.)
#pragma once

#include "platform/win/WinTypes.h"

inline constexpr DWORD ERROR_FILE_NOT_FOUND = 2;
inline constexpr DWORD ERROR_PATH_NOT_FOUND = 3;
inline constexpr DWORD ERROR_ACCESS_DENIED = 5;
inline constexpr DWORD ERROR_BAD_FORMAT = 11;
inline constexpr DWORD ERROR_NOT_SAME_DEVICE = 17;
inline constexpr DWORD ERROR_FILE_EXISTS = 80;
inline constexpr DWORD ERROR_INVALID_PARAMETER = 87;
inline constexpr DWORD ERROR_DIR_NOT_EMPTY = 145;
inline constexpr DWORD ERROR_MORE_DATA = 234;
inline constexpr DWORD ERROR_CANCELLED = 1223;
inline constexpr DWORD ERROR_BADDB = 1009;
inline constexpr DWORD ERROR_CANTWRITE = 1013;
