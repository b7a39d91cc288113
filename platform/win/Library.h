// Loading shared objects by their Windows names: "X.dll" is X.so, and a bare
// name is looked for in the program folder; plug-ins keep their .qli names.
#pragma once

#include "platform/win/WinTypes.h"

using FARPROC = void (*)();

// NULL when the file is missing or cannot be loaded.
HMODULE LoadLibrary(LPCSTR name);
inline HMODULE LoadLibraryA(LPCSTR name) { return LoadLibrary(name); }
// NULL when the module has no such export.
FARPROC GetProcAddress(HMODULE module, LPCSTR name);
BOOL FreeLibrary(HMODULE module);

#include <string>

namespace qlwin {
// The file name without folder and suffix of a module LoadLibrary loaded and
// FreeLibrary has not yet released; empty for any other handle. A module's
// own pictures are filed under this name.
std::string ModuleName(HMODULE module);
// The path a module was loaded from, under the same rules.
std::string ModulePath(HMODULE module);
} // namespace qlwin
