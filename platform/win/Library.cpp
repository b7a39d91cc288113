#include "platform/win/Library.h"

#include "platform/win/Folders.h"

#include <string>
#include <strings.h>

#include <dlfcn.h>

namespace {

std::string programFolder()
{
    char path[4096];
    const DWORD n = GetModuleFileName(nullptr, path, sizeof path);
    if (n == 0 || n >= sizeof path)
        return {};
    std::string folder(path, n);
    return folder.substr(0, folder.rfind('/') + 1);
}

// dlopen would search the system's library folders for a bare name; Windows
// looks beside the program first, and our modules only live there.
std::string modulePath(const std::string& name)
{
    std::string path = name;
    if (path.size() >= 4 && ::strcasecmp(path.c_str() + path.size() - 4, ".dll") == 0)
        path.replace(path.size() - 4, 4, ".so");
    if (path.find('/') == std::string::npos)
        path = programFolder() + path;
    return path;
}

} // namespace

HMODULE LoadLibrary(LPCSTR name)
{
    if (!name || !*name)
        return nullptr;
    return ::dlopen(modulePath(name).c_str(), RTLD_NOW | RTLD_LOCAL);
}

FARPROC GetProcAddress(HMODULE module, LPCSTR name)
{
    if (!module || !name)
        return nullptr;
    return reinterpret_cast<FARPROC>(::dlsym(module, name));
}

BOOL FreeLibrary(HMODULE module)
{
    return module && ::dlclose(module) == 0 ? TRUE : FALSE;
}
