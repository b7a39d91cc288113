// The running program's path, the private temporary folder, and path splitting.
#pragma once

#include "platform/win/WinTypes.h"

// Component sizes _splitpath fills, terminating NUL included.
inline constexpr int _MAX_DRIVE = 3;
inline constexpr int _MAX_DIR = 256;
inline constexpr int _MAX_FNAME = 256;
inline constexpr int _MAX_EXT = 256;

// NULL module: the running executable; else a module LoadLibrary loaded and
// FreeLibrary has not released (0 for any other handle). Returns the length copied; when the
// buffer is too small the path is cut to size - 1 chars and size is returned.
DWORD GetModuleFileName(HMODULE module, LPSTR out, DWORD size);

// The per-user folder quillo-<uid> under $TMPDIR (else /tmp), with a trailing
// '/', created with mode 0700 on first use. Returns the length, or the size
// needed (NUL included) when the buffer is too small, or 0 when the folder
// cannot be made or is not a private directory of ours.
DWORD GetTempPath(DWORD size, LPSTR out);

// Splits a '/' path into folder (trailing '/' kept), name and extension (with
// its dot). drive is always empty. Any out pointer may be NULL; each part is
// cut to the matching _MAX_* size.
void _splitpath(const char* path, char* drive, char* dir, char* fname, char* ext);
