// Private profile (.ini) files with Windows' semantics: sections and keys
// without regard to ASCII case, defaults for whatever is missing, and writes
// that keep every other line of the file as it was.
#pragma once

#include "platform/win/WinTypes.h"

// section NULL lists the section names, key NULL the keys of the section:
// each NUL-terminated, with a final extra NUL.
DWORD GetPrivateProfileString(LPCSTR section, LPCSTR key, LPCSTR def, LPSTR out, DWORD size, LPCSTR file);
UINT GetPrivateProfileInt(LPCSTR section, LPCSTR key, INT def, LPCSTR file);
// value NULL deletes the key, key NULL deletes the whole section.
BOOL WritePrivateProfileString(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR file);
