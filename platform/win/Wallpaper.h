// The desktop wallpaper: the picture goes to the user's data folder, never
// a system folder, and is set through gsettings where that program exists.
#pragma once

#include "platform/win/WinTypes.h"

#include <functional>
#include <string>

inline constexpr UINT SPI_SETDESKWALLPAPER = 0x0014;
inline constexpr UINT SPIF_UPDATEINIFILE = 0x0001;
inline constexpr UINT SPIF_SENDCHANGE = 0x0002;

namespace qlwin {

// "$XDG_DATA_HOME/quillo/" (else "~/.local/share/quillo/"), made when
// missing; ends in '/'.
std::string UserDataFolder();
// Sets the picture as wallpaper; FALSE with the last error set when it
// could not.
BOOL SetDesktopWallpaper(const char* path);
// Tests replace the setter (an empty function restores it).
using WallpaperHook = std::function<BOOL(const char* path)>;
void SetWallpaperHook(WallpaperHook hook);

} // namespace qlwin
