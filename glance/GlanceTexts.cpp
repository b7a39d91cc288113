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



std::string SkinPath(const char* name) { return ProgramFolder() + "skin/" + name; }

} // namespace glance
