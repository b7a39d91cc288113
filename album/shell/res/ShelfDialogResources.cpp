// The templates of the album window's small dialogs: New Folder 130, New
// Album 134, Rename 149, Import Photos 159, Settings 189 and Tips 191; the
// welcome wizard's pages 173, 175, 176 and 177.
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
constexpr DWORD kPage = WS_CHILD | WS_CAPTION | DS_SETFONT;
constexpr DWORD kRadio = WS_VISIBLE | WS_TABSTOP | BS_AUTORADIOBUTTON;

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
    {173, kPage, 0, 0, 0, 280, 150, "Welcome to QuilloShelf", "Tahoma", 8,
     {
         {"Static", "Thank you for choosing Quillo.", static_cast<UINT>(-1), 14, 14, 252, 12, kLabel},
         {"Static", "Your name is used in the signature of photo frames. Please enter your name:",
          static_cast<UINT>(-1), 14, 38, 252, 20, kLabel},
         {"Static", "Your name:", static_cast<UINT>(-1), 14, 70, 50, 10, kLabel},
         {"Edit", "", 1050, 66, 68, 180, 13, kEdit},
     }},
    {175, kPage, 0, 0, 0, 280, 150, "Create a album", "Tahoma", 8,
     {
         {"Static", "An album is a folder together with its subfolders. You can make more albums later "
                    "with \"File - New Project\".",
          static_cast<UINT>(-1), 14, 14, 252, 20, kLabel},
         {"Button", "Create an album point to a new empty folder.", 1051, 14, 48, 252, 12, kRadio | WS_GROUP},
         {"Button", "Create an album point to a exist folder where contains my photos.", 1029, 14, 66, 252, 12,
          kRadio},
         {"Button", "No, Thanks!", 1119, 14, 94, 70, 14, kPush},
     }},
    {176, kPage, 0, 0, 0, 280, 150, "Set the project", "Tahoma", 8,
     {
         {"Static", "Album name:", static_cast<UINT>(-1), 7, 9, 50, 10, kLabel},
         {"Edit", "", 1002, 60, 7, 213, 13, kEdit},
         {"Static", "Location:", static_cast<UINT>(-1), 7, 28, 50, 10, kLabel},
         {"Edit", "", 1004, 60, 26, 163, 13, kEdit},
         {"Button", "&Browse", 1005, 227, 25, 46, 14, kPush},
         {"Button", "Create sub folders", 1064, 7, 48, 266, 70, kGroup},
         {"Button", "Architecture", 1057, 15, 62, 120, 12, kCheck},
         {"Button", "Digital processed", 1060, 15, 76, 120, 12, kCheck},
         {"Button", "Events", 1061, 15, 90, 120, 12, kCheck},
         {"Button", "Landscape", 1055, 15, 104, 120, 12, kCheck},
         {"Button", "Nature", 1062, 145, 62, 120, 12, kCheck},
         {"Button", "Other", 1063, 145, 76, 120, 12, kCheck},
         {"Button", "Pets", 1056, 145, 90, 120, 12, kCheck},
         {"Button", "Portrait", 1054, 145, 104, 120, 12, kCheck},
     }},
    {177, kPage, 0, 0, 0, 280, 150, "Finished", "Tahoma", 8,
     {
         {"Static", "The album has been created successfully! ", static_cast<UINT>(-1), 14, 14, 252, 12, kLabel},
         {"Static", "To bring photos into it, choose \"File - Import Photos\".", static_cast<UINT>(-1), 14, 38, 252,
          20, kLabel},
     }},
};

const qlafx::ResourceTable kTable{.dialogs = kDialogs};
qlafx::ResourceRegistrar kRegister(kTable);

} // namespace
