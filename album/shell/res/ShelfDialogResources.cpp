// The templates of the album window's small dialogs: New Folder 130, New
// Album 134, Rename 149, Import Photos 159, Settings 189 and Tips 191.
#include "platform/afx/Controls.h"
#include "platform/afx/ResourceTables.h"

namespace {

constexpr DWORD kDialogStyle = DS_MODALFRAME | DS_SETFONT | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kPush = WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;
constexpr DWORD kDefPush = WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON;
constexpr DWORD kEdit = WS_VISIBLE | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL;
constexpr DWORD kCheck = WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX;
constexpr DWORD kGroup = WS_VISIBLE | BS_GROUPBOX;
constexpr DWORD kLabel = WS_VISIBLE | SS_LEFT;

const qlafx::DialogTemplate kDialogs[] = {
    {130, kDialogStyle, 0, 0, 0, 186, 70, "New Folder", "Tahoma", 8,
     {
         {"Button", "Folder Name", static_cast<UINT>(-1), 7, 5, 172, 34, kGroup},
         {"Edit", "", 1002, 15, 18, 156, 13, kEdit},
         {"Button", "OK", IDOK, 75, 48, 50, 14, kDefPush},
         {"Button", "Cancel", IDCANCEL, 129, 48, 50, 14, kPush},
     }},
    {134, kDialogStyle, 0, 0, 0, 260, 104, "New Album", "Tahoma", 8,
     {
         {"Static", "Album Name", static_cast<UINT>(-1), 7, 9, 50, 10, kLabel},
         {"Edit", "", 1002, 60, 7, 193, 13, kEdit},
         {"Static", "Location", static_cast<UINT>(-1), 7, 30, 50, 10, kLabel},
         {"Edit", "", 1004, 60, 28, 143, 13, kEdit},
         {"Button", "Browse", 1005, 207, 27, 46, 14, kPush},
         {"Button", "Create new folder under it", 1006, 60, 50, 193, 12, kCheck},
         {"Button", "OK", IDOK, 149, 83, 50, 14, kDefPush},
         {"Button", "Cancel", IDCANCEL, 203, 83, 50, 14, kPush},
     }},
    {149, kDialogStyle, 0, 0, 0, 186, 52, "Dialog", "Tahoma", 8,
     {
         {"Edit", "", 1007, 7, 8, 172, 13, kEdit},
         {"Button", "OK", IDOK, 75, 31, 50, 14, kDefPush},
         {"Button", "Cancel", IDCANCEL, 129, 31, 50, 14, kPush},
     }},
    // The picture buttons are made in pixels by the dialog itself.
    {159, kDialogStyle, 0, 0, 0, 240, 130, "Import Photos", "Tahoma", 8, {}},
    {189, kDialogStyle, 0, 0, 0, 220, 112, "Quillo Settings", "Tahoma", 8,
     {
         {"Static", "User Name:", static_cast<UINT>(-1), 7, 9, 44, 10, kLabel},
         {"Edit", "", 1002, 54, 7, 159, 13, kEdit},
         {"Button", "View photo", static_cast<UINT>(-1), 7, 28, 206, 52, kGroup},
         {"Button", "Always open in full screen.", 1025, 15, 42, 190, 12, kCheck},
         {"Button", "Animate effect when full screen view.", 1141, 15, 60, 190, 12, kCheck},
         {"Button", "OK", IDOK, 109, 91, 50, 14, kDefPush},
         {"Button", "Cancel", IDCANCEL, 163, 91, 50, 14, kPush},
     }},
    {191, kDialogStyle | WS_THICKFRAME, 0, 0, 0, 300, 200, "", "Tahoma", 8,
     {
         {"QlHtmlView", "", 1094, 0, 0, 300, 176, WS_VISIBLE | WS_TABSTOP | WS_BORDER},
         {"Button", "Show this tip next time", 1025, 7, 182, 150, 12, kCheck},
         {"Button", "OK", IDOK, 243, 180, 50, 14, kDefPush},
     }},
};

const qlafx::ResourceTable kTable{.dialogs = kDialogs};
qlafx::ResourceRegistrar kRegister(kTable);

} // namespace
