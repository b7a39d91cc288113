// QuilloDevelop's resources: the wizard's template 102 (its controls are
// made at run time), the About box 100 and the window menu's entry 101.
#include "platform/afx/Controls.h"
#include "platform/afx/ResourceTables.h"

namespace {

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kPush = WS_CHILD | WS_VISIBLE | WS_TABSTOP;

const qlafx::DialogTemplate kDialogs[] = {
    {100, DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 0, 0, 210, 62, "About QuilloDevelop",
     nullptr, 0,
     {{"Static", "#128", static_cast<UINT>(-1), 11, 14, 20, 20, kChild | SS_ICON},
      {"Static", "QuilloDevelop: camera RAW files to JPEG or TIFF", static_cast<UINT>(-1), 40, 10, 165, 8, kChild},
      {"Static", "Part of the Quillo photo suite", static_cast<UINT>(-1), 40, 22, 165, 8, kChild},
      {"Button", "OK", IDOK, 153, 40, 50, 14, kPush | BS_DEFPUSHBUTTON}}},
    {102, WS_POPUP | WS_CLIPCHILDREN | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | DS_CENTER, WS_EX_APPWINDOW, 0, 0, 460, 358,
     nullptr, nullptr, 0, {}},
};

const qlafx::StringEntry kStrings[] = {
    {101, "/"},
};

const qlafx::ResourceTable kTable{.strings = kStrings, .dialogs = kDialogs};
qlafx::ResourceRegistrar kRegister(kTable);

} // namespace
