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



std::string TemplateFolder() { return ProgramFolder() + "Frame/"; }

std::string ResultPath()
{
    char temp[4096] = {};
    const DWORD n = GetTempPath(sizeof temp, temp);
    return std::string(temp, n < sizeof temp ? n : 0) + "qlmframe.bmp";
}

} // namespace collage
