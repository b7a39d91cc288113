// The user's documents, pictures and desktop folders, from the XDG user
// directories ($XDG_CONFIG_HOME/user-dirs.dirs), as the shell's special folders.
#pragma once

#include "platform/win/WinTypes.h"

#include <string>
#include <string_view>

inline constexpr int CSIDL_DESKTOP = 0x0000;
inline constexpr int CSIDL_PERSONAL = 0x0005;
inline constexpr int CSIDL_MYDOCUMENTS = CSIDL_PERSONAL;
inline constexpr int CSIDL_DESKTOPDIRECTORY = 0x0010;
inline constexpr int CSIDL_MYPICTURES = 0x0027;
inline constexpr int CSIDL_FLAG_CREATE = 0x8000;

// out takes MAX_PATH chars; the path has no trailing '/'. FALSE when the
// folder does not exist (and create is FALSE or making it fails) or the
// path does not fit.
BOOL SHGetSpecialFolderPath(HWND owner, LPSTR out, int csidl, BOOL create);
inline BOOL SHGetSpecialFolderPathA(HWND owner, LPSTR out, int csidl, BOOL create)
{
    return SHGetSpecialFolderPath(owner, out, csidl, create);
}
// S_OK, or E_FAIL; CSIDL_FLAG_CREATE in csidl makes the folder.
HRESULT SHGetFolderPath(HWND owner, int csidl, HANDLE token, DWORD flags, LPSTR out);

namespace qlwin {
// The value of one XDG_*_DIR key in the text of a user-dirs.dirs file, with
// "$HOME" expanded; "" when the key is missing or its value is not a path
// ("$HOME/..." or absolute, in double quotes).
std::string UserDirFromConfig(std::string_view text, std::string_view key, std::string_view home);
} // namespace qlwin
