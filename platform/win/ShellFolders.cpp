#include "platform/win/ShellFolders.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

#include <sys/stat.h>

namespace {

std::string homeFolder()
{
    const char* home = std::getenv("HOME");
    return home && home[0] == '/' ? home : "";
}

std::string readConfig()
{
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    const std::string base = xdg && xdg[0] == '/' ? std::string(xdg) : homeFolder() + "/.config";
    std::ifstream in(base + "/user-dirs.dirs", std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool isFolder(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool makeFolders(const std::string& path)
{
    for (size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        const std::string part = path.substr(0, slash);
        if (::mkdir(part.c_str(), 0755) != 0 && errno != EEXIST)
            return false;
        if (slash == std::string::npos)
            return isFolder(path);
    }
}

// The folder a CSIDL names; "" for one we do not know.
std::string folderFor(int csidl)
{
    const char* key = nullptr;
    switch (csidl & ~CSIDL_FLAG_CREATE) {
    case CSIDL_DESKTOP:
    case CSIDL_DESKTOPDIRECTORY:
        key = "XDG_DESKTOP_DIR";
        break;
    case CSIDL_PERSONAL:
        key = "XDG_DOCUMENTS_DIR";
        break;
    case CSIDL_MYPICTURES:
        key = "XDG_PICTURES_DIR";
        break;
    default:
        return {};
    }
    const std::string home = homeFolder();
    if (home.empty())
        return {};
    std::string path = qlwin::UserDirFromConfig(readConfig(), key, home);
    // Without a setting the desktop is ~/Desktop and the others the home folder.
    if (path.empty())
        path = std::strcmp(key, "XDG_DESKTOP_DIR") == 0 ? home + "/Desktop" : home;
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

} // namespace

namespace qlwin {

std::string UserDirFromConfig(std::string_view text, std::string_view key, std::string_view home)
{
    std::string result;
    while (!text.empty()) {
        const size_t nl = text.find('\n');
        std::string_view line = text.substr(0, nl);
        text = nl == std::string_view::npos ? std::string_view{} : text.substr(nl + 1);
        while (!line.empty() && (line.front() == ' ' || line.front() == '\t'))
            line.remove_prefix(1);
        if (line.substr(0, key.size()) != key)
            continue;
        line.remove_prefix(key.size());
        if (line.substr(0, 2) != "=\"")
            continue;
        line.remove_prefix(2);
        // A backslash escapes the next character, as the file's writers quote.
        std::string value;
        bool closed = false;
        for (size_t i = 0; i < line.size() && !closed; ++i) {
            if (line[i] == '"')
                closed = true;
            else
                value += line[i] == '\\' && i + 1 < line.size() ? line[++i] : line[i];
        }
        if (!closed)
            continue;
        std::string unescaped;
        if (value.compare(0, 5, "$HOME") == 0 && (value.size() == 5 || value[5] == '/'))
            unescaped = std::string(home) + value.substr(5);
        else if (!value.empty() && value.front() == '/')
            unescaped = value;
        else
            continue;
        result = unescaped; // the last assignment wins, as in a shell
    }
    return result;
}

} // namespace qlwin

BOOL SHGetSpecialFolderPath(HWND, LPSTR out, int csidl, BOOL create)
{
    if (!out)
        return FALSE;
    out[0] = '\0';
    const std::string path = folderFor(csidl);
    if (path.empty() || path.size() >= MAX_PATH)
        return FALSE;
    if (!isFolder(path) && !(create && makeFolders(path)))
        return FALSE;
    std::memcpy(out, path.c_str(), path.size() + 1);
    return TRUE;
}

HRESULT SHGetFolderPath(HWND owner, int csidl, HANDLE, DWORD, LPSTR out)
{
    return SHGetSpecialFolderPath(owner, out, csidl, (csidl & CSIDL_FLAG_CREATE) != 0) ? S_OK : E_FAIL;
}
