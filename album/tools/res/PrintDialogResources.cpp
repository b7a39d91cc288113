// The template of the album's paper set-up, 214.
#include "platform/afx/Controls.h"
#include "platform/afx/ResourceTables.h"

namespace {

constexpr DWORD kDialogStyle = DS_MODALFRAME | DS_SETFONT | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kPush = WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;
constexpr DWORD kDefPush = WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON;
constexpr DWORD kEdit = WS_VISIBLE | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL;
constexpr DWORD kCombo = WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;
constexpr DWORD kRadio = WS_VISIBLE | WS_TABSTOP | BS_AUTORADIOBUTTON;
constexpr DWORD kGroup = WS_VISIBLE | BS_GROUPBOX;
constexpr DWORD kLabel = WS_VISIBLE | SS_LEFT;

const qlafx::DialogTemplate kDialogs[] = {
    {214, kDialogStyle, 0, 0, 0, 200, 132, "Setup Paper", "Tahoma", 8,
     {
         {"Static", "Paper:", static_cast<UINT>(-1), 10, 11, 40, 10, kLabel},
         {"ComboBox", "", 1131, 54, 9, 136, 120, kCombo},
         {"Static", "Unit:", static_cast<UINT>(-1), 10, 30, 40, 10, kLabel},
         {"ComboBox", "", 1133, 54, 28, 60, 60, kCombo},
         {"Static", "Width:", static_cast<UINT>(-1), 10, 49, 40, 10, kLabel},
         {"Edit", "", 1081, 54, 47, 50, 13, kEdit},
         {"Static", "Height:", static_cast<UINT>(-1), 110, 49, 30, 10, kLabel},
         {"Edit", "", 1132, 140, 47, 50, 13, kEdit},
         {"Button", "Orientation", static_cast<UINT>(-1), 10, 66, 180, 30, kGroup},
         {"Button", "Lanscape", 1134, 20, 78, 70, 12, kRadio | WS_GROUP},
         {"Button", "Portrait", 1135, 100, 78, 70, 12, kRadio},
         {"Button", "OK", IDOK, 86, 108, 50, 14, kDefPush},
         {"Button", "Cancel", IDCANCEL, 140, 108, 50, 14, kPush},
     }},
};

const qlafx::ResourceTable kTable{.dialogs = kDialogs};
qlafx::ResourceRegistrar kRegister(kTable);

} // namespace
