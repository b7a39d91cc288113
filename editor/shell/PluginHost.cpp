#include "editor/shell/PluginHost.h"

#include "platform/afx/WinUser.h"
#include "platform/win/FileFind.h"
#include "platform/win/Folders.h"
#include "platform/win/Library.h"

#include <algorithm>
#include <cstring>
#include <strings.h>

PluginTable thePluginTable;

namespace {

constexpr UINT kSplashStatus = WM_USER + 10;

std::string g_pluginRoot;

void ShowStatus(HWND splash, const char* text)
{
    if (splash)
        ::SendMessage(splash, kSplashStatus, 0, reinterpret_cast<LPARAM>(text));
}

// A plug-in may write its texts without terminating them.
void TerminateTexts(EffectRecord& record)
{
    record.name[sizeof record.name - 1] = '\0';
    record.description[sizeof record.description - 1] = '\0';
    record.paramSpec[sizeof record.paramSpec - 1] = '\0';
}

// Each Find* call walks the folder; a small holder closes it on every path.
struct FindHandle {
    HANDLE handle;
    ~FindHandle()
    {
        if (handle != INVALID_HANDLE_VALUE)
            FindClose(handle);
    }
};

} // namespace

PluginModule::~PluginModule()
{
    if (module)
        FreeLibrary(module);
}

void PluginFolder::Clear()
{
    modules.clear();
    keys.clear();
    children.clear();
}

std::string PluginFolder::LastComponent() const
{
    const size_t slash = name.rfind('/');
    return slash == std::string::npos ? name : name.substr(slash + 1);
}

bool IsPluginFileName(const char* name)
{
    const size_t length = std::strlen(name);
    return length >= 4 && ::strcasecmp(name + length - 4, ".qli") == 0;
}

std::string PluginRootPath()
{
    if (!g_pluginRoot.empty())
        return g_pluginRoot;
    char path[MAX_PATH] = {};
    GetModuleFileName(nullptr, path, sizeof path);
    std::string folder = path;
    folder.erase(folder.rfind('/') + 1);
    return folder + "plugins/";
}

void SetPluginRootPath(const std::string& path)
{
    g_pluginRoot = path;
    if (!g_pluginRoot.empty() && g_pluginRoot.back() != '/')
        g_pluginRoot += '/';
}

HRESULT LoadPlugin(PluginModule& holder, const char* path)
{
    holder.module = LoadLibraryA(path);
    if (!holder.module)
        return E_FAIL;
    holder.entry = reinterpret_cast<PluginEntryFunction>(GetProcAddress(holder.module, "PluginEntry"));
    if (!holder.entry)
        return E_FAIL;
    holder.entry(kPluginQueryKind, nullptr, &holder.kind);
    return 0;
}

std::unique_ptr<PluginModule> LoadEffectPlugin(const char* path)
{
    auto plugin = std::make_unique<PluginModule>();
    if (LoadPlugin(*plugin, path) != 0 || plugin->kind != kPluginKindEffect)
        return nullptr;
    plugin->record = std::make_unique<EffectRecord>();
    EffectRecord& record = *plugin->record;
    std::memset(&record, 0, sizeof record);
    record.version = kPluginVersion;
    record.charset = kPluginCharset;
    record.module = plugin->module;
    if (plugin->entry(kPluginFillRecord, &record, nullptr) != 0)
        return nullptr;
    TerminateTexts(record);
    return plugin;
}

int LoadAllPlugins(HWND splash)
{
    ShowStatus(splash, "Loding plugins ...");
    const std::string root = PluginRootPath();
    WIN32_FIND_DATA data;
    FindHandle find{FindFirstFile((root + "*.qli").c_str(), &data)};
    // The effect tree is scanned even without a top-level plug-in file.
    for (BOOL more = find.handle != INVALID_HANDLE_VALUE; more; more = FindNextFile(find.handle, &data)) {
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        auto plugin = std::make_unique<PluginModule>();
        if (LoadPlugin(*plugin, (root + data.cFileName).c_str()) != 0 || plugin->kind != kPluginKindPaintTool)
            continue;
        thePluginTable.paintTools.push_back(std::move(plugin));
        ShowStatus(splash, data.cFileName);
    }
    ScanPluginFolder(thePluginTable.root, "", splash, kFirstPluginKey);
    ShowStatus(splash, "");
    return 0;
}

int ScanPluginFolder(PluginFolder& folder, const std::string& name, HWND splash, int nextKey)
{
    folder.name = name;
    folder.Clear();
    const std::string path = PluginRootPath() + (name.empty() ? "" : name + "/");
    WIN32_FIND_DATA data;
    FindHandle find{FindFirstFile((path + "*.*").c_str(), &data)};
    if (find.handle == INVALID_HANDLE_VALUE)
        return 0;
    do {
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (data.cFileName[0] == '.')
                continue;
            auto child = std::make_unique<PluginFolder>();
            const int next = ScanPluginFolder(*child, name.empty() ? data.cFileName : name + "/" + data.cFileName,
                                              splash, nextKey);
            if (next != 0 && CountPlugins(*child) > 0) {
                folder.children.push_back(std::move(child));
                nextKey = next;
            }
        } else if (IsPluginFileName(data.cFileName)) {
            auto plugin = LoadEffectPlugin((path + data.cFileName).c_str());
            if (!plugin)
                continue;
            folder.modules.push_back(std::move(plugin));
            folder.keys.push_back(nextKey++);
            ShowStatus(splash, data.cFileName);
        }
    } while (FindNextFile(find.handle, &data));
    // Keys stay where they are, so they run ascending in name order.
    std::stable_sort(folder.modules.begin(), folder.modules.end(),
                     [](const auto& a, const auto& b) { return std::strcmp(a->record->name, b->record->name) < 0; });
    return nextKey;
}

void UnloadAllPlugins()
{
    thePluginTable.paintTools.clear();
    thePluginTable.root.Clear();
}

int CountPlugins(const PluginFolder& folder)
{
    int count = static_cast<int>(folder.modules.size());
    for (const auto& child : folder.children)
        count += CountPlugins(*child);
    return count;
}

PluginModule* FindPluginByKey(const PluginFolder& folder, int key)
{
    for (size_t i = 0; i < folder.keys.size(); ++i)
        if (folder.keys[i] == key)
            return folder.modules[i].get();
    for (const auto& child : folder.children)
        if (PluginModule* found = FindPluginByKey(*child, key))
            return found;
    return nullptr;
}
