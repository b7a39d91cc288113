#include "snap/SnapTexts.h"

#include "platform/win/Folders.h"

namespace snap {

CUITextMap& Texts()
{
    static CUITextMap table;
    return table;
}

void FillSnapTexts()
{
    CUITextMap& t = Texts();
    if (t.GetCount())
        return;
    t.Add("copynow", "Confirm the screen capture result.");
    t.Add("mode2tip", "Drag a box, press 'Enter' to confirm, 'ESC' to cancel");
    t.Add("mode3tip", "Get Ready?\r\n%d:%d");
    t.Add("mode1tip",
          "Click to select a window.\r\nPress 'Shift' and click to add a window.\r\n'Enter' to confirm, 'Esc' to cancel");
    t.Add("mode4tip", "When ready, press F10 to capture.");
    t.Add("cannotfindcam", "Can not init camera");
    t.Add("screen", "From Screen");
    t.Add("camera", "From PC Camera");
    t.Add("cannotsave", "Can not write file");
    t.Sort();
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

const std::string& ProgramFolder()
{
    return Folder();
}

void SetProgramFolder(const std::string& folder)
{
    Folder() = folder;
}

std::string SkinPath(const char* name)
{
    return ProgramFolder() + "skin/" + name;
}

} // namespace snap
