// The templates of the album's printing: the wizard pages 184, 185, 178 and
// 187, the photo loading progress 183 and the paper set-up 214.
#include "platform/afx/CommCtrl.h"
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
constexpr DWORD kPage = WS_CHILD | DS_SETFONT;
constexpr DWORD kCheck = WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX;
constexpr DWORD kPicture = WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON | BS_BITMAP;
constexpr DWORD kSpin = WS_VISIBLE | UDS_ARROWKEYS;
constexpr UINT kNoId = static_cast<UINT>(-1);

const qlafx::DialogTemplate kDialogs[] = {
    {184, kPage, 0, 0, 0, 380, 205, "Print photos", "Tahoma", 8,
     {
         {"Button", "I'd like to print all these photos in same size with same number of copies.", 1051, 20, 40, 340,
          12, kRadio | WS_GROUP},
         {"Button", "I want to print these photos with different size and copies. Let me set it mannually.", 1029, 20,
          62, 340, 12, kRadio},
     }},
    {185, kPage, 0, 0, 0, 380, 205, "Set the print size and number of copies", "Tahoma", 8,
     {
         {"Static", "Print size:", kNoId, 10, 12, 50, 10, kLabel},
         {"ComboBox", "", 1083, 62, 10, 110, 160, kCombo},
         {"Static", "Width:", kNoId, 10, 33, 50, 10, kLabel},
         {"Edit", "", 1080, 62, 31, 40, 13, kEdit},
         {"Static", "Height:", kNoId, 10, 52, 50, 10, kLabel},
         {"Edit", "", 1081, 62, 50, 40, 13, kEdit},
         {"Static", "Copies:", kNoId, 10, 76, 50, 10, kLabel},
         {"Edit", "", 1027, 62, 74, 30, 13, kEdit | ES_NUMBER},
         {"msctls_updown32", "", 1028, 92, 74, 10, 13, kSpin},
         {"Static", "", 1085, 185, 10, 185, 185, 0}, // its rectangle only: the page paints the arrangement
     }},
    {178, kPage, 0, 0, 0, 380, 205, "Settings of print", "Tahoma", 8,
     {
         {"Static", "", 1076, 7, 7, 112, 168, WS_VISIBLE | SS_BLACKFRAME},
         {"Button", "", 1014, 7, 180, 24, 21, kPicture},
         {"Button", "", 1065, 35, 180, 24, 21, kPicture},
         {"SysListView32", "", 1032, 126, 7, 134, 150,
          WS_VISIBLE | WS_TABSTOP | WS_BORDER | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS},
         {"msctls_updown32", "", 1067, 262, 7, 10, 12, kSpin},
         {"Static", "Width:", kNoId, 126, 165, 26, 10, kLabel},
         {"Edit", "", 1081, 152, 163, 36, 13, kEdit},
         {"Static", "Height:", kNoId, 194, 165, 28, 10, kLabel},
         {"Edit", "", 1080, 224, 163, 36, 13, kEdit},
         {"Button", "", 1071, 313, 4, 24, 21, kPicture},
         {"Static", "", 1077, 290, 28, 70, 100, 0}, // its rectangle only: the page paints the crop
         {"Button", "", 1069, 275, 67, 14, 21, kPicture},
         {"Button", "", 1070, 361, 67, 14, 21, kPicture},
         {"Button", "", 1072, 313, 131, 24, 21, kPicture},
         {"Button", "", 140, 296, 163, 24, 21, kPicture},
         {"Button", "", 139, 330, 163, 24, 21, kPicture},
     }},
    {187, kPage, 0, 0, 0, 380, 205, "How to arrange photos?", "Tahoma", 8,
     {
         {"Button", "Economical mode. ", 1051, 10, 8, 200, 12, kRadio | WS_GROUP},
         {"Static", "Quillo will try to save your paper through print multiple photos on one page.", kNoId, 22, 21,
          200, 18, kLabel},
         {"Static", "Try to use as less as possible papers", kNoId, 22, 40, 200, 10, kLabel},
         {"Button", "Normal mode", 1029, 10, 54, 200, 12, kRadio},
         {"Static", "Only copies of same photo can be placed on same page.", kNoId, 22, 67, 200, 10, kLabel},
         {"Button", "Print each copy separately", 1030, 10, 81, 200, 12, kRadio},
         {"Button", "Save each copy to separate files.", 1139, 10, 95, 200, 12, kRadio | WS_DISABLED},
         {"Static", "", 1085, 225, 8, 145, 100, 0}, // its rectangle only: the page paints the sample
         {"Button", "", 1136, 0, 0, 0, 0, BS_AUTOCHECKBOX},
         {"Static", "Folder to save the files:", 1137, 10, 114, 200, 10, SS_LEFT},
         {"Edit", "", 1004, 10, 126, 330, 13, WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL},
         {"Button", "...", 1138, 345, 125, 25, 14, WS_TABSTOP | BS_PUSHBUTTON},
         {"Button", "High Quality / Low Speed", 1151, 10, 146, 200, 12, kCheck},
         {"Static", "", 1011, 10, 166, 360, 10, kLabel},
         {"msctls_progress32", "", 1086, 10, 180, 360, 10, WS_VISIBLE | WS_BORDER},
     }},
    {183, DS_MODALFRAME | DS_SETFONT | WS_POPUP | WS_CAPTION, 0, 0, 0, 200, 34, "Analyse photos ...", "Tahoma", 8,
     {
         {"msctls_progress32", "", 1082, 10, 12, 180, 10, WS_VISIBLE | WS_BORDER},
     }},
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
