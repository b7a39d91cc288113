// The editor's table of loaded plug-ins: paint tools in load order and the
// tree of effect folders under the program folder's plugins/.
#pragma once

#include "platform/win/WinTypes.h"
#include "plugins/PluginInterface.h"

#include <memory>
#include <string>
#include <vector>

// One loaded shared object.
class PluginModule {
public:
    PluginModule() = default;
    virtual ~PluginModule();
    PluginModule(const PluginModule&) = delete;
    PluginModule& operator=(const PluginModule&) = delete;

    HMODULE module = nullptr;
    std::unique_ptr<EffectRecord> record; // effects only
    PluginEntryFunction entry = nullptr;
    int32_t kind = -1;
};

// One folder of effects; name is the path below plugins/ joined by "/".
class PluginFolder {
public:
    std::string name;
    std::vector<std::unique_ptr<PluginModule>> modules; // by record name
    std::vector<int> keys;                              // one per module, ascending
    std::vector<std::unique_ptr<PluginFolder>> children;

    void Clear();
    // The text after the last "/".
    std::string LastComponent() const;
};

struct PluginTable {
    std::vector<std::unique_ptr<PluginModule>> paintTools;
    PluginFolder root;
};

extern PluginTable thePluginTable;

// The first key of the effect tree; an effect with key k runs as command k + 1.
constexpr int kFirstPluginKey = 2000;
constexpr UINT kManagePluginsCmd = 2000;

// The plug-ins folder with its trailing "/": the program folder's plugins/,
// unless a test has pointed it elsewhere.
std::string PluginRootPath();
void SetPluginRootPath(const std::string& path);

// A name ending in ".qli" without regard to case.
bool IsPluginFileName(const char* name);

// 0, or E_FAIL when the file does not load or lacks PluginEntry (the module
// stays in holder and is freed with it).
HRESULT LoadPlugin(PluginModule& holder, const char* path);
// Loads a module and, for an effect, fills its record; nullptr when the
// file is no effect or refuses the record.
std::unique_ptr<PluginModule> LoadEffectPlugin(const char* path);
// Loads everything, sending progress texts (message 1034) to splash when
// it is not NULL. Returns 0.
int LoadAllPlugins(HWND splash);
// Fills folder from plugins/<name>; the next free key, or 0 when the folder
// cannot be searched.
int ScanPluginFolder(PluginFolder& folder, const std::string& name, HWND splash, int nextKey);
void UnloadAllPlugins();
int CountPlugins(const PluginFolder& folder);
PluginModule* FindPluginByKey(const PluginFolder& folder, int key);
