#include "platform/win/Library.h"

#include "platform/win/Folders.h"

#include <map>
#include <mutex>
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

struct LoadedModule {
    std::string name;
    std::string path;
    int count = 0;
};

std::mutex& ModulesLock()
{
    static std::mutex m;
    return m;
}

// dlopen hands out one handle per file however often it is loaded.
std::map<HMODULE, LoadedModule>& Modules()
{
    static auto* map = new std::map<HMODULE, LoadedModule>;
    return *map;
}

std::string stem(const std::string& path)
{
    std::string name = path.substr(path.rfind('/') + 1);
    const auto dot = name.rfind('.');
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

} // namespace

HMODULE LoadLibrary(LPCSTR name)
{
    if (!name || !*name)
        return nullptr;
    const std::string path = modulePath(name);
    HMODULE module = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module) {
        std::lock_guard lock(ModulesLock());
        LoadedModule& entry = Modules()[module];
        entry.name = stem(path);
        entry.path = path;
        ++entry.count;
    }
    return module;
}

FARPROC GetProcAddress(HMODULE module, LPCSTR name)
{
    if (!module || !name)
        return nullptr;
    return reinterpret_cast<FARPROC>(::dlsym(module, name));
}

BOOL FreeLibrary(HMODULE module)
{
    if (!module)
        return FALSE;
    {
        std::lock_guard lock(ModulesLock());
        const auto it = Modules().find(module);
        if (it != Modules().end() && --it->second.count == 0)
            Modules().erase(it);
    }
    return ::dlclose(module) == 0 ? TRUE : FALSE;
}

namespace qlwin {

std::string ModuleName(HMODULE module)
{
    std::lock_guard lock(ModulesLock());
    const auto it = Modules().find(module);
    return it == Modules().end() ? std::string() : it->second.name;
}

std::string ModulePath(HMODULE module)
{
    std::lock_guard lock(ModulesLock());
    const auto it = Modules().find(module);
    return it == Modules().end() ? std::string() : it->second.path;
}

} // namespace qlwin
