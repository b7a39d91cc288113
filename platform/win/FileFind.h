// Wildcard file search with Windows' semantics: the last path component may
// hold '*' and '?', and names match without regard to ASCII case.
#pragma once

#include "platform/win/WinTypes.h"

inline constexpr DWORD FILE_ATTRIBUTE_READONLY = 0x1;
inline constexpr DWORD FILE_ATTRIBUTE_HIDDEN = 0x2;
inline constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x10;
inline constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x80;

struct WIN32_FIND_DATA {
    DWORD dwFileAttributes;
    FILETIME ftCreationTime;
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    DWORD nFileSizeHigh;
    DWORD nFileSizeLow;
    char cFileName[MAX_PATH];
};

// Returns INVALID_HANDLE_VALUE when the folder is missing or nothing matches.
HANDLE FindFirstFile(LPCSTR pattern, WIN32_FIND_DATA* data);
BOOL FindNextFile(HANDLE find, WIN32_FIND_DATA* data);
BOOL FindClose(HANDLE find);

namespace qlwin {
// The name matches the wildcard as FindFirstFile matches it: '*' and '?',
// ASCII case ignored, a trailing ".*" also matching names without a dot.
bool WildcardMatches(const char* pattern, const char* name);
// What FindFirstFile reports of one path (links followed; a dangling link
// reports as itself); false when there is nothing there.
bool DescribeFile(const char* path, WIN32_FIND_DATA* data);
}  // namespace qlwin
