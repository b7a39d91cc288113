// Starting other programs: the C runtime's _spawnl, WinExec and the shell's
// "open". "X.exe" names program X (programs have no extension here), and
// arguments reach the child plain, without the quotes a Windows command line
// would have needed.
#pragma once

#include "platform/win/WinError.h"
#include "platform/win/WinTypes.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

inline constexpr int _P_WAIT = 0;
inline constexpr int _P_NOWAIT = 1;

// The arguments end with a NULL. _P_WAIT returns the child's exit code
// (128 + the signal number when a signal ended it); _P_NOWAIT returns the
// child's process id, and the child is reaped when it ends. -1 when the
// program cannot be started (errno tells why).
std::intptr_t _spawnl(int mode, const char* path, const char* arg0, ...);
std::intptr_t _spawnv(int mode, const char* path, const char* const* argv);

// The command line is split as Windows splits it: the program is the first
// word or quoted text; an unquoted path with blanks is tried word by word.
// Returns a value above 31 on success, ERROR_FILE_NOT_FOUND when there is no
// such program. Does not wait.
UINT WinExec(LPCSTR cmdLine, UINT show);

// "open" (or NULL) of a program starts it with the parameters, split as a
// Windows command line; anything else (documents, URLs) goes to xdg-open.
// Returns a value above 32 on success, else SE_ERR_* / ERROR_* as Windows does.
HINSTANCE ShellExecute(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR params, LPCSTR dir, int show);

inline constexpr UINT SE_ERR_ACCESSDENIED = 5;
inline constexpr UINT SE_ERR_NOASSOC = 31;

namespace qlwin {
// Tests see every ShellExecute through this hook instead of starting
// anything: it gets verb, file and parameters and returns the result.
using ShellExecuteHook = std::function<HINSTANCE(LPCSTR verb, LPCSTR file, LPCSTR params)>;
void SetShellExecuteHook(ShellExecuteHook hook);
// The program a Windows-style name stands for: the path itself when it
// exists, else the path without a trailing ".exe" (any case).
std::string ProgramPath(const std::string& path);
// A Windows command line split into the words a child's runtime would see.
std::vector<std::string> SplitCommandLine(const std::string& line);
} // namespace qlwin
