// File operations with Windows' rules: a move or rename never replaces an
// existing file unless asked to, deletion of a folder tree removes symbolic
// links themselves and never what they point at, and creation times come
// from statx (the modification time where the file system keeps none).
#pragma once

#include "platform/win/FileFind.h"
#include "platform/win/Threads.h"
#include "platform/win/WinError.h"
#include "platform/win/WinTypes.h"

inline constexpr DWORD INVALID_FILE_ATTRIBUTES = 0xFFFFFFFF;
inline constexpr DWORD MOVEFILE_REPLACE_EXISTING = 0x1;
inline constexpr DWORD MOVEFILE_COPY_ALLOWED = 0x2;

// Fails with ERROR_ALREADY_EXISTS when the target exists. Files (not
// folders) move across file systems by copy and delete, as on Windows.
BOOL MoveFile(LPCSTR from, LPCSTR to);
BOOL MoveFileEx(LPCSTR from, LPCSTR to, DWORD flags);
// A replaced target is swapped in whole, so a failed copy leaves it intact.
BOOL CopyFile(LPCSTR from, LPCSTR to, BOOL failIfExists);
// Files and links only; a folder or a read-only file gives ERROR_ACCESS_DENIED.
BOOL DeleteFile(LPCSTR path);
BOOL CreateDirectory(LPCSTR path, LPSECURITY_ATTRIBUTES security);
BOOL RemoveDirectory(LPCSTR path);

enum GET_FILEEX_INFO_LEVELS { GetFileExInfoStandard = 0 };
struct WIN32_FILE_ATTRIBUTE_DATA {
    DWORD dwFileAttributes;
    FILETIME ftCreationTime;
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    DWORD nFileSizeHigh;
    DWORD nFileSizeLow;
};
DWORD GetFileAttributes(LPCSTR path);
BOOL GetFileAttributesEx(LPCSTR path, GET_FILEEX_INFO_LEVELS level, LPVOID info);

inline BOOL MoveFileA(LPCSTR from, LPCSTR to) { return MoveFile(from, to); }
inline BOOL CopyFileA(LPCSTR from, LPCSTR to, BOOL failIfExists) { return CopyFile(from, to, failIfExists); }
inline BOOL DeleteFileA(LPCSTR path) { return DeleteFile(path); }
inline BOOL CreateDirectoryA(LPCSTR path, LPSECURITY_ATTRIBUTES security) { return CreateDirectory(path, security); }
inline BOOL RemoveDirectoryA(LPCSTR path) { return RemoveDirectory(path); }
inline DWORD GetFileAttributesA(LPCSTR path) { return GetFileAttributes(path); }
inline BOOL GetFileAttributesExA(LPCSTR path, GET_FILEEX_INFO_LEVELS level, LPVOID info)
{
    return GetFileAttributesEx(path, level, info);
}

// The shell's file operation on lists of NUL-terminated paths that end with
// an empty one.
using FILEOP_FLAGS = WORD;
inline constexpr UINT FO_MOVE = 0x0001;
inline constexpr UINT FO_COPY = 0x0002;
inline constexpr UINT FO_DELETE = 0x0003;
inline constexpr UINT FO_RENAME = 0x0004;
inline constexpr FILEOP_FLAGS FOF_MULTIDESTFILES = 0x0001;
inline constexpr FILEOP_FLAGS FOF_SILENT = 0x0004;
inline constexpr FILEOP_FLAGS FOF_RENAMEONCOLLISION = 0x0008;
inline constexpr FILEOP_FLAGS FOF_NOCONFIRMATION = 0x0010;
inline constexpr FILEOP_FLAGS FOF_ALLOWUNDO = 0x0040;
inline constexpr FILEOP_FLAGS FOF_NOCONFIRMMKDIR = 0x0200;
inline constexpr FILEOP_FLAGS FOF_NOERRORUI = 0x0400;
// Results besides the Win32 errors.
inline constexpr int DE_SAMEFILE = 0x71;
inline constexpr int DE_DESTSUBTREE = 0x76;

struct SHFILEOPSTRUCT {
    HWND hwnd;
    UINT wFunc;
    LPCSTR pFrom;
    LPCSTR pTo;
    FILEOP_FLAGS fFlags;
    BOOL fAnyOperationsAborted;
    LPVOID hNameMappings;
    LPCSTR lpszProgressTitle;
};
using LPSHFILEOPSTRUCT = SHFILEOPSTRUCT*;

// 0 on success; otherwise the first error, and the operation stops there.
// Copies and moves into a folder keep the names; a name that is taken gets
// " (2)", " (3)"... with FOF_RENAMEONCOLLISION, is replaced with
// FOF_NOCONFIRMATION, and is otherwise replaced only when the confirmation
// hook says so. Deletion without FOF_NOCONFIRMATION asks the hook too.
int SHFileOperation(LPSHFILEOPSTRUCT op);
inline int SHFileOperationA(LPSHFILEOPSTRUCT op) { return SHFileOperation(op); }

namespace qlwin {

enum class FileQuestion { Delete, Replace };
// The window layer installs a hook that asks the user. Without one, deletions
// go ahead (the programs ask their own question first) and nothing is replaced.
using FileConfirmHook = bool (*)(HWND owner, FileQuestion question, const char* path);
void SetFileConfirmHook(FileConfirmHook hook);

} // namespace qlwin
