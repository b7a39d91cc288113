// QuilloSnap's resources: the main window 102, the About box 100, the camera
// dialog 130, the overlay 135, the capture menu 129 with its toolbar 133,
// and the About entry's text 101.
#include "platform/afx/Controls.h"
#include "platform/afx/ResourceTables.h"

namespace {

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kPush = WS_CHILD | WS_VISIBLE | WS_TABSTOP;

const qlafx::DialogTemplate kDialogs[] = {
    {100, DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 0, 0, 200, 62, "About QuilloSnap", nullptr,
     0,
     {{"Static", "", 128, 11, 14, 20, 20, kChild | SS_ICON},
      {"Static", "QuilloSnap: screen and PC camera capture", static_cast<UINT>(-1), 40, 14, 150, 8, kChild},
      {"Button", "OK", IDOK, 143, 40, 50, 14, kPush | BS_DEFPUSHBUTTON}}},
    {102, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_CENTER, WS_EX_APPWINDOW, 0, 0, 220, 120,
     "Quillo Capture", nullptr, 0, {}},
    {130, DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 0, 0, 320, 196,
     "Capture a photo from PC camera", nullptr, 0,
     {{"Static", "", 1002, 7, 7, 210, 182, kChild | SS_BLACKFRAME},
      {"Button", "OK", IDOK, 226, 7, 87, 14, kPush | BS_DEFPUSHBUTTON},
      {"Button", "Cancel", IDCANCEL, 226, 25, 87, 14, kPush},
      {"Button", "Setup", 1006, 226, 72, 87, 14, kPush},
      {"Static", "Tune your camera to best image quality", static_cast<UINT>(-1), 226, 89, 87, 18, kChild},
      {"Button", "Size/Format Setup", 1007, 226, 128, 87, 14, kPush},
      {"Static", "Choose the biggest size.", static_cast<UINT>(-1), 226, 145, 87, 18, kChild}}},
    {135, WS_POPUP, WS_EX_TOOLWINDOW, 0, 0, 200, 40, nullptr, nullptr, 0,
     {{"Static", "", 1005, 0, 0, 200, 40, kChild | SS_CENTER}}},
};

const qlafx::MenuTable kMenus[] = {
    {129,
     {{"Capture",
       0,
       0,
       {{"Capture All", 32771, 0, {}},
        {"Capture a Window", 32773, 0, {}},
        {"Capture Any Rectangle", 32772, 0, {}},
        {"Capture after 5 sec.", 32774, 0, {}},
        {"Press F10 to Capture", 32775, 0, {}}}}}},
};

const qlafx::ToolbarTable kToolbars[] = {
    {133, 24, 23, {32771, 32773, 32772, 32774, 32775}},
};

const qlafx::StringEntry kStrings[] = {
    {101, "&About QuilloSnap..."},
};

const qlafx::ResourceTable kTable{.strings = kStrings, .dialogs = kDialogs, .menus = kMenus, .toolbars = kToolbars};
qlafx::ResourceRegistrar kRegister(kTable);

} // namespace
