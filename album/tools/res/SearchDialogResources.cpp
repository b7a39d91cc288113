// The Search Photo dialog 156 and its hits' pop-up menu 202.
#include "platform/afx/CommCtrl.h"
#include "platform/afx/Controls.h"
#include "platform/afx/ResourceTables.h"

namespace {

using qlafx::MenuItem;

constexpr DWORD kDialogStyle = DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX |
                               WS_MAXIMIZEBOX;
constexpr DWORD kPush = WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;
constexpr DWORD kDefPush = WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON;
constexpr DWORD kTree = WS_VISIBLE | WS_TABSTOP | WS_BORDER | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT |
                        TVS_SHOWSELALWAYS;

const qlafx::DialogTemplate kDialogs[] = {
    {156, kDialogStyle, WS_EX_APPWINDOW, 0, 0, 520, 330, "Search Photo", "Tahoma", 8,
     {
         {"SysTreeView32", "", 1001, 7, 7, 190, 70, kTree},
         {"Button", "Settings", 1097, 7, 84, 190, 210, WS_VISIBLE | BS_GROUPBOX},
         {"Edit", "", 1099, 60, 305, 300, 14, WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL | ES_READONLY},
         {"Button", "Go to", 1053, 7, 305, 50, 18, kPush},
         {"Button", "Close", IDCANCEL, 370, 305, 70, 18, kPush},
         {"Button", "Start Search", IDOK, 445, 305, 70, 18, kDefPush},
     }},
};

const MenuItem kSeparator{nullptr, 0, MF_SEPARATOR, {}};

const qlafx::MenuTable kMenus[] = {
    {202,
     {{"_SEARCH_",
       0,
       0,
       {{"&Goto its folder", 32803, 0, {}},
        {"&View ...", 32804, 0, {}},
        kSeparator,
        {"&Copy", 32805, 0, {}},
        {"Copy &all to ...", 32806, 0, {}}}}}},
};

const qlafx::ResourceTable kTable{.dialogs = kDialogs, .menus = kMenus};
qlafx::ResourceRegistrar kRegister(kTable);

} // namespace
