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



std::string SkinPath(const char* name)
{
    return ProgramFolder() + "skin/" + name;
}

} // namespace snap
