#include "collage/CollageTexts.h"

#include "platform/win/Folders.h"

namespace collage {

CUITextMap& Texts()
{
    static CUITextMap table;
    return table;
}

void FillCollageTexts()
{
    CUITextMap& table = Texts();
    if (table.GetCount())
        return;
    table.Add("cannotopen", "Can not open file");
    table.Add("noalpha", "Your reference image has not transparent channel, and can not apply as a frame");
    table.Add("unexcept", "Unexcept error");
    table.Add("notrans", "Warning. The frame boxes must cover the all transparent pixel. Continue?");
    table.Add("cannotsave", "Can not write file");
    table.Add("selframe", "Select Frame");
    table.Add("selagain", "Another Frame");
    table.Add("file", "File");
    table.Add("deletewarning", "Are you sure to delete this frame file?");
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

std::string TemplateFolder() { return ProgramFolder() + "Frame/"; }

std::string ResultPath()
{
    char temp[4096] = {};
    const DWORD n = GetTempPath(sizeof temp, temp);
    return std::string(temp, n < sizeof temp ? n : 0) + "qlmframe.bmp";
}

} // namespace collage
