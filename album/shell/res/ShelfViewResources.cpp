// The templates of the viewer's windows: View Photo 135, the full-window
// view 218, the slideshow 160 and Make Screen Saver 170.
#include "platform/afx/CommCtrl.h"
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
constexpr DWORD kList = WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;

const qlafx::DialogTemplate kDialogs[] = {
    // The buttons, panel and strip are made in pixels by the dialog itself.
    {135, DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX, 0, 0, 0,
     560, 340, "View Photo", "Tahoma", 8, {}},
    {218, DS_SETFONT | WS_POPUP, 0, 0, 0, 320, 200, "", "Tahoma", 8, {}},
    // The bar's controls are placed in pixels as the bar slides.
    {160, DS_SETFONT | WS_POPUP, 0, 0, 0, 320, 200, "Slideshow", "Tahoma", 8,
     {
         {"Button", "Play", 1035, 0, 0, 60, 18, kPush},
         {"Static", "Effect:", 1037, 0, 0, 30, 10, kLabel},
         {"ComboBox", "", 1036, 0, 0, 90, 120, kList},
         {"Button", "", IDCANCEL, 0, 0, 18, 18, kPush | BS_BITMAP},
     }},
    {170, kDialogStyle, 0, 0, 0, 250, 150, "Make Screen Saver", "Tahoma", 8,
     {
         {"Button", "Folder", static_cast<UINT>(-1), 7, 5, 236, 50, kGroup},
         {"Static", "Make a screen saver to show all the photos in this folder:", static_cast<UINT>(-1), 15, 17, 220,
          10, kLabel},
         {"Edit", "", 1004, 15, 32, 196, 13, kEdit},
         {"Button", "...", 1005, 215, 31, 20, 14, kPush},
         {"Button", "Settings", static_cast<UINT>(-1), 7, 60, 236, 62, kGroup},
         {"Button", "Random show", 1043, 15, 73, 100, 12, kCheck},
         {"Static", "Effect:", static_cast<UINT>(-1), 120, 75, 28, 10, kLabel},
         {"ComboBox", "", 1044, 150, 73, 85, 120, kList},
         {"Static", "Delay between frames(seconds):", static_cast<UINT>(-1), 15, 100, 120, 10, kLabel},
         {"Edit", "", 1047, 140, 98, 30, 13, kEdit | ES_NUMBER},
         {"msctls_updown32", "", 1048, 170, 98, 10, 13, WS_VISIBLE | UDS_ARROWKEYS},
         {"Button", "OK", IDOK, 139, 129, 50, 14, kDefPush},
         {"Button", "Cancel", IDCANCEL, 193, 129, 50, 14, kPush},
     }},
};

const qlafx::ResourceTable kTable{.dialogs = kDialogs};
qlafx::ResourceRegistrar kRegister(kTable);

} // namespace
