// The registry stand-in: keys and values with the advapi functions' names and
// results, kept in one file under $XDG_CONFIG_HOME/quillo/ that every program
// of the suite shares. Each call reads the file afresh; each change is made
// under a lock and lands by renaming a complete new file over the old one.
#pragma once

#include "platform/win/Threads.h"
#include "platform/win/WinError.h"
#include "platform/win/WinTypes.h"

#include <cstdint>

struct QlKeyRecord;
using HKEY = QlKeyRecord*;
using PHKEY = HKEY*;
using REGSAM = DWORD;
using LPBYTE = BYTE*;
using LPDWORD = DWORD*;

inline HKEY const HKEY_CLASSES_ROOT = reinterpret_cast<HKEY>(std::uintptr_t{0x80000000});
inline HKEY const HKEY_CURRENT_USER = reinterpret_cast<HKEY>(std::uintptr_t{0x80000001});
inline HKEY const HKEY_LOCAL_MACHINE = reinterpret_cast<HKEY>(std::uintptr_t{0x80000002});
inline HKEY const HKEY_USERS = reinterpret_cast<HKEY>(std::uintptr_t{0x80000003});

inline constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
inline constexpr REGSAM KEY_SET_VALUE = 0x0002;
inline constexpr REGSAM KEY_CREATE_SUB_KEY = 0x0004;
inline constexpr REGSAM KEY_READ = 0x20019;
inline constexpr REGSAM KEY_WRITE = 0x20006;
inline constexpr REGSAM KEY_ALL_ACCESS = 0xF003F;

inline constexpr DWORD REG_OPTION_NON_VOLATILE = 0;
inline constexpr DWORD REG_CREATED_NEW_KEY = 1;
inline constexpr DWORD REG_OPENED_EXISTING_KEY = 2;

inline constexpr DWORD REG_NONE = 0;
inline constexpr DWORD REG_SZ = 1;
inline constexpr DWORD REG_EXPAND_SZ = 2;
inline constexpr DWORD REG_BINARY = 3;
inline constexpr DWORD REG_DWORD = 4;

// Sub-key paths use '\', as registry paths do; names compare without regard
// to ASCII case. Results are ERROR_SUCCESS or a Win32 error code.
LONG RegOpenKeyEx(HKEY key, LPCSTR subKey, DWORD options, REGSAM sam, PHKEY result);
LONG RegCreateKeyEx(HKEY key, LPCSTR subKey, DWORD reserved, LPSTR className, DWORD options, REGSAM sam,
                    LPSECURITY_ATTRIBUTES security, PHKEY result, LPDWORD disposition);
// NULL or "" names the key's default value. With data NULL only the size is
// reported; a buffer too small gives ERROR_MORE_DATA and the size needed.
LONG RegQueryValueEx(HKEY key, LPCSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD size);
LONG RegSetValueEx(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE* data, DWORD size);
// Refused (ERROR_ACCESS_DENIED) while the key has sub-keys, as on Windows.
LONG RegDeleteKey(HKEY key, LPCSTR subKey);
LONG RegDeleteValue(HKEY key, LPCSTR name);
LONG RegCloseKey(HKEY key);
