#include "platform/win/Wallpaper.h"

#include "platform/win/Process.h"
#include "platform/win/Threads.h"
#include "platform/win/WinError.h"

#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <system_error>

namespace qlwin {
namespace {

std::mutex g_hookMutex;
WallpaperHook g_hook;

std::string FindOnPath(const char* program)
{
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= dirs.size()) {
        const std::size_t end = std::min(dirs.find(':', start), dirs.size());
        const std::string candidate = dirs.substr(start, end - start) + "/" + program;
        std::error_code ec;
        if (end > start && std::filesystem::is_regular_file(candidate, ec))
            return candidate;
        start = end + 1;
    }
    return {};
}

BOOL SetWithGsettings(const char* path)
{
    const std::string gsettings = FindOnPath("gsettings");
    if (gsettings.empty()) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return FALSE;
    }
    const std::string uri = "file://" + std::string(path);
    for (const char* key : {"picture-uri", "picture-uri-dark"}) {
        const std::intptr_t rc = _spawnl(_P_WAIT, gsettings.c_str(), "gsettings", "set",
                                         "org.gnome.desktop.background", key, uri.c_str(), nullptr);
        // Older desktops have no dark key; the plain one is what counts.
        if (rc != 0 && std::string(key) == "picture-uri") {
            SetLastError(ERROR_ACCESS_DENIED);
            return FALSE;
        }
    }
    return TRUE;
}

} // namespace

std::string UserDataFolder()
{
    const char* xdg = std::getenv("XDG_DATA_HOME");
    const char* home = std::getenv("HOME");
    std::string base = xdg && *xdg ? xdg : std::string(home ? home : "/tmp") + "/.local/share";
    std::string folder = base + "/quillo/";
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    return folder;
}

BOOL SetDesktopWallpaper(const char* path)
{
    if (!path || !*path) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    WallpaperHook hook;
    {
        std::lock_guard lock(g_hookMutex);
        hook = g_hook;
    }
    return hook ? hook(path) : SetWithGsettings(path);
}

void SetWallpaperHook(WallpaperHook hook)
{
    std::lock_guard lock(g_hookMutex);
    g_hook = std::move(hook);
}

} // namespace qlwin
