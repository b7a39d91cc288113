#include "platform/afx/demo/res/DemoResources.h"

#include "platform/afx/Controls.h"
#include "platform/afx/ResourceTables.h"

namespace {

const qlafx::StringEntry kStrings[] = {
    {IDS_TICKS, "Ticks: %1"},
    {IDS_CAPTION, "Window layer demo"},
};

const qlafx::DialogTemplate kDialogs[] = {
    {IDD_DEMO, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_CENTER, 0, 0, 0, 220, 140,
     "Window layer demo", "MS Shell Dlg", 8,
     {
         {"Static", "Ticks: 0", IDC_CLOCK, 7, 7, 120, 10, WS_VISIBLE | SS_LEFT},
         {"Button", "Options", 0xFFFF, 7, 22, 100, 62, WS_VISIBLE | BS_GROUPBOX},
         {"Button", "Show &grid", IDC_GRID, 14, 34, 86, 10, WS_VISIBLE | WS_TABSTOP | WS_GROUP | BS_AUTOCHECKBOX},
         {"Button", "&Small", IDC_SMALL, 14, 50, 86, 10, WS_VISIBLE | WS_TABSTOP | WS_GROUP | BS_AUTORADIOBUTTON},
         {"Button", "&Large", IDC_LARGE, 14, 64, 86, 10, WS_VISIBLE | BS_AUTORADIOBUTTON},
         {"Static", "Name:", 0xFFFF, 115, 24, 98, 8, WS_VISIBLE | WS_GROUP | SS_LEFT},
         {"Edit", "", IDC_NAME, 115, 34, 98, 14, WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL},
         {"Button", "Colour", IDC_COLOR, 115, 54, 98, 30, WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW},
         {"Button", "OK", IDOK, 109, 119, 50, 14, WS_VISIBLE | WS_TABSTOP | WS_GROUP | BS_DEFPUSHBUTTON},
         {"Button", "Cancel", IDCANCEL, 163, 119, 50, 14, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON},
     }},
};

const qlafx::ResourceTable kTable{.strings = kStrings, .dialogs = kDialogs};
qlafx::ResourceRegistrar kRegister(kTable);

}  // namespace
