#include "glance/GlanceTexts.h"

#include "platform/win/Folders.h"

#include <string>

namespace glance {

CUITextMap& Texts()
{
    static CUITextMap table;
    return table;
}

void FillGlanceTexts()
{
    CUITextMap& table = Texts();
    if (table.GetCount())
        return;
    table.Add("edittag", "Edit by Quillo");
    table.Add("tittle", "Quillo Image Viewer");
    table.Sort();
}

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

std::string SkinPath(const char* name) { return ProgramFolder() + "skin/" + name; }

} // namespace glance
