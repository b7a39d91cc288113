// "Open File" (template 286) and the "Open Raw" button's pop-up (menu 370).
// The "Look in" row keeps these places; the dialog lays out the rest.
#include "editor/shell/OpenFileDialog.h"
#include "platform/afx/ResourceTables.h"

namespace {

constexpr UINT kStatic = 0xFFFF;
constexpr DWORD kDialogStyle =
    DS_MODALFRAME | DS_SETFONT | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX;
constexpr DWORD kPush = WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;
constexpr DWORD kDefPush = WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON;
constexpr DWORD kOwnerPush = WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW;
constexpr DWORD kLabel = WS_VISIBLE | SS_LEFT;
constexpr DWORD kDropList = WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;
constexpr DWORD kEdit = WS_VISIBLE | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL;
constexpr DWORD kInfo = WS_VISIBLE | WS_BORDER | WS_VSCROLL | LBS_NOINTEGRALHEIGHT;

const qlafx::DialogTemplate kDialogs[] = {
    {IDD_OPEN_FILE, kDialogStyle, 0, 0, 0, 430, 280, "Open File", "MS Shell Dlg", 8,
     {
         {"Static", "Look in:", kStatic, 7, 9, 36, 10, kLabel},
         {"ComboBox", "", IDC_OPEN_LOOK_IN, 45, 7, 200, 200, kDropList | CBS_OWNERDRAWVARIABLE},
         {"Button", "", IDC_OPEN_BACK, 252, 2, 24, 22, kOwnerPush},
         {"Button", "", IDC_OPEN_UP, 278, 2, 24, 22, kOwnerPush},
         {"Button", "", IDC_OPEN_VIEW, 304, 2, 24, 22, kOwnerPush},
         {"Button", "Classic Dialog", IDC_OPEN_CLASSIC, 334, 6, 64, 14, kPush},
         {"Button", "My Documents", IDC_OPEN_DOCUMENTS, 7, 28, 120, 14, kPush},
         {"Button", "My Pictures", IDC_OPEN_PICTURES, 7, 42, 120, 14, kPush},
         {"Button", "Desktop", IDC_OPEN_DESKTOP, 7, 56, 120, 14, kPush},
         {"Button", "Current Photo", IDC_OPEN_CURRENT, 7, 70, 120, 14, kPush},
         {"ListBox", "", IDC_OPEN_INFO, 7, 86, 120, 140, kInfo},
         {"Static", "File Name:", IDC_OPEN_NAME_LABEL, 7, 236, 60, 14, kLabel},
         {"Edit", "", IDC_OPEN_NAME, 80, 236, 250, 14, kEdit},
         {"Static", "File Type:", IDC_OPEN_TYPE_LABEL, 7, 258, 60, 14, kLabel},
         {"ComboBox", "", IDC_OPEN_TYPE, 80, 258, 100, 200, kDropList},
         {"Button", "Capture", IDC_OPEN_CAPTURE, 186, 258, 70, 14, kOwnerPush},
         {"Button", "Open Raw", IDC_OPEN_RAW, 260, 258, 66, 14, kOwnerPush},
         {"Button", "Open", IDOK, 336, 236, 87, 14, kDefPush},
         {"Button", "Cancel", IDCANCEL, 336, 258, 87, 14, kPush},
     }},
};

const qlafx::MenuTable kMenus[] = {
    {IDR_OPEN_RAW_MENU,
     {{"Open Raw",
       0,
       0,
       {{"Open Raw (Wizard) ...", 32898, 0, {}}, {"Open Raw (Directly) ...", 32900, 0, {}}}}}},
};

const qlafx::ResourceTable kTable{.dialogs = kDialogs, .menus = kMenus};
qlafx::ResourceRegistrar kRegister(kTable);

}  // namespace
