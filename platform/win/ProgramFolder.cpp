#include "platform/win/ProgramFolder.h"

#include "platform/win/Folders.h"

namespace qlwin {
namespace {

std::string& Folder()
{
    static std::string folder = [] {
        char path[4096] = {};
        const DWORD n = GetModuleFileName(nullptr, path, sizeof path);
        std::string p(path, n < sizeof path ? n : 0);
        return p.substr(0, p.rfind('/') + 1);
    }();
    return folder;
}

} // namespace

const std::string& ProgramFolder() { return Folder(); }

void SetProgramFolder(const std::string& folder)
{
    Folder() = folder.empty() || folder.back() == '/' ? folder : folder + '/';
}

} // namespace qlwin
